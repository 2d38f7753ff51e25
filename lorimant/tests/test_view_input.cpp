// The section view's input without a window: picks on release and their
// journal lines, the double-click hold, Esc, the pan mode, arrows, wheel
// and zoom steps, hover tooltips, the keys that run commands through their
// update rules, the context menu and the touch gestures; and a session
// whose journal replays to the same section.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "analysis/model/CDot.h"
#include "analysis/model/CLog.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/view/HeadlessRun.h"
#include "lorimant/view/SectionViewInput.h"
#include "platform/core/Settings.h"
#include "platform/tests/TempConfigHome.h"
#include "test_view_support.h"

using namespace view_test;

namespace {

namespace C = SectionCommand;
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using Names = std::vector<CString>;

// A section view with its input on an 800 x 600 window.
class InputTest : public SectionViewTest {
 protected:
  void TearDown() override {
    input.reset();
    SectionViewTest::TearDown();
  }
  void open() {
    openView(800, 600);
    input = std::make_unique<SectionViewInput>(*view, host);
  }
  // The client pixel (y downwards) of a model point.
  CPoint at(double x, double y) const {
    const double left = view->m_center.x + view->m_windowMin.x;
    const double bottom = view->m_center.y + view->m_windowMin.y;
    const double w = view->m_windowMax.x - view->m_windowMin.x;
    const double h = view->m_windowMax.y - view->m_windowMin.y;
    return CPoint(static_cast<int>(std::lround((x - left) / w * 800)),
                  static_cast<int>(std::lround(600 - (y - bottom) / h * 600)));
  }
  // The journal's lines from line mark on.
  Lines journalFrom(size_t mark) const {
    const Lines all = lines(journals().back());
    return mark < all.size() ? Lines(all.begin() + static_cast<long>(mark), all.end()) : Lines{};
  }
  size_t journalMark() const { return lines(journals().back()).size(); }
  Names picked() const { return view->pickedShapeNames(); }
  void key(int code, bool ctrl = false, bool shift = false, bool alt = false) {
    input->keyDown(ViewKey{code, ctrl, shift, alt});
  }
  void click(double x, double y) { input->leftUp(at(x, y)); }

  std::unique_ptr<SectionViewInput> input;
};

// Rectangle "a" [0,4]x[0,2] of "steel", rectangle "b" [6,8]x[0,2] without
// a material and a construction point at (-3, 3).
class SectionInput : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    a = rectangle(L"a", 0, 0, 4, 2);
    auto steel = std::make_shared<CMetal>();
    steel->name = L"steel";
    a->material(steel);
    b = rectangle(L"b", 6, 0, 2, 2);
    root()->addConstructionPoint(-3, 3);
    open();
  }
  CShapeAnalysis* a = nullptr;
  CShapeAnalysis* b = nullptr;
};

// A dialog of the view that keeps what the view told it.
struct FakeDialog : SectionDialog {
  explicit FakeDialog(CXSectionAnalysisDoc* d = nullptr) : doc(d) {}
  ~FakeDialog() override {
    if (doc != nullptr) doc->UnregisterModelessDialog(this);
  }
  void DestroyWindow() override {
    if (doc != nullptr) doc->UnregisterModelessDialog(this);
  }
  void setShapeKind(int k) override { kind = k; }
  void resetEditState() override { ++resets; }
  void setDocument(CXSectionAnalysisDoc* d, CXSectionAnalysis* m) override {
    doc = d;
    model = m;
  }
  void setParentName(const CString& name) override { parent = name; }
  void clearPickFields() override { ++pickClears; }
  void show() override { ++shows; }
  CXSectionAnalysisDoc* doc;
  CXSectionAnalysis* model = nullptr;
  int kind = -1;
  int resets = 0;
  int shows = 0;
  int pickClears = 0;
  CString parent;
};

TEST_F(SectionInput, ReleasesPickAndToggleWithTheirJournalLines) {
  size_t mark = journalMark();
  click(2, 1);
  EXPECT_EQ(picked(), Names{L"a"});
  click(2, 1);
  EXPECT_TRUE(view->COpenGLView::m_pickList.IsEmpty());
  EXPECT_EQ(journalFrom(mark), (Lines{"xscn.SelectShape \"a\"", "xscn.ClearPicks"}));
  // A click on nothing changes nothing and writes nothing.
  mark = journalMark();
  click(5, 1);
  EXPECT_TRUE(journalFrom(mark).empty());

  key('A', true);
  EXPECT_EQ(picked(), (Names{L"a", L"b"}));
  EXPECT_EQ(journalFrom(mark), (Lines{"xscn.SelectShape \"a\"", "xscn.SelectShape \"b\""}));
  // Only the shapes it newly picks are journalled.
  view->ClearPicks();
  click(7, 1);
  mark = journalMark();
  key('A', true);
  EXPECT_EQ(journalFrom(mark), Lines{"xscn.SelectShape \"a\""});
}

TEST_F(SectionInput, WithATransformationDialogOpenAReleasePicksPointsOnly) {
  FakeDialog rotate(doc.get());
  view->m_rotateDialog = &rotate;
  doc->RegisterModelessDialog(&rotate);
  click(2, 1);
  EXPECT_TRUE(view->COpenGLView::m_pickList.IsEmpty());
  click(4, 2);
  EXPECT_TRUE(picked().empty());
  EXPECT_EQ(view->dotsPicked(), 1);
  // Closed, shapes are picked again.
  doc->UnregisterModelessDialog(&rotate);
  click(2, 1);
  EXPECT_EQ(picked(), Names{L"a"});
}

TEST_F(SectionInput, DoubleClickHoldsTheLastPickForTwoSeconds) {
  int edits = 0;
  view->setEditEntry([&] { ++edits; });
  click(2, 1);
  click(7, 1);
  ASSERT_EQ(picked(), (Names{L"a", L"b"}));
  const size_t mark = journalMark();
  input->leftDoubleClick(at(7, 1));
  EXPECT_EQ(picked(), Names{L"b"});
  EXPECT_EQ(journalFrom(mark), (Lines{"xscn.ClearPicks", "xscn.SelectShape \"b\""}));
  EXPECT_EQ(host.timers, (std::map<int, int>{{kPickHoldTimer, 2000}}));
  EXPECT_EQ(edits, 1);

  // The release that ends the double click, and any other, picks nothing
  // until timer 1 fires.
  click(7, 1);
  click(2, 1);
  EXPECT_EQ(picked(), Names{L"b"});
  input->timer(kPickHoldTimer);
  EXPECT_TRUE(host.timers.empty());
  click(2, 1);
  EXPECT_EQ(picked(), (Names{L"b", L"a"}));

  // A double click on a single pick drops nothing and journals nothing.
  input->timer(kPickHoldTimer);
  view->ClearPicks();
  click(2, 1);
  const size_t single = journalMark();
  input->leftDoubleClick(at(2, 1));
  EXPECT_TRUE(journalFrom(single).empty());
  EXPECT_EQ(edits, 2);

  // With the station display on a double click does nothing.
  input->timer(kPickHoldTimer);
  view->m_stationDisplay = 1;
  input->leftDoubleClick(at(2, 1));
  EXPECT_EQ(view->m_hold, 0);
  EXPECT_EQ(edits, 2);
}

TEST_F(SectionInput, EscClearsThePicksOrEndsARubberZoom) {
  click(2, 1);
  size_t mark = journalMark();
  key(ViewKeyCode::Escape);
  EXPECT_TRUE(view->COpenGLView::m_pickList.IsEmpty());
  EXPECT_EQ(journalFrom(mark), Lines{"xscn.ClearPicks"});

  const Point<float> low = view->m_windowMin;
  ASSERT_TRUE(view->RunCommand(C::RubberZoom));
  ASSERT_TRUE(view->mouseLoopActive());
  input->leftDown(at(1, 1));
  input->mouseMove(at(3, 0));
  mark = journalMark();
  key(ViewKeyCode::Escape);
  EXPECT_FALSE(view->mouseLoopActive());
  EXPECT_TRUE(journalFrom(mark).empty());
  EXPECT_EQ(view->m_windowMin.x, low.x);
  EXPECT_EQ(host.captures, host.releases);
}

TEST_F(SectionInput, HoverShowsWhatIsUnderTheMouseUntilTheNextMove) {
  view->SetGridPosition(GridPosition::NoShow);
  click(2, 1);
  const Point<double> lastPick = view->m_lastPickPoint;
  const struct {
    double x, y;
    const char* text;
  } cases[] = {{2, 1, "id:a  matl:steel"}, {7, 0.5, "id:b"}, {-3, 3, "(-3,3)"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    input->hover(at(c.x, c.y));
    ASSERT_TRUE(view->tooltipShown());
    EXPECT_EQ(std::string(view->tooltipText().GetString()), c.text);
    EXPECT_NEAR(view->tooltipPoint().x, c.x, 0.05);
    EXPECT_NEAR(view->tooltipPoint().y, c.y, 0.05);
    EXPECT_EQ(picked(), Names{L"a"});
    EXPECT_EQ(view->m_lastPickPoint.x, lastPick.x);
    const int requests = host.hoverRequests;
    input->mouseMove(at(c.x, c.y));
    EXPECT_FALSE(view->tooltipShown());
    EXPECT_EQ(host.hoverRequests, requests + 1);
  }
  // Over nothing there is no tooltip.
  input->hover(at(5, -1));
  EXPECT_FALSE(view->tooltipShown());

  // The tooltip is black text on white, beginning at its point and
  // standing on it. Above and to the right of "b"'s point: only white and
  // black; the grey background and "b"'s own colour are covered.
  input->hover(at(7, 0.5));
  const CPoint p = at(7, 0.5);
  int white = 0, black = 0, other = 0;
  for (int x = p.x + 1; x < p.x + 24; ++x)
    for (int y = p.y - 8; y <= p.y + 3; ++y) {
      const Rgba8 c = pixel(x, 599 - y);
      if (c == kWhite) ++white;
      else if (c == Rgba8{0, 0, 0, 255}) ++black;
      else ++other;
    }
  EXPECT_GT(white, 0);
  EXPECT_GT(black, 0);
  EXPECT_EQ(other, 0);
}

TEST_F(SectionInput, KeysRunTheirCommandsThroughTheUpdateRules) {
  doc->CheckPoint();
  click(2, 1);
  key(ViewKeyCode::Delete);
  EXPECT_EQ(model()->findShape(CString(L"a")), nullptr);
  key('Z', true);
  EXPECT_NE(model()->findShape(CString(L"a")), nullptr);
  key('Y', true);
  EXPECT_EQ(model()->findShape(CString(L"a")), nullptr);
  key(ViewKeyCode::Back, false, false, true);
  EXPECT_NE(model()->findShape(CString(L"a")), nullptr);
  const Lines journal = lines(journals().back());
  EXPECT_EQ(Lines(journal.end() - 4, journal.end()),
            (Lines{"xscn.DeleteSelected", "xscn.Undo", "xscn.Redo", "xscn.Undo"}));

  // With the basic-shape dialog open Delete and Ctrl+X delete nothing: it
  // may be editing the picked shape.
  FakeDialog shapes(doc.get());
  view->m_basicShapeDialog = &shapes;
  doc->RegisterModelessDialog(&shapes);
  click(2, 1);
  ASSERT_EQ(picked(), Names{L"a"});
  key(ViewKeyCode::Delete);
  key('X', true);
  EXPECT_NE(model()->findShape(CString(L"a")), nullptr);
  // Nor is there anything to undo while it is open.
  key('Z', true);
  EXPECT_EQ(picked(), Names{L"a"});
  doc->UnregisterModelessDialog(&shapes);
  view->m_basicShapeDialog = nullptr;
  key('X', true);
  EXPECT_EQ(model()->findShape(CString(L"a")), nullptr);
  // Keys the view does not use are left to the window.
  EXPECT_FALSE(input->keyDown(ViewKey{'Q', true, false, false}));
  EXPECT_FALSE(input->keyDown(ViewKey{ViewKeyCode::Delete, false, true, false}));
}

TEST_F(SectionInput, KeyboardContextMenuOpensInsideTheTopLeftCorner) {
  input->contextMenu(CPoint(-1, -1), true);
  ASSERT_EQ(host.menus.size(), 1u);
  EXPECT_EQ(host.menuPoints.back(), CPoint(5, 5));
  const ViewMenu& menu = host.menus.back();
  EXPECT_EQ(menu.title, CString(L"Section Operations"));
  Names labels;
  for (const ViewMenuEntry& e : menu.entries) labels.push_back(e.label);
  const Names expected = {L"Delete ",
                          L"Change Sign",
                          L"Full View",
                          L"Rubber Box Zoom",
                          L"Translate",
                          L"Mesh Selected",
                          L"Local Size Control",
                          L"Move Object's Vertex to Location",
                          L"Move Object's Vertex to Match Vertex",
                          L"Mirror Object Horizontally about Vertex",
                          L"Mirror Object Vertically about Vertex",
                          L"Rename",
                          L"Set Material ",
                          L"Rotate Object About Vertex"};
  EXPECT_EQ(labels, expected);
  // From the mouse, at the point given.
  input->contextMenu(CPoint(300, 200), false);
  EXPECT_EQ(host.menuPoints.back(), CPoint(300, 200));
}

TEST_F(SectionInput, ContextMenuEntriesFollowTheirRulesAndHandlers) {
  auto enabled = [&](UINT id) {
    input->contextMenu(CPoint(10, 10), false);
    for (const ViewMenuEntry& e : host.menus.back().entries)
      if (e.id == id) return e.enabled;
    ADD_FAILURE() << "no entry " << id;
    return false;
  };
  int renames = 0;
  view->registerCommand(C::Rename, [&](int) { ++renames; });
  EXPECT_FALSE(enabled(C::Delete));
  EXPECT_FALSE(enabled(C::Rename));
  EXPECT_TRUE(enabled(C::FullView));
  click(2, 1);
  EXPECT_TRUE(enabled(C::Delete));
  EXPECT_TRUE(enabled(C::Rename));
  // Set Material follows its rule: a picked shape enables it.
  EXPECT_TRUE(enabled(C::SetMaterialContext));
  click(7, 1);
  EXPECT_FALSE(enabled(C::Rename));
  EXPECT_FALSE(view->RunCommand(C::Rename));
  EXPECT_EQ(renames, 0);
}

TEST_F(SectionInput, ShapeAndProfileCommandsOpenTheirDialogsOnce) {
  std::vector<FakeDialog*> made;
  SectionDialogFactory factory;
  auto maker = [&](CThickSectionView&) {
    auto d = std::make_unique<FakeDialog>();
    made.push_back(d.get());
    return d;
  };
  for (SectionDialogKind k : {SectionDialogKind::BasicShape, SectionDialogKind::Rotate, SectionDialogKind::Mirror,
                              SectionDialogKind::Translate})
    factory.registerMaker(k, maker);
  EXPECT_FALSE(view->hasHandler(C::Rectangle));
  view->setDialogFactory(&factory);
  ASSERT_EQ(made.size(), 4u);
  FakeDialog& shapes = *made[0];
  EXPECT_EQ(view->m_basicShapeDialog, &shapes);
  EXPECT_EQ(view->m_modelessCreated, 1);
  EXPECT_FALSE(view->hasHandler(C::ExtrudedL));

  // A union on: refused, nothing opened.
  b->material(a->material());
  ILorimant::Union(*doc);
  ASSERT_TRUE(root()->isUnionOn());
  host.messages.clear();
  EXPECT_TRUE(view->RunCommand(C::Rectangle));
  EXPECT_EQ(host.messages, Names{L"You must turn off the union before adding new shapes"});
  EXPECT_EQ(host.captions, Names{L""});
  EXPECT_EQ(shapes.shows, 0);
  EXPECT_FALSE(doc->IsModelessDialogOpen(&shapes));
  ASSERT_TRUE(view->RunCommand(C::UndoUnion));
  ASSERT_FALSE(root()->isUnionOn());

  EXPECT_TRUE(view->RunCommand(C::Rectangle));
  EXPECT_TRUE(doc->IsModelessDialogOpen(&shapes));
  EXPECT_EQ(shapes.kind, 7);
  EXPECT_EQ(shapes.resets, 1);
  EXPECT_EQ(shapes.model, model());
  EXPECT_EQ(shapes.shows, 1);
  // Open: a second Rectangle, or Trapezoid, does nothing.
  EXPECT_FALSE(view->RunCommand(C::Rectangle));
  EXPECT_FALSE(view->RunCommand(C::Trapezoid));
  EXPECT_EQ(shapes.shows, 1);
  EXPECT_EQ(shapes.kind, 7);
  // Clearing the picks clears its picked points too.
  view->ClearPicks();
  EXPECT_EQ(shapes.pickClears, 1);
  doc->CloseModelessDialog(&shapes);

  factory.registerMaker(SectionDialogKind::Profile, maker, 12);
  ASSERT_TRUE(view->RunCommand(C::ExtrudedL));
  ASSERT_EQ(made.size(), 5u);
  EXPECT_EQ(made[4]->parent, CString(L"root"));
  EXPECT_EQ(made[4]->shows, 1);
  EXPECT_EQ(view->m_pendingProfileDialog, made[4]);
  EXPECT_FALSE(view->OnUpdateCommandUI(C::Rectangle).enabled);
  EXPECT_FALSE(view->RunCommand(C::ExtrudedL));
  // Finished, it no longer blocks.
  view->profileDialogFinished(made[4]);
  EXPECT_TRUE(view->OnUpdateCommandUI(C::Rectangle).enabled);
  // Profiles without a maker have no handler.
  EXPECT_FALSE(view->hasHandler(C::IBeam));
}

TEST_F(SectionInput, PolygonMakesItsDialogOnFirstUse) {
  std::vector<FakeDialog*> made;
  SectionDialogFactory factory;
  factory.registerMaker(SectionDialogKind::PointSet, [&](CThickSectionView&) {
    auto d = std::make_unique<FakeDialog>();
    made.push_back(d.get());
    return d;
  });
  EXPECT_FALSE(view->hasHandler(C::Polygon));
  view->setDialogFactory(&factory);
  EXPECT_TRUE(made.empty());
  ASSERT_TRUE(view->RunCommand(C::Polygon));
  ASSERT_EQ(made.size(), 1u);
  EXPECT_TRUE(doc->IsModelessDialogOpen(made[0]));
  EXPECT_EQ(made[0]->shows, 1);
  EXPECT_FALSE(view->RunCommand(C::Polygon));
  doc->CloseModelessDialog(made[0]);
  ASSERT_TRUE(view->RunCommand(C::Polygon));
  EXPECT_EQ(made.size(), 1u);
  EXPECT_EQ(made[0]->shows, 2);
}

TEST_F(SectionInput, GridListBackgroundColourAndDisplayPrecision) {
  // The grid list's third item, " No Show"; an item it does not have changes nothing.
  ASSERT_TRUE(view->RunCommand(C::GridPosition, 2));
  EXPECT_EQ(model()->grid, nullptr);
  EXPECT_TRUE(records(SectionRecord::kGridX).empty());
  // (Even the rebuild that a change of position makes, which clears the picks.)
  click(2, 1);
  for (int item : {7, -1}) ASSERT_TRUE(view->RunCommand(C::GridPosition, item));
  EXPECT_EQ(view->m_gridShown, 0);
  EXPECT_EQ(picked(), Names{L"a"});
  view->ClearPicks();
  host.colourAnswer = std::array<int, 3>{255, 0, 0};
  ASSERT_TRUE(view->RunCommand(C::BackgroundColor));
  EXPECT_EQ(pixel(5, 5), kRed);
  EXPECT_EQ(pixel(795, 595), kRed);
  // Cancelled: nothing changes.
  host.colourAnswer.reset();
  ASSERT_TRUE(view->RunCommand(C::BackgroundColor));
  EXPECT_EQ(pixel(5, 5), kRed);

  EXPECT_EQ(model()->displayPrecision, 4);
  const struct {
    double answer;
    int stored;
    bool refused;
  } cases[] = {{3, 3, false},
               {1e9, 3, true},
               {-1, 3, true},
               {std::numeric_limits<double>::quiet_NaN(), 3, true},
               {std::numeric_limits<double>::infinity(), 3, true},
               {15, 15, false},
               {15.5, 15, true},
               {0, 0, false},
               {6.7, 6, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    host.messages.clear();
    host.valueAnswer = c.answer;
    ASSERT_TRUE(view->RunCommand(C::DisplayPrecision));
    EXPECT_EQ(host.prompts.back(), CString(L"Number of Decimal Places"));
    EXPECT_EQ(model()->displayPrecision, c.stored);
    EXPECT_EQ(host.messages.size(), c.refused ? 1u : 0u);
  }
  EXPECT_EQ(host.presets.front(), 4.0);
  host.valueAnswer.reset();
  ASSERT_TRUE(view->RunCommand(C::DisplayPrecision));
  EXPECT_EQ(model()->displayPrecision, 6);
}

// Zooming in or out far past any use keeps a picture to scale: the model
// point under the mouse stays where the view window puts it. (The grid is
// off while the wheel turns, to keep the test quick, and on at the ends.)
TEST_F(SectionInput, ZoomingThousandsOfTimesKeepsThePictureToScale) {
  view->SetGridPosition(GridPosition::NoShow);
  view->m_center.x = view->m_eye.x = 2.0f;
  view->m_center.y = view->m_eye.y = 1.0f;
  for (int i = 0; i < 1000; ++i) input->wheel(-120);
  view->SetGridPosition(GridPosition::Behind);
  const float width = view->m_windowMax.x - view->m_windowMin.x;
  const float height = view->m_windowMax.y - view->m_windowMin.y;
  ASSERT_TRUE(std::isfinite(width) && std::isfinite(height));
  EXPECT_NEAR(height, 0.75f * width, 1e-3f * width);
  // 300 pixels right of the centre lies 300 / 800 of the width further
  // right, still inside "a".
  input->hover(CPoint(700, 300));
  ASSERT_TRUE(view->tooltipShown());
  EXPECT_EQ(std::string(view->tooltipText().GetString()), "id:a  matl:steel");
  EXPECT_NEAR(view->tooltipPoint().x, 2.0 + 300.0 * width / 800.0, 1e-6);
  EXPECT_NEAR(view->tooltipPoint().y, 1.0, 1e-6);
  input->mouseMove(CPoint(700, 300));

  view->SetGridPosition(GridPosition::NoShow);
  for (int i = 0; i < 2000; ++i) input->wheel(120);
  const float wide = view->m_windowMax.x - view->m_windowMin.x;
  ASSERT_TRUE(std::isfinite(wide));
  EXPECT_GT(wide, 1e8f);
  EXPECT_LE(wide, 1e9f);
  // It still draws: a new background shows, and the grid comes back.
  host.colourAnswer = std::array<int, 3>{255, 0, 0};
  ASSERT_TRUE(view->RunCommand(C::BackgroundColor));
  EXPECT_EQ(pixel(5, 5), kRed);
  view->SetGridPosition(GridPosition::Behind);
  view->renderPixels();
  EXPECT_NE(model()->grid, nullptr);
}

TEST_F(SectionInput, CalculatorStartsTheProgramOfTheSettings) {
  test_support::TempConfigHome config;
  ASSERT_TRUE(view->RunCommand(C::Calculator));
  Settings::WriteProfileString(L"Settings", L"Calculator", L"xcalc -rpn");
  host.programsStart = false;
  host.messages.clear();
  ASSERT_TRUE(view->RunCommand(C::Calculator));
  EXPECT_EQ(host.programs, (Names{L"gnome-calculator", L"xcalc -rpn"}));
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(SectionInput, TouchGestures) {
  click(2, 1);
  size_t mark = journalMark();
  input->pressAndTap(at(0, 0));
  EXPECT_TRUE(view->COpenGLView::m_pickList.IsEmpty());
  input->twoFingerTap(at(0, 0));
  EXPECT_EQ(picked(), (Names{L"a", L"b"}));
  EXPECT_EQ(journalFrom(mark), (Lines{"xscn.ClearPicks", "xscn.SelectShape \"a\"", "xscn.SelectShape \"b\""}));

  int rotations = 0;
  view->registerCommand(C::RotateAll, [&](int) { ++rotations; });
  input->rotateGesture(at(0, 0), true);
  input->rotateGesture(at(0, 0), false);
  EXPECT_EQ(rotations, 1);

  const float width = view->m_windowMax.x - view->m_windowMin.x;
  const float centreX = view->m_center.x;
  input->panGesture(CPoint(100, 100), CPoint(100, 100));
  EXPECT_EQ(view->m_center.x, centreX);
  input->panGesture(CPoint(100, 100), CPoint(120, 100));
  EXPECT_NEAR(view->m_center.x, centreX - 20 * width / 800, 1e-4);

  // The zoom centres the camera on the gesture's point, then steps.
  input->zoomGesture(at(7, 1), 1.0, true);
  EXPECT_NEAR(view->m_center.x, 7.0, 0.05);
  EXPECT_NEAR(view->m_eye.y, 1.0, 0.05);
  input->zoomGesture(at(7, 1), 0.5, false);
  EXPECT_NEAR(view->m_windowMax.x - view->m_windowMin.x, width * 1.1f, 1e-3);
  input->zoomGesture(at(7, 1), 2.0, false);
  EXPECT_NEAR(view->m_windowMax.x - view->m_windowMin.x, width * 1.1f * 0.9f, 1e-3);
}

// An empty section: the fit shows x -16..16 and y -12..12.
class EmptyInput : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    open();
  }
  void expectWindow(float halfWidth, float halfHeight) const {
    EXPECT_NEAR(view->m_windowMin.x, -halfWidth, 1e-4);
    EXPECT_NEAR(view->m_windowMax.x, halfWidth, 1e-4);
    EXPECT_NEAR(view->m_windowMin.y, -halfHeight, 1e-4);
    EXPECT_NEAR(view->m_windowMax.y, halfHeight, 1e-4);
  }
  // The column of the axis cross's vertical stroke (pure red) in the row 8
  // pixels below the centre, y counted from the bottom; -1 when none.
  int crossColumn() const {
    for (int x = 0; x < 800; ++x)
      if (pixel(x, 291) == kRed) return x;
    return -1;
  }
};

TEST_F(EmptyInput, ArrowsPanAndShiftArrowsAndTheWheelZoom) {
  expectWindow(16, 12);
  const int column = crossColumn();
  ASSERT_GE(column, 0);
  key(ViewKeyCode::Right);
  EXPECT_NEAR(view->m_center.x, -0.4, 1e-5);
  EXPECT_NEAR(view->m_eye.x, -0.4, 1e-5);
  EXPECT_EQ(crossColumn(), column + 10);
  key(ViewKeyCode::Up);
  EXPECT_NEAR(view->m_center.y, -0.4, 1e-5);
  expectWindow(16, 12);

  const struct {
    const char* how;
    std::function<void()> step;
    float halfWidth, halfHeight;
  } zooms[] = {
      {"Shift+Left", [&] { key(ViewKeyCode::Left, false, true); }, 14.4f, 10.8f},
      {"Shift+Up", [&] { key(ViewKeyCode::Up, false, true); }, 14.4f, 10.8f},
      {"Shift+Right", [&] { key(ViewKeyCode::Right, false, true); }, 17.6f, 13.2f},
      {"Shift+Down", [&] { key(ViewKeyCode::Down, false, true); }, 17.6f, 13.2f},
      {"wheel back", [&] { input->wheel(-120); }, 14.4f, 10.8f},
      {"wheel forward", [&] { input->wheel(120); }, 17.6f, 13.2f},
  };
  for (const auto& z : zooms) {
    SCOPED_TRACE(z.how);
    view->fullView();
    z.step();
    expectWindow(z.halfWidth, z.halfHeight);
  }
}

TEST_F(EmptyInput, MiddleDragPansUntilItEnds) {
  const struct {
    const char* how;
    std::function<void()> end;
    int releases;
  } endings[] = {
      {"middle release", [&] { input->middleUp(CPoint(500, 300)); }, 1},
      {"right release", [&] { input->rightUp(CPoint(500, 300)); }, 1},
      {"Esc", [&] { key(ViewKeyCode::Escape); }, 1},
      {"capture lost", [&] { input->captureLost(); }, 0},
  };
  for (const auto& e : endings) {
    SCOPED_TRACE(e.how);
    view->fullView();
    host.captures = host.releases = 0;
    const size_t mark = journalMark();
    input->middleDown(CPoint(400, 300));
    EXPECT_TRUE(input->panning());
    EXPECT_EQ(host.captures, 1);
    input->mouseMove(CPoint(450, 300));
    input->mouseMove(CPoint(500, 300));
    // Clicks during the pan pick nothing.
    input->leftUp(CPoint(500, 300));
    e.end();
    EXPECT_FALSE(input->panning());
    EXPECT_EQ(host.releases, e.releases);
    EXPECT_NEAR(view->m_center.x, -4.0, 1e-3);
    EXPECT_NEAR(view->m_eye.x, -4.0, 1e-3);
    EXPECT_NEAR(view->m_center.y, 0.0, 1e-3);
    // No zoom step at the end: the window keeps its size.
    expectWindow(16, 12);
    EXPECT_TRUE(journalFrom(mark).empty());
    // Later moves only hover.
    input->mouseMove(CPoint(600, 300));
    EXPECT_NEAR(view->m_center.x, -4.0, 1e-3);
  }
  // Outside a pan a middle release does nothing.
  view->fullView();
  input->middleUp(CPoint(10, 10));
  expectWindow(16, 12);
}

// The wheel zooms only on a turn of its own: a turn of 0, or one during a
// pan or a rubber-band drag, changes nothing. The rubber band then zooms
// to the box that was dragged: pixels (100, 100) to (300, 250), the
// model's x -12..-4 and y 2..8.
TEST_F(EmptyInput, TheWheelLeavesAPanOrARubberBandAlone) {
  input->wheel(0);
  expectWindow(16, 12);
  input->middleDown(CPoint(400, 300));
  input->wheel(-120);
  input->middleUp(CPoint(400, 300));
  expectWindow(16, 12);

  ASSERT_TRUE(view->RunCommand(C::RubberZoom));
  input->leftDown(CPoint(100, 100));
  input->mouseMove(CPoint(300, 200));
  input->wheel(-120);
  input->wheel(120);
  input->wheel(120);
  input->leftUp(CPoint(300, 200));
  ASSERT_FALSE(view->mouseLoopActive());
  EXPECT_NEAR(view->m_center.x, -8.0, 1e-4);
  EXPECT_NEAR(view->m_center.y, 5.0, 1e-4);
  expectWindow(4, 3);
}

// A session built and edited through the journalled paths replays to the
// same section: without the journal lines of the double click and of the
// click that turns the picks off, the replayed Deletes would remove other
// shapes than the session did.
TEST_F(InputTest, SessionJournalReplaysToTheSameSection) {
  // As the shape dialog adds them: the journal line, then the method.
  doc->setUnitSystem(0);
  for (const auto& [name, width, x] : {std::tuple{L"a", 4.0, 0.0}, {L"b", 2.0, 6.0}, {L"c", 2.0, 10.0}}) {
    gLogMsg.Format(L"xscn.AddRectangle \"root\",\"%s\",%g,2,%g,0,0,1,0,1", name, width, x);
    doc->LogIt();
    ILorimant::AddRectangle(*doc, L"root", name, width, 2, x, 0, 0, 1, 0, 1);
  }
  open();
  click(1, 1);
  click(7, 1);
  input->leftDoubleClick(at(7, 1));
  input->timer(kPickHoldTimer);
  key(ViewKeyCode::Delete);
  click(11, 1);
  click(11, 1);
  click(1, 1);
  key(ViewKeyCode::Delete);
  Names session;
  for (POSITION pos = model()->shapes.GetHeadPosition(); pos != nullptr;) session.push_back(model()->shapes.GetNext(pos)->name());
  ASSERT_EQ(session, Names{L"c"});

  const fs::path journal = journals().back();
  input.reset();
  view.reset();
  doc.reset();
  const fs::path copy = journal.parent_path() / "replayed_input_session.bas";
  fs::copy_file(journal, copy, fs::copy_options::overwrite_existing);
  std::ifstream replay(copy, std::ios::binary);
  std::ostringstream out;
  Names replayed;
  const JournalRunResult result = RunMacroHeadless(replay, out, nullptr, [&](CXSectionAnalysisDoc& d) {
    for (POSITION pos = d.model()->shapes.GetHeadPosition(); pos != nullptr;)
      replayed.push_back(d.model()->shapes.GetNext(pos)->name());
  });
  EXPECT_TRUE(result.ok) << result.lineNumber << ": " << result.line << ": " << result.description;
  EXPECT_EQ(replayed, session);
}

}  // namespace
