// The window of a section view: for now a plain white panel over the view's
// headless host, until the view paints into a window of its own.
#include "lorimant/ui/SectionViewWindow.h"

#include <wx/panel.h>

wxWindow* CreateSectionViewWindow(wxWindow* parent, CThickSectionView& /*view*/) {
  auto* panel = new wxPanel(parent, wxID_ANY);
  panel->SetBackgroundColour(*wxWHITE);
  return panel;
}
