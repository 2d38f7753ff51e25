// Cubic interpolation through points: the open fit with given end tangents
// (a tridiagonal system solved by LAPACK DGTSV), the closed periodic fit,
// the interpolating constructor with its end conditions, and the cubic
// approximation of a rational curve.
#include "analysis/geometry/Bspline.h"

#include <cmath>
#include <vector>

#include "analysis/geometry/Conic.h"
#include "analysis/geometry/Lapack.h"
#include "analysis/geometry/PowerSeries.h"

namespace {

const char* const kBadSpline = "Bad spline\n";

bool finite(const Point<double>& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// Chord lengths |P[j+1] - P[j]| of n points; a zero chord (coincident
// consecutive points) or a non-finite one leaves no parameter to fit with.
std::vector<double> chordLengths(const Point<double>* P, int n)
{
    std::vector<double> chords(static_cast<std::size_t>(n - 1));
    for (int j = 0; j + 1 < n; ++j) {
        const double d = (P[j + 1] - P[j]).length();
        if (!(d > 0.0) || !std::isfinite(d))
            throw kBadSpline;
        chords[static_cast<std::size_t>(j)] = d;
    }
    return chords;
}

// Solves the tridiagonal system (sub, diag, super) for nrhs right-hand
// sides stored column by column in rhs (n rows each), in place. A pivot
// that vanishes means the system has no unique solution.
void solveTridiagonal(std::vector<double>& sub, std::vector<double>& diag,
                      std::vector<double>& super, std::vector<double>& rhs, int nrhs)
{
    const int n = static_cast<int>(diag.size());
    int info = 0;
    dgtsv_(&n, &nrhs, sub.data(), diag.data(), super.data(), rhs.data(), &n, &info);
    if (info != 0)
        throw kBadSpline;
}

// The unit tangent pair of an end condition, both pointing away from the
// curve, for n >= 3 points.
void quadraticEndTangents(Point<double>* p, int n, Point<double>* t0, Point<double>* t1)
{
    PowerSeries start;
    start.quadratic(&p[0], &p[1], &p[2]);
    *t0 = Point<double>(-1.0, -start.D(1, p[0].x), 0.0);
    PowerSeries end;
    end.quadratic(&p[n - 3], &p[n - 2], &p[n - 1]);
    *t1 = Point<double>(1.0, end.D(1, p[n - 1].x - 1e-5), 0.0);
    t0->normalize();
    t1->normalize();
}

void circleEndTangents(Point<double>* p, int n, Point<double>* t0, Point<double>* t1)
{
    circleTangent3Pt(&p[0], &p[1], &p[2], t0);
    circleTangent3Pt(&p[n - 1], &p[n - 2], &p[n - 3], t1);
    t0->normalize();
    t1->normalize();
}

}  // namespace

// ---------------------------------------------------------------------------
// Interpolating constructor

Bspline::Bspline(Point<double>* p, int n, int closed, endCondition ec, Point<double>* startTangent,
                 Point<double>* endTangent, bool normalise)
    : m_closed(closed), m_deg(3)
{
    if (closed != 0) {
        fitClosed(p, n);
    } else {
        Point<double> t0;
        Point<double> t1;
        switch (ec) {
        case endQuadratic:
        case endCircle:
            // Both read the third point from each end, and coincident
            // points are refused before their tangents are sought.
            if (p == nullptr || n < 3)
                throw kBadSpline;
            chordLengths(p, n);
            if (ec == endQuadratic)
                quadraticEndTangents(p, n, &t0, &t1);
            else
                circleEndTangents(p, n, &t0, &t1);
            break;
        case endTangents:
            if (startTangent == nullptr || endTangent == nullptr)
                throw kBadSpline;
            startTangent->normalize();
            endTangent->normalize();
            t0 = *startTangent;
            t1 = *endTangent;
            break;
        default:
            return;  // no fit: the arrays stay empty
        }
        fitOpen(p, n, &t0, &t1);
    }
    m_closed = closed;
    // Normalising maps the parameter range onto [0, 1].
    if (normalise && nKts() > 0) {
        const double L = m_kts[nKts() - 1];
        if (L > 0.0) {
            for (double& k : m_kts)
                k /= L;
        }
    }
}

// ---------------------------------------------------------------------------
// Open fit

void Bspline::fitOpen(Point<double>* P, int n, Point<double>* t0, Point<double>* t1)
{
    geometry_edits::note();
    if (P == nullptr || t0 == nullptr || t1 == nullptr || n < 2)
        throw kBadSpline;
    const std::vector<double> chords = chordLengths(P, n);
    // Δ[j] with Δ[-2] = Δ[-1] = Δ[n-1] = 0.
    auto delta = [&](int j) { return j < 0 || j > n - 2 ? 0.0 : chords[static_cast<std::size_t>(j)]; };

    // Knots: four zeros, the accumulated chord lengths, the total three more times.
    CArray<double> kts;
    kts.SetSize(n + 6);
    for (int j = 4; j <= n + 2; ++j)
        kts[j] = kts[j - 1] + delta(j - 4);
    for (int j = n + 3; j <= n + 5; ++j)
        kts[j] = kts[n + 2];

    // Unknowns D[1] .. D[n] (rows 0 .. n-1); the first and last rows fix the
    // end legs from the tangents, each inner row makes the curve pass
    // through P[i] at its knot.
    const std::size_t N = static_cast<std::size_t>(n);
    std::vector<double> sub(N - 1, 0.0);
    std::vector<double> diag(N, 1.0);
    std::vector<double> super(N - 1, 0.0);
    std::vector<double> rhs(3 * N);
    auto setRow = [&](int row, const Point<double>& v) {
        rhs[static_cast<std::size_t>(row)] = v.x;
        rhs[N + static_cast<std::size_t>(row)] = v.y;
        rhs[2 * N + static_cast<std::size_t>(row)] = v.z;
    };
    setRow(0, P[0] - *t0 * (delta(0) / 3.0));
    setRow(n - 1, P[n - 1] - *t1 * (delta(n - 2) / 3.0));
    for (int i = 1; i <= n - 2; ++i) {
        const double dm2 = delta(i - 2);
        const double dm1 = delta(i - 1);
        const double d0 = delta(i);
        const double d1 = delta(i + 1);
        const double left = dm2 + dm1 + d0;
        const double right = dm1 + d0 + d1;
        const std::size_t r = static_cast<std::size_t>(i);
        sub[r - 1] = d0 * d0 / left;
        diag[r] = d0 * (dm2 + dm1) / left + dm1 * (d0 + d1) / right;
        super[r] = dm1 * dm1 / right;
        setRow(i, P[i] * (dm1 + d0));
    }
    solveTridiagonal(sub, diag, super, rhs, 3);

    CArray<Point<double>> cpts;
    cpts.SetSize(n + 2);
    cpts[0] = P[0];
    for (std::size_t r = 0; r < N; ++r)
        cpts[static_cast<INT_PTR>(r) + 1] = Point<double>(rhs[r], rhs[N + r], rhs[2 * N + r]);
    cpts[n + 1] = P[n - 1];
    // Non-finite tangents or points would reach the document as NaN control points.
    for (const Point<double>& c : cpts) {
        if (!finite(c))
            throw kBadSpline;
    }

    CArray<double> wts;
    wts.SetSize(n + 2);
    for (double& w : wts)
        w = 1.0;

    // Only a complete fit replaces the spline's arrays.
    m_kts = kts;
    m_cpts = cpts;
    m_wts = wts;
    m_deg = 3;
    m_nPolySegs = n - 1;
}

// ---------------------------------------------------------------------------
// Closed fit

void Bspline::fitClosed(Point<double>* P, int n)
{
    geometry_edits::note();
    if (P == nullptr || n < 1)
        throw kBadSpline;
    // The last point may repeat the first; the loop closes back to P[0] either way.
    int m = n;
    if (n > 1 && (P[n - 1] - P[0]).length() == 0.0)
        m = n - 1;
    if (m < 3)
        throw kBadSpline;  // two points do not enclose anything
    std::vector<Point<double>> loop(P, P + m);
    loop.push_back(P[0]);
    const std::vector<double> h = chordLengths(loop.data(), m + 1);

    // Slopes s_i (derivatives by chord length) of the periodic C² cubic at
    // the m distinct points, indices taken cyclically:
    //   h_i s_{i-1} + 2 (h_{i-1} + h_i) s_i + h_{i-1} s_{i+1}
    //     = 3 (h_i (P_i - P_{i-1}) / h_{i-1} + h_{i-1} (P_{i+1} - P_i) / h_i).
    // The cyclic matrix is the tridiagonal one plus two corners; by the
    // Sherman-Morrison formula its solution is x - z (v.x)/(1 + v.z), with
    // x and z solutions of the tridiagonal matrix less u vᵀ, u = (g, 0 .. 0,
    // cLast), v = (1, 0 .. 0, a0/g).
    const std::size_t M = static_cast<std::size_t>(m);
    auto H = [&](int i) { return h[static_cast<std::size_t>((i + m) % m)]; };
    auto Q = [&](int i) { return loop[static_cast<std::size_t>((i + m) % m)]; };
    std::vector<double> sub(M - 1), diag(M), super(M - 1);
    std::vector<double> rhs(4 * M, 0.0);  // x, y, z and the correction column u
    for (int i = 0; i < m; ++i) {
        const double hm = H(i - 1);
        const double h0 = H(i);
        const std::size_t r = static_cast<std::size_t>(i);
        diag[r] = 2.0 * (hm + h0);
        if (i > 0)
            sub[r - 1] = h0;
        if (i < m - 1)
            super[r] = hm;
        const Point<double> b = ((Q(i) - Q(i - 1)) * (h0 / hm) + (Q(i + 1) - Q(i)) * (hm / h0)) * 3.0;
        rhs[r] = b.x;
        rhs[M + r] = b.y;
        rhs[2 * M + r] = b.z;
    }
    const double a0 = H(0);         // row 0, column m - 1
    const double cLast = H(m - 2);  // row m - 1, column 0
    const double g = -diag[0];
    diag[0] -= g;
    diag[M - 1] -= a0 * cLast / g;
    rhs[3 * M] = g;
    rhs[3 * M + M - 1] = cLast;
    solveTridiagonal(sub, diag, super, rhs, 4);

    const double* z = &rhs[3 * M];
    const double denominator = 1.0 + z[0] + a0 * z[M - 1] / g;
    if (!(std::fabs(denominator) > 0.0))
        throw kBadSpline;
    double slope[3];
    for (std::size_t c = 0; c < 3; ++c) {
        const double* x = &rhs[c * M];
        slope[c] = x[0] - z[0] * (x[0] + a0 * x[M - 1] / g) / denominator;
    }

    // The clamped cubic through the closed loop with the periodic slope at
    // both ends is the periodic spline itself (the interpolant with given
    // end slopes is unique), and it starts and ends at a control point as
    // every evaluator expects.
    Point<double> V(slope[0], slope[1], slope[2]);
    Point<double> t0 = V * -1.0;
    fitOpen(loop.data(), m + 1, &t0, &V);
    m_closed = 1;
}

// ---------------------------------------------------------------------------
// Cubic approximation

Bspline* Bspline::nonRationalApprox()
{
    const double s = startParameter();
    const double e = endParameter();
    Point<double> pts[10];
    for (int i = 0; i < 10; ++i)
        eval(s + i * (e - s) / 9.0, &pts[i], 1e-7);
    Point<double> t0;
    Point<double> t1;
    tangent(s, &t0);
    tangent(e, &t1);
    t0 = t0 * -1.0;  // both tangents point away from the curve
    // Always an open fit: the closed flag of most splines is unset.
    return new Bspline(pts, 10, 0, endTangents, &t0, &t1, false);
}
