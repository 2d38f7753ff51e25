// The OpenGL view's camera: model-view and projection, view-window steps,
// pan, the maps between client pixels, view-window and model coordinates,
// and the inverted and XOR drawing of rubber bands.
#include <cmath>

#include "analysis/views/COpenGLView.h"
#include "platform/gl/BufferInversion.h"
#include "platform/gl/GlMatrices.h"

void COpenGLView::cameraPosition() {
    if (!ensureCurrent()) return;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(m_eye.x, m_eye.y, m_eye.z, m_center.x, m_center.y, m_center.z, m_up.x, m_up.y, m_up.z);
    errCheck();
}

void COpenGLView::projection() {
    if (!ensureCurrent()) return;
    glViewport(m_viewportX, m_viewportY, m_width, m_height);
    errCheck();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (std::fabs(m_windowMin.x - m_windowMax.x) < 1e-6 || std::fabs(m_windowMin.y - m_windowMax.y) < 1e-6) return;
    if (m_near < 1e-10) m_near = 0.2;
    if (m_far < 1e-10) m_far = 2000.0;
    glOrtho(m_windowMin.x, m_windowMax.x, m_windowMin.y, m_windowMax.y, m_near, m_far);
    errCheck();
}

void COpenGLView::viewWindow(float h) {
    if (m_ratio == 0.0f || h < 0.0f) return;
    m_windowMin.x = -h;
    m_windowMax.x = h;
    m_windowMin.y = -h * m_ratio;
    m_windowMax.y = h * m_ratio;
}

void COpenGLView::zoomCntl(float f) {
    makeCurrent();
    const float w = m_windowMax.x - m_windowMin.x;
    const float h = m_windowMax.y - m_windowMin.y;
    m_windowMin.x -= f * w;
    m_windowMax.x += f * w;
    m_windowMin.y -= f * h;
    m_windowMax.y += f * h;
}

void COpenGLView::zoom(Direction d) {
    const double w = double(m_windowMax.x) - m_windowMin.x;
    if (w < 1e-5 || w > 1e5) return;
    const double c = 0.005 * w;
    const double e = 0.005 * (double(m_windowMax.y) - m_windowMin.y);
    double sign = 0.0;
    if (d == ZoomIn) sign = 1.0;
    if (d == ZoomOut) sign = -1.0;
    if (sign == 0.0) return;
    m_windowMin.x = static_cast<float>(m_windowMin.x + sign * c);
    m_windowMax.x = static_cast<float>(m_windowMax.x - sign * c);
    m_windowMin.y = static_cast<float>(m_windowMin.y + sign * e);
    m_windowMax.y = static_cast<float>(m_windowMax.y - sign * e);
}

void COpenGLView::pan(Point<float>* delta, int /*unused*/) {
    const CRect client = clientRect();
    if (delta == nullptr || client.IsRectEmpty()) return;
    m_panning = 1;
    delta->x = (m_windowMax.x - m_windowMin.x) * (delta->x / static_cast<float>(client.Width()));
    delta->y = (m_windowMax.y - m_windowMin.y) * (delta->y / static_cast<float>(client.top - client.bottom));
    Point<float> direction = m_eye - m_center;
    if (direction.length() >= 1e-12f) {
        direction.normalize();
        m_direction = direction;
    }
    Point<float> right = cross(m_direction, m_up);
    right.normalize();
    const Point<float> trueUp = cross(right, m_direction);
    const Point<float> offset = right * delta->x + trueUp * delta->y;
    m_center += offset;
    m_eye += offset;
    m_panning = 0;
}

// ---- inverted and XOR drawing ----

void COpenGLView::rubberBox(CPoint p1, CPoint p2) {
    if (!ensureCurrent()) return;
    glFinish();  // the renderer's pending drawing lands first
    invertRectOutline(*m_context, p1, p2);
    if (m_pHost != nullptr) m_pHost->presentBuffer();
}

void COpenGLView::InvertLine(CPoint from, CPoint to) {
    if (!ensureCurrent()) return;
    glFinish();
    invertLine(*m_context, from, to);
    if (m_pHost != nullptr) m_pHost->presentBuffer();
}

void COpenGLView::XORBox(float* c0, float* oldCorner, float* newCorner) {
    if (!ensureCurrent()) return;
    // The box leaves the state of later drawing as it found it.
    glPushAttrib(GL_ENABLE_BIT | GL_POLYGON_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT);
    glEnable(GL_COLOR_LOGIC_OP);
    glLogicOp(GL_XOR);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glDisable(GL_DEPTH_TEST);
    glColor3f(1.0f, 1.0f, 1.0f);
    for (const float* corner : {oldCorner, newCorner}) {
        glBegin(GL_LINE_LOOP);
        glVertex2f(c0[0], c0[1]);
        glVertex2f(corner[0], c0[1]);
        glVertex2f(corner[0], corner[1]);
        glVertex2f(c0[0], corner[1]);
        glEnd();
        glFlush();
    }
    glDisable(GL_COLOR_LOGIC_OP);
    glPopAttrib();
    errCheck();
}

void COpenGLView::XORRect(float* c0, float* oldCorner, float* newCorner) { BitmapXORRect(c0, oldCorner, newCorner); }

void COpenGLView::BitmapXORRect(float* c0, float* oldCorner, float* newCorner) {
    if (!ensureCurrent()) return;
    errCheck();
    if (clientRect().IsRectEmpty()) return;
    XORBox(c0, oldCorner, newCorner);
    glFinish();
    if (m_pHost != nullptr) m_pHost->presentBuffer();
}

// ---- coordinates ----

void COpenGLView::pixel2Model(int* pixel, float* out) {
    if (!ensureCurrent()) return;
    const GlMatrices m = GlMatrices::current();
    double x = 0, y = 0, z = 0;
    if (!m.unProject(pixel[0], m.viewport[3] - pixel[1], 0.0, &x, &y, &z)) return;
    out[0] = static_cast<float>(x);
    out[1] = static_cast<float>(y);
}

void COpenGLView::dev2win(Point<float>* in, Point<float>* out) {
    const CRect client = clientRect();
    if (client.IsRectEmpty()) return;
    const float w = static_cast<float>(client.Width());
    const float h = static_cast<float>(client.Height());
    out->x = in->x / w * (m_windowMax.x - m_windowMin.x) + m_windowMin.x;
    out->y = (h - in->y) / h * (m_windowMax.y - m_windowMin.y) + m_windowMin.y;
    out->z = 0.0f;
}

void COpenGLView::pixel2win(long x, long y, Point<float>* out) {
    Point<float> in(static_cast<float>(x), static_cast<float>(y), 0.0f);
    dev2win(&in, out);
}

void COpenGLView::win2dev(Point<float>* in, Point<float>* /*unused*/) {
    const CRect client = clientRect();
    const float ww = m_windowMax.x - m_windowMin.x;
    const float wh = m_windowMax.y - m_windowMin.y;
    if (client.IsRectEmpty() || ww == 0.0f || wh == 0.0f) return;
    const float h = static_cast<float>(client.Height());
    in->x = (in->x - m_windowMin.x) / ww * static_cast<float>(client.Width());
    in->y = h - (in->y - m_windowMin.y) / wh * h;
    in->z = 0.0f;
}

void COpenGLView::dev2model(Point<float>* in, Point<float>* out) {
    if (!ensureCurrent()) return;
    double x = 0, y = 0, z = 0;
    if (!GlMatrices::current().unProject(in->x, in->y, in->z, &x, &y, &z)) return;
    *out = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}

void COpenGLView::pix2model(Point<float>* in, Point<float>* out) {
    if (!ensureCurrent()) return;
    const GlMatrices m = GlMatrices::current();
    double x = 0, y = 0, z = 0;
    const int row = m.viewport[3] - static_cast<int>(in->y) - 1;
    if (!m.unProject(in->x, row, in->z, &x, &y, &z)) return;
    *out = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}

void COpenGLView::model2dev(Point<float>* in, Point<float>* out) {
    if (!ensureCurrent()) return;
    double x = 0, y = 0, z = 0;
    if (!GlMatrices::current().project(in->x, in->y, in->z, &x, &y, &z)) return;
    *out = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}

void COpenGLView::Device2View(Point<float>* in, Point<float>* out) {
    Point<float> w;
    dev2win(in, &w);
    const Point<float> r = cross(m_up, m_direction);
    *out = Point<float>(r.x * w.x + r.y * w.y, m_up.x * w.x + m_up.y * w.y, 0.0f) + m_center;
}
