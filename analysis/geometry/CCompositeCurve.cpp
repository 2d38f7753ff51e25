// Composite curves: construction, the chain of arcs and its running
// parameter, the archive record and the simple queries.
#include "analysis/geometry/CCompositeCurve.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CMaxMinBox.h"
#include "analysis/model/Globals.h"
#include "platform/core/CArchive.h"
#include "platform/core/Exceptions.h"

IMPLEMENT_SERIAL(CCompositeCurve, CObject, 1)

namespace {

// Joins at the chain's tail and head.
constexpr double kTailJoin = 1e-5;
constexpr double kHeadJoin = 0.001;

const wchar_t* const kNotContiguous = L"Composite curve not contiguous";

// Parameter length of an arc: |global end - global start|.
double arcLength(const Bspline* arc)
{
    return arc->parmLength();
}

// Gives the arcs consecutive global parameters starting at `from`; returns
// the parameter where the last one ends.
double layOutParameters(const CList<Bspline*>& arcs, double from)
{
    POSITION pos = arcs.GetHeadPosition();
    while (pos) {
        Bspline* arc = arcs.GetNext(pos);
        arc->setGlobal(from);
        from += arcLength(arc);
    }
    return from;
}

// A copy of arc with an empty name.
std::unique_ptr<Bspline> copyOf(const Bspline* arc)
{
    return std::make_unique<Bspline>(const_cast<Bspline*>(arc), CString());
}

} // namespace

// ---------------------------------------------------------------------------
// Construction and lifetime

CCompositeCurve::CCompositeCurve() = default;

CCompositeCurve::CCompositeCurve(const CCompositeCurve& src)
    : CObject(),
      m_polygon(src.m_polygon),
      m_tag(src.m_tag),
      m_mark(src.m_mark),
      m_sign(src.m_sign),
      m_start(src.m_start),
      m_end(src.m_end),
      m_owner(src.m_owner)
{
    copyArcs(src, m_arcs);
}

CCompositeCurve& CCompositeCurve::operator=(const CCompositeCurve& src)
{
    noteChainChange();
    if (this == &src)
        return *this;
    CList<Bspline*> arcs(10);
    copyArcs(src, arcs);
    CArray<Point<double>> polygon(src.m_polygon);
    deleteArcs();
    m_arcs.AddTail(&arcs);
    m_polygon.RemoveAll();
    m_polygon.Append(polygon);
    m_tag = src.m_tag;
    m_mark = src.m_mark;
    m_sign = src.m_sign;
    m_start = src.m_start;
    m_end = src.m_end;
    m_owner = src.m_owner;
    return *this;
}

CCompositeCurve::~CCompositeCurve()
{
    m_polygon.RemoveAll();
    deleteArcs();
}

void CCompositeCurve::copyArcs(const CCompositeCurve& src, CList<Bspline*>& into)
{
    try {
        POSITION pos = src.m_arcs.GetHeadPosition();
        while (pos) {
            std::unique_ptr<Bspline> copy = copyOf(src.m_arcs.GetNext(pos));
            into.AddTail(copy.get());
            copy.release();
        }
    } catch (...) {
        while (!into.IsEmpty())
            delete into.RemoveHead();
        throw;
    }
}

void CCompositeCurve::deleteArcs()
{
    noteChainChange();
    while (!m_arcs.IsEmpty())
        delete m_arcs.RemoveHead();
}

// ---------------------------------------------------------------------------
// Building and editing the chain

void CCompositeCurve::appendArc(Bspline* arc)
{
    noteChainChange();
    arc->setGlobal(m_end);
    // Joined to the tail as connect() would join it; the arcs before it
    // are left as they are, so a chain grows at a constant cost per arc.
    if (!m_arcs.IsEmpty())
        arc->controlPointsMutable().ElementAt(0) = m_arcs.GetTail()->endPoint();
    m_arcs.AddTail(arc);
    m_end += arcLength(arc);
}

void CCompositeCurve::addArc(Bspline* arc)
{
    noteChainChange();
    m_polygon.RemoveAll();
    if (m_arcs.IsEmpty()) {
        m_end = m_start;
        appendArc(arc);
        return;
    }
    const Point<double> E = m_arcs.GetTail()->endPoint();
    const Point<double> S = arc->startPoint();
    if ((S - E).length() < kTailJoin) {
        appendArc(arc);
        return;
    }
    if ((arc->endPoint() - E).length() < kTailJoin) {
        arc->reverse();
        appendArc(arc);
        return;
    }
    const Point<double> F = m_arcs.GetHead()->startPoint();
    if ((arc->endPoint() - F).length() < kHeadJoin) {
        m_arcs.AddHead(arc);
    } else if ((S - F).length() < kHeadJoin) {
        arc->reverse();
        m_arcs.AddHead(arc);
    } else {
        throw kNotContiguous;
    }
    resetGlobals();
    connect();
}

void CCompositeCurve::addSegment(const CCompositeCurve* other)
{
    // Counted first: other may be this curve, which grows on the way.
    INT_PTR n = other->m_arcs.GetCount();
    POSITION pos = other->m_arcs.GetHeadPosition();
    while (pos && n-- > 0) {
        std::unique_ptr<Bspline> copy = copyOf(other->m_arcs.GetNext(pos));
        addArc(copy.get());
        copy.release();
    }
}

void CCompositeCurve::connect()
{
    POSITION pos = m_arcs.GetHeadPosition();
    if (!pos)
        return;
    Bspline* previous = m_arcs.GetNext(pos);
    while (pos) {
        Bspline* arc = m_arcs.GetNext(pos);
        arc->controlPointsMutable().ElementAt(0) = previous->endPoint();
        previous = arc;
    }
}

void CCompositeCurve::resetGlobals()
{
    m_end = layOutParameters(m_arcs, m_start);
}

void CCompositeCurve::updateParameters()
{
    m_end = layOutParameters(m_arcs, 0.0);
}

void CCompositeCurve::zeroBaseKnots()
{
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos) {
        Bspline* arc = m_arcs.GetNext(pos);
        CArray<double>& kts = arc->knotVectorMutable();
        if (kts.IsEmpty() || kts[0] == 0.0)
            continue;
        const double first = kts[0];
        for (double& k : kts)
            k -= first;
    }
}

void CCompositeCurve::replaceArc(Bspline* old, Bspline* a, Bspline* b)
{
    noteChainChange();
    const POSITION at = m_arcs.Find(old);
    if (!at)
        AfxThrowInvalidArgException();
    if (a)
        m_arcs.InsertBefore(at, a);
    if (b)
        m_arcs.InsertBefore(at, b);
    m_arcs.RemoveAt(at);
    resetGlobals();
    connect();
    delete old;
}

namespace {

// An arc too short to keep: its length along the curve and the gap between
// its end points are both below 0.001.
bool isDegenerate(const Bspline* arc)
{
    const double along = arc->arcRatio() * (arc->endParameter() - arc->startParameter());
    return along < 0.001 && (arc->startPoint() - arc->endPoint()).length() < 0.001;
}

} // namespace

void CCompositeCurve::cleanup()
{
    noteChainChange();
    for (;;) {
        POSITION pos = m_arcs.GetHeadPosition();
        POSITION degenerate = nullptr;
        while (pos) {
            const POSITION here = pos;
            if (isDegenerate(m_arcs.GetNext(pos))) {
                degenerate = here;
                break;
            }
        }
        if (!degenerate)
            break;
        // The neighbours wrap around the chain: the first arc follows the
        // last and the last precedes the first.
        POSITION before = degenerate;
        m_arcs.GetPrev(before);
        POSITION after = degenerate;
        m_arcs.GetNext(after);
        Bspline* predecessor = before ? m_arcs.GetAt(before) : m_arcs.GetTail();
        Bspline* successor = after ? m_arcs.GetAt(after) : m_arcs.GetHead();
        Bspline* arc = m_arcs.GetAt(degenerate);
        successor->controlPointsMutable().ElementAt(0) = predecessor->endPoint();
        m_arcs.RemoveAt(degenerate);
        delete arc;
    }
    POSITION pos = m_arcs.GetHeadPosition();
    if (!pos)
        return;
    Bspline* previous = m_arcs.GetNext(pos);
    while (pos) {
        Bspline* arc = m_arcs.GetNext(pos);
        CArray<Point<double>>& cpts = previous->controlPointsMutable();
        cpts.ElementAt(cpts.GetSize() - 1) = arc->startPoint();
        previous = arc;
    }
}

void CCompositeCurve::reverse()
{
    noteChainChange();
    CList<Bspline*> taken(10);
    while (!m_arcs.IsEmpty())
        taken.AddTail(m_arcs.RemoveHead());
    POSITION pos = taken.GetHeadPosition();
    while (pos)
        taken.GetNext(pos)->reverse();
    try {
        pos = taken.GetHeadPosition();
        while (pos)
            addArc(taken.GetNext(pos));
    } catch (...) {
        // A chain that was never contiguous cannot be rejoined: keep every
        // arc, as the plain reversal (reversed arcs in reverse order).
        m_arcs.RemoveAll();
        pos = taken.GetHeadPosition();
        while (pos)
            m_arcs.AddHead(taken.GetNext(pos));
    }
    resetGlobals();
}

void CCompositeCurve::setZ(double) {}

void CCompositeCurve::verify() const {}

void CCompositeCurve::zeroZ()
{
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos) {
        for (Point<double>& p : m_arcs.GetNext(pos)->controlPointsMutable())
            p.z = 0.0;
    }
}

// ---------------------------------------------------------------------------
// Queries

bool CCompositeCurve::isLinear() const
{
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos) {
        if (m_arcs.GetNext(pos)->deg() > 1)
            return false;
    }
    return true;
}

Point<double> CCompositeCurve::startPoint() const
{
    return m_arcs.GetHead()->startPoint();
}

Point<double> CCompositeCurve::endPoint() const
{
    return m_arcs.GetTail()->endPoint();
}

bool CCompositeCurve::isClosed() const
{
    return (startPoint() - endPoint()).length() < 1e-6;
}

bool CCompositeCurve::isOpen() const
{
    return (m_arcs.GetHead()->startPoint() - m_arcs.GetTail()->endPoint()).length() >= 1e-5;
}

double CCompositeCurve::startParameter(const Bspline* arc) const
{
    double sum = m_start;
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos) {
        const Bspline* a = m_arcs.GetNext(pos);
        if (a == arc)
            break;
        sum += arcLength(a);
    }
    return sum;
}

double CCompositeCurve::endParameter(const Bspline* arc) const
{
    double sum = m_start;
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos) {
        const Bspline* a = m_arcs.GetNext(pos);
        sum += arcLength(a);
        if (a == arc)
            break;
    }
    return sum;
}

bool CCompositeCurve::insideParameter(const Bspline* arc, double t) const
{
    return arc->insideParametricValue(t);
}

bool CCompositeCurve::operator==(const CCompositeCurve& other) const
{
    if (m_arcs.GetCount() != other.m_arcs.GetCount())
        return false;
    POSITION a = m_arcs.GetHeadPosition();
    POSITION b = other.m_arcs.GetHeadPosition();
    while (a && b) {
        if (!(*m_arcs.GetNext(a) == *other.m_arcs.GetNext(b)))
            return false;
    }
    return true;
}

bool CCompositeCurve::isDuplicate(const CCompositeCurve& other) const
{
    return m_end == other.m_end && m_start == other.m_start && m_mark == other.m_mark &&
           m_sign == other.m_sign && m_tag == other.m_tag && *this == other;
}

Point<double> CCompositeCurve::eval(double t) const
{
    if (std::fabs(m_end - t) < 1e-5)
        return endPoint();
    if (std::fabs(m_start - t) < 1e-5)
        return startPoint();
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos) {
        const Bspline* arc = m_arcs.GetNext(pos);
        if (arc->startParameter() <= t && t < arc->endParameter()) {
            Point<double> out;
            arc->eval(t, &out, 1e-7);
            return out;
        }
    }
    return Point<double>();
}

double CCompositeCurve::arclength() const
{
    double sum = 0.0;
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos) {
        const Bspline* arc = m_arcs.GetNext(pos);
        sum += arc->arcRatio() * (arc->endParameter() - arc->startParameter());
    }
    return sum;
}

double CCompositeCurve::area() const
{
    // Without an edit of any curve since the last call, and under the same
    // tolerance, the sum is the one found then.
    // A list handed out for writing is compared with the arcs the sum was
    // taken over, since arcs put in place through it move no count.
    std::lock_guard<std::mutex> lock(m_areaMutex);
    const unsigned long long edits = geometry_edits::count();
    if (m_areaCache.valid && m_areaCache.edits == edits && m_areaCache.tol == gIntegrationTol &&
        (!m_listHandedOut || mirrorMatchesList()))
        return m_areaCache.value;
    const std::vector<const Bspline*>& arcs = arcMirror();
    const double sum = arcsArea(arcs.data(), arcs.size(), Point<double>());
    m_areaCache = AreaCache{true, edits, gIntegrationTol, sum};
    return sum;
}

const std::vector<const Bspline*>& CCompositeCurve::arcMirror() const
{
    // A list handed out by arcsMutable may have been written through a kept
    // reference since (arcs put in place with the count unchanged): it is
    // walked again. The count is checked too, for the same reason.
    if (!m_listHandedOut && m_mirrorChanges == m_chainChanges &&
        m_arcMirror.size() == static_cast<std::size_t>(m_arcs.GetCount()))
        return m_arcMirror;
    m_arcMirror.clear();
    m_arcMirror.reserve(static_cast<std::size_t>(m_arcs.GetCount()));
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos)
        m_arcMirror.push_back(m_arcs.GetNext(pos));
    m_mirrorChanges = m_chainChanges;
    return m_arcMirror;
}

bool CCompositeCurve::mirrorMatchesList() const
{
    if (m_arcMirror.size() != static_cast<std::size_t>(m_arcs.GetCount()))
        return false;
    std::size_t i = 0;
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos) {
        if (m_arcs.GetNext(pos) != m_arcMirror[i++])
            return false;
    }
    return true;
}

void CCompositeCurve::extents(Point<double>& min, Point<double>& max) const
{
    min = Point<double>(1e20, 1e20, 0.0);
    max = Point<double>(-1e20, -1e20, 0.0);
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos) {
        const Bspline* arc = m_arcs.GetNext(pos);
        const double s = arc->startParameter();
        const double e = arc->endParameter();
        const double h = (e - s) / 40.0;
        double t = s;
        for (int k = 0; k <= 40; ++k) {
            Point<double> P;
            arc->eval(t > e ? e : t, &P, 1e-7);
            min.x = std::min(min.x, P.x);
            min.y = std::min(min.y, P.y);
            max.x = std::max(max.x, P.x);
            max.y = std::max(max.y, P.y);
            t += h;
        }
    }
}

bool CCompositeCurve::controlBox(Point<double>& min, Point<double>& max) const
{
    bool any = false;
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos) {
        for (const Point<double>& p : m_arcs.GetNext(pos)->controlPoints()) {
            if (!any) {
                min = Point<double>(p.x, p.y, 0.0);
                max = min;
                any = true;
            }
            min.x = std::min(min.x, p.x);
            min.y = std::min(min.y, p.y);
            max.x = std::max(max.x, p.x);
            max.y = std::max(max.y, p.y);
        }
    }
    return any;
}

Point<double>* CCompositeCurve::closest(const Point<double>& p)
{
    geometry_edits::note();
    Point<double>* best = nullptr;
    double bestD2 = 0.0;
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos) {
        for (Point<double>& q : m_arcs.GetNext(pos)->controlPointsMutable()) {
            const double d2 = (q - p).lengthSquared();
            if (!best || d2 < bestD2) {
                best = &q;
                bestD2 = d2;
            }
        }
    }
    return best;
}

CList<Point<double>*>* CCompositeCurve::controlPoints()
{
    geometry_edits::note();
    auto list = std::make_unique<CList<Point<double>*>>(10);
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos) {
        for (Point<double>& q : m_arcs.GetNext(pos)->controlPointsMutable())
            list->AddTail(&q);
    }
    return list.release();
}

CMaxMinBox* CCompositeCurve::MaxMinBox()
{
    std::unique_ptr<CList<Point<double>*>> pts(controlPoints());
    if (pts->IsEmpty())
        return new CMaxMinBox();
    return new CMaxMinBox(pts.get());
}

Bspline* CCompositeCurve::findArc(double x1, double y1, double x2, double y2, double tol) const
{
    const Point<double> p1(x1, y1, 0.0);
    const Point<double> p2(x2, y2, 0.0);
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos) {
        Bspline* arc = m_arcs.GetNext(pos);
        if (arc->deg() != 1 || arc->nPts() != 2)
            continue;
        const Point<double> a = arc->cpts(0);
        const Point<double> b = arc->cpts(1);
        const bool forward = (a - p1).length() < tol && (b - p2).length() < tol;
        const bool backward = (a - p2).length() < tol && (b - p1).length() < tol;
        if (forward || backward)
            return arc;
    }
    return nullptr;
}

Bspline* CCompositeCurve::findCoordCpt(double x, double y, double tol) const
{
    POSITION pos = m_arcs.GetHeadPosition();
    while (pos) {
        Bspline* arc = m_arcs.GetNext(pos);
        if (arc->deg() != 1 || arc->nPts() != 2)
            continue;
        const Point<double> a = arc->cpts(0);
        const Point<double> b = arc->cpts(1);
        if (std::fabs(a.x - x) < tol || std::fabs(b.x - x) < tol || std::fabs(a.y - y) < tol ||
            std::fabs(b.y - y) < tol)
            return arc;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Archive

namespace {

// The fewest bytes one stored arc takes: its class text, three ints, the
// offset, the rational flag, three counts and the two reserved values.
constexpr ULONGLONG kArcRecordBytes = 1 + 3 * 4 + 8 + 1 + 3 * 2 + 8 + 4;

}  // namespace

void CCompositeCurve::Serialize(CArchive& ar)
{
    noteChainChange();
    if (ar.IsStoring()) {
        ar << static_cast<int>(m_sign) << m_start << m_end << m_tag << static_cast<int>(nArcs());
        POSITION pos = m_arcs.GetHeadPosition();
        while (pos)
            m_arcs.GetNext(pos)->Serialize(ar);
        ar << static_cast<BYTE>(m_mark ? 1 : 0);
        return;
    }
    int sign = 0;
    int n = 0;
    ar >> sign >> m_start >> m_end >> m_tag >> n;
    m_sign = sign;
    ar.EnsureCount(static_cast<ULONGLONG>(std::max(n, 0)), kArcRecordBytes);
    for (int i = 0; i < n; ++i) {
        auto arc = std::make_unique<Bspline>();
        arc->Serialize(ar);
        m_arcs.AddTail(arc.get());
        arc.release();
    }
    BYTE mark = 0;
    ar >> mark;
    m_mark = mark != 0;
    resetGlobals();
}
