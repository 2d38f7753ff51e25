// The section view's commands: their identifiers and the update rule of
// each (enabled, checked) as a pure function of a snapshot of the view, its
// document and its model. The view takes the snapshot; the window adapter
// only asks updateCommand and shows the answer.
#pragma once

#include "platform/core/Types.h"

// Command identifiers of the section view (ribbon, context menu, accelerators).
namespace SectionCommand {
enum : UINT {
  Undo = 57643,
  Redo = 57644,
  Delete = 32869,
  ChangeSign = 33209,
  FullView = 32986,
  RubberZoom = 33174,
  ShapeIds = 33238,
  PositionPoints = 32834,
  ShowMaterials = 40030,
  GridPosition = 40093,
  BackgroundColor = 40108,
  Rectangle = 33159,
  Trapezoid = 33287,
  Disk = 32876,
  Triangle = 33288,
  Sector = 33202,
  Fillet = 33213,
  SectorChord = 33224,
  Annulus = 32775,
  Polygon = 33221,
  ExtrudedTee = 32825,
  FormedL = 32824,
  ExtrudedL = 32828,
  IBeam = 40015,
  ExtrudedC = 40016,
  ExtrudedZ = 40017,
  FormedZ = 40018,
  FormedC = 40019,
  ExtrudedJ = 40020,
  Distance2Points = 33141,
  Deltas2Points = 33144,
  AddPointsBetween = 33137,
  PointsAtIntersections = 33150,
  Angle2Points = 33135,
  Angle3Points = 40005,
  PointAtDistance = 40006,
  PointsAtRadius = 40105,
  KeyinLocation = 40106,
  DeletePoints = 40107,
  Calculator = 40021,
  TranslateAll = 33279,
  TranslateSelected = 33277,
  TranslateDuplicate = 33281,
  RotateAll = 33273,
  RotateSelected = 33272,
  RotateDuplicate = 33275,
  MirrorHorizontal = 33268,
  MirrorVertical = 33269,
  MirrorDuplicateHorizontal = 33266,
  MirrorDuplicateVertical = 33267,
  Union = 33293,
  UndoUnion = 32822,
  CreateDatabase = 40024,
  ConnectDatabase = 40023,
  ShowDatabasePath = 40029,
  EditMaterials = 40022,
  SetMaterialAll = 33048,
  SetMaterialSelected = 33049,
  DisplayPrecision = 32884,
  SectionProperties = 32903,
  MeshSelected = 40007,
  DeleteAllMeshes = 40008,
  MoveChildMeshes = 40100,
  DisplayMesh = 33330,
  DisplayElementIds = 40034,
  DisplayNodeIds = 40031,
  CreateWeld = 40052,
  DeleteWelds = 40053,
  ExecuteWelds = 40054,
  UnrestrainedBending = 40083,
  RestrainedBending = 40081,
  PlasticAnalysis = 40082,
  CozzoneMethod = 40109,
  UnsymmetricSection = 40126,
  ConvertForces = 40113,
  ProjectForces = 40115,
  RambergOsgood = 40118,
  LoadCondition = 33331,
  ExportPropertiesXml = 40098,
  ExportPolygon = 40014,
  ImportIges = 40123,
  ExportIges = 40124,
  Print = 57607,
  PrintPreview = 57609,
  New = 57600,
  MoveVertexToLocation = 40084,
  MoveVertexToVertex = 40087,
  MirrorHorizontalAboutVertex = 40088,
  MirrorVerticalAboutVertex = 40089,
  Rename = 40090,
  SetMaterialContext = 40091,
  RotateAboutVertex = 40092,
  // Bound without any ribbon, menu or accelerator entry.
  RecomputeProperties = 32978,
  ToggleGrid = 32988,
  MoveToBack = 33064,
  AddPoint = 33134,
  UnlabelledCheck = 33139,
  RefreshPoints = 33145,
  RelativePoint = 33148,
  RubberZoomAlias = 33169,
  FullViewAlias = 33172,
  Rebuild = 33179,
  Blend = 33227,
  PropertiesOutOfDate = 33242,
  ClearPicks = 33295,
  UnpickLast = 33298,
  LocalMeshSize = 40010,
  ClearResultLocations = 40051,
};
}  // namespace SectionCommand

// What the update rules read: a copy of the view's flags and counts of its
// picks, document and model at one moment.
struct SectionViewState {
  // ---- document and model ----
  bool modelExists = false;
  bool canUndo = false;               // the undo store holds an earlier snapshot
  bool canRedo = false;               // the undo store holds a later snapshot
  bool databasePathSet = false;       // the model's material-database path is not empty
  int modelShapes = 0;                // shapes of the whole model
  // ---- current sub-section ----
  bool currentSubSection = false;     // the model has a current sub-section
  bool treeHasShape = false;          // its tree holds at least one shape
  bool shapeWithMaterial = false;     // one of its current shapes has a material
  int meshes = 0;                     // meshes it holds
  int welds = 0;                      // welds it holds
  bool unionOn = false;               // it holds a union
  bool childMesh = false;             // a sub-section below "root" holds a mesh
  bool resultLocations = false;       // it has result locations
  // ---- picks ----
  int picks = 0;                      // entries of the pick list
  int pickedPoints = 0;               // picked construction points
  int pickedShapes = 0;               // picked shapes
  bool pickedShapeInSection = false;  // a picked shape lies in the current section
  // ---- dialogs in progress ----
  bool profilePending = false;        // a profile dialog is open and not finished
  bool basicShapeOpen = false;        // the basic-shape dialog is open
  bool bendingOpen = false;           // a bending dialog exists
  bool pointSetOpen = false;          // the point-set dialog is open
  // ---- view flags ----
  int labelMode = 0;                  // 0 none, 1 materials, 2 identifiers
  bool positionPoints = false;
  bool meshDisplay = true;
  bool nodeIds = false;
  bool elementIds = false;
  bool gridShown = false;
  bool unlabelledCheck = false;
};

// The answer of an update rule. checked is -1 for a command that shows no
// check mark, else 0 or 1.
struct CommandUpdate {
  bool enabled = false;
  int checked = -1;

  friend bool operator==(const CommandUpdate&, const CommandUpdate&) = default;
};

// The update of command id in state s. A command the view does not handle
// (33150, any unknown identifier) is disabled. Node and element identifiers
// are never both checked: the element flag wins a state that has both.
CommandUpdate updateCommand(UINT id, const SectionViewState& s);

// True when the view handles the command id (it has an entry in the table).
bool isSectionCommand(UINT id);
