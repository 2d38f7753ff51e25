// The ribbon of the main frame as one table.
#include "lorimant/app/RibbonTable.h"

#include <algorithm>
#include <iterator>

#include "lorimant/document/LorimantApplication.h"
#include "lorimant/document/MainFrameCommands.h"
#include "lorimant/view/SectionViewCommands.h"

namespace {

namespace C = SectionCommand;
using K = RibbonKind;

constexpr const wchar_t* kPages[] = {L"File", L"Construction", L"Materials", L"Computations", L"Settings"};

// Page and panel names, written once.
constexpr const wchar_t* kFile = L"File";
constexpr const wchar_t* kConstruction = L"Construction";
constexpr const wchar_t* kMaterials = L"Materials";
constexpr const wchar_t* kComputations = L"Computations";
constexpr const wchar_t* kSettings = L"Settings";

// In ribbon order. The section view's commands sit where the view's
// command table places them; the application menu's commands make the page
// "File"; the frame's own settings make the page "Settings".
constexpr RibbonElement kElements[] = {
    // ---- the application menu ----
    {kFile, L"Document", kCommandFileNew, L"New", L"Create a new section document", K::Button, "new"},
    {kFile, L"Document", kCommandFileOpen, L"Open", L"Open a section document; the arrow lists the recent files",
     K::SplitButton, "open", RibbonMenu::RecentFiles},
    {kFile, L"Print", kCommandPrintSetup, L"Print Setup", L"Choose the paper and its orientation", K::Button,
     "print_setup"},
    {kFile, L"Print", kCommandPrint, L"Print", L"Print the section and its properties", K::Button, "print"},
    {kFile, L"Print", kCommandPrintPreview, L"Print Preview", L"Show the printed pages", K::Button,
     "print_preview"},
    {kFile, L"Exchange", C::ExportPropertiesXml, L"Export Section Properties as XML", nullptr, K::Button,
     "export_xml"},
    {kFile, L"Exchange", C::ExportPolygon, L"Export Shapes as Polygon", nullptr, K::Button, "export_polygon"},
    {kFile, L"Exchange", C::ImportIges, L"Import IGES", nullptr, K::Button, "import_iges"},
    {kFile, L"Exchange", C::ExportIges, L"Export IGES", nullptr, K::Button, "export_iges"},
    {kFile, L"Program", kCommandAbout, L"About", L"Show the program's version", K::Button, "about"},
    {kFile, L"Program", kCommandAppExit, L"Exit", L"Close every document and end the program", K::Button, "exit"},

    // ---- Construction ----
    {kConstruction, L"Edit", C::Undo, L"Undo", nullptr, K::Button, "undo"},
    {kConstruction, L"Edit", C::Redo, L"Redo", nullptr, K::Button, "redo"},
    {kConstruction, L"Edit", C::Delete, L"Delete", nullptr, K::Button, "delete"},
    {kConstruction, L"Edit", C::ChangeSign, L"Change Sign", nullptr, K::Button, "change_sign"},
    {kConstruction, L"View", C::FullView, L"Full", nullptr, K::Button, "full_view"},
    {kConstruction, L"View", C::RubberZoom, L"Rubber Zoom", nullptr, K::Button, "rubber_zoom"},
    {kConstruction, L"View", C::ShapeIds, L"IDs", nullptr, K::Toggle, "shape_ids"},
    {kConstruction, L"View", C::PositionPoints, L"Position Pts", nullptr, K::Toggle, "position_points"},
    {kConstruction, L"View", C::ShowMaterials, L"Show Materials", nullptr, K::Toggle, "show_materials"},
    {kConstruction, L"View", C::BackgroundColor, L"Background Color", nullptr, K::Button, "background_color"},
    {kConstruction, L"View", C::GridPosition, L"Grid", nullptr, K::Choice, "grid"},
    {kConstruction, L"Shapes", C::Rectangle, L"Rectangle", nullptr, K::Button, "rectangle"},
    {kConstruction, L"Shapes", C::Trapezoid, L"Trapezoid", nullptr, K::Button, "trapezoid"},
    {kConstruction, L"Shapes", C::Disk, L"Disk", nullptr, K::Button, "disk"},
    {kConstruction, L"Shapes", C::Triangle, L"Triangle", nullptr, K::Button, "triangle"},
    {kConstruction, L"Shapes", C::Sector, L"Sector", nullptr, K::Button, "sector"},
    {kConstruction, L"Shapes", C::Fillet, L"Fillet", nullptr, K::Button, "fillet"},
    {kConstruction, L"Shapes", C::SectorChord, L"Sector Chord", nullptr, K::Button, "sector_chord"},
    {kConstruction, L"Shapes", C::Annulus, L"Annulus", nullptr, K::Button, "annulus"},
    {kConstruction, L"Shapes", C::Polygon, L"Polygon", nullptr, K::Button, "polygon"},
    {kConstruction, L"Shapes", C::ExtrudedTee, L"Extruded Tee", nullptr, K::Button, "extruded_tee"},
    {kConstruction, L"Shapes", C::FormedL, L"Formed L", nullptr, K::Button, "formed_l"},
    {kConstruction, L"Shapes", C::ExtrudedL, L"Extruded L", nullptr, K::Button, "extruded_l"},
    {kConstruction, L"Shapes", C::IBeam, L"IBeam", nullptr, K::Button, "ibeam"},
    {kConstruction, L"Shapes", C::ExtrudedC, L"Extruded C", nullptr, K::Button, "extruded_c"},
    {kConstruction, L"Shapes", C::ExtrudedZ, L"Extruded Z", nullptr, K::Button, "extruded_z"},
    {kConstruction, L"Shapes", C::FormedZ, L"Formed Z", nullptr, K::Button, "formed_z"},
    {kConstruction, L"Shapes", C::FormedC, L"Formed C", nullptr, K::Button, "formed_c"},
    {kConstruction, L"Shapes", C::ExtrudedJ, L"Extruded J", nullptr, K::Button, "extruded_j"},
    {kConstruction, L"Point Operations", C::Distance2Points, L"Dist Between 2 Pts", nullptr, K::Button, "distance"},
    {kConstruction, L"Point Operations", C::Deltas2Points, L"Deltas Between 2 Pts", nullptr, K::Button, "deltas"},
    {kConstruction, L"Point Operations", C::AddPointsBetween, L"Add Pts Between", nullptr, K::Button,
     "add_points"},
    {kConstruction, L"Point Operations", C::PointsAtIntersections, L"Pts at Intersections", nullptr, K::Button,
     "intersections"},
    {kConstruction, L"Point Operations", C::Angle2Points, L"Angle 2 Pts", nullptr, K::Button, "angle_2"},
    {kConstruction, L"Point Operations", C::Angle3Points, L"Angle 3 Pts", nullptr, K::Button, "angle_3"},
    {kConstruction, L"Point Operations", C::PointAtDistance, L"Pt At Distance", nullptr, K::Button,
     "point_at_distance"},
    {kConstruction, L"Point Operations", C::PointsAtRadius, L"Pts At Radius", nullptr, K::Button,
     "points_at_radius"},
    {kConstruction, L"Point Operations", C::KeyinLocation, L"Keyin Location", nullptr, K::Button, "keyin"},
    {kConstruction, L"Point Operations", C::RelativePoint, L"Relative Point", nullptr, K::Button, "relative_point"},
    {kConstruction, L"Point Operations", C::DeletePoints, L"Delete Pts", nullptr, K::Button, "delete_points"},
    {kConstruction, L"Point Operations", C::Calculator, L"Calculator", nullptr, K::Button, "calculator"},
    {kConstruction, L"Transformations", C::TranslateAll, L"Translate All", nullptr, K::Button, "translate_all"},
    {kConstruction, L"Transformations", C::TranslateSelected, L"Translate Selected", nullptr, K::Button,
     "translate"},
    {kConstruction, L"Transformations", C::TranslateDuplicate, L"Translate and Duplicate Selected", nullptr,
     K::Button, "translate_duplicate"},
    {kConstruction, L"Transformations", C::RotateAll, L"Rotate All", nullptr, K::Button, "rotate_all"},
    {kConstruction, L"Transformations", C::RotateSelected, L"Rotate Selected", nullptr, K::Button, "rotate"},
    {kConstruction, L"Transformations", C::RotateDuplicate, L"Rotate Duplicate Selected", nullptr, K::Button,
     "rotate_duplicate"},
    {kConstruction, L"Transformations", C::MirrorHorizontal, L"Horizontal Mirror", nullptr, K::Button,
     "mirror_horizontal"},
    {kConstruction, L"Transformations", C::MirrorVertical, L"Mirror Vertically", nullptr, K::Button,
     "mirror_vertical"},
    {kConstruction, L"Transformations", C::MirrorDuplicateHorizontal, L"Mirror  Duplicate Horizontally", nullptr,
     K::Button, "mirror_duplicate_horizontal"},
    {kConstruction, L"Transformations", C::MirrorDuplicateVertical, L"Mirror Duplicate Vertically", nullptr,
     K::Button, "mirror_duplicate_vertical"},
    {kConstruction, L"Boolean Ops", C::Union, L"Union", nullptr, K::Button, "union"},
    {kConstruction, L"Boolean Ops", C::UndoUnion, L"Undo Union", nullptr, K::Button, "undo_union"},

    // ---- Materials ----
    {kMaterials, L"Database Connection", C::CreateDatabase, L"Create New Database", nullptr, K::Button,
     "database_create"},
    {kMaterials, L"Database Connection", C::ConnectDatabase, L"Connect To Existing Database", nullptr, K::Button,
     "database_connect"},
    {kMaterials, L"Database Connection", C::ShowDatabasePath, L"Show Path To Database", nullptr, K::Button,
     "database_path"},
    {kMaterials, L"Materials", C::EditMaterials, L"Edit  Materials", nullptr, K::Button, "materials_edit"},
    {kMaterials, L"Apply Material", C::SetMaterialAll, L"Set Material All", nullptr, K::Button, "material_all"},
    {kMaterials, L"Apply Material", C::SetMaterialSelected, L"Set Material For Selected", nullptr, K::Button,
     "material_selected"},

    // ---- Computations ----
    {kComputations, L"View", C::DisplayPrecision, L"Display Precision", nullptr, K::Button, "precision"},
    {kComputations, L"Compute", C::SectionProperties, L"Section Properties", nullptr, K::Button,
     "section_properties"},
    {kComputations, L"Mesh Generation", C::MeshSelected, L"Mesh Selected", nullptr, K::Button, "mesh"},
    {kComputations, L"Mesh Generation", C::DeleteAllMeshes, L"Delete All Meshes", nullptr, K::Button,
     "mesh_delete"},
    {kComputations, L"Mesh Generation", C::MoveChildMeshes, L"Move Child Meshes To Root Section", nullptr,
     K::Button, "mesh_to_root"},
    {kComputations, L"Mesh Generation", C::DisplayMesh, L"Display Mesh", nullptr, K::Toggle, "mesh_display"},
    {kComputations, L"Mesh Generation", C::DisplayElementIds, L"Display Element IDs", nullptr, K::Toggle,
     "element_ids"},
    {kComputations, L"Mesh Generation", C::DisplayNodeIds, L"Display Node IDs", nullptr, K::Toggle, "node_ids"},
    {kComputations, L"Welding", C::CreateWeld, L"Create Weld", nullptr, K::Button, "weld_create"},
    {kComputations, L"Welding", C::DeleteWelds, L"Delete Welds", nullptr, K::Button, "weld_delete"},
    {kComputations, L"Welding", C::ExecuteWelds, L"Execute Welds", nullptr, K::Button, "weld_execute"},
    {kComputations, L"Analysis", C::UnrestrainedBending, L"Unrestrained Bending", nullptr, K::Button,
     "bending_unrestrained"},
    {kComputations, L"Analysis", C::RestrainedBending, L"Restrained Bending", nullptr, K::Button,
     "bending_restrained"},
    {kComputations, L"Analysis", C::PlasticAnalysis, L"Plastic Analysis", nullptr, K::Button, "plastic"},
    {kComputations, L"Analysis", C::CozzoneMethod, L"Cozzone Method", nullptr, K::Button, "cozzone"},
    {kComputations, L"Analysis", C::UnsymmetricSection, L"Unsymmetric Section", nullptr, K::Button,
     "unsymmetric"},
    {kComputations, L"Analysis", C::LoadCondition, L"Load Condition", nullptr, K::Choice, "load_condition"},
    {kComputations, L"Utilities", C::ConvertForces, L"Convert Forces or Moments", nullptr, K::Button,
     "convert_forces"},
    {kComputations, L"Utilities", C::ProjectForces, L"Project Force or Moments", nullptr, K::Button,
     "project_forces"},
    {kComputations, L"Utilities", C::RambergOsgood, L"Ramberg-Osgood Stress", nullptr, K::Button,
     "ramberg_osgood"},

    // ---- the frame's settings ----
    {kSettings, L"Units", kCommandUnits, L"Units", L"Set the units system", K::Button, "units"},
    {kSettings, L"Look", 0, L"Style", L"Choose the look of the program", K::MenuButton, "style",
     RibbonMenu::Looks},
    {kSettings, L"Window", kCommandToggleCaptionBar, L"Toggle Caption Bar", L"Show or hide the caption bar",
     K::Toggle, "caption_bar"},
    {kSettings, L"Window", kCommandWindows, L"Windows...", L"List the open document windows and activate one",
     K::Button, "windows"},
};

}  // namespace

std::span<const wchar_t* const> RibbonPages() { return kPages; }

std::vector<const wchar_t*> RibbonPanels(const CString& page) {
  std::vector<const wchar_t*> panels;
  for (const RibbonElement& e : kElements)
    if (page == e.page && std::none_of(panels.begin(), panels.end(), [&](const wchar_t* p) { return CString(p) == e.panel; }))
      panels.push_back(e.panel);
  return panels;
}

std::span<const RibbonElement> RibbonElements() { return kElements; }

const RibbonElement* FindRibbonElement(int id) {
  if (id == 0) return nullptr;
  const auto it = std::find_if(std::begin(kElements), std::end(kElements), [id](const RibbonElement& e) { return e.id == id; });
  return it == std::end(kElements) ? nullptr : &*it;
}

std::vector<CString> RibbonChoiceItems(int id) {
  if (id == static_cast<int>(SectionCommand::GridPosition)) return {L"Behind", L"In Front", L" No Show"};
  return {};
}

CString RibbonTooltip(const RibbonElement& element) {
  return CString(element.help != nullptr ? element.help : element.label);
}
