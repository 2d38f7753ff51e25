// A recording window host and a small derived view for the OpenGL view
// tests: the view renders into its own off-screen buffer, the host counts
// what the view asked of the window.
#pragma once

#include <vector>

#include "analysis/model/DspRecord.h"
#include "analysis/model/LightProperties.h"
#include "analysis/views/COpenGLView.h"
#include "analysis/views/CViewHost.h"
#include "platform/gl/COffscreenContext.h"
#include "platform/gl/OpenGL.h"

class RecordingHost : public CViewHost {
public:
    CRect client{0, 0, 64, 64};
    int invalidates = 0;
    int updates = 0;
    int presents = 0;
    int captures = 0;
    int releases = 0;
    ViewCursor cursor = ViewCursor::Arrow;

    CRect clientRect() const override { return client; }
    void invalidate(bool) override { ++invalidates; }
    void updateWindow() override { ++updates; }
    void presentBuffer() override { ++presents; }
    ViewCursor setCursor(ViewCursor c) override {
        const ViewCursor previous = cursor;
        cursor = c;
        return previous;
    }
    void captureMouse() override { ++captures; }
    void releaseMouse() override { ++releases; }
};

// A derived view as the program's views are: the active list is the main
// list; fullView is counted.
class TestView : public COpenGLView {
public:
    TestView() { m_pActiveList = &m_displayList; }
    void fullView() override { ++fullViews; }
    int fullViews = 0;
};

// A view of width x height pixels in a host, created and sized, with the
// default camera (looking down -z at the window -5..5 by -5..5).
struct SizedView {
    RecordingHost host;
    TestView view;

    SizedView(int width, int height) {
        host.client = CRect(0, 0, width, height);
        view.setHost(&host);
        view.OnCreate();
        view.OnSize(0, width, height);
    }
};

// Compiles a list filling the model rectangle (x0, y0)-(x1, y1) at z 0 in
// the view's context and wraps it in a visible record of the given
// material and type, appended to the view's main list.
inline DspRecord* addQuad(COpenGLView& view, LightProperties* material, float x0 = -5, float y0 = -5,
                          float x1 = 5, float y1 = 5, int type = 1) {
    const GLuint list = view.GetNewDisplayListIDs(1);
    glNewList(list, GL_COMPILE);
    glBegin(GL_QUADS);
    glVertex3f(x0, y0, 0);
    glVertex3f(x1, y0, 0);
    glVertex3f(x1, y1, 0);
    glVertex3f(x0, y1, 0);
    glEnd();
    glEndList();
    auto* record = new DspRecord(L"quad", nullptr, nullptr, type, static_cast<int>(list), material, 1);
    view.m_displayList.AddTail(record);
    return record;
}

// The pixels of the view's buffer, bottom row first.
inline std::vector<std::uint8_t> pixels(const COpenGLView& view) {
    const COffscreenContext* b = view.buffer();
    return {b->bits(), b->bits() + b->rowBytes() * static_cast<std::size_t>(b->height())};
}

// Light colours of the drawing tests and the pixels they give.
inline LightProperties gRed(1, 0, 0);
inline LightProperties gGreen(0, 1, 0);
inline LightProperties gBlue(0, 0, 1);
inline const Rgba8 kRed{255, 0, 0, 255};
inline const Rgba8 kGreen{0, 255, 0, 255};
inline const Rgba8 kBlue{0, 0, 255, 255};
inline const Rgba8 kWhite{255, 255, 255, 255};
inline const Rgba8 kBackground{214, 214, 214, 255};
