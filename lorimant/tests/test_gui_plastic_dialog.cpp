// The plastic bending dialog as a real window, opened by the view's Plastic
// Analysis command on a meshed 4 x 2 rectangle (US units): name and angle
// typed, Solve pressed through its button's event, the result boxes, the
// journal and the critical points checked, and a picture written.
#include <wx/frame.h>
#include <wx/textctrl.h>

#include <memory>
#include <string>

#include "analysis/model/CLog.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/shapes/CAddCriticalPoint.h"
#include "lorimant/tests/test_bending_dialog_support.h"
#include "lorimant/tests/test_gui_section_view_support.h"
#include "lorimant/ui/CPlasticBendingAboutNADlg.h"
#include "lorimant/view/CThickSectionView.h"
#include "platform/tests/DialogTestSupport.h"
#include "platform/ui/CListCtrlEx.h"

namespace gui_plastic_dialog_test {

using namespace gui_lorimant_test;
using dialog_test::Click;
using dialog_test::Type;
using P = PlasticBendingLogic;

class GuiPlasticDialog : public GuiSectionViewTest {
 protected:
  void SetUp() override {
    GuiSectionViewTest::SetUp();
    if (HasFatalFailure()) return;
    units = gUnitSystem;
    openDocument(1);
    bending_dialog_test::buildSection(*doc);
    auto metal = doc->model()->materials.GetHead();
    metal->maxTensileStrain = metal->maxCompressionStrain = 0.01;
    view->RebuildAndRedraw();
    showInFrame();
  }
  void TearDown() override {
    GuiSectionViewTest::TearDown();
    gUnitSystem = units;
  }
  std::string lastLine() const { return lines(doc->journal()->path()).back(); }

  EUnitSystem units = SI;
};

TEST_F(GuiPlasticDialog, SolveThroughTheWindowFillsResultsAndJournals) {
  view->OnPlasticAnalysis();
  gui_test::Flush();
  auto* logic = dynamic_cast<P*>(view->m_plasticDialog);
  ASSERT_NE(logic, nullptr);
  auto* w = dynamic_cast<CPlasticBendingAboutNADlg*>(logic->window());
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->GetTitle(), "Plastic Bending About Given Neutral Axis Angle");
  EXPECT_EQ(view->m_pickMode, 3);
  ASSERT_NE(w->criticalList(), nullptr);
  EXPECT_EQ(w->criticalList()->GetColumnHeading(P::kCpActual), CString(L"Actual Strain"));

  Type(*w, P::IDC_LOAD_NAME, "LC2");
  Type(*w, P::IDC_ANGLE, "0");
  Hooks::clearRecords();
  Click(*w, P::IDC_SOLVE);
  gui_test::Flush();
  EXPECT_EQ(lastLine(), "xscn.BruhnPlasticBendingAnalysis \"root\",\"LC2\",0");
  ASSERT_FALSE(Hooks::messageBoxes().empty());
  EXPECT_EQ(Hooks::messageBoxes().back().caption, CString(L"VERIFICATION"));
  EXPECT_NEAR(std::stod(w->GetDlgItemText(P::IDC_NA_ANGLE).ToUtf8()), 0.0, 0.01);
  EXPECT_NEAR(std::stod(w->GetDlgItemText(P::IDC_NA_Y).ToUtf8()), 1.0, 0.01);
  for (int id : {P::IDC_AXIAL, P::IDC_MOMENT_NA, P::IDC_MX, P::IDC_MAX_STRESS, P::IDC_MAX_STRAIN})
    EXPECT_FALSE(w->GetDlgItemText(id).IsEmpty()) << id;
  EXPECT_GT(std::stod(w->GetDlgItemText(P::IDC_MAX_STRESS).ToUtf8()), 0.0);

  // A critical point through its own window; then the result locations.
  Click(*w, P::IDC_ADD_CRITICAL);
  gui_test::Flush();
  CAddCriticalPoint* add = logic->addCriticalPointDialog();
  ASSERT_NE(add, nullptr);
  auto* addWindow = dynamic_cast<CQHTDialogEx*>(add->window());
  ASSERT_NE(addWindow, nullptr);
  Type(*addWindow, CAddCriticalPoint::IDC_X, "3.5");
  Type(*addWindow, CAddCriticalPoint::IDC_Y, "2");
  Type(*addWindow, CAddCriticalPoint::IDC_STRAIN, "0.002");
  Click(*addWindow, IDOK);
  gui_test::Flush();
  ASSERT_EQ(w->criticalList()->GetItemCount(), 1);
  EXPECT_EQ(w->criticalList()->GetItemText(0, P::kCpAllowable), CString(L"0.002000"));
  EXPECT_EQ(w->criticalList()->GetItemText(0, P::kCpActual), CString(L"undefined"));
  Click(*w, P::IDC_REFRESH);
  gui_test::Flush();
  EXPECT_EQ(w->locationList()->GetItemCount(), static_cast<int>(doc->model()->rootSubSection()->resultLocations.size()));
  gui_test::SaveWindowPng(*w, "plastic_bending_dialog");

  Click(*w, IDCANCEL);
  gui_test::Flush();
  EXPECT_EQ(view->m_plasticDialog, nullptr);
  EXPECT_EQ(view->m_pickMode, 1);
}

}  // namespace gui_plastic_dialog_test
