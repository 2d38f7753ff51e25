// Sub-section base: section-value guards, radii of gyration, principal-axis
// transforms and unit labels.
#include "analysis/model/CBaseSubSection.h"

#include <cmath>
#include <span>
#include <stdexcept>

#include "analysis/model/CDot.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/CResultLocation.h"
#include "analysis/model/CSectionForces.h"
#include "analysis/model/Globals.h"
#include "analysis/model/Utilities.h"

namespace {

constexpr double kDegToRad = 0.017453292519943295;

// How a radius of gyration treats a vanishing weight: the E and A families
// answer 0 below 1e-6, the M family -1 when the mass is not positive.
enum class WeightGuard { belowTiny, notPositive };

// A radius of gyration: sqrt((value i1 + value i2) / value w); i2 is 0 for
// a radius about one axis.
struct RadiusRow {
  SectionValue i1;
  SectionValue i2;
  SectionValue w;
  WeightGuard guard;
};

constexpr WeightGuard kE = WeightGuard::belowTiny;
constexpr WeightGuard kA = WeightGuard::belowTiny;
constexpr WeightGuard kM = WeightGuard::notPositive;

enum RadiusKind {
  kIrxE, kIryE, kIrxEA, kIryEA, kIrxpE, kIrypE,
  kIrxM, kIryM, kIrxMA, kIryMA, kIrxpM, kIrypM,
  kIrxA, kIryA, kIrxAA, kIryAA, kIrxpA, kIrypA,
  kIrE, kIrEA, kIrA, kIrAA, kIrM, kIrMA,
};

constexpr RadiusRow kRadiusTable[] = {
    {76, 0, 18, kE},   {74, 0, 18, kE},   {86, 0, 18, kE},   {87, 0, 18, kE},   {142, 0, 18, kE},  {141, 0, 18, kE},
    {66, 0, 20, kM},   {68, 0, 20, kM},   {92, 0, 20, kM},   {93, 0, 20, kM},   {143, 0, 20, kM},  {144, 0, 20, kM},
    {60, 0, 17, kA},   {62, 0, 17, kA},   {78, 0, 17, kA},   {79, 0, 17, kA},   {145, 0, 17, kA},  {146, 0, 17, kA},
    {74, 76, 18, kE},  {86, 87, 18, kE},  {60, 62, 17, kA},  {78, 79, 17, kA},  {66, 68, 20, kM},  {92, 93, 20, kM},
};

double radiusOfGyration(const CBaseSubSection& s, RadiusKind kind) {
  const RadiusRow& row = kRadiusTable[kind];
  const double w = s.getValue(row.w);
  if (row.guard == WeightGuard::belowTiny && w < 1e-6)
    return 0.0;
  if (row.guard == WeightGuard::notPositive && !(w > 0.0))
    return -1.0;
  const double i = row.i2 == 0 ? s.getValue(row.i1) : s.getValue(row.i1) + s.getValue(row.i2);
  return std::sqrt(i / w);
}

// Unit forms of section values; L is the length label, M the modulus label.
enum class UnitForm { length, area, volume, fourth, sixth, degrees, modulus, lengthModulus, modulusPerVolume };

constexpr int kLengthCodes[] = {32,  33,  112, 113, 132, 133, 135, 136, 138, 139, 160,
                                161, 175, 176, 184, 185, 186, 187, 188, 194, 195};
constexpr int kAreaCodes[] = {17, 18, 19, 21, 190, 191, 192, 193, 196, 197};
constexpr int kVolumeCodes[] = {22, 23, 24, 25, 26, 122, 123, 154, 155, 156, 157, 158, 159, 203, 204};
constexpr int kFourthCodes[] = {5,  60, 61, 62, 63, 66,  67,  68,  69,  74,  75,  76,  77,  78,  81,
                                86, 87, 88, 89, 93, 95, 118, 119, 141, 142, 147, 148, 152, 153, 189};
constexpr int kSixthCodes[] = {28, 29, 46, 50, 51, 205};
constexpr int kDegreeCodes[] = {39, 40, 41};
constexpr int kModulusCodes[] = {42, 43, 44};
constexpr int kLengthModulusCodes[] = {198, 199, 200};
constexpr int kModulusPerVolumeCodes[] = {202};

struct UnitGroup {
  UnitForm form;
  std::span<const int> codes;
};

constexpr UnitGroup kUnitGroups[] = {
    {UnitForm::length, kLengthCodes},
    {UnitForm::area, kAreaCodes},
    {UnitForm::volume, kVolumeCodes},
    {UnitForm::fourth, kFourthCodes},
    {UnitForm::sixth, kSixthCodes},
    {UnitForm::degrees, kDegreeCodes},
    {UnitForm::modulus, kModulusCodes},
    {UnitForm::lengthModulus, kLengthModulusCodes},
    {UnitForm::modulusPerVolume, kModulusPerVolumeCodes},
};

const UnitGroup* unitGroupOf(int code) {
  for (const UnitGroup& group : kUnitGroups)
    for (int c : group.codes)
      if (c == code)
        return &group;
  return nullptr;
}

CString unitLabel(UnitForm form, const CString& L, const CString& M) {
  switch (form) {
    case UnitForm::length:
      return L;
    case UnitForm::area:
      return L + L"\u00b2";
    case UnitForm::volume:
      return L + L"\u00b3";
    case UnitForm::fourth:
      return L + L"\u2074";
    case UnitForm::sixth:
      return L + L"\u2076";
    case UnitForm::degrees:
      return CString(L"degs");
    case UnitForm::modulus:
      return M;
    case UnitForm::lengthModulus:
      return L + M;
    case UnitForm::modulusPerVolume:
      return M + L"/" + L + L"\u00b3";
  }
  return CString();
}

// Rotation of (x, y) into axes turned by theta radians.
void rotateInto(double theta, double x, double y, Point<double>* out) {
  const double c = std::cos(theta);
  const double s = std::sin(theta);
  out->x = c * x + s * y;
  out->y = c * y - s * x;
}

}  // namespace

CBaseSubSection::CBaseSubSection() : m_name(nameGen()) {}

CBaseSubSection::~CBaseSubSection() {
  for (CResultLocation* r : resultLocations)
    delete r;
  for (CDot* d : dots)
    delete d;
  for (CriticalPoint* p : criticalPoints)
    delete p;
  for (CObject* o : extremeValues)
    delete o;
}

double CBaseSubSection::getValue(SectionValue) const { throw std::logic_error("Never call this"); }

double CBaseSubSection::Emin() const { throw std::logic_error("Uncallable function"); }

bool CBaseSubSection::isDensityDefined() const { throw std::logic_error("Never call me again."); }

bool CBaseSubSection::isFcyDefined() const { throw std::logic_error("Never call me again."); }

double CBaseSubSection::IrxE() const { return radiusOfGyration(*this, kIrxE); }
double CBaseSubSection::IryE() const { return radiusOfGyration(*this, kIryE); }
double CBaseSubSection::IrxEA() const { return radiusOfGyration(*this, kIrxEA); }
double CBaseSubSection::IryEA() const { return radiusOfGyration(*this, kIryEA); }
double CBaseSubSection::IrxpE() const { return radiusOfGyration(*this, kIrxpE); }
double CBaseSubSection::IrypE() const { return radiusOfGyration(*this, kIrypE); }
double CBaseSubSection::IrxM() const { return radiusOfGyration(*this, kIrxM); }
double CBaseSubSection::IryM() const { return radiusOfGyration(*this, kIryM); }
double CBaseSubSection::IrxMA() const { return radiusOfGyration(*this, kIrxMA); }
double CBaseSubSection::IryMA() const { return radiusOfGyration(*this, kIryMA); }
double CBaseSubSection::IrxpM() const { return radiusOfGyration(*this, kIrxpM); }
double CBaseSubSection::IrypM() const { return radiusOfGyration(*this, kIrypM); }
double CBaseSubSection::IrxA() const { return radiusOfGyration(*this, kIrxA); }
double CBaseSubSection::IryA() const { return radiusOfGyration(*this, kIryA); }
double CBaseSubSection::IrxAA() const { return radiusOfGyration(*this, kIrxAA); }
double CBaseSubSection::IryAA() const { return radiusOfGyration(*this, kIryAA); }
double CBaseSubSection::IrxpA() const { return radiusOfGyration(*this, kIrxpA); }
double CBaseSubSection::IrypA() const { return radiusOfGyration(*this, kIrypA); }
double CBaseSubSection::IrE() const { return radiusOfGyration(*this, kIrE); }
double CBaseSubSection::IrEA() const { return radiusOfGyration(*this, kIrEA); }
double CBaseSubSection::IrA() const { return radiusOfGyration(*this, kIrA); }
double CBaseSubSection::IrAA() const { return radiusOfGyration(*this, kIrAA); }
double CBaseSubSection::IrM() const { return radiusOfGyration(*this, kIrM); }
double CBaseSubSection::IrMA() const { return radiusOfGyration(*this, kIrMA); }

double CBaseSubSection::EIYY() const { return Emin() * getValue(142); }

double CBaseSubSection::Myp() const {
  const double theta = m_principalAngleE * kDegToRad;
  return -std::sin(theta) * getValue(10) + std::cos(theta) * getValue(11);
}

double CBaseSubSection::axialStress(const CSectionForces* f, const CMetal* m) const {
  const double ea = getValue(18);
  if (ea < 1e-6)
    return 0.0;
  const double weight = m != nullptr ? m->extra1 : 1.0;
  return weight * (f->axial / ea);
}

void CBaseSubSection::principal(Point<double>* in, Point<double>* out) const {
  rotateInto(m_principalAngleE * kDegToRad, in->x, in->y, out);
}

void CBaseSubSection::model2Principal(Point<double>* in, Point<double>* out) const {
  rotateInto(getValue(40) * kDegToRad, in->x - centroid.x, in->y - centroid.y, out);
}

void CBaseSubSection::transformMomentsOfInertia(double angle, double ixx, double ixy, double iyy, double* r1,
                                                double* r2, double* r3) {
  if (std::fabs(angle) > 45.0)
    throw std::logic_error("Principal angle is not in the range of -45 to +45");
  const double s = std::sin(angle * kDegToRad);
  const double k = std::cos(angle * kDegToRad);
  *r1 = k * k * ixx + s * s * iyy + 2.0 * s * k * ixy;
  *r2 = s * k * (iyy - ixx) + (k * k - s * s) * ixy;
  *r3 = k * k * iyy + s * s * ixx - 2.0 * s * k * ixy;
}

void CBaseSubSection::getUnits(int code, CString& out) {
  const bool si = gUnitSystem == 0;
  lengthLabel = si ? L"cm" : L"in";
  modulusLabel = si ? L"GPa" : L"lb";
  out.Empty();
  if (const UnitGroup* group = unitGroupOf(code))
    out = unitLabel(group->form, lengthLabel, modulusLabel);
}

void CBaseSubSection::addDot(CString&, double x, double y, void* client) {
  const Point<double> candidate(x, y, 0.0);
  if (client != nullptr)
    for (const CDot* dot : dots)
      if (dot->client == client && (dot->location - candidate).length() < 1e-5)
        return;
  dots.push_back(new CDot(candidate, this, client));
}

double CBaseSubSection::findDot(Point<double>& p) const {
  for (const CDot* dot : dots) {
    const double d = (dot->location - p).length();
    if (d < 1e-4)
      return d;
  }
  return -1.0;
}

void CBaseSubSection::deleteDot(CDot* dot) {
  const auto before = dots.size();
  std::erase(dots, dot);
  if (dots.size() != before)
    delete dot;
}

void CBaseSubSection::rotateDots(Point<double>& centre, double degrees) {
  for (CDot* dot : dots)
    dot->location.rotate(centre, degrees);
}
