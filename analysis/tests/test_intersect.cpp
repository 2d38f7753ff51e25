// Intersections of B-splines by subdivision, straight-line intersections,
// the line helpers and the queries of a spline against a horizontal line.
#include <numbers>
#include <cmath>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/LineIntersection.h"
#include "analysis/model/Globals.h"
#include "analysis/tests/BsplineTestCurves.h"
#include "platform/core/Exceptions.h"

using bspline_test::P;
using bspline_test::SplineState;

namespace {


using PointList = CList<Point<double>*>;

// Takes a result list: its points, and frees it.
std::vector<Point<double>> take(PointList* list)
{
    std::vector<Point<double>> pts;
    if (list == nullptr)
        return pts;
    POSITION pos = list->GetHeadPosition();
    while (pos) {
        Point<double>* p = list->GetNext(pos);
        pts.push_back(*p);
        delete p;
    }
    delete list;
    return pts;
}

// The intersection points of a with b.
std::vector<Point<double>> meet(const Bspline& a, Bspline& b)
{
    return take(a.intersection(&b));
}

// Every expected point is reported, and every reported point is one of the
// expected ones (within tol in x and y): the sets agree whatever the
// repetitions.
void expectSameSet(const std::vector<Point<double>>& got, const std::vector<Point<double>>& want,
                   double tol)
{
    auto near = [tol](const Point<double>& a, const Point<double>& b) {
        return std::fabs(a.x - b.x) <= tol && std::fabs(a.y - b.y) <= tol;
    };
    for (const Point<double>& w : want) {
        bool found = false;
        for (const Point<double>& g : got)
            found = found || near(g, w);
        EXPECT_TRUE(found) << "missing (" << w.x << ", " << w.y << ")";
    }
    for (const Point<double>& g : got) {
        bool expected = false;
        for (const Point<double>& w : want)
            expected = expected || near(g, w);
        EXPECT_TRUE(expected) << "unexpected (" << g.x << ", " << g.y << ")";
    }
}

// Circle (or arc) about c of radius r from angle a0 to a1 in degrees,
// counter-clockwise; a full circle when a1 is a0 + 360.
std::unique_ptr<Bspline> arc(Point<double> c, double r, double a0, double a1)
{
    Point<double> s = c + P(std::cos(a0 * std::numbers::pi / 180), std::sin(a0 * std::numbers::pi / 180)) * r;
    Point<double> e = c + P(std::cos(a1 * std::numbers::pi / 180), std::sin(a1 * std::numbers::pi / 180)) * r;
    Point<double> n(0, 0, 1);
    if (std::fabs(a1 - a0 - 360.0) < 1e-12)
        return std::make_unique<Bspline>(&c, &s, &s, &n);
    return std::make_unique<Bspline>(&c, &s, &e, &n);
}

std::unique_ptr<Bspline> line(Point<double> a, Point<double> b)
{
    return std::make_unique<Bspline>(&a, &b, false);
}

std::unique_ptr<Bspline> polyline(std::vector<Point<double>> pts)
{
    return std::make_unique<Bspline>(static_cast<int>(pts.size()), pts.data());
}

// A planar cubic with knots 0 0 0 0 1 2 2 2 2 that turns twice.
std::unique_ptr<Bspline> wavyCubic()
{
    Point<double> cpts[5] = {P(0, 0), P(1, 2), P(2, -1), P(3, 2), P(4, 0)};
    double wts[5] = {1, 1, 1, 1, 1};
    double kts[9] = {0, 0, 0, 0, 1, 2, 2, 2, 2};
    return std::make_unique<Bspline>(3, 5, cpts, wts, 9, kts);
}

class SplineIntersection : public SplineState {};
class LineHelpers : public SplineState {};
class HorizontalLine : public SplineState {};

}  // namespace

// ---------------------------------------------------------------------------
// Straight splines

TEST_F(SplineIntersection, StraightSplinesCrossOverlapOrMiss)
{
    struct Case {
        Point<double> a0, a1, b0, b1;
        std::vector<Point<double>> want;
    };
    const Case cases[] = {
        {P(0, 0), P(2, 2), P(0, 2), P(2, 0), {P(1, 1)}},
        {P(0, 0, 5), P(2, 0, 5), P(1, 0, 5), P(3, 0, 5), {P(1, 0), P(2, 0)}},
        {P(0, 0), P(1, 0), P(0, 1), P(1, 2), {}},
        // A line of no length meets the other only where it lies on it.
        {P(5, 5), P(5, 5), P(0, 0), P(1, 0), {}},
        {P(0.25, 0), P(0.25, 0), P(0, 0), P(1, 0), {P(0.25, 0)}},
    };
    for (const Case& c : cases) {
        auto a = line(c.a0, c.a1);
        auto b = line(c.b0, c.b1);
        for (PointList* list : {a->intersection(b.get()), lineLineIntersection(a.get(), b.get())}) {
            EXPECT_EQ(list == nullptr, c.want.empty());
            const std::vector<Point<double>> got = take(list);
            ASSERT_EQ(got.size(), c.want.size());
            for (size_t i = 0; i < got.size(); ++i) {
                EXPECT_NEAR(got[i].x, c.want[i].x, 1e-15);
                EXPECT_NEAR(got[i].y, c.want[i].y, 1e-15);
                EXPECT_EQ(got[i].z, 0.0);
            }
        }
        // The splines themselves keep their z.
        EXPECT_EQ(a->startPoint().z, c.a0.z);
    }
}

// ---------------------------------------------------------------------------
// Subdivision

TEST_F(SplineIntersection, CircleCrossedByALineThroughItsCentre)
{
    auto circle = arc(P(0, 0), 1.0, 0.0, 360.0);
    auto across = line(P(-2, 0), P(2, 0));
    expectSameSet(meet(*circle, *across), {P(1, 0), P(-1, 0)}, 1e-9);
    expectSameSet(meet(*across, *circle), {P(1, 0), P(-1, 0)}, 1e-9);
    EXPECT_EQ(QHTgSplitTol, 1e-8);
}

TEST_F(SplineIntersection, PointsComeInDepthFirstOrderFromTheStarts)
{
    // A circle starting at the bottom meets the horizontal diameter first at
    // (1, 0) and then at (-1, 0).
    auto circle = arc(P(0, 0), 1.0, -90.0, 270.0);
    auto across = line(P(-2, 0), P(2, 0));
    const std::vector<Point<double>> got = meet(*circle, *across);
    ASSERT_FALSE(got.empty());
    EXPECT_NEAR(got.front().x, 1.0, 1e-9);
    EXPECT_NEAR(got.back().x, -1.0, 1e-9);
    expectSameSet(got, {P(1, 0), P(-1, 0)}, 1e-9);
}

TEST_F(SplineIntersection, BentPolylineIsNotTakenForItsChord)
{
    // The chord from (0,0) to (3,0) would meet the line at (1,0).
    auto bent = polyline({P(0, 0), P(1, 1), P(2, 0), P(3, 0)});
    auto upright = line(P(1, -1), P(1, 2));
    expectSameSet(meet(*bent, *upright), {P(1, 1)}, 1e-8);
}

TEST_F(SplineIntersection, CrossingAtAPolylineCornerEnds)
{
    // The line passes through the corner (1,2): the pieces around the corner
    // never become flat, and their knot ranges fall below the split tolerance.
    auto peak = polyline({P(0, 0), P(1, 2), P(3, 0)});
    auto upright = line(P(1, -3), P(1, 3));
    expectSameSet(meet(*peak, *upright), {P(1, 2)}, 1e-8);
    expectSameSet(meet(*upright, *peak), {P(1, 2)}, 1e-8);
}

TEST_F(SplineIntersection, TinyTangentCirclesEnd)
{
    // Circles of radius 1e-5 touching at (1e-5, 0): their pieces stay curved
    // down to the split tolerance. The touch is reported.
    const double r = 1e-5;
    auto left = arc(P(0, 0), r, 90.0, 450.0);
    auto right = arc(P(2 * r, 0), r, 270.0, 630.0);
    const std::vector<Point<double>> got = meet(*left, *right);
    ASSERT_FALSE(got.empty());
    expectSameSet(got, {P(r, 0)}, 1e-7);
}

TEST_F(SplineIntersection, CubicLyingOnAnotherGivesTheContainedEnds)
{
    auto whole = wavyCubic();
    std::unique_ptr<Bspline> part(whole->subSpline(0.3, 1.6));
    ASSERT_TRUE(part);
    const std::vector<Point<double>> ends = {part->startPoint(), part->endPoint()};
    for (const auto& got : {meet(*whole, *part), meet(*part, *whole)}) {
        ASSERT_EQ(got.size(), 2u);
        expectSameSet(got, ends, 1e-12);
    }
}

TEST_F(SplineIntersection, ArcsSharingAStretchGiveItsEnds)
{
    // Arcs of one circle over 0..120 and 60..180 degrees share 60..120.
    auto a = arc(P(0, 0), 1.0, 0.0, 120.0);
    auto b = arc(P(0, 0), 1.0, 60.0, 180.0);
    const std::vector<Point<double>> want = {P(std::cos(std::numbers::pi / 3), std::sin(std::numbers::pi / 3)),
                                             P(std::cos(2 * std::numbers::pi / 3), std::sin(2 * std::numbers::pi / 3))};
    expectSameSet(meet(*a, *b), want, 1e-12);
    expectSameSet(meet(*b, *a), want, 1e-12);
}

TEST_F(SplineIntersection, ArcsTouchingAtAnEndStillFindTheirOtherCrossing)
{
    // Unit circles about (0,0) and (1,0) meet at p = (1/2, √3/2) and
    // q = (1/2, -√3/2). The first arc starts at p and the second ends there:
    // each end lies on the other arc, but they share no stretch.
    const Point<double> p(0.5, std::sqrt(3.0) / 2, 0);
    const Point<double> q(0.5, -std::sqrt(3.0) / 2, 0);
    auto a = arc(P(0, 0), 1.0, 60.0, 320.0);
    auto b = arc(P(1, 0), 1.0, 200.0, 480.0);
    expectSameSet(meet(*a, *b), {p, q}, 1e-8);
}

TEST_F(SplineIntersection, DisjointCurvesGiveNullAndEmptyOnesThrow)
{
    auto circle = arc(P(0, 0), 1.0, 0.0, 360.0);
    auto far = arc(P(5, 0), 1.0, 0.0, 360.0);
    EXPECT_EQ(circle->intersection(far.get()), nullptr);
    auto inside = line(P(-0.5, 0), P(0.5, 0));
    EXPECT_EQ(circle->intersection(inside.get()), nullptr);

    Bspline empty;
    EXPECT_THROW(circle->intersection(&empty), CInvalidArgException);
}

// ---------------------------------------------------------------------------
// Line helpers

TEST_F(LineHelpers, XLnLnMeetsOrLeavesTheOutputForParallelLines)
{
    Point<double> P1(0, 0, 0), D1(2, 0, 0), P2(3, -1, 0), D2(0, 5, 0), X(9, 9, 9);
    XLnLn(P1, D1, P2, D2, X);
    EXPECT_DOUBLE_EQ(X.x, 3.0);
    EXPECT_DOUBLE_EQ(X.y, 0.0);
    EXPECT_DOUBLE_EQ(D1.x, 1.0);  // normalised in place
    EXPECT_DOUBLE_EQ(D2.y, 1.0);

    Point<double> Q(0, 1, 0), E(-4, 0, 0), Y(9, 9, 9);
    XLnLn(P1, D1, Q, E, Y);
    EXPECT_EQ(Y.x, 9.0);
    EXPECT_EQ(Y.y, 9.0);
}

TEST_F(LineHelpers, Colinear)
{
    Point<double> a(0, 0, 0), b(1, 1, 0), c(3, 3, 0), d(1, 2, 0);
    EXPECT_TRUE(colinear(&a, &b, &c));
    EXPECT_TRUE(colinear(&c, &a, &b));  // B outside AC: opposite directions
    EXPECT_FALSE(colinear(&a, &b, &d));
}

TEST_F(LineHelpers, LnlnXMeetsTheVerticalPlaneOfTheOtherFirstLeg)
{
    auto diagonal = line(P(0, 0, 0), P(1, 1, 1));
    auto upright = line(P(2, -5), P(2, 5));
    Point<double> X(9, 9, 9);
    diagonal->lnlnX(upright.get(), &X);
    EXPECT_NEAR(X.x, 2.0, 1e-15);
    EXPECT_NEAR(X.y, 2.0, 1e-15);
    EXPECT_NEAR(X.z, 2.0, 1e-15);

    auto parallel = line(P(5, 0), P(6, 1));
    Point<double> Y(9, 9, 9);
    diagonal->lnlnX(parallel.get(), &Y);
    EXPECT_EQ(Y.x, 9.0);

    Point<double> one(0, 0, 0);
    Bspline single(1, &one);
    EXPECT_THROW(single.lnlnX(upright.get(), &X), CInvalidArgException);
}

// ---------------------------------------------------------------------------
// Horizontal lines

TEST_F(HorizontalLine, CrossesBelowAndColinear)
{
    auto starting = polyline({P(0, 1), P(1, 3), P(2, 4)});
    EXPECT_TRUE(starting->crosses(1.0));
    auto above = polyline({P(0, 3), P(1, 2), P(2, 1)});
    EXPECT_FALSE(above->crosses(1.0));  // the last point on y is not across it
    EXPECT_TRUE(above->crosses(1.5));

    EXPECT_TRUE(above->belowOnY(3.0));
    EXPECT_TRUE(above->belowOnY(3.0 - 5e-9));
    EXPECT_FALSE(above->belowOnY(2.9));

    auto flat = line(P(0, 2), P(4, 2));
    EXPECT_TRUE(flat->colinearY(2.0));
    EXPECT_FALSE(flat->colinearY(2.1));
    EXPECT_FALSE(arc(P(0, 0), 2.0, 90.0, 180.0)->colinearY(2.0));  // degree 2
    Point<double> one(0, 2, 0);
    Bspline single(1, &one);
    EXPECT_THROW(single.colinearY(2.0), CInvalidArgException);
}

TEST_F(HorizontalLine, InterceptsOfAStraightLineOnY)
{
    auto flat = line(P(0, 2), P(4, 2));
    flat->setGlobal(3.0);
    CArray<double, double> params;
    flat->yIntercepts(2.0, &params);
    ASSERT_EQ(params.GetSize(), 1);
    EXPECT_EQ(params[0], 3.0);
}

TEST_F(HorizontalLine, InterceptsOfACircleWithAnOffset)
{
    // The circle meets y = 1/2 at 30 and 150 degrees; the parameters are
    // global, so they hold whatever offset the arc carries.
    setLooseSplitTol();
    auto circle = arc(P(0, 0), 1.0, -90.0, 270.0);
    circle->setGlobal(10.0);
    CArray<double, double> params;
    circle->yIntercepts(0.5, &params);
    ASSERT_EQ(params.GetSize(), 2);
    const double xs[] = {std::sqrt(3.0) / 2, -std::sqrt(3.0) / 2};
    for (int i = 0; i < 2; ++i) {
        Point<double> p;
        circle->eval(params[i], &p, 1e-7);
        EXPECT_NEAR(p.x, xs[i], 1e-4);
        EXPECT_NEAR(p.y, 0.5, 1e-4);
    }
}
