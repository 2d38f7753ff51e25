// Refinement: the refinement point, the choice of the worst triangle, the
// node allowance and the local size controls.
#include <climits>

#include <gtest/gtest.h>

#include "drevoline/mesh/CMeshIndex.h"
#include "drevoline/tests/test_mesher_support.h"

using namespace mesher_test;


TEST(MesherRefine, CircumcentreOfARightTriangleIsItsHypotenuseMidpoint)
{
    auto m = unrefined(rectangle(-5, -5, 5, 5));
    CVertex a, b, c;
    b.x = 2.0;
    c.y = 2.0;
    CTriangle t;
    t.mesh = m.get();
    t.vertex0 = &a;
    t.vertex1 = &b;
    t.vertex2 = &c;
    CVertex out;
    t.circumcentre(&out);
    EXPECT_EQ(out.x, 1.0);
    EXPECT_EQ(out.y, 1.0);

    // Wholly outside the domain: every pulled point stays outside, the
    // centroid is taken.
    a.x = 10.0;
    a.y = 10.0;
    b.x = 12.0;
    b.y = 10.0;
    c.x = 10.0;
    c.y = 12.0;
    t.circumcentre(&out);
    EXPECT_DOUBLE_EQ(out.x, 32.0 / 3.0);
    EXPECT_DOUBLE_EQ(out.y, 32.0 / 3.0);
}

TEST(MesherRefine, FirstOfEquallyBadTrianglesIsRefined)
{
    // The square's diagonal gives two mirror-image triangles of equal quality.
    auto m = unrefined(rectangle(0, 0, 1, 1));
    CTriangle* first = nullptr;
    CTriangle* second = nullptr;
    for (int i = 0; i < m->nTriangles; ++i)
        if (m->triangles[i].alive)
            (first ? second : first) = &m->triangles[i];
    ASSERT_TRUE(first && second);
    ASSERT_EQ(first->quality, second->quality);
    ++m->maxNodes;
    m->removeBadTriangles();
    EXPECT_EQ(m->currentTriangle, first);
    EXPECT_EQ(m->nNodes, m->maxNodes);
}

TEST(MesherRefine, IndexedWorstTriangleMatchesTheScan)
{
    // Step by step, the refined triangle is the one the linear scan names.
    auto m = unrefined({P(0, 0), P(3, 0), P(3, 1), P(1, 1), P(1, 3), P(0, 3)}, 100);
    for (int step = 0; step < 60; ++step) {
        CTriangle* expected = m->worstTriangle();
        ++m->maxNodes;
        m->removeBadTriangles();
        ASSERT_EQ(m->currentTriangle, expected) << "step " << step;
    }
}

TEST(MesherRefine, CircumcentreEncroachingTwoSegmentsSplitsBoth)
{
    // The long flat triangles of an 8 x 1 rectangle have their circumcentre
    // at (4, 0.5), inside the diametral circles of the top and bottom sides.
    auto m = unrefined(rectangle(0, 0, 8, 1));
    const int segments = m->nSegments;
    m->maxNodes += 2;
    m->removeBadTriangles();
    EXPECT_EQ(m->nSegments, segments + 2);
    m->assignEdgeSegments();
    expectSoundMesh(*m, 8.0, 0);
}

TEST(MesherRefine, NoRefinementOnceTheBudgetIsSpent)
{
    Outline o{polygonCurve(rectangle(0, 0, 1, 1)), {}};
    auto m = meshOutline(o, 50, 0.05, 4);
    EXPECT_EQ(m->nRemoves, 4);
    EXPECT_EQ(m->currentTriangle, nullptr);
    EXPECT_LT(m->nNodes, m->maxNodes);
}

TEST(MesherRefine, SizeControlShrinksTrianglesNearItsCentre)
{
    Outline o{polygonCurve(rectangle(0, 0, 4, 4)), {}};
    auto m = meshOutline(o, 10);
    const int limitBefore = m->maxNodes;
    m->applyLocalSizeControls();
    EXPECT_EQ(m->maxNodes, limitBefore) << "no controls: the limits stay";

    CPoint2d centre(2.0, 2.0);
    const double radius = 1.0;
    const double size = 0.5;
    double R = 5.0;
    for (int i = 0; i < m->nTriangles; ++i)
        if (m->triangles[i].alive && m->triangles[i].distanceTo(centre) < radius) {
            R = m->triangles[i].perimeter();
            break;
        }
    m->localResizeTriangles(centre, radius, size);
    EXPECT_EQ(m->maxNodes, m->ultNodes);
    ASSERT_LT(m->nNodes, m->ultNodes) << "the allowance must not run out for this check";
    const double S = 3.0 * size;
    for (int i = 0; i < m->nTriangles; ++i) {
        const CTriangle& t = m->triangles[i];
        const double w = t.distanceTo(centre);
        if (t.alive && w < radius)
            EXPECT_LE(t.perimeter(), S + (R - S) * w / radius) << "triangle " << i;
    }
    expectSoundMesh(*m, 16.0, 0);
}

TEST(MesherRefine, SizeControlAddedBeforeMeshingIsApplied)
{
    Outline o{polygonCurve(rectangle(0, 0, 4, 4)), {}};
    auto plain = meshOutline(o, 20);
    auto m = std::make_unique<CMesh>();
    m->maxRemoves = INT_MAX;
    m->addLocalSizeControl(2.0, 2.0, 1.0, 0.3);
    m->create(20, o.outer.get(), 0, nullptr, nullptr, 0.05, nullptr);
    EXPECT_GT(m->nNodes, plain->nNodes);
    expectSoundMesh(*m, 16.0, 0);
}

TEST(MesherRefine, IndexedLookupsMatchTheScans)
{
    Outline o{polygonCurve(rectangle(0, 0, 4, 4)), {}};
    o.holes.push_back(polygonCurve(rectangle(1, 1, 3, 2, true)));
    auto m = meshOutline(o, 300);
    CMeshIndex index(*m);
    for (int i = 0; i < m->nEdges; ++i) {
        const CEdge& e = m->edges[i];
        EXPECT_EQ(index.edgeBetween(e.vertexB, e.vertexA), m->findEdge(e.vertexA, e.vertexB));
    }
    for (int i = 0; i < m->nSegments; ++i) {
        const CSegment& s = m->segments[i];
        EXPECT_EQ(index.segmentBetween(s.vertexB, s.vertexA), &s);
    }
    std::vector<CTriangle*> around;
    for (int i = 0; i < m->nNodes; ++i) {
        ASSERT_TRUE(index.trianglesAround(&m->vertices[i], around)) << "vertex " << i;
        EXPECT_EQ(around, *m->vertexTriangles(&m->vertices[i])) << "vertex " << i;
    }
}
