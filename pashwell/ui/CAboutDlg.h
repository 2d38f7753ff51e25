// The about box of Pashwell.
#pragma once

#include <wx/dialog.h>

class CAboutDlg : public wxDialog {
public:
    // Builds the modal about box ("About Pashwell") over `parent`.
    explicit CAboutDlg(wxWindow* parent);
};
