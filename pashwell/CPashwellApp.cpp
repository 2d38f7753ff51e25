// Start-up of Pashwell: one modal dialog, then the program ends.
#include "pashwell/CPashwellApp.h"

#include "pashwell/ui/CPashwellDlg.h"

#include <wx/msgdlg.h>

#include <exception>

bool CPashwellApp::OnInit()
{
    if (!wxApp::OnInit())
        return false;
    CPashwellDlg dialog(nullptr);
    dialog.ShowModal();
    return true;
}

int CPashwellApp::OnRun()
{
    return 0;
}

bool CPashwellApp::OnExceptionInMainLoop()
{
    wxString text = "Unknown error";
    try {
        throw;
    } catch (const std::exception& e) {
        text = wxString::FromUTF8(e.what());
    } catch (...) {
    }
    wxMessageBox(text, "Pashwell", wxOK | wxICON_ERROR);
    return true;
}
