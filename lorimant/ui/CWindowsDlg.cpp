// The windows dialog's window.
#include "lorimant/ui/CWindowsDlg.h"

#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/sizer.h>

CWindowsDlg::CWindowsDlg(wxWindow* parent) : CDialog(IDD, parent, "Windows") {}

void CWindowsDlg::CreateControls() {
  auto* list = new wxListBox(this, IDC_WINDOWS, wxDefaultPosition, wxSize(320, 180));
  list->Bind(wxEVT_LISTBOX_DCLICK, [this](wxCommandEvent&) { OnOK(); });
  auto* buttons = new wxBoxSizer(wxVERTICAL);
  buttons->Add(AddButton(IDOK, "Activate"), 0, wxEXPAND | wxBOTTOM, 5);
  buttons->Add(AddButton(IDCANCEL, "Cancel"), 0, wxEXPAND);
  SetDefaultButton(IDOK);
  auto* top = new wxBoxSizer(wxHORIZONTAL);
  top->Add(list, 1, wxEXPAND | wxALL, 10);
  top->Add(buttons, 0, wxTOP | wxRIGHT | wxBOTTOM, 10);
  SetSizer(top);
}

BOOL CWindowsDlg::OnInitDialog() {
  auto* list = static_cast<wxListBox*>(GetDlgItem(IDC_WINDOWS));
  list->Clear();
  for (const CString& title : m_windows) list->Append(wxString(title.GetString()));
  return CDialog::OnInitDialog();
}
