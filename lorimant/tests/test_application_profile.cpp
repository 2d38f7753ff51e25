// The window-free half of the application: the recent files in the
// profile, the names and titles the windows show, the save question and
// the program's folders.
#include <gtest/gtest.h>

#include <cstdlib>

#include "lorimant/document/LorimantApplication.h"
#include "lorimant/tests/test_document_support.h"
#include "platform/core/Hooks.h"
#include "platform/core/Settings.h"

namespace {

using document_test::DocumentTest;

class ApplicationProfile : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    UseLorimantProfile();
  }
  void TearDown() override {
    unsetenv("XDG_CONFIG_HOME");
    DocumentTest::TearDown();
  }
};

TEST_F(ApplicationProfile, RecentFilesKeepTheLastFourNewestFirst) {
  RecentFileList list;
  for (const wchar_t* f : {L"/a.qhscn", L"/b.qhscn", L"/c.qhscn", L"/d.qhscn", L"/e.qhscn"}) list.Add(f);
  // A file opened again moves to the top instead of taking a second place.
  list.Add(L"/c.qhscn");
  const std::vector<CString> expected = {L"/c.qhscn", L"/e.qhscn", L"/d.qhscn", L"/b.qhscn"};
  EXPECT_EQ(list.files(), expected);

  EXPECT_EQ(Settings::ProfileKeyPath(),
            CString(L"Software\\Local AppWizard-Generated Applications\\Lorimant"));
  const wchar_t* entries[] = {L"File1", L"File2", L"File3", L"File4"};
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(Settings::GetProfileString(L"Recent File List", entries[i]), expected[i]) << i;
  EXPECT_EQ(Settings::GetProfileString(L"Recent File List", L"File5", L"none"), CString(L"none"));

  RecentFileList reread;
  reread.Load();
  EXPECT_EQ(reread.files(), expected);

  // A file that went missing leaves the list and the profile; the rest move up.
  reread.Remove(L"/e.qhscn");
  const std::vector<CString> left = {L"/c.qhscn", L"/d.qhscn", L"/b.qhscn"};
  EXPECT_EQ(reread.files(), left);
  EXPECT_EQ(Settings::GetProfileString(L"Recent File List", L"File2"), CString(L"/d.qhscn"));
  EXPECT_EQ(Settings::GetProfileString(L"Recent File List", L"File4", L"none"), CString(L"none"));
}

TEST_F(ApplicationProfile, NamesAndTitles) {
  EXPECT_EQ(NewDocumentName(1), CString(L"LorimantAnalysisDoc1"));
  EXPECT_EQ(NewDocumentName(12), CString(L"LorimantAnalysisDoc12"));
  EXPECT_EQ(MainFrameTitle(L"LorimantAnalysisDoc1"),
            CString(L"LorimantAnalysisDoc1 - Lorimant - Release Version 2.0.4   Built On: Oct 8, 2017  1:58 am PST"));
  EXPECT_EQ(MainFrameTitle(CString()), CString(L"Lorimant - Release Version 2.0.4   Built On: Oct 8, 2017  1:58 am PST"));
  EXPECT_EQ(ReleaseVersionText(), CString(L"Release Version 2.0.4"));
}

TEST_F(ApplicationProfile, SaveQuestionAnswers) {
  const struct {
    int answer;
    SaveChoice choice;
  } cases[] = {{IDYES, SaveChoice::Save}, {IDNO, SaveChoice::Discard}, {IDCANCEL, SaveChoice::Cancel}};
  for (const auto& c : cases) {
    Hooks::reset();
    Hooks::scriptAnswers({c.answer});
    EXPECT_EQ(AskSaveChanges(L"beam.qhscn"), c.choice) << c.answer;
    ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
    EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"Save changes to beam.qhscn?"));
    EXPECT_EQ(Hooks::messageBoxes()[0].type & MB_TYPEMASK, MB_YESNOCANCEL);
  }
}

TEST_F(ApplicationProfile, ProgramFolderAndShapeDatabases) {
  SetProgramPaths(L"/opt/lorimant/bin/lorimant");
  EXPECT_EQ(gProgramFolder, CString(L"/opt/lorimant/bin/"));
  EXPECT_EQ(gAISCShapesDatabase, CString(L"/opt/lorimant/bin/AISCShapes.sqlite"));
  EXPECT_EQ(gBritishSteelDatabase, CString(L"/opt/lorimant/bin/BritishSteel.sqlite"));
  EXPECT_EQ(gEuropeanSteelDatabase, CString(L"/opt/lorimant/bin/EuropeanSteel.sqlite"));
}

}  // namespace
