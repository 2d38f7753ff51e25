// Line rules of the journal converter and the stream conversion.
#include "pashwell/convert/JournalConverter.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <vector>

using pashwell::ConversionStatus;
using pashwell::convertJournal;
using pashwell::convertLine;

namespace {

std::vector<std::string> convert(const std::string& line)
{
    std::vector<std::string> script;
    convertLine(line, script);
    return script;
}

const std::vector<std::string> kPreamble{
    "%adjust path to find quenholt files",
    "path(path, 'C:\\Program Files (x86)\\Quenholt\\Quenholt\\Matlab')",
    "",
    "%Create a Quenholt Section Object class",
    "xscn = QHTXSection();",
    "xscn.ClearAll();",
};

struct LineCase {
    const char* journal;
    std::vector<std::string> script;
};

const LineCase kLineCases[] = {
    // Worked examples.
    {"'Version 2.0", {"%Version 2.0"}},
    {"xscn.SetUnitSystem 1", {"xscn.SetUnitSystem( 1);"}},
    {"xscn.DeleteSelected", {"xscn.DeleteSelected();"}},
    {"Set polygon = xscn.AddArbitraryShape ( \"P1\",1)",
     {" polygon =xscn.AddArbitraryShape  ( 'P1',1);"}},
    {"polygon.AddPoint 1.5,2", {"invoke(polygon,'AddPoint',1.5,2);"}},
    {"Set polygon = Nothing", {}},
    {"Dim xscn As LorimantDocument", {}},
    // The journal's form of the fit names the sub-section.
    {"polygon.LinearFit \"root\"", {"invoke(polygon,'LinearFit','root');"}},
    // Edge cases.
    {"xscn.ClearAll", kPreamble},
    {"xscn.ClearAll ", {"xscn.ClearAll( );"}},
    {"  xscn.DeleteSelected", {}},
    {"'", {"%"}},
    {"ss'note", {"%note"}},
    {"x'note", {}},
    {"polygon.LinearFit", {"invoke(polygon,'LinearFit');"}},
    {"'Dim \"a\"", {"%Dim \"a\""}},
    {"polygon.AddPoint \"a\",1", {"invoke(polygon,'AddPoint',\"a\",1);"}},
    {"xscn.DeleteShape \"R1\"", {"xscn.DeleteShape( 'R1');"}},
    {"", {}},
    {"Option Explicit", {}},
    {"    Set xscn = obj.Object", {}},
    {"\tMsgBox err.Description", {}},
    // Quoted texts become valid MATLAB texts with the same characters.
    {"xscn.CreateSubSection \"root\",\"Ann's web\"",
     {"xscn.CreateSubSection( 'root','Ann''s web');"}},
    {"xscn.RenameShape \"R1\",\"R\"\"2\"", {"xscn.RenameShape( 'R1','R\"2');"}},
    {"xscn.RenameShape \"\",\"\"\"\"", {"xscn.RenameShape( '','\"');"}},
    {"Set s = xscn.AddShape \"it's\"", {" s =xscn.AddShape  'it''s';"}},
};

TEST(PashwellLines, RulesGiveTheirScriptLines)
{
    for (const LineCase& c : kLineCases) {
        EXPECT_EQ(convert(c.journal), c.script) << "journal line: " << c.journal;
        // Journals end their lines with CR LF.
        EXPECT_EQ(convert(std::string(c.journal) + "\r"), c.script)
            << "journal line with CR: " << c.journal;
    }
}

TEST(PashwellLines, OnlyOneTrailingCarriageReturnIsRemoved)
{
    EXPECT_TRUE(convert("xscn.Undo\r\r").empty());
    EXPECT_TRUE(convert("xscn.ClearAll \r\r").empty());
}

TEST(PashwellLines, LinesUpToTheLimitConvertLongerOnesAreDropped)
{
    const std::size_t limit = pashwell::kMaxLineLength;
    ASSERT_EQ(limit, 2048u);
    struct Form {
        std::string head;
        std::string tail;
        std::string scriptHead;
        std::string scriptTail;
    };
    // Each rule that scans the rest of the line, filled to the limit.
    const Form forms[] = {
        {"'", "", "%", ""},
        {"polygon.AddPoint ", "", "invoke(polygon,'AddPoint',", ");"},
        {"Set s = xscn.Add ", "", " s =xscn.Add  ", ";"},
        {"xscn.Add \"", "\"", "xscn.Add( '", "');"},
    };
    for (const Form& f : forms) {
        const std::size_t fill = limit - f.head.size() - f.tail.size();
        const std::string body(fill, 'x');
        const std::string line = f.head + body + f.tail;
        ASSERT_EQ(line.size(), limit);
        EXPECT_EQ(convert(line + "\r"),
                  std::vector<std::string>{f.scriptHead + body + f.scriptTail})
            << f.head;
        EXPECT_TRUE(convert(f.head + body + "x" + f.tail).empty()) << f.head;
    }
}

TEST(PashwellLines, HugeLineIsDroppedAndConversionGoesOn)
{
    std::istringstream journal("xscn.AddPoint \"" + std::string(100000, 'x') + "\"\r\n" +
                               "'" + std::string(100000, 'y') + "\r\n" + "xscn.Undo\r\n");
    std::ostringstream script;
    EXPECT_EQ(convertJournal(journal, script), ConversionStatus::Done);
    EXPECT_EQ(script.str(), "xscn.Undo();\n");
}

TEST(PashwellStreams, EmptyJournalGivesEmptyScript)
{
    std::istringstream journal("");
    std::ostringstream script;
    EXPECT_EQ(convertJournal(journal, script), ConversionStatus::Done);
    EXPECT_EQ(script.str(), "");
}

TEST(PashwellStreams, CrlfAndLfJournalsGiveTheSameScript)
{
    const std::string body =
        "'Quenholt\n"
        "Dim obj As OLEObject\n"
        "xscn.ClearAll\n"
        "Set polygon = xscn.AddArbitraryShape ( \"P1\",1)\n"
        "polygon.AddPoint 1.5,2\n"
        "polygon.LinearFit \"root\"\n"
        "xscn.ClearAll\n"
        "xscn.Undo"; // no line end after the last line
    std::string crlf;
    for (char c : body) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    std::istringstream lfJournal(body), crlfJournal(crlf);
    std::ostringstream lfScript, crlfScript;
    ASSERT_EQ(convertJournal(lfJournal, lfScript), ConversionStatus::Done);
    ASSERT_EQ(convertJournal(crlfJournal, crlfScript), ConversionStatus::Done);

    std::string preamble;
    for (const std::string& line : kPreamble)
        preamble += line + "\n";
    const std::string expected = "%Quenholt\n" + preamble +
                                 " polygon =xscn.AddArbitraryShape  ( 'P1',1);\n"
                                 "invoke(polygon,'AddPoint',1.5,2);\n"
                                 "invoke(polygon,'LinearFit','root');\n" +
                                 preamble + "xscn.Undo();\n";
    EXPECT_EQ(lfScript.str(), expected);
    EXPECT_EQ(crlfScript.str(), expected);
}

// A buffer whose writes fail after `room` characters.
class FullBuffer : public std::streambuf {
public:
    explicit FullBuffer(std::size_t room) : room_(room) {}
    std::string written;

protected:
    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        if (written.size() == room_)
            return traits_type::eof();
        written += traits_type::to_char_type(c);
        return c;
    }

private:
    std::size_t room_;
};

// A buffer that yields `text` and then fails as a broken device would.
class BrokenBuffer : public std::streambuf {
public:
    explicit BrokenBuffer(std::string text) : text_(std::move(text))
    {
        setg(text_.data(), text_.data(), text_.data() + text_.size());
    }

protected:
    int_type underflow() override { throw std::runtime_error("read error"); }

private:
    std::string text_;
};

TEST(PashwellStreams, WriteAndReadFailuresAreReported)
{
    std::istringstream journal("'one\n'two\n'three\n");
    FullBuffer full(6);
    std::ostream script(&full);
    EXPECT_EQ(convertJournal(journal, script), ConversionStatus::WriteFailed);
    EXPECT_EQ(full.written, "%one\n%");

    BrokenBuffer broken("'one\n'tw");
    std::istream brokenJournal(&broken);
    std::ostringstream out;
    EXPECT_EQ(convertJournal(brokenJournal, out), ConversionStatus::ReadFailed);
    EXPECT_EQ(out.str(), "%one\n");
}

} // namespace
