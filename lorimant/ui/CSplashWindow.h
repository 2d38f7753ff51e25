// The splash window: a borderless picture above the other windows while
// the program starts, with the product name, version and a status line
// drawn in the bands of CSplashWindowForm. At most one exists; it deletes
// itself once destroyed (by its timer, HideSplashScreen or a key or mouse
// press anywhere in the program).
#pragma once

#include <wx/bitmap.h>
#include <wx/frame.h>
#include <wx/timer.h>

#include "analysis/views/CSplashWindowForm.h"
#include "platform/core/Types.h"

class CSplashWindow : public wxFrame, public CSplashWindowForm {
 public:
  // The one splash window; null when none is shown.
  static CSplashWindow* m_pSplashWindow;

  // Takes status (when given) as the status line and milliseconds as the
  // display time; makes and shows the window when there is none (centred
  // on parent, or on the screen without one), starts timer 1 when
  // milliseconds is not 0, and paints it at once.
  static void ShowSplashScreen(wxWindow* parent, const wchar_t* status, int milliseconds);
  // Destroys the splash window when there is one and updates the main window.
  static void HideSplashScreen();
  // With a splash window, a key or mouse-button press hides it and is
  // swallowed (TRUE); any other event, and any event without one, FALSE.
  static BOOL PreTranslateAppMessage(const wxEvent& event);
  // Reads the texts from the version information of the program.
  static void GetVersionStrings();

  // Whether timer 1 runs, and its interval (ms).
  bool IsTimerRunning() const { return m_timer.IsRunning(); }
  int TimerInterval() const { return m_timer.GetInterval(); }
  // The texts the window draws now, where and how.
  std::vector<TextBand> CurrentBands();

  CSplashWindow(const CSplashWindow&) = delete;
  CSplashWindow& operator=(const CSplashWindow&) = delete;

 private:
  CSplashWindow() = default;
  ~CSplashWindow() override;
  // Makes the window the bitmap's size; false when there is no bitmap.
  bool Create(wxWindow* parent);
  void OnPaint(wxPaintEvent& event);
  void OnTimer(wxTimerEvent& event);

  wxBitmap m_bitmap;
  wxTimer m_timer;
};
