// The windows dialog of the main frame: the open document windows in tab
// order; "Activate" (or a double click) brings the chosen one to the front.
#pragma once

#include "lorimant/document/CWindowsForm.h"
#include "platform/ui/CDialog.h"

class CWindowsDlg : public CDialog, public CWindowsForm {
 public:
  // The dialog over parent (may be null); the opener fills m_windows and
  // presets m_selection.
  explicit CWindowsDlg(wxWindow* parent = nullptr);

 protected:
  void CreateControls() override;
  // Shows the titles, the preset one selected.
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override { CWindowsForm::DoDataExchange(pDX); }
};
