// The three kinds of IGES parameter field: integer, real and Hollerith string.

#include <locale.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "drevoline/iges/IgesLineScan.h"
#include "drevoline/iges/IgesReader.h"

using namespace iges_scan;

namespace {

IgesReaderState& S = gIgesReader;

const char* const kBadInteger = "Bad integer  number\n";
const char* const kBadReal = "Bad floating POINTd number";
const char* const kBadStringCount = "IGESREAD:: Bad string constant.\n";
const char* const kBadStringEnd = "Bad string constant\n";
const char* const kPrematureEnd = "IGESREAD:: premature end of section\n";

// Longest real text taken: more than any double needs.
constexpr size_t kMaxRealText = 80;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isRealCharacter(char c)
{
    return isDigit(c) || std::strchr(".EDe-+", c) != nullptr;
}

// The collected text of a real field as a double, in the C numeric locale
// whatever the user's locale. A text that is no number or lies beyond
// double is malformed.
double realFromText(const std::string& text)
{
    if (text.empty())
        return 0.0;
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    char* stop = nullptr;
    const double v = strtod_l(text.c_str(), &stop, cLocale);
    if (stop != text.c_str() + text.size() || !std::isfinite(v)) {
        fieldError(kBadReal);
        return 0.0;
    }
    return v;
}

// The character that ended a field: ';' ends the record, the parameter
// delimiter the field; anything else is malformed. The cursor moves past it.
bool takeTerminator(const char* message)
{
    const char t = S.line[S.cursor++];
    if (t == ';') {
        S.fieldStatus = -2;
        return true;
    }
    if (t == S.parameterDelimiter)
        return true;
    fieldError(message);
    return false;
}

// The data end of the current line, or 0 with the field marked malformed
// when the line belongs to no section that holds fields.
int fieldLineEnd()
{
    const int end = dataEnd();
    if (end == 0)
        fieldError(kPrematureEnd);
    return end;
}

// Skips blanks up to the next character of the field, crossing line ends.
// False when no character follows (section ended: fieldStatus -2, or failed).
bool skipBlanks(int& end)
{
    for (;;) {
        if (S.cursor < end && S.line[S.cursor] == ' ') {
            ++S.cursor;
            continue;
        }
        if (S.cursor < end)
            return true;
        const Advance a = continueOnNextLine();
        if (a == Advance::sectionEnded)
            S.fieldStatus = -2;
        if (a != Advance::nextLine)
            return false;
        end = dataEnd();
    }
}

}  // namespace

int readIgesInteger()
{
    S.fieldStatus = -1;
    int end = fieldLineEnd();
    if (end == 0)
        return 0;
    long long value = 0;
    bool digits = false;
    bool tooBig = false;
    for (;;) {
        if (S.cursor >= end) {
            // The field runs on at column 1 of the next line.
            const Advance a = continueOnNextLine();
            if (a == Advance::failed)
                return 0;
            if (a == Advance::sectionEnded) {
                S.fieldStatus = -2;
                break;
            }
            end = dataEnd();
            digits = false;
            continue;
        }
        const char c = S.line[S.cursor];
        if (isDigit(c)) {
            value = value * 10 + (c - '0');
            if (value > INT_MAX) {
                tooBig = true;
                value = INT_MAX;
            }
            digits = true;
        } else if (c == ' ') {
            if (digits)
                break;
        } else if (c != 'G' && c != 'P') {
            break;
        }
        ++S.cursor;
    }
    if (S.fieldStatus == -1) {
        // Blanks after the number; the line end also ends the field.
        while (S.cursor < end && S.line[S.cursor] == ' ')
            ++S.cursor;
        if (S.cursor >= end) {
            const Advance a = continueOnNextLine();
            if (a == Advance::sectionEnded)
                S.fieldStatus = -2;
            if (a == Advance::failed)
                return 0;
        } else if (!takeTerminator(kBadInteger)) {
            return tooBig ? 0 : static_cast<int>(value);
        }
    }
    if (tooBig) {
        fieldError(kBadInteger);
        return 0;
    }
    return static_cast<int>(value);
}

double readIgesReal()
{
    S.fieldStatus = -1;
    int end = fieldLineEnd();
    if (end == 0)
        return 0.0;
    std::string text;
    bool blankAfterText = false;
    bool tooLong = false;
    for (;;) {
        if (S.cursor >= end) {
            // Text followed by blanks ends with its line; otherwise the
            // field runs on at column 1 of the next line.
            const bool ended = !text.empty() && blankAfterText;
            const Advance a = continueOnNextLine();
            if (a == Advance::failed)
                return 0.0;
            if (a == Advance::sectionEnded)
                S.fieldStatus = -2;
            if (ended || a == Advance::sectionEnded)
                break;
            end = dataEnd();
            continue;
        }
        const char c = S.line[S.cursor];
        if (c == ' ') {
            blankAfterText = !text.empty();
        } else if (isRealCharacter(c)) {
            if (text.size() == kMaxRealText)
                tooLong = true;
            else
                text += (c == 'D') ? 'E' : c;
            blankAfterText = false;
        } else {
            if (!takeTerminator(kBadReal))
                return 0.0;
            break;
        }
        ++S.cursor;
    }
    if (tooLong) {
        fieldError(kBadReal);
        return 0.0;
    }
    return realFromText(text);
}

int readIgesString(char* destination, int capacity)
{
    S.fieldStatus = -1;
    if (capacity > 0)
        destination[0] = '\0';
    int end = fieldLineEnd();
    if (end == 0)
        return -1;
    if (!skipBlanks(end))
        return S.fieldStatus == -2 ? 0 : -1;
    // An empty field.
    const char first = S.line[S.cursor];
    if (first == S.parameterDelimiter || first == ';') {
        takeTerminator(kBadStringEnd);
        return 0;
    }
    long long count = 0;
    while (S.cursor < end && isDigit(S.line[S.cursor])) {
        count = count * 10 + (S.line[S.cursor++] - '0');
        if (count > INT_MAX)
            count = INT_MAX;
    }
    if (S.cursor >= end || S.line[S.cursor] != 'H') {
        fieldError(kBadStringCount);
        return -1;
    }
    ++S.cursor;
    // The text cannot be longer than what is left of the file.
    if (count > end - S.cursor && count - (end - S.cursor) > remainingInputSize()) {
        fieldError(kBadStringCount);
        return -1;
    }
    long long copied = 0;
    while (copied < count) {
        if (S.cursor >= end) {
            const Advance a = continueOnNextLine();
            if (a == Advance::sectionEnded)
                fieldError(kBadStringEnd);
            if (a != Advance::nextLine)
                return -1;
            end = dataEnd();
            continue;
        }
        if (copied < capacity - 1)
            destination[copied] = S.line[S.cursor];
        ++copied;
        ++S.cursor;
    }
    if (capacity > 0)
        destination[copied < capacity - 1 ? copied : capacity - 1] = '\0';
    // Blanks up to the end of the line also end the field.
    const int textEnd = S.cursor;
    while (S.cursor < end && S.line[S.cursor] == ' ')
        ++S.cursor;
    if (S.cursor >= end) {
        const Advance a = continueOnNextLine();
        if (a == Advance::sectionEnded) {
            S.fieldStatus = -2;
            return 0;
        }
        if (a == Advance::failed)
            return -1;
        // After a text that fills its line the delimiter may start the next one.
        const char t = S.line[S.cursor];
        if (textEnd < end || (t != S.parameterDelimiter && t != ';'))
            return 0;
    }
    return takeTerminator(kBadStringEnd) ? 0 : -1;
}
