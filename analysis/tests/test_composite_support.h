// Composite curves with known geometry for the composite-curve tests.
#pragma once

#include <cmath>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"

namespace composite_test {

using Pt = Point<double>;

inline Pt P(double x, double y)
{
    return Pt(x, y, 0.0);
}

// A new straight arc from a to b (knots 0 .. |b - a|).
inline Bspline* line(Pt a, Pt b)
{
    return new Bspline(&a, &b, false);
}

// The chain of straight arcs through the points in order; closed back to
// the first point when close is set.
inline std::unique_ptr<CCompositeCurve> polyline(const std::vector<Pt>& pts, bool close = true)
{
    auto c = std::make_unique<CCompositeCurve>();
    const std::size_t n = pts.size();
    const std::size_t edges = close ? n : n - 1;
    for (std::size_t i = 0; i < edges; ++i)
        c->addArc(line(pts[i], pts[(i + 1) % n]));
    return c;
}

// The unit square [0, 1]² from (0, 0), counter-clockwise (or clockwise).
inline std::unique_ptr<CCompositeCurve> unitSquare(bool clockwise = false)
{
    if (clockwise)
        return polyline({P(0, 0), P(0, 1), P(1, 1), P(1, 0)});
    return polyline({P(0, 0), P(1, 0), P(1, 1), P(0, 1)});
}

// The axis-parallel rectangle [x0, x1] x [y0, y1], counter-clockwise from its lower-left corner.
inline std::unique_ptr<CCompositeCurve> rectangle(double x0, double y0, double x1, double y1)
{
    return polyline({P(x0, y0), P(x1, y0), P(x1, y1), P(x0, y1)});
}

// The circle of radius r about c as one closed rational arc from c + (r, 0).
inline std::unique_ptr<CCompositeCurve> circle(Pt c, double r)
{
    Pt start = c + P(r, 0);
    Pt normal(0, 0, 1);
    auto curve = std::make_unique<CCompositeCurve>();
    curve->addArc(new Bspline(&c, &start, &start, &normal));
    return curve;
}

inline void expectPoint(const Pt& actual, const Pt& expected, double tol)
{
    EXPECT_NEAR(actual.x, expected.x, tol);
    EXPECT_NEAR(actual.y, expected.y, tol);
    EXPECT_NEAR(actual.z, expected.z, tol);
}

// The span search as the evaluators first did it: one scan over every knot
// (the reference the faster searches must agree with).
inline void scanInterval(const Bspline& s, double* u, int* span, int* mult = nullptr)
{
    if (mult != nullptr)
        *mult = 0;
    *span = -1;
    const CArray<double>& kts = s.knotVector();
    const int n = s.nKts();
    if (n < 2)
        return;
    const double first = kts[0];
    const double last = kts[n - 1];
    const double d = (last - first) * 1e-10;
    if (*u < first)
        *u = first;
    if (*u > last)
        *u = last;
    if (std::fabs(*u - last) < d)
        *u -= 2.0 * d;
    for (int i = 1; i < n; ++i) {
        const double ki = kts[i];
        if (std::fabs(ki - *u) < d)
            *u = ki;
        if (kts[i - 1] <= *u && *u < ki) {
            *span = i - 1;
            return;
        }
    }
}

} // namespace composite_test
