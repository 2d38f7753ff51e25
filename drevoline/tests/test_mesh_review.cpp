// Hostile input for the mesher and mesh storage: damaged files, degenerate
// and extreme outlines, and size controls that cannot be met.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "analysis/tests/TestSupport.h"
#include "drevoline/mesh/CCurveResolver.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/tests/test_mesher_support.h"
#include "test_mesh_support.h"

using mesher_test::P;
using test_support::Bytes;

namespace {

class CurveResolver : public CCurveResolver {
public:
    CCompositeCurve* findCompositeCurve(double, double, const CString&) override { return curve; }
    CCompositeCurve* curve = nullptr;
};

// Runs fn; true when it threw anything.
template <class F>
bool throws(F fn)
{
    try {
        fn();
    } catch (...) {
        return true;
    }
    return false;
}

}  // namespace

TEST(MeshReview, EveryTruncatedFileFailsCleanly)
{
    mesher_test::Outline o{mesher_test::polygonCurve({P(0, 0), P(2, 0), P(2, 0.5), P(0.5, 0.5), P(0.5, 2), P(0, 2)}),
                           {}};
    auto m = mesher_test::meshOutline(o, 20);
    m->create2DFEM(1.0);
    m->updateName(CString("sq"));
    auto steel = mesh_test::metal("Steel");
    mesh_test::ScopedModel model(steel);
    m->setMaterial(steel);
    m->addLocalSizeControl(0.5, 0.5, 0.25, 0.1);
    CurveResolver resolver;
    resolver.curve = o.outer.get();
    const Bytes bytes = test_support::stored([&](CArchive& ar) { m->Serialize(ar); });

    // Every cut in the header, the first records and the finite-element part,
    // and every 13th in between (loading is slow under the sanitizer).
    const std::size_t size = bytes.size();
    ASSERT_GT(size, 1200u);
    for (std::size_t n = 1; n < size; n += (n < 400 || n > size - 800) ? 1 : 13) {
        Bytes cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
        CMesh back;
        back.model = &resolver;
        EXPECT_TRUE(throws([&] {
            test_support::loaded(cut, [&](CArchive& ar) { back.Serialize(ar); });
            back.resolveReferences();
        })) << n;
    }
}

// A control whose circle over its size is beyond any array the mesh could
// hold is refused like any other oversized mesh; it must not wrap around.
TEST(MeshReview, UnmeetableSizeControlsAreRefused)
{
    const double nan = std::nan("");
    const double inf = std::numeric_limits<double>::infinity();
    const double cases[][2] = {{1.0, 1e-12}, {1.0, 1e-200}, {1e30, 0.1}, {nan, 0.1}, {inf, 0.1}};
    for (const auto& c : cases) {
        CMesh m;
        m.addLocalSizeControl(0.5, 0.5, c[0], c[1]);
        EXPECT_EQ(mesh_test::logicText([&] { m.alloc(10, 0); }), "Invalid mesh size") << c[0] << " " << c[1];
    }
    // A control of size 0 asks for no allowance: alloc(10, 0) keeps its 26.
    CMesh m;
    m.addLocalSizeControl(0.5, 0.5, 1.0, 0.0);
    m.alloc(10, 0);
    EXPECT_EQ(m.ultNodes, 26);
}

// Outlines far from the unit scale, with a re-entrant notch, or that cannot
// be meshed: each either meshes soundly or is refused with a message.
TEST(MeshReview, ExtremeOutlinesMeshSoundlyOrAreRefused)
{
    struct Case {
        const char* what;
        mesher_test::Pts pts;
        double spacing;
        bool refused;
    };
    Case cases[] = {
        {"huge", mesher_test::rectangle(1e8, 1e8, 1e8 + 2e6, 1e8 + 1e6), 1e4, false},
        {"tiny", mesher_test::rectangle(0, 0, 2e-2, 1e-2), 1e-4, false},
        {"notch", {P(0, 0), P(2, 0), P(2, 2), P(1, 1), P(1, 2), P(0, 2)}, 0.05, false},
        {"bow tie", {P(0, 0), P(1, 1), P(1, 0), P(0, 1)}, 0.05, true},
        {"as thin as the merge distance", {P(0, 0), P(10, 0), P(10, 1e-3), P(0, 1e-3)}, 0.05, false},
        {"thinner than the merge distance", {P(0, 0), P(10, 0), P(10, 5e-4), P(0, 5e-4)}, 0.05, true},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        mesher_test::Outline o{mesher_test::polygonCurve(c.pts), {}};
        std::unique_ptr<CMesh> m;
        const std::string msg = mesher_test::failure([&] { m = mesher_test::meshOutline(o, 200, c.spacing); });
        EXPECT_EQ(!msg.empty(), c.refused) << msg;
        if (msg.empty())
            mesher_test::expectSoundMesh(*m, o.polygonArea(), 0);
    }
}

// A hole that touches or crosses the outline is refused with a message or
// meshed soundly; it never crashes.
TEST(MeshReview, HolesTouchingOrCrossingTheOutline)
{
    for (double x0 : {0.0, 3.0}) {
        mesher_test::Outline o{mesher_test::polygonCurve(mesher_test::rectangle(0, 0, 4, 4)), {}};
        o.holes.push_back(mesher_test::polygonCurve(mesher_test::rectangle(x0, 1, x0 + 2, 3, true)));
        std::unique_ptr<CMesh> m;
        const std::string msg = mesher_test::failure([&] { m = mesher_test::meshOutline(o, 200); });
        if (msg.empty())
            mesher_test::expectSoundMesh(*m, o.polygonArea(), 1);
    }
}
