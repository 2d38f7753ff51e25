// The two sides of a wall of constant thickness along a centre-line spline.
#include <numbers>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/tests/BsplineTestCurves.h"

using bspline_test::P;
using bspline_test::quarterCircle;
using bspline_test::quarterCircleAngle;
using bspline_test::SplineState;

namespace {


void expectPoint(const Point<double>& got, const Point<double>& want, double tol,
                 const std::string& what = "")
{
    EXPECT_NEAR(got.x, want.x, tol) << what;
    EXPECT_NEAR(got.y, want.y, tol) << what;
    EXPECT_NEAR(got.z, want.z, tol) << what;
}

// The point at angle a on the circle of radius r about the origin.
Point<double> onCircle(double r, double a)
{
    return P(r * std::cos(a), r * std::sin(a));
}

class BsplineOffset : public SplineState {};

}  // namespace

TEST_F(BsplineOffset, StraightCentreLineGivesTwoOppositeLines)
{
    Point<double> a(0, 0, 0), b(10, 0, 0);
    Bspline line(&a, &b, false);
    Bspline* first = nullptr;
    Bspline* second = nullptr;
    EXPECT_EQ(line.offsetSplines(10, 2.0, &first, &second), errNone);
    std::unique_ptr<Bspline> f(first), s(second);
    ASSERT_TRUE(f && s);
    EXPECT_EQ(f->deg(), 1);
    EXPECT_EQ(s->deg(), 1);
    expectPoint(f->startPoint(), P(10, 1), 1e-15);
    expectPoint(f->endPoint(), P(0, 1), 1e-15);
    expectPoint(s->startPoint(), P(0, -1), 1e-15);
    expectPoint(s->endPoint(), P(10, -1), 1e-15);
    EXPECT_DOUBLE_EQ(f->parmLength(), 10.0);
    EXPECT_DOUBLE_EQ(s->parmLength(), 10.0);
}

TEST_F(BsplineOffset, OutlineSamplesBothSidesOfAQuarterCircle)
{
    // Quarter circle of radius 2, counter-clockwise: its normal points to
    // the centre, so the first side has radius 1.5 and the second 2.5.
    Bspline arc;
    quarterCircle(arc, 2.0, 1.0);
    Point<double> pts[10];
    Point<double> down(0, 0, -1);
    EXPECT_EQ(arc.offsetPts(1.0, 10, pts, down), errNone);
    for (int i = 0; i < 5; ++i) {
        const double angle = quarterCircleAngle(i / 4.0);
        expectPoint(pts[i], onCircle(1.5, angle), 1e-9, "inner " + std::to_string(i));
        expectPoint(pts[9 - i], onCircle(2.5, angle), 1e-9, "outer " + std::to_string(i));
    }

    // (The normal at the end is taken 1e-10 inside it.)
    // Against the reference winding the two sides are exchanged: entry 0 is
    // then the outer start point.
    Point<double> up(0, 0, 1);
    arc.offsetPts(1.0, 10, pts, up);
    expectPoint(pts[0], P(2.5, 0), 1e-9);
    expectPoint(pts[9], P(1.5, 0), 1e-9);
    expectPoint(pts[4], P(0, 2.5), 1e-9);
    expectPoint(pts[5], P(0, 1.5), 1e-9);
}

TEST_F(BsplineOffset, OddCountLeavesTheMiddleEntryAndSmallCountsAreRefused)
{
    Bspline arc;
    quarterCircle(arc, 2.0, 1.0);
    Point<double> down(0, 0, -1);
    Point<double> pts[7];
    pts[3] = P(7, 7, 7);
    arc.offsetPts(1.0, 7, pts, down);
    expectPoint(pts[3], P(7, 7, 7), 0.0);
    expectPoint(pts[0], P(1.5, 0), 1e-9);
    expectPoint(pts[2], P(0, 1.5), 1e-9);
    expectPoint(pts[4], P(0, 2.5), 1e-9);

    // Two entries: one sample at the start.
    Point<double> two[2];
    arc.offsetPts(1.0, 2, two, down);
    expectPoint(two[0], P(1.5, 0), 1e-9);
    expectPoint(two[1], P(2.5, 0), 1e-9);

    Point<double> one[1];
    EXPECT_THROW(arc.offsetPts(1.0, 1, one, down), CInvalidArgException);
}

TEST_F(BsplineOffset, CurvedCentreLineGivesTwoOrientedCubicFits)
{
    Bspline arc;
    quarterCircle(arc, 2.0, std::numbers::pi);
    Bspline* first = nullptr;
    Bspline* second = nullptr;
    EXPECT_EQ(arc.offsetSplines(20, 1.0, &first, &second), errNone);
    std::unique_ptr<Bspline> f(first), s(second);
    ASSERT_TRUE(f && s);
    EXPECT_EQ(f->deg(), 3);
    EXPECT_EQ(s->deg(), 3);
    EXPECT_EQ(f->closed(), 0);
    EXPECT_FALSE(f->isRational());
    EXPECT_EQ(f->nPts(), 12);  // ten samples per side
    // The outer side runs with the centre line, the inner side back, so
    // that each lies on the left of the other.
    expectPoint(s->startPoint(), P(2.5, 0), 1e-9);
    expectPoint(s->endPoint(), P(0, 2.5), 1e-9);
    expectPoint(f->startPoint(), P(0, 1.5), 1e-9);
    expectPoint(f->endPoint(), P(1.5, 0), 1e-9);
    for (int i = 0; i <= 100; ++i) {
        Point<double> p, q;
        f->eval(f->startParameter() + i * f->parmLength() / 100, &p, 1e-9);
        s->eval(s->startParameter() + i * s->parmLength() / 100, &q, 1e-9);
        EXPECT_NEAR(p.length(), 1.5, 1e-4) << i;
        EXPECT_NEAR(q.length(), 2.5, 1e-4) << i;
    }
}

TEST_F(BsplineOffset, TooFewSamplesForACubicSideThrowBadSpline)
{
    Bspline arc;
    quarterCircle(arc, 2.0, std::numbers::pi);
    Bspline* first = nullptr;
    Bspline* second = nullptr;
    try {
        arc.offsetSplines(3, 1.0, &first, &second);
        ADD_FAILURE() << "no exception";
    } catch (const char* text) {
        EXPECT_STREQ(text, "Bad spline\n");
    }
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(second, nullptr);
}
