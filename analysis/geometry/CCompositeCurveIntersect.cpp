// Composite curves: the meeting points of two curves with each curve's
// running parameter there, trimming to a parameter range, and the queries
// built on intersection.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/geometry/CIntersection.h"
#include "analysis/geometry/CMaxMinBox.h"
#include "analysis/geometry/LineIntersection.h"
#include "analysis/geometry/Matrix.h"
#include "analysis/geometry/NearPointIndex.h"
#include "analysis/geometry/PlanarGeometry.h"
#include "analysis/model/Globals.h"

namespace {

using PointList = CList<Point<double>*>;
using IntersectionList = CList<CIntersection*>;

// Frees a list of points and the points.
struct PointListDeleter {
    void operator()(PointList* list) const
    {
        while (!list->IsEmpty())
            delete list->RemoveHead();
        delete list;
    }
};
using OwnedPoints = std::unique_ptr<PointList, PointListDeleter>;

// Frees an intersection list and its intersections.
struct IntersectionListDeleter {
    void operator()(IntersectionList* list) const
    {
        while (!list->IsEmpty())
            delete list->RemoveHead();
        delete list;
    }
};
using OwnedIntersections = std::unique_ptr<IntersectionList, IntersectionListDeleter>;

// The control-point box of an arc.
CMaxMinBox boxOf(const Bspline* arc)
{
    CMaxMinBox box;
    arc->extents(&box.min, &box.max, 1);
    return box;
}

// The points where arcs a and b meet: the chords of two straight arcs, else
// the spline intersection when their boxes overlap. Null when none.
PointList* arcCrossings(Bspline* a, Bspline* b, CMaxMinBox& boxA, CMaxMinBox& boxB)
{
    if (a->isLinear() && b->deg() == 1 && b->nPts() == 2)
        return lineLineIntersection(a, b);
    if (!boxA.overlap(&boxB))
        return nullptr;
    return a->intersection(b);
}

// Restores the tight split tolerance however trimming ends.
struct TightSplitTolOnExit {
    ~TightSplitTolOnExit() { setTightSplitTol(); }
};

} // namespace

// ---------------------------------------------------------------------------
// Intersection

CList<CIntersection*>* CCompositeCurve::intersect(CCompositeCurve* other)
{
    OwnedIntersections result(new IntersectionList(10));
    // The intersections in list order, and their points: a new find within
    // 1e-5 of recorded points belongs to the last of them.
    std::vector<CIntersection*> recorded;
    NearPointIndex near(1e-5);
    // The other curve's boxes, computed once for all arcs of this one.
    std::vector<CMaxMinBox> otherBoxes;
    otherBoxes.reserve(static_cast<std::size_t>(other->nArcs()));
    POSITION b = other->m_arcs.GetHeadPosition();
    while (b)
        otherBoxes.push_back(boxOf(other->m_arcs.GetNext(b)));
    POSITION a = m_arcs.GetHeadPosition();
    while (a) {
        Bspline* A = m_arcs.GetNext(a);
        CMaxMinBox boxA = boxOf(A);
        std::size_t i = 0;
        b = other->m_arcs.GetHeadPosition();
        while (b) {
            Bspline* B = other->m_arcs.GetNext(b);
            OwnedPoints points(arcCrossings(A, B, boxA, otherBoxes[i++]));
            if (!points)
                continue;
            POSITION p = points->GetHeadPosition();
            while (p) {
                const Point<double>& P = *points->GetNext(p);
                const int k = near.lastNear(P);
                CIntersection* X = k >= 0 ? recorded[static_cast<std::size_t>(k)] : nullptr;
                if (!X) {
                    auto fresh = std::make_unique<CIntersection>();
                    fresh->point = P;
                    recorded.push_back(fresh.get());
                    result->AddTail(fresh.get());
                    X = fresh.release();
                    near.add(P);
                }
                // Parameters of the recorded point, which may be an earlier
                // find a little way from P.
                if (!X->usesCC(this))
                    X->add(this, A->findParmValue(X->point, 1e-5));
                if (!X->usesCC(other))
                    X->add(other, B->findParmValue(X->point, 1e-5));
            }
        }
    }
    return result.release();
}

// ---------------------------------------------------------------------------
// Trimming

CCompositeCurve* CCompositeCurve::trim(double t1, double t2)
{
    TightSplitTolOnExit restore;
    auto C = std::make_unique<CCompositeCurve>();
    setLooseSplitTol();
    auto keep = [&C](Bspline* piece) {
        std::unique_ptr<Bspline> owned(piece);
        C->m_arcs.AddTail(owned.get());
        owned.release();
    };
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos) {
        Bspline* A = m_arcs.GetNext(pos);
        for (Point<double>& p : A->controlPointsMutable())
            p.z = 0.0;
        const double s = A->startParameter();
        const double e = A->endParameter();
        if (s > t2 - 1e-10 || e <= t1 + 1e-4)
            continue;
        if (A->isContained(t1, t2)) {
            keep(new Bspline(A, CString(L"Whole Segment Copy")));
        } else if (t1 > s) {
            Bspline* head = nullptr;
            Bspline* tail = nullptr;
            A->split(t1 - A->globalOffset(), &head, &tail);
            std::unique_ptr<Bspline> first(head);
            std::unique_ptr<Bspline> R(tail);
            if (R && e > t2) {
                Bspline* middle = nullptr;
                Bspline* rest = nullptr;
                R->split(t2 - R->globalOffset(), &middle, &rest);
                std::unique_ptr<Bspline> after(rest);
                if (middle)
                    keep(middle);
                else
                    keep(R.release());
            } else if (R) {
                keep(R.release());
            }
        } else if (e > t2) {
            Bspline* head = nullptr;
            Bspline* tail = nullptr;
            A->split(t2 - A->globalOffset(), &head, &tail);
            std::unique_ptr<Bspline> after(tail);
            if (head)
                keep(head);
        }
    }
    return C.release();
}

// ---------------------------------------------------------------------------
// Queries built on intersection

std::vector<Point<double>> CCompositeCurve::polygonLineIntersection(Point<double>& p, Point<double>& dir)
{
    std::vector<Point<double>> out;
    // At least 50 steps per curved arc; the cap only keeps the count an int.
    const double count = m_end - m_start / 0.5;
    const int n = count > 50.0 ? static_cast<int>(std::min(count, 1e6)) : 50;
    polygonApprox(n);
    Point<double> Q = p + dir * 100000.0;
    for (INT_PTR i = 0; i + 1 < m_polygon.GetSize(); ++i) {
        Point<double> found[2];
        const int k = lineIntersection(p, Q, m_polygon[i], m_polygon[i + 1], found, 1e-12);
        for (int j = 0; j < k; ++j)
            out.push_back(found[j]);
    }
    return out;
}

bool CCompositeCurve::isCurveInside(CCompositeCurve* other)
{
    OwnedIntersections meeting(intersect(other));
    if (!meeting->IsEmpty())
        return false;
    return inside(other->eval((other->startParameter() + other->endParameter()) / 2.0));
}

bool CCompositeCurve::transformedCrvInside(const CCompositeCurve* other, const Matrix* M) const
{
    const Point<double> mid = other->eval((other->startParameter() + other->endParameter()) / 2.0);
    return inside(mid * *M);
}

bool CCompositeCurve::checkMidPoint(const Bspline* a, const Bspline* b, double) const
{
    Point<double> mid;
    a->eval((a->startParameter() + a->endParameter()) / 2.0, &mid, 1e-7);
    double t = 0.0;
    return b->isOn(mid, &t);
}
