// Plastic bending for given moments: the neutral axis's angle and its
// distance from the tension node are solved together so that the resultant
// moments take the direction of the given ones with the given axial force.
#include <cmath>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "analysis/geometry/Matrix.h"
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
const char* const kOperation = "solvePlasticBendingForAngleCentroid";

// What one trial of the axis gives.
struct Trial {
  double Mx = 0.0, My = 0.0, P = 0.0;
  Point<double> axisPoint;
  double strain = 0.0;
  double residual[2] = {0.0, 0.0};
};

}  // namespace

std::shared_ptr<CLoadCondition> CSubSection::solvePlasticBendingForAngleCentroid(CString name, CSectionForces* forces,
                                                                                bool L) {
  const double targetMx = forces->Mx, targetMy = forces->My, targetP = forces->axial;
  const double targetM = std::hypot(targetMx, targetMy);
  if (!(targetM > 0.0))
    throw std::logic_error("Plastic bending needs a moment");
  calcNeutralAxisAngle(forces, false);
  const double forceScale = plastic::forceCapacity(*this, L);
  if (!(forceScale > 0.0))
    throw std::logic_error("material not found");

  // The axis at `angle` degrees, `t` from the tension node on its
  // compression side, with the limiting strain at that node.
  auto trial = [&](double angle, double t) {
    const double a = angle * kDegToRad;
    Point<double> c = centroid;
    CFENodeAnalysis* T = mostDistantPointFromNeutralAxis(c, a, 0, true, L);
    CFENodeAnalysis* C = mostDistantPointFromNeutralAxis(c, a, 0, false, L);
    const double et = T->maxStrain(true, L), ec = C->maxStrain(false, L);
    const double depth = signedDistanceFromLine(&c, a, &T->position) + std::fabs(signedDistanceFromLine(&c, a, &C->position));
    if (!(t > 0.0) || !(t < depth))
      plastic::notConverged(kOperation);
    const double dc = depth - t;
    Trial r;
    r.axisPoint = T->position - Point<double>(-std::sin(a), std::cos(a), 0.0) * t;
    r.strain = ec < dc * et / t ? t * ec / dc : et;
    computeMaxTensileStrainFromCriticalPoints(r.axisPoint, angle, t, et, &r.strain);
    forces->neutralPoint = r.axisPoint;
    forces->neutralAxisAngle = angle;
    calcPlasticStressesAtNodes(forces, t, r.strain, L);
    calcResultantMomentsForces(&r.Mx, &r.My, &r.P);
    const double M = std::hypot(r.Mx, r.My);
    // The sine of the angle between the moments, and the force misfit.
    r.residual[0] = M > 0.0 ? (r.Mx * targetMy - r.My * targetMx) / (M * targetM) : 1.0;
    r.residual[1] = (r.P - targetP) / forceScale;
    return r;
  };
  auto converged = [&](const Trial& r) {
    const bool sameSense = r.Mx * targetMx + r.My * targetMy > 0.0;
    return sameSense && std::fabs(r.residual[0]) <= 1e-5 && std::fabs(r.residual[1]) <= 1e-5;
  };

  // The distance of the tension node from the axis through the centroid.
  auto tensionDistance = [&](double angle) {
    Point<double> c = centroid;
    CFENodeAnalysis* T = mostDistantPointFromNeutralAxis(c, angle * kDegToRad, 0, true, L);
    return signedDistanceFromLine(&c, angle * kDegToRad, &T->position);
  };
  double angle = forces->neutralAxisAngle;
  double t = tensionDistance(angle);
  Trial now = trial(angle, t);
  // The elastic angle fixes the axis, not which side is in tension: a
  // resultant against the given moments turns the axis half round.
  if (now.Mx * targetMx + now.My * targetMy < 0.0) {
    angle += 180.0;
    t = tensionDistance(angle);
    now = trial(angle, t);
  }
  for (int step = 0; !converged(now); ++step) {
    if (step == plastic::kStepCap)
      plastic::notConverged(kOperation);
    // Finite differences: the angle by x 1.1 (0.1 degree about 0), the
    // distance by x 1.01.
    const double ha = std::fabs(angle) > 1e-3 ? 0.1 * angle : 0.1;
    const double ht = 0.01 * t;
    const Trial byAngle = trial(angle + ha, t);
    const Trial byDistance = trial(angle, t + ht);
    Matrix J(2, 2);
    for (int i = 0; i < 2; ++i) {
      J.ref(i, 0) = (byAngle.residual[i] - now.residual[i]) / ha;
      J.ref(i, 1) = (byDistance.residual[i] - now.residual[i]) / ht;
    }
    Matrix inverse;
    try {
      inverse = J.inverse();
    } catch (const char* text) {
      if (std::strcmp(text, "Matrix is singular") != 0)
        throw;
      plastic::notConverged(kOperation);
    }
    Matrix r(2, 1);
    r.ref(0, 0) = now.residual[0];
    r.ref(1, 0) = now.residual[1];
    const Matrix step2 = inverse * r;
    // A Newton step, kept to a sensible change of the axis.
    const double da = std::max(-30.0, std::min(30.0, -step2(0, 0)));
    double dt = -step2(1, 0);
    if (t + dt <= 0.0)
      dt = -t / 2.0;
    angle += da;
    t += dt;
    now = trial(angle, t);
  }

  plastic::newLoadCondition(*this, name);
  std::shared_ptr<CLoadCondition> lc = curAppLC();
  forces->kind = 6;
  forces->option = L;
  forces->neutralAxisAngle = angle;
  forces->neutralPoint = now.axisPoint;
  forces->resultantMx = now.Mx;
  forces->resultantMy = now.My;
  forces->resultantForce = now.P;
  forces->valueB = std::hypot(now.Mx, now.My);
  CSectionForces* sf = lc->scnForcesMutable();
  *sf = *forces;
  sf->name = name;
  sf->neutralAxisAngle = angle;
  sf->neutralPoint = now.axisPoint;
  sf->resultantMx = now.Mx;
  sf->resultantMy = now.My;
  sf->resultantForce = now.P;
  sf->valueB = forces->valueB;
  return lc;
}
