// Symmetric positive-definite linear systems in band storage, and a
// bandwidth-reducing ordering of a sparse graph, for systems too large to
// hold as dense matrices.
#pragma once

#include <vector>

// A x = b with A symmetric, kd super-diagonals wide, kept as its upper band
// (LAPACK's band layout) and solved by Cholesky factorisation (DPBSV).
class SymmetricBandSystem {
public:
    // An n x n zero matrix of half-bandwidth kd and a zero right-hand side.
    SymmetricBandSystem(int n, int kd);

    // Order of the system.
    int order() const { return m_n; }
    // Number of super-diagonals kept.
    int bandwidth() const { return m_kd; }
    // Adds v to A(i, j) (and so to A(j, i)); CInvalidArgException when the
    // element lies outside the matrix or the band.
    void add(int i, int j, double v);
    // A(i, j); 0 outside the band.
    double at(int i, int j) const;
    // Right-hand side entry i; after a successful solve, unknown i.
    double& rhs(int i);
    // The largest magnitude in each row of A.
    std::vector<double> rowMagnitudes() const;
    // Factorises and solves in place: 0 on success, else the order of the
    // leading minor that is not positive definite (A and b then undefined).
    int solve();
    // The right-hand side, or the solution after solve.
    const std::vector<double>& values() const { return m_b; }

private:
    double& band(int i, int j) { return m_ab[static_cast<std::size_t>(m_kd + i - j) + static_cast<std::size_t>(j) * (m_kd + 1)]; }

    int m_n;
    int m_kd;
    std::vector<double> m_ab;
    std::vector<double> m_b;
};

// Reverse Cuthill-McKee ordering of an undirected graph given by its
// neighbour lists: the new position of each vertex, so that neighbours get
// close positions. Each connected part starts from a vertex of least degree
// (the first such in vertex order).
std::vector<int> reverseCuthillMcKee(const std::vector<std::vector<int>>& neighbours);
