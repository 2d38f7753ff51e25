// B-spline boundary integrals, arc length, boxes and polygons.
#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/model/Globals.h"
#include "analysis/tests/BsplineTestCurves.h"

using bspline_test::cubicPolynomial;
using bspline_test::P;
using bspline_test::quarterCircle;

namespace {

class BsplinePolygon : public bspline_test::SplineState {};

// Sum of integrateSpline with dA over straight arcs joining the points in order.
double polygonArea(const std::vector<Point<double>>& pts)
{
    double area = 0.0;
    Point<double> origin;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        Point<double> a = pts[i], b = pts[(i + 1) % pts.size()];
        Bspline arc(&a, &b, false);
        area += integrateSpline(dA, &arc, &origin, 2, arc.startParameter(), arc.endParameter());
    }
    return area;
}

int gCalls = 0;

// The counts the chord-height search tries from k0: k, k + k/2, ...
std::vector<int> searchCounts(int k0)
{
    std::vector<int> counts;
    for (int k = k0; k < 100000; k += k / 2)
        counts.push_back(k);
    return counts;
}

bool isSearchCount(int k, int k0)
{
    const std::vector<int> counts = searchCounts(k0);
    return std::find(counts.begin(), counts.end(), k) != counts.end();
}

// The point of the radius-10 quarter circle at the fraction u of its range,
// from the closed form of its angle.
Point<double> onQuarterCircle(double u)
{
    const double a = bspline_test::quarterCircleAngle(u);
    return P(10.0 * std::cos(a), 10.0 * std::sin(a));
}

// The first count of the search from k0 whose middle span [1/2, 1/2 + 1/k]
// of the radius-10 quarter circle has a chord height below tol.
int firstCountBelow(double tol, int k0)
{
    for (int k : searchCounts(k0)) {
        const Point<double> a = onQuarterCircle(0.5), b = onQuarterCircle(0.5 + 1.0 / k);
        const Point<double> c = onQuarterCircle(0.5 + 0.5 / k);
        if (((a + b) / 2.0 - c).length() < tol)
            return k;
    }
    return -1;
}

double countedArea(Bspline* s, double a, double b, Point<double>* c)
{
    ++gCalls;
    return dA(s, a, b, c);
}

double one(Bspline*, double, double, Point<double>*)
{
    ++gCalls;
    return 1.0;
}

double minusOne(Bspline*, double, double, Point<double>*)
{
    ++gCalls;
    return -1.0;
}

double zero(Bspline*, double, double, Point<double>*)
{
    ++gCalls;
    return 0.0;
}

}  // namespace

TEST_F(BsplinePolygon, UnitSquareAreaIsExact)
{
    const std::vector<Point<double>> ccw = {P(0, 0), P(1, 0), P(1, 1), P(0, 1)};
    EXPECT_EQ(polygonArea(ccw), 1.0);
    const std::vector<Point<double>> cw = {P(0, 0), P(0, 1), P(1, 1), P(1, 0)};
    EXPECT_EQ(polygonArea(cw), -1.0);
}

TEST_F(BsplinePolygon, StraightArcIntegralEndsAfterTwoPasses)
{
    Point<double> a = P(1, 0), b = P(1, 3), origin;
    Bspline arc(&a, &b, false);
    gCalls = 0;
    const double area = integrateSpline(countedArea, &arc, &origin, 2, 0.0, 3.0);
    EXPECT_EQ(gCalls, 2 + 4);
    EXPECT_NEAR(area, 1.5, 1e-15);

    // Through the reference point every triangle is empty: one pass.
    Point<double> c = P(-1, 0), d = P(2, 0);
    Bspline through(&c, &d, false);
    gCalls = 0;
    EXPECT_EQ(integrateSpline(countedArea, &through, &origin, 2, 0.0, 3.0), 0.0);
    EXPECT_EQ(gCalls, 2);
}

TEST_F(BsplinePolygon, IntegrationCountIsBounded)
{
    Bspline cubic;
    cubicPolynomial(cubic);
    Point<double> origin;
    struct Case {
        double (*f)(Bspline*, double, double, Point<double>*);
        double result;
        int calls;
    } cases[] = {
        {zero, 0.0, 16},                         // nothing to integrate: first pass
        {minusOne, -4096.0, 16 * (512 - 1)},     // negative: no pass beyond 4096
        {one, 4194304.0, 16 * ((1 << 19) - 1)},  // never settles: at most 2^22
    };
    for (const Case& c : cases) {
        gCalls = 0;
        EXPECT_EQ(integrateSpline(c.f, &cubic, &origin, 2, 0.0, 4.0), c.result);
        EXPECT_EQ(gCalls, c.calls);
    }
}

TEST_F(BsplinePolygon, QuarterDiskAreaFromTheArc)
{
    Bspline arc;
    quarterCircle(arc, 10.0, 5.0 * M_PI);
    Point<double> origin;
    const double area =
        integrateSpline(dA, &arc, &origin, 2, arc.startParameter(), arc.endParameter());
    EXPECT_NEAR(area, 25.0 * M_PI, 25.0 * M_PI * 1e-6);
}

TEST_F(BsplinePolygon, ArcLengthOfALengthParameterisedLine)
{
    Point<double> a = P(1, 1), b = P(4, 5);
    Bspline line(&a, &b, false);
    line.setGlobal(3.0);
    EXPECT_NEAR(line.arcRatio(), 1.0, 1e-12);
    EXPECT_NEAR(line.arclength(), 5.0, 1e-12);
    EXPECT_NEAR(line.arclength(3.5, 4.5), 1.0, 1e-12);
}

TEST_F(BsplinePolygon, ExtentsAndEndPoints)
{
    Bspline c;
    cubicPolynomial(c);
    Point<double> lo(-1, 100, 7), hi(-2, -100, 9);
    c.extents(&lo, &hi, 0);  // widen the given box
    EXPECT_EQ(lo.x, -1.0);
    EXPECT_EQ(lo.y, 0.0);
    EXPECT_EQ(hi.x, 4.0);
    EXPECT_EQ(hi.y, 16.0);
    EXPECT_EQ(lo.z, 7.0);  // z untouched
    c.extents(&lo, &hi, 1);
    EXPECT_EQ(lo.x, 0.0);
    EXPECT_EQ(lo.z, 0.0);  // seeded from the first control point

    // Without a polygon the control points are measured.
    Point<double> plo, phi;
    c.extentsPolygon(&plo, &phi, 1);
    EXPECT_EQ(plo.x, 0.0);
    EXPECT_EQ(phi.y, 16.0);
    EXPECT_TRUE(c.polygonPoints().IsEmpty());

    EXPECT_EQ(c.startPoint().x, 0.0);
    EXPECT_EQ(c.endPoint().z, 64.0);
    Bspline empty;
    EXPECT_THROW(empty.startPoint(), CInvalidArgException);
}

TEST_F(BsplinePolygon, CurvedPolygonKeepsTheChordHeight)
{
    Bspline arc;
    const double L = 5.0 * M_PI;
    quarterCircle(arc, 10.0, L);
    for (double tol : {1.0, 0.01, 1e-4}) {
        arc.polygon(false, tol, 0.0);
        const auto& pts = arc.polygonPoints();
        const int k = static_cast<int>(pts.GetSize()) - 1;
        EXPECT_TRUE(isSearchCount(k, 3)) << k;
        EXPECT_EQ(k, firstCountBelow(tol, 3)) << tol;
        EXPECT_EQ(pts[0].x, 10.0);
        EXPECT_EQ(pts[0].y, 0.0);
        EXPECT_EQ(pts[k].x, 0.0);
        EXPECT_EQ(pts[k].y, 10.0);
        // The sagitta of a chord of the circle spanning the middle step.
        Point<double> m0, m1;
        arc.eval(L / 2, &m0, 1e-7);
        arc.eval(L / 2 + L / k, &m1, 1e-7);
        const double halfChord = (m1 - m0).length() / 2;
        EXPECT_LT(10.0 - std::sqrt(100.0 - halfChord * halfChord), tol);
    }
    arc.polygon(true, 0.01, 0.0);
    const auto& pts = arc.polygonPoints();
    EXPECT_EQ(pts[0].z, 0.0);
    EXPECT_EQ(pts[pts.GetSize() - 1].z, L);

    double chord = -1;
    const int n = arc.estimatePolygonPtCount(0.01, &chord);
    EXPECT_TRUE(isSearchCount(n - 1, 10)) << n;
    EXPECT_EQ(n - 1, firstCountBelow(0.01, 10));
    EXPECT_GT(chord, 0.0);
    // The chord of the middle span: 2r sin(Δθ/2) between the closed-form angles.
    const double sweep = bspline_test::quarterCircleAngle(0.5 + 1.0 / (n - 1)) -
                         bspline_test::quarterCircleAngle(0.5);
    EXPECT_NEAR(chord, 20.0 * std::sin(sweep / 2), 1e-12);

    EXPECT_THROW(arc.polygon(false, 0.0, 0.0), std::logic_error);
    EXPECT_THROW(arc.estimatePolygonPtCount(-1.0, &chord), std::logic_error);
}

TEST_F(BsplinePolygon, LinePolygonBySpacingCarriesTheParameter)
{
    Point<double> a = P(0, 0), b = P(0, 2);
    Bspline line(&a, &b, false);
    line.polygon(true, 0.001, 0.5);
    const auto& pts = line.polygonPoints();
    ASSERT_EQ(pts.GetSize(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(pts[i].z, 0.5 * i, 1e-12) << i;
        EXPECT_NEAR(pts[i].y, 0.5 * i, 1e-12) << i;
        EXPECT_EQ(pts[i].x, 0.0);
    }

    // Without the flag z is the line's own z; uneven legs are cut evenly.
    Point<double> c = P(0, 0, 3), d = P(1, 0, 3), e = P(1, 0.25, 3);
    Point<double> legs[] = {c, d, e};
    Bspline poly(3, legs);
    poly.polygon(false, 0.001, 0.4);
    const auto& q = poly.polygonPoints();
    const double expectedX[] = {0, 1.0 / 3, 2.0 / 3, 1, 1};
    const double expectedY[] = {0, 0, 0, 0, 0.25};
    ASSERT_EQ(q.GetSize(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(q[i].x, expectedX[i], 1e-15) << i;
        EXPECT_NEAR(q[i].y, expectedY[i], 1e-15) << i;
        EXPECT_EQ(q[i].z, 3.0) << i;
    }
}

TEST_F(BsplinePolygon, PolylinePolygonIsItsVertices)
{
    Point<double> pts[] = {P(0, 0), P(1, 0), P(1, 2)};
    Bspline poly(3, pts);
    poly.setGlobal(10.0);
    poly.polygon(true, 0.001, 0.0);
    const auto& q = poly.polygonPoints();
    ASSERT_EQ(q.GetSize(), 3);
    const double z[] = {10, 11, 13};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(q[i].x, pts[i].x);
        EXPECT_EQ(q[i].y, pts[i].y);
        EXPECT_NEAR(q[i].z, z[i], 1e-12);
    }
    poly.deletePolygon();
    EXPECT_TRUE(poly.polygonPoints().IsEmpty());

    double chord = -7;
    EXPECT_EQ(poly.estimatePolygonPtCount(0.001, &chord), 3);
    EXPECT_EQ(chord, -7.0);
}

TEST_F(BsplinePolygon, ChordHeightIsTheLargestInteriorDeviation)
{
    Point<double> a = P(0, 0), b = P(3, 4);
    Bspline line(&a, &b, false);
    EXPECT_EQ(line.chordHeightTol(), 0.0);

    struct Case {
        std::vector<Point<double>> pts;
        double height;
    } cases[] = {
        {{P(0, 0), P(1, 1), P(2, 0)}, 1.0},            // the middle point
        {{P(0, 0), P(1, 3), P(2, 0), P(4, 0)}, 3.0},   // bent, though the last leg lies on the chord
        {{P(0, 0), P(3, 4), P(0, 0)}, 5.0},            // closed: distance from the start
        {{P(1, 1)}, -1.0},
    };
    for (const Case& c : cases) {
        std::vector<Point<double>> pts = c.pts;
        Bspline poly(static_cast<int>(pts.size()), pts.data());
        EXPECT_NEAR(poly.chordHeightTol(), c.height, 1e-15) << pts.size();
    }
}
