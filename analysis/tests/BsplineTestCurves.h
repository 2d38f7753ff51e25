// Curves with known closed forms for the B-spline tests, and a fixture that
// resets the process-wide state that splines share.
#pragma once

#include <vector>
#include <cmath>

#include <gtest/gtest.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/model/Globals.h"

namespace bspline_test {

inline Point<double> P(double x, double y, double z = 0.0)
{
    return Point<double>(x, y, z);
}

// The cubic with knots 0 0 0 0 1 3 4 4 4 4 whose control points are the
// polar forms of u, u² and u³: the curve is exactly (u, u², u³) on [0, 4].
inline void cubicPolynomial(Bspline& s)
{
    const double t[] = {0, 0, 0, 0, 1, 3, 4, 4, 4, 4};
    s.deg(3);
    for (double k : t)
        s.knotVectorMutable().Add(k);
    for (int i = 0; i < 6; ++i) {
        const double a = t[i + 1], b = t[i + 2], c = t[i + 3];
        s.controlPointsMutable().Add(P((a + b + c) / 3.0, (a * b + a * c + b * c) / 3.0, a * b * c));
        s.weightArrayMutable().Add(1.0);
    }
    s.nPolySegs(3);
}

// The quarter circle of radius r about the origin from (r, 0) to (0, r) as a
// rational quadratic with knots 0 0 0 L L L.
inline void quarterCircle(Bspline& s, double r, double L)
{
    s.deg(2);
    for (double k : {0.0, 0.0, 0.0, L, L, L})
        s.knotVectorMutable().Add(k);
    s.controlPointsMutable().Add(P(r, 0));
    s.controlPointsMutable().Add(P(r, r));
    s.controlPointsMutable().Add(P(0, r));
    for (double w : {1.0, std::sqrt(0.5), 1.0})
        s.weightArrayMutable().Add(w);
    s.setRational(true);
}

// Angle of the quarter circle's point at the fraction u of its knot range:
// tan(angle / 2) = u / (u + sqrt(2) (1 - u)).
inline double quarterCircleAngle(double u)
{
    return 2.0 * std::atan(u / (u + std::sqrt(2.0) * (1.0 - u)));
}

// The fraction of the knot range at which the quarter circle reaches angle theta.
inline double quarterCircleParameter(double theta)
{
    const double T = std::tan(theta / 2.0);
    const double s = std::sqrt(2.0) * T / (1.0 - T);
    return s / (1.0 + s);
}

// Resets the remembered knot interval and the split tolerance around each test.
class SplineState : public ::testing::Test {
protected:
    void SetUp() override
    {
        Bspline::resetKnotInterval();
        QHTgSplitTol = 0.0;
    }
    void TearDown() override
    {
        Bspline::resetKnotInterval();
        QHTgSplitTol = 0.0;
    }
};

// The knot vector of s as a plain vector.
inline std::vector<double> knotsOf(const Bspline& s)
{
    return std::vector<double>(s.knotVector().begin(), s.knotVector().end());
}

}  // namespace bspline_test
