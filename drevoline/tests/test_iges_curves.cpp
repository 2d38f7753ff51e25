// IGES curve conversions: power series to Bezier pieces to one B-spline,
// and the planarity test of imported B-splines.

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/geometry/Bspline.h"
#include "drevoline/iges/IgesCurveConversion.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

namespace {

using P = Point<double>;

void expectNear(const P& a, const P& b, double tol)
{
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

PowerSeriesPolynomial cubic(P a, P b, P c, P d)
{
    PowerSeriesPolynomial p;
    p.degree = 3;
    p.coefficients[0] = a;
    p.coefficients[1] = b;
    p.coefficients[2] = c;
    p.coefficients[3] = d;
    return p;
}

P evalCubic(const PowerSeriesPolynomial& p, double s)
{
    return p.coefficients[0] + p.coefficients[1] * s + p.coefficients[2] * (s * s) +
           p.coefficients[3] * (s * s * s);
}

ParametricSplineData spline(std::vector<double> breakpoints, std::vector<PowerSeriesPolynomial> segments)
{
    ParametricSplineData d;
    d.segmentCount = static_cast<int>(segments.size());
    d.breakpointCount = d.segmentCount + 1;
    d.breakpoints = std::move(breakpoints);
    d.powerSeries = std::move(segments);
    return d;
}

TEST(IgesCurves, Binomials)
{
    EXPECT_EQ(binomial(0, 0), 1);
    EXPECT_EQ(binomial(3, 1), 3);
    EXPECT_EQ(binomial(3, 2), 3);
    EXPECT_EQ(binomial(14, 7), 3432);
    EXPECT_EQ(binomial(3, 4), 0);
}

TEST(IgesCurves, LineOnTheUnitSegment)
{
    // P(s) = s along x on [0, 1].
    ParametricSplineData d = spline({0.0, 1.0}, {cubic(P(), P(1, 0, 0), P(), P())});
    CaptureStderr();
    convertSplineToBezier(d);
    EXPECT_EQ(GetCapturedStderr(), "");
    ASSERT_EQ(d.bezierPieces.size(), 1u);
    const double expected[] = {0.0, 1.0 / 3.0, 2.0 / 3.0, 1.0};
    for (int i = 0; i < 4; ++i)
        expectNear(d.bezierPieces[0].coefficients[i], P(expected[i], 0, 0), 1e-15);
    std::unique_ptr<Bspline> b = bezierToBspline(d);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->deg(), 3);
    ASSERT_EQ(b->nKts(), 8);
    const double knots[] = {0, 0, 0, 0, 1, 1, 1, 1};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(b->kts(i), knots[i]);
    EXPECT_EQ(b->closed(), 0);
}

TEST(IgesCurves, ShortAndLongSegmentsSpanExactlyTheirLength)
{
    // Breakpoints 0 and 0.5 give the Bezier of s in [0, 0.5]; a segment of
    // length 2 is extended to [0, 2].
    const struct {
        double length;
        double points[4];
    } cases[] = {
        {0.5, {0.0, 1.0 / 6.0, 1.0 / 3.0, 0.5}},
        {2.0, {0.0, 2.0 / 3.0, 4.0 / 3.0, 2.0}},
    };
    for (const auto& c : cases) {
        ParametricSplineData d = spline({0.0, c.length}, {cubic(P(), P(1, 0, 0), P(), P())});
        convertSplineToBezier(d);
        ASSERT_EQ(d.bezierPieces.size(), 1u);
        for (int i = 0; i < 4; ++i)
            expectNear(d.bezierPieces[0].coefficients[i], P(c.points[i], 0, 0), 1e-15);
    }
}

TEST(IgesCurves, TwoSegmentSplineMatchesItsPowerSeries)
{
    // Two cubic pieces of lengths 1 and 2 meeting with equal value at t = 1.
    const PowerSeriesPolynomial first = cubic(P(0, 0, 0), P(1, 2, 0), P(0.5, -1, 0), P(-0.25, 0.125, 0));
    const P join = evalCubic(first, 1.0);
    const PowerSeriesPolynomial second = cubic(join, P(0.5, 0.25, 0), P(-0.75, 0.5, 0), P(0.125, -0.0625, 0));
    ParametricSplineData d = spline({0.0, 1.0, 3.0}, {first, second});
    CaptureStderr();
    convertSplineToBezier(d);
    std::unique_ptr<Bspline> b = bezierToBspline(d);
    EXPECT_EQ(GetCapturedStderr(), "");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->nPts(), 7);
    EXPECT_EQ(b->nKts(), 11);  // 0 x4, 1 x3, 3 x4
    const struct {
        double t;
        const PowerSeriesPolynomial* piece;
        double s;
    } samples[] = {
        {0.0, &first, 0.0}, {0.5, &first, 0.5}, {1.0, &first, 1.0},
        {2.0, &second, 1.0}, {3.0, &second, 2.0}, {1.5, &second, 0.5},
    };
    for (const auto& s : samples) {
        P out;
        b->eval(s.t, &out, 1e-13);
        expectNear(out, evalCubic(*s.piece, s.s), 1e-12);
    }
}

TEST(IgesCurves, ClosedSplineAndBadBreakpoints)
{
    // A loop: out along x and back.
    ParametricSplineData loop =
        spline({0.0, 1.0, 2.0}, {cubic(P(), P(3, 0, 0), P(-3, 0, 0), P()), cubic(P(), P(0, 3, 0), P(0, -3, 0), P())});
    convertSplineToBezier(loop);
    std::unique_ptr<Bspline> closed = bezierToBspline(loop);
    ASSERT_TRUE(closed);
    EXPECT_EQ(closed->closed(), 1);

    ParametricSplineData backwards = spline({1.0, 0.0}, {cubic(P(), P(1, 0, 0), P(), P())});
    convertSplineToBezier(backwards);
    CaptureStderr();
    EXPECT_FALSE(bezierToBspline(backwards));
    EXPECT_EQ(GetCapturedStderr(), "bezierToBspline: breakpoints do not increase\n");
}

TEST(IgesCurves, BezierEvaluationAndSplit)
{
    BezierPolynomial b;
    b.degree = 3;
    const P pts[] = {P(0, 0, 0), P(1, 2, 0), P(3, 2, 0), P(4, 0, 0)};
    for (int i = 0; i < 4; ++i)
        b.coefficients[i] = pts[i];
    CaptureStderr();
    // The ends are the end points, without a partition-of-unity complaint.
    expectNear(evalBezierChecked(b, 2.0, 2.0), pts[0], 0.0);
    expectNear(evalBezierChecked(b, 3.0, 2.0), pts[3], 0.0);
    // The middle of this symmetric curve: (0 + 3 + 9 + 4) / 8 = 2, (6 + 6) / 8 = 1.5.
    expectNear(evalBezierChecked(b, 0.5, 0.0), P(2, 1.5, 0), 1e-15);
    EXPECT_EQ(GetCapturedStderr(), "");

    const DeCasteljauTriangle tri = splitBezier(b, 0.5);
    EXPECT_EQ(tri.points.size(), 10u);
    const BezierPolynomial left = tri.left();
    const BezierPolynomial right = tri.right();
    expectNear(left.coefficients[0], pts[0], 0.0);
    expectNear(left.coefficients[3], P(2, 1.5, 0), 1e-15);
    expectNear(right.coefficients[0], P(2, 1.5, 0), 1e-15);
    expectNear(right.coefficients[3], pts[3], 0.0);
    expectNear(left.coefficients[1], P(0.5, 1, 0), 1e-15);
    expectNear(right.coefficients[2], P(3.5, 1, 0), 1e-15);
}

// A degree-1 curve through the points.
std::unique_ptr<Bspline> polyline(std::vector<P> pts)
{
    return std::make_unique<Bspline>(static_cast<int>(pts.size()), pts.data());
}

TEST(IgesCurves, Planarity)
{
    const struct {
        const char* name;
        std::vector<P> points;
        bool planar;
    } cases[] = {
        {"all z = 0", {P(0, 0, 0), P(5, 5, 0), P(10, 0, 0), P(5, -5, 0), P(0, 0, 0)}, true},
        {"tilted plane", {P(0, 0, 0), P(5, 5, 5), P(10, 0, 10), P(5, -5, 5)}, true},
        {"vertex lifted 1e-3", {P(0, 0, 0), P(5, 5, 0), P(10, 0, 0), P(5, -5, 1e-3), P(0, 0, 0)}, false},
        {"vertex lifted 1e-5", {P(0, 0, 0), P(5, 5, 0), P(10, 0, 0), P(5, -5, 1e-5), P(0, 0, 0)}, true},
        {"collinear", {P(0, 0, 0), P(1, 1, 1), P(3, 3, 3), P(2, 2, 2)}, true},
        {"one point", {P(1, 2, 3), P(1, 2, 3), P(1, 2, 3)}, true},
        // The point farthest from the line lies on it, behind the first point.
        {"off-line points beside a long line", {P(0, 0, 0), P(10, 0, 0), P(-5, 0, 0), P(1, 1, 0), P(1, 0, 1)}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(isPlanarBspline(*polyline(c.points)), c.planar);
    }
}

}  // namespace
