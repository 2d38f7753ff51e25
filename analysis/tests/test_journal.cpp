// The journal file: its place, header, line ends, encoding, blocking and
// silent failure.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"

namespace fs = std::filesystem;

namespace {

// The header for progName "LorimantDocument" and version 2.0, as bytes.
const std::string kHeader =
    "'******************************************************************\r\n"
    "'Quenholt\r\n"
    "'Version 2.0\r\n"
    "'******************************************************************\r\n"
    "Option Explicit\r\n"
    "Sub QuenholtLog\r\n"
    "Dim obj As OLEObject\r\n"
    "Dim xscn As LorimantDocument\r\n"
    "On Error GoTo ErrHandler\r\n"
    "For Each obj In ActiveSheet.OLEObjects\r\n"
    "  If(obj.progID = \"Quenholt.LorimantDocument\") Then\r\n"
    "    obj.Activate\r\n"
    "    Set xscn = obj.Object\r\n"
    "  End If\r\n"
    "Next obj\r\n"
    "xscn.ClearAll\r\n";

std::string readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Points HOME at a fresh temporary folder and restores HOME and gLogMsg.
class JournalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* home = std::getenv("HOME")) savedHome_ = home;
    savedLogMsg_ = gLogMsg;
    char pattern[] = "/tmp/lorimant-journal-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    home_ = pattern;
    setenv("HOME", home_.c_str(), 1);
  }
  void TearDown() override {
    if (savedHome_)
      setenv("HOME", savedHome_->c_str(), 1);
    else
      unsetenv("HOME");
    gLogMsg = savedLogMsg_;
    std::error_code ignored;
    fs::remove_all(home_, ignored);
  }

  fs::path journal(const std::string& name) const { return home_ / "temp" / ("LorimantDocument_" + name + ".log"); }

  static void write(CLog& journal, const wchar_t* line) {
    gLogMsg = line;
    journal.logIt();
  }

  fs::path home_;

 private:
  std::optional<std::string> savedHome_;
  CString savedLogMsg_;
};

}  // namespace

TEST_F(JournalTest, HeaderIsSixteenCrlfLinesInTheHomeTempFolder) {
  CLog log(L"10_14_03_22", 2, 0, "LorimantDocument");
  ASSERT_NE(log.stream(), nullptr);
  EXPECT_EQ(log.isBlocked(), 0);
  EXPECT_EQ(readBytes(journal("10_14_03_22")), kHeader);

  gLogMsg = L"xscn.ComputeGeomSectionProperties";
  log.logIt();
  EXPECT_EQ(gLogMsg, L"xscn.ComputeGeomSectionProperties");
  EXPECT_EQ(readBytes(journal("10_14_03_22")), kHeader + "xscn.ComputeGeomSectionProperties\r\n");
}

// A file of the name, however it came there (an earlier session, another
// process started in the same second), is never truncated or shared: the
// journal takes the next suffix.
TEST_F(JournalTest, AnExistingTempFolderIsUsedAndAnExistingJournalKept) {
  fs::create_directory(home_ / "temp");
  std::ofstream(journal("01_00_00_00"), std::ios::binary) << "old contents of an earlier session\r\n";
  CLog log(L"01_00_00_00", 2, 0, "LorimantDocument");
  EXPECT_EQ(readBytes(journal("01_00_00_00")), "old contents of an earlier session\r\n");
  EXPECT_EQ(log.path(), journal("01_00_00_00_2").string());
  EXPECT_EQ(readBytes(journal("01_00_00_00_2")), kHeader);
  EXPECT_TRUE(log.problem().empty());
}

TEST_F(JournalTest, AJournalThatCannotBeCreatedSaysWhy) {
  std::ofstream(home_ / "temp") << "a file where the folder should be";
  CLog log(L"02_00_00_00", 2, 0, "LorimantDocument");
  EXPECT_EQ(log.stream(), nullptr);
  EXPECT_TRUE(log.path().empty());
  EXPECT_EQ(log.problem().rfind((home_ / "temp").string() + ": ", 0), 0u) << log.problem();
}

TEST_F(JournalTest, OnlyTheFirstBlockerUnblocks) {
  CLog log(L"b", 2, 0, "LorimantDocument");
  log.block(L"A");
  log.block(L"B");
  log.unblock(L"B");
  EXPECT_EQ(log.isBlocked(), 1);
  write(log, L"dropped while blocked");
  log.unblock(L"A");
  EXPECT_EQ(log.isBlocked(), 0);
  write(log, L"xscn.Undo");
  EXPECT_EQ(readBytes(journal("b")), kHeader + "xscn.Undo\r\n");
}

TEST_F(JournalTest, SectionComposesItsLineAndRespectsTheBlock) {
  CLog log(L"s", 2, 0, "LorimantDocument");
  log.block(L"Redo");
  log.section(L"root");
  EXPECT_EQ(gLogMsg, L"CurrentSection.root");
  EXPECT_EQ(readBytes(journal("s")), kHeader);

  log.unblock(L"Redo");
  log.section(L"web");
  EXPECT_EQ(readBytes(journal("s")), kHeader + "CurrentSection.web\r\n");
}

// A home "folder" that is a regular file cannot hold the temp folder
// (permission bits would not stop root, a file does).
TEST_F(JournalTest, AJournalThatCannotBeOpenedStaysClosedAndSilent) {
  const fs::path file = home_ / "not-a-folder";
  std::ofstream(file) << "x";
  setenv("HOME", file.c_str(), 1);

  std::optional<CLog> log;
  ASSERT_NO_THROW(log.emplace(L"c", 2, 0, "LorimantDocument"));
  EXPECT_EQ(log->stream(), nullptr);
  EXPECT_EQ(log->isBlocked(), 0);
  gLogMsg = L"xscn.Undo";
  EXPECT_NO_THROW(log->logIt());
  EXPECT_NO_THROW(log->section(L"root"));
  EXPECT_EQ(gLogMsg, L"CurrentSection.root");
}

// A character that the C locale cannot convert must not silence the lines
// after it.
TEST_F(JournalTest, LinesAreUtf8AndANonAsciiLineSilencesNothing) {
  CLog log(L"u", 2, 0, "LorimantDocument");
  write(log, L"xscn.AddMaterialDef \"2024 \u00b5m\"");
  write(log, L"xscn.Undo");
  EXPECT_EQ(readBytes(journal("u")), kHeader + "xscn.AddMaterialDef \"2024 \xC2\xB5m\"\r\nxscn.Undo\r\n");
}

// Two documents created in the same second get the same journal name; the
// second must not truncate the first while it is open.
TEST_F(JournalTest, ASecondOpenJournalOfTheSameNameGetsASuffix) {
  {
    CLog first(L"12_09_30_00", 2, 0, "LorimantDocument");
    CLog second(L"12_09_30_00", 2, 0, "LorimantDocument");
    write(first, L"xscn.One");
    write(second, L"xscn.Two");
    EXPECT_EQ(readBytes(journal("12_09_30_00")), kHeader + "xscn.One\r\n");
    EXPECT_EQ(readBytes(journal("12_09_30_00_2")), kHeader + "xscn.Two\r\n");
  }
  // A closed journal's file stays; a later one of the name never reuses it.
  CLog again(L"12_09_30_00", 2, 0, "LorimantDocument");
  EXPECT_EQ(readBytes(journal("12_09_30_00")), kHeader + "xscn.One\r\n");
  EXPECT_EQ(again.path(), journal("12_09_30_00_3").string());
}
