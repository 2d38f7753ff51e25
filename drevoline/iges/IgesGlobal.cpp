// The Global section of an IGES file.

#include <cstdio>
#include <cstring>

#include "drevoline/iges/IgesLineScan.h"
#include "drevoline/iges/IgesReader.h"

using namespace iges_scan;

namespace {

IgesReaderState& S = gIgesReader;

// Where a Global field should begin: 2 for an empty field (the cursor moves
// past its delimiter), -2 when the record (';') or the Global section has
// ended, -4 when the file ends, 0 when a field begins at the cursor.
int globalFieldStart()
{
    for (;;) {
        if (sectionLetter() != 'G')
            return -2;
        if (S.cursor >= 72) {
            const Advance a = continueOnNextLine();
            if (a == Advance::failed)
                return -4;
            continue;  // a new line of this section, or the section's end
        }
        const char c = S.line[S.cursor];
        if (c == ';')
            return -2;
        if (c == S.parameterDelimiter) {
            ++S.cursor;
            return 2;
        }
        if (c != ' ')
            return 0;
        ++S.cursor;
    }
}

// The wrapper's result after a parse: 0 for a field ended by its delimiter,
// else the field status.
int globalFieldResult()
{
    return S.fieldStatus == -1 ? 0 : S.fieldStatus;
}

// A delimiter that the field parsers can tell from the characters of
// numbers and strings.
bool usableDelimiter(char c)
{
    return c > ' ' && c < 127 && !(c >= '0' && c <= '9') && !std::strchr("+-.EDeGHP;", c);
}

// Reads one delimiter field: its first character, or `fallback` when empty.
int readDelimiter(char* delimiter, char fallback)
{
    char text[igesGlobalTextSize] = "";
    const int r = readGlobalString(text, igesGlobalTextSize);
    *delimiter = text[0] != '\0' ? text[0] : fallback;
    return r;
}

// One step of the Global record: the reader of one field.
using GlobalStep = int (*)(IgesGlobalSection&);

template <auto Member>
int textField(IgesGlobalSection& g)
{
    return readGlobalString(g.*Member, static_cast<int>(sizeof(g.*Member)));
}

template <auto Member>
int integerField(IgesGlobalSection& g)
{
    return readGlobalInteger(&(g.*Member));
}

template <auto Member>
int realField(IgesGlobalSection& g)
{
    return readGlobalReal(&(g.*Member));
}

using G = IgesGlobalSection;

// Fields 3 to 26, in file order.
const GlobalStep kGlobalFields[] = {
    textField<&G::senderProductId>,        textField<&G::fileName>,
    textField<&G::nativeSystemId>,         textField<&G::preprocessorVersion>,
    integerField<&G::integerBits>,         integerField<&G::singleMagnitude>,
    integerField<&G::singleSignificance>,  integerField<&G::doubleMagnitude>,
    integerField<&G::doubleSignificance>,  textField<&G::receiverProductId>,
    realField<&G::modelSpaceScale>,        integerField<&G::unitFlag>,
    textField<&G::unitName>,               integerField<&G::maxLineWeightGradations>,
    realField<&G::maxLineWidth>,           textField<&G::dateTime>,
    realField<&G::minResolution>,          realField<&G::maxCoordinate>,
    textField<&G::author>,                 textField<&G::organisation>,
    integerField<&G::versionFlag>,         integerField<&G::draftingStandard>,
    textField<&G::modificationDate>,       textField<&G::applicationProtocol>,
};

}  // namespace

namespace {

// A numeric Global field read by parse; the value is kept unless the field
// is there and well formed.
template <class T, class Parse>
int readGlobalNumber(T* value, Parse parse)
{
    const int start = globalFieldStart();
    if (start != 0)
        return start;
    const T v = parse();
    if (S.fieldStatus != -4)
        *value = v;
    return globalFieldResult();
}

}  // namespace

int readGlobalInteger(int* value)
{
    return readGlobalNumber(value, readIgesInteger);
}

int readGlobalReal(double* value)
{
    return readGlobalNumber(value, readIgesReal);
}

int readGlobalString(char* value, int capacity)
{
    const int start = globalFieldStart();
    if (start != 0)
        return start;
    if (readIgesString(value, capacity) != 0)
        return -4;
    return globalFieldResult();
}

int ReadGlobal()
{
    if (sectionLetter() != 'G') {
        std::fputs("ReadGlobal - failure in read of global section ", stderr);
        return -1;
    }
    S.global = IgesGlobalSection();
    S.parameterDelimiter = ',';
    S.recordDelimiter = ';';
    // The first field names the delimiter that also ends it.
    while (S.cursor < 70 && S.line[S.cursor] == ' ')
        ++S.cursor;
    if (S.cursor < 70 && S.line[S.cursor] == '1' && S.line[S.cursor + 1] == 'H')
        S.parameterDelimiter = S.line[S.cursor + 2];
    // Every field ends the reading when the record or the section ends
    // with it: what follows belongs to the Directory section.
    int r = readDelimiter(&S.parameterDelimiter, ',');
    if (r != -2 && r != -4)
        r = readDelimiter(&S.recordDelimiter, ';');
    if (!usableDelimiter(S.parameterDelimiter)) {
        std::fputs("ReadGlobal - unusable parameter delimiter\n", stderr);
        S.parameterDelimiter = ',';
        S.errorCode = 1;
        return -1;
    }
    for (const GlobalStep step : kGlobalFields) {
        if (r == -2 || r == -4)
            break;
        r = step(S.global);
    }
    return r == -4 ? -1 : 0;
}
