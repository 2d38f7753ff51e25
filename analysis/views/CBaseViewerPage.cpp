// The view base: the printable page, the title block, the material table
// and the date line of report pages.
#include <array>
#include <cstdio>

#include "analysis/model/CMetal.h"
#include "analysis/views/CBaseViewer.h"
#include "analysis/views/CPrintInfoDlg.h"
#include "platform/gdi/CDC.h"

namespace {

constexpr int kRightEdge = 10900;

std::tm systemLocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return t;
}

}  // namespace

std::function<std::tm()> CBaseViewer::localTime = systemLocalTime;

CRect CBaseViewer::UserPage(CDC* dc, float margin) {
    if (dc == nullptr) return m_userPage;
    dc->SetMapMode(MM_TWIPS);
    const int m = static_cast<int>(margin * 1440);
    CSize physical(dc->GetDeviceCaps(PHYSICALWIDTH), dc->GetDeviceCaps(PHYSICALHEIGHT));
    CSize offset(dc->GetDeviceCaps(PHYSICALOFFSETX), dc->GetDeviceCaps(PHYSICALOFFSETY));
    dc->DPtoLP(&physical);
    dc->DPtoLP(&offset);
    CRect page(m - offset.cx, -(m - offset.cy), physical.cx - m - offset.cx, -(physical.cy - m - offset.cy));
    dc->LPtoDP(&page);
    m_userPage = page;
    return page;
}

void CBaseViewer::titleBlock(CDC* dc, int /*left*/, int y0, CString title, CPrintInfoDlg* settings) {
    if (dc == nullptr) return;
    const CPrintInfoDlg empty;
    const CPrintInfoDlg& s = settings != nullptr ? *settings : empty;
    const int x0 = 864;
    const int h = m_bodyLineHeight;
    const int d = m_bodyMetrics.tmDescent;
    m_pDC = dc;

    m_titlePen.CreatePen(PS_SOLID, 0, RGB(0, 0, 255));
    dc->SelectObject(&m_titlePen);
    dc->SelectObject(&m_bodyFont);
    dc->SetTextAlign(TA_BASELINE);
    dc->SetBkMode(TRANSPARENT);

    // Column lines: D after the widest left label; A, B, C and E at 2.6,
    // 5.6, 6.2 and 1.8 inches from x0 (each product truncated).
    const int D = x0 + dc->GetTextExtent(CString(L"CHECK")).cx + 120;
    const int A = x0 + 3744, B = x0 + 8063, C = x0 + 8928, E = x0 + 2592;
    const int top = y0 + 5 * h;

    dc->Rectangle(x0, top, kRightEdge, y0 - d - h);
    dc->MoveTo(x0, y0);
    dc->LineTo(kRightEdge, y0);
    const std::array<std::pair<int, int>, 5> columns{{{B, y0}, {A, y0}, {C, y0}, {E, y0 + 2 * h}, {D, y0 + h}}};
    for (const auto& [x, from] : columns) {
        dc->MoveTo(x, from);
        dc->LineTo(x, top);
    }

    // Row k's baseline; the cells of each row.
    const auto row = [&](int k) { return y0 + d + k * h; };
    const CString date = [] {
        CString t;
        dateTime(t);
        return t;
    }();
    struct Cell {
        int k;
        CString leftLabel;
        int valueX;
        CString leftValue;
        int pair;  // index of the right-hand label/field pair
    };
    const Cell cells[] = {
        {0, title, D + 60, CString(), 6},
        {1, CString(L"DATE"), D, date, 4},
        {2, s.m_label[1], D + 60, s.m_field[1], 5},
        {3, s.m_label[0], D + 60, s.m_field[0], 3},
        {4, CString(L"PRPD"), D + 60, s.m_preparedBy, 2},
    };
    for (const Cell& c : cells) {
        dc->TextOut(x0 + 60, row(c.k), c.leftLabel);
        if (!c.leftValue.IsEmpty()) dc->TextOut(c.valueX, row(c.k), c.leftValue);
        dc->TextOut(B + 60, row(c.k), s.m_label[c.pair]);
        dc->TextOut(x0 + 8988, row(c.k), s.m_field[c.pair]);
    }
    dc->TextOut(1100, y0 - h, s.m_note);

    for (int k = 1; k <= 5; ++k) {
        dc->MoveTo(x0, y0 + k * h);
        dc->LineTo(A, y0 + k * h);
        dc->MoveTo(B, y0 + k * h);
        dc->LineTo(kRightEdge, y0 + k * h);
    }

    // The title, one line per line feed; a carriage return before a line
    // feed belongs to the line break, any other character is text.
    dc->SetTextAlign(TA_CENTER | TA_BASELINE);
    const CString& text = s.m_title;
    int lineY = y0 + 4 * h;
    for (int start = 0;;) {
        const int end = text.Find(L'\n', start);
        CString line = text.Mid(start, (end < 0 ? text.GetLength() : end) - start);
        if (end >= 0 && !line.IsEmpty() && line[line.GetLength() - 1] == L'\r') line = line.Left(line.GetLength() - 1);
        dc->TextOut((A + B) / 2 + 60, lineY, line);
        lineY -= h;
        if (end < 0) break;
        start = end + 1;
    }

    dc->SelectObject(&m_headingFont);
    dc->TextOut((A + B) / 2, y0 + m_headingMetrics.tmDescent, s.m_company);
    dc->MoveTo(A, y0 + m_headingLineHeight);
    dc->LineTo(B, y0 + m_headingLineHeight);
    m_printY = y0 - d - h;
}

int CBaseViewer::printMaterial(CDC* dc, int y, CMetal* metal) {
    m_printY = y;
    if (dc == nullptr || metal == nullptr) return m_printY;
    CDC* out = printDC(dc);
    CFont* previous = dc->SelectObject(&m_headingFont);
    dc->SetTextAlign(TA_BASELINE);
    out->TextOut(1440, y, metal->name);
    const int underline = y - m_headingMetrics.tmDescent - 144;
    dc->MoveTo(1100, underline);
    dc->LineTo(kRightEdge, underline);
    nextLine(dc);
    nextLine(dc);
    const int tableTop = m_printY;

    int left[2] = {2160, 2304};
    const std::pair<const wchar_t*, CString*> texts[] = {
        {L"Family", &metal->family}, {L"Form", &metal->form}, {L"Temper", &metal->temper}, {L"Size", &metal->size},
        {L"Spec", &metal->spec},     {L"Units", &metal->units}, {L"UNS", &metal->uns}};
    for (const auto& [label, value] : texts) printNameValuePair(dc, left, CString(label), *value);
    const std::pair<const wchar_t*, double> leftNumbers[] = {
        {L"E", metal->E()},          {L"Ec", metal->Ec},          {L"G", metal->G},
        {L"Nu", metal->nu()},        {L"Ftu_L", metal->Ftu_L},    {L"Ftu_Lt", metal->Ftu_LT},
        {L"Fty_l", metal->Fty_L},    {L"Fty_lt", metal->Fty_LT},  {L"Fcy_l", metal->Fcy_L},
        {L"Fcy_lt", metal->Fcy_LT},  {L"Fcu_l", metal->Fcu_L},    {L"Fcu_lt", metal->Fcu_LT},
        {L"Fsu_lt", metal->Fsu_LT},  {L"Fsu_l", metal->Fsu_L}};
    for (const auto& [label, value] : leftNumbers) printNameValuePair(dc, left, CString(label), value);

    m_printY = tableTop;
    int right[2] = {7920, 8064};
    const std::pair<const wchar_t*, double> rightNumbers[] = {
        {L"Density", metal->density()},
        {L"Thick", metal->thickness},
        {L"Fbru_15", metal->Fbru15},
        {L"Fbru_20", metal->Fbru20},
        {L"Fbry_15", metal->Fbry15},
        {L"Fbry_20", metal->Fbry20},
        {L"RambergOsgood alpha L_tension", metal->alpha[0]},
        {L"RambergOsgood alpha LT_tension", metal->alpha[1]},
        {L"RambergOsgood alpha L_compression", metal->alpha[2]},
        {L"RambergOsgood alpha LT_compression", metal->alpha[3]},
        {L"RambergOsgood n L_Tension", metal->nYield[0]},
        {L"RambergOsgood n LT_Tension", metal->nYield[1]},
        {L"RambergOsgood n L_Compression", metal->nYield[2]},
        {L"RambergOsgood n LT_Compression", metal->nYield[3]},
        {L"RambergOsgood n L_Tension2", metal->nUltimate[0]},
        {L"RambergOsgood n LT_Tension2", metal->nUltimate[1]},
        {L"RambergOsgood n L_Compression2", metal->nUltimate[2]},
        {L"RambergOsgood n LT_Compression2", metal->nUltimate[3]},
        {L"Max Tensile Strain", metal->maxTensileStrain},
        {L"Max Compression Strain", metal->maxCompressionStrain}};
    for (const auto& [label, value] : rightNumbers) printNameValuePair(dc, right, CString(label), value);

    dc->SelectObject(previous);
    for (int i = 0; i < 4; ++i) nextLine(out);
    return m_printY;
}

void CBaseViewer::dateTime(CString& out) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm t = localTime ? localTime() : systemLocalTime();
    const char* half = t.tm_hour >= 12 ? "PM" : "AM";
    if (t.tm_hour > 12) t.tm_hour -= 12;
    else if (t.tm_hour == 0) t.tm_hour = 12;
    // The first 19 characters of the C library's asctime text.
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%.3s %.3s%3d %.2d:%.2d:%.2d", kDays[((t.tm_wday % 7) + 7) % 7],
                  kMonths[((t.tm_mon % 12) + 12) % 12], t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    char text[96];
    std::snprintf(text, sizeof text, "%.19s %s %d", stamp, half, t.tm_year + 1900);
    out = CString(text);
}
