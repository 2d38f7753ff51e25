// The recording device context of the tests.
#include "platform/gdi/CRecordingDC.h"

#include <cstdlib>

CRecordingDC::CRecordingDC()
    : m_caps{{HORZRES, 4800},        {VERTRES, 6300},        {PHYSICALWIDTH, 5100}, {PHYSICALHEIGHT, 6600},
             {PHYSICALOFFSETX, 150}, {PHYSICALOFFSETY, 150}, {LOGPIXELSX, 600},     {LOGPIXELSY, 600},
             {BITSPIXEL, 24},        {RASTERCAPS, RC_BITBLT | RC_STRETCHBLT | RC_STRETCHDIB}}
{
}

TEXTMETRIC CRecordingDC::metricsFor(LONG height)
{
    LONG h = std::labs(height);
    if (h == 0) h = 12;
    TEXTMETRIC tm;
    tm.tmHeight = h;
    tm.tmDescent = h / 5;
    tm.tmAscent = h - tm.tmDescent;
    tm.tmInternalLeading = 0;
    tm.tmExternalLeading = h / 10;
    tm.tmAveCharWidth = h / 2;
    tm.tmMaxCharWidth = h / 2;
    return tm;
}

LONG CRecordingDC::fontHeight() const
{
    const CFont* font = GetCurrentFont();
    return font != nullptr ? font->logFont().lfHeight : 12;
}

DCCall CRecordingDC::base(DCCall::Kind kind) const
{
    DCCall call;
    call.kind = kind;
    call.mapMode = GetMapMode();
    return call;
}

BOOL CRecordingDC::Rectangle(int left, int top, int right, int bottom)
{
    DCCall call = base(DCCall::Rect);
    call.rect = CRect(left, top, right, bottom);
    call.colour = GetCurrentBrush() != nullptr ? GetCurrentBrush()->colour() : RGB(255, 255, 255);
    calls.push_back(call);
    return TRUE;
}

BOOL CRecordingDC::TextOut(int x, int y, const CString& text)
{
    DCCall call = base(DCCall::Text);
    call.rect = CRect(x, y, x, y);
    call.text = text;
    call.align = GetTextAlign();
    if (GetCurrentFont() != nullptr) call.font = GetCurrentFont()->logFont();
    else call.font.lfHeight = 12;
    call.colour = GetTextColor();
    calls.push_back(call);
    return TRUE;
}

CSize CRecordingDC::GetTextExtent(const CString& text) const
{
    const TEXTMETRIC tm = metricsFor(fontHeight());
    return CSize(text.GetLength() * tm.tmAveCharWidth, tm.tmHeight);
}

BOOL CRecordingDC::GetTextMetrics(TEXTMETRIC* out) const
{
    if (out == nullptr) return FALSE;
    *out = metricsFor(fontHeight());
    return TRUE;
}

int CRecordingDC::GetDeviceCaps(int index) const
{
    const auto it = m_caps.find(index);
    return it != m_caps.end() ? it->second : 0;
}

int CRecordingDC::StretchDIBits(int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                                int srcHeight, const void* bits, const BITMAPINFO* info, UINT /*usage*/,
                                DWORD /*rop*/)
{
    if (bits == nullptr || info == nullptr) return 0;
    DCCall call = base(DCCall::StretchDib);
    call.rect = CRect(x, y, x + width, y + height);
    call.source = CRect(srcX, srcY, srcX + srcWidth, srcY + srcHeight);
    calls.push_back(call);
    return srcHeight;
}

BOOL CRecordingDC::StretchBlt(int x, int y, int width, int height, CDC* source, int srcX, int srcY, int srcWidth,
                              int srcHeight, DWORD rop)
{
    ++stretchBlts;
    return CDC::StretchBlt(x, y, width, height, source, srcX, srcY, srcWidth, srcHeight, rop);
}

void CRecordingDC::drawLine(CPoint from, CPoint to)
{
    DCCall call = base(DCCall::Line);
    call.rect = CRect(from, to);
    call.colour = GetCurrentPen() != nullptr ? GetCurrentPen()->colour() : 0;
    calls.push_back(call);
}

void CRecordingDC::fillRect(const CRect& rect, COLORREF colour)
{
    DCCall call = base(DCCall::Fill);
    call.rect = rect;
    call.colour = colour;
    calls.push_back(call);
}

std::vector<DCCall> CRecordingDC::ofKind(DCCall::Kind kind) const
{
    std::vector<DCCall> out;
    for (const DCCall& c : calls)
        if (c.kind == kind) out.push_back(c);
    return out;
}

const DCCall* CRecordingDC::findText(const CString& s) const
{
    for (const DCCall& c : calls)
        if (c.kind == DCCall::Text && c.text == s) return &c;
    return nullptr;
}

std::pair<LONG, LONG> CRecordingDC::textSpan(const DCCall& text)
{
    const LONG width = text.text.GetLength() * metricsFor(text.font.lfHeight).tmAveCharWidth;
    const LONG x = text.rect.left;
    switch (text.align & TA_HORZ_MASK) {
    case TA_RIGHT: return {x - width, x};
    case TA_CENTER: return {x - width / 2, x - width / 2 + width};
    default: return {x, x + width};
    }
}
