// The boolean union's control-point snapping: which points are listed,
// which move onto the other curve, and where straight arcs are split.
#include <gtest/gtest.h>

#include <memory>

#include "test_union_support.h"

using namespace union_test;

namespace {

// The arc at index i of c.
Bspline* arcAt(const CCompositeCurve* c, int i)
{
    return c->arcs().GetAt(c->arcs().FindIndex(i));
}

// A quadratic arc through the three control points (not rational).
Bspline* quadratic(Pt a, Pt b, Pt c)
{
    Pt pts[3] = {a, b, c};
    double w[3] = {1, 1, 1};
    double k[6] = {0, 0, 0, 1, 1, 1};
    return new Bspline(2, 3, pts, w, 6, k);
}

} // namespace

TEST(UnionSnap, ControlPointNearAStraightArcMovesOntoItAndSplitsItAwayFromItsEnds)
{
    struct Case {
        Pt vertex;     // a corner of the triangle under the edge y = 0 of [0, 2]²
        Pt snapped;    // where that corner ends up
        int arcs;      // arcs of the rectangle afterwards
    };
    // The last corner's foot lies within 1e-4 of the edge's end (2, 0), while
    // the corner stays more than 1e-4 from (2, 0) itself, which would
    // otherwise snap onto the triangle first.
    for (const Case& k : {Case{P(1, -0.00005), P(1, 0), 5}, Case{P(1, -0.0002), P(1, -0.0002), 4},
                          Case{P(1, 0), P(1, 0), 4}, Case{P(1.99992, -0.00007), P(1.99992, 0), 4}}) {
        SCOPED_TRACE(testing::Message() << k.vertex.x << ", " << k.vertex.y);
        auto square = rectangle(0, 0, 2, 2);
        auto triangle = polyline({k.vertex, P(1.5, -1), P(0.5, -1)});
        CBooleanSum sum;
        sum.snapControlPoints(square.get(), triangle.get());
        // The corner is stored twice, as the end of two arcs: both move.
        expectPoint(arcAt(triangle.get(), 0)->startPoint(), k.snapped, 1e-15);
        expectPoint(arcAt(triangle.get(), 2)->endPoint(), k.snapped, 1e-15);
        ASSERT_EQ(square->nArcs(), k.arcs);
        if (k.arcs == 5) {
            expectPoint(arcAt(square.get(), 0)->endPoint(), P(1, 0), 0);
            expectPoint(arcAt(square.get(), 1)->startPoint(), P(1, 0), 0);
            expectPoint(arcAt(square.get(), 1)->endPoint(), P(2, 0), 0);
            EXPECT_DOUBLE_EQ(square->endParameter(), 8.0);
        }
    }
}

TEST(UnionSnap, APolylineArcIsSplitOnTheLegItIsNearest)
{
    auto square = polylineRectangle(0, 0, 2, 2);
    auto triangle = polyline({P(2.00005, 1), P(3, 0.5), P(3, 1.5)});
    CBooleanSum sum;
    sum.snapControlPoints(triangle.get(), square.get());
    expectPoint(arcAt(triangle.get(), 0)->startPoint(), P(2, 1), 1e-15);
    ASSERT_EQ(square->nArcs(), 2);
    const Bspline* first = arcAt(square.get(), 0);
    const Bspline* second = arcAt(square.get(), 1);
    ASSERT_EQ(first->nPts(), 3);
    expectPoint(first->cpts(1), P(2, 0), 0);
    expectPoint(first->cpts(2), P(2, 1), 0);
    ASSERT_EQ(second->nPts(), 4);
    expectPoint(second->cpts(0), P(2, 1), 0);
    expectPoint(second->cpts(1), P(2, 2), 0);
    EXPECT_NEAR(square->area(), 4.0, 1e-6);  // the area integral converges to 1e-7
}

TEST(UnionSnap, CurvedArcsSnapOnlyAtTheirEnds)
{
    // The middle control point lies 5e-5 under the edge y = 0 and stays.
    auto square = rectangle(0, 0, 2, 2);
    auto cap = std::make_unique<CCompositeCurve>();
    cap->addArc(quadratic(P(0.5, -1), P(1, -0.00005), P(1.5, -1)));
    cap->addArc(line(P(1.5, -1), P(0.5, -1)));
    CBooleanSum sum;
    sum.snapControlPoints(square.get(), cap.get());
    expectPoint(arcAt(cap.get(), 0)->cpts(1), P(1, -0.00005), 0);
    EXPECT_EQ(square->nArcs(), 4);

    // Ends of a curved arc near the edge do move, and split it.
    auto square2 = rectangle(0, 0, 2, 2);
    auto cup = std::make_unique<CCompositeCurve>();
    cup->addArc(quadratic(P(0.8, -0.00005), P(1, -1), P(1.2, -0.00005)));
    cup->addArc(line(P(1.2, -0.00005), P(0.8, -0.00005)));
    sum.snapControlPoints(square2.get(), cup.get());
    expectPoint(arcAt(cup.get(), 0)->startPoint(), P(0.8, 0), 0);
    expectPoint(arcAt(cup.get(), 0)->endPoint(), P(1.2, 0), 0);
    expectPoint(arcAt(cup.get(), 0)->cpts(1), P(1, -1), 0);
    EXPECT_EQ(square2->nArcs(), 6);
}

TEST(UnionSnap, ListedControlPoints)
{
    struct Case {
        const char* name;
        std::unique_ptr<CCompositeCurve> curve;
        int records;
        int ends;
    };
    Case cases[] = {
        {"closed circle: first and last coincide", circle(P(0, 0), 1), 1, 1},
        {"four segments: both ends of each", rectangle(0, 0, 1, 1), 8, 8},
        {"one polyline arc: its four distinct corners", polylineRectangle(0, 0, 1, 1), 4, 1},
    };
    for (Case& k : cases) {
        SCOPED_TRACE(k.name);
        CBooleanSum sum;
        CBooleanSum::CurveList curves(10);
        curves.AddTail(k.curve.get());
        std::unique_ptr<CBooleanSum::ControlPointList> records(sum.formListControlPts(&curves));
        EXPECT_EQ(records->GetCount(), k.records);
        int ends = 0;
        while (!records->IsEmpty()) {
            std::unique_ptr<CControlPointElement> r(records->RemoveHead());
            ends += r->endPoint ? 1 : 0;
            EXPECT_FALSE(r->moved);
            EXPECT_EQ(r->curve, k.curve.get());
        }
        EXPECT_EQ(ends, k.ends);
    }
}

TEST(UnionSnap, OtherRecordsNearAPointFollowIt)
{
    auto a = rectangle(0, 0, 1, 1);
    auto b = rectangle(1.00005, 0, 2, 1);
    CBooleanSum sum;
    CBooleanSum::CurveList curves(10);
    curves.AddTail(a.get());
    curves.AddTail(b.get());
    std::unique_ptr<CBooleanSum::ControlPointList> records(sum.formListControlPts(&curves));
    CControlPointElement* first = records->GetAt(records->FindIndex(2));  // a's (1, 0)
    Pt target = P(1, 0);
    sum.checkOtherCP(records.get(), first, &target);
    int following = 0;
    POSITION pos = records->GetHeadPosition();
    while (pos) {
        const CControlPointElement* r = records->GetNext(pos);
        following += r->point == &target ? 1 : 0;
    }
    // a's other copy of (1, 0) (the end of its first arc) and b's (1.00005, 0)
    // as the end of two arcs.
    EXPECT_EQ(following, 3);
    while (!records->IsEmpty())
        delete records->RemoveHead();
    EXPECT_TRUE(sum.haveCtrlPtHere(arcAt(b.get(), 0), &target));
    Pt far = P(1.0002, 0);
    EXPECT_FALSE(sum.haveCtrlPtHere(arcAt(a.get(), 0), &far));
}
