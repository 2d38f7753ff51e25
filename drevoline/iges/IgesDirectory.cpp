// The Directory section of an IGES file: two fixed-column lines per entity.

#include <cstdio>

#include "drevoline/iges/IgesLineScan.h"
#include "drevoline/iges/IgesReader.h"

using namespace iges_scan;

namespace {

IgesReaderState& S = gIgesReader;

// The number in `width` columns from index `first` of the current line: 0
// when blank; otherwise leading blanks skipped, an optional sign, then the
// digits up to the first other character.
int fixedField(int first, int width)
{
    const char* p = S.line + first;
    const char* end = p + width;
    while (p < end && *p == ' ')
        ++p;
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+'))
        negative = *p++ == '-';
    int value = 0;  // at most eight digits: no overflow
    for (; p < end && *p >= '0' && *p <= '9'; ++p)
        value = value * 10 + (*p - '0');
    return negative ? -value : value;
}

// The i-th 8-column field (0-based) of the current line.
int directoryField(int i)
{
    return fixedField(8 * i, 8);
}

// The sequence number in columns 74-80.
int sequenceField()
{
    return fixedField(letterIndex + 1, 7);
}

void readFirstLine(CDirectoryEntry& e)
{
    int* const fields[] = {&e.entityType, &e.parameterData,        &e.structure,
                           &e.lineFontPattern, &e.level,           &e.view,
                           &e.transformationMatrix, &e.labelDisplay, &e.status};
    for (int i = 0; i < 9; ++i)
        *fields[i] = directoryField(i);
    e.blanked = S.line[65] == '1' && !S.catiaFile;
    e.sequence = sequenceField();
}

void readSecondLine(CDirectoryEntry& e)
{
    e.entityType2 = directoryField(0);
    e.lineWeight = directoryField(1);
    e.color = directoryField(2);
    e.parameterLineCount = directoryField(3);
    e.form = directoryField(4);
    e.label = directoryField(7);
    e.subscript = directoryField(8);
    e.sequence2 = sequenceField();
}

// The next line of the section, or false at the end of the file or of the
// section (the error code then records why).
bool nextDirectoryLine()
{
    const int r = readRecordLine();
    if (r == 0)
        return true;
    if (S.errorCode == 0)
        S.errorCode = r;
    return false;
}

}  // namespace

int readDirectoryEntry()
{
    auto* entry = new CDirectoryEntry();
    S.directory.push_back(entry);
    if (S.fieldStatus == -4)
        return -1;
    if (sectionLetter() != 'D') {
        S.directory.pop_back();
        delete entry;
        return -3;
    }
    readFirstLine(*entry);
    if (!nextDirectoryLine())
        return -1;
    if (sectionLetter() != 'D') {
        // An entry needs two lines.
        if (S.errorCode == 0)
            S.errorCode = -1;
        return -1;
    }
    readSecondLine(*entry);
    if (entry->entityType2 == 106 && entry->form != 63)
        throw L"Only form 63 (closed planar curve) of IGES type 106 (copious data)is currently supported";
    // The Parameter section must follow.
    return nextDirectoryLine() ? 0 : -1;
}

int readDirectory()
{
    clearIgesDirectory();
    for (;;) {
        const int r = readDirectoryEntry();
        if (r == -3)
            return 0;
        if (r == -1) {
            std::fputs("readDirectory:Premature end of file.\n", stderr);
            if (S.errorCode == 0)
                S.errorCode = -1;
            return -1;
        }
    }
}
