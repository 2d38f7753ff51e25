#include "lorimant/automation/ILorimant.h"

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
        if (!current->computeProperties())
            AfxThrowOleDispatchException(1, L"The section properties could not be computed.");
    });
}

}  // namespace ILorimant
