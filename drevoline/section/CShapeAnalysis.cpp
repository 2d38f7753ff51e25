// Shape model: construction, lifetime, materials, dots and simple queries.
#include "drevoline/section/CShapeAnalysis.h"

#include <algorithm>
#include <cmath>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/Utilities.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"

#include "platform/ole/COleDispatchException.h"

IMPLEMENT_SERIAL(CShapeAnalysis, CObject, 1)

namespace {
constexpr double kDegToRad = 0.017453292519943295;
}  // namespace

ShapePolygonArgs::~ShapePolygonArgs() {
  POSITION pos = points.GetHeadPosition();
  while (pos)
    delete points.GetNext(pos);
}

void CShapeAnalysis::initEmpty(CCompositeCurve* curve) {
  m_name = nameGen();
  boundary = curve != nullptr ? curve : new CCompositeCurve();
}

CShapeAnalysis::CShapeAnalysis() { initEmpty(nullptr); }

CShapeAnalysis::CShapeAnalysis(CXSectionAnalysis*) { initEmpty(nullptr); }

CShapeAnalysis::CShapeAnalysis(CCompositeCurve* curve) { initEmpty(curve); }

CShapeAnalysis::CShapeAnalysis(CShapeAnalysis* other) {
  boundary = new CCompositeCurve(*other->boundary);
  parent = other->parent;
  kind = other->kind;
  supportKind = other->supportKind;
  stateFlag = other->stateFlag;
  m_material = other->m_material;
  definingPoints = other->definingPoints;
  // The indices and arguments go with the points: without them the copy's
  // origin, direction and argument record would be those of another shape.
  originIndex = other->originIndex;
  directionIndex = other->directionIndex;
  args = other->args;
  if (isBasicShape() && other->sectorArgs != nullptr) {
    const ShapeSectorArgs& o = *other->sectorArgs;
    sectorArgs = new ShapeSectorArgs();
    sectorArgs->originX = o.originX;
    sectorArgs->originY = o.originY;
    sectorArgs->dim1 = o.dim1;
    sectorArgs->dim2 = o.dim2;
    sectorArgs->dim3 = o.dim3;
    sectorArgs->dim4 = o.dim4;
    sectorArgs->dim5 = o.dim5;
    sectorArgs->isHole = o.isHole;
    sectorArgs->kind = o.kind;
  }
  m_name = nameGen();
  id = uniqueID();
  if (parent != nullptr) {
    POSITION pos = boundary->arcs().GetHeadPosition();
    while (pos) {
      Point<double> p = boundary->arcs().GetNext(pos)->startPoint();
      parent->addDot(p.x, p.y, this);
    }
  }
  if (vAveVAvezeze != nullptr)
    if (CSubSection* current = vAveVAvezeze->currentSubSectionMutable())
      addDots(current);
}

CShapeAnalysis::~CShapeAnalysis() {
  try {
    if (parent != nullptr) {
      parent->removeShapeDots(this);
      // No list may keep a pointer to a deleted shape: neither the owner's
      // nor that of a group outside the owner's tree that lists the shape
      // too (a mirrored duplicate of a group makes such a group).
      parent->removeShapeFromLists(this);
      if (CXSectionAnalysis* model = parent->scn()) {
        for (CSubSection* s : model->subSections)
          if (s->parent() == nullptr && s != parent)
            s->removeShapeFromLists(this);
        model->removeShapeReferences(this);
      }
    }
  } catch (...) {
    // A destructor lets no failure escape.
  }
  delete boundary;
  delete sectorArgs;
  delete polygonArgs;
}

void CShapeAnalysis::appendArc(Bspline* arc) {
  try {
    boundary->addArc(arc);
  } catch (...) {
    delete arc;
    throw;
  }
}

std::shared_ptr<CMetal> CShapeAnalysis::matl(EnumAnalysisMethod m) const {
  if (m < 0 || m > 3)
    return nullptr;
  return useMatl2[m] != 0 ? m_matl2 : m_material;
}

void CShapeAnalysis::addDot(CSubSection* s, Point<double>& p) {
  if (s != nullptr)
    s->addDot(p.x, p.y, this);
}

void CShapeAnalysis::addDots(CSubSection* s) {
  if (s == nullptr)
    return;
  if (!definingPoints.empty()) {
    for (Point<double>& p : definingPoints)
      addDot(s, p);
    return;
  }
  POSITION pos = boundary->arcs().GetHeadPosition();
  while (pos) {
    Point<double> p = boundary->arcs().GetNext(pos)->startPoint();
    addDot(s, p);
  }
}

const Point<double>& CShapeAnalysis::definingPoint(int i) const {
  if (i < 0 || i >= static_cast<int>(definingPoints.size()))
    AfxThrowInvalidArgException();
  return definingPoints[i];
}

Point<double> CShapeAnalysis::origin() const {
  // The disk's centre is its one defining point, which the transforms keep
  // in step; the argument record's copy of it is only as fresh as the last
  // getSectorArgs.
  if (kind == qhtShapeDisk)
    return definingPoints.empty() && sectorArgs != nullptr
               ? Point<double>(sectorArgs->originX, sectorArgs->originY, 0.0)
               : definingPoint(0);
  return definingPoint(originIndex);
}

Point<double> CShapeAnalysis::direction() const {
  return definingPoint(directionIndex) - definingPoint(originIndex);
}

Point<double> CShapeAnalysis::pointCoord(int i) const { return definingPoint(i - 1); }

double CShapeAnalysis::radius() const { return sectorArgs != nullptr ? sectorArgs->dim1 : -1.0; }

double CShapeAnalysis::angle(Point<double>& a, Point<double>& b, Point<double>& c) {
  Point<double> u = a - b;
  Point<double> v = c - b;
  const double lu = std::sqrt(u.lengthSquared());
  const double lv = std::sqrt(v.lengthSquared());
  u = lu < 1e-20 ? Point<double>() : u / lu;
  v = lv < 1e-20 ? Point<double>() : v / lv;
  return std::acos(std::clamp(dot(u, v), -1.0, 1.0)) / kDegToRad;
}

double CShapeAnalysis::arcLength() const {
  double sum = 0.0;
  POSITION pos = boundary->arcs().GetHeadPosition();
  while (pos)
    sum += boundary->arcs().GetNext(pos)->arclength();
  return sum;
}

double CShapeAnalysis::startParameter() const { return boundary->startParameter(); }

double CShapeAnalysis::endParameter() const { return boundary->endParameter(); }

void CShapeAnalysis::eval(double t, Point<double>* out) const {
  // Parameters within 1e-5 of an arc's ends are pulled 1e-6 inside it; the
  // adjusted value carries on, and the last arc holding it wins.
  POSITION pos = boundary->arcs().GetHeadPosition();
  while (pos) {
    const Bspline* arc = boundary->arcs().GetNext(pos);
    const double ts = arc->startParameter();
    const double te = arc->endParameter();
    if (std::fabs(t - te) < 1e-5)
      t = te - 1e-6;
    if (std::fabs(t - ts) < 1e-5)
      t = ts + 1e-6;
    if (ts <= t && t <= te)
      arc->eval(t, out, 1e-7);
  }
}

void CShapeAnalysis::extents(Point<double>* lo, Point<double>* hi, int start) const {
  if (boundary->nArcs() == 0)
    return;
  if (start != 0)
    *lo = *hi = boundary->arcs().GetHead()->startPoint();
  POSITION pos = boundary->arcs().GetHeadPosition();
  while (pos)
    boundary->arcs().GetNext(pos)->extents(lo, hi, 0);
}

void CShapeAnalysis::midPt(Point<double>* out) const {
  Point<double> lo, hi;
  extents(&lo, &hi, 1);
  *out = (lo + hi) * 0.5;
}

bool CShapeAnalysis::isInsideNotOn(Point<double>& p) const { return boundary->insideNotOn(p); }

bool CShapeAnalysis::isInsideOrOn(Point<double>& p) const { return boundary->on(p) || boundary->inside(p); }

bool CShapeAnalysis::isNegative() const { return boundary->sign() == -1; }

bool CShapeAnalysis::isCounterClockwise() const { return signedArea() > 0.0; }

bool CShapeAnalysis::inSection() const {
  if (vAveVAvezeze == nullptr)
    return false;
  CSubSection* root = vAveVAvezeze->rootSubSection();
  return root != nullptr && root->isCurrentShape(const_cast<CShapeAnalysis*>(this));
}

bool CShapeAnalysis::isCurrent() const {
  if (vAveVAvezeze == nullptr)
    return false;
  const CSubSection* current = vAveVAvezeze->currentSubSection();
  return current != nullptr && current->hasShape(const_cast<CShapeAnalysis*>(this));
}

bool CShapeAnalysis::isPositiveInsideGeneratedNegative() const {
  if (vAveVAvezeze == nullptr || boundary->sign() != 1 || boundary->nArcs() == 0)
    return false;
  std::unique_ptr<ShapeList> list = vAveVAvezeze->currentShapes();
  if (!list)
    return false;
  const Point<double> start = boundary->startPoint();
  POSITION pos = list->GetHeadPosition();
  while (pos) {
    const CShapeAnalysis* s = list->GetNext(pos);
    if (s != this && s->boundary->mark() && s->boundary->inside(start))
      return true;
  }
  return false;
}

Point<double> CShapeAnalysis::principalCoordinates(double deg, Point<double>& p) {
  const double t = deg * kDegToRad;
  const double c = std::cos(t);
  const double s = std::sin(t);
  return Point<double>(p.x * c + p.y * s, p.y * c - p.x * s, 0.0);
}

Point<double> CShapeAnalysis::principalCoordinates(double deg, Point<double>& a, Point<double>& b) {
  Point<double> d = b - a;
  return principalCoordinates(deg, d);
}

bool CShapeAnalysis::operator==(const CShapeAnalysis& other) const {
  if (kind != other.kind)
    return false;
  POSITION pos = boundary->arcs().GetHeadPosition();
  while (pos) {
    const Bspline* arc = boundary->arcs().GetNext(pos);
    bool found = false;
    POSITION q = other.boundary->arcs().GetHeadPosition();
    while (q && !found)
      found = *arc == *other.boundary->arcs().GetNext(q);
    if (!found)
      return false;
  }
  return true;
}

CList<Point<double>*>* CShapeAnalysis::intersection(CShapeAnalysis* other) {
  auto* out = new CList<Point<double>*>();
  POSITION a = boundary->arcs().GetHeadPosition();
  while (a) {
    Bspline* arcA = boundary->arcs().GetNext(a);
    POSITION b = other->boundary->arcs().GetHeadPosition();
    while (b) {
      Bspline* arcB = other->boundary->arcs().GetNext(b);
      std::unique_ptr<CList<Point<double>*>> found(arcA->intersection(arcB));
      if (!found)
        continue;
      while (!found->IsEmpty())
        out->AddTail(found->RemoveHead());
    }
  }
  // Of two points closer than 1e-8 the later one goes.
  std::vector<Point<double>*> points;
  while (!out->IsEmpty())
    points.push_back(out->RemoveHead());
  if (std::find(points.begin(), points.end(), nullptr) != points.end()) {
    for (Point<double>* q : points)
      delete q;
    delete out;
    AfxThrowOleDispatchException(1, L"intersection failed");
  }
  for (Point<double>* q : points) {
    bool duplicate = false;
    POSITION pos = out->GetHeadPosition();
    while (pos && !duplicate)
      duplicate = (*out->GetNext(pos) - *q).length() < 1e-8;
    if (duplicate)
      delete q;
    else
      out->AddTail(q);
  }
  return out;
}
