// The About box (template 1150): the program's name, its version, the day
// it was built, and OK.
#pragma once

#include "platform/ui/CDialog.h"

class CAboutDlg : public CDialog {
 public:
  enum { IDD = 1150, IDC_PROGRAM = 1151, IDC_VERSION = 1152, IDC_BUILT_ON = 1153 };

  // The box over parent (may be null).
  explicit CAboutDlg(wxWindow* parent = nullptr);

 protected:
  void CreateControls() override;
};
