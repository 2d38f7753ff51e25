// CFETrng3: the parts of a triangle on either side of a line or inside a
// box, with their areas, first and second moments, forces and moments.
#include <cmath>
#include <stdexcept>

#include "analysis/geometry/PlanarGeometry.h"
#include "analysis/model/CMetal.h"
#include "analysis/predicates/Predicates.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFETrng3.h"

namespace {

// A piece of a triangle: its area, centroid and own second moments about
// its centroid (ix of x - xc, iy of y - yc).
struct Part {
    double area = 0.0;
    Point<double> centroid;
    double ix = 0.0, iy = 0.0;
};

// The triangle p, q, r as a piece; about the centroid each own second
// moment is A / 12 times the sum of the squared corner offsets.
Part trianglePart(Point<double> p, Point<double> q, Point<double> r)
{
    Part t;
    t.area = std::fabs(triangleArea(p, q, r));
    t.centroid = triangleCenter(p, q, r);
    const Point<double> g = t.centroid;
    const double x[3] = {p.x - g.x, q.x - g.x, r.x - g.x}, y[3] = {p.y - g.y, q.y - g.y, r.y - g.y};
    t.ix = t.area / 12.0 * (x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
    t.iy = t.area / 12.0 * (y[0] * y[0] + y[1] * y[1] + y[2] * y[2]);
    return t;
}

Point<double> meet(Point<double> a, Point<double> b, Point<double> p, Point<double> q)
{
    Point<double> x;
    lineX(a, b, p, q, &x);
    return x;
}

// The corner at `lone` cut off by line a-b, and the quadrilateral left of
// the element (of area `whole` minus the corner's). With checkCg the corner's
// centroid is checked against the mean of its corners' y.
void cutCorner(Point<double> lone, Point<double> o1, Point<double> o2, Point<double> a,
               Point<double> b, double whole, bool checkCg, Part& corner, Part& rest)
{
    Point<double> q1 = meet(a, b, lone, o1);
    Point<double> q2 = meet(a, b, lone, o2);
    corner = trianglePart(lone, q1, q2);
    if (checkCg && std::fabs((lone.y + q1.y + q2.y) / 3.0 - corner.centroid.y) > 1e-7)
        throw std::logic_error("Bad cg calc");
    const Part t1 = trianglePart(o1, o2, q1);
    const Part t2 = trianglePart(o2, q1, q2);
    const double a1 = t1.area, a2 = t2.area;
    rest.area = whole - corner.area;
    rest.centroid = a1 + a2 > 0.0 ? (t1.centroid * a1 + t2.centroid * a2) / (a1 + a2) : t1.centroid;
    // The two triangles' own moments moved to the quadrilateral's centroid.
    for (const Part* t : {&t1, &t2}) {
        const Point<double> d = t->centroid - rest.centroid;
        rest.ix += t->ix + t->area * d.x * d.x;
        rest.iy += t->iy + t->area * d.y * d.y;
    }
}

// The split through the on-line node o: the triangle (p, q, o) on the
// positive side, the rest (centroid the mean of n, o, q) on the negative.
void splitThroughNode(Point<double> p, Point<double> n, Point<double> o, Point<double> a,
                      Point<double> b, double whole, Part& positive, Part& negative)
{
    Point<double> q = meet(a, b, p, n);
    if (std::fabs(cross(o - a, q - a).z) > 1e-8)
        throw std::logic_error("Inaccurate split of triangle.");
    positive = trianglePart(p, q, o);
    negative = trianglePart(n, o, q);
    negative.area = whole - positive.area;
}

}  // namespace

void CFETrng3::splitArea(bool useX, Point<double> a, Point<double> b, double* pAF, double* pAw,
                         double* pAwy, double* pAwx, double* pAwy2, double* pAwx2, double* nAF,
                         double* nAw, double* nAwy, double* nAwx, double* nAwy2, double* nAwx2) const
{
    double* positiveOut[6] = {pAF, pAw, pAwy, pAwx, pAwy2, pAwx2};
    double* negativeOut[6] = {nAF, nAw, nAwy, nAwx, nAwy2, nAwx2};
    for (int i = 0; i < 6; ++i)
        *positiveOut[i] = *negativeOut[i] = 0.0;
    const double w = plasticWeight();
    const double F = material ? material->minYield(true) : 0.0;
    const double refX = useX ? a.x : 0.0;
    const double refY = useX ? 0.0 : a.y;
    auto put = [&](double* const* out, const Part& part) {
        const double A = part.area;
        const double dy = part.centroid.y - refY;
        const double dx = part.centroid.x - refX;
        *out[0] = A * F;
        *out[1] = A * w;
        *out[2] = A * w * dy;
        *out[3] = A * w * dx;
        // Whole second moments about the reference: the piece's own plus
        // the transfer (A d^2 alone misses the own part on coarse meshes).
        *out[4] = w * (A * dy * dy + part.iy);
        *out[5] = w * (A * dx * dx + part.ix);
    };

    int positive[3], negative[3], on[3], P = 0, N = 0, O = 0;
    classifyInOutOn(false, a, b, positive, negative, on, P, N, O);
    Part whole = trianglePart(this->pos(0), this->pos(1), this->pos(2));
    whole.area = area();
    whole.centroid = center();
    Part pos, neg;
    if (P == 3 || (O == 2 && P == 1) || (O == 1 && P == 2)) {
        put(positiveOut, whole);
    } else if (N == 3 || (O == 2 && N == 1) || (O == 1 && N == 2)) {
        put(negativeOut, whole);
    } else if (N == 1 && O == 0) {
        cutCorner(this->pos(negative[0]), this->pos(positive[0]), this->pos(positive[1]), a, b,
                  whole.area, false, neg, pos);
        put(negativeOut, neg);
        put(positiveOut, pos);
    } else if (P == 1 && O == 0) {
        cutCorner(this->pos(positive[0]), this->pos(negative[0]), this->pos(negative[1]), a, b,
                  whole.area, true, pos, neg);
        put(positiveOut, pos);
        put(negativeOut, neg);
    } else if (P == 1 && N == 1 && O == 1) {
        splitThroughNode(this->pos(positive[0]), this->pos(negative[0]), this->pos(on[0]), a, b,
                         whole.area, pos, neg);
        put(positiveOut, pos);
        put(negativeOut, neg);
    } else {
        throw std::logic_error("Spliarea3Pts condition not handled");
    }
}

void CFETrng3::straddleForce(Point<double>& a, Point<double>& b, double weight, Point<double>& c,
                             double angle, int* positive, int* negative, int* on, int nPos, int nNeg,
                             int nOn, double* posForce, double* negForce, double* posMoment,
                             double* negMoment, double* posArea, double* negArea) const
{
    *posForce = *negForce = *posMoment = *negMoment = *posArea = *negArea = 0.0;
    const double whole = area();
    Part pos, neg;
    if (nPos == 1 && nOn == 0) {
        cutCorner(this->pos(positive[0]), this->pos(negative[0]), this->pos(negative[1]), a, b, whole,
                  true, pos, neg);
    } else if (nNeg == 1 && nOn == 0) {
        cutCorner(this->pos(negative[0]), this->pos(positive[0]), this->pos(positive[1]), a, b, whole,
                  false, neg, pos);
    } else if (nPos == 1 && nNeg == 1 && nOn == 1) {
        splitThroughNode(this->pos(positive[0]), this->pos(negative[0]), this->pos(on[0]), a, b, whole,
                         pos, neg);
    } else {
        return;
    }
    auto forceOf = [&](const Part& part, double* force, double* moment, double* partArea) {
        *force = ValueAtPoint(STRESS_ZZ, part.centroid) * part.area;
        *moment = part.area * weight * signedDistanceFromLine(&c, angle, &part.centroid);
        *partArea = part.area;
    };
    forceOf(pos, posForce, posMoment, posArea);
    forceOf(neg, negForce, negMoment, negArea);
}

void CFETrng3::boxForce(Point<double>& lo, Point<double>& hi, Point<double>& c, double angle,
                        double* force, double* moment, double* area_, bool* multiple) const
{
    *force = *moment = *area_ = 0.0;
    int inside = 0, outside = 0, on = 0;
    nodesInsideOrOn(lo, hi, &inside, &outside, &on);
    if (outside >= 1 && inside == 0)
        return;

    // Side lines 1 left, 2 right, 3 bottom, 4 top: the interior lies on the
    // positive side of 1 and 3 and on the negative side of 2 and 4.
    Point<double> side[4][2] = {{{lo.x, hi.y, 0.0}, {lo.x, lo.y, 0.0}},
                                {{hi.x, hi.y, 0.0}, {hi.x, lo.y, 0.0}},
                                {{lo.x, lo.y, 0.0}, {hi.x, lo.y, 0.0}},
                                {{lo.x, hi.y, 0.0}, {hi.x, hi.y, 0.0}}};
    int positive[4][3], negative[4][3], onLine[4][3], nPos[4], nNeg[4], nOn[4];
    for (int s = 0; s < 4; ++s)
        classifyInOutOn(false, side[s][0], side[s][1], positive[s], negative[s], onLine[s], nPos[s],
                        nNeg[s], nOn[s]);
    int cls = BOX_INSIDE;
    if (!(on >= 1 && outside == 0)) {
        cls = insideBox(nPos[0], nNeg[0], nOn[0], nPos[1], nNeg[1], nOn[1], nPos[2], nNeg[2], nOn[2],
                        nPos[3], nNeg[3], nOn[3], multiple);
        if (cls == BOX_OUTSIDE)
            return;
    }
    if (!(inside >= 1 || on > 2))
        return;

    const double w = modulusWeight();
    if (cls == BOX_INSIDE) {
        const Point<double> g = center();
        if (g.x >= lo.x && g.x <= hi.x && g.y >= lo.y && g.y <= hi.y) {
            const double A = area();
            *area_ = A;
            *moment = signedDistanceFromLine(&c, angle, &g) * A * w;
            *force = averageValue(STRESS_ZZ) * A;
            return;
        }
        if (on > 1)
            return;
        throw std::logic_error("Box force gave incorrect results");
    }
    if (cls < BOX_STRADDLES_LEFT || cls > BOX_STRADDLES_TOP)
        throw std::logic_error("Unreachable code in CFETrng3 boxforce");
    const int s = cls - BOX_STRADDLES_LEFT;
    double pf = 0, nf = 0, pm = 0, nm = 0, pa = 0, na = 0;
    straddleForce(side[s][0], side[s][1], w, c, angle, positive[s], negative[s], onLine[s], nPos[s],
                  nNeg[s], nOn[s], &pf, &nf, &pm, &nm, &pa, &na);
    // The interior is the positive side of the left and bottom lines.
    const bool positiveInside = cls == BOX_STRADDLES_LEFT || cls == BOX_STRADDLES_BOTTOM;
    *force = positiveInside ? pf : nf;
    *moment = positiveInside ? pm : nm;
    *area_ = positiveInside ? pa : na;
}
