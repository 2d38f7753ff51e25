// Strain-controlled plastic bending of a meshed sub-section: a linear
// strain field turned into Ramberg-Osgood stresses, and the three analyses
// that move its neutral axis until the force or the moment direction
// balances (Bruhn's method, bending about a line through the centroid,
// bending for given moments).
#include <cmath>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "analysis/geometry/Matrix.h"
#include "analysis/geometry/PlanarGeometry.h"
#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/CSectionForces.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/PlasticSolve.h"

namespace {

constexpr double kDegToRad = 0.017453292519943295;

const CMetal& metalOf(const CFEElementAnalysis* e) {
  if (e->material == nullptr)
    throw std::logic_error("material not found");
  return *e->material;
}

// The tension and compression extreme nodes for the neutral axis through
// point at `angle` degrees, their strain limits and distances.
struct Extremes {
  CFENodeAnalysis* T = nullptr;
  CFENodeAnalysis* C = nullptr;
  double et = 0.0, ec = 0.0;  // strain limits
  double dt = 0.0, dc = 0.0;  // distances from the axis (both >= 0)
};

// Limiting strain of the tension fibre at dt for limits et (tension) and
// ec (compression fibre at dc).
double limitingStrain(double et, double ec, double dt, double dc) {
  return ec < dc * et / dt ? dt * ec / dc : et;
}

}  // namespace

void CSubSection::solvePlasticBendingForces(Point<double> naPoint, double angle, double distance, int, double strain,
                                            Point<double>&, bool L, double* force, double* momentNA, double* Mx,
                                            double* My) {
  *force = *momentNA = *Mx = *My = 0.0;
  const double a = angle * kDegToRad;
  for (CMesh* mesh : meshes)
    for (const auto& e : mesh->trng3Elements) {
      const CMetal& metal = metalOf(e.get());
      double corner[3];
      for (int i = 0; i < 3; ++i)
        corner[i] = signedDistanceFromLine(&naPoint, a, &e->nodes[i]->position) / distance * strain;
      const double elementStrain = (corner[0] + corner[1] + corner[2]) / 3.0;
      const bool tension = elementStrain > 0.0;
      if (std::fabs(elementStrain) > metal.plasticUltimateStrain(tension, L))
        throw std::logic_error("Strain exceeds ultimate.");
      double stress = 0.0;
      for (double s : corner)
        stress += solveRambergOsgoodForStress(&metal, s, tension, L);
      stress /= 3.0;
      const Point<double> c = e->center();
      const double F = stress * e->area();
      *force += F;
      *momentNA += F * signedDistanceFromLine(&naPoint, a, &c);
      *Mx += (c.y - naPoint.y) * F;
      *My -= (c.x - naPoint.x) * F;
    }
}

void CSubSection::calcPlasticStressesAtNodes(CSectionForces* sf, double distance, double strain, bool L) {
  const double a = sf->neutralAxisAngle * kDegToRad;
  for (CMesh* mesh : meshes)
    for (const auto& node : mesh->nodes) {
      node->elementResults.clear();
      if (node->elements.empty())
        continue;
      const double e = signedDistanceFromLine(&sf->neutralPoint, a, &node->position) / distance * strain;
      if (node->isSplitMaterial()) {
        for (CFEElementAnalysis* element : node->elements) {
          node->setElementResult(element, STRAIN_ZZ, e);
          node->setElementResult(element, STRESS_ZZ, solveRambergOsgoodForStress(&metalOf(element), e, e > 0.0, L));
        }
      } else {
        node->setResult(STRAIN_ZZ, e);
        node->setResult(STRESS_ZZ, solveRambergOsgoodForStress(&metalOf(node->elements.front()), e, e > 0.0, L));
      }
    }
}

void CSubSection::computeResultantBendingForces(CSectionForces* sf) {
  const Point<double> p = sf->neutralPoint;
  const double a = sf->neutralAxisAngle * kDegToRad;
  double force = 0.0, aboutAxis = 0.0, Mx = 0.0, My = 0.0;
  for (const CMesh* mesh : meshes)
    for (const auto& e : mesh->trng3Elements) {
      const double F = e->averageValue(STRESS_ZZ) * e->area();
      const Point<double> c = e->center();
      force += F;
      aboutAxis += F * signedDistanceFromLine(const_cast<Point<double>*>(&p), a, &c);
      Mx += (c.y - p.y) * F;
      My -= (c.x - p.x) * F;
    }
  sf->resultantForce = force;
  sf->resultantNeutralAxisMoment = aboutAxis;
  sf->resultantMx = Mx;
  sf->resultantMy = My;
  sf->resultantMagnitude = std::sqrt(Mx * Mx + My * My);
  sf->resultantDirection = Mx != 0.0 ? std::atan(My / Mx) / kDegToRad : 90.0;
  calcNeutralAxisAngle(sf, true);
}

void CSubSection::plasticAnalysisScaleMomentsToMaximum(CSectionForces* sf) {
  // Moments that are not numbers give no direction (the angle would fall
  // back to 90 degrees and scale the stored moduli by it).
  if (!std::isfinite(sf->Mx) || !std::isfinite(sf->My))
    throw std::logic_error("The moments must be numbers");
  calcNeutralAxisAngle(sf, false);
  const double angle = sf->neutralAxisAngle;
  {
    PoseGuard pose(this);
    pose.rotate(centroid.x, centroid.y, -angle);
    solvePlasticValues(false, false);
  }
  const double t = angle * kDegToRad;
  plasticValues[0][0].plasticModulus *= std::cos(t);
  plasticValues[1][0].plasticModulus *= std::sin(t);
}

std::shared_ptr<CLoadCondition> CSubSection::solveBruhnPlasticBending(CString name, double angle, int, bool L,
                                                                     double P, double* tensionStrain,
                                                                     double* compressionStrain) {
  Point<double> axis = centroid;
  const double a = angle * kDegToRad;
  const Point<double> n(-std::sin(a), std::cos(a), 0.0);
  CFENodeAnalysis* T = mostDistantPointFromNeutralAxis(axis, a, 0, true, L);
  CFENodeAnalysis* C = mostDistantPointFromNeutralAxis(axis, a, 0, false, L);
  const double et = T->maxStrain(true, L);
  const double ec = C->maxStrain(false, L);
  *tensionStrain = et;
  *compressionStrain = ec;
  double dt = signedDistanceFromLine(&axis, a, &T->position);
  double dc = std::fabs(signedDistanceFromLine(&axis, a, &C->position));
  if (et > 0.5 || std::fabs(ec) > 0.5)
    throw std::logic_error("The Ramberg-Osgood parameters give an ulimate strain of > .5.  Unable to analyze");
  auto limit = [&]() {
    double e = limitingStrain(et, ec, dt, dc);
    computeMaxTensileStrainFromCriticalPoints(axis, angle, dt, et, &e);
    return e;
  };
  double e = limit();
  Point<double> Tpos = T->position;
  double F = 0.0, Mna = 0.0, Mx = 0.0, My = 0.0;
  solvePlasticBendingForces(axis, angle, dt, 0, e, Tpos, L, &F, &Mna, &Mx, &My);
  // Secant on the distance t from the axis to the tension node.
  double t = dt, tNext = 0.95 * dt;
  int step = 0;
  // Written so that a force that is not a number goes on to the step cap.
  while (!(std::fabs(F - P) <= 1e-5)) {
    if (++step > plastic::kStepCap)
      plastic::notConverged("solveBruhnPlasticBending");
    const double d = tNext - t;
    axis = axis - n * d;
    dt += d;
    dc -= d;
    e = limit();
    const double Fprev = F;
    solvePlasticBendingForces(axis, angle, dt, 0, e, Tpos, L, &F, &Mna, &Mx, &My);
    t = tNext;
    // A secant that stalls ends the search; it must have come within
    // rounding of the section's capacity, or P is out of reach.
    if (std::fabs(d) < 1e-8 || std::fabs(F - Fprev) < 1e-8) {
      if (!(std::fabs(F - P) <= 1e-6 * plastic::forceCapacity(*this, L)))
        plastic::notConverged("solveBruhnPlasticBending");
      break;
    }
    tNext = t - (F - P) / ((F - Fprev) / d);
  }
  std::shared_ptr<CLoadCondition> lc = plastic::takeOrMakeLoadCondition(*this, name);
  CSectionForces* sf = lc->scnForcesMutable();
  sf->kind = 6;
  sf->option = L;
  sf->neutralPoint = axis;
  sf->neutralAxisAngle = angle;
  sf->axial = F;
  sf->valueA = Mna;
  sf->Mx = Mx;
  sf->My = My;
  sf->valueB = std::sqrt(Mx * Mx + My * My);
  calcPlasticStressesAtNodes(sf, t, e, L);
  getCriticalPointActuals(sf, t, e);
  maxmin(sf, STRAIN_ZZ);
  maxmin(sf, STRESS_ZZ);
  addDefaultBendingResultLocations(true);
  findNeutralAxisAngle();
  return lc;
}

std::shared_ptr<CLoadCondition> CSubSection::solvePlasticBendingForCentroid(CString& name, Point<double> point,
                                                                           double strain, int, bool L) {
  Point<double> v = point - centroid;
  const double d0 = v.length();
  if (!(d0 > 0.0))
    throw std::logic_error("The strain point must lie off the centroid");
  // The axis runs across v, with the point on its tension (left) side.
  const double angle = counterClockwiseAngle(&v) / kDegToRad - 90.0;
  const Point<double> u = v / d0;
  double F = 0.0, Mna = 0.0, Mx = 0.0, My = 0.0;
  auto forceAt = [&](double d) {
    solvePlasticBendingForces(point - u * d, angle, d, 0, strain, point, L, &F, &Mna, &Mx, &My);
    return F;
  };
  double dPrev = d0, Fprev = forceAt(d0);
  double d = 0.95 * d0;
  forceAt(d);
  for (int step = 0; !(std::fabs(F) <= 1.0); ++step) {
    if (step == plastic::kStepCap || F == Fprev)
      plastic::notConverged("solvePlasticBendingForCentroid");
    const double next = d - F / ((F - Fprev) / (d - dPrev));
    dPrev = d;
    Fprev = F;
    d = next;
    forceAt(d);
  }
  std::shared_ptr<CLoadCondition> lc = plastic::newLoadCondition(*this, name);
  CSectionForces* sf = lc->scnForcesMutable();
  sf->kind = 6;
  sf->option = L;
  sf->neutralPoint = point - u * d;
  sf->axial = F;
  sf->Mx = Mx;
  sf->My = My;
  sf->neutralAxisAngle = angle;
  sf->valueA = Mna;
  sf->valueB = std::sqrt(Mx * Mx + My * My);
  calcPlasticStressesAtNodes(sf, d, strain, L);
  return lc;
}
