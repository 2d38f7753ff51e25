// The document's automation interface ILorimant: its dispatch table (the
// form that invocation and journal replay use) and the methods built so far.
#pragma once

#include <vector>

#include "lorimant/automation/MaterialRecord.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "platform/ole/CDispatchTable.h"

// The dispatch table of ILorimant: one entry per member in interface order,
// then the entries of DISPIDs 93 to 98 a second time (the first match wins).
// DISPIDs 62, 91 and 106 are not assigned. Members whose work is not built
// yet refuse with code 1 "<name> is not available.".
const CDispatchTable<CXSectionAnalysisDoc>& ILorimantDispatchTable();

namespace ILorimant {

// GroupCurrent (get): the name of the model's current sub-section.
CString GetGroupCurrent(CXSectionAnalysisDoc& doc);
// GroupCurrent (put): makes the sub-section called name current; refuses
// 1001 "Group not found." when no sub-section has the name.
void SetGroupCurrent(CXSectionAnalysisDoc& doc, const CString& name);
// Journals "xscn.ComputeGeomSectionProperties", then computes the current
// sub-section's section properties; refuses (code 1) when there is no
// current sub-section or the properties cannot be computed.
void ComputeGeomSectionProperties(CXSectionAnalysisDoc& doc);

// ---- shape objects ----
// Shapes: the document's shape collection.
COleVariant Shapes(CXSectionAnalysisDoc& doc);
// FindShape: a new shape object referring to the shape called name in the
// model (an object without a shape when none has the name).
COleVariant FindShape(CXSectionAnalysisDoc& doc, const CString& name);

// ---- materials and the material database ----
// Every method connects afresh to the database whose path the document's
// model keeps; a database failure is refused (1) with its message unless
// said otherwise. "Recovering" a material reads it from that database and
// refuses (1) "Could not recover material from database" when it cannot;
// a material given to shapes joins the model's materials when the model
// has none of its name.

// Gives the recovered material to each picked shape of the active view;
// refuses (1) "Material not found in current database" when absent.
void ApplyMaterialToSelected(CXSectionAnalysisDoc& doc, const CString& subSection, const CString& material);
// Gives the recovered material to every solid (not hole) shape of the
// sub-section and its descendants; clears the picks. Refuses (1) a
// sub-section that does not exist.
void ApplyMaterialToAll(CXSectionAnalysisDoc& doc, const CString& subSection, const CString& material);
// Creates a new database file with its two tables at path, which then
// becomes the model's database path; refuses 1001 "Unable to construct the
// database" (an existing file is never replaced).
void CreateDatabase(CXSectionAnalysisDoc& doc, const CString& path);
// Stores a new metal; refuses (1) a name the database has, or a text that
// does not fit its field.
void AddMaterialDef(CXSectionAnalysisDoc& doc, MaterialRecord& record);
// Replaces the stored metal of the record's name; refuses (1) when absent.
void EditMaterial(CXSectionAnalysisDoc& doc, MaterialRecord& record);
// Deletes the metal; refuses (1) when the database has none of that name.
void DeleteMaterial(CXSectionAnalysisDoc& doc, const CString& name);
// Connects to (and closes) the existing database at fileName, which then
// becomes the model's database path; never creates a file.
void ConnectDatabase(CXSectionAnalysisDoc& doc, const CString& fileName);
// A new, empty material object.
COleVariant AddMaterial(CXSectionAnalysisDoc& doc);
// A new material object filled from the database; refuses (1) when absent.
COleVariant FetchMaterial(CXSectionAnalysisDoc& doc, const CString& name);
// Journals "xscn.DeleteAllMaterials", then deletes every metal; a database
// without the metals table has nothing to delete.
void DeleteAllMaterials(CXSectionAnalysisDoc& doc);
// 1 when the active document's database holds the material, else 0.
SHORT MaterialExists(CXSectionAnalysisDoc& doc, const CString& name);
// Gives the material to the sub-section's shapes; refuses (1) "Material
// not found." when absent, "SubSection doesn't exist" for an unknown name.
void SetMaterialOnSubSection(CXSectionAnalysisDoc& doc, const CString& subSection, const CString& material);
// Gives the recovered material to the shape object of the sub-section, or,
// when it has no such shape, to every solid shape of the sub-section named
// object; refuses (1) names that match nothing.
void SetMaterial(CXSectionAnalysisDoc& doc, const CString& subSection, const CString& object,
                 const CString& material);
// Gives the material to the sub-section's shapes; refuses (1) "SubSection
// doesn't exist", then "Material doesn't exist".
void ApplyMaterialToSubSection(CXSectionAnalysisDoc& doc, const CString& subSection, const CString& material);
// Gives the material to the shape; refuses (1) "Shape doesn't exist", then
// "Material doesn't exist".
void ApplyMaterialToShape(CXSectionAnalysisDoc& doc, const CString& shape, const CString& material);
// ApplyMaterialToSubSection when a sub-section has the name, else
// ApplyMaterialToShape when a shape has it; else refuses (1) "Object does
// not exist".
void ApplyMaterial(CXSectionAnalysisDoc& doc, const CString& object, const CString& material);

// ---- settings, clearing and mesh controls ----
// Sets the program-wide unit system only (0 SI, 1 US customary): no
// conversion, no refresh, no journal line. Refuses (code 1) any other value.
void SetUnitsystem(CXSectionAnalysisDoc& doc, int units);
// Clears the model (every sub-section and the grid), makes sure of "root",
// runs the change routine and clears the picks. Shapes left in the model
// afterwards fail "Not all shapes removed in clear." (a logic error).
void ClearAll(CXSectionAnalysisDoc& doc);
// Keeps a local size control (element size near (x, y), growing to the
// surrounding size at radius) for the next meshing of the shape called
// shapeName, and journals the call. Refuses 1001 "Object not found" for an
// unknown shape and (code 1) a size or radius that is not positive.
void AddLocalSizeControl(CXSectionAnalysisDoc& doc, const CString& shapeName, double x, double y, double size,
                         double radius);
// Cozzone's solution of the current sub-section with the neutral axis at
// height y and the allowable compressive strain; journals the call after
// success. Refuses (1) what the solution refuses.
void ComputeCozzoneUnsymmetricMethod(CXSectionAnalysisDoc& doc, double y, double strain);

// ---- section-property exports ----
// Recomputes the current sub-section's properties and writes them as the
// XML export under sectionName, each value as GetValue reports it. Refuses
// (code 1) with the XML writer's own text when the file cannot be written.
void WriteSectionProperties(CXSectionAnalysisDoc& doc, const CString& fileName, const CString& sectionName);
// Reads an export into the program-wide list of property sets; refuses
// 1001 "A set of section properties with the same name has already been
// read in" for a name read before, and (code 1) a file that cannot be read.
void ReadSectionProperties(CXSectionAnalysisDoc& doc, const CString& fileName);
// The value for valueId of the set read under sectionName (0 for an
// identifier the export does not carry); refuses 1001 "Checks FAILED,
// Results do not match the inputs within tolerance." for an unknown name.
double GetFileSectionValue(CXSectionAnalysisDoc& doc, const CString& sectionName, short valueId);

// ---- basic shapes ----
// Each builds one basic shape under the sub-section parentName: nm (empty:
// the next generated name) placed with its point `origin` at (x, y), its
// point `dir` fixing the direction rot (degrees); sgn below 1 makes a hole.
// Refuses (2) "Object with that name already exists." when any shape of
// the model has the name, (1) "Parent does not exist: <name>" and the
// model's refusals of the dimensions; nothing is built on a refusal. Then
// picks cleared, redrawn, fitted and the change routine run.
void AddAnnulus(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& nm, double radius, double width,
                double sweep, double x, double y, short origin, short dir, double rot, short sgn);
void AddBlend(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& nm, double length, double radius,
              double sweep, double x, double y, short origin, short dir, double rot, short sgn);
// The disk's centre lies at (x, y).
void AddDisk(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& nm, double radius, double x,
             double y, short sgn);
void AddFillet(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& nm, double radius, double sweep,
               double x, double y, short origin, short dir, double rot, short sgn);
void AddParallelogram(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& nm, double length,
                      double width, double ang1, double ang2, double x, double y, short origin, short dir, double rot,
                      short sgn);
void AddRectangle(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& nm, double length,
                  double width, double x, double y, short origin, short dir, double rot, short sgn);
void AddSector(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& nm, double radius, double sweep,
               double x, double y, short origin, short dir, double rot, short sgn);
void AddTriangle(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& nm, double base, double offset,
                 double height, double x, double y, short origin, short dir, double rot, short sgn);
// The region of a circle of radius cut off by a chord whose legs (the
// radii to its ends) are leglength long; refusals as above, but the method
// only clears the picks: its caller journals and refreshes.
void AddSectorChord(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& name, double radius,
                    double leglength, double x, double y, short origin, short direction, double rotation, short sign);
// ---- profile builders ----
// Each builds a parametrised profile: a sub-section `name` of its own under
// the parent, filled with basic shapes and united, placed so that defining
// point iorig lies at (x, y) and the direction to point iDirection has the
// angle rotation. values are the numeric arguments in dispatch order (the
// two indices as doubles). One journal line and one undo check-point per
// build; a refused or failed build leaves model, journal and view as they
// were. A taken sub-section name is refused with code 2, the dimension
// tests with code 1 and their texts, a missing or empty parent with code 1.
void AddExtrudedL(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& name,
                  const std::vector<double>& values);
// The T goes under the current sub-section; parentName is checked and journalled.
void AddExtrudedT(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& name,
                  const std::vector<double>& values);
// Sloped flanges (flangeSlope > 0.001) with a flange off 90 degrees are refused with code 3.
void AddExtrudedC(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& name,
                  const std::vector<double>& values);
void AddExtrudedZ(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& name,
                  const std::vector<double>& values);
// Also validates the view's display records after the build.
void AddExtrudedJ(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& name,
                  const std::vector<double>& values);
// Formed profiles: one thickness bent round inside radii, bend angles 20 to 170.
void AddFormedL(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& name,
                const std::vector<double>& values);
// Refuses (1) "Parent of formed C is not defined." for an empty parent.
void AddFormedC(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& name,
                const std::vector<double>& values);
void AddFormedZ(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& name,
                const std::vector<double>& values);
// Sloped flanges (flangeRadius > 0.001) need both flange angles at 90.
void AddIBeam(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& name,
              const std::vector<double>& values);

// ---- shapes and sub-sections: editing ----
// Names that match neither a shape nor a sub-section are refused (1) and
// change nothing.

// Unites every shape of the current sub-section; redraw with fit.
void Union(CXSectionAnalysisDoc& doc);
// A sub-section name: journals "xscn.DeleteShape "nm"" and deletes it
// with its shapes; else deletes the shape nm. Redraw with fit.
void DeleteShape(CXSectionAnalysisDoc& doc, const CString& nm);
// Adds shape objnm to sub-section scnnm; with resetParent it first leaves
// every other sub-section and scnnm becomes its owner.
void GroupAdd(CXSectionAnalysisDoc& doc, const CString& scnnm, const CString& objnm, bool resetParent);
// Deletes sub-section scnnm with its shapes; refuses (1001) the current
// sub-section and "root".
void GroupDelete(CXSectionAnalysisDoc& doc, const CString& scnnm);
// Takes shape objnm out of sub-section scnnm (none held: unchanged).
void GroupRemove(CXSectionAnalysisDoc& doc, const CString& scnnm, const CString& objnm);
// A new empty sub-section name under parent; journals
// "xscn.CreateSubSection "name","parent""; refuses (1) a missing parent
// ("Parent does not exist: ") and a name a sub-section has.
void CreateSubSection(CXSectionAnalysisDoc& doc, const CString& name, const CString& parent);
// Makes name the current sub-section; refuses (1) "SubSection not found."
// keeping the previous one.
void SetCurrentSubSection(CXSectionAnalysisDoc& doc, const CString& name);
// Flips the sign of shape objectName of the sub-section, or of every shape
// of a profile sub-section of that name.
void ChangeSign(CXSectionAnalysisDoc& doc, const CString& subsectionName, const CString& objectName);
// A construction point at (x, y) in the sub-section.
void AddPoint(CXSectionAnalysisDoc& doc, const CString& subsectionName, double x, double y);
// Renames the shape; refuses (1) an unknown shape or a name its
// sub-section already has.
void RenameShape(CXSectionAnalysisDoc& doc, const CString& oldName, const CString& newName);
// The document's rename (journals); refuses (1) "Subsection does not exist.".
void RenameSubSection(CXSectionAnalysisDoc& doc, const CString& previousName, const CString& newName);
// Picks the display records of the shape, or of every shape of the
// sub-section of that name.
void SelectShape(CXSectionAnalysisDoc& doc, const CString& name);
// Empties the active view's picks.
void ClearPicks(CXSectionAnalysisDoc& doc);
// The active view's Delete and Undo Union.
void DeleteSelected(CXSectionAnalysisDoc& doc);
void BreakUnion(CXSectionAnalysisDoc& doc);

// ---- transforms ----
// The mirror line passes through (x, y) with normal (ux, uy), as the
// view's mirror journals it. Mirrors shape nm (anywhere in the model), else
// every shape of the sub-section nm; changed.
void MirrorShape(CXSectionAnalysisDoc& doc, const CString& nm, double x, double y, double ux, double uy);
// Rotates (about (x, y), degrees) or translates shape nm of the current
// sub-section, else every shape of the sub-section nm; changed.
void RotateShape(CXSectionAnalysisDoc& doc, const CString& nm, double x, double y, double ang);
void TranslateShape(CXSectionAnalysisDoc& doc, const CString& nm, double x, double y);
// Journal their line, then turn (about (x, y), degrees) or move the whole
// current sub-section with the journal blocked; changed.
void RotateAll(CXSectionAnalysisDoc& doc, double x, double y, double ang);
// A copy of shape nm of the current sub-section translated by (x, y), named
// newnm (a piece of a profile gets a sub-section of its own); for a profile
// sub-section nm a translated copy of each of its shapes. Refuses (1) other
// names, (2) a taken newnm.
void TranslateDuplicateShape(CXSectionAnalysisDoc& doc, const CString& nm, const CString& newnm, double x, double y);
void TranslateAll(CXSectionAnalysisDoc& doc, double x, double y);
// Mirrored copies: of each shape of the sub-section nm (named newnm, with
// "_Mirrored" appended for a plain sub-section), else one copy of shape nm
// named newnm, put where the shape belongs. Refuses (1) an unknown name and
// (2) a taken newnm.
void MirrorDuplicate(CXSectionAnalysisDoc& doc, const CString& nm, const CString& newnm, double x, double y,
                     double ux, double uy);
// A mirrored copy "<shape>_<target>" of each shape of source in the current
// sub-section, each journalled as a MirrorDuplicate call, gathered in a new
// sub-section target; refuses (1) a missing source before anything is made.
void GroupMirrorDuplicate(CXSectionAnalysisDoc& doc, const CString& source, const CString& target, double x,
                          double y, double ux, double uy);
// A copy of shape nm of the current sub-section rotated about (x, y),
// named newnm; else each shape of the sub-section nm copied under the name
// nm followed by "_Rotated". Refuses (1001) "Object doesn't exist".
void RotateDuplicateShape(CXSectionAnalysisDoc& doc, const CString& nm, const CString& newnm, double x, double y,
                          double rot);

// ---- arbitrary shapes ----
// A new arbitrary-shape object for a shape called name with that sign;
// refuses (2) a name a shape of the model has.
COleVariant AddArbitraryShape(CXSectionAnalysisDoc& doc, const CString& name, short sign);

// ---- the sub-section tree and copies ----
// The document's deletion (which journals); the picks cleared.
void DeleteSubSectionAndChildShapes(CXSectionAnalysisDoc& doc, const CString& name);
// The same for a non-empty name, then a redraw.
void DeleteSubSection(CXSectionAnalysisDoc& doc, const CString& name);
// Moves the sub-section under parentName; refuses (1) a missing one and a
// parent inside the sub-section itself.
void ChangeSubSectionParent(CXSectionAnalysisDoc& doc, const CString& name, const CString& parentName);
// Moves the shape to the sub-section parentName.
void ChangeShapeParent(CXSectionAnalysisDoc& doc, const CString& name, const CString& parentName);
// The document's reordering (which journals); refuses (1) "Subsection not found".
void BringSubSectionToFront(CXSectionAnalysisDoc& doc, const CString& name);
void PushSubSectionToBack(CXSectionAnalysisDoc& doc, const CString& name);
// Deletes the current sub-section's construction points.
void DeleteConstructionPoints(CXSectionAnalysisDoc& doc);
// A copy of shape shapeName called copyName under parentName; refuses (1)
// "Shape object could not be found", (2) a taken name.
void CopyPasteShape(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& shapeName,
                    const CString& copyName);
// A copy called copyName of a sub-section with at most one shape (its copy
// also called copyName) under parentName; refuses (1) "Subsection may have
// only one shape assocated with it".
void CopyPasteSubSection(CXSectionAnalysisDoc& doc, const CString& parentName, const CString& subsectionName,
                         const CString& copyName);

}  // namespace ILorimant

// ---- analyses, loads, results, meshes and welds ----
// Every method works on the current sub-section unless it names one; a
// missing current sub-section is refused (1) "There is no current
// sub-section.", an unknown named one (1) "SubSection doesn't exist".
namespace ILorimant {

// A section property of the current sub-section by automation identifier;
// an identifier it does not know, or a load-condition value without a
// current load condition, fails "GetValue has unrecognized valueID".
double GetValue(CXSectionAnalysisDoc& doc, int valueID);
// A bending result: the kept Cozzone values (23 and 25 refused (1)
// "Unsupported result."), else a value of the section forces of the load
// condition called loadCaseName.
double BendingAnalysisResult(CXSectionAnalysisDoc& doc, const CString& loadCaseName, int result);
// A new section-forces load condition, applied.
void CreateFatSectionLoad(CXSectionAnalysisDoc& doc, const CString& name, double vx, double vy, double vz,
                          double mx, double my, double mz);
// Deletes the load condition; refuses (1) "Load condition does not exist.".
void DeleteLoad(CXSectionAnalysisDoc& doc, const CString& name);
// Applies the load condition; elastic ones (kinds 4, 5) are analysed again.
void SetCurrentLoad(CXSectionAnalysisDoc& doc, const CString& name);
// Elastic bending, unrestrained (P, Mx, My) or restrained (P, angle, M); changed.
void ApplyBendingForces(CXSectionAnalysisDoc& doc, bool restrained, const CString& loadCaseName, double p,
                        double a, double b, long grainL);
// Bruhn's plastic bending of the sub-section; refuses 1001 with the
// tolerance warning (results kept) when the critical points fail and the
// force misses by more than 1.
void BruhnPlasticBendingAnalysis(CXSectionAnalysisDoc& doc, const CString& subSection, const CString& loadCaseName,
                                 double angle);
void AddCriticalPoint(CXSectionAnalysisDoc& doc, const CString& subSection, double x, double y, double allowable);
void ClearCriticalPoints(CXSectionAnalysisDoc& doc, const CString& subSection);
// Recomputes the sub-section's properties; refuses (1) when they fail.
void ComputeAllSectionProperties(CXSectionAnalysisDoc& doc, const CString& subSection);
// Cozzone's solutions; refuses (1) a foUltimate below 1 (or not a number).
void ComputeCozzonePlasticMomentsGivenFo(CXSectionAnalysisDoc& doc, double fm, double foUltimate);
// V Q / (I b) of the shape under the current load condition; 1001 "Object not found".
double ShapeVQIb(CXSectionAnalysisDoc& doc, const CString& shapeName, double v, double b);
double CozzoneMaxShear(CXSectionAnalysisDoc& doc, double v, double b, int principal);
// Meshing: the tolerance comes before the thickness here and after it in
// the model. MeshShape finds the shape in the current sub-section only
// (1001 "Object not found").
void MeshSubSection(CXSectionAnalysisDoc& doc, const CString& subSection, int type, long nodes, double tolerance,
                    double thickness);
void MeshShape(CXSectionAnalysisDoc& doc, const CString& shapeName, int type, long nodes, double tolerance,
               double thickness);
void MoveSubSectionMeshesToRoot(CXSectionAnalysisDoc& doc);
// The view's Delete All Meshes (the document's alone without a view).
void DeleteMeshes(CXSectionAnalysisDoc& doc);
// Welds; model failures are refused 1001.
void CreateWeld(CXSectionAnalysisDoc& doc, double x1, double y1, double x2, double y2);
void DeleteWelds(CXSectionAnalysisDoc& doc);
void ExecuteWelds(CXSectionAnalysisDoc& doc);
// Stress (3) or strain (4) in the triangle holding (x, y); refuses 1002
// "Location does not lie inside of any triangle".
double GetValueAtLocation(CXSectionAnalysisDoc& doc, int value, double x, double y);
// Extremes of a result under the current load condition.
void ExtremeValues(CXSectionAnalysisDoc& doc, int result, double& max, double& min);
void GetExtremeValue(CXSectionAnalysisDoc& doc, int which, double& x, double& y, double& value);
void PlotResult(CXSectionAnalysisDoc& doc, int value);
// A line plot along the segment in the active view; refused without one.
void LinePlot(CXSectionAnalysisDoc& doc, double x1, double y1, double x2, double y2, int result);
// Force and first moment of the stresses in the box.
double BendingBoxForce(CXSectionAnalysisDoc& doc, double xmin, double ymin, double xmax, double ymax);
double BendingBoxQ(CXSectionAnalysisDoc& doc, double xmin, double ymin, double xmax, double ymax);

// ---- files, undo, exchange ----
// Opens a document window when there is none; refreshes the section tree.
void Show(CXSectionAnalysisDoc& doc);
// Opens a window when there is none, makes sure of "root", then reads the
// file (journalled "xscn.FileOpen"); refuses (1) a file it cannot read.
void FileOpen(CXSectionAnalysisDoc& doc, const CString& fileName);
// Saves the document; refuses (1) a file it cannot write.
void FileSave(CXSectionAnalysisDoc& doc, const CString& fileName);
// The view's undo and redo ("xscn.Undo", "xscn.Redo") after clearing picks.
void Undo(CXSectionAnalysisDoc& doc);
void Redo(CXSectionAnalysisDoc& doc);
void ReadIGES(CXSectionAnalysisDoc& doc, const CString& fileName);
// Writes the current sub-section with the version text "<major>.<minor>".
void WriteIGES(CXSectionAnalysisDoc& doc, const CString& fileName);

}  // namespace ILorimant

// The dispatch-table forms of the methods above.
namespace ILorimantRows {
#define LORIMANT_ANALYSIS_ROWS(X)                                                                                  \
    X(GetValue) X(BendingAnalysisResult) X(CreateFatSectionLoad) X(DeleteLoad) X(SetCurrentLoad)                  \
    X(ApplyUnrestrainedBendingForces) X(ApplyRestrainedBendingForces) X(BruhnPlasticBendingAnalysis)              \
    X(AddCriticalPoint) X(ClearCriticalPoints) X(ComputeAllSectionProperties)                                     \
    X(ComputeCozzonePlasticMomentsGivenFo) X(ShapeVQIb) X(CozzoneMaxShear) X(MeshSubSection) X(MeshShape)        \
    X(MoveSubSectionMeshesToRoot) X(DeleteMeshes) X(CreateWeld) X(DeleteWelds) X(ExecuteWelds)                    \
    X(GetValueAtLocation) X(ExtremeValues) X(GetExtremeValue) X(PlotResult) X(LinePlot) X(BendingBoxForce)       \
    X(BendingBoxQ) X(Show) X(FileOpen) X(FileSave) X(Undo) X(Redo) X(ReadIGES) X(WriteIGES)
#define LORIMANT_DECLARE_ROW(name) void name(CXSectionAnalysisDoc& doc, DispatchCall& call);
LORIMANT_ANALYSIS_ROWS(LORIMANT_DECLARE_ROW)
#undef LORIMANT_DECLARE_ROW
}  // namespace ILorimantRows
