// The windows of the basic-shape and point-set dialogs on the screen, as
// the section view's commands open them: cells typed, buttons pressed, the
// model, the journal and the messages checked, the journal replayed, and a
// picture of each window written.
#include <wx/choice.h>
#include <wx/frame.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CLog.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/tests/test_gui_section_view_support.h"
#include "lorimant/tests/test_journal_replay.h"
#include "lorimant/ui/BasicShapeWindows.h"
#include "lorimant/ui/C2dPoint.h"
#include "lorimant/ui/SectionCanvas.h"
#include "lorimant/view/CThickSectionView.h"
#include "platform/tests/DialogTestSupport.h"

namespace gui_basic_shape_dialogs_test {

using namespace gui_lorimant_test;
using dialog_test::Click;
using dialog_test::ModalScript;
using dialog_test::Type;
namespace C = SectionCommand;

class GuiBasicShapeDialogs : public GuiSectionViewTest {
 protected:
  void SetUp() override {
    GuiSectionViewTest::SetUp();
    if (HasFatalFailure()) return;
    openDocument(0);
    showInFrame();
  }

  std::vector<std::string> journal() const { return lines(doc->journal()->path()); }
  template <class Window>
  static Window& windowOf(ModelessDialogLogic& dialog) {
    auto* w = dynamic_cast<Window*>(dialog.window());
    EXPECT_NE(w, nullptr);
    return *w;
  }
  // Sends the focus to a cell and takes it away again, as tabbing does.
  static void focus(wxWindow& cell, bool in) {
    wxFocusEvent event(in ? wxEVT_SET_FOCUS : wxEVT_KILL_FOCUS, cell.GetId());
    event.SetEventObject(&cell);
    cell.HandleWindowEvent(event);
  }
  // Replays the journal in a fresh document; inspect sees it.
  void replay(const std::function<void(CXSectionAnalysisDoc&)>& inspect) {
    const JournalRunResult result = ReplayJournalLines(journal(), inspect);
    EXPECT_TRUE(result.ok) << result.lineNumber << ": " << result.line << ": " << result.description;
    doc->MakeCurrent();
  }

};

TEST_F(GuiBasicShapeDialogs, RectangleOpensBasicShapesAndAddBuildsAndDrawsIt) {
  ASSERT_TRUE(view->RunCommand(C::Rectangle));
  auto* sector = dynamic_cast<CSector*>(view->m_basicShapeDialog);
  ASSERT_NE(sector, nullptr);
  auto& w = windowOf<CSectorWindow>(*sector);
  EXPECT_EQ(w.GetTitle(), "Basic Shapes");
  EXPECT_TRUE(doc->IsModelessDialogOpen(sector));
  EXPECT_EQ(w.GetDlgItemText(CSector::IDC_LABEL1), CString(L"Width"));
  EXPECT_FALSE(w.FindWindow(CSector::IDC_VALUE3)->IsShown());
  EXPECT_FALSE(w.FindWindow(CSector::IDC_EDIT)->IsEnabled());
  EXPECT_EQ(static_cast<wxChoice*>(w.FindWindow(CSector::IDC_ORIGIN))->GetCount(), 4u);
  EXPECT_EQ(w.GetDlgItemText(CSector::IDC_UNITS), CString(L"CM"));
  // Tabbing through a cell gives it its text back.
  wxWindow& rotation = *w.FindWindow(CSector::IDC_ROTATION);
  focus(rotation, true);
  EXPECT_EQ(w.GetDlgItemText(CSector::IDC_ROTATION), CString());
  focus(rotation, false);
  EXPECT_EQ(w.GetDlgItemText(CSector::IDC_ROTATION), CString(L"0"));
  // Escape leaves the dialog open.
  wxKeyEvent escape(wxEVT_CHAR_HOOK);
  escape.m_keyCode = WXK_ESCAPE;
  w.HandleWindowEvent(escape);
  gui_test::Flush();
  EXPECT_TRUE(w.IsShown());

  Type(w, CSector::IDC_NAME, "R1");
  Type(w, CSector::IDC_VALUE1, "2");
  Type(w, CSector::IDC_VALUE2, "1");
  Type(w, CSector::IDC_X, "1");
  Type(w, CSector::IDC_Y, "0.5");
  gui_test::SaveWindowPng(w, "basic_shapes_rectangle");
  Click(w, CSector::IDC_ADD);
  EXPECT_TRUE(Hooks::messageBoxes().empty());
  EXPECT_EQ(journal().back(), "xscn.AddRectangle \"root\",\"R1\",2,1,1,0.5,0,1,0,1");
  CShapeAnalysis* r1 = doc->model()->findShape(L"R1");
  ASSERT_NE(r1, nullptr);
  view->updateDisplayLists();
  EXPECT_NE(view->findDspRecord(static_cast<const void*>(r1)), nullptr);
  EXPECT_TRUE(w.FindWindow(CSector::IDC_EDIT)->IsEnabled());

  // Edit makes it 3 x 2 under its name.
  Type(w, CSector::IDC_VALUE1, "3");
  Type(w, CSector::IDC_VALUE2, "2");
  Click(w, CSector::IDC_EDIT);
  const std::vector<std::string> all = journal();
  ASSERT_GE(all.size(), 2u);
  EXPECT_EQ(all[all.size() - 2], "xscn.DeleteShape \"R1\"");
  EXPECT_EQ(all.back(), "xscn.AddRectangle \"root\",\"R1\",3,2,1,0.5,0,1,0,1");
  Click(w, CSector::IDC_CLOSE);
  EXPECT_FALSE(doc->IsModelessDialogOpen(sector));
  const std::vector<Point<double>> points = doc->model()->findShape(L"R1")->definingPoints;

  replay([&](CXSectionAnalysisDoc& d) {
    const CShapeAnalysis* s = d.model()->findShape(L"R1");
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->definingPoints.size(), points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
      EXPECT_NEAR(s->definingPoints[i].x, points[i].x, 1e-12);
      EXPECT_NEAR(s->definingPoints[i].y, points[i].y, 1e-12);
    }
  });
}

TEST_F(GuiBasicShapeDialogs, AnnulusShowsItsSweepAndItsPicture) {
  ASSERT_TRUE(view->RunCommand(C::Annulus));
  auto* sector = dynamic_cast<CSector*>(view->m_basicShapeDialog);
  ASSERT_NE(sector, nullptr);
  auto& w = windowOf<CSectorWindow>(*sector);
  EXPECT_EQ(w.GetDlgItemText(CSector::IDC_LABEL_ANGLE1), CString(L"Sweep"));
  EXPECT_TRUE(w.FindWindow(CSector::IDC_ANGLE1)->IsShown());
  EXPECT_FALSE(w.FindWindow(CSector::IDC_ANGLE2)->IsShown());
  EXPECT_EQ(w.GetDlgItemText(CSector::IDC_ANGLE1), CString(L"90"));
  EXPECT_EQ(w.picture()->kind(), static_cast<int>(qhtShapeAnnulus));
  gui_test::SaveWindowPng(w, "basic_shapes_annulus");
  Click(w, CSector::IDC_ADD);
  EXPECT_EQ(doc->model()->shapes.GetCount(), 1);
  Click(w, CSector::IDC_CLOSE);
  // A disk: no rotation, no points to choose.
  ASSERT_TRUE(view->RunCommand(C::Disk));
  auto& disk = windowOf<CSectorWindow>(*sector);
  EXPECT_FALSE(disk.FindWindow(CSector::IDC_ROTATION)->IsShown());
  EXPECT_FALSE(disk.FindWindow(CSector::IDC_ORIGIN)->IsEnabled());
  gui_test::SaveWindowPng(disk, "basic_shapes_disk");
  Click(disk, CSector::IDC_CLOSE);
}

TEST_F(GuiBasicShapeDialogs, PolygonOfThreePointsByDelta) {
  ASSERT_TRUE(view->RunCommand(C::Polygon));
  auto* points = dynamic_cast<CPointSet*>(view->m_pointSetDialog);
  ASSERT_NE(points, nullptr);
  auto& w = windowOf<CPointSetWindow>(*points);
  EXPECT_EQ(w.GetTitle(), "POLYGON SHAPE");
  EXPECT_EQ(w.list()->GetColumnCount(), 2);
  {
    // ADD asks for the first corner in the point dialog.
    ModalScript script([](CDialog& point) {
      Type(point, C2dPoint::IDC_X, "1.23456789");
      Type(point, C2dPoint::IDC_Y, "0");
      Click(point, IDOK);
    });
    Click(w, CPointSet::IDC_ADD);
  }
  Type(w, CPointSet::IDC_DELTA_X, "2");
  Type(w, CPointSet::IDC_DELTA_Y, "0");
  Click(w, CPointSet::IDC_ADD_DELTA);
  Type(w, CPointSet::IDC_DELTA_X, "-1");
  Type(w, CPointSet::IDC_DELTA_Y, "1.5");
  Click(w, CPointSet::IDC_ADD_DELTA);
  ASSERT_EQ(w.list()->GetItemCount(), 3);
  EXPECT_EQ(w.list()->GetItemText(0, 0), "1.23457");
  EXPECT_EQ(w.list()->GetItemText(2, 1), "1.5");
  EXPECT_TRUE(Hooks::messageBoxes().empty());  // counter-clockwise: no warning
  // Two rows selected by clicks: EDIT and ADD off, DELETE on.
  w.list()->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  w.list()->SetItemState(2, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  gui_test::Flush();
  EXPECT_EQ(points->selection(), (std::set<int>{0, 2}));
  EXPECT_FALSE(w.FindWindow(CPointSet::IDC_EDIT)->IsEnabled());
  EXPECT_FALSE(w.FindWindow(CPointSet::IDC_ADD)->IsEnabled());
  EXPECT_TRUE(w.FindWindow(CPointSet::IDC_DELETE)->IsEnabled());
  Type(w, CPointSet::IDC_NAME, "P1");
  gui_test::SaveWindowPng(w, "point_set");
  Click(w, IDOK);
  EXPECT_FALSE(doc->IsModelessDialogOpen(points));
  const CShapeAnalysis* p1 = doc->model()->findShape(L"P1");
  ASSERT_NE(p1, nullptr);
  EXPECT_EQ(p1->boundary->nArcs(), 3);
  const std::vector<std::string> all = journal();
  ASSERT_GE(all.size(), 7u);
  EXPECT_EQ(all[all.size() - 7], "Dim polygon As Quenholt.ArbitraryShape");
  EXPECT_EQ(all[all.size() - 5], "polygon.AddPoint 1.23457,0");
  EXPECT_EQ(all[all.size() - 3], "polygon.AddPoint 2.23457,1.5");
  const Point<double> start = p1->boundary->arcs().GetHead()->startPoint();
  replay([&](CXSectionAnalysisDoc& d) {
    const CShapeAnalysis* s = d.model()->findShape(L"P1");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->boundary->nArcs(), 3);
    EXPECT_NEAR(s->area(), p1->area(), 1e-12);
    EXPECT_EQ(s->boundary->arcs().GetHead()->startPoint().x, start.x);
  });
}

}  // namespace gui_basic_shape_dialogs_test
