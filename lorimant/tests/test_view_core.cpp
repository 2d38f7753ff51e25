// The section view on a real document: first update, activation, the
// display-list rebuild and its records, the grid position, and the
// display-list validation.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

#include "analysis/model/CDot.h"
#include "analysis/model/CGrid.h"
#include "test_view_support.h"

using namespace view_test;

namespace {

// The message of the std::logic_error that f throws ("" when none).
template <class F>
std::string logicError(F f) {
  try {
    f();
  } catch (const std::logic_error& e) {
    return e.what();
  }
  return "";
}

int countRoots(const CXSectionAnalysis& m) {
  int n = 0;
  for (const CSubSection* s : m.subSections)
    if (s->name() == CString(L"root")) ++n;
  return n;
}

// A view whose mesh records take the list id of the first shape record:
// a fault that the rebuild must catch.
class DuplicatingView : public CThickSectionView {
 protected:
  DspRecord* meshRecord(CMesh* mesh, CSubSection* sub, bool contour) override {
    DspRecord* r = CThickSectionView::meshRecord(mesh, sub, contour);
    for (POSITION pos = m_displayList.GetHeadPosition(); pos != nullptr;) {
      DspRecord* shape = m_displayList.GetNext(pos);
      if (shape->type == SectionRecord::kShape) {
        glDeleteLists(static_cast<GLuint>(r->listId), 1);
        r->listId = shape->listId;
        break;
      }
    }
    return r;
  }
};

TEST_F(SectionViewTest, ActivationNeedsAModelAndASectionView) {
  CXSectionAnalysisDoc empty(&frame);
  CThickSectionView v;
  v.setDocument(&empty);
  EXPECT_EQ(logicError([&] { v.OnActivateView(TRUE, &v, nullptr); }), "vAveVAvezeze undefined");
  TestView other;
  EXPECT_EQ(logicError([&] { v.OnActivateView(TRUE, &other, nullptr); }), "Unrecognized view class");
  // Deactivation asks nothing.
  EXPECT_EQ(logicError([&] { v.OnActivateView(FALSE, &v, nullptr); }), "");

  CThickSectionView* opened = openView();
  vAveVAvezeze = nullptr;
  opened->OnActivateView(TRUE, opened, nullptr);
  EXPECT_EQ(vAveVAvezeze, model());
  EXPECT_EQ(CThickSectionView::current(), opened);
}

TEST_F(SectionViewTest, FirstUpdateInitialisesOnceAndRebuildCreatesRootOnce) {
  // A model that has lost its sub-sections.
  for (auto it = model()->subSections.rbegin(); it != model()->subSections.rend(); ++it) delete *it;
  model()->subSections.clear();
  CThickSectionView* v = openView();
  EXPECT_EQ(countRoots(*model()), 1);
  EXPECT_EQ(v->m_initialised, 1);
  EXPECT_EQ(v->m_gridShown, 1);
  EXPECT_EQ(v->m_gridPriority, 1);
  EXPECT_EQ(v->m_unlabelledCheck, 1);
  EXPECT_EQ(v->m_viewName, CString(L"SectionView"));
  v->RebuildDisplayLists();
  v->RebuildAndRedraw();
  EXPECT_EQ(countRoots(*model()), 1);

  // A second first update leaves the state alone.
  v->m_labelMode = 2;
  v->OnInitialUpdate();
  EXPECT_EQ(v->m_labelMode, 2);
}

TEST_F(SectionViewTest, RebuildWithoutModelDoesNothing) {
  CXSectionAnalysisDoc empty(&frame);
  CThickSectionView v;
  v.setDocument(&empty);
  v.RebuildDisplayLists();
  v.RebuildAndRedraw();
  EXPECT_TRUE(v.m_displayList.IsEmpty());
}

TEST_F(SectionViewTest, RecordsOfShapesMeshAndPoints) {
  CShapeAnalysis* a = rectangle(L"A", 0, 0, 2, 1);
  rectangle(L"B", 3, 0, 1, 1);
  mesh(a);
  ASSERT_EQ(root()->meshes.size(), 1u);
  for (double x : {5.0, 6.0, 7.0}) root()->addConstructionPoint(x, 3.0);
  CThickSectionView* v = openView();
  v->RefreshScene();  // the first draw lays the grid over the view
  v->RebuildDisplayLists();

  // Fill and outline of each rectangle: shapes, priority 3, layer 0.
  const auto shapes = records(SectionRecord::kShape);
  ASSERT_EQ(shapes.size(), 4u);
  for (const DspRecord* r : shapes) {
    EXPECT_EQ(r->kind, SectionRecord::kShapeKind);
    EXPECT_EQ(r->drawPriority, 3);
    EXPECT_EQ(r->layer, 0);
  }
  const auto meshes = records(SectionRecord::kMesh);
  ASSERT_EQ(meshes.size(), 1u);
  EXPECT_EQ(meshes[0]->object, root()->meshes[0]);
  EXPECT_EQ(meshes[0]->drawPriority, 6);
  // Every defining-point dot and the three construction points, priority 9.
  const auto dots = records(SectionRecord::kDot);
  EXPECT_EQ(dots.size(), root()->dots.size() + 3);
  for (const DspRecord* r : dots) EXPECT_EQ(r->drawPriority, 9);
  // Grid behind the section: priority 1, layer above the shapes', not pickable.
  for (unsigned type : {SectionRecord::kGridX, SectionRecord::kGridY}) {
    const auto grid = records(type);
    ASSERT_EQ(grid.size(), 1u);
    EXPECT_EQ(grid[0]->drawPriority, 1);
    EXPECT_EQ(grid[0]->layer, 1);
    EXPECT_EQ(grid[0]->pickable(), 0);
    EXPECT_EQ(grid[0]->object, model()->grid);
  }
  EXPECT_GE(v->m_maxPriority, 9);

  // Every list is the context's own and no two records share one.
  std::set<int> ids;
  v->makeCurrent();
  for (POSITION pos = v->m_displayList.GetHeadPosition(); pos != nullptr;) {
    const DspRecord* r = v->m_displayList.GetNext(pos);
    EXPECT_TRUE(ids.insert(r->listId).second) << r->listId;
    EXPECT_EQ(glIsList(static_cast<GLuint>(r->listId)), GL_TRUE) << r->listId;
  }
  EXPECT_NO_THROW(v->checkDuplicateIdentifiers());
  EXPECT_NO_THROW(v->ValidateDisplayList());
}

TEST_F(SectionViewTest, DuplicateIdentifierAfterRebuildIsRaised) {
  CShapeAnalysis* a = rectangle(L"A", 0, 0, 2, 1);
  openView<DuplicatingView>();
  mesh(a);
  EXPECT_EQ(logicError([&] { view->RebuildDisplayLists(); }), "Duplicate identifiers in display list");
}

TEST_F(SectionViewTest, SmallMeshIsSkippedAndLaterMeshesStillDrawn) {
  CShapeAnalysis* a = rectangle(L"A", 0, 0, 2, 1);
  root()->meshes.push_back(new CMesh());  // no nodes
  mesh(a);
  ASSERT_EQ(root()->meshes.size(), 2u);
  openView();
  const auto meshes = records(SectionRecord::kMesh);
  ASSERT_EQ(meshes.size(), 1u);
  EXPECT_EQ(meshes[0]->object, root()->meshes[1]);
  EXPECT_EQ(view->m_maxPriority >= 6, true);
}

TEST_F(SectionViewTest, GridPositionSetsPriorityOrRemovesGrid) {
  rectangle(L"A", 0, 0, 2, 1);
  CThickSectionView* v = openView();
  const struct {
    GridPosition position;
    int priority;  // -1: no grid records
    int layer;
  } cases[] = {{GridPosition::InFront, 7, 0}, {GridPosition::Behind, 1, 1}, {GridPosition::NoShow, -1, 0},
               {GridPosition::InFront, 7, 0}};
  for (const auto& c : cases) {
    v->SetGridPosition(c.position);
    v->renderPixels();  // a shown grid is made over the picture's area
    for (unsigned type : {SectionRecord::kGridX, SectionRecord::kGridY}) {
      const auto grid = records(type);
      if (c.priority < 0) {
        EXPECT_TRUE(grid.empty());
        EXPECT_EQ(model()->grid, nullptr);
        EXPECT_EQ(v->m_gridShown, 0);
        EXPECT_FALSE(v->OnUpdateCommand(SectionCommand::ToggleGrid).checked == 1);
        continue;
      }
      ASSERT_EQ(grid.size(), 1u);
      EXPECT_EQ(grid[0]->drawPriority, c.priority);
      EXPECT_EQ(grid[0]->layer, c.layer);
    }
  }
}

TEST_F(SectionViewTest, ValidationNamesEachFault) {
  rectangle(L"A", 0, 0, 2, 1);
  CThickSectionView* v = openView();
  EXPECT_NO_THROW(v->ValidateDisplayList());
  ASSERT_FALSE(root()->dots.empty());
  CDot* dot = root()->dots.front();
  int foreign = 0;
  const struct {
    void* object;
    unsigned type;
    bool duplicate;
    const char* message;
  } cases[] = {
      {dot, SectionRecord::kDot, true, "dsprecord has duplicate ids"},
      {nullptr, SectionRecord::kDot, false, "dsprecord has no object"},
      {&foreign, SectionRecord::kDot, false, "Invalid object pointer"},
      {dot, SectionRecord::kShape, false, "Invalid shape display record"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    v->makeCurrent();
    const int list = c.duplicate ? v->m_displayList.GetHead()->listId
                                 : static_cast<int>(v->GetNewDisplayListIDs(1));
    auto* r = new DspRecord(L"injected", c.object, nullptr, static_cast<int>(c.type), list, nullptr, 1);
    const POSITION pos = v->m_displayList.AddTail(r);
    EXPECT_EQ(logicError([&] { v->ValidateDisplayList(); }), c.message);
    v->m_displayList.RemoveAt(pos);
    if (c.duplicate) r->listId = static_cast<int>(v->GetNewDisplayListIDs(1));  // keep the shared list
    delete r;
  }
  EXPECT_NO_THROW(v->ValidateDisplayList());
}

TEST_F(SectionViewTest, CommandStateOfAnOpenedView) {
  CThickSectionView* v = openView();
  namespace C = SectionCommand;
  EXPECT_FALSE(v->OnUpdateCommand(C::Undo).enabled);
  EXPECT_FALSE(v->OnUpdateCommand(C::SectionProperties).enabled);
  EXPECT_FALSE(v->OnUpdateCommand(C::DisplayNodeIds).enabled);
  EXPECT_FALSE(v->OnUpdateCommand(C::PointsAtIntersections).enabled);
  EXPECT_FALSE(v->OnCommand(C::DisplayNodeIds));

  mesh(rectangle(L"A", 0, 0, 2, 1));
  v->RebuildAndRedraw();
  EXPECT_TRUE(v->OnUpdateCommand(C::SectionProperties).enabled);
  EXPECT_TRUE(v->OnCommand(C::DisplayNodeIds));
  EXPECT_EQ(v->OnUpdateCommand(C::DisplayNodeIds), (CommandUpdate{true, 1}));
  EXPECT_TRUE(v->OnCommand(C::DisplayElementIds));
  EXPECT_EQ(v->OnUpdateCommand(C::DisplayNodeIds), (CommandUpdate{true, 0}));
  EXPECT_EQ(v->OnUpdateCommand(C::DisplayElementIds), (CommandUpdate{true, 1}));
}

TEST_F(SectionViewTest, WindowlessViewForADocument) {
  rectangle(L"A", 0, 0, 2, 1);
  std::unique_ptr<CThickSectionView> v = CThickSectionView::createFor(*doc, 120, 80);
  EXPECT_EQ(doc->activeView(), v.get());
  EXPECT_EQ(v->m_initialised, 1);
  // Nothing drawn or built until someone looks.
  EXPECT_TRUE(v->listsOutOfDate());
  EXPECT_EQ(v->renderCount(), 0);
  ASSERT_NE(v->renderPixels(), nullptr);
  EXPECT_FALSE(v->m_displayList.IsEmpty());
  EXPECT_EQ(v->renderCount(), 1);
  v.reset();
  EXPECT_EQ(doc->activeView(), nullptr);
}

}  // namespace
