// The drawing types of the device-context layer: mapping modes, text
// alignment, device capabilities and raster operations as numbers, the
// bitmap file and header records (byte-exact, little-endian), text metrics,
// logical fonts, and the small drawing objects (fonts, pens, brushes,
// bitmaps, palettes) that a device context selects.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/CString.h"
#include "platform/core/Types.h"
#include "platform/gl/Palette.h"

// Mapping modes.
constexpr int MM_TEXT = 1;      // device pixels, y down
constexpr int MM_HIMETRIC = 3;  // 0.01 mm, y up
constexpr int MM_TWIPS = 6;     // 1/1440 inch, y up

// Text alignment flags.
constexpr UINT TA_NOUPDATECP = 0;
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_TOP = 0;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;
constexpr UINT TA_HORZ_MASK = TA_CENTER;
constexpr UINT TA_VERT_MASK = TA_BASELINE;

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Pen styles.
constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_NULL = 5;

// Font weights.
constexpr int FW_DONTCARE = 0;
constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
constexpr int FW_HEAVY = 900;

// Character sets, precisions, qualities and families, as fonts record them.
constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE OUT_TT_ONLY_PRECIS = 7;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FF_SWISS = 0x20;

// GetDeviceCaps indices.
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int RASTERCAPS = 38;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int PHYSICALWIDTH = 110;
constexpr int PHYSICALHEIGHT = 111;
constexpr int PHYSICALOFFSETX = 112;
constexpr int PHYSICALOFFSETY = 113;

// RASTERCAPS bits.
constexpr int RC_BITBLT = 0x0001;
constexpr int RC_STRETCHBLT = 0x0800;
constexpr int RC_STRETCHDIB = 0x2000;

// Raster operation: copy the source.
constexpr DWORD SRCCOPY = 0x00CC0020u;

// Colour-table usage of a bitmap.
constexpr UINT DIB_RGB_COLORS = 0;
constexpr UINT DIB_PAL_COLORS = 1;

// Compression of a bitmap: none.
constexpr DWORD BI_RGB = 0;

#pragma pack(push, 1)
// The 14-byte header of a BMP file.
struct BITMAPFILEHEADER {
    WORD bfType = 0;  // 0x4D42, "BM"
    DWORD bfSize = 0;
    WORD bfReserved1 = 0;
    WORD bfReserved2 = 0;
    DWORD bfOffBits = 0;
};

// The 12-byte header of an OS/2 (core) bitmap.
struct BITMAPCOREHEADER {
    DWORD bcSize = 12;
    WORD bcWidth = 0;
    WORD bcHeight = 0;
    WORD bcPlanes = 0;
    WORD bcBitCount = 0;
};

// The 40-byte bitmap header.
struct BITMAPINFOHEADER {
    DWORD biSize = 0;
    LONG biWidth = 0;
    LONG biHeight = 0;  // positive: bottom row first
    WORD biPlanes = 0;
    WORD biBitCount = 0;
    DWORD biCompression = 0;
    DWORD biSizeImage = 0;
    LONG biXPelsPerMeter = 0;
    LONG biYPelsPerMeter = 0;
    DWORD biClrUsed = 0;
    DWORD biClrImportant = 0;
};

// One colour-table entry of a bitmap.
struct RGBQUAD {
    BYTE rgbBlue = 0;
    BYTE rgbGreen = 0;
    BYTE rgbRed = 0;
    BYTE rgbReserved = 0;
};

// One three-byte colour-table entry of a core bitmap.
struct RGBTRIPLE {
    BYTE rgbtBlue = 0;
    BYTE rgbtGreen = 0;
    BYTE rgbtRed = 0;
};
#pragma pack(pop)

// A bitmap header followed by its colour table (the table may run on past
// the one entry declared here).
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

static_assert(sizeof(BITMAPFILEHEADER) == 14);
static_assert(sizeof(BITMAPCOREHEADER) == 12);
static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(sizeof(RGBQUAD) == 4);
static_assert(sizeof(RGBTRIPLE) == 3);

// Bytes per row of a bitmap: rows are padded to a multiple of 4 bytes.
inline std::size_t dibRowBytes(int width, int bitsPerPixel)
{
    if (width <= 0 || bitsPerPixel <= 0) return 0;
    return ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel) + 31) / 32) * 4;
}

// The measures of a font on a device, in logical units.
struct TEXTMETRIC {
    LONG tmHeight = 0;  // ascent + descent
    LONG tmAscent = 0;
    LONG tmDescent = 0;
    LONG tmInternalLeading = 0;  // tmHeight less the character height
    LONG tmExternalLeading = 0;  // extra space between lines the font asks for
    LONG tmAveCharWidth = 0;
    LONG tmMaxCharWidth = 0;
    LONG tmWeight = 0;
    BYTE tmItalic = 0;
};

// A font as asked for: a negative height is the character height, a
// positive one the cell height (character height plus internal leading),
// both in logical units; escapement in tenths of a degree counter-clockwise.
struct LOGFONT {
    LONG lfHeight = 0;
    LONG lfWidth = 0;
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = 0;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 0;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    CString lfFaceName;
};

// A drawing object a device context can select; empty until created.
class CGdiObject {
public:
    virtual ~CGdiObject() = default;
    // True once created and not deleted.
    bool IsCreated() const { return m_created; }
    // Deletes the object (it becomes empty); TRUE when it was created.
    BOOL DeleteObject()
    {
        const bool was = m_created;
        m_created = false;
        return was ? TRUE : FALSE;
    }

protected:
    bool m_created = false;
};

class CFont : public CGdiObject {
public:
    // Creates the font from its description.
    BOOL CreateFontIndirect(const LOGFONT* font);
    // Creates the font from its fields (the framework's argument order).
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                    BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                    BYTE quality, BYTE pitchAndFamily, const wchar_t* face);
    // The description the font was created from.
    const LOGFONT& logFont() const { return m_logFont; }
    BOOL GetLogFont(LOGFONT* out) const
    {
        if (out == nullptr || !m_created) return FALSE;
        *out = m_logFont;
        return TRUE;
    }

private:
    LOGFONT m_logFont;
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    // A created pen of that style, width (logical units; 0: one pixel) and colour.
    CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }
    BOOL CreatePen(int style, int width, COLORREF colour)
    {
        m_style = style;
        m_width = width;
        m_colour = colour;
        m_created = true;
        return TRUE;
    }
    int style() const { return m_style; }
    int width() const { return m_width; }
    COLORREF colour() const { return m_colour; }

private:
    int m_style = PS_SOLID;
    int m_width = 0;
    COLORREF m_colour = 0;
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    // A created solid brush of that colour.
    explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
    BOOL CreateSolidBrush(COLORREF colour)
    {
        m_colour = colour;
        m_created = true;
        return TRUE;
    }
    COLORREF colour() const { return m_colour; }

private:
    COLORREF m_colour = 0;
};

// A bitmap in memory: a DIB section (rows of its own bit count, bottom row
// first, rows padded to 4 bytes, with a colour table for up to 8 bits).
class CBitmap : public CGdiObject {
public:
    // A width x height bitmap of 1, 4, 8, 16, 24 or 32 bits, zero-filled,
    // with an all-black colour table; FALSE (nothing created) for any other
    // size or bit count or a size beyond the memory it may take.
    BOOL CreateDIBSection(int width, int height, int bitsPerPixel);
    // A bitmap holding a copy of a device-independent bitmap (its header,
    // colour table and rows); FALSE for a header it cannot hold.
    BOOL CreateFromDIB(const BITMAPINFO* info, const void* bits, UINT usage);

    int width() const { return m_width; }
    int height() const { return m_height; }
    int bitsPerPixel() const { return m_bits; }
    std::size_t rowBytes() const { return dibRowBytes(m_width, m_bits); }
    BYTE* bits() { return m_pixels.empty() ? nullptr : m_pixels.data(); }
    const BYTE* bits() const { return m_pixels.empty() ? nullptr : m_pixels.data(); }
    std::vector<RGBQUAD>& colorTable() { return m_colours; }
    const std::vector<RGBQUAD>& colorTable() const { return m_colours; }
    // The colour of pixel (x, y), y counted from the top row, as 0x00BBGGRR;
    // 0 outside the bitmap.
    COLORREF GetPixel(int x, int y) const;
    // Sets pixel (x, y) (y from the top) to the colour, the nearest table
    // entry for a bitmap with a colour table; nothing outside.
    void SetPixel(int x, int y, COLORREF colour);

private:
    int m_width = 0;
    int m_height = 0;
    int m_bits = 0;
    std::vector<BYTE> m_pixels;
    std::vector<RGBQUAD> m_colours;
};

// A logical palette: a table of colours.
class CPalette : public CGdiObject {
public:
    // A palette of the entries.
    BOOL CreatePalette(const std::vector<PALETTEENTRY>& entries)
    {
        m_entries = entries;
        m_created = true;
        return TRUE;
    }
    // Number of entries.
    int GetEntryCount() const { return static_cast<int>(m_entries.size()); }
    // Copies up to count entries from start; returns how many were copied.
    UINT GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* out) const;
    const std::vector<PALETTEENTRY>& entries() const { return m_entries; }

private:
    std::vector<PALETTEENTRY> m_entries;
};
