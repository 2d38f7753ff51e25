// IGES entity import: the parameter record of one directory entry.

#include <cmath>
#include <cstdio>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/Bsurface.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/geometry/Matrix.h"
#include "drevoline/iges/IgesCurveConversion.h"
#include "drevoline/iges/IgesImport.h"
#include "drevoline/iges/IgesReader.h"

namespace {

IgesReaderState& S = gIgesReader;

// More fields follow in this record.
bool more()
{
    return S.errorCode == 0 && S.fieldStatus == -1;
}

int integer()
{
    return more() ? readIgesInteger() : 0;
}

double real()
{
    return more() ? readIgesReal() : 0.0;
}

Point<double> point3()
{
    const double x = real();
    const double y = real();
    const double z = real();
    return Point<double>(x, y, z);
}

// Up to n integers (fewer when the record ends first).
std::vector<int> integerList(int n)
{
    std::vector<int> list;
    for (int i = 0; i < n && more(); ++i)
        list.push_back(readIgesInteger());
    return list;
}

// Up to n reals.
std::vector<double> realList(long n)
{
    std::vector<double> list;
    for (long i = 0; i < n && more(); ++i)
        list.push_back(readIgesReal());
    return list;
}

// A spline built by f, or null (with a diagnostic) when the kernel refuses it.
template <class F>
std::unique_ptr<Bspline> guardedSpline(int type, F f)
{
    try {
        return f();
    } catch (const char* m) {
        std::fprintf(stderr, "IGES entity %d: %s", type, m);
    } catch (const wchar_t* m) {
        std::fprintf(stderr, "IGES entity %d: %ls\n", type, m);
    }
    return nullptr;
}

void read100(CDirectoryEntry* entry, IgesEntity& e)
{
    const double zt = real();
    Point<double> centre(0, 0, zt), start(0, 0, zt), end(0, 0, zt);
    centre.x = real(); centre.y = real();
    start.x = real(); start.y = real();
    end.x = real(); end.y = real();
    if (S.errorCode != 0)
        return;
    e.arcCentre = centre;
    e.arcRadius = (start - centre).length();
    const bool closed = (start - end).length() < 1e-4;
    Point<double> normal(0, 0, 1);
    e.ownCurve = guardedSpline(100, [&] {
        return std::make_unique<Bspline>(&centre, &start, closed ? &start : &end, &normal);
    });
    e.wantsOwnComposite = closed && !entry->blanked;
}

void read102(IgesEntity& e)
{
    const int n = integer();
    if (n > igesMaxCompositeMembers) {
        std::fputs("Read102:FAILURE: composite CCompositeCurve has too many segments\n", stderr);
        S.errorCode = 4006;
        return;
    }
    e.members = integerList(n);
}

void read106(CDirectoryEntry* entry, IgesEntity& e)
{
    const int ip = integer();
    const int n = integer();
    if (ip != 1 && ip != 2)
        return;
    const double zt = ip == 1 ? real() : 0.0;
    std::vector<Point<double>> pts;
    for (int i = 0; i < n && more(); ++i) {
        Point<double> p(real(), 0, zt);
        p.y = real();
        if (ip == 2)
            p.z = real();
        pts.push_back(p);
    }
    if (pts.size() < 2)
        return;
    // Degree 1 through the points, knots by chord length.
    const int count = static_cast<int>(pts.size());
    std::vector<double> weights(pts.size(), 1.0);
    std::vector<double> knots{0.0, 0.0};
    for (int i = 1; i < count; ++i)
        knots.push_back(knots.back() + (pts[i] - pts[i - 1]).length());
    knots.push_back(knots.back());
    e.ownCurve = guardedSpline(106, [&] {
        return std::make_unique<Bspline>(1, count, pts.data(), weights.data(),
                                         static_cast<int>(knots.size()), knots.data());
    });
    e.wantsOwnComposite = !entry->blanked;
}

void read108(IgesEntity& e)
{
    // A, B, C, D, PTR, X, Y, Z, SIZE: kept, not used for outlines.
    auto s = std::make_unique<Bsurface>(1, 1, 1, 1);
    for (double& v : s->values)
        v = real();
    real();
    integer();
    point3();
    real();
    e.surface = std::move(s);
}

void read110(IgesEntity& e)
{
    Point<double> a = point3();
    Point<double> b = point3();
    e.ownCurve = guardedSpline(110, [&] { return std::make_unique<Bspline>(&a, &b, false); });
}

void read112(CDirectoryEntry* entry, IgesEntity& e)
{
    if (integer() != 3)
        throw L"Only cubic type (3)  is supported currently.";
    ParametricSplineData data;
    data.continuity = integer();
    if (integer() != 2)
        throw L"Only planar curves may be imported.";
    const int n = integer();
    if (n < 1)
        return;
    data.segmentCount = n;
    data.breakpointCount = n + 1;
    data.breakpoints = realList(static_cast<long>(n) + 1);
    for (int i = 0; i <= n && more(); ++i) {  // the N segments, then the terminal values
        PowerSeriesPolynomial p;
        p.degree = 3;
        for (int axis = 0; axis < 3; ++axis)
            for (int k = 0; k < 4; ++k) {
                Point<double>& c = p.coefficients[k];
                (axis == 0 ? c.x : axis == 1 ? c.y : c.z) = real();
            }
        data.powerSeries.push_back(p);
    }
    if (S.errorCode != 0 || data.powerSeries.size() < static_cast<size_t>(n))
        return;
    convertSplineToBezier(data);
    std::unique_ptr<Bspline> b = guardedSpline(112, [&] { return bezierToBspline(data); });
    if (!b || !isPlanarBspline(*b))
        return;
    b->adjustKnots();
    if (!entry->blanked && b->nPts() > 1 && (b->startPoint() - b->endPoint()).length() < 1e-5) {
        b->controlPointsMutable()[b->nPts() - 1] = b->cpts(0);
        e.wantsOwnComposite = true;
    }
    e.ownCurve = std::move(b);
}

void read122(IgesEntity& e)
{
    integer();  // directrix
    point3();   // end of the generatrix
    e.surface = std::make_unique<Bsurface>(1, 1, 1, 1);
}

void read124(IgesEntity& e)
{
    auto m = std::make_unique<Matrix>(3, 3);
    double t[3];
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c)
            m->ref(r, c) = real();
        t[r] = real();
    }
    e.translation = Point<double>(t[0], t[1], t[2]);
    e.matrix = std::move(m);
}

// Non-decreasing knots with the first and last deg + 1 equal: the only
// kind the kernel's evaluators take.
bool clampedKnots(const std::vector<double>& k, int deg)
{
    const size_t d = static_cast<size_t>(deg);
    if (k.size() < 2 * d + 2)
        return false;
    for (size_t i = 1; i < k.size(); ++i)
        if (!(k[i - 1] <= k[i]))
            return false;
    return k[d] == k.front() && k[k.size() - 1 - d] == k.back() && k.front() < k.back();
}

void read126(CDirectoryEntry* entry, IgesEntity& e)
{
    const int k = integer();
    const int m = integer();
    integer();  // PROP1
    const bool closedFlag = integer() != 0;
    integer();  // PROP3: the kernel decides rationality from the weights
    integer();  // PROP4
    // The counts are bounded by the input left: every value needs a field.
    const long room = remainingInputSize() + 80;
    if (m < 1 || m > 19 || k < m || k + 1L > room)
        return;
    std::vector<double> knots = realList(static_cast<long>(k) + m + 2);
    std::vector<double> weights = realList(static_cast<long>(k) + 1);
    std::vector<Point<double>> pts;
    for (int i = 0; i <= k && more(); ++i)
        pts.push_back(point3());
    for (int i = 0; i < 5; ++i)
        real();  // V0, V1 and the normal
    if (S.errorCode != 0 || pts.size() != static_cast<size_t>(k) + 1 ||
        knots.size() != static_cast<size_t>(k) + m + 2 || weights.size() != pts.size())
        return;
    if (!clampedKnots(knots, m)) {
        std::fprintf(stderr, "IGES entity 126: knots not clamped or decreasing; curve skipped\n");
        return;
    }
    if (knots.front() < 0.0) {
        const double shift = knots.front();
        for (double& t : knots)
            t -= shift;
    }
    if (closedFlag)
        pts.back() = pts.front();
    std::unique_ptr<Bspline> b = guardedSpline(126, [&] {
        return std::make_unique<Bspline>(m, k + 1, pts.data(), weights.data(),
                                         static_cast<int>(knots.size()), knots.data());
    });
    if (!b || !isPlanarBspline(*b))
        return;
    // A three-point curve whose ends meet has no area to give.
    if (b->nPts() == 3 && (b->cpts(0) - b->cpts(2)).length() < 0.001)
        return;
    if (!entry->blanked && (b->cpts(0) - b->cpts(b->nPts() - 1)).length() < 1e-5) {
        b->controlPointsMutable()[b->nPts() - 1] = b->cpts(0);
        e.wantsOwnComposite = true;
    }
    e.ownCurve = std::move(b);
}

void read128(IgesEntity& e)
{
    const int k1 = integer(), k2 = integer(), m1 = integer(), m2 = integer();
    for (int i = 0; i < 5; ++i)
        integer();
    const long room = remainingInputSize() + 80;
    if (k1 < 0 || k2 < 0 || m1 < 0 || m2 < 0 || k1 + m1 + 2L > room || k2 + m2 + 2L > room ||
        (k1 + 1L) * (k2 + 1L) > room)
        return;
    auto s = std::make_unique<Bsurface>(k1, k2, m1, m2);
    s->uKnots = realList(k1 + m1 + 2L);
    s->vKnots = realList(k2 + m2 + 2L);
    const long net = (k1 + 1L) * (k2 + 1L);
    s->weights = realList(net);
    s->ctlPts.clear();
    for (long i = 0; i < net && more(); ++i)
        s->ctlPts.push_back(point3());
    for (double& v : s->values)
        v = real();
    real();  // V1
    e.surface = std::move(s);
}

void read142(IgesEntity& e)
{
    for (int& v : e.curveOnSurface)
        v = integer();
}

void read144(IgesEntity& e)
{
    IgesTrimmedSurface& t = e.trimmedSurface;
    t.surface = integer();
    t.outerFlag = integer();
    t.innerCount = integer();
    t.outer = integer();
    t.inner = integerList(t.innerCount);
}

// The trailing associativity and property pointer lists.
void readTrailingPointers(IgesEntity& e)
{
    const long room = remainingInputSize() + 80;
    const int na = integer();
    if (na > 0 && na <= room)
        e.associativities = integerList(na);
    const int np = integer();
    if (np > 0 && np <= room)
        e.properties = integerList(np);
}

}  // namespace

int readParameterEntity(CDirectoryEntry* entry)
{
    IgesEntity& e = igesEntity(entry);
    e.matrix.reset();
    e.ownCurve.reset();
    e.curve = nullptr;
    entry->curve = nullptr;
    entry->geometryRead = false;
    S.fieldStatus = -1;
    entry->entityType = readIgesInteger();
    if (S.errorCode != 0)
        return S.errorCode;
    switch (entry->entityType) {
    case 100: read100(entry, e); break;
    case 102: read102(e); break;
    case 104: throw L"Conics (type 104) are currently not supported.";
    case 106: read106(entry, e); break;
    case 108: read108(e); break;
    case 110: read110(e); break;
    case 112: read112(entry, e); break;
    case 122: read122(e); break;
    case 124: read124(e); break;
    case 126: read126(entry, e); break;
    case 128: read128(e); break;
    case 142: read142(e); break;
    case 144: read144(e); break;
    default:
        // Also type 402: associativity members are never used, some forms
        // hold reals or texts and the count is unbounded.
        skipEntityRecord(entry);
        return S.errorCode;
    }
    if (S.errorCode != 0) {
        e.ownCurve.reset();
        e.wantsOwnComposite = false;
        return S.errorCode;
    }
    if (!e.ownCurve)
        e.wantsOwnComposite = false;
    e.curve = e.ownCurve.get();
    entry->curve = e.curve;
    entry->geometryRead = true;
    readTrailingPointers(e);
    return S.errorCode;
}
