// Shape transforms, placing, orientation and the construction checks.
#include <cmath>
#include <stdexcept>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"

namespace {

constexpr double kDegToRad = 0.017453292519943295;
constexpr double kCheckTol = 1e-6;

// Direction of v in degrees from +x, in (-180, 180].
double atan2Deg(const Point<double>& v) { return std::atan2(v.y, v.x) / kDegToRad; }

// |a - b| for angles in degrees, taken modulo 360 (so in [0, 180]).
double angleGap(double a, double b) {
  double d = std::fmod(std::fabs(a - b), 360.0);
  return d > 180.0 ? 360.0 - d : d;
}

// Turns (u, v) about (cu, cv) by deg degrees.
void turn(double& u, double& v, double cu, double cv, double deg) {
  const double c = std::cos(deg * kDegToRad);
  const double s = std::sin(deg * kDegToRad);
  const double du = u - cu;
  const double dv = v - cv;
  u = cu + c * du - s * dv;
  v = cv + s * du + c * dv;
}

// Applies f to every arc of the curve.
template <class F>
void eachArc(CCompositeCurve* curve, F f) {
  POSITION pos = curve->arcs().GetHeadPosition();
  while (pos)
    f(curve->arcsMutable().GetNext(pos));
}

[[noreturn]] void constructionFailed() { throw std::logic_error(CShapeAnalysis::constructionFailedText()); }

}  // namespace

const char* CShapeAnalysis::constructionFailedText() {
  return "Construction of object failed. Please send the latest journal file (in the folder temp of your home "
         "folder) to Lorimant support.";
}

// ---- transforms ----

void CShapeAnalysis::translate(Point<double>* v) {
  eachArc(boundary, [v](Bspline* a) { a->translate(v); });
  for (Point<double>& p : boundary->polygonPointsMutable())
    p += *v;
  for (Point<double>& p : definingPoints)
    p += *v;
  centroidA += *v;
  centroidE += *v;
  centroidM += *v;
}

void CShapeAnalysis::rotate(Point<double>* c, double deg) {
  eachArc(boundary, [&](Bspline* a) { a->rotate(c, deg); });
  for (Point<double>& p : boundary->polygonPointsMutable())
    turn(p.x, p.y, c->x, c->y, deg);
  for (Point<double>& p : definingPoints)
    turn(p.x, p.y, c->x, c->y, deg);
  if (parent != nullptr)
    parent->rotateShapeDots(this, c, deg);
}

// The current sub-section of the current model, or null.
static CSubSection* currentOfModel() {
  return vAveVAvezeze != nullptr ? vAveVAvezeze->currentSubSectionMutable() : nullptr;
}

void CShapeAnalysis::rotateX(Point<double>* c, double deg) {
  eachArc(boundary, [&](Bspline* a) { a->rotateX(c, deg); });
  for (Point<double>& p : definingPoints)
    turn(p.y, p.z, c->y, c->z, deg);
  if (CSubSection* s = currentOfModel())
    s->rotateXShapeDots(this, c, deg);
}

void CShapeAnalysis::rotateY(Point<double>* c, double deg) {
  eachArc(boundary, [&](Bspline* a) { a->rotateY(c, deg); });
  for (Point<double>& p : definingPoints)
    turn(p.x, p.z, c->x, c->z, deg);
  if (CSubSection* s = currentOfModel())
    s->rotateYShapeDots(this, c, deg);
}

void CShapeAnalysis::rotateZ(double deg) {
  eachArc(boundary, [deg](Bspline* a) { a->_rotateZ(deg); });
  for (Point<double>& p : definingPoints)
    turn(p.x, p.y, 0.0, 0.0, deg);
  Point<double> origin0;
  if (CSubSection* s = currentOfModel())
    s->rotateShapeDots(this, &origin0, deg);
}

void CShapeAnalysis::mirror(Point<double>* p, Point<double>* n) {
  // Checked before anything moves: a refused mirror leaves the shape as it was.
  if (parent == nullptr)
    throw std::logic_error("Parent of shape is not defined");
  if (parent->scn() == nullptr)
    throw std::logic_error("vAveVAvezeze is not defined for shape");
  Point<double> normal = *n;
  normal.normalize();
  eachArc(boundary, [&](Bspline* a) {
    Point<double> nn = normal;
    a->mirror(p, &nn);
  });
  for (Point<double>& q : definingPoints)
    q.mirror(*p, normal);
  boundary->reverse();
  if (kind == qhtShapeAnnulus && boundary->nArcs() == 4) {
    // Rebuilt as third, fourth, first, second arc.
    CList<Bspline*>& arcs = boundary->arcsMutable();
    Bspline* a[4];
    for (Bspline*& each : a)
      each = arcs.RemoveHead();
    boundary->endParameter(boundary->startParameter());
    for (int i : {2, 3, 0, 1})
      boundary->addArc(a[i]);
  }
  parent->mirrorShapeDots(this, p, &normal);
  centroidA.mirror(*p, normal);
  centroidE.mirror(*p, normal);
  centroidM.mirror(*p, normal);
  orient();
  mirrorOrientationPoints();
}

void CShapeAnalysis::transform(Matrix& m) { boundary->transform(m); }

void CShapeAnalysis::position(Point<double>& target, double rotationDeg) {
  Point<double> o = origin();
  const Point<double> d = target - o;
  // The direction's own angle, exactly (no snapping of nearly horizontal directions).
  const double a = atan2Deg(direction());
  rotate(&o, rotationDeg - a);
  Point<double> move = d;
  translate(&move);
  orient();
}

void CShapeAnalysis::reverse() { boundary->reverse(); }

void CShapeAnalysis::orient() {
  const double a = signedArea();
  const int sign = boundary->sign();
  if ((a < 0.0 && sign > 0) || (a > 0.0 && sign < 0))
    boundary->reverse();
}

void CShapeAnalysis::mirrorOrientationPoints() {
  originIndex = 0;
  directionIndex = 1;
  std::vector<Point<double>>& P = definingPoints;
  if ((kind == qhtShapeParallelogram || kind == qhtShapeRectangle) && P.size() == 4)
    P = {P[1], P[0], P[3], P[2]};
  else if (kind == qhtShapeAnnulus && P.size() == 4)
    P = {P[3], P[2], P[1], P[0]};
  else if (kind == qhtShapeTriangle && P.size() == 3)
    P = {P[1], P[0], P[2]};
}

// ---- construction checks ----

void CShapeAnalysis::checkPos(int i, double x, double y) const {
  if ((definingPoint(i) - Point<double>(x, y, definingPoint(i).z)).length() > kCheckTol)
    constructionFailed();
}

void CShapeAnalysis::checkDist(double d, int i, int j) const {
  if (std::fabs(d - (definingPoint(i - 1) - definingPoint(j - 1)).length()) > kCheckTol)
    constructionFailed();
}

void CShapeAnalysis::checkAngle(double deg, int i, int j, int k) const {
  const Point<double>& pj = definingPoint(j - 1);
  const double gap = angleGap(atan2Deg(definingPoint(i - 1) - pj), atan2Deg(definingPoint(k - 1) - pj));
  if (std::fabs(gap - deg) > kCheckTol)
    constructionFailed();
}

void CShapeAnalysis::checkRot(double deg, int i, int j) const {
  if (angleGap(atan2Deg(definingPoint(j) - definingPoint(i)), deg) > kCheckTol)
    constructionFailed();
}
