// Checks that this library's code is compiled with separately rounded IEEE
// double operations: no extended precision and no fused multiply-add.
#include <cfloat>
#include <gtest/gtest.h>

static_assert(FLT_EVAL_METHOD == 0, "double operations must not use extended precision");

namespace {
double productResidual(double a, double b)
{
    // With contraction a*b - p becomes fma(a, b, -p), which is the rounding
    // error of the product instead of zero.
    double p = a * b;
    return a * b - p;
}
}

TEST(BuildFlags, ProductIsRoundedBeforeSubtraction)
{
    volatile double a = 1.0 + 0x1p-30;
    volatile double b = 1.0 - 0x1p-30;
    EXPECT_EQ(productResidual(a, b), 0.0);
}
