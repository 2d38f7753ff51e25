// Rational B-spline curve: construction, evaluation, searches, knot queries,
// equality and the archive record.
#include "analysis/tests/TestSupport.h"
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/model/Globals.h"
#include "analysis/tests/BsplineTestCurves.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/tests/AllocationProbe.h"

using bspline_test::cubicPolynomial;
using bspline_test::P;
using bspline_test::quarterCircle;
using bspline_test::SplineState;

namespace {

using bspline_test::knotsOf;

std::vector<BYTE> store(Bspline& s)
{
    CMemFile f;
    {
        CArchive ar(&f, CArchive::store);
        s.Serialize(ar);
        ar.Close();
    }
    return f.GetBytes();
}

void load(Bspline& s, const std::vector<BYTE>& bytes)
{
    CMemFile f(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&f, CArchive::load);
    s.Serialize(ar);
}

using test_support::thrownText;

class BsplineCurve : public SplineState {};

}  // namespace

TEST_F(BsplineCurve, ConstructorsSetKnotsByLength)
{
    Point<double> a = P(0, 0), b = P(3, 4), bz = P(3, 4, 2);
    Bspline line(&a, &b, false);
    EXPECT_EQ(knotsOf(line), (std::vector<double>{0, 0, 5, 5}));
    EXPECT_EQ(line.endParameter(), 5.0);
    EXPECT_EQ(line.startParameter(), 0.0);
    EXPECT_EQ(line.deg(), 1);
    EXPECT_EQ(line.nPolySegs(), 1);
    EXPECT_EQ(line.closed(), Bspline::unset);
    EXPECT_FALSE(line.isRational());

    Bspline fromZ(&a, &bz, true);
    EXPECT_EQ(knotsOf(fromZ), (std::vector<double>{0, 0, 2, 2}));
    fromZ.setGlobal(1.0);
    fromZ.adjustKnots();  // the range becomes the length of the control polygon
    const double len = std::sqrt(29.0);
    EXPECT_EQ(knotsOf(fromZ), (std::vector<double>{0, 0, len, len}));

    Point<double> pts[] = {P(0, 0), P(1, 0), P(1, 2)};
    Bspline poly(3, pts);
    EXPECT_EQ(knotsOf(poly), (std::vector<double>{0, 0, 1, 3, 3}));
    EXPECT_EQ(poly.nPolySegs(), Bspline::unset);
    EXPECT_EQ(poly.wts(2), 1.0);

    Bspline empty;
    EXPECT_EQ(empty.deg(), Bspline::unset);
    EXPECT_EQ(empty.nKts(), 0);
    EXPECT_TRUE(empty.verify(false));
}

TEST_F(BsplineCurve, CopyKeepsDataAndRecomputesRationalFlag)
{
    Bspline arc;
    quarterCircle(arc, 10.0, 1.0);
    arc.setRational(false);
    arc.setGlobal(2.5);
    Bspline copy(&arc, CString(L"ignored"));
    EXPECT_TRUE(copy.isRational());
    EXPECT_EQ(copy.globalOffset(), 2.5);
    copy.setRational(false);
    EXPECT_TRUE(copy == arc);

    EXPECT_EQ(thrownText([] { Bspline bad(nullptr, CString()); }), "Bad spline\n");
}

TEST_F(BsplineCurve, CubicReproducesItsPolynomial)
{
    // Control points from the polar forms of u, u² and u³ make the cubic the
    // curve (u, u², u³), also across unequal spans.
    Bspline c;
    cubicPolynomial(c);
    for (double u : {0.25, 0.9, 1.0, 1.7, 2.0, 3.3, 3.999}) {
        Point<double> p;
        c.eval(u, &p, 1e-7);
        EXPECT_NEAR(p.x, u, 1e-12) << u;
        EXPECT_NEAR(p.y, u * u, 1e-12) << u;
        EXPECT_NEAR(p.z, u * u * u, 1e-11) << u;
        Point<double> t;
        c.tangent(u, &t);
        Point<double> d(1, 2 * u, 3 * u * u);
        d.normalize();
        EXPECT_NEAR(t.x, d.x, 1e-12) << u;
        EXPECT_NEAR(t.y, d.y, 1e-12) << u;
        EXPECT_NEAR(t.z, d.z, 1e-12) << u;
    }
}

TEST_F(BsplineCurve, EvalNearAnEndReturnsTheEndControlPointExactly)
{
    Bspline c;
    cubicPolynomial(c);
    c.setGlobal(10.0);
    Point<double> p;
    c.eval(10.0 + 5e-8, &p, 1e-7);
    EXPECT_EQ(p.x, c.cpts(0).x);
    EXPECT_EQ(p.y, c.cpts(0).y);
    c.eval(14.0 - 5e-8, &p, 1e-7);
    EXPECT_EQ(p.x, 4.0);
    EXPECT_EQ(p.y, 16.0);
    EXPECT_EQ(p.z, 64.0);
}

TEST_F(BsplineCurve, IntervalTakesParametersOutsideTheKnotsAtTheNearerEnd)
{
    Point<double> pts[] = {P(0, 0), P(1, 0), P(1, 2)};
    Bspline poly(3, pts);
    struct Case {
        double u, expectedU;
        int span;
    } cases[] = {
        {-1.0, 0.0, 1},
        {0.5, 0.5, 1},
        {1.0, 1.0, 2},
        {3.0, 3.0 - 6e-10, 2},  // pulled in by twice (3 - 0) * 1e-10
        {7.0, 3.0 - 6e-10, 2},
    };
    for (const Case& c : cases) {
        double u = c.u;
        int span = -5, mult = -5;
        poly.interval(&u, &span, &mult);
        EXPECT_NEAR(u, c.expectedU, 1e-14) << c.u;
        EXPECT_EQ(span, c.span) << c.u;
        EXPECT_EQ(mult, 0);
    }
    // Beyond the end the curve is taken at its end, not from an unset span.
    Point<double> p;
    poly.eval(9.0, &p, 1e-7);
    EXPECT_NEAR(p.x, 1.0, 1e-9);
    EXPECT_NEAR(p.y, 2.0, 1e-9);
}

TEST_F(BsplineCurve, RationalQuarterCircleStaysOnTheCircle)
{
    Bspline arc;
    const double L = 5.0 * M_PI;
    quarterCircle(arc, 10.0, L);
    for (double u : {0.0, 0.1, 0.5, 0.77, 1.0}) {
        Point<double> p;
        arc.eval(u * L, &p, 1e-7);
        EXPECT_NEAR(p.length(), 10.0, 1e-12) << u;
        EXPECT_NEAR(std::atan2(p.y, p.x), bspline_test::quarterCircleAngle(u), 1e-12) << u;
        Point<double> t;
        arc.tangent(u * L, &t);
        EXPECT_NEAR(dot(t, p), 0.0, 1e-8) << u;  // perpendicular to the radius (t moves 1.5e-10 at the ends)
        EXPECT_GT(cross(p, t).z, 0.0) << u;       // counter-clockwise
    }
}

TEST_F(BsplineCurve, NormalIsTheTangentTurnedLeftInTheXYPlane)
{
    Point<double> pts[] = {P(0, 0), P(1, 0), P(1, 2)};
    Bspline poly(3, pts);
    const Point<double> n = poly.planePerp();
    EXPECT_EQ(n.x, 0.0);
    EXPECT_EQ(n.y, 0.0);
    EXPECT_EQ(n.z, 1.0);
    Point<double> normal;
    poly.normal(2.0, &normal);  // on the leg going +y
    EXPECT_NEAR(normal.x, -1.0, 1e-12);
    EXPECT_NEAR(normal.y, 0.0, 1e-12);

    Bspline arc;
    quarterCircle(arc, 10.0, 1.0);
    for (double u : {0.2, 0.6}) {
        Point<double> t, nr;
        arc.tangent(u, &t);
        arc.normal(u, &nr);
        EXPECT_NEAR(nr.x, -t.y, 1e-12);
        EXPECT_NEAR(nr.y, t.x, 1e-12);
    }
}

TEST_F(BsplineCurve, FindParmValueResolvesPointsNearTheStart)
{
    // 50 samples over the arc put the start nearest to any point within its
    // first percent; the search must still refine to the true parameter.
    Bspline arc;
    const double L = 5.0 * M_PI;
    quarterCircle(arc, 10.0, L);
    for (double theta : {0.01, 0.004, 0.7, M_PI / 2 - 0.01}) {
        const Point<double> p(10.0 * std::cos(theta), 10.0 * std::sin(theta), 0.0);
        const double expected = L * bspline_test::quarterCircleParameter(theta);
        EXPECT_NEAR(arc.findParmValue(p, 1e-7), expected, 1e-9) << theta;
    }
    const Point<double> start(10, 0, 0);
    EXPECT_EQ(arc.findParmValue(start, 1e-7), 0.0);

    double t = -1;
    const Point<double> on(10.0 * std::cos(0.3), 10.0 * std::sin(0.3), 0.0);
    EXPECT_TRUE(arc.isOn(on, &t));
    // The coarse search stops once the squared distance is below its tolerance.
    EXPECT_NEAR(t, L * bspline_test::quarterCircleParameter(0.3), 2e-6);
    EXPECT_FALSE(arc.isOn(P(5, 5), &t));
}

TEST_F(BsplineCurve, FindParmValueOnAStraightLineProjects)
{
    Point<double> a = P(0, 0), b = P(3, 4);
    Bspline line(&a, &b, false);
    line.setGlobal(1.0);
    struct Case {
        Point<double> p;
        double t;
    } cases[] = {
        {P(1.5, 2), 3.5},          // middle
        {P(1.5 - 0.8, 2 + 0.6), 3.5},  // off the line, projected
        {P(3, 4), 6.0},
        {P(6, 8), -1.0},           // beyond the length
        {P(-0.3, -0.4), 1.0},      // behind the start: the start
    };
    for (const Case& c : cases)
        EXPECT_NEAR(line.findParmValue(c.p, 1e-7), c.t, 1e-12) << c.p.x << "," << c.p.y;
}

TEST_F(BsplineCurve, StepSearchWithCoarseToleranceReturnsTheMiddle)
{
    // An empty spline cannot be evaluated: the answer comes without evaluation.
    Bspline empty;
    EXPECT_EQ(empty.stepSearch(P(1, 1), 2.0, 4.0, 0, 0.5), 3.0);

    Bspline c;
    cubicPolynomial(c);
    EXPECT_NEAR(c.findClosestParm(P(1.5, 2.25, 0)), 1.5, 1e-6);
}

TEST_F(BsplineCurve, EvalXInvertsAMonotoneCurve)
{
    Bspline c;
    cubicPolynomial(c);
    EXPECT_NEAR(c.evalX(2.5), 2.5, 1e-9);
    EXPECT_EQ(c.evalX(7.0), -1.0);

    // Far from zero the parameter's spacing exceeds 1e-10: the bisection
    // must still end, at -1 when no parameter gives x within 1e-10.
    Point<double> a = P(0, 0), b = P(10, 0);
    Bspline line(&a, &b, false);
    line.setGlobal(1e8);
    const double t = line.evalX(3.3);
    EXPECT_TRUE(t == -1.0 || std::fabs(t - (1e8 + 3.3)) < 1e-7) << t;
}

TEST_F(BsplineCurve, KnotQueries)
{
    Bspline c;
    cubicPolynomial(c);  // knots 0 0 0 0 1 3 4 4 4 4
    EXPECT_EQ(c.multiplicity(0.0), 3);
    EXPECT_EQ(c.multiplicity(4.0), 3);
    EXPECT_EQ(c.multiplicity(4.0 + 1e-9), 3);  // tolerant comparison
    EXPECT_EQ(c.multiplicity(1.0), 0);
    EXPECT_EQ(c.multiplicity(2.0), -1);
    EXPECT_EQ(c.multknots(0), 4);
    EXPECT_EQ(c.multknots(4), 1);
    EXPECT_EQ(c.multknots(6), 4);
    EXPECT_FALSE(c.multInteriorKnots());
    EXPECT_EQ(c.cptIndex(5), 2);
    EXPECT_EQ(c.nSpans(), 3);

    // knotInterval: same answers whatever the remembered index is.
    const int last = c.nKts() - 1;
    struct Case {
        double u;
        int k;
    } cases[] = {{4.0, last}, {4.0 - 5e-12, last}, {3.5, 5},  {0.0, 3}, {-1.0, 0},
                 {1.0, 4},    {0.5, 3},            {2.9, 4}, {3.0, 5}, {4.0, last}};
    for (int pass = 0; pass < 2; ++pass) {
        for (const Case& k : cases)
            EXPECT_EQ(c.knotInterval(k.u), k.k) << k.u;
        Bspline::resetKnotInterval();
    }
}

TEST_F(BsplineCurve, KnotIntervalNeedsTwoKnots)
{
    Bspline one;
    one.knotVectorMutable().Add(1.0);
    EXPECT_EQ(one.knotInterval(1.0), 0);
    EXPECT_EQ(thrownText([&] { one.knotInterval(0.0); }),
              "Bspline::knotInterval:FAILURE: Only one knot value \n");
}

TEST_F(BsplineCurve, ReverseRunsTheCurveBackwards)
{
    Bspline c;
    cubicPolynomial(c);
    c.weightArrayMutable()[2] = 1.5;  // unequal weights show a mismatched reversal
    c.updateRational();
    Bspline r(&c, CString());
    r.reverse();
    for (double u : {0.3, 1.0, 2.2, 3.7}) {
        Point<double> p, q;
        c.eval(u, &p, 1e-7);
        r.eval(4.0 - u, &q, 1e-7);
        EXPECT_NEAR((p - q).length(), 0.0, 1e-12) << u;
    }
    r.reverse();
    EXPECT_EQ(knotsOf(r), knotsOf(c));
    for (int i = 0; i < c.nPts(); ++i) {
        EXPECT_EQ(r.cpts(i).x, c.cpts(i).x);
        EXPECT_EQ(r.wts(i), c.wts(i));
    }
}

TEST_F(BsplineCurve, EqualityIsSymmetric)
{
    Bspline a;
    cubicPolynomial(a);
    Bspline b(&a, CString());
    EXPECT_TRUE(a == b);
    b.weightArrayMutable()[1] += 2e-6;
    EXPECT_TRUE(a != b);
    EXPECT_TRUE(b != a);
    b.weightArrayMutable()[1] = a.wts(1) + 5e-7;
    EXPECT_TRUE(a == b);
    EXPECT_TRUE(b == a);

    Point<double> p0 = P(0, 0), p1 = P(1, 0);
    Point<double> pts[] = {p0, p1};
    Bspline line(&p0, &p1, false);
    Bspline poly(2, pts);
    EXPECT_TRUE(line == poly);
    poly.knotVectorMutable().Add(1.0);  // one knot more
    EXPECT_FALSE(line == poly);
    EXPECT_FALSE(poly == line);
}

TEST_F(BsplineCurve, VerifyChecksDegreeCountsAndKnotOrder)
{
    Bspline c;
    cubicPolynomial(c);
    EXPECT_TRUE(c.verify(true));
    auto bad = [](auto change) {
        Bspline s;
        cubicPolynomial(s);
        change(s);
        return thrownText([&] { s.verify(false); });
    };
    EXPECT_EQ(bad([](Bspline& s) { s.deg(0); }), "Bad spline\n");
    EXPECT_EQ(bad([](Bspline& s) { s.deg(20); }), "Bad spline\n");
    EXPECT_EQ(bad([](Bspline& s) { s.knotVectorMutable().Add(5.0); }), "Bad spline\n");
    EXPECT_EQ(bad([](Bspline& s) { s.weightArrayMutable().Add(1.0); }), "Bad spline\n");
    EXPECT_EQ(bad([](Bspline& s) { s.knotVectorMutable()[5] = 0.5; }), "Bad spline\n");
    // Knots out of order by less than gEpsilon are accepted.
    EXPECT_EQ(bad([](Bspline& s) { s.knotVectorMutable()[5] = 1.0 - 5e-12; }), "");
}

TEST_F(BsplineCurve, DegreeBeyondTheWorkArrayIsRefusedByTheEvaluators)
{
    // A degree-20 spline with consistent arrays: evaluation must refuse it
    // rather than run past its 20 work points.
    Bspline s;
    s.deg(20);
    for (int i = 0; i < 21; ++i) {
        s.controlPointsMutable().Add(P(i, i * i));
        s.weightArrayMutable().Add(1.0);
    }
    for (int i = 0; i < 42; ++i)
        s.knotVectorMutable().Add(i < 21 ? 0.0 : 1.0);
    Point<double> p;
    EXPECT_EQ(thrownText([&] { s.eval(0.5, &p, 1e-7); }), "Bad spline\n");
    EXPECT_EQ(thrownText([&] { s.tangent(0.5, &p); }), "Bad spline\n");
}

TEST_F(BsplineCurve, ArchiveRecordOfALineIsExact)
{
    Point<double> a = P(0, 0), b = P(3, 4);
    Bspline line(&a, &b, false);
    const std::vector<BYTE> bytes = store(line);
    ASSERT_EQ(bytes.size(), 153u);

    std::vector<BYTE> expected = {0xFF, 0xFE, 0xFF, 0x07, 'B', 0, 's', 0, 'p', 0, 'l', 0,
                                  'i',  0,    'n',  0,    'e', 0};
    auto addBytes = [&](const void* p, std::size_t n) {
        const BYTE* c = static_cast<const BYTE*>(p);
        expected.insert(expected.end(), c, c + n);
    };
    auto addDouble = [&](double d) { addBytes(&d, 8); };
    // Closed flag unset (-99999 = 0xFFFE7961), one polygon segment, degree 1.
    const BYTE head[] = {0x61, 0x79, 0xFE, 0xFF, 1, 0, 0, 0, 1, 0, 0, 0};
    addBytes(head, sizeof head);
    addDouble(0.0);  // offset
    expected.push_back(0);  // not rational
    expected.insert(expected.end(), {0x02, 0x00});
    for (double v : {0.0, 0.0, 0.0, 3.0, 4.0, 0.0})
        addDouble(v);
    expected.insert(expected.end(), {0x02, 0x00});
    addDouble(1.0);
    addDouble(1.0);
    expected.insert(expected.end(), {0x04, 0x00});
    for (double v : {0.0, 0.0, 5.0, 5.0})
        addDouble(v);
    addDouble(0.0);
    expected.insert(expected.end(), {0, 0, 0, 0});
    EXPECT_EQ(bytes, expected);

    Point<double> c = P(1, 1), d = P(2, 1);
    Bspline back(&c, &d, false);
    back.polygon(false, 0.001, 0.25);
    ASSERT_FALSE(back.polygonPoints().IsEmpty());
    load(back, bytes);
    EXPECT_TRUE(back == line);
    EXPECT_EQ(back.nPolySegs(), 1);
    EXPECT_EQ(back.closed(), Bspline::unset);
    EXPECT_TRUE(back.polygonPoints().IsEmpty());
}

TEST_F(BsplineCurve, ArchiveRoundTripsARationalArc)
{
    Bspline arc;
    quarterCircle(arc, 10.0, 3.0);
    arc.setGlobal(-1.25);
    arc.nPolySegs(1);
    arc.closed(0);
    Bspline back;
    load(back, store(arc));
    EXPECT_TRUE(back == arc);
    EXPECT_TRUE(back.isRational());
    EXPECT_EQ(back.globalOffset(), -1.25);
    EXPECT_EQ(back.closed(), 0);
}

// A record without control points says nothing of its degree: whatever the
// degree and knots, reading refuses it and the target keeps its curve.
TEST_F(BsplineCurve, RecordsWithoutControlPointsAreRefused)
{
    auto record = [](int deg, int knots) {
        std::vector<BYTE> b = {0xFF, 0xFE, 0xFF, 0x07, 'B', 0, 's', 0, 'p', 0, 'l', 0, 'i', 0, 'n', 0, 'e', 0};
        auto add = [&](const void* p, std::size_t n) {
            b.insert(b.end(), static_cast<const BYTE*>(p), static_cast<const BYTE*>(p) + n);
        };
        const int head[] = {0, 1, deg};
        add(head, sizeof head);
        const double offset = 0.0;
        add(&offset, 8);
        b.push_back(0);
        b.insert(b.end(), {0, 0, 0, 0, static_cast<BYTE>(knots), 0});  // no points, no weights, the knots
        for (int i = 0; i < knots; ++i)
            add(&offset, 8);
        add(&offset, 8);
        b.insert(b.end(), {0, 0, 0, 0});
        return b;
    };
    struct Case {
        const char* what;
        std::vector<BYTE> bytes;
    } cases[] = {
        {"empty, degree INT_MIN", record(std::numeric_limits<int>::min(), 0)},
        {"empty, degree 3", record(3, 0)},
        {"degree 3 with its 4 knots", record(3, 4)},
    };
    for (const Case& c : cases) {
        Bspline target;
        cubicPolynomial(target);
        std::string thrown;
        const auto usage = allocation_probe::measure([&] { thrown = thrownText([&] { load(target, c.bytes); }); });
        EXPECT_EQ(thrown, "Bad spline\n") << c.what;
        EXPECT_LT(usage.seconds, 2.0) << c.what;
        if (usage.measured) {
            EXPECT_LT(usage.largestRequest, 1u << 20) << c.what;
        }
        EXPECT_EQ(target.deg(), 3) << c.what;
        EXPECT_EQ(target.nKts(), 10) << c.what;
    }
    // The record an empty spline writes is such a record.
    Bspline empty, target;
    cubicPolynomial(target);
    EXPECT_EQ(thrownText([&] { load(target, store(empty)); }), "Bad spline\n");
}

TEST_F(BsplineCurve, CorruptRecordsThrowBadSplineAndLeaveTheObject)
{
    Point<double> a = P(0, 0), b = P(3, 4);
    Bspline line(&a, &b, false);
    const std::vector<BYTE> good = store(line);
    constexpr std::size_t degAt = 18 + 4 + 4;
    constexpr std::size_t lastKnotAt = 153 - 12 - 8;
    struct Case {
        const char* what;
        std::size_t at;
        std::vector<BYTE> bytes;
    } cases[] = {
        {"degree 25", degAt, {25, 0, 0, 0}},
        {"degree 0", degAt, {0, 0, 0, 0}},
        {"degree 2 for four knots", degAt, {2, 0, 0, 0}},
        {"last knot below the others", lastKnotAt, {0, 0, 0, 0, 0, 0, 0xF0, 0xBF}},
    };
    for (const Case& c : cases) {
        std::vector<BYTE> bytes = good;
        std::memcpy(bytes.data() + c.at, c.bytes.data(), c.bytes.size());
        Bspline target;
        cubicPolynomial(target);
        EXPECT_EQ(thrownText([&] { load(target, bytes); }), "Bad spline\n") << c.what;
        EXPECT_EQ(target.deg(), 3) << c.what;
        EXPECT_EQ(target.nKts(), 10) << c.what;
    }

    // Writing an invalid spline is refused too.
    Bspline s;
    cubicPolynomial(s);
    s.deg(25);
    EXPECT_EQ(thrownText([&] { store(s); }), "Bad spline\n");
}

TEST_F(BsplineCurve, ObjectExtractionReadsASplineByClass)
{
    Bspline arc;
    quarterCircle(arc, 2.0, 1.0);
    CMemFile f;
    {
        CArchive ar(&f, CArchive::store);
        ar << &arc;
        ar.Close();
    }
    f.SeekToBegin();
    CArchive ar(&f, CArchive::load);
    Bspline* read = nullptr;
    ar >> read;
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(*read == arc);
    delete read;
}
