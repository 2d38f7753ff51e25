// The folder chooser on wx's directory dialog.
#include "platform/ui/CXSBrowseFolder.h"

#include <wx/dirdlg.h>

#include <utility>

namespace {

CXSBrowseFolder::Runner& runner()
{
    static CXSBrowseFolder::Runner run;
    return run;
}

} // namespace

void CXSBrowseFolder::SetRunner(Runner run)
{
    runner() = std::move(run);
}

DWORD CXSBrowseFolder::ModifyStyle(DWORD add, DWORD remove)
{
    m_flags = add | (m_flags & ~remove);
    return m_flags;
}

void CXSBrowseFolder::SetTitle(const wchar_t* title)
{
    if (title == nullptr)
        return;
    m_title = CString(title).Left(kMaxTitle);
}

CXSBrowseFolder::retCode CXSBrowseFolder::Show(wxWindow* owner, CString* path)
{
    if (path == nullptr)
        return RET_NOPATH;
    wxDirDialog dialog(owner, wxString(m_title.GetString()), wxEmptyString,
                       wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    wxString chosen;
    int answer;
    if (runner()) {
        answer = runner()(dialog, chosen);
    } else {
        answer = dialog.ShowModal();
        chosen = dialog.GetPath();
    }
    if (answer != wxID_OK)
        return RET_CANCEL;
    if (chosen.empty())
        return RET_NOPATH; // nothing in the file system was chosen
    *path = CString(chosen.ToStdWstring());
    return RET_OK;
}
