// The point numbers of the shape builders shown as coordinates: each
// builder run headless with example dimensions, origin point 0 at (0, 0),
// direction point 1 and no rotation, and the defining points of the shape
// it made read back. The macro reference (docs/macros.md) prints them.
#pragma once

#include <vector>

#include "lorimant/automation/MacroReference.h"

// One table per builder that places its shape by point numbers, in the
// order of the reference; throws std::runtime_error when an example fails.
std::vector<BuilderPoints> BuilderPointTables();
