// Area and first moments of union results, from the corners of
// straight-edged outlines (exact) or the curve's own area integral.
#pragma once

#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"

namespace union_test {

struct Moments {
    double area = 0, qx = 0, qy = 0;  // qx = integral of x dA, qy = integral of y dA
};

// Signed area and first moments of the polygon through the control points
// of a curve of straight arcs (counter-clockwise positive).
inline Moments polygonMoments(const CCompositeCurve* c)
{
    std::vector<Point<double>> pts;
    POSITION pos = c->arcs().GetHeadPosition();
    while (pos) {
        const Bspline* arc = c->arcs().GetNext(pos);
        for (int i = 0; i + 1 < arc->nPts(); ++i)
            pts.push_back(arc->cpts(i));
    }
    Moments m;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const Point<double>& a = pts[i];
        const Point<double>& b = pts[(i + 1) % pts.size()];
        const double cr = a.x * b.y - b.x * a.y;
        m.area += cr / 2;
        m.qx += (a.x + b.x) * cr / 6;
        m.qy += (a.y + b.y) * cr / 6;
    }
    return m;
}

// The moments of a set of outlines: a hole counts negative whatever its
// direction of travel.
template <class Curves>
Moments netMoments(const Curves& curves)
{
    Moments total;
    for (const CCompositeCurve* c : curves) {
        const Moments m = polygonMoments(c);
        const double s = (m.area < 0 ? -1 : 1) * (c->isNegative() ? -1 : 1);
        total.area += s * m.area;
        total.qx += s * m.qx;
        total.qy += s * m.qy;
    }
    return total;
}

}  // namespace union_test
