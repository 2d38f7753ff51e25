// The sub-section tree: shape lists, traversal, dots and construction
// points, and the shape copy constructor.
#include <gtest/gtest.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CDot.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "drevoline/tests/test_section_support.h"

namespace {

using section_test::child;

// A shape of that kind with a unit square outline and its corners as defining points.
CShapeAnalysis* squareShape(const wchar_t* n, double x = 0.0, double y = 0.0, ShapeType kind = qhtShapeRectangle) {
  CShapeAnalysis* s = section_test::unitSquare(n, x, y, true);
  s->kind = kind;
  return s;
}

std::vector<std::wstring> names(const ShapeList& list) {
  std::vector<std::wstring> out;
  POSITION pos = list.GetHeadPosition();
  while (pos)
    out.push_back(list.GetNext(pos)->name().str());
  return out;
}

// A model with root → {a → {b}, c}, each holding named shapes.
struct Tree : ::testing::Test {
  CXSectionAnalysis m;
  CSubSection* root = m.rootSubSection();
  CSubSection* a = child(m, root, L"a");
  CSubSection* b = child(m, a, L"b");
  CSubSection* c = child(m, root, L"c");

  void SetUp() override {
    m.addShapeToLists(root, squareShape(L"r1"));
    m.addShapeToLists(a, squareShape(L"a1"));
    m.addShapeToLists(b, squareShape(L"b1"));
    m.addShapeToLists(c, squareShape(L"c1"));
    m.addShapeToLists(root, squareShape(L"r2"));
  }
};

}  // namespace

TEST_F(Tree, RecursiveOrderIsOwnShapesThenChildrenDepthFirst) {
  EXPECT_EQ(names(*root->getShapesRecursive()), (std::vector<std::wstring>{L"r1", L"r2", L"a1", L"b1", L"c1"}));
  EXPECT_EQ(root->nShapes(), 5);
  EXPECT_EQ(root->nRectangles(), 5);
  EXPECT_EQ(root->nDisks(), 0);
  EXPECT_EQ(root->searchShape(L"b1"), b->shapeList.GetHead());
  EXPECT_EQ(root->findShape(L"b1"), nullptr);  // own list only
  EXPECT_TRUE(root->isCurrentShape(c->shapeList.GetHead()));
  EXPECT_FALSE(c->isCurrentShape(b->shapeList.GetHead()));
}

TEST_F(Tree, UnionHidesOwnShapesAndChildrenButHasShapeStillSearchesChildren) {
  CShapeAnalysis* u = squareShape(L"union_1");
  a->unionShapes = new ShapeList(10);
  EXPECT_EQ(a->getShapes()->GetCount(), 0);  // an empty union list still counts
  a->unionShapes->AddTail(u);
  EXPECT_EQ(names(*a->getShapesRecursive()), std::vector<std::wstring>{L"union_1"});
  EXPECT_TRUE(a->hasShape(b->shapeList.GetHead()));
  EXPECT_FALSE(a->hasShape(a->shapeList.GetHead()));
  a->unionShapes->RemoveAll();
  delete a->unionShapes;
  a->unionShapes = nullptr;
  delete u;
}

TEST_F(Tree, GetShapesIsNullWithoutShapesWhileRecursiveIsEmpty) {
  CSubSection* empty = child(m, c, L"empty");
  EXPECT_EQ(empty->getShapes(), nullptr);
  ASSERT_NE(empty->getShapesRecursive(), nullptr);
  EXPECT_TRUE(empty->getShapesRecursive()->IsEmpty());
  EXPECT_EQ(names(*root->getShapes()), (std::vector<std::wstring>{L"r1", L"r2"}));
}

TEST_F(Tree, AddChildShapeIgnoresDuplicateName) {
  CShapeAnalysis* dup = squareShape(L"r1");
  root->addChildShape(dup);
  EXPECT_EQ(root->shapeList.GetCount(), 2);
  EXPECT_EQ(dup->parent, nullptr);
  delete dup;
  CShapeAnalysis* fresh = squareShape(L"r3");
  root->addChildShape(fresh);
  EXPECT_EQ(fresh->parent, root);
  m.shapes.AddTail(fresh);
  root->shapeAttributeBits = 0x5;
  CShapeAnalysis* r1 = root->shapeList.GetHead();
  root->addShape(r1);  // already there: no bits, no second entry
  EXPECT_EQ(r1->flagBits, 0);
  EXPECT_EQ(root->shapeList.GetCount(), 3);
}

TEST_F(Tree, AddDotDeduplicatesPerShape) {
  CShapeAnalysis* s1 = root->shapeList.GetHead();
  CShapeAnalysis* s2 = root->shapeList.GetTail();
  CDot* first = root->addDot(3.0, 4.0, s1);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->style, 32);
  EXPECT_EQ(first->client, s1);
  EXPECT_EQ(first->owner, root);
  EXPECT_EQ(root->addDot(3.0 + 9e-6, 4.0, s1), first);
  CDot* far = root->addDot(3.0 + 2e-5, 4.0, s1);
  EXPECT_NE(far, first);
  CDot* other = root->addDot(3.0, 4.0, s2);
  EXPECT_NE(other, first);
  EXPECT_NE(root->addDot(3.0, 4.0, nullptr), root->addDot(3.0, 4.0, nullptr));
  EXPECT_EQ(root->getShapeDots(s1)->size(), 2u);
  root->removeShapeDots(s1);
  EXPECT_TRUE(root->getShapeDots(s1)->empty());
  EXPECT_EQ(root->getShapeDots(s2)->size(), 1u);

  root->addConstructionPoint(1.0, 1.0);
  root->addConstructionPoint(1.0 + 5e-6, 1.0);
  EXPECT_EQ(root->constructionPoints.size(), 1u);
  EXPECT_EQ(root->constructionPoints[0]->client, nullptr);
  Point<double> p(1, 2, 0);
  root->addCriticalPoint(p, 0.5);
  ASSERT_EQ(root->criticalPoints.size(), 1u);
  EXPECT_EQ(root->criticalPoints[0]->actual, 999.0);
  EXPECT_EQ(root->criticalPoints[0]->allowable, 0.5);
}

TEST_F(Tree, RefreshDotsPutsDefiningPointsBack) {
  root->refreshDots();
  EXPECT_EQ(root->dots.size(), 5u * 4u);
  CShapeAnalysis* s = root->shapeList.GetHead();
  Point<double> d(1.0, 2.0, 0.0);
  root->translateShapeDots(s, &d);
  EXPECT_EQ((*root->getShapeDots(s))[1]->location, Point<double>(2.0, 2.0, 0.0));
  Point<double> centre(0, 0, 0);
  root->rotateShapeDots(s, &centre, 90.0);
  EXPECT_NEAR((*root->getShapeDots(s))[1]->location.x, -2.0, 1e-12);
  EXPECT_NEAR((*root->getShapeDots(s))[1]->location.y, 2.0, 1e-12);
  Point<double> a(0, 0, 0), n(2, 0, 0);  // mirror in the y axis
  root->mirrorShapeDots(s, &a, &n);
  EXPECT_NEAR((*root->getShapeDots(s))[1]->location.x, 2.0, 1e-12);
}

TEST_F(Tree, RenameChildAndSequenceNumbers) {
  CString from(L"a"), to(L"b2");
  root->renameChild(from, to);
  ASSERT_EQ(root->children.size(), 2u);
  EXPECT_EQ(root->children[0]->name(), L"b2");
  EXPECT_EQ(root->children[1]->name(), L"c");
  CString cName(L"c"), rootName(L"root"), none(L"zz");
  EXPECT_EQ(root->sequenceNumber(cName), 2);
  EXPECT_EQ(root->sequenceNumber(rootName), 0);  // the current sub-section
  EXPECT_EQ(root->sequenceNumber(none), -1);
  root->bringForwardChildSubSection(c);
  EXPECT_EQ(root->children[0], c);
  root->bringForwardChildSubSection(c);
  EXPECT_EQ(root->children[0], c);
}

TEST_F(Tree, ShapeExistComparesOriginWithin1e5) {
  CShapeAnalysis* disk = squareShape(L"d", 10.0, 10.0, qhtShapeDisk);
  m.addShapeToLists(b, disk);
  Point<double> near(10.0 + 5e-6, 10.0, 0.0), far(10.0 + 2e-5, 10.0, 0.0);
  EXPECT_TRUE(root->shapeExist(qhtShapeDisk, &near));
  EXPECT_FALSE(root->shapeExist(qhtShapeDisk, &far));
  EXPECT_FALSE(root->shapeExist(qhtShapeSector, &near));
  // A polygon has no defining points and is skipped, not an error.
  CShapeAnalysis* poly = new CShapeAnalysis();
  poly->name(L"poly");
  poly->kind = qhtShapePolygon;
  m.addShapeToLists(c, poly);
  Point<double> o(0, 0, 0);
  EXPECT_FALSE(root->shapeExist(qhtShapePolygon, &o));
}

TEST_F(Tree, NextUntraversedShapeClearsMarksOnTheWay) {
  std::unique_ptr<ShapeList> all = root->getShapesRecursive();
  POSITION pos = all->GetHeadPosition();
  all->GetNext(pos)->traversed = true;
  CShapeAnalysis* second = all->GetNext(pos);
  EXPECT_EQ(root->nextUntraversedShape(), second);
  EXPECT_FALSE(all->GetHead()->traversed);
  pos = all->GetHeadPosition();
  while (pos)
    all->GetNext(pos)->traversed = true;
  EXPECT_EQ(root->nextUntraversedShape(), nullptr);
  pos = all->GetHeadPosition();
  while (pos)
    EXPECT_FALSE(all->GetNext(pos)->traversed);
}

TEST_F(Tree, MoveBackAndFrontAndRemoveFromLists) {
  CShapeAnalysis* r2 = root->shapeList.GetTail();
  root->moveBack(r2);
  EXPECT_EQ(names(root->shapeList), (std::vector<std::wstring>{L"r2", L"r1"}));
  root->moveFront(r2);
  EXPECT_EQ(names(root->shapeList), (std::vector<std::wstring>{L"r1", L"r2"}));
  CShapeAnalysis* b1 = b->shapeList.GetHead();
  root->removeShapeFromLists(b1);
  EXPECT_TRUE(b->shapeList.IsEmpty());
  EXPECT_EQ(root->contains(r2), 1);
  EXPECT_EQ(root->contains(b1), 0);
  b->shapeList.AddTail(b1);
}

TEST_F(Tree, DuplicatesAreFoundAndRemoved) {
  EXPECT_TRUE(root->duplicatesExist());  // every square sits at the origin
  root->removeDuplicates();
  EXPECT_EQ(root->nShapes(), 1);
  EXPECT_EQ(m.shapes.GetCount(), 1);
  EXPECT_FALSE(root->duplicatesExist());
}

TEST_F(Tree, DeletingASubSectionDeletesItsSubtreeButNotItsShapes) {
  CShapeAnalysis* a1 = a->shapeList.GetHead();
  CShapeAnalysis* b1 = b->shapeList.GetHead();
  root->removeChildSubSection(a);
  delete a;  // its child b asks the model to drop "b" while a walks its children
  EXPECT_EQ(root->children.size(), 1u);
  EXPECT_EQ(m.subSections.size(), 2u);
  EXPECT_EQ(m.findSubSection(L"b"), nullptr);
  EXPECT_EQ(a1->parent, nullptr);
  EXPECT_EQ(b1->parent, nullptr);
  m.deleteOrphanShapes();
  EXPECT_EQ(m.shapes.GetCount(), 3);
}

TEST(ShapeCopy, CopiesOutlineAndAddsDots) {
  CXSectionAnalysis m;
  CSubSection* root = m.rootSubSection();
  CShapeAnalysis* s = squareShape(L"src", 2.0, 3.0);
  s->sectorArgs = new ShapeSectorArgs();
  s->sectorArgs->dim1 = 7.0;
  s->sectorArgs->isHole = 1;
  s->sectorArgs->rotationDeg = 30.0;
  m.addShapeToLists(root, s);
  CShapeAnalysis copy(s);
  EXPECT_NE(copy.name(), s->name());
  EXPECT_NE(copy.boundary, s->boundary);
  EXPECT_TRUE(*copy.boundary == *s->boundary);
  EXPECT_EQ(copy.parent, root);
  EXPECT_EQ(copy.definingPoints.size(), 4u);
  ASSERT_NE(copy.sectorArgs, nullptr);
  EXPECT_EQ(copy.sectorArgs->dim1, 7.0);
  EXPECT_EQ(copy.sectorArgs->isHole, 1);
  EXPECT_EQ(copy.sectorArgs->rotationDeg, 0.0);  // not copied
  EXPECT_EQ(root->getShapeDots(&copy)->size(), 4u);
  root->removeShapeDots(&copy);
  copy.parent = nullptr;
}

TEST(ShapeCopy, WorksWithoutCurrentModelOrOwner) {
  CShapeAnalysis* s = squareShape(L"free");
  {
    CXSectionAnalysis m;
    m.FullSection();  // no current sub-section
    CShapeAnalysis copy(s);
    EXPECT_EQ(copy.parent, nullptr);
  }
  ASSERT_EQ(vAveVAvezeze, nullptr);
  CShapeAnalysis copy(s);
  EXPECT_EQ(copy.boundary->nArcs(), 4);
  delete s;
}
