// A result found at a point of a section.
#pragma once

#include "analysis/geometry/Point.h"

#include "platform/core/CString.h"

class CMetal;

// Plain record of a result at a location; the analyses give `measure`,
// `value`, `value2` and the two words their meaning.
class CResultLocation {
 public:
  // Every number 0, location at the origin, label empty, no material.
  CResultLocation() = default;
  CResultLocation(const CResultLocation&) = default;
  CResultLocation& operator=(const CResultLocation&) = default;
  ~CResultLocation() = default;

  int index = 0;
  Point<double> location;
  double measure = 0.0;
  CString label;
  double value = 0.0;
  double value2 = 0.0;
  CMetal* material = nullptr;  // not owned
  int word1 = 0;
  int word2 = 0;
};
