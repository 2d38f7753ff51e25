// Checks that this library's code is compiled with separately rounded IEEE
// double operations: no extended precision and no fused multiply-add.
#include <cfloat>
#include <gtest/gtest.h>

// Death tests re-run the executable rather than fork it: a fork would copy
// the OpenGL worker threads that earlier tests of the same run started.
namespace {
struct ThreadsafeDeathTests : ::testing::Environment {
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};
const auto* const kThreadsafeDeathTests = ::testing::AddGlobalTestEnvironment(new ThreadsafeDeathTests);
}

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
