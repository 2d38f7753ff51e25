// The window of the plastic bending dialog: the controls of template 170
// built in code over PlasticBendingLogic, its two lists, and the maker that
// gives a view the dialog.
#pragma once

#include <memory>

#include "lorimant/analyses/PlasticBendingLogic.h"
#include "lorimant/ui/CQHTDialogEx.h"

class CListCtrlEx;
class SectionDialogFactory;
class wxSizer;

class CPlasticBendingAboutNADlg : public CQHTDialogEx {
 public:
  CPlasticBendingAboutNADlg(PlasticBendingLogic& logic, wxWindow* parent);
  // Stops the rules' notices when the window goes before them.
  ~CPlasticBendingAboutNADlg() override;

  void destroyWindow() override;
  CListCtrlEx* criticalList() const { return m_critical; }
  CListCtrlEx* locationList() const { return m_locations; }
  // Shows the rules' rows; a row the list refuses raises
  // "Unable to add item to list control.".
  void showState();

 protected:
  void CreateControls() override;

 private:
  wxSizer* makeInputs();
  wxSizer* makeResults();
  wxSizer* makeLinePlot();
  wxSizer* makeCriticalPoints();
  wxSizer* makeLocations();
  void bindEvents();
  void runReadingSelection(UINT id);
  void showCriticalRows();
  void showLocationRows();

  PlasticBendingLogic* m_plastic;
  CListCtrlEx* m_critical = nullptr;
  CListCtrlEx* m_locations = nullptr;
};

// A plastic bending dialog of view whose window is made over parent when it
// is shown; the caller owns it and shows it.
std::unique_ptr<PlasticBendingLogic> CreatePlasticBendingDialog(CThickSectionView& view, wxWindow* parent);

// Registers the maker of the plastic bending dialog in factory.
void RegisterPlasticBendingDialog(SectionDialogFactory& factory);
