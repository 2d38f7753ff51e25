// Loading a boundary polygon into the mesh: cleaning the points, closing the
// polygon, the input-angle check, dropping colinear points, and the boundary
// vertices and segments.
#include <cmath>
#include <stdexcept>
#include <vector>

#include "analysis/geometry/PlanarGeometry.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/CMeshIndex.h"

namespace {

// Points closer than this in x-y to the point kept before them are one
// point (the merge distance of the composite curves' polygons).
constexpr double kMergeDistance = 0.001;
// A closing gap at least this wide is an open polygon.
constexpr double kWatertightGap = 0.001;
// The last point repeats the first when this close.
constexpr double kClosedGap = 1e-8;

double planarDistance(const Point<double>& a, const Point<double>& b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

constexpr double kDegrees = 180.0 / 3.141592653589793;

}  // namespace

int CMesh::lastIndex(CArray<Point<double>>* points)
{
    const int n = static_cast<int>(points->GetSize());
    if (n > 1 && planarDistance((*points)[n - 1], (*points)[0]) < kClosedGap)
        return n - 1;
    return n;
}

bool CMesh::checkInputAngles(CArray<Point<double>>* points)
{
    const int n = lastIndex(points);
    if (n <= 1)
        return true;
    for (int i = 0; i < n; ++i) {
        const Point<double>& c = (*points)[i];
        Point<double> toPrev = (*points)[i == 0 ? n - 1 : i - 1] - c;
        Point<double> toNext = (*points)[i == n - 1 ? 0 : i + 1] - c;
        toPrev.z = 0.0;
        toNext.z = 0.0;
        const double a1 = counterClockwiseAngle(&toPrev) * kDegrees;
        const double a2 = counterClockwiseAngle(&toNext) * kDegrees;
        // Directions are compared modulo 360: 359.5 and 0.5 are 1 degree apart.
        double d = std::fabs(a1 - a2);
        if (d > 180.0)
            d = 360.0 - d;
        if (d < 2.0)
            throw std::logic_error(
                "Can't mesh shape with interior angle of the boundary less than 2 degrees");
    }
    return true;
}

void CMesh::removeColinear(CArray<Point<double>>* poly)
{
    const int n = static_cast<int>(poly->GetSize());
    if (n < 3)
        return;
    std::vector<int> next(n);
    std::vector<int> prev(n);
    for (int i = 0; i < n; ++i) {
        next[i] = (i + 1) % n;
        prev[i] = (i + n - 1) % n;
    }
    int head = 0;
    int count = n;
    // A ring of fewer than three points has nothing left to test.
    bool changed = true;
    while (changed && count >= 3) {
        changed = false;
        int cur = head;
        do {
            Point<double> p = (*poly)[cur];
            Point<double> a = (*poly)[prev[cur]];
            Point<double> b = (*poly)[next[cur]];
            // The angle is measured at p itself: measured at a neighbour
            // across a long edge, the small turn of a finely sampled curve
            // looks straight and whole fillets would be dropped.
            if (!colinear2d(&a, &p, &b)) {
                cur = next[cur];
                continue;
            }
            next[prev[cur]] = next[cur];
            prev[next[cur]] = prev[cur];
            --count;
            changed = true;
            if (cur == head) {
                // The walk restarts from the new head.
                head = next[cur];
                break;
            }
            cur = next[cur];
        } while (cur != head && count >= 3);
    }
    CArray<Point<double>> kept;
    kept.SetSize(0, count);
    int cur = head;
    for (int i = 0; i < count; ++i) {
        kept.Add((*poly)[cur]);
        cur = next[cur];
    }
    poly->Copy(kept);
}

void CMesh::addPolygon(CCompositeCurve* curve, CArray<Point<double>>* points, int holeIndex)
{
    (void)holeIndex;
    boundaryCurves.push_back(curve);

    // With the parameter flag z holds a curve parameter: work in x-y, and
    // merge points that coincide there with the one kept before them.
    CArray<Point<double>> pts;
    pts.SetSize(0, points->GetSize());
    for (const Point<double>& q : *points) {
        const Point<double> p(q.x, q.y, 0.0);
        if (!pts.IsEmpty() && planarDistance(pts[pts.GetSize() - 1], p) < kMergeDistance)
            continue;
        pts.Add(p);
    }
    if (pts.IsEmpty())
        throw std::logic_error("Polygon has too few points to mesh");

    const INT_PTR last = pts.GetSize() - 1;
    const double gap = planarDistance(pts[0], pts[last]);
    if (gap > kClosedGap) {
        if (gap >= kWatertightGap)
            throw std::logic_error("Polygon is not watertight");
        pts[last] = pts[0];
    }
    checkInputAngles(&pts);
    removeColinear(&pts);
    if (pts.GetSize() < 3)
        throw std::logic_error("Polygon has too few points to mesh");

    CMeshIndex* index = meshIndex;
    CVertex* first = nullptr;
    CVertex* before = nullptr;
    auto addSegment = [&](CVertex* a, CVertex* b) {
        CSegment* s = newSegment();
        s->vertexA = a;
        s->vertexB = b;
        s->id = static_cast<int>(s - &segments[0]);
        s->curveName = name;
        s->curve = curve;
        if (index)
            index->segmentLinked(s);
    };
    for (const Point<double>& p : pts) {
        CVertex* v = newUltNode();
        if (!v)
            throw std::logic_error("nNodes > maxNodes\n");
        v->x = p.x;
        v->y = p.y;
        v->onBoundary = true;
        if (before)
            addSegment(before, v);
        else
            first = v;
        before = v;
    }
    addSegment(before, first);
}
