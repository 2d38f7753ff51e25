// Spline evaluation (points, rational points, spans, tangents and normals)
// against the evaluator it replaces, kept here as it was: the same bits
// and the same exceptions on random curves of every kind, at random
// parameters, at knots, next to knots and at and beyond both ends.
#include <numbers>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/Conic.h"
#include "analysis/model/Globals.h"
#include "platform/core/Exceptions.h"

namespace {

using Pt = Point<double>;


// ---- the previous evaluator ---------------------------------------------

double oldStart(const Bspline& s)
{
    return s.knotVector().GetAt(s.deg() - 1) + s.globalOffset();
}

double oldEnd(const Bspline& s)
{
    return s.knotVector().GetAt(s.knotVector().GetSize() - 1) + s.globalOffset();
}

void oldInterval(const Bspline& s, double* u, int* span, int* mult)
{
    const CArray<double>& kts = s.knotVector();
    *mult = 0;
    *span = -1;
    const int n = s.nKts();
    if (n < 2)
        return;
    const double first = kts[0];
    const double last = kts[n - 1];
    const double d = (last - first) * 1e-10;
    if (*u < first)
        *u = first;
    if (*u > last)
        *u = last;
    if (std::fabs(*u - last) < d)
        *u -= 2.0 * d;
    const double skip = 2.0 * d + 100.0 * gEpsilon;
    int lo = 1;
    int hi = n;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (*u - kts[mid] >= skip)
            lo = mid + 1;
        else
            hi = mid;
    }
    for (int i = lo; i < n; ++i) {
        const double ki = kts[i];
        if (std::fabs(ki - *u) < d)
            *u = ki;
        if (kts[i - 1] <= *u && *u < ki) {
            *span = i - 1;
            return;
        }
    }
}

void oldDeBoor(const Bspline& s, double u, int rounds, bool weighted, Pt* P, double* W)
{
    const int deg = s.deg();
    if (deg < 1 || deg > Bspline::maxDegree)
        throw "Bad spline\n";
    const CArray<double>& kts = s.knotVector();
    int k = 0;
    int m = 0;
    oldInterval(s, &u, &k, &m);
    const int base = k - deg;
    for (int j = 0; j <= deg; ++j) {
        P[j] = s.controlPoints().GetAt(base + j);
        W[j] = weighted ? s.weightArray().GetAt(base + j) : 1.0;
    }
    for (int r = 1; r <= rounds; ++r) {
        for (int j = deg; j >= r; --j) {
            const int i = base + j;
            const double ki = kts[i];
            const double alpha = (u - ki) / (kts[i + deg + 1 - r] - ki);
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

Pt oldRbsEval(const Bspline& sp, double t)
{
    const double s = oldStart(sp);
    const double e = oldEnd(sp);
    if (std::fabs(t - e) < (e - s) * 1e-10)
        return sp.controlPoints().GetAt(sp.controlPoints().GetSize() - 1);
    Pt P[Bspline::maxDegree + 1];
    double W[Bspline::maxDegree + 1];
    oldDeBoor(sp, t - sp.globalOffset(), sp.deg(), true, P, W);
    return P[sp.deg()];
}

Pt oldEval(const Bspline& sp, double t, double tol)
{
    const double s = oldStart(sp);
    const double e = oldEnd(sp);
    if (std::fabs(t - s) < tol)
        return sp.controlPoints().GetAt(0);
    if (std::fabs(t - e) < tol)
        return sp.controlPoints().GetAt(sp.controlPoints().GetSize() - 1);
    if (sp.isRational())
        return oldRbsEval(sp, t);
    Pt P[Bspline::maxDegree + 1];
    double W[Bspline::maxDegree + 1];
    oldDeBoor(sp, t - sp.globalOffset(), sp.deg(), false, P, W);
    return P[sp.deg()];
}

Pt oldDirection(const Bspline& sp, double t, bool weighted)
{
    Pt P[Bspline::maxDegree + 1];
    double W[Bspline::maxDegree + 1];
    oldDeBoor(sp, t - sp.globalOffset(), sp.deg() - 1, weighted, P, W);
    return P[sp.deg()] - P[sp.deg() - 1];
}

// The public callers of the direction, as they are, on the old direction.
Pt oldRbsTangent(const Bspline& sp, double t)
{
    Pt d = oldDirection(sp, t, true);
    d.normalize();
    return d;
}

Pt oldTangent(const Bspline& sp, double t)
{
    const double s = oldStart(sp);
    const double e = oldEnd(sp);
    const double tol = (e - s) * 1e-10;
    if (std::fabs(t - s) < tol)
        t += 1.5e-10;
    if (std::fabs(t - e) < tol)
        t -= 1.5e-10;
    if (sp.isRational())
        return oldRbsTangent(sp, t);
    Pt d = oldDirection(sp, t, false);
    d.normalize();
    return d;
}

Pt oldRbsNormal(const Bspline& sp, double t)
{
    Pt d = oldDirection(sp, t, true);
    d.normalize();
    return cross(Pt(0.0, 0.0, 1.0), d);
}

Pt oldNormal(const Bspline& sp, double t)
{
    const Pt n = sp.planePerp();
    if (sp.deg() == 1)
        return cross(n, oldTangent(sp, t));
    const double s = oldStart(sp);
    const double e = oldEnd(sp);
    if (std::fabs(e - t) < (e - s) * 1e-10)
        t -= 1e-10;
    if (sp.isRational()) {
        Pt r = oldRbsNormal(sp, t);
        r.normalize();
        return r;
    }
    Pt d = oldDirection(sp, t, false);
    d.normalize();
    return cross(n, d);
}

// ---- comparing outcomes -------------------------------------------------

// A result, or the exception thrown instead: kind 0 value, 1 C string
// (text in msg), 2 CInvalidArgException, 3 anything else.
struct Outcome {
    int kind = 0;
    double v[4] = {0, 0, 0, 0};
    std::string msg;
};

Outcome run(const std::function<void(double*)>& f)
{
    Outcome o;
    try {
        f(o.v);
    } catch (const char* m) {
        o = Outcome();
        o.kind = 1;
        o.msg = m;
    } catch (const CInvalidArgException&) {
        o = Outcome();
        o.kind = 2;
    } catch (...) {
        o = Outcome();
        o.kind = 3;
    }
    return o;
}

// Same kind, same message and the same bits in every value (NaNs included).
::testing::AssertionResult same(const Outcome& a, const Outcome& b)
{
    if (a.kind == b.kind && a.msg == b.msg && std::memcmp(a.v, b.v, sizeof a.v) == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "old kind " << a.kind << " (" << a.v[0] << ", " << a.v[1]
                                         << ", " << a.v[2] << ", " << a.v[3] << ") new kind " << b.kind
                                         << " (" << b.v[0] << ", " << b.v[1] << ", " << b.v[2] << ", "
                                         << b.v[3] << ")";
}

void put(double* v, const Pt& p)
{
    v[0] = p.x;
    v[1] = p.y;
    v[2] = p.z;
}

// Every evaluator, old against new, at global t; counts the comparisons.
void compareAt(const Bspline& s, double t, const std::string& what, int* count)
{
    SCOPED_TRACE(what + " t=" + std::to_string(t));
    for (double tol : {1e-7, 0.0, 1e-3}) {
        EXPECT_TRUE(same(run([&](double* v) { put(v, oldEval(s, t, tol)); }),
                         run([&](double* v) {
                             Pt p;
                             s.eval(t, &p, tol);
                             put(v, p);
                         })))
            << "eval tol " << tol;
    }
    EXPECT_TRUE(same(run([&](double* v) { put(v, oldRbsEval(s, t)); }), run([&](double* v) {
                         Pt p;
                         s.rbsEval(t, &p);
                         put(v, p);
                     })))
        << "rbsEval";
    const double u = t - s.globalOffset();
    EXPECT_TRUE(same(run([&](double* v) {
                         double w = u;
                         int span = 7;
                         int mult = 7;
                         oldInterval(s, &w, &span, &mult);
                         v[0] = w;
                         v[1] = span;
                         v[2] = mult;
                     }),
                     run([&](double* v) {
                         double w = u;
                         int span = 7;
                         int mult = 7;
                         s.interval(&w, &span, &mult);
                         v[0] = w;
                         v[1] = span;
                         v[2] = mult;
                     })))
        << "interval";
    EXPECT_TRUE(same(run([&](double* v) { put(v, oldTangent(s, t)); }), run([&](double* v) {
                         Pt p;
                         s.tangent(t, &p);
                         put(v, p);
                     })))
        << "tangent";
    EXPECT_TRUE(same(run([&](double* v) { put(v, oldRbsTangent(s, t)); }), run([&](double* v) {
                         Pt p;
                         s.rbsTangent(t, &p);
                         put(v, p);
                     })))
        << "rbsTangent";
    EXPECT_TRUE(same(run([&](double* v) { put(v, oldNormal(s, t)); }), run([&](double* v) {
                         Pt p;
                         s.normal(t, &p);
                         put(v, p);
                     })))
        << "normal";
    EXPECT_TRUE(same(run([&](double* v) { put(v, oldRbsNormal(s, t)); }), run([&](double* v) {
                         Pt p;
                         s.rbsNormal(t, &p);
                         put(v, p);
                     })))
        << "rbsNormal";
    ++*count;
}

// Random parameters over and beyond the range, every knot, points within
// 1e-10 (relative and absolute) of each knot, both ends and their
// neighbouring doubles, and a few non-finite values.
std::vector<double> parameters(const Bspline& s, std::mt19937& rng, int nRandom)
{
    std::vector<double> ts;
    const CArray<double>& kts = s.knotVector();
    const double off = s.globalOffset();
    const double lo = kts[0] + off;
    const double hi = kts[kts.GetSize() - 1] + off;
    const double L = hi - lo;
    std::uniform_real_distribution<double> over(lo - 0.1 * L, hi + 0.1 * L);
    for (int i = 0; i < nRandom; ++i)
        ts.push_back(over(rng));
    for (INT_PTR i = 0; i < kts.GetSize(); ++i) {
        const double k = kts[i] + off;
        ts.push_back(k);
        for (double f : {0.3, 0.99, 1.0, 1.01, 2.0, 3.5}) {
            ts.push_back(k + f * 1e-10 * L);
            ts.push_back(k - f * 1e-10 * L);
        }
        ts.push_back(k + 1e-10);
        ts.push_back(k - 1e-10);
        ts.push_back(std::nextafter(k, -1e300));
        ts.push_back(std::nextafter(k, 1e300));
    }
    for (double e : {s.startParameter(), s.endParameter()}) {
        for (double f : {0.0, 1e-12, 1e-9, 1e-7, 1e-4}) {
            ts.push_back(e + f * L);
            ts.push_back(e - f * L);
        }
    }
    ts.push_back(lo - 10.0 * L - 1.0);
    ts.push_back(hi + 10.0 * L + 1.0);
    ts.push_back(std::numeric_limits<double>::quiet_NaN());
    ts.push_back(std::numeric_limits<double>::infinity());
    ts.push_back(-std::numeric_limits<double>::infinity());
    return ts;
}

// A random spline of degree deg with nPts points: clamped or not, inner
// knots with repeats up to deg, weights random when rational, the knots
// shifted by a random origin and the global offset moved when asked.
std::unique_ptr<Bspline> randomSpline(std::mt19937& rng, int deg, int nPts, bool rational, bool clamped,
                                      bool repeats, bool moveOffset)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<Pt> cpts;
    std::vector<double> wts;
    const bool flat = unit(rng) < 0.5;
    for (int i = 0; i < nPts; ++i) {
        cpts.push_back(Pt(20 * unit(rng) - 10, 20 * unit(rng) - 10, flat ? 0.0 : 4 * unit(rng) - 2));
        wts.push_back(rational ? 0.2 + 2.5 * unit(rng) : 1.0);
    }
    const int nKts = nPts + deg + 1;
    std::vector<double> kts;
    const double origin = unit(rng) < 0.3 ? 0.0 : 2000 * unit(rng) - 1000;
    const double scale = std::pow(10.0, 6 * unit(rng) - 3);
    double k = origin;
    for (int i = 0; i < nKts; ++i) {
        const bool clampedStart = clamped && i <= deg;
        const bool clampedEnd = clamped && i >= nKts - deg;
        const bool repeat = repeats && unit(rng) < 0.3;
        if (i > 0 && !clampedStart && !clampedEnd && !repeat)
            k += scale * (0.1 + unit(rng));
        kts.push_back(k);
    }
    auto s = std::make_unique<Bspline>(deg, nPts, cpts.data(), wts.data(), nKts, kts.data());
    if (moveOffset)
        s->setGlobal(s->globalOffset() + 500 * unit(rng) - 250);
    return s;
}

TEST(KernelSpeedEval, RandomSplinesGiveTheOldBitsEverywhere)
{
    std::mt19937 rng(20261211);
    std::uniform_int_distribution<int> extra(0, 6);
    int count = 0;
    for (int deg : {1, 2, 3, 4, 5, 9}) {
        for (int variant = 0; variant < 16; ++variant) {
            const bool rational = variant & 1;
            const bool clamped = variant & 2;
            const bool repeats = variant & 4;
            const bool moveOffset = variant & 8;
            // Every fourth curve is a single span (a Bezier when clamped).
            const int nPts = variant % 4 == 3 ? deg + 1 : deg + 1 + extra(rng);
            auto s = randomSpline(rng, deg, nPts, rational, clamped, repeats, moveOffset);
            const std::string what = "deg " + std::to_string(deg) + " variant " + std::to_string(variant);
            for (double t : parameters(*s, rng, 40))
                compareAt(*s, t, what, &count);
            // The weights taken or ignored against the rational flag.
            s->setRational(!s->isRational());
            for (double t : parameters(*s, rng, 10))
                compareAt(*s, t, what + " flag flipped", &count);
        }
    }
    EXPECT_GT(count, 10000);
}

TEST(KernelSpeedEval, CirclesAndConicsGiveTheOldBits)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int count = 0;
    std::vector<std::unique_ptr<Bspline>> curves;
    for (int n : {1, 2, 3, 4, 7, 64}) {
        Pt centre(10 * unit(rng) - 5, 10 * unit(rng) - 5, 0.0);
        Pt normal(0.0, 0.0, 1.0);
        const double r = 0.01 + 5 * unit(rng);
        if (n == 1) {
            Pt start = centre + Pt(r, 0.0, 0.0);
            curves.push_back(std::make_unique<Bspline>(&centre, &start, &start, &normal));
            continue;
        }
        for (int i = 0; i < n; ++i) {
            const double a0 = 2 * std::numbers::pi * i / n;
            const double a1 = 2 * std::numbers::pi * (i + 1) / n;
            Pt s = centre + Pt(r * std::cos(a0), r * std::sin(a0), 0.0);
            Pt e = centre + Pt(r * std::cos(a1), r * std::sin(a1), 0.0);
            curves.push_back(std::make_unique<Bspline>(&centre, &s, &e, &normal));
            curves.back()->setGlobal(i * 1.7);
        }
    }
    for (int i = 0; i < 6; ++i) {
        Pt P0(0.0, 0.0, 0.0);
        Pt T0(1.0, 0.4 + unit(rng), 0.0);
        Pt P2(4.0, 0.0, 0.0);
        Pt T2(1.0, -0.4 - unit(rng), 0.0);
        Pt S(2.0, 0.3 + unit(rng), 0.0);
        curves.emplace_back(conicBspline(P0, T0, S, P2, T2));
    }
    for (const auto& c : curves) {
        ASSERT_NE(c, nullptr);
        for (double t : parameters(*c, rng, 30))
            compareAt(*c, t, "arc deg " + std::to_string(c->deg()), &count);
    }
    EXPECT_GT(count, 1000);
}

// Single spans whose end knots differ only in the sign of zero, collapse
// to one value, or span less than the snapping distance can resolve.
TEST(KernelSpeedEval, OddSingleSpansGiveTheOldBits)
{
    std::mt19937 rng(5);
    const double z = 0.0;
    const std::vector<std::vector<double>> knotSets = {
        {-z, z, -z, 2, 2, 2},   {z, z, z, 2, 2, 2},         {-z, -z, -z, 2, 2, 2},
        {-2, -2, -2, -z, z, z}, {3, 3, 3, 3, 3, 3},         {1, 1, 1, 1 + 1e-300, 1 + 1e-300, 1 + 1e-300},
        {0, 0, 0, 1e-320, 1e-320, 1e-320}, {1e6, 1e6, 1e6, 1e6 + 1e-9, 1e6 + 1e-9, 1e6 + 1e-9},
    };
    Pt cpts[3] = {Pt(-z, 1, -z), Pt(2, 3, z), Pt(4, -z, 1)};
    double wts[3] = {1.0, 0.5, 2.0};
    int count = 0;
    for (const auto& k : knotSets) {
        std::vector<double> kts = k;
        Bspline s(2, 3, cpts, wts, 6, kts.data());
        std::vector<double> ts = parameters(s, rng, 20);
        for (double t : {-z, z, 1.0, 2.0, k[0], k[5]})
            ts.push_back(t);
        for (double t : ts)
            compareAt(s, t, "knots from " + std::to_string(k[0]), &count);
    }
    EXPECT_GT(count, 300);
}

TEST(KernelSpeedEval, BrokenSplinesThrowAsBefore)
{
    std::mt19937 rng(99);
    int count = 0;
    // Each edit leaves a spline the evaluators must refuse as they did.
    const std::vector<std::function<void(Bspline&)>> breaks = {
        [](Bspline& s) { s.deg(0); },
        [](Bspline& s) { s.deg(Bspline::maxDegree + 1); },
        [](Bspline& s) { s.deg(s.deg() + 1); },
        [](Bspline& s) { s.controlPointsMutable().SetSize(s.nPts() - 1); },
        [](Bspline& s) { s.weightArrayMutable().SetSize(s.nPts() - 2); },
        [](Bspline& s) { s.knotVectorMutable().SetSize(s.nKts() - 2); },
        [](Bspline& s) { s.knotVectorMutable()[2] = std::numeric_limits<double>::quiet_NaN(); },
        [](Bspline& s) { s.knotVectorMutable()[s.nKts() - 1] = -1e9; },
        [](Bspline& s) { s.controlPointsMutable().SetSize(0); },
    };
    for (int deg : {1, 2, 3, 5}) {
        for (std::size_t b = 0; b < breaks.size(); ++b) {
            for (bool rational : {false, true}) {
                auto s = randomSpline(rng, deg, deg + 3, rational, true, false, false);
                const std::vector<double> ts = parameters(*s, rng, 10);
                breaks[b](*s);
                for (double t : ts)
                    compareAt(*s, t, "break " + std::to_string(b), &count);
            }
        }
    }
    Bspline empty;
    compareAt(empty, 0.5, "empty", &count);
    EXPECT_GT(count, 1000);
}

// The area of a circle of rational quadratic arcs is pi r^2 (the walk that
// sums it steps through the evaluator).
TEST(KernelSpeedEval, CircleAreaIsPiRSquared)
{
    for (int n : {1, 4, 100}) {
        Pt centre(0.3, -0.2, 0.0);
        Pt normal(0.0, 0.0, 1.0);
        const double r = 2.0;
        std::vector<const Bspline*> arcs;
        std::vector<std::unique_ptr<Bspline>> own;
        for (int i = 0; i < n; ++i) {
            const double a0 = 2 * std::numbers::pi * i / n;
            const double a1 = 2 * std::numbers::pi * (i + 1) / n;
            Pt s = centre + Pt(r * std::cos(a0), r * std::sin(a0), 0.0);
            Pt e = centre + Pt(r * std::cos(a1), r * std::sin(a1), 0.0);
            own.push_back(n == 1 ? std::make_unique<Bspline>(&centre, &s, &s, &normal)
                                 : std::make_unique<Bspline>(&centre, &s, &e, &normal));
            arcs.push_back(own.back().get());
        }
        EXPECT_NEAR(arcsArea(arcs.data(), arcs.size(), Pt(0.0, 0.0, 0.0)), std::numbers::pi * r * r, 1e-6 * std::numbers::pi * r * r) << n << " arcs";
    }
}

}  // namespace
