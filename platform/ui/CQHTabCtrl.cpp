#include "platform/ui/CQHTabCtrl.h"

CQHTabCtrl::CQHTabCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
    : wxAuiNotebook(parent, id, pos, size, style)
{
    Bind(wxEVT_AUINOTEBOOK_PAGE_CHANGING, &CQHTabCtrl::onPageChanging, this);
}

bool CQHTabCtrl::AddTab(wxWindow* page, const wxString& label, int image, bool detachable)
{
    if (page == nullptr)
        return false;
    if (page->GetParent() != this)
        page->Reparent(this);
    if (!AddPage(page, label, false, image))
        return false;
    m_detachable[page] = detachable;
    return true;
}

bool CQHTabCtrl::IsTabDetachable(int index) const
{
    if (index < 0 || index >= static_cast<int>(GetPageCount()))
        return false;
    const auto it = m_detachable.find(GetPage(index));
    return it != m_detachable.end() && it->second;
}

void CQHTabCtrl::onPageChanging(wxAuiNotebookEvent& event)
{
    // A click in the tab strip announces the change to the notebook first,
    // which then asks about it as its own event.
    if (event.GetEventObject() != this) {
        event.Skip();
        return;
    }
    // Every change of the active tab is allowed; no handler above may veto it.
    event.Allow();
}
