// CMesh: storage, record hand-out and lookups.
#include "drevoline/mesh/CMesh.h"

#include <cmath>
#include <stdexcept>

#include "analysis/model/CMetal.h"
#include "analysis/model/Utilities.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFEQuad4.h"
#include "drevoline/mesh/CFETrng3.h"

#include "drevoline/mesh/CMeshIdIndex.h"

IMPLEMENT_SERIAL(CMesh, CObject, 1)

CMesh::CMesh() : id(uniqueID()) {}

CMesh::~CMesh()
{
    clearFEM();
}

void CMesh::alloc(int n, int extra)
{
    if (n < 0 || extra < 0)
        throw std::logic_error("Invalid mesh size");
    maxNodes = n + 3;
    maxEdges = 3 * maxNodes - 6;
    maxTriangles = 2 * maxNodes - 4;
    maxSegments = 3 * (maxNodes - 2);
    holePoints = std::make_unique<CVertex[]>(kMaxHoles);

    // Each control asks for about its circle's area over the area of a
    // right triangle with legs of the wanted size.
    // Summed in double and checked before the conversion: a tiny size or a
    // huge or NaN radius must be refused, not wrap around as an integer.
    double controlAllowance = 0.0;
    for (const LocalSizeControl& c : sizeControls) {
        if (c.size > 0.0)
            controlAllowance += std::trunc(c.radius * c.radius * M_PI / (c.size * c.size * 0.5));
    }
    // The largest array (edges and segments, three per node) must stay
    // within what a file may state, so that a mesh made here loads again.
    const double ult = 2.0 * maxNodes + 3.0 * extra + controlAllowance;
    if (!(3.0 * ult <= kMaxRecords))
        throw std::logic_error("Invalid mesh size");
    ultNodes = static_cast<int>(ult);
    ultEdges = ultSegments = 3 * (ultNodes - 2);
    ultTriangles = 2 * ultNodes - 4;

    vertices = std::make_unique<CVertex[]>(ultNodes);
    edges = std::make_unique<CEdge[]>(ultEdges);
    triangles = std::make_unique<CTriangle[]>(ultTriangles);
    segments = std::make_unique<CSegment[]>(ultSegments);
    capacity = {ultNodes, ultEdges, ultSegments, ultTriangles};
    lastLocated = nullptr;
    currentTriangle = nullptr;
    prevVertex = nullptr;
}

void CMesh::dealloc()
{
    // The counts and limits of the freed arrays go to 0 with them, so that no
    // later hand-out or lookup reaches freed records.
    vertices.reset();
    segments.reset();
    triangles.reset();
    sizeControls.clear();
    nNodes = maxNodes = ultNodes = 0;
    nSegments = maxSegments = ultSegments = 0;
    nTriangles = maxTriangles = ultTriangles = 0;
    capacity.nodes = capacity.segments = capacity.triangles = 0;
    lastLocated = currentTriangle = nullptr;
    prevVertex = nullptr;
}

void CMesh::clear()
{
    nHoles = nTriangles = nSegments = nEdges = nNodes = 0;
    lastLocated = currentTriangle = nullptr;
    prevVertex = nullptr;
    clearFEM();
}

void CMesh::clearFEM()
{
    trng3Elements.clear();
    quad4Elements.clear();
    nodes.clear();
}

void CMesh::clobber()
{
    clear();
}

CVertex* CMesh::newNode()
{
    if (nNodes >= maxNodes || nNodes >= ultNodes)
        return nullptr;
    return newUltNode();
}

CVertex* CMesh::newUltNode()
{
    if (nNodes >= ultNodes || nNodes >= capacity.nodes)
        return nullptr;
    CVertex* v = &vertices[nNodes];
    *v = CVertex();
    v->id = nNodes + 1;
    ++nNodes;
    return v;
}

CEdge* CMesh::newEdge()
{
    if (nEdges >= maxEdges || nEdges >= ultEdges || nEdges >= capacity.edges)
        throw std::logic_error("exceeded the max bound for edges");
    CEdge* e = &edges[nEdges];
    *e = CEdge();
    e->id = nEdges++;
    return e;
}

CSegment* CMesh::newSegment()
{
    if (nSegments >= maxSegments || nSegments >= ultSegments || nSegments >= capacity.segments)
        throw std::logic_error("exceed maximum number of segments");
    CSegment* s = &segments[nSegments++];
    *s = CSegment();
    return s;
}

CTriangle* CMesh::newTriangle()
{
    if (nTriangles >= maxTriangles || nTriangles >= ultTriangles || nTriangles >= capacity.triangles)
        throw std::logic_error("exceeded max bound of triangles");
    CTriangle* t = &triangles[nTriangles];
    *t = CTriangle();
    t->id = nTriangles++;
    t->mesh = this;
    return t;
}

void CMesh::addLocalSizeControl(double x, double y, double radius, double size)
{
    sizeControls.push_back(LocalSizeControl{x, y, radius, size});
}

CVertex* CMesh::findVertex(int vid)
{
    if (vid < 0 || vid > nNodes)
        throw std::logic_error("Invalid vertex index");
    if (idIndex) {
        if (const int* i = idIndex->vertex(vid))
            return &vertices[*i];
        throw std::logic_error("triangle node found");
    }
    for (int i = 0; i < nNodes; ++i) {
        if (vertices[i].id == vid)
            return &vertices[i];
    }
    throw std::logic_error("triangle node found");
}

CEdge* CMesh::findEdge(int index)
{
    if (index < 0 || index >= nEdges)
        throw std::logic_error("Invalid edge index");
    return &edges[index];
}

CEdge* CMesh::findEdge(const CVertex* a, const CVertex* b)
{
    for (int i = 0; i < nEdges; ++i) {
        const CEdge& e = edges[i];
        if ((e.vertexA == a && e.vertexB == b) || (e.vertexA == b && e.vertexB == a))
            return &edges[i];
    }
    return nullptr;
}

CSegment* CMesh::findSegment(const CVertex* a, const CVertex* b)
{
    for (int i = 0; i < nSegments; ++i) {
        const CSegment& s = segments[i];
        if ((s.vertexA == a && s.vertexB == b) || (s.vertexA == b && s.vertexB == a))
            return &segments[i];
    }
    return nullptr;
}

CTriangle* CMesh::findTriangle(int tid)
{
    // Triangle ids start at 0, so only a negative id means "no triangle".
    if (tid < 0)
        return nullptr;
    if (tid > nTriangles)
        throw std::logic_error("Invalid triangle index.");
    if (idIndex) {
        if (const int* i = idIndex->triangle(tid))
            return &triangles[*i];
        throw std::logic_error("triangle with id not found");
    }
    for (int i = 0; i < nTriangles; ++i) {
        if (triangles[i].id == tid)
            return &triangles[i];
    }
    throw std::logic_error("triangle with id not found");
}

CFENodeAnalysis* CMesh::findNode(int nid)
{
    for (const auto& n : nodes) {
        if (n->id() == nid)
            return n.get();
    }
    return nullptr;
}

CVertex* CMesh::closestVertex(double x, double y)
{
    CVertex* best = nullptr;
    double bestD2 = 0.0;
    for (int i = 0; i < nNodes; ++i) {
        const double dx = vertices[i].x - x;
        const double dy = vertices[i].y - y;
        const double d2 = dx * dx + dy * dy;
        if (!best || d2 < bestD2) {
            best = &vertices[i];
            bestD2 = d2;
        }
    }
    return best;
}

CVertex* CMesh::closestNode(double x, double y)
{
    return closestVertex(x, y);
}

namespace {

// Index of the first segment on curve, or -1.
int firstOnCurve(const CSegment* segments, int n, const CCompositeCurve* curve)
{
    for (int i = 0; i < n; ++i) {
        if (segments[i].curve == curve)
            return i;
    }
    return -1;
}

// Index of the last segment of the first run on curve; the last segment of
// the array when no segment is on it (-1 for none at all).
int lastOfFirstRun(const CSegment* segments, int n, const CCompositeCurve* curve)
{
    int i = firstOnCurve(segments, n, curve);
    if (i < 0)
        return n - 1;
    while (i + 1 < n && segments[i + 1].curve == curve)
        ++i;
    return i;
}

}  // namespace

CVertex* CMesh::firstSegmentVertex(const CCompositeCurve* curve)
{
    const int i = firstOnCurve(segments.get(), nSegments, curve);
    return i < 0 ? nullptr : segments[i].vertexA;
}

CVertex* CMesh::nextFirstVertex(const CCompositeCurve* curve)
{
    const int i = firstOnCurve(segments.get(), nSegments, curve);
    return i < 0 ? nullptr : segments[i].vertexB;
}

CVertex* CMesh::lastSegmentVertex(const CCompositeCurve* curve)
{
    const int i = lastOfFirstRun(segments.get(), nSegments, curve);
    return i < 0 ? nullptr : segments[i].vertexB;
}

CVertex* CMesh::nextLastVertex(const CCompositeCurve* curve)
{
    const int i = lastOfFirstRun(segments.get(), nSegments, curve);
    return i < 0 ? nullptr : segments[i].vertexA;
}

std::unique_ptr<std::vector<CTriangle*>> CMesh::vertexTriangles(const CVertex* v)
{
    auto list = std::make_unique<std::vector<CTriangle*>>();
    for (int i = 0; i < nTriangles; ++i) {
        CTriangle& t = triangles[i];
        if (!t.alive)
            continue;
        for (int k = 0; k < 3; ++k) {
            const CEdge* e = t.edge(k);
            if (e && (e->vertexA == v || e->vertexB == v)) {
                list->push_back(&t);
                break;
            }
        }
    }
    return list;
}

bool CMesh::triangleExists(int tid) const
{
    for (int i = 0; i < nTriangles; ++i) {
        if (triangles[i].id == tid)
            return true;
    }
    return false;
}

bool CMesh::triangleIDCheck() const
{
    for (int i = 0; i < nTriangles; ++i) {
        if (triangles[i].id < 0 || triangles[i].id > nTriangles)
            return false;
    }
    return true;
}

bool CMesh::triangleInsideExists() const
{
    for (int i = 0; i < nTriangles; ++i) {
        if (triangles[i].alive)
            return true;
    }
    return false;
}

namespace {

template <class Record>
int largestId(const Record* records, int n)
{
    int largest = -1;
    for (int i = 0; i < n; ++i)
        largest = std::max(largest, records[i].id);
    return largest;
}

}  // namespace

int CMesh::maxVertexId() const { return largestId(vertices.get(), nNodes); }
int CMesh::maxEdgeId() const { return largestId(edges.get(), nEdges); }
int CMesh::maxSegmentId() const { return largestId(segments.get(), nSegments); }
int CMesh::maxTriangleId() const { return largestId(triangles.get(), nTriangles); }

CTriangle* CMesh::worstTriangle()
{
    CTriangle* worst = nullptr;
    double lowest = 1e30;
    for (int i = 0; i < nTriangles; ++i) {
        if (triangles[i].alive && triangles[i].quality < lowest) {
            lowest = triangles[i].quality;
            worst = &triangles[i];
        }
    }
    return worst;
}

CTriangle* CMesh::findMinAngle()
{
    CTriangle* found = nullptr;
    double lowest = 1e12;
    for (int i = 3; i < nTriangles; ++i) {
        if (triangles[i].alive && triangles[i].minAngle < lowest) {
            lowest = triangles[i].minAngle;
            found = &triangles[i];
        }
    }
    return found;
}

void CMesh::updateStats()
{
    for (int i = 0; i < nTriangles; ++i) {
        CTriangle& t = triangles[i];
        if (t.vertex0 && t.vertex1 && t.vertex2)
            computeTriangleStats(t.vertex0, t.vertex1, t.vertex2, t.minAngle, t.quality);
    }
}

void CMesh::markInsideNodes()
{
    for (int i = 0; i < nNodes; ++i)
        vertices[i].inside = false;
    for (int i = 0; i < nTriangles; ++i) {
        const CTriangle& t = triangles[i];
        if (!t.alive)
            continue;
        for (int k = 0; k < 3; ++k) {
            if (CVertex* v = t.vertex(k))
                v->inside = true;
        }
    }
}

void CMesh::basicClassifyInsideOutside()
{
    for (int i = 0; i < nTriangles; ++i) {
        CTriangle& t = triangles[i];
        t.alive = !containsBoundingNodes(t.vertex0, t.vertex1, t.vertex2);
    }
}

void CMesh::extents(Point<double>& min, Point<double>& max)
{
    min = Point<double>(1e10, 1e10, 0.0);
    max = Point<double>(-1e10, -1e10, 0.0);
    for (const auto& n : nodes) {
        min.x = std::min(min.x, n->position.x);
        min.y = std::min(min.y, n->position.y);
        max.x = std::max(max.x, n->position.x);
        max.y = std::max(max.y, n->position.y);
    }
}

namespace {

// The candidate lies on an edge of `along` that starts at v: no farther than
// the edge's other end and in its direction. The scan stops at the first
// edge from v that the candidate overshoots.
bool onEdgeFrom(const CEdgeSet& along, const CVertex* v, const CVertex* candidate)
{
    const double cx = candidate->x - v->x;
    const double cy = candidate->y - v->y;
    const double c2 = cx * cx + cy * cy;
    for (const CEdge* e : along.edges) {
        const CVertex* other = e->vertexA == v ? e->vertexB : (e->vertexB == v ? e->vertexA : nullptr);
        if (!other)
            continue;
        const double ox = other->x - v->x;
        const double oy = other->y - v->y;
        if (c2 > ox * ox + oy * oy)
            return false;
        if (std::fabs(cx * oy - cy * ox) < 1e-6)
            return true;
    }
    return false;
}

// The vertex of `from` nearest to v among those on an edge of `along` from v.
CVertex* closestAlong(const CEdgeSet& from, const CEdgeSet& along, const CVertex* v)
{
    CVertex* best = nullptr;
    double bestD2 = 1e20;
    for (CVertex* s : from.vertices) {
        const double d2 = CMesh::distanceSquared(s, v);
        if (d2 < bestD2 && onEdgeFrom(along, v, s)) {
            best = s;
            bestD2 = d2;
            if (bestD2 < 1e-20)
                break;
        }
    }
    return best;
}

}  // namespace

CVertex* CMesh::mutuallyClosest(CEdgeSet& a, CEdgeSet& b, CVertex* v)
{
    CVertex* w = closestAlong(b, a, v);
    if (!w)
        return nullptr;
    return closestAlong(a, b, w) == v ? w : nullptr;
}

void CEdgeSet::checkTriangles() const
{
    for (const CEdge* e : edges) {
        if (!e->leftTriangle && !e->rightTriangle)
            throw std::logic_error("null triangles on edge");
    }
}
