// The window of a modeless dialog.
#include "lorimant/ui/CQHTDialogEx.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>

#include "lorimant/ui/ExceptionReport.h"

namespace {
// Width of a number box.
constexpr int kBoxWidth = 120;
}  // namespace

CQHTDialogEx::CQHTDialogEx(ModelessDialogLogic& logic, wxWindow* parent)
    : CDialog(logic.templateId(), parent, wxString(logic.caption().GetString())), m_logic(&logic) {}

CQHTDialogEx::~CQHTDialogEx() {
  if (ModelessDialogLogic* logic = std::exchange(m_logic, nullptr)) logic->windowGone(this);
}

wxWindow* CQHTDialogEx::ParentFor(const CThickSectionView& view) {
  auto* canvas = dynamic_cast<wxWindow*>(view.sectionHost());
  return canvas != nullptr ? wxGetTopLevelParent(canvas) : nullptr;
}

void CQHTDialogEx::showWindow() {
  if (IsShown()) {
    // Already open: the members may have changed while it was shown.
    UpdateData(FALSE);
    Raise();
    return;
  }
  ShowModeless();
}

void CQHTDialogEx::destroyWindow() {
  m_logic = nullptr;
  Hide();
  Destroy();
}

void CQHTDialogEx::post(std::function<void()> work) {
  CallAfter([work = std::move(work)] { RunGuarded(work); });
}

void CQHTDialogEx::DoDataExchange(CDataExchange* pDX) {
  if (m_logic != nullptr) m_logic->DoDataExchange(pDX);
}

void CQHTDialogEx::OnOK() {
  if (ModelessDialogLogic* logic = m_logic) RunGuarded([logic] { logic->OnOK(); });
}

void CQHTDialogEx::OnCancel() {
  if (ModelessDialogLogic* logic = m_logic) RunGuarded([logic] { logic->OnCancel(); });
}

void CQHTDialogEx::BindCommand(int id) {
  Bind(
      wxEVT_BUTTON,
      [this, id](wxCommandEvent&) {
        if (ModelessDialogLogic* logic = m_logic) RunGuarded([logic, id] { logic->OnCommand(static_cast<UINT>(id)); });
      },
      id);
}

wxSizer* CQHTDialogEx::MakeButtonRow(const wxString& okLabel) {
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->AddStretchSpacer();
  row->Add(AddButton(IDOK, okLabel), 0, wxALL, 5);
  row->Add(AddButton(IDCANCEL, "Cancel"), 0, wxALL, 5);
  SetDefaultButton(IDOK);
  return row;
}

wxSizer* CQHTDialogEx::MakeCells(std::initializer_list<Cell> cells, const char* title) {
  auto* grid = new wxFlexGridSizer(2, wxSize(0, 0));
  grid->AddGrowableCol(1);
  wxStaticBoxSizer* group = title != nullptr ? new wxStaticBoxSizer(wxVERTICAL, this, title) : nullptr;
  wxWindow* owner = group != nullptr ? group->GetStaticBox() : nullptr;
  for (const Cell& c : cells) {
    wxTextCtrl* box = AddLabelledEdit(grid, c.id, c.label, c.readOnly ? wxTE_READONLY : 0, owner);
    box->SetMinSize(wxSize(kBoxWidth, -1));
  }
  if (group == nullptr) return grid;
  group->Add(grid, 1, wxEXPAND);
  return group;
}
