#include "analysis/geometry/Lapack.h"
#include "analysis/geometry/LinearSystem.h"
#include "analysis/geometry/Matrix.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A 2 x 2 matrix made with Matrix(int, int), so both flags are set.
Matrix make2x2(double a, double b, double c, double d)
{
    Matrix m(2, 2);
    m.load(0, a, b, c, d);
    return m;
}

void expect2x2(const Matrix& m, double a, double b, double c, double d, double tol)
{
    EXPECT_NEAR(m.val(0, 0), a, tol);
    EXPECT_NEAR(m.val(0, 1), b, tol);
    EXPECT_NEAR(m.val(1, 0), c, tol);
    EXPECT_NEAR(m.val(1, 1), d, tol);
}

// The text of a thrown "Matrix is singular"-style literal, or "" when none.
std::string thrownText(Matrix& m)
{
    try {
        m.inverse();
    } catch (const char* text) {
        return text;
    }
    return "";
}

}  // namespace

TEST(GeoMatrix, ConstructionAndFlags)
{
    Matrix rect(2, 3);
    EXPECT_EQ(rect.sym(), 0);
    Matrix sq(3, 3);
    EXPECT_EQ(sq.sym(), 1);
    EXPECT_EQ(sq.posDef(), 1);
    EXPECT_EQ(sq.inverted(), 0);
    EXPECT_EQ(sq.isZero(), 1);
    sq.setSize(3, 3);
    EXPECT_EQ(sq.sym() + sq.posDef() + sq.inverted(), 0);

    // Column-major storage: element (i, j) is value i + j * rows.
    rect(1, 2) = 7.0;
    EXPECT_EQ(rect.values()[1 + 2 * 2], 7.0);
    rect(0, 0) = rect(1, 2);
    EXPECT_EQ(static_cast<double>(rect(0, 0)), 7.0);

    // Assignment judges symmetry by the contents and copies the other flags;
    // a copy starts uninverted.
    Matrix source = make2x2(1, 2, 3, 4);
    source.inverse();
    Matrix target;
    target = source;
    EXPECT_EQ(target.sym(), 0);
    EXPECT_EQ(target.posDef(), 1);
    EXPECT_EQ(target.inverted(), 1);
    EXPECT_EQ(Matrix(source).inverted(), 0);
}

TEST(GeoMatrix, BadIndexThrows)
{
    Matrix m(2, 3);
    EXPECT_THROW(m.ref(2, 0), CInvalidArgException);  // inside the storage, outside the rows
    EXPECT_THROW(m.val(0, 3), CInvalidArgException);
    EXPECT_THROW(m(-1, 0) = 1.0, CInvalidArgException);
    EXPECT_THROW(m * Matrix(2, 2), CInvalidArgException);
    EXPECT_THROW(m + Matrix(3, 2), CInvalidArgException);
}

TEST(GeoMatrix, InverseSymmetricPositiveDefinite)
{
    Matrix m = make2x2(4, 2, 2, 3);
    Matrix copy = m.inverse();
    expect2x2(m, 0.375, -0.25, -0.25, 0.5, 1e-15);
    EXPECT_EQ(m.val(0, 1), m.val(1, 0));
    EXPECT_EQ(m.inverted(), 1);
    EXPECT_EQ(copy.inverted(), 0);
    expect2x2(copy, 0.375, -0.25, -0.25, 0.5, 1e-15);

    m.inverse();
    expect2x2(m, 4, 2, 2, 3, 1e-14);
    EXPECT_EQ(m.inverted(), 0);
}

TEST(GeoMatrix, InverseOfNonSymmetricIgnoresFlags)
{
    Matrix m = make2x2(1, 2, 3, 4);
    ASSERT_EQ(m.sym(), 1);
    ASSERT_EQ(m.posDef(), 1);
    m.inverse();
    expect2x2(m, -2, 1, 1.5, -0.5, 1e-15);
}

TEST(GeoMatrix, InverseFallsBackToLUForIndefinite)
{
    // Symmetric, flags set, but not positive definite: det = -3.
    Matrix m = make2x2(1, 2, 2, 1);
    m.inverse();
    expect2x2(m, -1.0 / 3, 2.0 / 3, 2.0 / 3, -1.0 / 3, 1e-15);
}

TEST(GeoMatrix, InverseOfSingularThrowsAndKeepsMatrix)
{
    Matrix zero(2, 2);
    EXPECT_EQ(thrownText(zero), "Matrix is singular");
    EXPECT_EQ(zero.inverted(), 0);

    Matrix rankOne = make2x2(1, 2, 2, 4);
    EXPECT_EQ(thrownText(rankOne), "Matrix is singular");
    expect2x2(rankOne, 1, 2, 2, 4, 0.0);
    EXPECT_EQ(rankOne.inverted(), 0);

    Matrix empty;
    EXPECT_EQ(thrownText(empty), "Matrix is singular");
    Matrix rect(2, 3);
    rect(0, 0) = 1.0;
    EXPECT_THROW(rect.inverse(), CInvalidArgException);
}

TEST(GeoMatrix, ScalingProductAndTranspose)
{
    Matrix a = make2x2(1, 2, 3, 4);
    Matrix scaled = a * 2.0;
    expect2x2(a, 2, 4, 6, 8, 0.0);  // scaled in place
    expect2x2(scaled, 2, 4, 6, 8, 0.0);

    Matrix col(2, 1);
    col(0, 0) = 1.0;
    col(1, 0) = -1.0;
    Matrix p = a * col;
    ASSERT_EQ(p.nrows(), 2);
    ASSERT_EQ(p.ncols(), 1);
    EXPECT_EQ(p.val(0, 0), -2.0);
    EXPECT_EQ(p.val(1, 0), -2.0);

    Matrix r(2, 3);
    r(0, 2) = 5.0;
    Matrix t = r.transpose();
    EXPECT_EQ(t.nrows(), 3);
    EXPECT_EQ(t.val(2, 0), 5.0);
}

TEST(GeoMatrix, Determinants)
{
    EXPECT_EQ(make2x2(1, 2, 3, 4).det2x2(), -2.0);
    Matrix m(3, 3);
    m.load(0, 2.0, 0.0, 1.0, 1.0, 3.0, 2.0, 1.0, 1.0, 2.0);
    EXPECT_EQ(m.det3x3(), 6.0);  // 2(6 - 2) - 0 + 1(1 - 3)
    try {
        m.det2x2();
        ADD_FAILURE() << "no exception";
    } catch (const std::logic_error& e) {
        EXPECT_EQ(std::string(e.what()), "Matrix isn't 2x2");
    }
    try {
        make2x2(1, 2, 3, 4).det3x3();
        ADD_FAILURE() << "no exception";
    } catch (const std::logic_error& e) {
        EXPECT_EQ(std::string(e.what()), "Matrix isn't 3x3");
    }
}

TEST(GeoMatrix, SymmetryTestsAndPacking)
{
    EXPECT_EQ(make2x2(1, 1e-10, -1e-10, 1).isSymmetric(1e-6), 1);
    EXPECT_EQ(make2x2(1, 1.0, 1.00001, 1).isSymmetric(1e-6), 0);
    EXPECT_EQ(make2x2(1, 3, -3, 1).isSkewSymmetric(1e-6), 1);
    EXPECT_EQ(Matrix(2, 3).isSymmetric(1e-6), 0);

    Matrix s(3, 3);
    s.load(0, 1.0, 2.0, 4.0, 2.0, 3.0, 5.0, 4.0, 5.0, 6.0);
    int n = 0;
    auto packed = s.sympack(&n);
    EXPECT_EQ(n, 3);
    const double expected[] = {1, 2, 3, 4, 5, 6};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(packed[k], expected[k]) << k;

    try {
        make2x2(1, 2, 3, 4).sympack(&n);
        ADD_FAILURE() << "no exception";
    } catch (const std::logic_error& e) {
        EXPECT_EQ(std::string(e.what()), "matrix is not symmetric");
    }
}

TEST(GeoMatrix, BlocksAndReduction)
{
    Matrix m(3, 3);
    m.load(0, 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0);
    CArray<int> drop;
    drop.Add(1);
    Matrix r = m.reduce(&drop);
    ASSERT_EQ(r.nrows(), 2);
    ASSERT_EQ(r.ncols(), 2);
    expect2x2(r, 1, 3, 7, 9, 0.0);
    Matrix rows = m.rowReduce(&drop);
    EXPECT_EQ(rows.nrows(), 2);
    EXPECT_EQ(rows.ncols(), 3);
    EXPECT_EQ(rows.val(1, 0), 7.0);

    // Assembly: scatter-add of a 2 x 2 element matrix at global dofs 2 and 0.
    Matrix global(3, 3);
    CArray<int, int> dofs;
    dofs.Add(2);
    dofs.Add(0);
    Matrix element = make2x2(1, 2, 3, 4);
    global.load(&element, &dofs, &dofs);
    global.load(&element, &dofs, &dofs);
    EXPECT_EQ(global.val(2, 2), 2.0);
    EXPECT_EQ(global.val(2, 0), 4.0);
    EXPECT_EQ(global.val(0, 2), 6.0);
    EXPECT_EQ(global.val(0, 0), 8.0);

    Matrix big(4, 4);
    big.setBlock(2, 1, element);
    EXPECT_EQ(big.val(3, 2), 4.0);
    big.loadMirror(0, 2, element);  // big(2 + j, 0 + i) = element(i, j)
    EXPECT_EQ(big.val(3, 0), 2.0);
    Matrix back = big.getBlock(2, 1, 2, 2);
    EXPECT_EQ(back.val(1, 1), 4.0);
    EXPECT_THROW(big.setBlock(3, 3, element), CInvalidArgException);
}

TEST(GeoMatrix, FrameTransform)
{
    Point<double> a(1, 1, 0), b(2, 1, 0), c(1, 2, 0);
    Matrix frame(a, b, c);
    ASSERT_EQ(frame.nrows(), 4);
    // u = x, n = z, w = -x, m = w x n = y: p - a = (3, 4, 5) maps to (5, 4, -3).
    Matrix p(4, 1);
    p.load(0, 4.0, 5.0, 5.0, 1.0);
    Matrix q = frame * p;
    EXPECT_NEAR(q.val(0, 0), 5.0, 1e-15);
    EXPECT_NEAR(q.val(1, 0), 4.0, 1e-15);
    EXPECT_NEAR(q.val(2, 0), -3.0, 1e-15);
    EXPECT_EQ(q.val(3, 0), 1.0);

    Matrix turn(3, 3);
    turn.load(0, 0.0, -1.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0);
    Point<double> r = Point<double>(2, 3, 4) * turn;
    EXPECT_EQ(r.x, -3.0);
    EXPECT_EQ(r.y, 2.0);
    EXPECT_EQ(r.z, 4.0);
}

TEST(GeoMatrix, ArchiveRecordBytesAndRoundTrip)
{
    Matrix m = make2x2(1, 2, 3, 4);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        m.Serialize(ar);
        ar.Close();
    }
    const std::vector<std::uint8_t> expected = {
        0xFF, 0xFE, 0xFF, 0x06, 'M', 0, 'a', 0, 't', 0, 'r', 0, 'i', 0, 'x', 0,  // "Matrix"
        2, 0, 0, 0, 2, 0, 0, 0,                                                    // rows, cols
        0, 0, 0, 0, 0, 0, 0xF0, 0x3F,                                              // (0,0) = 1
        0, 0, 0, 0, 0, 0, 0x08, 0x40,                                              // (1,0) = 3
        0, 0, 0, 0, 0, 0, 0x00, 0x40,                                              // (0,1) = 2
        0, 0, 0, 0, 0, 0, 0x10, 0x40,                                              // (1,1) = 4
        1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0,                                        // sym, posDef, inverted
    };
    const std::vector<BYTE> bytes = file.GetBytes();
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), expected);

    // Through the object reference, with flags that differ from a fresh matrix.
    Matrix stored = make2x2(1, 2, 3, 4);
    stored.inverse();
    stored.sym(0);
    CMemFile objects;
    {
        CArchive ar(&objects, CArchive::store);
        ar << &stored;
        ar.Close();
    }
    objects.SeekToBegin();
    Matrix* loaded = nullptr;
    {
        CArchive ar(&objects, CArchive::load);
        ar >> loaded;
    }
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(*loaded == stored);
    EXPECT_EQ(loaded->sym(), 0);
    EXPECT_EQ(loaded->posDef(), 1);
    EXPECT_EQ(loaded->inverted(), 1);
    delete loaded;
}

TEST(GeoMatrix, ExportAsText)
{
    Matrix m = make2x2(1.5, -2, 1e-7, 123456789);
    const std::string path = testing::TempDir() + "geo_matrix_export.txt";
    m.exportMathematica(path.c_str());
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "1.5 -2 \n1e-07 1.23457e+08 \n");
    std::remove(path.c_str());
}

TEST(GeoLinearSystem, Solve)
{
    LinearSystem sys(2, 2, 1);
    sys.lhs()->load(0, 2.0, 1.0, 1.0, 3.0);
    sys.rhs()->load(0, 3.0, 5.0);
    EXPECT_EQ(sys.solve(), 0);
    EXPECT_NEAR(sys.solution(0), 0.8, 1e-15);
    EXPECT_NEAR(sys.solution(1), 1.4, 1e-15);
    EXPECT_THROW(sys.solution(2), CInvalidArgException);

    Matrix a = make2x2(1, 2, 2, 4), b(2, 1);
    LinearSystem singular(&a, &b);
    EXPECT_GT(singular.solve(), 0);

    Matrix c(2, 2), d(3, 1);
    LinearSystem mismatched(&c, &d);
    EXPECT_THROW(mismatched.solve(), CInvalidArgException);

    Matrix e, f;
    LinearSystem empty(&e, &f);
    EXPECT_EQ(empty.solve(), 0);
}

TEST(GeoLinearSystem, EigenSolve)
{
    Matrix stiffness = make2x2(2, 0, 0, 8);
    Matrix mass(2, 2);
    mass.identity();
    LinearSystem sys(&stiffness, &mass);
    CArray<double> values, vectors;
    values.SetSize(2);
    vectors.SetSize(4);
    ASSERT_EQ(sys.eigenSolve(values, vectors), 0);
    EXPECT_NEAR(values[0], 2.0, 1e-14);
    EXPECT_NEAR(values[1], 8.0, 1e-14);
    // The vectors are normalised against the stiffness (xᵀ·K·x = 1): 1/√2 and 1/√8.
    EXPECT_NEAR(std::fabs(vectors[0]), 1.0 / std::sqrt(2.0), 1e-15);
    EXPECT_NEAR(vectors[1], 0.0, 1e-15);
    EXPECT_NEAR(vectors[2], 0.0, 1e-15);
    EXPECT_NEAR(std::fabs(vectors[3]), 1.0 / std::sqrt(8.0), 1e-15);
    expect2x2(stiffness, 2, 0, 0, 8, 0.0);  // the stiffness is kept

    // Outputs too small for n: refused before anything is solved.
    CArray<double> few;
    few.SetSize(1);
    EXPECT_THROW(sys.eigenSolve(few, vectors), CInvalidArgException);
}

TEST(GeoLinearSystem, IllegalArgumentThrowsInsteadOfExiting)
{
    // The routine as the process resolves it: LAPACK is the library's own
    // dependency, so the test finds it at run time rather than linking it.
    using Dgesv = decltype(&dgesv_);
    auto solve = reinterpret_cast<Dgesv>(dlsym(RTLD_DEFAULT, "dgesv_"));
    ASSERT_NE(solve, nullptr);
    const int n = -1, nrhs = 1, ld = 1;
    int pivot = 0, info = 0;
    double a = 1.0, b = 1.0;
    try {
        solve(&n, &nrhs, &a, &ld, &pivot, &b, &ld, &info);
        ADD_FAILURE() << "no exception";
    } catch (const std::logic_error& e) {
        EXPECT_EQ(std::string(e.what()), "LAPACK routine DGESV: parameter 1 had an illegal value");
    }
}
