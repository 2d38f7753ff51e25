#pragma once

#include <unordered_set>

#include "analysis/geometry/CMaxMinBox.h"
#include "analysis/geometry/Point.h"
#include "platform/core/CList.h"

class Bspline;
class CCompositeCurve;
class CCurveIntersection;
class CIntersection;

// One control point listed for snapping: the address of the point inside
// its arc (writing through it moves the arc's control point), the arc, the
// curve holding the arc, whether it has been snapped and whether it is the
// first or last control point of its arc. A record whose arc a split has
// replaced has point and arc set to null and is skipped.
struct CControlPointElement {
    Point<double>* point = nullptr;
    Bspline* arc = nullptr;
    CCompositeCurve* curve = nullptr;
    bool moved = false;
    bool endPoint = false;
};

// Result codes of the walk's helpers (find_midpt answers 0 when it found a
// midpoint).
enum BooleanSumCode : int {
    bsNoIntersection = 100,  // no next intersection along the curve
    bsNegativeStep = 101,    // the step to the next intersection came out negative
    bsBadArguments = 102,    // a missing curve or a direction other than +1 and -1
    bsAccepted = 103,        // routeck: the piece lies on the union's boundary
    bsInside = 105,          // lookahead/lookback: the piece lies strictly inside
    bsOn = 107,              // lookahead/lookback: the piece lies on the curve
    bsOutside = 108,         // lookahead/lookback: the piece lies outside
    bsRouterLost = 109,      // router found no way on
    bsRefused = 110,         // routeck: the piece is not on the boundary
};

// Whether a union's material area (solids positive, holes negative) is
// possible for its pieces: solids of areas summing to solidSum, the largest
// largestSolid, and holes of areas summing to holeSum. The union holds no
// more than the solids and no less than the largest solid less every hole;
// a slack of 1e-5 of all the pieces' area covers the integration.
bool plausibleUnionArea(double unionArea, double solidSum, double largestSolid, double holeSum);

// The union of closed composite curves: solid outlines (sign +1) are merged
// and holes (sign -1) kept where they cut material. The sum intersects its
// curves, walks from intersection to intersection along the boundary of the
// union and turns each closed walk into a result curve.
//
// Ownership: the sum owns every curve given to it by appendCurve, every
// copy made by load and every curve it creates, until getCurves(true) hands
// the results over; its destructor deletes whatever it still owns. Curves
// in the given-holes list are not owned through that list.
//
// The steps of the computation are public so that they can be driven and
// checked one at a time; callers outside the union use the constructor,
// appendCurve, the given holes, the two switches, compute and getCurves.
class CBooleanSum {
public:
    using CurveList = CList<CCompositeCurve*>;
    using IntersectionList = CList<CIntersection*>;
    using ControlPointList = CList<CControlPointElement*>;

    // ---- tolerances ----
    static constexpr double kShortestDirection = 1e-11;  // probes, seams, matchup
    static constexpr double kNearStart = 1e-5;           // crossings this near a probe's start are ignored
    static constexpr double kStartMatch = 1e-4;          // compare_start; removeTiny
    static constexpr double kArcEndSnap = 1e-3;          // snapping intersections to arc ends; matchup
    static constexpr double kStepSkip = 1e-5;            // intersections this near the walk's parameter
    static constexpr double kTooSmall = 0.01;            // too_small: parameter span
    static constexpr double kFarCrossing = 1e-3;         // findClosestSignedX
    static constexpr double kControlSnap = 1e-4;         // control-point snapping
    static constexpr double kSameIntersection = 1e-5;    // findIntersectionPoint
    static constexpr double kDuplicate = 1e-12;          // eliminateDupIntersections
    static constexpr int kMaxCircuitSteps = 151;         // steps of one circuit walk

    // Empty inputs, new empty results and working lists, mode and counters 0.
    CBooleanSum();
    CBooleanSum(const CBooleanSum&) = delete;
    CBooleanSum& operator=(const CBooleanSum&) = delete;
    // Deletes every curve the sum still owns, the intersections and the lists.
    ~CBooleanSum();

    // ---- set-up and results ----
    // Adds an input and takes ownership: a negative curve at the tail, any
    // other at the head; a curve already among the inputs (or null) is ignored.
    void appendCurve(CCompositeCurve* c);
    // Adds c to the given holes (not owned through that list; a curve
    // already there is not added twice).
    void addGivenHole(CCompositeCurve* c);
    // Empties the working list and appends a copy of each curve of list.
    void load(const CurveList* list);
    // Grows the bounds box by the box of every input curve.
    void extents();
    // The results; with handOver the caller owns list and curves from then
    // on and the sum keeps a new empty results list.
    CurveList* getCurves(bool handOver);
    // Number of working curves.
    int nCurves() const;
    // Number of negative curves in list (0 for null).
    int nNegatives(const CurveList* list) const;
    // Mode: circuits with a negative area become marked holes.
    void setMode(bool on) { m_mode = on; }
    bool mode() const { return m_mode; }
    // Negative routing: holes may start and carry a circuit.
    void setNegativeRouting(bool on) { m_negativeRouting = on; }
    bool negativeRouting() const { return m_negativeRouting; }

    // The lists the steps work on.
    CurveList& inputs() { return m_inputs; }
    CurveList& working() { return *m_working; }
    CurveList& results() { return *m_results; }
    CurveList& scratch() { return m_scratch; }
    CurveList& givenHoles() { return m_givenHoles; }
    // The intersection list (null before its first use).
    IntersectionList* intersections() { return m_intersections; }
    // The bounds box of the inputs.
    const CMaxMinBox& bounds() const { return m_bounds; }

    // ---- the union ----
    // The whole union (inputs cleaned, passes of two or more crossing
    // curves, leftovers sorted into the results); stops after maxCircuits
    // passes when that is positive, leaving the working list as it is.
    void compute(int maxCircuits);
    // One pass over the working curves: intersections, circuits walked into
    // the results, untraversed curves carried over.
    void computeUnion();
    // Moves the first crossing pair of untraversed inputs into the working
    // list; false when no input crosses another.
    bool choseFirstCurves();
    // Moves the first input that crosses a working curve into the working
    // list (holes at the tail, solids at the head); false when none does.
    bool choseNextCurve();
    // The results become the working curves (the working list is emptied first).
    void swap();
    // The working curves become the results (the results list is emptied first).
    void swapBack();
    // Appends the working curves that no circuit traversed to the results:
    // holes always, solids unless inside a solid result.
    void addDisjointCurves();
    // Takes the solid working curves lying inside other working curves out
    // of the working list.
    void removeInterior();
    // Every polygon point of c lies strictly inside another working curve
    // (true when c has no polygon points).
    bool isPosInterior(CCompositeCurve* c);

    // ---- the circuit walk ----
    // The first unused intersection with a record that may start a circuit:
    // *x, *record and *direction are set and x is numbered; false when none.
    bool startCircuit(CIntersection** x, CCurveIntersection** record, int* direction);
    // Walks from start along the record's curve, turning at each
    // intersection, until it is back at start: the new circuit (owned by the
    // sum), or null when the router finds no way on. Throws std::logic_error
    // when the walk is lost or does not close within 151 steps.
    CCompositeCurve* findCircuit(CIntersection* start, CCurveIntersection* record, int direction);
    // Chooses the record (and direction) to leave x by, coming along
    // incoming: 0 with *out set, or 109 after "QHT:router:FATAL: Router is lost".
    int router(CIntersection* x, CCompositeCurve* incoming, int* direction, CCurveIntersection** out);
    // 103 when the piece of r's curve leaving x lies on the union's boundary, else 110.
    int routeck(CIntersection* x, CCurveIntersection* r);
    // The piece of r's (solid) curve leaving x in the direction lies on the boundary.
    bool pospathck(CIntersection* x, CCurveIntersection* r, int direction);
    // The piece of r's (hole) curve leaving x in the direction lies on the boundary.
    bool negpathck(CIntersection* x, CCurveIntersection* r, int direction);
    // The first other curve recorded at x on which m lies, or null.
    CCompositeCurve* onNeighbor(const CIntersection* x, const CCurveIntersection* r, const Point<double>& m) const;
    // Halfway to the nearest crossing outward from m (curve's normal at tm
    // reversed) with a curve of the sign, the point lies inside or on
    // another working curve of that sign.
    bool surrounded(const Point<double>& m, double tm, int sign, const CCompositeCurve* curve);
    // Appends the part of curve between a and b to the circuit under
    // construction and marks curve traversed.
    void cutAndPaste(CCompositeCurve* curve, double a, double b);

    // ---- input clean-up ----
    // Of each pair of equal inputs: one of two of a sign is deleted; a solid
    // and an equal hole cancel and both are deleted.
    void removeIdentical();
    // Snaps and intersects every pair of inputs; an input that crosses none
    // and contains none leaves the inputs and is kept in the scratch list
    // or deleted (rules in the source).
    void removeDisjointCurves();
    // Replaces every straight arc of several legs among the inputs by one
    // straight arc per leg (same outline): the walk's point and parameter
    // look-ups are exact on single segments.
    void splitPolylines();
    // Takes the working curves whose parameter span is below 1e-4 out of the
    // working list.
    void removeTiny();
    // The parameter span of c is below 0.01. Throws "Null Curve" for null and
    // " Bad parameterization\n" when the end parameter is below the start.
    bool too_small(const CCompositeCurve* c) const;

    // ---- intersections ----
    // Replaces the intersections by those of every pair of working curves
    // (snapped first), merging crossings within 1e-5, then snaps them to arc ends.
    void findIntersections();
    // The first intersection whose point lies within 1e-5 of p, or null.
    CIntersection* findIntersectionPoint(const Point<double>& p) const;
    // The same search, for the walk.
    CIntersection* Xfind(const Point<double>* p) const;
    // Moves each intersection onto an arc start of one of its curves within
    // 1e-3, then merges the intersections that end up together.
    void moveIntersectionsToArcEndPoints();
    // Merges intersections closer than 1e-12 into the first of them (its
    // records gain the curves only the later one had).
    void eliminateDupIntersections();
    // Deletes every intersection; the list stays.
    void deleteIntersections();
    // Takes x out of the intersection list without deleting it.
    void removeIntersection(CIntersection* x);
    // Clears the traversed flag of every input.
    void clearTraverses();
    // Clears the used flag of every intersection.
    void clearIntersectionTraversals();
    // Clears the polygon of every working curve and empties the working list.
    void deleteCurvePolygons();
    // Does nothing.
    void dumpIntersections() const {}

    // ---- control-point snapping ----
    // Moves control points of c1 and c2 lying within 1e-4 (but not on) a
    // straight arc of the other curve onto it, splitting that arc there
    // unless the foot is within 1e-4 of its ends.
    void snapControlPoints(CCompositeCurve* c1, CCompositeCurve* c2);
    // New list (owned by the caller, with its records) of the control points
    // to snap: both ends of curved arcs, every point of straight ones.
    ControlPointList* formListControlPts(const CurveList* curves);
    // Appends a record unless the list holds one of the same arc within 1e-4.
    void AddControlPoint(ControlPointList* records, Point<double>* point, Bspline* arc,
                         CCompositeCurve* curve, bool moved, bool endPoint);
    // Distance from the record's point to the straight arcs of the other
    // curves: the first below 1e-4 sets *foot, *curve and *arc; else the
    // smallest, with its foot; -1 when there is no straight arc.
    double minDistLine(const CurveList* curves, const CControlPointElement* record,
                       Point<double>* foot, CCompositeCurve** curve, Bspline** arc);
    // Makes the unmoved records within 1e-4 of record's point refer to p.
    void checkOtherCP(ControlPointList* records, CControlPointElement* record, Point<double>* p);
    // Some control point of arc lies within 1e-4 of p.
    bool haveCtrlPtHere(const Bspline* arc, const Point<double>* p) const;

    // ---- inside tests ----
    // Some other curve of list has its interior point inside c.
    bool isContainer(const CCompositeCurve* c, const CurveList* list) const;
    // c's start point lies inside a positive curve of list other than c.
    bool isInsidePositive(const CurveList* list, const CCompositeCurve* c) const;
    // p lies strictly inside a positive working curve other than excluded.
    bool isInsidePositive(const Point<double>& p, const CCompositeCurve* excluded = nullptr) const;
    // c's start point lies inside a negative curve of list other than c.
    bool isInsideNegative(const CurveList* list, const CCompositeCurve* c) const;
    // p lies strictly inside a given hole.
    bool isInsideNegative(const Point<double>& p) const;
    // The first given hole on which p lies, or null.
    CCompositeCurve* isOnNegative(const Point<double>& p) const;
    // c starts inside (or on, then along) a solid of list before any hole of
    // list claims it; false for a null or empty list.
    bool isFirstIn(CCompositeCurve* c, const CurveList* list) const;
    // c's start point lies inside a curve of list, other than c, marked as a hole.
    bool isInsideGeneratedNegative(const CurveList* list, const CCompositeCurve* c) const;
    // p lies inside or on every curve of list (true for an empty list).
    bool insideOrOnAll(const Point<double>* p, const CurveList* list) const;
    // p lies in the material that curve describes: inside or on a solid,
    // outside or on a hole.
    bool inside_one(const CCompositeCurve* curve, const Point<double>* p) const;

    // ---- the walk's look-ups ----
    // The next intersection recording curve from t in the direction (+1 or
    // -1): lookToEnd, else lookPastEnd; over the sum's list, or among.
    CIntersection* nextX(const CCompositeCurve* curve, double t, int direction,
                         const IntersectionList* among = nullptr, bool skipUsed = false) const;
    // Forward the nearest intersection beyond t (one at the seam counts as
    // at the end), backward the nearest before t; null when none.
    CIntersection* lookToEnd(const CCompositeCurve* curve, double t, int direction,
                             const IntersectionList* among = nullptr, bool skipUsed = false) const;
    // Round the seam: forward the intersection of smallest parameter,
    // backward of largest; null when none.
    CIntersection* lookPastEnd(const CCompositeCurve* curve, double t, int direction,
                               const IntersectionList* among = nullptr, bool skipUsed = false) const;
    // nextX, with the circuit's start taking its place when the start comes
    // first (compare_start); the answer is marked used.
    CIntersection* getNextIntersection(const CCompositeCurve* curve, double t, int direction,
                                       CIntersection* start) const;
    // c, or the start when the start lies on curve between t and c.
    CIntersection* compare_start(const CCompositeCurve* curve, double t, CIntersection* c,
                                 CIntersection* start, int direction) const;
    // Classifies the piece of c2 after (lookahead) or before (lookback) t
    // against c: 105 strictly inside, 107 on, 108 outside, 100 no next
    // intersection, 101 negative step.
    int lookahead(const CCompositeCurve* c, const CCompositeCurve* c2, double t,
                  const IntersectionList* among = nullptr) const;
    int lookback(const CCompositeCurve* c, const CCompositeCurve* c2, double t,
                 const IntersectionList* among = nullptr) const;
    // The curves through x meet there without crossing.
    bool touching(const CIntersection* x, const IntersectionList* among = nullptr) const;
    // Deletes every touching intersection of list (which owns them).
    void removeTouching(IntersectionList* list);

    // ---- parameters along a curve ----
    // Parameter span from t to te along c in the direction.
    double DeltaP(const CCompositeCurve* c, int direction, double t, double te) const;
    // Parameter halfway from a to b along c in the direction.
    double calc_midparm(const CCompositeCurve* c, double a, double b, int direction) const;
    // The point *m and parameter *tm halfway from t to the next intersection
    // along curve. Returns 0, or 100 (no next intersection), 101 (negative
    // step) or 102 (bad arguments) with *tm = t and *m the curve's point at t.
    int find_midpt(const CCompositeCurve* curve, double t, int direction, Point<double>* m,
                   double* tm) const;

    // ---- probes ----
    // Nearest first crossing of the working curves with the segment from m
    // along 2·D·n (D the bounds' diagonal), beyond 1e-5 of m; the count of
    // such crossings. Throws "closesPt_X:FATAL:Bad offset POINTd.\n" for |n| < 1e-11.
    int closestIntersection(Point<double>* m, Point<double>* n, Point<double>* closest, double* d);
    // Nearest crossing, beyond 1e-5 of m, of the ray from m along n with the
    // working curves of the sign other than excluded; the count of crossings.
    // Throws "closestIntersection:FATAL:Bad offset POINTd.\n" for |n| < 1e-11.
    int findClosestSignedX(const Point<double>& m, const Point<double>& n, int sign,
                           const CCompositeCurve* excluded, Point<double>* closest, double* d);
    // Moves the control point of c nearest to x's point onto it when that is
    // 1e-11 to 1e-3 away, unless x lies within 1e-5 of p.
    void matchup(CCompositeCurve* c, const Point<double>* p, const CIntersection* x);

    // ---- pass bookkeeping ----
    // No record of x has a hole curve (true without records).
    bool isAllPositive(const CIntersection* x) const;
    // No record of x has a solid curve (true without records).
    bool isAllNegative(const CIntersection* x) const;
    // Every positive input has been traversed.
    bool allPositivesTraversed() const;
    // Every negative input has been traversed.
    bool allNegativesTraversed() const;

private:
    // Registers c as owned by the sum.
    void own(CCompositeCurve* c);
    // Takes c out of every list of the sum and deletes it.
    void destroyCurve(CCompositeCurve* c);
    // The list the look-ups scan: among, else the sum's own (may be null).
    const IntersectionList* scanList(const IntersectionList* among) const;
    // Halfway parameter from t to the next intersection (see find_midpt);
    // the texts name the caller in the negative-step diagnostics.
    int midParameter(const CCompositeCurve* curve, double t, int direction,
                     const IntersectionList* among, double* tm, const char* forwardText,
                     const char* backwardText) const;
    // lookahead and lookback.
    int classifyPiece(const CCompositeCurve* c, const CCompositeCurve* c2, double t, int direction,
                      const IntersectionList* among) const;
    // Replaces the straight arc by two pieces meeting at f; records of the
    // old arc are disabled.
    void splitStraightArc(CCompositeCurve* curve, Bspline* arc, const Point<double>& f,
                          ControlPointList* records);
    // a and b cross (touching meetings do not count).
    bool crosses(CCompositeCurve* a, CCompositeCurve* b);
    // Whether the input c that crosses nothing stays in the scratch list.
    bool keepDisjoint(const CCompositeCurve* c) const;
    // The boxes of the control points of a and b (which hold the curves)
    // lie more than margin apart in x or y.
    // Box of the control points of c in x and y; false when c has none.
    static bool controlBox(const CCompositeCurve* c, Point<double>& lo, Point<double>& hi);
    static bool boxesApart(const CCompositeCurve* a, const CCompositeCurve* b, double margin);

    bool m_mode = false;
    bool m_negativeRouting = false;
    CMaxMinBox m_bounds;
    bool m_haveBounds = false;
    CurveList m_givenHoles{10};
    CurveList* m_results;
    CurveList* m_working;
    CurveList m_inputs{10};
    CurveList m_scratch{10};
    CCompositeCurve* m_startCurve = nullptr;
    IntersectionList* m_intersections = nullptr;
    int m_circuitCount = 0;
    Point<double>* m_circuitStart = nullptr;
    CCompositeCurve* m_circuit = nullptr;
    std::unordered_set<CCompositeCurve*> m_owned;
};
