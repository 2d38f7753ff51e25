// The point dialog's window.
#include "lorimant/ui/C2dPoint.h"

#include <wx/sizer.h>

C2dPoint::C2dPoint(wxWindow* parent) : CDialog(IDD, parent, wxEmptyString) {}

void C2dPoint::CreateControls() {
  auto* grid = new wxFlexGridSizer(2, wxSize(0, 0));
  grid->AddGrowableCol(1);
  AddLabelledEdit(grid, IDC_X, "X");
  AddLabelledEdit(grid, IDC_Y, "Y");
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(grid, 1, wxEXPAND | wxALL, 5);
  top->Add(MakeOkCancelRow(), 0, wxEXPAND | wxALL, 5);
  SetSizer(top);
}

BOOL C2dPoint::OnInitDialog() {
  CDialog::OnInitDialog();
  FocusControl(IDC_X, true);
  return FALSE;
}
