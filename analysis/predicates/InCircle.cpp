// The in-circle test: the sign of
//   | ax - dx   ay - dy   (ax - dx)^2 + (ay - dy)^2 |
//   | bx - dx   by - dy   (bx - dx)^2 + (by - dy)^2 |
//   | cx - dx   cy - dy   (cx - dx)^2 + (cy - dy)^2 |
// positive when d lies inside the circle through a, b, c (taken
// counter-clockwise).
#include "analysis/predicates/ExpansionArithmetic.h"
#include "analysis/predicates/PredicateScaling.h"

#include <cmath>

using namespace expansion;

namespace {

using Fin = ExpansionAccumulator<1152>;

// The coordinate differences of the three rows against d, head and tail.
struct RowDifferences {
    double adx, ady, bdx, bdy, cdx, cdy;
    double adxtail = 0.0, adytail = 0.0, bdxtail = 0.0, bdytail = 0.0, cdxtail = 0.0,
           cdytail = 0.0;
};

// The exact value of one row's lifted term, lift * minor, given the minor's
// two 8-component products; returns the length of out (<= 384).
int slowRowTerm(const double* plus, const double* minus, double dx, double dxtail, double dy,
                double dytail, double* out)
{
    double temp16[16], x2[192], y2[192];
    int temp16len = sumExpansions(8, plus, 8, minus, temp16);
    int x2len = squareTimesExpansion<16>(temp16len, temp16, dx, dxtail, x2);
    int y2len = squareTimesExpansion<16>(temp16len, temp16, dy, dytail, y2);
    return sumExpansions(x2len, x2, y2len, y2, out);
}

// (dx^2 + dy^2) * minor for a 4-component minor; returns the length (<= 32).
int liftedMinor(const double* minor, double dx, double dy, double* out)
{
    double xm[8], xxm[16], ym[8], yym[16];
    int xmlen = scaleExpansion(4, minor, dx, xm);
    int xxmlen = scaleExpansion(xmlen, xm, dx, xxm);
    int ymlen = scaleExpansion(4, minor, dy, ym);
    int yymlen = scaleExpansion(ymlen, ym, dy, yym);
    return sumExpansionsBranchless<16, 16>(xxmlen, xxm, yymlen, yym, out);
}

// dx^2 + dy^2 exactly, as a 4-component expansion.
void exactLift(double dx, double dy, double* out)
{
    double xx1, xx0, yy1, yy0;
    square(dx, xx1, xx0);
    square(dy, yy1, yy0);
    twoTwoSum(xx1, xx0, yy1, yy0, out);
}

// Adds every term linear in one difference tail (with all else heads):
// tail * (2 head minor + liftP factorP + liftQ factorQ), where minor is the
// tail's own row minor and liftP, liftQ are the other rows' lifts. Leaves
// tail * minor in tminor (8 components) and returns its length.
int addFirstOrderTail(Fin& fin, double tail, double head, const double* minor,
                      const double* liftP, double factorP, const double* liftQ, double factorQ,
                      double* tminor)
{
    double temp8[8], temp16a[16], temp16b[16], temp16c[16], temp32a[32], temp48[48];
    int tminorlen = scaleExpansion(4, minor, tail, tminor);
    int temp16alen = scaleExpansion(tminorlen, tminor, 2.0 * head, temp16a);
    int temp8len = scaleExpansion(4, liftP, tail, temp8);
    int temp16blen = scaleExpansion(temp8len, temp8, factorP, temp16b);
    temp8len = scaleExpansion(4, liftQ, tail, temp8);
    int temp16clen = scaleExpansion(temp8len, temp8, factorQ, temp16c);
    int temp32alen = sumExpansions(temp16alen, temp16a, temp16blen, temp16b, temp32a);
    int temp48len = sumExpansions(temp16clen, temp16c, temp32alen, temp32a, temp48);
    fin.add(temp48len, temp48);
    return tminorlen;
}

// The tail parts of the minor p x q: first order (pxt qy + px qyt) -
// (qxt py + qx pyt) into mt (8 components, length returned) and second
// order pxt qyt - qxt pyt into mtt (4 components).
int minorTails(double pxt, double px, double pyt, double py, double qxt, double qx, double qyt,
               double qy, double* mt, double* mtt)
{
    double u[4], v[4];
    twoProductSum(pxt, qy, px, qyt, u);
    twoProductSum(qxt, -py, qx, -pyt, v);
    int mtlen = sumExpansions(4, u, 4, v, mt);
    twoProductDiff(pxt, qyt, qxt, pyt, mtt);
    return mtlen;
}

// Adds tail^2 minor + 2 head tail mt (mt: the minor's first-order tail
// part); leaves tail * mt in tmt (16 components) and returns its length.
int addSecondOrderTail(Fin& fin, double tail, double head, const double* tminor, int tminorlen,
                       const double* mt, int mtlen, double* tmt)
{
    double temp16a[16], temp32a[32], temp48[48];
    int temp16alen = scaleExpansion(tminorlen, tminor, tail, temp16a);
    int tmtlen = scaleExpansion(mtlen, mt, tail, tmt);
    int temp32alen = scaleExpansion(tmtlen, tmt, 2.0 * head, temp32a);
    int temp48len = sumExpansions(temp16alen, temp16a, temp32alen, temp32a, temp48);
    fin.add(temp48len, temp48);
    return tmtlen;
}

// Adds tail^2 mt + (2 head tail + tail^2) mtt (mtt: the minor's
// second-order tail part).
void addThirdOrderTail(Fin& fin, double tail, double head, const double* tmt, int tmtlen,
                       const double* mtt, int mttlen)
{
    double temp32a[32], tmtt[8], temp16a[16], temp16b[16], temp32b[32], temp64[64];
    int temp32alen = scaleExpansion(tmtlen, tmt, tail, temp32a);
    int tmttlen = scaleExpansion(mttlen, mtt, tail, tmtt);
    int temp16alen = scaleExpansion(tmttlen, tmtt, 2.0 * head, temp16a);
    int temp16blen = scaleExpansion(tmttlen, tmtt, tail, temp16b);
    int temp32blen = sumExpansions(temp16alen, temp16a, temp16blen, temp16b, temp32b);
    int temp64len = sumExpansions(temp32alen, temp32a, temp32blen, temp32b, temp64);
    fin.add(temp64len, temp64);
}

// Adds lift * s * t for a 4-component lift.
void addLiftTailTail(Fin& fin, const double* lift, double s, double t)
{
    double temp8[8], temp16[16];
    int temp8len = scaleExpansion(4, lift, s, temp8);
    int temp16len = scaleExpansion(temp8len, temp8, t, temp16);
    fin.add(temp16len, temp16);
}

// The tail parts of one minor, or zero when none of its four tails is set.
struct MinorTails {
    double mt[8];
    double mtt[4];
    int mtlen = 1;
    int mttlen = 1;

    MinorTails(bool anyTail, double pxt, double px, double pyt, double py, double qxt, double qx,
               double qyt, double qy)
    {
        if (anyTail) {
            mtlen = minorTails(pxt, px, pyt, py, qxt, qx, qyt, qy, mt, mtt);
            mttlen = 4;
        } else {
            mt[0] = 0.0;
            mtt[0] = 0.0;
        }
    }
};

// Stage D of the in-circle test: adds every term that holds a difference
// tail to fin, which holds the exact determinant of the heads.
void addTailTerms(Fin& fin, const RowDifferences& r, const double* bc, const double* ca,
                  const double* ab)
{
    const bool aTail = r.adxtail != 0.0 || r.adytail != 0.0;
    const bool bTail = r.bdxtail != 0.0 || r.bdytail != 0.0;
    const bool cTail = r.cdxtail != 0.0 || r.cdytail != 0.0;

    double aa[4], bb[4], cc[4];
    if (bTail || cTail) exactLift(r.adx, r.ady, aa);
    if (cTail || aTail) exactLift(r.bdx, r.bdy, bb);
    if (aTail || bTail) exactLift(r.cdx, r.cdy, cc);

    double axtbc[8], aytbc[8], bxtca[8], bytca[8], cxtab[8], cytab[8];
    int axtbclen = 0, aytbclen = 0, bxtcalen = 0, bytcalen = 0, cxtablen = 0, cytablen = 0;
    if (r.adxtail != 0.0)
        axtbclen = addFirstOrderTail(fin, r.adxtail, r.adx, bc, cc, r.bdy, bb, -r.cdy, axtbc);
    if (r.adytail != 0.0)
        aytbclen = addFirstOrderTail(fin, r.adytail, r.ady, bc, bb, r.cdx, cc, -r.bdx, aytbc);
    if (r.bdxtail != 0.0)
        bxtcalen = addFirstOrderTail(fin, r.bdxtail, r.bdx, ca, aa, r.cdy, cc, -r.ady, bxtca);
    if (r.bdytail != 0.0)
        bytcalen = addFirstOrderTail(fin, r.bdytail, r.bdy, ca, cc, r.adx, aa, -r.cdx, bytca);
    if (r.cdxtail != 0.0)
        cxtablen = addFirstOrderTail(fin, r.cdxtail, r.cdx, ab, bb, r.ady, aa, -r.bdy, cxtab);
    if (r.cdytail != 0.0)
        cytablen = addFirstOrderTail(fin, r.cdytail, r.cdy, ab, aa, r.bdx, bb, -r.adx, cytab);

    double tmt[16];
    if (aTail) {
        MinorTails bct(bTail || cTail, r.bdxtail, r.bdx, r.bdytail, r.bdy, r.cdxtail, r.cdx,
                       r.cdytail, r.cdy);
        if (r.adxtail != 0.0) {
            int len = addSecondOrderTail(fin, r.adxtail, r.adx, axtbc, axtbclen, bct.mt,
                                         bct.mtlen, tmt);
            if (r.bdytail != 0.0) addLiftTailTail(fin, cc, r.adxtail, r.bdytail);
            if (r.cdytail != 0.0) addLiftTailTail(fin, bb, -r.adxtail, r.cdytail);
            addThirdOrderTail(fin, r.adxtail, r.adx, tmt, len, bct.mtt, bct.mttlen);
        }
        if (r.adytail != 0.0) {
            int len = addSecondOrderTail(fin, r.adytail, r.ady, aytbc, aytbclen, bct.mt,
                                         bct.mtlen, tmt);
            addThirdOrderTail(fin, r.adytail, r.ady, tmt, len, bct.mtt, bct.mttlen);
        }
    }
    if (bTail) {
        MinorTails cat(cTail || aTail, r.cdxtail, r.cdx, r.cdytail, r.cdy, r.adxtail, r.adx,
                       r.adytail, r.ady);
        if (r.bdxtail != 0.0) {
            int len = addSecondOrderTail(fin, r.bdxtail, r.bdx, bxtca, bxtcalen, cat.mt,
                                         cat.mtlen, tmt);
            if (r.cdytail != 0.0) addLiftTailTail(fin, aa, r.bdxtail, r.cdytail);
            if (r.adytail != 0.0) addLiftTailTail(fin, cc, -r.bdxtail, r.adytail);
            addThirdOrderTail(fin, r.bdxtail, r.bdx, tmt, len, cat.mtt, cat.mttlen);
        }
        if (r.bdytail != 0.0) {
            int len = addSecondOrderTail(fin, r.bdytail, r.bdy, bytca, bytcalen, cat.mt,
                                         cat.mtlen, tmt);
            addThirdOrderTail(fin, r.bdytail, r.bdy, tmt, len, cat.mtt, cat.mttlen);
        }
    }
    if (cTail) {
        MinorTails abt(aTail || bTail, r.adxtail, r.adx, r.adytail, r.ady, r.bdxtail, r.bdx,
                       r.bdytail, r.bdy);
        if (r.cdxtail != 0.0) {
            int len = addSecondOrderTail(fin, r.cdxtail, r.cdx, cxtab, cxtablen, abt.mt,
                                         abt.mtlen, tmt);
            if (r.adytail != 0.0) addLiftTailTail(fin, bb, r.cdxtail, r.adytail);
            if (r.bdytail != 0.0) addLiftTailTail(fin, aa, -r.cdxtail, r.bdytail);
            addThirdOrderTail(fin, r.cdxtail, r.cdx, tmt, len, abt.mtt, abt.mttlen);
        }
        if (r.cdytail != 0.0) {
            int len = addSecondOrderTail(fin, r.cdytail, r.cdy, cytab, cytablen, abt.mt,
                                         abt.mtlen, tmt);
            addThirdOrderTail(fin, r.cdytail, r.cdy, tmt, len, abt.mtt, abt.mttlen);
        }
    }
}

}  // namespace

double incirclefast(const double* pa, const double* pb, const double* pc, const double* pd)
{
    double adx = pa[0] - pd[0];
    double ady = pa[1] - pd[1];
    double bdx = pb[0] - pd[0];
    double bdy = pb[1] - pd[1];
    double cdx = pc[0] - pd[0];
    double cdy = pc[1] - pd[1];

    double abdet = adx * bdy - bdx * ady;
    double bcdet = bdx * cdy - cdx * bdy;
    double cadet = cdx * ady - adx * cdy;
    double alift = adx * adx + ady * ady;
    double blift = bdx * bdx + bdy * bdy;
    double clift = cdx * cdx + cdy * cdy;
    return alift * bcdet + blift * cadet + clift * abdet;
}

double incircleslow(const double* pa, const double* pb, const double* pc, const double* pd)
{
    double adx, adxtail, ady, adytail, bdx, bdxtail, bdy, bdytail, cdx, cdxtail, cdy, cdytail;
    twoDiff(pa[0], pd[0], adx, adxtail);
    twoDiff(pa[1], pd[1], ady, adytail);
    twoDiff(pb[0], pd[0], bdx, bdxtail);
    twoDiff(pb[1], pd[1], bdy, bdytail);
    twoDiff(pc[0], pd[0], cdx, cdxtail);
    twoDiff(pc[1], pd[1], cdy, cdytail);

    double axby[8], bxay[8], bxcy[8], cxby[8], cxay[8], axcy[8];
    twoTwoProduct(adx, adxtail, bdy, bdytail, axby);
    twoTwoProduct(bdx, bdxtail, -ady, -adytail, bxay);
    twoTwoProduct(bdx, bdxtail, cdy, cdytail, bxcy);
    twoTwoProduct(cdx, cdxtail, -bdy, -bdytail, cxby);
    twoTwoProduct(cdx, cdxtail, ady, adytail, cxay);
    twoTwoProduct(adx, adxtail, -cdy, -cdytail, axcy);

    double adet[384], bdet[384], cdet[384], abdet[768], deter[1152];
    int alen = slowRowTerm(bxcy, cxby, adx, adxtail, ady, adytail, adet);
    int blen = slowRowTerm(cxay, axcy, bdx, bdxtail, bdy, bdytail, bdet);
    int clen = slowRowTerm(axby, bxay, cdx, cdxtail, cdy, cdytail, cdet);
    int ablen = sumExpansions(alen, adet, blen, bdet, abdet);
    int deterlen = sumExpansions(ablen, abdet, clen, cdet, deter);
    return deter[deterlen - 1];
}

double incircleadapt(const double* pa, const double* pb, const double* pc, const double* pd,
                     double permanent)
{
    const PredicateState& s = gPredicateState;
    RowDifferences r;
    r.adx = pa[0] - pd[0];
    r.bdx = pb[0] - pd[0];
    r.cdx = pc[0] - pd[0];
    r.ady = pa[1] - pd[1];
    r.bdy = pb[1] - pd[1];
    r.cdy = pc[1] - pd[1];
    const double adx = r.adx, bdx = r.bdx, cdx = r.cdx, ady = r.ady, bdy = r.bdy, cdy = r.cdy;

    // Stage B: the determinant of the rounded differences, exactly.
    double bc[4], ca[4], ab[4];
    twoProductDiff(bdx, cdy, cdx, bdy, bc);
    twoProductDiff(cdx, ady, adx, cdy, ca);
    twoProductDiff(adx, bdy, bdx, ady, ab);
    Fin fin;
    {
        double adet[32], bdet[32], cdet[32], abdet[64];
        int alen = liftedMinor(bc, adx, ady, adet);
        int blen = liftedMinor(ca, bdx, bdy, bdet);
        int clen = liftedMinor(ab, cdx, cdy, cdet);
        int ablen = sumExpansionsBranchless<32, 32>(alen, adet, blen, bdet, abdet);
        fin.startWithBranchlessSum<64, 32>(ablen, abdet, clen, cdet);
    }
    double det = estimate(fin.length, fin.data());
    double errbound = s.iccerrboundB * permanent;
    if (det >= errbound || -det >= errbound) return det;

    twoDiffTail(pa[0], pd[0], adx, r.adxtail);
    twoDiffTail(pa[1], pd[1], ady, r.adytail);
    twoDiffTail(pb[0], pd[0], bdx, r.bdxtail);
    twoDiffTail(pb[1], pd[1], bdy, r.bdytail);
    twoDiffTail(pc[0], pd[0], cdx, r.cdxtail);
    twoDiffTail(pc[1], pd[1], cdy, r.cdytail);
    const double adxtail = r.adxtail, adytail = r.adytail, bdxtail = r.bdxtail,
                 bdytail = r.bdytail, cdxtail = r.cdxtail, cdytail = r.cdytail;
    if (adxtail == 0.0 && bdxtail == 0.0 && cdxtail == 0.0 && adytail == 0.0 && bdytail == 0.0
        && cdytail == 0.0) {
        return det;
    }

    // Stage C: first-order tail terms in floating point.
    errbound = s.iccerrboundC * permanent + s.resulterrbound * std::fabs(det);
    det += ((adx * adx + ady * ady)
                * ((bdx * cdytail + cdy * bdxtail) - (bdy * cdxtail + cdx * bdytail))
            + 2.0 * (adx * adxtail + ady * adytail) * (bdx * cdy - bdy * cdx))
           + ((bdx * bdx + bdy * bdy)
                  * ((cdx * adytail + ady * cdxtail) - (cdy * adxtail + adx * cdytail))
              + 2.0 * (bdx * bdxtail + bdy * bdytail) * (cdx * ady - cdy * adx))
           + ((cdx * cdx + cdy * cdy)
                  * ((adx * bdytail + bdy * adxtail) - (ady * bdxtail + bdx * adytail))
              + 2.0 * (cdx * cdxtail + cdy * cdytail) * (adx * bdy - ady * bdx));
    if (det >= errbound || -det >= errbound) return det;

    // Stage D: every tail term exactly.
    addTailTerms(fin, r, bc, ca, ab);
    return fin.mostSignificant();
}

namespace {

// incircle for coordinates whose products neither overflow nor underflow.
double incircleUnscaled(const double* pa, const double* pb, const double* pc, const double* pd)
{
    double adx = pa[0] - pd[0];
    double bdx = pb[0] - pd[0];
    double cdx = pc[0] - pd[0];
    double ady = pa[1] - pd[1];
    double bdy = pb[1] - pd[1];
    double cdy = pc[1] - pd[1];

    double bdxcdy = bdx * cdy;
    double cdxbdy = cdx * bdy;
    double alift = adx * adx + ady * ady;
    double cdxady = cdx * ady;
    double adxcdy = adx * cdy;
    double blift = bdx * bdx + bdy * bdy;
    double adxbdy = adx * bdy;
    double bdxady = bdx * ady;
    double clift = cdx * cdx + cdy * cdy;

    double det = alift * (bdxcdy - cdxbdy) + blift * (cdxady - adxcdy) + clift * (adxbdy - bdxady);
    double permanent = (std::fabs(bdxcdy) + std::fabs(cdxbdy)) * alift
                       + (std::fabs(cdxady) + std::fabs(adxcdy)) * blift
                       + (std::fabs(adxbdy) + std::fabs(bdxady)) * clift;
    double errbound = gPredicateState.iccerrboundA * permanent;
    if (det > errbound || -det > errbound) return det;
    return incircleadapt(pa, pb, pc, pd, permanent);
}

}  // namespace

double incircle(const double* pa, const double* pb, const double* pc, const double* pd)
{
    using namespace predicate_scaling;
    const int k = scaleExponent({pa, pb, pc, pd}, 2);
    if (k == 0)
        return incircleUnscaled(pa, pb, pc, pd);
    double a[2], b[2], c[2], d[2];
    for (int i = 0; i < 2; ++i) {
        a[i] = std::ldexp(pa[i], k);
        b[i] = std::ldexp(pb[i], k);
        c[i] = std::ldexp(pc[i], k);
        d[i] = std::ldexp(pd[i], k);
    }
    return unscale(incircleUnscaled(a, b, c, d), k, 4);
}
