// The document manager of the program: names new documents
// "LorimantAnalysisDoc1", "LorimantAnalysisDoc2", ..., opens any file with
// the one section template, and keeps the four recently used files in the
// profile.
#pragma once

#include <wx/docview.h>

#include "lorimant/document/LorimantApplication.h"

class CLorimantDocManager : public wxDocManager {
 public:
  // The next new document's name.
  wxString MakeNewDocumentName() override;
  // Every file is a section file: the first template.
  wxDocTemplate* FindTemplateForPath(const wxString& path) override;
  // A file was opened or saved: first in the recent list and the profile.
  void AddFileToHistory(const wxString& file) override;
  // The i-th recent file (newest first) went missing: out of the list and the profile.
  void RemoveFileFromHistory(size_t i) override;
  // A history of four files.
  wxFileHistory* OnCreateFileHistory() override;
  // Reads the recent files from the profile into the history.
  void LoadRecentFiles();
  // The recent files, newest first.
  const std::vector<CString>& recentFiles() const { return m_recent.files(); }

 private:
  int m_newDocuments = 0;
  RecentFileList m_recent;
};
