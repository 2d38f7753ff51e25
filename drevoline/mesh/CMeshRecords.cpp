// The mesh records: vertex, segment, edge and triangle operations and their
// file records. Links are written as ids and read back into `stored`.
#include <stdexcept>

#include "analysis/model/CMetal.h"
#include "analysis/model/CModel.h"
#include "analysis/model/Globals.h"
#include "analysis/predicates/Predicates.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/LoadedMaterial.h"
#include "platform/core/CArchive.h"

IMPLEMENT_SERIAL(CVertex, CObject, 1)
IMPLEMENT_SERIAL(CSegment, CObject, 1)
IMPLEMENT_SERIAL(CEdge, CObject, 1)
IMPLEMENT_SERIAL(CTriangle, CObject, 1)

void CVertex::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << id << x << y << onBoundary;
    } else {
        ar >> id >> x >> y >> onBoundary;
    }
}

void CSegment::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << id << curveName << (vertexA ? vertexA->id : -1) << (vertexB ? vertexB->id : -1);
    } else {
        ar >> id >> curveName >> stored.vertexA >> stored.vertexB;
        vertexA = vertexB = nullptr;
        curve = nullptr;
    }
}

void CEdge::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        // A triangle's id must name a triangle of its mesh's array.
        auto triangleId = [](const CTriangle* t) {
            if (!t)
                return -1;
            const int last = t->mesh ? t->mesh->nTriangles - 1 : -1;
            if (t->id < 0 || !CMesh::storableId(t->id, last))
                throw std::logic_error("triangles for edge have bad ID");
            return t->id;
        };
        const int left = triangleId(leftTriangle);
        const int right = triangleId(rightTriangle);
        ar << id << frozen << (vertexA ? vertexA->id : -1) << (vertexB ? vertexB->id : -1) << left
           << right << (segment ? segment->id : -1);
    } else {
        ar >> id >> frozen >> stored.vertexA >> stored.vertexB >> stored.leftTriangle
            >> stored.rightTriangle >> stored.segment;
        vertexA = vertexB = nullptr;
        leftTriangle = rightTriangle = nullptr;
        segment = nullptr;
    }
}

void CTriangle::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        if (!material)
            throw std::logic_error("material is not defined for element");
        ar << id;
        for (int k = 0; k < 3; ++k) {
            const CEdge* e = edge(k);
            const CVertex* v = vertex(k);
            ar << (e ? e->id : -1) << (v ? v->id : -1);
        }
        ar << alive << material->name;
    } else {
        ar >> id;
        for (int k = 0; k < 3; ++k)
            ar >> stored.edges[k] >> stored.vertices[k];
        CString materialName;
        ar >> alive >> materialName;
        vertex0 = vertex1 = vertex2 = nullptr;
        edge0 = edge1 = edge2 = nullptr;
        material = loadedMaterial(materialName, "Material not found, mesh restore failed.");
    }
}

void CEdge::set(CVertex* a, CVertex* b, CTriangle* left, CTriangle* right)
{
    if (!a || !b || a == b || a->id == b->id)
        throw std::logic_error("Zero length edge created");
    vertexA = a;
    vertexB = b;
    leftTriangle = left;
    rightTriangle = right;
    frozen = false;
    segment = nullptr;
}

void CEdge::replaceTriangle(CTriangle* oldT, CTriangle* newT)
{
    if (leftTriangle == oldT)
        leftTriangle = newT;
    else if (rightTriangle == oldT)
        rightTriangle = newT;
    else
        throw std::logic_error("neighboring triangle does not exist");
}

CVertex* CTriangle::vertex(int k) const
{
    switch (((k % 3) + 3) % 3) {
    case 0: return vertex0;
    case 1: return vertex1;
    default: return vertex2;
    }
}

CEdge* CTriangle::edge(int k) const
{
    switch (((k % 3) + 3) % 3) {
    case 0: return edge0;
    case 1: return edge1;
    default: return edge2;
    }
}

void CTriangle::set(CVertex* v0, CVertex* v1, CVertex* v2, CEdge* e0, CEdge* e1, CEdge* e2)
{
    vertex0 = v0;
    vertex1 = v1;
    vertex2 = v2;
    edge0 = e0;
    edge1 = e1;
    edge2 = e2;
    CMesh::computeTriangleStats(v0, v1, v2, minAngle, quality);
    alive = true;
}

void CTriangle::otherEdges(const CEdge* e, CEdge** next, CEdge** nextNext, CVertex** opposite) const
{
    for (int k = 0; k < 3; ++k) {
        if (edge(k) == e) {
            *next = edge(k + 1);
            *nextNext = edge(k + 2);
            *opposite = vertex(k + 2);
            return;
        }
    }
    throw std::logic_error("triangle does not contain edge");
}

CVertex* CTriangle::oppositeVertex(const CEdge* e) const
{
    for (int k = 0; k < 3; ++k) {
        if (edge(k) == e)
            return vertex(k + 2);
    }
    throw std::logic_error("edge 'e' is not part of triangle 't'");
}

bool CTriangle::contains(const double* p) const
{
    for (int k = 0; k < 3; ++k) {
        if (!(::orient2d(vertex(k)->xy(), vertex(k + 1)->xy(), p) > 0.0))
            return false;
    }
    return true;
}

bool CTriangle::contains(const Point<double>& p) const
{
    return contains(&p.x);
}
