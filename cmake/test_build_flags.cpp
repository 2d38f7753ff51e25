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
// a*b - p with the product p formed by the caller: kept out of line, so
// that the compiler cannot see p equal a*b and fold the difference to 0.
// With contraction a*b - p becomes fma(a, b, -p), the rounding error of
// the product (non-zero for the operands below); without it, exactly 0.
[[gnu::noinline]] double productResidual(double a, double b, double p)
{
    return a * b - p;
}
}

TEST(BuildFlags, ProductIsRoundedBeforeSubtraction)
{
    volatile double a = 1.0 + 0x1p-30;
    volatile double b = 1.0 - 0x1p-30;
    // a*b = 1 - 2^-60 exactly, which rounds to 1: a fused operation would
    // give -2^-60.
    const double p = a * b;
    EXPECT_EQ(productResidual(a, b, p), 0.0);
}
