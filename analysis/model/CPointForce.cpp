// Point force: moments, joint forces of a member segment, archive record.
#include "analysis/model/CPointForce.h"

#include <cmath>

#include "analysis/model/Utilities.h"

#include "platform/core/CArchive.h"

IMPLEMENT_SERIAL(CPointForce, CLoad, 1)

namespace {

// Distances of the station z from the ends of the segment a..b, or false when
// the station is not inside it (a < z <= b).
struct SegmentGeometry {
  double L, f, g;
};

bool segmentGeometry(double a, double b, double z, SegmentGeometry* out) {
  if (a >= z || z > b)
    return false;
  out->L = std::fabs(b - a);
  out->f = std::fabs(z - a);
  out->g = std::fabs(z - b);
  return true;
}

// Fixed-end forces of a concentrated load F, plus those of a concentrated
// moment M at the same station.
void endForces(const SegmentGeometry& p, double F, double M, double* end1, double* end2) {
  const double L3 = p.L * p.L * p.L;
  const double momentTerm = M * 6.0 * p.f * p.g / L3;
  *end1 = F * p.g * p.g * (3.0 * p.f + p.g) / L3 + momentTerm;
  *end2 = F * p.f * p.f * (3.0 * p.g + p.f) / L3 - momentTerm;
}

// Fixed-end moments of a concentrated load F, plus those of a concentrated
// moment M at the same station.
void endMoments(const SegmentGeometry& p, double F, double M, double* end1, double* end2) {
  const double L2 = p.L * p.L;
  *end1 = F * p.f * p.g * p.g / L2 + M * p.g * (3.0 * p.f - p.L) / L2;
  *end2 = F * p.f * p.f * p.g / L2 + M * p.f * (3.0 * p.g - p.L) / L2;
}

}  // namespace

CPointForce::CPointForce() = default;

CPointForce::CPointForce(CString& name, double x, double y, double z, double mag, Point<double>* dir)
    : m_mag(mag), m_position(x, y, z) {
  m_name = name;
  m_id = uniqueID();
  m_distributed = 0;
  m_type = kPointForceLoad;
  m_direction = *dir;
  m_direction.normalize();
  m_flag = 0;
}

CString CPointForce::identity() const {
  CString text;
  text.Format(L"Concentrated force of magnitude %g at at station %g directed along (%g,%g,%g)", m_mag,
              location(), m_direction.x, m_direction.y, m_direction.z);
  return text;
}

double CPointForce::axialForce() const { return m_mag * m_direction.z; }

double CPointForce::Mx(double z0) const {
  if (z0 > location())
    return 0.0;
  return (location() - z0) * (-m_direction.y * m_mag);
}

double CPointForce::My(double z0) const {
  if (z0 > location())
    return 0.0;
  return (location() - z0) * (m_mag * m_direction.x);
}

void CPointForce::jointFx(double a, double b, double* end1, double* end2) const {
  SegmentGeometry p;
  if (!segmentGeometry(a, b, location(), &p)) {
    *end1 = *end2 = 0.0;
    return;
  }
  endForces(p, m_mag * m_direction.x, axialMy(), end1, end2);
}

void CPointForce::jointFy(double a, double b, double* end1, double* end2) const {
  SegmentGeometry p;
  if (!segmentGeometry(a, b, location(), &p)) {
    *end1 = *end2 = 0.0;
    return;
  }
  endForces(p, m_mag * m_direction.y, axialMx(), end1, end2);
}

void CPointForce::jointFz(double a, double b, double* end1, double* end2) const {
  SegmentGeometry p;
  if (!segmentGeometry(a, b, location(), &p)) {
    *end1 = *end2 = 0.0;
    return;
  }
  endForces(p, m_mag * m_direction.z, 0.0, end1, end2);
}

void CPointForce::jointMx(double a, double b, double* end1, double* end2) const {
  SegmentGeometry p;
  if (!segmentGeometry(a, b, location(), &p)) {
    *end1 = *end2 = 0.0;
    return;
  }
  endMoments(p, -m_direction.y * m_mag, axialMx(), end1, end2);
}

void CPointForce::jointMy(double a, double b, double* end1, double* end2) const {
  SegmentGeometry p;
  if (!segmentGeometry(a, b, location(), &p)) {
    *end1 = *end2 = 0.0;
    return;
  }
  endMoments(p, m_mag * m_direction.x, axialMy(), end1, end2);
}

void CPointForce::Serialize(CArchive& ar) {
  if (ar.IsLoading())
    read(ar);
  else
    write(ar);
}

void CPointForce::read(CArchive& ar) {
  CString className;
  ar >> className;
  ar >> m_name;
  ar >> m_id >> m_distributed >> m_type;
  ar >> m_position.x >> m_position.y >> m_position.z;
  ar >> m_mag;
  ar >> m_direction.x >> m_direction.y >> m_direction.z;
  ar >> m_extra;
  int flag = 0;
  ar >> flag;
  m_flag = flag > 0 ? 1 : 0;
}

void CPointForce::write(CArchive& ar) const {
  ar << CString(L"CPointForce");
  ar << m_name;
  ar << m_id << m_distributed << m_type;
  ar << m_position.x << m_position.y << m_position.z;
  ar << m_mag;
  ar << m_direction.x << m_direction.y << m_direction.z;
  ar << m_extra;
  ar << m_flag;
}
