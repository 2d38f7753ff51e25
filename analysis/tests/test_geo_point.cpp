#include "analysis/geometry/Bsurface.h"
#include "analysis/geometry/Point.h"
#include "analysis/geometry/Vector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using P = Point<double>;

namespace {

void expectPoint(const P& p, double x, double y, double z, double tol = 0.0)
{
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
    EXPECT_NEAR(p.z, z, tol);
}

}  // namespace

TEST(GeoPoint, LayoutIsThreeDoubles)
{
    static_assert(sizeof(P) == 24);
    P p(1.5, -2.0, 3.25);
    double raw[3];
    std::memcpy(raw, &p, sizeof raw);
    EXPECT_EQ(raw[0], 1.5);
    EXPECT_EQ(raw[1], -2.0);
    EXPECT_EQ(raw[2], 3.25);
}

TEST(GeoPoint, Arithmetic)
{
    P a(1, 2, 3), b(4, -5, 6);
    expectPoint(a + b, 5, -3, 9);
    expectPoint(a - b, -3, 7, -3);
    expectPoint(a * 2.0, 2, 4, 6);
    expectPoint(a / 2.0, 0.5, 1, 1.5);
    EXPECT_EQ(dot(a, b), 4 - 10 + 18);
    EXPECT_EQ(P(3, 4, 12).lengthSquared(), 169.0);
    EXPECT_EQ(P(3, 4, 12).length(), 13.0);
    EXPECT_EQ(P(1e-21, 0, 0).length(), 0.0);  // squared length below 1e-40
    a += b;
    expectPoint(a, 5, -3, 9);
}

TEST(GeoPoint, Cross)
{
    expectPoint(cross(P(1, 0, 0), P(0, 1, 0)), 0, 0, 1);
    const P t(2.5, -7, 4);
    expectPoint(cross(P(0, 0, 1), t), 7, 2.5, 0);  // (-ty, tx, 0)
    expectPoint(cross(P(1, 2, 3), P(4, 5, 6)), -3, 6, -3);
}

TEST(GeoPoint, Normalize)
{
    P p(3, 0, 4);
    p.normalize();
    expectPoint(p, 0.6, 0, 0.8, 1e-16);
    P zero;
    zero.normalize();
    expectPoint(zero, 0, 0, 0);
    P tiny(1e-13, 0, 0);
    tiny.normalize();
    EXPECT_EQ(tiny.x, 1e-13);
}

TEST(GeoPoint, Equality)
{
    EXPECT_TRUE(P(1, 1, 1) == P(1, 1, 1 + 9e-6));
    EXPECT_FALSE(P(1, 1, 1) == P(1, 1, 1 + 2e-5));
    EXPECT_TRUE(P() == P(0, 1e-25, 0));
}

TEST(GeoPoint, Mirror)
{
    // Plane through (1, 0, 0) with normal along x (given unnormalised).
    P n(5, 0, 0);
    P p(3, 2, 1);
    p.mirror(P(1, 0, 0), n);
    expectPoint(p, -1, 2, 1);
    expectPoint(n, 1, 0, 0);  // normalised in place

    P onRef(1 + 5e-7, 0, 0);
    P n2(1, 0, 0);
    onRef.mirror(P(1, 0, 0), n2);
    EXPECT_EQ(onRef.x, 1 + 5e-7);  // within 1e-6 of the reference: unchanged
}

TEST(GeoPoint, RotateAboutCentreKeepsZ)
{
    P p(3, 1, 7);
    p.rotate(P(1, 1, -4), 90.0);
    expectPoint(p, 1, 3, 7, 1e-15);
    P q(2, 0, 0);
    q.rotate(P(), -45.0);
    expectPoint(q, std::sqrt(2.0), -std::sqrt(2.0), 0, 1e-15);
}

TEST(GeoVector, LowerBoundIndexingAndDeepCopy)
{
    Vector v(5, 1);
    for (int i = 1; i <= 5; ++i)
        v[i] = 10.0 * i;
    EXPECT_EQ(v.v()[0], 10.0);
    EXPECT_EQ(v.v()[4], 50.0);
    EXPECT_EQ(&v[1], v.v());
    EXPECT_EQ(&v[5], v.v() + 4);

    Vector w(2, 0);
    w = v;
    w[3] = -1.0;
    EXPECT_EQ(v[3], 30.0);
    EXPECT_NE(w.v(), v.v());
    Vector copy(v);
    copy[1] = 0.0;
    EXPECT_EQ(v[1], 10.0);
}

TEST(GeoBsurface, SizesAndDeepCopy)
{
    Bsurface s(2, 3, 1, 1);
    EXPECT_EQ(s.uKnots.size(), 6u);
    EXPECT_EQ(s.vKnots.size(), 8u);
    EXPECT_EQ(s.weights.size(), 12u);
    EXPECT_EQ(s.ctlPts.size(), 12u);
    EXPECT_EQ(s.values[0], 0.0);

    s.flags[2] = 1;
    s.weights[5] = 2.5;
    s.values[1] = 4.0;
    Bsurface t(0, 0, 0, 0);
    t = s;
    t.weights[5] = 9.0;
    EXPECT_EQ(s.weights[5], 2.5);
    EXPECT_EQ(t.flags[2], 1);
    EXPECT_EQ(t.values[1], 4.0);
    EXPECT_EQ(t.a, 2);
    EXPECT_EQ(t.b, 3);
}
