// The section view's display-list rebuild: the records of the shapes,
// welds, grid, meshes and construction points of the current sub-section,
// and the consistency checks of the list.
#include <stdexcept>
#include <unordered_set>

#include "analysis/model/CDot.h"
#include "analysis/model/CGrid.h"
#include "analysis/model/Globals.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/view/CThickSectionView.h"
#include "platform/core/Hooks.h"

namespace {

constexpr int kMeshPriority = 6;
constexpr int kWeldPriority = 9;
constexpr int kGridBehind = 1;
constexpr int kGridInFront = 7;

}  // namespace

void CThickSectionView::RebuildDisplayLists() {
  if (model() == nullptr) return;
  // The old records go first: their objects may already be freed (a deleted
  // shape, mesh or sub-section, or a model replaced by undo), so nothing may
  // draw them again, not even the redraw of the cleared picks.
  makeCurrent();
  clearDisplay();
  deleteRecords(m_overlayList);
  ClearPicks();
  EnsureRootSubSection();
  postRecords();
}

void CThickSectionView::updateDisplayLists() {
  CXSectionAnalysis* m = model();
  if (m == nullptr) return;
  // Records built from a model since replaced point into freed objects.
  const bool replaced = m != m_listsModel && !m_displayList.IsEmpty();
  if (!m_listsStale && !replaced) return;
  makeCurrent();
  clearDisplay();
  deleteRecords(m_overlayList);
  // Picks made on the old records (a model replaced under them) go with
  // them, as a rebuild always took them.
  if (!COpenGLView::m_pickList.IsEmpty() || !pickList().empty()) ClearPicks();
  postRecords();
}

void CThickSectionView::postRecords() {
  CXSectionAnalysis* m = model();
  CWaitCursor wait;
  makeCurrent();
  CSubSection* sub = m->currentSubSectionMutable();
  if (sub != nullptr) {
    postShapes(sub);
    postWelds(sub);
  }
  if (m->grid != nullptr) {
    createGrid();
    postGridRecords();
  }
  if (sub != nullptr) {
    postMeshes(sub);
    postConstructionPoints(sub);
    postBoxOverlay(sub);
  }
  m_listsModel = m;
  m_listsStale = false;
  m_pictureStale = true;
  ++m_rebuildCount;
  checkDuplicateIdentifiers();
}

void CThickSectionView::postShapes(CSubSection* sub) {
  m_layerCount = m_displayKind;
  sub->displayShapes(&m_displayList, this);
  // The shape records are picked as shapes.
  for (POSITION pos = m_displayList.GetHeadPosition(); pos != nullptr;) {
    DspRecord* r = m_displayList.GetNext(pos);
    if (r->type == SectionRecord::kShape) r->kind = SectionRecord::kShapeKind;
  }
}

void CThickSectionView::postWelds(CSubSection* sub) {
  if (sub->welds.empty()) return;
  DspRecord* record = sub->showWelds();
  // The welds belong to their sub-section: a record is never without object.
  record->object = sub;
  record->priority(kWeldPriority);
  maxPriority(kWeldPriority);
  m_displayList.AddTail(record);
}

DspRecord* CThickSectionView::meshRecord(CMesh* mesh, CSubSection* sub, bool contour) {
  // The mesh draws itself on a fresh list of the current context.
  return contour ? mesh->displaySmooth(sub) : mesh->display();
}

void CThickSectionView::computeResultRange(CSubSection* sub, CSectionForces* forces) {
  sub->maxmin(forces, sub->displayedResult);
}

void CThickSectionView::postMeshes(CSubSection* sub) {
  bool drawn = false;
  for (CMesh* mesh : sub->meshes) {
    if (DspRecord* old = findDspRecord(static_cast<const void*>(mesh))) {
      POSITION pos = m_displayList.Find(old);
      if (pos != nullptr) deleteActive(pos);
    }
    // A mesh too small to draw is left out; the meshes after it still are drawn.
    if (mesh->nodes.size() < 2) continue;
    DspRecord* record = nullptr;
    if (stressDisplay(sub)) {
      if (std::shared_ptr<CLoadCondition> lc = sub->appliedLoad()) {
        computeResultRange(sub, lc->scnForcesMutable());
        record = meshRecord(mesh, sub, true);
      } else {
        stressDisplay(sub, false);
      }
    } else {
      record = meshRecord(mesh, sub, false);
    }
    if (record == nullptr) continue;
    record->priority(kMeshPriority);
    record->visible = static_cast<BYTE>(m_meshDisplay);
    m_displayList.AddTail(record);
    drawn = true;
  }
  if (drawn) maxPriority(kMeshPriority);
}

void CThickSectionView::postConstructionPoints(CSubSection* sub) {
  sub->refreshDots();
  for (CDot* d : sub->dots) displayDot(d);
  for (CDot* d : sub->constructionPoints) displayDot(d);
}

// ---- grid ----

void CThickSectionView::removeGridRecords() {
  removeType(SectionRecord::kGridX);
  removeType(SectionRecord::kGridY);
  m_gridXList = m_gridYList = 0;
}

void CThickSectionView::createGrid() {
  CXSectionAnalysis* m = model();
  if (m == nullptr || !m_gridShown) return;
  removeGridRecords();
  Point<double> lo(m_windowMin.x + m_center.x, m_windowMin.y + m_center.y, 0.0);
  Point<double> hi(m_windowMax.x + m_center.x, m_windowMax.y + m_center.y, 0.0);
  m->deleteGrid();
  if (hi.x - lo.x > 0.001 && hi.y - lo.y > 0.001) m->grid = new CGrid(&lo, &hi);
}

void CThickSectionView::compileGridList(GLuint list, bool xLines) {
  const CGrid* g = model()->grid;
  const std::vector<double>& values = xLines ? g->xLines : g->yLines;
  glNewList(list, GL_COMPILE);
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glShadeModel(GL_FLAT);
  glLineWidth(0.5f);
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i % 4 == 0) {
      glDisable(GL_LINE_STIPPLE);
    } else {
      glEnable(GL_LINE_STIPPLE);
      glLineStipple(1, 0xAAAA);
    }
    glBegin(GL_LINES);
    if (xLines) {
      glVertex2d(values[i], g->minP()->y);
      glVertex2d(values[i], g->maxP()->y);
    } else {
      glVertex2d(g->minP()->x, values[i]);
      glVertex2d(g->maxP()->x, values[i]);
    }
    glEnd();
  }
  glDisable(GL_LINE_STIPPLE);
  glEndList();
}

void CThickSectionView::postGridRecords() {
  CXSectionAnalysis* m = model();
  if (m == nullptr || m->grid == nullptr || !m_gridShown || !makeCurrent()) return;
  // Fresh lists every time: the old records took theirs with them.
  removeGridRecords();
  m_gridXList = GetNewDisplayListIDs(1);
  m_gridYList = GetNewDisplayListIDs(1);
  if (m_gridXList == 0 || m_gridYList == 0) return;
  const struct {
    const wchar_t* name;
    unsigned type;
    GLuint list;
    bool xLines;
  } grids[] = {{L"CThinSectionView::gridX", SectionRecord::kGridX, m_gridXList, true},
               {L"CThinSectionView::gridY", SectionRecord::kGridY, m_gridYList, false}};
  maxPriority(m_gridPriority);
  for (const auto& g : grids) {
    compileGridList(g.list, g.xLines);
    auto* record = new DspRecord(g.name, m->grid, nullptr, static_cast<int>(g.type), static_cast<int>(g.list),
                                 &m_gridMaterial, 1);
    record->pickable(0);
    record->priority(m_gridPriority);
    record->layer = m_gridPriority == kGridBehind ? m_displayKind + 1 : 0;
    m_displayList.AddTail(record);
  }
  postObj(m->grid, 1, 0);
}

void CThickSectionView::SetGridPosition(GridPosition position) {
  switch (position) {
    case GridPosition::Behind:
    case GridPosition::InFront:
      m_gridShown = 1;
      m_gridPriority = position == GridPosition::Behind ? kGridBehind : kGridInFront;
      break;
    case GridPosition::NoShow:
      removeGridRecords();
      if (CXSectionAnalysis* m = model()) m->deleteGrid();
      m_gridShown = 0;
      break;
  }
  if (m_redrawEnabled) RebuildAndRedraw();
}

// ---- checks ----

bool CThickSectionView::hasDuplicateIdentifiers() const {
  std::unordered_set<int> seen;
  for (POSITION pos = m_displayList.GetHeadPosition(); pos != nullptr;)
    if (!seen.insert(m_displayList.GetNext(pos)->listId).second) return true;
  return false;
}

void CThickSectionView::checkDuplicateIdentifiers() const {
  if (hasDuplicateIdentifiers()) throw std::logic_error("Duplicate identifiers in display list");
}

void CThickSectionView::ValidateDisplayList() const {
  if (m_listsStale) return;
  if (hasDuplicateIdentifiers()) throw std::logic_error("dsprecord has duplicate ids");
  CXSectionAnalysis* m = model();
  std::unordered_set<const void*> shapes;
  if (m != nullptr)
    for (POSITION pos = m->shapes.GetHeadPosition(); pos != nullptr;) shapes.insert(m->shapes.GetNext(pos));
  const std::unordered_set<const void*> held = objectsHeld();
  for (POSITION pos = m_displayList.GetHeadPosition(); pos != nullptr;) {
    const DspRecord* r = m_displayList.GetNext(pos);
    if (r->object == nullptr) throw std::logic_error("dsprecord has no object");
    if (held.count(r->object) == 0) throw std::logic_error("Invalid object pointer");
    if ((r->type & SectionRecord::kShape) != 0 && shapes.count(r->object) == 0)
      throw std::logic_error("Invalid shape display record");
  }
}
