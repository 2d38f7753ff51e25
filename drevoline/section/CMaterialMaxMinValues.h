// The extreme stresses and strains of one material under the applied load,
// with the points where they occur.
#pragma once

#include "analysis/geometry/Point.h"

#include "platform/core/CObject.h"

class CMetal;

// One record per metal of a sub-section (kept in its extremeValues list).
// The extremes start beyond any result so that the first value sets them.
class CMaterialMaxMinValues : public CObject {
 public:
  explicit CMaterialMaxMinValues(CMetal* m = nullptr) : material(m) {}

  CMetal* material = nullptr;  // not owned
  double maxStress = -1e20;
  double minStress = 1e20;
  double maxStrain = -1e20;
  double minStrain = 1e20;
  Point<double> maxStressPoint;
  Point<double> minStressPoint;
  Point<double> maxStrainPoint;
  Point<double> minStrainPoint;
};
