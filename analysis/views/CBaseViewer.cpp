// The view base: fonts, the print cursor and the output at it.
#include "analysis/views/CBaseViewer.h"

#include <cmath>

#include "analysis/views/CViewHost.h"
#include "platform/gdi/CDC.h"

IMPLEMENT_DYNCREATE(CBaseViewer, CObject)

BITMAPINFO* CBaseViewer::pBitmapInfo = nullptr;
BYTE* CBaseViewer::pBitmapBits = nullptr;
bool CBaseViewer::bStretchBlt = false;
bool CBaseViewer::bStretchDIBits = false;

namespace {

// The right edge of every ruled line, and where lines of text start.
constexpr int kRightEdge = 10900;
constexpr int kLineLeft = 864;

}  // namespace

CBaseViewer::~CBaseViewer() { deleteFonts(); }

void CBaseViewer::OnDraw(CDC* /*dc*/) {}

void CBaseViewer::fullView() {}

void CBaseViewer::OnUpdate(CBaseViewer* /*sender*/, LONG_PTR /*hint*/, CObject* /*hintObject*/) {
    if (m_pHost != nullptr) m_pHost->invalidate(true);
}

BOOL CBaseViewer::OnPreparePrinting(CPrintInfo* info) {
    return m_pHost != nullptr ? m_pHost->preparePrinting(info) : FALSE;
}

void CBaseViewer::OnBeginPrinting(CDC* /*dc*/, CPrintInfo* /*info*/) {}

void CBaseViewer::OnPrepareDC(CDC* dc, CPrintInfo* /*info*/) { m_pDC = dc; }

void CBaseViewer::OnPrint(CDC* dc, CPrintInfo* /*info*/) { OnDraw(dc); }

void CBaseViewer::OnEndPrinting(CDC* /*dc*/, CPrintInfo* /*info*/) {}

void CBaseViewer::OnEndPrintPreview(CDC* /*dc*/, CPrintInfo* /*info*/) {}

void CBaseViewer::defineFonts(CDC* dc) {
    struct Face {
        CFont* font;
        int height;
        int weight;
        BYTE italic;
    };
    for (const Face& f : {Face{&m_smallFont, 160, 400, 0}, Face{&m_bodyFont, 200, 400, 0},
                          Face{&m_headingFont, 350, 900, 0}, Face{&m_displayFont, 1200, 900, 1}})
        f.font->CreateFont(-f.height, 0, 0, 0, f.weight, f.italic, 0, 0, 0, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, 16, L"Helvetica");
    // Text that runs downwards.
    m_rotatedFont.CreateFont(-700, 0, -900, -900, 700, 0, 0, 0, 0, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, 16, L"Arial");
    if (dc == nullptr) return;
    dc->SetMapMode(MM_TWIPS);
    CFont* previous = dc->SelectObject(&m_headingFont);
    dc->GetTextMetrics(&m_headingMetrics);
    dc->SelectObject(&m_bodyFont);
    dc->GetTextMetrics(&m_bodyMetrics);
    dc->SelectObject(&m_smallFont);
    dc->GetTextMetrics(&m_smallMetrics);
    dc->SelectObject(previous);
    m_headingLineHeight = m_headingMetrics.tmHeight + m_headingMetrics.tmExternalLeading;
    m_bodyLineHeight = m_bodyMetrics.tmHeight + m_bodyMetrics.tmExternalLeading;
    m_smallLineHeight = m_smallMetrics.tmHeight + m_smallMetrics.tmExternalLeading;
    m_bodyHeight = m_bodyLineCount * m_bodyLineHeight;
}

void CBaseViewer::deleteFonts() {
    for (CGdiObject* o : std::initializer_list<CGdiObject*>{&m_smallFont, &m_bodyFont, &m_headingFont, &m_brush,
                                                             &m_rotatedFont, &m_displayFont})
        o->DeleteObject();
    for (CPen& pen : m_pens) pen.DeleteObject();
}

int CBaseViewer::titleHeight(CDC* /*dc*/) const { return 6 * m_headingLineHeight + 2 * m_titleSpacing; }

void CBaseViewer::nextLine(CDC* dc) {
    const CFont* font = dc != nullptr ? dc->GetCurrentFont() : nullptr;
    const int step = font == &m_headingFont ? m_headingLineHeight
                     : font == &m_bodyFont  ? m_bodyLineHeight
                                            : m_smallLineHeight;
    m_printYPrevious = m_printY;
    m_printY -= step;
    m_lineTotal += step;
}

void CBaseViewer::numberOut(CDC* dc, int x, double v) {
    if (dc == nullptr) return;
    CString text;
    if (std::fabs(v) < 1e-8) text = L"0.";
    else if (std::fabs(v) > 1e12) text = L"Inf";
    else text.Format(L"%g", v);
    dc->TextOut(x, m_printY, text);
}

void CBaseViewer::stringOut(CDC* dc, int x, CString s) {
    if (dc != nullptr) dc->TextOut(x, m_printY, s);
}

void CBaseViewer::lineOut(CDC* dc, const CString& s, int underline) {
    if (dc == nullptr) return;
    dc->SetTextAlign(TA_BOTTOM);
    dc->TextOut(kLineLeft, m_printY, s);
    if (underline != 0) {
        TEXTMETRIC tm;
        dc->GetTextMetrics(&tm);
        dc->MoveTo(kLineLeft, m_printY - tm.tmDescent);
        dc->LineTo(kRightEdge, m_printY - tm.tmDescent);
    }
    nextLine(dc);
}

void CBaseViewer::printText(int x, int y, CString s) {
    if (m_pDC != nullptr) m_pDC->TextOut(x, y, s);
}

void CBaseViewer::numberColumn(CDC* dc, int* tabs, const CString& name, double v) {
    if (dc == nullptr || tabs == nullptr) return;
    dc->SelectObject(&m_bodyFont);
    dc->SetTextAlign(TA_RIGHT | TA_BASELINE);
    printDC(dc)->TextOut(tabs[0], m_printY, name);
    dc->SetTextAlign(TA_BASELINE);
    numberOut(dc, tabs[1], v);
    nextLine(dc);
}

void CBaseViewer::printNameValuePair(CDC* dc, int* tabs, CString name, double v) { numberColumn(dc, tabs, name, v); }

void CBaseViewer::printNameValuePair(CDC* dc, int* tabs, CString name, int v) {
    numberColumn(dc, tabs, name, static_cast<double>(v));
}

void CBaseViewer::printNameValuePair(CDC* dc, int* tabs, CString name, CString& value) {
    if (dc == nullptr || tabs == nullptr) return;
    dc->SelectObject(&m_bodyFont);
    dc->SetTextAlign(TA_RIGHT | TA_BASELINE);
    printDC(dc)->TextOut(tabs[0], m_printY, name);
    dc->SetTextAlign(TA_BASELINE);
    stringOut(dc, tabs[1], value.GetLength() > 150 ? value.Left(150) : value);
    nextLine(dc);
}

void CBaseViewer::printTextLine(double x1, double x2, CString label, CString text) {
    if (m_pDC == nullptr) return;
    m_pDC->SetTextAlign(TA_RIGHT | TA_BASELINE);
    m_pDC->TextOut(static_cast<int>(x1), m_printY, label);
    m_pDC->SetTextAlign(TA_LEFT | TA_BASELINE);
    m_pDC->TextOut(static_cast<int>(x2), m_printY, text);
    nextLine(m_pDC);
}

void CBaseViewer::printNumericLine(double x1, double x2, CString label, double v) {
    if (m_pDC == nullptr) return;
    m_pDC->SetTextAlign(TA_RIGHT | TA_BASELINE);
    m_pDC->TextOut(static_cast<int>(x1), m_printY, label);
    m_pDC->SetTextAlign(TA_LEFT | TA_BASELINE);
    numberOut(m_pDC, static_cast<int>(x2), v);
    nextLine(m_pDC);
}

int CBaseViewer::upiVert(double inches) const { return static_cast<int>(inches * m_yPixelsPerInch); }

int CBaseViewer::upiHorz(double inches) const { return static_cast<int>(inches * m_xPixelsPerInch); }

void CBaseViewer::highlightRow(CDC* dc, void* /*list*/, int row) {
    if (dc == nullptr || row % 2 != 0) return;
    const COLORREF grey = RGB(200, 200, 200);
    dc->SetBkColor(grey);
    dc->FillSolidRect(CRect(1100, m_printYPrevious, kRightEdge, m_printY), grey);
}
