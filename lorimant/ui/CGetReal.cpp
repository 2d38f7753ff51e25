// The number-with-bounds dialog's window.
#include "lorimant/ui/CGetReal.h"

#include <wx/sizer.h>
#include <wx/textctrl.h>

CGetReal::CGetReal(wxWindow* parent) : CDialog(IDD, parent, "Floating Point Value") {}

void CGetReal::CreateControls() {
  auto* grid = new wxFlexGridSizer(2, wxSize(0, 0));
  grid->AddGrowableCol(1);
  AddLabelledEdit(grid, IDC_VALUE, "Enter Value")->SetMinSize(wxSize(180, -1));
  AddLabelledEdit(grid, IDC_LOWER, "Lower\nBound", wxTE_READONLY);
  AddLabelledEdit(grid, IDC_UPPER, "Upper\nBound", wxTE_READONLY);
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(grid, 1, wxEXPAND | wxALL, 5);
  top->Add(MakeOkCancelRow(), 0, wxEXPAND | wxALL, 5);
  SetSizer(top);
}

BOOL CGetReal::OnInitDialog() {
  CDialog::OnInitDialog();
  FocusControl(IDC_VALUE, true);
  return FALSE;
}
