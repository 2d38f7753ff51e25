// The dialog that asks for evenly distributed points on a circle: radius,
// number of points, start and end angle.
#pragma once

#include "analysis/views/CommonDialogForms.h"
#include "platform/ui/CDialog.h"

class CPtsAtAnglesDlg : public CDialog, public CPtsAtAnglesForm {
 public:
  // Radius 10, 8 points, from 0 to 360 degrees; parent may be null.
  explicit CPtsAtAnglesDlg(wxWindow* parent = nullptr);

 protected:
  void CreateControls() override;
  // Closes with IDOK when every value is in range and the angles are in order.
  void OnOK() override;
  void DoDataExchange(CDataExchange* pDX) override { CPtsAtAnglesForm::DoDataExchange(pDX); }
};
