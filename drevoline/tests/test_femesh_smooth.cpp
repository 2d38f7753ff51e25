// Smoothing, node transforms, renaming, the curve resolver, and the
// neutral-axis queries on a solved stress field.
#include <numbers>
#include <climits>
#include <cmath>
#include <functional>
#include <stdexcept>

#include <gtest/gtest.h>

#include "analysis/model/CSectionForces.h"
#include "drevoline/mesh/CCurveResolver.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/tests/test_mesher_support.h"

using namespace mesher_test;

namespace {



// The unit square meshed with 200 extra nodes and its element model built,
// every node carrying the stress sigma(x, y).
std::unique_ptr<CMesh> stressedSquare(const std::function<double(double, double)>& sigma,
                                      Outline& o, int extra = 200)
{
    o.outer = polygonCurve(rectangle(0, 0, 1, 1));
    auto m = meshOutline(o, extra);
    m->create2DFEM(1.0);
    for (const auto& n : m->nodes)
        n->setResult(STRESS_ZZ, sigma(n->position.x, n->position.y));
    return m;
}

class FakeResolver : public CCurveResolver {
public:
    CCompositeCurve* findCompositeCurve(double x, double y, const CString& name) override
    {
        lastX = x;
        lastY = y;
        lastName = name;
        return answer;
    }
    CCompositeCurve* answer = nullptr;
    double lastX = 0.0;
    double lastY = 0.0;
    CString lastName;
};

}  // namespace

TEST(FEMeshSmooth, BoundaryStaysAndAHexagonCentreStays)
{
    // A regular hexagon with one vertex at its centre.
    CArray<Point<double>> pts;
    for (int k = 0; k <= 6; ++k)
        pts.Add(P(std::cos(k * std::numbers::pi / 3.0), std::sin(k * std::numbers::pi / 3.0)));
    // Room for one node beyond the corners: the worst triangle, three
    // consecutive corners, has the hexagon's centre as its circumcentre.
    CMesh m;
    m.maxRemoves = INT_MAX;
    m.alloc(7, 7);
    m.setBoundingVertices();
    m.addPolygon(nullptr, &pts, -1);
    m.computeMesh(nullptr);
    ASSERT_EQ(m.nNodes, 10);
    CVertex* centre = &m.vertices[9];
    ASSERT_NEAR(centre->x, 0.0, 1e-12);
    ASSERT_EQ(liveTriangles(m), 6);
    std::vector<Point<double>> before;
    for (int i = 0; i < m.nNodes; ++i)
        before.push_back(m.vertices[i].point());
    m.smooth();
    for (int i = 0; i < m.nNodes - 1; ++i) {
        EXPECT_EQ(m.vertices[i].x, before[i].x) << "vertex " << i;
        EXPECT_EQ(m.vertices[i].y, before[i].y) << "vertex " << i;
    }
    EXPECT_NEAR(centre->x, 0.0, 1e-15);
    EXPECT_NEAR(centre->y, 0.0, 1e-15);
}

TEST(FEMeshSmooth, MoveThatWouldFoldATriangleIsSkipped)
{
    // A chevron with one interior vertex at the origin joined to its four
    // corners: the mean of the corners, (0, 2), lies beyond the notch at
    // (0, 1), where two triangles would turn clockwise.
    // (Built step by step: the origin goes in before the outside is
    // removed, and the boundary is taken as it stands: its encroached sides
    // are not split.)
    auto m = prepared(5, 1);
    auto pts = array({P(0, -1), P(4, 4), P(0, 1), P(-4, 4), P(0, -1)});
    m->addPolygon(nullptr, &pts, -1);
    m->maxRemoves = INT_MAX;
    exactinit();
    m->constructInitialTriangulation();
    m->nInputNodes = m->nNodes;
    CVertex* v = m->newNode();
    m->insertVertex(v);
    m->removeOutsideTriangles();
    ASSERT_EQ(liveTriangles(*m), 4);
    m->smooth();
    EXPECT_EQ(v->x, 0.0);
    EXPECT_EQ(v->y, 0.0);
    for (int i = 0; i < m->nTriangles; ++i)
        if (m->triangles[i].alive) {
            EXPECT_GT(orientation(m->triangles[i]), 0.0) << "triangle " << i;
        }
}

TEST(FEMeshSmooth, ThreeSweepsKeepEveryTriangleCounterClockwise)
{
    auto lAngle = [] {
        return Outline{polygonCurve({P(0, 0), P(2, 0), P(2, 0.5), P(0.5, 0.5), P(0.5, 2), P(0, 2)}), {}};
    };
    auto holed = [] {
        Outline o{polygonCurve(rectangle(0, 0, 4, 4)), {}};
        o.holes.push_back(polygonCurve(rectangle(1, 1, 3, 2, true)));
        return o;
    };
    auto ring = [] {
        Outline o{circleCurve(0, 0, 2), {}};
        o.holes.push_back(circleCurve(0, 0, 1));
        return o;
    };
    auto iShape = [] {
        return Outline{polygonCurve({P(0, 0), P(10, 0), P(10, 1), P(5.5, 1), P(5.5, 9), P(10, 9),
                                     P(10, 10), P(0, 10), P(0, 9), P(4.5, 9), P(4.5, 1), P(0, 1)}),
                       {}};
    };
    auto plate = [] {
        Outline o{polygonCurve(rectangle(0, 0, 20, 20)), {}};
        for (int i = 0; i < 10; ++i)
            for (int j = 0; j < 10; ++j)
                o.holes.push_back(polygonCurve(rectangle(0.75 + 2 * i, 0.75 + 2 * j, 1.25 + 2 * i,
                                                         1.25 + 2 * j, true)));
        return o;
    };
    auto square = [] { return Outline{polygonCurve(rectangle(0, 0, 1, 1)), {}}; };
    const std::function<Outline()> shapes[] = {square, lAngle, holed, iShape, ring, plate};
    for (const auto& make : shapes) {
        Outline o = make();
        auto m = meshOutline(o, 1000);
        const double area = o.polygonArea();
        for (int sweep = 0; sweep < 3; ++sweep)
            m->smooth();
        double sum = 0.0;
        for (int i = 0; i < m->nTriangles; ++i) {
            const CTriangle& t = m->triangles[i];
            if (!t.alive)
                continue;
            const double o2 = orientation(t);
            ASSERT_GT(o2, 0.0) << "triangle " << i;
            sum += o2 / 2.0;
        }
        EXPECT_NEAR(sum, area, 1e-9 * area);
    }
}

TEST(FEMeshSmooth, TransformsMoveTheNodesOnly)
{
    Outline o;
    auto m = stressedSquare([](double, double) { return 1.0; }, o, 20);
    CVertex* v = m->nodes[0]->vertex;
    const double vx = v->x;
    const double vy = v->y;
    const Point<double> p = m->nodes[0]->position;
    m->translate(2.0, 3.0);
    EXPECT_EQ(m->nodes[0]->position.x, p.x + 2.0);
    EXPECT_EQ(m->nodes[0]->position.y, p.y + 3.0);
    m->rotate(0.0, 0.0, 180.0);
    EXPECT_NEAR(m->nodes[0]->position.x, -(p.x + 2.0), 1e-12);
    Point<double> a(0, 0, 0);
    Point<double> b(1, 0, 0);
    m->mirror(a, b);  // in the x axis
    EXPECT_NEAR(m->nodes[0]->position.y, p.y + 3.0, 1e-12);
    EXPECT_EQ(v->x, vx);
    EXPECT_EQ(v->y, vy);
}

TEST(FEMeshSmooth, NameMaterialAndCurveLookup)
{
    Outline o{polygonCurve(rectangle(0, 0, 1, 1)), {}};
    auto m = meshOutline(o, 10);
    m->updateName(CString(L"plate"));
    EXPECT_TRUE(m->name == CString(L"plate"));
    for (int i = 0; i < m->nSegments; ++i)
        EXPECT_TRUE(m->segments[i].curveName == CString(L"plate"));
    auto metal = std::shared_ptr<CMetal>(reinterpret_cast<CMetal*>(0x2000), [](CMetal*) {});
    m->setMaterial(metal);
    for (int i = 0; i < m->nTriangles; ++i)
        EXPECT_EQ(m->triangles[i].material, metal.get());

    EXPECT_EQ(m->findCompositeCurve(1.0, 2.0, CString(L"web")), nullptr);
    FakeResolver resolver;
    resolver.answer = o.outer.get();
    m->setModel(&resolver);
    EXPECT_EQ(m->findCompositeCurve(1.0, 2.0, CString(L"web")), o.outer.get());
    EXPECT_EQ(resolver.lastX, 1.0);
    EXPECT_EQ(resolver.lastY, 2.0);
    EXPECT_TRUE(resolver.lastName == CString(L"web"));
}

TEST(FEMeshNeutralAxis, AngleAndPointOfTheZeroStressLine)
{
    struct Case {
        const char* what;
        std::function<double(double, double)> sigma;
        double angle;
    } cases[] = {
        {"vertical", [](double x, double) { return x - 0.3; }, 90.0},
        {"horizontal", [](double, double y) { return y - 0.43; }, 0.0},
        {"diagonal", [](double x, double y) { return x - y + 0.0137; }, 45.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Outline o;
        auto m = stressedSquare(c.sigma, o);
        EXPECT_NEAR(m->findNeutralAxisAngle(), c.angle, 1e-9);
        CSectionForces f;
        Point<double> near(0.5, 0.5, 0.0);
        ASSERT_TRUE(m->pointOnNeutralAxis(&f, near));
        EXPECT_NEAR(c.sigma(f.neutralPoint.x, f.neutralPoint.y), 0.0, 1e-12);
    }
}

TEST(FEMeshNeutralAxis, NoCrossingAndASingleCrossedElement)
{
    Outline o;
    auto m = stressedSquare([](double x, double) { return x + 1.0; }, o);
    CSectionForces f;
    f.neutralPoint = Point<double>(7, 8, 9);
    Point<double> p(0.5, 0.5, 0.0);
    EXPECT_FALSE(m->pointOnNeutralAxis(&f, p));
    EXPECT_EQ(f.neutralPoint.x, 7.0);
    EXPECT_THROW(m->findNeutralAxisAngle(), std::logic_error);

    // Two triangles: the corner off the diagonal belongs to one of them only;
    // a negative stress there makes the zero line cut that corner off.
    auto t = unrefined(rectangle(0, 0, 1, 1));
    t->create2DFEM(1.0);
    ASSERT_EQ(t->trng3Elements.size(), 2u);
    for (const auto& n : t->nodes)
        n->setResult(STRESS_ZZ, 1.0);
    const CFETrng3& first = *t->trng3Elements[0];
    const CFETrng3& second = *t->trng3Elements[1];
    std::shared_ptr<CFENodeAnalysis> lone;
    for (const auto& n : first.nodes)
        if (n != second.nodes[0] && n != second.nodes[1] && n != second.nodes[2])
            lone = n;
    ASSERT_TRUE(lone);
    lone->setResult(STRESS_ZZ, -1.0);
    std::vector<Point<double>> mids;
    for (const auto& n : first.nodes)
        if (n != lone)
            mids.push_back((n->position + lone->position) * 0.5);
    const double expected = std::atan((mids[1].y - mids[0].y) / (mids[1].x - mids[0].x)) * 180.0 / std::numbers::pi;
    EXPECT_NEAR(t->findNeutralAxisAngle(), expected, 1e-12);
    EXPECT_NEAR(std::fabs(expected), 45.0, 1e-12);
}

TEST(FEMeshNeutralAxis, SplitAreaTotalsAreTheMeshArea)
{
    Outline o;
    auto m = stressedSquare([](double x, double) { return x - 0.3; }, o);
    double r[12];
    m->splitArea(true, Point<double>(0.37, 0, 0), Point<double>(0.37, 1, 0), &r[0], &r[1], &r[2],
                 &r[3], &r[4], &r[5], &r[6], &r[7], &r[8], &r[9], &r[10], &r[11]);
    EXPECT_NEAR(r[1] + r[7], 1.0, 1e-12);
    // The line x = 0.37 runs upward: the positive (left) side is x < 0.37.
    EXPECT_NEAR(r[1], 0.37, 1e-12);
}
