// The section view's window on the screen, driven like a user drives it:
// it shows the view's picture, a click picks and enables Delete in the
// frame's menu, a double click keeps the pick, a middle drag pans, Shift+F10
// opens the context menu inside the top-left corner, and resting the mouse
// on a shape shows its tooltip.
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/uiaction.h>

#include <memory>
#include <vector>

#include "analysis/model/CMetal.h"
#include "analysis/views/CommonDialogForms.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/tests/test_gui_support.h"
#include "lorimant/ui/CommandIds.h"
#include "platform/tests/DialogTestSupport.h"
#include "lorimant/ui/SectionCanvas.h"
#include "lorimant/view/CThickSectionView.h"

namespace {

using namespace gui_lorimant_test;
namespace C = SectionCommand;

// A canvas that keeps the menus it was to pop up instead of running them.
class RecordingCanvas : public SectionCanvas {
 public:
  using SectionCanvas::SectionCanvas;
  std::vector<wxPoint> points;
  std::vector<std::vector<wxString>> labels;

 protected:
  void showPopup(wxMenu& menu, const wxPoint& at) override {
    points.push_back(at);
    std::vector<wxString> shown;
    for (const wxMenuItem* item : menu.GetMenuItems()) shown.push_back(item->GetItemLabel());
    labels.push_back(shown);
  }
};

// Runs the pending events for about ms milliseconds.
void Wait(int ms) {
  for (int waited = 0; waited < ms; waited += 20) {
    gui_test::Flush();
    wxMilliSleep(20);
  }
  gui_test::Flush();
}

// Every command of the view travels as a wx id that wx takes for a menu
// item (0 to 32766, outside its own 4999..5999) and comes back unchanged;
// 32768 is the first id that is moved.
TEST(SectionCommandIds, EveryViewCommandFitsAWxMenuIdAndComesBack) {
  EXPECT_EQ(WxCommandId(32768), 6768);
  EXPECT_EQ(CommandOfWxId(6768), 32768u);
  EXPECT_EQ(WxCommandId(C::Undo), 57643 - 26000);
  int commands = 0;
  for (UINT id = 1; id <= 0xFFFF; ++id) {
    if (!isSectionCommand(id)) continue;
    ++commands;
    const int wxId = WxCommandId(id);
    EXPECT_TRUE(wxId > 0 && wxId < 32767 && (wxId < 4999 || wxId > 5999)) << id << " -> " << wxId;
    EXPECT_EQ(CommandOfWxId(wxId), id);
  }
  EXPECT_GT(commands, 100);
}

class GuiSectionCanvas : public GuiLorimantTest {
 protected:
  void SetUp() override {
    GuiLorimantTest::SetUp();
    if (HasFatalFailure()) return;
    doc = std::make_unique<CXSectionAnalysisDoc>();
    doc->OnNewDocument();
    doc->setUnitSystem(0);
    view = CThickSectionView::createFor(*doc, 640, 480);
    CShapeAnalysis* a = rectangle(L"a", 0, 0, 4, 2);
    auto steel = std::make_shared<CMetal>();
    steel->name = L"steel";
    a->material(steel);
    rectangle(L"b", 6, 0, 2, 2);
    doc->model()->rootSubSection()->addConstructionPoint(-3, 3);
    view->RebuildAndRedraw();

    frame = new wxFrame(nullptr, wxID_ANY, "Section view", wxPoint(40, 40), wxSize(700, 540));
    auto* edit = new wxMenu;
    edit->Append(WxCommandId(C::Delete), "Delete");
    edit->Append(WxCommandId(C::Undo), "Undo");
    auto* bar = new wxMenuBar;
    bar->Append(edit, "Edit");
    frame->SetMenuBar(bar);
    canvas = new RecordingCanvas(frame, *view);
    frame->Show();
    Wait(200);
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
  // The client pixel (y downwards) of a model point.
  wxPoint at(double x, double y) const {
    const wxSize size = canvas->GetClientSize();
    const double left = view->m_center.x + view->m_windowMin.x;
    const double bottom = view->m_center.y + view->m_windowMin.y;
    const double w = view->m_windowMax.x - view->m_windowMin.x;
    const double h = view->m_windowMax.y - view->m_windowMin.y;
    return wxPoint(static_cast<int>((x - left) / w * size.x), static_cast<int>(size.y - (y - bottom) / h * size.y));
  }
  wxPoint onScreen(double x, double y) const { return canvas->ClientToScreen(at(x, y)); }
  bool deleteEnabled() const {
    frame->GetMenuBar()->UpdateMenus();
    return frame->GetMenuBar()->IsEnabled(WxCommandId(C::Delete));
  }
  // The canvas as the screen shows it.
  wxImage screen() const {
    const wxSize size = canvas->GetClientSize();
    wxBitmap bitmap(size, 24);
    {
      wxMemoryDC memory(bitmap);
      wxWindowDC source(canvas);
      memory.Blit(0, 0, size.x, size.y, &source, 0, 0);
    }
    return bitmap.ConvertToImage();
  }

  std::unique_ptr<CXSectionAnalysisDoc> doc;
  std::unique_ptr<CThickSectionView> view;
  wxFrame* frame = nullptr;
  RecordingCanvas* canvas = nullptr;
  wxUIActionSimulator sim;
};

TEST_F(GuiSectionCanvas, ClicksKeysAndDragsReachTheView) {
  // The screen shows the view's picture: inside "a" the shape's colour.
  const wxPoint inA = at(2, 1);
  const wxImage shown = screen();
  view->makeCurrent();
  glFinish();
  const Rgba8 drawn = view->buffer()->pixel(inA.x, canvas->GetClientSize().y - 1 - inA.y);
  EXPECT_NE(drawn, (Rgba8{214, 214, 214, 255}));
  EXPECT_EQ(shown.GetRed(inA.x, inA.y), drawn.red);
  EXPECT_EQ(shown.GetGreen(inA.x, inA.y), drawn.green);
  EXPECT_EQ(shown.GetBlue(inA.x, inA.y), drawn.blue);

  // Delete is disabled until a click picks "a".
  EXPECT_FALSE(deleteEnabled());
  sim.MouseMove(onScreen(2, 1));
  Wait(50);
  sim.MouseClick();
  Wait(100);
  ASSERT_EQ(view->pickedShapeNames(), std::vector<CString>{L"a"});
  EXPECT_TRUE(deleteEnabled());

  // Esc clears; a double click picks "a" and keeps it through its second
  // release.
  sim.Char(WXK_ESCAPE);
  Wait(600);
  EXPECT_TRUE(view->pickedShapeNames().empty());
  EXPECT_FALSE(deleteEnabled());
  sim.MouseDblClick();
  Wait(100);
  EXPECT_EQ(view->pickedShapeNames(), std::vector<CString>{L"a"});
  EXPECT_EQ(view->m_hold, 1);

  // A middle drag of 100 pixels to the right moves the picture with it.
  const double perPixel = (view->m_windowMax.x - view->m_windowMin.x) / canvas->GetClientSize().x;
  const float centre = view->m_center.x;
  const float width = view->m_windowMax.x - view->m_windowMin.x;
  const wxPoint start = canvas->ClientToScreen(wxPoint(200, 200));
  sim.MouseMove(start);
  Wait(50);
  sim.MouseDown(wxMOUSE_BTN_MIDDLE);
  Wait(50);
  for (int step = 1; step <= 4; ++step) {
    sim.MouseMove(start + wxPoint(25 * step, 0));
    Wait(30);
  }
  sim.MouseUp(wxMOUSE_BTN_MIDDLE);
  Wait(100);
  EXPECT_NEAR(view->m_center.x, centre - 100 * perPixel, 1e-3);
  EXPECT_FLOAT_EQ(view->m_windowMax.x - view->m_windowMin.x, width);
  EXPECT_FALSE(canvas->HasCapture());

  // Shift+F10 opens "Section Operations" 5 pixels inside the corner.
  canvas->SetFocus();
  sim.Char(WXK_F10, wxMOD_SHIFT);
  Wait(100);
  ASSERT_EQ(canvas->points.size(), 1u);
  EXPECT_EQ(canvas->points.back(), wxPoint(5, 5));
  ASSERT_EQ(canvas->labels.back().size(), 14u);
  EXPECT_EQ(canvas->labels.back().front(), "Delete ");
  EXPECT_EQ(canvas->labels.back().back(), "Rotate Object About Vertex");
}

TEST_F(GuiSectionCanvas, RestingOnAShapeShowsItsTooltip) {
  sim.MouseMove(onScreen(6.5, 1.5));
  Wait(50);
  sim.MouseMove(onScreen(2, 1));
  Wait(800);
  ASSERT_TRUE(view->tooltipShown());
  EXPECT_EQ(std::string(view->tooltipText().GetString()), "id:a  matl:steel");
  EXPECT_FALSE(gui_test::SaveWindowPng(*canvas, "gui_section_canvas").empty());
  // The next move hides it (to where no later hover finds anything).
  sim.MouseMove(onScreen(5, -1));
  Wait(100);
  EXPECT_FALSE(view->tooltipShown());
}

// The view goes before its window, as when its document closes, while the
// double-click hold and a hover wait are pending: neither fires into it,
// and the window, left to paint its last picture, passes everything on.
TEST_F(GuiSectionCanvas, AViewClosedWithTimersPendingIsNotReached) {
  const auto send = [&](wxEventType type, wxPoint at) {
    wxMouseEvent event(type);
    event.SetPosition(at);
    event.SetEventObject(canvas);
    canvas->GetEventHandler()->ProcessEvent(event);
  };
  const wxPoint inA = at(2, 1);
  send(wxEVT_LEFT_UP, inA);
  send(wxEVT_LEFT_DCLICK, inA);
  send(wxEVT_MOTION, at(7, 1));
  ASSERT_EQ(view->m_hold, 1);
  view.reset();
  EXPECT_EQ(canvas->view(), nullptr);
  Wait(2300);
  for (wxEventType type : {wxEVT_MOTION, wxEVT_LEFT_UP, wxEVT_LEFT_DCLICK, wxEVT_MIDDLE_DOWN, wxEVT_MIDDLE_UP})
    send(type, inA);
  wxKeyEvent key(wxEVT_KEY_DOWN);
  key.m_keyCode = WXK_DELETE;
  canvas->GetEventHandler()->ProcessEvent(key);
  wxCommandEvent command(wxEVT_MENU, WxCommandId(C::Delete));
  frame->GetEventHandler()->ProcessEvent(command);
  canvas->Refresh();
  Wait(100);
  EXPECT_FALSE(canvas->HasCapture());
  EXPECT_TRUE(Hooks::messageBoxes().empty());
}

TEST_F(GuiSectionCanvas, DisplayPrecisionAsksWithTheValueDialog) {
  const auto choose = [&](const wxString& typed) {
    dialog_test::ModalScript script([&](CDialog& d) {
      EXPECT_EQ(d.GetDlgItemText(CAskValueForm::IDC_PROMPT), CString(L"Number of Decimal Places"));
      dialog_test::Type(d, CAskValueForm::IDC_VALUE, typed);
      dialog_test::Click(d, IDOK);
    });
    // As the frame's menu sends it.
    wxCommandEvent click(wxEVT_MENU, WxCommandId(C::DisplayPrecision));
    frame->GetEventHandler()->ProcessEvent(click);
    gui_test::Flush();
  };
  EXPECT_EQ(doc->model()->displayPrecision, 4);
  choose("3");
  EXPECT_EQ(doc->model()->displayPrecision, 3);
  EXPECT_TRUE(Hooks::messageBoxes().empty());
  choose("1e9");
  EXPECT_EQ(doc->model()->displayPrecision, 3);
  ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
  EXPECT_EQ(Hooks::messageBoxes().back().caption, CString(L"Display Precision"));
}

}  // namespace
