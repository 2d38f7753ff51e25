// The OpenGL view's buffer: sizing, failures that leave the view blank,
// and a view without a context that draws nothing.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "platform/core/Hooks.h"
#include "test_view_support.h"

namespace {


}  // namespace

TEST(ViewContext, ResizeGivesBufferAndViewportOfTheClientSize) {
    SizedView v(200, 100);
    ASSERT_NE(v.view.buffer(), nullptr);
    EXPECT_EQ(v.view.buffer()->width(), 200);
    EXPECT_EQ(v.view.buffer()->height(), 100);
    ASSERT_TRUE(v.view.makeCurrent());
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 200);
    EXPECT_EQ(viewport[3], 100);
    EXPECT_FLOAT_EQ(v.view.ratio(), 0.5f);
    EXPECT_EQ(v.view.fullViews, 1);

    // A zero width or height does nothing at all.
    const RecordingHost before = v.host;
    v.view.OnSize(0, 0, 100);
    v.view.OnSize(0, 200, 0);
    EXPECT_EQ(v.view.buffer()->width(), 200);
    EXPECT_EQ(v.view.fullViews, 1);
    EXPECT_EQ(v.host.invalidates, before.invalidates);
    EXPECT_EQ(v.host.updates, before.updates);
}

TEST(ViewContext, ShrinkingRedrawsAtOnceGrowingOnlyInvalidates) {
    struct Case {
        int width, height;
        int updates;
    };
    SizedView v(100, 100);
    EXPECT_EQ(v.host.updates, 0);  // the first size is growth from nothing
    for (const Case& c : {Case{80, 100, 1}, Case{80, 120, 0}, Case{90, 60, 1}, Case{90, 60, 0}}) {
        const RecordingHost before = v.host;
        v.host.client = CRect(0, 0, c.width, c.height);
        v.view.OnSize(0, c.width, c.height);
        EXPECT_EQ(v.host.updates - before.updates, c.updates) << c.width << "x" << c.height;
        EXPECT_EQ(v.host.invalidates - before.invalidates, 1);
        EXPECT_EQ(v.view.buffer()->width(), c.width);
        EXPECT_EQ(v.view.buffer()->height(), c.height);
    }
}

// A size the buffer cannot take shows its message and leaves the view
// blank; the process goes on, and the display lists come back with the
// next size that works.
TEST(ViewContext, FailedResizeShowsItsMessageAndLeavesTheViewBlank) {
    struct Case {
        const char* name;
        CRect client;
        bool noFormats;
        const wchar_t* message;
    };
    for (const Case& c : {Case{"no pixel format", CRect(0, 0, 32, 32), true, L"WM_SIZE - InitPixelFormat failed"},
                          Case{"too large", CRect(0, 0, 20000, 10), false,
                               L"WM_SIZE - Create24bppDIBSection failed"}}) {
        SCOPED_TRACE(c.name);
        Hooks::reset();
        SizedView v(32, 32);
        const int list = addQuad(v.view, &gRed)->listId;

        if (c.noFormats) v.view.pixelFormats({});
        v.host.client = c.client;
        v.view.OnSize(0, c.client.Width(), c.client.Height());
        ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
        EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(c.message));
        EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"GLDib"));

        EXPECT_FALSE(v.view.makeCurrent());
        const int presents = v.host.presents;
        EXPECT_NO_THROW(v.view.resetCameraPostDisplayList(0, 1, 0));
        EXPECT_EQ(v.host.presents, presents);
        EXPECT_EQ(v.view.GetNewDisplayListIDs(1), 0u);

        v.view.pixelFormats(osmesaPixelFormats());
        v.host.client = CRect(0, 0, 16, 16);
        v.view.OnSize(0, 16, 16);
        v.view.resetCameraPostDisplayList(0, 1, 0);
        EXPECT_TRUE(glIsList(list));
        EXPECT_EQ(v.view.buffer()->pixel(8, 8), kRed);
    }
    Hooks::reset();
}

// A view that never got a buffer draws nothing and reaches into no other
// view's context, not even when its records go.
TEST(ViewContext, ViewWithoutContextDrawsNothingQuietly) {
    SizedView other(16, 16);
    const int othersList = addQuad(other.view, &gRed)->listId;
    other.view.resetCameraPostDisplayList(0, 1, 0);
    const std::vector<std::uint8_t> picture = pixels(other.view);

    RecordingHost host;
    TestView blank;
    blank.setHost(&host);
    blank.OnCreate();
    EXPECT_EQ(blank.buffer(), nullptr);
    // A record whose list id is one the other view uses.
    blank.m_displayList.AddTail(new DspRecord(L"stray", nullptr, nullptr, 1, othersList, &gRed, 1));
    auto everything = [&] {
        blank.resetCameraPostDisplayList(0, 1, 0);
        blank.ExecuteDisplayList(GL_RENDER, 0xFFFFFFFFu, 0, 1);
        blank.projection();
        blank.cameraPosition();
        float c[2] = {0, 0};
        blank.XORRect(c, c, c);
        blank.rubberBox(CPoint(1, 1), CPoint(5, 5));
        int pixel[2] = {1, 1};
        blank.pixel2Model(pixel, c);
        blank.removeAll();
    };
    EXPECT_NO_THROW(everything());
    EXPECT_EQ(host.presents, 0);

    ASSERT_TRUE(other.view.makeCurrent());
    EXPECT_TRUE(glIsList(othersList));
    EXPECT_EQ(pixels(other.view), picture);

    // A view made by class name with no window to draw in says so.
    Hooks::reset();
    std::unique_ptr<CObject> made(CRuntimeClass::FromName("COpenGLView")->CreateObject());
    auto* windowless = dynamic_cast<COpenGLView*>(made.get());
    ASSERT_NE(windowless, nullptr);
    EXPECT_EQ(windowless->OnCreate(), 0);
    ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
    EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"OnCreate - GetDC failed"));
    EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"GLDib"));
    Hooks::reset();
}

// Copying without a redraw shows what the derived view drew itself: the
// buffer holds the drawing once the copy is made.
TEST(ViewContext, CopyWithoutRedrawShowsTheViewsOwnDrawing) {
    SizedView v(16, 16);
    v.view.resetCameraPostDisplayList(0, 1, 0);
    ASSERT_EQ(v.view.buffer()->pixel(8, 8), kBackground);
    ASSERT_TRUE(v.view.makeCurrent());
    glColor3f(1, 0, 0);
    glRectf(-5, -5, 5, 5);
    const int presents = v.host.presents;
    v.view.HardwareOrBitmapRedraw(GL_RENDER, 0xFFFFFFFFu, 0, 0);
    EXPECT_EQ(v.host.presents, presents + 1);
    EXPECT_EQ(v.view.buffer()->pixel(8, 8), kRed);
}

TEST(ViewContext, PendingGlErrorThrowsDisplayFailure) {
    SizedView v(8, 8);
    ASSERT_TRUE(v.view.makeCurrent());
    glEnd();  // outside glBegin: GL_INVALID_OPERATION
    try {
        v.view.ExecuteDisplayList(GL_RENDER, 0xFFFFFFFFu, 0, 1);
        FAIL() << "no exception";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "OpenGL display failure");
    }
    EXPECT_NO_THROW(v.view.errCheck());  // the error was read
}
