// Document operations on the sub-section tree, meshes and materials, shape
// type names, and the modeless-dialog registry.
#include <stdexcept>

#include "platform/ole/COleDispatchException.h"
#include "test_document_support.h"

using namespace document_test;

namespace {

// A new document with children "a", "b" under root.
struct TreeDoc {
  CXSectionAnalysisDoc doc;
  CSubSection* a = nullptr;
  CSubSection* b = nullptr;
  TreeDoc() {
    doc.OnNewDocument();
    CXSectionAnalysis& m = *doc.model();
    CSubSection* root = m.rootSubSection();
    for (auto [slot, name] : {std::pair{&a, L"a"}, std::pair{&b, L"b"}}) {
      *slot = new CSubSection(&m, root);
      (*slot)->name(name);
      root->addChildSubSection(*slot);
      m.subSections.push_back(*slot);
    }
  }
};

// A dialog that unregisters itself when its window is destroyed.
class FakeDialog : public ModelessDialog {
 public:
  explicit FakeDialog(CXSectionAnalysisDoc& doc) : doc(doc) {}
  void DestroyWindow() override {
    ++destroyed;
    doc.UnregisterModelessDialog(this);
  }
  CXSectionAnalysisDoc& doc;
  int destroyed = 0;
};

}  // namespace

TEST(DocumentShapeTypes, NamesOfTheCodes) {
  struct Case {
    int code;
    const wchar_t* name;
  };
  for (const Case& c : {Case{0, L"SECTOR"}, Case{6, L"EXTERNALSOURCE"}, Case{14, L"IBEAM"}, Case{19, L"EXTRUDED_J"},
                        Case{20, L"NOTYPE"}, Case{21, L"UNDEFINED_SHAPE"}, Case{-1, L"NOTYPE"}, Case{22, L"NOTYPE"}})
    EXPECT_EQ(CXSectionAnalysisDoc::ShapeTypeName(c.code), CString(c.name)) << c.code;
}

TEST_F(DocumentTest, ReorderingJournalsEvenWhenNothingMoves) {
  TreeDoc t;
  CSubSection* root = t.doc.model()->rootSubSection();
  t.doc.BringToFront(t.a);
  EXPECT_EQ(root->children.front(), t.a);
  t.doc.BringToFront(t.b);
  EXPECT_EQ(root->children.front(), t.b);
  t.doc.PushToBack(t.b);
  EXPECT_EQ(root->children.back(), t.b);
  EXPECT_EQ(root->children.size(), 2u);
  const auto text = lines(journals().at(0));
  ASSERT_GE(text.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(text.end() - 3, text.end()),
            (std::vector<std::string>{"xscn.BringSubSectionToFront \"a\"", "xscn.BringSubSectionToFront \"b\"",
                                      "xscn.PushSubSectionToBack \"b\""}));
}

TEST_F(DocumentTest, RenameConflictShowsAndChangesNothing) {
  TreeDoc t;
  t.doc.ModelChanged();  // the first snapshot
  for (const wchar_t* taken : {L"b", L"a"}) {
    Hooks::clearRecords();
    t.doc.RenameSubSectionTo(L"a", taken);
    ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
    EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"SubSection named ") + taken + L" already exists.");
    EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"Rename SubSection"));
  }
  EXPECT_EQ(t.a->name(), CString(L"a"));
  EXPECT_FALSE(t.doc.CanUndo());

  t.doc.RenameSubSectionTo(L"a", L"c");
  EXPECT_EQ(t.a->name(), CString(L"c"));
  EXPECT_TRUE(t.doc.CanUndo());
  EXPECT_EQ(lines(journals().at(0)).back(), "xscn.RenameSubSection \"a\",\"c\"");
  EXPECT_THROW(t.doc.RenameSubSectionTo(L"none", L"d"), std::logic_error);
}

TEST_F(DocumentTest, DeleteSubSectionRemovesItAndJournals) {
  TreeDoc t;
  t.doc.DeleteSubSectionAndChildShapes(L"");
  t.doc.DeleteSubSectionAndChildShapes(L"a");
  EXPECT_EQ(t.doc.model()->findSubSection(L"a"), nullptr);
  EXPECT_EQ(t.doc.model()->rootSubSection()->children.size(), 1u);
  const auto text = lines(journals().at(0));
  EXPECT_EQ(text.back(), "xscn.DeleteSubSectionAndChildShapes \"a\"");
  EXPECT_EQ(std::count(text.begin(), text.end(), "xscn.DeleteSubSectionAndChildShapes \"\""), 0);
}

TEST_F(DocumentTest, DeleteMeshesWithoutMeshesStillSnapshotsAndJournals) {
  TreeDoc t;
  t.doc.ModelChanged();  // the first snapshot
  t.doc.DeleteMeshes();
  EXPECT_TRUE(t.doc.CanUndo());
  EXPECT_EQ(lines(journals().at(0)).back(), "xscn.DeleteMeshes");
}

TEST_F(DocumentTest, FailingFetchMaterialIsDispatchErrorOne) {
  TreeDoc t;
  t.doc.model()->materialDatabasePath = CString((root_ / "missing.sqldb").c_str());
  try {
    t.doc.FetchMaterial(L"2024-T3");
    ADD_FAILURE() << "no error";
  } catch (const COleDispatchException& e) {
    EXPECT_EQ(e.m_wCode, 1);
    // No database file: the text says what to do.
    EXPECT_EQ(e.m_strDescription,
              CString(L"No material database is connected: CreateDatabase or ConnectDatabase first (there is no "
                      L"file \"") +
                  t.doc.model()->materialDatabaseFile() + L"\").");
  }
}

TEST_F(DocumentTest, RegistryHoldsSeveralDialogsAndClosesOne) {
  CXSectionAnalysisDoc doc;
  ActiveSectionView view;
  doc.setActiveView(&view);
  FakeDialog shape(doc), bending(doc), never(doc);
  doc.RegisterModelessDialog(&shape);
  doc.RegisterModelessDialog(&bending);
  doc.RegisterModelessDialog(&bending);
  EXPECT_EQ(view.currentDialog(), &bending);
  doc.CloseModelessDialog(&bending);
  EXPECT_EQ(bending.destroyed, 1);
  EXPECT_FALSE(doc.IsModelessDialogOpen(&bending));
  EXPECT_TRUE(doc.IsModelessDialogOpen(&shape));
  EXPECT_EQ(view.currentDialog(), nullptr);
  EXPECT_THROW(doc.CloseModelessDialog(&never), std::logic_error);
  EXPECT_THROW(doc.CloseModelessDialog(&bending), std::logic_error);

  doc.RegisterModelessDialog(&bending);
  doc.CloseAllModelessDialogs();
  EXPECT_FALSE(doc.IsModelessDialogOpen(&shape));
  EXPECT_FALSE(doc.IsModelessDialogOpen(&bending));
  EXPECT_EQ(shape.destroyed, 1);
  EXPECT_EQ(bending.destroyed, 2);
}
