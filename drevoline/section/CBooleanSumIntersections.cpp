// The boolean union's intersections: finding and merging them, snapping
// them to arc ends, and telling crossings from touches.
#include <memory>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/geometry/CIntersection.h"
#include "drevoline/section/CBooleanSum.h"

namespace {

// Adds to x the records of from whose curves x does not record yet.
void mergeRecords(CIntersection* x, const CIntersection* from)
{
    POSITION pos = from->curves().GetHeadPosition();
    while (pos) {
        const CCurveIntersection* r = from->curves().GetNext(pos);
        if (!x->usesCC(r->curve))
            x->add(r->curve, r->parameter);
    }
}

// The lookahead/lookback answers that make a pair of curves touch at x.
bool pairTouches(int ahead, int back, bool signsDiffer)
{
    if (ahead == bsNoIntersection && back == bsNoIntersection)
        return true;
    if (ahead == bsOutside && back == bsOutside)
        return true;
    if (ahead == bsInside && back == bsInside)
        return true;
    if (signsDiffer && ((ahead == bsOn && back == bsOutside) || (ahead == bsOutside && back == bsOn)))
        return true;
    return false;
}

} // namespace

void CBooleanSum::findIntersections()
{
    if (!m_intersections)
        m_intersections = new IntersectionList(10);
    deleteIntersections();
    POSITION a = m_working->GetHeadPosition();
    while (a) {
        CCompositeCurve* c = m_working->GetNext(a);
        POSITION b = a;
        while (b) {
            CCompositeCurve* c2 = m_working->GetNext(b);
            c->zeroZ();
            c2->zeroZ();
            // Curves whose control boxes are apart can neither snap nor meet.
            if (boxesApart(c, c2, 10.0 * kControlSnap))
                continue;
            snapControlPoints(c, c2);
            std::unique_ptr<IntersectionList> found(c->intersect(c2));
            while (!found->IsEmpty()) {
                std::unique_ptr<CIntersection> x(found->RemoveHead());
                CIntersection* known = findIntersectionPoint(x->point);
                if (known)
                    mergeRecords(known, x.get());
                else
                    m_intersections->AddTail(x.release());
            }
        }
    }
    moveIntersectionsToArcEndPoints();
}

CIntersection* CBooleanSum::findIntersectionPoint(const Point<double>& p) const
{
    if (!m_intersections)
        return nullptr;
    POSITION pos = m_intersections->GetHeadPosition();
    while (pos) {
        CIntersection* x = m_intersections->GetNext(pos);
        if ((x->point - p).length() < kSameIntersection)
            return x;
    }
    return nullptr;
}

CIntersection* CBooleanSum::Xfind(const Point<double>* p) const
{
    return p ? findIntersectionPoint(*p) : nullptr;
}

void CBooleanSum::moveIntersectionsToArcEndPoints()
{
    if (!m_intersections)
        return;
    POSITION pos = m_intersections->GetHeadPosition();
    while (pos) {
        CIntersection* x = m_intersections->GetNext(pos);
        POSITION r = x->curves().GetHeadPosition();
        while (r) {
            const CCompositeCurve* c = x->curves().GetNext(r)->curve;
            POSITION a = c->arcs().GetHeadPosition();
            while (a) {
                const Point<double> s = c->arcs().GetNext(a)->startPoint();
                if ((s - x->point).length() < kArcEndSnap)
                    x->point = s;
            }
        }
    }
    eliminateDupIntersections();
}

void CBooleanSum::eliminateDupIntersections()
{
    if (!m_intersections)
        return;
    // Removing a later duplicate creates no new pair before it, so one pass
    // in list order finds what restarting after each removal would.
    POSITION i = m_intersections->GetHeadPosition();
    while (i) {
        CIntersection* x = m_intersections->GetNext(i);
        POSITION j = i;
        while (j) {
            const POSITION here = j;
            CIntersection* y = m_intersections->GetNext(j);
            if ((y->point - x->point).length() < kDuplicate) {
                // The survivor keeps the curves that only the duplicate
                // recorded, so that the walk can still turn onto them.
                mergeRecords(x, y);
                if (i == here)
                    i = j;
                m_intersections->RemoveAt(here);
                delete y;
            }
        }
    }
}

void CBooleanSum::deleteIntersections()
{
    if (!m_intersections)
        return;
    while (!m_intersections->IsEmpty())
        delete m_intersections->RemoveHead();
}

void CBooleanSum::removeIntersection(CIntersection* x)
{
    if (!m_intersections)
        return;
    POSITION pos = m_intersections->Find(x);
    if (pos)
        m_intersections->RemoveAt(pos);
}

void CBooleanSum::clearIntersectionTraversals()
{
    if (!m_intersections)
        return;
    POSITION pos = m_intersections->GetHeadPosition();
    while (pos)
        m_intersections->GetNext(pos)->visited = false;
}

// ---------------------------------------------------------------------------
// Touching

int CBooleanSum::classifyPiece(const CCompositeCurve* c, const CCompositeCurve* c2, double t,
                               int direction, const IntersectionList* among) const
{
    double tm = t;
    const int code = midParameter(c2, t, direction, among, &tm, "QHT:lookahead: negative maxstep ",
                                  "QHT:lookback: negative maxstep ");
    if (code != 0)
        return code;
    const Point<double> p = c2->eval(tm);
    if (c->inside(p))
        return bsInside;
    if (c->on(p))
        return bsOn;
    return bsOutside;
}

int CBooleanSum::lookahead(const CCompositeCurve* c, const CCompositeCurve* c2, double t,
                           const IntersectionList* among) const
{
    return classifyPiece(c, c2, t, +1, among);
}

int CBooleanSum::lookback(const CCompositeCurve* c, const CCompositeCurve* c2, double t,
                          const IntersectionList* among) const
{
    return classifyPiece(c, c2, t, -1, among);
}

bool CBooleanSum::touching(const CIntersection* x, const IntersectionList* among) const
{
    const CList<CCurveIntersection*>& records = x->curves();
    POSITION r = records.GetHeadPosition();
    while (r) {
        const CCurveIntersection* first = records.GetAt(r);
        POSITION r2 = r;
        records.GetNext(r);
        while (r2) {
            const CCurveIntersection* second = records.GetNext(r2);
            if (second->curve == first->curve)
                continue;
            const int ahead = lookahead(first->curve, second->curve, second->parameter, among);
            const int back = lookback(first->curve, second->curve, second->parameter, among);
            if (pairTouches(ahead, back, first->curve->sign() != second->curve->sign()))
                return true;
            break;
        }
    }
    return false;
}

void CBooleanSum::removeTouching(IntersectionList* list)
{
    if (!list)
        return;
    // The look-ups scan this list, so a removal can change the answer for
    // an intersection already passed: start again from the head.
    bool removed = true;
    while (removed) {
        removed = false;
        POSITION pos = list->GetHeadPosition();
        while (pos) {
            const POSITION here = pos;
            CIntersection* x = list->GetNext(pos);
            if (touching(x, list)) {
                list->RemoveAt(here);
                delete x;
                removed = true;
                break;
            }
        }
    }
}
