// Times that the tests once held to a wall-clock limit (a shared test
// machine made them flake). Each row reports its time and limit_ratio, the
// time over the limit the test had: above 1 is a regression to look into.
//   - a grid for a section a billion units from the origin (limit 1 s: a
//     spacing search that adds up to the first line takes far longer);
//   - a tree of 50 sub-sections and 1,000 shapes built, a group deleted
//     with its children and the model deleted (limit 1 s);
//   - the union of two rectangles sharing an edge, whole or in part, as
//     splines or one polyline arc each (limit 0.5 s each).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CGrid.h"
#include "analysis/model/CMetal.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "drevoline/tests/test_section_support.h"

namespace {

// Sets the row's limit_ratio from its mean time per iteration.
void reportLimit(benchmark::State& state, double limitSeconds)
{
    // Inverted iteration-invariant rate: seconds / (iterations x limit).
    state.counters["limit_ratio"] = benchmark::Counter(
        limitSeconds, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_GridFarFromTheOrigin(benchmark::State& state)
{
    for (auto _ : state) {
        CGrid g;
        *g.minP() = Point<double>(1e9, -1e9 - 3, 0);
        *g.maxP() = Point<double>(1e9 + 10, -1e9 + 3, 0);
        g.compute();
        benchmark::DoNotOptimize(g.stepCountX);
    }
    reportLimit(state, 1.0);
}
BENCHMARK(BM_GridFarFromTheOrigin)->Unit(benchmark::kMicrosecond);

void BM_LargeTreeBuildAndDelete(benchmark::State& state)
{
    for (auto _ : state) {
        CXSectionAnalysis m;
        std::vector<CSubSection*> groups;
        for (int g = 0; g < 50; ++g)
            groups.push_back(section_test::child(m, g < 10 ? m.rootSubSection() : groups[g % 10],
                                                 (L"g" + std::to_wstring(g)).c_str()));
        for (int i = 0; i < 1000; ++i) {
            CShapeAnalysis* s = section_test::unitSquare((L"s" + std::to_wstring(i)).c_str(), i, 0.0, false);
            m.addShapeToLists(groups[i % 50], s);
            s->addDots(groups[i % 50]);
        }
        CString g3(L"g3");
        m.deleteSubSectionAndChildShapes(g3);
        benchmark::DoNotOptimize(m.rootSubSection()->nShapes());
    }
    reportLimit(state, 1.0);
}
BENCHMARK(BM_LargeTreeBuildAndDelete)->Unit(benchmark::kMillisecond);

// A rectangle outline: four straight arcs, or one polyline arc.
std::unique_ptr<CCompositeCurve> rectangleOutline(const double r[4], bool polyline)
{
    Point<double> p[5] = {{r[0], r[1], 0}, {r[2], r[1], 0}, {r[2], r[3], 0}, {r[0], r[3], 0}, {r[0], r[1], 0}};
    auto c = std::make_unique<CCompositeCurve>();
    if (polyline) {
        c->addArc(new Bspline(5, p));
        return c;
    }
    for (int i = 0; i < 4; ++i)
        c->addArc(new Bspline(&p[i], &p[i + 1], false));
    return c;
}

// Arg 0 or 1: the whole edge shared or part of it; arg 2 adds 2 for one
// polyline arc per rectangle.
void BM_RectanglesSharingAnEdgeUnite(benchmark::State& state)
{
    const bool part = state.range(0) % 2 == 1;
    const bool polyline = state.range(0) >= 2;
    const double a[4] = {0, 0, 2, 1};
    const double whole[4] = {2, 0, 4, 1}, partial[4] = {2, 0.5, 3, 2};
    auto steel = std::make_shared<CMetal>();
    for (auto _ : state) {
        CXSectionAnalysis model;
        CSubSection* sub = model.rootSubSection();
        for (const double* r : {a, part ? partial : whole}) {
            auto* s = new CShapeAnalysis(rectangleOutline(r, polyline).release());
            s->material(steel);
            model.addShapeToLists(sub, s);
        }
        sub->Union(-1);
        benchmark::DoNotOptimize(sub->getUnionShapes());
    }
    reportLimit(state, 0.5);
}
BENCHMARK(BM_RectanglesSharingAnEdgeUnite)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace
