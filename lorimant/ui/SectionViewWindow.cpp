// The window of a section view: the view's canvas.
#include "lorimant/ui/SectionViewWindow.h"

#include "lorimant/ui/SectionCanvas.h"

wxWindow* CreateSectionViewWindow(wxWindow* parent, CThickSectionView& view) { return new SectionCanvas(parent, view); }
