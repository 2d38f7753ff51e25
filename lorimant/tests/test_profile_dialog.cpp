// The profile dialogs' rules on a real document and section view, with a
// window held in memory: builds and their journal lines, replacement of the
// applied part, picks into the current cell and the cells' texts.
#include <gtest/gtest.h>

#include <cmath>

#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/shapes/CFormedExtrudedDlg.h"
#include "test_basic_shape_dialog_support.h"

namespace profile_dialog_test {

using D = CFormedExtrudedDlg;

class ProfileDialogTest : public basic_shape_test::BasicShapeTest {
 protected:
  // A dialog of the member of kind, shown in a memory window, parent "root", named name.
  std::unique_ptr<D> open(int kind, const wchar_t* name) {
    auto dialog = std::make_unique<D>(*ProfileMemberOf(kind), *view);
    std::vector<int> ids = dialog->inputCells();
    ids.insert(ids.end(), {D::IDC_NAME, D::IDC_UNITS});
    give(*dialog, ids, {D::IDC_ORIGIN, D::IDC_DIRECTION});
    dialog->setParentName(L"root");
    dialog->show();
    window().c.SetText(D::IDC_NAME, name);
    return dialog;
  }
  bool hasPart(const wchar_t* name) const { return model()->findSubSection(name) != nullptr; }
  std::string lastLine() const { return journal().back(); }
};

struct DefaultLine {
  int kind;
  const char* line;
};

// OK with the defaults: the builder's journal line of the table's defaults.
TEST_F(ProfileDialogTest, OkWithDefaultsBuildsEachProfileWithItsJournalLine) {
  const DefaultLine cases[] = {
      {11, "xscn.AddExtrudedT \"root\",\"P11\",12,1,4.5,1,10,1,1,1,90,0,1,0,0,0,-1"},
      {12, "xscn.AddExtrudedL \"root\",\"P12\",12,1,10,1,1,90,0,1,0,0,0,-1"},
      {13, "xscn.AddFormedL \"root\",\"P13\",12,1,10,1,90,0,1,0,0,0"},
      {14, "xscn.AddIBeam  \"root\",\"P14\",12,1,4.5,1,10,1,1,1,90,4.5,1,10,1,1,1,90,0,1,0,0,0,-1,0"},
      {15, "xscn.AddExtrudedC \"root\",\"P15\",12,1,10,1,1,90,10,1,1,90,0,1,0,0,0,-1,0"},
      {16, "xscn.AddExtrudedZ \"root\",\"P16\",12,1,10,1,1,90,10,1,1,90,0,1,0,0,0,-1"},
      {17, "xscn.AddFormedC \"root\",\"P17\",12,1,10,1,90,10,1,90,0,1,0,0,0"},
      {18, "xscn.AddFormedZ \"root\",\"P18\",12,1,10,1,90,10,1,90,0,1,0,0,0"},
      {19, "xscn.AddExtrudedJ \"root\",\"P19\",12,1,10,1,1,90,4.5,1,10,1,1,1,90,0,1,0,0,0,-1"},
  };
  for (const DefaultLine& c : cases) {
    CString name;
    name.Format(L"P%d", c.kind);
    const std::size_t before = journal().size();
    auto dialog = open(c.kind, name);
    EXPECT_EQ(window().c.GetText(D::IDC_UNITS), CString(L"CM"));
    dialog->OnOK();
    EXPECT_TRUE(hasPart(name)) << c.kind << ": " << ::testing::PrintToString(messages());
    EXPECT_EQ(journalAfter(before), std::vector<std::string>{c.line});
    EXPECT_FALSE(dialog->isRegistered());
  }
}

TEST_F(ProfileDialogTest, ApplyRenameOkReplacesThePartAndCancelKeepsIt) {
  const std::size_t before = journal().size();
  auto dialog = open(12, L"L1");
  dialog->OnApply();
  ASSERT_TRUE(hasPart(L"L1"));
  // The first Apply deletes nothing.
  EXPECT_EQ(journalAfter(before), std::vector<std::string>{"xscn.AddExtrudedL \"root\",\"L1\",12,1,10,1,1,90,0,1,0,0,0,-1"});
  EXPECT_TRUE(dialog->applied());
  EXPECT_EQ(dialog->appliedName(), CString(L"L1"));
  EXPECT_TRUE(dialog->isRegistered());

  window().c.SetText(D::IDC_NAME, L"L2");
  dialog->OnOK();
  EXPECT_FALSE(hasPart(L"L1"));
  EXPECT_TRUE(hasPart(L"L2"));
  EXPECT_EQ(journalAfter(before),
            (std::vector<std::string>{"xscn.AddExtrudedL \"root\",\"L1\",12,1,10,1,1,90,0,1,0,0,0,-1",
                                      "xscn.DeleteSubSectionAndChildShapes \"L1\"",
                                      "xscn.AddExtrudedL \"root\",\"L2\",12,1,10,1,1,90,0,1,0,0,0,-1"}));
  EXPECT_TRUE(messages().empty());

  auto other = open(13, L"F1");
  other->OnApply();
  other->OnCancel();
  EXPECT_TRUE(hasPart(L"F1"));
  EXPECT_FALSE(other->isRegistered());
}

TEST_F(ProfileDialogTest, RefusedReplacementLeavesPartJournalAndUndoAsTheyWere) {
  auto dialog = open(12, L"L1");
  doc->CheckPoint();  // the state before the part
  dialog->OnApply();
  ASSERT_TRUE(hasPart(L"L1"));
  const std::vector<std::string> journalBefore = journal();
  window().c.SetText(1180, L"20");
  dialog->OnApply();
  ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
  EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"fillet radius > webLength or flangeLength"));
  EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"Self-Checker"));
  EXPECT_TRUE(hasPart(L"L1"));
  EXPECT_EQ(journal(), journalBefore);
  EXPECT_TRUE(dialog->applied());
  EXPECT_EQ(dialog->appliedName(), CString(L"L1"));
  EXPECT_EQ(window().c.GetText(1180), CString(L"20"));
  // The last snapshot is still the Apply's: one undo takes the part away.
  doc->Undo();
  EXPECT_FALSE(hasPart(L"L1"));
}

TEST_F(ProfileDialogTest, ReplacementUnderANameOfAnotherPartsPieceIsRefusedFirst) {
  auto first = open(12, L"L1");
  first->OnApply();
  auto second = open(12, L"L2");
  second->OnOK();
  ASSERT_NE(model()->findShape(L"L2_web"), nullptr);
  auto again = open(12, L"L3");
  again->OnApply();
  const std::vector<std::string> afterApply = journal();
  window().c.SetText(D::IDC_NAME, L"L2_web");
  again->OnApply();
  ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
  EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"Object with that name already exists."));
  EXPECT_TRUE(hasPart(L"L3"));
  EXPECT_EQ(journal(), afterApply);
  EXPECT_EQ(again->appliedName(), CString(L"L3"));
}

TEST_F(ProfileDialogTest, RenamingAReplacementToAPieceNameOfItsOwnPartIsAllowed) {
  auto dialog = open(12, L"L1");
  dialog->OnApply();
  // "L1" itself is the applied part's: replacing it under its own name works.
  window().c.SetText(1112, L"14");
  dialog->OnOK();
  EXPECT_TRUE(hasPart(L"L1"));
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(lastLine(), "xscn.AddExtrudedL \"root\",\"L1\",14,1,10,1,1,90,0,1,0,0,0,-1");
}

TEST_F(ProfileDialogTest, ARefusedFirstBuildLeavesTheDialogOpenWithItsValues) {
  const std::size_t before = journal().size();
  auto dialog = open(12, L"L1");
  window().c.SetText(1180, L"20");
  dialog->OnOK();
  ASSERT_EQ(messages(), std::vector<std::wstring>{L"fillet radius > webLength or flangeLength"});
  EXPECT_TRUE(dialog->isRegistered());
  EXPECT_FALSE(hasPart(L"L1"));
  EXPECT_EQ(journal().size(), before);
}

struct AngleCase {
  Point<double> first, third;
  double degrees;
};

TEST_F(ProfileDialogTest, PicksFillTheCurrentCell) {
  auto dialog = open(12, L"L1");
  const AngleCase angles[] = {
      {{1, 0, 0}, {0, 1, 0}, 90.0},   {{1, 0, 0}, {0, -1, 0}, 90.0},  // reflex 270 folds to 90
      {{1, 0, 0}, {-1, 1, 0}, 135.0}, {{1, 0, 0}, {-1, -1, 0}, 135.0}, {{0, 1, 0}, {1, 0, 0}, 90.0},
  };
  for (const AngleCase& a : angles) {
    dialog->SetCurrentCell(D::IDC_LOWER_ANGLE);
    dialog->pointPicked(a.first);
    dialog->pointPicked({0, 0, 0});
    EXPECT_EQ(dialog->currentCell(), D::IDC_LOWER_ANGLE);
    dialog->pointPicked(a.third);
    EXPECT_NEAR(dialog->m_dimensions[5], a.degrees, 1e-9);
    EXPECT_EQ(dialog->currentCell(), -1);
    EXPECT_EQ(dialog->lastPickedCell(), D::IDC_LOWER_ANGLE);
  }
  dialog->SetCurrentCell(1112);
  dialog->pointPicked({1, 1, 0});
  dialog->pointPicked({4, 5, 0});
  EXPECT_NEAR(dialog->m_dimensions[0], 5.0, 1e-12);
  EXPECT_EQ(window().c.GetText(1112), CString(L"5"));
  dialog->SetCurrentCell(D::IDC_ROTATION);
  dialog->pointPicked({1, 1, 0});
  dialog->pointPicked({1, 3, 0});
  EXPECT_NEAR(dialog->m_rotation, 90.0, 1e-12);
  dialog->SetCurrentCell(D::IDC_Y);
  dialog->pointPicked({2, 3, 0});
  EXPECT_EQ(dialog->m_originX, 2.0);
  EXPECT_EQ(dialog->m_originY, 3.0);
  // No current cell: nothing changes.
  const std::vector<double> values = dialog->builderValues();
  dialog->pointPicked({7, 7, 0});
  EXPECT_EQ(dialog->builderValues(), values);
  EXPECT_FALSE(dialog->firstPick().has_value());
}

TEST_F(ProfileDialogTest, ACellEmptiedByItsFocusGetsItsTextBackAndApplyWorks) {
  auto dialog = open(12, L"L1");
  dialog->SetCurrentCell(1112);
  EXPECT_EQ(window().c.GetText(1112), CString());
  dialog->cellLeft(1112);
  EXPECT_EQ(window().c.GetText(1112), CString(L"12"));
  // A typed value stays.
  dialog->SetCurrentCell(1116);
  window().c.SetText(1116, L"2");
  dialog->cellLeft(1116);
  EXPECT_EQ(window().c.GetText(1116), CString(L"2"));
  dialog->OnApply();
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(lastLine(), "xscn.AddExtrudedL \"root\",\"L1\",12,2,10,1,1,90,0,1,0,0,0,-1");
}

TEST_F(ProfileDialogTest, EnterAndEscapeAreSwallowed) {
  EXPECT_TRUE(D::PreTranslateKey(13));
  EXPECT_TRUE(D::PreTranslateKey(27));
  EXPECT_FALSE(D::PreTranslateKey('A'));
}

TEST_F(ProfileDialogTest, ADialogBuildsIntoItsOwnDocumentWhileAnotherIsActive) {
  auto dialog = open(12, L"L1");
  dialog->OnApply();
  auto other = std::make_unique<CXSectionAnalysisDoc>(&frame);
  other->OnNewDocument();
  other->setUnitSystem(0);
  other->MakeCurrent();
  window().c.SetText(D::IDC_NAME, L"L2");
  dialog->OnOK();
  EXPECT_FALSE(hasPart(L"L1"));
  EXPECT_TRUE(hasPart(L"L2"));
  EXPECT_EQ(other->model()->findSubSection(L"L2"), nullptr);
  other.reset();
  doc->MakeCurrent();
}

TEST_F(ProfileDialogTest, OpenedForEditingReplacesTheExistingPart) {
  auto builder = open(12, L"L1");
  builder->OnOK();
  auto editor = std::make_unique<D>(*ProfileMemberOf(12), *view);
  std::vector<int> ids = editor->inputCells();
  ids.insert(ids.end(), {D::IDC_NAME, D::IDC_UNITS});
  give(*editor, ids, {D::IDC_ORIGIN, D::IDC_DIRECTION});
  editor->setParentName(L"root");
  editor->OpenForEdit(L"L1", {14, 1, 10, 1, 1, 90}, {-1}, 0, 1, 0, 0, 0);
  EXPECT_EQ(window().c.GetText(1112), CString(L"14"));
  EXPECT_EQ(window().c.GetText(D::IDC_NAME), CString(L"L1"));
  editor->OnOK();
  EXPECT_EQ(journalAfter(journal().size() - 2),
            (std::vector<std::string>{"xscn.DeleteSubSectionAndChildShapes \"L1\"",
                                      "xscn.AddExtrudedL \"root\",\"L1\",14,1,10,1,1,90,0,1,0,0,0,-1"}));
}

}  // namespace profile_dialog_test
