// Elastic bending of meshed sub-sections against closed forms: a 10 x 5
// rectangle (Ixx about the x axis 312.5 / 3, about the y axis 1250 / 3,
// centroid (5, 2.5)) and an unequal angle 10 x 6 x 1 (centroid (3.5, 1.5),
// second moments 151.25 about y, 41.25 about x, product -45).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/CPointForce.h"
#include "analysis/model/CResultLocation.h"
#include "analysis/model/CSectionForces.h"
#include "analysis/model/Globals.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/section/CMaterialMaxMinValues.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "platform/core/Hooks.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "test_union_support.h"

namespace {

constexpr double kE = 1.0e7;
constexpr double kRadToDeg = 57.29577951308232;

std::shared_ptr<CMetal> metal(const wchar_t* name, double E = kE, double yield = 1e6, double ultimate = 2e6) {
  return std::make_shared<CMetal>(CString(name), E, E / 2.6, 0.3, 0.1, -99999.0, yield, yield, -99999.0, ultimate,
                                  ultimate, 0.0, 0.0, 0.0, 0.0);
}

struct ElasticBending : ::testing::Test {
  CXSectionAnalysis model;
  CSubSection* root = model.rootSubSection();
  EUnitSystem savedUnits = gUnitSystem;
  std::shared_ptr<CMetal> steel = metal(L"steel");
  int count = 0;

  void SetUp() override {
    Hooks::reset();
    gUnitSystem = USCS;
  }
  void TearDown() override {
    gUnitSystem = savedUnits;
    Hooks::reset();
  }

  CShapeAnalysis* box(double x0, double y0, double x1, double y1, std::shared_ptr<CMetal> m) {
    Point<double> pts[4] = {{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}};
    auto* s = new CShapeAnalysis(&model);
    s->polygon(root, CString(("b" + std::to_string(++count)).c_str()), pts, 4, 0, nullptr);
    s->material(std::move(m));
    return s;
  }
  void mesh(CShapeAnalysis* s, ELEMENT_TYPE type = TRNG3) { root->meshShape(s, type, 400, 0, 0.5, 100000, 0); }
  // The 10 x 5 rectangle, meshed.
  void rectangle() { mesh(box(0, 0, 10, 5, steel)); }
  // The unequal angle 10 x 6 x 1: a 10 x 1 flange and a 1 x 5 leg on it.
  void angle() {
    mesh(box(0, 0, 10, 1, steel));
    mesh(box(0, 1, 1, 6, steel));
  }
  void eachNode(const std::function<void(CFENodeAnalysis&)>& f) {
    for (CMesh* m : root->meshes)
      for (const auto& n : m->nodes)
        f(*n);
  }
  // Every node's stress is expected(x, y); nodes lie on the lines y = 0 and y = top.
  void expectNodeStresses(const std::function<double(double, double)>& expected, double top) {
    int bottom = 0, upper = 0;
    eachNode([&](CFENodeAnalysis& n) {
      const double x = n.position.x, y = n.position.y;
      EXPECT_NEAR(n.result(nullptr, STRESS_ZZ), expected(x, y), 1e-9) << x << "," << y;
      EXPECT_NEAR(n.result(nullptr, STRAIN_ZZ), expected(x, y) / kE, 1e-15);
      bottom += y == 0.0;
      upper += y == top;
    });
    EXPECT_GT(bottom, 0);
    EXPECT_GT(upper, 0);
  }
};

std::string thrown(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace

TEST_F(ElasticBending, RectangleUnderMxInBothUnitSystems) {
  rectangle();
  for (auto [units, factor] : {std::pair{USCS, 1.0}, std::pair{SI, 10.0}}) {
    gUnitSystem = units;
    CSectionForces* sf = root->applyUnrestrainedBendingForces(L"Mx", 0.0, 1000.0, 0.0, true);
    const double f = factor;
    expectNodeStresses([f](double, double y) { return f * 24.0 * (y - 2.5) / 2.5; }, 5.0);
    EXPECT_EQ(sf->name, L"Mx");
    EXPECT_EQ(sf->kind, 4);
    EXPECT_TRUE(sf->option);
    EXPECT_EQ(sf->neutralAxisAngle, 0.0);
    EXPECT_NEAR(sf->valueA, 1000.0, 1e-9);
    EXPECT_NEAR(sf->valueB, 1000.0, 1e-9);
    EXPECT_NEAR(sf->neutralPoint.y, 2.5, 1e-9);
    EXPECT_NEAR(sf->resultantForce, 0.0, 1e-6);
    // Element-centre sums: exact force, moments within the mesh's error
    // (about 0.3 % for this mesh; the error halves as the element count doubles).
    EXPECT_NEAR(sf->resultantMx, 1000.0, 5.0);
    EXPECT_NEAR(sf->resultantMy, 0.0, 1.0);
    EXPECT_NEAR(sf->resultantNeutralAxisAngle, 0.0, 0.1);
    EXPECT_TRUE(sf->yieldWarning.IsEmpty());
  }
  // One load condition of that name, applied.
  EXPECT_EQ(root->loadConditions.size(), 1u);
  EXPECT_EQ(root->appliedLoad().get(), root->loadConditions[0].get());
}

TEST_F(ElasticBending, RectangleUnderMyAndUnderAxialForce) {
  rectangle();
  CSectionForces* sf = root->applyUnrestrainedBendingForces(L"My", 0.0, 0.0, 1000.0, false);
  expectNodeStresses([](double x, double) { return -12.0 * (x - 5.0) / 5.0; }, 5.0);
  // A pure My with no product of inertia: vertical axis, the moment about it My.
  EXPECT_EQ(sf->neutralAxisAngle, 90.0);
  EXPECT_NEAR(sf->valueA, 1000.0, 1e-9);
  EXPECT_NEAR(std::fabs(sf->resultantNeutralAxisAngle), 90.0, 0.1);
  EXPECT_NEAR(std::fabs(sf->resultantNeutralAxisMoment), sf->resultantMy, 1.0);
  EXPECT_NEAR(sf->resultantMy, 1000.0, 5.0);
  EXPECT_NEAR(sf->neutralPoint.x, 5.0, 1e-9);

  sf = root->applyUnrestrainedBendingForces(L"P", 500.0, 1000.0, 0.0, false);
  expectNodeStresses([](double, double y) { return 10.0 + 24.0 * (y - 2.5) / 2.5; }, 5.0);
  EXPECT_NEAR(sf->resultantForce, 500.0, 1e-9);

  // A uniform stress crosses no element: the neutral point is the marker.
  sf = root->applyUnrestrainedBendingForces(L"P only", 500.0, 0.0, 0.0, false);
  expectNodeStresses([](double, double) { return 10.0; }, 5.0);
  EXPECT_EQ(sf->neutralPoint, Point<double>(-999.0, -999.0, 0.0));
}

TEST_F(ElasticBending, SmallLoadsKeepTheirNeutralAxisAngle) {
  rectangle();
  CSectionForces* sf = root->applyUnrestrainedBendingForces(L"small", 0.0, 0.001, 0.0001, false);
  // tan = (My / Iy) / (Mx / Ix) = 0.1 x 312.5 / 1250.
  EXPECT_NEAR(sf->neutralAxisAngle, std::atan(0.025) * kRadToDeg, 1e-9);
  EXPECT_NEAR(sf->neutralAxisAngle, 1.432, 1e-3);
}

TEST_F(ElasticBending, RestrainedAngleHasHorizontalNeutralAxis) {
  angle();
  CSectionForces* sf = root->applyRestrainedBendingForces(L"R", 0.0, 0.0, 1000.0, true);
  EXPECT_NEAR(sf->Mx, 1000.0, 1e-9);
  EXPECT_NEAR(sf->My, 12000.0 / 11.0, 1e-9);  // 1090.909
  EXPECT_EQ(sf->kind, 5);
  EXPECT_EQ(sf->valueA, 1000.0);
  EXPECT_EQ(sf->neutralAxisAngle, 0.0);
  // Equal along every horizontal line: 1200 / 11 at y = 6, -400 / 11 at y = 0.
  expectNodeStresses([](double, double y) { return 800.0 / 33.0 * (y - 1.5); }, 6.0);
  double topStress = 0.0;
  int topNodes = 0;
  eachNode([&](CFENodeAnalysis& n) {
    if (n.position.y == 6.0) {
      topStress = n.result(nullptr, STRESS_ZZ);
      ++topNodes;
    }
  });
  ASSERT_GT(topNodes, 0);
  EXPECT_NEAR(topStress, 1200.0 / 11.0, 1e-9);
}

TEST_F(ElasticBending, RestrainedMomentsOfASymmetricSection) {
  rectangle();
  ASSERT_TRUE(root->forceRecalcProperties());
  CSectionForces sf;
  // Along a principal axis the moment is all about that axis.
  root->calcRestrainedMoments(&sf, 0.0, 1000.0);
  EXPECT_NEAR(sf.Mx, 1000.0, 1e-9);
  EXPECT_NEAR(sf.My, 0.0, 1e-9);
  // At 45 degrees: tan(psi) = Iy / Ix (about the other axis) = 4.
  root->calcRestrainedMoments(&sf, 45.0, 1000.0);
  const double psi = std::atan(4.0), total = 1000.0 / std::cos(psi - M_PI / 4);
  EXPECT_NEAR(sf.Mx, total * std::cos(psi), 1e-9);
  EXPECT_NEAR(sf.My, total * std::sin(psi), 1e-9);
  // The unrestrained neutral axis of those moments lies at 45 degrees.
  root->calcNeutralAxisAngle(&sf, false);
  EXPECT_NEAR(sf.neutralAxisAngle, 45.0, 1e-9);
  EXPECT_NEAR(sf.valueA, 1000.0, 1e-9);
}

TEST_F(ElasticBending, ResultantMomentsTakeTheAppliedSigns) {
  rectangle();
  root->applyUnrestrainedBendingForces(L"My", 0.0, 300.0, 1000.0, false);
  double Mx = 0, My = 0, P = 0;
  root->calcResultantMomentsForces(&Mx, &My, &P);
  EXPECT_NEAR(P, 0.0, 1e-6);
  EXPECT_NEAR(Mx, 300.0, 1.5);
  EXPECT_NEAR(My, 1000.0, 5.0);
  // An axial force alone has no moment about the centroid.
  root->applyUnrestrainedBendingForces(L"P", 500.0, 0.0, 0.0, false);
  root->calcResultantMomentsForces(&Mx, &My, &P);
  EXPECT_NEAR(P, 500.0, 1e-9);
  EXPECT_NEAR(Mx, 0.0, 1e-9);
  EXPECT_NEAR(My, 0.0, 1e-9);
}

TEST_F(ElasticBending, YieldAndUltimateWarnings) {
  mesh(box(0, 0, 10, 5, steel));
  CSectionForces* sf = root->applyUnrestrainedBendingForces(L"w", 0.0, 1000.0, 0.0, false);
  double top = -1e20;
  eachNode([&](CFENodeAnalysis& n) { top = std::max(top, n.result(nullptr, STRESS_ZZ)); });
  // Exactly at yield: no warning.
  steel->Fty_L = steel->Fcy_L = top;
  root->applyElasticBendingForces(sf);
  EXPECT_TRUE(sf->yieldWarning.IsEmpty());
  // Just over: one entry, however many nodes pass it.
  steel->Fty_L = steel->Fcy_L = top * (1 - 1e-9);
  steel->Ftu_L = steel->Fcu_L = top * (1 - 1e-9);
  root->applyElasticBendingForces(sf);
  EXPECT_EQ(sf->yieldWarning, L"Yield stress exceeded for steel");
  EXPECT_EQ(sf->ultimateWarning, L"Ultimate stress exceeded for steel\n");
  // An unset allowable checks nothing.
  steel->Fcu_L = -99999.0;
  root->applyElasticBendingForces(sf);
  EXPECT_TRUE(sf->ultimateWarning.IsEmpty());
}

TEST_F(ElasticBending, WarningNamesMatchWhole) {
  auto t3 = metal(L"2024-T3", kE, 2.0, 3.0), plain = metal(L"2024", kE, 2.0, 3.0);
  mesh(box(0, 0, 10, 5, t3));
  mesh(box(10, 0, 20, 5, plain));
  CSectionForces* sf = root->applyUnrestrainedBendingForces(L"w", 0.0, 1000.0, 0.0, false);
  EXPECT_EQ(sf->yieldWarning, L"Yield stress exceeded for 2024-T3Yield stress exceeded for 2024");
  EXPECT_EQ(sf->ultimateWarning, L"Ultimate stress exceeded for 2024-T3\nUltimate stress exceeded for 2024\n");
}

TEST_F(ElasticBending, RefusalsLeaveNoLoadCondition) {
  mesh(box(0, 0, 10, 5, steel), QUAD4);
  EXPECT_EQ(thrown([&] { root->applyUnrestrainedBendingForces(L"q", 0, 1000, 0, false); }),
            "Bending analyses need triangle meshes: mesh the section with triangles.");
  EXPECT_TRUE(root->loadConditions.empty());

  CSectionForces sf;
  root->scnPrpUTD(false);
  EXPECT_EQ(thrown([&] { root->applyElasticBendingForces(&sf); }), "Section properties are not up to date.");
  EXPECT_EQ(thrown([&] { root->pointBendingStress(&sf, 1, 1, nullptr); }), "Section Force type is not recognized");
}

TEST_F(ElasticBending, StoredConditionKeepsFlagAndMoments) {
  rectangle();
  root->applyUnrestrainedBendingForces(L"kept", 0.0, 600.0, 800.0, true);
  CMemFile f;
  {
    CArchive ar(&f, CArchive::store);
    root->writeLoadConditions(ar);
    ar.Close();
  }
  const std::vector<BYTE> bytes = f.GetBytes();
  CMemFile in(bytes.data(), static_cast<UINT>(bytes.size()));
  CArchive ar(&in, CArchive::load);
  CSubSection back;
  back.readLoadConditions(ar);
  ASSERT_EQ(back.loadConditions.size(), 1u);
  const CSectionForces* sf = back.loadConditions[0]->scnForces();
  ASSERT_NE(sf, nullptr);
  EXPECT_TRUE(sf->option);
  // tan t = (My / Iy) / (Mx / Ix); the moment about the axis Mx cos t + My sin t.
  const double t = std::atan((800.0 / (1250.0 / 3)) / (600.0 / (312.5 / 3)));
  EXPECT_NEAR(sf->valueA, 600.0 * std::cos(t) + 800.0 * std::sin(t), 1e-9);
  EXPECT_NEAR(sf->valueB, 1000.0, 1e-9);
}

TEST_F(ElasticBending, ResultLocationsAndPointLookUps) {
  rectangle();
  root->applyUnrestrainedBendingForces(L"Mx", 0.0, 1000.0, 0.0, false);
  // Inside an element the linear field is interpolated exactly.
  EXPECT_NEAR(root->pointElasticBendingStress(3.3, 4.1), 24.0 * 1.6 / 2.5, 1e-9);
  EXPECT_NEAR(root->pointElasticBendingStrain(3.3, 4.1), 24.0 * 1.6 / 2.5 / kE, 1e-15);
  EXPECT_EQ(root->getMaterialAtLocation(3.3, 4.1), steel.get());
  root->addResultLocation(3.3, 4.1, false);
  const CResultLocation* r = root->resultLocations.back();
  EXPECT_EQ(r->label, CString(std::to_wstring(r->index).c_str()));
  EXPECT_NEAR(r->value, 24.0 * 1.6 / 2.5, 1e-9);
  EXPECT_NEAR(r->value2, 24.0 * 1.6 / 2.5 / kE * 1000.0, 1e-12);
  EXPECT_EQ(r->material, steel.get());
  // Outside every element, the closest node answers.
  Point<double> far(30.0, 5.0, 0.0);
  EXPECT_EQ(root->findClosestNode(far)->position, Point<double>(10.0, 5.0, 0.0));
  EXPECT_NEAR(root->pointElasticBendingStress(30.0, 5.0), 24.0, 1e-9);
}

TEST_F(ElasticBending, ExtremesByMaterialAndFarthestNodes) {
  rectangle();
  root->applyUnrestrainedBendingForces(L"Mx", 0.0, 1000.0, 0.0, false);
  root->findExtremeValuesForMaterials();
  root->updateMaterialMaxMinValues();
  ASSERT_EQ(root->extremeValues.size(), 1u);
  const auto* r = dynamic_cast<CMaterialMaxMinValues*>(root->extremeValues[0]);
  ASSERT_NE(r, nullptr);
  EXPECT_NEAR(r->maxStress, 24.0, 1e-9);
  EXPECT_NEAR(r->minStress, -24.0, 1e-9);
  EXPECT_NEAR(r->minStrain, -24.0 / kE, 1e-15);
  EXPECT_EQ(r->maxStressPoint.y, 5.0);
  EXPECT_EQ(r->minStrainPoint.y, 0.0);

  Point<double> c(5.0, 2.5, 0.0);
  EXPECT_EQ(root->mostDistantPointFromNeutralAxis(c, 0.0, 0, true, true)->position.y, 5.0);
  EXPECT_EQ(root->mostDistantPointFromNeutralAxis(c, 0.0, 0, false, true)->position.y, 0.0);
  Point<double> outside(5.0, 9.0, 0.0);
  EXPECT_EQ(thrown([&] { root->mostDistantPointFromNeutralAxis(outside, 0.0, 0, true, true); }),
            "unable to find point at max distance from NA");
}

TEST_F(ElasticBending, CriticalPoints) {
  Point<double> top(5.0, 5.0, 0.0), bottom(5.0, 0.0, 0.0);
  root->addCriticalPoint(top, 0.0);
  root->addCriticalPoint(bottom, -0.004);
  CSectionForces sf;
  sf.neutralPoint = Point<double>(0.0, 2.5, 0.0);
  root->getCriticalPointActuals(&sf, 2.5, 0.005);
  EXPECT_NEAR(root->criticalPoints[0]->actual, 0.005, 1e-15);
  EXPECT_NEAR(root->criticalPoints[1]->actual, -0.005, 1e-15);
  // The bottom point's allowable -0.004 is passed; allowable 0 never fails.
  EXPECT_FALSE(root->checkCriticalPoints());
  root->criticalPoints[1]->actual = -0.003;
  EXPECT_TRUE(root->checkCriticalPoints());
  // The compression point limits the strain at 2.5 to 0.004; the point
  // without an allowable limits nothing.
  double limit = 1.0;
  Point<double> axis(0.0, 2.5, 0.0);
  root->computeMaxTensileStrainFromCriticalPoints(axis, 0.0, 2.5, 0.005, &limit);
  EXPECT_NEAR(limit, 0.004, 1e-15);
}

TEST_F(ElasticBending, ExtremesWithAndWithoutMesh) {
  rectangle();
  CSectionForces* sf = root->applyUnrestrainedBendingForces(L"Mx", 0.0, 1000.0, 0.0, false);
  EXPECT_NEAR(sf->maxStress, 24.0, 1e-9);
  EXPECT_NEAR(sf->minStress, -24.0, 1e-9);
  EXPECT_EQ(sf->maxStressPoint.y, 5.0);
  EXPECT_EQ(sf->minStressPoint.y, 0.0);
  EXPECT_NEAR(sf->maxStrain, 24.0 / kE, 1e-15);
  ASSERT_EQ(root->resultLocations.size(), 2u);
  const CResultLocation* lo = root->resultLocations[0];
  const CResultLocation* hi = root->resultLocations[1];
  EXPECT_EQ(lo->label, L"Min Stress Location");
  EXPECT_EQ(hi->label, L"Max Stress Location");
  EXPECT_EQ(hi->index, 1);
  EXPECT_NEAR(lo->value, -24.0, 1e-9);
  EXPECT_NEAR(hi->value2, 24.0 / kE * 1000.0, 1e-12);
  EXPECT_EQ(hi->location.y, 5.0);
  EXPECT_EQ(hi->material, steel.get());

  // The same rectangle without a mesh: the extreme fibres of the outline.
  root->deleteMesh();
  gUnitSystem = SI;
  sf = root->applyUnrestrainedBendingForces(L"bare", 0.0, 1000.0, 0.0, false);
  EXPECT_NEAR(sf->maxStress, 240.0, 1e-9);
  EXPECT_NEAR(sf->minStress, -240.0, 1e-9);
  EXPECT_EQ(sf->maxStressPoint.y, 5.0);
  EXPECT_EQ(sf->maxNode, nullptr);
  ASSERT_EQ(root->resultLocations.size(), 2u);
  EXPECT_NEAR(root->resultLocations[1]->value, 240.0, 1e-9);
  EXPECT_EQ(root->resultLocations[1]->location.y, 5.0);
  EXPECT_EQ(root->resultLocations[1]->material, steel.get());
  EXPECT_EQ(sf->neutralPoint, Point<double>(-999.0, -999.0, 0.0));
}

TEST_F(ElasticBending, ExtremesByShape) {
  CShapeAnalysis* b = box(0, 0, 10, 5, steel);
  mesh(b);
  CString current = root->name();
  model.setSubSection(current);
  CShapeAnalysis* shape = b;
  double value = 1.0, other = 1.0;
  // No applied load yet: nothing found.
  root->findExtremeShape(1, &shape, &value, &other);
  EXPECT_EQ(shape, nullptr);
  EXPECT_EQ(value, 0.0);
  root->applyUnrestrainedBendingForces(L"Mx", 0.0, 1000.0, 0.0, false);
  double lo = 0, hi = 0;
  root->extremeBendingStress(root->appliedLoad().get(), &lo, &hi);
  EXPECT_NEAR(lo, -24.0, 1e-9);
  EXPECT_NEAR(hi, 24.0, 1e-9);
  root->findExtremeShape(0, &shape, &value, &other);
  EXPECT_EQ(shape, b);
  EXPECT_NEAR(value, -24.0, 1e-9);
  CObject* found = nullptr;
  root->findExtreme(1, &found, &value, &other);
  EXPECT_EQ(found, b);
  EXPECT_NEAR(value, 24.0, 1e-9);
}

TEST_F(ElasticBending, SplitMaterialNodesCarryOneResultPerElement) {
  auto stiff = metal(L"stiff", 2 * kE);
  mesh(box(0, 0, 10, 5, steel));
  mesh(box(10, 0, 20, 5, stiff));
  Point<double> c1(9.9, -0.1, 0.0), c2(10.1, 5.1, 0.0);
  ASSERT_TRUE(root->createWeld(c1, c2));
  root->executeWelds();
  ASSERT_EQ(root->meshes.size(), 1u);
  // Modulus-weighted Ixx about the centroid (y = 2.5): 3 x 312.5 / 3 = 312.5.
  root->applyUnrestrainedBendingForces(L"Mx", 0.0, 1000.0, 0.0, false);
  int split = 0;
  eachNode([&](CFENodeAnalysis& n) {
    const double base = 1000.0 * (n.position.y - 2.5) / 312.5;
    if (!n.isSplitMaterial()) {
      const double ratio = n.material() == stiff.get() ? 2.0 : 1.0;
      EXPECT_NEAR(n.result(nullptr, STRESS_ZZ), ratio * base, 1e-9);
      return;
    }
    ++split;
    EXPECT_EQ(n.position.x, 10.0);
    ASSERT_EQ(n.elementResults.size(), n.elements.size());
    for (CFEElementAnalysis* e : n.elements) {
      const double ratio = e->material == stiff.get() ? 2.0 : 1.0;
      EXPECT_NEAR(n.result(e, STRESS_ZZ), ratio * base, 1e-9);
      // The strain is continuous across the joint.
      EXPECT_NEAR(n.result(e, STRAIN_ZZ), base / kE, 1e-15);
    }
  });
  EXPECT_GT(split, 1);
}

// An axial load alone leaves no zero-stress line in the section: the
// neutral-axis angle keeps its value instead of failing the analysis.
TEST_F(ElasticBending, AxialLoadAloneKeepsTheNeutralAxisAngle) {
  rectangle();
  root->applyUnrestrainedBendingForces(L"P", 500.0, 0.0, 0.0, false);
  CSectionForces* sf = root->appliedLoad()->scnForcesMutable();
  sf->resultantNeutralAxisAngle = 12.5;
  EXPECT_NO_THROW(root->findNeutralAxisAngle());
  EXPECT_EQ(sf->resultantNeutralAxisAngle, 12.5);
}

TEST_F(ElasticBending, ForceInABoxAndSplitSums) {
  rectangle();
  root->applyUnrestrainedBendingForces(L"Mx", 0.0, 1000.0, 0.0, false);
  root->findNeutralAxisAngle();
  EXPECT_NEAR(root->appliedLoad()->scnForces()->resultantNeutralAxisAngle, 0.0, 1e-9);
  // The upper half: 10 x the integral of 9.6 (y - 2.5) from 2.5 to 5.
  Point<double> a(-1.0, 2.5, 0.0), b(11.0, 6.0, 0.0);
  double force = 0, moment1 = 0, moment2 = 0;
  bool multiple = false;
  root->boxForce(a, b, &force, &moment1, &moment2, &multiple);
  EXPECT_NEAR(force, 300.0, 1e-6);
  double r[12];
  root->calcAreaAndForceAboutLine(false, Point<double>(-1, 2.5, 0), Point<double>(11, 2.5, 0), &r[0], &r[1], &r[2],
                                  &r[3], &r[4], &r[5], &r[6], &r[7], &r[8], &r[9], &r[10], &r[11]);
  // The weighted areas of the two sides.
  EXPECT_NEAR(r[1] + r[7], 50.0, 1e-9);
  EXPECT_NEAR(r[1], 25.0, 1e-9);
}

TEST_F(ElasticBending, UnionCornersAndPointForces) {
  EXPECT_ANY_THROW(root->getPoint(0));
  // A formed section without a union shape to take two vertices from.
  root->sectionKind = 11;
  EXPECT_THROW(root->getArguments(), CInvalidArgException);
  root->sectionKind = 0;
  EXPECT_NO_THROW(root->getArguments());
  CList<CCompositeCurve*> curves;
  curves.AddTail(union_test::signedCurve(union_test::polylineRectangle(0, 0, 10, 5), 1));
  root->createUnion(&curves, steel);
  EXPECT_EQ(root->getPoint(0), Point<double>(0, 0, 0));
  EXPECT_EQ(root->getPoint(3), Point<double>(0, 5, 0));
  EXPECT_ANY_THROW(root->getPoint(4));
  EXPECT_ANY_THROW(root->getPoint(-1));
  root->sectionKind = 11;
  EXPECT_NO_THROW(root->getArguments());
  // A union outline of one curved arc has a single vertex: too few.
  CList<CCompositeCurve*> disc;
  disc.AddTail(union_test::signedCurve(composite_test::circle(composite_test::P(20, 20), 1), 1));
  root->createUnion(&disc, steel);
  EXPECT_THROW(root->getArguments(), CInvalidArgException);

  root->addLoadCondition(LoadCase, L"case");
  CString name(L"F");
  Point<double> dir(0, 0, 1);
  auto* f = new CPointForce(name, 1, 2, 0, 100, &dir);
  root->loadConditions[0]->append(f);
  EXPECT_EQ(root->findPointForce(f->id()), f);
  EXPECT_EQ(root->findPointForce(f->id() + 1), nullptr);
}
