// Time of the section properties of typical sections: a 10 x 10 I-beam with
// four root fillets, a section of 100 disks and one of 1,000 circular
// sectors (1,000 arcs).
#include <benchmark/benchmark.h>

#include <string>

#include "drevoline/section/CXSectionAnalysis.h"

namespace {

void addShape(CXSectionAnalysis& model, ShapeType kind, double x, double y, double a3, double a4, double a6,
              double rotation, int& count) {
  auto* s = new CShapeAnalysis(&model);
  CString name(("b" + std::to_string(++count)).c_str());
  s->sector(model.rootSubSection(), &model, name, x, y, a3, a4, 0, a6, 90, kind, 0, 1, rotation, false);
}

void BM_IBeamWithFillets(benchmark::State& state) {
  CXSectionAnalysis model;
  int count = 0;
  addShape(model, qhtShapeRectangle, 0, 0, 10, 1, 90, 0, count);
  addShape(model, qhtShapeRectangle, 0, 9, 10, 1, 90, 0, count);
  addShape(model, qhtShapeRectangle, 4.5, 1, 1, 8, 90, 0, count);
  // Root fillets of radius 0.5 in the four corners between web and flanges.
  addShape(model, qhtShapeFillet, 5.5, 1, 0.5, 0, 90, 0, count);
  addShape(model, qhtShapeFillet, 4.5, 1, 0.5, 0, 90, 90, count);
  addShape(model, qhtShapeFillet, 4.5, 9, 0.5, 0, 90, 180, count);
  addShape(model, qhtShapeFillet, 5.5, 9, 0.5, 0, 90, 270, count);
  CSubSection* root = model.rootSubSection();
  for (auto _ : state)
    benchmark::DoNotOptimize(root->forceRecalcProperties());
}
BENCHMARK(BM_IBeamWithFillets)->Unit(benchmark::kMillisecond);

// Times the properties of a grid (unit pitch) of shapes of one kind, radius 0.4.
void timeGrid(benchmark::State& state, ShapeType kind, int count, int columns, double a6) {
  CXSectionAnalysis model;
  int made = 0;
  for (int i = 0; i < count; ++i)
    addShape(model, kind, i % columns, i / columns, 0.4, 0, a6, 0, made);
  CSubSection* root = model.rootSubSection();
  for (auto _ : state)
    benchmark::DoNotOptimize(root->forceRecalcProperties());
}

void BM_HundredDisks(benchmark::State& state) { timeGrid(state, qhtShapeDisk, 100, 10, 0); }
BENCHMARK(BM_HundredDisks)->Unit(benchmark::kMillisecond);

// Quarter-circle sectors: 1,000 arcs.
void BM_ThousandArcs(benchmark::State& state) { timeGrid(state, qhtShapeSector, 1000, 40, 90); }
BENCHMARK(BM_ThousandArcs)->Unit(benchmark::kMillisecond);

}  // namespace
