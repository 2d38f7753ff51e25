// The window of the restrained and unrestrained bending dialog: the
// controls of template 105 built in code over BendingDialogLogic, the point
// list as an editable list, and the maker that gives a view the dialog.
#pragma once

#include <memory>

#include "lorimant/analyses/BendingDialogLogic.h"
#include "lorimant/ui/CQHTDialogEx.h"

class CListCtrlEx;
class wxKeyEvent;
class wxSizer;
class wxTextCtrl;

class CUnrestrainedBendingDlg : public CQHTDialogEx {
 public:
  CUnrestrainedBendingDlg(BendingDialogLogic& logic, wxWindow* parent);
  // Stops the rules' notices when the window goes before them.
  ~CUnrestrainedBendingDlg() override;

  void destroyWindow() override;
  // The point list (null until the window is built).
  CListCtrlEx* pointList() const { return m_list; }
  // Shows the rules' rows and enabled controls.
  void showState();

 protected:
  void CreateControls() override;

 private:
  wxSizer* makeInputs();
  wxSizer* makeLinePlot();
  wxSizer* makeResults();
  wxSizer* makePointList();
  void bindEvents();
  // The list's edited cells and selection into the rules.
  void readList();
  void runReadingList(UINT id);
  void onListKey(wxKeyEvent& event);
  void fitColumns();

  BendingDialogLogic* m_bending;
  CListCtrlEx* m_list = nullptr;
  wxTextCtrl* m_editor = nullptr;
};

// A bending dialog of view (restrained 1, unrestrained 0) whose window is
// made over parent when it is shown; the caller owns it and shows it.
std::unique_ptr<BendingDialogLogic> CreateUnrestrainedBendingDialog(CThickSectionView& view, wxWindow* parent,
                                                                    int restrained);

class SectionDialogFactory;

// Registers the maker of the bending dialog (its window over the view's
// top-level window) in factory; the view's command sets its analysis type.
void RegisterAnalysisDialogs(SectionDialogFactory& factory);
