// The boolean union's inside tests: where a curve or a point lies relative
// to the inputs, the working curves and the given holes.
#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "drevoline/section/CBooleanSum.h"

namespace {

// p lies strictly inside some curve of list, other than excluded, whose
// sign is sign.
bool insideSigned(const CBooleanSum::CurveList* list, const Point<double>& p, int sign,
                  const CCompositeCurve* excluded)
{
    if (!list)
        return false;
    POSITION pos = list->GetHeadPosition();
    while (pos) {
        const CCompositeCurve* c = list->GetNext(pos);
        if (c != excluded && c->sign() == sign && c->inside(p))
            return true;
    }
    return false;
}

} // namespace

bool CBooleanSum::isContainer(const CCompositeCurve* c, const CurveList* list) const
{
    if (!list)
        return false;
    POSITION pos = list->GetHeadPosition();
    while (pos) {
        const CCompositeCurve* other = list->GetNext(pos);
        // other's interior point lies within other's control box: a box
        // apart from c's cannot put it inside c.
        if (other == c || boxesApart(c, other, 0.0))
            continue;
        if (c->inside(other->getInteriorPoint(0.5)))
            return true;
    }
    return false;
}

bool CBooleanSum::isInsidePositive(const CurveList* list, const CCompositeCurve* c) const
{
    return insideSigned(list, c->startPoint(), 1, c);
}

bool CBooleanSum::isInsidePositive(const Point<double>& p, const CCompositeCurve* excluded) const
{
    return insideSigned(m_working, p, 1, excluded);
}

bool CBooleanSum::isInsideNegative(const CurveList* list, const CCompositeCurve* c) const
{
    return insideSigned(list, c->startPoint(), -1, c);
}

bool CBooleanSum::isInsideNegative(const Point<double>& p) const
{
    POSITION pos = m_givenHoles.GetHeadPosition();
    while (pos) {
        if (m_givenHoles.GetNext(pos)->inside(p))
            return true;
    }
    return false;
}

CCompositeCurve* CBooleanSum::isOnNegative(const Point<double>& p) const
{
    POSITION pos = m_givenHoles.GetHeadPosition();
    while (pos) {
        CCompositeCurve* hole = m_givenHoles.GetNext(pos);
        double t = 0.0;
        if (hole->getParm(p, &t))
            return hole;
    }
    return nullptr;
}

bool CBooleanSum::isFirstIn(CCompositeCurve* c, const CurveList* list) const
{
    if (!list || list->IsEmpty())
        return false;
    const Point<double> p = c->startPoint();
    bool answer = false;
    POSITION pos = list->GetHeadPosition();
    while (pos) {
        const CCompositeCurve* c2 = list->GetNext(pos);
        if (c2 == c)
            continue;
        if (c2->insideOrOn(p)) {
            if (c2->sign() == 1)
                answer = true;
            else if (c2->sign() == -1)
                return false;
        }
        double t = 0.0;
        if (!c2->getParm(p, &t))
            continue;
        // Starting on c2: the first point of c's polygon inside or on c2 decides.
        if (c->polygonPoints().IsEmpty())
            c->polygon(false, 0.001, -1.0);
        for (const Point<double>& q : c->polygonPoints()) {
            if (!c2->insideOrOn(q))
                continue;
            if (c2->sign() == 1)
                answer = true;
            else if (c2->sign() == -1)
                return false;
            break;
        }
    }
    return answer;
}

bool CBooleanSum::isInsideGeneratedNegative(const CurveList* list, const CCompositeCurve* c) const
{
    if (!list)
        return false;
    const Point<double> p = c->startPoint();
    POSITION pos = list->GetHeadPosition();
    while (pos) {
        const CCompositeCurve* c2 = list->GetNext(pos);
        if (c2 != c && c2->mark() && c2->inside(p))
            return true;
    }
    return false;
}

bool CBooleanSum::insideOrOnAll(const Point<double>* p, const CurveList* list) const
{
    if (!list)
        return true;
    POSITION pos = list->GetHeadPosition();
    while (pos) {
        if (!list->GetNext(pos)->insideOrOn(*p))
            return false;
    }
    return true;
}

bool CBooleanSum::inside_one(const CCompositeCurve* curve, const Point<double>* p) const
{
    if (curve->isNegative())
        return !curve->inside(*p);
    return curve->insideOrOn(*p);
}
