// The bending dialog as a real window over a section view of a meshed
// 4 x 2 rectangle (US units): filled, APPLY pressed through its button's
// event; the result boxes, the point list, the journal and the messages are
// checked and a picture of each kind is written.
#include <wx/frame.h>
#include <wx/textctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "analysis/model/CLog.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/tests/test_bending_dialog_support.h"
#include "lorimant/tests/test_gui_section_view_support.h"
#include "lorimant/ui/CUnrestrainedBendingDlg.h"
#include "lorimant/ui/SectionCanvas.h"
#include "lorimant/view/CThickSectionView.h"
#include "lorimant/view/SectionViewCommands.h"
#include "platform/tests/DialogTestSupport.h"
#include "platform/ui/CListCtrlEx.h"

namespace gui_bending_dialog_test {

using namespace gui_lorimant_test;
using dialog_test::Click;
using dialog_test::Type;
using B = BendingDialogLogic;

class GuiBendingDialog : public GuiSectionViewTest {
 protected:
  void SetUp() override {
    GuiSectionViewTest::SetUp();
    if (HasFatalFailure()) return;
    units = gUnitSystem;
    openDocument(1);
    bending_dialog_test::buildSection(*doc);
    view->RebuildAndRedraw();
    showInFrame();
  }
  void TearDown() override {
    dialog.reset();
    GuiSectionViewTest::TearDown();
    gUnitSystem = units;
  }

  CUnrestrainedBendingDlg& openDialog(int restrained) {
    dialog = CreateUnrestrainedBendingDialog(*view, frame, restrained);
    dialog->show();
    gui_test::Flush();
    auto* w = dynamic_cast<CUnrestrainedBendingDlg*>(dialog->window());
    EXPECT_NE(w, nullptr);
    return *w;
  }
  void applyThrough(CUnrestrainedBendingDlg& w, const char* name, const char* a, const char* b, const char* c) {
    Type(w, B::IDC_LOAD_NAME, name);
    Type(w, B::IDC_INPUT1, a);
    Type(w, B::IDC_INPUT2, b);
    Type(w, B::IDC_INPUT3, c);
    Hooks::clearRecords();
    Click(w, B::IDC_APPLY);
  }
  std::string lastLine() const { return lines(doc->journal()->path()).back(); }
  static bool passed() {
    for (const MessageBoxCall& m : Hooks::messageBoxes())
      if (m.text == CString(L"PASSED.  Verification checks passed") && m.caption == CString(L"VERIFICATION"))
        return true;
    return false;
  }

  std::unique_ptr<BendingDialogLogic> dialog;
  EUnitSystem units = SI;
};

TEST_F(GuiBendingDialog, UnrestrainedApplyShowsResultsAndTwoRows) {
  CUnrestrainedBendingDlg& w = openDialog(0);
  EXPECT_EQ(w.GetTitle(), "Unrestrained Bending");
  EXPECT_EQ(w.GetDlgItemText(B::IDC_LABEL2), CString(L"Moment About X (lb-in)"));
  EXPECT_FALSE(w.GetDlgItem(B::IDC_SHEAR)->IsEnabled());
  EXPECT_FALSE(w.GetDlgItem(B::IDC_PLOT)->IsEnabled());
  applyThrough(w, "LC1", "0", "1000", "0");
  EXPECT_TRUE(passed());
  EXPECT_EQ(lastLine(), "xscn.ApplyUnrestrainedBendingForces \"root\",\"LC1\",0,1000,0,1");
  EXPECT_EQ(w.GetDlgItemText(B::IDC_NA_ANGLE), CString(L"0.0000"));
  EXPECT_EQ(w.GetDlgItemText(B::IDC_NA_Y), CString(L"1.0000"));
  EXPECT_NEAR(std::stod(w.GetDlgItemText(B::IDC_MAX_STRESS).ToUtf8()), 375.0, 0.375);
  EXPECT_TRUE(w.GetDlgItem(B::IDC_SHEAR)->IsEnabled());
  EXPECT_TRUE(w.GetDlgItem(B::IDC_REFRESH)->IsEnabled());
  CListCtrlEx* list = w.pointList();
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->GetItemCount(), 2);
  EXPECT_EQ(list->GetItemText(0, B::kName), CString(L"Min Stress Location"));
  EXPECT_EQ(list->GetItemText(1, B::kName), CString(L"Max Stress Location"));
  EXPECT_EQ(list->GetColumnHeading(B::kStress), CString(L"Stress (psi)"));

  // A point added by a result pick, its X edited in the list, refreshed.
  doc->model()->rootSubSection()->resultLocation(1, 0.5, true);
  dialog->refreshResults();
  gui_test::Flush();
  ASSERT_EQ(list->GetItemCount(), 3);
  list->SetItemText(2, B::kY, CString(L"1"));
  Click(w, B::IDC_REFRESH);
  EXPECT_EQ(list->GetItemText(2, B::kY), CString(L"1.000"));
  EXPECT_EQ(list->GetItemText(2, B::kStress), CString(L"0"));
  gui_test::SaveWindowPng(w, "unrestrained_bending_dialog");

  // The Delete key in the list takes the selected row's location.
  list->SelectItem(2, true);
  wxKeyEvent del(wxEVT_KEY_DOWN);
  del.m_keyCode = WXK_DELETE;
  del.SetEventObject(list);
  list->HandleWindowEvent(del);
  gui_test::Flush();
  EXPECT_EQ(list->GetItemCount(), 2);
  EXPECT_EQ(doc->model()->rootSubSection()->resultLocations.size(), 2u);

  Click(w, IDCANCEL);
  EXPECT_EQ(dialog->window(), nullptr);
  EXPECT_EQ(view->m_pickMode, 1);
  EXPECT_EQ(view->m_bendingDialog, nullptr);
}

TEST_F(GuiBendingDialog, RestrainedApplyJournalsItsLine) {
  CUnrestrainedBendingDlg& w = openDialog(1);
  EXPECT_EQ(w.GetTitle(), "Restrained Bending");
  EXPECT_EQ(w.GetDlgItemText(B::IDC_LABEL2), CString(L"Angle (deg)"));
  applyThrough(w, "LC2", "0", "0", "1000");
  EXPECT_TRUE(passed());
  EXPECT_EQ(lastLine(), "xscn.ApplyRestrainedBendingForces \"root\",\"LC2\",0,0,1000,1");
  EXPECT_NEAR(std::stod(w.GetDlgItemText(B::IDC_MOMENT_NA).ToUtf8()), 1000.0, 10.0);
  EXPECT_EQ(w.pointList()->GetItemCount(), 2);
  gui_test::SaveWindowPng(w, "restrained_bending_dialog");
}

// The view's Unrestrained and Restrained Bending commands open this dialog
// through the window's dialog factory, captioned by the analysis asked for;
// closing it gives the shape commands back.
TEST_F(GuiBendingDialog, TheViewsBendingCommandsOpenThisDialog) {
  const struct {
    UINT command;
    const wchar_t* caption;
  } cases[] = {{SectionCommand::UnrestrainedBending, L"Unrestrained Bending"},
               {SectionCommand::RestrainedBending, L"Restrained Bending"}};
  for (const auto& c : cases) {
    ASSERT_TRUE(view->RunCommand(c.command));
    gui_test::Flush();
    auto* opened = dynamic_cast<BendingDialogLogic*>(view->m_bendingDialog);
    ASSERT_NE(opened, nullptr) << c.caption;
    EXPECT_EQ(opened->caption(), CString(c.caption));
    EXPECT_NE(dynamic_cast<CUnrestrainedBendingDlg*>(opened->window()), nullptr);
    opened->OnCancel();
    gui_test::Flush();
    EXPECT_EQ(view->m_bendingDialog, nullptr) << c.caption;
  }
}

}  // namespace gui_bending_dialog_test
