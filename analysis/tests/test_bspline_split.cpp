// B-spline splitting, sub-splines, transforms and control-polygon queries.
#include <cmath>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CMaxMinBox.h"
#include "analysis/geometry/Matrix.h"
#include "analysis/model/Globals.h"
#include "analysis/tests/BsplineTestCurves.h"

using bspline_test::cubicPolynomial;
using bspline_test::P;
using bspline_test::quarterCircle;

namespace {

class BsplineSplit : public bspline_test::SplineState {};
class BsplineTransform : public bspline_test::SplineState {};

struct Pieces {
    std::unique_ptr<Bspline> first;
    std::unique_ptr<Bspline> second;
};

Pieces splitAt(const Bspline& s, double u)
{
    Bspline* a = nullptr;
    Bspline* b = nullptr;
    s.split(u, &a, &b);
    return {std::unique_ptr<Bspline>(a), std::unique_ptr<Bspline>(b)};
}

// Number of knots of s exactly equal to u.
int copiesOf(const Bspline& s, double u)
{
    int n = 0;
    for (double k : s.knotVector())
        n += k == u;
    return n;
}

double distance(const Point<double>& a, const Point<double>& b)
{
    return (a - b).length();
}

// Evaluation tolerance of the comparisons: the end short cut only at the
// ends themselves, so that points just inside an end come from the curve.
constexpr double kEvalTol = 1e-13;

// Both pieces evaluate like the whole spline on their sides of u, and meet in P(u).
void expectPiecesReproduce(const Bspline& whole, const Pieces& p, double u, double tol)
{
    ASSERT_TRUE(p.first && p.second);
    Point<double> at;
    whole.eval(u, &at, kEvalTol);
    EXPECT_LT(distance(p.first->endPoint(), at), tol);
    EXPECT_LT(distance(p.second->startPoint(), at), tol);
    EXPECT_NEAR(p.first->endParameter(), u, 1e-15);
    EXPECT_NEAR(p.second->startParameter(), u, 1e-15);
    const double s = whole.startParameter(), e = whole.endParameter();
    for (int i = 0; i <= 8; ++i) {
        const double ta = s + (u - s) * i / 8.0, tb = u + (e - u) * i / 8.0;
        Point<double> wa, wb, pa, pb;
        whole.eval(ta, &wa, kEvalTol);
        whole.eval(tb, &wb, kEvalTol);
        p.first->eval(ta, &pa, kEvalTol);
        p.second->eval(tb, &pb, kEvalTol);
        EXPECT_LT(distance(wa, pa), tol) << ta;
        EXPECT_LT(distance(wb, pb), tol) << tb;
    }
}

}  // namespace

TEST_F(BsplineSplit, InteriorCubicSplitInsertsUntilFullMultiplicity)
{
    Bspline c;
    cubicPolynomial(c);  // (u, u², u³), knots 0 0 0 0 1 3 4 4 4 4
    const double u = 2.0;
    Pieces p = splitAt(c, u);
    expectPiecesReproduce(c, p, u, 1e-12);
    EXPECT_EQ(copiesOf(*p.first, u), 4);
    EXPECT_EQ(copiesOf(*p.second, u), 4);
    EXPECT_EQ(p.first->nKts(), 5 + 4);   // 0 0 0 0 1 | 2 2 2 2
    EXPECT_EQ(p.second->nKts(), 4 + 5);  // 2 2 2 2 | 3 4 4 4 4
    EXPECT_EQ(p.first->nPolySegs(), p.first->nPts() - 3);
    // The shared point is the curve point (2, 4, 8).
    const Point<double> q = p.first->endPoint();
    EXPECT_NEAR(q.x, 2.0, 1e-14);
    EXPECT_NEAR(q.y, 4.0, 1e-14);
    EXPECT_NEAR(q.z, 8.0, 1e-13);
}

TEST_F(BsplineSplit, SplitAtASimpleKnotDependsOnTheSplitTolerance)
{
    Bspline c;
    cubicPolynomial(c);
    const double u = 3.0;  // simple knot, index 5

    setTightSplitTol();
    EXPECT_EQ(QHTgSplitTol, 1e-8);
    Pieces tight = splitAt(c, u);
    expectPiecesReproduce(c, tight, u, 1e-12);
    // Two knots inserted: u reaches multiplicity 4 on both sides.
    EXPECT_EQ(copiesOf(*tight.first, u), 4);
    EXPECT_EQ(copiesOf(*tight.second, u), 4);
    EXPECT_EQ(tight.first->nKts(), 9);   // 0 0 0 0 1 | 3 3 3 3
    EXPECT_EQ(tight.second->nKts(), 8);  // 3 3 3 (inserted) 3 4 4 4 4

    QHTgSplitTol = 0.0;  // the load value: the existing knot is not seen
    Pieces loose = splitAt(c, u);
    expectPiecesReproduce(c, loose, u, 1e-12);
    EXPECT_EQ(copiesOf(*loose.second, u), 5);
    EXPECT_EQ(loose.second->nKts(), 9);  // 3 3 3 3 (inserted) 3 4 4 4 4

    setLooseSplitTol();
    EXPECT_EQ(QHTgSplitTol, 1e-6);
}

TEST_F(BsplineSplit, SplitAtAFullMultiplicityKnotSeparatesTheSegments)
{
    // Two cubic Bezier segments joined at u = 1 (knot of multiplicity 4): the
    // pieces are the segments themselves, with no insertion.
    Bspline s;
    s.deg(3);
    for (double k : {0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2})
        s.knotVectorMutable().Add(k);
    const Point<double> pts[] = {P(0, 0), P(1, 2), P(2, 2), P(3, 0),
                                 P(3, 0), P(4, -1), P(5, 1), P(6, 0)};
    for (const Point<double>& p : pts) {
        s.controlPointsMutable().Add(p);
        s.weightArrayMutable().Add(1.0);
    }
    setTightSplitTol();
    Pieces p = splitAt(s, 1.0);
    ASSERT_TRUE(p.first && p.second);
    ASSERT_EQ(p.first->nPts(), 4);
    ASSERT_EQ(p.second->nPts(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(distance(p.first->cpts(i), pts[i]), 0.0) << i;
        EXPECT_EQ(distance(p.second->cpts(i), pts[4 + i]), 0.0) << i;
    }
    EXPECT_EQ(copiesOf(*p.first, 1.0), 4);
    EXPECT_EQ(copiesOf(*p.second, 1.0), 4);
    expectPiecesReproduce(s, p, 1.0, 1e-12);
}

TEST_F(BsplineSplit, EndShortCutsFollowTheSplitTolerance)
{
    Bspline c;
    cubicPolynomial(c);
    setTightSplitTol();
    Pieces atStart = splitAt(c, 5e-9);
    EXPECT_EQ(atStart.first, nullptr);
    ASSERT_NE(atStart.second, nullptr);
    EXPECT_TRUE(*atStart.second == c);
    Pieces atEnd = splitAt(c, 4.0 - 5e-9);
    EXPECT_EQ(atEnd.second, nullptr);
    ASSERT_NE(atEnd.first, nullptr);
    EXPECT_TRUE(*atEnd.first == c);

    // With the load value 0 a split at the first knot finds no knot below it.
    QHTgSplitTol = 0.0;
    Bspline* a = reinterpret_cast<Bspline*>(1);
    Bspline* b = reinterpret_cast<Bspline*>(1);
    EXPECT_THROW(c.split(0.0, &a, &b), CInvalidArgException);
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(b, nullptr);
    // 5e-9 into the first span is a true split there.
    Pieces near = splitAt(c, 5e-9);
    expectPiecesReproduce(c, near, 5e-9, 1e-12);
}

TEST_F(BsplineSplit, SplitJustAboveAKnotGivesValidPieces)
{
    Bspline c;
    cubicPolynomial(c);
    const double u = 1.0 + 5e-12;  // within gEpsilon of the knot 1
    Pieces p = splitAt(c, u);
    ASSERT_TRUE(p.first && p.second);
    EXPECT_TRUE(p.second->verify(false));
    EXPECT_EQ(p.second->kts(4), 1.0);  // the old knot, 5e-12 below the inserted ones
    // The evaluators snap u onto the knot 1 (within 1e-10 of the range), so
    // the whole curve is read 5e-12 away from the pieces' ends there.
    expectPiecesReproduce(c, p, u, 1e-10);
}

TEST_F(BsplineSplit, RationalArcPiecesStayOnTheCircle)
{
    Bspline arc;
    quarterCircle(arc, 10.0, 1.0);
    Pieces p = splitAt(arc, 0.3);
    expectPiecesReproduce(arc, p, 0.3, 1e-12);
    for (const Bspline* piece : {p.first.get(), p.second.get()}) {
        EXPECT_TRUE(piece->isRational());
        for (int i = 0; i <= 10; ++i) {
            const double t = piece->startParameter() + piece->parmLength() * i / 10.0;
            Point<double> q;
            piece->eval(t, &q, 1e-7);
            EXPECT_NEAR(q.length(), 10.0, 1e-12) << t;
        }
    }
}

TEST_F(BsplineSplit, SubSplineIsThePartBetween)
{
    Bspline c;
    cubicPolynomial(c);
    c.setGlobal(0.0);
    std::unique_ptr<Bspline> mid(c.subSpline(0.5, 2.5));
    ASSERT_NE(mid, nullptr);
    EXPECT_NEAR(mid->startParameter(), 0.5, 1e-15);
    EXPECT_NEAR(mid->endParameter(), 2.5, 1e-15);
    for (double t : {0.5, 1.2, 2.0, 2.5}) {
        Point<double> q;
        mid->eval(t, &q, 1e-7);
        EXPECT_NEAR(q.x, t, 1e-12);
        EXPECT_NEAR(q.y, t * t, 1e-12);
    }
    // Ends at or beyond the spline's own ends keep those ends.
    std::unique_ptr<Bspline> head(c.subSpline(0.0, 1.5));
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->startPoint().x, 0.0);
    EXPECT_NEAR(head->endPoint().x, 1.5, 1e-14);
    std::unique_ptr<Bspline> all(c.subSpline(-1.0, 9.0));
    ASSERT_NE(all, nullptr);
    EXPECT_TRUE(*all == c);
    EXPECT_EQ(c.subSpline(2.0, 2.0), nullptr);
}

TEST_F(BsplineTransform, RotationsTurnAboutTheirAxes)
{
    const Point<double> c(1, 2, 3);
    struct Case {
        const char* name;
        void (Bspline::*turn)(Point<double>*, double);
        double degrees;
        Point<double> from, to;
    } cases[] = {
        {"rotate", &Bspline::rotate, 90.0, P(1, 0, 0), P(0, 1, 0)},
        {"rotateX", &Bspline::rotateX, 90.0, P(0, 1, 0), P(0, 0, 1)},
        {"rotateY", &Bspline::rotateY, 90.0, P(1, 0, 0), P(0, 0, 1)},
        {"rotate back", &Bspline::rotate, -90.0, P(0, 1, 0.5), P(1, 0, 0.5)},
    };
    for (const Case& k : cases) {
        Point<double> a = c + k.from, b = c;
        Bspline s(&a, &b, false);
        Point<double> centre = c;
        (s.*k.turn)(&centre, k.degrees);
        EXPECT_LT(distance(s.startPoint(), c + k.to), 1e-15) << k.name;
        EXPECT_EQ(s.endPoint().x, c.x) << k.name;
        EXPECT_EQ(s.kts(2), k.from.length()) << k.name;  // knots untouched
    }
    Point<double> a = P(2, 0, 4), b = P(0, 0, 4);
    Bspline s(&a, &b, false);
    s._rotateZ(90.0);
    EXPECT_LT(distance(s.startPoint(), P(0, 2, 4)), 1e-15);
}

TEST_F(BsplineTransform, MirrorReflectsInTheLine)
{
    Point<double> pts[] = {P(1, 2), P(3, 5), P(0, 0)};
    Bspline s(3, pts);
    Point<double> c = P(0, 0), n = P(2, 0);  // the y axis
    s.mirror(&c, &n);
    EXPECT_EQ(n.x, 1.0);  // normalised in place
    EXPECT_LT(distance(s.cpts(0), P(-1, 2)), 1e-15);
    EXPECT_LT(distance(s.cpts(1), P(-3, 5)), 1e-15);
    EXPECT_EQ(s.cpts(2).x, 0.0);  // at c: left alone

    Point<double> zero;
    Bspline t(3, pts);
    t.mirror(&c, &zero);
    EXPECT_EQ(zero.x, 0.0);
    for (int i = 0; i < 3; ++i)
        EXPECT_LT(distance(t.cpts(i), pts[i]), 1e-15);
}

TEST_F(BsplineTransform, ScaleStretchesPointsAndKnots)
{
    Point<double> pts[] = {P(2, 3, 1), P(4, 3, 1), P(4, 7, 1)};
    Bspline s(3, pts);  // knots 0 0 2 6 6
    s.scale(2.0, 2.0);
    // About the corner (2, 3) of the end points; z kept.
    const Point<double> scaled[] = {P(2, 3, 1), P(6, 3, 1), P(6, 11, 1)};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(s.cpts(i).x, scaled[i].x) << i;
        EXPECT_EQ(s.cpts(i).y, scaled[i].y) << i;
        EXPECT_EQ(s.cpts(i).z, scaled[i].z) << i;
    }
    EXPECT_EQ(s.kts(3), 12.0);
    EXPECT_EQ(s.kts(0), 0.0);

    Bspline t(3, pts);
    Point<double> c = P(4, 5);
    t.xscale(3.0, &c);
    t.yscale(0.5, &c);
    EXPECT_LT(distance(t.cpts(0), P(-2, 4, 1)), 1e-15);
    EXPECT_EQ(t.kts(3), 6.0);
    t.setZ(-2.0);
    EXPECT_EQ(t.cpts(2).z, -2.0);
    EXPECT_TRUE(t.Zplane());
}

TEST_F(BsplineTransform, MatrixTransforms)
{
    Point<double> pts[] = {P(1, 2, 3), P(-4, 5, 6)};
    Bspline s(2, pts);
    Matrix I(4, 4);
    I.identity();
    s.transform(I);
    EXPECT_EQ(s.cpts(1).x, -4.0);
    EXPECT_EQ(s.cpts(1).z, 6.0);

    // A projective last row (0, 0, 1, 1): every point divided by z + 1.
    Matrix M(4, 4);
    M.identity();
    M(3, 2) = 1.0;
    s.transform(M);
    EXPECT_LT(distance(s.cpts(0), P(0.25, 0.5, 0.75)), 1e-15);
    EXPECT_LT(distance(s.cpts(1), P(-4.0 / 7, 5.0 / 7, 6.0 / 7)), 1e-15);

    // Rotation by 90 degrees about z, then a shift.
    Bspline r(2, pts);
    Matrix R(3, 3);
    R(0, 1) = -1.0;
    R(1, 0) = 1.0;
    R(2, 2) = 1.0;
    Point<double> T = P(10, 0, 0);
    r.rotateTranslate(R, T);
    EXPECT_LT(distance(r.cpts(0), P(8, 1, 3)), 1e-15);
    EXPECT_LT(distance(r.cpts(1), P(5, -4, 6)), 1e-15);
}

TEST_F(BsplineTransform, ControlPolygonQueries)
{
    struct Case {
        std::vector<Point<double>> pts;
        bool colinear, zplane;
    } cases[] = {
        {{P(0, 0), P(1, 1)}, true, true},
        {{P(0, 0), P(1, 1), P(3, 3), P(-2, -2)}, true, true},
        {{P(0, 0), P(1, 1), P(0, 0)}, false, true},   // a repeated start has no direction
        {{P(0, 0), P(1, 0), P(2, 0.1)}, false, true},
        {{P(0, 0, 0), P(1, 0, 5e-9), P(2, 0, 0)}, true, true},
        {{P(0, 0, 0), P(1, 0, 2e-8), P(2, 0, 0)}, true, false},
    };
    for (const Case& c : cases) {
        std::vector<Point<double>> pts = c.pts;
        Bspline s(static_cast<int>(pts.size()), pts.data());
        EXPECT_EQ(s.colinear(), c.colinear) << pts.size();
        EXPECT_EQ(s.Zplane(), c.zplane) << pts.size();
    }

    Point<double> a = P(0, 0), b = P(3, 4);
    Bspline line(&a, &b, false);
    EXPECT_TRUE(line.isLinear());
    Point<double> m;
    line.midPt(&m);
    EXPECT_LT(distance(m, P(1.5, 2)), 1e-15);
    Point<double> lo = P(0, 0), hi = P(1, 1), in = P(1, 0.5, 9), out = P(1.5, 0.5);
    EXPECT_TRUE(line.inBox(in, lo, hi));
    EXPECT_FALSE(line.inBox(out, lo, hi));

    Point<double> tri[] = {P(0, 0), P(2, 0), P(1, 0.5)};
    Bspline t(3, tri);
    const Point<double> n = t.planeNormal();
    EXPECT_LT(distance(n, P(0, 0, 1)), 1e-15);
    Bspline c;
    cubicPolynomial(c);
    EXPECT_FALSE(c.isLinear());
}

TEST_F(BsplineTransform, OverlapCountsTouchingBoxes)
{
    Point<double> a = P(0, 0), b = P(1, 1), c = P(1, 0.5), d = P(2, 3), e = P(1.01, 0), f = P(2, 1);
    Bspline s(&a, &b, false), touching(&c, &d, false), apart(&e, &f, false);
    EXPECT_TRUE(s.overlap(&touching));
    EXPECT_TRUE(touching.overlap(&s));
    EXPECT_FALSE(s.overlap(&apart));
}

TEST_F(BsplineTransform, OrientReversesASplineWithTheOtherOnItsRight)
{
    Point<double> a = P(0, 0), b = P(4, 0);
    Point<double> r0 = P(0, -1), r1 = P(4, -1), l0 = P(0, 1), l1 = P(4, 1);
    Bspline right(&r0, &r1, false), left(&l0, &l1, false);

    Bspline s(&a, &b, false);
    s.orientBSpline(&s, &left);
    EXPECT_EQ(s.startPoint().x, 0.0);
    s.orientBSpline(&s, &right);
    EXPECT_EQ(s.startPoint().x, 4.0);
}

TEST_F(BsplineTransform, NearestFootOnTheControlPolygon)
{
    Point<double> pts[] = {P(0, 0), P(10, 0), P(10, 10)};
    Bspline s(3, pts);
    Point<double> foot;
    double d = -1;
    s.minPolylineDist(P(11, 5), foot, &d);  // nearest to the second leg
    EXPECT_LT(distance(foot, P(10, 5)), 1e-15);
    EXPECT_NEAR(d, 1.0, 1e-15);
    s.minPolylineDist(P(3, -2), foot, &d);
    EXPECT_LT(distance(foot, P(3, 0)), 1e-15);
    EXPECT_NEAR(d, 2.0, 1e-15);

    Bspline empty;
    empty.minPolylineDist(P(3, -2), foot, &d);
    EXPECT_EQ(foot.x, 0.0);
    EXPECT_EQ(d, 0.0);
}

TEST_F(BsplineTransform, BoxDistancesOfControlPoints)
{
    Point<double> pts[] = {P(0, 0, 0), P(2, 1, 0), P(4, 0, 0)};
    Bspline s(3, pts);
    Point<double> probes[] = {P(1, 0.5, 0), P(7, 5, 0), P(-1, 0, 2)};
    double d2[3] = {-1, -1, -1};
    CMaxMinBox box;
    box.dist2(&s, probes, d2);
    EXPECT_EQ(d2[0], 0.0);
    EXPECT_EQ(d2[1], 9.0 + 16.0);
    EXPECT_EQ(d2[2], 1.0 + 4.0);
}
