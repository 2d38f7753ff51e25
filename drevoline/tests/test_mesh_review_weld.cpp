// Welded meshes at size, and their storage round trip.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <map>

#include "analysis/tests/TestSupport.h"
#include "drevoline/mesh/CCurveResolver.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/CWeld.h"
#include "drevoline/tests/test_mesher_support.h"
#include "test_mesh_support.h"

using namespace mesher_test;
using test_support::Bytes;

namespace {


std::unique_ptr<CMesh> namedMesh(const char* name, CCompositeCurve* curve, int extra, double spacing, Curves& r)
{
    auto m = std::make_unique<CMesh>();
    m->name = CString(name);
    m->maxRemoves = INT_MAX;
    m->setModel(&r);
    m->create(extra, curve, 0, nullptr, nullptr, spacing, nullptr);
    return m;
}

double secondsSince(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

// Two squares of a few thousand nodes each, merged and welded along their
// shared side, keep the total area and store, load, resolve and store again
// byte for byte.
TEST(MeshReviewWeld, LargeWeldedPairAreaAndRoundTrip)
{
    auto curveA = polygonCurve(rectangle(0, 0, 1, 1));
    auto curveB = polygonCurve(rectangle(1, 0, 2, 1));
    Curves resolver;
    resolver.byName = {{"A", curveA.get()}, {"B", curveB.get()}};
    auto t0 = std::chrono::steady_clock::now();
    auto a = namedMesh("A", curveA.get(), 3000, 0.05, resolver);
    auto b = namedMesh("B", curveB.get(), 3000, 0.05, resolver);
    printf("mesh %.2fs\n", secondsSince(t0));

    CWeld w(CString("w"));
    w.pt1 = P(0.9, -0.1);
    w.pt2 = P(1.1, 1.1);
    w.limits();
    w.mesh1 = CString("A");
    w.mesh2 = CString("B");
    w.curve1 = curveA.get();
    w.curve2 = curveB.get();

    t0 = std::chrono::steady_clock::now();
    auto m = std::make_unique<CMesh>();
    m->setModel(&resolver);
    m->merge(std::move(a), std::move(b), 2000, 2000, 2000);
    printf("merge %.2fs\n", secondsSince(t0));
    t0 = std::chrono::steady_clock::now();
    m->clearFEM();
    m->weld(&w);
    printf("weld %.2fs\n", secondsSince(t0));
    t0 = std::chrono::steady_clock::now();
    m->verifyEdges();
    m->create2DFEM(1.0);
    printf("fem %.2fs\n", secondsSince(t0));
    EXPECT_TRUE(w.applied);

    double area = 0.0;
    for (const auto& e : m->trng3Elements)
        area += e->area();
    EXPECT_NEAR(area, 2.0, 1e-11);

    t0 = std::chrono::steady_clock::now();
    m->smooth();
    printf("smooth %.2fs\n", secondsSince(t0));
    for (int i = 0; i < m->nTriangles; ++i) {
        if (m->triangles[i].alive) {
            EXPECT_GT(orientation(m->triangles[i]), 0.0) << i;
        }
    }

    auto steel = mesh_test::metal("Steel");
    mesh_test::ScopedModel model(steel);
    m->setMaterial(steel);
    t0 = std::chrono::steady_clock::now();
    const Bytes bytes = test_support::stored([&](CArchive& ar) { m->Serialize(ar); });
    CMesh back;
    back.setModel(&resolver);
    test_support::loaded(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    back.resolveReferences();
    EXPECT_EQ(test_support::stored([&](CArchive& ar) { back.Serialize(ar); }), bytes);
    printf("store %.2fs\n", secondsSince(t0));
}

// Loading tens of thousands of elements finds each element's nodes by
// number without scanning the node list for every element.
TEST(MeshReviewWeld, LargeMeshLoadsInLinearTime)
{
    auto curve = polygonCurve(rectangle(0, 0, 1, 1));
    Curves resolver;
    resolver.byName = {{"A", curve.get()}};
    auto m = namedMesh("A", curve.get(), 12000, 0.05, resolver);
    m->create2DFEM(1.0);
    auto steel = mesh_test::metal("Steel");
    mesh_test::ScopedModel model(steel);
    m->setMaterial(steel);
    ASSERT_GT(m->trng3Elements.size(), 20000u);
    const Bytes bytes = test_support::stored([&](CArchive& ar) { m->Serialize(ar); });
    auto t0 = std::chrono::steady_clock::now();
    CMesh back;
    back.setModel(&resolver);
    test_support::loaded(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    back.resolveReferences();
    printf("load %.2fs\n", secondsSince(t0));
    ASSERT_EQ(back.trng3Elements.size(), m->trng3Elements.size());
    for (std::size_t i = 0; i < back.trng3Elements.size(); i += 97)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(back.trng3Elements[i]->nodes[k]->id(), m->trng3Elements[i]->nodes[k]->id());
    EXPECT_EQ(test_support::stored([&](CArchive& ar) { back.Serialize(ar); }), bytes);
}
