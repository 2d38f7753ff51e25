// Column masks, column formats and the "no colour" value of the program's
// report lists, with the values the stored dialogs and callers use.
#pragma once

#include "platform/core/Types.h"

// Which fields of a column description apply.
constexpr int LVCF_FMT = 0x0001;
constexpr int LVCF_WIDTH = 0x0002;
constexpr int LVCF_TEXT = 0x0004;
constexpr int LVCF_SUBITEM = 0x0008;

// Alignment of a column's texts.
constexpr int LVCFMT_LEFT = 0x0000;
constexpr int LVCFMT_RIGHT = 0x0001;
constexpr int LVCFMT_CENTER = 0x0002;

// A colour slot that holds no colour of its own (-1).
constexpr COLORREF CLR_NONE = 0xFFFFFFFFu;
