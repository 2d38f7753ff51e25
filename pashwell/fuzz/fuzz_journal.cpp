// Converts arbitrary bytes as a journal into a MATLAB script, and the
// bytes as one journal line.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "pashwell/convert/JournalConverter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::istringstream journal{std::string(bytes)};
    std::ostringstream script;
    pashwell::ConversionNotes notes;
    if (pashwell::convertJournal(journal, script, &notes) != pashwell::ConversionStatus::Done)
        __builtin_trap();
    if (notes.longLinesDropped > 0 && pashwell::longLinesText(notes).empty())
        __builtin_trap();

    std::vector<std::string> lines;
    pashwell::convertLine(bytes.substr(0, bytes.find('\n')), lines);
    (void)pashwell::toMatlabQuotes(bytes);
    return 0;
}
