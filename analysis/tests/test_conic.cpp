// Circular arcs, general conic arcs, the circle data of an arc, circles
// through three points and the radius of curvature.
#include "analysis/tests/TestSupport.h"
#include <numbers>
#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/Conic.h"
#include "analysis/tests/BsplineTestCurves.h"
#include "platform/core/Exceptions.h"

using bspline_test::P;
using bspline_test::SplineState;

namespace {


using test_support::thrownText;

Point<double> polar(const Point<double>& c, double r, double degrees)
{
    return c + P(std::cos(degrees * std::numbers::pi / 180), std::sin(degrees * std::numbers::pi / 180)) * r;
}

// Arc about c of radius r, counter-clockwise from a0 to a1 degrees.
std::unique_ptr<Bspline> arc(Point<double> c, double r, double a0, double a1)
{
    Point<double> s = polar(c, r, a0);
    Point<double> e = polar(c, r, a1);
    Point<double> n(0, 0, 1);
    return std::make_unique<Bspline>(&c, &s, &e, &n);
}

// Largest distance from the centre minus the radius over n + 1 evaluations
// across the whole parameter range.
double radialError(const Bspline& s, const Point<double>& c, double r, int n = 400)
{
    const double a = s.startParameter();
    const double b = s.endParameter();
    double worst = 0.0;
    for (int i = 0; i <= n; ++i) {
        Point<double> p;
        s.eval(a + (b - a) * i / n, &p, 1e-7);
        worst = std::max(worst, std::fabs((p - c).length() - r));
    }
    return worst;
}

using bspline_test::knotsOf;

class CircularArc : public SplineState {};
class ConicArc : public SplineState {};
class CircleQueries : public SplineState {};

}  // namespace

// ---------------------------------------------------------------------------
// Circular arcs

TEST_F(CircularArc, QuarterCircle)
{
    const double r = 2.0;
    const Point<double> O(1, -3, 0);
    auto q = arc(O, r, 0.0, 90.0);
    EXPECT_EQ(q->deg(), 2);
    ASSERT_EQ(q->nPts(), 3);
    EXPECT_EQ(q->nPolySegs(), 1);
    EXPECT_TRUE(q->isCircular());
    // s = cos 45° / (1 + cos 45°) = √2 - 1 at the corner, 1 - s on the circle.
    EXPECT_NEAR(q->wts(1), std::sqrt(2.0) - 1, 1e-15);
    EXPECT_NEAR(q->wts(0), 2 - std::sqrt(2.0), 1e-15);
    EXPECT_NEAR(q->wts(2), 2 - std::sqrt(2.0), 1e-15);
    const Point<double> corner = q->cpts(1);
    EXPECT_NEAR(corner.x, O.x + r, 1e-14);
    EXPECT_NEAR(corner.y, O.y + r, 1e-14);
    const std::vector<double> k = knotsOf(*q);
    ASSERT_EQ(k.size(), 6u);
    EXPECT_EQ(k[0], 0.0);
    EXPECT_EQ(k[2], 0.0);
    EXPECT_NEAR(k[3], std::numbers::pi * r / 2, 1e-14);
    EXPECT_EQ(k[5], k[3]);
    EXPECT_LT(radialError(*q, O, r), 1e-14);
}

TEST_F(CircularArc, FullCircleFromOnePoint)
{
    const double r = 1.5;
    Point<double> O(2, 1, 0);
    Point<double> s = polar(O, r, 0.0);
    Point<double> n(0, 0, 7);
    Bspline circle(&O, &s, &s, &n);
    EXPECT_DOUBLE_EQ(n.z, 1.0);  // normalised in place
    EXPECT_EQ(circle.closed(), 1);
    EXPECT_EQ(circle.nPts(), 7);
    EXPECT_EQ(circle.nPolySegs(), 5);
    // 120° segments: s = cos 60° / (1 + cos 60°) = 1/3 at the corners.
    for (int i = 0; i < 7; ++i)
        EXPECT_NEAR(circle.wts(i), i % 2 ? 1.0 / 3 : 2.0 / 3, 1e-15) << i;
    const double L = 2 * std::numbers::pi * r;
    const std::vector<double> want = {0, 0, 0, 0.3333333 * L, 0.3333333 * L,
                                      0.66666667 * L, 0.66666667 * L, L, L, L};
    ASSERT_EQ(knotsOf(circle).size(), want.size());
    for (size_t i = 0; i < want.size(); ++i)
        EXPECT_NEAR(knotsOf(circle)[i], want[i], 1e-15) << i;
    EXPECT_LT(radialError(circle, O, r), 1e-14);

    // An arc whose end is another object equal to the start is also a full
    // circle, but not marked closed.
    Point<double> e = s;
    Bspline again(&O, &s, &e, &n);
    EXPECT_EQ(again.nPts(), 7);
    EXPECT_EQ(again.closed(), Bspline::unset);
}

TEST_F(CircularArc, SegmentsPerSweep)
{
    struct Case {
        double a0, a1;
        int segments;
    };
    // 120 and 240 degrees are exactly one and two segments.
    const Case cases[] = {{0, 90, 1}, {30, 150, 1}, {0, 180, 2}, {0, 200, 2},
                          {10, 250, 2}, {0, 250, 3}, {-40, 290, 3}};
    const Point<double> O(-1, 4, 0);
    for (const Case& c : cases) {
        auto a = arc(O, 3.0, c.a0, c.a1);
        EXPECT_EQ(a->nPts(), 2 * c.segments + 1) << c.a0 << ".." << c.a1;
        EXPECT_NEAR(a->endParameter(), 3.0 * (c.a1 - c.a0) * std::numbers::pi / 180, 1e-13);
        EXPECT_LT(radialError(*a, O, 3.0), 1e-14);
        const Point<double> end = a->endPoint();
        EXPECT_NEAR(end.x, polar(O, 3.0, c.a1).x, 1e-14);
        EXPECT_NEAR(end.y, polar(O, 3.0, c.a1).y, 1e-14);
    }
}

TEST_F(CircularArc, ClockwiseAboutADownwardNormal)
{
    // From (1,0) to (0,1) clockwise is three quarters of a turn.
    Point<double> O(0, 0, 0), s(1, 0, 0), e(0, 1, 0), n(0, 0, -1);
    Bspline a(&O, &s, &e, &n);
    EXPECT_EQ(a.nPts(), 7);
    EXPECT_NEAR(a.endParameter(), 1.5 * std::numbers::pi, 1e-14);
    Point<double> mid;
    a.eval(a.endParameter() / 2, &mid, 1e-7);
    EXPECT_LT(mid.x, 0.0);
    EXPECT_LT(mid.y, 0.0);
}

TEST_F(CircularArc, UnitCircleArea)
{
    auto circle = arc(P(0, 0), 1.0, 0.0, 360.0);
    Point<double> origin;
    const double area = integrateSpline(dA, circle.get(), &origin, 2, circle->startParameter(),
                                        circle->endParameter());
    EXPECT_NEAR(area / std::numbers::pi, 1.0, 1e-6);
}

TEST_F(CircularArc, SplitPiecesStayOnTheCircle)
{
    setTightSplitTol();
    const Point<double> O(3, -2, 0);
    for (double a1 : {90.0, 200.0, 360.0}) {
        auto a = arc(O, 2.5, 0.0, a1);
        const double L = a->endParameter();
        for (double f : {0.05, 0.3333333, 0.5, 0.71, 0.999}) {
            Bspline* first = nullptr;
            Bspline* second = nullptr;
            a->split(f * L, &first, &second);
            std::unique_ptr<Bspline> A(first), B(second);
            ASSERT_TRUE(A && B);
            EXPECT_LT(radialError(*A, O, 2.5), 1e-12) << a1 << " " << f;
            EXPECT_LT(radialError(*B, O, 2.5), 1e-12) << a1 << " " << f;
        }
    }
}

TEST_F(CircularArc, DegenerateInputThrowsBadSpline)
{
    Point<double> O(1, 1, 0), e(2, 1, 0), n(0, 0, 1), zero(0, 0, 0);
    EXPECT_EQ(thrownText([&] { Bspline a(&O, &O, &e, &n); }), "Bad spline\n");
    EXPECT_EQ(thrownText([&] { Bspline a(&O, &e, &e, &zero); }), "Bad spline\n");
}

TEST_F(CircularArc, ArrayConstructor)
{
    Point<double> cpts[3] = {P(1, 0), P(1, 1), P(0, 1)};
    double wts[3] = {1, 1, 1};
    double kts[6] = {2, 2, 2, 3, 3, 3};
    Bspline s(2, 3, cpts, wts, 6, kts);
    EXPECT_EQ(s.nPolySegs(), 1);
    EXPECT_FALSE(s.isCircular());
    EXPECT_EQ(s.closed(), Bspline::unset);
    EXPECT_EQ(s.globalOffset(), 2.0);  // the parameter offset is the first knot
    EXPECT_EQ(s.startParameter(), 4.0);

    wts[1] = 1 + 2e-8;
    EXPECT_TRUE(Bspline(2, 3, cpts, wts, 6, kts).isCircular());

    EXPECT_EQ(thrownText([&] { Bspline bad(2, 3, cpts, wts, 5, kts); }), "Bad spline\n");
    wts[1] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(thrownText([&] { Bspline bad(2, 3, cpts, wts, 6, kts); }), "Bad spline\n");
    EXPECT_THROW(Bspline(1, 0, cpts, wts, 0, kts), CInvalidArgException);
}

// ---------------------------------------------------------------------------
// General conics

TEST_F(ConicArc, QuarterCircleThroughItsShoulder)
{
    Point<double> P0(1, 0, 0), T0(0, 1, 0), P2(0, 1, 0), T2(-1, 0, 0);
    Point<double> S = polar(P(0, 0), 1.0, 45.0);
    std::unique_ptr<Bspline> c(conicBspline(P0, T0, S, P2, T2));
    ASSERT_EQ(c->nPts(), 3);
    EXPECT_NEAR(c->cpts(1).x, 1.0, 1e-14);
    EXPECT_NEAR(c->cpts(1).y, 1.0, 1e-14);
    EXPECT_NEAR(c->wts(1), std::sqrt(2.0) - 1, 1e-14);
    EXPECT_LT(radialError(*c, P(0, 0), 1.0), 1e-14);
    // The knots end at the length estimate |P2 - P0| + s (2 - |P2 - P0|).
    const double s = std::sqrt(2.0) - 1;
    EXPECT_NEAR(c->endParameter(), std::sqrt(2.0) + s * (2 - std::sqrt(2.0)), 1e-14);
    EXPECT_EQ(T2.x, -1.0);  // the caller's tangents are not changed
}

TEST_F(ConicArc, ParabolaHasEqualWeights)
{
    // Shoulder at the middle of the parabola with control points (0,0),
    // (1,1), (2,0): (1, 1/2).
    Point<double> P0(0, 0, 0), T0(1, 1, 0), P2(2, 0, 0), T2(1, -1, 0), S(1, 0.5, 0);
    std::unique_ptr<Bspline> c(conicBspline(P0, T0, S, P2, T2));
    ASSERT_EQ(c->nPts(), 3);
    EXPECT_NEAR(c->wts(1), 0.5, 1e-15);
    EXPECT_NEAR(c->cpts(1).x, 1.0, 1e-15);
    EXPECT_NEAR(c->cpts(1).y, 1.0, 1e-15);
}

TEST_F(ConicArc, ArcsOnTheirCircleWhateverTheSweep)
{
    // 150 degrees (near side, one segment), 175 degrees (nearly parallel
    // tangents, two segments), 185 degrees (nearly parallel, shoulder beyond
    // the chord) and 270 degrees (shoulder beyond the chord, two segments):
    // every point on the unit circle, the shoulder included.
    struct Case {
        double sweep;
        int nPts;
    };
    for (const Case& k : {Case{150, 3}, Case{175, 5}, Case{185, 5}, Case{270, 5}}) {
        Point<double> P0 = polar(P(0, 0), 1.0, 0.0);
        Point<double> P2 = polar(P(0, 0), 1.0, k.sweep);
        Point<double> T0(0, 1, 0);
        Point<double> T2 = P(-std::sin(k.sweep * std::numbers::pi / 180), std::cos(k.sweep * std::numbers::pi / 180));
        Point<double> S = polar(P(0, 0), 1.0, k.sweep / 2);
        std::unique_ptr<Bspline> c(conicBspline(P0, T0, S, P2, T2));
        EXPECT_EQ(c->nPts(), k.nPts) << k.sweep;
        EXPECT_LT(radialError(*c, P(0, 0), 1.0), 1e-13) << k.sweep;
        double t = 0;
        EXPECT_TRUE(c->isOn(S, &t)) << k.sweep;
        EXPECT_NEAR((c->endPoint() - P2).length(), 0.0, 1e-15);
    }
}

TEST_F(ConicArc, ParallelTangentsGiveHalfAnEllipseThroughTheShoulder)
{
    // Ellipse x²/4 + y² = 1 from (2,0) to (-2,0) through its point at 60
    // degrees: corners (2,1) and (-2,1), middle (0,1).
    Point<double> P0(2, 0, 0), T0(0, 3, 0), P2(-2, 0, 0), T2(0, -1, 0);
    Point<double> S(2 * std::cos(std::numbers::pi / 3), std::sin(std::numbers::pi / 3), 0);
    std::unique_ptr<Bspline> c(conicBspline(P0, T0, S, P2, T2));
    ASSERT_EQ(c->nPts(), 5);
    EXPECT_NEAR(c->cpts(1).x, 2.0, 1e-14);
    EXPECT_NEAR(c->cpts(1).y, 1.0, 1e-14);
    EXPECT_NEAR(c->cpts(2).y, 1.0, 1e-14);
    // A quarter ellipse: ordinary corner weight cos 45°, s = w / (1 + w) = 1 / (√2 + 1).
    EXPECT_NEAR(c->wts(1), 1 / (std::sqrt(2.0) + 1), 1e-15);
    for (int i = 0; i <= 100; ++i) {
        Point<double> p;
        c->eval(c->endParameter() * i / 100, &p, 1e-7);
        EXPECT_NEAR(p.x * p.x / 4 + p.y * p.y, 1.0, 1e-13) << i;
    }
    // The shoulder below the chord gives the lower half.
    Point<double> below(0, -1, 0);
    std::unique_ptr<Bspline> d(conicBspline(P0, T0, below, P2, T2));
    EXPECT_NEAR(d->cpts(2).y, -1.0, 1e-14);
}

TEST_F(ConicArc, DegenerateShouldersThrowTheirMessages)
{
    Point<double> P0(0, 0, 0), T0(1, 1, 0), P2(2, 0, 0), T2(-1, 1, 0);
    struct Case {
        Point<double> S;
        const char* text;
    };
    const Case cases[] = {
        {P(1, 0), "Shoulder point on base line; conic degenerate;"},
        {P(-1, 0.5),
         "Shoulder point not interior to principal wedges or endpoints on different branches of "
         "hyperbola;"},
        {P(1, 1.5), "Conic segment is an unbounded portion of hyperbola."},
    };
    for (const Case& c : cases) {
        Point<double> S = c.S;
        EXPECT_EQ(thrownText([&] { delete conicBspline(P0, T0, S, P2, T2); }), c.text);
    }
}

// ---------------------------------------------------------------------------
// Circle queries

TEST_F(CircleQueries, CircleThroughThreePoints)
{
    Point<double> a(1, 0, 0), b(0, 1, 0), c(-1, 0, 0), centre(9, 9, 0);
    double r = 0;
    Circle3Pt(&a, &b, &c, &r, &centre);
    EXPECT_NEAR(r, 1.0, 1e-15);
    EXPECT_NEAR(centre.x, 0.0, 1e-15);
    EXPECT_NEAR(centre.y, 0.0, 1e-15);

    // (1,0), (2,2), (3,0): centre (2, 3/4), radius 5/4.
    Point<double> d(2, 2, 0), f(3, 0, 0);
    Circle3Pt(&a, &d, &f, &r, &centre);
    EXPECT_NEAR(centre.x, 2.0, 1e-15);
    EXPECT_NEAR(centre.y, 0.75, 1e-15);
    EXPECT_NEAR(r, 1.25, 1e-15);
    Point<double> o(0, 0, 0), g(1, 1, 0), h(2, 2, 0);
    Point<double> keep(7, 7, 0);
    Circle3Pt(&o, &g, &h, &r, &keep);
    EXPECT_EQ(r, -1.0);
    EXPECT_EQ(keep.x, 7.0);

    EXPECT_EQ(thrownText([&] { Circle3Pt(&a, &a, &c, &r, &centre); }), "Invalid arguments");
}

TEST_F(CircleQueries, TangentAtTheFirstPointPointsAway)
{
    Point<double> a(1, 0, 0), b(0, 1, 0), c(-1, 0, 0), T;
    circleTangent3Pt(&a, &b, &c, &T);
    EXPECT_NEAR(T.x, 0.0, 1e-15);
    EXPECT_NEAR(T.y, -1.0, 1e-15);

    Point<double> o(0, 0, 0), p(2, 0, 0), q(4, 0, 0);
    circleTangent3Pt(&o, &p, &q, &T);
    EXPECT_EQ(T.x, -2.0);  // collinear: P1 - P2, not normalised
    EXPECT_EQ(T.y, 0.0);
}

TEST_F(CircleQueries, CircleArgsOfAnOpenArc)
{
    const Point<double> O(1, 2, 0);
    auto a = arc(O, 2.0, 30.0, 120.0);
    Point<double> centre, start, end, corner;
    double a0 = 0, a1 = 0;
    EXPECT_FALSE(a->circleArgs(&centre, &start, &end, &corner, &a0, &a1));
    EXPECT_NEAR(centre.x, O.x, 1e-9);
    EXPECT_NEAR(centre.y, O.y, 1e-9);
    EXPECT_NEAR(a0, std::numbers::pi / 6, 1e-9);
    EXPECT_NEAR(a1, 2 * std::numbers::pi / 3, 1e-9);
    // The end tangents meet on the bisector at r / cos 45°.
    const Point<double> want = polar(O, 2.0 / std::cos(std::numbers::pi / 4), 75.0);
    EXPECT_NEAR(corner.x, want.x, 1e-9);
    EXPECT_NEAR(corner.y, want.y, 1e-9);

    // An arc across +x has its end angle above 2π.
    auto across = arc(O, 2.0, 300.0, 400.0);
    across->circleArgs(&centre, &start, &end, &corner, &a0, &a1);
    EXPECT_NEAR(a0, 5 * std::numbers::pi / 3, 1e-9);
    EXPECT_NEAR(a1, 2 * std::numbers::pi + 40 * std::numbers::pi / 180, 1e-9);
}

TEST_F(CircleQueries, CircleArgsOfHalfAndFullCircles)
{
    const Point<double> O(-1, 3, 0);
    auto half = arc(O, 1.5, 0.0, 180.0);
    Point<double> centre, start, end, corner(5, 5, 5);
    double a0 = 0, a1 = 0;
    EXPECT_TRUE(half->circleArgs(&centre, &start, &end, &corner, &a0, &a1));
    EXPECT_NEAR(centre.x, O.x, 1e-14);
    EXPECT_NEAR(centre.y, O.y, 1e-14);
    EXPECT_EQ(corner.x, 5.0);
    EXPECT_NEAR(a0, 0.0, 1e-12);
    EXPECT_NEAR(a1, std::numbers::pi, 1e-12);
    // The lower half runs from π to 2π: the end angle is raised past the
    // start, as for open arcs.
    auto lower = arc(O, 1.5, 180.0, 360.0);
    EXPECT_TRUE(lower->circleArgs(&centre, &start, &end, &corner, &a0, &a1));
    EXPECT_NEAR(a0, std::numbers::pi, 1e-12);
    EXPECT_NEAR(a1, 2 * std::numbers::pi, 1e-12);

    Point<double> c = O;
    Point<double> s = polar(O, 1.5, 90.0);
    Point<double> n(0, 0, 1);
    Bspline full(&c, &s, &s, &n);
    full.setGlobal(40.0);  // the quarter-way point is found inside the range
    EXPECT_TRUE(full.circleArgs(&centre, &start, &end, &corner, &a0, &a1));
    EXPECT_NEAR(centre.x, O.x, 1e-9);
    EXPECT_NEAR(centre.y, O.y, 1e-9);
    EXPECT_NEAR(a0, std::numbers::pi / 2, 1e-9);
    EXPECT_NEAR(a1, std::numbers::pi / 2 + 2 * std::numbers::pi, 1e-9);
}

TEST_F(CircleQueries, RadiusOfCurvature)
{
    auto a = arc(P(0, 0), 2.0, 10.0, 100.0);
    const double s0 = a->startParameter();
    const double s1 = a->endParameter();
    for (double t : {s0, s0 + 1e-4, (s0 + s1) / 2, s1 - 1e-4, s1})
        EXPECT_NEAR(a->radiusCurvature(t), 2.0, 1e-6) << t;

    // Straight stretches have no finite radius: a line, and a quadratic
    // whose control points lie on a line.
    Point<double> p0(0, 0, 0), p1(3, 4, 0);
    Bspline line(&p0, &p1, false);
    EXPECT_EQ(line.radiusCurvature(2.5), std::numeric_limits<double>::infinity());
    Point<double> cpts[3] = {P(0, 0), P(1, 1), P(3, 3)};
    double wts[3] = {1, 1, 1};
    double kts[6] = {0, 0, 0, 1, 1, 1};
    Bspline flat(2, 3, cpts, wts, 6, kts);
    for (double t : {0.0, 0.5, 1.0})
        EXPECT_EQ(flat.radiusCurvature(t), std::numeric_limits<double>::infinity()) << t;
}
