// Shape property integrals against closed forms and exact polygon formulas.
#include <numbers>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CMetal.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "test_relative.h"

namespace {


struct ShapeProps : ::testing::Test {
  CXSectionAnalysis model;
  CSubSection* root = model.rootSubSection();
  int count = 0;

  CShapeAnalysis* build(ShapeType kind, double a3, double a4, double a5, double a6, double a7, bool hole = false,
                        double x0 = 0, double y0 = 0) {
    auto* s = new CShapeAnalysis(&model);
    CString n(("p" + std::to_string(++count)).c_str());
    s->sector(root, &model, n, x0, y0, a3, a4, a5, a6, a7, kind, 0, 1, 0.0, hole);
    return s;
  }
  // Computes the root's properties (which also fills the shape's own values).
  void compute() { ASSERT_TRUE(root->forceRecalcProperties()); }
};

}  // namespace

TEST_F(ShapeProps, RectangleIntegrals) {
  CShapeAnalysis* r = build(qhtShapeRectangle, 10, 5, 0, 90, 90);
  compute();
  // Here Ixx is the integral of x² dA and Iyy the integral of y² dA.
  expectRel(r->getValue(17), 50.0, 1e-12);
  expectRel(r->getValue(120), 250.0, 1e-12);
  expectRel(r->getValue(121), 125.0, 1e-12);
  expectRel(r->centroidA.x, 5.0, 1e-12);
  expectRel(r->centroidA.y, 2.5, 1e-12);
  expectRel(r->IxxAxis, 5000.0 / 3.0, 1e-12);
  expectRel(r->IyyAxis, 1250.0 / 3.0, 1e-12);
  expectRel(r->IxyAxis, 625.0, 1e-12);
  expectRel(r->getValue(60), 1250.0 / 3.0, 1e-12);
  expectRel(r->getValue(62), 312.5 / 3.0, 1e-12);
  EXPECT_NEAR(r->getValue(61), 0.0, 1e-9);
}

TEST_F(ShapeProps, HolesCountNegativeWhateverTheirDirection) {
  CShapeAnalysis* hole = build(qhtShapeRectangle, 10, 5, 0, 90, 90, true);
  hole->areaProperties();
  hole->axesInertias();
  EXPECT_NEAR(hole->m_area, -50.0, 1e-9);  // built as a hole: reversed
  expectRel(hole->IxxA(), -5000.0 / 3.0, 1e-12);
  // The same outline counter-clockwise with the hole sign.
  hole->reverse();
  hole->areaProperties();
  hole->axesInertias();
  EXPECT_NEAR(hole->m_area, 50.0, 1e-9);
  expectRel(hole->IxxA(), -5000.0 / 3.0, 1e-12);
  expectRel(hole->SxAA(), -250.0, 1e-12);
  expectRel(hole->getValue(79), -1250.0 / 3.0, 1e-12);
}

TEST_F(ShapeProps, CurvedShapesMatchClosedForms) {
  CShapeAnalysis* disk = build(qhtShapeDisk, 1, 0, 0, 0, 0, false, 3, -2);
  compute();
  expectRel(disk->getValue(17), std::numbers::pi, 1e-7);
  expectRel(disk->getValue(60), std::numbers::pi / 4, 1e-7);
  expectRel(disk->getValue(62), std::numbers::pi / 4, 1e-7);
  expectRel(disk->centroidA.x, 3.0, 1e-7);

  struct Case {
    ShapeType kind;
    double a3, a4, a5, a6, a7, area, cx, cy;
  };
  const double c = 40.0 / (3.0 * std::numbers::pi);  // quarter-disk centroid 4r / 3 pi, r = 10
  const Case cases[] = {
      {qhtShapeSector, 10, 0, 0, 90, 0, 25 * std::numbers::pi, 0, 0},
      {qhtShapeFillet, 10, 0, 0, 90, 0, 100 - 25 * std::numbers::pi, NAN, NAN},
      {qhtShapeTriangle, 6, 0, 3, 0, 0, 9, 2, 1},
      {qhtShapeAnnulus, 1, 1, 0, 180, 0, 1.5 * std::numbers::pi, NAN, NAN},
  };
  for (const Case& k : cases) {
    CShapeAnalysis* s = build(k.kind, k.a3, k.a4, k.a5, k.a6, k.a7);
    s->areaProperties();
    SCOPED_TRACE(CShapeAnalysis::getSectorTypeName(k.kind).ToUtf8());
    expectRel(s->m_area, k.area, 1e-7);
    if (k.kind == qhtShapeSector) {
      // Its first arc point placed along +x: the quarter disk of the first quadrant.
      expectRel(s->centroidA.x, c, 1e-7);
      expectRel(s->centroidA.y, c, 1e-7);
    } else if (!std::isnan(k.cx)) {
      expectRel(s->centroidA.x, k.cx, 1e-12);
      expectRel(s->centroidA.y, k.cy, 1e-12);
    }
  }
}

TEST_F(ShapeProps, SmallDiskKeepsItsAccuracy) {
  CShapeAnalysis* disk = build(qhtShapeDisk, 0.01, 0, 0, 0, 0);
  compute();
  const double I = std::numbers::pi * 1e-8 / 4.0;
  expectRel(disk->getValue(60) / I, 1.0, 1e-7);
  expectRel(disk->getValue(62) / I, 1.0, 1e-7);
  expectRel(disk->getValue(17) / (std::numbers::pi * 1e-4), 1.0, 1e-7);
}

TEST_F(ShapeProps, MaterialFactors) {
  CShapeAnalysis* plain = build(qhtShapeDisk, 1, 0, 0, 0, 0);
  plain->areaProperties();
  plain->centroidInertias(root);
  const double polar = plain->IrAC();
  expectRel(polar, std::numbers::pi / 2, 1e-7);  // the polar integrand is x² + y²
  auto metal = std::make_shared<CMetal>();
  metal->extra1 = 2.0;
  metal->extra2 = 0.0;
  plain->material(metal);
  plain->centroidInertias(root);
  expectRel(plain->IrAC(), 2.0 * polar, 1e-12);
  expectRel(plain->getValue(77), 2.0 * polar, 1e-12);  // not weighted twice
  expectRel(plain->getValue(74), 2.0 * plain->getValue(60), 1e-12);
  try {
    plain->getValue(170);
    ADD_FAILURE();
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "nPlastic is not computed.");
  }
  EXPECT_EQ(plain->getValue(17), plain->m_area);
  metal->extra2 = 1.0;
  EXPECT_EQ(plain->getValue(999), -1.0);
}

TEST_F(ShapeProps, PlasticSplitIsExact) {
  CShapeAnalysis* r = build(qhtShapeRectangle, 10, 5, 0, 90, 90);
  Point<double> R(3, 1, 0);
  double a1, q1, a2, q2;
  r->PlasticModulusXp(R, &a1, &q1, &a2, &q2);
  expectRel(a1, 35.0, 1e-12);  // x from 3 to 10
  expectRel(q1, 5 * 7 * 3.5, 1e-12);
  expectRel(a2, 15.0, 1e-12);
  expectRel(q2, -5 * 3 * 1.5, 1e-12);
  r->PlasticModulusYp(R, &a1, &q1, &a2, &q2);
  expectRel(a1, 40.0, 1e-12);
  expectRel(q1, 10 * 4 * 2, 1e-12);
  Point<double> far(20, 0, 0);
  double above, below;
  r->areasXp(far, &above, &below);
  EXPECT_EQ(above, 0.0);
  expectRel(below, 50.0, 1e-12);
  CShapeAnalysis empty;
  empty.PlasticModulusXp(R, &a1, &q1, &a2, &q2);
  EXPECT_EQ(a1 + q1 + a2 + q2, 0.0);
}

TEST_F(ShapeProps, ComputePolygonSamples) {
  CShapeAnalysis* r = build(qhtShapeRectangle, 10, 5, 0, 90, 90);
  int n = 0;
  std::unique_ptr<Point<double>[]> pts(r->computePolygon(&n));
  EXPECT_EQ(n, 4);
  CShapeAnalysis* d = build(qhtShapeDisk, 1, 0, 0, 0, 0);
  std::unique_ptr<Point<double>[]> circle(d->computePolygon(&n));
  EXPECT_EQ(n, 82);
  for (int i = 0; i < n; ++i)
    EXPECT_NEAR(std::hypot(circle[i].x, circle[i].y), 1.0, 1e-9);
}

TEST(ShapePropsRandom, PolygonsMatchGreensFormulas) {
  CXSectionAnalysis model;
  std::mt19937 rng(20261210);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int trial = 0; trial < 500; ++trial) {
    // A star-shaped polygon (simple) about a random centre.
    const int n = 3 + static_cast<int>(unit(rng) * 12);
    const double cx = 20 * unit(rng) - 10, cy = 20 * unit(rng) - 10;
    std::vector<double> angles(n);
    for (double& a : angles)
      a = 2 * std::numbers::pi * unit(rng);
    std::sort(angles.begin(), angles.end());
    std::vector<Point<double>> p(n);
    for (int i = 0; i < n; ++i) {
      const double r = 0.5 + 5 * unit(rng);
      p[i] = Point<double>(cx + r * std::cos(angles[i]), cy + r * std::sin(angles[i]), 0);
    }
    double A = 0, Sx = 0, Sy = 0, Ixx = 0, Iyy = 0, Ixy = 0;
    for (int i = 0; i < n; ++i) {
      const Point<double>& a = p[i];
      const Point<double>& b = p[(i + 1) % n];
      const double c = a.x * b.y - b.x * a.y;
      A += c / 2;
      Sx += (a.x + b.x) * c / 6;
      Sy += (a.y + b.y) * c / 6;
      Ixx += (a.x * a.x + a.x * b.x + b.x * b.x) * c / 12;
      Iyy += (a.y * a.y + a.y * b.y + b.y * b.y) * c / 12;
      Ixy += (a.x * b.y + 2 * a.x * a.y + 2 * b.x * b.y + b.x * a.y) * c / 24;
    }
    CShapeAnalysis s;
    s.polygon(L"random", p.data(), n);
    const bool hole = trial % 2 == 1;
    if (hole)
      s.boundary->sign(-1);
    s.areaProperties();
    s.axesInertias();
    // Solids count positive and holes negative whichever way the outline runs.
    const double sign = (hole ? -1.0 : 1.0) * (A < 0 ? -1.0 : 1.0);
    const double scale = std::fabs(A) * (1 + std::hypot(cx, cy));
    EXPECT_NEAR(s.m_area, A, 1e-12 * std::fabs(A));
    EXPECT_NEAR(s.SxAA(), sign * Sx, 1e-12 * scale * 10);
    EXPECT_NEAR(s.SyAA(), sign * Sy, 1e-12 * scale * 10);
    const double scale4 = scale * scale * 10;
    EXPECT_NEAR(s.IxxA(), sign * Ixx, 1e-12 * scale4);
    EXPECT_NEAR(s.IyyA(), sign * Iyy, 1e-12 * scale4);
    EXPECT_NEAR(s.IxyA(), sign * Ixy, 1e-12 * scale4);
  }
}
