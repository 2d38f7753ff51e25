// Sub-section dots (shape markers), construction points and critical points.
#include <cmath>

#include "analysis/model/CDot.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"

namespace {

constexpr double kDegToRad = 0.017453292519943295;
constexpr int kShapeDotStyle = 32;

// Turns (u, v) about (cu, cv) by angle degrees.
void turn(double& u, double& v, double cu, double cv, double angle) {
  const double a = angle * kDegToRad;
  const double c = std::cos(a);
  const double s = std::sin(a);
  const double du = u - cu;
  const double dv = v - cv;
  u = cu + du * c - dv * s;
  v = cv + du * s + dv * c;
}

}  // namespace

void CSubSection::addConstructionPoint(double x, double y) {
  const Point<double> p(x, y, 0.0);
  for (const CDot* d : constructionPoints)
    if ((d->location - p).length() < 1e-5)
      return;
  constructionPoints.push_back(new CDot(p, this, nullptr));
}

CDot* CSubSection::addDot(double x, double y, CShapeAnalysis* s) {
  const std::size_t before = dots.size();
  CString unused;
  CBaseSubSection::addDot(unused, x, y, s);
  if (dots.size() == before) {
    // The base found a dot of the same shape close by: that one is the answer.
    const Point<double> p(x, y, 0.0);
    for (CDot* d : dots)
      if (d->client == s && (d->location - p).length() < 1e-5)
        return d;
    return nullptr;
  }
  dots.back()->style = kShapeDotStyle;
  return dots.back();
}

void CSubSection::addCriticalPoint(Point<double>& p, double allowable) {
  auto* c = new CriticalPoint();
  c->location = p;
  c->allowable = allowable;
  c->actual = 999.0;
  criticalPoints.push_back(c);
}

std::unique_ptr<std::vector<CDot*>> CSubSection::getShapeDots(CShapeAnalysis* s) const {
  auto out = std::make_unique<std::vector<CDot*>>();
  for (CDot* d : dots)
    if (d->client == s)
      out->push_back(d);
  return out;
}

void CSubSection::removeShapeDots(CShapeAnalysis* s) {
  std::erase_if(dots, [s](CDot* d) {
    if (d->client != s)
      return false;
    delete d;
    return true;
  });
}

void CSubSection::refreshDots() {
  for (CDot* d : dots)
    delete d;
  dots.clear();
  std::unique_ptr<ShapeList> all = getShapesRecursive();
  POSITION pos = all->GetHeadPosition();
  while (pos)
    all->GetNext(pos)->addDots(this);
}

void CSubSection::translateShapeDots(CShapeAnalysis* s, Point<double>* d) {
  for (CDot* dot : dots)
    if (dot->client == s)
      dot->location += *d;
}

void CSubSection::mirrorShapeDots(CShapeAnalysis* s, Point<double>* a, Point<double>* n) {
  Point<double> normal = *n;
  for (CDot* dot : dots)
    if (dot->client == s)
      dot->location.mirror(*a, normal);
}

void CSubSection::rotateShapeDots(CShapeAnalysis* s, Point<double>* c, double angle) {
  for (CDot* dot : dots)
    if (dot->client == s)
      turn(dot->location.x, dot->location.y, c->x, c->y, angle);
}

void CSubSection::rotateXShapeDots(CShapeAnalysis* s, Point<double>* c, double angle) {
  for (CDot* dot : dots)
    if (dot->client == s)
      turn(dot->location.y, dot->location.z, c->y, c->z, angle);
}

void CSubSection::rotateYShapeDots(CShapeAnalysis* s, Point<double>* c, double angle) {
  // The same turn in the x-z plane as the shapes' arcs make (x toward z).
  for (CDot* dot : dots)
    if (dot->client == s)
      turn(dot->location.x, dot->location.z, c->x, c->z, angle);
}
