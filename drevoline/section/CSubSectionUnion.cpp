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
#include "drevoline/section/UnionCoverage.h"
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
// parameter spans, probe offsets of a thousandth) are absolute lengths, and
// the curve normals' probes a thousand long: both are tuned for sections
// some units to some hundreds of units across. Outlines whose joint extent
// lies outside [kPlainLow, kPlainHigh] are scaled by a power of two (exact
// in floating point) for the union, and the results scaled back, so that
// metres unite as well as millimetres: a small extent up to [kNormalLow,
// 2 kNormalLow), a large one down to [kPlainHigh / 2, kPlainHigh). A large
// one is scaled no further than that, since every halving brings the
// section's details nearer the thousandth (a hundredth on a plate a
// thousand wide is lost at a sixty-fourth of its size).
constexpr double kPlainLow = 1.0;
constexpr double kPlainHigh = 512.0;
constexpr double kNormalLow = 8.0;

// The union's fixed lengths (probe offsets and snapping of a thousandth,
// the hundredth below which a curve's parameter span counts as too small)
// act on every piece: a piece must be no smaller than kPieceLow in the
// frame for them to leave it whole. When the frame of the joint extent
// makes some piece smaller, the factor is doubled until it is not, as long
// as the joint extent stays within kJointHigh (the curve normals' probes
// reach across any curve, and doubles still hold the details to well
// below the intersection tolerance there).
constexpr double kPieceLow = 1.0;
constexpr double kJointHigh = 1048576.0;

// How far from a solid of the result a point of a piece given may lie and
// still count as kept: twice the largest distance by which the boolean
// passes snap points (a thousandth), in the frame; but no more than a
// quarter of the smallest piece, which could otherwise vanish unseen.
constexpr double kCoverSlack = 2e-3;

// A box lying more than kFar of its extents from zero along an axis is
// moved to zero along it before the union: a small section a million
// units out is then scaled as one at the origin, with no digits lost.
constexpr double kFar = 64.0;

// The frame the union works in: a point p maps to (p - origin) * factor.
struct UnionFrame {
    double ox = 0.0, oy = 0.0, factor = 1.0;
};

// The power of two that brings extent into [kNormalLow, 2 kNormalLow) when
// below the plain range, into [kPlainHigh / 2, kPlainHigh) when above it;
// 1 for an extent in the plain range, a zero one or one not finite.
double normalizingFactor(double extent)
{
    if (!(extent > 0.0) || !std::isfinite(extent) || (extent >= kPlainLow && extent <= kPlainHigh))
        return 1.0;
    const double target = extent < kPlainLow ? kNormalLow : kPlainHigh / 2.0;
    int e = 0;
    std::frexp(extent / target, &e);  // extent / target = m 2^e, m in [0.5, 1)
    return std::ldexp(1.0, 1 - e);
}

// The origin along one axis for the coordinates [lo, hi]: the end nearer
// zero when the range lies more than kFar extents from zero (every p - end
// is then exact, p and the end being within a factor 2), else 0.
double farOrigin(double lo, double hi, double extent)
{
    if (lo > 0.0 && hi <= 2.0 * lo && lo > kFar * extent)
        return lo;
    if (hi < 0.0 && lo >= 2.0 * hi && -hi > kFar * extent)
        return hi;
    return 0.0;
}

// The frame for the curves, from the box of their control points (the
// identity when there are none).
UnionFrame unionFrame(const CurveList& curves)
{
    double lo[2] = {HUGE_VAL, HUGE_VAL}, hi[2] = {-HUGE_VAL, -HUGE_VAL};
    POSITION pos = curves.GetHeadPosition();
    while (pos) {
        Point<double> min, max;
        if (!curves.GetNext(pos)->controlBox(min, max))
            continue;
        lo[0] = std::min(lo[0], min.x), hi[0] = std::max(hi[0], max.x);
        lo[1] = std::min(lo[1], min.y), hi[1] = std::max(hi[1], max.y);
    }
    if (lo[0] > hi[0])
        return {};
    const double extent = std::max(hi[0] - lo[0], hi[1] - lo[1]);
    const double smallest = union_coverage::smallestPiece(curves);
    double factor = normalizingFactor(extent);
    if (std::isfinite(extent))
        while (smallest * factor < kPieceLow && extent * factor * 2.0 <= kJointHigh)
            factor *= 2.0;
    return {farOrigin(lo[0], hi[0], extent), farOrigin(lo[1], hi[1], extent), factor};
}

// Maps every point of the curve into the frame (or back out of it when
// back is set): control points and polygon caches move and scale (the
// caches' z, which may hold a parameter, only scales); knots, parameter
// offsets and the start and end parameter scale. Points given are exact
// both ways: the origin is subtracted exactly and the factor is a power
// of two.
void mapCurve(CCompositeCurve& c, const UnionFrame& t, bool back)
{
    const double f = back ? 1.0 / t.factor : t.factor;
    const auto mapPoints = [&](CArray<Point<double>>& points) {
        for (Point<double>& p : points)
            p = back ? Point<double>(p.x * f + t.ox, p.y * f + t.oy, p.z * f)
                     : Point<double>((p.x - t.ox) * f, (p.y - t.oy) * f, p.z * f);
    };
    POSITION pos = c.arcs().GetHeadPosition();
    while (pos) {
        Bspline* arc = c.arcs().GetNext(pos);
        mapPoints(arc->controlPointsMutable());
        for (double& k : arc->knotVectorMutable())
            k *= f;
        arc->setGlobal(arc->globalOffset() * f);
        mapPoints(arc->polygonPointsMutable());
    }
    c.startParameter(c.startParameter() * f);
    c.endParameter(c.endParameter() * f);
    mapPoints(c.polygonPointsMutable());
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

// mapCurve on every curve of the list.
void mapCurves(CurveList& curves, const UnionFrame& t, bool back)
{
    if (t.factor == 1.0 && t.ox == 0.0 && t.oy == 0.0)
        return;
    POSITION pos = curves.GetHeadPosition();
    while (pos)
        mapCurve(*curves.GetNext(pos), t, back);
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
        const UnionFrame frame = unionFrame(*curves);
        mapCurves(*curves, frame, false);
        const PieceAreas pieces = pieceAreas(*curves);
        const bool whole = maxCircuits <= 0;
        const std::vector<Point<double>> samples =
            whole ? union_coverage::solidSamples(*curves) : std::vector<Point<double>>();
        const double slack = std::min(kCoverSlack, union_coverage::smallestPiece(*curves) / 4.0);
        CXSectionAnalysis* model = scn() ? scn() : vAveVAvezeze;
        if (model)
            model->removeContained(curves.get());
        result = unite(*curves, maxCircuits);
        // A whole union with an impossible area, or one that dropped a piece
        // or left two overlapping (too small to show in the area), is a
        // failure, not a result (a partial one, stopped after maxCircuits
        // passes, is not checked).
        if (whole && !plausibleUnionArea(pieceAreas(*result).material(), pieces.solids, pieces.largestSolid,
                                         pieces.holes))
            throw std::logic_error("union area out of bounds");
        if (whole && !union_coverage::everySampleCovered(samples, *result, slack))
            throw std::logic_error("union lost a piece");
        if (whole && union_coverage::solidsOverlap(*result))
            throw std::logic_error("union left pieces overlapping");
        mapCurves(*result, frame, true);
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
