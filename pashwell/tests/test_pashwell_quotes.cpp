// Journal lines whose names hold doubled quotes become MATLAB texts with the
// same characters: the doubled quote is one quote, an apostrophe is doubled.
#include "pashwell/convert/JournalConverter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(PashwellQuotes, NamesWithQuotesInEveryQuotingRule)
{
    const struct {
        const char* journal;
        const char* script;
    } cases[] = {
        {"Set polygon = xscn.AddArbitraryShape ( \"a\"\"b\",1)",
         " polygon =xscn.AddArbitraryShape  ( 'a\"b',1);"},
        {"Set polygon = xscn.AddArbitraryShape ( \"\"\"ab\",0)",
         " polygon =xscn.AddArbitraryShape  ( '\"ab',0);"},
        {"polygon.LinearFit \"ab\"\"\"", "invoke(polygon,'LinearFit','ab\"');"},
        {"polygon.LinearFit \"\"\"\"\"\"", "invoke(polygon,'LinearFit','\"\"');"},
        {"xscn.RenameSubSection \"a\"\"b\",\"it's \"\"x\"\"\"",
         "xscn.RenameSubSection( 'a\"b','it''s \"x\"');"},
        {"xscn.TranslateShape \"\"\"\",1,2", "xscn.TranslateShape( '\"',1,2);"},
        {"xscn.FileOpen \"/tmp/\"\"q\"\".qhscn\"", "xscn.FileOpen( '/tmp/\"q\".qhscn');"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> script;
        pashwell::convertLine(std::string(c.journal) + "\r", script);
        EXPECT_EQ(script, std::vector<std::string>{c.script}) << c.journal;
    }
}

} // namespace
