// The elastic bending shear dialog as a real window, opened by the Bending
// Shear button of the real bending dialog over a section view of the meshed
// 4 x 2 rectangle (US units) after Mx 1000: the upper half's box gives
// Q = 4 x 1 x 0.5 = 2, journalled and shown over the view.
#include <wx/frame.h>
#include <wx/textctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"
#include "lorimant/analyses/BendingShearLogic.h"
#include "lorimant/tests/test_bending_dialog_support.h"
#include "lorimant/tests/test_gui_section_view_support.h"
#include "lorimant/ui/CElasticBendingShear.h"
#include "lorimant/ui/CUnrestrainedBendingDlg.h"
#include "lorimant/view/CThickSectionView.h"
#include "platform/tests/DialogTestSupport.h"

namespace gui_bending_shear_test {

using namespace gui_lorimant_test;
using dialog_test::Click;
using dialog_test::Type;
using B = BendingDialogLogic;
using S = BendingShearLogic;

class GuiBendingShear : public GuiSectionViewTest {
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
    bending.reset();
    GuiSectionViewTest::TearDown();
    gUnitSystem = units;
  }
  std::vector<std::string> lastLines(size_t n) const {
    const auto all = lines(doc->journal()->path());
    return std::vector<std::string>(all.end() - static_cast<long>(std::min(n, all.size())), all.end());
  }

  std::unique_ptr<BendingDialogLogic> bending;
  EUnitSystem units = SI;
};

TEST_F(GuiBendingShear, OpenedFromTheBendingDialogComputesTheBox) {
  bending = CreateUnrestrainedBendingDialog(*view, frame, 0);
  bending->show();
  gui_test::Flush();
  auto* bw = dynamic_cast<CUnrestrainedBendingDlg*>(bending->window());
  ASSERT_NE(bw, nullptr);
  Type(*bw, B::IDC_LOAD_NAME, "LC1");
  Type(*bw, B::IDC_INPUT1, "0");
  Type(*bw, B::IDC_INPUT2, "1000");
  Type(*bw, B::IDC_INPUT3, "0");
  Click(*bw, B::IDC_APPLY);
  Click(*bw, B::IDC_SHEAR);
  gui_test::Flush();
  S* shear = bending->bendingShearDialog();
  ASSERT_NE(shear, nullptr);
  auto* w = dynamic_cast<CElasticBendingShear*>(shear->window());
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->GetTitle(), "Elastic Bending Shear");
  EXPECT_EQ(w->GetParent(), bw);
  EXPECT_EQ(w->GetDlgItemText(S::IDC_UNIT_BOX_STRESS), CString(L"psi"));

  Type(*w, S::IDC_XMIN, "0");
  Type(*w, S::IDC_YMIN, "1");
  Type(*w, S::IDC_XMAX, "4");
  Type(*w, S::IDC_YMAX, "2");
  Type(*w, S::IDC_V, "1000");
  Type(*w, S::IDC_B, "4");
  Click(*w, S::IDC_COMPUTE);
  EXPECT_EQ(w->GetDlgItemText(S::IDC_BOX_Q), CString(L"2.0000"));
  EXPECT_NEAR(std::stod(w->GetDlgItemText(S::IDC_BOX_STRESS).ToUtf8()), 187.5, 1.875);
  EXPECT_EQ(lastLines(3), (std::vector<std::string>{"Dim boxForce As Double, boxQ As Double",
                                                     "boxForce = xscn.BendingBoxForce( 0,1,4,2)",
                                                     "boxQ = xscn.BendingBoxQ( 0,1,4,2)"}));
  view->updateDisplayLists();
  EXPECT_EQ(view->boxOverlayRecords(), 1);
  EXPECT_TRUE(doc->model()->rootSubSection()->welds.empty());
  gui_test::SaveWindowPng(*w, "elastic_bending_shear_dialog");
  // The view with the box over the upper half.
  w->Hide();
  bw->Hide();
  gui_test::SaveWindowPng(*frame, "elastic_bending_shear_view");
  w->Show();

  // Typing V clears the results.
  Type(*w, S::IDC_V, "500");
  gui_test::Flush();
  EXPECT_EQ(w->GetDlgItemText(S::IDC_BOX_Q), CString(L"0.0000"));

  Click(*w, IDCANCEL);
  gui_test::Flush();
  EXPECT_EQ(shear->window(), nullptr);
  EXPECT_EQ(view->m_shapeSelectionDialog, nullptr);
  EXPECT_EQ(view->m_pickMode, 2);
  EXPECT_FALSE(view->hasBoxOverlay());
}

}  // namespace gui_bending_shear_test
