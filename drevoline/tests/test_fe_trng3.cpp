// The 3-node triangle: stiffness, point and side tests, splits, box forces
// and the element record.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/predicates/Predicates.h"
#include "analysis/tests/TestSupport.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFETrng3.h"
#include "platform/core/Exceptions.h"
#include "test_mesh_support.h"

using mesh_test::logicText;
using mesh_test::metal;
using mesh_test::node;

namespace {

class FETrng3 : public ::testing::Test {
protected:
    void SetUp() override { exactinit(); }

    // The triangle (0,0), (1,0), (0,1) of the given material.
    CFETrng3& unitTriangle(const CMetal* m)
    {
        nodes = {node(1, 0, 0), node(2, 1, 0), node(3, 0, 1)};
        tri.set(nodes[0], nodes[1], nodes[2], m, 1.0);
        return tri;
    }

    std::vector<std::shared_ptr<CFENodeAnalysis>> nodes;
    CFETrng3 tri;
};

// K·d for a 6 x 6 matrix and a displacement vector.
std::vector<double> times(const Matrix& K, const double* d)
{
    std::vector<double> f(6, 0.0);
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j)
            f[i] += K(i, j) * d[j];
    return f;
}

}  // namespace

TEST_F(FETrng3, StiffnessOfTheUnitRightTriangle)
{
    auto m = metal("M", 1.0, 0.3);
    CFETrng3& t = unitTriangle(m.get());
    EXPECT_EQ(t.kind, CFEElementAnalysis::kInplaneTri);
    t.stiffness();
    const Matrix& K = t.Ksum;
    EXPECT_NEAR(K(0, 0), 135.0 / 182.0, 1e-14);  // u1, u1
    EXPECT_NEAR(K(0, 1), 5.0 / 14.0, 1e-14);     // u1, v1
    EXPECT_NEAR(K(2, 2), 50.0 / 91.0, 1e-14);    // u2, u2
    EXPECT_NEAR(K(3, 3), 5.0 / 26.0, 1e-14);     // v2, v2
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j)
            EXPECT_NEAR(K(i, j), K(j, i), 1e-15) << i << "," << j;

    // Rigid translations and the rigid rotation produce no forces.
    const double modes[3][6] = {{1, 0, 1, 0, 1, 0}, {0, 1, 0, 1, 0, 1}, {0, 0, 0, 1, -1, 0}};
    for (const auto& mode : modes)
        for (double f : times(K, mode))
            EXPECT_NEAR(f, 0.0, 1e-14);
    // Those three are all: with u1, v1, v2 held the rest is non-singular (rank 3).
    CArray<int, int> held;
    for (int i : {0, 1, 3})
        held.Add(i);
    EXPECT_GT(std::fabs(K.reduce(&held).det3x3()), 1e-3);

    auto m0 = metal("M0", 1.0, 0.0);
    CFETrng3 t0(nodes[0], nodes[1], nodes[2], m0.get(), 1.0);
    t0.stiffness();
    EXPECT_NEAR(t0.Ksum(0, 0), 0.75, 1e-15);
}

TEST_F(FETrng3, LocalAxesAndTransformation)
{
    CFETrng3& t = unitTriangle(nullptr);
    t.localGlobalTransform();
    // Edge 1-2 along +x; the first axis perpendicular to it, away from node 3.
    EXPECT_NEAR(t.axis2[0], 1.0, 1e-15);
    EXPECT_NEAR(t.axis1[1], -1.0, 1e-15);
    ASSERT_EQ(t.T.nrows(), 9);
    EXPECT_NEAR(t.T(0, 1), -1.0, 1e-15);
    EXPECT_NEAR(t.T(3, 3), 1.0, 1e-15);
    EXPECT_NEAR(t.T(4, 7), -1.0, 1e-15);
    EXPECT_EQ(t.T(6, 6), 0.0);
}

TEST_F(FETrng3, GeometryAndPointTests)
{
    CFETrng3& t = unitTriangle(nullptr);
    nodes[2]->position.z = 3.0;
    EXPECT_DOUBLE_EQ(t.area(), 0.5);
    EXPECT_DOUBLE_EQ(t.center().z, 1.0);  // all three coordinates averaged
    Point<double> lo, hi;
    t.extents(lo, hi);
    EXPECT_EQ(lo.z, 0.0);
    EXPECT_EQ(hi.z, 0.0);
    EXPECT_EQ(hi.y, 1.0);
    EXPECT_EQ(t.x32(), -1.0);
    EXPECT_EQ(t.y31(), 1.0);

    const Point<double> inside(0.2, 0.2, 0), onEdge(0.5, 0.5, 0), vertex(1, 0, 0);
    EXPECT_TRUE(t.contains(&inside));
    EXPECT_FALSE(t.contains(&onEdge));
    EXPECT_FALSE(t.contains(&vertex));
    CFETrng3 clockwise(nodes[0], nodes[2], nodes[1], nullptr, 1.0);
    EXPECT_FALSE(clockwise.contains(&inside));

    CFETrng3 empty;
    EXPECT_THROW(empty.area(), CInvalidArgException);
    EXPECT_EQ(empty.n1(), nullptr);
    EXPECT_EQ(CFETrng3::findNode(&nodes, 2), nodes[1]);
    EXPECT_EQ(CFETrng3::findNode(&nodes, 9), nullptr);
    EXPECT_EQ(logicText([&] { tri.set(nodes[0], nullptr, nodes[2], nullptr, 1.0); }),
              "null node point in triangle creation");
}

TEST_F(FETrng3, ValuesAndContourPieces)
{
    CFETrng3& t = unitTriangle(nullptr);
    // f = 2x + 3y + 1 at the nodes: 1, 3, 4.
    const double f[3] = {1, 3, 4};
    for (int i = 0; i < 3; ++i)
        nodes[i]->setResult(STRESS_ZZ, f[i]);
    EXPECT_NEAR(t.ValueAtPoint(STRESS_ZZ, Point<double>(0.25, 0.5, 0)), 3.0, 1e-14);
    EXPECT_NEAR(t.averageValue(STRESS_ZZ), 8.0 / 3.0, 1e-14);

    Point<double> p1, p2;
    ASSERT_TRUE(t.contourLine(STRESS_ZZ, 2.0, p1, p2));
    EXPECT_NEAR(p1.x, 0.5, 1e-15);  // on edge 1-2
    EXPECT_NEAR(p2.y, 1.0 / 3.0, 1e-15);  // on edge 3-1
    // A level equal to a nodal value: the node counts as above the level, so
    // the contour runs from that node (1, 0) across edge 3-1 to (0, 2/3).
    ASSERT_TRUE(t.contourLine(STRESS_ZZ, 3.0, p1, p2));
    EXPECT_EQ(p1, Point<double>(1.0, 0.0, 0.0));
    EXPECT_NEAR(p2.x, 0.0, 1e-15);
    EXPECT_NEAR(p2.y, 2.0 / 3.0, 1e-15);
}

TEST_F(FETrng3, SplitByAVerticalLine)
{
    auto m = metal("M");
    CFETrng3& t = unitTriangle(m.get());
    double out[12];
    t.splitArea(true, Point<double>(0.5, 0, 0), Point<double>(0.5, 1, 0), &out[0], &out[1], &out[2],
                &out[3], &out[4], &out[5], &out[6], &out[7], &out[8], &out[9], &out[10], &out[11]);
    // Positive side x < 0.5: area 0.375, centroid (2/9, 7/18), about (0.5, 0);
    // second moments integrated over the quadrilateral: int y^2 = 15/192,
    // int (x - 0.5)^2 = 7/192.
    const double positive[6] = {0.375, 0.375, 0.375 * 7 / 18, 0.375 * (2.0 / 9 - 0.5), 15.0 / 192, 7.0 / 192};
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(out[i], positive[i], 1e-14) << i;
    EXPECT_NEAR(out[2], 0.145833, 1e-6);
    EXPECT_NEAR(out[3], -0.104167, 1e-6);
    EXPECT_NEAR(out[4], 0.078125, 1e-6);
    EXPECT_NEAR(out[5], 0.036458, 1e-6);
    // Negative side: the corner at (1, 0), area 0.125, centroid (2/3, 1/6).
    EXPECT_NEAR(out[7], 0.125, 1e-15);
    EXPECT_NEAR(out[8], 0.125 / 6, 1e-15);
    EXPECT_NEAR(out[9], 0.125 * (2.0 / 3 - 0.5), 1e-15);

    // The line along an edge gives the element to the side of the third node.
    t.splitArea(false, Point<double>(0, 0, 0), Point<double>(1, 0, 0), &out[0], &out[1], &out[2],
                &out[3], &out[4], &out[5], &out[6], &out[7], &out[8], &out[9], &out[10], &out[11]);
    EXPECT_NEAR(out[1], 0.5, 1e-15);
    EXPECT_EQ(out[7], 0.0);
    // Through node 1 and the middle of edge 2-3.
    t.splitArea(false, Point<double>(0, 0, 0), Point<double>(1, 1, 0), &out[0], &out[1], &out[2],
                &out[3], &out[4], &out[5], &out[6], &out[7], &out[8], &out[9], &out[10], &out[11]);
    EXPECT_NEAR(out[1], 0.25, 1e-15);
    EXPECT_NEAR(out[7], 0.25, 1e-15);

    CFETrng3 flat(node(1, 0, 0), node(2, 1, 0), node(3, 2, 0), m.get(), 1.0);
    EXPECT_EQ(logicText([&] {
                  flat.splitArea(true, Point<double>(0, 0, 0), Point<double>(1, 0, 0), &out[0], &out[1],
                                 &out[2], &out[3], &out[4], &out[5], &out[6], &out[7], &out[8], &out[9],
                                 &out[10], &out[11]);
              }),
              "Spliarea3Pts condition not handled");
}

TEST_F(FETrng3, UncomputedWeightsAreRefused)
{
    CMetal fresh;  // both weights -1000: not computed
    CFETrng3& t = unitTriangle(&fresh);
    double out[12];
    EXPECT_EQ(logicText([&] {
                  t.splitArea(true, Point<double>(0.5, 0, 0), Point<double>(0.5, 1, 0), &out[0], &out[1],
                              &out[2], &out[3], &out[4], &out[5], &out[6], &out[7], &out[8], &out[9],
                              &out[10], &out[11]);
              }),
              "nPlastic is not computed.");
    Point<double> lo(-1, -1, 0), hi(2, 2, 0), c(0, 0, 0);
    double force = 0, moment = 0, area = 0;
    bool multiple = false;
    EXPECT_EQ(logicText([&] { t.boxForce(lo, hi, c, 0.0, &force, &moment, &area, &multiple); }),
              "nE is not computed.");
}

TEST_F(FETrng3, BoxClassesFromNodeCounts)
{
    bool multiple = false;
    EXPECT_EQ(CFETrng3::insideBox(3, 0, 0, 0, 3, 0, 3, 0, 0, 0, 3, 0, &multiple), BOX_INSIDE);
    EXPECT_EQ(CFETrng3::insideBox(0, 3, 0, 0, 3, 0, 3, 0, 0, 0, 3, 0, &multiple), BOX_OUTSIDE);
    EXPECT_EQ(CFETrng3::insideBox(1, 2, 0, 0, 3, 0, 3, 0, 0, 0, 3, 0, &multiple), BOX_STRADDLES_LEFT);
    EXPECT_FALSE(multiple);
    // Across the left side and the bottom at once (a corner of the box).
    EXPECT_EQ(CFETrng3::insideBox(1, 2, 0, 0, 3, 0, 2, 1, 0, 0, 3, 0, &multiple), BOX_STRADDLES_BOTTOM);
    EXPECT_TRUE(multiple);
    EXPECT_EQ(logicText([&] { CFETrng3::insideBox(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, &multiple); }),
              "Classification of of inside box failed");

    CFETrng3& t = unitTriangle(nullptr);
    int inside = 0, outside = 0, on = 0;
    t.nodesInsideOrOn(Point<double>(0, 0, 0), Point<double>(2, 2, 0), &inside, &outside, &on);
    EXPECT_EQ(inside, 0);
    EXPECT_EQ(on, 4);  // (0,0) is a corner: on two sides
    EXPECT_EQ(outside, 0);
}

// Under a linear stress field the box forces of a mesh sum to the exact
// integral over the part of the mesh inside the box.
TEST_F(FETrng3, BoxForceIntegratesALinearFieldExactly)
{
    auto m = metal("M");
    const double alpha = 2.0, beta = -3.0, gamma = 0.5;
    std::vector<std::shared_ptr<CFENodeAnalysis>> grid;
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) {
            grid.push_back(node(j * 3 + i, 0.5 * i, 0.5 * j));
            grid.back()->setResult(STRESS_ZZ, alpha * 0.5 * i + beta * 0.5 * j + gamma);
        }
    std::vector<std::unique_ptr<CFETrng3>> elements;
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i) {
            auto a = grid[j * 3 + i], b = grid[j * 3 + i + 1], c = grid[j * 3 + i + 4], d = grid[j * 3 + i + 3];
            elements.push_back(std::make_unique<CFETrng3>(a, b, c, m.get(), 1.0));
            elements.push_back(std::make_unique<CFETrng3>(a, c, d, m.get(), 1.0));
        }
    // The box's left side x = 0.3 cuts the left column of elements.
    Point<double> lo(0.3, -1, 0), hi(2, 2, 0), origin(0, 0, 0);
    double force = 0, moment = 0, area = 0;
    for (const auto& e : elements) {
        double f = 0, mo = 0, a = 0;
        bool multiple = false;
        e->boxForce(lo, hi, origin, M_PI / 2, &f, &mo, &a, &multiple);
        EXPECT_FALSE(multiple);
        force += f;
        moment += mo;
        area += a;
    }
    const double A = 0.7, Sx = (1.0 - 0.09) / 2.0, Sy = 0.35;
    EXPECT_NEAR(area, A, 1e-14);
    EXPECT_NEAR(force, alpha * Sx + beta * Sy + gamma * A, 1e-14);
    // Distances from the vertical line through the origin are -x.
    EXPECT_NEAR(moment, -Sx, 1e-14);

    // An element wholly outside the box gives nothing.
    Point<double> farLo(5, 5, 0), farHi(6, 6, 0);
    bool multiple = false;
    elements[0]->boxForce(farLo, farHi, origin, 0.0, &force, &moment, &area, &multiple);
    EXPECT_EQ(force, 0.0);
    EXPECT_EQ(area, 0.0);
}

TEST_F(FETrng3, CrossingsOfALine)
{
    CFETrng3& t = unitTriangle(nullptr);
    Point<double> a(0.5, -1, 0), b(0.5, 2, 0), p1, p2;
    ASSERT_TRUE(t.pointsOnLine(a, b, &p1, &p2));
    EXPECT_NEAR(p1.y, 0.0, 1e-15);
    EXPECT_NEAR(p2.y, 0.5, 1e-15);
    Point<double> c(0, 0, 0), d(1, 1, 0);
    ASSERT_TRUE(t.pointsOnLine(c, d, &p1, &p2));
    EXPECT_EQ(p1.x, 0.0);
    EXPECT_NEAR(p2.x, 0.5, 1e-15);
    Point<double> e(3, 0, 0), f(3, 1, 0);
    EXPECT_FALSE(t.pointsOnLine(e, f, &p1, &p2));
}

TEST_F(FETrng3, RecordRoundTripsAndElementsLeaveTheirNodes)
{
    auto m = metal("Steel");
    mesh_test::ScopedModel model(m);
    CFETrng3& t = unitTriangle(m.get());
    t.id = 12;
    nodes[1]->number = 70000;
    const auto bytes = test_support::stored([&](CArchive& ar) { t.Serialize(ar, &nodes); });
    ASSERT_EQ(bytes.size(), 4u * 4 + 1 + 4 + 2 * 5);
    EXPECT_EQ(bytes[4 * 4], 1);

    {
        CFETrng3 back;
        test_support::loaded(bytes, [&](CArchive& ar) { back.Serialize(ar, &nodes); });
        EXPECT_EQ(back.id, 12);
        EXPECT_EQ(back.n2(), nodes[1]);
        EXPECT_EQ(back.material, m.get());
        EXPECT_EQ(nodes[1]->elements.size(), 2u);
        EXPECT_EQ(test_support::stored([&](CArchive& ar) { back.Serialize(ar, &nodes); }), bytes);
    }
    // The destroyed copy left the nodes' element lists.
    ASSERT_EQ(nodes[1]->elements.size(), 1u);
    EXPECT_EQ(nodes[1]->elements[0], &t);

    auto other = metal("Other");
    CFETrng3 stranger(nodes[0], nodes[1], nodes[2], other.get(), 1.0);
    const auto strangerBytes = test_support::stored([&](CArchive& ar) { stranger.Serialize(ar, &nodes); });
    CFETrng3 lost;
    EXPECT_EQ(logicText([&] {
                  test_support::loaded(strangerBytes, [&](CArchive& ar) { lost.Serialize(ar, &nodes); });
              }),
              "Element material is not recovered.");
}
