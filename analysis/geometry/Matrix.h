#pragma once

#include "analysis/geometry/Point.h"
#include "platform/core/CArray.h"
#include "platform/core/CObject.h"

#include <memory>
#include <vector>

class CArchive;
class Matrix;

// Reference to one element (matrix, row, column): reads as a double and is
// assigned from a double or from another element; every use is
// bounds-checked (CInvalidArgException).
class MatrixProxy {
public:
    // Refers to element (i, j) of m.
    MatrixProxy(Matrix* m, int i, int j) : m_matrix(m), m_row(i), m_col(j) {}
    MatrixProxy(const MatrixProxy&) = default;

    // The element's value.
    operator double() const;
    // Writes v into the element.
    MatrixProxy& operator=(double v);
    // Writes the value of the other element into this one.
    MatrixProxy& operator=(const MatrixProxy& other);

private:
    Matrix* m_matrix;
    int m_row;
    int m_col;
};

// Dense matrix of doubles stored column-major: element (i, j) is value
// i + j * rows. Flags: sym (known symmetric), posDef (known positive
// definite), inverted (toggled by each in-place inversion). Every element
// access checks 0 <= i < rows and 0 <= j < cols and throws
// CInvalidArgException otherwise; so do operations on matrices whose shapes
// do not fit together. Archive record: "Matrix", rows, cols, the values in
// storage order, sym, posDef, inverted.
class Matrix : public CObject {
    DECLARE_SERIAL(Matrix)

public:
    // 0 x 0.
    Matrix();
    // rows x cols zeros; sym = 1 when square, posDef = 1, inverted = 0.
    Matrix(int rows, int cols);
    // 4 x 4 transform into the frame of three points: with u = unit(b - a),
    // v = unit(c - a), n = unit(u x v), w = -u, m = w x n, a point p maps to
    // (n.(p - a), m.(p - a), w.(p - a)). Flags sym and posDef are 0.
    Matrix(Point<double>& a, Point<double>& b, Point<double>& c);
    // Size, values, sym and posDef copied; inverted 0.
    Matrix(const Matrix& m);
    // As the copy, taking m's storage.
    Matrix(Matrix&& m) noexcept;
    ~Matrix() override;

    // Size and values of m; sym = m.isSymmetric(1e-6); posDef and inverted copied.
    Matrix& operator=(const Matrix& m);
    // As the copy assignment, taking m's storage.
    Matrix& operator=(Matrix&& m) noexcept;

    // New size, all zeros; sym, posDef and inverted set to 0.
    void setSize(int rows, int cols);
    // New size, all zeros; flags untouched.
    void init(int rows, int cols);
    // Loads every element from src given row by row (element (i, j) =
    // src[i * cols + j]); the int is not used.
    void init(int unused, double* src);
    // Loads every element from rows * cols trailing double arguments given
    // row by row; the int is not used.
    void load(int unused, ...);
    // All elements 0.
    void zero();
    // All elements 0, then 1 on the diagonal.
    void identity();

    // Sets the sym flag.
    void sym(int s) { m_sym = s; }
    // The sym flag.
    int sym() const { return m_sym; }
    // Sets the posDef flag.
    void posDef(int p) { m_posDef = p; }
    // The posDef flag.
    int posDef() const { return m_posDef; }
    // The inverted flag.
    int inverted() const { return m_inverted; }
    // The element storage (column-major).
    double* values() { return m_values.data(); }
    const double* values() const { return m_values.data(); }
    // Number of rows.
    int nrows() const { return m_rows; }
    // Number of columns.
    int ncols() const { return m_cols; }

    // Negates element (i, j) when s * value < 0, so that its sign agrees with s.
    void sign(int i, int j, int s);

    // Element (i, j).
    double& ref(int i, int j);
    // Value of element (i, j).
    double val(int i, int j) const;
    // Reference to element (i, j).
    MatrixProxy operator()(int i, int j) { return MatrixProxy(this, i, j); }
    // Value of element (i, j).
    double operator()(int i, int j) const { return val(i, j); }

    // Product: rows x m.cols; requires cols == m.rows.
    Matrix operator*(const Matrix& m) const;
    // Element-wise sum; the shapes must agree.
    Matrix operator+(const Matrix& m) const;
    // Element-wise difference; the shapes must agree.
    Matrix operator-(const Matrix& m) const;
    // Element-wise sum in place; the shapes must agree.
    Matrix& operator+=(const Matrix& m);
    // Multiplies this matrix in place by s and returns a copy of it.
    Matrix operator*(double s);
    // Multiplies this matrix in place by s.
    Matrix& operator*=(double s);
    // cols x rows transposed copy.
    Matrix transpose() const;
    // Inverts this square matrix in place and returns a copy (whose inverted
    // flag is 0). Cholesky when sym and posDef are set and the matrix is
    // symmetric within 1e-6, falling back to LU when the factorisation fails.
    // Throws the text "Matrix is singular" when every element is within
    // 1e-11 of 0 or the LU factorisation finds the matrix singular; the
    // matrix is then unchanged.
    Matrix inverse();
    // Inverse of a matrix whose third row and column are decoupled from the
    // first two: with a = (0,0), b = (0,1), d = (1,1), g = d a - b^2, the
    // result has (0,0) = d/g, (1,1) = a/g, (1,0) = (0,1) = -b/g,
    // (2,2) = 1/(2,2), all else 0.
    Matrix orthogonalInverse() const;
    // Determinant of a 2 x 2 matrix; std::logic_error "Matrix isn't 2x2" otherwise.
    double det2x2() const;
    // Determinant of a 3 x 3 matrix; std::logic_error "Matrix isn't 3x3" otherwise.
    double det3x3() const;

    // this(r + i, c + j) = m(i, j) over m's extent.
    void setBlock(int r, int c, const Matrix& m);
    // this(r + i, c + j) = m(i, j) over m's extent.
    void load(int r, int c, const Matrix& m);
    // this(c + j, r + i) = m(i, j): the transposed block at the mirrored position.
    void loadMirror(int r, int c, const Matrix& m);
    // this(r + i, c + j) += m(i, j) over m's extent.
    void add(int r, int c, const Matrix& m);
    // m(i, j) = this(r + i, c + j) over m's extent.
    void get(int r, int c, Matrix& m) const;
    // New nr x nc matrix of this(r + i, c + j).
    Matrix getBlock(int r, int c, int nr, int nc) const;

    // Scatter-add of an element matrix: this(rowIdx[i], colIdx[j]) += m(i, j).
    template <class ARG>
    void load(Matrix* m, CArray<int, ARG>* rowIdx, CArray<int, ARG>* colIdx)
    {
        scatterAdd(*m, indices(rowIdx, m->nrows()), indices(colIdx, m->ncols()));
    }
    // New matrix without the rows and the columns whose indices are listed
    // (one list for both), the kept elements packed in order.
    template <class ARG>
    Matrix reduce(CArray<int, ARG>* idx) const
    {
        return without(idx->GetData(), static_cast<int>(idx->GetSize()), true);
    }
    // New matrix without the listed rows.
    template <class ARG>
    Matrix rowReduce(CArray<int, ARG>* idx) const
    {
        return without(idx->GetData(), static_cast<int>(idx->GetSize()), false);
    }

    // Copies the lower triangle onto the upper: (j, i) = (i, j) for j < i.
    void mirrorUp();
    // Copies the upper triangle onto the lower: (j, i) = (i, j) for j > i.
    void fixSymmetry();
    // 1 when square and every off-diagonal pair a = (j, i), b = (i, j) agrees:
    // both below 1e-9 in magnitude when either is, else 1 - tol < a/b < 1 + tol.
    int isSymmetric(double tol) const;
    // As isSymmetric with a compared to -b.
    int isSkewSymmetric(double tol) const;
    // 1 when every element has magnitude at most 1e-11.
    int isZero() const;
    // 1 when (0,2), (2,0), (1,2) and (2,1) all have magnitude at most 1e-6.
    int isOrthogonal() const;
    // Same shape and every element within 1e-12.
    bool operator==(const Matrix& m) const;
    // Not operator==.
    bool operator!=(const Matrix& m) const { return !(*this == m); }
    // Index of the first row whose elements all have magnitude at most 1e-10, else -1.
    int zeroRow() const;
    // Index of the first column whose elements all have magnitude at most 1e-10, else -1.
    int zeroCol() const;
    // The largest element (0 for an empty matrix).
    double maxval() const;
    // The mean of all elements (0 for an empty matrix).
    double avgValue() const;
    // The upper triangle packed column by column (column j holds (0, j) ...
    // (j, j)), n(n + 1)/2 values, with *n set to the order. Throws
    // std::logic_error "matrix is not symmetric" when isSymmetric(1e-6) fails.
    std::unique_ptr<double[]> sympack(int* n) const;
    // Writes, row by row, the elements (i, j) with j >= i into dst; the int is not used.
    void upperTriangleColumnWise(double* dst, int unused) const;
    // 1 when the sym flag is not set or the matrix is empty, else whether the
    // contents are symmetric within 1e-8.
    int verify() const;

    // Makes this a 4 x 4 frame transform: (r, c) = a[3c + r] for r, c < 3,
    // column 3 rows 0-2 = -R o with o = (a9, a10, a11), row 3 = (0, 0, 0, 1).
    void rotationMatrix(double a0, double a1, double a2, double a3, double a4, double a5,
                        double a6, double a7, double a8, double a9, double a10, double a11);

    // Writes the matrix as text: each row's elements in the default stream
    // format, each followed by a blank, each row ended by a line end. Throws
    // std::logic_error when the file cannot be written.
    void exportMathematica(const char* path) const;
    // Diagnostic operations without output.
    void displayForm() const {}
    void displaySymmetry() const {}
    void showDiffs(Matrix&) const {}

    // Stores (write) or loads (read) the archive record.
    void Serialize(CArchive& ar) override;
    // Writes the archive record.
    void write(CArchive& ar) const;
    // Reads the archive record (the class text is read and not checked).
    void read(CArchive& ar);

private:
    std::size_t index(int i, int j) const;
    void checkBlock(int r, int c, int nr, int nc) const;
    void checkSameShape(const Matrix& m) const;
    template <class ARG>
    static const int* indices(CArray<int, ARG>* idx, int needed)
    {
        if (idx->GetSize() < needed)
            AfxThrowInvalidArgException();
        return idx->GetData();
    }
    void scatterAdd(const Matrix& m, const int* rowIdx, const int* colIdx);
    Matrix without(const int* idx, int count, bool columnsToo) const;
    bool tryCholesky(std::vector<double>& work) const;
    void invertLU(std::vector<double>& work) const;

    int m_rows = 0;
    int m_cols = 0;
    std::vector<double> m_values;
    int m_sym = 0;
    int m_posDef = 0;
    int m_inverted = 0;
};

// M p: the point as a 3 x 1 column multiplied on the left by m, which must
// have three columns and at least three rows.
Point<double> operator*(const Point<double>& p, const Matrix& m);
