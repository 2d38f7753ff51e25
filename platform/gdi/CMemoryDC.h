// A memory device context: draws into the bitmap selected in it (a DIB
// section, CBitmap), with no display. Coordinates are pixels of that bitmap
// with y down in MM_TEXT; the other mapping modes scale by 96 pixels per
// inch. Text is drawn with the FreeType glyphs of the selected font (its
// height taken in pixels after the mapping), left to right, unrotated.
#pragma once

#include <memory>

#include "platform/gdi/CDC.h"

class GlyphFont;

class CMemoryDC : public CDC {
public:
    // A memory DC compatible with the screen (32 bits per pixel, 96 dpi),
    // with no bitmap selected: it draws nothing until one is.
    CMemoryDC() = default;

    BOOL Rectangle(int left, int top, int right, int bottom) override;
    BOOL TextOut(int x, int y, const CString& text) override;
    CSize GetTextExtent(const CString& text) const override;
    BOOL GetTextMetrics(TEXTMETRIC* out) const override;
    // HORZRES and VERTRES are the selected bitmap's size (0 without one).
    int GetDeviceCaps(int index) const override;
    int StretchDIBits(int x, int y, int width, int height, int srcX, int srcY, int srcWidth, int srcHeight,
                      const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) override;

protected:
    void drawLine(CPoint from, CPoint to) override;
    void fillRect(const CRect& rect, COLORREF colour) override;

private:
    // The selected font's glyphs at its pixel height (the system font
    // without one); null when no font file is found.
    std::shared_ptr<const GlyphFont> glyphs() const;
    void fillDevice(CRect device, COLORREF colour);
    void plot(int x, int y, COLORREF colour);
};
