// The device-context layer on wxWidgets DCs (under a display): text placed
// by its alignment, fills and lines in twips, pictures stretched, and a
// printout handing its pages to a view.
#include <gtest/gtest.h>

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/app.h>

#include <stdexcept>

#include "platform/core/Hooks.h"
#include "platform/tests/GuiTestSupport.h"
#include "platform/ui/CWxDC.h"
#include "platform/ui/WxPrinting.h"

namespace {

// wx started once for the process (the GUI tests run under a display).
void initWx() {
  ASSERT_TRUE(gui_test::StartWx()) << "wx could not start: the GUI tests need a display (xvfb-run)";
}

// A white 200 x 100 bitmap drawn on through a CWxDC at 144 dpi.
struct WxPage {
    wxBitmap bitmap{200, 100, 24};
    wxMemoryDC memory;
    std::unique_ptr<CWxDC> dc;
    WxPage() {
        memory.SelectObject(bitmap);
        memory.SetBackground(*wxWHITE_BRUSH);
        memory.Clear();
        CWxDC::Device device;
        device.ppiX = device.ppiY = 144;
        device.page = wxSize(200, 100);
        device.paper = wxRect(-10, -10, 220, 120);
        dc = std::make_unique<CWxDC>(memory, device);
    }
    wxImage image() {
        memory.SelectObject(wxNullBitmap);
        wxImage i = bitmap.ConvertToImage();
        memory.SelectObject(bitmap);
        return i;
    }
};

bool isColour(const wxImage& i, int x, int y, BYTE r, BYTE g, BYTE b) {
    return i.GetRed(x, y) == r && i.GetGreen(x, y) == g && i.GetBlue(x, y) == b;
}

}  // namespace

TEST(GuiWxDC, TwipsFillsLinesAndCapabilities) {
    initWx();
    WxPage page;
    CWxDC& dc = *page.dc;
    EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 200);
    EXPECT_EQ(dc.GetDeviceCaps(PHYSICALWIDTH), 220);
    EXPECT_EQ(dc.GetDeviceCaps(PHYSICALOFFSETX), 10);
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSY), 144);
    dc.SetMapMode(MM_TWIPS);
    // 1440 twips = 144 pixels; y runs upwards: -100 twips is 10 pixels down.
    dc.FillSolidRect(CRect(100, -100, 300, -300), RGB(255, 0, 0));
    CPen blue(PS_SOLID, 0, RGB(0, 0, 255));
    dc.SelectObject(&blue);
    dc.MoveTo(0, -500);
    dc.LineTo(1400, -500);
    const wxImage i = page.image();
    EXPECT_TRUE(isColour(i, 15, 20, 255, 0, 0));
    EXPECT_TRUE(isColour(i, 9, 20, 255, 255, 255));
    EXPECT_TRUE(isColour(i, 30, 20, 255, 255, 255));
    EXPECT_TRUE(isColour(i, 60, 50, 0, 0, 255));
}

TEST(GuiWxDC, TextAlignmentAndMeasures) {
    initWx();
    WxPage page;
    CWxDC& dc = *page.dc;
    dc.SetMapMode(MM_TEXT);
    CFont font;
    font.CreateFont(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial");
    dc.SelectObject(&font);
    const CSize extent = dc.GetTextExtent(CString(L"MMMM"));
    EXPECT_GT(extent.cx, 40);
    TEXTMETRIC tm;
    ASSERT_TRUE(dc.GetTextMetrics(&tm));
    EXPECT_GT(tm.tmAscent, tm.tmDescent);
    EXPECT_GE(tm.tmHeight, 20);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(0, 0, 0));
    dc.SetTextAlign(TA_RIGHT | TA_BASELINE);
    dc.TextOut(190, 60, CString(L"MMMM"));
    const wxImage i = page.image();
    int minX = 999, maxX = -1, maxY = -1;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            if (i.GetRed(x, y) < 128) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                maxY = std::max(maxY, y);
            }
    EXPECT_LE(maxX, 190);
    EXPECT_GE(maxX, 185);
    EXPECT_NEAR(minX, 190 - extent.cx, 3);
    EXPECT_NEAR(maxY, 59, 1);  // standing on the baseline
}

TEST(GuiWxDC, PicturesAreStretchedBottomRowLast) {
    initWx();
    WxPage page;
    const DibHeader dib = dibHeader(1, 2, 24);
    const BYTE rows[8] = {255, 0, 0, 0, 0, 0, 255, 0};  // bottom blue, top red
    EXPECT_EQ(page.dc->StretchDIBits(0, 0, 20, 40, 0, 0, 1, 2, rows, dib.info(), DIB_RGB_COLORS, SRCCOPY), 2);
    const wxImage i = page.image();
    EXPECT_TRUE(isColour(i, 10, 5, 255, 0, 0));
    EXPECT_TRUE(isColour(i, 10, 35, 0, 0, 255));
    EXPECT_TRUE(isColour(i, 25, 35, 255, 255, 255));
}

namespace {

class CountingClient : public CPrintClient {
public:
    std::vector<int> pages;
    int begun = 0, ended = 0;
    int failOn = 0;  // a page whose output throws
    BOOL OnPreparePrinting(CPrintInfo*) override { return TRUE; }
    void OnBeginPrinting(CDC* dc, CPrintInfo*) override { begun += dc != nullptr; }
    void OnPrepareDC(CDC*, CPrintInfo*) override {}
    void OnPrint(CDC* dc, CPrintInfo* info) override {
        if (static_cast<int>(info->m_nCurPage) == failOn) throw std::logic_error("OpenGL display failure");
        if (dc != nullptr) pages.push_back(static_cast<int>(info->m_nCurPage));
    }
    void OnEndPrinting(CDC*, CPrintInfo*) override { ++ended; }
    void OnEndPrintPreview(CDC*, CPrintInfo*) override {}
};

}  // namespace

TEST(GuiWxDC, PrintoutHandsEachPageToTheView) {
    initWx();
    CountingClient client;
    CPrintInfo info;
    info.SetMaxPage(3);
    CWxPrintout printout(client, info, false);
    int minPage = 0, maxPage = 0, from = 0, to = 0;
    printout.GetPageInfo(&minPage, &maxPage, &from, &to);
    EXPECT_EQ(minPage, 1);
    EXPECT_EQ(maxPage, 3);
    EXPECT_TRUE(printout.HasPage(3));
    EXPECT_FALSE(printout.HasPage(4));
    wxBitmap bitmap(50, 50, 24);
    wxMemoryDC memory(bitmap);
    printout.SetDC(&memory);
    printout.SetPPIPrinter(300, 300);
    printout.SetPageSizePixels(50, 50);
    printout.OnBeginPrinting();
    for (int p = 1; printout.HasPage(p); ++p) EXPECT_TRUE(printout.OnPrintPage(p));
    printout.OnEndPrinting();
    EXPECT_EQ(client.begun, 1);
    EXPECT_EQ(client.pages, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(client.ended, 1);

    // A page that throws is reported and ends the job; nothing escapes.
    Hooks::reset();
    client.failOn = 2;
    client.pages.clear();
    CPrintInfo failing;
    failing.SetMaxPage(3);
    CWxPrintout second(client, failing, false);
    second.SetDC(&memory);
    for (int p = 1; second.HasPage(p); ++p) second.OnPrintPage(p);
    EXPECT_EQ(client.pages, (std::vector<int>{1}));
    ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
    EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"OpenGL display failure"));
}
