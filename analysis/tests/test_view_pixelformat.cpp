// Pixel-format tables and palettes of the views' drawing devices.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gl/Palette.h"
#include "platform/gl/PixelFormat.h"

namespace {

PIXELFORMATDESCRIPTOR format(DWORD flags, BYTE colour, BYTE depth, BYTE type = PFD_TYPE_RGBA) {
    PIXELFORMATDESCRIPTOR f;
    f.dwFlags = flags;
    f.cColorBits = colour;
    f.cDepthBits = depth;
    f.iPixelType = type;
    return f;
}

constexpr DWORD kWindowGl = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
constexpr DWORD kSoftware = PFD_GENERIC_FORMAT;
constexpr DWORD kHelped = PFD_GENERIC_FORMAT | PFD_GENERIC_ACCELERATED;

// Formats 1 to 6 of a display card.
PixelFormatDevice card() {
    PixelFormatDevice d;
    d.kind = PixelDeviceKind::Window;
    d.formats = {
        format(kWindowGl | kSoftware | PFD_DOUBLEBUFFER, 32, 16),       // 1 software
        format(kWindowGl | PFD_DOUBLEBUFFER, 32, 24),                   // 2 driver, 24-bit depth
        format(kWindowGl, 32, 16),                                      // 3 driver, single
        format(kWindowGl | PFD_DOUBLEBUFFER, 32, 16),                   // 4 driver, double: ties with 3
        format(kWindowGl | PFD_DOUBLEBUFFER, 8, 16, PFD_TYPE_COLORINDEX),  // 5 colour index
        format(kWindowGl | kHelped | PFD_DOUBLEBUFFER, 16, 32),         // 6 helped by the card
    };
    return d;
}

}  // namespace

TEST(ViewPixelFormat, ScoringPrefersAcceleratedRgbaWithSixteenBitDepth) {
    const PixelFormatDevice d = card();
    // All requests null: accelerated, 16 depth bits, any buffering, any colour.
    EXPECT_EQ(ChoosePixelFormatEx(&d, nullptr, nullptr, nullptr, nullptr), 3);

    struct Case {
        int colour, depth, doubleBuffer, accelerated;
        int index;
        int outColour, outDepth, outDouble, outAccelerated;
    };
    for (const Case& c : {
             Case{-1, 16, 1, 1, 4, 32, 16, 1, 1},   // double buffering wanted
             Case{-1, 16, -1, 0, 1, 32, 16, 1, 0},  // software wanted
             Case{16, 16, -1, 1, 6, 16, 32, 1, 1},  // 16 colour bits wanted
             Case{-1, 24, 1, 1, 2, 32, 24, 1, 1},   // 24 depth bits wanted
         }) {
        int colour = c.colour, depth = c.depth, doubleBuffer = c.doubleBuffer, accelerated = c.accelerated;
        EXPECT_EQ(ChoosePixelFormatEx(&d, &colour, &depth, &doubleBuffer, &accelerated), c.index);
        EXPECT_EQ(colour, c.outColour);
        EXPECT_EQ(depth, c.outDepth);
        EXPECT_EQ(doubleBuffer, c.outDouble);
        EXPECT_EQ(accelerated, c.outAccelerated);
    }
    const PixelFormatDevice empty;
    EXPECT_EQ(ChoosePixelFormatEx(&empty, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(ChoosePixelFormatEx(nullptr, nullptr, nullptr, nullptr, nullptr), 0);
}

TEST(ViewPixelFormat, BitmapFormatsAreSetByDeviceKind) {
    PixelFormatDevice memory{PixelDeviceKind::Memory, osmesaPixelFormats(), 0};
    PIXELFORMATDESCRIPTOR chosen;
    EXPECT_EQ(InitBitmapPixelFormat(&memory, 32, &chosen), 1);
    EXPECT_EQ(memory.current, 1);
    EXPECT_EQ(chosen.dwFlags & 0x28u, 0x28u);
    EXPECT_EQ(chosen.cColorBits, 32);
    EXPECT_EQ(chosen.cDepthBits, 24);

    PixelFormatDevice window{PixelDeviceKind::Window, osmesaPixelFormats(), 0};
    EXPECT_EQ(InitBitmapPixelFormat(&window, 32, nullptr), 0);  // nothing draws to a window
    PixelFormatDevice other{PixelDeviceKind::Other, osmesaPixelFormats(), 0};
    EXPECT_EQ(InitBitmapPixelFormat(&other, 32, nullptr), 0);
    EXPECT_EQ(InitBitmapPixelFormat(nullptr, 32, nullptr), 0);

    // First fit: a bitmap format with 32 depth bits; a window keeps its first format.
    PixelFormatDevice deep{PixelDeviceKind::Memory,
                           {format(PFD_DRAW_TO_BITMAP | PFD_SUPPORT_OPENGL, 32, 24),
                            format(PFD_DRAW_TO_BITMAP | PFD_SUPPORT_OPENGL, 32, 32)},
                           0};
    PIXELFORMATDESCRIPTOR selected;
    SelectPixelFormat(&deep, selected);
    EXPECT_EQ(deep.current, 2);
    EXPECT_EQ(selected.cDepthBits, 32);
    PixelFormatDevice shown = card();
    EXPECT_TRUE(SetPixelFormat(&shown, 3, nullptr));
    EXPECT_FALSE(SetPixelFormat(&shown, 4, nullptr));
    EXPECT_FALSE(SetPixelFormat(&shown, 7, nullptr));
}

TEST(ViewPixelFormat, RgbPaletteOfThreeThreeTwoFormat) {
    struct Case {
        int index;
        UINT bits, shift;
        BYTE expected;
    };
    for (const Case& c : {Case{5, 3, 0, 182}, Case{0xC0, 2, 6, 255}, Case{0x40, 2, 6, 85}, Case{2, 1, 1, 255},
                          Case{7, 4, 0, 0}}) {
        EXPECT_EQ(ComponentFromIndex(c.index, c.bits, c.shift), c.expected) << c.index << " " << c.bits;
    }

    PIXELFORMATDESCRIPTOR f = format(PFD_NEED_PALETTE, 8, 16, PFD_TYPE_RGBA);
    f.cRedBits = 3;
    f.cGreenBits = 3;
    f.cGreenShift = 3;
    f.cBlueBits = 2;
    f.cBlueShift = 6;
    const std::vector<PALETTEENTRY> palette = CreateRGBPalette(f);
    ASSERT_EQ(palette.size(), 256u);
    EXPECT_EQ(palette[0], (PALETTEENTRY{0, 0, 0, 0}));
    EXPECT_EQ(palette[255], (PALETTEENTRY{255, 255, 255, 0}));
    EXPECT_EQ(palette[7], (PALETTEENTRY{255, 0, 0, 0}));
    EXPECT_EQ(palette[0x49], (PALETTEENTRY{36, 36, 85, 0}));  // red 1, green 1, blue 1
    EXPECT_EQ(palette[3], (PALETTEENTRY{128, 0, 0, 0}));     // system colours
    EXPECT_EQ(palette[173], (PALETTEENTRY{192, 192, 192, 0}));
    EXPECT_EQ(palette[247], (PALETTEENTRY{255, 251, 240, 0}));

    f.cBlueBits = 1;  // not 3-3-2: no system colours
    EXPECT_EQ(CreateRGBPalette(f)[3], (PALETTEENTRY{109, 0, 0, 0}));
    f.dwFlags = 0;
    EXPECT_TRUE(CreateRGBPalette(f).empty());
}
