#pragma once

// The lexical and structural layer of IGES import: 80-column records, the
// Start, Global and Directory sections and the three kinds of parameter
// field (integer, real, Hollerith string). Everything works on one
// process-wide reader state; one import runs at a time.
//
// Record layout: columns 1-72 data, column 73 the section letter (S, G, D,
// P, T), columns 74-80 the sequence number. Global fields run to column 72.
// Parameter data run to column 64 (the standard) or, in files whose data
// reach further (the program's own writer), to column 68 but never into the
// right-aligned directory pointer that ends in column 72. A field may
// continue on the next line of its section.
//
// Malformed fields print a diagnostic on stderr, set errorCode 1 and
// fieldStatus -4; the caller checks errorCode and ends the import.

#include <cstdio>
#include <string>
#include <vector>

#include "drevoline/iges/CDirectoryEntry.h"

class CXSectionAnalysis;

// Capacities (buffer sizes, terminator included) of the Global strings.
constexpr int igesGlobalTextSize = 81;
constexpr int igesGlobalDateSize = 19;
constexpr int igesGlobalProtocolSize = 59;

// The values of the Global section. Only the parameter delimiter (kept in
// the reader state) influences the import; the rest is stored.
struct IgesGlobalSection {
    char senderProductId[igesGlobalTextSize] = "";
    char fileName[igesGlobalTextSize] = "";
    char nativeSystemId[igesGlobalTextSize] = "";
    char preprocessorVersion[igesGlobalTextSize] = "";
    int integerBits = 0;
    int singleMagnitude = 0;
    int singleSignificance = 0;
    int doubleMagnitude = 0;
    int doubleSignificance = 0;
    char receiverProductId[igesGlobalTextSize] = "";
    double modelSpaceScale = 1.0;
    int unitFlag = 0;
    char unitName[igesGlobalTextSize] = "";
    int maxLineWeightGradations = 0;
    double maxLineWidth = 0.0;
    char dateTime[igesGlobalDateSize] = "";
    double minResolution = 0.0;
    double maxCoordinate = 0.0;
    char author[igesGlobalTextSize] = "";
    char organisation[igesGlobalTextSize] = "";
    int versionFlag = 0;
    int draftingStandard = 0;
    char modificationDate[igesGlobalDateSize] = "";
    char applicationProtocol[igesGlobalProtocolSize] = "";
};

// The reader's process-wide state.
struct IgesReaderState {
    static constexpr int lineSize = 82;      // characters kept of one line

    FILE* input = nullptr;                   // opened ("r") and closed by the caller
    CXSectionAnalysis* model = nullptr;      // the model being imported into
    char line[lineSize + 1] = {};            // current record; column n is index n-1
    int lineLength = 0;                      // characters the current record really had
    int cursor = 0;                          // 0-based column of the next character
    int lineCount = 0;                       // line feeds read so far
    int fieldStatus = -1;                    // -1 delimiter, -2 ';', -4 malformed
    int errorCode = 0;                       // 0 none, 1 malformed field or premature end,
                                             // 4001 bad Start section or over-long line,
                                             // -1 end of file where a section needs more,
                                             // 4006 composite curve too long
    char parameterDelimiter = ',';
    char recordDelimiter = ';';              // stored only: records end with ';'
    bool catiaFile = false;                  // a Start line names CATIA or catia
    IgesGlobalSection global;
    std::vector<CDirectoryEntry*> directory; // in file order, owned
};

// The reader state.
extern IgesReaderState gIgesReader;

// Starts an import on `input`: clears the state (the directory too, deleting
// its entries but not their curves) and takes the stream.
void resetIgesReader(FILE* input);

// Deletes every directory entry (not their curves) and empties the list.
void clearIgesDirectory();

// Reads the next line into `line` (carriage returns dropped, unread columns
// blank-filled, cursor 0): 0; -1 at end of file with nothing read (the line
// is kept); 4001 when a line has more than 82 characters. A last line
// without a line feed is still a line.
int readRecordLine();

// The current record as it was read (without the blank fill).
std::string currentLineText();

// Bytes of the input not read yet (a large number when the stream cannot tell).
long remainingInputSize();

// Reads the Start section: 0 with the first line after it current, or the
// error code (also left in errorCode): -1 end of file, 4001 when the first
// line is no Start line or a line is too long. Sets catiaFile.
int readStartSection();

// Reads the Global section from the current line: 0, or -1 when the current
// line is not a Global line (or, with errorCode set, a malformed field).
int ReadGlobal();

// Reads one integer field. An empty field is 0; a sign or a stray character
// is malformed ("Bad integer  number\n"), so is a value beyond int.
int readIgesInteger();

// Reads one real field (blanks inside are dropped, D is an exponent). An
// empty field is 0.0; a stray character, a text that is no number or too
// long, and a value beyond double are malformed ("Bad floating POINTd number").
double readIgesReal();

// Reads one Hollerith field nH... into destination (capacity bytes with the
// terminator; a longer text is cut). 0, also for an empty field; -1 when
// malformed ("IGESREAD:: Bad string constant.\n" or "Bad string constant\n").
int readIgesString(char* destination, int capacity);

// Global field wrappers: 2 for an empty field (value unchanged), -2 when the
// Global record or section has ended where a field should begin, otherwise
// 0 (field ended by the delimiter) or the field status (-2, -4).
int readGlobalInteger(int* value);
int readGlobalReal(double* value);
int readGlobalString(char* value, int capacity);

// Moves the cursor to the next ';' of the current line (searching from one
// column back): 0; -1 with "No end of record field:%s\n" on stdout and the
// cursor on column 73 when there is none.
int findRecordEnd();

// Reads the Directory section from the current line into `directory`: 0
// with the first Parameter line current; -1 (errorCode set) with
// "readDirectory:Premature end of file.\n" on stderr when the file ends
// inside the section. Throws the wide refusal text for a type 106 entry
// whose form is not 63.
int readDirectory();

// Reads one directory entry (two D lines) and appends it: 0; -3 (nothing
// appended) when the current line is no D line; -1 at a premature end.
int readDirectoryEntry();

// Passes over the rest of an entity record that is not read
// (parameterLineCount - 1 lines); a record cut short is malformed.
void skipEntityRecord(CDirectoryEntry* entry);
