// The update rules of the section view's commands over a table of view
// states: every command is asked in every state.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "lorimant/view/SectionViewCommands.h"

namespace {

namespace C = SectionCommand;

// Every command the view binds, and one it does not.
const std::vector<UINT> kAllCommands = {
    C::Undo, C::Redo, C::Delete, C::ChangeSign, C::FullView, C::RubberZoom, C::ShapeIds, C::PositionPoints,
    C::ShowMaterials, C::GridPosition, C::BackgroundColor, C::Rectangle, C::Trapezoid, C::Disk, C::Triangle,
    C::Sector, C::Fillet, C::SectorChord, C::Annulus, C::Polygon, C::ExtrudedTee, C::FormedL, C::ExtrudedL,
    C::IBeam, C::ExtrudedC, C::ExtrudedZ, C::FormedZ, C::FormedC, C::ExtrudedJ, C::Distance2Points,
    C::Deltas2Points, C::AddPointsBetween, C::PointsAtIntersections, C::Angle2Points, C::Angle3Points,
    C::PointAtDistance, C::PointsAtRadius, C::KeyinLocation, C::DeletePoints, C::Calculator, C::TranslateAll,
    C::TranslateSelected, C::TranslateDuplicate, C::RotateAll, C::RotateSelected, C::RotateDuplicate,
    C::MirrorHorizontal, C::MirrorVertical, C::MirrorDuplicateHorizontal, C::MirrorDuplicateVertical, C::Union,
    C::UndoUnion, C::CreateDatabase, C::ConnectDatabase, C::ShowDatabasePath, C::EditMaterials, C::SetMaterialAll,
    C::SetMaterialSelected, C::DisplayPrecision, C::SectionProperties, C::MeshSelected, C::DeleteAllMeshes,
    C::MoveChildMeshes, C::DisplayMesh, C::DisplayElementIds, C::DisplayNodeIds, C::CreateWeld, C::DeleteWelds,
    C::ExecuteWelds, C::UnrestrainedBending, C::RestrainedBending, C::PlasticAnalysis, C::CozzoneMethod,
    C::UnsymmetricSection, C::ConvertForces, C::ProjectForces, C::RambergOsgood, C::LoadCondition,
    C::ExportPropertiesXml, C::ExportPolygon, C::ImportIges, C::ExportIges, C::Print, C::PrintPreview, C::New,
    C::MoveVertexToLocation, C::MoveVertexToVertex, C::MirrorHorizontalAboutVertex, C::MirrorVerticalAboutVertex,
    C::Rename, C::SetMaterialContext, C::RotateAboutVertex, C::RecomputeProperties, C::ToggleGrid, C::MoveToBack,
    C::AddPoint, C::UnlabelledCheck, C::RefreshPoints, C::RelativePoint, C::RubberZoomAlias, C::FullViewAlias,
    C::Rebuild, C::Blend, C::PropertiesOutOfDate, C::ClearPicks, C::UnpickLast, C::LocalMeshSize,
    C::ClearResultLocations, 12345u};

// Commands whose rule is D: blocked by any shape-definition or bending dialog.
const std::vector<UINT> kDCommands = {C::Rectangle, C::Trapezoid, C::Disk, C::Triangle, C::Sector, C::Fillet,
                                      C::SectorChord, C::Annulus, C::Polygon, C::ExtrudedTee, C::FormedL,
                                      C::ExtrudedL, C::IBeam, C::ExtrudedC, C::ExtrudedZ, C::FormedZ,
                                      C::FormedC, C::ExtrudedJ, C::TranslateAll, C::RotateAll, C::Blend};
const std::vector<UINT> kP2Commands = {C::Distance2Points, C::Deltas2Points, C::AddPointsBetween, C::Angle2Points};
// Always enabled, whatever the state.
const std::vector<UINT> kAlways = {C::FullView, C::RubberZoom, C::GridPosition, C::BackgroundColor,
                                   C::KeyinLocation, C::DeletePoints, C::Calculator, C::CreateDatabase,
                                   C::ConnectDatabase, C::ShowDatabasePath, C::DisplayPrecision, C::DisplayMesh,
                                   C::UnrestrainedBending, C::ExportIges, C::New, C::ShapeIds, C::PositionPoints};

struct Expect {
  UINT id;
  bool enabled;
  int checked = -1;
};

struct Case {
  std::string name;
  std::function<void(SectionViewState&)> set;
  std::vector<Expect> expect;
};

bool blocked(const SectionViewState& s) {
  return s.profilePending || s.basicShapeOpen || s.bendingOpen || s.pointSetOpen;
}

// A model with one rectangle, nothing picked.
SectionViewState base() {
  SectionViewState s;
  s.modelExists = true;
  s.currentSubSection = true;
  s.treeHasShape = true;
  s.modelShapes = 1;
  s.gridShown = true;
  s.unlabelledCheck = true;
  return s;
}

const std::vector<Case>& cases() {
  static const std::vector<Case> table = {
      {"no model", [](SectionViewState& s) { s = SectionViewState{}; },
       {{C::Delete, false}, {C::SectionProperties, false}, {C::DisplayNodeIds, false, 0},
        {C::Undo, false}, {C::DisplayMesh, true, 1}}},
      {"just opened", [](SectionViewState&) {},
       {{C::Undo, false}, {C::Redo, false}, {C::SectionProperties, true}, {C::Union, false},
        {C::ToggleGrid, true, 1}, {C::UnlabelledCheck, true, 1}, {C::Rectangle, true}}},
      {"after one change", [](SectionViewState& s) { s.canUndo = true; }, {{C::Undo, true}, {C::Redo, false}}},
      {"after an undo", [](SectionViewState& s) { s.canRedo = true; }, {{C::Undo, false}, {C::Redo, true}}},
      {"undo store full, profile pending",
       [](SectionViewState& s) { s.canUndo = s.canRedo = true; s.profilePending = true; },
       {{C::Undo, false}, {C::Redo, false}, {C::Rectangle, false}}},
      {"basic-shape dialog open", [](SectionViewState& s) { s.basicShapeOpen = true; s.picks = 1; s.pickedShapes = 1; },
       {{C::Delete, false}, {C::TranslateAll, false}, {C::MeshSelected, true}}},
      {"bending dialog open", [](SectionViewState& s) { s.bendingOpen = true; }, {{C::IBeam, false}}},
      {"point-set dialog open", [](SectionViewState& s) { s.pointSetOpen = true; }, {{C::Polygon, false}}},
      {"one point picked", [](SectionViewState& s) { s.picks = 1; s.pickedPoints = 1; },
       {{C::PointsAtRadius, true}, {C::MoveVertexToLocation, true}, {C::Delete, true},
        {C::MirrorHorizontalAboutVertex, false}, {C::ClearPicks, true}}},
      {"two points picked", [](SectionViewState& s) { s.picks = 2; s.pickedPoints = 2; },
       {{C::PointAtDistance, true}, {C::MoveVertexToVertex, true}, {C::Angle3Points, false}}},
      {"two points picked, profile pending",
       [](SectionViewState& s) { s.picks = 2; s.pickedPoints = 2; s.profilePending = true; },
       {{C::PointAtDistance, true}, {C::Delete, false}}},
      {"three points picked", [](SectionViewState& s) { s.picks = 3; s.pickedPoints = 3; },
       {{C::Angle3Points, true}, {C::PointAtDistance, false}}},
      {"three points picked, profile pending",
       [](SectionViewState& s) { s.picks = 3; s.pickedPoints = 3; s.profilePending = true; },
       {{C::Angle3Points, false}}},
      {"shape picked in section",
       [](SectionViewState& s) { s.picks = 1; s.pickedShapes = 1; s.pickedShapeInSection = true; },
       {{C::ChangeSign, true}, {C::TranslateSelected, true}, {C::Rename, true}, {C::MoveToBack, true},
        {C::SetMaterialSelected, false}, {C::RotateAboutVertex, false}}},
      {"shape picked outside the section", [](SectionViewState& s) { s.picks = 1; s.pickedShapes = 1; },
       {{C::ChangeSign, false}, {C::MirrorHorizontal, false}, {C::MeshSelected, true}}},
      {"shape and point picked, database",
       [](SectionViewState& s) {
         s.picks = 2; s.pickedShapes = 1; s.pickedPoints = 1; s.pickedShapeInSection = true;
         s.databasePathSet = true;
       },
       {{C::RotateAboutVertex, true}, {C::MirrorVerticalAboutVertex, true}, {C::SetMaterialSelected, true},
        {C::EditMaterials, true}}},
      {"mesh, nothing shown", [](SectionViewState& s) { s.meshes = 1; },
       {{C::DisplayNodeIds, true, 0}, {C::DisplayElementIds, true, 0}, {C::CreateWeld, true},
        {C::DeleteAllMeshes, true}, {C::DeleteWelds, false}}},
      {"mesh, node ids", [](SectionViewState& s) { s.meshes = 1; s.nodeIds = true; },
       {{C::DisplayNodeIds, true, 1}, {C::DisplayElementIds, true, 0}}},
      {"mesh, element ids", [](SectionViewState& s) { s.meshes = 2; s.elementIds = true; },
       {{C::DisplayNodeIds, true, 0}, {C::DisplayElementIds, true, 1}}},
      {"mesh, both flags", [](SectionViewState& s) { s.meshes = 1; s.nodeIds = s.elementIds = true; },
       {{C::DisplayNodeIds, true, 0}, {C::DisplayElementIds, true, 1}}},
      {"flags kept, mesh deleted", [](SectionViewState& s) { s.nodeIds = true; s.elementIds = true; },
       {{C::DisplayNodeIds, false, 0}, {C::DisplayElementIds, false, 0}, {C::DeleteAllMeshes, false}}},
      {"welds", [](SectionViewState& s) { s.meshes = 2; s.welds = 1; },
       {{C::DeleteWelds, true}, {C::ExecuteWelds, true}}},
      {"union of two shapes", [](SectionViewState& s) { s.modelShapes = 2; s.unionOn = true; },
       {{C::Union, true}, {C::UndoUnion, true}}},
      {"labels: materials, position points, mesh hidden",
       [](SectionViewState& s) {
         s.labelMode = 1; s.shapeWithMaterial = true; s.positionPoints = true; s.meshDisplay = false;
         s.gridShown = false; s.unlabelledCheck = false;
       },
       {{C::ShowMaterials, true, 1}, {C::ShapeIds, true, 0}, {C::PositionPoints, true, 1},
        {C::DisplayMesh, true, 0}, {C::ToggleGrid, true, 0}, {C::UnlabelledCheck, true, 0}}},
      {"labels: identifiers", [](SectionViewState& s) { s.labelMode = 2; },
       {{C::ShowMaterials, false, 0}, {C::ShapeIds, true, 1}}},
      {"empty tree, child mesh, result locations",
       [](SectionViewState& s) { s.treeHasShape = false; s.childMesh = true; s.resultLocations = true; },
       {{C::SectionProperties, false}, {C::MoveChildMeshes, true}, {C::ClearResultLocations, true},
        {C::ClearPicks, false}}},
  };
  return table;
}

TEST(ViewCommands, EveryCommandInEveryState) {
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.name);
    SectionViewState s = base();
    c.set(s);
    for (const Expect& e : c.expect) {
      const CommandUpdate u = updateCommand(e.id, s);
      EXPECT_EQ(u.enabled, e.enabled) << "command " << e.id;
      EXPECT_EQ(u.checked, e.checked) << "command " << e.id;
    }
    for (UINT id : kAllCommands) {
      const CommandUpdate u = updateCommand(id, s);
      EXPECT_GE(u.checked, -1);
      EXPECT_LE(u.checked, 1);
    }
    const CommandUpdate nodes = updateCommand(C::DisplayNodeIds, s);
    const CommandUpdate elements = updateCommand(C::DisplayElementIds, s);
    EXPECT_FALSE(nodes.checked == 1 && elements.checked == 1);
    if (s.meshes == 0) {
      EXPECT_FALSE(nodes.enabled);
      EXPECT_FALSE(elements.enabled);
    }
    const bool p2 = s.pickedPoints == 2 && !s.profilePending;
    for (UINT id : kP2Commands) EXPECT_EQ(updateCommand(id, s).enabled, p2) << "command " << id;
    for (UINT id : kDCommands) EXPECT_EQ(updateCommand(id, s).enabled, !blocked(s)) << "command " << id;
    for (UINT id : kAlways) EXPECT_TRUE(updateCommand(id, s).enabled) << "command " << id;
    EXPECT_FALSE(updateCommand(C::PointsAtIntersections, s).enabled);
    EXPECT_FALSE(updateCommand(12345u, s).enabled);
  }
}

TEST(ViewCommands, HandledCommands) {
  EXPECT_FALSE(isSectionCommand(C::PointsAtIntersections));
  EXPECT_FALSE(isSectionCommand(12345u));
  for (UINT id : kAllCommands)
    if (id != C::PointsAtIntersections && id != 12345u) {
      EXPECT_TRUE(isSectionCommand(id)) << id;
    }
}

}  // namespace
