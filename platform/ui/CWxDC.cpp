// The device-context layer on wxWidgets DCs.
#include "platform/ui/CWxDC.h"

#include <wx/bitmap.h>
#include <wx/image.h>

#include <cmath>
#include <cstdlib>

namespace {

wxColour colourOf(COLORREF c) { return wxColour(GetRValue(c), GetGValue(c), GetBValue(c)); }

wxString wxText(const CString& s) { return wxString(s.GetString()); }

}  // namespace

CWxDC::CWxDC(wxDC& dc, const Device& device) : m_dc(dc), m_device(device) {}

CWxDC::CWxDC(wxDC& dc) : m_dc(dc) {
    const wxSize ppi = dc.GetPPI();
    if (ppi.x > 0) m_device.ppiX = ppi.x;
    if (ppi.y > 0) m_device.ppiY = ppi.y;
    m_device.page = dc.GetSize();
    m_device.paper = wxRect(wxPoint(0, 0), m_device.page);
}

int CWxDC::GetDeviceCaps(int index) const {
    switch (index) {
    case HORZRES: return m_device.page.x;
    case VERTRES: return m_device.page.y;
    case PHYSICALWIDTH: return m_device.paper.width;
    case PHYSICALHEIGHT: return m_device.paper.height;
    case PHYSICALOFFSETX: return -m_device.paper.x;
    case PHYSICALOFFSETY: return -m_device.paper.y;
    case LOGPIXELSX: return m_device.ppiX;
    case LOGPIXELSY: return m_device.ppiY;
    case BITSPIXEL: return 24;
    case RASTERCAPS: return RC_BITBLT | RC_STRETCHBLT | RC_STRETCHDIB;
    default: return 0;
    }
}

wxPoint CWxDC::device(int x, int y) const {
    CPoint p(x, y);
    LPtoDP(&p);
    return wxPoint(p.x, p.y);
}

wxFont CWxDC::wxFontFor(const LOGFONT& f) const {
    CSize size(0, f.lfHeight);
    LPtoDP(&size);
    // A positive height is the cell; the character is about 7/8 of it.
    int pixels = f.lfHeight < 0 ? size.cy : size.cy * 7 / 8;
    if (pixels <= 0) pixels = 12;
    wxFontInfo info(wxSize(0, pixels));
    info.Family(wxFONTFAMILY_SWISS).Italic(f.lfItalic != 0).Underlined(f.lfUnderline != 0);
    if (!f.lfFaceName.IsEmpty()) info.FaceName(wxText(f.lfFaceName));
    wxFont font(info);
    if (f.lfWeight > 0) font.SetNumericWeight(std::min(1000, std::max(1, static_cast<int>(f.lfWeight))));
    return font;
}

void CWxDC::applyFont() const {
    const CFont* font = GetCurrentFont();
    m_dc.SetFont(font != nullptr && font->IsCreated() ? wxFontFor(font->logFont()) : *wxNORMAL_FONT);
    m_dc.SetTextForeground(colourOf(GetTextColor()));
    m_dc.SetTextBackground(colourOf(GetBkColor()));
    m_dc.SetBackgroundMode(GetBkMode() == OPAQUE ? wxBRUSHSTYLE_SOLID : wxBRUSHSTYLE_TRANSPARENT);
}

BOOL CWxDC::TextOut(int x, int y, const CString& text) {
    applyFont();
    const wxString s = wxText(text);
    wxCoord w = 0, h = 0, descent = 0;
    m_dc.GetTextExtent(s, &w, &h, &descent);
    wxPoint p = device(x, y);
    const UINT align = GetTextAlign();
    if ((align & TA_HORZ_MASK) == TA_RIGHT) p.x -= w;
    else if ((align & TA_HORZ_MASK) == TA_CENTER) p.x -= w / 2;
    if ((align & TA_VERT_MASK) == TA_BASELINE) p.y -= h - descent;
    else if ((align & TA_VERT_MASK) == TA_BOTTOM) p.y -= h;
    const CFont* font = GetCurrentFont();
    const LONG escapement = font != nullptr ? font->logFont().lfEscapement : 0;
    if (escapement != 0) m_dc.DrawRotatedText(s, p, escapement / 10.0);
    else m_dc.DrawText(s, p);
    return TRUE;
}

CSize CWxDC::GetTextExtent(const CString& text) const {
    applyFont();
    wxCoord w = 0, h = 0;
    m_dc.GetTextExtent(wxText(text), &w, &h);
    CSize size(w, h);
    DPtoLP(&size);
    return size;
}

BOOL CWxDC::GetTextMetrics(TEXTMETRIC* out) const {
    if (out == nullptr) return FALSE;
    applyFont();
    const wxFontMetrics m = m_dc.GetFontMetrics();
    const auto logical = [this](int v) {
        CSize s(0, v);
        DPtoLP(&s);
        return s.cy;
    };
    *out = TEXTMETRIC{};
    out->tmHeight = logical(m.height);
    out->tmAscent = logical(m.ascent);
    out->tmDescent = logical(m.descent);
    out->tmInternalLeading = logical(m.internalLeading);
    out->tmExternalLeading = logical(m.externalLeading);
    CSize w(m.averageWidth, 0);
    DPtoLP(&w);
    out->tmAveCharWidth = w.cx;
    out->tmMaxCharWidth = w.cx;
    const CFont* font = GetCurrentFont();
    out->tmWeight = font != nullptr ? font->logFont().lfWeight : FW_NORMAL;
    return TRUE;
}

void CWxDC::drawLine(CPoint from, CPoint to) {
    const CPen* pen = GetCurrentPen();
    if (pen != nullptr && pen->style() == PS_NULL) return;
    CSize width(pen != nullptr ? pen->width() : 0, 0);
    LPtoDP(&width);
    m_dc.SetPen(wxPen(colourOf(pen != nullptr ? pen->colour() : 0), std::max<int>(1, width.cx)));
    m_dc.DrawLine(device(from.x, from.y), device(to.x, to.y));
}

BOOL CWxDC::Rectangle(int left, int top, int right, int bottom) {
    const CPen* pen = GetCurrentPen();
    const CBrush* brush = GetCurrentBrush();
    if (pen != nullptr && pen->style() == PS_NULL) m_dc.SetPen(*wxTRANSPARENT_PEN);
    else m_dc.SetPen(wxPen(colourOf(pen != nullptr ? pen->colour() : 0), 1));
    m_dc.SetBrush(wxBrush(colourOf(brush != nullptr ? brush->colour() : RGB(255, 255, 255))));
    const wxPoint a = device(left, top), b = device(right, bottom);
    m_dc.DrawRectangle(wxRect(a, b));
    return TRUE;
}

void CWxDC::fillRect(const CRect& rect, COLORREF colour) {
    m_dc.SetPen(*wxTRANSPARENT_PEN);
    m_dc.SetBrush(wxBrush(colourOf(colour)));
    const wxPoint a = device(rect.left, rect.top), b = device(rect.right, rect.bottom);
    const int x = std::min(a.x, b.x), y = std::min(a.y, b.y);
    m_dc.DrawRectangle(x, y, std::abs(b.x - a.x), std::abs(b.y - a.y));
}

int CWxDC::StretchDIBits(int x, int y, int width, int height, int srcX, int srcY, int srcWidth, int srcHeight,
                         const void* bits, const BITMAPINFO* info, UINT usage, DWORD /*rop*/) {
    CBitmap source;
    if (srcWidth <= 0 || srcHeight <= 0 || !source.CreateFromDIB(info, bits, usage)) return 0;
    // The source rectangle, its top row counted from the top of the picture.
    const int top = source.height() - srcY - srcHeight;
    wxImage image(srcWidth, srcHeight);
    for (int r = 0; r < srcHeight; ++r)
        for (int c = 0; c < srcWidth; ++c) {
            const COLORREF p = source.GetPixel(srcX + c, top + r);
            image.SetRGB(c, r, GetRValue(p), GetGValue(p), GetBValue(p));
        }
    const wxPoint a = device(x, y), b = device(x + width, y + height);
    const int w = std::abs(b.x - a.x), h = std::abs(b.y - a.y);
    if (w == 0 || h == 0) return 0;
    image.Rescale(w, h, wxIMAGE_QUALITY_NEAREST);
    if (b.x < a.x) image = image.Mirror(true);
    if (b.y < a.y) image = image.Mirror(false);
    m_dc.DrawBitmap(wxBitmap(image), std::min(a.x, b.x), std::min(a.y, b.y));
    return srcHeight;
}
