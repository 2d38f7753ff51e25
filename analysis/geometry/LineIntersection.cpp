// Line functions of the spline intersections and the queries of a spline
// against a horizontal line.
#include "analysis/geometry/LineIntersection.h"

#include <cmath>
#include <memory>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/PlanarGeometry.h"
#include "analysis/geometry/Tolerance.h"

namespace {

// A new list holding copies of the first `count` points of pts.
CList<Point<double>*>* newPointList(const Point<double>* pts, int count)
{
    auto list = std::make_unique<CList<Point<double>*>>(10);
    for (int i = 0; i < count; ++i)
        list->AddTail(new Point<double>(pts[i]));
    return list.release();
}

}  // namespace

CList<Point<double>*>* lineLineIntersection(Bspline* a, Bspline* b)
{
    Point<double> a0 = a->startPoint();
    Point<double> a1 = a->endPoint();
    Point<double> b0 = b->startPoint();
    Point<double> b1 = b->endPoint();
    Point<double> pts[2];
    const int k = lineIntersection(a0, a1, b0, b1, pts, 1e-12);
    if (k == 0)
        return nullptr;
    return newPointList(pts, k);
}

void XLnLn(Point<double>& P1, Point<double>& D1, Point<double>& P2, Point<double>& D2,
           Point<double>& X)
{
    D1.normalize();
    D2.normalize();
    const double k = cross(D1, D2).z;
    // Parallel lines have no single meeting point: X keeps what it held.
    if (std::fabs(k) < 1e-15)
        return;
    X = P1 + D1 * (cross(P2 - P1, D2).z / k);
}

bool colinear(Point<double>* A, Point<double>* B, Point<double>* C)
{
    Point<double> u = *A - *B;
    Point<double> v = *C - *B;
    u.normalize();
    v.normalize();
    return std::fabs(dot(u, v)) > 0.9999;
}

// ---------------------------------------------------------------------------
// Bspline members

void Bspline::lnlnX(Bspline* other, Point<double>* X) const
{
    const Point<double> P1 = cpts(0);
    Point<double> d1 = cpts(1) - P1;
    const Point<double> P2 = other->cpts(0);
    Point<double> d2 = other->cpts(1) - P2;
    d1.normalize();
    d2.normalize();
    const Point<double> n = cross(d2, Point<double>(0.0, 0.0, 1.0));
    const double along = dot(d1, n);
    // A first leg parallel to the plane never meets it: X keeps what it held.
    if (std::fabs(along) < 1e-15)
        return;
    *X = P1 + d1 * (-dot(P1 - P2, n) / along);
}

bool Bspline::crosses(double y) const
{
    const double y0 = cpts(0).y;
    if (floatcmp(y0, y, 1e-8))
        return true;
    const bool below = y0 < y;
    for (const Point<double>& p : controlPoints()) {
        if (below ? p.y > y : p.y < y)
            return true;
    }
    return false;
}

void Bspline::yIntercepts(double y, CArray<double, double>* params) const
{
    if (isLinear()) {
        if (floatcmp(cpts(0).y, y, 1e-4)) {
            params->Add(kts(0) + globalOffset());
            return;
        }
        if (floatcmp(cpts(1).y, y, 1e-4)) {
            params->Add(kts(nKts() - 1) + globalOffset());
            return;
        }
    }
    if (!crosses(y))
        return;
    const double m = (startParameter() + endParameter()) / 2.0;
    if (endParameter() - startParameter() < 1e-4) {
        params->Add(m);
        return;
    }
    // split works on the local parameter; m is global.
    Bspline* a = nullptr;
    Bspline* b = nullptr;
    split(m - globalOffset(), &a, &b);
    std::unique_ptr<Bspline> first(a);
    std::unique_ptr<Bspline> second(b);
    if (!first || !second) {
        // The split tolerance swallowed the range: it is resolved as it is.
        params->Add(m);
        return;
    }
    if (floatcmp(first->endPoint().y, y, 1e-8)) {
        params->Add(m);
        return;
    }
    first->yIntercepts(y, params);
    second->yIntercepts(y, params);
}

bool Bspline::belowOnY(double y) const
{
    for (const Point<double>& p : controlPoints()) {
        if (p.y > y + 1e-8)
            return false;
    }
    return true;
}

bool Bspline::colinearY(double y) const
{
    if (deg() != 1)
        return false;
    if (!floatcmp(cpts(0).y, y, 1e-8))
        return false;
    return floatcmp(cpts(1).y, y, 1e-8);
}
