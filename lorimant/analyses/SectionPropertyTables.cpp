#include "lorimant/analyses/SectionPropertyTables.h"

namespace {

// Descriptions keep their double blanks and the unit template of IyyA its
// trailing "L": exported files carry them as they are.
constexpr SectionPropertyRow kGeometric[] = {
    {L"Area", L"Area", L"lengthUnit^2", 1},
    {L"CGx", L"Center Gravity X", L"lengthUnit", 2},
    {L"CGy", L"Center Gravity Y", L"lengthUnit", 3},
    {L"Pang", L"Rotation angle for the principal axes", L"deg", 11},
    {L"Imin", L"Minimum Moment of Inertia", L"lengthUnit^4", 10},
    {L"Imax", L"Maximum Moment of Inertia", L"lengthUnit^4", 9},
    {L"IxxC", L"Moment of inertia about centroidal Y axis", L"lengthUnit^4", 7},
    {L"IyyC", L"Moment of inertia about centroidal X axis", L"lengthUnit^4", 6},
    {L"IxyC", L"Product of inertia about centroidal axes", L"lengthUnit^4", 8},
    {L"IxxA", L"Moment of inertia about  Y axis", L"lengthUnit^4", 20},
    {L"IyyA", L"Moment of inertia about  X axis", L"lengthUnit^4L", 19},
    {L"IxyA", L"Product of inertia about  axes", L"lengthUnit^4", 21},
    {L"Ipolar", L"Polar moment of inertia", L"lengthUnit^4", 18},
    {L"RadGyrPolar", L"Polar radius of gyration", L"lengthUnit", 29},
    {L"RadGyrXc", L"Radius of gyration about centroidal x", L"lengthUnit", 16},
    {L"RadGyrYc", L"Radius of gyration about centroidal y", L"lengthUnit", 17},
    {L"RadGyrMin", L"Radius of gyration minimum", L"lengthUnit", 14},
    {L"RadGyrMax", L"Radius of gyration maximum", L"lengthUnit", 15},
    {L"ElasticSectionModulusXmin", L"Elastic section modulus centroidal about XMin", L"lengthUnit^3", 22},
    {L"ElasticSectionModulusXmax", L"Elastic section modulus centroidal about XMax", L"lengthUnit^3", 23},
    {L"ElasticSectionModulusYmin", L"Elastic section modulus centroidal about YMin", L"lengthUnit^3", 24},
    {L"ElasticSectionModulusYmax", L"Elastic section modulus centroidal about YMax", L"lengthUnit^3", 25},
};

constexpr SectionPropertyRow kElastic[] = {
    {L"EArea", L"Elastic Area", L"lengthUnit^2", 50},
    {L"ECGx", L"Elastic Center Gravity X", L"lengthUnit", 51},
    {L"ECGy", L"Elastic Center Gravity Y", L"lengthUnit", 52},
    {L"EPang", L"Elastic Rotation angle for the principal axes", L"deg", 53},
    {L"EIxc", L"Elastic 2nd Moment of inertia about Centroidal X axis", L"lengthUnit^4", 54},
    {L"EIyc", L"Elastic 2nd Moment of inertia about Centroidal Y axis", L"lengthUnit^4", 55},
    {L"EIxcyc", L"Elastic Product of inertia about Centroidal axes", L"lengthUnit^4", 68},
    {L"EImin", L"Elastic Minimum 2nd Moment of Inertia", L"lengthUnit^4", 56},
    {L"EImax", L"Elastic Maximum 2nd Moment of Inertia", L"lengthUnit^4", 57},
};

constexpr SectionPropertyRow kPlastic[] = {
    {L"PlasticHingeXc", L"In perfect yield, the X location of line about which yield forces balance", L"lengthUnit", 64},
    {L"PlasticHingeYc", L"In perfect yield, the Y location of line about which yield forces balance", L"lengthUnit", 65},
    {L"PlasticHingeXp",
     L"In perfect yield the X location in principal coordinates of line about which yield forces balance",
     L"lengthUnit", 66},
    {L"PlasticHingeYp",
     L"In perfect yield the Y location in principal coordinates of line about which yield forces balance",
     L"lengthUnit", 67},
    {L"Kxc", L"Shape Factor relative to centroidal X axis", L"unitless", 34},
    {L"Kyc", L"Shape Factor relative to centroidal Y axis", L"unitless", 35},
    {L"Kxp", L"Shape Factor relative to principal X axis", L"unitless", 36},
    {L"Kyp", L"Shape Factor relative to principal Y axis", L"unitless", 37},
    {L"Kmin", L"Minimum Shape Factor", L"unitless", 71},
    {L"Kmax", L"Maximum Shape Factor", L"unitless", 72},
    {L"Zx", L"Plastic Section Modulus relative to centroidal X axis", L"lengthUnit^3", 38},
    {L"Zy", L"Plastic Section Modulus relative to centroidal Y axis", L"lengthUnit^3", 39},
    {L"MxCapacity", L"Moment about centroidal X in perfect yield", L"lengthUnit-forceUnit", 40},
    {L"MyCapacity", L"Moment about centroidal Y in perfect yield", L"lengthUnit-forceUnit", 41},
    {L"MxYield", L"Moment about centroidal X when yield stress first reached", L"lengthUnit-forceUnit", 42},
    {L"MyYield", L"Moment about centroidal Y when yield stress first reached", L"lengthUnit-forceUnit", 43},
    {L"Zxp", L"Plastic Section Modulus relative to principal X axis", L"lengthUnit^3", 44},
    {L"Zyp", L"Plastic Section Modulus relative to principal Y axis", L"lengthUnit^3", 45},
    {L"Zmin", L"Minimum Plastic Section Modulus", L"lengthUnit^3", 70},
    {L"Zmax", L"Maximum Plastic Section Modulus", L"lengthUnit^3", 69},
    {L"MxpCapacity", L"Moment about principal X in perfect yield", L"lengthUnit-forceUnit", 46},
    {L"MypCapacity", L"Moment about principal Y in perfect yield", L"lengthUnit-forceUnit", 47},
    {L"MxpYield", L"Moment about principal X when yield stress first reached", L"lengthUnit-forceUnit", 48},
    {L"MypYield", L"Moment about principal Y when yield stress first reached", L"lengthUnit-forceUnit", 49},
};

}  // namespace

std::span<const SectionPropertyRow> GeometricSectionPropertyTable() { return kGeometric; }
std::span<const SectionPropertyRow> ElasticSectionPropertyTable() { return kElastic; }
std::span<const SectionPropertyRow> PlasticSectionPropertyTable() { return kPlastic; }
