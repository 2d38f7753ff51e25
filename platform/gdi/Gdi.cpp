// The drawing objects of the device-context layer.
#include "platform/gdi/Gdi.h"

#include <algorithm>
#include <limits>

BOOL CFont::CreateFontIndirect(const LOGFONT* font)
{
    if (font == nullptr) return FALSE;
    m_logFont = *font;
    m_created = true;
    return TRUE;
}

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                       BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                       BYTE quality, BYTE pitchAndFamily, const wchar_t* face)
{
    LOGFONT f;
    f.lfHeight = height;
    f.lfWidth = width;
    f.lfEscapement = escapement;
    f.lfOrientation = orientation;
    f.lfWeight = weight;
    f.lfItalic = italic;
    f.lfUnderline = underline;
    f.lfStrikeOut = strikeOut;
    f.lfCharSet = charSet;
    f.lfOutPrecision = outPrecision;
    f.lfClipPrecision = clipPrecision;
    f.lfQuality = quality;
    f.lfPitchAndFamily = pitchAndFamily;
    f.lfFaceName = face != nullptr ? CString(face) : CString();
    return CreateFontIndirect(&f);
}

namespace {

bool knownBitCount(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

// A bitmap never takes more than this (a 16384 x 16384 picture of 32 bits).
constexpr std::size_t kMaxBitmapBytes = std::size_t{1} << 30;

}  // namespace

BOOL CBitmap::CreateDIBSection(int width, int height, int bitsPerPixel)
{
    if (width <= 0 || height <= 0 || !knownBitCount(bitsPerPixel)) return FALSE;
    const std::size_t row = dibRowBytes(width, bitsPerPixel);
    if (row > kMaxBitmapBytes / static_cast<std::size_t>(height)) return FALSE;
    m_pixels.assign(row * static_cast<std::size_t>(height), 0);
    m_colours.assign(bitsPerPixel <= 8 ? (std::size_t{1} << bitsPerPixel) : 0, RGBQUAD{});
    m_width = width;
    m_height = height;
    m_bits = bitsPerPixel;
    m_created = true;
    return TRUE;
}

BOOL CBitmap::CreateFromDIB(const BITMAPINFO* info, const void* bits, UINT usage)
{
    if (info == nullptr || bits == nullptr || info->bmiHeader.biCompression != BI_RGB) return FALSE;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (!CreateDIBSection(h.biWidth, height, h.biBitCount)) return FALSE;
    if (usage == DIB_RGB_COLORS && !m_colours.empty()) {
        const std::size_t n = h.biClrUsed != 0 ? std::min<std::size_t>(h.biClrUsed, m_colours.size()) : m_colours.size();
        std::copy(info->bmiColors, info->bmiColors + n, m_colours.begin());
    }
    const auto* src = static_cast<const BYTE*>(bits);
    const std::size_t row = rowBytes();
    for (int r = 0; r < height; ++r) {
        // A top-down source (negative height) is stored bottom-up here.
        const int from = h.biHeight < 0 ? height - 1 - r : r;
        std::copy(src + static_cast<std::size_t>(from) * row, src + static_cast<std::size_t>(from + 1) * row,
                  m_pixels.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(r) * row));
    }
    return TRUE;
}

COLORREF CBitmap::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0;
    const BYTE* row = m_pixels.data() + static_cast<std::size_t>(m_height - 1 - y) * rowBytes();
    switch (m_bits) {
    case 24:
    case 32: {
        const BYTE* p = row + static_cast<std::size_t>(x) * static_cast<std::size_t>(m_bits / 8);
        return RGB(p[2], p[1], p[0]);
    }
    case 16: {
        const WORD v = static_cast<WORD>(row[2 * x] | (row[2 * x + 1] << 8));
        return RGB(static_cast<BYTE>(((v >> 10) & 31) * 255 / 31), static_cast<BYTE>(((v >> 5) & 31) * 255 / 31),
                   static_cast<BYTE>((v & 31) * 255 / 31));
    }
    default: {
        const int perByte = 8 / m_bits;
        const int shift = (perByte - 1 - x % perByte) * m_bits;
        const int index = (row[x / perByte] >> shift) & ((1 << m_bits) - 1);
        const RGBQUAD& c = m_colours[static_cast<std::size_t>(index)];
        return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
    }
    }
}

void CBitmap::SetPixel(int x, int y, COLORREF colour)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
    BYTE* row = m_pixels.data() + static_cast<std::size_t>(m_height - 1 - y) * rowBytes();
    switch (m_bits) {
    case 24:
    case 32: {
        BYTE* p = row + static_cast<std::size_t>(x) * static_cast<std::size_t>(m_bits / 8);
        p[0] = GetBValue(colour);
        p[1] = GetGValue(colour);
        p[2] = GetRValue(colour);
        return;
    }
    case 16: {
        const WORD v = static_cast<WORD>(((GetRValue(colour) >> 3) << 10) | ((GetGValue(colour) >> 3) << 5) |
                                         (GetBValue(colour) >> 3));
        row[2 * x] = static_cast<BYTE>(v & 0xFF);
        row[2 * x + 1] = static_cast<BYTE>(v >> 8);
        return;
    }
    default: {
        int best = 0;
        long bestDistance = std::numeric_limits<long>::max();
        for (std::size_t i = 0; i < m_colours.size(); ++i) {
            const RGBQUAD& c = m_colours[i];
            const long dr = c.rgbRed - GetRValue(colour), dg = c.rgbGreen - GetGValue(colour),
                       db = c.rgbBlue - GetBValue(colour);
            const long d = dr * dr + dg * dg + db * db;
            if (d < bestDistance) {
                bestDistance = d;
                best = static_cast<int>(i);
            }
        }
        const int perByte = 8 / m_bits;
        const int shift = (perByte - 1 - x % perByte) * m_bits;
        const int mask = ((1 << m_bits) - 1) << shift;
        BYTE& b = row[x / perByte];
        b = static_cast<BYTE>((b & ~mask) | (best << shift));
    }
    }
}

UINT CPalette::GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* out) const
{
    if (out == nullptr || start >= m_entries.size()) return 0;
    const UINT n = std::min<UINT>(count, static_cast<UINT>(m_entries.size()) - start);
    std::copy(m_entries.begin() + start, m_entries.begin() + start + n, out);
    return n;
}
