// Plastic bending of meshed sub-sections, the Ramberg-Osgood curve turned
// round, Tanabe's fo, Cozzone's modulus of rupture and bending shear,
// against closed forms and hand-worked figures.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
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


// Everything a plastic driver may move: shape outlines, mesh nodes, the
// centroids and the properties flag.
struct Pose {
  std::vector<Point<double>> points;
  bool utd = false;
  static Pose of(CSubSection& s) {
    Pose p;
    std::unique_ptr<ShapeList> all = s.getShapesRecursive();
    POSITION pos = all->GetHeadPosition();
    while (pos) {
      CShapeAnalysis* shape = all->GetNext(pos);
      POSITION a = shape->boundary->arcs().GetHeadPosition();
      while (a) {
        const Bspline* arc = shape->boundary->arcs().GetNext(a);
        for (int i = 0; i < arc->nPts(); ++i)
          p.points.push_back(arc->cpts(i));
      }
    }
    for (const CMesh* m : s.meshes)
      for (const auto& n : m->nodes)
        p.points.push_back(n->position);
    p.points.push_back(s.centroid);
    p.points.push_back(s.areaCentroid);
    p.points.push_back(s.referencePoint);
    p.utd = s.scnPrpUTD();
    return p;
  }
  void expectSame(const Pose& o) const {
    ASSERT_EQ(points.size(), o.points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
      EXPECT_NEAR(points[i].x, o.points[i].x, 1e-12) << i;
      EXPECT_NEAR(points[i].y, o.points[i].y, 1e-12) << i;
    }
    EXPECT_EQ(utd, o.utd);
  }
};

struct Plastic : ::testing::Test {
  CXSectionAnalysis model;
  CSubSection* root = model.rootSubSection();
  // E 10000, Fy 50, Ftu 60, both exponents 10 (Tanabe's and Cozzone's metal).
  std::shared_ptr<CMetal> alloy = plastic_test::uniformMetal(10000, 50, 60, 0.002, 10);
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
  CShapeAnalysis* poly(std::vector<Point<double>> pts) {
    auto* s = new CShapeAnalysis(&model);
    s->polygon(root, CString(("p" + std::to_string(++count)).c_str()), pts.data(), static_cast<int>(pts.size()), 0,
               nullptr);
    s->material(alloy);
    return s;
  }
  CShapeAnalysis* box(double x0, double y0, double x1, double y1) {
    return poly({{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}});
  }
  // Meshes s; with size > 0 the triangles are refined to about that side
  // (the strain-field analyses average corner stresses, so they need it).
  void meshed(CShapeAnalysis* s, double size = 0.0) {
    root->meshShape(s, TRNG3, size > 0.0 ? 5000 : 10, 0, 0.5, 100000, 0);
    if (size > 0.0) plastic_test::refineTriangles(*root->meshes.back(), size);
    ASSERT_TRUE(root->forceRecalcProperties());
  }
  // The 10 x 5 rectangle, meshed, with its properties.
  void rectangle() { meshed(box(0, 0, 10, 5)); }
  // Web 2 x 8 under a flange 10 x 2, as one outline.
  void tee() {
    meshed(poly({{4, 0, 0}, {6, 0, 0}, {6, 8, 0}, {10, 8, 0}, {10, 10, 0}, {0, 10, 0}, {0, 8, 0}, {4, 8, 0}}));
  }
};

template <class F>
std::string failure(F&& f) {
  try {
    f();
  } catch (const std::logic_error& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace

// ---- Ramberg-Osgood ----

TEST_F(Plastic, RambergOsgoodInversionMeetsTheCurve) {
  const auto m = plastic_test::uniformMetal(10000, 60, 70, 0.002, 20);
  const struct {
    double strain, stress;
  } cases[] = {{0.003000001907348633, 30},
               {0.005850960934569655, 55},
               {0.008, 60},  // exactly the yield strain: the [Fy, Fu] bracket
               {0.016414529763115398, 65},
               {0.039633074785892175, 69}};
  for (const auto& c : cases) {
    const double s = root->solveRambergOsgoodForStress(m.get(), c.strain, true, true);
    EXPECT_NEAR(s, c.stress, 1e-4) << c.strain;
    EXPECT_LT(std::fabs(s / 10000 + 0.002 * std::pow(s / 60, 20) - c.strain), 1e-8) << c.strain;
    EXPECT_EQ(root->solveRambergOsgoodForStress(m.get(), -c.strain, false, true), -s) << c.strain;
  }
}

TEST_F(Plastic, RambergOsgoodRefusesBadMetals) {
  auto m = plastic_test::uniformMetal(10000, 60, 70, 0.002, 20);
  m->Fty_L = 80;
  EXPECT_EQ(failure([&] { root->solveRambergOsgoodForStress(m.get(), 0.01, true, true); }),
            "Material isn't defined properly, the yield stress for material is greater than ultimate ");
  // Values never set (-99999) are not a metal to analyse.
  const CMetal bare;
  EXPECT_EQ(failure([&] { root->solveRambergOsgoodForStress(&bare, 0.01, true, true); }),
            "Plastic analysis requires that the Ftu,Fcu,Fty,Fcy,E all be defined in the material specification.");
}

TEST_F(Plastic, NewtonStressUsesTheCallersExponentWithoutASingleMetal) {
  // No shapes: n = 20 is taken, and e(60) = 0.006 + 0.002.
  EXPECT_NEAR(root->solveStressGivenStrain(60, 0.008, 10000, 20), 60.0, 1e-9);
  EXPECT_NEAR(root->solveStressGivenStrain(60, -0.008, 10000, 20), -60.0, 1e-9);
  // With a single metal its exponent (10) replaces the argument.
  box(0, 0, 1, 1);
  const double s = root->solveStressGivenStrain(50, 0.012, 10000, 20);
  EXPECT_NEAR(s / 10000 + 0.002 * std::pow(s / 50, 10), 0.012, 1e-12);
  EXPECT_EQ(failure([&] { root->solveStressGivenStrain(50, NAN, 10000, 20); }),
            "Plastic solution did not converge (solveStressGivenStrain)");
  EXPECT_EQ(failure([&] { root->solveStressGivenStrain(0, 0.01, 10000, 20); }),
            "Not all required values from the database are defined");
}

TEST_F(Plastic, StressOfTheSingleMetal) {
  EXPECT_EQ(failure([&] { root->solveStressGivenStrain(0.007, true); }), "Applies to single material only");
  box(0, 0, 1, 1);
  EXPECT_NEAR(root->solveStressGivenStrain(0.007, true), 50.0, 1e-4);
  EXPECT_NEAR(root->solveStressGivenStrain(-0.007, true), -50.0, 1e-4);
}

// ---- Tanabe and Cozzone ----

TEST_F(Plastic, TanabeFo) {
  EXPECT_EQ(failure([&] { root->foTanabe(50, true); }),
            "Section not composed of single material, or material doesn't exist");
  box(0, 0, 1, 1);
  EXPECT_NEAR(root->foTanabe(50, true), 18.804664723032044, 1e-10);
  EXPECT_NEAR(root->foTanabe(40, true), 2.9903426430143076, 1e-10);
  EXPECT_NEAR(root->foTanabe(50, false), 18.804664723032044, 1e-10);
}

TEST_F(Plastic, CozzoneModulusOfRuptureOfTheRectangle) {
  meshed(box(0, 0, 10, 5), 0.3);
  const double S = 10 * 25 / 6.0, fo = 18.804664723032044;
  double M = 0, fb = 0;
  root->cozzoneMethodSoln(1.5, 50, S, true, &M, &fb);
  EXPECT_NEAR(fb, 59.402332, 1e-6);
  EXPECT_NEAR(M, fb * S, 1e-9);
  // The symmetric driver finds k = 1.5 on the mesh.
  root->cozzoneMethodSolnsGivenfo(50, fo);
  EXPECT_NEAR(root->plasticValues[0][1].shapeFactor, 1.5, 1e-9);
  EXPECT_NEAR(root->cozzoneFb, 59.402332, 1e-6);
  EXPECT_NEAR(root->cozzoneMoment, 59.402332 * S, 1e-4);
  EXPECT_EQ(root->resultKind, 3);
  const CSectionForces* sf = root->findLoadCondition(L"Cozzone")->scnForces();
  EXPECT_EQ(sf->kind, 7);
  EXPECT_NEAR(sf->valueB, root->cozzoneMoment, 1e-12);
  // The extreme fibres carry F, the neutral axis fo.
  double top = 0;
  for (const auto& n : root->meshes[0]->nodes)
    if (n->position.y == 5.0)
      top = n->results[STRESS_ZZ];
  EXPECT_NEAR(top, 50.0, 1e-9);
  // Q of the upper half is 25 x 1.25, summed by whole triangles.
  EXPECT_NEAR(root->shearQ, 31.25, 0.05);
  gUnitSystem = SI;
  root->cozzoneMethodSoln(1.5, 50, S, true, &M, &fb);
  EXPECT_NEAR(fb, 5.940233, 1e-6);
}

// ---- fully plastic values ----

TEST_F(Plastic, RectangleShapeFactorIsOneAndAHalf) {
  rectangle();
  for (bool alongY : {true, false}) {
    EXPECT_NEAR(root->solvePlasticValues(alongY, false), 50.0, 1e-9);
    const CSubSection::PlasticValues& v = root->plasticValues[alongY][0];
    EXPECT_NEAR(v.axis, alongY ? 5.0 : 2.5, 1e-7);
    EXPECT_NEAR(v.shapeFactor, 1.5, 1e-7);
  }
  EXPECT_NEAR(root->getValue(175), 5.0, 1e-7);
  EXPECT_NEAR(root->getValue(176), 2.5, 1e-7);
  // Fy Z with Z = b h^2 / 4.
  EXPECT_NEAR(root->plasticValues[0][0].plasticModulus, 50 * 10 * 25 / 4.0, 1e-4);
  EXPECT_NEAR(root->plasticValues[0][0].yieldMoment, 50 * 10 * 25 / 6.0, 1e-6);
  // The properties' mesh pass left the principal values too.
  EXPECT_NEAR(root->plasticValues[0][1].shapeFactor, 1.5, 1e-7);
  EXPECT_TRUE(Hooks::messageBoxes().empty());
}

TEST_F(Plastic, TeeShapeFactorMeasuresFibresFromTheCentroid) {
  tee();
  root->solvePlasticValues(false, false);
  const CSubSection::PlasticValues& v = root->plasticValues[0][0];
  EXPECT_NEAR(v.axis, 8.2, 1e-7);
  EXPECT_NEAR(v.plasticModulus, 4180.0, 1e-4);  // 50 x 83.6
  // Centroid 61/9 from the foot; I about it; extreme fibre at the foot.
  const double yc = 61.0 / 9.0;
  const double I = 2 * 512 / 12.0 + 16 * (yc - 4) * (yc - 4) + 10 * 8 / 12.0 + 20 * (9 - yc) * (9 - yc);
  EXPECT_NEAR(v.shapeFactor, 83.6 / (I / yc), 1e-7);
  EXPECT_NEAR(v.shapeFactor, 1.803, 5e-4);
  root->solvePlasticValues(true, false);
  EXPECT_NEAR(root->plasticValues[1][0].axis, 5.0, 1e-7);
}

TEST_F(Plastic, MissingPlasticWeightIsRefused) {
  rectangle();
  alloy->extra2 = -1000.0;
  EXPECT_EQ(failure([&] { root->solvePlasticValues(true, false); }), "nPlastic is not computed.");
}

// ---- bending analyses ----

TEST_F(Plastic, BruhnRefusesUltimateStrainAboveHalfBeforeAnyLoadCondition) {
  alloy->alpha = {0.6, 0.6, 0.6, 0.6};
  rectangle();
  double et = 0, ec = 0;
  EXPECT_EQ(failure([&] { root->solveBruhnPlasticBending(L"b", 0, 0, true, 0, &et, &ec); }),
            "The Ramberg-Osgood parameters give an ulimate strain of > .5.  Unable to analyze");
  EXPECT_TRUE(root->loadConditions.empty());
  EXPECT_FALSE(root->curAppLC());
}

TEST_F(Plastic, BruhnBalancesTheRectangleAtMidDepth) {
  meshed(box(0, 0, 10, 5), 0.3);
  double et = 0, ec = 0;
  auto lc = root->solveBruhnPlasticBending(L"b", 0, 0, true, 0, &et, &ec);
  const CSectionForces* sf = lc->scnForces();
  EXPECT_EQ(sf->kind, 6);
  EXPECT_NEAR(sf->axial, 0.0, 1e-5);
  EXPECT_NEAR(sf->neutralPoint.y, 2.5, 1e-3);
  // The tension fibre reaches the metal's ultimate strain.
  EXPECT_NEAR(et, 60 / 10000.0 + 0.002 * std::pow(1.2, 10), 1e-15);
  EXPECT_EQ(root->curAppLC(), lc);
  // The node stresses left behind give back the balanced force and moment.
  CSectionForces* record = lc->scnForcesMutable();
  root->computeResultantBendingForces(record);
  EXPECT_NEAR(record->resultantForce, record->axial, 1e-9);
  EXPECT_NEAR(record->resultantNeutralAxisMoment, record->valueA, 1e-9 * std::fabs(record->valueA));
  EXPECT_NEAR(record->resultantMx, record->Mx, 1e-9 * std::fabs(record->Mx));
}

TEST_F(Plastic, MeshMissingTheOutlineIsReportedAndLeavesThePlasticValues) {
  auto* s = new CShapeAnalysis(&model);
  CString name = L"d";
  s->sector(root, &model, name, 0, 0, 2, 0, 0, 0, 0, qhtShapeDisk, 0, 1, 0, false);
  s->material(alloy);
  root->meshShape(s, TRNG3, 10, 0, 0.5, 100000, 0);
  ASSERT_TRUE(root->forceRecalcProperties());
  ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
  EXPECT_EQ(Hooks::messageBoxes()[0].text,
            L"The mesh doesn't match the object boundary well enough to give accurate values, decrease the Chord "
            L"Height Tolerance (CHT) of the mesh and try again.");
  EXPECT_EQ(root->plasticValues[0][0].axis, 0.0);
}

TEST_F(Plastic, CentroidLineBendingBalancesTheForce) {
  meshed(box(0, 0, 10, 5), 0.3);
  CString name = L"c";
  auto lc = root->solvePlasticBendingForCentroid(name, Point<double>(5, 5, 0), 0.01, 0, true);
  const CSectionForces* sf = lc->scnForces();
  EXPECT_LE(std::fabs(sf->axial), 1.0);
  EXPECT_NEAR(sf->neutralPoint.y, 2.5, 1e-3);
  EXPECT_NEAR(sf->neutralAxisAngle, 0.0, 1e-9);
  EXPECT_GT(sf->Mx, 0.0);
}

// ---- shear ----

TEST_F(Plastic, ShapeQAndVQIbOfStackedRectangles) {
  box(0, 0, 10, 2.5);
  CShapeAnalysis* upper = box(0, 2.5, 10, 5);
  root->Union(-1);
  ASSERT_TRUE(root->isUnionOn());
  root->meshSubSection(TRNG3, 10, 0, 0.5, 100000, 0);
  ASSERT_TRUE(root->forceRecalcProperties());
  CSectionForces* sf = root->loadConditions.emplace_back(std::make_shared<CLoadCondition>(SectionForces, L"v"))
                           ->scnForcesMutable();
  if (sf == nullptr) {
    root->loadConditions.back()->ScnLoadCondition(L"v");
    sf = root->loadConditions.back()->scnForcesMutable();
  }
  sf->neutralPoint = Point<double>(5, 2.5, 0);
  EXPECT_NEAR(root->shapeQ(L"v", upper), 31.25, 1e-9);
  EXPECT_NEAR(root->shapeVQIxb(L"v", upper, 100, 10), 3.0, 1e-9);  // 1.5 V / A
  EXPECT_EQ(failure([&] { root->shapeQ(L"none", upper); }), "Load condition not found");
}

// ---- failures leave the geometry alone ----

TEST_F(Plastic, FailedDriversLeaveTheGeometryAsItWas) {
  tee();
  const Pose before = Pose::of(*root);
  const std::function<void()> drivers[] = {
      // The tee is not symmetric about its principal x axis.
      [&] { root->cozzoneMethodSolnsGivenfo(50, 18.8); },
      // A neutral axis above the section.
      [&] { root->cozzoneUnsymmetricMethod(20, 0.01); },
      // Turned, then the split finds no plastic weight.
      [&] {
        CSectionForces sf;
        sf.Mx = 100;
        sf.My = 40;
        alloy->extra2 = -1000.0;
        root->plasticAnalysisScaleMomentsToMaximum(&sf);
      },
  };
  for (const auto& driver : drivers) {
    EXPECT_NE(failure(driver), "no error");
    Pose::of(*root).expectSame(before);
  }
}

TEST_F(Plastic, GivenMomentsFixTheDirectionOfTheResultant) {
  const struct {
    double Mx, My;
  } cases[] = {{1000, 0}, {1000, 400}, {-300, 800}};
  meshed(poly({{4, 0, 0}, {6, 0, 0}, {6, 8, 0}, {10, 8, 0}, {10, 10, 0}, {0, 10, 0}, {0, 8, 0}, {4, 8, 0}}), 0.4);
  for (const auto& c : cases) {
    CSectionForces forces;
    forces.Mx = c.Mx;
    forces.My = c.My;
    auto lc = root->solvePlasticBendingForAngleCentroid(L"m", &forces, true);
    EXPECT_EQ(root->curAppLC(), lc);
    const CSectionForces* sf = lc->scnForces();
    EXPECT_EQ(sf->kind, 6);
    const double M = std::hypot(sf->resultantMx, sf->resultantMy);
    EXPECT_NEAR(sf->resultantMx / M, c.Mx / std::hypot(c.Mx, c.My), 1e-5) << c.Mx << " " << c.My;
    EXPECT_NEAR(sf->resultantMy / M, c.My / std::hypot(c.Mx, c.My), 1e-5) << c.Mx << " " << c.My;
    // No axial force: within 1e-5 of the whole section at yield (36 x 50).
    EXPECT_NEAR(sf->resultantForce, 0.0, 1e-5 * 1800);
  }
  EXPECT_EQ(root->loadConditions.size(), 3u);
}

TEST_F(Plastic, UnsymmetricCozzoneOnTheRectangleMatchesTheSymmetricFigures) {
  alloy->maxCompressionStrain = 0.05;  // not reached: the given strain governs
  meshed(box(0, 0, 10, 5), 0.3);
  const double s = root->solveRambergOsgoodForStress(alloy.get(), 0.01, true, true);
  const double fo = root->foTanabe(s, true);
  root->cozzoneUnsymmetricMethod(2.5, 0.01);
  // k = 1.5 from the two halves, so M = (s + fo / 2) b h^2 / 6; the
  // split's second moments leave out each triangle's own, hence the mesh
  // tolerance.
  EXPECT_NEAR(root->cozzoneMoment, (s + 0.5 * fo) * 10 * 25 / 6.0, 2e-3 * 2886.4);
  EXPECT_EQ(root->findLoadCondition(L"Cozzone")->scnForces()->kind, 7);
  EXPECT_EQ(failure([&] { root->foTanabe(0.0, true); }), "Computation of fo failed.");
}

TEST_F(Plastic, MomentDirectionScalesThePlasticModuli) {
  rectangle();
  CSectionForces sf;
  sf.Mx = 100;
  root->plasticAnalysisScaleMomentsToMaximum(&sf);
  EXPECT_NEAR(root->plasticValues[0][0].plasticModulus, 50 * 10 * 25 / 4.0, 1e-4);
  EXPECT_NEAR(root->plasticValues[1][0].plasticModulus, 0.0, 1e-9);
}

TEST_F(Plastic, BruhnWithAnUnreachableForceEndsWithAnError) {
  rectangle();
  double et = 0, ec = 0;
  EXPECT_NE(failure([&] { root->solveBruhnPlasticBending(L"b", 0, 0, true, 1e9, &et, &ec); }), "no error");
  EXPECT_TRUE(root->loadConditions.empty());
}
