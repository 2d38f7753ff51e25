// The windows of the shape dialogs on the screen: each is built as the
// program builds it (the transformation dialogs by the section view's
// dialog factory), filled and its buttons pressed; the model, the journal
// and the messages are checked and a picture of each is written.
#include <wx/frame.h>
#include <wx/textctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "analysis/model/CLog.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/tests/test_gui_section_view_support.h"
#include "lorimant/ui/MeshDialogWindows.h"
#include "lorimant/ui/SectionCanvas.h"
#include "lorimant/ui/ShapeDialogWindows.h"
#include "lorimant/view/CThickSectionView.h"
#include "platform/tests/DialogTestSupport.h"

namespace {

using namespace gui_lorimant_test;
using dialog_test::Click;
using dialog_test::Type;
namespace C = SectionCommand;

class GuiShapeDialogs : public GuiSectionViewTest {
 protected:
  void SetUp() override {
    GuiSectionViewTest::SetUp();
    if (HasFatalFailure()) return;
    openDocument(0);
    auto* s = new CShapeAnalysis(doc->model());
    CString name(L"a");
    s->sector(doc->model()->rootSubSection(), doc->model(), name, 1, 0, 2, 1, 0, 90, 90, qhtShapeRectangle, 0, 1,
              0.0, false);
    shape = s;
    view->RebuildAndRedraw();
    showInFrame();
  }

  std::string lastLine() const { return lines(doc->journal()->path()).back(); }
  static CQHTDialogEx& windowOf(ModelessDialogLogic& dialog) {
    auto* w = dynamic_cast<CQHTDialogEx*>(dialog.window());
    EXPECT_NE(w, nullptr);
    return *w;
  }
  void pickShape() { view->addPickList(view->findDspRecord(static_cast<const void*>(shape))); }

  CShapeAnalysis* shape = nullptr;
};

TEST_F(GuiShapeDialogs, TheViewsMirrorDialogMirrorsThePickedShape) {
  auto* mirror = dynamic_cast<CMirrorDlg*>(view->m_mirrorDialog);
  ASSERT_NE(mirror, nullptr);  // made by the view's dialog factory
  pickShape();
  mirror->setOpening(false, 0, 1, 0, CString());
  mirror->show();
  CQHTDialogEx& w = windowOf(*mirror);
  EXPECT_EQ(w.GetTitle(), "Mirror");
  EXPECT_EQ(w.GetDlgItemText(CMirrorDlg::IDC_DIR_X), CString(L"1"));
  Type(w, CMirrorDlg::IDC_POINT_X, "0");
  Type(w, CMirrorDlg::IDC_POINT_Y, "0");
  gui_test::SaveWindowPng(w, "mirror_dialog");
  Click(w, IDOK);
  EXPECT_EQ(lastLine(), "xscn.MirrorShape \"a\", 0,0,0,1");
  EXPECT_EQ(mirror->window(), nullptr);
  EXPECT_FALSE(doc->IsModelessDialogOpen(mirror));
  // Opened again, it has a new window.
  mirror->show();
  EXPECT_NE(mirror->window(), nullptr);
  Click(windowOf(*mirror), IDCANCEL);
  EXPECT_FALSE(doc->IsModelessDialogOpen(mirror));
}

TEST_F(GuiShapeDialogs, TheViewsRotationDialogRotatesAll) {
  auto* rotate = dynamic_cast<CRotateDlg*>(view->m_rotateDialog);
  ASSERT_NE(rotate, nullptr);
  rotate->setOpening(false, true, CString());
  rotate->show();
  CQHTDialogEx& w = windowOf(*rotate);
  Type(w, CRotateDlg::IDC_ANGLE, "30");
  Type(w, CRotateDlg::IDC_CENTER_X, "1");
  Type(w, CRotateDlg::IDC_CENTER_Y, "2");
  gui_test::SaveWindowPng(w, "rotation_dialog");
  Click(w, IDOK);
  EXPECT_EQ(lastLine(), "xscn.RotateAll 1,2,30");
  EXPECT_FALSE(doc->IsModelessDialogOpen(rotate));
}

TEST_F(GuiShapeDialogs, TheViewsTranslationDialogTranslatesThePickedShape) {
  auto* trans = dynamic_cast<CTransDlg*>(view->m_translateDialog);
  ASSERT_NE(trans, nullptr);
  pickShape();
  trans->setOpening(false, false);
  trans->show();
  CQHTDialogEx& w = windowOf(*trans);
  Type(w, CTransDlg::IDC_HORIZONTAL, "2.5");
  Type(w, CTransDlg::IDC_VERTICAL, "-1");
  gui_test::SaveWindowPng(w, "translation_dialog");
  Click(w, IDOK);
  EXPECT_EQ(lastLine(), "xscn.TranslateShape \"a\",2.5,-1");
  Point<double> lo, hi;
  shape->extents(&lo, &hi, 1);
  EXPECT_NEAR(lo.x, 3.5, 1e-9);
  EXPECT_NEAR(lo.y, -1, 1e-9);
}

TEST_F(GuiShapeDialogs, RelativePointCommandCalculatesAndApplies) {
  ASSERT_TRUE(view->RunCommand(C::RelativePoint));
  auto* relative = dynamic_cast<CRelativePoint*>(view->m_relativePointDialog);
  ASSERT_NE(relative, nullptr);
  CQHTDialogEx& w = windowOf(*relative);
  Type(w, CRelativePoint::IDC_BASE_X, "1");
  Type(w, CRelativePoint::IDC_BASE_Y, "1");
  Type(w, CRelativePoint::IDC_DELTA_X, "2");
  Type(w, CRelativePoint::IDC_DELTA_Y, "3");
  Click(w, CRelativePoint::IDC_CALCULATE);
  EXPECT_EQ(w.GetDlgItemText(CRelativePoint::IDC_RESULT_X), CString(L"3"));
  EXPECT_EQ(w.GetDlgItemText(CRelativePoint::IDC_RESULT_Y), CString(L"4"));
  gui_test::SaveWindowPng(w, "relative_point_dialog");
  Click(w, IDOK);
  EXPECT_EQ(lastLine(), "xscn.AddPoint \"root\",3,4");
  EXPECT_EQ(doc->model()->rootSubSection()->constructionPoints.size(), 1u);
  EXPECT_TRUE(doc->IsModelessDialogOpen(relative));
  Click(w, IDCANCEL);
  EXPECT_FALSE(doc->IsModelessDialogOpen(relative));
  EXPECT_TRUE(Hooks::messageBoxes().empty());
}

TEST_F(GuiShapeDialogs, CriticalPointRefusesNoStrainAndAddsTheOther) {
  CSubSection* root = doc->model()->rootSubSection();
  CAddCriticalPoint critical(*view, root);
  GiveWindow(critical);
  critical.show();
  CQHTDialogEx& w = windowOf(critical);
  EXPECT_EQ(w.GetTitle(), "Add Critical Point");
  Type(w, CAddCriticalPoint::IDC_X, "1");
  Type(w, CAddCriticalPoint::IDC_Y, "2");
  Type(w, CAddCriticalPoint::IDC_STRAIN, "1e-21");
  Click(w, IDOK);
  ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
  EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"Critical strain value may not be zero"));
  EXPECT_TRUE(w.IsShown());
  Type(w, CAddCriticalPoint::IDC_STRAIN, "-0.002");
  gui_test::SaveWindowPng(w, "critical_point_dialog");
  Click(w, IDOK);
  ASSERT_EQ(root->criticalPoints.size(), 1u);
  EXPECT_EQ(lastLine(), "xscn.AddCriticalPoint \"root\",1,2,-0.002");
  EXPECT_EQ(view->m_shapeSelectionDialog, nullptr);
}

TEST_F(GuiShapeDialogs, MeshDialogRefusesMoreThan4000Nodes) {
  int shown = 0;
  dialog_test::ModalScript script([&](CDialog& dialog) {
    EXPECT_EQ(dialog.GetTitle(), "2D Meshing");
    EXPECT_FALSE(dialog.GetDlgItem(CShapeAnalysisMeshDlg::IDC_LAST_VALUE)->IsShown());
    Type(dialog, CShapeAnalysisMeshDlg::IDC_NODES, "4001");
    Click(dialog, IDOK);
    shown = static_cast<int>(Hooks::messageBoxes().size());
    EXPECT_TRUE(dialog.IsShown());
    Type(dialog, CShapeAnalysisMeshDlg::IDC_NODES, "4000");
    gui_test::SaveWindowPng(dialog, "mesh_dialog");
    Click(dialog, IDOK);
  });
  MeshParameters parameters;
  ASSERT_TRUE(RunMeshDialog(nullptr, parameters));
  ASSERT_EQ(shown, 1);
  EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"Number of nodes may not exceed 4000"));
  EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"Mesh Creation"));
  EXPECT_EQ(parameters.nodes, 4000);
  EXPECT_EQ(parameters.elementType, 0);
  EXPECT_EQ(parameters.tolerance, 0.001);
}

TEST_F(GuiShapeDialogs, LocalControlDialogWantsARadius) {
  dialog_test::ModalScript script([&](CDialog& dialog) {
    EXPECT_EQ(dialog.GetTitle(), "Apply Local Control");
    Click(dialog, IDOK);  // the radius is still 0
    EXPECT_TRUE(dialog.IsShown());
    Type(dialog, CLocalControlDlg::IDC_RADIUS, "0.5");
    gui_test::SaveWindowPng(dialog, "local_control_dialog");
    Click(dialog, IDOK);
  });
  double size = 0, radius = 0;
  ASSERT_TRUE(RunLocalControlDialog(nullptr, size, radius));
  ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
  EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"Please enter a number between 0.001 and 1000."));
  EXPECT_EQ(size, 0.2);
  EXPECT_EQ(radius, 0.5);
}

}  // namespace
