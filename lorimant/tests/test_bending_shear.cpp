// The elastic bending shear dialog's rules on a 4 x 2 section of two meshed
// rectangles "R1" (0,0)-(4,1) and "R2" (0,1)-(4,2) (US units), opened from
// the bending dialog after Mx 1000 was applied. With I = 4 x 2^3 / 12 = 8/3
// about the centroid y = 1, the upper half has Q = 4 x 1 x 0.5 = 2 and with
// V 1000, b 4 the shear stress V Q / (I b) = 187.5. Windows in memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "analysis/model/CDot.h"
#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/analyses/BendingDialogLogic.h"
#include "lorimant/analyses/BendingShearLogic.h"
#include "lorimant/automation/JournalInterpreter.h"
#include "test_bending_dialog_support.h"
#include "test_view_support.h"

namespace bending_shear_test {

using bending_dialog_test::MemoryDialogWindow;

using B = BendingDialogLogic;
using S = BendingShearLogic;

// The two rectangles of the test metal, each meshed, in doc's root.
void buildTwoRectangles(CXSectionAnalysisDoc& doc) {
  doc.setUnitSystem(1);
  CXSectionAnalysis* model = doc.model();
  auto metal = bending_dialog_test::testMetal();
  model->materials.AddTail(metal);
  const struct {
    const wchar_t* name;
    double y;
  } parts[] = {{L"R1", 0.0}, {L"R2", 1.0}};
  for (const auto& p : parts) {
    auto* s = new CShapeAnalysis(model);
    CString n(p.name);
    s->sector(model->rootSubSection(), model, n, 0, p.y, 4, 1, 0, 90, 90, qhtShapeRectangle, 0, 1, 0.0, false);
    s->material(metal);
    model->rootSubSection()->meshShape(s, TRNG3, 200, 0, 0.1, 100000, 0);
  }
}

class BendingShear : public view_test::SectionViewTest {
 protected:
  void SetUp() override {
    SectionViewTest::SetUp();
    units = gUnitSystem;
    openView();
    doc->MakeCurrent();
    view->EnsureRootSubSection();
    buildTwoRectangles(*doc);
    view->RebuildAndRedraw();
    bending = std::make_unique<B>(*view, 0);
    bending->setWindowMaker([this](ModelessDialogLogic& logic) -> DialogWindow* {
      windows.push_back(std::make_unique<MemoryDialogWindow>(
          logic, B::IDC_LOAD_NAME, B::IDC_SHEAR,
          MemoryDialogWindow::Combos{{B::IDC_GRAIN, {CString(L"L")}},
                                                                      {B::IDC_PLOT, {CString(L"Stress"), CString(L"Strain")}}}));
      return windows.back().get();
    });
    bending->setBendingShearWindowMaker([this](ModelessDialogLogic& logic) -> DialogWindow* {
      windows.push_back(std::make_unique<MemoryDialogWindow>(
          logic, S::IDC_XMIN, S::IDC_UNIT_LOAD,
          MemoryDialogWindow::Combos{
              {S::IDC_SOURCE, {CString(L"Box Area Stress"), CString(L"Shape Area Stress")}}}));
      return windows.back().get();
    });
    bending->show();
    apply(L"LC1", L"0", L"1000");
    bending->OnCommand(B::IDC_SHEAR);
    shear = bending->bendingShearDialog();
    ASSERT_NE(shear, nullptr);
    type(S::IDC_V, L"1000");
    type(S::IDC_B, L"4");
  }
  void TearDown() override {
    bending.reset();
    windows.clear();
    SectionViewTest::TearDown();
    gUnitSystem = units;
  }

  CMemoryControls& controlsOf(ModelessDialogLogic& d) { return static_cast<MemoryDialogWindow*>(d.window())->c; }
  void type(int id, const wchar_t* text) { controlsOf(*shear).SetText(id, CString(text)); }
  CString text(int id) { return controlsOf(*shear).GetText(id); }
  void apply(const wchar_t* name, const wchar_t* axial, const wchar_t* mx) {
    CMemoryControls& w = controlsOf(*bending);
    w.SetText(B::IDC_LOAD_NAME, CString(name));
    w.SetText(B::IDC_INPUT1, CString(axial));
    w.SetText(B::IDC_INPUT2, CString(mx));
    w.SetText(B::IDC_INPUT3, CString(L"0"));
    bending->OnCommand(B::IDC_APPLY);
  }
  void computeBox(const wchar_t* xmin, const wchar_t* ymin, const wchar_t* xmax, const wchar_t* ymax) {
    type(S::IDC_XMIN, xmin);
    type(S::IDC_YMIN, ymin);
    type(S::IDC_XMAX, xmax);
    type(S::IDC_YMAX, ymax);
    Hooks::clearRecords();
    shear->OnCommand(S::IDC_COMPUTE);
  }
  // The shape named picked in the view as a click picks it.
  void pickShape(const wchar_t* name) {
    CShapeAnalysis* shape = root()->searchShape(CString(name));
    ASSERT_NE(shape, nullptr);
    view->shapeSelected(PickRecordOf(*view, shape));
  }
  // A click on the construction point at (x, y).
  void pickDot(double x, double y) {
    view->updateDisplayLists();
    for (CDot* d : root()->dots) {
      if (std::fabs(d->location.x - x) > 1e-9 || std::fabs(d->location.y - y) > 1e-9) continue;
      DspRecord* record = view->findDspRecord(static_cast<const void*>(d));
      ASSERT_NE(record, nullptr);
      view->dotPicked(record);
      return;
    }
    FAIL() << "no point at " << x << "," << y;
  }
  std::vector<std::string> journal() const { return lines(doc->journal()->path()); }
  std::vector<std::string> lastLines(size_t n) const {
    const auto all = journal();
    return std::vector<std::string>(all.end() - static_cast<long>(std::min(n, all.size())), all.end());
  }
  static bool said(const wchar_t* text, const wchar_t* caption) {
    for (const MessageBoxCall& m : Hooks::messageBoxes())
      if (m.text == CString(text) && m.caption == CString(caption)) return true;
    return false;
  }
  static std::string fileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  double number(int id) { return std::stod(std::string(CStringA(text(id)))); }

  std::vector<std::unique_ptr<MemoryDialogWindow>> windows;
  std::unique_ptr<B> bending;
  S* shear = nullptr;
  EUnitSystem units = SI;
};

TEST_F(BendingShear, OpensAsTheViewsShapeDialogWithUsUnits) {
  EXPECT_TRUE(shear->isOpen());
  EXPECT_TRUE(doc->IsModelessDialogOpen(shear));
  EXPECT_EQ(view->m_shapeSelectionDialog, shear);
  EXPECT_EQ(view->m_pickMode, 1);
  EXPECT_EQ(shear->caption(), CString(L"Elastic Bending Shear"));
  EXPECT_EQ(shear->loadConditionName(), CString(L"LC1"));
  const std::pair<int, const wchar_t*> units[] = {{S::IDC_UNIT_BOX_Q, L"in^3"}, {S::IDC_UNIT_BOX_STRESS, L"psi"},
                                                  {S::IDC_UNIT_V, L"lbs"},      {S::IDC_UNIT_SPACING, L"in"}};
  for (const auto& [id, unit] : units) EXPECT_EQ(text(id), CString(unit)) << id;
  gUnitSystem = SI;
  EXPECT_EQ(S::unitLabel(S::IDC_UNIT_BOX_Q), CString(L"cm^3"));
  EXPECT_EQ(S::unitLabel(S::IDC_UNIT_SHAPE_STRESS), CString(L"N/cm^2"));
  EXPECT_EQ(S::unitLabel(S::IDC_UNIT_LOAD), CString(L"N"));
  EXPECT_EQ(S::unitLabel(S::IDC_UNIT_WIDTH), CString(L"cm"));
}

TEST_F(BendingShear, BoxGivesQStressJournalAndOneOverlay) {
  computeBox(L"0", L"1", L"4", L"2");
  EXPECT_EQ(text(S::IDC_BOX_Q), CString(L"2.0000"));
  EXPECT_NEAR(shear->m_boxStress, 187.5, 1.875);
  EXPECT_EQ(lastLines(3), (std::vector<std::string>{"Dim boxForce As Double, boxQ As Double",
                                                     "boxForce = xscn.BendingBoxForce( 0,1,4,2)",
                                                     "boxQ = xscn.BendingBoxQ( 0,1,4,2)"}));
  // Pressed again: still one box, and never a weld in the model.
  computeBox(L"0", L"1", L"4", L"2");
  view->updateDisplayLists();
  EXPECT_EQ(view->boxOverlayRecords(), 1);
  EXPECT_TRUE(view->hasBoxOverlay());
  EXPECT_TRUE(root()->welds.empty());
  // A rebuild keeps the box.
  view->RebuildAndRedraw();
  view->updateDisplayLists();
  EXPECT_EQ(view->boxOverlayRecords(), 1);

  // Saved while the box shows, the file is the one saved without it.
  const std::filesystem::path with = root_ / "with_box.qhscn", without = root_ / "without_box.qhscn";
  ASSERT_TRUE(doc->OnSaveDocument(CString(with.wstring().c_str())));
  view->clearBoxOverlay();
  ASSERT_TRUE(doc->OnSaveDocument(CString(without.wstring().c_str())));
  EXPECT_EQ(fileBytes(with), fileBytes(without));
}

TEST_F(BendingShear, ABoxWithoutExtentIsRefusedAndNothingShown) {
  const size_t before = journal().size();
  computeBox(L"1", L"0", L"1", L"2");
  EXPECT_TRUE(said(L"Invalid box definition", L"Box Stress"));
  ASSERT_FALSE(Hooks::messageBoxes().empty());
  EXPECT_NE(Hooks::messageBoxes().back().type & MB_ICONERROR, 0u);
  EXPECT_EQ(journal().size(), before);
  view->updateDisplayLists();
  EXPECT_EQ(view->boxOverlayRecords(), 0);
  // A valid box then an inverted one: the old box goes too.
  computeBox(L"0", L"1", L"4", L"2");
  computeBox(L"0", L"2", L"4", L"1");
  EXPECT_FALSE(view->hasBoxOverlay());
  EXPECT_EQ(view->boxOverlayRecords(), 0);
}

TEST_F(BendingShear, APickedShapeGivesItsQAndStress) {
  pickShape(L"R2");
  EXPECT_NEAR(shear->m_shapeQ, 2.0, 0.02);
  EXPECT_NEAR(shear->m_shapeStress, 187.5, 1.875);
  EXPECT_EQ(text(S::IDC_SHAPE_NAME), CString(L"R2"));
  EXPECT_EQ(text(S::IDC_SHAPE_Q), CString(L"2.0000"));
  EXPECT_EQ(lastLines(2), (std::vector<std::string>{"Dim ShearStress As Double",
                                                     "ShearStress=xscn.ShapeVQIb(\"LC1\",\"R2\",1000,4)"}));
}

TEST_F(BendingShear, FastenerLoadWarnsOnSmallInputsAndStillShowsIt) {
  computeBox(L"0", L"1", L"4", L"2");
  type(S::IDC_WIDTH, L"1");
  type(S::IDC_SPACING, L"0.00005");
  Hooks::clearRecords();
  shear->OnCommand(S::IDC_APPLIED);
  EXPECT_TRUE(said(L"Undefined inputs", L"Fastener Load"));
  EXPECT_EQ(text(S::IDC_LOAD), CString(L"0.0094"));
  // From the shape's stress, with usable inputs: no warning.
  pickShape(L"R2");
  controlsOf(*shear).SetCurSel(S::IDC_SOURCE, S::kShapeStress);
  type(S::IDC_SPACING, L"2");
  Hooks::clearRecords();
  shear->OnCommand(S::IDC_APPLIED);
  EXPECT_TRUE(Hooks::messageBoxes().empty());
  EXPECT_NEAR(number(S::IDC_LOAD), 375.0, 3.75);
}

TEST_F(BendingShear, AChangeOfVClearsTheResults) {
  computeBox(L"0", L"1", L"4", L"2");
  pickShape(L"R2");
  shear->shearForceChanged();
  for (int id : {S::IDC_BOX_Q, S::IDC_BOX_STRESS, S::IDC_SHAPE_Q, S::IDC_SHAPE_STRESS})
    EXPECT_EQ(text(id), CString(L"0.0000")) << id;
  EXPECT_TRUE(text(S::IDC_SHAPE_NAME).IsEmpty());
  EXPECT_EQ(shear->m_boxQ, 0.0);
  EXPECT_EQ(shear->m_shapeStress, 0.0);
}

TEST_F(BendingShear, PickedPointsFillCornersAndDistances) {
  shear->boxFocused(S::IDC_XMIN);
  pickDot(0, 1);
  EXPECT_EQ(text(S::IDC_XMIN), CString(L"0"));
  EXPECT_EQ(text(S::IDC_YMIN), CString(L"1"));
  shear->boxFocused(S::IDC_YMAX);
  pickDot(4, 2);
  EXPECT_EQ(text(S::IDC_XMAX), CString(L"4"));
  EXPECT_EQ(text(S::IDC_YMAX), CString(L"2"));
  shear->boxFocused(S::IDC_B);
  pickDot(0, 0);
  EXPECT_EQ(text(S::IDC_B), CString(L"4"));  // the first pick only remembered
  pickDot(4, 0);
  EXPECT_EQ(text(S::IDC_B), CString(L"4"));
  EXPECT_EQ(shear->m_b, 4.0);
  shear->boxFocused(S::IDC_SPACING);
  pickDot(4, 0);
  pickDot(4, 2);
  EXPECT_EQ(text(S::IDC_SPACING), CString(L"2"));
  // Focus elsewhere: picks leave the boxes alone.
  shear->boxFocused(S::IDC_V);
  pickDot(0, 0);
  EXPECT_EQ(text(S::IDC_XMIN), CString(L"0"));
  EXPECT_EQ(text(S::IDC_YMIN), CString(L"1"));
}

// After a second APPLY the shapes use the condition applied last, as the
// box sums and the replayed journal do.
TEST_F(BendingShear, ASecondApplyMovesTheDialogToTheNewCondition) {
  pickShape(L"R2");
  apply(L"LC2", L"2000", L"1000");
  EXPECT_EQ(shear->loadConditionName(), CString(L"LC2"));
  EXPECT_TRUE(text(S::IDC_SHAPE_NAME).IsEmpty());
  pickShape(L"R2");
  // Neutral axis at y = 1 - (2000 / 8) / (1000 / (8/3)) = 1/3: Q = 4 x (1.5 - 1/3).
  EXPECT_NEAR(shear->m_shapeQ, 4.0 * (1.5 - 1.0 / 3.0), 0.047);
  EXPECT_EQ(lastLines(1)[0], "ShearStress=xscn.ShapeVQIb(\"LC2\",\"R2\",1000,4)");
}

TEST_F(BendingShear, ClosingGivesTheViewBack) {
  computeBox(L"0", L"1", L"4", L"2");
  shear->OnCancel();
  EXPECT_FALSE(shear->isOpen());
  EXPECT_FALSE(doc->IsModelessDialogOpen(shear));
  EXPECT_EQ(view->m_pickMode, 2);
  EXPECT_EQ(view->m_shapeSelectionDialog, nullptr);
  EXPECT_FALSE(view->hasBoxOverlay());
  view->updateDisplayLists();
  EXPECT_EQ(view->boxOverlayRecords(), 0);
  // Opened again, then the bending dialog closes: its bending-shear dialog goes with it.
  bending->OnCommand(B::IDC_SHEAR);
  shear = bending->bendingShearDialog();
  ASSERT_TRUE(shear->isOpen());
  bending->OnCancel();
  EXPECT_FALSE(shear->isOpen());
  EXPECT_EQ(view->m_shapeSelectionDialog, nullptr);
  EXPECT_EQ(view->m_pickMode, 1);
}

TEST_F(BendingShear, TheJournalReplaysToTheDialogsValues) {
  computeBox(L"0", L"1", L"4", L"2");
  const double boxQ = shear->m_boxQ;
  pickShape(L"R2");
  const double shapeStress = shear->m_shapeStress;
  std::ostringstream macro;
  for (const std::string& line : journal())
    for (const char* start : {"xscn.Apply", "Dim ", "boxForce", "boxQ", "ShearStress"})
      if (line.rfind(start, 0) == 0) macro << line << "\n";

  CXSectionAnalysisDoc other(&frame);
  other.OnNewDocument();
  auto otherView = CThickSectionView::createFor(other);
  otherView->EnsureRootSubSection();
  buildTwoRectangles(other);
  std::istringstream in(macro.str());
  std::ostringstream out;
  JournalInterpreter interpreter(DocumentAutomationObject(other), out);
  const JournalRunResult result = interpreter.Run(in);
  ASSERT_TRUE(result.ok) << result.line << ": " << result.description << "\n" << macro.str();
  EXPECT_NEAR(interpreter.Variable(L"boxQ").dblVal, boxQ, 1e-9);
  EXPECT_NEAR(interpreter.Variable(L"ShearStress").dblVal, shapeStress, 1e-9);
  otherView.reset();
  doc->MakeCurrent();
}

}  // namespace bending_shear_test
