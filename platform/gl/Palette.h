// Logical palettes for colour-index displays: the RGB palette that makes a
// palette-based pixel format show true colours as closely as it can.
#pragma once

#include <vector>

#include "platform/core/Types.h"
#include "platform/gl/PixelFormat.h"

// One palette entry.
struct PALETTEENTRY {
    BYTE peRed = 0;
    BYTE peGreen = 0;
    BYTE peBlue = 0;
    BYTE peFlags = 0;

    friend bool operator==(const PALETTEENTRY&, const PALETTEENTRY&) = default;
};

// The intensity (0-255) of one colour component of palette entry index:
// the index shifted right by shift, its low bits (1, 2 or 3 of them) spread
// evenly over 0-255. Any other bit count gives 0.
BYTE ComponentFromIndex(int index, UINT bits, UINT shift);

// The RGB palette of a format that needs one (PFD_NEED_PALETTE, at most 8
// colour bits): 2^colour-bits entries built from the component bits and
// shifts, flags 0. For the 8-bit 3-3-2 format twelve entries hold the
// system's static colours instead. Empty when the format needs no palette.
std::vector<PALETTEENTRY> CreateRGBPalette(const PIXELFORMATDESCRIPTOR& format);
