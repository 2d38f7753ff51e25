// The bending dialog's rules on a meshed 4 x 2 rectangle (corners (0,0) and
// (4,2), US units): a moment Mx of 1000 gives M c / I = 1000 x 1 / (8/3) =
// 375 at the top and bottom fibres, the neutral axis through the centroid
// (2, 1) at 0 degrees. Its window is held in memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <cmath>
#include <sstream>

#include "analysis/model/CLog.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/CResultLocation.h"
#include "analysis/model/CSectionForces.h"
#include "analysis/model/CLoadCondition.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/analyses/BendingDialogLogic.h"
#include "lorimant/automation/AutomationFrame.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/automation/JournalInterpreter.h"
#include "lorimant/view/SectionViewCommands.h"
#include "test_bending_dialog_support.h"
#include "test_view_support.h"

namespace bending_dialog_test {

using B = BendingDialogLogic;

class BendingDialog : public view_test::SectionViewTest {
 protected:
  void SetUp() override {
    SectionViewTest::SetUp();
    units = gUnitSystem;
    openView();
    doc->MakeCurrent();
    view->EnsureRootSubSection();
    buildSection(*doc);
    view->RebuildAndRedraw();
  }
  void TearDown() override {
    dialogs.clear();
    SectionViewTest::TearDown();
    gUnitSystem = units;
  }

  // An open dialog of that type with its window in memory.
  B& open(int type) {
    dialogs.push_back(std::make_unique<B>(*view, type));
    B& d = *dialogs.back();
    d.setWindowMaker([this](ModelessDialogLogic& logic) -> DialogWindow* {
      windows.push_back(std::make_unique<MemoryDialogWindow>(
          logic, B::IDC_LOAD_NAME, B::IDC_SHEAR,
          MemoryDialogWindow::Combos{{B::IDC_GRAIN, {CString(L"L")}},
                                     {B::IDC_PLOT, {CString(L"Stress"), CString(L"Strain")}}}));
      return windows.back().get();
    });
    d.show();
    return d;
  }
  CMemoryControls& controls(B& d) { return static_cast<MemoryDialogWindow*>(d.window())->c; }
  // Fills the name and the three inputs and presses APPLY.
  void apply(B& d, const wchar_t* name, const wchar_t* a, const wchar_t* b, const wchar_t* c) {
    CMemoryControls& w = controls(d);
    w.SetText(B::IDC_LOAD_NAME, CString(name));
    w.SetText(B::IDC_INPUT1, CString(a));
    w.SetText(B::IDC_INPUT2, CString(b));
    w.SetText(B::IDC_INPUT3, CString(c));
    Hooks::clearRecords();
    d.OnCommand(B::IDC_APPLY);
  }
  std::vector<std::string> journal() const { return lines(doc->journal()->path()); }
  bool journalled(const std::string& line) const {
    const auto all = journal();
    return std::find(all.begin(), all.end(), line) != all.end();
  }
  // The texts of the message boxes since the last clear, with their captions.
  static std::vector<std::pair<CString, CString>> messages() {
    std::vector<std::pair<CString, CString>> out;
    for (const MessageBoxCall& m : Hooks::messageBoxes()) out.emplace_back(m.text, m.caption);
    return out;
  }
  static bool said(const wchar_t* text, const wchar_t* caption) {
    for (const auto& [t, c] : messages())
      if (t == CString(text) && c == CString(caption)) return true;
    return false;
  }

  // Runs the journal's lines that start with one of prefixes on a new
  // document of the same section; check looks at it before it goes.
  void replay(std::initializer_list<const char*> prefixes, const std::function<void(CXSectionAnalysisDoc&)>& check) {
    std::ostringstream macro;
    for (const std::string& line : journal())
      for (const char* prefix : prefixes)
        if (line.rfind(prefix, 0) == 0) macro << line << "\n";
    CXSectionAnalysisDoc other(&frame);
    other.OnNewDocument();
    auto otherView = CThickSectionView::createFor(other);
    otherView->EnsureRootSubSection();
    buildSection(other);
    std::istringstream in(macro.str());
    std::ostringstream out;
    JournalInterpreter interpreter(DocumentAutomationObject(other), out);
    const JournalRunResult result = interpreter.Run(in);
    EXPECT_TRUE(result.ok) << result.line << ": " << result.description;
    if (result.ok) check(other);
    otherView.reset();
    doc->MakeCurrent();
  }

  std::vector<std::unique_ptr<MemoryDialogWindow>> windows;
  std::vector<std::unique_ptr<B>> dialogs;
  EUnitSystem units = SI;
};

TEST_F(BendingDialog, StartUpSetsLabelsModesAndDisablesResultControls) {
  B& u = open(0);
  EXPECT_EQ(u.caption(), CString(L"Unrestrained Bending"));
  CMemoryControls& w = controls(u);
  EXPECT_EQ(w.GetText(B::IDC_LABEL1), CString(L"Axial Force (lb)"));
  EXPECT_EQ(w.GetText(B::IDC_LABEL2), CString(L"Moment About X (lb-in)"));
  EXPECT_EQ(w.GetText(B::IDC_LABEL3), CString(L"Moment About Y (lb-in)"));
  EXPECT_EQ(w.GetText(B::IDC_RADIUS_LABEL), CString(L"Radius (in)"));
  EXPECT_EQ(w.GetText(B::IDC_UNITS), CString(L"UNITS: moments lb-in, stress psi, force lb"));
  EXPECT_EQ(w.GetCurSel(B::IDC_GRAIN), 0);
  for (int id : {B::IDC_SHEAR, B::IDC_PLOT, B::IDC_REFRESH}) EXPECT_FALSE(u.controlEnabled(id)) << id;
  EXPECT_EQ(view->m_pickMode, 2);
  EXPECT_EQ(root()->resultKind, 0);
  EXPECT_EQ(view->m_unrestrainedDialog, static_cast<ModelessDialog*>(&u));
  EXPECT_EQ(view->m_bendingDialog, static_cast<ModelessDialog*>(&u));
  EXPECT_EQ(B::columnHeadings()[B::kStress], CString(L"Stress (psi)"));
  EXPECT_EQ(B::columnHeadings()[B::kFtu], CString(L"Ftu_l (psi)"));

  B& r = open(1);
  EXPECT_EQ(r.caption(), CString(L"Restrained Bending"));
  EXPECT_EQ(controls(r).GetText(B::IDC_LABEL2), CString(L"Angle (deg)"));
  EXPECT_EQ(controls(r).GetText(B::IDC_LABEL3), CString(L"Moment About NA (lb-in)"));

  // SI texts.
  gUnitSystem = SI;
  B& s = open(1);
  EXPECT_EQ(controls(s).GetText(B::IDC_LABEL1), CString(L"Axial Force (N)"));
  EXPECT_EQ(controls(s).GetText(B::IDC_LABEL3), CString(L"Moment About NA (N-cm)"));
  EXPECT_EQ(controls(s).GetText(B::IDC_UNITS), CString(L"UNITS: moments N-cm, stress KPa, force N"));
  EXPECT_EQ(B::columnHeadings()[B::kX], CString(L"X (cm)"));
  gUnitSystem = USCS;
}

TEST_F(BendingDialog, UnrestrainedMomentGivesTheClosedFormAndPasses) {
  B& d = open(0);
  apply(d, L"LC1", L"0", L"1000", L"0");
  EXPECT_NEAR(d.results().maxStress, 375.0, 0.375);
  EXPECT_NEAR(d.results().minStress, -375.0, 0.375);
  CMemoryControls& w = controls(d);
  EXPECT_EQ(w.GetText(B::IDC_NA_ANGLE), CString(L"0.0000"));
  EXPECT_EQ(w.GetText(B::IDC_NA_Y), CString(L"1.0000"));
  EXPECT_TRUE(said(L"PASSED.  Verification checks passed", L"VERIFICATION"));
  EXPECT_TRUE(journalled("xscn.ApplyUnrestrainedBendingForces \"root\",\"LC1\",0,1000,0,1"));
  for (int id : {B::IDC_SHEAR, B::IDC_PLOT, B::IDC_REFRESH}) EXPECT_TRUE(d.controlEnabled(id)) << id;
  EXPECT_EQ(root()->resultKind, 3);  // stress contours
  ASSERT_EQ(d.rows().size(), 2u);
  EXPECT_EQ(d.rows()[0].cells[B::kName], CString(L"Min Stress Location"));
  EXPECT_EQ(d.rows()[1].cells[B::kName], CString(L"Max Stress Location"));
  EXPECT_TRUE(d.rows()[0].marked && d.rows()[1].marked);
  // Strain at the top fibre: 375 / 10.5e6 x 1000, shown once scaled.
  EXPECT_NEAR(std::stod(d.rows()[1].cells[B::kStrain].ToUtf8()), 375.0 / 10.5e6 * 1000.0, 1e-4);
  EXPECT_EQ(d.rows()[1].cells[B::kFcy], B::wholeNumberText(60000));
  EXPECT_EQ(d.rows()[1].cells[B::kMaterial], CString(L"metal"));
  EXPECT_NE(d.rows()[1].stressColour, B::kNoColour);

  // The same name again is warned of as it is typed.
  Hooks::clearRecords();
  d.loadConditionNameChanged(CString(L"LC1"));
  EXPECT_TRUE(said(L"Load condition with this name already exists", L"Load Condition Creation"));
  Hooks::clearRecords();
  d.loadConditionNameChanged(CString(L"LC9"));
  EXPECT_TRUE(messages().empty());
}

TEST_F(BendingDialog, RestrainedMomentAndAxialForcePass) {
  B& d = open(1);
  apply(d, L"LC2", L"0", L"0", L"1000");
  EXPECT_TRUE(said(L"PASSED.  Verification checks passed", L"VERIFICATION"));
  EXPECT_TRUE(journalled("xscn.ApplyRestrainedBendingForces \"root\",\"LC2\",0,0,1000,1"));
  EXPECT_NEAR(d.results().maxStress, 375.0, 0.375);
  EXPECT_EQ(controls(d).GetText(B::IDC_NA_ANGLE), CString(L"0.0000"));

  // No moment: the axial test alone decides (P / A = 100 / 8 everywhere).
  apply(d, L"LC3", L"100", L"0", L"0");
  EXPECT_TRUE(said(L"PASSED.  Verification checks passed", L"VERIFICATION"));
  EXPECT_NEAR(d.results().maxStress, 12.5, 1e-6);
  EXPECT_EQ(controls(d).GetText(B::IDC_AXIAL), CString(L"100.000"));
}

TEST_F(BendingDialog, StressPastTheUltimateIsReported) {
  B& d = open(0);
  apply(d, L"big", L"0", L"200000", L"0");  // 75000 psi > 70000
  ASSERT_FALSE(messages().empty());
  EXPECT_EQ(messages()[0].second, CString(L"Stress Exceeds Ultimate"));
}

TEST_F(BendingDialog, RefusalsLeaveNoJournalLineAndNoLoadCondition) {
  const size_t before = journal().size();
  B& u = open(0);
  apply(u, L"", L"0", L"1000", L"0");
  EXPECT_TRUE(said(L"Load Condition name is required", L"Bending Analysis"));

  B& r = open(1);
  apply(r, L"A360", L"0", L"360", L"1000");
  EXPECT_TRUE(said(L"Please enter a number between 0 and 359.99.", L""));
  EXPECT_FALSE(root()->loadConditionExists(CString(L"A360")));

  B& bad = open(2);
  apply(bad, L"T2", L"0", L"1000", L"0");
  ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
  EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"Analysis type is not recognized."));
  EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"Self-Checker"));
  EXPECT_TRUE(Hooks::messageBoxes()[0].type & MB_ICONEXCLAMATION);
  EXPECT_FALSE(root()->loadConditionExists(CString(L"T2")));
  EXPECT_FALSE(bad.applied());
  EXPECT_EQ(journal().size(), before);
}

TEST_F(BendingDialog, LinePlotNeedsDistinctPoints) {
  B& d = open(0);
  apply(d, L"LC1", L"0", L"1000", L"0");
  CMemoryControls& w = controls(d);
  const struct {
    const wchar_t* x2;
    bool drawn;
  } cases[] = {{L"1.0005", false}, {L"1.002", true}};
  for (const auto& c : cases) {
    view->RebuildAndRedraw();
    w.SetText(B::IDC_X1, CString(L"1"));
    w.SetText(B::IDC_Y1, CString(L"1"));
    w.SetText(B::IDC_X2, CString(c.x2));
    w.SetText(B::IDC_Y2, CString(L"1"));
    Hooks::clearRecords();
    d.OnCommand(B::IDC_SHOW_LINE);
    EXPECT_EQ(said(L"Points must be distinct", L"Line Plot"), !c.drawn);
    const auto plots = records(0x40000000u);
    ASSERT_EQ(plots.size(), c.drawn ? 1u : 0u);
    if (c.drawn) {
      EXPECT_EQ(plots[0]->drawPriority, 8);
    }
  }
  // Turn off Line Plot rebuilds without it.
  d.OnCommand(B::IDC_LINE_OFF);
  EXPECT_TRUE(records(0x40000000u).empty());
  // Strain contours from the combo.
  w.SetCurSel(B::IDC_PLOT, 1);
  d.OnCommand(B::IDC_PLOT);
  EXPECT_EQ(root()->resultKind, 4);
  EXPECT_EQ(d.resultChoice(), 1);
}

TEST_F(BendingDialog, PickedPointsFillTheFocusedEnd) {
  B& d = open(0);
  d.boxFocused(B::IDC_Y2);
  EXPECT_EQ(controls(d).GetText(B::IDC_Y2), CString());
  d.pointPicked(Point<double>(3.5, 0.25, 0));
  EXPECT_EQ(controls(d).GetText(B::IDC_X2), CString(L"3.5000"));
  EXPECT_EQ(controls(d).GetText(B::IDC_Y2), CString(L"0.2500"));
  // Not waiting any more: another pick changes nothing.
  d.pointPicked(Point<double>(9, 9, 0));
  EXPECT_EQ(controls(d).GetText(B::IDC_X2), CString(L"3.5000"));

  // The other end keeps what was typed into it and not yet read.
  controls(d).SetText(B::IDC_X2, CString(L"2"));
  controls(d).SetText(B::IDC_Y2, CString(L"1.25"));
  d.boxFocused(B::IDC_X1);
  d.pointPicked(Point<double>(0.5, 0.75, 0));
  EXPECT_EQ(controls(d).GetText(B::IDC_X1), CString(L"0.5000"));
  EXPECT_EQ(controls(d).GetText(B::IDC_Y1), CString(L"0.7500"));
  EXPECT_EQ(controls(d).GetText(B::IDC_X2), CString(L"2"));
  EXPECT_EQ(controls(d).GetText(B::IDC_Y2), CString(L"1.25"));
}

// Clicks in the view reach the dialog: a construction point fills the
// line-plot end that waits, a click inside the section adds a result
// location to the list.
TEST_F(BendingDialog, ViewClicksReachTheDialog) {
  root()->addConstructionPoint(3, 1.5);
  view->RebuildAndRedraw();
  B& d = open(0);
  apply(d, L"LC1", L"0", L"1000", L"0");
  ASSERT_EQ(d.rows().size(), 2u);
  // The client pixel of a model point (GL window y counts upwards).
  const auto click = [this](double x, double y) {
    view->RebuildAndRedraw();
    Point<float> at(static_cast<float>(x), static_cast<float>(y), 0.0f), device;
    view->model2dev(&at, &device);
    view->pick(static_cast<int>(std::lround(device.x)), 200 - 1 - static_cast<int>(std::lround(device.y)), 0xFFFFFFFF);
  };
  d.boxFocused(B::IDC_X2);
  click(3, 1.5);
  EXPECT_EQ(controls(d).GetText(B::IDC_X2), CString(L"3.0000"));
  EXPECT_EQ(controls(d).GetText(B::IDC_Y2), CString(L"1.5000"));
  view->ClearPicks();
  click(1, 1);
  ASSERT_EQ(d.rows().size(), 3u);
  // sigma = Mx (y - 1) / Ix with Ix = 4 * 2^3 / 12 about the centroid (tension above).
  const B::PointRow& added = d.rows()[2];
  const double x = std::stod(added.cells[B::kX].GetString()), y = std::stod(added.cells[B::kY].GetString());
  EXPECT_NEAR(x, 1.0, 0.1);
  EXPECT_NEAR(y, 1.0, 0.1);
  EXPECT_NEAR(std::stod(added.cells[B::kStress].GetString()), 1000.0 * (y - 1.0) / (32.0 / 12.0), 2.0);
}

// The view's Clear Result Locations empties the open dialog's list: no row
// is left showing a location that is gone.
TEST_F(BendingDialog, ClearingTheResultLocationsEmptiesTheList) {
  B& d = open(0);
  apply(d, L"LC1", L"0", L"1000", L"0");
  ASSERT_EQ(d.rows().size(), 2u);
  ASSERT_TRUE(view->RunCommand(SectionCommand::ClearResultLocations));
  EXPECT_TRUE(root()->resultLocations.empty());
  EXPECT_TRUE(d.rows().empty());
}

TEST_F(BendingDialog, MomentAboutTheNeutralAxisFormat) {
  B& d = open(1);
  apply(d, L"M", L"0", L"0", L"1000");
  auto shown = [&](double moment) {
    const_cast<B::Results&>(d.results()).momentNA = moment;
    d.UpdateData(FALSE);
    return controls(d).GetText(B::IDC_MOMENT_NA);
  };
  EXPECT_EQ(shown(100000), CString(L"100000.000"));
  EXPECT_EQ(shown(100000.5), CString(L"100000.5"));
}

TEST_F(BendingDialog, BendingShearRefusesAMomentAboutY) {
  B& d = open(0);
  int opened = 0;
  d.setBendingShearOpener([&] { ++opened; });
  apply(d, L"LY", L"0", L"0", L"10");
  Hooks::clearRecords();
  d.OnCommand(B::IDC_SHEAR);
  EXPECT_TRUE(said(L"Bending shear stress calculations do not apply for nonzero moment about My.  Only a vertical "
                   L"shear load.",
                   L"Bending Shear Computations"));
  EXPECT_EQ(opened, 0);
  apply(d, L"LX", L"0", L"1000", L"0");
  d.OnCommand(B::IDC_SHEAR);
  EXPECT_EQ(opened, 1);
}

TEST_F(BendingDialog, DeletingAndEditingRowsReachTheirOwnLocations) {
  B& d = open(0);
  apply(d, L"LC1", L"0", L"1000", L"0");
  // Only the two extreme rows selected: Delete Selected keeps them.
  d.selectRow(0, true);
  d.selectRow(1, true);
  d.OnDeleteSelected();
  ASSERT_EQ(d.rows().size(), 2u);

  root()->resultLocation(1, 1, true);
  root()->resultLocation(3, 1, true);
  d.refreshResults();
  ASSERT_EQ(d.rows().size(), 4u);
  CResultLocation* second = d.rows()[3].location;
  d.selectRow(2, true);
  d.OnDeleteSelected();
  ASSERT_EQ(d.rows().size(), 3u);
  EXPECT_EQ(d.rows()[2].location, second);

  // The remaining added row moved to (2, 1): on the neutral axis, no stress.
  d.editCell(2, B::kX, CString(L"2"));
  d.editCell(2, B::kName, CString(L"centre"));
  d.OnCommand(B::IDC_REFRESH);
  ASSERT_EQ(root()->resultLocations.size(), 3u);
  EXPECT_EQ(root()->resultLocations[2], second);
  EXPECT_DOUBLE_EQ(second->location.x, 2.0);
  EXPECT_DOUBLE_EQ(second->location.y, 1.0);
  EXPECT_EQ(second->label, CString(L"centre"));
  EXPECT_NEAR(second->value, 0.0, 1e-6);
  // The extremes were not touched by the edit.
  EXPECT_NEAR(root()->resultLocations[1]->value, 375.0, 0.375);

  // The Delete key takes every selected row, the extremes too.
  d.selectRow(0, true);
  d.OnDeleteKey();
  EXPECT_EQ(d.rows().size(), 2u);
}

TEST_F(BendingDialog, ClosingResetsTheView) {
  B& d = open(0);
  apply(d, L"LC1", L"0", L"1000", L"0");
  d.DestroyWindow();
  EXPECT_EQ(view->m_pickMode, 1);
  EXPECT_EQ(root()->resultKind, 0);
  EXPECT_EQ(view->m_bendingDialog, nullptr);
  EXPECT_EQ(view->m_unrestrainedDialog, nullptr);
  EXPECT_FALSE(doc->IsModelessDialogOpen(&d));
}

// Inputs that six significant digits would round journal every digit they
// need to replay exactly; those that fit keep the short form.
TEST_F(BendingDialog, JournalKeepsEveryDigitOfTheInputs) {
  B& d = open(0);
  apply(d, L"LC1", L"12.5", L"1234567.8", L"0.1");
  EXPECT_TRUE(journalled("xscn.ApplyUnrestrainedBendingForces \"root\",\"LC1\",12.5,1234567.8,0.1,1"));
  B& r = open(1);
  apply(r, L"LC2", L"0", L"33.333333", L"1000");
  EXPECT_TRUE(journalled("xscn.ApplyRestrainedBendingForces \"root\",\"LC2\",0,33.333333,1000,1"));
  replay({"xscn.Apply"}, [](CXSectionAnalysisDoc& other) {
    const auto lc = other.model()->rootSubSection()->findLoadCondition(CString(L"LC1"));
    ASSERT_TRUE(lc && lc->scnForces());
    EXPECT_EQ(lc->scnForces()->Mx, 1234567.8);
  });
}

// The user makes another sub-section current while the dialog is open
// (the section tree's command) and presses APPLY: the analysis acts on
// the current sub-section, as its journal line does when it is replayed.
TEST_F(BendingDialog, ApplyActsOnTheCurrentSubSectionAsItsReplayDoes) {
  B& d = open(0);
  apply(d, L"LC1", L"0", L"1000", L"0");
  ILorimant::CreateSubSection(*doc, CString(L"S2"), CString(L"root"));
  ILorimant::SetCurrentSubSection(*doc, CString(L"S2"));
  JournalLine(*doc, L"xscn.SetCurrentSubSection \"%s\"", CString(L"S2"));
  apply(d, L"LC2", L"0", L"2000", L"0");
  // S2 holds nothing to bend: refused, nothing journalled, root untouched.
  EXPECT_FALSE(messages().empty());
  EXPECT_EQ(messages()[0].second, CString(L"Self-Checker"));
  EXPECT_FALSE(root()->loadConditionExists(CString(L"LC2")));

  const size_t held = root()->loadConditions.size();
  replay({"xscn.Apply", "xscn.CreateSubSection \"S2\"", "xscn.SetCurrentSubSection"},
         [held](CXSectionAnalysisDoc& other) { EXPECT_EQ(other.model()->rootSubSection()->loadConditions.size(), held); });
}

TEST_F(BendingDialog, TheJournalReplaysToTheSameStresses) {
  B& u = open(0);
  apply(u, L"LC1", L"0", L"1000", L"0");
  B& r = open(1);
  apply(r, L"LC2", L"50", L"30", L"1000");
  const double maxStress = r.results().maxStress, minStress = r.results().minStress;
  replay({"xscn.Apply"}, [&](CXSectionAnalysisDoc& other) {
    const auto lc = other.model()->rootSubSection()->curAppLC();
    ASSERT_TRUE(lc && lc->scnForces());
    EXPECT_EQ(lc->name(), CString(L"LC2"));
    EXPECT_DOUBLE_EQ(lc->scnForces()->maxStress, maxStress);
    EXPECT_DOUBLE_EQ(lc->scnForces()->minStress, minStress);
  });
}

}  // namespace bending_dialog_test
