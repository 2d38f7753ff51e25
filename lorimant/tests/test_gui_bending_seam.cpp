// The bending dialog inside the running application, reached through the
// section view's commands: opened, closed and reopened, left open while
// its document or its view closes (AddressSanitizer watches the view's
// dialog slots), and fed picks from the view.
#include <wx/docview.h>

#include <memory>
#include <string>

#include "analysis/model/Globals.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/document/LorimantApplication.h"
#include "lorimant/tests/test_bending_dialog_support.h"
#include "lorimant/tests/test_gui_support.h"
#include "lorimant/ui/CSectionDocView.h"
#include "lorimant/ui/CUnrestrainedBendingDlg.h"
#include "lorimant/view/CThickSectionView.h"
#include "lorimant/view/SectionViewCommands.h"
#include "platform/tests/DialogTestSupport.h"

namespace gui_bending_seam_test {

using namespace gui_lorimant_test;
using B = BendingDialogLogic;
namespace C = SectionCommand;

class GuiBendingSeam : public GuiLorimantTest {
 protected:
  void SetUp() override {
    GuiLorimantTest::SetUp();
    if (HasFatalFailure()) return;
    units = gUnitSystem;
    ASSERT_TRUE(start());
    ASSERT_EQ(documents().size(), 1u);
    doc = documents()[0];
    auto* docView = dynamic_cast<CSectionDocView*>(doc->GetFirstView());
    ASSERT_NE(docView, nullptr);
    view = docView->sectionView();
    ASSERT_NE(view, nullptr);
    view->EnsureRootSubSection();
    bending_dialog_test::buildSection(doc->core());
    view->RebuildAndRedraw();
    gui_test::Flush();
  }
  void TearDown() override {
    GuiLorimantTest::TearDown();
    gUnitSystem = units;
  }

  // The bending dialog the view's command opened, with its window.
  B& openThroughCommand(UINT command) {
    EXPECT_TRUE(view->RunCommand(command));
    gui_test::Flush();
    auto* opened = dynamic_cast<B*>(view->m_bendingDialog);
    EXPECT_NE(opened, nullptr);
    EXPECT_NE(dynamic_cast<CUnrestrainedBendingDlg*>(opened->window()), nullptr);
    return *opened;
  }
  static CUnrestrainedBendingDlg& windowOf(B& d) { return *dynamic_cast<CUnrestrainedBendingDlg*>(d.window()); }
  static void applyThrough(B& d, const char* name, const char* a, const char* b, const char* c) {
    CUnrestrainedBendingDlg& w = windowOf(d);
    dialog_test::Type(w, B::IDC_LOAD_NAME, name);
    dialog_test::Type(w, B::IDC_INPUT1, a);
    dialog_test::Type(w, B::IDC_INPUT2, b);
    dialog_test::Type(w, B::IDC_INPUT3, c);
    dialog_test::Click(w, B::IDC_APPLY);
    gui_test::Flush();
  }
  CSubSection* root() const { return doc->core().model()->rootSubSection(); }

  CSectionDocument* doc = nullptr;
  CThickSectionView* view = nullptr;
  EUnitSystem units = SI;
};

// Closed by its Close button and reopened for the other analysis: each
// time a fresh dialog with its own caption, the shape commands blocked
// only while one is open.
TEST_F(GuiBendingSeam, CloseAndReopenThroughTheCommands) {
  B& first = openThroughCommand(C::UnrestrainedBending);
  EXPECT_EQ(first.caption(), CString(L"Unrestrained Bending"));
  applyThrough(first, "LC1", "0", "1000", "0");
  EXPECT_TRUE(first.applied());
  dialog_test::Click(windowOf(first), IDCANCEL);
  gui_test::Flush();
  EXPECT_EQ(view->m_bendingDialog, nullptr);
  EXPECT_EQ(view->m_unrestrainedDialog, nullptr);
  EXPECT_EQ(view->m_pickMode, 1);

  B& second = openThroughCommand(C::RestrainedBending);
  EXPECT_EQ(second.caption(), CString(L"Restrained Bending"));
  EXPECT_TRUE(second.restrained());
  EXPECT_FALSE(second.applied());
  applyThrough(second, "LC2", "0", "0", "1000");
  EXPECT_TRUE(second.applied());
  EXPECT_EQ(root()->curAppLC()->name(), CString(L"LC2"));
}

// The document closes with the dialog open and applied: the dialog closes
// with it, and nothing of the view's dialog slots is reached afterwards.
TEST_F(GuiBendingSeam, DocumentClosesUnderAnOpenDialog) {
  B& d = openThroughCommand(C::UnrestrainedBending);
  applyThrough(d, "LC1", "0", "1000", "0");
  Hooks::reset();
  Hooks::scriptAnswers({IDYES, IDNO, IDNO});
  frame().GetActiveChild()->Close();
  gui_test::Flush();
  EXPECT_TRUE(documents().empty());
}

// A second view of the document opens the dialog and goes first; the
// document then closes through its first view.
TEST_F(GuiBendingSeam, ASecondViewGoesWithItsDialogOpen) {
  frame().OpenDocumentWindow(doc->core());
  gui_test::Flush();
  ASSERT_EQ(doc->GetViews().GetCount(), 2u);
  auto* second = dynamic_cast<CSectionDocView*>(doc->GetViews().GetLast()->GetData());
  ASSERT_NE(second, nullptr);
  view = second->sectionView();
  B& d = openThroughCommand(C::UnrestrainedBending);
  applyThrough(d, "LC1", "0", "1000", "0");
  Hooks::reset();
  frame().GetActiveChild()->Close();
  gui_test::Flush();
  ASSERT_EQ(doc->GetViews().GetCount(), 1u);
  EXPECT_FALSE(doc->core().IsModelessDialogOpen(nullptr));

  Hooks::scriptAnswers({IDYES, IDNO, IDNO});
  frame().GetActiveChild()->Close();
  gui_test::Flush();
  EXPECT_TRUE(documents().empty());
}

}  // namespace gui_bending_seam_test
