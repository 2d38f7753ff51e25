// The text dialog's window.
#include "lorimant/ui/CGetStringDlg.h"

CGetStringDlg::CGetStringDlg(wxWindow* parent) : CDialog(IDD, parent, wxEmptyString) {}

void CGetStringDlg::CreateControls() { LayOutQuestion(IDC_PROMPT, "String Caption", IDC_ANSWER, 260); }

BOOL CGetStringDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  WrapQuestion(IDC_PROMPT);
  return TRUE;
}
