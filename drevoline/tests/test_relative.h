// Relative comparison shared by the section-property tests.
#pragma once

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

// Expects actual within rel of expected, relative to |expected| but never
// tighter than rel itself.
inline void expectRel(double actual, double expected, double rel) {
  EXPECT_NEAR(actual, expected, rel * std::max(1.0, std::fabs(expected))) << "expected " << expected;
}
