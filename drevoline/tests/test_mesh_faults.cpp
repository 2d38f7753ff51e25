// Faults of mesh generation and mesh storage met on larger outlines: the
// filleted I-beam meshed without extra nodes, stored meshes whose counts are
// damaged, and loading that must give back the stored mesh.
#include <climits>
#include <cstring>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "analysis/tests/TestSupport.h"
#include "drevoline/mesh/CCurveResolver.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/tests/test_mesh_support.h"
#include "drevoline/tests/test_mesher_support.h"

using namespace mesher_test;
using test_support::Bytes;

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

namespace {

// Finds the I-beam's one curve under the mesh's name.
class BeamResolver : public CCurveResolver {
public:
    CCompositeCurve* findCompositeCurve(double, double, const CString& name) override
    {
        return name == CString("beam") ? curve : nullptr;
    }
    CCompositeCurve* curve = nullptr;
};

// Where a link points in its array (-1 for none).
template <class Record>
long indexIn(const Record* link, const std::unique_ptr<Record[]>& array)
{
    return link ? static_cast<long>(link - array.get()) : -1;
}

// Where a node stands in the node list (-1 for none).
long nodeIndex(const CMesh& m, const std::shared_ptr<CFENodeAnalysis>& n)
{
    for (std::size_t i = 0; i < m.nodes.size(); ++i)
        if (m.nodes[i] == n)
            return static_cast<long>(i);
    return -1;
}

// The filleted I-beam meshed with 1000 extra nodes, smoothed, with its
// finite-element model, a size control, and its stored bytes.
class StoredBeam : public ::testing::Test {
protected:
    StoredBeam() : steel(mesh_test::metal("Steel")), model(steel)
    {
        mesh = meshOutline(beam, 1000, 0.001);
        mesh->smooth();
        mesh->create2DFEM(1.0);
        mesh->updateName(CString("beam"));
        mesh->setMaterial(steel);
        mesh->addLocalSizeControl(5.0, 5.0, 1.0, 0.5);
        resolver.curve = beam.outer.get();
        bytes = test_support::stored([&](CArchive& ar) { mesh->Serialize(ar); });
    }

    // Loads the bytes into `into` and resolves its links.
    void load(const Bytes& from, CMesh& into)
    {
        into.model = &resolver;
        test_support::loaded(from, [&](CArchive& ar) { into.Serialize(ar); });
        into.resolveReferences();
    }

    // The message of loading damaged bytes ("" when they load).
    std::string loadFailure(const Bytes& from)
    {
        CMesh into;
        return mesh_test::logicText([&] { load(from, into); });
    }

    // The size of a name as stored.
    static std::size_t nameBytes(const CString& s)
    {
        return test_support::stored([&](CArchive& ar) { ar << s; }).size();
    }

    // Offsets of the stored counts: the has-model byte and eight ints, then
    // each array's count and records (segments and triangles end in a name).
    std::size_t vertexCount() const { return 1 + 8 * 4; }
    std::size_t segmentCount() const { return vertexCount() + 4 + 21 * mesh->nNodes; }
    std::size_t edgeCount() const
    {
        return segmentCount() + 4 + (12 + nameBytes(CString("beam"))) * mesh->nSegments;
    }
    std::size_t triangleCount() const { return edgeCount() + 4 + 25 * mesh->nEdges; }
    std::size_t nodeCount() const
    {
        return triangleCount() + 4 + (29 + nameBytes(CString("Steel"))) * mesh->nTriangles +
               nameBytes(CString("beam")) + 4;
    }

    static void putInt(Bytes& b, std::size_t at, int value) { std::memcpy(b.data() + at, &value, 4); }
    static int getInt(const Bytes& b, std::size_t at)
    {
        int v = 0;
        std::memcpy(&v, b.data() + at, 4);
        return v;
    }

    Outline beam{polygonCurve(filletedIBeam()), {}};
    std::shared_ptr<CMetal> steel;
    mesh_test::ScopedModel model;
    BeamResolver resolver;
    std::unique_ptr<CMesh> mesh;
    Bytes bytes;
};

}  // namespace

// Every record of the loaded mesh equals the stored one, link for link, and
// the loaded mesh stores the same bytes again.
TEST_F(StoredBeam, LoadsRecordForRecordAndStoresTheSameBytes)
{
    ASSERT_GT(mesh->nNodes, 1000);
    CMesh back;
    load(bytes, back);
    EXPECT_EQ(test_support::stored([&](CArchive& ar) { back.Serialize(ar); }), bytes);

    EXPECT_EQ(back.maxNodes, mesh->maxNodes);
    EXPECT_EQ(back.ultNodes, mesh->maxNodes);
    EXPECT_EQ(back.maxEdges, mesh->maxEdges);
    EXPECT_EQ(back.ultEdges, mesh->ultEdges);
    EXPECT_EQ(back.maxSegments, mesh->maxSegments);
    EXPECT_EQ(back.ultSegments, mesh->ultSegments);
    EXPECT_EQ(back.maxTriangles, mesh->maxTriangles);
    EXPECT_EQ(back.ultTriangles, mesh->ultTriangles);
    ASSERT_EQ(back.nNodes, mesh->nNodes);
    ASSERT_EQ(back.nSegments, mesh->nSegments);
    ASSERT_EQ(back.nEdges, mesh->nEdges);
    ASSERT_EQ(back.nTriangles, mesh->nTriangles);
    for (int i = 0; i < mesh->nNodes; ++i) {
        const CVertex& a = mesh->vertices[i];
        const CVertex& b = back.vertices[i];
        EXPECT_TRUE(a.id == b.id && a.x == b.x && a.y == b.y && a.onBoundary == b.onBoundary) << "vertex " << i;
    }
    for (int i = 0; i < mesh->nSegments; ++i) {
        const CSegment& a = mesh->segments[i];
        const CSegment& b = back.segments[i];
        EXPECT_EQ(indexIn(b.vertexA, back.vertices), indexIn(a.vertexA, mesh->vertices)) << "segment " << i;
        EXPECT_EQ(indexIn(b.vertexB, back.vertices), indexIn(a.vertexB, mesh->vertices)) << "segment " << i;
        EXPECT_EQ(b.curve, beam.outer.get()) << "segment " << i;
    }
    for (int i = 0; i < mesh->nEdges; ++i) {
        const CEdge& a = mesh->edges[i];
        const CEdge& b = back.edges[i];
        EXPECT_EQ(b.frozen, a.frozen) << "edge " << i;
        EXPECT_EQ(indexIn(b.vertexA, back.vertices), indexIn(a.vertexA, mesh->vertices)) << "edge " << i;
        EXPECT_EQ(indexIn(b.vertexB, back.vertices), indexIn(a.vertexB, mesh->vertices)) << "edge " << i;
        EXPECT_EQ(indexIn(b.leftTriangle, back.triangles), indexIn(a.leftTriangle, mesh->triangles)) << "edge " << i;
        EXPECT_EQ(indexIn(b.rightTriangle, back.triangles), indexIn(a.rightTriangle, mesh->triangles)) << "edge " << i;
        EXPECT_EQ(indexIn(b.segment, back.segments), indexIn(a.segment, mesh->segments)) << "edge " << i;
    }
    for (int i = 0; i < mesh->nTriangles; ++i) {
        const CTriangle& a = mesh->triangles[i];
        const CTriangle& b = back.triangles[i];
        EXPECT_EQ(b.alive, a.alive) << "triangle " << i;
        EXPECT_EQ(b.material, steel.get()) << "triangle " << i;
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(indexIn(b.vertex(k), back.vertices), indexIn(a.vertex(k), mesh->vertices)) << "triangle " << i;
            EXPECT_EQ(indexIn(b.edge(k), back.edges), indexIn(a.edge(k), mesh->edges)) << "triangle " << i;
        }
    }
    ASSERT_EQ(back.nodes.size(), mesh->nodes.size());
    for (std::size_t i = 0; i < mesh->nodes.size(); ++i) {
        const CFENodeAnalysis& a = *mesh->nodes[i];
        const CFENodeAnalysis& b = *back.nodes[i];
        EXPECT_TRUE(a.id() == b.id() && a.position.x == b.position.x && a.position.y == b.position.y &&
                    indexIn(b.vertex, back.vertices) == indexIn(a.vertex, mesh->vertices) &&
                    a.elements.size() == b.elements.size())
            << "node " << i;
    }
    ASSERT_EQ(back.trng3Elements.size(), mesh->trng3Elements.size());
    for (std::size_t i = 0; i < mesh->trng3Elements.size(); ++i) {
        const CFETrng3& a = *mesh->trng3Elements[i];
        const CFETrng3& b = *back.trng3Elements[i];
        EXPECT_TRUE(a.id == b.id && b.material == a.material && nodeIndex(back, b.n1()) == nodeIndex(*mesh, a.n1()) &&
                    nodeIndex(back, b.n2()) == nodeIndex(*mesh, a.n2()) &&
                    nodeIndex(back, b.n3()) == nodeIndex(*mesh, a.n3()))
            << "element " << i;
    }
    ASSERT_EQ(back.sizeControls.size(), 1u);
    EXPECT_EQ(back.sizeControls[0].size, 0.5);
}

// A stored count that is negative, near 2^31, or more than the rest of
// the file can hold is refused as a bad file, before anything is made for it.
TEST_F(StoredBeam, DamagedCountsAreRefusedBeforeAllocating)
{
    ASSERT_EQ(getInt(bytes, vertexCount()), mesh->nNodes);
    ASSERT_EQ(getInt(bytes, segmentCount()), mesh->nSegments);
    ASSERT_EQ(getInt(bytes, edgeCount()), mesh->nEdges);
    ASSERT_EQ(getInt(bytes, triangleCount()), mesh->nTriangles);
    ASSERT_EQ(getInt(bytes, nodeCount()), static_cast<int>(mesh->nodes.size()));
    const std::size_t counts[] = {vertexCount(), segmentCount(), edgeCount(), triangleCount(), nodeCount()};
    // The smallest record is a segment of 13 bytes with an empty name.
    const int pastTheEnd = static_cast<int>(bytes.size() / 13) + 1;
    for (std::size_t at : counts) {
        for (int value : {-1, INT_MIN, INT_MAX, INT_MAX - 1, pastTheEnd}) {
            Bytes damaged = bytes;
            putInt(damaged, at, value);
            EXPECT_EQ(loadFailure(damaged), "Bad file") << "count at " << at << " := " << value;
        }
    }
    // Array limits at the largest a file may ask for (20 million): the
    // damaged count that follows is refused before its array is made.
    for (int limit = 0; limit < 7; ++limit) {
        Bytes damaged = bytes;
        putInt(damaged, 1 + 4 + 4 * limit, 20'000'000);
        putInt(damaged, limit == 2 ? vertexCount() : limit % 4 == 1 ? segmentCount()
                                                   : limit % 4 == 0 ? edgeCount()
                                                                    : triangleCount(),
               pastTheEnd);
        CMesh into;
        EXPECT_EQ(mesh_test::logicText([&] { load(damaged, into); }), "Bad file") << "limit " << limit;
        // The damaged array was never made: the mesh holds no limit that high.
        EXPECT_LT(into.ultNodes + into.ultEdges + into.ultSegments + into.ultTriangles, 20'000'000) << "limit " << limit;
        // Above that limit, and negative, the header alone is refused.
        for (int value : {20'000'001, -1, INT_MAX}) {
            putInt(damaged, 1 + 4 + 4 * limit, value);
            EXPECT_EQ(loadFailure(damaged), "Bad file") << "limit " << limit << " := " << value;
        }
    }
    // The undamaged bytes load.
    EXPECT_EQ(loadFailure(bytes), "");
}

// The walk from a triangle next to the point finds what the walk from the
// last located triangle finds, and leaves the same last located triangle:
// at vertices and on edges (where the walks may end apart and the full
// walk decides), inside triangles, and outside the outline.
TEST(MeshFaults, LocatingFromANearbyTriangleMatchesTheFullWalk)
{
    Outline o{polygonCurve(filletedIBeam()), {}};
    auto m = meshOutline(o, 300, 0.001);
    std::vector<CVertex> probes;
    auto probe = [&](double x, double y) {
        CVertex v;
        v.x = x;
        v.y = y;
        probes.push_back(v);
    };
    for (int i = 3; i < m->nNodes; ++i)
        probe(m->vertices[i].x, m->vertices[i].y);
    for (int i = 0; i < m->nEdges; ++i) {
        const CEdge& e = m->edges[i];
        if (e.vertexA->id > 3 && e.vertexB->id > 3)
            probe((e.vertexA->x + e.vertexB->x) / 2, (e.vertexA->y + e.vertexB->y) / 2);
    }
    for (int i = 0; i < m->nTriangles; ++i) {
        const CTriangle& t = m->triangles[i];
        if (!m->containsBoundingNodes(t.vertex0, t.vertex1, t.vertex2))
            probe((t.vertex0->x + t.vertex1->x + t.vertex2->x) / 3, (t.vertex0->y + t.vertex1->y + t.vertex2->y) / 3);
    }
    probe(-1.0, 5.0);  // left of the web, outside
    probe(7.0, 5.0);   // right of the web, outside
    // The last boundary vertex inserted: triangles around it are taken early.
    m->prevVertex = &m->vertices[m->nInputNodes - 1];
    ASSERT_GT(probes.size(), 1000u);
    int compared = 0;
    for (std::size_t i = 0; i < probes.size(); ++i) {
        CVertex& p = probes[i];
        CTriangle* start = &m->triangles[(i * 7919) % m->nTriangles];
        CTriangle* near = &m->triangles[(i * 104729 + 1) % m->nTriangles];
        m->lastLocated = start;
        std::string fullFailure;
        CTriangle* full = nullptr;
        fullFailure = failure([&] { full = m->locateNode(&p); });
        CTriangle* fullLast = m->lastLocated;
        m->lastLocated = start;
        CTriangle* hinted = nullptr;
        const std::string hintedFailure = failure([&] { hinted = m->locateNode(&p, near); });
        if (!fullFailure.empty()) {
            EXPECT_EQ(hintedFailure, fullFailure) << "probe " << i;
            continue;
        }
        ++compared;
        EXPECT_EQ(hinted, full) << "probe " << i << " at (" << p.x << ", " << p.y << ")";
        EXPECT_EQ(m->lastLocated, fullLast) << "probe " << i << " at (" << p.x << ", " << p.y << ")";
    }
    EXPECT_GT(compared, 1000);

    // A point on the line of an edge, beyond it, strictly inside a triangle
    // around prevVertex: the full walk from that edge's triangle returns the
    // triangle early and keeps its last located one; so must the short walk.
    int early = 0;
    for (int i = 0; i < m->nEdges; ++i) {
        const CEdge& e = m->edges[i];
        if (e.vertexA->id <= 3 || e.vertexB->id <= 3)
            continue;
        CVertex p;
        p.x = 2 * e.vertexB->x - e.vertexA->x;
        p.y = 2 * e.vertexB->y - e.vertexA->y;
        if (orient2dexact(e.vertexA->xy(), e.vertexB->xy(), p.xy()) != 0.0)
            continue;
        CTriangle* holder = nullptr;
        for (int k = 0; k < m->nTriangles && !holder; ++k)
            if (m->triangles[k].alive && m->triangles[k].contains(p.xy()))
                holder = &m->triangles[k];
        if (!holder)
            continue;
        m->prevVertex = holder->vertex0;
        for (CTriangle* start : {e.leftTriangle, e.rightTriangle}) {
            m->lastLocated = start;
            CTriangle* full = m->locateNode(&p);
            if (full != holder || m->lastLocated != start || start == holder)
                continue;
            ++early;
            m->lastLocated = start;
            EXPECT_EQ(m->locateNode(&p, holder), holder) << "edge " << i;
            EXPECT_EQ(m->lastLocated, start) << "edge " << i;
        }
    }
    EXPECT_GT(early, 0);
}
