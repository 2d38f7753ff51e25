// The main frame.
#include "lorimant/ui/CMainFrame.h"

#include <wx/panel.h>
#include <wx/statusbr.h>

#include "lorimant/app/CSectionTreeView.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/document/LorimantApplication.h"
#include "lorimant/ui/CSectionDocument.h"
#include "platform/core/Settings.h"
#include "platform/ui/ACMfcMdiAppGlue.h"

namespace {

CMainFrame* gMainFrame = nullptr;

wxString toWx(const CString& text) { return wxString(text.GetString()); }

// A pane's panel until its contents are built.
wxWindow* emptyPane(wxWindow* parent, int id) {
  auto* panel = new wxPanel(parent, id);
  panel->SetBackgroundColour(*wxWHITE);
  return panel;
}

}  // namespace

CMainFrame::CMainFrame(wxDocManager* manager)
    : wxDocParentFrameAny<wxAuiMDIParentFrame>(manager, nullptr, wxID_ANY, toWx(MainFrameTitle(CString())),
                                               wxDefaultPosition, wxSize(1100, 760)) {
  gMainFrame = this;
  // Documents as tabs, in groups the user may split: a close button on the
  // active tab, the window list at the right.
  GetNotebook()->SetWindowStyleFlag(wxAUI_NB_TOP | wxAUI_NB_TAB_SPLIT | wxAUI_NB_TAB_MOVE | wxAUI_NB_SCROLL_BUTTONS |
                                    wxAUI_NB_CLOSE_ON_ACTIVE_TAB | wxAUI_NB_WINDOWLIST_BUTTON);
  createStatusBar();
  createPanes();
  SetProgramPaths(GetProgramPath());
  DragAcceptFiles(true);
  Bind(wxEVT_DROP_FILES, &CMainFrame::OnDropFiles, this);
  // Exit closes the frame: each document closes through its own questions,
  // and the program ends once all are closed.
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { Close(); }, kCommandAppExit);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) {
    if (m_docManager != nullptr) m_docManager->CreateNewDocument();
  }, kCommandFileNew);
  Bind(wxEVT_MENU, [this](wxCommandEvent& event) {
    if (m_docManager != nullptr) m_docManager->OnFileOpen(event);
  }, kCommandFileOpen);
}

CMainFrame::~CMainFrame() {
  m_sectionTree = nullptr;
  m_panes.UnInit();
  if (gMainFrame == this) gMainFrame = nullptr;
}

CMainFrame* CMainFrame::instance() { return gMainFrame; }

void CMainFrame::createStatusBar() {
  wxStatusBar* bar = CreateStatusBar(2);
  const wxString version = toWx(ReleaseVersionText());
  // Room for the text, the field's margins and the size grip drawn over its end.
  const int widths[] = {-1, bar->GetTextExtent(version).x + 32 + bar->GetSize().y};
  bar->SetStatusWidths(2, widths);
  bar->SetStatusText(version, 1);
}

void CMainFrame::createPanes() {
  m_panes.SetManagedWindow(this);
  m_panes.AddPane(GetClientWindow(), wxAuiPaneInfo().Name("Documents").CenterPane().PaneBorder(false));
  m_sectionTree = new CSectionTreeView(this);
  m_panes.AddPane(m_sectionTree, wxAuiPaneInfo()
                                                           .Name(kSectionTreeCaption)
                                                           .Caption(kSectionTreeCaption)
                                                           .Left()
                                                           .BestSize(200, 200)
                                                           .MinSize(200, 200)
                                                           .Dockable(true)
                                                           .CloseButton(false));
  m_panes.Update();
}

void CMainFrame::ShowResultPane() {
  if (m_resultPane == nullptr) {
    m_resultPane = emptyPane(this, kResultPaneId);
    m_panes.AddPane(m_resultPane, wxAuiPaneInfo()
                                      .Name(kResultPaneCaption)
                                      .Caption(kResultPaneCaption)
                                      .Right()
                                      .BestSize(600, 400)
                                      .Dockable(true));
  }
  m_panes.GetPane(m_resultPane).Show();
  m_panes.Update();
}

void CMainFrame::UpdateTitle() {
  if (wxDocument* active = ACMfcMdiAppGlue::GetActiveDoc())
    ShowTitleFor(*active);
  else
    SetTitle(toWx(MainFrameTitle(CString())));
}

void CMainFrame::ShowTitleFor(const wxDocument& doc) {
  SetTitle(toWx(MainFrameTitle(CString::FromUtf8(doc.GetUserReadableName().utf8_string()))));
}

void CMainFrame::ShowStatusText(const wxString& text) {
  if (GetStatusBar() != nullptr) SetStatusText(text, 0);
}

void CMainFrame::OpenDocumentWindow(CXSectionAnalysisDoc& doc) {
  CSectionDocument* owner = CSectionDocument::Owning(doc);
  if (owner == nullptr || owner->GetDocumentTemplate() == nullptr) return;
  if (wxView* view = owner->GetDocumentTemplate()->CreateView(owner)) view->Activate(true);
}

int CMainFrame::RefreshSectionTree() { return m_sectionTree != nullptr ? m_sectionTree->RebuildTree() : 0; }

void CMainFrame::DeleteSectionTree() {
  if (m_sectionTree != nullptr) m_sectionTree->DeleteAllItems();
}

void CMainFrame::OnDropFiles(wxDropFilesEvent& event) {
  for (int i = 0; i < event.GetNumberOfFiles(); ++i) {
    const wxString& file = event.GetFiles()[i];
    if (file.Lower().EndsWith(wxString(".") + kDocumentExtension))
      m_docManager->CreateDocument(file, wxDOC_SILENT);
  }
}
