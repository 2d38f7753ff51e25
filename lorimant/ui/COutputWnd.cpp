#include "lorimant/ui/COutputWnd.h"

#include <wx/aui/auibook.h>
#include <wx/settings.h>
#include <wx/sizer.h>

#include <algorithm>
#include <utility>

#include "drevoline/section/CSubSection.h"
#include "lorimant/resources/LorimantImages.h"
#include "platform/ui/CQHTabCtrl.h"

namespace {

// Report lists with full-row selection and grid lines in the GUI font.
constexpr long kListStyle = wxLC_REPORT | wxLC_HRULES | wxLC_VRULES | wxBORDER_NONE;

// Room the list draws around a cell's text.
constexpr int kCellPadding = 12;

const wchar_t* const kColumns[] = {L"Group", L"Symbol", L"Value", L"Units", L"Description"};

void prepareList(CColoredListCtrl& list) {
  list.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
}

// The five columns, each 15 pixels wider than its title, added once.
void addColumns(CColoredListCtrl& list) {
  if (list.GetColumnCount() != 0) return;
  for (int i = 0; i < 5; ++i) list.AddColumn(kColumns[i], i);
}

// Replaces the list's rows by rows, with units in the current unit system;
// the columns fit their texts (an emptied list keeps its widths, so that
// its headings stay readable).
void showRows(CColoredListCtrl& list, const std::vector<PropertyListRow>& rows, CSubSection& units) {
  list.DeleteAllItems();
  if (rows.empty()) return;
  for (const PropertyListRow& row : rows) {
    const std::array<CString, 5> cells = ListCellTexts(row, units);
    const int item = list.AddItem(list.GetItemCount(), 0, cells[0].GetString());
    for (int column = 1; column < 5; ++column) list.AddItem(item, column, cells[static_cast<size_t>(column)].GetString());
  }
  list.adjustWidths(5);
  // The widths of the texts alone leave no room for the cells' own padding
  // (the texts would be cut short) nor for the headings: each column keeps
  // the padding and is at least as wide as it was added.
  for (int column = 0; column < 5; ++column) {
    const int heading = list.GetTextExtent(kColumns[column]).x + 15;
    list.SetColumnWidth(column, std::max(list.GetColumnWidth(column) + kCellPadding, heading));
  }
}

}  // namespace

CScnPropListCtrl::CScnPropListCtrl(wxWindow* parent) : CColoredListCtrl(parent, wxID_ANY, wxDefaultPosition,
                                                                        wxDefaultSize, kListStyle) {
  prepareList(*this);
}

void CScnPropListCtrl::FillProperties(CSubSection* sub) {
  addColumns(*this);
  if (sub == nullptr) return;
  m_rows = ElasticPropertyRows(*sub);
  showRows(*this, m_rows, *sub);
}

CPlasticScnPropListCtrl::CPlasticScnPropListCtrl(wxWindow* parent)
    : CColoredListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, kListStyle) {
  prepareList(*this);
}

void CPlasticScnPropListCtrl::FillProperties(CSubSection* sub) {
  addColumns(*this);
  if (sub == nullptr) return;
  showRows(*this, PlasticPropertyRows(*sub), *sub);
}

COutputWnd::COutputWnd(wxWindow* parent, int id) : wxPanel(parent, id) {
  m_tabs = new CQHTabCtrl(this, kTabControlId);
  wxWithImages::Images images;
  images.push_back(wxBitmapBundle(RibbonImage("section_properties", 16)));
  images.push_back(wxBitmapBundle(RibbonImage("plastic", 16)));
  m_tabs->SetImages(images);
  m_elastic = new CScnPropListCtrl(m_tabs);
  m_plastic = new CPlasticScnPropListCtrl(m_tabs);
  addColumns(*m_elastic);
  addColumns(*m_plastic);
  m_tabs->AddTab(m_elastic, "Elastic Properties", 0, true);
  m_tabs->AddTab(m_plastic, "Plastic Properties", 1, true);
  // The notebook's own events end here: the main frame's document tabs
  // would take them for theirs (and find no document window behind them).
  const auto stop = [](wxAuiNotebookEvent&) {};
  Bind(wxEVT_AUINOTEBOOK_PAGE_CHANGED, stop);
  Bind(wxEVT_AUINOTEBOOK_PAGE_CLOSE, stop);
  Bind(wxEVT_AUINOTEBOOK_PAGE_CLOSED, stop);
  // The tab control takes the whole client area, also when it is resized.
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(m_tabs, 1, wxEXPAND);
  SetSizer(sizer);
}

void COutputWnd::ClearPropertyLists() {
  m_pending = nullptr;
  m_elastic->DeleteAllItems();
  m_plastic->DeleteAllItems();
}

void COutputWnd::SetResultSubSection(CSubSection* sub) { m_pending = sub; }

void COutputWnd::FillPropertyLists() { RefreshPlasticProperties(std::exchange(m_pending, nullptr)); }

void COutputWnd::RefreshPlasticProperties(CSubSection* sub) {
  m_elastic->FillProperties(sub);
  m_plastic->FillProperties(sub);
  Refresh();
}
