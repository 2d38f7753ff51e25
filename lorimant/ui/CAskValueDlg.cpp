// The value dialog's window.
#include "lorimant/ui/CAskValueDlg.h"

#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

CAskValueDlg::CAskValueDlg(wxWindow* parent) : CDialog(IDD, parent, "Value") {}

void CAskValueDlg::CreateControls() {
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(AddLabel(IDC_PROMPT, "Insert Question Here"), 0, wxEXPAND | wxALL, 10);
  wxTextCtrl* value = AddEdit(IDC_VALUE);
  value->SetMinSize(wxSize(220, -1));
  top->Add(value, 0, wxEXPAND | wxLEFT | wxRIGHT, 10);
  top->Add(MakeOkCancelRow(), 0, wxEXPAND | wxALL, 5);
  SetSizer(top);
}

BOOL CAskValueDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  static_cast<wxStaticText*>(GetDlgItem(IDC_PROMPT))->Wrap(kPromptWrapWidth);
  return TRUE;
}
