// The file and folder questions of the section view asked with wx's file
// dialog and the folder browser. Tests stand in for the file dialog's
// modal loop with a runner, as they do for the folder browser's.
#pragma once

#include <wx/string.h>

#include <functional>

#include "lorimant/view/ViewPrompts.h"

class wxFileDialog;
class wxWindow;

// Runs a file dialog in place of its modal loop: returns wxID_OK with the
// file in chosen, or wxID_CANCEL. The dialog is built as the user would
// see it (title, wildcard, style, preset name) for the runner to check.
using FileDialogRunner = std::function<int(wxFileDialog& dialog, wxString& chosen)>;
// Sets (null: clears) the runner of every file question.
void SetFileDialogRunner(FileDialogRunner runner);

// The wx wildcard of the question's type list: "description|pattern|...".
wxString FileQuestionWildcard(const FileQuestion& question);
// name with the question's default extension added when it has none.
wxString WithDefaultExtension(const wxString& name, const FileQuestion& question);

// Asks for a file to write (save) or read (open) over parent; false when
// cancelled. A file to write gets the default extension when it has none.
bool AskFileWithDialog(wxWindow* parent, const FileQuestion& question, bool save, CString& path);
// Asks for a folder with the folder browser: a FolderAnswer.
int AskFolderWithBrowser(wxWindow* parent, const CString& title, CString& folder);
