// B-spline boundary integrals, arc length, boxes, end points and the
// polygon approximation kept in the spline's polygon cache.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/model/Globals.h"

namespace {

// Largest subinterval count of integrateSpline: an integrand that never
// settles stops here instead of doubling without end.
constexpr long long kMaxIntegrationCount = 1LL << 22;

// Largest count of the chord-height search; beyond it the polygon would
// hold more points than any boundary needs (and the count would overflow).
constexpr int kMaxChordCount = 1 << 20;

// Largest of |dx| and |dy|.
double planarGap(const Point<double>& a, const Point<double>& b)
{
    return std::max(std::fabs(a.x - b.x), std::fabs(a.y - b.y));
}

}  // namespace

// ---------------------------------------------------------------------------
// Integrals

double dA(Bspline* s, double a, double b, Point<double>* c)
{
    Point<double> pa;
    Point<double> pb;
    s->eval(a, &pa, 1e-7);
    s->eval(b, &pb, 1e-7);
    return 0.5 * cross(pa - *c, pb - pa).z;
}

namespace {

// The stopping rules of integrateSpline after a pass with sum `sum`, the
// previous pass having given `prev`, and `doubled` the count of the next pass.
bool integrationDone(double sum, double prev, long long doubled)
{
    if (sum < gIntegrationTol && doubled > 5000)
        return true;
    if (sum == prev)
        return true;
    const double as = std::fabs(sum);
    const double ap = std::fabs(prev);
    if (prev == 0.0)
        return as < 1e-9;
    if (sum == 0.0 || as < 1e-9)
        return ap < 1e-9;
    if (ap <= 1e-9)
        return false;
    // A quotient that would overflow or underflow decides nothing.
    if (as < 1.0 && ap > as * DBL_MAX)
        return false;
    if (as > 1.0 && as * DBL_MIN > ap)
        return false;
    const double q = prev / sum;
    return 1.0 - gIntegrationTol < q && q < 1.0 + gIntegrationTol;
}

}  // namespace

namespace {

// Largest pass whose points are kept for the next one (a few megabytes).
constexpr long long kMaxKeptPoints = 1LL << 16;

// A non-rational polyline through its control points in order: degree 1,
// clamped end knots and no empty span, so every control point is a vertex.
bool isPlainPolyline(const Bspline& s)
{
    const int n = s.nPts();
    if (s.deg() != 1 || s.isRational() || n < 2 || s.nKts() != n + 2 ||
        s.weightArray().GetSize() != n)
        return false;
    const CArray<double>& kts = s.knotVector();
    if (kts[0] != kts[1] || kts[n] != kts[n + 1])
        return false;
    for (int i = 1; i < n; ++i) {
        if (!(kts[i] < kts[i + 1]))
            return false;
    }
    return true;
}

// isPlainPolyline for a polyline of two control points, kept small enough
// to be inlined into the walk over a chain. The fields are tested together
// (two branches, not one per field); the knots are read only once the
// array is known to hold four.
inline bool isStraightLeg(const Bspline& s)
{
    const bool shape = (s.deg() == 1) & !s.isRational() & (s.nPts() == 2) & (s.nKts() == 4) &
                       (s.weightArray().GetSize() == 2);
    if (!shape)
        return false;
    const double* k = s.knotVector().GetData();
    return (k[0] == k[1]) & (k[2] == k[3]) & (k[1] < k[2]);
}

// The Green integral of dA over a plain polyline from end to end: the
// shoelace sum of its legs about c, which is what the subdivided sums of
// dA approach (a straight leg needs no subdivision).
double polylineArea(const Bspline& s, const Point<double>& c)
{
    const CArray<Point<double>>& P = s.controlPoints();
    double sum = 0.0;
    for (INT_PTR i = 0; i + 1 < P.GetSize(); ++i) {
        const double xi = P[i].x - c.x;
        const double yi = P[i].y - c.y;
        const double xj = P[i + 1].x - c.x;
        const double yj = P[i + 1].y - c.y;
        sum += 0.5 * (xi * yj - yi * xj);
    }
    return sum;
}

// Points of the previous and of the current pass of integrateArea, kept
// between calls on the same thread so that a chain of arcs allocates once.
struct AreaPasses {
    std::vector<double> lastT;
    std::vector<Point<double>> lastP;
    std::vector<double> T;
    std::vector<Point<double>> P;
};

// Past this many kept points a thread's buffers are given back after use.
constexpr std::size_t kRetainedPoints = 4096;

AreaPasses& threadPasses()
{
    thread_local AreaPasses passes;
    return passes;
}

// integrateSpline with the integrand dA, evaluating each curve point once:
// consecutive subintervals share their common point, and a point of the
// previous pass is taken again where the new pass lands on its parameter.
// The sums are those of integrateSpline(dA, ...) bit for bit.
double integrateArea(const Bspline& s, const Point<double>& c, int n, double a, double b,
                     AreaPasses& buf)
{
    long long d = s.deg() <= 1 ? n : 16;
    double prev = 0.0;
    buf.lastT.clear();
    buf.lastP.clear();
    for (;;) {
        const double h = (b - a) / static_cast<double>(d);
        const bool keep = d < kMaxKeptPoints;
        buf.T.clear();
        buf.P.clear();
        // Every other point of this pass has the parameter of one of the
        // last pass's points when the steps round alike: reuse it then.
        const std::size_t reusable = buf.lastT.size();
        auto pointAt = [&](long long i, double t) {
            const std::size_t half = static_cast<std::size_t>(i / 2);
            if (i % 2 == 0 && half < reusable && buf.lastT[half] == t)
                return buf.lastP[half];
            Point<double> q;
            s.eval(t, &q, 1e-7);
            return q;
        };
        double t = a;
        Point<double> pa = pointAt(0, t);
        if (keep) {
            buf.T.push_back(t);
            buf.P.push_back(pa);
        }
        double sum = 0.0;
        for (long long i = 0; i < d; ++i) {
            const double next = t + h;
            const Point<double> pb = pointAt(i + 1, next);
            sum += 0.5 * cross(pa - c, pb - pa).z;
            if (keep) {
                buf.T.push_back(next);
                buf.P.push_back(pb);
            }
            pa = pb;
            t = next;
        }
        const long long count = d;
        d *= 2;
        if (integrationDone(sum, prev, d) || count >= kMaxIntegrationCount)
            return sum;
        prev = sum;
        buf.lastT.swap(buf.T);
        buf.lastP.swap(buf.P);
    }
}

// Gives back a thread's pass buffers once a long integration has grown them.
void trimPasses(AreaPasses& buf)
{
    if (buf.lastT.capacity() + buf.T.capacity() > 2 * kRetainedPoints)
        buf = AreaPasses();
}

// integrateSpline(dA, s, c, n, a, b) on the thread's buffers.
double integrateAreaOnce(const Bspline& s, const Point<double>& c, int n, double a, double b)
{
    AreaPasses& buf = threadPasses();
    const double sum = integrateArea(s, c, n, a, b, buf);
    trimPasses(buf);
    return sum;
}

}  // namespace

namespace {

// How many arcs ahead the walk asks for an arc's object, and for the
// arrays that object points to (read from the object fetched earlier).
constexpr std::size_t kObjectsAhead = 16;
constexpr std::size_t kArraysAhead = 8;

// Asks the memory system for the fields of arc that the walk reads: the
// three arrays' headers and the scalars after them, up to the object's end
// (no two of these addresses are a cache line apart or more).
inline void prefetchFields(const Bspline* arc)
{
    __builtin_prefetch(&arc->knotVector());
    __builtin_prefetch(&arc->weightArray());
    __builtin_prefetch(&arc->controlPoints());
    __builtin_prefetch(reinterpret_cast<const char*>(arc + 1) - 1);
}

// Asks for the knots and the first control points of arc.
inline void prefetchArrays(const Bspline* arc)
{
    __builtin_prefetch(arc->knotVector().GetData());
    __builtin_prefetch(arc->controlPoints().GetData());
}

// The integral of dA over the whole of arc, which is not a straight leg.
[[gnu::noinline]] double otherArcArea(const Bspline& arc, const Point<double>& c, AreaPasses& buf)
{
    if (isPlainPolyline(arc))
        return polylineArea(arc, c);
    return integrateArea(arc, c, 2, arc.startParameter(), arc.endParameter(), buf);
}

// Adds to sum, in order, the terms of the straight legs arcs[i], arcs[i+1]
// ... up to arcs[end - 1], stopping at the first other arc; returns the
// index where it stopped. A leg's term is polylineArea's arithmetic, and
// polylineArea's sum starts from 0, so adding its one term to the running
// sum gives the same bits. There is no call in the loop, so that the
// running sum stays in a register. The arcs' loads do not depend on one
// another; with `ahead`, those of later arcs are asked for early (the
// caller keeps end + kObjectsAhead <= the number of arcs), so that they
// overlap instead of arriving one by one.
template <bool ahead>
inline std::size_t addStraightLegs(const Bspline* const* arcs, std::size_t i, std::size_t end,
                                   double cx, double cy, double& sum)
{
    double s = sum;
    for (; i < end; ++i) {
        if constexpr (ahead) {
            prefetchFields(arcs[i + kObjectsAhead]);
            prefetchArrays(arcs[i + kArraysAhead]);
        }
        const Bspline* arc = arcs[i];
        if (!isStraightLeg(*arc))
            break;
        const Point<double>* Q = arc->controlPoints().GetData();
        const double xi = Q[0].x - cx;
        const double yi = Q[0].y - cy;
        const double xj = Q[1].x - cx;
        const double yj = Q[1].y - cy;
        s += 0.5 * (xi * yj - yi * xj);
    }
    sum = s;
    return i;
}

}  // namespace

double arcsArea(const Bspline* const* arcs, std::size_t n, const Point<double>& c)
{
    const double cx = c.x;
    const double cy = c.y;
    // The arcs from here on are not fetched ahead (there is nothing after them).
    const std::size_t fetched = n > kObjectsAhead ? n - kObjectsAhead : 0;
    AreaPasses* buf = nullptr;
    double sum = 0.0;
    std::size_t i = 0;
    for (;;) {
        if (i < fetched)
            i = addStraightLegs<true>(arcs, i, fetched, cx, cy, sum);
        if (i >= fetched)
            i = addStraightLegs<false>(arcs, i, n, cx, cy, sum);
        if (i == n)
            break;
        // Any other arc, whole: a plain polyline's integral is its shoelace
        // sum; a curved arc's is integrated on the thread's pass buffers.
        if (!buf)
            buf = &threadPasses();
        sum += otherArcArea(*arcs[i], c, *buf);
        ++i;
    }
    if (buf)
        trimPasses(*buf);
    return sum;
}

double integrateSpline(double (*f)(Bspline*, double, double, Point<double>*), Bspline* s,
                       Point<double>* c, int n, double a, double b)
{
    if (f == dA) {
        if (isPlainPolyline(*s) && a == s->startParameter() && b == s->endParameter())
            return polylineArea(*s, *c);
        return integrateAreaOnce(*s, *c, n, a, b);
    }
    long long d = s->deg() <= 1 ? n : 16;
    double prev = 0.0;
    for (;;) {
        const double h = (b - a) / static_cast<double>(d);
        double t = a;
        double sum = 0.0;
        for (long long i = 0; i < d; ++i) {
            sum += f(s, t, t + h, c);
            t = t + h;
        }
        const long long count = d;
        d *= 2;
        if (integrationDone(sum, prev, d) || count >= kMaxIntegrationCount)
            return sum;
        prev = sum;
    }
}

// ---------------------------------------------------------------------------
// Arc length

double Bspline::arcRatio() const
{
    const double s0 = startParameter();
    const double s1 = endParameter();
    const double m = (s0 + s1) / 2.0;
    const double delta = (s1 - s0) / 2000.0;
    if (delta == 0.0)
        return 0.0;  // no range: no speed
    Point<double> a;
    Point<double> b;
    eval(m, &a, 1e-7);
    eval(m + delta, &b, 1e-7);
    return (b - a).length() / delta;
}

double Bspline::arclength() const
{
    return arcRatio() * (endParameter() - startParameter());
}

double Bspline::arclength(double a, double b) const
{
    return arcRatio() * (b - a);
}

// ---------------------------------------------------------------------------
// Boxes and end points

namespace {

// Widens [*min, *max] in x and y to hold the points; init first sets both
// corners (x, y and z) to the first point.
void widenBox(const CArray<Point<double>>& pts, Point<double>* min, Point<double>* max, int init)
{
    if (init) {
        *min = pts.GetAt(0);
        *max = pts.GetAt(0);
    }
    for (const Point<double>& p : pts) {
        min->x = std::min(min->x, p.x);
        min->y = std::min(min->y, p.y);
        max->x = std::max(max->x, p.x);
        max->y = std::max(max->y, p.y);
    }
}

}  // namespace

void Bspline::extents(Point<double>* min, Point<double>* max, int init) const
{
    widenBox(m_cpts, min, max, init);
}

void Bspline::extentsPolygon(Point<double>* min, Point<double>* max, int init) const
{
    // Without a polygon the control points, which enclose the curve, are measured.
    if (m_polygon.IsEmpty()) {
        extents(min, max, init);
        return;
    }
    widenBox(m_polygon, min, max, init);
}

Point<double> Bspline::startPoint() const
{
    return m_cpts.GetAt(0);
}

Point<double> Bspline::endPoint() const
{
    return m_cpts.GetAt(m_cpts.GetSize() - 1);
}

// ---------------------------------------------------------------------------
// Polygons

int Bspline::chordHeightCount(double tol, int k0) const
{
    if (!(tol > 0.0))
        throw std::logic_error("Polygon tolerance must be positive");
    const double s0 = startParameter();
    const double s1 = endParameter();
    const double R = s1 - s0;
    const double m = (s0 + s1) / 2.0;
    Point<double> P0;
    eval(m, &P0, 1e-7);
    int k = k0;
    for (;;) {
        Point<double> P2;
        Point<double> Pm;
        eval(m + R / k, &P2, 1e-7);
        eval(m + R / (2.0 * k), &Pm, 1e-7);
        const double height = ((P0 + P2) / 2.0 - Pm).length();
        if (!(tol <= height) || k >= kMaxChordCount)
            return k;
        k = k + k / 2;
    }
}

int Bspline::estimatePolygonPtCount(double tol, double* chord) const
{
    if (m_deg == 1)
        return nPts();
    const int k = chordHeightCount(tol, 10);
    const double s0 = startParameter();
    const double s1 = endParameter();
    const double m = (s0 + s1) / 2.0;
    Point<double> a;
    Point<double> b;
    eval(m, &a, 1e-7);
    eval(m + (s1 - s0) / k, &b, 1e-7);
    *chord = (b - a).length();
    return k + 1;
}

void Bspline::polygon(bool setParameter, double tol, double spacing)
{
    deletePolygon();
    const double s0 = startParameter();
    const double s1 = endParameter();
    const double R = s1 - s0;
    if (m_deg != 1) {
        const int k = chordHeightCount(tol, 3);
        const double h = R / k;
        double t = s0;
        for (int i = 0; i <= k; ++i) {
            // The last point is the end of the range, whatever the sum of steps gave.
            const double ti = (i == k || t > s1) ? s1 : t;
            Point<double> P;
            eval(ti, &P, 1e-7);
            if (setParameter)
                P.z = ti;
            m_polygon.Add(P);
            t = t + h;
        }
        return;
    }
    if (spacing > 0.0) {
        linearPoints(spacing, setParameter);
        return;
    }
    const double Lt = arcRatio() * R;
    double Li = 0.0;
    for (int i = 0; i < nPts(); ++i) {
        if (i > 0)
            Li += (m_cpts[i] - m_cpts[i - 1]).length();
        Point<double> P = m_cpts[i];
        if (setParameter)
            P.z = Lt == 0.0 ? s0 : s0 + Li / Lt * R;
        m_polygon.Add(P);
    }
}

void Bspline::linearPoints(double spacing, bool setParameter)
{
    if (!(spacing > 0.0))
        throw std::logic_error("Polygon spacing must be positive");
    const double s0 = startParameter();
    const double R = endParameter() - s0;
    const double Lt = arcRatio() * R;
    // z of a point at distance L along the legs, with the parameter flag.
    auto parameterAt = [&](double L) { return Lt == 0.0 ? s0 : s0 + L / Lt * R; };

    Point<double> first = m_cpts.GetAt(0);
    if (setParameter)
        first.z = s0;
    if (m_polygon.IsEmpty() || !(planarGap(m_polygon[m_polygon.GetSize() - 1], first) < 1e-6))
        m_polygon.Add(first);

    double Lj = 0.0;
    for (int j = 0; j + 1 < nPts(); ++j) {
        const Point<double> a = m_cpts[j];
        const Point<double> v = m_cpts[j + 1] - a;
        const double l = v.length();
        if (l > 0.0) {
            const long long m = static_cast<long long>(std::ceil(l / spacing));
            const double step = l / static_cast<double>(m);
            double along = 0.0;
            for (long long i = 1; i <= m; ++i) {
                along += step;
                Point<double> q = a + v * (along / l);
                if (setParameter)
                    q.z = parameterAt(Lj + along);
                m_polygon.Add(q);
            }
        }
        if (!(planarGap(m_polygon[m_polygon.GetSize() - 1], m_cpts[j + 1]) <= 1e-10))
            throw std::logic_error("Linear polygon didn't end properly");
        Lj += l;
    }
}

double Bspline::chordHeightTol() const
{
    const int n = nPts();
    if (n == 2)
        return 0.0;
    const Point<double> c = endPoint() - startPoint();
    const double L = c.length();
    if (n < 3)
        return -1.0;
    const Point<double> p0 = m_cpts[0];
    double height = 0.0;
    for (int i = 1; i <= n - 2; ++i) {
        const double h = L > 0.0 ? std::fabs(cross(m_cpts[i] - p0, c).z) / L
                                 : (m_cpts[i] - p0).length();
        height = std::max(height, h);
    }
    return height;
}
