// Elastic bending of a meshed sub-section: the two analyses, the stress
// formula, node stresses and strains with the allowable warnings, the
// neutral axis, the resultants of the stress field and the node farthest
// from a line.
#include <cmath>
#include <initializer_list>
#include <stdexcept>

#include "analysis/geometry/Tolerance.h"
#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/CSectionForces.h"
#include "analysis/model/Globals.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/PlaneTurn.h"

using section_geometry::kDegToRad;

namespace {

constexpr int kUnrestrainedBending = 4;
constexpr int kRestrainedBending = 5;
constexpr double kNotSet = -99999.0;
const wchar_t* const kYieldEntry = L"Yield stress exceeded for ";
const wchar_t* const kUltimateEntry = L"Ultimate stress exceeded for ";

// The quadrilateral elements carry no stiffness nor node-to-element links:
// the analyses would give them no stress and no resultant, so they are refused.
void refuseQuadrilaterals(const std::vector<CMesh*>& meshes) {
  for (const CMesh* m : meshes)
    if (!m->quad4Elements.empty())
      throw std::logic_error("Bending analyses need triangle meshes: mesh the section with triangles.");
}

// Determinant of the modulus-weighted second moments about the elastic
// centroid; throws for a singular set.
double inertiaDeterminant(const CSubSection& s) {
  const double d = s.getValue(76) * s.getValue(74) - s.getValue(75) * s.getValue(75);
  if (std::fabs(d) < 1e-10)
    throw std::logic_error("Computation of 2nd moments of inertia are incorrect");
  return d;
}

// The entry (prefix and name) stands whole in text: it ends in a line break,
// or it is followed by the end of the text or by the next entry's prefix.
bool hasWholeEntry(const CString& text, const CString& entry, const wchar_t* prefix) {
  const std::wstring t = text.GetString();
  const std::wstring e = entry.GetString();
  const std::wstring p = prefix;
  for (std::size_t at = t.find(e); at != std::wstring::npos; at = t.find(e, at + 1)) {
    const std::size_t end = at + e.size();
    if (end == t.size() || e.back() == L'\n' || t.compare(end, p.size(), p) == 0)
      return true;
  }
  return false;
}

// Appends the warning of m to text unless m already has one.
void warnOnce(CString& text, const wchar_t* prefix, const CMetal& m, bool lineBreak) {
  CString entry = CString(prefix) + m.name;
  if (lineBreak)
    entry += L"\n";
  if (!hasWholeEntry(text, entry, prefix))
    text += entry;
}

// A value set in the material record.
bool isSet(double v) { return v != kNotSet; }

// The yield and ultimate checks of one stress in m's longitudinal allowables.
void checkAllowables(CSectionForces* sf, const CMetal& m, double stress) {
  const double a = std::fabs(stress);
  if (isSet(m.Fty_L) && isSet(m.Fcy_L) && ((stress > 0 && a > m.Fty_L) || (stress < 0 && a > m.Fcy_L)))
    warnOnce(sf->yieldWarning, kYieldEntry, m, false);
  if (isSet(m.Ftu_L) && isSet(m.Fcu_L) && ((stress > 0 && a > m.Ftu_L) || (stress < 0 && a > m.Fcu_L)))
    warnOnce(sf->ultimateWarning, kUltimateEntry, m, true);
}

// Strain of a stress in m (0 without a material).
double strainOf(double stress, const CMetal* m, bool L) {
  return m ? stress / m->youngsModulus(stress > 0, L) : 0.0;
}

// Refuses a load that is not a finite number before anything changes: it
// would fill every node, extreme and resultant with NaN.
void refuseNonFinite(std::initializer_list<double> loads) {
  for (double v : loads)
    if (!std::isfinite(v))
      throw std::logic_error("The section forces must be finite numbers.");
}

// Properties recomputed and the load condition `name` found or made
// (type 3) and applied; its section forces.
CSectionForces* prepareCondition(CSubSection& s, const CString& name) {
  refuseQuadrilaterals(s.meshes);
  s.scnPrpUTD(false);
  if (!s.computeProperties())
    throw std::logic_error("Section properties are not up to date.");
  s.scnPrpUTD(true);
  std::shared_ptr<CLoadCondition> lc = s.findLoadCondition(name);
  if (lc && !lc->scnForces())
    throw std::logic_error("The load condition of that name holds no section forces.");
  if (!lc) {
    lc = std::make_shared<CLoadCondition>(SectionForces, name);
    lc->ScnLoadCondition(name);
    s.loadConditions.push_back(lc);
  }
  s.curAppLC(lc);
  return lc->scnForcesMutable();
}

// Steps shared by the two analyses once the forces are set.
CSectionForces* finishElastic(CSubSection& s, CSectionForces* sf, bool L) {
  s.applyElasticBendingForces(sf);
  if (!s.computePointOnNeutralAxis(sf))
    sf->neutralPoint = Point<double>(-999.0, -999.0, 0.0);
  s.maxmin(sf, STRAIN_ZZ);
  s.maxmin(sf, STRESS_ZZ);
  s.addDefaultBendingResultLocations(L);
  s.computeResultantElasticBendingForces(sf);
  return sf;
}

}  // namespace

CSectionForces* CSubSection::applyUnrestrainedBendingForces(CString name, double P, double Mx, double My, bool L) {
  refuseNonFinite({P, Mx, My});
  CSectionForces* sf = prepareCondition(*this, name);
  sf->name = name;
  sf->Mx = Mx;
  sf->My = My;
  sf->axial = P;
  sf->option = L;
  sf->kind = kUnrestrainedBending;
  calcNeutralAxisAngle(sf, false);
  return finishElastic(*this, sf, L);
}

CSectionForces* CSubSection::applyRestrainedBendingForces(CString name, double P, double angle, double M, bool L) {
  refuseNonFinite({P, angle, M});
  CSectionForces* sf = prepareCondition(*this, name);
  sf->neutralPoint = Point<double>(getValue(135), getValue(136), 0.0);
  sf->axial = P;
  sf->option = L;
  sf->kind = kRestrainedBending;
  calcRestrainedMoments(sf, angle, M);
  return finishElastic(*this, sf, L);
}

double CSubSection::pointElasticBendingStress(const CSectionForces* sf, double x, double y, const CMetal* m) const {
  const double D = inertiaDeterminant(*this);
  const double I74 = getValue(74), I75 = getValue(75), I76 = getValue(76);
  const double dx = x - getValue(135), dy = y - getValue(136);
  const double n = m ? m->extra1 : 1.0;
  const double bending = dy * (sf->My * I75 + sf->Mx * I74) / D - dx * (sf->Mx * I75 + sf->My * I76) / D;
  const double stress = n * bending + n * sf->axial / getValue(18);
  return gUnitSystem == SI ? 10.0 * stress : stress;
}

void CSubSection::applyElasticBendingForces(CSectionForces* sf) {
  sf->yieldWarning = L"";
  sf->ultimateWarning = L"";
  if (!scnPrpUTD())
    throw std::logic_error("Section properties are not up to date.");
  refuseQuadrilaterals(meshes);
  const bool L = sf->option;
  for (CMesh* mesh : meshes) {
    for (const auto& node : mesh->nodes) {
      node->elementResults.clear();
      const double x = node->position.x, y = node->position.y;
      if (node->isSplitMaterial()) {
        for (CFEElementAnalysis* e : node->elements) {
          const double stress = pointElasticBendingStress(sf, x, y, e->material);
          if (e->material)
            checkAllowables(sf, *e->material, stress);
          node->setElementResult(e, STRESS_ZZ, stress);
          node->setElementResult(e, STRAIN_ZZ, strainOf(stress, e->material, L));
        }
        continue;
      }
      const CMetal* m = node->material();
      const double stress = pointElasticBendingStress(sf, x, y, m);
      if (m)
        checkAllowables(sf, *m, stress);
      node->setResult(STRESS_ZZ, stress);
      node->setResult(STRAIN_ZZ, strainOf(stress, m, L));
    }
  }
}

void CSubSection::calcNeutralAxisAngle(CSectionForces* sf, bool resultant) const {
  const double D = inertiaDeterminant(*this);
  const double I74 = getValue(74), I75 = getValue(75), I76 = getValue(76);
  const double Mx = resultant ? sf->resultantMx : sf->Mx;
  const double My = resultant ? sf->resultantMy : sf->My;
  sf->valueB = std::sqrt(sf->Mx * sf->Mx + sf->My * sf->My);
  const double num = (Mx * I75 + My * I76) / D;
  const double den = (My * I75 + Mx * I74) / D;
  // A relative test: the size of the load must not decide the angle.
  double t = 90.0 * kDegToRad;
  double angle = 90.0;
  if (std::fabs(den) > 1e-12 * std::fabs(num)) {
    t = std::atan(num / den);
    angle = normalizeAngle(t / kDegToRad);
  }
  const double moment = Mx * std::cos(t) + My * std::sin(t);
  if (resultant) {
    sf->resultantNeutralAxisMoment = moment;
    sf->resultantNeutralAxisAngle = angle;
  } else {
    sf->valueA = moment;
    sf->neutralAxisAngle = angle;
  }
}

void CSubSection::calcRestrainedMoments(CSectionForces* sf, double angle, double M) const {
  const double I1 = getValue(141), I2 = getValue(142), p = getValue(40) * kDegToRad;
  const double phi = angle * kDegToRad - p;
  const double psi = std::atan(std::tan(phi) * I1 / I2);
  const double total = M / std::cos(psi - phi);
  const double beta = p + psi;
  sf->Mx = total * std::cos(beta);
  sf->My = total * std::sin(beta);
  sf->valueA = M;
  sf->valueB = std::fabs(total);
  sf->neutralAxisAngle = angle;
}

bool CSubSection::computePointOnNeutralAxis(CSectionForces* sf) {
  Point<double> c(getValue(135), getValue(136), 0.0);
  for (CMesh* m : meshes)
    if (m->pointOnNeutralAxis(sf, c))
      return true;
  return false;
}

void CSubSection::findNeutralAxisAngle() {
  if (!currentLoadCondition || !currentLoadCondition->scnForces() || meshes.empty())
    return;
  // The last mesh the zero-stress line crosses gives the angle. A line that
  // misses every mesh (an axial load alone, or an axis beside the section)
  // has no angle to give: the analysis keeps the one it has.
  double angle = 0.0;
  for (auto m = meshes.rbegin(); m != meshes.rend(); ++m)
    if ((*m)->neutralAxisAngle(&angle)) {
      currentLoadCondition->scnForcesMutable()->resultantNeutralAxisAngle = angle;
      return;
    }
}

void CSubSection::computeResultantElasticBendingForces(CSectionForces* sf) const {
  const double cx = getValue(135), cy = getValue(136);
  Point<double> c(cx, cy, 0.0);
  const double axisAngle = sf->neutralAxisAngle * kDegToRad;
  const double unit = gUnitSystem == SI ? 0.1 : 1.0;
  double force = 0.0, aboutAxis = 0.0, Mx = 0.0, My = 0.0;
  for (const CMesh* mesh : meshes) {
    for (const auto& e : mesh->trng3Elements) {
      const double F = e->averageValue(STRESS_ZZ) * e->area() * unit;
      const Point<double> centre = e->center();
      force += F;
      aboutAxis += F * signedDistanceFromLine(&c, axisAngle, &centre);
      Mx += (centre.y - cy) * F;
      My -= (centre.x - cx) * F;
    }
  }
  sf->resultantForce = force;
  sf->resultantNeutralAxisMoment = aboutAxis;
  sf->resultantMx = Mx;
  sf->resultantMy = My;
  sf->resultantMagnitude = std::sqrt(Mx * Mx + My * My);
  sf->resultantDirection = (Mx == 0.0 && My == 0.0) ? 0.0 : std::atan(My / Mx) / kDegToRad;
  calcNeutralAxisAngle(sf, true);
}

void CSubSection::calcResultantMomentsForces(double* Mx, double* My, double* P) const {
  // About the elastic centroid and with My's sign that of the applied
  // moments, so that a ratio of resultants compares with the applied one.
  const double cx = getValue(135), cy = getValue(136);
  *Mx = *My = *P = 0.0;
  for (const CMesh* mesh : meshes) {
    for (const auto& e : mesh->trng3Elements) {
      const double F = e->averageValue(STRESS_ZZ) * e->area();
      const Point<double> centre = e->center();
      *Mx += (centre.y - cy) * F;
      *My -= (centre.x - cx) * F;
      *P += F;
    }
  }
}

CFENodeAnalysis* CSubSection::mostDistantPointFromNeutralAxis(Point<double> point, double angle, int, bool tension,
                                                              bool L) {
  CFENodeAnalysis* found = nullptr;
  double best = 0.0;
  for (CMesh* mesh : meshes)
    for (const auto& node : mesh->nodes) {
      const double d = signedDistanceFromLine(&point, angle, &node->position);
      if (tension ? d > best : d < best) {
        found = node.get();
        best = d;
      }
    }
  if (!found)
    throw std::logic_error("unable to find point at max distance from NA");
  // Among the nodes as far as the best, the one of the smallest strain limit.
  double limit = found->maxStrain(tension, L);
  for (CMesh* mesh : meshes)
    for (const auto& node : mesh->nodes) {
      const double d = signedDistanceFromLine(&point, angle, &node->position);
      if (std::fabs(d - best) >= 1e-8)
        continue;
      const double s = node->maxStrain(tension, L);
      if (s < limit) {
        found = node.get();
        limit = s;
      }
    }
  return found;
}
