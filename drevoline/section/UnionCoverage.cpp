// The check that a whole union kept every piece it was given.
#include "drevoline/section/UnionCoverage.h"

#include <algorithm>
#include <cmath>

#include "analysis/geometry/Bspline.h"

namespace union_coverage {

namespace {

// A solid curve with its control box (the curve lies inside it).
struct Solid {
    const CCompositeCurve* curve;
    Point<double> min, max;
};

std::vector<Solid> solidsOf(const CList<CCompositeCurve*>& curves)
{
    std::vector<Solid> out;
    POSITION pos = curves.GetHeadPosition();
    while (pos) {
        const CCompositeCurve* c = curves.GetNext(pos);
        Solid s{c, {}, {}};
        if (!c->isNegative() && c->controlBox(s.min, s.max))
            out.push_back(s);
    }
    return out;
}

bool inBox(const Point<double>& p, const Solid& s, double slack)
{
    return p.x >= s.min.x - slack && p.x <= s.max.x + slack && p.y >= s.min.y - slack && p.y <= s.max.y + slack;
}

bool inHole(const Point<double>& p, const CList<CCompositeCurve*>& curves)
{
    POSITION pos = curves.GetHeadPosition();
    while (pos) {
        const CCompositeCurve* c = curves.GetNext(pos);
        if (c->isNegative() && c->insideOrOn(p))
            return true;
    }
    return false;
}

// Three points on each arc of c: the start, a third and two thirds of its
// parameter span.
template <class Add>
void eachSample(const CCompositeCurve& c, Add add)
{
    POSITION at = c.arcs().GetHeadPosition();
    while (at) {
        const Bspline* arc = c.arcs().GetNext(at);
        const double s = arc->startParameter(), e = arc->endParameter();
        for (double f : {0.0, 1.0 / 3.0, 2.0 / 3.0}) {
            Point<double> p;
            arc->eval(s + (e - s) * f, &p, 1e-7);
            add(p);
        }
    }
}

}  // namespace

std::vector<Point<double>> solidSamples(const CList<CCompositeCurve*>& curves)
{
    std::vector<Point<double>> out;
    POSITION pos = curves.GetHeadPosition();
    while (pos) {
        const CCompositeCurve* c = curves.GetNext(pos);
        if (c->isNegative())
            continue;
        eachSample(*c, [&](const Point<double>& p) {
            if (!inHole(p, curves))
                out.push_back(p);
        });
    }
    return out;
}

bool everySampleCovered(const std::vector<Point<double>>& samples, const CList<CCompositeCurve*>& result,
                        double slack)
{
    const std::vector<Solid> solids = solidsOf(result);
    const Point<double> steps[] = {{0, 0, 0}, {slack, 0, 0}, {-slack, 0, 0}, {0, slack, 0}, {0, -slack, 0}};
    for (const Point<double>& p : samples) {
        bool covered = false;
        for (const Solid& s : solids) {
            if (!inBox(p, s, slack))
                continue;
            for (const Point<double>& d : steps) {
                if (s.curve->insideOrOn(p + d)) {
                    covered = true;
                    break;
                }
            }
            if (covered)
                break;
        }
        if (!covered)
            return false;
    }
    return true;
}

bool solidsOverlap(const CList<CCompositeCurve*>& result)
{
    const std::vector<Solid> solids = solidsOf(result);
    for (const Solid& a : solids) {
        bool overlap = false;
        eachSample(*a.curve, [&](const Point<double>& p) {
            for (const Solid& b : solids) {
                if (overlap || b.curve == a.curve || !inBox(p, b, 0.0))
                    continue;
                overlap = b.curve->insideNotOn(p) && !inHole(p, result);
            }
        });
        if (overlap)
            return true;
    }
    return false;
}

double smallestPiece(const CList<CCompositeCurve*>& curves)
{
    double smallest = HUGE_VAL;
    POSITION pos = curves.GetHeadPosition();
    while (pos) {
        Point<double> min, max;
        if (!curves.GetNext(pos)->controlBox(min, max))
            continue;
        const double piece = std::max(max.x - min.x, max.y - min.y);
        if (piece > 0.0)
            smallest = std::min(smallest, piece);
    }
    return smallest;
}

}  // namespace union_coverage
