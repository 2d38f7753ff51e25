// Inverting pixels of an off-screen buffer in place, as an inverting pen
// draws on a window: every covered pixel's red, green and blue bits are
// flipped (alpha kept), so drawing the same figure twice restores the
// buffer exactly. Positions are client pixels: origin at the top left, y
// growing downwards, whatever the buffer's row order.
#pragma once

#include "platform/core/CRect.h"
#include "platform/gl/COffscreenContext.h"

// Inverts the pixels of the line from `from` to `to`, the end pixel
// excluded (so the edges of a closed figure meet without overlap). Pixels
// outside the buffer are skipped.
void invertLine(COffscreenContext& buffer, CPoint from, CPoint to);

// Inverts the outline of the rectangle with corners p1 and p2: the edges
// p1-(p2.x, p1.y)-p2-(p1.x, p2.y)-p1, each without its end pixel.
void invertRectOutline(COffscreenContext& buffer, CPoint p1, CPoint p2);
