// Cubic interpolation through points: the open fit and its end conditions,
// the closed periodic fit, and the cubic approximation of rational curves.
#include "analysis/tests/TestSupport.h"
#include <numbers>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/tests/BsplineTestCurves.h"

using bspline_test::P;
using bspline_test::quarterCircle;
using bspline_test::SplineState;

namespace {


using bspline_test::knotsOf;

void expectPoint(const Point<double>& got, const Point<double>& want, double tol,
                 const std::string& what = "")
{
    EXPECT_NEAR(got.x, want.x, tol) << what;
    EXPECT_NEAR(got.y, want.y, tol) << what;
    EXPECT_NEAR(got.z, want.z, tol) << what;
}

void expectControlPoints(const Bspline& s, const std::vector<Point<double>>& want, double tol)
{
    ASSERT_EQ(s.nPts(), static_cast<int>(want.size()));
    for (int i = 0; i < s.nPts(); ++i)
        expectPoint(s.cpts(i), want[static_cast<std::size_t>(i)], tol, "control point " + std::to_string(i));
}

// Every data point lies on the spline at its accumulated chord length.
void expectThroughPoints(const Bspline& s, const std::vector<Point<double>>& pts, double tol)
{
    double t = 0.0;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        if (i > 0)
            t += (pts[i] - pts[i - 1]).length();
        Point<double> c;
        s.eval(t, &c, 1e-12);
        expectPoint(c, pts[i], tol, "data point " + std::to_string(i));
    }
}

using test_support::thrownText;

Bspline* fit(std::vector<Point<double>> pts, endCondition ec, Point<double> t0 = {},
             Point<double> t1 = {}, int closed = 0, bool normalise = false)
{
    return new Bspline(pts.data(), static_cast<int>(pts.size()), closed, ec, &t0, &t1, normalise);
}

class BsplineFit : public SplineState {};

}  // namespace

TEST_F(BsplineFit, CollinearPointsWithCircleEndsGiveAStraightCubic)
{
    std::unique_ptr<Bspline> s(fit({P(0, 0), P(1, 0), P(2, 0)}, endCircle));
    EXPECT_EQ(s->deg(), 3);
    EXPECT_EQ(s->nPolySegs(), 2);
    EXPECT_EQ(s->closed(), 0);
    EXPECT_FALSE(s->isRational());
    EXPECT_EQ(s->globalOffset(), 0.0);
    EXPECT_EQ(knotsOf(*s), (std::vector<double>{0, 0, 0, 0, 1, 2, 2, 2, 2}));
    expectControlPoints(*s, {P(0, 0), P(1.0 / 3.0, 0), P(1, 0), P(5.0 / 3.0, 0), P(2, 0)}, 1e-14);
    for (int i = 0; i < s->nPts(); ++i)
        EXPECT_EQ(s->wts(i), 1.0);
}

TEST_F(BsplineFit, GivenTangentsFixTheEndLegs)
{
    // The tangents are normalised in place before the fit: a long start
    // tangent gives the same curve as a unit one.
    Point<double> t0(-3, 0, 0), t1(1, 0, 0);
    std::vector<Point<double>> pts = {P(0, 0), P(1, 1), P(2, 0)};
    Bspline s(pts.data(), 3, 0, endTangents, &t0, &t1, false);
    expectPoint(t0, P(-1, 0), 0.0);

    const double r2 = std::sqrt(2.0);
    EXPECT_EQ(knotsOf(s), (std::vector<double>{0, 0, 0, 0, r2, 2 * r2, 2 * r2, 2 * r2, 2 * r2}));
    expectControlPoints(s, {P(0, 0), P(r2 / 3, 0), P(1, 2), P(2 - r2 / 3, 0), P(2, 0)}, 1e-14);
    Point<double> a, b;
    s.tangent(s.startParameter(), &a);
    s.tangent(s.endParameter(), &b);
    // The tangent is taken 1.5e-10 inside each end.
    expectPoint(a, P(1, 0), 1e-8);
    expectPoint(b, P(1, 0), 1e-8);
    expectThroughPoints(s, pts, 1e-9);
}

TEST_F(BsplineFit, TwoPointsGiveOneBezierSegment)
{
    // Start tangent (0, -1) away from the curve: the curve leaves (0, 0)
    // upwards; L = 5.
    std::unique_ptr<Bspline> s(fit({P(0, 0), P(3, 4)}, endTangents, P(0, -1), P(1, 0)));
    EXPECT_EQ(knotsOf(*s), (std::vector<double>{0, 0, 0, 0, 5, 5, 5, 5}));
    expectControlPoints(*s, {P(0, 0), P(0, 5.0 / 3), P(3 - 5.0 / 3, 4), P(3, 4)}, 1e-14);
    EXPECT_EQ(s->nPolySegs(), 1);
}

TEST_F(BsplineFit, EveryEndConditionReproducesTheDataPoints)
{
    const std::vector<Point<double>> sets[] = {
        {P(0, 0), P(1, 1), P(2, 4), P(3, 9)},                                   // on y = x²
        {P(0, 0), P(0.1, 0.3), P(1.5, 0.2), P(4, -1), P(4.2, -0.5), P(7, 2)},  // uneven spacing
        {P(-1, 2, 1), P(0, 0, 2), P(2, 1, 0), P(3, 3, -1), P(5, 2, 4)},         // z takes part
    };
    for (endCondition ec : {endQuadratic, endCircle, endTangents}) {
        for (const auto& pts : sets) {
            std::unique_ptr<Bspline> s(fit(pts, ec, P(-1, 1, 0), P(1, 2, 1)));
            ASSERT_EQ(s->nPts(), static_cast<int>(pts.size()) + 2);
            SCOPED_TRACE(testing::Message() << "end condition " << static_cast<int>(ec));
            expectThroughPoints(*s, pts, 1e-9);
        }
    }
}

TEST_F(BsplineFit, QuadraticAndCircleEndTangents)
{
    // On y = x²: the parabola's slope 0 at x = 0, and 6 at x = 3 (taken 1e-5 before it).
    std::unique_ptr<Bspline> q(fit({P(0, 0), P(1, 1), P(2, 4), P(3, 9)}, endQuadratic));
    Point<double> a, b;
    q->tangent(q->startParameter(), &a);
    q->tangent(q->endParameter(), &b);
    expectPoint(a, P(1, 0), 1e-8);
    expectPoint(b, P(1, 6) / std::sqrt(37.0), 1e-5);

    // On the unit circle from (1, 0) to (0, 1): the circle's own tangents.
    std::vector<Point<double>> arc;
    for (int i = 0; i <= 3; ++i)
        arc.push_back(P(std::cos(i * std::numbers::pi / 6), std::sin(i * std::numbers::pi / 6)));
    std::unique_ptr<Bspline> c(fit(arc, endCircle));
    c->tangent(c->startParameter(), &a);
    c->tangent(c->endParameter(), &b);
    expectPoint(a, P(0, 1), 1e-8);
    expectPoint(b, P(-1, 0), 1e-8);
}

TEST_F(BsplineFit, UnknownEndConditionLeavesTheArraysEmpty)
{
    std::unique_ptr<Bspline> s(fit({P(0, 0), P(1, 1), P(2, 0)}, static_cast<endCondition>(4)));
    EXPECT_EQ(s->nKts(), 0);
    EXPECT_EQ(s->nPts(), 0);
    EXPECT_EQ(s->weightArray().GetSize(), 0);
    EXPECT_EQ(s->deg(), 3);
}

TEST_F(BsplineFit, PointsTheFitCannotTakeThrowBadSpline)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* what;
        std::vector<Point<double>> pts;
        endCondition ec;
    };
    const Case cases[] = {
        {"one point", {P(1, 1)}, endTangents},
        {"two points, quadratic ends", {P(0, 0), P(1, 1)}, endQuadratic},
        {"two points, circle ends", {P(0, 0), P(1, 1)}, endCircle},
        {"coincident neighbours", {P(0, 0), P(1, 1), P(1, 1), P(2, 0)}, endTangents},
        {"coincident ends of two", {P(2, 3), P(2, 3)}, endTangents},
        {"coincident neighbours, circle ends", {P(0, 0), P(0, 0), P(1, 1), P(2, 0)}, endCircle},
        {"not a number", {P(0, 0), P(nan, 1), P(2, 0)}, endTangents},
        {"vertical run, quadratic ends", {P(0, 0), P(0, 1), P(0, 2)}, endQuadratic},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(thrownText([&] { delete fit(c.pts, c.ec, P(-1, 0), P(1, 0)); }), "Bad spline\n")
            << c.what;
    }
    EXPECT_EQ(thrownText([] { Bspline s(nullptr, 0, 0, endTangents, nullptr, nullptr, false); }),
              "Bad spline\n");

    // A failed refit leaves the spline as it was.
    std::unique_ptr<Bspline> s(fit({P(0, 0), P(1, 0), P(2, 0)}, endCircle));
    std::vector<Point<double>> bad = {P(0, 0), P(0, 0), P(1, 0)};
    Point<double> t0(-1, 0, 0), t1(1, 0, 0);
    EXPECT_EQ(thrownText([&] { s->fitOpen(bad.data(), 3, &t0, &t1); }), "Bad spline\n");
    EXPECT_EQ(knotsOf(*s), (std::vector<double>{0, 0, 0, 0, 1, 2, 2, 2, 2}));
    EXPECT_EQ(s->nPts(), 5);
}

TEST_F(BsplineFit, NormaliseMapsTheRangeOntoZeroToOne)
{
    std::unique_ptr<Bspline> s(fit({P(0, 0), P(3, 0), P(4, 0)}, endCircle, {}, {}, 0, true));
    EXPECT_EQ(knotsOf(*s), (std::vector<double>{0, 0, 0, 0, 0.75, 1, 1, 1, 1}));
    Point<double> c;
    s->eval(0.75, &c, 1e-12);
    expectPoint(c, P(3, 0), 1e-12);
}

TEST_F(BsplineFit, ClosedFitIsAPeriodicCubicThroughThePoints)
{
    // Eight points on the unit circle, the last repeating the first. By
    // symmetry the periodic spline's slope at (1, 0) is σ (0, 1) with
    // σ (4 + 2 cos θ) h = 6 sin θ, θ = 45°, h the chord: the first inner
    // control point is (1, hσ/3) = (1, √2 / (4 + √2)).
    std::vector<Point<double>> pts;
    for (int i = 0; i <= 8; ++i)
        pts.push_back(P(std::cos(i * std::numbers::pi / 4), std::sin(i * std::numbers::pi / 4), 0.5));
    pts.back() = pts.front();
    std::unique_ptr<Bspline> s(fit(pts, endCircle, {}, {}, 1));
    EXPECT_EQ(s->closed(), 1);
    EXPECT_EQ(s->deg(), 3);
    EXPECT_EQ(s->nPolySegs(), 8);
    ASSERT_EQ(s->nPts(), 11);
    const double y1 = std::sqrt(2.0) / (4 + std::sqrt(2.0));
    expectPoint(s->cpts(0), P(1, 0, 0.5), 1e-15);
    expectPoint(s->cpts(1), P(1, y1, 0.5), 1e-12);
    expectPoint(s->cpts(9), P(1, -y1, 0.5), 1e-12);
    expectPoint(s->cpts(10), P(1, 0, 0.5), 1e-15);
    expectThroughPoints(*s, pts, 1e-9);

    // The same loop given without the repeated point gives the same spline.
    pts.pop_back();
    std::unique_ptr<Bspline> open(fit(pts, endCircle, {}, {}, 1));
    EXPECT_TRUE(*open == *s);
}

TEST_F(BsplineFit, ClosedFitJoinsWithContinuousSecondDerivative)
{
    // An uneven loop in space: at the join the one-sided first and second
    // differences from both ends agree to the order of the step.
    std::vector<Point<double>> pts = {P(0, 0, 0), P(3, 0.5, 1), P(4, 3, 0), P(1, 4, -1), P(-1, 2, 0.5)};
    std::unique_ptr<Bspline> s(fit(pts, endCircle, {}, {}, 1));
    pts.push_back(pts.front());
    expectThroughPoints(*s, pts, 1e-9);

    const double L = s->endParameter();
    const double h = 1e-4;
    auto at = [&](double t) {
        Point<double> c;
        s->eval(t, &c, 1e-12);
        return c;
    };
    const Point<double> d1Start = (at(h) - at(0)) / h;
    const Point<double> d1End = (at(L) - at(L - h)) / h;
    const Point<double> d2Start = (at(2 * h) - at(h) * 2.0 + at(0)) / (h * h);
    const Point<double> d2End = (at(L) - at(L - h) * 2.0 + at(L - 2 * h)) / (h * h);
    expectPoint(d1Start, d1End, 1e-3);
    expectPoint(d2Start, d2End, 1e-2);
    EXPECT_GT(d2Start.length(), 0.1);  // a real bend, not a straight join
}

TEST_F(BsplineFit, ClosedFitNeedsThreeDistinctPoints)
{
    EXPECT_EQ(thrownText([] { delete fit({P(0, 0), P(1, 0), P(0, 0)}, endCircle, {}, {}, 1); }),
              "Bad spline\n");
    EXPECT_EQ(thrownText([] { delete fit({P(0, 0), P(1, 0), P(1, 0), P(0, 1)}, endCircle, {}, {}, 1); }),
              "Bad spline\n");
}

TEST_F(BsplineFit, NonRationalApproxOfAQuarterCircle)
{
    Bspline arc;
    quarterCircle(arc, 2.0, std::numbers::pi);  // closed flag unset
    ASSERT_EQ(arc.closed(), Bspline::unset);
    std::unique_ptr<Bspline> c(arc.nonRationalApprox());
    EXPECT_EQ(c->closed(), 0);
    EXPECT_FALSE(c->isRational());
    EXPECT_EQ(c->deg(), 3);
    EXPECT_EQ(c->nPts(), 12);
    expectPoint(c->startPoint(), P(2, 0), 0.0);
    expectPoint(c->endPoint(), P(0, 2), 0.0);
    Point<double> a, b;
    c->tangent(c->startParameter(), &a);
    c->tangent(c->endParameter(), &b);
    expectPoint(a, P(0, 1), 1e-9);
    expectPoint(b, P(-1, 0), 1e-9);
    // Close to the circle of radius 2 everywhere.
    for (int i = 0; i <= 200; ++i) {
        Point<double> p;
        c->eval(c->startParameter() + i * c->parmLength() / 200, &p, 1e-12);
        EXPECT_NEAR(p.length(), 2.0, 1e-5) << i;
    }
}
