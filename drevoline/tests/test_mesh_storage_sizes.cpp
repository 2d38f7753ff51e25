// Mesh storage at sizes past the old id bound (100000): ids above it are
// stored and loaded where their arrays hold them and refused where not, and
// the welding's consistency check takes them too.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "analysis/tests/TestSupport.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CMesh.h"
#include "test_mesh_support.h"

using mesh_test::logicText;
using test_support::Bytes;

namespace {

// A strip of 2k triangles between the rows y = 0 and y = 1, vertices
// b_i = (i, 0) at index 2i and t_i = (i, 1) at index 2i + 1 (i = 0 ... k),
// triangles 2i = (b_i, b_i+1, t_i+1) and 2i + 1 = (b_i, t_i+1, t_i), each
// edge linked to the triangles on both of its sides; no segments.
class StoredStrip : public ::testing::Test {
protected:
    static constexpr int kQuads = 50'005;  // 100,010 triangles
    static constexpr int kTriangles = 2 * kQuads;

    StoredStrip() : steel(mesh_test::metal("Steel")), model(steel)
    {
        const int k = kQuads;
        mesh.alloc(2 * (k + 1) - 3, 0);  // room for exactly the 2(k + 1) vertices
        std::vector<CVertex*> b, t;
        for (int i = 0; i <= k; ++i) {
            b.push_back(mesh.newNode());
            b.back()->x = i;
            t.push_back(mesh.newNode());
            t.back()->x = i;
            t.back()->y = 1;
        }
        std::vector<CTriangle*> tri;
        for (int i = 0; i < kTriangles; ++i)
            tri.push_back(mesh.newTriangle());
        auto triangle = [&](int i) { return i >= 0 && i < kTriangles ? tri[i] : nullptr; };
        std::vector<CEdge*> bottom, top, diagonal, vertical;
        for (int i = 0; i < k; ++i) {
            bottom.push_back(mesh.newEdge());
            bottom.back()->set(b[i], b[i + 1], tri[2 * i], nullptr);
            top.push_back(mesh.newEdge());
            top.back()->set(t[i + 1], t[i], tri[2 * i + 1], nullptr);
            diagonal.push_back(mesh.newEdge());
            diagonal.back()->set(b[i], t[i + 1], tri[2 * i + 1], tri[2 * i]);
        }
        for (int j = 0; j <= k; ++j) {
            vertical.push_back(mesh.newEdge());
            vertical.back()->set(b[j], t[j], triangle(2 * j - 2), triangle(2 * j + 1));
        }
        for (int i = 0; i < k; ++i) {
            tri[2 * i]->set(b[i], b[i + 1], t[i + 1], bottom[i], vertical[i + 1], diagonal[i]);
            tri[2 * i + 1]->set(b[i], t[i + 1], t[i], diagonal[i], top[i], vertical[i]);
        }
        for (CTriangle* x : tri)
            x->material = steel.get();
        mesh.create2DFEM(1.0);
    }

    Bytes store(CMesh& m) { return test_support::stored([&](CArchive& ar) { m.Serialize(ar); }); }

    // The message of loading and resolving bytes into `into`, "" when none.
    static std::string load(const Bytes& bytes, CMesh& into)
    {
        return logicText([&] {
            test_support::loaded(bytes, [&](CArchive& ar) { into.Serialize(ar); });
            into.resolveReferences();
        });
    }

    // Offset of edge record i: the has-model byte, id, seven limits, the
    // vertex count and records of 21 bytes, no segments, the edge count;
    // edge records of 25 bytes (id, frozen, vertexA, vertexB, left, right,
    // segment).
    std::size_t edgeAt(int i) const
    {
        return 1 + 4 + 7 * 4 + 4 + 21 * static_cast<std::size_t>(mesh.nNodes) + 4 + 4 + 25 * static_cast<std::size_t>(i);
    }
    static void putInt(Bytes& bytes, std::size_t at, int value) { std::memcpy(bytes.data() + at, &value, 4); }

    std::shared_ptr<CMetal> steel;
    mesh_test::ScopedModel model;
    CMesh mesh;
};

}  // namespace

// Triangle ids run to 100,009: the strip stores, loads with every link in
// place and stores the same bytes again.
TEST_F(StoredStrip, IdsPastTheOldBoundStoreAndLoad)
{
    ASSERT_EQ(mesh.nTriangles, kTriangles);
    const Bytes bytes = store(mesh);
    CMesh back;
    ASSERT_EQ(load(bytes, back), "");
    ASSERT_EQ(back.nTriangles, kTriangles);
    ASSERT_EQ(back.nEdges, mesh.nEdges);
    // The last diagonal (edge 3k - 1) lies between the last two triangles.
    const CEdge& last = back.edges[3 * kQuads - 1];
    EXPECT_EQ(last.leftTriangle, &back.triangles[kTriangles - 1]);
    EXPECT_EQ(last.rightTriangle, &back.triangles[kTriangles - 2]);
    EXPECT_EQ(back.triangles[kTriangles - 1].edge0, &back.edges[3 * kQuads - 1]);
    EXPECT_EQ(back.triangles[kTriangles - 1].vertex2, &back.vertices[2 * kQuads - 1]);
    EXPECT_EQ(back.trng3Elements.size(), static_cast<std::size_t>(kTriangles));
    EXPECT_EQ(store(back), bytes);
}

// Past the old bound an id must still name a record of its array: one
// beyond it is refused, when stored and when loaded.
TEST_F(StoredStrip, IdsPastTheOldBoundAndTheirArrayAreRefused)
{
    const Bytes bytes = store(mesh);
    const std::size_t last = edgeAt(3 * kQuads - 1);
    struct Case {
        std::size_t offset;
        int value;
    };
    const Case cases[] = {
        {last + 5, mesh.nNodes + 1},  // vertexA: vertex ids run to nNodes
        {last + 9, mesh.nNodes + 1},  // vertexB
        {last + 13, kTriangles},      // left triangle: ids run to nTriangles - 1
        {last + 17, kTriangles},      // right triangle
        {last + 21, 100'001},         // segment: there are none
    };
    for (const Case& c : cases) {
        Bytes damaged = bytes;
        putInt(damaged, c.offset, c.value);
        CMesh into;
        EXPECT_EQ(load(damaged, into), "Bad file") << c.offset - last << " := " << c.value;
    }
    // Within their arrays the same places take other records' ids.
    Bytes moved = bytes;
    putInt(moved, last + 13, kTriangles - 3);
    CMesh into;
    EXPECT_EQ(load(moved, into), "");
    EXPECT_EQ(into.edges[3 * kQuads - 1].leftTriangle, &into.triangles[kTriangles - 3]);

    mesh.triangles[kTriangles - 1].id = kTriangles;
    EXPECT_EQ(logicText([&] { store(mesh); }), "triangles for edge have bad ID");
}

// The welding's check of the triangles of dead edges takes ids past the old
// bound that lie in the array.
TEST_F(StoredStrip, EdgeCheckTakesIdsPastTheOldBound)
{
    for (int i = 0; i < mesh.nTriangles; ++i)
        mesh.triangles[i].alive = false;
    EXPECT_EQ(logicText([&] { EXPECT_TRUE(mesh.verifyEdges()); }), "");
    mesh.triangles[kTriangles - 1].id = kTriangles;
    EXPECT_EQ(logicText([&] { mesh.verifyEdges(); }), "bad triangle associations to edge");
}

// Whatever the mesher may size can be loaded again: arrays whose limits a
// file could not state are refused before they are made.
TEST(MeshStorageSizes, ArraysPastWhatAFileMayStateAreRefused)
{
    // 2 (n + 3) nodes, three edges for each: 3,333,331 is the first n over.
    CMesh m;
    EXPECT_EQ(logicText([&] { m.alloc(3'333'331, 0); }), "Invalid mesh size");
    EXPECT_EQ(m.capacity.edges, 0);
}

// A node's stored result sets: a set or value count more than the rest of
// the file holds is refused before anything is made for it (it made up to
// a million values for a few bytes); counts the file holds load.
TEST(MeshStorageSizes, NodeResultCountsPastTheFileAreRefused)
{
    // The node record with one set of `values` values, of which `present`
    // follow, then the record's end.
    auto node = [](int sets, int values, int present) {
        return test_support::stored([&](CArchive& ar) {
            ar << 1 << -9999 << 0 << 0.0 << 0.0 << 0.0;
            for (int k = 0; k < 6; ++k)
                ar << 0;
            ar << sets << CString(L"a") << -1 << values;
            for (int i = 0; i < 6 * present; ++i)
                ar << 0.5;
            ar << 1 << 2 << 3 << 4.0 << 5.0 << 6.0;
        });
    };
    auto readNode = [](const Bytes& bytes) {
        CFENodeAnalysis n;
        return logicText([&] { test_support::loaded(bytes, [&](CArchive& ar) { n.Serialize(ar, nullptr); }); });
    };
    EXPECT_EQ(readNode(node(1, 1, 1)), "");
    EXPECT_EQ(readNode(node(1, 2, 2)), "");
    const char* refused = "CFENodeanalysis read failed.";
    EXPECT_EQ(readNode(node(1, 1 << 20, 1)), refused);
    EXPECT_EQ(readNode(node(1, 3, 1)), refused);  // 144 bytes asked, 84 left
    EXPECT_EQ(readNode(node(100'000, 1, 1)), refused);
}

// A stored triangle link at the old bound and at the ends of the array:
// 100000 and 100001 name triangles of this strip, the last triangle's id
// loads, one past it and INT_MAX are refused, a negative id is no triangle.
TEST_F(StoredStrip, TriangleLinksAtTheOldBoundAndTheArrayEnd)
{
    const Bytes bytes = store(mesh);
    const std::size_t left = edgeAt(3 * kQuads - 1) + 13;
    struct Case {
        int value;
        int linked;  // the array index it links to, -1 for none
        const char* outcome;
    };
    const Case cases[] = {
        {100'000, 100'000, ""},
        {100'001, 100'001, ""},
        {kTriangles - 1, kTriangles - 1, ""},
        {kTriangles, -1, "Bad file"},
        {INT_MAX, -1, "Bad file"},
        {-2, -1, ""},
    };
    for (const Case& c : cases) {
        Bytes damaged = bytes;
        putInt(damaged, left, c.value);
        CMesh into;
        ASSERT_EQ(load(damaged, into), c.outcome) << c.value;
        if (*c.outcome)
            continue;
        const CTriangle* expected = c.linked < 0 ? nullptr : &into.triangles[c.linked];
        EXPECT_EQ(into.edges[3 * kQuads - 1].leftTriangle, expected) << c.value;
    }
}
