// The constrained triangulation: polygon loading, the input checks, the
// initial triangulation with segment recovery and outside removal, point
// insertion and the budget.
#include <climits>
#include <functional>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "drevoline/tests/test_mesher_support.h"

using namespace mesher_test;

namespace {

const Pts kUnitSquareClosed = {P(0, 0), P(1, 0), P(1, 1), P(0, 1), P(0, 0)};

}  // namespace

TEST(MesherPolygon, SquareBeforeRefinementHasTwoLiveTrianglesAndFourFrozenEdges)
{
    auto m = prepared(5, 10);
    auto pts = array(kUnitSquareClosed);
    m->addPolygon(nullptr, &pts, -1);
    ASSERT_EQ(m->nNodes, 7);
    ASSERT_EQ(m->nSegments, 4);
    triangulateOnly(*m);
    EXPECT_EQ(liveTriangles(*m), 2);
    int frozen = 0;
    for (int i = 0; i < m->nEdges; ++i)
        frozen += m->edges[i].frozen ? 1 : 0;
    EXPECT_EQ(frozen, 4);
    EXPECT_TRUE(m->segmentsComplete);
}

TEST(MesherPolygon, ClosingGapIsSnappedBelowAMillimetreAndRefusedAbove)
{
    auto snapped = prepared(5);
    auto near = array({P(0, 0), P(1, 0), P(1, 1), P(0, 1), P(0.0005, 0)});
    snapped->addPolygon(nullptr, &near, -1);
    EXPECT_EQ(snapped->nNodes, 7);
    EXPECT_EQ(snapped->vertices[3].x, 1.0) << "the first corner is the ring's new head";
    auto open = prepared(5);
    auto far = array({P(0, 0), P(1, 0), P(1, 1), P(0, 1), P(0.002, 0)});
    EXPECT_EQ(failure([&] { open->addPolygon(nullptr, &far, -1); }), "Polygon is not watertight");
}

TEST(MesherPolygon, InputAnglesBelowTwoDegreesAreRefusedInEveryDirection)
{
    const std::string refused =
        "Can't mesh shape with interior angle of the boundary less than 2 degrees";
    // A 1-degree spike at the origin: its two sides leave toward +x (angles
    // 359.5 and 0.5) and toward -x (179.5 and 180.5).
    const double h = 10.0 * std::tan(0.5 * 3.141592653589793 / 180.0);
    struct Case {
        const char* what;
        Pts pts;
        bool ok;
    } cases[] = {
        {"spike toward +x", {P(0, 0), P(10, -h), P(10, 5), P(10, h)}, false},
        {"spike toward -x", {P(0, 0), P(-10, h), P(-10, 5), P(-10, -h)}, false},
        {"right angles", {P(0, 0), P(1, 0), P(1, 1), P(0, 1)}, true},
    };
    CMesh m;
    for (const Case& c : cases) {
        auto pts = array(c.pts);
        if (c.ok) {
            EXPECT_TRUE(m.checkInputAngles(&pts)) << c.what;
        } else {
            EXPECT_EQ(failure([&] { m.checkInputAngles(&pts); }), refused) << c.what;
        }
    }
}

TEST(MesherPolygon, RemoveColinearKeepsTheCorners)
{
    CMesh m;
    auto mids = array({P(0, 0), P(1, 0), P(2, 0), P(2, 1), P(2, 2), P(1, 2), P(0, 2), P(0, 1)});
    m.removeColinear(&mids);
    ASSERT_EQ(mids.GetSize(), 4);
    EXPECT_EQ(mids[0].x, 0.0);
    EXPECT_EQ(mids[0].y, 0.0);
    EXPECT_EQ(mids[2].x, 2.0);
    EXPECT_EQ(mids[2].y, 2.0);
    // A first point between its neighbours goes too; the ring then starts at its successor.
    auto headMid = array({P(1, 0), P(2, 0), P(2, 2), P(0, 2), P(0, 0)});
    m.removeColinear(&headMid);
    ASSERT_EQ(headMid.GetSize(), 4);
    EXPECT_EQ(headMid[0].x, 2.0);
    EXPECT_EQ(headMid[0].y, 0.0);
}

TEST(MesherPolygon, CompositeCurvePolygonWithParameterMeshes)
{
    // The curve gives P0 .. P3, P0 (z = end parameter), P0; the first edge runs along +x.
    Outline o{polygonCurve(rectangle(0, 0, 1, 1)), {}};
    o.outer->polygon(true, 0.05, -1.0);
    ASSERT_EQ(o.outer->polygonPoints().GetSize(), 6);
    auto m = meshOutline(o, 20);
    expectSoundMesh(*m, 1.0, 0);
    EXPECT_EQ(m->nInputNodes, 7);
}

TEST(MesherPolygon, TooFewPointsAreRefused)
{
    auto m = prepared(3);
    auto line = array({P(0, 0), P(1, 0), P(2, 0), P(0, 0)});
    EXPECT_NE(failure([&] { m->addPolygon(nullptr, &line, -1); }), "");
}

// A full vertex array is no failure while every segment is an edge; a
// segment still missing then cannot be recovered and is refused.
TEST(MesherPipeline, FullVertexArrayFailsOnlyWhenASegmentIsMissing)
{
    auto m = prepared(4);  // maxNodes 7: the bounding vertices and the corners exactly
    auto pts = array(kUnitSquareClosed);
    m->addPolygon(nullptr, &pts, -1);
    ASSERT_EQ(m->nNodes, m->maxNodes);
    m->nRemoves = 0;
    exactinit();
    m->constructInitialTriangulation();
    m->nInputNodes = m->nNodes;
    EXPECT_EQ(failure([&] { m->insertMissingSegments(); }), "");
    EXPECT_TRUE(m->segmentsComplete);

    // A star whose reflex corners cut across some of its sides: with room
    // for its corners only, those sides cannot be recovered.
    const Pts star = {P(0.5, 0),     P(0.5, 0.3),  P(0.8, 1.7),  P(-0.1, 0.5), P(-4.7, 5.5), P(-3.8, 1.1),
                      P(-2, -0.6),   P(-3.6, -4.1), P(-0.2, -1.4), P(0.8, -1.7), P(7.4, -4.7)};
    Pts closed = star;
    closed.push_back(star.front());
    auto full = prepared(static_cast<int>(star.size()));
    auto starPts = array(closed);
    full->addPolygon(nullptr, &starPts, -1);
    ASSERT_EQ(full->nNodes, full->maxNodes);
    full->nRemoves = 0;
    full->constructInitialTriangulation();
    EXPECT_EQ(failure([&] { full->insertMissingSegments(); }), "Not enough vertices to make all the segments");
    EXPECT_FALSE(full->segmentsComplete);
    // With room to split them it meshes.
    Outline roomy{polygonCurve(star), {}};
    auto meshed = meshOutline(roomy, 50);
    expectSoundMesh(*meshed, roomy.polygonArea(), 0);
}

TEST(MesherPipeline, BudgetOfOneStopsAfterTheFirstVertexAndFlagsTheMesh)
{
    Outline o{polygonCurve(rectangle(0, 0, 1, 1)), {}};
    CMetal* metal = reinterpret_cast<CMetal*>(0x1000);  // only stamped, never read
    auto m = std::make_unique<CMesh>();
    m->maxRemoves = 1;
    m->create(10, o.outer.get(), 0, nullptr, nullptr, 0.05, metal);
    EXPECT_EQ(m->nRemoves, 1);
    EXPECT_EQ(m->nTriangles, 4);  // the bounding pair, the first one split in three
    EXPECT_TRUE(m->incomplete);
    for (int i = 0; i < m->nTriangles; ++i)
        EXPECT_EQ(m->triangles[i].material, metal);
    auto done = meshOutline(o, 10);
    EXPECT_FALSE(done->incomplete);
}

TEST(MesherPipeline, PointOnAnInteriorEdgeSplitsItIntoFour)
{
    auto m = prepared(4, 5);
    auto pts = array({P(0, 0), P(2, 0), P(2, 2), P(0, 2), P(0, 0)});
    m->addPolygon(nullptr, &pts, -1);
    triangulateOnly(*m);
    ASSERT_EQ(liveTriangles(*m), 2);
    // The diagonal of the square joins two corners; its midpoint lies on it.
    const int before = m->nTriangles;
    CVertex* p = m->newNode();
    p->x = 1.0;
    p->y = 1.0;
    m->insertVertex(p);
    EXPECT_EQ(m->nTriangles, before + 2);
    EXPECT_EQ(liveTriangles(*m), 4);
    auto around = m->vertexTriangles(p);
    EXPECT_EQ(around->size(), 4u);
    for (CTriangle* t : *around)
        EXPECT_GT(orientation(*t), 0.0);
}

TEST(MesherPipeline, SplitPositionIsAPowerOfTwoFromTheInputVertex)
{
    struct Case {
        double length;
        double expected;
    } cases[] = {{3.0, 2.0}, {10.0, 4.0}, {1.0, 0.5}};
    for (const Case& c : cases) {
        auto m = prepared(1, 2);
        CVertex* origin = m->newNode();  // an input vertex at the origin
        m->nInputNodes = m->nNodes;
        CVertex* far = m->newNode();
        far->x = c.length;
        CVertex out;
        m->ChooseSplitPosition1(&out, far, origin);
        EXPECT_EQ(out.x, c.expected) << "length " << c.length;
        EXPECT_EQ(out.y, 0.0);
        m->ChooseSplitPosition1(&out, origin, far);
        EXPECT_EQ(out.x, c.expected) << "length " << c.length << ", input vertex first";
    }
    // Neither end an input vertex: the midpoint.
    auto m = prepared(0, 2);
    m->nInputNodes = m->nNodes;
    CVertex* a = m->newNode();
    CVertex* b = m->newNode();
    b->x = 3.0;
    CVertex out;
    m->ChooseSplitPosition1(&out, a, b);
    EXPECT_EQ(out.x, 1.5);
}

TEST(MesherPipeline, OrientationOfOutlineAndHoleIsMended)
{
    // A clockwise outline and a counter-clockwise hole mesh as their proper counterparts.
    Outline o{polygonCurve(rectangle(0, 0, 4, 4, true)), {}};
    o.holes.push_back(polygonCurve(rectangle(1, 1, 3, 3)));
    auto m = meshOutline(o, 100);
    expectSoundMesh(*m, 12.0, 1);
}

TEST(MesherPipeline, NodeOutsideTheDomainIsReportedWithoutACurrentTriangle)
{
    auto m = prepared(4, 5);
    auto pts = array(kUnitSquareClosed);
    m->addPolygon(nullptr, &pts, -1);
    triangulateOnly(*m);
    ASSERT_EQ(m->currentTriangle, nullptr);
    CVertex* p = m->newNode();
    p->x = 5.0;
    p->y = 5.0;
    const std::string expected = "Can't find node at (5,5) at nRemoves=" + std::to_string(m->nRemoves);
    EXPECT_EQ(failure([&] { m->insertVertex(p); }), expected);
}

TEST(MesherPipeline, PointNearAVertexIsNotTakenForASplitOfAnEdgeItLiesBeyond)
{
    // Interior vertices a, b, c make a triangle with a 135-degree corner at
    // a; d and e lie steeply below a, on either side of it. p goes inside the
    // triangle 1e-8 from a. Seen from b (or c) it is within 1e-5 degrees of
    // the edge a-b (or c-a), but beyond a: taken as a split of that edge it
    // would fold a triangle. It splits the triangle in three, or the other
    // edge at a, which it does lie along.
    auto m = unrefined(rectangle(-20, -20, 30, 20), 10);
    m->maxNodes += 6;
    auto add = [&](double x, double y) {
        CVertex* v = m->newNode();
        v->x = x;
        v->y = y;
        m->insertVertex(v);
        return v;
    };
    CVertex* a = add(0, 0);
    CVertex* b = add(10, 0);
    CVertex* c = add(-7, 7);
    add(0.5, -5);
    add(-3, -6);
    CEdge* ab = m->findEdge(a, b);
    ASSERT_NE(ab, nullptr);
    CTriangle* t = ab->vertexA == a ? ab->leftTriangle : ab->rightTriangle;
    ASSERT_TRUE(t->vertex0 == c || t->vertex1 == c || t->vertex2 == c);
    // The edge at a that the insertion tests first decides where p goes:
    // beyond a along that edge.
    int k = 0;
    while (!((t->vertex(k) == a || t->vertex(k + 1) == a) && t->vertex(k) != nullptr &&
             (t->vertex(k) == b || t->vertex(k + 1) == b || t->vertex(k) == c || t->vertex(k + 1) == c)))
        ++k;
    const bool abFirst = t->vertex(k) == b || t->vertex(k + 1) == b;
    const double direction = (abFirst ? 110.0 : 25.0) * 3.141592653589793 / 180.0;
    const int before = liveTriangles(*m);
    add(1e-8 * std::cos(direction), 1e-8 * std::sin(direction));
    EXPECT_EQ(liveTriangles(*m), before + 2);
    double area = 0.0;
    for (int i = 0; i < m->nTriangles; ++i)
        if (m->triangles[i].alive) {
            EXPECT_GT(orientation(m->triangles[i]), 0.0);
            area += orientation(m->triangles[i]) / 2.0;
        }
    EXPECT_NEAR(area, 2000.0, 1e-12 * 2000.0);
}
