// The forces, moments and results of one section-forces load condition.
#pragma once

#include <memory>

#include "analysis/geometry/Point.h"

#include "platform/core/CString.h"

class CArchive;
class CFENodeAnalysis;

// Section forces applied to a sub-section and the results that the bending
// analyses write back. Only a part of the record is stored (see Serialize);
// the rest is recomputed by the analyses.
class CSectionForces {
 public:
  // Forces, moments, resultants and results 0, radius -1 (straight member),
  // texts empty, shared objects empty.
  CSectionForces();
  // Copies every member; the shared objects are then shared.
  CSectionForces(const CSectionForces&) = default;
  ~CSectionForces() = default;
  // Copies name, Iyy, Ixy, Ixx, valueA, valueB, kind, resultantC,
  // resultantA, resultantB, Mx, My, Vx, Vy, axial and axialNeg; every other
  // member keeps its value.
  CSectionForces& operator=(const CSectionForces& o);

  // Multiplies Vx, Vy, axial, axialNeg, Mx, My, resultantA, resultantB and
  // resultantC by s.
  CSectionForces& operator*=(double s);
  // Adds o's Vx, Vy, axial, axialNeg, Mx, My, resultantA, resultantB and
  // resultantC.
  CSectionForces& operator+=(const CSectionForces& o);

  // Moment components in axes turned by deg degrees:
  // Mxp = cos t Mx + sin t My, Myp = cos t My − sin t Mx.
  double Mxp(double deg) const;
  double Myp(double deg) const;
  // Shear components in axes turned by deg degrees, as Mxp and Myp.
  double Vxp(double deg) const;
  double Vyp(double deg) const;

  // Direct stress at p of a curved member of section area A with radius of
  // curvature `radius`; 0 for a straight member (radius not above 0).
  double bendingDirect(Point<double>* p, double A) const;

  // Stores or loads: name; Vx, Vy, axial, Mx, My, resultantA, resultantB,
  // resultantC, radius, valueA, valueB, neutralAxisAngle, valueD (doubles);
  // kind (int32); option (one byte). Loading then sets axialNeg to
  // −resultantB.
  void Serialize(CArchive& ar);

  double Vx = 0.0;
  double Vy = 0.0;
  double axial = 0.0;
  double axialNeg = 0.0;
  double Mx = 0.0;
  double My = 0.0;
  double Mz = 0.0;  // moment about the member axis; not stored
  // resultantA to resultantC and valueD are stored but not used by the
  // elastic bending analyses.
  double resultantA = 0.0;
  double resultantB = 0.0;
  double resultantC = 0.0;
  double radius = -1.0;
  double valueA = 0.0;  // elastic bending: applied moment about the neutral axis
  double valueB = 0.0;  // elastic bending: total applied moment sqrt(Mx² + My²)
  double Iyy = 0.0;
  double Ixy = 0.0;
  double Ixx = 0.0;
  double neutralAxisAngle = 0.0;  // degrees, of the applied moments
  Point<double> neutralPoint;      // a point on the neutral axis
  bool option = false;  // grain: true longitudinal (L), false long-transverse (LT)
  double valueD = 0.0;
  CString name;

  // Results of the analyses (not stored): the resultants of the stress
  // field, the extreme stresses and strains and where they occur.
  double resultantForce = 0.0;
  double resultantMx = 0.0;
  double resultantMy = 0.0;
  double resultantMagnitude = 0.0;
  double resultantDirection = 0.0;          // degrees
  double resultantNeutralAxisMoment = 0.0;
  double resultantNeutralAxisAngle = 0.0;   // degrees
  double minStress = 0.0;
  double maxStress = 0.0;
  double minStrain = 0.0;
  double maxStrain = 0.0;
  Point<double> minStressPoint;
  Point<double> maxStressPoint;
  Point<double> minStrainPoint;
  Point<double> maxStrainPoint;
  // Nodes of the smallest and largest value of the last extreme search.
  std::shared_ptr<CFENodeAnalysis> minNode;
  std::shared_ptr<CFENodeAnalysis> maxNode;

  // Analysis kind: 5 restrained bending, 6 plastic bending, 7 Cozzone, any
  // other value unrestrained bending.
  int kind = 0;
  // Warning texts of the analyses (yield, ultimate).
  CString yieldWarning;
  CString ultimateWarning;
};
