// Section model storage with meshes and welds: repeated loads keep the
// stream, the meshes resolve their curves and the welds find their meshes;
// a whole document part with its material database.
#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CMetal.h"
#include "analysis/tests/TestSupport.h"
#include "analysis/tests/test_materials_support.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/CWeld.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "test_mesh_support.h"

using mesh_test::logicText;
using test_support::Bytes;

namespace {

// Two touching rectangles "r1" and "r2" in root, each meshed, and a weld
// across their common side.
struct MeshedModel : ::testing::Test {
  static std::shared_ptr<CMetal> steel() {
    static const std::shared_ptr<CMetal> metal = [] {
      auto m = std::make_shared<CMetal>();
      m->name = L"steel";
      return m;
    }();
    return metal;
  }

  CXSectionAnalysis model;
  CSubSection* root = model.rootSubSection();

  MeshedModel() {
    model.materials.AddTail(steel());
    mesh(rectangle(L"r1", 0.0));
    mesh(rectangle(L"r2", 2.0));
    auto* w = new CWeld(CString(L"w1"));
    w->mesh1 = L"r1";
    w->mesh2 = L"r2";
    w->pt1 = Point<double>(1.9, -0.1, 0.0);
    w->pt2 = Point<double>(2.1, 1.1, 0.0);
    w->tolerance = 0.01;
    w->limits();
    root->welds.push_back(w);
  }

  CShapeAnalysis* rectangle(const wchar_t* name, double x0) {
    auto* s = new CShapeAnalysis(&model);
    CString n(name);
    s->sector(root, &model, n, x0, 0.0, 2.0, 1.0, 0.0, 90.0, 90.0, qhtShapeRectangle, 0, 1, 0.0, false);
    s->boundary->name(n);
    return s;
  }

  void mesh(CShapeAnalysis* s) {
    auto* m = new CMesh();
    root->meshes.push_back(m);
    m->maxRemoves = INT_MAX;
    m->name = s->name();
    m->setModel(&model);
    m->create(20, s->boundary, 0, nullptr, nullptr, 0.5, nullptr);
    m->material = steel();
    m->setMaterial(steel());
    m->create2DFEM(1.0);
  }

  static Bytes store(CXSectionAnalysis& m) { return test_support::stored([&](CArchive& ar) { m.write(ar); }); }

  static std::unique_ptr<CXSectionAnalysis> load(const Bytes& bytes) {
    auto m = std::make_unique<CXSectionAnalysis>();
    m->materials.AddTail(steel());
    test_support::loaded(bytes, [&](CArchive& ar) { m->read(ar); });
    return m;
  }
};

}  // namespace

TEST_F(MeshedModel, StoreLoadTwiceGivesTheFirstStreamAgain) {
  const Bytes first = store(model);
  auto once = load(first);
  const Bytes second = store(*once);
  auto twice = load(second);
  EXPECT_EQ(store(*twice), first);

  CSubSection* r = twice->rootSubSection();
  ASSERT_EQ(r->meshes.size(), 2u);
  ASSERT_EQ(r->welds.size(), 1u);
  const CMesh* m1 = r->findMesh(L"r1");
  ASSERT_NE(m1, nullptr);
  EXPECT_EQ(m1->getModel(), twice.get());
  EXPECT_EQ(m1->nTriangles, root->findMesh(L"r1")->nTriangles);
  // The weld's curves are the loaded shapes' boundaries, found through the meshes.
  EXPECT_EQ(r->welds[0]->curve1, twice->findShape(L"r1")->boundary);
  EXPECT_EQ(r->welds[0]->curve2, twice->findShape(L"r2")->boundary);
  EXPECT_EQ(r->findMesh(L"r3"), nullptr);
}

TEST_F(MeshedModel, AWeldNamingAMissingMeshIsRefused) {
  root->welds[0]->mesh2 = L"gone";
  const Bytes bytes = store(model);
  EXPECT_EQ(logicText([&] { load(bytes); }), "meshes not recovered in restore");
}

TEST(SectionDocumentStorage, AWholeModelLoadsWithItsMaterialsDotsAndTree) {
  mattest::GlobalsGuard globals;
  mattest::TempFolder folder;
  const std::filesystem::path file = folder.path() / "mats.sqldb";
  mattest::createMaterialDatabase(file, {mattest::sampleRow(L"A", 1000)});

  CXSectionAnalysis model;
  model.materialDatabasePath = CString(file.wstring().c_str());
  auto a = std::make_shared<CMetal>();
  a->name = L"A";
  model.materials.AddTail(a);
  CSubSection* root = model.rootSubSection();
  auto* child = new CSubSection(&model, nullptr);
  child->name(L"C");
  root->addChildSubSection(child);
  model.subSections.push_back(child);
  auto* s = new CShapeAnalysis(&model);
  CString n(L"r");
  s->sector(child, &model, n, 0.0, 0.0, 2.0, 1.0, 0.0, 90.0, 90.0, qhtShapeRectangle, 0, 1, 0.0, false);
  s->material(a);
  const Bytes bytes = test_support::stored([&](CArchive& ar) { model.Serialize(ar); });

  CXSectionAnalysis loaded;
  test_support::loaded(bytes, [&](CArchive& ar) { loaded.Serialize(ar); });
  EXPECT_EQ(gModel, &loaded);
  EXPECT_EQ(vAveVAvezeze, &loaded);
  CShapeAnalysis* back = loaded.findShape(L"r");
  ASSERT_NE(back, nullptr);
  ASSERT_NE(back->material(), nullptr);
  EXPECT_EQ(back->material(), loaded.findMaterial(L"A"));  // the loaded model's own metal
  EXPECT_EQ(back->parent, loaded.findSubSectionMutable(L"C"));
  // The root's dots are made again from the shapes of its tree: the
  // rectangle's four corners.
  EXPECT_EQ(loaded.rootSubSection()->dots.size(), 4u);
}
