// Composite curves: meeting points with their running parameters,
// trimming, and the queries built on intersection.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/geometry/CIntersection.h"
#include "analysis/model/Globals.h"
#include "analysis/tests/test_composite_support.h"

using namespace composite_test;

namespace {

// Owns an intersection list and its entries.
struct Intersections {
    CList<CIntersection*>* list;
    explicit Intersections(CList<CIntersection*>* l) : list(l) {}
    ~Intersections()
    {
        while (!list->IsEmpty())
            delete list->RemoveHead();
        delete list;
    }
    std::vector<CIntersection*> items() const
    {
        std::vector<CIntersection*> out;
        for (POSITION pos = list->GetHeadPosition(); pos;)
            out.push_back(list->GetNext(pos));
        return out;
    }
};

std::vector<CCurveIntersection> records(const CIntersection& X)
{
    std::vector<CCurveIntersection> out;
    for (POSITION pos = X.curves().GetHeadPosition(); pos;)
        out.push_back(*X.curves().GetNext(pos));
    return out;
}

} // namespace

TEST(CompositeCurveIntersect, OverlappingSquaresMeetTwice)
{
    auto a = rectangle(0, 0, 1, 1);
    auto b = rectangle(0.5, 0.5, 1.5, 1.5);
    Intersections found(a->intersect(b.get()));
    const std::vector<CIntersection*> xs = found.items();
    ASSERT_EQ(xs.size(), 2u);
    struct Expected {
        Point<double> point;
        double ta, tb;
    };
    const Expected expected[] = {{P(1, 0.5), 1.5, 0.5}, {P(0.5, 1), 2.5, 3.5}};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        expectPoint(xs[i]->point, expected[i].point, 1e-12);
        EXPECT_FALSE(xs[i]->visited);
        EXPECT_EQ(xs[i]->circuit, 0);
        const std::vector<CCurveIntersection> r = records(*xs[i]);
        ASSERT_EQ(r.size(), 2u);
        EXPECT_EQ(r[0].curve, a.get());
        EXPECT_EQ(r[1].curve, b.get());
        EXPECT_NEAR(r[0].parameter, expected[i].ta, 1e-12);
        EXPECT_NEAR(r[1].parameter, expected[i].tb, 1e-12);
        expectPoint(a->eval(r[0].parameter), xs[i]->point, 1e-12);
        expectPoint(b->eval(r[1].parameter), xs[i]->point, 1e-12);
        EXPECT_EQ(xs[i]->usesCC(b.get())->parameter, r[1].parameter);
    }

    Intersections none(a->intersect(rectangle(3, 3, 4, 4).get()));
    EXPECT_TRUE(none.list->IsEmpty());
}

TEST(CompositeCurveIntersect, SharedCornerIsOneIntersection)
{
    auto a = rectangle(0, 0, 1, 1);
    auto b = rectangle(1, 1, 2, 2);
    Intersections found(a->intersect(b.get()));
    const std::vector<CIntersection*> xs = found.items();
    ASSERT_EQ(xs.size(), 1u);
    expectPoint(xs[0]->point, P(1, 1), 1e-12);
    ASSERT_EQ(xs[0]->nCurves(), 2);
    for (const CCurveIntersection& r : records(*xs[0]))
        expectPoint(r.curve->eval(r.parameter), P(1, 1), 1e-12);
}

TEST(CompositeCurveIntersect, CircleMeetsLineWithParametersOnTheCircle)
{
    auto c = circle(P(0, 0), 2.0);
    auto l = polyline({P(-3, 1), P(3, 1)}, false);
    Intersections found(c->intersect(l.get()));
    const std::vector<CIntersection*> xs = found.items();
    ASSERT_EQ(xs.size(), 2u);
    for (CIntersection* X : xs) {
        EXPECT_NEAR(X->point.y, 1.0, 1e-9);
        EXPECT_NEAR(std::fabs(X->point.x), std::sqrt(3.0), 1e-9);
        for (const CCurveIntersection& r : records(*X))
            expectPoint(r.curve->eval(r.parameter), X->point, 1e-9);
    }
}

TEST(CompositeCurveIntersect, TrimCutsArcsAndCopiesWholeOnes)
{
    auto sq = unitSquare();
    QHTgSplitTol = 0.125;
    std::unique_ptr<CCompositeCurve> inOne(sq->trim(1.25, 1.75));
    EXPECT_EQ(QHTgSplitTol, 1e-8);
    ASSERT_EQ(inOne->nArcs(), 1);
    expectPoint(inOne->startPoint(), P(1, 0.25), 1e-12);
    expectPoint(inOne->endPoint(), P(1, 0.75), 1e-12);
    EXPECT_EQ(inOne->startParameter(), 0.0);
    EXPECT_EQ(inOne->endParameter(), 0.0);

    std::unique_ptr<CCompositeCurve> whole(sq->trim(1.0, 3.0));
    ASSERT_EQ(whole->nArcs(), 2);
    POSITION src = sq->arcs().FindIndex(1);
    for (POSITION pos = whole->arcs().GetHeadPosition(); pos;)
        EXPECT_TRUE(*whole->arcs().GetNext(pos) == *sq->arcs().GetNext(src));

    // Across three arcs; the pieces then make a curve of their own as the
    // boolean union does with them.
    std::unique_ptr<CCompositeCurve> across(sq->trim(0.5, 2.5));
    ASSERT_EQ(across->nArcs(), 3);
    expectPoint(across->startPoint(), P(0.5, 0), 1e-12);
    expectPoint(across->endPoint(), P(0.5, 1), 1e-12);
    across->zeroBaseKnots();
    across->resetGlobals();
    EXPECT_NEAR(across->endParameter(), 2.0, 1e-12);
    expectPoint(across->eval(1.0), P(1, 0.5), 1e-12);

    std::unique_ptr<CCompositeCurve> nothing(sq->trim(5.0, 6.0));
    EXPECT_EQ(nothing->nArcs(), 0);
}

TEST(CompositeCurveIntersect, CurveInsideUnlessTheyMeet)
{
    auto big = rectangle(0, 0, 4, 4);
    auto small = rectangle(1, 1, 2, 2);
    auto crossing = rectangle(3, 3, 5, 5);
    auto touching = rectangle(0, 1, 1, 2);
    EXPECT_TRUE(big->isCurveInside(small.get()));
    EXPECT_FALSE(big->isCurveInside(crossing.get()));
    EXPECT_FALSE(big->isCurveInside(touching.get()));
    EXPECT_FALSE(small->isCurveInside(big.get()));
}

TEST(CompositeCurveIntersect, PolygonRayCrossings)
{
    auto sq = unitSquare();
    Point<double> from(-1, 0.5, 7);
    Point<double> dir(1, 0, 0);
    const std::vector<Point<double>> hits = sq->polygonLineIntersection(from, dir);
    ASSERT_EQ(hits.size(), 2u);
    expectPoint(hits[0], P(1, 0.5), 1e-12);
    expectPoint(hits[1], P(0, 0.5), 1e-12);
    EXPECT_EQ(from.z, 0.0);
    Point<double> away(-1, 0.5, 0);
    Point<double> back(-1, 0, 0);
    EXPECT_TRUE(sq->polygonLineIntersection(away, back).empty());
}

TEST(CompositeCurveIntersect, RecordsAddAndRemoveByCurve)
{
    CCompositeCurve a, b;
    CIntersection X;
    EXPECT_TRUE(X.add(&a, 1.0));
    EXPECT_TRUE(X.add(&b, 2.0));
    EXPECT_TRUE(X.add(&a, 3.0));
    EXPECT_EQ(X.nCurves(), 3);
    EXPECT_EQ(X.usesCC(&a)->parameter, 1.0);
    X.removeCurve(&a);
    ASSERT_EQ(X.nCurves(), 1);
    EXPECT_EQ(X.usesCC(&a), nullptr);
    EXPECT_EQ(X.usesCC(&b)->parameter, 2.0);
}

TEST(CompositeCurveIntersect, PolygonApproxOfACircleEndsAtItsEnd)
{
    auto c = circle(P(0, 0), 1.0);
    c->polygonApprox(50);
    const CArray<Point<double>>& poly = c->polygonPoints();
    ASSERT_EQ(poly.GetSize(), 51);
    for (const Point<double>& p : poly)
        EXPECT_NEAR(p.length(), 1.0, 1e-12);
    expectPoint(poly[0], P(1, 0), 0.0);
    expectPoint(poly[50], P(1, 0), 1e-15);

    // Far out on the running parameter a step of a tiny arc no longer moves
    // t; the walk still ends, at the end point.
    auto tiny = circle(P(0, 0), 1e-6);
    tiny->startParameter(1e10);
    tiny->resetGlobals();
    ASSERT_GT(tiny->parmLength(), 1e-6);
    tiny->polygonApprox(50);
    ASSERT_GE(tiny->polygonPoints().GetSize(), 1);
    expectPoint(tiny->polygonPoints()[tiny->polygonPoints().GetSize() - 1], tiny->endPoint(), 0.0);
    expectPoint(tiny->endPoint(), P(1e-6, 0), 1e-15);
}
