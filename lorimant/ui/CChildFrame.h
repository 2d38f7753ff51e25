// The child frame of a section document: one tab of the main frame.
#pragma once

#include <wx/docview.h>
// after wx/docview.h: it needs wx's configuration to declare anything
#include <wx/aui/tabmdi.h>

class CChildFrame : public wxDocChildFrameAny<wxAuiMDIChildFrame, wxAuiMDIParentFrame> {
 public:
  // A tab titled title in parent for view of doc; activating it activates the view.
  CChildFrame(wxDocument* doc, wxView* view, wxAuiMDIParentFrame* parent, const wxString& title);
};
