// Laplacian smoothing of the mesh vertices, the rigid transforms of the
// finite-element nodes, renaming and material assignment.
#include <vector>

#include "analysis/predicates/Predicates.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CMesh.h"

namespace {

// A vertex keeps at most this many neighbours for its mean position.
constexpr std::size_t kMaxNeighbours = 1000;

// Moves v to the mean of its neighbours unless that would turn one of the
// live triangles around it clockwise or flat (Laplacian smoothing can fold
// triangles at re-entrant corners and around holes).
void moveToMean(CVertex* v, const std::vector<CVertex*>& neighbours,
                const std::vector<CTriangle*>& around)
{
    if (neighbours.empty())
        return;
    double sx = 0.0;
    double sy = 0.0;
    for (const CVertex* n : neighbours) {
        sx += n->x;
        sy += n->y;
    }
    const double oldX = v->x;
    const double oldY = v->y;
    v->x = sx / static_cast<double>(neighbours.size());
    v->y = sy / static_cast<double>(neighbours.size());
    for (const CTriangle* t : around) {
        if (::orient2d(t->vertex0->xy(), t->vertex1->xy(), t->vertex2->xy()) <= 0.0) {
            v->x = oldX;
            v->y = oldY;
            return;
        }
    }
}

// The other end of every edge at v in edge-array order (at most kMaxNeighbours).
void addNeighbour(std::vector<CVertex*>& list, CVertex* other)
{
    if (list.size() < kMaxNeighbours)
        list.push_back(other);
}

}  // namespace

void CMesh::smooth()
{
    maxNodes = ultNodes;
    maxTriangles = ultTriangles;
    maxSegments = ultSegments;
    maxEdges = ultEdges;
    for (int i = 0; i < nTriangles; ++i) {
        CTriangle& t = triangles[i];
        t.vertex0->inside = t.vertex1->inside = t.vertex2->inside = t.alive;
    }
    for (int i = 0; i < nNodes; ++i)
        vertices[i].onBoundary = false;
    for (int i = 0; i < nSegments; ++i) {
        segments[i].vertexA->onBoundary = segments[i].vertexA->inside = true;
        segments[i].vertexB->onBoundary = segments[i].vertexB->inside = true;
    }
    for (int k = 0; k < 3 && k < nNodes; ++k) {
        vertices[k].inside = false;
        vertices[k].onBoundary = false;
    }
    // Neighbours and live triangles of every vertex, gathered once: the
    // sweep moves vertices but never changes which vertices are joined.
    std::vector<std::vector<CVertex*>> neighbours(static_cast<std::size_t>(nNodes));
    std::vector<std::vector<CTriangle*>> around(static_cast<std::size_t>(nNodes));
    auto index = [&](const CVertex* v) { return static_cast<std::size_t>(v - &vertices[0]); };
    for (int i = 0; i < nEdges; ++i) {
        CEdge& e = edges[i];
        if (!e.vertexA || !e.vertexB)
            continue;
        addNeighbour(neighbours[index(e.vertexA)], e.vertexB);
        addNeighbour(neighbours[index(e.vertexB)], e.vertexA);
    }
    for (int i = 0; i < nTriangles; ++i) {
        CTriangle* t = &triangles[i];
        if (!t->alive)
            continue;
        for (int k = 0; k < 3; ++k)
            around[index(t->vertex(k))].push_back(t);
    }
    for (int i = 0; i < nNodes; ++i) {
        CVertex* v = &vertices[i];
        if (v->inside && !v->onBoundary)
            moveToMean(v, neighbours[i], around[i]);
    }
}

void CMesh::smooth(CVertex* v)
{
    if (!v->inside)
        return;
    std::vector<CVertex*> list;
    for (int i = 0; i < nEdges; ++i) {
        CEdge& e = edges[i];
        if (e.vertexA == v && e.vertexB)
            addNeighbour(list, e.vertexB);
        else if (e.vertexB == v && e.vertexA)
            addNeighbour(list, e.vertexA);
    }
    std::vector<CTriangle*> around;
    for (int i = 0; i < nTriangles; ++i) {
        CTriangle* t = &triangles[i];
        if (t->alive && (t->vertex0 == v || t->vertex1 == v || t->vertex2 == v))
            around.push_back(t);
    }
    moveToMean(v, list, around);
}

// Runs the transform on every node while the mesh vertices stay where they
// are (a node's own transforms move its vertex with it).
template <class Transform>
void transformNodesOnly(std::vector<std::shared_ptr<CFENodeAnalysis>>& nodes, Transform move)
{
    for (const auto& n : nodes) {
        CVertex* v = n->vertex;
        const double x = v ? v->x : 0.0;
        const double y = v ? v->y : 0.0;
        move(*n);
        if (v) {
            v->x = x;
            v->y = y;
        }
    }
}

void CMesh::mirror(Point<double>& a, Point<double>& b)
{
    // The reflection in the line a-b: the plane through a whose normal is
    // perpendicular to the line in the x-y plane.
    transformNodesOnly(nodes, [&](CFENodeAnalysis& n) {
        Point<double> normal(-(b.y - a.y), b.x - a.x, 0.0);
        n.mirror(a, normal);
    });
}

void CMesh::rotate(double x, double y, double angle)
{
    transformNodesOnly(nodes, [&](CFENodeAnalysis& n) { n.rotate(x, y, angle); });
}

void CMesh::translate(double dx, double dy)
{
    transformNodesOnly(nodes, [&](CFENodeAnalysis& n) { n.translate(dx, dy); });
}

void CMesh::updateName(CString newName)
{
    name = newName;
    for (int i = 0; i < nSegments; ++i)
        segments[i].curveName = newName;
}

void CMesh::setMaterial(std::shared_ptr<CMetal> m)
{
    for (int i = 0; i < nTriangles; ++i)
        triangles[i].material = m.get();
}
