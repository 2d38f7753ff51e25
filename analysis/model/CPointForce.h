// A concentrated force at a station along the member: its moments and the
// end forces and moments it causes in a member segment.
#pragma once

#include "analysis/model/CLoad.h"

class CArchive;

class CPointForce : public CLoad {
  DECLARE_SERIAL(CPointForce)

 public:
  // A force of magnitude 0 at (0, 0, 0).
  CPointForce();
  // A force named `name` at (x, y, z) (z is the station) of magnitude `mag`
  // along dir normalised (a vector shorter than 1e-12 is kept as given). The
  // id is taken from gUniqueID, which is then incremented.
  CPointForce(CString& name, double x, double y, double z, double mag, Point<double>* dir);

  // Magnitude of the force.
  double mag() const { return m_mag; }
  // Point of application; its z is the station.
  const Point<double>* position() const { return &m_position; }
  // The station along the member (position z).
  double location() const { return m_position.z; }
  // "Concentrated force of magnitude %g at at station %g directed along
  // (%g,%g,%g)" with the magnitude, station and direction.
  CString identity() const;

  // Axial component: mag × direction z.
  double axialForce() const;
  // Moment about x at station z0: 0 when z0 is at or above the station,
  // else (station − z0) × (−direction y × mag).
  double Mx(double z0) const;
  // Moment about y at station z0: 0 when z0 is at or above the station,
  // else (station − z0) × (mag × direction x).
  double My(double z0) const;

  // End forces and moments of the member segment from station a to station b:
  // both 0 unless a < station <= b. The force pair uses the fixed-end
  // formulas of a concentrated load; jointFx/jointFy and jointMx/jointMy
  // add the terms of the concentrated moment that axialMy/axialMx give.
  void jointFx(double a, double b, double* end1, double* end2) const;
  void jointFy(double a, double b, double* end1, double* end2) const;
  void jointFz(double a, double b, double* end1, double* end2) const;
  void jointMx(double a, double b, double* end1, double* end2) const;
  void jointMy(double a, double b, double* end1, double* end2) const;

  // 0: a point force carries no bimoment.
  double axialBimoment() const { return 0.0; }
  // The concentrated moment about x carried at the station: fixed -1.0.
  double axialMx() const { return -1.0; }
  // The concentrated moment about y carried at the station: fixed -1.0.
  double axialMy() const { return -1.0; }
  // Nothing to compute for a point force.
  void computeWarp() {}

  // Loading: read; storing: write.
  void Serialize(CArchive& ar) override;
  // Reads the record written by write; the flag becomes 1 when the stored
  // value is positive, else 0.
  void read(CArchive& ar);
  // Writes "CPointForce", name, id, distributed, type, position (x, y, z),
  // mag, direction (x, y, z), extra and flag.
  void write(CArchive& ar) const;
  using CLoad::write;

 private:
  double m_mag = 0.0;
  Point<double> m_position;
  double m_extra = 0.0;
  int m_flag = 0;
};
