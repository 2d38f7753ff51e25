// NURBS surfaces: the cross curves and control net of a grid, the GLU calls
// of display (recorded by wrapping GLU's entry points in this program), the
// surface drawn into an off-screen buffer, GL errors, and evaluation.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/geometry/CNurbsSurface.h"
#include "platform/core/Exceptions.h"
#include "platform/gl/COffscreenContext.h"
#include "platform/gl/OpenGL.h"

namespace {

struct GluCall {
    std::string name;
    GLint uKnotCount = 0, vKnotCount = 0, uStride = 0, vStride = 0, uOrder = 0, vOrder = 0;
    GLenum type = 0;
    std::vector<float> net;
};

// The calls made while a test records; null otherwise.
std::vector<GluCall>* gCalls = nullptr;

template <class Fn>
Fn glu(const char* name) {
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

}  // namespace

// GLU's surface calls pass through these on their way to GLU itself.
extern "C" void gluBeginSurface(GLUnurbs* nurbs) {
    if (gCalls != nullptr) gCalls->push_back(GluCall{"begin", 0, 0, 0, 0, 0, 0, 0, {}});
    static const auto next = glu<void (*)(GLUnurbs*)>("gluBeginSurface");
    next(nurbs);
}

extern "C" void gluNurbsSurface(GLUnurbs* nurbs, GLint uKnotCount, GLfloat* uKnots, GLint vKnotCount, GLfloat* vKnots,
                                GLint uStride, GLint vStride, GLfloat* control, GLint uOrder, GLint vOrder,
                                GLenum type) {
    if (gCalls != nullptr) {
        const std::size_t floats = static_cast<std::size_t>(vStride) * static_cast<std::size_t>(vKnotCount - vOrder);
        gCalls->push_back({"surface", uKnotCount, vKnotCount, uStride, vStride, uOrder, vOrder, type,
                           std::vector<float>(control, control + floats)});
    }
    static const auto next =
        glu<void (*)(GLUnurbs*, GLint, GLfloat*, GLint, GLfloat*, GLint, GLint, GLfloat*, GLint, GLint, GLenum)>(
            "gluNurbsSurface");
    next(nurbs, uKnotCount, uKnots, vKnotCount, vKnots, uStride, vStride, control, uOrder, vOrder, type);
}

extern "C" void gluEndSurface(GLUnurbs* nurbs) {
    if (gCalls != nullptr) gCalls->push_back(GluCall{"end", 0, 0, 0, 0, 0, 0, 0, {}});
    static const auto next = glu<void (*)(GLUnurbs*)>("gluEndSurface");
    next(nurbs);
}

namespace {

// Control points of the cubic through four equally spaced points on a
// line, at the knots' Greville abscissae: 0, 1/3, 1, 2, 8/3, 3.
const double kGreville[6] = {0.0, 1.0 / 3.0, 1.0, 2.0, 8.0 / 3.0, 3.0};

// Row i, point j at (j, i, z(i, j)).
template <class Z>
CNurbsSurface gridSurface(Z z) {
    Point<double> rows[4][4];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) rows[i][j] = Point<double>(j, i, z(i, j));
    return CNurbsSurface(rows);
}

CNurbsSurface planar() {
    return gridSurface([](int, int) { return 0.0; });
}

// A context of 64 x 64 pixels showing the model square -0.5..3.5.
struct Drawing {
    COffscreenContext context{64, 64};
    GLUnurbs* nurbs = nullptr;

    Drawing() {
        context.makeCurrent();
        glViewport(0, 0, 64, 64);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-0.5, 3.5, -0.5, 3.5, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(1, 0, 0);
        nurbs = gluNewNurbsRenderer();
        gluNurbsProperty(nurbs, GLU_SAMPLING_TOLERANCE, 10.0f);
        gluNurbsProperty(nurbs, GLU_DISPLAY_MODE, GLU_FILL);
    }
    ~Drawing() { gluDeleteNurbsRenderer(nurbs); }
};

}  // namespace

TEST(NurbsSurface, PlanarGridGivesSixCrossCurvesAndThirtySixNetPoints) {
    CNurbsSurface s = planar();
    ASSERT_EQ(s.crossCurveCount(), 6);
    EXPECT_EQ(s.crossCurvePointCount(), 6);
    for (int k = 0; k < 6; ++k) EXPECT_EQ(s.crossCurve(k)->nPts(), 6);
    EXPECT_EQ(s.uOrder(), 4);
    EXPECT_EQ(s.vOrder(), 4);
    EXPECT_EQ(s.uKnots(), (std::vector<float>{0, 0, 0, 0, 1, 2, 3, 3, 3, 3}));

    s.controlPoints();
    s.vknots();
    EXPECT_EQ(s.controlNetCount(), 36);
    ASSERT_EQ(s.controlNet().size(), 144u);
    EXPECT_EQ(s.vKnots(), (std::vector<float>{0, 0, 0, 0, 1, 2, 3, 3, 3, 3}));
    // Point (u = k, v = j) at 4 (6 j + k): the Greville grid, weight 1.
    for (int j = 0; j < 6; ++j) {
        for (int k = 0; k < 6; ++k) {
            const float* p = s.controlNet().data() + 4 * (6 * j + k);
            EXPECT_NEAR(p[0], kGreville[k], 1e-6) << k << "," << j;
            EXPECT_NEAR(p[1], kGreville[j], 1e-6) << k << "," << j;
            EXPECT_EQ(p[2], 0.0f);
            EXPECT_EQ(p[3], 1.0f);
        }
    }
}

TEST(NurbsSurface, DisplayMakesOneSurfaceOfHomogeneousPointsEachTime) {
    CNurbsSurface s = planar();
    Drawing d;
    std::vector<GluCall> calls;
    gCalls = &calls;
    s.display(d.nurbs);
    s.display(d.nurbs);  // rebuilds the net and knots, adds nothing
    gCalls = nullptr;

    ASSERT_EQ(calls.size(), 6u);
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(calls[3 * pass].name, "begin");
        const GluCall& surface = calls[3 * pass + 1];
        EXPECT_EQ(surface.name, "surface");
        EXPECT_EQ(surface.uStride, 4);
        EXPECT_EQ(surface.vStride, 24);
        EXPECT_EQ(surface.uKnotCount, 10);
        EXPECT_EQ(surface.vKnotCount, 10);
        EXPECT_EQ(surface.uOrder, 4);
        EXPECT_EQ(surface.vOrder, 4);
        EXPECT_EQ(surface.type, GLenum(GL_MAP2_VERTEX_4));
        EXPECT_EQ(surface.net, s.controlNet());
        EXPECT_EQ(calls[3 * pass + 2].name, "end");
    }
    EXPECT_EQ(s.controlNet().size(), 144u);

    // GLU drew the square 0..3 into the buffer through its own GL calls.
    glFinish();
    EXPECT_EQ(d.context.pixel(32, 32), (Rgba8{255, 0, 0, 255}));
    EXPECT_EQ(d.context.pixel(46, 12), (Rgba8{255, 0, 0, 255}));
    EXPECT_EQ(d.context.pixel(2, 2), (Rgba8{0, 0, 0, 255}));
    EXPECT_EQ(d.context.pixel(62, 62), (Rgba8{0, 0, 0, 255}));
}

TEST(NurbsSurface, GlErrorThrowsWithItsText) {
    CNurbsSurface s = planar();
    Drawing d;
    glEnd();  // outside glBegin: an invalid operation is pending
    try {
        s.display(d.nurbs);
        FAIL() << "no exception";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "GL error: invalid operation\n");
    }
    glEnd();
    try {
        s.errCheck();
        FAIL() << "no exception";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "GL error: invalid operation\n");
    }
    EXPECT_NO_THROW(s.errCheck());
}

// The surface's own points: (u, v, u v) over the grid z = i j, which the
// bicubic reproduces exactly, whichever parameters the cross curves have.
TEST(NurbsSurface, EvalGivesThePointOfTheDrawnSurface) {
    const CNurbsSurface s = gridSurface([](int i, int j) { return double(i * j); });
    struct Case {
        double u, v;
    };
    for (const Case& c : {Case{0, 0}, Case{3, 1.5}, Case{0.5, 2.25}, Case{3, 3}, Case{1.75, 0.2}}) {
        Point<double> p(9, 9, 9);
        s.eval(c.u, c.v, &p);
        EXPECT_NEAR(p.x, c.u, 1e-9) << c.u << "," << c.v;
        EXPECT_NEAR(p.y, c.v, 1e-9) << c.u << "," << c.v;
        EXPECT_NEAR(p.z, c.u * c.v, 1e-9) << c.u << "," << c.v;
    }
}

TEST(NurbsSurface, CurveArrayTakesUFromTheFirstOfFourCurves) {
    std::vector<std::unique_ptr<Bspline>> lines;
    CArray<Bspline*, Bspline*> curves;
    for (int i = 0; i < 4; ++i) {
        Point<double> a(0, i, 0), b(2, i, 0);
        lines.push_back(std::make_unique<Bspline>(&a, &b, false));
        curves.Add(lines.back().get());
    }
    const CNurbsSurface s(&curves);
    EXPECT_EQ(s.crossCurveCount(), 2);
    EXPECT_EQ(s.uOrder(), 2);
    EXPECT_EQ(s.vOrder(), 4);
    EXPECT_EQ(s.uKnots(), (std::vector<float>{0, 0, 2, 2}));
    Point<double> p;
    s.eval(1.0, 1.5, &p);
    EXPECT_NEAR(p.x, 1.0, 1e-9);
    EXPECT_NEAR(p.y, 1.5, 1e-9);

    CArray<Bspline*, Bspline*> three;
    for (int i = 0; i < 3; ++i) three.Add(lines[i].get());
    EXPECT_THROW(CNurbsSurface{&three}, CInvalidArgException);
    CArray<Bspline*, Bspline*> empty;
    EXPECT_THROW(CNurbsSurface{&empty}, CInvalidArgException);

    // A row with coincident points cannot be interpolated; nothing leaks.
    Point<double> rows[4][4];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) rows[i][j] = Point<double>(i == 2 ? 0 : j, i, 0);
    EXPECT_THROW(CNurbsSurface{rows}, const char*);

    // Made by class name: empty, and it draws nothing.
    std::unique_ptr<CObject> made(CRuntimeClass::FromName("CNurbsSurface")->CreateObject());
    auto* blank = dynamic_cast<CNurbsSurface*>(made.get());
    ASSERT_NE(blank, nullptr);
    EXPECT_EQ(blank->crossCurveCount(), 0);
    Drawing d;
    std::vector<GluCall> calls;
    gCalls = &calls;
    blank->display(d.nurbs);
    gCalls = nullptr;
    EXPECT_TRUE(calls.empty());
}
