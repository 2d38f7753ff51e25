// The windowed program end to end: a stored section opened through File >
// Open (its recent-files list), worked on with clicks, keys, the ribbon,
// the context menu's commands and the dialogs' own boxes and buttons; its
// journal, replayed as `lorimant --run` replays it, exports the same
// section properties as the windowed document.
#include <gtest/gtest.h>

#include <wx/uiaction.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/model/CLog.h"
#include "analysis/views/CommonDialogForms.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/tests/test_gui_support.h"
#include "lorimant/ui/CSectionDocView.h"
#include "lorimant/ui/CSectionDocument.h"
#include "lorimant/ui/CommandIds.h"
#include "lorimant/ui/SectionCanvas.h"
#include "lorimant/view/CThickSectionView.h"
#include "lorimant/view/HeadlessRun.h"
#include "platform/tests/DialogTestSupport.h"

namespace {

using namespace gui_lorimant_test;
namespace EC = SectionCommand;

class GuiEndToEnd : public GuiLorimantTest {
 protected:
  // Three rectangles, "a" and "b" overlapping, "c" apart, saved by a macro.
  fs::path storedSection() const {
    const fs::path file = root_ / "three.qhscn";
    std::istringstream macro(
        "xscn.SetUnitSystem QHT_SI\n"
        "xscn.AddRectangle \"root\",\"a\",4,2,0,0,0,1,0,1\n"
        "xscn.AddRectangle \"root\",\"b\",4,2,2,1,0,1,0,1\n"
        "xscn.AddRectangle \"root\",\"c\",2,2,10,0,0,1,0,1\n"
        "xscn.FileSave \"" + file.string() + "\"\n");
    std::ostringstream out;
    const JournalRunResult result = RunMacroHeadless(macro, out, nullptr);
    EXPECT_TRUE(result.ok) << result.description;
    vAveVAvezeze = nullptr;
    gModel = nullptr;
    return file;
  }
  // The client pixel (y downwards) of a model point in the view's window.
  wxPoint at(double x, double y) const {
    const wxSize size = canvas->GetClientSize();
    const double left = view->m_center.x + view->m_windowMin.x;
    const double bottom = view->m_center.y + view->m_windowMin.y;
    const double w = view->m_windowMax.x - view->m_windowMin.x;
    const double h = view->m_windowMax.y - view->m_windowMin.y;
    return wxPoint(static_cast<int>((x - left) / w * size.x), static_cast<int>(size.y - (y - bottom) / h * size.y));
  }
  // A left click at the model point, as the user makes it.
  void clickAt(double x, double y) {
    sim.MouseMove(canvas->ClientToScreen(at(x, y)));
    gui_test::Settle();
    sim.MouseClick();
    gui_test::Settle();
  }
  // A command of the context menu, as its chosen entry reaches the canvas.
  void contextCommand(UINT id) {
    wxCommandEvent choice(wxEVT_MENU, WxCommandId(id));
    choice.SetEventObject(canvas);
    canvas->GetEventHandler()->ProcessEvent(choice);
    gui_test::Flush();
  }
  CXSectionAnalysisDoc& core() const { return *view->GetDocument(); }
  CShapeAnalysis* shape(const wchar_t* name) const { return core().model()->findShape(CString(name)); }

  CThickSectionView* view = nullptr;
  SectionCanvas* canvas = nullptr;
  wxUIActionSimulator sim;
};

// The numbers of a section-properties export, in order.
std::vector<double> exportedNumbers(const fs::path& file) {
  std::ifstream in(file);
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  static const std::regex number(R"(-?\d+(\.\d+)?([eE][-+]?\d+)?)");
  std::vector<double> out;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), number); it != std::sregex_iterator(); ++it)
    out.push_back(std::stod(it->str()));
  return out;
}

TEST_F(GuiEndToEnd, AWindowedSessionReplaysToTheSameProperties) {
  const fs::path stored = storedSection();
  ASSERT_TRUE(start());
  // File > Open by its list of recent files.
  manager().AddFileToHistory(wxString::FromUTF8(stored.string()));
  command(wxID_FILE1);
  CSectionDocument* opened = nullptr;
  for (CSectionDocument* d : documents())
    if (fs::path(d->GetFilename().utf8_string()) == stored) opened = d;
  ASSERT_NE(opened, nullptr);
  auto* docView = dynamic_cast<CSectionDocView*>(opened->GetFirstView());
  ASSERT_NE(docView, nullptr);
  view = docView->sectionView();
  canvas = dynamic_cast<SectionCanvas*>(view->sectionHost());
  ASSERT_NE(canvas, nullptr);
  docView->GetFrame()->Raise();
  canvas->SetFocus();
  gui_test::Settle();
  ASSERT_NE(shape(L"c"), nullptr);

  // Change Sign of "c", picked by a click.
  clickAt(11, 1);
  ASSERT_EQ(view->pickedShapeNames(), std::vector<CString>{L"c"});
  command(EC::ChangeSign);
  EXPECT_LT(shape(L"c")->area(), 0);
  // The Delete key, Ctrl+Z and Redo.
  clickAt(11, 1);
  ASSERT_EQ(view->pickedShapeNames(), std::vector<CString>{L"c"});
  sim.Char(WXK_DELETE);
  gui_test::Settle();
  EXPECT_EQ(shape(L"c"), nullptr);
  sim.Char('Z', wxMOD_CONTROL);
  gui_test::Settle();
  ASSERT_NE(shape(L"c"), nullptr);
  command(EC::Redo);
  EXPECT_EQ(shape(L"c"), nullptr);

  // Rename "a" from the context menu through the text dialog.
  clickAt(0.5, 0.5);
  ASSERT_EQ(view->pickedShapeNames(), std::vector<CString>{L"a"});
  {
    dialog_test::ModalScript script([](CDialog& d) {
      gui_test::SaveWindowPng(d, "gui_end_to_end_rename");
      dialog_test::Type(d, CGetStringForm::IDC_ANSWER, "left");
      dialog_test::Click(d, IDOK);
    });
    contextCommand(EC::Rename);
  }
  ASSERT_NE(shape(L"left"), nullptr);

  // Keyin Location through the point dialog.
  {
    dialog_test::ModalScript script([](CDialog& d) {
      dialog_test::Type(d, C2dPointForm::IDC_X, "1.25");
      dialog_test::Type(d, C2dPointForm::IDC_Y, "3.5");
      dialog_test::Click(d, IDOK);
    });
    command(EC::KeyinLocation);
  }
  ASSERT_EQ(core().model()->rootSubSection()->constructionPoints.size(), 1u);

  // Move the vertex (0,0) of "left" to (-0.5, 0.25): the click picks the vertex.
  clickAt(0, 0);
  ASSERT_EQ(view->pickedDots().size(), 1u);
  {
    dialog_test::ModalScript script([](CDialog& d) {
      dialog_test::Type(d, C2dPointForm::IDC_X, "-0.5");
      dialog_test::Type(d, C2dPointForm::IDC_Y, "0.25");
      dialog_test::Click(d, IDOK);
    });
    contextCommand(EC::MoveVertexToLocation);
  }
  Point<double> lo, hi;
  shape(L"left")->extents(&lo, &hi, 1);
  EXPECT_NEAR(lo.x, -0.5, 1e-12);
  EXPECT_NEAR(lo.y, 0.25, 1e-12);

  // Union of the two overlapping rectangles, then Section Properties.
  command(EC::Union);
  ASSERT_TRUE(core().model()->rootSubSection()->isUnionOn());
  command(EC::SectionProperties);
  EXPECT_FALSE(gui_test::SaveWindowPng(frame(), "gui_end_to_end_main").empty());

  // The windowed document's own export, outside its journal.
  const fs::path windowed = root_ / "windowed.xml";
  {
    CLogBlock quiet(core().journal(), L"Export");
    ILorimant::WriteSectionProperties(core(), CString(windowed.c_str()), L"root");
  }
  const std::string journal = core().journal()->path();
  EXPECT_TRUE(unscriptedDialogs_.empty() || unscriptedDialogs_.size() == 1u);
  gCloseWithoutAsking = true;
  opened->Modify(false);
  ASSERT_TRUE(opened->Close());
  opened->DeleteAllViews();
  gui_test::Flush();
  gCloseWithoutAsking = false;

  // The journal with the export line before its closing lines, run as
  // `lorimant --run` runs it.
  const fs::path replayedXml = root_ / "replayed.xml";
  std::vector<std::string> body;
  for (const std::string& l : lines(journal))
    if (l.rfind("xscn.", 0) == 0) body.push_back(l);
  // What the session did, one line each, in order.
  const std::vector<std::string> expected = {
      "xscn.ChangeSign \"root\", \"c\"", "xscn.DeleteSelected", "xscn.Undo", "xscn.Redo",
      "xscn.RenameShape \"a\",\"left\"", "xscn.AddPoint \"root\",1.25,3.5",
      "xscn.TranslateShape \"left\",-0.5,0.25", "xscn.Union"};
  auto next = body.begin();
  for (const std::string& line : expected) {
    next = std::find(next, body.end(), line);
    ASSERT_NE(next, body.end()) << line;
  }
  std::string macro;
  for (const std::string& l : body) macro += l + "\n";
  macro += "xscn.WriteSectionProperties \"" + replayedXml.string() + "\",\"root\"\n";
  const fs::path macroFile = root_ / "session.txt";
  std::ofstream(macroFile) << macro;
  const std::string run = std::string(LORIMANT_PROGRAM) + " --run " + macroFile.string() + " > " +
                          (root_ / "run.out").string() + " 2>&1";
  ASSERT_EQ(std::system(run.c_str()), 0) << bytes(root_ / "run.out") << "\n" << macro;
  const std::vector<double> a = exportedNumbers(windowed), b = exportedNumbers(replayedXml);
  ASSERT_FALSE(a.empty());
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i)
    EXPECT_LE(std::fabs(a[i] - b[i]), 1e-12 * std::max(1.0, std::fabs(a[i]))) << i << ": " << a[i] << " " << b[i];
}

// The canvas asks its questions with the program's dialogs: their boxes
// filled and OK pressed give the answer; Cancel leaves the preset alone.
TEST_F(GuiEndToEnd, CanvasPromptsAnswerThroughTheirDialogs) {
  CXSectionAnalysisDoc doc;
  doc.OnNewDocument();
  std::unique_ptr<CThickSectionView> own = CThickSectionView::createFor(doc, 320, 240);
  auto* window = new wxFrame(nullptr, wxID_ANY, "Prompts", wxPoint(40, 40), wxSize(360, 280));
  auto* shown = new SectionCanvas(window, *own);
  window->Show();
  gui_test::Flush();
  ViewPrompts* ask = own->prompts();
  ASSERT_EQ(ask, static_cast<ViewPrompts*>(shown));

  PointsAtAngles circle;
  {
    dialog_test::ModalScript script([](CDialog& d) {
      dialog_test::Type(d, CPtsAtAnglesForm::IDC_RADIUS, "2.5");
      dialog_test::Type(d, CPtsAtAnglesForm::IDC_POINTS, "5");
      dialog_test::Type(d, CPtsAtAnglesForm::IDC_START, "30");
      dialog_test::Type(d, CPtsAtAnglesForm::IDC_END, "120");
      dialog_test::Click(d, IDOK);
    });
    ASSERT_TRUE(ask->pointsAtAngles(circle));
  }
  EXPECT_EQ(circle.radius, 2.5);
  EXPECT_EQ(circle.points, 5);
  EXPECT_EQ(circle.start, 30);
  EXPECT_EQ(circle.end, 120);
  double x = 1, y = 2;
  CString text(L"kept");
  {
    dialog_test::ModalScript cancel([](CDialog& d) { dialog_test::Click(d, IDCANCEL); });
    EXPECT_FALSE(ask->askPoint(x, y));
    EXPECT_FALSE(ask->askText(L"Name", text));
    EXPECT_FALSE(ask->pointsAtAngles(circle));
  }
  EXPECT_EQ(x, 1);
  EXPECT_EQ(y, 2);
  EXPECT_EQ(text, CString(L"kept"));
  EXPECT_EQ(circle.points, 5);
  window->Destroy();
  gui_test::Flush();
}

}  // namespace
