// The window that shows a section view inside its child frame.
#pragma once

class CThickSectionView;
class wxWindow;

// Makes the window of view (a SectionCanvas) as a child of parent, whose
// menu and update-UI events then reach the view's commands; the view draws
// into its own buffer and the window paints it.
wxWindow* CreateSectionViewWindow(wxWindow* parent, CThickSectionView& view);
