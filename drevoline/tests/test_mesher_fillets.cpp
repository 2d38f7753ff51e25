// Outlines whose curves are sampled finely next to long straight edges: the
// cleaning of the input polygon must keep every corner that turns, so that
// the mesh covers exactly the polygon and nothing outside it.
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "drevoline/tests/test_mesher_support.h"

using namespace mesher_test;

namespace {

constexpr double kPi = 3.14159265358979323846;

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

// A quarter circle of radius r about c from angle a0 towards a1, sampled
// within chord tolerance tol; the end point is left to the next piece.
void quarter(Pts& pts, double cx, double cy, double r, double a0, double a1, double tol)
{
    const double step = 2.0 * std::acos(1.0 - tol / r);
    const int n = static_cast<int>(std::ceil(std::fabs(a1 - a0) / step));
    for (int i = 0; i < n; ++i) {
        const double a = a0 + (a1 - a0) * i / n;
        pts.push_back(P(cx + r * std::cos(a), cy + r * std::sin(a)));
    }
}

// An I-beam 10 wide and 10 deep, flanges 1 thick, web 1 thick, with root
// fillets of radius 0.5 sampled at a chord tolerance of 0.001: 60 points.
Pts filletedIBeam()
{
    const double r = 0.5;
    const double tol = 0.001;
    Pts p = {P(0, 0), P(10, 0), P(10, 1)};
    quarter(p, 6, 1.5, r, -kPi / 2, -kPi, tol);
    quarter(p, 6, 8.5, r, kPi, kPi / 2, tol);
    for (const Point<double>& q : {P(10, 9), P(10, 10), P(0, 10), P(0, 9)})
        p.push_back(q);
    quarter(p, 4, 8.5, r, kPi / 2, 0, tol);
    quarter(p, 4, 1.5, r, 0, -kPi / 2, tol);
    p.push_back(P(0, 1));
    return p;
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
    ASSERT_NEAR(area, 28.0 + 4 * 0.25 * (1 - kPi / 4), 0.05);
    for (int extra : {10, 100, 1000}) {
        SCOPED_TRACE(std::to_string(extra) + " extra nodes");
        Outline o{polygonCurve(outline), {}};
        auto m = meshOutline(o, extra, 0.001);
        expectCoversOutline(*m, outline, area);
        // Every outline point survives as a mesh vertex.
        EXPECT_EQ(m->nInputNodes - 3, 60);
    }
}
