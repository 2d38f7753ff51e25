// The window of the elastic bending shear dialog.
#include "lorimant/ui/CElasticBendingShear.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "lorimant/analyses/BendingDialogLogic.h"
#include "lorimant/ui/ExceptionReport.h"

namespace {

using S = BendingShearLogic;

constexpr int kNumberWidth = 110;

wxFlexGridSizer* threeColumns() {
  auto* grid = new wxFlexGridSizer(3, wxSize(6, 3));
  grid->AddGrowableCol(1);
  return grid;
}

wxSizer* grouped(wxWindow* parent, const char* title, wxSizer* inside) {
  auto* group = new wxStaticBoxSizer(wxVERTICAL, parent, title);
  group->Add(inside, 1, wxEXPAND | wxALL, 2);
  return group;
}

}  // namespace

CElasticBendingShear::CElasticBendingShear(BendingShearLogic& logic, wxWindow* parent)
    : CQHTDialogEx(logic, parent), m_shear(&logic) {}

void CElasticBendingShear::destroyWindow() {
  m_shear = nullptr;
  CQHTDialogEx::destroyWindow();
}

void CElasticBendingShear::addRow(wxSizer* grid, const char* label, int id, int unitId, bool readOnly) {
  grid->Add(new wxStaticText(this, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
  wxTextCtrl* box = AddEdit(id, readOnly ? wxTE_READONLY : 0);
  box->SetMinSize(wxSize(kNumberWidth, -1));
  grid->Add(box, 1, wxEXPAND);
  // Sized for the longest unit of either system.
  grid->Add(AddLabel(unitId, "N/cm^2"), 0, wxALIGN_CENTER_VERTICAL);
}

void CElasticBendingShear::CreateControls() {
  auto* all = new wxBoxSizer(wxVERTICAL);
  all->Add(makeBox(), 0, wxEXPAND | wxALL, 4);
  all->Add(makeShape(), 0, wxEXPAND | wxALL, 4);
  all->Add(makeFastener(), 0, wxEXPAND | wxALL, 4);
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->AddStretchSpacer();
  buttons->Add(AddButton(IDCANCEL, "Close"), 0, wxALL, 4);
  all->Add(buttons, 0, wxEXPAND);
  SetSizer(all);
  bindEvents();
}

wxSizer* CElasticBendingShear::makeBox() {
  auto* corners = new wxFlexGridSizer(5, wxSize(6, 3));
  const std::pair<int, const char*> boxes[] = {
      {S::IDC_XMIN, "x min"}, {S::IDC_YMIN, "y min"}, {S::IDC_XMAX, "x max"}, {S::IDC_YMAX, "y max"}};
  for (size_t i = 0; i < 4; ++i) {
    corners->Add(new wxStaticText(this, wxID_ANY, boxes[i].second), 0, wxALIGN_CENTER_VERTICAL);
    wxTextCtrl* box = AddEdit(boxes[i].first);
    box->SetMinSize(wxSize(80, -1));
    corners->Add(box, 0);
    if (i == 1) corners->Add(AddLabel(S::IDC_UNIT_BOX, "cm"), 0, wxALIGN_CENTER_VERTICAL);
  }
  corners->AddSpacer(0);
  auto* grid = threeColumns();
  addRow(grid, "Vertical Shear Force (V)", S::IDC_V, S::IDC_UNIT_V);
  addRow(grid, "Width of Shear Area (b)", S::IDC_B, S::IDC_UNIT_B);
  addRow(grid, "Q", S::IDC_BOX_Q, S::IDC_UNIT_BOX_Q, true);
  addRow(grid, "Shear Stress", S::IDC_BOX_STRESS, S::IDC_UNIT_BOX_STRESS, true);
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(corners, 0, wxBOTTOM, 4);
  column->Add(AddButton(S::IDC_COMPUTE, "Compute Q and Stress"), 0, wxBOTTOM, 4);
  column->Add(grid, 0, wxEXPAND);
  return grouped(this, "Box Area", column);
}

wxSizer* CElasticBendingShear::makeShape() {
  auto* grid = threeColumns();
  grid->Add(new wxStaticText(this, wxID_ANY, "Shape"), 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(AddEdit(S::IDC_SHAPE_NAME, wxTE_READONLY), 1, wxEXPAND);
  grid->AddSpacer(0);
  addRow(grid, "Q", S::IDC_SHAPE_Q, S::IDC_UNIT_SHAPE_Q, true);
  addRow(grid, "Shear Stress", S::IDC_SHAPE_STRESS, S::IDC_UNIT_SHAPE_STRESS, true);
  return grouped(this, "Shape Picked in the View", grid);
}

wxSizer* CElasticBendingShear::makeFastener() {
  auto* grid = threeColumns();
  wxArrayString sources;
  sources.Add("Box Area Stress");
  sources.Add("Shape Area Stress");
  grid->Add(new wxStaticText(this, wxID_ANY, "Stress"), 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(AddCombo(S::IDC_SOURCE, sources, false), 1, wxEXPAND);
  grid->AddSpacer(0);
  addRow(grid, "Effective Width", S::IDC_WIDTH, S::IDC_UNIT_WIDTH);
  addRow(grid, "Longitudinal spacing", S::IDC_SPACING, S::IDC_UNIT_SPACING);
  addRow(grid, "Load", S::IDC_LOAD, S::IDC_UNIT_LOAD, true);
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(grid, 0, wxEXPAND | wxBOTTOM, 4);
  column->Add(AddButton(S::IDC_APPLIED, "Applied Force"), 0);
  return grouped(this, "Weld or Fastener Load", column);
}

void CElasticBendingShear::bindEvents() {
  for (int id : {S::IDC_COMPUTE, S::IDC_APPLIED}) BindCommand(id);
  // Typing V clears the results (the exchange's ChangeValue sends no event).
  Bind(
      wxEVT_TEXT,
      [this](wxCommandEvent& event) {
        if (BendingShearLogic* s = m_shear) RunGuarded([s] { s->shearForceChanged(); });
        event.Skip();
      },
      S::IDC_V);
  for (int id : {S::IDC_XMIN, S::IDC_YMIN, S::IDC_XMAX, S::IDC_YMAX, S::IDC_B, S::IDC_SPACING, S::IDC_V,
                 S::IDC_WIDTH}) {
    GetDlgItem(id)->Bind(wxEVT_SET_FOCUS, [this, id](wxFocusEvent& event) {
      if (BendingShearLogic* s = m_shear) s->boxFocused(id);
      event.Skip();
    });
  }
}

void UseElasticBendingShearWindow(BendingDialogLogic& bending) {
  BendingDialogLogic* owner = &bending;
  bending.setBendingShearWindowMaker([owner](ModelessDialogLogic& logic) -> DialogWindow* {
    // Over the bending dialog's window, its owner.
    auto* parent = dynamic_cast<wxWindow*>(owner->window());
    return new CElasticBendingShear(static_cast<BendingShearLogic&>(logic), parent);
  });
}
