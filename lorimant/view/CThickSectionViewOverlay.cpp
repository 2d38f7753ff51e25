// The box overlay of the section view: a box that a dialog shows over the
// section (the bending-shear box) without putting anything into the model.
#include <algorithm>

#include "analysis/model/DspRecord.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/view/CThickSectionView.h"

namespace {

constexpr const wchar_t* kBoxOverlayName = L"boxOverlay";
constexpr unsigned kOverlayType = 0x40000000u;  // as the welds' record
constexpr int kBoxOverlayPriority = 9;          // drawn with the welds, above the meshes

bool isBoxOverlay(const DspRecord* r) { return r != nullptr && r->name == kBoxOverlayName; }

}  // namespace

void CThickSectionView::setBoxOverlay(Point<double> lo, Point<double> hi) {
  m_boxOverlayLo = Point<double>(std::min(lo.x, hi.x), std::min(lo.y, hi.y), 0.0);
  m_boxOverlayHi = Point<double>(std::max(lo.x, hi.x), std::max(lo.y, hi.y), 0.0);
  m_boxOverlayShown = true;
  CXSectionAnalysis* m = model();
  if (m == nullptr) return;
  // Lists out of date are rebuilt with the box; up-to-date lists get it
  // replaced in place, so the picks stay.
  updateDisplayLists();
  if (!makeCurrent()) return;
  clearBoxOverlay();
  m_boxOverlayShown = true;
  postBoxOverlay(m->currentSubSectionMutable());
  RefreshScene();
}

void CThickSectionView::clearBoxOverlay() {
  m_boxOverlayShown = false;
  bool removed = false;
  for (POSITION pos = m_displayList.GetHeadPosition(); pos != nullptr;) {
    const POSITION at = pos;
    DspRecord* r = m_displayList.GetNext(pos);
    if (!isBoxOverlay(r)) continue;
    if (!removed) makeCurrent();
    m_displayList.RemoveAt(at);
    delete r;  // with its display list
    removed = true;
  }
  if (removed) RefreshScene();
}

int CThickSectionView::boxOverlayRecords() const {
  int count = 0;
  for (POSITION pos = m_displayList.GetHeadPosition(); pos != nullptr;)
    if (isBoxOverlay(m_displayList.GetNext(pos))) ++count;
  return count;
}

// The box as the welds look: grey at 0.7 opacity with a black outline.
void CThickSectionView::postBoxOverlay(CSubSection* sub) {
  if (!m_boxOverlayShown || sub == nullptr) return;
  static LightProperties grey(0.5f, 0.5f, 0.5f);
  const GLuint list = glGenLists(1);
  // The record belongs to the sub-section it is drawn over, as the welds' does.
  auto* record = new DspRecord(kBoxOverlayName, sub, nullptr, kOverlayType, static_cast<int>(list), &grey, 1);
  record->pickable(0);
  record->priority(kBoxOverlayPriority);
  const Point<double>& lo = m_boxOverlayLo;
  const Point<double>& hi = m_boxOverlayHi;
  glNewList(list, GL_COMPILE);
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4d(0.5, 0.5, 0.5, 0.7);
  glRectd(lo.x, lo.y, hi.x, hi.y);
  glDisable(GL_BLEND);
  glColor3f(0.0f, 0.0f, 0.0f);
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  glRectd(lo.x, lo.y, hi.x, hi.y);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glEndList();
  maxPriority(kBoxOverlayPriority);
  m_displayList.AddTail(record);
}
