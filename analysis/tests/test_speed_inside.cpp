// The one-pass inside test of straight-line chains against the probe
// counting it replaces (kept here as the reference): the same answer for
// points inside, outside, on edges, at corners and at the corners' heights.
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/Globals.h"
#include "analysis/tests/test_composite_support.h"

namespace {

using composite_test::P;
using composite_test::Pt;
using PointList = CList<Point<double>*>;

// ---- inside(p) as it first was: every probe counted over every arc ----

struct Box {
    double x0, y0, x1, y1;
};

Box boxOf(const Bspline* arc)
{
    Box b{arc->cpts(0).x, arc->cpts(0).y, arc->cpts(0).x, arc->cpts(0).y};
    for (const Pt& p : arc->controlPoints()) {
        b.x0 = std::min(b.x0, p.x);
        b.y0 = std::min(b.y0, p.y);
        b.x1 = std::max(b.x1, p.x);
        b.y1 = std::max(b.y1, p.y);
    }
    return b;
}

bool apart(const Box& a, const Box& b)
{
    const double m = 1e-5;
    return a.x0 > b.x1 + m || b.x0 > a.x1 + m || a.y0 > b.y1 + m || b.y0 > a.y1 + m;
}

int countByList(const CCompositeCurve& c, Pt a, Pt b)
{
    Bspline probe(&a, &b, false);
    const Box bp = boxOf(&probe);
    PointList list(10);
    POSITION pos = c.arcs().GetHeadPosition();
    while (pos) {
        const Bspline* arc = c.arcs().GetNext(pos);
        if (apart(boxOf(arc), bp))
            continue;
        PointList* found = arc->intersection(&probe);
        while (found && !found->IsEmpty()) {
            Pt* p = found->RemoveHead();
            bool duplicate = false;
            POSITION q = list.GetHeadPosition();
            while (q && !duplicate)
                duplicate = (*list.GetNext(q) - *p).length() < gInsectTol;
            if (duplicate)
                delete p;
            else
                list.AddTail(p);
        }
        delete found;
    }
    const int n = static_cast<int>(list.GetCount());
    while (!list.IsEmpty())
        delete list.RemoveHead();
    return n;
}

Pt direction(double degrees)
{
    const double a = 3.141592653589793 * degrees / 180.0;
    return Pt(std::cos(a), std::sin(a), 0.0);
}

bool clear(const std::vector<Pt>& corners, const Pt& q, const Pt& u)
{
    for (const Pt& c : corners) {
        if (std::fabs(u.x * (c.y - q.y) - u.y * (c.x - q.x)) < 1e-5)
            return false;
    }
    return true;
}

double angle(const std::vector<Pt>& corners, const Pt& q, double preferred, double taken)
{
    if (clear(corners, q, direction(preferred)))
        return preferred;
    for (double a : {12.7, 41.3, 57.9, 77.1, 98.3, 118.9, 137.5, 161.3}) {
        if (a != taken && clear(corners, q, direction(a)))
            return a;
    }
    return preferred;
}

bool insideByProbes(const CCompositeCurve& c, const Pt& p)
{
    std::vector<Pt> corners;
    Pt min(1e300, 1e300, 0), max(-1e300, -1e300, 0);
    POSITION pos = c.arcs().GetHeadPosition();
    while (pos) {
        for (const Pt& q : c.arcs().GetNext(pos)->controlPoints()) {
            corners.push_back(q);
            min = Pt(std::min(min.x, q.x), std::min(min.y, q.y), 0);
            max = Pt(std::max(max.x, q.x), std::max(max.y, q.y), 0);
        }
    }
    if (!(p.x >= min.x && p.y >= min.y && p.x <= max.x && p.y <= max.y))
        return false;
    const Pt q(p.x, p.y, 0.0);
    if (c.on(q))
        return false;
    const double L = 10.0 * (max - min).length();
    const double level = angle(corners, q, 0.0, 30.0);
    const double slant = angle(corners, q, 30.0, level);
    const Pt h = direction(level) * L;
    const Pt s = direction(slant) * L;
    const bool right = countByList(c, q, q + h) % 2 == 1;
    const bool left = countByList(c, q - h, q) % 2 == 1;
    const bool rising = countByList(c, q, q + s) % 2 == 1;
    const bool falling = countByList(c, q - s, q) % 2 == 1;
    return (right && left) || (right && rising) || (rising && falling);
}

// ---- the cases ----

// A closed random star polygon about (0.5, 0.5) with some axis-parallel
// edges and a few corners on one height.
std::vector<Pt> starPolygon(std::mt19937& rng, int n)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<Pt> pts;
    for (int i = 0; i < n; ++i) {
        const double a = 2.0 * 3.141592653589793 * (i + 0.8 * unit(rng)) / n;
        const double r = 0.15 + 0.35 * unit(rng);
        pts.push_back(P(0.5 + r * std::cos(a), 0.5 + r * std::sin(a)));
        if (i % 9 == 4)  // the next corner level with this one
            pts.push_back(P(pts.back().x - 0.01, pts.back().y));
    }
    return pts;
}

// Random points of the kinds that matter against the star polygon scaled
// by `scale` about the origin and moved by `shift`; returns how many are inside.
int compareOnStar(std::mt19937& rng, double scale, double shift, int count)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<Pt> pts = starPolygon(rng, 16);
    for (Pt& q : pts)
        q = P(q.x * scale + shift, q.y * scale + shift);
    auto c = composite_test::polyline(pts);
    const std::size_t n = pts.size();
    auto any = [&] { return P(unit(rng) * scale + shift, unit(rng) * scale + shift); };
    int inside = 0;
    for (int i = 0; i < count; ++i) {
        Pt p;
        const std::size_t k = rng() % n;
        const Pt& a = pts[k];
        const Pt& b = pts[(k + 1) % n];
        switch (i % 8) {
        case 0:  // on an edge
            p = a + (b - a) * unit(rng);
            break;
        case 1:  // a corner
            p = a;
            break;
        case 2:  // at a corner's height, or its height off by a little
            p = P(any().x, a.y + (i % 16 == 2 ? 0.0 : 3e-6));
            break;
        case 3:  // beside an edge, around the on-curve band
            p = a + (b - a) * unit(rng) + P(-(b - a).y, (b - a).x) * ((unit(rng) - 0.5) * 4e-6 / scale);
            break;
        case 4:  // beyond the box
            p = P((3 * unit(rng) - 1) * scale + shift, (3 * unit(rng) - 1) * scale + shift);
            break;
        default:
            p = any();
        }
        const bool expected = insideByProbes(*c, p);
        const bool got = c->inside(p);
        EXPECT_EQ(got, expected) << "(" << p.x << ", " << p.y << ")";
        if (got != expected)
            break;
        inside += expected;
    }
    return inside;
}

TEST(SpeedInside, ThirtyThousandPointsAnswerAsTheProbeCount)
{
    std::mt19937 rng(17);
    const int inside = compareOnStar(rng, 1.0, 0.0, 30000);
    // Both answers occur often.
    EXPECT_GT(inside, 3000);
    EXPECT_LT(inside, 24000);
    // Large outlines far from the origin, where rounding is coarser.
    for (const auto& [scale, shift] : {std::pair{1e4, 1e6}, std::pair{300.0, -7e7}})
        EXPECT_GT(compareOnStar(rng, scale, shift, 3000), 300);
}

TEST(SpeedInside, ChainsOutsideTheOnePassAnswerAsBefore)
{
    // A curved arc in the chain, a zero-size box, a polyline arc, points
    // far from the origin: each is answered as the probe count answers it.
    auto circle = composite_test::circle(P(0, 0), 1.0);
    auto dot = composite_test::polyline({P(1, 1), P(1, 1)});
    Pt poly[] = {P(0, 0), P(2, 0), P(2, 2), P(0, 2), P(0, 0)};
    CCompositeCurve square;
    square.addArc(new Bspline(5, poly));
    auto far = composite_test::rectangle(1e9, 1e9, 1e9 + 4, 1e9 + 3);
    const std::vector<std::pair<const CCompositeCurve*, Pt>> cases = {
        {circle.get(), P(0.2, 0.3)},       {circle.get(), P(0.99, 0.3)},
        {circle.get(), P(1, 0)},           {dot.get(), P(1, 1)},
        {&square, P(1, 1)},                {&square, P(2, 1)},
        {far.get(), P(1e9 + 1, 1e9 + 1)}, {far.get(), P(1e9 + 4, 1e9 + 1)},
        {far.get(), P(1e9 + 5, 1e9 + 1)},
    };
    for (const auto& [curve, p] : cases)
        EXPECT_EQ(curve->inside(p), insideByProbes(*curve, p)) << p.x << ", " << p.y;
    EXPECT_TRUE(circle->inside(P(0.2, 0.3)));
    EXPECT_TRUE(square.inside(P(1, 1)));
    EXPECT_TRUE(far->inside(P(1e9 + 1, 1e9 + 1)));
}

}  // namespace
