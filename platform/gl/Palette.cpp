// The RGB palette of colour-index pixel formats.
#include "platform/gl/Palette.h"

#include <array>

namespace {

constexpr std::array<BYTE, 2> kOneBit = {0, 255};
constexpr std::array<BYTE, 4> kTwoBits = {0, 85, 170, 255};
constexpr std::array<BYTE, 8> kThreeBits = {0, 36, 73, 109, 146, 182, 219, 255};

struct StaticColour {
    int entry;
    BYTE red, green, blue;
};

// The system's static colours, at the 3-3-2 entries whose own colour lies
// nearest to each, so that other windows keep their colours while ours
// shows.
constexpr std::array<StaticColour, 12> kStaticColours = {{
    {3, 128, 0, 0},
    {24, 0, 128, 0},
    {27, 128, 128, 0},
    {64, 0, 0, 128},
    {67, 128, 0, 128},
    {88, 0, 128, 128},
    {173, 192, 192, 192},
    {181, 192, 220, 192},
    {236, 166, 202, 240},
    {247, 255, 251, 240},
    {164, 160, 160, 164},
    {91, 128, 128, 128},
}};

bool isThreeThreeTwo(const PIXELFORMATDESCRIPTOR& f) {
    return f.cColorBits == 8 && f.cRedBits == 3 && f.cRedShift == 0 && f.cGreenBits == 3 && f.cGreenShift == 3 &&
           f.cBlueBits == 2 && f.cBlueShift == 6;
}

}  // namespace

BYTE ComponentFromIndex(int index, UINT bits, UINT shift) {
    if (shift >= 32) return 0;
    const unsigned value = static_cast<unsigned>(index) >> shift;
    switch (bits) {
        case 1:
            return kOneBit[value & 0x1u];
        case 2:
            return kTwoBits[value & 0x3u];
        case 3:
            return kThreeBits[value & 0x7u];
        default:
            return 0;
    }
}

std::vector<PALETTEENTRY> CreateRGBPalette(const PIXELFORMATDESCRIPTOR& f) {
    std::vector<PALETTEENTRY> palette;
    if (!(f.dwFlags & PFD_NEED_PALETTE) || f.cColorBits > 8) return palette;
    palette.resize(std::size_t{1} << f.cColorBits);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int index = static_cast<int>(i);
        palette[i].peRed = ComponentFromIndex(index, f.cRedBits, f.cRedShift);
        palette[i].peGreen = ComponentFromIndex(index, f.cGreenBits, f.cGreenShift);
        palette[i].peBlue = ComponentFromIndex(index, f.cBlueBits, f.cBlueShift);
    }
    if (isThreeThreeTwo(f)) {
        for (const StaticColour& c : kStaticColours)
            palette[static_cast<std::size_t>(c.entry)] = {c.red, c.green, c.blue, 0};
    }
    return palette;
}
