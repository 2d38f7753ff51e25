// Line-by-line rewriting of journal lines into MATLAB script lines.
#include "pashwell/convert/JournalConverter.h"

#include <array>
#include <fstream>
#include <istream>
#include <optional>
#include <ostream>
// GCC 12 reports state objects of its own regex compiler as maybe used
// uninitialised when sanitizers are on; the report is about library code.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <regex>
#include <system_error>

namespace pashwell {
namespace {

// How a rule recognises its line: a regular expression that must match the
// whole line (ECMAScript grammar; "." stands for any character), or an exact
// comparison with the text.
enum class Match { WholeLine, Exact };

// What a rule writes for its line.
enum class Output {
    Format,   // the match formatted with the rule's format ($n is group n)
    Preamble, // the script preamble
    Nothing,  // the line is dropped
};

struct Rule {
    Match match;
    const char* text;   // the pattern, or the exact line
    Output output;
    const char* format; // for Output::Format
    bool matlabQuotes;  // rewrite quoted texts of the result as MATLAB texts
};

// The rules in the order they are tried; the first that holds wins and a
// line that none takes is dropped.
constexpr std::array<Rule, 8> kRules{{
    // A comment: optional letters s, an apostrophe and the rest.
    {Match::WholeLine, "(s*')(.*)", Output::Format, "%$2", false},
    // Declarations have no MATLAB counterpart.
    {Match::WholeLine, "Dim(.*)", Output::Nothing, nullptr, false},
    // The journal's first call creates the section object.
    {Match::Exact, "xscn.ClearAll", Output::Preamble, nullptr, false},
    {Match::WholeLine, "polygon.AddPoint (.*)", Output::Format,
     "invoke(polygon,'AddPoint',$1);", false},
    {Match::WholeLine, "polygon.LinearFit", Output::Format, "invoke(polygon,'LinearFit');",
     false},
    // The form the journal writes: the sub-section's name as argument.
    {Match::WholeLine, "polygon.LinearFit (.*)", Output::Format,
     "invoke(polygon,'LinearFit',$1);", true},
    // A call whose result is kept in a macro variable.
    {Match::WholeLine, "Set([a-zA-Z0-9 ]*)=( *)xscn.([a-zA-Z0-9]*)(.*)", Output::Format,
     "$1=xscn.$3 $4;", true},
    // Any other call on the section object.
    {Match::WholeLine, "xscn.([a-zA-Z0-9]*)(.*)", Output::Format, "xscn.$1($2);", true},
}};

// The compiled patterns of kRules (empty for exact rules), built once.
const std::array<std::optional<std::regex>, kRules.size()>& compiledRules()
{
    static const auto compiled = [] {
        std::array<std::optional<std::regex>, kRules.size()> patterns;
        for (std::size_t i = 0; i < kRules.size(); ++i) {
            if (kRules[i].match == Match::WholeLine)
                patterns[i].emplace(kRules[i].text, std::regex::ECMAScript);
        }
        return patterns;
    }();
    return compiled;
}

// Index of the first rule that holds for `line`, with its match; kRules.size()
// when none does.
std::size_t firstRule(const std::string& line, std::smatch& match)
{
    const auto& patterns = compiledRules();
    for (std::size_t i = 0; i < kRules.size(); ++i) {
        const bool holds = kRules[i].match == Match::Exact
                               ? line == kRules[i].text
                               : std::regex_match(line, match, *patterns[i]);
        if (holds)
            return i;
    }
    return kRules.size();
}

} // namespace

const std::vector<std::string>& scriptPreamble()
{
    static const std::vector<std::string> lines{
        "%adjust path to find quenholt files",
        "path(path, 'C:\\Program Files (x86)\\Quenholt\\Quenholt\\Matlab')",
        "",
        "%Create a Quenholt Section Object class",
        "xscn = QHTXSection();",
        "xscn.ClearAll();",
    };
    return lines;
}

std::string toMatlabQuotes(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 8);
    bool inText = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"' && inText && i + 1 < text.size() && text[i + 1] == '"') {
            out += '"';
            ++i;
        } else if (c == '"') {
            out += '\'';
            inText = !inText;
        } else if (c == '\'' && inText) {
            out += "''";
        } else {
            out += c;
        }
    }
    return out;
}

void convertLine(std::string_view line, std::vector<std::string>& script)
{
    // Journals end their lines with CR LF; "." does not match the CR.
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (line.size() > kMaxLineLength)
        return;

    const std::string text(line);
    std::smatch match;
    const std::size_t index = firstRule(text, match);
    if (index == kRules.size())
        return;
    const Rule& rule = kRules[index];
    switch (rule.output) {
    case Output::Nothing:
        return;
    case Output::Preamble: {
        const auto& preamble = scriptPreamble();
        script.insert(script.end(), preamble.begin(), preamble.end());
        return;
    }
    case Output::Format: {
        std::string result = match.format(rule.format);
        script.push_back(rule.matlabQuotes ? toMatlabQuotes(result) : std::move(result));
        return;
    }
    }
}

ConversionStatus convertJournal(std::istream& journal, std::ostream& script)
{
    std::string line;
    std::vector<std::string> lines;
    while (std::getline(journal, line)) {
        lines.clear();
        convertLine(line, lines);
        for (const std::string& out : lines) {
            script << out << '\n';
            script.flush();
            if (!script)
                return ConversionStatus::WriteFailed;
        }
    }
    return journal.bad() ? ConversionStatus::ReadFailed : ConversionStatus::Done;
}

ConversionStatus convertJournal(const std::filesystem::path& journalPath,
                                const std::filesystem::path& scriptPath)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    // A folder opens as a stream on Linux but cannot be read.
    if (journalPath.empty() || fs::is_directory(journalPath, ec))
        return ConversionStatus::JournalNotOpened;
    std::ifstream journal(journalPath, std::ios::binary);
    if (!journal)
        return ConversionStatus::JournalNotOpened;
    // Opening the script truncates it: never let that be the journal.
    if (fs::equivalent(journalPath, scriptPath, ec))
        return ConversionStatus::SameFile;

    ConversionStatus status;
    {
        std::ofstream script(scriptPath, std::ios::binary | std::ios::trunc);
        if (!script)
            return ConversionStatus::ScriptNotOpened;
        status = convertJournal(journal, script);
        script.close();
        if (status == ConversionStatus::Done && script.fail())
            status = ConversionStatus::WriteFailed;
    }
    // Remove a partial script, but never a device or other special file.
    if (status != ConversionStatus::Done && fs::is_regular_file(scriptPath, ec))
        fs::remove(scriptPath, ec);
    return status;
}

std::string conversionFailureText(ConversionStatus status,
                                  const std::filesystem::path& journalPath,
                                  const std::filesystem::path& scriptPath)
{
    struct Text {
        ConversionStatus status;
        const char* lead;
        bool namesJournal;
        const char* tail;
    };
    static constexpr Text kTexts[] = {
        {ConversionStatus::JournalNotOpened, "The log file could not be opened:", true,
         "No MATLAB file was written."},
        {ConversionStatus::SameFile, "The MATLAB file would replace the log file it is made from:",
         true, "Choose another folder or file name."},
        {ConversionStatus::ScriptNotOpened, "The MATLAB file could not be created:", false,
         "Check the output folder and the file name."},
        {ConversionStatus::ReadFailed, "The log file could not be read to its end:", true,
         "No MATLAB file was kept."},
        {ConversionStatus::WriteFailed, "The MATLAB file could not be written completely:", false,
         "No MATLAB file was kept."},
    };
    for (const Text& text : kTexts) {
        if (text.status == status) {
            const auto& path = text.namesJournal ? journalPath : scriptPath;
            return std::string(text.lead) + "\n" + path.string() + "\n\n" + text.tail;
        }
    }
    return {};
}

} // namespace pashwell

#pragma GCC diagnostic pop
