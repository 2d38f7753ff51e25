// Mesh storage: the record layout, link resolution, failures of damaged
// files, and growth of a loaded mesh.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "analysis/tests/TestSupport.h"
#include "drevoline/mesh/CCurveResolver.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/tests/test_mesher_support.h"
#include "test_mesh_support.h"

using mesh_test::logicText;
using test_support::Bytes;

namespace {

// Finds the curve of the shape "sq" only.
class FakeResolver : public CCurveResolver {
public:
    CCompositeCurve* findCompositeCurve(double, double, const CString& name) override
    {
        return name == CString("sq") ? curve : nullptr;
    }
    CCompositeCurve* curve = reinterpret_cast<CCompositeCurve*>(0x5a0);
};

// The square mesh with boundary segments on its four sides, a material on
// both triangles, finite-element nodes and triangles, and a size control.
class StoredSquare : public ::testing::Test {
protected:
    StoredSquare() : metal(mesh_test::metal("Steel")), model(metal)
    {
        CMesh& m = sq.mesh;
        m.name = CString("sq");
        m.model = &resolver;
        const int sides[4][2] = {{3, 4}, {4, 5}, {5, 6}, {6, 3}};
        CEdge* sideEdges[4] = {sq.e[0], sq.e[1], sq.e[3], sq.e[4]};
        for (int i = 0; i < 4; ++i) {
            CSegment* s = m.newSegment();
            s->vertexA = sq.v[sides[i][0]];
            s->vertexB = sq.v[sides[i][1]];
            s->curveName = CString("sq");
            s->curve = resolver.curve;
            sideEdges[i]->segment = s;
            s->vertexA->onBoundary = true;
        }
        sq.t[0]->material = sq.t[1]->material = metal.get();
        std::shared_ptr<CFENodeAnalysis> n[4];
        for (int i = 0; i < 4; ++i) {
            n[i] = std::make_shared<CFENodeAnalysis>(sq.v[3 + i]);
            m.nodes.push_back(n[i]);
        }
        m.trng3Elements.push_back(std::make_unique<CFETrng3>(n[0], n[1], n[2], metal.get(), 1.0));
        m.trng3Elements.push_back(std::make_unique<CFETrng3>(n[0], n[2], n[3], metal.get(), 1.0));
        m.addLocalSizeControl(0.5, 0.5, 0.25, 0.1);
    }

    Bytes store(CMesh& m) { return test_support::stored([&](CArchive& ar) { m.Serialize(ar); }); }

    // Loads bytes into `into` and resolves its links.
    void load(const Bytes& bytes, CMesh& into)
    {
        into.model = &resolver;
        test_support::loaded(bytes, [&](CArchive& ar) { into.Serialize(ar); });
        into.resolveReferences();
    }

    // The message of loading (and resolving) damaged bytes.
    std::string loadFailure(const Bytes& bytes)
    {
        CMesh into;
        return logicText([&] { load(bytes, into); });
    }

    // Offset of the k-th (0-based) check value 10101010 in the bytes.
    static std::size_t checkOffset(const Bytes& bytes, int k)
    {
        const BYTE pattern[4] = {0x12, 0x21, 0x9A, 0x00};
        auto at = bytes.begin();
        for (int i = 0; i <= k; ++i) {
            if (i > 0)
                at += 4;
            at = std::search(at, bytes.end(), pattern, pattern + 4);
        }
        return static_cast<std::size_t>(at - bytes.begin());
    }

    static void putInt(Bytes& bytes, std::size_t offset, int value)
    {
        std::memcpy(bytes.data() + offset, &value, 4);
    }

    // Offsets of the record arrays of the square: the has-model byte, eight
    // ints, the vertex count and 7 vertex records of 21 bytes, the segment
    // count and 4 segment records of 20 bytes ("sq" takes 8), the edge count.
    static constexpr std::size_t kFirstVertex = 1 + 8 * 4 + 4;
    static constexpr std::size_t kFirstSegment = kFirstVertex + 7 * 21 + 4;
    static constexpr std::size_t kFirstEdge = kFirstSegment + 4 * 20 + 4;
    static constexpr std::size_t kFirstTriangle = kFirstEdge + 5 * 25 + 4;

    mesh_test::SquareMesh sq;
    std::shared_ptr<CMetal> metal;
    mesh_test::ScopedModel model;
    FakeResolver resolver;
};

}  // namespace

TEST(MeshStorage, AMeshWithoutNodesIsOneZeroByte)
{
    mesh_test::SquareMesh sq;
    const Bytes bytes = test_support::stored([&](CArchive& ar) { sq.mesh.Serialize(ar); });
    EXPECT_EQ(bytes, Bytes{0x00});
    test_support::loaded(bytes, [&](CArchive& ar) { sq.mesh.Serialize(ar); });
    EXPECT_EQ(sq.mesh.nNodes, 7);  // unchanged
}

TEST_F(StoredSquare, StoresLoadsResolvesAndStoresAgainByteForByte)
{
    const Bytes bytes = store(sq.mesh);
    // Vertex 3 (the first square corner): id 4, x 0, y 0, on the boundary.
    const std::size_t v3 = kFirstVertex + 3 * 21;
    EXPECT_EQ(bytes[v3], 4);
    EXPECT_EQ(bytes[v3 + 20], 1);

    CMesh back;
    load(bytes, back);
    EXPECT_EQ(back.id, sq.mesh.id);
    EXPECT_EQ(back.name, CString("sq"));
    EXPECT_EQ(back.maxNodes, 7);
    EXPECT_EQ(back.maxEdges, sq.mesh.maxEdges);
    EXPECT_EQ(back.ultEdges, sq.mesh.ultEdges);
    EXPECT_EQ(back.nTriangles, 2);
    EXPECT_EQ(back.vertices[5].x, 1.0);
    EXPECT_EQ(back.vertices[5].y, 1.0);
    EXPECT_TRUE(back.vertices[3].onBoundary);
    ASSERT_EQ(back.sizeControls.size(), 1u);
    EXPECT_EQ(back.sizeControls[0].size, 0.1);

    // Links come back as pointers into the loaded arrays, triangle 0 included.
    EXPECT_EQ(back.edges[0].leftTriangle, &back.triangles[0]);
    EXPECT_EQ(back.edges[2].rightTriangle, &back.triangles[1]);
    EXPECT_EQ(back.edges[0].rightTriangle, nullptr);
    EXPECT_EQ(back.edges[1].segment, &back.segments[1]);
    EXPECT_EQ(back.edges[2].segment, nullptr);
    EXPECT_EQ(back.triangles[1].vertex2, &back.vertices[6]);
    EXPECT_EQ(back.triangles[1].edge1, &back.edges[3]);
    EXPECT_EQ(back.triangles[0].material, metal.get());
    EXPECT_EQ(back.triangles[0].mesh, &back);
    EXPECT_EQ(back.segments[2].curve, resolver.curve);
    ASSERT_EQ(back.nodes.size(), 4u);
    EXPECT_EQ(back.nodes[1]->vertex, &back.vertices[4]);
    ASSERT_EQ(back.trng3Elements.size(), 2u);
    EXPECT_EQ(back.trng3Elements[1]->n3(), back.nodes[3]);
    EXPECT_EQ(back.nodes[0]->elements.size(), 2u);

    EXPECT_EQ(store(back), bytes);

    // Read again into the same mesh: the same mesh, not one with two sets of controls.
    load(bytes, back);
    EXPECT_EQ(back.sizeControls.size(), 1u);
    EXPECT_EQ(store(back), bytes);
}

TEST_F(StoredSquare, DamagedSectionsGiveTheirMessages)
{
    const Bytes bytes = store(sq.mesh);
    struct Case {
        int check;
        const char* message;
    };
    for (const Case& c : {Case{0, "Unable to restore elements of mesh"}, Case{1, "Restore of nodes for mesh failed"},
                          Case{2, "Unable to restore elements of mesh"},
                          Case{3, "Unable to restore elements of mesh"}}) {
        Bytes damaged = bytes;
        const std::size_t at = checkOffset(damaged, c.check);
        ASSERT_LT(at, damaged.size()) << c.check;
        putInt(damaged, at, 10101011);
        EXPECT_EQ(loadFailure(damaged), c.message) << c.check;
    }
    EXPECT_EQ(checkOffset(bytes, 3), bytes.size() - 4);
}

TEST_F(StoredSquare, DamagedIdsAndMissingLinksGiveTheirMessages)
{
    const Bytes bytes = store(sq.mesh);
    // Edge record: id, frozen byte, vertexA, vertexB, left, right, segment.
    struct Case {
        std::size_t offset;
        int value;
        const char* message;
    };
    const Case cases[] = {
        {kFirstEdge + 5, 100001, "Bad file"},       // the first vertex id, checked like the second
        {kFirstEdge + 9, 100001, "Bad file"},       // the second vertex id
        {kFirstEdge + 13, 100001, "Bad file"},      // the left triangle
        {kFirstEdge + 21, 100001, "Bad file"},      // the segment
        {kFirstEdge + 21, 4, "restore of edge failed"},  // past the last segment
        {kFirstEdge + 21, 2, "restore of edge failed"},  // a segment of other vertices
        {kFirstEdge + 13, 7, "Invalid triangle index."},
        {kFirstEdge + 5, 3, "triangle node found"},      // no vertex has id 3
        {kFirstTriangle + 4, 5, "Invalid edge index"},   // triangle 0's edge 0
        {kFirstSegment + 12, 8, "Invalid vertex index"},  // segment 0's vertexA
    };
    for (const Case& c : cases) {
        Bytes damaged = bytes;
        putInt(damaged, c.offset, c.value);
        EXPECT_EQ(loadFailure(damaged), c.message) << c.offset << " := " << c.value;
    }
}

TEST_F(StoredSquare, CurvesAndMaterialsMustBeFound)
{
    CSegment& s = sq.mesh.segments[2];
    s.curveName = CString("");
    EXPECT_EQ(loadFailure(store(sq.mesh)), "object associated with mesh segments isn't defined");
    s.curveName = CString("other");
    EXPECT_EQ(loadFailure(store(sq.mesh)), "Composite curve not found.");
    s.curveName = CString("sq");

    auto stranger = mesh_test::metal("Stranger");
    sq.t[1]->material = stranger.get();
    EXPECT_EQ(loadFailure(store(sq.mesh)), "Material not found, mesh restore failed.");
    sq.t[1]->material = nullptr;
    EXPECT_EQ(logicText([&] { store(sq.mesh); }), "material is not defined for element");
}

// A loaded mesh has arrays of its stored limits: adding records fits or
// throws the limit message, and never writes past an array (AddressSanitizer).
TEST_F(StoredSquare, ALoadedMeshGrowsOnlyWithinItsArrays)
{
    CMesh back;
    load(store(sq.mesh), back);
    EXPECT_EQ(back.ultNodes, back.maxNodes);
    EXPECT_EQ(back.newNode(), nullptr);
    // As smoothing does: every limit raised to its ultimate value.
    back.maxNodes = back.ultNodes;
    back.maxEdges = back.ultEdges;
    back.maxSegments = back.ultSegments;
    back.maxTriangles = back.ultTriangles;
    EXPECT_EQ(back.newUltNode(), nullptr);
    int edges = 0, triangles = 0, segments = 0;
    EXPECT_EQ(logicText([&] {
                  for (;;) {
                      back.newEdge()->id = -1;
                      ++edges;
                  }
              }),
              "exceeded the max bound for edges");
    EXPECT_EQ(logicText([&] {
                  for (;;) {
                      back.newTriangle()->alive = false;
                      ++triangles;
                  }
              }),
              "exceeded max bound of triangles");
    EXPECT_EQ(logicText([&] {
                  for (;;) {
                      back.newSegment()->id = -1;
                      ++segments;
                  }
              }),
              "exceed maximum number of segments");
    EXPECT_EQ(edges, sq.mesh.ultEdges - 5);
    EXPECT_EQ(triangles, sq.mesh.ultTriangles - 2);
    EXPECT_EQ(segments, sq.mesh.ultSegments - 4);
}

// Where a link points in its array (-1 for none).
template <class Record>
long indexIn(const Record* link, const std::unique_ptr<Record[]>& array)
{
    return link ? static_cast<long>(link - array.get()) : -1;
}

// A mesh of an L-shaped outline made by the mesher (bounding vertices, dead
// outer triangles, edges between two triangles) comes back link for link.
TEST(MeshStorage, AMeshFromTheMesherRoundTripsLinkForLink)
{
    using mesher_test::P;
    mesher_test::Outline o{mesher_test::polygonCurve({P(0, 0), P(2, 0), P(2, 0.5), P(0.5, 0.5), P(0.5, 2), P(0, 2)}),
                           {}};
    auto m = mesher_test::meshOutline(o, 60);
    m->create2DFEM(1.0);
    m->updateName(CString("sq"));
    auto steel = mesh_test::metal("Steel");
    mesh_test::ScopedModel model(steel);
    m->setMaterial(steel);
    FakeResolver resolver;
    resolver.curve = o.outer.get();

    const Bytes bytes = test_support::stored([&](CArchive& ar) { m->Serialize(ar); });
    CMesh back;
    back.model = &resolver;
    test_support::loaded(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    back.resolveReferences();
    EXPECT_EQ(test_support::stored([&](CArchive& ar) { back.Serialize(ar); }), bytes);

    ASSERT_EQ(back.nEdges, m->nEdges);
    ASSERT_EQ(back.nTriangles, m->nTriangles);
    for (int i = 0; i < m->nEdges; ++i) {
        const CEdge& a = m->edges[i];
        const CEdge& b = back.edges[i];
        EXPECT_EQ(indexIn(b.vertexA, back.vertices), indexIn(a.vertexA, m->vertices)) << i;
        EXPECT_EQ(indexIn(b.leftTriangle, back.triangles), indexIn(a.leftTriangle, m->triangles)) << i;
        EXPECT_EQ(indexIn(b.rightTriangle, back.triangles), indexIn(a.rightTriangle, m->triangles)) << i;
        EXPECT_EQ(indexIn(b.segment, back.segments), indexIn(a.segment, m->segments)) << i;
    }
    for (int i = 0; i < m->nTriangles; ++i)
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(indexIn(back.triangles[i].vertex(k), back.vertices),
                      indexIn(m->triangles[i].vertex(k), m->vertices));
            EXPECT_EQ(indexIn(back.triangles[i].edge(k), back.edges), indexIn(m->triangles[i].edge(k), m->edges));
        }
    EXPECT_EQ(back.segments[0].curve, o.outer.get());
    EXPECT_EQ(back.trng3Elements.size(), m->trng3Elements.size());
}

