// File-to-file conversion: the fixture journal and the failures to open.
#include "pashwell/convert/JournalConverter.h"
#include "pashwell/tests/PashwellTestFiles.h"

#include <gtest/gtest.h>

using pashwell::ConversionStatus;
using pashwell::convertJournal;
using namespace pashwell_test;
namespace fs = std::filesystem;

namespace {

TEST(PashwellFiles, FixtureJournalGivesTheExpectedScript)
{
    ScratchFolder dir;
    const fs::path script = dir / "replay.m";
    writeBytes(script, "old content that must go\n");
    ASSERT_EQ(convertJournal(dataPath("quenholt_journal.log"), script), ConversionStatus::Done);
    EXPECT_EQ(readBytes(script), readBytes(dataPath("quenholt_journal.m")));
}

TEST(PashwellFiles, JournalThatCannotBeOpenedWritesNoScript)
{
    ScratchFolder dir;
    const fs::path script = dir / "replay.m";
    EXPECT_EQ(convertJournal(dir / "missing.log", script), ConversionStatus::JournalNotOpened);
    EXPECT_EQ(convertJournal(dir.path(), script), ConversionStatus::JournalNotOpened);
    EXPECT_EQ(convertJournal("", script), ConversionStatus::JournalNotOpened);
    EXPECT_FALSE(fs::exists(script));

    // A script left from an earlier run is not touched either.
    writeBytes(script, "earlier\n");
    EXPECT_EQ(convertJournal(dir / "missing.log", script), ConversionStatus::JournalNotOpened);
    EXPECT_EQ(readBytes(script), "earlier\n");
}

TEST(PashwellFiles, ScriptThatCannotBeCreatedIsReported)
{
    ScratchFolder dir;
    const fs::path journal = dataPath("quenholt_journal.log");
    EXPECT_EQ(convertJournal(journal, dir / "no_such_folder" / "replay.m"),
              ConversionStatus::ScriptNotOpened);
    // An empty file name leaves only the folder.
    EXPECT_EQ(convertJournal(journal, dir.path() / ""), ConversionStatus::ScriptNotOpened);
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(PashwellFiles, ScriptNeverReplacesItsJournal)
{
    ScratchFolder dir;
    const fs::path journal = dir / "session.log";
    const std::string bytes = readBytes(dataPath("quenholt_journal.log"));
    writeBytes(journal, bytes);
    EXPECT_EQ(convertJournal(journal, journal), ConversionStatus::SameFile);
    EXPECT_EQ(convertJournal(journal, dir.path() / "." / "session.log"), ConversionStatus::SameFile);
    EXPECT_EQ(readBytes(journal), bytes);
}

TEST(PashwellFiles, FailureTextsNameTheFileAtFault)
{
    const fs::path journal = "/in/session.log";
    const fs::path script = "/out/replay.m";
    EXPECT_EQ(pashwell::conversionFailureText(ConversionStatus::Done, journal, script), "");
    const struct {
        ConversionStatus status;
        const char* named;
    } cases[] = {
        {ConversionStatus::JournalNotOpened, "/in/session.log"},
        {ConversionStatus::SameFile, "/in/session.log"},
        {ConversionStatus::ScriptNotOpened, "/out/replay.m"},
        {ConversionStatus::ReadFailed, "/in/session.log"},
        {ConversionStatus::WriteFailed, "/out/replay.m"},
    };
    for (const auto& c : cases) {
        const std::string text = pashwell::conversionFailureText(c.status, journal, script);
        EXPECT_NE(text.find(std::string("\n") + c.named + "\n"), std::string::npos) << text;
    }
}

} // namespace
