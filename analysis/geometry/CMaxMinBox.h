#pragma once

#include "analysis/geometry/Point.h"
#include "platform/core/CList.h"

class Bspline;

// Axis-aligned box given by its lower corner min and its upper corner max
// (x, y and z). A default box is all zeros. Plain value: no base, nothing
// virtual, six doubles in order min then max.
class CMaxMinBox {
public:
    Point<double> min;
    Point<double> max;

    // All six values 0.
    CMaxMinBox() = default;
    // Box of the points of a non-empty list (the first point seeds it).
    explicit CMaxMinBox(CList<Point<double>*>* pts);
    // Box of n >= 1 points of an array (the first point seeds it).
    CMaxMinBox(Point<double>* pts, int n);
    // Union of two boxes: per coordinate the smaller min and the larger max.
    CMaxMinBox(CMaxMinBox* a, CMaxMinBox* b);
    CMaxMinBox(const CMaxMinBox&) = default;
    ~CMaxMinBox() = default;

    // Copies the six values.
    CMaxMinBox& operator=(const CMaxMinBox&) = default;

    // Widens this box to the union with b.
    void add(CMaxMinBox& b);

    // p lies in the box in x and y within 1e-12; z is tested within 1e-12
    // against the upper bound when flag is set, else against the lower bound.
    bool inside(Point<double>* p, bool flag);

    // Whether the two boxes may share a point: never false for boxes that
    // share one (xy rectangles compared with a margin of 1e-12).
    bool overlap(CMaxMinBox* b);

    // Squared distance from p to the nearest point of the box (0 inside).
    double dist2(Point<double>* p);

    // For every control point i of s: d2[i] = squared distance from pts[i] to
    // the box of s's control points. pts and d2 hold that many entries.
    void dist2(Bspline* s, Point<double>* pts, double* d2);

    // Length of the diagonal |max - min| (0 when its square is below 1e-40).
    double diagDist();
};
