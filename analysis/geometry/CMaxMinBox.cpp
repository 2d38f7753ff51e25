#include "analysis/geometry/CMaxMinBox.h"

#include "platform/core/Types.h"

#include <algorithm>

namespace {

// Margin of the containment and overlap tests.
constexpr double kMargin = 1e-12;

// Widens [lo, hi] per coordinate to take in p.
void grow(Point<double>& lo, Point<double>& hi, const Point<double>& p)
{
    lo.x = std::min(lo.x, p.x);
    lo.y = std::min(lo.y, p.y);
    lo.z = std::min(lo.z, p.z);
    hi.x = std::max(hi.x, p.x);
    hi.y = std::max(hi.y, p.y);
    hi.z = std::max(hi.z, p.z);
}

// The value of [lo, hi] nearest to v.
double clampTo(double v, double lo, double hi)
{
    if (v <= lo)
        return lo;
    if (v > hi)
        return hi;
    return v;
}

}  // namespace

CMaxMinBox::CMaxMinBox(CList<Point<double>*>* pts)
{
    if (pts == nullptr || pts->IsEmpty())
        AfxThrowInvalidArgException();
    POSITION pos = pts->GetHeadPosition();
    min = max = *pts->GetNext(pos);
    while (pos != nullptr)
        grow(min, max, *pts->GetNext(pos));
}

CMaxMinBox::CMaxMinBox(Point<double>* pts, int n)
{
    if (pts == nullptr || n < 1)
        AfxThrowInvalidArgException();
    min = max = pts[0];
    for (int i = 1; i < n; ++i)
        grow(min, max, pts[i]);
}

CMaxMinBox::CMaxMinBox(CMaxMinBox* a, CMaxMinBox* b) : min(a->min), max(a->max)
{
    add(*b);
}

void CMaxMinBox::add(CMaxMinBox& b)
{
    grow(min, max, b.min);
    grow(min, max, b.max);
}

bool CMaxMinBox::inside(Point<double>* p, bool flag)
{
    if (p->x < min.x - kMargin || p->y < min.y - kMargin || p->x > max.x + kMargin ||
        p->y > max.y + kMargin)
        return false;
    if (flag)
        return !(p->z > max.z + kMargin);
    return !(p->z < min.z - kMargin);
}

bool CMaxMinBox::overlap(CMaxMinBox* b)
{
    return !(max.x < b->min.x - kMargin || b->max.x < min.x - kMargin ||
             max.y < b->min.y - kMargin || b->max.y < min.y - kMargin);
}

double CMaxMinBox::dist2(Point<double>* p)
{
    const Point<double> q(clampTo(p->x, min.x, max.x), clampTo(p->y, min.y, max.y),
                          clampTo(p->z, min.z, max.z));
    return (*p - q).lengthSquared();
}

double CMaxMinBox::diagDist()
{
    return (max - min).length();
}
