// Outlines whose curves are sampled finely next to long straight edges: the
// cleaning of the input polygon must keep every corner that turns, so that
// the mesh covers exactly the polygon and nothing outside it.
#include <numbers>
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "drevoline/tests/test_mesher_support.h"

using namespace mesher_test;

namespace {


// Twice the signed area of the closed polygon, by the shoelace formula.
double shoelace2(const Pts& p)
{
    double s = 0.0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const Point<double>& a = p[i];
        const Point<double>& b = p[(i + 1) % p.size()];
        s += a.x * b.y - b.x * a.y;
    }
    return s;
}

// Whether (x, y) lies inside the closed polygon (crossing count).
bool inside(const Pts& p, double x, double y)
{
    bool in = false;
    for (std::size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
        if ((p[i].y > y) != (p[j].y > y) &&
            x < (p[j].x - p[i].x) * (y - p[i].y) / (p[j].y - p[i].y) + p[i].x)
            in = !in;
    }
    return in;
}

// The sound-mesh invariants, the live area equal to `area`, and every live
// triangle's centroid inside the outline.
void expectCoversOutline(CMesh& m, const Pts& outline, double area)
{
    expectSoundMesh(m, area, 0);
    EXPECT_FALSE(m.incomplete);
    for (int i = 0; i < m.nTriangles; ++i) {
        const CTriangle& t = m.triangles[i];
        if (!t.alive)
            continue;
        const Point<double> g = t.centroid();
        EXPECT_TRUE(inside(outline, g.x, g.y))
            << "triangle " << i << " with centroid (" << g.x << ", " << g.y << ") lies outside";
    }
}

}  // namespace

TEST(MesherFillets, ShortTurnAfterLongEdgeIsKept)
{
    // (10, 0) turns the boundary by almost 6 degrees, but seen from (0, 0)
    // it and (10.1, 0.01) are less than a tenth of a degree apart.
    const Pts outline = {P(0, 0), P(10, 0), P(10.1, 0.01), P(10.1, 1), P(0, 1)};
    auto a = array(outline);
    CMesh cleaner;
    cleaner.removeColinear(&a);
    EXPECT_EQ(a.GetSize(), 5);

    // 10.1 x 1 less the sliver 0.1 x 0.01 / 2 under the short edge.
    const double area = 10.1 - 0.0005;
    ASSERT_NEAR(shoelace2(outline) / 2.0, area, 1e-14);
    for (int extra : {20, 200}) {
        SCOPED_TRACE(std::to_string(extra) + " extra nodes");
        Outline o{polygonCurve(outline), {}};
        auto m = meshOutline(o, extra);
        expectCoversOutline(*m, outline, area);
    }
}

TEST(MesherFillets, FilletedIBeamCoversItsOutline)
{
    const Pts outline = filletedIBeam();
    ASSERT_EQ(outline.size(), 60u);
    const double area = shoelace2(outline) / 2.0;
    // Flanges and web 28, four fillets of r^2 (1 - pi/4) each, the chords
    // adding a little: a check on the outline, not on the mesher.
    ASSERT_NEAR(area, 28.0 + 4 * 0.25 * (1 - std::numbers::pi / 4), 0.05);
    for (int extra : {10, 100, 1000}) {
        SCOPED_TRACE(std::to_string(extra) + " extra nodes");
        Outline o{polygonCurve(outline), {}};
        auto m = meshOutline(o, extra, 0.001);
        expectCoversOutline(*m, outline, area);
        // Every outline point survives as a mesh vertex.
        EXPECT_EQ(m->nInputNodes - 3, 60);
    }
}
