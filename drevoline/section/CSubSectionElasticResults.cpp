// The results of the bending analyses at points and in regions: look-ups,
// result locations, critical points, extremes by shape and by material,
// box and split-line integrals, and the small accessors of the analyses.
#include <cmath>
#include <memory>
#include <stdexcept>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CLoadCase.h"
#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/CPointForce.h"
#include "analysis/model/CResultLocation.h"
#include "analysis/model/CSectionForces.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/section/CMaterialMaxMinValues.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "drevoline/section/PlaneTurn.h"

using section_geometry::kDegToRad;

namespace {

constexpr int kFormedSection = 11;

// A node's value of r: its own, or that of its first element where materials meet.
double nodeValue(CFENodeAnalysis& node, RESULTS r) {
  CFEElementAnalysis* e = node.isSplitMaterial() && !node.elements.empty() ? node.elements.front() : nullptr;
  return node.result(e, r);
}

// The metal of a node's first element; null without elements.
CMetal* firstElementMetal(const CFENodeAnalysis* node) {
  if (!node || node->elements.empty())
    return nullptr;
  // The elements refer to the model's metals, which are not constant.
  return const_cast<CMetal*>(node->elements.front()->material);
}

// The metal of the first solid shape of s's subtree that holds p.
CMetal* shapeMetalAt(const CSubSection& s, Point<double> p) {
  std::unique_ptr<ShapeList> shapes = s.getShapesRecursive();
  POSITION pos = shapes->GetHeadPosition();
  while (pos) {
    CShapeAnalysis* shape = shapes->GetNext(pos);
    if (shape->material() && shape->isInsideOrOn(p))
      return shape->material().get();
  }
  return nullptr;
}

// A result location at the node (or, without one, at point) with the values.
CResultLocation* extremeLocation(const CSubSection& s, int index, const wchar_t* label,
                                 const std::shared_ptr<CFENodeAnalysis>& node, Point<double> point, double stress,
                                 double strain) {
  auto* r = new CResultLocation();
  r->index = index;
  r->label = label;
  r->location = node ? node->position : point;
  r->value = stress;
  r->value2 = strain * 1000.0;
  r->material = node ? firstElementMetal(node.get()) : shapeMetalAt(s, r->location);
  return r;
}

// The first union shape of s; invalid-argument exception without one.
const CShapeAnalysis* firstUnionShape(const CSubSection& s) {
  const ShapeList* u = s.getUnionShapes();
  if (!u || u->IsEmpty())
    AfxThrowInvalidArgException();
  return u->GetHead();
}

// The corners of the first union shape's outline: every control point but
// the last of a straight arc, the start of a curved one.
std::vector<Point<double>> unionVertices(const CSubSection& s) {
  std::vector<Point<double>> out;
  const CCompositeCurve* outline = firstUnionShape(s)->boundary;
  if (!outline)
    return out;
  POSITION pos = outline->arcs().GetHeadPosition();
  while (pos) {
    const Bspline* arc = outline->arcs().GetNext(pos);
    if (arc->deg() != 1) {
      out.push_back(arc->startPoint());
      continue;
    }
    for (int i = 0; i + 1 < arc->nPts(); ++i)
      out.push_back(arc->cpts(i));
  }
  return out;
}

}  // namespace

// ---- point look-ups ----

CFENodeAnalysis* CSubSection::findClosestNode(Point<double>& p) {
  CFENodeAnalysis* best = nullptr;
  double bestD2 = 1e20;
  for (CMesh* mesh : meshes)
    for (const auto& node : mesh->nodes) {
      const double d2 = (node->position - p).lengthSquared();
      if (d2 < bestD2) {
        bestD2 = d2;
        best = node.get();
      }
    }
  return best;
}

void CSubSection::getResultsAtLocation(double x, double y, double* stress, double* strain, CString& materialName) {
  Point<double> p(x, y, 0.0);
  if (CFETrng3* e = findTrng3Element(&p)) {
    *stress = e->ValueAtPoint(STRESS_ZZ, p);
    *strain = e->ValueAtPoint(STRAIN_ZZ, p);
    if (e->material)
      materialName = e->material->name;
    return;
  }
  CFENodeAnalysis* node = findClosestNode(p);
  if (!node)
    throw std::logic_error("No analysis results: the section has no mesh.");
  *stress = nodeValue(*node, STRESS_ZZ);
  *strain = nodeValue(*node, STRAIN_ZZ);
}

CMetal* CSubSection::getMaterialAtLocation(double x, double y) {
  Point<double> p(x, y, 0.0);
  if (CFETrng3* e = findTrng3Element(&p))
    return const_cast<CMetal*>(e->material);
  return firstElementMetal(findClosestNode(p));
}

double CSubSection::pointElasticBendingStress(double x, double y) {
  double stress = 0.0, strain = 0.0;
  CString name;
  getResultsAtLocation(x, y, &stress, &strain, name);
  return stress;
}

double CSubSection::pointElasticBendingStrain(double x, double y) {
  double stress = 0.0, strain = 0.0;
  CString name;
  getResultsAtLocation(x, y, &stress, &strain, name);
  return strain;
}

double CSubSection::pointPlasticBendingStress(double x, double y) { return pointElasticBendingStress(x, y); }

double CSubSection::pointPlasticBendingStrain(double x, double y) { return pointElasticBendingStrain(x, y); }

double CSubSection::pointBendingStress(const CSectionForces* sf, double x, double y, const CMetal*) {
  if (sf->kind < 4 || sf->kind > 6)
    throw std::logic_error("Section Force type is not recognized");
  return pointElasticBendingStress(x, y);
}

double CSubSection::pointBendingStrain(const CSectionForces* sf, double x, double y, const CMetal*) {
  if (sf->kind < 4 || sf->kind > 6)
    throw std::logic_error("Section Force type is not recognized");
  return pointElasticBendingStrain(x, y);
}

// ---- result locations ----

void CSubSection::addDefaultBendingResultLocations(bool) {
  for (CResultLocation* r : resultLocations)
    delete r;
  resultLocations.clear();
  const CSectionForces* sf = currentLoadCondition ? currentLoadCondition->scnForces() : nullptr;
  if (!sf)
    return;
  resultLocations.push_back(extremeLocation(*this, 0, L"Min Stress Location", sf->minNode, sf->minStressPoint,
                                            sf->minStress, sf->minStrain));
  resultLocations.push_back(extremeLocation(*this, 1, L"Max Stress Location", sf->maxNode, sf->maxStressPoint,
                                            sf->maxStress, sf->maxStrain));
}

void CSubSection::addResultLocation(double x, double y, bool) {
  CMetal* metal = getMaterialAtLocation(x, y);
  if (!metal)
    throw std::logic_error("material not found");
  auto r = std::make_unique<CResultLocation>();
  r->index = static_cast<int>(resultLocations.size());
  r->location = Point<double>(x, y, 0.0);
  r->material = metal;
  r->label.Format(L"%d", r->index);
  double strain = 0.0;
  CString materialName;
  getResultsAtLocation(x, y, &r->value, &strain, materialName);
  r->value2 = strain * 1000.0;
  resultLocations.push_back(r.release());
}

// ---- critical points ----

void CSubSection::getCriticalPointActuals(CSectionForces* sf, double distance, double value) {
  const double angle = sf->neutralAxisAngle * kDegToRad;
  for (CriticalPoint* c : criticalPoints)
    c->actual = signedDistanceFromLine(&sf->neutralPoint, angle, &c->location) / distance * value;
}

bool CSubSection::checkCriticalPoints() const {
  for (const CriticalPoint* c : criticalPoints) {
    const double a = c->allowable, v = c->actual;
    if ((a < 0 && a - 1e-6 > v) || (a > 0 && v > a + 1e-6))
      return false;
  }
  return true;
}

void CSubSection::computeMaxTensileStrainFromCriticalPoints(Point<double>& point, double angle, double distance,
                                                           double strain, double* limit) const {
  for (const CriticalPoint* c : criticalPoints) {
    const double d = signedDistanceFromLine(&point, angle * kDegToRad, &c->location);
    const double e = c->allowable;
    if (e * d < 0)
      continue;
    const double h = std::fabs(e) < std::fabs(d) * strain / distance ? std::fabs(e) * distance / std::fabs(d) : strain;
    if (h < *limit)
      *limit = h;
  }
}

// ---- extremes by shape and by material ----

void CSubSection::extremeBendingStress(const CLoadCondition* lc, double* min, double* max) {
  std::unique_ptr<ShapeList> shapes = getShapesRecursive();
  bool first = true;
  POSITION pos = shapes->GetHeadPosition();
  while (pos) {
    double t = 0.0, lo = 1e100, hi = -1e100;
    shapes->GetNext(pos)->extremeBendingStress(m_model, lc, &t, &lo, &hi);
    if (lo > hi)
      continue;  // a boundary without samples
    if (first || lo < *min)
      *min = lo;
    if (first || hi > *max)
      *max = hi;
    first = false;
  }
}

void CSubSection::findExtremeShape(int which, CShapeAnalysis** shape, double* value, double* other) {
  *shape = nullptr;
  *value = 0.0;
  *other = 0.0;
  const CSubSection* current = m_model ? m_model->currentSubSection() : nullptr;
  std::shared_ptr<CLoadCondition> lc = current ? current->appliedLoad() : nullptr;
  if (!lc)
    return;
  const bool smallest = which < 1;
  double best = smallest ? 1e100 : -1e100;
  std::unique_ptr<ShapeList> shapes = getShapesRecursive();
  POSITION pos = shapes->GetHeadPosition();
  while (pos) {
    CShapeAnalysis* s = shapes->GetNext(pos);
    double t = 0.0, lo = 1e100, hi = -1e100;
    s->extremeBendingStress(m_model, lc.get(), &t, &lo, &hi);
    if (lo > hi)
      continue;
    const double v = smallest ? lo : hi;
    if (smallest ? v < best : v > best) {
      best = v;
      *shape = s;
      *value = v;
      *other = t;
    }
  }
}

void CSubSection::findExtreme(int which, CObject** object, double* value, double* other) {
  CShapeAnalysis* s = nullptr;
  double v = 0.0, o = 0.0;
  findExtremeShape(which, &s, &v, &o);
  if (!s)
    return;
  *object = s;
  *value = v;
  *other = o;
}

CMaterialMaxMinValues* CSubSection::materialMaxMin(CMetal* m) {
  for (CObject* o : extremeValues)
    if (auto* r = dynamic_cast<CMaterialMaxMinValues*>(o); r && r->material && r->material->name == m->name)
      return r;
  auto* r = new CMaterialMaxMinValues(m);
  extremeValues.push_back(r);
  return r;
}

void CSubSection::findExtremeValuesForMaterials() {
  std::vector<CObject*> kept;
  for (CObject* o : extremeValues) {
    if (dynamic_cast<CMaterialMaxMinValues*>(o))
      delete o;
    else
      kept.push_back(o);
  }
  extremeValues.swap(kept);
  for (CMesh* mesh : meshes)
    for (const auto& e : mesh->trng3Elements) {
      if (!e->material)
        continue;
      CMaterialMaxMinValues* r = materialMaxMin(const_cast<CMetal*>(e->material));
      for (const auto& node : e->nodes) {
        const double s = node->result(e.get(), STRESS_ZZ), t = node->result(e.get(), STRAIN_ZZ);
        const Point<double>& p = node->position;
        if (s > r->maxStress) { r->maxStress = s; r->maxStressPoint = p; }
        if (s < r->minStress) { r->minStress = s; r->minStressPoint = p; }
        if (t > r->maxStrain) { r->maxStrain = t; r->maxStrainPoint = p; }
        if (t < r->minStrain) { r->minStrain = t; r->minStrainPoint = p; }
      }
    }
}

// ---- region integrals ----

void CSubSection::boxForce(Point<double>& corner1, Point<double>& corner2, double* force, double* moment1,
                           double* moment2, bool* flag) const {
  *force = *moment1 = *moment2 = 0.0;
  const CSectionForces* sf = currentLoadCondition ? currentLoadCondition->scnForces() : nullptr;
  if (!sf)
    return;
  Point<double> point = sf->neutralPoint;
  const double angle = sf->resultantNeutralAxisAngle * kDegToRad;
  for (const CMesh* mesh : meshes)
    for (const auto& e : mesh->trng3Elements) {
      double f = 0.0, m = 0.0, a = 0.0;
      e->boxForce(corner1, corner2, point, angle, &f, &m, &a, flag);
      *force += f;
      *moment1 += m;
      *moment2 += a;
    }
  *moment1 = std::fabs(*moment1);
}

void CSubSection::calcAreaAndForceAboutLine(bool useX, Point<double> a, Point<double> b, double* r1, double* r2,
                                            double* r3, double* r4, double* r5, double* r6, double* r7, double* r8,
                                            double* r9, double* r10, double* r11, double* r12) const {
  double* out[12] = {r1, r2, r3, r4, r5, r6, r7, r8, r9, r10, r11, r12};
  for (double* o : out)
    *o = 0.0;
  for (const CMesh* mesh : meshes) {
    double v[12];
    mesh->splitArea(useX, a, b, &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10],
                    &v[11]);
    for (int i = 0; i < 12; ++i)
      *out[i] += v[i];
  }
}

// ---- accessors ----

CPointForce* CSubSection::findPointForce(int id) const {
  for (const auto& lc : loadConditions) {
    if (!lc->isLoadCase() || !lc->ldCase())
      continue;
    const CList<CLoad*>& loads = lc->ldCase()->loads();
    POSITION pos = loads.GetHeadPosition();
    while (pos) {
      CLoad* load = loads.GetNext(pos);
      if (load->type() == kPointForceLoad && load->id() == id)
        return dynamic_cast<CPointForce*>(load);
    }
  }
  return nullptr;
}

Point<double> CSubSection::getPoint(int i) const {
  const std::vector<Point<double>> corners = unionVertices(*this);
  if (i < 0 || i >= static_cast<int>(corners.size()))
    AfxThrowInvalidArgException();
  return corners[static_cast<std::size_t>(i)];
}

void CSubSection::getArguments() const {
  if (sectionKind != kFormedSection)
    return;
  if (unionVertices(*this).size() < 2)
    AfxThrowInvalidArgException();
}
