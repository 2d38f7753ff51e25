// CFETrng3: construction, stiffness, geometry, result queries and the record.
#include "drevoline/mesh/CFETrng3.h"

#include <cmath>
#include <stdexcept>

#include "analysis/model/CMetal.h"
#include "analysis/model/CModel.h"
#include "analysis/model/Globals.h"
#include "analysis/geometry/PlanarGeometry.h"
#include "analysis/predicates/Predicates.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "platform/core/CArchive.h"
#include "platform/core/Exceptions.h"

IMPLEMENT_SERIAL(CFETrng3, CFEElementAnalysis, 1)

double signedDistanceFromLine(Point<double>* linePoint, double angleRadians, const Point<double>* p)
{
    const Point<double> u(std::cos(angleRadians), std::sin(angleRadians), 0.0);
    const Point<double> v = *p - *linePoint;
    const Point<double> foot = *linePoint + u * dot(v, u);
    const Point<double> offset = *p - foot;
    const double d2 = offset.lengthSquared();
    const double distance = d2 < 1e-40 ? 0.0 : std::sqrt(d2);
    return cross(u, v).z > 0.0 ? distance : -distance;
}

CFETrng3::CFETrng3()
{
    kind = kInplaneTri;
    nDof = 2;
}

CFETrng3::CFETrng3(std::shared_ptr<CFENodeAnalysis> a, std::shared_ptr<CFENodeAnalysis> b,
                   std::shared_ptr<CFENodeAnalysis> c, const CMetal* m, double t)
    : CFETrng3()
{
    set(std::move(a), std::move(b), std::move(c), m, t);
}

CFETrng3::CFETrng3(const CFETrng3& other)
    : CFEElementAnalysis(other),
      Kn(other.Kn),
      Ks(other.Ks),
      Ksum(other.Ksum),
      welded(other.welded),
      thickness(other.thickness)
{
    kind = kInplaneTri;
    nDof = 2;
    std::copy(std::begin(other.axis1), std::end(other.axis1), std::begin(axis1));
    std::copy(std::begin(other.axis2), std::end(other.axis2), std::begin(axis2));
    std::copy(std::begin(other.axis3), std::end(other.axis3), std::begin(axis3));
}

void CFETrng3::set(std::shared_ptr<CFENodeAnalysis> a, std::shared_ptr<CFENodeAnalysis> b,
                   std::shared_ptr<CFENodeAnalysis> c, const CMetal* m, double t)
{
    if (!a || !b || !c)
        throw std::logic_error("null node point in triangle creation");
    // A triangle set again leaves the nodes it had.
    leaveNodes(nodes);
    nodes = {std::move(a), std::move(b), std::move(c)};
    for (const auto& n : nodes)
        n->elements.push_back(this);
    material = m;
    thickness = t;
}

Point<double> CFETrng3::pos(int i) const
{
    if (i < 0 || i >= static_cast<int>(nodes.size()) || !nodes[i])
        AfxThrowInvalidArgException();
    return nodes[i]->position;
}

double CFETrng3::nodeValue(int i, RESULTS r) const
{
    if (i < 0 || i >= static_cast<int>(nodes.size()) || !nodes[i])
        AfxThrowInvalidArgException();
    return nodes[i]->result(const_cast<CFETrng3*>(this), r);
}

double CFETrng3::plasticWeight() const
{
    if (!material)
        return 1.0;
    if (material->extra2 <= 0.0)
        throw std::logic_error("nPlastic is not computed.");
    return material->extra2;
}

double CFETrng3::modulusWeight() const
{
    if (!material)
        return 1.0;
    if (material->extra1 <= 0.0)
        throw std::logic_error("nE is not computed.");
    return material->extra1;
}

double CFETrng3::x21() const { return pos(1).x - pos(0).x; }
double CFETrng3::x31() const { return pos(2).x - pos(0).x; }
double CFETrng3::x32() const { return pos(2).x - pos(1).x; }
double CFETrng3::y21() const { return pos(1).y - pos(0).y; }
double CFETrng3::y31() const { return pos(2).y - pos(0).y; }
double CFETrng3::y32() const { return pos(2).y - pos(1).y; }

double CFETrng3::area() const
{
    return std::fabs(cross(pos(1) - pos(0), pos(2) - pos(0)).z) / 2.0;
}

Point<double> CFETrng3::center() const
{
    return (pos(0) + pos(1) + pos(2)) * (1.0 / 3.0);
}

void CFETrng3::center(double& x, double& y) const
{
    x = (pos(0).x + pos(1).x + pos(2).x) / 3.0;
    y = (pos(0).y + pos(1).y + pos(2).y) / 3.0;
}

void CFETrng3::extents(Point<double>& min, Point<double>& max) const
{
    min = Point<double>(1e20, 1e20, 0.0);
    max = Point<double>(-1e20, -1e20, 0.0);
    for (const auto& n : nodes) {
        min.x = std::min(min.x, n->position.x);
        min.y = std::min(min.y, n->position.y);
        max.x = std::max(max.x, n->position.x);
        max.y = std::max(max.y, n->position.y);
    }
}

std::shared_ptr<CFENodeAnalysis> CFETrng3::n1() const { return nodes.size() > 0 ? nodes[0] : nullptr; }
std::shared_ptr<CFENodeAnalysis> CFETrng3::n2() const { return nodes.size() > 1 ? nodes[1] : nullptr; }
std::shared_ptr<CFENodeAnalysis> CFETrng3::n3() const { return nodes.size() > 2 ? nodes[2] : nullptr; }

std::shared_ptr<CFENodeAnalysis> CFETrng3::findNode(NodeList* list, int nid)
{
    for (const auto& n : *list) {
        if (n && n->id() == nid)
            return n;
    }
    return nullptr;
}

CFETrng3::NodeIndex CFETrng3::indexNodes(const NodeList& list)
{
    NodeIndex index;
    index.reserve(list.size());
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i])
            index.emplace(list[i]->id(), i);
    return index;
}

std::shared_ptr<CFENodeAnalysis> CFETrng3::findNode(NodeList* list, int nid, const NodeIndex* index)
{
    if (!index)
        return findNode(list, nid);
    auto it = index->find(nid);
    return it == index->end() ? nullptr : (*list)[it->second];
}

namespace {

double halfCross(const Point<double>& a, const Point<double>& b, const Point<double>& p)
{
    return std::fabs(cross(a - p, b - p).z) / 2.0;
}

}  // namespace

double CFETrng3::L1(const Point<double>& p) const { return halfCross(pos(1), pos(2), p); }
double CFETrng3::L2(const Point<double>& p) const { return halfCross(pos(0), pos(2), p); }
double CFETrng3::L3(const Point<double>& p) const { return halfCross(pos(0), pos(1), p); }

double CFETrng3::ValueAtPoint(RESULTS r, const Point<double>& p) const
{
    return (L1(p) * nodeValue(0, r) + L2(p) * nodeValue(1, r) + L3(p) * nodeValue(2, r)) / area();
}

double CFETrng3::averageValue(RESULTS r) const
{
    double sum = 0.0;
    for (std::size_t i = 0; i < nodes.size(); ++i)
        sum += nodeValue(static_cast<int>(i), r);
    return nodes.empty() ? 0.0 : sum / static_cast<double>(nodes.size());
}

bool CFETrng3::contains(const Point<double>* p) const
{
    for (int k = 0; k < 3; ++k) {
        const Point<double> a = pos(k);
        const Point<double> b = pos((k + 1) % 3);
        if (!(::orient2d(&a.x, &b.x, &p->x) > 0.0))
            return false;
    }
    return true;
}

Oriented_side CFETrng3::orient2d(const Point<double>* a, const Point<double>* b, const Point<double>* c)
{
    const double s = ::orient2d(&a->x, &b->x, &c->x);
    if (s > 0.0)
        return LEFT_SIDE;
    if (s < 0.0)
        return RIGHT_SIDE;
    return ON_LINE;
}

void CFETrng3::classifyInOutOn(bool, Point<double> a, Point<double> b, int* positive, int* negative,
                               int* on, int& nPos, int& nNeg, int& nOn) const
{
    nPos = nNeg = nOn = 0;
    for (int i = 0; i < 3; ++i) {
        const Point<double> p = pos(i);
        const double s = ::orient2d(&a.x, &b.x, &p.x);
        if (s > 0.0)
            positive[nPos++] = i;
        else if (s < 0.0)
            negative[nNeg++] = i;
        else
            on[nOn++] = i;
    }
}

void CFETrng3::nodesInsideOrOn(Point<double> lo, Point<double> hi, int* inside, int* outside,
                               int* on) const
{
    const Point<double> corner[5] = {{lo.x, lo.y, 0.0}, {hi.x, lo.y, 0.0}, {hi.x, hi.y, 0.0},
                                     {lo.x, hi.y, 0.0}, {lo.x, lo.y, 0.0}};
    *inside = *outside = *on = 0;
    for (int i = 0; i < 3; ++i) {
        const Point<double> p = pos(i);
        bool onSide = false;
        bool out = false;
        for (int k = 0; k < 4 && !out; ++k) {
            const double s = ::orient2d(&corner[k].x, &corner[k + 1].x, &p.x);
            if (s == 0.0) {
                ++*on;
                onSide = true;
            } else if (s < 0.0) {
                ++*outside;
                out = true;
            }
        }
        if (!out && !onSide)
            ++*inside;
    }
}

BoxClassification CFETrng3::insideBox(int nPos1, int nNeg1, int nOn1, int nPos2, int nNeg2, int nOn2,
                                      int nPos3, int nNeg3, int nOn3, int nPos4, int nNeg4, int nOn4,
                                      bool* multiple)
{
    if (nOn1 + nOn2 + nOn3 + nOn4 == 3)
        return BOX_INSIDE;
    if (nNeg1 == 3 || nPos2 == 3 || nNeg3 == 3 || nPos4 == 3)
        return BOX_OUTSIDE;
    // The interior is on the positive side of lines 1 and 3 and on the
    // negative side of lines 2 and 4; a side is straddled when nodes lie on
    // both sides of it and the others are within the two sides across it.
    int r = (nNeg1 > 0 && nPos1 > 0 && nPos3 > 0 && nNeg4 > 0) ? BOX_STRADDLES_LEFT : 6;
    struct Straddle {
        bool hit;
        int cls;
    };
    const Straddle others[3] = {
        {nNeg2 > 0 && nPos2 > 0 && nPos3 > 0 && nNeg4 > 0, BOX_STRADDLES_RIGHT},
        {nNeg3 > 0 && nPos3 > 0 && nPos1 > 0 && nNeg2 > 0, BOX_STRADDLES_BOTTOM},
        {nNeg4 > 0 && nPos4 > 0 && nPos1 > 0 && nNeg2 > 0, BOX_STRADDLES_TOP},
    };
    for (const Straddle& s : others) {
        if (!s.hit)
            continue;
        if (r != 6 && multiple)
            *multiple = true;
        r = s.cls;
    }
    if (r != 6)
        return static_cast<BoxClassification>(r);
    if (nPos1 == 3 && nNeg2 == 3 && nPos3 == 3 && nNeg4 == 3)
        return BOX_INSIDE;
    throw std::logic_error("Classification of of inside box failed");
}

bool CFETrng3::contourLine(RESULTS r, double level, Point<double>& p1, Point<double>& p2) const
{
    // A node exactly at the level counts as above it: a contour through
    // nodes, or along an edge, is found once (by the element below it), and
    // a contour that only touches a corner gives no piece.
    const double f[3] = {nodeValue(0, r), nodeValue(1, r), nodeValue(2, r)};
    int found = 0;
    for (int i = 0; i < 3 && found < 2; ++i) {
        const int j = (i + 1) % 3;
        const double di = f[i] - level;
        const double dj = f[j] - level;
        if ((di >= 0.0) == (dj >= 0.0) || std::isnan(di) || std::isnan(dj))
            continue;
        const Point<double> pi = pos(i);
        const Point<double> q = pi + (pos(j) - pi) * (di / (di - dj));
        (found == 0 ? p1 : p2) = q;
        ++found;
    }
    return found == 2 && (p2 - p1).lengthSquared() > 0.0;
}

namespace {

// Where the line through a and b meets the line through p and q.
Point<double> meet(Point<double> a, Point<double> b, Point<double> p, Point<double> q)
{
    Point<double> x;
    lineX(a, b, p, q, &x);
    return x;
}

}  // namespace

bool CFETrng3::pointsOnLine(Point<double>& a, Point<double>& b, Point<double>* p1,
                            Point<double>* p2) const
{
    int positive[3], negative[3], on[3], nPos = 0, nNeg = 0, nOn = 0;
    classifyInOutOn(false, a, b, positive, negative, on, nPos, nNeg, nOn);
    if (nPos == 3 || nNeg == 3 || nOn == 2 || (nOn == 1 && (nPos == 2 || nNeg == 2)))
        return false;
    if (nOn == 0 && (nPos == 1 || nNeg == 1)) {
        const int lone = nPos == 1 ? positive[0] : negative[0];
        const int* others = nPos == 1 ? negative : positive;
        *p1 = meet(a, b, pos(lone), pos(others[0]));
        *p2 = meet(a, b, pos(lone), pos(others[1]));
        return true;
    }
    if (nOn == 1 && nPos == 1 && nNeg == 1) {
        *p1 = pos(on[0]);
        *p2 = meet(a, b, pos(positive[0]), pos(negative[0]));
        return true;
    }
    throw std::logic_error("pointOnLine condition not handled");
}
