// The section view's picture: background, shapes, the axis cross, grid
// labels, painting without a rebuild, and the Section Properties command.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CSectionForces.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "test_view_support.h"

using namespace view_test;

namespace {

bool near(const Rgba8& p, int r, int g, int b, int tol = 2) {
  return std::abs(p.red - r) <= tol && std::abs(p.green - g) <= tol && std::abs(p.blue - b) <= tol;
}

// A 2 x 1 rectangle from (-1, 0.5) to (1, 1.5) in a 200 x 200 view: the fit
// shows x -1.2..1.2 and y -0.2..2.2, so the origin is at pixel (100, 16.7).
class SectionPicture : public SectionViewTest {
 protected:
  void SetUp() override {
    SectionViewTest::SetUp();
    rectangle(L"R", -1, 0.5, 2, 1);
    openView();
  }
  // True when some pixel of the box (x0..x1, y0..y1) satisfies test.
  bool any(int x0, int y0, int x1, int y1, const std::function<bool(const Rgba8&)>& test) const {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x)
        if (test(pixel(x, y))) return true;
    return false;
  }
};

TEST_F(SectionPicture, BackgroundShapeAndAxisCross) {
  view->SetGridPosition(GridPosition::NoShow);
  EXPECT_EQ(pixel(1, 198), kBackground);
  EXPECT_EQ(pixel(198, 1), kBackground);
  // Inside the rectangle at (0.5, 1.0): the colour of a shape without material.
  EXPECT_TRUE(near(pixel(142, 100), 140, 153, 179)) << int(pixel(142, 100).red);
  // Below the origin only the cross's vertical arm is drawn (the "00" label
  // sits above the origin), in red.
  const auto red = [](const Rgba8& p) { return p == kRed; };
  EXPECT_TRUE(any(99, 13, 101, 15, red));
  // Far from the origin, no red.
  EXPECT_FALSE(any(20, 13, 22, 15, red));
}

TEST_F(SectionPicture, GridLabelsInsideTheView) {
  view->SetGridPosition(GridPosition::Behind);
  ASSERT_NE(model()->grid, nullptr);
  // The x labels' black digits along the top of the picture, clear of the
  // y labels at the left edge (nothing else there is black).
  const auto black = [](const Rgba8& p) { return p == Rgba8{0, 0, 0, 255}; };
  EXPECT_TRUE(any(60, 170, 199, 199, black));
}

TEST(GridLabel, FormatsWithGAndZeroesTinyValues) {
  const struct {
    double value;
    const wchar_t* text;
  } cases[] = {{0.25, L"0.25"}, {-2.0, L"-2"}, {3e-6, L"0"}, {-9.9e-6, L"0"}, {1e-5, L"1e-05"}, {1500000.0, L"1.5e+06"}};
  for (const auto& c : cases) EXPECT_EQ(gridLabel(c.value), CString(c.text)) << c.value;
}

TEST(GridLabel, DenseLabelsKeepTheSolidLinesAndSkipWhatOverlaps) {
  using Kept = std::vector<std::size_t>;
  const std::vector<double> every10 = {0, 10, 20, 30, 40, 50, 60, 70, 80};
  // Room for all: 4-pixel labels 10 apart with a 4-pixel gap.
  EXPECT_EQ(legibleGridLabels(every10, std::vector<double>(9, 2.0), 4.0, -2, 82), (Kept{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  // 16-pixel labels need 20 between centres: every other line, and the
  // stippled line 3 gives way to the solid line 4 although it comes first.
  EXPECT_EQ(legibleGridLabels(every10, std::vector<double>(9, 8.0), 4.0, -10, 90), (Kept{0, 2, 4, 6, 8}));
  // 36-pixel labels: only the solid lines.
  EXPECT_EQ(legibleGridLabels(every10, std::vector<double>(9, 18.0), 4.0, -20, 100), (Kept{0, 4, 8}));
  // A label cut by either end of the picture is left out, and the next
  // line that fits takes its place.
  EXPECT_EQ(legibleGridLabels(every10, std::vector<double>(9, 8.0), 4.0, 0, 75), (Kept{1, 4, 6}));
  EXPECT_TRUE(legibleGridLabels({}, {}, 4.0, 0, 100).empty());
}

TEST_F(SectionPicture, PaintingRedrawsWithoutRebuildingOrLosingPicks) {
  view->SetGridPosition(GridPosition::NoShow);
  DspRecord* fill = records(SectionRecord::kShape).front();
  view->addPickList(fill);
  const int listBefore = fill->listId;
  const int presents = host.presents;
  view->OnPaint();
  view->OnPaint();
  EXPECT_GT(host.presents, presents);
  ASSERT_EQ(records(SectionRecord::kShape).front(), fill);
  EXPECT_EQ(fill->listId, listBefore);
  EXPECT_EQ(fill->picked, 1);
  EXPECT_EQ(view->COpenGLView::m_pickList.GetCount(), 1);
  // The picked fill is drawn in the highlight colour.
  EXPECT_EQ(pixel(142, 100), kWhite);

  view->ClearPicks();
  EXPECT_EQ(fill->picked, 0);
  ASSERT_FALSE(host.statuses.empty());
  EXPECT_EQ(host.statuses.back().Left(21), CString(L"For Online Help visit"));
}

// The mesh records draw lit: the view's light must show a meshed shape in
// its material's own colour, not in the 0.2 share that the ambient light
// alone would leave.
TEST_F(SectionPicture, MeshedShapeShowsItsMaterialsColour) {
  CShapeAnalysis* shape = model()->shapes.GetHead();
  mesh(shape);
  shape->material()->setColour(0.8, 0.4, 0.2);
  view->SetGridPosition(GridPosition::NoShow);
  view->RebuildAndRedraw();
  ASSERT_EQ(records(SectionRecord::kMesh).size(), 1u);
  // The rectangle covers pixels x 17..183, y 58..142; most of its inside
  // is element faces, the rest black outlines.
  int full = 0, dark = 0, inside = 0;
  for (int y = 62; y <= 138; ++y)
    for (int x = 21; x <= 179; ++x) {
      const Rgba8 p = pixel(x, y);
      ++inside;
      full += near(p, 204, 102, 51, 3);
      dark += near(p, 41, 20, 10, 3);
    }
  EXPECT_GT(full, inside / 2);
  EXPECT_EQ(dark, 0);
}

// A view that shows the stress result of the applied load condition.
class StressView : public CThickSectionView {
 protected:
  int resultKind(const CSubSection*) const override { return 3; }
};

TEST_F(SectionViewTest, ExtremeStressValuesAtTheirNodes) {
  rectangle(L"R", -1, 0.5, 2, 1);
  auto lc = std::make_shared<CLoadCondition>();
  lc->ScnLoadCondition(CString(L"lc"));
  CSectionForces* forces = lc->scnForcesMutable();
  forces->minNode = std::make_shared<CFENodeAnalysis>();
  forces->maxNode = std::make_shared<CFENodeAnalysis>();
  forces->minNode->position = Point<double>(-0.8, 2.0, 0.0);  // pixel (33, 183)
  forces->maxNode->position = Point<double>(0.5, 0.0, 0.0);   // pixel (142, 17)
  forces->minStress = -5.0;
  forces->maxStress = 7.0;
  root()->curAppLC(lc);
  openView<StressView>();
  view->SetGridPosition(GridPosition::NoShow);
  const auto count = [&](int x0, int y0, int x1, int y1, Rgba8 colour) {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) n += pixel(x, y) == colour;
    return n;
  };
  // The minimum in blue beside its node, the maximum in red beside its own.
  EXPECT_GT(count(25, 170, 80, 196, kBlue), 0);
  EXPECT_EQ(count(25, 170, 80, 196, kRed), 0);
  EXPECT_GT(count(134, 5, 199, 30, kRed), 0);
  EXPECT_EQ(count(134, 5, 199, 30, kBlue), 0);

  // Without an applied load condition no result is shown.
  root()->curAppLC(nullptr);
  view->RefreshScene();
  EXPECT_EQ(count(25, 170, 80, 196, kBlue), 0);
}

TEST_F(SectionViewTest, SectionPropertiesFillsResultPaneWithoutJournal) {
  rectangle(L"R", 0, 0, 2, 1);
  openView();
  const auto journal = journals();
  ASSERT_FALSE(journal.empty());
  const auto before = lines(journal.back());
  const bool couldUndo = doc->CanUndo();
  ASSERT_TRUE(view->OnCommand(SectionCommand::SectionProperties));
  double area = 0.0;
  ASSERT_TRUE(frame.value(L"Area", &area));
  EXPECT_DOUBLE_EQ(area, 2.0);
  EXPECT_EQ(frame.subSection, root());
  EXPECT_EQ(lines(journal.back()), before);
  EXPECT_EQ(doc->CanUndo(), couldUndo);
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
