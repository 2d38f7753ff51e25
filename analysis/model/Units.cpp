// Unit conversion of stored values and the unit-system query.
#include "analysis/model/Units.h"

#include <cmath>

#include "analysis/model/Globals.h"
#include "platform/core/Hooks.h"

namespace {

// One listed pair converts v to (v * mul) / div / div2. Factors of 1 are
// exact, so each result is the same rounded double as the written formula
// (a product, a quotient, or for MPa to psi two quotients in turn).
struct Conversion {
  Unit from;
  Unit to;
  double mul;
  double div;
  double div2;
};

constexpr Conversion kConversions[] = {
    {Pa, GPa, 1e-9, 1.0, 1.0},
    {Pa, MPa, 1e-6, 1.0, 1.0},
    {Pa, kPa, 0.001, 1.0, 1.0},
    {Pa, psi, 1.0, 6894.75728, 1.0},
    {GPa, Pa, 1e9, 1.0, 1.0},
    {GPa, psi, 1.0, 6.89475728e-6, 1.0},
    {MPa, Pa, 1e6, 1.0, 1.0},
    {MPa, psi, 1.0, 6.89475728e-6, 1000.0},
    {kPa, Pa, 1000.0, 1.0, 1.0},
    {kPa, psi, 0.14503773773, 1.0, 1.0},
    {psi, Pa, 6894.75728, 1.0, 1.0},
    {psi, GPa, 6.89475728e-6, 1.0, 1.0},
    {psi, MPa, 0.00689475728, 1.0, 1.0},
    {psi, kPa, 6.894757293178, 1.0, 1.0},
    {lbf, kgf, 0.4535924092325, 1.0, 1.0},
    {lbf, N, 4.448222, 1.0, 1.0},
    {lbf, kip, 0.001, 1.0, 1.0},
    {lbf, megaPound, 1e-6, 1.0, 1.0},
    {kgf, lbf, 1.0, 0.4535924092325, 1.0},
    {N, lbf, 1.0, 4.448222, 1.0},
    {kip, lbf, 1000.0, 1.0, 1.0},
    {megaPound, lbf, 1e6, 1.0, 1.0},
    {inch, microInch, 1e6, 1.0, 1.0},
    {inch, m, 0.0254, 1.0, 1.0},
    {inch, mm, 25.4, 1.0, 1.0},
    {cm, inch, 1.0, 2.54, 1.0},
    {microInch, inch, 1e-6, 1.0, 1.0},
    {m, inch, 1.0, 0.0254, 1.0},
    {m, mm, 1000.0, 1.0, 1.0},
    {mm, m, 0.001, 1.0, 1.0},
    {mm, inch, 1.0, 25.4, 1.0},
    {gPerCm3, lbPerIn3, 0.03612729, 1.0, 1.0},
    {lbPerIn3, gPerCm3, 27.6801, 1.0, 1.0},
};

// Marker of "no value" in a stored quantity.
constexpr double kNoValue = -99999.0;

// The converted value, or -1 for a pair not in the table (also from == to).
double convert(double v, Unit from, Unit to) {
  for (const Conversion& c : kConversions)
    if (c.from == from && c.to == to) return v * c.mul / c.div / c.div2;
  return -1.0;
}

}  // namespace

void unitChange(double* value, Unit from, Unit to) {
  // Truncate in floating point: a cast to int would be undefined for values
  // outside the int range.
  if (std::trunc(*value) == kNoValue) return;
  *value = convert(*value, from, to);
}

int isUSCS() { return gUnitSystem == USCS ? 1 : 0; }

bool unitsDialogOK(int selection) {
  // The radio group yields -1, 0 or 1; anything else is no choice either.
  if (selection != SI && selection != USCS) {
    AfxMessageBox(L"Selection is required", L"Units Selection", MB_ICONINFORMATION);
    return false;
  }
  // Only the choice is returned: a new material's units are asked with the
  // same dialog and must not switch the program's unit system.
  return true;
}
