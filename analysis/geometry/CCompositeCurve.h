#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "analysis/geometry/GeometryEdits.h"
#include "analysis/geometry/Point.h"
#include "platform/core/CArray.h"
#include "platform/core/CList.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class Bspline;
class CArchive;
class CIntersection;
class CMaxMinBox;
class Matrix;

// The boundary of a shape: a chain of Bspline arcs joined end to start,
// usually closed, with a sign that says whether the enclosed region is
// material (+1) or a hole (-1). The arcs share one running parameter: arc i
// carries the offset start + (parameter lengths of arcs 0 .. i-1), and the
// end parameter is start + the sum of all lengths. The curve owns its arcs
// and a polygon approximation of itself (the polygon cache, not stored).
//
// An arc that meets neither end of the chain is refused with the wide text
// "Composite curve not contiguous" (a const wchar_t*). Operations that need
// a first or last arc throw CInvalidArgException on an empty chain.
class CCompositeCurve : public CObject {
    DECLARE_SERIAL(CCompositeCurve)

public:
    // Empty chain, name "", sign 1, tag 0, no mark, start and end parameter 0.
    CCompositeCurve();
    // Deep copy: copies of every arc in order, the polygon cache, owner,
    // tag, sign, mark, start and end parameter; the name is "" and the
    // traversed flag clear.
    CCompositeCurve(const CCompositeCurve& src);
    // Makes this curve a deep copy of src as the copy constructor does; this
    // curve's own name and traversed flag are kept. Safe for self-assignment.
    CCompositeCurve& operator=(const CCompositeCurve& src);
    // Deletes every arc and frees the polygon cache.
    ~CCompositeCurve() override;

    // ---- building and editing the chain ----
    // Takes ownership of arc and joins it at the tail (within 1e-5, reversed
    // when its end meets the tail) or at the head (within 0.001), recomputing
    // offsets and the end parameter. Throws L"Composite curve not contiguous"
    // when it meets neither end; the caller then keeps the arc.
    void addArc(Bspline* arc);
    // addArc of a copy of every arc of other, in order; an exception ends the
    // loop (the copy that failed is deleted).
    void addSegment(const CCompositeCurve* other);
    // Sets the first control point of every arc after the first to the
    // previous arc's last control point.
    void connect();
    // Recomputes every arc's offset and the end parameter from the start parameter.
    void resetGlobals();
    // As resetGlobals with the running sum starting at 0; the start parameter is kept.
    void updateParameters();
    // Shifts the knots of every arc whose first knot is not 0 so that it is.
    void zeroBaseKnots();
    // Puts a, then b, in the place of old (null ones are skipped), deletes
    // old, then resetGlobals and connect. Throws CInvalidArgException,
    // changing nothing, when old is not an arc of the chain.
    void replaceArc(Bspline* old, Bspline* a, Bspline* b);
    // Removes degenerate arcs (parameter length x speed and end-point gap
    // both below 0.001), joining their neighbours, then moves every join onto
    // the later arc's start. Offsets are not recomputed.
    void cleanup();
    // Reverses the direction of the whole chain; the start parameter is kept.
    void reverse();
    // Sets the start parameter only.
    void startParameter(double t) { m_start = t; }
    // Sets the end parameter only.
    void endParameter(double t) { m_end = t; }
    // Sets the sign only.
    void sign(int s) { m_sign = s; }
    // Changes nothing.
    void setZ(double z);
    // Changes nothing.
    void verify() const;
    // Sets z of every control point of every arc to 0 (the polygon cache is kept).
    void zeroZ();

    // ---- flags and bookkeeping kept for the section model ----
    // The name ("" unless set; not copied, not stored).
    const CString& name() const { return m_name; }
    // Sets the name.
    void name(const CString& n) { m_name = n; }
    // The traversed flag of the boolean union (not copied, not stored).
    bool isTraversed() const { return m_traversed; }
    // Sets the traversed flag.
    void traversed(bool t) { m_traversed = t; }
    // The tag (copied and stored, not interpreted here).
    short tag() const { return m_tag; }
    // Sets the tag.
    void tag(short t) { m_tag = t; }
    // The mark flag (copied and stored; the union marks generated holes with it).
    bool mark() const { return m_mark; }
    // Sets the mark flag.
    void mark(bool m) { m_mark = m; }
    // The owner (copied, never stored nor read here).
    void* owner() const { return m_owner; }
    // Sets the owner.
    void owner(void* o) { m_owner = o; }

    // ---- queries ----
    // Running parameter at the start of the first arc.
    double startParameter() const { return m_start; }
    // Running parameter at the end of the last arc.
    double endParameter() const { return m_end; }
    // +1 solid, -1 hole (any other value is neither).
    int sign() const { return m_sign; }
    // sign() == 1.
    bool isPositive() const { return m_sign == 1; }
    // sign() == -1.
    bool isNegative() const { return m_sign == -1; }
    // end - start parameter.
    double parmLength() const { return m_end - m_start; }
    // (start + end) / 2.
    double midParameter() const { return (m_start + m_end) / 2.0; }
    // len > end - start parameter.
    bool isSmall(double len) const { return len > m_end - m_start; }
    // Number of arcs.
    int nArcs() const { return static_cast<int>(m_arcs.GetCount()); }
    // The arcs in chain order.
    const CList<Bspline*>& arcs() const { return m_arcs; }
    // The arcs in chain order, writable: the section model moves arcs out of
    // trimmed pieces (it then keeps the chain and its parameters consistent).
    // Counts as an edit of the geometry (GeometryEdits.h) and of the chain.
    // The list may be written through the reference later, after queries:
    // from then on the arc mirror is taken from the list at every
    // recomputation, never trusted from an earlier one.
    CList<Bspline*>& arcsMutable()
    {
        noteChainChange();
        m_listHandedOut = true;
        return m_arcs;
    }
    // The polygon cache.
    const CArray<Point<double>>& polygonPoints() const { return m_polygon; }
    // The polygon cache, writable (shapes move it with their outline).
    CArray<Point<double>>& polygonPointsMutable() { return m_polygon; }
    // No arc has degree above 1 (true for an empty chain).
    bool isLinear() const;
    // First control point of the first arc.
    Point<double> startPoint() const;
    // Last control point of the last arc.
    Point<double> endPoint() const;
    // |startPoint - endPoint| < 1e-6.
    bool isClosed() const;
    // The first arc's start and the last arc's end are 1e-5 or more apart.
    bool isOpen() const;
    // Start parameter plus the lengths of the arcs before arc (of all arcs
    // when arc is not in the chain).
    double startParameter(const Bspline* arc) const;
    // startParameter(arc) plus the length of arc (start plus the lengths of
    // all arcs when arc is not in the chain).
    double endParameter(const Bspline* arc) const;
    // arc's global start <= t <= arc's global end.
    bool insideParameter(const Bspline* arc, double t) const;
    // Same number of arcs, pairwise equal (Bspline::operator==).
    bool operator==(const CCompositeCurve& other) const;
    // Equal end and start parameter, mark, sign and tag, then operator==.
    bool isDuplicate(const CCompositeCurve& other) const;
    // Point at running parameter t: the end or start point within 1e-5 of
    // the chain's ends, else the first arc with start <= t < end; (0, 0, 0)
    // when no arc holds t.
    Point<double> eval(double t) const;
    // Unit normal at t, turned towards the enclosed region when a probe of
    // crossingProbeLength() along the arc's left normal meets the curve
    // only at the point itself; (0, 0, 0) when no arc holds t.
    Point<double> normal(double t) const;
    // Length of a probe that leaves the curve from any point of it: 1000,
    // or twice the diagonal of the control box when that is longer.
    double crossingProbeLength() const;
    // Sum over the arcs of speed x parameter length.
    double arclength() const;
    // Signed area: positive when the chain runs counter-clockwise seen from +z.
    double area() const;
    // Box in x and y of 41 curve points per arc (z 0); (1e20, 1e20) and
    // (-1e20, -1e20) for an empty chain.
    void extents(Point<double>& min, Point<double>& max) const;
    // Box in x and y of every control point (z 0); the curve lies inside it.
    // False, with the corners untouched, for a chain without control points.
    bool controlBox(Point<double>& min, Point<double>& max) const;
    // The control point nearest to p (first of equals), pointing into its
    // arc's storage; null for an empty chain.
    // Counts as an edit of the geometry (GeometryEdits.h).
    Point<double>* closest(const Point<double>& p);
    // New list (owned by the caller) of pointers to every control point in chain order.
    // Counts as an edit of the geometry (GeometryEdits.h).
    CList<Point<double>*>* controlPoints();
    // New box (owned by the caller) of every control point; all zeros for an empty chain.
    CMaxMinBox* MaxMinBox();
    // Mean of the polygon points (the polygon is built first when the cache
    // is empty); (0, 0, 0) for an empty chain.
    Point<double> avgPoints();
    // Unit normal of the plane of the control points.
    Point<double> planeNormal();
    // Three well-spread polygon points (the polygon is built first when the cache is empty).
    void select3Pts(Point<double>& a, Point<double>& b, Point<double>& c);
    // First straight two-point arc whose ends lie within tol of (x1, y1) and
    // (x2, y2) in either order; null when none.
    Bspline* findArc(double x1, double y1, double x2, double y2, double tol) const;
    // First straight two-point arc with an end's x or y within tol of x or y; null when none.
    Bspline* findCoordCpt(double x, double y, double tol) const;

    // ---- point and region tests ----
    // p lies within 1e-6 of the curve; *t receives its running parameter (or
    // the last arc's search result when p is not on the curve).
    bool getParm(const Point<double>& p, double* t) const;
    // p lies within 1e-6 of the curve.
    bool on(const Point<double>& p) const;
    // p lies strictly inside the region (not on the curve), by the parity of
    // crossings of probes in several directions; z is ignored, and neither
    // the sign nor the orientation matters.
    bool inside(const Point<double>& p) const;
    // inside(p) or on(p).
    bool insideOrOn(const Point<double>& p) const;
    // Not on(p) and inside(p).
    bool insideNotOn(const Point<double>& p) const;
    // Every one of 51 sampled points per arc of other lies inside this
    // curve (false when the boxes are disjoint or either curve is empty;
    // curves that touch are not inside one another).
    bool inside(const CCompositeCurve* other) const;
    // A point inside the curve halfway between the first crossing of the
    // horizontal probe through (a + b)/2 (of half-width b.x - a.x) and a
    // later one, written to *out; false when none is inside.
    bool findPointInside(int unused, Point<double> a, Point<double> b, Point<double>* out) const;
    // A point that inside() accepts. Throws CInvalidArgException for an
    // empty chain and std::logic_error when the outline encloses no region.
    Point<double> getInteriorPoint(double unused) const;

    // ---- intersection counting ----
    // Appends to list (which then owns them) the points where the arcs of
    // this curve meet the arcs of other, skipping any within gInsectTol of a
    // point already there; returns the number of points in the list.
    int findIntersections(const CCompositeCurve* other, CList<Point<double>*>* list) const;
    // Number of distinct points where the segment p1-p2 meets the curve.
    int lineNIntersections(const Point<double>* p1, const Point<double>* p2) const;

    // ---- polygons ----
    // Rebuilds the polygon cache from the arcs' own polygons
    // (Bspline::polygon with the three arguments), merging points closer than
    // 0.001 and closing it.
    void polygon(bool setParameter, double tol, double spacing);
    // Rebuilds the polygon cache with n steps per curved arc and the two ends
    // of each straight arc.
    void polygonApprox(int n);
    // Number of polygon points for chord height tol (> 0); *chord receives a
    // chord length of the last curved arc.
    int estimatePolygonPtCount(double tol, double* chord) const;
    // Frees the polygon cache.
    void clearPolygon();

    // ---- transforms ----
    // Adds v to every control point, then rebuilds the polygon.
    void translate(const Point<double>& v);
    // Homogeneous 4x4 transform of every arc, then rebuilds the polygon.
    void transform(Matrix& M);
    // p' = R p + T for every control point; the polygon is kept.
    void rotateTranslate(Matrix& R, Point<double>& T);
    // Moves the curve so that the mean of its polygon points is the origin.
    void center();

    // ---- intersection and trimming ----
    // Every point where this curve meets other, each with one record per
    // curve (this curve's first, with the running parameters there), in
    // order of discovery. A new list that the caller owns with its entries;
    // empty when the curves do not meet.
    CList<CIntersection*>* intersect(CCompositeCurve* other);
    // A new curve (owned by the caller) holding the part of this curve
    // between running parameters t1 and t2: whole arcs copied, end arcs
    // split. Its arcs keep their offsets; its start and end parameter are 0.
    // Sets z of this curve's control points to 0, and leaves QHTgSplitTol at 1e-8.
    CCompositeCurve* trim(double t1, double t2);
    // The points where the ray from p along dir (100000 long) crosses the
    // polygon approximation of the curve, in polygon order. Rebuilds the
    // polygon cache (polygonApprox) and sets z of p and of the cache to 0.
    std::vector<Point<double>> polygonLineIntersection(Point<double>& p, Point<double>& dir);
    // The curves do not meet and other's point at its middle parameter is inside this curve.
    bool isCurveInside(CCompositeCurve* other);
    // other's point at its middle parameter, multiplied by M, is inside this curve.
    bool transformedCrvInside(const CCompositeCurve* other, const Matrix* M) const;
    // a's point at the middle of its range lies on b.
    bool checkMidPoint(const Bspline* a, const Bspline* b, double unused) const;

    // ---- archive ----
    // Stores or loads sign, parameters, tag, arcs and mark; after loading the
    // offsets and the end parameter are recomputed.
    void Serialize(CArchive& ar) override;

private:
    // Records a change of the chain itself (which arcs, in which order): a
    // geometry edit that also makes the arc mirror stale.
    void noteChainChange()
    {
        geometry_edits::note();
        ++m_chainChanges;
    }
    // The arcs in chain order as a contiguous array, rebuilt from the list
    // when the chain has changed since it was taken. Call under m_areaMutex.
    const std::vector<const Bspline*>& arcMirror() const;
    // The arc mirror holds the list's arcs in order. Call under m_areaMutex.
    bool mirrorMatchesList() const;
    // Copies of src's arcs, in order (strong guarantee: nothing leaks on failure).
    static void copyArcs(const CCompositeCurve& src, CList<Bspline*>& into);
    // Deletes every arc and empties the chain.
    void deleteArcs();
    // Adds arc at the tail with its offset set to the end parameter and its
    // first control point set to the tail's end point (the rest of the chain
    // is not walked).
    void appendArc(Bspline* arc);
    // p lies within 1e-6 of arc; *t receives the parameter searched (not
    // written when the arc's box alone rules p out and mustSearch is false).
    static bool onArc(const Bspline* arc, const Point<double>& p, double* t, bool mustSearch);
    // Crossing counts of the four probes of inside(p) decide the parity test.
    bool probesInside(const Point<double>& p, double L) const;
    // Interior point halfway from the first arc's middle to the nearest
    // other crossing of a probe along its normal; false when that point is
    // not inside.
    bool interiorFromNormal(Point<double>* out) const;
    // Interior point from horizontal probes across the control box at
    // several heights; false when none finds one.
    bool interiorFromScan(Point<double>* out) const;

    // The legs of a straight-line chain and their probe index, kept for
    // inside(p) between calls (not copied, not stored). Once the geometry
    // edit count (GeometryEdits.h) has moved, the next use compares every
    // leg with its arc again, so an edit made through a pointer handed out
    // earlier is seen too.
    struct InsideCache;
    mutable std::shared_ptr<InsideCache> m_insideCache;
    mutable std::mutex m_insideMutex;

    // The last area() and the geometry edit count and integration tolerance
    // it was taken under; reused while both are unchanged (not copied).
    struct AreaCache {
        bool valid = false;
        unsigned long long edits = 0;
        double tol = 0.0;
        double value = 0.0;
    };
    mutable AreaCache m_areaCache;
    mutable std::mutex m_areaMutex;

    // The arc pointers of the chain in order (not copied), so that a walk
    // over the arcs loads each one without waiting for the list node before
    // it. Taken at chain change count m_mirrorChanges and rebuilt once
    // m_chainChanges (bumped by every change of the list: noteChainChange)
    // has moved; the arcs' contents are not kept, only which arcs there are.
    // Once the list has been handed out for writing (m_listHandedOut), an
    // arc may be put in another's place through the kept reference without
    // any count moving: the mirror is then rebuilt at every use.
    mutable std::vector<const Bspline*> m_arcMirror;
    mutable unsigned long long m_mirrorChanges = ~0ULL;
    unsigned long long m_chainChanges = 0;
    bool m_listHandedOut = false;

    CString m_name;
    CList<Bspline*> m_arcs{10};
    CArray<Point<double>> m_polygon;
    bool m_traversed = false;
    short m_tag = 0;
    bool m_mark = false;
    int m_sign = 1;
    double m_start = 0.0;
    double m_end = 0.0;
    void* m_owner = nullptr;
};
