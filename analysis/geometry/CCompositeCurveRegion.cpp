// Composite curves: points on the curve, points and curves inside the
// region it bounds, interior points, normals and the counting of crossings
// that the inside tests rest on.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/geometry/PlanarGeometry.h"
#include "analysis/geometry/NearPointIndex.h"
#include "analysis/model/Globals.h"
#include "platform/core/Exceptions.h"

namespace {

using PointList = CList<Point<double>*>;

// Distance below which a point counts as on the curve.
constexpr double kOnCurve = 1e-6;

// Deletes the points of a list and empties it.
void clearPoints(PointList& list)
{
    while (!list.IsEmpty())
        delete list.RemoveHead();
}

// Frees a pair's result list and whatever points are left in it.
void deleteList(PointList* list)
{
    if (!list)
        return;
    clearPoints(*list);
    delete list;
}

// Control-point box of one arc in x and y.
struct Box {
    double x0, y0, x1, y1;
};

Box boxOf(const Bspline* arc)
{
    const CArray<Point<double>>& cpts = arc->controlPoints();
    Box b{cpts[0].x, cpts[0].y, cpts[0].x, cpts[0].y};
    for (const Point<double>& p : cpts) {
        b.x0 = std::min(b.x0, p.x);
        b.y0 = std::min(b.y0, p.y);
        b.x1 = std::max(b.x1, p.x);
        b.y1 = std::max(b.y1, p.y);
    }
    return b;
}

// The boxes are farther apart than margin in x or in y.
bool apart(const Box& a, const Box& b, double margin)
{
    return a.x0 > b.x1 + margin || b.x0 > a.x1 + margin || a.y0 > b.y1 + margin ||
           b.y0 > a.y1 + margin;
}

// A curve lies within the hull of its control points, so arcs whose boxes
// are more than this apart cannot meet: neither the exact subdivision nor
// its overlap test (which accepts points within 1e-6) finds a point there.
constexpr double kDisjointMargin = 1e-5;

// Boxes of arcs without control points are never apart: their
// intersection reports the missing points itself.
Box safeBoxOf(const Bspline* arc)
{
    if (arc->nPts() == 0)
        return Box{-1e308, -1e308, 1e308, 1e308};
    return boxOf(arc);
}

// A list of points that takes no point within gInsectTol of one already in
// it; near indexes every point of the list.
struct DistinctPoints {
    PointList* list;
    NearPointIndex near{gInsectTol};

    explicit DistinctPoints(PointList* l) : list(l)
    {
        POSITION pos = list->GetHeadPosition();
        while (pos)
            near.add(*list->GetNext(pos));
    }
};

// Appends the points where arc a (box ba) meets arc b (box bb) to the list,
// skipping those within gInsectTol of a point already there.
void appendCrossings(const Bspline* a, const Box& ba, const Bspline* b, const Box& bb, DistinctPoints& into)
{
    if (apart(ba, bb, kDisjointMargin))
        return;
    PointList* found = a->intersection(const_cast<Bspline*>(b));
    if (!found)
        return;
    while (!found->IsEmpty()) {
        Point<double>* p = found->RemoveHead();
        if (into.near.anyNear(*p)) {
            delete p;
            continue;
        }
        into.list->AddTail(p);
        into.near.add(*p);
    }
    deleteList(found);
}

// Appends the points where the arcs meet the straight probe to list.
void appendProbeCrossings(const CList<Bspline*>& arcs, const Bspline* probe, PointList* list)
{
    const Box bp = safeBoxOf(probe);
    DistinctPoints into(list);
    POSITION pos = arcs.GetHeadPosition();
    while (pos) {
        const Bspline* arc = arcs.GetNext(pos);
        appendCrossings(arc, safeBoxOf(arc), probe, bp, into);
    }
}

// Number of distinct points where the straight probe meets the arcs.
int countCrossings(const CList<Bspline*>& arcs, const Bspline* probe)
{
    PointList list(10);
    appendProbeCrossings(arcs, probe, &list);
    const int n = static_cast<int>(list.GetCount());
    clearPoints(list);
    return n;
}

// The straight probe from a to b (knots 0 .. length).
std::unique_ptr<Bspline> probeLine(Point<double> a, Point<double> b)
{
    return std::make_unique<Bspline>(&a, &b, false);
}

bool odd(int n)
{
    return n % 2 == 1;
}

// A probe line that passes this close to a corner of the chain may touch the
// curve there without crossing it (the two arcs meeting at a downward tip,
// say): the touch counts as one crossing, and the counts on both sides of the
// point can turn odd together although the point lies outside.
constexpr double kCornerClear = 1e-5;

// Probe directions tried, in degrees, when the line of a probe pair passes a
// corner: none is a multiple of the 30 degrees that outlines are often drawn at.
constexpr double kSpareProbeAngles[] = {12.7, 41.3, 57.9, 77.1, 98.3, 118.9, 137.5, 161.3};

// Unit direction at the angle (degrees) counter-clockwise from +x.
Point<double> direction(double degrees)
{
    const double a = 3.141592653589793 * degrees / 180.0;
    return Point<double>(std::cos(a), std::sin(a), 0.0);
}

// The corners of the chain: the ends of every arc and the inner control
// points of every polyline arc.
std::vector<Point<double>> cornersOf(const CList<Bspline*>& arcs)
{
    std::vector<Point<double>> corners;
    POSITION pos = arcs.GetHeadPosition();
    while (pos) {
        const Bspline* arc = arcs.GetNext(pos);
        if (arc->deg() == 1) {
            for (const Point<double>& c : arc->controlPoints())
                corners.push_back(c);
        } else if (arc->nPts() > 0) {
            corners.push_back(arc->startPoint());
            corners.push_back(arc->endPoint());
        }
    }
    return corners;
}

// No corner lies within kCornerClear of the line through q along the unit direction u.
bool clearOfCorners(const std::vector<Point<double>>& corners, const Point<double>& q, const Point<double>& u)
{
    for (const Point<double>& c : corners) {
        if (std::fabs(u.x * (c.y - q.y) - u.y * (c.x - q.x)) < kCornerClear)
            return false;
    }
    return true;
}

// The angle of the probe line through q: preferred when its line is clear of
// the corners, else the first clear spare angle other than taken, else
// preferred all the same.
double probeAngle(const std::vector<Point<double>>& corners, const Point<double>& q, double preferred,
                  double taken)
{
    if (clearOfCorners(corners, q, direction(preferred)))
        return preferred;
    for (double a : kSpareProbeAngles) {
        if (a != taken && clearOfCorners(corners, q, direction(a)))
            return a;
    }
    return preferred;
}

// A straight two-point polynomial arc with clamped knots: it runs linearly
// in its parameter from its first to its second control point.
bool isPlainLine(const Bspline* arc)
{
    const CArray<double>& kts = arc->knotVector();
    return arc->isLinear() && !arc->isRational() && kts.GetSize() == 4 && kts[0] == kts[1] &&
           kts[2] == kts[3];
}

// p lies within the on-curve distance of the plain line from S (parameter
// s) to E (parameter e); *t receives the parameter of the nearest point in x
// and y, the projection, which the stepped search converges to.
bool onPlainLine(const Point<double>& S, const Point<double>& E, double s, double e,
                 const Point<double>& p, double* t)
{
    const double dx = E.x - S.x;
    const double dy = E.y - S.y;
    const double len2 = dx * dx + dy * dy;
    double lambda = len2 > 0.0 ? ((p.x - S.x) * dx + (p.y - S.y) * dy) / len2 : 0.0;
    lambda = std::clamp(lambda, 0.0, 1.0);
    *t = s + (e - s) * lambda;
    const Point<double> C = S + (E - S) * lambda;
    const double d2 = (p - C).lengthSquared();
    return d2 < 1e-40 || std::sqrt(d2) < kOnCurve;
}

// The number of distinct points among pts, taken in order, a point being
// dropped when one kept before it lies within gInsectTol (the rule of
// appendCrossings). The points lie along the line through q in the unit
// direction u: points that near each other are also near in their distance
// s along it, so each point is compared only with its neighbours in s.
int countDistinct(const std::vector<Point<double>>& pts, const Point<double>& q, const Point<double>& u,
                  double window)
{
    const std::size_t n = pts.size();
    if (n <= 16) {
        // Few points: every pair, as the list did it.
        bool kept[16] = {};
        int count = 0;
        for (std::size_t i = 0; i < n; ++i) {
            bool duplicate = false;
            for (std::size_t j = 0; j < i && !duplicate; ++j)
                duplicate = kept[j] && (pts[j] - pts[i]).length() < gInsectTol;
            kept[i] = !duplicate;
            count += !duplicate;
        }
        return count;
    }
    std::vector<double> s(n);
    std::vector<std::size_t> order(n);
    for (std::size_t i = 0; i < n; ++i) {
        s[i] = u.x * (pts[i].x - q.x) + u.y * (pts[i].y - q.y);
        order[i] = i;
    }
    std::sort(order.begin(), order.end(), [&s](std::size_t a, std::size_t b) {
        return s[a] < s[b] || (s[a] == s[b] && a < b);
    });
    std::vector<std::size_t> rank(n);
    for (std::size_t r = 0; r < n; ++r)
        rank[order[r]] = r;
    std::vector<char> kept(n, 0);
    int count = 0;
    for (std::size_t i = 0; i < n; ++i) {
        bool duplicate = false;
        // Kept points all come before i, so each kept neighbour is a point
        // the old list held when i arrived.
        for (std::size_t r = rank[i]; r-- > 0 && !duplicate && s[i] - s[order[r]] <= window;)
            duplicate = kept[order[r]] && (pts[order[r]] - pts[i]).length() < gInsectTol;
        for (std::size_t r = rank[i] + 1; r < n && !duplicate && s[order[r]] - s[i] <= window; ++r)
            duplicate = kept[order[r]] && (pts[order[r]] - pts[i]).length() < gInsectTol;
        if (!duplicate) {
            kept[i] = 1;
            ++count;
        }
    }
    return count;
}

// One straight leg of a chain of plain lines.
struct Leg {
    Point<double> S, E;
};

// The place of p across the probe lines along the unit direction u: every
// point of the probe line through q has the across-value of q.
double across(const Point<double>& u, const Point<double>& p)
{
    return u.x * p.y - u.y * p.x;
}

// The legs of a chain sorted for the probe lines of one direction: into
// buckets by their span of across-values (widened by pad), each bucket
// listing its legs in chain order, and the leg ends by across-value.
class DirectionIndex {
public:
    DirectionIndex(const std::vector<Leg>& legs, const Point<double>& u, double pad)
    {
        const std::size_t n = legs.size();
        std::vector<double> lo(n), hi(n);
        m_ends.reserve(2 * n);
        for (std::size_t i = 0; i < n; ++i) {
            const double fS = across(u, legs[i].S);
            const double fE = across(u, legs[i].E);
            lo[i] = std::min(fS, fE) - pad;
            hi[i] = std::max(fS, fE) + pad;
            m_ends.push_back(End{fS, static_cast<std::uint32_t>(2 * i)});
            m_ends.push_back(End{fE, static_cast<std::uint32_t>(2 * i + 1)});
        }
        std::sort(m_ends.begin(), m_ends.end(), [](const End& a, const End& b) { return a.f < b.f; });
        m_base = *std::min_element(lo.begin(), lo.end());
        const double top = *std::max_element(hi.begin(), hi.end());
        // Fewer buckets when long legs would fill too many of them.
        const std::size_t budget = 8 * n + 64;
        for (m_buckets = std::max<std::size_t>(n, 1);; m_buckets /= 2) {
            m_width = (top - m_base) / static_cast<double>(m_buckets);
            std::size_t entries = 0;
            for (std::size_t i = 0; i < n; ++i)
                entries += bucketOf(hi[i]) - bucketOf(lo[i]) + 1;
            if (entries <= budget || m_buckets == 1)
                break;
        }
        m_start.assign(m_buckets + 1, 0);
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t b = bucketOf(lo[i]), e = bucketOf(hi[i]); b <= e; ++b)
                ++m_start[b + 1];
        }
        for (std::size_t b = 0; b < m_buckets; ++b)
            m_start[b + 1] += m_start[b];
        m_legs.resize(m_start[m_buckets]);
        std::vector<std::uint32_t> fill(m_start.begin(), m_start.end() - 1);
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t b = bucketOf(lo[i]), e = bucketOf(hi[i]); b <= e; ++b)
                m_legs[fill[b]++] = static_cast<std::uint32_t>(i);
        }
    }

    // Calls fn(leg) in chain order for every leg whose widened span may
    // hold the across-value f (a superset of those that do), while fn
    // returns true; false when some call returned false.
    template <class Fn>
    bool allLegsNear(double f, Fn fn) const
    {
        const std::size_t b = bucketOf(f);
        for (std::uint32_t k = m_start[b]; k < m_start[b + 1]; ++k) {
            if (!fn(m_legs[k]))
                return false;
        }
        return true;
    }

    // Some leg end (2 leg + 0 for S, + 1 for E) with an across-value
    // within r of f passes test.
    template <class Test>
    bool anyEndNear(double f, double r, Test test) const
    {
        auto it = std::lower_bound(m_ends.begin(), m_ends.end(), f - r,
                                   [](const End& e, double v) { return e.f < v; });
        for (; it != m_ends.end() && it->f <= f + r; ++it) {
            if (test(it->end))
                return true;
        }
        return false;
    }

private:
    struct End {
        double f;
        std::uint32_t end;
    };

    // Monotone in f, so a leg whose span holds f is listed in f's bucket.
    std::size_t bucketOf(double f) const
    {
        const double x = (f - m_base) / m_width;
        if (!(x >= 0.0))
            return 0;
        if (x >= static_cast<double>(m_buckets))
            return m_buckets - 1;
        return static_cast<std::size_t>(x);
    }

    std::vector<End> m_ends;
    double m_base = 0.0;
    double m_width = 1.0;
    std::size_t m_buckets = 1;
    std::vector<std::uint32_t> m_start;
    std::vector<std::uint32_t> m_legs;
};

// The probe angles in degrees: the two preferred ones, then the spares.
constexpr double kProbeAngles[] = {0.0, 30.0, 12.7, 41.3, 57.9, 77.1, 98.3, 118.9, 137.5, 161.3};
constexpr std::size_t kAngleCount = sizeof(kProbeAngles) / sizeof(kProbeAngles[0]);
static_assert(kAngleCount == 2 + sizeof(kSpareProbeAngles) / sizeof(kSpareProbeAngles[0]));

// Least sine of the angle between a leg and a probe line for the leg's
// crossing to count as clean (nearer parallel, its place rounds too coarsely).
constexpr double kMinSine = 1e-3;
constexpr double kMinSineSq = kMinSine * kMinSine;

// Coordinates and probe lengths up to which the products of the clean-crossing
// test and their squares stay finite.
constexpr double kCleanExtent = 1e60;

// Calls made on one unchanged chain before its legs are indexed: a chain
// asked once is scanned, as indexing would cost more than it saves.
constexpr int kUsesBeforeIndex = 2;

// A chain of plain lines held as flat legs: inside(p) for such a chain
// without building probe splines and point lists, with the arithmetic of
// every step unchanged (control box, on-curve test, corner rule, probe
// crossings and their de-duplication), so with the same answers.
//
// A leg whose ends lie on one side of a probe's line, farther from it than
// rounding can reach, gives lineIntersection nothing to find (no end of
// either segment is within its 1e-12 of the other, nor do they cross):
// only the legs that straddle the line are intersected with its probes.
// Once the chain has been asked often enough, the legs near a probe line
// and the corners near it are found through a DirectionIndex per probe
// angle; the steps applied to each of them stay those of the scan.
class LineChain {
public:
    // Takes the legs of the arcs in order and measures their box; false
    // when an arc is no plain line (the chain is then left to the general test).
    bool collect(const CList<Bspline*>& arcs)
    {
        m_legs.clear();
        m_uses = 0;
        for (std::unique_ptr<DirectionIndex>& ix : m_index)
            ix.reset();
        m_legs.reserve(static_cast<std::size_t>(arcs.GetCount()));
        POSITION pos = arcs.GetHeadPosition();
        while (pos) {
            const Bspline* arc = arcs.GetNext(pos);
            if (!isPlainLine(arc))
                return false;
            const Point<double>* c = arc->controlPoints().GetData();
            m_legs.push_back(Leg{c[0], c[1]});
        }
        if (m_legs.empty())
            return false;
        measure();
        return true;
    }

    // The arcs are plain lines with the legs' ends, bit for bit, in order:
    // every answer of this chain is then the arcs' answer.
    bool matches(const CList<Bspline*>& arcs) const
    {
        if (static_cast<std::size_t>(arcs.GetCount()) != m_legs.size())
            return false;
        const Leg* leg = m_legs.data();
        POSITION pos = arcs.GetHeadPosition();
        while (pos) {
            const Bspline* arc = arcs.GetNext(pos);
            if (!isPlainLine(arc))
                return false;
            const Point<double>* c = arc->controlPoints().GetData();
            if (std::memcmp(c, leg, sizeof(Leg)) != 0)
                return false;
            ++leg;
        }
        return true;
    }

    // Counts a use; the legs are indexed from the kUsesBeforeIndex-th on.
    void used()
    {
        if (m_uses < kUsesBeforeIndex)
            ++m_uses;
    }

    // The control box of the chain, as controlBox computes it.
    const Point<double>& min() const { return m_min; }
    const Point<double>& max() const { return m_max; }
    // The probe length: ten times the box diagonal.
    double probeLength() const { return m_L; }
    // Bound on the rounding of the side tests of probes.
    double margin() const { return m_margin; }

    // q lies on a leg, by onArc's box test and projection.
    bool on(const Point<double>& q) const
    {
        bool found = false;
        forLegsNear(0, q, [&](const Leg& leg) {
            const bool farFromBox = q.x < std::min(leg.S.x, leg.E.x) - kOnCurve ||
                                    q.x > std::max(leg.S.x, leg.E.x) + kOnCurve ||
                                    q.y < std::min(leg.S.y, leg.E.y) - kOnCurve ||
                                    q.y > std::max(leg.S.y, leg.E.y) + kOnCurve;
            double t = 0.0;
            found = found || (!farFromBox && onPlainLine(leg.S, leg.E, 0.0, 0.0, q, &t));
        });
        return found;
    }

    // probeAngle over the legs' corners.
    double angle(const Point<double>& q, double preferred, double taken) const
    {
        if (clear(q, preferred))
            return preferred;
        for (double a : kSpareProbeAngles) {
            if (a != taken && clear(q, a))
                return a;
        }
        return preferred;
    }

    // countCrossings of the probe from a to b, which lies on the line
    // through q at the angle (degrees).
    int count(const Point<double>& a, const Point<double>& b, const Point<double>& q, double degrees) const
    {
        const Point<double> u = direction(degrees);
        const Box probe{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
        std::vector<Point<double>>& found = m_found;
        found.clear();
        forLegsNear(slot(degrees), q, [&](const Leg& leg) {
            const double sS = u.x * (leg.S.y - q.y) - u.y * (leg.S.x - q.x);
            const double sE = u.x * (leg.E.y - q.y) - u.y * (leg.E.x - q.x);
            if ((sS >= m_margin && sE >= m_margin) || (sS <= -m_margin && sE <= -m_margin))
                return;
            const Box box{std::min(leg.S.x, leg.E.x), std::min(leg.S.y, leg.E.y),
                          std::max(leg.S.x, leg.E.x), std::max(leg.S.y, leg.E.y)};
            if (apart(box, probe, kDisjointMargin))
                return;
            Point<double> s = leg.S, e = leg.E, c = a, d = b;
            Point<double> pts[2];
            const int k = lineIntersection(s, e, c, d, pts, 1e-12);
            found.insert(found.end(), pts, pts + k);
        });
        return countDistinct(found, q, u, gInsectTol + m_margin);
    }

    // The counts of the two probes along the line through q at the angle
    // (degrees), *ahead for the one from q along the direction and *behind
    // for the one ending at q, when every leg near the line crosses it
    // cleanly; false (counts unset) when some leg needs count()'s care.
    //
    // A clean leg has both ends, and both ends of each probe, farther from
    // the other's line than rounding can blur, and is not nearly parallel to
    // the line: lineIntersection then finds exactly one point on it, on the
    // probe on the side of q where the leg's line meets the probe line. With
    // no two such points closer than gInsectTol plus their rounding, none
    // is dropped as a repeat, so each count is the number of legs met on its side.
    bool cleanCounts(const Point<double>& q, double degrees, int* ahead, int* behind) const
    {
        // Far beyond any drawing's size the squares below could overflow.
        if (!(m_extent < kCleanExtent))
            return false;
        const Point<double> u = direction(degrees);
        const double reachSq = m_clean * m_clean;
        std::vector<double>& ts = m_ts;
        ts.clear();
        const bool clean = allLegsNear(slot(degrees), q, [&](const Leg& leg) {
            const double sS = u.x * (leg.S.y - q.y) - u.y * (leg.S.x - q.x);
            const double sE = u.x * (leg.E.y - q.y) - u.y * (leg.E.x - q.x);
            if ((sS >= m_margin && sE >= m_margin) || (sS <= -m_margin && sE <= -m_margin))
                return true;
            if (!((sS >= m_clean && sE <= -m_clean) || (sS <= -m_clean && sE >= m_clean)))
                return false;
            // Cross products of the leg with u and with q - S: the leg's
            // line meets the probe line at q + t u, t = -atQ / along, and
            // the probes' ends lie atQ / len and (atQ +- L along) / len from it.
            const double dx = leg.E.x - leg.S.x;
            const double dy = leg.E.y - leg.S.y;
            const double len2 = dx * dx + dy * dy;
            const double along = dx * u.y - dy * u.x;
            const double atQ = dx * (q.y - leg.S.y) - dy * (q.x - leg.S.x);
            const double farEnd = m_L * along;
            const double need = reachSq * len2;
            if (!(along * along >= kMinSineSq * len2 && atQ * atQ >= need &&
                  (atQ + farEnd) * (atQ + farEnd) >= need && (atQ - farEnd) * (atQ - farEnd) >= need))
                return false;
            ts.push_back(-atQ / along);
            return true;
        });
        if (!clean)
            return false;
        std::sort(ts.begin(), ts.end());
        const double gap = gInsectTol + 2.0 * m_pointError;
        for (std::size_t i = 1; i < ts.size(); ++i) {
            if (!(ts[i] - ts[i - 1] > gap))
                return false;
        }
        const auto firstAhead = std::upper_bound(ts.begin(), ts.end(), 0.0);
        *behind = static_cast<int>(firstAhead - ts.begin());
        *ahead = static_cast<int>(ts.end() - firstAhead);
        return true;
    }

private:
    // Box, probe length, margin and the slack of the index's across-values.
    void measure()
    {
        const Point<double>& f = m_legs.front().S;
        m_min = Point<double>(f.x, f.y, 0.0);
        m_max = m_min;
        for (const Leg& leg : m_legs) {
            for (const Point<double>* p : {&leg.S, &leg.E}) {
                m_min.x = std::min(m_min.x, p->x);
                m_min.y = std::min(m_min.y, p->y);
                m_max.x = std::max(m_max.x, p->x);
                m_max.y = std::max(m_max.y, p->y);
            }
        }
        m_L = 10.0 * (m_max - m_min).length();
        const double scale = std::max(std::max(std::fabs(m_min.x), std::fabs(m_max.x)),
                                      std::max(std::fabs(m_min.y), std::fabs(m_max.y)));
        m_margin = 1e-11 + 1e-12 * (scale + m_L);
        // A side value u x (p - q) and the difference of the across-values
        // of p and q differ by a few roundings of numbers up to the scale.
        m_slack = 1e-13 * scale + 1e-300;
        // lineIntersection places a crossing within some 20 roundings of
        // numbers up to scale + L, divided by the sine of the angle between
        // leg and probe; the margin is 1e-12 (scale + L) and more, so these
        // bounds leave a wide room.
        m_extent = scale + m_L;
        m_clean = 16.0 * m_margin;
        m_pointError = 16.0 * m_margin / kMinSine;
    }

    // The index slot of a probe angle.
    static std::size_t slot(double degrees)
    {
        for (std::size_t i = 0; i < kAngleCount; ++i) {
            if (kProbeAngles[i] == degrees)
                return i;
        }
        return 0;
    }

    // The index of the probe angle in the slot, built on first need; null
    // while the chain is scanned.
    const DirectionIndex* index(std::size_t at) const
    {
        if (m_uses < kUsesBeforeIndex)
            return nullptr;
        if (!m_index[at]) {
            const double pad = 2.0 * std::max(m_margin, kOnCurve) + m_slack;
            m_index[at] = std::make_unique<DirectionIndex>(m_legs, direction(kProbeAngles[at]), pad);
        }
        return m_index[at].get();
    }

    // Calls fn(leg) in chain order for every leg that may come within the
    // margin (or the on-curve distance) of the probe line through q at the
    // angle of the slot: every leg while scanning.
    template <class Fn>
    void forLegsNear(std::size_t at, const Point<double>& q, Fn fn) const
    {
        allLegsNear(at, q, [&](const Leg& leg) {
            fn(leg);
            return true;
        });
    }

    // Calls fn(leg) as forLegsNear does while it returns true; false when
    // some call returned false.
    template <class Fn>
    bool allLegsNear(std::size_t at, const Point<double>& q, Fn fn) const
    {
        const DirectionIndex* ix = index(at);
        if (!ix) {
            for (const Leg& leg : m_legs) {
                if (!fn(leg))
                    return false;
            }
            return true;
        }
        return ix->allLegsNear(across(direction(kProbeAngles[at]), q),
                               [&](std::uint32_t i) { return fn(m_legs[i]); });
    }

    // clearOfCorners: the corners are the two ends of every leg.
    bool clear(const Point<double>& q, double degrees) const
    {
        const Point<double> u = direction(degrees);
        auto near = [&](const Point<double>& c) {
            return std::fabs(u.x * (c.y - q.y) - u.y * (c.x - q.x)) < kCornerClear;
        };
        const DirectionIndex* ix = index(slot(degrees));
        if (ix) {
            return !ix->anyEndNear(across(u, q), kCornerClear + m_slack, [&](std::uint32_t end) {
                const Leg& leg = m_legs[end / 2];
                return near(end % 2 == 0 ? leg.S : leg.E);
            });
        }
        for (const Leg& leg : m_legs) {
            if (near(leg.S) || near(leg.E))
                return false;
        }
        return true;
    }

    std::vector<Leg> m_legs;
    Point<double> m_min, m_max;
    double m_L = 0.0;
    double m_margin = 0.0;
    double m_slack = 0.0;
    int m_uses = 0;
    mutable std::unique_ptr<DirectionIndex> m_index[kAngleCount];
    double m_extent = 0.0;      // largest coordinate plus the probe length
    double m_clean = 0.0;       // least distance of a clean crossing's ends from the other line
    double m_pointError = 0.0;  // bound on the rounding of a clean crossing's place
    mutable std::vector<Point<double>> m_found;  // scratch of count()
    mutable std::vector<double> m_ts;            // scratch of cleanCounts()
};

// Whether the probe from q along the line at the angle (*aheadOdd) and the
// one ending at q (*behindOdd) meet the chain an odd number of times: by
// one pass over the legs near the line when all cross it cleanly, else by
// counting each probe's crossings.
void chainLineOdd(const LineChain& chain, const Point<double>& q, double degrees, bool* aheadOdd,
                  bool* behindOdd)
{
    int ahead = 0, behind = 0;
    if (!chain.cleanCounts(q, degrees, &ahead, &behind)) {
        const Point<double> probe = direction(degrees) * chain.probeLength();
        ahead = chain.count(q, q + probe, q, degrees);
        behind = chain.count(q - probe, q, q, degrees);
    }
    *aheadOdd = odd(ahead);
    *behindOdd = odd(behind);
}

// probesInside over the legs: the same probe angles, the same crossings
// counted and the same verdict; the probe length is finite.
bool chainProbesInside(const LineChain& chain, const Point<double>& q)
{
    const double level = chain.angle(q, 0.0, 30.0);
    bool rightOdd, leftOdd;
    chainLineOdd(chain, q, level, &rightOdd, &leftOdd);
    if (rightOdd && leftOdd)
        return true;
    bool risingOdd, fallingOdd;
    chainLineOdd(chain, q, chain.angle(q, 30.0, level), &risingOdd, &fallingOdd);
    return risingOdd && (rightOdd || fallingOdd);
}

} // namespace

// ---------------------------------------------------------------------------
// On the curve

bool CCompositeCurve::onArc(const Bspline* arc, const Point<double>& p, double* t, bool mustSearch)
{
    if (arc->nPts() == 0)
        AfxThrowInvalidArgException();
    const double s = arc->startParameter();
    const double e = arc->endParameter();
    // The arc lies in its control points' box: a point farther than the
    // on-curve distance from the box is not on the arc.
    const Box b = boxOf(arc);
    const bool farFromBox = p.x < b.x0 - kOnCurve || p.x > b.x1 + kOnCurve ||
                            p.y < b.y0 - kOnCurve || p.y > b.y1 + kOnCurve;
    if (farFromBox && !mustSearch)
        return false;
    if (isPlainLine(arc))
        return onPlainLine(arc->cpts(0), arc->cpts(1), s, e, p, t);
    *t = arc->stepSearch(p, s, e, 0, 1e-12);
    Point<double> C;
    arc->rbsEval(*t, &C);
    const double d2 = (p - C).lengthSquared();
    return d2 < 1e-40 || std::sqrt(d2) < kOnCurve;
}

bool CCompositeCurve::getParm(const Point<double>& p, double* t) const
{
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos) {
        const Bspline* arc = m_arcs.GetNext(pos);
        // Only the last arc's search result is left in *t when p is on no arc.
        if (onArc(arc, p, t, pos == nullptr))
            return true;
    }
    return false;
}

bool CCompositeCurve::on(const Point<double>& p) const
{
    double t = 0.0;
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos) {
        if (onArc(m_arcs.GetNext(pos), p, &t, false))
            return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Crossings

int CCompositeCurve::findIntersections(const CCompositeCurve* other, CList<Point<double>*>* list) const
{
    std::vector<Box> otherBoxes;
    otherBoxes.reserve(static_cast<std::size_t>(other->nArcs()));
    POSITION b = other->m_arcs.GetHeadPosition();
    while (b)
        otherBoxes.push_back(safeBoxOf(other->m_arcs.GetNext(b)));
    DistinctPoints into(list);
    POSITION a = m_arcs.GetHeadPosition();
    while (a) {
        const Bspline* A = m_arcs.GetNext(a);
        const Box boxA = safeBoxOf(A);
        std::size_t i = 0;
        b = other->m_arcs.GetHeadPosition();
        while (b)
            appendCrossings(A, boxA, other->m_arcs.GetNext(b), otherBoxes[i++], into);
    }
    return static_cast<int>(list->GetCount());
}

int CCompositeCurve::lineNIntersections(const Point<double>* p1, const Point<double>* p2) const
{
    std::unique_ptr<Bspline> line = probeLine(*p1, *p2);
    return countCrossings(m_arcs, line.get());
}

// ---------------------------------------------------------------------------
// Inside the region

bool CCompositeCurve::probesInside(const Point<double>& p, double L) const
{
    const Point<double> q(p.x, p.y, 0.0);
    // The horizontal and the 30-degree probe lines; a line that passes a
    // corner of the chain is replaced by one that does not.
    const std::vector<Point<double>> corners = cornersOf(m_arcs);
    const double level = probeAngle(corners, q, 0.0, 30.0);
    const double slant = probeAngle(corners, q, 30.0, level);
    const Point<double> horizontal = direction(level) * L;
    const Point<double> slanted = direction(slant) * L;
    auto count = [this](Point<double> a, Point<double> b) {
        std::unique_ptr<Bspline> line = probeLine(a, b);
        return countCrossings(m_arcs, line.get());
    };
    const int right = count(q, q + horizontal);
    const bool rightOdd = odd(right);
    if (rightOdd && odd(count(q - horizontal, q)))
        return true;
    // The rising probe decides with the right one or with the falling one;
    // it is counted once.
    const bool risingOdd = odd(count(q, q + slanted));
    if (rightOdd && risingOdd)
        return true;
    return risingOdd && odd(count(q - slanted, q));
}

struct CCompositeCurve::InsideCache {
    LineChain chain;
    bool isChain = false;  // the arcs were plain lines when last collected
    bool checked = false;  // the arcs were collected or matched at `edits`
    unsigned long long edits = 0;
};

bool CCompositeCurve::inside(const Point<double>& p) const
{
    // A chain of plain lines is tested on its legs, with the same steps;
    // the legs are kept while the arcs match them.
    {
        std::lock_guard<std::mutex> lock(m_insideMutex);
        if (!m_insideCache)
            m_insideCache = std::make_shared<InsideCache>();
        InsideCache& cache = *m_insideCache;
        // Without an edit of any curve since the last check the arcs are
        // as they were; else they are compared with the legs.
        const unsigned long long edits = geometry_edits::count();
        if (!cache.checked || cache.edits != edits) {
            if (!cache.isChain || !cache.chain.matches(m_arcs))
                cache.isChain = cache.chain.collect(m_arcs);
            cache.checked = true;
            cache.edits = edits;
        }
        if (cache.isChain) {
            LineChain& chain = m_insideCache->chain;
            chain.used();
            // Written so that a point with a NaN coordinate falls outside too.
            if (!(p.x >= chain.min().x && p.y >= chain.min().y && p.x <= chain.max().x &&
                  p.y <= chain.max().y))
                return false;
            const Point<double> q(p.x, p.y, 0.0);
            if (chain.on(q))
                return false;
            const double L = chain.probeLength();
            if (L == 0.0)
                return false;
            if (std::isfinite(L))
                return chainProbesInside(chain, q);
        }
    }
    // The curve lies within its control points' box (the hull of a rational
    // curve with positive weights); sampled extents could cut off bulges.
    Point<double> min, max;
    if (!controlBox(min, max))
        return false;
    if (!(p.x >= min.x && p.y >= min.y && p.x <= max.x && p.y <= max.y))
        return false;
    if (on(Point<double>(p.x, p.y, 0.0)))
        return false;
    const double L = 10.0 * (max - min).length();
    if (L == 0.0)
        return false;
    return probesInside(p, L);
}

bool CCompositeCurve::insideOrOn(const Point<double>& p) const
{
    return inside(p) || on(p);
}

bool CCompositeCurve::insideNotOn(const Point<double>& p) const
{
    return !on(p) && inside(p);
}

bool CCompositeCurve::inside(const CCompositeCurve* other) const
{
    // A curve without control points has no box, so it meets no box.
    Point<double> min, max, omin, omax;
    if (!controlBox(min, max) || !other->controlBox(omin, omax))
        return false;
    if (omin.x > max.x || omin.y > max.y || min.x > omax.x || min.y > omax.y)
        return false;
    POSITION pos = other->m_arcs.GetHeadPosition();
    while (pos) {
        const Bspline* arc = other->m_arcs.GetNext(pos);
        const double s = arc->startParameter();
        const double e = arc->endParameter();
        const double h = (e - s) / 50.0;
        double t = s;
        for (int k = 0; k <= 50; ++k) {
            Point<double> P;
            arc->eval(t, &P, 1e-7);
            if (!inside(P))
                return false;
            t += h;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// Points inside

bool CCompositeCurve::findPointInside(int, Point<double> a, Point<double> b, Point<double>* out) const
{
    const Point<double> M = (a + b) / 2.0;
    const double d = b.x - a.x;
    if (!(std::fabs(d) > 0.0))
        return false;
    CCompositeCurve probe;
    probe.addArc(probeLine(Point<double>(M.x - d, M.y, 0.0), Point<double>(M.x + d, M.y, 0.0)).release());
    PointList points(10);
    findIntersections(&probe, &points);
    bool found = false;
    if (points.GetCount() >= 2) {
        POSITION pos = points.GetHeadPosition();
        const Point<double> F = *points.GetNext(pos);
        while (pos && !found) {
            const Point<double> C = (F + *points.GetNext(pos)) / 2.0;
            if (inside(C)) {
                *out = C;
                found = true;
            }
        }
    }
    clearPoints(points);
    return found;
}

bool CCompositeCurve::interiorFromNormal(Point<double>* out) const
{
    const Bspline* first = m_arcs.GetHead();
    // A first arc that has shrunk to a point has no normal to probe along
    // (an arc without knots still fails here).
    if (!(first->parmLength() > 0.0))
        return false;
    Point<double> M;
    first->midPt(&M);
    // The normal at the same point as M: the middle of the arc's global range.
    Point<double> N;
    first->normal((first->startParameter() + first->endParameter()) / 2.0, &N);
    if (!(N.length() > 0.5))
        return false;
    if (m_sign == -1)
        N = N * -1.0;
    // The probe is a segment through M along N; its crossings do not depend
    // on which way N points, so one probe serves.
    CCompositeCurve probe;
    probe.addArc(probeLine(M + N * 1000.0, M - N * 1000.0).release());
    PointList points(10);
    findIntersections(&probe, &points);
    double best = 1e100;
    const Point<double>* nearest = nullptr;
    POSITION pos = points.GetHeadPosition();
    while (pos) {
        const Point<double>* P = points.GetNext(pos);
        const double d2 = (*P - M).lengthSquared();
        if (std::sqrt(d2) >= 1e-5 && d2 < best) {
            best = d2;
            nearest = P;
        }
    }
    bool found = false;
    if (nearest) {
        const Point<double> C = (*nearest + M) / 2.0;
        if (inside(C)) {
            *out = C;
            found = true;
        }
    }
    clearPoints(points);
    return found;
}

bool CCompositeCurve::interiorFromScan(Point<double>* out) const
{
    Point<double> min, max;
    if (!controlBox(min, max) || !(max.x > min.x) || !(max.y > min.y))
        return false;
    const double margin = max.x - min.x;
    // Heights at 1/2, 1/4 and 3/4, 1/8, 3/8, ... of the box; along each,
    // the middle of the widest span between consecutive crossings that is
    // inside the region.
    for (int level = 1; level <= 7; ++level) {
        const int parts = 1 << level;
        for (int k = 1; k < parts; k += 2) {
            const double y = min.y + (max.y - min.y) * k / parts;
            std::unique_ptr<Bspline> line =
                probeLine(Point<double>(min.x - margin, y, 0.0), Point<double>(max.x + margin, y, 0.0));
            PointList points(10);
            appendProbeCrossings(m_arcs, line.get(), &points);
            std::vector<double> xs;
            POSITION pos = points.GetHeadPosition();
            while (pos)
                xs.push_back(points.GetNext(pos)->x);
            clearPoints(points);
            std::sort(xs.begin(), xs.end());
            double widest = 0.0;
            for (std::size_t i = 1; i < xs.size(); ++i) {
                const Point<double> C((xs[i - 1] + xs[i]) / 2.0, y, 0.0);
                if (xs[i] - xs[i - 1] > widest && inside(C)) {
                    widest = xs[i] - xs[i - 1];
                    *out = C;
                }
            }
            if (widest > 0.0)
                return true;
        }
    }
    return false;
}

Point<double> CCompositeCurve::getInteriorPoint(double) const
{
    if (m_arcs.IsEmpty())
        AfxThrowInvalidArgException();
    Point<double> P;
    if (interiorFromNormal(&P) || interiorFromScan(&P))
        return P;
    throw std::logic_error("Composite curve encloses no region");
}

// ---------------------------------------------------------------------------
// Normals

double CCompositeCurve::crossingProbeLength() const
{
    // The curve lies in its control box: a probe longer than the box's
    // diagonal leaves it from any point of the curve. Curves up to some
    // hundreds across keep the length of a thousand they always had.
    Point<double> min, max;
    if (!controlBox(min, max))
        return 1000.0;
    const double diagonal = std::hypot(max.x - min.x, max.y - min.y);
    return std::isfinite(diagonal) ? std::max(1000.0, 2.0 * diagonal) : 1000.0;
}

Point<double> CCompositeCurve::normal(double t) const
{
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos) {
        const Bspline* arc = m_arcs.GetNext(pos);
        if (!(arc->startParameter() <= t && t <= arc->endParameter()))
            continue;
        Point<double> P;
        Point<double> N;
        arc->eval(t, &P, 1e-7);
        arc->normal(t, &N);
        CCompositeCurve probe;
        probe.addArc(probeLine(P, P + N * crossingProbeLength()).release());
        PointList points(10);
        const int count = probe.findIntersections(this, &points);
        clearPoints(points);
        if (count == 1)
            N = N * -1.0;
        return N;
    }
    return Point<double>();
}
