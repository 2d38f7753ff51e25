// The boolean union's walk on plain curves: one sum, its passes and circuits.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "test_union_moments.h"
#include "test_union_support.h"

using namespace union_test;

namespace {

std::vector<const CCompositeCurve*> listed(CBooleanSum::CurveList& list)
{
    std::vector<const CCompositeCurve*> out;
    POSITION pos = list.GetHeadPosition();
    while (pos)
        out.push_back(list.GetNext(pos));
    return out;
}

Moments netMoments(CBooleanSum::CurveList& results)
{
    return union_test::netMoments(listed(results));
}

} // namespace

TEST(UnionWalk, TwoOverlappingRectanglesGiveOneOutline)
{
    CBooleanSum sum;
    sum.setMode(true);
    sum.appendCurve(signedCurve(rectangle(0, 0, 2, 2), 1));
    sum.appendCurve(signedCurve(rectangle(1, 1, 3, 3), 1));
    sum.compute(-1);
    ASSERT_EQ(sum.results().GetCount(), 1);
    const Moments m = netMoments(sum.results());
    EXPECT_NEAR(m.area, 7.0, 1e-9);
}

TEST(UnionWalk, CrossOfTwoRectangles)
{
    CBooleanSum sum;
    sum.setMode(true);
    sum.appendCurve(signedCurve(rectangle(0, 0, 10, 2), 1));
    sum.appendCurve(signedCurve(rectangle(4, -3, 6, 5), 1));
    sum.compute(-1);
    ASSERT_EQ(sum.results().GetCount(), 1);
    const Moments m = netMoments(sum.results());
    EXPECT_NEAR(m.area, 32.0, 1e-9);
    EXPECT_NEAR(m.qx / m.area, 5.0, 1e-9);
    EXPECT_NEAR(m.qy / m.area, 1.0, 1e-9);
}
