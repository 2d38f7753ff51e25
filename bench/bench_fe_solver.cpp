// Static solves of square cantilever plates of 1,000 to 16,000 nodes. The
// reduced stiffness system is assembled once; our band Cholesky solves it
// side by side with CHOLMOD's simplicial Cholesky and Eigen's SimplicialLLT
// on the same K and f. Reports each solver's time, ours/peer ratios, the
// relative residuals |Ku - f| / |f| and the agreement of the solutions
// measured against cond(K) * eps (two correct solvers agree only that far).
// Our band Cholesky factorises and solves in one call (DPBSV): its time is
// the sum; the peers' analysis, factorisation and solve are also reported apart.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "analysis/geometry/BandSystem.h"
#include "analysis/model/CMetal.h"
#include "drevoline/mesh/CFEModelAnalysis.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFETrng3.h"

#ifdef LORIMANT_HAVE_EIGEN
#include <Eigen/Sparse>
#include <Eigen/SparseCholesky>
#endif
#ifdef LORIMANT_HAVE_CHOLMOD
#include <cholmod.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double>(b - a).count();
}

// A k x k node plate of side 10 clamped on its left edge, loaded at a corner.
std::unique_ptr<CFEModelAnalysis> plate(int k, const CMetal* metal)
{
    auto model = std::make_unique<CFEModelAnalysis>();
    for (int j = 0; j < k; ++j)
        for (int i = 0; i < k; ++i) {
            auto n = std::make_shared<CFENodeAnalysis>();
            n->number = j * k + i + 1;
            n->position = Point<double>(10.0 * i / (k - 1), 10.0 * j / (k - 1), 0.0);
            if (i == 0) {
                n->fix(367, 1);
                n->fix(368, 1);
            }
            model->addNode(n);
        }
    auto at = [&](int i, int j) { return model->nodes[j * k + i]; };
    for (int j = 0; j + 1 < k; ++j)
        for (int i = 0; i + 1 < k; ++i) {
            model->addElement(std::make_unique<CFETrng3>(at(i, j), at(i + 1, j), at(i + 1, j + 1), metal, 1.0));
            model->addElement(std::make_unique<CFETrng3>(at(i, j), at(i + 1, j + 1), at(i, j + 1), metal, 1.0));
        }
    Point<double> corner = at(k - 1, k - 1)->position;
    Point<double> down(0, -1, 0);
    model->applyPtForce(CString("F"), corner, 1.0, down);
    return model;
}

// The upper triangle of a band system as column-compressed arrays
// (row indices ascending within a column), the form both peers read.
struct UpperCsc {
    int n = 0;
    std::vector<int> colStart, row;
    std::vector<double> value;
};

UpperCsc upperCsc(const SymmetricBandSystem& s)
{
    UpperCsc m;
    m.n = s.order();
    m.colStart.push_back(0);
    for (int j = 0; j < m.n; ++j) {
        for (int i = std::max(0, j - s.bandwidth()); i <= j; ++i) {
            const double v = s.at(i, j);
            if (v != 0.0) {
                m.row.push_back(i);
                m.value.push_back(v);
            }
        }
        m.colStart.push_back(static_cast<int>(m.row.size()));
    }
    return m;
}

// |K u - f| / |f| with K given by its upper triangle.
double relativeResidual(const UpperCsc& K, const std::vector<double>& f, const std::vector<double>& u)
{
    std::vector<double> r(f.size());
    for (std::size_t i = 0; i < f.size(); ++i)
        r[i] = -f[i];
    for (int j = 0; j < K.n; ++j)
        for (int p = K.colStart[j]; p < K.colStart[j + 1]; ++p) {
            const int i = K.row[p];
            r[i] += K.value[p] * u[j];
            if (i != j)
                r[j] += K.value[p] * u[i];
        }
    double rr = 0.0, ff = 0.0;
    for (std::size_t i = 0; i < f.size(); ++i) {
        rr += r[i] * r[i];
        ff += f[i] * f[i];
    }
    return std::sqrt(rr / ff);
}

// max |a - b| / max |b|.
double relativeDifference(const std::vector<double>& a, const std::vector<double>& b)
{
    double d = 0.0, m = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        d = std::max(d, std::fabs(a[i] - b[i]));
        m = std::max(m, std::fabs(b[i]));
    }
    return d / m;
}

struct PeerResult {
    bool ran = false;
    double seconds = 0.0;
    double analyse = 0.0, factor = 0.0, solve = 0.0;  // the parts of seconds, where timed apart
    std::vector<double> u;
    double rcond = 0.0;  // CHOLMOD's rough estimate of 1 / cond(K); 0 when not given
    double cond = 0.0;   // an estimate of cond(K) by the power method; 0 when not given
};

#ifdef LORIMANT_HAVE_CHOLMOD
// Analysis, factorisation and solve with CHOLMOD's simplicial Cholesky.
PeerResult solveCholmod(const UpperCsc& K, const std::vector<double>& f, int repeats)
{
    PeerResult out;
    cholmod_common c;
    cholmod_start(&c);
    // Simplicial: with Debian's default reference BLAS the supernodal
    // factorisation of these plates measured some 200 times slower here.
    c.supernodal = CHOLMOD_SIMPLICIAL;
    cholmod_sparse* A = cholmod_allocate_sparse(K.n, K.n, K.value.size(), 1, 1, 1, CHOLMOD_REAL, &c);
    std::copy(K.colStart.begin(), K.colStart.end(), static_cast<int*>(A->p));
    std::copy(K.row.begin(), K.row.end(), static_cast<int*>(A->i));
    std::copy(K.value.begin(), K.value.end(), static_cast<double*>(A->x));
    cholmod_dense* b = cholmod_allocate_dense(K.n, 1, K.n, CHOLMOD_REAL, &c);
    std::copy(f.begin(), f.end(), static_cast<double*>(b->x));
    for (int r = 0; r < repeats; ++r) {
        const auto t0 = Clock::now();
        cholmod_factor* L = cholmod_analyze(A, &c);
        const auto t1 = Clock::now();
        cholmod_factorize(A, L, &c);
        const auto t2 = Clock::now();
        cholmod_dense* x = cholmod_solve(CHOLMOD_A, L, b, &c);
        const auto t3 = Clock::now();
        out.seconds += seconds(t0, t3);
        out.analyse += seconds(t0, t1);
        out.factor += seconds(t1, t2);
        out.solve += seconds(t2, t3);
        if (r == 0) {
            out.rcond = cholmod_rcond(L, &c);
            const double* xv = static_cast<const double*>(x->x);
            out.u.assign(xv, xv + K.n);
        }
        cholmod_free_dense(&x, &c);
        cholmod_free_factor(&L, &c);
    }
    out.seconds /= repeats;
    out.analyse /= repeats;
    out.factor /= repeats;
    out.solve /= repeats;
    out.ran = c.status == CHOLMOD_OK;
    cholmod_free_dense(&b, &c);
    cholmod_free_sparse(&A, &c);
    cholmod_finish(&c);
    return out;
}
#endif

#ifdef LORIMANT_HAVE_EIGEN
using SparseLLT = Eigen::SimplicialLLT<Eigen::SparseMatrix<double>, Eigen::Upper>;

// cond(K) = largest / smallest eigenvalue, each from 50 steps of the power
// method: on K for the largest, on K^-1 (through the factor) for the
// smallest.
double conditionEstimate(const Eigen::SparseMatrix<double>& upper, const SparseLLT& llt)
{
    const auto K = upper.selfadjointView<Eigen::Upper>();
    Eigen::VectorXd v = Eigen::VectorXd::Ones(upper.rows()).normalized();
    Eigen::VectorXd w = v;
    double largest = 0.0, inverseOfSmallest = 0.0;
    for (int i = 0; i < 50; ++i) {
        Eigen::VectorXd Kv = K * v;
        largest = v.dot(Kv);
        v = Kv.normalized();
        Eigen::VectorXd Iw = llt.solve(w);
        inverseOfSmallest = w.dot(Iw);
        w = Iw.normalized();
    }
    return largest * inverseOfSmallest;
}

// Ordering, factorisation and solve with Eigen's SimplicialLLT.
PeerResult solveEigen(const UpperCsc& K, const std::vector<double>& f, int repeats)
{
    PeerResult out;
    Eigen::Map<const Eigen::SparseMatrix<double>> upper(K.n, K.n, static_cast<int>(K.value.size()),
                                                        K.colStart.data(), K.row.data(), K.value.data());
    const Eigen::SparseMatrix<double> A = upper;
    const Eigen::Map<const Eigen::VectorXd> b(f.data(), K.n);
    for (int r = 0; r < repeats; ++r) {
        SparseLLT llt;
        const auto t0 = Clock::now();
        llt.analyzePattern(A);
        const auto t1 = Clock::now();
        llt.factorize(A);
        const auto t2 = Clock::now();
        const Eigen::VectorXd x = llt.solve(b);
        const auto t3 = Clock::now();
        out.seconds += seconds(t0, t3);
        out.analyse += seconds(t0, t1);
        out.factor += seconds(t1, t2);
        out.solve += seconds(t2, t3);
        out.ran = llt.info() == Eigen::Success;
        if (r == 0 && out.ran) {
            out.u.assign(x.data(), x.data() + K.n);
            out.cond = conditionEstimate(A, llt);
        }
    }
    out.seconds /= repeats;
    out.analyse /= repeats;
    out.factor /= repeats;
    out.solve /= repeats;
    return out;
}
#endif

void reportPeer(benchmark::State& state, const char* name, const PeerResult& peer, double ours,
                const UpperCsc& K, const std::vector<double>& f, const std::vector<double>& u, double kappa)
{
    const std::string p(name);
    if (!peer.ran) {
        state.counters[p + "_skipped"] = 1;
        return;
    }
    state.counters[p + "_ms"] = 1e3 * peer.seconds;
    state.counters[p + "_analyse_ms"] = 1e3 * peer.analyse;
    state.counters[p + "_factor_ms"] = 1e3 * peer.factor;
    state.counters[p + "_solve_ms"] = 1e3 * peer.solve;
    state.counters["ratio_" + p] = ours / peer.seconds;
    state.counters[p + "_residual"] = relativeResidual(K, f, peer.u);
    // Agreement in units of cond(K) * eps: below 1 is as close as two
    // correct factorisations can be expected to come.
    if (kappa > 0.0)
        state.counters[p + "_agree_keps"] =
            relativeDifference(u, peer.u) / (kappa * std::numeric_limits<double>::epsilon());
}

void BM_SolvePlate(benchmark::State& state)
{
    CMetal metal;
    metal.E(1e7);
    metal.nu(0.3);
    const int k = static_cast<int>(std::lround(std::sqrt(static_cast<double>(state.range(0)))));
    auto model = plate(k, &metal);
    const CLoadCondition* lc = model->holder->curAppLC().get();
    const SymmetricBandSystem assembled = model->reducedSystem(lc);
    const UpperCsc K = upperCsc(assembled);
    const std::vector<double> f = assembled.values();

    double ours = 0.0;
    std::vector<double> u;
    for (auto _ : state) {
        SymmetricBandSystem system = assembled;
        const auto t0 = Clock::now();
        const int info = system.solve();
        ours += seconds(t0, Clock::now());
        if (info != 0) {
            state.SkipWithError("band Cholesky failed");
            return;
        }
        u = system.values();
    }
    ours /= static_cast<double>(state.iterations());
    state.counters["nodes"] = static_cast<double>(k * k);
    state.counters["unknowns"] = static_cast<double>(K.n);
    state.counters["ours_ms"] = 1e3 * ours;
    state.counters["ours_residual"] = relativeResidual(K, f, u);

    const int repeats = 3;
    PeerResult cholmod, eigen;
#ifdef LORIMANT_HAVE_CHOLMOD
    cholmod = solveCholmod(K, f, repeats);
#endif
#ifdef LORIMANT_HAVE_EIGEN
    eigen = solveEigen(K, f, repeats);
#endif
    // The power-method estimate where Eigen is at hand; CHOLMOD's comes
    // from the diagonal of its factor only and can be far too low.
    const double kappa = eigen.cond > 0.0 ? eigen.cond : cholmod.rcond > 0.0 ? 1.0 / cholmod.rcond : 0.0;
    if (kappa > 0.0)
        state.counters["cond_est"] = kappa;
    reportPeer(state, "cholmod", cholmod, ours, K, f, u, kappa);
    reportPeer(state, "eigen", eigen, ours, K, f, u, kappa);
}

}  // namespace

BENCHMARK(BM_SolvePlate)->Arg(1000)->Arg(4000)->Arg(10000)->Arg(16000)->Unit(benchmark::kMillisecond);
