// Codes of result quantities (DiscreteSetValue), their display names, and
// FiniteElementSet: the six nodal degree-of-freedom values of one element
// or node under one load condition.
#pragma once

#include "platform/core/CString.h"

class CArchive;

// Integer code of a result quantity along a section or at an element; the
// valid codes are 200 to 398. Codes 367 to 372 are the degrees of freedom
// u, v, w, thetaX, thetaY and thetaZ.
using DiscreteSetValue = int;

// 1 for a valid code (200 <= v <= 398), else 0.
int isDiscreteSetValue(int v);

// 1 for the parabolic shear quantities (329, 357 and 358), else 0.
int isParabolicShear(int v);

// Display name of a code; "Nothing" for a code without a name.
CString DSVToName(DiscreteSetValue code);

// Six doubles addressed by the codes 367 to 372, stored in that order.
class FiniteElementSet {
 public:
  // Number of values and the code of the first.
  static constexpr int kCount = 6;
  static constexpr DiscreteSetValue kFirstCode = 367;

  // All values start at 0.
  FiniteElementSet() = default;
  // Copies all six values.
  FiniteElementSet(const FiniteElementSet&) = default;
  // Copies all six values.
  FiniteElementSet& operator=(const FiniteElementSet&) = default;

  // The value stored under code (367 to 372); -1 for any other code.
  double getValue(DiscreteSetValue code) const;
  // Stores v under code (367 to 372); any other code changes nothing.
  void setValue(DiscreteSetValue code, double v);

  // Writes the six doubles in code order: 48 bytes, no count or tag.
  void write(CArchive& ar) const;
  // Reads the six doubles written by write. A truncated archive throws the
  // archive's end-of-file exception; values read before it stay set.
  void read(CArchive& ar);

 private:
  double m_values[kCount] = {};
};
