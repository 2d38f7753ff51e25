// Fuzz target of the IGES lexical layer: the Start, Global and Directory
// sections and the field parsers over the Parameter section, read from an
// in-memory stream in the order an import reads them.

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "drevoline/iges/IgesReader.h"

namespace {

// Reads every parameter record with a mix of the three field parsers, as
// the entity import would, until an error or the end of the directory.
void readParameterRecords()
{
    IgesReaderState& s = gIgesReader;
    for (CDirectoryEntry* entry : s.directory) {
        s.fieldStatus = -1;
        entry->entityType = readIgesInteger();
        if (entry->entityType % 5 == 0) {
            skipEntityRecord(entry);
        } else {
            char text[16];
            for (int i = 0; i < 4096 && s.fieldStatus == -1 && s.errorCode == 0; ++i) {
                switch ((entry->entityType + i) % 3) {
                case 0: readIgesInteger(); break;
                case 1: readIgesReal(); break;
                default: readIgesString(text, sizeof text); break;
                }
            }
        }
        if (s.errorCode != 0)
            return;
        if (s.fieldStatus != -2)
            findRecordEnd();
        readRecordLine();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    FILE* input = fmemopen(const_cast<uint8_t*>(data), size, "r");
    if (!input)
        return 0;
    resetIgesReader(input);
    IgesReaderState& s = gIgesReader;
    if (readStartSection() == 0) {
        ReadGlobal();
        if (s.errorCode == 0) {
            findRecordEnd();
            if (s.line[72] != 'D')
                readRecordLine();
            if (s.line[72] == 'D') {
                try {
                    readDirectory();
                } catch (const wchar_t*) {
                    // the refusal of an unsupported entity form
                }
                if (s.errorCode == 0)
                    readParameterRecords();
            }
        }
    }
    clearIgesDirectory();
    resetIgesReader(nullptr);
    std::fclose(input);
    return 0;
}
