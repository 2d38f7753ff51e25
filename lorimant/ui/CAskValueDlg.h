// The dialog that asks one question for one number.
#pragma once

#include "analysis/views/CommonDialogForms.h"
#include "platform/ui/CDialog.h"

class CAskValueDlg : public CDialog, public CAskValueForm {
 public:
  // Prompt empty, value 0; parent may be null.
  explicit CAskValueDlg(wxWindow* parent = nullptr);

 protected:
  void CreateControls() override;
  // Shows the members; a long question wraps instead of widening the
  // dialog past the screen.
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override { CAskValueForm::DoDataExchange(pDX); }
};
