// The contour colour scale.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/model/Utilities.h"

namespace {

struct Rgb {
  double r, g, b;
};

Rgb colorOf(double v, double vmin, double vmax) {
  Rgb c{-7.0, -7.0, -7.0};  // anything left unset shows up
  getColorZeroGreen(v, vmin, vmax, &c.r, &c.g, &c.b);
  return c;
}

void expectColor(double v, double vmin, double vmax, Rgb want) {
  const Rgb c = colorOf(v, vmin, vmax);
  const double tol = 1e-12;
  EXPECT_NEAR(c.r, want.r, tol) << "v=" << v << " range " << vmin << ".." << vmax;
  EXPECT_NEAR(c.g, want.g, tol) << "v=" << v << " range " << vmin << ".." << vmax;
  EXPECT_NEAR(c.b, want.b, tol) << "v=" << v << " range " << vmin << ".." << vmax;
}

}  // namespace

// Range -10..10: half points -5 and 5, darkening beyond -8 and 8 by up to 60 %.
TEST(UtilitiesColor, MixedRangeBands) {
  expectColor(0.0, -10, 10, {0, 1, 0});
  expectColor(-10.0, -10, 10, {0, 0, 0.4});
  expectColor(10.0, -10, 10, {0.4, 0, 0});
  expectColor(-2.5, -10, 10, {0, 1, 0.5});
  expectColor(2.5, -10, 10, {0.5, 1, 0});
  expectColor(-5.0, -10, 10, {0, 1, 1});   // on h-: both neighbours agree
  expectColor(5.0, -10, 10, {1, 1, 0});
  expectColor(-7.5, -10, 10, {0, 0.5, 1});
  expectColor(7.5, -10, 10, {1, 0.5, 0});
  // 9: green (10 - 9) / 5 = 0.2, both reduced by (1 / 2) * 0.6 = 0.3.
  expectColor(9.0, -10, 10, {0.7, 0.14, 0});
  expectColor(-9.0, -10, 10, {0, 0.14, 0.7});
}

TEST(UtilitiesColor, FlatRangeIsGreen) {
  expectColor(0.0, 0.0, 0.0, {0, 1, 0});  // both ends zero
  expectColor(3.0, 0.0, 0.0, {0, 1, 0});
  expectColor(5.0, 5.0, 5.0, {0, 1, 0});
  expectColor(-4.0, -4.0, -4.0 * (1 + 1e-7), {0, 1, 0});
}

TEST(UtilitiesColor, OutsideTheRangeTakesTheNearerEnd) {
  expectColor(-25.0, -10, 10, {0, 0, 0.4});
  expectColor(1e9, -10, 10, {0.4, 0, 0});
  expectColor(5.0, 10, 20, {0, 0, 0.4});   // below a positive range
  expectColor(25.0, 10, 20, {0.4, 0, 0});
  expectColor(-30.0, -20, -10, colorOf(-20.0, -20, -10));
  expectColor(0.0, -20, -10, colorOf(-10.0, -20, -10));
}

// Positive range 10..20: mid 15, quarter points 12.5 and 17.5, darkening
// below 10.5 and above 19.5.
TEST(UtilitiesColor, PositiveRangeBands) {
  expectColor(10.0, 10, 20, {0, 0, 0.4});
  expectColor(20.0, 10, 20, {0.4, 0, 0});
  expectColor(11.0, 10, 20, {0, 1.0 / 7.5, 1});
  expectColor(17.5, 10, 20, {1, 1, 0});
  expectColor(18.0, 10, 20, {1, 0.8, 0});
  expectColor(15.0, 10, 20, {0, 1, 1});  // blue 15 / 12.5 limited to 1
}

TEST(UtilitiesColor, ComponentsStayInTheUnitInterval) {
  const std::vector<std::pair<double, double>> ranges = {
      {1, 2},   {10, 20},  {0.5, 100}, {1e-3, 1e3}, {-20, -10},
      {-100, -0.5}, {-2, -1}, {0, 10}, {-10, 0},    {-3, 1000}};
  for (const auto& [lo, hi] : ranges) {
    const double span = hi - lo;
    std::vector<double> values;
    for (int i = -10; i <= 30; ++i) values.push_back(lo + span * i / 20.0);
    // The band points of the one-sign branches.
    const double mid = (lo + hi) / 2;
    for (double p : {(mid + lo) / 2, mid, (mid + hi) / 2, 0.0}) values.push_back(p);
    for (double v : values) {
      const Rgb c = colorOf(v, lo, hi);
      for (double part : {c.r, c.g, c.b}) {
        EXPECT_GE(part, 0.0) << "v=" << v << " range " << lo << ".." << hi;
        EXPECT_LE(part, 1.0) << "v=" << v << " range " << lo << ".." << hi;
      }
    }
  }
}

TEST(UtilitiesColor, ReversedOneSignRangeThrows) {
  for (const auto& [lo, hi] : {std::pair{20.0, 10.0}, std::pair{-10.0, -20.0}}) {
    try {
      colorOf(15.0, lo, hi);
      ADD_FAILURE() << "no exception for " << lo << ".." << hi;
    } catch (const std::logic_error& e) {
      EXPECT_EQ(std::string(e.what()), " bad computation for color plot");
    }
  }
}
