// Plastic section moduli of a sub-section about its equal-area axes.
#include <algorithm>
#include <cmath>
#include <memory>
#include <span>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/FanIntegrator.h"

// A curve of the plastic split with its weight, its whole area and first
// moments (about the origin) and the box of its control points, which holds
// the curve: a curve wholly on one side of the line needs no integration.
struct PlasticCurve {
  CCompositeCurve* curve = nullptr;
  double weight = 1.0;
  double area = 0.0;
  double first[2] = {0.0, 0.0};
  double lo[2] = {0.0, 0.0};
  double hi[2] = {0.0, 0.0};
};

namespace {

PlasticCurve measured(CCompositeCurve* curve, double weight) {
  PlasticCurve p;
  p.curve = curve;
  p.weight = weight;
  const Point<double> o;
  const FanTerm terms[] = {{fan::area, o, 1.0, 2}, {fan::firstX, o, 1.0, 3}, {fan::firstY, o, 1.0, 3}};
  p.lo[0] = p.lo[1] = 1e300;
  p.hi[0] = p.hi[1] = -1e300;
  POSITION pos = curve->arcs().GetHeadPosition();
  while (pos) {
    const Bspline* arc = curve->arcs().GetNext(pos);
    double part[3];
    fanIntegrate(*arc, 2, arc->startParameter(), arc->endParameter(), terms, part);
    p.area += part[0];
    p.first[0] += part[1];
    p.first[1] += part[2];
    for (int i = 0; i < arc->nPts(); ++i) {
      const Point<double> c = arc->cpts(i);
      p.lo[0] = std::min(p.lo[0], c.x);
      p.lo[1] = std::min(p.lo[1], c.y);
      p.hi[0] = std::max(p.hi[0], c.x);
      p.hi[1] = std::max(p.hi[1], c.y);
    }
  }
  return p;
}

// Areas and first moments (about the line) on the two sides of the line
// through R along coordinate k (0: x = R.x, 1: y = R.y).
struct Sides {
  double aboveA = 0.0, aboveQ = 0.0, belowA = 0.0, belowQ = 0.0;
};

Sides sides(const std::vector<PlasticCurve>& curves, const Point<double>& R, int k, bool areasOnly = false) {
  const FanTerm terms[] = {
      {k == 0 ? fan::areaXpAbove : fan::areaYpAbove, R, 1.0, 2},
      {k == 0 ? fan::areaXpBelow : fan::areaYpBelow, R, 1.0, 2},
      {k == 0 ? fan::momentXpAbove : fan::momentYpAbove, R, 1.0, 3},
      {k == 0 ? fan::momentXpBelow : fan::momentYpBelow, R, 1.0, 3},
  };
  const std::span<const FanTerm> used(terms, areasOnly ? 2 : 4);
  const double axis = k == 0 ? R.x : R.y;
  Sides total;
  for (const PlasticCurve& p : curves) {
    const double w = p.weight;
    if (p.lo[k] >= axis || p.hi[k] <= axis) {
      const bool above = p.lo[k] >= axis;
      (above ? total.aboveA : total.belowA) += w * p.area;
      (above ? total.aboveQ : total.belowQ) += w * (p.first[k] - axis * p.area);
      continue;
    }
    POSITION pos = p.curve->arcs().GetHeadPosition();
    while (pos) {
      const Bspline* arc = p.curve->arcs().GetNext(pos);
      double part[4] = {0.0, 0.0, 0.0, 0.0};
      fanIntegrate(*arc, 2, arc->startParameter(), arc->endParameter(), used, part);
      total.aboveA += w * part[0];
      total.belowA += w * part[1];
      total.aboveQ += w * part[2];
      total.belowQ += w * part[3];
    }
  }
  return total;
}

}  // namespace

void CSubSection::equalAreaSplit(const std::vector<PlasticCurve>& curves, int k, double* axis, double* modulus) const {
  // The box of the curves along k brackets the axis.
  double lo = 1e300, hi = -1e300, otherLo = 1e300, otherHi = -1e300;
  for (const PlasticCurve& p : curves) {
    lo = std::min(lo, p.lo[k]);
    hi = std::max(hi, p.hi[k]);
    otherLo = std::min(otherLo, p.lo[1 - k]);
    otherHi = std::max(otherHi, p.hi[1 - k]);
  }
  const double other = (otherLo + otherHi) / 2.0;
  auto at = [&](double c) { return k == 0 ? Point<double>(c, other, 0.0) : Point<double>(other, c, 0.0); };
  // f(c) = area above - area below falls as the line rises; its root is
  // found by false position with the Illinois step, kept inside the bracket.
  auto f = [&](double c) {
    const Sides s = sides(curves, at(c), k, true);
    return s.aboveA - s.belowA;
  };
  double flo = f(lo), fhi = f(hi);
  const double total = std::fabs(flo) + std::fabs(fhi);
  const double span = hi - lo;
  int keptSide = 0;
  for (int i = 0; i < 100 && hi - lo > 1e-13 * span; ++i) {
    double c = flo != fhi ? lo + (hi - lo) * flo / (flo - fhi) : (lo + hi) / 2.0;
    if (!(c > lo && c < hi))
      c = (lo + hi) / 2.0;
    const double fc = f(c);
    if (std::fabs(fc) <= 1e-12 * total) {
      lo = hi = c;
      break;
    }
    if (fc > 0.0) {
      lo = c;
      flo = fc;
      if (keptSide == 1)
        fhi /= 2.0;
      keptSide = 1;
    } else {
      hi = c;
      fhi = fc;
      if (keptSide == -1)
        flo /= 2.0;
      keptSide = -1;
    }
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
  std::vector<PlasticCurve> curves;
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
    curves.push_back(measured(curve, weight));
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
