// The child frame of a section document.
#include "lorimant/ui/CChildFrame.h"

CChildFrame::CChildFrame(wxDocument* doc, wxView* view, wxAuiMDIParentFrame* parent, const wxString& title)
    : wxDocChildFrameAny<wxAuiMDIChildFrame, wxAuiMDIParentFrame>(doc, view, parent, wxID_ANY, title) {}
