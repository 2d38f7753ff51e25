// Composite curves: points inside the region, interior points and normals,
// with a property test of area and inside against plain polygon formulas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/tests/test_composite_support.h"
#include "platform/core/Exceptions.h"

using namespace composite_test;

TEST(CompositeCurveRegion, CircleTopIsInsideAlthoughSamplesMissIt)
{
    auto c = circle(P(0, 0), 1.0);
    // The 41 sampled points per arc stay below the top of the circle ...
    Point<double> lo, hi;
    c->extents(lo, hi);
    ASSERT_LT(hi.y, 0.9995);
    // ... but the curve does not, and neither does the region.
    EXPECT_TRUE(c->inside(P(0, 0.9995)));
    EXPECT_TRUE(c->inside(P(0, -0.9995)));
    EXPECT_FALSE(c->inside(P(0, 1.0005)));
    EXPECT_FALSE(c->inside(P(0.7072, 0.7072)));
    EXPECT_FALSE(c->inside(P(std::nan(""), 0.5)));
    EXPECT_FALSE(c->inside(P(0.5, std::nan(""))));
    EXPECT_TRUE(c->on(P(std::sqrt(0.5), std::sqrt(0.5))));
    EXPECT_NEAR(c->area(), 3.141592653589793, 1e-6);
}

TEST(CompositeCurveRegion, ProbeThroughACornerIsDecidedByTheSlantedProbes)
{
    // A notch whose tip (2, 0) lies on the horizontal through (0, 0): the
    // right probe touches the tip without crossing the outline there.
    auto c = polyline({P(-3, -1), P(3, -1), P(3, 1), P(2.5, 1), P(2, 0), P(1.5, 1), P(-3, 1)});
    EXPECT_TRUE(c->inside(P(0, 0)));
    EXPECT_TRUE(c->inside(P(-2.5, 0)));
    EXPECT_FALSE(c->inside(P(2, 0.5)));
    EXPECT_FALSE(c->inside(P(5, 0)));
}

TEST(CompositeCurveRegion, TouchesOnBothSidesDoNotPutAPointInside)
{
    // A bridge over (0, 0) standing on two downward tips that touch the
    // line y = 0 at x = -2 and x = 2: each probe along that line touches a
    // tip once, so both counts are odd although (0, 0) lies outside. The
    // same outline turned by 30 degrees does it to the slanted probes.
    const std::vector<Pt> bridge = {P(-3, 1), P(-2, 0), P(-1, 1), P(1, 1), P(2, 0), P(3, 1), P(3, 2), P(-3, 2)};
    for (double degrees : {0.0, 30.0}) {
        SCOPED_TRACE(degrees);
        const double a = 3.141592653589793 * degrees / 180.0;
        std::vector<Pt> turned;
        for (const Pt& q : bridge)
            turned.push_back(P(q.x * std::cos(a) - q.y * std::sin(a), q.x * std::sin(a) + q.y * std::cos(a)));
        auto c = polyline(turned);
        EXPECT_FALSE(c->inside(P(0, 0)));
        EXPECT_FALSE(c->insideOrOn(P(0, 0)));
        const Pt deck(-1.5 * std::sin(a), 1.5 * std::cos(a), 0.0); // (0, 1.5) turned
        EXPECT_TRUE(c->inside(deck));
    }
}

TEST(CompositeCurveRegion, CurveInsideCurve)
{
    auto big = rectangle(0, 0, 4, 4);
    auto small = rectangle(1, 1, 2, 2);
    auto crossing = rectangle(3, 3, 5, 5);
    auto touching = rectangle(0, 1, 1, 2);
    auto far = rectangle(10, 10, 11, 11);
    EXPECT_TRUE(big->inside(small.get()));
    EXPECT_FALSE(small->inside(big.get()));
    EXPECT_FALSE(big->inside(crossing.get()));
    EXPECT_FALSE(big->inside(touching.get()));
    EXPECT_FALSE(big->inside(far.get()));
    // An empty curve has no box to overlap.
    CCompositeCurve empty;
    EXPECT_FALSE(big->inside(&empty));
    EXPECT_FALSE(empty.inside(big.get()));
    // A circle reaching nearly to the top of a larger one lies inside it.
    auto outer = circle(P(0, 0), 1.0);
    auto inner = circle(P(0, 0.9), 0.0999);
    EXPECT_TRUE(outer->inside(inner.get()));
}

TEST(CompositeCurveRegion, InteriorPointIsAlwaysInside)
{
    struct Case {
        const char* what;
        std::unique_ptr<CCompositeCurve> curve;
    };
    std::vector<Case> cases;
    cases.push_back({"square", unitSquare()});
    cases.push_back({"clockwise square", unitSquare(true)});
    // Larger than the probe along the first arc's normal reaches.
    cases.push_back({"large rectangle", rectangle(0, 0, 5000, 3000)});
    // The nearest crossing from the first arc's middle lies across the gap
    // between the prongs, outside the region.
    cases.push_back({"U", polyline({P(1, 1), P(1, 3), P(0, 3), P(0, 0), P(3, 0), P(3, 3), P(1.5, 3),
                                    P(1.5, 1)})});
    cases.push_back({"circle", circle(P(2, -1), 0.5)});
    auto hole = unitSquare(true);
    hole->sign(-1);
    cases.push_back({"hole", std::move(hole)});
    // The first arc has shrunk to a point: it has no normal to probe along.
    auto pointFirst = std::make_unique<CCompositeCurve>();
    pointFirst->addArc(line(P(0, 0), P(0, 0)));
    pointFirst->addSegment(unitSquare().get());
    cases.push_back({"point-like first arc", std::move(pointFirst)});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Point<double> p = c.curve->getInteriorPoint(0.5);
        EXPECT_TRUE(c.curve->inside(p));
    }
}

TEST(CompositeCurveRegion, InteriorPointFailures)
{
    CCompositeCurve empty;
    EXPECT_THROW(empty.getInteriorPoint(0.5), CInvalidArgException);
    // There and back along one segment: closed, but no region.
    auto flat = polyline({P(0, 0), P(1, 0)});
    ASSERT_TRUE(flat->isClosed());
    EXPECT_THROW(flat->getInteriorPoint(0.5), std::logic_error);
}

TEST(CompositeCurveRegion, FindPointInsideAndNormals)
{
    auto sq = unitSquare();
    Point<double> out(-1, -1, -1);
    ASSERT_TRUE(sq->findPointInside(0, P(0, 0.5), P(1, 0.5), &out));
    expectPoint(out, P(0.5, 0.5), 1e-15);
    EXPECT_FALSE(sq->findPointInside(0, P(3, 0.5), P(4, 0.5), &out));

    // Normals point into the region whichever way the outline runs.
    for (bool clockwise : {false, true}) {
        auto s = unitSquare(clockwise);
        const double t = clockwise ? 3.5 : 0.5; // the middle of the bottom edge
        expectPoint(s->eval(t), P(0.5, 0), 1e-15);
        expectPoint(s->normal(t), P(0, 1), 1e-15);
    }
    expectPoint(sq->normal(9.0), P(0, 0), 0.0);
}

// ---------------------------------------------------------------------------
// Random simple polygons against the shoelace formula and ray casting

namespace {

using Polygon = std::vector<Point<double>>;

double shoelace(const Polygon& v)
{
    double twice = 0.0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const Point<double>& a = v[i];
        const Point<double>& b = v[(i + 1) % v.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return twice / 2.0;
}

// Even-odd ray casting towards +x.
bool rayCastInside(const Polygon& v, const Point<double>& p)
{
    bool in = false;
    for (std::size_t i = 0, j = v.size() - 1; i < v.size(); j = i++) {
        const Point<double>& a = v[i];
        const Point<double>& b = v[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
            in = !in;
    }
    return in;
}

double distanceToEdges(const Polygon& v, const Point<double>& p)
{
    double best = 1e300;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const Point<double>& a = v[i];
        const Point<double>& b = v[(i + 1) % v.size()];
        const Point<double> d = b - a;
        const double u = std::clamp(dot(p - a, d) / d.lengthSquared(), 0.0, 1.0);
        best = std::min(best, (p - (a + d * u)).length());
    }
    return best;
}

// A star-shaped polygon about c: n vertices at jittered, increasing angles
// with radii in [rmin, rmax]; clockwise when asked.
Polygon starPolygon(std::mt19937_64& rng, Point<double> c, int n, double rmin, double rmax, bool clockwise)
{
    std::uniform_real_distribution<double> jitter(-0.35, 0.35);
    std::uniform_real_distribution<double> radius(rmin, rmax);
    const double step = 2.0 * 3.141592653589793 / n;
    Polygon v;
    for (int i = 0; i < n; ++i) {
        const double a = (i + jitter(rng)) * step;
        const double r = radius(rng);
        v.push_back(c + Point<double>(r * std::cos(a), r * std::sin(a), 0.0));
    }
    if (clockwise)
        std::reverse(v.begin(), v.end());
    return v;
}

} // namespace

TEST(CompositeCurveProperty, RandomPolygonsMatchShoelaceAndRayCasting)
{
    std::mt19937_64 rng(20240611);
    std::uniform_int_distribution<int> count(5, 14);
    std::uniform_real_distribution<double> centre(-2.0, 2.0);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int checked = 0;
    for (int k = 0; k < 200; ++k) {
        SCOPED_TRACE(k);
        const Point<double> c(centre(rng), centre(rng), 0.0);
        const bool withHole = k % 2 == 1;
        const Polygon outer = starPolygon(rng, c, count(rng), 1.0, 3.0, unit(rng) < 0.5);
        // Within 0.4 of the smallest outer radius the hole stays inside:
        // the outer angles are at most 1.7 steps of 2pi/5 apart.
        const Polygon hole = starPolygon(rng, c, count(rng), 0.1, 0.4, true);
        auto outerCurve = polyline(outer);
        auto holeCurve = polyline(hole);
        holeCurve->sign(-1);
        ASSERT_NEAR(outerCurve->area(), shoelace(outer), 1e-12);
        ASSERT_NEAR(holeCurve->area(), shoelace(hole), 1e-12);

        Point<double> lo(1e300, 1e300, 0), hi(-1e300, -1e300, 0);
        for (const Point<double>& q : outer) {
            lo = Point<double>(std::min(lo.x, q.x), std::min(lo.y, q.y), 0);
            hi = Point<double>(std::max(hi.x, q.x), std::max(hi.y, q.y), 0);
        }
        const Point<double> pad = (hi - lo) * 0.1;
        std::uniform_real_distribution<double> xs(lo.x - pad.x, hi.x + pad.x);
        std::uniform_real_distribution<double> ys(lo.y - pad.y, hi.y + pad.y);
        for (int i = 0; i < 1000; ++i) {
            const Point<double> p(xs(rng), ys(rng), 0.0);
            if (distanceToEdges(outer, p) < 1e-5)
                continue;
            ASSERT_EQ(outerCurve->inside(p), rayCastInside(outer, p)) << p.x << ", " << p.y;
            if (!withHole || distanceToEdges(hole, p) < 1e-5)
                continue;
            ASSERT_EQ(holeCurve->inside(p), rayCastInside(hole, p)) << p.x << ", " << p.y;
            ++checked;
        }
    }
    // The hole tests were not all skipped.
    EXPECT_GT(checked, 50000);
}

namespace {

double orient(const Point<double>& a, const Point<double>& b, const Point<double>& c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

// p lies on the closed segment ab (exact for lattice points).
bool onSegment(const Point<double>& a, const Point<double>& b, const Point<double>& p)
{
    return orient(a, b, p) == 0.0 && std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) &&
           std::min(a.y, b.y) <= p.y && p.y <= std::max(a.y, b.y);
}

// Edges meet only where neighbours share their common vertex.
bool isSimple(const Polygon& v)
{
    const std::size_t n = v.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Point<double>& a = v[i];
        const Point<double>& b = v[(i + 1) % n];
        for (std::size_t j = i + 1; j < n; ++j) {
            const Point<double>& c = v[j];
            const Point<double>& d = v[(j + 1) % n];
            if (j == i + 1) {
                if (onSegment(a, b, d) || onSegment(c, d, a))
                    return false;
            } else if (i == 0 && j == n - 1) {
                if (onSegment(c, d, b) || onSegment(a, b, c))
                    return false;
            } else {
                const double o1 = orient(a, b, c), o2 = orient(a, b, d);
                const double o3 = orient(c, d, a), o4 = orient(c, d, b);
                if (((o1 > 0) != (o2 > 0) && o1 != 0 && o2 != 0 && (o3 > 0) != (o4 > 0) && o3 != 0 && o4 != 0) ||
                    onSegment(a, b, c) || onSegment(a, b, d) || onSegment(c, d, a) || onSegment(c, d, b))
                    return false;
            }
        }
    }
    return true;
}

} // namespace

TEST(CompositeCurveProperty, LatticePolygonsMatchRayCastingAtVertexLevels)
{
    // Vertices on the integer lattice and test points on the half-integer
    // one: many probes run through vertices and along edges.
    std::mt19937_64 rng(977);
    std::uniform_int_distribution<int> count(5, 14);
    std::uniform_real_distribution<double> jitter(-0.35, 0.35);
    std::uniform_int_distribution<int> radius(2, 6);
    int polygons = 0;
    while (polygons < 100) {
        const int n = count(rng);
        Polygon v;
        for (int i = 0; i < n; ++i) {
            const double a = (i + jitter(rng)) * 2.0 * 3.141592653589793 / n;
            const double r = radius(rng);
            const Point<double> q(std::round(r * std::cos(a)), std::round(r * std::sin(a)), 0.0);
            if (v.empty() || (q - v.back()).length() > 0.0)
                v.push_back(q);
        }
        if (v.size() > 1 && (v.front() - v.back()).length() == 0.0)
            v.pop_back();
        if (v.size() < 3 || !isSimple(v))
            continue;
        ++polygons;
        SCOPED_TRACE(polygons);
        auto curve = polyline(v);
        for (int i = -14; i <= 14; ++i) {
            for (int j = -14; j <= 14; ++j) {
                const Point<double> p(i / 2.0, j / 2.0, 0.0);
                if (distanceToEdges(v, p) < 1e-5)
                    continue;
                ASSERT_EQ(curve->inside(p), rayCastInside(v, p)) << p.x << ", " << p.y;
            }
        }
    }
}
