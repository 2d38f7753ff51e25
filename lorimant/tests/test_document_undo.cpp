// Undo check-points of the section document: the first snapshot on open,
// the 100-level limit, suppression around compound builds, and the model
// that undo replaces.
#include "test_document_support.h"

using namespace document_test;

TEST_F(DocumentTest, OpenedDocumentCannotUndo) {
  const fs::path path = root_ / "one.qhscn";
  {
    CXSectionAnalysisDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    ASSERT_TRUE(doc.OnSaveDocument(CString(path.c_str())));
  }
  CXSectionAnalysisDoc doc;
  ASSERT_TRUE(doc.OnOpenDocument(CString(path.c_str())));
  EXPECT_FALSE(doc.CanUndo());
  EXPECT_FALSE(doc.IsModified());
  doc.ModelChanged();
  EXPECT_TRUE(doc.CanUndo());
  EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocumentTest, HundredUndoLevels) {
  CXSectionAnalysisDoc doc;
  ASSERT_TRUE(doc.OnNewDocument());
  for (int i = 0; i < 102; ++i) doc.ModelChanged();
  int undone = 0;
  while (doc.CanUndo() && undone < 200) {
    CXSectionAnalysis* before = doc.model();
    doc.Undo();
    ASSERT_NE(doc.model(), nullptr);
    EXPECT_NE(doc.model(), before);  // the replaced model is gone, not leaked
    EXPECT_EQ(vAveVAvezeze, doc.model());
    ++undone;
  }
  EXPECT_EQ(undone, 100);
  EXPECT_TRUE(doc.CanRedo());
  doc.Redo();
  EXPECT_TRUE(doc.CanUndo());
}

TEST_F(DocumentTest, SuppressedCheckPointsMakeOneSnapshotPerBuild) {
  CXSectionAnalysisDoc doc;
  ASSERT_TRUE(doc.OnNewDocument());
  doc.ModelChanged();
  doc.checkPointSuppressed = true;
  for (int i = 0; i < 5; ++i) doc.ModelChanged();  // the builder's inner steps
  doc.checkPointSuppressed = false;
  doc.ModelChanged();  // the build's one change routine
  EXPECT_TRUE(doc.CanUndo());
  doc.Undo();
  EXPECT_FALSE(doc.CanUndo());
}

TEST_F(DocumentTest, ModelChangedWithoutModelDoesNothing) {
  CXSectionAnalysisDoc doc;
  EXPECT_EQ(doc.ModelChanged(), 0);
  EXPECT_FALSE(doc.IsModified());
  EXPECT_FALSE(doc.CanUndo());
}

TEST_F(DocumentTest, MakingADocumentCurrentPublishesItsUnits) {
  CXSectionAnalysisDoc si, us;
  ASSERT_TRUE(si.OnNewDocument());
  si.setUnitSystem(0);
  ASSERT_TRUE(us.OnNewDocument());
  us.setUnitSystem(1);
  si.MakeCurrent();
  EXPECT_EQ(gUnitSystem, SI);
  EXPECT_EQ(vAveVAvezeze, si.model());
  us.MakeCurrent();
  EXPECT_EQ(gUnitSystem, USCS);
  EXPECT_EQ(gModel, us.model());
  EXPECT_EQ(GetActiveSectionDoc(), &us);
  EXPECT_EQ(GetFatXSection(), us.model());
}

TEST_F(DocumentTest, NoActiveDocumentOnceItIsGone) {
  {
    CXSectionAnalysisDoc doc;
    doc.OnNewDocument();
    EXPECT_EQ(GetActiveSectionDoc(), &doc);
  }
  EXPECT_EQ(GetActiveSectionDoc(), nullptr);
}

namespace {
// A frame whose unit dialog answers with a fixed choice, or is cancelled.
class UnitFrame : public SectionFrame {
 public:
  explicit UnitFrame(int answer, bool ok) : answer(answer), ok(ok) {}
  bool AskUnits(int& selection) override {
    ++asked;
    selection = answer;
    return ok;
  }
  int answer;
  bool ok;
  int asked = 0;
};
}  // namespace

TEST_F(DocumentTest, UnitSystemIsAskedOnceAndJournalled) {
  UnitFrame frame(5, true);  // any non-zero choice is US customary
  CXSectionAnalysisDoc doc(&frame);
  ASSERT_TRUE(doc.OnNewDocument());
  doc.AskUnitSystem();
  doc.AskUnitSystem();
  EXPECT_EQ(frame.asked, 1);
  EXPECT_EQ(doc.unitSystem(), 1);
  EXPECT_EQ(gUnitSystem, USCS);
  const auto text = lines(journals().at(0));
  EXPECT_EQ(text.back(), "xscn.SetUnitSystem QHT_USCS");

  UnitFrame cancelled(0, false);
  CXSectionAnalysisDoc other(&cancelled);
  ASSERT_TRUE(other.OnNewDocument());
  other.AskUnitSystem();
  EXPECT_EQ(other.unitSystem(), 2);
}

TEST_F(DocumentTest, UndoAndRedoRestoreTheModel) {
  CXSectionAnalysisDoc doc;
  ASSERT_TRUE(doc.OnNewDocument());
  doc.ModelChanged();
  ASSERT_NE(doc.model()->addShape(L"plate"), nullptr);
  doc.ModelChanged();
  doc.Undo();
  EXPECT_EQ(doc.model()->findShape(CString(L"plate")), nullptr);
  doc.Redo();
  EXPECT_NE(doc.model()->findShape(CString(L"plate")), nullptr);
  EXPECT_EQ(vAveVAvezeze, doc.model());
}
