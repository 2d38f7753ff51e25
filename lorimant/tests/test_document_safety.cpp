// The section document keeps the user's section when a file or snapshot
// cannot be read or written: undo and redo with materials and no material
// database, failed restores and opens, and saves that cannot finish.
#include <sys/stat.h>

#include "test_automation_analyses_support.h"

using namespace analysis_methods_test;
using namespace document_test;

namespace {

class DocumentSafety : public AnalysisMethodsTest {
 protected:
  // The bytes of a file.
  static std::vector<BYTE> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // Invokes Undo or Redo and expects it to succeed.
  void step(const wchar_t* name) {
    ASSERT_EQ(invoke(name, {}), S_OK) << CString(excep.bstrDescription).ToUtf8();
  }
  // The document's model, unchanged and still published after a failure.
  void expectSameSection(const CXSectionAnalysis* before, const wchar_t* shape) {
    EXPECT_EQ(model(), before);
    EXPECT_EQ(vAveVAvezeze, before);
    EXPECT_EQ(gModel, before);
    EXPECT_NE(model()->findShape(CString(shape)), nullptr);
  }
  fs::path savedMeshedSection() {
    openView();
    mesh(rectangle(L"plate", 0, 0, 4, 2));
    const fs::path path = root_ / "meshed.qhscn";
    EXPECT_TRUE(doc->OnSaveDocument(CString(path.c_str())));
    return path;
  }
};

// No material database exists in the test's home: the materials come from
// the model being replaced.
TEST_F(DocumentSafety, UndoAndRedoOfShapesWithMaterialsNeedNoDatabase) {
  openView();
  doc->ModelChanged();
  solid(root(), L"a", 0, 0, 2, 1);
  doc->ModelChanged();
  solid(root(), L"b", 3, 0, 2, 1);
  doc->ModelChanged();
  step(L"Undo");
  ASSERT_NE(model()->findShape(L"a"), nullptr);
  EXPECT_EQ(model()->findShape(L"b"), nullptr);
  ASSERT_NE(model()->findShape(L"a")->material(), nullptr);
  EXPECT_EQ(model()->findShape(L"a")->material()->name, CString(L"alloy"));
  EXPECT_EQ(model()->findMaterial(L"alloy"), model()->findShape(L"a")->material());
  step(L"Redo");
  ASSERT_NE(model()->findShape(L"b"), nullptr);
  EXPECT_EQ(model()->findShape(L"b")->material()->name, CString(L"alloy"));
}

TEST_F(DocumentSafety, UndoRestoresAMeshWhoseMaterialIsNotListed) {
  openView();
  CShapeAnalysis* plate = rectangle(L"plate", 0, 0, 4, 2);
  mesh(plate);  // "steel" is the shape's and the mesh's, not in the model's list
  doc->ModelChanged();
  rectangle(L"other", 5, 0, 1, 1);
  doc->ModelChanged();
  step(L"Undo");
  EXPECT_EQ(model()->findShape(L"other"), nullptr);
  ASSERT_EQ(root()->meshes.size(), 1u);
  // The restored model holds the material its mesh points at.
  ASSERT_NE(model()->findMaterial(L"steel"), nullptr);
  EXPECT_EQ(model()->findShape(L"plate")->material(), model()->findMaterial(L"steel"));
}

// A snapshot naming a material that neither the current model nor a
// database holds cannot be restored: the section and both lists stay.
TEST_F(DocumentSafety, FailedUndoKeepsTheSectionAndItsSnapshots) {
  openView();
  solid(root(), L"a", 0, 0, 2, 1);
  doc->ModelChanged();
  model()->findShape(L"a")->material(nullptr);
  model()->materials.RemoveAll();
  doc->ModelChanged();
  const CXSectionAnalysis* before = model();
  EXPECT_EQ(invoke(L"Undo", {}), DISP_E_EXCEPTION);
  EXPECT_FALSE(CString(excep.bstrDescription).IsEmpty());
  expectSameSection(before, L"a");
  EXPECT_TRUE(doc->CanUndo());
  EXPECT_FALSE(doc->CanRedo());
}

TEST_F(DocumentSafety, FailedRedoKeepsTheSectionAndItsSnapshots) {
  openView();
  rectangle(L"bare", 0, 0, 1, 1);
  doc->ModelChanged();
  solid(root(), L"a", 2, 0, 2, 1);
  doc->ModelChanged();
  step(L"Undo");  // back to a section without the alloy
  const CXSectionAnalysis* before = model();
  EXPECT_EQ(invoke(L"Redo", {}), DISP_E_EXCEPTION);
  expectSameSection(before, L"bare");
  EXPECT_EQ(model()->findShape(L"a"), nullptr);
  EXPECT_TRUE(doc->CanRedo());
  EXPECT_FALSE(doc->CanUndo());
}

TEST_F(DocumentSafety, TruncatedFileKeepsTheCurrentSection) {
  const fs::path path = savedMeshedSection();
  const std::vector<BYTE> whole = readBytes(path);
  ASSERT_GT(whole.size(), 200u);
  for (const size_t kept : {whole.size() / 2, whole.size() - 8}) {
    writeFile(path, std::vector<BYTE>(whole.begin(), whole.begin() + static_cast<long>(kept)));
    const CXSectionAnalysis* before = model();
    const int unique = gUniqueID;
    const size_t boxes = host.messages.size() + Hooks::messageBoxes().size();
    EXPECT_FALSE(doc->OnOpenDocument(CString(path.c_str()))) << kept;
    expectSameSection(before, L"plate");
    EXPECT_EQ(root()->meshes.size(), 1u);
    EXPECT_EQ(gUniqueID, unique);
    EXPECT_GT(host.messages.size() + Hooks::messageBoxes().size(), boxes);
  }
}

TEST_F(DocumentSafety, SavingOverAReadOnlyFileChangesNothing) {
  const fs::path path = root_ / "locked.qhscn";
  writeFile(path, {1, 2, 3});
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  doc->ModelChanged();
  EXPECT_FALSE(doc->OnSaveDocument(CString(path.c_str())));
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(readBytes(path), (std::vector<BYTE>{1, 2, 3}));
  EXPECT_FALSE(fs::exists(root_ / "locked.qhscn.saving"));
}

// A save that fails while writing leaves the earlier file whole.
TEST_F(DocumentSafety, FailedSaveLeavesTheEarlierFileWhole) {
  const fs::path path = savedMeshedSection();
  const std::vector<BYTE> earlier = readBytes(path);
  doc->ModelChanged();
  model()->subSections.push_back(nullptr);  // the model cannot be written
  EXPECT_FALSE(doc->OnSaveDocument(CString(path.c_str())));
  model()->subSections.pop_back();
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(readBytes(path), earlier);
  EXPECT_FALSE(fs::exists(path.string() + ".saving"));
}

TEST_F(DocumentSafety, SavingOverAFileKeepsItsPermissions) {
  const fs::path path = root_ / "private.qhscn";
  writeFile(path, {1, 2, 3});
  const auto mode = fs::perms::owner_read | fs::perms::owner_write;
  fs::permissions(path, mode);
  ASSERT_TRUE(doc->OnSaveDocument(CString(path.c_str())));
  EXPECT_EQ(fs::status(path).permissions(), mode);
  EXPECT_GT(fs::file_size(path), 3u);
  EXPECT_FALSE(fs::exists(path.string() + ".saving"));
}

// Opening a file into a document with a history starts a new history.
TEST_F(DocumentSafety, OpenedFileCannotUndoIntoTheReplacedSection) {
  const fs::path path = savedMeshedSection();
  rectangle(L"before", 5, 0, 1, 1);
  doc->ModelChanged();
  doc->ModelChanged();
  ASSERT_TRUE(doc->CanUndo());
  ASSERT_TRUE(doc->OnOpenDocument(CString(path.c_str())));
  EXPECT_FALSE(doc->CanUndo());
  EXPECT_FALSE(doc->CanRedo());
  EXPECT_EQ(model()->findShape(L"before"), nullptr);
}

}  // namespace
