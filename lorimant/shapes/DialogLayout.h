// What a dialog's rules decide about its controls beyond their values:
// which are hidden, which are disabled and the items of its lists. The
// rules keep it; a window that can show it (DialogLayoutWindow) is told to
// apply it whenever it changes, and tests read it directly.
#pragma once

#include <map>
#include <set>
#include <vector>

#include "platform/core/CString.h"

class DialogLayout {
 public:
  // Every control is shown and enabled and has no items until told otherwise.
  bool shown(int id) const { return m_hidden.count(id) == 0; }
  bool enabled(int id) const { return m_disabled.count(id) == 0; }
  void show(int id, bool on) { on ? void(m_hidden.erase(id)) : void(m_hidden.insert(id)); }
  void enable(int id, bool on) { on ? void(m_disabled.erase(id)) : void(m_disabled.insert(id)); }
  // The items of a drop-down list, top to bottom (empty for an unknown id).
  const std::vector<CString>& items(int id) const {
    static const std::vector<CString> none;
    const auto it = m_items.find(id);
    return it != m_items.end() ? it->second : none;
  }
  void setItems(int id, std::vector<CString> items) { m_items[id] = std::move(items); }

 private:
  std::set<int> m_hidden;
  std::set<int> m_disabled;
  std::map<int, std::vector<CString>> m_items;
};

// A window that shows its rules' layout.
class DialogLayoutWindow {
 public:
  virtual ~DialogLayoutWindow() = default;
  // The rules' layout changed: hide, show, enable and refill the controls
  // as it says (values are moved separately by the data exchange).
  virtual void layoutChanged() = 0;
};
