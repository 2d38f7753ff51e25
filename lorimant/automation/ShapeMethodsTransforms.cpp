// The document's automation methods that mirror, rotate and translate a
// shape or every shape of a sub-section, in place or as copies.
#include <functional>
#include <memory>
#include <vector>

#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
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
        Point<double> p(x, y, 0.0), n(ux, uy, 0.0);
        for (CShapeAnalysis* s : shapesNamed(model, ResolveShape(model, nm), nm)) s->mirror(&p, &n);
        RefreshModelChanged(doc);
    });
}

void RotateShape(CXSectionAnalysisDoc& doc, const CString& nm, double x, double y, double ang)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        Point<double> c(x, y, 0.0);
        for (CShapeAnalysis* s : shapesNamed(model, ResolveShapeInCurrent(model, nm), nm)) s->rotate(&c, ang);
        RefreshModelChanged(doc);
    });
}

void TranslateShape(CXSectionAnalysisDoc& doc, const CString& nm, double x, double y)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        Point<double> d(x, y, 0.0);
        for (CShapeAnalysis* s : shapesNamed(model, ResolveShapeInCurrent(model, nm), nm)) s->translate(&d);
        RefreshModelChanged(doc);
    });
}

void MirrorDuplicate(CXSectionAnalysisDoc& doc, const CString& nm, const CString& newnm, double x, double y,
                     double ux, double uy)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        Point<double> p(x, y, 0.0), n(ux, uy, 0.0);
        if (const CSubSection* sub = ResolveSubSection(model, nm)) {
            CString name = newnm;
            if (!sub->isFormedOrExtrudedSection()) name += L"_Mirrored";
            for (CShapeAnalysis* s : shapesNamed(model, nullptr, nm)) model.MirrorDuplicate(s, p, n, name);
        } else {
            CShapeAnalysis* shape = ResolveShape(model, nm);
            if (shape == nullptr) AfxThrowOleDispatchException(1, L"Object doesn't exist");
            shape->mark = true;
            shape->mirror(&p, &n);
        }
        RefreshModelChanged(doc, true);
    });
}

void GroupMirrorDuplicate(CXSectionAnalysisDoc& doc, const CString& source, const CString& target, double x,
                          double y, double ux, double uy)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        if (ResolveSubSection(model, source) == nullptr) AfxThrowOleDispatchException(1, L"Subsection does not exist");
        if (ResolveSubSection(model, target) != nullptr) AfxThrowOleDispatchException(1, L"Subsection already exists.");
        CSubSection& current = currentOf(model);
        auto group = std::make_unique<CSubSection>(&model, nullptr);
        group->name(target);
        for (CShapeAnalysis* s : shapesNamed(model, nullptr, source)) {
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
        if (CShapeAnalysis* shape = ResolveShapeInCurrent(model, nm)) {
            model.rotateDuplicateShapeOrSubSection(shape, newnm, x, y, rot);
        } else {
            if (ResolveSubSection(model, nm) == nullptr) AfxThrowOleDispatchException(1001, L"Object doesn't exist");
            for (CShapeAnalysis* s : shapesNamed(model, nullptr, nm))
                model.rotateDuplicateShapeOrSubSection(s, nm + L"_Rotated", x, y, rot);
        }
        RefreshModelChanged(doc);
    });
}

void RotateAll(CXSectionAnalysisDoc& doc, double x, double y, double ang)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
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
