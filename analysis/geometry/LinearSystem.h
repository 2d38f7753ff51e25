#pragma once

#include "analysis/geometry/Matrix.h"
#include "platform/core/CArray.h"

#include <vector>

// A left-hand matrix A and a right-hand matrix B, solved through LAPACK:
// A X = B (B receives X) or the generalised symmetric eigenproblem. The
// system owns the matrices only when it created them.
class LinearSystem {
public:
    // Creates A as n x m and B as n x k (both zero) and owns them.
    LinearSystem(int n, int m, int k);
    // Uses A and B without owning them.
    LinearSystem(Matrix* A, Matrix* B);
    // Deletes A and B when it owns them.
    ~LinearSystem();
    LinearSystem(const LinearSystem&) = delete;
    LinearSystem& operator=(const LinearSystem&) = delete;

    // The left-hand matrix A.
    Matrix* lhs() { return m_lhs; }
    // The right-hand matrix B (the solution after solve).
    Matrix* rhs() { return m_rhs; }
    // Value i of B's storage: after solve, unknown i of the first right-hand side.
    double solution(int i);

    // Solves A X = B by LU (DGESV): A is overwritten by its factors and B by
    // X. A must be square and B must have as many rows. Returns the LAPACK
    // status: 0 on success, i > 0 when U(i, i) is exactly zero.
    int solve();

    // Generalised eigenproblem: with A a stiffness and B a mass or geometric
    // matrix, values[k] and vector k (vectors[n k] ... vectors[n k + n - 1])
    // are the eigenpairs of A x = mu B x, smallest mu first. Both matrices
    // are made symmetric from their upper triangles first; B is overwritten
    // by the eigenvectors, A is kept. values and vectors must hold n and n^2
    // entries. Returns the LAPACK status (0 on success; the outputs are
    // written only then).
    int eigenSolve(CArray<double>& values, CArray<double>& vectors);

private:
    std::vector<int> m_pivots;
    Matrix* m_lhs;
    Matrix* m_rhs;
    int m_owns;
};
