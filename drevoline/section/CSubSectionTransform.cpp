// Sub-section duplication of shapes and rigid transforms of a sub-section.
#include <algorithm>
#include <cmath>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CDot.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"

namespace {

constexpr double kDegToRad = 0.017453292519943295;

void turn(double& u, double& v, double cu, double cv, double deg) {
  const double c = std::cos(deg * kDegToRad);
  const double s = std::sin(deg * kDegToRad);
  const double du = u - cu;
  const double dv = v - cv;
  u = cu + c * du - s * dv;
  v = cv + s * du + c * dv;
}

template <class F>
void eachShape(const ShapeList* list, F f) {
  if (list == nullptr)
    return;
  POSITION pos = list->GetHeadPosition();
  while (pos)
    f(list->GetNext(pos));
}

// Drops a copy that could not be finished: its dots go with it.
void discard(CShapeAnalysis* copy) {
  if (vAveVAvezeze != nullptr)
    if (CSubSection* current = vAveVAvezeze->currentSubSectionMutable())
      current->removeShapeDots(copy);
  delete copy;
}

// The dots a fresh copy was given, in its owner and in the current sub-section.
template <class F>
void eachCopyDotOwner(CShapeAnalysis* copy, F f) {
  CSubSection* current = vAveVAvezeze != nullptr ? vAveVAvezeze->currentSubSectionMutable() : nullptr;
  if (copy->parent != nullptr)
    f(copy->parent);
  if (current != nullptr && current != copy->parent)
    f(current);
}

}  // namespace

// ---- duplication ----

CShapeAnalysis* CSubSection::MirrorDuplicate(CShapeAnalysis* s, CString newName, double x1, double y1, double x2,
                                             double y2) {
  auto* copy = new CShapeAnalysis(s);
  copy->mark = true;
  if (!newName.IsEmpty())
    copy->name(newName);
  Point<double> p(x1, y1, 0.0), n(x2, y2, 0.0);
  try {
    copy->mirror(&p, &n);
  } catch (...) {
    discard(copy);
    throw;
  }
  if (vAveVAvezeze != nullptr && vAveVAvezeze->findShape(copy->name()) == nullptr)
    vAveVAvezeze->shapes.AddTail(copy);
  return copy;
}

CShapeAnalysis* CSubSection::rotateDuplicateShape(CShapeAnalysis* s, CString newName, double x, double y,
                                                  double angle) {
  auto* copy = new CShapeAnalysis(s);
  copy->name(newName);
  copy->mark = false;
  Point<double> c(x, y, 0.0);
  // The copy's dots start where the source's are; they turn with it.
  CSubSection* owner = copy->parent;
  copy->rotate(&c, angle);
  eachCopyDotOwner(copy, [&](CSubSection* sub) {
    if (sub != owner)
      sub->rotateShapeDots(copy, &c, angle);
  });
  return copy;
}

CShapeAnalysis* CSubSection::translateDuplicateShape(CShapeAnalysis* s, CString newName, Point<double>* d) {
  auto* copy = new CShapeAnalysis(s);
  copy->name(newName);
  copy->mark = false;
  copy->translate(d);
  eachCopyDotOwner(copy, [&](CSubSection* sub) { sub->translateShapeDots(copy, d); });
  return copy;
}

// ---- transforms ----

void CSubSection::translate(double dx, double dy) {
  scnPrpUTD(false);
  Point<double> d(dx, dy, 0.0);
  eachShape(unionShapes, [&](CShapeAnalysis* s) { s->translate(&d); });
  for (CSubSection* c : children)
    c->translate(dx, dy);
  eachShape(&shapeList, [&](CShapeAnalysis* s) { s->translate(&d); });
  for (CDot* dot : dots)
    dot->location += d;
  translateMeshesAndWelds(&d);
  for (CDot* p : constructionPoints)
    p->location += d;
}

void CSubSection::translate(Point<double>* d) {
  translate(d->x, d->y);
  const Point<double> v(d->x, d->y, d->z);
  areaCentroid += v;
  centroid += v;
  densityCentroid += v;
  referencePoint += v;
}

void CSubSection::rotateContents(double x, double y, double angle) {
  scnPrpUTD(false);
  // A shape's own turn also turns its dots in its owner; every dot must turn
  // exactly once, so the dots are turned from where they were before.
  std::vector<Point<double>> before;
  before.reserve(dots.size());
  for (const CDot* dot : dots)
    before.push_back(dot->location);
  Point<double> c(x, y, 0.0);
  eachShape(unionShapes, [&](CShapeAnalysis* s) { s->rotate(&c, angle); });
  for (CSubSection* child : children)
    child->rotate(x, y, angle);
  eachShape(&shapeList, [&](CShapeAnalysis* s) { s->rotate(&c, angle); });
  for (std::size_t i = 0; i < dots.size() && i < before.size(); ++i) {
    dots[i]->location = before[i];
    turn(dots[i]->location.x, dots[i]->location.y, x, y, angle);
  }
  rotateMeshesAndWelds(&c, angle);
  for (CDot* p : constructionPoints)
    turn(p->location.x, p->location.y, x, y, angle);
}

void CSubSection::rotate(double x, double y, double angle) { rotateContents(x, y, angle); }

void CSubSection::rotateAll(double x, double y, double angle) {
  rotate(x, y, angle);
  turn(principalFiber1.x, principalFiber1.y, x, y, angle);
  turn(principalFiber2.x, principalFiber2.y, x, y, angle);
  if (m_model != nullptr)
    m_model->geometryChanged();
}

void CSubSection::rotateAllX(double a, double b, double angle) {
  scnPrpUTD(false);
  Point<double> c(0.0, a, b);
  eachShape(getShapesRecursive().get(), [&](CShapeAnalysis* s) {
    removeShapeDots(s);
    s->rotateX(&c, angle);
  });
  for (CDot* p : constructionPoints)
    turn(p->location.x, p->location.y, c.x, c.y, angle);
  if (m_model != nullptr)
    m_model->geometryChanged();
}

void CSubSection::rotateAllY(double a, double b, double angle) {
  scnPrpUTD(false);
  Point<double> c(a, 0.0, b);
  eachShape(getShapesRecursive().get(), [&](CShapeAnalysis* s) { s->rotateY(&c, angle); });
  for (CDot* dot : dots)
    turn(dot->location.x, dot->location.y, c.x, c.y, angle);
}

void CSubSection::translateRotateZ(Point<double>* p, double angle) {
  scnPrpUTD(false);
  Point<double> back(-p->x, -p->y, -p->z);
  Point<double> origin0;
  eachShape(getShapesRecursive().get(), [&](CShapeAnalysis* s) {
    s->translate(&back);
    s->rotate(&origin0, angle);
    s->translate(p);
  });
}

void CSubSection::mirror(Point<double>& a, Point<double>& n) {
  scnPrpUTD(false);
  eachShape(unionShapes, [&](CShapeAnalysis* s) { s->mirror(&a, &n); });
  eachShape(&shapeList, [&](CShapeAnalysis* s) { s->mirror(&a, &n); });
  if (sectionKind == 11)
    mirrorFixKind11();
  else if (sectionKind == 12 || sectionKind == 13)
    mirrorFixKind12or13();
  mirrorMeshes(a, n);
}

// A mirrored outline runs the other way round: its points, taken in reverse
// order, give the former running sense again.
static void restoreRunningSense(ShapeList* unionShapes) {
  if (unionShapes == nullptr || unionShapes->IsEmpty())
    return;
  std::vector<Point<double>>& P = unionShapes->GetHead()->definingPoints;
  std::reverse(P.begin(), P.end());
}

void CSubSection::mirrorFixKind11() {
  const CString base = m_name;
  CShapeAnalysis* rightFlange = findShape(base + L"_rightFlange");
  CShapeAnalysis* leftFlange = findShape(base + L"_leftFlange");
  CShapeAnalysis* rightFillet = findShape(base + L"_rightFillet");
  CShapeAnalysis* leftFillet = findShape(base + L"_leftFillet");
  // The parts change sides.
  if (rightFlange != nullptr && leftFlange != nullptr) {
    rightFlange->name(base + L"_leftFlange");
    leftFlange->name(base + L"_rightFlange");
  }
  if (rightFillet != nullptr && leftFillet != nullptr) {
    rightFillet->name(base + L"_leftFillet");
    leftFillet->name(base + L"_rightFillet");
  }
  std::vector<double>& k = kindArguments;
  if (k.size() >= 9) {
    k[2] = k[4] - k[2];
    std::swap(k[3], k[5]);
    std::swap(k[6], k[7]);
    k[8] = 180.0 - k[8];
  }
  restoreRunningSense(unionShapes);
}

void CSubSection::mirrorFixKind12or13() {
  restoreRunningSense(unionShapes);
  if (sectionKind != 13)
    return;
  originPointIndex = 3;
  directionPointIndex = 2;
  if (unionShapes != nullptr && !unionShapes->IsEmpty()) {
    unionShapes->GetHead()->originIndex = 3;
    unionShapes->GetHead()->directionIndex = 2;
  }
}
