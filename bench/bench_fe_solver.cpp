// Time of a static solve of square plates of 1,000 to 16,000 nodes: banded
// assembly and Cholesky solution of the in-plane stiffness.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "analysis/model/CMetal.h"
#include "drevoline/mesh/CFEModelAnalysis.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFETrng3.h"

namespace {

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

void BM_SolvePlate(benchmark::State& state)
{
    CMetal metal;
    metal.E(1e7);
    metal.nu(0.3);
    const int k = static_cast<int>(std::lround(std::sqrt(static_cast<double>(state.range(0)))));
    auto model = plate(k, &metal);
    const CLoadCondition* lc = model->holder->curAppLC().get();
    for (auto _ : state)
        model->solveStatic(lc);
    state.counters["nodes"] = static_cast<double>(k * k);
}

}  // namespace

BENCHMARK(BM_SolvePlate)->Arg(1000)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);
