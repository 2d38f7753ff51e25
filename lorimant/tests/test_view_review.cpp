// Hard cases of the section view: records and picks that outlive their
// objects, mirror axes without a direction, clicks on empty and
// overlapping sections, and large sections.
#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

#include "analysis/model/CDot.h"
#include "test_view_support.h"

using namespace view_test;

namespace {

class SectionReview : public SectionViewTest {
 protected:
  void pickShape(CShapeAnalysis* s) {
    view->addPickList(view->findDspRecord(static_cast<const void*>(s)));
  }
  std::size_t journalLines() const { return lines(journals().back()).size(); }
  int recordsOf(const void* object) const {
    int n = 0;
    for (POSITION pos = view->m_displayList.GetHeadPosition(); pos != nullptr;)
      n += view->m_displayList.GetNext(pos)->object == object;
    return n;
  }
};

// A rebuild must not draw the old records once more (the redraw of the
// cleared picks did): their shapes, materials and meshes may be freed.
TEST_F(SectionReview, RebuildAfterDeletingAPickedMeshedShapeDrawsNoFreedRecord) {
  CShapeAnalysis* a = rectangle(L"a", 0, 0, 2, 1);
  CShapeAnalysis* b = rectangle(L"b", 5, 0, 2, 1);
  mesh(a);
  openView();
  view->m_positionPoints = 1;  // the picked shape's points are drawn too
  pickShape(a);
  // First the mesh alone, then the shape with its material.
  root()->deleteMesh(CString(L"a"));
  view->RebuildAndRedraw();
  EXPECT_EQ(records(SectionRecord::kMesh).size(), 0u);
  pickShape(a);
  model()->deleteShape(CString(L"a"));
  view->RebuildAndRedraw();
  EXPECT_EQ(view->COpenGLView::m_pickList.GetCount(), 0);
  EXPECT_TRUE(view->pickedShapeNames().empty());
  EXPECT_GT(recordsOf(b), 0);
  EXPECT_NO_THROW(view->ValidateDisplayList());
}

TEST_F(SectionReview, RebuildAfterUndoReplacedTheModelDrawsNoFreedRecord) {
  CShapeAnalysis* a = rectangle(L"a", 0, 0, 2, 1);
  {
    auto metal = std::make_shared<CMetal>();
    metal->name = L"steel";
    a->material(metal);  // the record draws with the material's colour; only the shape holds it
  }
  openView();
  doc->ModelChanged();
  rectangle(L"b", 5, 0, 2, 1);
  doc->ModelChanged();
  view->RebuildAndRedraw();
  view->m_positionPoints = 1;
  pickShape(a);
  doc->Undo();  // a new model: every record's object is gone
  view->RebuildAndRedraw();
  EXPECT_EQ(view->COpenGLView::m_pickList.GetCount(), 0);
  EXPECT_EQ(model()->shapes.GetCount(), 1);
  EXPECT_NO_THROW(view->ValidateDisplayList());
}

// A normal without a direction would leave the shape where it is with its
// boundary reversed; it is refused before anything is journalled or marked.
TEST_F(SectionReview, MirrorWithoutAxisDirectionIsRefused) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    Point<double> point, normal;
  } axes[] = {
      {{0, 0, 0}, {0, 0, 0}},
      {{0, 0, 0}, {1e-13, -1e-13, 0}},
      {{0, 0, 0}, {0, 0, 1}},  // along the line of sight: no direction in the plane
      {{0, 0, 0}, {nan, 1, 0}},
      {{inf, 0, 0}, {1, 0, 0}},
  };
  CShapeAnalysis* a = rectangle(L"a", 1, 0, 2, 1);
  openView();
  const std::size_t before = journalLines();
  for (const auto& axis : axes) {
    for (bool duplicate : {false, true}) {
      host.messages.clear();
      pickShape(a);
      view->mirrorPicked(duplicate, axis.point, axis.normal);
      ASSERT_EQ(host.messages.size(), 1u) << axis.normal.x;
      EXPECT_EQ(host.messages[0], CString(L"The mirror axis has no direction"));
      EXPECT_THROW(view->mirrorShape(a, duplicate, axis.point, axis.normal), std::invalid_argument);
      view->ClearPicks();
    }
  }
  EXPECT_EQ(model()->shapes.GetCount(), 1);
  EXPECT_FALSE(a->mark);
  EXPECT_NEAR(a->area(), 2.0, 1e-12);
  EXPECT_EQ(journalLines(), before);
  // A short but real normal still mirrors.
  pickShape(a);
  view->mirrorPicked(false, Point<double>(0, 0, 0), Point<double>(1e-9, 0, 0));
  Point<double> lo, hi;
  a->extents(&lo, &hi, 1);
  EXPECT_NEAR(lo.x, -3, 1e-9);
  EXPECT_NEAR(hi.x, -1, 1e-9);
  EXPECT_NEAR(a->area(), 2.0, 1e-12);
}

TEST_F(SectionReview, ClicksOnAnEmptySectionPickNothing) {
  openView();
  view->pick(100, 100, 0xFFFFFFFF);
  EXPECT_EQ(view->COpenGLView::m_pickList.GetCount(), 0);
  EXPECT_EQ(view->m_lastPickedObject, nullptr);
  view->m_pickMode = 2;
  view->pick(100, 100, 0xFFFFFFFF);
  ASSERT_EQ(host.captions.size(), 1u);
  EXPECT_EQ(host.captions[0], CString(L"Result Request"));
}

// The command state is asked for every command on every update; with a
// large section all picked it must not scan the records once per pick
// (about 0.3 s a call before, under the checked build; its time is a row
// of `make bench`).
TEST_F(SectionReview, CommandStateOfALargeFullyPickedSection) {
  for (int i = 0; i < 1000; ++i) {
    CString name;
    name.Format(L"s%d", i);
    rectangle(static_cast<const wchar_t*>(name), (i % 40) * 3.0, (i / 40) * 3.0, 2, 2);
  }
  openView();
  view->selectAllShapes();
  ASSERT_EQ(view->COpenGLView::m_pickList.GetCount(), 1000);
  SectionViewState state;
  for (int i = 0; i < 50; ++i) state = view->commandState();
  EXPECT_EQ(state.pickedShapes, 1000);
  EXPECT_TRUE(state.pickedShapeInSection);
  EXPECT_EQ(state.pickedPoints, 0);
}

// Points are counted up to a pick entry without a record, shapes past it.
TEST_F(SectionReview, CommandStateCountsPickedPointsAndShapes) {
  CShapeAnalysis* a = rectangle(L"a", 0, 0, 2, 1);
  CShapeAnalysis* b = rectangle(L"b", 5, 0, 2, 1);
  openView();
  std::vector<DspRecord*> dots = records(SectionRecord::kDot);
  ASSERT_GE(dots.size(), 2u);
  view->addPickList(dots[0]);
  view->addPickList(view->findDspRecord(static_cast<const void*>(a)));
  view->addPickList(dots[1]);
  SectionViewState s = view->commandState();
  EXPECT_EQ(s.pickedPoints, 2);
  EXPECT_EQ(s.pickedShapes, 1);
  EXPECT_TRUE(updateCommand(SectionCommand::Distance2Points, s).enabled);
  view->COpenGLView::m_pickList.AddTail(987654);  // no record
  view->addPickList(dots.size() > 2 ? dots[2] : nullptr);
  view->addPickList(view->findDspRecord(static_cast<const void*>(b)));
  s = view->commandState();
  EXPECT_EQ(s.pickedPoints, 2);
  EXPECT_EQ(s.pickedShapes, 2);
}

// A copy turned by a whole turn or moved by nothing would lie on its
// original: refused like any copy onto a shape of its kind. In place the
// same moves are allowed and journalled.
TEST_F(SectionReview, DuplicateOntoItsOriginalIsRefused) {
  CShapeAnalysis* a = rectangle(L"a", 1, 0, 2, 1);
  openView();
  const std::size_t before = journalLines();
  enum { Rotate, Translate };
  const struct {
    int op;
    double degrees;
  } moves[] = {{Rotate, 0}, {Rotate, 360}, {Rotate, -720}, {Translate, 0}};
  for (const auto& m : moves) {
    pickShape(a);
    if (m.op == Rotate)
      view->rotatePicked(true, 0, 0, m.degrees);
    else
      view->translatePicked(Point<double>(0, 0, 0), true);
    EXPECT_EQ(model()->shapes.GetCount(), 1) << m.op << " " << m.degrees;
  }
  EXPECT_EQ(journalLines(), before);
  pickShape(a);
  view->rotatePicked(false, 0, 0, 360);
  EXPECT_EQ(journalLines(), before + 1);
  Point<double> lo, hi;
  a->extents(&lo, &hi, 1);
  EXPECT_NEAR(lo.x, 1, 1e-9);
  EXPECT_NEAR(hi.y, 1, 1e-9);
}

// Undo and redo give the document a new model: a paint before any rebuild
// must not draw the old model's records, nor its picked shapes' points.
TEST_F(SectionReview, PaintAfterTheModelWasReplacedDrawsTheNewModel) {
  CShapeAnalysis* a = rectangle(L"a", 0, 0, 2, 1);
  {
    auto metal = std::make_shared<CMetal>();
    metal->name = L"steel";
    a->material(metal);
  }
  openView();
  doc->ModelChanged();
  rectangle(L"b", 5, 0, 2, 1);
  doc->ModelChanged();
  view->RebuildAndRedraw();
  view->m_positionPoints = 1;
  pickShape(a);
  doc->Undo();
  view->OnPaint();
  EXPECT_EQ(view->COpenGLView::m_pickList.GetCount(), 0);
  EXPECT_NO_THROW(view->ValidateDisplayList());  // every record's object is the new model's
  EXPECT_EQ(recordsOf(model()->findShape(CString(L"a"))) > 0, true);
}

}  // namespace
