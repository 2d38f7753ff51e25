// Our mesher against CGAL's constrained Delaunay mesher on the same
// outlines. CGAL takes no vertex-count target, so its size bound is bisected
// until its vertex count matches ours; both then run in the same iterations.
// Reported per contender: time, peak heap, vertex and triangle counts, the
// minimum angle, the shares of angles below 20, 10 and 1 degrees, the area
// error and validity (every triangle counter-clockwise by the exact
// predicate). Our pipeline, smoothing, element build and the mesh's store
// and load over an in-memory file are timed apart so that a stage growing
// faster than the others shows.
#include <algorithm>
#include <array>
#include <chrono>
#include <climits>
#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/CModel.h"
#include "analysis/predicates/Predicates.h"
#include "bench/PeakMemory.h"
#include "drevoline/mesh/CCurveResolver.h"
#include "drevoline/mesh/CMesh.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"

#ifdef LORIMANT_HAVE_CGAL
#include <CGAL/Constrained_Delaunay_triangulation_2.h>
#include <CGAL/Delaunay_mesh_face_base_2.h>
#include <CGAL/Delaunay_mesh_size_criteria_2.h>
#include <CGAL/Delaunay_mesh_vertex_base_2.h>
#include <CGAL/Delaunay_mesher_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;
using P2 = std::array<double, 2>;
using Ring = std::vector<P2>;
using Triangle = std::array<P2, 3>;

constexpr double kPi = 3.14159265358979323846;
constexpr double kChordTol = 0.001;

double seconds(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double>(b - a).count();
}

// ---------------------------------------------------------------------------
// Inputs: an outer ring (either orientation) and holes with a seed inside each.

struct Outline {
    Ring outer;
    std::vector<Ring> holes;
    std::vector<P2> seeds;
};

// Points of the arc of radius r about c from angle a0 to a1 (radians), the
// chord deviating at most kChordTol; the end point is left out.
void appendArc(Ring& ring, P2 c, double r, double a0, double a1)
{
    const double step = 2.0 * std::acos(1.0 - kChordTol / r);
    const int n = std::max(1, static_cast<int>(std::ceil(std::fabs(a1 - a0) / step)));
    for (int i = 0; i < n; ++i) {
        const double a = a0 + (a1 - a0) * i / n;
        ring.push_back({c[0] + r * std::cos(a), c[1] + r * std::sin(a)});
    }
}

Ring circle(P2 c, double r)
{
    Ring ring;
    appendArc(ring, c, r, 0.0, 2.0 * kPi);
    return ring;
}

Outline square()
{
    return {{{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {}, {}};
}

Outline lAngle()
{
    return {{{0, 0}, {10, 0}, {10, 1}, {1, 1}, {1, 10}, {0, 10}}, {}, {}};
}

// 10 wide and deep, flanges and web 1 thick, root fillets of radius 0.5.
Outline iBeamWithFillets()
{
    const double r = 0.5;
    Ring o = {{0, 0}, {10, 0}, {10, 1}};
    appendArc(o, {5.5 + r, 1 + r}, r, -kPi / 2, -kPi);
    appendArc(o, {5.5 + r, 9 - r}, r, kPi, kPi / 2);
    o.insert(o.end(), {{10, 9}, {10, 10}, {0, 10}, {0, 9}});
    appendArc(o, {4.5 - r, 9 - r}, r, kPi / 2, 0.0);
    appendArc(o, {4.5 - r, 1 + r}, r, 0.0, -kPi / 2);
    o.push_back({0, 1});
    return {o, {}, {}};
}

Outline annulus()
{
    return {circle({0, 0}, 5), {circle({0, 0}, 4)}, {{0, 0}}};
}

// A 21 x 21 plate with a 10 x 10 grid of holes of radius 0.5.
Outline plateWithHoles()
{
    Outline p{{{0, 0}, {21, 0}, {21, 21}, {0, 21}}, {}, {}};
    for (int i = 0; i < 100; ++i) {
        const P2 c = {1.5 + 2.0 * (i % 10), 1.5 + 2.0 * (i / 10)};
        p.holes.push_back(circle(c, 0.5));
        p.seeds.push_back(c);
    }
    return p;
}

// A channel 10 deep with 4 wide flanges, 0.2 thick, each flange ending in a
// lip whose tip angle is 5 degrees.
Outline thinChannel()
{
    const double t = 0.2;
    const double lip = t / std::tan(5.0 * kPi / 180.0);
    return {{{0, 0}, {4 + lip, 0}, {4, t}, {t, t}, {t, 10 - t}, {4, 10 - t}, {4 + lip, 10}, {0, 10}}, {}, {}};
}

// A square whose bottom side has a point off the line by the last bit.
Outline nearCollinear()
{
    return {{{0, 0}, {5, std::nextafter(0.0, 1.0)}, {10, 0}, {10, 10}, {0, 10}}, {}, {}};
}

// A square with a corner given twice, 1e-12 apart.
Outline nearDuplicate()
{
    return {{{0, 0}, {10, 0}, {10, 10}, {10, 10 + 1e-12}, {0, 10}}, {}, {}};
}

// A 1 degree spike: our mesher refuses angles below 2 degrees.
Outline sliver()
{
    return {{{0, 0}, {10, 0}, {10, 10 * std::tan(kPi / 180.0)}}, {}, {}};
}

struct Input {
    const char* name;
    Outline (*make)();
};

const Input kInputs[] = {
    {"square", square},         {"L-angle", lAngle},          {"I-fillets", iBeamWithFillets},
    {"annulus", annulus},       {"plate-100-holes", plateWithHoles}, {"channel-5deg-lips", thinChannel},
    {"near-collinear", nearCollinear}, {"near-duplicate", nearDuplicate}, {"sliver-1deg", sliver},
};

std::unique_ptr<CCompositeCurve> curveOf(const Ring& ring)
{
    auto c = std::make_unique<CCompositeCurve>();
    for (std::size_t i = 0; i < ring.size(); ++i) {
        Point<double> a(ring[i][0], ring[i][1], 0.0);
        Point<double> b(ring[(i + 1) % ring.size()][0], ring[(i + 1) % ring.size()][1], 0.0);
        c->addArc(new Bspline(&a, &b, false));
    }
    return c;
}

// The polygon that our curve makes of a ring (near points merged), open.
Ring polygonOf(CCompositeCurve& curve)
{
    curve.polygon(true, kChordTol, -1.0);
    Ring r;
    for (INT_PTR i = 0; i < curve.polygonPoints().GetSize(); ++i)
        r.push_back({curve.polygonPoints()[i].x, curve.polygonPoints()[i].y});
    if (r.size() > 1 && r.front() == r.back())
        r.pop_back();
    return r;
}

double signedArea(const Ring& r)
{
    double a = 0.0;
    for (std::size_t i = 0; i < r.size(); ++i) {
        const P2& p = r[i];
        const P2& q = r[(i + 1) % r.size()];
        a += p[0] * q[1] - q[0] * p[1];
    }
    return 0.5 * a;
}

// ---------------------------------------------------------------------------
// Quality of a triangle list, the same measure for every contender.

struct Quality {
    long long vertices = 0;
    long long triangles = 0;
    double minAngle = 180.0;  // degrees
    double below20 = 0.0, below10 = 0.0, below1 = 0.0;  // shares of all angles
    double areaError = 0.0;   // |sum of areas - polygon area| / polygon area
    bool valid = true;        // every triangle counter-clockwise, exactly
};

Quality measure(const std::vector<Triangle>& tris, long long vertices, double exactArea)
{
    Quality q;
    q.vertices = vertices;
    q.triangles = static_cast<long long>(tris.size());
    long long n20 = 0, n10 = 0, n1 = 0;
    double area = 0.0;
    for (const Triangle& t : tris) {
        q.valid = q.valid && orient2dexact(t[0].data(), t[1].data(), t[2].data()) > 0.0;
        area += 0.5 * ((t[1][0] - t[0][0]) * (t[2][1] - t[0][1]) - (t[2][0] - t[0][0]) * (t[1][1] - t[0][1]));
        for (int k = 0; k < 3; ++k) {
            const P2& a = t[k];
            const P2& b = t[(k + 1) % 3];
            const P2& c = t[(k + 2) % 3];
            const double ux = b[0] - a[0], uy = b[1] - a[1], vx = c[0] - a[0], vy = c[1] - a[1];
            const double deg = std::atan2(std::fabs(ux * vy - uy * vx), ux * vx + uy * vy) * 180.0 / kPi;
            q.minAngle = std::min(q.minAngle, deg);
            n20 += deg < 20.0;
            n10 += deg < 10.0;
            n1 += deg < 1.0;
        }
    }
    const double angles = 3.0 * static_cast<double>(std::max<long long>(1, q.triangles));
    q.below20 = n20 / angles;
    q.below10 = n10 / angles;
    q.below1 = n1 / angles;
    q.areaError = std::fabs(area - exactArea) / exactArea;
    return q;
}

void report(benchmark::State& state, const std::string& who, const Quality& q, double secs, std::size_t peak)
{
    state.counters[who + "_ms"] = 1e3 * secs;
    state.counters[who + "_peak_MB"] = static_cast<double>(peak) / 1e6;
    state.counters[who + "_vertices"] = static_cast<double>(q.vertices);
    state.counters[who + "_triangles"] = static_cast<double>(q.triangles);
    state.counters[who + "_min_angle"] = q.minAngle;
    state.counters[who + "_lt20"] = q.below20;
    state.counters[who + "_lt10"] = q.below10;
    state.counters[who + "_lt1"] = q.below1;
    state.counters[who + "_area_err"] = q.areaError;
    state.counters[who + "_valid"] = q.valid ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Ours.

// The outline's curves. A loaded mesh asks for the curve of each boundary
// segment by the mesh's name and a point of the segment, as of a section
// model: the answer is the curve with the smallest box holding the point
// (holes lie inside the outer outline and apart from each other).
struct Curves : CCurveResolver {
    std::unique_ptr<CCompositeCurve> outer;
    std::vector<std::unique_ptr<CCompositeCurve>> holes;
    std::vector<CCompositeCurve*> holePtrs;
    std::vector<Point<double>> seeds;
    struct Box {
        CCompositeCurve* curve;
        double x0, y0, x1, y1;
    };
    std::vector<Box> boxes;

    CCompositeCurve* findCompositeCurve(double x, double y, const CString&) override
    {
        const double tol = 1e-9;
        CCompositeCurve* best = nullptr;
        double bestArea = 0.0;
        for (const Box& b : boxes) {
            const double area = (b.x1 - b.x0) * (b.y1 - b.y0);
            if (x >= b.x0 - tol && x <= b.x1 + tol && y >= b.y0 - tol && y <= b.y1 + tol &&
                (!best || area < bestArea)) {
                best = b.curve;
                bestArea = area;
            }
        }
        return best;
    }
    void add(CCompositeCurve* c, const Ring& ring)
    {
        Box b{c, 1e300, 1e300, -1e300, -1e300};
        for (const P2& p : ring) {
            b.x0 = std::min(b.x0, p[0]), b.x1 = std::max(b.x1, p[0]);
            b.y0 = std::min(b.y0, p[1]), b.y1 = std::max(b.y1, p[1]);
        }
        boxes.push_back(b);
    }
};

Curves curvesOf(const Outline& o)
{
    Curves c;
    c.outer = curveOf(o.outer);
    c.add(c.outer.get(), o.outer);
    for (const Ring& h : o.holes) {
        c.holes.push_back(curveOf(h));
        c.holePtrs.push_back(c.holes.back().get());
        c.add(c.holes.back().get(), h);
    }
    for (const P2& s : o.seeds)
        c.seeds.emplace_back(s[0], s[1], 0.0);
    return c;
}

void meshOurs(CMesh& mesh, Curves& c, int extra, const CMetal* metal)
{
    mesh.maxRemoves = INT_MAX;
    mesh.setModel(&c);
    mesh.name = L"mesh";
    mesh.create(extra, c.outer.get(), static_cast<int>(c.holePtrs.size()), c.holePtrs.data(), c.seeds.data(),
                kChordTol, metal);
}

std::vector<Triangle> trianglesOf(const CMesh& mesh, long long& vertices)
{
    std::vector<Triangle> tris;
    std::set<const CVertex*> used;
    for (int i = 0; i < mesh.nTriangles; ++i) {
        const CTriangle& t = mesh.triangles[i];
        if (!t.alive)
            continue;
        tris.push_back({P2{t.vertex0->x, t.vertex0->y}, P2{t.vertex1->x, t.vertex1->y}, P2{t.vertex2->x, t.vertex2->y}});
        used.insert({t.vertex0, t.vertex1, t.vertex2});
    }
    vertices = static_cast<long long>(used.size());
    return tris;
}

// Stores mesh in an in-memory file and loads it into a new mesh that finds
// its curves in c (the material through gModel); the bytes stored.
std::size_t storeAndLoad(CMesh& mesh, Curves& c, double& storeSecs, double& loadSecs)
{
    const auto t0 = Clock::now();
    CMemFile file(1 << 20);
    {
        CArchive ar(&file, CArchive::store);
        mesh.Serialize(ar);
        ar.Close();
    }
    const auto t1 = Clock::now();
    CMemFile in(file.GetData(), static_cast<UINT>(file.GetLength()));
    CArchive ar(&in, CArchive::load);
    CMesh back;
    back.setModel(&c);
    back.Serialize(ar);
    back.resolveReferences();
    const auto t2 = Clock::now();
    storeSecs += seconds(t0, t1);
    loadSecs += seconds(t1, t2);
    return static_cast<std::size_t>(file.GetLength());
}

// The text of whatever the mesher threw.
std::string refusal()
{
    try {
        throw;
    } catch (const std::exception& e) {
        return e.what();
    } catch (const char* s) {
        return s;
    } catch (const wchar_t* s) {
        return std::string(s, s + std::wcslen(s));
    } catch (...) {
        return "unknown exception";
    }
}

// ---------------------------------------------------------------------------
// CGAL.

#ifdef LORIMANT_HAVE_CGAL
using K = CGAL::Exact_predicates_inexact_constructions_kernel;
using Tds = CGAL::Triangulation_data_structure_2<CGAL::Delaunay_mesh_vertex_base_2<K>,
                                                 CGAL::Delaunay_mesh_face_base_2<K>>;
using CDT = CGAL::Constrained_Delaunay_triangulation_2<K, Tds>;
using Criteria = CGAL::Delaunay_mesh_size_criteria_2<CDT>;

// Refines the polygons with CGAL's default angle bound (about 20.6
// degrees) and the longest edge at most size.
void meshCgal(CDT& cdt, const std::vector<Ring>& rings, const std::vector<P2>& seeds, double size)
{
    for (const Ring& r : rings)
        for (std::size_t i = 0; i < r.size(); ++i)
            cdt.insert_constraint(K::Point_2(r[i][0], r[i][1]),
                                  K::Point_2(r[(i + 1) % r.size()][0], r[(i + 1) % r.size()][1]));
    std::vector<K::Point_2> holeSeeds;
    for (const P2& s : seeds)
        holeSeeds.emplace_back(s[0], s[1]);
    CGAL::refine_Delaunay_mesh_2(cdt, holeSeeds.begin(), holeSeeds.end(), Criteria(0.125, size), false);
}

std::vector<Triangle> trianglesOf(const CDT& cdt)
{
    std::vector<Triangle> tris;
    for (auto f = cdt.finite_faces_begin(); f != cdt.finite_faces_end(); ++f) {
        if (!f->is_in_domain())
            continue;
        Triangle t;
        for (int k = 0; k < 3; ++k)
            t[k] = {f->vertex(k)->point().x(), f->vertex(k)->point().y()};
        tris.push_back(t);
    }
    return tris;
}

long long cgalVertices(const std::vector<Ring>& rings, const std::vector<P2>& seeds, double size)
{
    CDT cdt;
    meshCgal(cdt, rings, seeds, size);
    return static_cast<long long>(cdt.number_of_vertices());
}

// The size bound at which CGAL's vertex count comes within 0.5% of target
// (or the closest found in 30 halvings of the bracket, in log scale).
double matchSize(const std::vector<Ring>& rings, const std::vector<P2>& seeds, long long target, double diag)
{
    double hi = diag, lo = diag;
    while (cgalVertices(rings, seeds, lo) < target && lo > 1e-6 * diag)
        lo /= 2.0;
    double best = lo;
    long long bestGap = LLONG_MAX;
    for (int i = 0; i < 30; ++i) {
        const double mid = std::sqrt(lo * hi);
        const long long n = cgalVertices(rings, seeds, mid);
        if (std::llabs(n - target) < bestGap) {
            bestGap = std::llabs(n - target);
            best = mid;
        }
        if (bestGap * 200 <= target)
            break;
        (n > target ? lo : hi) = mid;
    }
    return best;
}
#endif

void BM_Mesh(benchmark::State& state)
{
    const Input& input = kInputs[state.range(0)];
    const int extra = static_cast<int>(state.range(1));
    state.SetLabel(input.name);
    // The material is found by name when a mesh is loaded: the model that
    // owns it is the current one (gModel) while this case runs.
    auto material = std::make_shared<CMetal>();
    material->name = L"steel";
    CModel owner;
    owner.materials.AddTail(material);
    const CMetal& metal = *material;
    Curves curves = curvesOf(input.make());
    std::vector<Ring> rings = {polygonOf(*curves.outer)};
    double exactArea = std::fabs(signedArea(rings[0]));
    for (auto& h : curves.holes) {
        rings.push_back(polygonOf(*h));
        exactArea -= std::fabs(signedArea(rings.back()));
    }
    double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
    for (const P2& p : rings[0]) {
        x0 = std::min(x0, p[0]), x1 = std::max(x1, p[0]);
        y0 = std::min(y0, p[1]), y1 = std::max(y1, p[1]);
    }
    const double diag = std::hypot(x1 - x0, y1 - y0);

    // Ours, once untimed: a refusal is recorded, and the vertex count is
    // the target of CGAL's size bound.
    long long ourVertices = 0;
    bool refused = false;
    {
        CMesh mesh;
        try {
            meshOurs(mesh, curves, extra, &metal);
            trianglesOf(mesh, ourVertices);
        } catch (...) {
            refused = true;
            state.counters["ours_refused"] = 1;
            state.SetLabel(std::string(input.name) + " (ours refused: " + refusal() + ")");
        }
    }
    const std::vector<P2> seeds = input.make().seeds;
#ifdef LORIMANT_HAVE_CGAL
    const double size = refused ? diag / 30.0 : matchSize(rings, seeds, ourVertices, diag);
#endif

    double tOurs = 0.0, tSmooth = 0.0, tElements = 0.0, tStore = 0.0, tLoad = 0.0, tPeer = 0.0;
    std::size_t storedBytes = 0;
    std::string storeRefusal;  // what storing or loading the mesh threw
    Quality ours, peer;
    std::size_t peakOurs = 0, peakPeer = 0;
    for (auto _ : state) {
        if (!refused) {
            PeakMemory::reset();
            CMesh mesh;
            const auto t0 = Clock::now();
            meshOurs(mesh, curves, extra, &metal);
            const auto t1 = Clock::now();
            long long v = 0;
            const std::vector<Triangle> tris = trianglesOf(mesh, v);
            const auto t2 = Clock::now();
            mesh.smooth();
            const auto t3 = Clock::now();
            mesh.create2DFEM(1.0);
            const auto t4 = Clock::now();
            peakOurs = PeakMemory::peak();
            if (storeRefusal.empty()) {
                try {
                    storedBytes = storeAndLoad(mesh, curves, tStore, tLoad);
                } catch (...) {
                    storeRefusal = refusal();
                }
            }
            tOurs += seconds(t0, t1);
            tSmooth += seconds(t2, t3);
            tElements += seconds(t3, t4);
            ours = measure(tris, v, exactArea);
        }
#ifdef LORIMANT_HAVE_CGAL
        PeakMemory::reset();
        const auto t0 = Clock::now();
        CDT cdt;
        meshCgal(cdt, rings, seeds, size);
        tPeer += seconds(t0, Clock::now());
        peakPeer = PeakMemory::peak();
        peer = measure(trianglesOf(cdt), static_cast<long long>(cdt.number_of_vertices()), exactArea);
#endif
    }
    const double n = static_cast<double>(state.iterations());
    if (!refused) {
        report(state, "ours", ours, tOurs / n, peakOurs);
        state.counters["ours_smooth_ms"] = 1e3 * tSmooth / n;
        state.counters["ours_elements_ms"] = 1e3 * tElements / n;
        if (storeRefusal.empty()) {
            state.counters["ours_store_ms"] = 1e3 * tStore / n;
            state.counters["ours_load_ms"] = 1e3 * tLoad / n;
            state.counters["ours_stored_MB"] = static_cast<double>(storedBytes) / 1e6;
        } else {
            state.counters["ours_store_refused"] = 1;
            state.SetLabel(std::string(input.name) + " (store/load refused: " + storeRefusal + ")");
        }
    }
#ifdef LORIMANT_HAVE_CGAL
    report(state, "cgal", peer, tPeer / n, peakPeer);
    if (!refused) {
        state.counters["ratio_time"] = tOurs / tPeer;
        state.counters["ratio_peak"] = static_cast<double>(peakOurs) / static_cast<double>(std::max<std::size_t>(1, peakPeer));
    }
#else
    state.counters["cgal_skipped"] = 1;
#endif
}

void meshArgs(benchmark::internal::Benchmark* b)
{
    const int inputs = static_cast<int>(sizeof kInputs / sizeof kInputs[0]);
    for (int i = 0; i < inputs; ++i)
        b->Args({i, 4000});
    // The I-beam across sizes, where a stage growing faster than the
    // others shows.
    for (int extra : {1000, 16000, 64000})
        b->Args({2, extra});
}

}  // namespace

BENCHMARK(BM_Mesh)->Apply(meshArgs)->ArgNames({"input", "extra"})->Iterations(1)->Unit(benchmark::kMillisecond);
