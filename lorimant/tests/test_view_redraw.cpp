// Drawing on demand: a change only marks the section view's picture (and
// its display lists) out of date; the picture is drawn when someone looks
// (a paint, or a caller asking for pixels). A view with no window draws
// nothing for any command or macro, and a picture taken after many edits
// is the picture of the same section built in one go.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/model/CLog.h"
#include "lorimant/view/SectionViewCommands.h"
#include "lorimant/view/HeadlessRun.h"
#include "test_journal_support.h"

namespace {

namespace RC = SectionCommand;
using journal_test::JournalSessionTest;

// Disks and a rectangle apart from each other, whole numbers everywhere:
// the same section reached by moves comes out with the same coordinates.
const char* const kFinalSection =
    "xscn.SetUnitSystem QHT_SI\n"
    "xscn.AddDisk \"root\",\"D1\",1,4,0,1\n"
    "xscn.AddDisk \"root\",\"D2\",1,0,4,1\n"
    "xscn.AddRectangle \"root\",\"R\",2,1,-4,-2,0,1,0,1\n";

// The same section after moves, undo, redo and a deletion.
const char* const kEdits =
    "xscn.SetUnitSystem QHT_SI\n"
    "xscn.AddDisk \"root\",\"D1\",1,1,0,1\n"
    "xscn.AddDisk \"root\",\"D2\",1,0,4,1\n"
    "xscn.AddDisk \"root\",\"D3\",1,8,8,1\n"
    "xscn.TranslateShape \"D1\",3,0\n"
    "xscn.AddRectangle \"root\",\"R\",2,1,-6,-2,0,1,0,1\n"
    "xscn.TranslateShape \"R\",2,0\n"
    "xscn.TranslateShape \"D3\",-2,-2\n"
    "xscn.Undo\n"
    "xscn.Redo\n"
    "xscn.Undo\n"
    "xscn.DeleteShape \"D3\"\n";

std::vector<std::uint8_t> pixelsOf(CThickSectionView& v) {
  const COffscreenContext* b = v.renderPixels();
  if (b == nullptr) return {};
  return std::vector<std::uint8_t>(b->bits(), b->bits() + b->rowBytes() * static_cast<std::size_t>(b->height()));
}

class ViewRedraw : public JournalSessionTest {
 protected:
  void runOk(CXSectionAnalysisDoc& target, const std::string& macro) {
    const JournalRunResult r = run(target, macro);
    ASSERT_TRUE(r.ok) << "line " << r.lineNumber << ": " << r.line << "\n" << r.description;
  }
};

TEST_F(ViewRedraw, CommandsOnlyMarkThePictureThatPixelsThenDrawOnce) {
  ASSERT_NO_FATAL_FAILURE(runOk(*doc, kEdits));
  const int renders = view->renderCount();
  const int rebuilds = view->rebuildCount();
  // The macro changed the model many times: nothing was drawn or rebuilt.
  EXPECT_TRUE(view->listsOutOfDate());
  EXPECT_TRUE(view->pictureOutOfDate());
  for (const UINT id : {RC::ShapeIds, RC::PositionPoints, RC::DisplayMesh, RC::DisplayMesh,
                        RC::ToggleGrid, RC::ToggleGrid, RC::Rebuild, RC::RefreshPoints, RC::FullView,
                        RC::UnlabelledCheck, RC::UnlabelledCheck, RC::Undo, RC::Redo, RC::ShapeIds})
    EXPECT_TRUE(view->RunCommand(id)) << id;
  view->OnUpdate(nullptr, 6, nullptr);
  view->ClearPicks();
  EXPECT_EQ(view->renderCount(), renders);
  EXPECT_EQ(view->rebuildCount(), rebuilds);

  // Asked for pixels: one rebuild, one picture; asked again, nothing more.
  ASSERT_NE(view->renderPixels(), nullptr);
  EXPECT_EQ(view->renderCount(), renders + 1);
  EXPECT_EQ(view->rebuildCount(), rebuilds + 1);
  EXPECT_FALSE(view->pictureOutOfDate());
  ASSERT_NE(view->renderPixels(), nullptr);
  view->OnPaint();
  EXPECT_EQ(view->renderCount(), renders + 1);
  EXPECT_EQ(view->rebuildCount(), rebuilds + 1);
  // A change of the view alone draws again without a rebuild.
  view->RunCommand(RC::PositionPoints);
  view->OnPaint();
  EXPECT_EQ(view->renderCount(), renders + 2);
  EXPECT_EQ(view->rebuildCount(), rebuilds + 1);
}

TEST_F(ViewRedraw, APictureAfterEditsIsThePictureOfTheSectionBuiltInOneGo) {
  ASSERT_NO_FATAL_FAILURE(runOk(*doc, kEdits));
  CXSectionAnalysisDoc other(&frame);
  other.hidden = true;
  other.OnNewDocument();
  std::unique_ptr<CThickSectionView> otherView = CThickSectionView::createFor(other, 200, 200);
  ASSERT_NO_FATAL_FAILURE(runOk(other, kFinalSection));
  ASSERT_EQ(journal_test::describe(*model()), journal_test::describe(*other.model()));
  // Each fitted to its section, which is the same.
  doc->MakeCurrent();
  view->fullView();
  const std::vector<std::uint8_t> edited = pixelsOf(*view);
  other.MakeCurrent();
  otherView->fullView();
  const std::vector<std::uint8_t> inOneGo = pixelsOf(*otherView);
  ASSERT_EQ(edited.size(), 200u * 200u * 4u);
  EXPECT_TRUE(edited == inOneGo);
  // Not a blank picture: the shapes' colour shows somewhere.
  EXPECT_NE(std::count(edited.begin(), edited.end(), std::uint8_t{214}), static_cast<std::ptrdiff_t>(edited.size()));
  // The picks of the old records went; the section's records are fresh.
  EXPECT_EQ(view->COpenGLView::m_pickList.GetCount(), 0);
  EXPECT_NO_THROW(view->ValidateDisplayList());
  otherView.reset();
  doc->MakeCurrent();
}

// A selection needs the records: it rebuilds them, and still draws nothing.
TEST_F(ViewRedraw, ASelectionRebuildsTheRecordsWithoutDrawing) {
  ASSERT_NO_FATAL_FAILURE(runOk(*doc, kFinalSection));
  const int renders = view->renderCount();
  ASSERT_NO_FATAL_FAILURE(runOk(*doc, "xscn.SelectShape \"D2\"\n"));
  EXPECT_FALSE(view->listsOutOfDate());
  EXPECT_EQ(view->pickedShapeNames(), std::vector<CString>{L"D2"});
  ASSERT_NO_FATAL_FAILURE(runOk(*doc, "xscn.DeleteSelected\n"));
  EXPECT_TRUE(view->pickedShapeNames().empty());
  EXPECT_EQ(model()->shapes.GetCount(), 2);
  EXPECT_EQ(view->renderCount(), renders);
}

// A line plot added while the records wait for their rebuild stays: the
// rebuild comes first, not over it.
TEST_F(ViewRedraw, ALinePlotAddedToListsOutOfDateSurvivesTheirRebuild) {
  ASSERT_NO_FATAL_FAILURE(runOk(*doc, kFinalSection));
  ASSERT_TRUE(view->listsOutOfDate());
  const int rebuilds = view->rebuildCount();
  view->makeCurrent();
  auto* plot = new DspRecord(L"plot", model(), nullptr, 0x100, static_cast<int>(view->GetNewDisplayListIDs(1)),
                             nullptr, 1);
  view->ShowLinePlot(plot);
  ASSERT_NE(view->renderPixels(), nullptr);
  EXPECT_NE(view->m_displayList.Find(plot), nullptr);
  EXPECT_EQ(view->rebuildCount(), rebuilds + 1);
}

// The `lorimant --run` path: a whole macro of model changes, files and
// undo draws nothing and builds no display list.
TEST_F(ViewRedraw, AHeadlessRunDrawsNothing) {
  const std::string file = (root_ / "r.qhscn").string();
  std::istringstream macro(std::string(kEdits) + "xscn.ComputeGeomSectionProperties\n"
                           "xscn.FileSave \"" + file +
                           "\"\nxscn.FileOpen \"" + file + "\"\nxscn.DeleteMeshes\nxscn.Undo\nxscn.Redo\n");
  std::ostringstream out;
  int renders = -1, rebuilds = -1;
  const JournalRunResult r = RunMacroHeadless(macro, out, nullptr, [&](CXSectionAnalysisDoc& d) {
    if (auto* v = dynamic_cast<CThickSectionView*>(d.activeView())) {
      renders = v->renderCount();
      rebuilds = v->rebuildCount();
    }
  });
  ASSERT_TRUE(r.ok) << r.line << ": " << r.description;
  EXPECT_EQ(renders, 0);
  EXPECT_EQ(rebuilds, 0);
}

}  // namespace
