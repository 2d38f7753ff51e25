// Plastic values, Ramberg-Osgood, Tanabe, Cozzone and bending shear pushed
// to their edges: closed-form sections (disk, I-beam), degenerate metals,
// non-finite inputs and large meshes.
#include <numbers>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/CSectionForces.h"
#include "analysis/model/Globals.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "drevoline/tests/test_plastic_support.h"
#include "platform/core/Hooks.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();


std::string logicErrorText(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::logic_error& e) {
    return e.what();
  }
  return "no error";
}

struct PlasticReview : ::testing::Test {
  CXSectionAnalysis model;
  CSubSection* root = model.rootSubSection();
  std::shared_ptr<CMetal> steel = plastic_test::uniformMetal(10000, 50, 60, 0.002, 10);
  EUnitSystem units = gUnitSystem;
  int count = 0;

  void SetUp() override {
    Hooks::reset();
    gUnitSystem = USCS;
  }
  void TearDown() override {
    gUnitSystem = units;
    Hooks::reset();
  }
  CShapeAnalysis* poly(std::vector<Point<double>> pts, std::shared_ptr<CMetal> m = nullptr) {
    auto* s = new CShapeAnalysis(&model);
    s->polygon(root, CString(("r" + std::to_string(++count)).c_str()), pts.data(), static_cast<int>(pts.size()), 0,
               nullptr);
    s->material(m ? m : steel);
    return s;
  }
  CShapeAnalysis* box(double x0, double y0, double x1, double y1, std::shared_ptr<CMetal> m = nullptr) {
    return poly({{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}}, m);
  }
  // The union of the shapes meshed with about `extra` inner nodes.
  void meshUnion(int extra, double spacing = 0.5) {
    root->Union(-1);
    root->meshSubSection(TRNG3, extra, 0, spacing, 1000000, 0);
    ASSERT_TRUE(root->forceRecalcProperties());
  }
  std::size_t elements() const {
    std::size_t n = 0;
    for (const CMesh* m : root->meshes)
      n += m->trng3Elements.size();
    return n;
  }
};

}  // namespace

// ---- fully plastic values against closed forms ----

TEST_F(PlasticReview, SymmetricIBeamOfThreePlates) {
  // Flanges 10 x 2, web 1 x 8: Z = 2 (20 x 5) + 2 (4 x 2) = 216,
  // I = 10 x 12^3 / 12 - 9 x 8^3 / 12 = 1056, S = 176.
  box(0, 0, 10, 2);
  box(4.5, 2, 5.5, 10);
  box(0, 10, 10, 12);
  meshUnion(10);
  root->solvePlasticValues(false, false);
  const CSubSection::PlasticValues& v = root->plasticValues[0][0];
  EXPECT_NEAR(v.axis, 6.0, 1e-6);
  EXPECT_NEAR(v.plasticModulus, 50 * 216.0, 1e-3);
  EXPECT_NEAR(v.shapeFactor, 216.0 / 176.0, 1e-6);
  EXPECT_NEAR(v.yieldMoment, 50 * 176.0, 1e-6);
  // About the web: Z = 2 (2 x 10^2 / 4) + 8 x 1 / 4 = 102, I = 2 x 2 x 1000 / 12 + 8 / 12.
  root->solvePlasticValues(true, false);
  const CSubSection::PlasticValues& w = root->plasticValues[1][0];
  EXPECT_NEAR(w.axis, 5.0, 1e-6);
  EXPECT_NEAR(w.shapeFactor, 102.0 / ((4000.0 / 12 + 8.0 / 12) / 5.0), 1e-6);
}

TEST_F(PlasticReview, DiskPlasticModulusAndShapeFactor) {
  // Z = 4 r^3 / 3 and k = 16 / (3 pi) for r = 2, on a fine mesh.
  auto* s = new CShapeAnalysis(&model);
  CString name = L"disk";
  s->sector(root, &model, name, 0, 0, 2, 0, 0, 0, 0, qhtShapeDisk, 0, 1, 0, false);
  s->material(steel);
  // The spacing is the outline chord height: about 140 sides.
  root->meshShape(s, TRNG3, 3000, 0, 0.0005, 1000000, 0);
  ASSERT_TRUE(root->forceRecalcProperties());
  for (bool alongY : {false, true}) {
    root->solvePlasticValues(alongY, false);
    const CSubSection::PlasticValues& v = root->plasticValues[alongY][0];
    EXPECT_NEAR(v.axis, 0.0, 1e-6);
    EXPECT_NEAR(v.plasticModulus, 50 * 32.0 / 3.0, 50 * 32.0 / 3.0 * 2e-3);
    EXPECT_NEAR(v.shapeFactor, 16.0 / (3.0 * std::numbers::pi), 2e-3);
  }
}

TEST_F(PlasticReview, TwoMetalsBalanceForcesNotAreas) {
  // Lower half Fy 50, upper half Fy 100: half the force 1875 lies above
  // y = 2.5 + (2500 - 1875) / 1000 = 3.125; weighted areas 25 + 2 x 25.
  CShapeAnalysis* low = box(0, 0, 10, 2.5);
  auto strong = plastic_test::uniformMetal(10000, 100, 120, 0.002, 10);
  strong->name = L"strong";
  CShapeAnalysis* high = box(0, 2.5, 10, 5, strong);
  root->meshShape(low, TRNG3, 10, 0, 0.5, 100000, 0);
  root->meshShape(high, TRNG3, 10, 0, 0.5, 100000, 0);
  ASSERT_TRUE(root->forceRecalcProperties());
  ASSERT_TRUE(root->isMultipleMaterials());
  EXPECT_NEAR(root->solvePlasticValues(false, false), 75.0, 1e-6);
  EXPECT_NEAR(root->plasticValues[0][0].axis, 3.125, 1e-6);
}

// ---- Ramberg-Osgood, Newton and Tanabe at their limits ----

TEST_F(PlasticReview, RambergOsgoodEitherMeetsTheCurveOrRefuses) {
  struct Case {
    double E, Fy, Fu, alpha, n, strain;
    bool solves;
  } cases[] = {
      {10000, 50, 60, 0.002, 10, 0.0, true},     // no strain: no stress
      {10000, 50, 60, 0.002, 10, 1.0, false},    // beyond the ultimate stress
      {10000, 50, 60, 0.002, 1, 0.004, true},    // linear hardening
      {10000, 50, 60, 0.002, 0.5, 0.004, true},  // exponent below 1
      {10000, 50, 60, 0.0, 10, 0.004, true},     // elastic only, below yield
      {10000, 50, 60, 0.0, 10, 0.0055, false},   // elastic only, past Fy / E
      {0, 50, 60, 0.002, 10, 0.004, false},      // no modulus
      {10000, 50, 60, 0.002, 10, kNaN, false},
      {10000, 50, 60, 0.002, 10, kInf, false},
      {kNaN, 50, 60, 0.002, 10, 0.004, false},
      {10000, kNaN, 60, 0.002, 10, 0.004, false},
      {10000, 50, kInf, 0.002, 10, 0.1, false},
      {10000, 50, 60, kNaN, 10, 0.004, false},
      {10000, 50, 60, 0.002, kNaN, 0.004, false},
      {10000, 50, 60, -99999, 10, 0.004, false},  // values never set
      {10000, 50, 60, 0.002, -99999, 0.004, false},
      {10000, 50, 60, 0.002, 10, -0.004, true},   // compression: the negated stress
  };
  for (const Case& c : cases) {
    const auto m = plastic_test::uniformMetal(c.E, c.Fy, c.Fu, c.alpha, c.n);
    double s = kNaN;
    const std::string error = logicErrorText([&] { s = root->solveRambergOsgoodForStress(m.get(), c.strain, true, true); });
    SCOPED_TRACE(testing::Message() << c.E << " " << c.Fy << " " << c.Fu << " " << c.alpha << " " << c.n << " "
                                    << c.strain);
    if (c.solves) {
      ASSERT_EQ(error, "no error");
      const double a = std::fabs(s);
      EXPECT_LT(std::fabs(std::copysign(a / c.E + c.alpha * std::pow(a / c.Fy, c.n), s) - c.strain), 1e-8);
    } else {
      EXPECT_NE(error, "no error") << s;
    }
  }
}

TEST_F(PlasticReview, NewtonAndTanabeRefuseWhatIsNotANumber) {
  const struct {
    double Fy, strain, E, n;
  } newton[] = {{kNaN, 0.01, 10000, 10}, {50, kInf, 10000, 10}, {kInf, 0.01, 10000, 10}, {50, 0.01, 10000, kInf}};
  for (const auto& c : newton)
    EXPECT_NE(logicErrorText([&] { root->solveStressGivenStrain(c.Fy, c.strain, c.E, c.n); }), "no error") << c.Fy;
  box(0, 0, 1, 1);
  for (double F : {0.0, kNaN, kInf})
    EXPECT_EQ(logicErrorText([&] { root->foTanabe(F, true); }), "Computation of fo failed.") << F;
}

// ---- Cozzone ----

TEST_F(PlasticReview, UnsymmetricCozzoneOnTheDefaultMeshHasTheRectanglesK) {
  // The default coarse mesh: the split's second moments must hold each
  // piece's own as well, or k = Q / (I / c) drifts from 1.5.
  steel->maxCompressionStrain = 0.05;
  box(0, 0, 10, 5);
  root->meshShape(root->getShapesRecursive()->GetHead(), TRNG3, 10, 0, 0.5, 100000, 0);
  ASSERT_TRUE(root->forceRecalcProperties());
  ASSERT_LT(root->meshes[0]->trng3Elements.size(), 100u);
  const double s = root->solveRambergOsgoodForStress(steel.get(), 0.01, true, true);
  const double fo = root->foTanabe(s, true);
  root->cozzoneUnsymmetricMethod(2.5, 0.01);
  // Two halves at k = 1.5: M = 2 (s + fo / 2) (b (h/2)^3 / 3) / (h/2).
  EXPECT_NEAR(root->cozzoneMoment, (s + 0.5 * fo) * 10 * 25 / 6.0, 1e-9 * 3000);
}

TEST_F(PlasticReview, CozzoneRefusesValuesThatAreNotNumbers) {
  box(0, 0, 10, 5);
  root->meshShape(root->getShapesRecursive()->GetHead(), TRNG3, 10, 0, 0.5, 100000, 0);
  ASSERT_TRUE(root->forceRecalcProperties());
  steel->maxCompressionStrain = 0.05;
  std::vector<Point<double>> before;
  for (const auto& n : root->meshes[0]->nodes)
    before.push_back(n->position);
  double M = 0, fb = 0;
  const std::function<void()> calls[] = {
      [&] { root->cozzoneUnsymmetricMethod(kNaN, 0.01); },
      [&] { root->cozzoneUnsymmetricMethod(2.5, kNaN); },
      [&] { root->cozzoneUnsymmetricMethod(kInf, 0.01); },
      [&] { root->cozzoneMethodSolnsGivenfo(kNaN, 18.8); },
      [&] { root->cozzoneMethodSolnsGivenfo(50, kNaN); },
      [&] { root->cozzoneMethodSolnGivenfo(50, kNaN, 1.5, 41.6, &M, &fb); },
      [&] { root->cozzoneMethodSolnGivenfo(50, 18.8, kInf, 41.6, &M, &fb); },
  };
  for (const auto& call : calls) {
    EXPECT_NE(logicErrorText(call), "no error");
    ASSERT_EQ(before.size(), root->meshes[0]->nodes.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
      ASSERT_EQ(before[i].x, root->meshes[0]->nodes[i]->position.x) << i;
      ASSERT_EQ(before[i].y, root->meshes[0]->nodes[i]->position.y) << i;
    }
  }
  EXPECT_TRUE(std::isfinite(root->cozzoneMoment));
}

// ---- bending shear ----

TEST_F(PlasticReview, ShearStressAtTheNeutralAxisOfAnIBeam) {
  // Q above the axis = 20 x 5 + 4 x 2 = 108; tau = V Q / (I t) with
  // I = 1056 and the web 1 thick.
  CShapeAnalysis* bottom = box(0, 0, 10, 2);
  CShapeAnalysis* lowWeb = box(4.5, 2, 5.5, 6);
  CShapeAnalysis* highWeb = box(4.5, 6, 5.5, 10);
  CShapeAnalysis* top = box(0, 10, 10, 12);
  meshUnion(10);
  CSectionForces* sf =
      root->loadConditions.emplace_back(std::make_shared<CLoadCondition>(SectionForces, L"v"))->scnForcesMutable();
  if (sf == nullptr) {
    root->loadConditions.back()->ScnLoadCondition(L"v");
    sf = root->loadConditions.back()->scnForcesMutable();
  }
  sf->neutralPoint = Point<double>(5, 6, 0);
  EXPECT_NEAR(root->shapeQ(L"v", top) + root->shapeQ(L"v", highWeb), 108.0, 1e-9);
  EXPECT_NEAR(root->shapeQ(L"v", bottom) + root->shapeQ(L"v", lowWeb), -108.0, 1e-9);
  EXPECT_NEAR(root->shapeVQIxb(L"v", top, 100, 1) + root->shapeVQIxb(L"v", highWeb, 100, 1), 100 * 108.0 / 1056.0,
              1e-9);
}

// ---- large meshes ----

// Benchmarks, run by hand: the drivers' times at about 30k and 120k elements.
void timeDrivers(PlasticReview& t, int extra, double spacing) {
  t.box(0, 0, 10, 5);
  t.meshUnion(extra, spacing);
  CSubSection* root = t.root;
  auto t0 = std::chrono::steady_clock::now();
  root->solvePlasticValues(false, false);
  auto t1 = std::chrono::steady_clock::now();
  t.steel->maxCompressionStrain = 0.05;
  root->cozzoneUnsymmetricMethod(2.5, 0.01);
  auto t2 = std::chrono::steady_clock::now();
  CString name = L"c";
  root->solvePlasticBendingForCentroid(name, Point<double>(5, 5, 0), 0.01, 0, true);
  auto t3 = std::chrono::steady_clock::now();
  std::printf("elements %zu: values %.3f s, cozzone %.3f s, centroid %.3f s\n", t.elements(),
              std::chrono::duration<double>(t1 - t0).count(), std::chrono::duration<double>(t2 - t1).count(),
              std::chrono::duration<double>(t3 - t2).count());
}

TEST_F(PlasticReview, DISABLED_TimingsAt30k) { timeDrivers(*this, 15000, 0.04); }
TEST_F(PlasticReview, DISABLED_TimingsAt120k) { timeDrivers(*this, 60000, 0.02); }

TEST_F(PlasticReview, UnsymmetricCozzoneNeedsTheAxisInsideTheSection) {
  // Below or on the foot nothing is in compression; on or above the top
  // nothing is in tension: no moment of rupture either way.
  steel->maxCompressionStrain = 0.05;
  box(0, 0, 10, 5);
  root->meshShape(root->getShapesRecursive()->GetHead(), TRNG3, 10, 0, 0.5, 100000, 0);
  ASSERT_TRUE(root->forceRecalcProperties());
  for (double y : {-1.0, 0.0, 5.0, 6.0})
    EXPECT_EQ(logicErrorText([&] { root->cozzoneUnsymmetricMethod(y, 0.01); }),
              "The neutral axis of Cozzone's method must cross the section")
        << y;
  EXPECT_TRUE(root->loadConditions.empty());
}

TEST_F(PlasticReview, YieldsAndWeightsThatAreNotNumbersDoNotConverge) {
  box(0, 0, 10, 5);
  root->meshShape(root->getShapesRecursive()->GetHead(), TRNG3, 10, 0, 0.5, 100000, 0);
  ASSERT_TRUE(root->forceRecalcProperties());
  steel->Fty_L = steel->Fty_LT = steel->Fcy_L = steel->Fcy_LT = kNaN;
  steel->extra2 = kNaN;
  for (bool alongY : {true, false})
    EXPECT_EQ(logicErrorText([&] { root->solvePlasticValues(alongY, false); }), "Solving for plastic values did not converge!") << alongY;
}

TEST_F(PlasticReview, GivenMomentsThatAreNotNumbersAreRefused) {
  box(0, 0, 10, 5);
  root->meshShape(root->getShapesRecursive()->GetHead(), TRNG3, 10, 0, 0.5, 100000, 0);
  ASSERT_TRUE(root->forceRecalcProperties());
  const struct {
    double Mx, My, P;
  } cases[] = {{1000, 0, kNaN}, {kInf, kNaN, 0}, {kInf, 0, 0}, {1000, 0, kInf}};
  for (const auto& c : cases) {
    CSectionForces forces;
    forces.Mx = c.Mx;
    forces.My = c.My;
    forces.axial = c.P;
    EXPECT_NE(logicErrorText([&] { root->solvePlasticBendingForAngleCentroid(L"m", &forces, true); }), "no error")
        << c.Mx << " " << c.My << " " << c.P;
  }
  EXPECT_TRUE(root->loadConditions.empty());
}

TEST_F(PlasticReview, UnsymmetricCozzoneOnATeeByHand) {
  // Web 2 x 8 under a flange 10 x 2, axis at y = 7: tension side the top
  // 1 of web and the flange (ct 3), compression side 7 of web (cc 7).
  steel->maxCompressionStrain = 0.05;  // 0.05 x 3 / 7 > 0.01: the given strain governs
  CShapeAnalysis* tee =
      poly({{4, 0, 0}, {6, 0, 0}, {6, 8, 0}, {10, 8, 0}, {10, 10, 0}, {0, 10, 0}, {0, 8, 0}, {4, 8, 0}});
  root->meshShape(tee, TRNG3, 10, 0, 0.5, 100000, 0);
  ASSERT_TRUE(root->forceRecalcProperties());
  const double Qt = 2 * 1 * 0.5 + 20 * 2, It = 2 / 3.0 + 10 * (27 - 1) / 3.0, Ic = 2 * 343 / 3.0;
  const double k = Qt / (It / 3);
  const double s1 = root->solveRambergOsgoodForStress(steel.get(), 0.01 * 3 / 7, true, true);
  const double s2 = root->solveRambergOsgoodForStress(steel.get(), 0.01, true, true);
  const double M1 = (s1 + (k - 1) * root->foTanabe(s1, true)) * It / 3;
  const double M = (s2 + (k - 1) * root->foTanabe(s2, false)) * Ic / 7 + M1;
  root->cozzoneUnsymmetricMethod(7, 0.01);
  EXPECT_NEAR(root->cozzoneMoment, M, 1e-9 * M);
  // A compression strain given with its sign is the same strain.
  root->cozzoneUnsymmetricMethod(7, -0.01);
  EXPECT_NEAR(root->cozzoneMoment, M, 1e-9 * M);
}

TEST_F(PlasticReview, SymmetricCozzoneOnTheIBeamInBothUnitSystems) {
  // k = Z / S = 216 / 176, S = 176: M = (F + (k - 1) fo) S, a tenth in SI;
  // the shear correction ratio does not depend on the units.
  box(0, 0, 10, 2);
  box(4.5, 2, 5.5, 10);
  box(0, 10, 10, 12);
  meshUnion(10);
  const double fo = 18.804664723032044, k = 216.0 / 176.0;
  root->cozzoneMethodSolnsGivenfo(50, fo);
  EXPECT_NEAR(root->plasticValues[0][1].shapeFactor, k, 1e-6);
  EXPECT_NEAR(root->cozzoneFb, 50 + (k - 1) * fo, 1e-6);
  EXPECT_NEAR(root->cozzoneMoment, (50 + (k - 1) * fo) * 176, 1e-4);
  const double ratio = root->shearRatio, Q = root->shearQ;
  EXPECT_GT(ratio, 0.0);
  gUnitSystem = SI;
  root->cozzoneMethodSolnsGivenfo(50, fo);
  EXPECT_NEAR(root->cozzoneFb, 0.1 * (50 + (k - 1) * fo), 1e-7);
  EXPECT_NEAR(root->shearRatio, ratio, 1e-9 * ratio);
  EXPECT_NEAR(root->shearQ, Q, 1e-12);
}

TEST_F(PlasticReview, MomentsThatAreNotNumbersLeaveSectionAndModuli) {
  box(0, 0, 10, 5);
  root->meshShape(root->getShapesRecursive()->GetHead(), TRNG3, 10, 0, 0.5, 100000, 0);
  ASSERT_TRUE(root->forceRecalcProperties());
  const Point<double> first = root->meshes[0]->nodes[0]->position;
  const double Zx = root->plasticValues[0][0].plasticModulus, Zy = root->plasticValues[1][0].plasticModulus;
  ASSERT_GT(Zx, 0.0);
  for (double Mx : {kNaN, kInf}) {
    CSectionForces sf;
    sf.Mx = Mx;
    sf.My = 40;
    EXPECT_EQ(logicErrorText([&] { root->plasticAnalysisScaleMomentsToMaximum(&sf); }), "The moments must be numbers");
  }
  EXPECT_EQ(root->plasticValues[0][0].plasticModulus, Zx);
  EXPECT_EQ(root->plasticValues[1][0].plasticModulus, Zy);
  EXPECT_EQ(root->meshes[0]->nodes[0]->position.x, first.x);
  EXPECT_EQ(root->meshes[0]->nodes[0]->position.y, first.y);
  EXPECT_EQ(root->centroid.x, 5.0);
}

TEST_F(PlasticReview, PoseGuardRefusesMovesItCouldNotUndo) {
  box(0, 0, 10, 5);
  root->meshShape(root->getShapesRecursive()->GetHead(), TRNG3, 10, 0, 0.5, 100000, 0);
  ASSERT_TRUE(root->forceRecalcProperties());
  const Point<double> first = root->meshes[0]->nodes[0]->position;
  {
    CSubSection::PoseGuard pose(root);
    pose.translate(Point<double>(1, 2, 0));
    EXPECT_EQ(logicErrorText([&] { pose.translate(Point<double>(kNaN, 0, 0)); }),
              "The section cannot be moved by a value that is not a number");
    EXPECT_EQ(logicErrorText([&] { pose.rotate(0, 0, kInf, true); }),
              "The section cannot be moved by a value that is not a number");
    EXPECT_EQ(logicErrorText([&] { pose.rotate(kNaN, 0, 10); }), "The section cannot be moved by a value that is not a number");
  }
  EXPECT_NEAR(root->meshes[0]->nodes[0]->position.x, first.x, 1e-12);
  EXPECT_NEAR(root->meshes[0]->nodes[0]->position.y, first.y, 1e-12);
  EXPECT_NEAR(root->centroid.x, 5.0, 1e-12);
}
