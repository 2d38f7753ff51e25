// The section view's picking: clicks in selection mode on nested squares
// and construction points, the toggle, the receivers of picked points,
// result requests, element and node picks, and the pick-list queries.
#include <gtest/gtest.h>

#include <cwchar>
#include <memory>
#include <stdexcept>
#include <vector>

#include "analysis/model/CDot.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFETrng3.h"
#include "test_view_support.h"

using namespace view_test;

namespace {

// A dialog of the view that keeps what it is told.
struct ReceivingDialog : ModelessDialog, PickReceiver {
  void DestroyWindow() override {}
  void pointPicked(Point<double> p) override { points.push_back(p); }
  void shapePicked(CShapeAnalysis* s) override { shapes.push_back(s); }
  std::vector<Point<double>> points;
  std::vector<CShapeAnalysis*> shapes;
};

// Squares [-5,5]² ("big") and [-1,1]² ("small") and a construction point at
// (1, 2) in an 800 x 600 view. The fit shows x -8..8 and y -6..6, so model
// (X, Y) is client pixel (400 + 50 X, 300 - 50 Y), y counted downwards.
class SectionPicking : public SectionViewTest {
 protected:
  void SetUp() override {
    SectionViewTest::SetUp();
    big = rectangle(L"big", -5, -5, 10, 10);
    small = rectangle(L"small", -1, -1, 2, 2);
    root()->addConstructionPoint(1, 2);
    openView(800, 600);
  }
  void click(double x, double y, UINT mask = 36) {
    view->pick(static_cast<int>(400 + 50 * x), static_cast<int>(300 - 50 * y), mask);
  }
  std::vector<CString> picked() const { return view->pickedShapeNames(); }
  CShapeAnalysis* big = nullptr;
  CShapeAnalysis* small = nullptr;
};

using Names = std::vector<CString>;

TEST_F(SectionPicking, SmallestShapeUnderTheClickAndDotsBeforeShapes) {
  click(0, 0);
  EXPECT_EQ(picked(), Names{L"small"});
  view->ClearPicks();
  click(4, 4);
  EXPECT_EQ(picked(), Names{L"big"});
  view->ClearPicks();

  // The construction point inside the big square beats it.
  click(1, 2);
  EXPECT_TRUE(picked().empty());
  ASSERT_EQ(view->dotsPicked(), 1);
  EXPECT_EQ(host.statuses.back(), CString(L"Point at (1,    2)"));

  // Also when the square is picked already (a picked record is drawn, and
  // hit, last): the click picks the point and keeps the square.
  view->ClearPicks();
  click(4, 4);
  click(1, 2);
  EXPECT_EQ(picked(), Names{L"big"});
  EXPECT_EQ(view->dotsPicked(), 1);

  // Nothing under the click: nothing picked, nothing lost.
  click(7, 5.5);
  EXPECT_EQ(view->pickedCountLenient(), 2);
}

TEST_F(SectionPicking, SecondClickOnAPickedRecordTogglesThePicksOff) {
  click(0, 0);
  ASSERT_EQ(picked(), Names{L"small"});
  click(0, 0);
  EXPECT_TRUE(picked().empty());
  EXPECT_EQ(view->COpenGLView::m_pickList.GetCount(), 0);
  for (DspRecord* r : records(SectionRecord::kShape)) EXPECT_EQ(r->picked, 0);

  // Two different shapes are both kept.
  click(0, 0);
  click(4, 4);
  EXPECT_EQ(picked(), (Names{L"small", L"big"}));
  // Near the small square's edge its outline record is hit, not its picked
  // fill: the shape is picked already, so the click still toggles.
  click(0.98, 0);
  EXPECT_TRUE(picked().empty());
}

TEST_F(SectionPicking, ShapeSelectionIsJournalledAndShownOrSentToItsDialog) {
  click(0, 0);
  EXPECT_EQ(host.statuses.back(), CString(L"Shape small"));
  EXPECT_EQ(lines(journals().back()).back(), "xscn.SelectShape \"small\"");

  ReceivingDialog selector;
  doc->RegisterModelessDialog(&selector);
  view->m_shapeSelectionDialog = &selector;
  const std::size_t statuses = host.statuses.size();
  click(4, 4);
  ASSERT_EQ(selector.shapes.size(), 1u);
  EXPECT_EQ(selector.shapes[0], big);
  EXPECT_EQ(host.statuses.size(), statuses);
  doc->UnregisterModelessDialog(&selector);
  view->m_shapeSelectionDialog = nullptr;

  // Pick modes other than 1 select no shape.
  view->ClearPicks();
  view->m_pickMode = 0;
  click(0, 0);
  EXPECT_TRUE(picked().empty());
}

TEST_F(SectionPicking, PickedPointGoesByValueToExactlyOneReceiver) {
  ReceivingDialog profile, selector, plastic, pointSet, translate;
  view->m_shapeSelectionDialog = &selector;
  view->m_plasticDialog = &plastic;
  view->m_pointDialogs = {&pointSet, &translate};
  doc->RegisterModelessDialog(&pointSet);
  click(1, 2);
  ASSERT_EQ(selector.points.size(), 1u);
  EXPECT_EQ(selector.points[0].x, 1.0);
  EXPECT_EQ(selector.points[0].y, 2.0);
  EXPECT_TRUE(plastic.points.empty());
  EXPECT_TRUE(pointSet.points.empty());

  // The profile dialog comes first.
  view->m_pendingProfileDialog = &profile;
  view->ClearPicks();
  click(1, 2);
  EXPECT_EQ(profile.points.size(), 1u);
  EXPECT_EQ(selector.points.size(), 1u);

  // Without any of the four: every open point-taking dialog.
  view->m_pendingProfileDialog = nullptr;
  view->m_shapeSelectionDialog = nullptr;
  view->m_plasticDialog = nullptr;
  view->ClearPicks();
  click(1, 2);
  ASSERT_EQ(pointSet.points.size(), 1u);
  EXPECT_TRUE(translate.points.empty());  // not open

  // A rebuild frees the dot; the point the dialog holds is its own.
  view->RebuildAndRedraw();
  EXPECT_EQ(pointSet.points[0].y, 2.0);
  doc->UnregisterModelessDialog(&pointSet);
}

TEST_F(SectionPicking, ResultRequestOutsideTheSubSectionIsRefused) {
  for (int mode : {2, 3}) {
    view->m_pickMode = mode;
    host.messages.clear();
    host.captions.clear();
    click(7, 5.5);
    ASSERT_EQ(host.messages.size(), 1u) << mode;
    EXPECT_EQ(host.messages[0], CString(L"Point is not inside or on a object of the subsection."));
    EXPECT_EQ(host.captions[0], CString(L"Result Request"));
    // Inside, with no result dialog open: no message, no location.
    click(3, -3);
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(root()->resultLocations.empty());
  }
  // A dot click requests no result.
  host.messages.clear();
  click(1, 2);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(SectionPicking, StationDisplayAndInteractionsPickNothing) {
  view->m_stationDisplay = 1;
  click(0, 0);
  view->m_stationDisplay = 0;
  view->m_rubberBanding = 1;
  click(0, 0);
  view->m_rubberBanding = 0;
  EXPECT_TRUE(picked().empty());
  // A mask of construction points only passes the squares by.
  click(0, 0, 4);
  EXPECT_TRUE(picked().empty());
}

TEST_F(SectionPicking, NodeValuePickNamesTheNodeUnderTheClick) {
  auto* mesh = new CMesh();
  auto node = std::make_shared<CFENodeAnalysis>();
  node->number = 5;
  node->position = Point<double>(1, 2, 0);
  auto other = std::make_shared<CFENodeAnalysis>();
  other->number = 6;
  other->position = Point<double>(-3, -3, 0);
  mesh->nodes = {other, node};
  root()->meshes.push_back(mesh);
  view->m_nodeValuePick = 1;
  click(1, 2);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], CString(L"Id is 5 at (1,2)"));
  EXPECT_EQ(host.captions[0], CString(L"Node Value Pick"));
  EXPECT_EQ(view->nodeValuePick(400 + 50 * -3, 300 + 50 * 3), other.get());
  // Away from every node: no box, no node, no pick.
  EXPECT_EQ(view->nodeValuePick(400, 300), nullptr);
  EXPECT_EQ(host.messages.size(), 2u);
  EXPECT_TRUE(picked().empty());
}

TEST_F(SectionPicking, ElementPickNamesAnElementUnderTheClick) {
  view->m_elementPick = 1;
  click(7, 5.5);  // outside every element
  EXPECT_TRUE(host.messages.empty());
  mesh(small);
  ASSERT_FALSE(root()->meshes.empty());
  const auto& elements = root()->meshes[0]->trng3Elements;
  ASSERT_FALSE(elements.empty());
  const Point<double> c = elements.front()->center();
  click(c.x, c.y);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.captions[0], CString(L"Element Pick"));
  // The named element's label lies under the click.
  int named = -1;
  ASSERT_EQ(std::swscanf(static_cast<const wchar_t*>(host.messages[0]), L"Element %d", &named), 1);
  bool near = false;
  for (const auto& e : elements)
    if (e->id == named) near = (e->center() - c).length() * 50 < 20;
  EXPECT_TRUE(near);
}

TEST_F(SectionPicking, PickListQueries) {
  view->selectAllShapes();
  EXPECT_EQ(picked(), (Names{L"big", L"small"}));
  EXPECT_EQ(view->pickedCount(), 2);
  EXPECT_TRUE(view->anyPickedShapeInModel());
  click(1, 2);
  root()->addConstructionPoint(-2, 3);
  view->RebuildAndRedraw();  // the new point drawn; the picks are cleared
  EXPECT_EQ(view->pickedCount(), 0);
  click(1, 2);
  click(-2, 3);
  Point<double> a, b;
  CShapeAnalysis* owner = big;
  ASSERT_TRUE(view->twoPickedDots(&a, &b, &owner));
  EXPECT_EQ(a, Point<double>(1, 2, 0));
  EXPECT_EQ(b, Point<double>(-2, 3, 0));
  EXPECT_EQ(owner, nullptr);  // construction points belong to no shape
  EXPECT_TRUE(view->pickedShapeNames().empty());

  // An id without a record.
  view->COpenGLView::m_pickList.AddTail(987654);
  view->validatePickList();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], CString(L"null value in picklist"));
  EXPECT_EQ(host.captions[0], CString(L"picklist error"));
  EXPECT_EQ(view->pickedCountLenient(), 2);
  EXPECT_EQ(view->pickedCount(), 0);  // and the picks are cleared
  EXPECT_EQ(view->COpenGLView::m_pickList.GetCount(), 0);
}

}  // namespace
