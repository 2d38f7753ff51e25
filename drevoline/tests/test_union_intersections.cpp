// The boolean union's intersections: merging near crossings, snapping them
// to arc joints, touches, and the probes along a line.
#include <gtest/gtest.h>

#include <memory>

#include "test_union_support.h"
#include "analysis/tests/TestSupport.h"

using namespace union_test;

namespace {

// A sum whose working list holds the given curves (owned by the test).
struct WorkingSum {
    CBooleanSum sum;
    std::vector<std::unique_ptr<CCompositeCurve>> curves;

    CCompositeCurve* add(std::unique_ptr<CCompositeCurve> c, int sign = 1)
    {
        c->sign(sign);
        curves.push_back(std::move(c));
        sum.working().AddTail(curves.back().get());
        return curves.back().get();
    }
};

} // namespace

TEST(UnionIntersections, CrossingsWithin1e5OfEachOtherBecomeOneIntersectionWithEveryRecord)
{
    WorkingSum w;
    CCompositeCurve* c1 = w.add(rectangle(0, 0, 2, 2));
    CCompositeCurve* c2 = w.add(rectangle(1, 1, 3, 3));
    // Its first edge crosses c1 at (2, 1.000005) and c2 at (1.999995, 1):
    // both within 1e-5 of the crossing (2, 1) of c1 and c2.
    CCompositeCurve* c3 = w.add(polyline({P(1.5, 0.5), P(2.5, 1.50001), P(1.5, 1.5)}));
    w.sum.findIntersections();

    const std::vector<Pt> pts = intersectionPoints(w.sum);
    ASSERT_EQ(pts.size(), 4u);
    expectPoint(pts[0], P(2, 1), 1e-12);
    expectPoint(pts[1], P(1, 2), 1e-12);
    expectPoint(pts[2], P(2, 1.500005), 1e-9);
    expectPoint(pts[3], P(1.5, 1), 1e-12);
    const CIntersection* x = w.sum.findIntersectionPoint(P(2, 1.000009));
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(recordedCurves(x), (std::vector<const CCompositeCurve*>{c1, c2, c3}));
    EXPECT_EQ(w.sum.findIntersectionPoint(P(2, 1.00002)), nullptr);
    EXPECT_EQ(w.sum.Xfind(&pts[3]), w.sum.intersections()->GetTail());
}

TEST(UnionIntersections, CrossingNearAnArcJointMovesOntoItOnlyWithin1e3)
{
    struct Case {
        double offset;
        Pt expected;
    };
    for (const Case& k : {Case{0.0005, P(2, 0)}, Case{0.002, P(2, 0.002)}}) {
        SCOPED_TRACE(k.offset);
        WorkingSum w;
        CCompositeCurve* c1 = w.add(rectangle(0, 0, 2, 2));
        w.add(rectangle(1, k.offset, 3, 1));
        w.sum.findIntersections();
        const std::vector<Pt> pts = intersectionPoints(w.sum);
        ASSERT_EQ(pts.size(), 2u);
        expectPoint(pts[0], k.expected, 1e-12);
        expectPoint(pts[1], P(2, 1), 1e-12);
        // The records keep the parameters of the crossing itself.
        EXPECT_NEAR(w.sum.intersections()->GetHead()->usesCC(c1)->parameter, 2 + k.offset, 1e-9);
    }
}

TEST(UnionIntersections, DuplicatesMergeTheirRecordsIntoTheFirst)
{
    WorkingSum w;
    CCompositeCurve* a = w.add(unitSquare());
    CCompositeCurve* b = w.add(rectangle(5, 5, 6, 6));
    w.sum.working().RemoveAll();
    addCrossing(w.sum, a, 1.0, P(1, 0));
    CIntersection* twin = addCrossing(w.sum, b, 0.0, P(1, 0));
    twin->add(a, 1.0);
    addCrossing(w.sum, b, 2.0, P(6, 6));
    w.sum.eliminateDupIntersections();
    ASSERT_EQ(w.sum.intersections()->GetCount(), 2);
    EXPECT_EQ(recordedCurves(w.sum.intersections()->GetHead()), (std::vector<const CCompositeCurve*>{a, b}));
}

TEST(UnionIntersections, TouchingCornersAreRemovedAndCrossingsKept)
{
    struct Case {
        double x0, y0, x1, y1;
        int before, after;
    };
    // The second rectangle of each case against [0, 2]²: corner to corner, and crossing.
    for (const Case& k : {Case{2, 2, 3, 3, 1, 0}, Case{1, 1, 3, 3, 2, 2}}) {
        SCOPED_TRACE(k.x0);
        WorkingSum w;
        w.add(rectangle(0, 0, 2, 2));
        w.add(rectangle(k.x0, k.y0, k.x1, k.y1));
        w.sum.findIntersections();
        EXPECT_EQ(w.sum.intersections()->GetCount(), k.before);
        w.sum.removeTouching(w.sum.intersections());
        EXPECT_EQ(w.sum.intersections()->GetCount(), k.after);
    }
}

TEST(UnionIntersections, ProbesFindTheNearestCrossingBeyondTheirStart)
{
    CBooleanSum sum;
    sum.appendCurve(signedCurve(rectangle(0, 0, 2, 2), 1));
    sum.appendCurve(signedCurve(rectangle(5, 0, 6, 2), -1));
    sum.extents();
    sum.load(&sum.inputs());
    Pt m = P(1, 1);
    Pt n = P(1, 0);
    Pt closest;
    double d = 0.0;
    EXPECT_EQ(sum.closestIntersection(&m, &n, &closest, &d), 2);
    expectPoint(closest, P(2, 1), 1e-9);
    EXPECT_NEAR(d, 1.0, 1e-9);

    EXPECT_EQ(sum.findClosestSignedX(m, n, -1, nullptr, &closest, &d), 2);
    expectPoint(closest, P(5, 1), 1e-9);
    EXPECT_NEAR(d, 4.0, 1e-9);
    EXPECT_EQ(sum.findClosestSignedX(m, n, 1, nullptr, &closest, &d), 1);
    EXPECT_NEAR(d, 1.0, 1e-9);
    EXPECT_EQ(sum.findClosestSignedX(m, n, 1, sum.working().GetHead(), &closest, &d), 0);
    // A crossing at the start itself does not count.
    Pt onEdge = P(2, 1);
    EXPECT_EQ(sum.findClosestSignedX(onEdge, n, 1, nullptr, &closest, &d), 0);

    Pt none = P(0, 0);
    EXPECT_EQ(test_support::thrownText([&] { sum.closestIntersection(&m, &none, &closest, &d); }),
              "closesPt_X:FATAL:Bad offset POINTd.\n");
    EXPECT_EQ(test_support::thrownText([&] { sum.findClosestSignedX(m, P(1e-12, 0), 1, nullptr, &closest, &d); }),
              "closestIntersection:FATAL:Bad offset POINTd.\n");
}

TEST(UnionIntersections, MatchupMovesTheNearestControlPointOnlyFromNearby)
{
    struct Case {
        Pt crossing;
        Pt previous;
        Pt corner;  // where the control point at (2, 0) ends up
    };
    for (const Case& k : {Case{P(2.0005, 0), P(9, 9), P(2.0005, 0)},  // moved
                          Case{P(2.002, 0), P(9, 9), P(2, 0)},         // too far
                          Case{P(2.0005, 0), P(2.0005, 0.000005), P(2, 0)}}) {  // at the previous point
        auto c = rectangle(0, 0, 2, 2);
        CBooleanSum sum;
        CIntersection x;
        x.point = k.crossing;
        sum.matchup(c.get(), &k.previous, &x);
        expectPoint(c->arcs().GetHead()->endPoint(), k.corner, 1e-15);
    }
}
