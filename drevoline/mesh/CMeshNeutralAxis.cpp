// Queries on the solved stress field of the triangle elements (the zero
// line of the normal stress and the split of area and force by a line), and
// the boundary curve of a named object.
#include <cmath>
#include <stdexcept>

#include "analysis/model/CSectionForces.h"
#include "drevoline/mesh/CCurveResolver.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CMesh.h"

CCompositeCurve* CMesh::findCompositeCurve(double x, double y, CString objectName)
{
    return model ? model->findCompositeCurve(x, y, objectName) : nullptr;
}

bool CMesh::pointOnNeutralAxis(CSectionForces* f, Point<double>& p)
{
    double best = 1e20;
    bool found = false;
    for (const auto& e : trng3Elements) {
        Point<double> p1;
        Point<double> p2;
        if (!e->contourLine(STRESS_ZZ, 0.0, p1, p2))
            continue;
        const double d2 = (p1 - p).lengthSquared();
        if (d2 < best) {
            best = d2;
            found = true;
            f->neutralPoint = p1;
        }
    }
    return found;
}

double CMesh::findNeutralAxisAngle()
{
    double angle = 0.0;
    if (!neutralAxisAngle(&angle))
        throw std::logic_error("There is no neutral axis: no element crosses the zero stress line");
    return angle;
}

bool CMesh::neutralAxisAngle(double* angle)
{
    bool haveFirst = false;
    Point<double> P0;
    Point<double> firstEnd;
    Point<double> Q;
    double farthest = 0.0;
    for (const auto& e : trng3Elements) {
        Point<double> p1;
        Point<double> p2;
        if (!e->contourLine(STRESS_ZZ, 0.0, p1, p2))
            continue;
        if (!haveFirst) {
            haveFirst = true;
            P0 = p1;
            firstEnd = p2;
            continue;
        }
        const double d2 = (p1 - P0).lengthSquared();
        if (d2 > farthest) {
            farthest = d2;
            Q = p1;
        }
    }
    if (!haveFirst)
        return false;
    // One crossed element (or every later one starting where the first
    // does): the first element's own piece of the zero line gives the direction.
    const Point<double> d = farthest > 0.0 ? Q - P0 : firstEnd - P0;
    *angle = std::fabs(d.x) < 1e-12 ? 90.0 : std::atan(d.y / d.x) * 57.29577951308232;
    return true;
}

void CMesh::splitArea(bool useX, Point<double> a, Point<double> b, double* r1, double* r2,
                      double* r3, double* r4, double* r5, double* r6, double* r7, double* r8,
                      double* r9, double* r10, double* r11, double* r12) const
{
    double* out[12] = {r1, r2, r3, r4, r5, r6, r7, r8, r9, r10, r11, r12};
    for (double* r : out)
        *r = 0.0;
    for (const auto& e : trng3Elements) {
        double v[12] = {};
        e->splitArea(useX, a, b, &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8],
                     &v[9], &v[10], &v[11]);
        for (int i = 0; i < 12; ++i)
            *out[i] += v[i];
    }
}
