// The section view's window draws once per event-loop turn: commands and
// macro statements run in one turn only mark the picture out of date, and
// the window's paint draws it once; a repaint with nothing changed copies
// the picture it has.
#include <wx/frame.h>
#include <wx/menu.h>

#include <memory>
#include <sstream>
#include <string>

#include "analysis/model/CLog.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/automation/JournalInterpreter.h"
#include "lorimant/tests/test_gui_support.h"
#include "lorimant/ui/CommandIds.h"
#include "lorimant/ui/SectionCanvas.h"
#include "lorimant/view/CThickSectionView.h"

namespace {

using namespace gui_lorimant_test;
namespace RedrawCommand = SectionCommand;

class GuiViewRedraw : public GuiLorimantTest {
 protected:
  void SetUp() override {
    GuiLorimantTest::SetUp();
    if (HasFatalFailure()) return;
    doc = std::make_unique<CXSectionAnalysisDoc>();
    doc->OnNewDocument();
    doc->setUnitSystem(0);
    view = CThickSectionView::createFor(*doc, 640, 480);
    frame = new wxFrame(nullptr, wxID_ANY, "Section view", wxPoint(40, 40), wxSize(520, 420));
    auto* viewMenu = new wxMenu;
    viewMenu->Append(WxCommandId(RedrawCommand::ShapeIds), "Shape Ids");
    auto* bar = new wxMenuBar;
    bar->Append(viewMenu, "View");
    frame->SetMenuBar(bar);
    canvas = new SectionCanvas(frame, *view);
    frame->Show();
    ASSERT_TRUE(runMacro("xscn.AddDisk \"root\",\"D1\",1,0,0,1\n"));
    gui_test::Settle();
  }
  void TearDown() override {
    if (frame != nullptr) frame->Destroy();
    gui_test::Flush();
    view.reset();
    doc.reset();
    GuiLorimantTest::TearDown();
  }

  // Runs the lines on the document's automation object, as a macro does.
  bool runMacro(const std::string& lines) {
    std::istringstream in(lines);
    std::ostringstream out;
    JournalInterpreter interpreter(DocumentAutomationObject(*doc), out);
    return interpreter.Run(in).ok;
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
  // The colour the screen shows at a client pixel.
  wxColour shownAt(const wxPoint& p) const {
    wxClientDC dc(canvas);
    wxColour c;
    dc.GetPixel(p.x, p.y, &c);
    return c;
  }

  std::unique_ptr<CXSectionAnalysisDoc> doc;
  std::unique_ptr<CThickSectionView> view;
  wxFrame* frame = nullptr;
  SectionCanvas* canvas = nullptr;
};

TEST_F(GuiViewRedraw, ChangesOfOneTurnAreDrawnOnceByThePaint) {
  const int renders = view->renderCount();
  const int rebuilds = view->rebuildCount();
  EXPECT_FALSE(view->pictureOutOfDate());

  // One turn: two view commands and a macro of model changes, each of
  // which asks for the picture (and the records) again.
  ASSERT_TRUE(view->RunCommand(RedrawCommand::PositionPoints));
  ASSERT_TRUE(view->RunCommand(RedrawCommand::UnlabelledCheck));
  ASSERT_TRUE(runMacro("xscn.AddDisk \"root\",\"D2\",1,6,0,1\n"
                       "xscn.AddRectangle \"root\",\"R\",2,1,0,4,0,1,0,1\n"
                       "xscn.TranslateShape \"D2\",0,2\n"
                       "xscn.Undo\n"
                       "xscn.Redo\n"));
  // Nothing is drawn while the turn runs, in a window either.
  EXPECT_EQ(view->renderCount(), renders);
  EXPECT_EQ(view->rebuildCount(), rebuilds);
  EXPECT_TRUE(view->pictureOutOfDate());

  gui_test::Settle();
  EXPECT_EQ(view->renderCount(), renders + 1);
  EXPECT_EQ(view->rebuildCount(), rebuilds + 1);
  EXPECT_FALSE(view->pictureOutOfDate());
  // The screen shows the new section: D2 where the redo put it.
  const wxPoint inD2 = at(6, 2);
  view->makeCurrent();
  glFinish();
  const Rgba8 drawn = view->buffer()->pixel(inD2.x, canvas->GetClientSize().y - 1 - inD2.y);
  EXPECT_NE(drawn, (Rgba8{214, 214, 214, 255}));
  const wxColour shown = shownAt(inD2);
  EXPECT_EQ(shown.Red(), drawn.red);
  EXPECT_EQ(shown.Green(), drawn.green);
  EXPECT_EQ(shown.Blue(), drawn.blue);

  // An expose with nothing changed shows the picture it has.
  canvas->Refresh();
  gui_test::Settle();
  EXPECT_EQ(view->renderCount(), renders + 1);

  // A menu command is a turn of its own: drawn once more, no rebuild.
  wxCommandEvent click(wxEVT_MENU, WxCommandId(RedrawCommand::ShapeIds));
  frame->HandleWindowEvent(click);
  gui_test::Settle();
  EXPECT_EQ(view->renderCount(), renders + 2);
  EXPECT_EQ(view->rebuildCount(), rebuilds + 1);
  EXPECT_EQ(view->m_labelMode, 2);
  EXPECT_FALSE(gui_test::SaveWindowPng(*canvas, "gui_view_redraw").empty());
}

}  // namespace
