// The exact predicates against the code they replaced: the code as it stood
// before the branch-light expansion sums is kept below, unchanged, in the
// namespace "before"; the library's orient2d, orient2dexact and incircle
// must return the same bits for every input of the sets tested here.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/predicates/ExpansionArithmetic.h"
#include "analysis/predicates/PredicateScaling.h"
#include "analysis/predicates/Predicates.h"

// The shared library keeps its constants to itself: the arithmetic of its
// header, compiled into this test, reads this copy. Weak, so that a test
// build that compiles the predicates in uses theirs.
namespace expansion {
__attribute__((weak)) PredicateState gPredicateState = predicateState();
}

namespace before {
// ---- expansion arithmetic as it stood ----


// The library's constants, copied once at start-up.
const PredicateState gPredicateState = predicateState();

// x = fl(a + b) must already be computed; y receives the roundoff. Needs |a| >= |b|.
inline void fastTwoSumTail(double a, double b, double x, double& y)
{
    double bvirt = x - a;
    y = b - bvirt;
}

// a + b = x + y exactly, for |a| >= |b|.
inline void fastTwoSum(double a, double b, double& x, double& y)
{
    x = a + b;
    fastTwoSumTail(a, b, x, y);
}

// x = fl(a + b) must already be computed; y receives the roundoff.
inline void twoSumTail(double a, double b, double x, double& y)
{
    double bvirt = x - a;
    double avirt = x - bvirt;
    double bround = b - bvirt;
    double around = a - avirt;
    y = around + bround;
}

// a + b = x + y exactly.
inline void twoSum(double a, double b, double& x, double& y)
{
    x = a + b;
    twoSumTail(a, b, x, y);
}

// x = fl(a - b) must already be computed; y receives the roundoff.
inline void twoDiffTail(double a, double b, double x, double& y)
{
    double bvirt = a - x;
    double avirt = x + bvirt;
    double bround = bvirt - b;
    double around = a - avirt;
    y = around + bround;
}

// a - b = x + y exactly.
inline void twoDiff(double a, double b, double& x, double& y)
{
    x = a - b;
    twoDiffTail(a, b, x, y);
}

// a = hi + lo, each half with at most 26 significant bits, so that the
// products of halves are exact.
inline void split(double a, double& hi, double& lo)
{
    double c = gPredicateState.splitter * a;
    double abig = c - a;
    hi = c - abig;
    lo = a - hi;
}

// x = fl(a * b) must already be computed; with a and b split beforehand, y
// receives the exact roundoff of the product.
inline void twoProduct2PresplitTail(double ahi, double alo, double bhi, double blo, double x,
                                    double& y)
{
    double err1 = x - (ahi * bhi);
    double err2 = err1 - (alo * bhi);
    double err3 = err2 - (ahi * blo);
    y = (alo * blo) - err3;
}

// a * b = x + y exactly.
inline void twoProduct(double a, double b, double& x, double& y)
{
    x = a * b;
    double ahi, alo, bhi, blo;
    split(a, ahi, alo);
    split(b, bhi, blo);
    twoProduct2PresplitTail(ahi, alo, bhi, blo, x, y);
}

// a * b = x + y exactly, with b already split into bhi + blo.
inline void twoProductPresplit(double a, double b, double bhi, double blo, double& x, double& y)
{
    x = a * b;
    double ahi, alo;
    split(a, ahi, alo);
    twoProduct2PresplitTail(ahi, alo, bhi, blo, x, y);
}

// a * b = x + y exactly, with both factors already split.
inline void twoProduct2Presplit(double a, double ahi, double alo, double b, double bhi, double blo,
                                double& x, double& y)
{
    x = a * b;
    twoProduct2PresplitTail(ahi, alo, bhi, blo, x, y);
}

// a * a = x + y exactly (one split instead of two).
inline void square(double a, double& x, double& y)
{
    x = a * a;
    double ahi, alo;
    split(a, ahi, alo);
    double err1 = x - (ahi * ahi);
    double err3 = err1 - ((ahi + ahi) * alo);
    y = (alo * alo) - err3;
}

// (a1 + a0) + b as the three-component expansion x2 + x1 + x0.
inline void twoOneSum(double a1, double a0, double b, double& x2, double& x1, double& x0)
{
    double i;
    twoSum(a0, b, i, x0);
    twoSum(a1, i, x2, x1);
}

// (a1 + a0) - b as the three-component expansion x2 + x1 + x0.
inline void twoOneDiff(double a1, double a0, double b, double& x2, double& x1, double& x0)
{
    double i;
    twoDiff(a0, b, i, x0);
    twoSum(a1, i, x2, x1);
}

// (a1 + a0) + (b1 + b0) as the expansion x[0..3], smallest first.
inline void twoTwoSum(double a1, double a0, double b1, double b0, double* x)
{
    double j, r0;
    twoOneSum(a1, a0, b0, j, r0, x[0]);
    twoOneSum(j, r0, b1, x[3], x[2], x[1]);
}

// (a1 + a0) - (b1 + b0) as the expansion x[0..3], smallest first.
inline void twoTwoDiff(double a1, double a0, double b1, double b0, double* x)
{
    double j, r0;
    twoOneDiff(a1, a0, b0, j, r0, x[0]);
    twoOneDiff(j, r0, b1, x[3], x[2], x[1]);
}

// a * b - c * d exactly, as the expansion x[0..3].
inline void twoProductDiff(double a, double b, double c, double d, double* x)
{
    double ab1, ab0, cd1, cd0;
    twoProduct(a, b, ab1, ab0);
    twoProduct(c, d, cd1, cd0);
    twoTwoDiff(ab1, ab0, cd1, cd0, x);
}

// a * b + c * d exactly, as the expansion x[0..3].
inline void twoProductSum(double a, double b, double c, double d, double* x)
{
    double ab1, ab0, cd1, cd0;
    twoProduct(a, b, ab1, ab0);
    twoProduct(c, d, cd1, cd0);
    twoTwoSum(ab1, ab0, cd1, cd0, x);
}

// (a1 + a0) * b as the expansion x[0..3], smallest first.
inline void twoOneProduct(double a1, double a0, double b, double* x)
{
    double bhi, blo, i, j, r0, k;
    split(b, bhi, blo);
    twoProductPresplit(a0, b, bhi, blo, i, x[0]);
    twoProductPresplit(a1, b, bhi, blo, j, r0);
    twoSum(i, r0, k, x[1]);
    fastTwoSum(j, k, x[3], x[2]);
}

// (a1 + a0) * (b1 + b0) as the expansion x[0..7], smallest first. Partial
// products are folded in from the smallest (a0 b0) to the largest (a1 b1),
// each carry rippling up through the components still open.
inline void twoTwoProduct(double a1, double a0, double b1, double b0, double* x)
{
    double a0hi, a0lo, a1hi, a1lo, bhi, blo;
    double i, j, k, l, m, n, r0, r1, r2;
    split(a0, a0hi, a0lo);
    split(b0, bhi, blo);
    twoProduct2Presplit(a0, a0hi, a0lo, b0, bhi, blo, i, x[0]);
    split(a1, a1hi, a1lo);
    twoProduct2Presplit(a1, a1hi, a1lo, b0, bhi, blo, j, r0);
    twoSum(i, r0, k, r1);
    fastTwoSum(j, k, l, r2);
    split(b1, bhi, blo);
    twoProduct2Presplit(a0, a0hi, a0lo, b1, bhi, blo, i, r0);
    twoSum(r1, r0, k, x[1]);
    twoSum(r2, k, j, r1);
    twoSum(l, j, m, r2);
    twoProduct2Presplit(a1, a1hi, a1lo, b1, bhi, blo, j, r0);
    twoSum(i, r0, n, r0);
    twoSum(r1, r0, i, x[2]);
    twoSum(r2, i, k, r1);
    twoSum(m, k, l, r2);
    twoSum(j, n, k, r0);
    twoSum(r1, r0, j, x[3]);
    twoSum(r2, j, i, r1);
    twoSum(l, i, m, r2);
    twoSum(r1, k, i, x[4]);
    twoSum(r2, i, k, x[5]);
    twoSum(m, k, x[7], x[6]);
}

// The component after index i of an expansion of length len, or 0 past its
// end (the value is then never used; this only keeps reads inside the array).
inline double componentAfter(const double* e, int& i, int len)
{
    ++i;
    return i < len ? e[i] : 0.0;
}

// h = e + f for nonoverlapping expansions e (length elen) and f (length
// flen); returns the length of h. The components are merged by increasing
// magnitude (the next one comes from e when e's is the smaller), then summed
// with one Fast-Two-Sum and Two-Sums; zero roundoff terms are dropped, and
// the final sum is kept when nonzero or when h would otherwise be empty.
// h must hold elen + flen components and may not overlap e or f.
inline int sumExpansions(int elen, const double* e, int flen, const double* f, double* h)
{
    int eindex = 0;
    int findex = 0;
    int hindex = 0;
    double enow = e[0];
    double fnow = f[0];
    double q, qnew, hh;
    // (fnow > enow) == (fnow > -enow) holds exactly when |fnow| > |enow|,
    // or when they tie with fnow <= 0: then e's component goes first.
    if ((fnow > enow) == (fnow > -enow)) {
        q = enow;
        enow = componentAfter(e, eindex, elen);
    } else {
        q = fnow;
        fnow = componentAfter(f, findex, flen);
    }
    if (eindex < elen && findex < flen) {
        if ((fnow > enow) == (fnow > -enow)) {
            fastTwoSum(enow, q, qnew, hh);
            enow = componentAfter(e, eindex, elen);
        } else {
            fastTwoSum(fnow, q, qnew, hh);
            fnow = componentAfter(f, findex, flen);
        }
        q = qnew;
        if (hh != 0.0) h[hindex++] = hh;
        while (eindex < elen && findex < flen) {
            if ((fnow > enow) == (fnow > -enow)) {
                twoSum(q, enow, qnew, hh);
                enow = componentAfter(e, eindex, elen);
            } else {
                twoSum(q, fnow, qnew, hh);
                fnow = componentAfter(f, findex, flen);
            }
            q = qnew;
            if (hh != 0.0) h[hindex++] = hh;
        }
    }
    while (eindex < elen) {
        twoSum(q, enow, qnew, hh);
        enow = componentAfter(e, eindex, elen);
        q = qnew;
        if (hh != 0.0) h[hindex++] = hh;
    }
    while (findex < flen) {
        twoSum(q, fnow, qnew, hh);
        fnow = componentAfter(f, findex, flen);
        q = qnew;
        if (hh != 0.0) h[hindex++] = hh;
    }
    if (q != 0.0 || hindex == 0) h[hindex++] = q;
    return hindex;
}

// h = b * e for a nonoverlapping expansion e of length elen >= 1; returns the
// length of h (at most 2 * elen). Zero terms are dropped; the last term is
// kept when nonzero or when h would otherwise be empty. h may not overlap e.
inline int scaleExpansion(int elen, const double* e, double b, double* h)
{
    double bhi, blo, q, hh, product1, product0, sum;
    split(b, bhi, blo);
    twoProductPresplit(e[0], b, bhi, blo, q, hh);
    int hindex = 0;
    if (hh != 0.0) h[hindex++] = hh;
    for (int eindex = 1; eindex < elen; ++eindex) {
        twoProductPresplit(e[eindex], b, bhi, blo, product1, product0);
        twoSum(q, product0, sum, hh);
        if (hh != 0.0) h[hindex++] = hh;
        fastTwoSum(product1, sum, q, hh);
        if (hh != 0.0) h[hindex++] = hh;
    }
    if (q != 0.0 || hindex == 0) h[hindex++] = q;
    return hindex;
}

// The plain floating-point sum of the components, smallest first.
inline double estimate(int elen, const double* e)
{
    double q = e[0];
    for (int i = 1; i < elen; ++i) q += e[i];
    return q;
}

// minor * (head + tail)^2 for an expansion minor of at most N components,
// as head^2 minor + 2 head tail minor + tail^2 minor; returns the length of
// out, which must hold 12 N components.
template <int N>
int squareTimesExpansion(int mlen, const double* minor, double head, double tail, double* out)
{
    double detx[2 * N], detxx[4 * N], detxt[2 * N], detxxt[4 * N], detxtxt[4 * N], x1[8 * N];
    int xlen = scaleExpansion(mlen, minor, head, detx);
    int xxlen = scaleExpansion(xlen, detx, head, detxx);
    int xtlen = scaleExpansion(mlen, minor, tail, detxt);
    int xxtlen = scaleExpansion(xtlen, detxt, head, detxxt);
    for (int i = 0; i < xxtlen; ++i) detxxt[i] *= 2.0;
    int xtxtlen = scaleExpansion(xtlen, detxt, tail, detxtxt);
    int x1len = sumExpansions(xxlen, detxx, xxtlen, detxxt, x1);
    return sumExpansions(x1len, x1, xtxtlen, detxtxt, out);
}

// A running exact sum kept in two alternating buffers of N components: each
// addition writes e + (current sum) into the other buffer.
template <int N>
struct ExpansionAccumulator {
    double buffers[2][N];
    int current = 0;
    int length = 0;

    // Starts the sum as e + f.
    void startWithSum(int elen, const double* e, int flen, const double* f)
    {
        current = 0;
        length = sumExpansions(elen, e, flen, f, buffers[0]);
    }

    // Adds the expansion e of length elen to the sum.
    void add(int elen, const double* e)
    {
        length = sumExpansions(length, buffers[current], elen, e, buffers[1 - current]);
        current = 1 - current;
    }

    // The current sum and its length.
    const double* data() const { return buffers[current]; }

    // The most significant component of the sum; it has the sum's sign.
    double mostSignificant() const { return buffers[current][length - 1]; }
};


// ---- orientation as it stood ----
// The 2-D orientation test: the sign of
//   | ax - cx   ay - cy |
//   | bx - cx   by - cy |
// positive when a, b, c run counter-clockwise.



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

// ---- in-circle as it stood ----
// The in-circle test: the sign of
//   | ax - dx   ay - dy   (ax - dx)^2 + (ay - dy)^2 |
//   | bx - dx   by - dy   (bx - dx)^2 + (by - dy)^2 |
//   | cx - dx   cy - dy   (cx - dx)^2 + (cy - dy)^2 |
// positive when d lies inside the circle through a, b, c (taken
// counter-clockwise).



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
    return sumExpansions(xxmlen, xxm, yymlen, yym, out);
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
        int ablen = sumExpansions(alen, adet, blen, bdet, abdet);
        fin.startWithSum(ablen, abdet, clen, cdet);
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

}  // namespace before

namespace {

// Equal bits, or both NaN: a NaN's sign and payload depend on the operand
// order the compiler picks for commutative operations, in the old code as
// in the new, so they are no part of the contract.
bool sameBits(double x, double y)
{
    return std::memcmp(&x, &y, sizeof x) == 0 || (std::isnan(x) && std::isnan(y));
}

// Four points (x, y each) for the predicates to take.
struct Quad {
    double p[4][2];
};

// The kinds of input: anywhere, collinear or cocircular to rounding, one ulp
// off, repeated points, zero coordinates, axis-parallel, and coordinates of
// mixed magnitudes; each at scales from subnormal products to overflowing
// ones.
std::vector<Quad> predicateInputs(unsigned seed)
{
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> anyExponent(-1070, 1020);
    const int exponents[] = {-1070, -1000, -900, -700, -500, -200, -60, -20, 0,
                             20,    60,    200,  500,  700,  900,  1000, 1020};
    std::vector<Quad> out;
    for (int e : exponents) {
        const double s = std::ldexp(1.0, e);
        for (int i = 0; i < 1500; ++i) {
            Quad q;
            const double shift = (i % 3 == 0) ? 0.0 : s * 8.0 * unit(rng);
            for (auto& pt : q.p) {
                pt[0] = unit(rng) * s + shift;
                pt[1] = unit(rng) * s - shift;
            }
            const double t = 3.0 * unit(rng);
            const double ang = 3.2 * unit(rng);
            switch (i % 10) {
            case 0:  // anywhere
                break;
            case 1:  // collinear to rounding
            case 2:  // and one ulp off
                q.p[2][0] = q.p[0][0] + t * (q.p[1][0] - q.p[0][0]);
                q.p[2][1] = q.p[0][1] + t * (q.p[1][1] - q.p[0][1]);
                if (i % 10 == 2) q.p[2][1] = std::nextafter(q.p[2][1], INFINITY);
                break;
            case 3:  // cocircular to rounding
            case 4:  // and one ulp off
                for (int k = 0; k < 4; ++k) {
                    const double a = ang + 1.6 * k + 0.3 * unit(rng);
                    q.p[k][0] = shift + s * std::cos(a);
                    q.p[k][1] = -shift + s * std::sin(a);
                }
                if (i % 10 == 4) q.p[3][0] = std::nextafter(q.p[3][0], -INFINITY);
                break;
            case 5:  // repeated points
                q.p[i % 4][0] = q.p[(i + 1) % 4][0];
                q.p[i % 4][1] = q.p[(i + 1) % 4][1];
                if (i % 20 == 5) q.p[(i + 2) % 4][0] = q.p[i % 4][0], q.p[(i + 2) % 4][1] = q.p[i % 4][1];
                break;
            case 6:  // zeros
                for (auto& pt : q.p)
                    for (double& v : pt)
                        if (rng() % 2) v = (rng() % 2) ? 0.0 : -0.0;
                break;
            case 7:  // axis-parallel, on the grid of the first point
                q.p[1][1] = q.p[0][1];
                q.p[2][0] = q.p[0][0];
                q.p[3][1] = q.p[2][1];
                break;
            case 8:  // mixed magnitudes
                for (auto& pt : q.p)
                    for (double& v : pt) v = std::ldexp(unit(rng), anyExponent(rng));
                break;
            default:  // small integers: exact differences and products
                for (auto& pt : q.p)
                    for (double& v : pt) v = std::floor(8.0 * unit(rng)) * s;
            }
            out.push_back(q);
        }
    }
    return out;
}

// Runs old and new on every input and on the inputs' rotations; returns the
// number of inputs where the value is exactly zero (to show the degenerate
// cases are reached).
int expectSameBits(const char* name, const std::function<double(const Quad&, int)>& oldFn,
                   const std::function<double(const Quad&, int)>& newFn)
{
    int zeros = 0;
    for (unsigned seed : {1u, 52u}) {
        for (const Quad& q : predicateInputs(seed)) {
            for (int r = 0; r < 4; ++r) {
                const double was = oldFn(q, r);
                const double is = newFn(q, r);
                zeros += was == 0.0;
                if (!sameBits(was, is)) {
                    ADD_FAILURE() << name << " differs: was " << was << ", is " << is << " at ("
                                  << q.p[r][0] << ", " << q.p[r][1] << ") ("
                                  << q.p[(r + 1) % 4][0] << ", " << q.p[(r + 1) % 4][1] << ") ("
                                  << q.p[(r + 2) % 4][0] << ", " << q.p[(r + 2) % 4][1] << ") ("
                                  << q.p[(r + 3) % 4][0] << ", " << q.p[(r + 3) % 4][1] << ")";
                    return zeros;
                }
            }
        }
    }
    return zeros;
}

template <class F>
std::function<double(const Quad&, int)> orientation(F f)
{
    return [f](const Quad& q, int r) { return f(q.p[r], q.p[(r + 1) % 4], q.p[(r + 2) % 4]); };
}

template <class F>
std::function<double(const Quad&, int)> circle(F f)
{
    return [f](const Quad& q, int r) {
        return f(q.p[r], q.p[(r + 1) % 4], q.p[(r + 2) % 4], q.p[(r + 3) % 4]);
    };
}

// A random expansion of len components, smallest first: signed integers of
// up to 20 bits, each 30 bits above the last, from 2^base on; some are zero,
// and where tie is given, some repeat tie's component of the same place
// (or its negative), which makes the merge's ties occur.
std::vector<double> randomExpansion(std::mt19937_64& rng, int len, int base,
                                    const std::vector<double>* tie = nullptr)
{
    std::vector<double> e(len);
    for (int i = 0; i < len; ++i) {
        const double digits = static_cast<double>(rng() % (1u << 20)) * ((rng() % 2) ? 1.0 : -1.0);
        e[i] = std::ldexp(digits, base + 30 * i);
        if (rng() % 5 == 0) e[i] = (rng() % 2) ? 0.0 : -0.0;
        if (tie && i < static_cast<int>(tie->size()) && rng() % 3 == 0)
            e[i] = (rng() % 2) ? (*tie)[i] : -(*tie)[i];
    }
    return e;
}

// The branch-free merge and sum against the step-by-step one as it stood, for
// every pair of lengths they take, with zeros, ties and signed zeros.
template <int ECAP, int FCAP>
void expectSameSums(std::mt19937_64& rng, int trials)
{
    for (int trial = 0; trial < trials; ++trial) {
        for (int elen = 1; elen <= ECAP; ++elen) {
            for (int flen = 1; flen <= FCAP; ++flen) {
                const int base = -1000 + static_cast<int>(rng() % 40);
                std::vector<double> e = randomExpansion(rng, elen, base);
                std::vector<double> f = randomExpansion(rng, flen, base + static_cast<int>(rng() % 3) * 10, &e);
                if (trial % 5 == 1)  // every component zero
                    for (double& x : e) x = (trial % 10 == 1) ? -0.0 : 0.0;
                e.resize(ECAP, 0.0);
                f.resize(FCAP, 0.0);
                double was[ECAP + FCAP], longSum[ECAP + FCAP];
                const int wasLen = before::sumExpansions(elen, e.data(), flen, f.data(), was);
                const int longLen =
                    expansion::sumExpansionsBranchless<ECAP, FCAP>(elen, e.data(), flen, f.data(), longSum);
                ASSERT_EQ(longLen, wasLen) << elen << " + " << flen;
                for (int k = 0; k < wasLen; ++k) {
                    ASSERT_TRUE(sameBits(longSum[k], was[k])) << k << ": " << longSum[k] << " " << was[k];
                }
            }
        }
    }
}

TEST(PredicatesBits, ExpansionSumsKeepTheirComponents)
{
    std::mt19937_64 rng(7);
    expectSameSums<4, 4>(rng, 400);
    expectSameSums<8, 4>(rng, 400);
    expectSameSums<16, 16>(rng, 100);
    expectSameSums<32, 32>(rng, 6);
    expectSameSums<64, 32>(rng, 2);
}

TEST(PredicatesBits, Orient2dExactKeepsItsValue)
{
    const int zeros = expectSameBits("orient2dexact", orientation(before::orient2dexact),
                                     orientation(::orient2dexact));
    EXPECT_GT(zeros, 1000);
}

// orient2dexact reads its value from the largest components where their
// rounding is settled: many ordinary triangles, at the edges of the range
// where it does so, and far from the origin.
TEST(PredicatesBits, Orient2dExactKeepsItsValueOnOrdinaryTriangles)
{
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (int e : {-452, -449, -60, 0, 40, 449, 451}) {
        const double s = std::ldexp(1.0, e);
        for (int i = 0; i < 40000; ++i) {
            const double shift = (i % 2) ? s * 1e6 : 0.0;
            double a[2] = {unit(rng) * s + shift, unit(rng) * s};
            double b[2] = {unit(rng) * s + shift, unit(rng) * s};
            double c[2] = {unit(rng) * s + shift, unit(rng) * s};
            const double was = before::orient2dexact(a, b, c);
            const double is = orient2dexact(a, b, c);
            ASSERT_TRUE(sameBits(was, is)) << was << " " << is << " at 2^" << e << ": (" << a[0] << ", "
                                           << a[1] << ") (" << b[0] << ", " << b[1] << ") (" << c[0]
                                           << ", " << c[1] << ")";
        }
    }
}

TEST(PredicatesBits, Orient2dKeepsItsValue)
{
    const int zeros = expectSameBits("orient2d", orientation(before::orient2d), orientation(::orient2d));
    EXPECT_GT(zeros, 1000);
}

TEST(PredicatesBits, InCircleKeepsItsValue)
{
    const int zeros = expectSameBits("incircle", circle(before::incircle), circle(::incircle));
    EXPECT_GT(zeros, 1000);
}

}  // namespace
