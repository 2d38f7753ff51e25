// The section view's transformations of picked shapes with their journal
// lines, point rotation, model readiness and the fit of the view.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/model/CDot.h"
#include "test_view_support.h"

using namespace view_test;

namespace {

class SectionTransform : public SectionViewTest {
 protected:
  // Picks the shape's first record, as a click would.
  void pickShape(CShapeAnalysis* s) {
    view->addPickList(view->findDspRecord(static_cast<const void*>(s)));
  }
  std::string lastJournalLine() const { return lines(journals().back()).back(); }
  // The model's shape other than s.
  CShapeAnalysis* otherThan(const CShapeAnalysis* s) const {
    for (POSITION pos = model()->shapes.GetHeadPosition(); pos != nullptr;) {
      CShapeAnalysis* t = model()->shapes.GetNext(pos);
      if (t != s) return t;
    }
    return nullptr;
  }
};

void expectBox(const CShapeAnalysis* s, double x0, double y0, double x1, double y1) {
  Point<double> lo, hi;
  s->extents(&lo, &hi, 1);
  EXPECT_NEAR(lo.x, x0, 1e-9);
  EXPECT_NEAR(lo.y, y0, 1e-9);
  EXPECT_NEAR(hi.x, x1, 1e-9);
  EXPECT_NEAR(hi.y, y1, 1e-9);
}

TEST(RotatePoint, TurnsAboutTheCentre) {
  const struct {
    Point<double> p, centre;
    double degrees;
    Point<double> expected;
  } cases[] = {
      {{1, 0, 0}, {0, 0, 0}, 90, {0, 1, 0}},
      {{2, 1, 7}, {1, 1, 0}, 180, {0, 1, 7}},  // z is kept
      {{3, 4, 0}, {0, 0, 0}, -90, {4, -3, 0}},
      {{1, 1, 0}, {1, 1, 0}, 33, {1, 1, 0}},
  };
  for (const auto& c : cases) {
    Point<double> p = c.p;
    CThickSectionView::rotatePoint(p, c.centre, c.degrees);
    EXPECT_NEAR(p.x, c.expected.x, 1e-15) << c.degrees;
    EXPECT_NEAR(p.y, c.expected.y, 1e-15) << c.degrees;
    EXPECT_EQ(p.z, c.expected.z);
  }
}

TEST_F(SectionTransform, MirrorInPlaceAndDuplicateWithTheirJournalLines) {
  CShapeAnalysis* a = rectangle(L"a", 1, 0, 2, 1);
  openView();
  pickShape(a);
  view->mirrorPicked(false, Point<double>(0, 0, 0), Point<double>(1, 0, 0));
  EXPECT_EQ(lastJournalLine(), "xscn.MirrorShape \"a\", 0,0,1,0");
  expectBox(a, -3, 0, -1, 1);
  EXPECT_TRUE(a->mark);  // the mirrored flag
  EXPECT_EQ(view->COpenGLView::m_pickList.GetCount(), 0);

  pickShape(a);
  view->mirrorPicked(true, Point<double>(0, 0, 0), Point<double>(0, 1, 0));
  CShapeAnalysis* b = otherThan(a);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(lastJournalLine(),
            "xscn.MirrorDuplicate \"a\", \"" + std::string(CStringA(b->name())) + "\",0,0,0,1");
  expectBox(b, -3, -1, -1, 0);
  expectBox(a, -3, 0, -1, 1);
  // Each mirror ran the change routine: two snapshots to go back between.
  EXPECT_TRUE(doc->CanUndo());
}

TEST_F(SectionTransform, MirrorStopsAtAPickWithoutRecord) {
  CShapeAnalysis* a = rectangle(L"a", 1, 0, 2, 1);
  openView();
  pickShape(a);
  view->COpenGLView::m_pickList.AddTail(987654);
  view->mirrorPicked(false, Point<double>(0, 0, 0), Point<double>(1, 0, 0));
  // The picks stay.
  EXPECT_EQ(view->COpenGLView::m_pickList.GetCount(), 2);
}

TEST_F(SectionTransform, TranslateInPlaceAndDuplicate) {
  CShapeAnalysis* a = rectangle(L"a", 0, 0, 2, 1);
  openView();
  pickShape(a);
  view->translatePicked(Point<double>(1, 2, 0), false);
  EXPECT_EQ(lastJournalLine(), "xscn.TranslateShape \"a\",1,2");
  expectBox(a, 1, 2, 3, 3);
  EXPECT_EQ(view->COpenGLView::m_pickList.GetCount(), 0);

  pickShape(a);
  view->translatePicked(Point<double>(1, 2, 0), true);
  CShapeAnalysis* b = otherThan(a);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(lastJournalLine(),
            "xscn.TranslateDuplicateShape \"a\",\"" + std::string(CStringA(b->name())) + "\",1,2");
  expectBox(b, 2, 4, 4, 5);
  EXPECT_TRUE(root()->isCurrentShape(b));
}

TEST_F(SectionTransform, TranslateSkipsATargetHeldByAnotherShapeOfItsKind) {
  CShapeAnalysis* a = rectangle(L"a", 0, 0, 2, 1);
  rectangle(L"b", 3, 0, 2, 1);
  openView();
  const auto before = lines(journals().back()).size();
  pickShape(a);
  view->translatePicked(Point<double>(3, 0, 0), false);
  expectBox(a, 0, 0, 2, 1);
  EXPECT_EQ(lines(journals().back()).size(), before);
}

// A polygon has no defining points, so no origin to test the target
// against: it moves, turns and is copied like any other shape.
TEST_F(SectionTransform, PolygonsMoveTurnAndCopy) {
  auto* a = new CShapeAnalysis(model());
  Point<double> corners[] = {{0, 0, 0}, {3, 0, 0}, {0, 2, 0}};
  a->polygon(root(), L"p", corners, 3, 0, nullptr);
  openView();
  ASSERT_TRUE(view->translateShape(a, Point<double>(1, 2, 0), false));
  expectBox(a, 1, 2, 4, 4);
  ASSERT_TRUE(view->rotateShape(a, false, 1, 2, 90));
  expectBox(a, -1, 2, 1, 5);
  ASSERT_TRUE(view->translateShape(a, Point<double>(10, 0, 0), true));
  CShapeAnalysis* copy = otherThan(a);
  ASSERT_NE(copy, nullptr);
  expectBox(copy, 9, 2, 11, 5);
  EXPECT_NEAR(copy->area(), 3.0, 1e-12);
  EXPECT_NEAR(a->area(), 3.0, 1e-12);
}

TEST_F(SectionTransform, RotateAboutTheShapesOwnOriginRotatesIt) {
  CShapeAnalysis* a = rectangle(L"a", 0, 0, 2, 1);
  openView();
  const Point<double> o = a->origin();
  ASSERT_EQ(o, Point<double>(0, 0, 0));
  pickShape(a);
  view->rotatePicked(false, o.x, o.y, 90);
  EXPECT_EQ(lastJournalLine(), "xscn.RotateShape \"a\", 0,0,90");
  expectBox(a, -1, 0, 0, 2);

  pickShape(a);
  view->rotatePicked(true, 0, 0, 180);
  CShapeAnalysis* b = otherThan(a);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(lastJournalLine(),
            "xscn.RotateDuplicateShape \"a\", \"" + std::string(CStringA(b->name())) + "\", 0,0,180");
  expectBox(b, 0, -2, 1, 0);
}

TEST_F(SectionTransform, RotationWithAMeshIsRefused) {
  CShapeAnalysis* a = rectangle(L"a", 0, 0, 2, 1);
  mesh(a);
  openView();
  pickShape(a);
  const auto before = lines(journals().back()).size();
  view->rotatePicked(false, 0, 0, 90);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], CString(L"Mesh must be deleted before a shape may be rotated"));
  EXPECT_EQ(host.captions[0], CString(L"Transformations"));
  expectBox(a, 0, 0, 2, 1);
  EXPECT_EQ(lines(journals().back()).size(), before);
  EXPECT_EQ(view->COpenGLView::m_pickList.GetCount(), 1);
}

TEST_F(SectionTransform, WalksLeaveConstructionPointsAlone) {
  CShapeAnalysis* a = rectangle(L"a", 0, 0, 2, 1);
  root()->addConstructionPoint(5, 5);
  openView();
  pickShape(a);
  DspRecord* dot = nullptr;
  for (DspRecord* r : records(SectionRecord::kDot))
    if (static_cast<CDot*>(r->object)->location == Point<double>(5, 5, 0)) dot = r;
  ASSERT_NE(dot, nullptr);
  view->addPickList(dot);
  EXPECT_EQ(view->pickedShapeNames(), std::vector<CString>{L"a"});
  view->translatePicked(Point<double>(1, 0, 0), false);
  expectBox(a, 1, 0, 3, 1);
  EXPECT_EQ(root()->constructionPoints[0]->location, Point<double>(5, 5, 0));
}

TEST_F(SectionTransform, EnsureRootSubSectionCreatesRootOnce) {
  openView();
  view->EnsureRootSubSection();
  view->EnsureRootSubSection();
  int roots = 0;
  for (const CSubSection* s : model()->subSections) roots += s->name() == CString(L"root");
  EXPECT_EQ(roots, 1);
  EXPECT_EQ(model()->subSections.size(), 1u);
  EXPECT_EQ(model()->currentSubSection(), root());
}

// The view window after fullView: -half..half in x, -half*ratio.. in y,
// around the centre.
struct Fit {
  const char* what;
  int width, height;
  double x, y, w, h;  // the section's box (w = 0: empty)
  double xLo, xHi, yLo, yHi;
};

TEST_F(SectionTransform, FullViewShowsTheWholeSection) {
  const Fit fits[] = {
      {"empty section", 800, 600, 0, 0, 0, 0, -16, 16, -12, 12},
      {"10 x 2 rectangle", 800, 600, -5, -1, 10, 2, -6, 6, -4.5, 4.5},
      // A tall window must not clip the sides (0.6 max(w, h / aspect)).
      {"10 x 10 in a tall window", 400, 800, -5, -5, 10, 10, -6, 6, -12, 12},
      {"2 x 10 in a tall window", 400, 800, -1, -5, 2, 10, -3, 3, -6, 6},
  };
  for (const Fit& f : fits) {
    TearDown();
    SetUp();
    if (f.w > 0) rectangle(L"r", f.x, f.y, f.w, f.h);
    openView(f.width, f.height);
    view->fullView();
    const double cx = view->m_center.x, cy = view->m_center.y;
    EXPECT_NEAR(cx + view->m_windowMin.x, f.xLo, 1e-5) << f.what;
    EXPECT_NEAR(cx + view->m_windowMax.x, f.xHi, 1e-5) << f.what;
    EXPECT_NEAR(cy + view->m_windowMin.y, f.yLo, 1e-5) << f.what;
    EXPECT_NEAR(cy + view->m_windowMax.y, f.yHi, 1e-5) << f.what;
  }
}

}  // namespace
