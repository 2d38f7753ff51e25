// The points-at-angles dialog's window.
#include "lorimant/ui/CPtsAtAnglesDlg.h"

#include <wx/sizer.h>
#include <wx/textctrl.h>

CPtsAtAnglesDlg::CPtsAtAnglesDlg(wxWindow* parent)
    : CDialog(IDD, parent, "Evenly Distributed Points Given Radius and Start Angle End Angle") {}

void CPtsAtAnglesDlg::CreateControls() {
  auto* grid = new wxFlexGridSizer(2, wxSize(0, 0));
  grid->AddGrowableCol(1);
  AddLabelledEdit(grid, IDC_RADIUS, "Radius");
  AddLabelledEdit(grid, IDC_POINTS, "Number of Points");
  AddLabelledEdit(grid, IDC_START, "Start Angle (degrees)");
  AddLabelledEdit(grid, IDC_END, "End Angle (degrees)");
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(grid, 1, wxEXPAND | wxALL, 5);
  top->Add(MakeOkCancelRow(), 0, wxEXPAND | wxALL, 5);
  SetSizer(top);
}

void CPtsAtAnglesDlg::OnOK() {
  if (UpdateData(TRUE) && AnglesInOrder()) EndDialog(IDOK);
}
