// The application object of the windowed program.
#include "lorimant/app/CLorimantApp.h"

#include <wx/log.h>
#include <wx/utils.h>

#include <clocale>

#include "lorimant/app/CLorimantDocManager.h"
#include "lorimant/app/WxHooks.h"
#include "lorimant/document/LorimantApplication.h"
#include "lorimant/document/MainFrameCommands.h"
#include "lorimant/ui/CMainFrame.h"
#include "lorimant/ui/CSectionDocView.h"
#include "lorimant/ui/CSectionDocument.h"
#include "lorimant/ui/CSplashWindow.h"
#include "lorimant/ui/ExceptionReport.h"

bool CLorimantApp::OnInit() {
  // GTK set every category to the user's locale; numbers written to files
  // and journals must read the same everywhere.
  std::setlocale(LC_NUMERIC, "C");
  InstallHooks();
  UseLorimantProfile();
  SetAppName(kApplicationName);
  SetAppDisplayName(kApplicationName);

  m_docManager = new CLorimantDocManager;
  new wxDocTemplate(m_docManager, kDocumentFilterName, kDocumentFilter, wxString(), kDocumentExtension,
                    kDocumentTypeName, kApplicationName, wxCLASSINFO(CSectionDocument), wxCLASSINFO(CSectionDocView));
  m_docManager->LoadRecentFiles();

  auto* frame = new CMainFrame(m_docManager);
  m_frame = frame;
  SetTopWindow(frame);
  showStartupSplash();
  if (!openStartDocument()) {
    CSplashWindow::HideSplashScreen();
    frame->Destroy();
    releaseDocManager();
    return false;
  }
  frame->Show();
  frame->UpdateTitle();
  return true;
}

bool CLorimantApp::CallOnInit() {
  delete wxLog::SetActiveTarget(new wxLogGui);
  return wxApp::CallOnInit();
}

bool CLorimantApp::openStartDocument() {
  if (m_startFile.empty()) return m_docManager->CreateNewDocument() != nullptr;
  return m_docManager->CreateDocument(m_startFile, wxDOC_SILENT) != nullptr;
}

void CLorimantApp::showStartupSplash() {
  CSplashWindow::ShowSplashScreen(nullptr, kSplashStartingText, 0);
  if (m_splashPause > 0) wxMilliSleep(static_cast<unsigned long>(m_splashPause));
  CSplashWindow::ShowSplashScreen(nullptr, kSplashVideosText, kSplashDisplayMilliseconds);
}

void CLorimantApp::InstallHooks() { InstallWxHooks(); }

int CLorimantApp::FilterEvent(wxEvent& event) {
  return CSplashWindow::PreTranslateAppMessage(event) ? Event_Processed : Event_Skip;
}

int CLorimantApp::OnExit() {
  releaseDocManager();
  return wxApp::OnExit();
}

void CLorimantApp::releaseDocManager() {
  if (CMainFrame* frame = m_frame.get()) frame->ForgetDocManager();
  delete m_docManager;
  m_docManager = nullptr;
}

bool CLorimantApp::OnExceptionInMainLoop() {
  ShowCurrentException();
  return true;
}
