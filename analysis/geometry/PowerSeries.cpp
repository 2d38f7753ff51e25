// Polynomials in one variable: coefficients, evaluation and derivatives,
// fits through three or four points, sums and products, the fit through
// equally spaced samples and the archive record.
#include "analysis/geometry/PowerSeries.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/geometry/LinearSystem.h"
#include "analysis/geometry/Matrix.h"
#include "analysis/geometry/Tolerance.h"
#include "platform/core/CArchive.h"
#include "platform/core/Types.h"

IMPLEMENT_SERIAL(PowerSeries, CObject, 1)

namespace {

// Marker that ends the archive record.
constexpr int kEndMarker = 444;

}  // namespace

// ---------------------------------------------------------------------------
// Construction

PowerSeries::PowerSeries() : m_label(L"DefaultConstructor") {}

PowerSeries::PowerSeries(const PowerSeries& other)
    : CObject(),
      m_deg(other.m_deg),
      m_origin(other.m_origin),
      m_sL(other.m_sL),
      m_sR(other.m_sR),
      m_label(L"copy constructor")
{
    m_coefficients.Copy(other.m_coefficients);
}

PowerSeries::PowerSeries(CString label, double* values, int n, double length)
    : m_sR(length), m_label(label)
{
    if (n < 0)
        AfxThrowInvalidArgException();
    if (n == 0)
        return;
    // Vandermonde system A c = v with A(k, i) = x_k^i at the sample abscissae.
    Matrix A(n, n);
    Matrix b(n, 1);
    for (int k = 0; k < n; ++k) {
        const double x = n == 1 ? 0.0 : static_cast<double>(k) / (n - 1) * length;
        double power = 1.0;
        for (int i = 0; i < n; ++i) {
            A(k, i) = power;
            power *= x;
        }
        b(k, 0) = values[k];
    }
    LinearSystem system(&A, &b);
    // Coinciding abscissae make A singular; its factors would hand back
    // infinities as coefficients.
    if (system.solve() != 0)
        throw "Matrix is singular";
    setCoefficients(b.values(), n);
}

PowerSeries::~PowerSeries() = default;

// ---------------------------------------------------------------------------
// Coefficients

void PowerSeries::coef(int i, double v)
{
    if (i < 0)
        AfxThrowInvalidArgException();
    if (m_coefficients.GetSize() < i + 1)
        m_coefficients.SetSize(i + 1);
    m_coefficients[i] = v;
    m_deg = i;
}

double PowerSeries::coef(int i) const
{
    if (i > m_deg)
        return 0.0;
    return m_coefficients.GetAt(i);
}

void PowerSeries::alloc(int n)
{
    if (n >= m_deg + 1)
        m_coefficients.SetSize(n);
}

double PowerSeries::coefSum() const
{
    double sum = 0.0;
    for (double c : m_coefficients)
        sum += c;
    return sum;
}

int PowerSeries::factorial(int n)
{
    // Unsigned, so that a result beyond the range of int wraps instead of
    // being undefined.
    unsigned int f = 1;
    for (int k = 2; k <= n; ++k)
        f *= static_cast<unsigned int>(k);
    return static_cast<int>(f);
}

void PowerSeries::setCoefficients(const double* c, int count)
{
    m_coefficients.SetSize(count);
    for (int i = 0; i < count; ++i)
        m_coefficients[i] = c[i];
    m_deg = count - 1;
}

// ---------------------------------------------------------------------------
// Evaluation

double PowerSeries::eval(double x) const
{
    if (m_deg < 0)
        return 0.0;
    if (m_deg == 0)
        return m_coefficients.GetAt(0);
    double sum = 0.0;
    double power = 1.0;
    for (int i = 0; i <= m_deg; ++i) {
        sum += m_coefficients.GetAt(i) * power;
        power *= x;
    }
    return sum;
}

double PowerSeries::evalGlobal(double x) const
{
    return eval(x - m_origin);
}

double PowerSeries::D(int n, double x) const
{
    if (n < 0)
        AfxThrowInvalidArgException();
    double sum = 0.0;
    for (int m = n; m <= m_deg; ++m) {
        double falling = 1.0;  // m! / (m - n)!
        for (int k = m - n + 1; k <= m; ++k)
            falling *= k;
        sum += m_coefficients.GetAt(m) * falling * intPower(x, m - n);
    }
    return sum;
}

PowerSeries PowerSeries::d(int n) const
{
    if (n < 0)
        AfxThrowInvalidArgException();
    PowerSeries r;
    r.m_sL = m_sL;
    r.m_sR = m_sR;
    const int degree = m_deg - n;
    if (degree < 0)
        return r;  // every derivative beyond the degree is the empty series
    std::vector<double> c(static_cast<std::size_t>(degree) + 1);
    for (int j = 0; j <= degree; ++j) {
        // (j + 1)(j + 2)...(j + n), exact in double far beyond int's range.
        double rising = 1.0;
        for (int k = j + 1; k <= j + n; ++k)
            rising *= k;
        c[static_cast<std::size_t>(j)] = m_coefficients.GetAt(j + n) * rising;
    }
    r.setCoefficients(c.data(), degree + 1);
    return r;
}

// ---------------------------------------------------------------------------
// Fitting

void PowerSeries::quadratic(double a, double b, double c, double d)
{
    m_sL = 0.0;
    m_sR = d;
    if (std::fabs(a - b) < 1e-8 && std::fabs(b - c) < 1e-8) {
        setCoefficients(&a, 1);
        return;
    }
    const double second = 2.0 * a - 4.0 * b + 2.0 * c;
    const double coefficients[3] = {a, (c - a) / d - second / d, second / (d * d)};
    setCoefficients(coefficients, 3);
}

void PowerSeries::quadratic(double x1, double y1, double x2, double y2, double x3, double y3)
{
    m_sL = x1;
    m_sR = x3;
    const double onChord = y1 + (x2 - x1) * (y3 - y1) / (x3 - x1);
    if (floatcmp(onChord, y2, 1e-6)) {
        // The chord line itself, in the same global abscissa as the parabola.
        const double slope = (y3 - y1) / (x3 - x1);
        const double line[2] = {y1 - slope * x1, slope};
        setCoefficients(line, 2);
        return;
    }
    const double delta = (x3 - x1) * (x3 - x2) * (x1 - x2);
    const double c0 = -(x2 * x3 * x3 * y1 - x2 * x2 * x3 * y1 + x1 * x1 * x3 * y2 -
                        x1 * x3 * x3 * y2 - x1 * x1 * x2 * y3 + x1 * x2 * x2 * y3) /
                      delta;
    const double c1 = -(x2 * x2 * y1 - x3 * x3 * y1 - x1 * x1 * y2 + x3 * x3 * y2 +
                        x1 * x1 * y3 - x2 * x2 * y3) /
                      delta;
    const double c2 = -(x3 * y1 - x2 * y1 + x1 * y2 - x3 * y2 - x1 * y3 + x2 * y3) /
                      (x1 * x1 * x2 - x1 * x2 * x2 - x1 * x1 * x3 + x2 * x2 * x3 +
                       x1 * x3 * x3 - x2 * x3 * x3);
    const double coefficients[3] = {c0, c1, c2};
    setCoefficients(coefficients, 3);
}

void PowerSeries::quadratic(Point<double>* p1, Point<double>* p2, Point<double>* p3)
{
    quadratic(p1->x, p1->y, p2->x, p2->y, p3->x, p3->y);
}

void PowerSeries::cubic(Point<double>* p1, Point<double>* p2, Point<double>* p3,
                        Point<double>* p4)
{
    const double x[4] = {p1->x, p2->x, p3->x, p4->x};
    const double y[4] = {p1->y, p2->y, p3->y, p4->y};
    m_sL = x[0];
    m_sR = x[3];
    // Sum of the four Lagrange basis cubics y_k Π(x - x_j)/(x_k - x_j),
    // each product expanded into monomial coefficients.
    double c[4] = {0.0, 0.0, 0.0, 0.0};
    for (int k = 0; k < 4; ++k) {
        double basis[4] = {1.0, 0.0, 0.0, 0.0};  // running product, degree grows by one per factor
        double denominator = 1.0;
        int degree = 0;
        for (int j = 0; j < 4; ++j) {
            if (j == k)
                continue;
            for (int i = degree + 1; i >= 1; --i)
                basis[i] = basis[i - 1] - x[j] * basis[i];
            basis[0] = -x[j] * basis[0];
            ++degree;
            denominator *= x[k] - x[j];
        }
        for (int i = 0; i < 4; ++i)
            c[i] += y[k] * basis[i] / denominator;
    }
    setCoefficients(c, 4);
}

// ---------------------------------------------------------------------------
// Arithmetic

PowerSeries PowerSeries::operator+(PowerSeries& other)
{
    PowerSeries r;
    const int degree = std::max(m_deg, other.m_deg);
    for (int i = 0; i <= degree; ++i)
        r.coef(i, coef(i) + other.coef(i));
    return r;
}

PowerSeries PowerSeries::operator-(PowerSeries& other)
{
    PowerSeries r;
    const int degree = std::max(m_deg, other.m_deg);
    for (int i = 0; i <= degree; ++i)
        r.coef(i, coef(i) - other.coef(i));
    return r;
}

PowerSeries PowerSeries::operator*(PowerSeries& other)
{
    PowerSeries r;
    // A product with the empty series (the zero polynomial) is empty too.
    if (m_deg < 0 || other.m_deg < 0)
        return r;
    const int degree = m_deg + other.m_deg;
    std::vector<double> c(static_cast<std::size_t>(degree) + 1, 0.0);
    for (int j = 0; j <= m_deg; ++j) {
        for (int k = 0; k <= other.m_deg; ++k)
            c[static_cast<std::size_t>(j + k)] += coef(j) * other.coef(k);
    }
    r.setCoefficients(c.data(), degree + 1);
    return r;
}

int PowerSeries::operator==(double x) const
{
    if (std::fabs(coef(0) - x) > 1e-6)
        return 0;
    for (int i = 1; i <= m_deg; ++i) {
        if (std::fabs(coef(i)) > 1e-9)
            return 0;
    }
    return 1;
}

// ---------------------------------------------------------------------------
// Archive

void PowerSeries::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        write(ar);
    else
        read(ar);
}

void PowerSeries::write(CArchive& ar) const
{
    ar << m_deg << m_sL << m_sR;
    // The array's own form: its size as a count, then every stored value.
    ar.WriteCount(static_cast<DWORD_PTR>(m_coefficients.GetSize()));
    for (double c : m_coefficients)
        ar << c;
    ar << kEndMarker;
}

void PowerSeries::read(CArchive& ar)
{
    ar >> m_deg >> m_sL >> m_sR;
    m_coefficients.Serialize(ar);
    int marker = 0;
    ar >> marker;
}
