#pragma once

#include "analysis/geometry/Point.h"

class Bspline;

// Conic arcs and circles through points. Circular arcs from a centre and two
// end points are the constructor Bspline(centre, start, end, normal).

// New rational quadratic conic arc (one or two segments, owned by the
// caller) from P0 with tangent T0 to P2 with tangent T2 through the shoulder
// point S. Throws a C string for degenerate input:
//   "Shoulder point not interior to principal wedges or endpoints on different branches of hyperbola;"
//   "Conic segment is an unbounded portion of hyperbola."
//   "Shoulder point on base line; conic degenerate;"
//   "Conic segment unbounded"
Bspline* conicBspline(Point<double>& P0, Point<double>& T0, Point<double>& S, Point<double>& P2,
                      Point<double>& T2);

// The circle in the x-y plane through P1, P2 and P3: *centre and *radius.
// Collinear points give *radius = -1 and leave *centre. Throws the C string
// "Invalid arguments" when P2 coincides with P1 or P3 (within 1e-6), and
// std::logic_error "3 point circle failed" when the result is inconsistent.
void Circle3Pt(Point<double>* P1, Point<double>* P2, Point<double>* P3, double* radius,
               Point<double>* centre);

// *T = the unit tangent at P1 of the circle through P1, P2 and P3, pointing
// away from P2 and P3 (the outward end tangent of the cubic fit). For
// collinear points T = P1 - P2, not normalised. Lets Circle3Pt's exceptions through.
void circleTangent3Pt(Point<double>* P1, Point<double>* P2, Point<double>* P3, Point<double>* T);
