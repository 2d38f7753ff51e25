// Outlines and helpers shared by the tests of the boolean union.
#pragma once

#include <memory>
#include <vector>

#include "analysis/geometry/CIntersection.h"
#include "analysis/tests/test_composite_support.h"
#include "drevoline/section/CBooleanSum.h"

namespace union_test {

using namespace composite_test;

// Releases a curve made by the composite-curve helpers, with its sign.
inline CCompositeCurve* signedCurve(std::unique_ptr<CCompositeCurve> c, int sign)
{
    c->sign(sign);
    return c.release();
}

// The rectangle [x0, x1] x [y0, y1] as one straight arc of five control
// points, counter-clockwise from its lower-left corner.
inline std::unique_ptr<CCompositeCurve> polylineRectangle(double x0, double y0, double x1, double y1)
{
    Pt pts[5] = {P(x0, y0), P(x1, y0), P(x1, y1), P(x0, y1), P(x0, y0)};
    auto c = std::make_unique<CCompositeCurve>();
    c->addArc(new Bspline(5, pts));
    return c;
}

// The records of an intersection as (curve, parameter) pairs in order.
inline std::vector<const CCompositeCurve*> recordedCurves(const CIntersection* x)
{
    std::vector<const CCompositeCurve*> out;
    POSITION pos = x->curves().GetHeadPosition();
    while (pos)
        out.push_back(x->curves().GetNext(pos)->curve);
    return out;
}

// The points of the sum's intersections in list order.
inline std::vector<Pt> intersectionPoints(CBooleanSum& sum)
{
    std::vector<Pt> out;
    if (!sum.intersections())
        return out;
    POSITION pos = sum.intersections()->GetHeadPosition();
    while (pos)
        out.push_back(sum.intersections()->GetNext(pos)->point);
    return out;
}

} // namespace union_test

namespace union_test {

// Adds to the sum's intersection list (creating it) a new intersection at
// p recording curve at parameter t; returns it.
inline CIntersection* addCrossing(CBooleanSum& sum, CCompositeCurve* curve, double t, Pt p = Pt())
{
    if (!sum.intersections())
        sum.findIntersections();  // with no working curves: just the empty list
    auto* x = new CIntersection();
    x->point = p;
    x->add(curve, t);
    sum.intersections()->AddTail(x);
    return x;
}

} // namespace union_test
