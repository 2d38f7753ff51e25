// The file and folder questions on wx's file dialog and the folder browser.
#include "lorimant/ui/FileQuestions.h"

#include <wx/filedlg.h>
#include <wx/filename.h>

#include <utility>

#include "platform/ui/CXSBrowseFolder.h"

namespace {

FileDialogRunner& runner() {
  static FileDialogRunner run;
  return run;
}

wxString wx(const CString& text) { return wxString(text.GetString()); }

// The default extension without its leading dot.
wxString extensionOf(const FileQuestion& question) {
  wxString extension = wx(question.defaultExtension);
  if (extension.StartsWith(".")) extension.Remove(0, 1);
  return extension;
}

}  // namespace

void SetFileDialogRunner(FileDialogRunner run) { runner() = std::move(run); }

wxString FileQuestionWildcard(const FileQuestion& question) {
  wxString wildcard;
  for (const FileFilter& filter : question.filters) {
    if (!wildcard.empty()) wildcard += "|";
    wildcard += wx(filter.description) + "|" + wx(filter.pattern);
  }
  return wildcard.empty() ? wxString(wxFileSelectorDefaultWildcardStr) : wildcard;
}

wxString WithDefaultExtension(const wxString& name, const FileQuestion& question) {
  const wxString extension = extensionOf(question);
  if (extension.empty() || name.empty() || wxFileName(name).HasExt()) return name;
  return name + "." + extension;
}

bool AskFileWithDialog(wxWindow* parent, const FileQuestion& question, bool save, CString& path) {
  long style = save ? wxFD_SAVE : wxFD_OPEN;
  if (save && question.overwritePrompt) style |= wxFD_OVERWRITE_PROMPT;
  if (!save && question.mustExist) style |= wxFD_FILE_MUST_EXIST;
  // A pattern given as the name is the type list's business.
  const wxString preset = wx(question.fileName);
  const wxString name = preset.find_first_of("*?") == wxString::npos ? preset : wxString();
  wxFileDialog dialog(parent, wxFileSelectorPromptStr, wxEmptyString, name, FileQuestionWildcard(question), style);
  wxString chosen;
  int answer;
  if (runner()) {
    answer = runner()(dialog, chosen);
  } else {
    answer = dialog.ShowModal();
    chosen = dialog.GetPath();
  }
  if (answer != wxID_OK || chosen.empty()) return false;
  path = CString((save ? WithDefaultExtension(chosen, question) : chosen).ToStdWstring());
  return true;
}

int AskFolderWithBrowser(wxWindow* parent, const CString& title, CString& folder) {
  CXSBrowseFolder browser;
  browser.SetTitle(title.GetString());
  return browser.Show(parent, &folder);
}
