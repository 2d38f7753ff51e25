// The device-context layer without a display: FreeType glyphs and their
// measures, glyph display lists, memory DCs drawing into bitmaps, unit
// conversion of the mapping modes, and the recording DC's text extents.
#include <gtest/gtest.h>

#include "platform/gdi/CMemoryDC.h"
#include "platform/gdi/CRecordingDC.h"
#include "platform/gl/COffscreenContext.h"
#include "platform/gl/GlyphFont.h"

namespace {

LOGFONT arial(LONG height, LONG weight = FW_NORMAL) {
    LOGFONT f;
    f.lfHeight = height;
    f.lfWeight = weight;
    f.lfFaceName = L"Arial";
    return f;
}

}  // namespace

// "Arial" is Liberation Sans, whose cell (Windows ascent 1854 and descent
// 434 of 2048 units) gives an 8-pixel character a 7 + 2 pixel cell with
// one pixel of internal leading, as the Windows font does.
TEST(GdiGlyphs, ArialMeasuresLikeItsMetricTwin) {
    const auto font = GlyphFont::open(arial(-8));
    ASSERT_TRUE(font);
    EXPECT_EQ(font->family(), "Liberation Sans");
    const TEXTMETRIC& tm = font->metrics();
    EXPECT_EQ(tm.tmAscent, 7);
    EXPECT_EQ(tm.tmDescent, 2);
    EXPECT_EQ(tm.tmHeight, 9);
    EXPECT_EQ(tm.tmInternalLeading, 1);
    EXPECT_EQ(font->extent("iii").cx, 3 * font->glyph('i').advance);
    EXPECT_EQ(font->extent("").cx, 0);
    EXPECT_GT(font->glyph('W').advance, font->glyph('i').advance);

    // Windows-1252: 0x80 is the euro sign, 0x81 nothing, control bytes nothing.
    EXPECT_EQ(windows1252ToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(windows1252ToUnicode(0xE9), U'\u00E9');
    EXPECT_GT(font->glyph(0x80).advance, 0);
    EXPECT_EQ(font->glyph(0x81).advance, 0);
    EXPECT_EQ(font->glyph('\t').advance, 0);
}

TEST(GdiGlyphs, SystemFontIsBoldSansInASixteenPixelCell) {
    const auto font = GlyphFont::systemFont();
    ASSERT_TRUE(font);
    EXPECT_EQ(font->metrics().tmHeight, 16);
    EXPECT_EQ(font->metrics().tmWeight, FW_BOLD);
    EXPECT_EQ(font->family(), "Liberation Sans");
    // A positive height is the cell: the same 16 pixels.
    EXPECT_EQ(GlyphFont::open(arial(16, FW_BOLD))->metrics().tmHeight, 16);
}

TEST(GdiGlyphs, ListsDrawTheGlyphsAtTheRasterPosition) {
    COffscreenContext context(40, 20, PixelOrder::RGBA);
    ASSERT_TRUE(context.makeCurrent());
    const auto font = GlyphFont::open(arial(-12));
    ASSERT_TRUE(font);
    EXPECT_FALSE(font->buildLists(0));
    const GLuint base = glGenLists(256);
    ASSERT_TRUE(font->buildLists(base));
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 40, 0, 20, -1, 1);
    glColor3f(1, 1, 1);
    glRasterPos2i(2, 5);
    glListBase(base);
    glCallLists(1, GL_UNSIGNED_BYTE, "I");
    glFinish();
    // The capital I stands on the baseline (row 5) and is cap-height tall.
    int lowest = 99, highest = -1;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            if (context.pixel(x, y).red == 255) {
                lowest = std::min(lowest, y);
                highest = std::max(highest, y);
            }
    EXPECT_EQ(lowest, 5);
    EXPECT_EQ(highest - lowest + 1, font->glyph('I').height);
    COffscreenContext::releaseCurrent();
}

TEST(GdiMemoryDC, FillsLinesAndRectanglesInTheSelectedBitmap) {
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateDIBSection(10, 8, 24));
    CMemoryDC dc;
    dc.SelectObject(&bitmap);
    EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 10);
    EXPECT_EQ(dc.GetDeviceCaps(VERTRES), 8);
    dc.FillSolidRect(CRect(1, 1, 4, 3), RGB(10, 20, 30));
    EXPECT_EQ(bitmap.GetPixel(1, 1), RGB(10, 20, 30));
    EXPECT_EQ(bitmap.GetPixel(3, 2), RGB(10, 20, 30));
    EXPECT_EQ(bitmap.GetPixel(4, 2), RGB(0, 0, 0));
    // Row 0 of the picture is the last row of the bitmap's storage.
    EXPECT_EQ(bitmap.bits()[bitmap.rowBytes() * 6 + 3], 30);

    CPen pen(PS_SOLID, 0, RGB(255, 0, 0));
    dc.SelectObject(&pen);
    dc.MoveTo(0, 7);
    dc.LineTo(9, 7);
    EXPECT_EQ(bitmap.GetPixel(0, 7), RGB(255, 0, 0));
    EXPECT_EQ(bitmap.GetPixel(8, 7), RGB(255, 0, 0));
    EXPECT_EQ(bitmap.GetPixel(9, 7), RGB(0, 0, 0));  // a line leaves its end point

    CBrush brush(RGB(0, 0, 255));
    dc.SelectObject(&brush);
    dc.Rectangle(5, 0, 9, 4);
    EXPECT_EQ(bitmap.GetPixel(5, 0), RGB(255, 0, 0));  // outline in the pen
    EXPECT_EQ(bitmap.GetPixel(6, 1), RGB(0, 0, 255));  // inside in the brush
}

TEST(GdiMemoryDC, StretchesAndCopiesBitmaps) {
    // A 2 x 1 picture, blue then green, doubled onto 4 x 2.
    const DibHeader dib = dibHeader(2, 1, 24);
    const BYTE rows[8] = {255, 0, 0, 0, 255, 0, 0, 0};
    CBitmap target;
    target.CreateDIBSection(4, 2, 32);
    CMemoryDC dc;
    dc.SelectObject(&target);
    EXPECT_EQ(dc.StretchDIBits(0, 0, 4, 2, 0, 0, 2, 1, rows, dib.info(), DIB_RGB_COLORS, SRCCOPY), 1);
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(target.GetPixel(1, y), RGB(0, 0, 255));
        EXPECT_EQ(target.GetPixel(2, y), RGB(0, 255, 0));
    }
    // An 8-bit bitmap copies through its colour table.
    CBitmap indexed;
    indexed.CreateDIBSection(2, 2, 8);
    CMemoryDC source;
    source.SelectObject(&indexed);
    const RGBQUAD table[2] = {{0, 0, 0, 0}, {0, 0, 200, 0}};
    EXPECT_EQ(source.SetDIBColorTable(0, 2, table), 2u);
    indexed.SetPixel(1, 0, RGB(200, 0, 0));
    EXPECT_TRUE(dc.BitBlt(2, 0, 2, 2, &source, 0, 0, SRCCOPY));
    EXPECT_EQ(target.GetPixel(3, 0), RGB(200, 0, 0));
    EXPECT_EQ(target.GetPixel(2, 0), RGB(0, 0, 0));
    CMemoryDC empty;
    EXPECT_FALSE(dc.BitBlt(0, 0, 1, 1, &empty, 0, 0, SRCCOPY));
}

TEST(GdiMemoryDC, TextIsDrawnAndMeasuredWithTheSelectedFont) {
    CBitmap bitmap;
    bitmap.CreateDIBSection(60, 20, 24);
    CMemoryDC dc;
    dc.SelectObject(&bitmap);
    CFont font;
    font.CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial");
    dc.SelectObject(&font);
    const auto glyphs = GlyphFont::open(arial(-12));
    EXPECT_EQ(dc.GetTextExtent(CString(L"Hi")).cx, glyphs->extent("Hi").cx);
    TEXTMETRIC tm;
    ASSERT_TRUE(dc.GetTextMetrics(&tm));
    EXPECT_EQ(tm.tmAscent, glyphs->metrics().tmAscent);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(255, 255, 255));
    dc.SetTextAlign(TA_BASELINE);
    dc.TextOut(2, 15, CString(L"H"));
    int lowest = -1;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x)
            if (bitmap.GetPixel(x, y) == RGB(255, 255, 255)) lowest = std::max(lowest, y);
    EXPECT_EQ(lowest, 14);  // the row just above the baseline
}

TEST(GdiMapping, TwipsAndHimetricRunUpwardsAtTheDeviceResolution) {
    CRecordingDC dc;  // 600 dpi
    struct Case {
        int mode;
        CPoint logical;
        CPoint device;
    };
    for (const Case& c : {Case{MM_TEXT, {10, 20}, {10, 20}}, Case{MM_TWIPS, {1440, -2880}, {600, 1200}},
                          Case{MM_HIMETRIC, {2540, -1270}, {600, 300}}}) {
        dc.SetMapMode(c.mode);
        CPoint p = c.logical;
        dc.LPtoDP(&p);
        EXPECT_EQ(p, c.device) << c.mode;
        dc.DPtoLP(&p);
        EXPECT_EQ(p, c.logical) << c.mode;
    }
    dc.SetMapMode(MM_TWIPS);
    CSize s(600, 300);
    dc.DPtoLP(&s);
    EXPECT_EQ(s, CSize(1440, 720));
    EXPECT_EQ(dc.SetMapMode(99), 0);
    EXPECT_EQ(dc.GetMapMode(), MM_TWIPS);
}

TEST(GdiRecordingDC, FixedMeasuresAndAlignedSpans) {
    CRecordingDC dc;
    CFont body;
    body.CreateFont(-200, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Helvetica");
    dc.SelectObject(&body);
    TEXTMETRIC tm;
    dc.GetTextMetrics(&tm);
    EXPECT_EQ(tm.tmHeight, 200);
    EXPECT_EQ(tm.tmDescent, 40);
    EXPECT_EQ(tm.tmExternalLeading, 20);
    EXPECT_EQ(dc.GetTextExtent(CString(L"abcd")), CSize(400, 200));
    for (const auto& [align, left] : {std::pair{TA_LEFT, 1000}, std::pair{TA_RIGHT, 600}, std::pair{TA_CENTER, 800}}) {
        dc.calls.clear();
        dc.SetTextAlign(align | TA_BASELINE);
        dc.TextOut(1000, 0, CString(L"abcd"));
        EXPECT_EQ(CRecordingDC::textSpan(dc.calls[0]), std::make_pair(LONG{left}, LONG{left + 400})) << align;
    }
}
