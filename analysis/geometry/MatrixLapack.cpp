// The LAPACK half of the dense matrices: in-place inversion, linear solves
// and the generalised symmetric eigenproblem.
#include "analysis/geometry/Lapack.h"
#include "analysis/geometry/LinearSystem.h"
#include "analysis/geometry/Matrix.h"

#include <algorithm>
#include <utility>

namespace {

// Leading dimension of an n x n array: LAPACK refuses 0 even for n = 0.
int leading(int n)
{
    return std::max(1, n);
}

}  // namespace

// ---------------------------------------------------------------- Matrix::inverse

bool Matrix::tryCholesky(std::vector<double>& work) const
{
    const int n = m_rows;
    const int lda = leading(n);
    int info = 0;
    dpotrf_("U", &n, work.data(), &lda, &info, 1);
    if (info != 0)
        return false;  // not positive definite after all
    dpotri_("U", &n, work.data(), &lda, &info, 1);
    return info == 0;
}

void Matrix::invertLU(std::vector<double>& work) const
{
    const int n = m_rows;
    const int lda = leading(n);
    std::vector<int> pivots(static_cast<std::size_t>(n));
    int info = 0;
    dgetrf_(&n, &n, work.data(), &lda, pivots.data(), &info);
    if (info != 0)
        throw "Matrix is singular";
    const int lwork = std::max(1, 128 * n);
    std::vector<double> scratch(static_cast<std::size_t>(lwork));
    dgetri_(&n, work.data(), &lda, pivots.data(), scratch.data(), &lwork, &info);
    if (info != 0)
        throw "Matrix is singular";
}

Matrix Matrix::inverse()
{
    if (m_rows != m_cols)
        AfxThrowInvalidArgException();
    if (isZero())
        throw "Matrix is singular";
    const int n = m_rows;
    const std::size_t nn = m_values.size();

    // The elements row by row: LAPACK then sees the transpose, whose inverse
    // read back row by row is the inverse of this matrix.
    std::vector<double> work(nn);
    auto loadWork = [&] {
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                work[static_cast<std::size_t>(i) * n + j] = m_values[index(i, j)];
    };
    loadWork();

    // The flags alone are not trusted: a square matrix is created with both
    // set, so Cholesky is used only for contents that really are symmetric.
    if (m_sym && m_posDef && isSymmetric(1e-6) && tryCholesky(work)) {
        // The upper triangle holds the inverse; it is symmetric.
        for (int j = 0; j < n; ++j)
            for (int i = 0; i <= j; ++i) {
                const double v = work[i + static_cast<std::size_t>(j) * n];
                m_values[index(i, j)] = v;
                m_values[index(j, i)] = v;
            }
    } else {
        loadWork();
        invertLU(work);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                m_values[index(i, j)] = work[static_cast<std::size_t>(i) * n + j];
    }
    m_inverted = m_inverted ? 0 : 1;
    return *this;
}

// ---------------------------------------------------------------- LinearSystem

LinearSystem::LinearSystem(int n, int m, int k)
    : m_pivots(static_cast<std::size_t>(std::max(n, 0))), m_lhs(nullptr), m_rhs(nullptr), m_owns(1)
{
    std::unique_ptr<Matrix> a(new Matrix(n, m));
    std::unique_ptr<Matrix> b(new Matrix(n, k));
    m_lhs = a.release();
    m_rhs = b.release();
}

LinearSystem::LinearSystem(Matrix* A, Matrix* B)
    : m_pivots(static_cast<std::size_t>(B->nrows()) * static_cast<std::size_t>(B->ncols())),
      m_lhs(A), m_rhs(B), m_owns(0)
{
}

LinearSystem::~LinearSystem()
{
    if (m_owns) {
        delete m_lhs;
        delete m_rhs;
    }
}

double LinearSystem::solution(int i)
{
    const int count = m_rhs->nrows() * m_rhs->ncols();
    if (i < 0 || i >= count)
        AfxThrowInvalidArgException();
    return m_rhs->values()[i];
}

int LinearSystem::solve()
{
    const int n = m_lhs->nrows();
    if (m_lhs->ncols() != n || m_rhs->nrows() != n)
        AfxThrowInvalidArgException();
    if (n == 0)
        return 0;
    const int nrhs = m_rhs->ncols();
    const int ld = leading(n);
    if (m_pivots.size() < static_cast<std::size_t>(n))
        m_pivots.resize(static_cast<std::size_t>(n));
    int info = 0;
    dgesv_(&n, &nrhs, m_lhs->values(), &ld, m_pivots.data(), m_rhs->values(), &ld, &info);
    return info;
}

int LinearSystem::eigenSolve(CArray<double>& values, CArray<double>& vectors)
{
    const int n = m_rhs->nrows();
    if (m_rhs->ncols() != n || m_lhs->nrows() != n || m_lhs->ncols() != n)
        AfxThrowInvalidArgException();
    const std::size_t nn = static_cast<std::size_t>(n) * static_cast<std::size_t>(n);
    if (values.GetSize() < n || static_cast<std::size_t>(vectors.GetSize()) < nn)
        AfxThrowInvalidArgException();
    m_lhs->fixSymmetry();
    m_rhs->fixSymmetry();
    if (n == 0)
        return 0;

    // rhs x = lambda lhs x; lambda = 1/mu. DSYGV overwrites its B argument
    // with a Cholesky factor, so it gets a copy and lhs keeps its values.
    std::vector<double> b(m_lhs->values(), m_lhs->values() + nn);
    std::vector<double> w(static_cast<std::size_t>(n));
    const int itype = 1;
    const int ld = leading(n);
    const int lwork = std::max({1, n * n, 3 * n - 1});
    std::vector<double> work(static_cast<std::size_t>(lwork));
    int info = 0;
    dsygv_(&itype, "V", "L", &n, m_rhs->values(), &ld, b.data(), &ld, w.data(), work.data(),
           &lwork, &info, 1, 1);
    if (info != 0)
        return info;

    // LAPACK gives lambda ascending: mu = 1/lambda runs descending, so the
    // pairs are taken from the end to give the smallest mu first.
    const double* vec = m_rhs->values();
    for (int k = 0; k < n; ++k) {
        const int src = n - 1 - k;
        values[k] = 1.0 / w[src];
        for (int i = 0; i < n; ++i)
            vectors[static_cast<INT_PTR>(k) * n + i] = vec[static_cast<std::size_t>(src) * n + i];
    }
    return 0;
}
