// Documents in the program's tabs: activation makes a document current,
// closing moves the current document to the one left, a closing document
// destroys its registered modeless dialogs first, the glue finds what the
// program holds.
#include <wx/defs.h>
// after wx/defs.h: it needs wx's configuration to declare anything
#include <wx/aui/auibook.h>
#include <wx/dialog.h>

#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/document/LorimantApplication.h"
#include "lorimant/tests/test_gui_support.h"
#include "lorimant/ui/CSectionDocView.h"
#include "lorimant/view/CThickSectionView.h"
#include "platform/ui/ACMfcMdiAppGlue.h"

namespace {

using namespace gui_lorimant_test;

class GuiDocuments : public GuiLorimantTest {
 protected:
  // The section document that the glue sees as active, or null.
  static CXSectionAnalysisDoc* glueActive() {
    auto* doc = dynamic_cast<CSectionDocument*>(ACMfcMdiAppGlue::GetActiveDoc());
    return doc != nullptr ? &doc->core() : nullptr;
  }
  void selectTab(size_t page) {
    frame().GetNotebook()->SetSelection(page);
    gui_test::Flush();
  }
  // Closes the active tab as its close button does; the close question is answered Yes.
  void closeActiveTab() {
    Hooks::scriptAnswers({IDYES});
    frame().GetActiveChild()->Close();
    gui_test::Flush();
  }
};

TEST_F(GuiDocuments, ActivationAndClosingKeepTheActiveDocumentsTogether) {
  ASSERT_TRUE(start());
  ASSERT_NE(manager().CreateNewDocument(), nullptr);
  gui_test::Flush();
  ASSERT_EQ(documents().size(), 2u);
  CXSectionAnalysisDoc& first = documents()[0]->core();
  CXSectionAnalysisDoc& second = documents()[1]->core();
  EXPECT_EQ(documents()[1]->GetUserReadableName(), "LorimantAnalysisDoc2");

  const struct {
    size_t tab;
    CXSectionAnalysisDoc* doc;
    const char* name;
  } steps[] = {{0, &first, "LorimantAnalysisDoc1"}, {1, &second, "LorimantAnalysisDoc2"}, {0, &first, "LorimantAnalysisDoc1"}};
  for (const auto& s : steps) {
    selectTab(s.tab);
    EXPECT_EQ(GetActiveSectionDoc(), s.doc) << s.name;
    EXPECT_EQ(glueActive(), s.doc) << s.name;
    EXPECT_EQ(vAveVAvezeze, s.doc->model()) << s.name;
    EXPECT_EQ(frame().GetTitle(), wxString(s.name) + " - " + kBaseTitle);
  }

  closeActiveTab();
  ASSERT_EQ(documents().size(), 1u);
  EXPECT_EQ(GetActiveSectionDoc(), &second);
  EXPECT_EQ(glueActive(), &second);
  EXPECT_EQ(vAveVAvezeze, second.model());
  EXPECT_EQ(frame().GetTitle(), wxString("LorimantAnalysisDoc2 - ") + kBaseTitle);

  closeActiveTab();
  EXPECT_TRUE(documents().empty());
  EXPECT_EQ(GetActiveSectionDoc(), nullptr);
  EXPECT_EQ(ACMfcMdiAppGlue::GetActiveDoc(), nullptr);
  EXPECT_EQ(ACMfcMdiAppGlue::GetActiveViewWnd(), nullptr);
  EXPECT_EQ(frame().GetTitle(), kBaseTitle);
  // The program stays open with no document.
  EXPECT_NE(app_->mainFrame(), nullptr);
}

TEST_F(GuiDocuments, ClosingADocumentDestroysItsRegisteredDialogFirst) {
  ASSERT_TRUE(start());
  CXSectionAnalysisDoc& doc = documents()[0]->core();
  bool deleted = false;
  auto* dialog = new RegisteredDialog(&frame(), doc, &deleted);
  gui_test::Flush();
  ASSERT_TRUE(doc.IsModelessDialogOpen(dialog));

  // No to the close question: the dialog and the document stay.
  Hooks::scriptAnswers({IDNO});
  frame().GetActiveChild()->Close();
  gui_test::Flush();
  EXPECT_FALSE(deleted);
  ASSERT_EQ(documents().size(), 1u);
  EXPECT_TRUE(doc.IsModelessDialogOpen(dialog));

  closeActiveTab();
  EXPECT_TRUE(deleted);
  EXPECT_TRUE(documents().empty());
}

TEST_F(GuiDocuments, GlueFindsTheProgramsDocumentsViewsAndFrames) {
  ASSERT_TRUE(start());
  wxDocument* made = nullptr;
  ASSERT_TRUE(ACMfcMdiAppGlue::CreateNewDocumentInstanceTriple(made));
  gui_test::Flush();
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->GetUserReadableName(), "LorimantAnalysisDoc2");
  EXPECT_EQ(ACMfcMdiAppGlue::GetActiveDoc(), made);
  EXPECT_EQ(GetActiveSectionDoc(), &static_cast<CSectionDocument*>(made)->core());

  CTypedPtrList<CPtrList, wxDocument*> docs;
  CTypedPtrList<CPtrList, wxView*> views;
  CTypedPtrList<CPtrList, wxWindow*> frames;
  ACMfcMdiAppGlue::GetAllDocuments(docs);
  ACMfcMdiAppGlue::GetAllViews(views);
  ACMfcMdiAppGlue::GetAllFrameWnds(frames);
  ASSERT_EQ(docs.GetCount(), 2);
  EXPECT_EQ(docs.GetTail(), made);
  EXPECT_EQ(views.GetCount(), 2);
  ASSERT_EQ(frames.GetCount(), 2);
  EXPECT_EQ(frames.GetTail(), made->GetFirstView()->GetFrame());
  EXPECT_EQ(frames.GetTail()->GetParent(), frame().GetNotebook());
}

TEST_F(GuiDocuments, AWindowIsOpenedForADocumentThatHasNone) {
  ASSERT_TRUE(start());
  CSectionDocument* doc = documents()[0];
  doc->core().setActiveView(nullptr);
  frame().OpenDocumentWindow(doc->core());
  gui_test::Flush();
  EXPECT_EQ(doc->GetViews().GetCount(), 2u);
  EXPECT_EQ(frame().GetNotebook()->GetPageCount(), 2u);
  EXPECT_EQ(doc->core().activeView(), static_cast<CSectionDocView*>(doc->GetViews().GetLast()->GetData())->sectionView());
}

}  // namespace
