// The print information dialog's window.
#include "lorimant/ui/CPrintInfoDialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>

#include <functional>

namespace {

// A column of title-block cells: label box and value box side by side.
wxSizer* cellColumn(int first, int last, const std::function<wxTextCtrl*(int id)>& edit) {
  auto* grid = new wxFlexGridSizer(2, wxSize(4, 4));
  grid->AddGrowableCol(1);
  for (int i = first; i <= last; ++i) {
    wxTextCtrl* label = edit(CPrintInfoForm::kLabelIds[i]);
    label->SetMinSize(wxSize(130, -1));
    grid->Add(label, 0, wxEXPAND);
    wxTextCtrl* value = edit(CPrintInfoForm::kValueIds[i]);
    value->SetMinSize(wxSize(170, -1));
    grid->Add(value, 1, wxEXPAND);
  }
  return grid;
}

}  // namespace

CPrintInfoDialog::CPrintInfoDialog(CPrintInfoDlg& info, wxWindow* parent)
    : CDialog(IDD, parent, "Print Information"), CPrintInfoForm(info) {}

void CPrintInfoDialog::CreateControls() {
  auto edit = [this](int id) { return AddEdit(id); };

  auto* cells = new wxStaticBoxSizer(wxHORIZONTAL, this, "Title Block (label, value)");
  cells->Add(cellColumn(0, 1, edit), 1, wxALIGN_TOP | wxALL, 5);
  cells->Add(cellColumn(2, 6, edit), 1, wxALIGN_TOP | wxALL, 5);

  auto* texts = new wxFlexGridSizer(2, wxSize(4, 4));
  texts->AddGrowableCol(1);
  texts->AddGrowableRow(2);
  AddLabelledEdit(texts, IDC_COMPANY, "Company");
  AddLabelledEdit(texts, IDC_PREPARED_BY, "Prepared By");
  AddLabelledEdit(texts, IDC_TITLE, "Title", wxTE_MULTILINE)->SetMinSize(wxSize(-1, 70));

  auto* location = new wxStaticBoxSizer(wxHORIZONTAL, this, "Title Location");
  wxWindow* box = location->GetStaticBox();
  location->Add(AddRadio(IDC_BOTTOM, "Bottom", true, box), 0, wxALL, 5);
  location->Add(AddRadio(IDC_TOP, "Top", false, box), 0, wxALL, 5);

  auto* options = new wxBoxSizer(wxHORIZONTAL);
  options->Add(location, 0, wxALL, 5);
  options->AddSpacer(10);
  options->Add(AddCheck(IDC_CONSTRUCTION_INFO, "Construction Info"), 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
  options->Add(AddCheck(IDC_MATERIALS, "Materials"), 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);

  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(cells, 0, wxEXPAND | wxALL, 5);
  top->Add(texts, 1, wxEXPAND | wxALL, 5);
  top->Add(options, 0, wxEXPAND | wxALL, 0);
  top->Add(MakeOkCancelRow(IDC_OK), 0, wxEXPAND | wxALL, 5);
  SetSizer(top);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnClickedOk(); }, IDC_OK);
}

BOOL CPrintInfoDialog::OnInitDialog() {
  OnInit();
  return CDialog::OnInitDialog();
}

void CPrintInfoDialog::OnClickedOk() {
  if (!UpdateData(TRUE)) return;
  WriteProfile();
  EndDialog(IDOK);
}
