// "Add Critical Point" (template 155): a critical point (x, y) with its
// allowable strain for a sub-section, opened by the plastic bending
// dialog. While open it is its view's shape-selection receiver, so picked
// points fill X and Y ahead of the dialog that opened it.
#pragma once

#include <functional>

#include "lorimant/shapes/ModelessDialogLogic.h"

class CSubSection;

class CAddCriticalPoint : public ModelessDialogLogic {
 public:
  enum { IDD = 155, IDC_X = 951, IDC_Y = 961, IDC_STRAIN = 962 };

  // A dialog adding to sub of view's model; added (may be empty) runs
  // after a point was added, for the opener to refill its list.
  CAddCriticalPoint(CThickSectionView& view, CSubSection* sub, std::function<void()> added = {});
  // Gives the receiver slot back when it still holds this dialog.
  ~CAddCriticalPoint() override;

  // Takes the view's receiver slot (remembering what it held), registers
  // with the document and shows the window.
  void show() override;
  void DoDataExchange(CDataExchange* pDX) override;
  // A picked point fills X and Y.
  void pointPicked(Point<double> location) override;
  // A strain below 1e-20 in magnitude is refused ("Critical strain value
  // may not be zero", "Critical Points") and the dialog stays open; else
  // the point is added, the slot given back, "xscn.AddCriticalPoint
  // "<sub-section>",x,y,strain" journalled, the opener told, the dialog closed.
  void OnOK() override;

  CSubSection* subSection() const { return m_sub; }

  double m_x = 0.0, m_y = 0.0;
  double m_strain = 0.0;

 protected:
  void closed() override { releaseReceiverSlot(); }

 private:
  void releaseReceiverSlot();

  CSubSection* m_sub;
  std::function<void()> m_added;
  ModelessDialog* m_previousReceiver = nullptr;
  bool m_holdsSlot = false;
};
