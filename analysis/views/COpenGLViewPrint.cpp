// The OpenGL view's share of printing: the device test, the page header and
// footer, and the clean-up after printing and preview.
#include "analysis/views/COpenGLView.h"
#include "analysis/views/CPrintInfoDlg.h"
#include "platform/gdi/CDC.h"

BOOL COpenGLView::getDeviceCharacteristics(CDC* dc) {
    if (dc == nullptr) return FALSE;
    const int caps = dc->GetDeviceCaps(RASTERCAPS);
    if (caps & RC_STRETCHBLT) bStretchBlt = true;
    if (caps & RC_STRETCHDIB) bStretchDIBits = true;
    if (!bStretchBlt && !bStretchDIBits) return FALSE;
    const CDC* device = dc->attributeDC();
    m_xPixelsPerInch = device->GetDeviceCaps(LOGPIXELSX);
    m_yPixelsPerInch = device->GetDeviceCaps(LOGPIXELSY);
    return TRUE;
}

void COpenGLView::OnBeginPrinting(CDC* dc, CPrintInfo* info) {
    if (!getDeviceCharacteristics(dc)) {
        CString text;
        text.Format(L"Output device '%s' does not support required functions!",
                    info != nullptr ? info->m_deviceName.GetString() : L"");
        message(text, L"");
    }
    defineFonts(dc);
}

void COpenGLView::OnEndPrinting(CDC* /*dc*/, CPrintInfo* /*info*/) {
    deleteFonts();
    releasePicture();
}

void COpenGLView::OnEndPrintPreview(CDC* /*dc*/, CPrintInfo* /*info*/) {
    releasePicture();
    if (m_pHost != nullptr) m_pHost->endPrintPreview();
}

void COpenGLView::OnFilePrintPreview() {
    if (m_pHost == nullptr || !m_pHost->printPreview(this)) message(L"Command failed.", L"");
}

namespace {

CString pageTitle(const CString& title1, const CString& title2) {
    CString title;
    title.Format(L"%s %s", title1.GetString(), title2.GetString());
    return title;
}

}  // namespace

void COpenGLView::printPageHeader(CDC* dc) {
    m_printY = 0;
    if (m_pPrintInfo == nullptr || m_pPrintInfo->m_titleLocation != CPrintInfoDlg::Top) return;
    titleBlock(dc, 360, -1800, pageTitle(m_title1, m_title2), m_pPrintInfo);
    m_printY = -titleHeight(dc);
}

void COpenGLView::printPageFooter(CDC* dc, int page, int pages) {
    if (dc == nullptr) return;
    if (m_pPrintInfo != nullptr && m_pPrintInfo->m_titleLocation == CPrintInfoDlg::Bottom)
        titleBlock(dc, 360, -14800, pageTitle(m_title1, m_title2), m_pPrintInfo);
    dc->SelectObject(&m_bodyFont);
    CString text;
    text.Format(L"Page %d of %d", page, pages);
    const int width = dc->GetTextExtent(text).cx;
    // Left-aligned on the baseline whatever the title block left set, so
    // that the text really ends at the right edge.
    dc->SetTextAlign(TA_LEFT | TA_BASELINE);
    dc->TextOut(10900 - width, -14958, text);
}
