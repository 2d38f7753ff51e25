// The section tree pane.
#include "lorimant/app/CSectionTreeView.h"

#include <wx/imaglist.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/sizer.h>

#include <utility>

#include "lorimant/app/CClassToolBar.h"
#include "lorimant/app/CDragDropTreeCtrl.h"
#include "lorimant/app/SectionTreeImages.h"
#include "lorimant/ui/CGetStringDlg.h"
#include "lorimant/ui/ExceptionReport.h"

namespace {

// The first menu item's id; the others follow in menu order.
constexpr int kFirstMenuItem = wxID_HIGHEST + 1;

CSectionTreeView::MenuRunner& menuRunner() {
  static CSectionTreeView::MenuRunner runner;
  return runner;
}

}  // namespace

CSectionTreeView::CSectionTreeView(wxWindow* parent, wxWindowID id) : wxPanel(parent, id) {
  m_toolBar = new CClassToolBar(this, [this](const wxPoint& at) { ShowMenu(*m_toolBar, at); });
  // The border: the tree sits one pixel inside a panel of the shadow colour.
  auto* border = new wxPanel(this, wxID_ANY);
  border->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW));
  m_tree = new CDragDropTreeCtrl(border, wxID_ANY, m_logic);
  m_tree->AssignImageList(CreateSectionTreeImages());
  m_tree->onContextMenu = [this](const wxPoint& at) { ShowMenu(*m_tree, at); };
  auto* inner = new wxBoxSizer(wxVERTICAL);
  inner->Add(m_tree, 1, wxEXPAND | wxALL, 1);
  border->SetSizer(inner);
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(m_toolBar, 0, wxEXPAND);
  sizer->Add(border, 1, wxEXPAND);
  SetSizer(sizer);

  // A release of the left button on the pane itself (not on the tree) shows
  // the model again, after the event.
  for (wxWindow* window : {static_cast<wxWindow*>(this), static_cast<wxWindow*>(border)})
    window->Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& event) {
      event.Skip();
      CallAfter([this] { RunGuarded([this] { RebuildTree(); }); });
    });
  Bind(wxEVT_SHOW, [this](wxShowEvent& event) {
    event.Skip();
    if (event.IsShown()) RunGuarded([this] { RebuildTree(); });
  });
  Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent&) { m_tree->SetFocus(); });
  RebuildTree();
}

// The tree goes before the logic it shows.
CSectionTreeView::~CSectionTreeView() { DestroyChildren(); }

int CSectionTreeView::RebuildTree() { return m_logic.RebuildTree() ? 1 : 0; }

void CSectionTreeView::DeleteAllItems() { m_logic.DeleteAllItems(); }

void CSectionTreeView::rowsChanged() { m_tree->ShowRows(); }

bool CSectionTreeView::askText(const CString& prompt, CString& answer) {
  CGetStringDlg dialog(wxGetTopLevelParent(this));
  dialog.m_prompt = prompt;
  if (dialog.DoModal() != IDOK) return false;
  answer = dialog.m_answer;
  return true;
}

int CSectionTreeView::MenuItemId(UINT command) {
  const std::vector<SectionTreeMenuItem>& items = SectionTreeMenu();
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i].id == command) return kFirstMenuItem + static_cast<int>(i);
  return wxID_NONE;
}

std::unique_ptr<wxMenu> CSectionTreeView::BuildMenu() const {
  auto menu = std::make_unique<wxMenu>();
  for (const SectionTreeMenuItem& item : SectionTreeMenu()) {
    menu->Append(MenuItemId(item.id), wxString(item.text));
    menu->Enable(MenuItemId(item.id), m_logic.IsEnabled(item.id));
  }
  return menu;
}

void CSectionTreeView::ShowMenu(wxWindow& window, const wxPoint& at) {
  std::unique_ptr<wxMenu> menu = BuildMenu();
  const int chosen = menuRunner() ? menuRunner()(*menu, window, at) : window.GetPopupMenuSelectionFromUser(*menu, at);
  const std::vector<SectionTreeMenuItem>& items = SectionTreeMenu();
  const int index = chosen - kFirstMenuItem;
  if (index < 0 || index >= static_cast<int>(items.size())) return;
  RunGuarded([&] { m_logic.OnCommand(items[index].id); });
}

void CSectionTreeView::SetMenuRunner(MenuRunner runner) { menuRunner() = std::move(runner); }
