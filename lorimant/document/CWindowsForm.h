// The rules of the windows dialog of the main frame: the titles of the open
// document windows in tab order, and the one chosen to be activated.
#pragma once

#include <vector>

#include "platform/core/CString.h"
#include "platform/core/DataExchange.h"

class CWindowsForm {
 public:
  enum { IDD = 0, IDC_WINDOWS = 1001 };

  // The list's selection.
  void DoDataExchange(CDataExchange* pDX);
  // The window to activate after OK; -1 when none is chosen (or there is none).
  int Chosen() const;

  // The titles of the open document windows, in tab order.
  std::vector<CString> m_windows;
  // The selected title (the opener presets the active window); -1 none.
  int m_selection = -1;
};
