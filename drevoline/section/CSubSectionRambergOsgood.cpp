// The Ramberg-Osgood curve of a metal turned round (stress for a strain),
// Tanabe's fo and the exponents of the section's single metal.
#include <cmath>
#include <stdexcept>

#include "analysis/model/CMetal.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/PlasticSolve.h"

namespace {

// Places of the exponent arrays: tension L and compression L.
constexpr int kTensionL = 0;
constexpr int kCompressionL = 2;

// Ramberg-Osgood strain of stress s: s / E + alpha (s / Fy)^n.
double rambergOsgoodStrain(double s, double E, double alpha, double Fy, double n) {
  return s / E + alpha * std::pow(s / Fy, n);
}

}  // namespace

double CSubSection::solveRambergOsgoodForStress(const CMetal* const metal, double strain, bool tension,
                                                bool L) const {
  const double e = std::fabs(strain);
  const double ey = metal->plasticYieldStrain(tension, L);
  const double n = metal->plasticExponent(strain, tension, L);
  const double Fu = metal->ultimateStress(tension, L);
  const double Fy = metal->yieldStress(tension, L);
  const double E = metal->youngsModulus(tension, L);
  const double alpha = metal->plasticAlpha(tension, L);
  if (Fy > Fu)
    throw std::logic_error("Material isn't defined properly, the yield stress for material is greater than ultimate ");
  // A value not set holds -99999, which passes a test on the magnitude
  // alone: negative stresses count as undefined too.
  if (!(Fy >= 4.0) || !(Fu >= 4.0) || !(E >= 4.0))
    throw std::logic_error(
        "Plastic analysis requires that the Ftu,Fcu,Fty,Fcy,E all be defined in the material specification.");
  double lo = ey > e ? 0.0 : Fy;
  double hi = ey > e ? Fy : Fu;
  for (int i = 0; i < 1000; ++i) {
    if (hi > Fu)
      throw std::logic_error("Ramberg Osgood method is not converging");
    const double s = (lo + hi) / 2.0;
    const double eps = rambergOsgoodStrain(s, E, alpha, Fy, n);
    if (std::fabs(eps - e) < 1e-8)
      return strain < 0.0 ? -s : s;
    if (e > eps)
      lo = s;
    else
      hi = s;
  }
  throw std::logic_error("Unable to solve for Ramberg Osgood stress value");
}

double CSubSection::solveStressGivenStrain(double strain, bool) const {
  const std::shared_ptr<CMetal> metal = singleMaterial();
  if (!metal)
    throw std::logic_error("Applies to single material only");
  return solveRambergOsgoodForStress(metal.get(), strain, strain >= 0.0, true);
}

double CSubSection::solveStressGivenStrain(double Fy, double strain, double E, double n) const {
  if (!(E > 0.0) || !(Fy > 0.0) || !(n > 0.0))
    throw std::logic_error("Not all required values from the database are defined");
  const std::shared_ptr<CMetal> metal = singleMaterial();
  const double e = std::fabs(strain);
  double s = Fy;
  for (int step = 0; step < plastic::kStepCap; ++step) {
    // The single metal's exponent of the branch s lies on; without one
    // the caller's n (the metal's -99999 would make the curve meaningless).
    const double m = metal ? (metal->Fty_L > s ? metal->nYield[kTensionL] : metal->nUltimate[kTensionL]) : n;
    const double g = std::pow(s / Fy, m);
    const double r = s / E + 0.002 * g - e;
    if (std::fabs(r) <= 1e-12)
      return strain > 0.0 ? s : -s;
    s -= r / (m * 0.002 * g / s + 1.0 / E);
    if (!std::isfinite(s))
      break;
  }
  plastic::notConverged("solveStressGivenStrain");
}

double CSubSection::calcN() const {
  const std::shared_ptr<CMetal> metal = singleMaterial();
  if (!metal)
    throw std::logic_error("Section not composed of single material, or material doesn't exist");
  const double Ftu = metal->Ftu_L;
  const double E = metal->E();
  return std::log((metal->maxTensileStrain - Ftu / E) / 0.002) / std::log(Ftu / metal->Fty_L);
}

double CSubSection::databaseN(int which, double s) const {
  const std::shared_ptr<CMetal> metal = singleMaterial();
  if (!metal || (which != 0 && which != 1))
    return kNoMaterialValue;
  const double Fy = which == 0 ? metal->Fty_L : metal->Fcy_L;
  const int c = which == 0 ? kTensionL : kCompressionL;
  return s < Fy ? metal->nYield[c] : metal->nUltimate[c];
}

double CSubSection::foTanabe(double F, bool tension) const {
  const std::shared_ptr<CMetal> metal = singleMaterial();
  if (!metal)
    throw std::logic_error("Section not composed of single material, or material doesn't exist");
  const double E = metal->youngsModulus(tension, true);
  const double Fy = metal->yieldStress(tension, true);
  const double Fu = metal->ultimateStress(tension, true);
  double n = tension ? databaseN(0, F) : (F < metal->Fcy_L ? metal->nYield[kCompressionL] : metal->nUltimate[kCompressionL]);
  if (n == 0.0)
    n = calcN();
  if (!(E > 0.0) || !(Fy > 0.0) || !(Fu > 0.0) || !(n > 0.0))
    throw std::logic_error("Not all required values from the database are defined");
  const double p = 0.002 * std::pow(F / Fy, n);
  const double eF = F / E;
  const double em = eF + p;
  const double em2 = em * em;
  const double fo =
      6.0 * F / em2 * ((n + 1.0) / (n + 2.0) * p * eF + eF * eF / 3.0 + n / (2.0 * n + 1.0) * p * p - em2 / 3.0);
  // F = 0 leaves no strain to divide by.
  if (!std::isfinite(fo))
    throw std::logic_error("Computation of fo failed.");
  return fo;
}
