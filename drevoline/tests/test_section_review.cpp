// Section properties checked against closed forms derived by hand: channels,
// Z-sections, sectors of several sweeps, shapes far from the origin, turned,
// mirrored and scaled copies, and bad input. "Ixx" here is the integral of
// x² dA (value 60) and "Iyy" that of y² dA (62); 61 is the product.
#include <numbers>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "test_relative.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Hooks.h"
#include "platform/ole/COleDispatchException.h"

namespace {


struct Review : ::testing::Test {
  CXSectionAnalysis model;
  CSubSection* root = model.rootSubSection();
  int count = 0;

  CShapeAnalysis* poly(std::vector<Point<double>> pts, double s = 1.0, bool hole = false) {
    for (auto& p : pts) {
      p.x *= s;
      p.y *= s;
    }
    auto* sh = new CShapeAnalysis(&model);
    sh->polygon(root, CString(("r" + std::to_string(++count)).c_str()), pts.data(), static_cast<int>(pts.size()),
                hole ? 1 : 0, nullptr);
    return sh;
  }
  CShapeAnalysis* sector(ShapeType kind, double x, double y, double a3, double a4, double a6, short o = 0,
                         short d = 1, double rot = 0, bool hole = false) {
    auto* sh = new CShapeAnalysis(&model);
    CString n(("s" + std::to_string(++count)).c_str());
    sh->sector(root, &model, n, x, y, a3, a4, 0, a6, 0, kind, o, d, rot, hole);
    return sh;
  }
  double v(int id) const { return root->getValue(id); }
  void compute() { ASSERT_TRUE(root->forceRecalcProperties()); }
};

// Channel 5 x 10 with flanges and web 1 thick, web on the left.
std::vector<Point<double>> channel() {
  return {{0, 0, 0}, {5, 0, 0}, {5, 1, 0}, {1, 1, 0}, {1, 9, 0}, {5, 9, 0}, {5, 10, 0}, {0, 10, 0}};
}
// Z-section: web x 0..1, y 0..10; bottom flange x -4..0, top flange x 1..5.
std::vector<Point<double>> zed() {
  return {{-4, 0, 0}, {1, 0, 0}, {1, 9, 0}, {5, 9, 0}, {5, 10, 0}, {0, 10, 0}, {0, 1, 0}, {-4, 1, 0}};
}

}  // namespace

// Channel: A 18, centroid (29/18, 5); about the centroid ∫y² = 5·10³/12 −
// 4·8³/12 = 246, ∫x² = 86 − 18·(29/18)² ; plastic axes x = 0.9 (the web
// column holds half the area) and y = 5. Scaled by s every value scales
// by the matching power of s.
TEST_F(Review, ChannelAtThreeScales) {
  for (double s : {1.0, 1e-3, 1e3}) {
    SCOPED_TRACE(s);
    CXSectionAnalysis m;
    CSubSection* r = m.rootSubSection();
    std::vector<Point<double>> pts = channel();
    for (auto& p : pts) {
      p.x *= s;
      p.y *= s;
    }
    auto* sh = new CShapeAnalysis(&m);
    sh->polygon(r, CString("c"), pts.data(), static_cast<int>(pts.size()), 0, nullptr);
    ASSERT_TRUE(r->forceRecalcProperties());
    const double s2 = s * s, s3 = s2 * s, s4 = s2 * s2;
    const double xc = 29.0 / 18.0;
    expectRel(r->getValue(17) / s2, 18.0, 1e-12);
    expectRel(r->getValue(132) / s, xc, 1e-12);
    expectRel(r->getValue(133) / s, 5.0, 1e-12);
    expectRel(r->getValue(62) / s4, 246.0, 1e-12);
    expectRel(r->getValue(60) / s4, 86.0 - 841.0 / 18.0, 1e-12);
    EXPECT_NEAR(r->getValue(61) / s4, 0.0, 1e-10);
    EXPECT_NEAR(r->getValue(39), 0.0, 1e-9);
    expectRel(r->elasticModulusX / s3, (86.0 - 841.0 / 18.0) / (5.0 - xc), 1e-12);
    expectRel(r->elasticModulusY / s3, 246.0 / 5.0, 1e-12);
    expectRel(r->plasticCentroid.x / s, 0.9, 1e-12);
    expectRel(r->plasticCentroid.y / s, 5.0, 1e-12);
    expectRel(r->plasticZx / s3, 20.9, 1e-12);
    expectRel(r->plasticZy / s3, 61.0, 1e-12);
  }
}

// Z-section: point-symmetric about (0.5, 5). ∫x² = 10/12 + 2·91/3 = 61.5,
// ∫y² = 1000/12 + 2·4·(1/12 + 4.5²) = 246, ∫xy = 2·4·2.5·4.5 = 90.
TEST_F(Review, ZSectionPrincipalAndPlastic) {
  poly(zed());
  compute();
  const double xx = 61.5, yy = 246.0, xy = 90.0;
  expectRel(v(17), 18.0, 1e-12);
  expectRel(v(132), 0.5, 1e-12);
  expectRel(v(133), 5.0, 1e-12);
  expectRel(v(60), xx, 1e-12);
  expectRel(v(62), yy, 1e-12);
  expectRel(v(61), xy, 1e-12);
  const double mean = (xx + yy) / 2, rad = std::hypot((xx - yy) / 2, xy);
  expectRel(std::max(v(145), v(146)), mean + rad, 1e-12);
  expectRel(std::min(v(145), v(146)), mean - rad, 1e-12);
  // The angle folded into [-45, 45]: atan(2xy / (xx - yy)) / 2 + 90°·k.
  double deg = std::atan(2 * xy / (xx - yy)) / 2 * 180 / std::numbers::pi;
  expectRel(v(39), deg, 1e-10);
  expectRel(root->plasticZy, 61.0, 1e-12);
  expectRel(root->plasticZx, 22.5, 1e-12);
  expectRel(root->plasticCentroid.x, 0.5, 1e-12);
}

// A circular sector of radius r and sweep a (rad): A = r²a/2, centroid at
// 4 r sin(a/2) / (3a) from the centre; about its bisector ∫ = r⁴(a − sin a)/8,
// across it r⁴(a + sin a)/8 − A d² through the centroid.
TEST_F(Review, SectorsOfSeveralSweeps) {
  for (double sweep : {30.0, 90.0, 180.0, 270.0, 350.0}) {
    SCOPED_TRACE(sweep);
    CXSectionAnalysis m;
    CSubSection* r = m.rootSubSection();
    auto* sh = new CShapeAnalysis(&m);
    CString n("sec");
    const double R = 3.0, cx = 2.0, cy = -1.0;
    sh->sector(r, &m, n, cx, cy, R, 0, 0, sweep, 0, qhtShapeSector, 0, 1, 25.0, false);
    ASSERT_TRUE(r->forceRecalcProperties());
    const double a = sweep * std::numbers::pi / 180;
    const double A = R * R * a / 2;
    const double d = 4 * R * std::sin(a / 2) / (3 * a);
    const double along = std::pow(R, 4) * (a - std::sin(a)) / 8;
    const double across = std::pow(R, 4) * (a + std::sin(a)) / 8 - A * d * d;
    expectRel(r->getValue(17), A, 1e-7);
    expectRel(std::hypot(r->getValue(132) - cx, r->getValue(133) - cy), d, 1e-7);
    expectRel(std::max(r->getValue(145), r->getValue(146)), std::max(along, across), 1e-7);
    expectRel(std::min(r->getValue(145), r->getValue(146)), std::min(along, across), 1e-7);
    expectRel(r->getValue(169), along + across, 1e-7);
  }
}

// A half-disk (sector of 180°): centroid 4r/(3π) from the straight edge.
TEST_F(Review, HalfDiskAndTubeFarFromTheOrigin) {
  const double R = 2.0, X = 1e4, Y = -2e4;
  sector(qhtShapeSector, X, Y, R, 0, 180.0, 0, 1, -90.0);  // straight edge along y
  compute();
  expectRel(v(17), std::numbers::pi * R * R / 2, 1e-6);
  const double d = 4 * R / (3 * std::numbers::pi);
  EXPECT_NEAR(v(132), X + d, 1e-6);
  EXPECT_NEAR(v(133), Y, 1e-6);
  expectRel(v(62), std::numbers::pi * std::pow(R, 4) / 8, 1e-6);
  expectRel(v(60), std::numbers::pi * std::pow(R, 4) / 8 - std::numbers::pi * R * R / 2 * d * d, 1e-6);
}

TEST_F(Review, TubeFarFromTheOrigin) {
  const double X = 1e4, Y = 1e4;
  sector(qhtShapeDisk, X, Y, 2, 0, 0);
  sector(qhtShapeDisk, X, Y, 1.5, 0, 0, 0, 1, 0, true);
  compute();
  const double I = std::numbers::pi / 4 * (16 - std::pow(1.5, 4));
  expectRel(v(17), std::numbers::pi * (4 - 2.25), 1e-6);
  EXPECT_NEAR(v(132), X, 1e-6);
  EXPECT_NEAR(v(133), Y, 1e-6);
  expectRel(v(60), I, 1e-6);
  expectRel(v(62), I, 1e-6);
  expectRel(root->elasticModulusX, I / 2, 1e-6);
  // A thin-walled tube: Z = (4/3)(R³ − r³).
  expectRel(root->plasticZx, 4.0 / 3.0 * (8 - 1.5 * 1.5 * 1.5), 1e-6);
}

// Moving the Z-section far away or turning it keeps its centroidal and
// principal values; turning it turns the principal angle with it.
TEST_F(Review, TranslatedAndRotatedZSectionKeepsPrincipalValues) {
  const double xx = 61.5, yy = 246.0, xy = 90.0;
  const double mean = (xx + yy) / 2, rad = std::hypot((xx - yy) / 2, xy);
  struct Case {
    double dx, dy, turn;
  };
  for (Case c : {Case{1e4, -1e4, 0}, Case{0, 0, 30}, Case{-3e3, 7e3, 117}, Case{0, 0, 90}}) {
    SCOPED_TRACE(c.turn);
    CXSectionAnalysis m;
    CSubSection* r = m.rootSubSection();
    std::vector<Point<double>> pts = zed();
    auto* sh = new CShapeAnalysis(&m);
    sh->polygon(r, CString("z"), pts.data(), static_cast<int>(pts.size()), 0, nullptr);
    Point<double> d(c.dx, c.dy, 0), o(0, 0, 0);
    if (c.turn != 0)
      sh->rotate(&o, c.turn);
    sh->translate(&d);
    ASSERT_TRUE(r->forceRecalcProperties());
    expectRel(r->getValue(17), 18.0, 1e-12);
    expectRel(std::max(r->getValue(145), r->getValue(146)), mean + rad, 1e-9);
    expectRel(std::min(r->getValue(145), r->getValue(146)), mean - rad, 1e-9);
    expectRel(r->getValue(60) + r->getValue(62), xx + yy, 1e-9);
    // Centroid (0.5, 5) turned about the origin, then moved.
    const double t = c.turn * std::numbers::pi / 180;
    expectRel(r->getValue(132), 0.5 * std::cos(t) - 5 * std::sin(t) + c.dx, 1e-12);
    expectRel(r->getValue(133), 0.5 * std::sin(t) + 5 * std::cos(t) + c.dy, 1e-12);
  }
}

// Mirrored and rotated duplicates: a channel and its mirror in the line
// x = 0 (web to web) form a 10 x 10 I-section of web 2 whose ∫x² about the
// centroid is twice the channel's ∫x² about its web's back (86).
TEST_F(Review, MirroredAndRotatedDuplicates) {
  CShapeAnalysis* c = poly(channel());
  Point<double> on(0, 0, 0), normal(1, 0, 0);
  CString mname("cm");
  model.MirrorDuplicate(c, on, normal, mname);
  compute();
  expectRel(v(17), 36.0, 1e-12);
  EXPECT_NEAR(v(132), 0.0, 1e-12);
  expectRel(v(60), 2 * 86.0, 1e-12);
  expectRel(v(62), 2 * 246.0, 1e-12);
  expectRel(root->plasticZx, 2 * (2 * 12.5 + 8 * 0.5), 1e-12);
  // A half-turn copy about (0, 5) lands on the mirror: the shapes count
  // twice (duplicates are not merged), so the section is three channels.
  model.rotateDuplicateShapeOrSubSection(c, CString("cr"), 0, 5, 180);
  compute();
  expectRel(v(17), 54.0, 1e-12);
  expectRel(v(132), -29.0 / 54.0, 1e-12);
}

// A copy that a sub-section makes and the model lists before it is placed
// keeps its source's owner; deleting the model must not reach through it.
TEST_F(Review, UnplacedDuplicateOutlivesItsSourceOwner) {
  CShapeAnalysis* c = poly(channel());
  CShapeAnalysis* m = root->MirrorDuplicate(c, CString("cm"), 0, 0, 1, 0);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(model.findShape(CString("cm")), m);
  // The model's destructor runs at the end of the test (AddressSanitizer
  // reports a use after free when the copy still points at root).
}

// Bad dimensions fail with the builder's message, never a silent NaN shape.
TEST_F(Review, NonFiniteDimensionsAreRefused) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    ShapeType kind;
    double a3, a4, a6;
  };
  for (Case c : {Case{qhtShapeSector, nan, 0, 90}, Case{qhtShapeSector, 1, 0, nan}, Case{qhtShapeDisk, nan, 0, 0},
                 Case{qhtShapeDisk, inf, 0, 0}, Case{qhtShapeRectangle, nan, 5, 90},
                 Case{qhtShapeRectangle, 10, nan, 90}, Case{qhtShapeAnnulus, nan, 1, 90},
                 Case{qhtShapeAnnulus, 1, 1, nan}, Case{qhtShapeSectorChord, 2, nan, 0},
                 Case{qhtShapeFillet, 1, 0, nan}, Case{qhtShapeTriangle, 6, 0, 0}}) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    const size_t before = model.shapes.GetCount();
    bool threw = false;
    auto* sh = new CShapeAnalysis(&model);
    try {
      CString n("bad");
      double a5 = c.kind == qhtShapeTriangle ? nan : 0;
      sh->sector(root, &model, n, 0, 0, c.a3, c.a4, a5, c.a6, 90, c.kind, 0, 1, 0, false);
    } catch (COleDispatchException& e) {
      threw = true;
      EXPECT_EQ(e.m_wCode, 1);
    }
    EXPECT_TRUE(threw);
    EXPECT_EQ(model.shapes.GetCount(), before);
    if (threw)
      delete sh;
  }
  // A non-finite position is refused too.
  auto* sh = new CShapeAnalysis(&model);
  CString n("far");
  EXPECT_THROW(sh->sector(root, &model, n, nan, 0, 1, 0, 0, 0, 0, qhtShapeDisk, 0, 1, 0, false),
               COleDispatchException);
  delete sh;
}

// Unequal angle 10 x 6 x 1, the long leg along x: A 15; the equal-area
// vertical axis is x = 2.5 (the 6-high column holds 6, the leg 1.5 more),
// Z = 6·2 + (1.5² + 7.5²)/2 = 41.25; the horizontal one y = 0.75 (the
// 10-wide leg alone holds half), Z = 10·(0.75² + 0.25²)/2 + (5.25² − 0.25²)/2.
TEST_F(Review, UnequalAnglePlasticModuliAboutEqualAreaAxes) {
  poly({{0, 0, 0}, {10, 0, 0}, {10, 1, 0}, {1, 1, 0}, {1, 6, 0}, {0, 6, 0}});
  compute();
  expectRel(v(17), 15.0, 1e-12);
  expectRel(root->plasticCentroid.x, 2.5, 1e-12);
  expectRel(root->plasticCentroid.y, 0.75, 1e-12);
  expectRel(root->plasticZx, 41.25, 1e-12);
  expectRel(root->plasticZy, 16.875, 1e-12);
}

// Annular sector, inner radius 1, width 1, sweep 90: A = (π/4)·3; about the
// centre J = (π/8)(2⁴ − 1); the centroid lies (2/3)(7/3)·sin(π/4)/(π/4)
// from it, so the centroidal polar moment is J − A d², wherever it is put.
TEST_F(Review, AnnulusPolarMomentAboutItsCentroid) {
  sector(qhtShapeAnnulus, 100, -50, 1, 1, 90, 0, 1, 33);
  compute();
  const double A = std::numbers::pi / 4 * 3, J = std::numbers::pi / 8 * 15;
  const double d = 2.0 / 3.0 * 7.0 / 3.0 * std::sin(std::numbers::pi / 4) / (std::numbers::pi / 4);
  expectRel(v(17), A, 1e-7);
  expectRel(v(169), J - A * d * d, 1e-7);
}

// Rectangle [0,2]×[−1,1] united with the unit disk at the origin: the
// overlap is the right half-disk, so A = 4 + π/2 and the first moment is
// 4·1 − (π/2)·4/(3π).
TEST_F(Review, UnionOfRectangleAndDiskIsSumMinusOverlap) {
  poly({{0, -1, 0}, {2, -1, 0}, {2, 1, 0}, {0, 1, 0}});
  sector(qhtShapeDisk, 0, 0, 1, 0, 0);
  root->Union(-1);
  ASSERT_TRUE(root->isUnionOn());
  compute();
  const double A = 4 + std::numbers::pi / 2;
  expectRel(v(17), A, 1e-7);
  expectRel(v(132), (4 - 2.0 / 3.0) / A, 1e-7);
  EXPECT_NEAR(v(133), 0.0, 1e-7);
}

// Polygons with non-finite points or no area are reported as failures,
// never as properties.
TEST_F(Review, BadPolygonsFailClearly) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<std::vector<Point<double>>> cases = {
      {{0, 0, 0}, {1, 0, 0}, {nan, 1, 0}},
      {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}},
      {{0, 0, 0}, {1, 1, 0}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    CXSectionAnalysis m;
    CSubSection* r = m.rootSubSection();
    bool refused = false;
    auto* sh = new CShapeAnalysis(&m);
    try {
      std::vector<Point<double>> pts = cases[i];
      sh->polygon(r, CString("p"), pts.data(), static_cast<int>(pts.size()), 0, nullptr);
      refused = !r->forceRecalcProperties();
    } catch (COleDispatchException& e) {
      refused = true;
      EXPECT_EQ(e.m_wCode, 1);
      EXPECT_EQ(e.m_strDescription, CString("Invalid polygon point"));
      delete sh;
    }
    EXPECT_TRUE(refused);
    EXPECT_FALSE(r->scnPrpUTD());
  }
}

// Tubes of radius 2e-3 and 2e3 (wall ratio 1/2), each placed 5 radii from
// the origin: A = π(R² − r²), ∫y² = (π/4)(R⁴ − r⁴), Z = (4/3)(R³ − r³).
TEST_F(Review, TinyAndLargeTubesOffTheOrigin) {
  for (double R : {2e-3, 2e3}) {
    SCOPED_TRACE(R);
    CXSectionAnalysis m;
    CSubSection* r = m.rootSubSection();
    const double ri = R / 2, X = 5 * R, Y = -5 * R;
    auto* outer = new CShapeAnalysis(&m);
    auto* inner = new CShapeAnalysis(&m);
    CString a("outer"), b("inner");
    outer->sector(r, &m, a, X, Y, R, 0, 0, 0, 0, qhtShapeDisk, 0, 1, 0, false);
    inner->sector(r, &m, b, X, Y, ri, 0, 0, 0, 0, qhtShapeDisk, 0, 1, 0, true);
    ASSERT_TRUE(r->forceRecalcProperties());
    const double I = std::numbers::pi / 4 * (std::pow(R, 4) - std::pow(ri, 4));
    expectRel(r->getValue(17) / (R * R), std::numbers::pi * (1 - 0.25), 1e-7);
    EXPECT_NEAR(r->getValue(132) / R, 5.0, 1e-7);
    EXPECT_NEAR(r->getValue(133) / R, -5.0, 1e-7);
    expectRel(r->getValue(62) / std::pow(R, 4), I / std::pow(R, 4), 1e-6);
    expectRel(r->plasticZx / std::pow(R, 3), 4.0 / 3.0 * (1 - 0.125), 1e-6);
  }
}
