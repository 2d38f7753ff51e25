// The mesh data model: sizing, record hand-out, lookups and small queries.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/predicates/Predicates.h"
#include "drevoline/mesh/CMesh.h"
#include "test_mesh_support.h"

using mesh_test::logicText;
using mesh_test::SquareMesh;

namespace {

CVertex at(double x, double y)
{
    CVertex v;
    v.x = x;
    v.y = y;
    return v;
}

}  // namespace

TEST(MeshModelAlloc, LimitsFollowTheBoundaryVertexCount)
{
    CMesh mesh;
    mesh.alloc(10, 0);
    EXPECT_EQ(mesh.maxNodes, 13);
    EXPECT_EQ(mesh.maxEdges, 33);
    EXPECT_EQ(mesh.maxTriangles, 22);
    EXPECT_EQ(mesh.maxSegments, 33);
    EXPECT_EQ(mesh.ultNodes, 26);
    EXPECT_EQ(mesh.ultEdges, 72);
    EXPECT_EQ(mesh.ultSegments, 72);
    EXPECT_EQ(mesh.ultTriangles, 48);

    CMesh withExtra;
    withExtra.alloc(10, 5);
    EXPECT_EQ(withExtra.ultNodes, 26 + 15);
}

TEST(MeshModelAlloc, SizeControlAddsItsCircleOverHalfSquare)
{
    // trunc(pi * 1^2 / (0.1^2 * 0.5)) = trunc(628.3) = 628.
    CMesh mesh;
    mesh.addLocalSizeControl(0.0, 0.0, 1.0, 0.1);
    mesh.alloc(10, 0);
    EXPECT_EQ(mesh.ultNodes, 654);
    EXPECT_EQ(mesh.ultTriangles, 2 * 654 - 4);
}

TEST(MeshModelAlloc, HandOutStopsAtTheCurrentLimits)
{
    CMesh mesh;
    mesh.alloc(1, 0);  // maxNodes 4, maxEdges 6, maxTriangles 4, maxSegments 6
    for (int i = 0; i < 4; ++i) {
        CVertex* v = mesh.newNode();
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->id, i + 1);
        EXPECT_FALSE(v->onBoundary);
    }
    EXPECT_EQ(mesh.newNode(), nullptr);
    EXPECT_NE(mesh.newUltNode(), nullptr);  // ultNodes is 8

    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(mesh.newEdge()->id, i);
    for (int i = 0; i < 6; ++i)
        mesh.newSegment();
    for (int i = 0; i < 4; ++i) {
        CTriangle* t = mesh.newTriangle();
        EXPECT_EQ(t->id, i);
        EXPECT_EQ(t->mesh, &mesh);
        EXPECT_FALSE(t->alive);
        EXPECT_FALSE(t->welded);
    }
    EXPECT_EQ(logicText([&] { mesh.newEdge(); }), "exceeded the max bound for edges");
    EXPECT_EQ(logicText([&] { mesh.newSegment(); }), "exceed maximum number of segments");
    EXPECT_EQ(logicText([&] { mesh.newTriangle(); }), "exceeded max bound of triangles");
}

TEST(MeshModelAlloc, DeallocatedArraysHandOutNothing)
{
    SquareMesh sq;
    sq.mesh.dealloc();
    EXPECT_EQ(sq.mesh.newNode(), nullptr);
    EXPECT_EQ(sq.mesh.newUltNode(), nullptr);
    EXPECT_EQ(logicText([&] { sq.mesh.newTriangle(); }), "exceeded max bound of triangles");
    EXPECT_EQ(sq.mesh.closestVertex(0, 0), nullptr);
    EXPECT_EQ(sq.mesh.worstTriangle(), nullptr);
}

TEST(MeshModelLookup, TrianglesAreFoundFromIdZero)
{
    SquareMesh sq;
    EXPECT_EQ(sq.mesh.findTriangle(-1), nullptr);
    EXPECT_EQ(sq.mesh.findTriangle(0), sq.t[0]);
    EXPECT_EQ(sq.mesh.findTriangle(1), sq.t[1]);
    EXPECT_EQ(logicText([&] { sq.mesh.findTriangle(3); }), "Invalid triangle index.");
    EXPECT_EQ(logicText([&] { sq.mesh.findTriangle(2); }), "triangle with id not found");
}

TEST(MeshModelLookup, VerticesByIdIncludeTheBoundingOnes)
{
    SquareMesh sq;
    EXPECT_EQ(sq.mesh.findVertex(0), sq.v[0]);
    EXPECT_EQ(sq.mesh.findVertex(7), sq.v[6]);
    EXPECT_EQ(logicText([&] { sq.mesh.findVertex(8); }), "Invalid vertex index");
    EXPECT_EQ(logicText([&] { sq.mesh.findVertex(-1); }), "Invalid vertex index");
    EXPECT_EQ(logicText([&] { sq.mesh.findVertex(3); }), "triangle node found");
}

TEST(MeshModelLookup, EdgesSegmentsAndClosestVertex)
{
    SquareMesh sq;
    EXPECT_EQ(sq.mesh.findEdge(2), sq.e[2]);
    EXPECT_EQ(logicText([&] { sq.mesh.findEdge(5); }), "Invalid edge index");
    EXPECT_EQ(sq.mesh.findEdge(sq.v[3], sq.v[5]), sq.e[2]);
    EXPECT_EQ(sq.mesh.findEdge(sq.v[5], sq.v[3]), sq.e[2]);
    EXPECT_EQ(sq.mesh.findEdge(sq.v[4], sq.v[6]), nullptr);

    CSegment* s = sq.mesh.newSegment();
    s->vertexA = sq.v[6];
    s->vertexB = sq.v[3];
    EXPECT_EQ(sq.mesh.findSegment(sq.v[3], sq.v[6]), s);
    EXPECT_EQ(sq.mesh.findSegment(sq.v[3], sq.v[4]), nullptr);

    // (0.5, 0.5) is as near to every square corner: the first one wins.
    EXPECT_EQ(sq.mesh.closestVertex(0.5, 0.5), sq.v[3]);
    EXPECT_EQ(sq.mesh.closestNode(0.9, 0.1), sq.v[4]);
    CMesh empty;
    EXPECT_EQ(empty.closestVertex(0, 0), nullptr);
}

TEST(MeshModelLookup, SegmentRunsOnACurve)
{
    SquareMesh sq;
    auto* c1 = reinterpret_cast<CCompositeCurve*>(0x10);
    auto* c2 = reinterpret_cast<CCompositeCurve*>(0x20);
    const int ends[4][2] = {{3, 4}, {4, 5}, {5, 6}, {6, 3}};
    CCompositeCurve* curves[4] = {c2, c1, c1, c2};
    for (int i = 0; i < 4; ++i) {
        CSegment* s = sq.mesh.newSegment();
        s->vertexA = sq.v[ends[i][0]];
        s->vertexB = sq.v[ends[i][1]];
        s->curve = curves[i];
    }
    EXPECT_EQ(sq.mesh.firstSegmentVertex(c1), sq.v[4]);
    EXPECT_EQ(sq.mesh.nextFirstVertex(c1), sq.v[5]);
    EXPECT_EQ(sq.mesh.lastSegmentVertex(c1), sq.v[6]);
    EXPECT_EQ(sq.mesh.nextLastVertex(c1), sq.v[5]);
    // The first run of c2 is segment 0 alone.
    EXPECT_EQ(sq.mesh.lastSegmentVertex(c2), sq.v[4]);
    // No segment on the curve: null first, the last segment of the array last.
    auto* none = reinterpret_cast<CCompositeCurve*>(0x30);
    EXPECT_EQ(sq.mesh.firstSegmentVertex(none), nullptr);
    EXPECT_EQ(sq.mesh.lastSegmentVertex(none), sq.v[3]);
    EXPECT_EQ(sq.mesh.nextLastVertex(none), sq.v[6]);
}

TEST(MeshModelLookup, LiveTrianglesAroundAVertexAndInsideMarks)
{
    SquareMesh sq;
    auto around = sq.mesh.vertexTriangles(sq.v[5]);
    ASSERT_EQ(around->size(), 2u);
    EXPECT_EQ((*around)[0], sq.t[0]);
    EXPECT_EQ(sq.mesh.vertexTriangles(sq.v[4])->size(), 1u);

    sq.t[0]->alive = false;
    EXPECT_EQ(sq.mesh.vertexTriangles(sq.v[4])->size(), 0u);
    sq.mesh.markInsideNodes();
    EXPECT_FALSE(sq.v[4]->inside);
    EXPECT_TRUE(sq.v[5]->inside);
    EXPECT_FALSE(sq.v[0]->inside);
    EXPECT_TRUE(sq.mesh.triangleInsideExists());
    EXPECT_TRUE(sq.mesh.triangleIDCheck());
    EXPECT_EQ(sq.mesh.maxVertexId(), 7);
    EXPECT_EQ(sq.mesh.maxEdgeId(), 4);
    EXPECT_EQ(sq.mesh.maxTriangleId(), 1);
    EXPECT_EQ(sq.mesh.maxSegmentId(), -1);
}

TEST(MeshModelLookup, WorstTriangleIsTheFirstOfLowestQuality)
{
    SquareMesh sq;
    sq.t[0]->quality = sq.t[1]->quality = 0.5;
    EXPECT_EQ(sq.mesh.worstTriangle(), sq.t[0]);  // a tie: the first wins
    sq.t[0]->quality = 0.6;
    EXPECT_EQ(sq.mesh.worstTriangle(), sq.t[1]);
    sq.t[0]->alive = sq.t[1]->alive = false;
    EXPECT_EQ(sq.mesh.worstTriangle(), nullptr);
    EXPECT_FALSE(sq.mesh.triangleInsideExists());
    // Neither triangle lies at array index 3 or above.
    EXPECT_EQ(sq.mesh.findMinAngle(), nullptr);
}

TEST(MeshModelRecords, TriangleAndEdgeLinks)
{
    exactinit();
    SquareMesh sq;
    CEdge* next = nullptr;
    CEdge* nextNext = nullptr;
    CVertex* opposite = nullptr;
    sq.t[1]->otherEdges(sq.e[3], &next, &nextNext, &opposite);
    EXPECT_EQ(next, sq.e[4]);
    EXPECT_EQ(nextNext, sq.e[2]);
    EXPECT_EQ(opposite, sq.v[3]);
    EXPECT_EQ(sq.t[0]->oppositeVertex(sq.e[2]), sq.v[4]);
    EXPECT_EQ(logicText([&] { sq.t[0]->otherEdges(sq.e[3], &next, &nextNext, &opposite); }),
              "triangle does not contain edge");
    EXPECT_EQ(logicText([&] { sq.t[0]->oppositeVertex(sq.e[4]); }), "edge 'e' is not part of triangle 't'");

    EXPECT_TRUE(sq.t[0]->contains(Point<double>(0.75, 0.25, 0)));
    EXPECT_FALSE(sq.t[0]->contains(Point<double>(0.5, 0.5, 0)));  // on the shared edge
    EXPECT_FALSE(sq.t[0]->contains(Point<double>(1.0, 0.0, 0)));   // a vertex

    EXPECT_EQ(logicText([&] { sq.e[0]->set(sq.v[3], sq.v[3], nullptr, nullptr); }), "Zero length edge created");
    sq.e[2]->replaceTriangle(sq.t[1], sq.t[0]);
    EXPECT_EQ(sq.e[2]->rightTriangle, sq.t[0]);
    EXPECT_EQ(logicText([&] { sq.e[0]->replaceTriangle(sq.t[1], sq.t[0]); }),
              "neighboring triangle does not exist");
    EXPECT_TRUE(sq.mesh.containsBoundingNodes(sq.v[3], sq.v[2], sq.v[4]));
    EXPECT_FALSE(sq.mesh.containsBoundingNodes(sq.v[3], sq.v[5], sq.v[4]));
}

TEST(MeshModelGeometry, AnglesAndTriangleQuality)
{
    const CVertex a = at(0, 0), b = at(1, 0), c = at(2, 0);
    EXPECT_EQ(CMesh::angle(&a, &b, &c), 0.0);  // collinear with the apex between
    EXPECT_NEAR(CMesh::angle(&b, &a, &c), 0.0, 1e-12);
    const CVertex p = at(0, 0), q = at(1, 0), r = at(0.5, std::sqrt(3.0) / 2.0);
    double minAngle = 0.0, quality = 0.0;
    CMesh::computeTriangleStats(&p, &q, &r, minAngle, quality);
    EXPECT_NEAR(minAngle, 60.0, 1e-12);
    EXPECT_NEAR(quality, 60.0 / 9.0, 1e-12);
    const CVertex right = at(0, 1);
    EXPECT_NEAR(CMesh::angle(&q, &p, &right), 90.0, 1e-12);
    EXPECT_NEAR(CMesh::minimumAngle(&p, &q, &right), 45.0, 1e-12);
    EXPECT_NEAR(CMesh::angleDifference(3.0, -3.0), 2.0 * M_PI - 6.0, 1e-12);
    EXPECT_NEAR(CMesh::angleDifference(0.5, 0.25), 0.25, 1e-15);
}

TEST(MeshModelGeometry, EncroachmentAndSides)
{
    exactinit();
    const CVertex a = at(0, 0), b = at(2, 0);
    const CVertex inside = at(1, 0.999), onCircle = at(1, 1);
    EXPECT_TRUE(CMesh::encroach(&a, &b, &inside));
    EXPECT_FALSE(CMesh::encroach(&a, &b, &onCircle));

    const CVertex left = at(1, 1), rightSide = at(1, -1), on = at(5, 0);
    EXPECT_EQ(CMesh::orient2d(&a, &b, &left), LEFT_SIDE);
    EXPECT_EQ(CMesh::orient2d(&a, &b, &rightSide), RIGHT_SIDE);
    EXPECT_EQ(CMesh::orient2d(&a, &b, &on), ON_LINE);

    const CVertex mid = at(1, 0.5), beyond = at(3, 0), behind = at(-1, 0);
    EXPECT_TRUE(CMesh::isBetween(&a, &b, &mid));
    EXPECT_FALSE(CMesh::isBetween(&a, &b, &beyond));
    EXPECT_FALSE(CMesh::isBetween(&a, &b, &behind));

    Point<double> p(3, 4, 0), pa(0, 0, 0), pb(2, 0, 0);
    const Point<double> foot = CMesh::closestPtOnLine(p, pa, pb);
    EXPECT_DOUBLE_EQ(foot.x, 3.0);
    EXPECT_DOUBLE_EQ(foot.y, 0.0);
    Point<double> offLine(1, 1, 0), near(1e-7, 0, 0);
    EXPECT_FALSE(CMesh::colinear2d(&offLine, &pa, &pb));
    EXPECT_TRUE(CMesh::colinear2d(&near, &pa, &pb));
    EXPECT_TRUE(CMesh::colinear2d(&p, &pa, &pa));
}

TEST(MeshModelGeometry, SegmentBoundedAngleNeedsAnInputVertex)
{
    SquareMesh sq;
    CSegment* s1 = sq.mesh.newSegment();
    s1->vertexA = sq.v[3];
    s1->vertexB = sq.v[4];
    CSegment* s2 = sq.mesh.newSegment();
    s2->vertexA = sq.v[4];
    s2->vertexB = sq.v[5];
    sq.mesh.nInputNodes = 7;
    EXPECT_TRUE(sq.mesh.segmentBoundedAngle(sq.v[3], sq.v[4], sq.v[5]));
    EXPECT_FALSE(sq.mesh.segmentBoundedAngle(sq.v[3], sq.v[4], sq.v[6]));
    sq.mesh.nInputNodes = 4;
    EXPECT_FALSE(sq.mesh.segmentBoundedAngle(sq.v[3], sq.v[4], sq.v[5]));
}

TEST(MeshModelWeldSets, MutuallyClosestVerticesAlongTheEdges)
{
    // Side a runs along y = 0 with vertices at x = 0, 1, 2; side b has
    // vertices at x = 0.9 and 2.5 on the same line.
    CVertex a0 = at(0, 0), a1 = at(1, 0), a2 = at(2, 0), b0 = at(0.9, 0), b1 = at(2.5, 0);
    a0.id = 1, a1.id = 2, a2.id = 3, b0.id = 4, b1.id = 5;
    CEdge ea0, ea1, eb0;
    ea0.set(&a0, &a1, nullptr, nullptr);
    ea1.set(&a1, &a2, nullptr, nullptr);
    eb0.set(&b0, &b1, nullptr, nullptr);
    CEdgeSet a, b;
    a.edges = {&ea0, &ea1};
    a.vertices = {&a0, &a1, &a2};
    b.edges = {&eb0};
    b.vertices = {&b0, &b1};
    CMesh mesh;
    // From a1, b0 lies on edge a1-a0 and a1 is the nearest of a to b0 along b0-b1.
    EXPECT_EQ(mesh.mutuallyClosest(a, b, &a1), &b0);
    // From a0 the nearest of b is b0, but the nearest of a to b0 is a1.
    EXPECT_EQ(mesh.mutuallyClosest(a, b, &a0), nullptr);
    EXPECT_EQ(logicText([&] { a.checkTriangles(); }), "null triangles on edge");
}
