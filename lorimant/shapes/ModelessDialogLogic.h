// What every modeless dialog of the section view shares without a window:
// the view and document it was opened from, its registration with that
// document (made when it opens, undone exactly once however it closes),
// the data exchange of its members with its window's controls, and the two
// number conversions of the analysis dialogs. The window (lorimant/ui,
// CQHTDialogEx) is a separate object made when the dialog is shown, so
// that the dialog's members outlive its window and a window that the
// window system deletes late never reaches the document.
#pragma once

#include <functional>
#include <memory>

#include "lorimant/view/CThickSectionView.h"
#include "lorimant/view/SectionDialogs.h"
#include "platform/core/CString.h"
#include "platform/core/DataExchange.h"

class CXSectionAnalysisDoc;

// The window of a modeless dialog as its rules see it.
class DialogWindow {
 public:
  virtual ~DialogWindow() = default;
  // The window's controls, addressed by control id.
  virtual CDialogControls& controls() = 0;
  // Builds the window when needed, shows the members in it and shows it.
  virtual void showWindow() = 0;
  // The window goes; it never calls its dialog again (a window system
  // may delete it later).
  virtual void destroyWindow() = 0;
  // Runs work once the event being handled is finished (as a posted
  // window message is).
  virtual void post(std::function<void()> work) = 0;
};

class ModelessDialogLogic : public SectionDialog, public PickReceiver {
 public:
  // Makes the window of a dialog when it is first shown.
  using WindowMaker = std::function<DialogWindow*(ModelessDialogLogic&)>;

  // The undefined-value marker and its text.
  static constexpr double kUndefined = -99999.0;
  static constexpr const wchar_t* kUndefinedText = L"undef";

  // A dialog of template templateId and caption, acting on view and the
  // document view shows, whichever document is active later.
  ModelessDialogLogic(UINT templateId, const wchar_t* caption, CThickSectionView& view);
  // Unregisters the dialog when its document still holds it and destroys its window.
  ~ModelessDialogLogic() override;
  ModelessDialogLogic(const ModelessDialogLogic&) = delete;
  ModelessDialogLogic& operator=(const ModelessDialogLogic&) = delete;

  UINT templateId() const { return m_templateId; }
  const CString& caption() const { return m_caption; }
  // A new caption, for the window made when the dialog is next shown.
  void setCaption(const CString& caption) { m_caption = caption; }
  CThickSectionView& view() const { return m_view; }
  // The document of the view the dialog was opened from (null without one).
  CXSectionAnalysisDoc* document() const;
  // True while the document lists the dialog as open.
  bool isRegistered() const;
  // The window shown now (null when none).
  DialogWindow* window() const { return m_window; }
  // Sets how the window is made (the program's wx window; a test's controls in memory).
  void setWindowMaker(WindowMaker maker) { m_windowMaker = std::move(maker); }

  // Registers the dialog with its document and shows its window (made when
  // there is none).
  void show() override;
  // The document closes the dialog: unregistered when still listed, its
  // window destroyed. Safe to call when it is already closed.
  void DestroyWindow() override;
  // The window went by itself (the window system destroyed it): the
  // dialog forgets it and is unregistered unless that happened already.
  void windowGone(DialogWindow* window);

  // TRUE: the controls into the members; FALSE: the members into the
  // controls. FALSE without a window or when a control was refused.
  BOOL UpdateData(BOOL saveAndValidate = TRUE);
  // Moves the members to and from the controls.
  virtual void DoDataExchange(CDataExchange* pDX) = 0;
  // Buttons: OK (1), Cancel (2, also the close box and Escape) and any other id.
  virtual void OnOK() = 0;
  virtual void OnCancel() { CloseDialog(); }
  virtual void OnCommand(UINT /*id*/) {}

  // A double shown as its nearest whole number grouped in the user's
  // locale ("undef" for -99999). Reading removes the locale's group
  // separators and puts the cleaned text back; "undef" reads as -99999;
  // an empty box leaves the value unless allowEmpty is set (then it is
  // read as a number and refused with the number prompt).
  static void DDX_RoundedDouble(CDataExchange* pDX, int id, double& value, bool allowEmpty);
  // A double shown through a printf format (C locale). Reading: a box that
  // is not empty, or any box when allowEmpty is set, is read as a number;
  // an empty box otherwise leaves the value.
  static void DDX_FormattedDouble(CDataExchange* pDX, int id, double& value, bool allowEmpty,
                                  const CString& format);

 protected:
  // Closes the dialog through its own document (which destroys the window);
  // a dialog its document does not hold just loses its window.
  void CloseDialog();
  // Called once each time the dialog closes, before its window goes.
  virtual void closed() {}
  // Makes the dialog one of the view's point-taking dialogs while it lives.
  void takeViewPoints();
  // Runs work after the current event (at once without a window); never
  // after the dialog is gone.
  void post(std::function<void()> work);
  // A message box through the hooks.
  static int message(const wchar_t* text, const wchar_t* caption, UINT type);

 private:
  void unregister();

  UINT m_templateId;
  CString m_caption;
  CThickSectionView& m_view;
  WindowMaker m_windowMaker;
  DialogWindow* m_window = nullptr;
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
