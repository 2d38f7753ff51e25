// A mesh in the OpenGL view: the element picture, the contour picture with
// its zero line, the line plot of a sub-section, and the result extremes
// that scale them.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <memory>

#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/CSectionForces.h"
#include "analysis/tests/test_view_support.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFEQuad4.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "drevoline/tests/test_mesher_support.h"
#include "test_union_support.h"

using namespace mesher_test;

namespace {

using Field = std::function<double(double x, double y)>;

// A triangle (or quadrilateral) mesh of the square (x0, y0)-(x1, y1) in
// metal's colour, its elements built.
std::unique_ptr<CMesh> squareMesh(const CMetal* metal, double x0, double y0, double x1, double y1,
                                  double spacing, ELEMENT_TYPE type = TRNG3) {
  auto curve = polygonCurve(rectangle(x0, y0, x1, y1));
  auto m = std::make_unique<CMesh>();
  m->maxRemoves = INT_MAX;
  m->elementType = type;
  m->create(20, curve.get(), 0, nullptr, nullptr, spacing, metal);
  m->create2DFEM(1.0);
  return m;
}

// Gives every node the stress f at its position.
void setStress(CMesh& m, const Field& f) {
  for (auto& n : m.nodes)
    n->setResult(STRESS_ZZ, f(n->position.x, n->position.y));
}

Rgba8 at(const SizedView& v, int x, int y) { return v.view.buffer()->pixel(x, y); }

bool isBlack(const Rgba8& p) { return p.red < 8 && p.green < 8 && p.blue < 8; }

// The root sub-section of a model, its applied load condition carrying
// section forces.
struct Loaded {
  CXSectionAnalysis model;
  CSubSection& s = *model.rootSubSection();
  std::shared_ptr<CLoadCondition> lc = std::make_shared<CLoadCondition>();
  Loaded() {
    lc->ScnLoadCondition(L"lc");
    s.curAppLC(lc);
  }
  CSectionForces* sf() { return lc->scnForcesMutable(); }
  // The sub-section takes the mesh; returned for the test's use.
  CMesh* own(std::unique_ptr<CMesh> m) {
    s.meshes.push_back(m.release());
    return s.meshes.back();
  }
  // A union of the square (x0, y0)-(x1, y1) in metal.
  void square(double x0, double y0, double x1, double y1, std::shared_ptr<CMetal> metal) {
    CList<CCompositeCurve*> curves;
    curves.AddTail(union_test::signedCurve(union_test::polylineRectangle(x0, y0, x1, y1), 1));
    s.createUnion(&curves, std::move(metal));
  }
};

TEST(MeshDisplay, ElementPictureFillsTheMeshWithDarkOutlines) {
  SizedView v(64, 64);  // model window -5..5
  CMetal metal;
  metal.setColour(1.0, 0.0, 0.0);
  auto m = squareMesh(&metal, -4, -4, 4, 4, 1.0);
  m->material = std::make_shared<CMetal>(metal);
  DspRecord* r = m->display();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->name, L"Mesh2D::display");
  EXPECT_EQ(r->type, 0x60000000u);
  EXPECT_EQ(r->drawPriority, 6);
  EXPECT_EQ(r->object, static_cast<void*>(m.get()));
  EXPECT_NE(r->listId, 0);
  v.view.m_displayList.AddTail(r);
  v.view.resetCameraPostDisplayList(0, 1, 0);

  // Inside: the material's red as the lighting shades it, never the
  // background (a culled face would leave it). Row 32 crosses the heavy
  // boundary at x = -4 (column 6.4): the darkest pixel there is black.
  int reddish = 0;
  for (int x = 12; x <= 52; x += 4) {
    const Rgba8 p = at(v, x, 30);
    EXPECT_NE(p, kBackground) << x;
    reddish += p.red > p.green && p.red > p.blue;
  }
  EXPECT_GT(reddish, 5);
  bool blackBoundary = false;
  for (int x = 4; x <= 9; ++x)
    blackBoundary = blackBoundary || isBlack(at(v, x, 30));
  EXPECT_TRUE(blackBoundary);
  EXPECT_EQ(at(v, 1, 1), kBackground);
}

TEST(MeshDisplay, MirroredMeshIsStillFilled) {
  // Mirroring turns the elements clockwise; they must not be culled.
  SizedView v(64, 64);
  auto m = squareMesh(nullptr, -4, -4, 4, 4, 1.0);
  Point<double> a(0, -1, 0), b(0, 1, 0);
  m->mirror(a, b);
  DspRecord* r = m->display();
  ASSERT_NE(r, nullptr);
  EXPECT_NE(m->material, nullptr);  // a default metal was given
  v.view.m_displayList.AddTail(r);
  v.view.resetCameraPostDisplayList(0, 1, 0);
  for (int x = 14; x <= 50; x += 6)
    EXPECT_NE(at(v, x, 34), kBackground) << x;
}

TEST(MeshDisplay, NothingIsRecordedWithoutElementsOrWithoutContext) {
  Loaded l;
  CMesh empty;
  {
    SizedView v(8, 8);
    EXPECT_EQ(empty.display(), nullptr);
    EXPECT_EQ(empty.displaySmooth(&l.s), nullptr);
  }
  CMesh* m = l.own(squareMesh(nullptr, 0, 0, 1, 1, 0.25));
  setStress(*m, [](double x, double) { return x - 0.5; });
  l.s.maxmin(l.sf(), STRESS_ZZ);
  COffscreenContext::releaseCurrent();
  EXPECT_EQ(m->display(), nullptr);
  EXPECT_EQ(m->displaySmooth(&l.s), nullptr);
  Point<double> p1(0, 0.5, 0), p2(1, 0.5, 0);
  EXPECT_EQ(l.s.displayLinePlot(p1, p2, STRESS_ZZ), nullptr);
}

// The zero line of a linear field on the unit square: its length is the
// chord of the square on the line, its angle the line's.
TEST(MeshDisplay, ZeroLineLengthAndAngleOfLinearFields) {
  struct Case {
    const char* what;
    Field f;
    double length;
    double angle;
  } cases[] = {
      // x - y + 0.05 = 0: from (0, 0.05) to (0.95, 1).
      {"diagonal", [](double x, double y) { return x - y + 0.05; }, 0.95 * std::sqrt(2.0), 45.0},
      {"vertical", [](double x, double) { return x - 0.3; }, 1.0, 90.0},
      {"horizontal", [](double, double y) { return 0.7 - y; }, 1.0, 0.0},
      // No zero inside: nothing measured, the angle untouched.
      {"none", [](double x, double y) { return x + y + 1.0; }, 0.0, -123.0},
  };
  SizedView v(16, 16);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Loaded l;
    l.s.zeroLineLength = 99.0;
    l.sf()->neutralAxisAngle = -123.0;
    CMesh* m = l.own(squareMesh(nullptr, 0, 0, 1, 1, 0.1));
    setStress(*m, c.f);
    l.s.maxmin(l.sf(), STRESS_ZZ);
    std::unique_ptr<DspRecord> r(m->displaySmooth(&l.s));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->name, L"Mesh2D::displayTrng3");
    EXPECT_EQ(r->type, 0x60000000u);
    EXPECT_EQ(r->drawPriority, 6);
    EXPECT_EQ(r->material, nullptr);
    EXPECT_NEAR(l.s.zeroLineLength, c.length, 1e-9);
    EXPECT_NEAR(l.sf()->neutralAxisAngle, c.angle, 1e-9);
  }
}

TEST(MeshDisplay, ZeroLineThroughOneElementTakesThatElementsDirection) {
  // One triangle away from the origin: the angle comes from the piece's own
  // two ends, not from the origin.
  SizedView v(16, 16);
  Loaded l;
  auto m = std::make_unique<CMesh>();
  CMetal metal;
  auto n1 = std::make_shared<CFENodeAnalysis>(), n2 = std::make_shared<CFENodeAnalysis>(),
       n3 = std::make_shared<CFENodeAnalysis>();
  n1->position = Point<double>(2, 2, 0);
  n2->position = Point<double>(3, 2, 0);
  n3->position = Point<double>(2, 3, 0);
  m->nodes = {n1, n2, n3};
  m->trng3Elements.push_back(std::make_unique<CFETrng3>(n1, n2, n3, &metal, 1.0));
  CMesh* mesh = l.own(std::move(m));
  // x - y + 0.1 = 0 crosses the triangle from (2, 2.1) to (2.45, 2.55).
  setStress(*mesh, [](double x, double y) { return x - y + 0.1; });
  l.s.maxmin(l.sf(), STRESS_ZZ);
  std::unique_ptr<DspRecord> r(mesh->displaySmooth(&l.s));
  ASSERT_NE(r, nullptr);
  EXPECT_NEAR(l.s.zeroLineLength, 0.45 * std::sqrt(2.0), 1e-12);
  EXPECT_NEAR(l.sf()->neutralAxisAngle, 45.0, 1e-9);
}

TEST(MeshDisplay, QuadrilateralMeshTakesTheQuadrilateralContour) {
  SizedView v(64, 64);
  Loaded l;
  CMesh* m = l.own(squareMesh(nullptr, -4, -4, 4, 4, 1.0, QUAD4));
  ASSERT_TRUE(m->trng3Elements.empty());
  setStress(*m, [](double x, double) { return x; });
  l.s.maxmin(l.sf(), STRESS_ZZ);
  DspRecord* r = m->displaySmooth(&l.s);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->name, L"Mesh2D::displayQuad4");
  v.view.m_displayList.AddTail(r);
  v.view.resetCameraPostDisplayList(0, 1, 0);
  // The zero-green scale: blue on the negative side, red on the positive.
  const Rgba8 left = at(v, 12, 30), right = at(v, 52, 30);

  EXPECT_GT(left.blue, left.red);
  EXPECT_GT(right.red, right.blue);
}

TEST(MeshDisplay, ExtremesOverTheMeshNodes) {
  Loaded l;
  CMetal a, b;
  CMesh* m = l.own(squareMesh(&a, 0, 0, 1, 1, 0.1));
  // 2x + y: 0 at the corner (0, 0), 3 at (1, 1).
  setStress(*m, [](double x, double y) { return 2 * x + y; });
  for (auto& n : m->nodes)
    n->setResult(STRAIN_ZZ, -(2 * n->position.x + n->position.y));

  l.s.maxmin(l.sf(), STRESS_ZZ);
  EXPECT_EQ(l.s.resultMin, 0.0);
  EXPECT_EQ(l.s.resultMax, 3.0);
  EXPECT_EQ(l.sf()->minStress, 0.0);
  EXPECT_EQ(l.sf()->maxStress, 3.0);
  EXPECT_EQ(l.sf()->minStressPoint, Point<double>(0, 0, 0));
  EXPECT_EQ(l.sf()->maxStressPoint, Point<double>(1, 1, 0));
  ASSERT_NE(l.sf()->maxNode, nullptr);
  EXPECT_EQ(l.sf()->maxNode->position, Point<double>(1, 1, 0));
  EXPECT_EQ(l.sf()->minStrain, 0.0);  // strain untouched

  l.s.maxmin(l.sf(), STRAIN_ZZ);
  EXPECT_EQ(l.sf()->minStrain, -3.0);
  EXPECT_EQ(l.sf()->minStrainPoint, Point<double>(1, 1, 0));
  EXPECT_EQ(l.sf()->maxStrainPoint, Point<double>(0, 0, 0));
  EXPECT_EQ(l.sf()->maxStress, 3.0);

  // A node where two materials meet counts once per element result; its
  // own value is not one of them.
  std::shared_ptr<CFENodeAnalysis> mid;
  for (auto& n : m->nodes)
    if (!mid || std::hypot(n->position.x - 0.5, n->position.y - 0.5) <
                    std::hypot(mid->position.x - 0.5, mid->position.y - 0.5))
      mid = n;
  ASSERT_GE(mid->elements.size(), 2u);
  mid->elements[0]->material = &b;
  ASSERT_TRUE(mid->isSplitMaterial());
  mid->setResult(STRESS_ZZ, 100.0);
  mid->setElementResult(mid->elements[0], STRESS_ZZ, -7.0);
  mid->setElementResult(mid->elements[1], STRESS_ZZ, 9.0);
  l.s.maxmin(l.sf(), STRESS_ZZ);
  EXPECT_EQ(l.s.resultMin, -7.0);
  EXPECT_EQ(l.s.resultMax, 9.0);
  EXPECT_EQ(l.sf()->minNode, mid);
  EXPECT_EQ(l.sf()->maxNode, mid);
}

TEST(MeshDisplay, ExtremesWithoutNodesKeepTheRecordsValues) {
  Loaded l;
  l.sf()->minStress = -1.0;
  l.sf()->maxStress = 2.0;
  l.sf()->minNode = std::make_shared<CFENodeAnalysis>();
  l.s.maxmin(l.sf(), STRESS_ZZ);
  EXPECT_EQ(l.s.resultMin, 1e20);
  EXPECT_EQ(l.s.resultMax, -1e20);
  EXPECT_EQ(l.sf()->minStress, -1.0);
  EXPECT_EQ(l.sf()->maxStress, 2.0);
  EXPECT_EQ(l.sf()->minNode, nullptr);
  l.s.maxmin(nullptr, STRESS_ZZ);  // no forces: only the sub-section's range
}

TEST(MeshDisplay, LinePlotBarsRiseForPositiveAndFallForNegativeValues) {
  SizedView v(64, 64);
  Loaded l;
  auto metal = std::make_shared<CMetal>();
  l.square(-4, -4, 4, 4, metal);
  CMesh* m = l.own(squareMesh(metal.get(), -4, -4, 4, 4, 1.0));
  setStress(*m, [](double x, double) { return x; });

  Point<double> p1(-6, 0.3, 0), p2(6, 0.3, 0);
  DspRecord* r = l.s.displayLinePlot(p1, p2, STRESS_ZZ);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->name, L"CSubSection::displayLinePlot");
  EXPECT_EQ(r->object, static_cast<void*>(&l.s));
  EXPECT_EQ(r->type, 0x40000000u);
  EXPECT_EQ(r->flags, 0x20000000);
  EXPECT_EQ(r->material, nullptr);
  EXPECT_NE(r->listId, 0);
  EXPECT_EQ(l.s.resultMin, -4.0);  // the range came from maxmin
  EXPECT_EQ(l.s.resultMax, 4.0);
  v.view.m_displayList.AddTail(r);
  v.view.resetCameraPostDisplayList(0, 1, 0);

  // Height at x = 3: 3 / 8 x 0.6 x 8 sqrt 2 = 2.55 above the line at 0.3
  // (model y 1.5 is row 41.6); at x = -3 as far below (model y -1 is row 25.6).
  EXPECT_EQ(at(v, 51, 41), kRed);
  EXPECT_EQ(at(v, 12, 25), kBlue);
  EXPECT_EQ(at(v, 51, 25), kBackground);
  EXPECT_EQ(at(v, 12, 41), kBackground);
  EXPECT_EQ(at(v, 51, 60), kBackground);  // above the bar's top (y 2.85)
}

}  // namespace
