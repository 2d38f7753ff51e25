#pragma once

// Tolerant comparisons, error measures, angle normalisation and powers of ten
// shared by every numeric module of the library. None of them keeps state.

// Tolerant equality: true when a == b; magnitudes below 1e-9 count as zero
// (a zero on either side matches only another such value); otherwise true
// when 1 - tol < a/b < 1 + tol. A quotient that would overflow or underflow
// gives false.
bool floatcmp(const double& a, const double& b, const double& tol);

// |a| when |b| < 1e-4, else |(a + b)/b - 1|.
double relativeError(double a, double b);

// |a - b| when |a| < 1e-7, else |(a - b)/a|.
double relativeError2(double a, double b);

// |(a - b)/a| when |a| > 10, else |b - a| / 1000.
double momentError(double a, double b);

// Brings an angle in degrees into [-90, 90] by steps of 360 and 180; throws
// std::logic_error "Normalization of angle failed." when the steps do not
// reach that range.
double normalizeAngle(double degrees);

// e = | |n(a)| - |n(b)| | with n = normalizeAngle; e / |n(a)| when
// |n(a)| > 1, else e. Lets the exception of normalizeAngle through.
double angleError(double a, double b);

// Decimal exponent of v: 1 when |v| < 1e-8; 0 when 1 <= |v| <= 10; else the
// number of multiplications by 10 that bring |v| to at least 1 (positive),
// or minus the number of divisions by 10 that bring it to at most 10.
int decimalExponent(double v);

// 0 when |v| < 1e-8; otherwise v times 10 to the decimal exponent of v.
double decimalMantissa(double v);

// The distance within which Bspline::eval takes a parameter of the range
// [t0, t1] as its end (and answers the end control point exactly): 1e-7,
// or 1e-7 of the range when the range is shorter than 1 (1e-7 for an
// empty range), so that the parameters of a short arc (knots follow the
// arc's length: a millimetre given in metres) are not pulled onto its ends.
double parameterSnap(double t0, double t1);

// x to the integer power n by repeated squaring; a negative n gives 1/x^|n|.
double intPower(double x, int n);
