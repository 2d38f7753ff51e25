// Sub-section creation and grouping for the profile builders (see the header).
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/AutomationFrame.h"
#include "lorimant/automation/ProfileInnerStand.h"

namespace ProfileInner {
void CreateSubSection(CXSectionAnalysisDoc& doc, const CString& name, const CString& parentName)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection* parent = model.findSubSectionMutable(parentName);
        if (!parent) AfxThrowOleDispatchException(1, L"Parent does not exist: " + parentName);
        if (model.findSubSection(name)) AfxThrowOleDispatchException(2, L"Object with that name already exists.");
        auto* sub = new CSubSection(&model, parent);
        sub->name(name);
        parent->addChildSubSection(sub);
        model.subSections.push_back(sub);
        doc.ModelChanged();
    });
}
void GroupAdd(CXSectionAnalysisDoc&, const CString&, const CString&, bool) {}
}  // namespace ProfileInner
