// Layout and handlers of the main dialog.
#include "pashwell/ui/CPashwellDlg.h"

#include "pashwell/convert/JournalConverter.h"
#include "pashwell/ui/CAboutDlg.h"

#include <wx/accel.h>
#include <wx/button.h>
#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <exception>
#include <filesystem>

namespace {

// File names on Linux are bytes; the edits hold them as UTF-8 text.
std::filesystem::path toPath(const wxString& text)
{
    return std::filesystem::path(text.utf8_string());
}

} // namespace

CPashwellDlg::CPashwellDlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "Convert Log File to MATLAB input", wxDefaultPosition,
               wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER)
{
    auto* grid = new wxFlexGridSizer(3, wxSize(8, 8));
    grid->AddGrowableCol(1, 1);
    const auto label = [&](const char* text) {
        grid->Add(new wxStaticText(this, wxID_ANY, text), 0, wxALIGN_CENTER_VERTICAL);
    };
    const auto edit = [&](int id) {
        auto* control = new wxTextCtrl(this, id, wxEmptyString, wxDefaultPosition,
                                       wxSize(360, -1));
        grid->Add(control, 1, wxEXPAND);
        return control;
    };

    label("Quenholt Log file");
    logFile_ = edit(IDC_LOGFILE);
    grid->Add(new wxButton(this, IDC_BROWSE_LOGFILE, "Browse ..."));
    label("Output Folder for MATLAB File");
    folder_ = edit(IDC_FOLDER);
    grid->Add(new wxButton(this, IDC_BROWSE_FOLDER, "Browse ..."));
    label("MATLAB FileName");
    fileName_ = edit(IDC_FILENAME);
    grid->AddSpacer(0);

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(grid, 1, wxEXPAND | wxALL, 12);
    column->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, 8);
    SetSizerAndFit(column);

    Bind(wxEVT_BUTTON, &CPashwellDlg::OnBrowseLogFile, this, IDC_BROWSE_LOGFILE);
    Bind(wxEVT_BUTTON, &CPashwellDlg::OnBrowseFolder, this, IDC_BROWSE_FOLDER);
    Bind(wxEVT_BUTTON, &CPashwellDlg::OnOK, this, wxID_OK);
    // There is no system menu to extend here: the about box is reached
    // through F1 and the dialog's context menu.
    Bind(wxEVT_MENU, &CPashwellDlg::OnAbout, this, wxID_ABOUT);
    Bind(wxEVT_CONTEXT_MENU, &CPashwellDlg::OnContextMenu, this);
    wxAcceleratorEntry about(wxACCEL_NORMAL, WXK_F1, wxID_ABOUT);
    SetAcceleratorTable(wxAcceleratorTable(1, &about));

    CentreOnScreen();
}

void CPashwellDlg::ReportFailure(const wxString& text)
{
    wxMessageBox(text, "Pashwell", wxOK | wxICON_ERROR, this);
}

void CPashwellDlg::OnBrowseLogFile(wxCommandEvent&)
{
    wxFileDialog dialog(this, wxFileSelectorPromptStr, wxEmptyString, wxEmptyString,
                        wxFileSelectorDefaultWildcardStr, wxFD_OPEN);
    if (dialog.ShowModal() == wxID_OK)
        logFile_->SetValue(dialog.GetPath());
}

void CPashwellDlg::OnBrowseFolder(wxCommandEvent&)
{
    wxDirDialog dialog(this, "Set folder for output", folder_->GetValue(),
                       wxDD_DEFAULT_STYLE | wxDD_NEW_DIR_BUTTON);
    if (dialog.ShowModal() == wxID_OK)
        folder_->SetValue(dialog.GetPath());
}

void CPashwellDlg::OnOK(wxCommandEvent&)
{
    const std::filesystem::path journal = toPath(logFile_->GetValue());
    const std::filesystem::path script = toPath(folder_->GetValue()) / toPath(fileName_->GetValue());
    std::string failure;
    try {
        const auto status = pashwell::convertJournal(journal, script);
        failure = pashwell::conversionFailureText(status, journal, script);
    } catch (const std::exception& e) {
        failure = e.what();
    }
    if (failure.empty())
        EndModal(wxID_OK);
    else
        ReportFailure(wxString::FromUTF8(failure));
}

void CPashwellDlg::OnAbout(wxCommandEvent&)
{
    CAboutDlg(this).ShowModal();
}

void CPashwellDlg::OnContextMenu(wxContextMenuEvent&)
{
    wxMenu menu;
    menu.Append(wxID_ABOUT, "&About Pashwell...");
    PopupMenu(&menu);
}
