// Asks the user for a folder with the window system's folder chooser.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <functional>

class wxDirDialog;
class wxString;
class wxWindow;

class CXSBrowseFolder {
public:
    // What Show returns.
    enum retCode { RET_CANCEL = 0, RET_NOPATH = 1, RET_OK = 2 };
    // Runs the chooser in place of its modal loop (tests): returns wxID_OK
    // with the folder in chosen, or wxID_CANCEL.
    using Runner = std::function<int(wxDirDialog& dialog, wxString& chosen)>;

    // Longest title kept (characters).
    static constexpr int kMaxTitle = 259;

    // Flags 0, no title.
    CXSBrowseFolder() = default;

    // Sets the flags to add | (flags & ~remove); returns the new flags.
    DWORD ModifyStyle(DWORD add, DWORD remove);
    // The flags (kept for the callers; the chooser shows folders that
    // exist in the file system whatever they say).
    DWORD GetStyle() const { return m_flags; }
    // Sets the text shown above the folders (its first kMaxTitle
    // characters); a null title is ignored.
    void SetTitle(const wchar_t* title);
    // The title.
    const CString& GetTitle() const { return m_title; }
    // RET_NOPATH when path is null (nothing shown); otherwise shows the
    // chooser over owner: RET_CANCEL when the user cancels, RET_OK with
    // the chosen folder, whole, in *path (RET_NOPATH when the chooser
    // gave no folder).
    retCode Show(wxWindow* owner, CString* path);

    // Sets (null: clears) the runner that stands in for the modal loop.
    static void SetRunner(Runner runner);

private:
    DWORD m_flags = 0;
    CString m_title;
};
