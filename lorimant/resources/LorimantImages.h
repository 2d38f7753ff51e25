// The program's pictures: the ribbon's button images and the splash
// window's bitmap, drawn by the program itself (no image files to ship).
#pragma once

#include <wx/bitmap.h>

// The ribbon image called name at size x size pixels (drawn on a 16-unit
// grid, with transparency); an empty bitmap for an unknown name.
wxBitmap RibbonImage(const char* name, int size);
// True when there is a ribbon image called name.
bool HasRibbonImage(const char* name);
// The splash window's picture (480 x 420 pixels): the texts of the splash
// are drawn over it in the bands it leaves free.
wxBitmap LoadSplashBitmap();
