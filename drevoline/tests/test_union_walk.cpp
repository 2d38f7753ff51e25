// The boolean union's walk on plain curves: one sum, its passes and circuits.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>
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

TEST(UnionWalk, PathChecksRefuseBadArgumentsWithTheirDiagnostics)
{
    CBooleanSum sum;
    auto c = unitSquare();
    CIntersection* x = addCrossing(sum, c.get(), 1.0);
    CCurveIntersection* r = x->curves().GetHead();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(sum.pospathck(nullptr, r, 1));
    EXPECT_FALSE(sum.pospathck(x, r, 2));
    EXPECT_FALSE(sum.negpathck(x, nullptr, 1));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "pospathck:FATAL: bad arguments\npospathck:FATAL: bad arguments\n"
              "QHT:negpathck:FATAL: bad arguments\n");
    // With no other intersection along the curve find_midpt finds no
    // midpoint: the checks answer no, and the router is lost.
    testing::internal::CaptureStderr();
    EXPECT_FALSE(sum.pospathck(x, r, 1));
    EXPECT_EQ(sum.routeck(x, r), bsRefused);
    int direction = 1;
    CCurveIntersection* out = nullptr;
    EXPECT_EQ(sum.router(x, c.get(), &direction, &out), bsRouterLost);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "QHT:router:FATAL: Router is lost\n");
}

TEST(UnionWalk, AWalkThatCannotGoOnIsLost)
{
    CBooleanSum sum;
    auto c = unitSquare();
    auto other = rectangle(5, 5, 6, 6);
    CIntersection* x = addCrossing(sum, c.get(), 1.0);
    CIntersection* start = addCrossing(sum, other.get(), 0.0);
    try {
        sum.findCircuit(start, x->curves().GetHead(), 1);
        ADD_FAILURE() << "no exception";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "QHT:CIRCUIT : Circuit finder is lost.giving up on bool sum.");
    }
}

TEST(UnionWalk, HolesOfTheResultAreMarkedInMode)
{
    // A ring of four bars around a square hole: the walk finds the outer
    // outline and the inner one, which runs clockwise and becomes a hole.
    CBooleanSum sum;
    sum.setMode(true);
    sum.appendCurve(signedCurve(rectangle(0, 0, 4, 1), 1));
    sum.appendCurve(signedCurve(rectangle(3, 0, 4, 4), 1));
    sum.appendCurve(signedCurve(rectangle(0, 3, 4, 4), 1));
    sum.appendCurve(signedCurve(rectangle(0, 0, 1, 4), 1));
    sum.compute(-1);
    ASSERT_EQ(sum.results().GetCount(), 2);
    int holes = 0;
    POSITION pos = sum.results().GetHeadPosition();
    while (pos) {
        const CCompositeCurve* c = sum.results().GetNext(pos);
        if (c->isNegative()) {
            ++holes;
            EXPECT_TRUE(c->mark());
        }
    }
    EXPECT_EQ(holes, 1);
    EXPECT_NEAR(netMoments(sum.results()).area, 12.0, 1e-9);
}

TEST(UnionWalk, APassLeftWithOneCurveCarriesItOver)
{
    // The tiny square leaves the pass; the other curve must not be lost.
    CBooleanSum sum;
    auto big = rectangle(0, 0, 2, 2);
    auto tiny = rectangle(1, 1, 1.00001, 1.00001);
    sum.working().AddTail(big.get());
    sum.working().AddTail(tiny.get());
    sum.computeUnion();
    ASSERT_EQ(sum.results().GetCount(), 1);
    EXPECT_EQ(sum.results().GetHead(), big.get());
    sum.results().RemoveAll();
    sum.working().RemoveAll();
}
