// Geometry kernel against plain reference loops and CGAL on the same
// inputs. Every benchmark times our code and its reference in the same
// iterations and reports ratio = our time / reference time (below 1: we
// are faster), with both times per batch in microseconds.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/geometry/CIntersection.h"
#include "analysis/predicates/Predicates.h"

#ifdef LORIMANT_HAVE_CGAL
#include <CGAL/Exact_predicates_exact_constructions_kernel.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Sweep_line_2_algorithms.h>
#include <CGAL/Arr_segment_traits_2.h>
#endif

namespace {

using Pt = Point<double>;
using Clock = std::chrono::steady_clock;

Pt P(double x, double y)
{
    return Pt(x, y, 0.0);
}

// Runs ours and the reference once per iteration, each on a whole batch,
// and reports the two times and their ratio.
template <class Ours, class Reference>
void compare(benchmark::State& state, Ours ours, Reference reference)
{
    double tOurs = 0.0;
    double tRef = 0.0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        ours();
        const auto t1 = Clock::now();
        reference();
        const auto t2 = Clock::now();
        tOurs += std::chrono::duration<double>(t1 - t0).count();
        tRef += std::chrono::duration<double>(t2 - t1).count();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["ours_us"] = 1e6 * tOurs / n;
    state.counters["ref_us"] = 1e6 * tRef / n;
    state.counters["ratio"] = tRef > 0.0 ? tOurs / tRef : 0.0;
}

// ---------------------------------------------------------------------------
// Evaluation: a rational cubic against de Boor with a binary span search.

struct Curve {
    std::vector<double> kts, wts;
    std::vector<Pt> cpts;
    std::unique_ptr<Bspline> spline;
};

Curve rationalCubic(int nPts, std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    Curve c;
    for (int i = 0; i < nPts; ++i) {
        c.cpts.push_back(P(i + unit(rng), unit(rng)));
        c.wts.push_back(0.5 + unit(rng));
    }
    c.kts.assign(4, 0.0);
    for (int i = 1; i < nPts - 3; ++i)
        c.kts.push_back(i);
    c.kts.insert(c.kts.end(), 4, static_cast<double>(nPts - 3));
    c.spline = std::make_unique<Bspline>(3, nPts, c.cpts.data(), c.wts.data(),
                                         static_cast<int>(c.kts.size()), c.kts.data());
    return c;
}

// The rational de Boor point at u with the span found by std::upper_bound.
Pt deBoorReference(const Curve& c, double u)
{
    const int deg = 3;
    const int last = static_cast<int>(c.kts.size()) - deg - 2;
    int k = static_cast<int>(std::upper_bound(c.kts.begin(), c.kts.end(), u) - c.kts.begin()) - 1;
    k = std::clamp(k, deg, last);
    double x[4], y[4], w[4];
    for (int j = 0; j <= deg; ++j) {
        const int i = k - deg + j;
        w[j] = c.wts[i];
        x[j] = c.cpts[i].x * w[j];
        y[j] = c.cpts[i].y * w[j];
    }
    for (int r = 1; r <= deg; ++r) {
        for (int j = deg; j >= r; --j) {
            const int i = k - deg + j;
            const double a = (u - c.kts[i]) / (c.kts[i + deg + 1 - r] - c.kts[i]);
            x[j] = (1 - a) * x[j - 1] + a * x[j];
            y[j] = (1 - a) * y[j - 1] + a * y[j];
            w[j] = (1 - a) * w[j - 1] + a * w[j];
        }
    }
    return P(x[deg] / w[deg], y[deg] / w[deg]);
}

void BM_Eval_vs_deBoor(benchmark::State& state)
{
    std::mt19937 rng(1);
    const Curve c = rationalCubic(static_cast<int>(state.range(0)), rng);
    const double end = c.kts.back();
    std::vector<double> ts(10000);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (double& t : ts)
        t = end * unit(rng);
    compare(
        state,
        [&] {
            Pt out;
            for (double t : ts) {
                c.spline->eval(t, &out, 1e-7);
                benchmark::DoNotOptimize(out);
            }
        },
        [&] {
            for (double t : ts)
                benchmark::DoNotOptimize(deBoorReference(c, t));
        });
}
BENCHMARK(BM_Eval_vs_deBoor)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------------------
// Chain building: the cost per arc must not grow with the number of arcs.

void BM_ChainBuild(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::vector<Pt> pts;
    for (int i = 0; i <= n; ++i)
        pts.push_back(P(i, (i % 2) * 0.5));
    double total = 0.0;
    double reference = 0.0;
    for (auto _ : state) {
        std::vector<Bspline*> arcs;
        for (int i = 0; i < n; ++i)
            arcs.push_back(new Bspline(&pts[i], &pts[i + 1], false));
        // The reference reads what addArc reads of each arc (its ends and
        // knots) into a list: the memory traffic of the same arcs.
        const auto r0 = Clock::now();
        CList<Bspline*> plain(10);
        double sum = 0.0;
        for (Bspline* a : arcs) {
            sum += a->startPoint().x + a->endPoint().y + a->parmLength();
            plain.AddTail(a);
        }
        benchmark::DoNotOptimize(sum);
        const auto t0 = Clock::now();
        CCompositeCurve c;
        for (Bspline* a : arcs)
            c.addArc(a);
        const auto t1 = Clock::now();
        benchmark::DoNotOptimize(c.endParameter());
        const double t = std::chrono::duration<double>(t1 - t0).count();
        state.SetIterationTime(t);
        total += t;
        reference += std::chrono::duration<double>(t0 - r0).count();
    }
    state.counters["per_arc_us"] = 1e6 * total / (static_cast<double>(state.iterations()) * n);
    state.counters["ratio"] = reference > 0.0 ? total / reference : 0.0;
}
BENCHMARK(BM_ChainBuild)->Arg(1000)->Arg(8000)->UseManualTime()->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------------------
// Intersection of two closed zigzags (each simple, every leg of one
// crossing every leg of the other) against CGAL's sweep.

std::vector<Pt> zigzag(int legs, bool vertical, double shift)
{
    std::vector<Pt> pts;
    for (int i = 0; i <= legs; ++i) {
        const double along = (i + shift) / (legs + 1.0);
        const double across = i % 2 ? 1.0 : 0.0;
        pts.push_back(vertical ? P(along, across) : P(across, along));
    }
    // Closed outside the unit square.
    pts.push_back(vertical ? P(1.05, -0.1) : P(-0.1, 1.05));
    pts.push_back(vertical ? P(-0.05, -0.1) : P(-0.1, -0.05));
    return pts;
}

std::unique_ptr<CCompositeCurve> closedPolyline(const std::vector<Pt>& pts)
{
    auto c = std::make_unique<CCompositeCurve>();
    for (std::size_t i = 0; i < pts.size(); ++i) {
        Pt a = pts[i];
        Pt b = pts[(i + 1) % pts.size()];
        c->addArc(new Bspline(&a, &b, false));
    }
    return c;
}

void BM_Intersect_vs_CGAL(benchmark::State& state)
{
    const int legs = static_cast<int>(state.range(0));
    const std::vector<Pt> pa = zigzag(legs, false, 0.31);
    const std::vector<Pt> pb = zigzag(legs, true, 0.57);
    auto A = closedPolyline(pa);
    auto B = closedPolyline(pb);
#ifdef LORIMANT_HAVE_CGAL
    using K = CGAL::Exact_predicates_exact_constructions_kernel;
    std::vector<K::Segment_2> segments;
    for (const auto* pts : {&pa, &pb}) {
        for (std::size_t i = 0; i < pts->size(); ++i) {
            const Pt& a = (*pts)[i];
            const Pt& b = (*pts)[(i + 1) % pts->size()];
            segments.emplace_back(K::Point_2(a.x, a.y), K::Point_2(b.x, b.y));
        }
    }
    std::size_t crossings = 0;
    std::size_t peerCrossings = 0;
    compare(
        state,
        [&] {
            CList<CIntersection*>* list = A->intersect(B.get());
            crossings = static_cast<std::size_t>(list->GetCount());
            while (!list->IsEmpty())
                delete list->RemoveHead();
            delete list;
        },
        [&] {
            std::vector<K::Point_2> out;
            CGAL::compute_intersection_points(segments.begin(), segments.end(), std::back_inserter(out));
            peerCrossings = out.size();
        });
    state.counters["crossings"] = static_cast<double>(crossings);
    state.counters["cgal_crossings"] = static_cast<double>(peerCrossings);
#else
    state.SkipWithError("CGAL not found: install libcgal-dev for this comparison");
    for (auto _ : state) {
    }
#endif
}
BENCHMARK(BM_Intersect_vs_CGAL)->Arg(45)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------------------
// inside against a ray-casting loop over the same polygon.

std::vector<Pt> starPolygon(int n, std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<Pt> pts;
    for (int i = 0; i < n; ++i) {
        const double a = 2.0 * 3.141592653589793 * (i + 0.5 * unit(rng)) / n;
        const double r = 0.2 + 0.3 * unit(rng);
        pts.push_back(P(0.5 + r * std::cos(a), 0.5 + r * std::sin(a)));
    }
    return pts;
}

bool rayCast(const std::vector<Pt>& poly, const Pt& p)
{
    bool in = false;
    for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const Pt& a = poly[i];
        const Pt& b = poly[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
            in = !in;
    }
    return in;
}

void BM_Inside_vs_RayCasting(benchmark::State& state)
{
    std::mt19937 rng(2);
    const std::vector<Pt> poly = starPolygon(static_cast<int>(state.range(0)), rng);
    auto c = closedPolyline(poly);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<Pt> points(10000);
    for (Pt& p : points)
        p = P(unit(rng), unit(rng));
    int agree = 0;
    compare(
        state,
        [&] {
            agree = 0;
            for (const Pt& p : points)
                agree += c->inside(p);
        },
        [&] {
            for (const Pt& p : points)
                agree -= rayCast(poly, p);
        });
    // The net count of points the two tests place differently: inside()
    // counts a point within 1e-6 of an edge as not inside, ray casting does
    // not, so a handful of the 10,000 random points differ (about 6 expected).
    state.counters["disagree"] = std::abs(agree);
}
BENCHMARK(BM_Inside_vs_RayCasting)->Arg(1000)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------------------
// area() against the shoelace sum (straight arcs) and an 8-point
// Gauss-Legendre rule per span (a circle of rational quadratic arcs). The
// second argument 1 records a geometry edit before each call, so that the
// kept area cannot be reused and every call integrates again ("cold").

// area() of c, after an edit elsewhere when cold.
double timedArea(const CCompositeCurve& c, bool cold)
{
    if (cold)
        geometry_edits::note();
    return c.area();
}

void BM_AreaStraight_vs_Shoelace(benchmark::State& state)
{
    std::mt19937 rng(3);
    const std::vector<Pt> poly = starPolygon(static_cast<int>(state.range(0)), rng);
    auto c = closedPolyline(poly);
    const bool cold = state.range(1) != 0;
    compare(
        state, [&] { benchmark::DoNotOptimize(timedArea(*c, cold)); },
        [&] {
            double sum = 0.0;
            for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++)
                sum += poly[j].x * poly[i].y - poly[i].x * poly[j].y;
            benchmark::DoNotOptimize(sum / 2.0);
        });
    // The floor of any walk over the chain: visiting each arc and reading
    // one coordinate of its first control point, in microseconds per call.
    const int walks = 2000;
    const auto t0 = Clock::now();
    for (int k = 0; k < walks; ++k) {
        double x = 0.0;
        POSITION pos = c->arcs().GetHeadPosition();
        while (pos)
            x += c->arcs().GetNext(pos)->controlPoints()[0].x;
        benchmark::DoNotOptimize(x);
    }
    state.counters["walk_us"] = 1e6 * std::chrono::duration<double>(Clock::now() - t0).count() / walks;
    // The floor of any exact walk over an array of the arcs (as area() keeps
    // one): reading one value from each cache line that the straight-leg
    // test and its term need (the arc's flags and array sizes, its first
    // knot, two coordinates), with nothing else to do.
    std::vector<const Bspline*> arcs;
    for (POSITION pos = c->arcs().GetHeadPosition(); pos;)
        arcs.push_back(c->arcs().GetNext(pos));
    const auto t1 = Clock::now();
    for (int k = 0; k < walks; ++k) {
        double x = 0.0;
        for (const Bspline* a : arcs)
            x += a->controlPoints().GetData()[0].x + a->controlPoints().GetData()[1].y +
                 a->knotVector().GetData()[0] + a->deg() +
                 a->isRational() + a->nKts() + static_cast<double>(a->weightArray().GetSize());
        benchmark::DoNotOptimize(x);
    }
    state.counters["fields_us"] = 1e6 * std::chrono::duration<double>(Clock::now() - t1).count() / walks;
}
BENCHMARK(BM_AreaStraight_vs_Shoelace)->Args({1000, 0})->Args({1000, 1})->Unit(benchmark::kMicrosecond);

// Gauss-Legendre nodes and weights on [-1, 1], 8 points.
constexpr double kGaussX[8] = {-0.9602898564975363, -0.7966664774136267, -0.5255324099163290,
                               -0.1834346424956498, 0.1834346424956498,  0.5255324099163290,
                               0.7966664774136267,  0.9602898564975363};
constexpr double kGaussW[8] = {0.1012285362903763, 0.2223810344533745, 0.3137066458778873,
                               0.3626837833783620, 0.3626837833783620, 0.3137066458778873,
                               0.2223810344533745, 0.1012285362903763};

// (1/2) integral of x dy - y dx over one rational quadratic span.
double quadraticSpanArea(const Pt* c, const double* w)
{
    double sum = 0.0;
    for (int g = 0; g < 8; ++g) {
        const double u = 0.5 * (kGaussX[g] + 1.0);
        const double b0 = (1 - u) * (1 - u), b1 = 2 * u * (1 - u), b2 = u * u;
        const double d0 = -2 * (1 - u), d1 = 2 - 4 * u, d2 = 2 * u;
        const double W = b0 * w[0] + b1 * w[1] + b2 * w[2];
        const double dW = d0 * w[0] + d1 * w[1] + d2 * w[2];
        const double X = (b0 * w[0] * c[0].x + b1 * w[1] * c[1].x + b2 * w[2] * c[2].x);
        const double Y = (b0 * w[0] * c[0].y + b1 * w[1] * c[1].y + b2 * w[2] * c[2].y);
        const double dX = (d0 * w[0] * c[0].x + d1 * w[1] * c[1].x + d2 * w[2] * c[2].x);
        const double dY = (d0 * w[0] * c[0].y + d1 * w[1] * c[1].y + d2 * w[2] * c[2].y);
        const double x = X / W, y = Y / W;
        const double xu = (dX - x * dW) / W, yu = (dY - y * dW) / W;
        sum += 0.5 * kGaussW[g] * 0.5 * (x * yu - y * xu);
    }
    return sum;
}

void BM_AreaCurved_vs_GaussLegendre(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    CCompositeCurve circle;
    Pt centre = P(0.3, -0.2);
    Pt normal(0, 0, 1);
    for (int i = 0; i < n; ++i) {
        const double a0 = 2.0 * 3.141592653589793 * i / n;
        const double a1 = 2.0 * 3.141592653589793 * (i + 1) / n;
        Pt s = centre + P(2 * std::cos(a0), 2 * std::sin(a0));
        Pt e = centre + P(2 * std::cos(a1), 2 * std::sin(a1));
        circle.addArc(new Bspline(&centre, &s, &e, &normal));
    }
    std::vector<std::vector<Pt>> spans;
    std::vector<std::vector<double>> weights;
    POSITION pos = circle.arcs().GetHeadPosition();
    while (pos) {
        const Bspline* arc = circle.arcs().GetNext(pos);
        if (arc->nPts() != 3) {
            state.SkipWithError("arc is not one rational quadratic span");
            return;
        }
        spans.push_back({arc->cpts(0), arc->cpts(1), arc->cpts(2)});
        weights.push_back({arc->wts(0), arc->wts(1), arc->wts(2)});
    }
    const bool cold = state.range(1) != 0;
    double ours = 0.0, ref = 0.0;
    compare(
        state, [&] { ours = timedArea(circle, cold); },
        [&] {
            ref = 0.0;
            for (std::size_t i = 0; i < spans.size(); ++i) {
                // Kept from being hoisted out of the timed loop.
                benchmark::DoNotOptimize(spans[i].data());
                ref += quadraticSpanArea(spans[i].data(), weights[i].data());
            }
            benchmark::DoNotOptimize(ref);
        });
    state.counters["rel_diff"] = std::fabs(ours - ref) / std::fabs(ref);
    // Against the disk's own area, pi r^2 with r = 2.
    state.counters["ours_rel_err"] = std::fabs(ours - 4.0 * 3.141592653589793) / (4.0 * 3.141592653589793);
    state.counters["ref_rel_err"] = std::fabs(ref - 4.0 * 3.141592653589793) / (4.0 * 3.141592653589793);
}
BENCHMARK(BM_AreaCurved_vs_GaussLegendre)->Args({1000, 0})->Args({1000, 1})->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------------------
// Predicates against CGAL's filtered predicates (exact predicates, inexact
// constructions), on random and on nearly degenerate input.

struct Triples {
    std::vector<double> a, b, c, d;  // x, y pairs
};

Triples predicateInput(bool nearlyDegenerate, std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    Triples t;
    for (int i = 0; i < 10000; ++i) {
        if (nearlyDegenerate) {
            // On the line y = x and the unit circle, to the last bits.
            const double s = 0.5 + std::ldexp(static_cast<double>(i % 64), -53);
            const double ang = 2.0 * 3.141592653589793 * unit(rng);
            t.a.insert(t.a.end(), {s, 0.5 + std::ldexp(static_cast<double>(i / 64 % 64), -53)});
            t.b.insert(t.b.end(), {12.0, 12.0});
            t.c.insert(t.c.end(), {24.0, 24.0});
            t.d.insert(t.d.end(), {std::cos(ang), std::sin(ang)});
            (void)s;
        } else {
            for (auto* v : {&t.a, &t.b, &t.c, &t.d})
                v->insert(v->end(), {unit(rng), unit(rng)});
        }
    }
    return t;
}

enum Predicate { kOrient2d, kOrient2dExact, kIncircle };

void BM_Predicates_vs_CGAL(benchmark::State& state)
{
    const auto which = static_cast<Predicate>(state.range(0));
    const bool degenerate = state.range(1) != 0;
    std::mt19937 rng(4);
    Triples t = predicateInput(degenerate, rng);
    if (degenerate && which == kIncircle) {
        // Three points of the unit circle and a fourth on it, to rounding.
        for (std::size_t i = 0; i < t.a.size(); i += 2) {
            t.a[i] = 1.0;
            t.a[i + 1] = 0.0;
            t.b[i] = 0.0;
            t.b[i + 1] = 1.0;
            t.c[i] = -1.0;
            t.c[i + 1] = 0.0;
        }
    }
    exactinit();
#ifdef LORIMANT_HAVE_CGAL
    using K = CGAL::Exact_predicates_inexact_constructions_kernel;
    std::vector<K::Point_2> A, B, C, D;
    for (std::size_t i = 0; i < t.a.size(); i += 2) {
        A.emplace_back(t.a[i], t.a[i + 1]);
        B.emplace_back(t.b[i], t.b[i + 1]);
        C.emplace_back(t.c[i], t.c[i + 1]);
        D.emplace_back(t.d[i], t.d[i + 1]);
    }
    int ours = 0, peer = 0;
    compare(
        state,
        [&] {
            ours = 0;
            for (std::size_t i = 0; i < t.a.size(); i += 2) {
                double v = 0.0;
                if (which == kOrient2d)
                    v = orient2d(&t.a[i], &t.b[i], &t.c[i]);
                else if (which == kOrient2dExact)
                    v = orient2dexact(&t.a[i], &t.b[i], &t.c[i]);
                else
                    v = incircle(&t.a[i], &t.b[i], &t.c[i], &t.d[i]);
                ours += (v > 0) - (v < 0);
            }
        },
        [&] {
            peer = 0;
            for (std::size_t i = 0; i < A.size(); ++i) {
                if (which == kIncircle)
                    peer += static_cast<int>(CGAL::side_of_oriented_circle(A[i], B[i], C[i], D[i]));
                else
                    peer += static_cast<int>(CGAL::orientation(A[i], B[i], C[i]));
            }
        });
    // 0: the signs summed over the batch agree.
    state.counters["sign_sum_diff"] = ours - peer;
    state.counters["ours_Mpred_per_s"] = static_cast<double>(A.size()) / state.counters["ours_us"];
#else
    state.SkipWithError("CGAL not found: install libcgal-dev for this comparison");
    for (auto _ : state) {
    }
#endif
}
BENCHMARK(BM_Predicates_vs_CGAL)
    ->ArgNames({"pred", "degenerate"})
    ->ArgsProduct({{kOrient2d, kOrient2dExact, kIncircle}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
