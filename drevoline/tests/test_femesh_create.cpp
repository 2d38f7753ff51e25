// Building the finite-element model of a mesh: nodes for the vertices in
// use, triangle or quadrilateral elements, and meshes stopped early.
#include <climits>
#include <set>

#include <gtest/gtest.h>

#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFEQuad4.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/tests/test_mesher_support.h"

using namespace mesher_test;

namespace {


int largestVertexIdInUse(const CMesh& m)
{
    int largest = 0;
    for (int i = 0; i < m.nTriangles; ++i) {
        const CTriangle& t = m.triangles[i];
        if (t.alive)
            for (int k = 0; k < 3; ++k)
                largest = std::max(largest, t.vertex(k)->id);
    }
    return largest;
}

bool isBoundingVertex(const CMesh& m, const CVertex* v)
{
    return v && v - &m.vertices[0] < 3;
}

}  // namespace

TEST(FEMeshCreate, TrianglesGiveOneElementEach)
{
    Outline o{polygonCurve({P(0, 0), P(2, 0), P(2, 0.5), P(0.5, 0.5), P(0.5, 2), P(0, 2)}), {}};
    auto m = meshOutline(o, 60);
    m->create2DFEM(1.0);
    const int n = liveTriangles(*m);
    ASSERT_EQ(static_cast<int>(m->trng3Elements.size()), n);
    EXPECT_TRUE(m->quad4Elements.empty());
    double area = 0.0;
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(m->trng3Elements[i]->id, i);
        area += m->trng3Elements[i]->area();
    }
    EXPECT_NEAR(area, 1.75, 1e-12);
    // One node per vertex in use; the bounding vertices have none.
    EXPECT_EQ(static_cast<int>(m->nodes.size()), m->nNodes - 3);
    for (const auto& node : m->nodes) {
        ASSERT_NE(node->vertex, nullptr);
        EXPECT_FALSE(isBoundingVertex(*m, node->vertex));
        EXPECT_EQ(node->id(), node->vertex->id);
    }
}

TEST(FEMeshCreate, QuadrilateralsAreThreePerTriangleWithFourNewNodes)
{
    Outline o{circleCurve(0, 0, 1), {}};
    auto m = std::make_unique<CMesh>();
    m->maxRemoves = INT_MAX;
    m->elementType = QUAD4;
    m->create(40, o.outer.get(), 0, nullptr, nullptr, 0.05, nullptr);
    m->create2DFEM(1.0);
    const int n = liveTriangles(*m);
    const int vertexNodes = m->nNodes - 3;
    ASSERT_EQ(static_cast<int>(m->quad4Elements.size()), 3 * n);
    ASSERT_EQ(static_cast<int>(m->nodes.size()), vertexNodes + 4 * n);
    EXPECT_TRUE(m->trng3Elements.empty());
    const int firstNew = largestVertexIdInUse(*m) + 1;
    for (int i = 0; i < 4 * n; ++i) {
        const auto& node = m->nodes[vertexNodes + i];
        EXPECT_EQ(node->vertex, nullptr);
        EXPECT_EQ(node->id(), firstNew + i);
    }
    for (int i = 0; i < 3 * n; ++i) {
        const CFEQuad4& q = *m->quad4Elements[i];
        EXPECT_EQ(q.number, i);
        for (int k = 0; k < 4; ++k) {
            const Point<double>& a = q.quadNodes[k]->position;
            const Point<double>& b = q.quadNodes[(k + 1) % 4]->position;
            const Point<double>& c = q.quadNodes[(k + 2) % 4]->position;
            EXPECT_GT(orient2dexact(&a.x, &b.x, &c.x), 0.0) << "quad " << i << " corner " << k;
        }
    }
}

TEST(FEMeshCreate, IncompleteMeshMakesNoElementAtTheBoundingVertices)
{
    Outline o{polygonCurve(rectangle(0, 0, 1, 1)), {}};
    // The budget runs out during the initial triangulation.
    auto m = meshOutline(o, 20, 0.05, 3);
    ASSERT_TRUE(m->incomplete);
    m->create2DFEM(1.0);
    for (const auto& node : m->nodes)
        EXPECT_FALSE(isBoundingVertex(*m, node->vertex));
    for (const auto& e : m->trng3Elements)
        for (const auto& node : e->nodes)
            EXPECT_LT(std::fabs(node->position.x) + std::fabs(node->position.y), 10.0);
}

TEST(FEMeshCreate, FindNodeTakesTheFirstOfEqualNumbers)
{
    CMesh m;
    CPoint2d a(1, 2);
    CPoint2d b(3, 4);
    m.nodes.push_back(m.makeNode(a, 7));
    m.nodes.push_back(m.makeNode(b, 7));
    EXPECT_EQ(m.FEMfindNode(7), m.nodes[0]);
    EXPECT_EQ(m.FEMfindNode(8), nullptr);
    EXPECT_EQ(m.nodes[1]->position.x, 3.0);
    EXPECT_EQ(m.nodes[1]->position.z, 0.0);
}
