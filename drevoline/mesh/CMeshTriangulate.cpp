// The constrained triangulation: the pipeline, incremental insertion with
// edge flips inside the bounding triangle, segment recovery by splitting,
// removal of the outside and the holes by flood fill, and freezing the
// boundary edges.
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "analysis/predicates/Predicates.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/CMeshIndex.h"
#include "drevoline/mesh/CMeshInternal.h"
#include "platform/core/CString.h"

using namespace mesher;

// ---------------------------------------------------------------------------
// Record changes that keep the mesher's index in step

void mesher::setEdge(CMesh& m, CEdge* e, CVertex* a, CVertex* b, CTriangle* left, CTriangle* right)
{
    if (m.meshIndex)
        m.meshIndex->edgeUnlinked(e);
    e->set(a, b, left, right);
    if (m.meshIndex)
        m.meshIndex->edgeLinked(e);
}

void mesher::setTriangle(CMesh& m, CTriangle* t, CVertex* v0, CVertex* v1, CVertex* v2, CEdge* e0,
                         CEdge* e1, CEdge* e2)
{
    t->set(v0, v1, v2, e0, e1, e2);
    if (m.meshIndex)
        m.meshIndex->triangleChanged(t);
}

void mesher::setAlive(CMesh& m, CTriangle* t, bool alive)
{
    t->alive = alive;
    if (m.meshIndex)
        m.meshIndex->triangleChanged(t);
}

void mesher::setSegment(CMesh& m, CSegment* s, CVertex* a, CVertex* b)
{
    if (m.meshIndex)
        m.meshIndex->segmentUnlinked(s);
    s->vertexA = a;
    s->vertexB = b;
    if (m.meshIndex)
        m.meshIndex->segmentLinked(s);
}

CEdge* mesher::edgeBetween(CMesh& m, const CVertex* a, const CVertex* b)
{
    return m.meshIndex ? m.meshIndex->edgeBetween(a, b) : m.findEdge(a, b);
}

CSegment* mesher::segmentBetween(CMesh& m, const CVertex* a, const CVertex* b)
{
    return m.meshIndex ? m.meshIndex->segmentBetween(a, b) : m.findSegment(a, b);
}

CVertex* mesher::splitVertex(CMesh& m, CSegment* s)
{
    CVertex* mid = m.newNode();
    if (!mid)
        return nullptr;
    CSegment* s2 = m.newSegment();
    CVertex* oldA = s->vertexA;
    CVertex* oldB = s->vertexB;
    setSegment(m, s, oldA, mid);
    s2->id = static_cast<int>(s2 - &m.segments[0]);
    s2->curveName = s->curveName;
    s2->curve = s->curve;
    setSegment(m, s2, mid, oldB);
    m.ChooseSplitPosition1(mid, oldA, oldB);
    return mid;
}

namespace {

// The walk of locateNode crosses at most every triangle once unless it
// cycles; this many steps per triangle in use mean it cycles.
constexpr int kWalkStepsPerTriangle = 4;

// The triangle across edge e from t; "edge lacks connection to neighbor"
// when t is on neither side.
CTriangle* across(CEdge* e, const CTriangle* t)
{
    if (e->leftTriangle != t && e->rightTriangle != t)
        throw std::logic_error("edge lacks connection to neighbor");
    return e->leftTriangle == t ? e->rightTriangle : e->leftTriangle;
}

// The number of the two triangles (a, b, c) and (d, e, f) that touch a bounding vertex.
int boundingCount(const CMesh& m, const CVertex* a, const CVertex* b, const CVertex* c,
                  const CVertex* d, const CVertex* e, const CVertex* f)
{
    return (m.containsBoundingNodes(a, b, c) ? 1 : 0) + (m.containsBoundingNodes(d, e, f) ? 1 : 0);
}

}  // namespace

// ---------------------------------------------------------------------------
// Pipeline

void CMesh::computeMesh(const CMetal* material)
{
    CMeshIndexScope scope(*this);
    nRemoves = 0;
    incomplete = true;
    exactinit();
    auto stopped = [&] {
        if (nRemoves < maxRemoves)
            return false;
        // A partial mesh still carries its material, for display and storage.
        stampMaterial(material);
        return true;
    };
    constructInitialTriangulation();
    if (stopped())
        return;
    nInputNodes = nNodes;
    insertMissingSegments();
    if (stopped())
        return;
    removeOutsideTriangles();
    if (stopped())
        return;
    if (!triangleInsideExists())
        throw std::logic_error("All triangles were eliminated");
    incomplete = false;
    freezeEdgesThatAreSegments();
    removeBadTriangles();
    if (nRemoves >= maxRemoves) {
        incomplete = true;
        stampMaterial(material);
        return;
    }
    applyLocalSizeControls();
    stampMaterial(material);
    assignEdgeSegments();
}

void CMesh::stampMaterial(const CMetal* m)
{
    for (int i = 0; i < nTriangles; ++i)
        triangles[i].material = const_cast<CMetal*>(m);
}

void CMesh::constructInitialTriangulation()
{
    CMeshIndexScope scope(*this);
    lastLocated = nullptr;
    CTriangle* t0 = newTriangle();
    CTriangle* t1 = newTriangle();
    CEdge* e0 = newEdge();
    CEdge* e1 = newEdge();
    CEdge* e2 = newEdge();
    CVertex* b0 = &vertices[0];
    CVertex* b1 = &vertices[1];
    CVertex* b2 = &vertices[2];
    setTriangle(*this, t0, b0, b1, b2, e0, e1, e2);
    setTriangle(*this, t1, b0, b2, b1, e2, e1, e0);
    setEdge(*this, e0, b0, b1, t0, t1);
    setEdge(*this, e1, b1, b2, t0, t1);
    setEdge(*this, e2, b2, b0, t0, t1);
    for (int i = 3; i < nNodes; ++i) {
        if (i > 3)
            prevVertex = &vertices[i - 1];
        if (!vertices[i].onBoundary)
            throw std::logic_error("vertice is not on boundary during initial triangulation");
        insertVertex(&vertices[i]);
        if (nRemoves >= maxRemoves)
            return;
    }
}

// ---------------------------------------------------------------------------
// Point location and insertion

CTriangle* CMesh::locateNode(CVertex* p)
{
    CTriangle* t = lastLocated ? lastLocated : &triangles[1];
    const long long cap = static_cast<long long>(kWalkStepsPerTriangle) * (nTriangles + 1) + 16;
    long long steps = 0;
    for (int k = 0; k < 3;) {
        CVertex* a = t->vertex(k);
        CVertex* b = t->vertex(k + 1);
        if (!a || !b)
            throw std::logic_error("LocateNode failed, triangle has null vertices");
        const double o = orientSign(a, b, p);
        if (o == 0.0 && !CMesh::isBetween(a, b, p) && prevVertex) {
            // p lies on the line of this edge but beyond its ends: take a
            // well-shaped live triangle around the previous boundary vertex
            // that holds it.
            std::vector<CTriangle*> around;
            if (!meshIndex || !meshIndex->trianglesAround(prevVertex, around))
                around = *vertexTriangles(prevVertex);
            for (CTriangle* c : around)
                if (c->minAngle > 1e-4 && c->contains(p->xy()))
                    return c;
        }
        if (o < 0.0) {
            t = across(t->edge(k), t);
            if (++steps > cap)
                throw std::logic_error("LocateNode failed, the walk does not end");
            k = 0;
            continue;
        }
        ++k;
    }
    lastLocated = t;
    return t->alive ? t : nullptr;
}

namespace {

// The triangle holding p strictly inside, by locateNode's walk from `from`;
// null when the walk meets p on the line of an edge, a broken link, or
// does not end.
CTriangle* strictHolder(const CMesh& m, CTriangle* from, const CVertex* p)
{
    const long long cap = static_cast<long long>(kWalkStepsPerTriangle) * (m.nTriangles + 1) + 16;
    long long steps = 0;
    CTriangle* t = from;
    for (int k = 0; k < 3;) {
        const CVertex* a = t->vertex(k);
        const CVertex* b = t->vertex(k + 1);
        if (!a || !b)
            return nullptr;
        const double o = orientSign(a, b, p);
        if (o == 0.0)
            return nullptr;
        if (o > 0.0) {
            ++k;
            continue;
        }
        const CEdge* e = t->edge(k);
        if (!e || (e->leftTriangle != t && e->rightTriangle != t))
            return nullptr;
        t = e->leftTriangle == t ? e->rightTriangle : e->leftTriangle;
        if (!t || ++steps > cap)
            return nullptr;
        k = 0;
    }
    return t;
}

bool hasCorner(const CTriangle* t, const CVertex* v)
{
    return t->vertex0 == v || t->vertex1 == v || t->vertex2 == v;
}

}  // namespace

CTriangle* CMesh::locateNode(CVertex* p, CTriangle* near)
{
    // Strictly inside t, p is on no edge: the walk from lastLocated ends at
    // t too and sets lastLocated to it, unless it returns early a triangle
    // around prevVertex (then t itself), leaving lastLocated as it was.
    CTriangle* t = near ? strictHolder(*this, near, p) : nullptr;
    if (!t || (prevVertex && hasCorner(t, prevVertex)))
        return locateNode(p);
    lastLocated = t;
    return t->alive ? t : nullptr;
}

void CMesh::insertVertex(CVertex* p)
{
    CTriangle* t = locateNode(p);
    if (!t) {
        CStringA text;
        if (currentTriangle) {
            const CTriangle* c = currentTriangle;
            text.Format("Can't find node at (%g,%g) for triangle: [(%g,%g),(%g,%g),(%g,%g)] at nRemoves=%d",
                        p->x, p->y, c->vertex0->x, c->vertex0->y, c->vertex1->x, c->vertex1->y,
                        c->vertex2->x, c->vertex2->y, nRemoves);
        } else {
            // Before refinement there is no current triangle to name.
            text.Format("Can't find node at (%g,%g) at nRemoves=%d", p->x, p->y, nRemoves);
        }
        throw std::logic_error(text.GetString());
    }
    for (int k = 0; k < 3; ++k) {
        CVertex* a = t->vertex(k);
        CVertex* b = t->vertex(k + 1);
        if (a->id <= 3 || b->id <= 3)
            continue;
        const double small = std::min({angle(a, b, p), angle(b, a, p), angle(a, p, b)});
        // Near the edge and between its ends: split the edge, not the triangle.
        if ((small < 1e-5 || orientSign(a, b, p) == 0.0) && isBetween(a, b, p)) {
            insertNodeOnEdge(p, t->edge(k));
            return;
        }
    }
    CVertex* a0 = t->vertex0;
    CVertex* a1 = t->vertex1;
    CVertex* a2 = t->vertex2;
    CEdge* f0 = t->edge0;
    CEdge* f1 = t->edge1;
    CEdge* f2 = t->edge2;
    CTriangle* tA = newTriangle();
    CTriangle* tB = newTriangle();
    CEdge* g0 = newEdge();
    CEdge* g1 = newEdge();
    CEdge* g2 = newEdge();
    setEdge(*this, g0, a0, p, tB, t);
    setEdge(*this, g1, a1, p, t, tA);
    setEdge(*this, g2, a2, p, tA, tB);
    setTriangle(*this, t, a0, a1, p, f0, g1, g0);
    setTriangle(*this, tA, a1, a2, p, f1, g2, g1);
    setTriangle(*this, tB, a2, a0, p, f2, g0, g2);
    f1->replaceTriangle(t, tA);
    f2->replaceTriangle(t, tB);
    validateEdge(f0);
    validateEdge(f1);
    validateEdge(f2);
    nRemoves += 1;
}

void CMesh::insertNodeOnEdge(CVertex* p, CEdge* e)
{
    const EdgeQuad q(e);
    auto [vA, vB, t1, t2, e1a, e1b, o1, e2a, e2b, o2] = q;
    if (vA->onBoundary && vB->onBoundary)
        p->onBoundary = true;
    CTriangle* T3 = newTriangle();
    CTriangle* T4 = newTriangle();
    CEdge* E3 = newEdge();
    CEdge* E4 = newEdge();
    CEdge* E5 = newEdge();
    const bool alive1 = t1->alive;
    const bool alive2 = t2->alive;
    const bool frozen = e->frozen;
    setEdge(*this, e, vA, p, t1, t2);
    setEdge(*this, E3, o2, p, t2, T3);
    setEdge(*this, E4, vB, p, T3, T4);
    setEdge(*this, E5, o1, p, T4, t1);
    setTriangle(*this, t1, o1, vA, p, e1b, e, E5);
    setTriangle(*this, t2, vA, o2, p, e2a, E3, e);
    setTriangle(*this, T3, o2, vB, p, e2b, E4, E3);
    setTriangle(*this, T4, vB, o1, p, e1a, E5, E4);
    e2b->replaceTriangle(t2, T3);
    e1a->replaceTriangle(t1, T4);
    setAlive(*this, t1, alive1);
    setAlive(*this, T4, alive1);
    setAlive(*this, t2, alive2);
    setAlive(*this, T3, alive2);
    e->frozen = frozen;
    E4->frozen = frozen;
    if (t1->alive) {
        validateEdge(e1a);
        validateEdge(e1b);
    }
    if (t2->alive) {
        validateEdge(e2a);
        validateEdge(e2b);
    }
    nRemoves += 1;
}

bool CMesh::validateEdge(CEdge* first)
{
    // Depth first in the order of the recursive definition (e2a, e2b, e1a,
    // e1b after a flip), on an explicit stack so that long flip chains in
    // large meshes cannot overflow the call stack.
    std::vector<CEdge*> stack;
    const bool flipped = flipIfBetter(first, stack);
    while (!stack.empty()) {
        CEdge* e = stack.back();
        stack.pop_back();
        flipIfBetter(e, stack);
    }
    return flipped;
}

bool CMesh::flipIfBetter(CEdge* e, std::vector<CEdge*>& pending)
{
    if (e->frozen)
        return false;
    if (e->leftTriangle->alive != e->rightTriangle->alive)
        throw std::logic_error("inconsistency between inside and outside");
    const EdgeQuad q(e);
    auto [vA, vB, t1, t2, e1a, e1b, o1, e2a, e2b, o2] = q;
    // The quadrilateral must be convex (zeros pass).
    if (orientSign(o2, o1, vB) > 0.0 || orientSign(o2, o1, vA) < 0.0)
        return false;
    const int before = boundingCount(*this, vA, vB, o1, vB, vA, o2);
    const double oldMin = std::min(t1->minAngle, t2->minAngle);
    const int after = boundingCount(*this, o2, o1, vA, o1, o2, vB);
    double minA;
    double qA;
    double minB;
    double qB;
    computeTriangleStats(o2, o1, vA, minA, qA);
    computeTriangleStats(o1, o2, vB, minB, qB);
    const double newMin = std::min(minA, minB);
    if (after >= before && newMin <= oldMin)
        return false;
    if (o1->onBoundary && o2->onBoundary && vA->onBoundary && minimumAngle(o2, o1, vA) < 1e-6)
        return false;
    if (o1->onBoundary && o2->onBoundary && vB->onBoundary && minimumAngle(o1, o2, vB) < 1e-6)
        return false;
    setTriangle(*this, t1, o2, o1, vA, e, e1b, e2a);
    setTriangle(*this, t2, o1, o2, vB, e, e2b, e1a);
    setEdge(*this, e, o2, o1, t1, t2);
    e2a->replaceTriangle(t2, t1);
    e1a->replaceTriangle(t1, t2);
    pending.push_back(e1b);
    pending.push_back(e1a);
    pending.push_back(e2b);
    pending.push_back(e2a);
    return true;
}

// ---------------------------------------------------------------------------
// Segment recovery

void CMesh::insertMissingSegments()
{
    CMeshIndexScope scope(*this);
    for (;;) {
        bool changed = false;
        for (int i = 0; i < nSegments; ++i) {
            CSegment* s = &segments[i];
            CEdge* e = edgeBetween(*this, s->vertexA, s->vertexB);
            if (e) {
                if (!encroachedEdge(e))
                    continue;
                // A present segment that no free vertex can split stays whole.
                const int before = nNodes;
                splitSegment(s);
                if (nNodes == before)
                    continue;
            } else {
                // A missing segment needs a vertex: without one the outline
                // cannot be meshed.
                CVertex* m = splitVertex(*this, s);
                if (!m)
                    throw std::logic_error("Not enough vertices to make all the segments");
                m->onBoundary = true;
                insertVertex(m);
            }
            if (nRemoves >= maxRemoves)
                return;
            changed = true;
        }
        if (!changed) {
            segmentsComplete = true;
            return;
        }
    }
}

bool CMesh::encroachedEdge(CEdge* e)
{
    if (encroach(e->vertexA, e->vertexB, e->leftTriangle->oppositeVertex(e)))
        return true;
    return encroach(e->vertexA, e->vertexB, e->rightTriangle->oppositeVertex(e));
}

void CMesh::splitSegment(CSegment* s)
{
    CEdge* e = edgeBetween(*this, s->vertexA, s->vertexB);
    if (!e)
        throw std::logic_error("Segment was lost in triangulation");
    CVertex* m = splitVertex(*this, s);
    if (!m)
        return;
    insertNodeOnEdge(m, e);
    if (!m->onBoundary)
        throw std::logic_error("split node not on boundary");
}

void CMesh::ChooseSplitPosition1(CVertex* out, CVertex* a, CVertex* b)
{
    auto isInput = [&](const CVertex* v) { return v - &vertices[0] < nInputNodes; };
    CVertex* V = isInput(b) ? b : a;
    CVertex* W = V == b ? a : b;
    if (!isInput(V)) {
        out->x = (a->x + b->x) * 0.5;
        out->y = (a->y + b->y) * 0.5;
        return;
    }
    const double dx = W->x - V->x;
    const double dy = W->y - V->y;
    const double L = std::sqrt(dx * dx + dy * dy);
    if (L < 1e-10) {
        out->x = (a->x + b->x) * 0.5;
        out->y = (a->y + b->y) * 0.5;
        return;
    }
    // The power of two nearest to half the length, on a logarithmic scale:
    // repeated splits from an input vertex then meet at matching sizes.
    const double k = std::floor(std::log(L / 2.0) * 1.4426950408889634 + 0.5);
    const double t = std::pow(2.0, k);
    out->x = V->x + (t / L) * dx;
    out->y = V->y + (t / L) * dy;
}

// ---------------------------------------------------------------------------
// Outside removal and boundary edges

void CMesh::removeOutsideTriangles()
{
    CMeshIndexScope scope(*this);
    for (int i = 2; i < nTriangles; ++i)
        setAlive(*this, &triangles[i], true);
    for (int i = 0; i < nSegments; ++i) {
        CVertex* a = segments[i].vertexA;
        CVertex* b = segments[i].vertexB;
        CEdge* e = edgeBetween(*this, a, b);
        if (!e)
            throw std::logic_error("edge not found");
        const Point<double> g = e->leftTriangle->centroid();
        const double o = ::orient2d(a->xy(), b->xy(), &g.x);
        if (o == 0.0)
            throw std::logic_error("Malformed triangle");
        CTriangle* right = o > 0.0 ? e->rightTriangle : e->leftTriangle;
        if (right->alive)
            removeHole(right);
        if (nRemoves >= maxRemoves)
            return;
    }
}

void CMesh::removeHole(CTriangle* start)
{
    CMeshIndexScope scope(*this);
    // The recursive flood fill unrolled: each frame is a triangle and the
    // next of its edges to cross, so the visiting order (and where the
    // budget stops it) is that of the recursion.
    struct Frame {
        CTriangle* t;
        int k;
    };
    std::vector<Frame> stack;
    auto enter = [&](CTriangle* t) {
        if (!t->alive)
            return;
        setAlive(*this, t, false);
        nRemoves += 1;
        if (nRemoves >= maxRemoves)
            return;
        stack.push_back({t, 0});
    };
    enter(start);
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.k == 3) {
            stack.pop_back();
            continue;
        }
        CTriangle* t = f.t;
        CEdge* e = t->edge(f.k++);
        if (segmentBetween(*this, e->vertexA, e->vertexB))
            continue;
        if (e->leftTriangle != t && e->rightTriangle != t)
            throw std::logic_error("Edge doesn't have a neighbor");
        enter(e->leftTriangle == t ? e->rightTriangle : e->leftTriangle);
    }
}

void CMesh::freezeEdgesThatAreSegments()
{
    CMeshIndexScope scope(*this);
    for (int i = 0; i < nSegments; ++i) {
        CEdge* e = edgeBetween(*this, segments[i].vertexA, segments[i].vertexB);
        if (e)
            e->frozen = true;
    }
}

void CMesh::assignEdgeSegments()
{
    CMeshIndexScope scope(*this);
    for (int i = 0; i < nSegments; ++i) {
        CEdge* e = edgeBetween(*this, segments[i].vertexA, segments[i].vertexB);
        if (e)
            e->segment = &segments[i];
    }
}
