// Faults of mesh generation and mesh storage met on larger outlines: the
// filleted I-beam meshed without extra nodes, stored meshes whose counts are
// damaged, and loading that must give back the stored mesh.
#include <string>

#include <gtest/gtest.h>

#include "drevoline/tests/test_mesher_support.h"

using namespace mesher_test;

// No extra node: the outline is triangulated without interior vertices,
// the segment recovery taking only the room the polygon's closing point left.
TEST(MeshFaults, FilletedIBeamMeshesWithNoExtraNodes)
{
    const Pts outline = filletedIBeam();
    Outline o{polygonCurve(outline), {}};
    std::unique_ptr<CMesh> m;
    ASSERT_EQ(failure([&] { m = meshOutline(o, 0, 0.001); }), "");
    expectSoundMesh(*m, o.polygonArea(), 0);
    EXPECT_FALSE(m->incomplete);
    EXPECT_EQ(m->nInputNodes - 3, 60);
    for (int i = 3; i < m->nNodes; ++i)
        EXPECT_TRUE(m->vertices[i].onBoundary) << "vertex " << i;
    // A polygon of V vertices without interior ones has V - 2 triangles.
    EXPECT_EQ(liveTriangles(*m), m->nNodes - 3 - 2);
}
