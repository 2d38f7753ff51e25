#include "analysis/geometry/CMaxMinBox.h"
#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>

using P = Point<double>;

TEST(GeoBox, BuiltFromPoints)
{
    P pts[] = {{1, 5, -1}, {-2, 3, 4}, {0, 7, 2}};
    CMaxMinBox box(pts, 3);
    EXPECT_EQ(box.min.x, -2.0);
    EXPECT_EQ(box.min.y, 3.0);
    EXPECT_EQ(box.min.z, -1.0);
    EXPECT_EQ(box.max.x, 1.0);
    EXPECT_EQ(box.max.y, 7.0);
    EXPECT_EQ(box.max.z, 4.0);

    CList<P*> list;
    for (P& p : pts)
        list.AddTail(&p);
    CMaxMinBox fromList(&list);
    EXPECT_EQ(fromList.min.x, -2.0);
    EXPECT_EQ(fromList.max.y, 7.0);

    CList<P*> none;
    EXPECT_THROW(CMaxMinBox bad(&none), CInvalidArgException);
    EXPECT_THROW(CMaxMinBox bad(pts, 0), CInvalidArgException);

    CMaxMinBox zero;
    EXPECT_EQ(zero.diagDist(), 0.0);
}

TEST(GeoBox, UnionAndDiagonal)
{
    P unitCorners[] = {{0, 0, 0}, {1, 1, 1}};
    CMaxMinBox cube(unitCorners, 2);
    EXPECT_DOUBLE_EQ(cube.diagDist(), std::sqrt(3.0));

    P farCorners[] = {{3, 4, 0}, {5, 6, 2}};
    CMaxMinBox far(farCorners, 2);
    CMaxMinBox both(&cube, &far);
    EXPECT_EQ(both.min.x, 0.0);
    EXPECT_EQ(both.max.x, 5.0);
    EXPECT_EQ(both.max.y, 6.0);
    EXPECT_EQ(both.max.z, 2.0);

    cube.add(far);
    EXPECT_EQ(cube.max.y, 6.0);
    EXPECT_EQ(cube.min.z, 0.0);
}

TEST(GeoBox, DistanceInsideAndOverlap)
{
    P corners[] = {{0, 0, 0}, {2, 1, 1}};
    CMaxMinBox box(corners, 2);
    P in(1, 0.5, 0.5), beside(5, 5, 0.5), below(1, 0.5, -3);
    EXPECT_EQ(box.dist2(&in), 0.0);
    EXPECT_EQ(box.dist2(&beside), 9.0 + 16.0);
    EXPECT_EQ(box.dist2(&below), 9.0);

    EXPECT_TRUE(box.inside(&in, false));
    EXPECT_FALSE(box.inside(&beside, false));
    P edge(2 + 1e-13, 1, 0.5);
    EXPECT_TRUE(box.inside(&edge, true));

    P touching[] = {{2, 1, 0}, {3, 3, 0}};
    P apart[] = {{2.5, 0, 0}, {3, 1, 0}};
    CMaxMinBox t(touching, 2), a(apart, 2);
    EXPECT_TRUE(box.overlap(&t));
    EXPECT_TRUE(t.overlap(&box));
    EXPECT_FALSE(box.overlap(&a));
}
