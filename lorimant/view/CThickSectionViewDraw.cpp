// The section view's redraw: the display list, then the overlays that
// depend on the view's flags and on the current results.
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CGrid.h"
#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/CResultLocation.h"
#include "analysis/model/CSectionForces.h"
#include "analysis/views/CPrintInfoDlg.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/view/CThickSectionView.h"

namespace {

constexpr UINT kAllTypes = 0xFFFFFFFFu;
constexpr double kPi = 3.14159265358979323846;

// Pixels kept free between two grid labels.
constexpr double kGridLabelGap = 4.0;
// Between neighbouring labels along an axis: their white boxes reach past
// the text, so a gap of kGridLabelGap left them touching.
constexpr double kGridLabelSpacing = 12.0;

// Result kinds of the sub-section.
constexpr int kStressResult = 3;
constexpr int kStrainResult = 4;

// Depth test, lighting and stipple off, flat shading, as every overlay wants.
void flatOverlay() {
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_LINE_STIPPLE);
  glShadeModel(GL_FLAT);
}

CStringA formatNumber(const char* format, double v) {
  CStringA text;
  text.Format(format, v);
  return text;
}

}  // namespace

CString gridLabel(double value) {
  if (std::fabs(value) < 1e-5) value = 0.0;
  CString text;
  text.Format(L"%g", value);
  return text;
}

void CThickSectionView::RefreshScene() {
  m_pictureStale = true;
  // While the picture is being drawn the window is painting already.
  if (!m_drawing && m_pHost != nullptr) m_pHost->invalidate(false);
}

const COffscreenContext* CThickSectionView::renderPixels() {
  if (!m_initialised) return nullptr;
  CXSectionAnalysis* m = model();
  if (m == nullptr || m->subSections.empty()) return nullptr;
  if (!makeCurrent()) return nullptr;
  const COffscreenContext* pixels = buffer();
  struct Drawing {
    bool& flag;
    explicit Drawing(bool& f) : flag(f) { flag = true; }
    ~Drawing() { flag = false; }
  } drawing(m_drawing);
  // Records built from a model since replaced (undo and redo restore a new
  // one) point into freed objects: they are built again before any drawing.
  updateDisplayLists();
  if (m_pictureStale || pixels->width() != m_drawnWidth || pixels->height() != m_drawnHeight) {
    ++m_renderCount;
    drawScene();
    m_pictureStale = false;
    m_drawnWidth = pixels->width();
    m_drawnHeight = pixels->height();
  }
  glFinish();
  return pixels;
}

void CThickSectionView::ExecuteDisplayList(UINT mode, UINT typeMask, int lit, int unused) {
  if (!m_drawing) {
    updateDisplayLists();
    if (mode == GL_RENDER) m_pictureStale = true;
  }
  COpenGLView::ExecuteDisplayList(mode, typeMask, lit, unused);
}

void CThickSectionView::drawScene() {
  CXSectionAnalysis* m = model();
  CSubSection* sub = m->currentSubSectionMutable();
  if (sub == nullptr) throw std::logic_error("Invalid subsection model");
  m_layerCount = m_displayKind;
  if (!makeCurrent()) return;
  projection();
  cameraPosition();
  glClearColor(m_background[0], m_background[1], m_background[2], 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  errCheck();
  if (m_gridShown) {
    createGrid();
    postGridRecords();
  }
  lightsOn();
  // The render mode, every record type and priority.
  ExecuteDisplayList(GL_RENDER, kAllTypes, 0, 0);
  drawGridLabels();
  drawAxisCross();

  std::shared_ptr<CLoadCondition> lc = sub->appliedLoad();
  if (!lc) resultKind(sub, 0);
  const int kind = resultKind(sub);
  if (lc && (kind == kStressResult || kind == kStrainResult)) {
    CSectionForces* forces = lc->scnForcesMutable();
    drawPlasticArrows(sub, forces);
    drawExtremeValues(sub, forces, kind);
    drawResultLocationLabels(sub);
  }
  if (sub->scnPrpUTD() && kind == 0) drawSectionMarkers(sub);
  if (!sub->meshes.empty()) {
    if (m_nodeIds) drawNodeNumbers(sub);
    if (m_elementIds) drawElementNumbers(sub);
  }
  errCheck();
  if (m_labelMode == 2) sub->displayIDs(this);
  if (m_labelMode == 1) drawMaterialLabels();
  if (m_pPrintInfo != nullptr && m_pPrintInfo->m_titleLocation >= 0) drawTitleBlock();
  glFinish();
  if (m_positionPoints) drawPickedShapePoints();
  drawTooltip();
}

void CThickSectionView::lightsOn() {
  const GLfloat ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
  const GLfloat diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
  const GLfloat none[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  // Towards the viewer, in eye coordinates: every face of the section
  // plane is lit head-on.
  const GLfloat towardsViewer[4] = {0.0f, 0.0f, 1.0f, 0.0f};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glLightfv(GL_LIGHT0, GL_POSITION, towardsViewer);
  glPopMatrix();
  glLightfv(GL_LIGHT0, GL_AMBIENT, none);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
  glLightfv(GL_LIGHT0, GL_SPECULAR, none);
  glEnable(GL_LIGHT0);
}

void CThickSectionView::drawMaterialLabels() {
  auto shapes = model()->currentShapes();
  if (!shapes) return;
  for (POSITION pos = shapes->GetHeadPosition(); pos != nullptr;) {
    const CShapeAnalysis* s = shapes->GetNext(pos);
    if (!s->material() || s->boundary == nullptr) continue;
    const Point<double> p = s->boundary->getInteriorPoint(0.5);
    text3D(p.x, p.y, 0.0, 0.0f, 0.0f, 0.0f, "cc", CStringA(s->material()->name), -1);
  }
}

void CThickSectionView::drawAxisCross() {
  const double s = (m_windowMax.x - m_windowMin.x) / 50.0;
  flatOverlay();
  glLineWidth(1.0f);
  glColor3f(1.0f, 0.0f, 0.0f);
  text3D(0.0, 0.0, 0.0, 1.0f, 0.0f, 0.0f, "cb", CStringA("00"), -1);
  glColor3f(1.0f, 0.0f, 0.0f);
  glBegin(GL_LINES);
  glVertex3d(-s, 0.0, 0.0);
  glVertex3d(s, 0.0, 0.0);
  glVertex3d(0.0, -s, 0.0);
  glVertex3d(0.0, s, 0.0);
  glEnd();
  glEnable(GL_DEPTH_TEST);
}

std::vector<std::size_t> legibleGridLabels(const std::vector<double>& centres, const std::vector<double>& halves,
                                           double gap, double low, double high) {
  std::vector<std::size_t> kept;
  const auto fits = [&](std::size_t i) {
    if (centres[i] - halves[i] < low || centres[i] + halves[i] > high) return false;
    for (std::size_t k : kept)
      if (std::fabs(centres[i] - centres[k]) < halves[i] + halves[k] + gap) return false;
    return true;
  };
  // The solid lines first, then the stippled ones between them.
  for (const bool solid : {true, false})
    for (std::size_t i = 0; i < centres.size(); ++i)
      if ((i % 4 == 0) == solid && fits(i)) kept.push_back(i);
  std::sort(kept.begin(), kept.end());
  return kept;
}

void CThickSectionView::drawGridLabels() {
  CXSectionAnalysis* m = model();
  if (!m_gridShown || m == nullptr || m->grid == nullptr || m_width <= 0 || m_height <= 0) return;
  const CGrid* g = m->grid;
  flatOverlay();
  const int font = m_GridLabelFontId != 0 ? static_cast<int>(m_GridLabelFontId) : -1;
  const double left = m_center.x + m_windowMin.x;
  const double windowBottom = m_center.y + m_windowMin.y;
  const double perPixelX = (m_windowMax.x - m_windowMin.x) / m_width;
  const double perPixelY = (m_windowMax.y - m_windowMin.y) / m_height;
  // A dense grid has more lines than its labels have room for: those that
  // would overlap a label already placed, or not fit in [low, high]
  // (pixels along their axis), are left out.
  const auto labels = [&](const std::vector<double>& values, double origin, double perPixel, bool across,
                          double low, double high) {
    std::vector<CStringA> texts;
    std::vector<double> centres, halves;
    for (double v : values) {
      texts.emplace_back(gridLabel(v));
      const CSize extent = textExtent(texts.back(), font);
      centres.push_back((v - origin) / perPixel);
      halves.push_back(0.5 * (across ? extent.cx : extent.cy));
    }
    return std::pair{texts, legibleGridLabels(centres, halves, kGridLabelSpacing, low, high)};
  };
  // Inside the view: the grid's top can be the window's top edge, where a
  // label set on it would fall outside the picture.
  const double y = std::min(g->maxP()->y, windowBottom + 0.95 * (m_windowMax.y - m_windowMin.y));
  const auto [xTexts, xKept] = labels(g->xLines, left, perPixelX, true, 0.0, m_width);
  for (std::size_t i : xKept)
    text3DwithBackground(g->xLines[i], y, 0.0, 0.0f, 0.0f, 0.0f, "cb", xTexts[i], 1.0f, 1.0f, 1.0f, font);
  // The y labels stay below the row of x labels (whose boxes reach 5
  // pixels under their base line).
  const double xRowBottom = (y - windowBottom) / perPixelY - 5.0 - kGridLabelGap;
  const auto [yTexts, yKept] = labels(g->yLines, windowBottom, perPixelY, false, 0.0, xRowBottom);
  for (std::size_t i : yKept)
    text3DwithBackground(g->minP()->x, g->yLines[i], 0.0, 0.0f, 0.0f, 0.0f, "lc", yTexts[i], 1.0f, 1.0f, 1.0f,
                         font);
  glEnable(GL_DEPTH_TEST);
}

void CThickSectionView::drawPickedShapePoints() {
  const double s = (m_windowMax.x - m_windowMin.x) / 125.0;
  for (POSITION pos = COpenGLView::m_pickList.GetTailPosition(); pos != nullptr;) {
    const DspRecord* r = dspRecord(COpenGLView::m_pickList.GetPrev(pos));
    if (r == nullptr) break;
    if (!r->picked || r->kind != SectionRecord::kShapeKind || r->object == nullptr) continue;
    const auto* shape = static_cast<const CShapeAnalysis*>(r->object);
    flatOverlay();
    glLineWidth(1.0f);
    for (std::size_t i = 0; i < shape->definingPoints.size(); ++i) {
      const Point<double>& c = shape->definingPoints[i];
      glColor3f(0.0f, 0.0f, 0.0f);
      glBegin(GL_TRIANGLE_FAN);
      glVertex2d(c.x, c.y);
      for (int deg = 0; deg <= 360; deg += 5) {
        const double a = deg * kPi / 180.0;
        glVertex2d(c.x + s * std::sin(a), c.y + s * std::cos(a));
      }
      glEnd();
      CStringA label;
      label.Format("%d", static_cast<int>(i + 1));
      text3D(c.x, c.y, 0.0, 1.0f, 1.0f, 1.0f, "cc", label, -1);
    }
    glEnable(GL_DEPTH_TEST);
  }
}

void CThickSectionView::drawResultLocationLabels(CSubSection* sub) {
  for (const CResultLocation* r : sub->resultLocations) {
    CStringA label;
    label.Format("%d", r->index);
    showValue(r->location.x, r->location.y, r->location.z, 1.0f, 1.0f, 1.0f, "cc", label, 0.0f, 0.0f, 0.0f);
  }
}

void CThickSectionView::drawExtremeValues(CSubSection* /*sub*/, CSectionForces* forces, int kind) {
  if (forces == nullptr || !forces->minNode || !forces->maxNode) return;
  if (kind != kStressResult && kind != kStrainResult) return;
  const double lo = kind == kStressResult ? forces->minStress : forces->minStrain;
  const double hi = kind == kStressResult ? forces->maxStress : forces->maxStrain;
  const Point<double>& a = forces->minNode->position;
  const Point<double>& b = forces->maxNode->position;
  showValue(a.x, a.y, a.z, 0.0f, 0.0f, 1.0f, "cc", formatNumber("%g", lo), 1.0f, 1.0f, 1.0f);
  showValue(b.x, b.y, b.z, 1.0f, 0.0f, 0.0f, "cc", formatNumber("%g", hi), 1.0f, 1.0f, 1.0f);
}
