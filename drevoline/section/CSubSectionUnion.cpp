// The union of a sub-section: its outlines merged by boolean sums into
// union shapes that stand in for the shapes while the union is on.
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
        CXSectionAnalysis* model = scn() ? scn() : vAveVAvezeze;
        if (model)
            model->removeContained(curves.get());
        result = unite(*curves, maxCircuits);
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
