// The 2-D orientation test: the sign of
//   | ax - cx   ay - cy |
//   | bx - cx   by - cy |
// positive when a, b, c run counter-clockwise.
#include "analysis/predicates/ExpansionArithmetic.h"

#include <cmath>

using namespace expansion;

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

    double v[8] = {};
    int vlength = sumExpansionsUpTo<4, 4>(4, aterms, 4, bterms, v);
    // The first sum has mostly 3 to 5 components: a shorter fixed sum when it
    // fits.
    return vlength <= 4 ? largestOfSum<4, 4>(vlength, v, 4, cterms)
                        : largestOfSum<8, 4>(vlength, v, 4, cterms);
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
