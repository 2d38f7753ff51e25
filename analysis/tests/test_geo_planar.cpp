#include "analysis/geometry/PlanarGeometry.h"

#include <numbers>
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/model/Globals.h"

using P = Point<double>;

namespace {


void expectXY(const P& p, double x, double y, double tol = 1e-15)
{
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
}

}  // namespace

TEST(GeoPlanar, LineX)
{
    P a(0, 0, 0), b(1, 0, 0), c(2, -1, 0), d(2, 1, 0);
    P x(9, 9, 9);
    EXPECT_EQ(lineX(a, b, c, d, &x), errNone);
    expectXY(x, 2, 0);

    P e(0, 1, 0), f(5, 1, 0);
    P untouched(9, 9, 9);
    EXPECT_EQ(lineX(a, b, e, f, &untouched), errParallel);
    EXPECT_EQ(lineX(a, a, c, d, &untouched), errShortSegment);
    EXPECT_EQ(untouched.x, 9.0);
    EXPECT_EQ(gEpsilon, 1e-11);
}

TEST(GeoPlanar, LineIntersectionCases)
{
    struct Case {
        P a, b, c, d;
        int count;
        P first, second;
    };
    const Case cases[] = {
        {{0, 0, 0}, {2, 0, 0}, {1, -1, 0}, {1, 1, 0}, 1, {1, 0, 0}, {}},   // crossing
        {{0, 0, 0}, {2, 0, 0}, {1, 1, 0}, {1, 2, 0}, 0, {}, {}},           // same side
        {{0, 0, 0}, {2, 0, 0}, {1, 0, 0}, {1, 2, 0}, 1, {1, 0, 0}, {}},    // c on ab
        {{1, 0, 0}, {3, 0, 0}, {0, 0, 0}, {2, 0, 0}, 2, {1, 0, 0}, {2, 0, 0}},  // overlap
        {{0, 0, 0}, {2, 0, 0}, {3, -1, 0}, {3, 1, 0}, 0, {}, {}},          // misses ab
        // An ab of no length is a point: met only where it lies on cd.
        {{5, 5, 0}, {5, 5, 0}, {0, 0, 0}, {1, 0, 0}, 0, {}, {}},
        {{0.5, 0, 0}, {0.5, 0, 0}, {0, 0, 0}, {1, 0, 0}, 1, {0.5, 0, 0}, {}},
        {{1, 1, 0}, {1, 1, 0}, {0, 0, 0}, {2, 2, 0}, 1, {1, 1, 0}, {}},
        {{3, 3, 0}, {3, 3, 0}, {0, 0, 0}, {2, 2, 0}, 0, {}, {}},           // beyond d
        {{1, 1, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 0}, 1, {1, 1, 0}, {}},    // two points
    };
    for (const Case& k : cases) {
        Case w = k;
        P out[2];
        EXPECT_EQ(lineIntersection(w.a, w.b, w.c, w.d, out, 1e-12), k.count);
        if (k.count >= 1)
            expectXY(out[0], k.first.x, k.first.y);
        if (k.count == 2)
            expectXY(out[1], k.second.x, k.second.y);
    }
}

TEST(GeoPlanar, LineIntersectionClearsZ)
{
    P a(0, 0, 3), b(2, 0, 3), c(1, -1, 5), d(1, 1, 5);
    P out[2];
    EXPECT_EQ(lineIntersection(a, b, c, d, out, 1e-12), 1);
    EXPECT_EQ(a.z + b.z + c.z + d.z, 0.0);
    EXPECT_EQ(out[0].z, 0.0);
}

TEST(GeoPlanar, OverlapIndependentOfOrder)
{
    // cd lies strictly inside ab, and cd begins inside ab but runs past it.
    const P pairs[][4] = {
        {{0, 0, 0}, {4, 0, 0}, {1, 0, 0}, {3, 0, 0}},
        {{0, 0, 0}, {4, 0, 0}, {2, 0, 0}, {6, 0, 0}},
        {{0, 0, 0}, {4, 0, 0}, {3, 0, 0}, {1, 0, 0}},
    };
    const double expected[][2] = {{1, 3}, {2, 4}, {1, 3}};
    for (int i = 0; i < 3; ++i) {
        P a = pairs[i][0], b = pairs[i][1], c = pairs[i][2], d = pairs[i][3];
        P s0, s1, t0, t1;
        ASSERT_EQ(findInteriorSegment(a, b, c, d, &s0, &s1), 2) << i;
        ASSERT_EQ(findInteriorSegment(c, d, a, b, &t0, &t1), 2) << i;
        EXPECT_EQ(std::fmin(s0.x, s1.x), expected[i][0]);
        EXPECT_EQ(std::fmax(s0.x, s1.x), expected[i][1]);
        EXPECT_EQ(std::fmin(t0.x, t1.x), expected[i][0]);
        EXPECT_EQ(std::fmax(t0.x, t1.x), expected[i][1]);

        P out[2];
        EXPECT_EQ(lineIntersection(a, b, c, d, out, 1e-12), 2) << i;
        EXPECT_EQ(lineIntersection(c, d, a, b, out, 1e-12), 2) << i;
    }
}

TEST(GeoPlanar, InteriorSegmentTouchAndMiss)
{
    P a(0, 0, 0), b(2, 0, 0), c(2, 0, 0), d(5, 0, 0), far0(3, 0, 0), far1(4, 0, 0);
    P s0, s1;
    EXPECT_EQ(findInteriorSegment(a, b, c, d, &s0, &s1), 1);
    expectXY(s0, 2, 0);
    EXPECT_EQ(findInteriorSegment(c, d, a, b, &s0, &s1), 1);
    expectXY(s0, 2, 0);
    EXPECT_EQ(findInteriorSegment(a, b, far0, far1, &s0, &s1), 0);
    EXPECT_FALSE(lineOverlap(far0, far1, a, b, &s0, &s1));
}

TEST(GeoPlanar, InsideSegmentAndPtOnLine)
{
    P o(0, 0, 0), two(2, 0, 0), one(1, 0, 0);
    P p3(3, 0, 0), p2(2, 0, 0), p11(1, 1, 0), back(-1, 0, 0), off(3, 1e-6, 0);
    EXPECT_FALSE(insideSegment(o, two, p3));
    EXPECT_TRUE(insideSegment(o, two, p2));
    EXPECT_TRUE(insideSegment(o, two, p11));
    EXPECT_FALSE(insideSegment(o, two, back));
    EXPECT_TRUE(PtOnLine(p3, o, one));
    EXPECT_FALSE(PtOnLine(back, o, one));
    EXPECT_FALSE(PtOnLine(off, o, one));
}

TEST(GeoPlanar, Triangles)
{
    P a(0, 0, 0), b(1, 0, 0), c(0, 1, 0);
    EXPECT_EQ(triangleArea(a, b, c), 0.5);
    EXPECT_EQ(triangleArea(a, c, b), -0.5);
    P g = triangleCenter(a, b, c);
    expectXY(g, 1.0 / 3.0, 1.0 / 3.0, 1e-16);

    P midBC(0.5, 0.5, 0), midAB(0.5, 0, 0), outside(1, 1, 0);
    EXPECT_TRUE(PointInTriangle(a, a, b, c));
    EXPECT_FALSE(PointInTriangle(midBC, a, b, c));
    EXPECT_TRUE(PointInTriangle(midAB, a, b, c));
    EXPECT_TRUE(PointInTriangle(g, a, b, c));
    EXPECT_FALSE(PointInTriangle(outside, a, b, c));
    P d(2, 0, 0);
    EXPECT_FALSE(PointInTriangle(a, a, b, d));  // degenerate
}

TEST(GeoPlanar, LineProjectPt)
{
    P a(0, 0, 0), dir(1, 0, 0);
    struct Case {
        P p;
        double footX, dist;
    };
    const Case cases[] = {{{5, 4, 0}, 2, 5}, {{3, 1, 0}, 2, std::sqrt(2.0)}, {{-3, 4, 0}, 0, 5}, {{1, 3, 0}, 1, 3}};
    for (const Case& k : cases) {
        P p = k.p, foot;
        double dist = -1;
        lineProjectPt(p, a, dir, 2.0, &foot, &dist);
        expectXY(foot, k.footX, 0);
        EXPECT_DOUBLE_EQ(dist, k.dist);
    }
}

TEST(GeoPlanar, Angles)
{
    P x(1, 0, 0), y(0, 1, 0), negY(0, -1, 0), negX(-1, 0, 0), diag(-2, -2, 0);
    EXPECT_DOUBLE_EQ(clockwiseAngle(&x, &y), std::numbers::pi / 2);
    EXPECT_DOUBLE_EQ(clockwiseAngle(&y, &x), 3 * std::numbers::pi / 2);
    EXPECT_DOUBLE_EQ(counterClockwiseAngle(&x, &y), 3 * std::numbers::pi / 2);
    EXPECT_EQ(counterClockwiseAngle(&x), 0.0);
    EXPECT_DOUBLE_EQ(counterClockwiseAngle(&y), std::numbers::pi / 2);
    EXPECT_DOUBLE_EQ(counterClockwiseAngle(&negY), 3 * std::numbers::pi / 2);
    EXPECT_DOUBLE_EQ(counterClockwiseAngle(&negX), std::numbers::pi);
    EXPECT_DOUBLE_EQ(counterClockwiseAngle(&diag), 5 * std::numbers::pi / 4);
    EXPECT_EQ(diag.x, -2.0);  // the arguments are not normalised in place
}
