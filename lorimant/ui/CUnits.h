// The dialog that asks for a unit system: "SI (cm,KPa)" or "USCS (in,lbf)".
// It only returns the choice (m_selection after IDOK); the opener decides
// what it changes. There is no Cancel button: Escape and the close box
// cancel.
#pragma once

#include "analysis/views/CUnitsForm.h"
#include "platform/ui/CDialog.h"

class CUnits : public CDialog, public CUnitsForm {
 public:
  // USCS preselected; parent may be null.
  explicit CUnits(wxWindow* parent = nullptr);

 protected:
  void CreateControls() override;
  // Closes with IDOK when a system is selected, else says that one must be.
  void OnOK() override;
  void DoDataExchange(CDataExchange* pDX) override { CUnitsForm::DoDataExchange(pDX); }
};
