// Elastic section moduli of a sub-section against closed forms. The model's
// value 60 is the integral of x² dA and value 62 that of y² dA (both about
// the area centroid), so modulus "X" is value 60 over the largest |x| of the
// section measured from the centroid and modulus "Y" is value 62 over the
// largest |y|. The principal pair divides the geometric principal moments
// (values 145 and 146) by the fibre distances in the principal axes.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/model/CMetal.h"
#include "drevoline/section/CXSectionAnalysis.h"

namespace {

struct Moduli {
  double x, y, xp, yp;
};

struct SectionModuli : ::testing::Test {
  CXSectionAnalysis model;
  CSubSection* root = model.rootSubSection();
  int count = 0;

  CShapeAnalysis* box(double x0, double y0, double x1, double y1) {
    return poly({{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}});
  }
  CShapeAnalysis* poly(std::vector<Point<double>> pts) {
    auto* s = new CShapeAnalysis(&model);
    s->polygon(root, CString(("b" + std::to_string(++count)).c_str()), pts.data(), static_cast<int>(pts.size()), 0,
               nullptr);
    return s;
  }
  // A T: a 10 x 2 flange on a 2 x 8 web whose foot is at (x, y); the two
  // fibre distances along y differ (61/9 below the centroid, 29/9 above).
  void tee(double x, double y) {
    box(x - 1, y, x + 1, y + 8);
    box(x - 5, y + 8, x + 5, y + 10);
  }
  // The w x h rectangle centred at c, turned counter-clockwise by deg.
  void turnedRectangle(double w, double h, Point<double> c, double deg) {
    const double a = deg * 3.141592653589793 / 180;
    std::vector<Point<double>> pts;
    for (auto [u, v] : {std::pair{-w / 2, -h / 2}, {w / 2, -h / 2}, {w / 2, h / 2}, {-w / 2, h / 2}})
      pts.push_back({c.x + u * std::cos(a) - v * std::sin(a), c.y + u * std::sin(a) + v * std::cos(a), 0});
    poly(pts);
  }
  std::shared_ptr<CMetal> metal(const wchar_t* name, double E) {
    auto m = std::make_shared<CMetal>();
    m->name = name;
    m->E(E);
    m->nu(0.3);
    m->Gshear(E / 2.6);
    model.materials.AddTail(m);
    return m;
  }
  Moduli moduli() const {
    return {root->elasticModulusX, root->elasticModulusY, root->elasticModulusXp, root->elasticModulusYp};
  }
  std::vector<Point<double>> outline() const {
    std::vector<Point<double>> points;
    std::unique_ptr<ShapeList> shapes = root->getShapesRecursive();
    POSITION pos = shapes->GetHeadPosition();
    while (pos) {
      const CShapeAnalysis* s = shapes->GetNext(pos);
      int n = 0;
      std::unique_ptr<Point<double>[]> p(s->computePolygon(&n));
      points.insert(points.end(), p.get(), p.get() + n);
    }
    return points;
  }
};

void expectModuli(const Moduli& actual, const Moduli& expected, const char* when) {
  const double rel = 1e-12;
  EXPECT_NEAR(actual.x, expected.x, rel * expected.x) << when;
  EXPECT_NEAR(actual.y, expected.y, rel * expected.y) << when;
  EXPECT_NEAR(actual.xp, expected.xp, rel * expected.xp) << when;
  EXPECT_NEAR(actual.yp, expected.yp, rel * expected.yp) << when;
}

// Every way of computing again, each on the unchanged model: the same
// moduli each time, and the outline exactly where it was.
void expectStableUnderRecomputation(SectionModuli& t, const Moduli& expected) {
  const std::vector<Point<double>> before = t.outline();
  ASSERT_TRUE(t.root->forceRecalcProperties());
  expectModuli(t.moduli(), expected, "first computation");
  ASSERT_TRUE(t.root->forceRecalcProperties());
  expectModuli(t.moduli(), expected, "second computation");
  t.root->scnPrpUTD(false);
  t.root->compute(false, 5, true);
  expectModuli(t.moduli(), expected, "third computation");
  ASSERT_TRUE(t.root->computeProperties());
  t.root->updateScnPrp(5, true);
  expectModuli(t.moduli(), expected, "computations of an up-to-date model");
  t.root->thickSectionProperties();
  expectModuli(t.moduli(), expected, "summation run directly");

  // The fibre searches measure the section without moving it.
  Point<double> lo, hi;
  t.root->extremeFibersFromCG(&lo, &hi, false);
  t.root->extremeFibersFromCG(&lo, &hi, true);
  t.root->principalExtremeFibersFromCG(&lo, &hi);
  t.root->elasticSectionModulii();
  expectModuli(t.moduli(), expected, "after the fibre searches");
  EXPECT_EQ(t.outline(), before);
  ASSERT_TRUE(t.root->forceRecalcProperties());
  expectModuli(t.moduli(), expected, "recomputed after the fibre searches");
}

}  // namespace

// 4 x 2 on [0,4] x [0,2]: integral of x² = 2 * 4³ / 12 = 32/3 over c_x = 2;
// integral of y² = 4 * 2³ / 12 = 8/3 over c_y = 1. Principal axes are the
// centroidal ones (no product), so the principal pair repeats them.
TEST_F(SectionModuli, RectangleFromClosedFormsAndStableWhenComputedAgain) {
  box(0, 0, 4, 2);
  expectStableUnderRecomputation(*this, {16.0 / 3, 8.0 / 3, 16.0 / 3, 8.0 / 3});
  EXPECT_NEAR(root->getValue(60), 32.0 / 3, 1e-12);
  EXPECT_NEAR(root->getValue(62), 8.0 / 3, 1e-12);
  EXPECT_EQ(root->getValue(132), 2.0);
  EXPECT_EQ(root->getValue(133), 1.0);
}

// The same rectangle stood on end (2 x 4, away from the origin): the pair
// swaps, which pins which modulus divides which integral.
TEST_F(SectionModuli, RectangleOnEndSwapsThePair) {
  box(5, -3, 7, 1);
  expectStableUnderRecomputation(*this, {8.0 / 3, 16.0 / 3, 8.0 / 3, 16.0 / 3});
}

// T (flange 10 x 2 on web 2 x 8, foot at (3, 1)): area 36, centroid
// (3, 1 + 61/9). Integral of x²: 8 * 2³ / 12 + 2 * 10³ / 12 = 172, c_x = 5.
// Integral of y²: 2 * 8³ / 12 + 16 (25/9)² + 10 * 2³ / 12 + 20 (20/9)² =
// 25452/81, c_y = 61/9 (the web's foot, not the flange top at 29/9). The
// section is symmetric about its vertical axis: principal axes as above.
TEST_F(SectionModuli, UnsymmetricTeeUsesTheFartherFibre) {
  tee(3, 1);
  const double sx = 172.0 / 5;
  const double sy = 25452.0 / 81 / (61.0 / 9);
  expectStableUnderRecomputation(*this, {sx, sy, sx, sy});
  EXPECT_NEAR(root->getValue(133), 1 + 61.0 / 9, 1e-12);
  EXPECT_NEAR(root->getValue(62), 25452.0 / 81, 1e-9);
}

// The 4 x 2 rectangle turned by 30 degrees: its principal axes are its own
// sides, so the principal pair is that of the upright rectangle; about the
// model axes the integrals of x² and y² are 32/3 cos² + 8/3 sin² = 26/3 and
// 14/3, over the corner distances 2 cos 30 + sin 30 and 2 sin 30 + cos 30.
// Turned by 60 degrees the principal angle is -30: the principal pair swaps.
TEST_F(SectionModuli, TurnedRectangleMeasuresItsPrincipalFibresAlongItsSides) {
  const double r3 = std::sqrt(3.0);
  turnedRectangle(4, 2, {1, 2, 0}, 30);
  expectStableUnderRecomputation(*this, {26.0 / 3 / (r3 + 0.5), 14.0 / 3 / (1 + r3 / 2), 16.0 / 3, 8.0 / 3});
  EXPECT_NEAR(root->getValue(39), 30.0, 1e-9);
  model.deleteShape(root->shapeList.GetHead()->name());
  turnedRectangle(4, 2, {1, 2, 0}, 60);
  expectStableUnderRecomputation(*this, {14.0 / 3 / (1 + r3 / 2), 26.0 / 3 / (r3 + 0.5), 8.0 / 3, 16.0 / 3});
  EXPECT_NEAR(root->getValue(39), -30.0, 1e-9);
}

// The moduli are geometric: an unequal L of two materials (which turns the
// modulus-weighted principal axes away from the geometric ones) has the
// moduli of the same L in one material.
TEST_F(SectionModuli, GeometricModuliDoNotDependOnTheMaterials) {
  box(0, 0, 1, 6);
  box(1, 0, 4, 1);
  ASSERT_TRUE(root->forceRecalcProperties());
  const Moduli single = moduli();
  const double angle = root->getValue(39);

  std::unique_ptr<ShapeList> shapes = root->getShapesRecursive();
  shapes->GetHead()->material(metal(L"soft", 1.0));
  shapes->GetTail()->material(metal(L"stiff", 20.0));
  ASSERT_TRUE(root->forceRecalcProperties());
  ASSERT_GT(std::fabs(root->getValue(40) - angle), 1.0);
  EXPECT_NEAR(root->getValue(39), angle, 1e-9);
  expectStableUnderRecomputation(*this, single);
}
