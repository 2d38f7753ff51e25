// Peak heap use of a stretch of code: the suite replaces the global
// operator new and delete with counting ones (bench_memory.cpp), since the
// process's maximum resident size only ever grows.
#pragma once

#include <cstddef>

namespace PeakMemory {

// Starts a new stretch: the peak becomes the bytes allocated now.
void reset();
// The most bytes allocated at once since the last reset, less those
// allocated at the reset.
std::size_t peak();

}  // namespace PeakMemory
