// The mesh parameters and local size control windows.
#include "lorimant/ui/MeshDialogWindows.h"

#include <wx/arrstr.h>
#include <wx/button.h>
#include <wx/stattext.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

namespace {
constexpr int kBoxWidth = 120;
}  // namespace

CShapeAnalysisMeshDlgWindow::CShapeAnalysisMeshDlgWindow(wxWindow* parent)
    : CDialog(CShapeAnalysisMeshDlg::IDD, parent, "2D Meshing") {}

void CShapeAnalysisMeshDlgWindow::CreateControls() {
  auto* grid = new wxFlexGridSizer(2, wxSize(0, 0));
  grid->AddGrowableCol(1);
  AddLabelledEdit(grid, IDC_NODES, "Number Nodes")->SetMinSize(wxSize(kBoxWidth, -1));
  AddLabelledEdit(grid, IDC_THICKNESS, "Thickness of Material");
  AddLabelledEdit(grid, IDC_TOLERANCE, "Chord Height Tolerance");
  wxArrayString types;
  for (const wchar_t* t : kElementTypes) types.Add(t);
  grid->Add(AddLabel(wxID_STATIC, "Elememt Type"), 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
  grid->Add(AddCombo(IDC_ELEMENT_TYPE, types, false), 1, wxEXPAND | wxALL, 5);
  // The last value travels with the dialog but is never shown.
  AddEdit(IDC_LAST_VALUE)->Hide();
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->AddStretchSpacer();
  row->Add(AddButton(IDOK, "Create Mesh"), 0, wxALL, 5);
  row->Add(AddButton(IDCANCEL, "Cancel"), 0, wxALL, 5);
  SetDefaultButton(IDOK);
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(grid, 1, wxEXPAND | wxALL, 5);
  top->Add(row, 0, wxEXPAND | wxALL, 5);
  SetSizer(top);
}

BOOL CShapeAnalysisMeshDlgWindow::OnInitDialog() {
  CDialog::OnInitDialog();
  GetDlgItem(IDC_LAST_VALUE)->Hide();
  SetCurSel(IDC_ELEMENT_TYPE, 0);
  return TRUE;
}

void CShapeAnalysisMeshDlgWindow::OnOK() {
  if (!UpdateData(TRUE) || !AcceptNodeCount()) return;
  m_elementType = GetCurSel(IDC_ELEMENT_TYPE);
  EndDialog(IDOK);
}

CLocalControlDlgWindow::CLocalControlDlgWindow(wxWindow* parent)
    : CDialog(CLocalControlDlg::IDD, parent, "Apply Local Control") {}

void CLocalControlDlgWindow::CreateControls() {
  auto* grid = new wxFlexGridSizer(2, wxSize(0, 0));
  grid->AddGrowableCol(1);
  AddLabelledEdit(grid, IDC_SIZE, "Length of Triangle Edge")->SetMinSize(wxSize(kBoxWidth, -1));
  AddLabelledEdit(grid, IDC_RADIUS, "Radius of Effect");
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(grid, 1, wxEXPAND | wxALL, 5);
  top->Add(MakeOkCancelRow(), 0, wxEXPAND | wxALL, 5);
  SetSizer(top);
}

bool RunMeshDialog(wxWindow* parent, MeshParameters& parameters) {
  CShapeAnalysisMeshDlgWindow dialog(parent);
  if (dialog.DoModal() != IDOK) return false;
  parameters.nodes = dialog.m_nodes;
  parameters.thickness = dialog.m_thickness;
  parameters.tolerance = dialog.m_tolerance;
  parameters.lastValue = dialog.m_lastValue;
  parameters.elementType = dialog.m_elementType;
  return true;
}

bool RunLocalControlDialog(wxWindow* parent, double& size, double& radius) {
  CLocalControlDlgWindow dialog(parent);
  if (dialog.DoModal() != IDOK) return false;
  size = dialog.m_size;
  radius = dialog.m_radius;
  return true;
}
