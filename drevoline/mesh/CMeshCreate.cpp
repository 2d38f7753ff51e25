// Meshing one outline: its polygons, the storage, the bounding vertices and
// the pipeline.
#include <cmath>
#include <utility>
#include <stdexcept>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "drevoline/mesh/CMesh.h"

namespace {

// The bounding vertices lie this far out, around the origin.
constexpr double kBoundingRadius = 1e20;

// Twice the signed area of the closed polygon in x-y (positive counter-clockwise).
double signedArea2(const CArray<Point<double>>& p)
{
    double sum = 0.0;
    const INT_PTR n = p.GetSize();
    for (INT_PTR i = 0; i < n; ++i) {
        const Point<double>& a = p[i];
        const Point<double>& b = p[(i + 1) % n];
        sum += a.x * b.y - b.x * a.y;
    }
    return sum;
}

// A copy of the curve's polygon running counter-clockwise (outer boundary)
// or clockwise (hole): the domain must lie left of every segment.
CArray<Point<double>> orientedPolygon(const CCompositeCurve* curve, bool counterClockwise)
{
    CArray<Point<double>> pts(curve->polygonPoints());
    const double a = signedArea2(pts);
    if ((counterClockwise && a < 0.0) || (!counterClockwise && a > 0.0)) {
        const INT_PTR n = pts.GetSize();
        for (INT_PTR i = 0; i < n / 2; ++i)
            std::swap(pts[i], pts[n - 1 - i]);
    }
    return pts;
}

}  // namespace

void CMesh::setBoundingVertices()
{
    for (int k = 0; k < 3; ++k) {
        const double theta = k * 2.0 * 3.141592653589793 / 3.0 + 0.123;
        CVertex& v = vertices[k];
        v.id = k;
        v.x = std::cos(theta) * kBoundingRadius;
        v.y = std::sin(theta) * kBoundingRadius;
        v.onBoundary = false;
    }
    nNodes = 3;
    nSegments = 0;
}

void CMesh::create(int extraNodes, CCompositeCurve* outer, int holeCount, CCompositeCurve** holes,
                   Point<double>* holeSeeds, double spacing, const CMetal* material)
{
    if (holeCount > kMaxHoles)
        throw std::logic_error("Too many holes to mesh");
    boundaryCurves.clear();
    nNodes = extraNodes;
    outer->polygon(true, spacing, -1.0);
    nNodes += static_cast<int>(outer->polygonPoints().GetSize());
    int segmentEstimate = static_cast<int>(outer->polygonPoints().GetSize()) - 1;
    for (int i = 0; i < holeCount; ++i) {
        holes[i]->polygon(true, spacing, -1.0);
        nNodes += static_cast<int>(holes[i]->polygonPoints().GetSize());
        segmentEstimate += static_cast<int>(holes[i]->polygonPoints().GetSize()) - 1;
    }
    alloc(nNodes, segmentEstimate);
    nNodes += 3;
    if (nNodes > maxNodes)
        throw std::logic_error("nNodes > maxNodes\n");
    setBoundingVertices();

    CArray<Point<double>> outerPts = orientedPolygon(outer, true);
    addPolygon(outer, &outerPts, -1);
    nHoles = holeCount;
    for (int i = 0; i < holeCount; ++i) {
        CArray<Point<double>> holePts = orientedPolygon(holes[i], false);
        addPolygon(holes[i], &holePts, i);
        holePoints[i].x = holeSeeds[i].x;
        holePoints[i].y = holeSeeds[i].y;
    }
    computeMesh(material);
}
