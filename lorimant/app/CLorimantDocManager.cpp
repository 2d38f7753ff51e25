// The document manager of the program.
#include "lorimant/app/CLorimantDocManager.h"

#include <wx/filehistory.h>

wxString CLorimantDocManager::MakeNewDocumentName() {
  return wxString(NewDocumentName(++m_newDocuments).GetString());
}

wxDocTemplate* CLorimantDocManager::FindTemplateForPath(const wxString& /*path*/) {
  return GetTemplates().empty() ? nullptr : static_cast<wxDocTemplate*>(GetTemplates().GetFirst()->GetData());
}

void CLorimantDocManager::AddFileToHistory(const wxString& file) {
  wxDocManager::AddFileToHistory(file);
  m_recent.Add(CString::FromUtf8(file.utf8_string()));
}

void CLorimantDocManager::RemoveFileFromHistory(size_t i) {
  if (i >= GetHistoryFilesCount()) return;
  const wxString file = GetHistoryFile(i);
  wxDocManager::RemoveFileFromHistory(i);
  m_recent.Remove(CString::FromUtf8(file.utf8_string()));
}

wxFileHistory* CLorimantDocManager::OnCreateFileHistory() { return new wxFileHistory(RecentFileList::kSize); }

void CLorimantDocManager::LoadRecentFiles() {
  m_recent.Load();
  // The history puts each added file first: oldest first leaves the newest on top.
  const std::vector<CString>& files = m_recent.files();
  for (auto it = files.rbegin(); it != files.rend(); ++it)
    wxDocManager::AddFileToHistory(wxString(it->GetString()));
}
