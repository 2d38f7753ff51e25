// The document's automation methods that edit shapes and sub-sections:
// union, deletion, groups, the current sub-section, signs, points, names
// and the view's selection.
#include <stdexcept>
#include <string>
#include <vector>

#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/AutomationFrame.h"
#include "lorimant/automation/ILorimant.h"

namespace ILorimant {

namespace {

// Refuses (1) an empty name, which no lookup could reach.
void refuseEmptyName(const CString& name)
{
    if (name.IsEmpty()) AfxThrowOleDispatchException(1, L"A name cannot be empty.");
}

CShapeAnalysis& existingShape(const CXSectionAnalysis& model, const CString& name, const wchar_t* refusal)
{
    CShapeAnalysis* shape = ResolveShape(model, name);
    if (shape == nullptr) AfxThrowOleDispatchException(1, refusal);
    return *shape;
}

CSubSection& currentOf(CXSectionAnalysis& model)
{
    CSubSection* current = ResolveCurrentSubSection(model);
    if (current == nullptr) AfxThrowOleDispatchException(1, L"There is no current sub-section.");
    return *current;
}

}  // namespace

void Union(CXSectionAnalysisDoc& doc)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        currentOf(model).Union(-1);
        RefreshRedraw(doc, true);
    });
}

void DeleteShape(CXSectionAnalysisDoc& doc, const CString& nm)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        if (CSubSection* sub = ResolveSubSection(model, nm)) {
            RefuseDeletingHeldSubSection(model, *sub);
            JournalLine(doc, L"xscn.DeleteShape \"%s\"", nm);
            // The line above replays the whole deletion: the document's own
            // line would delete a second time.
            JournalBlock block(doc, L"DeleteShape");
            doc.DeleteSubSectionAndChildShapes(nm);
        } else {
            existingShape(model, nm, L"Object doesn't exist");
            model.deleteShape(nm);
        }
        RefreshRedraw(doc, true);
    });
}

void GroupAdd(CXSectionAnalysisDoc& doc, const CString& scnnm, const CString& objnm, bool resetParent)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection& group = ExistingSubSection(model, scnnm, L"Subsection does not exist");
        CShapeAnalysis& shape = existingShape(model, objnm, L"Shape does not exist");
        if (resetParent) {
            for (CSubSection* s : model.subSections)
                if (s->name() != scnnm) s->removeChildShape(&shape);
            group.addChildShape(&shape);
        } else {
            group.addShape(&shape);
        }
        group.scnPrpUTD(false);
    });
}

void GroupDelete(CXSectionAnalysisDoc& doc, const CString& scnnm)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection& group = ExistingSubSection(model, scnnm, L"Subsection does not exist");
        RefuseDeletingHeldSubSection(model, group);
        doc.DeleteSubSectionAndChildShapes(scnnm);
        RefreshModelChanged(doc, true);
    });
}

void GroupRemove(CXSectionAnalysisDoc& doc, const CString& scnnm, const CString& objnm)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection& group = ExistingSubSection(model, scnnm, L"Subsection does not exist");
        CShapeAnalysis& shape = existingShape(model, objnm, L"Shape does not exist");
        if (!group.contains(&shape)) return;
        group.removeChildShape(&shape);
        group.scnPrpUTD(false);
        RefreshModelChanged(doc, true);
    });
}

void CreateSubSection(CXSectionAnalysisDoc& doc, const CString& name, const CString& parent)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection* up = ResolveSubSection(model, parent);
        if (up == nullptr)
            throw std::logic_error("Parent does not exist: " + std::string(CStringA(parent).GetString()));
        // Sub-sections are found by name: a second of one name could never be reached.
        if (name.IsEmpty() || ResolveSubSection(model, name) != nullptr)
            AfxThrowOleDispatchException(1, L"Subsection already exists.");
        auto* sub = new CSubSection(&model, up);
        sub->name(name);
        up->addChildSubSection(sub);
        model.subSections.push_back(sub);
        JournalLine(doc, L"xscn.CreateSubSection \"%s\",\"%s\"", name, parent);
        doc.ModelChanged();
        if (ActiveSectionView* view = doc.activeView()) view->ClearPicks();
    });
}

void SetCurrentSubSection(CXSectionAnalysisDoc& doc, const CString& name)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection& sub = ExistingSubSection(model, name, L"SubSection not found.");
        CString current = name;
        model.setSubSection(current);
        sub.refreshDots();
        RefreshModelChanged(doc);
    });
}

void ChangeSign(CXSectionAnalysisDoc& doc, const CString& subsectionName, const CString& objectName)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection& sub = ExistingSubSection(model, subsectionName, L"Subsection does not exist");
        if (CShapeAnalysis* shape = sub.findShape(objectName)) {
            model.changeSign(shape);
        } else {
            CSubSection& profile = ExistingSubSection(model, objectName, L"Object doesn't exist");
            const std::unique_ptr<ShapeList> shapes = profile.getShapesRecursive();
            for (POSITION pos = shapes->GetHeadPosition(); pos;) model.changeSign(shapes->GetNext(pos));
        }
        RefreshModelChanged(doc);
    });
}

void AddPoint(CXSectionAnalysisDoc& doc, const CString& subsectionName, double x, double y)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        RefuseNonFinite({x, y});
        ExistingSubSection(model, subsectionName, L"Subsection does not exist").addConstructionPoint(x, y);
        RefreshRedraw(doc);
    });
}

void RenameShape(CXSectionAnalysisDoc& doc, const CString& oldName, const CString& newName)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CShapeAnalysis& shape = existingShape(model, oldName, L"Shape does not exist");
        // Shapes are found by name: an empty name or a second shape of one
        // name could never be reached again.
        refuseEmptyName(newName);
        if (CShapeAnalysis* other = ResolveShape(model, newName); other != nullptr && other != &shape)
            AfxThrowOleDispatchException(2, L"Object with that name already exists.");
        CString name = newName;
        model.renameShape(&shape, name);
        doc.frame()->RefreshSectionTree();
        RefreshRedraw(doc);
    });
}

void RenameSubSection(CXSectionAnalysisDoc& doc, const CString& previousName, const CString& newName)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection& sub = ExistingSubSection(model, previousName, L"Subsection does not exist.");
        refuseEmptyName(newName);
        if (CSubSection* other = ResolveSubSection(model, newName); other != nullptr && other != &sub)
            AfxThrowOleDispatchException(1, L"Subsection already exists.");
        doc.RenameSubSectionTo(previousName, newName);
    });
}

void SelectShape(CXSectionAnalysisDoc& doc, const CString& name)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        std::vector<const void*> shapes;
        if (CShapeAnalysis* shape = ResolveShape(model, name)) {
            shapes.push_back(shape);
        } else {
            const std::unique_ptr<ShapeList> list =
                ExistingSubSection(model, name, L"Object doesn't exist").getShapesRecursive();
            for (POSITION pos = list->GetHeadPosition(); pos;) shapes.push_back(list->GetNext(pos));
        }
        ActiveSectionView* view = doc.activeView();
        if (view != nullptr && !view->SelectShapes(shapes))
            throw std::logic_error("Selection of shape failed, object not found in display list.");
    });
}

void ClearPicks(CXSectionAnalysisDoc& doc)
{
    AutomationMethod(doc, [&](CXSectionAnalysis&) {
        if (ActiveSectionView* view = doc.activeView()) view->ClearPicks();
    });
}

void DeleteSelected(CXSectionAnalysisDoc& doc)
{
    AutomationMethod(doc, [&](CXSectionAnalysis&) {
        if (ActiveSectionView* view = doc.activeView()) view->DeleteSelected();
    });
}

void BreakUnion(CXSectionAnalysisDoc& doc)
{
    AutomationMethod(doc, [&](CXSectionAnalysis&) {
        if (ActiveSectionView* view = doc.activeView()) {
            view->ClearPicks();
            view->OnBreakUnion();
        }
    });
}

}  // namespace ILorimant
