// Shape owners after a model load. Own shapes travel by name and every
// shape names its owner: a loaded shape that a list holds must come back
// with an owner that holds it, also when names repeat or a stored owner name
// matches no sub-section, so that deleting it (as closing a document does
// through "root") leaves no list holding freed memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/tests/TestSupport.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "drevoline/tests/test_section_support.h"

using section_test::child;
using section_test::unitSquare;
using test_support::Bytes;

namespace {

Bytes encoded(const char* s) {
  Bytes out = {0xFF, 0xFE, 0xFF, static_cast<BYTE>(std::strlen(s))};
  for (; *s; ++s)
    out.insert(out.end(), {static_cast<BYTE>(*s), 0});
  return out;
}

// Replaces the first stored text from that follows the stored text after.
void renameStoredAfter(Bytes& bytes, const char* after, const char* from, const char* to) {
  const Bytes mark = encoded(after), a = encoded(from), b = encoded(to);
  auto at = std::search(bytes.begin(), bytes.end(), mark.begin(), mark.end());
  ASSERT_NE(at, bytes.end()) << after;
  at = std::search(at + mark.size(), bytes.end(), a.begin(), a.end());
  ASSERT_NE(at, bytes.end()) << from;
  at = bytes.erase(at, at + a.size());
  bytes.insert(at, b.begin(), b.end());
}

Bytes store(CXSectionAnalysis& m) {
  return test_support::stored([&](CArchive& ar) { m.write(ar); });
}

void load(CXSectionAnalysis& m, const Bytes& bytes) {
  test_support::loaded(bytes, [&](CArchive& ar) { m.read(ar); });
}

// A union over a copy of shape's outline, made in s.
void unite(CSubSection* s, const CShapeAnalysis* shape) {
  CList<CCompositeCurve*> curves;
  curves.AddTail(new CCompositeCurve(*shape->boundary));
  s->createUnion(&curves, nullptr);
}

bool holds(const CSubSection* s, CShapeAnalysis* shape) {
  return s != nullptr && (s->contains(shape) != 0 || s->isUnionShape(shape));
}

// Every shape that some sub-section lists has an owner that lists it.
void expectListedShapesOwned(const CXSectionAnalysis& m) {
  for (const CSubSection* s : m.subSections)
    for (const ShapeList* list : {&s->shapeList, static_cast<const ShapeList*>(s->unionShapes)})
      for (POSITION pos = list != nullptr ? list->GetHeadPosition() : nullptr; pos;) {
        CShapeAnalysis* shape = list->GetNext(pos);
        EXPECT_TRUE(holds(shape->subSection(), shape))
            << shape->name().ToUtf8() << " listed by " << s->name().ToUtf8();
      }
}

// Clears the model as closing a document does, then checks that no list
// still holds a shape: each would be a freed one.
void expectCloseFreesEveryList(CXSectionAnalysis& m) {
  CString root(L"root");
  m.deleteSubSectionAndChildShapes(root);
  EXPECT_EQ(m.shapes.GetCount(), 0);
  for (const CSubSection* s : m.subSections) {
    EXPECT_EQ(s->shapeList.GetCount(), 0) << s->name().ToUtf8();
    EXPECT_FALSE(s->isUnionOn()) << s->name().ToUtf8();
  }
}

// root > S, P; P owns "a" and a union "union_P_1"; the group G, without a
// parent, lists "a" too (as a mirrored duplicate of a group leaves it).
struct OwnedModel : ::testing::Test {
  CXSectionAnalysis m;
  CSubSection* s = child(m, m.rootSubSection(), L"S");
  CSubSection* p = child(m, m.rootSubSection(), L"P");
  CSubSection* g = nullptr;

  void SetUp() override {
    CShapeAnalysis* a = unitSquare(L"a", 0, 0, true);
    m.addShapeToLists(p, a);
    unite(p, a);
    g = new CSubSection(&m, nullptr);
    g->name(L"G");
    g->addShape(a);
    m.subSections.push_back(g);
  }
};

TEST_F(OwnedModel, AStoredOwnerThatDoesNotHoldTheShapeGivesWayToOneThatDoes) {
  // A shape's record stores its owner's name after its outline: the first
  // "P" after the shape's name. "Q" names no sub-section; "S" one that holds
  // nothing and goes first when root is cleared.
  const struct {
    const char* shape;
    const char* owner;
  } cases[] = {{"union_P_1", "Q"}, {"a", "Q"}, {"union_P_1", "S"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.shape) + " owned by " + c.owner);
    Bytes bytes = store(m);
    renameStoredAfter(bytes, c.shape, "P", c.owner);
    CXSectionAnalysis loaded;
    load(loaded, bytes);
    CShapeAnalysis* shape = loaded.findShape(CString::FromUtf8(c.shape));
    ASSERT_NE(shape, nullptr);
    EXPECT_TRUE(holds(shape->subSection(), shape));
    expectListedShapesOwned(loaded);
    expectCloseFreesEveryList(loaded);
  }
}

TEST_F(OwnedModel, AWellFormedModelKeepsItsOwnersAndTheGroupOnlyLists) {
  CXSectionAnalysis loaded;
  load(loaded, store(m));
  const CSubSection* lp = loaded.findSubSection(L"P");
  ASSERT_NE(lp, nullptr);
  EXPECT_EQ(loaded.findShape(L"a")->subSection(), lp);
  EXPECT_EQ(loaded.findShape(L"union_P_1")->subSection(), lp);
  EXPECT_EQ(loaded.findSubSection(L"G")->shapeList.GetCount(), 1);
  expectCloseFreesEveryList(loaded);
}

TEST(SectionStorageOwners, ShapesOfOneNameInTwoSubSectionsEachComeBackToTheirOwn) {
  CXSectionAnalysis m;
  CSubSection* a = child(m, m.rootSubSection(), L"A");
  CSubSection* b = child(m, m.rootSubSection(), L"B");
  m.addShapeToLists(a, unitSquare(L"x", 0, 0, true));
  m.addShapeToLists(b, unitSquare(L"x", 5, 0, true));

  CXSectionAnalysis loaded;
  load(loaded, store(m));
  const CSubSection* la = loaded.findSubSection(L"A");
  const CSubSection* lb = loaded.findSubSection(L"B");
  ASSERT_EQ(la->shapeList.GetCount(), 1);
  ASSERT_EQ(lb->shapeList.GetCount(), 1);
  EXPECT_NE(la->shapeList.GetHead(), lb->shapeList.GetHead());
  // B's square is the one at x = 5.
  Point<double> min, max;
  lb->shapeList.GetHead()->extents(&min, &max, 1);
  EXPECT_EQ(min.x, 5.0);
  expectListedShapesOwned(loaded);
  expectCloseFreesEveryList(loaded);
}

// Disabled: loading refuses two sub-sections of one name ("Subsection tree is
// corrupted") until a sub-section leaves the model by identity everywhere.
TEST(SectionStorageOwners, DISABLED_TwoSubSectionsOfOneNameEachKeepTheirUnion) {
  // A profile mirrored under its own name gives a second sub-section of
  // that name beside it; each holds a union of its own.
  CXSectionAnalysis m;
  for (double x : {0.0, 5.0}) {
    CSubSection* t = child(m, m.rootSubSection(), L"T");
    CShapeAnalysis* part = unitSquare(x == 0.0 ? L"T_web" : L"T_web2", x, 0, true);
    m.addShapeToLists(t, part);
    unite(t, part);
  }
  // Sub-sections leave the model by name: a model with two of one name is
  // not torn down soundly, so each model gets its second one renamed.
  const Bytes bytes = store(m);
  m.subSections.back()->name(L"T2");
  CXSectionAnalysis loaded;
  load(loaded, bytes);
  int unions = 0;
  for (const CSubSection* s : loaded.subSections)
    if (s->unionShapes != nullptr) {
      ++unions;
      EXPECT_EQ(s->unionShapes->GetHead()->subSection(), s);
    }
  EXPECT_EQ(unions, 2);
  expectListedShapesOwned(loaded);
  loaded.subSections.front()->name(L"T2");
}

}  // namespace
