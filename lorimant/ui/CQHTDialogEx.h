// The window of every modeless dialog of the section view: a dialog of its
// rules' template and caption whose controls exchange with the rules
// (ModelessDialogLogic) and whose buttons run them. It is made when its
// dialog is shown and destroys itself when its dialog closes; whichever
// goes first, the window or its dialog, the other forgets it at once, and
// the dialog is unregistered from its document exactly once. Subclasses
// build the controls of their template.
#pragma once

#include <functional>
#include <initializer_list>

#include "lorimant/shapes/ModelessDialogLogic.h"
#include "platform/ui/CDialog.h"

class wxWindow;

class CQHTDialogEx : public CDialog, public DialogWindow {
 public:
  // The window of logic, over parent (may be null).
  CQHTDialogEx(ModelessDialogLogic& logic, wxWindow* parent);
  // Tells its dialog that the window is gone, unless the dialog went first.
  ~CQHTDialogEx() override;

  // The dialog's rules (null once the window was told to go).
  ModelessDialogLogic* logic() const { return m_logic; }

  // ---- the window as the rules see it ----
  CDialogControls& controls() override { return *this; }
  void showWindow() override;
  // Forgets its dialog at once and leaves the deletion to wx.
  void destroyWindow() override;
  void post(std::function<void()> work) override;

  // The number conversions of the modeless dialogs (no window needed).
  static void DDX_RoundedDouble(CDataExchange* pDX, int id, double& value, bool allowEmpty) {
    ModelessDialogLogic::DDX_RoundedDouble(pDX, id, value, allowEmpty);
  }
  static void DDX_FormattedDouble(CDataExchange* pDX, int id, double& value, bool allowEmpty,
                                  const CString& format) {
    ModelessDialogLogic::DDX_FormattedDouble(pDX, id, value, allowEmpty, format);
  }

  // The window an opener of view's dialogs puts them over: the top-level
  // window of the view's canvas (null without one).
  static wxWindow* ParentFor(const CThickSectionView& view);

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  // OK, Cancel (also Escape and the close box) and other buttons run the
  // rules; what they throw is shown.
  void OnOK() override;
  void OnCancel() override;
  // Binds a button of the template to the rules' OnCommand.
  void BindCommand(int id);
  // A row of the buttons at the bottom right: OK labelled okLabel, Cancel.
  wxSizer* MakeButtonRow(const wxString& okLabel);
  // One labelled number box of a template.
  struct Cell {
    int id;
    const char* label;
    bool readOnly = false;
  };
  // The cells as rows of label and box, in a group titled title when one
  // is given.
  wxSizer* MakeCells(std::initializer_list<Cell> cells, const char* title = nullptr);

 private:
  ModelessDialogLogic* m_logic;
};
