#pragma once

// Numeric conversions of IGES import: a parametric spline (entity 112, cubic
// pieces in power-series form) into Bezier pieces and then one B-spline, and
// the planarity test every imported B-spline must pass. Diagnostics go to
// stderr.

#include <memory>
#include <vector>

#include "analysis/geometry/Point.h"

class Bspline;

// Coefficients of a vector polynomial of degree at most 14.
struct PolynomialPoints {
    static constexpr int maxDegree = 14;
    int degree = 0;
    Point<double> coefficients[maxDegree + 1];
};

// P(s) = A + B s + C s^2 + D s^3 ...: coefficients[k] multiplies s^k.
struct PowerSeriesPolynomial : PolynomialPoints {};

// A Bernstein polynomial on [0, 1]: coefficients are its control points.
struct BezierPolynomial : PolynomialPoints {};

// One type 112 entity: N segments between N + 1 breakpoints.
struct ParametricSplineData {
    int segmentCount = 0;                       // N
    int breakpointCount = 0;                    // N + 1
    int continuity = 0;                         // H
    int typeMarker = 1;
    std::vector<double> breakpoints;            // T(1)..T(N+1)
    std::vector<PowerSeriesPolynomial> powerSeries;  // the N segments (and the terminal values after them)
    std::vector<BezierPolynomial> bezierPieces; // filled by convertSplineToBezier
};

// The de Casteljau triangle of a split: level r holds the n + 1 - r points
// points[levelFirst[r]] .. points[levelLast[r]].
struct DeCasteljauTriangle {
    int degree = 0;
    std::vector<Point<double>> points;
    std::vector<int> levelFirst;
    std::vector<int> levelLast;

    // The piece from the start to the split point, as a Bezier polynomial.
    BezierPolynomial left() const;
    // The piece from the split point to the end.
    BezierPolynomial right() const;
};

// n! / (k! (n - k)!) for 0 <= k <= n (exact up to n = 60), else 0.
int binomial(int n, int k);

// The same polynomial in Bernstein form on [0, 1] (u = s). Throws
// std::logic_error for a degree outside 0..14.
BezierPolynomial powerToBezier(const PowerSeriesPolynomial& p);

// The point of p at t = u - u0. Prints "Not a partition of unity" on stderr
// when the basis values do not sum to 1 within 1e-9.
Point<double> evalBezierChecked(const BezierPolynomial& p, double u, double u0);

// The de Casteljau triangle of p at parameter u (u outside [0, 1] extends the piece).
DeCasteljauTriangle splitBezier(const BezierPolynomial& p, double u);

// The part of p, a piece on the unit interval of its local parameter
// s = u - a, for s in [c - a, d - a]; p itself when that is the unit interval.
// b is the length of the unit interval (1).
BezierPolynomial clipBezier(const BezierPolynomial& p, double a, double b, double c, double d);

// Fills bezierPieces with one piece per segment, each spanning its segment
// exactly. Prints "ReadGeometry:Failure to transfrom to power series to
// bezier\n" when a piece does not reproduce its power series at the segment's
// middle within 1e-8.
void convertSplineToBezier(ParametricSplineData& data);

// The cubic B-spline of the Bezier pieces: control points 0-2 of every piece
// and the last point of the last, unit weights, the first and last
// breakpoint four times and each interior one three times; closed when its
// ends are less than 1e-5 apart. Null (with a diagnostic) when there are no
// pieces, the breakpoints do not match them or do not increase.
std::unique_ptr<Bspline> bezierToBspline(const ParametricSplineData& data);

// True when every control point lies within 1e-5 times the curve's span of
// the plane through the first point, the point farthest from it and the
// point farthest from the line joining those two. Collinear or coincident
// control points are planar.
bool isPlanarBspline(const Bspline& b);
