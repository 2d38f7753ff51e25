// The finite-element model of a mesh: one node per vertex in use, and one
// triangle element or three quadrilaterals per live triangle.
#include <memory>
#include <unordered_map>

#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFEQuad4.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CMesh.h"

namespace {

using NodePtr = std::shared_ptr<CFENodeAnalysis>;

// The node list's first node of each number, as FEMfindNode finds it.
class NodeLookup {
public:
    explicit NodeLookup(const std::vector<NodePtr>& nodes)
    {
        m_first.reserve(nodes.size());
        for (const NodePtr& n : nodes)
            m_first.try_emplace(n->id(), n);
    }
    NodePtr operator()(int id) const
    {
        auto it = m_first.find(id);
        return it == m_first.end() ? NodePtr() : it->second;
    }

private:
    std::unordered_map<int, NodePtr> m_first;
};

CPoint2d at(const CVertex* v)
{
    return CPoint2d(v->x, v->y);
}

// The four nodes and three quadrilaterals of triangle t with corner nodes
// n1, n2, n3 (see CMesh::makeQuad4s).
void addQuad4s(CMesh& m, const CTriangle* t, const CMetal* material, int n, int e, NodePtr n1,
               NodePtr n2, NodePtr n3)
{
    const CPoint2d p1 = at(t->vertex0);
    const CPoint2d p2 = at(t->vertex1);
    const CPoint2d p3 = at(t->vertex2);
    CPoint2d c = (p1 + p2 + p3) * (1.0 / 3.0);
    CPoint2d m12 = (p1 + p2) * 0.5;
    CPoint2d m23 = (p2 + p3) * 0.5;
    CPoint2d m31 = (p3 + p1) * 0.5;
    NodePtr C = m.makeNode(c, n);
    NodePtr M12 = m.makeNode(m12, n + 1);
    NodePtr M23 = m.makeNode(m23, n + 2);
    NodePtr M31 = m.makeNode(m31, n + 3);
    for (const NodePtr& node : {C, M12, M23, M31})
        m.nodes.push_back(node);
    m.quad4Elements.push_back(std::make_unique<CFEQuad4>(e, n1, M12, C, M31, material));
    m.quad4Elements.push_back(std::make_unique<CFEQuad4>(e + 1, M12, n2, M23, C, material));
    m.quad4Elements.push_back(std::make_unique<CFEQuad4>(e + 2, C, M23, n3, M31, material));
}

}  // namespace

void CMesh::create2DFEM(double thickness)
{
    markInsideNodes();
    if (incomplete) {
        // A mesh stopped early may still have live triangles out to the
        // bounding vertices: only triangles clear of them make elements.
        for (int i = 0; i < nNodes; ++i)
            vertices[i].inside = false;
        for (int i = 0; i < nTriangles; ++i) {
            const CTriangle& t = triangles[i];
            if (t.alive && !containsBoundingNodes(t.vertex0, t.vertex1, t.vertex2))
                t.vertex0->inside = t.vertex1->inside = t.vertex2->inside = true;
        }
    }
    int largest = 0;
    for (int i = 0; i < nNodes; ++i) {
        CVertex* v = &vertices[i];
        if (!v->inside)
            continue;
        auto node = std::make_shared<CFENodeAnalysis>();
        node->position = Point<double>(v->x, v->y, 0.0);
        node->vertex = v;
        nodes.push_back(node);
        if (v->id > largest)
            largest = v->id;
    }
    int nextNode = largest + 1;
    int nextElement = 0;
    trng3Elements.clear();
    quad4Elements.clear();
    const NodeLookup find(nodes);
    for (int i = 0; i < nTriangles; ++i) {
        CTriangle* t = &triangles[i];
        if (!t->alive)
            continue;
        if (incomplete && containsBoundingNodes(t->vertex0, t->vertex1, t->vertex2))
            continue;
        NodePtr n1 = find(t->vertex0->id);
        NodePtr n2 = find(t->vertex1->id);
        NodePtr n3 = find(t->vertex2->id);
        if (elementType == QUAD4) {
            addQuad4s(*this, t, t->material, nextNode, nextElement, n1, n2, n3);
            nextNode += 4;
            nextElement += 3;
            continue;
        }
        auto e = std::make_unique<CFETrng3>();
        e->isWelded(t->welded);
        e->id = nextElement++;
        e->set(n1, n2, n3, t->material, thickness);
        trng3Elements.push_back(std::move(e));
    }
}

void CMesh::makeQuad4s(CTriangle* t, const CMetal* m, int firstNodeId, int firstElementId)
{
    addQuad4s(*this, t, m, firstNodeId, firstElementId, FEMfindNode(t->vertex0->id),
              FEMfindNode(t->vertex1->id), FEMfindNode(t->vertex2->id));
}

std::shared_ptr<CFENodeAnalysis> CMesh::makeNode(CPoint2d& p, int nodeId)
{
    auto node = std::make_shared<CFENodeAnalysis>();
    node->position = Point<double>(p.x, p.y, 0.0);
    node->number = nodeId;
    node->vertex = nullptr;
    return node;
}

std::shared_ptr<CFENodeAnalysis> CMesh::FEMfindNode(int nodeId)
{
    for (const auto& n : nodes)
        if (n->id() == nodeId)
            return n;
    return nullptr;
}
