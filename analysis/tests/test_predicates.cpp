// Tests of the exact geometric predicates. The near-degenerate grids place
// one point a few ulps off a line, circle or sphere, where the exact sign has
// a closed form; the plain floating-point ("fast") variants get some of them
// wrong, which shows that the grids reach the hard cases.
#include "analysis/predicates/Predicates.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// The module state as it stood while static objects were constructed, before
// any test could call exactinit.
const PredicateState gStateAtLoad = predicateState();

int sign(double v)
{
    return (v > 0.0) - (v < 0.0);
}

// x advanced k ulps (k may be negative).
double ulpsFrom(double x, int k)
{
    for (; k > 0; --k) x = std::nextafter(x, INFINITY);
    for (; k < 0; ++k) x = std::nextafter(x, -INFINITY);
    return x;
}

bool sameState(const PredicateState& a, const PredicateState& b)
{
    return std::memcmp(&a, &b, sizeof(PredicateState)) == 0;
}

}  // namespace

TEST(PredicatesInit, ConstantsHoldTheirValuesFromLoadAndExactinitKeepsThem)
{
    // Every bound (k1 + k2 e) e or (k1 + k2 e) e^2 with e = 2^-53 is exact in
    // doubles; the values were worked out in rational arithmetic.
    struct Expected {
        const char* name;
        double PredicateState::*member;
        double value;
    };
    const Expected table[] = {
        {"epsilon", &PredicateState::epsilon, 1.1102230246251565e-16},
        {"splitter", &PredicateState::splitter, 134217729.0},
        {"resulterrbound", &PredicateState::resulterrbound, 0x1.8000000000002p-52},
        {"ccwerrboundA", &PredicateState::ccwerrboundA, 3.3306690738754716e-16},
        {"ccwerrboundB", &PredicateState::ccwerrboundB, 0x1.0000000000003p-52},
        {"ccwerrboundC", &PredicateState::ccwerrboundC, 0x1.2000000000004p-103},
        {"o3derrboundA", &PredicateState::o3derrboundA, 0x1.c000000000007p-51},
        {"o3derrboundB", &PredicateState::o3derrboundB, 0x1.8000000000007p-52},
        {"o3derrboundC", &PredicateState::o3derrboundC, 0x1.a000000000009p-102},
        {"iccerrboundA", &PredicateState::iccerrboundA, 0x1.4000000000006p-50},
        {"iccerrboundB", &PredicateState::iccerrboundB, 0x1.0000000000006p-51},
        {"iccerrboundC", &PredicateState::iccerrboundC, 0x1.6000000000009p-101},
        {"isperrboundA", &PredicateState::isperrboundA, 0x1.0000000000007p-49},
        {"isperrboundB", &PredicateState::isperrboundB, 0x1.4000000000009p-51},
        {"isperrboundC", &PredicateState::isperrboundC, 0x1.1c0000000000bp-100},
    };
    EXPECT_EQ(gStateAtLoad.epsilon, 0x1p-53);
    for (const Expected& e : table) {
        EXPECT_EQ(gStateAtLoad.*e.member, e.value) << e.name << " at load";
        EXPECT_EQ(predicateState().*e.member, e.value) << e.name;
    }

    PredicateState before = predicateState();
    exactinit();
    EXPECT_TRUE(sameState(before, predicateState()));
    exactinit();
    EXPECT_TRUE(sameState(before, predicateState()));
    for (const Expected& e : table) EXPECT_EQ(predicateState().*e.member, e.value) << e.name;
}

TEST(PredicatesOrient2d, ExactValueWhereFloatingPointGivesZero)
{
    exactinit();
    const double a[2] = {0.5 + 0x1p-53, 0.5};
    const double b[2] = {12.0, 12.0};
    const double c[2] = {24.0, 24.0};
    // (b - a) x (c - a) = 23.5 (11.5 - d) - 11.5 (23.5 - d) = -12 d, d = 2^-53.
    EXPECT_EQ(orient2dexact(a, b, c), -1.3322676295501878e-15);
    EXPECT_EQ(orient2dexact(a, b, c), -12.0 * 0x1p-53);
    EXPECT_EQ(orient2dfast(a, b, c), 0.0);

    const double swapped[2] = {0.5, 0.5 + 0x1p-53};
    EXPECT_EQ(orient2dexact(swapped, b, c), 1.3322676295501878e-15);
}

TEST(PredicatesOrient2d, GridOfPointsUlpsOffTheLineGetsTheExactSign)
{
    exactinit();
    const double b[2] = {12.0, 12.0};
    const double c[2] = {24.0, 24.0};
    int fastWrong = 0;
    for (int i = 0; i < 64; ++i) {
        for (int j = 0; j < 64; ++j) {
            const double a[2] = {ulpsFrom(0.5, i), ulpsFrom(0.5, j)};
            const int expected = sign(a[1] - a[0]);
            SCOPED_TRACE(testing::Message() << "i=" << i << " j=" << j);
            EXPECT_EQ(sign(orient2d(a, b, c)), expected);
            EXPECT_EQ(sign(orient2dexact(a, b, c)), expected);
            EXPECT_EQ(sign(orient2dslow(a, b, c)), expected);
            // An infinite bound makes the adaptive evaluation run to its
            // last stage wherever a difference is inexact.
            EXPECT_EQ(sign(orient2dadapt(a, b, c, INFINITY)), expected);
            EXPECT_EQ(sign(orient2d(b, a, c)), -expected);
            EXPECT_EQ(sign(orient2dexact(b, a, c)), -expected);
            EXPECT_EQ(sign(orient2dslow(a, c, b)), -expected);
            if (sign(orient2dfast(a, b, c)) != expected) ++fastWrong;
        }
    }
    EXPECT_GT(fastWrong, 0);
}

TEST(PredicatesOrient3d, GridOfPointsUlpsOffThePlaneGetsTheExactSign)
{
    exactinit();
    // a, b, c lie in the plane z = x. Subtracting the x column from the z
    // column leaves them in z = 0 and d at z = -1.4: the sign is that of
    // orient2d of their x, y, which is sign(y - x) for a. Every coordinate
    // difference to d is inexact.
    const double b[3] = {12.0, 12.0, 12.0};
    const double c[3] = {24.0, 24.0, 24.0};
    const double d[3] = {0.1, 0.7, -1.3};
    int fastWrong = 0;
    for (int i = 0; i < 64; ++i) {
        for (int j = 0; j < 64; ++j) {
            const double x = ulpsFrom(0.5, i);
            const double a[3] = {x, ulpsFrom(0.5, j), x};
            const int expected = sign(a[1] - a[0]);
            SCOPED_TRACE(testing::Message() << "i=" << i << " j=" << j);
            EXPECT_EQ(sign(orient3d(a, b, c, d)), expected);
            EXPECT_EQ(sign(orient3dexact(a, b, c, d)), expected);
            EXPECT_EQ(sign(orient3dslow(a, b, c, d)), expected);
            EXPECT_EQ(sign(orient3dadapt(a, b, c, d, INFINITY)), expected);
            EXPECT_EQ(sign(orient3d(b, a, c, d)), -expected);
            EXPECT_EQ(sign(orient3dexact(a, b, d, c)), -expected);
            EXPECT_EQ(sign(orient3dslow(c, b, a, d)), -expected);
            if (sign(orient3dfast(a, b, c, d)) != expected) ++fastWrong;
        }
    }
    EXPECT_GT(fastWrong, 0);
}

TEST(PredicatesIncircle, OneUlpInsideAndOutsideTheUnitCircle)
{
    exactinit();
    const double a[2] = {1.0, 0.0};
    const double b[2] = {0.0, 1.0};
    const double c[2] = {-1.0, 0.0};
    const double on[2] = {0.0, -1.0};
    const double inside[2] = {0.0, std::nextafter(-1.0, 0.0)};
    const double outside[2] = {0.0, std::nextafter(-1.0, -2.0)};
    EXPECT_GT(incircle(a, b, c, inside), 0.0);
    EXPECT_GT(incircleslow(a, b, c, inside), 0.0);
    EXPECT_LT(incircle(a, b, c, outside), 0.0);
    EXPECT_LT(incircleslow(a, b, c, outside), 0.0);
    EXPECT_EQ(incircle(a, b, c, on), 0.0);
    EXPECT_EQ(incircleslow(a, b, c, on), 0.0);
    // A clockwise base reverses the sign.
    EXPECT_LT(incircle(c, b, a, inside), 0.0);
    EXPECT_LT(incircleslow(b, a, c, inside), 0.0);
}

TEST(PredicatesIncircle, GridOfPointsUlpsOffTheCircleGetsTheExactSign)
{
    exactinit();
    // The circle of radius 20 about (-11.25, -15.25) passes exactly through
    // a, b, c (offsets 4 (-4, 3), 4 (-3, -4), 4 (4, -3), counter-clockwise)
    // and through (0.75, 0.75) (offset 4 (3, 4)); no coordinate is shared, so
    // every difference to d is inexact. Moving d by (i u, j u), u = 2^-53:
    // R^2 - |d - centre|^2 = -8 u (3 i + 4 j) - u^2 (i^2 + j^2).
    const double a[2] = {-27.25, -3.25};
    const double b[2] = {-23.25, -31.25};
    const double c[2] = {4.75, -27.25};
    int fastWrong = 0;
    for (int i = -32; i < 32; ++i) {
        for (int j = -32; j < 32; ++j) {
            const double d[2] = {ulpsFrom(0.75, i), ulpsFrom(0.75, j)};
            const int linear = 3 * i + 4 * j;
            const int expected = linear != 0 ? -sign(linear) : (i == 0 && j == 0 ? 0 : -1);
            SCOPED_TRACE(testing::Message() << "i=" << i << " j=" << j);
            EXPECT_EQ(sign(incircle(a, b, c, d)), expected);
            EXPECT_EQ(sign(incircleslow(a, b, c, d)), expected);
            EXPECT_EQ(sign(incircleadapt(a, b, c, d, INFINITY)), expected);
            EXPECT_EQ(sign(incircle(b, a, c, d)), -expected);
            EXPECT_EQ(sign(incircleslow(a, c, b, d)), -expected);
            if (sign(incirclefast(a, b, c, d)) != expected) ++fastWrong;
        }
    }
    EXPECT_GT(fastWrong, 0);
}

TEST(PredicatesInsphere, OneUlpInsideAndOutsideTheUnitSphere)
{
    exactinit();
    // Positively oriented: d lies below the plane of a, b, c seen from where
    // they run counter-clockwise.
    const double a[3] = {1.0, 0.0, 0.0};
    const double b[3] = {0.0, 1.0, 0.0};
    const double c[3] = {-1.0, 0.0, 0.0};
    const double d[3] = {0.0, 0.0, -1.0};
    ASSERT_GT(orient3d(a, b, c, d), 0.0);
    const double on[3] = {0.0, -1.0, 0.0};
    const double inside[3] = {0.0, std::nextafter(-1.0, 0.0), 0.0};
    const double outside[3] = {0.0, std::nextafter(-1.0, -2.0), 0.0};
    for (auto f : {insphere, insphereexact, insphereslow}) {
        EXPECT_GT(f(a, b, c, d, inside), 0.0);
        EXPECT_LT(f(a, b, c, d, outside), 0.0);
        EXPECT_EQ(f(a, b, c, d, on), 0.0);
        // A negatively oriented base reverses the sign.
        EXPECT_LT(f(b, a, c, d, inside), 0.0);
    }
}

TEST(PredicatesInsphere, GridOfPointsUlpsOffTheSphereGetsTheExactSign)
{
    exactinit();
    // The sphere of radius 12 about (-3.25, -7.25, -7.25) passes exactly
    // through a, b, c, d (offsets 4 (0, -3, 0), 4 (-3, 0, 0), 4 (0, 0, -3),
    // 4 (2, -2, 1)) and through (0.75, 0.75, 0.75) (offset 4 (1, 2, 2)); no
    // coordinate is shared, so every difference to e is inexact. Moving e by
    // (i u, j u, k u), u = 2^-53:
    // R^2 - |e - centre|^2 = -8 u (i + 2 j + 2 k) - u^2 (i^2 + j^2 + k^2).
    const double a[3] = {-3.25, -19.25, -7.25};
    const double b[3] = {-15.25, -7.25, -7.25};
    const double c[3] = {-3.25, -7.25, -19.25};
    const double d[3] = {4.75, -15.25, -3.25};
    // 4^3 times the determinant of the offset differences, 36.
    ASSERT_EQ(orient3d(a, b, c, d), 2304.0);
    int fastWrong = 0;
    for (int i = -8; i < 8; ++i) {
        for (int j = -8; j < 8; ++j) {
            for (int k = -8; k < 8; ++k) {
                const double e[3] = {ulpsFrom(0.75, i), ulpsFrom(0.75, j), ulpsFrom(0.75, k)};
                const int linear = i + 2 * j + 2 * k;
                const int expected =
                    linear != 0 ? -sign(linear) : (i == 0 && j == 0 && k == 0 ? 0 : -1);
                SCOPED_TRACE(testing::Message() << "i=" << i << " j=" << j << " k=" << k);
                EXPECT_EQ(sign(insphere(a, b, c, d, e)), expected);
                EXPECT_EQ(sign(insphereexact(a, b, c, d, e)), expected);
                EXPECT_EQ(sign(insphereslow(a, b, c, d, e)), expected);
                EXPECT_EQ(sign(insphereadapt(a, b, c, d, e, INFINITY)), expected);
                EXPECT_EQ(sign(insphere(b, a, c, d, e)), -expected);
                EXPECT_EQ(sign(insphereexact(a, b, d, c, e)), -expected);
                if (sign(inspherefast(a, b, c, d, e)) != expected) ++fastWrong;
            }
        }
    }
    EXPECT_GT(fastWrong, 0);
}

TEST(PredicatesDegenerate, CollinearAndCoplanarPointsGiveExactlyZero)
{
    exactinit();
    const double p0[2] = {0.0, 0.0}, p1[2] = {1.0, 1.0}, p2[2] = {2.0, 2.0};
    for (auto f : {orient2d, orient2dexact, orient2dslow}) {
        EXPECT_EQ(f(p0, p1, p2), 0.0);
        EXPECT_EQ(f(p0, p1, p1), 0.0);
    }
    // On y = 3x (x with short significands, so 3x is exact) at mixed
    // magnitudes: the differences are inexact and their tails are not
    // proportional, so every tail product of the last stage counts.
    const double xs[3] = {0x1.9e3779b97f4a8p-30, 0x1.c6ef372fe94f8p+12, -0x1.2f6e1bd4a9c4p-4};
    const double q[3][2] = {{xs[0], 3.0 * xs[0]}, {xs[1], 3.0 * xs[1]}, {xs[2], 3.0 * xs[2]}};
    int order[3] = {0, 1, 2};
    do {
        const double* a = q[order[0]];
        const double* b = q[order[1]];
        const double* c = q[order[2]];
        EXPECT_EQ(orient2d(a, b, c), 0.0);
        EXPECT_EQ(orient2dexact(a, b, c), 0.0);
        EXPECT_EQ(orient2dslow(a, b, c), 0.0);
        EXPECT_EQ(orient2dadapt(a, b, c, INFINITY), 0.0);
    } while (std::next_permutation(order, order + 3));

    // Coplanar in the plane x = y, at mixed magnitudes.
    const double r0[3] = {0.1, 0.1, 3.3}, r1[3] = {1e9 / 7.0, 1e9 / 7.0, -0.7};
    const double r2[3] = {-2e-8, -2e-8, 1e5 / 3.0}, r3[3] = {0.3, 0.3, 0.0};
    for (auto f : {orient3d, orient3dexact, orient3dslow}) {
        EXPECT_EQ(f(r0, r1, r2, r3), 0.0);
        EXPECT_EQ(f(r0, r1, r0, r3), 0.0);
    }
    EXPECT_EQ(orient3dadapt(r0, r1, r2, r3, INFINITY), 0.0);
}

namespace {

// Every order of four cocircular points gives exactly 0.
void expectIncircleZeroInEveryOrder(const double (&pts)[4][2])
{
    int order[4] = {0, 1, 2, 3};
    do {
        const double* a = pts[order[0]];
        const double* b = pts[order[1]];
        const double* c = pts[order[2]];
        const double* d = pts[order[3]];
        SCOPED_TRACE(testing::Message()
                     << "order " << order[0] << order[1] << order[2] << order[3]);
        EXPECT_EQ(incircle(a, b, c, d), 0.0);
        EXPECT_EQ(incircleslow(a, b, c, d), 0.0);
        EXPECT_EQ(incircleadapt(a, b, c, d, INFINITY), 0.0);
    } while (std::next_permutation(order, order + 4));
}

// Every five of eight cospherical points, each of them in turn the tested
// one, give exactly 0.
void expectInsphereZeroForEveryFive(const double (&pts)[8][3])
{
    for (int mask = 0; mask < 256; ++mask) {
        if (__builtin_popcount(mask) != 5) continue;
        const double* chosen[5];
        int n = 0;
        for (int k = 0; k < 8; ++k)
            if (mask & (1 << k)) chosen[n++] = pts[k];
        for (int rot = 0; rot < 5; ++rot) {
            const double* p[5];
            for (int k = 0; k < 5; ++k) p[k] = chosen[(k + rot) % 5];
            SCOPED_TRACE(testing::Message() << "mask " << mask << " rot " << rot);
            EXPECT_EQ(insphere(p[0], p[1], p[2], p[3], p[4]), 0.0);
            EXPECT_EQ(insphereexact(p[0], p[1], p[2], p[3], p[4]), 0.0);
            EXPECT_EQ(insphereslow(p[0], p[1], p[2], p[3], p[4]), 0.0);
            EXPECT_EQ(insphereadapt(p[0], p[1], p[2], p[3], p[4], INFINITY), 0.0);
        }
    }
}

}  // namespace

TEST(PredicatesDegenerate, CocircularAndCosphericalPointsInEveryRoleGiveExactlyZero)
{
    exactinit();
    // Mixed magnitudes make the differences of unequal coordinates inexact;
    // each point takes every role in turn, so each tail term of the adaptive
    // and slow evaluations meets a determinant that is exactly zero.
    const double v[][2] = {
        {0.1, 1e8 / 3.0}, {-3e-7, 0.7}, {5.0 / 3.0, -1e6 / 7.0}, {1e-9 / 3.0, 2.5e-3}};
    for (int r = 0; r < 4; ++r) {
        SCOPED_TRACE(testing::Message() << "set " << r);
        const double* s = v[r];
        const double* t = v[(r + 1) % 4];
        const double* w = v[(r + 2) % 4];
        // The corners of an axis-aligned rectangle are cocircular.
        const double rectangle[4][2] = {{s[0], t[0]}, {s[1], t[0]}, {s[1], t[1]}, {s[0], t[1]}};
        expectIncircleZeroInEveryOrder(rectangle);
        // So are (a, b), (b, a), (c, d), (d, c) when a + b != c + d: the
        // circle through them has its centre on the line y = x.
        const double mirrored[4][2] = {{s[0], t[0]}, {t[0], s[0]}, {s[1], t[1]}, {t[1], s[1]}};
        expectIncircleZeroInEveryOrder(mirrored);
        // The corners of a box are cospherical.
        double box[8][3];
        for (int k = 0; k < 8; ++k) {
            box[k][0] = s[k & 1];
            box[k][1] = t[(k >> 1) & 1];
            box[k][2] = w[(k >> 2) & 1];
        }
        expectInsphereZeroForEveryFive(box);
        // So are (a, b, +-g), (b, a, +-g), (c, d, +-h), (d, c, +-h) when
        // a + b != c + d: the sphere through them has its centre on the line
        // x = y, z = 0.
        const double a = s[0], b = t[0], c = s[1], d = t[1], g = w[0], h = w[1];
        const double mirrored3[8][3] = {{a, b, g}, {b, a, g}, {a, b, -g}, {b, a, -g},
                                        {c, d, h}, {d, c, h}, {c, d, -h}, {d, c, -h}};
        expectInsphereZeroForEveryFive(mirrored3);
    }
}

TEST(PredicatesValues, SimpleConfigurationsGiveTheirDeterminants)
{
    exactinit();
    // Twice the area of the unit right triangle.
    const double o[2] = {0.0, 0.0}, ex[2] = {1.0, 0.0}, ey[2] = {0.0, 1.0};
    EXPECT_EQ(orient2d(o, ex, ey), 1.0);
    EXPECT_EQ(orient2d(ex, o, ey), -1.0);
    // (pa - pc).x is zero: the result is -(pa - pc).y (pb - pc).x = -3 * 2.
    const double a[2] = {1.0, 5.0}, b[2] = {3.0, 7.0}, c[2] = {1.0, 2.0};
    EXPECT_EQ(orient2d(a, b, c), -6.0);
    EXPECT_EQ(orient2dexact(a, b, c), -6.0);

    // d below the counter-clockwise triangle: six times the unit volume.
    const double t0[3] = {0.0, 0.0, 0.0}, t1[3] = {1.0, 0.0, 0.0}, t2[3] = {0.0, 1.0, 0.0};
    const double below[3] = {0.0, 0.0, -1.0}, above[3] = {0.0, 0.0, 1.0};
    for (auto f : {orient3d, orient3dfast, orient3dexact, orient3dslow}) {
        EXPECT_EQ(f(t0, t1, t2, below), 1.0);
        EXPECT_EQ(f(t0, t1, t2, above), -1.0);
    }

    // The centre of the circle through (1,0), (0,1), (-1,0): the determinant
    // with rows (1, 0, 1), (0, 1, 1), (-1, 0, 1) is 2.
    const double u0[2] = {1.0, 0.0}, u1[2] = {0.0, 1.0}, u2[2] = {-1.0, 0.0};
    EXPECT_EQ(incircle(u0, u1, u2, o), 2.0);
    EXPECT_EQ(incirclefast(u0, u1, u2, o), 2.0);
    EXPECT_GT(incircleslow(u0, u1, u2, o), 0.0);
}
