// The window of the plastic bending dialog.
#include "lorimant/ui/CPlasticBendingAboutNADlg.h"

#include <algorithm>
#include <stdexcept>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "lorimant/shapes/CAddCriticalPoint.h"
#include "lorimant/ui/ExceptionReport.h"
#include "lorimant/ui/ShapeDialogWindows.h"
#include "lorimant/view/SectionDialogs.h"
#include "platform/ui/CListCtrlEx.h"

namespace {

using P = PlasticBendingLogic;

constexpr int kNumberWidth = 110;
// The background of the rows of the extreme stress locations.
constexpr COLORREF kMarkedRowColour = RGB(255, 250, 205);

wxSizer* groupOf(wxWindow* parent, const char* title, wxSizer* inside) {
  auto* group = new wxStaticBoxSizer(wxVERTICAL, parent, title);
  group->Add(inside, 1, wxEXPAND | wxALL, 2);
  return group;
}

// Black text on a light background, white on a dark one.
COLORREF textOn(COLORREF background) {
  if (background == CLR_NONE) return CLR_NONE;
  const int r = background & 0xFF, g = (background >> 8) & 0xFF, b = (background >> 16) & 0xFF;
  return 299 * r + 587 * g + 114 * b < 128000 ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

// Each column at least its layout width, wider where its heading or a cell needs it.
template <size_t N>
void fitColumns(CListCtrlEx& list, const std::array<const wchar_t*, N>& headings, const std::array<int, N>& widths) {
  const wxFont font = list.GetLabelFont();
  for (size_t c = 0; c < N; ++c) {
    const int column = static_cast<int>(c);
    list.AutoSizeColumn(column, false);
    int width = 0, height = 0;
    list.GetTextExtent(wxString(headings[c]), &width, &height, nullptr, nullptr, &font);
    const int least = std::max(widths[c], width + 24);
    if (list.GetColSize(column) < least) list.SetColSize(column, least);
  }
}

// Makes the list at least as wide as its columns, so that none is reached
// only by scrolling sideways; true when it had to grow.
bool widenToColumns(CListCtrlEx& list, size_t columns) {
  int total = list.GetRowLabelSize() + wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, &list) + 4;
  for (size_t c = 0; c < columns; ++c) total += list.GetColSize(static_cast<int>(c));
  const wxSize least = list.GetMinSize();
  if (total <= least.GetWidth()) return false;
  list.SetMinSize(wxSize(total, least.GetHeight()));
  return true;
}

// A read-only list with the given columns.
template <size_t N>
CListCtrlEx* makeList(wxWindow* parent, int id, const std::array<const wchar_t*, N>& headings,
                      const std::array<int, N>& widths, int height) {
  auto* list = new CListCtrlEx(parent, id, wxDefaultPosition, wxSize(-1, height));
  list->SetMinSize(wxSize(-1, height));
  for (size_t c = 0; c < N; ++c) {
    list->InsertColumn(static_cast<int>(c), CString(headings[c]), LVCFMT_CENTER, widths[c]);
    list->SetColumnReadOnly(static_cast<int>(c));
  }
  list->SetSelectionMode(wxGrid::wxGridSelectRows);
  list->EnableGridLines(true);
  fitColumns(*list, headings, widths);
  widenToColumns(*list, N);
  return list;
}

void insertRow(CListCtrlEx& list, int index, const CString* cells, size_t count) {
  const int row = list.InsertItem(index, cells[0]);
  if (row < 0) throw std::runtime_error("Unable to add item to list control.");
  for (size_t c = 1; c < count; ++c) list.SetItemText(row, static_cast<int>(c), cells[c]);
}

}  // namespace

CPlasticBendingAboutNADlg::CPlasticBendingAboutNADlg(PlasticBendingLogic& logic, wxWindow* parent)
    : CQHTDialogEx(logic, parent), m_plastic(&logic) {
  logic.setStateChanged([this] { showState(); });
}

CPlasticBendingAboutNADlg::~CPlasticBendingAboutNADlg() {
  if (logic() != nullptr && m_plastic != nullptr) m_plastic->setStateChanged({});
}

void CPlasticBendingAboutNADlg::destroyWindow() {
  m_plastic = nullptr;
  CQHTDialogEx::destroyWindow();
}

void CPlasticBendingAboutNADlg::CreateControls() {
  auto* left = new wxBoxSizer(wxVERTICAL);
  left->Add(makeInputs(), 0, wxEXPAND | wxALL, 4);
  left->Add(makeLinePlot(), 0, wxEXPAND | wxALL, 4);
  left->Add(makeCriticalPoints(), 1, wxEXPAND | wxALL, 4);
  auto* top = new wxBoxSizer(wxHORIZONTAL);
  top->Add(left, 0, wxEXPAND);
  top->Add(makeResults(), 1, wxEXPAND | wxALL, 4);

  auto* close = new wxBoxSizer(wxHORIZONTAL);
  close->AddStretchSpacer();
  close->Add(AddButton(IDCANCEL, "Close"), 0, wxALL, 4);
  auto* all = new wxBoxSizer(wxVERTICAL);
  all->Add(top, 0, wxEXPAND);
  all->Add(makeLocations(), 1, wxEXPAND | wxALL, 4);
  all->Add(close, 0, wxEXPAND);
  SetSizer(all);
  bindEvents();
}

wxSizer* CPlasticBendingAboutNADlg::makeInputs() {
  auto* grid = new wxFlexGridSizer(3, wxSize(6, 3));
  grid->AddGrowableCol(1);
  grid->Add(new wxStaticText(this, wxID_ANY, "Load Case Name"), 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(AddEdit(P::IDC_LOAD_NAME), 1, wxEXPAND);
  grid->AddSpacer(0);
  grid->Add(new wxStaticText(this, wxID_ANY, "Angle Neutral Axis"), 0, wxALIGN_CENTER_VERTICAL);
  wxTextCtrl* angle = AddEdit(P::IDC_ANGLE);
  angle->SetMinSize(wxSize(kNumberWidth, -1));
  grid->Add(angle, 1, wxEXPAND);
  grid->Add(new wxStaticText(this, wxID_ANY, "Deg"), 0, wxALIGN_CENTER_VERTICAL);
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(grid, 0, wxEXPAND);
  column->Add(AddButton(P::IDC_SOLVE, "Solve"), 0, wxALIGN_RIGHT | wxTOP, 4);
  return column;
}

wxSizer* CPlasticBendingAboutNADlg::makeResults() {
  auto* grid = new wxFlexGridSizer(2, wxSize(6, 3));
  grid->AddGrowableCol(1);
  const std::pair<int, const char*> cells[] = {
      {P::IDC_NA_X, "Point On NA  X"},         {P::IDC_NA_Y, "Point On NA  Y"},
      {P::IDC_NA_ANGLE, "Neutral Axis Angle"}, {P::IDC_AXIAL, "Total Axial Force"},
      {P::IDC_MOMENT_NA, "Moment About NA"},   {P::IDC_MX, "Mx"},
      {P::IDC_MY, "My"},                       {P::IDC_MAX_STRESS, "Maximum Stress"},
      {P::IDC_MIN_STRESS, "Minimum Stress"},   {P::IDC_MAX_STRAIN, "Maximum Strain"},
      {P::IDC_MIN_STRAIN, "Minimum Strain"}};
  for (const auto& [id, label] : cells) {
    grid->Add(new wxStaticText(this, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
    wxTextCtrl* box = AddEdit(id, wxTE_READONLY);
    box->SetMinSize(wxSize(kNumberWidth, -1));
    grid->Add(box, 1, wxEXPAND);
  }
  auto* text = new wxStaticText(this, wxID_ANY, "Summary Of Results, summing computed values at centers of elements");
  text->Wrap(300);
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(text, 0, wxBOTTOM, 4);
  column->Add(grid, 1, wxEXPAND);
  return groupOf(this, "Results", column);
}

wxSizer* CPlasticBendingAboutNADlg::makeLinePlot() {
  auto* plot = new wxBoxSizer(wxHORIZONTAL);
  plot->Add(new wxStaticText(this, wxID_ANY, "Stress/Strain Plot"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
  wxArrayString kinds;
  kinds.Add("Strain");
  kinds.Add("Stress");
  plot->Add(AddCombo(P::IDC_PLOT, kinds, false), 0);

  auto* points = new wxFlexGridSizer(4, wxSize(4, 3));
  const std::pair<int, const char*> boxes[] = {{P::IDC_X1, "X1"}, {P::IDC_Y1, "Y1"}, {P::IDC_X2, "X2"}, {P::IDC_Y2, "Y2"}};
  for (const auto& [id, label] : boxes) {
    points->Add(new wxStaticText(this, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
    wxTextCtrl* box = AddEdit(id);
    box->SetMinSize(wxSize(80, -1));
    points->Add(box, 0);
  }
  auto* line = new wxBoxSizer(wxVERTICAL);
  line->Add(points, 0, wxEXPAND | wxBOTTOM, 4);
  line->Add(AddButton(P::IDC_SHOW_LINE, "Show Line Plot"), 0);
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(plot, 0, wxBOTTOM, 4);
  column->Add(groupOf(this, "Line Plot", line), 0, wxEXPAND);
  return column;
}

wxSizer* CPlasticBendingAboutNADlg::makeCriticalPoints() {
  m_critical = makeList(this, P::IDC_CRITICAL, P::criticalHeadings(), P::criticalWidths(), 100);
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->Add(AddButton(P::IDC_ADD_CRITICAL, "Add Critical Point"), 0, wxRIGHT, 4);
  buttons->Add(AddButton(P::IDC_CLEAR, "Clear"), 0);
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(m_critical, 1, wxEXPAND | wxBOTTOM, 4);
  column->Add(buttons, 0);
  return groupOf(this, "Critical Points", column);
}

wxSizer* CPlasticBendingAboutNADlg::makeLocations() {
  m_locations = makeList(this, P::IDC_POINTS, P::columnHeadings(), P::columnWidths(), 140);
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->Add(AddButton(P::IDC_DELETE, "Delete Selected"), 0, wxRIGHT, 4);
  buttons->Add(AddButton(P::IDC_REFRESH, "Refresh Results"), 0);
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(m_locations, 1, wxEXPAND | wxBOTTOM, 4);
  column->Add(buttons, 0);
  return column;
}

void CPlasticBendingAboutNADlg::bindEvents() {
  for (int id : {P::IDC_SOLVE, P::IDC_SHOW_LINE, P::IDC_ADD_CRITICAL, P::IDC_CLEAR, P::IDC_REFRESH}) BindCommand(id);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { runReadingSelection(P::IDC_DELETE); }, P::IDC_DELETE);
  Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { runReadingSelection(P::IDC_PLOT); }, P::IDC_PLOT);
  for (int id : {P::IDC_X1, P::IDC_Y1, P::IDC_X2, P::IDC_Y2}) {
    GetDlgItem(id)->Bind(wxEVT_SET_FOCUS, [this, id](wxFocusEvent& event) {
      if (PlasticBendingLogic* p = m_plastic) p->boxFocused(id);
      event.Skip();
    });
  }
}

void CPlasticBendingAboutNADlg::runReadingSelection(UINT id) {
  PlasticBendingLogic* p = m_plastic;
  if (p == nullptr) return;
  const int count = std::min(m_locations->GetItemCount(), static_cast<int>(p->rows().size()));
  for (int row = 0; row < count; ++row) p->selectRow(row, m_locations->IsItemSelected(row));
  RunGuarded([p, id] { p->OnCommand(id); });
}

void CPlasticBendingAboutNADlg::showState() {
  if (m_plastic == nullptr || m_critical == nullptr || m_locations == nullptr) return;
  showCriticalRows();
  showLocationRows();
}

void CPlasticBendingAboutNADlg::showCriticalRows() {
  m_critical->DeleteAllItems();
  const auto& rows = m_plastic->criticalRows();
  for (size_t i = 0; i < rows.size(); ++i) insertRow(*m_critical, static_cast<int>(i), rows[i].data(), rows[i].size());
  fitColumns(*m_critical, P::criticalHeadings(), P::criticalWidths());
}

void CPlasticBendingAboutNADlg::showLocationRows() {
  m_locations->DeleteAllItems();
  const auto& rows = m_plastic->rows();
  for (size_t i = 0; i < rows.size(); ++i) {
    const auto& r = rows[i];
    const int row = static_cast<int>(i);
    insertRow(*m_locations, row, r.cells.data(), r.cells.size());
    if (r.marked) m_locations->SetRowColors(row, kMarkedRowColour, CLR_NONE);
    m_locations->SetCellColors(row, P::kStress, r.stressColour, textOn(r.stressColour));
    m_locations->SetCellColors(row, P::kStrain, r.strainColour, textOn(r.strainColour));
  }
  fitColumns(*m_locations, P::columnHeadings(), P::columnWidths());
  // Cells wider than the headings widen the dialog with the list.
  if (widenToColumns(*m_locations, P::kColumns)) Fit();
}

std::unique_ptr<PlasticBendingLogic> CreatePlasticBendingDialog(CThickSectionView& view, wxWindow* parent) {
  auto dialog = std::make_unique<PlasticBendingLogic>(view);
  dialog->setWindowMaker([parent](ModelessDialogLogic& logic) -> DialogWindow* {
    return new CPlasticBendingAboutNADlg(static_cast<PlasticBendingLogic&>(logic), parent);
  });
  dialog->setAddPointPreparer([](CAddCriticalPoint& add) { GiveWindow(add); });
  return dialog;
}

void RegisterPlasticBendingDialog(SectionDialogFactory& factory) {
  factory.registerMaker(SectionDialogKind::PlasticBending, [](CThickSectionView& view) -> std::unique_ptr<SectionDialog> {
    return CreatePlasticBendingDialog(view, CQHTDialogEx::ParentFor(view));
  });
}
