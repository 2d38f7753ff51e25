// The automation methods that read section properties and bending results,
// manage loads, mesh and weld, and the view's undo, redo and mesh deletion.
#include <cmath>

#include "analysis/model/CSectionForces.h"

#include "lorimant/automation/LorimantTypeLibrary.h"
#include "test_automation_analyses_support.h"

using namespace analysis_methods_test;

namespace {

// An I section of three rectangles: flanges 10 x 1 at the bottom and the
// top, a web 0.5 x 8 between them. Closed forms about the centroid (5, 5):
// A = 24, Ix = 2 (10/12 + 10 x 4.5^2) + 0.5 x 8^3 / 12 = 428,
// Iy = 2 x 10^3 / 12 + 8 x 0.5^3 / 12 = 166.75.
class AutomationAnalyses : public AnalysisMethodsTest {
 protected:
  void iSection() {
    solid(root(), L"bottom", 0, 0, 10, 1);
    solid(root(), L"top", 0, 9, 10, 1);
    solid(root(), L"web", 4.75, 1, 0.5, 8);
    ASSERT_EQ(invoke(L"ComputeGeomSectionProperties", {}), S_OK) << CString(excep.bstrDescription).ToUtf8();
  }
  // A 4 x 2 alloy rectangle meshed in root.
  void meshedRectangle() {
    solid(root(), L"plate", 0, 0, 4, 2);
    ASSERT_EQ(invoke(L"MeshShape", {COleVariant(L"plate"), I2(TRIANGLE_3NODES), I4(5), COleVariant(0.01),
                                    COleVariant(0.5)}),
              S_OK)
        << CString(excep.bstrDescription).ToUtf8();
    ASSERT_FALSE(root()->meshes.empty());
  }
};

TEST_F(AutomationAnalyses, GetValueOfAnISectionGivesItsClosedForms) {
  iSection();
  const double A = 24, Ix = 428, Iy = 166.75;
  const struct {
    int id;
    double expected;
  } cases[] = {
      {SA_Area, A},
      {SA_AreaCGx, 5},
      {SA_AreaCGy, 5},
      {SA_Area2ndMomentOfInertiaAboutXc, Ix},
      {SA_Area2ndMomentOfInertiaAboutYc, Iy},
      {SA_Area2ndMomentOfInertiaAboutXcYc, 0},
      {SA_AreaMaximum2ndMomentOfInertia, Ix},
      {SA_AreaMinumum2ndMomentOfInertia, Iy},
      {SA_AreaRadiusGyrationAboutX, std::sqrt(Ix / A)},
      {SA_AreaRadiusGyrationAboutY, std::sqrt(Iy / A)},
      {SA_AreaRadiusGyrationAboutPrincipalMin, std::sqrt(Iy / A)},
      {SA_AreaRadiusGyrationAboutPrincipalMax, std::sqrt(Ix / A)},
      {SA_AreaPolarMomentOfInertia, Ix + Iy},
      {SA_AreaPolarRadiusGyration, std::sqrt((Ix + Iy) / A)},
      {SA_Area1stMomentOfInertiaAboutX, 5 * A},
      {SA_Area1stMomentOfInertiaAboutY, 5 * A},
      {SA_Area2ndMomentOfInertiaAboutXAxis, Ix + 25 * A},
      {SA_Area2ndMomentOfInertiaAboutYAxis, Iy + 25 * A},
      {SA_Elastic2ndMomentOfInertiaAboutCentroidalX_EIx, Ix},
      {SA_Elastic2ndMomentOfInertiaAboutCentroidalY_EIy, Iy},
  };
  for (const auto& c : cases) EXPECT_NEAR(value(L"GetValue", {I2(c.id)}), c.expected, 1e-4) << c.id;
}

TEST_F(AutomationAnalyses, GetValueRefusesUnknownIdsAndLoadValuesWithoutALoad) {
  iSection();
  for (int id : {12, 13, 26, 27, 28, 32, 33, 62, 63, 30, 31, 58, 61, 0, 73}) {
    COleVariant result;
    expectRefused(invoke(L"GetValue", {I2(id)}, &result), 1, L"GetValue has unrecognized valueID");
  }
  // With a current load condition the neutral-axis values are read.
  ASSERT_EQ(invoke(L"CreateFatSectionLoad", {COleVariant(L"LC"), COleVariant(0.0), COleVariant(0.0),
                                             COleVariant(0.0), COleVariant(5.0), COleVariant(0.0), COleVariant(0.0)}),
            S_OK);
  root()->curAppLC()->scnForcesMutable()->neutralPoint = Point<double>(1.5, 2.5, 0);
  EXPECT_EQ(value(L"GetValue", {I2(SA_PlasticCentroidalPointNeutralAxisX_PNAx)}), 1.5);
  EXPECT_EQ(value(L"GetValue", {I2(SA_PlasticCentroidalPointNeutralAxisY_PNAy)}), 2.5);
}

TEST_F(AutomationAnalyses, BendingAnalysisResultReadsTheNamedSectionForces) {
  iSection();
  ASSERT_EQ(invoke(L"CreateFatSectionLoad", {COleVariant(L"LC"), COleVariant(1.0), COleVariant(2.0),
                                             COleVariant(3.0), COleVariant(4.0), COleVariant(6.0), COleVariant(7.0)}),
            S_OK);
  EXPECT_EQ(value(L"BendingAnalysisResult", {COleVariant(L"LC"), I2(BA_MomentAboutXAxis)}), 4.0);
  EXPECT_EQ(value(L"BendingAnalysisResult", {COleVariant(L"LC"), I2(BA_MomentAboutYAxis)}), 6.0);
  EXPECT_EQ(value(L"BendingAnalysisResult", {COleVariant(L"LC"), I2(BA_MinStrainLocationX)}), 0.0);
  COleVariant r;
  for (int id : {BA_COZZONE_RUPTUREMODULUSABOUTYP, BA_COZZONE_RUPTUREMOMENTABOUTYP})
    expectRefused(invoke(L"BendingAnalysisResult", {COleVariant(L"LC"), I2(id)}, &r), 1, L"Unsupported result.");
  expectRefused(invoke(L"BendingAnalysisResult", {COleVariant(L"none"), I2(BA_MinStress)}, &r), 1,
                L"Load condition does not exist does not exist.");
  // Deleting the load makes its name unknown and leaves nothing applied.
  ASSERT_EQ(invoke(L"DeleteLoad", {COleVariant(L"LC")}), S_OK);
  EXPECT_FALSE(root()->curAppLC());
  expectRefused(invoke(L"DeleteLoad", {COleVariant(L"LC")}), 1, L"Load condition does not exist.");
}

TEST_F(AutomationAnalyses, MeshShapeFindsShapesInTheCurrentSubSectionOnly) {
  solid(root(), L"inRoot", 0, 0, 2, 1);
  auto* other = new CSubSection(model(), root());
  other->name(L"other");
  root()->addChildSubSection(other);
  model()->subSections.push_back(other);
  CString name = L"other";
  model()->setSubSection(name);
  expectRefused(invoke(L"MeshShape", {COleVariant(L"inRoot"), I2(TRIANGLE_3NODES), I4(5), COleVariant(0.01),
                                      COleVariant(0.5)}),
                1001, L"Object not found");
  EXPECT_TRUE(root()->meshes.empty());
  EXPECT_TRUE(other->meshes.empty());
}

TEST_F(AutomationAnalyses, ValuesAtLocationsOfAMeshUnderAxialLoad) {
  meshedRectangle();
  // An axial force of 8 on 8 square units: a stress of 1 everywhere (US units).
  ASSERT_EQ(invoke(L"ApplyUnrestrainedBendingForces", {COleVariant(L"root"), COleVariant(L"axial"), COleVariant(8.0),
                                                       COleVariant(0.0), COleVariant(0.0), I4(1)}),
            S_OK)
      << CString(excep.bstrDescription).ToUtf8();
  EXPECT_NEAR(value(L"GetValueAtLocation", {I2(QHT_STRESSZZ), COleVariant(1.3), COleVariant(0.7)}), 1.0, 1e-9);
  EXPECT_NEAR(value(L"GetValueAtLocation", {I2(QHT_STRAINZZ), COleVariant(1.3), COleVariant(0.7)}), 1e-4, 1e-12);
  COleVariant r;
  expectRefused(invoke(L"GetValueAtLocation", {I2(QHT_STRESSZZ), COleVariant(5.0), COleVariant(1.0)}, &r), 1002,
                L"Location does not lie inside of any triangle");
  double mx = 0, mn = 0;
  ASSERT_EQ(invoke(L"ExtremeValues", {I2(QHT_STRESSZZ), COleVariant::ByRef(&mx), COleVariant::ByRef(&mn)}), S_OK)
      << CString(excep.bstrDescription).ToUtf8();
  EXPECT_NEAR(mx, 1.0, 1e-9);
  EXPECT_NEAR(mn, 1.0, 1e-9);
}

TEST_F(AutomationAnalyses, BoxSumsAndLinePlotOfAnAxialStress) {
  openView();
  meshedRectangle();
  COleVariant r;
  expectRefused(invoke(L"BendingBoxForce", {COleVariant(-1.0), COleVariant(-1.0), COleVariant(5.0), COleVariant(3.0)},
                       &r),
                1, L"There is no current load condition.");
  ASSERT_EQ(invoke(L"ApplyUnrestrainedBendingForces", {COleVariant(L"root"), COleVariant(L"axial"), COleVariant(8.0),
                                                       COleVariant(0.0), COleVariant(0.0), I4(1)}),
            S_OK);
  // Stress 1 over the whole 4 x 2 plate, then over its left half.
  EXPECT_NEAR(value(L"BendingBoxForce", {COleVariant(-1.0), COleVariant(-1.0), COleVariant(5.0), COleVariant(3.0)}),
              8.0, 1e-9);
  EXPECT_NEAR(value(L"BendingBoxForce", {COleVariant(-1.0), COleVariant(-1.0), COleVariant(2.0), COleVariant(3.0)}),
              4.0, 1e-9);
  ASSERT_EQ(invoke(L"LinePlot", {COleVariant(0.1), COleVariant(1.0), COleVariant(3.9), COleVariant(1.0),
                                 I2(QHT_STRESSZZ)}),
            S_OK)
      << CString(excep.bstrDescription).ToUtf8();
  EXPECT_EQ(records(0x40000000u).size(), 1u);
}

TEST_F(AutomationAnalyses, CozzoneNeedsAnFoUltimateOfAtLeastOne) {
  meshedRectangle();
  for (double fo : {0.5, std::nan("")})
    expectRefused(invoke(L"ComputeCozzonePlasticMomentsGivenFo", {COleVariant(60.0), COleVariant(fo)}), 1,
                  L"At a minimum you must provide a value for fo Ultimate");
  EXPECT_EQ(invoke(L"ComputeCozzonePlasticMomentsGivenFo", {COleVariant(60.0), COleVariant(1.0)}), S_OK)
      << CString(excep.bstrDescription).ToUtf8();
  EXPECT_EQ(root()->displayedResult, STRESS_ZZ);
}

TEST_F(AutomationAnalyses, PlasticValuesOfAMeshedRectangle) {
  meshedRectangle();
  ASSERT_EQ(invoke(L"ComputeAllSectionProperties", {COleVariant(L"root")}), S_OK)
      << CString(excep.bstrDescription).ToUtf8();
  // A rectangle's plastic modulus is 1.5 times its elastic one: b h^2 / 4.
  EXPECT_NEAR(value(L"GetValue", {I2(SA_PlasticShapeFactorAboutPlasticCentroidalX_Kx)}), 1.5, 1e-3);
  EXPECT_NEAR(value(L"GetValue", {I2(SA_PlasticShapeFactorAboutPlasticCentroidalY_Ky)}), 1.5, 1e-3);
  EXPECT_NEAR(value(L"GetValue", {I2(SA_PlasticSectionModulusAboutPlasticCentroidalX_Zx)}), 4 * 2 * 2 / 4.0, 1e-3);
  EXPECT_NEAR(value(L"GetValue", {I2(SA_PlasticSectionModulusAboutPlasticCentroidalY_Zy)}), 2 * 4 * 4 / 4.0, 1e-3);
  expectRefused(invoke(L"ComputeAllSectionProperties", {COleVariant(L"none")}), 1, L"SubSection doesn't exist");
}

TEST_F(AutomationAnalyses, WeldsAreRefusedWhereNoTwoMeshesMeet) {
  meshedRectangle();
  expectRefused(invoke(L"CreateWeld", {COleVariant(10.0), COleVariant(10.0), COleVariant(11.0), COleVariant(11.0)}),
                1001, L"The weld rectangle must contain only border elements of two meshes");
  EXPECT_TRUE(root()->welds.empty());
  EXPECT_EQ(invoke(L"DeleteWelds", {}), S_OK);
}

TEST_F(AutomationAnalyses, ClearAllEmptiesAModelWithShapesAndKeepsRoot) {
  solid(root(), L"a", 0, 0, 1, 1);
  solid(root(), L"b", 2, 0, 1, 1);
  ASSERT_EQ(invoke(L"ClearAll", {}), S_OK) << CString(excep.bstrDescription).ToUtf8();
  EXPECT_TRUE(model()->shapes.IsEmpty());
  ASSERT_NE(model()->rootSubSection(), nullptr);
  EXPECT_EQ(model()->subSections.size(), 1u);
}

class AutomationUndo : public AutomationAnalyses {};

TEST_F(AutomationUndo, UndoRemovesTheRectangleAndRedoBringsItBack) {
  openView();
  doc->ModelChanged();  // the empty section's snapshot
  bare(root(), L"r", 0, 0, 2, 1);
  doc->ModelChanged();
  ASSERT_EQ(invoke(L"Undo", {}), S_OK) << CString(excep.bstrDescription).ToUtf8();
  EXPECT_EQ(model()->findShape(L"r"), nullptr);
  ASSERT_NE(model()->rootSubSection(), nullptr);
  ASSERT_EQ(invoke(L"Redo", {}), S_OK) << CString(excep.bstrDescription).ToUtf8();
  ASSERT_NE(model()->findShape(L"r"), nullptr);
  EXPECT_TRUE(journalled("xscn.Undo"));
  EXPECT_TRUE(journalled("xscn.Redo"));
}

TEST_F(AutomationUndo, NothingToUndoOrRedoLeavesTheSectionAsItIs) {
  openView();
  bare(root(), L"r", 0, 0, 2, 1);
  ASSERT_FALSE(doc->CanRedo());
  for (const wchar_t* name : {L"Redo", L"Undo", L"Undo"}) {
    ASSERT_EQ(invoke(name, {}), S_OK);
    EXPECT_NE(model()->findShape(L"r"), nullptr) << CString(name).ToUtf8();
  }
}

TEST_F(AutomationUndo, DeleteMeshesLeavesNoMeshAndNoMeshRecord) {
  openView();
  meshedRectangle();
  view->RebuildAndRedraw();
  ASSERT_FALSE(records(SectionRecord::kMesh).empty());
  ASSERT_EQ(invoke(L"DeleteMeshes", {}), S_OK);
  EXPECT_TRUE(root()->meshes.empty());
  EXPECT_TRUE(records(SectionRecord::kMesh).empty());
  EXPECT_TRUE(journalled("xscn.DeleteMeshes"));
}

}  // namespace
