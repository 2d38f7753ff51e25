// The text dialog's window.
#include "lorimant/ui/CGetStringDlg.h"

#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

CGetStringDlg::CGetStringDlg(wxWindow* parent) : CDialog(IDD, parent, wxEmptyString) {}

void CGetStringDlg::CreateControls() {
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(AddLabel(IDC_PROMPT, "String Caption"), 0, wxEXPAND | wxALL, 10);
  wxTextCtrl* answer = AddEdit(IDC_ANSWER);
  answer->SetMinSize(wxSize(260, -1));
  top->Add(answer, 0, wxEXPAND | wxLEFT | wxRIGHT, 10);
  top->Add(MakeOkCancelRow(), 0, wxEXPAND | wxALL, 5);
  SetSizer(top);
}

BOOL CGetStringDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  static_cast<wxStaticText*>(GetDlgItem(IDC_PROMPT))->Wrap(kPromptWrapWidth);
  return TRUE;
}
