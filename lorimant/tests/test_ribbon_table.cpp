// The ribbon table against the section view's command table: every command
// that has a place on the ribbon is there once, on its page and panel,
// with its label as the command table writes it; the lists and the pages
// of the application menu and the settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "lorimant/app/RibbonTable.h"
#include "lorimant/resources/LorimantImages.h"

namespace {

struct Placement {
  int id;
  const char* page;
  const char* panel;
  const char* label;
};

// Copied from the command table of the section view (category > panel and
// label of every ribbon command; a row without a place takes the place of
// the row above it).
const Placement kCommandTable[] = {
    {57643, "Construction", "Edit", "Undo"},
    {57644, "Construction", "Edit", "Redo"},
    {32869, "Construction", "Edit", "Delete"},
    {33209, "Construction", "Edit", "Change Sign"},
    {32986, "Construction", "View", "Full"},
    {33174, "Construction", "View", "Rubber Zoom"},
    {33238, "Construction", "View", "IDs"},
    {32834, "Construction", "View", "Position Pts"},
    {40030, "Construction", "View", "Show Materials"},
    {40093, "Construction", "View", "Grid"},
    {40108, "Construction", "View", "Background Color"},
    {33159, "Construction", "Shapes", "Rectangle"},
    {33287, "Construction", "Shapes", "Trapezoid"},
    {32876, "Construction", "Shapes", "Disk"},
    {33288, "Construction", "Shapes", "Triangle"},
    {33202, "Construction", "Shapes", "Sector"},
    {33213, "Construction", "Shapes", "Fillet"},
    {33224, "Construction", "Shapes", "Sector Chord"},
    {32775, "Construction", "Shapes", "Annulus"},
    {33221, "Construction", "Shapes", "Polygon"},
    {32825, "Construction", "Shapes", "Extruded Tee"},
    {32824, "Construction", "Shapes", "Formed L"},
    {32828, "Construction", "Shapes", "Extruded L"},
    {40015, "Construction", "Shapes", "IBeam"},
    {40016, "Construction", "Shapes", "Extruded C"},
    {40017, "Construction", "Shapes", "Extruded Z"},
    {40018, "Construction", "Shapes", "Formed Z"},
    {40019, "Construction", "Shapes", "Formed C"},
    {40020, "Construction", "Shapes", "Extruded J"},
    {33141, "Construction", "Point Operations", "Dist Between 2 Pts"},
    {33144, "Construction", "Point Operations", "Deltas Between 2 Pts"},
    {33137, "Construction", "Point Operations", "Add Pts Between"},
    {33150, "Construction", "Point Operations", "Pts at Intersections"},
    {33135, "Construction", "Point Operations", "Angle 2 Pts"},
    {40005, "Construction", "Point Operations", "Angle 3 Pts"},
    {40006, "Construction", "Point Operations", "Pt At Distance"},
    {40105, "Construction", "Point Operations", "Pts At Radius"},
    {40106, "Construction", "Point Operations", "Keyin Location"},
    {33148, "Construction", "Point Operations", "Relative Point"},
    {40107, "Construction", "Point Operations", "Delete Pts"},
    {40021, "Construction", "Point Operations", "Calculator"},
    {33279, "Construction", "Transformations", "Translate All"},
    {33277, "Construction", "Transformations", "Translate Selected"},
    {33281, "Construction", "Transformations", "Translate and Duplicate Selected"},
    {33273, "Construction", "Transformations", "Rotate All"},
    {33272, "Construction", "Transformations", "Rotate Selected"},
    {33275, "Construction", "Transformations", "Rotate Duplicate Selected"},
    {33268, "Construction", "Transformations", "Horizontal Mirror"},
    {33269, "Construction", "Transformations", "Mirror Vertically"},
    {33266, "Construction", "Transformations", "Mirror  Duplicate Horizontally"},
    {33267, "Construction", "Transformations", "Mirror Duplicate Vertically"},
    {33293, "Construction", "Boolean Ops", "Union"},
    {32822, "Construction", "Boolean Ops", "Undo Union"},
    {40024, "Materials", "Database Connection", "Create New Database"},
    {40023, "Materials", "Database Connection", "Connect To Existing Database"},
    {40029, "Materials", "Database Connection", "Show Path To Database"},
    {40022, "Materials", "Materials", "Edit  Materials"},
    {33048, "Materials", "Apply Material", "Set Material All"},
    {33049, "Materials", "Apply Material", "Set Material For Selected"},
    {32884, "Computations", "View", "Display Precision"},
    {32903, "Computations", "Compute", "Section Properties"},
    {40007, "Computations", "Mesh Generation", "Mesh Selected"},
    {40008, "Computations", "Mesh Generation", "Delete All Meshes"},
    {40100, "Computations", "Mesh Generation", "Move Child Meshes To Root Section"},
    {33330, "Computations", "Mesh Generation", "Display Mesh"},
    {40034, "Computations", "Mesh Generation", "Display Element IDs"},
    {40031, "Computations", "Mesh Generation", "Display Node IDs"},
    {40052, "Computations", "Welding", "Create Weld"},
    {40053, "Computations", "Welding", "Delete Welds"},
    {40054, "Computations", "Welding", "Execute Welds"},
    {40083, "Computations", "Analysis", "Unrestrained Bending"},
    {40081, "Computations", "Analysis", "Restrained Bending"},
    {40082, "Computations", "Analysis", "Plastic Analysis"},
    {40109, "Computations", "Analysis", "Cozzone Method"},
    {40126, "Computations", "Analysis", "Unsymmetric Section"},
    {40113, "Computations", "Utilities", "Convert Forces or Moments"},
    {40115, "Computations", "Utilities", "Project Force or Moments"},
    {40118, "Computations", "Utilities", "Ramberg-Osgood Stress"},
};

// The application menu's commands (the page "File") and the frame's
// settings (the page "Settings"), with the labels they show.
const Placement kMenuAndSettings[] = {
    {57600, "File", nullptr, "New"},
    {57601, "File", nullptr, "Open"},
    {57606, "File", nullptr, "Print Setup"},
    {57607, "File", nullptr, "Print"},
    {57609, "File", nullptr, "Print Preview"},
    {40098, "File", nullptr, "Export Section Properties as XML"},
    {40014, "File", nullptr, "Export Shapes as Polygon"},
    {40123, "File", nullptr, "Import IGES"},
    {40124, "File", nullptr, "Export IGES"},
    {57664, "File", nullptr, "About"},
    {57665, "File", nullptr, "Exit"},
    {33294, "Settings", nullptr, "Units"},
    {33312, "Settings", nullptr, "Toggle Caption Bar"},
    {33318, "Settings", nullptr, "Windows..."},
};

std::string narrow(const wchar_t* text) { return CString(text).ToUtf8(); }

TEST(RibbonTable, EveryCommandOfTheViewSitsOnceAtItsPlaceWithItsLabel) {
  std::map<int, int> seen;
  for (const RibbonElement& e : RibbonElements()) ++seen[e.id];
  for (const Placement& p : kCommandTable) {
    SCOPED_TRACE(p.label);
    EXPECT_EQ(seen[p.id], 1);
    const RibbonElement* e = FindRibbonElement(p.id);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(narrow(e->page), p.page);
    EXPECT_EQ(narrow(e->panel), p.panel);
    EXPECT_EQ(narrow(e->label), p.label);
  }
  for (const Placement& p : kMenuAndSettings) {
    SCOPED_TRACE(p.label);
    EXPECT_EQ(seen[p.id], 1);
    const RibbonElement* e = FindRibbonElement(p.id);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(narrow(e->page), p.page);
    EXPECT_EQ(narrow(e->label), p.label);
  }
  // The Load Condition list and the Style menu are the only other elements.
  EXPECT_EQ(RibbonElements().size(), std::size(kCommandTable) + std::size(kMenuAndSettings) + 2);
  ASSERT_NE(FindRibbonElement(33331), nullptr);
  EXPECT_EQ(narrow(FindRibbonElement(33331)->page), "Computations");
  EXPECT_EQ(FindRibbonElement(0), nullptr);
  EXPECT_EQ(FindRibbonElement(12345), nullptr);
}

TEST(RibbonTable, KindsListsAndHelpTexts) {
  // The check boxes of the command table are toggle buttons; nothing else is.
  const std::set<int> toggles = {33238, 32834, 40030, 33330, 40034, 40031, 33312};
  for (const RibbonElement& e : RibbonElements())
    EXPECT_EQ(e.kind == RibbonKind::Toggle, toggles.count(e.id) == 1) << narrow(e.label);

  EXPECT_EQ(FindRibbonElement(40093)->kind, RibbonKind::Choice);
  EXPECT_EQ(FindRibbonElement(33331)->kind, RibbonKind::Choice);
  const std::vector<CString> grid = RibbonChoiceItems(40093);
  ASSERT_EQ(grid.size(), 3u);
  EXPECT_EQ(grid[0], CString(L"Behind"));
  EXPECT_EQ(grid[1], CString(L"In Front"));
  EXPECT_EQ(grid[2], CString(L" No Show"));
  EXPECT_TRUE(RibbonChoiceItems(33331).empty());

  EXPECT_EQ(RibbonTooltip(*FindRibbonElement(33294)), CString(L"Set the units system"));
  EXPECT_EQ(RibbonTooltip(*FindRibbonElement(33312)), CString(L"Show or hide the caption bar"));
  // Without a help text the label is the tooltip.
  EXPECT_EQ(RibbonTooltip(*FindRibbonElement(33159)), CString(L"Rectangle"));

  // Open drops down the recent files; the Style menu the looks.
  EXPECT_EQ(FindRibbonElement(57601)->menu, RibbonMenu::RecentFiles);
  const auto style = std::find_if(RibbonElements().begin(), RibbonElements().end(),
                                  [](const RibbonElement& e) { return e.kind == RibbonKind::MenuButton; });
  ASSERT_NE(style, RibbonElements().end());
  EXPECT_EQ(narrow(style->label), "Style");
  EXPECT_EQ(style->menu, RibbonMenu::Looks);
}

TEST(RibbonTable, PagesAndPanelsInOrder) {
  std::vector<std::string> pages;
  for (const wchar_t* p : RibbonPages()) pages.push_back(narrow(p));
  EXPECT_EQ(pages, (std::vector<std::string>{"File", "Construction", "Materials", "Computations", "Settings"}));
  const auto panels = [](const wchar_t* page) {
    std::vector<std::string> names;
    for (const wchar_t* p : RibbonPanels(page)) names.push_back(narrow(p));
    return names;
  };
  EXPECT_EQ(panels(L"Construction"), (std::vector<std::string>{"Edit", "View", "Shapes", "Point Operations",
                                                               "Transformations", "Boolean Ops"}));
  EXPECT_EQ(panels(L"Materials"), (std::vector<std::string>{"Database Connection", "Materials", "Apply Material"}));
  EXPECT_EQ(panels(L"Computations"), (std::vector<std::string>{"View", "Compute", "Mesh Generation", "Welding",
                                                               "Analysis", "Utilities"}));
  EXPECT_TRUE(panels(L"Nothing").empty());
}

TEST(RibbonTable, EveryElementNamesAPictureOfOurs) {
  for (const RibbonElement& e : RibbonElements()) EXPECT_TRUE(HasRibbonImage(e.image)) << e.image;
  EXPECT_FALSE(HasRibbonImage("no such picture"));
  EXPECT_FALSE(HasRibbonImage(nullptr));
}

}  // namespace
