// The Units command and the document's unit question on the real unit
// dialog, driven by the window system's own mouse and keys: OK journals the
// choice and the journal replays to the same unit system; Escape and the
// close box change nothing; a new document's question opens with US
// customary units selected.
#include <wx/radiobut.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include "analysis/model/CLog.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/document/MainFrameCommands.h"
#include "lorimant/tests/test_gui_support.h"
#include "lorimant/ui/CSectionDocView.h"
#include "lorimant/ui/CUnits.h"
#include "lorimant/view/CThickSectionView.h"
#include "platform/tests/DialogTestSupport.h"

namespace {

using namespace gui_lorimant_test;
using dialog_test::Click;
using dialog_test::ModalScript;

constexpr int kSI = CUnits::IDC_SI;
constexpr int kUSCS = CUnits::IDC_USCS;

// Lets the window system deliver what the simulator sent.
void settle() {
  for (int i = 0; i < 10; ++i) {
    gui_test::Flush();
    wxMilliSleep(10);
  }
}

// Moves the pointer onto the middle of window and clicks there.
void clickOn(wxUIActionSimulator& user, wxWindow& window) {
  user.MouseMove(window.GetScreenPosition() + window.GetSize() / 2);
  settle();
  user.MouseClick();
  settle();
}

class GuiUnits : public GuiLorimantTest {
 protected:
  CXSectionAnalysisDoc& doc() { return documents()[0]->core(); }
  std::vector<std::string> journalLines() { return lines(doc().journal()->path()); }
};

TEST_F(GuiUnits, USCustomaryAndOKJournalsTheChoiceAndReplaysToIt) {
  ASSERT_TRUE(start());
  // The new document's question at the start went unanswered.
  ASSERT_FALSE(unscriptedDialogs_.empty());
  EXPECT_EQ(unscriptedDialogs_.front(), "Units");
  ASSERT_EQ(doc().unitSystem(), 2);

  int preset = -2;
  int chosen = -2;
  {
    ModalScript script([&](CDialog& dialog) {
      preset = dialog.GetRadio(kSI);
      wxUIActionSimulator user;
      clickOn(user, *dialog.GetDlgItem(kUSCS));
      chosen = dialog.GetRadio(kSI);
      EXPECT_FALSE(gui_test::SaveWindowPng(dialog, "gui_units").empty());
      clickOn(user, *dialog.GetDlgItem(IDOK));
    });
    command(kCommandUnits);
  }
  // Preset to the program's system, undecided: no button.
  EXPECT_EQ(preset, -1);
  EXPECT_EQ(chosen, 1);
  EXPECT_EQ(gUnitSystem, USCS);
  EXPECT_EQ(doc().unitSystem(), 1);
  ASSERT_FALSE(journalLines().empty());
  EXPECT_EQ(journalLines().back(), "xscn.SetUnitSystem QHT_USCS");

  // The closed journal replays to the same unit system.
  const std::string journal = doc().journal()->path();
  stop();
  const fs::path copy = root_ / "units_session.bas";
  fs::copy_file(journal, copy);
  gUnitSystem = SI;
  std::ifstream replay(copy, std::ios::binary);
  std::ostringstream out;
  int replayed = -1;
  const JournalRunResult result =
      RunMacroHeadless(replay, out, nullptr, [&](CXSectionAnalysisDoc& d) { replayed = d.unitSystem(); });
  ASSERT_TRUE(result.ok) << result.lineNumber << ": " << result.line << ": " << result.description;
  EXPECT_EQ(replayed, 1);
  EXPECT_EQ(gUnitSystem, USCS);
}

TEST_F(GuiUnits, EscapeAndTheCloseBoxChangeNothing) {
  ASSERT_TRUE(start());
  ILorimant::SetUnitsystem(doc(), 1);
  const size_t before = journalLines().size();

  int preset = -2;
  int chosen = -2;
  {
    ModalScript script([&](CDialog& dialog) {
      preset = dialog.GetRadio(kSI);
      wxUIActionSimulator user;
      clickOn(user, *dialog.GetDlgItem(kSI));
      chosen = dialog.GetRadio(kSI);
      // The keys go where the pointer is.
      user.MouseMove(dialog.GetScreenPosition() + wxPoint(10, 10));
      settle();
      user.Char(WXK_ESCAPE);
      settle();
    });
    command(kCommandUnits);
  }
  EXPECT_EQ(preset, 1);
  EXPECT_EQ(chosen, 0);
  EXPECT_EQ(gUnitSystem, USCS);
  EXPECT_EQ(doc().unitSystem(), 1);
  EXPECT_EQ(journalLines().size(), before);

  bool endedByClose = false;
  {
    ModalScript script([&](CDialog& dialog) {
      dialog.SetRadio(kSI, 0);
      dialog.Close();
      gui_test::Flush();
      endedByClose = !dialog.IsShown();
    });
    command(kCommandUnits);
  }
  EXPECT_TRUE(endedByClose);
  EXPECT_EQ(gUnitSystem, USCS);
  EXPECT_EQ(journalLines().size(), before);
}

TEST_F(GuiUnits, ANewDocumentsQuestionOpensWithUSCustomary) {
  ASSERT_TRUE(start());
  CThickSectionView* view = static_cast<CSectionDocView*>(documents()[0]->GetFirstView())->sectionView();
  int preset = -2;
  bool usChecked = false;
  {
    ModalScript script([&](CDialog& dialog) {
      preset = dialog.GetRadio(kSI);
      usChecked = static_cast<wxRadioButton*>(dialog.GetDlgItem(kUSCS))->GetValue();
      Click(dialog, IDOK);
    });
    view->EnsureRootSubSection();
  }
  EXPECT_EQ(preset, 1);
  EXPECT_TRUE(usChecked);
  EXPECT_EQ(doc().unitSystem(), 1);
  EXPECT_EQ(gUnitSystem, USCS);
  EXPECT_EQ(journalLines().back(), "xscn.SetUnitSystem QHT_USCS");
}

}  // namespace
