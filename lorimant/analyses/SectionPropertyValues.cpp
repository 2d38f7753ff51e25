// The readers of the section properties by automation value identifier.
#include "lorimant/analyses/SectionPropertyValues.h"

#include "drevoline/section/CSubSection.h"
#include "lorimant/automation/LorimantTypeLibrary.h"

namespace {

// A comparison with a value that is not a number gives the second operand.
double larger(double a, double b) { return a > b ? a : b; }
double smaller(double a, double b) { return a < b ? a : b; }

using Reader = double (*)(const CSubSection&);

// A stored value of the sub-section's own value table.
template <int Id>
double stored(const CSubSection& s)
{
    return s.getValue(Id);
}

template <bool AlongY, bool Principal>
const CSubSection::PlasticValues& plastic(const CSubSection& s)
{
    return s.plasticValues[AlongY ? 1 : 0][Principal ? 1 : 0];
}
// The plastic values of one (search direction, axes) pair: the neutral
// axis, Z (the halves' moment), the capacity Fy Z, the yield moment S Fy
// and the shape factor.
template <bool Y, bool P>
double hinge(const CSubSection& s) { return plastic<Y, P>(s).axis; }
template <bool Y, bool P>
double modulusZ(const CSubSection& s) { return plastic<Y, P>(s).halvesMoment; }
template <bool Y, bool P>
double capacity(const CSubSection& s) { return plastic<Y, P>(s).plasticModulus; }
template <bool Y, bool P>
double yieldMoment(const CSubSection& s) { return plastic<Y, P>(s).yieldMoment; }
template <bool Y, bool P>
double shapeFactor(const CSubSection& s) { return plastic<Y, P>(s).shapeFactor; }

struct ValueRow {
    int id;
    Reader read;
};

// Section properties by automation identifier. The names say which axis a
// moment is about: "about X" is the integral of y squared (value 62).
const ValueRow kValueRows[] = {
    {SA_Area, stored<17>},
    {SA_AreaCGx, stored<132>},
    {SA_AreaCGy, stored<133>},
    {SA_Area1stMomentOfInertiaAboutX, stored<121>},
    {SA_Area1stMomentOfInertiaAboutY, stored<120>},
    {SA_Area2ndMomentOfInertiaAboutXc, stored<62>},
    {SA_Area2ndMomentOfInertiaAboutYc, stored<60>},
    {SA_Area2ndMomentOfInertiaAboutXcYc, stored<61>},
    {SA_AreaMaximum2ndMomentOfInertia, [](const CSubSection& s) { return larger(s.getValue(145), s.getValue(146)); }},
    {SA_AreaMinumum2ndMomentOfInertia, [](const CSubSection& s) { return smaller(s.getValue(145), s.getValue(146)); }},
    {SA_AreaPrincipalAngle, stored<39>},
    {SA_AreaRadiusGyrationAboutPrincipalMin, [](const CSubSection& s) { return smaller(s.IrxpA(), s.IrypA()); }},
    {SA_AreaRadiusGyrationAboutPrincipalMax, [](const CSubSection& s) { return larger(s.IrxpA(), s.IrypA()); }},
    {SA_AreaRadiusGyrationAboutX, [](const CSubSection& s) { return s.IryA(); }},
    {SA_AreaRadiusGyrationAboutY, [](const CSubSection& s) { return s.IrxA(); }},
    {SA_AreaPolarMomentOfInertia, stored<169>},
    {SA_Area2ndMomentOfInertiaAboutXAxis, stored<79>},
    {SA_Area2ndMomentOfInertiaAboutYAxis, stored<78>},
    {SA_Area2ndMomentOfInertiaAboutXaxisYAxis, stored<80>},
    {SA_AreaElasticSectionModulusX, [](const CSubSection& s) { return s.elasticModulusX; }},
    {SA_AreaElasticSectionModulusY, [](const CSubSection& s) { return s.elasticModulusY; }},
    {SA_AreaElasticSectionModulusXp, [](const CSubSection& s) { return s.elasticModulusXp; }},
    {SA_AreaElasticSectionModulusYp, [](const CSubSection& s) { return s.elasticModulusYp; }},
    {SA_AreaPolarRadiusGyration, [](const CSubSection& s) { return s.IrA(); }},
    {SA_PlasticShapeFactorAboutPlasticCentroidalX_Kx, shapeFactor<false, false>},
    {SA_PlasticShapeFactorAboutPlasticCentroidalY_Ky, shapeFactor<true, false>},
    {SA_PlasticShapeFactorAboutPlasticPrincipalX_Kxp, shapeFactor<false, true>},
    {SA_PlasticShapeFactorAboutPlasticPrincipalY_Kyp, shapeFactor<true, true>},
    {SA_PlasticSectionModulusAboutPlasticCentroidalX_Zx, modulusZ<false, false>},
    {SA_PlasticSectionModulusAboutPlasticCentroidalY_Zy, modulusZ<true, false>},
    {SA_PlasticMomentAboutPlasticCentroidalX_MxCapacity, capacity<false, false>},
    {SA_PlasticMomentAboutPlasticCentroidalY_MyCapacity, capacity<true, false>},
    {SA_PlasticYieldMomentAboutPlasticCentroidalX_MxYield, yieldMoment<false, false>},
    {SA_PlasticYieldMomentAboutPlasticCentroidalY_MyYield, yieldMoment<true, false>},
    {SA_PlasticSectionModulusAboutPlasticPrincipalX_Zxp, modulusZ<false, true>},
    {SA_PlasticSectionModulusAboutPlasticPrincipalY_Zyp, modulusZ<true, true>},
    {SA_PlasticMomentAboutPlasticPrincipalX_MxpCapacity, capacity<false, true>},
    {SA_PlasticMomentAboutPlasticPrincipalY_MypCapacity, capacity<true, true>},
    {SA_PlasticYieldMomentAboutPlasticPrincipalX_MxpYield, yieldMoment<false, true>},
    {SA_PlasticYieldMomentAboutPlasticPrincipalY_MypYield, yieldMoment<true, true>},
    {SA_ElasticArea, stored<18>},
    {SA_ElasticCGx, stored<135>},
    {SA_ElasticCGy, stored<136>},
    {SA_ElasticPrincipalAngle, [](const CSubSection& s) { return s.principalAngleE(); }},
    {SA_Elastic2ndMomentOfInertiaAboutCentroidalX_EIx, stored<76>},
    {SA_Elastic2ndMomentOfInertiaAboutCentroidalY_EIy, stored<74>},
    {SA_ElasticMinimum2ndMomentOfInertia_EImin, [](const CSubSection& s) { return s.IminE(); }},
    {SA_ElasticMaximum2ndMomentOfInertia_EImax, [](const CSubSection& s) { return s.ImaxE(); }},
    {SA_PlasticCentroidalPlasticHingeX, hinge<true, false>},
    {SA_PlasticCentroidalPlasticHingeY, hinge<false, false>},
    {SA_PlasticPrincipalPlasticHingeX, hinge<true, true>},
    {SA_PlasticPrincipalPlasticHingeY, hinge<false, true>},
    {SA_ElasticProductOfInertiaAboutCentroidalAxes_EIxy, stored<75>},
    {SA_PlasticMaximumSectionModulus_Zmax, [](const CSubSection& s) { return larger(modulusZ<false, true>(s), modulusZ<true, true>(s)); }},
    {SA_PlasticMinimumSectionModulus_Zmin, [](const CSubSection& s) { return smaller(modulusZ<false, true>(s), modulusZ<true, true>(s)); }},
    {SA_PlasticMinimumShapeFactor_Kmin, [](const CSubSection& s) { return smaller(shapeFactor<false, true>(s), shapeFactor<true, true>(s)); }},
    {SA_PlasticMaximumShapeFactor_Kmax, [](const CSubSection& s) { return larger(shapeFactor<false, true>(s), shapeFactor<true, true>(s)); }},
};

}  // namespace

std::optional<double> SectionPropertyValue(const CSubSection& sub, int valueId)
{
    for (const ValueRow& row : kValueRows)
        if (row.id == valueId) return row.read(sub);
    return std::nullopt;
}
