// Fuzz target of the whole IGES import: a file read into a fresh section
// model, from the Start section to the shapes attached to the current
// sub-section.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>

#include "drevoline/section/CXSectionAnalysis.h"
#include "platform/core/Exceptions.h"

namespace {

// One scratch file per process: the import reads files by name.
const std::string& scratchPath()
{
    static const std::string path = "/tmp/lorimant_fuzz_iges_import_" + std::to_string(getpid()) + ".igs";
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* out = std::fopen(scratchPath().c_str(), "wb");
    if (!out)
        return 0;
    if (size > 0)
        std::fwrite(data, 1, size, out);
    std::fclose(out);
    CXSectionAnalysis model;
    CString path(scratchPath().c_str());
    try {
        model.readIGES(path, size % 2 == 0);
    } catch (const wchar_t*) {
        // a refusal text: the import ends, nothing is added
    }
    POSITION pos = model.shapes.GetHeadPosition();
    while (pos)
        delete model.shapes.GetNext(pos);
    std::remove(scratchPath().c_str());
    return 0;
}
