// Span lookup by bisection and chains joined at their tail in constant
// time, checked against the linear knot scan and the whole-chain connect
// that they replace (kept here as the reference).
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/tests/test_composite_support.h"

namespace {

using composite_test::P;
using composite_test::Pt;

using composite_test::scanInterval;

// A clamped spline of degree deg whose interior knots repeat up to deg + 1
// times; some interior knots step back by up to 1e-11 (still a valid spline).
std::unique_ptr<Bspline> randomSpline(std::mt19937& rng, int deg, int nPts, bool stepBack)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<double> kts(static_cast<std::size_t>(deg + 1), 0.0);
    double k = 0.0;
    while (static_cast<int>(kts.size()) < nPts) {
        k += unit(rng) < 0.1 ? 1e-12 : unit(rng);
        const int repeat = 1 + static_cast<int>(unit(rng) * (deg + 1));
        for (int r = 0; r < repeat && static_cast<int>(kts.size()) < nPts; ++r)
            kts.push_back(k);
    }
    k += 1.0;
    for (int r = 0; r <= deg; ++r)
        kts.push_back(k);
    if (stepBack) {
        for (std::size_t i = deg + 1; i + deg + 1 < kts.size(); ++i) {
            if (kts[i] == kts[i + 1] && unit(rng) < 0.3)
                kts[i + 1] -= 1e-11 * unit(rng);
        }
    }
    std::vector<Pt> cpts;
    std::vector<double> wts(static_cast<std::size_t>(nPts), 1.0);
    for (int i = 0; i < nPts; ++i)
        cpts.push_back(P(unit(rng), unit(rng)));
    return std::make_unique<Bspline>(deg, nPts, cpts.data(), wts.data(), static_cast<int>(kts.size()),
                                     kts.data());
}

TEST(SpeedSpans, BisectionFindsTheSpanAndSnapOfTheScan)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int compared = 0;
    for (int curve = 0; curve < 60; ++curve) {
        const int deg = 1 + curve % 5;
        const int nPts = deg + 1 + static_cast<int>(unit(rng) * 300);
        const auto s = randomSpline(rng, deg, nPts, curve % 3 == 0);
        const CArray<double>& kts = s->knotVector();
        const double lo = kts[0];
        const double hi = kts[s->nKts() - 1];
        const double d = (hi - lo) * 1e-10;
        std::vector<double> us = {lo - 1.0, lo, hi, hi + 1.0, hi - d / 2, lo + d / 2, NAN};
        for (int i = 0; i < s->nKts(); ++i) {
            // On a knot, within the snapping distance either side, just outside it.
            us.push_back(kts[i]);
            us.push_back(kts[i] + 0.5 * d);
            us.push_back(kts[i] - 0.5 * d);
            us.push_back(kts[i] + 1.5 * d);
            us.push_back(kts[i] - 1.5 * d);
            us.push_back(std::nextafter(kts[i], -1e300));
        }
        for (int i = 0; i < 300; ++i)
            us.push_back(lo + (hi - lo) * unit(rng));
        for (double u0 : us) {
            double uOld = u0;
            double uNew = u0;
            int spanOld = 0, spanNew = 0, multOld = 0, multNew = 0;
            scanInterval(*s, &uOld, &spanOld, &multOld);
            s->interval(&uNew, &spanNew, &multNew);
            ASSERT_EQ(spanNew, spanOld) << "u = " << u0;
            ASSERT_EQ(multNew, multOld);
            if (!std::isnan(u0)) {
                ASSERT_EQ(uNew, uOld) << "u = " << u0;
            }
            ++compared;
        }
    }
    EXPECT_GT(compared, 10000);
}

TEST(SpeedSpans, DegenerateKnotVectorsGiveTheScanAnswer)
{
    // All knots equal: no span; two knots: the one span.
    double kts1[] = {2, 2, 2, 2};
    Pt c1[] = {P(0, 0), P(1, 1)};
    double w1[] = {1, 1};
    Bspline flat(1, 2, c1, w1, 4, kts1);
    double kts2[] = {0, 0, 1, 1};
    Bspline line(1, 2, c1, w1, 4, kts2);
    for (const Bspline* s : {&flat, &line}) {
        for (double u0 : {-1.0, 0.0, 0.5, 1.0, 2.0, 3.0}) {
            double a = u0, b = u0;
            int sa = 0, sb = 0, ma = 0, mb = 0;
            scanInterval(*s, &a, &sa, &ma);
            s->interval(&b, &sb, &mb);
            EXPECT_EQ(sb, sa);
            EXPECT_EQ(b, a);
        }
    }
}

// addArc as it first was: the new arc joined, then every join of the chain
// made again by connect().
void addArcConnectingAll(CCompositeCurve& c, Bspline* arc)
{
    c.addArc(arc);
    c.connect();
}

// A random arc from near `from`: a line or a cubic, given backwards at
// times so that addArc reverses it.
Bspline* nextArc(std::mt19937& rng, const Pt& from, Pt* end)
{
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const Pt start = from + P(4e-6 * unit(rng), 4e-6 * unit(rng));
    *end = start + P(unit(rng), unit(rng));
    Bspline* arc = nullptr;
    if (unit(rng) < 0.0) {
        Pt a = start, b = *end;
        arc = new Bspline(&a, &b, false);
    } else {
        Pt pts[] = {start, start + P(unit(rng), unit(rng)), *end - P(unit(rng), unit(rng)), *end};
        double w[] = {1, 1, 1, 1};
        double k[] = {0, 0, 0, 0, 2, 2, 2, 2};
        arc = new Bspline(3, 4, pts, w, 8, k);
    }
    if (unit(rng) < -0.5)
        arc->reverse();
    return arc;
}

TEST(SpeedChain, ThousandArcsJoinAsTheWholeChainConnectJoinedThem)
{
    std::mt19937 rng(11);
    CCompositeCurve fast;
    CCompositeCurve reference;
    fast.startParameter(3.5);
    reference.startParameter(3.5);
    Pt tail = P(0, 0);
    Pt head = P(0, 0);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 1000; ++i) {
        // Now and then an arc that meets the head of the chain instead.
        const bool atHead = i > 0 && unit(rng) < 0.05;
        Pt end;
        Bspline* a = nextArc(rng, atHead ? head : tail, &end);
        std::unique_ptr<Bspline> b(new Bspline(a, CString()));
        fast.addArc(a);
        addArcConnectingAll(reference, b.release());
        head = fast.startPoint();
        tail = fast.endPoint();
    }
    ASSERT_EQ(fast.nArcs(), reference.nArcs());
    EXPECT_EQ(fast.endParameter(), reference.endParameter());
    POSITION pf = fast.arcs().GetHeadPosition();
    POSITION pr = reference.arcs().GetHeadPosition();
    while (pf && pr) {
        const Bspline* f = fast.arcs().GetNext(pf);
        const Bspline* r = reference.arcs().GetNext(pr);
        ASSERT_EQ(f->globalOffset(), r->globalOffset());
        ASSERT_EQ(f->nPts(), r->nPts());
        for (int k = 0; k < f->nPts(); ++k) {
            ASSERT_EQ(f->cpts(k).x, r->cpts(k).x);
            ASSERT_EQ(f->cpts(k).y, r->cpts(k).y);
        }
        for (int k = 0; k < f->nKts(); ++k)
            ASSERT_EQ(f->kts(k), r->kts(k));
    }
}

TEST(SpeedChain, ArcMeetingNeitherEndIsStillRefused)
{
    CCompositeCurve c;
    c.addArc(composite_test::line(P(0, 0), P(1, 0)));
    std::unique_ptr<Bspline> far(composite_test::line(P(5, 5), P(6, 5)));
    try {
        c.addArc(far.get());
        FAIL() << "no exception";
    } catch (const wchar_t* text) {
        EXPECT_STREQ(text, L"Composite curve not contiguous");
    }
    EXPECT_EQ(c.nArcs(), 1);
}

}  // namespace
