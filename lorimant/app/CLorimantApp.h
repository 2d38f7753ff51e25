// The application object of the windowed program: starts the document
// manager with the one section template, the main frame and the first
// document, and shows what handlers throw.
#pragma once

#include <wx/app.h>
#include <wx/weakref.h>

class CLorimantDocManager;
class CMainFrame;

class CLorimantApp : public wxApp {
 public:
  // The file to open at the start; empty starts with one new document.
  void SetStartFile(const wxString& path) { m_startFile = path; }
  // The pause between the splash window's two lines at the start (ms).
  void SetSplashPause(int milliseconds) { m_splashPause = milliseconds; }

  // The start: numbers in the C locale again after GTK set the user's,
  // the wx hooks, the profile, the section template with the recent files,
  // the main frame, the splash window, then the start file (or a new
  // document) and the main window shown. False, with everything made released, when the start
  // file cannot be opened (the document has said why).
  bool OnInit() override;
  // Messages of the started program go to message boxes; until the display
  // is open they go to the error output.
  bool CallOnInit() override;
  // Releases the document manager (any documents still open close first).
  int OnExit() override;
  // Shows the text of what a handler threw and carries on.
  bool OnExceptionInMainLoop() override;
  // While the splash window shows, a key or mouse-button press hides it
  // and goes no further; every other event goes on as usual.
  int FilterEvent(wxEvent& event) override;

  // The main frame while it exists.
  CMainFrame* mainFrame() const { return m_frame.get(); }
  // The document manager between OnInit and OnExit.
  CLorimantDocManager* docManager() const { return m_docManager; }

 protected:
  // Installs the wx message-box, wait-cursor and status-text hooks.
  virtual void InstallHooks();

 private:
  bool openStartDocument();
  void releaseDocManager();
  void showStartupSplash();

  wxString m_startFile;
  int m_splashPause = 1000;
  CLorimantDocManager* m_docManager = nullptr;
  wxWeakRef<CMainFrame> m_frame;
};
