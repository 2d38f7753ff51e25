// The shape dialogs' rules on a real document and section view, with their
// windows held in memory: the controls by id, how often a window was shown
// and destroyed, and the work it was asked to run after the current event.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "lorimant/shapes/ModelessDialogLogic.h"
#include "platform/core/DataExchange.h"
#include "test_view_support.h"

namespace shape_dialog_test {

class MemoryWindow : public DialogWindow {
 public:
  MemoryWindow(ModelessDialogLogic& logic, const std::vector<int>& ids) : m_logic(&logic) {
    for (int id : ids) c.Add(id);
  }
  CDialogControls& controls() override { return c; }
  void showWindow() override {
    ++shows;
    shown = true;
    if (m_logic != nullptr) m_logic->UpdateData(FALSE);
  }
  void destroyWindow() override {
    ++destroyed;
    shown = false;
    m_logic = nullptr;
  }
  void post(std::function<void()> work) override { posted.push_back(std::move(work)); }
  // Runs the posted work, as the event loop does after a click.
  void runPosted() {
    auto work = std::move(posted);
    posted.clear();
    for (auto& w : work) w();
  }

  CMemoryControls c;
  int shows = 0;
  int destroyed = 0;
  bool shown = false;
  std::vector<std::function<void()>> posted;

 private:
  ModelessDialogLogic* m_logic;
};

// Keeps every window a dialog was given, newest last.
class MemoryWindows {
 public:
  // Gives dialog windows with controls ids.
  void give(ModelessDialogLogic& dialog, std::vector<int> ids) {
    dialog.setWindowMaker([this, ids](ModelessDialogLogic& logic) -> DialogWindow* {
      m_windows.push_back(std::make_unique<MemoryWindow>(logic, ids));
      return m_windows.back().get();
    });
  }
  MemoryWindow& last() { return *m_windows.back(); }
  int destroyed() const {
    int n = 0;
    for (const auto& w : m_windows) n += w->destroyed;
    return n;
  }

 private:
  std::vector<std::unique_ptr<MemoryWindow>> m_windows;
};

}  // namespace shape_dialog_test
