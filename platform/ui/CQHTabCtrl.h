// The tab control of the result pane: a wx AUI notebook that lets every
// change of the active tab happen. Tabs are added with a window, a label,
// an image of the notebook's image list and a detachable flag, which is
// kept for the callers (tabs here cannot float out of the notebook).
#pragma once

#include <wx/aui/auibook.h>

#include <map>

class CQHTabCtrl : public wxAuiNotebook {
public:
    // An empty tab control with tabs on top that can be reordered.
    CQHTabCtrl(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
               const wxSize& size = wxDefaultSize,
               long style = wxAUI_NB_TOP | wxAUI_NB_TAB_MOVE | wxAUI_NB_SCROLL_BUTTONS);

    // Appends a tab showing page (its parent becomes this control) with a
    // label and image (index into the image list, -1: none). False when
    // the page cannot be added.
    bool AddTab(wxWindow* page, const wxString& label, int image = -1, bool detachable = true);
    // The detachable flag the tab at index was added with (false outside).
    bool IsTabDetachable(int index) const;

private:
    void onPageChanging(wxAuiNotebookEvent& event);

    std::map<const wxWindow*, bool> m_detachable;
};
