// The window that shows a section view inside its child frame.
#pragma once

class CThickSectionView;
class wxWindow;

// Makes the window of view as a child of parent; the view keeps drawing
// into its own buffer behind its host.
wxWindow* CreateSectionViewWindow(wxWindow* parent, CThickSectionView& view);
