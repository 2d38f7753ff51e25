// The boolean union's parameters along a curve: spans, midpoints and the
// next intersection, with the diagnostics of bad input.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "test_union_support.h"

using namespace union_test;

namespace {

// What fn writes to the standard error stream.
std::string stderrOf(const std::function<void()>& fn)
{
    testing::internal::CaptureStderr();
    fn();
    return testing::internal::GetCapturedStderr();
}

} // namespace

// The unit square runs over the parameters 0 to 4, one per edge.
TEST(UnionParams, DeltaPAlongAClosedCurve)
{
    CBooleanSum sum;
    auto c = unitSquare();
    struct Case {
        int direction;
        double t, te, span;
    };
    for (const Case& k : {Case{1, 3, 1, 2}, Case{1, 1, 3, 2}, Case{1, 2.5, 0.000005, 1.5},
                          Case{1, 2.5, 3.999995, 1.5}, Case{-1, 1, 3, 2}, Case{-1, 3, 1, 2},
                          Case{-1, 2.5, 3.999995, 2.5}}) {
        SCOPED_TRACE(testing::Message() << k.direction << ": " << k.t << " -> " << k.te);
        EXPECT_DOUBLE_EQ(sum.DeltaP(c.get(), k.direction, k.t, k.te), k.span);
    }
}

TEST(UnionParams, DeltaPDiagnostics)
{
    CBooleanSum sum;
    auto square = unitSquare();
    double span = 0.0;
    EXPECT_EQ(stderrOf([&] { span = sum.DeltaP(square.get(), 0, 1, 3); }), "QHT:DeltaP: bad direction\n");
    EXPECT_EQ(span, -1.0);
    // Across the seam of an open curve (parameters 0 to 3) the span is still given.
    auto open = polyline({P(0, 0), P(1, 0), P(1, 1), P(0, 1)}, false);
    EXPECT_EQ(stderrOf([&] { span = sum.DeltaP(open.get(), 1, 2, 1); }),
              "QHT:DeltaP: Can't use an open CCompositeCurve\n");
    EXPECT_DOUBLE_EQ(span, 2.0);
    EXPECT_EQ(stderrOf([&] { span = sum.DeltaP(open.get(), 1, 1, 2); }), "");
    EXPECT_DOUBLE_EQ(span, 1.0);
}

TEST(UnionParams, CalcMidparm)
{
    CBooleanSum sum;
    auto c = unitSquare();
    struct Case {
        double a, b;
        int direction;
        double mid;
    };
    for (const Case& k : {Case{3, 1, 1, 0}, Case{3, 0, 1, 3.5}, Case{1, 3, 1, 2}, Case{3, 1, -1, 2},
                          Case{0.0005, 3, -1, 3.5}, Case{1, 3, -1, 0}}) {
        SCOPED_TRACE(testing::Message() << k.a << " -> " << k.b << " (" << k.direction << ")");
        EXPECT_DOUBLE_EQ(sum.calc_midparm(c.get(), k.a, k.b, k.direction), k.mid);
    }
}

TEST(UnionParams, FindMidptHalfwayToTheNextIntersectionRoundTheSeam)
{
    struct Case {
        double t, te;
        int direction;
        double tm;
        Pt m;
    };
    for (const Case& k : {Case{1, 3, 1, 2, P(1, 1)}, Case{3, 2, 1, 0.5, P(0.5, 0)},
                          Case{3, 1, -1, 2, P(1, 1)}, Case{0.5, 3, -1, 3.75, P(0, 0.25)}}) {
        SCOPED_TRACE(testing::Message() << k.t << " -> " << k.te << " (" << k.direction << ")");
        CBooleanSum sum;
        auto c = unitSquare();
        addCrossing(sum, c.get(), k.te);
        Pt m;
        double tm = -1;
        EXPECT_EQ(sum.find_midpt(c.get(), k.t, k.direction, &m, &tm), 0);
        EXPECT_DOUBLE_EQ(tm, k.tm);
        expectPoint(m, k.m, 1e-12);
    }
}

TEST(UnionParams, FindMidptFailuresWriteTheirTextAndStayAtT)
{
    struct Case {
        double te;     // the one intersection's parameter (none when negative infinity)
        int direction;
        const char* text;
        int code;
    };
    const double none = -1e300;
    for (const Case& k : {Case{3, 2, "find_midpt:FATAL:Bad arguments \n", bsBadArguments},
                          Case{-5, 1, "find_midpt:: FATAL: negative maxstep \n", bsNegativeStep},
                          Case{9, -1, "find_midpt:FATAL: negative maxstep \n", bsNegativeStep},
                          Case{none, 1, "", bsNoIntersection}}) {
        SCOPED_TRACE(k.text);
        CBooleanSum sum;
        auto c = unitSquare();
        if (k.te != none)
            addCrossing(sum, c.get(), k.te);
        Pt m;
        double tm = -1;
        int code = 0;
        EXPECT_EQ(stderrOf([&] { code = sum.find_midpt(c.get(), 1.5, k.direction, &m, &tm); }), k.text);
        EXPECT_EQ(code, k.code);
        EXPECT_EQ(tm, 1.5);
        expectPoint(m, P(1, 0.5), 1e-12);
    }
    CBooleanSum sum;
    EXPECT_EQ(stderrOf([&] { EXPECT_EQ(sum.find_midpt(nullptr, 1, 1, nullptr, nullptr), bsBadArguments); }),
              "find_midpt:FATAL:Bad arguments \n");
}

TEST(UnionParams, LookaheadAndLookbackClassifyThePieceNextToT)
{
    // c2 = [1, 3]² crosses c = [0, 2]² at (2, 1) (c2's parameter 1) and at
    // (1, 2) (c2's parameter 7).
    CBooleanSum sum;
    auto c = rectangle(0, 0, 2, 2);
    auto c2 = rectangle(1, 1, 3, 3);
    CIntersection* x = addCrossing(sum, c2.get(), 1.0);
    addCrossing(sum, c2.get(), 7.0);
    EXPECT_EQ(sum.lookahead(c.get(), c2.get(), 1.0), bsOutside);  // (3, 3)
    EXPECT_EQ(sum.lookback(c.get(), c2.get(), 1.0), bsInside);    // (1, 1)
    EXPECT_EQ(sum.lookahead(c.get(), c2.get(), 7.0), bsInside);
    // The piece of c2 along c's own edge lies on c.
    auto edge = rectangle(2, 0.5, 3, 1.5);
    CBooleanSum on;
    addCrossing(on, edge.get(), 0.0);
    addCrossing(on, edge.get(), 3.0);
    EXPECT_EQ(on.lookahead(c.get(), edge.get(), 3.0), bsOn);
    // Without an intersection along c2 there is nothing to classify.
    sum.removeIntersection(x);
    delete x;
    EXPECT_EQ(sum.lookahead(c.get(), c2.get(), 7.0), bsNoIntersection);

    // Parameters outside the curve's range make the step negative.
    CBooleanSum below;
    addCrossing(below, c2.get(), -50.0);
    CBooleanSum above;
    addCrossing(above, c2.get(), 90.0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(below.lookahead(c.get(), c2.get(), 1.0), bsNegativeStep);
    EXPECT_EQ(above.lookback(c.get(), c2.get(), 1.0), bsNegativeStep);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "QHT:lookahead: negative maxstep \nQHT:lookback: negative maxstep \n");
}

TEST(UnionParams, NextIntersectionAndTheCircuitsStart)
{
    CBooleanSum sum;
    auto c = unitSquare();
    CIntersection* seam = addCrossing(sum, c.get(), 0.0);
    CIntersection* one = addCrossing(sum, c.get(), 1.0);
    CIntersection* three = addCrossing(sum, c.get(), 3.0);
    // Forward a crossing at the seam is reached at the end; one at t itself is passed.
    EXPECT_EQ(sum.nextX(c.get(), 0.5, 1), one);
    EXPECT_EQ(sum.nextX(c.get(), 1.0, 1), three);
    EXPECT_EQ(sum.nextX(c.get(), 3.5, 1), seam);
    EXPECT_EQ(sum.nextX(c.get(), 0.5, -1), seam);
    EXPECT_EQ(sum.nextX(c.get(), 0.0, -1), three);
    EXPECT_EQ(sum.nextX(c.get(), 4.0, -1), three);
    EXPECT_EQ(sum.lookToEnd(c.get(), 3.5, -1), three);
    EXPECT_EQ(sum.lookPastEnd(c.get(), 0.5, 1), seam);
    one->visited = true;
    EXPECT_EQ(sum.nextX(c.get(), 0.5, 1, nullptr, true), three);

    // The start of the circuit comes first when it lies between.
    CIntersection start;
    start.add(c.get(), 2.0);
    EXPECT_EQ(sum.compare_start(c.get(), 1.5, three, &start, 1), &start);
    EXPECT_EQ(sum.compare_start(c.get(), 2.5, three, &start, 1), three);
    EXPECT_EQ(sum.compare_start(c.get(), 3.5, one, &start, 1), one);
    EXPECT_EQ(sum.compare_start(c.get(), 2.5, one, &start, -1), &start);
    EXPECT_EQ(sum.compare_start(c.get(), 2.00001, three, &start, 1), three);
    three->visited = false;
    EXPECT_EQ(sum.getNextIntersection(c.get(), 1.5, 1, &start), &start);
    EXPECT_EQ(sum.getNextIntersection(c.get(), 2.5, 1, &start), three);
    EXPECT_TRUE(three->visited);
}
