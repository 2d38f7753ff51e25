// The in-sphere test: the sign of
//   | ax - ex   ay - ey   az - ez   |a - e|^2 |
//   | bx - ex   by - ey   bz - ez   |b - e|^2 |
//   | cx - ex   cy - ey   cz - ez   |c - e|^2 |
//   | dx - ex   dy - ey   dz - ez   |d - e|^2 |
// positive when e lies inside the sphere through a, b, c, d (taken with
// positive orient3d).
#include "analysis/predicates/ExpansionArithmetic.h"
#include "analysis/predicates/PredicateScaling.h"

#include <cmath>

using namespace expansion;

namespace {

// m1 z1 + m2 z2 + m3 z3 for 4-component minors: a 3x3 determinant expanded
// along its z column; returns the length of out (<= 24).
int threeByThree(const double* m1, double z1, const double* m2, double z2, const double* m3,
                 double z3, double* out)
{
    double temp8a[8], temp8b[8], temp16[16];
    int temp8alen = scaleExpansion(4, m1, z1, temp8a);
    int temp8blen = scaleExpansion(4, m2, z2, temp8b);
    int temp16len = sumExpansions(temp8alen, temp8a, temp8blen, temp8b, temp16);
    temp8alen = scaleExpansion(4, m3, z3, temp8a);
    return sumExpansions(temp8alen, temp8a, temp16len, temp16, out);
}

// A 3x3 determinant held as an expansion of at most 24 components.
struct Minor3 {
    double e[24];
    int len;
};

// (p + q) - (r + s): a 4x4 determinant with a column of ones, expanded along
// that column; returns the length of out (<= 96).
int fourByFour(const Minor3& p, const Minor3& q, const Minor3& r, const Minor3& s, double* out)
{
    double temp48a[48], temp48b[48];
    int temp48alen = sumExpansions(p.len, p.e, q.len, q.e, temp48a);
    int temp48blen = sumExpansions(r.len, r.e, s.len, s.e, temp48b);
    for (int i = 0; i < temp48blen; ++i) temp48b[i] = -temp48b[i];
    return sumExpansions(temp48alen, temp48a, temp48blen, temp48b, out);
}

// (x^2 + y^2 + z^2) * minor for the raw coordinates of pt; returns the
// length of out (<= 1152).
int rawLiftTimes(const double* minor, int mlen, const double* pt, double* out)
{
    double temp192[192], det384x[384], det384y[384], det384z[384], detxy[768];
    int xlen = scaleExpansion(mlen, minor, pt[0], temp192);
    xlen = scaleExpansion(xlen, temp192, pt[0], det384x);
    int ylen = scaleExpansion(mlen, minor, pt[1], temp192);
    ylen = scaleExpansion(ylen, temp192, pt[1], det384y);
    int zlen = scaleExpansion(mlen, minor, pt[2], temp192);
    zlen = scaleExpansion(zlen, temp192, pt[2], det384z);
    int xylen = sumExpansions(xlen, det384x, ylen, det384y, detxy);
    return sumExpansions(xylen, detxy, zlen, det384z, out);
}

// One row of the adaptive stage B: (m1 z1 + m2 z2 + m3 z3) times the row's
// lift ex^2 + ey^2 + ez^2, negated when negateLift is set; returns the
// length of out (<= 288).
int adaptRowTerm(const double* m1, double z1, const double* m2, double z2, const double* m3,
                 double z3, double ex, double ey, double ez, bool negateLift, double* out)
{
    double temp8a[8], temp8b[8], temp8c[8], temp16[16], temp24[24], temp48[48];
    int temp8alen = scaleExpansion(4, m1, z1, temp8a);
    int temp8blen = scaleExpansion(4, m2, z2, temp8b);
    int temp8clen = scaleExpansion(4, m3, z3, temp8c);
    int temp16len = sumExpansions(temp8alen, temp8a, temp8blen, temp8b, temp16);
    int temp24len = sumExpansions(temp8clen, temp8c, temp16len, temp16, temp24);

    double xdet[96], ydet[96], zdet[96], xydet[192];
    int temp48len = scaleExpansion(temp24len, temp24, ex, temp48);
    int xlen = scaleExpansion(temp48len, temp48, negateLift ? -ex : ex, xdet);
    temp48len = scaleExpansion(temp24len, temp24, ey, temp48);
    int ylen = scaleExpansion(temp48len, temp48, negateLift ? -ey : ey, ydet);
    temp48len = scaleExpansion(temp24len, temp24, ez, temp48);
    int zlen = scaleExpansion(temp48len, temp48, negateLift ? -ez : ez, zdet);
    int xylen = sumExpansions(xlen, xdet, ylen, ydet, xydet);
    return sumExpansions(xylen, xydet, zlen, zdet, out);
}

// An exact coordinate difference: head plus tail.
struct ExactDiff {
    double head;
    double tail;
};

// A 2x2 minor of exact differences, at most 16 components.
struct SlowMinor {
    double e[16];
    int len;
};

// The minor px qy - qx py of exact differences.
void slowMinor(ExactDiff px, ExactDiff py, ExactDiff qx, ExactDiff qy, SlowMinor& out)
{
    double plus[8], minus[8];
    twoTwoProduct(px.head, px.tail, qy.head, qy.tail, plus);
    twoTwoProduct(qx.head, qx.tail, -py.head, -py.tail, minus);
    out.len = sumExpansions(8, plus, 8, minus, out.e);
}

// m * (z.head + z.tail); returns the length of out (<= 64).
int slowScale(const SlowMinor& m, ExactDiff z, double* out)
{
    double temp32a[32], temp32b[32];
    int temp32alen = scaleExpansion(m.len, m.e, z.head, temp32a);
    int temp32blen = scaleExpansion(m.len, m.e, z.tail, temp32b);
    return sumExpansions(temp32alen, temp32a, temp32blen, temp32b, out);
}

// One row of the slow evaluation: (m1 f1 + m2 f2 + m3 f3) times the row's
// exact lift (x^2 + y^2 + z^2); returns the length of out (<= 6912).
int slowRowTerm(const SlowMinor& m1, ExactDiff f1, const SlowMinor& m2, ExactDiff f2,
                const SlowMinor& m3, ExactDiff f3, ExactDiff x, ExactDiff y, ExactDiff z,
                double* out)
{
    double temp64a[64], temp64b[64], temp64c[64], temp128[128], temp192[192];
    int temp64alen = slowScale(m1, f1, temp64a);
    int temp64blen = slowScale(m2, f2, temp64b);
    int temp64clen = slowScale(m3, f3, temp64c);
    int temp128len = sumExpansions(temp64alen, temp64a, temp64blen, temp64b, temp128);
    int temp192len = sumExpansions(temp64clen, temp64c, temp128len, temp128, temp192);

    double x2[2304], y2[2304], z2[2304], detxy[4608];
    int x2len = squareTimesExpansion<192>(temp192len, temp192, x.head, x.tail, x2);
    int y2len = squareTimesExpansion<192>(temp192len, temp192, y.head, y.tail, y2);
    int z2len = squareTimesExpansion<192>(temp192len, temp192, z.head, z.tail, z2);
    int xylen = sumExpansions(x2len, x2, y2len, y2, detxy);
    return sumExpansions(z2len, z2, xylen, detxy, out);
}

ExactDiff exactDiff(double a, double b)
{
    ExactDiff d;
    twoDiff(a, b, d.head, d.tail);
    return d;
}

ExactDiff negated(ExactDiff d)
{
    return {-d.head, -d.tail};
}

}  // namespace

double inspherefast(const double* pa, const double* pb, const double* pc, const double* pd,
                    const double* pe)
{
    double aex = pa[0] - pe[0];
    double bex = pb[0] - pe[0];
    double cex = pc[0] - pe[0];
    double dex = pd[0] - pe[0];
    double aey = pa[1] - pe[1];
    double bey = pb[1] - pe[1];
    double cey = pc[1] - pe[1];
    double dey = pd[1] - pe[1];
    double aez = pa[2] - pe[2];
    double bez = pb[2] - pe[2];
    double cez = pc[2] - pe[2];
    double dez = pd[2] - pe[2];

    double ab = aex * bey - bex * aey;
    double bc = bex * cey - cex * bey;
    double cd = cex * dey - dex * cey;
    double da = dex * aey - aex * dey;
    double ac = aex * cey - cex * aey;
    double bd = bex * dey - dex * bey;

    double abc = aez * bc - bez * ac + cez * ab;
    double bcd = bez * cd - cez * bd + dez * bc;
    double cda = cez * da + dez * ac + aez * cd;
    double dab = dez * ab + aez * bd + bez * da;

    double alift = aex * aex + aey * aey + aez * aez;
    double blift = bex * bex + bey * bey + bez * bez;
    double clift = cex * cex + cey * cey + cez * cez;
    double dlift = dex * dex + dey * dey + dez * dez;
    return (dlift * abc - clift * dab) + (blift * cda - alift * bcd);
}

double insphereexact(const double* pa, const double* pb, const double* pc, const double* pd,
                     const double* pe)
{
    // The 5x5 determinant with rows (x, y, z, x^2 + y^2 + z^2, 1) of the raw
    // coordinates, expanded along the lift column; the 2x2 minors of x, y
    // are exact, the 3x3 ones expand along z, the 4x4 ones along the ones.
    double ab[4], bc[4], cd[4], de[4], ea[4], ac[4], bd[4], ce[4], da[4], eb[4];
    twoProductDiff(pa[0], pb[1], pb[0], pa[1], ab);
    twoProductDiff(pb[0], pc[1], pc[0], pb[1], bc);
    twoProductDiff(pc[0], pd[1], pd[0], pc[1], cd);
    twoProductDiff(pd[0], pe[1], pe[0], pd[1], de);
    twoProductDiff(pe[0], pa[1], pa[0], pe[1], ea);
    twoProductDiff(pa[0], pc[1], pc[0], pa[1], ac);
    twoProductDiff(pb[0], pd[1], pd[0], pb[1], bd);
    twoProductDiff(pc[0], pe[1], pe[0], pc[1], ce);
    twoProductDiff(pd[0], pa[1], pa[0], pd[1], da);
    twoProductDiff(pe[0], pb[1], pb[0], pe[1], eb);

    Minor3 abc, bcd, cde, dea, eab, abd, bce, cda, deb, eac;
    abc.len = threeByThree(bc, pa[2], ac, -pb[2], ab, pc[2], abc.e);
    bcd.len = threeByThree(cd, pb[2], bd, -pc[2], bc, pd[2], bcd.e);
    cde.len = threeByThree(de, pc[2], ce, -pd[2], cd, pe[2], cde.e);
    dea.len = threeByThree(ea, pd[2], da, -pe[2], de, pa[2], dea.e);
    eab.len = threeByThree(ab, pe[2], eb, -pa[2], ea, pb[2], eab.e);
    abd.len = threeByThree(bd, pa[2], da, pb[2], ab, pd[2], abd.e);
    bce.len = threeByThree(ce, pb[2], eb, pc[2], bc, pe[2], bce.e);
    cda.len = threeByThree(da, pc[2], ac, pd[2], cd, pa[2], cda.e);
    deb.len = threeByThree(eb, pd[2], bd, pe[2], de, pb[2], deb.e);
    eac.len = threeByThree(ac, pe[2], ce, pa[2], ea, pc[2], eac.e);

    double bcde[96], cdea[96], deab[96], eabc[96], abcd[96];
    int bcdelen = fourByFour(cde, bce, deb, bcd, bcde);
    int cdealen = fourByFour(dea, cda, eac, cde, cdea);
    int deablen = fourByFour(eab, deb, abd, dea, deab);
    int eabclen = fourByFour(abc, eac, bce, eab, eabc);
    int abcdlen = fourByFour(bcd, abd, cda, abc, abcd);

    double adet[1152], bdet[1152], cdet[1152], ddet[1152], edet[1152];
    int alen = rawLiftTimes(bcde, bcdelen, pa, adet);
    int blen = rawLiftTimes(cdea, cdealen, pb, bdet);
    int clen = rawLiftTimes(deab, deablen, pc, cdet);
    int dlen = rawLiftTimes(eabc, eabclen, pd, ddet);
    int elen = rawLiftTimes(abcd, abcdlen, pe, edet);

    double abdet[2304], cddet[2304], cdedet[3456], deter[5760];
    int ablen = sumExpansions(alen, adet, blen, bdet, abdet);
    int cdlen = sumExpansions(clen, cdet, dlen, ddet, cddet);
    int cdelen = sumExpansions(cdlen, cddet, elen, edet, cdedet);
    int deterlen = sumExpansions(ablen, abdet, cdelen, cdedet, deter);
    return deter[deterlen - 1];
}

double insphereslow(const double* pa, const double* pb, const double* pc, const double* pd,
                    const double* pe)
{
    ExactDiff aex = exactDiff(pa[0], pe[0]), aey = exactDiff(pa[1], pe[1]),
              aez = exactDiff(pa[2], pe[2]);
    ExactDiff bex = exactDiff(pb[0], pe[0]), bey = exactDiff(pb[1], pe[1]),
              bez = exactDiff(pb[2], pe[2]);
    ExactDiff cex = exactDiff(pc[0], pe[0]), cey = exactDiff(pc[1], pe[1]),
              cez = exactDiff(pc[2], pe[2]);
    ExactDiff dex = exactDiff(pd[0], pe[0]), dey = exactDiff(pd[1], pe[1]),
              dez = exactDiff(pd[2], pe[2]);

    SlowMinor ab, bc, cd, da, ac, bd;
    slowMinor(aex, aey, bex, bey, ab);
    slowMinor(bex, bey, cex, cey, bc);
    slowMinor(cex, cey, dex, dey, cd);
    slowMinor(dex, dey, aex, aey, da);
    slowMinor(aex, aey, cex, cey, ac);
    slowMinor(bex, bey, dex, dey, bd);

    // Rows: -alift bcd + blift cda - clift dab + dlift abc.
    double adet[6912], bdet[6912], cdet[6912], ddet[6912];
    int alen = slowRowTerm(cd, negated(bez), bd, cez, bc, negated(dez), aex, aey, aez, adet);
    int blen = slowRowTerm(da, cez, ac, dez, cd, aez, bex, bey, bez, bdet);
    int clen = slowRowTerm(ab, negated(dez), bd, negated(aez), da, negated(bez), cex, cey, cez,
                           cdet);
    int dlen = slowRowTerm(bc, aez, ac, negated(bez), ab, cez, dex, dey, dez, ddet);

    double abdet[13824], cddet[13824], deter[27648];
    int ablen = sumExpansions(alen, adet, blen, bdet, abdet);
    int cdlen = sumExpansions(clen, cdet, dlen, ddet, cddet);
    int deterlen = sumExpansions(ablen, abdet, cdlen, cddet, deter);
    return deter[deterlen - 1];
}

double insphereadapt(const double* pa, const double* pb, const double* pc, const double* pd,
                     const double* pe, double permanent)
{
    const PredicateState& s = gPredicateState;
    double aex = pa[0] - pe[0];
    double bex = pb[0] - pe[0];
    double cex = pc[0] - pe[0];
    double dex = pd[0] - pe[0];
    double aey = pa[1] - pe[1];
    double bey = pb[1] - pe[1];
    double cey = pc[1] - pe[1];
    double dey = pd[1] - pe[1];
    double aez = pa[2] - pe[2];
    double bez = pb[2] - pe[2];
    double cez = pc[2] - pe[2];
    double dez = pd[2] - pe[2];

    // Stage B: the determinant of the rounded differences, exactly.
    double ab[4], bc[4], cd[4], da[4], ac[4], bd[4];
    twoProductDiff(aex, bey, bex, aey, ab);
    twoProductDiff(bex, cey, cex, bey, bc);
    twoProductDiff(cex, dey, dex, cey, cd);
    twoProductDiff(dex, aey, aex, dey, da);
    twoProductDiff(aex, cey, cex, aey, ac);
    twoProductDiff(bex, dey, dex, bey, bd);

    double fin1[1152];
    int finlength;
    {
        double adet[288], bdet[288], cdet[288], ddet[288], abdet[576], cddet[576];
        int alen = adaptRowTerm(cd, bez, bd, -cez, bc, dez, aex, aey, aez, true, adet);
        int blen = adaptRowTerm(da, cez, ac, dez, cd, aez, bex, bey, bez, false, bdet);
        int clen = adaptRowTerm(ab, dez, bd, aez, da, bez, cex, cey, cez, true, cdet);
        int dlen = adaptRowTerm(bc, aez, ac, -bez, ab, cez, dex, dey, dez, false, ddet);
        int ablen = sumExpansions(alen, adet, blen, bdet, abdet);
        int cdlen = sumExpansions(clen, cdet, dlen, ddet, cddet);
        finlength = sumExpansions(ablen, abdet, cdlen, cddet, fin1);
    }
    double det = estimate(finlength, fin1);
    double errbound = s.isperrboundB * permanent;
    if (det >= errbound || -det >= errbound) return det;

    double aextail, bextail, cextail, dextail, aeytail, beytail, ceytail, deytail;
    double aeztail, beztail, ceztail, deztail;
    twoDiffTail(pa[0], pe[0], aex, aextail);
    twoDiffTail(pa[1], pe[1], aey, aeytail);
    twoDiffTail(pa[2], pe[2], aez, aeztail);
    twoDiffTail(pb[0], pe[0], bex, bextail);
    twoDiffTail(pb[1], pe[1], bey, beytail);
    twoDiffTail(pb[2], pe[2], bez, beztail);
    twoDiffTail(pc[0], pe[0], cex, cextail);
    twoDiffTail(pc[1], pe[1], cey, ceytail);
    twoDiffTail(pc[2], pe[2], cez, ceztail);
    twoDiffTail(pd[0], pe[0], dex, dextail);
    twoDiffTail(pd[1], pe[1], dey, deytail);
    twoDiffTail(pd[2], pe[2], dez, deztail);
    if (aextail == 0.0 && aeytail == 0.0 && aeztail == 0.0 && bextail == 0.0
        && beytail == 0.0 && beztail == 0.0 && cextail == 0.0 && ceytail == 0.0
        && ceztail == 0.0 && dextail == 0.0 && deytail == 0.0 && deztail == 0.0) {
        return det;
    }

    // Stage C: first-order tail terms in floating point, against the most
    // significant component of each head minor.
    errbound = s.isperrboundC * permanent + s.resulterrbound * std::fabs(det);
    double ab3 = ab[3], bc3 = bc[3], cd3 = cd[3], da3 = da[3], ac3 = ac[3], bd3 = bd[3];
    double abeps = (aex * beytail + bey * aextail) - (aey * bextail + bex * aeytail);
    double bceps = (bex * ceytail + cey * bextail) - (bey * cextail + cex * beytail);
    double cdeps = (cex * deytail + dey * cextail) - (cey * dextail + dex * ceytail);
    double daeps = (dex * aeytail + aey * dextail) - (dey * aextail + aex * deytail);
    double aceps = (aex * ceytail + cey * aextail) - (aey * cextail + cex * aeytail);
    double bdeps = (bex * deytail + dey * bextail) - (bey * dextail + dex * beytail);
    det += (((bex * bex + bey * bey + bez * bez)
                 * ((cez * daeps + dez * aceps + aez * cdeps)
                    + (ceztail * da3 + deztail * ac3 + aeztail * cd3))
             + (dex * dex + dey * dey + dez * dez)
                   * ((aez * bceps - bez * aceps + cez * abeps)
                      + (aeztail * bc3 - beztail * ac3 + ceztail * ab3)))
            - ((aex * aex + aey * aey + aez * aez)
                   * ((bez * cdeps - cez * bdeps + dez * bceps)
                      + (beztail * cd3 - ceztail * bd3 + deztail * bc3))
               + (cex * cex + cey * cey + cez * cez)
                     * ((dez * abeps + aez * bdeps + bez * daeps)
                        + (deztail * ab3 + aeztail * bd3 + beztail * da3))))
           + 2.0
                 * (((bex * bextail + bey * beytail + bez * beztail)
                         * (cez * da3 + dez * ac3 + aez * cd3)
                     + (dex * dextail + dey * deytail + dez * deztail)
                           * (aez * bc3 - bez * ac3 + cez * ab3))
                    - ((aex * aextail + aey * aeytail + aez * aeztail)
                           * (bez * cd3 - cez * bd3 + dez * bc3)
                       + (cex * cextail + cey * ceytail + cez * ceztail)
                             * (dez * ab3 + aez * bd3 + bez * da3)));
    if (det >= errbound || -det >= errbound) return det;

    // Stage D: the exact determinant of the raw coordinates.
    return insphereexact(pa, pb, pc, pd, pe);
}

namespace {

// insphere for coordinates whose products neither overflow nor underflow.
double insphereUnscaled(const double* pa, const double* pb, const double* pc, const double* pd,
                        const double* pe)
{
    double aex = pa[0] - pe[0];
    double bex = pb[0] - pe[0];
    double cex = pc[0] - pe[0];
    double dex = pd[0] - pe[0];
    double aey = pa[1] - pe[1];
    double bey = pb[1] - pe[1];
    double cey = pc[1] - pe[1];
    double dey = pd[1] - pe[1];
    double aez = pa[2] - pe[2];
    double bez = pb[2] - pe[2];
    double cez = pc[2] - pe[2];
    double dez = pd[2] - pe[2];

    double aexbey = aex * bey;
    double bexaey = bex * aey;
    double ab = aexbey - bexaey;
    double bexcey = bex * cey;
    double cexbey = cex * bey;
    double bc = bexcey - cexbey;
    double cexdey = cex * dey;
    double dexcey = dex * cey;
    double cd = cexdey - dexcey;
    double dexaey = dex * aey;
    double aexdey = aex * dey;
    double da = dexaey - aexdey;
    double aexcey = aex * cey;
    double cexaey = cex * aey;
    double ac = aexcey - cexaey;
    double bexdey = bex * dey;
    double dexbey = dex * bey;
    double bd = bexdey - dexbey;

    double abc = aez * bc - bez * ac + cez * ab;
    double bcd = bez * cd - cez * bd + dez * bc;
    double cda = cez * da + dez * ac + aez * cd;
    double dab = dez * ab + aez * bd + bez * da;

    double alift = aex * aex + aey * aey + aez * aez;
    double blift = bex * bex + bey * bey + bez * bez;
    double clift = cex * cex + cey * cey + cez * cez;
    double dlift = dex * dex + dey * dey + dez * dez;

    double det = (dlift * abc - clift * dab) + (blift * cda - alift * bcd);

    double aezplus = std::fabs(aez), bezplus = std::fabs(bez), cezplus = std::fabs(cez),
           dezplus = std::fabs(dez);
    double aexbeyplus = std::fabs(aexbey), bexaeyplus = std::fabs(bexaey);
    double bexceyplus = std::fabs(bexcey), cexbeyplus = std::fabs(cexbey);
    double cexdeyplus = std::fabs(cexdey), dexceyplus = std::fabs(dexcey);
    double dexaeyplus = std::fabs(dexaey), aexdeyplus = std::fabs(aexdey);
    double aexceyplus = std::fabs(aexcey), cexaeyplus = std::fabs(cexaey);
    double bexdeyplus = std::fabs(bexdey), dexbeyplus = std::fabs(dexbey);
    double permanent = ((cexdeyplus + dexceyplus) * bezplus + (dexbeyplus + bexdeyplus) * cezplus
                        + (bexceyplus + cexbeyplus) * dezplus)
                           * alift
                       + ((dexaeyplus + aexdeyplus) * cezplus
                          + (aexceyplus + cexaeyplus) * dezplus
                          + (cexdeyplus + dexceyplus) * aezplus)
                             * blift
                       + ((aexbeyplus + bexaeyplus) * dezplus
                          + (bexdeyplus + dexbeyplus) * aezplus
                          + (dexaeyplus + aexdeyplus) * bezplus)
                             * clift
                       + ((bexceyplus + cexbeyplus) * aezplus
                          + (cexaeyplus + aexceyplus) * bezplus
                          + (aexbeyplus + bexaeyplus) * cezplus)
                             * dlift;
    double errbound = gPredicateState.isperrboundA * permanent;
    if (det > errbound || -det > errbound) return det;
    return insphereadapt(pa, pb, pc, pd, pe, permanent);
}

}  // namespace

double insphere(const double* pa, const double* pb, const double* pc, const double* pd,
                const double* pe)
{
    using namespace predicate_scaling;
    const int k = scaleExponent({pa, pb, pc, pd, pe}, 3);
    if (k == 0)
        return insphereUnscaled(pa, pb, pc, pd, pe);
    double a[3], b[3], c[3], d[3], e[3];
    for (int i = 0; i < 3; ++i) {
        a[i] = std::ldexp(pa[i], k);
        b[i] = std::ldexp(pb[i], k);
        c[i] = std::ldexp(pc[i], k);
        d[i] = std::ldexp(pd[i], k);
        e[i] = std::ldexp(pe[i], k);
    }
    return unscale(insphereUnscaled(a, b, c, d, e), k, 5);
}
