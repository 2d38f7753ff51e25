// The rules of the basic-shape dialog on a real document and view: the
// checks of the values, the nine journal lines and their replay, picks into
// the input cells, the layout of each kind, Add and the safe Edit, and the
// pictures of the kinds against the shapes the model builds.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/shapes/BasicShapePictures.h"
#include "lorimant/shapes/CSector.h"
#include "platform/ole/COleDispatchException.h"
#include "test_basic_shape_dialog_support.h"

using namespace basic_shape_test;

namespace basic_shape_dialog_test {

const std::vector<int> kSectorIds = {
    CSector::IDC_VALUE1, CSector::IDC_VALUE2,       CSector::IDC_VALUE3,     CSector::IDC_ANGLE1,
    CSector::IDC_ANGLE2, CSector::IDC_X,            CSector::IDC_Y,          CSector::IDC_ROTATION,
    CSector::IDC_NEGATIVE, CSector::IDC_NAME,       CSector::IDC_UNITS,      CSector::IDC_LABEL1,
    CSector::IDC_LABEL2, CSector::IDC_LABEL3,       CSector::IDC_LABEL_ANGLE1, CSector::IDC_LABEL_ANGLE2};
const std::vector<int> kSectorLists = {CSector::IDC_ORIGIN, CSector::IDC_DIRECTION};

// What ValidateInput says of the values ("" when it accepts them).
std::wstring refusal(int kind, double v1, double v2, double v3, double a1, double a2, int origin = 0, int dir = 1) {
  try {
    CSector::ValidateInput(v1, v2, v3, a1, a2, kind, origin, dir);
  } catch (const COleDispatchException& e) {
    EXPECT_EQ(e.m_wCode, 1);
    return e.m_strDescription.GetString();
  }
  return L"";
}

TEST(BasicShapeValidation, TheChecksOfEachKindInTheirOrder) {
  const struct {
    int kind;
    double v1, v2, a1, a2;
    const wchar_t* text;
  } cases[] = {
      {0, 1, 1, 360, 0, L"Sweep angle must be less than 360. deg"},
      {0, 1, 1, 359.9, 0, L""},
      {0, 1, 1, 0.001, 0, L"Sweep angle is too small"},
      {0, 1, 1, -10, 0, L"Sweep angle is too small"},
      {0, 0, 1, -10, 0, L"Invalid radius"},
      {2, 1, 1, 5, 0, L""},
      {2, 1, 1, 170, 0, L""},
      {2, 1, 1, 4.99, 0, L"Sweep angle must be greater than 5. deg"},
      {2, 1, 1, 170.01, 0, L"Sweep angle must be less than 170. deg"},
      {1, 1, 2 - 2e-12, 0, 0, L""},
      {1, 1, 2, 0, 0, L"Leg length can't be greater than 2 times radius."},
      {1, 1, 0, 0, 0, L"Bad leg length or radius"},
      {1, 1e5, 1, 0, 0, L"Leg length is too small"},
      {4, 1, 1, 10, 170, L""},
      {4, 1, 1, 9.99, 90, L"Invalid trapezoid angles must be in the range [10,170]"},
      {4, 1, 1, 90, 170.01, L"Invalid trapezoid angles must be in the range [10,170]"},
      {4, 0, 1, 9.99, 90, L"Invalid length or width"},
      {7, 1, 0, 0, 0, L"Invalid length or width"},
      {3, 1, 1, 0, 0, L""},
      {9, 1, 1, 359, 0, L""},
      {9, 1, 1, 359.5, 0, L"Sweep must be positive and less than 359 degrees"},
      {9, 1, 0, 90, 0, L"Width must be positive"},
      {10, 1, 0, 60, 0, L"Invalid radius 1"},
      {10, 1, 1, 0, 0, L"Sweep angle is too small"},
      {8, 0, 1, 0, 0, L"Invalid radius"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "kind " << c.kind << " " << c.v1 << "," << c.v2 << "," << c.a1 << ","
                                      << c.a2);
    EXPECT_EQ(refusal(c.kind, c.v1, c.v2, 1, c.a1, c.a2), c.text);
  }
  // A triangle's height is its third value.
  EXPECT_EQ(refusal(3, 1, 1, 0, 0, 0), L"Invalid dimensions");
  // Equal points are refused for every kind but the disk, after its own checks.
  const struct {
    int kind;
    double v1, v2, a1, a2;
  } valid[] = {{0, 1, 1, 90, 0}, {1, 1, 1, 0, 0},   {2, 1, 1, 90, 0},  {3, 1, 1, 0, 0},
               {4, 1, 1, 90, 90}, {7, 1, 1, 0, 0},  {9, 1, 1, 90, 0},  {10, 1, 1, 60, 0}};
  for (const auto& v : valid) {
    SCOPED_TRACE(v.kind);
    EXPECT_EQ(refusal(v.kind, v.v1, v.v2, 1, v.a1, v.a2, 1, 1), L"Origin same as direction point.");
    EXPECT_EQ(refusal(v.kind, v.v1, v.v2, 1, v.a1, v.a2, -1, 1), L"Origin and direction must be greater than 0");
  }
  EXPECT_EQ(refusal(8, 1, 1, 1, 0, 0, 1, 1), L"");
  EXPECT_EQ(refusal(8, 1, 1, 1, 0, 0, -1, -1), L"");
}

class BasicShapeDialog : public BasicShapeTest {
 protected:
  void TearDown() override {
    view->m_basicShapeDialog = nullptr;
    sector.reset();  // before its view
    BasicShapeTest::TearDown();
  }
  // The view's dialog command for kind, with a memory window.
  CSector& open(int kind) {
    if (!sector) {
      sector = std::make_unique<CSector>(*view);
      give(*sector, kSectorIds, kSectorLists);
      view->m_basicShapeDialog = sector.get();  // the view's own, as its factory makes it
    }
    sector->setShapeKind(kind);
    sector->resetEditState();
    sector->show();
    return *sector;
  }
  void type(int id, const wchar_t* text) { window().c.SetText(id, text); }
  // Fills the cells: name, the five values (null: left), x, y, rotation.
  void fill(const wchar_t* name, std::vector<const wchar_t*> values, const wchar_t* x = L"0", const wchar_t* y = L"0",
            const wchar_t* rotation = L"0") {
    type(CSector::IDC_NAME, name);
    for (std::size_t i = 0; i < values.size(); ++i)
      if (values[i] != nullptr) type(CSector::kValueCells[i], values[i]);
    type(CSector::IDC_X, x);
    type(CSector::IDC_Y, y);
    type(CSector::IDC_ROTATION, rotation);
  }
  static std::vector<Point<double>> pointsOf(const CShapeAnalysis* s) {
    return s != nullptr ? s->definingPoints : std::vector<Point<double>>();
  }
  static void expectSamePoints(const std::vector<Point<double>>& a, const std::vector<Point<double>>& b, double tol) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
      EXPECT_NEAR(a[i].x, b[i].x, tol) << "point " << i + 1;
      EXPECT_NEAR(a[i].y, b[i].y, tol) << "point " << i + 1;
    }
  }
  int shapesNamed(const wchar_t* name) const {
    int n = 0;
    for (POSITION pos = model()->shapes.GetHeadPosition(); pos != nullptr;)
      if (model()->shapes.GetNext(pos)->name() == name) ++n;
    return n;
  }

  std::unique_ptr<CSector> sector;
};

TEST_F(BasicShapeDialog, EachKindLaysOutItsCellsListsAndAngles) {
  const struct {
    int kind;
    std::vector<bool> shown;  // value 1 to 3, angle 1, angle 2
    int points;
  } kinds[] = {
      {0, {1, 0, 0, 1, 0}, 3}, {1, {1, 1, 0, 0, 0}, 2}, {2, {1, 0, 0, 1, 0}, 3},
      {3, {1, 1, 1, 0, 0}, 3}, {4, {1, 1, 0, 1, 1}, 4}, {7, {1, 1, 0, 0, 0}, 4},
      {8, {1, 0, 0, 0, 0}, 0}, {9, {1, 1, 0, 1, 0}, 4}, {10, {1, 1, 0, 1, 0}, 3},
  };
  for (const auto& k : kinds) {
    SCOPED_TRACE(k.kind);
    CSector& s = open(k.kind);
    const DialogLayout& l = s.layout();
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(l.shown(CSector::kValueCells[i]), k.shown[static_cast<std::size_t>(i)]) << "cell " << i;
      EXPECT_EQ(l.shown(CSector::kValueLabels[i]), k.shown[static_cast<std::size_t>(i)]) << "label " << i;
      EXPECT_EQ(window().c.GetText(CSector::kValueLabels[i]), CString(CSector::kindRow(k.kind)->labels[i]));
    }
    EXPECT_EQ(l.shown(CSector::IDC_ANGLES_GROUP), k.shown[3] || k.shown[4]);
    ASSERT_EQ(static_cast<int>(l.items(CSector::IDC_ORIGIN).size()), k.points);
    EXPECT_EQ(l.enabled(CSector::IDC_ORIGIN), k.kind != 8);
    EXPECT_EQ(l.shown(CSector::IDC_ROTATION), k.kind != 8);
    if (k.points > 0) {
      EXPECT_EQ(window().c.GetText(CSector::IDC_ORIGIN), CString(L"1"));
      EXPECT_EQ(window().c.GetText(CSector::IDC_DIRECTION), CString(L"2"));
    }
    EXPECT_FALSE(l.enabled(CSector::IDC_EDIT));
    EXPECT_EQ(window().c.GetText(CSector::IDC_UNITS), CString(L"CM"));
    EXPECT_EQ(window().c.GetText(CSector::IDC_VALUE1), CString(L"1"));
    const bool ninety = k.kind == 4 || k.kind == 9;
    EXPECT_EQ(window().c.GetText(CSector::IDC_ANGLE1), CString(ninety ? L"90" : L"0"));
    sector->OnCloseDialog();
    EXPECT_FALSE(sector->isRegistered());
  }
  EXPECT_TRUE(CSector::PreTranslateKey(27));  // Escape never reaches the dialog
  EXPECT_FALSE(CSector::PreTranslateKey(13));
}

TEST_F(BasicShapeDialog, TheNineLinesAreJournalledAsWrittenAndReplayToTheSameShapes) {
  const struct {
    int kind;
    const wchar_t* name;
    std::vector<const wchar_t*> values;
    const wchar_t *x, *y, *rotation;
    bool hole;
    const char* line;
  } adds[] = {
      {7, L"R1", {L"2", L"1"}, L"0", L"0", L"0", false, "xscn.AddRectangle \"root\",\"R1\",2,1,0,0,0,1,0,1"},
      {4, L"P1", {L"2", L"1", nullptr, L"60", L"120"}, L"5", L"0", L"0", false,
       "xscn.AddParallelogram  \"root\",\"P1\",2,1,60,120,5,0,0,1,0,1"},
      {8, L"D1", {L"1"}, L"0", L"0", L"0", true, "xscn.AddDisk  \"root\",\"D1\",1,0,0,0"},
      {3, L"T1", {L"2", L"1", L"1.5"}, L"0", L"-5", L"30", false,
       "xscn.AddTriangle  \"root\",\"T1\",2,1,1.5,0,-5,0,1,30,1"},
      {0, L"S1", {L"1", nullptr, nullptr, L"90"}, L"10", L"0", L"0", false,
       "xscn.AddSector  \"root\",\"S1\",1,90,10,0,0,1,0,1"},
      {2, L"F1", {L"1", nullptr, nullptr, L"90"}, L"0", L"0", L"0", false,
       "xscn.AddFillet  \"root\",\"F1\",1,90,0,0,0,1,0,1 "},
      {1, L"C1", {L"1", L"1.5"}, L"0", L"20", L"0", false, "xscn.AddSectorChord  \"root\",\"C1\",1,1.5,0,20,0,1,0,1"},
      {9, L"A1", {L"1", L"0.5", nullptr, L"120"}, L"20", L"0", L"45", false,
       "xscn.AddAnnulus  \"root\",\"A1\",1,0.5,120,20,0,0,1,45,1"},
      {10, L"B1", {L"2", L"1", nullptr, L"60"}, L"30", L"0", L"0", true,
       "xscn.AddBlend \"root\",\"B1\",2,1,60,30,0,0,1,0,0"},
  };
  std::map<std::wstring, std::vector<Point<double>>> built;
  std::map<std::wstring, bool> holes;
  for (const auto& a : adds) {
    SCOPED_TRACE(a.line);
    CSector& s = open(a.kind);
    fill(a.name, a.values, a.x, a.y, a.rotation);
    window().c.SetCheck(CSector::IDC_NEGATIVE, a.hole ? 1 : 0);
    const std::size_t before = journal().size();
    s.OnAdd();
    EXPECT_TRUE(messages().empty());
    ASSERT_EQ(journalAfter(before), std::vector<std::string>{a.line});
    const CShapeAnalysis* shape = model()->findShape(a.name);
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->isNegative(), a.hole);
    built[a.name] = pointsOf(shape);
    holes[a.name] = shape->isNegative();
    // The new shape is the one Edit would replace.
    EXPECT_EQ(s.shapeName(), CString(a.name));
    EXPECT_TRUE(s.layout().enabled(CSector::IDC_EDIT));
    s.OnCloseDialog();
  }
  int found = 0;
  replay([&](CXSectionAnalysisDoc& d) {
    for (const auto& [name, points] : built) {
      SCOPED_TRACE(std::string(name.begin(), name.end()));
      const CShapeAnalysis* s = d.model()->findShape(name.c_str());
      ASSERT_NE(s, nullptr);
      ++found;
      EXPECT_EQ(s->isNegative(), holes[name]);
      expectSamePoints(pointsOf(s), points, 1e-12);
    }
  });
  EXPECT_EQ(found, 9);
}

TEST_F(BasicShapeDialog, RefusalsShowTheirTextAndBuildNothing) {
  CSector& s = open(qhtShapeSector);
  fill(L"S1", {L"1", nullptr, nullptr, L"360"});
  const std::size_t before = journal().size();
  s.OnAdd();
  ASSERT_EQ(messages(), std::vector<std::wstring>{L"Sweep angle must be less than 360. deg"});
  EXPECT_EQ(model()->findShape(L"S1"), nullptr);
  // A range of the data exchange: its prompt, nothing built.
  Hooks::reset();
  fill(L"S1", {L"2000000", nullptr, nullptr, L"90"});
  s.OnAdd();
  EXPECT_EQ(Hooks::messageBoxes().size(), 1u);
  EXPECT_EQ(model()->findShape(L"S1"), nullptr);
  // A taken name.
  Hooks::reset();
  rectangle(L"taken", 5, 5, 1, 1);
  fill(L"taken", {L"1", nullptr, nullptr, L"90"});
  s.OnAdd();
  EXPECT_EQ(messages(), std::vector<std::wstring>{L"Name for object must be unique"});
  // The model's own refusal, shown as the dialog's; the earlier shape stays the dialog's.
  Hooks::reset();
  CSector& p = open(qhtShapeParallelogram);
  fill(L"P1", {L"2", L"1", nullptr, L"60", L"120"});
  p.OnAdd();
  ASSERT_NE(model()->findShape(L"P1"), nullptr);
  fill(L"P2", {L"2", L"1", nullptr, L"10", L"10"});
  p.OnAdd();
  EXPECT_EQ(messages(), std::vector<std::wstring>{L"Interior angles need to be adjusted; legs cross"});
  EXPECT_EQ(model()->findShape(L"P2"), nullptr);
  EXPECT_EQ(p.shapeName(), CString(L"P1"));
  EXPECT_EQ(journal().size(), before + 1);
}

TEST_F(BasicShapeDialog, ANamelessShapeTakesAGeneratedNameThatItsLineCarries) {
  CSector& s = open(qhtShapeDisk);
  fill(L" ", {L"2"});
  const std::size_t before = journal().size();
  s.OnAdd();
  const CString name = s.m_name;
  EXPECT_FALSE(name.IsEmpty());
  EXPECT_NE(model()->findShape(name), nullptr);
  EXPECT_EQ(window().c.GetText(CSector::IDC_NAME), name);
  EXPECT_EQ(journalAfter(before),
            std::vector<std::string>{"xscn.AddDisk  \"root\",\"" + std::string(CStringA(name).GetString()) +
                                     "\",2,0,0,1"});
}

TEST_F(BasicShapeDialog, PicksFillTheCurrentCellAndTabbingChangesNothing) {
  for (const auto& [x, y] : {std::pair{1.0, 0.0}, {0.0, 0.0}, {0.0, 1.0}, {3.0, 4.0}, {7.5, -2.0}})
    root()->addConstructionPoint(x, y);
  view->RebuildAndRedraw();
  CSector& s = open(qhtShapeSector);
  // Tabbing through every cell empties each on its way in and gives it back on its way out.
  std::map<int, CString> texts;
  for (int id : CSector::kInputCells) texts[id] = window().c.GetText(id);
  const double values[] = {s.m_value1, s.m_value2, s.m_value3, s.m_angle1, s.m_angle2, s.m_rotation, s.m_originX,
                           s.m_originY};
  for (int id : CSector::kInputCells) {
    s.cellFocused(id);
    EXPECT_EQ(window().c.GetText(id), CString());
    s.cellLeft(id);
    EXPECT_EQ(window().c.GetText(id), texts[id]);
  }
  const double after[] = {s.m_value1, s.m_value2, s.m_value3, s.m_angle1, s.m_angle2, s.m_rotation, s.m_originX,
                          s.m_originY};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(after[i], values[i]) << "cell " << CSector::kInputCells[i];
  ASSERT_TRUE(s.UpdateData(TRUE));
  EXPECT_EQ(s.m_rotation, 0.0);

  // Three picks into "Sweep": the angle at the second from the first to the third.
  s.cellFocused(CSector::IDC_ANGLE1);
  clickDot(1, 0);
  clickDot(0, 0);
  EXPECT_TRUE(s.secondPick().has_value());
  clickDot(0, 1);
  EXPECT_NEAR(s.m_angle1, 90.0, 1e-12);
  EXPECT_EQ(window().c.GetText(CSector::IDC_ANGLE1), CString(L"90"));
  EXPECT_FALSE(s.firstPick().has_value());
  // Two picks into a length: their distance.
  s.cellFocused(CSector::IDC_VALUE1);
  clickDot(0, 0);
  clickDot(3, 4);
  EXPECT_NEAR(s.m_value1, 5.0, 1e-12);
  // Two into the rotation: the direction from the first to the second.
  s.cellFocused(CSector::IDC_ROTATION);
  clickDot(0, 0);
  clickDot(0, 1);
  EXPECT_NEAR(s.m_rotation, 90.0, 1e-12);
  // One into X sets X and Y.
  s.cellFocused(CSector::IDC_X);
  clickDot(7.5, -2);
  EXPECT_EQ(s.m_originX, 7.5);
  EXPECT_EQ(s.m_originY, -2.0);
  EXPECT_EQ(window().c.GetText(CSector::IDC_Y), CString(L"-2"));
  // The view's picks cleared, or Angle 3 Pts: the sequence starts again.
  s.cellFocused(CSector::IDC_VALUE2);
  clickDot(0, 0);
  EXPECT_TRUE(s.firstPick().has_value());
  view->ClearPicks();
  EXPECT_FALSE(s.firstPick().has_value());
  clickDot(1, 0);
  clickDot(0, 0, false);
  clickDot(0, 1, false);
  view->OnAngle3Points();
  EXPECT_FALSE(s.firstPick().has_value());
}

TEST_F(BasicShapeDialog, EditReplacesTheShapeUnderItsNameOrChangesNothing) {
  CSector& s = open(qhtShapeRectangle);
  fill(L"R1", {L"2", L"1"});
  s.OnAdd();
  ASSERT_NE(model()->findShape(L"R1"), nullptr);
  std::size_t before = journal().size();
  fill(L"R1", {L"3", L"2"});
  s.OnEdit();
  EXPECT_EQ(journalAfter(before),
            (std::vector<std::string>{"xscn.DeleteShape \"R1\"", "xscn.AddRectangle \"root\",\"R1\",3,2,0,0,0,1,0,1"}));
  EXPECT_EQ(shapesNamed(L"R1"), 1);
  expectSamePoints(pointsOf(model()->findShape(L"R1")), {{0, 0, 0}, {3, 0, 0}, {3, 2, 0}, {0, 2, 0}}, 1e-12);

  // Another shape's name, or a build the model refuses: the old shape stays, nothing is journalled.
  rectangle(L"other", 10, 10, 1, 1);
  CSector& p = open(qhtShapeParallelogram);
  fill(L"P1", {L"2", L"1", nullptr, L"60", L"120"});
  p.OnAdd();
  const std::vector<Point<double>> p1 = pointsOf(model()->findShape(L"P1"));
  before = journal().size();
  Hooks::reset();
  fill(L"other", {L"3", L"1", nullptr, L"60", L"120"});
  p.OnEdit();
  fill(L"P1", {L"2", L"1", nullptr, L"10", L"10"});
  p.OnEdit();
  EXPECT_EQ(messages(), (std::vector<std::wstring>{L"Name for object must be unique",
                                                   L"Interior angles need to be adjusted; legs cross"}));
  EXPECT_EQ(Hooks::messageBoxes()[1].caption, CString());
  EXPECT_EQ(journal().size(), before);
  expectSamePoints(pointsOf(model()->findShape(L"P1")), p1, 0);
  EXPECT_EQ(shapesNamed(L"P1"), 1);

  // Deleted meanwhile: Edit has nothing to replace and adds.
  model()->deleteShape(L"P1");
  fill(L"P1", {L"2", L"1", nullptr, L"60", L"120"});
  p.OnEdit();
  EXPECT_EQ(journalAfter(before),
            std::vector<std::string>{"xscn.AddParallelogram  \"root\",\"P1\",2,1,60,120,0,0,0,1,0,1"});
  EXPECT_EQ(shapesNamed(L"P1"), 1);
}

TEST_F(BasicShapeDialog, EditingAShapeUnchangedGivesItBack) {
  const struct {
    int kind;
    double v1, v2, v3, a1, a2;
    short origin, direction;
    double rotation;
    bool hole;
  } shapes[] = {
      {0, 2, 0, 0, 75, 0, 0, 1, 20, false},   {1, 2, 3, 0, 0, 0, 0, 1, 33, false},
      {2, 1.5, 0, 0, 60, 0, 0, 1, -15, false}, {3, 2, 0.5, 1.2, 0, 0, 0, 1, 10, false},
      {4, 2, 1, 0, 60, 110, 0, 1, 5, false},  {7, 3, 1, 0, 0, 0, 0, 1, 30, false},
      {7, 3, 1, 0, 0, 0, 2, 3, 30, false},    {8, 1.25, 0, 0, 0, 0, 0, 1, 0, true},
      {9, 1, 0.5, 0, 120, 0, 0, 1, 200, false}, {10, 2, 1, 0, 60, 0, 0, 1, 12, true},
  };
  int n = 0;
  for (const auto& k : shapes) {
    SCOPED_TRACE(::testing::Message() << "kind " << k.kind << " points " << k.origin + 1 << "," << k.direction + 1);
    auto* shape = new CShapeAnalysis(model());
    CString name;
    name.Format(L"E%d", ++n);
    shape->sector(root(), model(), name, 1.5, -0.5, k.v1, k.v2, k.v3, k.a1, k.a2, static_cast<ShapeType>(k.kind),
                  k.origin, k.direction, k.rotation, k.hole);
    const std::vector<Point<double>> points = pointsOf(shape);
    // The dialog opens with a new rectangle first: a disk's hole flag is its own.
    open(qhtShapeRectangle);
    sector->OpenForEdit(k.kind, shape);
    EXPECT_EQ(sector->shapeKind(), k.kind);
    EXPECT_EQ(sector->m_negative, k.hole ? 1 : 0);
    EXPECT_TRUE(sector->layout().enabled(CSector::IDC_EDIT));
    sector->OnEdit();
    EXPECT_TRUE(messages().empty()) << (messages().empty() ? "" : std::string(CStringA(messages()[0].c_str())));
    const CShapeAnalysis* again = model()->findShape(name);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(shapesNamed(name), 1);
    EXPECT_EQ(again->isNegative(), k.hole);
    expectSamePoints(pointsOf(again), points, 1e-9);
    sector->OnCloseDialog();
    Hooks::reset();
  }
}

// ---- pictures ----

TEST_F(BasicShapeDialog, ThePicturesAreTheShapesTheModelBuildsFromTheirValues) {
  for (const SectorKind* row : {CSector::kindRow(0), CSector::kindRow(1), CSector::kindRow(2), CSector::kindRow(3),
                                CSector::kindRow(4), CSector::kindRow(7), CSector::kindRow(8), CSector::kindRow(9),
                                CSector::kindRow(10)}) {
    SCOPED_TRACE(std::string(CStringA(row->typeName).GetString()));
    const BasicShapePicture picture = BasicShapePictureOf(row->kind);
    const double* v = picture.values;
    auto* shape = new CShapeAnalysis(model());
    CString name(row->typeName);
    shape->sector(root(), model(), name, 0, 0, v[0], v[1], v[2], v[3], v[4], static_cast<ShapeType>(row->kind), 0,
                  1, 0.0, false);
    // The numbered points, in the model's numbering.
    const int count = CSector::pointCount(row->kind);
    ASSERT_EQ(static_cast<int>(picture.points.size()), count);
    for (int i = 0; i < count; ++i) {
      EXPECT_NEAR(picture.points[static_cast<std::size_t>(i)].x, shape->definingPoints[static_cast<std::size_t>(i)].x,
                  1e-12);
      EXPECT_NEAR(picture.points[static_cast<std::size_t>(i)].y, shape->definingPoints[static_cast<std::size_t>(i)].y,
                  1e-12);
    }
    // The outline runs along the shape's boundary and encloses its area.
    const std::vector<Point<double>> outline = PictureOutline(picture, 64);
    double area = 0.0;
    for (std::size_t i = 0; i + 1 < outline.size(); ++i) {
      Point<double> p = outline[i];
      EXPECT_TRUE(shape->isInsideOrOn(p) && !shape->isInsideNotOn(p)) << "outline point " << i;
      area += 0.5 * (outline[i].x * outline[i + 1].y - outline[i + 1].x * outline[i].y);
    }
    EXPECT_NEAR(area, shape->area(), 2e-3 * std::fabs(shape->area()));
  }
}

}  // namespace basic_shape_dialog_test
