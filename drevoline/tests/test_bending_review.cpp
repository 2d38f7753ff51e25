// Elastic bending and its pictures tried against closed forms and awkward
// input: outlines drawn as one polyline, zero lines through mesh nodes,
// unsymmetric and two-material sections, loads that are not numbers, and a
// mesh record that outlives its material.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <numbers>

#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/CSectionForces.h"
#include "analysis/model/DspRecord.h"
#include "analysis/model/Globals.h"
#include "analysis/model/LightProperties.h"
#include "analysis/tests/test_view_support.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "drevoline/tests/test_mesher_support.h"
#include "test_mesh_support.h"
#include "test_union_support.h"

namespace {

constexpr double kModulus = 1.0e7;

std::shared_ptr<CMetal> alloy(const wchar_t* name, double E) {
  return std::make_shared<CMetal>(CString(name), E, E / 2.6, 0.3, 0.1, -99999.0, 1e9, 1e9, -99999.0, 2e9, 2e9, 0.0,
                                  0.0, 0.0, 0.0);
}

using Stress = std::function<double(double x, double y)>;

struct BendingReview : ::testing::Test {
  CXSectionAnalysis model;
  CSubSection* root = model.rootSubSection();
  EUnitSystem savedUnits = gUnitSystem;
  std::shared_ptr<CMetal> base = alloy(L"base", kModulus);
  int shapes = 0;

  void SetUp() override { gUnitSystem = USCS; }
  void TearDown() override { gUnitSystem = savedUnits; }

  // A rectangle shape of m in the root, meshed with triangles unless bare.
  CShapeAnalysis* plate(double x0, double y0, double x1, double y1, std::shared_ptr<CMetal> m, bool meshed = true) {
    Point<double> pts[4] = {{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}};
    auto* s = new CShapeAnalysis(&model);
    s->polygon(root, CString(("plate" + std::to_string(++shapes)).c_str()), pts, 4, 0, nullptr);
    s->material(std::move(m));
    if (meshed)
      root->meshShape(s, TRNG3, 400, 0, 0.5, 100000, 0);
    return s;
  }
  // Every node's stress (per element where materials meet) is expected(x, y) x n of its metal.
  void expectStresses(const Stress& expected, const std::function<double(const CMetal*)>& n) {
    int seen = 0;
    for (CMesh* m : root->meshes)
      for (const auto& node : m->nodes)
        for (CFEElementAnalysis* e : node->elements) {
          const double x = node->position.x, y = node->position.y;
          EXPECT_NEAR(node->result(e, STRESS_ZZ), n(e->material) * expected(x, y), 1e-9) << x << "," << y;
          ++seen;
        }
    EXPECT_GT(seen, 0);
  }
};

}  // namespace

// ---- closed forms ----

TEST_F(BendingReview, RectangleUnderAxialForceAndBothMoments) {
  plate(0, 0, 10, 5, base);
  // A = 50, Ix = 10 x 5^3 / 12, Iy = 5 x 10^3 / 12 about the centroid (5, 2.5).
  const double A = 50.0, Ix = 1250.0 / 12.0, Iy = 5000.0 / 12.0;
  const double P = 400.0, Mx = 700.0, My = -300.0;
  CSectionForces* sf = root->applyUnrestrainedBendingForces(L"PMM", P, Mx, My, true);
  const Stress closed = [&](double x, double y) { return P / A + Mx * (y - 2.5) / Ix - My * (x - 5.0) / Iy; };
  expectStresses(closed, [](const CMetal*) { return 1.0; });
  EXPECT_NEAR(sf->maxStress, closed(10.0, 5.0), 1e-9);
  EXPECT_NEAR(sf->minStress, closed(0.0, 0.0), 1e-9);
  EXPECT_EQ(sf->maxStressPoint, Point<double>(10.0, 5.0, 0.0));
  EXPECT_EQ(sf->minStressPoint, Point<double>(0.0, 0.0, 0.0));
  EXPECT_NEAR(sf->resultantForce, P, 1e-9);
}

TEST_F(BendingReview, UnsymmetricAngleUnrestrainedUsesTheProductOfInertia) {
  // Unequal angle 10 x 6 x 1 built from a 10 x 1 flange and a 1 x 5 leg:
  // centroid (3.5, 1.5), Ixx 41.25, Iyy 151.25, Ixy -45 (parallel axes by hand).
  plate(0, 0, 10, 1, base);
  plate(0, 1, 1, 6, base);
  const double Ixx = 41.25, Iyy = 151.25, Ixy = -45.0, D = Ixx * Iyy - Ixy * Ixy;
  const double Mx = 1000.0;
  CSectionForces* sf = root->applyUnrestrainedBendingForces(L"Mx", 0.0, Mx, 0.0, true);
  const Stress closed = [&](double x, double y) { return Mx * (Iyy * (y - 1.5) - Ixy * (x - 3.5)) / D; };
  expectStresses(closed, [](const CMetal*) { return 1.0; });
  // The zero line: dy / dx = Ixy / Iyy, through the centroid.
  EXPECT_NEAR(sf->neutralAxisAngle, std::atan(Ixy / Iyy) * 180.0 / std::numbers::pi, 1e-9);
  EXPECT_NEAR(closed(sf->neutralPoint.x, sf->neutralPoint.y), 0.0, 1e-9);
  // The extremes lie at corners: the largest at the leg's inner top corner
  // (1, 6), not at the top fibre M c / Ixx would name, the smallest at (0, 0).
  EXPECT_NEAR(sf->maxStress, closed(1.0, 6.0), 1e-9);
  EXPECT_EQ(sf->maxStressPoint, Point<double>(1.0, 6.0, 0.0));
  EXPECT_NEAR(sf->minStress, closed(0.0, 0.0), 1e-9);
  EXPECT_GT(closed(1.0, 6.0), closed(0.0, 6.0));
}

// Flanges 10 x 1 at y 0..1 and 11..12, web 1 x 10: Ix = 2 (10/12 + 10 x 5.5^2) + 1000/12 = 690;
// M = 1150 gives 10 at the extreme fibres.
TEST_F(BendingReview, ISectionOfThreePlatesMeshed) {
  plate(0, 0, 10, 1, base);
  plate(4.5, 1, 5.5, 11, base);
  plate(0, 11, 10, 12, base);
  CSectionForces* sf = root->applyUnrestrainedBendingForces(L"I", 0.0, 1150.0, 0.0, false);
  expectStresses([](double, double y) { return 1150.0 * (y - 6.0) / 690.0; }, [](const CMetal*) { return 1.0; });
  EXPECT_NEAR(sf->maxStress, 10.0, 1e-9);
  EXPECT_NEAR(sf->minStress, -10.0, 1e-9);
}

TEST_F(BendingReview, ISectionOfThreePlatesWithoutMesh) {
  plate(0, 0, 10, 1, base, false);
  plate(4.5, 1, 5.5, 11, base, false);
  plate(0, 11, 10, 12, base, false);
  CSectionForces* sf = root->applyUnrestrainedBendingForces(L"I", 0.0, 1150.0, 0.0, false);
  EXPECT_NEAR(sf->maxStress, 10.0, 1e-9);
  EXPECT_NEAR(sf->minStress, -10.0, 1e-9);
  EXPECT_EQ(sf->maxStressPoint.y, 12.0);
  EXPECT_EQ(sf->minStressPoint.y, 0.0);
}

TEST_F(BendingReview, BareDiskTakesItsExtremesFromTheOutlineSamples) {
  // A disk of radius 2: I = pi r^4 / 4, so M r / I = 4 M / (pi r^3).
  auto* disk = new CShapeAnalysis(&model);
  CString name(L"disk");
  disk->sector(root, &model, name, 0.0, 0.0, 2.0, 0, 0, 0, 0, qhtShapeDisk, 0, 1, 0.0, false);
  disk->material(base);
  CSectionForces* sf = root->applyUnrestrainedBendingForces(L"M", 0.0, 300.0, 400.0, true);
  // The moment vector has size 500; the extreme fibre lies across it. The
  // outline is sampled 41 times per half circle, so the sampled extreme
  // may fall short by 1 - cos(2.25 degrees), never exceed it.
  const double extreme = 4.0 * 500.0 / (std::numbers::pi * 8.0);
  EXPECT_LE(sf->maxStress, extreme * (1.0 + 1e-9));
  EXPECT_GE(sf->maxStress, extreme * std::cos(2.25 * std::numbers::pi / 180.0));
  EXPECT_NEAR(sf->minStress, -sf->maxStress, 1e-6 * extreme);
  EXPECT_NEAR(std::hypot(sf->maxStressPoint.x, sf->maxStressPoint.y), 2.0, 1e-6);
  // The stress is (Mx y - My x) / I: largest in the direction (-My, Mx) / 500.
  EXPECT_NEAR(std::atan2(sf->maxStressPoint.y, sf->maxStressPoint.x), std::atan2(0.6, -0.8), 2.25 * std::numbers::pi / 180.0);
}

TEST_F(BendingReview, BimetalStripFollowsTheTransformedSection) {
  // A 10 x 1 strip of E on a 10 x 1 strip of 3E: the transformed section has
  // areas 10 and 30, centroid y = 1.25 and I = 0.8333 + 5.625 + 2.5 + 1.875 = 65 / 6.
  auto stiff = alloy(L"stiff", 3.0 * kModulus);
  plate(0, 0, 10, 1, base);
  plate(0, 1, 10, 2, stiff);
  const double I = 65.0 / 6.0, M = 1000.0, P = 800.0;
  CSectionForces* sf = root->applyUnrestrainedBendingForces(L"bimetal", P, M, 0.0, true);
  const auto ratio = [&](const CMetal* m) { return m == stiff.get() ? 3.0 : 1.0; };
  expectStresses([&](double, double y) { return P / 40.0 + M * (y - 1.25) / I; }, ratio);
  EXPECT_NEAR(sf->maxStress, 3.0 * (20.0 + M * 0.75 / I), 1e-9);
  EXPECT_NEAR(sf->minStress, 20.0 - M * 1.25 / I, 1e-9);
  // The strain is that of the transformed section in the softer metal.
  EXPECT_NEAR(sf->maxStrain, (20.0 + M * 0.75 / I) / kModulus, 1e-15);
  EXPECT_NEAR(sf->neutralPoint.y, 1.25 - 20.0 * I / M, 1e-9);
  EXPECT_NEAR(sf->resultantForce, P, 1e-6);
}

// ---- bad input ----

TEST_F(BendingReview, LoadsThatAreNotNumbersAreRefusedBeforeAnythingChanges) {
  plate(0, 0, 10, 5, base);
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const std::function<void()> calls[] = {
      [&] { root->applyUnrestrainedBendingForces(L"a", nan, 1.0, 1.0, true); },
      [&] { root->applyUnrestrainedBendingForces(L"a", 0.0, inf, 1.0, true); },
      [&] { root->applyUnrestrainedBendingForces(L"a", 0.0, 1.0, -inf, true); },
      [&] { root->applyRestrainedBendingForces(L"a", 0.0, nan, 1.0, true); },
      [&] { root->applyRestrainedBendingForces(L"a", 0.0, 0.0, inf, true); },
  };
  for (const auto& call : calls)
    EXPECT_THROW(call(), std::logic_error);
  EXPECT_TRUE(root->loadConditions.empty());
}

TEST_F(BendingReview, NoLoadGivesZerosAndNoNumbersThatAreNot) {
  plate(0, 0, 10, 5, base);
  CSectionForces* sf = root->applyUnrestrainedBendingForces(L"none", 0.0, 0.0, 0.0, true);
  expectStresses([](double, double) { return 0.0; }, [](const CMetal*) { return 1.0; });
  for (double v : {sf->neutralAxisAngle, sf->valueA, sf->valueB, sf->resultantForce, sf->resultantMx,
                   sf->resultantDirection, sf->resultantNeutralAxisAngle, sf->maxStress, sf->minStrain})
    EXPECT_TRUE(std::isfinite(v));
  EXPECT_EQ(sf->neutralPoint, Point<double>(-999.0, -999.0, 0.0));
}

// ---- outlines drawn as one polyline ----

TEST_F(BendingReview, PolylineOutlineIsSampledAtEveryCorner) {
  auto outline = union_test::polylineRectangle(0, 0, 10, 5);  // one straight arc of five points
  const double end = outline->arcs().GetHead()->endParameter();
  auto* shape = new CShapeAnalysis(outline.release());
  shape->name(L"outline");
  shape->material(base);
  model.addShapeToLists(root, shape);
  int n = 0;
  std::unique_ptr<Point<double>[]> samples(shape->computePolygon(&n));
  ASSERT_EQ(n, 4);
  const Point<double> corners[4] = {{10, 0, 0}, {10, 5, 0}, {0, 5, 0}, {0, 0, 0}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(samples[i].x, corners[i].x);
    EXPECT_EQ(samples[i].y, corners[i].y);
    if (i > 0) {
      EXPECT_GT(samples[i].z, samples[i - 1].z);
    }
  }
  EXPECT_EQ(samples[3].z, end);
  // Without a mesh the extremes come from these samples: 24 = M c / I (the
  // integrals of a one-arc outline settle to about 1e-8).
  CSectionForces* sf = root->applyUnrestrainedBendingForces(L"Mx", 0.0, 1000.0, 0.0, true);
  EXPECT_NEAR(sf->maxStress, 24.0, 1e-6);
  EXPECT_NEAR(sf->minStress, -24.0, 1e-6);
  EXPECT_EQ(sf->maxStressPoint.y, 5.0);
}

// ---- zero lines through nodes ----

TEST(BendingReviewContour, ZeroLineThroughNodesIsFoundOnce) {
  struct Case {
    double f[3];
    bool found;
    Point<double> a, b;  // the piece, in either order
  } cases[] = {
      {{-1, 1, 1}, true, {0.5, 0, 0}, {0, 0.5, 0}},  // an ordinary crossing
      {{0, 1, -1}, true, {0, 0, 0}, {0.5, 0.5, 0}},    // through a node and across
      {{0, 0, -1}, true, {0, 0, 0}, {1, 0, 0}},        // along an edge, element below
      {{0, 0, 1}, false, {}, {}},                      // along an edge, element above
      {{0, -1, -2}, false, {}, {}},                    // touching a corner only
      {{0, 1, 2}, false, {}, {}},
      {{0, 0, 0}, false, {}, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::shared_ptr<CFENodeAnalysis>> nodes = {mesh_test::node(1, 0, 0), mesh_test::node(2, 1, 0),
                                                           mesh_test::node(3, 0, 1)};
    CFETrng3 t;
    t.set(nodes[0], nodes[1], nodes[2], nullptr, 1.0);
    for (int i = 0; i < 3; ++i)
      nodes[static_cast<std::size_t>(i)]->setResult(STRESS_ZZ, c.f[i]);
    Point<double> p1, p2;
    const bool found = t.contourLine(STRESS_ZZ, 0.0, p1, p2);
    SCOPED_TRACE(testing::Message() << c.f[0] << " " << c.f[1] << " " << c.f[2]);
    ASSERT_EQ(found, c.found);
    if (!found)
      continue;
    const bool direct = (p1 - c.a).lengthSquared() < 1e-24 && (p2 - c.b).lengthSquared() < 1e-24;
    const bool reversed = (p1 - c.b).lengthSquared() < 1e-24 && (p2 - c.a).lengthSquared() < 1e-24;
    EXPECT_TRUE(direct || reversed) << p1.x << "," << p1.y << " " << p2.x << "," << p2.y;
  }
}

TEST_F(BendingReview, NeutralPointFoundWhereTheZeroLineRunsThroughNodes) {
  // The angle's centroid line y = 1.5 runs through the leg's nodes.
  plate(0, 0, 10, 1, base);
  plate(0, 1, 1, 6, base);
  CSectionForces* sf = root->applyRestrainedBendingForces(L"R", 0.0, 0.0, 1000.0, true);
  EXPECT_NEAR(sf->neutralPoint.y, 1.5, 1e-9);
  EXPECT_GE(sf->neutralPoint.x, 0.0);
  EXPECT_LE(sf->neutralPoint.x, 1.0);
}

// ---- the mesh picture ----

TEST(GuiBendingReviewDisplay, MeshRecordKeepsItsColoursAfterTheMaterialGoes) {
  SizedView v(64, 64);
  auto curve = mesher_test::polygonCurve(mesher_test::rectangle(-4, -4, 4, 4));
  CMesh mesh;
  mesh.maxRemoves = INT_MAX;
  mesh.elementType = TRNG3;
  mesh.create(20, curve.get(), 0, nullptr, nullptr, 1.0, nullptr);
  mesh.create2DFEM(1.0);
  mesh.material = std::make_shared<CMetal>();
  mesh.material->setColour(0.0, 0.0, 1.0);
  DspRecord* r = mesh.display();
  ASSERT_NE(r, nullptr);
  v.view.m_displayList.AddTail(r);
  // The material is replaced (and with it its colours freed) while the view
  // keeps the record.
  mesh.material = std::make_shared<CMetal>();
  ASSERT_NE(r->material, nullptr);
  EXPECT_EQ(r->material->diffuse.blue, 1.0f);
  EXPECT_EQ(r->material->diffuse.red, 0.0f);
  v.view.resetCameraPostDisplayList(0, 1, 0);
}
