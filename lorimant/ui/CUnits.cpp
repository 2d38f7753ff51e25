// The unit-system dialog's window.
#include "lorimant/ui/CUnits.h"

#include <wx/button.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>

CUnits::CUnits(wxWindow* parent) : CDialog(IDD, parent, "Units") {}

void CUnits::CreateControls() {
  auto* group = new wxStaticBoxSizer(wxVERTICAL, this, "Units");
  wxWindow* box = group->GetStaticBox();
  group->Add(AddRadio(IDC_SI, "SI (cm,KPa)", true, box), 0, wxALL, 5);
  group->Add(AddRadio(IDC_USCS, "USCS (in,lbf)", false, box), 0, wxALL, 5);
  auto* top = new wxBoxSizer(wxHORIZONTAL);
  top->Add(group, 1, wxEXPAND | wxALL, 10);
  top->Add(AddButton(IDOK, "OK"), 0, wxALIGN_TOP | wxTOP | wxRIGHT, 18);
  SetDefaultButton(IDOK);
  SetSizer(top);
}

void CUnits::OnOK() {
  if (UpdateData(TRUE) && SelectionMade()) EndDialog(IDOK);
}
