// CMesh: the small geometric queries on vertices (x and y only).
#include <algorithm>
#include <cmath>

#include "analysis/geometry/LineIntersection.h"
#include "analysis/predicates/Predicates.h"
#include "drevoline/mesh/CMesh.h"

double CMesh::angle(const CVertex* a, const CVertex* b, const CVertex* c)
{
    const double ux = a->x - b->x, uy = a->y - b->y;
    const double wx = c->x - b->x, wy = c->y - b->y;
    const double lengths = std::sqrt(ux * ux + uy * uy) * std::sqrt(wx * wx + wy * wy);
    // A side of zero length has no angle; 0 keeps the statistics finite.
    if (lengths == 0.0)
        return 0.0;
    const double cosine = std::clamp((ux * wx + uy * wy) / lengths, -1.0, 1.0);
    if (std::fabs(cosine + 1.0) < 1e-8)
        return 0.0;
    return std::acos(cosine) * 360.0 / (2.0 * M_PI);
}

double CMesh::minimumAngle(const CVertex* a, const CVertex* b, const CVertex* c)
{
    return std::min({angle(a, b, c), angle(b, a, c), angle(a, c, b)});
}

void CMesh::computeTriangleStats(const CVertex* a, const CVertex* b, const CVertex* c,
                                 double& minAngle, double& quality)
{
    minAngle = minimumAngle(a, b, c);
    const double perimeter = std::sqrt(distanceSquared(a, b)) + std::sqrt(distanceSquared(b, c))
                             + std::sqrt(distanceSquared(c, a));
    quality = perimeter > 0.0 ? minAngle / (perimeter * perimeter) : 0.0;
}

double CMesh::angleDifference(double a, double b)
{
    double d = std::fmod(a - b, 2.0 * M_PI);
    if (d > M_PI)
        d -= 2.0 * M_PI;
    else if (d <= -M_PI)
        d += 2.0 * M_PI;
    return std::fabs(d);
}

bool CMesh::isBoundingVertex(const CVertex* v) const
{
    return v && vertices && v >= &vertices[0] && v < &vertices[0] + 3;
}

bool CMesh::containsBoundingNodes(const CVertex* a, const CVertex* b, const CVertex* c) const
{
    return isBoundingVertex(a) || isBoundingVertex(b) || isBoundingVertex(c);
}

bool CMesh::isBetween(const CVertex* a, const CVertex* b, const CVertex* c)
{
    const double bx = b->x - a->x, by = b->y - a->y;
    const double cx = c->x - a->x, cy = c->y - a->y;
    return cx * bx + cy * by >= 0.0 && cx * cx + cy * cy <= bx * bx + by * by;
}

bool CMesh::colinear2d(Point<double>* p, Point<double>* a, Point<double>* b)
{
    if ((*p - *a).length() < 1e-6 || (*b - *a).length() < 1e-6)
        return true;
    return colinear(p, a, b);
}

Point<double> CMesh::closestPtOnLine(const Point<double>& p, const Point<double>& a,
                                     const Point<double>& b)
{
    Point<double> d = b - a;
    d.normalize();
    return a + d * dot(p - a, d);
}

Oriented_side CMesh::orient2d(const CVertex* a, const CVertex* b, const CVertex* c)
{
    const double s = ::orient2d(a->xy(), b->xy(), c->xy());
    if (s > 0.0)
        return LEFT_SIDE;
    if (s < 0.0)
        return RIGHT_SIDE;
    return ON_LINE;
}

bool CMesh::segmentBoundedAngle(const CVertex* a, const CVertex* b, const CVertex* c)
{
    const bool input = vertices && b >= &vertices[0] && b < &vertices[0] + nInputNodes;
    return input && findSegment(a, b) && findSegment(b, c);
}

bool CMesh::encroach(const CVertex* a, const CVertex* b, const CVertex* p)
{
    // Inside the circle on diameter a-b exactly when the angle a-p-b is obtuse.
    return (a->x - p->x) * (b->x - p->x) + (a->y - p->y) * (b->y - p->y) < 0.0;
}

double CMesh::distanceSquared(const CVertex* a, const CVertex* b)
{
    const double dx = a->x - b->x;
    const double dy = a->y - b->y;
    return dx * dx + dy * dy;
}
