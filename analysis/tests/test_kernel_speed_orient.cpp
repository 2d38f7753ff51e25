// The adaptive orientation test against the exact expansion it replaces
// where only the sign is read: the same sign on random and on nearly
// collinear input across the range of magnitudes a section may have.
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "analysis/predicates/Predicates.h"

namespace {

int signOf(double v)
{
    return (v > 0.0) - (v < 0.0);
}

TEST(KernelSpeedOrient, AdaptiveSignIsTheExactSign)
{
    exactinit();
    std::mt19937 rng(52);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    int zeros = 0, checked = 0;
    for (int exponent = -60; exponent <= 60; exponent += 4) {
        const double s = std::ldexp(1.0, exponent);
        const double shift = s * 1e3;
        for (int i = 0; i < 4000; ++i) {
            double a[2] = {unit(rng) * s + shift, unit(rng) * s};
            double b[2] = {unit(rng) * s + shift, unit(rng) * s};
            double c[2];
            switch (i % 4) {
            case 0:  // anywhere
                c[0] = unit(rng) * s + shift;
                c[1] = unit(rng) * s;
                break;
            case 1:  // on the line ab to rounding
            case 2: {
                const double t = unit(rng) * 3.0;
                c[0] = a[0] + t * (b[0] - a[0]);
                c[1] = a[1] + t * (b[1] - a[1]);
                if (i % 4 == 2)
                    c[1] = std::nextafter(c[1], 2.0 * c[1] + 1.0);
                break;
            }
            default:  // a repeated point or an axis-parallel line
                c[0] = a[0];
                c[1] = (i % 8 == 3) ? a[1] : b[1];
            }
            const int exact = signOf(orient2dexact(a, b, c));
            ASSERT_EQ(signOf(orient2d(a, b, c)), exact)
                << "(" << a[0] << ", " << a[1] << ") (" << b[0] << ", " << b[1] << ") (" << c[0] << ", " << c[1] << ")";
            zeros += exact == 0;
            ++checked;
        }
    }
    // The degenerate cases occur.
    EXPECT_GT(zeros, checked / 20);
}

}  // namespace
