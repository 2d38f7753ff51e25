// Unit systems and the conversion of one stored value between two units.
#pragma once

#include "analysis/model/EUnitSystem.h"

// Units known to unitChange. Values 10 and 16 take part in no conversion.
enum Unit : int {
  Pa = 0,
  GPa = 1,
  MPa = 2,
  kPa = 3,
  lbf = 4,
  kgf = 5,
  N = 6,
  inch = 7,
  cm = 8,
  microInch = 9,
  m = 11,
  psi = 12,
  kip = 13,
  megaPound = 14,
  mm = 15,
  gPerCm3 = 17,
  lbPerIn3 = 18,
};

// Converts *value from one unit to another in place. A value that truncates
// to -99999 is left untouched; an unsupported pair (also from == to) sets
// *value to -1.
void unitChange(double* value, Unit from, Unit to);

// 1 when the current unit system (gUnitSystem) is US customary, else 0.
int isUSCS();

// Radio index the unit-system dialog starts with: "USCS (in,lbf)".
constexpr int kUnitsDialogInitial = 1;

// The OK rule of the unit-system dialog for the selected radio index (0 SI,
// 1 USCS, -1 none). With a system chosen the result is true (the dialog
// closes; gUnitSystem is left to the opener). With none, the message box
// "Selection is required" ("Units Selection", information icon) is shown and
// the result is false (the dialog stays open).
bool unitsDialogOK(int selection);
