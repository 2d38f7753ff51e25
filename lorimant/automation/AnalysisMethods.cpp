// The document's automation methods that read section properties and
// bending results and manage loads: GetValue, the load conditions, the
// elastic and plastic analyses and the values read from their results.
#include <cmath>
#include <memory>
#include <optional>

#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CSectionForces.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/analyses/SectionPropertyValues.h"
#include "lorimant/automation/AnalysisMethodsSupport.h"
#include "lorimant/automation/AutomationFrame.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/automation/LorimantTypeLibrary.h"

using namespace AnalysisSupport;

namespace {

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
        if (const std::optional<double> value = SectionPropertyValue(sub, valueID)) return *value;
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
        if (!sub.forceRecalcProperties()) RefuseUncomputedProperties(sub);
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
        CSubSection& sub = NamedSubSection(model, subSection);
        if (!sub.forceRecalcProperties()) RefuseUncomputedProperties(sub);
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
