// What the section view needs of its window beyond a plain view host:
// one-shot timers, hover reports, a pop-up menu, the questions its commands
// ask (ViewPrompts) and starting another program. The program's canvas
// implements it on a wx window; tests implement it with a recording stub.
#pragma once

#include <vector>

#include "analysis/views/CViewHost.h"
#include "lorimant/view/ViewPrompts.h"
#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"

// One entry of a pop-up menu: the command it sends, its label, whether it
// can be chosen.
struct ViewMenuEntry {
  UINT id = 0;
  CString label;
  bool enabled = false;
};

// A pop-up menu: its name and its entries from top to bottom.
struct ViewMenu {
  CString title;
  std::vector<ViewMenuEntry> entries;
};

class SectionViewHost : public CViewHost, public ViewPrompts {
 public:
  // Starts the one-shot timer id (restarting it when it runs): it reports
  // once, after milliseconds.
  virtual void startTimer(int id, int milliseconds) = 0;
  // Stops the timer id when it runs.
  virtual void killTimer(int id) = 0;
  // Asks for one hover report once the mouse has rested for milliseconds
  // over the window; a further call restarts the wait.
  virtual void trackHover(int milliseconds) = 0;
  // Shows the menu at a client point; the entry chosen comes back to the
  // view as its command.
  virtual void popupMenu(const ViewMenu& menu, CPoint clientPoint) = 0;
  // Starts commandLine as a program of its own, not waited for; false when
  // it cannot start.
  virtual bool startProgram(const CString& commandLine) = 0;
  // Asks for a colour preset to rgb (red, green, blue, 0 to 255 each);
  // false when cancelled (rgb untouched).
  virtual bool askColour(int rgb[3]) = 0;
  // Makes the main window ask for the user's attention (its caption
  // flashes), as before a mouse interaction the status bar explains.
  virtual void requestAttention() {}
  // The view shown through this host is being destroyed: forget it.
  virtual void viewDestroyed() {}
};
