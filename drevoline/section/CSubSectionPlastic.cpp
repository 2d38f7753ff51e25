// Plastic section moduli of a sub-section about its equal-area axes.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/FanIntegrator.h"

namespace {

using Weighted = std::vector<std::pair<CCompositeCurve*, double>>;

// Areas and first moments on the two sides of the line through R along
// coordinate k (0: x = R.x, 1: y = R.y), over every weighted curve.
struct Sides {
  double aboveA = 0.0, aboveQ = 0.0, belowA = 0.0, belowQ = 0.0;
};

Sides sides(const Weighted& curves, const Point<double>& R, int k) {
  const FanTerm terms[] = {
      {k == 0 ? fan::areaXpAbove : fan::areaYpAbove, R, 1.0, 2},
      {k == 0 ? fan::momentXpAbove : fan::momentYpAbove, R, 1.0, 3},
      {k == 0 ? fan::areaXpBelow : fan::areaYpBelow, R, 1.0, 2},
      {k == 0 ? fan::momentXpBelow : fan::momentYpBelow, R, 1.0, 3},
  };
  Sides total;
  for (const auto& [curve, weight] : curves) {
    POSITION pos = curve->arcs().GetHeadPosition();
    while (pos) {
      const Bspline* arc = curve->arcs().GetNext(pos);
      double part[4];
      fanIntegrate(*arc, 2, arc->startParameter(), arc->endParameter(), terms, part);
      total.aboveA += weight * part[0];
      total.aboveQ += weight * part[1];
      total.belowA += weight * part[2];
      total.belowQ += weight * part[3];
    }
  }
  return total;
}

}  // namespace

void CSubSection::equalAreaSplit(const Weighted& curves, int k, double* axis, double* modulus) const {
  // The box of the curves along k brackets the axis.
  double lo = 1e300, hi = -1e300, other = 0.0;
  for (const auto& entry : curves) {
    Point<double> a, b;
    entry.first->extents(a, b);
    lo = std::min(lo, k == 0 ? a.x : a.y);
    hi = std::max(hi, k == 0 ? b.x : b.y);
    other = k == 0 ? (a.y + b.y) / 2.0 : (a.x + b.x) / 2.0;
  }
  auto at = [&](double c) { return k == 0 ? Point<double>(c, other, 0.0) : Point<double>(other, c, 0.0); };
  // The area above falls as the line rises: bisection on the split.
  const double span = hi - lo;
  for (int i = 0; i < 200 && hi - lo > 1e-14 * span; ++i) {
    const double c = (lo + hi) / 2.0;
    const Sides s = sides(curves, at(c), k);
    if (s.aboveA > s.belowA)
      lo = c;
    else
      hi = c;
  }
  *axis = (lo + hi) / 2.0;
  const Sides s = sides(curves, at(*axis), k);
  // With equal halves this is the sum of |distance| dA over the section.
  *modulus = s.aboveA > 0.0 && s.belowA > 0.0 ? (s.aboveQ / s.aboveA - s.belowQ / s.belowA) * s.aboveA : 0.0;
}

void CSubSection::calcPlasticModulii(bool principal) {
  std::unique_ptr<ShapeList> all = getShapesRecursive();
  if (all->IsEmpty())
    return;
  // Principal axes: the curves are turned into them as copies; the model
  // itself is never moved, so nothing is left moved when a step fails.
  const double angle = principal ? (isFcyDefined() ? m_values[177] : m_values[39]) : 0.0;
  std::vector<std::unique_ptr<CCompositeCurve>> copies;
  Weighted curves;
  POSITION pos = all->GetHeadPosition();
  while (pos) {
    CShapeAnalysis* s = all->GetNext(pos);
    if (s->isPositiveInsideGeneratedNegative())
      continue;
    s->orient();  // holes run clockwise, so their pieces count negative
    const double weight = s->nPlastic() > 0.0 ? s->nPlastic() : 1.0;
    CCompositeCurve* curve = s->boundary;
    if (principal && angle != 0.0) {
      copies.push_back(std::make_unique<CCompositeCurve>(*s->boundary));
      curve = copies.back().get();
      POSITION a = curve->arcs().GetHeadPosition();
      while (a)
        curve->arcsMutable().GetNext(a)->_rotateZ(-angle);
    }
    curves.emplace_back(curve, weight);
  }
  double cx = 0.0, cy = 0.0, zx = 0.0, zy = 0.0;
  equalAreaSplit(curves, 0, &cx, &zx);
  equalAreaSplit(curves, 1, &cy, &zy);
  if (!principal) {
    plasticZx = zx;
    plasticZy = zy;
    plasticCentroid = Point<double>(cx, cy, 0.0);
    return;
  }
  m_values[154] = m_values[128] = zx;
  m_values[155] = m_values[129] = zy;
  const double c = std::cos(angle * 0.017453292519943295);
  const double s = std::sin(angle * 0.017453292519943295);
  principalPlasticCentroid = Point<double>(c * cx - s * cy, s * cx + c * cy, 0.0);
}
