// The document's automation methods that build one basic shape each: one
// procedure, and one table that says how each method's dimensions fill the
// model's basic-shape constructor.
#include <array>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <vector>

#include "analysis/model/Utilities.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/AutomationFrame.h"
#include "lorimant/automation/ILorimant.h"

namespace ILorimant {

namespace {

// A constructor slot that takes no dimension of the call: 0, or the -1
// that the rectangle and the parallelogram pass in their third slot.
constexpr int kZero = -1;
constexpr int kMinusOne = -2;

// How one method fills the constructor: its kind, and for each of the five
// dimension slots the index of the call's dimension (or a constant).
struct BasicShapeForm {
    ShapeType kind;
    std::array<int, 5> slots;
    bool refreshes;  // the sector chord leaves journal and refresh to its caller
};

constexpr BasicShapeForm kSector{qhtShapeSector, {0, kZero, kZero, 1, kZero}, true};
constexpr BasicShapeForm kSectorChord{qhtShapeSectorChord, {0, 1, kZero, kZero, kZero}, false};
constexpr BasicShapeForm kFillet{qhtShapeFillet, {0, kZero, kZero, 1, kZero}, true};
constexpr BasicShapeForm kTriangle{qhtShapeTriangle, {0, 1, 2, kZero, kZero}, true};
constexpr BasicShapeForm kParallelogram{qhtShapeParallelogram, {0, 1, kMinusOne, 2, 3}, true};
constexpr BasicShapeForm kRectangle{qhtShapeRectangle, {0, 1, kMinusOne, kZero, kZero}, true};
constexpr BasicShapeForm kDisk{qhtShapeDisk, {0, kZero, kZero, kZero, kZero}, true};
constexpr BasicShapeForm kAnnulus{qhtShapeAnnulus, {0, 1, kZero, 2, kZero}, true};
constexpr BasicShapeForm kBlend{qhtShapeBlend, {0, 1, kZero, 2, kZero}, true};

// Where and how a basic shape is placed, as every method receives it.
struct Placement {
    CString parent;
    CString name;
    double x, y;
    short origin, direction;
    double rotation;
    short sign;
};

// The name a new shape takes, refusing (2) one the model already has.
CString freshShapeName(const CXSectionAnalysis& model, const CString& requested)
{
    const CString name = requested.IsEmpty() ? nameGen() : requested;
    RefuseTakenShapeName(model, name);
    return name;
}

// "root" exists before the first shape: through the view when there is
// one, else the model makes it itself.
void ensureRoot(CXSectionAnalysisDoc& doc, CXSectionAnalysis& model)
{
    if (ActiveSectionView* view = doc.activeView())
        view->EnsureRootSubSection();
    else
        model.initialize();
}

// Lengths and coordinates far beyond any section: their second moments
// (fourth powers) would overflow and the outline's own checks fail with
// nothing to say. The limit leaves every real unit and scale alone.
constexpr double kLargestDimension = 1e50;

void refuseHuge(const std::vector<double>& dims, const Placement& at)
{
    std::vector<double> all = dims;
    all.insert(all.end(), {at.x, at.y});
    for (const double v : all) {
        if (std::fabs(v) <= kLargestDimension) continue;
        CString text;
        text.Format(L"Lengths and coordinates must lie between -1e+50 and 1e+50 (%g given).", v);
        AfxThrowOleDispatchException(1, text);
    }
}

void buildBasicShape(CXSectionAnalysisDoc& doc, const BasicShapeForm& form, const std::vector<double>& dims,
                     const Placement& at)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        for (const double d : dims) RefuseNonFinite({d});
        RefuseNonFinite({at.x, at.y, at.rotation});
        refuseHuge(dims, at);
        CString name = freshShapeName(model, at.name);
        ensureRoot(doc, model);
        CSubSection* parent = ResolveSubSection(model, at.parent);
        if (parent == nullptr)
            throw std::logic_error("Parent does not exist: " + std::string(CStringA(at.parent).GetString()));
        double slot[5];
        for (int i = 0; i < 5; ++i) {
            const int from = form.slots[i];
            slot[i] = from >= 0 ? dims.at(from) : (from == kMinusOne ? -1.0 : 0.0);
        }
        // The shape is the model's only once the constructor has listed it;
        // a refused dimension leaves nothing behind.
        auto shape = std::make_unique<CShapeAnalysis>(&model);
        shape->sector(parent, &model, name, at.x, at.y, slot[0], slot[1], slot[2], slot[3], slot[4], form.kind,
                      at.origin, at.direction, at.rotation, at.sign < 1);
        shape.release();
        if (!form.refreshes) {
            if (ActiveSectionView* view = doc.activeView()) view->ClearPicks();
            return;
        }
        RefreshModelChanged(doc, true);
    });
}

}  // namespace

void AddAnnulus(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& nm, double radius, double width,
                double sweep, double x, double y, short origin, short dir, double rot, short sgn)
{
    buildBasicShape(doc, kAnnulus, {radius, width, sweep}, {parentName, nm, x, y, origin, dir, rot, sgn});
}

void AddBlend(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& nm, double length, double radius,
              double sweep, double x, double y, short origin, short dir, double rot, short sgn)
{
    buildBasicShape(doc, kBlend, {length, radius, sweep}, {parentName, nm, x, y, origin, dir, rot, sgn});
}

void AddDisk(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& nm, double radius, double x,
             double y, short sgn)
{
    buildBasicShape(doc, kDisk, {radius}, {parentName, nm, x, y, 0, 1, 0.0, sgn});
}

void AddFillet(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& nm, double radius, double sweep,
               double x, double y, short origin, short dir, double rot, short sgn)
{
    buildBasicShape(doc, kFillet, {radius, sweep}, {parentName, nm, x, y, origin, dir, rot, sgn});
}

void AddParallelogram(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& nm, double length,
                      double width, double ang1, double ang2, double x, double y, short origin, short dir, double rot,
                      short sgn)
{
    buildBasicShape(doc, kParallelogram, {length, width, ang1, ang2}, {parentName, nm, x, y, origin, dir, rot, sgn});
}

void AddRectangle(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& nm, double length,
                  double width, double x, double y, short origin, short dir, double rot, short sgn)
{
    buildBasicShape(doc, kRectangle, {length, width}, {parentName, nm, x, y, origin, dir, rot, sgn});
}

void AddSector(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& nm, double radius, double sweep,
               double x, double y, short origin, short dir, double rot, short sgn)
{
    buildBasicShape(doc, kSector, {radius, sweep}, {parentName, nm, x, y, origin, dir, rot, sgn});
}

void AddTriangle(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& nm, double base, double offset,
                 double height, double x, double y, short origin, short dir, double rot, short sgn)
{
    buildBasicShape(doc, kTriangle, {base, offset, height}, {parentName, nm, x, y, origin, dir, rot, sgn});
}

void AddSectorChord(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& name, double radius,
                    double leglength, double x, double y, short origin, short direction, double rotation, short sign)
{
    buildBasicShape(doc, kSectorChord, {radius, leglength},
                    {parentName, name, x, y, origin, direction, rotation, sign});
}

}  // namespace ILorimant
