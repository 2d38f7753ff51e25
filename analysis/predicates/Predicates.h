// Robust geometric predicates on IEEE double coordinates: the signs of the
// orientation, in-circle and in-sphere determinants, decided correctly for
// every input by adaptive-precision expansion arithmetic. These are the
// predicates of J. R. Shewchuk, "Adaptive Precision Floating-Point
// Arithmetic and Fast Robust Geometric Predicates" (1997), evaluated stage
// for stage as published, with the same error bounds.
//
// A point is a pointer to consecutive doubles: x, y for the 2-D families
// (orient2d, incircle), x, y, z for the 3-D families (orient3d, insphere).
// Points are only read.
//
// Variants of each predicate:
//   fast   plain floating point, differences against the last point; may
//          give a wrong sign or zero for nearly degenerate input.
//   exact  exact products of the raw coordinates summed into one expansion;
//          returns its most significant component (exact sign).
//   slow   exact coordinate differences (head and tail), exact products,
//          one expansion; returns its most significant component.
//   adapt  the staged evaluation behind the plain entry, given the
//          magnitude bound (detsum or permanent) the plain entry computed.
//   plain  a floating-point filter that falls back to the adapt variant.
// Every variant but the fast ones reverses its sign when two arguments are
// swapped and returns exactly zero for degenerate input.
//
// The functions keep everything on the stack and allocate nothing. The slow
// and exact 3-D and in-sphere variants need large stack frames (insphereslow
// about 800 KB); call them on a thread with a default-sized stack.
#pragma once

// The constants the predicates read: machine epsilon, the Split constant and
// the error bounds of the filters. They hold their values from load time on;
// exactinit recomputes the same values.
struct PredicateState {
    double epsilon;         // 2^-53: half an ulp of 1.0
    double splitter;        // 2^27 + 1: splits a double into two 26-bit halves
    double resulterrbound;  // (3 + 8e)e
    double ccwerrboundA;    // orient2d bounds
    double ccwerrboundB;
    double ccwerrboundC;
    double o3derrboundA;    // orient3d bounds
    double o3derrboundB;
    double o3derrboundC;
    double iccerrboundA;    // incircle bounds
    double iccerrboundB;
    double iccerrboundC;
    double isperrboundA;    // insphere bounds
    double isperrboundB;
    double isperrboundC;
};

// Computes machine epsilon, the splitter and the error bounds into the
// module state. Always writes the same values; calling it again is harmless.
void exactinit();

// The module state the predicates read (valid before exactinit too).
const PredicateState& predicateState();

// Positive when pa, pb, pc run counter-clockwise, negative when clockwise,
// zero when collinear; about twice the signed area of the triangle.
double orient2d(const double* pa, const double* pb, const double* pc);
// orient2d in plain floating point; the sign may be wrong near degeneracy.
double orient2dfast(const double* pa, const double* pb, const double* pc);
// orient2d from exact products of the raw coordinates; exact sign.
double orient2dexact(const double* pa, const double* pb, const double* pc);
// orient2d from exact coordinate differences and exact products; exact sign.
double orient2dslow(const double* pa, const double* pb, const double* pc);
// The staged evaluation behind orient2d; detsum = |detleft| + |detright|.
double orient2dadapt(const double* pa, const double* pb, const double* pc, double detsum);

// Positive when pd lies below the plane through pa, pb, pc (below: the side
// opposite to the one from which pa, pb, pc appear counter-clockwise),
// negative above, zero when coplanar; about six times the signed volume.
double orient3d(const double* pa, const double* pb, const double* pc, const double* pd);
// orient3d in plain floating point; the sign may be wrong near degeneracy.
double orient3dfast(const double* pa, const double* pb, const double* pc, const double* pd);
// orient3d from exact products of the raw coordinates; exact sign.
double orient3dexact(const double* pa, const double* pb, const double* pc, const double* pd);
// orient3d from exact coordinate differences and exact products; exact sign.
double orient3dslow(const double* pa, const double* pb, const double* pc, const double* pd);
// The staged evaluation behind orient3d, given orient3d's permanent.
double orient3dadapt(const double* pa, const double* pb, const double* pc, const double* pd,
                     double permanent);

// Positive when pd lies inside the circle through pa, pb, pc, negative
// outside, zero on it; pa, pb, pc must run counter-clockwise, else the sign
// is reversed.
double incircle(const double* pa, const double* pb, const double* pc, const double* pd);
// incircle in plain floating point; the sign may be wrong near degeneracy.
double incirclefast(const double* pa, const double* pb, const double* pc, const double* pd);
// incircle from exact coordinate differences and exact products; exact sign.
double incircleslow(const double* pa, const double* pb, const double* pc, const double* pd);
// The staged evaluation behind incircle, given incircle's permanent.
double incircleadapt(const double* pa, const double* pb, const double* pc, const double* pd,
                     double permanent);

// Positive when pe lies inside the sphere through pa, pb, pc, pd, negative
// outside, zero on it; pa, pb, pc, pd must have positive orient3d, else the
// sign is reversed.
double insphere(const double* pa, const double* pb, const double* pc, const double* pd,
                const double* pe);
// insphere in plain floating point; the sign may be wrong near degeneracy.
double inspherefast(const double* pa, const double* pb, const double* pc, const double* pd,
                    const double* pe);
// insphere from exact products of the raw coordinates; exact sign.
double insphereexact(const double* pa, const double* pb, const double* pc, const double* pd,
                     const double* pe);
// insphere from exact coordinate differences and exact products; exact sign.
double insphereslow(const double* pa, const double* pb, const double* pc, const double* pd,
                    const double* pe);
// The staged evaluation behind insphere, given insphere's permanent; its
// last stage is insphereexact.
double insphereadapt(const double* pa, const double* pb, const double* pc, const double* pd,
                     const double* pe, double permanent);
