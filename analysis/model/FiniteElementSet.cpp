// Result-code names and the finite-element value set.
#include "analysis/model/FiniteElementSet.h"

#include <algorithm>
#include <iterator>

#include "platform/core/CArchive.h"

namespace {

struct CodeName {
  DiscreteSetValue code;
  const wchar_t* name;
};

// Sorted by code. Codes not listed are named "Nothing".
constexpr CodeName kNames[] = {
    {200, L"s"},
    {201, L"Horizontal Shear"},
    {202, L"Vertical Shear"},
    {203, L"Principal X Shear"},
    {204, L"Principal Y Shear"},
    {205, L"Moment About X"},
    {206, L"Moment About Y"},
    {208, L"Moment About Principal X"},
    {209, L"Moment About Principal Y"},
    {210, L"Warping Torsion Moment"},
    {211, L"Secondary Warping Torsion Moment"},
    {212, L"Jonssen St. Venant's Shear Stress"},
    {213, L"Shakourzadah combined torsion"},
    {214, L"Shakourzadah Bimoment"},
    {215, L"Shakourzadah Warping"},
    {216, L"Shakourzadah Twist"},
    {217, L"Shakourzadah Twist Rate"},
    {218, L"Wxx"},
    {219, L"Warping Shear"},
    {220, L"Nz"},
    {221, L"Nzs"},
    {222, L"sfMz"},
    {223, L"Mzs"},
    {224, L"Qz"},
    {225, L"dx/dz"},
    {226, L"dy/dz"},
    {227, L"x"},
    {228, L"y"},
    {229, L"Xp"},
    {230, L"Yp"},
    {288, L"Eisenberger twist angle"},
    {289, L"Eisenberger rate twist"},
    {290, L"Eisenberger St Venant's"},
    {291, L"Eisenberger Warping Moment"},
    {292, L"Eisenberger Total Mz"},
    {293, L"Eisenberger Bimoment"},
    {295, L"void"},
    {296, L"Eisenberger Mx"},
    {297, L"Eisenberger My"},
    {298, L"Eisenberger Mxp"},
    {299, L"Eisenberger Myp"},
    {300, L"Eisenberger Horz. Displ."},
    {301, L"Eisenberger Vert. Displ."},
    {302, L"Eisenberger Principal X Displ"},
    {303, L"Eisenberger Principal Y Displ"},
    {312, L"Eisenberger Vx"},
    {313, L"Eisenberger Vy"},
    {314, L"Eisenberger Vxp"},
    {315, L"Eisenberger Vyp"},
    {316, L"Jonssen Uniform axial deformation stresses"},
    {317, L"Alfano Uniform axial deformation stresses check"},
    {319, L"Open Bending Shear Stress"},
    {320, L"Open Bending Shear StressCheck"},
    {321, L"Jonssen Bending Shear Stress"},
    {322, L"Alfano Bending Shear Stress"},
    {323, L"Jonssen Bending Direct Stress"},
    {324, L"Alfano Bending Direct Stress"},
    {325, L"Jonssen Warping Shear Stress"},
    {326, L"Alfano Warping Shear Stress"},
    {327, L"Jonssen Warping Direct Stress"},
    {328, L"Alfano Warping Direct Stress"},
    {329, L"Jonssen Bending Transverse Shear"},
    {330, L"Alfano Bending Transverse Shear"},
    {331, L"VonMises"},
    {332, L"Alfano VonMises"},
    {333, L"Jonssen St. Venant's Shear Stress"},
    {334, L"Alfano Venants Shear Stress"},
    {335, L"Jonssen Direct Stress Resultant"},
    {336, L"Alfano Resultant Direct Stress"},
    {337, L"Jonssen Shear Stress Resultant"},
    {338, L"Alfano Resultant Shear Stress"},
    {339, L"Venants Closed Shear"},
    {341, L"Shear Margin of Safety"},
    {342, L"Compression Margin of Safety"},
    {343, L"Tension Margin of Safety"},
    {344, L"VonMises"},
    {345, L"Jonssen Bending Shear Flow"},
    {346, L"Bending Shear Flow Check"},
    {347, L"Jonssen Warping Shear Flow"},
    {348, L"Warping Shear Flow Check"},
    {349, L"Jonssen Resultant Shear Flow"},
    {350, L"Resultant Shear Flow Check"},
    {351, L"Venants Closed Shear Flow"},
    {353, L"Venants Open Shear"},
    {357, L"Warping2ndShear"},
    {358, L"Alfano 2nd Warping Shear"},
    {359, L"Warping Shear Partial"},
    {360, L"Warping Shear Partial"},
    {390, L"Chunky Bending Stress"},
    {394, L"Jonssen Vert Bending Shear Stress"},
    {395, L"Jonssen Horz Bending Shear Stress"},
};

constexpr const wchar_t* kNoName = L"Nothing";

constexpr bool sortedByCode() {
  for (std::size_t i = 1; i < std::size(kNames); ++i)
    if (kNames[i - 1].code >= kNames[i].code) return false;
  return true;
}
static_assert(sortedByCode(), "the name table must be sorted by code");

// Index of code in the value array, or -1 when it is not a value code.
int slotOf(DiscreteSetValue code) {
  const int slot = code - FiniteElementSet::kFirstCode;
  return slot >= 0 && slot < FiniteElementSet::kCount ? slot : -1;
}

}  // namespace

int isDiscreteSetValue(int v) { return v >= 200 && v <= 398 ? 1 : 0; }

int isParabolicShear(int v) { return v == 329 || v == 357 || v == 358 ? 1 : 0; }

CString DSVToName(DiscreteSetValue code) {
  const auto* it = std::lower_bound(
      std::begin(kNames), std::end(kNames), code,
      [](const CodeName& entry, DiscreteSetValue c) { return entry.code < c; });
  if (it != std::end(kNames) && it->code == code) return CString(it->name);
  return CString(kNoName);
}

double FiniteElementSet::getValue(DiscreteSetValue code) const {
  const int slot = slotOf(code);
  return slot < 0 ? -1.0 : m_values[slot];
}

void FiniteElementSet::setValue(DiscreteSetValue code, double v) {
  const int slot = slotOf(code);
  if (slot >= 0) m_values[slot] = v;
}

void FiniteElementSet::write(CArchive& ar) const {
  for (double v : m_values) ar << v;
}

void FiniteElementSet::read(CArchive& ar) {
  for (double& v : m_values) ar >> v;
}
