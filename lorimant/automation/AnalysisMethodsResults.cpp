// The document's automation methods over meshes: meshing, welds, result
// values at points, extremes, plots and the box sums.
#include <cmath>
#include <memory>
#include <stdexcept>

#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CSectionForces.h"
#include "analysis/predicates/Predicates.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/CWeld.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/AnalysisMethodsSupport.h"
#include "lorimant/automation/AutomationFrame.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/automation/LorimantTypeLibrary.h"
#include "lorimant/view/CThickSectionView.h"

namespace AnalysisSupport {

CSubSection& CurrentSubSection(CXSectionAnalysis& model)
{
    CSubSection* sub = ResolveCurrentSubSection(model);
    if (sub == nullptr) AfxThrowOleDispatchException(1, L"There is no current sub-section.");
    return *sub;
}

CSubSection& NamedSubSection(CXSectionAnalysis& model, const CString& name)
{
    CSubSection* sub = ResolveSubSection(model, name);
    if (sub == nullptr) AfxThrowOleDispatchException(1, L"SubSection doesn't exist");
    return *sub;
}

}  // namespace AnalysisSupport

using namespace AnalysisSupport;

namespace {

// The meshing budgets the automation hands the model.
constexpr int kSubSectionBudget = 100000;
constexpr int kShapeBudget = 1000000;

// The result kind of a plot or a value: stress (3) or strain (4).
RESULTS resultKind(int value)
{
    if (value != QHT_STRESSZZ && value != QHT_STRAINZZ) AfxThrowOleDispatchException(1, L"Unsupported result.");
    return static_cast<RESULTS>(value);
}

ELEMENT_TYPE elementType(int type)
{
    if (type != TRIANGLE_3NODES && type != QUAD_4NODES) AfxThrowOleDispatchException(1, L"Unknown element type.");
    return static_cast<ELEMENT_TYPE>(type);
}

// Refuses (1001) a node count past the mesh dialog's range limit, which
// every mesh the mesher then makes can be stored with, and sizes that are
// not numbers.
void checkMeshRequest(long nodes, double tolerance, double thickness)
{
    constexpr long kMaxNodes = CMesh::kMaxRequestNodes;
    if (nodes < 0 || nodes > kMaxNodes)
        AfxThrowOleDispatchException(1001, L"The number of nodes must lie between 0 and 100000");
    if (!std::isfinite(tolerance) || !std::isfinite(thickness))
        AfxThrowOleDispatchException(1001, L"The mesh sizes must be finite numbers");
}

// Whether p lies in a triangle element of the sub-section, its edges and
// corners included: the model's element search passes over points on an
// element's bounding box and answers them from the closest node.
bool inClosedTriangle(const CSubSection& sub, const Point<double>& p)
{
    for (const CMesh* m : sub.meshes)
        for (const auto& el : m->trng3Elements) {
            if (el->nodes.size() != 3) continue;
            bool inside = true;
            for (int k = 0; k < 3 && inside; ++k) {
                const Point<double>& a = el->nodes[k]->position;
                const Point<double>& b = el->nodes[(k + 1) % 3]->position;
                inside = orient2d(&a.x, &b.x, &p.x) >= 0.0;
            }
            if (inside) return true;
        }
    return false;
}

// The section forces of the current sub-section's current load condition;
// refuses (1) without one.
CSectionForces& currentForces(CSubSection& sub)
{
    const std::shared_ptr<CLoadCondition> lc = sub.curAppLC();
    CSectionForces* forces = lc ? lc->scnForcesMutable() : nullptr;
    if (forces == nullptr) AfxThrowOleDispatchException(1, L"There is no current load condition.");
    return *forces;
}

// Force and first moment of the stresses in the box of the two corners.
void boxSums(CXSectionAnalysis& model, double xmin, double ymin, double xmax, double ymax, double* force,
             double* q)
{
    CSubSection& sub = CurrentSubSection(model);
    currentForces(sub);
    Point<double> a(xmin, ymin, 0.0), b(xmax, ymax, 0.0);
    double other = 0.0;
    bool flag = false;
    sub.boxForce(a, b, force, q, &other, &flag);
}

// Runs a weld operation; a model failure is refused 1001 with text.
template <class Work>
void weldOperation(const wchar_t* text, Work&& work)
{
    try {
        work();
    } catch (const COleDispatchException&) {
        throw;
    } catch (...) {
        AfxThrowOleDispatchException(1001, text);
    }
}

}  // namespace

namespace ILorimant {

void MeshSubSection(CXSectionAnalysisDoc& doc, const CString& subSection, int type, long nodes, double tolerance,
                    double thickness)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection& sub = NamedSubSection(model, subSection);
        checkMeshRequest(nodes, tolerance, thickness);
        model.meshSubSection(&sub, elementType(type), nodes, thickness, tolerance, -1, kSubSectionBudget);
        RefreshRedraw(doc, true);
    });
}

void MeshShape(CXSectionAnalysisDoc& doc, const CString& shapeName, int type, long nodes, double tolerance,
               double thickness)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CurrentSubSection(model);
        CShapeAnalysis* shape = ResolveShapeInCurrent(model, shapeName);
        if (shape == nullptr) AfxThrowOleDispatchException(1001, L"Object not found");
        checkMeshRequest(nodes, tolerance, thickness);
        model.meshShape(shape, elementType(type), nodes, thickness, tolerance, -1, kShapeBudget);
        RefreshRedraw(doc, true);
    });
}

void MoveSubSectionMeshesToRoot(CXSectionAnalysisDoc& doc)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        model.moveMeshesToRoot();
        RefreshRedraw(doc, true);
    });
}

void DeleteMeshes(CXSectionAnalysisDoc& doc)
{
    AutomationMethod(doc, [&](CXSectionAnalysis&) {
        if (auto* view = dynamic_cast<CThickSectionView*>(doc.activeView()))
            view->DeleteMeshes();
        else
            doc.DeleteMeshes();
    });
}

void CreateWeld(CXSectionAnalysisDoc& doc, double x1, double y1, double x2, double y2)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection& sub = CurrentSubSection(model);
        Point<double> a(x1, y1, 0.0), b(x2, y2, 0.0);
        bool made = false;
        try {
            made = sub.createWeld(a, b);
        } catch (const std::exception& e) {
            AfxThrowOleDispatchException(1001, CString(e.what()));
        }
        if (!made)
            AfxThrowOleDispatchException(1001, L"The weld rectangle must contain only border elements of two meshes");
        RefreshModelChanged(doc);
    });
}

void DeleteWelds(CXSectionAnalysisDoc& doc)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection& sub = CurrentSubSection(model);
        weldOperation(L"Unable to delete welds", [&] {
            for (CWeld* weld : sub.welds) delete weld;
            sub.welds.clear();
        });
        RefreshModelChanged(doc);
    });
}

void ExecuteWelds(CXSectionAnalysisDoc& doc)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection& sub = CurrentSubSection(model);
        weldOperation(L"Unable to create weld", [&] { sub.executeWelds(); });
        RefreshModelChanged(doc);
    });
}

double GetValueAtLocation(CXSectionAnalysisDoc& doc, int value, double x, double y)
{
    return AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection& sub = CurrentSubSection(model);
        const RESULTS kind = resultKind(value);
        Point<double> p(x, y, 0.0);
        if (sub.findTrng3Element(&p) == nullptr && !inClosedTriangle(sub, p))
            AfxThrowOleDispatchException(1002, L"Location does not lie inside of any triangle");
        double stress = 0.0, strain = 0.0;
        CString material;
        sub.getResultsAtLocation(x, y, &stress, &strain, material);
        return kind == STRESS_ZZ ? stress : strain;
    });
}

void ExtremeValues(CXSectionAnalysisDoc& doc, int result, double& max, double& min)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection& sub = CurrentSubSection(model);
        const RESULTS kind = resultKind(result);
        sub.maxmin(&currentForces(sub), kind);
        max = sub.resultMax;
        min = sub.resultMin;
    });
}

void GetExtremeValue(CXSectionAnalysisDoc& doc, int which, double& x, double& y, double& value)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        const CSectionForces& f = currentForces(CurrentSubSection(model));
        const Point<double>* at = nullptr;
        switch (which) {
        case QHT_MINSTRESS: at = &f.minStressPoint, value = f.minStress; break;
        case QHT_MAXSTRESS: at = &f.maxStressPoint, value = f.maxStress; break;
        case QHT_MINSTRAIN: at = &f.minStrainPoint, value = f.minStrain; break;
        case QHT_MAXSTRAIN: at = &f.maxStrainPoint, value = f.maxStrain; break;
        default: AfxThrowOleDispatchException(1, L"Unsupported result.");
        }
        x = at->x;
        y = at->y;
    });
}

void PlotResult(CXSectionAnalysisDoc& doc, int value)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection& sub = CurrentSubSection(model);
        sub.displayedResult = resultKind(value);
        sub.resultKind = value;
        RefreshRedraw(doc);
    });
}

void LinePlot(CXSectionAnalysisDoc& doc, double x1, double y1, double x2, double y2, int result)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection& sub = CurrentSubSection(model);
        const RESULTS kind = resultKind(result);
        auto* view = dynamic_cast<CThickSectionView*>(doc.activeView());
        if (view == nullptr) AfxThrowOleDispatchException(1, L"A line plot needs a section view.");
        view->makeCurrent();
        Point<double> a(x1, y1, 0.0), b(x2, y2, 0.0);
        DspRecord* record = sub.displayLinePlot(a, b, kind);
        if (record == nullptr) AfxThrowOleDispatchException(1, L"The line plot could not be drawn.");
        view->ShowLinePlot(record);
    });
}

double BendingBoxForce(CXSectionAnalysisDoc& doc, double xmin, double ymin, double xmax, double ymax)
{
    return AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        double force = 0.0, q = 0.0;
        boxSums(model, xmin, ymin, xmax, ymax, &force, &q);
        return force;
    });
}

double BendingBoxQ(CXSectionAnalysisDoc& doc, double xmin, double ymin, double xmax, double ymax)
{
    return AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        double force = 0.0, q = 0.0;
        boxSums(model, xmin, ymin, xmax, ymax, &force, &q);
        return q;
    });
}

}  // namespace ILorimant
