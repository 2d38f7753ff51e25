// The OpenGL view's camera: zoom steps, the mouse loops (zoom to box, box,
// camera drag) fed with events, pixel maps and XOR drawing.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/core/Hooks.h"
#include "test_view_support.h"

namespace {


struct Window {
    float x0, y0, x1, y1;
};

void expectWindow(const COpenGLView& view, Window w) {
    EXPECT_FLOAT_EQ(view.m_windowMin.x, w.x0);
    EXPECT_FLOAT_EQ(view.m_windowMin.y, w.y0);
    EXPECT_FLOAT_EQ(view.m_windowMax.x, w.x1);
    EXPECT_FLOAT_EQ(view.m_windowMax.y, w.y1);
}

// A 500 x 500 view with a red quad over its lower left quarter, drawn.
struct DrawnView : SizedView {
    DrawnView() : SizedView(500, 500) {
        addQuad(view, &gRed, -5, -5, 0, 0);
        view.resetCameraPostDisplayList(0, 1, 0);
        Hooks::reset();
    }
};

}  // namespace

TEST(ViewCamera, ZoomStepsAndWindowChanges) {
    struct Case {
        std::string name;
        std::function<void(COpenGLView&)> change;
        Window expected;
    };
    const std::vector<Case> cases = {
        {"zoom 6 narrows", [](COpenGLView& v) { v.zoom(Direction(6)); }, {-4.95f, -4.95f, 4.95f, 4.95f}},
        {"zoom 7 widens", [](COpenGLView& v) { v.zoom(Direction(7)); }, {-5.05f, -5.05f, 5.05f, 5.05f}},
        {"zoom 5 nothing", [](COpenGLView& v) { v.zoom(Direction(5)); }, {-5, -5, 5, 5}},
        {"zoomCntl 0.1", [](COpenGLView& v) { v.zoomCntl(0.1f); }, {-6, -6, 6, 6}},
        {"viewWindow ratio 0", [](COpenGLView& v) { v.ratio(0); v.viewWindow(5); v.viewWindow(-1); }, {-5, -5, 5, 5}},
        {"viewWindow 2, ratio 0.5", [](COpenGLView& v) { v.ratio(0.5f); v.viewWindow(2); }, {-2, -1, 2, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SizedView v(40, 40);
        c.change(v.view);
        expectWindow(v.view, c.expected);
    }
}

// A 100-pixel box in a 500-pixel view: the window becomes a fifth as large,
// centred on the box. Pixels (100..200, 300..400) are model x -3..-1 and
// y -1..-3 on the window -5..5, inside the red quarter.
TEST(ViewCamera, RubberZoomFitsTheWindowToTheDraggedBox) {
    DrawnView v;
    v.view.rubberZoom();
    EXPECT_EQ(v.view.m_rubberBanding, 1);
    EXPECT_TRUE(v.view.mouseLoopEvent(ViewMouseEvent::LeftDown, CPoint(100, 300)));
    EXPECT_EQ(v.host.cursor, ViewCursor::Cross);
    v.view.mouseLoopEvent(ViewMouseEvent::Move, CPoint(150, 320));
    v.view.mouseLoopEvent(ViewMouseEvent::Move, CPoint(200, 330));  // the box keeps the aspect: y 400
    v.view.mouseLoopEvent(ViewMouseEvent::LeftUp, CPoint(200, 330));

    EXPECT_FALSE(v.view.mouseLoopActive());
    EXPECT_EQ(v.view.m_rubberBanding, 0);
    expectWindow(v.view, {-1, -1, 1, 1});
    EXPECT_NEAR(v.view.m_center.x, -2.0f, 1e-5);
    EXPECT_NEAR(v.view.m_center.y, -2.0f, 1e-5);
    EXPECT_NEAR(v.view.m_eye.x, -2.0f, 1e-5);
    EXPECT_NEAR(v.view.m_eye.y, -2.0f, 1e-5);
    EXPECT_FLOAT_EQ(v.view.m_eye.z, 100.0f);
    EXPECT_EQ(v.host.captures, 1);
    EXPECT_EQ(v.host.releases, 1);
    EXPECT_EQ(v.host.cursor, ViewCursor::Arrow);
    EXPECT_TRUE(Hooks::messageBoxes().empty());
    // Redrawn filled: the band's line drawing left no state behind.
    EXPECT_EQ(v.view.buffer()->pixel(250, 250), kRed);
    EXPECT_EQ(v.view.buffer()->pixel(0, 0), kRed);
}

TEST(ViewCamera, ClickWithoutDragChangesNothing) {
    DrawnView v;
    const std::vector<std::uint8_t> picture = pixels(v.view);
    v.view.rubberZoom();
    v.view.mouseLoopEvent(ViewMouseEvent::LeftDown, CPoint(100, 100));
    v.view.mouseLoopEvent(ViewMouseEvent::LeftUp, CPoint(100, 100));

    ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
    EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"Drag mouse to define the view area"));
    EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString());
    expectWindow(v.view, {-5, -5, 5, 5});
    EXPECT_FLOAT_EQ(v.view.m_center.x, 0.0f);
    EXPECT_FLOAT_EQ(v.view.m_eye.y, 0.0f);
    EXPECT_EQ(v.view.m_rubberBanding, 0);
    EXPECT_FALSE(v.view.mouseLoopActive());
    EXPECT_EQ(pixels(v.view), picture);
}

// Escape or the loss of the capture ends any loop with the picture, the
// camera and the window as they were.
TEST(ViewCamera, EscapeOrCaptureLossEndsALoopWithNoChange) {
    struct Case {
        std::string name;
        std::function<void(COpenGLView&, bool&)> start;
        ViewMouseEvent end;
    };
    const std::vector<Case> cases = {
        {"zoom, Escape", [](COpenGLView& v, bool&) { v.rubberZoom(); }, ViewMouseEvent::Escape},
        {"zoom, capture lost", [](COpenGLView& v, bool&) { v.rubberZoom(); }, ViewMouseEvent::CaptureLost},
        {"box, Escape",
         [](COpenGLView& v, bool& called) { v.rubberBox([&called](const Point<double>&, const Point<double>&) { called = true; }); },
         ViewMouseEvent::Escape},
        {"camera, capture lost", [](COpenGLView& v, bool&) { v.pickCtr(); }, ViewMouseEvent::CaptureLost},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DrawnView v;
        const std::vector<std::uint8_t> picture = pixels(v.view);
        bool called = false;
        c.start(v.view, called);
        v.view.mouseLoopEvent(ViewMouseEvent::LeftDown, CPoint(100, 100));
        v.view.mouseLoopEvent(ViewMouseEvent::Move, CPoint(180, 150));
        v.view.mouseLoopEvent(ViewMouseEvent::Move, CPoint(260, 330));
        EXPECT_NE(pixels(v.view), picture);
        EXPECT_TRUE(v.view.mouseLoopEvent(c.end));

        EXPECT_FALSE(v.view.mouseLoopActive());
        EXPECT_FALSE(v.view.mouseLoopEvent(ViewMouseEvent::LeftUp, CPoint(260, 330)));
        EXPECT_EQ(pixels(v.view), picture);
        expectWindow(v.view, {-5, -5, 5, 5});
        EXPECT_FLOAT_EQ(v.view.m_center.x, 0.0f);
        EXPECT_FLOAT_EQ(v.view.m_center.y, 0.0f);
        EXPECT_FLOAT_EQ(v.view.m_eye.x, 0.0f);
        EXPECT_EQ(v.view.m_rubberBanding, 0);
        EXPECT_EQ(v.host.releases, v.host.captures);
        EXPECT_EQ(v.host.cursor, ViewCursor::Arrow);
        EXPECT_FALSE(called);
        EXPECT_TRUE(Hooks::messageBoxes().empty());
    }
}

TEST(ViewCamera, RubberBoxHandsBackTheModelCorners) {
    DrawnView v;
    const std::vector<std::uint8_t> picture = pixels(v.view);
    Point<double> a(9, 9, 9), b(9, 9, 9);
    v.view.rubberBox([&](const Point<double>& p, const Point<double>& q) { a = p; b = q; });
    v.view.mouseLoopEvent(ViewMouseEvent::LeftDown, CPoint(100, 100));
    v.view.mouseLoopEvent(ViewMouseEvent::Move, CPoint(300, 400));  // no aspect lock
    v.view.mouseLoopEvent(ViewMouseEvent::LeftUp, CPoint(300, 400));
    EXPECT_NEAR(a.x, -3.0, 1e-5);
    EXPECT_NEAR(a.y, 3.0, 1e-5);
    EXPECT_NEAR(b.x, 1.0, 1e-5);
    EXPECT_NEAR(b.y, -3.0, 1e-5);
    EXPECT_EQ(v.view.m_rubberBanding, 0);
    EXPECT_EQ(pixels(v.view), picture);  // the band is gone

    // A double click ends the loop without a box.
    bool called = false;
    v.view.rubberBox([&](const Point<double>&, const Point<double>&) { called = true; });
    v.view.mouseLoopEvent(ViewMouseEvent::LeftDown, CPoint(100, 100));
    v.view.mouseLoopEvent(ViewMouseEvent::Move, CPoint(300, 400));
    v.view.mouseLoopEvent(ViewMouseEvent::DoubleClick, CPoint(300, 400));
    EXPECT_FALSE(v.view.mouseLoopActive());
    EXPECT_FALSE(called);
}

TEST(ViewCamera, CameraDragAndPanMoveCentreAndEye) {
    DrawnView v;
    v.view.pickCtr();
    v.view.mouseLoopEvent(ViewMouseEvent::Move, CPoint(300, 250));  // before the press: dropped
    v.view.mouseLoopEvent(ViewMouseEvent::LeftDown, CPoint(250, 250));
    v.view.mouseLoopEvent(ViewMouseEvent::Move, CPoint(300, 200));  // 50 pixels right and up = 1 unit each
    v.view.mouseLoopEvent(ViewMouseEvent::LeftUp, CPoint(300, 200));
    EXPECT_FALSE(v.view.mouseLoopActive());
    EXPECT_NEAR(v.view.m_center.x, -1.0f, 1e-4);
    EXPECT_NEAR(v.view.m_center.y, -1.0f, 1e-4);
    EXPECT_NEAR(v.view.m_eye.x, -1.0f, 1e-4);
    EXPECT_NEAR(v.view.m_eye.y, -1.0f, 1e-4);
    EXPECT_NEAR(v.view.m_eye.z, 100.0f, 1e-3);
    // The picture followed the mouse: the red quarter's corner is at client
    // pixel (300, 200), which is (300, 500 - 200) in the bottom-up buffer.
    EXPECT_EQ(v.view.buffer()->pixel(298, 298), kRed);
    EXPECT_EQ(v.view.buffer()->pixel(302, 298), kBackground);

    // Pan by a 50-pixel delta: one unit of the window; the camera's right
    // is -x seen along its direction.
    Point<float> delta(50, 0, 0);
    v.view.pan(&delta, 1);
    EXPECT_FLOAT_EQ(delta.x, 1.0f);
    EXPECT_NEAR(v.view.m_center.x, -2.0f, 1e-4);
    EXPECT_NEAR(v.view.m_eye.x, -2.0f, 1e-4);
    EXPECT_EQ(v.view.m_panning, 0);
}

TEST(ViewCamera, PixelMapsOnTheDefaultWindow) {
    SizedView v(500, 500);  // 0.02 model units per pixel
    int pixel[2] = {250, 250};
    float model[2] = {9, 9};
    v.view.pixel2Model(pixel, model);
    EXPECT_NEAR(model[0], 0.0f, 1e-5);
    EXPECT_NEAR(model[1], 0.0f, 1e-5);

    Point<float> in(250, 250, 0), out;
    v.view.pix2model(&in, &out);  // one pixel lower
    EXPECT_NEAR(out.x, 0.0f, 1e-5);
    EXPECT_NEAR(out.y, -0.02f, 1e-5);

    Point<float> corner(0, 0, 0), device;
    v.view.model2dev(&corner, &device);
    EXPECT_NEAR(device.x, 250.0f, 1e-3);
    EXPECT_NEAR(device.y, 250.0f, 1e-3);

    Point<float> win;
    v.view.pixel2win(100, 400, &win);
    EXPECT_FLOAT_EQ(win.x, -3.0f);
    EXPECT_FLOAT_EQ(win.y, -3.0f);
    v.view.win2dev(&win, nullptr);
    EXPECT_FLOAT_EQ(win.x, 100.0f);
    EXPECT_FLOAT_EQ(win.y, 400.0f);
}

// Inverted and XOR drawing restore every pixel when drawn twice.
TEST(ViewCamera, InvertedAndXorBoxesDrawnTwiceRestoreThePicture) {
    DrawnView v;
    const std::vector<std::uint8_t> picture = pixels(v.view);

    float c0[2] = {-4, -4}, corner[2] = {3, 2};
    v.view.BitmapXORRect(c0, c0, corner);
    EXPECT_NE(pixels(v.view), picture);
    v.view.BitmapXORRect(c0, c0, corner);
    EXPECT_EQ(pixels(v.view), picture);

    // The outline of (10, 10)-(20, 15): 2 (10 + 5) pixels, each inverted.
    v.view.rubberBox(CPoint(10, 10), CPoint(20, 15));
    const std::vector<std::uint8_t> once = pixels(v.view);
    int changed = 0;
    for (std::size_t i = 0; i < once.size(); i += 4) {
        if (once[i] == picture[i]) continue;
        ++changed;
        EXPECT_EQ(once[i], 255 - picture[i]);
        EXPECT_EQ(once[i + 3], picture[i + 3]);  // alpha kept
    }
    EXPECT_EQ(changed, 30);
    v.view.rubberBox(CPoint(10, 10), CPoint(20, 15));
    EXPECT_EQ(pixels(v.view), picture);
}
