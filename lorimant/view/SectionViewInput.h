// The section view's mouse, keyboard, timer and touch input: the window
// hands its events in, this turns them into picks, pans, zoom steps,
// tooltips, the context menu and commands of the view. It runs with no
// window: the window's part is only to translate its events.
//
// While a rubber-band loop of the view runs, mouse events and Esc go to the
// loop first. The middle-button pan is a mode of its own: it holds the
// mouse from the middle press until the middle or right button is
// released, Esc is pressed or the capture is lost.
#pragma once

#include <vector>

#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"

class CThickSectionView;
class SectionViewHost;

// Key codes of the view's keyboard; a letter is its upper-case character.
namespace ViewKeyCode {
constexpr int Back = 0x08;
constexpr int Escape = 0x1B;
constexpr int Left = 0x25;
constexpr int Up = 0x26;
constexpr int Right = 0x27;
constexpr int Down = 0x28;
constexpr int Delete = 0x2E;
}  // namespace ViewKeyCode

// A key press with the modifiers held when it arrived.
struct ViewKey {
  int code = 0;
  bool ctrl = false;
  bool shift = false;
  bool alt = false;
};

// The view's timers and their times.
constexpr int kPickHoldTimer = 1;
constexpr int kPickHoldMilliseconds = 2000;
constexpr int kHoverMilliseconds = 500;

class SectionViewInput {
 public:
  SectionViewInput(CThickSectionView& view, SectionViewHost& host);

  // ---- mouse, client pixels with y downwards ----
  // A left press: only a running rubber-band loop takes it.
  void leftDown(CPoint p);
  // A left release picks at p (nothing while the double-click hold lasts,
  // during a pan or without a model): construction points only while the
  // translate, rotate or mirror dialog is open, else points and shapes. A
  // click that turns the picks off journals "xscn.ClearPicks".
  void leftUp(CPoint p);
  // A double click (nothing with the station display on): holds the picks
  // for 2000 ms (timer 1), keeps only the last pick, redraws and opens the
  // picked shape for editing. Dropping earlier picks journals
  // "xscn.ClearPicks" and the kept shape's "xscn.SelectShape".
  void leftDoubleClick(CPoint p);
  // Starts the pan mode at p.
  void middleDown(CPoint p);
  // Ends the pan mode.
  void middleUp(CPoint p);
  void rightUp(CPoint p);
  // In the pan mode the picture follows the mouse; otherwise the hover wait
  // restarts and a shown tooltip goes.
  void mouseMove(CPoint p);
  // The window lost the mouse: a rubber-band loop is cancelled, a pan ends.
  void captureLost();
  // A wheel turn: zoom step 6 for a negative delta, else 7; redraw.
  void wheel(int delta);
  // The mouse rested at p: the tooltip of the construction point or shape
  // under it.
  void hover(CPoint p);

  // ---- keyboard ----
  // Esc, the arrows (Shift: zoom steps), Ctrl+A, Ctrl+X and Delete (the
  // Delete command), Ctrl+Y (Redo), Ctrl+Z and Alt+Backspace (Undo).
  // Commands run through the view's update rules. False for a key the view
  // does not use (the window passes it on).
  bool keyDown(const ViewKey& key);

  // ---- timers and menu ----
  // Timer 1 ends the double-click hold.
  void timer(int id);
  // Shows the "Section Operations" menu at a client point; from the
  // keyboard, 5 pixels inside the client's top-left corner.
  void contextMenu(CPoint clientPoint, bool fromKeyboard);

  // ---- touch gestures ----
  // Pans by (to - from) with y reversed; nothing for no movement.
  void panGesture(CPoint from, CPoint to);
  // At the begin the camera centres on the gesture's centre; later a factor
  // below 1 is zoom step 7, else 6.
  void zoomGesture(CPoint centre, double factor, bool begin);
  // At the begin: Rotate All.
  void rotateGesture(CPoint centre, bool begin);
  // Picks every shape (journalled), redraws.
  void twoFingerTap(CPoint centre);
  // Journals "xscn.ClearPicks" and clears the picks.
  void pressAndTap(CPoint p);

  // True in the pan mode.
  bool panning() const { return m_panning; }

 private:
  enum class KeyWork { ClearPicks, Pan, Zoom, SelectAll, Command };
  struct KeyBinding;
  static const KeyBinding* findKey(const ViewKey& key);
  void runKey(const KeyBinding& binding);
  void escape();
  void endPan(bool releaseCapture);
  void panTo(CPoint p);
  void zoomAndRegrid(int code);
  void regrid();
  void clearPicksJournalled();
  void selectAllJournalled();
  // The picked shapes' names, in pick order.
  std::vector<CString> pickedShapeNames() const;

  CThickSectionView& m_view;
  SectionViewHost& m_host;
  bool m_panning = false;
  CPoint m_panLast;
};
