// The windowed program started in the test process: the first document,
// the frame's title, status bar and panes, the start file and the recent
// files, Exit with unsaved work, exceptions of handlers, the C locale for
// numbers, dropped files.
#include <wx/defs.h>
// after wx/defs.h: it needs wx's configuration to declare anything
#include <wx/aui/auibook.h>
#include <wx/dnd.h>
#include <wx/statusbr.h>

#include <clocale>
#include <cstring>
#include <stdexcept>

#include "analysis/model/CLog.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/app/WxHooks.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/document/LorimantApplication.h"
#include "lorimant/tests/test_gui_support.h"
#include "lorimant/ui/CSectionDocView.h"
#include "lorimant/view/CThickSectionView.h"
#include "platform/ole/COleDispatchException.h"
#include "platform/ui/ACMfcMdiAppGlue.h"

namespace {

using namespace gui_lorimant_test;


class GuiApplication : public GuiLorimantTest {
 protected:
  // The shown state of a pane of the main frame (false when it was never made).
  bool paneShown(const char* name) {
    const wxAuiPaneInfo& pane = frame().panes().GetPane(name);
    return pane.IsOk() && pane.IsShown();
  }
};

TEST_F(GuiApplication, StartsWithOneNewDocumentInItsTab) {
  ASSERT_TRUE(start());
  ASSERT_EQ(documents().size(), 1u);
  CSectionDocument* doc = documents()[0];
  EXPECT_EQ(doc->GetUserReadableName(), "LorimantAnalysisDoc1");
  ASSERT_EQ(doc->GetViews().GetCount(), 1u);
  EXPECT_EQ(frame().GetNotebook()->GetPageCount(), 1u);
  EXPECT_EQ(frame().GetTitle(), wxString("LorimantAnalysisDoc1 - ") + kBaseTitle);
  EXPECT_EQ(frame().GetStatusBar()->GetStatusText(1), "Release Version 2.0.4");
  EXPECT_TRUE(frame().IsShown());

  EXPECT_TRUE(paneShown("Section Tree"));
  EXPECT_EQ(frame().panes().GetPane("Section Tree").dock_direction, wxAUI_DOCK_LEFT);
  EXPECT_FALSE(paneShown("Section Properties"));

  EXPECT_EQ(GetActiveSectionDoc(), &doc->core());
  EXPECT_EQ(ACMfcMdiAppGlue::GetActiveDoc(), doc);
  ASSERT_NE(doc->core().model(), nullptr);
  EXPECT_EQ(vAveVAvezeze, doc->core().model());
  EXPECT_EQ(doc->core().activeView(), static_cast<CSectionDocView*>(doc->GetFirstView())->sectionView());
  EXPECT_FALSE(gui_test::SaveWindowPng(frame(), "gui_main_window").empty());

  // The result pane is made on first use, docked right.
  frame().ShowResultPane();
  EXPECT_TRUE(paneShown("Section Properties"));
  EXPECT_EQ(frame().panes().GetPane("Section Properties").dock_direction, wxAUI_DOCK_RIGHT);
  EXPECT_EQ(frame().panes().GetPane("Section Properties").window->GetId(), 1401);
  EXPECT_EQ(frame().panes().GetPane("Section Properties").best_size, wxSize(600, 400));
  EXPECT_FALSE(gui_test::SaveWindowPng(frame(), "gui_main_window_result_pane").empty());
}

TEST_F(GuiApplication, OpensTheFileNamedAtStart) {
  const fs::path file = savedSection("beam.qhscn");
  ASSERT_TRUE(start(file));
  ASSERT_EQ(documents().size(), 1u);
  CXSectionAnalysisDoc& doc = documents()[0]->core();
  ASSERT_NE(doc.model(), nullptr);
  ASSERT_EQ(doc.model()->shapes.GetCount(), 1);
  EXPECT_EQ(doc.model()->shapes.GetHead()->name(), CString(L"D1"));
  EXPECT_EQ(frame().GetTitle(), wxString("beam.qhscn - ") + kBaseTitle);
  EXPECT_EQ(GetActiveSectionDoc(), &doc);

  // The journal's first line after its 16 header lines is the open.
  const std::vector<std::string> journal = lines(doc.journal()->path());
  ASSERT_GT(journal.size(), 16u);
  EXPECT_EQ(journal[16], "xscn.FileOpen \"" + file.string() + "\"");
  EXPECT_FALSE(doc.IsModified());
  EXPECT_FALSE(doc.CanUndo());

  // The session's journal, closed with its epilogue, replays to the same section.
  const std::string journalFile = doc.journal()->path();
  stop();
  // The replay's own document opens a journal named by the second it starts
  // in, which within the same second is this one's name: replay a copy.
  const fs::path copy = fs::path(journalFile).parent_path() / "replayed_session.bas";
  fs::copy_file(journalFile, copy, fs::copy_options::overwrite_existing);
  std::ifstream replay(copy, std::ios::binary);
  std::ostringstream out;
  std::vector<CString> replayed;
  const JournalRunResult result = RunMacroHeadless(replay, out, nullptr, [&](CXSectionAnalysisDoc& d) {
    for (POSITION p = d.model()->shapes.GetHeadPosition(); p != nullptr;) replayed.push_back(d.model()->shapes.GetNext(p)->name());
  });
  EXPECT_TRUE(result.ok) << result.lineNumber << ": " << result.line << ": " << result.description;
  EXPECT_EQ(replayed, std::vector<CString>{CString(L"D1")});
}

TEST_F(GuiApplication, MissingStartFileEndsTheStart) {
  EXPECT_FALSE(start(root_ / "missing.qhscn"));
  ASSERT_FALSE(Hooks::messageBoxes().empty());
  EXPECT_EQ(Hooks::messageBoxes().back().caption, CString(L"FILE IO ERROR"));
  EXPECT_EQ(app_->mainFrame(), nullptr);
  EXPECT_EQ(app_->docManager(), nullptr);
}

TEST_F(GuiApplication, RecentFilesKeepTheLastFourAcrossStarts) {
  std::vector<fs::path> files;
  for (int i = 1; i <= 5; ++i) files.push_back(savedSection("s" + std::to_string(i) + ".qhscn"));
  ASSERT_TRUE(start());
  for (const fs::path& f : files) ASSERT_NE(manager().CreateDocument(wxString::FromUTF8(f.string()), wxDOC_SILENT), nullptr);
  const std::vector<CString> newestFirst = {CString(files[4].string()), CString(files[3].string()),
                                            CString(files[2].string()), CString(files[1].string())};
  EXPECT_EQ(manager().recentFiles(), newestFirst);
  stop();

  ASSERT_TRUE(start());
  EXPECT_EQ(manager().recentFiles(), newestFirst);
  ASSERT_EQ(manager().GetHistoryFilesCount(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(manager().GetHistoryFile(i), wxString(newestFirst[i].GetString())) << i;
}

// Exit with a modified document that has a file: the close question, then
// the save prompt, decide whether the program ends and the file is written.
TEST_F(GuiApplication, ExitAsksEachDocumentAndEndsOnlyWhenAllClosed) {
  const struct {
    const char* label;
    std::vector<int> answers;
    bool ends;
    bool written;
  } cases[] = {
      {"No to closing", {IDNO}, false, false},
      {"Yes, Cancel the save", {IDYES, IDCANCEL}, false, false},
      {"Yes, then save", {IDYES, IDYES}, true, true},
      {"Yes, then do not save", {IDYES, IDNO}, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const fs::path file = savedSection("exit.qhscn");
    const std::string before = bytes(file);
    ASSERT_TRUE(start(file));
    CSectionDocument* doc = documents()[0];
    ILorimant::AddDisk(doc->core(), L"root", L"D2", 2.0, 5, 5, 1);
    ASSERT_TRUE(doc->IsModified());
    Hooks::reset();
    Hooks::scriptAnswers(c.answers);

    command(kCommandAppExit);

    const auto& boxes = Hooks::messageBoxes();
    ASSERT_EQ(boxes.size(), c.answers.size());
    EXPECT_EQ(boxes[0].text, CString(L"Are you sure you want to close the current document?"));
    EXPECT_EQ(boxes[0].caption, CString(L"File Operations"));
    if (boxes.size() > 1) {
      EXPECT_EQ(boxes[1].text, CString(L"Save changes to exit.qhscn?"));
    }
    EXPECT_EQ(app_->mainFrame() == nullptr, c.ends);
    if (!c.ends) {
      ASSERT_EQ(documents().size(), 1u);
      EXPECT_TRUE(documents()[0]->IsModified());
    }
    EXPECT_EQ(bytes(file) != before, c.written);
    stop();
  }
}

TEST_F(GuiApplication, HandlerExceptionsAreShownAndTheProgramCarriesOn) {
  ASSERT_TRUE(start());
  const struct {
    const char* text;
    std::function<void()> fail;
  } throwers[] = {
      {"boom", [] { throw std::logic_error("boom"); }},
      {"narrow text", [] { throw "narrow text"; }},
      {"wide text", [] { throw L"wide text"; }},
      {"Not a Lorimant file", [] { throw COleDispatchException(1, L"Not a Lorimant file"); }},
  };
  for (const auto& t : throwers) {
    Hooks::clearRecords();
    const int id = wxWindow::NewControlId();
    frame().Bind(wxEVT_MENU, [&t](wxCommandEvent&) { t.fail(); }, id);
    command(id);
    ASSERT_EQ(Hooks::messageBoxes().size(), 1u) << t.text;
    EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(t.text));
    ASSERT_NE(app_->mainFrame(), nullptr);
  }
  // Still working: a new document opens.
  command(kCommandFileNew);
  EXPECT_EQ(documents().size(), 2u);
}

TEST_F(GuiApplication, NumbersStayInTheCLocaleUnderAGermanDesktop) {
  // The user's locale as GTK sets it from the environment (German here).
  ASSERT_NE(std::setlocale(LC_ALL, ""), nullptr);
  ASSERT_EQ(std::strncmp(std::setlocale(LC_NUMERIC, nullptr), "de_DE", 5), 0);
  ASSERT_TRUE(start());
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  EXPECT_EQ(std::strncmp(std::setlocale(LC_MESSAGES, nullptr), "de_DE", 5), 0);

  CXSectionAnalysisDoc& doc = documents()[0]->core();
  ILorimant::SetUnitsystem(doc, 0);
  ILorimant::AddDisk(doc, L"root", L"D1", 1, 0, 0, 1);
  ILorimant::RotateAll(doc, 1.5, 0, 90);
  const std::vector<std::string> journal = lines(doc.journal()->path());
  ASSERT_FALSE(journal.empty());
  EXPECT_EQ(journal.back(), "xscn.RotateAll 1.5,0,90");
  std::setlocale(LC_ALL, "C");
}

TEST_F(GuiApplication, DroppedSectionFilesOpen) {
  const fs::path section = savedSection("dropped.qhscn");
  const fs::path other = root_ / "notes.txt";
  std::ofstream(other) << "not a section";
  ASSERT_TRUE(start());
  // The event owns its array of names.
  auto* files = new wxString[2]{wxString::FromUTF8(section.string()), wxString::FromUTF8(other.string())};
  const wxString dropped = files[0];
  wxDropFilesEvent drop(wxEVT_DROP_FILES, 2, files);
  frame().HandleWindowEvent(drop);
  gui_test::Flush();
  ASSERT_EQ(documents().size(), 2u);
  EXPECT_EQ(documents()[1]->GetFilename(), dropped);
  EXPECT_TRUE(Hooks::messageBoxes().empty());
}

TEST_F(GuiApplication, StatusTextsReachTheMessageField) {
  ASSERT_TRUE(start());
  InstallWxHooks();
  Hooks::statusText(L"Shape D1");
  EXPECT_EQ(frame().GetStatusBar()->GetStatusText(0), "Shape D1");
  EXPECT_EQ(frame().GetStatusBar()->GetStatusText(1), "Release Version 2.0.4");
  Hooks::reset();
}

}  // namespace
