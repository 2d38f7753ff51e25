#pragma once

#include <cstddef>

#include "analysis/geometry/ErrMsg.h"
#include "analysis/geometry/GeometryEdits.h"
#include "analysis/geometry/Point.h"
#include "platform/core/CArray.h"
#include "platform/core/CList.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CArchive;
class Matrix;

// How the interpolating constructor takes its end tangents (values as stored).
enum endCondition : int {
    endQuadratic = 1,  // slopes of the parabolas through the first and last three points (x increasing)
    endCircle = 2,     // tangents of the circles through the first and last three points
    endTangents = 3,   // the caller's two tangents, both pointing away from the curve
};

// A rational B-spline curve of degree 1 to 19 in three dimensions: knot
// vector, one weight per control point, the control points, and a parameter
// offset so that consecutive arcs of a composite curve share one running
// parameter (global parameter = knot value + offset). It keeps a polygon
// approximation of itself in a cache that is not stored.
//
// Failures of a spline's own validity throw the narrow text "Bad spline\n"
// (a const char*); a bad array index throws CInvalidArgException.
class Bspline : public CObject {
    DECLARE_SERIAL(Bspline)

public:
    // Value of the int members that have none yet.
    static constexpr int unset = -99999;
    // Largest degree: the evaluators work on deg + 1 <= 20 points on the stack.
    static constexpr int maxDegree = 19;

    // Empty arrays; closed flag, degree and polygon segment count unset; offset 0.
    Bspline();
    // Straight line from *a to *b: degree 1, knots (0, 0, L, L) with L = |b - a|,
    // or L = b->z when lengthFromZ.
    Bspline(Point<double>* a, Point<double>* b, bool lengthFromZ);
    // Polyline through n points, knots by cumulative chord length from 0.
    Bspline(int n, Point<double>* p);
    // Copy of *src (the name is not kept); throws "Bad spline\n" for a null
    // or invalid source.
    Bspline(Bspline* src, CString name);
    // Cubic interpolation through n points: fitClosed when closed != 0, else
    // fitOpen with the end tangents that ec selects (the caller's tangents
    // are normalised in place for endTangents); any other ec leaves the
    // arrays empty. normalise maps the knots onto [0, 1]. Throws "Bad
    // spline\n" for points the fit cannot take (fewer than 3 for
    // endQuadratic and endCircle, missing tangents for endTangents).
    Bspline(Point<double>* p, int n, int closed, endCondition ec, Point<double>* startTangent,
            Point<double>* endTangent, bool normalise);
    // Circular arc (or full circle) of degree 2, counter-clockwise about
    // *normal from *start to *end about *centre; a full circle, with the
    // closed flag set, when start and end are the same object. normal is
    // normalised in place. Throws "Bad spline\n" for a zero radius or normal.
    Bspline(Point<double>* centre, Point<double>* start, Point<double>* end, Point<double>* normal);
    // Copies nPts control points and weights and nKts knots; the parameter
    // offset is the first knot, the closed flag unset. Throws "Bad spline\n"
    // when the arrays do not make a valid spline.
    Bspline(int deg, int nPts, Point<double>* cpts, double* wts, int nKts, double* kts);
    Bspline(const Bspline&) = delete;
    Bspline& operator=(const Bspline&) = delete;
    // Frees the polygon cache and the three arrays.
    ~Bspline() override;

    // Resets closed flag, degree and polygon segment count to unset and the
    // rational flag to false; the arrays are kept.
    void init();

    // ---- accessors ----
    // Degree.
    int deg() const { return m_deg; }
    // Sets the degree.
    void deg(int d) { geometry_edits::note(); m_deg = d; }
    // Degree + 1.
    int order() const { return m_deg + 1; }
    // Number of knots.
    int nKts() const { return static_cast<int>(m_kts.GetSize()); }
    // Number of control points.
    int nPts() const { return static_cast<int>(m_cpts.GetSize()); }
    // nPts() - deg().
    int nSpans() const { return nPts() - m_deg; }
    // nPts() - deg().
    int nspans() const { return nSpans(); }
    // Knot i (checked).
    double kts(int i) const { return m_kts.GetAt(i); }
    // Weight i (checked).
    double wts(int i) const { return m_wts.GetAt(i); }
    // The weight array (null when empty).
    // Counts as an edit of the geometry (GeometryEdits.h).
    double* wts() { geometry_edits::note(); return m_wts.GetData(); }
    // Control point i (checked).
    Point<double> cpts(int i) const { return m_cpts.GetAt(i); }
    // Number of polygon segments (unset when not known).
    int nPolySegs() const { return m_nPolySegs; }
    // Sets the number of polygon segments.
    void nPolySegs(int n) { m_nPolySegs = n; }
    // Closed flag: 1 closed fit, 0 open, unset.
    int closed() const { return m_closed; }
    // Sets the closed flag.
    void closed(int c) { m_closed = c; }
    // Sets the global parameter offset.
    void setGlobal(double offset)
    {
        // A new offset moves the parameters a curved arc's integrals step through.
        if (!(offset == m_offset))
            geometry_edits::note();
        m_offset = offset;
    }
    // The global parameter offset.
    double globalOffset() const { return m_offset; }
    // True when the curve is evaluated as rational.
    bool isRational() const { return m_rational; }
    // Sets the rational flag.
    void setRational(bool r) { geometry_edits::note(); m_rational = r; }
    // Sets the rational flag from the weights: some weight differs from 1 by more than 1e-8.
    void updateRational();

    // The knot vector.
    const CArray<double>& knotVector() const { return m_kts; }
    // The knot vector, writable (the caller keeps the spline valid).
    // Counts as an edit of the geometry (GeometryEdits.h).
    CArray<double>& knotVectorMutable() { geometry_edits::note(); return m_kts; }
    // The weights.
    const CArray<double>& weightArray() const { return m_wts; }
    // The weights, writable.
    // Counts as an edit of the geometry (GeometryEdits.h).
    CArray<double>& weightArrayMutable() { geometry_edits::note(); return m_wts; }
    // The control points.
    const CArray<Point<double>>& controlPoints() const { return m_cpts; }
    // The control points, writable.
    // Counts as an edit of the geometry (GeometryEdits.h).
    CArray<Point<double>>& controlPointsMutable() { geometry_edits::note(); return m_cpts; }
    // The polygon cache (x, y of curve points; z the curve's z or its parameter).
    const CArray<Point<double>>& polygonPoints() const { return m_polygon; }
    // The polygon cache, writable.
    CArray<Point<double>>& polygonPointsMutable() { return m_polygon; }

    // ---- parameters (global) ----
    // kts[deg - 1] + offset.
    double startParameter() const { return m_kts.GetAt(m_deg - 1) + m_offset; }
    // Last knot + offset.
    double endParameter() const { return m_kts.GetAt(m_kts.GetSize() - 1) + m_offset; }
    // |end - start|.
    double parmLength() const;
    // First knot.
    double localStartParameter() const;
    // Last knot.
    double localEndParameter() const;
    // (first knot + last knot) / 2.
    double localMidParameter() const;
    // (first knot + last knot) / 2.
    double midKnot() const;
    // start <= t <= end.
    bool insideParametricValue(double t) const;
    // The global range lies within [a, b], each end with slack 1e-4.
    bool isContained(double a, double b) const;

    // ---- evaluation (global parameters) ----
    // Point at t; within tol of an end it is that end's control point exactly.
    void eval(double t, Point<double>* out, double tol) const;
    // Rational point at t (weights carried beside Cartesian points).
    void rbsEval(double t, Point<double>* out) const;
    // Parameter where the curve's x equals x, by bisection (x must increase
    // along the curve); -1 when not found.
    double evalX(double x) const;
    // Unit tangent at t.
    void tangent(double t, Point<double>* out) const;
    // Unit tangent at t by the weighted de Boor steps.
    void rbsTangent(double t, Point<double>* out) const;
    // Unit normal at t in the plane of the curve.
    void normal(double t, Point<double>* out) const;
    // (0, 0, 1) x the unit direction at t: the direction turned +90 degrees about z.
    void rbsNormal(double t, Point<double>* out) const;
    // Unit normal of the plane of the control polygon ((0, 0, 1) when flat in z).
    Point<double> planePerp() const;
    // Every control point has the z of the first (tolerant comparison).
    bool constZ() const;
    // A new non-rational cubic approximating this curve (owned by the caller).
    Bspline* nonRationalApprox();

    // ---- searches ----
    // Parameter of p on the curve (start or end within tol, else the nearest
    // sample refined to 1e-12); a straight line projects p and returns -1
    // beyond its length.
    double findParmValue(const Point<double>& p, double tol) const;
    // p lies within 1e-6 of the curve; *t receives the nearest parameter.
    bool isOn(const Point<double>& p, double* t) const;
    // Parameter nearest to p (coarse search to 1e-12).
    double findClosestParm(const Point<double>& p) const;
    // Nearest parameter to p in [a, b] in the xy plane, ten samples per level.
    double stepSearch(const Point<double>& p, double a, double b, int depth, double tol) const;
    // Nearest parameter to p in [a, b] in the xy plane, fifty samples per
    // level, refined until the interval is narrower than tol.
    double splitSearch(const Point<double>& p, double a, double b, int depth, double tol) const;
    // Some control point lies closer than tol to (x, y, 0).
    bool hasCpt(double x, double y, double tol) const;
    // Foot point on the control polygon nearest to p and its distance; with
    // fewer than two control points (0, 0, 0) and 0.
    void minPolylineDist(const Point<double>& p, Point<double>& foot, double* dist) const;

    // ---- knots and control points ----
    // Span of local *u for the evaluators: *u is brought into the knot range,
    // pulled inside the last span at its end and snapped onto a knot closer
    // than 1e-10 of the range; *span gets k with kts[k] <= *u < kts[k+1]
    // (-1 when there is none), *mult 0.
    void interval(double* u, int* span, int* mult) const;
    // Index k with kts[k] <= u < kts[k+1]; the last index when u is within
    // gEpsilon of the last knot or above; 0 below the first knots. Starts
    // from the index of the previous call (shared by all splines).
    int knotInterval(double u) const;
    // Forgets the index remembered by knotInterval (it starts again at 0).
    static void resetKnotInterval();
    // Number of knots tolerantly equal to u, less one (-1 when u is no knot).
    int multiplicity(double u) const;
    // Length of the run of equal knots starting at i, at most deg + 1.
    int multknots(int i) const;
    // multknots(deg + 1) == deg + 1.
    bool multInteriorKnots() const;
    // Control point index belonging to knot index i.
    int cptIndex(int i) const;
    // Releases the spare capacity of the knot, point and weight arrays.
    void resizeArrays();
    // Rescales the knots so that the range runs from 0 to the length of the control polygon.
    void adjustKnots();
    // Reverses the direction of the curve (knots mirrored about the end of the range).
    void reverse();
    // Empties and frees the polygon cache.
    void deletePolygon();
    // Same offset, rational flag, degree and counts; knots, weights within
    // 1e-6 and control points within distance 1e-6.
    bool operator==(const Bspline& other) const;
    // Negation of ==.
    bool operator!=(const Bspline& other) const { return !(*this == other); }

    // ---- integrals, arc length, boxes, polygons ----
    // Parametric speed at the middle of the range.
    double arcRatio() const;
    // arcRatio() x (end - start).
    double arclength() const;
    // arcRatio() x (b - a).
    double arclength(double a, double b) const;
    // Widens [*min, *max] in x and y to hold every control point; init first
    // sets both corners to the first control point.
    void extents(Point<double>* min, Point<double>* max, int init) const;
    // As extents over the polygon cache; an empty cache measures the control points.
    void extentsPolygon(Point<double>* min, Point<double>* max, int init) const;
    // First control point.
    Point<double> startPoint() const;
    // Last control point.
    Point<double> endPoint() const;
    // Polygon point count that keeps the chord height below tol (tol > 0);
    // *chord receives one chord length (not written for degree 1).
    int estimatePolygonPtCount(double tol, double* chord) const;
    // Rebuilds the polygon cache; z of each point is its parameter when setParameter.
    void polygon(bool setParameter, double tol, double spacing);
    // Appends points along the legs of a degree-1 spline, at most spacing apart.
    void linearPoints(double spacing, bool setParameter);
    // Largest distance of an interior control point from the chord (0 for
    // two points, -1 for fewer).
    double chordHeightTol() const;

    // ---- splitting and transforms ----
    // Two new pieces before and after local u (either may be null); the caller owns them.
    void split(double u, Bspline** first, Bspline** second) const;
    // New piece between local a and b (null when nothing lies between); the caller owns it.
    Bspline* subSpline(double a, double b) const;
    // True for a valid spline; else throws "Bad spline\n". The argument is not used.
    bool verify(bool unused = false) const;
    // Adds *v to every control point.
    void translate(Point<double>* v);
    // Turns the control points about the axis through *c parallel to z (degrees).
    void rotate(Point<double>* c, double degrees);
    // Turns the control points about the axis through *c parallel to x (degrees).
    void rotateX(Point<double>* c, double degrees);
    // Turns the control points about the axis through *c parallel to y (degrees).
    void rotateY(Point<double>* c, double degrees);
    // Turns the control points about the z axis through the origin (degrees).
    void _rotateZ(double degrees);
    // Reflects the control points in the plane through *c with normal *n
    // (n is normalised in place).
    void mirror(Point<double>* c, Point<double>* n);
    // Scales about the lower corner of the end points and stretches the knots by (sx + sy)/2.
    void scale(double sx, double sy);
    // x' = c.x + s (x - c.x).
    void xscale(double s, Point<double>* c);
    // y' = c.y + s (y - c.y).
    void yscale(double s, Point<double>* c);
    // Sets the z of every control point.
    void setZ(double z);
    // Homogeneous image of every control point under the 4x4 matrix M.
    void transform(Matrix& M);
    // p' = R p + T for every control point (R 3x3).
    void rotateTranslate(Matrix& R, Point<double>& T);
    // Reverses *a when *b lies to the right of a's start direction (seen from +z).
    void orientBSpline(Bspline* a, Bspline* b);
    // *p = point at the middle of the range.
    void midPt(Point<double>* p) const;
    // Degree 1 with exactly two control points.
    bool isLinear() const;
    // Every control point's z within 1e-8 of the first one's.
    bool Zplane() const;
    // Every control point lies on the line of the first two (directions within 1e-4).
    bool colinear() const;
    // Unit normal of the plane of the control polygon.
    Point<double> planeNormal() const;
    // The control-point boxes of both splines overlap in x and y (touching counts).
    bool overlap(Bspline* other) const;
    // lo.x <= p.x <= hi.x and lo.y <= p.y <= hi.y.
    bool inBox(Point<double>& p, Point<double>& lo, Point<double>& hi) const;

    // ---- conic and circular arcs ----
    // Centre, end points and end angles (radians, end >= start) of a circular
    // arc spline, and for an open arc the corner where its end tangents meet;
    // true for a half or full circle (corner then not written).
    bool circleArgs(Point<double>* centre, Point<double>* start, Point<double>* end,
                    Point<double>* corner, double* startAngle, double* endAngle) const;
    // Radius of curvature near global t from the turn of the normal over a
    // thousandth of the range; +infinity where the curve is straight.
    double radiusCurvature(double t) const;
    // The rational flag (set for conic and circular arcs).
    bool isCircular() const { return m_rational; }

    // ---- intersections ----
    // The points where this spline meets *other (a new list of new points,
    // both owned by the caller), or null when there are none. Neither spline
    // is changed; sets QHTgSplitTol to 1e-8 unless both are straight lines.
    CList<Point<double>*>* intersection(Bspline* other) const;
    // *X = where the line of this spline's first leg meets the vertical plane
    // through other's first leg; X is untouched when the two are parallel.
    void lnlnX(Bspline* other, Point<double>* X) const;
    // The first control point lies on the line y (1e-8 relative), or some
    // control point lies strictly on the other side of it than the first.
    bool crosses(double y) const;
    // Appends the global parameters at which the curve meets the line y.
    void yIntercepts(double y, CArray<double, double>* params) const;
    // No control point lies above y + 1e-8.
    bool belowOnY(double y) const;
    // Degree 1 with the first two control points on the line y (1e-8 relative).
    bool colinearY(double y) const;

    // ---- interpolating fits ----
    // C² cubic through the n points with chord-length knots and the end
    // tangents t0, t1 (both pointing away from the curve, used with their
    // length); replaces knots, control points and weights, sets deg 3 and
    // nPolySegs n - 1. Throws "Bad spline\n", leaving the spline unchanged,
    // for n < 2, coincident consecutive points, non-finite input or a
    // system without solution.
    void fitOpen(Point<double>* P, int n, Point<double>* t0, Point<double>* t1);
    // Periodic C² cubic through the loop of n points (the last may repeat
    // the first), starting and ending at P[0]; sets the closed flag to 1.
    // Throws "Bad spline\n" as fitOpen does and for fewer than 3 distinct points.
    void fitClosed(Point<double>* P, int n);

    // ---- offsets ----
    // Fills pts (count entries) with the two sides at thickness/2 along the
    // normal: entries 0 .. count/2 - 1 on the normal's side from start to
    // end, entries count - 1 down to count - count/2 on the other side; the
    // two sides are exchanged when the outline's winding disagrees with
    // reference. Returns errNone. Throws CInvalidArgException for count < 2.
    errMsg offsetPts(double thickness, int count, Point<double>* pts, Point<double>& reference) const;
    // Two new splines (owned by the caller), one along each side of the
    // thickness, each on the left of the other's start direction: straight
    // lines for degree 1, else cubic fits through count/2 samples per side.
    // Returns errNone.
    errMsg offsetSplines(int count, double thickness, Bspline** first, Bspline** second);

    // ---- archive ----
    // read when loading, write when storing.
    void Serialize(CArchive& ar) override;
    // Loads the record; throws "Bad spline\n" for an invalid one or one
    // without control points (the object then keeps its old data).
    void read(CArchive& ar);
    // Stores the record; throws "Bad spline\n" for an invalid object.
    void write(CArchive& ar) const;

private:
    // Runs de Boor's algorithm on local u for `rounds` rounds, on points
    // (and weights when weighted), leaving the work points in P[0..deg].
    void deBoor(double u, int rounds, bool weighted, Point<double>* P, double* W) const;
    // Difference of the last two work points after deg - 1 rounds at global t.
    Point<double> direction(double t, bool weighted) const;
    // Chord height search from count k0 (tol must be positive).
    int chordHeightCount(double tol, int k0) const;

    CArray<Point<double>> m_polygon;  // polygon cache, not stored
    int m_closed = unset;
    CArray<double> m_kts;
    CArray<double> m_wts;
    CArray<Point<double>> m_cpts;
    int m_deg = unset;
    int m_nPolySegs = unset;
    double m_offset = 0.0;
    bool m_rational = false;
};

// Sets the split tolerance QHTgSplitTol to 1e-8.
void setTightSplitTol();
// Sets the split tolerance QHTgSplitTol to 1e-6.
void setLooseSplitTol();

// Signed area of the triangle (c, P(a), P(b)); counter-clockwise seen from +z is positive.
double dA(Bspline* s, double a, double b, Point<double>* c);

// Integral of f over [a, b] of s with reference point c by doubling the
// number of subintervals (n first for degree 1, else 16) until two passes
// agree within gIntegrationTol; at most 2^22 subintervals.
double integrateSpline(double (*f)(Bspline*, double, double, Point<double>*), Bspline* s,
                       Point<double>* c, int n, double a, double b);

// Sum over the n arcs arcs[0 .. n-1], in order, of integrateSpline(dA,
// arc, &c, 2, start, end) taken over each whole arc: the signed area swept
// about c.
double arcsArea(const Bspline* const* arcs, std::size_t n, const Point<double>& c);
