// Flat text of the OpenGL view: number formats, the band outline, labels
// placed and drawn from each view's own font lists, arrows, invalid lists,
// and the tessellator callbacks.
#include <gtest/gtest.h>

#include <string>

#include "analysis/views/Tessellation.h"
#include "platform/core/Hooks.h"
#include "platform/gl/GlyphFont.h"
#include "test_view_support.h"

namespace {

// A view that records its labels instead of drawing them.
class LabelRecorder : public TestView {
public:
    struct Label {
        std::string placement;
        std::string text;
        int fontList;
    };
    std::vector<Label> labels;
    void text3D(double, double, double, float, float, float, const char* placement, CStringA text,
                int fontList) override {
        labels.push_back({placement, text.GetString(), fontList});
    }
};

// Clears the view's buffer to white with its context current.
void clearWhite(COpenGLView& view) {
    ASSERT_TRUE(view.makeCurrent());
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// The box of the pixels of one colour, or an empty box when there are none.
struct Box {
    int minX = 1 << 30, minY = 1 << 30, maxX = -1, maxY = -1;
    int count = 0;
};
Box pixelsOf(const COpenGLView& view, Rgba8 colour) {
    glFinish();
    Box b;
    const COffscreenContext* buffer = view.buffer();
    for (int y = 0; y < buffer->height(); ++y)
        for (int x = 0; x < buffer->width(); ++x)
            if (buffer->pixel(x, y) == colour) {
                b.minX = std::min(b.minX, x);
                b.maxX = std::max(b.maxX, x);
                b.minY = std::min(b.minY, y);
                b.maxY = std::max(b.maxY, y);
                ++b.count;
            }
    return b;
}

}  // namespace

TEST(ViewText, NumberFormatsBySize) {
    struct Case {
        double v;
        const char* text;
    };
    LabelRecorder view;
    Point<double> p(1, 2, 0);
    for (const Case& c : {Case{123.456, "123.456"}, Case{0, "0.00e+00"}, Case{250000, "2.50e+05"},
                          Case{0.00001, "0.000"}, Case{-100000, "-100000.000"}, Case{-100001, "-1.00e+05"},
                          Case{9e-6, "9.00e-06"}}) {
        view.labels.clear();
        view.number(&p, "lc", c.v);
        ASSERT_EQ(view.labels.size(), 1u);
        EXPECT_EQ(view.labels[0].text, c.text) << c.v;
        EXPECT_EQ(view.labels[0].placement, "lc");
        EXPECT_EQ(view.labels[0].fontList, -1);
    }
}

TEST(ViewText, LinePolygonIsAClosedBandAroundTheSegment) {
    struct Case {
        Point<double> a, b;
        double width;
        std::vector<Point<float>> expected;
    };
    for (const Case& c :
         {Case{{0, 0, 0}, {1, 0, 0}, 2, {{0, 1, 0}, {1, 1, 0}, {1, -1, 0}, {0, -1, 0}, {0, 1, 0}}},
          Case{{0, 0, 0}, {0, 2, 0}, 1, {{-0.5f, 0, 0}, {-0.5f, 2, 0}, {0.5f, 2, 0}, {0.5f, 0, 0}, {-0.5f, 0, 0}}}}) {
        Point<float> out[5];
        COpenGLView::computeLinePolygon(&c.a, &c.b, out, c.width);
        for (int i = 0; i < 5; ++i) {
            EXPECT_FLOAT_EQ(out[i].x, c.expected[static_cast<std::size_t>(i)].x) << i;
            EXPECT_FLOAT_EQ(out[i].y, c.expected[static_cast<std::size_t>(i)].y) << i;
        }
    }
    // Points closer than 1e-5 write nothing.
    Point<float> out[5];
    for (auto& p : out) p = Point<float>(7, 7, 7);
    const Point<double> a(0, 0, 0), b(0, 5e-6, 0);
    COpenGLView::computeLinePolygon(&a, &b, out, 1);
    for (const auto& p : out) EXPECT_EQ(p.x, 7.0f);
}

// A centred label covers the box its font measures around the point, and
// draws in red only there.
TEST(ViewText, LabelDrawsInsideItsPlacedBox) {
    SizedView v(200, 100);
    clearWhite(v.view);
    ASSERT_GT(v.view.m_DefaultFlatTextID, 0);
    v.view.text3D(0, 0, 0, 1, 0, 0, "cc", "Hello", -1);
    const Box red = pixelsOf(v.view, kRed);
    ASSERT_GT(red.count, 10);

    const auto font = GlyphFont::systemFont();
    ASSERT_TRUE(font);
    const TEXTMETRIC& tm = font->metrics();
    const int cx = font->extent("Hello").cx;
    const int h = tm.tmHeight - tm.tmExternalLeading - tm.tmDescent - tm.tmInternalLeading;
    const int left = 100 - cx / 2, baseline = 50 - h / 2;
    EXPECT_GE(red.minX, left);
    EXPECT_LT(red.maxX, left + cx);
    EXPECT_GE(red.minY, baseline - tm.tmDescent);
    EXPECT_LT(red.maxY, baseline + tm.tmAscent);
    // Capital H stands on the baseline.
    EXPECT_EQ(red.minY, baseline);
}

// Selection mode: the plain label draws nothing at all (no hit), the one
// with a background draws its box (a hit).
TEST(ViewText, PlainLabelSkipsSelectionModeBackgroundLabelDoesNot) {
    SizedView v(100, 100);
    ASSERT_TRUE(v.view.makeCurrent());
    struct Case {
        bool background;
        GLint hits;
    };
    for (const Case& c : {Case{false, 0}, Case{true, 1}}) {
        GLuint select[64] = {};
        glSelectBuffer(64, select);
        glRenderMode(GL_SELECT);
        glInitNames();
        glPushName(7);
        if (c.background) v.view.text3DwithBackground(0, 0, 0, 1, 0, 0, "cc", "Label", 1, 1, 0, -1);
        else v.view.text3D(0, 0, 0, 1, 0, 0, "cc", "Label", -1);
        EXPECT_EQ(glRenderMode(GL_RENDER), c.hits) << c.background;
    }
}

TEST(ViewText, TwoViewsDrawFromTheirOwnListsAndAResizeKeepsThem) {
    SizedView a(80, 40), b(80, 40);
    for (SizedView* v : {&a, &b}) {
        clearWhite(v->view);
        v->view.text3D(0, 0, 0, 1, 0, 0, "cc", "AB", -1);
        EXPECT_GT(pixelsOf(v->view, kRed).count, 5);
    }
    const int flat = a.view.m_DefaultFlatTextID;
    const UINT grid = a.view.m_GridLabelFontId;
    a.host.client = CRect(0, 0, 120, 60);
    a.view.OnSize(0, 120, 60);
    EXPECT_EQ(a.view.m_DefaultFlatTextID, flat);
    EXPECT_EQ(a.view.m_GridLabelFontId, grid);
    clearWhite(a.view);
    EXPECT_TRUE(glIsList(static_cast<GLuint>(flat) + 'A'));
    a.view.text3D(0, 0, 0, 1, 0, 0, "cc", "AB", -1);
    EXPECT_GT(pixelsOf(a.view, kRed).count, 5);
    // The grid-label lists are a 10-pixel Arial.
    ASSERT_NE(a.view.m_pGridLabelFont, nullptr);
    EXPECT_EQ(a.view.m_pGridLabelFont->logFont().lfHeight, -10);
    EXPECT_EQ(a.view.m_pGridLabelFont->logFont().lfFaceName, CString(L"Arial"));
}

TEST(ViewText, LabelsAreCutAt219Characters) {
    SizedView v(2000, 30);
    for (const auto& [spaces, drawn] : {std::pair{218, true}, std::pair{219, false}}) {
        clearWhite(v.view);
        const std::string text = std::string(static_cast<std::size_t>(spaces), ' ') + "WWW";
        v.view.text3D(-5, 0, 0, 1, 0, 0, "lc", text.c_str(), -1);
        EXPECT_EQ(pixelsOf(v.view, kRed).count > 0, drawn) << spaces;
    }
}

TEST(ViewText, ArrowLengthIsAPercentOfTheViewWidth) {
    SizedView v(600, 300);
    clearWhite(v.view);
    v.view.drawArrowWithLabel(0, 0, 0, 0, 10, 20, 10, 1, 0, 0, "", false);
    const Box red = pixelsOf(v.view, kRed);
    ASSERT_GT(red.count, 0);
    EXPECT_EQ(red.minX, 300);
    EXPECT_NEAR(red.maxX - red.minX + 1, 60, 1);
    // The head is 6 pixels to each side of the shaft.
    EXPECT_NEAR(red.maxY - red.minY + 1, 12, 2);
}

TEST(ViewText, ValueMarkerPutsTheTextRightExceptForLr) {
    SizedView v(200, 100);
    for (const auto& [placement, right] : {std::pair{"lr", false}, std::pair{"rl", true}, std::pair{"cc", true}}) {
        clearWhite(v.view);
        v.view.showValue(0, 0, 0, 1, 0, 0, placement, "42", 0, 0, 1);
        const Box blue = pixelsOf(v.view, kBlue);
        ASSERT_GT(blue.count, 0) << placement;
        EXPECT_EQ(blue.minX >= 100, right) << placement;
        EXPECT_EQ(blue.maxX < 100, !right) << placement;
        EXPECT_GT(pixelsOf(v.view, kRed).count, 0) << placement;
    }
}

TEST(ViewText, InvalidListOrTextWritesOneLineAndDrawsNothing) {
    SizedView v(50, 50);
    clearWhite(v.view);
    Hooks::reset();
    ::testing::internal::CaptureStderr();
    v.view.GLTextOut(0, "text");
    v.view.GLTextOut(static_cast<UINT>(v.view.m_DefaultFlatTextID), nullptr);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "GLTextOut::invalid id or textstring\nGLTextOut::invalid id or textstring\n");
    EXPECT_TRUE(Hooks::messageBoxes().empty());
}

TEST(ViewText, SecondFontGenerationChangesNothing) {
    SizedView v(50, 50);
    const int flat = v.view.m_DefaultFlatTextID;
    const UINT grid = v.view.m_GridLabelFontId;
    const CFont* font = v.view.m_pGridLabelFont.get();
    v.view.GenerateDefaultFonts(nullptr, L"Arial");
    EXPECT_EQ(v.view.m_DefaultFlatTextID, flat);
    EXPECT_EQ(v.view.m_GridLabelFontId, grid);
    EXPECT_EQ(v.view.m_pGridLabelFont.get(), font);
}

TEST(ViewTessellation, ErrorIsThrownAfterThePolygonNotThroughGlu) {
    SizedView v(20, 20);
    ASSERT_TRUE(v.view.makeCurrent());
    TessellationScope scope;
    GLUtesselator* tess = gluNewTess();
    gluTessCallback(tess, GLU_TESS_ERROR, reinterpret_cast<_GLUfuncptr>(COpenGLView::errorCallback));
    GLdouble p[3] = {0, 0, 0};
    gluTessVertex(tess, p, p);  // outside a polygon
    gluTessVertex(tess, p, p);
    gluDeleteTess(tess);
    EXPECT_EQ(scope.error(), static_cast<GLenum>(GLU_TESS_MISSING_BEGIN_POLYGON));
    const CString expected(reinterpret_cast<const char*>(gluErrorString(GLU_TESS_MISSING_BEGIN_POLYGON)));
    try {
        scope.rethrow();
        FAIL() << "no throw";
    } catch (const wchar_t* text) {
        EXPECT_EQ(CString(text), expected);
    }
    TessellationScope clean;
    EXPECT_NO_THROW(clean.rethrow());
}

TEST(ViewTessellation, CombinedVerticesBelongToTheScope) {
    // Direct calls: a coloured scope weighs the neighbours' colours, a plain
    // one (three-double points) reads no colour; no scope makes no vertex.
    double n0[6] = {0, 0, 0, 1, 0, 0}, n1[6] = {2, 0, 0, 0, 1, 0};
    double* data[4] = {n0, n1, nullptr, nullptr};
    float weight[4] = {0.25f, 0.75f, 0, 0};
    double coords[3] = {1.5, 0, 0};
    double* out = nullptr;
    {
        TessellationScope coloured(true);
        COpenGLView::combineCallback(coords, data, weight, &out);
        ASSERT_NE(out, nullptr);
        EXPECT_DOUBLE_EQ(out[0], 1.5);
        EXPECT_DOUBLE_EQ(out[3], 0.25);
        EXPECT_DOUBLE_EQ(out[4], 0.75);
        EXPECT_DOUBLE_EQ(out[5], 0.0);
        EXPECT_EQ(coloured.combinedCount(), 1u);
    }
    {
        double p0[3] = {0, 0, 0}, p1[3] = {2, 0, 0};
        double* points[4] = {p0, p1, nullptr, nullptr};
        TessellationScope plain;
        COpenGLView::combineCallback(coords, points, weight, &out);
        EXPECT_DOUBLE_EQ(out[3] + out[4] + out[5], 0.0);
    }
    COpenGLView::combineCallback(coords, data, weight, &out);
    EXPECT_EQ(out, nullptr);

    // Through GLU: a bow tie crosses itself once; the crossing vertex is the
    // scope's and goes with it (the leak checker would see it otherwise).
    SizedView v(20, 20);
    ASSERT_TRUE(v.view.makeCurrent());
    TessellationScope scope;
    GLUtesselator* tess = gluNewTess();
    gluTessCallback(tess, GLU_TESS_BEGIN, reinterpret_cast<_GLUfuncptr>(glBegin));
    gluTessCallback(tess, GLU_TESS_VERTEX, reinterpret_cast<_GLUfuncptr>(glVertex3dv));
    gluTessCallback(tess, GLU_TESS_END, reinterpret_cast<_GLUfuncptr>(glEnd));
    gluTessCallback(tess, GLU_TESS_ERROR, reinterpret_cast<_GLUfuncptr>(COpenGLView::errorCallback));
    gluTessCallback(tess, GLU_TESS_COMBINE, reinterpret_cast<_GLUfuncptr>(COpenGLView::combineCallback));
    GLdouble bowTie[4][3] = {{-1, -1, 0}, {1, 1, 0}, {1, -1, 0}, {-1, 1, 0}};
    gluTessBeginPolygon(tess, nullptr);
    gluTessBeginContour(tess);
    for (auto& p : bowTie) gluTessVertex(tess, p, p);
    gluTessEndContour(tess);
    gluTessEndPolygon(tess);
    gluDeleteTess(tess);
    EXPECT_EQ(scope.combinedCount(), 1u);
    EXPECT_EQ(scope.error(), 0u);
}

TEST(ViewText, FontListsWithoutAContextSayWhy) {
    Hooks::reset();
    TestView view;  // never sized: no context
    EXPECT_EQ(view.GenerateBitmapListForFont(nullptr), 0u);
    ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
    EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"GenerateBitmapList: id:-1\n"));
    // The labels of such a view draw nothing and do not fail.
    EXPECT_NO_THROW(view.text3D(0, 0, 0, 1, 0, 0, "cc", "x", -1));
    std::unique_ptr<CFont> font = view.CreateFontW(0, -10);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->logFont().lfPitchAndFamily, FF_SWISS | DEFAULT_PITCH);
}
