// Drawing into a memory bitmap.
#include "platform/gdi/CMemoryDC.h"

#include <algorithm>
#include <cstdlib>

#include "platform/gl/GlyphFont.h"

namespace {

constexpr int kScreenDpi = 96;

}  // namespace

int CMemoryDC::GetDeviceCaps(int index) const
{
    const CBitmap* b = GetCurrentBitmap();
    switch (index) {
    case HORZRES:
    case PHYSICALWIDTH: return b != nullptr ? b->width() : 0;
    case VERTRES:
    case PHYSICALHEIGHT: return b != nullptr ? b->height() : 0;
    case LOGPIXELSX:
    case LOGPIXELSY: return kScreenDpi;
    case BITSPIXEL: return b != nullptr ? b->bitsPerPixel() : 32;
    case RASTERCAPS: return RC_BITBLT | RC_STRETCHBLT | RC_STRETCHDIB;
    default: return 0;
    }
}

void CMemoryDC::plot(int x, int y, COLORREF colour)
{
    if (CBitmap* b = GetCurrentBitmap()) b->SetPixel(x, y, colour);
}

void CMemoryDC::fillDevice(CRect device, COLORREF colour)
{
    device.NormalizeRect();
    CBitmap* b = GetCurrentBitmap();
    if (b == nullptr) return;
    const LONG x0 = std::max<LONG>(device.left, 0), x1 = std::min<LONG>(device.right, b->width());
    const LONG y0 = std::max<LONG>(device.top, 0), y1 = std::min<LONG>(device.bottom, b->height());
    for (LONG y = y0; y < y1; ++y)
        for (LONG x = x0; x < x1; ++x) b->SetPixel(x, y, colour);
}

void CMemoryDC::fillRect(const CRect& rect, COLORREF colour)
{
    CRect device = rect;
    LPtoDP(&device);
    fillDevice(device, colour);
}

void CMemoryDC::drawLine(CPoint from, CPoint to)
{
    const CPen* pen = GetCurrentPen();
    if (pen != nullptr && pen->style() == PS_NULL) return;
    const COLORREF colour = pen != nullptr ? pen->colour() : RGB(0, 0, 0);
    CPoint p[2] = {from, to};
    LPtoDP(p, 2);
    // Bresenham's line; the end point is not drawn, as a GDI line leaves it.
    LONG x = p[0].x, y = p[0].y;
    const LONG dx = std::labs(p[1].x - x), dy = -std::labs(p[1].y - y);
    const LONG sx = x < p[1].x ? 1 : -1, sy = y < p[1].y ? 1 : -1;
    LONG err = dx + dy;
    while (x != p[1].x || y != p[1].y) {
        plot(x, y, colour);
        const LONG e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

BOOL CMemoryDC::Rectangle(int left, int top, int right, int bottom)
{
    CRect device(left, top, right, bottom);
    LPtoDP(&device);
    device.NormalizeRect();
    if (const CBrush* brush = GetCurrentBrush()) fillDevice(device, brush->colour());
    else fillDevice(device, RGB(255, 255, 255));
    const CPen* pen = GetCurrentPen();
    if (pen != nullptr && pen->style() == PS_NULL) return TRUE;
    const COLORREF colour = pen != nullptr ? pen->colour() : RGB(0, 0, 0);
    for (LONG x = device.left; x < device.right; ++x) {
        plot(x, device.top, colour);
        plot(x, device.bottom - 1, colour);
    }
    for (LONG y = device.top; y < device.bottom; ++y) {
        plot(device.left, y, colour);
        plot(device.right - 1, y, colour);
    }
    return TRUE;
}

std::shared_ptr<const GlyphFont> CMemoryDC::glyphs() const
{
    const CFont* font = GetCurrentFont();
    if (font == nullptr || !font->IsCreated()) return GlyphFont::systemFont();
    LOGFONT f = font->logFont();
    CSize size(0, f.lfHeight);
    LPtoDP(&size);
    f.lfHeight = f.lfHeight < 0 ? -size.cy : size.cy;
    return GlyphFont::open(f);
}

CSize CMemoryDC::GetTextExtent(const CString& text) const
{
    const auto font = glyphs();
    if (!font) return CSize();
    CSize size = font->extent(std::string(CStringA(text)));
    DPtoLP(&size);
    return size;
}

BOOL CMemoryDC::GetTextMetrics(TEXTMETRIC* out) const
{
    const auto font = glyphs();
    if (out == nullptr || !font) return FALSE;
    *out = font->metrics();
    // Measures in logical units.
    CSize a(0, out->tmAscent), d(0, out->tmDescent), h(0, out->tmHeight), i(0, out->tmInternalLeading),
        e(0, out->tmExternalLeading), w(out->tmAveCharWidth, out->tmMaxCharWidth);
    for (CSize* s : {&a, &d, &h, &i, &e, &w}) DPtoLP(s);
    out->tmAscent = a.cy;
    out->tmDescent = d.cy;
    out->tmHeight = h.cy;
    out->tmInternalLeading = i.cy;
    out->tmExternalLeading = e.cy;
    out->tmAveCharWidth = w.cx;
    out->tmMaxCharWidth = w.cy;
    return TRUE;
}

BOOL CMemoryDC::TextOut(int x, int y, const CString& text)
{
    const auto font = glyphs();
    if (!font) return FALSE;
    const std::string bytes = std::string(CStringA(text));
    CPoint origin(x, y);
    LPtoDP(&origin);
    const TEXTMETRIC& tm = font->metrics();
    const LONG width = font->extent(bytes).cx;
    const UINT align = GetTextAlign();
    if ((align & TA_HORZ_MASK) == TA_RIGHT) origin.x -= width;
    else if ((align & TA_HORZ_MASK) == TA_CENTER) origin.x -= width / 2;
    // The baseline in device rows (y down).
    if ((align & TA_VERT_MASK) == TA_TOP) origin.y += tm.tmAscent;
    else if ((align & TA_VERT_MASK) == TA_BOTTOM) origin.y -= tm.tmDescent;
    if (GetBkMode() == OPAQUE)
        fillDevice(CRect(origin.x, origin.y - tm.tmAscent, origin.x + width, origin.y + tm.tmDescent), GetBkColor());
    LONG pen = origin.x;
    for (const char c : bytes) {
        const GlyphFont::Glyph& g = font->glyph(static_cast<unsigned char>(c));
        const LONG left = pen - g.xOrigin;
        // Device row of the glyph's bottom row: the row above the baseline
        // for a glyph that stands on it.
        const LONG bottom = origin.y - 1 + g.yOrigin;
        for (int gy = 0; gy < g.height; ++gy)
            for (int gx = 0; gx < g.width; ++gx)
                if (g.bit(gx, gy)) plot(left + gx, bottom - gy, GetTextColor());
        pen += g.advance;
    }
    return TRUE;
}

int CMemoryDC::StretchDIBits(int x, int y, int width, int height, int srcX, int srcY, int srcWidth, int srcHeight,
                             const void* bits, const BITMAPINFO* info, UINT usage, DWORD /*rop*/)
{
    CBitmap* target = GetCurrentBitmap();
    if (target == nullptr || width == 0 || height == 0 || srcWidth <= 0 || srcHeight <= 0) return 0;
    CBitmap source;
    if (!source.CreateFromDIB(info, bits, usage)) return 0;
    CRect device(x, y, x + width, y + height);
    LPtoDP(&device);
    const LONG w = device.Width(), h = device.Height();
    if (w == 0 || h == 0) return 0;
    // The source rectangle's top row, counted from the top of the source.
    const int srcTop = source.height() - srcY - srcHeight;
    for (LONG dy = 0; dy < std::labs(h); ++dy) {
        const int sy = srcTop + static_cast<int>((dy * srcHeight) / std::labs(h));
        for (LONG dx = 0; dx < std::labs(w); ++dx) {
            const int sx = srcX + static_cast<int>((dx * srcWidth) / std::labs(w));
            // A negative destination extent mirrors the picture.
            const LONG tx = w > 0 ? device.left + dx : device.left - 1 - dx;
            const LONG ty = h > 0 ? device.top + dy : device.top - 1 - dy;
            target->SetPixel(tx, ty, source.GetPixel(sx, sy));
        }
    }
    return srcHeight;
}
