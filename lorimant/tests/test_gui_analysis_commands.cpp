// The analysis commands of the section view's window, from its frame's menu:
// a bending dialog's window opens, blocks the shape commands of the menu and
// closes with its own button, after which they come back; and the picture
// of a plastic result with its arrows and markers, written for a person to
// look at.
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/sizer.h>

#include <memory>
#include <tuple>
#include <vector>

#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/CSectionForces.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/tests/test_gui_support.h"
#include "lorimant/ui/CommandIds.h"
#include "lorimant/ui/SectionCanvas.h"
#include "lorimant/view/CThickSectionView.h"

namespace test_gui_analysis_commands {

using namespace gui_lorimant_test;
namespace C = SectionCommand;

// A stand-in for an analysis dialog: a small modeless window with a Close
// button that tells the view, as a bending dialog does when it closes. Its
// window has no parent, so that it lives exactly as long as the object.
class WindowedDialog : public SectionDialog {
 public:
  WindowedDialog(wxWindow* parent, CThickSectionView& view, const wxString& title, bool bending)
      : m_parent(parent), m_view(view), m_title(title), m_bending(bending) {}
  ~WindowedDialog() override { DestroyWindow(); }
  void DestroyWindow() override {
    if (window != nullptr) window->Destroy();
    window = nullptr;
  }
  void show() override {
    if (window == nullptr) {
      window = new wxDialog(nullptr, wxID_ANY, m_title, m_parent->GetPosition() + wxPoint(720, 0));
      close = new wxButton(window, wxID_ANY, "Close");
      auto* sizer = new wxBoxSizer(wxVERTICAL);
      sizer->Add(close, 0, wxALL, 20);
      window->SetSizerAndFit(sizer);
      close->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        if (m_bending) m_view.bendingDialogClosed(this);
        DestroyWindow();
      });
    }
    window->Show();
  }

  wxDialog* window = nullptr;
  wxButton* close = nullptr;

 private:
  wxWindow* m_parent;
  CThickSectionView& m_view;
  wxString m_title;
  bool m_bending;
};

// A view showing the stress result of its applied load condition.
class ResultView : public CThickSectionView {
 protected:
  int resultKind(const CSubSection*) const override { return 3; }
};

class GuiAnalysisCommands : public GuiLorimantTest {
 protected:
  void SetUp() override {
    GuiLorimantTest::SetUp();
    if (HasFatalFailure()) return;
    doc = std::make_unique<CXSectionAnalysisDoc>();
    doc->OnNewDocument();
    doc->setUnitSystem(1);
    lSection();
    view = std::make_unique<ResultView>();
    view->setHost(&ownHost);
    view->setDocument(doc.get());
    view->OnCreate();
    view->OnSize(0, 640, 480);
    doc->setActiveView(view.get());
    view->OnInitialUpdate();

    frame = new wxFrame(nullptr, wxID_ANY, "Plastic result", wxPoint(40, 40), wxSize(700, 540));
    auto* shapes = new wxMenu;
    shapes->Append(WxCommandId(C::Rectangle), "Rectangle");
    auto* analysis = new wxMenu;
    analysis->Append(WxCommandId(C::RestrainedBending), "Restrained Bending");
    analysis->Append(WxCommandId(C::ConvertForces), "Convert Forces or Moments");
    auto* bar = new wxMenuBar;
    bar->Append(shapes, "Shapes");
    bar->Append(analysis, "Analysis");
    frame->SetMenuBar(bar);
    canvas = new SectionCanvas(frame, *view);
    factory.registerMaker(SectionDialogKind::BasicShape, [this](CThickSectionView& v) {
      return std::make_unique<WindowedDialog>(frame, v, "Rectangle", false);
    });
    factory.registerMaker(SectionDialogKind::Bending, [this](CThickSectionView& v) {
      auto d = std::make_unique<WindowedDialog>(frame, v, "Restrained Bending", true);
      windows.push_back(d.get());
      return d;
    });
    factory.registerMaker(SectionDialogKind::ForceConversion, [this](CThickSectionView& v) {
      auto d = std::make_unique<WindowedDialog>(frame, v, "Change Forces Axis System", false);
      windows.push_back(d.get());
      return d;
    });
    view->setDialogFactory(&factory);
    frame->Show();
    gui_test::Flush();
  }
  void TearDown() override {
    if (frame != nullptr) frame->Destroy();
    gui_test::Flush();
    view.reset();
    doc.reset();
    GuiLorimantTest::TearDown();
  }

  // An L of one steel with Fcy, meshed, its properties computed, with a
  // plastic result applied: resultant moment (3, 4) and a neutral axis
  // through (1.5, 0.9) at 30 degrees.
  void lSection() {
    auto steel = std::make_shared<CMetal>();
    steel->name = L"steel";
    steel->E(29.0e6);
    steel->Gshear(11.0e6);
    steel->Fcy_L = 36000.0;
    steel->Fty_L = 36000.0;
    CSubSection* root = doc->model()->rootSubSection();
    for (auto [name, x, y, w, h] : {std::tuple{L"B", 0.0, 0.0, 4.0, 1.0}, std::tuple{L"S", 0.0, 1.0, 1.0, 3.0}}) {
      auto* s = new CShapeAnalysis(doc->model());
      CString n(name);
      s->sector(root, doc->model(), n, x, y, w, h, 0, 90, 90, qhtShapeRectangle, 0, 1, 0.0, false);
      s->material(steel);
      root->meshShape(s, TRNG3, 5, 0, 0.5, 100000, 0);
    }
    ASSERT_TRUE(root->forceRecalcProperties());
    auto lc = std::make_shared<CLoadCondition>();
    lc->ScnLoadCondition(CString(L"plastic"));
    CSectionForces* f = lc->scnForcesMutable();
    f->kind = 6;
    f->resultantMx = 3.0;
    f->resultantMy = 4.0;
    f->resultantMagnitude = 5.0;
    f->neutralPoint = Point<double>(1.5, 0.9, 0.0);
    f->resultantNeutralAxisAngle = 30.0;
    f->resultantNeutralAxisMoment = 4.5;
    root->curAppLC(lc);
  }

  void menu(UINT id) {
    wxCommandEvent click(wxEVT_MENU, WxCommandId(id));
    frame->HandleWindowEvent(click);
    gui_test::Flush();
  }
  bool menuEnabled(UINT id) const {
    frame->GetMenuBar()->UpdateMenus();
    return frame->GetMenuBar()->IsEnabled(WxCommandId(id));
  }

  HeadlessViewHost ownHost{640, 480};
  std::unique_ptr<CXSectionAnalysisDoc> doc;
  std::unique_ptr<CThickSectionView> view;
  wxFrame* frame = nullptr;
  SectionCanvas* canvas = nullptr;
  SectionDialogFactory factory;
  std::vector<WindowedDialog*> windows;
};

TEST_F(GuiAnalysisCommands, BendingWindowBlocksShapeCommandsUntilClosed) {
  ASSERT_TRUE(menuEnabled(C::Rectangle));
  menu(C::RestrainedBending);
  ASSERT_EQ(windows.size(), 1u);
  ASSERT_NE(windows[0]->window, nullptr);
  EXPECT_TRUE(windows[0]->window->IsShown());
  EXPECT_FALSE(menuEnabled(C::Rectangle));
  // Again from the menu: no second window.
  menu(C::RestrainedBending);
  EXPECT_EQ(windows.size(), 1u);

  wxCommandEvent press(wxEVT_BUTTON, windows[0]->close->GetId());
  press.SetEventObject(windows[0]->close);
  windows[0]->close->HandleWindowEvent(press);
  gui_test::Flush();
  EXPECT_EQ(windows[0]->window, nullptr);
  EXPECT_TRUE(menuEnabled(C::Rectangle));

  menu(C::ConvertForces);
  ASSERT_EQ(windows.size(), 2u);
  EXPECT_TRUE(windows[1]->window->IsShown());
  EXPECT_TRUE(menuEnabled(C::Rectangle));
}

TEST_F(GuiAnalysisCommands, PlasticResultPicture) {
  canvas->Refresh();
  canvas->Update();
  gui_test::Flush();
  EXPECT_FALSE(gui_test::SaveWindowPng(*frame, "gui_plastic_result").empty());
}

}  // namespace test_gui_analysis_commands
