// The boolean union's look-ups along a curve: the next intersection in a
// direction, parameter spans and midpoints, and the probes that find the
// nearest crossing along a line.
#include <cmath>
#include <iostream>
#include <memory>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/geometry/CIntersection.h"
#include "drevoline/section/CBooleanSum.h"

namespace {

// The parameter of x's record of curve (x records it).
double parameterOn(const CIntersection* x, const CCompositeCurve* curve)
{
    return x->usesCC(curve)->parameter;
}

// te names the same place on the closed curve as t: within the step
// tolerance, also across the seam (the start and end parameter are one point).
bool samePlace(const CCompositeCurve* curve, double t, double te)
{
    const double s = curve->startParameter();
    const double e = curve->endParameter();
    const double tol = CBooleanSum::kStepSkip;
    if (std::fabs(te - t) <= tol)
        return true;
    return (std::fabs(te - s) <= tol && std::fabs(t - e) <= tol) ||
           (std::fabs(te - e) <= tol && std::fabs(t - s) <= tol);
}

// Writes a diagnostic line to the standard error stream.
void diagnose(const char* text)
{
    std::cerr << text << std::endl;
}

} // namespace

const CBooleanSum::IntersectionList* CBooleanSum::scanList(const IntersectionList* among) const
{
    return among ? among : m_intersections;
}

// ---------------------------------------------------------------------------
// The next intersection along a curve

CIntersection* CBooleanSum::lookToEnd(const CCompositeCurve* curve, double t, int direction,
                                      const IntersectionList* among, bool skipUsed) const
{
    const IntersectionList* list = scanList(among);
    if (!list || !curve)
        return nullptr;
    const double s = curve->startParameter();
    const double e = curve->endParameter();
    CIntersection* best = nullptr;
    double bestTe = 0.0;
    POSITION pos = list->GetHeadPosition();
    while (pos) {
        CIntersection* x = list->GetNext(pos);
        const CCurveIntersection* r = x->usesCC(curve);
        if (!r || (skipUsed && x->visited))
            continue;
        double te = r->parameter;
        if (samePlace(curve, t, te))
            continue;
        // Going forward, a crossing at the seam is reached at the end.
        if (direction > 0 && std::fabs(te - s) < kShortestDirection)
            te = e;
        const bool ahead = direction > 0 ? te > t : te < t;
        const bool nearer = !best || (direction > 0 ? te < bestTe : te > bestTe);
        if (ahead && nearer) {
            best = x;
            bestTe = te;
        }
    }
    return best;
}

CIntersection* CBooleanSum::lookPastEnd(const CCompositeCurve* curve, double t, int direction,
                                        const IntersectionList* among, bool skipUsed) const
{
    const IntersectionList* list = scanList(among);
    if (!list || !curve)
        return nullptr;
    CIntersection* best = nullptr;
    double bestTe = 0.0;
    POSITION pos = list->GetHeadPosition();
    while (pos) {
        CIntersection* x = list->GetNext(pos);
        const CCurveIntersection* r = x->usesCC(curve);
        if (!r || (skipUsed && x->visited))
            continue;
        const double te = r->parameter;
        if (samePlace(curve, t, te))
            continue;
        if (!best || (direction > 0 ? te < bestTe : te > bestTe)) {
            best = x;
            bestTe = te;
        }
    }
    return best;
}

CIntersection* CBooleanSum::nextX(const CCompositeCurve* curve, double t, int direction,
                                  const IntersectionList* among, bool skipUsed) const
{
    CIntersection* x = lookToEnd(curve, t, direction, among, skipUsed);
    return x ? x : lookPastEnd(curve, t, direction, among, skipUsed);
}

CIntersection* CBooleanSum::compare_start(const CCompositeCurve* curve, double t, CIntersection* c,
                                          CIntersection* start, int direction) const
{
    const CCurveIntersection* rb = start ? start->usesCC(curve) : nullptr;
    if (!rb || !c || !c->usesCC(curve))
        return c;
    const double tb = rb->parameter;
    if (std::fabs(tb - t) < kStartMatch)
        return c;
    const double tc = parameterOn(c, curve);
    if (direction > 0) {
        if (t < tc)
            return (t < tb && tb < tc) ? start : c;
        return (tb > t || tb < tc) ? start : c;  // the piece wraps round the seam
    }
    if (t > tc) {
        if (tb >= t)
            return c;
        return tb > tc ? start : c;
    }
    return (tb < t || tb > tc) ? start : c;
}

CIntersection* CBooleanSum::getNextIntersection(const CCompositeCurve* curve, double t, int direction,
                                                CIntersection* start) const
{
    CIntersection* c = nextX(curve, t, direction);
    if (!c)
        return (start && start->usesCC(curve)) ? start : nullptr;
    CIntersection* answer = compare_start(curve, t, c, start, direction);
    answer->visited = true;
    return answer;
}

// ---------------------------------------------------------------------------
// Parameter spans and midpoints

double CBooleanSum::DeltaP(const CCompositeCurve* c, int direction, double t, double te) const
{
    const double s = c->startParameter();
    const double e = c->endParameter();
    const bool atSeam = std::fabs(te - e) < 1e-5 || std::fabs(te - s) < 1e-5;
    if (direction == 1) {
        if (atSeam)
            return e - t;
        if (te > t)
            return te - t;
    } else if (direction == -1) {
        if (atSeam)
            return t - s;
        if (t > te)
            return t - te;
    } else {
        diagnose("QHT:DeltaP: bad direction");
        return -1.0;
    }
    // The span passes the seam, which only a closed curve has.
    if (c->isOpen())
        diagnose("QHT:DeltaP: Can't use an open CCompositeCurve");
    return direction == 1 ? (te - s) + (e - t) : (t - s) + (e - te);
}

double CBooleanSum::calc_midparm(const CCompositeCurve* c, double a, double b, int direction) const
{
    const double s = c->startParameter();
    const double e = c->endParameter();
    if (direction == 1) {
        if (b > a)
            return a + (b - a) / 2.0;
        if (a > b)
            return std::fabs(b - s) < 0.001 ? a + (e - a) / 2.0 : s;
    } else if (direction == -1) {
        if (a > b)
            return b + (a - b) / 2.0;
        if (a < b)
            return std::fabs(a - s) < 0.001 ? b + (e - b) / 2.0 : s;
    }
    return a;  // equal ends or no direction: no span to halve
}

int CBooleanSum::midParameter(const CCompositeCurve* curve, double t, int direction,
                              const IntersectionList* among, double* tm, const char* forwardText,
                              const char* backwardText) const
{
    const CIntersection* x = nextX(curve, t, direction, among);
    if (!x)
        return bsNoIntersection;
    const double te = parameterOn(x, curve);
    const double s = curve->startParameter();
    const double e = curve->endParameter();
    if (direction > 0) {
        const double step = t > te ? (e - t) + (te - s) : te - t;
        if (step < 0.0) {
            diagnose(forwardText);
            return bsNegativeStep;
        }
        *tm = t + step / 2.0;
        if (*tm > e)
            *tm -= e - s;
    } else {
        const double step = t < te ? (e - te) + (t - s) : t - te;
        if (step < 0.0) {
            diagnose(backwardText);
            return bsNegativeStep;
        }
        *tm = t - step / 2.0;
        if (*tm < s)
            *tm += e - s;
    }
    return 0;
}

int CBooleanSum::find_midpt(const CCompositeCurve* curve, double t, int direction, Point<double>* m,
                            double* tm) const
{
    int code = bsBadArguments;
    double u = t;
    if (!curve || !m || !tm || (direction != 1 && direction != -1))
        diagnose("find_midpt:FATAL:Bad arguments ");
    else
        code = midParameter(curve, t, direction, nullptr, &u, "find_midpt:: FATAL: negative maxstep ",
                            "find_midpt:FATAL: negative maxstep ");
    // On failure the caller is left at t, with the curve's point there.
    if (code != 0)
        u = t;
    if (tm)
        *tm = u;
    if (m && curve)
        *m = curve->eval(u);
    return code;
}

// ---------------------------------------------------------------------------
// Probes along a line

int CBooleanSum::closestIntersection(Point<double>* m, Point<double>* n, Point<double>* closest, double* d)
{
    if (n->length() < kShortestDirection)
        throw "closesPt_X:FATAL:Bad offset POINTd.\n";
    CMaxMinBox box = m_bounds;
    Point<double> a = *m;
    Point<double> b = *m + *n * (2.0 * box.diagDist());
    // Without bounds the probe has no length and meets nothing.
    if ((b - a).length() < kShortestDirection)
        return 0;
    CCompositeCurve probe;
    probe.addArc(new Bspline(&a, &b, false));
    int count = 0;
    POSITION pos = m_working->GetHeadPosition();
    while (pos) {
        std::unique_ptr<IntersectionList> found(m_working->GetNext(pos)->intersect(&probe));
        if (!found->IsEmpty()) {
            const Point<double> p = found->GetHead()->point;
            const double dist = (p - *m).length();
            if (dist > kNearStart) {
                if (count == 0 || dist < *d) {
                    *closest = p;
                    *d = dist;
                }
                ++count;
            }
        }
        while (!found->IsEmpty())
            delete found->RemoveHead();
    }
    return count;
}

int CBooleanSum::findClosestSignedX(const Point<double>& m, const Point<double>& n, int sign,
                                    const CCompositeCurve* excluded, Point<double>* closest, double* d)
{
    if (n.length() < kShortestDirection)
        throw "closestIntersection:FATAL:Bad offset POINTd.\n";
    const Point<double> from(m.x, m.y, 0.0);
    int count = 0;
    POSITION pos = m_working->GetHeadPosition();
    while (pos) {
        CCompositeCurve* c = m_working->GetNext(pos);
        if (c == excluded || c->sign() != sign)
            continue;
        Point<double> p = m;
        Point<double> dir = n;
        for (const Point<double>& q : c->polygonLineIntersection(p, dir)) {
            const double dist = (q - from).length();
            if (dist <= kNearStart && dist <= kFarCrossing)
                continue;
            if (count == 0 || dist < *d) {
                *closest = q;
                *d = dist;
            }
            ++count;
        }
    }
    return count;
}

void CBooleanSum::matchup(CCompositeCurve* c, const Point<double>* p, const CIntersection* x)
{
    if (!c || !x)
        return;
    if (p && (x->point - *p).length() < kNearStart)
        return;
    Point<double>* q = c->closest(x->point);
    if (!q)
        return;
    const double dist = (*q - x->point).length();
    if (dist >= kShortestDirection && dist < kArcEndSnap)
        *q = x->point;
}
