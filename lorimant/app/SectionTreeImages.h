// The pictures of the section tree: 25 images of 16 x 16 pixels at the
// indices the tree's rows name (SectionTreeImage and the shape-type
// images), drawn by the program on a transparent ground.
#pragma once

#include <wx/bitmap.h>

class wxImageList;

// A new image list of the tree's 25 images; the caller owns it.
wxImageList* CreateSectionTreeImages();
// The picture of one index (0 to 24); an empty picture outside.
wxBitmap SectionTreeBitmap(int index);
// The picture of the pane's menu button: the first command of its menu,
// Create New SubSection (a folder with a plus).
wxBitmap SectionTreeMenuButtonBitmap();
