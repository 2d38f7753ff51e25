// The update rules of the section view's commands, as one table of
// (identifier, enabling rule, check rule).
#include "lorimant/view/SectionViewCommands.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

using S = SectionViewState;

// A shape-definition or bending dialog is in progress.
bool dBlocked(const S& s) { return s.profilePending || s.basicShapeOpen || s.bendingOpen || s.pointSetOpen; }
bool pickedInSection(const S& s) { return s.pickedShapeInSection; }
bool pointsPicked(const S& s, int n) { return !s.profilePending && s.pickedPoints == n; }

// Enabling rules.
enum class Enable {
  Always,
  Never,
  D,
  Undo,
  Redo,
  Delete,
  S,
  P2,
  P3,
  TwoPoints,
  OnePoint,
  OnePointAndShape,
  OneShape,
  AnyShape,
  ModelNotBlockedS,
  NotBlockedS,
  M,
  ModelM,
  W,
  DB,
  SAndDB,
  MaterialShape,
  TreeShape,
  ManyShapes,
  UnionInCurrent,
  ChildMesh,
  MeshIds,
  PicksNotEmpty,
  ResultLocations,
};

// Check rules.
enum class Check { None, ShapeIds, PositionPoints, Materials, MeshDisplay, ElementIds, NodeIds, Grid, Unlabelled };

bool enabled(Enable rule, const S& s) {
  switch (rule) {
    case Enable::Always: return true;
    case Enable::Never: return false;
    case Enable::D: return !dBlocked(s);
    case Enable::Undo: return !dBlocked(s) && s.canUndo;
    case Enable::Redo: return !dBlocked(s) && s.canRedo;
    case Enable::Delete: return s.modelExists && s.picks > 0 && !dBlocked(s);
    case Enable::S: return pickedInSection(s);
    case Enable::P2: return pointsPicked(s, 2);
    case Enable::P3: return pointsPicked(s, 3);
    case Enable::TwoPoints: return s.pickedPoints == 2;
    case Enable::OnePoint: return s.pickedPoints == 1;
    case Enable::OnePointAndShape: return s.pickedPoints == 1 && s.pickedShapes >= 1;
    case Enable::OneShape: return s.pickedShapes == 1;
    case Enable::AnyShape: return s.pickedShapes >= 1;
    case Enable::ModelNotBlockedS: return s.modelExists && !dBlocked(s) && pickedInSection(s);
    case Enable::NotBlockedS: return !dBlocked(s) && pickedInSection(s);
    case Enable::M: return s.meshes > 0;
    case Enable::ModelM: return s.modelExists && s.meshes > 0;
    case Enable::W: return s.welds > 0;
    case Enable::DB: return s.databasePathSet;
    case Enable::SAndDB: return pickedInSection(s) && s.databasePathSet;
    case Enable::MaterialShape: return s.currentSubSection && s.shapeWithMaterial;
    case Enable::TreeShape: return s.treeHasShape;
    case Enable::ManyShapes: return s.modelShapes > 1;
    case Enable::UnionInCurrent: return s.currentSubSection && s.unionOn;
    case Enable::ChildMesh: return s.childMesh;
    case Enable::MeshIds: return s.meshes > 0;
    case Enable::PicksNotEmpty: return s.picks > 0;
    case Enable::ResultLocations: return s.resultLocations;
  }
  return false;
}

int checked(Check rule, const S& s) {
  switch (rule) {
    case Check::None: return -1;
    case Check::ShapeIds: return s.labelMode == 2;
    case Check::PositionPoints: return s.positionPoints;
    case Check::Materials: return s.labelMode == 1;
    case Check::MeshDisplay: return s.meshDisplay;
    case Check::ElementIds: return s.meshes > 0 && s.elementIds;
    case Check::NodeIds: return s.meshes > 0 && s.nodeIds && !s.elementIds;
    case Check::Grid: return s.gridShown;
    case Check::Unlabelled: return s.unlabelledCheck;
  }
  return -1;
}

struct Entry {
  UINT id;
  Enable enable;
  Check check;
};

namespace C = SectionCommand;

// In no particular order; find() sorts a copy once.
constexpr Entry kTable[] = {
    {C::Annulus, Enable::D, Check::None},
    {C::UndoUnion, Enable::UnionInCurrent, Check::None},
    {C::FormedL, Enable::D, Check::None},
    {C::ExtrudedTee, Enable::D, Check::None},
    {C::ExtrudedL, Enable::D, Check::None},
    {C::PositionPoints, Enable::Always, Check::PositionPoints},
    {C::Delete, Enable::Delete, Check::None},
    {C::Disk, Enable::D, Check::None},
    {C::DisplayPrecision, Enable::Always, Check::None},
    {C::SectionProperties, Enable::TreeShape, Check::None},
    {C::RecomputeProperties, Enable::Always, Check::None},
    {C::FullView, Enable::Always, Check::None},
    {C::ToggleGrid, Enable::Always, Check::Grid},
    {C::SetMaterialAll, Enable::DB, Check::None},
    {C::SetMaterialSelected, Enable::SAndDB, Check::None},
    {C::MoveToBack, Enable::S, Check::None},
    {C::AddPoint, Enable::Always, Check::None},
    {C::Angle2Points, Enable::P2, Check::None},
    {C::AddPointsBetween, Enable::P2, Check::None},
    {C::UnlabelledCheck, Enable::Always, Check::Unlabelled},
    {C::Distance2Points, Enable::P2, Check::None},
    {C::Deltas2Points, Enable::P2, Check::None},
    {C::RefreshPoints, Enable::Always, Check::None},
    {C::RelativePoint, Enable::Always, Check::None},
    {C::PointsAtIntersections, Enable::Never, Check::None},
    {C::Rectangle, Enable::D, Check::None},
    {C::RubberZoomAlias, Enable::Always, Check::None},
    {C::FullViewAlias, Enable::Always, Check::None},
    {C::RubberZoom, Enable::Always, Check::None},
    {C::Rebuild, Enable::Always, Check::None},
    {C::Sector, Enable::D, Check::None},
    {C::ChangeSign, Enable::S, Check::None},
    {C::Fillet, Enable::D, Check::None},
    {C::Polygon, Enable::D, Check::None},
    {C::SectorChord, Enable::D, Check::None},
    {C::Blend, Enable::D, Check::None},
    {C::ShapeIds, Enable::Always, Check::ShapeIds},
    {C::PropertiesOutOfDate, Enable::Always, Check::None},
    {C::MirrorDuplicateHorizontal, Enable::ModelNotBlockedS, Check::None},
    {C::MirrorDuplicateVertical, Enable::ModelNotBlockedS, Check::None},
    {C::MirrorHorizontal, Enable::NotBlockedS, Check::None},
    {C::MirrorVertical, Enable::NotBlockedS, Check::None},
    {C::RotateSelected, Enable::S, Check::None},
    {C::RotateAll, Enable::D, Check::None},
    {C::RotateDuplicate, Enable::S, Check::None},
    {C::TranslateSelected, Enable::ModelNotBlockedS, Check::None},
    {C::TranslateAll, Enable::D, Check::None},
    {C::TranslateDuplicate, Enable::ModelNotBlockedS, Check::None},
    {C::Trapezoid, Enable::D, Check::None},
    {C::Triangle, Enable::D, Check::None},
    {C::Union, Enable::ManyShapes, Check::None},
    {C::ClearPicks, Enable::PicksNotEmpty, Check::None},
    {C::UnpickLast, Enable::Always, Check::None},
    {C::DisplayMesh, Enable::Always, Check::MeshDisplay},
    {C::LoadCondition, Enable::Always, Check::None},
    {C::Angle3Points, Enable::P3, Check::None},
    {C::PointAtDistance, Enable::TwoPoints, Check::None},
    {C::MeshSelected, Enable::AnyShape, Check::None},
    {C::DeleteAllMeshes, Enable::ModelM, Check::None},
    {C::LocalMeshSize, Enable::Always, Check::None},
    {C::ExportPolygon, Enable::Always, Check::None},
    {C::IBeam, Enable::D, Check::None},
    {C::ExtrudedC, Enable::D, Check::None},
    {C::ExtrudedZ, Enable::D, Check::None},
    {C::FormedZ, Enable::D, Check::None},
    {C::FormedC, Enable::D, Check::None},
    {C::ExtrudedJ, Enable::D, Check::None},
    {C::Calculator, Enable::Always, Check::None},
    {C::EditMaterials, Enable::DB, Check::None},
    {C::ConnectDatabase, Enable::Always, Check::None},
    {C::CreateDatabase, Enable::Always, Check::None},
    {C::ShowDatabasePath, Enable::Always, Check::None},
    {C::ShowMaterials, Enable::MaterialShape, Check::Materials},
    {C::DisplayNodeIds, Enable::MeshIds, Check::NodeIds},
    {C::DisplayElementIds, Enable::MeshIds, Check::ElementIds},
    {C::ClearResultLocations, Enable::ResultLocations, Check::None},
    {C::CreateWeld, Enable::M, Check::None},
    {C::DeleteWelds, Enable::W, Check::None},
    {C::ExecuteWelds, Enable::W, Check::None},
    {C::RestrainedBending, Enable::Always, Check::None},
    {C::PlasticAnalysis, Enable::Always, Check::None},
    {C::UnrestrainedBending, Enable::Always, Check::None},
    {C::MoveVertexToLocation, Enable::OnePoint, Check::None},
    {C::MoveVertexToVertex, Enable::TwoPoints, Check::None},
    {C::MirrorHorizontalAboutVertex, Enable::OnePointAndShape, Check::None},
    {C::MirrorVerticalAboutVertex, Enable::OnePointAndShape, Check::None},
    {C::Rename, Enable::OneShape, Check::None},
    {C::SetMaterialContext, Enable::AnyShape, Check::None},
    {C::RotateAboutVertex, Enable::OnePointAndShape, Check::None},
    {C::GridPosition, Enable::Always, Check::None},
    {C::ExportPropertiesXml, Enable::Always, Check::None},
    {C::MoveChildMeshes, Enable::ChildMesh, Check::None},
    {C::PointsAtRadius, Enable::OnePoint, Check::None},
    {C::KeyinLocation, Enable::Always, Check::None},
    {C::DeletePoints, Enable::Always, Check::None},
    {C::BackgroundColor, Enable::Always, Check::None},
    {C::CozzoneMethod, Enable::Always, Check::None},
    {C::ConvertForces, Enable::Always, Check::None},
    {C::ProjectForces, Enable::Always, Check::None},
    {C::RambergOsgood, Enable::Always, Check::None},
    {C::ImportIges, Enable::Always, Check::None},
    {C::ExportIges, Enable::Always, Check::None},
    {C::UnsymmetricSection, Enable::Always, Check::None},
    {C::New, Enable::Always, Check::None},
    {C::Print, Enable::Always, Check::None},
    {C::PrintPreview, Enable::Always, Check::None},
    {C::Undo, Enable::Undo, Check::None},
    {C::Redo, Enable::Redo, Check::None},
};

const Entry* find(UINT id) {
  static const std::vector<Entry> byId = [] {
    std::vector<Entry> v(std::begin(kTable), std::end(kTable));
    std::sort(v.begin(), v.end(), [](const Entry& a, const Entry& b) { return a.id < b.id; });
    return v;
  }();
  auto it = std::lower_bound(byId.begin(), byId.end(), id, [](const Entry& e, UINT v) { return e.id < v; });
  return it != byId.end() && it->id == id ? &*it : nullptr;
}

}  // namespace

CommandUpdate updateCommand(UINT id, const SectionViewState& s) {
  const Entry* e = find(id);
  if (e == nullptr) return {};
  return {enabled(e->enable, s), checked(e->check, s)};
}

bool isSectionCommand(UINT id) {
  const Entry* e = find(id);
  return e != nullptr && e->enable != Enable::Never;
}
