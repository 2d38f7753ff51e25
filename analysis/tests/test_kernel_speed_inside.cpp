// inside(p) of straight-line chains through the kept legs and their probe
// index, against the scan over every leg that it replaces (kept here as the
// reference): the same answer for points inside, outside, on edges, at
// corners and at the corners' heights, and a fresh answer after every kind
// of edit of the chain.
#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/geometry/Matrix.h"
#include "analysis/geometry/PlanarGeometry.h"
#include "analysis/model/Globals.h"
#include "analysis/tests/test_composite_support.h"

namespace {

using composite_test::P;
using composite_test::Pt;

// ---- inside(p) of a straight chain as the scan over every leg did it ----

struct Leg {
    Pt S, E;
};

Pt direction(double degrees)
{
    const double a = 3.141592653589793 * degrees / 180.0;
    return Pt(std::cos(a), std::sin(a), 0.0);
}

bool onLeg(const Leg& leg, const Pt& p)
{
    if (p.x < std::min(leg.S.x, leg.E.x) - 1e-6 || p.x > std::max(leg.S.x, leg.E.x) + 1e-6 ||
        p.y < std::min(leg.S.y, leg.E.y) - 1e-6 || p.y > std::max(leg.S.y, leg.E.y) + 1e-6)
        return false;
    const double dx = leg.E.x - leg.S.x;
    const double dy = leg.E.y - leg.S.y;
    const double len2 = dx * dx + dy * dy;
    double lambda = len2 > 0.0 ? ((p.x - leg.S.x) * dx + (p.y - leg.S.y) * dy) / len2 : 0.0;
    lambda = std::clamp(lambda, 0.0, 1.0);
    const Pt C = leg.S + (leg.E - leg.S) * lambda;
    const double d2 = (p - C).lengthSquared();
    return d2 < 1e-40 || std::sqrt(d2) < 1e-6;
}

bool clearOfCorners(const std::vector<Leg>& legs, const Pt& q, double degrees)
{
    const Pt u = direction(degrees);
    for (const Leg& leg : legs) {
        for (const Pt* c : {&leg.S, &leg.E}) {
            if (std::fabs(u.x * (c->y - q.y) - u.y * (c->x - q.x)) < 1e-5)
                return false;
        }
    }
    return true;
}

double probeAngle(const std::vector<Leg>& legs, const Pt& q, double preferred, double taken)
{
    if (clearOfCorners(legs, q, preferred))
        return preferred;
    for (double a : {12.7, 41.3, 57.9, 77.1, 98.3, 118.9, 137.5, 161.3}) {
        if (a != taken && clearOfCorners(legs, q, a))
            return a;
    }
    return preferred;
}

// Distinct crossings of the probe a-b on the line through q at the angle,
// each dropped when one kept before it lies within gInsectTol.
int countCrossings(const std::vector<Leg>& legs, Pt a, Pt b, const Pt& q, double degrees, double margin)
{
    const Pt u = direction(degrees);
    const double px0 = std::min(a.x, b.x), py0 = std::min(a.y, b.y);
    const double px1 = std::max(a.x, b.x), py1 = std::max(a.y, b.y);
    std::vector<Pt> kept;
    for (const Leg& leg : legs) {
        const double sS = u.x * (leg.S.y - q.y) - u.y * (leg.S.x - q.x);
        const double sE = u.x * (leg.E.y - q.y) - u.y * (leg.E.x - q.x);
        if ((sS >= margin && sE >= margin) || (sS <= -margin && sE <= -margin))
            continue;
        const double m = 1e-5;
        if (std::min(leg.S.x, leg.E.x) > px1 + m || px0 > std::max(leg.S.x, leg.E.x) + m ||
            std::min(leg.S.y, leg.E.y) > py1 + m || py0 > std::max(leg.S.y, leg.E.y) + m)
            continue;
        Pt s = leg.S, e = leg.E, c = a, d = b;
        Pt pts[2];
        const int k = lineIntersection(s, e, c, d, pts, 1e-12);
        for (int i = 0; i < k; ++i) {
            const bool duplicate = std::any_of(kept.begin(), kept.end(), [&](const Pt& o) {
                return (o - pts[i]).length() < gInsectTol;
            });
            if (!duplicate)
                kept.push_back(pts[i]);
        }
    }
    return static_cast<int>(kept.size());
}

bool insideByScan(const std::vector<Leg>& legs, const Pt& p)
{
    Pt min(legs[0].S.x, legs[0].S.y, 0), max = min;
    for (const Leg& leg : legs) {
        for (const Pt* c : {&leg.S, &leg.E}) {
            min = Pt(std::min(min.x, c->x), std::min(min.y, c->y), 0);
            max = Pt(std::max(max.x, c->x), std::max(max.y, c->y), 0);
        }
    }
    if (!(p.x >= min.x && p.y >= min.y && p.x <= max.x && p.y <= max.y))
        return false;
    const Pt q(p.x, p.y, 0.0);
    if (std::any_of(legs.begin(), legs.end(), [&](const Leg& leg) { return onLeg(leg, q); }))
        return false;
    const double L = 10.0 * (max - min).length();
    if (L == 0.0)
        return false;
    const double scale = std::max({std::fabs(min.x), std::fabs(max.x), std::fabs(min.y), std::fabs(max.y)});
    const double margin = 1e-11 + 1e-12 * (scale + L);
    const double level = probeAngle(legs, q, 0.0, 30.0);
    const double slant = probeAngle(legs, q, 30.0, level);
    const Pt h = direction(level) * L;
    const Pt s = direction(slant) * L;
    auto odd = [&](Pt a, Pt b, double angle) { return countCrossings(legs, a, b, q, angle, margin) % 2 == 1; };
    const bool right = odd(q, q + h, level);
    if (right && odd(q - h, q, level))
        return true;
    const bool rising = odd(q, q + s, slant);
    if (right && rising)
        return true;
    return rising && odd(q - s, q, slant);
}

std::vector<Leg> legsOf(const std::vector<Pt>& pts)
{
    std::vector<Leg> legs;
    for (std::size_t i = 0; i < pts.size(); ++i)
        legs.push_back(Leg{pts[i], pts[(i + 1) % pts.size()]});
    return legs;
}

// ---- the cases ----

// A closed random star polygon about (0.5, 0.5) of about n corners, some of
// them level with the one before.
std::vector<Pt> starPolygon(std::mt19937& rng, int n)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<Pt> pts;
    for (int i = 0; i < n; ++i) {
        const double a = 2.0 * 3.141592653589793 * (i + 0.8 * unit(rng)) / n;
        const double r = 0.15 + 0.35 * unit(rng);
        pts.push_back(P(0.5 + r * std::cos(a), 0.5 + r * std::sin(a)));
        if (i % 9 == 4)
            pts.push_back(P(pts.back().x - 0.001, pts.back().y));
    }
    return pts;
}

// A comb: teeth the full height of the shape, so that every leg is long
// across the horizontal probes.
std::vector<Pt> comb(int teeth)
{
    std::vector<Pt> pts{P(0, 0)};
    for (int i = 0; i < teeth; ++i) {
        pts.push_back(P(2 * i + 1, 0));
        pts.push_back(P(2 * i + 1, 100));
        pts.push_back(P(2 * i + 2, 100));
        pts.push_back(P(2 * i + 2, 1));
    }
    pts.push_back(P(2 * teeth + 1, 1));
    pts.push_back(P(2 * teeth + 1, -1));
    pts.push_back(P(0, -1));
    return pts;
}

// A point of one of the kinds that matter for the polygon: on an edge, at a
// corner, at a corner's height or just off it, beside an edge around the
// on-curve band, beyond the box, anywhere in the box.
Pt probePoint(std::mt19937& rng, const std::vector<Pt>& pts, const Pt& lo, const Pt& hi, int i)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const std::size_t k = rng() % pts.size();
    const Pt& a = pts[k];
    const Pt& b = pts[(k + 1) % pts.size()];
    const Pt size = hi - lo;
    auto any = [&] { return P(lo.x + unit(rng) * size.x, lo.y + unit(rng) * size.y); };
    switch (i % 8) {
    case 0:
        return a + (b - a) * unit(rng);
    case 1:
        return a;
    case 2:
        return P(any().x, a.y + (i % 16 == 2 ? 0.0 : 3e-6 * size.y));
    case 3:
        return a + (b - a) * unit(rng) + P(-(b - a).y, (b - a).x) * ((unit(rng) - 0.5) * 4e-6 / (b - a).length());
    case 4:
        return P(lo.x + (3 * unit(rng) - 1) * size.x, lo.y + (3 * unit(rng) - 1) * size.y);
    default:
        return any();
    }
}

// A point where the probe lines of the chain's fast path meet corners: near
// a corner (within the on-curve band and just beyond it), on a corner's
// 30-degree line, at a corner's height and on another corner's 30-degree
// line (so both preferred probes pass a corner), exactly at a corner's
// height (a level edge's own line when the corner starts one), or anywhere.
Pt cornerPoint(std::mt19937& rng, const std::vector<Pt>& pts, const Pt& lo, const Pt& hi, int i)
{
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const Pt& a = pts[rng() % pts.size()];
    const Pt& b = pts[rng() % pts.size()];
    const Pt size = hi - lo;
    const Pt slant = direction(30.0);
    switch (i % 6) {
    case 0:
        return a + P(unit(rng), unit(rng)) * (i % 12 == 0 ? 1e-6 : 3e-6);
    case 1:
        return a + slant * (unit(rng) * size.x);
    case 2:
        return b + slant * ((a.y - b.y) / slant.y);
    case 3:
        return P(lo.x + (unit(rng) + 1.0) * 0.5 * size.x, a.y);
    default:
        return P(lo.x + (unit(rng) + 1.0) * 0.5 * size.x, lo.y + (unit(rng) + 1.0) * 0.5 * size.y);
    }
}

using PointKind = Pt (*)(std::mt19937&, const std::vector<Pt>&, const Pt&, const Pt&, int);

// Asks the curve of the polygon `count` points of the kind and compares each
// answer with the scan's; returns how many were inside.
int compare(std::mt19937& rng, const std::vector<Pt>& pts, int count, PointKind kind = probePoint)
{
    auto curve = composite_test::polyline(pts);
    const std::vector<Leg> legs = legsOf(pts);
    Pt lo = pts[0], hi = pts[0];
    for (const Pt& p : pts) {
        lo = P(std::min(lo.x, p.x), std::min(lo.y, p.y));
        hi = P(std::max(hi.x, p.x), std::max(hi.y, p.y));
    }
    int inside = 0;
    for (int i = 0; i < count; ++i) {
        const Pt p = kind(rng, pts, lo, hi, i);
        const bool expected = insideByScan(legs, p);
        const bool got = curve->inside(p);
        EXPECT_EQ(got, expected) << "point " << i << " (" << p.x << ", " << p.y << ")";
        if (got != expected)
            break;
        inside += expected;
    }
    return inside;
}

TEST(KernelSpeedInside, HundredThousandPointsOnAThousandCornersAnswerAsTheScan)
{
    std::mt19937 rng(52);
    const std::vector<Pt> star = starPolygon(rng, 900);
    ASSERT_GE(star.size(), 1000u);
    const int inside = compare(rng, star, 100000);
    // Both answers occur often.
    EXPECT_GT(inside, 10000);
    EXPECT_LT(inside, 80000);
}

TEST(KernelSpeedInside, LongLegsAndOutlinesFarFromTheOriginAnswerAsTheScan)
{
    std::mt19937 rng(53);
    EXPECT_GT(compare(rng, comb(150), 6000), 600);
    std::vector<Pt> far = starPolygon(rng, 300);
    for (Pt& p : far)
        p = P(p.x * 1e4 + 1e6, p.y * 1e4 - 3e7);
    EXPECT_GT(compare(rng, far, 6000), 600);
}

TEST(KernelSpeedInside, ProbesThroughCornersAndAlongLevelEdgesAnswerAsTheScan)
{
    std::mt19937 rng(54);
    const std::vector<Pt> star = starPolygon(rng, 900);
    EXPECT_GT(compare(rng, star, 60000, cornerPoint), 6000);
    std::vector<Pt> far = starPolygon(rng, 300);
    for (Pt& p : far)
        p = P(p.x * 1e4 + 1e6, p.y * 1e4 - 3e7);
    EXPECT_GT(compare(rng, far, 20000, cornerPoint), 2000);
    // So large that the squares of the clean-crossing test would overflow.
    std::vector<Pt> huge = starPolygon(rng, 300);
    for (Pt& p : huge)
        p = p * 1e70;
    EXPECT_GT(compare(rng, huge, 5000, cornerPoint), 500);
    // A staircase: level edges and corners at few heights, so that many
    // probes run along an edge or through several corners at once.
    std::vector<Pt> stairs{P(0, 0)};
    for (int i = 0; i < 40; ++i) {
        stairs.push_back(P(i + 1, i % 4));
        stairs.push_back(P(i + 1, (i + 1) % 4));
    }
    stairs.push_back(P(41, 6));
    stairs.push_back(P(0, 6));
    EXPECT_GT(compare(rng, stairs, 20000, cornerPoint), 2000);
    EXPECT_GT(compare(rng, stairs, 20000), 2000);
}

TEST(KernelSpeedInside, CrossingsCloserThanTheRepeatToleranceAnswerAsTheScan)
{
    // A needle whose two sides cross every probe line that meets them less
    // than gInsectTol apart: the scan keeps one of the two points, which
    // turns the parity of the probes that meet the needle. And a sliver whose
    // long sides are nearly level, so that horizontal probes meet them at
    // a glancing angle.
    std::mt19937 rng(55);
    const std::vector<Pt> needle{P(0, 0), P(0.4, 0), P(0.6, 0.9), P(0.4 + 5e-8, 0), P(1, 0), P(1, 1), P(0, 1)};
    EXPECT_GT(compare(rng, needle, 20000), 2000);
    EXPECT_GT(compare(rng, needle, 20000, cornerPoint), 2000);
    const std::vector<Pt> sliver{P(0, 0), P(1000, 0.4), P(1000, 0.4 + 1e-4), P(0, 1e-3), P(-5, 1e-3)};
    EXPECT_GT(compare(rng, sliver, 20000), 100);
    EXPECT_GT(compare(rng, sliver, 20000, cornerPoint), 100);
}

// Answers of the curve for a grid of points across [-1, 3]², each asked
// twice so that the second time goes through the legs' index.
std::vector<int> answers(const CCompositeCurve& c)
{
    std::vector<int> out;
    for (int pass = 0; pass < 2; ++pass) {
        out.clear();
        for (int i = 0; i <= 40; ++i) {
            for (int j = 0; j <= 40; ++j)
                out.push_back(c.inside(P(-1 + 0.1 * i + 0.013, -1 + 0.1 * j + 0.007)));
        }
    }
    return out;
}

TEST(KernelSpeedInside, EveryEditOfTheChainIsSeen)
{
    // Each edit is made after the curve has answered (and indexed its legs);
    // its answers must then be those of a fresh copy of the edited curve.
    using Edit = void (*)(CCompositeCurve&);
    const Edit edits[] = {
        [](CCompositeCurve& c) { c.translate(P(0.55, 0.3)); },
        [](CCompositeCurve& c) { c.reverse(); },
        [](CCompositeCurve& c) {
            Matrix M(4, 4);
            M.identity();
            M(0, 0) = 1.7;
            c.transform(M);
        },
        [](CCompositeCurve& c) { *c.closest(P(2, 2)) = P(2.6, 2.9); },
        [](CCompositeCurve& c) {
            // Through a pointer into an arc taken before the curve answered.
            c.arcs().GetHead()->controlPointsMutable()[1] = P(2.5, -0.5);
        },
        [](CCompositeCurve& c) { delete c.arcsMutable().RemoveTail(); },
        [](CCompositeCurve& c) {
            // The first arc made rational: no longer a plain line.
            c.arcs().GetHead()->setRational(true);
        },
        [](CCompositeCurve& c) { c = *composite_test::rectangle(0.5, 0.5, 1.5, 2.5); },
        [](CCompositeCurve& c) {
            Pt poly[] = {P(0, 0), P(2, 0), P(2, 2), P(0, 2), P(0, 0)};
            CCompositeCurve other;
            other.addArc(new Bspline(5, poly));
            c = other;
        },
    };
    for (std::size_t k = 0; k < sizeof(edits) / sizeof(edits[0]); ++k) {
        auto curve = composite_test::polyline({P(0, 0), P(2, 0), P(2, 2), P(1, 1.2), P(0, 2)});
        answers(*curve);
        edits[k](*curve);
        const CCompositeCurve fresh(*curve);
        EXPECT_EQ(answers(*curve), answers(fresh)) << "edit " << k;
    }
}

}  // namespace
