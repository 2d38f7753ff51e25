// Meshing speed: an I-beam outline (10 wide, 10 deep, flanges and web 1
// thick) refined with 1,000, 4,000 and 16,000 extra nodes. Reports the nodes
// made per second.
#include <climits>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "drevoline/mesh/CMesh.h"

namespace {

std::unique_ptr<CCompositeCurve> iBeam()
{
    const std::vector<Point<double>> pts = {
        {0, 0, 0}, {10, 0, 0},  {10, 1, 0}, {5.5, 1, 0}, {5.5, 9, 0}, {10, 9, 0},
        {10, 10, 0}, {0, 10, 0}, {0, 9, 0},  {4.5, 9, 0}, {4.5, 1, 0}, {0, 1, 0}};
    auto c = std::make_unique<CCompositeCurve>();
    for (std::size_t i = 0; i < pts.size(); ++i) {
        Point<double> a = pts[i];
        Point<double> b = pts[(i + 1) % pts.size()];
        c->addArc(new Bspline(&a, &b, false));
    }
    return c;
}

void BM_MeshIBeam(benchmark::State& state)
{
    auto outline = iBeam();
    const int extra = static_cast<int>(state.range(0));
    long long nodes = 0;
    for (auto _ : state) {
        CMesh mesh;
        mesh.maxRemoves = INT_MAX;
        mesh.create(extra, outline.get(), 0, nullptr, nullptr, 0.05, nullptr);
        nodes += mesh.nNodes;
        benchmark::DoNotOptimize(mesh.nTriangles);
    }
    state.counters["nodes/s"] = benchmark::Counter(static_cast<double>(nodes),
                                                   benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_MeshIBeam)->Arg(1000)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);
