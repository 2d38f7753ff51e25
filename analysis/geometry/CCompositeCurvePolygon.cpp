// Composite curves: polygon approximations, point counts, plane normal,
// well-spread points and the transforms.
#include <cmath>
#include <memory>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/geometry/Matrix.h"

// ---------------------------------------------------------------------------
// Polygons

void CCompositeCurve::polygon(bool setParameter, double tol, double spacing)
{
    m_polygon.RemoveAll();
    bool firstArc = true;
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos) {
        Bspline* arc = m_arcs.GetNext(pos);
        arc->deletePolygon();
        arc->polygon(setParameter, tol, spacing);
        const CArray<Point<double>>& pts = arc->polygonPoints();
        // Each later arc begins where the one before it ended.
        for (INT_PTR i = firstArc ? 0 : 1; i < pts.GetSize(); ++i) {
            if (!m_polygon.IsEmpty() &&
                (pts[i] - m_polygon[m_polygon.GetSize() - 1]).lengthSquared() < 1e-6)
                continue;
            m_polygon.Add(pts[i]);
        }
        firstArc = false;
    }
    if (!m_polygon.IsEmpty() && (m_polygon[m_polygon.GetSize() - 1] - m_polygon[0]).length() > 1e-4) {
        const Point<double> first = m_polygon[0];
        m_polygon.Add(first);
    }
}

void CCompositeCurve::polygonApprox(int n)
{
    if (n < 1)
        n = 1;
    m_polygon.RemoveAll();
    m_polygon.SetSize(0, static_cast<INT_PTR>(n) * nArcs() + 1);
    Point<double> P(-9999.0, -9999.0, -9999.0);
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos) {
        const Bspline* arc = m_arcs.GetNext(pos);
        if (arc->isLinear()) {
            const Point<double> S = arc->startPoint();
            if (!((S - P).length() < 1e-6))
                m_polygon.Add(S);
            P = arc->endPoint();
            m_polygon.Add(P);
            continue;
        }
        const double s = arc->startParameter();
        const double e = arc->endParameter();
        const double h = (e - s) / n;
        // Steps by repeated addition; a step that lands within 1e-6 of the
        // end, on either side, becomes the end itself, and so does a step too
        // small to move t at all (far out on the running parameter).
        for (double t = s; t < e || std::fabs(t - e) < 1e-6; t += h) {
            const bool last = std::fabs(t - e) < 1e-6 || !(t + h > t);
            const double ti = last ? e : t;
            const Point<double> C = eval(ti);
            const bool atStart = std::fabs(ti - s) < 1e-10;
            if (!(atStart && (C - P).length() < 1e-6))
                m_polygon.Add(C);
            if (last) {
                P = C;
                break;
            }
        }
    }
    m_polygon.FreeExtra();
}

int CCompositeCurve::estimatePolygonPtCount(double tol, double* chord) const
{
    int count = 0;
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos)
        count += m_arcs.GetNext(pos)->estimatePolygonPtCount(tol, chord);
    return count;
}

void CCompositeCurve::clearPolygon()
{
    m_polygon.RemoveAll();
}

// ---------------------------------------------------------------------------
// Points of the polygon and the plane

Point<double> CCompositeCurve::avgPoints()
{
    if (m_polygon.IsEmpty())
        polygon(false, 0.001, -1.0);
    Point<double> sum;
    if (m_polygon.IsEmpty())
        return sum;
    for (const Point<double>& p : m_polygon)
        sum += p;
    return sum / static_cast<double>(m_polygon.GetSize());
}

Point<double> CCompositeCurve::planeNormal()
{
    std::unique_ptr<CList<Point<double>*>> pts(controlPoints());
    Point<double> R;
    if (pts->IsEmpty())
        return R;
    POSITION pos = pts->GetHeadPosition();
    const Point<double> O = *pts->GetNext(pos);
    Point<double> D1;
    bool haveD1 = false;
    double best = 0.0;
    while (pos) {
        const Point<double> p = *pts->GetNext(pos);
        if (!haveD1) {
            if ((p - O).length() >= 1e-5) {
                D1 = p - O;
                D1.normalize();
                haveD1 = true;
            }
            continue;
        }
        Point<double> D2 = p - O;
        D2.normalize();
        const Point<double> X = cross(D1, D2);
        if (D2.length() >= 1e-5 && (D2 - D1).lengthSquared() > best && X.length() > 1e-5) {
            best = (D2 - D1).lengthSquared();
            R = X;
        }
    }
    R.normalize();
    return R;
}

void CCompositeCurve::select3Pts(Point<double>& a, Point<double>& b, Point<double>& c)
{
    if (m_polygon.IsEmpty())
        polygon(false, 0.001, -1.0);
    a = m_polygon[0];
    const INT_PTR n = m_polygon.GetSize();
    if (n < 2) {
        b = a;
        c = a;
        return;
    }
    INT_PTR far = 1;
    double farD2 = (m_polygon[1] - a).lengthSquared();
    for (INT_PTR i = 2; i < n; ++i) {
        const double d2 = (m_polygon[i] - a).lengthSquared();
        if (d2 > farD2) {
            farD2 = d2;
            far = i;
        }
    }
    b = m_polygon[far];
    bool haveC = false;
    double spread = 0.0;
    c = b;
    for (INT_PTR i = 1; i < n; ++i) {
        const Point<double>& q = m_polygon[i];
        if ((q - b).length() < 1e-5)
            continue;
        const double s = (q - a).lengthSquared() + (q - b).lengthSquared();
        if (!haveC || s > spread) {
            spread = s;
            c = q;
            haveC = true;
        }
    }
}

// ---------------------------------------------------------------------------
// Transforms

void CCompositeCurve::translate(const Point<double>& v)
{
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos) {
        Point<double> w = v;
        m_arcs.GetNext(pos)->translate(&w);
    }
    polygon(false, 0.001, -1.0);
}

void CCompositeCurve::transform(Matrix& M)
{
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos)
        m_arcs.GetNext(pos)->transform(M);
    polygon(false, 0.001, -1.0);
}

void CCompositeCurve::rotateTranslate(Matrix& R, Point<double>& T)
{
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos)
        m_arcs.GetNext(pos)->rotateTranslate(R, T);
}

void CCompositeCurve::center()
{
    if (m_arcs.IsEmpty())
        return;
    const Point<double> mean = avgPoints();
    translate(mean * -1.0);
}
