// Floating-point expansion arithmetic behind the exact predicates (internal
// to the predicates; nothing here is exported).
//
// An expansion is an array of doubles, ordered by increasing magnitude, whose
// components do not overlap; its value is the exact sum of the components.
// The building blocks compute a rounded result x together with its exact
// rounding error y, so that x + y equals the exact result:
//   Two-Sum / Fast-Two-Sum   a + b = x + y
//   Two-Diff                 a - b = x + y
//   Split                    a = hi + lo with hi, lo of at most 26 bits
//   Two-Product              a * b = x + y
// They are exact only when every operation is a separately rounded IEEE
// double operation in round-to-nearest: no extended precision, no fused
// multiply-add (the build uses -ffp-contract=off), no reassociation.
#pragma once

#include <cfloat>
#include <cstdint>
#include <cstring>

#include "analysis/predicates/Predicates.h"

static_assert(FLT_EVAL_METHOD == 0,
              "the exact predicates need double operations without extended precision");

namespace expansion __attribute__((visibility("hidden"))) {

// The module state; holds its values from load time on.
extern PredicateState gPredicateState;

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

// The merge of sumExpansions takes f's component before e's exactly when
// (f > e) != (f > -e), that is when |f| < |e|, or |f| == |e| and f > 0.
// With a = the bits of |x| (ordered as |x| for all but NaN) that becomes an
// integer comparison of keys: f goes first when fKey(f) < eKey(e).
inline std::uint64_t magnitudeBits(double x)
{
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits & ~(std::uint64_t(1) << 63);
}

inline std::uint64_t eKey(double e)
{
    return (magnitudeBits(e) << 1) | 1;
}

inline std::uint64_t fKey(double f)
{
    return (magnitudeBits(f) << 1) | !(f > 0.0);
}

// Keys for the merge order of one input of sumExpansions (eKey for e,
// fKey for f) into keys[0..len-1], and keys[len] = the largest key, which no
// component has (a sentinel for an exhausted input). False when the keys do
// not give the merge's order: a component is not finite, or the nonzero
// ones are not strictly increasing in magnitude (as in an exact expansion;
// products that underflow can break this). A zero takes the key of the last
// nonzero component before it: the merge takes a zero as soon as it heads
// its input, so right after that one.
template <bool IS_E>
inline bool mergeKeys(int len, const double* e, std::uint64_t* keys)
{
    constexpr std::uint64_t kInfinityBits = 0x7ff0000000000000;
    bool ok = true;
    std::uint64_t largest = 0;
    std::uint64_t key = IS_E ? eKey(0.0) : fKey(0.0);
    for (int i = 0; i < len; ++i) {
        const std::uint64_t a = magnitudeBits(e[i]);
        ok &= (a == 0) | ((a > largest) & (a < kInfinityBits));
        largest = a > largest ? a : largest;
        const std::uint64_t own = IS_E ? eKey(e[i]) : fKey(e[i]);
        key = a != 0 ? own : key;
        keys[i] = key;
    }
    keys[len] = ~std::uint64_t(0);
    return ok;
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

// sumExpansions for inputs of up to ECAP and FCAP components, with the
// same components in the same order. Each merge step compares the integer
// keys of mergeKeys and picks the next component by masking its address,
// instead of a branch that would mispredict about every other step; zero
// roundoff terms are dropped by index arithmetic. Inputs whose keys do not
// apply take sumExpansions.
template <int ECAP, int FCAP>
inline int sumExpansionsBranchless(int elen, const double* e, int flen, const double* f, double* h)
{
    std::uint64_t ek[ECAP + 1], fk[FCAP + 1];
    const bool eOk = mergeKeys<true>(elen, e, ek);
    const bool fOk = mergeKeys<false>(flen, f, fk);
    if (!(eOk & fOk)) return sumExpansions(elen, e, flen, f, h);
    int i = 0;
    int j = 0;
    auto next = [&]() {
        const bool takeF = fk[j] < ek[i];
        // The address by masking: a plain selection compiles to a branch.
        const std::uintptr_t pe = reinterpret_cast<std::uintptr_t>(e + i);
        const std::uintptr_t pf = reinterpret_cast<std::uintptr_t>(f + j);
        const std::uintptr_t mask = 0 - static_cast<std::uintptr_t>(takeF);
        j += takeF;
        i += !takeF;
        return *reinterpret_cast<const double*>(pe ^ ((pe ^ pf) & mask));
    };
    double q = next();
    const bool firstFast = i < elen && j < flen;
    double qnew, hh;
    if (firstFast)
        fastTwoSum(next(), q, qnew, hh);
    else
        twoSum(q, next(), qnew, hh);
    q = qnew;
    int hindex = 0;
    h[hindex] = hh;
    hindex += hh != 0.0;
    for (int k = 2; k < elen + flen; ++k) {
        twoSum(q, next(), qnew, hh);
        q = qnew;
        h[hindex] = hh;
        hindex += hh != 0.0;
    }
    h[hindex] = q;
    hindex += (q != 0.0) | (hindex == 0);
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

    // Starts the sum as e + f by sumExpansionsBranchless.
    template <int ECAP, int FCAP>
    void startWithBranchlessSum(int elen, const double* e, int flen, const double* f)
    {
        current = 0;
        length = sumExpansionsBranchless<ECAP, FCAP>(elen, e, flen, f, buffers[0]);
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

}  // namespace expansion
