// Reading an OpenGL feedback buffer of GL_3D_COLOR_TEXTURE vertices (window
// x, y, z, four colour values, four texture values) token by token, for the
// drawn vertex nearest to a window point.
#pragma once

#include "analysis/geometry/Point.h"

// One vertex of the buffer.
struct FeedbackVertex {
    float x = 0, y = 0, z = 0;
    float colour[4] = {0, 0, 0, 0};
    float texture[4] = {0, 0, 0, 0};
};

// What the buffer holds for a window point.
struct FeedbackNearest {
    bool found = false;         // some vertex was drawn
    FeedbackVertex vertex;      // the nearest one (the first of equals)
    float token = 0;            // the pass-through value in force before it
    bool hasPrimitive = false;  // some point, line or polygon was drawn
    Point<float> reflection;    // the view direction reflected in the last primitive
};

// Parses `written` values of the buffer (the count glRenderMode returned;
// negative after an overflow, when the whole `capacity` is read). Each
// token is read with its own length: a pass-through value, one vertex for
// points, bitmaps and pixel operations, two for lines, a count and that
// many for polygons. The nearest vertex to (x, y, 0), z included, among
// points, lines and polygons is kept with the pass-through token before
// it. For each primitive with first vertex p, second q and last l the unit
// normal n of (q - p) x (l - p) (zero when degenerate) reflects d, the
// reversed and normalised view direction, in the primitive's plane:
// d - 2 (n . d) n, a unit vector that leaves d's component along the plane
// and turns back the one across it. An unknown token, a vertex count no
// polygon can have, or a token cut short by the end of the data ends the
// parse.
FeedbackNearest parseFeedback(const float* buffer, int capacity, int written, float x, float y,
                              const Point<float>& viewDirection);
