#include "lorimant/automation/ILorimant.h"

#include <stdexcept>

#include "drevoline/mesh/MeshTypes.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/AutomationFrame.h"

namespace ILorimant {

CString GetGroupCurrent(CXSectionAnalysisDoc& doc)
{
    return AutomationMethod(doc, [](CXSectionAnalysis& model) { return model.currentName; });
}

void SetGroupCurrent(CXSectionAnalysisDoc& doc, const CString& name)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        if (ResolveSubSection(model, name) == nullptr) AfxThrowOleDispatchException(1001, L"Group not found.");
        CString current = name;
        model.setSubSection(current);
    });
}

void ComputeGeomSectionProperties(CXSectionAnalysisDoc& doc)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        JournalLine(doc, L"xscn.ComputeGeomSectionProperties");
        CSubSection* current = ResolveCurrentSubSection(model);
        if (current == nullptr) AfxThrowOleDispatchException(1, L"There is no current sub-section.");
        // The failure itself (a zero area, a singular material) has been
        // shown to the user; the caller must not take it for success.
        if (!current->computeProperties()) RefuseUncomputedProperties(*current);
    });
}

void SetUnitsystem(CXSectionAnalysisDoc& doc, int units)
{
    AutomationMethod(doc, [&](CXSectionAnalysis&) {
        if (units != 0 && units != 1) AfxThrowOleDispatchException(1, L"The unit system must be QHT_SI or QHT_USCS.");
        // A document whose unit system is not chosen yet takes this one, as
        // the unit question that wrote the line did: otherwise every later
        // call would publish the undecided system again.
        if (doc.unitSystem() != 0 && doc.unitSystem() != 1)
            doc.setUnitSystem(units);
        else
            gUnitSystem = static_cast<EUnitSystem>(units);
    });
}

void ClearAll(CXSectionAnalysisDoc& doc)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        // The sub-sections go first; the shapes they leave without an owner
        // then go too, so that a model with shapes clears.
        model.clear();
        model.deleteOrphanShapes();
        model.initialize();
        RefreshModelChanged(doc, true);
        if (!model.shapes.IsEmpty()) throw std::logic_error("Not all shapes removed in clear.");
    });
}

void AddLocalSizeControl(CXSectionAnalysisDoc& doc, const CString& shapeName, double x, double y, double size,
                         double radius)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CShapeAnalysis* shape = ResolveShape(model, shapeName);
        if (shape == nullptr) AfxThrowOleDispatchException(1001, L"Object not found");
        // A zero or negative size would ask the mesher for endless refinement.
        if (!(size > 0.0) || !(radius > 0.0))
            AfxThrowOleDispatchException(1, L"The element size and the radius must be positive.");
        model.addPendingSizeControl(shape->name(), LocalSizeControl{x, y, radius, size});
        JournalLine(doc, L"xscn.AddLocalSizeControl \"%s\",%g,%g,%g,%g", shapeName, x, y, size, radius);
    });
}

void ComputeCozzoneUnsymmetricMethod(CXSectionAnalysisDoc& doc, double y, double strain)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection* current = ResolveCurrentSubSection(model);
        if (current == nullptr) AfxThrowOleDispatchException(1, L"There is no current sub-section.");
        current->cozzoneUnsymmetricMethod(y, strain);
        JournalLine(doc, L"xscn.ComputeCozzoneUnsymmetricMethod %g,%g", y, strain);
        RefreshModelChanged(doc, false);
    });
}

}  // namespace ILorimant
