// A print job as the views see it: the page range and the page being
// printed, whether it is a preview, the printable rectangle and the
// printer's name; and the interface through which the program's print and
// preview windows drive a view's page output.
#pragma once

#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"

class CDC;

class CPrintInfo {
public:
    // Pages 1 to 0xFFFF, page 1 current, not a preview.
    CPrintInfo() = default;

    UINT GetMinPage() const { return m_minPage; }
    UINT GetMaxPage() const { return m_maxPage; }
    void SetMinPage(UINT page) { m_minPage = page; }
    void SetMaxPage(UINT page) { m_maxPage = page; }

    UINT m_nCurPage = 1;         // the page being printed
    BOOL m_bPreview = FALSE;     // a print preview rather than a printer
    BOOL m_bContinuePrinting = TRUE;
    CRect m_rectDraw;            // the printable area of the page, logical units
    CString m_strPageDesc;       // the preview's page-number format
    CString m_deviceName;        // the printer's name

private:
    UINT m_minPage = 1;
    UINT m_maxPage = 0xFFFF;
};

// What a print or preview window calls, in this order: OnPreparePrinting
// once (FALSE cancels), OnBeginPrinting, per page OnPrepareDC and OnPrint,
// then OnEndPrinting (and OnEndPrintPreview after a preview).
class CPrintClient {
public:
    virtual ~CPrintClient() = default;
    virtual BOOL OnPreparePrinting(CPrintInfo* info) = 0;
    virtual void OnBeginPrinting(CDC* dc, CPrintInfo* info) = 0;
    virtual void OnPrepareDC(CDC* dc, CPrintInfo* info) = 0;
    virtual void OnPrint(CDC* dc, CPrintInfo* info) = 0;
    virtual void OnEndPrinting(CDC* dc, CPrintInfo* info) = 0;
    virtual void OnEndPrintPreview(CDC* dc, CPrintInfo* info) = 0;
};
