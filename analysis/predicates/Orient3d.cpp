// The 3-D orientation test: the sign of
//   | ax - dx   ay - dy   az - dz |
//   | bx - dx   by - dy   bz - dz |
//   | cx - dx   cy - dy   cz - dz |
// positive when d lies below the plane of a, b, c (the side from which they
// appear clockwise).
#include "analysis/predicates/ExpansionArithmetic.h"

#include <cmath>

using namespace expansion;

namespace {

// The first-order tail terms xt * qy - yt * qx of one vertex's difference
// tails (xt, yt) against another vertex's heads (qx, qy), with the cheaper
// forms when a tail is zero; returns the length (1, 2 or 4) of out.
int tailCross(double xt, double yt, double qx, double qy, double* out)
{
    if (xt == 0.0) {
        if (yt == 0.0) {
            out[0] = 0.0;
            return 1;
        }
        twoProduct(-yt, qx, out[1], out[0]);
        return 2;
    }
    if (yt == 0.0) {
        twoProduct(xt, qy, out[1], out[0]);
        return 2;
    }
    twoProductDiff(xt, qy, yt, qx, out);
    return 4;
}

// Adds s * t * (z + ztail) to the sum, for nonzero tails s and t.
template <int N>
void addTailTailProduct(ExpansionAccumulator<N>& fin, double s, double t, double z, double ztail)
{
    double st1, st0, u[4];
    twoProduct(s, t, st1, st0);
    twoOneProduct(st1, st0, z, u);
    fin.add(4, u);
    if (ztail != 0.0) {
        twoOneProduct(st1, st0, ztail, u);
        fin.add(4, u);
    }
}

// minor * (z + ztail) for a 2x2 minor given as two 8-component products;
// returns the length of out (<= 64).
int liftMinor(const double* plus, const double* minus, double z, double ztail, double* out)
{
    double temp16[16], temp32[32], temp32t[32];
    int temp16len = sumExpansions(8, plus, 8, minus, temp16);
    int temp32len = scaleExpansion(temp16len, temp16, z, temp32);
    int temp32tlen = scaleExpansion(temp16len, temp16, ztail, temp32t);
    return sumExpansions(temp32len, temp32, temp32tlen, temp32t, out);
}

}  // namespace

double orient3dfast(const double* pa, const double* pb, const double* pc, const double* pd)
{
    double adx = pa[0] - pd[0];
    double bdx = pb[0] - pd[0];
    double cdx = pc[0] - pd[0];
    double ady = pa[1] - pd[1];
    double bdy = pb[1] - pd[1];
    double cdy = pc[1] - pd[1];
    double adz = pa[2] - pd[2];
    double bdz = pb[2] - pd[2];
    double cdz = pc[2] - pd[2];
    return adx * (bdy * cdz - bdz * cdy) + bdx * (cdy * adz - cdz * ady)
           + cdx * (ady * bdz - adz * bdy);
}

double orient3dexact(const double* pa, const double* pb, const double* pc, const double* pd)
{
    // Expansion of the 4x4 determinant with rows (x, y, z, 1) along z, the
    // 2x2 minors of the raw x, y coordinates exact.
    double ab[4], bc[4], cd[4], da[4], ac[4], bd[4];
    twoProductDiff(pa[0], pb[1], pb[0], pa[1], ab);
    twoProductDiff(pb[0], pc[1], pc[0], pb[1], bc);
    twoProductDiff(pc[0], pd[1], pd[0], pc[1], cd);
    twoProductDiff(pd[0], pa[1], pa[0], pd[1], da);
    twoProductDiff(pa[0], pc[1], pc[0], pa[1], ac);
    twoProductDiff(pb[0], pd[1], pd[0], pb[1], bd);

    double temp8[8], abc[12], bcd[12], cda[12], dab[12];
    int templen = sumExpansions(4, cd, 4, da, temp8);
    int cdalen = sumExpansions(templen, temp8, 4, ac, cda);
    templen = sumExpansions(4, da, 4, ab, temp8);
    int dablen = sumExpansions(templen, temp8, 4, bd, dab);
    for (int i = 0; i < 4; ++i) {
        bd[i] = -bd[i];
        ac[i] = -ac[i];
    }
    templen = sumExpansions(4, ab, 4, bc, temp8);
    int abclen = sumExpansions(templen, temp8, 4, ac, abc);
    templen = sumExpansions(4, bc, 4, cd, temp8);
    int bcdlen = sumExpansions(templen, temp8, 4, bd, bcd);

    double adet[24], bdet[24], cdet[24], ddet[24], abdet[48], cddet[48], deter[96];
    int alen = scaleExpansion(bcdlen, bcd, pa[2], adet);
    int blen = scaleExpansion(cdalen, cda, -pb[2], bdet);
    int clen = scaleExpansion(dablen, dab, pc[2], cdet);
    int dlen = scaleExpansion(abclen, abc, -pd[2], ddet);
    int ablen = sumExpansions(alen, adet, blen, bdet, abdet);
    int cdlen = sumExpansions(clen, cdet, dlen, ddet, cddet);
    int deterlen = sumExpansions(ablen, abdet, cdlen, cddet, deter);
    return deter[deterlen - 1];
}

double orient3dslow(const double* pa, const double* pb, const double* pc, const double* pd)
{
    double adx, adxtail, bdx, bdxtail, cdx, cdxtail;
    double ady, adytail, bdy, bdytail, cdy, cdytail;
    double adz, adztail, bdz, bdztail, cdz, cdztail;
    twoDiff(pa[0], pd[0], adx, adxtail);
    twoDiff(pa[1], pd[1], ady, adytail);
    twoDiff(pa[2], pd[2], adz, adztail);
    twoDiff(pb[0], pd[0], bdx, bdxtail);
    twoDiff(pb[1], pd[1], bdy, bdytail);
    twoDiff(pb[2], pd[2], bdz, bdztail);
    twoDiff(pc[0], pd[0], cdx, cdxtail);
    twoDiff(pc[1], pd[1], cdy, cdytail);
    twoDiff(pc[2], pd[2], cdz, cdztail);

    double axby[8], bxay[8], bxcy[8], cxby[8], cxay[8], axcy[8];
    twoTwoProduct(adx, adxtail, bdy, bdytail, axby);
    twoTwoProduct(bdx, bdxtail, -ady, -adytail, bxay);
    twoTwoProduct(bdx, bdxtail, cdy, cdytail, bxcy);
    twoTwoProduct(cdx, cdxtail, -bdy, -bdytail, cxby);
    twoTwoProduct(cdx, cdxtail, ady, adytail, cxay);
    twoTwoProduct(adx, adxtail, -cdy, -cdytail, axcy);

    double adet[64], bdet[64], cdet[64], abdet[128], deter[192];
    int alen = liftMinor(bxcy, cxby, adz, adztail, adet);
    int blen = liftMinor(cxay, axcy, bdz, bdztail, bdet);
    int clen = liftMinor(axby, bxay, cdz, cdztail, cdet);
    int ablen = sumExpansions(alen, adet, blen, bdet, abdet);
    int deterlen = sumExpansions(ablen, abdet, clen, cdet, deter);
    return deter[deterlen - 1];
}

double orient3dadapt(const double* pa, const double* pb, const double* pc, const double* pd,
                     double permanent)
{
    const PredicateState& s = gPredicateState;
    double adx = pa[0] - pd[0];
    double bdx = pb[0] - pd[0];
    double cdx = pc[0] - pd[0];
    double ady = pa[1] - pd[1];
    double bdy = pb[1] - pd[1];
    double cdy = pc[1] - pd[1];
    double adz = pa[2] - pd[2];
    double bdz = pb[2] - pd[2];
    double cdz = pc[2] - pd[2];

    // Stage B: the determinant of the rounded differences, exactly.
    double bc[4], ca[4], ab[4];
    twoProductDiff(bdx, cdy, cdx, bdy, bc);
    twoProductDiff(cdx, ady, adx, cdy, ca);
    twoProductDiff(adx, bdy, bdx, ady, ab);
    ExpansionAccumulator<192> fin;
    {
        double adet[8], bdet[8], cdet[8], abdet[16];
        int alen = scaleExpansion(4, bc, adz, adet);
        int blen = scaleExpansion(4, ca, bdz, bdet);
        int clen = scaleExpansion(4, ab, cdz, cdet);
        int ablen = sumExpansions(alen, adet, blen, bdet, abdet);
        fin.startWithSum(ablen, abdet, clen, cdet);
    }
    double det = estimate(fin.length, fin.data());
    double errbound = s.o3derrboundB * permanent;
    if (det >= errbound || -det >= errbound) return det;

    double adxtail, bdxtail, cdxtail, adytail, bdytail, cdytail, adztail, bdztail, cdztail;
    twoDiffTail(pa[0], pd[0], adx, adxtail);
    twoDiffTail(pb[0], pd[0], bdx, bdxtail);
    twoDiffTail(pc[0], pd[0], cdx, cdxtail);
    twoDiffTail(pa[1], pd[1], ady, adytail);
    twoDiffTail(pb[1], pd[1], bdy, bdytail);
    twoDiffTail(pc[1], pd[1], cdy, cdytail);
    twoDiffTail(pa[2], pd[2], adz, adztail);
    twoDiffTail(pb[2], pd[2], bdz, bdztail);
    twoDiffTail(pc[2], pd[2], cdz, cdztail);
    if (adxtail == 0.0 && bdxtail == 0.0 && cdxtail == 0.0 && adytail == 0.0
        && bdytail == 0.0 && cdytail == 0.0 && adztail == 0.0 && bdztail == 0.0
        && cdztail == 0.0) {
        return det;
    }

    // Stage C: first-order tail terms in floating point.
    errbound = s.o3derrboundC * permanent + s.resulterrbound * std::fabs(det);
    det += (adz * ((bdx * cdytail + cdy * bdxtail) - (bdy * cdxtail + cdx * bdytail))
            + adztail * (bdx * cdy - bdy * cdx))
           + (bdz * ((cdx * adytail + ady * cdxtail) - (cdy * adxtail + adx * cdytail))
              + bdztail * (cdx * ady - cdy * adx))
           + (cdz * ((adx * bdytail + bdy * adxtail) - (ady * bdxtail + bdx * adytail))
              + cdztail * (adx * bdy - ady * bdx));
    if (det >= errbound || -det >= errbound) return det;

    // Stage D: every remaining term exactly. First the x, y tails of one
    // vertex against the heads of another ("at_b": a's tails in minor ab).
    double at_b[4], at_c[4], bt_c[4], bt_a[4], ct_a[4], ct_b[4];
    int at_blen = tailCross(adxtail, adytail, bdx, bdy, at_b);
    int at_clen = tailCross(adytail, adxtail, cdy, cdx, at_c);
    int bt_clen = tailCross(bdxtail, bdytail, cdx, cdy, bt_c);
    int bt_alen = tailCross(bdytail, bdxtail, ady, adx, bt_a);
    int ct_alen = tailCross(cdxtail, cdytail, adx, ady, ct_a);
    int ct_blen = tailCross(cdytail, cdxtail, bdy, bdx, ct_b);

    double bct[8], cat[8], abt[8], w[16], v[12];
    int bctlen = sumExpansions(bt_clen, bt_c, ct_blen, ct_b, bct);
    int wlength = scaleExpansion(bctlen, bct, adz, w);
    fin.add(wlength, w);
    int catlen = sumExpansions(ct_alen, ct_a, at_clen, at_c, cat);
    wlength = scaleExpansion(catlen, cat, bdz, w);
    fin.add(wlength, w);
    int abtlen = sumExpansions(at_blen, at_b, bt_alen, bt_a, abt);
    wlength = scaleExpansion(abtlen, abt, cdz, w);
    fin.add(wlength, w);

    // The z tails against the head minors.
    if (adztail != 0.0) fin.add(scaleExpansion(4, bc, adztail, v), v);
    if (bdztail != 0.0) fin.add(scaleExpansion(4, ca, bdztail, v), v);
    if (cdztail != 0.0) fin.add(scaleExpansion(4, ab, cdztail, v), v);

    // Products of two x, y tails, times the z head and tail.
    if (adxtail != 0.0) {
        if (bdytail != 0.0) addTailTailProduct(fin, adxtail, bdytail, cdz, cdztail);
        if (cdytail != 0.0) addTailTailProduct(fin, -adxtail, cdytail, bdz, bdztail);
    }
    if (bdxtail != 0.0) {
        if (cdytail != 0.0) addTailTailProduct(fin, bdxtail, cdytail, adz, adztail);
        if (adytail != 0.0) addTailTailProduct(fin, -bdxtail, adytail, cdz, cdztail);
    }
    if (cdxtail != 0.0) {
        if (adytail != 0.0) addTailTailProduct(fin, cdxtail, adytail, bdz, bdztail);
        if (bdytail != 0.0) addTailTailProduct(fin, -cdxtail, bdytail, adz, adztail);
    }

    // The first-order x, y tail terms times the z tails.
    if (adztail != 0.0) {
        wlength = scaleExpansion(bctlen, bct, adztail, w);
        fin.add(wlength, w);
    }
    if (bdztail != 0.0) {
        wlength = scaleExpansion(catlen, cat, bdztail, w);
        fin.add(wlength, w);
    }
    if (cdztail != 0.0) {
        wlength = scaleExpansion(abtlen, abt, cdztail, w);
        fin.add(wlength, w);
    }
    return fin.mostSignificant();
}

double orient3d(const double* pa, const double* pb, const double* pc, const double* pd)
{
    double adx = pa[0] - pd[0];
    double bdx = pb[0] - pd[0];
    double cdx = pc[0] - pd[0];
    double ady = pa[1] - pd[1];
    double bdy = pb[1] - pd[1];
    double cdy = pc[1] - pd[1];
    double adz = pa[2] - pd[2];
    double bdz = pb[2] - pd[2];
    double cdz = pc[2] - pd[2];

    double bdxcdy = bdx * cdy;
    double cdxbdy = cdx * bdy;
    double cdxady = cdx * ady;
    double adxcdy = adx * cdy;
    double adxbdy = adx * bdy;
    double bdxady = bdx * ady;

    double det = adz * (bdxcdy - cdxbdy) + bdz * (cdxady - adxcdy) + cdz * (adxbdy - bdxady);
    double permanent = (std::fabs(bdxcdy) + std::fabs(cdxbdy)) * std::fabs(adz)
                       + (std::fabs(cdxady) + std::fabs(adxcdy)) * std::fabs(bdz)
                       + (std::fabs(adxbdy) + std::fabs(bdxady)) * std::fabs(cdz);
    double errbound = gPredicateState.o3derrboundA * permanent;
    if (det > errbound || -det > errbound) return det;
    return orient3dadapt(pa, pb, pc, pd, permanent);
}
