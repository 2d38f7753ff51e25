// Meshing a sub-section: one shape, the union solid by solid with its holes,
// the section model's meshing entries, merging, welds and element look-up.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "analysis/model/CMetal.h"
#include "analysis/model/Globals.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/CWeld.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "platform/core/Hooks.h"
#include "test_union_support.h"

using namespace union_test;

namespace {

std::shared_ptr<CMetal> steel() {
  auto m = std::make_shared<CMetal>();
  m->name = L"steel";
  return m;
}

double meshArea(const CMesh& m) {
  double a = 0.0;
  for (const auto& e : m.trng3Elements)
    a += e->area();
  return a;
}

std::vector<CString> names(const std::vector<CMesh*>& meshes) {
  std::vector<CString> out;
  for (const CMesh* m : meshes)
    out.push_back(m->name);
  return out;
}

struct SubSectionMesh : ::testing::Test {
  CXSectionAnalysis model;
  CSubSection* root = model.rootSubSection();
  std::shared_ptr<CMetal> metal = steel();

  void SetUp() override { Hooks::reset(); }
  void TearDown() override { Hooks::reset(); }

  // A rectangle shape listed in the model under s.
  CShapeAnalysis* rect(CSubSection* s, const wchar_t* name, double x0, double y0, double x1, double y1,
                       bool withMetal = true) {
    auto* shape = new CShapeAnalysis(polylineRectangle(x0, y0, x1, y1).release());
    shape->name(name);
    shape->material(withMetal ? metal : nullptr);
    model.addShapeToLists(s, shape);
    return shape;
  }
  // Gives s a union of the given solid and hole rectangles.
  void setUnion(CSubSection* s, const std::vector<std::array<double, 4>>& solids,
                const std::vector<std::array<double, 4>>& holes) {
    CList<CCompositeCurve*> curves;
    for (const auto& r : solids)
      curves.AddTail(signedCurve(polylineRectangle(r[0], r[1], r[2], r[3]), 1));
    for (const auto& r : holes)
      curves.AddTail(signedCurve(polylineRectangle(r[0], r[1], r[2], r[3]), -1));
    s->createUnion(&curves, metal);
  }
  // A grid of count unit holes in a solid wide enough for them.
  void unionWithHoles(CSubSection* s, int count) {
    std::vector<std::array<double, 4>> holes;
    for (int i = 0; i < count; ++i) {
      const double x = 1 + 2 * (i % 11), y = 1 + 2 * (i / 11);
      holes.push_back({x, y, x + 1, y + 1});
    }
    setUnion(s, {{0, 0, 23, 2.0 * (count / 11 + 1) + 1}}, holes);
  }
  CSubSection* child(const wchar_t* name) {
    auto* s = new CSubSection(&model, root);
    s->name(name);
    root->addChildSubSection(s);
    model.subSections.push_back(s);
    return s;
  }
};

TEST_F(SubSectionMesh, ShapeMeshIsNamedLikeTheShapeAndJournalled) {
  CShapeAnalysis* r = rect(root, L"R", 0, 0, 10, 5);
  root->meshShape(r, TRNG3, 20, 1.5, 0.25, 100000, 0);
  ASSERT_EQ(root->meshes.size(), 1u);
  const CMesh& m = *root->meshes[0];
  EXPECT_EQ(m.name, L"R");
  EXPECT_NEAR(meshArea(m), 50.0, 1e-9);
  // The shape's name, then type, n, the spacing and the first double.
  EXPECT_EQ(gLogMsg, L"xscn.MeshShape \"R\",0, 20,0.25,1.5");
  for (int i = 0; i < m.nSegments; ++i) {
    EXPECT_EQ(m.segments[i].curveName, L"R");
    EXPECT_EQ(m.segments[i].curve, r->boundary);
  }
  EXPECT_TRUE(Hooks::messageBoxes().empty());
  // A second shape's mesh is added beside the first.
  root->meshShape(rect(root, L"S", 20, 0, 21, 1), TRNG3, 5, 0, 0.5, 100000, 0);
  EXPECT_EQ(names(root->meshes), (std::vector<CString>{L"R", L"S"}));
  EXPECT_TRUE(root->isMeshed());
}

TEST_F(SubSectionMesh, NegativeBudgetReportsStatistics) {
  root->meshShape(rect(root, L"R", 0, 0, 10, 5), TRNG3, 20, 0, 0.25, 100000, -1);
  ASSERT_FALSE(Hooks::messageBoxes().empty());
  const CString last = Hooks::messageBoxes().back().text;
  CString expected;
  expected.Format(L"Number of triangle: %d     minimum angle: %g", root->meshes[0]->nTriangles,
                  root->meshes[0]->worstTriangle()->minAngle);
  EXPECT_EQ(last, expected);
}

TEST_F(SubSectionMesh, ShapeWithoutMaterialIsRefused) {
  CShapeAnalysis* r = rect(root, L"R", 0, 0, 10, 5, false);
  try {
    root->meshShape(r, TRNG3, 20, 0, 0.25, 100000, 0);
    FAIL() << "no error";
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "No material is defined for part.");
  }
  EXPECT_TRUE(root->meshes.empty());
}

TEST_F(SubSectionMesh, HundredHolesMeshAndOneMoreIsRefusedKeepingTheOldMesh) {
  CSubSection* s = child(L"s");
  unionWithHoles(s, 100);
  s->meshSubSection(TRNG3, 10, 0, 0.5, 100000, 0);
  ASSERT_EQ(s->meshes.size(), 1u);
  EXPECT_EQ(s->meshes[0]->name, L"s");
  EXPECT_EQ(s->meshes[0]->nHoles, 100);
  EXPECT_NEAR(meshArea(*s->meshes[0]), 23.0 * 21.0 - 100.0, 1e-9);
  EXPECT_EQ(gLogMsg, L"xscn.MeshSubSection \"s\",0, 10,0.5,0");

  unionWithHoles(s, 101);  // a new union drops the meshes: put one back
  auto* old = new CMesh();
  old->name = L"s";
  s->meshes.push_back(old);
  gLogMsg = L"untouched";
  try {
    s->meshSubSection(TRNG3, 10, 0, 0.5, 100000, 0);
    FAIL() << "no error";
  } catch (const char* text) {
    EXPECT_STREQ(text, "Number of holes exceed maximum");
  }
  ASSERT_EQ(s->meshes.size(), 1u);
  EXPECT_EQ(s->meshes[0], old);
  EXPECT_EQ(gLogMsg, L"untouched");
}

TEST_F(SubSectionMesh, UnionWithoutMaterialKeepsTheOldMeshes) {
  CSubSection* s = child(L"s");
  setUnion(s, {{0, 0, 2, 1}}, {});
  s->meshSubSection(TRNG3, 5, 0, 0.5, 100000, 0);
  CMesh* old = s->meshes.at(0);
  s->material(nullptr);
  EXPECT_THROW(s->meshSubSection(TRNG3, 5, 0, 0.5, 100000, 0), std::logic_error);
  ASSERT_EQ(s->meshes.size(), 1u);
  EXPECT_EQ(s->meshes[0], old);
}

TEST_F(SubSectionMesh, DisjointSolidsMeshOneByOneWithTheirOwnHoles) {
  CSubSection* s = child(L"s");
  setUnion(s, {{0, 0, 4, 4}, {10, 0, 12, 2}}, {{1, 1, 2, 2}});
  for (int pass = 0; pass < 2; ++pass) {
    s->meshSubSection(TRNG3, 10, 0, 0.5, 100000, 0);
    ASSERT_EQ(names(s->meshes), (std::vector<CString>{L"s", L"s_2"}));
  }
  EXPECT_EQ(s->meshes[0]->nHoles, 1);
  EXPECT_EQ(s->meshes[1]->nHoles, 0);
  EXPECT_NEAR(meshArea(*s->meshes[0]), 15.0, 1e-9);
  EXPECT_NEAR(meshArea(*s->meshes[1]), 4.0, 1e-9);
  for (const CMesh* m : s->meshes)
    for (int i = 0; i < m->nSegments; ++i)
      EXPECT_EQ(m->segments[i].curveName, L"s");
}

TEST_F(SubSectionMesh, ModelRemeshesAndHandsEveryMeshToTheCurrentSubSection) {
  CSubSection* s = child(L"s");
  setUnion(s, {{0, 0, 4, 4}, {10, 0, 12, 2}}, {});
  // s is not current and its union is on: its meshes go to "root", and
  // meshing again replaces them there.
  for (int pass = 0; pass < 2; ++pass) {
    model.meshSubSection(s, TRNG3, 5, 0, 0.5, -1, 100000);
    EXPECT_TRUE(s->meshes.empty());
    EXPECT_EQ(names(root->meshes), (std::vector<CString>{L"s", L"s_2"}));
  }
}

TEST_F(SubSectionMesh, FirstArgumentSetsHowOftenTheModelMeshes) {
  CSubSection* s = child(L"s");
  setUnion(s, {{0, 0, 1, 1}}, {});
  // Only the first-below-one call clears the meshes already handed to
  // "root", so the count there is the number of meshings.
  const struct {
    int first;
    std::size_t meshings;
  } cases[] = {{-1, 1}, {998, 2}, {1000, 0}};
  for (const auto& c : cases) {
    root->deleteMesh();
    model.meshSubSection(s, TRNG3, 3, 0, 0.5, c.first, 100000);
    EXPECT_EQ(root->meshes.size(), c.meshings) << "first " << c.first;
  }
}

TEST_F(SubSectionMesh, MoveMeshesToRootTakesEachChildsMeshesLastFirst) {
  CSubSection* a = child(L"a");
  CSubSection* b = child(L"b");
  CSubSection* grand = new CSubSection(&model, a);
  grand->name(L"g");
  a->addChildSubSection(grand);
  model.subSections.push_back(grand);
  auto give = [](CSubSection* s, const wchar_t* n) {
    auto* m = new CMesh();
    m->name = n;
    s->meshes.push_back(m);
  };
  give(root, L"r");
  give(a, L"a1");
  give(a, L"a2");
  give(b, L"b1");
  give(grand, L"g1");
  model.moveMeshesToRoot();
  EXPECT_EQ(names(root->meshes), (std::vector<CString>{L"r", L"a2", L"a1", L"b1"}));
  EXPECT_EQ(grand->meshes.size(), 1u);
}

// Three unit squares side by side, each meshed on its own.
struct ThreeMeshes : SubSectionMesh {
  void SetUp() override {
    SubSectionMesh::SetUp();
    for (int k = 0; k < 3; ++k) {
      const wchar_t* n[] = {L"A", L"B", L"C"};
      root->meshShape(rect(root, n[k], k, 0, k + 1, 1), TRNG3, 6, 0, 0.25, 100000, 0);
    }
  }
};

TEST_F(ThreeMeshes, MergeGivesOneMeshNamedRoot) {
  int triangles = 0;
  for (const CMesh* m : root->meshes)
    triangles += static_cast<int>(m->trng3Elements.size());
  root->merge();
  ASSERT_EQ(root->meshes.size(), 1u);
  EXPECT_EQ(root->meshes[0]->name, L"root");
  EXPECT_EQ(static_cast<int>(root->meshes[0]->trng3Elements.size()), triangles);
  EXPECT_NEAR(meshArea(*root->meshes[0]), 3.0, 1e-9);
}

TEST_F(ThreeMeshes, WeldBoxOverThreeMeshesIsRefused) {
  Point<double> a(0.5, -0.1, 0), b(2.5, 1.1, 0);
  EXPECT_FALSE(root->createWeld(a, b));
  EXPECT_TRUE(root->welds.empty());
  // A box with no boundary segment wholly inside is refused too.
  Point<double> c(0.2, 0.2, 0), d(0.8, 0.8, 0);
  EXPECT_FALSE(root->createWeld(c, d));
  EXPECT_TRUE(root->welds.empty());
}

TEST_F(ThreeMeshes, WeldsJoinTwoMeshesAndAreUsedUp) {
  Point<double> a(0.9, -0.1, 0), b(1.1, 1.1, 0);
  ASSERT_TRUE(root->createWeld(a, b));
  Point<double> c(1.9, -0.1, 0), d(2.1, 1.1, 0);
  ASSERT_TRUE(root->createWeld(c, d));
  const CWeld& w = *root->welds[0];
  EXPECT_EQ(w.mesh1, L"A");
  EXPECT_EQ(w.mesh2, L"B");
  EXPECT_GT(w.tolerance, 0.0);
  // Each weld adds segments to the merged mesh; ASan watches the array.
  root->executeWelds();
  EXPECT_TRUE(root->welds.empty());
  ASSERT_EQ(root->meshes.size(), 1u);
  EXPECT_EQ(root->meshes[0]->name, L"root");
  EXPECT_NEAR(meshArea(*root->meshes[0]), 3.0, 1e-9);
  EXPECT_TRUE(Hooks::messageBoxes().empty());
}

TEST_F(SubSectionMesh, ExecuteWeldsWithoutMeshesKeepsTheWelds) {
  root->welds.push_back(new CWeld(L"root"));
  try {
    root->executeWelds();
    FAIL() << "no error";
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "merge of meshes failed");
  }
  EXPECT_EQ(root->welds.size(), 1u);
}

TEST_F(SubSectionMesh, ElementLookUpFindsInsidePointsOnly) {
  root->meshShape(rect(root, L"R", 0, 0, 2, 1), TRNG3, 10, 0, 0.25, 100000, 0);
  Point<double> inside(0.731, 0.417, 0);
  CFETrng3* e = root->findTrng3Element(&inside);
  ASSERT_NE(e, nullptr);
  EXPECT_TRUE(e->contains(&inside));
  // A mesh corner lies on its elements' boxes; outside points have none.
  for (Point<double> p : {Point<double>(0, 0, 0), Point<double>(2, 1, 0), Point<double>(3, 0.5, 0)})
    EXPECT_EQ(root->findTrng3Element(&p), nullptr) << p.x << "," << p.y;
  EXPECT_EQ(root->findQuad4Element(&inside), nullptr);
  Point<double> lo, hi;
  root->meshExtents(lo, hi);
  EXPECT_DOUBLE_EQ(lo.x, 0.0);
  EXPECT_DOUBLE_EQ(hi.x, 2.0);
  EXPECT_DOUBLE_EQ(hi.y, 1.0);
}

}  // namespace
