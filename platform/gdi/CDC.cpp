// The state, unit conversion and bitmap copies shared by every device context.
#include "platform/gdi/CDC.h"

#include <cmath>
#include <vector>

namespace {

// Logical units per inch of a mapping mode (0: device pixels).
int unitsPerInch(int mode)
{
    switch (mode) {
    case MM_TWIPS: return 1440;
    case MM_HIMETRIC: return 2540;
    default: return 0;
    }
}

LONG roundToLong(double v) { return static_cast<LONG>(std::lround(v)); }

}  // namespace

int CDC::SetMapMode(int mode)
{
    if (mode != MM_TEXT && mode != MM_TWIPS && mode != MM_HIMETRIC) return 0;
    const int previous = m_mapMode;
    m_mapMode = mode;
    return previous;
}

UINT CDC::SetTextAlign(UINT flags)
{
    const UINT previous = m_textAlign;
    m_textAlign = flags;
    return previous;
}

int CDC::SetBkMode(int mode)
{
    const int previous = m_bkMode;
    m_bkMode = mode;
    return previous;
}

COLORREF CDC::SetBkColor(COLORREF colour)
{
    const COLORREF previous = m_bkColour;
    m_bkColour = colour;
    return previous;
}

COLORREF CDC::SetTextColor(COLORREF colour)
{
    const COLORREF previous = m_textColour;
    m_textColour = colour;
    return previous;
}

namespace {

template <class T>
T* swapSelection(T*& slot, T* object)
{
    T* previous = slot;
    slot = object;
    return previous;
}

}  // namespace

CFont* CDC::SelectObject(CFont* font) { return swapSelection(m_font, font); }
CPen* CDC::SelectObject(CPen* pen) { return swapSelection(m_pen, pen); }
CBrush* CDC::SelectObject(CBrush* brush) { return swapSelection(m_brush, brush); }
CBitmap* CDC::SelectObject(CBitmap* bitmap) { return swapSelection(m_bitmap, bitmap); }
CPalette* CDC::SelectPalette(CPalette* palette, BOOL /*forceBackground*/) { return swapSelection(m_palette, palette); }

UINT CDC::RealizePalette() { return m_palette != nullptr ? static_cast<UINT>(m_palette->GetEntryCount()) : 0; }

double CDC::scaleX() const
{
    const int per = unitsPerInch(m_mapMode);
    if (per == 0) return 1.0;
    return static_cast<double>(attributeDC()->GetDeviceCaps(LOGPIXELSX)) / per;
}

double CDC::scaleY() const
{
    const int per = unitsPerInch(m_mapMode);
    if (per == 0) return 1.0;
    return -static_cast<double>(attributeDC()->GetDeviceCaps(LOGPIXELSY)) / per;
}

void CDC::LPtoDP(CPoint* points, int count) const
{
    const double sx = scaleX(), sy = scaleY();
    for (int i = 0; points != nullptr && i < count; ++i) {
        points[i].x = roundToLong(points[i].x * sx);
        points[i].y = roundToLong(points[i].y * sy);
    }
}

void CDC::DPtoLP(CPoint* points, int count) const
{
    const double sx = scaleX(), sy = scaleY();
    for (int i = 0; points != nullptr && i < count; ++i) {
        points[i].x = sx != 0 ? roundToLong(points[i].x / sx) : 0;
        points[i].y = sy != 0 ? roundToLong(points[i].y / sy) : 0;
    }
}

void CDC::LPtoDP(CRect* rect) const
{
    if (rect == nullptr) return;
    CPoint corners[2] = {rect->TopLeft(), rect->BottomRight()};
    LPtoDP(corners, 2);
    *rect = CRect(corners[0], corners[1]);
}

void CDC::DPtoLP(CRect* rect) const
{
    if (rect == nullptr) return;
    CPoint corners[2] = {rect->TopLeft(), rect->BottomRight()};
    DPtoLP(corners, 2);
    *rect = CRect(corners[0], corners[1]);
}

void CDC::LPtoDP(CSize* size) const
{
    if (size == nullptr) return;
    size->cx = roundToLong(std::fabs(size->cx * scaleX()));
    size->cy = roundToLong(std::fabs(size->cy * scaleY()));
}

void CDC::DPtoLP(CSize* size) const
{
    if (size == nullptr) return;
    const double sx = std::fabs(scaleX()), sy = std::fabs(scaleY());
    size->cx = sx != 0 ? roundToLong(std::abs(size->cx) / sx) : 0;
    size->cy = sy != 0 ? roundToLong(std::abs(size->cy) / sy) : 0;
}

CPoint CDC::MoveTo(int x, int y)
{
    const CPoint previous = m_position;
    m_position = CPoint(x, y);
    return previous;
}

BOOL CDC::LineTo(int x, int y)
{
    const CPoint to(x, y);
    drawLine(m_position, to);
    m_position = to;
    return TRUE;
}

void CDC::FillSolidRect(const CRect& rect, COLORREF colour)
{
    SetBkColor(colour);
    fillRect(rect, colour);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF colour)
{
    FillSolidRect(CRect(x, y, x + cx, y + cy), colour);
}

void CDC::FillRect(const CRect& rect, const CBrush* brush)
{
    if (brush != nullptr && brush->IsCreated()) fillRect(rect, brush->colour());
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int srcX, int srcY, DWORD rop)
{
    return StretchBlt(x, y, width, height, source, srcX, srcY, width, height, rop);
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* source, int srcX, int srcY, int srcWidth,
                     int srcHeight, DWORD rop)
{
    if (source == nullptr) return FALSE;
    const CBitmap* bitmap = source->GetCurrentBitmap();
    if (bitmap == nullptr || bitmap->bits() == nullptr) return FALSE;
    const DibHeader dib = dibHeaderOf(*bitmap);
    // The source rectangle's top row counted from the bitmap's bottom row.
    const int fromBottom = bitmap->height() - srcY - srcHeight;
    return StretchDIBits(x, y, width, height, srcX, fromBottom, srcWidth, srcHeight, bitmap->bits(), dib.info(),
                         DIB_RGB_COLORS, rop) != 0
               ? TRUE
               : FALSE;
}

UINT CDC::SetDIBColorTable(UINT start, UINT count, const RGBQUAD* colours)
{
    if (m_bitmap == nullptr || colours == nullptr) return 0;
    std::vector<RGBQUAD>& table = m_bitmap->colorTable();
    UINT n = 0;
    for (; n < count && start + n < table.size(); ++n) table[start + n] = colours[n];
    return n;
}

DibHeader dibHeader(int width, int height, int bitsPerPixel)
{
    DibHeader dib{};
    dib.header.biSize = sizeof(BITMAPINFOHEADER);
    dib.header.biWidth = width;
    dib.header.biHeight = height;
    dib.header.biPlanes = 1;
    dib.header.biBitCount = static_cast<WORD>(bitsPerPixel);
    dib.header.biCompression = BI_RGB;
    dib.header.biSizeImage =
        static_cast<DWORD>(dibRowBytes(width, bitsPerPixel) * static_cast<std::size_t>(height > 0 ? height : -height));
    return dib;
}

DibHeader dibHeaderOf(const CBitmap& bitmap)
{
    DibHeader dib = dibHeader(bitmap.width(), bitmap.height(), bitmap.bitsPerPixel());
    const std::vector<RGBQUAD>& table = bitmap.colorTable();
    dib.header.biClrUsed = static_cast<DWORD>(table.size());
    for (std::size_t i = 0; i < table.size() && i < 256; ++i) dib.colours[i] = table[i];
    return dib;
}
