// Meshes read back from a file and then edited as the sub-section edits
// them: merged, welded, stored again. A loaded mesh's arrays hold its
// records and some room above them, not the limits its file states, so
// these edits must still fit (AddressSanitizer sees any overrun).
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <map>
#include <memory>
#include <string>

#include "analysis/tests/TestSupport.h"
#include "drevoline/mesh/CCurveResolver.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CWeld.h"
#include "drevoline/tests/test_mesher_support.h"
#include "test_mesh_support.h"

using namespace mesher_test;
using test_support::Bytes;

namespace {


// Two rectangles side by side, A = (0,0)-(1,2) and B = (1,0)-(2,2), in steel
// with their element models, and a weld box over the shared side. A's side
// on the seam has a vertex at (1,1) inside B's one edge there, so the weld
// splits B's triangle behind it: the merged mesh grows.
class TwoStoredSquares : public ::testing::Test {
protected:
    TwoStoredSquares() : steel(mesh_test::metal("Steel")), model(steel)
    {
        curves.byName = {{"A", curveA.get()}, {"B", curveB.get()}};
    }

    std::unique_ptr<CMesh> square(const char* name, CCompositeCurve* curve)
    {
        const bool a = name[0] == 'A';
        auto m = unrefined(a ? rectangle(0, 0, 1, 2) : rectangle(1, 0, 2, 2));
        m->name = CString(name);
        m->setModel(&curves);
        for (int i = 0; i < m->nSegments; ++i) {
            m->segments[i].curve = curve;
            m->segments[i].curveName = m->name;
        }
        if (a) {
            for (int i = 0; i < m->nSegments; ++i) {
                CSegment* s = &m->segments[i];
                if (s->vertexA->x == 1.0 && s->vertexB->x == 1.0) {
                    ++m->maxNodes;
                    m->splitSegment(s);
                    m->assignEdgeSegments();
                    break;
                }
            }
        }
        for (int i = 0; i < m->nTriangles; ++i)
            m->triangles[i].material = steel.get();
        m->create2DFEM(1.0);
        return m;
    }

    // The mesh stored and read back into a new mesh, links resolved.
    std::unique_ptr<CMesh> reloaded(CMesh& m)
    {
        const Bytes bytes = test_support::stored([&](CArchive& ar) { m.Serialize(ar); });
        auto back = std::make_unique<CMesh>();
        back->setModel(&curves);
        test_support::loaded(bytes, [&](CArchive& ar) { back->Serialize(ar); });
        back->resolveReferences();
        return back;
    }

    // A and B merged with the sub-section's spare room for one weld.
    static std::unique_ptr<CMesh> merged(std::unique_ptr<CMesh> a, std::unique_ptr<CMesh> b)
    {
        const int extraEdges = static_cast<int>(std::ceil(0.3 * (a->nEdges + b->nEdges)));
        const int extraTriangles = static_cast<int>(std::ceil(0.2 * (a->nTriangles + b->nTriangles)));
        auto m = std::make_unique<CMesh>();
        m->merge(std::move(a), std::move(b), extraEdges, extraTriangles, 4);
        return m;
    }

    std::unique_ptr<CWeld> seamWeld()
    {
        auto w = std::make_unique<CWeld>(CString("w"));
        w->pt1 = P(0.9, -0.1);
        w->pt2 = P(1.1, 2.1);
        w->limits();
        w->mesh1 = CString("A");
        w->mesh2 = CString("B");
        w->curve1 = curveA.get();
        w->curve2 = curveB.get();
        return w;
    }

    // The weld sequence of the sub-section on one merged mesh.
    static void weldAndRebuild(CMesh& m, CWeld& w)
    {
        m.clearFEM();
        m.weld(&w);
        m.verifyEdges();
        m.create2DFEM(1.0);
    }

    std::unique_ptr<CCompositeCurve> curveA = polygonCurve(rectangle(0, 0, 1, 2));
    std::unique_ptr<CCompositeCurve> curveB = polygonCurve(rectangle(1, 0, 2, 2));
    Curves curves;
    std::shared_ptr<CMetal> steel;
    mesh_test::ScopedModel model;
};

double elementArea(const CMesh& m)
{
    double area = 0.0;
    for (const auto& e : m.trng3Elements)
        area += e->area();
    return area;
}

}  // namespace

// Two meshes read from a file merge, and the merged mesh read from a file
// welds, to the same records as the meshes that never left memory; the
// welded mesh stores, loads and stores the same bytes.
TEST_F(TwoStoredSquares, LoadedMeshesMergeAndWeldAsMeshesInMemory)
{
    auto w1 = seamWeld();
    auto inMemory = merged(square("A", curveA.get()), square("B", curveB.get()));
    weldAndRebuild(*inMemory, *w1);
    ASSERT_TRUE(w1->applied);

    auto a = square("A", curveA.get());
    auto b = square("B", curveB.get());
    auto fromFile = reloaded(*merged(reloaded(*a), reloaded(*b)));
    auto w2 = seamWeld();
    weldAndRebuild(*fromFile, *w2);
    ASSERT_TRUE(w2->applied);

    ASSERT_EQ(fromFile->nNodes, inMemory->nNodes);
    ASSERT_EQ(fromFile->nTriangles, inMemory->nTriangles);
    ASSERT_EQ(fromFile->nEdges, inMemory->nEdges);
    ASSERT_EQ(fromFile->nSegments, inMemory->nSegments);
    EXPECT_GT(fromFile->nTriangles, a->nTriangles + b->nTriangles);  // the weld split triangles
    for (int i = 0; i < inMemory->nTriangles; ++i) {
        const CTriangle& s = inMemory->triangles[i];
        const CTriangle& t = fromFile->triangles[i];
        EXPECT_EQ(t.alive, s.alive) << "triangle " << i;
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(t.vertex(k)->id, s.vertex(k)->id) << "triangle " << i;
    }
    EXPECT_EQ(fromFile->trng3Elements.size(), inMemory->trng3Elements.size());
    EXPECT_NEAR(elementArea(*fromFile), 4.0, 1e-12);

    const Bytes bytes = test_support::stored([&](CArchive& ar) { fromFile->Serialize(ar); });
    auto again = reloaded(*fromFile);
    EXPECT_EQ(test_support::stored([&](CArchive& ar) { again->Serialize(ar); }), bytes);
}
