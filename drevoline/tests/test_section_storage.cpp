// Section model storage: a whole model stored and loaded (tree, shapes,
// union, points, load conditions), the model's own field order read back
// independently, hand-built sub-section records, and meshes with welds.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CDot.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/Globals.h"
#include "analysis/tests/TestSupport.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/CWeld.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "drevoline/section/CXSectionAnalysisStorage.h"

using test_support::Bytes;

namespace {

std::string logicText(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const std::logic_error& e) {
    return e.what();
  }
  return "";
}

std::vector<std::string> names(const std::vector<CSubSection*>& list) {
  std::vector<std::string> out;
  for (const CSubSection* s : list)
    out.push_back(s->name().ToUtf8());
  return out;
}

std::vector<std::string> names(const std::deque<CSubSection*>& list) {
  return names(std::vector<CSubSection*>(list.begin(), list.end()));
}

// Builds shapes and sub-sections in a model.
struct ModelBuilder {
  CXSectionAnalysis& model;

  CSubSection* child(CSubSection* parent, const wchar_t* name) {
    auto* s = new CSubSection(&model, nullptr);
    s->name(name);
    parent->addChildSubSection(s);
    model.subSections.push_back(s);
    return s;
  }

  CShapeAnalysis* shape(CSubSection* sub, const wchar_t* name, ShapeType kind, double x0, double a3, double a4,
                        double a5, double a6, double a7, short origin = 0, short direction = 1) {
    auto* s = new CShapeAnalysis(&model);
    CString n(name);
    try {
      s->sector(sub, &model, n, x0, 1.0, a3, a4, a5, a6, a7, kind, origin, direction, 10.0, false);
    } catch (...) {
      delete s;
      throw;
    }
    s->boundary->name(n);
    return s;
  }
};

std::shared_ptr<CMetal> metalNamed(const wchar_t* name) {
  auto m = std::make_shared<CMetal>();
  m->name = name;
  return m;
}

// A model holding root with children A and B: every basic kind, a union
// in A, load conditions, critical and construction points, a kind-11 B.
struct StoredModel : ::testing::Test {
  std::shared_ptr<CMetal> steel = metalNamed(L"steel");
  CXSectionAnalysis model;
  ModelBuilder build{model};
  CSubSection* root = model.rootSubSection();
  CSubSection* a = build.child(root, L"A");
  CSubSection* b = build.child(root, L"B");

  StoredModel() {
    model.name = L"M1";
    model.materials.AddTail(steel);
    struct Kind {
      const wchar_t* name;
      ShapeType kind;
      double a3, a4, a5, a6, a7;
    };
    const Kind kinds[] = {
        {L"sector", qhtShapeSector, 4, 0, 0, 60, 0},       {L"fillet", qhtShapeFillet, 4, 0, 0, 70, 0},
        {L"rect", qhtShapeRectangle, 4, 3, 0, 90, 90},     {L"para", qhtShapeParallelogram, 4, 3, 0, 60, 70},
        {L"tri", qhtShapeTriangle, 4, 1, 2, 0, 0},         {L"annulus", qhtShapeAnnulus, 2, 1, 0, 120, 0},
        {L"chord", qhtShapeSectorChord, 3, 2, 0, 0, 0},    {L"disk", qhtShapeDisk, 3, 0, 0, 0, 0},
        {L"blend", qhtShapeBlend, 2, 3, 0, 50, 0},
    };
    double x = 0.0;
    for (const Kind& k : kinds) {
      CShapeAnalysis* s = build.shape(root, k.name, k.kind, x, k.a3, k.a4, k.a5, k.a6, k.a7);
      s->material(steel);
      x += 20.0;
    }
    model.findShape(L"rect")->mark = true;
    model.findShape(L"rect")->flagBits = 6;
    model.findShape(L"disk")->matl2(steel);
    build.shape(b, L"bare", qhtShapeRectangle, 300, 2, 1, 0, 90, 90);
    CShapeAnalysis* inA = build.shape(a, L"inA", qhtShapeRectangle, 200, 2, 1, 0, 90, 90);
    inA->material(steel);

    CList<CCompositeCurve*> curves;
    curves.AddTail(new CCompositeCurve(*inA->boundary));
    a->createUnion(&curves, steel);

    a->addLoadCondition(LoadCase, L"LC1");
    a->addLoadCondition(SectionForces, L"SF1");
    a->curAppLC(a->loadConditions[0]);
    Point<double> p(1.0, 2.0, 5.0);
    a->addCriticalPoint(p, 100.0);
    a->criticalPoints[0]->actual = 3.0;
    root->addConstructionPoint(1.0, 1.0);
    root->addConstructionPoint(4.0, 4.0);
    b->sectionKind = 11;
    b->kindArguments = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    b->auxText = L"aux";
    b->originPointIndex = 2;
    b->directionPointIndex = 3;
    model.geometryTime = 1234567890123LL;
  }

  Bytes store(CXSectionAnalysis& m) { return test_support::stored([&](CArchive& ar) { m.write(ar); }); }

  // A model loaded from bytes; its materials hold steel, as a document's would.
  std::unique_ptr<CXSectionAnalysis> load(const Bytes& bytes) {
    auto m = std::make_unique<CXSectionAnalysis>();
    m->materials.AddTail(steel);
    test_support::loaded(bytes, [&](CArchive& ar) { m->read(ar); });
    return m;
  }
};

}  // namespace

TEST_F(StoredModel, KeepsTreeShapesUnionAndPointsAsFarAsTheFormatHoldsThem) {
  const Bytes bytes = store(model);
  auto loaded = load(bytes);
  CXSectionAnalysis& m = *loaded;

  // The flat list comes back reversed; the tree is rebuilt with its siblings in order.
  EXPECT_EQ(names(m.subSections), (std::vector<std::string>{"B", "A", "root"}));
  CSubSection* lroot = m.rootSubSection();
  CSubSection* la = m.findSubSectionMutable(L"A");
  CSubSection* lb = m.findSubSectionMutable(L"B");
  ASSERT_TRUE(lroot && la && lb);
  EXPECT_EQ(names(lroot->children), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(la->parent(), lroot);
  EXPECT_EQ(lb->parent(), lroot);
  EXPECT_EQ(lroot->parent(), nullptr);
  EXPECT_EQ(m.name, CString(L"M1"));
  EXPECT_EQ(m.currentName, CString(L"root"));
  EXPECT_EQ(m.geometryTime, 1234567890123LL);
  EXPECT_NO_THROW(m.verifySubsections());

  // Every shape, in order, with its record.
  ASSERT_EQ(m.shapes.GetCount(), model.shapes.GetCount());
  POSITION p0 = model.shapes.GetHeadPosition();
  POSITION p1 = m.shapes.GetHeadPosition();
  while (p0 && p1) {
    const CShapeAnalysis* s0 = model.shapes.GetNext(p0);
    const CShapeAnalysis* s1 = m.shapes.GetNext(p1);
    SCOPED_TRACE(s0->name().ToUtf8());
    EXPECT_EQ(s1->name(), s0->name());
    EXPECT_EQ(s1->id, s0->id);
    EXPECT_EQ(s1->kind, s0->kind);
    EXPECT_EQ(s1->flagBits, s0->flagBits);
    EXPECT_EQ(s1->supportKind, s0->supportKind);
    EXPECT_EQ(s1->mark, s0->mark);
    EXPECT_NEAR(s1->area(), s0->area(), 1e-12);
    EXPECT_EQ(s1->boundary->nArcs(), s0->boundary->nArcs());
    EXPECT_EQ(s1->definingPoints.size(), s0->definingPoints.size());
    EXPECT_EQ(s1->args, s0->args);
    EXPECT_EQ(s1->originIndex, s0->originIndex);
    EXPECT_EQ(s1->directionIndex, s0->directionIndex);
    EXPECT_EQ(s1->material(), s0->material() ? steel : nullptr);
    EXPECT_EQ(s1->matl2(), s0->matl2() ? steel : nullptr);
    ASSERT_NE(s1->parent, nullptr);
    EXPECT_EQ(s1->parent->name(), s0->parent->name());
    if (s0->isBasicShape()) {
      ASSERT_NE(s1->sectorArgs, nullptr);
      EXPECT_EQ(s1->sectorArgs->dim1, s0->sectorArgs->dim1);
      EXPECT_EQ(s1->sectorArgs->dim2, s0->sectorArgs->dim2);
      EXPECT_EQ(s1->sectorArgs->kind, s0->sectorArgs->kind);
      EXPECT_EQ(s1->sectorArgs->originNumber, s1->originIndex + 1);
      EXPECT_EQ(s1->sectorArgs->sweepDeg, 0.0);  // not stored
    }
  }
  EXPECT_EQ(lroot->shapeList.GetCount(), 9);
  EXPECT_EQ(lb->findShape(L"bare")->material(), nullptr);

  // One union-shape object, listed by the model and by A's union.
  ASSERT_NE(la->unionShapes, nullptr);
  ASSERT_EQ(la->unionShapes->GetCount(), 1);
  CShapeAnalysis* u = la->unionShapes->GetHead();
  EXPECT_NE(m.shapes.Find(u), nullptr);
  EXPECT_EQ(u->parent, la);
  EXPECT_EQ(u->kind, qhtShapeSubSection);
  EXPECT_EQ(la->findShape(L"inA")->parent, la);

  // Load conditions by name and type; the applied one is reset.
  ASSERT_EQ(la->loadConditions.size(), 2u);
  EXPECT_EQ(la->loadConditions[0]->name(), CString(L"LC1"));
  EXPECT_EQ(la->loadConditions[1]->type(), SectionForces);
  EXPECT_EQ(la->curAppLC(), nullptr);

  // Critical points: location in the plane and allowable; actual back to 999.
  ASSERT_EQ(la->criticalPoints.size(), 1u);
  EXPECT_EQ(la->criticalPoints[0]->location.x, 1.0);
  EXPECT_EQ(la->criticalPoints[0]->location.y, 2.0);
  EXPECT_EQ(la->criticalPoints[0]->location.z, 0.0);
  EXPECT_EQ(la->criticalPoints[0]->allowable, 100.0);
  EXPECT_EQ(la->criticalPoints[0]->actual, 999.0);

  ASSERT_EQ(lroot->constructionPoints.size(), 2u);
  EXPECT_EQ(lroot->constructionPoints[1]->location.x, 4.0);
  EXPECT_EQ(lb->kindArguments, (std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(lb->auxText, CString(L"aux"));
  EXPECT_EQ(lb->originPointIndex, 2);
  EXPECT_EQ(lb->directionPointIndex, 3);
  EXPECT_EQ(lb->sectionKind, 11);
  EXPECT_FALSE(lb->scnPrpUTD());
}

TEST_F(StoredModel, SiblingOrderSurvivesRepeatedLoads) {
  CSubSection* c = build.child(root, L"C");
  build.child(c, L"C1");
  build.child(c, L"C2");
  auto once = load(store(model));
  auto twice = load(store(*once));
  for (CXSectionAnalysis* m : {once.get(), twice.get()}) {
    EXPECT_EQ(names(m->rootSubSection()->children), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(names(m->findSubSectionMutable(L"C")->children), (std::vector<std::string>{"C1", "C2"}));
  }
  // Two loads turn the flat list round twice.
  EXPECT_EQ(store(*twice), store(model));
}

TEST_F(StoredModel, AShapeWithoutMaterialOrOwnerStoresNoMatlTwiceAndAnEmptyOwner) {
  auto* orphan = new CShapeAnalysis(&model);
  orphan->name(L"orphan");
  model.shapes.AddTail(orphan);
  const Bytes bytes = store(model);
  // Fields 7 to 10 of the orphan's record: "NoMatl", "NoMatl", "", 0, 0, 0.
  Bytes expected;
  auto text = [&](const char* s) {
    expected.insert(expected.end(), {0xFF, 0xFE, 0xFF, static_cast<BYTE>(std::strlen(s))});
    for (const char* c = s; *c; ++c)
      expected.insert(expected.end(), {static_cast<BYTE>(*c), 0});
  };
  text("NoMatl");
  text("NoMatl");
  text("");
  expected.insert(expected.end(), 12, 0);
  EXPECT_NE(std::search(bytes.begin(), bytes.end(), expected.begin(), expected.end()), bytes.end());

  auto loaded = load(bytes);
  CShapeAnalysis* back = loaded->findShape(L"orphan");
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->parent, nullptr);
  EXPECT_EQ(back->material(), nullptr);
  EXPECT_EQ(back->matl2(), nullptr);
}

namespace {

// Reads the archive's values back without the archive: the model's own part
// checked field by field.
struct ByteReader {
  const Bytes& bytes;
  std::size_t at = 0;

  template <class T>
  T get() {
    T v{};
    EXPECT_LE(at + sizeof v, bytes.size());
    if (at + sizeof v <= bytes.size())
      std::memcpy(&v, bytes.data() + at, sizeof v);
    at += sizeof v;
    return v;
  }
  int i32() { return get<int>(); }
  double f64() { return get<double>(); }
  // The wide string form: 0xFF, word 0xFFFE, a byte length, UTF-16 units.
  std::string text() {
    EXPECT_EQ(get<BYTE>(), 0xFF);
    EXPECT_EQ(get<WORD>(), 0xFFFE);
    const int n = get<BYTE>();
    std::string out;
    for (int i = 0; i < n; ++i)
      out += static_cast<char>(get<WORD>());
    return out;
  }
};

}  // namespace

TEST(SectionStorageLayout, TheModelsOwnPartReadsBackFieldByField) {
  CXSectionAnalysis model;
  model.name = L"M1";
  model.geometryTime = 0x0102030405060708LL;
  const Bytes bytes = test_support::stored([&](CArchive& ar) { model.write(ar); });
  ByteReader r{bytes};
  EXPECT_EQ(r.text(), "CXSectionAnalysis::");
  EXPECT_EQ(r.i32(), 0);
  EXPECT_EQ(r.i32(), 0);
  EXPECT_EQ(r.i32(), 0);  // shapes
  EXPECT_EQ(r.i32(), 1);  // sub-sections
  // The root's record, layout version 3.
  EXPECT_EQ(r.i32(), 3);
  EXPECT_EQ(r.text(), "root");
  EXPECT_EQ(r.i32(), -1);
  EXPECT_EQ(r.i32(), -1);
  EXPECT_EQ(r.i32(), 21);
  EXPECT_EQ(r.i32(), 0);
  EXPECT_EQ(r.text(), "");
  EXPECT_EQ(r.text(), "none");
  const int expectedInts[] = {0, 0, 10101010, 0, 0, 0, 0, 0, 0};  // children .. union count, field 17
  for (int v : expectedInts)
    EXPECT_EQ(r.i32(), v);
  EXPECT_EQ(r.f64(), 0.0);
  EXPECT_EQ(r.f64(), 0.0);
  const int tailInts[] = {0, 0, 0, 0, 0, 0, 0, 10101010};  // meshes, five zeros, welds, marker
  for (int v : tailInts)
    EXPECT_EQ(r.i32(), v);
  EXPECT_EQ(r.get<BYTE>(), 0);
  EXPECT_EQ(r.i32(), 10101010);
  EXPECT_EQ(r.i32(), 0);  // load conditions
  EXPECT_EQ(r.i32(), 0);  // critical points
  EXPECT_EQ(r.i32(), 0);  // construction points
  // Fields 8 to 17.
  EXPECT_EQ(r.text(), "root");
  EXPECT_EQ(r.i32(), 0);
  EXPECT_EQ(r.get<BYTE>(), 0);
  EXPECT_EQ(r.text(), "M1");
  EXPECT_EQ(r.text(), "Undefined");
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(r.i32(), 0);
  EXPECT_EQ(r.get<long long>(), 0x0102030405060708LL);
  EXPECT_EQ(r.f64(), 1.0);
  EXPECT_EQ(r.f64(), 2.0);
  EXPECT_EQ(r.f64(), 3.0);
  EXPECT_EQ(r.i32(), 1);
  EXPECT_EQ(r.i32(), 2);
  EXPECT_EQ(r.i32(), 444);
  EXPECT_EQ(r.at, bytes.size());
}

TEST(SectionStorageLayout, ShapesAreTaggedObjectsEachFollowedBy444) {
  CXSectionAnalysis model;
  CShapeAnalysis* s = model.addShape(L"s");
  const Bytes bytes = test_support::stored([&](CArchive& ar) { model.write(ar); });
  ByteReader r{bytes};
  r.text();
  r.i32();
  r.i32();
  EXPECT_EQ(r.i32(), 1);
  EXPECT_EQ(r.get<WORD>(), 0xFFFF);  // a new class, schema 1
  EXPECT_EQ(r.get<WORD>(), 1);
  EXPECT_EQ(r.get<WORD>(), 14);
  std::string cls;
  for (int i = 0; i < 14; ++i)
    cls += static_cast<char>(r.get<BYTE>());
  EXPECT_EQ(cls, "CShapeAnalysis");
  EXPECT_EQ(r.text(), "s");
  EXPECT_EQ(r.i32(), s->id);
  const Bytes shape = test_support::stored([&](CArchive& ar) { ar.WriteObject(s); });
  // The object, then the marker, then the sub-section count.
  r.at = 4 + 2 * 19 + 4 + 4 + 4 + shape.size();
  EXPECT_EQ(r.i32(), 444);
  EXPECT_EQ(r.i32(), 1);
}

namespace {

// Writes a sub-section record by hand, field by field.
struct RecordWriter {
  int version = 3;
  CString parent = L"none";
  int meshes = 0;
  int marker23 = 10101010;
  int marker26 = 10101010;
  std::vector<std::pair<double, double>> points;

  Bytes bytes() const {
    return test_support::stored([&](CArchive& ar) {
      ar << version << CString(L"hand") << 1 << 2 << 21 << 0 << CString(L"") << parent;
      ar << 0;                           // children
      ar << 0 << 10101010 << 0 << 0;     // fields 10 to 13
      ar << 0 << 0 << 0;                 // own shapes, field 15, union shapes
      ar << 0 << 0.0 << 0.0;             // fields 17 to 19
      if (version >= 2) {
        ar << meshes;
        for (int i = 0; i < meshes; ++i)
          ar << static_cast<BYTE>(0);    // a mesh without nodes is one zero byte
      }
      ar << 0 << 0 << 0 << 0 << 0 << 0;  // five zeros, welds
      ar << marker23 << static_cast<BYTE>(0) << marker26;
      ar << 0 << 0;                      // load conditions, critical points
      ar << static_cast<int>(points.size());
      for (const auto& p : points)
        ar << p.first << p.second;
    });
  }
};

struct HandBuiltRecord : ::testing::Test {
  CXSectionAnalysis model;
  CSubSection s{&model, nullptr};

  ~HandBuiltRecord() override { clearPendingLinks(); }

  void load(const RecordWriter& w) {
    test_support::loaded(w.bytes(), [&](CArchive& ar) { s.Serialize(ar); });
  }
};

}  // namespace

TEST_F(HandBuiltRecord, VersionOneHasNoMeshCount) {
  RecordWriter w;
  w.version = 1;
  w.points = {{1.0, 2.0}, {1.0 + 5e-6, 2.0}, {3.0, 4.0}};
  load(w);
  EXPECT_EQ(s.name(), CString(L"hand"));
  EXPECT_EQ(s.originPointIndex, 1);
  EXPECT_EQ(s.directionPointIndex, 2);
  EXPECT_TRUE(s.meshes.empty());
  // Points closer than 1e-5 to one already loaded are dropped.
  ASSERT_EQ(s.constructionPoints.size(), 2u);
  EXPECT_EQ(s.constructionPoints[1]->location.x, 3.0);
  EXPECT_TRUE(gPendingSubSectionParents.empty());  // "none": a root
}

TEST_F(HandBuiltRecord, AParentNameBecomesAPendingLink) {
  RecordWriter w;
  w.parent = L"P";
  load(w);
  ASSERT_EQ(gPendingSubSectionParents.size(), 1u);
  EXPECT_EQ(gPendingSubSectionParents[0].object, &s);
  EXPECT_EQ(gPendingSubSectionParents[0].name, CString(L"P"));
}

TEST_F(HandBuiltRecord, AHundredMeshesLoadAndOneMoreIsRefused) {
  RecordWriter w;
  w.meshes = 100;
  load(w);
  EXPECT_EQ(s.meshes.size(), 100u);
  CSubSection other(&model, nullptr);
  w.meshes = 101;
  EXPECT_EQ(logicText([&] { test_support::loaded(w.bytes(), [&](CArchive& ar) { other.Serialize(ar); }); }),
            "Number of associated meshes is too large.");
}

TEST_F(HandBuiltRecord, BrokenMarkersGiveTheirMessages) {
  RecordWriter w23;
  w23.marker23 = 5;
  EXPECT_EQ(logicText([&] { load(w23); }), "Read of Section Failed.");
  CSubSection other(&model, nullptr);
  RecordWriter w26;
  w26.marker26 = 5;
  EXPECT_EQ(logicText([&] { test_support::loaded(w26.bytes(), [&](CArchive& ar) { other.Serialize(ar); }); }),
            "SubSection read failed");
}

TEST(SectionStorageTree, ALoopOfParentsIsRefused) {
  // Two sub-sections that name each other as parent.
  CXSectionAnalysis model;
  CSubSection* root = model.rootSubSection();
  auto* a = new CSubSection(&model, nullptr);
  a->name(L"A");
  root->addChildSubSection(a);
  model.subSections.push_back(a);
  Bytes bytes = test_support::stored([&](CArchive& ar) { model.write(ar); });
  // The root's stored parent "none" becomes "A", whose parent is "root".
  const Bytes none = {0xFF, 0xFE, 0xFF, 4, 'n', 0, 'o', 0, 'n', 0, 'e', 0};
  auto at = std::search(bytes.begin(), bytes.end(), none.begin(), none.end());
  ASSERT_NE(at, bytes.end());
  const Bytes named = {0xFF, 0xFE, 0xFF, 1, 'A', 0};
  at = bytes.erase(at, at + none.size());
  bytes.insert(at, named.begin(), named.end());
  CXSectionAnalysis loaded;
  EXPECT_EQ(logicText([&] { test_support::loaded(bytes, [&](CArchive& ar) { loaded.read(ar); }); }),
            "Subsection tree is corrupted");
  EXPECT_TRUE(gPendingSubSectionParents.empty());
  EXPECT_TRUE(gPendingShapeOwners.empty());
}
