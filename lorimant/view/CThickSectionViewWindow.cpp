// What the section view does for its window: attaching to it, the zoom
// step of the wheel and the keys, and the hover tooltip.
#include "analysis/model/CDot.h"
#include "analysis/model/CMetal.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/view/CThickSectionView.h"

namespace {

// A zoom step moves each side of the view window by this part of its size.
constexpr float kZoomStep = 0.05f;
// The view window stays within these widths, so that the projection
// never degenerates however often a step repeats.
constexpr float kNarrowestWindow = 1e-6f;
constexpr float kWidestWindow = 1e9f;

}  // namespace

void CThickSectionView::attachWindow(SectionViewHost* window) {
  setHost(window != nullptr ? static_cast<CViewHost*>(window) : m_ownHost.get());
}

SectionViewHost* CThickSectionView::sectionHost() const { return dynamic_cast<SectionViewHost*>(m_pHost); }

void CThickSectionView::zoomStep(int code) {
  const float width = m_windowMax.x - m_windowMin.x;
  if (code == ZoomIn && width > kNarrowestWindow) zoomCntl(-kZoomStep);
  if (code == ZoomOut && width < kWidestWindow) zoomCntl(kZoomStep);
}

bool CThickSectionView::transformDialogOpen() const {
  if (m_document == nullptr) return false;
  for (ModelessDialog* d : {m_rotateDialog, m_mirrorDialog, m_translateDialog})
    if (d != nullptr && m_document->IsModelessDialogOpen(d)) return true;
  return false;
}

// ---- hover tooltip ----

bool CThickSectionView::showTooltipAt(int x, int y) {
  if (m_tooltipShown) return true;
  if (model() == nullptr) return false;
  // A look, not a pick: the picks and the last pick stay as they are.
  const Point<double> lastPoint = m_lastPickPoint;
  void* const lastObject = m_lastPickedObject;
  const DspRecord* record = selectAt(x, y, SectionRecord::kDot | SectionRecord::kShape);
  const Point<double> hovered = m_lastPickPoint;
  m_lastPickPoint = lastPoint;
  m_lastPickedObject = lastObject;
  if (record == nullptr || record->object == nullptr) return false;
  CString text;
  if ((record->type & SectionRecord::kDot) != 0) {
    const auto* dot = static_cast<const CDot*>(record->object);
    text.Format(L"(%g,%g)", dot->location.x, dot->location.y);
    m_tooltipPoint = Point<double>(dot->location.x, dot->location.y, 0.0);
  } else if (record->kind == SectionRecord::kShapeKind) {
    const auto* shape = dynamic_cast<const CShapeAnalysis*>(static_cast<CObject*>(record->object));
    if (shape == nullptr) return false;
    if (const std::shared_ptr<CMetal> material = shape->material())
      text.Format(L"id:%s  matl:%s", static_cast<const wchar_t*>(shape->name()),
                  static_cast<const wchar_t*>(material->name));
    else
      text.Format(L"id:%s", static_cast<const wchar_t*>(shape->name()));
    m_tooltipPoint = Point<double>(hovered.x, hovered.y, 0.0);
  } else {
    return false;
  }
  m_tooltipText = CStringA(text);
  m_tooltipShown = true;
  RefreshScene();
  return true;
}

void CThickSectionView::hideTooltip() {
  if (!m_tooltipShown) return;
  m_tooltipShown = false;
  RefreshScene();
}

void CThickSectionView::drawTooltip() {
  if (!m_tooltipShown) return;
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glShadeModel(GL_FLAT);
  text3DwithBackground(m_tooltipPoint.x, m_tooltipPoint.y, 0.0, 0.0f, 0.0f, 0.0f, "lb", m_tooltipText, 1.0f, 1.0f,
                       1.0f, -1);
  glFlush();
  glEnable(GL_DEPTH_TEST);
}
