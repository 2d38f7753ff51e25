// The section view's input: picks on release, the double-click hold, the
// pan mode, wheel and key zoom steps, hover tooltips, the keyboard
// shortcuts, the context menu and the touch gestures.
#include "lorimant/view/SectionViewInput.h"

#include <algorithm>
#include <iterator>

#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"
#include "lorimant/view/CThickSectionView.h"
#include "lorimant/view/SectionViewHost.h"
#include "platform/core/Exceptions.h"

namespace {

namespace C = SectionCommand;
namespace K = ViewKeyCode;

// Type masks of a click: construction points, or points and shapes.
constexpr UINT kPointsOnly = SectionRecord::kDot;
constexpr UINT kPointsAndShapes = SectionRecord::kDot | SectionRecord::kShape;
// Pixels an arrow key pans by.
constexpr int kArrowPan = 10;
// Where a context menu opened from the keyboard appears, inside the
// client's top-left corner.
constexpr int kKeyboardMenuInset = 5;

void journalSelection(CThickSectionView& view, const CString& name) {
  gLogMsg.Format(L"xscn.SelectShape \"%s\"", JournalQuotedText(name));
  view.journal();
}

}  // namespace

struct SectionViewInput::KeyBinding {
  int code;
  bool ctrl;
  bool shift;
  bool alt;
  KeyWork work;
  int a;  // pan: x pixels; zoom: the step's code; command: its id
  int b;  // pan: y pixels (upwards)
};

const SectionViewInput::KeyBinding* SectionViewInput::findKey(const ViewKey& key) {
  static const KeyBinding kKeys[] = {
      {K::Escape, false, false, false, KeyWork::ClearPicks, 0, 0},
      {K::Left, false, false, false, KeyWork::Pan, -kArrowPan, 0},
      {K::Up, false, false, false, KeyWork::Pan, 0, kArrowPan},
      {K::Right, false, false, false, KeyWork::Pan, kArrowPan, 0},
      {K::Down, false, false, false, KeyWork::Pan, 0, -kArrowPan},
      {K::Left, false, true, false, KeyWork::Zoom, 6, 0},
      {K::Up, false, true, false, KeyWork::Zoom, 6, 0},
      {K::Right, false, true, false, KeyWork::Zoom, 7, 0},
      {K::Down, false, true, false, KeyWork::Zoom, 7, 0},
      {'A', true, false, false, KeyWork::SelectAll, 0, 0},
      {'X', true, false, false, KeyWork::Command, C::Delete, 0},
      {K::Delete, false, false, false, KeyWork::Command, C::Delete, 0},
      {'Y', true, false, false, KeyWork::Command, C::Redo, 0},
      {'Z', true, false, false, KeyWork::Command, C::Undo, 0},
      {K::Back, false, false, true, KeyWork::Command, C::Undo, 0},
  };
  const auto it = std::find_if(std::begin(kKeys), std::end(kKeys), [&](const KeyBinding& b) {
    return b.code == key.code && b.ctrl == key.ctrl && b.shift == key.shift && b.alt == key.alt;
  });
  return it != std::end(kKeys) ? &*it : nullptr;
}

SectionViewInput::SectionViewInput(CThickSectionView& view, SectionViewHost& host) : m_view(view), m_host(host) {}

// ---- mouse ----

void SectionViewInput::leftDown(CPoint p) {
  if (m_view.mouseLoopActive()) m_view.mouseLoopEvent(ViewMouseEvent::LeftDown, p);
}

void SectionViewInput::leftUp(CPoint p) {
  if (m_view.mouseLoopEvent(ViewMouseEvent::LeftUp, p)) return;
  if (m_panning || m_view.m_hold || m_view.model() == nullptr) return;
  const UINT mask = m_view.transformDialogOpen() ? kPointsOnly : kPointsAndShapes;
  const bool hadPicks = !m_view.COpenGLView::m_pickList.IsEmpty();
  m_view.pick(p.x, p.y, mask);
  // A click on a picked record turns every pick off: a replay must too.
  if (hadPicks && m_view.COpenGLView::m_pickList.IsEmpty()) m_view.journal(L"xscn.ClearPicks");
}

void SectionViewInput::leftDoubleClick(CPoint p) {
  if (m_view.mouseLoopEvent(ViewMouseEvent::DoubleClick, p)) return;
  if (m_panning || m_view.m_stationDisplay || m_view.model() == nullptr) return;
  m_view.m_hold = 1;
  m_host.startTimer(kPickHoldTimer, kPickHoldMilliseconds);
  const auto before = m_view.COpenGLView::m_pickList.GetCount();
  m_view.turnOffAllButLastPickFlags();
  if (before > 1) {
    // What a replay needs to end with the same single pick.
    m_view.journal(L"xscn.ClearPicks");
    const std::vector<CString> kept = pickedShapeNames();
    if (!kept.empty()) journalSelection(m_view, kept.front());
  }
  m_view.RefreshScene();
  m_view.OnEdit();
}

void SectionViewInput::middleDown(CPoint p) {
  if (m_view.mouseLoopActive() || m_panning) return;
  m_panning = true;
  m_panLast = p;
  m_host.captureMouse();
}

void SectionViewInput::middleUp(CPoint /*p*/) {
  if (m_panning) endPan(true);
}

void SectionViewInput::rightUp(CPoint /*p*/) {
  if (m_panning) endPan(true);
}

void SectionViewInput::mouseMove(CPoint p) {
  if (m_view.mouseLoopEvent(ViewMouseEvent::Move, p)) return;
  if (m_panning) {
    panTo(p);
    return;
  }
  m_host.trackHover(kHoverMilliseconds);
  if (m_view.tooltipShown()) m_view.hideTooltip();
}

void SectionViewInput::captureLost() {
  if (m_view.mouseLoopEvent(ViewMouseEvent::CaptureLost)) return;
  if (m_panning) endPan(false);
}

void SectionViewInput::wheel(int delta) {
  m_view.zoomStep(delta < 0 ? ZoomIn : ZoomOut);
  m_view.RefreshScene();
}

void SectionViewInput::hover(CPoint p) {
  if (m_panning || m_view.mouseLoopActive()) return;
  m_view.showTooltipAt(p.x, p.y);
}

// ---- the pan mode ----

void SectionViewInput::panTo(CPoint p) {
  const int dx = p.x - m_panLast.x;
  const int dy = p.y - m_panLast.y;
  m_panLast = p;
  if ((dx == 0 && dy == 0) || !m_view.makeCurrent()) return;
  m_view.projection();
  m_view.cameraPosition();
  // Eye and centre move together by the mouse's delta in window pixels
  // (y upwards there), so the picture follows the mouse.
  Point<float> eye, centre;
  m_view.model2dev(&m_view.m_eye, &eye);
  m_view.model2dev(&m_view.m_center, &centre);
  for (Point<float>* d : {&eye, &centre}) {
    d->x -= static_cast<float>(dx);
    d->y += static_cast<float>(dy);
  }
  Point<float> newEye = m_view.m_eye, newCentre = m_view.m_center;
  m_view.dev2model(&eye, &newEye);
  m_view.dev2model(&centre, &newCentre);
  m_view.m_eye = newEye;
  m_view.m_center = newCentre;
  // The redraw lays the grid over the area now shown.
  m_view.RefreshScene();
}

void SectionViewInput::endPan(bool releaseCapture) {
  m_panning = false;
  if (releaseCapture) m_host.releaseMouse();
  m_view.RefreshScene();
}

// ---- keyboard ----

bool SectionViewInput::keyDown(const ViewKey& key) {
  const KeyBinding* binding = findKey(key);
  if (binding == nullptr) return false;
  if (binding->work == KeyWork::ClearPicks) {
    escape();
    return true;
  }
  if (m_panning || m_view.mouseLoopActive()) return true;
  runKey(*binding);
  try {
    m_view.RefreshScene();
  } catch (const CException&) {
    // A failed repaint leaves the previous picture; the next one tries again.
  }
  return true;
}

void SectionViewInput::runKey(const KeyBinding& binding) {
  switch (binding.work) {
    case KeyWork::Pan: {
      Point<float> delta(static_cast<float>(binding.a), static_cast<float>(binding.b), 0.0f);
      m_view.pan(&delta, 1);
      break;
    }
    case KeyWork::Zoom: m_view.zoomStep(binding.a); break;
    case KeyWork::SelectAll: selectAllJournalled(); break;
    case KeyWork::Command: m_view.RunCommand(static_cast<UINT>(binding.a)); break;
    case KeyWork::ClearPicks: escape(); break;
  }
}

void SectionViewInput::escape() {
  if (m_view.mouseLoopEvent(ViewMouseEvent::Escape)) return;
  if (m_panning) {
    endPan(true);
    return;
  }
  clearPicksJournalled();
  m_view.errCheck();
}

// ---- timers and menu ----

void SectionViewInput::timer(int id) {
  if (id != kPickHoldTimer) return;
  m_view.m_hold = 0;
  m_host.killTimer(kPickHoldTimer);
}

void SectionViewInput::contextMenu(CPoint clientPoint, bool fromKeyboard) {
  if (m_panning || m_view.mouseLoopActive()) return;
  if (fromKeyboard) {
    const CRect client = m_host.clientRect();
    clientPoint = CPoint(client.left + kKeyboardMenuInset, client.top + kKeyboardMenuInset);
  }
  m_host.popupMenu(m_view.contextMenu(), clientPoint);
}

// ---- touch gestures ----

void SectionViewInput::panGesture(CPoint from, CPoint to) {
  Point<float> delta(static_cast<float>(to.x - from.x), static_cast<float>(-(to.y - from.y)), 0.0f);
  if (delta.x == 0.0f && delta.y == 0.0f) return;
  m_view.pan(&delta, 1);
  m_view.RefreshScene();
}

void SectionViewInput::zoomGesture(CPoint centre, double factor, bool begin) {
  if (begin) {
    if (!m_view.makeCurrent()) return;
    m_view.projection();
    m_view.cameraPosition();
    Point<float> pixel(static_cast<float>(centre.x), static_cast<float>(centre.y), 0.0f);
    Point<float> at = m_view.m_center;
    m_view.pix2model(&pixel, &at);
    m_view.m_eye.x = m_view.m_center.x = at.x;
    m_view.m_eye.y = m_view.m_center.y = at.y;
    return;
  }
  if (factor == 0.0) return;
  m_view.zoomStep(factor < 1.0 ? ZoomOut : ZoomIn);
  m_view.RefreshScene();
}

void SectionViewInput::rotateGesture(CPoint /*centre*/, bool begin) {
  if (begin) m_view.RunCommand(C::RotateAll);
}

void SectionViewInput::twoFingerTap(CPoint /*centre*/) {
  selectAllJournalled();
  m_view.RefreshScene();
}

void SectionViewInput::pressAndTap(CPoint /*p*/) { clearPicksJournalled(); }

// ---- journalled pick changes ----

void SectionViewInput::clearPicksJournalled() {
  m_view.journal(L"xscn.ClearPicks");
  m_view.ClearPicks();
}

void SectionViewInput::selectAllJournalled() {
  const std::vector<CString> before = pickedShapeNames();
  m_view.selectAllShapes();
  for (const CString& name : pickedShapeNames())
    if (std::find(before.begin(), before.end(), name) == before.end()) journalSelection(m_view, name);
}

std::vector<CString> SectionViewInput::pickedShapeNames() const { return m_view.pickedShapeNames(); }
