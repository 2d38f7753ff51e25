// Parametric splines to Bezier pieces and B-splines; the planarity test.

#include "drevoline/iges/IgesCurveConversion.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/PlanarGeometry.h"
#include "analysis/geometry/Tolerance.h"
#include "analysis/model/Globals.h"

namespace {

// The degree of p, checked against the coefficient array.
int checkedDegree(const PolynomialPoints& p)
{
    if (p.degree < 0 || p.degree > PolynomialPoints::maxDegree)
        throw std::logic_error("Polynomial degree out of range");
    return p.degree;
}

bool isFinite(const Point<double>& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// The power series at s.
Point<double> evalPowerSeries(const PowerSeriesPolynomial& p, double s)
{
    Point<double> v = p.coefficients[checkedDegree(p)];
    for (int k = p.degree - 1; k >= 0; --k)
        v = v * s + p.coefficients[k];
    return v;
}

BezierPolynomial bezierFrom(int degree, const std::vector<Point<double>>& points,
                            const std::vector<int>& indices)
{
    BezierPolynomial b;
    b.degree = degree;
    for (int i = 0; i <= degree; ++i)
        b.coefficients[i] = points[indices[i]];
    return b;
}

// Why the breakpoints of `data` cannot carry its pieces, or null when they can.
const char* breakpointFault(const ParametricSplineData& data)
{
    const size_t pieces = data.bezierPieces.size();
    if (pieces == 0)
        return "no pieces";
    if (data.breakpoints.size() != pieces + 1)
        return "breakpoints do not match the pieces";
    for (size_t i = 0; i < pieces; ++i) {
        if (!(data.breakpoints[i] < data.breakpoints[i + 1]) || !std::isfinite(data.breakpoints[i + 1]))
            return "breakpoints do not increase";
    }
    const int degree = data.bezierPieces.front().degree;
    if (degree < 1)
        return "degree below 1";
    for (const BezierPolynomial& b : data.bezierPieces) {
        if (b.degree != degree)
            return "pieces of different degrees";
        for (int i = 0; i <= degree; ++i) {
            if (!isFinite(b.coefficients[i]))
                return "control point not finite";
        }
    }
    return nullptr;
}

}  // namespace

int binomial(int n, int k)
{
    if (k < 0 || k > n)
        return 0;
    const int m = k < n - k ? k : n - k;
    long long r = 1;
    for (int i = 1; i <= m; ++i)
        r = r * (n - m + i) / i;  // each step is an exact binomial
    return static_cast<int>(r);
}

BezierPolynomial powerToBezier(const PowerSeriesPolynomial& p)
{
    const int n = checkedDegree(p);
    BezierPolynomial b;
    b.degree = n;
    for (int k = 0; k <= n; ++k) {
        Point<double> sum;
        for (int j = 0; j <= k; ++j)
            sum += p.coefficients[j] * (static_cast<double>(binomial(k, j)) / binomial(n, j));
        b.coefficients[k] = sum;
    }
    return b;
}

Point<double> evalBezierChecked(const BezierPolynomial& p, double u, double u0)
{
    const int n = checkedDegree(p);
    const double t = u - u0;
    double basis[PolynomialPoints::maxDegree + 1];
    for (int i = 0; i <= n; ++i)
        basis[i] = binomial(n, i) * intPower(t, i) * intPower(1.0 - t, n - i);
    // The end values exactly, where rounding would lose them.
    if (n == 0)
        basis[0] = 1.0;
    if (std::fabs(1.0 - t) < gEpsilon)
        basis[n] = 1.0;
    if (std::fabs(t) < gEpsilon)
        basis[0] = 1.0;
    Point<double> out;
    double sum = 0.0;
    for (int i = 0; i <= n; ++i) {
        out += p.coefficients[i] * basis[i];
        sum += basis[i];
    }
    if (std::fabs(sum - 1.0) > 1e-9)
        std::fputs("Not a partition of unity", stderr);
    return out;
}

DeCasteljauTriangle splitBezier(const BezierPolynomial& p, double u)
{
    const int n = checkedDegree(p);
    DeCasteljauTriangle tri;
    tri.degree = n;
    tri.points.reserve(static_cast<size_t>((n + 1) * (n + 2) / 2));
    for (int i = 0; i <= n; ++i)
        tri.points.push_back(p.coefficients[i]);
    tri.levelFirst.push_back(0);
    tri.levelLast.push_back(n);
    for (int r = 1; r <= n; ++r) {
        const int prev = tri.levelFirst[r - 1];
        tri.levelFirst.push_back(static_cast<int>(tri.points.size()));
        for (int i = 0; i <= n - r; ++i) {
            const Point<double> a = tri.points[prev + i];
            const Point<double> b = tri.points[prev + i + 1];
            tri.points.push_back(a * (1.0 - u) + b * u);
        }
        tri.levelLast.push_back(static_cast<int>(tri.points.size()) - 1);
    }
    return tri;
}

BezierPolynomial DeCasteljauTriangle::left() const
{
    return bezierFrom(degree, points, levelFirst);
}

BezierPolynomial DeCasteljauTriangle::right() const
{
    std::vector<int> indices(levelLast.rbegin(), levelLast.rend());
    return bezierFrom(degree, points, indices);
}

BezierPolynomial clipBezier(const BezierPolynomial& p, double a, double b, double c, double d)
{
    const double length = d - a;
    BezierPolynomial piece = p;
    // The end: the piece is cut (or extended) to the segment's length.
    if (length != b)
        piece = splitBezier(piece, length / b).left();
    // The start, in the parameter of the cut piece.
    if (c != a && length != 0.0)
        piece = splitBezier(piece, (c - a) / length).right();
    return piece;
}

void convertSplineToBezier(ParametricSplineData& data)
{
    data.bezierPieces.clear();
    const int n = data.segmentCount;
    if (n < 0 || data.breakpoints.size() < static_cast<size_t>(n) + 1 ||
        data.powerSeries.size() < static_cast<size_t>(n)) {
        std::fputs("convertSplineToBezier: segments without breakpoints or coefficients\n", stderr);
        return;
    }
    for (int i = 0; i < n; ++i) {
        const double t0 = data.breakpoints[i];
        const double t1 = data.breakpoints[i + 1];
        const BezierPolynomial whole = powerToBezier(data.powerSeries[i]);
        const double s = (t1 - t0) / 2.0;
        const Point<double> expected = evalPowerSeries(data.powerSeries[i], s);
        if ((evalBezierChecked(whole, t0 + s, t0) - expected).length() > 1e-8)
            std::fputs("ReadGeometry:Failure to transfrom to power series to bezier\n", stderr);
        data.bezierPieces.push_back(clipBezier(whole, t0, 1.0, t0, t1));
    }
}

std::unique_ptr<Bspline> bezierToBspline(const ParametricSplineData& data)
{
    if (const char* fault = breakpointFault(data)) {
        std::fprintf(stderr, "bezierToBspline: %s\n", fault);
        return nullptr;
    }
    const int degree = data.bezierPieces.front().degree;
    std::vector<Point<double>> points;
    for (const BezierPolynomial& b : data.bezierPieces)
        points.insert(points.end(), b.coefficients, b.coefficients + degree);
    points.push_back(data.bezierPieces.back().coefficients[degree]);
    std::vector<double> weights(points.size(), 1.0);
    // Clamped ends; interior breakpoints of multiplicity degree, so that
    // each piece spans its own segment.
    std::vector<double> knots(static_cast<size_t>(degree + 1), data.breakpoints.front());
    for (size_t i = 1; i + 1 < data.breakpoints.size(); ++i)
        knots.insert(knots.end(), static_cast<size_t>(degree), data.breakpoints[i]);
    knots.insert(knots.end(), static_cast<size_t>(degree + 1), data.breakpoints.back());

    auto curve = std::make_unique<Bspline>(degree, static_cast<int>(points.size()), points.data(),
                                           weights.data(), static_cast<int>(knots.size()),
                                           knots.data());
    curve->closed((points.front() - points.back()).length() < 1e-5 ? 1 : 0);
    return curve;
}

bool isPlanarBspline(const Bspline& b)
{
    const int m = b.nPts();
    if (m < 3)
        return true;
    const Point<double> p0 = b.cpts(0);
    // The control point farthest from the first (the first candidate is
    // always taken, a later one only when strictly farther).
    Point<double> far = b.cpts(1);
    double dmax = (far - p0).length();
    for (int i = 2; i < m; ++i) {
        const double d = (b.cpts(i) - p0).length();
        if (d > dmax) {
            dmax = d;
            far = b.cpts(i);
        }
    }
    if (dmax == 0.0)
        return true;
    Point<double> u = far - p0;
    u.normalize();
    // The point farthest from the line through p0 along u. Every control
    // point lies within dmax of p0, so the segment from p0 - dmax u to
    // p0 + dmax u holds every foot and its distances are line distances.
    Point<double> start = p0 - u * dmax;
    Point<double> w = b.cpts(0);
    double wmax = -1.0;
    for (int i = 0; i < m; ++i) {
        Point<double> q = b.cpts(i);
        Point<double> foot;
        double d = 0.0;
        lineProjectPt(q, start, u, 2.0 * dmax, &foot, &d);
        if (d > wmax) {
            wmax = d;
            w = q;
        }
    }
    const Point<double> centre = (p0 + far + w) / 3.0;
    Point<double> normal = cross(far - p0, w - p0);
    normal.normalize();
    for (int i = 0; i < m; ++i) {
        if (std::fabs(dot(normal, b.cpts(i) - centre)) / dmax > 1e-5)
            return false;
    }
    return true;
}
