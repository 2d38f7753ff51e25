#pragma once

#include "analysis/geometry/Point.h"
#include "platform/core/CList.h"

class Bspline;

// Line functions of the spline intersections: the meeting of two straight
// arcs, of two lines given by point and direction, and a collinearity test.

// The points where the chords (first to last control point) of *a and *b
// meet: a new list of one point, or of the two ends of a collinear overlap
// (z 0); null when the chords do not meet. The caller owns list and points.
CList<Point<double>*>* lineLineIntersection(Bspline* a, Bspline* b);

// X = the intersection in the x-y plane of the lines P1 + s D1 and P2 + t D2.
// D1 and D2 are normalised in place; X is left untouched when the
// directions are parallel.
void XLnLn(Point<double>& P1, Point<double>& D1, Point<double>& P2, Point<double>& D2,
           Point<double>& X);

// A, B and C lie on one line: the unit directions from B to A and from B to
// C are parallel or opposite within |cos| > 0.9999.
bool colinear(Point<double>* A, Point<double>* B, Point<double>* C);
