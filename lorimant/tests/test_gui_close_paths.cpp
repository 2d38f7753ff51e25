// Ways out of the program and of its documents that the everyday tests do
// not take: Exit over two modified documents, start files that are not
// section files, recent files that went missing, a second view closed
// before its document.
#include <wx/defs.h>
// after wx/defs.h: it needs wx's configuration to declare anything
#include <wx/aui/auibook.h>
#include <wx/dialog.h>

#include "lorimant/automation/ILorimant.h"
#include "lorimant/document/LorimantApplication.h"
#include "lorimant/tests/test_gui_support.h"
#include "lorimant/ui/CSectionDocView.h"
#include "platform/core/Settings.h"

namespace {

using namespace gui_lorimant_test;

class GuiClosePaths : public GuiLorimantTest {
 public:
  using GuiLorimantTest::command;
  using GuiLorimantTest::frame;
};

// The tab's close button, the window's close box and Exit each ask before a
// modified document goes; the document's registered dialog goes with it.
TEST_F(GuiClosePaths, EveryWayOutAsksFirst) {
  const struct {
    const char* label;
    std::function<void(GuiClosePaths&)> close;
    bool programEnds;
  } ways[] = {
      {"tab close button",
       [](GuiClosePaths& t) {
         wxAuiNotebook* tabs = t.frame().GetNotebook();
         wxAuiNotebookEvent click(wxEVT_AUINOTEBOOK_PAGE_CLOSE, tabs->GetId());
         click.SetSelection(tabs->GetSelection());
         click.SetEventObject(tabs);
         tabs->GetEventHandler()->ProcessEvent(click);
       },
       false},
      {"window close box", [](GuiClosePaths& t) { t.frame().Close(); }, true},
      {"Exit", [](GuiClosePaths& t) { t.command(kCommandAppExit); }, true},
  };
  for (const auto& w : ways) {
    SCOPED_TRACE(w.label);
    ASSERT_TRUE(start());
    CSectionDocument* doc = documents()[0];
    ILorimant::AddDisk(doc->core(), L"root", L"D1", 1.0, 0, 0, 1);
    new RegisteredDialog(&frame(), doc->core());
    Hooks::reset();

    Hooks::scriptAnswers({IDYES, IDCANCEL});
    w.close(*this);
    gui_test::Flush();
    ASSERT_NE(app_->mainFrame(), nullptr);
    ASSERT_EQ(documents().size(), 1u);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(Hooks::messageBoxes().size(), 2u);

    Hooks::scriptAnswers({IDYES, IDNO});
    w.close(*this);
    gui_test::Flush();
    EXPECT_EQ(app_->mainFrame() == nullptr, w.programEnds);
    if (!w.programEnds) EXPECT_TRUE(documents().empty());
    EXPECT_EQ(GetActiveSectionDoc(), nullptr);
    stop();
  }
}

// Exit over two modified documents that have files: each answers its own
// close question and save prompt in turn; what one says never costs the
// other its unsaved work.
TEST_F(GuiClosePaths, ExitOverTwoModifiedDocuments) {
  const struct {
    const char* label;
    std::vector<int> answers;
    size_t open;  // documents left open
    bool ends;
    bool firstWritten, secondWritten;
    bool firstReadOnly = false;
  } cases[] = {
      {"No to the first", {IDNO}, 2, false, false, false},
      {"first cannot be saved", {IDYES, IDYES, IDOK}, 2, false, false, false, true},
      {"first discarded, No to the second", {IDYES, IDNO, IDNO}, 1, false, false, false},
      {"first saved, second cancels its save", {IDYES, IDYES, IDYES, IDCANCEL}, 1, false, true, false},
      {"first saved, second discarded", {IDYES, IDYES, IDYES, IDNO}, 0, true, true, false},
      {"both saved", {IDYES, IDYES, IDYES, IDYES}, 0, true, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const fs::path one = savedSection("one.qhscn");
    const fs::path two = savedSection("two.qhscn");
    const std::string oneBefore = bytes(one), twoBefore = bytes(two);
    if (c.firstReadOnly) fs::permissions(one, fs::perms::owner_read);
    ASSERT_TRUE(start(one));
    ASSERT_NE(manager().CreateDocument(wxString::FromUTF8(two.string()), wxDOC_SILENT), nullptr);
    gui_test::Flush();
    ASSERT_EQ(documents().size(), 2u);
    for (CSectionDocument* doc : documents()) ILorimant::AddDisk(doc->core(), L"root", L"D2", 2.0, 5, 5, 1);
    Hooks::reset();
    Hooks::scriptAnswers(c.answers);

    command(kCommandAppExit);

    EXPECT_EQ(Hooks::messageBoxes().size(), c.answers.size());
    EXPECT_EQ(app_->mainFrame() == nullptr, c.ends);
    if (!c.ends) {
      ASSERT_EQ(documents().size(), c.open);
      for (CSectionDocument* doc : documents()) EXPECT_TRUE(doc->IsModified()) << doc->GetFilename();
      EXPECT_NE(GetActiveSectionDoc(), nullptr);
    }
    EXPECT_EQ(bytes(one) != oneBefore, c.firstWritten);
    EXPECT_EQ(bytes(two) != twoBefore, c.secondWritten);
    stop();
    fs::permissions(one, fs::perms::owner_read | fs::perms::owner_write);
  }
}

// A start file that is no section file, or no file at all, ends the start
// with "FILE IO ERROR" and leaves nothing behind.
TEST_F(GuiClosePaths, StartFilesThatAreNotSections) {
  const fs::path text = root_ / "notes.qhscn";
  std::ofstream(text) << "not a section file\n";
  const fs::path empty = root_ / "empty.qhscn";
  std::ofstream{empty};
  const fs::path folder = root_ / "folder.qhscn";
  fs::create_directories(folder);
  for (const fs::path& file : {text, empty, folder}) {
    SCOPED_TRACE(file.string());
    Hooks::reset();
    EXPECT_FALSE(start(file));
    ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
    EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"FILE IO ERROR"));
    EXPECT_EQ(app_->mainFrame(), nullptr);
    EXPECT_EQ(GetActiveSectionDoc(), nullptr);
  }
}

// A recent file that went missing is dropped from the list and from the
// profile when the user picks it, so the next start does not offer it again.
TEST_F(GuiClosePaths, AMissingRecentFileLeavesTheProfile) {
  const fs::path kept = savedSection("kept.qhscn");
  const fs::path gone = savedSection("gone.qhscn");
  ASSERT_TRUE(start());
  for (const fs::path& f : {kept, gone})
    ASSERT_NE(manager().CreateDocument(wxString::FromUTF8(f.string()), wxDOC_SILENT), nullptr);
  stop();
  fs::remove(gone);

  ASSERT_TRUE(start());
  ASSERT_EQ(manager().GetHistoryFilesCount(), 2u);
  ASSERT_EQ(manager().GetHistoryFile(0), wxString::FromUTF8(gone.string()));
  command(wxID_FILE1);
  EXPECT_EQ(documents().size(), 1u);
  ASSERT_EQ(manager().GetHistoryFilesCount(), 1u);
  EXPECT_EQ(manager().recentFiles(), std::vector<CString>{CString(kept.string())});
  stop();

  ASSERT_TRUE(start());
  EXPECT_EQ(manager().recentFiles(), std::vector<CString>{CString(kept.string())});
}

// A second view of a document goes on its own; the document then closes
// cleanly through its first view (AddressSanitizer watches the section view).
TEST_F(GuiClosePaths, ASecondViewClosesBeforeItsDocument) {
  ASSERT_TRUE(start());
  CSectionDocument* doc = documents()[0];
  frame().OpenDocumentWindow(doc->core());
  gui_test::Flush();
  ASSERT_EQ(doc->GetViews().GetCount(), 2u);

  Hooks::reset();
  frame().GetActiveChild()->Close();
  gui_test::Flush();
  EXPECT_TRUE(Hooks::messageBoxes().empty());
  ASSERT_EQ(documents().size(), 1u);
  EXPECT_EQ(doc->GetViews().GetCount(), 1u);
  EXPECT_EQ(GetActiveSectionDoc(), &doc->core());

  Hooks::scriptAnswers({IDYES});
  frame().GetActiveChild()->Close();
  gui_test::Flush();
  EXPECT_TRUE(documents().empty());
  EXPECT_EQ(GetActiveSectionDoc(), nullptr);
}

}  // namespace
