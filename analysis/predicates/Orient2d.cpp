// The 2-D orientation test: the sign of
//   | ax - cx   ay - cy |
//   | bx - cx   by - cy |
// positive when a, b, c run counter-clockwise.
#include "analysis/predicates/ExpansionArithmetic.h"

#include <cmath>
#include <cstdint>
#include <cstring>

using namespace expansion;

namespace {

// Half the gap from x to the next double below |x| in magnitude: half an ulp,
// or a quarter when |x| is a power of two. x must be at least 2^-900 in
// magnitude.
double halfGapBelow(double x)
{
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    const std::uint64_t exponentBits = bits & 0x7ff0000000000000;
    double power;
    std::memcpy(&power, &exponentBits, sizeof power);
    const bool powerOfTwo = (bits & 0x000fffffffffffff) == 0;
    return power * (powerOfTwo ? 0x1p-54 : 0x1p-53);
}

// The last two partial sums of a sequential floating-point sum whose last
// two terms are top1 then top2, when the partial sum before them is known
// only as `rest`, to within `slack`: sum1 = fl(rest + top1) and sum2 =
// fl(sum1 + top2), with their roundoffs. False when the true partial sum
// could round with top1 to another double (the exact sum then lies within
// slack of a midpoint between doubles) or sum1 is too small to tell.
bool lastPartialSum(double rest, double slack, double top1, double top2, double& sum1,
                    double& roundoff1, double& sum2, double& roundoff2)
{
    twoSum(top1, rest, sum1, roundoff1);
    if (!(std::fabs(sum1) >= 0x1p-900) || !(std::fabs(roundoff1) + slack < halfGapBelow(sum1)))
        return false;
    twoSum(sum1, top2, sum2, roundoff2);
    return true;
}

// The larger of two numbers that are not NaN (std::fmax is a library call).
double larger(double x, double y)
{
    return x > y ? x : y;
}

// The largest magnitude among the three smaller components of an expansion.
double largestBelowTop(const double* e)
{
    return larger(larger(std::fabs(e[0]), std::fabs(e[1])), std::fabs(e[2]));
}

// True for zero and for magnitudes in 2^-450..2^450: products of two such
// coordinates and their roundoffs are normal doubles, so exact.
bool inSafeRange(double c)
{
    const double m = std::fabs(c);
    return m == 0.0 || (m >= 0x1p-450 && m <= 0x1p450);
}

// orient2dexact's value for the common case, without the expansion sums,
// or false where this does not apply (then the sums decide).
// orient2dexact adds the a and b terms as expansions, then that sum and the
// c terms, and returns the last partial sum of the second addition unless
// it is zero. Each addition merges its inputs by magnitude and sums them in
// that order. When the top components of both inputs exceed every other
// component, they come last, and the others enter only through the partial
// sum before them. That partial sum depends on an order that is costly to
// find, but it is known to within a bound of order eps^2 times the result:
// unless the exact sum lies that near the middle between two doubles, the
// rounding of the last two additions, and so every bit, is settled.
// The bounds need exact products and roundoffs and no overflow: all
// coordinates zero or within 2^-450..2^450 (see inSafeRange).
bool orient2dexactByLargest(const double* a, const double* b, const double* c, double& value)
{
    // The roundoff of a sum of n terms in any order is at most (n - 1) eps
    // times the sum of their magnitudes (eps = 2^-53); the bounds below
    // allow 64 eps, far more than needed.
    constexpr double kSlack = 0x1p-47;
    const double aSmall = largestBelowTop(a);
    const double bSmall = largestBelowTop(b);
    if (!(aSmall < std::fabs(b[3]) && bSmall < std::fabs(a[3]))) return false;
    // First addition: a[3] and b[3] come last, in the merge's order.
    const bool bFirst = fKey(b[3]) < eKey(a[3]);
    const double x1 = bFirst ? b[3] : a[3];
    const double y1 = bFirst ? a[3] : b[3];
    const double smalls1 = std::fabs(a[0]) + std::fabs(a[1]) + std::fabs(a[2]) + std::fabs(b[0])
                           + std::fabs(b[1]) + std::fabs(b[2]);
    const double rest1 = a[0] + a[1] + a[2] + b[0] + b[1] + b[2];
    double t1, r1, q1, r2;
    if (!lastPartialSum(rest1, kSlack * smalls1, x1, y1, t1, r1, q1, r2)) return false;

    // Second addition. Its first input holds q1 and the first addition's
    // roundoffs: at most 7 of them, each at most eps times a partial sum, so
    // of total magnitude below `roundoffs`. Their exact sum is that of the
    // first addition's inputs less q1: (rest1's error) + r1 + r2.
    const double roundoffs = 0x1p-49 * (smalls1 + std::fabs(a[3]) + std::fabs(b[3]));
    const double cSmall = largestBelowTop(c);
    const double top = -larger(-std::fabs(q1), -std::fabs(c[3]));
    if (!(roundoffs < top && cSmall < top)) return false;
    const bool cFirst = fKey(c[3]) < eKey(q1);
    const double x2 = cFirst ? c[3] : q1;
    const double y2 = cFirst ? q1 : c[3];
    const double smalls2 = std::fabs(c[0]) + std::fabs(c[1]) + std::fabs(c[2]);
    const double rest2 = r1 + r2 + c[0] + c[1] + c[2];
    const double slack2 =
        kSlack * (std::fabs(r1) + std::fabs(r2) + smalls1 + roundoffs + smalls2);
    double t2, r3, q2, r4;
    if (!lastPartialSum(rest2, slack2, x2, y2, t2, r3, q2, r4)) return false;
    // A zero sum returns the last nonzero roundoff instead.
    if (q2 == 0.0) return false;
    value = q2;
    return true;
}

}  // namespace

double orient2dfast(const double* pa, const double* pb, const double* pc)
{
    double acx = pa[0] - pc[0];
    double bcx = pb[0] - pc[0];
    double acy = pa[1] - pc[1];
    double bcy = pb[1] - pc[1];
    return acx * bcy - acy * bcx;
}

double orient2dexact(const double* pa, const double* pb, const double* pc)
{
    // ax by - ax cy + bx cy - bx ay + cx ay - cx by, each pair exactly.
    double aterms[4], bterms[4], cterms[4];
    twoProductDiff(pa[0], pb[1], pa[0], pc[1], aterms);
    twoProductDiff(pb[0], pc[1], pb[0], pa[1], bterms);
    twoProductDiff(pc[0], pa[1], pc[0], pb[1], cterms);

    double value;
    const bool safe = inSafeRange(pa[0]) & inSafeRange(pa[1]) & inSafeRange(pb[0])
                      & inSafeRange(pb[1]) & inSafeRange(pc[0]) & inSafeRange(pc[1]);
    if (safe && orient2dexactByLargest(aterms, bterms, cterms, value)) return value;

    double v[8], w[12];
    int vlength = sumExpansions(4, aterms, 4, bterms, v);
    int wlength = sumExpansions(vlength, v, 4, cterms, w);
    return w[wlength - 1];
}

double orient2dslow(const double* pa, const double* pb, const double* pc)
{
    double acx, acxtail, acy, acytail, bcx, bcxtail, bcy, bcytail;
    twoDiff(pa[0], pc[0], acx, acxtail);
    twoDiff(pa[1], pc[1], acy, acytail);
    twoDiff(pb[0], pc[0], bcx, bcxtail);
    twoDiff(pb[1], pc[1], bcy, bcytail);

    double axby[8], bxay[8];
    twoTwoProduct(acx, acxtail, bcy, bcytail, axby);
    twoTwoProduct(-acy, -acytail, bcx, bcxtail, bxay);

    double deter[16];
    int deterlen = sumExpansions(8, axby, 8, bxay, deter);
    return deter[deterlen - 1];
}

double orient2dadapt(const double* pa, const double* pb, const double* pc, double detsum)
{
    const PredicateState& s = gPredicateState;
    double acx = pa[0] - pc[0];
    double bcx = pb[0] - pc[0];
    double acy = pa[1] - pc[1];
    double bcy = pb[1] - pc[1];

    // Stage B: the determinant of the rounded differences, exactly.
    double B[4];
    twoProductDiff(acx, bcy, acy, bcx, B);
    double det = estimate(4, B);
    double errbound = s.ccwerrboundB * detsum;
    if (det >= errbound || -det >= errbound) return det;

    double acxtail, bcxtail, acytail, bcytail;
    twoDiffTail(pa[0], pc[0], acx, acxtail);
    twoDiffTail(pb[0], pc[0], bcx, bcxtail);
    twoDiffTail(pa[1], pc[1], acy, acytail);
    twoDiffTail(pb[1], pc[1], bcy, bcytail);
    // Exact differences: stage B's value is the exact determinant.
    if (acxtail == 0.0 && acytail == 0.0 && bcxtail == 0.0 && bcytail == 0.0) return det;

    // Stage C: first-order tail terms in floating point.
    errbound = s.ccwerrboundC * detsum + s.resulterrbound * std::fabs(det);
    det += (acx * bcytail + bcy * acxtail) - (acy * bcxtail + bcx * acytail);
    if (det >= errbound || -det >= errbound) return det;

    // Stage D: every tail term exactly.
    double u[4], C1[8], C2[12], D[16];
    twoProductDiff(acxtail, bcy, acytail, bcx, u);
    int c1length = sumExpansions(4, B, 4, u, C1);
    twoProductDiff(acx, bcytail, acy, bcxtail, u);
    int c2length = sumExpansions(c1length, C1, 4, u, C2);
    twoProductDiff(acxtail, bcytail, acytail, bcxtail, u);
    int dlength = sumExpansions(c2length, C2, 4, u, D);
    return D[dlength - 1];
}

double orient2d(const double* pa, const double* pb, const double* pc)
{
    double detleft = (pa[0] - pc[0]) * (pb[1] - pc[1]);
    double detright = (pa[1] - pc[1]) * (pb[0] - pc[0]);
    double det = detleft - detright;
    double detsum;

    // Products of opposite signs (or a zero left product) cannot cancel:
    // the rounded difference has the right sign.
    if (detleft > 0.0) {
        if (detright <= 0.0) return det;
        detsum = detleft + detright;
    } else if (detleft < 0.0) {
        if (detright >= 0.0) return det;
        detsum = -detleft - detright;
    } else {
        return det;
    }

    double errbound = gPredicateState.ccwerrboundA * detsum;
    if (det >= errbound || -det >= errbound) return det;
    return orient2dadapt(pa, pb, pc, detsum);
}
