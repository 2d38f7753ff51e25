// The 4-node quadrilateral: value at a point, point test, contour pieces
// and the element record.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/predicates/Predicates.h"
#include "analysis/tests/TestSupport.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFEQuad4.h"
#include "test_mesh_support.h"

using mesh_test::logicText;
using mesh_test::metal;
using mesh_test::node;

namespace {

// A quadrilateral on the four corners with f = 2x + 3y + 1 at its nodes.
struct LinearQuad {
    std::vector<std::shared_ptr<CFENodeAnalysis>> nodes;
    std::unique_ptr<CFEQuad4> quad;

    explicit LinearQuad(const double (&xy)[4][2], const CMetal* m = nullptr)
    {
        for (int i = 0; i < 4; ++i) {
            nodes.push_back(node(i + 1, xy[i][0], xy[i][1]));
            nodes.back()->setResult(STRESS_ZZ, 2 * xy[i][0] + 3 * xy[i][1] + 1);
        }
        quad = std::make_unique<CFEQuad4>(7, nodes[0], nodes[1], nodes[2], nodes[3], m);
    }
};

double field(double x, double y) { return 2 * x + 3 * y + 1; }

}  // namespace

TEST(FEQuad4, ValueAtPointByInverseMapping)
{
    const double kite[4][2] = {{0, 0}, {1.5, 0}, {1, 1}, {0, 1.5}};
    LinearQuad q(kite);
    EXPECT_NEAR(q.quad->ValueAtPoint(STRESS_ZZ, Point<double>(0.5, 0.5, 0)), 3.5, 1e-12);

    // Rectangles map linearly: the quadratic term vanishes. One with a
    // vertical first edge needs the y equation for l.
    struct Rectangle {
        double corners[4][2];
        double points[3][2];
    };
    const Rectangle rectangles[] = {
        {{{0, 0}, {2, 0}, {2, 1}, {0, 1}}, {{0.5, 0.25}, {0, 0}, {1.5, 0.75}}},
        {{{0, 0}, {0, 2}, {-1, 2}, {-1, 0}}, {{-0.25, 1.5}, {0, 0}, {-1, 0.5}}},
    };
    for (const Rectangle& r : rectangles) {
        LinearQuad rect(r.corners);
        for (const auto& p : r.points) {
            const double v = rect.quad->ValueAtPoint(STRESS_ZZ, Point<double>(p[0], p[1], 0));
            EXPECT_FALSE(std::isnan(v));
            EXPECT_NEAR(v, field(p[0], p[1]), 1e-12) << p[0] << "," << p[1];
        }
    }
    EXPECT_DOUBLE_EQ(q.quad->center().x, 2.5 / 4);
    EXPECT_DOUBLE_EQ(N1(-1, -1) + N2(-1, -1) + N3(-1, -1) + N4(-1, -1), 1.0);
    EXPECT_DOUBLE_EQ(N3(1, 1), 1.0);
}

TEST(FEQuad4, PointTestAndExtents)
{
    exactinit();
    const double square[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    LinearQuad q(square);
    const Point<double> in(0.5, 0.5, 0), edge(1, 0.5, 0), corner(0, 0, 0);
    EXPECT_TRUE(q.quad->contains(&in));
    EXPECT_FALSE(q.quad->contains(&edge));
    EXPECT_FALSE(q.quad->contains(&corner));
    q.nodes[2]->position.z = 4;
    Point<double> lo, hi;
    q.quad->extents(lo, hi);
    EXPECT_EQ(hi.x, 1.0);
    EXPECT_EQ(hi.z, 0.0);
    EXPECT_EQ(CFEQuad4::findNode(&q.nodes, 3), q.nodes[2]);
    // The quadrilateral does not enter its nodes' element lists.
    EXPECT_TRUE(q.nodes[0]->elements.empty());
}

TEST(FEQuad4, ContourPiecesIncludeTouchingEdges)
{
    const double square[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    LinearQuad q(square);
    struct Case {
        double f[4];
        double level;
        bool found;
        double p1[2], p2[2];
    };
    const Case cases[] = {
        // A level at nodes 2 and 4: every edge touches it; the second point is the last.
        {{0, 1, 2, 1}, 1.0, true, {1, 0}, {0, 1}},
        // A saddle: the first crossing on edge 1-2, the last on edge 4-1.
        {{1, -1, 1, -1}, 0.0, true, {0.5, 0}, {0, 0.5}},
        // Edge 1-2 lies at the level: its start is taken, no division by zero.
        {{1, 1, 2, 2}, 1.0, true, {0, 0}, {0, 0}},
        {{1, 2, 3, 4}, 9.0, false, {0, 0}, {0, 0}},
    };
    for (const Case& c : cases) {
        for (int i = 0; i < 4; ++i)
            q.nodes[i]->setResult(STRESS_ZZ, c.f[i]);
        Point<double> p1(-9, -9, 0), p2(-9, -9, 0);
        EXPECT_EQ(q.quad->contourLine(STRESS_ZZ, c.level, p1, p2), c.found);
        if (!c.found)
            continue;
        EXPECT_NEAR(p1.x, c.p1[0], 1e-15);
        EXPECT_NEAR(p1.y, c.p1[1], 1e-15);
        EXPECT_NEAR(p2.x, c.p2[0], 1e-15);
        EXPECT_NEAR(p2.y, c.p2[1], 1e-15);
    }
}

TEST(FEQuad4, RecordRoundTrips)
{
    auto m = metal("Al");
    mesh_test::ScopedModel model(m);
    const double square[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    LinearQuad q(square, m.get());
    const auto bytes = test_support::stored([&](CArchive& ar) { q.quad->Serialize(ar, &q.nodes); });
    ASSERT_EQ(bytes.size(), 5u * 4 + 1 + 4 + 2 * 2);
    CFEQuad4 back;
    test_support::loaded(bytes, [&](CArchive& ar) { back.Serialize(ar, &q.nodes); });
    EXPECT_EQ(back.number, 7);
    EXPECT_EQ(back.node(3), q.nodes[3]);
    EXPECT_EQ(back.material, m.get());
    EXPECT_EQ(test_support::stored([&](CArchive& ar) { back.Serialize(ar, &q.nodes); }), bytes);

    auto other = metal("Other");
    LinearQuad stranger(square, other.get());
    const auto strangerBytes = test_support::stored([&](CArchive& ar) { stranger.quad->Serialize(ar, &q.nodes); });
    CFEQuad4 lost;
    EXPECT_EQ(logicText([&] {
                  test_support::loaded(strangerBytes, [&](CArchive& ar) { lost.Serialize(ar, &q.nodes); });
              }),
              "Material not found during serialization");
}
