// A device context: where the report pages, the embedded picture and the
// bitmaps draw. The base keeps what every device shares (mapping mode, text
// alignment, colours, the selected font, pen, brush, bitmap and palette, the
// current position) and converts between logical and device units; the back
// ends draw: a recording one for tests (CRecordingDC), memory bitmaps
// (CMemoryDC) and the program's printer, preview and window DCs.
//
// Logical units: MM_TEXT is device pixels with y down; MM_TWIPS (1440 per
// inch) and MM_HIMETRIC (2540 per inch) have y growing upwards from the
// device origin, so a page runs through negative y.
#pragma once

#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "platform/gdi/Gdi.h"

class CDC {
public:
    CDC() = default;
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // ---- state ----
    // Sets the mapping mode (MM_TEXT, MM_TWIPS, MM_HIMETRIC); returns the
    // previous one, 0 for a mode not known here (nothing changes then).
    int SetMapMode(int mode);
    int GetMapMode() const { return m_mapMode; }
    // Sets the text alignment flags; returns the previous ones.
    UINT SetTextAlign(UINT flags);
    UINT GetTextAlign() const { return m_textAlign; }
    // TRANSPARENT or OPAQUE text background; returns the previous mode.
    int SetBkMode(int mode);
    int GetBkMode() const { return m_bkMode; }
    // Background colour (opaque text, FillSolidRect); returns the previous one.
    COLORREF SetBkColor(COLORREF colour);
    COLORREF GetBkColor() const { return m_bkColour; }
    // Text colour; returns the previous one.
    COLORREF SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const { return m_textColour; }

    // Selects an object; returns the one selected before (null: the
    // device's default). Null selects the default again, so that a
    // previous selection can always be put back.
    CFont* SelectObject(CFont* font);
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CBitmap* SelectObject(CBitmap* bitmap);
    CPalette* SelectPalette(CPalette* palette, BOOL forceBackground);
    // Maps the selected palette; the number of entries mapped.
    UINT RealizePalette();
    CFont* GetCurrentFont() const { return m_font; }
    CPen* GetCurrentPen() const { return m_pen; }
    CBrush* GetCurrentBrush() const { return m_brush; }
    CBitmap* GetCurrentBitmap() const { return m_bitmap; }
    CPalette* GetCurrentPalette() const { return m_palette; }

    // The DC that answers questions about the device: a print preview's
    // printer, else this one.
    virtual CDC* attributeDC() const { return const_cast<CDC*>(this); }
    // True for a print-preview DC.
    virtual bool isPreviewDC() const { return false; }
    // True while the DC prints (or previews) a page.
    virtual bool IsPrinting() const { return false; }

    // ---- units ----
    // Logical units to device pixels and back, in place.
    void LPtoDP(CPoint* points, int count = 1) const;
    void DPtoLP(CPoint* points, int count = 1) const;
    void LPtoDP(CRect* rect) const;
    void DPtoLP(CRect* rect) const;
    // Extents (positive lengths) between the two.
    void LPtoDP(CSize* size) const;
    void DPtoLP(CSize* size) const;

    // ---- output ----
    // The current position.
    CPoint MoveTo(int x, int y);
    CPoint GetCurrentPosition() const { return m_position; }
    // A line with the selected pen from the current position to (x, y),
    // which becomes the current position.
    BOOL LineTo(int x, int y);
    // The outline with the selected pen, the inside with the selected brush.
    virtual BOOL Rectangle(int left, int top, int right, int bottom) = 0;
    // Fills the rectangle with the colour (the background colour becomes it).
    void FillSolidRect(const CRect& rect, COLORREF colour);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF colour);
    // Fills the rectangle with a brush's colour.
    void FillRect(const CRect& rect, const CBrush* brush);
    // Writes text at (x, y) with the selected font, the text colour and the
    // alignment flags.
    virtual BOOL TextOut(int x, int y, const CString& text) = 0;
    // The width and height of the text in the selected font.
    virtual CSize GetTextExtent(const CString& text) const = 0;
    // The measures of the selected font; FALSE when the DC has none.
    virtual BOOL GetTextMetrics(TEXTMETRIC* out) const = 0;
    // A device capability (HORZRES, LOGPIXELSY, RASTERCAPS, ...); 0 for an
    // index the device does not know.
    virtual int GetDeviceCaps(int index) const = 0;

    // Stretches the source rectangle of a device-independent bitmap (source
    // y counted from its bottom row) onto the destination rectangle; the
    // number of rows drawn, 0 on failure.
    virtual int StretchDIBits(int x, int y, int width, int height, int srcX, int srcY, int srcWidth, int srcHeight,
                              const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) = 0;
    // Copies a rectangle of the bitmap selected in the source DC (source y
    // counted from its top row).
    BOOL BitBlt(int x, int y, int width, int height, CDC* source, int srcX, int srcY, DWORD rop);
    // Stretches a rectangle of the bitmap selected in the source DC onto the
    // destination rectangle; FALSE when the source holds no bitmap.
    virtual BOOL StretchBlt(int x, int y, int width, int height, CDC* source, int srcX, int srcY, int srcWidth,
                            int srcHeight, DWORD rop);
    // Sets colour-table entries of the selected bitmap; the number set.
    UINT SetDIBColorTable(UINT start, UINT count, const RGBQUAD* colours);

protected:
    // Draws a line between two logical points with the selected pen.
    virtual void drawLine(CPoint from, CPoint to) = 0;
    // Fills a logical rectangle with a colour.
    virtual void fillRect(const CRect& rect, COLORREF colour) = 0;
    // Device pixels per logical unit along x and y (negative y: y up).
    double scaleX() const;
    double scaleY() const;

private:
    int m_mapMode = MM_TEXT;
    UINT m_textAlign = TA_LEFT | TA_TOP;
    int m_bkMode = OPAQUE;
    COLORREF m_bkColour = RGB(255, 255, 255);
    COLORREF m_textColour = RGB(0, 0, 0);
    CFont* m_font = nullptr;
    CPen* m_pen = nullptr;
    CBrush* m_brush = nullptr;
    CBitmap* m_bitmap = nullptr;
    CPalette* m_palette = nullptr;
    CPoint m_position;
};

// The header and colour table of a bitmap as a device-independent bitmap
// (BITMAPINFO with room for 256 entries).
struct DibHeader {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];

    const BITMAPINFO* info() const { return reinterpret_cast<const BITMAPINFO*>(this); }
};
static_assert(sizeof(DibHeader) == 1064);

// The header of an uncompressed bottom-up bitmap of that size and bit
// count (image size set, colour table empty).
DibHeader dibHeader(int width, int height, int bitsPerPixel);
// The header of a bitmap, bottom-up, with its colour table.
DibHeader dibHeaderOf(const CBitmap& bitmap);
