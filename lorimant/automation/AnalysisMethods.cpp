// The document's automation methods that read section properties and
// bending results and manage loads: GetValue, the load conditions, the
// elastic and plastic analyses and the values read from their results.
#include <cmath>
#include <memory>

#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CSectionForces.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/AnalysisMethodsSupport.h"
#include "lorimant/automation/AutomationFrame.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/automation/LorimantTypeLibrary.h"

using namespace AnalysisSupport;

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

using ForcesReader = double (*)(const CSectionForces&);
struct ForcesRow {
    int id;
    ForcesReader read;
};

// The plastic neutral-axis values of the current load condition.
const ForcesRow kLoadValueRows[] = {
    {SA_PlasticCentroidalPointNeutralAxisX_PNAx, [](const CSectionForces& f) { return f.neutralPoint.x; }},
    {SA_PlasticCentroidalPointNeutralAxisY_PNAy, [](const CSectionForces& f) { return f.neutralPoint.y; }},
    {SA_PlasticMomentAboutNeutralAxis_Mna, [](const CSectionForces& f) { return f.valueA; }},
    {SA_PlasticResultantMoment_Mr, [](const CSectionForces& f) { return f.valueB; }},
    {SA_PlasticNeutralAxisAngle_PNAAngle, [](const CSectionForces& f) { return f.neutralAxisAngle; }},
    {SA_PlasticResultantMomentAngle_MrAngle, [](const CSectionForces& f) { return f.resultantDirection; }},
};

// Results of a section-forces load condition, by bending-result identifier.
const ForcesRow kBendingRows[] = {
    {BA_PointOnNeutralAxisX, [](const CSectionForces& f) { return f.neutralPoint.x; }},
    {BA_PointOnNeutralAxisY, [](const CSectionForces& f) { return f.neutralPoint.y; }},
    {BA_MomentAboutXAxis, [](const CSectionForces& f) { return f.Mx; }},
    {BA_MomentAboutYAxis, [](const CSectionForces& f) { return f.My; }},
    {BA_MomentNeutralAxis, [](const CSectionForces& f) { return f.valueA; }},
    {BA_MinStress, [](const CSectionForces& f) { return f.minStress; }},
    {BA_MaxStress, [](const CSectionForces& f) { return f.maxStress; }},
    {BA_MinStrain, [](const CSectionForces& f) { return f.minStrain; }},
    {BA_MaxStrain, [](const CSectionForces& f) { return f.maxStrain; }},
    {BA_NeutralAxisAngle, [](const CSectionForces& f) { return f.neutralAxisAngle; }},
};

template <class Row>
const Row* findRow(const Row* begin, const Row* end, int id)
{
    for (const Row* r = begin; r != end; ++r)
        if (r->id == id) return r;
    return nullptr;
}

// The Cozzone results the sub-section keeps; the margins of safety are
// not computed by the model and read as 0.
double cozzoneResult(const CSubSection& s, int id)
{
    switch (id) {
    case BA_COZZONE_RUPTUREMODULUSABOUTXP: return s.cozzoneFb;
    case BA_COZZONE_RUPTUREMOMENTABOUTXP: return s.cozzoneMoment;
    case BA_COZZONE_SHEARCORRECTIONFACTOR: return s.shearRatio;
    case BA_COZZONE_Q: return s.shearQ;
    default: return 0.0;
    }
}

}  // namespace

namespace ILorimant {

double GetValue(CXSectionAnalysisDoc& doc, int valueID)
{
    return AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        const CSubSection& sub = CurrentSubSection(model);
        if (const ValueRow* row = findRow(std::begin(kValueRows), std::end(kValueRows), valueID))
            return row->read(sub);
        const std::shared_ptr<CLoadCondition> lc = sub.curAppLC();
        const CSectionForces* forces = lc ? lc->scnForces() : nullptr;
        const ForcesRow* row = findRow(std::begin(kLoadValueRows), std::end(kLoadValueRows), valueID);
        if (row == nullptr || forces == nullptr) throw std::logic_error("GetValue has unrecognized valueID");
        return row->read(*forces);
    });
}

double BendingAnalysisResult(CXSectionAnalysisDoc& doc, const CString& loadCaseName, int result)
{
    return AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        const CSubSection& sub = CurrentSubSection(model);
        switch (result) {
        case BA_COZZONE_RUPTUREMODULUSABOUTXP:
        case BA_COZZONE_RUPTUREMOMENTABOUTXP:
        case BA_COZZONE_SHEARCORRECTIONFACTOR:
        case BA_COZZONE_Q:
        case BA_COZZONE_MSBENDING:
        case BA_COZZONE_MSSHEAR: return cozzoneResult(sub, result);
        case BA_COZZONE_RUPTUREMODULUSABOUTYP:
        case BA_COZZONE_RUPTUREMOMENTABOUTYP: AfxThrowOleDispatchException(1, L"Unsupported result.");
        default: break;
        }
        const CLoadCondition* lc = sub.findLoadConditionMutable(loadCaseName);
        if (lc == nullptr) AfxThrowOleDispatchException(1, L"Load condition does not exist does not exist.");
        const CSectionForces* forces = lc->scnForces();
        if (lc->type() != SectionForces || forces == nullptr)
            AfxThrowOleDispatchException(
                1, L"Load condition is not a section forces load condition does not exist does not exist.");
        if (const ForcesRow* row = findRow(std::begin(kBendingRows), std::end(kBendingRows), result))
            return row->read(*forces);
        if (result >= BA_MinStressLocationX && result <= BA_ResultantMomentAngle) return 0.0;
        AfxThrowOleDispatchException(1, L"Unsupported result.");
    });
}

void CreateFatSectionLoad(CXSectionAnalysisDoc& doc, const CString& name, double vx, double vy, double vz,
                          double mx, double my, double mz)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CurrentSubSection(model);
        CString n = name;
        model.createFatSectionLoad(n, vx, vy, vz, mx, my, mz);
    });
}

void DeleteLoad(CXSectionAnalysisDoc& doc, const CString& name)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection& sub = CurrentSubSection(model);
        std::shared_ptr<CLoadCondition> lc = sub.findLoadCondition(name);
        if (!lc) AfxThrowOleDispatchException(1, L"Load condition does not exist.");
        // A deleted condition no longer stays applied behind the user's back.
        if (sub.curAppLC() == lc) sub.curAppLC(nullptr);
        sub.deleteLoadCondition(lc);
    });
}

void SetCurrentLoad(CXSectionAnalysisDoc& doc, const CString& name)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection& sub = CurrentSubSection(model);
        std::shared_ptr<CLoadCondition> lc = sub.findLoadCondition(name);
        if (!lc) AfxThrowOleDispatchException(1, L"Load condition does not exist.");
        sub.curAppLC(lc);
        CSectionForces* forces = lc->scnForcesMutable();
        if (forces != nullptr && (forces->kind == 4 || forces->kind == 5)) sub.applyElasticBendingForces(forces);
    });
}

void ApplyBendingForces(CXSectionAnalysisDoc& doc, bool restrained, const CString& loadCaseName, double p,
                        double a, double b, long grainL)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection& sub = CurrentSubSection(model);
        if (restrained)
            sub.applyRestrainedBendingForces(loadCaseName, p, a, b, grainL != 0);
        else
            sub.applyUnrestrainedBendingForces(loadCaseName, p, a, b, grainL != 0);
        RefreshModelChanged(doc);
    });
}

void BruhnPlasticBendingAnalysis(CXSectionAnalysisDoc& doc, const CString& subSection, const CString& loadCaseName,
                                 double angle)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection& sub = NamedSubSection(model, subSection);
        if (!sub.forceRecalcProperties())
            AfxThrowOleDispatchException(1, L"The section properties could not be computed.");
        const std::shared_ptr<CLoadCondition> given = sub.findLoadCondition(loadCaseName);
        const double p = given && given->scnForces() ? given->scnForces()->axial : 0.0;
        double tension = 0.0, compression = 0.0;
        sub.solveBruhnPlasticBending(loadCaseName, angle, 0, true, p, &tension, &compression);
        const std::shared_ptr<CLoadCondition> lc = sub.curAppLC();
        CSectionForces* forces = lc ? lc->scnForcesMutable() : nullptr;
        if (forces == nullptr) return;
        sub.computeResultantBendingForces(forces);
        // How far the stress field's force is from the one asked for.
        const double closure = forces->resultantForce - p;
        if (!sub.checkCriticalPoints() && std::fabs(closure) > 1.0)
            AfxThrowOleDispatchException(
                1001, L"WARNING,  Results do not match the inputs within tolerance.  Increase the mesh density");
    });
}

void AddCriticalPoint(CXSectionAnalysisDoc& doc, const CString& subSection, double x, double y, double allowable)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        Point<double> p(x, y, 0.0);
        NamedSubSection(model, subSection).addCriticalPoint(p, allowable);
    });
}

void ClearCriticalPoints(CXSectionAnalysisDoc& doc, const CString& subSection)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection& sub = NamedSubSection(model, subSection);
        for (CriticalPoint* p : sub.criticalPoints) delete p;
        sub.criticalPoints.clear();
    });
}

void ComputeAllSectionProperties(CXSectionAnalysisDoc& doc, const CString& subSection)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        if (!NamedSubSection(model, subSection).forceRecalcProperties())
            AfxThrowOleDispatchException(1, L"The section properties could not be computed.");
    });
}

void ComputeCozzonePlasticMomentsGivenFo(CXSectionAnalysisDoc& doc, double fm, double foUltimate)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        // Written so that a value that is not a number is refused too.
        if (!(foUltimate >= 1.0))
            AfxThrowOleDispatchException(1, L"At a minimum you must provide a value for fo Ultimate");
        CSubSection& sub = CurrentSubSection(model);
        sub.cozzoneMethodSolnsGivenfo(fm, foUltimate);
        sub.displayedResult = STRESS_ZZ;
        sub.resultKind = STRESS_ZZ;
        RefreshRedraw(doc, true);
    });
}

double ShapeVQIb(CXSectionAnalysisDoc& doc, const CString& shapeName, double v, double b)
{
    return AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection& sub = CurrentSubSection(model);
        CShapeAnalysis* shape = sub.searchShape(shapeName);
        if (shape == nullptr) AfxThrowOleDispatchException(1001, L"Object not found");
        const std::shared_ptr<CLoadCondition> lc = sub.curAppLC();
        if (!lc) AfxThrowOleDispatchException(1, L"Load condition does not exist.");
        return sub.shapeVQIxb(lc->name(), shape, v, b);
    });
}

double CozzoneMaxShear(CXSectionAnalysisDoc& doc, double v, double b, int principal)
{
    return AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        return CurrentSubSection(model).cozzoneShear(v, b, principal != 0);
    });
}

}  // namespace ILorimant
