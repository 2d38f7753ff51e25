// The whole cross-section model of one document: the tree of sub-sections
// under "root", the list of every shape, the current sub-section's name and
// the result grid.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "analysis/geometry/Point.h"
#include "analysis/model/CBaseXSectionAnalysis.h"
#include "analysis/model/CBaseSubSection.h"
#include "drevoline/mesh/CCurveResolver.h"
#include "drevoline/mesh/MeshTypes.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"

#include "platform/core/CList.h"
#include "platform/core/CString.h"

class CCompositeCurve;
class CLoadCondition;
class CMetal;

class CXSectionAnalysis;

// The model being worked on (null at load).
extern CXSectionAnalysis* vAveVAvezeze;
// The model being destroyed by the main program (null otherwise).
extern CXSectionAnalysis* gDeletingScn;

// Serial class "CXSectionAnalysis" (schema 1). Constructing a model makes it
// the current model (vAveVAvezeze and gModel).
//
// Invariants: every sub-section but "root" has a parent and is listed once
// among its parent's children; sub-section names are unique; a shape that
// belongs to a sub-section names it as owner and is in its shape list.
class CXSectionAnalysis : public CBaseXSectionAnalysis, public CCurveResolver {
  DECLARE_SERIAL(CXSectionAnalysis)

 public:
  // ---- construction and lifetime ----
  // A model with a generated name and the one sub-section "root", current.
  CXSectionAnalysis();
  // clear(), then releases the lists (not the shapes).
  ~CXSectionAnalysis() override;
  // Deletes the grid, then every sub-section from the end of the flat list.
  void clear();
  // With no sub-section: creates "root" and makes it current.
  void initialize();
  // vAveVAvezeze; throws std::logic_error "Invalid vAveVAvezeze address" when null.
  static CXSectionAnalysis* scn();

  // ---- storage ----
  // The model base's part, then the model's own (gModel := this). Loading
  // then refreshes the root's dots and checks the tree.
  void Serialize(CArchive& ar) override;
  // The model's own part. Loading replaces the shapes and sub-sections,
  // relinks meshes and welds and rebuilds the tree from the stored names
  // (the flat list comes back reversed, the siblings in their stored order).
  void read(CArchive& ar);
  void write(CArchive& ar);

  // ---- current sub-section ----
  // First sub-section named like the current name; null when none.
  const CSubSection* currentSubSection() const;
  // Null for an empty current name, else findSubSectionMutable(current name).
  CSubSection* currentSubSectionMutable();
  void setSubSection(CString& name) { currentName = name; }
  // Selects the whole section: current name := model name.
  void FullSection() { currentName = name; }
  CSubSection* rootSubSection() { return findSubSectionMutable(L"root"); }
  bool subSectionExists(CString& name) const { return findSubSection(name) != nullptr; }
  // Null for a basic shape, else the shape's owner.
  CSubSection* getPickedSubSectionMutable(CShapeAnalysis* shape);
  // The current sub-section's getShapesRecursive(); empty pointer without one.
  std::unique_ptr<ShapeList> currentShapes() const;
  std::unique_ptr<ShapeList> currentShapesRecursive() const;
  // A copy of the current sub-section's union list, else of its shape list;
  // empty pointer when it has neither.
  std::unique_ptr<ShapeList> currentShapesNonRecursive() const;

  // Writes the current sub-section's outlines to the IGES file fileName
  // with the version text b; throws the wide text "Can't open IGES file for
  // writing" when the file cannot be opened (defined with the IGES writer).
  void writeIGES(CString& fileName, CStringA& b);
  // Reads the outlines of the IGES file fileName into the current
  // sub-section (also into its union list when intoCurrent is false).
  // Throws a wide text when the file cannot be read or holds an entity that
  // cannot be imported; nothing is added then (defined with the IGES import).
  void readIGES(CString& fileName, bool intoCurrent);
  // Moves the imported outlines into the x-y plane when the first one lies
  // in another plane (the argument is not used).
  void orientShapes(bool intoCurrent);

  // ---- finding ----
  virtual const CSubSection* findSubSection(CString name) const;
  CSubSection* findSubSectionMutable(CString name) const;
  CShapeAnalysis* findShape(CString name) const;
  CShapeAnalysis* findShape(unsigned int id) const;
  // This model, another current model, a sub-section or a shape whose
  // space-trimmed name equals the trimmed name (the stored names are trimmed too).
  CObject* findGeomObj(CString& name);
  bool isUsed(std::shared_ptr<CMetal> metal) const;
  bool isUsedInMultipleSections(CShapeAnalysis*) const { return false; }
  // A direct child of "root" holds a mesh.
  bool childMeshesExists();

  // ---- creating and adding ----
  // A new shape named name, added to the current sub-section.
  CShapeAnalysis* addShape(CString name);
  // Lists shape in the model and under s. Throws std::logic_error before
  // changing anything when s already holds another shape of that name.
  void addShapeToLists(CSubSection* s, CShapeAnalysis* shape);
  // A new child of parent built like templ, holding shape in its union list.
  // Throws "Subsection has no parent." before creating anything for a null parent.
  void createSubSection(CSubSection* parent, CSubSection* const templ, CShapeAnalysis* shape);
  // A new sibling of sibling named after shape.
  void createSubSection(CSubSection* const sibling, CShapeAnalysis* shape);
  // A mirrored copy of shape put where shape belongs.
  void MirrorDuplicate(CShapeAnalysis* shape, Point<double>& a, Point<double>& b, CString& newName);
  // A rotated copy of shape put where shape belongs.
  void rotateDuplicateShapeOrSubSection(CShapeAnalysis* shape, CString name, double x, double y, double angle);
  // Turns a hole into a solid and back.
  void changeSign(CShapeAnalysis* shape);

  // ---- deleting and removing ----
  void deleteShape(CString name);
  void deleteOrphanShapes();
  void removeFromCurrent(CShapeAnalysis* shape);
  void removeShapeReferences(CShapeAnalysis* shape);
  void removeSubsectionReferences(CString name);
  // Deletes every child and shape of the named sub-section (it stays).
  void deleteSubSectionAndChildShapes(CString& name);
  void deleteMesh(CString& name);

  // ---- meshing ----
  // The current sub-section meshes the shape (see CSubSection::meshShape).
  void meshShape(CShapeAnalysis* shape, ELEMENT_TYPE type, int n, double a, double b, int i1, int i2);
  // first < 1: s (and "root") drop s's meshes, s meshes once with budget
  // arguments (-1, 100000); 1 <= first < 1000: s meshes once for each i in
  // first..999 with (first, i); else nothing. After each meshing a formed or
  // extruded s, or a non-current s with its union on, hands every new mesh
  // to the current sub-section. spare is not read.
  void meshSubSection(CSubSection* const s, ELEMENT_TYPE type, int n, double a, double b, int first, int spare);
  // Each direct child of "root" gives its meshes, last first, to "root".
  void moveMeshesToRoot();
  // Keeps a local size control for the next meshing of the shape called
  // shapeName (a shape meshed alone, or a solid of a union meshing).
  void addPendingSizeControl(const CString& shapeName, const LocalSizeControl& control);
  // The controls kept for the shape called shapeName, in the order given.
  std::vector<LocalSizeControl> pendingSizeControls(const CString& shapeName) const;
  // Forgets the controls of the shape: a mesh of it has used them.
  void forgetPendingSizeControls(const CString& shapeName);
  // Removes (and deletes) curves lying inside another curve of the same sign.
  void removeContained(CList<CCompositeCurve*>* curves);
  void replaceShapeInList(std::unique_ptr<ShapeList> list, CShapeAnalysis* old, CShapeAnalysis* replacement);
  void replaceShapeInLists(CShapeAnalysis* old, CShapeAnalysis* replacement);

  // ---- renaming ----
  void renameShape(CShapeAnalysis* shape, CString& newName);

  // ---- mesh curves ----
  // The named shape's boundary, else the named sub-section's union shape
  // whose boundary comes nearest to (x, y); null when none.
  CCompositeCurve* findCompositeCurve(double x, double y, const CString& name) override;

  // ---- loads, grid, plots ----
  CLoadCondition* addScnLoadCondition(CString name);
  void createFatSectionLoad(CString& name, double d1, double d2, double d3, double d4, double d5, double d6);
  void computeGrid(Point<double>* a, Point<double>* b, double dx, int nx, double dy, int ny);
  void contourPlot(int) {}

  // ---- names, units, verification ----
  // The value id of a property key; 206 when unknown (exact, case-sensitive).
  static SectionValue StringToSectionValue(const wchar_t* text);
  // The unit text of a named property; refreshes the model's length and force units.
  void getUnits(const wchar_t* name, CString& out);
  // Throws "Subsection tree is corrupted" when a chain of parents loops, a
  // parent is not in the flat list or a listed child does not name its
  // parent; sub-sections without a parent (top-level groups) are accepted.
  void verifySubsections() const;
  void verifySubSectionHasShapes(CString name, int nShapes, int nChildShapes) const;
  void verifySubSectionShapesRemoved(CString name) const;

  ShapeList shapes{10};                 // every shape, not owned
  std::vector<CSubSection*> subSections;  // the flat list, owned
  // Local size controls waiting for their shape's next meshing, by shape
  // name. Not stored with the model: they last until that meshing.
  std::map<std::wstring, std::vector<LocalSizeControl>> sizeControlsToMesh;
  // Decimal places that numbers are shown with (Display Precision); not
  // stored with the model, so every model starts with 4.
  int displayPrecision = 4;

 private:
  // A new sub-section copying templ's kind, indices and arguments.
  CSubSection* newSubSectionLike(const CSubSection* templ, const CString& newName);
  // Puts a duplicate where its source belongs (union list, a sub-section of
  // its own, or the current sub-section); a copy that cannot be placed is deleted.
  void placeCopy(CSubSection* current, CShapeAnalysis* shape, CShapeAnalysis* copy);
  // The tail shared by both createSubSection forms.
  void attachSubSection(CSubSection* s, CSubSection* parent, CShapeAnalysis* shape);
  // After loading: meshes resolve their links, welds find their meshes'
  // curves ("meshes not recovered in restore", "composite curves not
  // recovered for weld").
  void relinkMeshesAndWelds();
  // After loading: shape owners and sub-section parents by name, the
  // siblings' stored order; a looping tree, a parent name that no
  // sub-section has or a union shape held twice is "Subsection tree is
  // corrupted".
  void resolvePendingLinks();
};
