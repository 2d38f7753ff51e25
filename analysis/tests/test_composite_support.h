// Composite curves with known geometry for the composite-curve tests.
#pragma once

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

} // namespace composite_test
