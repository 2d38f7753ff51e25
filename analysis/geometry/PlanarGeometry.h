#pragma once

#include "analysis/geometry/ErrMsg.h"
#include "analysis/geometry/Point.h"

// Free functions on points for work in the x-y plane: points on lines and
// segments, intersections, projection, triangles and angles. Angles are in
// radians, in [0, 2pi).

// p lies on the ray from a through b (within 1e-7); the length of ab does
// not limit the ray, a point behind a gives false.
bool PtOnLine(Point<double>& p, Point<double>& a, Point<double>& b);

// Half the z component of (b - a) x (c - a): positive when a, b, c run
// counter-clockwise.
double triangleArea(Point<double>& a, Point<double>& b, Point<double>& c);

// (a + b + c) / 3.
Point<double> triangleCenter(Point<double>& a, Point<double>& b, Point<double>& c);

// Intersection of the infinite line through a and b with the one through c
// and d, written to *x: errNone; errShortSegment when a defining segment is
// shorter than the global gEpsilon, errParallel for parallel lines (x untouched).
errMsg lineX(Point<double>& a, Point<double>& b, Point<double>& c, Point<double>& d,
             Point<double>* x);

// The points where segment cd meets segment ab (0, 1 or 2, a collinear
// overlap giving its two ends), written to out[0], out[1]. tol is the
// distance within which an end of cd counts as on the line ab; an ab
// shorter than 1e-12 is the point a, met only when within tol of cd. Sets z
// of a, b, c and d to 0.
int lineIntersection(Point<double>& a, Point<double>& b, Point<double>& c, Point<double>& d,
                     Point<double>* out, double tol);

// p lies between a and b along ab (its distance from the line is not tested).
bool insideSegment(Point<double>& a, Point<double>& b, Point<double>& p);

// Common part of two collinear segments ab and cd: 0 none, 1 a single point
// in *s0, 2 the segment from *s0 to *s1. The answer does not depend on which
// segment is given first.
int findInteriorSegment(Point<double>& a, Point<double>& b, Point<double>& c, Point<double>& d,
                        Point<double>* s0, Point<double>* s1);

// findInteriorSegment(...) > 0.
bool lineOverlap(Point<double>& a, Point<double>& b, Point<double>& c, Point<double>& d,
                 Point<double>* s0, Point<double>* s1);

// The point *foot of the segment from a along the unit direction dir of
// length len nearest to p, and its distance *dist from p.
void lineProjectPt(Point<double>& p, Point<double>& a, Point<double>& dir, double len,
                   Point<double>* foot, double* dist);

// Barycentric containment of p in triangle abc: points on the edges ab and
// ac count as inside, points on bc do not; a degenerate triangle gives false.
bool PointInTriangle(Point<double>& p, Point<double>& a, Point<double>& b, Point<double>& c);

// The angle in [0, 2pi) swept counter-clockwise from u to v (the clockwise
// angle from v back to u). Only the directions of u and v matter.
double clockwiseAngle(Point<double>* u, Point<double>* v);

// 2pi - clockwiseAngle(u, v).
double counterClockwiseAngle(Point<double>* u, Point<double>* v);

// Direction of v counter-clockwise from +x, in [0, 2pi).
double counterClockwiseAngle(Point<double>* v);
