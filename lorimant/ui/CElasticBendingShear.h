// The window of the elastic bending shear and fastener load dialog: the
// controls of template 192 built in code over BendingShearLogic, its focus
// events telling the rules which box waits for a pick.
#pragma once

#include "lorimant/analyses/BendingShearLogic.h"
#include "lorimant/ui/CQHTDialogEx.h"

class wxSizer;

class CElasticBendingShear : public CQHTDialogEx {
 public:
  CElasticBendingShear(BendingShearLogic& logic, wxWindow* parent);

  void destroyWindow() override;

 protected:
  void CreateControls() override;

 private:
  wxSizer* makeBox();
  wxSizer* makeShape();
  wxSizer* makeFastener();
  // A row of label, number box and unit label in grid.
  void addRow(wxSizer* grid, const char* label, int id, int unitId, bool readOnly = false);
  void bindEvents();

  BendingShearLogic* m_shear;
};

class BendingDialogLogic;

// Makes the bending dialog's bending-shear dialogs open as this window over
// the bending dialog's own window.
void UseElasticBendingShearWindow(BendingDialogLogic& bending);
