// The mesh and material commands of the section view's window as a user
// runs them: Mesh Selected chosen from the context menu through the real
// mesh dialog, Set Material through the real material manager, each filled
// and confirmed with its buttons; and a picture of the meshed section with
// its node identifiers.
#include <wx/frame.h>
#include <wx/listctrl.h>
#include <wx/menu.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "analysis/model/CLog.h"
#include "analysis/model/CMetal.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/analyses/MaterialManagerLogic.h"
#include "lorimant/automation/MaterialRecord.h"
#include "lorimant/shapes/CShapeAnalysisMeshDlg.h"
#include "lorimant/tests/test_gui_support.h"
#include "lorimant/ui/CommandIds.h"
#include "lorimant/ui/SectionCanvas.h"
#include "lorimant/view/CThickSectionView.h"
#include "platform/sqldb/CSQLDatabase.h"
#include "platform/tests/DialogTestSupport.h"

namespace gui_mesh_commands_test {

using namespace gui_lorimant_test;
using dialog_test::Click;
using dialog_test::ModalScript;
using dialog_test::Type;
namespace C = SectionCommand;

// A canvas that keeps the labels of the menus it was to pop up.
class MenuCanvas : public SectionCanvas {
 public:
  using SectionCanvas::SectionCanvas;
  std::vector<wxString> labels;

 protected:
  void showPopup(wxMenu& menu, const wxPoint&) override {
    labels.clear();
    for (const wxMenuItem* item : menu.GetMenuItems()) labels.push_back(item->GetItemLabel());
  }
};

void WaitEvents(int ms) {
  for (int waited = 0; waited < ms; waited += 20) {
    gui_test::Flush();
    wxMilliSleep(20);
  }
  gui_test::Flush();
}

class GuiMeshCommands : public GuiLorimantTest {
 protected:
  void SetUp() override {
    GuiLorimantTest::SetUp();
    if (HasFatalFailure()) return;
    database = root_ / "materials.sqldb";
    CSQLDatabase db(database.wstring());
    db.createDatabase(database.wstring());
    db.createMetalTable();
    db.createControlsTable();
    for (const wchar_t* name : {L"Aluminum Default", L"Steel Default"}) {
      MaterialRecord record;
      record.metal.name = name;
      record.metal.units = L"USCSin";
      record.metal.E(29e6);
      ASSERT_TRUE(record.write(db, false));
    }
    db.close();
    doc = std::make_unique<CXSectionAnalysisDoc>();
    doc->hidden = true;
    doc->OnNewDocument();
    doc->setUnitSystem(1);
    doc->model()->materialDatabasePath = CString(database.wstring().c_str());
    view = CThickSectionView::createFor(*doc, 640, 480);
    a = rectangle(L"a", 0, 0, 4, 2);
    a->material(doc->FetchMaterial(L"Steel Default"));
    b = rectangle(L"b", 6, 0, 2, 2);
    view->RebuildAndRedraw();

    frame = new wxFrame(nullptr, wxID_ANY, "Section view", wxPoint(40, 40), wxSize(700, 540));
    canvas = new MenuCanvas(frame, *view);
    frame->Show();
    WaitEvents(200);
    view->fullView();
  }
  void TearDown() override {
    if (frame != nullptr) frame->Destroy();
    gui_test::Flush();
    view.reset();
    doc.reset();
    GuiLorimantTest::TearDown();
  }

  CShapeAnalysis* rectangle(const wchar_t* name, double x, double y, double w, double h) {
    auto* s = new CShapeAnalysis(doc->model());
    CString n(name);
    s->sector(doc->model()->rootSubSection(), doc->model(), n, x, y, w, h, 0, 90, 90, qhtShapeRectangle, 0, 1, 0.0,
              false);
    return s;
  }
  void pick(const CShapeAnalysis* s) {
    view->updateDisplayLists();
    DspRecord* r = view->findDspRecord(static_cast<const void*>(s));
    ASSERT_NE(r, nullptr);
    view->addPickList(r);
  }
  // Chooses the context menu's entry labelled label, as a user does.
  void choose(const wxString& label, UINT id) {
    canvas->popupMenu(view->contextMenu(), CPoint(20, 20));
    ASSERT_NE(std::find(canvas->labels.begin(), canvas->labels.end(), label), canvas->labels.end()) << label;
    wxCommandEvent chosen(wxEVT_MENU, WxCommandId(id));
    chosen.SetEventObject(canvas);
    canvas->HandleWindowEvent(chosen);
    gui_test::Flush();
  }
  std::vector<std::string> journalled(const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& l : lines(doc->journal()->path()))
      if (l.rfind(prefix, 0) == 0) out.push_back(l);
    return out;
  }

  fs::path database;
  std::unique_ptr<CXSectionAnalysisDoc> doc;
  std::unique_ptr<CThickSectionView> view;
  CShapeAnalysis* a = nullptr;
  CShapeAnalysis* b = nullptr;
  wxFrame* frame = nullptr;
  MenuCanvas* canvas = nullptr;
};

TEST_F(GuiMeshCommands, MeshSelectedFromTheContextMenuThroughTheMeshDialog) {
  pick(a);
  int dialogs = 0;
  {
    ModalScript script([&](CDialog& dialog) {
      ++dialogs;
      EXPECT_EQ(dialog.GetTitle(), "2D Meshing");
      gui_test::SaveWindowPng(dialog, "mesh_selected_dialog");
      Click(dialog, IDOK);
    });
    choose("Mesh Selected", C::MeshSelected);
  }
  EXPECT_EQ(dialogs, 1);
  // The local size control follows it in the menu.
  const auto mesh = std::find(canvas->labels.begin(), canvas->labels.end(), "Mesh Selected");
  ASSERT_NE(mesh + 1, canvas->labels.end());
  EXPECT_EQ(*(mesh + 1), "Local Size Control");
  EXPECT_EQ(journalled("xscn.MeshShape"), std::vector<std::string>{"xscn.MeshShape \"a\",TRIANGLE_3NODES,100,0.001,1"});
  ASSERT_EQ(doc->model()->rootSubSection()->meshes.size(), 1u);

  ASSERT_TRUE(view->RunCommand(C::DisplayNodeIds));
  canvas->Refresh();
  WaitEvents(200);
  gui_test::SaveWindowPng(*frame, "meshed_section_node_ids");
  ASSERT_TRUE(view->RunCommand(C::DisplayElementIds));
  canvas->Refresh();
  WaitEvents(200);
  gui_test::SaveWindowPng(*frame, "meshed_section_element_ids");
}

TEST_F(GuiMeshCommands, SetMaterialThroughTheMaterialManager) {
  pick(b);
  {
    ModalScript script([&](CDialog& d) {
      EXPECT_EQ(d.GetTitle(), wxString("Metals Material Database"));
      auto& list = dynamic_cast<wxListCtrl&>(*d.GetDlgItem(MaterialManagerLogic::IDC_MATERIALS));
      const long row = list.FindItem(-1, "Steel Default");
      ASSERT_GE(row, 0);
      list.SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
      wxListEvent selected(wxEVT_LIST_ITEM_SELECTED, list.GetId());
      selected.m_itemIndex = row;
      selected.SetEventObject(&list);
      list.HandleWindowEvent(selected);
      gui_test::Flush();
      gui_test::SaveWindowPng(d, "set_material_manager");
      Click(d, MaterialManagerLogic::IDC_APPLY_MATERIAL);
    });
    choose("Set Material ", C::SetMaterialContext);
  }
  EXPECT_EQ(journalled("xscn.ApplyMaterial "), std::vector<std::string>{"xscn.ApplyMaterial \"b\", \"Steel Default\""});
  ASSERT_TRUE(b->material());
  EXPECT_EQ(b->material()->name, CString(L"Steel Default"));
}

}  // namespace gui_mesh_commands_test
