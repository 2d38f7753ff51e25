// The main dialog of Pashwell: asks for a journal and where to write the
// MATLAB script, and converts on OK.
#pragma once

#include <wx/dialog.h>

class wxCommandEvent;
class wxContextMenuEvent;
class wxTextCtrl;

class CPashwellDlg : public wxDialog {
public:
    // Control ids of the edits and their Browse buttons.
    enum {
        IDC_LOGFILE = 1000,
        IDC_BROWSE_LOGFILE = 1001,
        IDC_FOLDER = 1002,
        IDC_BROWSE_FOLDER = 1003,
        IDC_FILENAME = 1004,
    };

    // Builds the dialog with empty edits; show it with ShowModal.
    explicit CPashwellDlg(wxWindow* parent);

protected:
    // Tells the user why a conversion failed; the dialog stays open.
    virtual void ReportFailure(const wxString& text);

private:
    void OnBrowseLogFile(wxCommandEvent& event);
    void OnBrowseFolder(wxCommandEvent& event);
    void OnOK(wxCommandEvent& event);
    void OnAbout(wxCommandEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);

    wxTextCtrl* logFile_ = nullptr;
    wxTextCtrl* folder_ = nullptr;
    wxTextCtrl* fileName_ = nullptr;
};
