// The section view's result overlays: the resisting-moment arrows of a
// plastic bending result and the section markers (centroid, area and mass
// centroids, plastic centroid).
#include <cmath>

#include "analysis/model/CSectionForces.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/view/CThickSectionView.h"

namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;
// The arrows: length, head length and head half-width in percent.
constexpr float kArrowLength = 12.0f;
constexpr float kArrowHeadLength = 10.0f;
constexpr float kArrowHeadWidth = 3.0f;
// Cozzone's results carry no neutral-axis moment of their own.
constexpr int kCozzoneForces = 7;

// Marker sizes in pixels: the cross from the centre to each end, the disc's
// radius, and how far the label starts from the centre.
constexpr double kCrossHalf = 10.0;
constexpr double kDiscRadius = 6.0;
constexpr double kLabelOffsetX = 12.0;
constexpr double kLabelOffsetY = 4.0;
constexpr int kArcSteps = 6;  // segments of each quadrant's arc

// Where a marker's label goes, so that markers on one point stay readable:
// the direction of its offset and text3D's placement.
struct LabelSide {
  double dx, dy;
  const char* placement;
};

constexpr LabelSide kLabelSides[] = {
    {1.0, 1.0, "lb"},    // 0: right, above
    {-1.0, 1.0, "rb"},   // 1: left, above
    {-1.0, -1.0, "rt"},  // 2: left, below
    {1.0, -1.0, "lt"},   // 3: right, below
};

// One marker of a kind: its point (two getValue codes, or none for the
// plastic centroid), its label, its label side and whether it needs the
// densities defined.
struct MarkerPart {
  int kind;
  int xCode, yCode;
  const char* label;
  int side;
  bool needsDensity;
};

constexpr MarkerPart kMarkerParts[] = {
    {1, 135, 136, "CG", 0, false},
    {2, 132, 133, "ACG", 1, false},
    {2, 138, 139, "MCG", 2, true},
    {3, -1, -1, "PCG", 3, false},
};

// The current matrices and viewport, to move between model points and
// window pixels.
struct Projection {
  GLdouble modelView[16];
  GLdouble proj[16];
  GLint viewport[4];

  Projection() {
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    glGetIntegerv(GL_VIEWPORT, viewport);
  }
  // The window position (and depth) of a model point.
  bool toPixel(const Point<double>& p, double& px, double& py, double& pz) const {
    return gluProject(p.x, p.y, p.z, modelView, proj, viewport, &px, &py, &pz) == GL_TRUE;
  }
  // The model point at a window position and depth.
  bool toModel(double px, double py, double pz, Point<double>& out) const {
    GLdouble x = 0.0, y = 0.0, z = 0.0;
    if (gluUnProject(px, py, pz, modelView, proj, viewport, &x, &y, &z) != GL_TRUE) return false;
    out = Point<double>(x, y, z);
    return true;
  }
};

// Both matrices set to window pixels for as long as it lives.
class PixelSpace {
 public:
  PixelSpace() {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(viewport[0], viewport[0] + viewport[2], viewport[1], viewport[1] + viewport[3]);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
  }
  ~PixelSpace() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
  }
  PixelSpace(const PixelSpace&) = delete;
  PixelSpace& operator=(const PixelSpace&) = delete;
};

// The overlay state of the results: depth test and lighting off, solid
// lines of width 1, flat shading.
void resultOverlayState() {
  for (GLenum cap : {GL_DEPTH_TEST, GL_LIGHTING, GL_TEXTURE_2D, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_BLEND})
    glDisable(cap);
  glLineWidth(1.0f);
  glLineStipple(1, 0xFFFF);
  glShadeModel(GL_FLAT);
}

// The disc of four quadrant fans, black and white in turn from the first
// quadrant, counter-clockwise so that they face the viewer, then the blue
// cross over it; window pixels around (x, y).
void drawMarkerSymbol(double x, double y) {
  const double quarter = std::acos(-1.0) / 2.0;
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glFrontFace(GL_CCW);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  for (int q = 0; q < 4; ++q) {
    const float shade = q % 2 == 0 ? 0.0f : 1.0f;
    glColor3f(shade, shade, shade);
    glBegin(GL_TRIANGLE_FAN);
    glVertex2d(x, y);
    for (int i = 0; i <= kArcSteps; ++i) {
      const double a = quarter * (q + static_cast<double>(i) / kArcSteps);
      glVertex2d(x + kDiscRadius * std::cos(a), y + kDiscRadius * std::sin(a));
    }
    glEnd();
  }
  glDisable(GL_CULL_FACE);
  glColor3f(0.0f, 0.0f, 1.0f);
  glBegin(GL_LINES);
  glVertex2d(x - kCrossHalf, y);
  glVertex2d(x + kCrossHalf, y);
  glVertex2d(x, y - kCrossHalf);
  glVertex2d(x, y + kCrossHalf);
  glEnd();
}

}  // namespace

bool CThickSectionView::plasticMarkerShown(const CSubSection* sub) {
  return sub->isFcyDefined() && sub->isSingleMaterial() && !sub->meshes.empty();
}

void CThickSectionView::drawPlasticArrows(CSubSection* sub, CSectionForces* forces) {
  if (sub == nullptr || forces == nullptr || !sub->scnPrpUTD()) return;
  const double halfWidth = (static_cast<double>(m_windowMax.x) - m_windowMin.x) / 2.0;
  if (!std::isfinite(halfWidth) || halfWidth <= 0.0) return;
  resultOverlayState();
  const double angle = std::atan2(forces->resultantMy, forces->resultantMx) * kDegreesPerRadian;
  CStringA label;
  label.Format("Mr %g", forces->resultantMagnitude);
  drawArrowWithLabel(sub->getValue(135), sub->getValue(136), 0.0, angle, kArrowLength, kArrowHeadLength,
                     kArrowHeadWidth, 0.0f, 0.0f, 1.0f, label, false);
  if (forces->kind != kCozzoneForces) {
    label.Format("Mna %g", forces->resultantNeutralAxisMoment);
    const Point<double>& na = forces->neutralPoint;
    drawArrowWithLabel(na.x, na.y, 0.0, forces->resultantNeutralAxisAngle, kArrowLength, kArrowHeadLength,
                       kArrowHeadWidth, 0.0f, 0.0f, 1.0f, label, false);
  }
  drawMarkerKind(sub, 1);
  drawMarkerKind(sub, 2);
  if (plasticMarkerShown(sub)) drawMarkerKind(sub, 3);
  glEnable(GL_DEPTH_TEST);
}

void CThickSectionView::drawSectionMarkers(CSubSection* sub) {
  if (sub == nullptr || !sub->scnPrpUTD()) return;
  resultOverlayState();
  drawMarkerKind(sub, 2);
  if (plasticMarkerShown(sub)) drawMarkerKind(sub, 3);
  glEnable(GL_DEPTH_TEST);
}

void CThickSectionView::drawMarkerKind(CSubSection* sub, int kind) {
  for (const MarkerPart& part : kMarkerParts) {
    if (part.kind != kind || (part.needsDensity && !sub->isDensityDefined())) continue;
    const Point<double> at = part.xCode < 0 ? sub->plasticCentroid
                                            : Point<double>(sub->getValue(part.xCode), sub->getValue(part.yCode), 0.0);
    if (!std::isfinite(at.x) || !std::isfinite(at.y)) continue;
    drawMarker(at, part.label, part.side);
  }
}

void CThickSectionView::drawMarker(const Point<double>& at, const char* label, int side) {
  const Projection projection;
  double x = 0.0, y = 0.0, depth = 0.0;
  if (!projection.toPixel(at, x, y, depth)) return;
  // On the centre of its pixel, so that the cross's lines are one pixel wide.
  x = std::floor(x) + 0.5;
  y = std::floor(y) + 0.5;
  {
    PixelSpace pixels;
    drawMarkerSymbol(x, y);
  }
  const LabelSide& s = kLabelSides[side];
  Point<double> labelAt;
  if (!projection.toModel(x + s.dx * kLabelOffsetX, y + s.dy * kLabelOffsetY, depth, labelAt)) return;
  text3D(labelAt.x, labelAt.y, labelAt.z, 0.0f, 0.0f, 0.0f, s.placement, CStringA(label), -1);
  resultOverlayState();
}
