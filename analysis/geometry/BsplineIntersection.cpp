// Intersection of two B-splines by recursive subdivision of both curves,
// with a test for curves that lie on each other.
#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/NearPointIndex.h"
#include "analysis/geometry/PlanarGeometry.h"
#include "analysis/model/Globals.h"

namespace {

using PointList = CList<Point<double>*>;
using SplinePtr = std::shared_ptr<const Bspline>;

// Frees a result list and the points in it.
void deletePointList(PointList* list)
{
    if (list == nullptr)
        return;
    POSITION pos = list->GetHeadPosition();
    while (pos)
        delete list->GetNext(pos);
    delete list;
}

using PointListOwner = std::unique_ptr<PointList, void (*)(PointList*)>;

// Appends a copy of p.
void append(PointList* L, const Point<double>& p)
{
    L->AddTail(new Point<double>(p));
}

// Appends a copy of p unless a point of L lies within 1e-5 of it.
void appendDistinct(PointList* L, const Point<double>& p)
{
    POSITION pos = L->GetHeadPosition();
    while (pos) {
        if ((*L->GetNext(pos) - p).length() < 1e-5)
            return;
    }
    append(L, p);
}

// The chords (first to last control point) of x and y; lineIntersection
// works on copies with z set to 0.
struct Chords {
    Point<double> a, b, c, d;
    Chords(const Bspline& x, const Bspline& y)
        : a(x.startPoint()), b(x.endPoint()), c(y.startPoint()), d(y.endPoint())
    {
    }
    // The segments a-b and c-d themselves.
    Chords(const Point<double>& pa, const Point<double>& pb, const Point<double>& pc, const Point<double>& pd)
        : a(pa), b(pb), c(pc), d(pd)
    {
    }
};

// Appends where the chords of x and y meet (one point, or the two ends of a
// collinear overlap); returns how many points were appended.
int appendChordIntersection(Chords& ch, PointList* L)
{
    Point<double> pts[2];
    const int k = lineIntersection(ch.a, ch.b, ch.c, ch.d, pts, 1e-12);
    for (int i = 0; i < k; ++i)
        append(L, pts[i]);
    return k;
}

// Distance from p to the segment from a to b and the nearest point *foot.
double segmentDistance(Point<double>& p, Point<double>& a, Point<double>& b, Point<double>* foot)
{
    Point<double> dir = b - a;
    const double len = dir.length();
    dir.normalize();
    double dist = 0.0;
    lineProjectPt(p, a, dir, len, foot, &dist);
    return dist;
}

// Two pieces that neither split can shorten any more (their knot ranges are
// below the split tolerance) and whose boxes overlap: they meet where their
// chords meet. Chords that miss each other by less than gInsectTol still
// mark a meeting of the curves (a touch, or a corner of a polyline that the
// chord cuts off), reported halfway across their closest approach.
void appendUnsplittable(const Bspline& x, const Bspline& y, PointList* L);

// Where the chords meet, or halfway across their closest approach when they
// miss each other by less than gInsectTol; returns how many points were appended.
int appendChordMeeting(Chords& ch, PointList* L)
{
    const int k = appendChordIntersection(ch, L);
    if (k > 0)
        return k;
    // Segments that do not cross come closest at an end of one of them.
    struct Candidate {
        Point<double>* p;
        Point<double>* s0;
        Point<double>* s1;
    };
    const Candidate candidates[] = {
        {&ch.a, &ch.c, &ch.d}, {&ch.b, &ch.c, &ch.d}, {&ch.c, &ch.a, &ch.b}, {&ch.d, &ch.a, &ch.b}};
    double best = 0.0;
    Point<double> bestMid;
    bool found = false;
    for (const Candidate& cand : candidates) {
        Point<double> foot;
        const double dist = segmentDistance(*cand.p, *cand.s0, *cand.s1, &foot);
        if (!found || dist < best) {
            found = true;
            best = dist;
            bestMid = (*cand.p + foot) / 2.0;
        }
    }
    if (!(best < gInsectTol))
        return 0;
    append(L, bestMid);
    return 1;
}

void appendUnsplittable(const Bspline& x, const Bspline& y, PointList* L)
{
    Chords ch(x, y);
    appendChordMeeting(ch, L);
}

// The segments p0-p1 and q0-q1 lie more than gInsectTol apart in x or y.
bool legsApart(const Point<double>& p0, const Point<double>& p1, const Point<double>& q0,
               const Point<double>& q1)
{
    const double m = gInsectTol;
    return std::max(p0.x, p1.x) + m < std::min(q0.x, q1.x) || std::max(q0.x, q1.x) + m < std::min(p0.x, p1.x) ||
           std::max(p0.y, p1.y) + m < std::min(q0.y, q1.y) || std::max(q0.y, q1.y) + m < std::min(p0.y, p1.y);
}

using Stretch = std::pair<Point<double>, Point<double>>;

// p lies inside a stretch that the two polylines share: strictly between the
// ends of one, or at the joint of two that continue each other in line.
bool insideSharedStretch(const Point<double>& p, const std::vector<Stretch>& shared)
{
    const double tol = 1e-9;
    for (const auto& [s0, s1] : shared) {
        Point<double> q = p;
        Point<double> a = s0;
        Point<double> b = s1;
        Point<double> foot;
        const double d = segmentDistance(q, a, b, &foot);
        if (d < tol && (p - s0).length() > tol && (p - s1).length() > tol)
            return true;
    }
    // The far end of each stretch that ends at p, as a unit direction from p.
    std::vector<Point<double>> away;
    for (const auto& [s0, s1] : shared) {
        if ((p - s0).length() <= tol)
            away.push_back(s1 - p);
        else if ((p - s1).length() <= tol)
            away.push_back(s0 - p);
    }
    for (Point<double>& u : away)
        u.normalize();
    for (std::size_t i = 0; i < away.size(); ++i)
        for (std::size_t j = i + 1; j < away.size(); ++j)
            if (dot(away[i], away[j]) < -0.9999)
                return true;
    return false;
}

// Two polylines (degree 1) meet where their legs do. A stretch they share,
// over one leg or several, counts by its two ends only: a leg joint inside
// it is no crossing, and reporting it would cut the shared edge in pieces.
void polylineCrossings(const Bspline& A, const Bspline& B, PointList* L)
{
    const CArray<Point<double>>& a = A.controlPoints();
    const CArray<Point<double>>& b = B.controlPoints();
    std::vector<Point<double>> found;
    std::vector<Stretch> shared;
    for (INT_PTR i = 0; i + 1 < a.GetSize(); ++i) {
        for (INT_PTR j = 0; j + 1 < b.GetSize(); ++j) {
            if (legsApart(a[i], a[i + 1], b[j], b[j + 1]))
                continue;
            Chords ch(a[i], a[i + 1], b[j], b[j + 1]);
            PointListOwner pts(new PointList(10), deletePointList);
            const int k = appendChordMeeting(ch, pts.get());
            POSITION pos = pts->GetHeadPosition();
            while (pos)
                found.push_back(*pts->GetNext(pos));
            if (k == 2 && (found[found.size() - 1] - found[found.size() - 2]).length() >= 1e-5)
                shared.emplace_back(found[found.size() - 2], found[found.size() - 1]);
        }
    }
    // appendDistinct's rule, with the points of L found through a grid.
    NearPointIndex near(1e-5);
    POSITION pos = L->GetHeadPosition();
    while (pos)
        near.add(*L->GetNext(pos));
    for (const Point<double>& p : found) {
        if (insideSharedStretch(p, shared) || near.anyNear(p))
            continue;
        append(L, p);
        near.add(p);
    }
}

// The control-point boxes of x and y overlap in x and y. Boxes that miss
// each other by rounding alone still meet: where two arcs join, the end
// point that each computes for itself may differ in the last bits, and the
// pieces on either side of the joint must still be compared.
bool boxesMeet(const Bspline& x, const Bspline& y)
{
    const double slack = 1e-12;
    Point<double> lo1, hi1, lo2, hi2;
    x.extents(&lo1, &hi1, 1);
    y.extents(&lo2, &hi2, 1);
    return lo1.x <= hi2.x + slack && lo2.x <= hi1.x + slack && lo1.y <= hi2.y + slack &&
           lo2.y <= hi1.y + slack;
}

// The curve y lies on the curve x: x accepts y's start, end and middle.
bool liesOn(const Bspline& x, const Bspline& y)
{
    double t = 0.0;
    Point<double> mid;
    y.midPt(&mid);
    return x.isOn(y.startPoint(), &t) && x.isOn(y.endPoint(), &t) && x.isOn(mid, &t);
}

// The ends p and q, each on both curves, bound a stretch that a and b share:
// they are distinct, and a's point halfway between them lies on b. (Two
// curves that merely touch at an end, or meet at two points, are not an
// overlap: their other crossings would be lost.)
bool sharedStretch(const Bspline& a, const Bspline& b, const Point<double>& p,
                   const Point<double>& q)
{
    if ((p - q).length() < 1e-5)
        return false;
    double tp = 0.0;
    double tq = 0.0;
    a.isOn(p, &tp);
    a.isOn(q, &tq);
    Point<double> mid;
    a.eval((tp + tq) / 2.0, &mid, 1e-7);
    double t = 0.0;
    return b.isOn(mid, &t);
}

// Curves of equal degree that lie on each other, wholly or by their ends:
// appends the ends of the shared stretch and returns true.
bool overlapTest(const Bspline& A, const Bspline& B, PointList* L)
{
    // First whether A lies on B, then whether B lies on A.
    const std::pair<const Bspline*, const Bspline*> onto[] = {{&B, &A}, {&A, &B}};
    for (const auto& [x, y] : onto) {
        if (liesOn(*x, *y)) {
            appendDistinct(L, y->startPoint());
            appendDistinct(L, y->endPoint());
            return true;
        }
    }
    double t = 0.0;
    const Point<double> aStart = A.startPoint();
    const Point<double> aEnd = A.endPoint();
    const Point<double> bStart = B.startPoint();
    const Point<double> bEnd = B.endPoint();
    const bool a = B.isOn(aStart, &t);
    const bool b = A.isOn(bEnd, &t);
    const bool c = B.isOn(aEnd, &t);
    const bool d = A.isOn(bStart, &t);
    // The four ways two open curves can share a stretch at their ends, and
    // the two ends of that stretch.
    struct EndCase {
        bool a, b, c, d;
        const Point<double>* p;
        const Point<double>* q;
    };
    const EndCase cases[] = {
        {true, true, false, false, &aStart, &bEnd},
        {true, false, false, true, &aStart, &bStart},
        {false, true, true, false, &aEnd, &bEnd},
        {false, false, true, true, &aEnd, &bStart},
    };
    for (const EndCase& e : cases) {
        if (e.a == a && e.b == b && e.c == c && e.d == d) {
            if (!sharedStretch(A, B, *e.p, *e.q))
                return false;
            append(L, *e.p);
            append(L, *e.q);
            return true;
        }
    }
    return false;
}

// The two halves of s split at the middle of its knot range, or s alone
// when the split tolerance leaves nothing to split.
std::vector<SplinePtr> halves(const SplinePtr& s)
{
    Bspline* first = nullptr;
    Bspline* second = nullptr;
    s->split(s->localMidParameter(), &first, &second);
    SplinePtr a(first);
    SplinePtr b(second);
    if (!a || !b)
        return {s};
    return {a, b};
}

// Depth-first subdivision from the starts of both curves, on a work list of
// pairs (a stack, the pair examined next on top). Pieces are shared by the
// pairs that hold them and freed with the last one.
void subdivide(const SplinePtr& A, const SplinePtr& B, PointList* L)
{
    // Written only when it differs, so that intersections running on
    // several threads at once only read the shared tolerance.
    if (QHTgSplitTol != 1e-8)
        QHTgSplitTol = 1e-8;
    if (A->deg() == B->deg() && A->deg() >= 2 && overlapTest(*A, *B, L))
        return;
    std::vector<std::pair<SplinePtr, SplinePtr>> work;
    work.emplace_back(A, B);
    // The tolerances are absolute: curves many orders of magnitude larger
    // than a section, touching along a stretch, would double their pairs
    // at every level for dozens of levels. Ordinary curves need a few
    // thousand pairs at most.
    constexpr long kMaxPairs = 2000000;
    long pairs = 0;
    while (!work.empty()) {
        if (++pairs > kMaxPairs)
            throw "Curve intersection did not converge\n";
        const auto [X, Y] = std::move(work.back());
        work.pop_back();
        if (!boxesMeet(*X, *Y))
            continue;
        if (std::max(X->chordHeightTol(), Y->chordHeightTol()) < 1e-12) {
            Chords ch(*X, *Y);
            appendChordIntersection(ch, L);
            continue;
        }
        const std::vector<SplinePtr> xs = halves(X);
        const std::vector<SplinePtr> ys = halves(Y);
        if (xs.size() == 1 && ys.size() == 1) {
            appendUnsplittable(*X, *Y, L);
            continue;
        }
        // Pushed last to first, so that (X1, Y1) comes off next.
        for (auto xi = xs.rbegin(); xi != xs.rend(); ++xi)
            for (auto yi = ys.rbegin(); yi != ys.rend(); ++yi)
                work.emplace_back(*xi, *yi);
    }
}

}  // namespace

CList<Point<double>*>* Bspline::intersection(Bspline* other) const
{
    if (isLinear() && other->isLinear()) {
        Point<double> a = startPoint();
        Point<double> b = endPoint();
        Point<double> c = other->startPoint();
        Point<double> d = other->endPoint();
        Point<double> pts[2];
        const int k = lineIntersection(a, b, c, d, pts, 1e-12);
        if (k == 0)
            return nullptr;
        PointListOwner list(new PointList(10), deletePointList);
        for (int i = 0; i < k; ++i)
            append(list.get(), pts[i]);
        return list.release();
    }
    PointListOwner list(new PointList(10), deletePointList);
    if (deg() == 1 && other->deg() == 1) {
        polylineCrossings(*this, *other, list.get());
        return list->IsEmpty() ? nullptr : list.release();
    }
    const SplinePtr A = std::make_shared<const Bspline>(const_cast<Bspline*>(this), CString());
    const SplinePtr B = std::make_shared<const Bspline>(other, CString());
    subdivide(A, B, list.get());
    if (list->IsEmpty())
        return nullptr;
    return list.release();
}
