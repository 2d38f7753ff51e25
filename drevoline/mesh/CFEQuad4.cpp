// CFEQuad4: value at a point by inverse bilinear mapping, point test,
// contour pieces, extents and the element record.
#include "drevoline/mesh/CFEQuad4.h"
#include "drevoline/mesh/LoadedMaterial.h"

#include <cmath>
#include <stdexcept>

#include "analysis/model/CMetal.h"
#include "analysis/model/CModel.h"
#include "analysis/model/Globals.h"
#include "analysis/predicates/Predicates.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFETrng3.h"
#include "platform/core/CArchive.h"
#include "platform/core/Exceptions.h"

IMPLEMENT_SERIAL(CFEQuad4, CFEElementAnalysis, 1)

double N1(double xi, double eta) { return 0.25 * (1.0 - xi) * (1.0 - eta); }
double N2(double xi, double eta) { return 0.25 * (1.0 + xi) * (1.0 - eta); }
double N3(double xi, double eta) { return 0.25 * (1.0 + xi) * (1.0 + eta); }
double N4(double xi, double eta) { return 0.25 * (1.0 - xi) * (1.0 + eta); }

CFEQuad4::CFEQuad4() = default;

CFEQuad4::CFEQuad4(int n, std::shared_ptr<CFENodeAnalysis> a, std::shared_ptr<CFENodeAnalysis> b,
                   std::shared_ptr<CFENodeAnalysis> c, std::shared_ptr<CFENodeAnalysis> d,
                   const CMetal* m)
    : number(n), quadNodes{std::move(a), std::move(b), std::move(c), std::move(d)}
{
    material = m;
}

CFEQuad4::CFEQuad4(const CFEQuad4& other)
    : CFEElementAnalysis(other),
      number(other.number),
      quadNodes{other.quadNodes[0], other.quadNodes[1], other.quadNodes[2], other.quadNodes[3]}
{
}

const CFENodeAnalysis& CFEQuad4::checkedNode(int i) const
{
    if (i < 0 || i >= 4 || !quadNodes[i])
        AfxThrowInvalidArgException();
    return *quadNodes[i];
}

Point<double> CFEQuad4::pos(int i) const
{
    return checkedNode(i).position;
}

double CFEQuad4::nodeValue(int i, RESULTS r) const
{
    const std::map<RESULTS, double>& table = checkedNode(i).results;
    auto it = table.find(r);
    return it == table.end() ? 0.0 : it->second;
}

double CFEQuad4::ValueAtPoint(RESULTS r, const Point<double>& p) const
{
    const double X[4] = {pos(0).x, pos(1).x, pos(2).x, pos(3).x};
    const double Y[4] = {pos(0).y, pos(1).y, pos(2).y, pos(3).y};
    // x = a0 + a1 l + a2 m + a3 l m over l, m in [0, 1]; y likewise with b.
    const double a[4] = {X[0], X[1] - X[0], X[3] - X[0], X[0] - X[1] + X[2] - X[3]};
    const double b[4] = {Y[0], Y[1] - Y[0], Y[3] - Y[0], Y[0] - Y[1] + Y[2] - Y[3]};
    const double f[4] = {nodeValue(0, r), nodeValue(1, r), nodeValue(2, r), nodeValue(3, r)};

    const double A = a[3] * b[2] - a[2] * b[3];
    const double B = a[3] * b[0] - a[0] * b[3] + a[1] * b[2] - a[2] * b[1] + b[3] * p.x - a[3] * p.y;
    const double C = a[1] * b[0] - a[0] * b[1] + b[1] * p.x - a[1] * p.y;
    double m = 0.0;
    if (std::fabs(A) <= 1e-12 * std::fabs(B)) {
        // A parallelogram (every rectangle): the equation in m is linear.
        if (B == 0.0)
            return (f[0] + f[1] + f[2] + f[3]) / 4.0;
        m = -C / B;
    } else {
        // Rounding may leave a tiny negative discriminant at the border.
        const double disc = std::max(0.0, B * B - 4.0 * A * C);
        m = (std::sqrt(disc) - B) / (2.0 * A);
    }
    // l from whichever coordinate equation is better conditioned.
    const double dx = a[1] + a[3] * m;
    const double dy = b[1] + b[3] * m;
    const double l = std::fabs(dx) >= std::fabs(dy) ? (p.x - a[0] - a[2] * m) / dx
                                                    : (p.y - b[0] - b[2] * m) / dy;
    const double xi = 2.0 * l - 1.0;
    const double eta = 2.0 * m - 1.0;
    return N1(xi, eta) * f[0] + N2(xi, eta) * f[1] + N3(xi, eta) * f[2] + N4(xi, eta) * f[3];
}

Point<double> CFEQuad4::center() const
{
    return (pos(0) + pos(1) + pos(2) + pos(3)) * 0.25;
}

bool CFEQuad4::contains(const Point<double>* p) const
{
    for (int k = 0; k < 4; ++k) {
        const Point<double> a = pos(k);
        const Point<double> b = pos((k + 1) % 4);
        if (!(::orient2d(&a.x, &b.x, &p->x) > 0.0))
            return false;
    }
    return true;
}

bool CFEQuad4::contourLine(RESULTS r, double level, Point<double>& p1, Point<double>& p2) const
{
    int found = 0;
    for (int i = 0; i < 4; ++i) {
        const int j = (i + 1) % 4;
        const double fi = nodeValue(i, r);
        const double fj = nodeValue(j, r);
        const double di = fi - level;
        if (!(di * (fj - level) <= 0.0))
            continue;
        const Point<double> pi = pos(i);
        // Both ends at the level: the edge lies in the contour; take its start.
        const Point<double> q = fi == fj ? pi : pi + (pos(j) - pi) * std::fabs(di / std::fabs(fi - fj));
        (found == 0 ? p1 : p2) = q;
        ++found;
    }
    return found >= 2;
}

void CFEQuad4::extents(Point<double>& min, Point<double>& max) const
{
    min = Point<double>(1e20, 1e20, 0.0);
    max = Point<double>(-1e20, -1e20, 0.0);
    for (int i = 0; i < 4; ++i) {
        min.x = std::min(min.x, pos(i).x);
        min.y = std::min(min.y, pos(i).y);
        max.x = std::max(max.x, pos(i).x);
        max.y = std::max(max.y, pos(i).y);
    }
}

std::shared_ptr<CFENodeAnalysis> CFEQuad4::findNode(NodeList* list, int nid)
{
    return CFETrng3::findNode(list, nid);
}

Oriented_side CFEQuad4::orient2d(const Point<double>* a, const Point<double>* b, const Point<double>* c)
{
    return CFETrng3::orient2d(a, b, c);
}

void CFEQuad4::Serialize(CArchive& ar, NodeList* list, const NodeIndex* index)
{
    CFEElementAnalysis::Serialize(ar);
    if (ar.IsStoring()) {
        ar << number;
        for (const auto& n : quadNodes) {
            if (!n)
                throw std::logic_error("null node point in quadrilateral");
            ar << n->id();
        }
        ar << static_cast<BYTE>(material ? 1 : 0);
        if (material)
            ar << material->name;
        return;
    }
    ar >> number;
    for (auto& n : quadNodes) {
        int nid = 0;
        ar >> nid;
        n = CFETrng3::findNode(list, nid, index);
        // An element cannot stand on a node the file does not hold.
        if (!n)
            throw std::logic_error("Element node is not recovered.");
    }
    BYTE hasMaterial = 0;
    ar >> hasMaterial;
    material = nullptr;
    if (hasMaterial) {
        CString name;
        ar >> name;
        material = loadedMaterial(name, "Material not found during serialization");
    }
}
