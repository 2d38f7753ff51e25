// Boundary integrals as sums of triangle fans: for an arc's parameter range
// cut into N pieces, each piece [ta, tb] adds the exact value of an
// integrand over the triangle (R, P(ta), P(tb)); N doubles until each sum
// settles.
#pragma once

#include <span>

#include "analysis/geometry/Point.h"

class Bspline;

// One integrand of a fan sum.
struct FanTerm {
  // The exact value over the triangle (R, P1, P2), times factor.
  double (*value)(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor);
  Point<double> R;
  double factor = 1.0;
  // The power of length the value carries (2 for areas, 3 for first
  // moments, 4 for second moments): the stop tests are relative to the
  // arc's own size raised to it.
  int dimension = 2;
};

// Sums every term over the arc from t0 to t1, starting with n pieces (16
// for a curved arc) and doubling. With tol = gIntegrationTol and size the
// diagonal of the arc's control-point box, a term stops when its sum is
// below tol x size^dimension, when two passes differ by at most tol x the
// larger of the sum and 0.001 x size^dimension, or past 100000 pieces. All
// terms stop together, once every term has settled and the chord polygon's
// own area (about the arc's start) changes by at most tol x size^2 between
// passes, so every term is taken from the same polygon. Every boundary
// point is evaluated once per pass for all terms, and the points of the
// previous pass are reused. Each term's sum is added piece by piece in
// increasing order; the buffers are kept per thread between calls.
void fanIntegrate(const Bspline& arc, int n, double t0, double t1, std::span<const FanTerm> terms, double* results);

// Exact triangle integrands (u = P1 - R, v = P2 - P1, c = z of u x v).
namespace fan {
double area(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor);
// Integral of x (of y) dA, about the coordinate origin.
double firstX(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor);
double firstY(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor);
// Integrals of x², xy, y² and x² + y² dA about R.
double xx(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor);
double xy(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor);
double yy(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor);
double polar(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor);
// The part of the triangle on one side of the line x = R.x (Xp) or
// y = R.y (Yp): its area, and its first moment about that line. The line
// passes through R, so the triangle is cut into two triangles exactly.
double areaXpAbove(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor);
double areaXpBelow(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor);
double momentXpAbove(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor);
double momentXpBelow(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor);
double areaYpAbove(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor);
double areaYpBelow(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor);
double momentYpAbove(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor);
double momentYpBelow(const Point<double>& R, const Point<double>& P1, const Point<double>& P2, double factor);
}  // namespace fan
