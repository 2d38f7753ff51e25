#include "analysis/geometry/Matrix.h"

#include "platform/core/CArchive.h"
#include "platform/core/CString.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <fstream>
#include <limits>
#include <locale>
#include <stdexcept>
#include <utility>

IMPLEMENT_SERIAL(Matrix, CObject, 1)

namespace {

// Number of elements of a rows x cols matrix; CInvalidArgException for a
// negative dimension.
std::size_t elementCount(int rows, int cols)
{
    if (rows < 0 || cols < 0)
        AfxThrowInvalidArgException();
    return static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols);
}

// The pair rule of the symmetry tests: magnitudes below 1e-9 count as zero
// and match only each other; otherwise the ratio must lie within tol of 1.
bool pairAgrees(double a, double b, double tol)
{
    const bool aZero = std::fabs(a) < 1e-9;
    const bool bZero = std::fabs(b) < 1e-9;
    if (aZero || bZero)
        return aZero && bZero;
    const double q = a / b;
    return 1.0 - tol < q && q < 1.0 + tol;
}

}  // namespace

// ---------------------------------------------------------------- proxy

MatrixProxy::operator double() const
{
    return m_matrix->val(m_row, m_col);
}

MatrixProxy& MatrixProxy::operator=(double v)
{
    m_matrix->ref(m_row, m_col) = v;
    return *this;
}

MatrixProxy& MatrixProxy::operator=(const MatrixProxy& other)
{
    return *this = static_cast<double>(other);
}

// ---------------------------------------------------------------- construction

Matrix::Matrix() = default;

Matrix::Matrix(int rows, int cols)
    : m_rows(rows), m_cols(cols), m_values(elementCount(rows, cols), 0.0),
      m_sym(rows == cols ? 1 : 0), m_posDef(1), m_inverted(0)
{
}

Matrix::Matrix(Point<double>& a, Point<double>& b, Point<double>& c)
{
    Point<double> u = b - a;
    u.normalize();
    Point<double> v = c - a;
    v.normalize();
    Point<double> n = cross(u, v);
    n.normalize();
    const Point<double> w = u * -1.0;
    const Point<double> m = cross(w, n);
    // Rows of the rotation block: n, m, w; given column by column.
    rotationMatrix(n.x, m.x, w.x, n.y, m.y, w.y, n.z, m.z, w.z, a.x, a.y, a.z);
}

Matrix::Matrix(const Matrix& m)
    : CObject(), m_rows(m.m_rows), m_cols(m.m_cols), m_values(m.m_values), m_sym(m.m_sym),
      m_posDef(m.m_posDef), m_inverted(0)
{
}

Matrix::Matrix(Matrix&& m) noexcept
    : CObject(), m_rows(m.m_rows), m_cols(m.m_cols), m_values(std::move(m.m_values)),
      m_sym(m.m_sym), m_posDef(m.m_posDef), m_inverted(0)
{
    m.m_rows = m.m_cols = 0;
    m.m_values.clear();
}

Matrix::~Matrix() = default;

Matrix& Matrix::operator=(const Matrix& m)
{
    if (this != &m) {
        m_rows = m.m_rows;
        m_cols = m.m_cols;
        m_values = m.m_values;
    }
    m_sym = m.isSymmetric(1e-6);
    m_posDef = m.m_posDef;
    m_inverted = m.m_inverted;
    return *this;
}

Matrix& Matrix::operator=(Matrix&& m) noexcept
{
    if (this == &m)
        return *this;
    m_sym = m.isSymmetric(1e-6);
    m_posDef = m.m_posDef;
    m_inverted = m.m_inverted;
    m_rows = m.m_rows;
    m_cols = m.m_cols;
    m_values = std::move(m.m_values);
    m.m_rows = m.m_cols = 0;
    m.m_values.clear();
    return *this;
}

void Matrix::setSize(int rows, int cols)
{
    init(rows, cols);
    m_sym = m_posDef = m_inverted = 0;
}

void Matrix::init(int rows, int cols)
{
    std::vector<double> fresh(elementCount(rows, cols), 0.0);
    m_values.swap(fresh);
    m_rows = rows;
    m_cols = cols;
}

void Matrix::init(int, double* src)
{
    for (int i = 0; i < m_rows; ++i)
        for (int j = 0; j < m_cols; ++j)
            m_values[index(i, j)] = src[static_cast<std::size_t>(i) * m_cols + j];
}

void Matrix::load(int unused, ...)
{
    va_list args;
    va_start(args, unused);
    for (int i = 0; i < m_rows; ++i)
        for (int j = 0; j < m_cols; ++j)
            m_values[index(i, j)] = va_arg(args, double);
    va_end(args);
}

void Matrix::zero()
{
    std::fill(m_values.begin(), m_values.end(), 0.0);
}

void Matrix::identity()
{
    zero();
    for (int i = 0; i < std::min(m_rows, m_cols); ++i)
        m_values[index(i, i)] = 1.0;
}

void Matrix::sign(int i, int j, int s)
{
    double& v = ref(i, j);
    if (s * v < 0.0)
        v = -v;
}

// ---------------------------------------------------------------- access

std::size_t Matrix::index(int i, int j) const
{
    if (i < 0 || i >= m_rows || j < 0 || j >= m_cols)
        AfxThrowInvalidArgException();
    return static_cast<std::size_t>(i) + static_cast<std::size_t>(j) * m_rows;
}

double& Matrix::ref(int i, int j)
{
    return m_values[index(i, j)];
}

double Matrix::val(int i, int j) const
{
    return m_values[index(i, j)];
}

void Matrix::checkBlock(int r, int c, int nr, int nc) const
{
    if (r < 0 || c < 0 || nr < 0 || nc < 0 || r > m_rows - nr || c > m_cols - nc)
        AfxThrowInvalidArgException();
}

void Matrix::checkSameShape(const Matrix& m) const
{
    if (m_rows != m.m_rows || m_cols != m.m_cols)
        AfxThrowInvalidArgException();
}

// ---------------------------------------------------------------- arithmetic

Matrix Matrix::operator*(const Matrix& m) const
{
    if (m_cols != m.m_rows)
        AfxThrowInvalidArgException();
    Matrix result(m_rows, m.m_cols);
    for (int j = 0; j < m.m_cols; ++j)
        for (int i = 0; i < m_rows; ++i) {
            double s = 0.0;
            for (int k = 0; k < m_cols; ++k)
                s += m_values[i + static_cast<std::size_t>(k) * m_rows] *
                     m.m_values[k + static_cast<std::size_t>(j) * m.m_rows];
            result.m_values[i + static_cast<std::size_t>(j) * m_rows] = s;
        }
    return result;
}

Matrix Matrix::operator+(const Matrix& m) const
{
    checkSameShape(m);
    Matrix result(m_rows, m_cols);
    for (std::size_t k = 0; k < m_values.size(); ++k)
        result.m_values[k] = m_values[k] + m.m_values[k];
    return result;
}

Matrix Matrix::operator-(const Matrix& m) const
{
    checkSameShape(m);
    Matrix result(m_rows, m_cols);
    for (std::size_t k = 0; k < m_values.size(); ++k)
        result.m_values[k] = m_values[k] - m.m_values[k];
    return result;
}

Matrix& Matrix::operator+=(const Matrix& m)
{
    checkSameShape(m);
    for (std::size_t k = 0; k < m_values.size(); ++k)
        m_values[k] += m.m_values[k];
    return *this;
}

Matrix Matrix::operator*(double s)
{
    *this *= s;
    return *this;
}

Matrix& Matrix::operator*=(double s)
{
    for (double& v : m_values)
        v *= s;
    return *this;
}

Matrix Matrix::transpose() const
{
    Matrix result(m_cols, m_rows);
    for (int i = 0; i < m_rows; ++i)
        for (int j = 0; j < m_cols; ++j)
            result.m_values[j + static_cast<std::size_t>(i) * m_cols] = m_values[index(i, j)];
    return result;
}

Matrix Matrix::orthogonalInverse() const
{
    const double a = val(0, 0);
    const double b = val(0, 1);
    const double d = val(1, 1);
    const double g = d * a - b * b;
    Matrix result(m_rows, m_cols);
    result.ref(0, 0) = d / g;
    result.ref(1, 1) = a / g;
    result.ref(1, 0) = -b / g;
    result.ref(0, 1) = -b / g;
    result.ref(2, 2) = 1.0 / val(2, 2);
    return result;
}

double Matrix::det2x2() const
{
    if (m_rows != 2 || m_cols != 2)
        throw std::logic_error("Matrix isn't 2x2");
    return val(0, 0) * val(1, 1) - val(0, 1) * val(1, 0);
}

double Matrix::det3x3() const
{
    if (m_rows != 3 || m_cols != 3)
        throw std::logic_error("Matrix isn't 3x3");
    return val(0, 0) * (val(1, 1) * val(2, 2) - val(1, 2) * val(2, 1)) -
           val(0, 1) * (val(1, 0) * val(2, 2) - val(1, 2) * val(2, 0)) +
           val(0, 2) * (val(1, 0) * val(2, 1) - val(1, 1) * val(2, 0));
}

// ---------------------------------------------------------------- blocks

void Matrix::setBlock(int r, int c, const Matrix& m)
{
    checkBlock(r, c, m.m_rows, m.m_cols);
    for (int j = 0; j < m.m_cols; ++j)
        for (int i = 0; i < m.m_rows; ++i)
            m_values[index(r + i, c + j)] = m.m_values[m.index(i, j)];
}

void Matrix::load(int r, int c, const Matrix& m)
{
    setBlock(r, c, m);
}

void Matrix::loadMirror(int r, int c, const Matrix& m)
{
    checkBlock(c, r, m.m_cols, m.m_rows);
    for (int j = 0; j < m.m_cols; ++j)
        for (int i = 0; i < m.m_rows; ++i)
            m_values[index(c + j, r + i)] = m.m_values[m.index(i, j)];
}

void Matrix::add(int r, int c, const Matrix& m)
{
    checkBlock(r, c, m.m_rows, m.m_cols);
    for (int j = 0; j < m.m_cols; ++j)
        for (int i = 0; i < m.m_rows; ++i)
            m_values[index(r + i, c + j)] += m.m_values[m.index(i, j)];
}

void Matrix::get(int r, int c, Matrix& m) const
{
    checkBlock(r, c, m.m_rows, m.m_cols);
    for (int j = 0; j < m.m_cols; ++j)
        for (int i = 0; i < m.m_rows; ++i)
            m.m_values[m.index(i, j)] = m_values[index(r + i, c + j)];
}

Matrix Matrix::getBlock(int r, int c, int nr, int nc) const
{
    checkBlock(r, c, nr, nc);
    Matrix block(nr, nc);
    get(r, c, block);
    return block;
}

void Matrix::scatterAdd(const Matrix& m, const int* rowIdx, const int* colIdx)
{
    // Check every target first so that a bad index changes nothing.
    for (int i = 0; i < m.m_rows; ++i)
        if (rowIdx[i] < 0 || rowIdx[i] >= m_rows)
            AfxThrowInvalidArgException();
    for (int j = 0; j < m.m_cols; ++j)
        if (colIdx[j] < 0 || colIdx[j] >= m_cols)
            AfxThrowInvalidArgException();
    for (int j = 0; j < m.m_cols; ++j)
        for (int i = 0; i < m.m_rows; ++i)
            m_values[index(rowIdx[i], colIdx[j])] += m.m_values[m.index(i, j)];
}

Matrix Matrix::without(const int* idx, int count, bool columnsToo) const
{
    // Mark the listed indices once instead of searching the list per row.
    std::vector<char> dropRow(m_rows, 0), dropCol(m_cols, 0);
    for (int k = 0; k < count; ++k) {
        if (idx[k] >= 0 && idx[k] < m_rows)
            dropRow[idx[k]] = 1;
        if (columnsToo && idx[k] >= 0 && idx[k] < m_cols)
            dropCol[idx[k]] = 1;
    }
    std::vector<int> keptRows, keptCols;
    for (int i = 0; i < m_rows; ++i)
        if (!dropRow[i])
            keptRows.push_back(i);
    for (int j = 0; j < m_cols; ++j)
        if (!dropCol[j])
            keptCols.push_back(j);

    Matrix result(static_cast<int>(keptRows.size()), static_cast<int>(keptCols.size()));
    for (std::size_t jj = 0; jj < keptCols.size(); ++jj)
        for (std::size_t ii = 0; ii < keptRows.size(); ++ii)
            result.m_values[ii + jj * keptRows.size()] = m_values[index(keptRows[ii], keptCols[jj])];
    return result;
}

// ---------------------------------------------------------------- symmetry and tests

void Matrix::mirrorUp()
{
    const int n = std::min(m_rows, m_cols);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < i; ++j)
            m_values[index(j, i)] = m_values[index(i, j)];
}

void Matrix::fixSymmetry()
{
    const int n = std::min(m_rows, m_cols);
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            m_values[index(j, i)] = m_values[index(i, j)];
}

int Matrix::isSymmetric(double tol) const
{
    if (m_rows != m_cols)
        return 0;
    for (int i = 0; i < m_rows; ++i)
        for (int j = i + 1; j < m_cols; ++j)
            if (!pairAgrees(m_values[index(j, i)], m_values[index(i, j)], tol))
                return 0;
    return 1;
}

int Matrix::isSkewSymmetric(double tol) const
{
    if (m_rows != m_cols)
        return 0;
    for (int i = 0; i < m_rows; ++i)
        for (int j = i + 1; j < m_cols; ++j)
            if (!pairAgrees(m_values[index(j, i)], -m_values[index(i, j)], tol))
                return 0;
    return 1;
}

int Matrix::isZero() const
{
    for (double v : m_values)
        if (!(std::fabs(v) <= 1e-11))
            return 0;
    return 1;
}

int Matrix::isOrthogonal() const
{
    const double limit = 1e-6;
    return std::fabs(val(0, 2)) <= limit && std::fabs(val(2, 0)) <= limit &&
                   std::fabs(val(1, 2)) <= limit && std::fabs(val(2, 1)) <= limit
               ? 1
               : 0;
}

bool Matrix::operator==(const Matrix& m) const
{
    if (m_rows != m.m_rows || m_cols != m.m_cols)
        return false;
    for (std::size_t k = 0; k < m_values.size(); ++k)
        if (!(std::fabs(m_values[k] - m.m_values[k]) <= 1e-12))
            return false;
    return true;
}

int Matrix::zeroRow() const
{
    for (int i = 0; i < m_rows; ++i) {
        bool zero = true;
        for (int j = 0; j < m_cols && zero; ++j)
            zero = std::fabs(m_values[index(i, j)]) <= 1e-10;
        if (zero)
            return i;
    }
    return -1;
}

int Matrix::zeroCol() const
{
    for (int j = 0; j < m_cols; ++j) {
        bool zero = true;
        for (int i = 0; i < m_rows && zero; ++i)
            zero = std::fabs(m_values[index(i, j)]) <= 1e-10;
        if (zero)
            return j;
    }
    return -1;
}

double Matrix::maxval() const
{
    if (m_values.empty())
        return 0.0;
    return *std::max_element(m_values.begin(), m_values.end());
}

double Matrix::avgValue() const
{
    if (m_values.empty())
        return 0.0;
    double sum = 0.0;
    for (double v : m_values)
        sum += v;
    return sum / static_cast<double>(m_values.size());
}

std::unique_ptr<double[]> Matrix::sympack(int* n) const
{
    if (!isSymmetric(1e-6))
        throw std::logic_error("matrix is not symmetric");
    const int order = m_rows;
    std::unique_ptr<double[]> packed(
        new double[static_cast<std::size_t>(order) * (order + 1) / 2]);
    std::size_t k = 0;
    for (int j = 0; j < order; ++j)
        for (int i = 0; i <= j; ++i)
            packed[k++] = m_values[index(i, j)];
    *n = order;
    return packed;
}

void Matrix::upperTriangleColumnWise(double* dst, int) const
{
    std::size_t k = 0;
    for (int i = 0; i < m_rows; ++i)
        for (int j = i; j < m_cols; ++j)
            dst[k++] = m_values[index(i, j)];
}

int Matrix::verify() const
{
    if (!m_sym || m_rows == 0)
        return 1;
    return isSymmetric(1e-8);
}

// ---------------------------------------------------------------- frames and points

void Matrix::rotationMatrix(double a0, double a1, double a2, double a3, double a4, double a5,
                            double a6, double a7, double a8, double a9, double a10, double a11)
{
    const double a[12] = {a0, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11};
    init(4, 4);
    for (int r = 0; r < 3; ++r) {
        double t = 0.0;
        for (int c = 0; c < 3; ++c) {
            ref(r, c) = a[3 * c + r];
            t += a[3 * c + r] * a[9 + c];
        }
        ref(r, 3) = -t;
    }
    ref(3, 3) = 1.0;
}

Point<double> operator*(const Point<double>& p, const Matrix& m)
{
    if (m.ncols() != 3 || m.nrows() < 3)
        AfxThrowInvalidArgException();
    double out[3];
    for (int i = 0; i < 3; ++i)
        out[i] = m.val(i, 0) * p.x + m.val(i, 1) * p.y + m.val(i, 2) * p.z;
    return Point<double>(out[0], out[1], out[2]);
}

// ---------------------------------------------------------------- output and archive

void Matrix::exportMathematica(const char* path) const
{
    std::ofstream out(path);
    out.imbue(std::locale::classic());
    for (int i = 0; i < m_rows; ++i) {
        for (int j = 0; j < m_cols; ++j)
            out << m_values[index(i, j)] << ' ';
        out << '\n';
    }
    out.flush();
    if (!out)
        throw std::logic_error("Cannot write the matrix file");
}

void Matrix::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        write(ar);
    else
        read(ar);
}

void Matrix::write(CArchive& ar) const
{
    ar << CString(L"Matrix");
    ar << m_rows << m_cols;
    for (double v : m_values)
        ar << v;
    ar << m_sym << m_posDef << m_inverted;
}

void Matrix::read(CArchive& ar)
{
    CString name;
    ar >> name;
    int rows = 0, cols = 0;
    ar >> rows >> cols;
    // A damaged record must not ask for a negative or absurd allocation, nor
    // leave a matrix whose one size is zero and the other huge (every later
    // loop over its rows or columns would run for nothing).
    if (rows < 0 || cols < 0 || (rows == 0) != (cols == 0) ||
        (rows != 0 && cols > std::numeric_limits<int>::max() / rows))
        AfxThrowArchiveException(CArchiveException::genericException);
    // The values and the three flags must still be in the archive.
    const std::size_t count = static_cast<std::size_t>(rows) * cols;
    if (ar.BytesLeft() / sizeof(double) < count)
        AfxThrowArchiveException(CArchiveException::endOfFile);
    std::vector<double> values;
    values.reserve(std::min<std::size_t>(count, 1u << 16));
    for (std::size_t k = 0; k < count; ++k) {
        double v = 0.0;
        ar >> v;
        values.push_back(v);
    }
    int sym = 0, posDef = 0, inverted = 0;
    ar >> sym >> posDef >> inverted;
    m_rows = rows;
    m_cols = cols;
    m_values.swap(values);
    m_sym = sym;
    m_posDef = posDef;
    m_inverted = inverted;
}
