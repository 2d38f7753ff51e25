// Cozzone's modulus-of-rupture solutions of a sub-section: the moment and
// fb, the trapezoidal stress field on the FE nodes and the symmetric and
// unsymmetric drivers.
#include <cmath>
#include <stdexcept>

#include "analysis/model/CDot.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/Globals.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/PlasticSolve.h"

namespace {

constexpr double kDegToRad = 0.017453292519943295;

const char* const kNoSingleMaterial = "Section not composed of single material, or material doesn't exist";

const char* const kNotANumber = "Cozzone's method needs values that are numbers";

// fb = F + (k - 1) fo, a tenth of it in SI; M = fb S.
void ruptureMoment(double F, double fo, double k, double S, double* M, double* fb) {
  if (!std::isfinite(F) || !std::isfinite(fo) || !std::isfinite(k) || !std::isfinite(S))
    throw std::logic_error(kNotANumber);
  *fb = F + (k - 1.0) * fo;
  if (gUnitSystem == SI)
    *fb *= 0.1;
  *M = *fb * S;
}

}  // namespace

void CSubSection::isSymmetricAboutECGPrincipalAxes(bool* aboutX, bool* aboutY) const {
  *aboutX = *aboutY = true;
  const Point<double> c = centroid;
  for (const CDot* dot : dots) {
    const Point<double> p = dot->location;
    Point<double> mirrorX(p.x, 2.0 * c.y - p.y, 0.0);
    Point<double> mirrorY(2.0 * c.x - p.x, p.y, 0.0);
    if (findDot(mirrorX) < 0.0)
      *aboutX = false;
    if (findDot(mirrorY) < 0.0)
      *aboutY = false;
  }
}

void CSubSection::cozzoneMethodSoln(double k, double F, double S, bool tension, double* M, double* fb) const {
  ruptureMoment(F, foTanabe(F, tension), k, S, M, fb);
}

void CSubSection::cozzoneMethodSolnGivenfo(double F, double fo, double k, double S, double* M, double* fb) const {
  if (!singleMaterial())
    throw std::logic_error(kNoSingleMaterial);
  ruptureMoment(F, fo, k, S, M, fb);
}

void CSubSection::cozzoneStresses(double fo, double F, double, Point<double>& naPoint, double angle, RESULTS kind,
                                  bool tensionSide) {
  const double a = angle * kDegToRad;
  CFENodeAnalysis* T = mostDistantPointFromNeutralAxis(naPoint, a, 1, true, true);
  CFENodeAnalysis* C = mostDistantPointFromNeutralAxis(naPoint, a, 1, false, true);
  const double lt = std::fabs(signedDistanceFromLine(&naPoint, a, &T->position));
  const double lc = std::fabs(signedDistanceFromLine(&naPoint, a, &C->position));
  for (CMesh* mesh : meshes)
    for (const auto& node : mesh->nodes) {
      const double v = signedDistanceFromLine(&naPoint, a, &node->position);
      if (v > 0.0 && tensionSide)
        node->setResult(kind, v / lt * (F - fo) + fo);
      else if (v < 0.0 && !tensionSide)
        node->setResult(kind, v / lc * (F - fo) - fo);
    }
}

namespace {

// The steps the two Cozzone drivers share: fresh properties, the single
// metal, and the record of the "Cozzone" load condition.
std::shared_ptr<CMetal> cozzoneMetal(CSubSection& s) {
  std::shared_ptr<CMetal> metal = s.singleMaterial();
  if (!metal)
    throw std::logic_error(kNoSingleMaterial);
  return metal;
}

void cozzoneRecord(CSubSection& s, double M) {
  CSectionForces* sf = plastic::takeOrMakeLoadCondition(s, L"Cozzone")->scnForcesMutable();
  sf->name = L"Cozzone";
  sf->option = true;
  sf->kind = 7;
  sf->valueA = M;
  sf->valueB = M;
}

// Fresh properties; the modulus-weighted principal angle.
double freshPrincipalAngle(CSubSection& s) {
  s.scnPrpUTD(false);
  if (!s.computeProperties())
    throw std::logic_error("Section properties calculation failed");
  s.scnPrpUTD(true);
  return s.getValue(40);
}

}  // namespace

void CSubSection::cozzoneMethodSolnsGivenfo(double F, double fo) {
  const std::shared_ptr<CMetal> metal = cozzoneMetal(*this);
  const double p = freshPrincipalAngle(*this);
  const double S = elasticModulusYp;
  const double I = getValue(142);
  PoseGuard pose(this);
  pose.translate(Point<double>(-referencePoint.x, -referencePoint.y, 0.0));
  pose.rotate(0.0, 0.0, -p);
  Point<double> lo, hi;
  extents(&lo, &hi);
  cozzoneLimitingStrain = metal->maxCompressionStrain;
  refreshDots();
  isSymmetricAboutECGPrincipalAxes(&symmetricAboutX, &symmetricAboutY);
  if (!symmetricAboutX)
    throw std::logic_error("Cozzone's method for symmetric sections needs symmetry about the principal x axis");
  solvePlasticValues(false, true);
  const double k = plasticValues[0][1].shapeFactor;
  double M = 0.0, fb = 0.0;
  cozzoneMethodSolnGivenfo(F, fo, k, S, &M, &fb);
  Point<double> na = referencePoint;
  cozzoneStresses(fo, F, fb, na, 0.0, STRESS_ZZ, true);
  cozzoneStresses(fo, F, fb, na, 0.0, STRESS_ZZ, false);
  cozzoneMoment = M;
  cozzoneFb = fb;
  cozzoneRecord(*this, M);
  shearCorrectionFactor(hi.y, na, 0.0, M * hi.y / I, STRESS_ZZ, &shearRatio, &shearQ);
  pose.restore();
  resultKind = 3;
  refreshDots();
}

void CSubSection::cozzoneUnsymmetricMethod(double y, double strain) {
  // A strain that is not a number would silently give way to the limit.
  if (!std::isfinite(y) || !std::isfinite(strain))
    throw std::logic_error(kNotANumber);
  const std::shared_ptr<CMetal> metal = cozzoneMetal(*this);
  const double p = freshPrincipalAngle(*this);
  const double I = getValue(142);
  PoseGuard pose(this);
  pose.translate(Point<double>(-centroid.x, -y, 0.0));
  pose.rotate(0.0, 0.0, -p);
  Point<double> lo, hi;
  extents(&lo, &hi);
  cozzoneLimitingStrain = metal->maxCompressionStrain;
  refreshDots();
  double r[12];
  calcAreaAndForceAboutLine(true, Point<double>(lo.x - 1.0, 0.0, 0.0), Point<double>(hi.x + 1.0, 0.0, 0.0), &r[0],
                            &r[1], &r[2], &r[3], &r[4], &r[5], &r[6], &r[7], &r[8], &r[9], &r[10], &r[11]);
  // The extreme fibres lie on either side of the axis y = 0 (their
  // magnitudes alone would take an axis below the section for one inside).
  const double ct = hi.y, cc = -lo.y;
  if (!(ct > 0.0) || !(cc > 0.0) || !(r[4] > 0.0))
    throw std::logic_error("The neutral axis of Cozzone's method must cross the section");
  // The given strain governs while the metal's limit is not reached (a
  // metal without a limit, 0 or less, never reaches it); the limit governs
  // otherwise, and the tension side follows the same linear field. The
  // strain counts by its size: a compression strain given negative is the
  // same strain (its sign would turn both stresses round).
  const double limit = cozzoneLimitingStrain;
  const double governing = !(limit > 0.0) || limit * ct / cc > std::fabs(strain) ? std::fabs(strain) : limit;
  cozzoneLimitingStrain = governing;
  const double s1 = solveRambergOsgoodForStress(metal.get(), ct / cc * governing, true, true);
  const double fo1 = foTanabe(s1, true);
  const double St = r[4] / ct;
  const double k = r[2] / St;
  const double fb1 = (k - 1.0) * fo1 + s1;
  const double M1 = fb1 * St;
  Point<double> na(0.0, 0.0, 0.0);
  cozzoneStresses(fo1, s1, fb1, na, 0.0, STRESS_ZZ, true);
  const double s2 = solveRambergOsgoodForStress(metal.get(), cozzoneLimitingStrain, true, true);
  const double fo2 = foTanabe(s2, false);
  const double fb2 = (k - 1.0) * fo2 + s2;
  const double M = fb2 * r[10] / cc + M1;
  cozzoneStresses(fo2, s2, fb2, na, 0.0, STRESS_ZZ, false);
  cozzoneMoment = M;
  cozzoneFb = fb2;
  cozzoneRecord(*this, M);
  shearCorrectionFactor(y, centroid, 0.0, M * y / I, STRESS_ZZ, &shearRatio, &shearQ);
  pose.restore();
  resultKind = 3;
  refreshDots();
}
