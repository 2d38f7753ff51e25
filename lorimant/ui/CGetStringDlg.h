// The dialog that asks one question for one text.
#pragma once

#include "analysis/views/CommonDialogForms.h"
#include "platform/ui/CDialog.h"

class CGetStringDlg : public CDialog, public CGetStringForm {
 public:
  // Prompt and answer empty; parent may be null.
  explicit CGetStringDlg(wxWindow* parent = nullptr);

 protected:
  void CreateControls() override;
  // Shows the members; a long question wraps instead of widening the
  // dialog past the screen.
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override { CGetStringForm::DoDataExchange(pDX); }
};
