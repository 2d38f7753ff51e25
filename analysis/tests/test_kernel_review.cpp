// Attempts to break the kernel's fast paths: span search by bisection, tail
// joins, duplicate crossings through a grid, kept inside legs and areas,
// and the scaled in-circle and in-sphere predicates. Each case compares the
// fast path with a plain reference kept here (the linear scans the library
// used before, or exact rational arithmetic).
#include <algorithm>
#include <atomic>
#include <cfloat>
#include <cmath>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include <boost/multiprecision/cpp_int.hpp>
#include <gtest/gtest.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/geometry/CIntersection.h"
#include "analysis/geometry/CMaxMinBox.h"
#include "analysis/geometry/LineIntersection.h"
#include "analysis/geometry/NearPointIndex.h"
#include "analysis/geometry/PlanarGeometry.h"
#include "analysis/model/Globals.h"
#include "analysis/predicates/Predicates.h"
#include "analysis/tests/TestSupport.h"
#include "analysis/tests/test_composite_support.h"

namespace {

using composite_test::P;
using composite_test::Pt;

// ---- span search -----------------------------------------------------------

using composite_test::scanInterval;

// A degree-1 spline whose knots rise to 1 and then step back by 0.9e-11
// (less than gEpsilon, so each step is valid) `run` times before rising to 2.
std::unique_ptr<Bspline> steppingBackSpline(int run)
{
    std::vector<double> kts = {0.0, 0.0, 1.0};
    for (int i = 1; i <= run; ++i)
        kts.push_back(1.0 - 0.9e-11 * i);
    kts.push_back(2.0);
    kts.push_back(2.0);
    const int nPts = static_cast<int>(kts.size()) - 2;
    std::vector<Pt> cpts;
    for (int i = 0; i < nPts; ++i)
        cpts.push_back(P(i, i % 2));
    std::vector<double> wts(static_cast<std::size_t>(nPts), 1.0);
    return std::make_unique<Bspline>(1, nPts, cpts.data(), wts.data(), static_cast<int>(kts.size()), kts.data());
}

// Spans of the scan and of the bisection for every parameter given.
void expectScanSpans(const Bspline& s, const std::vector<double>& us)
{
    for (double u0 : us) {
        double a = u0, b = u0;
        int sa = 0, sb = 0, mult = 0;
        scanInterval(s, &a, &sa);
        s.interval(&b, &sb, &mult);
        EXPECT_EQ(sb, sa) << "u = " << u0;
        EXPECT_EQ(b, a) << "u = " << u0;
    }
}

// Short runs of stepping-back knots, well within the bisection's margin.
TEST(KernelReviewSpans, ShortStepBackRunsGiveTheScanSpan)
{
    for (int run : {1, 2, 10, 50}) {
        const auto s = steppingBackSpline(run);
        std::vector<double> us;
        for (int i = 0; i < s->nKts(); ++i) {
            const double k = s->kts(i);
            for (double off : {0.0, 1e-10, -1e-10, 3e-10, -3e-10, 1e-9, -1e-9, 5e-9, -5e-9})
                us.push_back(k + off);
            us.push_back(std::nextafter(k, -1.0));
            us.push_back(std::nextafter(k, 3.0));
        }
        expectScanSpans(*s, us);
    }
}

// Cubic splines with knots repeated up to four times, far from zero and
// near it: parameters on every knot, within the snapping distance d of it
// and just beyond, one ulp either side, and beyond both ends.
TEST(KernelReviewSpans, RepeatedKnotsAtEveryOffsetGiveTheScanSpan)
{
    for (double offset : {0.0, -3.0, 1e6, 1e8, 1e-9}) {
        std::vector<double> kts = {0, 0, 0, 0, 0.5, 0.5, 1, 1, 1, 1.25, 2, 2, 2, 2, 3, 3, 3, 3};
        for (double& k : kts)
            k += offset;
        const int nPts = static_cast<int>(kts.size()) - 4;
        std::vector<Pt> cpts;
        for (int i = 0; i < nPts; ++i)
            cpts.push_back(P(i, i * i));
        std::vector<double> wts(static_cast<std::size_t>(nPts), 1.0);
        Bspline s(3, nPts, cpts.data(), wts.data(), static_cast<int>(kts.size()), kts.data());
        const double d = (kts.back() - kts.front()) * 1e-10;
        std::vector<double> us = {kts.front() - 1.0, kts.back() + 1.0};
        for (double k : kts) {
            for (double f : {0.0, 0.5, -0.5, 0.999, -0.999, 1.001, -1.001, 2.0, -2.0, 2.001, -2.001})
                us.push_back(k + f * d);
            us.push_back(std::nextafter(k, -1e300));
            us.push_back(std::nextafter(k, 1e300));
        }
        expectScanSpans(s, us);
    }
}

// Every neighbour steps back by less than gEpsilon, but 400 such steps add
// up to 3.6e-9 below the run's first knot: a decreasing knot vector, not
// rounding. It is refused as a spline (built, or edited in place and
// verified, as loading verifies), so that the bisection of the span search
// never meets it. The longest run still accepted falls 111 x 0.9e-11 =
// 0.999e-9 (within 100 gEpsilon) and gives the scan's spans.
TEST(KernelReviewSpans, LongStepBackRunIsRefusedAndTheLongestAcceptedGivesTheScanSpan)
{
    EXPECT_EQ(test_support::thrownText([] { steppingBackSpline(400); }), "Bad spline\n");
    EXPECT_EQ(test_support::thrownText([] { steppingBackSpline(112); }), "Bad spline\n");

    const auto s = steppingBackSpline(111);
    std::vector<double> us;
    for (double off : {3e-10, 5e-10, 1e-9, 1.5e-9, 2e-9, 3e-9})
        us.push_back(1.0 - off);
    expectScanSpans(*s, us);

    // Steps of 0.99e-11, each accepted alone, written over an accepted
    // spline's knots: 111 of them fall too far.
    auto edited = steppingBackSpline(111);
    CArray<double>& kts = edited->knotVectorMutable();
    for (int i = 0; i < 111; ++i)
        kts[3 + i] = 1.0 - 0.99e-11 * (i + 1);  // 1.0989e-9 in all
    EXPECT_EQ(test_support::thrownText([&] { edited->verify(); }), "Bad spline\n");
}

// ---- repeated crossings -----------------------------------------------------

// The last of pts within tol of p, by a scan over all of them (the reference).
int lastNearByScan(const std::vector<Pt>& pts, const Pt& p, double tol)
{
    int last = -1;
    for (std::size_t k = 0; k < pts.size(); ++k) {
        if ((pts[k] - p).length() < tol)
            last = static_cast<int>(k);
    }
    return last;
}

// Points placed on and within a few ulps of the grid's cell edges (cells
// of 2 tol), in clusters whose members lie near tol apart across an edge,
// near the origin, at 1e3 and 1e6 and at negative coordinates, with z
// offsets; then NaN and infinite points. Each point is first looked up,
// then added, as the intersection lists do.
TEST(KernelReviewCrossings, GridFindsTheLastNearPointOfTheScan)
{
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> pick(-3, 3);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (double tol : {1e-5, 1e-7, 0.3}) {
        NearPointIndex index(tol);
        std::vector<Pt> added;
        const double cell = 2.0 * tol;
        std::vector<Pt> queries;
        for (double base : {0.0, 1e3, -1e3, 1e6, -7.5e5}) {
            const double b = std::floor(base / cell) * cell;
            for (int i = 0; i < 600; ++i) {
                // An edge, then a step of about tol (just below or above it)
                // or of a few ulps across the edge.
                double x = b + pick(rng) * cell;
                double y = b + pick(rng) * cell;
                const int kind = i % 4;
                if (kind == 0) {
                    x += tol * (1.0 + 1e-9 * unit(rng));
                } else if (kind == 1) {
                    x = std::nextafter(x, unit(rng) > 0 ? 1e300 : -1e300);
                    y -= tol * (1.0 - 1e-12) * (unit(rng) > 0 ? 1.0 : 0.5);
                } else if (kind == 2) {
                    x += 0.7 * tol * unit(rng);
                    y += 0.7 * tol * unit(rng);
                }
                const double z = i % 7 == 0 ? 0.5 * tol * unit(rng) : 0.0;
                queries.push_back(Pt(x, y, z));
            }
        }
        queries.push_back(Pt(NAN, 0, 0));
        queries.push_back(Pt(0, INFINITY, 0));
        queries.push_back(Pt(0, 0, NAN));
        queries.push_back(Pt(-0.0, -0.0, 0.0));
        queries.push_back(Pt(0.0, 0.0, 0.0));
        for (const Pt& q : queries) {
            ASSERT_EQ(index.lastNear(q), lastNearByScan(added, q, tol))
                << "tol " << tol << " at " << q.x << ", " << q.y << ", " << q.z;
            index.add(q);
            added.push_back(q);
        }
    }
}

using IntersectionList = CList<CIntersection*>;

// CCompositeCurve::intersect with every new point compared with every
// point recorded so far (the reference).
IntersectionList* intersectByScan(CCompositeCurve* self, CCompositeCurve* other)
{
    auto* result = new IntersectionList(10);
    POSITION a = self->arcs().GetHeadPosition();
    while (a) {
        Bspline* A = self->arcs().GetNext(a);
        POSITION b = other->arcs().GetHeadPosition();
        while (b) {
            Bspline* B = other->arcs().GetNext(b);
            CList<Point<double>*>* points = nullptr;
            if (A->isLinear() && B->deg() == 1 && B->nPts() == 2) {
                points = lineLineIntersection(A, B);
            } else {
                CMaxMinBox boxA, boxB;
                A->extents(&boxA.min, &boxA.max, 1);
                B->extents(&boxB.min, &boxB.max, 1);
                if (boxA.overlap(&boxB))
                    points = A->intersection(B);
            }
            if (!points)
                continue;
            while (!points->IsEmpty()) {
                std::unique_ptr<Point<double>> P(points->RemoveHead());
                CIntersection* X = nullptr;
                POSITION r = result->GetHeadPosition();
                while (r) {
                    CIntersection* Y = result->GetNext(r);
                    if ((Y->point - *P).length() < 1e-5)
                        X = Y;
                }
                if (!X) {
                    X = new CIntersection();
                    X->point = *P;
                    result->AddTail(X);
                }
                if (!X->usesCC(self))
                    X->add(self, A->findParmValue(X->point, 1e-5));
                if (!X->usesCC(other))
                    X->add(other, B->findParmValue(X->point, 1e-5));
            }
            delete points;
        }
    }
    return result;
}

void deleteIntersections(IntersectionList* list)
{
    while (!list->IsEmpty())
        delete list->RemoveHead();
    delete list;
}

// A meander of straight arcs: `count` runs across from -1 to 1 (or up, when
// vertical) at the offsets given, joined at alternate ends.
std::unique_ptr<CCompositeCurve> meander(const std::vector<double>& offsets, bool vertical)
{
    std::vector<Pt> pts;
    for (std::size_t k = 0; k < offsets.size(); ++k) {
        const double from = k % 2 == 0 ? -1.0 : 1.0;
        for (double along : {from, -from})
            pts.push_back(vertical ? P(offsets[k], along) : P(along, offsets[k]));
    }
    return composite_test::polyline(pts, false);
}

// Offsets spaced 0.45 to 0.95 of the 1e-5 tolerance, from a cell edge of the
// grid (cells of 2e-5) at `base`, so that crossings lie within the
// tolerance of several others across the cell edges.
std::vector<double> crowdedOffsets(std::mt19937& rng, double base, int count)
{
    std::uniform_real_distribution<double> step(0.45e-5, 0.95e-5);
    std::vector<double> v;
    double at = base;
    for (int i = 0; i < count; ++i) {
        v.push_back(at);
        at += step(rng);
    }
    return v;
}

// Crossings of two meanders crowded within the tolerance: the same points,
// in the same order, with the same curves and parameters as the scan.
TEST(KernelReviewCrossings, CrowdedCrossingsKeepTheScanPointsAndParameters)
{
    std::mt19937 rng(17);
    for (double base : {0.0, 0.4, -0.2}) {
        auto across = meander(crowdedOffsets(rng, base, 30), false);
        auto up = meander(crowdedOffsets(rng, base, 30), true);
        std::unique_ptr<IntersectionList, void (*)(IntersectionList*)> fast(across->intersect(up.get()),
                                                                              deleteIntersections);
        std::unique_ptr<IntersectionList, void (*)(IntersectionList*)> scan(intersectByScan(across.get(), up.get()),
                                                                              deleteIntersections);
        ASSERT_EQ(fast->GetCount(), scan->GetCount());
        EXPECT_LT(fast->GetCount(), 900) << "crossings should merge";
        POSITION f = fast->GetHeadPosition();
        POSITION r = scan->GetHeadPosition();
        while (f && r) {
            const CIntersection* X = fast->GetNext(f);
            const CIntersection* Y = scan->GetNext(r);
            ASSERT_EQ(X->point.x, Y->point.x);
            ASSERT_EQ(X->point.y, Y->point.y);
            ASSERT_EQ(X->nCurves(), Y->nCurves());
            POSITION cx = X->curves().GetHeadPosition();
            POSITION cy = Y->curves().GetHeadPosition();
            while (cx && cy) {
                const CCurveIntersection* a = X->curves().GetNext(cx);
                const CCurveIntersection* b = Y->curves().GetNext(cy);
                EXPECT_EQ(a->curve, b->curve);
                EXPECT_EQ(a->parameter, b->parameter);
            }
        }
        // findIntersections: the same distinct points as a scan within gInsectTol.
        CList<Point<double>*> list(10);
        across->findIntersections(up.get(), &list);
        std::vector<Pt> distinct;
        POSITION pos = list.GetHeadPosition();
        while (pos)
            distinct.push_back(*list.GetNext(pos));
        for (std::size_t i = 0; i < distinct.size(); ++i) {
            std::vector<Pt> before(distinct.begin(), distinct.begin() + static_cast<long>(i));
            EXPECT_EQ(lastNearByScan(before, distinct[i], gInsectTol), -1);
        }
        while (!list.IsEmpty())
            delete list.RemoveHead();
    }
}

// A single polyline arc through the points (knots 0, 0, 1, ..., n - 1, n - 1).
std::unique_ptr<Bspline> polylineArc(std::vector<Pt> pts)
{
    std::vector<double> wts(pts.size(), 1.0);
    std::vector<double> kts{0.0};
    for (std::size_t i = 0; i < pts.size(); ++i)
        kts.push_back(static_cast<double>(i));
    kts.push_back(static_cast<double>(pts.size() - 1));
    return std::make_unique<Bspline>(1, static_cast<int>(pts.size()), pts.data(), wts.data(),
                                     static_cast<int>(kts.size()), kts.data());
}

// Offsets from base with steps of 0.3e-5 or 1.7e-5: lattice points built on
// them lie well within or well beyond 1e-5 of each other, never near it.
std::vector<double> latticeOffsets(std::mt19937& rng, double base, int count)
{
    std::vector<double> v;
    double at = base;
    for (int i = 0; i < count; ++i) {
        v.push_back(at);
        at += rng() % 2 ? 0.3e-5 : 1.7e-5;
    }
    return v;
}

// Two polyline arcs, one running across at the heights ys, one running up
// at the xs, meet at the lattice (x, y). Taken leg by leg (the first arc's
// legs outer), a crossing within 1e-5 of one kept before is dropped: the
// lattice deduplicated that way by a scan is the answer.
TEST(KernelReviewCrossings, PolylineArcsKeepTheFirstOfEveryCrowd)
{
    std::mt19937 rng(41);
    const std::vector<double> ys = latticeOffsets(rng, 0.1, 110);
    const std::vector<double> xs = latticeOffsets(rng, -0.2, 110);
    std::vector<Pt> across, up;
    for (std::size_t k = 0; k < ys.size(); ++k) {
        const double from = k % 2 == 0 ? -1.0 : 1.0;
        across.push_back(P(from, ys[k]));
        across.push_back(P(-from, ys[k]));
    }
    for (std::size_t j = 0; j < xs.size(); ++j) {
        const double from = j % 2 == 0 ? -1.0 : 1.0;
        up.push_back(P(xs[j], from));
        up.push_back(P(xs[j], -from));
    }
    std::vector<Pt> expected;
    for (double y : ys) {
        for (double x : xs) {
            if (lastNearByScan(expected, P(x, y), 1e-5) < 0)
                expected.push_back(P(x, y));
        }
    }
    const auto a = polylineArc(across);
    auto b = polylineArc(up);
    std::unique_ptr<CList<Point<double>*>> found(a->intersection(b.get()));
    ASSERT_TRUE(found);
    ASSERT_EQ(static_cast<std::size_t>(found->GetCount()), expected.size());
    std::size_t i = 0;
    while (!found->IsEmpty()) {
        std::unique_ptr<Pt> p(found->RemoveHead());
        EXPECT_NEAR(p->x, expected[i].x, 1e-12) << i;
        EXPECT_NEAR(p->y, expected[i].y, 1e-12) << i;
        ++i;
    }
}

// ---- inside(p) of straight chains -------------------------------------------

Pt direction(double degrees)
{
    const double a = 3.141592653589793 * degrees / 180.0;
    return Pt(std::cos(a), std::sin(a), 0.0);
}

// Corners of the chain as the general inside test takes them.
std::vector<Pt> cornersOf(const CCompositeCurve& c)
{
    std::vector<Pt> corners;
    POSITION pos = c.arcs().GetHeadPosition();
    while (pos) {
        const Bspline* arc = c.arcs().GetNext(pos);
        for (const Pt& p : arc->controlPoints())
            corners.push_back(p);
    }
    return corners;
}

double probeAngleOf(const std::vector<Pt>& corners, const Pt& q, double preferred, double taken)
{
    auto clear = [&](double degrees) {
        const Pt u = direction(degrees);
        return std::none_of(corners.begin(), corners.end(), [&](const Pt& c) {
            return std::fabs(u.x * (c.y - q.y) - u.y * (c.x - q.x)) < 1e-5;
        });
    };
    if (clear(preferred))
        return preferred;
    for (double a : {12.7, 41.3, 57.9, 77.1, 98.3, 118.9, 137.5, 161.3}) {
        if (a != taken && clear(a))
            return a;
    }
    return preferred;
}

// Distinct points where the probe spline from a to b meets the arcs: every
// arc whose box comes within 1e-5 of the probe's is intersected with it,
// and a point within gInsectTol of one kept before is dropped.
int crossingsByScan(const CCompositeCurve& c, Pt a, Pt b)
{
    Bspline probe(&a, &b, false);
    const double px0 = std::min(a.x, b.x), py0 = std::min(a.y, b.y);
    const double px1 = std::max(a.x, b.x), py1 = std::max(a.y, b.y);
    std::vector<Pt> kept;
    POSITION pos = c.arcs().GetHeadPosition();
    while (pos) {
        const Bspline* arc = c.arcs().GetNext(pos);
        double x0 = 1e308, y0 = 1e308, x1 = -1e308, y1 = -1e308;
        for (const Pt& p : arc->controlPoints()) {
            x0 = std::min(x0, p.x);
            y0 = std::min(y0, p.y);
            x1 = std::max(x1, p.x);
            y1 = std::max(y1, p.y);
        }
        const double m = 1e-5;
        if (x0 > px1 + m || px0 > x1 + m || y0 > py1 + m || py0 > y1 + m)
            continue;
        CList<Point<double>*>* found = arc->intersection(&probe);
        if (!found)
            continue;
        while (!found->IsEmpty()) {
            std::unique_ptr<Pt> p(found->RemoveHead());
            const bool duplicate =
                std::any_of(kept.begin(), kept.end(), [&](const Pt& o) { return (o - *p).length() < gInsectTol; });
            if (!duplicate)
                kept.push_back(*p);
        }
        delete found;
    }
    return static_cast<int>(kept.size());
}

// inside(p) as the general path for every chain took it (the reference).
bool insideByScan(const CCompositeCurve& c, const Pt& p)
{
    const std::vector<Pt> corners = cornersOf(c);
    Pt min(corners[0].x, corners[0].y, 0), max = min;
    for (const Pt& k : corners) {
        min = Pt(std::min(min.x, k.x), std::min(min.y, k.y), 0);
        max = Pt(std::max(max.x, k.x), std::max(max.y, k.y), 0);
    }
    if (!(p.x >= min.x && p.y >= min.y && p.x <= max.x && p.y <= max.y))
        return false;
    const Pt q(p.x, p.y, 0.0);
    if (c.on(q))
        return false;
    const double L = 10.0 * (max - min).length();
    if (L == 0.0)
        return false;
    const double level = probeAngleOf(corners, q, 0.0, 30.0);
    const double slant = probeAngleOf(corners, q, 30.0, level);
    const Pt h = direction(level) * L;
    const Pt s = direction(slant) * L;
    auto odd = [&](Pt a, Pt b) { return crossingsByScan(c, a, b) % 2 == 1; };
    const bool right = odd(q, q + h);
    if (right && odd(q - h, q))
        return true;
    const bool rising = odd(q, q + s);
    if (right && rising)
        return true;
    return rising && odd(q - s, q);
}

// The corners moved to `at` and scaled by `size`.
std::vector<Pt> placed(const std::vector<Pt>& pts, const Pt& at, double size)
{
    std::vector<Pt> out;
    for (const Pt& p : pts)
        out.push_back(at + p * size);
    return out;
}

// Points that test the edges of the rules: corners; points on edges;
// beside edges just inside and outside the 1e-6 band; at the height of a
// corner, and 1e-5 (the corner-clear distance) above and below it within a
// few ulps; just outside the box; and random points of the box.
std::vector<Pt> trickyPoints(std::mt19937& rng, const std::vector<Pt>& pts, int count)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    Pt lo = pts[0], hi = pts[0];
    for (const Pt& p : pts) {
        lo = P(std::min(lo.x, p.x), std::min(lo.y, p.y));
        hi = P(std::max(hi.x, p.x), std::max(hi.y, p.y));
    }
    std::vector<Pt> out;
    for (int i = 0; i < count; ++i) {
        const std::size_t k = rng() % pts.size();
        const Pt a = pts[k];
        const Pt b = pts[(k + 1) % pts.size()];
        const Pt d = b - a;
        const double len = d.length();
        const Pt n = len > 0 ? P(-d.y / len, d.x / len) : P(0, 1);
        const Pt along = a + d * unit(rng);
        const double x = lo.x + unit(rng) * (hi.x - lo.x);
        switch (i % 9) {
        case 0: out.push_back(a); break;
        case 1: out.push_back(along); break;
        case 2: out.push_back(along + n * (1e-6 * (1.0 + (unit(rng) - 0.5) * 1e-6))); break;
        case 3: out.push_back(along - n * (1e-6 * (1.0 + (unit(rng) - 0.5) * 1e-6))); break;
        case 4: out.push_back(P(x, a.y)); break;
        case 5: out.push_back(P(x, a.y + 1e-5 * (1.0 + (unit(rng) - 0.5) * 1e-9))); break;
        case 6: out.push_back(P(x, a.y - 1e-5 * (1.0 + (unit(rng) - 0.5) * 1e-9))); break;
        case 7: out.push_back(P(std::nextafter(hi.x, 1e300), lo.y + unit(rng) * (hi.y - lo.y))); break;
        default: out.push_back(P(x, lo.y + unit(rng) * (hi.y - lo.y))); break;
        }
    }
    return out;
}

// Compares inside(p) of the chain with the reference for every point, the
// first calls scanning the legs and the later ones using the probe index.
void expectInsideOfScan(const std::vector<Pt>& pts, const std::vector<Pt>& probes, const char* what)
{
    auto c = composite_test::polyline(pts);
    int wrong = 0;
    for (int round = 0; round < 2; ++round) {
        for (const Pt& q : probes) {
            const bool want = insideByScan(*c, q);
            if (c->inside(q) != want && ++wrong <= 5)
                ADD_FAILURE() << what << ": inside(" << q.x << ", " << q.y << ") should be " << want;
        }
    }
    EXPECT_EQ(wrong, 0) << what;
}

// A star of n corners about the origin of radius about 1, some corners
// level with the one before.
std::vector<Pt> star(std::mt19937& rng, int n)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<Pt> pts;
    for (int i = 0; i < n; ++i) {
        const double a = 2.0 * 3.141592653589793 * (i + 0.8 * unit(rng)) / n;
        const double r = 0.3 + 0.7 * unit(rng);
        pts.push_back(P(r * std::cos(a), r * std::sin(a)));
        if (i % 7 == 3)
            pts.push_back(P(pts.back().x - 0.01, pts.back().y));
    }
    return pts;
}

TEST(KernelReviewInside, StarsAtEveryPlaceAndSizeAnswerAsTheGeneralPath)
{
    std::mt19937 rng(23);
    const auto shape = star(rng, 120);
    struct Place {
        Pt at;
        double size;
        const char* what;
    };
    const Place places[] = {{P(0, 0), 1.0, "unit"},          {P(1e8, -1e8), 1.0, "far"},
                            {P(0, 0), 1e-6, "tiny"},         {P(3e2, 4e2), 1e-6, "tiny off the origin"},
                            {P(0, 0), 1e6, "huge"},          {P(1e8, 1e8), 1e4, "far and large"}};
    for (const Place& place : places) {
        const auto pts = placed(shape, place.at, place.size);
        expectInsideOfScan(pts, trickyPoints(rng, pts, 900), place.what);
    }
}

TEST(KernelReviewInside, DegenerateChainsAnswerAsTheGeneralPath)
{
    std::mt19937 rng(29);
    const std::vector<std::pair<const char*, std::vector<Pt>>> shapes = {
        // A repeated corner: a leg of zero length.
        {"zero-length leg", {P(0, 0), P(2, 0), P(2, 0), P(2, 1), P(0, 1)}},
        // Collinear legs along the base and the top.
        {"collinear legs", {P(0, 0), P(0.5, 0), P(1, 0), P(2, 0), P(2, 1), P(1, 1), P(0, 1)}},
        // Two squares touching at one corner.
        {"touching at a corner", {P(0, 0), P(1, 0), P(1, 1), P(2, 1), P(2, 2), P(1, 2), P(1, 1), P(0, 1)}},
        // A spike out and back along one line.
        {"spike", {P(0, 0), P(2, 0), P(2, 1), P(1, 1), P(1, 3), P(1, 1), P(0, 1)}},
        // A slit: an edge that runs into the shape and back.
        {"slit", {P(0, 0), P(1, 0), P(1, 0.5), P(0.3, 0.5), P(1, 0.5 + 1e-7), P(1, 1), P(0, 1)}},
        // A flat chain: out and back along one line.
        {"flat", {P(0, 0), P(1, 0), P(2, 0)}},
        // Corners at different heights z (the on-curve distance counts z).
        {"raised corners", {Pt(0, 0, 0), Pt(1, 0, 5e-7), Pt(1, 1, 2e-6), Pt(0, 1, -1)}},
        // Corners 1e-6 apart vertically, at the band's width.
        {"thin", {P(0, 0), P(1, 0), P(1, 1e-6), P(0, 1e-6)}},
    };
    for (const auto& [what, pts] : shapes) {
        std::vector<Pt> probes = trickyPoints(rng, pts, 600);
        for (const Pt& p : pts)
            probes.push_back(p + P(0.25, 0.0));
        expectInsideOfScan(pts, probes, what);
    }
}

// Random self-crossing polygons of many corners: probe lines cross many legs
// (more than the few that are compared pairwise) and pass through or within
// rounding of the polygons' own crossings, where two legs give one point.
TEST(KernelReviewInside, SelfCrossingPolygonsAnswerAsTheGeneralPath)
{
    std::mt19937 rng(37);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int shape = 0; shape < 6; ++shape) {
        const int n = 40 + 50 * shape;
        const double size = shape % 2 ? 1e3 : 1.0;
        const double at = shape % 3 == 2 ? 1e8 : 0.0;
        std::vector<Pt> pts;
        for (int i = 0; i < n; ++i)
            pts.push_back(P(at + unit(rng) * size, at + unit(rng) * size));
        std::vector<Pt> probes = trickyPoints(rng, pts, 300);
        // The polygon's own crossings.
        std::vector<Pt> selfCrossings;
        for (int k = 0; k < 400 && selfCrossings.size() < 60; ++k) {
            const std::size_t i = rng() % pts.size();
            const std::size_t j = rng() % pts.size();
            Pt a = pts[i], b = pts[(i + 1) % pts.size()], c = pts[j], d = pts[(j + 1) % pts.size()];
            Pt x[2];
            if (i != j && lineIntersection(a, b, c, d, x, 1e-12) == 1)
                selfCrossings.push_back(x[0]);
        }
        // Points level with one crossing and on the 30-degree line through
        // another, so that both probe lines pass through crossings; and
        // points level with a crossing, on it and just off it.
        const double cot30 = 1.0 / std::tan(3.141592653589793 / 6.0);
        for (std::size_t k = 0; k + 1 < selfCrossings.size(); ++k) {
            const Pt& x1 = selfCrossings[k];
            const Pt& x2 = selfCrossings[k + 1];
            probes.push_back(P(x2.x + (x1.y - x2.y) * cot30, x1.y));
            probes.push_back(P(x1.x + 0.25 * size * (unit(rng) - 0.5), x1.y));
            probes.push_back(P(x1.x + 0.25 * size * (unit(rng) - 0.5), x1.y + 5e-8 * size));
        }
        expectInsideOfScan(pts, probes, "self-crossing");
    }
}

// ---- queries from several threads -------------------------------------------

int crossingCount(const CCompositeCurve& a, const CCompositeCurve& b)
{
    CList<Point<double>*> list(10);
    const int n = a.findIntersections(&b, &list);
    while (!list.IsEmpty())
        delete list.RemoveHead();
    return n;
}

// Shared and private straight chains and disks asked for inside(p), area()
// and their crossings from four threads at once, while a fifth keeps moving
// the program-wide edit count by editing a curve of its own: every answer is
// the one a single thread gave.
TEST(KernelReviewThreads, QueriesFromSeveralThreadsAnswerAsOneThread)
{
    std::mt19937 rng(31);
    const auto shared = composite_test::polyline(star(rng, 200));
    const auto other = composite_test::polyline(placed(star(rng, 150), P(0.1, 0.05), 1.0));
    const auto disk = composite_test::circle(P(0, 0), 1.0);
    const auto shifted = composite_test::circle(P(0.7, 0.2), 0.8);
    std::uniform_real_distribution<double> unit(-1.2, 1.2);
    std::vector<Pt> probes;
    for (int i = 0; i < 150; ++i)
        probes.push_back(P(unit(rng), unit(rng)));
    std::vector<char> inShared, inDisk;
    for (const Pt& p : probes) {
        inShared.push_back(shared->inside(p));
        inDisk.push_back(disk->inside(p));
    }
    const double sharedArea = shared->area();
    const double diskArea = disk->area();
    const int lines = crossingCount(*shared, *other);
    const int arcs = crossingCount(*disk, *shifted);

    std::atomic<int> mismatches{0};
    std::atomic<bool> stop{false};
    auto worker = [&](int id) {
        const CCompositeCurve own(*shared);
        const CCompositeCurve ownDisk(*disk);
        for (int round = 0; round < 2; ++round) {
            for (std::size_t i = 0; i < probes.size(); ++i) {
                const bool a = shared->inside(probes[i]);
                const bool b = own.inside(probes[i]);
                const bool c = (id % 2 == 0 ? *disk : ownDisk).inside(probes[i]);
                mismatches += (a != bool(inShared[i])) + (b != bool(inShared[i])) + (c != bool(inDisk[i]));
            }
            mismatches += (shared->area() != sharedArea) + (own.area() != sharedArea) +
                          (disk->area() != diskArea) + (ownDisk.area() != diskArea);
            mismatches += (crossingCount(id % 2 ? own : *shared, *other) != lines);
            mismatches += (crossingCount(id % 2 ? ownDisk : *disk, *shifted) != arcs);
        }
    };
    std::thread editor([&] {
        auto scratch = composite_test::unitSquare();
        while (!stop) {
            scratch->translate(P(1, 0));
            scratch->translate(P(-1, 0));
        }
    });
    std::vector<std::thread> workers;
    for (int id = 0; id < 4; ++id)
        workers.emplace_back(worker, id);
    for (std::thread& t : workers)
        t.join();
    stop = true;
    editor.join();
    EXPECT_EQ(mismatches.load(), 0);
}

// ---- in-circle and in-sphere over the whole double range -------------------

using boost::multiprecision::cpp_int;

// v * 2^1074, an integer for every finite double.
cpp_int exactInt(double v)
{
    if (v == 0.0)
        return 0;
    int e = 0;
    const double m = std::frexp(std::fabs(v), &e);
    cpp_int r = static_cast<long long>(std::ldexp(m, 53));
    const int shift = e - 53 + 1074;
    if (shift >= 0)
        r <<= shift;
    else
        r >>= -shift;  // the low bits of a subnormal's mantissa are zero
    return v < 0.0 ? cpp_int(-r) : r;
}

int signOf(const cpp_int& v)
{
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

int signOf(double v)
{
    return v > 0.0 ? 1 : (v < 0.0 ? -1 : 0);
}

// The sign of the in-circle determinant in exact integer arithmetic.
int exactIncircle(const double* a, const double* b, const double* c, const double* d)
{
    const cpp_int dx = exactInt(d[0]), dy = exactInt(d[1]);
    const cpp_int adx = exactInt(a[0]) - dx, ady = exactInt(a[1]) - dy;
    const cpp_int bdx = exactInt(b[0]) - dx, bdy = exactInt(b[1]) - dy;
    const cpp_int cdx = exactInt(c[0]) - dx, cdy = exactInt(c[1]) - dy;
    const cpp_int alift = adx * adx + ady * ady;
    const cpp_int blift = bdx * bdx + bdy * bdy;
    const cpp_int clift = cdx * cdx + cdy * cdy;
    return signOf(alift * (bdx * cdy - cdx * bdy) + blift * (cdx * ady - adx * cdy) +
                  clift * (adx * bdy - bdx * ady));
}

// The sign of the in-sphere determinant in exact integer arithmetic.
int exactInsphere(const double* a, const double* b, const double* c, const double* d, const double* e)
{
    cpp_int ex[4], ey[4], ez[4];
    const double* pts[4] = {a, b, c, d};
    for (int i = 0; i < 4; ++i) {
        ex[i] = exactInt(pts[i][0]) - exactInt(e[0]);
        ey[i] = exactInt(pts[i][1]) - exactInt(e[1]);
        ez[i] = exactInt(pts[i][2]) - exactInt(e[2]);
    }
    const cpp_int ab = ex[0] * ey[1] - ex[1] * ey[0];
    const cpp_int bc = ex[1] * ey[2] - ex[2] * ey[1];
    const cpp_int cd = ex[2] * ey[3] - ex[3] * ey[2];
    const cpp_int da = ex[3] * ey[0] - ex[0] * ey[3];
    const cpp_int ac = ex[0] * ey[2] - ex[2] * ey[0];
    const cpp_int bd = ex[1] * ey[3] - ex[3] * ey[1];
    const cpp_int abc = ez[0] * bc - ez[1] * ac + ez[2] * ab;
    const cpp_int bcd = ez[1] * cd - ez[2] * bd + ez[3] * bc;
    const cpp_int cda = ez[2] * da + ez[3] * ac + ez[0] * cd;
    const cpp_int dab = ez[3] * ab + ez[0] * bd + ez[1] * da;
    cpp_int lift[4];
    for (int i = 0; i < 4; ++i)
        lift[i] = ex[i] * ex[i] + ey[i] * ey[i] + ez[i] * ez[i];
    return signOf((lift[3] * abc - lift[2] * dab) + (lift[1] * cda - lift[0] * bcd));
}

bool allFinite(const double* v, int n)
{
    return std::all_of(v, v + n, [](double x) { return std::isfinite(x); });
}

// Near-degenerate in-circle input at scale 1: four points of the circle of
// radius 5 about the origin, the last moved by a few ulps or not at all,
// and random points with short mantissas (exact when scaled).
std::vector<std::vector<double>> incircleCases(std::mt19937& rng)
{
    std::vector<std::vector<double>> cases;
    for (int ulps : {0, 1, -1, 3})
        cases.push_back({5, 0, 0, 5, -5, 0, 3, 4 + ulps * 0x1p-50});
    cases.push_back({5, 0, 0, 5, -5, 0, 3 + 0x1p-40, 4});
    std::uniform_int_distribution<int> small(-(1 << 20), 1 << 20);
    for (int i = 0; i < 4; ++i) {
        std::vector<double> c;
        for (int k = 0; k < 8; ++k)
            c.push_back(std::ldexp(small(rng), -20));
        cases.push_back(c);
    }
    return cases;
}

std::vector<std::vector<double>> insphereCases(std::mt19937& rng)
{
    std::vector<std::vector<double>> cases;
    // Points of the sphere of radius 3 about the origin; the last moved.
    for (int ulps : {0, 1, -1})
        cases.push_back({3, 0, 0, 0, 3, 0, -3, 0, 0, 0, 0, 3, 1, 2, 2 + ulps * 0x1p-51});
    std::uniform_int_distribution<int> small(-(1 << 20), 1 << 20);
    for (int i = 0; i < 3; ++i) {
        std::vector<double> c;
        for (int k = 0; k < 15; ++k)
            c.push_back(std::ldexp(small(rng), -20));
        cases.push_back(c);
    }
    return cases;
}

// Every case scaled by 2^e for every exponent e of the double range,
// subnormal and near DBL_MAX included, against the exact sign of the
// doubles actually passed.
TEST(KernelReviewPredicates, IncircleAndInsphereSignsAtEveryExponent)
{
    std::mt19937 rng(52);
    const auto circles = incircleCases(rng);
    const auto spheres = insphereCases(rng);
    int wrong = 0;
    for (int e = -1080; e <= 1024; e += 1) {
        for (const auto& base : circles) {
            double v[8];
            for (int k = 0; k < 8; ++k)
                v[k] = std::ldexp(base[k], e);
            if (!allFinite(v, 8))
                continue;
            const int got = signOf(incircle(v, v + 2, v + 4, v + 6));
            const int want = exactIncircle(v, v + 2, v + 4, v + 6);
            if (got != want && ++wrong < 10)
                ADD_FAILURE() << "incircle at 2^" << e << ": " << got << " exact " << want;
        }
        if (e % 3 != 0)
            continue;
        for (const auto& base : spheres) {
            double v[15];
            for (int k = 0; k < 15; ++k)
                v[k] = std::ldexp(base[k], e);
            if (!allFinite(v, 15))
                continue;
            const int got = signOf(insphere(v, v + 3, v + 6, v + 9, v + 12));
            const int want = exactInsphere(v, v + 3, v + 6, v + 9, v + 12);
            if (got != want && ++wrong < 10)
                ADD_FAILURE() << "insphere at 2^" << e << ": " << got << " exact " << want;
        }
    }
    EXPECT_EQ(wrong, 0);
}

int exactOrient2d(const double* a, const double* b, const double* c)
{
    const cpp_int acx = exactInt(a[0]) - exactInt(c[0]), acy = exactInt(a[1]) - exactInt(c[1]);
    const cpp_int bcx = exactInt(b[0]) - exactInt(c[0]), bcy = exactInt(b[1]) - exactInt(c[1]);
    return signOf(acx * bcy - acy * bcx);
}

// orient2d is not scaled like incircle: its products leave the double range
// for coordinates at or below 2^-514 and at or above 2^511, and it answers 0
// (collinear) for plainly turning points there (Orient2d.cpp, orient2d).
// Documents that limit, far beyond the coordinates of any section: kept
// disabled and run alone as a CTest entry expected to fail
// (analysis_tests.limit.*), so that lifting the limit shows.
TEST(KernelReviewPredicates, DISABLED_Orient2dSignsAtEveryExponent)
{
    const std::vector<std::vector<double>> cases = {
        {0, 0, 1, 1, 3, 3 + 0x1p-50}, {0, 0, 1, 1, 3, 3}, {1, 2, 3, 5, 0x1p-30, 0x1p-31}, {2, 1, -1, 4, 3, 0.5}};
    int wrong = 0;
    int lowest = -2000, highest = 0;
    for (int e = -1080; e <= 1024; ++e) {
        for (const auto& base : cases) {
            double v[6];
            for (int k = 0; k < 6; ++k)
                v[k] = std::ldexp(base[k], e);
            if (!allFinite(v, 6))
                continue;
            const int got = signOf(orient2d(v, v + 2, v + 4));
            const int want = exactOrient2d(v, v + 2, v + 4);
            if (got != want) {
                ++wrong;
                if (e < 0)
                    lowest = std::max(lowest, e);
                else
                    highest = highest == 0 ? e : std::min(highest, e);
            }
        }
    }
    EXPECT_EQ(wrong, 0) << "wrong signs from 2^" << lowest << " down and from 2^" << highest << " up";
}

// Coordinates of very different magnitudes in one call: the point that
// decides lies a tiny distance off a huge circle (or sphere), or a tiny
// circle is tested against a far point. The exact determinant lies below
// the double range once the products are formed, even after scaling by a
// power of two, and incircle/insphere answer 0 (InCircle.cpp, InSphere.cpp).
// Documents that limit (magnitudes 1e-170 beside 1 in one call, which no
// mesh reaches): kept disabled and run alone as a CTest entry expected to
// fail (analysis_tests.limit.*), so that lifting the limit shows.
TEST(KernelReviewPredicates, DISABLED_MixedMagnitudesInOneCall)
{
    struct Circle {
        double v[8];
    };
    const double M = 0x1p1000;
    const double r = 0x1p-600;
    const Circle circles[] = {
        {{M, 0, 0, M, -M, 0, 0x1p-60, -M}},
        {{1e100, 0, 0, 1e100, -1e100, 0, 1e-100, -1e100}},
        {{1, 0, 0, 1, -1, 0, 1e-170, -1}},
        {{r, 0, 0, r, -r, 0, 1, 0}},
    };
    for (const Circle& c : circles) {
        const double* v = c.v;
        EXPECT_EQ(signOf(incircle(v, v + 2, v + 4, v + 6)), exactIncircle(v, v + 2, v + 4, v + 6))
            << v[0] << " " << v[6] << " " << v[7];
    }
    struct Sphere {
        double v[15];
    };
    const Sphere spheres[] = {
        {{M, 0, 0, 0, M, 0, -M, 0, 0, 0, 0, M, 0x1p-60, 0, -M}},
        {{r, 0, 0, 0, r, 0, -r, 0, 0, 0, 0, r, 1, 0, 0}},
    };
    for (const Sphere& s : spheres) {
        const double* v = s.v;
        EXPECT_EQ(signOf(insphere(v, v + 3, v + 6, v + 9, v + 12)), exactInsphere(v, v + 3, v + 6, v + 9, v + 12))
            << v[0] << " " << v[12] << " " << v[14];
    }
}

// ---- the mesher's sign-only orientation tests -------------------------------

// Inputs where orient2d's and orient2dexact's signs (or the signs of half
// their values, which the weld reads) differ, over the exponents lo..hi.
int orientSignDisagreements(int lo, int hi)
{
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> small(-(1 << 20), 1 << 20);
    std::vector<std::vector<double>> cases = {
        {0, 0, 1, 1, 3, 3 + 0x1p-50}, {0, 0, 1, 1, 3, 3}, {1, 2, 3, 5, 0x1p-30, 0x1p-31}, {2, 1, -1, 4, 3, 0.5}};
    for (int i = 0; i < 4; ++i) {
        std::vector<double> c;
        for (int k = 0; k < 6; ++k)
            c.push_back(std::ldexp(small(rng), -20));
        cases.push_back(c);
    }
    int wrong = 0;
    for (int e = lo; e <= hi; ++e) {
        for (const auto& base : cases) {
            double v[6];
            for (int k = 0; k < 6; ++k)
                v[k] = std::ldexp(base[k], e);
            if (!allFinite(v, 6))
                continue;
            const double adaptive = orient2d(v, v + 2, v + 4);
            const double exact = orient2dexact(v, v + 2, v + 4);
            if ((signOf(adaptive) != signOf(exact) || signOf(adaptive * 0.5) != signOf(exact * 0.5)) &&
                ++wrong <= 5)
                ADD_FAILURE() << "at 2^" << e << ": orient2d " << adaptive << ", orient2dexact " << exact;
        }
    }
    return wrong;
}

// The mesher now reads the sign of orient2d where it read orient2dexact's:
// the signs agree wherever the products stay within the double range.
TEST(KernelReviewPredicates, Orient2dSignIsOrient2dexactSign)
{
    EXPECT_EQ(orientSignDisagreements(-500, 500), 0);
}

// Below 2^-514 and from 2^511 on, the products leave the double range and
// the two differ (0 against -DBL_TRUE_MIN, say), so the claim holds only in
// that range unless orient2d is scaled as incircle is (Orient2d.cpp).
// Documents where the mesher's reading of orient2d stops agreeing: kept
// disabled and run alone as a CTest entry expected to fail
// (analysis_tests.limit.*), so that lifting the limit shows.
TEST(KernelReviewPredicates, DISABLED_Orient2dSignIsOrient2dexactSignAtEveryExponent)
{
    EXPECT_EQ(orientSignDisagreements(-1080, 1024), 0);
}

} // namespace
