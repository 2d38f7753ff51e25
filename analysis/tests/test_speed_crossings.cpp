// Repeated crossings dropped through a grid index: the crossing lists of
// intersect and findIntersections against the comparison with every point
// found so far that they replace (kept here as the reference).
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/geometry/CIntersection.h"
#include "analysis/geometry/CMaxMinBox.h"
#include "analysis/geometry/LineIntersection.h"
#include "analysis/model/Globals.h"
#include "analysis/tests/test_composite_support.h"

namespace {

using composite_test::P;
using composite_test::Pt;
using PointList = CList<Point<double>*>;
using IntersectionList = CList<CIntersection*>;

void freePoints(PointList* list)
{
    while (list && !list->IsEmpty())
        delete list->RemoveHead();
    delete list;
}

void freeIntersections(IntersectionList* list)
{
    while (!list->IsEmpty())
        delete list->RemoveHead();
    delete list;
}

CMaxMinBox boxOf(const Bspline* arc)
{
    CMaxMinBox box;
    arc->extents(&box.min, &box.max, 1);
    return box;
}

// intersect as it first was: each new point compared with every recorded one.
IntersectionList* intersectComparingAll(CCompositeCurve* self, CCompositeCurve* other)
{
    auto* result = new IntersectionList(10);
    POSITION a = self->arcs().GetHeadPosition();
    while (a) {
        Bspline* A = self->arcs().GetNext(a);
        CMaxMinBox boxA = boxOf(A);
        POSITION b = other->arcs().GetHeadPosition();
        while (b) {
            Bspline* B = other->arcs().GetNext(b);
            CMaxMinBox boxB = boxOf(B);
            PointList* points = nullptr;
            if (A->isLinear() && B->deg() == 1 && B->nPts() == 2)
                points = lineLineIntersection(A, B);
            else if (boxA.overlap(&boxB))
                points = A->intersection(B);
            if (!points)
                continue;
            POSITION p = points->GetHeadPosition();
            while (p) {
                const Pt& P0 = *points->GetNext(p);
                CIntersection* X = nullptr;
                POSITION q = result->GetHeadPosition();
                while (q) {
                    CIntersection* Y = result->GetNext(q);
                    if ((Y->point - P0).length() < 1e-5)
                        X = Y;
                }
                if (!X) {
                    X = new CIntersection();
                    X->point = P0;
                    result->AddTail(X);
                }
                if (!X->usesCC(self))
                    X->add(self, A->findParmValue(X->point, 1e-5));
                if (!X->usesCC(other))
                    X->add(other, B->findParmValue(X->point, 1e-5));
            }
            freePoints(points);
        }
    }
    return result;
}

// findIntersections as it first was: each new point compared with every
// point of the list.
int findComparingAll(const CCompositeCurve* self, const CCompositeCurve* other, PointList* list)
{
    auto apart = [](const Bspline* a, const Bspline* b) {
        if (a->nPts() == 0 || b->nPts() == 0)
            return false;
        Pt lo1, hi1, lo2, hi2;
        a->extents(&lo1, &hi1, 1);
        b->extents(&lo2, &hi2, 1);
        const double m = 1e-5;
        return lo1.x > hi2.x + m || lo2.x > hi1.x + m || lo1.y > hi2.y + m || lo2.y > hi1.y + m;
    };
    POSITION a = self->arcs().GetHeadPosition();
    while (a) {
        const Bspline* A = self->arcs().GetNext(a);
        POSITION b = other->arcs().GetHeadPosition();
        while (b) {
            Bspline* B = other->arcs().GetNext(b);
            if (apart(A, B))
                continue;
            PointList* found = A->intersection(B);
            while (found && !found->IsEmpty()) {
                Pt* p = found->RemoveHead();
                bool duplicate = false;
                POSITION pos = list->GetHeadPosition();
                while (pos && !duplicate)
                    duplicate = (*list->GetNext(pos) - *p).length() < gInsectTol;
                if (duplicate)
                    delete p;
                else
                    list->AddTail(p);
            }
            freePoints(found);
        }
    }
    return static_cast<int>(list->GetCount());
}

// Two random closed polylines over the unit square: the second passes
// through some corners of the first exactly and near others (within the
// 1e-5 of intersect but beyond the 1e-7 of findIntersections, or within
// both), so that many crossings repeat.
void randomPair(std::mt19937& rng, int n, std::vector<Pt>* a, std::vector<Pt>* b)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < n; ++i)
        a->push_back(P(unit(rng), unit(rng)));
    for (int i = 0; i < n; ++i) {
        const double r = unit(rng);
        const Pt& c = (*a)[static_cast<std::size_t>(i * 7 % n)];
        if (r < 0.1)
            b->push_back(c);
        else if (r < 0.15)
            b->push_back(c + P(3e-6, -2e-6));
        else if (r < 0.2)
            b->push_back(c + P(4e-8, 3e-8));
        else
            b->push_back(P(unit(rng), unit(rng)));
    }
}

TEST(SpeedCrossings, IntersectKeepsEveryPointRecordAndOrder)
{
    std::mt19937 rng(3);
    for (int n : {40, 140}) {
        std::vector<Pt> pa, pb;
        randomPair(rng, n, &pa, &pb);
        auto A = composite_test::polyline(pa);
        auto B = composite_test::polyline(pb);
        IntersectionList* fast = A->intersect(B.get());
        IntersectionList* reference = intersectComparingAll(A.get(), B.get());
        ASSERT_EQ(fast->GetCount(), reference->GetCount());
        if (n == 140) {
            EXPECT_GT(fast->GetCount(), 1000);
        }
        POSITION f = fast->GetHeadPosition();
        POSITION r = reference->GetHeadPosition();
        while (f && r) {
            const CIntersection* X = fast->GetNext(f);
            const CIntersection* Y = reference->GetNext(r);
            ASSERT_EQ(X->point.x, Y->point.x);
            ASSERT_EQ(X->point.y, Y->point.y);
            ASSERT_EQ(X->nCurves(), Y->nCurves());
            POSITION cx = X->curves().GetHeadPosition();
            POSITION cy = Y->curves().GetHeadPosition();
            while (cx && cy) {
                const CCurveIntersection* u = X->curves().GetNext(cx);
                const CCurveIntersection* v = Y->curves().GetNext(cy);
                ASSERT_EQ(u->curve, v->curve);
                ASSERT_EQ(u->parameter, v->parameter);
            }
        }
        freeIntersections(fast);
        freeIntersections(reference);
    }
}

TEST(SpeedCrossings, FindIntersectionsKeepsTheSameDistinctPoints)
{
    std::mt19937 rng(5);
    std::vector<Pt> pa, pb;
    randomPair(rng, 140, &pa, &pb);
    auto A = composite_test::polyline(pa);
    auto B = composite_test::polyline(pb);
    // A list that holds a point already: crossings near it are dropped too.
    PointList fast(10), reference(10);
    fast.AddTail(new Pt(pa[3]));
    reference.AddTail(new Pt(pa[3]));
    const int n = A->findIntersections(B.get(), &fast);
    ASSERT_EQ(n, findComparingAll(A.get(), B.get(), &reference));
    EXPECT_GT(n, 1000);
    POSITION f = fast.GetHeadPosition();
    POSITION r = reference.GetHeadPosition();
    while (f && r) {
        const Pt* x = fast.GetNext(f);
        const Pt* y = reference.GetNext(r);
        ASSERT_EQ(x->x, y->x);
        ASSERT_EQ(x->y, y->y);
    }
    while (!fast.IsEmpty())
        delete fast.RemoveHead();
    while (!reference.IsEmpty())
        delete reference.RemoveHead();
}

TEST(SpeedCrossings, CurvedArcsAndNonFinitePoints)
{
    // A circle against a square through its centre: crossings from the
    // subdivision, each found once.
    auto circle = composite_test::circle(P(0, 0), 1.0);
    auto square = composite_test::rectangle(-0.5, -2, 0.5, 2);
    IntersectionList* fast = circle->intersect(square.get());
    IntersectionList* reference = intersectComparingAll(circle.get(), square.get());
    ASSERT_EQ(fast->GetCount(), reference->GetCount());
    EXPECT_EQ(fast->GetCount(), 4);
    freeIntersections(fast);
    freeIntersections(reference);
    // A line with an infinite end meets nothing twice: no comparison with
    // its points can succeed, as before.
    auto open = composite_test::polyline({P(0, 0), P(1, 1)}, false);
    auto wild = composite_test::polyline({P(0, 1), P(INFINITY, 0)}, false);
    PointList f(10), r(10);
    EXPECT_EQ(open->findIntersections(wild.get(), &f), findComparingAll(open.get(), wild.get(), &r));
    while (!f.IsEmpty())
        delete f.RemoveHead();
    while (!r.IsEmpty())
        delete r.RemoveHead();
}

}  // namespace
