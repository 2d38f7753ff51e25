// In-circle and in-sphere signs for coordinates near the ends of the double
// range: the same points scaled by an exact power of two into the ordinary
// range are the reference (the determinants are homogeneous, so scaling
// keeps their sign).
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "analysis/predicates/Predicates.h"

namespace {

int signOfValue(double v)
{
    return (v > 0) - (v < 0);
}

// Random points in [-1, 1]^dims, some of them cocircular or cospherical
// with the rest up to the last bits.
struct Points {
    double p[5][3];
};

Points randomPoints(std::mt19937& rng, int count, bool nearlyDegenerate)
{
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    Points pts{};
    for (int i = 0; i < count; ++i) {
        double r2 = 0.0;
        for (int k = 0; k < 3; ++k) {
            pts.p[i][k] = unit(rng);
            r2 += pts.p[i][k] * pts.p[i][k];
        }
        if (nearlyDegenerate) {
            // On the unit circle or sphere, to rounding.
            const double r = std::sqrt(r2);
            for (int k = 0; k < 3; ++k)
                pts.p[i][k] /= r;
        }
    }
    return pts;
}

Points scaled(const Points& in, int k)
{
    Points out{};
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 3; ++j)
            out.p[i][j] = std::ldexp(in.p[i][j], k);
    return out;
}

TEST(SpeedPredicates, InCircleSignHoldsAtTheEndsOfTheRange)
{
    std::mt19937 rng(29);
    // 2^299 and 2^-299 are about 1e90 and 1e-90; 2^1000 and 2^-1000 beyond.
    for (int k : {299, -299, 310, -310, 1000, -1000}) {
        for (int i = 0; i < 2000; ++i) {
            const Points base = randomPoints(rng, 4, i % 2 == 1);
            const Points big = scaled(base, k);
            const double expected = incircle(base.p[0], base.p[1], base.p[2], base.p[3]);
            const double got = incircle(big.p[0], big.p[1], big.p[2], big.p[3]);
            ASSERT_FALSE(std::isnan(got)) << k;
            ASSERT_EQ(signOfValue(got), signOfValue(expected)) << "k = " << k << ", case " << i;
        }
    }
    // The closed form: (0, 0) lies inside the circle through (1, 0),
    // (0, 1), (-1, 0); (0, -1) on it; (0, 2) outside.
    for (int k : {0, 299, -299}) {
        const double s = std::ldexp(1.0, k);
        const double a[] = {s, 0}, b[] = {0, s}, c[] = {-s, 0};
        const double in[] = {0, 0}, on[] = {0, -s}, out[] = {0, 2 * s};
        EXPECT_GT(incircle(a, b, c, in), 0.0) << k;
        EXPECT_EQ(incircle(a, b, c, on), 0.0) << k;
        EXPECT_LT(incircle(a, b, c, out), 0.0) << k;
    }
}

TEST(SpeedPredicates, InSphereSignHoldsAtTheEndsOfTheRange)
{
    std::mt19937 rng(31);
    // 2^249 and 2^-249 are about 1e75 and 1e-75.
    for (int k : {249, -249, 260, -260, 900, -900}) {
        for (int i = 0; i < 1000; ++i) {
            const Points base = randomPoints(rng, 5, i % 2 == 1);
            const Points big = scaled(base, k);
            const double expected = insphere(base.p[0], base.p[1], base.p[2], base.p[3], base.p[4]);
            const double got = insphere(big.p[0], big.p[1], big.p[2], big.p[3], big.p[4]);
            ASSERT_FALSE(std::isnan(got)) << k;
            ASSERT_EQ(signOfValue(got), signOfValue(expected)) << "k = " << k << ", case " << i;
        }
    }
    // The unit sphere through four of its points (positively oriented):
    // its centre inside, a fifth point of it on it, (0, 0, 2) outside.
    for (int k : {0, 249, -249}) {
        const double s = std::ldexp(1.0, k);
        const double a[] = {s, 0, 0}, b[] = {0, s, 0}, c[] = {0, 0, s}, d[] = {-s, 0, 0};
        const double* base[] = {a, b, c, d};
        if (orient3d(a, b, c, d) < 0)
            std::swap(base[0], base[1]);
        const double in[] = {0, 0, 0}, on[] = {0, -s, 0}, out[] = {0, 0, 2 * s};
        EXPECT_GT(insphere(base[0], base[1], base[2], base[3], in), 0.0) << k;
        EXPECT_EQ(insphere(base[0], base[1], base[2], base[3], on), 0.0) << k;
        EXPECT_LT(insphere(base[0], base[1], base[2], base[3], out), 0.0) << k;
    }
}

TEST(SpeedPredicates, OrdinaryInputKeepsItsValue)
{
    // Coordinates within the safe range are not touched: the value is the
    // filter's own determinant.
    const double a[] = {1, 0}, b[] = {0, 1}, c[] = {-1, 0}, d[] = {0.25, 0.5};
    EXPECT_EQ(incircle(a, b, c, d), incirclefast(a, b, c, d));
    const double e[] = {1e30, 0}, f[] = {0, 1e30}, g[] = {-1e30, 0}, h[] = {0, 0};
    EXPECT_EQ(incircle(e, f, g, h), incirclefast(e, f, g, h));
}

}  // namespace
