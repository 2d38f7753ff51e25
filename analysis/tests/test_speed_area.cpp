// Boundary areas: straight arcs by their closed form, curved arcs by the
// subdividing integrator with each point evaluated once, against the
// integrator that evaluated both ends of every subinterval (kept here as
// the reference) and against the shoelace sum.
#include <cfloat>
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

bool settled(double sum, double prev, long long doubled)
{
    if (sum < gIntegrationTol && doubled > 5000)
        return true;
    if (sum == prev)
        return true;
    const double as = std::fabs(sum);
    const double ap = std::fabs(prev);
    if (prev == 0.0)
        return as < 1e-9;
    if (sum == 0.0 || as < 1e-9)
        return ap < 1e-9;
    if (ap <= 1e-9)
        return false;
    if (as < 1.0 && ap > as * DBL_MAX)
        return false;
    if (as > 1.0 && as * DBL_MIN > ap)
        return false;
    const double q = prev / sum;
    return 1.0 - gIntegrationTol < q && q < 1.0 + gIntegrationTol;
}

// The integrator as it first ran dA: both ends of every subinterval
// evaluated, passes doubled until two agree. *calls counts the evaluations.
double integrateCallingEachInterval(Bspline* s, int n, double a, double b, long long* calls)
{
    Pt origin;
    long long d = s->deg() <= 1 ? n : 16;
    double prev = 0.0;
    for (;;) {
        const double h = (b - a) / static_cast<double>(d);
        double t = a;
        double sum = 0.0;
        for (long long i = 0; i < d; ++i) {
            sum += dA(s, t, t + h, &origin);
            *calls += 2;
            t = t + h;
        }
        const long long count = d;
        d *= 2;
        if (settled(sum, prev, d) || count >= (1LL << 22))
            return sum;
        prev = sum;
    }
}

double areaCallingEachInterval(const CCompositeCurve& c, long long* calls)
{
    double sum = 0.0;
    POSITION pos = c.arcs().GetHeadPosition();
    while (pos) {
        Bspline* arc = c.arcs().GetNext(pos);
        sum += integrateCallingEachInterval(arc, 2, arc->startParameter(), arc->endParameter(), calls);
    }
    return sum;
}

double shoelace(const std::vector<Pt>& pts)
{
    double sum = 0.0;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const Pt& a = pts[i];
        const Pt& b = pts[(i + 1) % pts.size()];
        sum += a.x * b.y - b.x * a.y;
    }
    return sum / 2.0;
}

TEST(SpeedArea, StraightArcsMatchTheIntegratorAndTheShoelaceSum)
{
    std::mt19937 rng(23);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int round = 0; round < 20; ++round) {
        // A star polygon of 1,000 corners about a point near the origin, or
        // (every other round) far from it, where the sums cancel and only
        // the sum of the terms' magnitudes bounds the rounding.
        std::vector<Pt> pts;
        const double off = round % 2 ? 100.0 : 0.5;
        const double cx = off * unit(rng), cy = off * unit(rng);
        for (int i = 0; i < 1000; ++i) {
            const double a = 2.0 * 3.141592653589793 * i / 1000;
            const double r = 1.0 + unit(rng);
            pts.push_back(P(cx + r * std::cos(a), cy + r * std::sin(a)));
        }
        double magnitude = 0.0;
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const Pt& a = pts[i];
            const Pt& b = pts[(i + 1) % pts.size()];
            magnitude += (std::fabs(a.x * b.y) + std::fabs(b.x * a.y)) / 2.0;
        }
        auto c = composite_test::polyline(pts);
        long long calls = 0;
        const double area = c->area();
        const double old = areaCallingEachInterval(*c, &calls);
        const double tol = 1e-14 * (round % 2 ? magnitude : std::fabs(old));
        EXPECT_NEAR(area, old, tol);
        EXPECT_NEAR(area, shoelace(pts), tol);
    }
    // Each straight arc alone: within 1e-14 of the two cross terms it is made of.
    for (int i = 0; i < 2000; ++i) {
        Pt a = P(200 * unit(rng) - 100, 200 * unit(rng) - 100);
        Pt b = P(200 * unit(rng) - 100, 200 * unit(rng) - 100);
        Bspline arc(&a, &b, false);
        arc.setGlobal(10 * unit(rng));
        Pt origin;
        long long calls = 0;
        const double scale = std::fabs(a.x * b.y) + std::fabs(b.x * a.y);
        const double closed =
            integrateSpline(dA, &arc, &origin, 2, arc.startParameter(), arc.endParameter());
        EXPECT_NEAR(closed, 0.5 * (a.x * b.y - b.x * a.y), 1e-14 * scale);
        EXPECT_NEAR(closed,
                    integrateCallingEachInterval(&arc, 2, arc.startParameter(), arc.endParameter(), &calls),
                    1e-14 * scale);
    }
}

TEST(SpeedArea, PolylineArcIsItsShoelaceSum)
{
    // One arc through five corners with unequal legs: the subdivided sums
    // saw nothing of it; the closed form is the polygon's area.
    std::vector<Pt> pts = {P(0, 0), P(3, 0), P(3.7, 1.9), P(1.1, 2.6), P(0, 1.3), P(0, 0)};
    CCompositeCurve c;
    c.addArc(new Bspline(static_cast<int>(pts.size()), pts.data()));
    pts.pop_back();
    const double exact = shoelace(pts);
    EXPECT_NEAR(c.area(), exact, 1e-14 * exact);
    // The subdividing sums stopped at once, their first pass (start, middle,
    // end of a closed arc) being exactly 0.
    long long calls = 0;
    EXPECT_EQ(areaCallingEachInterval(c, &calls), 0.0);
}

TEST(SpeedArea, CurvedArcsGiveTheSameSumsFromFewerEvaluations)
{
    // A circle of 1,000 rational quadratic arcs, and an S-shaped cubic
    // lying along a ray from the origin (its area term settles only after
    // thousands of subintervals).
    CCompositeCurve circle;
    const int n = 1000;
    Pt centre = P(0.3, -0.2);
    Pt normal(0, 0, 1);
    for (int i = 0; i < n; ++i) {
        const double a0 = 2.0 * 3.141592653589793 * i / n;
        const double a1 = 2.0 * 3.141592653589793 * (i + 1) / n;
        Pt s = centre + P(2 * std::cos(a0), 2 * std::sin(a0));
        Pt e = centre + P(2 * std::cos(a1), 2 * std::sin(a1));
        circle.addArc(new Bspline(&centre, &s, &e, &normal));
    }
    long long calls = 0;
    EXPECT_EQ(circle.area(), areaCallingEachInterval(circle, &calls));
    EXPECT_NEAR(circle.area(), 3.141592653589793 * 4.0, 1e-6);

    Pt cp[] = {P(1, 1), P(2.5, 1.5), P(2.5, 3.45), P(4, 4)};
    double w[] = {1, 1, 1, 1};
    double k[] = {0, 0, 0, 0, 1, 1, 1, 1};
    CCompositeCurve s;
    s.addArc(new Bspline(3, 4, cp, w, 8, k));
    calls = 0;
    EXPECT_EQ(s.area(), areaCallingEachInterval(s, &calls));
    EXPECT_GT(calls, 10000);
}

}  // namespace
