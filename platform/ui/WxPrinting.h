// Printing and print preview of a view's pages through wxWidgets: the
// print dialog, a printout that hands each page to the view as a CDC, and
// the preview frame. The views implement CPrintClient and stay wx-free.
#pragma once

#include <wx/cmndata.h>
#include <wx/prntbase.h>

#include "platform/gdi/CPrintInfo.h"

class wxWindow;

// A wx printout over a view: pages from the job's range, each drawn by the
// view on a CWxDC in printer pixels (scaled to the screen in a preview).
class CWxPrintout : public wxPrintout {
public:
    // The view and the job (neither owned; both outlive the printout).
    CWxPrintout(CPrintClient& client, CPrintInfo& info, bool preview);

    void GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) override;
    bool HasPage(int page) override;
    void OnBeginPrinting() override;
    bool OnPrintPage(int page) override;
    void OnEndPrinting() override;

private:
    CPrintClient& m_client;
    CPrintInfo& m_info;
    bool m_preview;
};

// The program's paper, orientation and printer: what the page set-up
// chooses and the print jobs start from.
wxPrintData& ProgramPrintData();

// The print dialog for the job: the chosen range and printer go into the
// job and into data; false when the user cancels.
bool wxPreparePrinting(wxWindow* parent, wxPrintDialogData& data, CPrintInfo* info);
// Prints the job's pages on the printer of data without asking again;
// false when printing fails or is cancelled.
bool wxPrintPages(wxWindow* parent, wxPrintDialogData& data, CPrintClient& client, CPrintInfo& info);
// Opens the print preview frame of the view's pages; the view's
// OnEndPrintPreview runs when the frame closes. False when the preview
// cannot be made (no printer set up).
bool wxShowPrintPreview(wxWindow* parent, CPrintClient& client);
