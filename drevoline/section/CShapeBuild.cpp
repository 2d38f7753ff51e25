// Shape builders: the basic kinds from their arguments, polygons, spline
// fits, boundary editing and the argument record.
#include <cmath>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"
#include "analysis/model/Utilities.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"

#include "platform/ole/COleDispatchException.h"

namespace {

constexpr double kDegToRad = 0.017453292519943295;

[[noreturn]] void refuse(const wchar_t* text) { AfxThrowOleDispatchException(1, text); }

// Direction of v in degrees, counter-clockwise from +x, in [0, 360).
double directionDeg(const Point<double>& v) {
  double a = std::atan2(v.y, v.x) / kDegToRad;
  if (a < 0.0)
    a += 360.0;
  return a >= 360.0 ? 0.0 : a;
}

Point<double> polar(double r, double deg) {
  return Point<double>(r * std::cos(deg * kDegToRad), r * std::sin(deg * kDegToRad), 0.0);
}

// Argument checks of one kind, in order; the first failing one reports.
struct ArgCheck {
  bool (*fails)(double a3, double a4, double a5, double a6);
  const wchar_t* text;
};

constexpr ArgCheck kRadius{[](double a3, double, double, double) { return a3 < 1e-8; }, L"Invalid radius"};
constexpr ArgCheck kSweepSmall{[](double, double, double, double a6) { return a6 <= 0.001; }, L"Sweep angle is too small"};

constexpr ArgCheck kSectorChecks[] = {
    kRadius, kSweepSmall,
    {[](double, double, double, double a6) { return std::fabs(a6) >= 360.0; }, L"Sweep angle must be less than 360. deg"}};
constexpr ArgCheck kFilletChecks[] = {
    kRadius, kSweepSmall,
    {[](double, double, double, double a6) { return std::fabs(a6) > 170.0; }, L"Sweep angle must be less than 170. deg"},
    {[](double, double, double, double a6) { return std::fabs(a6) < 5.0; }, L"Sweep angle must be greater than 5. deg"}};
constexpr ArgCheck kBlendChecks[] = {
    kRadius, kSweepSmall, {[](double, double a4, double, double) { return a4 < 1e-8; }, L"Invalid radius 1"}};
constexpr ArgCheck kDiskChecks[] = {kRadius};
constexpr ArgCheck kAnnulusChecks[] = {
    {[](double a3, double, double, double) { return a3 <= 0.0; }, L"Radius must be positive"},
    {[](double, double a4, double, double) { return a4 <= 0.0; }, L"Width must be positive"},
    {[](double, double, double, double a6) { return a6 <= 0.0 || a6 > 359.0; },
     L"Sweep must be positive and less than 359 degrees"}};
constexpr ArgCheck kQuadChecks[] = {
    {[](double a3, double a4, double, double) { return a3 < 1e-8 || a4 < 1e-8; }, L"Invalid length or width"}};
constexpr ArgCheck kTriangleChecks[] = {
    {[](double, double, double a5, double) { return a5 < 1e-8; }, L"Invalid dimensions"}};
constexpr ArgCheck kChordChecks[] = {
    {[](double a3, double a4, double, double) { return a4 <= 0.0 || a3 <= 0.0; }, L"Bad leg length or radius"},
    {[](double a3, double a4, double, double) { return a4 / a3 < 0.0001; }, L"Leg length is too small"},
    {[](double a3, double a4, double, double) { return a4 > 2.0 * a3 - 1e-12; },
     L"Leg length can't be greater than 2 times radius."}};

template <std::size_t N>
void runChecks(const ArgCheck (&checks)[N], double a3, double a4, double a5, double a6) {
  for (const ArgCheck& c : checks)
    if (c.fails(a3, a4, a5, a6))
      refuse(c.text);
}

// Runs the kind's checks and returns the arguments it keeps (empty when the
// kind keeps none).
std::vector<double> checkedArgs(ShapeType kind, double a3, double a4, double a5, double a6, double a7, bool* keep) {
  *keep = true;
  switch (kind) {
    case qhtShapeSector:
      runChecks(kSectorChecks, a3, a4, a5, a6);
      return {a3, a6};
    case qhtShapeFillet:
      runChecks(kFilletChecks, a3, a4, a5, a6);
      return {a3, a6};
    case qhtShapeBlend:
      runChecks(kBlendChecks, a3, a4, a5, a6);
      *keep = false;
      return {};
    case qhtShapeDisk:
      runChecks(kDiskChecks, a3, a4, a5, a6);
      return {a3};
    case qhtShapeAnnulus:
      runChecks(kAnnulusChecks, a3, a4, a5, a6);
      return {a3, a4, a6};
    case qhtShapeParallelogram:
    case qhtShapeRectangle:
      runChecks(kQuadChecks, a3, a4, a5, a6);
      return {a3, a4, a6, a7};
    case qhtShapeTriangle:
      runChecks(kTriangleChecks, a3, a4, a5, a6);
      return {a3, a4, a5};
    case qhtShapeSectorChord:
      runChecks(kChordChecks, a3, a4, a5, a6);
      return {a3, a4};
    default:
      *keep = false;
      return {};
  }
}

// A NaN or infinite corner would give an outline whose joints never meet:
// refuse it before anything is journalled or built.
void refuseNonFinite(const Point<double>* pts, int count) {
  for (int i = 0; i < count; ++i)
    if (!std::isfinite(pts[i].x) || !std::isfinite(pts[i].y))
      refuse(L"Invalid polygon point");
}

Bspline* line(Point<double> a, Point<double> b) { return new Bspline(&a, &b, false); }

Bspline* arc(Point<double> centre, Point<double> start, Point<double> end) {
  Point<double> normal(0.0, 0.0, 1.0);
  return new Bspline(&centre, &start, &end, &normal);
}

// The two points where the line P + t u meets the circle of radius r about
// C; 0 when it misses, else 1.
int intersectLineCircle(const Point<double>& P, const Point<double>& u, const Point<double>& C, double r,
                        Point<double> out[2]) {
  const double dx = P.x - C.x;
  const double dy = P.y - C.y;
  const double a = u.x * u.x + u.y * u.y;
  const double b = 2.0 * (u.x * dx + u.y * dy);
  const double c = dx * dx + dy * dy - r * r;
  const double disc = b * b - 4.0 * a * c;
  if (disc < 0.0 || a == 0.0)
    return 0;
  const double root = std::sqrt(disc);
  for (int i = 0; i < 2; ++i) {
    const double t = (-b + (i == 0 ? -root : root)) / (2.0 * a);
    out[i] = Point<double>(P.x + t * u.x, P.y + t * u.y, 0.0);
  }
  return 1;
}

// The angle a circular arc sweeps, in degrees, whichever way it runs (the
// end angles are counter-clockwise from start to end).
double arcSweepDeg(const Bspline* round, const Point<double>& centre, const Point<double>& start, double t0,
                   double t1) {
  double sweep = std::fabs(t1 - t0) / kDegToRad;
  if (round == nullptr)
    return sweep;
  Point<double> tangent;
  round->tangent(round->startParameter(), &tangent);
  if (cross(start - centre, tangent).z < 0.0)
    sweep = 360.0 - sweep;
  return sweep;
}

}  // namespace

CString CShapeAnalysis::getSectorTypeName(int k) {
  switch (k) {
    case 0: return L"qhtShapeSector";
    case 1: return L"qhtShapeSectorChord";
    case 2: return L"qhtShapeFillet";
    case 3: return L"qhtShapeTriangle";
    case 4: return L"qhtShapeParallelogram";
    case 7: return L"qhtShapeRectangle";
    case 8: return L"qhtShapeDisk";
    case 9: return L"qhtShapeAnnulus";
    case 10: return L"qhtShapeBlend";
    default: return CString();
  }
}

int CShapeAnalysis::getSectorType(CString n) {
  // Every name getSectorTypeName gives maps back, the annulus included.
  for (int k : {8, 3, 4, 2, 0, 1, 10, 7, 9})
    if (n == getSectorTypeName(k))
      return k;
  return -1;
}

int CShapeAnalysis::nSectorPoints(ShapeType k) {
  switch (k) {
    case qhtShapeSector:
    case qhtShapeFillet:
    case qhtShapeTriangle:
    case qhtShapeBlend:
      return 3;
    case qhtShapeSectorChord:
      return 2;
    case qhtShapeParallelogram:
    case qhtShapeRectangle:
    case qhtShapeAnnulus:
      return 4;
    default:
      return 0;
  }
}

void CShapeAnalysis::sector(CSubSection* sub, CXSectionAnalysis* model, CString& n, double x0, double y0, double a3,
                            double a4, double a5, double a6, double a7, ShapeType k, short origin, short dir,
                            double rotationDeg, bool hole) {
  m_name = n;
  parent = sub;
  const bool disk = k == qhtShapeDisk;
  // Point numbers count from 0: the message says so, and which numbers came.
  if (!disk && (origin < 0 || dir < 0 || origin == dir)) {
    CString text;
    text.Format(L"Origin and Direction must be two different point numbers from 0 to %d (origin %d and direction %d "
                L"given).",
                nSectorPoints(k) - 1, static_cast<int>(origin), static_cast<int>(dir));
    refuse(text.GetString());
  }
  bool keep = false;
  std::vector<double> kept = checkedArgs(k, a3, a4, a5, a6, a7, &keep);
  // The checks above compare with < and <=, which a NaN passes: refuse
  // non-finite numbers before they reach the outline.
  std::vector<double> used = k == qhtShapeBlend ? std::vector<double>{a3, a4, a6} : kept;
  used.insert(used.end(), {x0, y0, rotationDeg});
  for (double u : used)
    if (!std::isfinite(u))
      refuse(L"Invalid dimensions");
  if (!disk && (origin >= nSectorPoints(k) || dir >= nSectorPoints(k))) {
    CString text;
    text.Format(L"origin or direction is out of range: point numbers run from 0 to %d (origin %d and direction %d "
                L"given).",
                nSectorPoints(k) - 1, static_cast<int>(origin), static_cast<int>(dir));
    refuse(text.GetString());
  }
  if (keep)
    args = std::move(kept);
  originIndex = origin;
  directionIndex = dir;
  id = uniqueID();
  auxId1 = uniqueID();
  auxId2 = uniqueID();
  kind = k;
  boundary->sign(1);
  buildLocal(sub, x0, y0, a3, a4, a5, a6, a7, rotationDeg);
  if (k != qhtShapeSectorChord && !disk) {
    Point<double> target(x0, y0, 0.0);
    position(target, rotationDeg);
  }
  if (hole) {
    boundary->reverse();
    boundary->sign(-1);
  }
  model->addShapeToLists(sub, this);
  getSectorArgs();
}

void CShapeAnalysis::buildLocal(CSubSection* sub, double x0, double y0, double a3, double a4, double a5, double a6,
                                double a7, double rotationDeg) {
  using P = Point<double>;
  const double s = a6;
  std::vector<P> dotsAt;
  switch (kind) {
    case qhtShapeSector: {
      const P C(0, 0, 0), A = polar(a3, -s / 2.0), B = polar(a3, s / 2.0);
      appendArc(arc(C, A, B));
      appendArc(line(B, C));
      appendArc(line(C, A));
      definingPoints = {C, A, B};
      dotsAt = {A, B, C};
      break;
    }
    case qhtShapeFillet: {
      const double t = (180.0 - s) / 2.0;
      const P A = polar(a3, t), B = polar(a3, -t), C(2.0 * a3 * std::cos(t * kDegToRad), 0, 0);
      Bspline* round = arc(C, A, B);
      appendArc(round);
      round->reverse();
      // The corner, where the tangents at A and B meet on the x axis, in
      // closed form: a tangent taken from the arc is off by a step that
      // does not shrink with the radius.
      const double ct = std::cos(t * kDegToRad);
      const P X(a3 * (2.0 * ct * ct - 1.0) / ct, 0, 0);
      appendArc(line(A, X));
      appendArc(line(X, B));
      definingPoints = {X, B, A};
      dotsAt = {B, A, X};
      break;
    }
    case qhtShapeBlend: {
      const P P0(0, 0, 0), P1(a4, 0, 0), C(a4, a3, 0);
      P hits[2];
      if (intersectLineCircle(P0, polar(1.0, s), C, a3, hits) == 0)
        refuse(L"unable to create section");
      const P T = (hits[0] - P0).length() <= (hits[1] - P0).length() ? hits[0] : hits[1];
      Bspline* round = arc(C, T, P1);
      round->reverse();
      appendArc(round);
      if ((P1 - T).length() > 0.001 * a3) {
        appendArc(line(T, P0));
        appendArc(line(P0, P1));
      }
      definingPoints = {P0, P1, T, C};
      dotsAt = {C, P1, T, P0};
      break;
    }
    case qhtShapeParallelogram:
    case qhtShapeRectangle: {
      const P P0(0, 0, 0), P1(a3, 0, 0);
      P P2(a3, a4, 0), P3(0, a4, 0);
      if (kind == qhtShapeParallelogram) {
        P2 = P1 + P(a4 / std::tan((180.0 - a7) * kDegToRad), a4, 0);
        P3 = P0 + P(a4 / std::tan(a6 * kDegToRad), a4, 0);
        if (P2.x <= P3.x)
          refuse(L"Interior angles need to be adjusted; legs cross");
      }
      appendArc(line(P0, P1));
      appendArc(line(P1, P2));
      appendArc(line(P2, P3));
      appendArc(line(P3, P0));
      definingPoints = dotsAt = {P0, P1, P2, P3};
      break;
    }
    case qhtShapeTriangle: {
      const P P0(0, 0, 0), P1(a3, 0, 0), P2(a4, a5, 0);
      appendArc(line(P0, P1));
      appendArc(line(P1, P2));
      appendArc(line(P2, P0));
      definingPoints = dotsAt = {P0, P1, P2};
      break;
    }
    case qhtShapeAnnulus: {
      const double R = a3 + a4;
      const P O(0, 0, 0), I0(a3, 0, 0), O0(R, 0, 0), O1 = polar(R, s), I1 = polar(a3, s);
      appendArc(line(I0, O0));
      appendArc(arc(O, O0, O1));
      appendArc(line(O1, I1));
      Bspline* inner = arc(O, I0, I1);
      inner->reverse();
      appendArc(inner);
      definingPoints = dotsAt = {I0, O0, O1, I1};
      break;
    }
    case qhtShapeSectorChord: {
      const P P0(x0, y0, 0), P1 = P0 + polar(a4, rotationDeg);
      P n = cross(P(0, 0, 1), P1 - P0);
      n.normalize();
      const P M = (P0 + P1) * 0.5;
      const P C = M + n * (a3 * std::cos(std::asin(a4 / (2.0 * a3))));
      appendArc(arc(C, P0, P1));
      appendArc(line(P1, P0));
      definingPoints = {P0, P1};
      dotsAt = {C, P0, P1};
      break;
    }
    case qhtShapeDisk: {
      const P C(x0, y0, 0), E = C + P(a3, 0, 0), W = C - P(a3, 0, 0);
      appendArc(arc(C, E, W));
      appendArc(arc(C, W, E));
      definingPoints = dotsAt = {C};
      break;
    }
    default:
      break;
  }
  for (P& p : dotsAt)
    addDot(sub, p);
}

void CShapeAnalysis::getSectorArgs() {
  delete sectorArgs;
  sectorArgs = nullptr;
  auto* r = new ShapeSectorArgs();
  r->kind = kind;
  r->isHole = boundary->sign() == -1 ? 1 : 0;
  r->originNumber = originIndex + 1;
  r->directionNumber = directionIndex + 1;
  auto arg = [&](std::size_t i) { return i < args.size() ? args[i] : 0.0; };
  auto setOrigin = [&](const Point<double>& o) {
    r->originX = o.x;
    r->originY = o.y;
  };
  // The first circular arc: centre, ends and end angles.
  const Bspline* round = nullptr;
  POSITION pos = boundary->arcs().GetHeadPosition();
  while (pos && round == nullptr) {
    const Bspline* a = boundary->arcs().GetNext(pos);
    if (a->deg() == 2)
      round = a;
  }
  Point<double> centre, start, end, corner;
  double t0 = 0.0, t1 = 0.0;
  if (round != nullptr)
    round->circleArgs(&centre, &start, &end, &corner, &t0, &t1);
  const Point<double> first = boundary->nArcs() > 0 ? boundary->arcs().GetHead()->startPoint() : Point<double>();
  try {
    const bool directed = kind != qhtShapeSector && kind != qhtShapeFillet && kind != qhtShapeDisk;
    const double dirAngle = directed && !definingPoints.empty() ? directionDeg(direction()) : 0.0;
    switch (kind) {
      case qhtShapeSector:
      case qhtShapeFillet:
        setOrigin(definingPoint(originIndex));
        r->dim1 = arg(0);
        r->dim4 = arg(1);
        r->sweepDeg = arcSweepDeg(round, centre, start, t0, t1);
        r->rotationDeg = t0 / kDegToRad;
        break;
      case qhtShapeDisk:
        setOrigin(centre);
        r->dim1 = arg(0);
        r->dim5 = 360.0;
        break;
      case qhtShapeSectorChord:
        setOrigin(start);
        r->dim1 = arg(0);
        r->dim2 = arg(1);
        r->rotationDeg = dirAngle;
        break;
      case qhtShapeTriangle:
        setOrigin(first);
        r->dim1 = arg(0);
        r->dim2 = arg(1);
        r->dim3 = arg(2);
        r->rotationDeg = dirAngle;
        break;
      case qhtShapeParallelogram:
      case qhtShapeRectangle:
        setOrigin(first);
        r->dim1 = arg(0);
        r->dim2 = arg(1);
        r->dim4 = arg(2);
        r->dim5 = arg(3);
        r->rotationDeg = dirAngle;
        break;
      case qhtShapeAnnulus:
        setOrigin(origin());
        r->dim1 = arg(0);
        r->dim2 = arg(1);
        r->dim4 = arg(2);
        r->rotationDeg = dirAngle;
        break;
      case qhtShapeBlend:
        blendArgs(r, round, start, end, (start - centre).length());
        r->rotationDeg = dirAngle;
        break;
      default:
        break;
    }
  } catch (...) {
    delete r;
    throw;
  }
  sectorArgs = r;
}

void CShapeAnalysis::blendArgs(ShapeSectorArgs* r, const Bspline* round, const Point<double>& start,
                               const Point<double>& end, double radius) {
  // The blend's record: origin P0, dim1 the radius, dim2 the straight leg
  // that meets the arc, dim4 and dim5 the directions of the two legs (P0 to
  // P1 and P0 to the tangent point), so that the arguments can be shown again.
  if (definingPoints.size() >= 3) {
    r->originX = definingPoints[0].x;
    r->originY = definingPoints[0].y;
    r->dim4 = directionDeg(definingPoints[1] - definingPoints[0]);
    r->dim5 = directionDeg(definingPoints[2] - definingPoints[0]);
  }
  r->dim1 = round != nullptr ? radius : 0.0;
  if (round == nullptr)
    return;
  const bool hole = boundary->sign() == -1;
  POSITION pos = boundary->arcs().GetHeadPosition();
  while (pos) {
    const Bspline* a = boundary->arcs().GetNext(pos);
    if (a == round)
      continue;
    const Point<double> meet = hole ? a->startPoint() : a->endPoint();
    if ((meet - (hole ? end : start)).length() < 1e-5) {
      r->dim2 = a->arclength();
      return;
    }
  }
}

// ---- polygons and spline fits ----

void CShapeAnalysis::polygon(CSubSection* sub, CString n, Point<double>* pts, int count, int hole, CLog* log) {
  refuseNonFinite(pts, count);
  m_name = n;
  if (log != nullptr) {
    gLogMsg = L"Dim polygon As Quenholt.ArbitraryShape";
    log->logIt();
    gLogMsg.Format(L"Set polygon = xscn.AddArbitraryShape ( \"%s\",%d)", JournalQuotedText(n), hole != 0 ? 0 : 1);
    log->logIt();
    for (int i = 0; i < count; ++i) {
      gLogMsg.Format(L"polygon.AddPoint %g,%g", pts[i].x, pts[i].y);
      log->logIt();
    }
    gLogMsg.Format(L"polygon.LinearFit \"%s\"", JournalQuotedText(sub != nullptr ? sub->name() : CString()));
    log->logIt();
    gLogMsg = L"Set polygon = Nothing";
    log->logIt();
  }
  polygonOutline(pts, count, hole);
  for (int i = 0; i < count; ++i)
    addDot(sub, pts[i]);
  if (count >= 2 && (pts[count - 1] - pts[0]).length() > 1e-5)
    appendArc(line(pts[count - 1], pts[0]));
  if (vAveVAvezeze != nullptr)
    vAveVAvezeze->addShapeToLists(sub, this);
  if (sub != nullptr)
    sub->addChildShape(this);
}

void CShapeAnalysis::polygonOutline(Point<double>* pts, int count, int hole) {
  id = uniqueID();
  kind = qhtShapePolygon;
  auxId1 = auxId2 = 0;
  delete sectorArgs;
  sectorArgs = nullptr;
  for (int i = 0; i + 1 < count; ++i)
    appendArc(line(pts[i], pts[i + 1]));
  boundary->sign(hole != 0 ? -1 : 1);
}

void CShapeAnalysis::polygon(CString n, Point<double>* pts, int count) {
  refuseNonFinite(pts, count);
  m_name = n;
  polygonOutline(pts, count, 0);
  if (count >= 2 && (pts[count - 1] - pts[0]).length() > 1e-5)
    appendArc(line(pts[count - 1], pts[0]));
}

void CShapeAnalysis::polygon(CSubSection* sub, Bspline* a) {
  appendArc(a);
  for (int i = 0; i < a->nPts(); ++i) {
    Point<double> p = a->cpts(i);
    addDot(sub, p);
  }
}

void CShapeAnalysis::splineFit(Point<double>* pts, int count, int hole) {
  m_name = nameGen();
  id = uniqueID();
  kind = qhtShapePolygon;
  auxId1 = auxId2 = 0;
  delete sectorArgs;
  sectorArgs = nullptr;
  delete polygonArgs;
  polygonArgs = nullptr;
  appendArc(new Bspline(pts, count, 0, endCircle, nullptr, nullptr, false));
  boundary->sign(hole != 0 ? -1 : 1);
  for (int i = 0; i < count; ++i)
    addDot(parent, pts[i]);
  if (vAveVAvezeze != nullptr)
    vAveVAvezeze->addShapeToLists(vAveVAvezeze->currentSubSectionMutable(), this);
}

void CShapeAnalysis::addHead(Bspline* b) {
  const double shift = b->parmLength();
  b->setGlobal(0.0);
  POSITION pos = boundary->arcs().GetHeadPosition();
  while (pos) {
    Bspline* a = boundary->arcs().GetNext(pos);
    a->setGlobal(a->globalOffset() + shift);
  }
  appendArc(b);
}

void CShapeAnalysis::addSegment(Bspline* b) { appendArc(b); }

void CShapeAnalysis::advanceGlobal(double d) {
  POSITION pos = boundary->arcs().GetHeadPosition();
  while (pos) {
    Bspline* a = boundary->arcs().GetNext(pos);
    a->setGlobal(a->globalOffset() + d);
  }
}
