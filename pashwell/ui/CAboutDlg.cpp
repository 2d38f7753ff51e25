// The about box: the program's name and version and an OK button.
#include "pashwell/ui/CAboutDlg.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

CAboutDlg::CAboutDlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "About Pashwell")
{
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(new wxStaticText(this, wxID_ANY, "Pashwell, Version 1.0"), 0, wxALL, 16);
    column->Add(CreateStdDialogButtonSizer(wxOK), 0, wxALIGN_RIGHT | wxALL, 8);
    SetSizerAndFit(column);
    CentreOnParent();
}
