// Section forces: scaling, rotated components, curved-member direct stress
// and the stored record.
#include "analysis/model/CSectionForces.h"

#include <cmath>

#include "platform/core/CArchive.h"

namespace {

constexpr double kDegToRad = 0.017453292519943295;

// The members that scaling and adding act on.
constexpr double CSectionForces::*kScaled[] = {
    &CSectionForces::Vx,         &CSectionForces::Vy,         &CSectionForces::axial,
    &CSectionForces::axialNeg,   &CSectionForces::Mx,         &CSectionForces::My,
    &CSectionForces::resultantA, &CSectionForces::resultantB, &CSectionForces::resultantC,
};

}  // namespace

CSectionForces::CSectionForces() = default;

CSectionForces& CSectionForces::operator=(const CSectionForces& o) {
  if (this == &o)
    return *this;
  name = o.name;
  Iyy = o.Iyy;
  Ixy = o.Ixy;
  Ixx = o.Ixx;
  valueA = o.valueA;
  valueB = o.valueB;
  kind = o.kind;
  resultantC = o.resultantC;
  resultantA = o.resultantA;
  resultantB = o.resultantB;
  Mx = o.Mx;
  My = o.My;
  Vx = o.Vx;
  Vy = o.Vy;
  axial = o.axial;
  axialNeg = o.axialNeg;
  return *this;
}

CSectionForces& CSectionForces::operator*=(double s) {
  for (auto member : kScaled)
    this->*member *= s;
  return *this;
}

CSectionForces& CSectionForces::operator+=(const CSectionForces& o) {
  for (auto member : kScaled)
    this->*member += o.*member;
  return *this;
}

double CSectionForces::Mxp(double deg) const {
  const double t = deg * kDegToRad;
  return std::cos(t) * Mx + std::sin(t) * My;
}

double CSectionForces::Myp(double deg) const {
  const double t = deg * kDegToRad;
  return std::cos(t) * My - std::sin(t) * Mx;
}

double CSectionForces::Vxp(double deg) const {
  const double t = deg * kDegToRad;
  return std::cos(t) * Vx + std::sin(t) * Vy;
}

double CSectionForces::Vyp(double deg) const {
  const double t = deg * kDegToRad;
  return std::cos(t) * Vy - std::sin(t) * Vx;
}

double CSectionForces::bendingDirect(Point<double>* p, double A) const {
  const double R = radius;
  if (!(R > 0.0))
    return 0.0;
  const double k = 1.0 - p->y / R;
  const double X = p->x / k;
  const double Y = p->y / k;
  const double D = Ixx * Iyy - Ixy * Ixy;
  return -((Ixx * My + Ixy * Mx) / D) * X + ((Ixy * My + Iyy * Mx) / D + Mx / (R * R * A) - axial / (R * A)) * Y +
         (axial / A - Mx / (R * A));
}

void CSectionForces::Serialize(CArchive& ar) {
  double* const stored[] = {&Vx,         &Vy,     &axial,  &Mx,     &My,
                            &resultantA, &resultantB, &resultantC, &radius, &valueA,
                            &valueB,     &neutralAxisAngle, &valueD};
  if (ar.IsStoring()) {
    ar << name;
    for (double* v : stored)
      ar << *v;
    ar << kind;
    ar << option;
    return;
  }
  ar >> name;
  for (double* v : stored)
    ar >> *v;
  ar >> kind;
  ar >> option;
  axialNeg = -resultantB;
}
