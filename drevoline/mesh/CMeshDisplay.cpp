// How a mesh draws itself into an OpenGL display list: the element mesh in
// its materials' colours, the contour picture of a result with its zero
// line, and the bars of a line plot.
#include <cmath>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <string>

#include "analysis/model/CMetal.h"
#include "analysis/model/CSectionForces.h"
#include "analysis/model/DspRecord.h"
#include "analysis/model/LightProperties.h"
#include "analysis/model/Utilities.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFEQuad4.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/MeshDisplaySource.h"
#include "platform/gl/OpenGL.h"

namespace {

constexpr int kMeshRecordType = 0x40000000;
constexpr unsigned kMeshRecordFlag = 0x20000000u;
constexpr int kMeshPriority = 6;

// A node position and the node's value, one corner of a drawn element.
struct Corner {
  Point<double> p;
  double value = 0.0;
};

// Twice the signed area of the polygon (positive when counter-clockwise).
template <std::size_t N>
double signedArea2(const Corner (&c)[N]) {
  double s = 0.0;
  for (std::size_t i = 0; i < N; ++i) {
    const Point<double>& a = c[i].p;
    const Point<double>& b = c[(i + 1) % N].p;
    s += a.x * b.y - b.x * a.y;
  }
  return s;
}

// Emits the corners counter-clockwise (in reverse when the element runs
// clockwise, as a mirrored mesh's elements do), so that with
// counter-clockwise front faces and culling no element is lost.
template <std::size_t N, class Emit>
void emitCounterClockwise(const Corner (&c)[N], Emit emit) {
  if (signedArea2(c) >= 0.0) {
    for (std::size_t i = 0; i < N; ++i)
      emit(c[i]);
  } else {
    for (std::size_t i = N; i-- > 0;)
      emit(c[i]);
  }
}

// The corners of a triangle element with each node's value for that element.
void trng3Corners(CFETrng3& e, RESULTS kind, bool withValues, Corner (&c)[3]) {
  for (int i = 0; i < 3; ++i) {
    CFENodeAnalysis& node = *e.nodes[static_cast<std::size_t>(i)];
    c[i].p = node.position;
    c[i].value = withValues ? node.result(&e, kind) : 0.0;
  }
}

// The corners of a quadrilateral element with the nodes' own values.
void quad4Corners(const CFEQuad4& e, RESULTS kind, bool withValues, Corner (&c)[4]) {
  for (int i = 0; i < 4; ++i) {
    CFENodeAnalysis& node = *e.node(i);
    c[i].p = node.position;
    c[i].value = withValues ? node.result(nullptr, kind) : 0.0;
  }
}

void vertex(const Corner& c) { glVertex3d(c.p.x, c.p.y, c.p.z); }

// The colour of a material (black when it has none).
void materialColour(const CMetal* m) {
  if (m && m->colour) {
    const RGBAf& d = m->colour->diffuse;
    glColor3f(d.red, d.green, d.blue);
  } else {
    glColor3f(0.0f, 0.0f, 0.0f);
  }
}

// A fresh list of the current context; 0 when no context is current.
GLuint freshList() {
  while (glGetError() != GL_NO_ERROR) {
    // An error left by earlier drawing is not this recording's.
  }
  return glGenLists(1);
}

// A mesh record that keeps its own copy of the colours it is shown with:
// the view may keep the record after the mesh's material is replaced or
// edited, which frees the material's colours.
class MeshRecord : public DspRecord {
 public:
  MeshRecord(const wchar_t* name, CMesh* mesh, GLuint list, const LightProperties* colours)
      : DspRecord(name, mesh, nullptr, kMeshRecordType, static_cast<int>(list), nullptr, 1) {
    if (colours) {
      m_colours = std::make_unique<LightProperties>(*colours);
      material = m_colours.get();
    }
  }

 private:
  std::unique_ptr<LightProperties> m_colours;
};

// The mesh record on list: named name, the mesh as object, type bits
// 0x60000000, shown with a copy of colours (may be null).
DspRecord* meshRecord(const wchar_t* name, CMesh* mesh, GLuint list, const LightProperties* colours) {
  auto* r = new MeshRecord(name, mesh, list, colours);
  r->type |= kMeshRecordFlag;
  return r;
}

// Ends the open recording and gives up the record when GL reports an error:
// the record (and with it the list) is deleted and the GLU description thrown.
void checkRecording(std::unique_ptr<DspRecord>& record, bool listOpen) {
  const GLenum err = glGetError();
  if (err == GL_NO_ERROR)
    return;
  if (listOpen)
    glEndList();
  while (glGetError() != GL_NO_ERROR) {
  }
  record.reset();
  const GLubyte* text = gluErrorString(err);
  throw std::logic_error(text ? reinterpret_cast<const char*>(text) : "OpenGL error");
}

// The state shared by the recordings: counter-clockwise front faces
// culled from behind, lighting with the vertex colours as the material's
// ambient and diffuse colours, depth test, filled front faces.
void beginMeshState(GLenum shading) {
  glFrontFace(GL_CCW);
  glEnable(GL_CULL_FACE);
  glEnable(GL_LIGHTING);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  glEnable(GL_COLOR_MATERIAL);
  glShadeModel(shading);
  glEnable(GL_DEPTH_TEST);
  glPolygonMode(GL_FRONT, GL_FILL);
}

// Leaves the colour tracking as the other records expect it.
void endMeshState() {
  glDisable(GL_COLOR_MATERIAL);
  glLineWidth(1.0f);
}

// The zero line of a contour picture: its length and the two end points
// farthest apart, whose direction is the line's angle.
struct ZeroLine {
  double length = 0.0;
  bool found = false;
  Point<double> a;
  Point<double> b;
  double farthest = 0.0;

  void add(const Point<double>& p1, const Point<double>& p2) {
    const double dx = p2.x - p1.x, dy = p2.y - p1.y;
    const double sq = dx * dx + dy * dy;
    length += sq < 1e-40 ? 0.0 : std::sqrt(sq);
    if (!found) {
      found = true;
      a = b = p1;
    }
    reach(p1);
    reach(p2);
  }
  void reach(const Point<double>& p) {
    const double dx = p.x - a.x, dy = p.y - a.y;
    const double sq = dx * dx + dy * dy;
    if (sq > farthest) {
      farthest = sq;
      b = p;
    }
  }
  // Degrees in (-90, 90]; 90 for a vertical line.
  double angle() const {
    const double dx = b.x - a.x, dy = b.y - a.y;
    return std::fabs(dx) < 1e-12 ? 90.0 : std::atan(dy / dx) * 180.0 / std::numbers::pi;
  }
};

// Smooth-shaded faces, black outlines and the red zero line of the
// elements; each element is a Corner array filled by corners(element).
template <std::size_t N, class List, class Fill>
void contourPicture(List& elements, GLenum primitive, double lo, double hi, RESULTS kind, Fill corners,
                    ZeroLine* zero) {
  beginMeshState(GL_SMOOTH);
  glBegin(primitive);
  for (auto& e : elements) {
    Corner c[N];
    corners(*e, c);
    emitCounterClockwise(c, [&](const Corner& k) {
      double r = 0.0, g = 0.0, b = 0.0;
      getColorZeroGreen(k.value, lo, hi, &r, &g, &b);
      glColor3d(r, g, b);
      vertex(k);
    });
  }
  glEnd();
  glShadeModel(GL_FLAT);
  glColor3f(0.0f, 0.0f, 0.0f);
  glPolygonMode(GL_FRONT, GL_LINE);
  glBegin(primitive);
  for (auto& e : elements) {
    Corner c[N];
    corners(*e, c);
    emitCounterClockwise(c, vertex);
  }
  glEnd();
  glColor3f(1.0f, 0.0f, 0.0f);
  glLineWidth(4.0f);
  glBegin(GL_LINES);
  for (auto& e : elements) {
    Point<double> p1, p2;
    if (!e->contourLine(kind, 0.0, p1, p2))
      continue;
    if (zero)
      zero->add(p1, p2);
    glVertex3d(p1.x, p1.y, p1.z);
    glVertex3d(p2.x, p2.y, p2.z);
  }
  glEnd();
  glPolygonMode(GL_FRONT, GL_FILL);
  endMeshState();
}

// Compiles list with draw(); a failure while drawing (a value the colour
// scale refuses, an element without its node record) closes the list first.
template <class Draw>
void recordList(GLuint list, Draw draw) {
  glNewList(list, GL_COMPILE);
  try {
    draw();
  } catch (...) {
    glEnd();
    glEndList();
    while (glGetError() != GL_NO_ERROR) {
    }
    throw;
  }
  glEndList();
}

}  // namespace

DspRecord* CMesh::display() {
  if (trng3Elements.empty() && quad4Elements.empty())
    return nullptr;
  if (!material)
    material = std::make_shared<CMetal>();
  const GLuint list = freshList();
  if (list == 0)
    return nullptr;
  std::unique_ptr<DspRecord> record(meshRecord(L"Mesh2D::display", this, list, material->colour.get()));
  glNewList(list, GL_COMPILE);
  beginMeshState(GL_FLAT);
  checkRecording(record, true);

  // Faces in the elements' colours, then the same primitives as black lines.
  auto elements = [&](bool coloured) {
    if (elementType == QUAD4) {
      glBegin(GL_QUADS);
      for (const auto& e : quad4Elements) {
        Corner c[4];
        quad4Corners(*e, STRESS_ZZ, false, c);
        emitCounterClockwise(c, [&](const Corner& k) {
          if (coloured)
            materialColour(e->material);
          vertex(k);
        });
      }
      glEnd();
    } else if (elementType == TRNG3) {
      glBegin(GL_TRIANGLES);
      for (const auto& e : trng3Elements) {
        Corner c[3];
        trng3Corners(*e, STRESS_ZZ, false, c);
        emitCounterClockwise(c, [&](const Corner& k) {
          if (coloured)
            materialColour(e->material);
          vertex(k);
        });
      }
      glEnd();
    }
  };
  elements(true);
  checkRecording(record, true);
  glColor3f(0.0f, 0.0f, 0.0f);
  glLineWidth(1.0f);
  glPolygonMode(GL_FRONT, GL_LINE);
  elements(false);
  checkRecording(record, true);

  glLineWidth(3.0f);
  glColor3f(0.0f, 0.0f, 0.0f);
  glBegin(GL_LINES);
  for (int i = 0; i < nEdges; ++i) {
    const CSegment* s = edges[i].segment;
    if (!s || !s->vertexA || !s->vertexB)
      continue;
    glVertex2d(s->vertexA->x, s->vertexA->y);
    glVertex2d(s->vertexB->x, s->vertexB->y);
  }
  glEnd();
  glPolygonMode(GL_FRONT, GL_FILL);
  endMeshState();
  glEndList();
  record->drawPriority = kMeshPriority;
  checkRecording(record, false);
  return record.release();
}

DspRecord* CMesh::displaySmooth(MeshDisplaySource* source) {
  return trng3Elements.empty() ? displaySmoothQuad4(source) : displaySmoothTrng3(source);
}

DspRecord* CMesh::displaySmoothTrng3(MeshDisplaySource* source) {
  source->contourZeroLine(0.0);
  if (trng3Elements.empty())
    return nullptr;
  const GLuint list = freshList();
  if (list == 0)
    return nullptr;
  const RESULTS kind = source->contourResult();
  std::unique_ptr<DspRecord> record(meshRecord(L"Mesh2D::displayTrng3", this, list, nullptr));
  ZeroLine zero;
  recordList(list, [&] {
    contourPicture<3>(trng3Elements, GL_TRIANGLES, source->contourLow(), source->contourHigh(), kind,
                      [&](CFETrng3& e, Corner(&c)[3]) { trng3Corners(e, kind, true, c); }, &zero);
  });
  source->contourZeroLine(zero.length);
  CSectionForces* sf = source->contourForces();
  if (zero.found && sf)
    sf->neutralAxisAngle = zero.angle();
  record->drawPriority = kMeshPriority;
  return record.release();
}

DspRecord* CMesh::displaySmoothQuad4(MeshDisplaySource* source) {
  if (quad4Elements.empty())
    return nullptr;
  const GLuint list = freshList();
  if (list == 0)
    return nullptr;
  const RESULTS kind = source->contourResult();
  std::unique_ptr<DspRecord> record(meshRecord(L"Mesh2D::displayQuad4", this, list, nullptr));
  recordList(list, [&] {
    contourPicture<4>(quad4Elements, GL_QUADS, source->contourLow(), source->contourHigh(), kind,
                      [&](const CFEQuad4& e, Corner(&c)[4]) { quad4Corners(e, kind, true, c); }, nullptr);
  });
  record->drawPriority = kMeshPriority;
  return record.release();
}

void CMesh::plotBlock(const Point<double>& n, double low, double high, double scale, const Point<double>& a,
                      const Point<double>& b, double va, double vb) {
  const double range = high - low;
  auto height = [&](double v) { return std::fabs(range) < 1e-300 ? 0.0 : std::fabs(v / range) * scale; };
  auto colour = [](double v) {
    if (v > 0.0)
      glColor3f(1.0f, 0.0f, 0.0f);
    else
      glColor3f(0.0f, 0.0f, 1.0f);
  };
  auto lifted = [&](const Point<double>& p, double v) {
    const double h = v > 0.0 ? height(v) : -height(v);
    glVertex3d(p.x + h * n.x, p.y + h * n.y, p.z + h * n.z);
  };
  glShadeModel(GL_SMOOTH);
  glBegin(GL_POLYGON);
  colour(va);
  glVertex3d(a.x, a.y, a.z);
  colour(vb);
  glVertex3d(b.x, b.y, b.z);
  lifted(b, vb);
  colour(va);
  lifted(a, va);
  glEnd();
}
