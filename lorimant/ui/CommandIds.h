// The program's command identifiers as wx window and menu ids. wx accepts
// menu ids only below 32767 and keeps 4999 to 5999 for its standard ids;
// the program's commands run from 32768 to 59999. A command id from 32768
// on is used in wx shifted down by a fixed offset, into 6768 to 33999
// (every command the program has lies below 32767 there); smaller ids stay.
#pragma once

#include "platform/core/Types.h"

inline constexpr int kWxCommandOffset = 26000;
inline constexpr UINT kFirstShiftedCommand = 32768;
inline constexpr UINT kLastShiftedCommand = 59999;

// The wx id of a command.
constexpr int WxCommandId(UINT command) {
  return command >= kFirstShiftedCommand ? static_cast<int>(command) - kWxCommandOffset : static_cast<int>(command);
}

// The command of a wx id (the inverse of WxCommandId).
constexpr UINT CommandOfWxId(int wxId) {
  return wxId >= WxCommandId(kFirstShiftedCommand) && wxId <= WxCommandId(kLastShiftedCommand)
             ? static_cast<UINT>(wxId + kWxCommandOffset)
             : static_cast<UINT>(wxId);
}
