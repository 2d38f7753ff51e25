// The profile dialogs' window on the screen, opened by the section view's
// ribbon commands: cells typed, Apply and OK pressed, the model and the
// journal checked, and a picture of each of the nine written.
#include <wx/choice.h>
#include <wx/textctrl.h>

#include <string>
#include <vector>

#include "analysis/model/CLog.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/tests/test_gui_section_view_support.h"
#include "lorimant/tests/test_journal_replay.h"
#include "lorimant/ui/ProfileDialogWindow.h"
#include "lorimant/view/CThickSectionView.h"
#include "platform/tests/DialogTestSupport.h"

namespace gui_profile_dialogs_test {

using namespace gui_lorimant_test;
using dialog_test::Click;
using dialog_test::Type;
namespace C = SectionCommand;
using D = CFormedExtrudedDlg;

struct Opening {
  int command;
  int kind;
  const char* png;
};

class GuiProfileDialogs : public GuiSectionViewTest {
 protected:
  void SetUp() override {
    GuiSectionViewTest::SetUp();
    if (HasFatalFailure()) return;
    openDocument(0);
    showInFrame();
  }
  std::vector<std::string> journal() const { return lines(doc->journal()->path()); }
  // Runs command and answers the dialog it opened and its window.
  ProfileDialogWindow* open(int command, D*& dialog) {
    EXPECT_TRUE(view->RunCommand(command));
    dialog = dynamic_cast<D*>(view->m_pendingProfileDialog);
    if (dialog == nullptr) return nullptr;
    return dynamic_cast<ProfileDialogWindow*>(dialog->window());
  }
  // Every number cell lies inside the picture and no two overlap.
  static void expectCellsOverPicture(ProfileDialogWindow& w, const D& dialog) {
    const wxRect picture(wxPoint(0, 0), w.picture()->GetSize());
    std::vector<wxRect> seen;
    for (int id : dialog.numberCells()) {
      wxWindow* cell = w.FindWindow(id);
      ASSERT_NE(cell, nullptr) << id;
      EXPECT_EQ(cell->GetParent(), w.picture()) << id;
      const wxRect r = cell->GetRect();
      EXPECT_TRUE(picture.Contains(r)) << id;
      for (const wxRect& other : seen) EXPECT_FALSE(other.Intersects(r)) << id;
      seen.push_back(r);
    }
  }
};

TEST_F(GuiProfileDialogs, EachRibbonCommandOpensItsDialog) {
  const Opening openings[] = {
      {C::ExtrudedTee, 11, "profile_extruded_t"}, {C::ExtrudedL, 12, "profile_extruded_l"},
      {C::FormedL, 13, "profile_formed_l"},       {C::IBeam, 14, "profile_ibeam"},
      {C::ExtrudedC, 15, "profile_extruded_c"},   {C::ExtrudedZ, 16, "profile_extruded_z"},
      {C::FormedC, 17, "profile_formed_c"},       {C::FormedZ, 18, "profile_formed_z"},
      {C::ExtrudedJ, 19, "profile_extruded_j"},
  };
  for (const Opening& o : openings) {
    D* dialog = nullptr;
    ProfileDialogWindow* w = open(o.command, dialog);
    ASSERT_NE(w, nullptr) << o.png;
    const ProfileMember& member = *ProfileMemberOf(o.kind);
    EXPECT_EQ(&dialog->member(), &member);
    EXPECT_EQ(w->GetTitle(), wxString(member.caption));
    EXPECT_EQ(dialog->parentName(), CString(L"root"));
    EXPECT_EQ(w->GetDlgItemText(D::IDC_UNITS), CString(L"CM"));
    EXPECT_EQ(w->GetDlgItemText(1112), CString(L"12"));
    EXPECT_EQ(static_cast<wxChoice*>(w->FindWindow(D::IDC_ORIGIN))->GetCount(),
              static_cast<unsigned>(member.pointCount));
    EXPECT_EQ(static_cast<wxChoice*>(w->FindWindow(D::IDC_DIRECTION))->GetSelection(), 1);
    EXPECT_NE(w->FindWindow(member.applyId), nullptr);
    for (const ProfileShapeButton& b : member.shapeButtons) EXPECT_NE(w->FindWindow(b.id), nullptr);
    expectCellsOverPicture(*w, *dialog);
    gui_test::SaveWindowPng(*w, o.png);
    Click(*w, IDCANCEL);
    EXPECT_EQ(view->m_pendingProfileDialog, nullptr);
    EXPECT_FALSE(doc->IsModelessDialogOpen(dialog));
  }
}

TEST_F(GuiProfileDialogs, ExtrudedLTypedAppliedRenamedAndOkReplaysToTheSamePart) {
  D* dialog = nullptr;
  ProfileDialogWindow* w = open(C::ExtrudedL, dialog);
  ASSERT_NE(w, nullptr);
  Type(*w, D::IDC_NAME, "L1");
  Type(*w, 1112, "14");
  Type(*w, D::IDC_X, "2");
  Click(*w, 200);
  EXPECT_TRUE(Hooks::messageBoxes().empty());
  EXPECT_EQ(journal().back(), "xscn.AddExtrudedL \"root\",\"L1\",14,1,10,1,1,90,0,1,2,0,0,-1");
  EXPECT_NE(doc->model()->findSubSection(L"L1"), nullptr);
  EXPECT_TRUE(w->IsShown());
  // Enter and Escape neither close it nor press a button.
  for (int key : {WXK_RETURN, WXK_ESCAPE}) {
    wxKeyEvent press(wxEVT_CHAR_HOOK);
    press.m_keyCode = key;
    w->HandleWindowEvent(press);
    gui_test::Flush();
  }
  EXPECT_TRUE(doc->IsModelessDialogOpen(dialog));
  EXPECT_EQ(journal().back(), "xscn.AddExtrudedL \"root\",\"L1\",14,1,10,1,1,90,0,1,2,0,0,-1");

  Type(*w, D::IDC_NAME, "L2");
  Click(*w, IDOK);
  const std::vector<std::string> all = journal();
  ASSERT_GE(all.size(), 2u);
  EXPECT_EQ(all[all.size() - 2], "xscn.DeleteSubSectionAndChildShapes \"L1\"");
  EXPECT_EQ(all.back(), "xscn.AddExtrudedL \"root\",\"L2\",14,1,10,1,1,90,0,1,2,0,0,-1");
  EXPECT_EQ(doc->model()->findSubSection(L"L1"), nullptr);
  EXPECT_EQ(view->m_pendingProfileDialog, nullptr);
  const auto pieces = doc->model()->findSubSection(L"L2")->getShapesRecursive()->GetCount();
  const JournalRunResult result = ReplayJournalLines(all, [&](CXSectionAnalysisDoc& replayed) {
    EXPECT_EQ(replayed.model()->findSubSection(L"L1"), nullptr);
    const CSubSection* l2 = replayed.model()->findSubSection(L"L2");
    ASSERT_NE(l2, nullptr);
    EXPECT_EQ(l2->getShapesRecursive()->GetCount(), pieces);
  });
  EXPECT_TRUE(result.ok) << result.lineNumber << ": " << result.line << ": " << result.description;
  doc->MakeCurrent();
}

struct TypedBuild {
  int command;
  int cell;
  const char* value;
  const char* line;
};

// Typed into the I-beam's and the formed C's cells, Apply then OK.
TEST_F(GuiProfileDialogs, IBeamAndFormedCBuildWhatIsTyped) {
  const TypedBuild builds[] = {
      {C::IBeam, 1162, "8", "xscn.AddIBeam  \"root\",\"I1\",12,1,4.5,1,10,1,1,1,90,4.5,1,8,1,1,1,90,0,1,0,0,0,-1,0"},
      {C::FormedC, 1116, "0.5", "xscn.AddFormedC \"root\",\"I1\",12,0.5,10,1,90,10,1,90,0,1,0,0,0"},
  };
  for (const TypedBuild& b : builds) {
    D* dialog = nullptr;
    ProfileDialogWindow* w = open(b.command, dialog);
    ASSERT_NE(w, nullptr);
    Type(*w, D::IDC_NAME, "I1");
    Type(*w, b.cell, b.value);
    Click(*w, 200);
    EXPECT_TRUE(Hooks::messageBoxes().empty());
    EXPECT_EQ(journal().back(), b.line);
    Click(*w, IDOK);
    const std::vector<std::string> all = journal();
    EXPECT_EQ(all[all.size() - 2], "xscn.DeleteSubSectionAndChildShapes \"I1\"");
    EXPECT_EQ(all.back(), b.line);
    EXPECT_NE(doc->model()->findSubSection(L"I1"), nullptr);
    EXPECT_FALSE(doc->IsModelessDialogOpen(dialog));
    // The next member gets a fresh part of the same name.
    doc->DeleteSubSectionAndChildShapes(L"I1");
  }
}

}  // namespace gui_profile_dialogs_test
