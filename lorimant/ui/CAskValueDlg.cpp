// The value dialog's window.
#include "lorimant/ui/CAskValueDlg.h"

CAskValueDlg::CAskValueDlg(wxWindow* parent) : CDialog(IDD, parent, "Value") {}

void CAskValueDlg::CreateControls() { LayOutQuestion(IDC_PROMPT, "Insert Question Here", IDC_VALUE, 220); }

BOOL CAskValueDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  WrapQuestion(IDC_PROMPT);
  return TRUE;
}
