// Shape and sub-section transforms, construction checks, duplication,
// changing sign and renaming.
#include <gtest/gtest.h>

#include <stdexcept>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CDot.h"
#include "drevoline/section/CXSectionAnalysis.h"

namespace {

struct Shapes : ::testing::Test {
  CXSectionAnalysis model;
  CSubSection* root = model.rootSubSection();
  int count = 0;

  CShapeAnalysis* build(ShapeType kind, double a3, double a4, double a6, double a7, double x0, double y0,
                        short origin, short direction, double rotation, CSubSection* into = nullptr) {
    auto* s = new CShapeAnalysis(&model);
    CString n(("s" + std::to_string(++count)).c_str());
    s->sector(into ? into : root, &model, n, x0, y0, a3, a4, 0, a6, a7, kind, origin, direction, rotation, false);
    return s;
  }
  CShapeAnalysis* rectangle(double w, double h, double x0 = 0, double y0 = 0, double rotation = 0) {
    return build(qhtShapeRectangle, w, h, 90, 90, x0, y0, 0, 1, rotation);
  }
};

void expectPoint(const Point<double>& p, double x, double y, double tol = 1e-9) {
  EXPECT_NEAR(p.x, x, tol);
  EXPECT_NEAR(p.y, y, tol);
}

bool constructionFails(const std::function<void()>& check) {
  try {
    check();
  } catch (const std::logic_error& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Construction of object failed.", 0), 0u);
    return true;
  }
  return false;
}

}  // namespace

TEST_F(Shapes, MirroredRectangleStaysCounterClockwiseAndIsRenumbered) {
  CShapeAnalysis* r = rectangle(10, 5);
  Point<double> p(0, 0, 0), n(3, 0, 0);  // the y axis
  r->mirror(&p, &n);
  EXPECT_TRUE(r->isCounterClockwise());
  ASSERT_EQ(r->definingPoints.size(), 4u);
  expectPoint(r->definingPoints[0], -10, 0);
  expectPoint(r->definingPoints[1], 0, 0);
  expectPoint(r->definingPoints[2], 0, 5);
  expectPoint(r->definingPoints[3], -10, 5);
  EXPECT_EQ(r->originIndex, 0);
  EXPECT_EQ(r->directionIndex, 1);
  const auto dots = root->getShapeDots(r);
  for (const CDot* d : *dots)
    EXPECT_LE(d->location.x, 1e-12);
}

TEST_F(Shapes, MirrorWithoutOwnerChangesNothing) {
  CShapeAnalysis loose;
  Point<double> pts[] = {{1, 0, 0}, {2, 0, 0}, {2, 1, 0}};
  loose.polygon(L"tri", pts, 3);
  const CCompositeCurve before(*loose.boundary);
  Point<double> p(0, 0, 0), n(1, 0, 0);
  try {
    loose.mirror(&p, &n);
    ADD_FAILURE() << "no failure";
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "Parent of shape is not defined");
  }
  EXPECT_TRUE(*loose.boundary == before);
  CSubSection orphan;  // an owner without a model
  loose.parent = &orphan;
  EXPECT_THROW(loose.mirror(&p, &n), std::logic_error);
  EXPECT_TRUE(*loose.boundary == before);
  loose.parent = nullptr;
}

TEST_F(Shapes, MirroredAnnulusKeepsAContiguousOutline) {
  CShapeAnalysis* a = build(qhtShapeAnnulus, 1, 1, 90, 0, 0, 0, 0, 1, 0);
  Point<double> p(0, 0, 0), n(0, 1, 0);  // the x axis
  a->mirror(&p, &n);
  EXPECT_EQ(a->boundary->nArcs(), 4);
  EXPECT_TRUE(a->boundary->isClosed());
  EXPECT_NEAR(a->boundary->area(), 0.75 * 3.141592653589793, 1e-6);
  expectPoint(a->definingPoints[3], 0, 0);  // I0, placed at the origin, comes last
}

TEST_F(Shapes, ChecksNumberPointsAsDocumented) {
  CShapeAnalysis* r = rectangle(10, 5);
  EXPECT_FALSE(constructionFails([&] { r->checkPos(1, 10, 0); }));  // from 0
  EXPECT_TRUE(constructionFails([&] { r->checkPos(0, 10, 0); }));
  EXPECT_FALSE(constructionFails([&] { r->checkDist(10, 1, 2); }));  // from 1
  EXPECT_FALSE(constructionFails([&] { r->checkDist(5, 2, 3); }));
  EXPECT_TRUE(constructionFails([&] { r->checkDist(10, 2, 3); }));
  EXPECT_FALSE(constructionFails([&] { r->checkAngle(90, 4, 1, 2); }));
  EXPECT_THROW(r->checkPos(4, 0, 0), CInvalidArgException);
  EXPECT_THROW(r->checkDist(1, 0, 1), CInvalidArgException);
  CShapeAnalysis* pg = build(qhtShapeParallelogram, 4, 2, 60, 60, 0, 0, 0, 1, 0);
  EXPECT_FALSE(constructionFails([&] { pg->checkAngle(60, 2, 1, 4); }));
  EXPECT_FALSE(constructionFails([&] { pg->checkAngle(60, 1, 2, 3); }));
  EXPECT_EQ(pg->pointCoord(1).x, pg->definingPoints[0].x);
}

TEST_F(Shapes, CheckRotReadsExactDirectionsModulo360) {
  const std::pair<double, double> placed[] = {{0.1, 0.1}, {-90, -90}, {359.9, -0.1}, {270, -90}, {0, 0}};
  for (const auto& [rotation, checked] : placed) {
    CShapeAnalysis* r = rectangle(10, 5, 1, 2, rotation);
    EXPECT_FALSE(constructionFails([&] { r->checkRot(checked, 0, 1); })) << rotation;
    EXPECT_FALSE(constructionFails([&] { r->checkRot(checked + 360, 0, 1); })) << rotation;
  }
  CShapeAnalysis* tilted = rectangle(10, 5, 0, 0, 0.1);
  EXPECT_TRUE(constructionFails([&] { tilted->checkRot(0, 0, 1); }));
}

TEST_F(Shapes, TranslateRotateAndIntersection) {
  CShapeAnalysis* a = rectangle(2, 2);
  CShapeAnalysis* b = rectangle(2, 2, 1, 1);
  std::unique_ptr<CList<Point<double>*>> hits(a->intersection(b));
  ASSERT_EQ(hits->GetCount(), 2);
  POSITION pos = hits->GetHeadPosition();
  while (pos)
    delete hits->GetNext(pos);
  Point<double> v(1, 1, 0);
  a->translate(&v);
  EXPECT_TRUE(*a == *b);
  Point<double> c(2, 2, 0);
  b->rotate(&c, 180);
  expectPoint(b->definingPoints[0], 3, 3);
  EXPECT_TRUE(b->isCounterClockwise());
  const auto dots = root->getShapeDots(b);
  for (const CDot* d : *dots)
    EXPECT_GE(d->location.x, 1.0 - 1e-12);
}

TEST_F(Shapes, SubSectionTransformsMoveEverythingOnce) {
  CShapeAnalysis* r = rectangle(2, 1);
  root->addConstructionPoint(5, 0);
  root->translate(1.0, 2.0);
  expectPoint(r->definingPoints[0], 1, 2);
  expectPoint(root->constructionPoints[0]->location, 6, 2);
  expectPoint((*root->getShapeDots(r))[0]->location, 1, 2);
  model.geometryTime = 0;
  root->rotateAll(0, 0, 90);
  expectPoint(r->definingPoints[0], -2, 1);
  expectPoint((*root->getShapeDots(r))[0]->location, -2, 1);
  expectPoint(root->constructionPoints[0]->location, -2, 6);
  EXPECT_NE(model.geometryTime, 0);
  Point<double> p(-2, 1, 0);
  root->translateRotateZ(&p, -90);
  expectPoint(r->definingPoints[1], 0, 1);  // P1 (-2, 3) turned back about P0 (-2, 1)
}

TEST_F(Shapes, ModelMirrorDuplicatePutsAMarkedCopyInTheCurrentSubSection) {
  CShapeAnalysis* r = rectangle(2, 1, 1, 0);
  Point<double> a(0, 0, 0), n(1, 0, 0);
  CString newName(L"copy");
  model.MirrorDuplicate(r, a, n, newName);
  CShapeAnalysis* c = model.findShape(L"copy");
  ASSERT_NE(c, nullptr);
  EXPECT_TRUE(c->mark);
  EXPECT_EQ(c->parent, root);
  EXPECT_EQ(root->findShape(L"copy"), c);
  expectPoint(c->definingPoints[0], -3, 0);
  EXPECT_TRUE(c->isCounterClockwise());
  EXPECT_EQ(model.shapes.GetCount(), 2);
  // A second copy under the same name is refused and leaves nothing behind.
  EXPECT_THROW(model.MirrorDuplicate(r, a, n, newName), std::logic_error);
  EXPECT_EQ(model.shapes.GetCount(), 2);
  EXPECT_EQ(root->shapeList.GetCount(), 2);
}

TEST_F(Shapes, RotateDuplicateChangeSignAndRename) {
  CShapeAnalysis* r = rectangle(2, 1);
  model.rotateDuplicateShapeOrSubSection(r, L"turned", 0, 0, 90);
  CShapeAnalysis* t = root->findShape(L"turned");
  ASSERT_NE(t, nullptr);
  EXPECT_FALSE(t->mark);
  expectPoint(t->definingPoints[1], 0, 2);
  expectPoint((*root->getShapeDots(t))[1]->location, 0, 2);

  model.changeSign(t);
  EXPECT_TRUE(t->isNegative());
  EXPECT_FALSE(t->isCounterClockwise());
  model.changeSign(t);
  EXPECT_FALSE(t->isNegative());
  EXPECT_TRUE(t->isCounterClockwise());

  CString newName(L"renamed");
  model.renameShape(t, newName);
  EXPECT_EQ(t->name(), L"renamed");
  EXPECT_EQ(t->boundary->name(), L"renamed");
  EXPECT_EQ(root->findShape(L"renamed"), t);
  CString taken = r->name();
  EXPECT_THROW(model.renameShape(t, taken), std::logic_error);
  EXPECT_EQ(t->name(), L"renamed");
}

TEST_F(Shapes, SubSectionMirrorOfAnExtrudedTeeSwapsSides) {
  CSubSection* tee = new CSubSection(&model, root);
  tee->name(L"T");
  root->addChildSubSection(tee);
  model.subSections.push_back(tee);
  tee->sectionKind = 11;
  tee->kindArguments = {0, 1, 2, 3, 10, 5, 6, 7, 30};
  CShapeAnalysis* right = build(qhtShapeRectangle, 1, 1, 90, 90, 1, 0, 0, 1, 0, tee);
  CShapeAnalysis* left = build(qhtShapeRectangle, 1, 1, 90, 90, -2, 0, 0, 1, 0, tee);
  right->name(L"T_rightFlange");
  left->name(L"T_leftFlange");
  Point<double> a(0, 0, 0), n(1, 0, 0);
  tee->mirror(a, n);
  EXPECT_EQ(right->name(), L"T_leftFlange");
  EXPECT_EQ(left->name(), L"T_rightFlange");
  EXPECT_EQ(tee->kindArguments, (std::vector<double>{0, 1, 8, 5, 10, 3, 7, 6, 150}));
  expectPoint(right->definingPoints[1], -1, 0);
}
