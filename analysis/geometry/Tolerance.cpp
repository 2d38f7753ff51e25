#include "analysis/geometry/Tolerance.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <stdexcept>

namespace {

// Magnitudes below this count as zero in floatcmp.
constexpr double kZero = 1e-9;

}  // namespace

bool floatcmp(const double& a, const double& b, const double& tol)
{
    if (a == b)
        return true;
    const double fa = std::fabs(a);
    const double fb = std::fabs(b);
    if (a == 0.0)
        return fb < kZero;
    if (b == 0.0)
        return fa < kZero;
    if (fb < kZero)
        return fa < kZero;
    if (fa <= kZero)
        return false;
    // Refuse a quotient a/b that would overflow or underflow.
    if (fb < 1.0 && fa > fb * DBL_MAX)
        return false;
    if (fb > 1.0 && fa < fb * DBL_MIN)
        return false;
    const double q = a / b;
    return 1.0 - tol < q && q < 1.0 + tol;
}

double relativeError(double a, double b)
{
    if (std::fabs(b) < 1e-4)
        return std::fabs(a);
    return std::fabs((a + b) / b - 1.0);
}

double relativeError2(double a, double b)
{
    if (std::fabs(a) < 1e-7)
        return std::fabs(a - b);
    return std::fabs((a - b) / a);
}

double momentError(double a, double b)
{
    if (std::fabs(a) > 10.0)
        return std::fabs((a - b) / a);
    return std::fabs(b - a) / 1000.0;
}

double normalizeAngle(double x)
{
    if (x > 270.0)
        x -= 360.0;
    if (x > 180.0)
        x -= 180.0;
    if (x > 90.0)
        x -= 180.0;
    if (x < -270.0)
        x += 360.0;
    if (x < -180.0)
        x += 180.0;
    if (x < -90.0)
        x += 180.0;
    if (!(x >= -90.0 && x <= 90.0))
        throw std::logic_error("Normalization of angle failed.");
    return x;
}

double angleError(double a, double b)
{
    const double na = std::fabs(normalizeAngle(a));
    const double nb = std::fabs(normalizeAngle(b));
    const double e = std::fabs(na - nb);
    return na > 1.0 ? e / na : e;
}

int decimalExponent(double v)
{
    double m = std::fabs(v);
    if (m < 1e-8)
        return 1;
    if (m >= 1.0 && m <= 10.0)
        return 0;
    int n = 0;
    if (m < 1.0) {
        while (m < 1.0) {
            m *= 10.0;
            ++n;
        }
        return n;
    }
    // An infinite or NaN value has no exponent: stop rather than loop forever.
    while (m > 10.0 && std::isfinite(m)) {
        m /= 10.0;
        --n;
    }
    return n;
}

double decimalMantissa(double v)
{
    if (std::fabs(v) < 1e-8)
        return 0.0;
    // Divide for a negative exponent: 10^n is exact where 10^-n is not.
    const int e = decimalExponent(v);
    return e >= 0 ? v * intPower(10.0, e) : v / intPower(10.0, -e);
}

double parameterSnap(double t0, double t1)
{
    // An empty range keeps 1e-7: its one parameter must still find the ends.
    const double span = std::fabs(t1 - t0);
    return span > 0.0 ? std::min(1e-7, 1e-7 * span) : 1e-7;
}

double intPower(double x, int n)
{
    // Work on the magnitude as unsigned so that the most negative int is safe.
    unsigned long long k = n < 0 ? 0ULL - static_cast<unsigned long long>(static_cast<long long>(n))
                                 : static_cast<unsigned long long>(n);
    double result = 1.0;
    double base = x;
    while (k != 0) {
        if (k & 1ULL)
            result *= base;
        base *= base;
        k >>= 1;
    }
    return n < 0 ? 1.0 / result : result;
}
