// The document's automation methods that rearrange the sub-section tree
// and copy shapes and sub-sections.
#include <algorithm>
#include <memory>

#include "analysis/model/CDot.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/AutomationFrame.h"
#include "lorimant/automation/ILorimant.h"

namespace ILorimant {

namespace {

// A copy's name: refuses (2) an empty one as well as a taken one.
void refuseTakenShapeName(const CXSectionAnalysis& model, const CString& name)
{
    if (name.IsEmpty()) AfxThrowOleDispatchException(2, L"Object with that name already exists.");
    RefuseTakenShapeName(model, name);
}

// True when ancestor is sub or lies above it.
bool isAncestor(const CSubSection* ancestor, const CSubSection* sub)
{
    for (; sub != nullptr; sub = sub->parent())
        if (sub == ancestor) return true;
    return false;
}

}  // namespace

void DeleteSubSectionAndChildShapes(CXSectionAnalysisDoc& doc, const CString& name)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        ExistingSubSection(model, name, L"Subsection does not exist");
        doc.DeleteSubSectionAndChildShapes(name);
        if (ActiveSectionView* view = doc.activeView()) view->ClearPicks();
    });
}

void DeleteSubSection(CXSectionAnalysisDoc& doc, const CString& name)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        if (name.IsEmpty()) return;
        RefuseDeletingHeldSubSection(model, ExistingSubSection(model, name, L"Subsection does not exist"));
        doc.DeleteSubSectionAndChildShapes(name);
        RefreshRedraw(doc);
    });
}

void ChangeSubSectionParent(CXSectionAnalysisDoc& doc, const CString& name, const CString& parentName)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection& sub = ExistingSubSection(model, name, L"Subsection does not exist");
        CSubSection& parent = ExistingSubSection(model, parentName, L"Parent subsection does not exist.");
        // Under itself or its own descendant the sub-section would leave the tree.
        if (isAncestor(&sub, &parent)) AfxThrowOleDispatchException(1, L"A subsection cannot be its own parent.");
        if (CSubSection* old = sub.parent()) old->removeChildSubSection(&sub);
        parent.addChildSubSection(&sub);
        model.verifySubsections();
        doc.frame()->RefreshSectionTree();
    });
}

void ChangeShapeParent(CXSectionAnalysisDoc& doc, const CString& name, const CString& parentName)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CShapeAnalysis* shape = ResolveShape(model, name);
        if (shape == nullptr) AfxThrowOleDispatchException(1, L"Shape or parent subsection does not exist.");
        CSubSection& parent = ExistingSubSection(model, parentName, L"Parent subsection does not exist.");
        if (CSubSection* old = shape->subSection()) old->removeChildShape(shape);
        model.addShapeToLists(&parent, shape);
        doc.frame()->RefreshSectionTree();
        RefreshRedraw(doc);
    });
}

void BringSubSectionToFront(CXSectionAnalysisDoc& doc, const CString& name)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        doc.BringToFront(&ExistingSubSection(model, name, L"Subsection not found"));
    });
}

void PushSubSectionToBack(CXSectionAnalysisDoc& doc, const CString& name)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        doc.PushToBack(&ExistingSubSection(model, name, L"Subsection not found"));
    });
}

void DeleteConstructionPoints(CXSectionAnalysisDoc& doc)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection* current = ResolveCurrentSubSection(model);
        if (current == nullptr) return;
        if (ActiveSectionView* view = doc.activeView()) view->ClearPicks();
        for (CDot* point : current->constructionPoints) delete point;
        current->constructionPoints.clear();
        RefreshRedraw(doc);
    });
}

void CopyPasteShape(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& shapeName,
                    const CString& copyName)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CShapeAnalysis* shape = ResolveShape(model, shapeName);
        if (shape == nullptr) AfxThrowOleDispatchException(1, L"Shape object could not be found");
        CSubSection& parent = ExistingSubSection(model, parentName, L"Parent subsection does not exist.");
        refuseTakenShapeName(model, copyName);
        auto copy = std::make_unique<CShapeAnalysis>(shape);
        copy->name(copyName);
        model.addShapeToLists(&parent, copy.get());
        copy.release();
        doc.frame()->RefreshSectionTree();
        RefreshRedraw(doc);
    });
}

void CopyPasteSubSection(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& subsectionName,
                         const CString& copyName)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection& source = ExistingSubSection(model, subsectionName, L"Subsection does not exist");
        CSubSection& parent = ExistingSubSection(model, parentName, L"Parent subsection does not exist.");
        const std::unique_ptr<ShapeList> shapes = source.getShapes();
        if (shapes && shapes->GetCount() > 1)
            AfxThrowOleDispatchException(1, L"Subsection may have only one shape assocated with it");
        if (copyName.IsEmpty() || ResolveSubSection(model, copyName) != nullptr)
            AfxThrowOleDispatchException(1, L"Subsection already exists.");
        CShapeAnalysis* copy = nullptr;
        if (shapes && !shapes->IsEmpty()) {
            refuseTakenShapeName(model, copyName);
            copy = new CShapeAnalysis(shapes->GetHead());
            copy->name(copyName);
        }
        model.createSubSection(&parent, &source, copy);
        model.subSections.back()->name(copyName);
        if (copy != nullptr && model.shapes.Find(copy) == nullptr) model.shapes.AddTail(copy);
        doc.frame()->RefreshSectionTree();
        RefreshRedraw(doc, true);
    });
}

}  // namespace ILorimant
