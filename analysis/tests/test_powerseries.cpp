// Polynomials in one variable: coefficients, evaluation, derivatives, fits,
// arithmetic and the archive record.
#include "analysis/tests/TestSupport.h"
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/geometry/PowerSeries.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"

namespace {

// The series c0 + c1 x + ... built coefficient by coefficient.
void build(PowerSeries& s, std::initializer_list<double> c)
{
    int i = 0;
    for (double v : c)
        s.coef(i++, v);
}

void expectCoefficients(const PowerSeries& s, std::vector<double> expected, double tol = 1e-12)
{
    ASSERT_EQ(s.deg(), static_cast<int>(expected.size()) - 1);
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(s.coef(static_cast<int>(i)), expected[i], tol) << "coefficient " << i;
}

using test_support::thrownText;

}  // namespace

TEST(PowerSeriesBasics, DefaultSeriesIsEmptyAndZero)
{
    PowerSeries s;
    EXPECT_EQ(s.deg(), -1);
    EXPECT_EQ(s.eval(3.5), 0.0);
    EXPECT_EQ(s.coef(5), 0.0);
    EXPECT_EQ(s.sL(), 0.0);
    EXPECT_EQ(s.sR(), 1.0);
    EXPECT_STREQ(s.label().GetString(), L"DefaultConstructor");
    EXPECT_EQ(s == 0.0, 1);
    EXPECT_EQ(s == 1.0, 0);
}

TEST(PowerSeriesBasics, CoefficientSetterGrowsArrayAndSetsDegree)
{
    PowerSeries s;
    s.coef(3, 2.0);
    expectCoefficients(s, {0, 0, 0, 2});
    EXPECT_EQ(s.eval(2.0), 16.0);
    EXPECT_EQ(s(2.0), 16.0);
    EXPECT_EQ(s(3), 2.0);  // int argument: the coefficient

    // Setting a lower coefficient last lowers the degree; the entry above
    // stays stored but counts as 0.
    s.coef(1, 5.0);
    EXPECT_EQ(s.deg(), 1);
    EXPECT_EQ(s.coef(3), 0.0);
    EXPECT_EQ(s.eval(2.0), 10.0);
    EXPECT_EQ(s.coefSum(), 7.0);  // every stored entry
    EXPECT_EQ(s.coefArray()->GetSize(), 4);

    s.alloc(2);  // smaller than the array: kept
    EXPECT_EQ(s.coefArray()->GetSize(), 2);
    s.alloc(1);  // below deg + 1: ignored
    EXPECT_EQ(s.coefArray()->GetSize(), 2);
}

TEST(PowerSeriesBasics, FactorialAndCopy)
{
    EXPECT_EQ(PowerSeries::factorial(-2), 1);
    EXPECT_EQ(PowerSeries::factorial(0), 1);
    EXPECT_EQ(PowerSeries::factorial(5), 120);
    EXPECT_EQ(PowerSeries::factorial(12), 479001600);

    PowerSeries s;
    build(s, {1, 2, 3});
    s.sL(-1.0);
    s.sR(4.0);
    PowerSeries c(s);
    expectCoefficients(c, {1, 2, 3});
    EXPECT_EQ(c.sL(), -1.0);
    EXPECT_EQ(c.sR(), 4.0);
    EXPECT_STREQ(c.label().GetString(), L"copy constructor");
}

TEST(PowerSeriesBasics, DerivativesOfQuadratic)
{
    PowerSeries s;  // 1 + 2x + 3x²
    build(s, {1, 2, 3});
    s.sL(0.5);
    s.sR(2.5);
    for (double x : {-2.0, 0.0, 0.75, 3.0}) {
        EXPECT_DOUBLE_EQ(s.D(1, x), 2.0 + 6.0 * x);
        EXPECT_EQ(s.D(2, x), 6.0);
        EXPECT_EQ(s.D(3, x), 0.0);
        EXPECT_DOUBLE_EQ(s.D(0, x), 1.0 + 2.0 * x + 3.0 * x * x);
    }
    PowerSeries d1 = s.d(1);
    expectCoefficients(d1, {2, 6});
    EXPECT_EQ(d1.sL(), 0.5);
    EXPECT_EQ(d1.sR(), 2.5);
    expectCoefficients(s.d(2), {6});
    EXPECT_EQ(s.d(3).deg(), -1);  // the zero polynomial
    EXPECT_EQ(s.d(7).deg(), -1);

    // x^14: the fourteenth derivative is 14!, beyond the range of int.
    PowerSeries p;
    p.coef(14, 1.0);
    expectCoefficients(p.d(14), {87178291200.0});
    EXPECT_EQ(p.D(14, 0.3), 87178291200.0);
    EXPECT_DOUBLE_EQ(p.D(1, 2.0), 14.0 * 8192.0);
}

TEST(PowerSeriesFit, QuadraticThroughThreePoints)
{
    PowerSeries s;
    s.quadratic(1, 2, 2, 5, 3, 10);  // y = 1 + x²
    expectCoefficients(s, {1, 0, 1});
    EXPECT_EQ(s.sL(), 1.0);
    EXPECT_EQ(s.sR(), 3.0);

    // y = 2 - x + 0.5 x² through non-uniform abscissae, from Point arguments.
    Point<double> a(-1, 3.5, 7), b(0.5, 1.625, -1), c(4, 6, 0);
    s.quadratic(&a, &b, &c);
    expectCoefficients(s, {2, -1, 0.5});
    EXPECT_EQ(s.sL(), -1.0);
    EXPECT_EQ(s.sR(), 4.0);
}

TEST(PowerSeriesFit, CollinearPointsGiveTheChordLine)
{
    PowerSeries s;
    s.quadratic(0, 0, 1, 1, 2, 2);
    expectCoefficients(s, {0, 1});

    // Off the origin the series is still the line itself: y = 2x + 1.
    s.quadratic(1, 3, 2, 5, 3, 7);
    expectCoefficients(s, {1, 2});
    EXPECT_EQ(s.eval(1.0), 3.0);
    EXPECT_EQ(s.D(1, 2.0), 2.0);
}

TEST(PowerSeriesFit, QuadraticOverAnInterval)
{
    PowerSeries s;
    s.quadratic(0.0, 1.0, 4.0, 2.0);
    EXPECT_DOUBLE_EQ(s.eval(0.0), 0.0);
    EXPECT_DOUBLE_EQ(s.eval(1.0), 1.0);
    EXPECT_DOUBLE_EQ(s.eval(2.0), 4.0);
    EXPECT_EQ(s.deg(), 2);
    EXPECT_EQ(s.sL(), 0.0);
    EXPECT_EQ(s.sR(), 2.0);

    s.quadratic(3.0, 3.0 + 5e-9, 3.0, 6.0);  // equal within 1e-8
    expectCoefficients(s, {3});
}

TEST(PowerSeriesFit, CubicThroughFourPoints)
{
    // y = 1 - 2x + x³.
    auto f = [](double x) { return 1.0 - 2.0 * x + x * x * x; };
    Point<double> p[4] = {{-2, f(-2), 0}, {-0.5, f(-0.5), 0}, {1, f(1), 0}, {3, f(3), 0}};
    PowerSeries s;
    s.cubic(&p[0], &p[1], &p[2], &p[3]);
    expectCoefficients(s, {1, -2, 0, 1}, 1e-12);
    EXPECT_EQ(s.sL(), -2.0);
    EXPECT_EQ(s.sR(), 3.0);
}

TEST(PowerSeriesFit, EquallySpacedSamples)
{
    double v[] = {0.0, 1.0, 4.0};
    PowerSeries s(CString(L"parabola"), v, 3, 2.0);
    expectCoefficients(s, {0, 0, 1}, 1e-14);
    EXPECT_EQ(s.sL(), 0.0);
    EXPECT_EQ(s.sR(), 2.0);
    EXPECT_EQ(s.origin(), 0.0);
    EXPECT_STREQ(s.label().GetString(), L"parabola");

    // x³ - x sampled at 0, 1, 2, 3.
    double w[] = {0.0, 0.0, 6.0, 24.0};
    PowerSeries c(CString(L"cubic"), w, 4, 3.0);
    expectCoefficients(c, {0, -1, 0, 1}, 1e-12);

    double one[] = {2.5};
    PowerSeries k(CString(L"constant"), one, 1, 0.0);
    expectCoefficients(k, {2.5});
}

TEST(PowerSeriesFit, CoincidentSampleAbscissaeThrow)
{
    double v[] = {0.0, 1.0, 4.0};
    EXPECT_EQ(thrownText([&] { PowerSeries s(CString(L"flat"), v, 3, 0.0); }),
              "Matrix is singular");
}

TEST(PowerSeriesArithmetic, SumDifferenceProductAndConstantTest)
{
    PowerSeries a, b, c;
    build(a, {1, 1});        // 1 + x
    build(b, {1, -1});       // 1 - x
    build(c, {2, 0, 3});     // 2 + 3x²
    expectCoefficients(a * b, {1, 0, -1});
    expectCoefficients(a + c, {3, 1, 3});
    expectCoefficients(c - a, {1, -1, 3});
    expectCoefficients(a - a, {0, 0});
    EXPECT_EQ((a - a) == 0.0, 1);
    EXPECT_EQ((a + b) == 2.0, 1);
    EXPECT_EQ(a == 1.0, 0);

    PowerSeries empty;
    EXPECT_EQ((a * empty).deg(), -1);
    expectCoefficients(a + empty, {1, 1});
    // Operands are unchanged.
    expectCoefficients(a, {1, 1});
    expectCoefficients(b, {1, -1});
}

TEST(PowerSeriesArchive, RoundTripKeepsDataAndDefaultLabel)
{
    PowerSeries s;
    build(s, {1.5, -2, 0.25});
    s.sL(-1.0);
    s.sR(3.0);
    s.alloc(5);  // stored entries beyond deg are written too

    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        s.Serialize(ar);
        ar.Close();
    }
    const std::vector<BYTE> bytes = file.GetBytes();
    // deg, sL, sR, count word 5, five doubles, marker.
    ASSERT_EQ(bytes.size(), 4u + 8u + 8u + 2u + 5u * 8u + 4u);
    const BYTE head[] = {2, 0, 0, 0};
    EXPECT_EQ(std::memcmp(bytes.data(), head, 4), 0);
    EXPECT_EQ(bytes[20], 5);
    EXPECT_EQ(bytes[21], 0);
    const BYTE marker[] = {0xBC, 0x01, 0x00, 0x00};  // 444
    EXPECT_EQ(std::memcmp(bytes.data() + bytes.size() - 4, marker, 4), 0);

    CMemFile in(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&in, CArchive::load);
    PowerSeries r;
    r.Serialize(ar);
    expectCoefficients(r, {1.5, -2, 0.25}, 0.0);
    EXPECT_EQ(r.coefArray()->GetSize(), 5);
    EXPECT_EQ(r.sL(), -1.0);
    EXPECT_EQ(r.sR(), 3.0);
    EXPECT_EQ(r.origin(), 0.0);
    EXPECT_STREQ(r.label().GetString(), L"DefaultConstructor");
}

TEST(PowerSeriesArchive, ObjectReferenceReadsByClassName)
{
    PowerSeries s;
    build(s, {4, 5});
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << &s;
        ar.Close();
    }
    const std::vector<BYTE> bytes = file.GetBytes();
    CMemFile in(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&in, CArchive::load);
    PowerSeries* r = nullptr;
    ar >> r;
    ASSERT_NE(r, nullptr);
    expectCoefficients(*r, {4, 5}, 0.0);
    delete r;
}

TEST(PowerSeriesArchive, ReadingPastTheEndThrows)
{
    const BYTE shortRecord[] = {1, 0, 0, 0, 0, 0};
    CMemFile in(shortRecord, sizeof shortRecord);
    CArchive ar(&in, CArchive::load);
    PowerSeries r;
    EXPECT_THROW(r.Serialize(ar), CArchiveException);
    EXPECT_EQ(r.deg(), 1);  // what was read before the end stays
}
