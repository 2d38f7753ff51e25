// The boolean union's walk on plain curves: one sum, its passes and circuits.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "test_union_support.h"

using namespace union_test;

namespace {

// Signed area and first moments (about the y and x axes) of the polygon of
// a straight-edged curve, exact for its corners.
struct Moments {
    double area = 0, qx = 0, qy = 0;
};

Moments polygonMoments(const CCompositeCurve* c)
{
    std::vector<Pt> pts;
    POSITION pos = c->arcs().GetHeadPosition();
    while (pos) {
        const Bspline* arc = c->arcs().GetNext(pos);
        for (int i = 0; i + 1 < arc->nPts(); ++i)
            pts.push_back(arc->cpts(i));
    }
    Moments m;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const Pt& a = pts[i];
        const Pt& b = pts[(i + 1) % pts.size()];
        const double cr = a.x * b.y - b.x * a.y;
        m.area += cr / 2;
        m.qx += (a.x + b.x) * cr / 6;
        m.qy += (a.y + b.y) * cr / 6;
    }
    return m;
}

// Sum of the results' moments, holes counting negative whatever their direction.
Moments netMoments(CBooleanSum::CurveList& results)
{
    Moments total;
    POSITION pos = results.GetHeadPosition();
    while (pos) {
        const CCompositeCurve* c = results.GetNext(pos);
        Moments m = polygonMoments(c);
        const double s = (m.area < 0 ? -1 : 1) * (c->isNegative() ? -1 : 1);
        total.area += s * m.area;
        total.qx += s * m.qx;
        total.qy += s * m.qy;
    }
    return total;
}

} // namespace

TEST(UnionWalk, TwoOverlappingRectanglesGiveOneOutline)
{
    CBooleanSum sum;
    sum.setMode(true);
    sum.appendCurve(signedCurve(rectangle(0, 0, 2, 2), 1));
    sum.appendCurve(signedCurve(rectangle(1, 1, 3, 3), 1));
    sum.compute(-1);
    ASSERT_EQ(sum.results().GetCount(), 1);
    const Moments m = netMoments(sum.results());
    EXPECT_NEAR(m.area, 7.0, 1e-9);
}

TEST(UnionWalk, CrossOfTwoRectangles)
{
    CBooleanSum sum;
    sum.setMode(true);
    sum.appendCurve(signedCurve(rectangle(0, 0, 10, 2), 1));
    sum.appendCurve(signedCurve(rectangle(4, -3, 6, 5), 1));
    sum.compute(-1);
    ASSERT_EQ(sum.results().GetCount(), 1);
    const Moments m = netMoments(sum.results());
    EXPECT_NEAR(m.area, 32.0, 1e-9);
    EXPECT_NEAR(m.qx / m.area, 5.0, 1e-9);
    EXPECT_NEAR(m.qy / m.area, 1.0, 1e-9);
}
