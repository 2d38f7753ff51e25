// The "Section Tree" pane in the running program, driven with the mouse as
// a user drives it: a right click opens the menu with the commands the
// selection allows, Create New SubSection asks through the real text
// dialog, and a shape dragged onto another sub-section moves there.
#include <wx/defs.h>
// after wx/defs.h: it needs wx's configuration to declare anything
#include <wx/menu.h>
#include <wx/uiaction.h>

#include <sstream>
#include <string>
#include <vector>

#include "analysis/model/CLog.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/app/CClassToolBar.h"
#include "lorimant/app/CDragDropTreeCtrl.h"
#include "lorimant/app/CSectionTreeView.h"
#include "lorimant/automation/JournalInterpreter.h"
#include "lorimant/tests/test_gui_support.h"
#include "platform/tests/DialogTestSupport.h"

namespace {

using namespace gui_lorimant_test;

const char* const kSection =
    "xscn.SetUnitSystem QHT_SI\n"
    "xscn.AddRectangle \"root\",\"A\",4,2,0,0,0,1,0,1\n"
    "xscn.CreateSubSection \"S1\",\"root\"\n"
    "xscn.CreateSubSection \"S2\",\"root\"\n"
    "xscn.AddRectangle \"S1\",\"U1\",2,2,10,0,0,1,0,1\n"
    "xscn.AddExtrudedL \"root\",\"L1\",10,1,8,1.2,0.5,90,0,2,20,0,0,0\n"
    "xscn.AddRectangle \"root\",\"C\",1,1,30,0,0,1,0,1\n"
    "xscn.CreateFatSectionLoad \"LC1\",0,0,1,2,3,0\n";

class GuiSectionTree : public GuiLorimantTest {
 protected:
  void SetUp() override {
    GuiLorimantTest::SetUp();
    ASSERT_TRUE(start());
    ASSERT_EQ(documents().size(), 1u);
    frame().Raise();
    std::istringstream in(kSection);
    std::ostringstream out;
    const JournalRunResult result = JournalInterpreter(DocumentAutomationObject(doc()), out).Run(in);
    ASSERT_TRUE(result.ok) << result.lineNumber << ": " << result.line << ": " << result.description;
    // The load's method runs no change routine: the tree is shown again here.
    frame().RefreshSectionTree();
    gui_test::Flush();
    seen_ = lines(doc().journal()->path()).size();
  }
  void TearDown() override {
    CSectionTreeView::SetMenuRunner(nullptr);
    GuiLorimantTest::TearDown();
  }

  CXSectionAnalysisDoc& doc() const { return documents()[0]->core(); }
  CSectionTreeView& pane() const { return frame().sectionTree(); }
  CDragDropTreeCtrl& tree() const { return pane().tree(); }

  // The item whose label is text (invalid when none).
  wxTreeItemId item(const wxString& text) const {
    for (int row = 0; row < static_cast<int>(pane().logic().rows().size()); ++row) {
      const wxTreeItemId id = tree().ItemOf(row);
      if (id.IsOk() && tree().GetItemText(id) == text) return id;
    }
    return wxTreeItemId();
  }
  // The middle of an item's label on the screen.
  wxPoint onScreen(const wxTreeItemId& id) const {
    wxRect rect;
    EXPECT_TRUE(tree().GetBoundingRect(id, rect, true));
    return tree().ClientToScreen(wxPoint(rect.x + rect.width / 2, rect.y + rect.height / 2));
  }
  // The journal lines written since the last call.
  std::vector<std::string> newLines() {
    const std::vector<std::string> all = lines(doc().journal()->path());
    std::vector<std::string> fresh(all.begin() + static_cast<std::ptrdiff_t>(std::min(seen_, all.size())), all.end());
    seen_ = all.size();
    return fresh;
  }
  // Moves the real pointer to p and lets the program see it.
  static void moveTo(wxUIActionSimulator& sim, const wxPoint& p) {
    sim.MouseMove(p);
    gui_test::Flush();
    wxMilliSleep(20);
  }

  std::size_t seen_ = 0;
};

TEST_F(GuiSectionTree, ShowsTheSectionWithItsImages) {
  const std::vector<SectionTreeRow>& rows = pane().logic().rows();
  ASSERT_EQ(tree().GetCount(), rows.size());
  std::vector<std::string> labels;
  for (const SectionTreeRow& r : rows) labels.push_back(r.label.ToUtf8());
  EXPECT_EQ(labels, (std::vector<std::string>{"Section Document (SIcm Units) ", "root", "S1", "U1:RECTANGLE", "S2",
                                           "L1:EXTRUDED_L", "A:RECTANGLE", "C:RECTANGLE", "LC1:UnrestrainedBending"}));
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    const wxTreeItemId id = tree().ItemOf(row);
    ASSERT_TRUE(id.IsOk());
    EXPECT_EQ(tree().GetItemText(id), wxString(rows[row].label.GetString()));
    EXPECT_EQ(tree().GetItemImage(id), rows[row].image);
    EXPECT_EQ(tree().RowOf(id), row);
  }
  EXPECT_EQ(tree().GetItemText(tree().GetRootItem()), "Section Document (SIcm Units) ");
  EXPECT_TRUE(tree().IsExpanded(item("root")));
  EXPECT_FALSE(tree().IsExpanded(item("S1")));
  EXPECT_EQ(tree().GetItemImage(item("L1:EXTRUDED_L")), 12);
  EXPECT_EQ(tree().GetImageList()->GetImageCount(), 25);
  EXPECT_EQ(pane().toolBar().GetId(), 1345);
  EXPECT_EQ(pane().toolBar().GetToolsCount(), 1u);
  // The tree fills the pane below the bar, one pixel inside its border;
  // labels wider than the pane scroll into view.
  EXPECT_EQ(tree().GetParent()->GetSize().x - tree().GetSize().x, 2);
  EXPECT_GT(tree().GetVirtualSize().x, tree().GetClientSize().x);
  tree().Expand(item("S1"));
  EXPECT_FALSE(gui_test::SaveWindowPng(pane(), "gui_section_tree").empty());
  // The 25 pictures side by side, three times their size, to be looked at.
  wxBitmap strip(25 * 18, 18, 24);
  {
    wxMemoryDC dc(strip);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    for (int i = 0; i < 25; ++i) tree().GetImageList()->Draw(i, dc, i * 18 + 1, 1, wxIMAGELIST_DRAW_TRANSPARENT);
  }
  const wxImage pictures = strip.ConvertToImage().Scale(25 * 18 * 3, 18 * 3, wxIMAGE_QUALITY_NEAREST);
  const fs::path file = fs::path(GetProgramFolder().ToUtf8()) / "gui_section_tree_images.png";
  EXPECT_TRUE(pictures.SaveFile(wxString::FromUTF8(file.string()), wxBITMAP_TYPE_PNG));
  EXPECT_FALSE(gui_test::SaveWindowPng(frame(), "gui_section_tree_frame").empty());
}

TEST_F(GuiSectionTree, RightClickOpensTheMenuWithTheSelectionsCommands) {
  std::vector<std::pair<wxString, bool>> shown;
  int menus = 0;
  CSectionTreeView::SetMenuRunner([&](wxMenu& menu, wxWindow& window, const wxPoint&) {
    ++menus;
    EXPECT_EQ(&window, static_cast<wxWindow*>(&tree()));
    shown.clear();
    for (const wxMenuItem* entry : menu.GetMenuItems()) shown.push_back({entry->GetItemLabelText(), entry->IsEnabled()});
    return wxID_NONE;
  });
  wxUIActionSimulator sim;
  moveTo(sim, onScreen(item("S2")));
  sim.MouseClick(wxMOUSE_BTN_RIGHT);
  gui_test::Flush();
  ASSERT_EQ(menus, 1);
  EXPECT_EQ(tree().GetItemText(tree().GetSelection()), "S2");
  const std::vector<std::pair<wxString, bool>> expected = {
      {"Create New SubSection", true},       {"Set Current SubSection", true},  {"Delete Load Condition", false},
      {"Delete SubSection", true},           {"Rename SubSection", true},       {"Bring SubSection To Top", true},
      {"Push SubSection To Back", true},     {"Display Section Properties", true}, {"Copy Section Object", false},
      {"Paste Section Object", false}};
  EXPECT_EQ(shown, expected);

  // A shape: only Create (root is current) and Copy.
  moveTo(sim, onScreen(item("C:RECTANGLE")));
  sim.MouseClick(wxMOUSE_BTN_RIGHT);
  gui_test::Flush();
  ASSERT_EQ(menus, 2);
  std::vector<wxString> enabled;
  for (const auto& [label, on] : shown)
    if (on) enabled.push_back(label);
  EXPECT_EQ(enabled, (std::vector<wxString>{"Create New SubSection", "Copy Section Object"}));
  EXPECT_EQ(newLines(), std::vector<std::string>{});
}

TEST_F(GuiSectionTree, CreateNewSubSectionThroughTheTextDialog) {
  CSectionTreeView::SetMenuRunner([&](wxMenu& menu, wxWindow&, const wxPoint&) {
    const int create = CSectionTreeView::MenuItemId(SectionTreeCommand::CreateSubSection);
    EXPECT_TRUE(menu.IsEnabled(create));
    return create;
  });
  int asked = 0;
  dialog_test::ModalScript script([&](CDialog& d) {
    ++asked;
    EXPECT_EQ(d.GetDlgItemText(401), CString(L"Enter name for the new subsection."));
    gui_test::SaveWindowPng(d, "gui_section_tree_new_subsection");
    dialog_test::Type(d, 467, "Ribs");
    dialog_test::Click(d, IDOK);
  });
  wxUIActionSimulator sim;
  moveTo(sim, onScreen(item("root")));
  sim.MouseClick(wxMOUSE_BTN_RIGHT);
  gui_test::Flush();
  EXPECT_EQ(asked, 1);
  ASSERT_TRUE(item("Ribs").IsOk());
  EXPECT_EQ(tree().GetItemText(tree().GetItemParent(item("Ribs"))), "root");
  ASSERT_NE(doc().model()->findSubSection(L"Ribs"), nullptr);
  EXPECT_EQ(newLines(), std::vector<std::string>{"xscn.CreateSubSection \"Ribs\",\"root\""});
  EXPECT_TRUE(Hooks::messageBoxes().empty());
}

TEST_F(GuiSectionTree, DraggingAShapeOntoASubSectionMovesIt) {
  const wxPoint from = onScreen(item("C:RECTANGLE"));
  const wxPoint to = onScreen(item("S2"));
  wxUIActionSimulator sim;
  moveTo(sim, from);
  sim.MouseDown();
  gui_test::Flush();
  // The control starts a drag after a few moves with the button held.
  for (int i = 1; i <= 8; ++i) moveTo(sim, from + (to - from) * i / 8);
  EXPECT_TRUE(tree().IsDragging());
  // Resting on the closed S1 opens it after half a second.
  moveTo(sim, onScreen(item("S1")));
  EXPECT_FALSE(tree().IsExpanded(item("S1")));
  for (int i = 0; i < 40 && !tree().IsExpanded(item("S1")); ++i) moveTo(sim, onScreen(item("S1")));
  EXPECT_TRUE(tree().IsExpanded(item("S1")));
  EXPECT_TRUE(tree().IsDragging());
  moveTo(sim, onScreen(item("S2")));
  EXPECT_EQ(tree().DropTarget(), item("S2"));
  EXPECT_FALSE(gui_test::SaveWindowPng(pane(), "gui_section_tree_drag").empty());
  sim.MouseUp();
  gui_test::Flush();
  EXPECT_FALSE(tree().IsDragging());
  const CShapeAnalysis* moved = doc().model()->findShape(L"C");
  ASSERT_NE(moved, nullptr);
  ASSERT_NE(moved->subSection(), nullptr);
  EXPECT_EQ(moved->subSection()->name(), CString(L"S2"));
  EXPECT_EQ(newLines(), std::vector<std::string>{"xscn.ChangeShapeParent \"C\",\"S2\""});
  ASSERT_TRUE(item("S2").IsOk());
  EXPECT_EQ(tree().GetItemText(tree().GetItemParent(item("C:RECTANGLE"))), "S2");
  // The moved shape stays selected, in the control as in the pane's logic.
  EXPECT_EQ(tree().GetSelection(), item("C:RECTANGLE"));
  EXPECT_TRUE(Hooks::messageBoxes().empty());

  // A sub-section does not drag: the refusal is shown and nothing moves.
  const wxPoint s1 = onScreen(item("S1"));
  moveTo(sim, s1);
  sim.MouseDown();
  gui_test::Flush();
  for (int i = 1; i <= 6; ++i) moveTo(sim, s1 + wxPoint(0, 3 * i));
  sim.MouseUp();
  gui_test::Flush();
  EXPECT_FALSE(tree().IsDragging());
  ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
  EXPECT_EQ(Hooks::messageBoxes()[0].text,
            CString(L"Subsections may not be drag/dropped.   There may only one level of subsections (depth of two in "
                    L"tree)"));
  EXPECT_EQ(newLines(), std::vector<std::string>{});
}


// A drop off the items moves nothing; a rebuild while an item is carried
// (the model changed elsewhere) ends the drag and frees the mouse, and the
// release that follows drops nothing.
TEST_F(GuiSectionTree, DragsThatEndWithoutATarget) {
  const wxPoint from = onScreen(item("C:RECTANGLE"));
  wxRect last;
  ASSERT_TRUE(tree().GetBoundingRect(item("LC1:UnrestrainedBending"), last, true));
  const wxPoint offItems = tree().ClientToScreen(wxPoint(20, last.GetBottom() + 60));
  wxUIActionSimulator sim;
  for (const bool rebuilt : {false, true}) {
    const wxPoint to = rebuilt ? onScreen(item("S2")) : offItems;
    moveTo(sim, from);
    sim.MouseDown();
    gui_test::Flush();
    for (int i = 1; i <= 8; ++i) moveTo(sim, from + (to - from) * i / 8);
    ASSERT_TRUE(tree().IsDragging()) << rebuilt;
    EXPECT_EQ(tree().DropTarget().IsOk(), rebuilt);
    if (rebuilt) {
      frame().RefreshSectionTree();
      EXPECT_FALSE(tree().IsDragging());
      EXPECT_FALSE(tree().HasCapture());
      moveTo(sim, onScreen(item("S2")));
    }
    sim.MouseUp();
    gui_test::Flush();
    EXPECT_FALSE(tree().IsDragging());
    EXPECT_FALSE(tree().HasCapture());
  }
  EXPECT_EQ(doc().model()->findShape(L"C")->subSection()->name(), CString(L"root"));
  EXPECT_EQ(newLines(), std::vector<std::string>{});
  EXPECT_TRUE(Hooks::messageBoxes().empty());
}

// A double click opens a load condition's dialog; a selection taken before
// Undo is gone from the menu the tool bar's button opens after it.
TEST_F(GuiSectionTree, DoubleClickAndTheMenuAfterUndo) {
  std::ostringstream out;
  std::istringstream load("xscn.ApplyUnrestrainedBendingForces \"root\",\"LB\",8,10,0,1\n");
  ASSERT_TRUE(JournalInterpreter(DocumentAutomationObject(doc()), out).Run(load).ok);
  frame().RefreshSectionTree();
  gui_test::Flush();
  Hooks::clearRecords();
  wxUIActionSimulator sim;
  moveTo(sim, onScreen(item("LB:UnrestrainedBending")));
  sim.MouseDblClick();
  gui_test::Flush();
  ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
  EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"Unrestrained Bending"));
  EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"Unrestrained Bending is not available."));
  ASSERT_NE(doc().model()->findSubSection(L"root")->curAppLC(), nullptr);
  EXPECT_EQ(doc().model()->findSubSection(L"root")->curAppLC()->name(), CString(L"LB"));

  std::vector<wxString> enabled;
  wxWindow* shownOn = nullptr;
  CSectionTreeView::SetMenuRunner([&](wxMenu& menu, wxWindow& window, const wxPoint&) {
    shownOn = &window;
    enabled.clear();
    for (const wxMenuItem* entry : menu.GetMenuItems())
      if (entry->IsEnabled()) enabled.push_back(entry->GetItemLabelText());
    return CSectionTreeView::MenuItemId(SectionTreeCommand::DeleteSubSection);
  });
  moveTo(sim, onScreen(item("S2")));
  sim.MouseClick();
  gui_test::Flush();
  ASSERT_NE(pane().logic().selectedSubSection(), nullptr);
  std::istringstream undo("xscn.Undo\n");
  ASSERT_TRUE(JournalInterpreter(DocumentAutomationObject(doc()), out).Run(undo).ok);
  gui_test::Flush();
  newLines();
  wxCommandEvent click(wxEVT_TOOL, CClassToolBar::kMenuButton);
  click.SetEventObject(&pane().toolBar());
  pane().toolBar().HandleWindowEvent(click);
  gui_test::Flush();
  EXPECT_EQ(shownOn, static_cast<wxWindow*>(&pane().toolBar()));
  EXPECT_EQ(enabled, std::vector<wxString>{"Create New SubSection"});
  EXPECT_NE(doc().model()->findSubSection(L"S2"), nullptr);
  EXPECT_EQ(newLines(), std::vector<std::string>{});
}

}  // namespace
