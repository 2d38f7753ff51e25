// Section properties of sub-sections against closed forms. Here "Ixx" is the
// integral of x² dA (values 60, 74) and "Iyy" that of y² dA (62, 76); a
// beam's usual Ix is value 62.
#include <numbers>
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CMetal.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "test_relative.h"
#include "platform/core/Hooks.h"
#include "platform/ole/COleDispatchException.h"

namespace {


struct Sections : ::testing::Test {
  CXSectionAnalysis model;
  CSubSection* root = model.rootSubSection();
  int count = 0;

  CShapeAnalysis* poly(std::vector<Point<double>> pts, bool hole = false, CSubSection* into = nullptr) {
    auto* s = new CShapeAnalysis(&model);
    s->polygon(into ? into : root, CString(("q" + std::to_string(++count)).c_str()), pts.data(),
               static_cast<int>(pts.size()), hole ? 1 : 0, nullptr);
    return s;
  }
  CShapeAnalysis* box(double x0, double y0, double x1, double y1, bool hole = false, CSubSection* into = nullptr) {
    return poly({{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}}, hole, into);
  }
  CShapeAnalysis* disk(double r, double x = 0, double y = 0, bool hole = false) {
    auto* s = new CShapeAnalysis(&model);
    CString n(("d" + std::to_string(++count)).c_str());
    s->sector(root, &model, n, x, y, r, 0, 0, 0, 0, qhtShapeDisk, 0, 1, 0, hole);
    return s;
  }
  double v(int id) const { return root->getValue(id); }
  void compute() { ASSERT_TRUE(root->forceRecalcProperties()); }
};

}  // namespace

TEST_F(Sections, SquareHasPrincipalAngleExactly45) {
  box(0, 0, 2, 2);
  EXPECT_EQ(v(40), -1000.0);
  compute();
  EXPECT_TRUE(root->scnPrpUTD());
  EXPECT_DOUBLE_EQ(v(17), 4.0);
  for (int id : {132, 133, 135, 136})
    EXPECT_DOUBLE_EQ(v(id), 1.0);
  EXPECT_EQ(v(39), 45.0);
  EXPECT_EQ(v(40), 45.0);
  EXPECT_EQ(root->principalAngleE(), 45.0);
  EXPECT_EQ(root->centroid, Point<double>(1, 1, 0));
}

TEST_F(Sections, RectangleRadiiPolarAndModuli) {
  box(0, 0, 10, 5);
  compute();
  expectRel(v(60), 1250.0 / 3.0, 1e-12);
  expectRel(v(62), 312.5 / 3.0, 1e-12);
  expectRel(v(52), 2.886751345948129, 1e-12);  // IrxA: sqrt(Ixx / A)
  expectRel(v(53), 1.443375672974064, 1e-12);
  expectRel(v(169), 1562.5 / 3.0, 1e-12);
  expectRel(root->elasticModulusX, 250.0 / 3.0, 1e-12);
  expectRel(root->elasticModulusY, 125.0 / 3.0, 1e-12);
  EXPECT_EQ(v(40), 0.0);
  expectRel(v(141), 1250.0 / 3.0, 1e-12);
  expectRel(v(142), 312.5 / 3.0, 1e-12);
  expectRel(root->plasticZx, 5 * 100 / 4.0, 1e-12);
  expectRel(root->plasticZy, 10 * 25 / 4.0, 1e-12);
}

TEST_F(Sections, IBeamAsOnePolygon) {
  poly({{0, 0, 0}, {10, 0, 0}, {10, 1, 0}, {5.5, 1, 0}, {5.5, 9, 0}, {10, 9, 0}, {10, 10, 0},
        {0, 10, 0}, {0, 9, 0}, {4.5, 9, 0}, {4.5, 1, 0}, {0, 1, 0}});
  compute();
  expectRel(v(17), 28.0, 1e-12);
  expectRel(v(60), 502.0 / 3.0, 1e-12);
  expectRel(v(62), 1348.0 / 3.0, 1e-12);
  expectRel(root->elasticModulusX, 502.0 / 15.0, 1e-12);
  expectRel(root->elasticModulusY, 1348.0 / 15.0, 1e-12);
  expectRel(root->plasticZx, 52.0, 1e-12);
  expectRel(root->plasticZy, 106.0, 1e-12);
}

TEST_F(Sections, EqualAndUnequalAngles) {
  poly({{0, 0, 0}, {10, 0, 0}, {10, 1, 0}, {1, 1, 0}, {1, 10, 0}, {0, 10, 0}});
  compute();
  expectRel(v(17), 19.0, 1e-12);
  expectRel(v(132), 2.868421052631579, 1e-12);
  expectRel(v(133), 2.868421052631579, 1e-12);
  EXPECT_EQ(v(39), 45.0);
  expectRel(std::min(v(145), v(146)), 73.42543859649123, 1e-9);
  expectRel(std::max(v(145), v(146)), 286.5833333333333, 1e-9);
}

TEST_F(Sections, UnequalAngleTurnsBothWays) {
  CShapeAnalysis* a = poly({{0, 0, 0}, {10, 0, 0}, {10, 1, 0}, {1, 1, 0}, {1, 6, 0}, {0, 6, 0}});
  compute();
  expectRel(v(39), -19.644703, 1e-7);
  expectRel(v(145), 167.313352, 1e-8);
  expectRel(v(146), 25.186648, 1e-7);
  // Principal values are the eigenvalues of the centroidal tensor.
  const double xx = v(60), yy = v(62), xy = v(61);
  const double mean = (xx + yy) / 2, radius = std::hypot((xx - yy) / 2, xy);
  expectRel(v(145), mean + radius, 1e-12);
  expectRel(v(146), mean - radius, 1e-12);
  CString n = a->name();
  model.deleteShape(n);
  EXPECT_FALSE(root->scnPrpUTD());
  poly({{0, 0, 0}, {6, 0, 0}, {6, 1, 0}, {1, 1, 0}, {1, 10, 0}, {0, 10, 0}});
  compute();
  expectRel(v(39), 19.644703, 1e-7);
  expectRel(v(145), 25.186648, 1e-7);
  expectRel(v(146), 167.313352, 1e-8);
}

TEST_F(Sections, TeePlasticAxisIsTheEqualAreaAxis) {
  box(4, 0, 6, 8);    // web 2 x 8
  box(0, 8, 10, 10);  // flange 10 x 2 on top
  compute();
  expectRel(v(17), 36.0, 1e-12);
  expectRel(v(133), 6.777777777777778, 1e-12);
  expectRel(v(62), 314.2222222222222, 1e-12);
  expectRel(root->plasticCentroid.y, 8.2, 1e-12);
  expectRel(root->plasticCentroid.x, 5.0, 1e-12);
  expectRel(root->plasticZy, 83.6, 1e-12);
  // The elastic modulus from the lower fibre, 6.78 from the centroid.
  expectRel(root->elasticModulusY, 314.2222222222222 / 6.777777777777778, 1e-12);
}

TEST_F(Sections, HolesReduceSecondMoments) {
  box(0, 0, 10, 6);
  box(1, 1, 9, 5, true);
  compute();
  expectRel(v(17), 28.0, 1e-12);
  expectRel(v(60), 988.0 / 3.0, 1e-12);
  expectRel(v(62), 412.0 / 3.0, 1e-12);
  expectRel(root->plasticZx, 2 * (6 * 5 * 2.5 - 4 * 4 * 2), 1e-12);
}

TEST_F(Sections, TubeAndArcExtremeFibres) {
  disk(2, 1, 1);
  disk(1, 1, 1, true);
  compute();
  expectRel(v(17), 3 * std::numbers::pi, 1e-7);
  expectRel(v(60), 15 * std::numbers::pi / 4, 1e-7);
  expectRel(v(62), 15 * std::numbers::pi / 4, 1e-7);
  // The outer circle's extreme fibre lies 2 from the centre exactly.
  expectRel(root->elasticModulusX, 15 * std::numbers::pi / 8, 1e-7);
  expectRel(root->elasticModulusXp, 15 * std::numbers::pi / 8, 1e-7);
  expectRel(root->plasticZx, 4.0 / 3.0 * (8 - 1), 1e-6);
}

TEST_F(Sections, SmallSectionsKeepTheirPrincipalAxes) {
  box(0, 0, 0.1, 0.09);
  compute();
  EXPECT_NEAR(v(39), 0.0, 1e-9);
  expectRel(v(145), 0.09 * 0.001 / 12, 1e-12);
  expectRel(v(146), 0.1 * 0.09 * 0.09 * 0.09 / 12, 1e-12);
}

TEST_F(Sections, ValueIdsOutsideTheTableAreRefused) {
  box(0, 0, 1, 1);
  for (int id : {5, 206}) {
    try {
      v(id);
      ADD_FAILURE() << id;
    } catch (const COleDispatchException& e) {
      EXPECT_EQ(e.m_wCode, 1);
      EXPECT_EQ(e.m_strDescription, L"Invalid value type");
    }
  }
}

TEST_F(Sections, ZeroAreaAndSingularMaterialAreReportedAsFailures) {
  const std::size_t before = Hooks::messageBoxes().size();
  EXPECT_FALSE(root->computeProperties());  // no shapes
  EXPECT_FALSE(root->scnPrpUTD());
  poly({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}});  // no area
  EXPECT_FALSE(root->computeProperties());
  EXPECT_FALSE(root->scnPrpUTD());
  ASSERT_EQ(Hooks::messageBoxes().size(), before + 1);
  EXPECT_EQ(Hooks::messageBoxes().back().text, L"Section properties calculation failed: area is zero or negative ");

  CString n = root->shapeList.GetHead()->name();
  model.deleteShape(n);
  CShapeAnalysis* s = box(0, 0, 1, 1);
  auto metal = std::make_shared<CMetal>();
  metal->name = L"rubbery";
  metal->E(1.0);
  metal->nu(-1.0);
  model.materials.AddTail(metal);
  s->material(metal);
  EXPECT_FALSE(root->computeProperties());
  EXPECT_FALSE(root->scnPrpUTD());
  EXPECT_EQ(Hooks::messageBoxes().back().text, L"Matrix is singular");
}

TEST_F(Sections, ChangesMarkTheSubSectionAndItsAncestors) {
  auto* child = new CSubSection(&model, root);
  child->name(L"child");
  root->addChildSubSection(child);
  model.subSections.push_back(child);
  box(0, 0, 1, 1, false, child);
  compute();
  ASSERT_TRUE(child->forceRecalcProperties());
  child->translate(1.0, 0.0);
  EXPECT_FALSE(child->scnPrpUTD());
  EXPECT_FALSE(root->scnPrpUTD());
  compute();
  expectRel(v(132), 1.5, 1e-12);
  box(5, 0, 6, 1, false, child);
  EXPECT_FALSE(root->scnPrpUTD());
}

TEST_F(Sections, AFailedComputationLeavesTheGeometryAndFlagAlone) {
  CShapeAnalysis* s = box(0, 0, 4, 2);
  auto metal = std::make_shared<CMetal>();
  metal->name = L"unset";  // E and G not defined (negative)
  s->material(metal);
  const CCompositeCurve before(*s->boundary);
  EXPECT_THROW(root->compute(true, 5, true), std::logic_error);
  EXPECT_FALSE(root->scnPrpUTD());
  EXPECT_TRUE(*s->boundary == before);
  EXPECT_EQ(s->definingPoints.size(), 0u);
}

TEST_F(Sections, FilletedIBeamStaysSymmetric) {
  box(0, 0, 10, 1);
  box(0, 9, 10, 10);
  box(4.5, 1, 5.5, 9);
  const std::pair<Point<double>, double> corners[] = {
      {{5.5, 1, 0}, 0}, {{4.5, 1, 0}, 90}, {{4.5, 9, 0}, 180}, {{5.5, 9, 0}, 270}};
  for (const auto& [at, rotation] : corners) {
    auto* f = new CShapeAnalysis(&model);
    CString n(("f" + std::to_string(++count)).c_str());
    f->sector(root, &model, n, at.x, at.y, 0.5, 0, 0, 90, 0, qhtShapeFillet, 0, 1, rotation, false);
  }
  compute();
  expectRel(v(17), 28.0 + 4 * 0.25 * (1 - std::numbers::pi / 4), 1e-7);
  expectRel(v(132), 5.0, 1e-7);
  expectRel(v(133), 5.0, 1e-7);
  EXPECT_NEAR(v(61), 0.0, 1e-7);
  Point<double> lo, hi;
  root->principalExtremeFibersFromCG(&lo, &hi);
  expectRel(hi.x - lo.x, 10.0, 1e-12);
  expectRel(root->principalFiber2.x, 10.0, 1e-9);
}
