// The OpenGL view's mouse loops: zoom to a dragged box, a dragged box, and
// the camera drag. Each is a small state machine that the window feeds
// with mouse events while it runs; the loop owns every event meanwhile.
#include <cstdlib>

#include "analysis/views/COpenGLView.h"
#include "platform/gl/GlMatrices.h"

void COpenGLView::rubberZoom() { startLoop(Loop::RubberZoom); }

void COpenGLView::rubberBox(BoxDone done) {
    startLoop(Loop::RubberBox);
    m_loop.done = std::move(done);
}

void COpenGLView::pickCtr() { startLoop(Loop::PickCentre); }

void COpenGLView::startLoop(Loop kind) {
    if (m_loop.kind != Loop::None) loopCancel();
    m_loop = LoopState{};
    m_loop.kind = kind;
    if (kind != Loop::PickCentre) m_rubberBanding = 1;
}

void COpenGLView::releaseLoopMouse() {
    if (!m_loop.captured || m_pHost == nullptr) return;
    m_pHost->releaseMouse();
    m_pHost->setCursor(m_loop.savedCursor);
    m_loop.captured = false;
}

void COpenGLView::endLoop(bool rubberBandingOff) {
    releaseLoopMouse();
    m_loop = LoopState{};
    if (rubberBandingOff) m_rubberBanding = 0;
}

bool COpenGLView::mouseLoopEvent(ViewMouseEvent event, CPoint p) {
    if (m_loop.kind == Loop::None) return false;
    switch (event) {
        case ViewMouseEvent::LeftDown:
            loopPress(p);
            break;
        case ViewMouseEvent::Move:
            loopMove(p);
            break;
        case ViewMouseEvent::LeftUp:
            loopRelease();
            break;
        case ViewMouseEvent::DoubleClick:
            loopDoubleClick();
            break;
        case ViewMouseEvent::Escape:
        case ViewMouseEvent::CaptureLost:
            loopCancel();
            break;
    }
    return true;
}

void COpenGLView::loopPress(CPoint p) {
    if (m_loop.pressed) return;
    m_loop.pressed = true;
    m_loop.press = m_loop.corner = p;
    if (m_pHost != nullptr) {
        m_loop.savedCursor = m_pHost->setCursor(ViewCursor::Cross);
        m_pHost->captureMouse();
        m_loop.captured = true;
    }
    if (m_loop.kind == Loop::PickCentre) {
        m_loop.savedCentre = m_center;
        m_loop.savedEye = m_eye;
        return;
    }
    int pixel[2] = {p.x, p.y};
    pixel2Model(pixel, m_loop.anchor);
    for (int i = 0; i < 2; ++i) m_loop.previous[i] = m_loop.current[i] = m_loop.anchor[i];
}

void COpenGLView::loopMove(CPoint p) {
    if (!m_loop.pressed) return;  // moves before the press are dropped
    if (m_loop.kind == Loop::PickCentre) {
        dragCamera(p);
        return;
    }
    CPoint corner = p;
    if (m_loop.kind == Loop::RubberZoom) {
        // The box keeps the view's aspect ratio.
        const int side = m_loop.press.y < p.y ? 1 : -1;
        corner.y = m_loop.press.y + side * static_cast<int>(std::abs(p.x - m_loop.press.x) * m_ratio);
    }
    m_loop.corner = corner;
    int pixel[2] = {corner.x, corner.y};
    pixel2Model(pixel, m_loop.current);
    XORRect(m_loop.anchor, m_loop.previous, m_loop.current);
    m_loop.boxShown = true;
    m_loop.previous[0] = m_loop.current[0];
    m_loop.previous[1] = m_loop.current[1];
}

void COpenGLView::loopRelease() {
    if (!m_loop.pressed) return;
    switch (m_loop.kind) {
        case Loop::PickCentre:
            endLoop(false);
            resetCameraPostDisplayList(0, 1, 1);
            return;
        case Loop::RubberBox: {
            eraseBox();
            const Point<double> a(m_loop.anchor[0], m_loop.anchor[1], 0.0);
            const Point<double> b(m_loop.current[0], m_loop.current[1], 0.0);
            BoxDone done = std::move(m_loop.done);
            endLoop(true);
            if (done) done(a, b);
            return;
        }
        case Loop::RubberZoom: {
            const long dx = std::labs(static_cast<long>(m_loop.press.x) - m_loop.corner.x);
            const long dy = std::labs(static_cast<long>(m_loop.corner.y) - m_loop.press.y);
            releaseLoopMouse();
            if (dx < m_windowMax.x / 1e5 || dy < m_windowMax.y / 1e5) {
                eraseBox();
                message(L"Drag mouse to define the view area", L"");
                endLoop(true);
                return;
            }
            finishZoom();
            endLoop(true);
            resetCameraPostDisplayList(0, 1, 1);
            return;
        }
        case Loop::None:
            return;
    }
}

void COpenGLView::finishZoom() {
    if (!ensureCurrent()) return;
    const GlMatrices m = GlMatrices::current();
    const int vw = m.viewport[2];
    const int vh = m.viewport[3];
    if (vw == 0 || vh == 0) return;
    const int px = m_loop.press.x;
    const int py = m_loop.press.y;
    const int x = m_loop.corner.x;
    const int y = m_loop.corner.y;

    // Move the camera onto the box's centre.
    const double cx = (x + px) / 2.0;
    const double ox = (cx - vw / 2) / vw * (double(m_windowMax.x) - m_windowMin.x);
    const double oy = double(vh - (y + py) / 2 - vh / 2) / vh * (double(m_windowMax.y) - m_windowMin.y);
    Point<float> direction = m_eye - m_center;
    if (direction.length() >= 1e-12f) {
        direction.normalize();
        m_direction = direction;
    }
    Point<float> right = cross(m_up, m_direction);
    right.normalize();
    const Point<float> offset = right * static_cast<float>(ox) + m_up * static_cast<float>(oy);
    m_center += offset;
    m_eye += offset;

    // Shrink the window to the box, centred.
    const double s = std::abs(x - px) / double(std::abs(vw));
    const double width = (double(m_windowMax.x) - m_windowMin.x) * s;
    const double height = (double(m_windowMax.y) - m_windowMin.y) * s;
    m_windowMin.x = static_cast<float>(-width / 2);
    m_windowMax.x = static_cast<float>(width / 2);
    m_windowMin.y = static_cast<float>(-height / 2);
    m_windowMax.y = static_cast<float>(height / 2);
}

void COpenGLView::loopDoubleClick() {
    switch (m_loop.kind) {
        case Loop::RubberZoom:
            endLoop(true);
            resetCameraPostDisplayList(0, 1, 1);
            return;
        case Loop::RubberBox:
            eraseBox();
            endLoop(true);
            return;
        default:
            return;  // the camera drag ignores it
    }
}

void COpenGLView::loopCancel() {
    eraseBox();
    const bool camera = m_loop.kind == Loop::PickCentre;
    const bool moved = m_loop.cameraMoved;
    if (moved) {
        m_center = m_loop.savedCentre;
        m_eye = m_loop.savedEye;
    }
    endLoop(!camera);
    if (moved) resetCameraPostDisplayList(0, 1, 1);
}

void COpenGLView::eraseBox() {
    if (!m_loop.boxShown) return;
    XORRect(m_loop.anchor, m_loop.previous, m_loop.anchor);
    m_loop.boxShown = false;
}

void COpenGLView::dragCamera(CPoint p) {
    const double dx = p.x - m_loop.corner.x;
    const double dy = p.y - m_loop.corner.y;
    m_loop.corner = p;
    if (!ensureCurrent()) return;
    const GlMatrices m = GlMatrices::current();
    Point<float>* const points[2] = {&m_center, &m_eye};
    for (Point<float>* point : points) {
        double wx = 0, wy = 0, wz = 0;
        double x = 0, y = 0, z = 0;
        if (!m.project(point->x, point->y, point->z, &wx, &wy, &wz)) return;
        if (!m.unProject(wx - dx, wy + dy, wz, &x, &y, &z)) return;
        *point = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    }
    m_loop.cameraMoved = true;
    resetCameraPostDisplayList(0, 1, 1);
}
