// One shape of a cross-section: a closed boundary (solid or hole) with a
// name, a kind, materials and, for the basic kinds, the defining points and
// arguments it was built from; its property integrals; its builders and
// transforms.
#pragma once

#include <memory>
#include <vector>

#include "analysis/geometry/Point.h"
#include "analysis/model/CBaseSubSection.h"

#include "platform/core/CList.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class Bspline;
class CArchive;
class CCompositeCurve;
class CLoadCondition;
class CLog;
class CMetal;
class CSubSection;
class CXSectionAnalysis;
class Matrix;

// The kind of a shape. 0-10 and 20 are basic kinds, 11-19 the formed and
// extruded sections, 21 the sub-section kind (also union shapes).
enum ShapeType : int {
  qhtShapeSector = 0,
  qhtShapeSectorChord = 1,
  qhtShapeFillet = 2,
  qhtShapeTriangle = 3,
  qhtShapeParallelogram = 4,
  qhtShapePolygon = 5,
  qhtShapeUnbuilt = 6,
  qhtShapeRectangle = 7,
  qhtShapeDisk = 8,
  qhtShapeAnnulus = 9,
  qhtShapeBlend = 10,
  qhtShapeExtrudedTee = 11,
  qhtShapeLastComplex = 19,
  qhtShapeCurve = 20,
  qhtShapeSubSection = 21,
};

// Analysis methods that may pick a shape's second material.
enum EnumAnalysisMethod : int { kMethod0 = 0, kMethod1 = 1, kMethod2 = 2, kMethod3 = 3 };

// Arguments of a basic shape, derived from its outline by getSectorArgs.
struct ShapeSectorArgs {
  double originX = 0.0, originY = 0.0;
  double dim1 = 0.0, dim2 = 0.0, dim3 = 0.0;
  double sweepDeg = 0.0;
  double dim4 = 0.0, dim5 = 0.0;
  CString label;
  int isHole = 0;
  int kind = 0;
  int originNumber = 0;
  int directionNumber = 1;
  double rotationDeg = 0.0;
};

// Points of a polygon shape (x and y used).
struct ShapePolygonArgs {
  ShapePolygonArgs() = default;
  ~ShapePolygonArgs();
  ShapePolygonArgs(const ShapePolygonArgs&) = delete;
  ShapePolygonArgs& operator=(const ShapePolygonArgs&) = delete;
  int value = 0;
  CList<Point<double>*> points;  // owned
};

// Serial class "CShapeAnalysis" (schema 1). The model owns every shape; the
// destructor removes the shape's dots from its sub-section and the shape from
// the model's list.
class CShapeAnalysis : public CObject {
  DECLARE_SERIAL(CShapeAnalysis)

 public:
  // ---- construction (construction and lifetime) ----
  // A shape with a generated name and a new empty boundary.
  CShapeAnalysis();
  // The same; the model is not kept.
  explicit CShapeAnalysis(CXSectionAnalysis* model);
  // A shape that owns the given boundary; generated name.
  explicit CShapeAnalysis(CCompositeCurve* curve);
  // Deep copy of other's boundary, kind, owner, material and defining points
  // with a new name and id; the copy's dots are added to other's owner and
  // to the current sub-section of the current model (either may be absent).
  explicit CShapeAnalysis(CShapeAnalysis* other);
  // Removes the dots and the model's reference (when owned), then frees the
  // boundary and the argument records.
  ~CShapeAnalysis() override;
  CShapeAnalysis(const CShapeAnalysis&) = delete;
  CShapeAnalysis& operator=(const CShapeAnalysis&) = delete;

  // ---- basic shapes (builders) ----
  // Builds a basic shape of that kind from its arguments, places it, and
  // registers it under sub in model. Bad arguments throw
  // COleDispatchException code 1 before anything is registered.
  void sector(CSubSection* sub, CXSectionAnalysis* model, CString& name, double x0, double y0, double a3,
              double a4, double a5, double a6, double a7, ShapeType kind, short originIndex,
              short directionIndex, double rotationDeg, bool hole);
  // Rederives the argument record from the outline.
  void getSectorArgs();
  // Name of a basic kind; "" for any other value.
  static CString getSectorTypeName(int kind);
  // Kind of a basic-kind name; -1 when unknown.
  static int getSectorType(CString name);
  // Number of defining points a builder gives the kind (0 for the disk).
  static int nSectorPoints(ShapeType kind);
  // A polygon shape in sub: journalled (when log is given), dotted and registered.
  void polygon(CSubSection* sub, CString name, Point<double>* pts, int n, int hole, CLog* log);
  // The same outline, sign +1, without journal, dots or registration.
  void polygon(CString name, Point<double>* pts, int n);
  // Appends arc to the boundary and dots its control points in sub.
  void polygon(CSubSection* sub, Bspline* arc);
  // One interpolating cubic through the points; registered in the current
  // sub-section (the caller sets the owner first).
  void splineFit(Point<double>* pts, int n, int hole);
  // Puts b in front of the boundary (offsets shifted by b's length).
  void addHead(Bspline* b);
  // Appends b to the boundary.
  void addSegment(Bspline* b);
  // Adds d to the parameter offset of every boundary arc.
  void advanceGlobal(double d);

  // ---- construction checks (throw std::logic_error when off by > 1e-6) ----
  // Defining point i (from 0) lies at (x, y).
  void checkPos(int i, double x, double y) const;
  // |P(i) - P(j)| equals d (points from 1).
  void checkDist(double d, int i, int j) const;
  // The angle at P(j) between P(i) and P(k) equals deg (points from 1).
  void checkAngle(double deg, int i, int j, int k) const;
  // The direction of P(j) - P(i) is deg degrees (points from 0; modulo 360).
  void checkRot(double deg, int i, int j) const;
  // The text of a failed construction check.
  static const char* constructionFailedText();

  // ---- transforms ----
  // Moves the boundary, its polygon, the defining points and three centroids by v.
  void translate(Point<double>* v);
  // Turns the boundary, its polygon and the defining points about c by deg
  // degrees; the owner's dots follow.
  void rotate(Point<double>* c, double deg);
  // Turns every arc about the x (y) axis through c; the current
  // sub-section's dots of the shape follow.
  void rotateX(Point<double>* c, double deg);
  void rotateY(Point<double>* c, double deg);
  // Turns every arc about the origin; the current sub-section's dots follow.
  void rotateZ(double deg);
  // Reflects the shape in the line through p with normal n. Throws
  // std::logic_error before changing anything when the owner or its model is
  // missing.
  void mirror(Point<double>* p, Point<double>* n);
  // Homogeneous transform of the boundary.
  void transform(Matrix& m);
  // Moves the shape so that its origin is at target and its direction points
  // at rotationDeg degrees; then orients it by its sign.
  void position(Point<double>& target, double rotationDeg);
  // Reverses the boundary.
  void reverse();
  // Reverses the boundary when its signed area and sign disagree.
  void orient();
  // After a mirror: origin 0, direction 1, points reordered by kind.
  void mirrorOrientationPoints();

  // ---- queries ----
  // The disk's centre, else defining point originIndex.
  Point<double> origin() const;
  // Defining point directionIndex minus the origin point.
  Point<double> direction() const;
  // Defining point i counted from 1.
  Point<double> pointCoord(int i) const;
  // dim1 of the argument record; -1 without one.
  double radius() const;
  // Angle at b between a and c in degrees.
  static double angle(Point<double>& a, Point<double>& b, Point<double>& c);
  // Sum of the arcs' lengths.
  double arcLength() const;
  double startParameter() const;
  double endParameter() const;
  // Boundary point at running parameter t (see the arc rule in the .cpp).
  void eval(double t, Point<double>* out) const;
  // Grows (lo, hi) by every arc's extents; start != 0 seeds them first.
  void extents(Point<double>* lo, Point<double>* hi, int start) const;
  // Centre of the extents box.
  void midPt(Point<double>* out) const;
  bool isInsideNotOn(Point<double>& p) const;
  bool isInsideOrOn(Point<double>& p) const;
  // The boundary has the hole sign.
  bool isNegative() const;
  // The signed area is positive.
  bool isCounterClockwise() const;
  // A new list of the points where the two boundaries meet (closer than
  // 1e-8 merged); the caller owns the list and the points.
  CList<Point<double>*>* intersection(CShapeAnalysis* other);
  bool inAnySection() const { return parent != nullptr; }
  // In the tree of the current model's root.
  bool inSection() const;
  // Held by the current sub-section.
  bool isCurrent() const;
  // The model has no phantom sub-section: always false.
  bool inPhantom() const { return false; }
  // A solid whose start point lies inside a generated hole of the current shapes.
  bool isPositiveInsideGeneratedNegative() const;
  CSubSection* subSection() const { return parent; }
  // p in axes turned by deg degrees.
  static Point<double> principalCoordinates(double deg, Point<double>& p);
  static Point<double> principalCoordinates(double deg, Point<double>& a, Point<double>& b);
  // Same kind and every arc of this boundary equals some arc of other's.
  bool operator==(const CShapeAnalysis& other) const;

  // ---- property integrals ----
  // The adaptive fan sum of one integrand over an arc (see FanIntegrator.h).
  using Integrand = double (CShapeAnalysis::*)(Bspline* arc, double ta, double tb, Point<double>* R);
  double integrate(Integrand f, Bspline* arc, Point<double>* R, int n, double t0, double t1);
  // Signed area (positive counter-clockwise); stores nothing.
  double area() const;
  // area, first moments about the origin and the four centroid points.
  void areaProperties();
  double calcArea();
  double areaA();
  double Marea();
  double nEarea();
  // Second moments about the origin.
  void axesInertias();
  // Second moments about s's area, modulus, mass and plastic reference points.
  void centroidInertias(CSubSection* s);
  void balanceOfInertia() {}
  // Sign-corrected values: a hole counts negative whatever its direction.
  double IxxA() const { return corrected(IxxAxis); }
  double IxyA() const { return corrected(IxyAxis); }
  double IyyA() const { return corrected(IyyAxis); }
  double IxxAC() const { return corrected(m_IxxAC); }
  double IxyAC() const { return corrected(m_IxyAC); }
  double IyyAC() const { return corrected(m_IyyAC); }
  double IrAC() const { return corrected(m_IrAC); }
  double IxxEC() const { return corrected(m_IxxEC); }
  double IxyEC() const { return corrected(m_IxyEC); }
  double IyyEC() const { return corrected(m_IyyEC); }
  double IxxMC() const { return corrected(m_IxxMC); }
  double IxyMC() const { return corrected(m_IxyMC); }
  double IyyMC() const { return corrected(m_IyyMC); }
  double SxAA() const { return corrected(m_Sx); }
  double SyAA() const { return corrected(m_Sy); }
  // The smaller principal value of the stored area-centroid moments (both).
  double IXXA() const;
  double IYYA() const;
  double Nxp() const { return m_Nxp; }
  double Nyp() const { return m_Nyp; }
  // Areas on the two sides of the line x = R.x (Xp) or y = R.y (Yp).
  void areasXp(Point<double>& R, double* above, double* below);
  void areasYp(Point<double>& R, double* above, double* below);
  // Areas and first moments about that line on its two sides.
  void PlasticModulusXp(Point<double>& R, double* areaAbove, double* momentAbove, double* areaBelow,
                        double* momentBelow);
  void PlasticModulusYp(Point<double>& R, double* areaAbove, double* momentAbove, double* areaBelow,
                        double* momentBelow);
  // New array (delete[] by the caller) of 41 samples per curved arc and the
  // end of every straight one, z holding the parameter; *count their number.
  Point<double>* computePolygon(int* count) const;
  // A stored property value by id; -1 for ids outside the table. Throws
  // std::logic_error "nPlastic is not computed." for a plastic id when
  // nPlastic() <= 0.
  double getValue(SectionValue id) const;
  // Material factors: modulus ratio and plastic weight (1 without a
  // material) and density (0 without one).
  double nE() const;
  double density() const;
  double nPlastic() const;
  // Integrand members (arc, ta, tb, R): the exact triangle values.
  double dA(Bspline* arc, double ta, double tb, Point<double>* R);
  double dSxAA(Bspline* arc, double ta, double tb, Point<double>* R);
  double dSyAA(Bspline* arc, double ta, double tb, Point<double>* R);
  double dIxx(Bspline* arc, double ta, double tb, Point<double>* R);
  double dIxy(Bspline* arc, double ta, double tb, Point<double>* R);
  double dIyy(Bspline* arc, double ta, double tb, Point<double>* R);
  double dIr(Bspline* arc, double ta, double tb, Point<double>* R);
  double dAxpAbove(Bspline* arc, double ta, double tb, Point<double>* R);
  double dAxpBelow(Bspline* arc, double ta, double tb, Point<double>* R);
  double dAypAbove(Bspline* arc, double ta, double tb, Point<double>* R);
  double dAypBelow(Bspline* arc, double ta, double tb, Point<double>* R);
  double dSxpAbove(Bspline* arc, double ta, double tb, Point<double>* R);
  double dSxpBelow(Bspline* arc, double ta, double tb, Point<double>* R);
  double dSypAbove(Bspline* arc, double ta, double tb, Point<double>* R);
  double dSypBelow(Bspline* arc, double ta, double tb, Point<double>* R);
  // Used by nothing: 0.
  double dNxp(Bspline*, double, double, Point<double>*) { return 0.0; }
  double dNyp(Bspline*, double, double, Point<double>*) { return 0.0; }
  double dSxpE(Bspline*, double, double, Point<double>*) { return 0.0; }
  double dSypE(Bspline*, double, double, Point<double>*) { return 0.0; }

  // ---- kind predicates ----
  bool isSector() const { return kind == qhtShapeSector; }
  bool isSectorChord() const { return kind == qhtShapeSectorChord; }
  bool isFillet() const { return kind == qhtShapeFillet; }
  bool isFilletChord() const { return kind == qhtShapeFillet; }
  bool isTriangle() const { return kind == qhtShapeTriangle; }
  bool isParallelogram() const { return kind == qhtShapeParallelogram; }
  bool isPolygon() const { return kind == qhtShapePolygon; }
  bool isRectangle() const { return kind == qhtShapeRectangle; }
  bool isDisk() const { return kind == qhtShapeDisk; }
  bool isAnnulus() const { return kind == qhtShapeAnnulus; }
  bool isBlend() const { return kind == qhtShapeBlend; }
  bool isExtrudedTee() const { return kind == qhtShapeExtrudedTee; }
  bool isBasicShape() const { return (kind >= 0 && kind <= 10) || kind == qhtShapeCurve; }
  bool isComplexShape() const { return kind >= 11 && kind <= 19; }
  bool isBulb() const { return supportKind == 0; }
  bool isSimpleSupport() const { return supportKind == 1; }

  // ---- materials ----
  std::shared_ptr<CMetal> material() const { return m_material; }
  void material(std::shared_ptr<CMetal> m) { m_material = std::move(m); }
  std::shared_ptr<CMetal> matl2() const { return m_matl2; }
  void matl2(std::shared_ptr<CMetal> m) { m_matl2 = std::move(m); }
  // matl2 when useMatl2[m] is set, else material; empty for m outside 0..3.
  std::shared_ptr<CMetal> matl(EnumAnalysisMethod m) const;

  // ---- dots ----
  // A dot of this shape at (p.x, p.y) in s.
  void addDot(CSubSection* s, Point<double>& p);
  // Dots at the defining points, else at the first control point of every arc.
  void addDots(CSubSection* s);

  // ---- storage ----
  // Stores or loads the shape's record; loading resolves the materials by
  // name through gModel and leaves a pending link to the owner's name.
  void Serialize(CArchive& ar) override;
  // The defining points and, for a basic kind, the argument record and the
  // arguments (the wrong direction is the archive's readOnly/writeOnly failure).
  void storeShapeArgs(CArchive& ar);
  void loadShapeArgs(CArchive& ar);
  // The polygon points and their value (count 0 without a polygon record).
  void storePolygonArgs(CArchive& ar);
  void loadPolygonArgs(CArchive& ar);

  // ---- name ----
  const CString& name() const { return m_name; }
  void name(const CString& n) { m_name = n; }

  // ---- data ----
  CSubSection* parent = nullptr;  // owner, not owned
  std::vector<Point<double>> definingPoints;
  int auxId1 = 0, auxId2 = 0;
  ShapeSectorArgs* sectorArgs = nullptr;    // owned
  ShapePolygonArgs* polygonArgs = nullptr;  // owned
  int id = 0;
  short originIndex = 0, directionIndex = 0;
  bool mark = false;  // the duplicate mark, kept right after the name

  // Property results of the integrals (snapshots).
  double m_area = 0.0, m_Sx = 0.0, m_Sy = 0.0;
  Point<double> centroidA, centroidE, centroidM, centroidP;
  double IxxAxis = 0.0, IxyAxis = 0.0, IyyAxis = 0.0, IrAxis = 0.0;
  double m_IxxAC = 0.0, m_IxyAC = 0.0, m_IyyAC = 0.0, m_IrAC = 0.0;
  double m_IxxEC = 0.0, m_IxyEC = 0.0, m_IyyEC = 0.0, m_IrEC = 0.0;
  double m_IxxMC = 0.0, m_IxyMC = 0.0, m_IyyMC = 0.0, m_IrMC = 0.0;
  double m_IxxPC = 0.0, m_IxyPC = 0.0, m_IyyPC = 0.0, m_IrPC = 0.0;
  double m_Nxp = 0.0, m_Nyp = 0.0;

  bool stateFlag = true;
  bool traversed = false;
  ShapeType kind = qhtShapeSector;
  int supportKind = 3;
  CCompositeCurve* boundary = nullptr;  // owned
  int flagBits = 0;
  int useMatl2[4] = {0, 0, 0, 0};
  std::vector<double> args;
  unsigned int displayList1 = 0, displayList2 = 0;  // GL list ids of the shape's records

  // ---- Elastic bending ----
  // Smallest and largest bending stress of the load condition along the
  // sampled boundary (the model's current sub-section's results, this
  // shape's material); *tAtExtreme is the parameter of the extreme found
  // last. Outputs untouched when the boundary gives no samples.
  void extremeBendingStress(CXSectionAnalysis* model, const CLoadCondition* lc, double* tAtExtreme,
                            double* minStress, double* maxStress) const;

 private:
  // Shared initialisation of the three plain constructors.
  void initEmpty(CCompositeCurve* curve);
  // Signed area of the boundary (positive counter-clockwise).
  double signedArea() const { return area(); }
  // v negated when the sign of the boundary and of the area disagree.
  double corrected(double v) const;
  // Appends an arc to the boundary.
  void appendArc(Bspline* arc);
  // The outline of a basic kind in its local frame (see sector).
  void buildLocal(CSubSection* sub, double x0, double y0, double a3, double a4, double a5, double a6, double a7,
                  double rotationDeg);
  // A new id, the polygon kind and the open chain of lines through the points.
  void polygonOutline(Point<double>* pts, int count, int hole);
  // Areas and first moments on the two sides of the line through R along
  // coordinate k (0: x = R.x, 1: y = R.y); moments are skipped when null.
  void plasticSides(Point<double>& R, int k, double* a1, double* q1, double* a2, double* q2);
  // The blend's part of the argument record.
  void blendArgs(ShapeSectorArgs* r, const Bspline* round, const Point<double>& start, const Point<double>& end,
                 double radius);
  // Defining point i (0-based); the invalid-argument failure when out of range.
  const Point<double>& definingPoint(int i) const;

  CString m_name;
  std::shared_ptr<CMetal> m_material;
  std::shared_ptr<CMetal> m_matl2;
};
