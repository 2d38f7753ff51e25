// Temporary stand-ins for the basic-shape automation methods, replaced by
// the real ones on merge.
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/AutomationFrame.h"
#include "lorimant/automation/ProfileInnerStand.h"

namespace ILorimant {
namespace {
void basic(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& nm, ShapeType kind, double x,
           double y, double a3, double a4, double a5, double a6, double a7, short origin, short dir, double rot,
           short sgn)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection* parent = model.findSubSectionMutable(parentName);
        if (model.findShape(nm)) AfxThrowOleDispatchException(2, L"Object with that name already exists.");
        if (!parent) AfxThrowOleDispatchException(1, L"Parent does not exist: " + parentName);
        auto* s = new CShapeAnalysis(&model);
        CString n = nm;
        try {
            s->sector(parent, &model, n, x, y, a3, a4, a5, a6, a7, kind, origin, dir, rot, sgn < 1);
        } catch (...) {
            delete s;
            throw;
        }
        RefreshModelChanged(doc, true);
    });
}
}  // namespace

void CreateSubSection(CXSectionAnalysisDoc& doc, const CString& name, const CString& parentName)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection* parent = model.findSubSectionMutable(parentName);
        if (!parent) AfxThrowOleDispatchException(1, L"Parent does not exist: " + parentName);
        auto* sub = new CSubSection(&model, parent);
        sub->name(name);
        parent->addChildSubSection(sub);
        model.subSections.push_back(sub);
        doc.ModelChanged();
    });
}
void AddParallelogram(CXSectionAnalysisDoc& doc, const CString& p, const CString& nm, double length, double width,
                      double ang1, double ang2, double x, double y, short origin, short dir, double rot, short sgn)
{
    basic(doc, p, nm, qhtShapeParallelogram, x, y, length, width, -1, ang1, ang2, origin, dir, rot, sgn);
}
void AddFillet(CXSectionAnalysisDoc& doc, const CString& p, const CString& nm, double radius, double sweep, double x,
               double y, short origin, short dir, double rot, short sgn)
{
    basic(doc, p, nm, qhtShapeFillet, x, y, radius, 0, 0, sweep, 0, origin, dir, rot, sgn);
}
void AddTriangle(CXSectionAnalysisDoc& doc, const CString& p, const CString& nm, double base, double offset,
                 double height, double x, double y, short origin, short dir, double rot, short sgn)
{
    basic(doc, p, nm, qhtShapeTriangle, x, y, base, offset, height, 0, 0, origin, dir, rot, sgn);
}
void AddRectangle(CXSectionAnalysisDoc& doc, const CString& p, const CString& nm, double length, double width,
                  double x, double y, short origin, short dir, double rot, short sgn)
{
    basic(doc, p, nm, qhtShapeRectangle, x, y, length, width, -1, 0, 0, origin, dir, rot, sgn);
}
void AddAnnulus(CXSectionAnalysisDoc& doc, const CString& p, const CString& nm, double radius, double width,
                double sweep, double x, double y, short origin, short dir, double rot, short sgn)
{
    basic(doc, p, nm, qhtShapeAnnulus, x, y, radius, width, 0, sweep, 0, origin, dir, rot, sgn);
}
void GroupAdd(CXSectionAnalysisDoc&, const CString&, const CString&, bool) {}
}  // namespace ILorimant
