// The rules of the modeless shape dialogs (mirror, rotation, translation,
// relative point, critical point) on a real document and view with their
// controls in memory, their registration with the document they were
// opened from, the number conversions of the modeless dialogs, and the
// rules of the mesh parameter and local size control dialogs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/model/CDot.h"
#include "lorimant/shapes/CAddCriticalPoint.h"
#include "lorimant/shapes/CLocalControlDlg.h"
#include "lorimant/shapes/CMirrorDlg.h"
#include "lorimant/shapes/CRelativePoint.h"
#include "lorimant/shapes/CRotateDlg.h"
#include "lorimant/shapes/CShapeAnalysisMeshDlg.h"
#include "lorimant/shapes/CTransDlg.h"
#include "lorimant/view/HeadlessRun.h"
#include "platform/core/Hooks.h"
#include "test_shape_dialogs_support.h"

using namespace view_test;
using namespace shape_dialog_test;

namespace {

namespace C = SectionCommand;

const std::vector<int> kMirrorIds = {CMirrorDlg::IDC_DIR_X, CMirrorDlg::IDC_DIR_Y, CMirrorDlg::IDC_POINT_X,
                                     CMirrorDlg::IDC_POINT_Y};
const std::vector<int> kRotateIds = {CRotateDlg::IDC_ANGLE, CRotateDlg::IDC_CENTER_X, CRotateDlg::IDC_CENTER_Y};
const std::vector<int> kTransIds = {CTransDlg::IDC_HORIZONTAL, CTransDlg::IDC_VERTICAL};
const std::vector<int> kRelativeIds = {
    CRelativePoint::IDC_BASE_X,  CRelativePoint::IDC_BASE_Y,  CRelativePoint::IDC_X_AXIS_ANGLE,
    CRelativePoint::IDC_Y_AXIS_ANGLE, CRelativePoint::IDC_DELTA_X, CRelativePoint::IDC_DELTA_Y,
    CRelativePoint::IDC_RESULT_X, CRelativePoint::IDC_RESULT_Y};
const std::vector<int> kCriticalIds = {CAddCriticalPoint::IDC_X, CAddCriticalPoint::IDC_Y,
                                       CAddCriticalPoint::IDC_STRAIN};

// Sets LC_ALL for the life of the object.
class LocaleScope {
 public:
  explicit LocaleScope(const char* name) {
    if (const char* old = std::getenv("LC_ALL")) m_saved = old, m_had = true;
    setenv("LC_ALL", name, 1);
  }
  ~LocaleScope() {
    if (m_had)
      setenv("LC_ALL", m_saved.c_str(), 1);
    else
      unsetenv("LC_ALL");
  }

 private:
  std::string m_saved;
  bool m_had = false;
};

// A dialog that stands for the plastic bending dialog: it only counts the points it is given.
class StandInDialog : public ModelessDialog, public PickReceiver {
 public:
  void DestroyWindow() override {}
  void pointPicked(Point<double>) override { ++points; }
  int points = 0;
};

class ShapeDialogs : public SectionViewTest {
 protected:
  void SetUp() override {
    SectionViewTest::SetUp();
    Hooks::reset();
  }
  void TearDown() override {
    Hooks::reset();
    SectionViewTest::TearDown();
  }
  std::string lastJournalLine() const { return lines(journals().back()).back(); }
  std::size_t journalLength() const { return lines(journals().back()).size(); }
  void pickShape(CShapeAnalysis* s) { PickRecordOf(*view, s); }
  // A construction point picked as a click picks it: the dialogs are told, then it joins the picks.
  void clickDot(double x, double y) {
    for (DspRecord* r : records(SectionRecord::kDot)) {
      const auto* dot = static_cast<const CDot*>(r->object);
      if (std::fabs(dot->location.x - x) < 1e-9 && std::fabs(dot->location.y - y) < 1e-9) {
        view->dotPicked(r);
        view->addPickList(r);
        return;
      }
    }
    ADD_FAILURE() << "no construction point at " << x << "," << y;
  }
  int picks() const { return view->COpenGLView::m_pickList.GetCount(); }
  static void expectBox(const CShapeAnalysis* s, double x0, double y0, double x1, double y1) {
    ASSERT_NE(s, nullptr);
    Point<double> lo, hi;
    s->extents(&lo, &hi, 1);
    EXPECT_NEAR(lo.x, x0, 1e-9);
    EXPECT_NEAR(lo.y, y0, 1e-9);
    EXPECT_NEAR(hi.x, x1, 1e-9);
    EXPECT_NEAR(hi.y, y1, 1e-9);
  }
  static std::vector<std::wstring> messages() {
    std::vector<std::wstring> out;
    for (const MessageBoxCall& m : Hooks::messageBoxes()) out.push_back(m.text.GetString());
    return out;
  }

  MemoryWindows windows;
};

// ---- the number conversions ----

TEST(ModelessDialogNumbers, RoundedAndFormattedDoublesUnderUsEnglish) {
  LocaleScope locale("en_US.UTF-8");
  Hooks::reset();
  CMemoryControls c;
  c.Add(1);
  double value = 0;
  bool allowEmpty = false;
  const auto rounded = [&](CDataExchange* pDX) { ModelessDialogLogic::DDX_RoundedDouble(pDX, 1, value, allowEmpty); };
  const struct {
    double value;
    const wchar_t* shown;
  } shows[] = {{-99999, L"undef"}, {2.6, L"3"}, {1234567, L"1,234,567"}, {-99999.3, L"undef"}, {0, L"0"}};
  for (const auto& s : shows) {
    value = s.value;
    ASSERT_TRUE(RunDataExchange(c, FALSE, rounded));
    EXPECT_EQ(c.GetText(1), CString(s.shown)) << s.value;
  }
  // What the box showed reads back.
  value = 0;
  c.SetText(1, L"undef");
  ASSERT_TRUE(RunDataExchange(c, TRUE, rounded));
  EXPECT_EQ(value, -99999.0);
  c.SetText(1, L"1,234,567");
  ASSERT_TRUE(RunDataExchange(c, TRUE, rounded));
  EXPECT_EQ(value, 1234567.0);
  EXPECT_EQ(c.GetText(1), CString(L"1234567"));
  // An empty box keeps the value unless it must be read.
  c.SetText(1, L"");
  ASSERT_TRUE(RunDataExchange(c, TRUE, rounded));
  EXPECT_EQ(value, 1234567.0);
  allowEmpty = true;
  EXPECT_FALSE(RunDataExchange(c, TRUE, rounded));
  EXPECT_EQ(value, 1234567.0);
  ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
  EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"Please enter a number."));

  // Through a format.
  value = 1.5;
  const auto formatted = [&](CDataExchange* pDX) {
    ModelessDialogLogic::DDX_FormattedDouble(pDX, 1, value, false, CString(L"%.4f"));
  };
  ASSERT_TRUE(RunDataExchange(c, FALSE, formatted));
  EXPECT_EQ(c.GetText(1), CString(L"1.5000"));
  c.SetText(1, L"");
  ASSERT_TRUE(RunDataExchange(c, TRUE, formatted));
  EXPECT_EQ(value, 1.5);
  c.SetText(1, L"-2.25");
  ASSERT_TRUE(RunDataExchange(c, TRUE, formatted));
  EXPECT_EQ(value, -2.25);
  Hooks::reset();
}

// ---- registration with the document the dialog was opened from ----

TEST_F(ShapeDialogs, ADialogClosesThroughItsOwnDocumentWhicheverIsActive) {
  openView();
  HeadlessSectionFrame frameB;
  SectionHost hostB;
  auto docB = std::make_unique<CXSectionAnalysisDoc>(&frameB);
  docB->OnNewDocument();
  auto viewB = std::make_unique<CThickSectionView>();
  viewB->setHost(&hostB);
  viewB->setDocument(docB.get());
  viewB->OnCreate();
  viewB->OnSize(0, 100, 100);
  docB->setActiveView(viewB.get());

  auto mirrorA = std::make_unique<CMirrorDlg>(*view);
  auto mirrorB = std::make_unique<CMirrorDlg>(*viewB);
  windows.give(*mirrorA, kMirrorIds);
  windows.give(*mirrorB, kMirrorIds);
  mirrorA->show();
  mirrorB->show();
  docB->MakeCurrent();  // B is the active document now
  ASSERT_TRUE(doc->IsModelessDialogOpen(mirrorA.get()));
  ASSERT_TRUE(docB->IsModelessDialogOpen(mirrorB.get()));

  EXPECT_NO_THROW(mirrorA->OnCancel());
  EXPECT_FALSE(doc->IsModelessDialogOpen(mirrorA.get()));
  EXPECT_TRUE(docB->IsModelessDialogOpen(mirrorB.get()));
  EXPECT_FALSE(docB->IsModelessDialogOpen(mirrorA.get()));
  EXPECT_EQ(windows.destroyed(), 1);

  // Document A closing all its dialogs destroys the open one once; the
  // dialog going later does not destroy or unregister it again.
  mirrorA->show();
  doc->CloseAllModelessDialogs();
  EXPECT_EQ(windows.destroyed(), 2);
  EXPECT_FALSE(doc->IsModelessDialogOpen(mirrorA.get()));
  EXPECT_NO_THROW(mirrorA->OnCancel());
  mirrorA.reset();
  EXPECT_EQ(windows.destroyed(), 2);
  EXPECT_TRUE(docB->IsModelessDialogOpen(mirrorB.get()));

  const ModelessDialog* gone = mirrorB.get();
  mirrorB.reset();  // unregistered on its way out
  EXPECT_EQ(windows.destroyed(), 3);
  EXPECT_FALSE(docB->IsModelessDialogOpen(const_cast<ModelessDialog*>(gone)));
  viewB.reset();
  docB.reset();
  doc->MakeCurrent();
}

// ---- mirror ----

TEST_F(ShapeDialogs, MirrorHandsTheViewTheNormalOfTheAxisAsOneUndoStep) {
  rectangle(L"a", 1, 0, 2, 1);
  openView();
  doc->ModelChanged();  // the state to go back to
  const struct {
    double dx, dy;
    const char* line;
    double box[4];
  } cases[] = {
      {1, 0, "xscn.MirrorShape \"a\", 0,0,0,1", {1, -1, 3, 0}},
      {0, 1, "xscn.MirrorShape \"a\", 0,0,-1,0", {-3, 0, -1, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    CMirrorDlg mirror(*view);
    windows.give(mirror, kMirrorIds);
    mirror.setOpening(false, 0, c.dx, c.dy, CString(L"unused"));
    mirror.show();
    EXPECT_EQ(windows.last().c.GetText(CMirrorDlg::IDC_DIR_X), CString(c.dx == 1 ? L"1" : L"0"));
    pickShape(model()->findShape(L"a"));
    windows.last().c.SetText(CMirrorDlg::IDC_POINT_X, L"0");
    windows.last().c.SetText(CMirrorDlg::IDC_POINT_Y, L"0");
    mirror.OnOK();
    EXPECT_EQ(lastJournalLine(), c.line);
    expectBox(model()->findShape(L"a"), c.box[0], c.box[1], c.box[2], c.box[3]);
    EXPECT_FALSE(mirror.isRegistered());
    // One undo step brings the rectangle back.
    doc->Undo();
    expectBox(model()->findShape(L"a"), 1, 0, 3, 1);
    view->RebuildAndRedraw();
  }
}

// ---- rotation ----

TEST_F(ShapeDialogs, RotateAllJournalsTheCentreBeforeTheAngle) {
  rectangle(L"a", 0, 0, 2, 1);
  openView();
  CRotateDlg rotate(*view);
  windows.give(rotate, kRotateIds);
  rotate.setOpening(true, true, CString());
  rotate.show();
  MemoryWindow& w = windows.last();
  w.c.SetText(CRotateDlg::IDC_CENTER_X, L"1");
  w.c.SetText(CRotateDlg::IDC_CENTER_Y, L"2");
  w.c.SetText(CRotateDlg::IDC_ANGLE, L"30");
  rotate.OnOK();
  EXPECT_EQ(lastJournalLine(), "xscn.RotateAll 1,2,30");
  EXPECT_FALSE(rotate.isRegistered());
  // The corner (0, 0) turned 30 degrees about (1, 2).
  const double a = 30 * M_PI / 180;
  const double x = 1 + (-1) * std::cos(a) - (-2) * std::sin(a);
  const double y = 2 + (-1) * std::sin(a) + (-2) * std::cos(a);
  Point<double> lo, hi;
  model()->findShape(L"a")->extents(&lo, &hi, 1);
  EXPECT_NEAR(lo.y, y, 1e-9);
  EXPECT_LE(lo.x, x + 1e-9);
}

TEST_F(ShapeDialogs, RotateSelectedIsRefusedWhileTheUnionIsOn) {
  rectangle(L"a", 0, 0, 2, 1);
  rectangle(L"b", 1, 0, 2, 1);
  openView();
  root()->Union(-1);
  view->RebuildAndRedraw();
  const std::size_t before = journalLength();
  CRotateDlg rotate(*view);
  windows.give(rotate, kRotateIds);
  rotate.setOpening(false, false, CString());
  rotate.show();
  windows.last().c.SetText(CRotateDlg::IDC_ANGLE, L"45");
  rotate.OnOK();
  ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
  EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"Turn off union before performing rotation"));
  EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"Transformations"));
  EXPECT_TRUE(rotate.isRegistered());
  EXPECT_TRUE(windows.last().shown);
  EXPECT_EQ(journalLength(), before);
}

// ---- translation ----

TEST_F(ShapeDialogs, TranslationTakesTwoPicksAndTakesThemBackOff) {
  CShapeAnalysis* a = rectangle(L"a", 0, 0, 2, 1);
  root()->addConstructionPoint(1, 1);
  root()->addConstructionPoint(4, 5);
  openView();
  CTransDlg trans(*view);
  windows.give(trans, kTransIds);
  trans.setOpening(false, false);
  trans.show();
  MemoryWindow& w = windows.last();
  pickShape(a);
  clickDot(1, 1);
  w.runPosted();
  // One pick changes no field.
  EXPECT_EQ(w.c.GetText(CTransDlg::IDC_HORIZONTAL), CString(L"0"));
  EXPECT_EQ(w.c.GetText(CTransDlg::IDC_VERTICAL), CString(L"0"));
  EXPECT_EQ(picks(), 2);
  clickDot(4, 5);
  EXPECT_EQ(picks(), 3);
  w.runPosted();
  EXPECT_EQ(w.c.GetText(CTransDlg::IDC_HORIZONTAL), CString(L"3"));
  EXPECT_EQ(w.c.GetText(CTransDlg::IDC_VERTICAL), CString(L"4"));
  EXPECT_EQ(picks(), 1);  // the shape stays picked
  EXPECT_FALSE(trans.firstPick().has_value());

  trans.OnOK();
  EXPECT_EQ(lastJournalLine(), "xscn.TranslateShape \"a\",3,4");
  expectBox(model()->findShape(L"a"), 3, 4, 5, 5);
  EXPECT_FALSE(trans.isRegistered());
  EXPECT_EQ(picks(), 0);
}

TEST_F(ShapeDialogs, TranslationOfTwoViewsKeepsTheirFirstPicksApart) {
  root()->addConstructionPoint(1, 1);
  openView();
  CTransDlg mine(*view);
  windows.give(mine, kTransIds);
  mine.show();
  clickDot(1, 1);
  ASSERT_TRUE(mine.firstPick().has_value());
  HeadlessSectionFrame frameB;
  SectionHost hostB;
  CXSectionAnalysisDoc docB(&frameB);
  docB.OnNewDocument();
  auto viewB = std::make_unique<CThickSectionView>();
  viewB->setHost(&hostB);
  viewB->setDocument(&docB);
  CTransDlg other(*viewB);
  EXPECT_FALSE(other.firstPick().has_value());
  other.pointPicked(Point<double>(7, 7, 0));
  EXPECT_EQ(mine.firstPick()->x, 1.0);  // not paired with the other view's pick
  doc->MakeCurrent();
}

TEST_F(ShapeDialogs, TypedTranslationNeedsNoPickAndAMeshStopsIt) {
  CShapeAnalysis* a = rectangle(L"a", 0, 0, 2, 1);
  openView();
  CTransDlg trans(*view);
  windows.give(trans, kTransIds);
  trans.setOpening(false, false);
  trans.show();
  windows.last().c.SetText(CTransDlg::IDC_HORIZONTAL, L"-1.5");
  windows.last().c.SetText(CTransDlg::IDC_VERTICAL, L"2");
  mesh(a);
  view->RebuildAndRedraw();
  pickShape(a);
  const std::size_t before = journalLength();
  trans.OnOK();
  EXPECT_EQ(messages(), std::vector<std::wstring>{L"Mesh must be deleted before a shape may be translated"});
  EXPECT_TRUE(Hooks::messageBoxes()[0].caption.IsEmpty());
  EXPECT_TRUE(trans.isRegistered());
  EXPECT_EQ(journalLength(), before);

  doc->DeleteMeshes();
  CShapeAnalysis* b = rectangle(L"b", 5, 5, 1, 1);
  view->RebuildAndRedraw();
  pickShape(b);
  trans.OnOK();
  EXPECT_EQ(lastJournalLine(), "xscn.TranslateShape \"b\",-1.5,2");
}

TEST_F(ShapeDialogs, TranslateAllJournalsThroughTheAutomationMethod) {
  rectangle(L"a", 0, 0, 2, 1);
  openView();
  CTransDlg trans(*view);
  windows.give(trans, kTransIds);
  trans.setOpening(false, true);
  trans.show();
  windows.last().c.SetText(CTransDlg::IDC_HORIZONTAL, L"2");
  windows.last().c.SetText(CTransDlg::IDC_VERTICAL, L"-1");
  trans.OnOK();
  EXPECT_EQ(lastJournalLine(), "xscn.TranslateAll 2,-1");
  expectBox(model()->findShape(L"a"), 2, -1, 4, 0);
}

// ---- relative point ----

TEST_F(ShapeDialogs, RelativePointAlongTurnedAxesIsAddedAndJournalled) {
  openView();
  view->EnsureRootSubSection();
  CRelativePoint relative(*view);
  windows.give(relative, kRelativeIds);
  relative.presetPoint(1, 1);
  relative.show();
  EXPECT_TRUE(relative.isRegistered());
  MemoryWindow& w = windows.last();
  EXPECT_EQ(w.c.GetText(CRelativePoint::IDC_BASE_X), CString(L"1"));
  w.c.SetText(CRelativePoint::IDC_DELTA_X, L"2");
  w.c.SetText(CRelativePoint::IDC_DELTA_Y, L"3");
  relative.OnCommand(CRelativePoint::IDC_CALCULATE);
  EXPECT_EQ(w.c.GetText(CRelativePoint::IDC_RESULT_X), CString(L"3"));
  EXPECT_EQ(w.c.GetText(CRelativePoint::IDC_RESULT_Y), CString(L"4"));

  relative.OnOK();
  EXPECT_EQ(lastJournalLine(), "xscn.AddPoint \"root\",3,4");
  ASSERT_EQ(root()->constructionPoints.size(), 1u);
  EXPECT_EQ(root()->constructionPoints[0]->location.x, 3.0);
  EXPECT_EQ(root()->constructionPoints[0]->location.y, 4.0);
  EXPECT_EQ(records(SectionRecord::kDot).size(), 1u);  // drawn at once
  EXPECT_TRUE(relative.isRegistered());               // Apply keeps it open

  w.c.SetText(CRelativePoint::IDC_X_AXIS_ANGLE, L"90");
  w.c.SetText(CRelativePoint::IDC_Y_AXIS_ANGLE, L"90");
  relative.OnCommand(CRelativePoint::IDC_CALCULATE);
  EXPECT_NEAR(relative.m_resultX, -2.0, 1e-12);
  EXPECT_NEAR(relative.m_resultY, 3.0, 1e-12);

  EXPECT_NO_THROW(relative.OnCancel());
  EXPECT_FALSE(relative.isRegistered());
  EXPECT_TRUE(Hooks::messageBoxes().empty());
}

TEST_F(ShapeDialogs, RelativePointCommandOpensItPresetWithTheLastPickedPoint) {
  root()->addConstructionPoint(1, 1);
  root()->addConstructionPoint(-2, 5);
  openView();
  SectionDialogFactory factory;
  CRelativePoint* made = nullptr;
  factory.registerMaker(SectionDialogKind::RelativePoint, [&](CThickSectionView& v) {
    auto d = std::make_unique<CRelativePoint>(v);
    windows.give(*d, kRelativeIds);
    made = d.get();
    return d;
  });
  view->setDialogFactory(&factory);
  clickDot(1, 1);
  ASSERT_TRUE(view->RunCommand(C::RelativePoint));
  ASSERT_NE(made, nullptr);
  EXPECT_TRUE(made->isRegistered());
  EXPECT_EQ(made->m_baseX, 1.0);
  EXPECT_EQ(made->m_baseY, 1.0);
  // A picked point fills the base point while it is open.
  clickDot(-2, 5);
  EXPECT_EQ(windows.last().c.GetText(CRelativePoint::IDC_BASE_X), CString(L"-2"));
  made->OnCancel();
  view->ClearPicks();
  // Nothing picked: the point the sub-section got last.
  ASSERT_TRUE(view->RunCommand(C::RelativePoint));
  EXPECT_EQ(made->m_baseX, -2.0);
  EXPECT_EQ(made->m_baseY, 5.0);
}

// ---- critical point ----

TEST_F(ShapeDialogs, CriticalPointTakesPicksAheadOfItsOpenerAndGivesTheSlotBack) {
  root()->addConstructionPoint(1, 2);
  openView();
  StandInDialog plastic;
  doc->RegisterModelessDialog(&plastic);
  view->m_plasticDialog = &plastic;
  ModelessDialog* heldBefore = view->m_shapeSelectionDialog;
  int refills = 0;
  CAddCriticalPoint critical(*view, root(), [&] { ++refills; });
  windows.give(critical, kCriticalIds);
  critical.show();
  EXPECT_EQ(view->m_shapeSelectionDialog, &critical);
  MemoryWindow& w = windows.last();

  clickDot(1, 2);
  EXPECT_EQ(w.c.GetText(CAddCriticalPoint::IDC_X), CString(L"1"));
  EXPECT_EQ(w.c.GetText(CAddCriticalPoint::IDC_Y), CString(L"2"));
  EXPECT_EQ(plastic.points, 0);

  const std::size_t before = journalLength();
  w.c.SetText(CAddCriticalPoint::IDC_STRAIN, L"1e-21");
  critical.OnOK();
  ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
  EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"Critical strain value may not be zero"));
  EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"Critical Points"));
  EXPECT_TRUE(root()->criticalPoints.empty());
  EXPECT_EQ(journalLength(), before);
  EXPECT_TRUE(critical.isRegistered());

  w.c.SetText(CAddCriticalPoint::IDC_STRAIN, L"-0.002");
  critical.OnOK();
  ASSERT_EQ(root()->criticalPoints.size(), 1u);
  const CriticalPoint* p = root()->criticalPoints[0];
  EXPECT_EQ(p->location.x, 1.0);
  EXPECT_EQ(p->location.y, 2.0);
  EXPECT_EQ(p->allowable, -0.002);
  EXPECT_EQ(p->actual, 999.0);
  EXPECT_EQ(lastJournalLine(), "xscn.AddCriticalPoint \"root\",1,2,-0.002");
  EXPECT_EQ(refills, 1);
  EXPECT_EQ(view->m_shapeSelectionDialog, heldBefore);
  EXPECT_FALSE(critical.isRegistered());
  // The opener has the points again.
  view->ClearPicks();
  clickDot(1, 2);
  EXPECT_EQ(plastic.points, 1);
  view->m_plasticDialog = nullptr;
  doc->UnregisterModelessDialog(&plastic);
}

TEST_F(ShapeDialogs, CriticalPointCancelGivesTheSlotBack) {
  openView();
  CAddCriticalPoint critical(*view, root());
  windows.give(critical, kCriticalIds);
  critical.show();
  critical.OnCancel();
  EXPECT_EQ(view->m_shapeSelectionDialog, nullptr);
  EXPECT_FALSE(critical.isRegistered());
}

// ---- mesh parameters and local size control ----

TEST(MeshParameterRules, NodeCountToleranceAndElementType) {
  Hooks::reset();
  CShapeAnalysisMeshDlg mesh;
  CMemoryControls c;
  for (int id : {int(CShapeAnalysisMeshDlg::IDC_NODES), int(CShapeAnalysisMeshDlg::IDC_THICKNESS),
                 int(CShapeAnalysisMeshDlg::IDC_TOLERANCE), int(CShapeAnalysisMeshDlg::IDC_LAST_VALUE)})
    c.Add(id);
  c.AddCombo(CShapeAnalysisMeshDlg::IDC_ELEMENT_TYPE, {CString(L"3 Point Triangle")}, false);
  const auto exchange = [&](CDataExchange* pDX) { mesh.DoDataExchange(pDX); };
  ASSERT_TRUE(RunDataExchange(c, FALSE, exchange));
  EXPECT_EQ(c.GetText(CShapeAnalysisMeshDlg::IDC_NODES), CString(L"100"));
  EXPECT_EQ(c.GetText(CShapeAnalysisMeshDlg::IDC_TOLERANCE), CString(L"0.001"));
  EXPECT_EQ(c.GetCurSel(CShapeAnalysisMeshDlg::IDC_ELEMENT_TYPE), 0);

  const struct {
    const wchar_t* nodes;
    const wchar_t* tolerance;
    bool read;
    bool accepted;
    const wchar_t* message;
  } cases[] = {
      {L"4000", L"0.001", true, true, nullptr},
      {L"4001", L"0.001", true, false, L"Number of nodes may not exceed 4000"},
      {L"3", L"0.001", false, false, L"Please enter an integer between 4 and 100000."},
      {L"4", L"0.001", true, true, nullptr},
      {L"100", L"0.00001", false, false, L"Please enter a number between 0.0001 and 100."},
      {L"100", L"0.0001", true, true, nullptr},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(std::wstring(k.nodes) + L" " + k.tolerance);
    Hooks::clearRecords();
    c.SetText(CShapeAnalysisMeshDlg::IDC_NODES, k.nodes);
    c.SetText(CShapeAnalysisMeshDlg::IDC_TOLERANCE, k.tolerance);
    const bool read = RunDataExchange(c, TRUE, exchange) != FALSE;
    EXPECT_EQ(read, k.read);
    EXPECT_EQ(read && mesh.AcceptNodeCount(), k.accepted);
    if (k.message == nullptr) {
      EXPECT_TRUE(Hooks::messageBoxes().empty());
      continue;
    }
    ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
    EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(k.message));
    if (k.read) {
      EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"Mesh Creation"));
      EXPECT_EQ(Hooks::messageBoxes()[0].type & MB_ICONMASK, MB_ICONSTOP);
    }
  }
  EXPECT_EQ(mesh.m_elementType, 0);
  EXPECT_EQ(mesh.m_lastValue, -1);
  Hooks::reset();
}

TEST(LocalControlRules, TheRadiusMustBeEnteredBeforeOk) {
  Hooks::reset();
  CLocalControlDlg local;
  CMemoryControls c;
  c.Add(CLocalControlDlg::IDC_SIZE);
  c.Add(CLocalControlDlg::IDC_RADIUS);
  const auto exchange = [&](CDataExchange* pDX) { local.DoDataExchange(pDX); };
  ASSERT_TRUE(RunDataExchange(c, FALSE, exchange));
  EXPECT_EQ(c.GetText(CLocalControlDlg::IDC_SIZE), CString(L"0.2"));
  EXPECT_FALSE(RunDataExchange(c, TRUE, exchange));
  ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
  EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"Please enter a number between 0.001 and 1000."));
  EXPECT_EQ(c.Focused(), CLocalControlDlg::IDC_RADIUS);
  c.SetText(CLocalControlDlg::IDC_RADIUS, L"0.5");
  ASSERT_TRUE(RunDataExchange(c, TRUE, exchange));
  EXPECT_EQ(local.m_radius, 0.5);
  EXPECT_EQ(local.m_size, 0.2);
  Hooks::reset();
}

// ---- replay ----

TEST_F(ShapeDialogs, WhatTheDialogsJournalReplaysToTheSameSection) {
  openView();
  view->EnsureRootSubSection();
  CRelativePoint relative(*view);
  windows.give(relative, kRelativeIds);
  relative.presetPoint(1, 1);
  relative.show();
  windows.last().c.SetText(CRelativePoint::IDC_DELTA_X, L"2");
  windows.last().c.SetText(CRelativePoint::IDC_DELTA_Y, L"3");
  relative.OnOK();
  CAddCriticalPoint critical(*view, root());
  windows.give(critical, kCriticalIds);
  critical.show();
  windows.last().c.SetText(CAddCriticalPoint::IDC_X, L"3");
  windows.last().c.SetText(CAddCriticalPoint::IDC_Y, L"4");
  windows.last().c.SetText(CAddCriticalPoint::IDC_STRAIN, L"0.004");
  critical.OnOK();
  CRotateDlg rotate(*view);
  windows.give(rotate, kRotateIds);
  rotate.setOpening(false, true, CString());
  rotate.show();
  windows.last().c.SetText(CRotateDlg::IDC_ANGLE, L"90");
  rotate.OnOK();
  ASSERT_EQ(root()->constructionPoints.size(), 1u);
  const Point<double> point = root()->constructionPoints[0]->location;

  std::ostringstream macro;
  for (const std::string& line : lines(journals().back())) macro << line << "\n";
  std::istringstream replay(macro.str());
  std::ostringstream out;
  std::size_t dots = 0, criticals = 0;
  Point<double> replayed;
  const JournalRunResult result = RunMacroHeadless(replay, out, nullptr, [&](CXSectionAnalysisDoc& d) {
    CSubSection* r = d.model()->rootSubSection();
    if (r == nullptr) return;
    dots = r->constructionPoints.size();
    criticals = r->criticalPoints.size();
    if (dots > 0) replayed = r->constructionPoints[0]->location;
  });
  ASSERT_TRUE(result.ok) << result.lineNumber << ": " << result.line << ": " << result.description;
  EXPECT_EQ(dots, 1u);
  EXPECT_EQ(criticals, 1u);
  EXPECT_NEAR(replayed.x, point.x, 1e-9);
  EXPECT_NEAR(replayed.y, point.y, 1e-9);
  doc->MakeCurrent();
}

}  // namespace
