// The main frame's rules without a window: the look kept in the profile,
// the Units command on the active document and its replay, the preset of
// the document's unit question, the windows list and the About texts.
#include <gtest/gtest.h>

#include <sstream>

#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"
#include "lorimant/document/ApplicationLook.h"
#include "lorimant/document/CWindowsForm.h"
#include "lorimant/document/MainFrameCommands.h"
#include "lorimant/tests/test_document_support.h"
#include "lorimant/view/HeadlessRun.h"
#include "platform/core/Settings.h"
#include "platform/ole/COleDispatchException.h"
#include "platform/tests/TempConfigHome.h"

namespace {

using document_test::DocumentTest;
namespace fs = std::filesystem;

TEST(ApplicationLookProfile, DefaultStoredAndUnknownLooks) {
  test_support::TempConfigHome home;
  EXPECT_EQ(LoadApplicationLook(), 33304);

  SaveApplicationLook(33303);
  EXPECT_EQ(Settings::GetProfileInt(L"Workspace", L"ApplicationLook", 0), 33303u);
  EXPECT_EQ(LoadApplicationLook(), 33303);

  // An id that is no look is not kept; one found in the profile is not used.
  SaveApplicationLook(57600);
  EXPECT_EQ(LoadApplicationLook(), 33303);
  Settings::WriteProfileInt(L"Workspace", L"ApplicationLook", 40000);
  EXPECT_EQ(LoadApplicationLook(), 33304);
  Settings::WriteProfileString(L"Workspace", L"ApplicationLook", L"blue");
  EXPECT_EQ(LoadApplicationLook(), 33304);
}

TEST(ApplicationLookProfile, TheFiveLooks) {
  const struct {
    int id;
    const wchar_t* label;
    bool windows7Art;
  } expected[] = {
      {33302, L"Office 2007 (Aqua Style)", false}, {33303, L"Office 2007 (Black Style)", false},
      {33304, L"Style", false},                    {33305, L"Office 2007 (Silver Style)", false},
      {33306, L"Windows 7", true},
  };
  ASSERT_EQ(ApplicationLooks().size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(ApplicationLooks()[i].id, expected[i].id);
    EXPECT_EQ(CString(ApplicationLooks()[i].label), CString(expected[i].label));
    EXPECT_EQ(ApplicationLooks()[i].windows7Art, expected[i].windows7Art);
    EXPECT_EQ(FindApplicationLook(expected[i].id), &ApplicationLooks()[i]);
  }
  EXPECT_EQ(FindApplicationLook(33301), nullptr);
  EXPECT_EQ(FindApplicationLook(33307), nullptr);
}

using UnitsCommand = DocumentTest;

TEST_F(UnitsCommand, JournalsTheChoiceAndTheReplayEndsTheSame) {
  std::string journal;
  {
    CXSectionAnalysisDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    ASSERT_EQ(doc.unitSystem(), 2);
    ApplyUnitsChoice(&doc, 1);
    EXPECT_EQ(gUnitSystem, USCS);
    // A document with no unit system yet takes the choice.
    EXPECT_EQ(doc.unitSystem(), 1);
    journal = doc.journal()->path();
    EXPECT_EQ(lines(journal).back(), "xscn.SetUnitSystem QHT_USCS");

    // A second choice changes the program's system; the document keeps its own.
    ApplyUnitsChoice(&doc, 0);
    EXPECT_EQ(gUnitSystem, SI);
    EXPECT_EQ(doc.unitSystem(), 1);
    EXPECT_EQ(lines(journal).back(), "xscn.SetUnitSystem QHT_SI");
    ApplyUnitsChoice(&doc, 7);  // any other choice is US customary
    EXPECT_EQ(lines(journal).back(), "xscn.SetUnitSystem QHT_USCS");
  }
  // The replay of the closed journal: the same program-wide and document systems.
  const fs::path copy = root_ / "units.bas";
  fs::copy_file(journal, copy);
  gUnitSystem = SI;
  std::ifstream macro(copy, std::ios::binary);
  std::ostringstream out;
  int replayedUnits = -1;
  const JournalRunResult result =
      RunMacroHeadless(macro, out, nullptr, [&](CXSectionAnalysisDoc& d) { replayedUnits = d.unitSystem(); });
  ASSERT_TRUE(result.ok) << result.lineNumber << ": " << result.line << ": " << result.description;
  EXPECT_EQ(replayedUnits, 1);
  EXPECT_EQ(gUnitSystem, USCS);
}

TEST_F(UnitsCommand, WithoutADocumentOnlyTheProgramSystemChanges) {
  gUnitSystem = SI;
  ApplyUnitsChoice(nullptr, 1);
  EXPECT_EQ(gUnitSystem, USCS);
  ApplyUnitsChoice(nullptr, 0);
  EXPECT_EQ(gUnitSystem, SI);
  EXPECT_TRUE(journals().empty());
}

TEST_F(UnitsCommand, ADocumentWithoutAModelRefusesAndJournalsNothing) {
  CXSectionAnalysisDoc doc;  // never made new: no model
  const size_t before = lines(doc.journal()->path()).size();
  gUnitSystem = SI;
  EXPECT_THROW(ApplyUnitsChoice(&doc, 1), COleDispatchException);
  EXPECT_EQ(lines(doc.journal()->path()).size(), before);
}

// A frame whose unit question notes the preset it was given and answers OK.
class PresetFrame : public SectionFrame {
 public:
  bool AskUnits(int& selection) override {
    preset = selection;
    return true;
  }
  int preset = -1;
};

TEST_F(UnitsCommand, TheDocumentsQuestionOpensWithUSCustomary) {
  PresetFrame frame;
  CXSectionAnalysisDoc doc(&frame);
  ASSERT_TRUE(doc.OnNewDocument());
  doc.AskUnitSystem();
  EXPECT_EQ(frame.preset, 1);
  EXPECT_EQ(doc.unitSystem(), 1);
}

TEST(WindowsForm, ChosenWindow) {
  CWindowsForm form;
  form.m_windows = {L"LorimantAnalysisDoc1", L"beam.qhscn"};
  const struct {
    int selection;
    int chosen;
  } cases[] = {{0, 0}, {1, 1}, {-1, -1}, {2, -1}};
  for (const auto& c : cases) {
    form.m_selection = c.selection;
    EXPECT_EQ(form.Chosen(), c.chosen) << c.selection;
  }

  // The list's selection through the exchange.
  CMemoryControls controls;
  controls.AddCombo(CWindowsForm::IDC_WINDOWS, {L"LorimantAnalysisDoc1", L"beam.qhscn"}, false);
  form.m_selection = 1;
  ASSERT_TRUE(RunDataExchange(controls, FALSE, [&](CDataExchange* dx) { form.DoDataExchange(dx); }));
  EXPECT_EQ(controls.GetCurSel(CWindowsForm::IDC_WINDOWS), 1);
  controls.SetCurSel(CWindowsForm::IDC_WINDOWS, 0);
  ASSERT_TRUE(RunDataExchange(controls, TRUE, [&](CDataExchange* dx) { form.DoDataExchange(dx); }));
  EXPECT_EQ(form.m_selection, 0);
}

TEST(AboutTexts, NameVersionAndBuild) {
  EXPECT_EQ(AboutProgramName(), CString(L"Lorimant"));
  EXPECT_EQ(AboutVersionText(), CString(L"Version 2.0.4"));
  EXPECT_EQ(AboutBuiltOnText(), CString(L"Built On: Oct 8, 2017  1:58 am PST"));
}

}  // namespace
