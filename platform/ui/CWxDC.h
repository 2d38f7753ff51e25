// The device-context layer on a wxWidgets DC: printer pages, the print
// preview and memory bitmaps of the program. Logical units are mapped to
// the wx DC's device pixels with the resolution given at construction (the
// printer's in print and preview: a preview's DC scales printer pixels to
// the screen itself).
#pragma once

#include <wx/dc.h>

#include "platform/gdi/CDC.h"

class CWxDC : public CDC {
public:
    // The device a CWxDC describes: resolution, printable size and the
    // paper in device pixels (the paper's origin lies up-left of the
    // printable area), whether it previews, and its raster capabilities.
    struct Device {
        int ppiX = 96;
        int ppiY = 96;
        wxSize page;      // printable area (HORZRES x VERTRES)
        wxRect paper;     // the paper relative to the printable area
        bool preview = false;
        bool printing = false;
    };

    // Draws on dc (not owned, must outlive this object).
    CWxDC(wxDC& dc, const Device& device);
    // A screen or memory DC: its own resolution and size.
    explicit CWxDC(wxDC& dc);

    BOOL Rectangle(int left, int top, int right, int bottom) override;
    BOOL TextOut(int x, int y, const CString& text) override;
    CSize GetTextExtent(const CString& text) const override;
    BOOL GetTextMetrics(TEXTMETRIC* out) const override;
    int GetDeviceCaps(int index) const override;
    int StretchDIBits(int x, int y, int width, int height, int srcX, int srcY, int srcWidth, int srcHeight,
                      const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) override;
    bool isPreviewDC() const override { return m_device.preview; }
    bool IsPrinting() const override { return m_device.printing; }

    // The wx font for a logical font at this DC's mapping.
    wxFont wxFontFor(const LOGFONT& font) const;

protected:
    void drawLine(CPoint from, CPoint to) override;
    void fillRect(const CRect& rect, COLORREF colour) override;

private:
    // Puts the selected font, text colour and background on the wx DC.
    void applyFont() const;
    wxPoint device(int x, int y) const;

    wxDC& m_dc;
    Device m_device;
};
