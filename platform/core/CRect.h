// Integer points, extents and rectangles in pixels or logical units, as the
// views, dialogs and the embedded picture use them.
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
    friend constexpr bool operator==(const CSize&, const CSize&) = default;
};

struct CPoint {
    LONG x = 0;
    LONG y = 0;

    // (0, 0).
    constexpr CPoint() = default;
    // (x, y).
    constexpr CPoint(LONG px, LONG py) : x(px), y(py) {}

    // Equal when both coordinates are.
    friend constexpr bool operator==(const CPoint&, const CPoint&) = default;
    // This point moved by an extent.
    constexpr CPoint operator+(const CSize& s) const { return {x + s.cx, y + s.cy}; }
    // The extent from `p` to this point.
    constexpr CSize operator-(const CPoint& p) const { return {x - p.x, y - p.y}; }
};

struct CRect {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;

    // The empty rectangle at the origin.
    constexpr CRect() = default;
    // The rectangle with these edges.
    constexpr CRect(LONG l, LONG t, LONG r, LONG b) : left(l), top(t), right(r), bottom(b) {}
    // The rectangle spanned by two corners, as given (not normalised).
    constexpr CRect(CPoint topLeft, CPoint bottomRight)
        : left(topLeft.x), top(topLeft.y), right(bottomRight.x), bottom(bottomRight.y) {}

    // right - left.
    constexpr LONG Width() const { return right - left; }
    // bottom - top.
    constexpr LONG Height() const { return bottom - top; }
    // (Width, Height).
    constexpr CSize Size() const { return {Width(), Height()}; }
    // The corner (left, top).
    constexpr CPoint TopLeft() const { return {left, top}; }
    // The corner (right, bottom).
    constexpr CPoint BottomRight() const { return {right, bottom}; }
    // True when the rectangle has no area.
    constexpr bool IsRectEmpty() const { return Width() <= 0 || Height() <= 0; }
    // True when `p` lies inside (left and top edges included, right and bottom excluded).
    constexpr bool PtInRect(CPoint p) const
    {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    // Swaps edges so that left <= right and top <= bottom.
    constexpr void NormalizeRect()
    {
        if (left > right) { LONG t = left; left = right; right = t; }
        if (top > bottom) { LONG t = top; top = bottom; bottom = t; }
    }

    // Equal when all four edges are.
    friend constexpr bool operator==(const CRect&, const CRect&) = default;
};
