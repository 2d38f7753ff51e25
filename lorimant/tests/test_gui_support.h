// The window tests of the program: the real application object started in
// the test process (wx once, under xvfb-run, in a German locale so that
// numbers are seen to stay in the C locale), each test with its own home,
// profile and data folders, message boxes answered from a script. A modal
// dialog that no test scripts (the unit question of a new document) is
// closed at once, as Escape closes it, and noted.
#pragma once

#include <gtest/gtest.h>
#include <wx/docview.h>
// after wx/docview.h: it needs wx's configuration to declare anything
#include <wx/aui/tabmdi.h>
#include <wx/dialog.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/model/Globals.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/app/CLorimantApp.h"
#include "lorimant/app/CLorimantDocManager.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/ui/CMainFrame.h"
#include "lorimant/ui/CommandIds.h"
#include "lorimant/ui/CSectionDocument.h"
#include "lorimant/ui/CSplashWindow.h"
#include "lorimant/view/HeadlessRun.h"
#include "platform/core/Hooks.h"
#include "platform/tests/GuiTestSupport.h"
#include "platform/ui/CDialog.h"

namespace gui_lorimant_test {

namespace fs = std::filesystem;

// The application as the program runs it, with the message boxes left to
// the recording hooks so that a test answers them.
class TestApp : public CLorimantApp {
 public:
  // No pause between the splash window's lines.
  TestApp() { SetSplashPause(0); }

 protected:
  void InstallHooks() override {}
};

inline TestApp* startWxOnce() {
  static TestApp* app = [] {
    // GTK takes the locale from the environment when wx starts.
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    setenv("LANG", "de_DE.UTF-8", 1);
    auto* a = new TestApp;
    return gui_test::StartWx(a) ? a : nullptr;
  }();
  return app;
}

class GuiLorimantTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_ = startWxOnce();
    ASSERT_NE(app_, nullptr) << "wx could not start: the GUI tests need a display (xvfb-run)";
    char pattern[] = "/tmp/lorimant_gui_XXXXXX";
    root_ = mkdtemp(pattern);
    for (const char* sub : {"home", "config", "data"}) fs::create_directories(root_ / sub);
    setenv("HOME", (root_ / "home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
    Hooks::reset();
    CDialog::SetModalHook([this](CDialog& dialog) { unscriptedDialogs_.push_back(dialog.GetTitle()); });
  }
  void TearDown() override {
    stop();
    CDialog::SetModalHook(nullptr);
    Hooks::reset();
    vAveVAvezeze = nullptr;
    gModel = nullptr;
    gDeletingScn = nullptr;
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  // Starts the application with file (none: a new document); OnInit's result.
  bool start(const fs::path& file = {}) {
    app_->SetStartFile(wxString::FromUTF8(file.string()));
    const bool ok = app_->OnInit();
    // The splash window would stand over the windows the test looks at.
    CSplashWindow::HideSplashScreen();
    gui_test::Flush();
    return ok;
  }
  // Closes whatever is open without asking and ends the application.
  void stop() {
    if (app_ == nullptr) return;
    gCloseWithoutAsking = true;
    if (CLorimantDocManager* manager = app_->docManager())
      for (wxObject* d : manager->GetDocuments()) static_cast<wxDocument*>(d)->Modify(false);
    if (CMainFrame* frame = app_->mainFrame()) frame->Close(true);
    gui_test::Flush();
    app_->OnExit();
    gui_test::Flush();
    gCloseWithoutAsking = false;
  }

  CMainFrame& frame() const { return *app_->mainFrame(); }
  CLorimantDocManager& manager() const { return *app_->docManager(); }
  std::vector<CSectionDocument*> documents() const {
    std::vector<CSectionDocument*> docs;
    for (wxObject* d : manager().GetDocuments()) docs.push_back(static_cast<CSectionDocument*>(d));
    return docs;
  }
  // Sends a command to the main frame as a menu or ribbon click does.
  // (a command from 32768 on travels under its wx id, WxCommandId).
  void command(int id) {
    const bool shifted = id >= static_cast<int>(kFirstShiftedCommand);
    wxCommandEvent click(wxEVT_MENU, shifted ? WxCommandId(static_cast<UINT>(id)) : id);
    frame().HandleWindowEvent(click);
    gui_test::Flush();
  }
  // Writes a section file with one disk "D1" of radius 1.5 through a macro run
  // as `lorimant --run` runs it.
  fs::path savedSection(const std::string& name) const {
    const fs::path file = root_ / name;
    std::istringstream macro("xscn.SetUnitSystem QHT_SI\nxscn.AddDisk \"root\",\"D1\",1.5,0,0,1\nxscn.FileSave \"" +
                             file.string() + "\"\n");
    std::ostringstream out;
    const JournalRunResult result = RunMacroHeadless(macro, out, nullptr);
    EXPECT_TRUE(result.ok) << result.description;
    vAveVAvezeze = nullptr;
    gModel = nullptr;
    return file;
  }
  // The lines of a journal file without their CRLF.
  static std::vector<std::string> lines(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      out.push_back(line);
    }
    return out;
  }
  static std::string bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  TestApp* app_ = nullptr;
  fs::path root_;
  // The captions of the modal dialogs no test scripted, in order.
  std::vector<wxString> unscriptedDialogs_;
};

// The main frame's title without a document name.
inline const char* const kBaseTitle = "Lorimant - Release Version 2.0.4   Built On: Oct 8, 2017  1:58 am PST";

// A modeless dialog registered with its document, as the dialogs register.
// Told to destroy itself, it leaves the registry and drops its document at
// once, since wx deletes the window only later; deleted, when given, is set
// when the window is finally deleted.
class RegisteredDialog : public wxDialog, public ModelessDialog {
 public:
  RegisteredDialog(wxWindow* parent, CXSectionAnalysisDoc& doc, bool* deleted = nullptr)
      : wxDialog(parent, wxID_ANY, "Registered"), m_doc(&doc), m_deleted(deleted) {
    m_doc->RegisterModelessDialog(this);
    Show();
  }
  ~RegisteredDialog() override {
    if (m_doc != nullptr) m_doc->UnregisterModelessDialog(this);
    if (m_deleted != nullptr) *m_deleted = true;
  }
  void DestroyWindow() override {
    if (m_doc != nullptr) m_doc->UnregisterModelessDialog(this);
    m_doc = nullptr;
    Destroy();
  }

 private:
  CXSectionAnalysisDoc* m_doc;
  bool* m_deleted;
};

}  // namespace gui_lorimant_test
