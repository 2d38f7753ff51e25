#pragma once

#include <cstddef>

// The LAPACK routines the kernel calls, with their Fortran calling
// convention: every argument by address, matrices column-major, and one
// hidden trailing length argument (size_t, gfortran's convention) for each
// character argument, in the order of those arguments.
extern "C" {

// Solves A X = B by LU factorisation with partial pivoting.
void dgesv_(const int* n, const int* nrhs, double* a, const int* lda, int* ipiv, double* b,
            const int* ldb, int* info);

// Solves a tridiagonal system A X = B.
void dgtsv_(const int* n, const int* nrhs, double* dl, double* d, double* du, double* b,
            const int* ldb, int* info);

// Cholesky factorisation of a symmetric positive-definite matrix.
void dpotrf_(const char* uplo, const int* n, double* a, const int* lda, int* info,
             std::size_t uploLen);

// Inverse of a symmetric positive-definite matrix from its Cholesky factor.
void dpotri_(const char* uplo, const int* n, double* a, const int* lda, int* info,
             std::size_t uploLen);

// LU factorisation with partial pivoting of a general m x n matrix.
void dgetrf_(const int* m, const int* n, double* a, const int* lda, int* ipiv, int* info);

// Inverse of a general matrix from its LU factorisation.
void dgetri_(const int* n, double* a, const int* lda, const int* ipiv, double* work,
             const int* lwork, int* info);

// Generalised symmetric-definite eigenproblem A x = lambda B x (itype 1).
void dsygv_(const int* itype, const char* jobz, const char* uplo, const int* n, double* a,
            const int* lda, double* b, const int* ldb, double* w, double* work, const int* lwork,
            int* info, std::size_t jobzLen, std::size_t uploLen);

// Solves A X = B for a symmetric positive-definite band matrix A (kd
// super-diagonals) given in band storage, by Cholesky factorisation.
void dpbsv_(const char* uplo, const int* n, const int* kd, const int* nrhs, double* ab,
            const int* ldab, double* b, const int* ldb, int* info, std::size_t uploLen);

// LAPACK's handler of an illegal argument. Ours throws std::logic_error
// naming the routine and the argument, instead of ending the process.
void xerbla_(const char* srname, const int* info, std::size_t srnameLen);
}
