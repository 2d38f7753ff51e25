// Merging two meshes into one: renumbering, copying the records as ids,
// resolving the links and rebuilding the element model.
#include <memory>
#include <stdexcept>

#include "drevoline/mesh/CMesh.h"

namespace {

// Ids := array indices for the vertices, edges and segments in use.
void numberByIndex(CMesh& m)
{
    for (int i = 0; i < m.nNodes; ++i)
        m.vertices[i].id = i;
    for (int i = 0; i < m.nEdges; ++i)
        m.edges[i].id = i;
    for (int i = 0; i < m.nSegments; ++i)
        m.segments[i].id = i;
}

// Copies the records of `from` into this mesh's arrays from the given
// offsets on, as ids for resolveReferences.
void copyRecords(CMesh& to, const CMesh& from, int vertexAt, int edgeAt, int triangleAt, int segmentAt)
{
    auto vertexId = [&](const CVertex* v) { return v ? v->id : -1; };
    auto triangleId = [&](const CTriangle* t) { return t ? t->id : -1; };
    for (int i = 0; i < from.nNodes; ++i) {
        const CVertex& s = from.vertices[i];
        CVertex& d = to.vertices[vertexAt + i];
        d.id = s.id;
        d.x = s.x;
        d.y = s.y;
    }
    for (int i = 0; i < from.nEdges; ++i) {
        const CEdge& s = from.edges[i];
        CEdge& d = to.edges[edgeAt + i];
        d.id = s.id;
        d.stored.vertexA = vertexId(s.vertexA);
        d.stored.vertexB = vertexId(s.vertexB);
        d.stored.leftTriangle = triangleId(s.leftTriangle);
        d.stored.rightTriangle = triangleId(s.rightTriangle);
        d.stored.segment = s.segment ? s.segment->id : -1;
    }
    for (int i = 0; i < from.nSegments; ++i) {
        const CSegment& s = from.segments[i];
        CSegment& d = to.segments[segmentAt + i];
        d.id = s.id;
        d.curveName = s.curveName;
        d.curve = s.curve;
        d.stored.vertexA = vertexId(s.vertexA);
        d.stored.vertexB = vertexId(s.vertexB);
    }
    for (int i = 0; i < from.nTriangles; ++i) {
        const CTriangle& s = from.triangles[i];
        CTriangle& d = to.triangles[triangleAt + i];
        d.mesh = &to;
        d.id = s.id;
        d.minAngle = s.minAngle;
        d.quality = s.quality;
        d.alive = s.alive;
        d.material = s.material;
        d.welded = s.welded;
        const CEdge* edgesOf[3] = {s.edge0, s.edge1, s.edge2};
        const CVertex* verticesOf[3] = {s.vertex0, s.vertex1, s.vertex2};
        for (int k = 0; k < 3; ++k) {
            d.stored.edges[k] = edgesOf[k] ? edgesOf[k]->id : -1;
            d.stored.vertices[k] = vertexId(verticesOf[k]);
        }
    }
}

}  // namespace

void CMesh::renumberVertices(int d)
{
    for (int i = 0; i < nNodes; ++i)
        vertices[i].id += d;
}

void CMesh::renumberEdges(int d)
{
    for (int i = 0; i < nEdges; ++i)
        edges[i].id += d;
}

void CMesh::renumberTriangles(int d)
{
    for (int i = 0; i < nTriangles; ++i)
        triangles[i].id += d;
}

void CMesh::renumberSegments(int d)
{
    for (int i = 0; i < nSegments; ++i)
        segments[i].id += d;
}

void CMesh::merge(std::unique_ptr<CMesh> a, std::unique_ptr<CMesh> b, int extraEdges,
                  int extraTriangles, int extraSegments)
{
    numberByIndex(*a);
    numberByIndex(*b);
    if (a->elementType != b->elementType)
        throw std::logic_error("element types do not match");
    b->renumberVertices(a->maxVertexId() + 1);
    b->renumberEdges(a->maxEdgeId() + 1);
    b->renumberTriangles(a->maxTriangleId() + 1);
    b->renumberSegments(a->maxSegmentId() + 1);

    elementType = a->elementType;
    nNodes = a->nNodes + b->nNodes;
    nEdges = a->nEdges + b->nEdges;
    nTriangles = a->nTriangles + b->nTriangles;
    nSegments = a->nSegments + b->nSegments;
    maxNodes = ultNodes = nNodes;
    maxEdges = ultEdges = nEdges + extraEdges;
    maxTriangles = ultTriangles = nTriangles + extraTriangles;
    maxSegments = ultSegments = nSegments + extraSegments;
    vertices = std::make_unique<CVertex[]>(static_cast<std::size_t>(ultNodes));
    edges = std::make_unique<CEdge[]>(static_cast<std::size_t>(ultEdges));
    triangles = std::make_unique<CTriangle[]>(static_cast<std::size_t>(ultTriangles));
    segments = std::make_unique<CSegment[]>(static_cast<std::size_t>(ultSegments));
    capacity = {ultNodes, ultEdges, ultSegments, ultTriangles};
    if (!holePoints)
        holePoints = std::make_unique<CVertex[]>(kMaxHoles);
    lastLocated = nullptr;
    currentTriangle = nullptr;
    prevVertex = nullptr;
    incomplete = false;

    name = a->name + CString(L"+") + b->name;
    model = a->model;
    copyRecords(*this, *a, 0, 0, 0, 0);
    copyRecords(*this, *b, a->nNodes, a->nEdges, a->nTriangles, a->nSegments);
    resolveReferences();
    create2DFEM(1.0);
}

