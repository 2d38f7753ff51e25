// The main frame.
#include "lorimant/ui/CMainFrame.h"

#include <wx/panel.h>
#include <wx/printdlg.h>
#include <wx/statusbr.h>

#include <utility>
#include <vector>

#include "analysis/model/Globals.h"
#include "lorimant/app/CSectionTreeView.h"
#include "lorimant/app/CaptionBar.h"
#include "lorimant/app/MainRibbon.h"
#include "lorimant/document/ApplicationLook.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/document/LorimantApplication.h"
#include "lorimant/document/MainFrameCommands.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/ui/CAboutDlg.h"
#include "lorimant/ui/COutputWnd.h"
#include "lorimant/ui/CSectionalProperties.h"
#include "lorimant/view/SectionTreeModel.h"
#include "lorimant/ui/CSectionDocument.h"
#include "lorimant/ui/CUnits.h"
#include "lorimant/ui/CWindowsDlg.h"
#include "lorimant/ui/CommandIds.h"
#include "platform/core/Hooks.h"
#include "platform/core/Settings.h"
#include "platform/ui/ACMfcMdiAppGlue.h"
#include "platform/ui/WxPrinting.h"

namespace {

CMainFrame* gMainFrame = nullptr;

// The names of the ribbon's and the caption bar's panes.
constexpr const char* kRibbonPane = "Ribbon";
constexpr const char* kCaptionBarPane = "CaptionBar";

wxString toWx(const CString& text) { return wxString(text.GetString()); }

}  // namespace

CMainFrame::CMainFrame(wxDocManager* manager)
    : wxDocParentFrameAny<wxAuiMDIParentFrame>(manager, nullptr, wxID_ANY, toWx(MainFrameTitle(CString())),
                                               wxDefaultPosition, wxSize(1100, 760)) {
  gMainFrame = this;
  m_look = LoadApplicationLook();
  // Documents as tabs, in groups the user may split: a close button on the
  // active tab, the window list at the right.
  GetNotebook()->SetWindowStyleFlag(wxAUI_NB_TOP | wxAUI_NB_TAB_SPLIT | wxAUI_NB_TAB_MOVE | wxAUI_NB_SCROLL_BUTTONS |
                                    wxAUI_NB_CLOSE_ON_ACTIVE_TAB | wxAUI_NB_WINDOWLIST_BUTTON);
  createStatusBar();
  createPanes();
  createRibbonPanes();
  bindFrameCommands();
  applyLook();
  SetProgramPaths(GetProgramPath());
  // The section tree's Display Section Properties opens the property sheet
  // with the model's display precision.
  SectionTreeModel::SetPropertiesHook([](CXSectionAnalysisDoc& doc, CSubSection& sub) {
    ShowSectionPropertySheet(CMainFrame::instance(), sub, doc.model() != nullptr ? doc.model()->displayPrecision : 4);
  });
  DragAcceptFiles(true);
  Bind(wxEVT_DROP_FILES, &CMainFrame::OnDropFiles, this);
  // Exit closes the frame: each document closes through its own questions,
  // and the program ends once all are closed.
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { Close(); }, WxCommandId(kCommandAppExit));
  Bind(wxEVT_MENU, [this](wxCommandEvent&) {
    if (m_docManager != nullptr) m_docManager->CreateNewDocument();
  }, WxCommandId(kCommandFileNew));
  Bind(wxEVT_MENU, [this](wxCommandEvent& event) {
    if (m_docManager != nullptr) m_docManager->OnFileOpen(event);
  }, WxCommandId(kCommandFileOpen));
}

CMainFrame::~CMainFrame() {
  SectionTreeModel::SetPropertiesHook(nullptr);
  m_sectionTree = nullptr;
  m_resultPane = nullptr;
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

void CMainFrame::createRibbonPanes() {
  MainRibbon::Wiring wiring{this, [this] {
                              std::vector<wxString> files;
                              if (m_docManager != nullptr)
                                for (size_t i = 0; i < m_docManager->GetHistoryFilesCount(); ++i)
                                  files.push_back(m_docManager->GetHistoryFile(i));
                              return files;
                            }};
  m_ribbon = new MainRibbon(this, std::move(wiring));
  m_captionBar = new CaptionBar(this, this);
  // Across the whole width above the panes: the ribbon, the caption bar under it.
  const auto bar = [](const char* name, int row) {
    return wxAuiPaneInfo().Name(name).Top().Layer(10).Row(row).CaptionVisible(false).PaneBorder(false).Floatable(
        false).Movable(false).Dockable(false).CloseButton(false).Gripper(false).Resizable(false);
  };
  m_panes.AddPane(m_ribbon, bar(kRibbonPane, 0));
  m_panes.AddPane(m_captionBar, bar(kCaptionBarPane, 1).MinSize(-1, m_captionBar->GetBestSize().y));
}

void CMainFrame::bindFrameCommands() {
  Bind(wxEVT_MENU, [this](wxCommandEvent& event) { SetApplicationLook(static_cast<int>(CommandOfWxId(event.GetId()))); },
       WxCommandId(kLookOffice2007Aqua), WxCommandId(kLookWindows7));
  Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateLook, this, WxCommandId(kLookOffice2007Aqua), WxCommandId(kLookWindows7));
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnToggleCaptionBar(); }, WxCommandId(kCommandToggleCaptionBar));
  Bind(wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& event) { event.Check(IsCaptionBarShown()); },
       WxCommandId(kCommandToggleCaptionBar));
  // The ribbon of wx has no quick-access toolbar to customise.
  Bind(wxEVT_MENU, [](wxCommandEvent&) { AfxMessageBox(kRibbonCustomisationUnavailable, MB_OK | MB_ICONINFORMATION); },
       WxCommandId(kCommandCaptionOptions));
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnUnits(); }, WxCommandId(kCommandUnits));
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnWindows(); }, WxCommandId(kCommandWindows));
  Bind(wxEVT_MENU, [this](wxCommandEvent&) {
    CAboutDlg about(this);
    about.DoModal();
  }, WxCommandId(kCommandAbout));
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnPrintSetup(); }, WxCommandId(kCommandPrintSetup));
}

void CMainFrame::SetApplicationLook(int id) {
  if (FindApplicationLook(id) == nullptr) return;
  m_look = id;
  applyLook();
  SaveApplicationLook(id);
}

void CMainFrame::applyLook() {
  const ApplicationLook& look = *FindApplicationLook(m_look);
  m_ribbon->ApplyLook(look);
  m_captionBar->ApplyLook(look);
  // The two arts differ in height: the pane follows the ribbon.
  const int height = m_ribbon->GetBestSize().y;
  m_panes.GetPane(m_ribbon).MinSize(-1, height).BestSize(-1, height);
  // Docking hints in every look.
  m_panes.SetFlags(m_panes.GetFlags() | wxAUI_MGR_TRANSPARENT_HINT | wxAUI_MGR_HINT_FADE);
  m_panes.Update();
  Refresh();
  Update();
}

void CMainFrame::OnUpdateLook(wxUpdateUIEvent& event) {
  event.Check(static_cast<int>(CommandOfWxId(event.GetId())) == m_look);
}

bool CMainFrame::IsCaptionBarShown() { return m_panes.GetPane(m_captionBar).IsShown(); }

void CMainFrame::OnToggleCaptionBar() {
  wxAuiPaneInfo& pane = m_panes.GetPane(m_captionBar);
  pane.Show(!pane.IsShown());
  m_panes.Update();
}

void CMainFrame::OnUnits() {
  CUnits dialog(this);
  // The current system preselected (none while it is undecided).
  dialog.m_selection = gUnitSystem;
  if (dialog.DoModal() != IDOK) return;
  ApplyUnitsChoice(GetActiveSectionDoc(), dialog.m_selection);
}

bool CMainFrame::AskUnits(int& selection) {
  CUnits dialog(this);
  dialog.m_selection = selection;
  if (dialog.DoModal() != IDOK) return false;
  selection = dialog.m_selection;
  return true;
}

void CMainFrame::OnWindows() {
  wxAuiNotebook* tabs = GetNotebook();
  CWindowsDlg dialog(this);
  for (size_t i = 0; i < tabs->GetPageCount(); ++i) dialog.m_windows.push_back(CString(tabs->GetPageText(i).wc_str()));
  dialog.m_selection = tabs->GetSelection();
  if (dialog.DoModal() != IDOK || dialog.Chosen() < 0) return;
  if (auto* child = dynamic_cast<wxAuiMDIChildFrame*>(tabs->GetPage(static_cast<size_t>(dialog.Chosen()))))
    child->Activate();
}

void CMainFrame::OnPrintSetup() {
  wxPageSetupDialogData data(ProgramPrintData());
  wxPageSetupDialog dialog(this, &data);
  if (dialog.ShowModal() == wxID_OK) ProgramPrintData() = dialog.GetPageSetupData().GetPrintData();
}

wxRibbonPage* CMainFrame::FindRibbonCategory(const wxString& name) const { return m_ribbon->FindPage(name); }

wxRibbonPanel* CMainFrame::FindRibbonPanel(wxRibbonPage* page, const wxString& name) const {
  return MainRibbon::FindPanel(page, name);
}

wxChoice* CMainFrame::FindRibbonChoice(int id) const { return m_ribbon->FindChoice(id); }

void CMainFrame::ShowResultPane() {
  if (m_resultPane == nullptr) {
    m_resultPane = new COutputWnd(this, kResultPaneId);
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

void CMainFrame::ClearPropertyLists() {
  if (m_resultPane != nullptr) m_resultPane->ClearPropertyLists();
}

void CMainFrame::SetResultSubSection(CSubSection* sub) {
  ShowResultPane();
  m_resultPane->SetResultSubSection(sub);
}

void CMainFrame::FillPropertyLists() {
  if (m_resultPane != nullptr) m_resultPane->FillPropertyLists();
}

void CMainFrame::OnDropFiles(wxDropFilesEvent& event) {
  for (int i = 0; i < event.GetNumberOfFiles(); ++i) {
    const wxString& file = event.GetFiles()[i];
    if (file.Lower().EndsWith(wxString(".") + kDocumentExtension))
      m_docManager->CreateDocument(file, wxDOC_SILENT);
  }
}
