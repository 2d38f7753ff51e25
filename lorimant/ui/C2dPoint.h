// The dialog that asks for a point: "X" and "Y".
#pragma once

#include "analysis/views/CommonDialogForms.h"
#include "platform/ui/CDialog.h"

class C2dPoint : public CDialog, public C2dPointForm {
 public:
  // Both coordinates 0; parent may be null.
  explicit C2dPoint(wxWindow* parent = nullptr);

 protected:
  void CreateControls() override;
  // Shows the point and puts the focus in the x box.
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override { C2dPointForm::DoDataExchange(pDX); }
};
