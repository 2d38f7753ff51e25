// The rows of the result pane's two property lists, "Elastic Properties"
// and "Plastic Properties", and the texts of their cells; the printed
// report shows the same texts.
#pragma once

#include <array>
#include <vector>

#include "platform/core/CString.h"

class CBaseSubSection;
class CSubSection;

// One list row: the group text (empty on every row after the first of its
// group), the symbol, the value, the sub-section's unit code of the value
// (-1: no unit) and the description.
struct PropertyListRow {
    const wchar_t* group;
    const wchar_t* symbol;
    double value;
    int unitCode;
    const wchar_t* description;
};

// The modulus-weighted rows of sub in list order: 25, or 23 without the
// mass-centroid rows McgX and McgY when a material lacks a density. A value
// whose magnitude is below 1e-8 is 0. None when the properties are out of
// date or the modulus-weighted area (value 18) is below 1e-6.
std::vector<PropertyListRow> ElasticPropertyRows(const CSubSection& sub);

// The 18 plastic rows of sub, each the value GetValue gives for its
// identifier (no rounding to 0). None unless the section has plastic
// properties (PlasticPropertiesAvailable: yields, one material, a mesh);
// the values a sub-section keeps otherwise may be left from an earlier
// computation.
std::vector<PropertyListRow> PlasticPropertyRows(const CSubSection& sub);

// The five cell texts of row: group, symbol, the value with "%g", the unit
// text that units.getUnits gives for the unit code in the current unit
// system (empty for -1), description.
std::array<CString, 5> ListCellTexts(const PropertyListRow& row, CBaseSubSection& units);
