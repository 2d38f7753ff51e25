#pragma once

#include "analysis/geometry/Point.h"
#include "platform/core/CArray.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CArchive;

// A polynomial in one variable, c0 + c1 x + c2 x² + ..., up to its degree
// deg (-1 for the empty series). The coefficient array may hold more entries
// than deg + 1; those above deg count as 0. sL and sR record the interval
// the series was built on and take no part in evaluation; origin is the
// abscissa that evalGlobal subtracts. Archive record: deg, sL, sR, the
// coefficient array, the marker 444 (origin and label are not stored).
// Every coefficient access is bounds-checked (CInvalidArgException).
class PowerSeries : public CObject {
    DECLARE_SERIAL(PowerSeries)

public:
    // Empty series: deg -1, origin 0, sL 0, sR 1, label "DefaultConstructor".
    PowerSeries();
    // Copy of origin, sL, sR, every stored coefficient and deg; label "copy constructor".
    PowerSeries(const PowerSeries& other);
    // The polynomial of degree n - 1 through n samples values[k] at
    // k/(n - 1)·length (n = 1: the constant); sL 0, sR length, origin 0.
    // Throws "Matrix is singular" (const char*) when the sample abscissae
    // coincide (length 0 with n >= 2).
    PowerSeries(CString label, double* values, int n, double length);
    PowerSeries& operator=(const PowerSeries&) = delete;
    ~PowerSeries() override;

    // ---- coefficients ----
    // Stores v as c_i (growing the array to i + 1 entries when needed) and sets deg to i.
    void coef(int i, double v);
    // c_i when i <= deg, else 0.
    double coef(int i) const;
    // c_i when i <= deg, else 0.
    double operator()(int i) const { return coef(i); }
    // Sizes the array to n entries when n >= deg + 1; deg is kept.
    void alloc(int n);
    // The degree (-1 for the empty series).
    int deg() const { return m_deg; }
    // The first stored coefficient (null when none is stored).
    double* coef() { return m_coefficients.GetData(); }
    // The coefficient array itself.
    CArray<double, double>* coefArray() { return &m_coefficients; }
    // Diagnostic output: none.
    void display() const {}
    // Sum of every stored entry of the array, in use or not.
    double coefSum() const;
    // n! (1 for n <= 0).
    static int factorial(int n);
    // Left end of the interval the series was built on.
    double sL() const { return m_sL; }
    // Sets the left end.
    void sL(double v) { m_sL = v; }
    // Right end of the interval the series was built on.
    double sR() const { return m_sR; }
    // Sets the right end.
    void sR(double v) { m_sR = v; }
    // The abscissa that evalGlobal subtracts.
    double origin() const { return m_origin; }
    // The series' name.
    const CString& label() const { return m_label; }

    // ---- evaluation ----
    // Value at x (0 for the empty series).
    double eval(double x) const;
    // Value at x.
    double operator()(double x) const { return eval(x); }
    // eval(x - origin).
    double evalGlobal(double x) const;
    // n-th derivative at x (0 when n > deg); n must not be negative.
    double D(int n, double x) const;
    // n-th derivative as a new series of degree deg - n (empty when n > deg),
    // keeping sL and sR; n must not be negative.
    PowerSeries d(int n) const;

    // ---- fitting (each replaces coefficients, deg, sL and sR) ----
    // Through a at 0, b at d/2 and c at d; the constant a when the three
    // values agree within 1e-8. sL 0, sR d.
    void quadratic(double a, double b, double c, double d);
    // The parabola through (x1, y1), (x2, y2), (x3, y3) in the global
    // abscissa; the chord line (deg 1) when the middle point lies on it
    // (relative tolerance 1e-6). sL x1, sR x3.
    void quadratic(double x1, double y1, double x2, double y2, double x3, double y3);
    // quadratic through the x and y of three points.
    void quadratic(Point<double>* p1, Point<double>* p2, Point<double>* p3);
    // The cubic through the x and y of four points in the global abscissa
    // (deg 3). sL p1.x, sR p4.x.
    void cubic(Point<double>* p1, Point<double>* p2, Point<double>* p3, Point<double>* p4);

    // ---- arithmetic (new series; operands unchanged) ----
    // Coefficient-wise sum, degree max(deg, other.deg).
    PowerSeries operator+(PowerSeries& other);
    // Coefficient-wise difference, degree max(deg, other.deg).
    PowerSeries operator-(PowerSeries& other);
    // Product, degree deg + other.deg (empty when either is empty).
    PowerSeries operator*(PowerSeries& other);
    // 1 when the series is the constant x (c0 within 1e-6, higher
    // coefficients within 1e-9 of 0; the empty series is the constant 0), else 0.
    int operator==(double x) const;

    // ---- archive ----
    // read when loading, write when storing.
    void Serialize(CArchive& ar) override;
    // Loads deg, sL, sR, the coefficients and the end marker (not checked).
    void read(CArchive& ar);
    // Stores deg, sL, sR, the coefficients and the end marker 444.
    void write(CArchive& ar) const;

private:
    // Replaces the coefficients by the first count values of c; deg = count - 1.
    void setCoefficients(const double* c, int count);

    CArray<double, double> m_coefficients;
    int m_deg = -1;
    double m_origin = 0.0;
    double m_sL = 0.0;
    double m_sR = 1.0;
    CString m_label;
};
