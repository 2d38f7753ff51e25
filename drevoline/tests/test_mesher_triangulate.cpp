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

CArray<Point<double>> array(const Pts& pts)
{
    CArray<Point<double>> a;
    for (const Point<double>& p : pts)
        a.Add(p);
    return a;
}

std::string failure(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const std::logic_error& e) {
        return e.what();
    }
    return "";
}

// A mesh with storage for n polygon points, the bounding vertices set and
// no budget limit.
std::unique_ptr<CMesh> prepared(int n, int extra = 0)
{
    auto m = std::make_unique<CMesh>();
    m->maxRemoves = INT_MAX;
    m->alloc(n + extra, n);
    m->setBoundingVertices();
    return m;
}

// Runs the pipeline up to the boundary freeze (no refinement).
void triangulateOnly(CMesh& m)
{
    m.nRemoves = 0;
    exactinit();
    m.constructInitialTriangulation();
    m.nInputNodes = m.nNodes;
    m.insertMissingSegments();
    m.removeOutsideTriangles();
    m.freezeEdgesThatAreSegments();
}

int liveTriangles(const CMesh& m)
{
    int n = 0;
    for (int i = 0; i < m.nTriangles; ++i)
        n += m.triangles[i].alive ? 1 : 0;
    return n;
}

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
        if (c.ok)
            EXPECT_TRUE(m.checkInputAngles(&pts)) << c.what;
        else
            EXPECT_EQ(failure([&] { m.checkInputAngles(&pts); }), refused) << c.what;
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

TEST(MesherPipeline, FullVertexArrayAfterRecoveryFails)
{
    auto m = prepared(4);  // maxNodes 7: the bounding vertices and the corners exactly
    auto pts = array(kUnitSquareClosed);
    m->addPolygon(nullptr, &pts, -1);
    ASSERT_EQ(m->nNodes, m->maxNodes);
    m->nRemoves = 0;
    exactinit();
    m->constructInitialTriangulation();
    m->nInputNodes = m->nNodes;
    EXPECT_EQ(failure([&] { m->insertMissingSegments(); }),
              "Not enough vertices to make all the segments");
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
