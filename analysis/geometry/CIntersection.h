#pragma once

#include "analysis/geometry/CCurveIntersection.h"
#include "analysis/geometry/Point.h"
#include "platform/core/CList.h"

class CCompositeCurve;

// A point where composite curves meet, with one record per curve through
// it (the curve and its running parameter at the point). The boolean union
// walks from intersection to intersection: it marks the ones it has used
// and numbers the circuit each belongs to. The intersection owns its
// records.
class CIntersection {
public:
    Point<double> point;  // the meeting point
    bool visited = false; // used by the walk of the boolean union
    int circuit = 0;      // number of the union's circuit through this point

    // Point (0, 0, 0), not visited, circuit 0, no records.
    CIntersection() = default;
    CIntersection(const CIntersection&) = delete;
    CIntersection& operator=(const CIntersection&) = delete;
    // Deletes the records.
    ~CIntersection();

    // Number of records.
    int nCurves() const { return static_cast<int>(m_curves.GetCount()); }
    // The first record whose curve is c, or null.
    CCurveIntersection* usesCC(const CCompositeCurve* c) const;
    // Appends the record (c, t), also when c already has one; returns true.
    bool add(CCompositeCurve* c, double t);
    // Unlinks and deletes every record whose curve is c; the others keep their order.
    void removeCurve(const CCompositeCurve* c);

    // The records in the order added.
    const CList<CCurveIntersection*>& curves() const { return m_curves; }

private:
    CList<CCurveIntersection*> m_curves{10};
};
