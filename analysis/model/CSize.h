// An extent in pixels or logical units (width cx, height cy). The platform
// core has no size type yet; this one stands in until it has.
#pragma once

#include "platform/core/Types.h"

struct CSize {
  LONG cx = 0;
  LONG cy = 0;

  // (0, 0).
  constexpr CSize() = default;
  // (width, height).
  constexpr CSize(LONG width, LONG height) : cx(width), cy(height) {}

  // Equal when both extents are.
  friend constexpr bool operator==(const CSize& a, const CSize& b) {
    return a.cx == b.cx && a.cy == b.cy;
  }
  // Different when either extent is.
  friend constexpr bool operator!=(const CSize& a, const CSize& b) { return !(a == b); }
};
