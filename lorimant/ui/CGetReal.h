// The dialog that asks for a number and shows the bounds it belongs in.
#pragma once

#include "analysis/views/CommonDialogForms.h"
#include "platform/ui/CDialog.h"

class CGetReal : public CDialog, public CGetRealForm {
 public:
  // Value and bounds 0; parent may be null.
  explicit CGetReal(wxWindow* parent = nullptr);

 protected:
  void CreateControls() override;
  // Shows the numbers and puts the focus in the value box.
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override { CGetRealForm::DoDataExchange(pDX); }
};
