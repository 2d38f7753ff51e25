// Meeting points of composite curves and their per-curve records.
#include "analysis/geometry/CIntersection.h"

CIntersection::~CIntersection()
{
    POSITION pos = m_curves.GetHeadPosition();
    while (pos)
        delete m_curves.GetNext(pos);
    m_curves.RemoveAll();
}

CCurveIntersection* CIntersection::usesCC(const CCompositeCurve* c) const
{
    POSITION pos = m_curves.GetHeadPosition();
    while (pos) {
        CCurveIntersection* record = m_curves.GetNext(pos);
        if (record->curve == c)
            return record;
    }
    return nullptr;
}

bool CIntersection::add(CCompositeCurve* c, double t)
{
    m_curves.AddTail(new CCurveIntersection(c, t));
    return true;
}

void CIntersection::removeCurve(const CCompositeCurve* c)
{
    POSITION pos = m_curves.GetHeadPosition();
    while (pos) {
        const POSITION here = pos;
        CCurveIntersection* record = m_curves.GetNext(pos);
        if (record->curve == c) {
            m_curves.RemoveAt(here);
            delete record;
        }
    }
}
