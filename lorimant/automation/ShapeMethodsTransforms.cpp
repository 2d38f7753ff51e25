// The document's automation methods that mirror, rotate and translate a
// shape or every shape of a sub-section, in place or as copies.
#include <functional>
#include <memory>
#include <vector>

#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "analysis/model/Utilities.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/AutomationFrame.h"
#include "lorimant/automation/ILorimant.h"

namespace ILorimant {

namespace {

// The shapes a transform of a name acts on: the shape found (null: none),
// else every own shape of the sub-section of that name in list order;
// refuses (1) a name that matches neither.
std::vector<CShapeAnalysis*> shapesNamed(const CXSectionAnalysis& model, CShapeAnalysis* shape, const CString& nm)
{
    if (shape != nullptr) return {shape};
    const CSubSection* sub = ResolveSubSection(model, nm);
    if (sub == nullptr) AfxThrowOleDispatchException(1, L"Object doesn't exist");
    std::vector<CShapeAnalysis*> out;
    if (const std::unique_ptr<ShapeList> list = sub->getShapes())
        for (POSITION pos = list->GetHeadPosition(); pos;) out.push_back(list->GetNext(pos));
    return out;
}

// Refuses (1) a mirror line that is not finite or whose normal has no length.
void refuseBadMirrorLine(double x, double y, double ux, double uy)
{
    RefuseNonFinite({x, y, ux, uy});
    if (ux == 0.0 && uy == 0.0) AfxThrowOleDispatchException(1, L"The mirror line needs a direction.");
}

// Copies of a plain sub-section's shapes all take the one name given: the
// current sub-section holds only one shape of a name, so more than one copy,
// or a name already taken, is refused before any copy is made.
void refuseSharedCopyName(const CXSectionAnalysis& model, const std::vector<CShapeAnalysis*>& shapes,
                          const CString& name)
{
    if (shapes.size() > 1)
        AfxThrowOleDispatchException(1, L"A group of more than one shape cannot be copied under one name.");
    RefuseTakenShapeName(model, name);
}

CSubSection& currentOf(CXSectionAnalysis& model)
{
    CSubSection* current = ResolveCurrentSubSection(model);
    if (current == nullptr) AfxThrowOleDispatchException(1, L"There is no current sub-section.");
    return *current;
}

}  // namespace

void MirrorShape(CXSectionAnalysisDoc& doc, const CString& nm, double x, double y, double ux, double uy)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        refuseBadMirrorLine(x, y, ux, uy);
        Point<double> p(x, y, 0.0), n(ux, uy, 0.0);
        for (CShapeAnalysis* s : shapesNamed(model, ResolveShape(model, nm), nm)) s->mirror(&p, &n);
        RefreshModelChanged(doc);
    });
}

void RotateShape(CXSectionAnalysisDoc& doc, const CString& nm, double x, double y, double ang)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        RefuseNonFinite({x, y, ang});
        Point<double> c(x, y, 0.0);
        for (CShapeAnalysis* s : shapesNamed(model, ResolveShapeInCurrent(model, nm), nm)) s->rotate(&c, ang);
        RefreshModelChanged(doc);
    });
}

void TranslateShape(CXSectionAnalysisDoc& doc, const CString& nm, double x, double y)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        RefuseNonFinite({x, y});
        Point<double> d(x, y, 0.0);
        for (CShapeAnalysis* s : shapesNamed(model, ResolveShapeInCurrent(model, nm), nm)) s->translate(&d);
        RefreshModelChanged(doc);
    });
}

void MirrorDuplicate(CXSectionAnalysisDoc& doc, const CString& nm, const CString& newnm, double x, double y,
                     double ux, double uy)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        refuseBadMirrorLine(x, y, ux, uy);
        Point<double> p(x, y, 0.0), n(ux, uy, 0.0);
        if (const CSubSection* sub = ResolveSubSection(model, nm)) {
            CString name = newnm;
            if (!sub->isFormedOrExtrudedSection()) {
                name += L"_Mirrored";
                refuseSharedCopyName(model, shapesNamed(model, nullptr, nm), name);
            }
            for (CShapeAnalysis* s : shapesNamed(model, nullptr, nm)) model.MirrorDuplicate(s, p, n, name);
        } else {
            // A mirrored copy named newnm, as the view's mirror-duplicate makes
            // and journals it: mirroring the shape itself in place would make
            // a replayed journal lose the copy and move the original.
            CShapeAnalysis* shape = ResolveShape(model, nm);
            if (shape == nullptr) AfxThrowOleDispatchException(1, L"Object doesn't exist");
            RefuseTakenShapeName(model, newnm);
            CString name = newnm;
            model.MirrorDuplicate(shape, p, n, name);
        }
        RefreshModelChanged(doc, true);
    });
}

void GroupMirrorDuplicate(CXSectionAnalysisDoc& doc, const CString& source, const CString& target, double x,
                          double y, double ux, double uy)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        refuseBadMirrorLine(x, y, ux, uy);
        if (ResolveSubSection(model, source) == nullptr) AfxThrowOleDispatchException(1, L"Subsection does not exist");
        if (ResolveSubSection(model, target) != nullptr) AfxThrowOleDispatchException(1, L"Subsection already exists.");
        CSubSection& current = currentOf(model);
        const std::vector<CShapeAnalysis*> sources = shapesNamed(model, nullptr, source);
        // Every copy's name is free before the first copy is made and journalled.
        for (CShapeAnalysis* s : sources) RefuseTakenShapeName(model, s->name() + L"_" + target);
        auto group = std::make_unique<CSubSection>(&model, nullptr);
        group->name(target);
        for (CShapeAnalysis* s : sources) {
            const CString name = s->name() + L"_" + target;
            CShapeAnalysis* copy = current.MirrorDuplicate(s, name, x, y, ux, uy);
            model.addShapeToLists(&current, copy);
            JournalLine(doc, L"xscn.MirrorDuplicate \"%s\",\"%s\",%g,%g,%g,%g", s->name(), name, x, y, ux, uy);
            group->addShape(copy);
        }
        model.subSections.push_back(group.release());
        RefreshModelChanged(doc, true);
    });
}

void RotateDuplicateShape(CXSectionAnalysisDoc& doc, const CString& nm, const CString& newnm, double x, double y,
                          double rot)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        RefuseNonFinite({x, y, rot});
        if (CShapeAnalysis* shape = ResolveShapeInCurrent(model, nm)) {
            model.rotateDuplicateShapeOrSubSection(shape, newnm, x, y, rot);
        } else {
            const CSubSection* sub = ResolveSubSection(model, nm);
            if (sub == nullptr) AfxThrowOleDispatchException(1001, L"Object doesn't exist");
            if (!sub->isFormedOrExtrudedSection())
                refuseSharedCopyName(model, shapesNamed(model, nullptr, nm), nm + L"_Rotated");
            for (CShapeAnalysis* s : shapesNamed(model, nullptr, nm))
                model.rotateDuplicateShapeOrSubSection(s, nm + L"_Rotated", x, y, rot);
        }
        RefreshModelChanged(doc);
    });
}

void TranslateDuplicateShape(CXSectionAnalysisDoc& doc, const CString& nm, const CString& newnm, double x, double y)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        RefuseNonFinite({x, y});
        CSubSection& current = currentOf(model);
        Point<double> d(x, y, 0.0);
        // The copy of a profile's piece gets a sub-section of its own, any
        // other copy joins the current sub-section.
        const auto duplicate = [&](CShapeAnalysis* s, const CString& name) {
            CShapeAnalysis* copy = current.translateDuplicateShape(s, name, &d);
            CSubSection* owner = s->subSection();
            if (owner != nullptr && owner->isFormedOrExtrudedSection())
                model.createSubSection(owner, copy);
            else
                model.addShapeToLists(&current, copy);
        };
        if (CShapeAnalysis* shape = ResolveShapeInCurrent(model, nm)) {
            RefuseTakenShapeName(model, newnm);
            duplicate(shape, newnm);
        } else {
            const CSubSection* sub = ResolveSubSection(model, nm);
            if (sub == nullptr) AfxThrowOleDispatchException(1, L"Object doesn't exist");
            if (!sub->isFormedOrExtrudedSection())
                AfxThrowOleDispatchException(1, L"Only a shape or a profile can be duplicated by translation.");
            for (CShapeAnalysis* s : shapesNamed(model, nullptr, nm)) duplicate(s, nameGen());
        }
        RefreshModelChanged(doc, true);
    });
}

void RotateAll(CXSectionAnalysisDoc& doc, double x, double y, double ang)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        RefuseNonFinite({x, y, ang});
        CSubSection& current = currentOf(model);
        JournalLine(doc, L"xscn.RotateAll %g,%g,%g", x, y, ang);
        {
            JournalBlock block(doc, L"RotateAll");
            current.rotateAll(x, y, ang);
        }
        RefreshModelChanged(doc);
    });
}

void TranslateAll(CXSectionAnalysisDoc& doc, double x, double y)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        RefuseNonFinite({x, y});
        CSubSection& current = currentOf(model);
        JournalLine(doc, L"xscn.TranslateAll %g,%g", x, y);
        {
            JournalBlock block(doc, L"TranslateAll");
            Point<double> d(x, y, 0.0);
            current.translate(&d);
        }
        RefreshModelChanged(doc);
    });
}

}  // namespace ILorimant
