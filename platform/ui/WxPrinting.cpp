// Printing and print preview through wxWidgets.
#include "platform/ui/WxPrinting.h"

#include <wx/dc.h>
#include <wx/frame.h>
#include <wx/print.h>
#include <wx/printdlg.h>

#include <memory>

#include "platform/core/Exceptions.h"
#include "platform/core/Hooks.h"
#include "platform/ui/CWxDC.h"

CWxPrintout::CWxPrintout(CPrintClient& client, CPrintInfo& info, bool preview)
    : wxPrintout(wxT("Lorimant")), m_client(client), m_info(info), m_preview(preview) {}

void CWxPrintout::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) {
    *minPage = *pageFrom = static_cast<int>(m_info.GetMinPage());
    *maxPage = *pageTo = static_cast<int>(m_info.GetMaxPage());
}

bool CWxPrintout::HasPage(int page) {
    return page >= static_cast<int>(m_info.GetMinPage()) && page <= static_cast<int>(m_info.GetMaxPage()) &&
           m_info.m_bContinuePrinting;
}

namespace {

// The device a printout draws on: the printer's resolution and page.
CWxDC::Device printerDevice(wxPrintout& printout, bool preview) {
    CWxDC::Device device;
    printout.GetPPIPrinter(&device.ppiX, &device.ppiY);
    int w = 0, h = 0;
    printout.GetPageSizePixels(&w, &h);
    device.page = wxSize(w, h);
    device.paper = printout.GetPaperRectPixels();
    device.preview = preview;
    device.printing = true;
    return device;
}

// Runs a step of the view's page output; what it throws is shown (nothing
// may escape into the toolkit's print loop) and ends the job.
template <class F>
bool guarded(CPrintInfo& info, F step) {
    CString text;
    try {
        step();
        return true;
    } catch (const std::exception& e) {
        text = CString(e.what());
    } catch (const CException& e) {
        text = e.ErrorText();
    } catch (const char* e) {
        text = CString(e);
    } catch (const wchar_t* e) {
        text = CString(e);
    }
    info.m_bContinuePrinting = FALSE;
    Hooks::messageBox(text, CString(), MB_OK | MB_ICONSTOP);
    return false;
}

}  // namespace

void CWxPrintout::OnBeginPrinting() {
    wxDC* dc = GetDC();
    if (dc == nullptr) return;
    CWxDC cdc(*dc, printerDevice(*this, m_preview));
    m_info.m_bPreview = m_preview ? TRUE : FALSE;
    guarded(m_info, [&] { m_client.OnBeginPrinting(&cdc, &m_info); });
}

bool CWxPrintout::OnPrintPage(int page) {
    wxDC* dc = GetDC();
    if (dc == nullptr) return false;
    CWxDC cdc(*dc, printerDevice(*this, m_preview));
    m_info.m_nCurPage = static_cast<UINT>(page);
    return guarded(m_info, [&] {
               m_client.OnPrepareDC(&cdc, &m_info);
               m_client.OnPrint(&cdc, &m_info);
           }) &&
           m_info.m_bContinuePrinting != FALSE;
}

void CWxPrintout::OnEndPrinting() {
    wxDC* dc = GetDC();
    if (dc == nullptr) {
        guarded(m_info, [&] { m_client.OnEndPrinting(nullptr, &m_info); });
        return;
    }
    CWxDC cdc(*dc, printerDevice(*this, m_preview));
    guarded(m_info, [&] { m_client.OnEndPrinting(&cdc, &m_info); });
}

wxPrintData& ProgramPrintData() {
    static wxPrintData data;
    return data;
}

bool wxPreparePrinting(wxWindow* parent, wxPrintDialogData& data, CPrintInfo* info) {
    if (info == nullptr) return false;
    data.SetMinPage(static_cast<int>(info->GetMinPage()));
    data.SetMaxPage(static_cast<int>(info->GetMaxPage()));
    data.SetFromPage(static_cast<int>(info->GetMinPage()));
    data.SetToPage(static_cast<int>(info->GetMaxPage()));
    wxPrintDialog dialog(parent, &data);
    if (dialog.ShowModal() != wxID_OK) return false;
    data = dialog.GetPrintDialogData();
    info->SetMinPage(static_cast<UINT>(data.GetFromPage()));
    info->SetMaxPage(static_cast<UINT>(data.GetToPage()));
    info->m_deviceName = CString(data.GetPrintData().GetPrinterName().wc_str());
    return true;
}

bool wxPrintPages(wxWindow* parent, wxPrintDialogData& data, CPrintClient& client, CPrintInfo& info) {
    wxPrinter printer(&data);
    CWxPrintout printout(client, info, false);
    return printer.Print(parent, &printout, false);
}

namespace {

// The preview's printout and job, alive as long as its frame; the view
// hears when the frame closes.
class PreviewFrame : public wxPreviewFrame {
public:
    PreviewFrame(wxPrintPreview* preview, wxWindow* parent, CPrintClient& client, std::unique_ptr<CPrintInfo> info)
        : wxPreviewFrame(preview, parent, wxT("Print Preview")), m_client(client), m_info(std::move(info)) {
        Bind(wxEVT_CLOSE_WINDOW, &PreviewFrame::onClose, this);
    }

private:
    void onClose(wxCloseEvent& event) {
        guarded(*m_info, [&] { m_client.OnEndPrintPreview(nullptr, m_info.get()); });
        event.Skip();
    }
    CPrintClient& m_client;
    std::unique_ptr<CPrintInfo> m_info;
};

}  // namespace

bool wxShowPrintPreview(wxWindow* parent, CPrintClient& client) {
    auto info = std::make_unique<CPrintInfo>();
    info->m_bPreview = TRUE;
    if (!client.OnPreparePrinting(info.get())) return false;
    auto* preview = new wxPrintPreview(new CWxPrintout(client, *info, true), new CWxPrintout(client, *info, false));
    if (!preview->IsOk()) {
        delete preview;
        return false;
    }
    auto* frame = new PreviewFrame(preview, parent, client, std::move(info));
    frame->Initialize();
    frame->Show();
    return true;
}
