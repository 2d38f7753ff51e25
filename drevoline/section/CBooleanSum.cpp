// The boolean union of closed outlines: the sum's lists and the ownership of
// its curves, the clean-up of its inputs and the bookkeeping of passes.
#include "drevoline/section/CBooleanSum.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/geometry/CIntersection.h"

namespace {

// Removes the first occurrence of c from list; true when it was there.
bool removeFrom(CBooleanSum::CurveList& list, const CCompositeCurve* c)
{
    POSITION pos = list.Find(const_cast<CCompositeCurve*>(c));
    if (!pos)
        return false;
    list.RemoveAt(pos);
    return true;
}

} // namespace

bool plausibleUnionArea(double unionArea, double solidSum, double largestSolid, double holeSum)
{
    const double slack = 1e-5 * (solidSum + holeSum);
    return std::isfinite(unionArea) && unionArea <= solidSum + slack &&
           unionArea >= largestSolid - holeSum - slack;
}

CBooleanSum::CBooleanSum() : m_results(new CurveList(10)), m_working(new CurveList(10)) {}

CBooleanSum::~CBooleanSum()
{
    if (m_intersections) {
        deleteIntersections();
        delete m_intersections;
    }
    for (CCompositeCurve* c : m_owned)
        delete c;
    delete m_results;
    delete m_working;
}

void CBooleanSum::own(CCompositeCurve* c)
{
    m_owned.insert(c);
}

void CBooleanSum::destroyCurve(CCompositeCurve* c)
{
    for (CurveList* list : {&m_inputs, m_working, m_results, &m_scratch, &m_givenHoles}) {
        while (removeFrom(*list, c)) {
        }
    }
    if (m_startCurve == c)
        m_startCurve = nullptr;
    if (m_owned.erase(c))
        delete c;
}

bool CBooleanSum::controlBox(const CCompositeCurve* c, Point<double>& lo, Point<double>& hi)
{
    bool any = false;
    POSITION pos = c->arcs().GetHeadPosition();
    while (pos) {
        const Bspline* arc = c->arcs().GetNext(pos);
        if (arc->nPts() == 0)
            continue;
        arc->extents(&lo, &hi, any ? 0 : 1);
        any = true;
    }
    return any;
}

bool CBooleanSum::boxesApart(const CCompositeCurve* a, const CCompositeCurve* b, double margin)
{
    Point<double> alo, ahi, blo, bhi;
    if (!controlBox(a, alo, ahi) || !controlBox(b, blo, bhi))
        return false;
    return alo.x > bhi.x + margin || blo.x > ahi.x + margin || alo.y > bhi.y + margin ||
           blo.y > ahi.y + margin;
}

// ---------------------------------------------------------------------------
// Set-up and results

void CBooleanSum::appendCurve(CCompositeCurve* c)
{
    if (!c || m_inputs.Find(c))
        return;
    own(c);
    if (c->isNegative())
        m_inputs.AddTail(c);
    else
        m_inputs.AddHead(c);
}

void CBooleanSum::addGivenHole(CCompositeCurve* c)
{
    if (c && !m_givenHoles.Find(c))
        m_givenHoles.AddTail(c);
}

void CBooleanSum::load(const CurveList* list)
{
    m_working->RemoveAll();
    if (!list)
        return;
    POSITION pos = list->GetHeadPosition();
    while (pos) {
        auto copy = std::make_unique<CCompositeCurve>(*list->GetNext(pos));
        own(copy.get());
        m_working->AddTail(copy.release());
    }
}

void CBooleanSum::extents()
{
    POSITION pos = m_inputs.GetHeadPosition();
    while (pos) {
        const CCompositeCurve* c = m_inputs.GetNext(pos);
        if (c->nArcs() == 0)
            continue;
        CMaxMinBox box;
        c->extents(box.min, box.max);
        if (m_haveBounds) {
            m_bounds.add(box);
        } else {
            m_bounds = box;
            m_haveBounds = true;
        }
    }
}

CBooleanSum::CurveList* CBooleanSum::getCurves(bool handOver)
{
    CurveList* list = m_results;
    if (handOver) {
        POSITION pos = list->GetHeadPosition();
        while (pos)
            m_owned.erase(list->GetNext(pos));
        m_results = new CurveList(10);
    }
    return list;
}

int CBooleanSum::nCurves() const
{
    return static_cast<int>(m_working->GetCount());
}

int CBooleanSum::nNegatives(const CurveList* list) const
{
    int n = 0;
    if (!list)
        return n;
    POSITION pos = list->GetHeadPosition();
    while (pos) {
        if (list->GetNext(pos)->isNegative())
            ++n;
    }
    return n;
}

// ---------------------------------------------------------------------------
// Input clean-up

void CBooleanSum::removeIdentical()
{
    std::vector<CCompositeCurve*> curves;
    POSITION pos = m_inputs.GetHeadPosition();
    while (pos)
        curves.push_back(m_inputs.GetNext(pos));
    std::vector<bool> removed(curves.size(), false);
    for (std::size_t i = 0; i < curves.size(); ++i) {
        for (std::size_t j = i + 1; j < curves.size() && !removed[i]; ++j) {
            if (removed[j] || !(*curves[i] == *curves[j]))
                continue;
            // A solid and an equal hole cancel: both go. Of two of a kind the
            // later one goes.
            if (curves[i]->isNegative() != curves[j]->isNegative())
                removed[i] = true;
            removed[j] = true;
        }
    }
    for (std::size_t i = 0; i < curves.size(); ++i) {
        if (removed[i])
            destroyCurve(curves[i]);
    }
}

bool CBooleanSum::keepDisjoint(const CCompositeCurve* c) const
{
    if (c->isNegative())
        return m_negativeRouting || isInsidePositive(&m_inputs, c);
    if (!isInsidePositive(&m_inputs, c) && !isInsideNegative(&m_inputs, c))
        return true;
    return isInsideGeneratedNegative(&m_inputs, c);
}

void CBooleanSum::removeDisjointCurves()
{
    std::vector<CCompositeCurve*> curves;
    POSITION pos = m_inputs.GetHeadPosition();
    while (pos)
        curves.push_back(m_inputs.GetNext(pos));
    std::vector<CCompositeCurve*> leaving;
    for (CCompositeCurve* c : curves) {
        c->zeroZ();
        bool crosses = false;
        for (CCompositeCurve* c2 : curves) {
            // Curves whose control boxes are apart can neither snap nor meet.
            if (c2 == c || boxesApart(c, c2, 10.0 * kControlSnap))
                continue;
            snapControlPoints(c2, c);
            if (!crosses) {
                std::unique_ptr<IntersectionList> meeting(c->intersect(c2));
                crosses = !meeting->IsEmpty();
                while (!meeting->IsEmpty())
                    delete meeting->RemoveHead();
            }
        }
        if (!crosses && !isContainer(c, &m_inputs))
            leaving.push_back(c);
    }
    for (CCompositeCurve* c : leaving)
        removeFrom(m_inputs, c);
    for (CCompositeCurve* c : leaving) {
        if (keepDisjoint(c))
            m_scratch.AddTail(c);
        else
            destroyCurve(c);
    }
}

void CBooleanSum::splitPolylines()
{
    POSITION c = m_inputs.GetHeadPosition();
    while (c) {
        CCompositeCurve* curve = m_inputs.GetNext(c);
        CList<Bspline*>& arcs = curve->arcsMutable();
        bool changed = false;
        POSITION a = arcs.GetHeadPosition();
        while (a) {
            const POSITION here = a;
            Bspline* arc = arcs.GetNext(a);
            if (arc->deg() != 1 || arc->nPts() <= 2)
                continue;
            const CArray<Point<double>>& pts = arc->controlPoints();
            for (INT_PTR i = 0; i + 1 < pts.GetSize(); ++i) {
                Point<double> p = pts[i];
                Point<double> q = pts[i + 1];
                if ((q - p).length() > 0.0)
                    arcs.InsertBefore(here, new Bspline(&p, &q, false));
            }
            arcs.RemoveAt(here);
            delete arc;
            changed = true;
        }
        if (changed) {
            curve->resetGlobals();
            curve->clearPolygon();
        }
    }
}

void CBooleanSum::removeTiny()
{
    POSITION pos = m_working->GetHeadPosition();
    while (pos) {
        const POSITION here = pos;
        if (m_working->GetNext(pos)->isSmall(kStartMatch))
            m_working->RemoveAt(here);
    }
}

bool CBooleanSum::too_small(const CCompositeCurve* c) const
{
    if (!c)
        throw "Null Curve";
    if (c->endParameter() < c->startParameter())
        throw " Bad parameterization\n";
    return c->endParameter() - c->startParameter() < kTooSmall;
}

// ---------------------------------------------------------------------------
// Pass bookkeeping

void CBooleanSum::clearTraverses()
{
    POSITION pos = m_inputs.GetHeadPosition();
    while (pos)
        m_inputs.GetNext(pos)->traversed(false);
}

void CBooleanSum::deleteCurvePolygons()
{
    POSITION pos = m_working->GetHeadPosition();
    while (pos)
        m_working->GetNext(pos)->clearPolygon();
    m_working->RemoveAll();
}

bool CBooleanSum::isAllPositive(const CIntersection* x) const
{
    POSITION pos = x->curves().GetHeadPosition();
    while (pos) {
        if (x->curves().GetNext(pos)->curve->isNegative())
            return false;
    }
    return true;
}

bool CBooleanSum::isAllNegative(const CIntersection* x) const
{
    POSITION pos = x->curves().GetHeadPosition();
    while (pos) {
        if (x->curves().GetNext(pos)->curve->isPositive())
            return false;
    }
    return true;
}

bool CBooleanSum::allPositivesTraversed() const
{
    POSITION pos = m_inputs.GetHeadPosition();
    while (pos) {
        const CCompositeCurve* c = m_inputs.GetNext(pos);
        if (c->isPositive() && !c->isTraversed())
            return false;
    }
    return true;
}

bool CBooleanSum::allNegativesTraversed() const
{
    POSITION pos = m_inputs.GetHeadPosition();
    while (pos) {
        const CCompositeCurve* c = m_inputs.GetNext(pos);
        if (c->isNegative() && !c->isTraversed())
            return false;
    }
    return true;
}
