// The window of the bending dialog.
#include "lorimant/ui/CUnrestrainedBendingDlg.h"
#include "lorimant/view/SectionDialogs.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "lorimant/ui/CElasticBendingShear.h"
#include "lorimant/ui/ExceptionReport.h"
#include "platform/core/DigitGrouping.h"
#include "platform/ui/CListCtrlEx.h"

namespace {

using B = BendingDialogLogic;

constexpr int kNumberWidth = 110;
// The background of the rows of the extreme stress locations.
constexpr COLORREF kMarkedRow = RGB(255, 250, 205);

// A group box titled title holding sizer.
wxSizer* grouped(wxWindow* parent, const char* title, wxSizer* inside) {
  auto* group = new wxStaticBoxSizer(wxVERTICAL, parent, title);
  group->Add(inside, 1, wxEXPAND | wxALL, 2);
  return group;
}

wxFlexGridSizer* twoColumns() {
  auto* grid = new wxFlexGridSizer(2, wxSize(6, 3));
  grid->AddGrowableCol(1);
  return grid;
}

// Black text on a light background, white on a dark one.
COLORREF readableOn(COLORREF background) {
  if (background == CLR_NONE) return CLR_NONE;
  const int r = background & 0xFF, g = (background >> 8) & 0xFF, b = (background >> 16) & 0xFF;
  return 299 * r + 587 * g + 114 * b < 128000 ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

// An edit of X or Y ends only with a number.
int endNumberEdit(wxWindow*, int, int, CString& text, DWORD_PTR, CListCtrlExModel&, BOOL commit) {
  double value = 0.0;
  return commit && ParseCDouble(text, value) ? 1 : 0;
}

}  // namespace

CUnrestrainedBendingDlg::CUnrestrainedBendingDlg(BendingDialogLogic& logic, wxWindow* parent)
    : CQHTDialogEx(logic, parent), m_bending(&logic) {
  logic.setStateChanged([this] { showState(); });
}

CUnrestrainedBendingDlg::~CUnrestrainedBendingDlg() {
  if (logic() != nullptr && m_bending != nullptr) m_bending->setStateChanged({});
}

void CUnrestrainedBendingDlg::destroyWindow() {
  // The rules stop their notices as they close (they may be going).
  m_bending = nullptr;
  CQHTDialogEx::destroyWindow();
}

void CUnrestrainedBendingDlg::CreateControls() {
  auto* left = new wxBoxSizer(wxVERTICAL);
  left->Add(makeInputs(), 0, wxEXPAND | wxALL, 4);
  left->Add(makeLinePlot(), 0, wxEXPAND | wxALL, 4);
  auto* top = new wxBoxSizer(wxHORIZONTAL);
  top->Add(left, 0, wxEXPAND);
  top->Add(makeResults(), 1, wxEXPAND | wxALL, 4);

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  wxButton* shear = AddButton(B::IDC_SHEAR, "Bending Shear");
  shear->SetToolTip(
      "Compute the bending shear stress, and perform fastener calculations for loadcase with vertical shear only");
  buttons->Add(shear, 0, wxALL, 4);
  buttons->AddStretchSpacer();
  buttons->Add(AddButton(IDCANCEL, "Close"), 0, wxALL, 4);

  auto* all = new wxBoxSizer(wxVERTICAL);
  all->Add(top, 0, wxEXPAND);
  all->Add(makePointList(), 1, wxEXPAND | wxALL, 4);
  all->Add(buttons, 0, wxEXPAND);
  SetSizer(all);
  bindEvents();
}

wxSizer* CUnrestrainedBendingDlg::makeInputs() {
  auto* grid = twoColumns();
  grid->Add(new wxStaticText(this, wxID_ANY, "Load Condition Name"), 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(AddEdit(B::IDC_LOAD_NAME), 1, wxEXPAND);
  const int labels[] = {B::IDC_LABEL1, B::IDC_LABEL2, B::IDC_LABEL3};
  const int inputs[] = {B::IDC_INPUT1, B::IDC_INPUT2, B::IDC_INPUT3};
  for (int i = 0; i < 3; ++i) {
    // Wide enough for the longest label of either unit system.
    grid->Add(AddLabel(labels[i], "Moment About NA (lb-in)"), 0, wxALIGN_CENTER_VERTICAL);
    wxTextCtrl* box = AddEdit(inputs[i]);
    box->SetMinSize(wxSize(kNumberWidth, -1));
    grid->Add(box, 1, wxEXPAND);
  }
  grid->Add(new wxStaticText(this, wxID_ANY, "Grain Direction"), 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(AddCombo(B::IDC_GRAIN, wxArrayString(1, "L"), false), 0);
  grid->AddSpacer(0);
  grid->Add(AddButton(B::IDC_APPLY, "APPLY"), 0, wxALIGN_RIGHT);
  grid->Add(AddLabel(B::IDC_RADIUS_LABEL, "Radius (cm)"), 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(AddEdit(B::IDC_RADIUS), 1, wxEXPAND);
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(grid, 0, wxEXPAND);
  // Sized for the longer of the two unit lines.
  column->Add(AddLabel(B::IDC_UNITS, "UNITS: moments lb-in, stress psi, force lb"), 0, wxEXPAND | wxTOP, 4);
  return column;
}

wxSizer* CUnrestrainedBendingDlg::makeLinePlot() {
  auto* plot = new wxBoxSizer(wxHORIZONTAL);
  plot->Add(new wxStaticText(this, wxID_ANY, "Stress/Strain Plot"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
  wxArrayString kinds;
  kinds.Add("Stress");
  kinds.Add("Strain");
  plot->Add(AddCombo(B::IDC_PLOT, kinds, false), 0);

  auto* points = new wxFlexGridSizer(4, wxSize(4, 3));
  const std::pair<int, const char*> boxes[] = {{B::IDC_X1, "X1"}, {B::IDC_Y1, "Y1"}, {B::IDC_X2, "X2"}, {B::IDC_Y2, "Y2"}};
  for (const auto& [id, label] : boxes) {
    points->Add(new wxStaticText(this, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
    wxTextCtrl* box = AddEdit(id);
    box->SetMinSize(wxSize(80, -1));
    points->Add(box, 0);
  }
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->Add(AddButton(B::IDC_SHOW_LINE, "Show Line Plot"), 0, wxRIGHT, 4);
  wxButton* off = AddButton(B::IDC_LINE_OFF, "Turn off Line Plot");
  off->SetToolTip("Remove the line plot");
  buttons->Add(off, 0);
  auto* line = new wxBoxSizer(wxVERTICAL);
  line->Add(points, 0, wxEXPAND | wxBOTTOM, 4);
  line->Add(buttons, 0);

  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(plot, 0, wxBOTTOM, 4);
  column->Add(grouped(this, "Line Plot", line), 0, wxEXPAND);
  return column;
}

wxSizer* CUnrestrainedBendingDlg::makeResults() {
  auto* grid = new wxFlexGridSizer(4, wxSize(6, 3));
  grid->AddGrowableCol(1);
  grid->AddGrowableCol(3);
  const std::pair<int, const char*> cells[] = {
      {B::IDC_NA_X, "Point On NA  X"},        {B::IDC_NA_Y, "Point On NA  Y"},
      {B::IDC_NA_ANGLE, "Neutral Axis Angle"}, {B::IDC_AXIAL, "Total Axial Force"},
      {B::IDC_MOMENT_NA, "Moment About NA"},   {B::IDC_RESULTANT, "Resultant Moment"},
      {B::IDC_MX, "Mx"},                      {B::IDC_MY, "My"},
      {B::IDC_MAX_STRESS, "Maximum Stress"},  {B::IDC_MIN_STRESS, "Minimum Stress"},
      {B::IDC_MAX_STRAIN, "Maximum Strain"},  {B::IDC_MIN_STRAIN, "Minimum Strain"}};
  for (const auto& [id, label] : cells) {
    grid->Add(new wxStaticText(this, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
    wxTextCtrl* box = AddEdit(id, wxTE_READONLY);
    box->SetMinSize(wxSize(kNumberWidth, -1));
    grid->Add(box, 1, wxEXPAND);
  }
  return grouped(this,
                 "Summing Results from the Mesh (will vary with density of the mesh but should approximate the "
                 "inputs)",
                 grid);
}

wxSizer* CUnrestrainedBendingDlg::makePointList() {
  m_list = new CListCtrlEx(this, B::IDC_POINTS, wxDefaultPosition, wxSize(-1, 150));
  const auto headings = B::columnHeadings();
  for (int c = 0; c < B::kColumns; ++c)
    m_list->InsertColumn(c, headings[static_cast<size_t>(c)], LVCFMT_CENTER, B::columnWidths()[static_cast<size_t>(c)]);
  fitColumns();
  m_editor = new wxTextCtrl(this, wxID_ANY);
  m_list->SetDefaultEditor(nullptr, m_editor, nullptr);
  m_list->SetColumnEditor(B::kX, nullptr, m_editor, endNumberEdit);
  m_list->SetColumnEditor(B::kY, nullptr, m_editor, endNumberEdit);
  for (int c = 0; c < B::kColumns; ++c)
    if (c != B::kName && c != B::kX && c != B::kY) m_list->SetColumnReadOnly(c);

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->Add(AddButton(B::IDC_DELETE, "Delete Selected"), 0, wxRIGHT, 4);
  buttons->Add(AddButton(B::IDC_REFRESH, "Refresh Results"), 0);
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(m_list, 1, wxEXPAND | wxBOTTOM, 4);
  column->Add(buttons, 0);
  return column;
}

void CUnrestrainedBendingDlg::bindEvents() {
  for (int id : {B::IDC_APPLY, B::IDC_SHOW_LINE, B::IDC_LINE_OFF, B::IDC_SHEAR}) BindCommand(id);
  for (int id : {B::IDC_DELETE, B::IDC_REFRESH})
    Bind(wxEVT_BUTTON, [this, id](wxCommandEvent&) { runReadingList(static_cast<UINT>(id)); }, id);
  Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { runReadingList(B::IDC_PLOT); }, B::IDC_PLOT);
  // Typing a name warns at once of one already used (ChangeValue, as the
  // exchange fills the box, sends no event).
  Bind(
      wxEVT_TEXT,
      [this](wxCommandEvent& event) {
        if (BendingDialogLogic* b = m_bending) {
          const CString name = GetText(B::IDC_LOAD_NAME);
          RunGuarded([b, name] { b->loadConditionNameChanged(name); });
        }
        event.Skip();
      },
      B::IDC_LOAD_NAME);
  for (int id : {B::IDC_X1, B::IDC_Y1, B::IDC_X2, B::IDC_Y2}) {
    GetDlgItem(id)->Bind(wxEVT_SET_FOCUS, [this, id](wxFocusEvent& event) {
      if (BendingDialogLogic* b = m_bending) b->boxFocused(id);
      event.Skip();
    });
  }
  Bind(EVT_LISTCTRLEX_CHANGED, [this](wxCommandEvent&) { readList(); });
  m_list->Bind(wxEVT_KEY_DOWN, &CUnrestrainedBendingDlg::onListKey, this);
}

void CUnrestrainedBendingDlg::readList() {
  BendingDialogLogic* b = m_bending;
  if (b == nullptr || m_list == nullptr) return;
  const int count = std::min(m_list->GetItemCount(), static_cast<int>(b->rows().size()));
  for (int row = 0; row < count; ++row) {
    for (int c : {B::kName, B::kX, B::kY}) b->editCell(row, c, m_list->GetItemText(row, c));
    b->selectRow(row, m_list->IsItemSelected(row));
  }
}

void CUnrestrainedBendingDlg::runReadingList(UINT id) {
  readList();
  if (BendingDialogLogic* b = m_bending) RunGuarded([b, id] { b->OnCommand(id); });
}

void CUnrestrainedBendingDlg::onListKey(wxKeyEvent& event) {
  const int key = event.GetKeyCode();
  BendingDialogLogic* b = m_bending;
  if ((key != WXK_DELETE && key != WXK_NUMPAD_DELETE) || b == nullptr || m_list->IsEditing()) {
    event.Skip();
    return;
  }
  readList();
  RunGuarded([b] { b->OnDeleteKey(); });
}

void CUnrestrainedBendingDlg::showState() {
  BendingDialogLogic* b = m_bending;
  if (b == nullptr || m_list == nullptr) return;
  for (int id : {B::IDC_SHEAR, B::IDC_PLOT, B::IDC_REFRESH}) GetDlgItem(id)->Enable(b->controlEnabled(id));
  m_list->DeleteAllItems();
  const auto& rows = b->rows();
  for (size_t i = 0; i < rows.size(); ++i) {
    const auto& r = rows[i];
    const int row = m_list->InsertItem(static_cast<int>(i), r.cells[B::kId]);
    for (int c = 1; c < B::kColumns; ++c) m_list->SetItemText(row, c, r.cells[static_cast<size_t>(c)]);
    if (r.marked) m_list->SetRowColors(row, kMarkedRow, CLR_NONE);
    m_list->SetCellColors(row, B::kStress, r.stressColour, readableOn(r.stressColour));
    m_list->SetCellColors(row, B::kStrain, r.strainColour, readableOn(r.strainColour));
  }
  fitColumns();
}

void CUnrestrainedBendingDlg::fitColumns() {
  // At least the widths of the layout, wider where a heading or a cell needs it.
  const auto headings = B::columnHeadings();
  const wxFont font = m_list->GetLabelFont();
  for (int c = 0; c < B::kColumns; ++c) {
    m_list->AutoSizeColumn(c, false);
    int width = 0, height = 0;
    m_list->GetTextExtent(wxString(headings[static_cast<size_t>(c)].GetString()), &width, &height, nullptr, nullptr,
                          &font);
    const int heading = width + 24;
    const int least = std::max(B::columnWidths()[static_cast<size_t>(c)], heading);
    if (m_list->GetColSize(c) < least) m_list->SetColSize(c, least);
  }
}

std::unique_ptr<BendingDialogLogic> CreateUnrestrainedBendingDialog(CThickSectionView& view, wxWindow* parent,
                                                                    int restrained) {
  auto dialog = std::make_unique<BendingDialogLogic>(view, restrained);
  UseElasticBendingShearWindow(*dialog);
  dialog->setWindowMaker([parent](ModelessDialogLogic& logic) -> DialogWindow* {
    return new CUnrestrainedBendingDlg(static_cast<BendingDialogLogic&>(logic), parent);
  });
  return dialog;
}

void RegisterAnalysisDialogs(SectionDialogFactory& factory) {
  factory.registerMaker(SectionDialogKind::Bending, [](CThickSectionView& view) -> std::unique_ptr<SectionDialog> {
    return CreateUnrestrainedBendingDialog(view, CQHTDialogEx::ParentFor(view), 0);
  });
}
