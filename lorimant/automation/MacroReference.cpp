#include "lorimant/automation/MacroReference.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <set>
#include <sstream>

#include "lorimant/automation/CArbitraryShape.h"
#include "lorimant/automation/CMetalMaterial.h"
#include "lorimant/automation/CShapesCollect.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/automation/LorimantTypeLibrary.h"
#include "lorimant/automation/MacroReferenceData.h"

namespace {

std::string lowered(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> splitNames(const char* list)
{
    std::vector<std::string> names;
    std::string current;
    for (const char* p = list; *p != '\0'; ++p) {
        if (*p == ',') {
            names.push_back(current);
            current.clear();
        } else if (*p != ' ') {
            current += *p;
        }
    }
    if (!current.empty()) names.push_back(current);
    return names;
}

const MemberDescription* findDescription(const std::string& object, const std::string& member)
{
    std::size_t count = 0;
    const MemberDescription* rows = MemberDescriptions(&count);
    for (std::size_t i = 0; i < count; ++i)
        if (object == rows[i].object && member == rows[i].member) return &rows[i];
    return nullptr;
}

std::string meaningOf(const std::string& member, const std::string& param)
{
    static const std::map<std::string, std::string> glossary = [] {
        std::map<std::string, std::string> m;
        std::size_t count = 0;
        const ParameterMeaning* rows = ParameterMeanings(&count);
        for (std::size_t i = 0; i < count; ++i) m.emplace(rows[i].key, rows[i].meaning);
        return m;
    }();
    if (const auto it = glossary.find(member + "." + param); it != glossary.end()) return it->second;
    if (const auto it = glossary.find(param); it != glossary.end()) return it->second;
    return {};
}

// The members of one dispatch table, each DISPID once, described.
template <class T>
void addTable(std::vector<MacroMember>& out, const char* object, const CDispatchTable<T>& table)
{
    std::set<std::pair<DISPID, std::string>> seen;
    for (const DispatchEntry<T>& e : table.Entries()) {
        MacroMember m;
        m.object = object;
        m.name = wideToUtf8(e.name);
        if (!seen.insert({e.dispid, m.name}).second) continue;  // a repeated row
        m.dispid = e.dispid;
        static const std::set<std::string> readOnly = {"Shapes.NewEnum", "Shapes.Count", "Shapes.Item"};
        m.property = e.put != nullptr || readOnly.count(m.object + "." + m.name) != 0;
        m.writable = e.put != nullptr;
        m.result = e.result;
        const MemberDescription* d = findDescription(m.object, m.name);
        const std::vector<std::string> names = d != nullptr ? splitNames(d->params) : std::vector<std::string>{};
        for (std::size_t i = 0; i < e.params.size(); ++i) {
            MacroParameter p;
            p.type = e.params[i];
            if (i < names.size()) {
                p.name = names[i];
                p.meaning = meaningOf(m.name, p.name);
            }
            m.params.push_back(std::move(p));
        }
        if (d != nullptr) {
            m.summary = d->summary;
            m.returns = d->returns;
            m.journal = d->journal;
            if (names.size() != e.params.size()) m.summary.clear();  // counted as lacking below
        }
        out.push_back(std::move(m));
    }
}

// The edit distance of two names, ignoring case.
std::size_t editDistance(const std::string& a, const std::string& b)
{
    const std::string x = lowered(a), y = lowered(b);
    std::vector<std::size_t> row(y.size() + 1);
    for (std::size_t j = 0; j <= y.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= x.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= y.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (x[i - 1] == y[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[y.size()];
}

std::string joinedOr(const std::vector<std::string>& names)
{
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " or " : ", ";
        text += names[i];
    }
    return text;
}

std::string callForm(const MacroMember& m, const std::string& holder)
{
    if (m.result == VT_EMPTY) return holder + "." + m.name + (m.params.empty() ? "" : " " + MacroParameterList(m));
    return std::string(m.result == VT_DISPATCH ? "Set v = " : "v = ") + holder + "." + m.name +
           (m.params.empty() ? "" : "(" + MacroParameterList(m) + ")");
}

std::string holderOf(const std::string& object)
{
    static const std::map<std::string, std::string> holders = {
        {"LorimantDocument", "xscn"}, {"Shape", "shape"}, {"Shapes", "shapes"}, {"Material", "material"},
        {"ArbitraryShape", "polygon"}};
    const auto it = holders.find(object);
    return it == holders.end() ? "obj" : it->second;
}

// The reference of one member as plain text (indent before each line).
std::string memberText(const MacroMember& m)
{
    std::ostringstream out;
    out << m.object << "." << m.name << (m.property ? (m.writable ? " (property, read and set)" : " (property)") : "")
        << "\n  " << m.summary << "\n  " << callForm(m, holderOf(m.object)) << "\n";
    if (m.writable) out << "  " << holderOf(m.object) << "." << m.name << " = value\n";
    if (!m.params.empty()) out << "  Parameters:\n";
    for (std::size_t i = 0; i < m.params.size(); ++i) {
        const MacroParameter& p = m.params[i];
        out << "    " << (i + 1) << ". " << p.name << " (" << MacroTypeName(p.type) << "): " << p.meaning << "\n";
    }
    if (m.result != VT_EMPTY)
        out << "  Returns: " << MacroTypeName(m.result) << (m.returns.empty() ? "" : ", " + m.returns) << "\n";
    else if (!m.returns.empty())
        out << "  Gives: " << m.returns << "\n";
    out << "  Journal: " << (m.journal.empty() ? "no line of its own" : m.journal) << "\n";
    return out.str();
}

}  // namespace

const std::vector<MacroMember>& MacroMembers()
{
    static const std::vector<MacroMember> members = [] {
        std::vector<MacroMember> all;
        addTable(all, "LorimantDocument", ILorimantDispatchTable());
        addTable(all, "Shape", ShapeDispatchTable());
        addTable(all, "Shapes", ShapesDispatchTable());
        addTable(all, "Material", MaterialDispatchTable());
        addTable(all, "ArbitraryShape", ArbitraryShapeDispatchTable());
        return all;
    }();
    return members;
}

std::vector<std::string> MacroMembersLackingDescriptions()
{
    std::vector<std::string> lacking;
    for (const MacroMember& m : MacroMembers()) {
        const std::string who = m.object + "." + m.name;
        if (m.summary.empty()) lacking.push_back(who + ": no description, or a parameter count unlike the table's");
        for (const MacroParameter& p : m.params)
            if (p.name.empty() || p.meaning.empty()) lacking.push_back(who + ": parameter " + p.name + " has no meaning");
    }
    return lacking;
}

const MacroMember* FindMacroMember(const std::string& object, const std::string& name, std::size_t arity)
{
    const MacroMember* first = nullptr;
    const std::string wanted = lowered(name);
    for (const MacroMember& m : MacroMembers()) {
        if (m.object != object || lowered(m.name) != wanted) continue;
        if (m.params.size() == arity) return &m;
        if (first == nullptr) first = &m;
    }
    return first;
}

const std::vector<MacroEnumeration>& MacroEnumerations()
{
#define LORIMANT_ENUM_VALUE(name, value) {#name, value},
    static const std::vector<MacroEnumeration> enums = {
        {"QHT_ELEMENTTYPE", {LORIMANT_QHT_ELEMENTTYPE(LORIMANT_ENUM_VALUE)}},
        {"QHT_RESULT", {LORIMANT_QHT_RESULT(LORIMANT_ENUM_VALUE)}},
        {"QHT_EXTREME_RESULT", {LORIMANT_QHT_EXTREME_RESULT(LORIMANT_ENUM_VALUE)}},
        {"QHT_UNITSYSTEM", {LORIMANT_QHT_UNITSYSTEM(LORIMANT_ENUM_VALUE)}},
        {"QHT_BENDINGANALYSIS", {LORIMANT_QHT_BENDINGANALYSIS(LORIMANT_ENUM_VALUE)}},
        {"QHT_MATERIALPROPERTY", {LORIMANT_QHT_MATERIALPROPERTY(LORIMANT_ENUM_VALUE)}},
        {"tagSectionAnalysisValue", {LORIMANT_SECTIONANALYSISVALUE(LORIMANT_ENUM_VALUE)}},
    };
#undef LORIMANT_ENUM_VALUE
    return enums;
}

std::string MacroNumberText(double value)
{
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return ec == std::errc() ? std::string(buffer, end) : std::string("?");
}

std::string MacroTypeName(VARTYPE type)
{
    static const std::map<VARTYPE, const char*> names = {
        {VT_EMPTY, "nothing"},   {VT_I2, "Integer"},         {VT_I4, "Long"},
        {VT_R8, "Double"},       {VT_BSTR, "Text"},          {VT_BOOL, "Boolean"},
        {VT_DISPATCH, "Object"}, {VT_VARIANT, "Variant"},    {VT_UNKNOWN, "Enumerator"},
        {static_cast<VARTYPE>(VT_R8 | VT_BYREF), "out Double: a variable name"},
    };
    const auto it = names.find(type);
    return it == names.end() ? "Variant" : it->second;
}

std::string MacroParameterList(const MacroMember& member)
{
    std::string text;
    for (const MacroParameter& p : member.params) text += (text.empty() ? "" : ", ") + p.name;
    return text;
}

std::vector<std::string> NearestNames(const std::string& name, const std::vector<std::string>& candidates,
                                      std::size_t most)
{
    // A slip: a third of the name's letters at most (at least 2), the name
    // contained in the candidate, or all of the name but its last letter
    // starting it ("TRIANGLES" for "TRIANGLE_3NODES").
    const std::size_t limit = std::max<std::size_t>(2, name.size() / 3);
    std::vector<std::pair<std::size_t, std::string>> near;
    std::set<std::string> seen;
    for (const std::string& c : candidates) {
        if (!seen.insert(lowered(c)).second) continue;
        const std::size_t d = editDistance(name, c);
        const std::string lc = lowered(c), ln = lowered(name);
        const bool contains = ln.size() >= 4 && lc.find(ln) != std::string::npos;
        std::size_t prefix = 0;
        while (prefix < lc.size() && prefix < ln.size() && lc[prefix] == ln[prefix]) ++prefix;
        const bool sameStart = prefix >= std::max<std::size_t>(4, ln.size() - 1);
        if (d <= limit || contains || sameStart) near.push_back({std::min(d, limit + 1), c});
    }
    std::stable_sort(near.begin(), near.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    for (std::size_t i = 0; i < near.size() && i < most; ++i) names.push_back(near[i].second);
    return names;
}

std::string DidYouMean(const std::string& name, const std::vector<std::string>& candidates)
{
    const std::vector<std::string> near = NearestNames(name, candidates);
    return near.empty() ? std::string() : " Did you mean " + joinedOr(near) + "?";
}

std::string ProgramUsageText()
{
    return "Usage: lorimant [FILE.qhscn]          open the program's window (with a document)\n"
           "       lorimant --run [FILE]          run a macro without a window (standard input without FILE)\n"
           "       lorimant --help [METHOD]       this text, or the parameters of one method\n"
           "       lorimant --list                every method name and every enumeration with its values\n"
           "       lorimant --version             the program's version\n"
           "       lorimant /Automation | /Embedding | --automation | --embedding\n"
           "                                      run a macro from standard input without a window\n"
           "       lorimant /Register | /Unregister   nothing to do on this platform\n"
           "\n"
           "A macro is written in the language of the program's journals; the variable xscn\n"
           "holds the document. A run prints each statement, each value assigned, the files\n"
           "the methods wrote and the journal of the run. See docs/macros.md.\n";
}

std::string MacroMemberHelpText(const std::string& name)
{
    std::string text;
    for (const MacroMember& m : MacroMembers())
        if (lowered(m.name) == lowered(name)) text += (text.empty() ? "" : "\n") + memberText(m);
    return text;
}

std::string MacroListText()
{
    std::ostringstream out;
    std::string object;
    for (const MacroMember& m : MacroMembers()) {
        if (m.object != object) {
            object = m.object;
            out << (out.tellp() > 0 ? "\n" : "") << object << " (" << holderOf(object) << "):\n";
        }
        out << "  " << m.name << "\n";
    }
    for (const MacroEnumeration& e : MacroEnumerations()) {
        out << "\n" << e.name << ":\n";
        for (const auto& [n, v] : e.values) out << "  " << n << " = " << v << "\n";
    }
    return out.str();
}

// ---- docs/macros.md ---------------------------------------------------------

namespace {

const char* const kLanguage = R"(# Writing macros for Lorimant

`lorimant --run FILE` runs a macro on one new section document without a
window; `lorimant --run` with no file reads the macro from standard input.
The language is the one the program writes its journals in, so a journal
replays the same way. `lorimant --help METHOD` prints one method's entry of
this reference and `lorimant --list` every method and enumeration name.

## The language

- One statement per line. Blank lines are ignored. A comment starts with an
  apostrophe `'` (outside a text) or a line starting with `Rem`.
- `xscn` holds the document. Call a method with its arguments after the name,
  or in parentheses: `xscn.TranslateShape "R1", 1, 2` or
  `xscn.TranslateShape("R1", 1, 2)`.
- A method that returns a value: `area = xscn.GetValue(SA_Area)`. A run prints
  every assignment as `name = value`; numbers are printed with as many digits
  as it takes to read back the same double (`0.1` prints `0.1`, a third prints
  `0.3333333333333333`).
- A method that returns an object needs `Set`: `Set polygon = xscn.AddArbitraryShape("P1", 1)`,
  then `polygon.AddPoint 0, 0`. `Set polygon = Nothing` lets it go.
- Output parameters (`out Double` below) take a variable name, which receives
  the value: `xscn.ExtremeValues QHT_STRESSZZ, mx, mn` sets `mx` and `mn`.
- `Dim a, b As Double` declares variables (declaring is optional; the types
  are not checked).
- Texts are written in double quotes; a quote inside a text is doubled:
  `"say ""hi"""`. Numbers: `12`, `-1.5`, `.5`, `2.5E-3`. `True`, `False`,
  `Nothing`.
- Method names, variable names and the enumeration names listed below are
  matched without regard to case.
- `Exit Sub` or `End Sub` ends the macro; the lines a journal's header and
  epilogue hold (`Sub ...`, `Option Explicit`, `On Error GoTo ErrHandler`,
  ...) are accepted and do nothing.
- The first statement that fails stops the run: its line number, its text and
  what went wrong are printed on standard error and the program ends with
  status 1.

## What a run prints

On standard output: each statement run, each value assigned, one line
`Wrote PATH` for each file a method wrote, the line `Journal PATH` naming the
journal of the run (also after a failure), and a last line saying the macro
finished. Everything else (messages of failed steps, warnings) goes to
standard error.

## Units

A new document has no unit system: set it first with
`xscn.SetUnitSystem QHT_SI` or `xscn.SetUnitSystem QHT_USCS`. All numbers are
in that system; nothing is converted.

| Quantity | QHT_SI | QHT_USCS |
|---|---|---|
| length, coordinates | cm | in |
| area, first and second moments | cm², cm³, cm⁴ | in², in³, in⁴ |
| force | N | lb |
| moment | N·cm | lb·in |
| stress, modulus of a material | kPa | psi |
| density | g/cm³ | lb/in³ |
| angle | degrees, counter-clockwise | degrees, counter-clockwise |

## Placing shapes: point numbers

Every shape builder places its shape by two point numbers: the point
`origin` (`iorig` for profiles) goes to (x, y), and the direction from that
point to the point `dir` (`iDirection`) is turned to the angle `rot`
(`rotation`) in degrees, counter-clockwise from +x. The numbers count from 0
and must differ. The tables give each point of a shape built with the
example dimensions, origin 0 at (0, 0), direction point 1 and rotation 0, so
the coordinates show where each point lies. `AddDisk` takes no point
numbers: its centre goes to (x, y).
)";

void markdownMember(std::ostringstream& out, const MacroMember& m)
{
    out << "### " << m.object << "." << m.name << "\n\n" << m.summary << "\n\n```\n" << callForm(m, holderOf(m.object))
        << "\n";
    if (m.writable) out << holderOf(m.object) << "." << m.name << " = value\n";
    out << "```\n\n";
    if (!m.params.empty()) {
        out << "| # | Parameter | Type | Meaning |\n|---|---|---|---|\n";
        for (std::size_t i = 0; i < m.params.size(); ++i)
            out << "| " << i + 1 << " | " << m.params[i].name << " | " << MacroTypeName(m.params[i].type) << " | "
                << m.params[i].meaning << " |\n";
        out << "\n";
    }
    if (m.result != VT_EMPTY)
        out << "Returns: " << MacroTypeName(m.result) << (m.returns.empty() ? "" : ", " + m.returns) << ".\n\n";
    else if (!m.returns.empty())
        out << "Gives: " << m.returns << ".\n\n";
    out << "Journal: " << (m.journal.empty() ? "no line of its own" : "`" + m.journal + "`") << ".\n\n";
}

}  // namespace

std::string MacroReferenceMarkdown(const std::vector<BuilderPoints>& points)
{
    std::ostringstream out;
    out << kLanguage << "\n";
    for (const BuilderPoints& b : points) {
        out << "### " << b.builder << "\n\n`" << b.call << "`\n\n| Point | x | y |\n|---|---|---|\n";
        for (std::size_t i = 0; i < b.points.size(); ++i)
            out << "| " << i << " | " << MacroNumberText(b.points[i].first) << " | "
                << MacroNumberText(b.points[i].second) << " |\n";
        out << "\n";
    }
    out << "## Enumerations\n\n";
    for (const MacroEnumeration& e : MacroEnumerations()) {
        out << "### " << e.name << "\n\n| Name | Value |\n|---|---|\n";
        for (const auto& [n, v] : e.values) out << "| " << n << " | " << v << " |\n";
        out << "\n";
    }
    std::string object;
    for (const MacroMember& m : MacroMembers()) {
        if (m.object != object) {
            object = m.object;
            out << "## Methods of " << object << " (`" << holderOf(object) << "` in the examples)\n\n";
        }
        markdownMember(out, m);
    }
    return out.str();
}
