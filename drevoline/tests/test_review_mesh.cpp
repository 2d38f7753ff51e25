// The mesher and mesh storage under hostile inputs: outlines of many
// segments meshed with almost no room for extra vertices, stored meshes cut
// short at every byte or with any of their ints replaced, and the short
// locating walk against the full walk on outlines far from the origin, tiny
// and random.
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "analysis/tests/TestSupport.h"
#include "drevoline/mesh/CCurveResolver.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/tests/test_mesh_support.h"
#include "drevoline/tests/test_mesher_support.h"
#include "platform/core/CArchive.h"

using namespace mesher_test;
using test_support::Bytes;

namespace {

const char* const kNoRoom = "Not enough vertices to make all the segments";
const char* const kTooSharp = "Can't mesh shape with interior angle of the boundary less than 2 degrees";

// A plate with a 10 x 10 grid of square holes.
Outline holedPlate()
{
    Outline o{polygonCurve(rectangle(0, 0, 21, 21)), {}};
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 10; ++j)
            o.holes.push_back(polygonCurve(rectangle(1 + 2 * i, 1 + 2 * j, 1.6 + 2 * i, 1.6 + 2 * j)));
    return o;
}

// A long channel 0.01 wide whose sides are cut into many short segments.
Pts thinChannel(double width)
{
    Pts p;
    for (int i = 0; i <= 50; ++i)
        p.push_back(P(i * 2.0, 0));
    for (int i = 50; i >= 0; --i)
        p.push_back(P(i * 2.0, width));
    return p;
}

// A star of n sharp points.
Pts star(int n, double inner)
{
    Pts p;
    for (int i = 0; i < 2 * n; ++i) {
        const double a = kMesherPi * i / n;
        const double r = i % 2 ? inner : 1.0;
        p.push_back(P(r * std::cos(a), r * std::sin(a)));
    }
    return p;
}

// A comb: many narrow teeth on a bar, reflex corners everywhere.
Pts comb(int teeth)
{
    Pts p = {P(0, 0), P(teeth * 2.0, 0)};
    for (int i = teeth - 1; i >= 0; --i) {
        p.push_back(P(2.0 * i + 1.9, 1));
        p.push_back(P(2.0 * i + 1.9, 5));
        p.push_back(P(2.0 * i + 1.0, 5));
        p.push_back(P(2.0 * i + 1.0, 1));
    }
    return p;
}

// Meshing with so little room either gives a sound mesh or is refused with
// the one message for a segment that cannot be recovered (or, for spikes
// too sharp to mesh at all, the one for them).
void expectSoundOrRefused(Outline& o, int extra, const std::string& what)
{
    std::unique_ptr<CMesh> m;
    const std::string message = failure([&] { m = meshOutline(o, extra, 0.001); });
    if (!message.empty()) {
        EXPECT_TRUE(message == kNoRoom || message == kTooSharp) << message << ": " << what << " with " << extra << " extra nodes";
        return;
    }
    SCOPED_TRACE(what + " with " + std::to_string(extra) + " extra nodes");
    expectSoundMesh(*m, o.polygonArea(), static_cast<int>(o.holes.size()));
}

}  // namespace

TEST(ReviewMesh, ManySegmentsWithAlmostNoExtraNodes)
{
    for (int extra : {0, 1, 2}) {
        Outline plate = holedPlate();
        expectSoundOrRefused(plate, extra, "plate with 100 holes");
        for (double width : {0.01, 1e-6}) {
            Outline channel{polygonCurve(thinChannel(width)), {}};
            expectSoundOrRefused(channel, extra, "channel " + std::to_string(width));
        }
        for (double inner : {0.5, 0.05}) {
            Outline s{polygonCurve(star(40, inner)), {}};
            expectSoundOrRefused(s, extra, "star " + std::to_string(inner));
        }
        Outline c{polygonCurve(comb(30)), {}};
        expectSoundOrRefused(c, extra, "comb");
    }
}

namespace {

// Finds the mesh's one curve under its name.
class OneCurveResolver : public CCurveResolver {
public:
    CCompositeCurve* findCompositeCurve(double, double, const CString& name) override
    {
        return name == CString("plate") ? curve : nullptr;
    }
    CCompositeCurve* curve = nullptr;
};

// A small stored mesh: a rectangle with a few extra nodes, its finite
// element model and one size control.
class SmallStoredMesh : public ::testing::Test {
protected:
    // The seven array limits follow the has-model byte and the mesh id.
    static constexpr std::size_t kFirstLimit = 1 + 4;

    SmallStoredMesh() : steel(mesh_test::metal("Steel")), model(steel)
    {
        mesh = meshOutline(plate, 8, 0.05);
        mesh->create2DFEM(1.0);
        mesh->updateName(CString("plate"));
        mesh->setMaterial(steel);
        mesh->addLocalSizeControl(1.0, 0.5, 0.2, 0.1);
        resolver.curve = plate.outer.get();
        bytes = test_support::stored([&](CArchive& ar) { mesh->Serialize(ar); });
    }

    // The records the mesh's four arrays hold.
    static int arrayRecords(const CMesh& m)
    {
        return m.capacity.nodes + m.capacity.edges + m.capacity.segments + m.capacity.triangles;
    }

    // "" when the bytes load and resolve, else what refused them. Any
    // other end (a crash, an overrun) is caught by the sanitizer.
    std::string loadOutcome(const Bytes& from, CMesh& into)
    {
        into.model = &resolver;
        try {
            test_support::loaded(from, [&](CArchive& ar) { into.Serialize(ar); });
            into.resolveReferences();
        } catch (const std::logic_error& e) {
            return std::string("logic: ") + e.what();
        } catch (const CArchiveException&) {
            return "archive";
        }
        return "";
    }

    Outline plate{polygonCurve(rectangle(0, 0, 2, 1)), {}};
    std::shared_ptr<CMetal> steel;
    mesh_test::ScopedModel model;
    OneCurveResolver resolver;
    std::unique_ptr<CMesh> mesh;
    Bytes bytes;
};

}  // namespace

// Every strict prefix of the stored mesh is refused; the whole loads and
// stores the same bytes again.
TEST_F(SmallStoredMesh, EveryTruncationIsRefused)
{
    ASSERT_LT(bytes.size(), 20000u);
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        CMesh into;
        const Bytes cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_NE(loadOutcome(cut, into), "") << "cut at " << length;
        EXPECT_LT(arrayRecords(into), 100000) << "cut at " << length;
    }
    CMesh back;
    ASSERT_EQ(loadOutcome(bytes, back), "");
    EXPECT_EQ(test_support::stored([&](CArchive& ar) { back.Serialize(ar); }), bytes);
}

// Any four bytes at any offset replaced by -1, 0, 1 or INT_MAX (every count,
// limit and id among them): the mesh loads or is refused and never
// overruns, and no damage, to the header's array limits neither, makes
// arrays or element models larger than the file could describe.
TEST_F(SmallStoredMesh, AnyIntReplacedLoadsOrIsRefused)
{
    for (std::size_t at = 0; at + 4 <= bytes.size(); ++at) {
        for (int value : {-1, 0, 1, INT_MAX}) {
            Bytes damaged = bytes;
            std::memcpy(damaged.data() + at, &value, 4);
            CMesh into;
            const std::string outcome = loadOutcome(damaged, into);
            EXPECT_LE(arrayRecords(into), 2 * static_cast<int>(bytes.size())) << "int at " << at << " := " << value;
            EXPECT_LE(into.nodes.size() + into.trng3Elements.size() + into.sizeControls.size(), bytes.size())
                << "int at " << at << " := " << value;
            if (outcome.empty())  // what loaded can be stored again
                test_support::stored([&](CArchive& ar) { into.Serialize(ar); });
        }
    }
}

// Vertex ids consistent but out of order or repeated: the links follow the
// ids (first of a repeated id wins), or the file is refused.
TEST_F(SmallStoredMesh, VertexIdsOutOfOrderOrRepeated)
{
    const std::size_t firstVertex = 1 + 8 * 4 + 4;
    const std::size_t record = 21;
    auto idAt = [&](const Bytes& b, int i) {
        int v;
        std::memcpy(&v, b.data() + firstVertex + record * i, 4);
        return v;
    };
    auto setId = [&](Bytes& b, int i, int id) { std::memcpy(b.data() + firstVertex + record * i, &id, 4); };
    ASSERT_EQ(idAt(bytes, 5), mesh->vertices[5].id);
    for (int i = 3; i + 1 < mesh->nNodes; ++i) {
        Bytes swapped = bytes;
        setId(swapped, i, idAt(bytes, i + 1));
        setId(swapped, i + 1, idAt(bytes, i));
        CMesh into;
        ASSERT_EQ(loadOutcome(swapped, into), "") << "swap " << i;
        // The links of each edge follow the ids: same coordinates as before
        // the swap, where the edge named the ids of the swapped records.
        for (int e = 0; e < mesh->nEdges; ++e) {
            EXPECT_EQ(into.edges[e].vertexA->id, mesh->edges[e].vertexA->id) << "swap " << i << " edge " << e;
            EXPECT_EQ(into.edges[e].vertexB->id, mesh->edges[e].vertexB->id) << "swap " << i << " edge " << e;
        }
        Bytes repeated = bytes;
        setId(repeated, i + 1, idAt(bytes, i));
        CMesh again;
        const std::string outcome = loadOutcome(repeated, again);
        EXPECT_NE(outcome, "") << "repeat " << i;  // the lost id is named by some edge
    }
}

namespace {

// A random star-shaped polygon of n points about (cx, cy) of radius scale.
Pts randomPolygon(std::mt19937_64& rng, int n, double cx, double cy, double scale)
{
    std::uniform_real_distribution<double> radius(0.4, 1.0);
    Pts p;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * kMesherPi * i / n;
        const double r = scale * radius(rng);
        p.push_back(P(cx + r * std::cos(a), cy + r * std::sin(a)));
    }
    return p;
}

// The circumcentre of a triangle, where refinement would insert a vertex.
CVertex circumcentre(const CTriangle& t)
{
    const double ax = t.vertex0->x, ay = t.vertex0->y;
    const double bx = t.vertex1->x - ax, by = t.vertex1->y - ay;
    const double cx = t.vertex2->x - ax, cy = t.vertex2->y - ay;
    const double d = 2 * (bx * cy - by * cx);
    CVertex v;
    v.x = ax + (cy * (bx * bx + by * by) - by * (cx * cx + cy * cy)) / d;
    v.y = ay + (bx * (cx * cx + cy * cy) - cx * (bx * bx + by * by)) / d;
    return v;
}

}  // namespace

// The short walk from each triangle to its own circumcentre (the use in
// refinement) and to random points finds what the full walk finds, with
// the same last located triangle, on random outlines with holes, far from
// the origin, small and large. (Points closer than 0.001 are merged before
// meshing, so outlines much smaller cannot be meshed at all.)
TEST(ReviewMesh, ShortWalkMatchesTheFullWalkOnRandomOutlines)
{
    std::mt19937_64 rng(77);
    const double places[][3] = {{0, 0, 1}, {1e6, -3e6, 1}, {1e8, 1e8, 1}, {0, 0, 0.1}, {1e3, -1e3, 0.1}, {0, 0, 1e4}};
    for (const auto& place : places) {
        for (int shape = 0; shape < 3; ++shape) {
            const double cx = place[0], cy = place[1], s = place[2];
            Outline o{polygonCurve(randomPolygon(rng, 40, cx, cy, s)), {}};
            o.holes.push_back(polygonCurve(randomPolygon(rng, 12, cx + 0.1 * s, cy, 0.15 * s)));
            std::unique_ptr<CMesh> m;
            ASSERT_EQ(failure([&] { m = meshOutline(o, 400, 0.01 * s); }), "") << cx << " " << s;
            std::uniform_real_distribution<double> u(-1.2, 1.2);
            int compared = 0;
            for (int i = 0; i < m->nTriangles; ++i) {
                CTriangle* near = &m->triangles[i];
                if (!near->alive)
                    continue;
                CVertex probes[2] = {circumcentre(*near), CVertex()};
                probes[1].x = cx + s * u(rng);
                probes[1].y = cy + s * u(rng);
                for (CVertex& p : probes) {
                    CTriangle* start = &m->triangles[(i * 7919) % m->nTriangles];
                    m->lastLocated = start;
                    CTriangle* full = nullptr;
                    const std::string fullFailure = failure([&] { full = m->locateNode(&p); });
                    CTriangle* fullLast = m->lastLocated;
                    m->lastLocated = start;
                    CTriangle* hinted = nullptr;
                    const std::string hintedFailure = failure([&] { hinted = m->locateNode(&p, near); });
                    EXPECT_EQ(hintedFailure, fullFailure);
                    if (!fullFailure.empty())
                        continue;
                    ++compared;
                    EXPECT_EQ(hinted, full) << "triangle " << i << " at (" << p.x << ", " << p.y << ")";
                    EXPECT_EQ(m->lastLocated, fullLast) << "triangle " << i;
                }
            }
            EXPECT_GT(compared, 200);
        }
    }
}

// The header's array limits are only numbers in the file: a file of a few
// kilobytes whose seven limits are 20 million loads with arrays for its
// records (at most twice their counts), keeps the limits it states, and
// hands out records only within what its arrays hold.
TEST_F(SmallStoredMesh, HeaderLimitsOfAFewKilobytesMakeNoHugeArrays)
{
    Bytes damaged = bytes;
    for (int limit = 0; limit < 7; ++limit) {
        const int value = 20'000'000;
        std::memcpy(damaged.data() + kFirstLimit + 4 * limit, &value, 4);
    }
    CMesh into;
    ASSERT_EQ(loadOutcome(damaged, into), "");
    const double megabytes = (sizeof(CVertex) * double(into.capacity.nodes) + sizeof(CEdge) * double(into.capacity.edges) +
                              sizeof(CSegment) * double(into.capacity.segments) +
                              sizeof(CTriangle) * double(into.capacity.triangles)) /
                             1e6;
    EXPECT_LT(megabytes, 1.0) << megabytes << " MB of arrays from " << bytes.size() << " bytes";
    EXPECT_EQ(into.ultEdges, 20'000'000);
    EXPECT_EQ(test_support::stored([&](CArchive& ar) { into.Serialize(ar); }), damaged);

    // As smoothing does: every limit raised to its ultimate value. The
    // hand-outs stop where the arrays end (AddressSanitizer sees any overrun).
    into.maxNodes = into.ultNodes;
    into.maxEdges = into.ultEdges;
    into.maxSegments = into.ultSegments;
    into.maxTriangles = into.ultTriangles;
    int nodes = 0, edges = 0;
    while (into.newNode())
        ++nodes;
    EXPECT_EQ(nodes, mesh->nNodes);
    EXPECT_EQ(mesh_test::logicText([&] {
                  for (;;) {
                      into.newEdge()->id = -1;
                      ++edges;
                  }
              }),
              "exceeded the max bound for edges");
    EXPECT_EQ(edges, mesh->nEdges);
    EXPECT_EQ(mesh_test::logicText([&] {
                  for (;;)
                      into.newTriangle()->alive = false;
              }),
              "exceeded max bound of triangles");
    EXPECT_EQ(into.nTriangles, 2 * mesh->nTriangles);
}
// A loaded mesh refined again, as the mesher refines (limits raised to
// their ultimate values, size controls, worst triangles): with the limits
// its file states (here all in use), and with limits of 20 million over
// arrays of twice its counts, it grows until its arrays or limits are full
// and never past them (AddressSanitizer); running out is a limit message
// or a quiet stop.
TEST_F(SmallStoredMesh, ALoadedMeshRefinesAgainWithinItsArrays)
{
    Bytes huge = bytes;
    for (int limit = 0; limit < 7; ++limit) {
        const int value = 20'000'000;
        std::memcpy(huge.data() + kFirstLimit + 4 * limit, &value, 4);
    }
    for (const Bytes* file : {&bytes, &huge}) {
        CMesh into;
        ASSERT_EQ(loadOutcome(*file, into), "");
        const int nodes = into.nNodes;
        into.maxRemoves = INT_MAX;
        const std::string outcome = failure([&] {
            into.smooth();
            CPoint2d centre(1.0, 0.5);
            into.localResizeTriangles(centre, 0.5, 0.01);
            into.removeBadTriangles();
        });
        EXPECT_TRUE(outcome == "" || outcome == "exceeded the max bound for edges" ||
                    outcome == "exceeded max bound of triangles" || outcome == "exceed maximum number of segments")
            << outcome;
        if (file == &huge)  // the stored limits leave the legitimate file no room
            EXPECT_GT(into.nNodes, nodes) << outcome;
        EXPECT_LE(into.nNodes, into.capacity.nodes);
        EXPECT_LE(into.nEdges, into.capacity.edges);
        EXPECT_LE(into.nTriangles, into.capacity.triangles);
        EXPECT_LE(into.nSegments, into.capacity.segments);
    }
}

// Documents a limit of getInteriorPoint: a closed square of side 1e-6
// "encloses no region" to it, so a hole that small cannot be seeded; 3e-6
// works. Kept disabled and run alone as a CTest entry expected to fail
// (drevoline_tests.limit.*), so that lifting the limit shows.
TEST(ReviewMesh, DISABLED_ASquareOfSideOneMicronHasAnInteriorPoint)
{
    for (double cx : {0.0, 5e-3}) {
        auto square = polygonCurve(rectangle(cx, 0, cx + 1e-6, 1e-6));
        Point<double> p;
        ASSERT_EQ(failure([&] { p = square->getInteriorPoint(0.5); }), "") << cx;
        EXPECT_TRUE(p.x > cx && p.x < cx + 1e-6 && p.y > 0 && p.y < 1e-6) << cx;
    }
}

// Documents a limit of a tight vertex budget (30 extra vertices for an
// outline of 60 points and three holes): segment recovery splits present
// encroached segments while others are still missing, so the scarce
// vertices run out before the missing ones are made; recovering the
// missing segments first would mesh this outline, but would change every
// mesh with a missing segment. Kept disabled and run alone as a CTest
// entry expected to fail (drevoline_tests.limit.*), so that a change shows.
TEST(ReviewMesh, DISABLED_FewVerticesGoToMissingSegmentsFirst)
{
    std::mt19937_64 seeds(4242);
    for (int i = 0; i < 9; ++i)
        seeds();
    std::mt19937_64 rng(seeds());
    Outline o{polygonCurve(randomPolygon(rng, 60, 0, 0, 1)), {}};
    for (int h = 0; h < 3; ++h)
        o.holes.push_back(polygonCurve(randomPolygon(rng, 10, (h - 1) * 0.22, 0, 0.1)));
    std::unique_ptr<CMesh> m;
    ASSERT_EQ(failure([&] { m = meshOutline(o, 30, 0.01); }), "");
    // Nearly collinear outline points are dropped before meshing, so the
    // mesh's area matches the polygons' only closely.
    double area = 0.0;
    for (int i = 0; i < m->nTriangles; ++i)
        area += m->triangles[i].alive ? orientation(m->triangles[i]) / 2 : 0.0;
    EXPECT_NEAR(area, o.polygonArea(), 1e-4 * o.polygonArea());
}
