// Symmetric band systems and the bandwidth-reducing ordering.
#include <gtest/gtest.h>

#include <cstdlib>

#include "analysis/geometry/BandSystem.h"
#include "platform/core/Exceptions.h"

TEST(GeoBand, SolvesASymmetricPositiveDefiniteBandSystem)
{
    // The second-difference matrix tridiag(-1, 2, -1) of order 4 with
    // right-hand side (1, 0, 0, 1) has the solution (1, 1, 1, 1).
    SymmetricBandSystem s(4, 1);
    for (int i = 0; i < 4; ++i) {
        s.add(i, i, 2.0);
        if (i + 1 < 4)
            s.add(i + 1, i, -1.0);
    }
    EXPECT_EQ(s.at(0, 1), -1.0);
    EXPECT_EQ(s.at(1, 0), -1.0);
    EXPECT_EQ(s.at(0, 3), 0.0);
    s.rhs(0) = 1.0;
    s.rhs(3) = 1.0;
    ASSERT_EQ(s.solve(), 0);
    for (double x : s.values())
        EXPECT_NEAR(x, 1.0, 1e-15);
}

TEST(GeoBand, RefusesElementsOutsideTheBandAndIndefiniteMatrices)
{
    SymmetricBandSystem s(3, 1);
    EXPECT_THROW(s.add(0, 2, 1.0), CInvalidArgException);
    EXPECT_THROW(s.add(3, 3, 1.0), CInvalidArgException);
    EXPECT_THROW(s.rhs(-1), CInvalidArgException);
    EXPECT_THROW(SymmetricBandSystem(2, 2), CInvalidArgException);
    s.add(0, 0, 1.0);
    s.add(1, 1, -1.0);
    s.add(2, 2, 1.0);
    EXPECT_EQ(s.solve(), 2);  // the second leading minor is negative
    SymmetricBandSystem zero(2, 0);
    EXPECT_EQ(zero.rowMagnitudes(), (std::vector<double>{0.0, 0.0}));
}

TEST(GeoBand, ReverseCuthillMcKeeNarrowsAScrambledPath)
{
    // A path 0-5-1-4-2-3 numbered so that neighbours lie far apart.
    const int path[6] = {0, 5, 1, 4, 2, 3};
    std::vector<std::vector<int>> neighbours(6);
    for (int k = 0; k + 1 < 6; ++k) {
        neighbours[path[k]].push_back(path[k + 1]);
        neighbours[path[k + 1]].push_back(path[k]);
    }
    const std::vector<int> position = reverseCuthillMcKee(neighbours);
    std::vector<int> seen(6, 0);
    for (int p : position)
        ++seen.at(p);
    EXPECT_EQ(seen, std::vector<int>(6, 1));  // a permutation
    for (int v = 0; v < 6; ++v)
        for (int w : neighbours[v])
            EXPECT_EQ(std::abs(position[v] - position[w]), 1);
    // Isolated vertices are placed too.
    EXPECT_EQ(reverseCuthillMcKee(std::vector<std::vector<int>>(3)).size(), 3u);
}
