// The section view: a two-dimensional OpenGL view of the current
// sub-section of its document's model (shapes, meshes, welds, construction
// points, grid, labels and results). It runs with no window: it draws into
// its off-screen buffer behind a view host; the program's window only
// paints that buffer and forwards events. The document reaches it through
// ActiveSectionView.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <unordered_set>
#include <vector>

#include "analysis/model/LightProperties.h"
#include "lorimant/document/ActiveSectionView.h"
#include "lorimant/view/CBaseScnView.h"
#include "lorimant/view/SectionDialogs.h"
#include "lorimant/view/SectionViewCommands.h"
#include "lorimant/view/SectionViewHost.h"
#include "lorimant/view/ViewPrompts.h"
#include "platform/core/CString.h"
#include "platform/gl/OpenGL.h"

class CFENodeAnalysis;
class CMesh;
class CPrintInfoDlg;
class CShapeAnalysis;
class CSectionForces;
class CSubSection;
class CXSectionAnalysis;
class CXSectionAnalysisDoc;

// Display record types of the section view.
namespace SectionRecord {
constexpr unsigned kDot = 4;
constexpr unsigned kShape = 32;
constexpr unsigned kGridX = 0x400000;
constexpr unsigned kGridY = 0x800000;
constexpr unsigned kMesh = 0x40000000u | 0x20000000u;
constexpr int kShapeKind = 1;
}  // namespace SectionRecord

// Grid positions of the ribbon's grid list.
enum class GridPosition { Behind = 0, InFront = 1, NoShow = 2 };

// A window host for a view that has no window: a fixed client size;
// invalidation and presenting do nothing.
class HeadlessViewHost : public CViewHost {
 public:
  HeadlessViewHost(int width, int height) : m_client(0, 0, width, height) {}
  CRect clientRect() const override { return m_client; }
  void invalidate(bool) override {}
  void updateWindow() override {}
  void presentBuffer() override {}
  ViewCursor setCursor(ViewCursor c) override {
    const ViewCursor previous = m_cursor;
    m_cursor = c;
    return previous;
  }
  void captureMouse() override {}
  void releaseMouse() override {}

 private:
  CRect m_client;
  ViewCursor m_cursor = ViewCursor::Arrow;
};

// What a dialog that takes picks is told. A dialog of the view implements
// it beside ModelessDialog; every call defaults to doing nothing.
class PickReceiver {
 public:
  virtual ~PickReceiver() = default;
  // A construction point was picked: its location, by value (the dot
  // itself may be freed by the next rebuild).
  virtual void pointPicked(Point<double> /*location*/) {}
  // A shape was picked (the dialog that receives shape selections).
  virtual void shapePicked(CShapeAnalysis* /*shape*/) {}
  // A result dialog: the index selected in its choice box, and the refresh
  // after a result location was added.
  virtual int resultChoice() const { return 0; }
  virtual void refreshResults() {}
};

// A picked construction point: where it is and the shape whose vertex it
// is (null for a free point).
struct PickedDot {
  Point<double> location;
  CShapeAnalysis* shape = nullptr;
};

class CThickSectionView : public CBaseScnView, public ActiveSectionView {
  DECLARE_DYNCREATE(CThickSectionView)

 public:
  // A view with no document and no host; becomes the current view.
  CThickSectionView();
  // Leaves the document's active view slot when it holds this view; the
  // current-view global is cleared when it is this view.
  ~CThickSectionView() override;
  CThickSectionView(const CThickSectionView&) = delete;
  CThickSectionView& operator=(const CThickSectionView&) = delete;

  // A view of doc with no window: a width x height buffer behind its own
  // headless host, created, sized, initialised (OnInitialUpdate) and made
  // the document's active view. The automation and the journal replay use
  // it. Throws std::logic_error "OpenGL display failure" when no
  // off-screen context can be made.
  static std::unique_ptr<CThickSectionView> createFor(CXSectionAnalysisDoc& doc, int width = 640,
                                                      int height = 480);
  // The view last constructed or activated (null when none).
  static CThickSectionView* current();
  // The print settings that every section view shares.
  static CPrintInfoDlg* printInfo();

  // The view's document (null until set).
  void setDocument(CXSectionAnalysisDoc* doc) { m_document = doc; }
  CXSectionAnalysisDoc* GetDocument() const { return m_document; }
  // The document's model, or null.
  CXSectionAnalysis* model() const;

  // ---- framework operations ----
  // The first update: creates the modeless dialogs, then once: resets the
  // view state, names the view "SectionView", lets the document's model
  // become current, selects grid position "Behind", creates the
  // tessellator, fits the view and rebuilds the display list.
  void OnInitialUpdate();
  // On activation: "Unrecognized view class" for an activated view that is
  // not a section view; points vAveVAvezeze at the document's model
  // ("vAveVAvezeze undefined" without one); with records, redraws and fits;
  // then the main frame rebuilds its section tree.
  void OnActivateView(BOOL activate, CBaseViewer* activated, CBaseViewer* deactivated);
  // Hints 6, 34, 48 fit the view; 41 posts the grid records of the hint's
  // grid and redraws; any other is reported on the standard output.
  void OnUpdate(CBaseViewer* sender, LONG_PTR hint, CObject* hintObject) override;
  // Painting: the picture as renderPixels leaves it, presented. The
  // display lists are rebuilt only when a change left them out of date
  // (an expose alone never rebuilds nor clears the picks). Framework
  // exceptions are swallowed.
  void OnPaint();
  // Clears the buffer to the background colour; returns nonzero. The
  // picture is then out of date.
  BOOL OnEraseBkgnd();

  // ---- drawing ----
  // Marks the picture out of date and asks the window for a paint; the
  // window coalesces its requests into one paint per event-loop turn.
  // Nothing is drawn here: drawing happens on paint or when pixels are
  // asked for (renderPixels), so a view with no window draws nothing.
  void RefreshScene() override;
  // RefreshScene when the scene is ready (initialised).
  void RenderScene() override;
  // When redraw is enabled and there is a model: the picks cleared, "root"
  // made sure of, the display lists marked out of date, RefreshScene. The
  // lists are rebuilt before the next drawing or pick that needs them.
  void RebuildAndRedraw() override;
  // Draws the picture into the buffer when it is out of date, rebuilding
  // out-of-date display lists first; the renderer has finished when this
  // returns. The buffer, or null when nothing can be drawn (no buffer, not
  // initialised, or no sub-section in the model). Picking, printing, a
  // copy of the picture and tests ask for pixels through it.
  const COffscreenContext* renderPixels();
  // Rebuilds the display lists when a change left them out of date or
  // they were built from a model since replaced (undo and redo restore a
  // new one); nothing otherwise. Picks on the old records are cleared.
  void updateDisplayLists();
  // True while the picture (the display lists) wait for a redraw (a rebuild).
  bool pictureOutOfDate() const { return m_pictureStale; }
  bool listsOutOfDate() const { return m_listsStale; }
  // Pictures drawn and full display-list rebuilds since the view was made.
  int renderCount() const { return m_renderCount; }
  int rebuildCount() const { return m_rebuildCount; }
  // The base's drawing pass, on up-to-date display lists. A pass that
  // draws the records alone (the camera loops of the base) leaves the
  // picture out of date, so the next paint draws the whole scene again.
  void ExecuteDisplayList(UINT mode, UINT typeMask, int lit, int unused) override;
  // The display list rebuilt now from the current sub-section: shapes,
  // welds, grid, meshes, construction points (the picks cleared, "root"
  // made sure of). Nothing without a model. Two records on one list id
  // throw "Duplicate identifiers in display list".
  void RebuildDisplayLists();
  // Fits the view window to the current sub-section (a 20 x 20 box around
  // the origin when it is empty): centred on it, half-width 0.6 x the
  // larger of its width and its height / aspect, so that it fits both ways.
  void fullView() override;
  // With a model: every pick off, redraw, the help status text.
  void ClearPicks() override;
  // Makes the model ready for a shape: unit system asked, "root" created
  // when the model has no sub-section.
  void EnsureRootSubSection() override;
  // Redraws and refreshes the picture (after a save).
  void refresh() override { RefreshScene(); }

  // ---- display records ----
  // Throws "Duplicate identifiers in display list" when two active records
  // share a list id.
  void checkDuplicateIdentifiers() const;
  // True when two active records share a list id.
  bool hasDuplicateIdentifiers() const;
  // The consistency check of the profile builders: "dsprecord has
  // duplicate ids", "dsprecord has no object", "Invalid object pointer" (an
  // object that neither the model nor the view holds), "Invalid shape
  // display record" (a shape record whose object is not a shape). Lists
  // out of date are not checked: they are built again from the model
  // before any use, and that rebuild checks its identifiers.
  void ValidateDisplayList() const;
  // Grid position of the ribbon list: Behind (priority 1), In Front
  // (priority 7) or No Show (records and the model's grid removed). With
  // redraw enabled the view is rebuilt and redrawn.
  void SetGridPosition(GridPosition position);
  // Creates the model's grid over the visible area (grid shown only).
  void createGrid();
  // Compiles and appends the two grid records for the model's grid.
  void postGridRecords();

  // ---- commands ----
  // The snapshot the update rules read.
  SectionViewState commandState() const;
  // The update (enabled, checked) of a command in the present state.
  CommandUpdate OnUpdateCommand(UINT id) const { return updateCommand(id, commandState()); }
  // Runs a view command handled here; false for one that is not (yet).
  bool OnCommand(UINT id);
  // True for the commands that OnCommand runs itself.
  static bool isOwnCommand(UINT id);

  // ---- the window's commands (SectionViewCommandHandlers.cpp) ----
  // What a registered command runs; value is the item chosen in a list
  // command (the grid list), else 0.
  using CommandHandler = std::function<void(int value)>;
  // Runs command id when its update enables it: OnCommand's commands, then
  // the registered handlers. False when it is disabled or nothing runs it.
  // The document's model becomes the current one first.
  bool RunCommand(UINT id, int value = 0);
  // The update the window shows: the command's rule, and enabled only when
  // something runs it.
  CommandUpdate OnUpdateCommandUI(UINT id) const;
  // Registers (replaces) the handler of command id. available, when given,
  // tells whether it can run now (its dialog or window exists).
  void registerCommand(UINT id, CommandHandler handler, std::function<bool()> available = {});
  // True when OnCommand or a registered handler that is available runs id.
  bool hasHandler(UINT id) const;
  // The "Section Operations" context menu: its entries in order, each
  // enabled as OnUpdateCommandUI says.
  ViewMenu contextMenu() const;
  // The factory of the view's dialogs (the window gives it; null: none);
  // the basic-shape, rotate, mirror and translate dialogs are made now.
  void setDialogFactory(const SectionDialogFactory* factory);
  // Called by the pending profile dialog once it is finished: the view no
  // longer counts it as pending (the object lives until the next profile).
  void profileDialogFinished(ModelessDialog* dialog);
  // The Edit entry that a double click runs on the kept pick; until one is
  // given it does nothing.
  void setEditEntry(std::function<void()> entry) { m_editEntry = std::move(entry); }
  // Runs the Edit entry.
  void OnEdit();
  // Background Color: asks the window for a colour (preset to the present
  // one); on OK the background becomes its bytes / 255 and the view redraws.
  void OnBackgroundColor();
  // Display Precision: asks "Number of Decimal Places" preset to the model's
  // display precision and stores the answer truncated; a value below 0,
  // above 15 or not finite is refused with a message and changes nothing.
  void OnDisplayPrecision();
  // Calculator: starts the program named by the profile entry "Calculator"
  // of section "Settings" ("gnome-calculator" when absent); silent when it
  // cannot start.
  void OnCalculator();
  // Rubber Zoom: starts the zoom-to-box loop.
  void OnRubberZoom();
  // A basic-shape command: refused while the current sub-section's union is
  // on; makes sure of "root"; sets the dialog's kind; unless already open,
  // registers it with the document, resets its edit state, gives it the
  // document and model, and shows it.
  void OnBasicShape(int kind);
  // A profile command: the union refusal and "root" as above; a new profile
  // dialog of that kind gets the current sub-section's name, becomes the
  // pending profile dialog and is shown.
  void OnProfile(int kind);
  // Polygon: the union refusal and "root"; the point-set dialog is made on
  // first use and, unless open, registered and shown.
  void OnPolygon();

  // ---- analysis commands (SectionViewAnalysisCommands.cpp) ----
  // Restrained (restrained true) or Unrestrained Bending: refused unless
  // the current sub-section is meshed; unrestrained resets the result kind
  // and refuses a section whose shapes lack a material ("Plotting"). While
  // a bending dialog is open it is brought to the front; else a new one
  // with the restrained flag is shown and becomes the bending dialog (which
  // blocks the rule-D commands) and the one result requests reach.
  void OnBending(bool restrained);
  // Plastic Analysis: refused unless meshed; the open plastic dialog is
  // brought to the front, else a new one on the model, its current
  // sub-section and this view is shown and held as the plastic dialog.
  void OnPlasticAnalysis();
  // Cozzone Method (unsymmetric false) or Unsymmetric Section: properties
  // marked out of date; refused ("Cozzone Method") without a single
  // material or when its Fty_l, Ftu_l, E or maximum tensile strain is not
  // above 0; else its dialog runs modally with the unit texts, and the
  // result pane is refreshed when the properties are up to date after it.
  void OnCozzone(bool unsymmetric);
  // Convert Forces, Project Force and Ramberg-Osgood Stress: the dialog of
  // kind, made on first use, shown (brought to the front when open).
  void OnCalculatorDialog(SectionDialogKind kind);
  // Called by a bending dialog as it closes: it is no longer the bending
  // dialog nor the result dialog, and the rule-D commands come back. The
  // object lives until the next bending dialog is made.
  void bendingDialogClosed(ModelessDialog* dialog);
  // Called by the plastic dialog as it closes.
  void plasticDialogClosed(ModelessDialog* dialog);
  // The document is closing: the bending and plastic dialogs, when open,
  // are closed and no longer held.
  void CloseResultDialogs() override;

  // ---- the window (CThickSectionViewWindow.cpp) ----
  // Shows the view through window (null: back to the view's own windowless
  // host, or none). The window's size is taken at its next size event.
  void attachWindow(SectionViewHost* window);
  // The host as a section view's window, or null (no window, or a plain host).
  SectionViewHost* sectionHost() const;
  // One zoom step: 6 narrows the view window by 5 % of its size on each
  // side, 7 widens it by as much; other codes do nothing. No step takes
  // the window's shorter side below 1e-5 or its longer side above 1e9.
  void zoomStep(int code) override;
  // True when the rotate, mirror or translate dialog is open.
  bool transformDialogOpen() const;
  // The hover tooltip at client pixel (x, y): over a construction point
  // "(x,y)" at the point, over a shape "id:name  matl:material" (or
  // "id:name") at the pixel's model point; the view redraws. The picks and
  // the last pick point stay. True when a tooltip is shown afterwards.
  bool showTooltipAt(int x, int y);
  // Hides a shown tooltip and redraws.
  void hideTooltip();
  bool tooltipShown() const { return m_tooltipShown; }
  const CStringA& tooltipText() const { return m_tooltipText; }
  Point<double> tooltipPoint() const { return m_tooltipPoint; }
  // Writes line (gLogMsg when null) to the document's journal.
  void journal(const wchar_t* line = nullptr);
  // Section Properties: recomputes the current sub-section's properties
  // and fills the result pane; no journal line, no snapshot. A failure is
  // shown captioned "Computation Error".
  void OnSectionProperties();
  // Undo: journals "xscn.Undo", restores the previous snapshot, makes sure
  // of "root", rebuilds and refreshes the section tree. With no snapshot to
  // go back to the model is left as it is; a restore that fails throws and
  // leaves the model and the snapshots as they were.
  void OnUndo();
  // Redo: journals "xscn.Redo" and, with the journal blocked, restores the
  // next snapshot, makes sure of "root", rebuilds, fits and refreshes the
  // tree. With nothing to redo, or a restore that fails (it throws), the
  // model stays.
  void OnRedo();
  // Delete All Meshes: the current sub-section's result kind becomes 0,
  // the view's mesh records go, the document deletes the meshes and welds
  // (journalled), then rebuild and change routine. A failure is shown
  // captioned "Mesh Deletion Failure".
  void DeleteMeshes();
  // Adds a line-plot record (made in this view's context) to the display at
  // priority 8 and redraws.
  void ShowLinePlot(DspRecord* record);

  // ---- model commands (SectionViewModelCommands.cpp, SectionViewPointCommands.cpp) ----
  // The questions the commands ask: the window's; null without a window,
  // and then every question counts as cancelled.
  ViewPrompts* prompts() const;
  // Change Sign: each picked shape turns solid <-> hole, journalled with the
  // sub-section that holds it; change routine, picks cleared, rebuild.
  void OnChangeSign();
  // Union of the current sub-section, under the wait cursor. Refused
  // ("Union Operation") while it holds a mesh or its solid shapes have
  // differing materials; "xscn.Union" is journalled only once it is made.
  void OnUnion();
  // Rename of the one picked shape: asks "Enter new name for shape"; an
  // empty name or one that a shape or sub-section of the model holds is
  // refused ("Rename Shape").
  void OnRename();
  // Keyin Location: asks for a point and adds it to the current
  // sub-section; then, OK or not, picks cleared, change routine, rebuild
  // and the full view.
  void OnKeyinLocation();
  // Add Pts Between: asks "How many points?" (1 to 10000, truncated) and
  // spaces that many points evenly between the two picked points.
  void OnAddPointsBetween();
  // Pt At Distance: asks "Distance From First Point Along Vector" and adds
  // the point at that distance from the first picked point towards the
  // second (at the first point when the two coincide).
  void OnPointAtDistance();
  // Pts At Radius: points on a circle around the picked point; a whole
  // turn spreads them (end - start) / n apart, any other arc
  // (end - start) / (n - 1) so that both ends get one.
  void OnPointsAtRadius();
  // Delete Pts: every construction point of the current sub-section goes.
  void OnDeletePoints();
  // Measurements of the picked points, shown as status texts.
  void OnDistance2Points();
  void OnDeltas2Points();
  void OnAngle2Points();
  // The angle at the second of three picked points, 0 to 180 degrees; the
  // basic-shape dialog's pick fields are reset when it is open.
  void OnAngle3Points();
  // Move Object's Vertex to Location / to Match Vertex: the picked vertex's
  // shape is translated ("Pick Error" for a free point, "Move Shape" for a
  // shape that a mesh was made from).
  void OnMoveVertexToLocation();
  void OnMoveVertexToVertex();
  // Mirrors the picked shapes about the picked point: horizontally (axis
  // normal (1, 0): left and right change places) or vertically (normal
  // (0, 1)); then the full view.
  void OnMirrorAboutVertex(bool horizontally);
  // Rotate Object About Vertex: unless open, the rotate dialog with the
  // picked point as centre, angle and increment 0, on the picked shapes.
  void OnRotateAboutVertex();
  // The transformation commands of the ribbon: refused ("Transformations")
  // while the current sub-section holds a union; "root" made sure of; the
  // dialog of kind (Rotate, Mirror, Translate), unless open, set to mode
  // (a copy named by nameGen), registered and shown. direction is the
  // mirror axis's.
  void OnTransform(SectionDialogKind kind, TransformMode mode, Point<double> direction = Point<double>());
  // The picked construction points in pick order (entries without a
  // record skipped).
  std::vector<PickedDot> pickedDots() const;

  // ---- exchange commands (SectionViewExchangeCommands.cpp) ----
  // Export Shapes as Polygon: the current sub-section's properties
  // recomputed, a text file asked for and written (WritePolygonExport);
  // "Unable to write <path>" ("Export Shapes as Polygon") when it cannot be.
  void OnExportPolygon();
  // Import IGES: under the wait cursor, an IGES file asked for and read
  // into the current sub-section; journals "xscn.ReadIGES "path"" and runs
  // the change routine. A reader failure is shown ("IGES Error") and
  // nothing is journalled. Then rebuild, redraw and the full view.
  void OnImportIges();
  // Export IGES: a file asked for (an existing one only after Yes to
  // "<path> already exists..."), written beside it and moved into its place
  // once complete, so a failed write leaves the old file whole; journals
  // "xscn.WriteIGES "path"" after success; failures shown ("IGES Error").
  void OnExportIges();
  // Export Section Properties as XML: properties recomputed, a file and a
  // set name asked for, the XML export written (no journal line).
  void OnWriteSectionProperties();
  // Create New Database: a folder asked for; its "Quenholt.sqldb" (after
  // Yes to replace one) made with its tables, controls and the two default
  // metals; then "xscn.CreateDatabase" and one "xscn.AddMaterialDef" per
  // metal journalled and the model's database path set.
  void OnCreateDatabase();
  // Connect To Existing Database: a database file asked for and proved by
  // connecting; then "xscn.ConnectDatabase" journalled and the path set. A
  // folder or unreadable path ("Invalid SQLite Database") or a file that is
  // no database ("Not a valid SQLite database") clears the path, no line.
  void OnConnectDatabase();
  // Show Path To Database: the model's database path in a box.
  void OnShowDatabasePath();
  // ---- mesh, weld and material commands (SectionViewMeshCommands.cpp,
  // SectionViewMaterialCommands.cpp) ----
  // Mesh Selected: the mesh parameters asked under the wait cursor; on OK
  // each picked shape is meshed ("xscn.MeshShape"), or a profile piece's
  // sub-section once ("xscn.MeshSubSection"); a hole or a shape without a
  // material stops the walk ("Meshing"). OK or not: rebuild and change
  // routine. No current sub-section throws "current subsection does not
  // exist"; a failure of the meshing shows captioned "Mesh Creation Failure".
  void OnCreate2DMesh();
  // Move Child Meshes To Root Section, journalled.
  void OnMoveChildMeshes();
  // Local size control: asks the element size and the radius; each picked
  // point, in pick order, adds a control for its shape to the model and is
  // journalled; a free point ends the command ("Local Size Control
  // Failure"), a size or radius that is not positive is refused.
  void OnLocalSizeControl();
  // Create Weld: explains the box in the status bar and starts the box
  // loop; the box then goes to createWeldIn.
  void OnCreateWeld();
  // The end of Create Weld on the box of corners a and b: the status
  // cleared; nothing for a diagonal below 1e-4; else a weld of the current
  // sub-section, journalled "xscn.CreateWeld", or "The weld rectangle must
  // contain only border elements of two meshes" ("Weld Construction").
  void createWeldIn(const Point<double>& a, const Point<double>& b);
  // Delete Welds and Execute Welds of the current sub-section, journalled;
  // a failure shows captioned "Computation Error" and the view is rebuilt.
  void OnDeleteWelds();
  void OnExecuteWelds();
  // Set Material All: refused ("Set Material") while the root or the
  // current sub-section holds a mesh; else the material chosen goes to the
  // current sub-section, those below it and their shapes but the holes,
  // journalled "xscn.ApplyMaterialToAll".
  void OnSetMaterialAll();
  // Set Material For Selected (and the context menu's Set Material): the
  // same refusal; a material of another unit system than the document's is
  // refused ("Material Settings"); else each picked shape, or a profile
  // piece's sub-section once, takes it, journalled "xscn.ApplyMaterial".
  void OnSetMaterialSelected();
  // Edit Materials: the material manager on the model's database ("SQL
  // error" when the database cannot be opened), then a rebuild.
  void OnEditMaterials();

  // ---- picking (CThickSectionViewPicking.cpp) ----
  // A click at client pixel (x, y), y downwards: the element or node value
  // pick when its flag is set, else the selection pass with the type mask;
  // a dot is picked and its point sent to the dialogs; in pick mode 1 a
  // shape is picked and selected; in pick modes 2 and 3 the result at the
  // point is requested. A click on a record that is already picked (or
  // on another record of a picked object) turns every pick off.
  void pick(int x, int y, UINT typeMask) override;
  // The selection pass around the pixel (10 x 10 pick box, 512 entries):
  // the chosen record (null for none) and the last pick point and object.
  DspRecord* selectAt(int x, int y, UINT typeMask);
  // Among the hit records that are pickable and on layer 0: the highest
  // pick priority; among equals the shape of smallest |area|; else the
  // first hit. Picked records take part.
  DspRecord* processHits(int hits, GLuint* buffer, UINT unused) override;
  // A picked dot: status "Point at (x,    y)", the dot marked picked and
  // its location sent by value to one receiver (see dotPicked in the .cpp).
  void dotPicked(DspRecord* record);
  // Journals "xscn.SelectShape "name"", tells the shape-selection dialog
  // when open, else shows the status "Shape name".
  void shapeSelected(DspRecord* record);
  // The element under the pixel in a box captioned "Element Pick" ("Element
  // %d"); throws "No current subsection" without a sub-section.
  void elementPick(int x, int y);
  // The node under the pixel: "Id is %d at (%g,%g)" (with a stress display
  // the node's axial stress "%g") captioned "Node Value Pick"; the node or null.
  CFENodeAnalysis* nodeValuePick(int x, int y);
  // Every shape of every sub-section put in the pick list (no journal).
  void selectAllShapes();
  // The picked shapes (records of type 32 whose object is a shape), each
  // once, in pick order; the walk stops at an id without a record (then
  // *complete is false).
  std::vector<CShapeAnalysis*> pickedShapes(bool* complete = nullptr) const;
  // Names of the picked shapes, in pick order.
  std::vector<CString> pickedShapeNames() const override;
  // True at the first picked shape that lies in the model's tree; an entry
  // without a record shows "null value in picklist" ("picklist error").
  bool anyPickedShapeInModel();
  // The number of picked entries; an entry without a record clears the
  // picks and gives 0.
  int pickedCount();
  // The same, entries without a record skipped.
  int pickedCountLenient() const;
  // The first two picked dots' locations and the shape owning the first;
  // false for fewer than two or at an entry without a record.
  bool twoPickedDots(Point<double>* first, Point<double>* second, CShapeAnalysis** owner) const;
  // "null value in picklist" ("picklist error") for each entry without a record.
  void validatePickList();

  // ---- transformations (CThickSectionViewTransform.cpp) ----
  // Mirrors (or mirror-duplicates) every picked shape in the line through
  // point with normal; a pick entry without a record stops the walk and
  // leaves the picks. Ends with the picks cleared, the rebuild, the change routine.
  void mirrorPicked(bool duplicate, Point<double> point, Point<double> normal);
  // Rotates (or rotate-duplicates) every picked shape about (cx, cy) by
  // degrees; refused with "Mesh must be deleted before a shape may be
  // rotated" ("Transformations") while the sub-section has a mesh.
  void rotatePicked(bool duplicate, double cx, double cy, double degrees);
  // Translates (or translate-duplicates) every picked shape by v.
  void translatePicked(Point<double> v, bool duplicate);
  // One shape's step of each walk, with its journal line
  // ("xscn.MirrorDuplicate "a", "b",x1,y1,x2,y2", "xscn.MirrorShape "a", x1,y1,x2,y2",
  // "xscn.RotateDuplicateShape "a", "b", x,y,deg", "xscn.RotateShape "a", x,y,deg",
  // "xscn.TranslateDuplicateShape "a","b",x,y", "xscn.TranslateShape "a",x,y").
  // Rotate and translate skip (false) a shape whose target already holds
  // another shape of its kind. The caller rebuilds and runs the change routine.
  void mirrorShape(CShapeAnalysis* shape, bool duplicate, Point<double> point, Point<double> normal);
  bool rotateShape(CShapeAnalysis* shape, bool duplicate, double cx, double cy, double degrees);
  bool translateShape(CShapeAnalysis* shape, Point<double> v, bool duplicate);
  // p turned about centre by degrees (z kept).
  static void rotatePoint(Point<double>& p, const Point<double>& centre, double degrees);

  // ---- the box overlay (CThickSectionViewOverlay.cpp) ----
  // A translucent box with a black outline between the corners lo and hi,
  // drawn over the current sub-section after every rebuild until cleared.
  // It is view state: the model, its saved file and its undo never see it.
  void setBoxOverlay(Point<double> lo, Point<double> hi);
  // Removes the box overlay (nothing when none is shown).
  void clearBoxOverlay();
  bool hasBoxOverlay() const { return m_boxOverlayShown; }
  // The number of box-overlay records in the display list (after a rebuild).
  int boxOverlayRecords() const;

  // ---- picking and transformation state ----
  int m_pickMode = 1;              // 1 shapes, 2 and 3 result requests
  BYTE m_elementPick = 0;          // tested before the node value pick
  BYTE m_nodeValuePick = 0;
  int m_stationDisplay = 0;        // while set clicks pick nothing
  BYTE m_rebuildAfterTransform = 1;
  Point<double> m_lastPickPoint;
  void* m_lastPickedObject = nullptr;
  ModelessDialog* m_shapeSelectionDialog = nullptr;
  ModelessDialog* m_unrestrainedDialog = nullptr;
  ModelessDialog* m_plasticDialog = nullptr;
  std::vector<ModelessDialog*> m_pointDialogs;  // the point-taking dialogs

  // ---- view state ----
  int m_redrawEnabled = 1;
  int m_modelessCreated = 0;
  ModelessDialog* m_basicShapeDialog = nullptr;
  ModelessDialog* m_rotateDialog = nullptr;
  ModelessDialog* m_mirrorDialog = nullptr;
  ModelessDialog* m_translateDialog = nullptr;
  ModelessDialog* m_pointSetDialog = nullptr;
  ModelessDialog* m_relativePointDialog = nullptr;
  // Relative Point: the relative-point dialog (made on first use) preset
  // with the last construction point.
  void OnRelativePoint();
  ModelessDialog* m_pendingProfileDialog = nullptr;
  ModelessDialog* m_bendingDialog = nullptr;
  int m_meshDisplay = 1;
  int m_nodeIds = 0;
  int m_elementIds = 0;
  int m_labelMode = 0;
  int m_positionPoints = 0;
  int m_gridShown = 0;
  int m_gridPriority = 1;
  GLuint m_gridXList = 0;
  GLuint m_gridYList = 0;
  int m_hold = 0;
  int m_displayKind = 0;
  CString m_status;
  GLUtesselator* m_tess = nullptr;
  int m_unlabelledCheck = 0;
  CString m_viewName;
  LightProperties m_gridMaterial{0.6f, 0.6f, 0.6f};

  // ---- editing commands (SectionViewEditOps.cpp) ----
  // Delete: journals "xscn.DeleteSelected", then with the journal blocked
  // deletes the picked points still present, the picked basic shapes by
  // name and each picked profile's sub-section once; then the picks are
  // emptied, the geometry marked changed, the view rebuilt and the change
  // routine run.
  void DeleteSelected() override;
  // Undo Union: refused ("Break Apart") while the current sub-section
  // holds a mesh; else the union removed, rebuilt, change routine, picks
  // cleared, and only then "xscn.BreakUnion" journalled.
  void OnBreakUnion() override;
  // Picks every active record that shows one of the shapes.
  bool SelectShapes(const std::vector<const void*>& shapes) override;

 protected:
  // ---- hooks for the parts that other components supply ----
  // The modeless dialogs of the view (basic shape, rotate, mirror,
  // translate) that the dialog factory can make and that do not exist yet;
  // "created" once all four exist.
  virtual void CreateModelessDialogs();
  // The record of one mesh: the mesh's own plain or contour drawing when
  // it has one; this default draws its nodes as points.
  virtual DspRecord* meshRecord(CMesh* mesh, CSubSection* sub, bool contour);
  // The sub-section's result range for the section forces (maxmin of
  // its displayed result kind).
  virtual void computeResultRange(CSubSection* sub, CSectionForces* forces);
  // The sub-section's result kind (0 none, 3 stress, 4 strain) and its
  // stress-display flag; the results component keeps them.
  virtual int resultKind(const CSubSection* /*sub*/) const { return m_resultKind; }
  virtual void resultKind(CSubSection* /*sub*/, int kind) { m_resultKind = kind; }
  virtual bool stressDisplay(const CSubSection* /*sub*/) const { return m_stressDisplay; }
  virtual void stressDisplay(CSubSection* /*sub*/, bool on) { m_stressDisplay = on; }
  // The title block is drawn by the later window work.
  // (CThickSectionViewResults.cpp) With the properties up to date and a
  // valid view window: the blue "Mr" arrow from the centroid along the
  // resultant moment and, unless the forces are a Cozzone result (kind 7),
  // the "Mna" arrow from the neutral-axis point; then the markers of kinds
  // 1 and 2, and 3 when the plastic centroid means something.
  virtual void drawPlasticArrows(CSubSection* sub, CSectionForces* forces);
  // With the properties up to date: the markers of kind 2, and of kind 3
  // as above.
  virtual void drawSectionMarkers(CSubSection* sub);
  // Node identifiers on a white background at their nodes; element numbers
  // at their elements' centres, quadrilaterals then triangles: the labels
  // the element and node value picks find (CThickSectionViewMeshLabels.cpp).
  virtual void drawNodeNumbers(CSubSection* sub);
  virtual void drawElementNumbers(CSubSection* sub);
  virtual void drawTitleBlock() {}
  // The hover tooltip, black on white, placement "lb", at its point.
  virtual void drawTooltip();

  // ---- lighting ----
  // One white light along the line of sight, set so that a lit record
  // facing the viewer shows exactly its own colour (0.2 ambient + 0.8
  // diffuse); records that draw lit switch lighting on themselves.
  void lightsOn() override;

  // ---- overlays drawn here ----
  // The red axis cross with the label "00" at the origin.
  void drawAxisCross();
  // Numbered defining points of the picked shapes (position points on).
  void drawPickedShapePoints();
  // The numbers of the sub-section's result locations.
  void drawResultLocationLabels(CSubSection* sub);
  // The minimum (blue) and maximum (red) result values at their nodes.
  void drawExtremeValues(CSubSection* sub, CSectionForces* forces, int kind);
  // Grid labels: "%g" values (below 1e-5 in magnitude: "0").
  void drawGridLabels();
  // Material names of the current shapes (label mode 1).
  void drawMaterialLabels();

 private:
  void drawScene();
  // The picks cleared, "root" made sure of, the lists out of date.
  void markListsOutOfDate();
  // The records of the current sub-section posted into an emptied list.
  void postRecords();
  void postShapes(CSubSection* sub);
  void postWelds(CSubSection* sub);
  void postMeshes(CSubSection* sub);
  void postConstructionPoints(CSubSection* sub);
  void postBoxOverlay(CSubSection* sub);
  void removeGridRecords();
  void compileGridList(GLuint list, bool xLines);
  void setStatus(const CString& text);
  // Every object the model holds that a record may show.
  std::unordered_set<const void*> objectsHeld() const;
  void toggleMeshIds(bool elements);

  // ---- picking helpers (CThickSectionViewPicking.cpp) ----
  // Draws a pickable box named name around a label's point.
  using LabelBox = std::function<void(GLuint name, const Point<double>& at)>;
  // Gives the labels of one mesh to the box drawer.
  using LabelNamer = std::function<void(CMesh* mesh, const LabelBox& box)>;
  // A selection pass over the current sub-section's mesh labels (near plane
  // as given, far 400): the hit count, hits in m_labelHits. Throws "No
  // current subsection" without one.
  int labelPickPass(int x, int y, double nearPlane, const LabelNamer& labels);
  // A message box through the host (the hooks without one).
  int showMessage(const CString& text, const CString& caption, UINT type);
  std::array<GLuint, 512> m_labelHits{};
  // ---- transformation helpers (CThickSectionViewTransform.cpp) ----
  // The end of a walk: picks cleared, rebuild and redraw when the rebuild
  // flag is set, and, when a shape changed, the document's change routine.
  void finishTransform(bool changed);

  // ---- commands and dialogs of the window (SectionViewCommandHandlers.cpp) ----
  struct RegisteredCommand {
    CommandHandler run;
    std::function<bool()> available;
  };
  void registerWindowCommands();
  // Registers the model commands of SectionViewModelCommands.cpp.
  void registerModelCommands();
  // Registers the exchange commands of SectionViewExchangeCommands.cpp.
  void registerExchangeCommands();
  // Registers the mesh, weld and material commands.
  void registerMeshCommands();
  // Runs change on the model, then rebuilds, journals line and runs the
  // change routine; a std::exception is shown ("Computation Error") and
  // the view rebuilt, with no line.
  void changeJournalled(const std::function<void()>& change, const wchar_t* line);
  // Registers the analysis commands of SectionViewAnalysisCommands.cpp.
  void registerAnalysisCommands();
  // Section markers (CThickSectionViewResults.cpp): kind 1 centroid "CG",
  // 2 area centroid "ACG" (and mass centroid "MCG" with densities), 3
  // plastic centroid "PCG".
  void drawMarkerKind(CSubSection* sub, int kind);
  void drawMarker(const Point<double>& at, const char* label, int side);
  // The plastic centroid marker is drawn: Fcy defined, one material, a mesh.
  static bool plasticMarkerShown(const CSubSection* sub);
  // Adds a construction point to sub and journals "xscn.AddPoint".
  void addJournalledPoint(CSubSection* sub, double x, double y);
  // True when a mesh of the model was made from the shape (or from the
  // profile that holds it).
  bool meshMadeFrom(const CShapeAnalysis* shape) const;
  // Shows the union refusal and answers true while the current sub-section
  // holds a union.
  bool refuseWhileUnionOn();
  // The dialog in slot, made by the factory when it is empty.
  SectionDialog* dialogIn(std::unique_ptr<SectionDialog>& slot, ModelessDialog*& pointer, SectionDialogKind kind);
  // Deletes the dialog of slot, unregistering it from the document first.
  void releaseDialog(std::unique_ptr<SectionDialog>& slot);
  std::map<UINT, RegisteredCommand> m_commands;
  const SectionDialogFactory* m_dialogFactory = nullptr;
  std::unique_ptr<SectionDialog> m_basicShapeOwned;
  std::unique_ptr<SectionDialog> m_rotateOwned;
  std::unique_ptr<SectionDialog> m_mirrorOwned;
  std::unique_ptr<SectionDialog> m_translateOwned;
  std::unique_ptr<SectionDialog> m_pointSetOwned;
  std::unique_ptr<SectionDialog> m_profileOwned;
  std::unique_ptr<SectionDialog> m_relativePointOwned;
  std::unique_ptr<SectionDialog> m_bendingOwned;
  std::unique_ptr<SectionDialog> m_plasticOwned;
  std::map<SectionDialogKind, std::unique_ptr<SectionDialog>> m_calculatorsOwned;
  std::function<void()> m_editEntry;
  // ---- hover tooltip ----
  bool m_tooltipShown = false;
  CStringA m_tooltipText;
  Point<double> m_tooltipPoint;

  CXSectionAnalysisDoc* m_document = nullptr;
  std::unique_ptr<CViewHost> m_ownHost;
  int m_resultKind = 0;
  bool m_stressDisplay = false;
  CXSectionAnalysis* m_listsModel = nullptr;  // the model the records were built from
  bool m_boxOverlayShown = false;
  Point<double> m_boxOverlayLo, m_boxOverlayHi;
  // ---- drawing on demand ----
  bool m_pictureStale = true;  // the buffer does not show the scene as it is
  bool m_listsStale = true;    // the records do not show the model as it is
  bool m_drawing = false;      // inside renderPixels: no paint is asked for
  int m_drawnWidth = 0;        // the buffer size of the last picture
  int m_drawnHeight = 0;
  int m_renderCount = 0;
  int m_rebuildCount = 0;
};

// Formats a grid-label value: "%g", a magnitude below 1e-5 written "0".
CString gridLabel(double value);
// The grid labels that can be drawn without overlapping, as indices in
// increasing order: a label spans centre +- half (pixels along the axis),
// lies within [low, high] and keeps gap pixels to every other kept one;
// the labels of the solid lines (every fourth from the first) are placed
// first, then the others.
std::vector<std::size_t> legibleGridLabels(const std::vector<double>& centres, const std::vector<double>& halves,
                                           double gap, double low, double high);
