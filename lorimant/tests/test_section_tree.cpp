// The section tree pane without its window: the rows built from a section,
// the menu rules over the selection, the click and drag rules, and each
// command's messages, journal lines and model changes; the journal the
// commands wrote replays to the same section.
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/model/CLog.h"
#include "analysis/model/CLoadCondition.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/automation/JournalInterpreter.h"
#include "lorimant/view/CThickSectionView.h"
#include "lorimant/view/HeadlessRun.h"
#include "lorimant/view/SectionTreeModel.h"
#include "test_document_support.h"
#include "test_journal_support.h"

namespace {

namespace TC = SectionTreeCommand;

// A main frame whose tree is the pane under test, as the program's frame's is.
class TreeFrame : public SectionFrame {
 public:
  SectionTreeModel* tree = nullptr;
  int RefreshSectionTree() override { return tree != nullptr && tree->RebuildTree() ? 1 : 0; }
  void DeleteSectionTree() override {
    if (tree != nullptr) tree->DeleteAllItems();
  }
};

// The pane's window: texts answered from a script (none: Cancel).
class ScriptedHost : public SectionTreeHost {
 public:
  std::vector<std::optional<CString>> answers;
  std::vector<CString> prompts;
  int shown = 0;
  void rowsChanged() override { ++shown; }
  bool askText(const CString& prompt, CString& answer) override {
    prompts.push_back(prompt);
    if (answers.empty() || !answers.front()) {
      if (!answers.empty()) answers.erase(answers.begin());
      return false;
    }
    answer = *answers.front();
    answers.erase(answers.begin());
    return true;
  }
};

// Two metals' database, two rectangles A and B in "root" meshed and welded,
// a loose rectangle C, the sub-sections S1 (two rectangles in union) and S2,
// the extruded L "L1", a section load LC1 and the bending result LB.
const char* const kSection =
    "xscn.SetUnitSystem QHT_SI\n"
    "xscn.CreateDatabase \"%DIR%/materials.sqldb\"\n"
    "xscn.AddMaterialDef \"steel\",\"Steel\",\"Plate\",\"T1\",\"Any\",\"S\",\"SI\",\"S1\",True,29000,29000,7.8,1,"
    "65,65,50,50,50,50,65,65,40,40,0.3,11000,0,0,0,0,0.5,0.5,0.5,0.002,0.002,0.002,0.002,"
    "10,10,10,10,10,10,10,10,0.01,0.01\n"
    "xscn.AddRectangle \"root\",\"A\",4,2,0,0,0,1,0,1\n"
    "xscn.AddRectangle \"root\",\"B\",4,2,4,0,0,1,0,1\n"
    "xscn.CreateSubSection \"S1\",\"root\"\n"
    "xscn.CreateSubSection \"S2\",\"root\"\n"
    "xscn.AddRectangle \"S1\",\"U1\",2,2,10,0,0,1,0,1\n"
    "xscn.AddRectangle \"S1\",\"U2\",2,2,11,1,0,1,0,1\n"
    "xscn.AddExtrudedL \"root\",\"L1\",10,1,8,1.2,0.5,90,0,2,20,0,0,0\n"
    "xscn.ApplyMaterialToAll \"root\",\"steel\"\n"
    "xscn.AddRectangle \"root\",\"C\",1,1,30,0,0,1,0,1\n"
    "xscn.SetCurrentSubSection \"S1\"\n"
    "xscn.Union\n"
    "xscn.SetCurrentSubSection \"root\"\n"
    "xscn.MeshShape \"A\",TRIANGLE_3NODES,20,0.1,1\n"
    "xscn.MeshShape \"B\",TRIANGLE_3NODES,20,0.1,1\n"
    "xscn.CreateWeld 3.9,-0.1,4.1,2.1\n"
    "xscn.CreateFatSectionLoad \"LC1\",0,0,1,2,3,0\n";

class SectionTree : public document_test::DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    frame.tree = &tree;
    doc = std::make_unique<CXSectionAnalysisDoc>(&frame);
    doc->hidden = true;
    doc->OnNewDocument();
    doc->MakeCurrent();
    view = CThickSectionView::createFor(*doc);
  }
  void TearDown() override {
    SectionTreeModel::SetPropertiesHook(nullptr);
    SectionTreeModel::SetLoadDialogHook(nullptr);
    view.reset();
    doc.reset();
    DocumentTest::TearDown();
  }

  // Runs macro on the document; %DIR% stands for the test's folder.
  void run(std::string macro) {
    for (std::size_t at = macro.find("%DIR%"); at != std::string::npos; at = macro.find("%DIR%", at))
      macro.replace(at, 5, root_.string());
    std::istringstream in(macro);
    std::ostringstream out;
    const JournalRunResult result = JournalInterpreter(DocumentAutomationObject(*doc), out).Run(in);
    ASSERT_TRUE(result.ok) << result.lineNumber << ": " << result.line << ": " << result.description;
    doc->MakeCurrent();
    tree.RebuildTree();
  }

  // The index of the first row with that label.
  int row(const wchar_t* label) const {
    for (std::size_t i = 0; i < tree.rows().size(); ++i)
      if (tree.rows()[i].label == label) return static_cast<int>(i);
    ADD_FAILURE() << "no row " << CString(label).ToUtf8();
    return -1;
  }
  bool hasRow(const wchar_t* label) const {
    for (const SectionTreeRow& r : tree.rows())
      if (r.label == label) return true;
    return false;
  }

  // The journal lines written since the last call.
  std::vector<std::string> newLines() {
    const std::vector<std::string> all = lines(doc->journal()->path());
    std::vector<std::string> fresh(all.begin() + static_cast<std::ptrdiff_t>(std::min(seen, all.size())), all.end());
    seen = all.size();
    return fresh;
  }
  // The message boxes shown since the last call, as "caption: text".
  static std::vector<std::string> newMessages() {
    std::vector<std::string> out;
    for (const MessageBoxCall& call : Hooks::messageBoxes()) out.push_back(call.caption.ToUtf8() + ": " + call.text.ToUtf8());
    Hooks::clearRecords();
    return out;
  }

  CXSectionAnalysis& model() const { return *doc->model(); }
  CSubSection* sub(const wchar_t* name) const { return model().findSubSectionMutable(name); }
  std::string ownerOf(const wchar_t* shape) const {
    const CShapeAnalysis* s = model().findShape(shape);
    return s == nullptr ? "(none)" : s->subSection() == nullptr ? "(no owner)" : s->subSection()->name().ToUtf8();
  }
  // Runs the section macro, forgets its lines and messages.
  void section() {
    ASSERT_NO_FATAL_FAILURE(run(kSection));
    newLines();
    newMessages();
  }

  TreeFrame frame;
  ScriptedHost host;
  SectionTreeModel tree{&host};
  std::unique_ptr<CXSectionAnalysisDoc> doc;
  std::unique_ptr<CThickSectionView> view;
  std::size_t seen = 0;
};

struct ExpectedRow {
  const char* label;
  int image;
  int depth;
  friend bool operator==(const ExpectedRow& a, const ExpectedRow& b) {
    return std::string(a.label) == b.label && a.image == b.image && a.depth == b.depth;
  }
};

TEST_F(SectionTree, RowsShowTheWholeSectionInTreeOrder) {
  ASSERT_NO_FATAL_FAILURE(section());
  // root holds its welds, mesh, children S1, S2 and L1, then its own
  // shapes and load conditions; S1's union comes before its shapes.
  const std::vector<std::pair<std::string, std::pair<int, int>>> expected = {
      {"Section Document (SIcm Units) ", {0, 0}},
      {"root", {4, 1}},
      {"Welds", {0, 2}},
      {"A-B", {0, 3}},
      {"Mesh", {2, 2}},
      {"S1", {0, 2}},
      {"Union", {3, 3}},
      {"steel", {5, 4}},
      {"U1:RECTANGLE", {15, 3}},
      {"steel", {5, 4}},
      {"U2:RECTANGLE", {15, 3}},
      {"steel", {5, 4}},
      {"S2", {0, 2}},
      {"L1:EXTRUDED_L", {12, 2}},
      {"steel", {5, 3}},
      {"A:RECTANGLE", {15, 2}},
      {"steel", {5, 3}},
      {"B:RECTANGLE", {15, 2}},
      {"steel", {5, 3}},
      {"C:RECTANGLE", {15, 2}},
      {"LC1:UnrestrainedBending", {24, 2}},
  };
  std::vector<std::pair<std::string, std::pair<int, int>>> shown;
  for (const SectionTreeRow& r : tree.rows()) shown.push_back({r.label.ToUtf8(), {r.image, r.depth}});
  EXPECT_EQ(shown, expected);
  // Only the document and "root" are expanded; every row's parent is the
  // nearest row above it one level up.
  for (std::size_t i = 0; i < tree.rows().size(); ++i) {
    const SectionTreeRow& r = tree.rows()[i];
    EXPECT_EQ(r.expanded, i <= 1) << i;
    if (i == 0) continue;
    ASSERT_GE(r.parent, 0);
    EXPECT_EQ(tree.rows()[r.parent].depth, r.depth - 1) << i;
  }
  EXPECT_EQ(tree.rows()[row(L"L1:EXTRUDED_L")].subSection, sub(L"L1"));
  EXPECT_EQ(tree.rows()[row(L"C:RECTANGLE")].shape, model().findShape(L"C"));

  // US customary units; S1 current takes the current image from "root".
  doc->setUnitSystem(1);
  run("xscn.SetCurrentSubSection \"S1\"");
  EXPECT_EQ(tree.rows()[0].label, CString(L"Section Document (USCSin Units) "));
  EXPECT_EQ(tree.rows()[row(L"root")].image, 0);
  EXPECT_EQ(tree.rows()[row(L"S1")].image, 4);
}

TEST_F(SectionTree, NothingIsBuiltWithoutADocumentOrWhileItsModelCloses) {
  ASSERT_NO_FATAL_FAILURE(run("xscn.AddRectangle \"root\",\"R\",1,1,0,0,0,1,0,1"));
  const std::size_t built = tree.rows().size();
  ASSERT_EQ(built, 3u);  // document, root, R

  gDeletingScn = doc->model();
  run("xscn.AddRectangle \"root\",\"R2\",1,1,5,0,0,1,0,1");
  EXPECT_EQ(tree.rows().size(), built);
  gDeletingScn = nullptr;

  // A document going empties the tree; with none active nothing is built.
  view.reset();
  doc.reset();
  EXPECT_TRUE(tree.rows().empty());
  EXPECT_FALSE(tree.RebuildTree());
  EXPECT_TRUE(tree.rows().empty());
}

// The enabled commands for each selection, with "root" current or not.
TEST_F(SectionTree, MenuRulesFollowTheSelection) {
  ASSERT_NO_FATAL_FAILURE(section());
  run("xscn.ApplyUnrestrainedBendingForces \"root\",\"LB\",8,10,0,1");
  struct Case {
    const wchar_t* clicked;  // nullptr: no click
    bool rootCurrent;
    std::vector<UINT> enabled;
  };
  const std::vector<UINT> subSectionCommands = {TC::SetCurrentSubSection, TC::DeleteSubSection, TC::RenameSubSection,
                                                TC::DisplaySectionProperties};
  const Case cases[] = {
      {nullptr, true, {TC::CreateSubSection}},
      {nullptr, false, {}},
      {L"root", true,
       {TC::CreateSubSection, TC::SetCurrentSubSection, TC::DeleteSubSection, TC::BringSubSectionToTop,
        TC::PushSubSectionToBack, TC::DisplaySectionProperties}},
      {L"root", false, {TC::SetCurrentSubSection, TC::DeleteSubSection, TC::DisplaySectionProperties}},
      {L"S2", true,
       {TC::CreateSubSection, TC::SetCurrentSubSection, TC::DeleteSubSection, TC::RenameSubSection,
        TC::BringSubSectionToTop, TC::PushSubSectionToBack, TC::DisplaySectionProperties}},
      {L"S2", false, subSectionCommands},
      // A profile's click selects its outline, a shape.
      {L"L1:EXTRUDED_L", true, {TC::CreateSubSection, TC::CopySectionObject}},
      {L"C:RECTANGLE", false, {TC::CopySectionObject}},
      {L"LB:UnrestrainedBending", true, {TC::CreateSubSection, TC::DeleteLoadCondition}},
      // A material row selects nothing.
      {L"steel", true, {TC::CreateSubSection}},
  };
  for (const Case& c : cases) {
    run(c.rootCurrent ? "xscn.SetCurrentSubSection \"root\"" : "xscn.SetCurrentSubSection \"S2\"");
    tree.ClearSelection();
    if (c.clicked != nullptr) tree.Click(row(c.clicked));
    std::vector<UINT> enabled;
    for (const SectionTreeMenuItem& item : SectionTreeMenu())
      if (tree.IsEnabled(item.id)) enabled.push_back(item.id);
    EXPECT_EQ(enabled, c.enabled) << (c.clicked ? CString(c.clicked).ToUtf8() : "none") << " root current "
                                  << c.rootCurrent;
  }
  // Copy makes Paste available and clears the shape selection.
  tree.Click(row(L"C:RECTANGLE"));
  tree.OnCommand(TC::CopySectionObject);
  EXPECT_FALSE(tree.IsEnabled(TC::CopySectionObject));
  EXPECT_TRUE(tree.IsEnabled(TC::PasteSectionObject));
  EXPECT_EQ(newMessages(), std::vector<std::string>{});
}

TEST_F(SectionTree, MenuRulesAsAFunction) {
  SectionTreeMenuState profile;
  profile.subSectionSelected = profile.selectedIsProfile = true;
  EXPECT_FALSE(SectionTreeCommandEnabled(TC::RenameSubSection, profile));
  EXPECT_TRUE(SectionTreeCommandEnabled(TC::DeleteSubSection, profile));
  EXPECT_FALSE(SectionTreeCommandEnabled(4711, SectionTreeMenuState{}));
  const std::vector<std::wstring> texts = [] {
    std::vector<std::wstring> out;
    for (const SectionTreeMenuItem& item : SectionTreeMenu()) out.push_back(item.text);
    return out;
  }();
  EXPECT_EQ(texts, (std::vector<std::wstring>{L"Create New SubSection", L"Set Current SubSection",
                                               L"Delete Load Condition", L"Delete SubSection", L"Rename SubSection",
                                               L"Bring SubSection To Top", L"Push SubSection To Back",
                                               L"Display Section Properties", L"Copy Section Object",
                                               L"Paste Section Object"}));
}

TEST_F(SectionTree, ClickOnALoadConditionOutsideTheCurrentSubSection) {
  ASSERT_NO_FATAL_FAILURE(section());
  run("xscn.SetCurrentSubSection \"S2\"");
  newMessages();
  tree.Click(row(L"LC1:UnrestrainedBending"));
  EXPECT_EQ(tree.selectedLoadCondition(), nullptr);
  EXPECT_EQ(newMessages(),
            std::vector<std::string>{"Load Condition: Load condition is not a child of the current subsection."});
}

TEST_F(SectionTree, CreateNewSubSection) {
  ASSERT_NO_FATAL_FAILURE(section());
  // "root" holds meshes: refused before anything is asked.
  tree.OnCommand(TC::CreateSubSection);
  EXPECT_TRUE(host.prompts.empty());
  EXPECT_EQ(newMessages(), std::vector<std::string>{
                               "SubSection Management: Meshes must be removed before new subsections may be created,  "
                               "or parent change operations may be performed"});

  run("xscn.DeleteMeshes");
  newLines();
  host.answers = {CString(), CString(L"S2"), std::nullopt, CString(L"Ribs")};
  for (int i = 0; i < 4; ++i) tree.OnCommand(TC::CreateSubSection);
  EXPECT_EQ(host.prompts, std::vector<CString>(4, CString(L"Enter name for the new subsection.")));
  EXPECT_EQ(newMessages(), (std::vector<std::string>{"SubSection Creation: Name for subsection may not be empty",
                                                      "Create SubSection: Subsection with that name already exists"}));
  EXPECT_EQ(newLines(), std::vector<std::string>{"xscn.CreateSubSection \"Ribs\",\"root\""});
  ASSERT_NE(sub(L"Ribs"), nullptr);
  EXPECT_EQ(sub(L"Ribs")->parent(), sub(L"root"));
  EXPECT_EQ(tree.rows()[row(L"Ribs")].depth, 2);
  EXPECT_TRUE(doc->CanUndo());
}

TEST_F(SectionTree, SetCurrentSubSection) {
  ASSERT_NO_FATAL_FAILURE(section());
  tree.Click(row(L"S2"));
  tree.OnCommand(TC::SetCurrentSubSection);
  EXPECT_EQ(model().currentName, CString(L"S2"));
  EXPECT_EQ(newLines(), std::vector<std::string>{"xscn.SetCurrentSubSection \"S2\""});
  EXPECT_EQ(tree.rows()[row(L"S2")].image, 4);
  EXPECT_EQ(tree.rows()[row(L"root")].image, 0);
  doc->Undo();
  EXPECT_EQ(doc->model()->currentName, CString(L"root"));
}

TEST_F(SectionTree, DeleteSubSectionRefusesWhatHoldsTheCurrentOne) {
  ASSERT_NO_FATAL_FAILURE(section());
  run("xscn.CreateSubSection \"Inner\",\"S2\"\nxscn.SetCurrentSubSection \"Inner\"");
  newLines();
  newMessages();
  for (const wchar_t* name : {L"Inner", L"root", L"S2"}) {
    tree.Click(row(name));
    tree.OnCommand(TC::DeleteSubSection);
    EXPECT_NE(sub(name), nullptr) << CString(name).ToUtf8();
  }
  EXPECT_EQ(newMessages(), std::vector<std::string>(3, "Section Management: The current Subsection may not be deleted."));
  EXPECT_EQ(newLines(), std::vector<std::string>{});

  // S1 goes with its shapes; the document's own line is not written.
  tree.Click(row(L"S1"));
  tree.OnCommand(TC::DeleteSubSection);
  EXPECT_EQ(sub(L"S1"), nullptr);
  EXPECT_EQ(model().findShape(L"U1"), nullptr);
  EXPECT_EQ(newLines(), std::vector<std::string>{"xscn.DeleteSubSection \"S1\""});
  EXPECT_FALSE(hasRow(L"S1"));
  EXPECT_EQ(tree.selectedSubSection(), nullptr);
  EXPECT_EQ(newMessages(), std::vector<std::string>{});
}

TEST_F(SectionTree, DeleteLoadCondition) {
  ASSERT_NO_FATAL_FAILURE(section());
  tree.Click(row(L"LC1:UnrestrainedBending"));
  tree.OnCommand(TC::DeleteLoadCondition);
  EXPECT_EQ(sub(L"root")->findLoadCondition(L"LC1"), nullptr);
  EXPECT_EQ(newLines(), std::vector<std::string>{"xscn.DeleteLoad \"LC1\""});
  EXPECT_FALSE(hasRow(L"LC1:UnrestrainedBending"));
  EXPECT_EQ(tree.selectedLoadCondition(), nullptr);
  EXPECT_TRUE(doc->CanUndo());
}

TEST_F(SectionTree, RenameSubSection) {
  ASSERT_NO_FATAL_FAILURE(section());
  host.answers = {CString(L"S2"), CString(), CString(L"Flange")};
  for (int i = 0; i < 3; ++i) {
    tree.Click(row(L"S1"));
    tree.OnCommand(TC::RenameSubSection);
  }
  EXPECT_EQ(host.prompts, std::vector<CString>(3, CString(L"Enter new name for subsection")));
  EXPECT_EQ(newMessages(), (std::vector<std::string>{"Rename SubSection: SubSection named S2 already exists.",
                                                      "Subsection Rename: Name for subsection may not be empty"}));
  EXPECT_EQ(newLines(), std::vector<std::string>{"xscn.RenameSubSection \"S1\",\"Flange\""});
  EXPECT_EQ(sub(L"S1"), nullptr);
  ASSERT_NE(sub(L"Flange"), nullptr);
  EXPECT_TRUE(hasRow(L"Flange"));

  // The selected sub-section goes before the tree is built again.
  tree.Click(row(L"S2"));
  doc->DeleteSubSectionAndChildShapes(L"S2");
  newLines();
  host.answers = {CString(L"Web")};
  tree.OnCommand(TC::RenameSubSection);
  EXPECT_EQ(newMessages(), std::vector<std::string>{"Subsection Rename: Subsection not found."});
  EXPECT_EQ(newLines(), std::vector<std::string>{});
}

TEST_F(SectionTree, BringToTopAndPushToBackReorderAndClearTheSelection) {
  ASSERT_NO_FATAL_FAILURE(section());
  auto order = [&] {
    std::string names;
    for (const CSubSection* c : sub(L"root")->children) names += c->name().ToUtf8() + " ";
    return names;
  };
  tree.Click(row(L"S2"));
  tree.OnCommand(TC::BringSubSectionToTop);
  EXPECT_EQ(order(), "S2 S1 L1 ");
  EXPECT_EQ(tree.selectedSubSection(), nullptr);
  tree.Click(row(L"S2"));
  tree.OnCommand(TC::PushSubSectionToBack);
  EXPECT_EQ(order(), "S1 L1 S2 ");
  EXPECT_EQ(newLines(), (std::vector<std::string>{"xscn.BringSubSectionToFront \"S2\"",
                                                   "xscn.PushSubSectionToBack \"S2\""}));
  // Each reorder is a step of its own in the undo history.
  run("xscn.AddRectangle \"root\",\"Z\",1,1,50,0,0,1,0,1");
  doc->Undo();
  EXPECT_EQ(order(), "S1 L1 S2 ");
  doc->Undo();
  EXPECT_EQ(order(), "S2 S1 L1 ");
  doc->Undo();
  EXPECT_EQ(order(), "S1 S2 L1 ");
  doc->Redo();
  EXPECT_EQ(order(), "S2 S1 L1 ");
}

TEST_F(SectionTree, DisplaySectionPropertiesComputesThenOpensTheSheet) {
  ASSERT_NO_FATAL_FAILURE(section());
  tree.Click(row(L"S1"));
  tree.OnCommand(TC::DisplaySectionProperties);
  EXPECT_EQ(newMessages(), std::vector<std::string>{
                               "Display Section Properties: Display Section Properties is not available."});
  CSubSection* shown = nullptr;
  SectionTreeModel::SetPropertiesHook([&](CXSectionAnalysisDoc&, CSubSection& s) { shown = &s; });
  sub(L"S1")->scnPrpUTD(false);
  tree.OnCommand(TC::DisplaySectionProperties);
  EXPECT_EQ(shown, sub(L"S1"));
  EXPECT_TRUE(sub(L"S1")->scnPrpUTD());
  // Two 2 x 2 squares overlapping by a 1 x 1 square.
  EXPECT_NEAR(sub(L"S1")->getValue(17), 7.0, 1e-9);
}

TEST_F(SectionTree, DoubleClickOpensTheLoadConditionsDialog) {
  ASSERT_NO_FATAL_FAILURE(section());
  run("xscn.ApplyUnrestrainedBendingForces \"root\",\"LB\",8,10,0,1");
  newMessages();
  CSubSection* root = sub(L"root");
  root->curAppLC(nullptr);
  tree.DoubleClick(row(L"LB:UnrestrainedBending"));
  EXPECT_EQ(newMessages(), std::vector<std::string>{"Unrestrained Bending: Unrestrained Bending is not available."});
  ASSERT_NE(root->curAppLC(), nullptr);
  EXPECT_EQ(root->curAppLC()->name(), CString(L"LB"));

  // Now applied: the dialog is asked to compute.
  std::vector<std::pair<int, bool>> requests;
  SectionTreeModel::SetLoadDialogHook(
      [&](const LoadConditionDialogRequest& r) { requests.push_back({r.kind, r.compute}); });
  tree.DoubleClick(row(L"LB:UnrestrainedBending"));
  EXPECT_EQ(requests, (std::vector<std::pair<int, bool>>{{4, true}}));
  // A condition whose forces open no dialog only becomes the applied one.
  tree.DoubleClick(row(L"LC1:UnrestrainedBending"));
  EXPECT_EQ(requests.size(), 1u);
  EXPECT_EQ(root->curAppLC()->name(), CString(L"LC1"));

  // The condition goes between the click and the double click.
  const int lb = row(L"LB:UnrestrainedBending");
  tree.Click(lb);
  root->deleteLoadCondition(root->findLoadCondition(L"LB"));
  EXPECT_THROW(
      {
        try {
          tree.DoubleClick(lb);
        } catch (const std::logic_error& e) {
          EXPECT_STREQ(e.what(), "Load Condition not found");
          throw;
        }
      },
      std::logic_error);
}

TEST_F(SectionTree, DragStartRules) {
  ASSERT_NO_FATAL_FAILURE(section());
  struct Case {
    const wchar_t* label;
    bool allowed;
    const char* message;
  };
  const Case cases[] = {
      {L"Section Document (SIcm Units) ", false, nullptr},
      {L"Mesh", false, "Subsection Management: Unmovable object."},
      {L"LC1:UnrestrainedBending", false, "Subsection Management: Unmovable object."},
      {L"S2", false,
       "Subsection Management: Subsections may not be drag/dropped.   There may only one level of subsections "
       "(depth of two in tree)"},
      {L"root", false,
       "Subsection Management: Subsections may not be drag/dropped.   There may only one level of subsections "
       "(depth of two in tree)"},
      {L"U1:RECTANGLE", false,
       "SubSection Management: You must delete the union on the parent before moving this shape"},
      {L"C:RECTANGLE", true, nullptr},
      {L"L1:EXTRUDED_L", true, nullptr},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(tree.BeginDrag(row(c.label)), c.allowed) << CString(c.label).ToUtf8();
    EXPECT_EQ(newMessages(), c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{})
        << CString(c.label).ToUtf8();
  }
  // A profile under a sub-section in union cannot leave it.
  run("xscn.ChangeSubSectionParent \"L1\",\"S1\"\nxscn.SetCurrentSubSection \"S1\"\nxscn.BreakUnion\nxscn.Union");
  newMessages();
  EXPECT_FALSE(tree.BeginDrag(row(L"L1:EXTRUDED_L")));
  EXPECT_EQ(newMessages(), std::vector<std::string>{
                               "SubSection Management: You must delete the union on the parent before moving this object"});
}

TEST_F(SectionTree, DropMovesShapesAndProfilesOrSaysWhyNot) {
  ASSERT_NO_FATAL_FAILURE(section());
  const struct {
    const wchar_t* dragged;
    const wchar_t* target;
    const char* message;
  } refused[] = {
      {L"C:RECTANGLE", L"C:RECTANGLE", "Subsection Management: An item can't be dropped onto itself"},
      {L"C:RECTANGLE", L"root", "Subsection Management: An item can't be dropped onto its parent"},
      {L"A:RECTANGLE", L"A:RECTANGLE", "Subsection Management: An item can't be dropped onto itself"},
      {L"L1:EXTRUDED_L", L"root", "Subsection Management: An item can't be dropped onto its parent"},
      {L"C:RECTANGLE", L"LC1:UnrestrainedBending", "test: Loadcase selected"},
  };
  doc->SetModifiedFlag(false);
  for (const auto& r : refused) {
    tree.Drop(row(r.dragged), row(r.target));
    EXPECT_EQ(newMessages(), std::vector<std::string>{r.message});
  }
  // The material row below A is one of A's children.
  const int a = row(L"A:RECTANGLE");
  ASSERT_EQ(tree.rows()[a + 1].label, CString(L"steel"));
  tree.Drop(a, a + 1);
  EXPECT_EQ(newMessages(),
            std::vector<std::string>{"Subsection Management: An item can't be dropped onto one of its children"});
  EXPECT_EQ(newLines(), std::vector<std::string>{});
  EXPECT_EQ(ownerOf(L"C"), "root");
  EXPECT_FALSE(doc->IsModified());

  tree.Drop(row(L"C:RECTANGLE"), row(L"S2"));
  EXPECT_EQ(ownerOf(L"C"), "S2");
  EXPECT_EQ(sub(L"root")->findShape(L"C"), nullptr);
  tree.Drop(row(L"L1:EXTRUDED_L"), row(L"S2"));
  EXPECT_EQ(sub(L"L1")->parent(), sub(L"S2"));
  EXPECT_EQ(newLines(), (std::vector<std::string>{"xscn.ChangeShapeParent \"C\",\"S2\"",
                                                   "xscn.ChangeSubSectionParent \"L1\",\"S2\""}));
  EXPECT_EQ(newMessages(), std::vector<std::string>{});
  EXPECT_EQ(tree.rows()[row(L"C:RECTANGLE")].depth, 3);
  EXPECT_EQ(tree.rows()[tree.rows()[row(L"L1:EXTRUDED_L")].parent].label, CString(L"S2"));
  doc->Undo();
  EXPECT_EQ(doc->model()->findSubSectionMutable(L"L1")->parent()->name(), CString(L"root"));
}

// Each paste is a fresh copy with a name of its own, journalled and undoable.
TEST_F(SectionTree, PasteMakesAFreshCopyEachTime) {
  ASSERT_NO_FATAL_FAILURE(section());
  tree.Click(row(L"C:RECTANGLE"));
  tree.OnCommand(TC::CopySectionObject);
  const int shapes = static_cast<int>(model().shapes.GetCount());
  tree.OnCommand(TC::PasteSectionObject);
  tree.OnCommand(TC::PasteSectionObject);
  EXPECT_EQ(model().shapes.GetCount(), shapes + 2);
  ASSERT_NE(model().findShape(L"C_1"), nullptr);
  ASSERT_NE(model().findShape(L"C_2"), nullptr);
  EXPECT_NE(model().findShape(L"C_1"), model().findShape(L"C_2"));
  EXPECT_EQ(ownerOf(L"C_2"), "root");
  EXPECT_NEAR(model().findShape(L"C_2")->area(), 1.0, 1e-12);
  EXPECT_EQ(newLines(), (std::vector<std::string>{"xscn.CopyPasteShape \"root\",\"C\",\"C_1\"",
                                                   "xscn.CopyPasteShape \"root\",\"C\",\"C_2\""}));
  EXPECT_TRUE(hasRow(L"C_2:RECTANGLE"));

  // Two snapshots: Undo takes the second copy, then the first.
  doc->Undo();
  EXPECT_EQ(doc->model()->findShape(L"C_2"), nullptr);
  EXPECT_NE(doc->model()->findShape(L"C_1"), nullptr);
  doc->Undo();
  EXPECT_EQ(doc->model()->findShape(L"C_1"), nullptr);
  doc->Redo();
  tree.RebuildTree();

  // A profile pastes as a sub-section of its own in the current one.
  tree.Click(row(L"L1:EXTRUDED_L"));
  tree.OnCommand(TC::CopySectionObject);
  tree.OnCommand(TC::PasteSectionObject);
  EXPECT_EQ(newLines(), std::vector<std::string>{"xscn.CopyPasteSubSection \"root\",\"L1\",\"L1_1\""});
  ASSERT_NE(sub(L"L1_1"), nullptr);
  EXPECT_TRUE(hasRow(L"L1_1:EXTRUDED_L"));

  // The source went: nothing to paste.
  run("xscn.DeleteShape \"L1\"");
  newLines();
  tree.OnCommand(TC::PasteSectionObject);
  EXPECT_EQ(newMessages(), std::vector<std::string>{"Paste Section Object: Shape object could not be found"});
  EXPECT_EQ(newLines(), std::vector<std::string>{});
}

// Undo replaces the model: the selection taken before it is gone.
TEST_F(SectionTree, NoSelectionOutlivesTheModelItWasTakenFrom) {
  ASSERT_NO_FATAL_FAILURE(section());
  run("xscn.CreateSubSection \"S3\",\"root\"");
  newLines();
  tree.Click(row(L"S2"));
  ASSERT_NE(tree.selectedSubSection(), nullptr);
  doc->Undo();
  // Before the tree is rebuilt ...
  EXPECT_EQ(tree.selectedSubSection(), nullptr);
  tree.OnCommand(TC::DeleteSubSection);
  tree.OnCommand(TC::SetCurrentSubSection);
  EXPECT_EQ(newLines(), std::vector<std::string>{});
  ASSERT_NE(doc->model()->findSubSectionMutable(L"S2"), nullptr);
  EXPECT_EQ(doc->model()->currentName, CString(L"root"));
  // ... and after.
  tree.Click(row(L"C:RECTANGLE"));
  tree.RebuildTree();
  tree.Click(row(L"C:RECTANGLE"));
  ASSERT_NE(tree.selectedShape(), nullptr);
  doc->Redo();
  tree.RebuildTree();
  EXPECT_EQ(tree.selectedShape(), nullptr);
  tree.OnCommand(TC::CopySectionObject);
  EXPECT_TRUE(tree.copiedShape().IsEmpty());
}

// The pane's journal lines replayed after the section's macro build the
// same section on a new document.
TEST_F(SectionTree, TheJournalReplaysToTheSameSection) {
  const std::string setup = std::string(kSection) + "xscn.DeleteMeshes\n";
  ASSERT_NO_FATAL_FAILURE(run(setup));
  newLines();
  newMessages();
  host.answers = {CString(L"Ribs")};
  tree.OnCommand(TC::CreateSubSection);
  tree.Drop(row(L"C:RECTANGLE"), row(L"Ribs"));
  tree.Drop(row(L"L1:EXTRUDED_L"), row(L"S2"));
  tree.Click(row(L"A:RECTANGLE"));
  tree.OnCommand(TC::CopySectionObject);
  tree.OnCommand(TC::PasteSectionObject);
  tree.Click(row(L"S2"));
  tree.OnCommand(TC::PushSubSectionToBack);
  tree.Click(row(L"LC1:UnrestrainedBending"));
  tree.OnCommand(TC::DeleteLoadCondition);
  tree.Click(row(L"S1"));
  tree.OnCommand(TC::DeleteSubSection);
  tree.Click(row(L"Ribs"));
  tree.OnCommand(TC::SetCurrentSubSection);
  tree.Click(row(L"C:RECTANGLE"));
  tree.OnCommand(TC::CopySectionObject);
  tree.OnCommand(TC::PasteSectionObject);
  EXPECT_EQ(newMessages(), std::vector<std::string>{});
  ASSERT_NE(model().findShape(L"C_1"), nullptr);
  EXPECT_EQ(ownerOf(L"C_1"), "Ribs");
  const std::vector<std::string> built = journal_test::describe(model());
  const CString current = model().currentName;

  std::string macro = setup;
  const std::string folder = (root_ / "replay").string();
  std::filesystem::create_directories(folder);
  for (std::size_t at = macro.find("%DIR%"); at != std::string::npos; at = macro.find("%DIR%", at))
    macro.replace(at, 5, folder);
  for (const std::string& line : newLines()) macro += line + "\n";
  std::istringstream in(macro);
  std::ostringstream out;
  std::vector<std::string> replayed;
  CString replayedCurrent;
  const JournalRunResult result = RunMacroHeadless(in, out, nullptr, [&](CXSectionAnalysisDoc& d) {
    replayed = journal_test::describe(*d.model());
    replayedCurrent = d.model()->currentName;
  });
  ASSERT_TRUE(result.ok) << result.lineNumber << ": " << result.line << ": " << result.description;
  EXPECT_EQ(replayed, built);
  EXPECT_EQ(replayedCurrent, current);
}

// A copy is of one document's shape: another document's shape of the
// same name is not pasted in its place, and a closed document's copy is
// forgotten.
TEST_F(SectionTree, PasteStaysInTheDocumentOfTheCopy) {
  ASSERT_NO_FATAL_FAILURE(section());
  tree.Click(row(L"C:RECTANGLE"));
  tree.OnCommand(TC::CopySectionObject);
  auto other = std::make_unique<CXSectionAnalysisDoc>(&frame);
  other->hidden = true;
  other->OnNewDocument();
  {
    std::istringstream in("xscn.SetUnitSystem QHT_SI\nxscn.AddRectangle \"root\",\"C\",7,7,0,0,0,1,0,1\n");
    std::ostringstream out;
    ASSERT_TRUE(JournalInterpreter(DocumentAutomationObject(*other), out).Run(in).ok);
  }
  const std::size_t otherLines = lines(other->journal()->path()).size();
  other->MakeCurrent();
  tree.RebuildTree();
  newMessages();
  tree.OnCommand(TC::PasteSectionObject);
  EXPECT_EQ(other->model()->findShape(L"C_1"), nullptr);
  EXPECT_EQ(other->model()->shapes.GetCount(), 1);
  EXPECT_EQ(lines(other->journal()->path()).size(), otherLines);
  EXPECT_EQ(newMessages(), std::vector<std::string>{"Paste Section Object: Shape object could not be found"});

  // Back in its own document the copy pastes.
  doc->MakeCurrent();
  tree.RebuildTree();
  tree.OnCommand(TC::PasteSectionObject);
  ASSERT_NE(model().findShape(L"C_1"), nullptr);
  EXPECT_NEAR(model().findShape(L"C_1")->area(), 1.0, 1e-12);
  EXPECT_EQ(newLines(), std::vector<std::string>{"xscn.CopyPasteShape \"root\",\"C\",\"C_1\""});

  other.reset();
  EXPECT_TRUE(tree.copiedShape().IsEmpty());
  EXPECT_FALSE(tree.IsEnabled(TC::PasteSectionObject));
}

// A profile's welds and meshes stand under its parent ahead of the
// profile's row, which holds only its material.
TEST_F(SectionTree, AMeshedProfilesMeshRowStandsBeforeIt) {
  ASSERT_NO_FATAL_FAILURE(section());
  run("xscn.SetCurrentSubSection \"L1\"\nxscn.MeshSubSection \"L1\",TRIANGLE_3NODES,20,0.1,1\n"
      "xscn.SetCurrentSubSection \"root\"");
  ASSERT_EQ(sub(L"L1")->meshes.size(), 1u);
  const int s2 = row(L"S2");
  const std::vector<std::pair<std::string, std::pair<int, int>>> expected = {
      {"S2", {0, 2}}, {"Mesh", {2, 2}}, {"L1:EXTRUDED_L", {12, 2}}, {"steel", {5, 3}}, {"A:RECTANGLE", {15, 2}}};
  std::vector<std::pair<std::string, std::pair<int, int>>> shown;
  for (int i = s2; i < s2 + 5; ++i) shown.push_back({tree.rows()[i].label.ToUtf8(), {tree.rows()[i].image, tree.rows()[i].depth}});
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(tree.rows()[s2 + 1].parent, row(L"root"));
}

// Delete Load Condition deletes the condition that was clicked, never
// another of its name in a sub-section made current since.
TEST_F(SectionTree, DeleteLoadConditionDeletesOnlyTheSelectedOne) {
  ASSERT_NO_FATAL_FAILURE(section());
  run("xscn.SetCurrentSubSection \"S2\"\nxscn.CreateFatSectionLoad \"LC1\",0,0,9,9,9,0\n"
      "xscn.SetCurrentSubSection \"root\"");
  tree.Click(row(L"LC1:UnrestrainedBending"));  // root's, the first of the two
  ASSERT_EQ(tree.selectedLoadCondition(), sub(L"root")->findLoadCondition(L"LC1"));
  run("xscn.SetCurrentSubSection \"S2\"");
  newLines();
  newMessages();
  tree.OnCommand(TC::DeleteLoadCondition);
  EXPECT_NE(sub(L"S2")->findLoadCondition(L"LC1"), nullptr);
  EXPECT_NE(sub(L"root")->findLoadCondition(L"LC1"), nullptr);
  EXPECT_EQ(newLines(), std::vector<std::string>{});
  EXPECT_EQ(newMessages(),
            std::vector<std::string>{"Load Condition: Load condition is not a child of the current subsection."});
}

// Quotes, commas and very long names pass through the commands and their
// journal lines: the replay builds the same section.
TEST_F(SectionTree, OddNamesReplayToTheSameSection) {
  const std::string setup = std::string(kSection) +
                            "xscn.DeleteMeshes\n"
                            "xscn.AddRectangle \"root\",\"a\"\"b\",1,1,40,0,0,1,0,1\n";
  ASSERT_NO_FATAL_FAILURE(run(setup));
  newLines();
  newMessages();
  const CString quoted(L"Q\"uo,te");
  const CString longName(std::wstring(3000, L'x').c_str());
  host.answers = {quoted, longName, CString(L"R\"2")};
  tree.OnCommand(TC::CreateSubSection);
  tree.OnCommand(TC::CreateSubSection);
  tree.Drop(row(L"a\"b:RECTANGLE"), row(quoted));
  tree.Click(row(quoted));
  tree.OnCommand(TC::SetCurrentSubSection);
  tree.Click(row(L"a\"b:RECTANGLE"));
  tree.OnCommand(TC::CopySectionObject);
  tree.OnCommand(TC::PasteSectionObject);
  tree.Click(row(longName));
  tree.OnCommand(TC::RenameSubSection);
  EXPECT_EQ(newMessages(), std::vector<std::string>{});
  ASSERT_NE(model().findShape(L"a\"b_1"), nullptr);
  EXPECT_EQ(ownerOf(L"a\"b_1"), "Q\"uo,te");
  ASSERT_NE(sub(L"R\"2"), nullptr);
  const std::vector<std::string> built = journal_test::describe(model());

  std::string macro = setup;
  const std::string folder = (root_ / "replay").string();
  std::filesystem::create_directories(folder);
  for (std::size_t at = macro.find("%DIR%"); at != std::string::npos; at = macro.find("%DIR%", at))
    macro.replace(at, 5, folder);
  for (const std::string& line : newLines()) macro += line + "\n";
  std::istringstream in(macro);
  std::ostringstream out;
  std::vector<std::string> replayed;
  const JournalRunResult result = RunMacroHeadless(in, out, nullptr, [&](CXSectionAnalysisDoc& d) {
    replayed = journal_test::describe(*d.model());
  });
  ASSERT_TRUE(result.ok) << result.lineNumber << ": " << result.line << ": " << result.description;
  EXPECT_EQ(replayed, built);
}

// Row numbers that no row has select, drag and drop nothing.
TEST_F(SectionTree, RowsOutsideTheTreeDoNothing) {
  ASSERT_NO_FATAL_FAILURE(section());
  const int past = static_cast<int>(tree.rows().size());
  for (const int r : {-7, -1, past, past + 100}) {
    tree.Click(r);
    EXPECT_FALSE(tree.BeginDrag(r));
    tree.Drop(r, row(L"S2"));
    tree.Drop(row(L"C:RECTANGLE"), r);
    tree.DoubleClick(r);
  }
  EXPECT_EQ(tree.selectedRow(), -1);
  EXPECT_EQ(ownerOf(L"C"), "root");
  EXPECT_EQ(newLines(), std::vector<std::string>{});
  EXPECT_EQ(newMessages(), std::vector<std::string>{});
}

TEST(SectionTreeDrag, ScrollBandsAtTheEdges) {
  const std::pair<int, int> cases[] = {{0, -1}, {10, -1}, {11, 0}, {189, 0}, {190, 1}, {200, 1}};
  for (const auto& [y, step] : cases) EXPECT_EQ(SectionTreeScrollStep(y, 200), step) << y;
  EXPECT_EQ(SectionTreeTypeImage(12), 12);
  EXPECT_EQ(SectionTreeTypeImage(14), 6);
  EXPECT_EQ(SectionTreeTypeImage(6), -1);
  EXPECT_EQ(SectionTreeTypeImage(20), -1);
}

}  // namespace
