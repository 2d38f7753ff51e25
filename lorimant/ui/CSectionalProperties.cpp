#include "lorimant/ui/CSectionalProperties.h"

#include <wx/bookctrl.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <utility>

#include "platform/core/Hooks.h"

namespace {

CSectionalProperties::ModalHook& modalHook() {
  static CSectionalProperties::ModalHook hook;
  return hook;
}

// Wide enough for the largest values at the usual precisions.
constexpr int kBoxWidth = 120;
// Room beside a group box's title.
constexpr int kTitleMargin = 30;
// Room beside a page's title on its tab.
constexpr int kTabMargin = 48;
// Where the plastic page's note wraps.
constexpr int kNoteWidth = 600;

wxString toWx(const wchar_t* text) { return wxString(text != nullptr ? text : L""); }

// A grid of label and box pairs.
wxFlexGridSizer* makeGrid() {
  auto* grid = new wxFlexGridSizer(2, 4, 8);
  grid->AddGrowableCol(1);
  return grid;
}

}  // namespace

CSectionPropertyPage::CSectionPropertyPage(wxWindow* parent, int templateId, std::span<const PageBox> boxes,
                                           int decimals)
    : wxPanel(parent, templateId), m_table(boxes), m_decimals(decimals), m_boxes(boxes.size(), nullptr) {
  m_top = new wxBoxSizer(wxVERTICAL);
  auto* columns = new wxBoxSizer(wxHORIZONTAL);
  int last = 0;
  for (const PageBox& row : m_table) last = std::max(last, row.column);
  for (int column = 0; column <= last; ++column) columns->Add(makeColumn(column), 1, wxEXPAND | wxALL, 6);
  m_top->Add(columns, 1, wxEXPAND | wxALL, 4);
  SetSizer(m_top);
}

wxSizer* CSectionPropertyPage::makeColumn(int column) {
  wxSizer* sizer = nullptr;
  wxWindow* parent = this;
  for (const PageBox& row : m_table) {
    if (row.column != column) continue;
    if (row.columnTitle != nullptr && *row.columnTitle != L'\0') {
      auto* framed = new wxStaticBoxSizer(wxVERTICAL, this, toWx(row.columnTitle));
      parent = framed->GetStaticBox();
      sizer = framed;
    }
    break;
  }
  if (sizer == nullptr) sizer = new wxBoxSizer(wxVERTICAL);
  const wchar_t* group = nullptr;
  wxFlexGridSizer* grid = nullptr;
  wxWindow* gridParent = parent;
  std::vector<wxStaticText*> labels;
  for (const PageBox& row : m_table) {
    if (row.column != column) continue;
    const bool alone = row.group == nullptr || *row.group == L'\0';
    if (grid == nullptr || alone || group == nullptr || wxString(group) != toWx(row.group)) {
      grid = makeGrid();
      if (alone) {
        gridParent = parent;
        sizer->Add(grid, 0, wxEXPAND | wxALL, 6);
      } else {
        auto* groupBox = new wxStaticBoxSizer(wxVERTICAL, parent, toWx(row.group));
        gridParent = groupBox->GetStaticBox();
        // The box's title is not counted in its size: the box is made wide enough for it.
        gridParent->SetMinSize(wxSize(gridParent->GetTextExtent(toWx(row.group)).x + kTitleMargin, -1));
        groupBox->Add(grid, 0, wxEXPAND | wxALL, 4);
        sizer->Add(groupBox, 0, wxEXPAND | wxALL, 4);
      }
      group = alone ? nullptr : row.group;
    }
    labels.push_back(addRow(gridParent, grid, row));
  }
  // One width for the labels of a column, so that its boxes line up.
  int widest = 0;
  for (wxStaticText* label : labels) widest = std::max(widest, label->GetBestSize().x);
  for (wxStaticText* label : labels) label->SetMinSize(wxSize(widest, -1));
  return sizer;
}

wxStaticText* CSectionPropertyPage::addRow(wxWindow* parent, wxSizer* grid, const PageBox& row) {
  auto* label = new wxStaticText(parent, wxID_ANY, toWx(row.label));
  grid->Add(label, 0, wxALIGN_CENTER_VERTICAL);
  auto* box = new wxTextCtrl(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(kBoxWidth, -1),
                             wxTE_READONLY | wxTE_RIGHT);
  if (row.tooltip != nullptr) box->SetToolTip(toWx(row.tooltip));
  grid->Add(box, 1, wxEXPAND);
  m_boxes[static_cast<size_t>(&row - m_table.data())] = box;
  return label;
}

void CSectionPropertyPage::AddNote(const wxString& text) {
  auto* note = new wxStaticText(this, wxID_ANY, text);
  note->Wrap(kNoteWidth);
  m_top->Insert(0, note, 0, wxEXPAND | wxALL, 10);
}

bool CSectionPropertyPage::TransferDataToWindow() {
  if (m_sub == nullptr) return true;
  const std::vector<CString> texts = PageTexts(m_table, *m_sub, m_decimals);
  for (size_t i = 0; i < texts.size(); ++i) m_boxes[i]->ChangeValue(wxString(texts[i].GetString()));
  return true;
}

wxTextCtrl* CSectionPropertyPage::boxLabelled(const wxString& label, size_t from) const {
  for (size_t i = from; i < m_table.size(); ++i)
    if (toWx(m_table[i].label) == label) return m_boxes[i];
  return nullptr;
}

CGeometricPropsPage::CGeometricPropsPage(wxWindow* parent, int decimals)
    : CSectionPropertyPage(parent, IDD, GeometricPageBoxes(), decimals) {}

CElasticPropPage::CElasticPropPage(wxWindow* parent, int decimals)
    : CSectionPropertyPage(parent, IDD, ElasticPageBoxes(), decimals) {}

CPlasticPropsDlg::CPlasticPropsDlg(wxWindow* parent, int decimals)
    : CSectionPropertyPage(parent, IDD, PlasticPageBoxes(), decimals) {
  AddNote(toWx(kPlasticPageNote));
}

CSectionalProperties::CSectionalProperties(wxWindow* parent, CSubSection& sub, const SectionSheetPlanResult& plan,
                                           int decimals)
    : m_endCode(IDCANCEL) {
  Create(parent, wxID_ANY, toWx(kSectionSheetCaption));
  wxBookCtrlBase* book = GetBookCtrl();
  for (SectionSheetPage kind : plan.pages) {
    CSectionPropertyPage* page = nullptr;
    const wchar_t* caption = nullptr;
    switch (kind) {
      case SectionSheetPage::geometric:
        page = new CGeometricPropsPage(book, decimals);
        caption = kGeometricPageCaption;
        break;
      case SectionSheetPage::elastic:
        page = new CElasticPropPage(book, decimals);
        caption = kElasticPageCaption;
        break;
      case SectionSheetPage::plastic:
        page = new CPlasticPropsDlg(book, decimals);
        caption = kPlasticPageCaption;
        break;
    }
    book->AddPage(page, toWx(caption));
    page->SetSubSection(&sub);
    page->TransferDataToWindow();
    m_pages.push_back(page);
  }
  // Every tab shows its whole title.
  int tabs = 0;
  for (size_t i = 0; i < book->GetPageCount(); ++i) tabs += book->GetTextExtent(book->GetPageText(i)).x + kTabMargin;
  book->SetMinSize(wxSize(tabs, -1));
  CreateButtons(wxOK | wxCANCEL);
  LayoutDialog();
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { close(IDOK); }, wxID_OK);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { close(IDCANCEL); }, wxID_CANCEL);
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { close(IDCANCEL); });
}

void CSectionalProperties::SetModalHook(ModalHook hook) { modalHook() = std::move(hook); }

int CSectionalProperties::DoModal() {
  m_endCode = IDCANCEL;
  if (const ModalHook& hook = modalHook()) {
    Show();
    hook(*this);
    if (IsShown()) close(IDCANCEL);
    return m_endCode;
  }
  ShowModal();
  return m_endCode;
}

void CSectionalProperties::close(int code) {
  m_endCode = code;
  if (IsModal())
    EndModal(code == IDOK ? wxID_OK : wxID_CANCEL);
  else
    Hide();
}

int ShowSectionPropertySheet(wxWindow* parent, CSubSection& sub, int decimals) {
  const SectionSheetPlanResult plan = SectionSheetPlan(sub);
  if (plan.plasticMessage) AfxMessageBox(kPlasticSheetMessage, kPlasticSheetCaption, MB_OK | MB_ICONINFORMATION);
  CSectionalProperties sheet(parent, sub, plan, decimals);
  return sheet.DoModal();
}
