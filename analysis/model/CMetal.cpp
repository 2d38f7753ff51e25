// Metals: construction, Ramberg-Osgood queries, compliance and stiffness,
// unit conversion, the archive record and the material-database record.
#include "analysis/model/CMetal.h"

#include <cmath>

#include "analysis/model/Units.h"
#include "platform/core/CArchive.h"

IMPLEMENT_SERIAL(CMetal, CMaterial, 1)

namespace {

// Preset of the two values CMaterial carries for every metal.
constexpr double kMetalExtra = -1000.0;
// Filler values that close the archive record.
constexpr int kFillerDoubleCount = 11;
constexpr double kFillerDouble = 101010101.0;
constexpr int kFillerInt = 1010101;
constexpr const wchar_t* kFillerText = L"DummyString";

// Offset of a strain from the elastic line at the yield stress.
constexpr double kYieldOffset = 0.002;

// Index of a Ramberg-Osgood case: L tension, LT tension, L compression, LT
// compression.
int caseIndex(bool tension, bool longitudinal) {
  return (tension ? 0 : 2) + (longitudinal ? 0 : 1);
}

// Factors of one kind of quantity: towards US inch a value becomes
// v * toUSMul / toUSDiv, towards SI-cm v * toSIMul.
struct ConversionFactors {
  double toUSMul;
  double toUSDiv;
  double toSIMul;
};

// kPa <-> psi: also the unit conversion's own factors for that pair.
constexpr ConversionFactors kStress{0.14503773773, 1.0, 6.894757293178};
// g/cm^3 <-> lb/in^3.
constexpr ConversionFactors kDensity{0.03612729, 1.0, 27.6801};
// cm <-> in (2.54 cm per inch exactly).
constexpr ConversionFactors kLength{1.0, 2.54, 2.54};

}  // namespace

CMetal::CMetal() {
  colour = std::make_unique<LightProperties>();
  extra1 = kMetalExtra;
  extra2 = kMetalExtra;
}

CMetal::CMetal(const CString& metalName, double modulus, double shear, double poissons,
               double massDensity, double fsy, double fcy, double fty, double fsu, double fcu,
               double ftu, double nYieldTensionL, double nYieldTensionLT,
               double nYieldCompressionL, double /*unused*/)
    : CMetal() {
  name = metalName;
  m_E = Ec = modulus;
  G = shear;
  m_nu = poissons;
  m_density = massDensity;
  Fsy_L = Fsy_LT = fsy;
  Fcy_L = Fcy_LT = fcy;
  Fty_L = Fty_LT = fty;
  Fsu_L = Fsu_LT = fsu;
  Fcu_L = Fcu_LT = fcu;
  Ftu_L = Ftu_LT = ftu;
  nYield[0] = nYieldTensionL;
  nYield[1] = nYieldTensionLT;
  nYield[2] = nYieldCompressionL;
}

CMetal::~CMetal() = default;

void CMetal::convertUnits(bool toUSCS) {
  // Ftu_LT and the bearing values convert through the unit conversion's kPa
  // and psi pair, whose factors are the same as the other stresses'.
  struct Entry {
    double CMetal::*member;
    const ConversionFactors* factors;
  };
  static constexpr Entry kConverted[] = {
      {&CMetal::m_E, &kStress},     {&CMetal::Ec, &kStress},      {&CMetal::G, &kStress},
      {&CMetal::Fsy_L, &kStress},   {&CMetal::Fcy_L, &kStress},   {&CMetal::Fty_L, &kStress},
      {&CMetal::Fsu_L, &kStress},   {&CMetal::Fcu_L, &kStress},   {&CMetal::Ftu_L, &kStress},
      {&CMetal::Fsy_LT, &kStress},  {&CMetal::Fcy_LT, &kStress},  {&CMetal::Fty_LT, &kStress},
      {&CMetal::Fsu_LT, &kStress},  {&CMetal::Fcu_LT, &kStress},  {&CMetal::Ftu_LT, &kStress},
      {&CMetal::Fbru15, &kStress},  {&CMetal::Fbru20, &kStress},  {&CMetal::Fbry15, &kStress},
      {&CMetal::Fbry20, &kStress},  {&CMetal::m_density, &kDensity},
      {&CMetal::thickness, &kLength},
  };
  for (const Entry& e : kConverted) {
    double& v = this->*e.member;
    if (!isMaterialValueSet(v)) continue;
    v = toUSCS ? v * e.factors->toUSMul / e.factors->toUSDiv : v * e.factors->toSIMul;
  }
}

void CMetal::convertUSCSinToSIcm() { convertUnits(false); }

void CMetal::convertSIcmToUSCSin() { convertUnits(true); }

void CMetal::write(CArchive& ar) {
  ar << name << family << form << spec << uns << temper << size << units;
  ar << m_E << G << m_nu << m_density;
  ar << Fsy_L << Fcy_L << Fty_L << Fsu_L << Fcu_L << Ftu_L;
  ar << valid();
  ar << Ec;
  ar << Fsy_LT << Fcy_LT << Fty_LT << Fsu_LT << Fcu_LT << Ftu_LT;
  ar << valid();
  ar.WriteObject(colour.get());
  for (int i = 0; i < kFillerDoubleCount; ++i) ar << kFillerDouble;
  ar << kFillerInt;
  ar << CString(kFillerText);
}

void CMetal::read(CArchive& ar) {
  ar >> name >> family >> form >> spec >> uns >> temper >> size >> units;
  ar >> m_E >> G >> m_nu >> m_density;
  ar >> Fsy_L >> Fcy_L >> Fty_L >> Fsu_L >> Fcu_L >> Ftu_L;
  int flag = 0;
  ar >> flag;
  valid(flag);
  ar >> Ec;
  ar >> Fsy_LT >> Fcy_LT >> Fty_LT >> Fsu_LT >> Fcu_LT >> Ftu_LT;
  ar >> flag;
  valid(flag);

  // The stored colour is not taken over: the metal shows the default one.
  // The object read stays alive as the metal's colour, reset to the
  // defaults, because the archive keeps its address for back-references.
  // The metal owns it, so it is read through the owning call: a colour
  // that another metal or reader already holds is refused.
  CObject* stored = ar.ReadOwned(RUNTIME_CLASS(LightProperties));
  if (stored != nullptr) {
    colour.reset(static_cast<LightProperties*>(stored));
    *colour = LightProperties();
  } else {
    colour = std::make_unique<LightProperties>();
  }

  double fillerDouble = 0.0;
  for (int i = 0; i < kFillerDoubleCount; ++i) ar >> fillerDouble;
  int fillerInt = 0;
  ar >> fillerInt;
  CString fillerText;
  ar >> fillerText;
}

void CMetal::computeStiffnessCompliance() {
  complianceMatrix = compliance();
  stiffnessMatrix = stiffness();
}

double CMetal::yieldStress(bool tension, bool longitudinal) const {
  if (tension) return longitudinal ? Fty_L : Fty_LT;
  return longitudinal ? Fcy_L : Fcy_LT;
}

double CMetal::ultimateStress(bool tension, bool longitudinal) const {
  if (tension) return longitudinal ? Ftu_L : Ftu_LT;
  return longitudinal ? Fcu_L : Fcu_LT;
}

double CMetal::youngsModulus(bool tension, bool /*longitudinal*/) const {
  if (tension) return m_E;
  return Ec > 0.0 ? Ec : m_E;
}

double CMetal::plasticAlpha(bool tension, bool longitudinal) const {
  return alpha[caseIndex(tension, longitudinal)];
}

double CMetal::plasticUltimateExponent(bool tension, bool longitudinal) const {
  return nUltimate[caseIndex(tension, longitudinal)];
}

double CMetal::plasticExponent(double strain, bool tension, bool longitudinal) const {
  const int c = caseIndex(tension, longitudinal);
  const double yieldStrain = plasticYieldStrain(tension, longitudinal);
  return std::fabs(strain) > std::fabs(yieldStrain) ? nUltimate[c] : nYield[c];
}

double CMetal::plasticYieldStrain(bool tension, bool longitudinal) const {
  return yieldStress(tension, longitudinal) / youngsModulus(tension, longitudinal) + kYieldOffset;
}

double CMetal::plasticUltimateStrain(bool tension, bool longitudinal) const {
  const double fy = yieldStress(tension, longitudinal);
  const double fu = ultimateStress(tension, longitudinal);
  const double n = plasticUltimateExponent(tension, longitudinal);
  return fu / youngsModulus(tension, longitudinal) +
         plasticAlpha(tension, longitudinal) * std::pow(fu / fy, n);
}

double CMetal::minYield(bool longitudinal) const {
  const double tension = longitudinal ? Fty_L : Fty_LT;
  const double compression = longitudinal ? Fcy_L : Fcy_LT;
  return compression < tension ? compression : tension;
}

double CMetal::Fcy(bool longitudinal) const {
  if (!longitudinal) return Fcy_LT;
  return Fcy_L > 0.0 ? Fcy_L : -1.0;
}

double CMetal::poisson(double E, double G) { return E / (2.0 * G) - 1.0; }

Matrix CMetal::compliance() const {
  Matrix c(6, 6);
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) c.ref(i, j) = i == j ? 1.0 / m_E : -m_nu / m_E;
    c.ref(i + 3, i + 3) = 2.0 * (1.0 + m_nu) / m_E;
  }
  return c;
}

Matrix CMetal::stiffness() const {
  Matrix c = compliance();
  return c.inverse();
}

std::array<double*, CMetal::kRecordValueCount> CMetal::recordValues(double* rgb) {
  return {&m_E,       &Ec,        &m_density, &thickness, &Ftu_L,    &Ftu_LT,
          &Fty_L,     &Fty_LT,    &Fcy_L,     &Fcy_LT,    &Fcu_L,    &Fcu_LT,
          &Fsu_LT,    &Fsu_L,     &m_nu,      &G,         &Fbru15,   &Fbru20,
          &Fbry15,    &Fbry20,    &rgb[0],    &rgb[1],    &rgb[2],   &alpha[0],
          &alpha[1],  &alpha[2],  &alpha[3],  &nYield[0], &nYield[1], &nYield[2],
          &nYield[3], &nUltimate[0], &nUltimate[1], &nUltimate[2], &nUltimate[3],
          &maxTensileStrain, &maxCompressionStrain};
}

void CMetal::setColour(double red, double green, double blue) {
  colour = std::make_unique<LightProperties>(static_cast<float>(red), static_cast<float>(green),
                                             static_cast<float>(blue));
}
