// Refinement: circumcentre insertion at the worst triangles, splitting the
// boundary segments that a refinement point encroaches, and the local size
// controls.
#include <cmath>
#include <vector>

#include "analysis/predicates/Predicates.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/CMeshIndex.h"
#include "drevoline/mesh/CMeshInternal.h"

using namespace mesher;

namespace {

// Tries of the circumcentre search before the centroid is taken.
constexpr int kCircumcentreTries = 20;

double distance(const CVertex* a, const CVertex* b)
{
    return std::hypot(b->x - a->x, b->y - a->y);
}

}  // namespace

// ---------------------------------------------------------------------------
// Triangle queries

Point<double> CTriangle::centroid() const
{
    return Point<double>((vertex0->x + vertex1->x + vertex2->x) * 0.3333333333333333,
                         (vertex0->y + vertex1->y + vertex2->y) * 0.3333333333333333, 0.0);
}

double CTriangle::perimeter() const
{
    return distance(vertex0, vertex1) + distance(vertex1, vertex2) + distance(vertex2, vertex0);
}

double CTriangle::distanceTo(const CPoint2d& p) const
{
    double best = 0.0;
    for (int k = 0; k < 3; ++k) {
        const CVertex* v = vertex(k);
        const double d = std::hypot(v->x - p.x, v->y - p.y);
        if (k == 0 || d < best)
            best = d;
    }
    return best;
}

void CTriangle::circumcentre(CVertex* out) const
{
    const double x0 = vertex0->x, y0 = vertex0->y;
    const double x1 = vertex1->x, y1 = vertex1->y;
    const double x2 = vertex2->x, y2 = vertex2->y;
    const double s0 = x0 * x0 + y0 * y0;
    const double s1 = x1 * x1 + y1 * y1;
    const double s2 = x2 * x2 + y2 * y2;
    // Two forms of the centre: where they disagree the triangle is too flat
    // for either to be trusted.
    const double D = 2.0 * ((y1 - y2) * x0 + (y2 - y0) * x1 + (y0 - y1) * x2);
    const double c1x = (s1 * (y2 - y0) + s0 * (y1 - y2) + s2 * (y0 - y1)) / D;
    const double c1y = (s1 * (x0 - x2) + s0 * (x2 - x1) + s2 * (x1 - x0)) / D;
    const double ax = x1 - x0, ay = y1 - y0;
    const double bx = x2 - x0, by = y2 - y0;
    const double A = orient2dexact(vertex1->xy(), vertex2->xy(), vertex0->xy()) * 0.5;
    const double la = ax * ax + ay * ay;
    const double lb = bx * bx + by * by;
    const double c2x = x0 + (by * la - ay * lb) * 0.25 / A;
    const double c2y = y0 + (ax * lb - bx * la) * 0.25 / A;
    const Point<double> g = centroid();
    if (!(std::hypot(c1x - c2x, c1y - c2y) <= 1e-6)) {
        out->x = g.x;
        out->y = g.y;
        return;
    }
    double px = c1x;
    double py = c1y;
    for (int i = 0; i < kCircumcentreTries; ++i) {
        out->x = px;
        out->y = py;
        // The point lies next to this triangle: the walk may start here.
        if (mesh->locateNode(out, const_cast<CTriangle*>(this)))
            return;
        px = g.x + 0.9 * (px - g.x);
        py = g.y + 0.9 * (py - g.y);
    }
    out->x = g.x;
    out->y = g.y;
}

// ---------------------------------------------------------------------------
// Quality refinement

namespace {

// Splits every segment that c encroaches, in array order, the count re-read
// so that halves made on the way are tested too. Returns whether any was
// split; *budget is set when the operation budget ran out.
bool splitEncroached(CMesh& m, const CVertex& c, bool useBudget, bool* budget)
{
    bool split = false;
    for (int i = 0; i < m.nSegments; ++i) {
        CSegment* s = &m.segments[i];
        if (!CMesh::encroach(s->vertexA, s->vertexB, &c))
            continue;
        m.splitSegment(s);
        split = true;
        if (useBudget && m.nRemoves >= m.maxRemoves) {
            *budget = true;
            return true;
        }
    }
    return split;
}

// A new vertex at c inserted into the mesh; false when the node allowance is spent.
bool insertAt(CMesh& m, const CVertex& c)
{
    CVertex* v = m.newNode();
    if (!v)
        return false;
    v->x = c.x;
    v->y = c.y;
    m.insertVertex(v);
    return true;
}

}  // namespace

void CMesh::removeBadTriangles()
{
    CMeshIndexScope scope(*this);
    meshIndex->trackQuality();
    while (nNodes < maxNodes) {
        CTriangle* t = meshIndex->worstTriangle();
        if (!t)
            return;
        currentTriangle = t;
        CVertex c;
        t->circumcentre(&c);
        bool budget = false;
        if (splitEncroached(*this, c, true, &budget)) {
            if (budget)
                return;
            continue;
        }
        if (!insertAt(*this, c) || nRemoves >= maxRemoves)
            return;
    }
}

// ---------------------------------------------------------------------------
// Local size controls

void CMesh::applyLocalSizeControls()
{
    for (const LocalSizeControl& c : sizeControls) {
        CPoint2d centre(c.x, c.y);
        localResizeTriangles(centre, c.radius, c.size);
    }
}

void CMesh::localResizeTriangles(CPoint2d& centre, double radius, double size)
{
    CMeshIndexScope scope(*this);
    maxNodes = ultNodes;
    maxEdges = ultEdges;
    maxSegments = ultSegments;
    maxTriangles = ultTriangles;
    if (nNodes >= maxNodes)
        return;
    double R = 5.0;
    for (int i = 0; i < nTriangles; ++i) {
        const CTriangle& t = triangles[i];
        if (t.alive && t.distanceTo(centre) < radius) {
            R = t.perimeter();
            break;
        }
    }
    const double S = 3.0 * size;
    for (bool oversized = true; oversized;) {
        oversized = false;
        for (int i = 0; i < nTriangles; ++i) {
            CTriangle* t = &triangles[i];
            if (!t->alive)
                continue;
            const double w = t->distanceTo(centre);
            if (!(w < radius))
                continue;
            const double target = S + (R - S) * w / radius;
            if (!(t->perimeter() > target))
                continue;
            oversized = true;
            if (nNodes >= maxNodes)
                return;
            CVertex c;
            t->circumcentre(&c);
            bool budget = false;
            if (splitEncroached(*this, c, false, &budget))
                continue;
            if (!insertAt(*this, c))
                return;
        }
    }
}
