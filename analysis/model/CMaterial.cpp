// The material base: serialisation dispatch, compliance terms and the
// "not defined" property getters.
#include "analysis/model/CMaterial.h"

#include <cmath>

#include "platform/core/CArchive.h"

IMPLEMENT_SERIAL(CMaterial, CObject, 1)

namespace {

// What a material without the property answers.
constexpr double kNotDefined = -1.0;

}  // namespace

bool isMaterialValueSet(double value) {
  // Truncate in floating point: a cast to int is undefined outside its range.
  return std::trunc(value) != kNoMaterialValue;
}

CMaterial::CMaterial() = default;

CMaterial::CMaterial(const CMaterial& other)
    : CObject(other),
      name(other.name),
      colour(other.colour ? std::make_unique<LightProperties>(*other.colour) : nullptr),
      complianceMatrix(other.complianceMatrix),
      stiffnessMatrix(other.stiffnessMatrix),
      extra1(other.extra1),
      extra2(other.extra2),
      m_valid(other.m_valid) {}

CMaterial& CMaterial::operator=(const CMaterial& other) {
  if (this == &other) return *this;
  name = other.name;
  colour = other.colour ? std::make_unique<LightProperties>(*other.colour) : nullptr;
  complianceMatrix = other.complianceMatrix;
  stiffnessMatrix = other.stiffnessMatrix;
  extra1 = other.extra1;
  extra2 = other.extra2;
  m_valid = other.m_valid;
  return *this;
}

CMaterial::~CMaterial() = default;

void CMaterial::Serialize(CArchive& ar) {
  if (ar.IsLoading())
    read(ar);
  else
    write(ar);
}

void CMaterial::convertUSCSinToSIcm() {}
void CMaterial::convertSIcmToUSCSin() {}
void CMaterial::read(CArchive&) {}
void CMaterial::write(CArchive&) {}
void CMaterial::computeStiffnessCompliance() {}

double CMaterial::av66() {
  const double c25 = complianceAt(2, 5);
  return complianceAt(2, 2) - c25 * c25 / complianceAt(5, 5);
}

double CMaterial::torqueOffset() const { return -complianceAt(2, 5) / complianceAt(5, 5); }

double CMaterial::bendingOffset() const { return -complianceAt(0, 3) / complianceAt(3, 3); }

double CMaterial::E() { return kNotDefined; }
double CMaterial::E1() { return kNotDefined; }
double CMaterial::E2() { return kNotDefined; }
double CMaterial::Ecx() { return kNotDefined; }
double CMaterial::Ecy() { return kNotDefined; }
double CMaterial::Gbend() { return kNotDefined; }
double CMaterial::Gshear() { return kNotDefined; }
double CMaterial::density() { return kNotDefined; }
double CMaterial::Fsy() { return kNotDefined; }
double CMaterial::Fcy() { return kNotDefined; }
double CMaterial::Fty() { return kNotDefined; }
double CMaterial::Fsu() { return kNotDefined; }
double CMaterial::Fcu() { return kNotDefined; }
double CMaterial::Ftu() { return kNotDefined; }
double CMaterial::nu() { return kNotDefined; }
double CMaterial::nu1() { return kNotDefined; }
double CMaterial::nu2() { return kNotDefined; }
