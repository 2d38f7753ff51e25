// Line-by-line rewriting of journal lines into MATLAB script lines.
#include "pashwell/convert/JournalConverter.h"

#include <algorithm>
#include <array>
#include <cstring>
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

namespace {

// Reads a journal line by line through a fixed buffer. Of a line longer
// than the limit only the first kMaxLineLength + 1 characters are kept (one
// more than the limit, for the CR of a CR LF line end); the rest is skipped
// as it is read, so memory stays bounded whatever the line's length.
class BoundedLineReader {
public:
    explicit BoundedLineReader(std::istream& in) : in_(in), buffer_(kChunk) {}

    // The next line without its "\n" (a last line may lack it). `cut` tells
    // that characters were skipped. False at the end of the journal and
    // after a read failure (a line the failure broke is not given).
    bool next(std::string& line, bool& cut)
    {
        line.clear();
        cut = false;
        bool any = false;
        for (;;) {
            if (pos_ == end_ && !fill())
                return any && !in_.bad();
            const char* start = buffer_.data() + pos_;
            const std::size_t available = end_ - pos_;
            const auto* newline = static_cast<const char*>(std::memchr(start, '\n', available));
            const std::size_t length = newline ? static_cast<std::size_t>(newline - start) : available;
            const std::size_t room = kMaxLineLength + 1 - line.size();
            line.append(start, std::min(length, room));
            cut = cut || length > room;
            any = true;
            pos_ += newline ? length + 1 : length;
            if (newline)
                return true;
        }
    }

private:
    static constexpr std::size_t kChunk = 1 << 16;

    // Takes what the stream holds buffered; only when it holds nothing does
    // it ask for more (peek), so that characters read before a failure of
    // the stream are kept, as character-wise reading keeps them.
    bool fill()
    {
        pos_ = end_ = 0;
        const auto size = static_cast<std::streamsize>(buffer_.size());
        std::streamsize n = in_.good() ? in_.readsome(buffer_.data(), size) : 0;
        if (n == 0 && in_.good() && in_.peek() != std::istream::traits_type::eof())
            n = in_.readsome(buffer_.data(), size);
        end_ = static_cast<std::size_t>(std::max<std::streamsize>(n, 0));
        return end_ > 0;
    }

    std::istream& in_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
};

// True when the line (as read, with a possible trailing CR) is longer than
// the limit once its CR is removed.
bool overLimit(const std::string& line, bool cut)
{
    const bool cr = !line.empty() && line.back() == '\r';
    return cut || line.size() - (cr ? 1 : 0) > kMaxLineLength;
}

} // namespace

ConversionStatus convertJournal(std::istream& journal, std::ostream& script, ConversionNotes* notes)
{
    BoundedLineReader reader(journal);
    std::string line;
    bool cut = false;
    std::size_t number = 0;
    std::vector<std::string> lines;
    while (reader.next(line, cut)) {
        ++number;
        if (overLimit(line, cut)) {
            if (notes != nullptr) {
                if (notes->longLinesDropped++ == 0)
                    notes->firstLongLine = number;
            }
            continue;
        }
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
                                const std::filesystem::path& scriptPath, ConversionNotes* notes)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    // A folder opens as a stream on Linux but cannot be read; a pipe would
    // block the opening and a device such as /dev/zero never ends.
    if (journalPath.empty() || !fs::is_regular_file(journalPath, ec))
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
        status = convertJournal(journal, script, notes);
        script.close();
        if (status == ConversionStatus::Done && script.fail())
            status = ConversionStatus::WriteFailed;
    }
    // Remove a partial script, but never a device or other special file.
    if (status != ConversionStatus::Done && fs::is_regular_file(scriptPath, ec))
        fs::remove(scriptPath, ec);
    return status;
}

std::string longLinesText(const ConversionNotes& notes)
{
    if (notes.longLinesDropped == 0)
        return {};
    const std::string limit = std::to_string(kMaxLineLength);
    if (notes.longLinesDropped == 1)
        return "Line " + std::to_string(notes.firstLongLine) + " of the log file is longer than " + limit +
               " characters and was left out of the MATLAB file.";
    return std::to_string(notes.longLinesDropped) + " lines of the log file, the first of them line " +
           std::to_string(notes.firstLongLine) + ", are longer than " + limit +
           " characters and were left out of the MATLAB file.";
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
