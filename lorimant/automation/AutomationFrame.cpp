#include "lorimant/automation/AutomationFrame.h"

#include <cmath>

#include "analysis/model/CLog.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"

CXSectionAnalysis& PublishDocumentModel(CXSectionAnalysisDoc& doc)
{
    if (doc.model() == nullptr) AfxThrowOleDispatchException(1, L"The document has no section model.");
    doc.MakeCurrent();
    return *doc.model();
}

CSubSection* ResolveSubSection(const CXSectionAnalysis& model, const CString& name)
{
    return model.findSubSectionMutable(name);
}

CSubSection& ExistingSubSection(const CXSectionAnalysis& model, const CString& name, const wchar_t* refusal)
{
    CSubSection* sub = ResolveSubSection(model, name);
    if (sub == nullptr) AfxThrowOleDispatchException(1, refusal);
    return *sub;
}

void RefuseTakenShapeName(const CXSectionAnalysis& model, const CString& name)
{
    if (ResolveShape(model, name) != nullptr) AfxThrowOleDispatchException(2, L"Object with that name already exists.");
}

void RefuseDeletingHeldSubSection(CXSectionAnalysis& model, const CSubSection& sub)
{
    // The root may have been moved under a group that heads a tree of its
    // own: deleting that group would take the whole section with it.
    auto holds = [&](const CSubSection* c) {
        for (; c != nullptr; c = c->parent())
            if (c == &sub) return true;
        return false;
    };
    const bool held = holds(model.rootSubSection()) || holds(ResolveCurrentSubSection(model));
    if (held) AfxThrowOleDispatchException(1001, L"Cannot delete the current group or root group. Change current first");
}

CSubSection* ResolveCurrentSubSection(CXSectionAnalysis& model)
{
    return model.currentSubSectionMutable();
}

CShapeAnalysis* ResolveShape(const CXSectionAnalysis& model, const CString& name)
{
    return model.findShape(name);
}

CShapeAnalysis* ResolveShapeInCurrent(CXSectionAnalysis& model, const CString& name)
{
    const CSubSection* current = model.currentSubSectionMutable();
    return current ? current->findShape(name) : nullptr;
}

void RefuseNonFinite(std::initializer_list<double> values)
{
    for (const double v : values)
        if (!std::isfinite(v)) AfxThrowOleDispatchException(1, L"Invalid number.");
}

void RefreshModelChanged(CXSectionAnalysisDoc& doc, bool clearPicks)
{
    doc.ModelChanged();
    ActiveSectionView* view = doc.activeView();
    if (view == nullptr) return;
    if (clearPicks) view->ClearPicks();
    view->RebuildAndRedraw();
    view->fullView();
}

void RefreshRedraw(CXSectionAnalysisDoc& doc, bool fit)
{
    ActiveSectionView* view = doc.activeView();
    if (view == nullptr) return;
    view->RebuildAndRedraw();
    if (fit) view->fullView();
}

JournalBlock::JournalBlock(CXSectionAnalysisDoc& doc, const wchar_t* name) : CLogBlock(doc.journal(), name) {}

void RefuseUncomputedProperties(const CSubSection& sub)
{
    const std::unique_ptr<ShapeList> shapes = sub.getShapesRecursive();
    if (!shapes || shapes->IsEmpty()) {
        CString text;
        text.Format(L"The section has no shapes: add shapes to the sub-section \"%s\" before computing its properties.",
                    static_cast<const wchar_t*>(sub.name()));
        AfxThrowOleDispatchException(1, text);
    }
    AfxThrowOleDispatchException(1, L"The section properties could not be computed.");
}
