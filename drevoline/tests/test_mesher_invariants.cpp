// Every finished mesh, whatever the outline and the node allowance: live
// triangles counter-clockwise, the area of the polygons exactly covered,
// Euler's relation with holes, every segment one frozen boundary edge, the
// node allowance spent, and the same output on every run.
#include <cstring>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "drevoline/tests/test_mesher_support.h"

using namespace mesher_test;

namespace {

Outline square()
{
    return {polygonCurve(rectangle(0, 0, 1, 1)), {}};
}

Outline lAngle()
{
    return {polygonCurve({P(0, 0), P(2, 0), P(2, 0.5), P(0.5, 0.5), P(0.5, 2), P(0, 2)}), {}};
}

Outline squareWithClockwiseHole()
{
    Outline o{polygonCurve(rectangle(0, 0, 4, 4)), {}};
    o.holes.push_back(polygonCurve(rectangle(1, 1, 3, 2, true)));
    return o;
}

// An I-beam 10 wide and 10 deep with flanges 1 thick and a web 1 thick.
Outline iShape()
{
    return {polygonCurve({P(0, 0), P(10, 0), P(10, 1), P(5.5, 1), P(5.5, 9), P(10, 9), P(10, 10),
                          P(0, 10), P(0, 9), P(4.5, 9), P(4.5, 1), P(0, 1)}),
            {}};
}

Outline annulus()
{
    Outline o{circleCurve(0, 0, 2), {}};
    o.holes.push_back(circleCurve(0, 0, 1));
    return o;
}

// A 20 x 20 plate with a 10 x 10 grid of square holes of side 0.5.
Outline plateWith100Holes()
{
    Outline o{polygonCurve(rectangle(0, 0, 20, 20)), {}};
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 10; ++j) {
            const double x = 1.0 + 2.0 * i;
            const double y = 1.0 + 2.0 * j;
            o.holes.push_back(polygonCurve(rectangle(x - 0.25, y - 0.25, x + 0.25, y + 0.25, true)));
        }
    return o;
}

struct Shape {
    const char* name;
    std::function<Outline()> make;
};

const Shape kShapes[] = {
    {"square", square},
    {"L-angle", lAngle},
    {"square with a clockwise hole", squareWithClockwiseHole},
    {"I-shape", iShape},
    {"annulus", annulus},
    {"plate with 100 holes", plateWith100Holes},
};

}  // namespace

TEST(MesherInvariants, EveryShapeAtEveryAllowance)
{
    for (const Shape& s : kShapes) {
        for (int extra : {100, 1000}) {
            SCOPED_TRACE(std::string(s.name) + ", " + std::to_string(extra) + " extra nodes");
            Outline o = s.make();
            auto m = meshOutline(o, extra);
            expectSoundMesh(*m, o.polygonArea(), static_cast<int>(o.holes.size()));
            EXPECT_EQ(m->nNodes, m->maxNodes);
            EXPECT_FALSE(m->incomplete);
        }
    }
}

TEST(MesherInvariants, SameOutputOnEveryRun)
{
    for (const Shape& s : kShapes) {
        SCOPED_TRACE(s.name);
        Outline o1 = s.make();
        Outline o2 = s.make();
        auto a = meshOutline(o1, 300);
        auto b = meshOutline(o2, 300);
        ASSERT_EQ(a->nNodes, b->nNodes);
        ASSERT_EQ(a->nTriangles, b->nTriangles);
        for (int i = 0; i < a->nNodes; ++i) {
            EXPECT_EQ(std::memcmp(&a->vertices[i].x, &b->vertices[i].x, sizeof(double)), 0);
            EXPECT_EQ(std::memcmp(&a->vertices[i].y, &b->vertices[i].y, sizeof(double)), 0);
        }
        for (int i = 0; i < a->nTriangles; ++i) {
            EXPECT_EQ(a->triangles[i].vertex0->id, b->triangles[i].vertex0->id);
            EXPECT_EQ(a->triangles[i].alive, b->triangles[i].alive);
        }
    }
}
