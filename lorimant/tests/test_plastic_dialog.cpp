// The plastic bending dialog's rules and the sub-section's material
// queries, on the meshed 4 x 2 rectangle (corners (0,0) and (4,2), US
// units) of one complete metal. Its windows are held in memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "analysis/geometry/Tolerance.h"
#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CLog.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/CResultLocation.h"
#include "analysis/model/CSectionForces.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/analyses/PlasticBendingLogic.h"
#include "lorimant/automation/JournalInterpreter.h"
#include "lorimant/shapes/CAddCriticalPoint.h"
#include "test_bending_dialog_support.h"
#include "test_view_support.h"

namespace plastic_dialog_test {

using P = PlasticBendingLogic;
using bending_dialog_test::buildSection;
using bending_dialog_test::MemoryDialogWindow;

constexpr const wchar_t* kPassed =
    L"PASSED.  Verification checks passed: \n Axial forces balance, \n Neutral axis matches input angle \n "
    L"Max strain matches max allowable \n critical points checked";
constexpr const wchar_t* kNoYields =
    L"Yield and/or ultimate values are not defined for all materials used.  Cannot perform analysis";
constexpr const wchar_t* kNoRambergOsgood =
    L"Not all the parameters for the Ramberg-Osgood equations are defined.  Cannot perform analysis";
constexpr const wchar_t* kNoName = L"The name for the load condition is not defined";

class PlasticDialog : public view_test::SectionViewTest {
 protected:
  void SetUp() override {
    SectionViewTest::SetUp();
    units = gUnitSystem;
    openView();
    doc->MakeCurrent();
    view->EnsureRootSubSection();
    buildSection(*doc);
    metal()->maxTensileStrain = metal()->maxCompressionStrain = 0.01;
    view->RebuildAndRedraw();
  }
  void TearDown() override {
    dialogs.clear();
    SectionViewTest::TearDown();
    gUnitSystem = units;
  }
  CSubSection* root() { return doc->model()->rootSubSection(); }
  std::shared_ptr<CMetal> metal() { return doc->model()->materials.GetHead(); }

  P& open() {
    dialogs.push_back(std::make_unique<P>(*view));
    P& d = *dialogs.back();
    d.setSubSection(root());
    d.setWindowMaker([this](ModelessDialogLogic& logic) -> DialogWindow* {
      windows.push_back(std::make_unique<MemoryDialogWindow>(logic, std::initializer_list<int>{}));
      auto& c = windows.back()->c;
      for (int id = P::IDC_LOAD_NAME; id <= P::IDC_REFRESH; ++id)
        if (id != P::IDC_PLOT) c.Add(id);
      c.AddCombo(P::IDC_PLOT, {CString(L"Strain"), CString(L"Stress")}, false);
      return windows.back().get();
    });
    d.setAddPointPreparer([this](CAddCriticalPoint& add) {
      add.setWindowMaker([this](ModelessDialogLogic& logic) -> DialogWindow* {
        windows.push_back(std::make_unique<MemoryDialogWindow>(
            logic, std::initializer_list<int>{CAddCriticalPoint::IDC_X, CAddCriticalPoint::IDC_Y,
                                              CAddCriticalPoint::IDC_STRAIN}));
        return windows.back().get();
      });
    });
    view->m_plasticDialog = &d;
    d.show();
    return d;
  }
  CMemoryControls& controls(ModelessDialogLogic& d) { return static_cast<MemoryDialogWindow*>(d.window())->c; }
  void solve(P& d, const wchar_t* name, const wchar_t* angle) {
    controls(d).SetText(P::IDC_LOAD_NAME, CString(name));
    controls(d).SetText(P::IDC_ANGLE, CString(angle));
    Hooks::clearRecords();
    d.OnCommand(P::IDC_SOLVE);
  }
  std::vector<std::string> journal() const { return lines(doc->journal()->path()); }
  std::vector<std::string> xscnLines() const {
    std::vector<std::string> out;
    for (const std::string& line : journal())
      if (line.rfind("xscn.", 0) == 0) out.push_back(line);
    return out;
  }
  static std::vector<std::pair<CString, CString>> messages() {
    std::vector<std::pair<CString, CString>> out;
    for (const MessageBoxCall& m : Hooks::messageBoxes()) out.emplace_back(m.text, m.caption);
    return out;
  }

  std::vector<std::unique_ptr<MemoryDialogWindow>> windows;
  std::vector<std::unique_ptr<P>> dialogs;
  EUnitSystem units = SI;
};

TEST_F(PlasticDialog, MaterialQueriesFollowTheirRules) {
  CSubSection& sub = *root();
  CMetal& m = *metal();
  EXPECT_TRUE(sub.isUltimateDefined());
  EXPECT_TRUE(sub.isRambergOsgoodParametersDefined());
  EXPECT_TRUE(sub.isTensionCompressionYieldsUlimatesDefined());
  // A hole without a material changes neither query (it stays, after the
  // plate, for the checks below).
  auto* hole = new CShapeAnalysis(doc->model());
  CString n(L"hole");
  hole->sector(root(), doc->model(), n, 1, 0.5, 2, 1, 0, 90, 90, qhtShapeRectangle, 0, 1, 0.0, true);
  EXPECT_TRUE(hole->isNegative());
  EXPECT_TRUE(sub.isUltimateDefined());
  EXPECT_TRUE(sub.isRambergOsgoodParametersDefined());

  const double fcu = m.Fcu_L;
  m.Fcu_L = kNoMaterialValue;
  EXPECT_FALSE(sub.isUltimateDefined());
  m.Fcu_L = fcu;
  m.nYield[2] = 0.0;
  EXPECT_FALSE(sub.isRambergOsgoodParametersDefined());
  m.nYield[2] = 10.0;
  m.nYield[1] = 0.0;  // an LT case is not evaluated by the solutions
  EXPECT_TRUE(sub.isRambergOsgoodParametersDefined());
  m.Fty_L = -99999;
  EXPECT_FALSE(sub.isTensionLAllowablesDefined());
  EXPECT_TRUE(sub.isCompressionLAllowablesDefined());
  EXPECT_FALSE(sub.isTensionCompressionYieldsUlimatesDefined());
}

// A picked point fills the line-plot end whose box has the focus; the
// other end keeps what was typed into it.
TEST_F(PlasticDialog, PickedPointsFillOnlyTheFocusedEnd) {
  P& d = open();
  controls(d).SetText(P::IDC_X2, CString(L"2"));
  controls(d).SetText(P::IDC_Y2, CString(L"1.25"));
  d.boxFocused(P::IDC_Y1);
  EXPECT_EQ(controls(d).GetText(P::IDC_Y1), CString());
  d.pointPicked(Point<double>(0.5, 0.75, 0));
  EXPECT_EQ(controls(d).GetText(P::IDC_X1), CString(L"0.5000"));
  EXPECT_EQ(controls(d).GetText(P::IDC_Y1), CString(L"0.7500"));
  EXPECT_EQ(controls(d).GetText(P::IDC_X2), CString(L"2"));
  EXPECT_EQ(controls(d).GetText(P::IDC_Y2), CString(L"1.25"));
  // Not waiting any more: another pick changes nothing.
  d.pointPicked(Point<double>(9, 9, 0));
  EXPECT_EQ(controls(d).GetText(P::IDC_X1), CString(L"0.5000"));
}

TEST_F(PlasticDialog, StartUpSetsPickModePlotAndLists) {
  Point<double> at(1.0, 2.0, 0.0);
  root()->addCriticalPoint(at, 0.002);
  P& d = open();
  EXPECT_EQ(d.caption(), CString(L"Plastic Bending About Given Neutral Axis Angle"));
  EXPECT_EQ(view->m_pickMode, 3);
  EXPECT_EQ(controls(d).GetCurSel(P::IDC_PLOT), 0);
  EXPECT_STREQ(P::criticalHeadings()[P::kCpAllowable], L"Strain Allowable");
  EXPECT_EQ(P::criticalWidths()[0], 40);
  EXPECT_STREQ(P::columnHeadings()[P::kStrain], L"Strain (1e-3)");
  ASSERT_EQ(d.criticalRows().size(), 1u);
  const P::CriticalRow expected{CString(L"0"), CString(L"1.000"), CString(L"2.000"), CString(L"0.002000"),
                                CString(L"undefined")};
  EXPECT_EQ(d.criticalRows()[0], expected);
}

TEST_F(PlasticDialog, RefusalsComeInOrderAndLeaveNoTrace) {
  struct Case {
    const char* what;
    std::function<void(CMetal&)> spoil;
    const wchar_t* message;
  };
  const Case cases[] = {
      {"no Fcu", [](CMetal& m) { m.Fcu_L = kNoMaterialValue; m.nYield[0] = 0.0; }, kNoYields},
      {"nYield 0", [](CMetal& m) { m.nYield[0] = 0.0; }, kNoRambergOsgood},
      {"complete", [](CMetal&) {}, kNoName},
  };
  for (const Case& c : cases) {
    c.spoil(*metal());
    P& d = open();
    const size_t before = xscnLines().size();
    solve(d, L"", L"0");
    ASSERT_EQ(messages().size(), 1u) << c.what;
    EXPECT_EQ(messages()[0].first, CString(c.message)) << c.what;
    EXPECT_EQ(messages()[0].second, CString(L"Plastic Bending Analysis")) << c.what;
    EXPECT_EQ(xscnLines().size(), before) << c.what;
    EXPECT_TRUE(root()->loadConditions.empty()) << c.what;
    EXPECT_FALSE(d.solved());
    metal()->Fcu_L = 70000;
    metal()->nYield = {10, 10, 10, 10};
  }
}

TEST_F(PlasticDialog, SolveJournalsShowsResultsAndPasses) {
  P& d = open();
  solve(d, L"LC2", L"0");
  ASSERT_TRUE(d.solved());
  ASSERT_FALSE(messages().empty());
  EXPECT_EQ(messages().back().first, CString(kPassed));
  EXPECT_EQ(messages().back().second, CString(L"VERIFICATION"));
  EXPECT_EQ(xscnLines().back(), "xscn.BruhnPlasticBendingAnalysis \"root\",\"LC2\",0");
  // Symmetric about y = 1: the neutral axis through the centroid, no force,
  // a positive moment about it, equal and opposite extremes.
  const P::Results& r = d.results();
  EXPECT_NEAR(r.naY, 1.0, 0.01);
  EXPECT_LT(angleError(r.naAngle, 0.0), 0.01);
  EXPECT_LT(std::fabs(r.axial), 0.1);
  EXPECT_NE(r.momentNA, 0.0);
  EXPECT_NEAR(r.maxStress, -r.minStress, 1e-3 * std::fabs(r.maxStress));
  // With the extreme fibres strained past yield, the moment lies between
  // the elastic one at yield, Fty b h^2 / 6 = 160000, and the fully plastic
  // one at ultimate, Ftu b h^2 / 4 = 280000.
  EXPECT_GT(std::fabs(r.momentNA), 160000.0);
  EXPECT_LT(std::fabs(r.momentNA), 280000.0);
  CMemoryControls& w = controls(d);
  const std::pair<int, CString> boxes[] = {{P::IDC_NA_ANGLE, L"%.4f"}, {P::IDC_NA_Y, L"%.4f"},
                                           {P::IDC_MAX_STRAIN, L"%.4e"}};
  const double values[] = {r.naAngle, r.naY, r.maxStrain};
  for (size_t i = 0; i < 3; ++i) {
    CString text;
    text.Format(boxes[i].second, values[i]);
    EXPECT_EQ(w.GetText(boxes[i].first), text) << boxes[i].first;
  }
  EXPECT_EQ(root()->resultKind, 4);

  solve(d, L"LC3", L"30");
  EXPECT_EQ(xscnLines().back(), "xscn.BruhnPlasticBendingAnalysis \"root\",\"LC3\",30");
}

TEST_F(PlasticDialog, QuotesInTheNameAreDoubledInTheJournal) {
  P& d = open();
  solve(d, L"say \"hi\"", L"0");
  EXPECT_EQ(xscnLines().back(), "xscn.BruhnPlasticBendingAnalysis \"root\",\"say \"\"hi\"\"\",0");
}

TEST_F(PlasticDialog, CriticalPointsAreAddedShownAndCleared) {
  P& d = open();
  d.OnCommand(P::IDC_ADD_CRITICAL);
  CAddCriticalPoint* add = d.addCriticalPointDialog();
  ASSERT_NE(add, nullptr);
  EXPECT_EQ(view->m_shapeSelectionDialog, add);
  CMemoryControls& a = controls(*add);
  a.SetText(CAddCriticalPoint::IDC_X, CString(L"3.5"));
  a.SetText(CAddCriticalPoint::IDC_Y, CString(L"2"));
  a.SetText(CAddCriticalPoint::IDC_STRAIN, CString(L"0.002"));
  add->OnOK();
  ASSERT_EQ(d.criticalRows().size(), 1u);
  EXPECT_EQ(d.criticalRows()[0][P::kCpAllowable], CString(L"0.002000"));
  EXPECT_EQ(d.criticalRows()[0][P::kCpActual], CString(L"undefined"));
  EXPECT_EQ(d.criticalRows()[0][P::kCpX], CString(L"3.500"));

  d.OnCommand(P::IDC_CLEAR);
  EXPECT_EQ(xscnLines().back(), "xscn.ClearCriticalPoints \"root\"");
  EXPECT_TRUE(d.criticalRows().empty());
  EXPECT_TRUE(root()->criticalPoints.empty());
}

TEST_F(PlasticDialog, PlotComboSetsTheDisplayAndJournals) {
  P& d = open();
  solve(d, L"LC2", L"0");
  controls(d).SetCurSel(P::IDC_PLOT, 1);
  d.OnCommand(P::IDC_PLOT);
  EXPECT_EQ(xscnLines().back(), "xscn.PlotResult QHT_STRESSZZ");
  EXPECT_EQ(root()->resultKind, 3);
  controls(d).SetCurSel(P::IDC_PLOT, 0);
  d.OnCommand(P::IDC_PLOT);
  EXPECT_EQ(xscnLines().back(), "xscn.PlotResult QHT_STRAINZZ");
  EXPECT_EQ(root()->resultKind, 4);

  root()->getShapesRecursive()->GetHead()->material(nullptr);
  Hooks::clearRecords();
  const size_t before = xscnLines().size();
  d.OnCommand(P::IDC_PLOT);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].first, CString(L"Materials not defined for all section objects"));
  EXPECT_EQ(xscnLines().size(), before);
}

TEST_F(PlasticDialog, AnOutsideLocationWarnsOncePerRefreshAndStaysListed) {
  P& d = open();
  solve(d, L"LC2", L"0");
  const size_t held = root()->resultLocations.size();
  auto* outside = new CResultLocation;
  outside->location = Point<double>(10.0, 10.0, 0.0);
  outside->label = L"2";
  root()->resultLocations.push_back(outside);
  for (int refresh = 0; refresh < 2; ++refresh) {
    Hooks::clearRecords();
    d.OnCommand(P::IDC_REFRESH);
    const auto said = messages();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0].first, CString(L"Warning: 2 at (10,10) is outside of any object of the subsection"));
    EXPECT_EQ(said[0].second, CString(L"Result Locations"));
    ASSERT_EQ(d.rows().size(), held + 1);
    EXPECT_EQ(d.rows().back().cells[P::kX], CString(L"10.000"));
  }
}

TEST_F(PlasticDialog, DeleteSelectedSparesTheFirstTwoRows) {
  P& d = open();
  solve(d, L"LC2", L"0");
  root()->addResultLocation(1.0, 1.0, true);
  d.OnCommand(P::IDC_REFRESH);
  const size_t count = d.rows().size();
  ASSERT_GE(count, 3u);
  CResultLocation* last = d.rows().back().location;
  for (size_t i = 0; i < count; ++i) d.selectRow(static_cast<int>(i), true);
  d.OnCommand(P::IDC_DELETE);
  EXPECT_EQ(d.rows().size(), 2u);
  const auto& held = root()->resultLocations;
  EXPECT_EQ(std::find(held.begin(), held.end(), last), held.end());
}

TEST_F(PlasticDialog, FailedPropertiesStopTheSolveWithoutJournal) {
  // The shape taken out of the sub-section, the mesh left.
  CShapeAnalysis* shape = root()->getShapesRecursive()->GetHead();
  root()->removeShape(shape);
  P& d = open();
  const size_t before = xscnLines().size();
  solve(d, L"LC2", L"0");
  EXPECT_EQ(xscnLines().size(), before);
  EXPECT_TRUE(root()->loadConditions.empty());
  EXPECT_FALSE(d.solved());
  root()->addChildShape(shape);
}

TEST_F(PlasticDialog, ClosingResetsTheViewAndClosesTheAddDialog) {
  P& d = open();
  solve(d, L"LC2", L"0");
  d.OnCommand(P::IDC_ADD_CRITICAL);
  ASSERT_NE(d.addCriticalPointDialog(), nullptr);
  d.OnCancel();
  EXPECT_EQ(root()->resultKind, 0);
  EXPECT_EQ(view->m_plasticDialog, nullptr);
  EXPECT_EQ(view->m_pickMode, 1);
  EXPECT_EQ(d.addCriticalPointDialog(), nullptr);
}

TEST_F(PlasticDialog, TheJournalReplaysToTheSameMoment) {
  P& d = open();
  solve(d, L"LC1", L"0");
  controls(d).SetCurSel(P::IDC_PLOT, 1);
  d.OnCommand(P::IDC_PLOT);
  d.OnCommand(P::IDC_CLEAR);
  solve(d, L"LC2", L"30");
  const double moment = d.results().momentNA;
  std::ostringstream macro;
  // The dialog's lines; the new document's own start is left out.
  for (const std::string& line : xscnLines())
    if (line != "xscn.ClearAll") macro << line << "\n";

  CXSectionAnalysisDoc other(&frame);
  other.OnNewDocument();
  auto otherView = CThickSectionView::createFor(other);
  otherView->EnsureRootSubSection();
  buildSection(other);
  other.model()->materials.GetHead()->maxTensileStrain = 0.01;
  other.model()->materials.GetHead()->maxCompressionStrain = 0.01;
  std::istringstream in(macro.str());
  std::ostringstream out;
  JournalInterpreter interpreter(DocumentAutomationObject(other), out);
  const JournalRunResult result = interpreter.Run(in);
  ASSERT_TRUE(result.ok) << result.line << ": " << result.description << "\n" << macro.str();
  const auto lc = other.model()->rootSubSection()->curAppLC();
  ASSERT_TRUE(lc && lc->scnForces());
  EXPECT_EQ(lc->name(), CString(L"LC2"));
  EXPECT_DOUBLE_EQ(lc->scnForces()->resultantNeutralAxisMoment, moment);
  otherView.reset();
}

}  // namespace plastic_dialog_test
