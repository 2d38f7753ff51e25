// The section document on wx's document/view.
#include "lorimant/ui/CSectionDocument.h"

#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/document/LorimantApplication.h"
#include "lorimant/ui/CMainFrame.h"

wxIMPLEMENT_DYNAMIC_CLASS(CSectionDocument, wxDocument);

// The owned section document: its save prompt is the wx document's.
class CSectionDocument::Core : public CXSectionAnalysisDoc {
 public:
  Core(CSectionDocument& owner, SectionFrame* frame) : CXSectionAnalysisDoc(frame), m_owner(owner) {}
  bool SaveChangesPrompt() override { return m_owner.SaveChangesPrompt(); }

 private:
  CSectionDocument& m_owner;
};

CSectionDocument::CSectionDocument() : m_core(std::make_unique<Core>(*this, CMainFrame::instance())) {}

CSectionDocument::~CSectionDocument() = default;

CXSectionAnalysisDoc& CSectionDocument::core() const { return *m_core; }

CSectionDocument* CSectionDocument::Owning(const CXSectionAnalysisDoc& core) {
  wxDocManager* manager = wxDocManager::GetDocumentManager();
  if (manager == nullptr) return nullptr;
  for (wxObject* d : manager->GetDocuments()) {
    auto* doc = dynamic_cast<CSectionDocument*>(d);
    if (doc != nullptr && doc->m_core.get() == &core) return doc;
  }
  return nullptr;
}

bool CSectionDocument::OnNewDocument() {
  if (!m_core->OnNewDocument()) return false;
  Modify(false);
  SetDocumentSaved(false);
  const wxString name = GetDocumentManager()->MakeNewDocumentName();
  SetTitle(name);
  SetFilename(name, true);
  m_ready = true;
  UpdateAllViews();
  return true;
}

bool CSectionDocument::OnOpenDocument(const wxString& file) {
  if (!m_core->OnOpenDocument(CString::FromUtf8(file.utf8_string()))) return false;
  SetFilename(file, true);
  Modify(false);
  SetDocumentSaved(true);
  m_ready = true;
  UpdateAllViews();
  return true;
}

bool CSectionDocument::OnSaveDocument(const wxString& file) {
  if (!m_core->OnSaveDocument(CString::FromUtf8(file.utf8_string()))) return false;
  Modify(false);
  SetFilename(file);
  SetDocumentSaved(true);
  return true;
}

bool CSectionDocument::OnSaveModified() {
  if (!m_ready || m_closed) return true;
  return m_core->SaveModified();
}

bool CSectionDocument::SaveChangesPrompt() {
  if (!IsModified()) return true;
  switch (AskSaveChanges(CString::FromUtf8(GetUserReadableName().utf8_string()))) {
    case SaveChoice::Save:
      return Save();
    case SaveChoice::Discard:
      return true;
    case SaveChoice::Cancel:
      break;
  }
  return false;
}

bool CSectionDocument::OnCloseDocument() {
  if (m_closed) return true;
  m_closed = true;
  m_core->OnCloseDocument();
  return wxDocument::OnCloseDocument();
}

bool CSectionDocument::IsModified() const { return m_core->IsModified(); }

void CSectionDocument::Modify(bool modified) {
  m_core->SetModifiedFlag(modified);
  wxDocument::Modify(modified);
}
