// The section tree pane's small tool bar: no command buttons of its own,
// only the menu button, which shows the picture of the menu's first command
// and opens the pane's menu below itself.
#pragma once

#include <wx/toolbar.h>

#include <functional>

class CClassToolBar : public wxToolBar {
 public:
  // The id of the tool bar and of its menu button.
  enum { kId = 1345, kMenuButton = 1332 };

  // A bar in parent whose menu button calls openMenu with the point below
  // the button (in the bar's coordinates).
  CClassToolBar(wxWindow* parent, std::function<void(const wxPoint&)> openMenu);

 private:
  std::function<void(const wxPoint&)> m_openMenu;
};
