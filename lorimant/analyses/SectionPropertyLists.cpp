#include "lorimant/analyses/SectionPropertyLists.h"

#include <cmath>
#include <charconv>

#include "drevoline/section/CSubSection.h"
#include "lorimant/analyses/SectionPropertiesXml.h"
#include "lorimant/analyses/SectionPropertyValues.h"

namespace {

using Reader = double (*)(const CSubSection&);

template <int Code>
double code(const CSubSection& s)
{
    return s.getValue(Code);
}

// One row of the elastic list as the table gives it; massCentroid rows need
// a density of every material.
struct ElasticRowSpec {
    const wchar_t* group;
    const wchar_t* symbol;
    const wchar_t* description;
    Reader read;
    int unitCode;
    bool massCentroid;
};

// The texts keep their blanks and spellings: " Moments of Inertia",
// "Minumum", the double blanks.
const ElasticRowSpec kElasticRows[] = {
    {L"Area", L"Ae", L"Area factored by elastic modulus", code<18>, 18, false},
    {L"", L"Ag", L"Geometric Area", code<17>, 17, false},
    {L"", L"Pang", L"Principal angle (counterclockwise)", code<40>, 40, false},
    {L"Centroids", L"CGx", L"Center of gravity global x  coordinate factored by elastic modulus", code<135>, 135,
     false},
    {L"", L"CGy", L"Center of gravity global y coordinate factored by elastic modulus", code<136>, 136, false},
    {L"", L"McgX", L"Center of mass, global x coordinate", [](const CSubSection& s) { return s.densityCentroid.x; },
     135, true},
    {L"", L"McgY", L"Center of mass, global y coordinate", [](const CSubSection& s) { return s.densityCentroid.y; },
     135, true},
    {L" Moments of Inertia", L"Ix", L"2nd moment of inertia about centroidal x-axis", code<76>, 76, false},
    {L"", L"Iy", L"2nd moment of inertia about centroidal y-axis", code<74>, 74, false},
    {L"", L"Ixy", L"Product of inertia about centroidal axes", code<75>, 75, false},
    {L"", L"Ip", L"Polar moment of inertia", code<189>, 189, false},
    {L"", L"Ixa", L"2nd moment of inertia about global x-axis", code<87>, 87, false},
    {L"", L"Iya", L"2nd moment of inertia about global y-axis", code<86>, 86, false},
    {L"", L"Ixya", L"Product of inertia about global axes system", code<88>, 88, false},
    {L"", L"Imin", L"Minimum 2nd moment of inertia", code<119>, 119, false},
    {L"", L"Imax", L"Maximum 2nd moment of inertia", code<118>, 119, false},
    {L"Radius of Gyrations", L"Kx", L"Radius of gyration about centroidal x-axis",
     [](const CSubSection& s) { return s.IrxE(); }, 187, false},
    {L"", L"Ky", L"Radius of gyration about centroidal y-axis", [](const CSubSection& s) { return s.IryE(); }, 188,
     false},
    {L"", L"Kp", L"Polar radius of gyration", [](const CSubSection& s) { return s.IrE(); }, 186, false},
    {L"", L"Kmin", L"Minumum radius of gyration", code<185>, 185, false},
    {L"", L"Kmax", L"Maximum radius of gyration", code<184>, 184, false},
    {L"Section Modulus", L"Sx", L"Elastic Section Modulus about x-axis  (Ixc/Ymax)",
     [](const CSubSection& s) { return s.elasticModulusX; }, 156, false},
    {L"", L"Sy", L"Elastic Section Modulus about y-axis (Iyc/Xmax)",
     [](const CSubSection& s) { return s.elasticModulusY; }, 156, false},
    {L"", L"Sx", L"Elastic Section Modulus about principal x-axis  (Ixp/Ymax)",
     [](const CSubSection& s) { return s.elasticModulusXp; }, 156, false},
    {L"", L"Sy", L"Elastic Section Modulus about principal y-axis (Iyp/Xmax)",
     [](const CSubSection& s) { return s.elasticModulusYp; }, 156, false},
};

// One row of the plastic list: its value is GetValue's for valueId.
struct PlasticRowSpec {
    const wchar_t* group;
    const wchar_t* symbol;
    const wchar_t* description;
    int valueId;
    int unitCode;
};

// "princiapl" and "y-axi" are spelled so.
const PlasticRowSpec kPlasticRows[] = {
    {L"Section Modulus", L"Zx", L"Plastic Section Modulus about centroidal x-axis", 38, 203},
    {L"", L"Zy", L"Plastic Section Modulus about centroidal y-axis", 39, 204},
    {L"", L"Zxp", L"Plastic Section Modulus about principal x-axis", 44, 154},
    {L"", L"Zyp", L"Plastic Section Modulus about principal y-axis", 45, 155},
    {L"Plastic Centroid", L"Pcg x", L"X Location of area bisection relative  to origin", 64, 194},
    {L"", L"Pcg y", L"Y Location of area bisection relative to origin", 65, 195},
    {L"Shape Factors", L"Kx", L"Shape Factor about centroidal x-axis", 34, 206},
    {L"", L"Ky", L"Shape Factor about centroidal y-axis", 35, 206},
    {L"", L"Kxp", L"Shape Factor about principal x-axis", 36, 206},
    {L"", L"Kyp", L"Shape Factor about principal y-axis", 37, 206},
    {L"Moment Capacity", L"MxMax", L"Max bending moment about centroidal x-axis, Zy*YieldStress", 40, 198},
    {L"", L"MyMax", L"Max bending moment about centroidal y-axis, Zx*YieldStress", 41, 199},
    {L"", L"MxpMax", L"Max bending moment about principal x-axis, Zyp*YieldStress", 46, 200},
    {L"", L"MypMax", L"Max bending moment about principal y-axi, Zxp*YieldStress", 47, 201},
    {L"Moment Yield", L"MxYield", L"Yield moment about x-axis", 42, 198},
    {L"", L"MyYield", L"Yield moment about y-axis", 43, 199},
    {L"", L"MxpYield", L"Yield moment about principal x-axis", 48, 200},
    {L"", L"MypYield", L"Yield moment about princiapl y-axis", 49, 201},
};

// Values that small are shown as 0: what is left of a sum that cancels.
double withoutNoise(double v) { return std::fabs(v) < 1e-8 ? 0.0 : v; }

}  // namespace

std::vector<PropertyListRow> ElasticPropertyRows(const CSubSection& sub)
{
    std::vector<PropertyListRow> rows;
    if (!sub.scnPrpUTD() || withoutNoise(sub.getValue(18)) < 1e-6) return rows;
    const bool density = sub.isDensityDefined();
    for (const ElasticRowSpec& spec : kElasticRows) {
        if (spec.massCentroid && !density) continue;
        rows.push_back({spec.group, spec.symbol, withoutNoise(spec.read(sub)), spec.unitCode, spec.description});
    }
    return rows;
}

std::vector<PropertyListRow> PlasticPropertyRows(const CSubSection& sub)
{
    std::vector<PropertyListRow> rows;
    if (!PlasticPropertiesAvailable(sub)) return rows;
    for (const PlasticRowSpec& spec : kPlasticRows)
        rows.push_back(
            {spec.group, spec.symbol, SectionPropertyValue(sub, spec.valueId).value(), spec.unitCode, spec.description});
    return rows;
}

std::array<CString, 5> ListCellTexts(const PropertyListRow& row, CBaseSubSection& units)
{
    // "%g" in the C locale, whatever the user's: at most 50 characters.
    char value[50];
    const auto end = std::to_chars(value, value + sizeof value - 1, row.value, std::chars_format::general, 6).ptr;
    *end = '\0';
    CString unit;
    if (row.unitCode != -1) units.getUnits(row.unitCode, unit);
    return {CString(row.group), CString(row.symbol), CString(value), unit, CString(row.description)};
}
