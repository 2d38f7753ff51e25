// Inverting lines in an off-screen buffer.
#include "platform/gl/BufferInversion.h"

#include <cstdlib>

namespace {

void invertPixel(COffscreenContext& buffer, LONG x, LONG clientY) {
    if (x < 0 || clientY < 0 || x >= buffer.width() || clientY >= buffer.height()) return;
    const LONG row = buffer.height() - 1 - clientY;  // the buffer holds the bottom row first
    std::uint8_t* p = buffer.bits() + static_cast<std::size_t>(row) * buffer.rowBytes() + static_cast<std::size_t>(x) * 4;
    // Colour bytes are the first three in either byte order; alpha is last.
    p[0] = static_cast<std::uint8_t>(~p[0]);
    p[1] = static_cast<std::uint8_t>(~p[1]);
    p[2] = static_cast<std::uint8_t>(~p[2]);
}

}  // namespace

void invertLine(COffscreenContext& buffer, CPoint from, CPoint to) {
    // Bresenham's walk over every pixel from `from` up to, not including, `to`.
    const long dx = std::labs(static_cast<long>(to.x) - from.x);
    const long dy = -std::labs(static_cast<long>(to.y) - from.y);
    const LONG sx = from.x < to.x ? 1 : -1;
    const LONG sy = from.y < to.y ? 1 : -1;
    long error = dx + dy;
    LONG x = from.x;
    LONG y = from.y;
    while (x != to.x || y != to.y) {
        invertPixel(buffer, x, y);
        const long twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += sx;
        }
        if (twice <= dx) {
            error += dx;
            y += sy;
        }
    }
}

void invertRectOutline(COffscreenContext& buffer, CPoint p1, CPoint p2) {
    const CPoint corners[4] = {p1, {p2.x, p1.y}, p2, {p1.x, p2.y}};
    for (int i = 0; i < 4; ++i) invertLine(buffer, corners[i], corners[(i + 1) % 4]);
}
