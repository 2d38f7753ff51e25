// The union of a sub-section: its outlines merged by boolean sums into
// union shapes that stand in for the shapes while the union is on.
#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CMetal.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/section/CBooleanSum.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Hooks.h"

namespace {

using CurveList = CBooleanSum::CurveList;

// Frees a list of curves and the curves still in it.
struct CurveListDeleter {
    void operator()(CurveList* list) const
    {
        while (!list->IsEmpty())
            delete list->RemoveHead();
        delete list;
    }
};
using OwnedCurves = std::unique_ptr<CurveList, CurveListDeleter>;

// The name of a material; metals without one compare by their absence.
bool sameMaterial(const std::shared_ptr<CMetal>& a, const std::shared_ptr<CMetal>& b)
{
    if (!a || !b)
        return !a && !b;
    return a->name == b->name;
}

// The common material of the solid shapes (empty when there is none).
// Throws when two solids differ.
std::shared_ptr<CMetal> commonMetal(const ShapeList& shapes)
{
    std::shared_ptr<CMetal> metal;
    bool first = true;
    POSITION pos = shapes.GetHeadPosition();
    while (pos) {
        const CShapeAnalysis* s = shapes.GetNext(pos);
        if (s->boundary->isNegative())
            continue;
        if (!first && !sameMaterial(metal, s->material()))
            throw std::logic_error("Attempting to combine objects of differing materials");
        metal = s->material();
        first = false;
    }
    return metal;
}

// Moves the curves of from (handed over by its sum) into to, which takes
// ownership; holes also become given holes of to when asHoles is set.
// Only the curves that pass keep are moved; the rest stay in from.
template <class Keep>
void handOver(CurveList& from, CBooleanSum& to, bool asHoles, Keep keep)
{
    POSITION pos = from.GetHeadPosition();
    while (pos) {
        const POSITION here = pos;
        CCompositeCurve* c = from.GetNext(pos);
        if (!keep(c))
            continue;
        from.RemoveAt(here);
        to.appendCurve(c);
        if (asHoles)
            to.addGivenHole(c);
    }
}

// The union's tolerances (point merging, snapping, curve intersection,
// parameter spans) are absolute lengths tuned for sections some units to
// some hundreds of units across. Outlines whose joint extent lies outside
// [kPlainLow, kPlainHigh] are scaled by a power of two (exact in floating
// point) to an extent in [kNormalLow, 2 kNormalLow) for the union, and the
// results scaled back, so that metres unite as well as millimetres.
constexpr double kPlainLow = 1.0;
constexpr double kPlainHigh = 256.0;
constexpr double kNormalLow = 8.0;

// Largest extent in x or y of the control points of the curves (0 when none).
double jointExtent(const CurveList& curves)
{
    double lo[2] = {HUGE_VAL, HUGE_VAL}, hi[2] = {-HUGE_VAL, -HUGE_VAL};
    POSITION pos = curves.GetHeadPosition();
    while (pos) {
        const CCompositeCurve* c = curves.GetNext(pos);
        POSITION at = c->arcs().GetHeadPosition();
        while (at) {
            for (const Point<double>& p : c->arcs().GetNext(at)->controlPoints()) {
                lo[0] = std::min(lo[0], p.x), hi[0] = std::max(hi[0], p.x);
                lo[1] = std::min(lo[1], p.y), hi[1] = std::max(hi[1], p.y);
            }
        }
    }
    if (lo[0] > hi[0])
        return 0.0;
    return std::max(hi[0] - lo[0], hi[1] - lo[1]);
}

// The power of two that brings extent into the normal range; 1 for an
// extent in the plain range, a zero one or one that is not finite.
double normalizingFactor(double extent)
{
    if (!(extent > 0.0) || !std::isfinite(extent) || (extent >= kPlainLow && extent <= kPlainHigh))
        return 1.0;
    int e = 0;
    std::frexp(extent / kNormalLow, &e);  // extent / kNormalLow = m 2^e, m in [0.5, 1)
    return std::ldexp(1.0, 1 - e);
}

// Multiplies every length of the curve by f: control points, knots,
// parameter offsets, the start and end parameter and the polygon caches
// (whose z may hold a parameter). Exact when f is a power of two.
void scaleCurve(CCompositeCurve& c, double f)
{
    const auto scalePoints = [f](CArray<Point<double>>& points) {
        for (Point<double>& p : points)
            p = Point<double>(p.x * f, p.y * f, p.z * f);
    };
    POSITION pos = c.arcs().GetHeadPosition();
    while (pos) {
        Bspline* arc = c.arcs().GetNext(pos);
        scalePoints(arc->controlPointsMutable());
        for (double& k : arc->knotVectorMutable())
            k *= f;
        arc->setGlobal(arc->globalOffset() * f);
        scalePoints(arc->polygonPointsMutable());
    }
    c.startParameter(c.startParameter() * f);
    c.endParameter(c.endParameter() * f);
    scalePoints(c.polygonPointsMutable());
}

// Areas of the curves: the solids' sum and largest, and the holes' sum.
struct PieceAreas {
    double solids = 0.0, largestSolid = 0.0, holes = 0.0;
    // Solids count positive, holes negative.
    double material() const { return solids - holes; }
};

PieceAreas pieceAreas(const CurveList& curves)
{
    PieceAreas p;
    POSITION pos = curves.GetHeadPosition();
    while (pos) {
        const CCompositeCurve* c = curves.GetNext(pos);
        const double a = std::fabs(c->area());
        if (c->isNegative()) {
            p.holes += a;
            continue;
        }
        p.solids += a;
        p.largestSolid = std::max(p.largestSolid, a);
    }
    return p;
}

void scaleCurves(CurveList& curves, double f)
{
    if (f == 1.0)
        return;
    POSITION pos = curves.GetHeadPosition();
    while (pos)
        scaleCurve(*curves.GetNext(pos), f);
}

// The union curves of the sub-section's outline copies (the list is
// emptied: its curves go to the sums).
OwnedCurves unite(CurveList& curves, int maxCircuits)
{
    CBooleanSum A, B, C;
    while (!curves.IsEmpty()) {
        CCompositeCurve* c = curves.RemoveHead();
        if (c->isNegative()) {
            A.addGivenHole(c);
            B.appendCurve(c);
            B.addGivenHole(c);
        } else {
            A.appendCurve(c);
        }
    }
    A.setMode(true);
    {
        CWaitCursor wait;
        A.compute(maxCircuits);
    }
    const bool ranToEnd = A.nCurves() == 0;
    OwnedCurves fromA(A.getCurves(true));
    if (!ranToEnd)
        return fromA;
    handOver(*fromA, B, true, [](const CCompositeCurve* c) { return c->isNegative(); });
    B.setNegativeRouting(true);
    B.compute(-1);
    OwnedCurves fromB(B.getCurves(true));
    if (fromA->IsEmpty())
        return fromB;
    handOver(*fromA, C, false, [](const CCompositeCurve*) { return true; });
    handOver(*fromB, C, true, [](const CCompositeCurve*) { return true; });
    C.compute(-1);
    return OwnedCurves(C.getCurves(true));
}

} // namespace

void CSubSection::Union(int maxCircuits)
{
    // The shapes as they are without this sub-section's union.
    ShapeList shapes(10);
    shapes.AddTail(&shapeList);
    for (CSubSection* child : children)
        child->getSubSectionShapes(&shapes);
    const std::shared_ptr<CMetal> metal = commonMetal(shapes);

    OwnedCurves result;
    try {
        OwnedCurves curves(new CurveList(10));
        POSITION pos = shapes.GetHeadPosition();
        while (pos) {
            CShapeAnalysis* s = shapes.GetNext(pos);
            s->boundary->tag(static_cast<short>(s->kind));
            auto copy = std::make_unique<CCompositeCurve>(*s->boundary);
            copy->name(s->name());
            curves->AddTail(copy.release());
        }
        const double f = normalizingFactor(jointExtent(*curves));
        scaleCurves(*curves, f);
        const PieceAreas pieces = pieceAreas(*curves);
        CXSectionAnalysis* model = scn() ? scn() : vAveVAvezeze;
        if (model)
            model->removeContained(curves.get());
        result = unite(*curves, maxCircuits);
        // A whole union with an impossible area is a failure, not a result
        // (a partial one, stopped after maxCircuits passes, is not checked).
        if (maxCircuits <= 0 && !plausibleUnionArea(pieceAreas(*result).material(), pieces.solids,
                                                    pieces.largestSolid, pieces.holes))
            throw std::logic_error("union area out of bounds");
        scaleCurves(*result, 1.0 / f);
    } catch (...) {
        // Nothing of the sub-section has changed; its dots are made whole.
        refreshDots();
        throw "Union operation failed";
    }
    createUnion(result.get(), metal);
    refreshDots();
}

void CSubSection::createUnion(CList<CCompositeCurve*>* curves, std::shared_ptr<CMetal> metal)
{
    removeUnion();
    // An empty union-shape list would leave the sub-section in a state
    // isUnionOn refuses: no curves, no union.
    if (!curves || curves->IsEmpty())
        return;
    unionShapes = new ShapeList(10);
    CXSectionAnalysis* model = scn() ? scn() : vAveVAvezeze;
    for (int k = 1; !curves->IsEmpty(); ++k) {
        std::unique_ptr<CCompositeCurve> curve(curves->RemoveHead());
        auto shape = std::make_unique<CShapeAnalysis>(curve.get());
        curve.release();
        shape->kind = qhtShapeSubSection;
        shape->parent = this;
        CString name;
        name.Format(L"union_%s_%d", static_cast<const wchar_t*>(this->name()), k);
        shape->name(name);
        if (!shape->boundary->isNegative())
            shape->material(metal);
        unionShapes->AddTail(shape.get());
        if (model)
            model->shapes.AddTail(shape.get());
        shape.release();
    }
}

void CSubSection::removeUnion()
{
    if (unionShapes == nullptr)
        return;
    while (!unionShapes->IsEmpty()) {
        CShapeAnalysis* s = unionShapes->RemoveHead();
        removeShapeDots(s);
        delete s;
    }
    delete unionShapes;
    unionShapes = nullptr;
    POSITION pos = shapeList.GetHeadPosition();
    while (pos) {
        CShapeAnalysis* s = shapeList.GetNext(pos);
        s->parent = this;
        s->addDots(this);
    }
    for (CMesh* m : meshes)
        delete static_cast<CObject*>(m);
    meshes.clear();
}

bool CSubSection::isUnionOn() const
{
    if (unionShapes == nullptr)
        return false;
    if (unionShapes->IsEmpty())
        throw std::logic_error("Mess in Subsection");
    return true;
}

bool CSubSection::isUnionShape(CShapeAnalysis* s) const
{
    return unionShapes != nullptr && unionShapes->Find(s) != nullptr;
}

std::shared_ptr<CMetal> CSubSection::material() const
{
    if (unionShapes == nullptr || unionShapes->IsEmpty())
        return {};
    return unionShapes->GetHead()->material();
}

void CSubSection::material(std::shared_ptr<CMetal> metal)
{
    if (unionShapes == nullptr)
        return;
    POSITION pos = unionShapes->GetHeadPosition();
    while (pos)
        unionShapes->GetNext(pos)->material(metal);
}
