// orient2dexact against the plain expansion sums it shortcuts: for inputs
// built to sit where the shortcut could go wrong (sums near a midpoint
// between doubles, products with half-ulp low parts, ties of equal
// magnitude in the merge, powers of two, the ends of its coordinate range,
// exact cancellation), the value must have the same bits.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/predicates/ExpansionArithmetic.h"
#include "analysis/predicates/Predicates.h"

// The library keeps its constants to itself; the header's arithmetic
// compiled into this test reads this copy (weak: see the predicate tests).
namespace expansion {
__attribute__((weak)) PredicateState gPredicateState = predicateState();
}

namespace {

// The value by the full sums: the a and b terms, then the c terms.
double orient2dexactBySums(const double* pa, const double* pb, const double* pc)
{
    double aterms[4], bterms[4], cterms[4];
    expansion::twoProductDiff(pa[0], pb[1], pa[0], pc[1], aterms);
    expansion::twoProductDiff(pb[0], pc[1], pb[0], pa[1], bterms);
    expansion::twoProductDiff(pc[0], pa[1], pc[0], pb[1], cterms);
    double v[8], w[12];
    const int vlength = expansion::sumExpansions(4, aterms, 4, bterms, v);
    const int wlength = expansion::sumExpansions(vlength, v, 4, cterms, w);
    return w[wlength - 1];
}

std::uint64_t bitsOf(double x)
{
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

struct Triangle {
    double p[3][2];
};

using Generator = std::function<Triangle(std::mt19937_64&)>;

double uniform(std::mt19937_64& rng, double lo, double hi)
{
    return std::uniform_real_distribution<double>(lo, hi)(rng);
}

int pick(std::mt19937_64& rng, int lo, int hi)
{
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

double sign(std::mt19937_64& rng)
{
    return (rng() & 1) ? 1.0 : -1.0;
}

// A scale near the ends of the shortcut's range, inside and just outside.
double edgeScale(std::mt19937_64& rng)
{
    static const int exponents[] = {-452, -451, -450, -449, -448, -300, 0, 300, 448, 449, 450, 451};
    return std::ldexp(1.0, exponents[pick(rng, 0, 11)]);
}

Triangle randomTriangle(std::mt19937_64& rng, const std::function<double(std::mt19937_64&)>& coord)
{
    Triangle t;
    for (auto& point : t.p)
        for (double& c : point) c = coord(rng);
    return t;
}

// c on the line through a and b to rounding, then moved by a few ulps.
Triangle nearlyCollinear(std::mt19937_64& rng, double scale, double offset)
{
    Triangle t;
    for (int i = 0; i < 2; ++i)
        for (int k = 0; k < 2; ++k) t.p[i][k] = offset + scale * uniform(rng, -1, 1);
    const double s = uniform(rng, -2, 3);
    for (int k = 0; k < 2; ++k) {
        double c = t.p[0][k] + s * (t.p[1][k] - t.p[0][k]);
        for (int n = pick(rng, -3, 3); n != 0; n += n > 0 ? -1 : 1)
            c = std::nextafter(c, n > 0 ? INFINITY : -INFINITY);
        t.p[2][k] = c;
    }
    return t;
}

// Products such as (2^27 + i)(2^27 + j) need 55 bits: their low parts are
// often exactly half an ulp, and their sums land on midpoints.
double halfUlpCoordinate(std::mt19937_64& rng)
{
    const int big = pick(rng, 26, 28);
    return sign(rng) * std::ldexp(std::ldexp(1.0, big) + pick(rng, -4, 4), pick(rng, -3, 3));
}

// A few values shared by all six coordinates: equal magnitudes with
// opposite signs meet at the top of the merge, and terms cancel exactly.
Triangle fromPool(std::mt19937_64& rng)
{
    double pool[3];
    for (double& v : pool) {
        switch (pick(rng, 0, 3)) {
        case 0: v = std::ldexp(1.0, pick(rng, -60, 60)); break;
        case 1: v = halfUlpCoordinate(rng); break;
        case 2: v = uniform(rng, 0.5, 1); break;
        default: v = std::ldexp(1.0, pick(rng, -30, 30)) + std::ldexp(1.0, pick(rng, -80, -31)); break;
        }
    }
    return randomTriangle(rng, [&](std::mt19937_64& r) { return sign(r) * pool[pick(r, 0, 2)]; });
}

// Like fromPool, with values just off powers of two, so that the sums
// come near powers of two, where the gap to the next double below halves.
Triangle nearPowersOfTwo(std::mt19937_64& rng)
{
    double pool[3];
    for (double& v : pool) {
        const int e = pick(rng, -30, 30);
        switch (pick(rng, 0, 2)) {
        case 0: v = std::ldexp(1.0, e); break;
        case 1: v = std::ldexp(1.0, e) + sign(rng) * std::ldexp(1.0, e - pick(rng, 1, 60)); break;
        default: v = std::ldexp(1.0, e) + sign(rng) * std::ldexp(uniform(rng, 1, 2), e - pick(rng, 20, 60)); break;
        }
    }
    return randomTriangle(rng, [&](std::mt19937_64& r) { return sign(r) * pool[pick(r, 0, 2)]; });
}

// Points on an integer line, one of them moved by a tiny amount: the sum
// cancels to zero or to a single low component.
Triangle cancelling(std::mt19937_64& rng)
{
    const double dx = pick(rng, -1000, 1000), dy = pick(rng, -1000, 1000);
    const double x0 = std::ldexp(pick(rng, -100000, 100000), pick(rng, 0, 30));
    const double y0 = std::ldexp(pick(rng, -100000, 100000), pick(rng, 0, 30));
    Triangle t;
    for (int i = 0; i < 3; ++i) {
        const double s = pick(rng, -50, 50);
        t.p[i][0] = x0 + s * dx;
        t.p[i][1] = y0 + s * dy;
    }
    if (rng() & 1) t.p[pick(rng, 0, 2)][pick(rng, 0, 1)] += std::ldexp(sign(rng), pick(rng, -80, 0));
    return t;
}

// Coordinates that differ from each other in their last bits only.
Triangle lastBits(std::mt19937_64& rng)
{
    const double x = std::ldexp(uniform(rng, 1, 2), pick(rng, -40, 40));
    const double y = std::ldexp(uniform(rng, 1, 2), pick(rng, -40, 40));
    Triangle t;
    for (auto& point : t.p) {
        point[0] = x;
        point[1] = y;
        for (double& c : point)
            for (int n = pick(rng, -2, 2); n != 0; n += n > 0 ? -1 : 1)
                c = std::nextafter(c, n > 0 ? INFINITY : -INFINITY);
    }
    return t;
}

// One point far larger than the others: the top terms of the first sum
// differ by many binades, so the small terms of the larger one reach into
// the last bits of the smaller one's partial sum, where the order in which
// the small terms were added can decide the rounding.
Triangle lopsided(std::mt19937_64& rng)
{
    Triangle t = randomTriangle(rng, [](std::mt19937_64& g) { return uniform(g, -1, 1); });
    const double big = std::ldexp(1.0, pick(rng, 8, 60));
    t.p[0][0] *= big;
    if (rng() & 1) t.p[0][1] *= big;
    return t;
}

const std::vector<std::pair<std::string, Generator>>& generators()
{
    static const std::vector<std::pair<std::string, Generator>> table = {
        {"random", [](std::mt19937_64& r) {
             return randomTriangle(r, [](std::mt19937_64& g) { return uniform(g, -1, 1); });
         }},
        {"range edges", [](std::mt19937_64& r) {
             const double s = edgeScale(r);
             return randomTriangle(r, [s](std::mt19937_64& g) { return s * uniform(g, -1, 1); });
         }},
        {"mixed range edges", [](std::mt19937_64& r) {
             return randomTriangle(r, [](std::mt19937_64& g) {
                 return (g() % 4 == 0) ? 0.0 : edgeScale(g) * sign(g) * (g() % 2 ? 1.0 : uniform(g, 1, 2));
             });
         }},
        {"nearly collinear", [](std::mt19937_64& r) {
             return nearlyCollinear(r, std::ldexp(1.0, pick(r, -20, 20)), 0.0);
         }},
        {"nearly collinear far out", [](std::mt19937_64& r) {
             return nearlyCollinear(r, 1.0, std::ldexp(1.0, pick(r, 10, 40)));
         }},
        {"half-ulp products", [](std::mt19937_64& r) { return randomTriangle(r, halfUlpCoordinate); }},
        {"small integers", [](std::mt19937_64& r) {
             return randomTriangle(r, [](std::mt19937_64& g) { return double(pick(g, -20, 20)); });
         }},
        {"large integers", [](std::mt19937_64& r) {
             return randomTriangle(r, [](std::mt19937_64& g) {
                 return std::ldexp(double(std::int64_t(g() >> 11) - (std::int64_t(1) << 52)), -pick(g, 0, 26));
             });
         }},
        {"powers of two", [](std::mt19937_64& r) {
             return randomTriangle(r, [](std::mt19937_64& g) {
                 const double p = std::ldexp(sign(g), pick(g, -40, 40));
                 return g() % 2 ? p : p + std::ldexp(sign(g), pick(g, -95, 40));
             });
         }},
        {"lopsided", lopsided},
        {"shared values", fromPool},
        {"near powers of two", nearPowersOfTwo},
        {"cancelling", cancelling},
        {"last bits", lastBits},
    };
    return table;
}

// Cases per generator; LORIMANT_ORIENT_CASES raises it for a long search.
long casesPerGenerator()
{
    const char* text = std::getenv("LORIMANT_ORIENT_CASES");
    return text ? std::atol(text) : 40000;
}

TEST(ReviewOrient2dExact, SameBitsAsTheFullSumsOnAwkwardInputs)
{
    const long cases = casesPerGenerator();
    std::uint64_t seed = 20261211;
    for (const auto& [name, generate] : generators()) {
        std::mt19937_64 rng(seed++);
        int failures = 0;
        for (long n = 0; n < cases && failures < 5; ++n) {
            const Triangle t = generate(rng);
            // All three rotations and the mirror order.
            static const int orders[6][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}, {1, 0, 2}, {0, 2, 1}, {2, 1, 0}};
            for (const auto& o : orders) {
                const double* a = t.p[o[0]];
                const double* b = t.p[o[1]];
                const double* c = t.p[o[2]];
                const double expected = orient2dexactBySums(a, b, c);
                const double actual = orient2dexact(a, b, c);
                if (bitsOf(expected) != bitsOf(actual)) {
                    ++failures;
                    ADD_FAILURE() << name << std::hexfloat << ": a=(" << a[0] << ", " << a[1] << ") b=(" << b[0]
                                  << ", " << b[1] << ") c=(" << c[0] << ", " << c[1] << ") expected " << expected
                                  << " got " << actual;
                }
            }
        }
    }
}

// Hand-made cases: exact zero, a sum of one low component, equal top
// magnitudes with opposite signs, exact midpoints and their neighbours.
TEST(ReviewOrient2dExact, SameBitsOnHandMadeCases)
{
    const double m = std::ldexp(1.0, 27);
    const double u = std::ldexp(1.0, -52);
    const std::vector<Triangle> cases = {
        {{{0, 0}, {1, 1}, {2, 2}}},
        {{{m + 1, m + 2}, {m + 2, m + 3}, {m + 3, m + 4}}},
        {{{m + 1, m + 2}, {m + 2, m + 3}, {m + 3, m + 4 + u * m}}},
        {{{m + 1, m + 2}, {-(m + 2), m + 1}, {m + 3, -(m + 1)}}},
        {{{1, 1 + u}, {1 + u, 1}, {1 + 2 * u, 1 - u}}},
        {{{0x1p450, 0x1p-450}, {0x1p-450, 0x1p450}, {-0x1p450, 0x1p-450}}},
        {{{0x1p450, 0x1p450}, {-0x1p450, 0x1p450}, {0x1p450, -0x1p450}}},
        {{{0x1p-450, 0x1p-450}, {-0x1p-450, 0x1p-450}, {0x1p-450, -0x1.0000000000001p-450}}},
        {{{3, 5}, {-3, 5}, {3, -5}}},
        {{{1 + u, 1}, {1, 1 + u}, {0, 0}}},
        // Found by the search: the small terms' order decides the rounding
        // of the first sum's top terms (a shortcut without its error bound
        // gets the last bit wrong).
        {{{-0x1p+2, 0x1p+5}, {0x1.cd741fc6c5ba6p-1, 0x1.cd741fc6c5ba6p-1}, {-0x1.cd741fc6c5ba6p-1, -0x1.cd741fc6c5ba6p-1}}},
        {{{0x1.0000002p+29, -0x1.4adb8563e7184p-1}, {0x1.0000006p+28, 0x1.0000006p+28}, {0x1.0000006p+28, -0x1.0000006p+28}}},
        {{{0x1.0000002p+27, 0x1.881a39dabd6c4p-1}, {-0x1.0000002p+27, -0x1.0000002p+27}, {-0x1.0000002p+27, 0x1.fffffe8p+27}}},
    };
    for (const Triangle& t : cases) {
        static const int orders[6][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}, {1, 0, 2}, {0, 2, 1}, {2, 1, 0}};
        for (const auto& o : orders) {
            const double* a = t.p[o[0]];
            const double* b = t.p[o[1]];
            const double* c = t.p[o[2]];
            EXPECT_EQ(bitsOf(orient2dexactBySums(a, b, c)), bitsOf(orient2dexact(a, b, c)))
                << std::hexfloat << a[0] << " " << a[1] << " " << b[0] << " " << b[1] << " " << c[0] << " " << c[1];
        }
    }
}

}  // namespace
