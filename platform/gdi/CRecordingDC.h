// A device context that draws nothing and records every drawing call in
// logical units, with fonts of fixed, simple measures, so that tests can
// check where report output lands.
//
// The measures of a font whose height is h logical units (either sign; 0
// counts as 12): tmHeight h, tmAscent h - h/5, tmDescent h/5, no internal
// leading, tmExternalLeading h/10; every character is h/2 wide, so a text
// of n characters is n*h/2 by h. Without a selected font h is 12.
#pragma once

#include <map>
#include <vector>

#include "platform/gdi/CDC.h"

// One recorded drawing call.
struct DCCall {
    enum Kind { Text, Line, Rect, Fill, StretchDib };
    Kind kind = Text;
    CRect rect;          // Text: (x, y) in left/top; Line: from/to; Rect, Fill, StretchDib: the rectangle
    CString text;        // Text
    UINT align = 0;      // Text: alignment flags when written
    LOGFONT font;        // Text: the selected font
    COLORREF colour = 0; // Text: text colour; Line: pen colour; Fill: fill colour; Rect: brush colour
    int mapMode = 0;     // the mapping mode when drawn
    CRect source;        // StretchDib: the source rectangle (y from the bottom row)
};

class CRecordingDC : public CDC {
public:
    // Capabilities of a 600-dpi letter page: HORZRES 4800, VERTRES 6300,
    // PHYSICALWIDTH 5100, PHYSICALHEIGHT 6600, PHYSICALOFFSETX/Y 150,
    // LOGPIXELSX/Y 600, RASTERCAPS RC_BITBLT | RC_STRETCHBLT | RC_STRETCHDIB.
    CRecordingDC();

    BOOL Rectangle(int left, int top, int right, int bottom) override;
    BOOL TextOut(int x, int y, const CString& text) override;
    CSize GetTextExtent(const CString& text) const override;
    BOOL GetTextMetrics(TEXTMETRIC* out) const override;
    int GetDeviceCaps(int index) const override;
    int StretchDIBits(int x, int y, int width, int height, int srcX, int srcY, int srcWidth, int srcHeight,
                      const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) override;
    BOOL StretchBlt(int x, int y, int width, int height, CDC* source, int srcX, int srcY, int srcWidth,
                    int srcHeight, DWORD rop) override;
    bool isPreviewDC() const override { return m_attribute != nullptr; }
    CDC* attributeDC() const override { return m_attribute != nullptr ? m_attribute : const_cast<CRecordingDC*>(this); }

    // Sets a capability.
    void setDeviceCaps(int index, int value) { m_caps[index] = value; }
    // Makes this a print-preview DC whose device questions go to the
    // printer DC (null: an ordinary DC again).
    void setAttributeDC(CDC* printer) { m_attribute = printer; }
    // The fixed measures of a font of that height.
    static TEXTMETRIC metricsFor(LONG height);

    // Everything drawn, in order.
    std::vector<DCCall> calls;
    // The recorded texts, lines, fills and rectangles alone.
    std::vector<DCCall> ofKind(DCCall::Kind kind) const;
    // The first recorded text equal to s, or null.
    const DCCall* findText(const CString& s) const;
    // The horizontal extent [left, right) of a recorded text after its
    // alignment, in the recorded font.
    static std::pair<LONG, LONG> textSpan(const DCCall& text);
    // Number of StretchBlt calls (the copy through a memory DC).
    int stretchBlts = 0;

protected:
    void drawLine(CPoint from, CPoint to) override;
    void fillRect(const CRect& rect, COLORREF colour) override;

private:
    LONG fontHeight() const;
    DCCall base(DCCall::Kind kind) const;

    std::map<int, int> m_caps;
    CDC* m_attribute = nullptr;
};
