// The bending stresses along a shape's boundary.
#include <memory>
#include <stdexcept>

#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CMetal.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"

void CShapeAnalysis::extremeBendingStress(CXSectionAnalysis* model, const CLoadCondition* lc, double* tAtExtreme,
                                          double* minStress, double* maxStress) const {
  CSubSection* s = model ? model->currentSubSectionMutable() : nullptr;
  if (!s || !lc || !lc->scnForces())
    throw std::logic_error("No bending results to sample: no current sub-section or section forces.");
  int count = 0;
  std::unique_ptr<Point<double>[]> samples(computePolygon(&count));
  for (int i = 0; i < count; ++i) {
    const Point<double>& p = samples[static_cast<std::size_t>(i)];
    const double v = s->pointBendingStress(lc->scnForces(), p.x, p.y, m_material.get());
    if (i == 0) {
      *minStress = *maxStress = v;
      continue;
    }
    if (v < *minStress) {
      *minStress = v;
      *tAtExtreme = p.z;
    }
    if (v > *maxStress) {
      *maxStress = v;
      *tAtExtreme = p.z;
    }
  }
}
