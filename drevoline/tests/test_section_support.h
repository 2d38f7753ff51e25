// Small builders shared by the section model tests.
#pragma once

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "drevoline/section/CXSectionAnalysis.h"

namespace section_test {

// A shape named n whose outline is the unit square at (x, y); with
// definingCorners its corners are its defining points.
inline CShapeAnalysis* unitSquare(const wchar_t* n, double x, double y, bool definingCorners) {
  auto* s = new CShapeAnalysis();
  s->name(n);
  Point<double> p[5] = {{x, y, 0}, {x + 1, y, 0}, {x + 1, y + 1, 0}, {x, y + 1, 0}, {x, y, 0}};
  for (int i = 0; i < 4; ++i) {
    s->boundary->addArc(new Bspline(&p[i], &p[i + 1], false));
    if (definingCorners)
      s->definingPoints.push_back(p[i]);
  }
  return s;
}

// A new sub-section named n under parent, listed in the model.
inline CSubSection* child(CXSectionAnalysis& m, CSubSection* parent, const wchar_t* n) {
  auto* s = new CSubSection(&m, parent);
  s->name(n);
  parent->addChildSubSection(s);
  m.subSections.push_back(s);
  return s;
}

}  // namespace section_test
