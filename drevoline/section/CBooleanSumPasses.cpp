// The boolean union's passes: the whole computation, the choice of the
// curves of each pass, and the curves carried from pass to pass.
#include <iostream>
#include <memory>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/geometry/CIntersection.h"
#include "drevoline/section/CBooleanSum.h"

namespace {

using CurveList = CBooleanSum::CurveList;

// The curves of a list, in order.
std::vector<CCompositeCurve*> curvesOf(const CurveList& list)
{
    std::vector<CCompositeCurve*> out;
    POSITION pos = list.GetHeadPosition();
    while (pos)
        out.push_back(list.GetNext(pos));
    return out;
}

// p lies strictly inside a solid curve of list.
bool insideSolid(const CurveList& list, const Point<double>& p)
{
    POSITION pos = list.GetHeadPosition();
    while (pos) {
        const CCompositeCurve* c = list.GetNext(pos);
        if (c->isPositive() && c->insideNotOn(p))
            return true;
    }
    return false;
}

// Removes c from list (first occurrence).
void take(CurveList& list, CCompositeCurve* c)
{
    if (POSITION at = list.Find(c))
        list.RemoveAt(at);
}

} // namespace

void CBooleanSum::compute(int maxCircuits)
{
    splitPolylines();
    extents();
    removeIdentical();
    removeDisjointCurves();
    clearTraverses();
    int passes = 0;
    bool foundNothing = true;  // the first pass starts from a pair, as after an empty pass
    while (!m_inputs.IsEmpty()) {
        const bool fresh = foundNothing || !choseNextCurve();
        if (fresh && !choseFirstCurves()) {
            swapBack();
            break;
        }
        const INT_PTR before = m_results->GetCount();
        computeUnion();
        foundNothing = m_results->GetCount() == before;
        ++passes;
        if (maxCircuits > 0 && passes >= maxCircuits)
            return;
        if (m_inputs.IsEmpty())
            break;
        swap();
    }
    // Leftover inputs: solids not buried in a hole, holes that cut material.
    for (CCompositeCurve* c : curvesOf(m_inputs)) {
        const bool keep = c->isNegative()
                              ? isInsidePositive(m_results, c) || isInsidePositive(&m_inputs, c)
                              : !isInsideNegative(m_working, c) || !isInsideNegative(&m_inputs, c);
        if (keep)
            m_scratch.AddTail(c);
    }
    m_inputs.RemoveAll();
    for (CCompositeCurve* c : curvesOf(m_scratch)) {
        if (m_results->Find(c))
            continue;
        if (!c->isNegative() && isInsidePositive(m_results, c) && !isInsideGeneratedNegative(m_results, c))
            continue;
        m_results->AddTail(c);
    }
    m_scratch.RemoveAll();
    m_working->RemoveAll();
}

void CBooleanSum::computeUnion()
{
    POSITION pos = m_working->GetHeadPosition();
    while (pos)
        m_working->GetNext(pos)->traversed(false);
    removeTiny();
    if (nCurves() > 1) {
        findIntersections();
        removeTouching(m_intersections);
        clearIntersectionTraversals();
        if (m_intersections->GetCount() >= 2) {
            CIntersection* x = nullptr;
            CCurveIntersection* record = nullptr;
            int direction = 1;
            while (startCircuit(&x, &record, &direction)) {
                CCompositeCurve* circuit = findCircuit(x, record, direction);
                if (!circuit)
                    break;
                circuit->cleanup();
                circuit->zeroBaseKnots();
                circuit->resetGlobals();
                circuit->verify();
                if (circuit->area() < 0.0) {
                    circuit->sign(-1);
                    if (m_mode)
                        circuit->mark(true);
                }
                m_results->AddHead(circuit);
            }
        }
    }
    // A lone working curve is carried over too: nothing is lost.
    addDisjointCurves();
    deleteIntersections();
}

void CBooleanSum::addDisjointCurves()
{
    for (CCompositeCurve* c : curvesOf(*m_working)) {
        if (c->isTraversed() || m_results->Find(c))
            continue;
        if (!c->isNegative() && insideSolid(*m_results, c->getInteriorPoint(0.5)))
            continue;
        m_results->AddTail(c);
    }
}

bool CBooleanSum::choseFirstCurves()
{
    clearTraverses();
    const std::vector<CCompositeCurve*> inputs = curvesOf(m_inputs);
    CCompositeCurve* seed = nullptr;
    CCompositeCurve* pair = nullptr;
    for (std::size_t i = 0; i < inputs.size() && !pair; ++i) {
        seed = inputs[i];
        if (seed->isTraversed())
            continue;
        for (std::size_t j = i + 1; j < inputs.size() && !pair; ++j) {
            CCompositeCurve* c2 = inputs[j];
            if (!c2->isTraversed() && crosses(seed, c2))
                pair = c2;
        }
        if (!pair)
            seed->traversed(true);
    }
    clearTraverses();
    if (!pair)
        return false;
    take(m_inputs, seed);
    take(m_inputs, pair);
    m_working->AddTail(seed);
    m_working->AddTail(pair);
    return true;
}

bool CBooleanSum::choseNextCurve()
{
    for (CCompositeCurve* w : curvesOf(*m_working)) {
        for (CCompositeCurve* c : curvesOf(m_inputs)) {
            if (c == w || c->isTraversed() || !crosses(w, c))
                continue;
            take(m_inputs, c);
            if (c->isNegative())
                m_working->AddTail(c);
            else
                m_working->AddHead(c);
            return true;
        }
    }
    return false;
}

bool CBooleanSum::crosses(CCompositeCurve* a, CCompositeCurve* b)
{
    if (boxesApart(a, b, 10.0 * kControlSnap))
        return false;
    std::unique_ptr<IntersectionList> meeting(a->intersect(b));
    removeTouching(meeting.get());
    const bool any = !meeting->IsEmpty();
    while (!meeting->IsEmpty())
        delete meeting->RemoveHead();
    return any;
}

void CBooleanSum::swap()
{
    m_working->RemoveAll();
    while (!m_results->IsEmpty())
        m_working->AddTail(m_results->RemoveHead());
}

void CBooleanSum::swapBack()
{
    m_results->RemoveAll();
    while (!m_working->IsEmpty())
        m_results->AddTail(m_working->RemoveHead());
}

void CBooleanSum::removeInterior()
{
    for (CCompositeCurve* c : curvesOf(*m_working)) {
        if (c->sign() != -1 && isPosInterior(c))
            take(*m_working, c);
    }
}

bool CBooleanSum::isPosInterior(CCompositeCurve* c)
{
    if (c->sign() == -1)
        std::cerr << "QHT:pos_interior: Logic error" << std::endl;
    if (c->polygonPoints().IsEmpty())
        c->polygon(false, 0.001, -1.0);
    if (c->polygonPoints().IsEmpty())
        return true;
    const std::vector<CCompositeCurve*> others = curvesOf(*m_working);
    for (const Point<double>& q : c->polygonPoints()) {
        const Point<double> p(q.x, q.y, 0.0);
        bool inside = false;
        for (CCompositeCurve* w : others) {
            if (w == c)
                continue;
            if (w->polygonPoints().IsEmpty())
                w->polygon(false, 0.001, -1.0);
            if (w->insideNotOn(p)) {
                inside = true;
                break;
            }
        }
        if (!inside)
            return false;
    }
    return true;
}
