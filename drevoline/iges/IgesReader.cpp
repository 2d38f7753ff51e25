// IGES records: reading lines, the Start section, the record end and
// skipped entity records.

#include "drevoline/iges/IgesReader.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string_view>

#include "drevoline/iges/IgesLineScan.h"

IgesReaderState gIgesReader;

namespace {

IgesReaderState& S = gIgesReader;

const char* const kPrematureEnd = "IGESREAD:: premature end of section\n";

bool isBlank(char c)
{
    return c == ' ';
}

}  // namespace

namespace iges_scan {

int dataEnd()
{
    switch (sectionLetter()) {
    case 'G':
    case 'D':
        return 72;
    case 'P': {
        // The directory pointer: the digits that end in column 72.
        int first = 72;
        while (first > 0 && S.line[first - 1] >= '0' && S.line[first - 1] <= '9')
            --first;
        // Standard lines keep columns 65 up to the pointer blank; the
        // program's own writer fills data up to column 68.
        const bool standard = std::all_of(S.line + std::min(first, 64), S.line + first, isBlank);
        return std::min(first, standard ? 64 : 68);
    }
    default:
        return 0;
    }
}

void fieldError(const char* message)
{
    std::fputs(message, stderr);
    if (S.errorCode == 0)
        S.errorCode = 1;
    S.fieldStatus = -4;
}

Advance continueOnNextLine()
{
    const char section = sectionLetter();
    const int r = readRecordLine();
    if (r == 0 && sectionLetter() == section)
        return Advance::nextLine;
    if (r == 0 && section == 'G')
        return Advance::sectionEnded;
    if (r == 4001 && S.errorCode == 0)
        S.errorCode = 4001;
    fieldError(kPrematureEnd);
    return Advance::failed;
}

}  // namespace iges_scan

void clearIgesDirectory()
{
    for (CDirectoryEntry* e : S.directory)
        delete e;
    S.directory.clear();
}

void resetIgesReader(FILE* input)
{
    clearIgesDirectory();
    S.input = input;
    S.model = nullptr;
    std::memset(S.line, ' ', IgesReaderState::lineSize);
    S.line[IgesReaderState::lineSize] = '\0';
    S.lineLength = 0;
    S.cursor = 0;
    S.lineCount = 0;
    S.fieldStatus = -1;
    S.errorCode = 0;
    S.parameterDelimiter = ',';
    S.recordDelimiter = ';';
    S.catiaFile = false;
    S.global = IgesGlobalSection();
}

int readRecordLine()
{
    if (!S.input)
        return -1;
    int n = 0;
    for (;;) {
        const int c = getc(S.input);
        if (c == EOF) {
            if (n == 0)
                return -1;
            break;  // a last line without a line feed
        }
        if (c == '\r')
            continue;
        if (c == '\n') {
            ++S.lineCount;
            break;
        }
        if (n == IgesReaderState::lineSize) {
            ungetc(c, S.input);
            return 4001;
        }
        S.line[n++] = static_cast<char>(c);
    }
    std::memset(S.line + n, ' ', IgesReaderState::lineSize - n);
    S.line[IgesReaderState::lineSize] = '\0';
    S.lineLength = n;
    S.cursor = 0;
    return 0;
}

std::string currentLineText()
{
    return std::string(S.line, static_cast<size_t>(S.lineLength));
}

long remainingInputSize()
{
    if (!S.input)
        return 0;
    const long here = std::ftell(S.input);
    if (here < 0 || std::fseek(S.input, 0, SEEK_END) != 0)
        return LONG_MAX;
    const long end = std::ftell(S.input);
    std::fseek(S.input, here, SEEK_SET);
    return end < here ? 0 : end - here;
}

int readStartSection()
{
    S.catiaFile = false;
    for (bool first = true;; first = false) {
        const int r = readRecordLine();
        const std::string_view text(S.line, IgesReaderState::lineSize);
        if (text.find("CATIA") != text.npos || text.find("catia") != text.npos)
            S.catiaFile = true;
        if (r != 0) {
            S.errorCode = r;
            return r;
        }
        if (iges_scan::sectionLetter() != 'S') {
            if (first) {
                S.errorCode = 4001;
                return 4001;
            }
            return 0;
        }
    }
}

int findRecordEnd()
{
    int c = std::max(S.cursor - 1, 0);
    while (c < 72 && S.line[c] != ';')
        ++c;
    if (c < 72) {
        S.cursor = c;
        return 0;
    }
    std::printf("No end of record field:%s\n", currentLineText().c_str());
    S.cursor = iges_scan::letterIndex;
    return -1;
}

void skipEntityRecord(CDirectoryEntry* entry)
{
    S.fieldStatus = -2;
    for (int i = 1; i < entry->parameterLineCount; ++i) {
        const iges_scan::Advance a = iges_scan::continueOnNextLine();
        if (a == iges_scan::Advance::sectionEnded)
            iges_scan::fieldError(kPrematureEnd);
        if (a != iges_scan::Advance::nextLine)
            break;
    }
    entry->curve = nullptr;
    entry->geometryRead = true;
}
