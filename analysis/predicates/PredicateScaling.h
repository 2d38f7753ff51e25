#pragma once

#include <cfloat>
#include <cmath>
#include <initializer_list>

// Exact rescaling of predicate input by a power of two. The in-circle and
// in-sphere determinants are homogeneous in the coordinates (of degree 4 and
// 5), so scaling every coordinate by 2^k scales the determinant by
// 2^(4k) or 2^(5k) and keeps its sign; a power of two changes no bit of a
// coordinate that stays a normal number. Coordinates far from 1 are brought
// near 1 so that no product overflows or underflows.
namespace predicate_scaling {

// Largest and smallest magnitude of the largest coordinate that the
// unscaled predicates take without overflow or underflow (with room to
// spare for the tails of the exact stages).
constexpr double kHighest = 0x1p64;
constexpr double kLowest = 0x1p-64;

// The k for which 2^k times the largest coordinate magnitude lies in
// [0.5, 1), or 0 when the coordinates are in the safe range already, all
// zero, or some coordinate is not finite (left to the unscaled evaluation).
inline int scaleExponent(std::initializer_list<const double*> points, int dims)
{
    double largest = 0.0;
    for (const double* p : points) {
        for (int i = 0; i < dims; ++i) {
            const double m = std::fabs(p[i]);
            if (!(m <= DBL_MAX))
                return 0;
            if (m > largest)
                largest = m;
        }
    }
    if (largest == 0.0 || (largest >= kLowest && largest <= kHighest))
        return 0;
    int e = 0;
    std::frexp(largest, &e);
    return -e;
}

// det, computed from coordinates scaled by 2^k, taken back to the scale of
// the input for a determinant of the given degree. The sign is kept: a
// value beyond the double range becomes an infinity, one below it the
// smallest double of its sign.
inline double unscale(double det, int k, int degree)
{
    const double back = std::ldexp(det, -k * degree);
    if (back == 0.0 && det != 0.0)
        return std::copysign(DBL_TRUE_MIN, det);
    return back;
}

}  // namespace predicate_scaling
