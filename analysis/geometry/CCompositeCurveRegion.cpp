// Composite curves: points on the curve, points and curves inside the
// region it bounds, interior points, normals and the counting of crossings
// that the inside tests rest on.
#include <algorithm>
#include <cmath>
#include <memory>
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

// The parity test of inside(p) for a chain of plain lines whose preferred
// probe lines (horizontal and 30 degrees) pass clear of every corner, as
// CCompositeCurve::probesInside decides it, in one pass over the arcs.
// Every corner then lies off both probe lines, and a line whose ends lie
// on one side of a probe line, farther than rounding can reach, gives
// lineIntersection nothing to find: only the lines that straddle a probe
// line are intersected with its two probes.
class LineChainProbes {
public:
    enum Answer { outside, inside, undecided };

    // q: the point (z 0); box: the chain's control box; L: the probe length.
    LineChainProbes(const Point<double>& q, const Point<double>& min, const Point<double>& max,
                    double L)
        : m_q(q)
    {
        const double scale = std::max(std::max(std::fabs(min.x), std::fabs(max.x)),
                                      std::max(std::fabs(min.y), std::fabs(max.y)));
        m_margin = 1e-11 + 1e-12 * (scale + L);
        const Point<double> u[2] = {direction(0.0), direction(30.0)};
        for (int k = 0; k < 2; ++k) {
            m_u[k] = u[k];
            const Point<double> reach = u[k] * L;
            // Forward from q, then backward to q, as probesInside draws them.
            m_probe[2 * k] = Probe{q, q + reach, {}, {}};
            m_probe[2 * k + 1] = Probe{q - reach, q, {}, {}};
        }
        for (Probe& pr : m_probe)
            pr.box = Box{std::min(pr.a.x, pr.b.x), std::min(pr.a.y, pr.b.y),
                         std::max(pr.a.x, pr.b.x), std::max(pr.a.y, pr.b.y)};
    }

    // Walks the arcs: outside when q is on one, undecided when an arc is no
    // plain line or a corner lies near a preferred probe line, else the parity
    // verdict.
    Answer decide(const CList<Bspline*>& arcs)
    {
        POSITION pos = arcs.GetHeadPosition();
        while (pos) {
            const Bspline* arc = arcs.GetNext(pos);
            if (!isPlainLine(arc))
                return undecided;
            const CArray<Point<double>>& cpts = arc->controlPoints();
            const Point<double>& S = cpts[0];
            const Point<double>& E = cpts[1];
            const Box box{std::min(S.x, E.x), std::min(S.y, E.y), std::max(S.x, E.x),
                          std::max(S.y, E.y)};
            const bool nearBox = !(m_q.x < box.x0 - kOnCurve || m_q.x > box.x1 + kOnCurve ||
                                   m_q.y < box.y0 - kOnCurve || m_q.y > box.y1 + kOnCurve);
            double t = 0.0;
            if (nearBox && onPlainLine(S, E, arc->startParameter(), arc->endParameter(), m_q, &t))
                return outside;
            for (int k = 0; k < 2; ++k) {
                const double sS = side(k, S);
                const double sE = side(k, E);
                if (!(std::fabs(sS) >= kCornerClear && std::fabs(sE) >= kCornerClear))
                    return undecided;
                const bool oneSide = (sS >= m_margin && sE >= m_margin) ||
                                     (sS <= -m_margin && sE <= -m_margin);
                if (!oneSide) {
                    cross(m_probe[2 * k], S, E, box);
                    cross(m_probe[2 * k + 1], S, E, box);
                }
            }
        }
        const bool right = odd(m_probe[0].count());
        const bool left = odd(m_probe[1].count());
        const bool rising = odd(m_probe[2].count());
        const bool falling = odd(m_probe[3].count());
        return (right && left) || (right && rising) || (rising && falling) ? inside : outside;
    }

private:
    struct Probe {
        Point<double> a, b;
        Box box;
        std::vector<Point<double>> found;  // distinct crossings, in order
        int count() const { return static_cast<int>(found.size()); }
    };

    // Signed distance of c from probe line k, as the corner rule measures it.
    double side(int k, const Point<double>& c) const
    {
        return m_u[k].x * (c.y - m_q.y) - m_u[k].y * (c.x - m_q.x);
    }

    // The crossings of the line S-E (box) with the probe, kept when no
    // earlier crossing lies within gInsectTol, as countCrossings keeps them.
    static void cross(Probe& pr, const Point<double>& S, const Point<double>& E, const Box& box)
    {
        if (apart(box, pr.box, kDisjointMargin))
            return;
        Point<double> a = S, b = E, c = pr.a, d = pr.b;
        Point<double> pts[2];
        const int k = lineIntersection(a, b, c, d, pts, 1e-12);
        for (int i = 0; i < k; ++i) {
            bool duplicate = false;
            for (const Point<double>& f : pr.found)
                duplicate = duplicate || (f - pts[i]).length() < gInsectTol;
            if (!duplicate)
                pr.found.push_back(pts[i]);
        }
    }

    Point<double> m_q;
    Point<double> m_u[2];
    double m_margin = 0.0;
    Probe m_probe[4];
};

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

bool CCompositeCurve::inside(const Point<double>& p) const
{
    // The curve lies within its control points' box (the hull of a rational
    // curve with positive weights); sampled extents could cut off bulges.
    Point<double> min, max;
    if (!controlBox(min, max))
        return false;
    // Written so that a point with a NaN coordinate falls outside too.
    if (!(p.x >= min.x && p.y >= min.y && p.x <= max.x && p.y <= max.y))
        return false;
    const double L = 10.0 * (max - min).length();
    // A chain of straight lines is decided in one pass where it can be.
    if (L > 0.0 && std::isfinite(L)) {
        LineChainProbes probes(Point<double>(p.x, p.y, 0.0), min, max, L);
        const LineChainProbes::Answer answer = probes.decide(m_arcs);
        if (answer != LineChainProbes::undecided)
            return answer == LineChainProbes::inside;
    }
    if (on(Point<double>(p.x, p.y, 0.0)))
        return false;
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
        probe.addArc(probeLine(P, P + N * 1000.0).release());
        PointList points(10);
        const int count = probe.findIntersections(this, &points);
        clearPoints(points);
        if (count == 1)
            N = N * -1.0;
        return N;
    }
    return Point<double>();
}
