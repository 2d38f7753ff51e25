// One node of the section model's tree: its own shapes, child sub-sections,
// union shapes, meshes and welds, dots, construction and critical points,
// and the section properties of its subtree.
#pragma once

#include <array>
#include <deque>
#include <memory>
#include <vector>

#include "analysis/geometry/Point.h"
#include "analysis/model/CBaseSubSection.h"
#include "drevoline/mesh/MeshDisplaySource.h"
#include "drevoline/mesh/MeshTypes.h"
#include "drevoline/section/CShapeAnalysis.h"

#include "platform/core/CList.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CCompositeCurve;
class CDot;
class COpenGLView;
class CFENodeAnalysis;
class CFEQuad4;
class CFETrng3;
class CMaterialMaxMinValues;
class CMetal;
class CMesh;
class CPointForce;
class CSectionForces;
class CShapeAnalysis;
class CWeld;
struct PlasticCurve;
class CXSectionAnalysis;
class DspRecord;

using ShapeList = CList<CShapeAnalysis*>;

// The exchange frame of the last IGES export of a sub-section: its origin,
// a point one unit below it along the normal and a point one unit along the axis.
struct IgesFrame {
  bool defined = false;
  Point<double> origin;
  Point<double> firstPoint;
  Point<double> secondPoint;
};

// Serial class "CSubSection" (schema 3, versionable). The sub-section owns
// its children, meshes, welds, dots and points; the model owns the shapes.
class CSubSection : public CBaseSubSection, public MeshDisplaySource {
  DECLARE_SERIAL(CSubSection)

 public:
  // ---- construction and destruction ----
  // Empty, kind 21, point indices -1, properties out of date; no model, no parent.
  CSubSection();
  // The same for model under parent (the parent is not told).
  CSubSection(CXSectionAnalysis* model, CSubSection* parent);
  // Deletes the children, removes this name from the model's lists, then
  // deletes the meshes, welds, construction points and the union list.
  ~CSubSection() override;

  // ---- Plastic bending, Cozzone, Ramberg-Osgood and shear ----
  // Stress of the metal's Ramberg-Osgood curve at |strain| (tension or
  // compression values, L or LT), found by bisection; negated for a negative
  // strain. Throws std::logic_error for an inconsistent metal or no convergence.
  double solveRambergOsgoodForStress(const CMetal* const metal, double strain, bool tension, bool L) const;
  // The same on the single metal of the section (L values, tension for
  // strain >= 0); "Applies to single material only" without one.
  double solveStressGivenStrain(double strain, bool unused) const;
  // Newton solution of s / E + 0.002 (s / Fy)^n = |strain|, with the single
  // metal's exponent of the current branch when there is one, else n;
  // negated when strain is not positive.
  double solveStressGivenStrain(double Fy, double strain, double E, double n) const;
  // Tanabe's value fo of the Cozzone stress at the neutral axis for the
  // extreme-fibre stress F on the single metal.
  double foTanabe(double F, bool tension) const;
  // Ramberg-Osgood exponent from the single metal's ultimate strain.
  double calcN() const;
  // The single metal's exponent below or above yield for the stress s
  // (which 0 tension, 1 compression); -99999 otherwise.
  double databaseN(int which, double s) const;
  // Whether every shape dot has a mirror dot about the horizontal (aboutX)
  // and vertical (aboutY) lines through the modulus-weighted centroid.
  void isSymmetricAboutECGPrincipalAxes(bool* aboutX, bool* aboutY) const;
  // Cozzone: fb = F + (k - 1) fo (x 0.1 in SI), M = fb S; fo from Tanabe
  // or given.
  void cozzoneMethodSoln(double k, double F, double S, bool tension, double* M, double* fb) const;
  void cozzoneMethodSolnGivenfo(double F, double fo, double k, double S, double* M, double* fb) const;
  // The trapezoidal Cozzone stress into result `kind` of the FE nodes on the
  // tension (or compression) side of the line through naPoint at angle
  // degrees; fb is not used.
  void cozzoneStresses(double fo, double F, double fb, Point<double>& naPoint, double angle, RESULTS kind,
                       bool tensionSide);
  // Cozzone's solution for a section symmetric about its principal x axis:
  // the "Cozzone" load condition, node stresses and the shear correction.
  // The geometry is left as it was, whatever happens.
  void cozzoneMethodSolnsGivenfo(double F, double fo);
  // Cozzone's solution with the neutral axis at height y (unsymmetric
  // sections), for the compression strain `strain`.
  void cozzoneUnsymmetricMethod(double y, double strain);
  // Ratio of the actual to the linear force above the neutral axis and the
  // first moment Q of that part.
  void shearCorrectionFactor(double c, Point<double> naPoint, double angle, double f, RESULTS kind, double* ratio,
                             double* Q) const;
  // V ratio Q / (I b) with the kept ratio and Q (x 10 in SI).
  double cozzoneShear(double V, double b, bool unused) const;
  // First moment of the shape about the neutral axis of the load condition;
  // std::logic_error "Load condition not found" for an unknown name.
  double shapeQ(CString loadCondition, CShapeAnalysis* shape);
  // V Q / (I b) with I the modulus-weighted second moment (value 76).
  double shapeVQIxb(CString loadCondition, CShapeAnalysis* shape, double V, double b);

  // Fully plastic neutral axis of the meshed section for the search along
  // y (a vertical line) or along x, in the present pose (principal: the
  // caller turned the section into its principal axes); stores the plastic
  // values of the pair and returns the sum of the halves' weighted areas.
  double solvePlasticValues(bool alongY, bool principal);
  // The centroidal plastic moduli scaled to the applied moment's direction.
  void plasticAnalysisScaleMomentsToMaximum(CSectionForces* sf);
  // Node strains of the linear field through sf's neutral axis (strain at
  // `distance`) and their Ramberg-Osgood stresses.
  void calcPlasticStressesAtNodes(CSectionForces* sf, double distance, double strain, bool L);
  // Force and moments of the Ramberg-Osgood stresses of the linear strain
  // field through naPoint at angle degrees (strain at `distance`).
  void solvePlasticBendingForces(Point<double> naPoint, double angle, double distance, int unused, double strain,
                                 Point<double>& point, bool L, double* force, double* momentNA, double* Mx,
                                 double* My);
  // Resultants of the node stresses about sf's neutral-axis point.
  void computeResultantBendingForces(CSectionForces* sf);
  // Bruhn's method: the neutral axis at angle degrees moves until the
  // force is P; the strains at the extreme nodes go to the out-parameters.
  std::shared_ptr<CLoadCondition> solveBruhnPlasticBending(CString name, double angle, int unused, bool L, double P,
                                                           double* tensionStrain, double* compressionStrain);
  // Bending with the neutral axis through the centroid, normal to point -
  // centroid, moved until the force vanishes; strain at point.
  std::shared_ptr<CLoadCondition> solvePlasticBendingForCentroid(CString& name, Point<double> point, double strain,
                                                                 int unused, bool L);
  // Bending whose resultant moments have the ratio of forces' Mx / My.
  std::shared_ptr<CLoadCondition> solvePlasticBendingForAngleCentroid(CString name, CSectionForces* forces, bool L);
  // The mesh branch of the section properties: plastic values for both
  // searches in model and principal axes; a mesh that misses the outline
  // by more than 0.1 % is reported and the values are left alone.
  void plasticValuesFromMesh();

  // The values of one (search direction, axes) pair of solvePlasticValues.
  struct PlasticValues {
    double axis = 0.0;  // position of the plastic neutral axis
    // Named "plastic section modulus" but it is Fy Z: the yield-weighted
    // area of one half times the distance between the half centroids.
    double plasticModulus = 0.0;
    double halvesMoment = 0.0;  // |c1| A1 + |c2| A2 (weighted areas)
    double shapeFactor = 0.0;
    double yieldMoment = 0.0;   // S Fy
    double areaMoments[2] = {0.0, 0.0};  // split outputs 5 and 11, or 6 and 12
  };
  // [alongY][principal].
  PlasticValues plasticValues[2][2];
  // Kept by the Cozzone solutions.
  double cozzoneMoment = 0.0, cozzoneFb = 0.0;
  double cozzoneLimitingStrain = 0.0;
  double shearRatio = 0.0, shearQ = 0.0;
  bool symmetricAboutX = false, symmetricAboutY = false;
  int resultKind = 0;
  // Where the principal plastic neutral axes of the mesh meet (model axes).
  Point<double> plasticResultPoint;

  // Records the moves and turns made through it and undoes them, last
  // first, when it goes out of scope, so that the geometry and the
  // properties flag are as they were however the scope is left.
  class PoseGuard {
   public:
    explicit PoseGuard(CSubSection* s) : m_s(s), m_utd(s->propertiesUpToDate) {}
    PoseGuard(const PoseGuard&) = delete;
    PoseGuard& operator=(const PoseGuard&) = delete;
    ~PoseGuard() { restore(); }
    void translate(Point<double> d);
    // rotate (all: rotateAll) about (x, y) by angle degrees.
    void rotate(double x, double y, double angle, bool all = false);
    // Undoes everything recorded so far.
    void restore();

   private:
    struct Step {
      bool turn;
      bool all;
      Point<double> p;
      double angle;
    };
    CSubSection* m_s;
    bool m_utd;
    std::vector<Step> m_steps;
  };

  // ---- storage ----
  // Stores layout version 3, or loads versions 1 to 3: the tree and own
  // shapes by name (resolved by the model's read), the union shapes, meshes,
  // welds, kind arguments, load conditions, critical and construction points.
  void Serialize(CArchive& ar) override;

  // ---- accessors ----
  CSubSection* parent() const { return m_parent; }
  void parent(CSubSection* p) { m_parent = p; }
  CXSectionAnalysis* scn() const { return m_model; }
  void scn(CXSectionAnalysis* model) { m_model = model; }
  std::shared_ptr<CLoadCondition> appliedLoad() const { return currentLoadCondition; }
  ShapeList* getUnionShapes() const { return unionShapes; }
  // Section kind 11 to 19.
  bool isFormedOrExtrudedSection() const { return sectionKind >= 11 && sectionKind <= 19; }
  // The first union shape is a complex shape; false without a union.
  bool isComplexShape() const;
  // Kind 11 needs a first union shape of at least two vertices
  // (invalid-argument exception); changes nothing.
  void getArguments() const;

  // ---- tree ----
  // Appends c to the children and makes this its parent.
  void addChildSubSection(CSubSection* c);
  // Erases every child entry equal to c (c is not deleted).
  void removeChildSubSection(CSubSection* c);
  // The child named oldName is renamed newName.
  void renameChild(CString& oldName, CString& newName);
  // 0 for the model's current sub-section's name, else the 1-based place of
  // the first child of that name; -1 when none.
  int sequenceNumber(CString& name) const;
  // Removes every child entry of this name from every sub-section of the model.
  void removeReferences();
  // Moves the child with c's name one place toward the front.
  void bringForwardChildSubSection(CSubSection* c);

  // ---- shape lists ----
  // Appends s and makes this its owner unless an own shape has s's name.
  void addChildShape(CShapeAnalysis* s);
  // Appends s (with the attribute bits) unless s is already an own shape.
  void addShape(CShapeAnalysis* s);
  // Remove s (pointer identity) from the own shapes.
  void removeChildShape(CShapeAnalysis* s);
  void removeShape(CShapeAnalysis* s);
  void removeSubsectionShape(CString unused, CShapeAnalysis* s);
  // Removes s from the union shapes, the own shapes and every child's lists.
  void removeShapeFromLists(CShapeAnalysis* s);
  // Clears the owner of every shape of the subtree.
  void removeShapeSubsectionReferences(CString unused);
  // Deletes the records that refer to s and forgets s's display lists.
  void removeShape(CList<DspRecord*, DspRecord*>* records, CShapeAnalysis* s) const;
  // 1 when s is an own shape, else 0.
  int contains(CShapeAnalysis* s) const;
  int usesShape(CShapeAnalysis* s) const { return contains(s); }
  // First own shape of that name; null when none.
  CShapeAnalysis* findShape(CString name) const;
  // A shape of s's name is among this sub-section's shapes or a child's subtree.
  bool hasShape(CShapeAnalysis* s) const;
  // First shape of that name in getShapesRecursive(); null when none.
  CShapeAnalysis* searchShape(CString name) const;
  // s is in getShapesRecursive().
  bool isCurrentShape(CShapeAnalysis* s) const;
  // A shape of the subtree has that kind and its origin within 1e-5 of p
  // (shapes without defining points are skipped).
  bool shapeExist(ShapeType kind, Point<double>* p) const;
  // Move s to the head (drawn first) or tail (drawn last) of its list.
  void moveBack(CShapeAnalysis* s);
  void moveFront(CShapeAnalysis* s);
  // Does nothing.
  void verifyAllShapes() const {}

  // ---- traversal (new lists owned by the caller) ----
  // A copy of the union list when there is one; null with no own shapes;
  // else a copy of the own shapes.
  std::unique_ptr<ShapeList> getShapes() const;
  // Appends the union shapes while a union is on, else the own shapes and
  // then each child's, depth first.
  void getSubSectionShapes(ShapeList* out) const;
  // A new list filled as by getSubSectionShapes.
  std::unique_ptr<ShapeList> getShapesRecursive() const;
  std::unique_ptr<ShapeList> myShapes(CString&) const { return getShapes(); }
  int nShapes() const;
  int nAnnuluses() const;
  int nBlends() const;
  int nDisks() const;
  int nFillets() const;
  int nParallelograms() const;
  int nPolygons() const;
  int nRectangles() const;
  int nSectorChords() const;
  int nSectors() const;
  int nTriangles() const;
  bool isChunky() const { return nShapes() > 0; }
  bool isThickSection() const { return nShapes() > 0; }
  // Clears the traversed mark of every shape of the subtree.
  void clearTraversedShapes();
  // The first shape whose mark was clear; marks passed on the way are cleared.
  CShapeAnalysis* nextUntraversedShape();
  // Two different shapes of the subtree compare equal.
  bool duplicatesExist() const;
  // Deletes the shapes equal to the first shape of the subtree.
  void removeDuplicates();
  // While a union is on: clockwise union shapes become holes.
  void checkForHoles();
  // Bounding box of the subtree's shapes.
  void extents(Point<double>* min, Point<double>* max) const;
  errMsg extents(Point<double>* min, Point<double>* max, bool) const;
  // Cross product of the first shape's first arc's start and end points.
  Point<double> planeNormal() const;
  // p is inside or on a shape of the subtree.
  bool isInsideOrOn(Point<double>& p) const;

  // ---- dots, construction points, critical points ----
  // A construction point at (x, y, 0) unless one lies within 1e-5.
  void addConstructionPoint(double x, double y);
  // The dot of s within 1e-5 of (x, y, 0), else a new dot of style 32.
  CDot* addDot(double x, double y, CShapeAnalysis* s);
  // A critical point at p with that allowable and actual value 999.
  void addCriticalPoint(Point<double>& p, double allowable);
  // The dots of s, in order (still owned here).
  std::unique_ptr<std::vector<CDot*>> getShapeDots(CShapeAnalysis* s) const;
  // Deletes every dot of s.
  void removeShapeDots(CShapeAnalysis* s);
  // Deletes every shape dot, then lets every shape of the subtree add its dots.
  void refreshDots();
  void translateShapeDots(CShapeAnalysis* s, Point<double>* d);
  void mirrorShapeDots(CShapeAnalysis* s, Point<double>* a, Point<double>* n);
  void rotateShapeDots(CShapeAnalysis* s, Point<double>* c, double angle);
  void rotateXShapeDots(CShapeAnalysis* s, Point<double>* c, double angle);
  void rotateYShapeDots(CShapeAnalysis* s, Point<double>* c, double angle);

  // ---- duplication ----
  // A mirrored copy of s (marked, named newName unless empty), listed in the
  // current model unless it holds the name; not added to any sub-section.
  CShapeAnalysis* MirrorDuplicate(CShapeAnalysis* s, CString newName, double x1, double y1, double x2, double y2);
  // A copy of s named newName turned about (x, y) by angle degrees.
  CShapeAnalysis* rotateDuplicateShape(CShapeAnalysis* s, CString newName, double x, double y, double angle);
  // A copy of s named newName moved by d.
  CShapeAnalysis* translateDuplicateShape(CShapeAnalysis* s, CString newName, Point<double>* d);

  // ---- transforms ----
  void translate(double dx, double dy);
  // translate(d.x, d.y), then the centroids and the reference point move too.
  void translate(Point<double>* d);
  void rotate(double x, double y, double angle);
  // rotate, then the principal extreme-fibre points; the geometry changed.
  void rotateAll(double x, double y, double angle);
  void rotateAllX(double a, double b, double angle);
  void rotateAllY(double a, double b, double angle);
  void translateRotateZ(Point<double>* p, double angle);
  // Mirrors the union and own shapes (with the kind fix-ups) and the meshes.
  void mirror(Point<double>& a, Point<double>& n);

  // ---- union (built with the boolean union) ----
  // Replaces the union shapes by the union of the subtree's outlines. Throws
  // std::logic_error "Attempting to combine objects of differing materials"
  // and "Union operation failed", leaving the sub-section as it was.
  void Union(int maxCircuits);
  // Removes the old union, then makes one union shape of each curve (taken
  // out of the list, owned by the shapes); no curves leave the union off.
  void createUnion(CList<CCompositeCurve*>* curves, std::shared_ptr<CMetal> metal);
  // Deletes the union shapes and re-attaches the own shapes; the meshes go.
  void removeUnion();
  // A union list exists and holds shapes; throws "Mess in Subsection" for an empty one.
  bool isUnionOn() const;
  // s is a union shape.
  bool isUnionShape(CShapeAnalysis* s) const;
  // The material of the first union shape (empty without a union).
  std::shared_ptr<CMetal> material() const;
  // Gives the material to every union shape.
  void material(std::shared_ptr<CMetal> metal);

  // ---- meshing ----
  // Meshes one shape into a mesh named like it, appended to the meshes
  // (existing ones stay); composes the journal line into gLogMsg. n extra
  // nodes and spacing d go to the mesher, c only to the journal; the
  // budget is max(e, f); f < 0 reports the mesh statistics in message boxes.
  void meshShape(CShapeAnalysis* shape, ELEMENT_TYPE type, int n, double c, double d, int e, int f);
  // Replaces the meshes by meshes of the union: one per solid with the holes
  // inside it, named "<name>", "<name>_2", ...; the material and the hole
  // count (at most 100) are checked before the old meshes go.
  void meshSubSection(ELEMENT_TYPE type, int n, double c, double d, int e, int f);
  // Joins all meshes into one named "root"; "merge of meshes failed" unless
  // exactly one remains.
  void merge();
  // Keeps a weld over the box of the two corners when it joins at most two
  // meshes' boundaries; false (and nothing kept) otherwise.
  bool createWeld(Point<double>& corner1, Point<double>& corner2);
  // Names the weld's two meshes and sets its tolerance from the boundary
  // segments in its box; false when none or more than two meshes are met.
  bool findMeshes(CWeld* weld);
  // Merges the meshes, applies every weld (a failure is shown and ends the
  // loop), deletes the welds and rebuilds the element model.
  void executeWelds();

  // ---- display ----
  // Every shape of the subtree: its old records leave the list, new fill and
  // outline records are appended.
  void displayShapes(CList<DspRecord*, DspRecord*>* list, COpenGLView* view) const;
  // Fill record (priority 3, hole 4, inside a generated hole 5) and, except
  // for bulbs and simple supports, outline record of the shape, on fresh
  // display lists; "Parent object not defined" for a shape without owner.
  void displayShape(CShapeAnalysis* shape, CList<DspRecord*, DspRecord*>* list, COpenGLView* view) const;
  // The record "showWelds": translucent boxes of the welds with outlines.
  DspRecord* showWelds() const;
  // Names the union (or each own shape) at an interior point in red, then
  // every child does the same.
  void displayIDs(COpenGLView* view) const;

  // ---- meshes ----
  // Deletes every mesh of that name (the rest keep their order).
  void deleteMesh(const CString& name);
  // Deletes every mesh.
  void deleteMesh();
  // Deletes the meshes a meshSubSection of a sub-section named name makes:
  // name itself and name_k for k >= 2.
  void deleteSubSectionMeshes(const CString& name);
  // The first mesh of that name; null when none.
  CMesh* getShapesMesh(CString name) { return findMeshMutable(name); }
  bool hasMesh(const CString& name) const { return findMesh(name) != nullptr; }
  // A mesh is held, or every shape of the subtree has a mesh of its name.
  bool isMeshed() const;
  // Box of the meshes: the first sets min and max, the rest widen x and y.
  void meshExtents(Point<double>& min, Point<double>& max);
  // The first element whose box holds p strictly inside and that contains
  // p; null when none (a point on an element's box is not found).
  CFETrng3* findTrng3Element(Point<double>* p);
  CFEQuad4* findQuad4Element(Point<double>* p);
  void renameMesh(const CString& oldName, const CString& newName);
  CMesh* findMeshMutable(const CString& name);
  const CMesh* findMesh(const CString& name) const;
  // Gives the mesh a new name (its own and its records').
  static void updateMeshName(CMesh* mesh, const CString& name);

  // ---- Result extremes ----
  // Largest and smallest value of kind over the FE nodes of the meshes, in
  // mesh and node order (a node where materials meet counts once per element
  // result; only a strictly better value replaces, so ties keep the first).
  // They go to resultMax and resultMin (from -1e20 and 1e20) and, with sf,
  // to its node pointers (cleared first) and its stress (kind 3) or strain
  // (kind 4) extremes and their points. Without any FE node an elastic
  // record (kinds 4 and 5) takes them from the shapes' boundary samples (no
  // node pointers); any other record keeps its values.
  void maxmin(CSectionForces* sf, RESULTS kind);
  double resultMax = -1e20;  // largest value of the last maxmin
  double resultMin = 1e20;   // smallest value of the last maxmin
  RESULTS displayedResult = STRESS_ZZ;  // the result kind the view shows
  double zeroLineLength = 0.0;          // of the last triangle contour picture

  // ---- result display ----
  // What the meshes' contour pictures read and write (MeshDisplaySource):
  // the displayed kind, the range of the last maxmin, the applied load
  // condition's section forces (null without one) and the zero line.
  RESULTS contourResult() const override { return displayedResult; }
  double contourLow() const override { return resultMin; }
  double contourHigh() const override { return resultMax; }
  CSectionForces* contourForces() const override;
  void contourZeroLine(double length) override { zeroLineLength = length; }
  // The record "CSubSection::displayLinePlot" (type 0x40000000, flag
  // 0x20000000, no colour) on a fresh list: bars of the result of kind
  // along the line p1-p2 over every triangle element it crosses, at right
  // angles to the line, scaled by the range of maxmin(applied forces,
  // kind) to 0.6 x the diagonal of the extents. Null when no OpenGL
  // context is current.
  DspRecord* displayLinePlot(Point<double>& p1, Point<double>& p2, RESULTS kind);

  // ---- properties state ----
  bool scnPrpUTD() const { return propertiesUpToDate; }
  // Sets the flag; out of date also reaches every ancestor, whose sums
  // include this subtree.
  void scnPrpUTD(bool utd);

  // ---- section properties ----
  // The value of that id; "Invalid value type" (dispatch exception, code 1)
  // for an id outside the table.
  double getValue(SectionValue id) const override;
  // Stores v for the settable ids; others are ignored.
  void setValue(SectionValue id, double v);
  // Smallest Young's modulus of the shapes' materials (1 when one has none).
  double Emin() const override;
  // Every shape has a material with a density above 0.
  bool isDensityDefined() const override;
  // Every solid shape has a material with Fcy above 0.
  bool isFcyDefined() const override;
  // Shows the busy cursor; refreshes the material ratios; with shapes and
  // properties out of date sums them. Failures leave the flag clear.
  void compute(bool checkMaterials, int method, bool unused);
  // Refreshes the used metals' stiffness, then computes. A zero area or a
  // singular material is shown in a message box and reported as false.
  bool computeProperties();
  errMsg updateScnPrp(int method, bool b);
  // Clears the flag and computes again; false when that failed.
  bool forceRecalcProperties();
  void thickSectionProperties();
  void areaFirstMomentsCG();
  void discontiguousInertias();
  void calcPrincipalAngle();
  void calcIXXIYY();
  void radiusGyrations();
  void elasticSectionModulii();
  // Extremes of the solid shapes' boundaries about the area centroid, in
  // the model axes or (principal) in the modulus-weighted principal axes.
  // Nothing is moved.
  void extremeFibersFromCG(Point<double>* min, Point<double>* max, bool principal) const;
  // The same in the geometric principal axes; the two extreme points, back
  // in model axes, become the principal extreme-fibre points.
  void principalExtremeFibersFromCG(Point<double>* min, Point<double>* max);
  void principalPropertiesThick();
  double EA() const { return Emin() * getValue(18); }
  double EIXX() const { return Emin() * getValue(141); }
  double IxxEC() const { return 0.0; }
  double Mxp() const;
  double aspect() const;
  double principalAnglePlastic() const { return m_values[177]; }
  // Modulus ratios (E / Emin with several materials, else 1) into extra1.
  void computeERatios();
  // Plastic weights (yield / smallest yield with several materials, else 1) into extra2.
  void computePlasticRatios(bool L);
  // Plastic section moduli about the equal-area axes (model or principal axes).
  void calcPlasticModulii(bool principal);
  // Material queries over the subtree's shapes.
  bool isMaterialDefined() const;
  bool isMultipleMaterials() const;
  bool isSingleMaterial() const { return singleMaterial() != nullptr; }
  std::shared_ptr<CMetal> singleMaterial() const;
  bool isYieldsDefined() const;
  // Every positive shape has a material with Fcu and Ftu of at least 1.
  bool isUltimateDefined() const;
  // No material met before the first shape without one has Fty (Fcy) or
  // Ftu (Fcu) of 0 or less; the first shape without a material ends the
  // walk as true.
  bool isTensionLAllowablesDefined() const;
  bool isCompressionLAllowablesDefined() const;
  // Both of the two above.
  bool isTensionCompressionYieldsUlimatesDefined() const;
  // Every positive shape has a material whose L tension and L compression
  // cases (0 and 2) have alpha, nYield and nUltimate above 0.
  bool isRambergOsgoodParametersDefined() const;
  double minYield(bool L) const;

  // Elastic section moduli: about the centroidal axes (x from value 60, y
  // from 62) and the principal axes (from 145 and 146).
  double elasticModulusX = 0.0, elasticModulusY = 0.0;
  double elasticModulusXp = 0.0, elasticModulusYp = 0.0;
  // Plastic section moduli about the equal-area axes: Zx from the split
  // along x (pairs with value 60), Zy along y (with 62); the point where the
  // two axes meet.
  double plasticZx = 0.0, plasticZy = 0.0;
  Point<double> plasticCentroid;
  Point<double> principalPlasticCentroid;

  // ---- data ----
  ShapeList shapeList{10};            // own shapes, not owned
  std::vector<CWeld*> welds;          // owned
  CString lastComputationName;
  bool propertiesUpToDate = false;
  CString auxText;
  std::vector<CMesh*> meshes;         // owned
  int shapeAttributeBits = 0;
  int sectionKind = 21;
  int originPointIndex = -1;
  int directionPointIndex = -1;
  std::vector<double> kindArguments;
  std::vector<int> intArray;
  ShapeList* unionShapes = nullptr;   // owned list, shapes not owned here
  std::deque<CSubSection*> children;  // owned
  IgesFrame igesFrame;                 // set by the IGES writer, not stored
  std::vector<CDot*> constructionPoints;  // owned
  Point<double> principalFiber1;
  Point<double> principalFiber2;
  // Centroids of the section properties (the modulus-weighted one is the
  // base's centroid) and the plastic reference point.
  Point<double> areaCentroid;
  Point<double> densityCentroid;
  Point<double> referencePoint;

  // ---- Elastic bending ----
  // Unrestrained elastic bending: recomputes the properties, takes or makes
  // the section-forces load condition `name` (applied from then on), fills
  // its forces (kind 4) and results; returns its section forces. Throws
  // std::logic_error when a mesh has quadrilaterals or the properties fail.
  CSectionForces* applyUnrestrainedBendingForces(CString name, double P, double Mx, double My, bool L);
  // The same for a moment M whose neutral axis is held at `angle` degrees (kind 5).
  CSectionForces* applyRestrainedBendingForces(CString name, double P, double angle, double M, bool L);
  // Stress and strain of every FE node (per element where materials meet)
  // and the yield and ultimate warnings. Throws std::logic_error "Section
  // properties are not up to date." and for quadrilateral meshes.
  void applyElasticBendingForces(CSectionForces* sf);
  // Neutral-axis angle and the moment about it of the applied (false) or
  // the resultant (true) moments; the total moment is always the applied one.
  void calcNeutralAxisAngle(CSectionForces* sf, bool resultant) const;
  // Mx and My of a moment M whose neutral axis lies at `angle` degrees.
  void calcRestrainedMoments(CSectionForces* sf, double angle, double M) const;
  // The first mesh that finds a zero-stress point sets sf's neutral point;
  // false (point untouched) when none does.
  bool computePointOnNeutralAxis(CSectionForces* sf);
  // The applied forces' resultant neutral-axis angle from the last mesh.
  void findNeutralAxisAngle();
  // Force, moments, magnitude, direction and neutral axis of the stress field.
  void computeResultantElasticBendingForces(CSectionForces* sf) const;
  // Force and moments of the stress field about the elastic centroid, with
  // the signs of the applied moments (no unit factor).
  void calcResultantMomentsForces(double* Mx, double* My, double* P) const;
  // The elastic stress at (x, y) in metal m (modulus ratio 1 without one);
  // times 10 in SI. Throws std::logic_error for singular second moments.
  double pointElasticBendingStress(const CSectionForces* sf, double x, double y, const CMetal* m) const;
  // The analysed stress or strain at (x, y) for kinds 4 to 6; throws
  // std::logic_error "Section Force type is not recognized" otherwise.
  double pointBendingStress(const CSectionForces* sf, double x, double y, const CMetal* m);
  double pointBendingStrain(const CSectionForces* sf, double x, double y, const CMetal* m);
  // The analysed stress or strain at (x, y) (getResultsAtLocation).
  double pointElasticBendingStress(double x, double y);
  double pointElasticBendingStrain(double x, double y);
  double pointPlasticBendingStress(double x, double y);
  double pointPlasticBendingStrain(double x, double y);
  // Interpolated in the containing triangle (its metal's name too), else
  // the closest node's values; zeros without nodes.
  void getResultsAtLocation(double x, double y, double* stress, double* strain, CString& materialName);
  // The metal of the containing triangle, else of the closest node; null without.
  CMetal* getMaterialAtLocation(double x, double y);
  // The node nearest to p (first of equals); null without nodes.
  CFENodeAnalysis* findClosestNode(Point<double>& p);
  // Smallest and largest boundary bending stress over the subtree's shapes;
  // untouched without shapes.
  void extremeBendingStress(const CLoadCondition* lc, double* min, double* max);
  // The shape of the smallest (which < 1) or largest boundary stress under
  // the applied load of the model's current sub-section, with its value and
  // the boundary parameter where it occurs; null and 0 when none.
  void findExtremeShape(int which, CShapeAnalysis** shape, double* value, double* other);
  // findExtremeShape, copied out only when a shape was found.
  void findExtreme(int which, CObject** object, double* value, double* other);
  // Rebuilds the per-metal extreme records from the triangles' node results.
  void findExtremeValuesForMaterials();
  // The extreme record of m's name, appended when missing.
  CMaterialMaxMinValues* materialMaxMin(CMetal* m);
  // Refreshes the per-metal extreme records from the analysis results.
  void updateMaterialMaxMinValues() { findExtremeValuesForMaterials(); }
  // The node farthest on the tension (or compression) side of the line
  // through point at angle radians, ties going to the smaller strain limit.
  // Throws std::logic_error "unable to find point at max distance from NA".
  CFENodeAnalysis* mostDistantPointFromNeutralAxis(Point<double> point, double angle, int unused, bool tension,
                                                   bool L);
  // Force and moments of the stress inside the box of the two corners.
  void boxForce(Point<double>& corner1, Point<double>& corner2, double* force, double* moment1, double* moment2,
                bool* flag) const;
  // The twelve side sums of CMesh::splitArea added over the meshes.
  void calcAreaAndForceAboutLine(bool useX, Point<double> a, Point<double> b, double* r1, double* r2, double* r3,
                                 double* r4, double* r5, double* r6, double* r7, double* r8, double* r9,
                                 double* r10, double* r11, double* r12) const;
  // Replaces the result locations by the smallest- and largest-stress points.
  void addDefaultBendingResultLocations(bool L);
  // Appends a result location at (x, y); std::logic_error "material not found".
  void addResultLocation(double x, double y, bool L);
  void resultLocation(double x, double y, bool L) { addResultLocation(x, y, L); }
  // Each critical point's actual := its distance from sf's neutral axis / distance × value.
  void getCriticalPointActuals(CSectionForces* sf, double distance, double value);
  // No critical point's actual value exceeds its allowable.
  bool checkCriticalPoints() const;
  // Lowers *limit to the tensile strain the critical points allow.
  void computeMaxTensileStrainFromCriticalPoints(Point<double>& point, double angle, double distance, double strain,
                                                 double* limit) const;
  // The point force of that id in the load cases; null when none.
  CPointForce* findPointForce(int id) const;
  // Vertex i of the first union shape; invalid-argument exception outside.
  Point<double> getPoint(int i) const;

 private:
  // The list that holds s (union or own shapes); null when neither does.
  ShapeList* listHolding(CShapeAnalysis* s);
  // Number of shapes of the subtree for which test holds.
  template <class Pred>
  int countShapes(Pred test) const;
  // Deletes the meshes and welds.
  void destroyMeshesAndWelds();
  // Moves, turns or mirrors the meshes and welds with the section.
  void translateMeshesAndWelds(Point<double>* d);
  void rotateMeshesAndWelds(Point<double>* c, double angle);
  void mirrorMeshes(Point<double>& a, Point<double>& n);
  // Turns the shapes of the subtree (union or own, then the children's) and
  // every dot and construction point once about (x, y).
  void rotateContents(double x, double y, double angle);
  // The kind fix-ups of a mirrored formed or extruded section.
  void mirrorFixKind11();
  void mirrorFixKind12or13();

  // Solid shapes' boundary points (with exact arc extremes) turned by
  // -angle about the area centroid: their box.
  void fiberBox(double angle, Point<double>* min, Point<double>* max) const;
  // Equal-area axis and plastic modulus of the split along coordinate k.
  void equalAreaSplit(const std::vector<PlasticCurve>& curves, int k, double* axis, double* modulus) const;

  CXSectionAnalysis* m_model = nullptr;
  CSubSection* m_parent = nullptr;
  std::array<double, 210> m_values{};  // property values by id
};
