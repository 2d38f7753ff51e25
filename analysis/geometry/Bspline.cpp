// Rational B-spline curve: construction, parameters, evaluation, searches,
// knot queries, equality and the archive record.
#include "analysis/geometry/Bspline.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "analysis/geometry/PlanarGeometry.h"
#include "analysis/geometry/Tolerance.h"
#include "analysis/model/Globals.h"
#include "platform/core/CArchive.h"

IMPLEMENT_SERIAL(Bspline, CObject, 1)

namespace {

// The text thrown for an invalid spline.
const char* const kBadSpline = "Bad spline\n";

// Index remembered by knotInterval between calls, shared by every spline of
// a thread (one per thread, so that threads do not race on it).
thread_local int gKnotIntervalHint = 0;

// How far a knot may lie below an earlier one: rounding may leave equal
// knots a little out of order, but never by this much. The span search
// skips knots by bisection on the strength of it (findSpan).
double knotFallMargin()
{
    return 100.0 * gEpsilon;
}

// A spline is valid when its arrays are all empty, or when its degree fits
// the evaluators' work array, the counts agree and the knots do not
// decrease by more than gEpsilon from one to the next, nor fall more than
// knotFallMargin below any earlier knot (a long run of small steps back is
// a decreasing knot vector, not rounding).
bool validShape(int deg, const CArray<double>& kts, const CArray<double>& wts,
                const CArray<Point<double>>& cpts)
{
    const INT_PTR nKts = kts.GetSize();
    const INT_PTR nPts = cpts.GetSize();
    if (nKts == 0 && nPts == 0 && wts.GetSize() == 0)
        return true;
    if (deg < 1 || deg > Bspline::maxDegree)
        return false;
    if (nKts != nPts + deg + 1 || wts.GetSize() != nPts)
        return false;
    double highest = nKts > 0 ? kts[0] : 0.0;
    for (INT_PTR i = 0; i + 1 < nKts; ++i) {
        if (!(kts[i + 1] >= kts[i] - gEpsilon) || !(kts[i + 1] >= highest - knotFallMargin()))
            return false;
        highest = std::max(highest, kts[i + 1]);
    }
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction

Bspline::Bspline() = default;

Bspline::Bspline(Point<double>* a, Point<double>* b, bool lengthFromZ) : m_deg(1), m_nPolySegs(1)
{
    m_cpts.SetSize(2);
    m_cpts[0] = *a;
    m_cpts[1] = *b;
    m_wts.SetSize(2);
    m_wts[0] = 1.0;
    m_wts[1] = 1.0;
    const double L = lengthFromZ ? b->z : (*b - *a).length();
    m_kts.SetSize(4);
    m_kts[0] = 0.0;
    m_kts[1] = 0.0;
    m_kts[2] = L;
    m_kts[3] = L;
    m_offset = m_kts[0];
}

Bspline::Bspline(int n, Point<double>* p) : m_deg(1)
{
    m_cpts.SetSize(n);
    m_wts.SetSize(n);
    for (int i = 0; i < n; ++i) {
        m_cpts[i] = p[i];
        m_wts[i] = 1.0;
    }
    m_kts.SetSize(n + 2);
    m_kts[0] = 0.0;
    m_kts[1] = 0.0;
    for (int i = 1; i <= n - 1; ++i)
        m_kts[i + 1] = m_kts[i] + (p[i] - p[i - 1]).length();
    m_kts[n + 1] = m_kts[n];
}

Bspline::Bspline(Bspline* src, CString /*name*/)
{
    if (src == nullptr)
        throw kBadSpline;
    m_closed = src->m_closed;
    m_nPolySegs = src->m_nPolySegs;
    m_deg = src->m_deg;
    m_offset = src->m_offset;
    const int n = src->nPts();
    m_cpts.SetSize(n);
    m_wts.SetSize(n);
    for (int i = 0; i < n; ++i) {
        m_cpts[i] = src->m_cpts[i];
        m_wts[i] = src->m_wts[i];
    }
    m_kts.Copy(src->m_kts);
    updateRational();
    verify();
}

Bspline::~Bspline() = default;

void Bspline::init()
{
    geometry_edits::note();
    m_closed = unset;
    m_deg = unset;
    m_nPolySegs = unset;
    m_rational = false;
}

void Bspline::updateRational()
{
    geometry_edits::note();
    m_rational = false;
    for (double w : m_wts) {
        if (std::fabs(w - 1.0) > 1e-8)
            m_rational = true;
    }
}

// ---------------------------------------------------------------------------
// Parameters

double Bspline::parmLength() const
{
    return std::fabs(endParameter() - startParameter());
}

double Bspline::localStartParameter() const
{
    return m_kts.GetAt(0);
}

double Bspline::localEndParameter() const
{
    return m_kts.GetAt(m_kts.GetSize() - 1);
}

double Bspline::localMidParameter() const
{
    return (localStartParameter() + localEndParameter()) / 2.0;
}

double Bspline::midKnot() const
{
    return localMidParameter();
}

bool Bspline::insideParametricValue(double t) const
{
    return startParameter() <= t && t <= endParameter();
}

bool Bspline::isContained(double a, double b) const
{
    const double s = startParameter();
    const double e = endParameter();
    return (std::fabs(s - a) < 1e-4 || a < s) && (std::fabs(e - b) < 1e-4 || b > e);
}

// ---------------------------------------------------------------------------
// Evaluation

namespace {

// The span search of Bspline::interval on the n knots K: brings *u into
// the knot range, pulls it inside the last span at its end, snaps it onto a
// knot closer than 1e-10 of the range and returns k with
// K[k] <= *u < K[k + 1], or -1 when there is none.
inline int findSpan(const double* K, int n, double* u)
{
    if (n < 2)
        return -1;
    const double first = K[0];
    const double last = K[n - 1];
    const double d = (last - first) * 1e-10;
    // A parameter outside the knots is taken at the nearer end, so that the
    // span is always one the evaluators can use.
    if (*u < first)
        *u = first;
    if (*u > last)
        *u = last;
    if (std::fabs(*u - last) < d)
        *u -= 2.0 * d;
    // The scan below snaps u onto a knot within d and stops at the first
    // span that holds it. Knots at least 2d below u can neither snap u nor
    // hold it: skip them by bisection, then scan the few that remain. No
    // knot of a valid vector lies more than knotFallMargin below an earlier
    // one (validShape), so a knot found at least 2d + knotFallMargin below
    // u has only knots at least 2d below u before it: none that the scan
    // would stop at is skipped.
    const double skip = 2.0 * d + knotFallMargin();
    int lo = 1;
    int hi = n;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (*u - K[mid] >= skip)
            lo = mid + 1;
        else
            hi = mid;
    }
    for (int i = lo; i < n; ++i) {
        const double ki = K[i];
        if (std::fabs(ki - *u) < d)
            *u = ki;
        if (K[i - 1] <= *u && *u < ki)
            return i - 1;
    }
    return -1;
}

// De Boor's algorithm on the deg + 1 points from C[base] (weights Wt when
// Weighted) at local u: deg rounds giving the curve point, or with Dir
// deg - 1 rounds giving the difference of the last two work points. D is
// the degree when fixed at compile time (0: take deg), so that low degrees
// run unrolled; the operations and their order are those of
// Bspline::deBoor, so the bits are the same. Only the entries used are
// written: nothing is initialised that is not read. With Bezier every step
// has the same two knots bit for bit (see isBezierKnots), so its ratio
// alpha is the same quotient: it is divided out once as bezierAlpha.
template <int D, bool Weighted, bool Dir, bool Bezier = false>
[[gnu::always_inline]] inline Point<double> deBoorSpan(int deg, const double* K, const Point<double>* C,
                                                       const double* Wt, int base, double u,
                                                       double bezierAlpha = 0.0)
{
    constexpr int N = D > 0 ? D + 1 : Bspline::maxDegree + 1;
    const int dg = D > 0 ? D : deg;
    const int rounds = Dir ? dg - 1 : dg;
    // One work point with its weight; x and y side by side, as the
    // compiler pairs them.
    struct Work {
        double x, y, z, w;
    };
    Work P[N];
    for (int j = 0; j <= dg; ++j) {
        P[j].x = C[base + j].x;
        P[j].y = C[base + j].y;
        P[j].z = C[base + j].z;
        if (Weighted)
            P[j].w = Wt[base + j];
    }
    for (int r = 1; r <= rounds; ++r) {
        for (int j = dg; j >= r; --j) {
            const int i = base + j;
            const double alpha = Bezier ? bezierAlpha : (u - K[i]) / (K[i + dg + 1 - r] - K[i]);
            Work& p = P[j];
            const Work& q = P[j - 1];
            if (Weighted) {
                const double a0 = (1.0 - alpha) * q.w;
                const double a1 = alpha * p.w;
                const double w = a0 + a1;
                p.x = (q.x * a0 + p.x * a1) / w;
                p.y = (q.y * a0 + p.y * a1) / w;
                p.z = (q.z * a0 + p.z * a1) / w;
                p.w = w;
            } else {
                const double a0 = 1.0 - alpha;
                p.x = q.x * a0 + p.x * alpha;
                p.y = q.y * a0 + p.y * alpha;
                p.z = q.z * a0 + p.z * alpha;
            }
        }
    }
    const Work& last = P[dg];
    if (Dir)
        return Point<double>(last.x - P[dg - 1].x, last.y - P[dg - 1].y, last.z - P[dg - 1].z);
    return Point<double>(last.x, last.y, last.z);
}

// deBoorSpan for the spline's degree, unrolled for degrees 1 to 3.
template <bool Weighted, bool Dir, bool Bezier>
[[gnu::always_inline]] inline Point<double> deBoorByDegree(int deg, const double* K, const Point<double>* C,
                                                           const double* Wt, int base, double u,
                                                           double bezierAlpha)
{
    switch (deg) {
    case 1:
        return deBoorSpan<1, Weighted, Dir, Bezier>(deg, K, C, Wt, base, u, bezierAlpha);
    case 2:
        return deBoorSpan<2, Weighted, Dir, Bezier>(deg, K, C, Wt, base, u, bezierAlpha);
    case 3:
        return deBoorSpan<3, Weighted, Dir, Bezier>(deg, K, C, Wt, base, u, bezierAlpha);
    default:
        return deBoorSpan<0, Weighted, Dir, Bezier>(deg, K, C, Wt, base, u, bezierAlpha);
    }
}

// The same double, bit for bit (so +0 and -0 differ).
inline bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// The knots of a single-span spline of degree deg whose first deg + 1
// knots are one value and last deg + 1 another, bit for bit: every step of
// de Boor's algorithm then takes the same two knots.
inline bool isBezierKnots(const double* K, int deg, INT_PTR nKts)
{
    if (nKts != 2 * deg + 2)
        return false;
    for (int i = 1; i <= deg; ++i) {
        if (!sameBits(K[i], K[0]) || !sameBits(K[deg + 1 + i], K[deg + 1]))
            return false;
    }
    return true;
}

// findSpan on Bezier knots (isBezierKnots) running from a to b > a: the
// same *u and span, without the search. The search there can skip only the
// knots a, when u is at least 2d above them and so not snapped onto them;
// what is left is the scan: snap onto a, snap onto b, then span deg when
// a <= u < b (every later knot is b, which holds nothing).
inline int bezierSpan(int deg, double a, double b, double* u)
{
    const double d = (b - a) * 1e-10;
    if (*u < a)
        *u = a;
    if (*u > b)
        *u = b;
    if (std::fabs(*u - b) < d)
        *u -= 2.0 * d;
    if (std::fabs(a - *u) < d)
        *u = a;
    if (std::fabs(b - *u) < d)
        *u = b;
    return a <= *u && *u < b ? deg : -1;
}

// The result of Bspline::deBoor at local u taken as a point (Dir false:
// P[deg] after deg rounds) or as a direction (Dir true: P[deg] - P[deg - 1]
// after deg - 1 rounds), with unchecked reads. Throws "Bad spline\n" for a
// degree outside 1..maxDegree as deBoor does. Returns false, having thrown
// nothing else, when some index the algorithm reads falls outside the
// arrays: the caller then takes the checked deBoor, which throws as before.
template <bool Dir>
[[gnu::always_inline]] inline bool fastDeBoor(const Bspline& s, double u, bool weighted, Point<double>* out)
{
    const int deg = s.deg();
    if (deg < 1 || deg > Bspline::maxDegree)
        throw kBadSpline;
    const CArray<double>& kts = s.knotVector();
    const CArray<Point<double>>& cpts = s.controlPoints();
    const CArray<double>& wts = s.weightArray();
    const double* K = kts.GetData();
    const INT_PTR nKts = kts.GetSize();
    const bool bezier = isBezierKnots(K, deg, nKts) && K[0] < K[deg + 1];
    const int span = bezier ? bezierSpan(deg, K[0], K[deg + 1], &u) : findSpan(K, static_cast<int>(nKts), &u);
    const INT_PTR base = static_cast<INT_PTR>(span) - deg;
    if (base < 0 || base + deg >= cpts.GetSize() || base + 2 * deg >= nKts ||
        (weighted && base + deg >= wts.GetSize()))
        return false;
    const int b = static_cast<int>(base);
    const Point<double>* C = cpts.GetData();
    const double* W = weighted ? wts.GetData() : nullptr;
    if (bezier) {
        // The one ratio of every step (base is 0 here).
        const double alpha = (u - K[0]) / (K[deg + 1] - K[0]);
        *out = weighted ? deBoorByDegree<true, Dir, true>(deg, K, C, W, b, u, alpha)
                        : deBoorByDegree<false, Dir, true>(deg, K, C, W, b, u, alpha);
    } else {
        *out = weighted ? deBoorByDegree<true, Dir, false>(deg, K, C, W, b, u, 0.0)
                        : deBoorByDegree<false, Dir, false>(deg, K, C, W, b, u, 0.0);
    }
    return true;
}

}  // namespace

void Bspline::interval(double* u, int* span, int* mult) const
{
    *mult = 0;
    *span = findSpan(m_kts.GetData(), nKts(), u);
}

void Bspline::deBoor(double u, int rounds, bool weighted, Point<double>* P, double* W) const
{
    if (m_deg < 1 || m_deg > maxDegree)
        throw kBadSpline;
    int k = 0;
    int m = 0;
    interval(&u, &k, &m);
    const int base = k - m_deg;
    for (int j = 0; j <= m_deg; ++j) {
        P[j] = m_cpts.GetAt(base + j);
        W[j] = weighted ? m_wts.GetAt(base + j) : 1.0;
    }
    // Each round replaces work points from the top down, so that P[j - 1]
    // still holds the previous round's value when P[j] is formed.
    for (int r = 1; r <= rounds; ++r) {
        for (int j = m_deg; j >= r; --j) {
            const int i = base + j;
            const double ki = m_kts[i];
            const double alpha = (u - ki) / (m_kts[i + m_deg + 1 - r] - ki);
            if (weighted) {
                const double w = (1.0 - alpha) * W[j - 1] + alpha * W[j];
                P[j] = (P[j - 1] * ((1.0 - alpha) * W[j - 1]) + P[j] * (alpha * W[j])) / w;
                W[j] = w;
            } else {
                P[j] = P[j - 1] * (1.0 - alpha) + P[j] * alpha;
            }
        }
    }
}

void Bspline::eval(double t, Point<double>* out, double tol) const
{
    const double s = startParameter();
    const double e = endParameter();
    if (std::fabs(t - s) < tol) {
        *out = m_cpts.GetAt(0);
        return;
    }
    if (std::fabs(t - e) < tol) {
        *out = m_cpts.GetAt(m_cpts.GetSize() - 1);
        return;
    }
    // The rational path is rbsEval's, with the range already at hand.
    if (m_rational && std::fabs(t - e) < (e - s) * 1e-10) {
        *out = m_cpts.GetAt(m_cpts.GetSize() - 1);
        return;
    }
    if (fastDeBoor<false>(*this, t - m_offset, m_rational, out))
        return;
    Point<double> P[maxDegree + 1];
    double W[maxDegree + 1];
    deBoor(t - m_offset, m_deg, m_rational, P, W);
    *out = P[m_deg];
}

void Bspline::rbsEval(double t, Point<double>* out) const
{
    const double s = startParameter();
    const double e = endParameter();
    if (std::fabs(t - e) < (e - s) * 1e-10) {
        *out = m_cpts.GetAt(m_cpts.GetSize() - 1);
        return;
    }
    if (fastDeBoor<false>(*this, t - m_offset, true, out))
        return;
    Point<double> P[maxDegree + 1];
    double W[maxDegree + 1];
    deBoor(t - m_offset, m_deg, true, P, W);
    *out = P[m_deg];
}

Point<double> Bspline::direction(double t, bool weighted) const
{
    Point<double> d;
    if (fastDeBoor<true>(*this, t - m_offset, weighted, &d))
        return d;
    Point<double> P[maxDegree + 1];
    double W[maxDegree + 1];
    deBoor(t - m_offset, m_deg - 1, weighted, P, W);
    return P[m_deg] - P[m_deg - 1];
}

double Bspline::evalX(double x) const
{
    double lo = startParameter();
    double hi = endParameter();
    do {
        const double mid = (lo + hi) / 2.0;
        Point<double> P;
        eval(mid, &P, 1e-7);
        if (std::fabs(P.x - x) < 1e-10)
            return mid;
        // Far from zero the bracket can shrink to one unit in the last place
        // before it is 1e-10 wide; it can then not be halved any more.
        if (!(lo < mid && mid < hi))
            break;
        if (x < P.x)
            hi = mid;
        else
            lo = mid;
    } while (hi - lo > 1e-10);
    return -1.0;
}

void Bspline::tangent(double t, Point<double>* out) const
{
    const double s = startParameter();
    const double e = endParameter();
    const double tol = (e - s) * 1e-10;
    if (std::fabs(t - s) < tol)
        t += 1.5e-10;
    if (std::fabs(t - e) < tol)
        t -= 1.5e-10;
    if (m_rational) {
        rbsTangent(t, out);
        return;
    }
    *out = direction(t, false);
    out->normalize();
}

void Bspline::rbsTangent(double t, Point<double>* out) const
{
    *out = direction(t, true);
    out->normalize();
}

void Bspline::normal(double t, Point<double>* out) const
{
    const Point<double> n = planePerp();
    if (m_deg == 1) {
        Point<double> tg;
        tangent(t, &tg);
        *out = cross(n, tg);
        return;
    }
    const double s = startParameter();
    const double e = endParameter();
    if (std::fabs(e - t) < (e - s) * 1e-10)
        t -= 1e-10;
    if (m_rational) {
        rbsNormal(t, out);
        out->normalize();
        return;
    }
    Point<double> d = direction(t, false);
    d.normalize();
    *out = cross(n, d);
}

void Bspline::rbsNormal(double t, Point<double>* out) const
{
    Point<double> d = direction(t, true);
    d.normalize();
    *out = cross(Point<double>(0.0, 0.0, 1.0), d);
}

Point<double> Bspline::planePerp() const
{
    if (!constZ() && nPts() > 2) {
        Point<double> a = m_cpts[1] - m_cpts[0];
        Point<double> b = m_cpts[2] - m_cpts[0];
        a.normalize();
        b.normalize();
        Point<double> n = cross(a, b);
        if (n.z > 0)
            n = n * -1.0;
        n.normalize();
        return n;
    }
    return Point<double>(0.0, 0.0, 1.0);
}

bool Bspline::constZ() const
{
    const int n = nPts();
    for (int i = 1; i < n; ++i) {
        if (!floatcmp(m_cpts[i].z, m_cpts[0].z, 1e-4))
            return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Searches

double Bspline::stepSearch(const Point<double>& p, double a, double b, int depth, double tol) const
{
    const double step = (b - a) / 10.0;
    if (tol > step)
        return (a + b) / 2.0;
    double best = 1e300;
    double tBest = a;
    for (int i = 0; i < 10; ++i) {
        const double t = a + i * step;
        Point<double> C;
        eval(t, &C, 1e-7);
        C.z = p.z;
        const double d2 = (p - C).lengthSquared();
        if (d2 < tol * tol)
            return t;
        if (d2 < best) {
            best = d2;
            tBest = t;
        }
    }
    if (best < tol)
        return tBest;
    const double lo = std::max(a, tBest - step);
    const double hi = std::min(b, tBest + step);
    // Rounding can keep an interval of a few ulps from shrinking.
    if (!(hi - lo < b - a))
        return tBest;
    return stepSearch(p, lo, hi, depth + 1, tol);
}

double Bspline::splitSearch(const Point<double>& p, double a, double b, int depth, double tol) const
{
    const double step = (b - a) / 50.0;
    double best = 1e300;
    double tBest = a;
    for (int i = 0; i < 50; ++i) {
        const double t = a + i * step;
        Point<double> C;
        eval(t, &C, 1e-7);
        C.z = p.z;
        const double d = (p - C).length();
        if (d < tol)
            return t;
        if (d < best) {
            best = d;
            tBest = t;
        }
    }
    // A nearest sample at a, the interval's first, says only that the point
    // lies within the first step: keep refining until the interval itself is
    // narrower than the tolerance.
    if (b - a < tol)
        return tBest;
    const double lo = std::max(a, tBest - step);
    const double hi = std::min(b, tBest + step);
    if (!(hi - lo < b - a))
        return tBest;
    return splitSearch(p, lo, hi, depth + 1, tol);
}

double Bspline::findParmValue(const Point<double>& p, double tol) const
{
    const double s = startParameter();
    const double e = endParameter();
    if (m_deg == 1 && nPts() == 2) {
        const Point<double> S = m_cpts[0];
        const Point<double> E = m_cpts[1];
        const double len = (E - S).length();
        if ((p - S).length() > len + 1e-8)
            return -1.0;
        if (len == 0.0)
            return s;
        Point<double> dir = E - S;
        dir.normalize();
        // Signed distance along the line, so that a point behind the start
        // does not get a parameter inside the line.
        const double along = std::clamp(dot(p - S, dir), 0.0, len);
        return std::min(s + (e - s) * along / len, e);
    }
    if ((p - startPoint()).length() < tol)
        return s;
    if ((p - endPoint()).length() < tol)
        return e;
    return splitSearch(p, s, e, 0, 1e-12);
}

double Bspline::findClosestParm(const Point<double>& p) const
{
    return stepSearch(p, startParameter(), endParameter(), 0, 1e-12);
}

bool Bspline::isOn(const Point<double>& p, double* t) const
{
    *t = stepSearch(p, startParameter(), endParameter(), 0, 1e-12);
    Point<double> C;
    rbsEval(*t, &C);
    return (p - C).length() < 1e-6;
}

bool Bspline::hasCpt(double x, double y, double tol) const
{
    const Point<double> q(x, y, 0.0);
    for (const Point<double>& c : m_cpts) {
        if ((c - q).length() < tol)
            return true;
    }
    return false;
}

void Bspline::minPolylineDist(const Point<double>& p, Point<double>& foot, double* dist) const
{
    foot = Point<double>();
    *dist = 0.0;
    const int n = nPts();
    double best = 0.0;
    for (int i = 0; i + 1 < n; ++i) {
        Point<double> q = p;
        Point<double> a = m_cpts[i];
        Point<double> dir = m_cpts[i + 1] - a;
        const double len = dir.length();
        dir.normalize();
        Point<double> f;
        double d = 0.0;
        lineProjectPt(q, a, dir, len, &f, &d);
        // The nearest leg wins; the first of equal distances.
        if (i == 0 || d < best) {
            best = d;
            foot = f;
            *dist = d;
        }
    }
}

// ---------------------------------------------------------------------------
// Knots and control points

int Bspline::knotInterval(double u) const
{
    const int last = nKts() - 1;
    int lo = gKnotIntervalHint;
    int hi = lo + 1;
    if (hi >= last) {
        if (u >= m_kts.GetAt(last) - gEpsilon)
            return last;
        if (nKts() < 2)
            throw "Bspline::knotInterval:FAILURE: Only one knot value \n";
        lo = last - 1;
        hi = last;
    }
    // Hunt upward with doubling steps.
    int step = 1;
    while (u >= m_kts[hi]) {
        gKnotIntervalHint = hi;
        lo = hi;
        hi += step;
        step *= 2;
        if (hi > last) {
            if (u >= m_kts[last] - gEpsilon)
                return last;
            hi = last;
            break;
        }
    }
    // Hunt downward with doubling steps.
    step = 1;
    while (u < m_kts[lo]) {
        hi = lo;
        lo -= step;
        step *= 2;
        if (lo <= 0) {
            lo = 0;
            if (u <= m_kts[0] && u < m_kts[1]) {
                gKnotIntervalHint = 0;
                return 0;
            }
            break;
        }
    }
    // Bisect until kts[lo] <= u < kts[hi] with hi = lo + 1.
    while (hi - lo > 1) {
        const int mid = (lo + hi) / 2;
        if (u >= m_kts[mid])
            lo = mid;
        else
            hi = mid;
    }
    gKnotIntervalHint = lo;
    return lo;
}

void Bspline::resetKnotInterval()
{
    gKnotIntervalHint = 0;
}

int Bspline::multiplicity(double u) const
{
    int count = 0;
    for (double k : m_kts) {
        if (floatcmp(k, u, 1e-8))
            ++count;
    }
    return count - 1;
}

int Bspline::multknots(int i) const
{
    const double k = m_kts.GetAt(i);
    const int n = nKts();
    int run = 1;
    while (run < m_deg + 1 && i + run < n && m_kts[i + run] == k)
        ++run;
    return run;
}

bool Bspline::multInteriorKnots() const
{
    return multknots(m_deg + 1) == m_deg + 1;
}

int Bspline::cptIndex(int i) const
{
    if (multInteriorKnots())
        return i - (i + 1) / (m_deg + 1) - m_deg + 1;
    return i - m_deg;
}

void Bspline::resizeArrays()
{
    geometry_edits::note();
    m_kts.FreeExtra();
    m_cpts.FreeExtra();
    m_wts.FreeExtra();
}

void Bspline::adjustKnots()
{
    geometry_edits::note();
    double L = 0.0;
    for (int i = 0; i + 1 < nPts(); ++i)
        L += (m_cpts[i + 1] - m_cpts[i]).length();
    const double s = startParameter();
    const double e = endParameter();
    if (e == s)
        return;  // no range to rescale
    for (double& k : m_kts)
        k = (k + m_offset - s) / (e - s) * L;
}

void Bspline::reverse()
{
    geometry_edits::note();
    const int N = nPts();
    const int m = nKts() - 1;
    for (int i = 0, j = N - 1; i < j; ++i, --j) {
        std::swap(m_cpts[i], m_cpts[j]);
        std::swap(m_wts.ElementAt(i), m_wts.ElementAt(j));
    }
    if (m >= 0) {
        const CArray<double> old(m_kts);
        const double end = old.GetAt(N);
        for (int j = 0; j <= m; ++j)
            m_kts[j] = end - old[m - j];
    }
    verify();
}

void Bspline::deletePolygon()
{
    m_polygon.RemoveAll();
}

bool Bspline::operator==(const Bspline& o) const
{
    if (m_offset != o.m_offset || m_rational != o.m_rational || m_deg != o.m_deg)
        return false;
    if (nKts() != o.nKts() || nPts() != o.nPts() || m_wts.GetSize() != o.m_wts.GetSize())
        return false;
    for (int i = 0; i < nKts(); ++i) {
        if (std::fabs(m_kts[i] - o.m_kts[i]) > 1e-6)
            return false;
    }
    for (int i = 0; i < nPts(); ++i) {
        if ((m_cpts[i] - o.m_cpts[i]).length() > 1e-6)
            return false;
    }
    for (INT_PTR i = 0; i < m_wts.GetSize(); ++i) {
        if (std::fabs(m_wts[i] - o.m_wts[i]) > 1e-6)
            return false;
    }
    return true;
}

bool Bspline::verify(bool /*unused*/) const
{
    if (!validShape(m_deg, m_kts, m_wts, m_cpts))
        throw kBadSpline;
    return true;
}

// ---------------------------------------------------------------------------
// Archive

void Bspline::Serialize(CArchive& ar)
{
    geometry_edits::note();
    if (ar.IsStoring())
        write(ar);
    else
        read(ar);
}

void Bspline::write(CArchive& ar) const
{
    verify();
    ar << CString(L"Bspline");
    ar << m_closed << m_nPolySegs << m_deg << m_offset << m_rational;
    ar.WriteCount(static_cast<DWORD_PTR>(m_cpts.GetSize()));
    for (const Point<double>& p : m_cpts)
        ar << p.x << p.y << p.z;
    ar.WriteCount(static_cast<DWORD_PTR>(m_wts.GetSize()));
    for (double w : m_wts)
        ar << w;
    ar.WriteCount(static_cast<DWORD_PTR>(m_kts.GetSize()));
    for (double k : m_kts)
        ar << k;
    ar << 0.0 << 0;
}

void Bspline::read(CArchive& ar)
{
    geometry_edits::note();
    CString name;  // the class text, not checked
    ar >> name;
    int closed = 0;
    int nPolySegs = 0;
    int deg = 0;
    double offset = 0.0;
    bool rational = false;
    ar >> closed >> nPolySegs >> deg >> offset >> rational;
    // The arrays load in slices, so a corrupt count ends at the end of the
    // data instead of allocating for elements that are not there.
    CArray<Point<double>> cpts;
    CArray<double> wts;
    CArray<double> kts;
    cpts.Serialize(ar);
    wts.Serialize(ar);
    kts.Serialize(ar);
    double reservedDouble = 0.0;
    int reservedInt = 0;
    ar >> reservedDouble >> reservedInt;
    // A record that does not describe a valid spline leaves this object as
    // it was. A stored curve has at least one control point: a record
    // without any says nothing of its degree, which no later query may
    // then trust.
    if (cpts.GetSize() == 0 || !validShape(deg, kts, wts, cpts))
        throw kBadSpline;
    m_closed = closed;
    m_nPolySegs = nPolySegs;
    m_deg = deg;
    m_offset = offset;
    m_rational = rational;
    m_cpts = cpts;
    m_wts = wts;
    m_kts = kts;
    m_polygon.RemoveAll();
}
