#include "analysis/geometry/Tolerance.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <stdexcept>
#include <string>

TEST(GeoTolerance, Floatcmp)
{
    struct Case {
        double a, b, tol;
        bool expected;
    };
    const Case cases[] = {
        {1.0, 1.0005, 1e-3, true},
        {0.0, 5e-10, 1e-3, true},
        {0.0, 2e-9, 1e-3, false},
        {2e-9, 0.0, 1e-3, false},
        {5e-10, -5e-10, 1e-3, true},   // both count as zero
        {5e-10, 1.0, 1e-3, false},     // a counts as zero, b does not
        {1.0, 1.002, 1e-3, false},
        {-1.0, 1.0, 1e-3, false},
        {-2.0, -2.001, 1e-3, true},
        {DBL_MAX, 0.5, 1e-3, false},   // a/b would overflow
        {1e300, 1e300, 1e-3, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(floatcmp(c.a, c.b, c.tol), c.expected) << c.a << " vs " << c.b;
}

TEST(GeoTolerance, ErrorMeasures)
{
    EXPECT_DOUBLE_EQ(momentError(5, 6), 0.001);
    EXPECT_DOUBLE_EQ(momentError(20, 22), 0.1);
    EXPECT_DOUBLE_EQ(relativeError(3, 5e-5), 3.0);
    EXPECT_DOUBLE_EQ(relativeError(1, 4), 0.25);  // |(1 + 4)/4 - 1|
    EXPECT_DOUBLE_EQ(relativeError2(5e-8, 1), 1.0 - 5e-8);
    EXPECT_DOUBLE_EQ(relativeError2(4, 3), 0.25);
    // |n(a)| = 60, |n(b)| = 45
    EXPECT_DOUBLE_EQ(angleError(300, 135), 0.25);
    EXPECT_DOUBLE_EQ(angleError(0.5, 0.25), 0.25);
}

TEST(GeoTolerance, NormalizeAngle)
{
    const double cases[][2] = {
        {300, -60}, {-300, 60}, {135, -45}, {720, 0}, {90, 90}, {-90, -90},
        {200, 20}, {-200, -20}, {45, 45},
    };
    for (const auto& c : cases)
        EXPECT_EQ(normalizeAngle(c[0]), c[1]) << c[0];

    for (double bad : {1000.0, -1000.0}) {
        try {
            normalizeAngle(bad);
            ADD_FAILURE() << bad << " did not throw";
        } catch (const std::logic_error& e) {
            EXPECT_EQ(std::string(e.what()), "Normalization of angle failed.");
        }
    }
    EXPECT_THROW(angleError(1000, 0), std::logic_error);
}

TEST(GeoTolerance, PowersOfTen)
{
    struct Case {
        double v;
        int exponent;
        double mantissa;
    };
    const Case cases[] = {
        {0.05, 2, 5.0}, {-0.05, 2, -5.0}, {5e-9, 1, 0.0}, {1.0, 0, 1.0}, {10.0, 0, 10.0},
        {250.0, -2, 2.5}, {100.0, -1, 10.0}, {0.5, 1, 5.0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decimalExponent(c.v), c.exponent) << c.v;
        EXPECT_EQ(decimalMantissa(c.v), c.mantissa) << c.v;
    }
    EXPECT_EQ(intPower(2.0, 10), 1024.0);
    EXPECT_EQ(intPower(2.0, -3), 0.125);
    EXPECT_EQ(intPower(7.0, 0), 1.0);
    EXPECT_EQ(intPower(-3.0, 3), -27.0);
}

TEST(GeoTolerance, ParameterSnapShrinksWithShortRanges)
{
    EXPECT_EQ(parameterSnap(0.0, 10.0), 1e-7);
    EXPECT_EQ(parameterSnap(5.0, 6.0), 1e-7);
    // A millimetre arc given in metres: 1e-7 of its range.
    EXPECT_DOUBLE_EQ(parameterSnap(2e-3, 3e-3), 1e-10);
    EXPECT_DOUBLE_EQ(parameterSnap(3e-3, 2e-3), 1e-10);
    // An empty range keeps the old snap so that its one parameter is an end.
    EXPECT_EQ(parameterSnap(4.0, 4.0), 1e-7);
}
