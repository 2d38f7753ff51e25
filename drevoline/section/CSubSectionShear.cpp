// Bending shear of a sub-section: the shear correction of Cozzone's stress
// field, the Cozzone shear stress and V Q / (I b) of a shape.
#include <cmath>
#include <stdexcept>

#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CSectionForces.h"
#include "analysis/model/Globals.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"

namespace {

constexpr double kDegToRad = 0.017453292519943295;

// The section forces of the load condition of that name.
const CSectionForces& forcesNamed(const CSubSection& s, const CString& name) {
  const CLoadCondition* lc = s.findLoadConditionMutable(name);
  if (lc == nullptr || lc->scnForces() == nullptr)
    throw std::logic_error("Load condition not found");
  return *lc->scnForces();
}

}  // namespace

void CSubSection::shearCorrectionFactor(double c, Point<double> naPoint, double angle, double f, RESULTS kind,
                                        double* ratio, double* Q) const {
  *Q = 0.0;
  double actual = 0.0, linear = 0.0;
  const double a = angle * kDegToRad;
  for (const CMesh* mesh : meshes)
    for (const auto& e : mesh->trng3Elements) {
      const Point<double> centre = e->center();
      const double d = signedDistanceFromLine(&naPoint, a, &centre);
      if (!(d > 0.0))
        continue;
      const double A = e->area();
      actual += A * e->averageValue(kind);
      linear += d / c * f * A;
      *Q += A * d;
    }
  if (gUnitSystem == SI)
    linear *= 10.0;
  if (linear == 0.0)
    throw std::logic_error("No linear stress above the neutral axis for the shear correction");
  *ratio = actual / linear;
}

double CSubSection::cozzoneShear(double V, double b, bool) const {
  const double tau = V * shearRatio * shearQ / (getValue(142) * b);
  return gUnitSystem == SI ? tau * 10.0 : tau;
}

double CSubSection::shapeQ(CString loadCondition, CShapeAnalysis* shape) {
  const CSectionForces& sf = forcesNamed(*this, loadCondition);
  shape->areaProperties();
  return (shape->centroidA.y - sf.neutralPoint.y) * shape->areaA() * shape->nE();
}

double CSubSection::shapeVQIxb(CString loadCondition, CShapeAnalysis* shape, double V, double b) {
  return shapeQ(loadCondition, shape) * V / (getValue(76) * b);
}
