// Welding two meshes of a merged mesh inside a weld box: the boundary edges
// of the two objects in the box, joining or splitting at their vertices,
// pairing coinciding edges into interior edges and closing loose ends with
// new boundary segments; and the consistency checks.
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/predicates/Predicates.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/CWeld.h"
#include "platform/core/CString.h"

namespace {

bool joins(const CEdge* e, const CVertex* a, const CVertex* b)
{
    return (e->vertexA == a && e->vertexB == b) || (e->vertexA == b && e->vertexB == a);
}

bool runsAlong(const CTriangle* t, const CVertex* a, const CVertex* b)
{
    for (int k = 0; k < 3; ++k)
        if (t->vertex(k) == a && t->vertex(k + 1) == b)
            return true;
    return false;
}

// Puts t on the proper side of e: left when t runs vertexA -> vertexB.
void linkSide(CEdge* e, CTriangle* t)
{
    if (runsAlong(t, e->vertexA, e->vertexB))
        e->leftTriangle = t;
    else
        e->rightTriangle = t;
}

// t := the triangle p, q, r turned counter-clockwise, each edge k the one
// of `candidates` joining its vertex k and vertex k+1.
void setCounterClockwise(CTriangle* t, CVertex* p, CVertex* q, CVertex* r, CEdge* const candidates[3])
{
    if (::orient2d(p->xy(), q->xy(), r->xy()) * 0.5 < 0.0)
        std::swap(q, r);
    CVertex* v[3] = {p, q, r};
    CEdge* e[3] = {nullptr, nullptr, nullptr};
    for (int k = 0; k < 3; ++k)
        for (int c = 0; c < 3; ++c)
            if (joins(candidates[c], v[k], v[(k + 1) % 3]))
                e[k] = candidates[c];
    t->set(v[0], v[1], v[2], e[0], e[1], e[2]);
}

// Removes the first occurrence of x from list; true when there was one.
template <class T>
bool removeFirst(std::vector<T*>& list, T* x)
{
    auto it = std::find(list.begin(), list.end(), x);
    if (it == list.end())
        return false;
    list.erase(it);
    return true;
}

// The number of edges of the set ending at v.
int edgesAt(const CEdgeSet& s, const CVertex* v)
{
    int n = 0;
    for (const CEdge* e : s.edges)
        n += (e->vertexA == v || e->vertexB == v) ? 1 : 0;
    return n;
}

// The first edge of the set on which v lies (within its ends, 1e-3 off the line).
CEdge* edgeUnder(const CEdgeSet& s, const CVertex* v)
{
    for (CEdge* e : s.edges) {
        const double ux0 = e->vertexB->x - e->vertexA->x;
        const double uy0 = e->vertexB->y - e->vertexA->y;
        const double L = std::hypot(ux0, uy0);
        const double ux = L >= 1e-12 ? ux0 / L : ux0;
        const double uy = L >= 1e-12 ? uy0 / L : uy0;
        const double dx = v->x - e->vertexA->x;
        const double dy = v->y - e->vertexA->y;
        const double c = ux * dy - uy * dx;
        const double along = ux * dx + uy * dy;
        if (c * c <= 1e-6 && along >= 0.0 && along <= L)
            return e;
    }
    return nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// The weld

void CMesh::weld(CWeld* w)
{
    if (w->applied)
        return;
    CEdgeSet A;
    CEdgeSet B;
    verifyEdges();
    A.weld = w;
    B.weld = w;
    findEdgeSets(w, A, B);
    A.checkTriangles();
    B.checkTriangles();
    weldTo(A, B, -1);
    weldTo(B, A, -1);
    fixEdges(A, B);
    fixEdges(B, A);
    A.checkTriangles();
    B.checkTriangles();
    w->applied = true;
}

namespace {

// Appends e to s (the checks of the weld's edge sets).
void addToSet(CEdgeSet& s, CEdge* e)
{
    const CWeld* w = s.weld;
    for (const CEdge* f : s.edges) {
        if (!(f->segment->curveName == e->segment->curveName))
            throw std::logic_error("Object doesn't match object of other segments in the set.");
        if (f == e || f->id == e->id)
            throw std::logic_error("Attempt to add edge more than once to edge set");
        if (!w->inBox(e->vertexA) && !w->inBox(e->vertexB))
            throw std::logic_error("Edge is not inside of weld");
    }
    s.edges.push_back(e);
    e->vertexA->welded = false;
    e->vertexB->welded = false;
    if (!w->inBox(e->vertexA) && !w->inBox(e->vertexB))
        throw std::logic_error("Bad edge selected, weld failed.");
    for (CVertex* v : {e->vertexA, e->vertexB})
        if (w->inBox(v) && std::find(s.vertices.begin(), s.vertices.end(), v) == s.vertices.end())
            s.vertices.push_back(v);
}

}  // namespace

void CMesh::findEdgeSets(CWeld* w, CEdgeSet& a, CEdgeSet& b)
{
    CString nameA;
    CString nameB;
    for (int i = 0; i < nEdges; ++i) {
        CEdge* e = &edges[i];
        if (!e->segment || !e->leftTriangle || !e->rightTriangle)
            continue;
        if (e->leftTriangle->alive && e->rightTriangle->alive)
            throw std::logic_error("two triangles associated with a segment edge");
        if (!w->inBox(e->vertexA) && !w->inBox(e->vertexB))
            continue;
        CSegment* s = e->segment;
        if (!nameA.IsEmpty() && nameB.IsEmpty()) {
            CCompositeCurve* C = s->curve == w->curve1 ? w->curve2 : w->curve1;
            if (!C)
                throw std::logic_error("Associated composite curve was not found");
            if (!C->on(e->vertexA->point()) || !C->on(e->vertexB->point()))
                continue;
            if (!(s->curveName == nameA)) {
                nameB = b.name = s->curveName;
                b.curve = s->curve;
                addToSet(b, e);
                continue;
            }
        }
        if (nameA.IsEmpty()) {
            nameA = a.name = s->curveName;
            a.curve = s->curve;
            addToSet(a, e);
        } else if (s->curveName == nameA) {
            addToSet(a, e);
        } else if (s->curveName == nameB) {
            addToSet(b, e);
        } else {
            throw std::logic_error("segment isn't associated with one of the two objects");
        }
    }
}

void CMesh::weldTo(CEdgeSet& a, CEdgeSet& b, int limit)
{
    std::vector<CVertex*> joinedA;
    std::vector<CVertex*> joinedB;
    int count = 0;
    for (std::size_t i = 0; i < a.vertices.size(); ++i) {
        CVertex* v = a.vertices[i];
        ++count;
        if (limit > 0 && count >= limit)
            return;
        CEdge* e = edgeUnder(b, v);
        if (!e)
            continue;
        CTriangle* t = e->leftTriangle && e->leftTriangle->alive ? e->leftTriangle : e->rightTriangle;
        if (!t || !t->alive)
            throw std::logic_error("Bad triangle selected.  Weld failed.");
        CVertex* w = mutuallyClosest(a, b, v);
        if (w && !w->welded) {
            joinVertices(v, w);
            joinedA.push_back(v);
            joinedB.push_back(w);
            continue;
        }
        const int ends = edgesAt(a, v);
        if (ends == 0)
            throw std::logic_error("zero length edge");
        e->chainEnd = ends == 1;
        v->welded = true;
        splitTriangle(t, e, v, b);
    }
    for (std::size_t i = 0; i < joinedA.size(); ++i) {
        removeFirst(a.vertices, joinedA[i]);
        removeFirst(b.vertices, joinedB[i]);
    }
}

void CMesh::joinVertices(CVertex* v, CVertex* w)
{
    auto using_ = vertexTriangles(w);
    if (using_->empty())
        throw std::logic_error("vertex has no using triangles.");
    for (CTriangle* t : *using_) {
        CEdge* es[3] = {t->edge0, t->edge1, t->edge2};
        for (CEdge* e : es)
            if (joins(e, v, w))
                throw std::logic_error("Zero length edge being created");
        CVertex** vs[3] = {&t->vertex0, &t->vertex1, &t->vertex2};
        for (CVertex** p : vs)
            if (*p == w)
                *p = v;
        for (CEdge* e : es) {
            if (e->vertexA == w)
                e->vertexA = v;
            if (e->vertexB == w)
                e->vertexB = v;
            if (e->vertexA == e->vertexB)
                throw std::logic_error("Zero length edge created");
        }
    }
    replaceVertexInSegments(w, v);
    v->x = (v->x + w->x) * 0.5;
    v->y = (v->y + w->y) * 0.5;
}

void CMesh::splitTriangle(CTriangle* t, CEdge* e, CVertex* v, CEdgeSet& s)
{
    if (!t->alive)
        throw std::logic_error("attempting to split an exterior triangle");
    CVertex* a = e->vertexA;
    CVertex* b = e->vertexB;
    CVertex* c = nullptr;
    for (int k = 0; k < 3; ++k)
        if (t->vertex(k) != a && t->vertex(k) != b)
            c = t->vertex(k);
    if (!c)
        throw std::logic_error("Can't find apex of triangle in split.");
    CEdge* ea = nullptr;
    CEdge* eb = nullptr;
    for (int k = 0; k < 3; ++k) {
        if (joins(t->edge(k), c, a))
            ea = t->edge(k);
        if (joins(t->edge(k), c, b))
            eb = t->edge(k);
    }
    if (v == c || v == b || v->id == c->id || v->id == b->id)
        throw std::logic_error("Zero length edge created");
    CTriangle* n = newTriangle();
    CEdge* vc = newEdge();
    CEdge* vb = newEdge();
    n->welded = true;
    t->welded = true;
    // e keeps its triangle on the far side; its near end moves from b to v.
    e->vertexA = a;
    e->vertexB = v;
    e->segment = nullptr;
    vc->set(v, c, nullptr, nullptr);
    vb->set(v, b, nullptr, nullptr);
    CEdge* tEdges[3] = {e, vc, ea};
    setCounterClockwise(t, a, v, c, tEdges);
    CEdge* nEdges[3] = {eb, vc, vb};
    setCounterClockwise(n, v, b, c, nEdges);
    n->material = t->material;
    if (e->leftTriangle != t && e->rightTriangle != t)
        throw std::logic_error("neighboring triangle does not exist");
    // e's side of t may have changed with the new corner order.
    CTriangle* far = e->leftTriangle == t ? e->rightTriangle : e->leftTriangle;
    e->leftTriangle = e->rightTriangle = nullptr;
    linkSide(e, t);
    if (far) {
        if (e->leftTriangle == t)
            e->rightTriangle = far;
        else
            e->leftTriangle = far;
    }
    linkSide(vc, t);
    linkSide(vc, n);
    linkSide(vb, n);
    eb->replaceTriangle(t, n);
    s.newEdges.push_back(vb);
    // The new boundary piece belongs to the set's edges too, so that later
    // vertices find it and the pairing sees it.
    s.edges.push_back(vb);
    s.newTriangles.push_back(n);
}

void CMesh::fixEdges(CEdgeSet& a, CEdgeSet& b)
{
    while (!a.edges.empty()) {
        CEdge* e = a.edges.back();
        a.edges.pop_back();
        CEdge* m = nullptr;
        for (CEdge* f : b.edges)
            if (joins(f, e->vertexA, e->vertexB)) {
                m = f;
                break;
            }
        if (m == e)
            throw std::logic_error("Edge placed in two different edge sets");
        if (!m) {
            if (e->segment)
                continue;
            const bool oneEndIn = a.weld->inBox(e->vertexA) != a.weld->inBox(e->vertexB);
            if (!oneEndIn && !e->chainEnd) {
                CStringA text;
                text.Format("Interior edge has no match. (%g,%g) to (%g,%g)", e->vertexA->x,
                            e->vertexA->y, e->vertexB->x, e->vertexB->y);
                throw std::logic_error(text.GetString());
            }
            CSegment* s = newSegment();
            s->id = static_cast<int>(s - &segments[0]);
            s->curveName = a.name;
            s->curve = a.curve;
            s->vertexA = e->vertexA;
            s->vertexB = e->vertexB;
            e->segment = s;
            continue;
        }
        CTriangle* live = e->leftTriangle && e->leftTriangle->alive ? e->leftTriangle : e->rightTriangle;
        if (!m->leftTriangle || !m->leftTriangle->alive)
            m->leftTriangle = live;
        else
            m->rightTriangle = live;
        const bool none = !m->leftTriangle && !m->rightTriangle;
        const bool twoDead = m->leftTriangle && m->rightTriangle && !m->leftTriangle->alive &&
                             !m->rightTriangle->alive;
        const bool twoLive = m->leftTriangle && m->rightTriangle && m->leftTriangle->alive &&
                             m->rightTriangle->alive;
        if (!none && !twoDead && !m->segment && !twoLive)
            throw std::logic_error("edge triangles not properly assigned");
        replaceEdgesOfVertex(e->vertexA, e, m);
        replaceEdgesOfVertex(e->vertexB, e, m);
        e->leftTriangle = nullptr;
        e->rightTriangle = nullptr;
        e->segment = nullptr;
        m->segment = nullptr;
        if (!m->leftTriangle || !m->rightTriangle)
            throw std::logic_error("interior edge does not have two associated triangles.");
        for (std::vector<CEdge*>* list : {&b.newEdges, &b.edges}) {
            removeFirst(*list, m);
            if (std::find(list->begin(), list->end(), m) != list->end())
                throw std::logic_error("multiple copies of edge on newEdge list");
        }
    }
}

// ---------------------------------------------------------------------------
// Checks and helpers

bool CMesh::verifyEdges()
{
    for (int i = 0; i < nEdges; ++i) {
        const CEdge& e = edges[i];
        if (!e.leftTriangle || !e.rightTriangle)
            continue;
        const bool l = e.leftTriangle->alive;
        const bool r = e.rightTriangle->alive;
        if (l && r)
            continue;
        if (l != r && !e.segment)
            throw std::logic_error("Interior edge lacks two interior triangles");
        for (const CTriangle* t : {e.leftTriangle, e.rightTriangle}) {
            if (t->id < 0 || !storableId(t->id, nTriangles - 1))
                throw std::logic_error("bad triangle associations to edge");
        }
    }
    return true;
}

void CMesh::verifySegments() {}

bool CMesh::verifyTriangles()
{
    return true;
}

bool CMesh::isWeldedSegment(CSegment* s)
{
    // A weld leaves the paired edge of the other side in the array without
    // triangles: the segment's edge is the first one that still has any.
    for (int i = 0; i < nEdges; ++i) {
        const CEdge& e = edges[i];
        if (!joins(&e, s->vertexA, s->vertexB) || (!e.leftTriangle && !e.rightTriangle))
            continue;
        return e.leftTriangle && e.rightTriangle && e.leftTriangle->alive &&
               e.rightTriangle->alive;
    }
    return false;
}

void CMesh::replaceEdgesOfVertex(CVertex* v, CEdge* oldEdge, CEdge* newEdge)
{
    auto around = vertexTriangles(v);
    for (CTriangle* t : *around)
        for (CEdge** slot : {&t->edge0, &t->edge1, &t->edge2})
            if (*slot == oldEdge)
                *slot = newEdge;
}

void CMesh::replaceVertexInSegments(CVertex* oldVertex, CVertex* newVertex)
{
    for (int i = 0; i < nSegments; ++i) {
        if (segments[i].vertexA == oldVertex)
            segments[i].vertexA = newVertex;
        if (segments[i].vertexB == oldVertex)
            segments[i].vertexB = newVertex;
    }
}
