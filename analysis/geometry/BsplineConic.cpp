// Conic and circular arcs as rational quadratic B-splines, the circle data
// of such an arc, the circle through three points and the radius of
// curvature.
//
// The weights of a rational quadratic are kept in normalised form: a corner
// (middle) control point has weight s, its two neighbours 1 - s, which is
// the ordinary corner weight w = s / (1 - s) scaled so that the pair sums to 1.
#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/Conic.h"
#include "analysis/geometry/LineIntersection.h"
#include "analysis/geometry/PlanarGeometry.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = kPi * 2.0;

const char* const kBadSpline = "Bad spline\n";

bool finite(const Point<double>& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// Every control point, weight and knot is a finite number.
bool allFinite(const CArray<Point<double>>& cpts, const CArray<double>& wts,
               const CArray<double>& kts)
{
    return std::all_of(cpts.begin(), cpts.end(), finite) &&
           std::all_of(wts.begin(), wts.end(), [](double w) { return std::isfinite(w); }) &&
           std::all_of(kts.begin(), kts.end(), [](double k) { return std::isfinite(k); });
}

// Knot factors of a circle of three segments, as every stored circle has them.
constexpr double kThird = 0.3333333;
constexpr double kTwoThirds = 0.66666667;

}  // namespace

// ---------------------------------------------------------------------------
// Construction

Bspline::Bspline(Point<double>* centre, Point<double>* start, Point<double>* end,
                 Point<double>* normal)
{
    const Point<double> O = *centre;
    const Point<double> A = *start;
    const Point<double> B = *end;
    normal->normalize();
    const Point<double> N = *normal;
    const double r = (A - O).length();
    // No circle without a radius and a plane.
    if (!(r > 0.0) || !std::isfinite(r) || !(N.length() > 0.5))
        throw kBadSpline;
    Point<double> X = A - O;
    X.normalize();
    const Point<double> Y = cross(N, X);
    m_deg = 2;
    m_rational = true;
    m_offset = 0.0;
    if (start == end)
        m_closed = 1;

    // The sweep: the angle between the radii, or its complement when the end
    // lies clockwise of the start.
    const double phi = std::acos(std::clamp(dot(B - O, A - O) / (r * r), -1.0, 1.0));
    const Point<double> V = O + X * (r * std::cos(phi)) + Y * (r * std::sin(phi));
    const double h = std::max(r, V.length());
    double theta = (V - B).length() / h < 1e-6 ? phi : kTwoPi - phi;
    if (std::fabs(theta) < 1e-6)
        theta = kTwoPi;

    // At most 120 degrees per segment; the slack keeps an exact third or
    // two thirds of a turn from gaining a segment by rounding.
    const int m = std::clamp(static_cast<int>(std::ceil(3.0 * theta / kTwoPi - 1e-9)), 1, 3);
    const double alpha = theta / (2.0 * m);
    const double ca = std::cos(alpha);
    const double s = ca / (1.0 + ca);

    m_cpts.SetSize(2 * m + 1);
    m_wts.SetSize(2 * m + 1);
    for (int j = 0; j <= m; ++j) {
        const double a = j * theta / m;
        m_cpts[2 * j] = O + X * (r * std::cos(a)) + Y * (r * std::sin(a));
        m_wts[2 * j] = 1.0 - s;
    }
    for (int j = 1; j <= m; ++j) {
        const Point<double> M = (m_cpts[2 * j - 2] + m_cpts[2 * j]) / 2.0;
        m_cpts[2 * j - 1] = O + (M - O) / (ca * ca);
        m_wts[2 * j - 1] = s;
    }

    const double L = r * theta;
    static const double factors[3][4] = {
        {1.0, 1.0, 1.0, 1.0}, {0.5, 0.5, 1.0, 1.0}, {kThird, kThird, kTwoThirds, kTwoThirds}};
    m_kts.SetSize(2 * m + 4);
    for (int i = 0; i < 3; ++i) {
        m_kts[i] = 0.0;
        m_kts[2 * m + 1 + i] = L;
    }
    for (int i = 0; i < 2 * m - 2; ++i)
        m_kts[3 + i] = factors[m - 1][i] * L;
    m_nPolySegs = 2 * m - 1;
    verify();
}

Bspline::Bspline(int deg, int nPts, Point<double>* cpts, double* wts, int nKts, double* kts)
{
    m_deg = deg;
    m_nPolySegs = nPts - deg;
    m_cpts.SetSize(nPts);
    m_wts.SetSize(nPts);
    m_kts.SetSize(nKts);
    for (int i = 0; i < nPts; ++i) {
        m_cpts[i] = cpts[i];
        m_wts[i] = wts[i];
    }
    for (int i = 0; i < nKts; ++i)
        m_kts[i] = kts[i];
    updateRational();
    m_offset = m_kts.GetAt(0);
    if (!allFinite(m_cpts, m_wts, m_kts))
        throw kBadSpline;
    verify();
}

// ---------------------------------------------------------------------------
// General conic arcs

namespace {

// One rational quadratic segment: end points p0, p2, corner p1, corner weight s.
struct ConicSegment {
    Point<double> p0, p1, p2;
    double s;
};

// The ordinary corner weight of the half of a segment with normalised corner
// weight s, in normalised form.
double halfWeight(double s)
{
    return 1.0 / (std::sqrt(2.0 * (1.0 - s)) + 1.0);
}

// The two halves of a segment split at its middle.
void splitSegment(const ConicSegment& seg, ConicSegment* a, ConicSegment* b)
{
    const Point<double> c1 = seg.p0 * (1.0 - seg.s) + seg.p1 * seg.s;
    const Point<double> c2 = seg.p2 * (1.0 - seg.s) + seg.p1 * seg.s;
    const Point<double> M = (c1 + c2) / 2.0;
    const double w = halfWeight(seg.s);
    *a = {seg.p0, c1, M, w};
    *b = {M, c2, seg.p2, w};
}

// Length estimate of a segment: its chord plus s times what the control
// polygon adds to it.
double segmentLength(const ConicSegment& seg)
{
    const double chord = (seg.p2 - seg.p0).length();
    return chord + seg.s * ((seg.p0 - seg.p1).length() + (seg.p2 - seg.p1).length() - chord);
}

// The spline of one segment, or of two consecutive segments of equal weight.
Bspline* conicSpline(const ConicSegment& a, const ConicSegment* b)
{
    const double W = segmentLength(a);
    const double s = a.s;
    if (b == nullptr) {
        Point<double> cpts[3] = {a.p0, a.p1, a.p2};
        double wts[3] = {1.0 - s, s, 1.0 - s};
        double kts[6] = {0.0, 0.0, 0.0, W, W, W};
        return new Bspline(2, 3, cpts, wts, 6, kts);
    }
    Point<double> cpts[5] = {a.p0, a.p1, a.p2, b->p1, b->p2};
    double wts[5] = {1.0 - s, s, 1.0 - s, s, 1.0 - s};
    double kts[8] = {0.0, 0.0, 0.0, W, W, 2.0 * W, 2.0 * W, 2.0 * W};
    return new Bspline(2, 5, cpts, wts, 8, kts);
}

}  // namespace

Bspline* conicBspline(Point<double>& P0, Point<double>& T0in, Point<double>& S, Point<double>& P2,
                      Point<double>& T2in)
{
    // The caller's tangents are not changed.
    Point<double> T0 = T0in;
    Point<double> T2 = T2in;
    const Point<double> D = P2 - P0;
    Point<double> N0 = cross(D, T0);
    Point<double> N2 = cross(D, T2);
    if (dot(N0, N2) < 0.0) {
        T2 = T2 * -1.0;
        N2 = N2 * -1.0;
    }
    const Point<double> a0 = P0 - S;
    const Point<double> a2 = P2 - S;
    const double K = dot(cross(T0, a0), N0);
    const double J = dot(cross(a2, T2), N2);
    if (K * J < 0.0)
        throw "Shoulder point not interior to principal wedges or endpoints on different branches of hyperbola;";
    if (J < 0.0 && K < 0.0)
        throw "Conic segment is an unbounded portion of hyperbola.";
    const Point<double> base = cross(a0, a2);
    const double A = base.length();
    if (A < 1e-15)
        throw "Shoulder point on base line; conic degenerate;";

    const double Q = cross(T0, T2).length() / (T0.length() * T2.length());
    if (Q >= 1e-15) {
        if (dot(N0, cross(T0, T2)) < 0.0) {
            T0 = T0 * -1.0;
            T2 = T2 * -1.0;
            N0 = N0 * -1.0;
        }
        const double c = cross(T0, a0).length();
        const double F = cross(a2, T2).length();
        const double d = N0.length();
        const double e = N2.length();
        const double h = cross(T0, T2).length();
        // Multiples of T0 and T2 that reach the meeting point of the tangent lines.
        const double E = e / h;
        const double G = d / h;
        double s = (A / E) / (2.0 * std::sqrt(c * F) * std::sqrt(d / e) + A / E);
        const bool farSide = dot(base, N0) < 0.0;
        if (farSide && 0.5 - s < 1e-15)
            throw "Conic segment unbounded";
        // Beyond the chord the arc takes the complementary (negative) weight.
        if (farSide)
            s = s / (2.0 * s - 1.0);
        if (Q > 0.1) {
            const ConicSegment seg{P0, P0 + T0 * E, P2, s};
            if (!farSide)
                return conicSpline(seg, nullptr);
            ConicSegment first;
            ConicSegment second;
            splitSegment(seg, &first, &second);
            return conicSpline(first, &second);
        }
        // Nearly parallel tangents: the corners of the two halves are taken
        // from each end, not through the far meeting point.
        const Point<double> C1 = P0 + T0 * (E * s);
        const Point<double> C2 = P2 + T2 * (G * s);
        const Point<double> M = (C1 + C2) / 2.0;
        const double w = halfWeight(s);
        const ConicSegment first{P0, C1, M, w};
        const ConicSegment second{M, C2, P2, w};
        return conicSpline(first, &second);
    }

    // Parallel tangents: half an ellipse with P0 P2 as diameter, as two
    // quarters whose corners lie g T0 from the ends. With the shoulder at
    // (cos t, sin t) in the ellipse's conjugate frame, the three cross
    // products below are 2 sin t, (1 - cos t) and (1 + cos t) times the
    // frame's area, so g = A / (2 sqrt(c c')) is the conjugate semi-axis.
    if (dot(base, N0) < 0.0)
        T0 = T0 * -1.0;
    const double g =
        A / (2.0 * std::sqrt(cross(T0, a0).length() * cross(T0, a2).length()));
    const Point<double> C1 = P0 + T0 * g;
    const Point<double> C2 = P2 + T0 * g;
    const Point<double> M = (C1 + C2) / 2.0;
    const double w = 1.0 / (std::sqrt(2.0) + 1.0);
    const ConicSegment first{P0, C1, M, w};
    const ConicSegment second{M, C2, P2, w};
    return conicSpline(first, &second);
}

// ---------------------------------------------------------------------------
// Circle data of an arc

namespace {

// Direction of v counter-clockwise from +x in [0, 2pi).
double directionAngle(const Point<double>& v)
{
    Point<double> w = v;
    return counterClockwiseAngle(&w);
}

}  // namespace

bool Bspline::circleArgs(Point<double>* centre, Point<double>* start, Point<double>* end,
                         Point<double>* corner, double* startAngle, double* endAngle) const
{
    const double s0 = startParameter();
    const double s1 = endParameter();
    eval(s0, start, 1e-7);
    eval(s1, end, 1e-7);
    Point<double> N0;
    Point<double> N1;
    normal(s0, &N0);
    normal(s1, &N1);
    Point<double> c = *end - *start;

    if (dot(N0, N1) + 1.0 < 0.001) {
        // Half circle: the ends are opposite.
        *centre = (*start + *end) / 2.0;
        *startAngle = directionAngle(*start - *centre);
        *endAngle = directionAngle(*end - *centre);
        if (*endAngle < *startAngle)
            *endAngle += kTwoPi;
        return true;
    }

    if (c.length() >= 1e-8) {
        // Open arc: the centre where the end normals meet, the corner where
        // the end tangents meet.
        c.normalize();
        if (dot(N0, c) < 0.0)
            N0 = N0 * -1.0;
        if (dot(N1, c) < 0.0)
            N1 = N1 * -1.0;
        Point<double> a = *start;
        Point<double> b = *start + N0 * 1e8;
        Point<double> e0 = *end;
        Point<double> e1 = *end + N1 * 1e8;
        if (lineX(a, b, e0, e1, centre) != errNone)
            *centre = (*start + *end) / 2.0;
        Point<double> t0;
        Point<double> t1;
        tangent(s0, &t0);
        tangent(s1, &t1);
        Point<double> ta = *start + t0 * 100.0;
        Point<double> tb = *end - t1 * 100.0;
        Point<double> sa = *start;
        Point<double> sb = *end;
        if (lineX(sa, ta, sb, tb, corner) != errNone)
            *corner = *centre + t0 * (*start - *centre).length();
        Point<double> xAxis(1.0, 0.0, 0.0);
        Point<double> vs = *start - *centre;
        Point<double> ve = *end - *centre;
        *startAngle = clockwiseAngle(&xAxis, &vs);
        *endAngle = clockwiseAngle(&xAxis, &ve);
        if (*endAngle < *startAngle)
            *endAngle += kTwoPi;
        return false;
    }

    // Full circle: the centre where the normal at the start meets the normal
    // a quarter of the way round.
    const double t = s0 + (s1 - s0) / 4.0;
    Point<double> q;
    Point<double> Nq;
    eval(t, &q, 1e-7);
    normal(t, &Nq);
    Point<double> a = *start;
    Point<double> b = *start + N0;
    Point<double> qb = q + Nq;
    lineX(a, b, q, qb, centre);
    *startAngle = directionAngle(*start - *centre);
    *endAngle = *startAngle + kTwoPi;
    return true;
}

// ---------------------------------------------------------------------------
// Circle through three points

void Circle3Pt(Point<double>* P1, Point<double>* P2, Point<double>* P3, double* radius,
               Point<double>* centre)
{
    if ((*P2 - *P1).length() < 1e-6 || (*P2 - *P3).length() < 1e-6)
        throw "Invalid arguments";
    if (colinear(P1, P2, P3)) {
        *radius = -1.0;
        return;
    }
    // The centre is where the perpendicular bisectors of P1P2 and P3P2 meet.
    const Point<double> d1 = *P2 - *P1;
    const Point<double> d3 = *P2 - *P3;
    Point<double> M1 = *P1 + d1 / 2.0;
    Point<double> M3 = *P3 + d3 / 2.0;
    Point<double> B1(-d1.y, d1.x, 0.0);
    Point<double> B3(-d3.y, d3.x, 0.0);
    B1.normalize();
    B3.normalize();
    XLnLn(M1, B1, M3, B3, *centre);
    *radius = (*P1 - *centre).length();
    if (std::fabs((*P2 - *centre).length() - *radius) > 1e-5)
        throw std::logic_error("3 point circle failed");
}

void circleTangent3Pt(Point<double>* P1, Point<double>* P2, Point<double>* P3, Point<double>* T)
{
    double r = 0.0;
    Point<double> C;
    Circle3Pt(P1, P2, P3, &r, &C);
    if (r <= 0.0) {
        *T = *P1 - *P2;
        return;
    }
    Point<double> u = *P1 - C;
    u.normalize();
    Point<double> d = *P2 - *P1;
    d.normalize();
    if (std::fabs(dot(d, u)) <= 1e-4) {
        d = *P3 - *P1;
        d.normalize();
    }
    // Perpendicular to the radius in the plane of the radius and d, turned
    // away from the neighbouring points.
    Point<double> n = cross(u, d);
    n.normalize();
    Point<double> t = cross(n, u);
    t.normalize();
    if (dot(t, d) > 0.0)
        t = t * -1.0;
    *T = t;
}

// ---------------------------------------------------------------------------
// Curvature

double Bspline::radiusCurvature(double t) const
{
    const double s0 = startParameter();
    const double s1 = endParameter();
    const double delta = (s1 - s0) / 1000.0;
    double t0 = 0.0;
    double t1 = 0.0;
    if (t - s0 < delta) {
        t0 = t;
        t1 = s0 + delta;
    } else if (s1 - t < delta) {
        t0 = t;
        t1 = s1 - delta;
    } else {
        t0 = t - delta / 2.0;
        t1 = t0 + delta;
    }
    t1 = std::clamp(t1, s0, s1);
    Point<double> n0;
    Point<double> n1;
    normal(t0, &n0);
    normal(t1, &n1);
    // Rounding can carry the cosine of two equal normals past 1.
    const double alpha = std::acos(std::clamp(dot(n0, n1), -1.0, 1.0)) / 2.0;
    const double sa = std::sin(alpha);
    // Normals that do not turn: a straight stretch has no finite radius.
    if (sa == 0.0)
        return std::numeric_limits<double>::infinity();
    Point<double> p0;
    Point<double> p1;
    eval(t0, &p0, 1e-7);
    eval(t1, &p1, 1e-7);
    return ((p0 - p1).length() / 2.0) / sa;
}
