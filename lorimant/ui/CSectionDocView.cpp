// The wx view of a section document.
#include "lorimant/ui/CSectionDocView.h"

#include <wx/sizer.h>

#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/ui/CChildFrame.h"
#include "lorimant/ui/CMainFrame.h"
#include "lorimant/ui/CSectionDocument.h"
#include "lorimant/ui/ExceptionReport.h"
#include "lorimant/ui/SectionViewWindow.h"
#include "lorimant/view/CThickSectionView.h"

wxIMPLEMENT_DYNAMIC_CLASS(CSectionDocView, wxView);

CSectionDocView::CSectionDocView() = default;

CSectionDocView::~CSectionDocView() {
  // The section view goes before the document it reports to.
  m_section.reset();
  if (CMainFrame* main = CMainFrame::instance()) main->CallAfter([main] { main->UpdateTitle(); });
}

CSectionDocument* CSectionDocView::sectionDocument() const {
  return static_cast<CSectionDocument*>(GetDocument());
}

bool CSectionDocView::OnCreate(wxDocument* doc, long /*flags*/) {
  CMainFrame* main = CMainFrame::instance();
  if (main == nullptr) return false;
  m_section = CThickSectionView::createFor(static_cast<CSectionDocument*>(doc)->core());
  auto* frame = new CChildFrame(doc, this, main, doc->GetUserReadableName());
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(CreateSectionViewWindow(frame, *m_section), 1, wxEXPAND);
  frame->SetSizer(sizer);
  frame->Show();
  return true;
}

void CSectionDocView::OnUpdate(wxView* /*sender*/, wxObject* /*hint*/) {
  if (m_section == nullptr || m_section->model() == nullptr) return;
  m_section->RebuildAndRedraw();
  m_section->fullView();
}

void CSectionDocView::OnDraw(wxDC* /*dc*/) {}

bool CSectionDocView::OnClose(bool deleteWindow) {
  if (GetDocument() != nullptr && GetDocument()->GetViews().GetCount() > 1) {
    Activate(false);
    return true;
  }
  if (!wxView::OnClose(deleteWindow)) return false;
  Activate(false);
  return true;
}

void CSectionDocView::OnActivateView(bool activate, wxView* /*activeView*/, wxView* /*deactiveView*/) {
  CSectionDocument* doc = sectionDocument();
  // A document is activated once it has a model: its frame shows before the
  // model is made or read.
  if (!activate || m_section == nullptr || doc == nullptr || !doc->ready()) return;
  RunGuarded([&] {
    doc->core().MakeCurrent();
    doc->core().setActiveView(m_section.get());
    m_section->OnActivateView(TRUE, m_section.get(), nullptr);
    m_section->RefreshScene();
  });
  if (CMainFrame* main = CMainFrame::instance()) main->ShowTitleFor(*doc);
}
