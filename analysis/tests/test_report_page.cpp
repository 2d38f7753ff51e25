// Report page output on the recording device context: numbers, name/value
// rows, highlighted rows, the title block, the page footer, the date line,
// the material table, the printable page and the picture on a page.
#include <gtest/gtest.h>

#include <cstdlib>

#include "analysis/model/CMetal.h"
#include "analysis/model/Globals.h"
#include "analysis/views/CBaseViewer.h"
#include "analysis/views/CPrintInfoDlg.h"
#include "platform/core/Hooks.h"
#include "platform/gdi/CRecordingDC.h"
#include "test_view_support.h"

namespace {

// The report base with its print cursor and fonts in reach.
class PageView : public TestView {
public:
    using CBaseViewer::m_bodyFont;
    using CBaseViewer::m_bodyLineHeight;
    using CBaseViewer::m_headingLineHeight;
    using CBaseViewer::m_printY;
    using CBaseViewer::m_printYPrevious;
    using CBaseViewer::m_userPage;
    using CBaseViewer::m_yPixelsPerInch;
    void size(int w, int h) {
        m_width = w;
        m_height = h;
    }
};

// With the recording DC's fixed measures: body 200 -> line 220, descent 40;
// heading 350 -> line 385, descent 70.
struct Page : ::testing::Test {
    CRecordingDC dc;
    PageView view;
    void SetUp() override { view.defineFonts(&dc); }

    std::vector<DCCall> texts() const { return dc.ofKind(DCCall::Text); }
};

std::tm fixedTime(int hour, int minute, int day = 10) {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = day;
    t.tm_wday = 4;
    t.tm_hour = hour;
    t.tm_min = minute;
    return t;
}

}  // namespace

TEST_F(Page, FontsMeasureLineHeightsInTwips) {
    EXPECT_EQ(dc.GetMapMode(), MM_TWIPS);
    EXPECT_EQ(view.m_bodyLineHeight, 220);
    EXPECT_EQ(view.m_headingLineHeight, 385);
    EXPECT_EQ(view.titleHeight(&dc), 6 * 385 + 2 * 100);
    EXPECT_EQ(dc.GetCurrentFont(), nullptr);  // the previous (none) is back
}

TEST_F(Page, NumberOutFormsAndLimits) {
    struct Case {
        double v;
        const wchar_t* text;
    };
    for (const Case& c : {Case{5e-9, L"0."}, Case{-2e12, L"Inf"}, Case{2e12, L"Inf"}, Case{2.5, L"2.5"},
                          Case{1e-8, L"1e-08"}, Case{1e12, L"1e+12"}, Case{-123456789, L"-1.23457e+08"}}) {
        dc.calls.clear();
        view.numberOut(&dc, 100, c.v);
        ASSERT_EQ(dc.calls.size(), 1u);
        EXPECT_EQ(dc.calls[0].text, CString(c.text)) << c.v;
    }
}

TEST_F(Page, NameValuePairsRightAlignTheNameAndCutTextValuesAt150) {
    int tabs[2] = {2160, 2304};
    view.m_printY = -1000;
    CString value;
    for (int i = 0; i < 200; ++i) value += static_cast<wchar_t>(L'a' + i % 26);
    view.printNameValuePair(&dc, tabs, CString(L"Spec"), value);
    view.printNameValuePair(&dc, tabs, CString(L"E"), 10.5e6);
    const auto t = texts();
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0].rect.left, 2160);
    EXPECT_EQ(t[0].align, TA_RIGHT | TA_BASELINE);
    EXPECT_EQ(t[1].text, value.Left(150));
    EXPECT_EQ(t[1].rect.left, 2304);
    EXPECT_EQ(t[1].align, TA_BASELINE);
    EXPECT_EQ(t[1].rect.top, -1000);
    EXPECT_EQ(t[3].text, CString(L"1.05e+07"));
    EXPECT_EQ(t[3].rect.top, -1220);  // one body line further down
    EXPECT_EQ(view.m_printY, -1440);

    CString shortValue(L"2024-T3");
    view.printNameValuePair(&dc, tabs, CString(L"Temper"), shortValue);
    EXPECT_EQ(texts().back().text, shortValue);
}

TEST_F(Page, HighlightRowFillsEvenRowsOnly) {
    view.m_printYPrevious = -1000;
    view.m_printY = -1220;
    for (int row : {4, -2, 0, 3, -1}) {
        dc.calls.clear();
        view.highlightRow(&dc, nullptr, row);
        const auto fills = dc.ofKind(DCCall::Fill);
        if (row % 2 != 0) {
            EXPECT_TRUE(fills.empty()) << row;
            continue;
        }
        ASSERT_EQ(fills.size(), 1u) << row;
        EXPECT_EQ(fills[0].rect, CRect(1100, -1000, 10900, -1220));
        EXPECT_EQ(fills[0].colour, RGB(200, 200, 200));
        EXPECT_EQ(dc.GetBkColor(), RGB(200, 200, 200));
    }
}

TEST_F(Page, TitleBlockColumnsFrameAndCells) {
    CPrintInfoDlg settings;
    for (int i = 0; i < 7; ++i) {
        settings.m_label[i].Format(L"label%d", i);
        settings.m_field[i].Format(L"field%d", i);
    }
    settings.m_preparedBy = L"J. Doe";
    settings.m_company = L"Quenholt";
    settings.m_note = L"note";
    const int y0 = -1800, h = 220, d = 40;
    view.titleBlock(&dc, 360, y0, CString(L"Section A"), &settings);

    // Vertical rules: B, A, C to the top from the base line, E from two rows
    // up, D (after "CHECK", 5 characters of 100) from one row up.
    const int top = y0 + 5 * h;
    const auto lines = dc.ofKind(DCCall::Line);
    const auto hasLine = [&](CRect r) {
        for (const DCCall& l : lines)
            if (l.rect == r) return true;
        return false;
    };
    for (const CRect& r : {CRect(8927, y0, 8927, top), CRect(4608, y0, 4608, top), CRect(9792, y0, 9792, top),
                           CRect(3456, y0 + 2 * h, 3456, top), CRect(864 + 500 + 120, y0 + h, 1484, top),
                           CRect(864, y0, 10900, y0), CRect(4608, y0 + 385, 8927, y0 + 385)})
        EXPECT_TRUE(hasLine(r)) << r.left << "," << r.top << " " << r.right << "," << r.bottom;
    for (int k = 1; k <= 5; ++k) {
        EXPECT_TRUE(hasLine(CRect(864, y0 + k * h, 4608, y0 + k * h))) << k;
        EXPECT_TRUE(hasLine(CRect(8927, y0 + k * h, 10900, y0 + k * h))) << k;
    }
    const auto frame = dc.ofKind(DCCall::Rect);
    ASSERT_EQ(frame.size(), 1u);
    EXPECT_EQ(frame[0].rect, CRect(864, top, 10900, y0 - d - h));
    EXPECT_EQ(frame[0].kind, DCCall::Rect);

    struct Cell {
        const wchar_t* text;
        int x, y;
    };
    for (const Cell& c : {Cell{L"Section A", 924, y0 + d}, Cell{L"label6", 8987, y0 + d}, Cell{L"field6", 9852, y0 + d},
                          Cell{L"DATE", 924, y0 + d + h}, Cell{L"label1", 924, y0 + d + 2 * h},
                          Cell{L"field1", 1544, y0 + d + 2 * h}, Cell{L"label0", 924, y0 + d + 3 * h},
                          Cell{L"PRPD", 924, y0 + d + 4 * h}, Cell{L"J. Doe", 1544, y0 + d + 4 * h},
                          Cell{L"label2", 8987, y0 + d + 4 * h}, Cell{L"note", 1100, y0 - h}}) {
        const DCCall* t = dc.findText(CString(c.text));
        ASSERT_NE(t, nullptr) << CStringA(CString(c.text)).GetString();
        EXPECT_EQ(t->rect.TopLeft(), CPoint(c.x, c.y)) << CStringA(CString(c.text)).GetString();
    }
    const DCCall* company = dc.findText(CString(L"Quenholt"));
    ASSERT_NE(company, nullptr);
    EXPECT_EQ(company->rect.TopLeft(), CPoint((4608 + 8927) / 2, y0 + 70));
    EXPECT_EQ(company->font.lfHeight, -350);
    EXPECT_EQ(view.m_printY, y0 - d - h);
}

// A line break is CR LF from a Windows edit control or LF alone from a
// Linux one; only a CR right before the LF belongs to the break.
TEST_F(Page, TitleTextSplitsAtLineFeeds) {
    struct Case {
        const wchar_t* title;
        std::vector<const wchar_t*> lines;
    };
    for (const Case& c : {Case{L"A\r\nB", {L"A", L"B"}}, Case{L"A\nB", {L"A", L"B"}}, Case{L"AB\rC", {L"AB\rC"}},
                          Case{L"One", {L"One"}}}) {
        dc.calls.clear();
        CPrintInfoDlg settings;
        settings.m_title = c.title;
        view.titleBlock(&dc, 0, -1800, CString(), &settings);
        std::vector<DCCall> centred;
        for (const DCCall& t : texts())
            if (t.align == (TA_CENTER | TA_BASELINE) && t.font.lfHeight == -200) centred.push_back(t);
        ASSERT_EQ(centred.size(), c.lines.size()) << CStringA(CString(c.title)).GetString();
        for (std::size_t i = 0; i < c.lines.size(); ++i) {
            EXPECT_EQ(centred[i].text, CString(c.lines[i]));
            EXPECT_EQ(centred[i].rect.TopLeft(), CPoint((4608 + 8927) / 2 + 60, -1800 + 880 - 220 * static_cast<int>(i)));
        }
    }
}

TEST_F(Page, FooterEndsAtTheRightEdgeWhereverTheTitleBlockIs) {
    for (int location : {-1, static_cast<int>(CPrintInfoDlg::Bottom)}) {
        dc.calls.clear();
        CPrintInfoDlg settings;
        settings.m_titleLocation = location;
        view.m_pPrintInfo = &settings;
        view.printPageFooter(&dc, 2, 5);
        const DCCall* footer = dc.findText(CString(L"Page 2 of 5"));
        ASSERT_NE(footer, nullptr);
        EXPECT_EQ(footer->rect.top, -14958);
        EXPECT_EQ(CRecordingDC::textSpan(*footer).second, 10900) << location;
        EXPECT_EQ(footer->font.lfHeight, -200);
        EXPECT_EQ(dc.findText(CString(L"DATE")) != nullptr, location == CPrintInfoDlg::Bottom);
        view.m_pPrintInfo = nullptr;
    }
}

TEST_F(Page, HeaderPutsTheTitleBlockAtTheTopAndTheCursorUnderIt) {
    CPrintInfoDlg settings;
    settings.m_titleLocation = CPrintInfoDlg::Top;
    view.m_pPrintInfo = &settings;
    view.m_title1 = L"Beam";
    view.m_title2 = L"B-1";
    view.printPageHeader(&dc);
    const DCCall* title = dc.findText(CString(L"Beam B-1"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->rect.top, -1800 + 40);
    EXPECT_EQ(view.m_printY, -(6 * 385 + 200));
    view.m_pPrintInfo = nullptr;
}

TEST(ReportDate, TwelveHourClockWithInjectedTime) {
    struct Case {
        std::tm time;
        const wchar_t* text;
    };
    const auto saved = CBaseViewer::localTime;
    for (const Case& c : {Case{fixedTime(0, 15), L"Thu Dec 10 12:15:00 AM 2026"},
                          Case{fixedTime(12, 30), L"Thu Dec 10 12:30:00 PM 2026"},
                          Case{fixedTime(13, 5), L"Thu Dec 10 01:05:00 PM 2026"},
                          Case{fixedTime(11, 59, 5), L"Thu Dec  5 11:59:00 AM 2026"}}) {
        CBaseViewer::localTime = [t = c.time] { return t; };
        CString text;
        CBaseViewer::dateTime(text);
        EXPECT_EQ(text, CString(c.text));
    }
    CBaseViewer::localTime = saved;
}

TEST_F(Page, MaterialTableRunsTwoColumnsFromTheSameTop) {
    CMetal metal;
    metal.name = L"2024-T3";
    metal.family = L"Aluminum";
    metal.E(10.5e6);
    const int y = -3000;
    const int after = view.printMaterial(&dc, y, &metal);
    const DCCall* name = dc.findText(CString(L"2024-T3"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->rect.TopLeft(), CPoint(1440, y));
    const int tableTop = y - 2 * 385;
    const DCCall* family = dc.findText(CString(L"Family"));
    const DCCall* density = dc.findText(CString(L"Density"));
    const DCCall* strain = dc.findText(CString(L"Max Compression Strain"));
    ASSERT_TRUE(family && density && strain);
    EXPECT_EQ(family->rect.TopLeft(), CPoint(2160, tableTop));
    EXPECT_EQ(density->rect.TopLeft(), CPoint(7920, tableTop));
    EXPECT_EQ(strain->rect.top, tableTop - 19 * 220);
    // An unset value prints as its number.
    EXPECT_NE(dc.findText(CString(L"-99999")), nullptr);
    // The DC's own font is back for the last four lines: small line heights.
    EXPECT_EQ(after, tableTop - 20 * 220 - 4 * 176);
    EXPECT_EQ(view.printMaterial(&dc, y, nullptr), y);
}

TEST_F(Page, UserPageIsTheMarginInsideThePhysicalPage) {
    // 600 dpi, 8.5 x 11 in page with 0.25 in unprintable offsets, 0.5 in margin.
    const CRect page = view.UserPage(&dc, 0.5f);
    EXPECT_EQ(page, CRect(300 - 150, 300 - 150, 5100 - 300 - 150, 6600 - 300 - 150));
    EXPECT_EQ(view.m_userPage, page);
}

namespace {

// A held picture of w x h pixels for the picture tests.
struct HeldPicture {
    HeldPicture(int w, int h) {
        CBaseViewer::releasePicture();
        auto* info = static_cast<BITMAPINFO*>(std::calloc(1, sizeof(BITMAPINFO)));
        info->bmiHeader.biSize = 40;
        info->bmiHeader.biWidth = w;
        info->bmiHeader.biHeight = h;
        info->bmiHeader.biPlanes = 1;
        info->bmiHeader.biBitCount = 24;
        CBaseViewer::pBitmapInfo = info;
        CBaseViewer::pBitmapBits = static_cast<BYTE*>(std::calloc(dibRowBytes(w, 24), static_cast<std::size_t>(h)));
    }
    ~HeldPicture() { CBaseViewer::releasePicture(); }
};

}  // namespace

TEST_F(Page, PictureFitsThePageWidthOrItsHeight) {
    struct Case {
        int w, h;
        CRect target;
    };
    // The page is 4800 x 6300 device pixels at 600 dpi; the top 1 inch down.
    for (const Case& c : {Case{200, 100, CRect(0, 600, 4800, 600 + 2400)},
                          Case{100, 1000, CRect(2085, 600, 2085 + 630, 600 + 6300)}}) {
        HeldPicture picture(c.w, c.h);
        CBaseViewer::bStretchDIBits = true;
        dc.calls.clear();
        double y = 1.0, nextY = 0;
        view.splatImage(&dc, &y, &nextY);
        const auto fills = dc.ofKind(DCCall::Fill);
        ASSERT_EQ(fills.size(), 1u);
        EXPECT_EQ(fills[0].rect, CRect(0, 0, 4800, 6300));
        EXPECT_EQ(fills[0].colour, RGB(255, 255, 255));
        const auto stretched = dc.ofKind(DCCall::StretchDib);
        ASSERT_EQ(stretched.size(), 1u);
        EXPECT_EQ(stretched[0].rect, c.target);
        EXPECT_EQ(stretched[0].source, CRect(0, 0, c.w, c.h));
        EXPECT_EQ(stretched[0].mapMode, MM_TEXT);
        EXPECT_DOUBLE_EQ(nextY, 1.0 + c.target.Height() / 600.0);
        EXPECT_EQ(dc.GetMapMode(), MM_TWIPS);
    }
    CBaseViewer::bStretchDIBits = false;
    dc.calls.clear();
    double y = 1.0, nextY = 0;
    view.splatImage(&dc, &y, &nextY);  // no picture held: nothing at all
    EXPECT_TRUE(dc.calls.empty());
}

TEST_F(Page, EmbeddedPictureIsMagentaThenStretched) {
    const CSize savedSize = gEmbedSizePixels;
    gEmbedSizePixels = CSize(572, 400);
    HeldPicture picture(30, 20);
    view.size(300, 200);
    CBaseViewer::bStretchBlt = CBaseViewer::bStretchDIBits = false;

    dc.setDeviceCaps(RASTERCAPS, RC_STRETCHBLT);  // no independent-bitmap stretch: through a memory DC
    view.splatMetaFile(&dc);
    EXPECT_EQ(dc.stretchBlts, 1);
    auto stretched = dc.ofKind(DCCall::StretchDib);
    ASSERT_EQ(stretched.size(), 1u);
    EXPECT_EQ(stretched[0].rect, CRect(0, 0, 300, 200));
    const auto fills = dc.ofKind(DCCall::Fill);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rect, CRect(0, 0, 572, 400));
    EXPECT_EQ(fills[0].colour, RGB(255, 0, 255));
    EXPECT_EQ(dc.GetMapMode(), MM_HIMETRIC);

    dc.calls.clear();
    dc.setDeviceCaps(RASTERCAPS, RC_STRETCHDIB);
    view.splatMetaFile(&dc);
    stretched = dc.ofKind(DCCall::StretchDib);
    ASSERT_EQ(stretched.size(), 1u);
    EXPECT_EQ(stretched[0].rect, CRect(0, 0, 572, 400));
    EXPECT_EQ(dc.stretchBlts, 1);
    CBaseViewer::bStretchBlt = CBaseViewer::bStretchDIBits = false;
    gEmbedSizePixels = savedSize;
}

TEST_F(Page, LineOutUnderlinesAtTheDescent) {
    dc.SelectObject(&view.m_bodyFont);
    view.m_printY = -500;
    view.lineOut(&dc, CString(L"Results"), 1);
    const auto t = texts();
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].rect.TopLeft(), CPoint(864, -500));
    EXPECT_EQ(t[0].align, TA_BOTTOM);
    const auto lines = dc.ofKind(DCCall::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rect, CRect(864, -540, 10900, -540));
    EXPECT_EQ(view.m_printY, -720);
}

TEST_F(Page, BeginPrintingWarnsAboutADeviceThatCannotStretchAndGoesOn) {
    Hooks::reset();
    CBaseViewer::bStretchBlt = CBaseViewer::bStretchDIBits = false;
    CRecordingDC printer;
    printer.setDeviceCaps(RASTERCAPS, RC_BITBLT);
    CPrintInfo info;
    info.m_deviceName = L"Plotter";
    PageView fresh;
    fresh.OnBeginPrinting(&printer, &info);
    ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
    EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"Output device 'Plotter' does not support required functions!"));
    EXPECT_EQ(fresh.m_bodyLineHeight, 220);  // the fonts are defined all the same

    // A preview DC answers with its printer's resolution.
    Hooks::reset();
    CRecordingDC preview;
    printer.setDeviceCaps(RASTERCAPS, RC_STRETCHDIB);
    printer.setDeviceCaps(LOGPIXELSY, 300);
    preview.setAttributeDC(&printer);
    preview.setDeviceCaps(RASTERCAPS, RC_STRETCHDIB);
    EXPECT_TRUE(fresh.getDeviceCharacteristics(&preview));
    EXPECT_EQ(fresh.m_yPixelsPerInch, 300);
    EXPECT_TRUE(Hooks::messageBoxes().empty());
    CBaseViewer::bStretchBlt = CBaseViewer::bStretchDIBits = false;
}
