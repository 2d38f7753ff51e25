// Merging meshes and welding them along a shared boundary, in the order the
// sub-section runs it: merge, clearFEM, weld, verifyEdges, create2DFEM.
#include <climits>
#include <cmath>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "drevoline/mesh/CCurveResolver.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CWeld.h"
#include "drevoline/tests/test_mesher_support.h"

using namespace mesher_test;

namespace {


// Two objects side by side with their curves and meshes.
struct Pair {
    std::unique_ptr<CCompositeCurve> curveA;
    std::unique_ptr<CCompositeCurve> curveB;
    Curves resolver;
    std::unique_ptr<CMesh> a;
    std::unique_ptr<CMesh> b;
};

std::unique_ptr<CMesh> namedMesh(const char* name, CCompositeCurve* curve, int extra, Curves& r)
{
    auto m = std::make_unique<CMesh>();
    m->name = CString(name);
    m->maxRemoves = INT_MAX;
    m->setModel(&r);
    m->create(extra, curve, 0, nullptr, nullptr, 0.05, nullptr);
    return m;
}

Pair twoSquares(int extra)
{
    Pair p;
    p.curveA = polygonCurve(rectangle(0, 0, 1, 1));
    p.curveB = polygonCurve(rectangle(1, 0, 2, 1));
    p.resolver.byName = {{"A", p.curveA.get()}, {"B", p.curveB.get()}};
    p.a = namedMesh("A", p.curveA.get(), extra, p.resolver);
    p.b = namedMesh("B", p.curveB.get(), extra, p.resolver);
    return p;
}

std::unique_ptr<CWeld> seamWeld(Pair& p, double x0, double y0, double x1, double y1)
{
    auto w = std::make_unique<CWeld>(CString("w"));
    w->pt1 = P(x0, y0);
    w->pt2 = P(x1, y1);
    w->limits();
    w->mesh1 = CString("A");
    w->mesh2 = CString("B");
    w->curve1 = p.curveA.get();
    w->curve2 = p.curveB.get();
    return w;
}

// merge, clearFEM, weld, verifyEdges, create2DFEM.
std::unique_ptr<CMesh> mergedAndWelded(Pair& p, CWeld& w)
{
    auto m = std::make_unique<CMesh>();
    m->merge(std::move(p.a), std::move(p.b), 200, 200, 200);
    m->clearFEM();
    m->weld(&w);
    m->verifyEdges();
    m->create2DFEM(1.0);
    return m;
}

bool onSeam(const CVertex* v)
{
    return std::fabs(v->x - 1.0) < 1e-12;
}

}  // namespace

TEST(WeldMerge, MergeNumbersAndNamesAndRefusesMixedElements)
{
    Pair p = twoSquares(20);
    const int na = p.a->nNodes;
    const int nb = p.b->nNodes;
    const int weldedAt = p.a->nTriangles + p.b->nTriangles - 1;
    p.b->triangles[p.b->nTriangles - 1].welded = true;
    CMesh m;
    m.merge(std::move(p.a), std::move(p.b), 10, 10, 10);
    EXPECT_TRUE(m.name == CString("A+B"));
    ASSERT_EQ(m.nNodes, na + nb);
    for (int i = 0; i < m.nNodes; ++i)
        EXPECT_EQ(m.vertices[i].id, i);
    EXPECT_FALSE(m.trng3Elements.empty());
    EXPECT_TRUE(m.triangles[weldedAt].welded);
    EXPECT_FALSE(m.triangles[weldedAt - 1].welded);

    Pair q = twoSquares(5);
    q.b->elementType = QUAD4;
    CMesh mixed;
    EXPECT_EQ(failure([&] { mixed.merge(std::move(q.a), std::move(q.b), 0, 0, 0); }),
              "element types do not match");
    EXPECT_EQ(mixed.nNodes, 0);
}

TEST(WeldMerge, MergeWithoutResolverCannotFindCurves)
{
    Pair p = twoSquares(5);
    p.a->setModel(nullptr);
    CMesh m;
    EXPECT_EQ(failure([&] { m.merge(std::move(p.a), std::move(p.b), 0, 0, 0); }),
              "Composite curve not found.");
}

TEST(WeldMerge, TwoSquaresWeldedAlongTheirSharedSide)
{
    Pair p = twoSquares(30);
    auto w = seamWeld(p, 0.9, -0.1, 1.1, 1.1);
    auto m = mergedAndWelded(p, *w);
    EXPECT_TRUE(w->applied);

    // No two finite-element nodes coincide on the seam.
    std::vector<Point<double>> seam;
    for (const auto& n : m->nodes)
        if (std::fabs(n->position.x - 1.0) < 1e-12)
            seam.push_back(n->position);
    ASSERT_GE(seam.size(), 2u);
    for (std::size_t i = 0; i < seam.size(); ++i)
        for (std::size_t j = i + 1; j < seam.size(); ++j)
            EXPECT_GT(std::fabs(seam[i].y - seam[j].y), 1e-9);

    // Every edge along the seam is interior now.
    int seamEdges = 0;
    for (int i = 0; i < m->nEdges; ++i) {
        const CEdge& e = m->edges[i];
        if (!e.vertexA || !onSeam(e.vertexA) || !onSeam(e.vertexB) || liveSides(e) == 0)
            continue;
        ++seamEdges;
        EXPECT_EQ(liveSides(e), 2) << "edge " << i;
    }
    EXPECT_GE(seamEdges, 1);
    int seamSegments = 0;
    for (int i = 0; i < m->nSegments; ++i) {
        CSegment* s = &m->segments[i];
        if (onSeam(s->vertexA) && onSeam(s->vertexB) && m->findEdge(s->vertexA, s->vertexB)) {
            ++seamSegments;
            EXPECT_TRUE(m->isWeldedSegment(s)) << "segment " << i;
        }
    }
    EXPECT_GE(seamSegments, 1);

    double area = 0.0;
    for (const auto& e : m->trng3Elements)
        area += e->area();
    EXPECT_NEAR(area, 2.0, 1e-12);
    for (int i = 0; i < m->nTriangles; ++i) {
        if (m->triangles[i].alive) {
            EXPECT_GT(orientation(m->triangles[i]), 0.0) << "triangle " << i;
        }
    }

    // Welding again changes nothing.
    const int edges = m->nEdges;
    const int triangles = m->nTriangles;
    const int segments = m->nSegments;
    m->weld(w.get());
    EXPECT_EQ(m->nEdges, edges);
    EXPECT_EQ(m->nTriangles, triangles);
    EXPECT_EQ(m->nSegments, segments);
}

TEST(WeldMerge, TJunctionSplitsOneTriangleIntoTwoWeldedOnes)
{
    // A (1 x 2) has its right side split at (1, 1); B (1 x 2) beside it has
    // one edge along the whole seam, with A's middle vertex inside it.
    Pair p;
    p.curveA = polygonCurve(rectangle(0, 0, 1, 2));
    p.curveB = polygonCurve(rectangle(1, 0, 2, 2));
    p.resolver.byName = {{"A", p.curveA.get()}, {"B", p.curveB.get()}};
    auto build = [&](const char* name, const Pts& pts, CCompositeCurve* curve) {
        auto m = unrefined(pts);
        m->name = CString(name);
        m->setModel(&p.resolver);
        for (int i = 0; i < m->nSegments; ++i) {
            m->segments[i].curve = curve;
            m->segments[i].curveName = m->name;
        }
        return m;
    };
    p.a = build("A", rectangle(0, 0, 1, 2), p.curveA.get());
    p.b = build("B", rectangle(1, 0, 2, 2), p.curveB.get());
    CSegment* side = nullptr;
    for (int i = 0; i < p.a->nSegments; ++i)
        if (onSeam(p.a->segments[i].vertexA) && onSeam(p.a->segments[i].vertexB))
            side = &p.a->segments[i];
    ASSERT_NE(side, nullptr);
    ++p.a->maxNodes;
    p.a->splitSegment(side);
    p.a->assignEdgeSegments();
    ASSERT_EQ(p.a->vertices[p.a->nNodes - 1].y, 1.0);

    auto w = seamWeld(p, 0.9, -0.1, 1.1, 2.1);
    auto m = mergedAndWelded(p, *w);
    int welded = 0;
    for (int i = 0; i < m->nTriangles; ++i)
        if (m->triangles[i].alive && m->triangles[i].welded)
            ++welded;
    EXPECT_EQ(welded, 2);
    int weldedElements = 0;
    for (const auto& e : m->trng3Elements)
        weldedElements += e->isWelded() ? 1 : 0;
    EXPECT_EQ(weldedElements, 2);
    double area = 0.0;
    for (const auto& e : m->trng3Elements)
        area += e->area();
    EXPECT_NEAR(area, 4.0, 1e-12);
    for (int i = 0; i < m->nEdges; ++i) {
        const CEdge& e = m->edges[i];
        if (e.vertexA && onSeam(e.vertexA) && onSeam(e.vertexB) && liveSides(e) > 0) {
            EXPECT_EQ(liveSides(e), 2) << "edge " << i;
        }
    }
}

TEST(WeldMerge, BoxTouchingOneMeshOnly)
{
    // The box holds boundary edges of A alone: B's set stays empty and A's
    // edges keep their segments, so nothing changes.
    Pair p = twoSquares(10);
    auto w = seamWeld(p, -0.1, 0.2, 0.1, 0.8);
    auto m = std::make_unique<CMesh>();
    m->merge(std::move(p.a), std::move(p.b), 50, 50, 50);
    const int edges = m->nEdges;
    const int segments = m->nSegments;
    m->clearFEM();
    m->weld(w.get());
    EXPECT_TRUE(m->verifyEdges());
    EXPECT_EQ(m->nEdges, edges);
    EXPECT_EQ(m->nSegments, segments);
}
