// The boolean union's circuit walk: from a start intersection along the
// curves, choosing at each intersection the piece that lies on the union's
// boundary, until the walk closes.
#include <cmath>
#include <iostream>
#include <memory>
#include <stdexcept>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/geometry/CIntersection.h"
#include "drevoline/section/CBooleanSum.h"

namespace {

// Parameters this close to the start parameter stand for the end parameter
// when they close a piece (the walk crosses the seam).
constexpr double kSeam = 1e-8;

} // namespace

bool CBooleanSum::startCircuit(CIntersection** x, CCurveIntersection** record, int* direction)
{
    if (!m_intersections)
        return false;
    POSITION pos = m_intersections->GetHeadPosition();
    while (pos) {
        CIntersection* candidate = m_intersections->GetNext(pos);
        if (candidate->visited)
            continue;
        POSITION r = candidate->curves().GetHeadPosition();
        while (r) {
            CCurveIntersection* rec = candidate->curves().GetNext(r);
            if ((m_negativeRouting || !rec->curve->isNegative()) && pospathck(candidate, rec, +1)) {
                candidate->visited = true;
                candidate->circuit = m_circuitCount++;
                m_startCurve = rec->curve;
                *x = candidate;
                *record = rec;
                *direction = +1;
                return true;
            }
        }
        candidate->visited = true;
    }
    return false;
}

CCompositeCurve* CBooleanSum::findCircuit(CIntersection* start, CCurveIntersection* record, int direction)
{
    auto owned = std::make_unique<CCompositeCurve>();
    m_circuit = owned.get();
    own(owned.release());
    m_circuitStart = &start->point;
    CCompositeCurve* curve = record->curve;
    double t = record->parameter;
    for (int step = 0; step < kMaxCircuitSteps; ++step) {
        CIntersection* next = compare_start(curve, t, nextX(curve, t, direction), start, direction);
        if (!next) {
            if (!start->usesCC(curve))
                throw std::logic_error("QHT:CIRCUIT : Circuit finder is lost.giving up on bool sum.");
            next = start;
        }
        if (m_negativeRouting && curve->mark())
            m_circuit->mark(true);
        const double s = curve->startParameter();
        const double e = curve->endParameter();
        double te = next->usesCC(curve)->parameter;
        if (std::fabs(te - s) < kSeam)
            te = e;
        if (t > te) {  // the piece passes the curve's seam
            cutAndPaste(curve, t, e);
            cutAndPaste(curve, s, te);
        } else {
            cutAndPaste(curve, t, te);
        }
        if (next == start) {
            m_circuit->updateParameters();
            m_circuit->verify();
            return m_circuit;
        }
        CCurveIntersection* out = nullptr;
        if (router(next, curve, &direction, &out) != 0)
            return nullptr;
        curve = out->curve;
        t = out->parameter;
    }
    throw std::logic_error("QHT::findCircuit:Infinite loop. Router is lost.");
}

int CBooleanSum::router(CIntersection* x, CCompositeCurve* incoming, int* direction, CCurveIntersection** out)
{
    POSITION pos = x->curves().GetHeadPosition();
    while (pos) {
        CCurveIntersection* r = x->curves().GetNext(pos);
        const bool take = r->curve->isNegative() ? negpathck(x, r, +1) : pospathck(x, r, +1);
        if (take) {
            x->visited = true;
            *direction = +1;
            *out = r;
            return 0;
        }
    }
    CCurveIntersection* stay = x->usesCC(incoming);
    if (stay) {
        const bool ok = incoming->isNegative() ? negpathck(x, stay, *direction) : pospathck(x, stay, *direction);
        if (ok) {
            *out = stay;
            return 0;
        }
    }
    std::cerr << "QHT:router:FATAL: Router is lost" << std::endl;
    return bsRouterLost;
}

int CBooleanSum::routeck(CIntersection* x, CCurveIntersection* r)
{
    if (!r)
        return bsRefused;
    const bool ok = r->curve->isNegative() ? negpathck(x, r, +1) : pospathck(x, r, +1);
    return ok ? bsAccepted : bsRefused;
}

bool CBooleanSum::pospathck(CIntersection* x, CCurveIntersection* r, int direction)
{
    if (!x || !r || direction < -1 || direction > 1) {
        std::cerr << "pospathck:FATAL: bad arguments" << std::endl;
        return false;
    }
    CCompositeCurve* c = r->curve;
    Point<double> m;
    double tm = 0.0;
    if (find_midpt(c, r->parameter, direction, &m, &tm) != 0)
        return false;
    const Point<double> n = c->normal(tm);
    if (!m_mode && isInsideNegative(m + n * 0.001))
        return false;
    if (isInsidePositive(m, c))
        return false;
    const CCompositeCurve* c2 = onNeighbor(x, r, m);
    if (m_negativeRouting)
        return c2 == nullptr;
    if (!c2)
        return true;
    if (c2->isPositive())
        return !surrounded(m, tm, +1, c);
    // A hole through the same point: the piece is on the boundary unless a
    // probe along the normal crosses the hole again.
    Point<double> a = m;
    Point<double> b = m + n * c2->crossingProbeLength();
    CCompositeCurve probe;
    probe.addArc(new Bspline(&a, &b, false));
    CList<Point<double>*> points(10);
    const int k = c2->findIntersections(&probe, &points);
    while (!points.IsEmpty())
        delete points.RemoveHead();
    return k <= 1;
}

bool CBooleanSum::negpathck(CIntersection* x, CCurveIntersection* r, int direction)
{
    if (!x || !r) {
        std::cerr << "QHT:negpathck:FATAL: bad arguments" << std::endl;
        return false;
    }
    Point<double> m;
    double tm = 0.0;
    if (find_midpt(r->curve, r->parameter, direction, &m, &tm) != 0)
        return false;
    const bool inside = surrounded(m, tm, +1, r->curve);
    return m_negativeRouting ? !inside : inside;
}

CCompositeCurve* CBooleanSum::onNeighbor(const CIntersection* x, const CCurveIntersection* r,
                                         const Point<double>& m) const
{
    POSITION pos = x->curves().GetHeadPosition();
    while (pos) {
        const CCurveIntersection* other = x->curves().GetNext(pos);
        double t = 0.0;
        if (other->curve != r->curve && other->curve->getParm(m, &t))
            return other->curve;
    }
    return nullptr;
}

bool CBooleanSum::surrounded(const Point<double>& m, double tm, int sign, const CCompositeCurve* curve)
{
    const Point<double> n = curve->normal(tm) * -1.0;
    Point<double> closest;
    double d = 0.0;
    if (findClosestSignedX(m, n, sign, curve, &closest, &d) == 0)
        return false;
    const Point<double> p = m + n * (d / 2.0);
    POSITION pos = m_working->GetHeadPosition();
    while (pos) {
        const CCompositeCurve* c = m_working->GetNext(pos);
        if (c != curve && c->sign() == sign && c->insideOrOn(p))
            return true;
    }
    return false;
}

void CBooleanSum::cutAndPaste(CCompositeCurve* curve, double a, double b)
{
    std::unique_ptr<CCompositeCurve> piece(curve->trim(a, b));
    CList<Bspline*>& arcs = piece->arcsMutable();
    while (!arcs.IsEmpty()) {
        std::unique_ptr<Bspline> arc(arcs.RemoveHead());
        m_circuit->addArc(arc.get());
        arc.release();
    }
    curve->verify();
    curve->traversed(true);
    m_circuit->verify();
}
