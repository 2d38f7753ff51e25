// The tree check of a section model, in memory and after a load: a
// sub-section without a parent (a group of its own) stands; a loop of
// parents, a parent the model does not hold and a child that lost its link
// back are "Subsection tree is corrupted". A shape that goes leaves the
// groups that list it as well as its owner.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>

#include "analysis/tests/TestSupport.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "drevoline/section/CXSectionAnalysisStorage.h"
#include "drevoline/tests/test_section_support.h"

using section_test::child;
using test_support::Bytes;

namespace {

std::string failure(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const std::logic_error& e) {
    return e.what();
  }
  return "";
}

// Replaces the first stored text from by to (both short ASCII names).
void renameStored(Bytes& bytes, const char* from, const char* to) {
  auto encoded = [](const char* s) {
    Bytes out = {0xFF, 0xFE, 0xFF, static_cast<BYTE>(std::strlen(s))};
    for (; *s; ++s) out.insert(out.end(), {static_cast<BYTE>(*s), 0});
    return out;
  };
  const Bytes a = encoded(from), b = encoded(to);
  auto at = std::search(bytes.begin(), bytes.end(), a.begin(), a.end());
  ASSERT_NE(at, bytes.end()) << from;
  at = bytes.erase(at, at + a.size());
  bytes.insert(at, b.begin(), b.end());
}

// root with a child A holding the square s; the group G, without a parent,
// holds s as well (as a mirrored duplicate of a group leaves it).
struct GroupedModel : ::testing::Test {
  CXSectionAnalysis m;
  CSubSection* root = m.rootSubSection();
  CSubSection* a = child(m, root, L"A");
  CSubSection* g = nullptr;
  CShapeAnalysis* s = section_test::unitSquare(L"s", 0, 0, true);

  void SetUp() override {
    m.addShapeToLists(a, s);
    g = new CSubSection(&m, nullptr);
    g->name(L"G");
    g->addShape(s);
    m.subSections.push_back(g);
  }
  Bytes bytes() {
    return test_support::stored([&](CArchive& ar) { m.write(ar); });
  }
};

TEST_F(GroupedModel, AGroupWithoutAParentStandsAndLoadsAsItWas) {
  EXPECT_NO_THROW(m.verifySubsections());
  CXSectionAnalysis loaded;
  ASSERT_EQ(failure([&] {
              test_support::loaded(bytes(), [&](CArchive& ar) { loaded.read(ar); });
              loaded.verifySubsections();
            }),
            "");
  const CSubSection* group = loaded.findSubSection(L"G");
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->parent(), nullptr);
  ASSERT_EQ(group->shapeList.GetCount(), 1);
  const CShapeAnalysis* shape = group->shapeList.GetHead();
  // The shape is A's; the group only lists it.
  ASSERT_NE(shape->subSection(), nullptr);
  EXPECT_EQ(shape->subSection()->name(), CString(L"A"));
  EXPECT_EQ(loaded.findSubSection(L"A")->parent(), loaded.rootSubSection());
}

TEST_F(GroupedModel, ADeletedShapeLeavesTheGroupThatListsIt) {
  delete s;
  EXPECT_TRUE(a->shapeList.IsEmpty());
  EXPECT_TRUE(g->shapeList.IsEmpty());
  EXPECT_TRUE(m.shapes.IsEmpty());
}

TEST_F(GroupedModel, BrokenTreesAreRefusedInMemory) {
  const std::function<void()> breakages[] = {
      // a loop: root under A, A under root
      [&] { root->parent(a); },
      // a parent the model does not hold
      [&] {
        static CSubSection stray;
        a->parent(&stray);
      },
      // a child whose link back to the parent that lists it is lost
      [&] { a->parent(nullptr); },
  };
  for (const auto& breakTree : breakages) {
    breakTree();
    EXPECT_EQ(failure([&] { m.verifySubsections(); }), "Subsection tree is corrupted");
    root->parent(nullptr);
    a->parent(root);
    EXPECT_NO_THROW(m.verifySubsections());
  }
}

TEST_F(GroupedModel, AStoredParentThatNoSubSectionHasIsRefused) {
  Bytes stored = bytes();
  // Records go last to first, so the first "root" stored is the parent
  // that A's record names; renamed, nothing answers to it.
  renameStored(stored, "root", "rot");
  CXSectionAnalysis loaded;
  EXPECT_EQ(failure([&] { test_support::loaded(stored, [&](CArchive& ar) { loaded.read(ar); }); }),
            "Subsection tree is corrupted");
  EXPECT_TRUE(gPendingSubSectionParents.empty());
}

}  // namespace
