// The "Section Tree" pane of the main frame: the pane's tool bar on top,
// the tree below it inside a one-pixel border of the button-shadow colour.
// It shows the model of the active document (taken at each use, never
// kept) and runs the pane's commands on it through the window-free
// SectionTreeModel; the context menu opens on a right click and from the
// tool bar's menu button.
#pragma once

#include <wx/panel.h>

#include <functional>
#include <memory>

#include "lorimant/view/SectionTreeModel.h"

class CClassToolBar;
class CDragDropTreeCtrl;
class wxMenu;

class CSectionTreeView : public wxPanel, public SectionTreeHost {
 public:
  // Shows menu at a point of window and returns the chosen item's id
  // (wxID_NONE when none was chosen).
  using MenuRunner = std::function<int(wxMenu& menu, wxWindow& window, const wxPoint& at)>;

  // The pane in parent, filled from the active document when there is one.
  explicit CSectionTreeView(wxWindow* parent, wxWindowID id = wxID_ANY);
  ~CSectionTreeView() override;
  CSectionTreeView(const CSectionTreeView&) = delete;
  CSectionTreeView& operator=(const CSectionTreeView&) = delete;

  // Rebuilds the tree from the active document; 1 when it was built, 0
  // without an active document or while its model is being closed.
  int RebuildTree();
  // Deletes every item (the document is going).
  void DeleteAllItems();

  SectionTreeModel& logic() { return m_logic; }
  CDragDropTreeCtrl& tree() const { return *m_tree; }
  CClassToolBar& toolBar() const { return *m_toolBar; }

  // The id of a command's menu item (wx ids stay below 32767; the
  // commands' own ids do not).
  static int MenuItemId(UINT command);
  // The context menu as the selection enables it.
  std::unique_ptr<wxMenu> BuildMenu() const;
  // Opens the context menu at a point of window and runs what is chosen.
  void ShowMenu(wxWindow& window, const wxPoint& at);
  // Replaces (null: restores) the way the menu is shown; tests choose
  // from it without a menu loop.
  static void SetMenuRunner(MenuRunner runner);

  // ---- SectionTreeHost ----
  void rowsChanged() override;
  // Asks through the text dialog (CGetStringDlg).
  bool askText(const CString& prompt, CString& answer) override;

 private:
  SectionTreeModel m_logic{this};
  CClassToolBar* m_toolBar = nullptr;
  CDragDropTreeCtrl* m_tree = nullptr;
};
