// The view base of the program's views: the window it lives in (through a
// view host), its pixel size and aspect ratio, the viewport origin, the
// output device's resolution, and everything printed report pages need that
// has nothing to do with OpenGL: print fonts and line heights, a print
// cursor that moves down the page, text, number and name/value output, the
// framed title block, the material table, the printable page, and the
// captured picture that reports and the embedded picture show.
//
// Page output is in MM_TWIPS (1440 per inch, y up: the print cursor runs
// through negative values down the page); ruled lines end at x = 10900.
#pragma once

#include <ctime>
#include <functional>

#include "platform/core/CObject.h"
#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"
#include "platform/gdi/CPrintInfo.h"
#include "platform/gdi/Gdi.h"

class CDC;
class CMetal;
class CPrintInfoDlg;
class CViewHost;

class CBaseViewer : public CObject, public CPrintClient {
    DECLARE_DYNCREATE(CBaseViewer)

public:
    CBaseViewer() = default;
    // Releases the fonts, pens and brush.
    ~CBaseViewer() override;
    CBaseViewer(const CBaseViewer&) = delete;
    CBaseViewer& operator=(const CBaseViewer&) = delete;

    // Attaches the window that shows the view (null: none; not owned).
    void setHost(CViewHost* host) { m_pHost = host; }
    // The window that shows the view, or null.
    CViewHost* host() const { return m_pHost; }

    // Draws the view on a device context; empty here.
    virtual void OnDraw(CDC* dc);
    // Fits the camera to the model; empty here, the derived views fit.
    virtual void fullView();
    // The document changed: the base repaints the whole window (with erase).
    virtual void OnUpdate(CBaseViewer* sender, LONG_PTR hint, CObject* hintObject);

    // ---- printing, as the print and preview windows call it ----
    // The print dialog through the host; FALSE (cancelled) without one.
    BOOL OnPreparePrinting(CPrintInfo* info) override;
    // Nothing here; the derived views define their fonts.
    void OnBeginPrinting(CDC* dc, CPrintInfo* info) override;
    // The DC becomes the print DC.
    void OnPrepareDC(CDC* dc, CPrintInfo* info) override;
    // Draws the page: OnDraw.
    void OnPrint(CDC* dc, CPrintInfo* info) override;
    // Nothing here.
    void OnEndPrinting(CDC* dc, CPrintInfo* info) override;
    // Nothing here.
    void OnEndPrintPreview(CDC* dc, CPrintInfo* info) override;

    // ---- fonts and the print cursor ----
    // Creates the small, body, heading, display and rotated fonts, puts the
    // DC in MM_TWIPS and measures the three line heights (character height
    // plus external leading); the body height := body lines x body line height.
    void defineFonts(CDC* dc);
    // Deletes the fonts, the seven pens and the brush.
    void deleteFonts();
    // 6 heading line heights + 2 title spacings.
    int titleHeight(CDC* dc) const;
    // Moves the print cursor down by the line height of the font selected in
    // the DC (heading, body, else small) and adds it to the line total.
    void nextLine(CDC* dc);

    // ---- output at the print cursor ----
    // v at (x, cursor): "0." below 1e-8 in size, "Inf" above 1e12, else "%g".
    void numberOut(CDC* dc, int x, double v);
    // s at (x, cursor).
    void stringOut(CDC* dc, int x, CString s);
    // s at (864, cursor), bottom-aligned, optionally underlined to 10900; nextLine.
    void lineOut(CDC* dc, const CString& s, int underline);
    // s at (x, y) on the print DC.
    void printText(int x, int y, CString s);
    // name right-aligned at tabs[0], the value at tabs[1], body font; nextLine.
    void printNameValuePair(CDC* dc, int* tabs, CString name, double v);
    void printNameValuePair(CDC* dc, int* tabs, CString name, int v);
    // As above with a text value, of which at most its first 150 characters.
    void printNameValuePair(CDC* dc, int* tabs, CString name, CString& value);
    // On the print DC: label right-aligned at x1, text left-aligned at x2; nextLine.
    void printTextLine(double x1, double x2, CString label, CString text);
    // On the print DC: label right-aligned at x1, v at x2; nextLine.
    void printNumericLine(double x1, double x2, CString label, double v);
    // Inches to device pixels, truncated.
    int upiVert(double inches) const;
    int upiHorz(double inches) const;
    // The printable page inside a margin (inches), in device units; stored.
    CRect UserPage(CDC* dc, float margin);
    // The framed title block with its base line at y0 (left is ignored: the
    // block starts at x 864); the DC becomes the print DC and the cursor
    // goes under the block. Null settings print empty cells.
    void titleBlock(CDC* dc, int left, int y0, CString title, CPrintInfoDlg* settings);
    // The material table from y; returns the print cursor after it.
    int printMaterial(CDC* dc, int y, CMetal* metal);
    // Even rows (negative ones too): a grey band between the previous and
    // the current print cursor, from x 1100 to 10900. Odd rows: nothing.
    void highlightRow(CDC* dc, void* list, int row);
    // The local date and time, "Thu Dec 10 12:15:00 AM 2026" (12-hour clock).
    static void dateTime(CString& out);
    // Where dateTime reads the local time (the system clock by default;
    // tests put a fixed time here).
    static std::function<std::tm()> localTime;

    // ---- the captured picture ----
    // The current OpenGL viewport as a 24-bit bottom-up bitmap (rows
    // padded to 4 bytes); *out receives its 40-byte header. Null (nothing
    // allocated) without a viewport or memory. Free both with freeDIB.
    BYTE* ReadDIBitmap(BITMAPINFO** out);
    // Frees the picture held and captures a new one.
    void readDIB();
    // Reads a BMP file: *out the header block, the result the pixel rows
    // (rows padded to 4 bytes). Null on any failure, nothing allocated.
    static BYTE* LoadDIBitmap(const char* fileName, BITMAPINFO** out);
    // A copy of the rows with red and blue exchanged (24-bit, uncompressed,
    // bottom-up only; otherwise zero-filled); null without memory. Free
    // with freeDIB.
    static BYTE* ConvertRGB(BITMAPINFO* info, BYTE* bits);
    // Frees a block of ReadDIBitmap, LoadDIBitmap or ConvertRGB.
    static void freeDIB(void* block);
    // Frees and forgets the held picture.
    static void releasePicture();
    // The picture on a page, scaled to its width (or height), its top y
    // inches down; *nextY the inch under it.
    void splatImage(CDC* dc, double* y, double* nextY);
    // The picture stretched into the embedded-object picture.
    void splatMetaFile(CDC* dc);

    // The picture captured for reports and the embedded picture, shared by
    // all views (null while none is held), and its pixel rows.
    static BITMAPINFO* pBitmapInfo;
    static BYTE* pBitmapBits;
    // The output device can stretch a device-dependent or an independent
    // bitmap; once set they stay set.
    static bool bStretchBlt;
    static bool bStretchDIBits;

protected:
    CViewHost* m_pHost = nullptr;
    int m_smallLineHeight = 0;    // twips: character height + external leading
    int m_bodyLineHeight = 0;
    int m_headingLineHeight = 0;
    int m_titleSpacing = 100;
    CFont m_smallFont;
    CFont m_bodyFont;
    CFont m_headingFont;
    CFont m_displayFont;
    CFont m_rotatedFont;
    CPen m_pens[7];               // created by the derived views
    CBrush m_brush;
    int m_yPixelsPerInch = 0;     // of the current output device
    int m_xPixelsPerInch = 0;
    int m_width = 0;              // the view in pixels
    int m_height = 0;
    int m_viewportX = 0;          // origin of the OpenGL viewport
    int m_viewportY = 0;
    float m_ratio = 0.0f;         // height / width
    TEXTMETRIC m_bodyMetrics;
    TEXTMETRIC m_headingMetrics;
    TEXTMETRIC m_smallMetrics;
    int m_printY = 0;             // the print cursor and where it was
    int m_printYPrevious = 0;
    int m_lineTotal = 0;          // sum of the advances of nextLine
    int m_bodyLineCount = 0;
    int m_bodyHeight = 0;
    CRect m_userPage;
    CDC* m_pDC = nullptr;         // the DC output goes to (the print DC)

private:
    CPen m_titlePen;              // the blue rules of the title block
    // The DC for output "on the print DC": the print DC, else the one given.
    CDC* printDC(CDC* fallback) const { return m_pDC != nullptr ? m_pDC : fallback; }
    void numberColumn(CDC* dc, int* tabs, const CString& name, double v);
};
