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

void BM_HundredDisks(benchmark::State& state) {
  CXSectionAnalysis model;
  int count = 0;
  for (int i = 0; i < 100; ++i)
    addShape(model, qhtShapeDisk, i % 10, i / 10, 0.4, 0, 0, 0, count);
  CSubSection* root = model.rootSubSection();
  for (auto _ : state)
    benchmark::DoNotOptimize(root->forceRecalcProperties());
}
BENCHMARK(BM_HundredDisks)->Unit(benchmark::kMillisecond);

void BM_ThousandArcs(benchmark::State& state) {
  CXSectionAnalysis model;
  int count = 0;
  for (int i = 0; i < 1000; ++i)
    addShape(model, qhtShapeSector, i % 40, i / 40, 0.4, 0, 90, 0, count);
  CSubSection* root = model.rootSubSection();
  for (auto _ : state)
    benchmark::DoNotOptimize(root->forceRecalcProperties());
}
BENCHMARK(BM_ThousandArcs)->Unit(benchmark::kMillisecond);

}  // namespace
