#include "analysis/geometry/PlanarGeometry.h"

#include <cmath>
#include <utility>

#include "analysis/model/Globals.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = kPi * 2;
// Comparisons along a line in the collinear-overlap search.
constexpr double kAlong = 1e-12;

// A unit copy of v (left as it is when shorter than 1e-12).
Point<double> unit(const Point<double>& v)
{
    Point<double> u = v;
    u.normalize();
    return u;
}

// z component of a x b: the signed area of the parallelogram in the x-y plane.
double crossZ(const Point<double>& a, const Point<double>& b)
{
    return cross(a, b).z;
}

// An end of cd that lies within tol of the line ab counts when it is inside
// the segment or within tol of one of its ends.
bool endOnSegment(Point<double>& a, Point<double>& b, Point<double>& p, double tol)
{
    return insideSegment(a, b, p) || (p - a).length() < tol || (p - b).length() < tol;
}

// A segment ab of no length is the point a: it meets cd, once, only where
// it lies within tol of cd (it has no direction to measure sides by).
int pointOnSegment(const Point<double>& a, const Point<double>& c, const Point<double>& d,
                   Point<double>* out, double tol)
{
    Point<double> p = a;
    Point<double> start = c;
    Point<double> dir = d - c;
    const double len = dir.length();
    dir.normalize();
    Point<double> foot;
    double dist = 0.0;
    lineProjectPt(p, start, dir, len, &foot, &dist);
    if (!(dist < tol))
        return 0;
    out[0] = a;
    return 1;
}

}  // namespace

bool PtOnLine(Point<double>& p, Point<double>& a, Point<double>& b)
{
    const Point<double> u = unit(b - a);
    const double h = (p - a).length();
    const Point<double> q = a + u * h;
    // length() is 0 when the squared distance is below 1e-40.
    return (q - p).length() < 1e-7;
}

double triangleArea(Point<double>& a, Point<double>& b, Point<double>& c)
{
    return crossZ(b - a, c - a) / 2.0;
}

Point<double> triangleCenter(Point<double>& a, Point<double>& b, Point<double>& c)
{
    return (a + b + c) / 3.0;
}

errMsg lineX(Point<double>& a, Point<double>& b, Point<double>& c, Point<double>& d,
             Point<double>* x)
{
    if ((b - a).length() < gEpsilon || (d - c).length() < gEpsilon)
        return errShortSegment;
    const Point<double> u = unit(b - a);
    const Point<double> v = unit(d - c);
    const double k = crossZ(u, v);
    if (std::fabs(k) < 1e-15)
        return errParallel;
    const double t = crossZ(c - a, v) / k;
    *x = a + u * t;
    return errNone;
}

bool insideSegment(Point<double>& a, Point<double>& b, Point<double>& p)
{
    const Point<double> v = p - a;
    const Point<double> w = b - a;
    if (v.length() < 1e-12)
        return true;
    if (dot(v, w) <= 0.0)
        return false;
    return w.length() >= v.length();
}

int lineIntersection(Point<double>& a, Point<double>& b, Point<double>& c, Point<double>& d,
                     Point<double>* out, double tol)
{
    a.z = b.z = c.z = d.z = 0.0;

    const Point<double> ab = b - a;
    Point<double> n(-ab.y, ab.x, 0.0);
    const double len = ab.length();
    if (len < 1e-12)
        return pointOnSegment(a, c, d, out, tol);
    n = n / len;
    const double dc = dot(n, c - a);
    const double dd = dot(n, d - a);
    const double adc = std::fabs(dc);
    const double add = std::fabs(dd);

    // Both ends on the line: the common part of the two segments.
    if (adc < tol && add < 1e-12) {
        Point<double> s0, s1;
        const int k = findInteriorSegment(a, b, c, d, &s0, &s1);
        if (k == 2) {
            out[0] = s0;
            out[1] = s1;
            return 2;
        }
        if (k == 1) {
            out[0] = s0;
            return 1;
        }
    }

    // c and d strictly on the same side of the line.
    if (adc > tol && add > tol && dc * dd > 0.0)
        return 0;

    // cd crosses the line: where it does, by the ratio of the distances.
    if (adc >= tol && add >= tol) {
        const double w = adc / (adc + add);
        Point<double> x = c * (1.0 - w) + d * w;
        if (!insideSegment(a, b, x))
            return 0;
        out[0] = x;
        return 1;
    }

    // One or both ends of cd lie on the line.
    int count = 0;
    if (adc < tol && endOnSegment(a, b, c, tol))
        out[count++] = c;
    if (add < tol && endOnSegment(a, b, d, tol))
        out[count++] = d;
    return count;
}

int findInteriorSegment(Point<double>& a, Point<double>& b, Point<double>& c, Point<double>& d,
                        Point<double>* s0, Point<double>* s1)
{
    const Point<double> u = unit(b - a);

    // Order both segments along u: [A, B] from a' to b', [C, D] from c' to d'.
    Point<double> ap = a, bp = b, cp = c, dp = d;
    if (!(dot(b, u) > dot(a, u)))
        std::swap(ap, bp);
    if (!(dot(d, u) > dot(c, u)))
        std::swap(cp, dp);
    const double A = dot(ap, u);
    const double B = dot(bp, u);
    const double C = dot(cp, u);
    const double D = dot(dp, u);

    if (A - D > kAlong || C - B > kAlong)
        return 0;  // one ends before the other begins
    if (std::fabs(A - D) < kAlong) {
        *s0 = ap;  // cd ends where ab begins
        return 1;
    }
    if (!(D - A > kAlong))
        return 0;
    if (C - A < kAlong) {
        // cd begins no later than ab: from a' to the nearer end.
        *s0 = ap;
        *s1 = (B - D >= kAlong) ? dp : bp;
        return 2;
    }
    if (B - C > kAlong) {
        // cd begins strictly inside ab: from c' to the nearer end, the same
        // overlap that the two segments give in the other order.
        *s0 = cp;
        *s1 = (D - B >= kAlong) ? bp : dp;
        return 2;
    }
    if (std::fabs(C - B) < kAlong) {
        *s0 = cp;  // cd begins where ab ends
        return 1;
    }
    return 0;
}

bool lineOverlap(Point<double>& a, Point<double>& b, Point<double>& c, Point<double>& d,
                 Point<double>* s0, Point<double>* s1)
{
    return findInteriorSegment(a, b, c, d, s0, s1) > 0;
}

void lineProjectPt(Point<double>& p, Point<double>& a, Point<double>& dir, double len,
                   Point<double>* foot, double* dist)
{
    const double s = dot(p - a, dir);
    if (s <= 0.0)
        *foot = a;
    else if (len <= s)
        *foot = a + dir * len;
    else
        *foot = a + dir * s;
    *dist = (*foot - p).length();
}

bool PointInTriangle(Point<double>& p, Point<double>& a, Point<double>& b, Point<double>& c)
{
    const Point<double> e = c - a;
    const Point<double> f = b - a;
    const Point<double> w = p - a;
    const double ee = dot(e, e);
    const double ef = dot(e, f);
    const double ew = dot(e, w);
    const double ff = dot(f, f);
    const double fw = dot(f, w);
    const double det = ee * ff - ef * ef;
    if (det == 0.0)
        return false;  // degenerate triangle
    const double inv = 1.0 / det;
    const double u = (ff * ew - ef * fw) * inv;  // weight of c
    const double v = (ee * fw - ef * ew) * inv;  // weight of b
    return u >= 0.0 && v >= 0.0 && u + v < 1.0;
}

double clockwiseAngle(Point<double>* u, Point<double>* v)
{
    const Point<double> uu = unit(*u);
    const Point<double> vv = unit(*v);
    const double x = dot(uu, vv);
    if (x > 0.99999)
        return 0.0;
    if (x < -0.99999)
        return kPi;
    const Point<double> k = cross(uu, vv);
    if (k.length() < 1e-5)
        return 0.0;
    const double alpha = std::acos(x);
    return k.z < 0.0 ? kTwoPi - alpha : alpha;
}

double counterClockwiseAngle(Point<double>* u, Point<double>* v)
{
    return kTwoPi - clockwiseAngle(u, v);
}

double counterClockwiseAngle(Point<double>* v)
{
    Point<double> xAxis(1.0, 0.0, 0.0);
    const double w = clockwiseAngle(v, &xAxis);
    return w < 1e-8 ? 0.0 : kTwoPi - w;
}
