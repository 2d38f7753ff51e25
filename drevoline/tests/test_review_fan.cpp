// Fan sums with integrands other than the fan:: ones: the order in which
// they are called and which of their exceptions comes out, nested calls,
// and a call after one that was left by an exception.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "drevoline/section/FanIntegrator.h"

namespace {

using Pt = Point<double>;

// The line from (0, 0) to (10, 0) plus a small rise, so areas are not all zero.
Bspline straight()
{
    Pt a(0.0, 0.0, 0.0), b(10.0, 1.0, 0.0);
    return Bspline(&a, &b, false);
}

// Calls of the recording integrands, in order: 'a' or 'b'.
std::string gCalls;

double recordA(const Pt&, const Pt&, const Pt&, double)
{
    gCalls.push_back('a');
    return 0.0;
}

double recordB(const Pt&, const Pt&, const Pt&, double)
{
    gCalls.push_back('b');
    return 0.0;
}

// Throws "a" past the middle of the line, "b" anywhere.
double throwA(const Pt&, const Pt& P1, const Pt&, double)
{
    if (P1.x > 5.0)
        throw std::runtime_error("a");
    return 0.0;
}

double throwB(const Pt&, const Pt&, const Pt&, double)
{
    throw std::runtime_error("b");
}

// fan::area, after a fan sum of its own over another arc.
double nestedArea(const Pt& R, const Pt& P1, const Pt& P2, double factor)
{
    Pt a(0.0, 0.0, 0.0), b(1.0, 3.0, 0.0);
    const Bspline inner(&a, &b, false);
    const FanTerm terms[] = {{fan::area, Pt(), 1.0, 2}, {fan::xx, Pt(), 1.0, 4}};
    double out[2];
    fanIntegrate(inner, 300, inner.startParameter(), inner.endParameter(), terms, out);
    return fan::area(R, P1, P2, factor);
}

bool sameBits(const double* a, const double* b, int n)
{
    return std::memcmp(a, b, sizeof(double) * static_cast<std::size_t>(n)) == 0;
}

}  // namespace

// Each integrand is summed over all pieces of a pass before the next term
// starts, as the per-term sums always were: an integrand with state (or one
// that throws) sees the calls in that order, also past one block of pieces.
TEST(ReviewFan, ForeignIntegrandsAreCalledTermByTermInEachPass)
{
    const Bspline arc = straight();
    const FanTerm terms[] = {{recordA, Pt(), 1.0, 2}, {fan::area, Pt(1.0, 2.0, 0.0), 1.0, 2},
                             {recordB, Pt(), 1.0, 2}};
    double out[3];
    gCalls.clear();
    fanIntegrate(arc, 1000, arc.startParameter(), arc.endParameter(), terms, out);
    // Two passes (the first cannot settle): 1000 pieces, then 2000.
    const std::string expected =
        std::string(1000, 'a') + std::string(1000, 'b') + std::string(2000, 'a') + std::string(2000, 'b');
    EXPECT_EQ(gCalls, expected);
}

TEST(ReviewFan, TheFirstTermsExceptionComesOut)
{
    const Bspline arc = straight();
    const FanTerm terms[] = {{fan::xy, Pt(), 1.0, 4}, {throwA, Pt(), 1.0, 2}, {throwB, Pt(), 1.0, 2}};
    double out[3];
    std::string what;
    try {
        fanIntegrate(arc, 1000, arc.startParameter(), arc.endParameter(), terms, out);
    } catch (const std::runtime_error& e) {
        what = e.what();
    }
    EXPECT_EQ(what, "a");
}

// A term whose integrand runs a fan sum of its own, and a call after one
// left by an exception, give the bits of a plain call.
TEST(ReviewFan, NestedAndInterruptedCallsKeepTheBits)
{
    const Bspline arc = straight();
    const Pt R(3.0, -2.0, 0.0);
    const FanTerm plain[] = {{fan::xx, R, 1.0, 4}, {fan::area, R, 2.0, 2}, {fan::firstY, R, 1.0, 3}};
    const FanTerm nested[] = {{fan::xx, R, 1.0, 4}, {nestedArea, R, 2.0, 2}, {fan::firstY, R, 1.0, 3}};
    double want[3], got[3];
    fanIntegrate(arc, 700, arc.startParameter(), arc.endParameter(), plain, want);
    fanIntegrate(arc, 700, arc.startParameter(), arc.endParameter(), nested, got);
    EXPECT_TRUE(sameBits(want, got, 3));

    const FanTerm throwing[] = {{fan::polar, R, 1.0, 4}, {throwB, R, 1.0, 2}};
    double ignored[2];
    EXPECT_THROW(fanIntegrate(arc, 5000, arc.startParameter(), arc.endParameter(), throwing, ignored),
                 std::runtime_error);
    double again[3];
    fanIntegrate(arc, 700, arc.startParameter(), arc.endParameter(), plain, again);
    EXPECT_TRUE(sameBits(want, again, 3));
}

// A starting count of no pieces is taken as one, instead of never doubling:
// the fan of the line from (0, 0) to (10, 1) about (0, -1) is one triangle
// of area 5, however many pieces it starts from.
TEST(ReviewFan, NoStartingPiecesIsOnePiece)
{
    const Bspline line = straight();
    const FanTerm terms[] = {{fan::area, Point<double>(0, -1, 0), 1.0, 2}};
    double one = 0.0;
    fanIntegrate(line, 1, line.startParameter(), line.endParameter(), terms, &one);
    EXPECT_NEAR(std::fabs(one), 5.0, 1e-12);
    for (int n : {0, -3}) {
        double r = -1.0;
        fanIntegrate(line, n, line.startParameter(), line.endParameter(), terms, &r);
        EXPECT_EQ(r, one) << n;
    }
}
