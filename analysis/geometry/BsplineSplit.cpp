// B-spline splitting by knot insertion, sub-splines, transforms of the
// control points and small queries on the control polygon.
#include <algorithm>
#include <cmath>
#include <memory>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/Matrix.h"
#include "analysis/model/Globals.h"

void setTightSplitTol()
{
    QHTgSplitTol = 1e-8;
}

void setLooseSplitTol()
{
    QHTgSplitTol = 1e-6;
}

// ---------------------------------------------------------------------------
// Splitting

void Bspline::split(double u, Bspline** first, Bspline** second) const
{
    *first = nullptr;
    *second = nullptr;
    verify();
    const int nk = nKts();
    if (std::fabs(u - m_kts.GetAt(0)) < QHTgSplitTol) {
        *second = new Bspline(const_cast<Bspline*>(this), CString());
        return;
    }
    if (std::fabs(u - m_kts.GetAt(nk - 1)) < QHTgSplitTol) {
        *first = new Bspline(const_cast<Bspline*>(this), CString());
        return;
    }

    // kts[k] is the last knot below u that differs from it by more than gEpsilon.
    int k = knotInterval(u);
    while (std::fabs(m_kts.GetAt(k) - u) <= gEpsilon)
        --k;
    const int s = std::fabs(u - m_kts.GetAt(k + 1)) < QHTgSplitTol ? multknots(k + 1) : 0;
    const int r = m_deg - s;  // insertions; -1 when u already separates the pieces
    const int n = nPts() - 1;

    auto A = std::make_unique<Bspline>();
    auto B = std::make_unique<Bspline>();
    for (Bspline* piece : {A.get(), B.get()}) {
        piece->m_deg = m_deg;
        piece->m_offset = m_offset;
        piece->m_rational = m_rational;
    }

    // A: kts[0..k] then deg + 1 copies of u; control points 0 .. k - r copied.
    A->m_cpts.SetSize(k + 1);
    A->m_wts.SetSize(k + 1);
    A->m_kts.SetSize(k + m_deg + 2);
    for (int i = 0; i <= k; ++i)
        A->m_kts[i] = m_kts[i];
    for (int i = k + 1; i < k + m_deg + 2; ++i)
        A->m_kts[i] = u;
    for (int i = 0; i <= std::min(k - r, k); ++i) {
        A->m_cpts[i] = m_cpts[i];
        A->m_wts[i] = m_wts.GetAt(i);
    }

    // B: r + 1 copies of u then kts[k+1 ..]; control points r .. n - k + r
    // are cpts[k ..].
    const int nB = n - k + r + 1;
    B->m_cpts.SetSize(nB);
    B->m_wts.SetSize(nB);
    B->m_kts.SetSize(n + m_deg - k + r + 2);
    for (int i = 0; i <= r; ++i)
        B->m_kts[i] = u;
    for (int i = k + 1; i < nk; ++i)
        B->m_kts[i - k + r] = m_kts[i];
    for (int i = std::max(r, 0); i < nB; ++i) {
        B->m_cpts[i] = m_cpts.GetAt(k + i - r);
        B->m_wts[i] = m_wts.GetAt(k + i - r);
    }

    // Insert u r times in homogeneous coordinates (Boehm). After pass L the
    // top of the column is B's point r - L and the L-th entry A's point k - r + L.
    if (r >= 1) {
        Point<double> Q[maxDegree + 1];
        double W[maxDegree + 1];
        double l[maxDegree + 1];
        double rho[maxDegree + 1];
        for (int j = 0; j <= r; ++j) {
            W[j] = m_wts.GetAt(k - r + j);
            Q[j] = m_cpts.GetAt(k - r + j) * W[j];
            l[j] = u - m_kts.GetAt(k - r + j);
            rho[j] = m_kts.GetAt(k + m_deg - j) - u;
        }
        for (int L = 1; L <= r; ++L) {
            for (int i = r; i >= L; --i) {
                const double p = rho[L - 1 + r - i];
                Q[i] = (Q[i - 1] * p + Q[i] * l[i]) / (p + l[i]);
                W[i] = (p * W[i - 1] + l[i] * W[i]) / (p + l[i]);
            }
            B->m_cpts[r - L] = Q[r] / W[r];
            B->m_wts[r - L] = W[r];
            A->m_cpts[k - r + L] = Q[L] / W[L];
            A->m_wts[k - r + L] = W[L];
        }
    }

    for (Bspline* piece : {A.get(), B.get()}) {
        piece->m_nPolySegs = piece->nPts() - m_deg;
        piece->verify();
    }
    *first = A.release();
    *second = B.release();
}

Bspline* Bspline::subSpline(double a, double b) const
{
    if (a > b)
        std::swap(a, b);
    const double first = m_kts.GetAt(0);
    const double last = m_kts.GetAt(nKts() - 1);
    if (b - a <= gEpsilon || a >= last - gEpsilon || b <= first + gEpsilon)
        return nullptr;

    // The part after a (the whole spline when a is at or before its start).
    std::unique_ptr<Bspline> rest;
    if (a <= first + gEpsilon) {
        rest = std::make_unique<Bspline>(const_cast<Bspline*>(this), CString());
    } else {
        Bspline* before = nullptr;
        Bspline* after = nullptr;
        split(a, &before, &after);
        delete before;
        rest.reset(after);
    }
    if (!rest || b >= last - gEpsilon)
        return rest.release();

    // Of that, the part before b.
    Bspline* before = nullptr;
    Bspline* after = nullptr;
    rest->split(b, &before, &after);
    delete after;
    return before;
}

// ---------------------------------------------------------------------------
// Transforms

void Bspline::translate(Point<double>* v)
{
    geometry_edits::note();
    for (Point<double>& p : m_cpts)
        p += *v;
}

namespace {

// Turns (a, b) by the angle whose cosine and sine are c and s.
void turn(double& a, double& b, double c, double s)
{
    const double na = a * c - b * s;
    const double nb = a * s + b * c;
    a = na;
    b = nb;
}

double radians(double degrees)
{
    return degrees * 3.141592653589793 / 180.0;
}

// Turns every point about c by `degrees`, in the plane of coordinates a and b
// (counter-clockwise from a towards b).
void turnAbout(CArray<Point<double>>& points, const Point<double>& c, double degrees,
               double Point<double>::*a, double Point<double>::*b)
{
    const double r = radians(degrees);
    const double cs = std::cos(r);
    const double sn = std::sin(r);
    for (Point<double>& p : points) {
        Point<double> v = p - c;
        turn(v.*a, v.*b, cs, sn);
        p = v + c;
    }
}

}  // namespace

void Bspline::rotate(Point<double>* c, double degrees)
{
    geometry_edits::note();
    turnAbout(m_cpts, *c, degrees, &Point<double>::x, &Point<double>::y);
}

void Bspline::rotateX(Point<double>* c, double degrees)
{
    geometry_edits::note();
    turnAbout(m_cpts, *c, degrees, &Point<double>::y, &Point<double>::z);
}

void Bspline::rotateY(Point<double>* c, double degrees)
{
    geometry_edits::note();
    turnAbout(m_cpts, *c, degrees, &Point<double>::x, &Point<double>::z);
}

void Bspline::_rotateZ(double degrees)
{
    geometry_edits::note();
    const double a = radians(degrees);
    const double cs = std::cos(a);
    const double sn = std::sin(a);
    for (Point<double>& p : m_cpts)
        turn(p.x, p.y, cs, sn);
}

void Bspline::mirror(Point<double>* c, Point<double>* n)
{
    geometry_edits::note();
    n->normalize();
    for (Point<double>& p : m_cpts) {
        const Point<double> d = p - *c;
        if (d.length() < 1e-6)
            continue;
        p = p - *n * (2.0 * dot(d, *n));
    }
}

void Bspline::scale(double sx, double sy)
{
    geometry_edits::note();
    const double k0 = m_kts.GetAt(0);
    const double factor = (sx + sy) / 2.0;
    for (int i = 1; i < nKts(); ++i)
        m_kts[i] = k0 + factor * (m_kts[i] - k0);
    const Point<double> a = startPoint();
    const Point<double> b = endPoint();
    const Point<double> ref(std::min(a.x, b.x), std::min(a.y, b.y), 0.0);
    for (Point<double>& p : m_cpts)
        p = ref + Point<double>(sx * (p.x - ref.x), sy * (p.y - ref.y), p.z);
}

void Bspline::xscale(double s, Point<double>* c)
{
    geometry_edits::note();
    for (Point<double>& p : m_cpts)
        p.x = c->x + s * (p.x - c->x);
}

void Bspline::yscale(double s, Point<double>* c)
{
    geometry_edits::note();
    for (Point<double>& p : m_cpts)
        p.y = c->y + s * (p.y - c->y);
}

void Bspline::setZ(double z)
{
    geometry_edits::note();
    for (Point<double>& p : m_cpts)
        p.z = z;
}

void Bspline::transform(Matrix& M)
{
    geometry_edits::note();
    for (Point<double>& p : m_cpts) {
        Matrix v(4, 1);
        v(0, 0) = p.x;
        v(1, 0) = p.y;
        v(2, 0) = p.z;
        v(3, 0) = 1.0;
        const Matrix r = M * v;
        const double w = r.val(3, 0);
        p = Point<double>(r.val(0, 0) / w, r.val(1, 0) / w, r.val(2, 0) / w);
    }
}

void Bspline::rotateTranslate(Matrix& R, Point<double>& T)
{
    geometry_edits::note();
    for (Point<double>& p : m_cpts)
        p = p * R + T;
}

void Bspline::orientBSpline(Bspline* a, Bspline* b)
{
    geometry_edits::note();
    Point<double> t;
    a->tangent(a->kts(0), &t);
    const Point<double> P0 = a->startPoint();
    // The control point of b nearest to a's start, the first of equal distances.
    int nearest = -1;
    double best = 0.0;
    for (int i = 0; i < b->nPts(); ++i) {
        const double d2 = (b->m_cpts[i] - P0).lengthSquared();
        if (nearest < 0 || d2 < best) {
            nearest = i;
            best = d2;
        }
    }
    Point<double> d = b->cpts(nearest) - P0;
    d.normalize();
    if (dot(d, cross(t, Point<double>(0.0, 0.0, 1.0))) > 0)
        a->reverse();
}

// ---------------------------------------------------------------------------
// Queries on the control polygon

void Bspline::midPt(Point<double>* p) const
{
    eval((startParameter() + endParameter()) / 2.0, p, 1e-7);
}

bool Bspline::isLinear() const
{
    return m_deg == 1 && nPts() == 2;
}

bool Bspline::Zplane() const
{
    const double z0 = m_cpts.GetAt(0).z;
    for (const Point<double>& p : m_cpts) {
        if (std::fabs(p.z - z0) > 1e-8)
            return false;
    }
    return true;
}

bool Bspline::colinear() const
{
    const int n = nPts();
    if (n < 3)
        return true;
    const Point<double> p0 = m_cpts[0];
    Point<double> d1 = m_cpts[1] - p0;
    d1.normalize();
    for (int i = 2; i < n; ++i) {
        Point<double> di = m_cpts[i] - p0;
        di.normalize();
        if (std::fabs(std::fabs(dot(di, d1)) - 1.0) > 1e-4)
            return false;
    }
    return true;
}

Point<double> Bspline::planeNormal() const
{
    const Point<double> P0 = m_cpts.GetAt(0);
    Point<double> A = P0;
    double far = -1.0;
    for (const Point<double>& p : m_cpts) {
        const double d2 = (p - P0).lengthSquared();
        if (d2 > far) {
            far = d2;
            A = p;
        }
    }
    // The third point must differ from both others: the start itself would
    // always score as well as any point inside the circle on P0-A and give
    // no plane at all.
    Point<double> B;
    double best = -1.0;
    for (const Point<double>& p : m_cpts) {
        if (p == A || p == P0)
            continue;
        const double score = (p - P0).lengthSquared() + (p - A).lengthSquared();
        if (score > best) {
            best = score;
            B = p;
        }
    }
    Point<double> n = cross(A - P0, B - P0);
    n.normalize();
    return n;
}

bool Bspline::overlap(Bspline* other) const
{
    Point<double> lo1;
    Point<double> hi1;
    Point<double> lo2;
    Point<double> hi2;
    extents(&lo1, &hi1, 1);
    other->extents(&lo2, &hi2, 1);
    return lo1.x <= hi2.x && lo2.x <= hi1.x && lo1.y <= hi2.y && lo2.y <= hi1.y;
}

bool Bspline::inBox(Point<double>& p, Point<double>& lo, Point<double>& hi) const
{
    return lo.x <= p.x && p.x <= hi.x && lo.y <= p.y && p.y <= hi.y;
}
