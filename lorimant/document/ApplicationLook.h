// The main frame's looks: the five look commands with their labels, which
// ribbon art each uses and its colours, and the look kept in the profile
// ("Workspace", "ApplicationLook").
#pragma once

#include <span>

#include "platform/core/CString.h"
#include "platform/core/Types.h"

// The look commands.
inline constexpr int kLookOffice2007Aqua = 33302;
inline constexpr int kLookOffice2007Black = 33303;
inline constexpr int kLookOffice2007Blue = 33304;
inline constexpr int kLookOffice2007Silver = 33305;
inline constexpr int kLookWindows7 = 33306;
// The look of a profile that keeps none (or one no longer known).
inline constexpr int kDefaultApplicationLook = kLookOffice2007Blue;

// The profile section and entry of the chosen look.
inline constexpr const wchar_t* kApplicationLookSection = L"Workspace";
inline constexpr const wchar_t* kApplicationLookEntry = L"ApplicationLook";

// One look: its command, its label on the Style menu, whether it draws the
// ribbon with the second art (the Windows 7 one) rather than the default
// art, the ribbon's three scheme colours (primary: backgrounds, secondary:
// highlights, tertiary: text and borders) and the colours of the caption
// bar under the ribbon (background and text).
struct ApplicationLook {
  int id;
  const wchar_t* label;
  bool windows7Art;
  COLORREF primary;
  COLORREF secondary;
  COLORREF tertiary;
  COLORREF captionBackground;
  COLORREF captionText;
};

// The five looks in command order.
std::span<const ApplicationLook> ApplicationLooks();
// The look of command id; null for any other id.
const ApplicationLook* FindApplicationLook(int id);
// The look kept in the profile; kDefaultApplicationLook when none is kept
// or the kept value is no look command.
int LoadApplicationLook();
// Keeps id in the profile (an id that is no look command is not kept).
void SaveApplicationLook(int id);
