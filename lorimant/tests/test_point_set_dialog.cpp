// The rules of the polygon point-set dialog on a real document and view:
// rows in single precision, the button states, the additions relative to
// the last corner, the orientation warning, OK's refusals, its journal
// block and its replay, and editing a polygon.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/shapes/CPointSet.h"
#include "test_basic_shape_dialog_support.h"

using namespace basic_shape_test;

namespace point_set_dialog_test {

const std::vector<int> kPointSetIds = {CPointSet::IDC_DELTA_X, CPointSet::IDC_DELTA_Y, CPointSet::IDC_NAME,
                                       CPointSet::IDC_NEGATIVE, CPointSet::IDC_DISTANCE, CPointSet::IDC_ANGLE};

class PointSetDialog : public BasicShapeTest {
 protected:
  void SetUp() override {
    BasicShapeTest::SetUp();
    dialog = std::make_unique<CPointSet>(*view);
    give(*dialog, kPointSetIds);
  }
  void TearDown() override {
    dialog.reset();
    BasicShapeTest::TearDown();
  }
  // ADD with the point dialog answering (x, y).
  void add(double x, double y) {
    host.pointAnswer = std::array<double, 2>{x, y};
    dialog->OnAddPoint();
  }
  std::vector<std::pair<double, double>> corners(const CShapeAnalysis* s) const {
    std::vector<std::pair<double, double>> out;
    for (POSITION pos = s->boundary->arcs().GetHeadPosition(); pos != nullptr;) {
      const Point<double> p = s->boundary->arcs().GetNext(pos)->startPoint();
      out.emplace_back(p.x, p.y);
    }
    return out;
  }
  std::vector<std::wstring> captions() const {
    std::vector<std::wstring> out;
    for (const MessageBoxCall& m : Hooks::messageBoxes()) out.push_back(m.caption.GetString());
    return out;
  }

  std::unique_ptr<CPointSet> dialog;
};

TEST_F(PointSetDialog, RowsKeepSinglePrecisionAndTheButtonsFollowTheSelection) {
  dialog->show();
  EXPECT_FALSE(dialog->layout().enabled(CPointSet::IDC_DELETE));
  add(1.23456789, -2.5);
  ASSERT_EQ(dialog->rows().size(), 1u);
  EXPECT_EQ(dialog->rows()[0][0], CString(L"1.23457"));
  EXPECT_EQ(dialog->rows()[0][1], CString(L"-2.5"));
  EXPECT_EQ(dialog->rowPoint(0).x, 1.23457);
  add(3, 0);
  add(3, 4);
  const struct {
    std::set<int> selected;
    bool edit, remove, add;
  } states[] = {{{1}, true, true, true}, {{0, 2}, false, true, false}, {{}, false, false, true}};
  for (const auto& s : states) {
    SCOPED_TRACE(s.selected.size());
    dialog->setSelection(s.selected);
    dialog->OnListClick();
    EXPECT_EQ(dialog->layout().enabled(CPointSet::IDC_EDIT), s.edit);
    EXPECT_EQ(dialog->layout().enabled(CPointSet::IDC_DELETE), s.remove);
    EXPECT_EQ(dialog->layout().enabled(CPointSet::IDC_ADD), s.add);
    EXPECT_TRUE(dialog->layout().enabled(CPointSet::IDC_CLEAR));
  }
  // EDIT replaces the selected row through the point dialog, preset with it.
  dialog->setSelection({1});
  host.pointAnswer = std::array<double, 2>{5, 0};
  dialog->OnEditPoint();
  ASSERT_EQ(host.pointPresets.size(), 4u);
  EXPECT_EQ(host.pointPresets[3], (std::array<double, 2>{3, 0}));
  EXPECT_EQ(dialog->rows()[1][0], CString(L"5"));
  // DELETE removes the selected rows, CLEAR the rest.
  dialog->setSelection({0, 2});
  dialog->OnDeletePoints();
  ASSERT_EQ(dialog->rows().size(), 1u);
  EXPECT_EQ(dialog->rows()[0][0], CString(L"5"));
  dialog->OnClear();
  EXPECT_TRUE(dialog->rows().empty());
}

TEST_F(PointSetDialog, PointsFromTheLastCornerAndFromPicks) {
  dialog->show();
  window().c.SetText(CPointSet::IDC_DELTA_X, L"2");
  window().c.SetText(CPointSet::IDC_DELTA_Y, L"1");
  window().c.SetText(CPointSet::IDC_DISTANCE, L"2");
  window().c.SetText(CPointSet::IDC_ANGLE, L"90");
  // With no row there is no last corner: nothing is added.
  dialog->OnAddDelta();
  dialog->OnAddPolar();
  EXPECT_TRUE(dialog->rows().empty());
  add(1, 1);
  dialog->OnAddDelta();
  dialog->OnAddPolar();
  ASSERT_EQ(dialog->rows().size(), 3u);
  EXPECT_EQ(dialog->rowPoint(1).x, 3.0);
  EXPECT_EQ(dialog->rowPoint(1).y, 2.0);
  EXPECT_NEAR(dialog->rowPoint(2).x, 3.0, 1e-6);
  EXPECT_EQ(dialog->rowPoint(2).y, 4.0);
  // A picked construction point is appended.
  root()->addConstructionPoint(-1, 0.5);
  view->RebuildAndRedraw();
  clickDot(-1, 0.5);
  ASSERT_EQ(dialog->rows().size(), 4u);
  EXPECT_EQ(dialog->rowPoint(3).x, -1.0);
  EXPECT_EQ(dialog->rowPoint(3).y, 0.5);
}

TEST_F(PointSetDialog, OnlyAClockwiseTurnAtTheSecondCornerWarns) {
  dialog->show();
  for (const auto& [x, y] : {std::pair{0.0, 0.0}, {1.0, 0.0}, {0.0, 1.0}}) add(x, y);
  EXPECT_TRUE(Hooks::messageBoxes().empty());
  dialog->OnClear();
  for (const auto& [x, y] : {std::pair{0.0, 0.0}, {0.0, 1.0}, {1.0, 0.0}}) add(x, y);
  ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
  EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"Polygon must be defined in counterclockwise order"));
  EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"Counter clockwise check"));
  EXPECT_EQ(Hooks::messageBoxes()[0].type & MB_ICONSTOP, MB_ICONSTOP);
  // Only a warning: the rows stay and OK builds the polygon.
  EXPECT_EQ(dialog->rows().size(), 3u);
  window().c.SetText(CPointSet::IDC_NAME, L"cw");
  dialog->OnOK();
  EXPECT_NE(model()->findShape(L"cw"), nullptr);
}

TEST_F(PointSetDialog, TooFewCornersOrATakenNameAreRefusedAndTheDialogStays) {
  rectangle(L"taken", 5, 5, 1, 1);
  dialog->show();
  add(0, 0);
  add(1, 0);
  const std::size_t before = journal().size();
  dialog->OnOK();
  add(0, 0);  // three rows, two corners
  dialog->OnOK();
  dialog->OnClear();
  for (const auto& [x, y] : {std::pair{0.0, 0.0}, {1.0, 0.0}, {0.0, 1.0}}) add(x, y);
  window().c.SetText(CPointSet::IDC_NAME, L"taken");
  dialog->OnOK();
  EXPECT_EQ(messages(), (std::vector<std::wstring>{L"Number of points must be > 2.", L"Number of points must be > 2.",
                                                   L"Name for object must be unique"}));
  EXPECT_EQ(captions(), (std::vector<std::wstring>{L"Polyon Error", L"Polyon Error", L"Polyon Error"}));
  EXPECT_EQ(journal().size(), before);
  EXPECT_TRUE(dialog->isRegistered());
  EXPECT_EQ(model()->shapes.GetCount(), 1);
}

TEST_F(PointSetDialog, OkJournalsTheFitAndEditingJournalsTheDeletionFirst) {
  dialog->show();
  for (const auto& [x, y] : {std::pair{0.0, 0.0}, {2.0, 0.0}, {1.0, 1.5}}) add(x, y);
  window().c.SetText(CPointSet::IDC_NAME, L"P1");
  std::size_t before = journal().size();
  dialog->OnOK();
  EXPECT_EQ(journalAfter(before),
            (std::vector<std::string>{"Dim polygon As Quenholt.ArbitraryShape",
                                      "Set polygon = xscn.AddArbitraryShape ( \"P1\",1)", "polygon.AddPoint 0,0",
                                      "polygon.AddPoint 2,0", "polygon.AddPoint 1,1.5", "polygon.LinearFit \"root\"",
                                      "Set polygon = Nothing"}));
  EXPECT_FALSE(dialog->isRegistered());
  const CShapeAnalysis* p1 = model()->findShape(L"P1");
  ASSERT_NE(p1, nullptr);
  EXPECT_EQ(corners(p1), (std::vector<std::pair<double, double>>{{0, 0}, {2, 0}, {1, 1.5}}));

  // Opened for editing: the rows are the outline's corners; a corner moved, a hole.
  dialog->OpenForEdit(model()->findShape(L"P1"));
  ASSERT_EQ(dialog->rows().size(), 3u);
  EXPECT_EQ(window().c.GetText(CPointSet::IDC_NAME), CString(L"P1"));
  dialog->setSelection({2});
  host.pointAnswer = std::array<double, 2>{1, 2};
  dialog->OnEditPoint();
  window().c.SetCheck(CPointSet::IDC_NEGATIVE, 1);
  before = journal().size();
  dialog->OnOK();
  const std::vector<std::string> edit = journalAfter(before);
  ASSERT_EQ(edit.size(), 8u);
  EXPECT_EQ(edit[0], "xscn.DeleteShape \"P1\"");
  EXPECT_EQ(edit[2], "Set polygon = xscn.AddArbitraryShape ( \"P1\",0)");
  EXPECT_EQ(edit[5], "polygon.AddPoint 1,2");
  EXPECT_EQ(model()->shapes.GetCount(), 1);
  const CShapeAnalysis* edited = model()->findShape(L"P1");
  ASSERT_NE(edited, nullptr);
  EXPECT_TRUE(edited->isNegative());
  // Its old corner went with it; the new ones are there.
  int dots = 0;
  for (CDot* d : root()->dots) dots += d->location.y == 1.5 ? 100 : 1;
  EXPECT_EQ(dots, 3);
  EXPECT_EQ(root()->getShapeDots(const_cast<CShapeAnalysis*>(edited))->size(), 3u);
  const auto built = corners(edited);

  // The journal replays to the same polygon.
  int found = 0;
  replay([&](CXSectionAnalysisDoc& d) {
    const CShapeAnalysis* s = d.model()->findShape(L"P1");
    ASSERT_NE(s, nullptr);
    ++found;
    EXPECT_EQ(d.model()->shapes.GetCount(), 1);
    EXPECT_TRUE(s->isNegative());
    EXPECT_EQ(corners(s), built);
  });
  EXPECT_EQ(found, 1);
}

}  // namespace point_set_dialog_test
