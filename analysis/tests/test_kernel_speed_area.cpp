// Composite curve areas from the one-pass chain walk and the kept sum,
// against the walk they replace (kept here: every arc through
// integrateSpline's own path, with fresh pass buffers per arc) on random
// straight, curved and mixed chains, and after every kind of edit made
// once the curve has answered.
#include <numbers>
#include <cfloat>
#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/Globals.h"
#include "analysis/tests/test_composite_support.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"

namespace {

using composite_test::line;
using composite_test::P;
using composite_test::Pt;


// ---- the previous path --------------------------------------------------

bool oldSettled(double sum, double prev, long long doubled)
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

bool oldIsPlainPolyline(const Bspline& s)
{
    const int n = s.nPts();
    if (s.deg() != 1 || s.isRational() || n < 2 || s.nKts() != n + 2 ||
        s.weightArray().GetSize() != n)
        return false;
    const CArray<double>& kts = s.knotVector();
    if (kts[0] != kts[1] || kts[n] != kts[n + 1])
        return false;
    for (int i = 1; i < n; ++i) {
        if (!(kts[i] < kts[i + 1]))
            return false;
    }
    return true;
}

double oldPolylineArea(const Bspline& s)
{
    const CArray<Point<double>>& Q = s.controlPoints();
    double sum = 0.0;
    for (INT_PTR i = 0; i + 1 < Q.GetSize(); ++i)
        sum += 0.5 * (Q[i].x * Q[i + 1].y - Q[i].y * Q[i + 1].x);
    return sum;
}

double oldIntegrateArea(Bspline* s, int n, double a, double b)
{
    const Pt c;
    long long d = s->deg() <= 1 ? n : 16;
    double prev = 0.0;
    std::vector<double> lastT, T;
    std::vector<Pt> lastP, Q;
    for (;;) {
        const double h = (b - a) / static_cast<double>(d);
        const bool keep = d < (1LL << 16);
        T.clear();
        Q.clear();
        auto pointAt = [&](long long i, double t) {
            const std::size_t half = static_cast<std::size_t>(i / 2);
            if (i % 2 == 0 && half < lastT.size() && lastT[half] == t)
                return lastP[half];
            Pt q;
            s->eval(t, &q, 1e-7);
            return q;
        };
        double t = a;
        Pt pa = pointAt(0, t);
        if (keep) {
            T.push_back(t);
            Q.push_back(pa);
        }
        double sum = 0.0;
        for (long long i = 0; i < d; ++i) {
            const double next = t + h;
            const Pt pb = pointAt(i + 1, next);
            sum += 0.5 * cross(pa - c, pb - pa).z;
            if (keep) {
                T.push_back(next);
                Q.push_back(pb);
            }
            pa = pb;
            t = next;
        }
        const long long count = d;
        d *= 2;
        if (oldSettled(sum, prev, d) || count >= (1LL << 22))
            return sum;
        prev = sum;
        lastT.swap(T);
        lastP.swap(Q);
    }
}

double oldArea(const CCompositeCurve& c)
{
    double sum = 0.0;
    POSITION pos = c.arcs().GetHeadPosition();
    while (pos) {
        Bspline* arc = c.arcs().GetNext(pos);
        sum += oldIsPlainPolyline(*arc) ? oldPolylineArea(*arc)
                                        : oldIntegrateArea(arc, 2, arc->startParameter(), arc->endParameter());
    }
    return sum;
}

// ---- random chains -------------------------------------------------------

double shoelace(const std::vector<Pt>& pts, double* magnitude)
{
    double sum = 0.0;
    *magnitude = 0.0;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const Pt& a = pts[i];
        const Pt& b = pts[(i + 1) % pts.size()];
        sum += a.x * b.y - b.x * a.y;
        *magnitude += std::fabs(a.x * b.y) + std::fabs(b.x * a.y);
    }
    *magnitude /= 2.0;
    return sum / 2.0;
}

// Corners of a star about (cx, cy) with radii in [1, 2).
std::vector<Pt> star(int n, double cx, double cy, std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<Pt> pts;
    for (int i = 0; i < n; ++i) {
        const double a = 2.0 * std::numbers::pi * i / n;
        const double r = 1.0 + unit(rng);
        pts.push_back(P(cx + r * std::cos(a), cy + r * std::sin(a)));
    }
    return pts;
}

// A cubic from a to b through two random inner points, one or two spans with
// random inner knot and random weights (rational when they differ).
Bspline* randomCubic(Pt a, Pt b, std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const bool twoSpans = unit(rng) < 0.5;
    const int n = twoSpans ? 5 : 4;
    std::vector<Pt> cp{a};
    for (int i = 1; i + 1 < n; ++i) {
        const double s = static_cast<double>(i) / (n - 1);
        cp.push_back(a + (b - a) * s + P(0.6 * unit(rng) - 0.3, 0.6 * unit(rng) - 0.3));
    }
    cp.push_back(b);
    std::vector<double> w;
    const bool rational = unit(rng) < 0.5;
    for (int i = 0; i < n; ++i)
        w.push_back(rational ? 0.5 + 1.5 * unit(rng) : 1.0);
    const double L = 0.5 + 3.0 * unit(rng);
    std::vector<double> k(4, 0.0);
    if (twoSpans)
        k.push_back(L * (0.2 + 0.6 * unit(rng)));
    for (int i = 0; i < 4; ++i)
        k.push_back(L);
    return new Bspline(3, n, cp.data(), w.data(), static_cast<int>(k.size()), k.data());
}

// A closed chain round a star: each leg a straight arc, a cubic, or (as
// often) a circular arc about the star's centre.
std::unique_ptr<CCompositeCurve> mixedChain(int n, double cx, double cy, std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const std::vector<Pt> corners = star(n, cx, cy, rng);
    auto c = std::make_unique<CCompositeCurve>();
    Pt centre = P(cx, cy);
    Pt normal(0, 0, 1);
    for (int i = 0; i < n; ++i) {
        Pt a = corners[i];
        Pt b = corners[(i + 1) % n];
        const double pick = unit(rng);
        if (pick < 0.3) {
            c->addArc(new Bspline(&a, &b, false));
        } else if (pick < 0.6) {
            c->addArc(randomCubic(a, b, rng));
        } else {
            // The same radius at both ends, so that the arc is circular.
            const double r = (a - centre).length();
            const double t1 = std::atan2(b.y - cy, b.x - cx);
            Pt e = centre + P(r * std::cos(t1), r * std::sin(t1));
            c->addArc(new Bspline(&centre, &a, &e, &normal));
            if ((e - b).length() > 0.0)
                c->addArc(new Bspline(&e, &b, false));
        }
    }
    return c;
}

TEST(KernelSpeedArea, StraightChainsMatchTheOldPathAndTheShoelaceSum)
{
    std::mt19937 rng(52);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int round = 0; round < 30; ++round) {
        // Near the origin, or far from it where the terms cancel.
        const double off = round % 3 == 2 ? 1e4 : (round % 3 == 1 ? 100.0 : 0.5);
        const int n = 3 + static_cast<int>(2000 * unit(rng));
        const std::vector<Pt> pts = star(n, off * unit(rng), off * unit(rng), rng);
        double magnitude = 0.0;
        const double exact = shoelace(pts, &magnitude);
        // Every third chain is one arc through every corner.
        std::unique_ptr<CCompositeCurve> c;
        if (round % 3 == 0) {
            std::vector<Pt> closed = pts;
            closed.push_back(pts.front());
            c = std::make_unique<CCompositeCurve>();
            c->addArc(new Bspline(static_cast<int>(closed.size()), closed.data()));
        } else {
            c = composite_test::polyline(pts);
        }
        const double area = c->area();
        const double old = oldArea(*c);
        EXPECT_NEAR(area, old, 1e-14 * std::fabs(old)) << round;
        EXPECT_NEAR(area, exact, 1e-14 * magnitude) << round;
        EXPECT_EQ(c->area(), area) << round;
    }
}

TEST(KernelSpeedArea, CurvedAndMixedChainsGiveTheOldSums)
{
    std::mt19937 rng(520);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int round = 0; round < 12; ++round) {
        const int n = 5 + static_cast<int>(60 * unit(rng));
        auto c = mixedChain(n, 10 * unit(rng) - 5, 10 * unit(rng) - 5, rng);
        const double old = oldArea(*c);
        EXPECT_EQ(c->area(), old) << round;
        EXPECT_EQ(c->area(), old) << round;
    }
    // Circles of rational quadratic arcs: the old sums, and pi r^2 within
    // the integrator's tolerance.
    for (int round = 0; round < 4; ++round) {
        const int n = 1 + static_cast<int>(400 * unit(rng));
        const double r = 0.1 + 5 * unit(rng);
        auto c = composite_test::circle(P(unit(rng), unit(rng)), r);
        CCompositeCurve many;
        Pt centre = P(unit(rng), -unit(rng));
        Pt normal(0, 0, 1);
        for (int i = 0; i < n; ++i) {
            Pt s = centre + P(r * std::cos(2 * std::numbers::pi * i / n), r * std::sin(2 * std::numbers::pi * i / n));
            Pt e = centre + P(r * std::cos(2 * std::numbers::pi * (i + 1) / n), r * std::sin(2 * std::numbers::pi * (i + 1) / n));
            many.addArc(new Bspline(&centre, &s, &e, &normal));
        }
        EXPECT_EQ(c->area(), oldArea(*c));
        EXPECT_EQ(many.area(), oldArea(many));
        EXPECT_NEAR(many.area(), std::numbers::pi * r * r, 1e-6 * std::numbers::pi * r * r);
    }
}

// Every way of changing a chain after it has given its area: the next
// area() must be that of the old path on the changed chain.
TEST(KernelSpeedArea, EditsAfterAnAnswerAreSeen)
{
    std::mt19937 rng(5200);
    auto fresh = [&] { return mixedChain(12, 0.3, -0.2, rng); };
    auto firstCurved = [](CCompositeCurve& c) {
        POSITION pos = c.arcs().GetHeadPosition();
        while (pos) {
            Bspline* arc = c.arcs().GetNext(pos);
            if (arc->deg() > 1)
                return arc;
        }
        return static_cast<Bspline*>(nullptr);
    };
    struct Edit {
        const char* name;
        void (*apply)(CCompositeCurve&, Bspline*);
        bool changes;  // the area changes by more than rounding
    };
    const Edit edits[] = {
        {"translate one arc", [](CCompositeCurve&, Bspline* a) { Pt v = P(0.5, 0.25); a->translate(&v); },
         true},
        {"write a control point",
         [](CCompositeCurve&, Bspline* a) { a->controlPointsMutable().ElementAt(1) += P(0.3, -0.4); },
         true},
        // (a weight of a non-rational arc is not read until it is made rational)
        {"write a weight of a rational arc",
         [](CCompositeCurve& c, Bspline*) {
             POSITION pos = c.arcs().GetHeadPosition();
             while (pos) {
                 Bspline* a = c.arcs().GetNext(pos);
                 if (a->isRational()) {
                     a->wts()[1] *= 1.7;
                     return;
                 }
             }
         },
         true},
        {"move an inner knot",
         [](CCompositeCurve& c, Bspline*) {
             POSITION pos = c.arcs().GetHeadPosition();
             while (pos) {
                 Bspline* a = c.arcs().GetNext(pos);
                 if (a->deg() == 3 && a->nKts() == 9) {
                     CArray<double>& k = a->knotVectorMutable();
                     k.ElementAt(4) = 0.5 * (k[4] + k[8]);
                     return;
                 }
             }
         },
         true},
        {"shift the offset", [](CCompositeCurve&, Bspline* a) { a->setGlobal(a->startParameter() + 1000.37); },
         false},
        {"make rational", [](CCompositeCurve&, Bspline* a) { a->wts()[1] = 3.0; a->setRational(true); },
         true},
        {"reverse the chain", [](CCompositeCurve& c, Bspline*) { c.reverse(); },
         true},
        {"remove an arc",
         [](CCompositeCurve& c, Bspline*) { delete c.arcsMutable().RemoveTail(); },
         true},
        {"renumber the parameters", [](CCompositeCurve& c, Bspline*) { c.zeroBaseKnots(); c.resetGlobals(); },
         false},
        {"assign another chain",
         [](CCompositeCurve& c, Bspline*) { c = *composite_test::circle(P(1, 1), 3.0); },
         true},
    };
    for (const Edit& e : edits) {
        auto c = fresh();
        Bspline* arc = firstCurved(*c);
        ASSERT_NE(arc, nullptr);
        const double before = c->area();
        EXPECT_EQ(before, oldArea(*c)) << e.name;
        e.apply(*c, arc);
        EXPECT_EQ(c->area(), oldArea(*c)) << e.name;
        if (e.changes) {
            EXPECT_NE(c->area(), before) << e.name;
        }
        // A copy starts without a kept sum and agrees.
        const CCompositeCurve copy(*c);
        EXPECT_EQ(copy.area(), c->area()) << e.name;
    }
    // A changed tolerance changes the curved sums: the kept one is not reused.
    auto c = composite_test::circle(P(0, 0), 2.0);
    const double tight = c->area();
    const double saved = gIntegrationTol;
    gIntegrationTol = 1e-2;
    const double loose = c->area();
    const double looseOld = oldArea(*c);
    gIntegrationTol = saved;
    EXPECT_EQ(loose, looseOld);
    EXPECT_NE(loose, tight);
    EXPECT_EQ(c->area(), tight);
}

// The first two-point straight arc of the chain (null when there is none).
Bspline* firstStraight(const CCompositeCurve& c)
{
    POSITION pos = c.arcs().GetHeadPosition();
    while (pos) {
        Bspline* arc = c.arcs().GetNext(pos);
        if (arc->deg() == 1 && arc->nPts() == 2)
            return arc;
    }
    return nullptr;
}

// A point beside the middle of the straight arc a, so that splitting a there
// changes the area by more than rounding.
Pt besideMiddle(const Bspline* a)
{
    const Pt s = a->startPoint();
    const Pt e = a->endPoint();
    return (s + e) * 0.5 + P(s.y - e.y, e.x - s.x) * 0.3;
}

// Every way the chain itself (which arcs, in which order) can change after
// the curve has given its area: the next area() must be that of the old path
// on the changed chain. The walk keeps its own array of the arcs, so a change
// of the list that it missed would read arcs no longer in the chain.
TEST(KernelSpeedArea, ChangesOfTheChainAfterAnAnswerAreSeen)
{
    std::mt19937 rng(5201);
    // Arcs taken out of a chain by a case, deleted once the case is done.
    std::vector<std::unique_ptr<Bspline>> taken;
    struct Change {
        const char* name;
        std::function<void(CCompositeCurve&)> prepare;  // before the first answer
        std::function<void(CCompositeCurve&)> apply;
        bool changes;  // the area changes by more than rounding
    };
    auto open = [](CCompositeCurve& c) {
        delete c.arcsMutable().RemoveTail();
        c.resetGlobals();
    };
    const Change changes[] = {
        {"add at the tail", nullptr,
         [](CCompositeCurve& c) { c.addArc(line(c.endPoint(), c.endPoint() + P(0.8, 0.3))); }, true},
        {"add reversed at the tail", nullptr,
         [](CCompositeCurve& c) { c.addArc(line(c.endPoint() + P(0.8, 0.3), c.endPoint())); }, true},
        {"add at the head", open,
         [](CCompositeCurve& c) { c.addArc(line(c.startPoint() + P(-0.6, 0.9), c.startPoint())); }, true},
        {"append another chain", open,
         [](CCompositeCurve& c) {
             const Pt e = c.endPoint();
             c.addSegment(composite_test::polyline({e, e + P(1, 0), e + P(1, 1)}, false).get());
         },
         true},
        {"insert through the list", nullptr,
         [](CCompositeCurve& c) {
             Bspline* a = firstStraight(c);
             const Pt m = besideMiddle(a);
             CList<Bspline*>& arcs = c.arcsMutable();
             arcs.InsertBefore(arcs.Find(a), line(a->startPoint(), m));
             a->controlPointsMutable().ElementAt(0) = m;
             c.resetGlobals();
         },
         true},
        {"split an arc", nullptr,
         [](CCompositeCurve& c) {
             Bspline* a = firstStraight(c);
             const Pt m = besideMiddle(a);
             c.replaceArc(a, line(a->startPoint(), m), line(m, a->endPoint()));
         },
         true},
        {"join two arcs", nullptr,
         [](CCompositeCurve& c) {
             CList<Bspline*>& arcs = c.arcsMutable();
             POSITION second = arcs.GetHeadPosition();
             Bspline* a = arcs.GetNext(second);
             Bspline* b = arcs.GetAt(second);
             Bspline* joined = line(a->startPoint(), b->endPoint());
             arcs.RemoveAt(second);
             delete b;
             c.replaceArc(a, joined, nullptr);
         },
         true},
        {"replace an arc by nothing", nullptr,
         [](CCompositeCurve& c) { c.replaceArc(firstStraight(c), nullptr, nullptr); }, true},
        {"remove the last arc through the list", nullptr,
         [](CCompositeCurve& c) { delete c.arcsMutable().RemoveTail(); }, true},
        {"remove a degenerate arc",
         [](CCompositeCurve& c) {
             CList<Bspline*>& arcs = c.arcsMutable();
             const Pt e = arcs.GetHead()->endPoint();
             arcs.InsertAfter(arcs.GetHeadPosition(), line(e, e + P(1e-5, 0)));
             c.resetGlobals();
         },
         [](CCompositeCurve& c) { c.cleanup(); }, false},
        {"reverse", nullptr, [](CCompositeCurve& c) { c.reverse(); }, true},
        {"reverse a chain that is not contiguous",
         [](CCompositeCurve& c) { c.arcsMutable().AddTail(line(P(9, 9), P(9, 12))); },
         [](CCompositeCurve& c) { c.reverse(); }, true},
        {"assign a chain of another length", nullptr,
         [](CCompositeCurve& c) { c = *composite_test::circle(P(1, 1), 3.0); }, true},
        {"assign a chain of the same length", nullptr,
         [](CCompositeCurve& c) {
             CCompositeCurve other(c);
             other.reverse();
             c = other;
         },
         true},
        {"assign itself", nullptr,
         [](CCompositeCurve& c) {
             const CCompositeCurve& same = c;
             c = same;
         },
         false},
        {"put another arc in a place through the list", nullptr,
         [&taken](CCompositeCurve& c) {
             CList<Bspline*>& arcs = c.arcsMutable();
             const POSITION at = arcs.Find(firstStraight(c));
             Bspline* a = arcs.GetAt(at);
             taken.emplace_back(a);
             arcs.SetAt(at, line(a->startPoint() + P(0.4, -0.7), a->endPoint()));
         },
         true},
        {"swap two arcs through the list", nullptr,
         [](CCompositeCurve& c) {
             CList<Bspline*>& arcs = c.arcsMutable();
             Bspline* head = arcs.GetHead();
             arcs.SetAt(arcs.GetHeadPosition(), arcs.GetTail());
             arcs.SetAt(arcs.GetTailPosition(), head);
         },
         false},
        {"load into the curve", nullptr,
         [](CCompositeCurve& c) {
             CMemFile f;
             {
                 CArchive ar(&f, CArchive::store);
                 composite_test::rectangle(5, 5, 7, 6)->Serialize(ar);
                 ar.Close();
             }
             f.SeekToBegin();
             CArchive ar(&f, CArchive::load);
             c.Serialize(ar);
         },
         true},
    };
    for (const Change& change : changes) {
        auto c = mixedChain(12, 0.3, -0.2, rng);
        ASSERT_NE(firstStraight(*c), nullptr) << change.name;
        if (change.prepare)
            change.prepare(*c);
        const double before = c->area();
        EXPECT_EQ(before, oldArea(*c)) << change.name;
        change.apply(*c);
        const double after = c->area();
        EXPECT_EQ(after, oldArea(*c)) << change.name;
        if (change.changes) {
            EXPECT_NE(after, before) << change.name;
        }
        // A copy takes its own array of its own arcs; changing it leaves
        // the original's area as it was.
        CCompositeCurve copy(*c);
        EXPECT_EQ(copy.area(), after) << change.name;
        copy.addArc(line(copy.endPoint(), copy.endPoint() + P(0.5, 0.5)));
        EXPECT_EQ(copy.area(), oldArea(copy)) << change.name;
        EXPECT_EQ(c->area(), after) << change.name;
        // A piece trimmed out of the curve is a new chain of its own.
        std::unique_ptr<CCompositeCurve> piece(
            c->trim(c->startParameter(), 0.5 * (c->startParameter() + c->endParameter())));
        EXPECT_EQ(piece->area(), oldArea(*piece)) << change.name;
        taken.clear();
    }
}

}  // namespace
