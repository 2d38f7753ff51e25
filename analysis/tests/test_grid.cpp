// The sampling grid's spacing rule, line positions and archive record, and
// the section model base that owns a grid.
#include <gtest/gtest.h>

#include <ctime>
#include <limits>
#include <stdexcept>
#include <string>

#include "analysis/model/CBaseXSectionAnalysis.h"
#include "analysis/model/CGrid.h"
#include "analysis/model/Globals.h"
#include "analysis/tests/LoadsArchiveBytes.h"

using namespace loads_test;

namespace {

CGrid gridOver(double x0, double y0, double x1, double y1) {
  Point<double> lo(x0, y0, 0.0), hi(x1, y1, 0.0);
  CGrid g;
  *g.minP() = lo;
  *g.maxP() = hi;
  g.compute();
  return g;
}

std::string gridError(double x0, double y0, double x1, double y1) {
  try {
    gridOver(x0, y0, x1, y1);
  } catch (const std::logic_error& e) {
    return e.what();
  }
  return "";
}

}  // namespace

TEST(GridSpacing, ExamplesOfTheRule) {
  struct Case {
    double x0, y0, x1, y1;
    double spacing, startX, endX;
    int stepsX, stepsY;
  };
  const Case cases[] = {
      // L = 100: r = 13, s = 10; a maximum on a major line gets one more step.
      {0, 0, 100, 50, 10.0, 0.0, 110.0, 11, 6},
      // L = 6: r = 1, s = 1, the first line found below the origin.
      {-3, -1, 3, 1, 1.0, -3.0, 4.0, 7, 3},
      // L = 72: r = 9, s = 1 is too fine (72 steps) and becomes 10.
      {0, 0, 72, 10, 10.0, 0.0, 80.0, 8, 2},
      // L = 792: r = 99, s = 10 doubles to 40 (19 steps) and then 80.
      {0, 0, 792, 10, 80.0, 0.0, 800.0, 10, 1},
      // L = 4: r = 1 (0.5 rounds up), s = 1 gives exactly four steps.
      {0, 0, 4, 1, 1.0, 0.0, 5.0, 5, 2},
      // L = 2.9: r = 0, s = 0.1 gives 29 steps and doubles to 0.2; fifteen
      // additions of 0.2 first pass 2.9.
      {0, 0, 2.9, 2.9, 0.2, 0.0, 3.0, 15, 15},
  };
  for (const Case& c : cases) {
    CGrid g = gridOver(c.x0, c.y0, c.x1, c.y1);
    SCOPED_TRACE(c.x1);
    EXPECT_DOUBLE_EQ(g.stepX, c.spacing);
    EXPECT_EQ(g.stepY, g.stepX);
    EXPECT_DOUBLE_EQ(g.startX, c.startX);
    EXPECT_DOUBLE_EQ(g.endX, c.endX);
    EXPECT_EQ(g.stepCountX, c.stepsX);
    EXPECT_EQ(g.stepCountY, c.stepsY);
    EXPECT_EQ(g.lineCountX, 4 * c.stepsX + 1);
    EXPECT_EQ(g.lineCountY, 4 * c.stepsY + 1);
    EXPECT_EQ(g.xLines.size(), static_cast<std::size_t>(g.lineCountX));
    EXPECT_EQ(g.yLines.size(), static_cast<std::size_t>(g.lineCountY));
  }
}

TEST(GridSpacing, HundredByFiftyLines) {
  CGrid g = gridOver(0, 0, 100, 50);
  EXPECT_EQ(g.lineCountX, 45);
  EXPECT_EQ(g.lineCountY, 25);
  EXPECT_EQ(g.startY, 0.0);
  EXPECT_EQ(g.endY, 60.0);
  // Major lines every 10 with minor lines at quarters.
  EXPECT_EQ(g.xLines[0], 0.0);
  EXPECT_EQ(g.xLines[1], 2.5);
  EXPECT_EQ(g.xLines[2], 5.0);
  EXPECT_EQ(g.xLines[3], 7.5);
  EXPECT_EQ(g.xLines[4], 10.0);
  EXPECT_EQ(g.xLines[44], 110.0);
  EXPECT_EQ(g.yLines[24], 60.0);
  EXPECT_EQ(g.width(), 110.0);
  EXPECT_EQ(g.height(), 60.0);
}

TEST(GridSpacing, UnitSquareKeepsTheRepeatedAdditionCount) {
  // s = 0.1; ten additions of 0.1 give 0.9999999999999999, still inside,
  // so the count is 11.
  CGrid g = gridOver(0, 0, 1, 1);
  EXPECT_EQ(g.stepX, 0.1);
  EXPECT_EQ(g.stepCountX, 11);
  EXPECT_EQ(g.lineCountX, 45);
}

TEST(GridSpacing, DegenerateExtentsAndSpacingFailures) {
  EXPECT_EQ(gridError(0, 0, 100, 5e-7), "extents for section is incorrect.");
  EXPECT_EQ(gridError(0, 0, 5e-7, 100), "extents for section is incorrect.");
  EXPECT_EQ(gridError(0, 0, 100, -1), "extents for section is incorrect.");
  // Spans that are not numbers or not finite are degenerate too (an infinite
  // one used to hang the spacing search).
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(gridError(0, 0, inf, 1), "extents for section is incorrect.");
  EXPECT_EQ(gridError(-inf, 0, 1, 1), "extents for section is incorrect.");
  EXPECT_EQ(gridError(-1e308, 0, 1e308, 1), "extents for section is incorrect.");
  EXPECT_EQ(gridError(0, nan, 1, 1), "extents for section is incorrect.");
  // A section of 2e-6: no spacing of at least 1e-6 gives four steps.
  EXPECT_EQ(gridError(0, 0, 2e-6, 2e-6), "Grid creation failed");
  // At 1e20 (16384 between neighbouring doubles) a span of 32768 gets the
  // spacing 4000, which adding to 1e20 would lose: failing beats looping.
  EXPECT_EQ(gridError(1e20, 0, 1e20 + 32768, 1), "Grid creation failed");

  Point<double> lo(0, 0, 0), hi(1, 5e-7, 0);
  EXPECT_THROW(CGrid(&lo, &hi), std::logic_error);
}

// Spacing 1 at 1e9 from the origin, where adding up to the first line
// would take a billion additions (its time is a row of `make bench`).
TEST(GridSpacing, SectionFarFromTheOriginBuilds) {
  CGrid g = gridOver(1e9, -1e9 - 3, 1e9 + 10, -1e9 + 3);
  EXPECT_EQ(g.stepX, 1.0);
  EXPECT_EQ(g.startX, 1e9);
  EXPECT_EQ(g.endX, 1e9 + 11);
  EXPECT_EQ(g.stepCountX, 11);
  EXPECT_EQ(g.xLines[1], 1e9 + 0.25);
  EXPECT_EQ(g.startY, -1e9 - 3);
  EXPECT_EQ(g.endY, -1e9 + 4);
  EXPECT_EQ(g.stepCountY, 7);
}

TEST(GridSpacing, DefaultGridHasTheSmallestWidth) {
  CGrid g;
  EXPECT_EQ(g.width(), 1e-12);
  EXPECT_EQ(g.height(), 1e-12);
  EXPECT_TRUE(g.xLines.empty());
}

TEST(GridSpacing, FullConstructorKeepsItsOptionsAndComputesTheSteps) {
  Point<double> lo(0, 0, 0), hi(100, 50, 0);
  CGrid g(&lo, &hi, 3.0, 4, 5.0, 6);
  EXPECT_EQ(g.stepX, 10.0);
  EXPECT_EQ(g.stepY, 10.0);
  EXPECT_EQ(g.optionA, 4);
  EXPECT_EQ(g.optionB, 6);
  EXPECT_EQ(g.storedA, 0.0);
}

TEST(GridArchive, SeventyTwoBytesInTheListedOrder) {
  Point<double> lo(-1, -2, -3), hi(4, 5, 6);
  CGrid g(&lo, &hi, 0.0, 7, 0.0, 8);
  g.storedA = 0.25;
  g.storedB = 0.5;
  // Eight doubles (both corners, storedA, storedB) and two int32: 8·8 + 2·4.
  const Bytes expected =
      ByteBuilder().f64(-1).f64(-2).f64(-3).f64(4).f64(5).f64(6).f64(0.25).i32(7).f64(0.5).i32(8).bytes();
  ASSERT_EQ(expected.size(), 72u);
  EXPECT_EQ(stored([&](CArchive& ar) { g.Serialize(ar); }), expected);

  // Loading restores the fields and leaves the lines to the owner.
  CGrid back;
  loaded(expected, [&](CArchive& ar) { back.Serialize(ar); });
  EXPECT_EQ(back.minP()->z, -3.0);
  EXPECT_EQ(back.maxP()->y, 5.0);
  EXPECT_EQ(back.storedA, 0.25);
  EXPECT_EQ(back.optionA, 7);
  EXPECT_EQ(back.storedB, 0.5);
  EXPECT_EQ(back.optionB, 8);
  EXPECT_TRUE(back.xLines.empty());
}

TEST(GridModel, SectionModelBaseOwnsItsGrid) {
  CModel* saved = gModel;
  {
    CBaseXSectionAnalysis model;
    EXPECT_EQ(gModel, &model);
    EXPECT_TRUE(model.name.IsEmpty());
    EXPECT_EQ(model.grid, nullptr);
    EXPECT_EQ(model.geometryTime, 0);
    const std::time_t before = std::time(nullptr);
    model.geometryChanged();
    EXPECT_GE(model.geometryTime, before);
    EXPECT_LE(model.geometryTime, std::time(nullptr));

    Point<double> lo(0, 0, 0), hi(1, 1, 0);
    model.grid = new CGrid(&lo, &hi);
    model.deleteGrid();
    EXPECT_EQ(model.grid, nullptr);
    model.deleteGrid();
    // A grid left in place is destroyed with the model.
    model.grid = new CGrid(&lo, &hi);
  }
  gModel = saved;
}
