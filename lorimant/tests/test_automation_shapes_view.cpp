// Delete and Undo Union of the section view, reached through the automation
// methods DeleteSelected, SelectShape and BreakUnion.
#include "analysis/model/CDot.h"
#include "lorimant/automation/ILorimant.h"
#include "test_view_support.h"

using namespace view_test;

namespace {

class SectionEditCommands : public SectionViewTest {
 protected:
  HRESULT invoke(const wchar_t* name, std::vector<COleVariant> args = {}) {
    excep = EXCEPINFO();
    const auto& table = ILorimantDispatchTable();
    return table.Invoke(*doc, table.GetIDOfName(name), DISPATCH_METHOD, std::move(args), nullptr, &excep);
  }
  std::vector<std::string> linesWith(const char* text) {
    std::vector<std::string> out;
    for (const std::string& l : lines(journals().back()))
      if (l.find(text) != std::string::npos) out.push_back(l);
    return out;
  }
  // The dot record of shape's defining point at (x, y).
  DspRecord* dotRecord(CShapeAnalysis* shape, double x, double y) {
    for (DspRecord* r : records(SectionRecord::kDot)) {
      auto* dot = static_cast<CDot*>(r->object);
      if (dot->client == shape && std::abs(dot->location.x - x) < 1e-9 && std::abs(dot->location.y - y) < 1e-9)
        return r;
    }
    return nullptr;
  }
  EXCEPINFO excep;
};

}  // namespace

TEST_F(SectionEditCommands, DeleteSelectedDeletesEachTargetOnceAndJournalsOnce) {
  openView();
  CShapeAnalysis* a = rectangle(L"A", 0, 0, 2, 1);
  rectangle(L"B", 5, 0, 1, 1);
  // A profile of two pieces: picking both deletes the profile once.
  auto* profile = new CSubSection(model(), root());
  profile->name(L"P");
  profile->sectionKind = 11;
  root()->addChildSubSection(profile);
  model()->subSections.push_back(profile);
  for (const wchar_t* piece : {L"P1", L"P2"}) {
    auto* s = new CShapeAnalysis(model());
    CString n(piece);
    s->sector(profile, model(), n, piece[1] == L'1' ? 10 : 12, 0, 1, 1, 0, 90, 90, qhtShapeRectangle, 0, 1, 0.0,
              false);
  }
  view->RebuildAndRedraw();
  DspRecord* vertex = dotRecord(a, 0, 0);
  ASSERT_NE(vertex, nullptr);
  view->addPickList(vertex);
  ASSERT_EQ(invoke(L"SelectShape", {COleVariant(L"A")}), S_OK);
  ASSERT_EQ(invoke(L"SelectShape", {COleVariant(L"P")}), S_OK);
  ASSERT_GE(view->COpenGLView::m_pickList.GetCount(), 4);

  ASSERT_EQ(invoke(L"DeleteSelected"), S_OK);
  EXPECT_EQ(model()->findShape(L"A"), nullptr);
  EXPECT_EQ(model()->findShape(L"P1"), nullptr);
  EXPECT_EQ(model()->findShape(L"P2"), nullptr);
  EXPECT_EQ(model()->findSubSection(L"P"), nullptr);
  EXPECT_NE(model()->findShape(L"B"), nullptr);
  EXPECT_EQ(view->COpenGLView::m_pickList.GetCount(), 0);
  // The document's own deletion line is held back by the block.
  EXPECT_EQ(linesWith("xscn.Delete"), std::vector<std::string>{"xscn.DeleteSelected"});
}

TEST_F(SectionEditCommands, SelectingAShapeWithoutARecordIsRefused) {
  openView();
  rectangle(L"A", 0, 0, 2, 1);
  // Not rebuilt: the shape has no record yet.
  EXPECT_EQ(invoke(L"SelectShape", {COleVariant(L"A")}), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.bstrDescription, CString(L"Selection of shape failed, object not found in display list."));
}

TEST_F(SectionEditCommands, BreakUnionIsRefusedWithAMeshAndJournalledOnlyWhenDone) {
  openView();
  CShapeAnalysis* a = rectangle(L"A", 0, 0, 2, 1);
  rectangle(L"B", 1, 0, 2, 1);
  ASSERT_EQ(invoke(L"Union"), S_OK);
  ASSERT_TRUE(root()->isUnionOn());
  mesh(a);
  ASSERT_FALSE(root()->meshes.empty());

  ASSERT_EQ(invoke(L"BreakUnion"), S_OK);
  ASSERT_FALSE(host.messages.empty());
  EXPECT_EQ(host.messages.back(), CString(L"Meshes must be deleted before breaking section apart"));
  EXPECT_TRUE(root()->isUnionOn());
  EXPECT_TRUE(linesWith("BreakUnion").empty());

  root()->deleteMesh();
  ASSERT_EQ(invoke(L"BreakUnion"), S_OK);
  EXPECT_FALSE(root()->getUnionShapes() != nullptr && !root()->getUnionShapes()->IsEmpty());
  EXPECT_NE(root()->findShape(L"A"), nullptr);
  EXPECT_NE(root()->findShape(L"B"), nullptr);
  EXPECT_EQ(linesWith("BreakUnion"), std::vector<std::string>{"xscn.BreakUnion"});
}
