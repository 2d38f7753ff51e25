// Outlines and checks shared by the mesher tests: polygonal and circular
// composite curves, meshing an outline, and the invariants every finished
// mesh must satisfy.
#pragma once

#include <climits>
#include <map>
#include <cmath>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "drevoline/mesh/CCurveResolver.h"
#include "analysis/predicates/Predicates.h"
#include "drevoline/mesh/CMesh.h"

namespace mesher_test {

// The section model's part for welds: curves by object name.
class Curves : public CCurveResolver {
public:
    CCompositeCurve* findCompositeCurve(double, double, const CString& name) override
    {
        auto it = byName.find(name.ToUtf8());
        return it == byName.end() ? nullptr : it->second;
    }
    std::map<std::string, CCompositeCurve*> byName;
};

using Pts = std::vector<Point<double>>;

constexpr double kMesherPi = 3.14159265358979323846;

inline Point<double> P(double x, double y)
{
    return Point<double>(x, y, 0.0);
}

// A closed polygonal curve through the points, in the order given.
inline std::unique_ptr<CCompositeCurve> polygonCurve(const Pts& pts)
{
    auto c = std::make_unique<CCompositeCurve>();
    for (std::size_t i = 0; i < pts.size(); ++i) {
        Point<double> a = pts[i];
        Point<double> b = pts[(i + 1) % pts.size()];
        c->addArc(new Bspline(&a, &b, false));
    }
    return c;
}

// The axis-parallel rectangle from (x0, y0) to (x1, y1), counter-clockwise
// from its lower left corner (clockwise when cw).
inline Pts rectangle(double x0, double y0, double x1, double y1, bool cw = false)
{
    if (cw)
        return {P(x0, y0), P(x0, y1), P(x1, y1), P(x1, y0)};
    return {P(x0, y0), P(x1, y0), P(x1, y1), P(x0, y1)};
}

// A full circle of radius r about (cx, cy), counter-clockwise.
inline std::unique_ptr<CCompositeCurve> circleCurve(double cx, double cy, double r)
{
    auto c = std::make_unique<CCompositeCurve>();
    Point<double> centre = P(cx, cy);
    Point<double> start = P(cx + r, cy);
    Point<double> normal(0.0, 0.0, 1.0);
    c->addArc(new Bspline(&centre, &start, &start, &normal));
    return c;
}

// Twice the signed area of a closed polygon in x-y.
inline double signedArea2(const CArray<Point<double>>& p)
{
    double s = 0.0;
    for (INT_PTR i = 0; i < p.GetSize(); ++i) {
        const Point<double>& a = p[i];
        const Point<double>& b = p[(i + 1) % p.GetSize()];
        s += a.x * b.y - b.x * a.y;
    }
    return s;
}

// An outline with its holes, owning the curves.
struct Outline {
    std::unique_ptr<CCompositeCurve> outer;
    std::vector<std::unique_ptr<CCompositeCurve>> holes;

    // Area enclosed by the curves' polygons (after meshing built them).
    double polygonArea() const
    {
        double a = std::fabs(signedArea2(outer->polygonPoints())) / 2.0;
        for (const auto& h : holes)
            a -= std::fabs(signedArea2(h->polygonPoints())) / 2.0;
        return a;
    }
};

// Meshes the outline with the given extra nodes, no budget limit.
inline std::unique_ptr<CMesh> meshOutline(Outline& o, int extraNodes, double spacing = 0.05,
                                          int budget = INT_MAX)
{
    auto m = std::make_unique<CMesh>();
    m->maxRemoves = budget;
    std::vector<CCompositeCurve*> holes;
    std::vector<Point<double>> seeds;
    for (auto& h : o.holes) {
        holes.push_back(h.get());
        seeds.push_back(h->getInteriorPoint(0.5));
    }
    m->create(extraNodes, o.outer.get(), static_cast<int>(holes.size()), holes.data(),
              seeds.data(), spacing, nullptr);
    return m;
}

// The points as an array.
inline CArray<Point<double>> array(const Pts& pts)
{
    CArray<Point<double>> a;
    for (const Point<double>& p : pts)
        a.Add(p);
    return a;
}

// The message of the std::logic_error fn throws, "" when none.
inline std::string failure(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const std::logic_error& e) {
        return e.what();
    }
    return "";
}

// A mesh with storage for n polygon points and `extra` more, the bounding
// vertices set and no budget limit.
inline std::unique_ptr<CMesh> prepared(int n, int extra = 0)
{
    auto m = std::make_unique<CMesh>();
    m->maxRemoves = INT_MAX;
    m->alloc(n + extra, n);
    m->setBoundingVertices();
    return m;
}

// Runs the pipeline up to the boundary freeze (no refinement).
inline void triangulateOnly(CMesh& m)
{
    m.nRemoves = 0;
    exactinit();
    m.constructInitialTriangulation();
    m.nInputNodes = m.nNodes;
    m.insertMissingSegments();
    m.removeOutsideTriangles();
    m.freezeEdgesThatAreSegments();
}

// The polygon (closed here) triangulated without refinement, with room for
// `room` more nodes; the node limit is the nodes in use, so that a caller
// raising it by k lets the refinement add k nodes.
inline std::unique_ptr<CMesh> unrefined(Pts pts, int room = 50)
{
    pts.push_back(pts.front());
    auto m = prepared(static_cast<int>(pts.size()), room);
    auto a = array(pts);
    m->addPolygon(nullptr, &a, -1);
    triangulateOnly(*m);
    m->assignEdgeSegments();
    m->maxNodes = m->nNodes;
    return m;
}

inline int liveTriangles(const CMesh& m)
{
    int n = 0;
    for (int i = 0; i < m.nTriangles; ++i)
        n += m.triangles[i].alive ? 1 : 0;
    return n;
}

// Twice the signed area of a triangle by the exact predicate.
inline double orientation(const CTriangle& t)
{
    return orient2dexact(t.vertex0->xy(), t.vertex1->xy(), t.vertex2->xy());
}

// The number of live triangles on edge e.
inline int liveSides(const CEdge& e)
{
    return (e.leftTriangle && e.leftTriangle->alive ? 1 : 0) +
           (e.rightTriangle && e.rightTriangle->alive ? 1 : 0);
}

// The invariants of a finished mesh of an outline with `holes` holes whose
// polygons enclose `area`.
inline void expectSoundMesh(CMesh& m, double area, int holes)
{
    int live = 0;
    double sum = 0.0;
    for (int i = 0; i < m.nTriangles; ++i) {
        const CTriangle& t = m.triangles[i];
        if (!t.alive)
            continue;
        ++live;
        const double o = orientation(t);
        EXPECT_GT(o, 0.0) << "triangle " << i << " is not counter-clockwise";
        sum += o / 2.0;
    }
    EXPECT_NEAR(sum, area, 1e-12 * area);
    int boundaryEdges = 0;
    for (int i = 0; i < m.nEdges; ++i)
        if (liveSides(m.edges[i]) == 1)
            ++boundaryEdges;
    const int V = m.nNodes - 3;
    EXPECT_EQ(live, 2 * V - boundaryEdges - 2 + 2 * holes);
    for (int s = 0; s < m.nSegments; ++s) {
        int found = 0;
        for (int i = 0; i < m.nEdges; ++i) {
            const CEdge& e = m.edges[i];
            const bool joins = (e.vertexA == m.segments[s].vertexA && e.vertexB == m.segments[s].vertexB) ||
                               (e.vertexA == m.segments[s].vertexB && e.vertexB == m.segments[s].vertexA);
            if (!joins)
                continue;
            ++found;
            EXPECT_TRUE(e.frozen) << "segment " << s;
            EXPECT_EQ(liveSides(e), 1) << "segment " << s;
            EXPECT_EQ(e.segment, &m.segments[s]);
        }
        EXPECT_EQ(found, 1) << "segment " << s;
    }
}

// A quarter circle of radius r about c from angle a0 towards a1, sampled
// within chord tolerance tol; the end point is left to the next piece.
inline void quarter(Pts& pts, double cx, double cy, double r, double a0, double a1, double tol)
{
    const double step = 2.0 * std::acos(1.0 - tol / r);
    const int n = static_cast<int>(std::ceil(std::fabs(a1 - a0) / step));
    for (int i = 0; i < n; ++i) {
        const double a = a0 + (a1 - a0) * i / n;
        pts.push_back(P(cx + r * std::cos(a), cy + r * std::sin(a)));
    }
}

// An I-beam 10 wide and 10 deep, flanges 1 thick, web 1 thick, with root
// fillets of radius 0.5 sampled at a chord tolerance of 0.001: 60 points.
inline Pts filletedIBeam()
{
    const double r = 0.5;
    const double tol = 0.001;
    Pts p = {P(0, 0), P(10, 0), P(10, 1)};
    quarter(p, 6, 1.5, r, -kMesherPi / 2, -kMesherPi, tol);
    quarter(p, 6, 8.5, r, kMesherPi, kMesherPi / 2, tol);
    for (const Point<double>& q : {P(10, 9), P(10, 10), P(0, 10), P(0, 9)})
        p.push_back(q);
    quarter(p, 4, 8.5, r, kMesherPi / 2, 0, tol);
    quarter(p, 4, 1.5, r, 0, -kMesherPi / 2, tol);
    p.push_back(P(0, 1));
    return p;
}

}  // namespace mesher_test
