#pragma once

// Line handling shared by the IGES field parsers and section readers (not
// part of the reader's public interface).

#include "drevoline/iges/IgesReader.h"

namespace iges_scan {

// Index of column 73, the section letter.
constexpr int letterIndex = 72;

// The section letter of the current line.
inline char sectionLetter()
{
    return gIgesReader.line[letterIndex];
}

// Index one past the last data column of the current line: 72 for Global
// and Directory lines; for Parameter lines 64, or, when data stand between
// column 65 and the directory pointer that ends in column 72, 68 or the
// pointer's first column if that comes sooner; 0 for lines of any other section.
int dataEnd();

// What became of a field that runs past the data columns of its line.
enum class Advance {
    nextLine,      // the next line of the same section is current
    sectionEnded,  // the Global section ended (the next line belongs to another)
    failed,        // end of file, an over-long line, or a Parameter record cut short
};

// Reads the next line for a field that continues on it. On `failed` the
// diagnostic is printed and the field marked malformed.
Advance continueOnNextLine();

// Prints the diagnostic and marks the field malformed (errorCode 1 unless an
// error is already recorded, fieldStatus -4).
void fieldError(const char* message);

}  // namespace iges_scan
