// How a sub-section shows its shapes, welds and names in the OpenGL view:
// display records on display lists compiled in the current context.
#include <cmath>
#include <stdexcept>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/geometry/PlanarGeometry.h"
#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/DspRecord.h"
#include "analysis/views/COpenGLView.h"
#include "analysis/views/Tessellation.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/CWeld.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "platform/gl/OpenGL.h"

namespace {

constexpr int kShapeRecord = 32;
constexpr unsigned kOverlayRecord = 0x40000000u;
constexpr int kShapeFlag = 0x20;

// A line strip through the points.
void lineStrip(const CArray<Point<double>>& pts) {
  glBegin(GL_LINE_STRIP);
  for (int i = 0; i < pts.GetSize(); ++i)
    glVertex3d(pts[i].x, pts[i].y, pts[i].z);
  glEnd();
}

// Fills the closed polygon (its last point repeats the first) through the
// GLU tessellator; a GLU error is thrown once the polygon has ended.
void tessellate(const CArray<Point<double>>& pts) {
  const int n = pts.GetSize() - 1;
  if (n < 3)
    return;
  std::vector<GLdouble> coords(3 * static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    coords[3 * i] = pts[i].x;
    coords[3 * i + 1] = pts[i].y;
    coords[3 * i + 2] = pts[i].z;
  }
  GLUtesselator* tess = gluNewTess();
  if (!tess)
    throw std::logic_error("OpenGL display failure");
  {
    TessellationScope scope;
    gluTessCallback(tess, GLU_TESS_BEGIN, reinterpret_cast<_GLUfuncptr>(glBegin));
    gluTessCallback(tess, GLU_TESS_VERTEX, reinterpret_cast<_GLUfuncptr>(glVertex3dv));
    gluTessCallback(tess, GLU_TESS_END, reinterpret_cast<_GLUfuncptr>(glEnd));
    gluTessCallback(tess, GLU_TESS_ERROR, reinterpret_cast<_GLUfuncptr>(COpenGLView::errorCallback));
    gluTessCallback(tess, GLU_TESS_COMBINE, reinterpret_cast<_GLUfuncptr>(COpenGLView::combineCallback));
    gluTessBeginPolygon(tess, nullptr);
    gluTessBeginContour(tess);
    for (int i = 0; i < n; ++i)
      gluTessVertex(tess, &coords[3 * i], &coords[3 * i]);
    gluTessEndContour(tess);
    gluTessEndPolygon(tess);
    gluDeleteTess(tess);
    scope.rethrow();
  }
}

// The drawing priority of a solid, hole or solid inside a generated hole.
int shapePriority(CShapeAnalysis* s) {
  if (s->isPositiveInsideGeneratedNegative())
    return 5;
  return s->isNegative() ? 4 : 3;
}

// The record's sequence: the owner's place among this sub-section's
// children, else for a formed or extruded owner its parent's place.
int shapeSequence(const CSubSection* self, const CSubSection* owner) {
  CString n = owner->name();
  int seq = self->sequenceNumber(n);
  if (seq == -1 && owner->isFormedOrExtrudedSection() && owner->parent()) {
    CString pn = owner->parent()->name();
    seq = self->sequenceNumber(pn);
  }
  return seq;
}

}  // namespace

void CSubSection::displayShapes(CList<DspRecord*, DspRecord*>* list, COpenGLView* view) const {
  auto all = getShapesRecursive();
  POSITION pos = all->GetHeadPosition();
  while (pos) {
    CShapeAnalysis* s = all->GetNext(pos);
    removeShape(list, s);
    displayShape(s, list, view);
  }
}

void CSubSection::displayShape(CShapeAnalysis* shape, CList<DspRecord*, DspRecord*>* list, COpenGLView* view) const {
  shape->boundary->polygon(false, 0.001, -1);
  const CArray<Point<double>>& pts = shape->boundary->polygonPoints();
  CSubSection* owner = shape->subSection();
  if (!owner)
    throw std::logic_error("Parent object not defined");
  const int seq = shapeSequence(this, owner);
  shape->displayList1 = glGenLists(1);
  shape->displayList2 = glGenLists(1);

  LightProperties* colour = view->defaultColour();
  if (shape->inPhantom())
    colour = view->phantomColour();
  else if (shape->isNegative())
    colour = view->holeColour();
  else if (shape->material() && shape->material()->colour)
    colour = shape->material()->colour.get();
  auto* fill = new DspRecord(shape->name(), shape, nullptr, kShapeRecord, static_cast<int>(shape->displayList1),
                             colour, 1);
  fill->sequence = seq;
  fill->priority(shapePriority(shape));
  fill->flags = kShapeFlag;
  list->AddTail(fill);

  const bool dashed = shape->isBulb() || shape->isSimpleSupport() || shape->inPhantom();
  glNewList(shape->displayList1, GL_COMPILE);
  glShadeModel(GL_FLAT);
  for (GLenum cap : {GL_LIGHTING, GL_DEPTH_TEST, GL_CULL_FACE, GL_TEXTURE_2D})
    glDisable(cap);
  if (dashed) {
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glEnable(GL_LINE_STIPPLE);
    glLineStipple(1, 0x1C47);
    lineStrip(pts);
  } else {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    tessellate(pts);
  }
  glEndList();
  if (shape->isBulb() || shape->isSimpleSupport())
    return;

  auto* outline = new DspRecord(shape->name(), shape, nullptr, kShapeRecord, static_cast<int>(shape->displayList2),
                                view->outlineColour(), 1);
  const int priority = shape->inPhantom() ? 8 : shapePriority(shape);
  outline->priority(priority);
  view->maxPriority(shape->inPhantom() ? 8 : 5);
  outline->flags = kShapeFlag;
  outline->sequence = seq;
  list->AddTail(outline);
  glNewList(shape->displayList2, GL_COMPILE);
  glColor3f(0.0f, 0.0f, 0.0f);
  glDisable(GL_LINE_STIPPLE);
  lineStrip(pts);
  glEndList();
}

DspRecord* CSubSection::showWelds() const {
  static LightProperties blue(0.0f, 0.0f, 1.0f);
  const GLuint list = glGenLists(1);
  auto* record = new DspRecord(L"showWelds", nullptr, nullptr, kOverlayRecord, static_cast<int>(list), &blue, 1);
  glNewList(list, GL_COMPILE);
  glFrontFace(GL_CCW);
  glEnable(GL_CULL_FACE);
  glDisable(GL_LIGHTING);
  glShadeModel(GL_FLAT);
  glDisable(GL_DEPTH_TEST);
  glPolygonMode(GL_FRONT, GL_FILL);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glClearColor(0, 0, 0, 0);
  glColor4d(0.5, 0.5, 0.5, 0.7);
  for (const CWeld* w : welds)
    glRectd(w->xmin, w->ymin, w->xmax, w->ymax);
  glDisable(GL_BLEND);
  glColor3f(0.0f, 0.0f, 0.0f);
  glPolygonMode(GL_FRONT, GL_LINE);
  for (const CWeld* w : welds)
    glRectd(w->xmin, w->ymin, w->xmax, w->ymax);
  glEndList();
  return record;
}

void CSubSection::displayIDs(COpenGLView* view) const {
  auto label = [&](const CCompositeCurve* curve, const CString& text) {
    const Point<double> p = curve->getInteriorPoint(0.5);
    view->text3D(p.x, p.y, 0.0, 1.0f, 0.0f, 0.0f, "cc", CStringA(text), -1);
  };
  if (isUnionOn()) {
    label(unionShapes->GetHead()->boundary, m_name);
  } else {
    POSITION pos = shapeList.GetHeadPosition();
    while (pos) {
      const CShapeAnalysis* s = shapeList.GetNext(pos);
      label(s->boundary, s->name());
    }
  }
  for (const CSubSection* c : children)
    c->displayIDs(view);
}

CSectionForces* CSubSection::contourForces() const {
  return currentLoadCondition ? currentLoadCondition->scnForcesMutable() : nullptr;
}

DspRecord* CSubSection::displayLinePlot(Point<double>& p1, Point<double>& p2, RESULTS kind) {
  Point<double> direction(p2.x - p1.x, p2.y - p1.y, 0.0);
  const double angle = counterClockwiseAngle(&direction);
  const Point<double> normal(-std::sin(angle), std::cos(angle), 0.0);
  maxmin(contourForces(), kind);
  Point<double> lo, hi;
  extents(&lo, &hi);
  const double dx = hi.x - lo.x, dy = hi.y - lo.y, dz = hi.z - lo.z;
  const double diagonal2 = dx * dx + dy * dy + dz * dz;
  const double scale = diagonal2 < 1e-40 ? 0.0 : 0.6 * std::sqrt(diagonal2);

  const GLuint list = glGenLists(1);
  if (list == 0)
    return nullptr;
  auto* record = new DspRecord(L"CSubSection::displayLinePlot", this, nullptr, kOverlayRecord,
                               static_cast<int>(list), nullptr, 1);
  record->flags = 0x20000000;
  glNewList(list, GL_COMPILE);
  glShadeModel(GL_FLAT);
  for (GLenum cap : {GL_LIGHTING, GL_DEPTH_TEST, GL_CULL_FACE, GL_TEXTURE_2D})
    glDisable(cap);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  for (const CMesh* mesh : meshes) {
    for (const auto& e : mesh->trng3Elements) {
      Point<double> a, b;
      if (e->pointsOnLine(p1, p2, &a, &b))
        CMesh::plotBlock(normal, resultMin, resultMax, scale, a, b, e->ValueAtPoint(kind, a),
                         e->ValueAtPoint(kind, b));
    }
  }
  glEndList();
  return record;
}
