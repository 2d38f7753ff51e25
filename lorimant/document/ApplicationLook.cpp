// The main frame's looks.
#include "lorimant/document/ApplicationLook.h"

#include <algorithm>
#include <iterator>

#include "platform/core/Settings.h"

namespace {

constexpr ApplicationLook kLooks[] = {
    {kLookOffice2007Aqua, L"Office 2007 (Aqua Style)", false, RGB(168, 204, 218), RGB(255, 214, 112),
     RGB(24, 64, 84), RGB(216, 234, 240), RGB(24, 64, 84)},
    {kLookOffice2007Black, L"Office 2007 (Black Style)", false, RGB(84, 84, 88), RGB(255, 188, 72),
     RGB(230, 230, 230), RGB(58, 58, 62), RGB(240, 240, 240)},
    {kLookOffice2007Blue, L"Style", false, RGB(194, 216, 241), RGB(255, 219, 118), RGB(21, 66, 139),
     RGB(222, 235, 250), RGB(21, 66, 139)},
    {kLookOffice2007Silver, L"Office 2007 (Silver Style)", false, RGB(208, 212, 220), RGB(255, 214, 112),
     RGB(60, 64, 72), RGB(234, 236, 240), RGB(40, 40, 48)},
    {kLookWindows7, L"Windows 7", true, RGB(226, 234, 244), RGB(150, 190, 235), RGB(30, 57, 91),
     RGB(242, 246, 251), RGB(30, 57, 91)},
};

}  // namespace

std::span<const ApplicationLook> ApplicationLooks() { return kLooks; }

const ApplicationLook* FindApplicationLook(int id) {
  const auto it = std::find_if(std::begin(kLooks), std::end(kLooks), [id](const ApplicationLook& l) { return l.id == id; });
  return it == std::end(kLooks) ? nullptr : &*it;
}

int LoadApplicationLook() {
  const int stored = static_cast<int>(
      Settings::GetProfileInt(kApplicationLookSection, kApplicationLookEntry, kDefaultApplicationLook));
  return FindApplicationLook(stored) != nullptr ? stored : kDefaultApplicationLook;
}

void SaveApplicationLook(int id) {
  if (FindApplicationLook(id) != nullptr) Settings::WriteProfileInt(kApplicationLookSection, kApplicationLookEntry, id);
}
