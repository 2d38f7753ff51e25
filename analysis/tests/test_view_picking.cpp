// The OpenGL view's picking: the hit rule on selection buffers, a real
// selection-mode pick, the pick list, construction-point dots and the
// feedback read-back.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/model/CDot.h"
#include "analysis/views/FeedbackParser.h"
#include "test_view_support.h"

namespace {


// A record of its own list id, not drawn, for the list bookkeeping tests.
DspRecord* addRecord(COpenGLView& view, int listId, int type = 1, int pickPriority = 0) {
    auto* r = new DspRecord(L"record", nullptr, nullptr, type, listId, nullptr, 1);
    r->pickPriority = pickPriority;
    view.m_displayList.AddTail(r);
    return r;
}

// Selection hits of one name each: name count 1, two depths, the name.
std::vector<GLuint> hitsOf(const std::vector<GLuint>& names) {
    std::vector<GLuint> buffer;
    for (GLuint n : names) buffer.insert(buffer.end(), {1u, 0x80000000u, 0x80000000u, n});
    return buffer;
}

}  // namespace

TEST(ViewPicking, HitRuleTakesHighestPriorityThenFirstHit) {
    TestView view;  // the rule needs no context
    addRecord(view, 10, 1, 3);
    DspRecord* five = addRecord(view, 11, 1, 5);
    DspRecord* otherFive = addRecord(view, 12, 1, 5);
    addRecord(view, 13, 1, 9)->pick();
    addRecord(view, 14, 1, 9)->pickable(0);

    struct Case {
        std::vector<GLuint> names;
        DspRecord* expected;
    };
    for (const Case& c : {Case{{10, 11}, five}, Case{{11, 10}, five}, Case{{11, 12}, five}, Case{{12, 11}, otherFive},
                          Case{{13, 14}, nullptr}, Case{{13, 14, 12}, otherFive}, Case{{99}, nullptr}}) {
        std::vector<GLuint> buffer = hitsOf(c.names);
        EXPECT_EQ(view.processHits(static_cast<int>(c.names.size()), buffer.data(), 0), c.expected)
            << ::testing::PrintToString(c.names);
    }
    std::vector<GLuint> buffer = hitsOf({11});
    EXPECT_EQ(view.processHits(0, buffer.data(), 0), nullptr);
    EXPECT_EQ(view.processHits(-1, buffer.data(), 0), nullptr);

    // A hit that carries two names is read with its own length: the second
    // hit still counts.
    std::vector<GLuint> twoNames = {2, 0, 0, 77, 10, 1, 0, 0, 11};
    EXPECT_EQ(view.processHits(2, twoNames.data(), 0), five);
}

// A selection-mode pass through gluPickMatrix names the quad under the
// pixel: GLU's matrix calls reach the view's own context.
TEST(ViewPicking, SelectionModePickFindsTheQuadUnderThePixel) {
    SizedView v(64, 64);
    DspRecord* left = addQuad(v.view, &gRed, -5, -5, 0, 5);
    DspRecord* right = addQuad(v.view, &gGreen, 0, -5, 5, 5);

    auto pickAt = [&](int x, int y) {
        GLuint buffer[64] = {};
        v.view.makeCurrent();
        glSelectBuffer(64, buffer);
        glRenderMode(GL_SELECT);
        glInitNames();
        glPushName(0);
        v.view.projection();
        GLdouble ortho[16];
        glGetDoublev(GL_PROJECTION_MATRIX, ortho);
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        glLoadIdentity();
        gluPickMatrix(x, viewport[3] - y, 3, 3, viewport);
        glMultMatrixd(ortho);
        v.view.cameraPosition();
        v.view.ExecuteDisplayList(GL_SELECT, 0xFFFFFFFFu, 0, 1);
        const GLint hits = glRenderMode(GL_RENDER);
        return v.view.processHits(hits, buffer, 0);
    };
    EXPECT_EQ(pickAt(48, 20), right);
    EXPECT_EQ(pickAt(10, 50), left);
}

TEST(ViewPicking, PickListKeepsOrderAndTheLastPick) {
    TestView view;
    DspRecord* r[4];
    for (int i = 0; i < 4; ++i) r[i] = addRecord(view, 20 + i);
    for (DspRecord* record : r) view.addPickList(record);
    view.addPickList(r[1]);  // already picked: nothing
    ASSERT_EQ(view.m_pickList.GetCount(), 4);

    view.turnOffAllButLastPickFlags();
    ASSERT_EQ(view.m_pickList.GetCount(), 1);
    EXPECT_EQ(view.m_pickList.GetHead(), 23);
    EXPECT_EQ(view.lastPick(), r[3]);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(r[i]->picked, 0);
    EXPECT_EQ(r[3]->picked, 1);

    // A listed record whose flag the type-mask form cleared clears every pick.
    view.addPickList(r[0]);
    view.turnOffPickFlags(1u);
    EXPECT_EQ(view.m_pickList.GetCount(), 2);
    view.addPickList(r[0]);
    EXPECT_TRUE(view.m_pickList.IsEmpty());
    EXPECT_EQ(r[3]->picked, 0);

    view.addPickList(r[2]);
    view.unpickLast();
    EXPECT_TRUE(view.m_pickList.IsEmpty());
    EXPECT_EQ(r[2]->picked, 0);
}

TEST(ViewPicking, DotsGetListsOfTheirOwnAndAnswerPointQueries) {
    SizedView v(32, 32);
    DspRecord* quad = addQuad(v.view, &gRed);
    CDot first(Point<double>(1, 2, 0));
    CDot second(Point<double>(-3, 4, 0));
    first.id = quad->listId;  // a unique id that is some other record's list
    second.id = quad->listId + 1;
    v.view.m_maxPriority = 11;

    v.view.displayDot(&first);
    v.view.displayDot(&second);
    ASSERT_EQ(v.view.m_displayList.GetCount(), 3);
    DspRecord* d1 = v.view.findDspRecord(static_cast<const void*>(&first));
    DspRecord* d2 = v.view.findDspRecord(static_cast<const void*>(&second));
    ASSERT_NE(d1, nullptr);
    ASSERT_NE(d2, nullptr);
    EXPECT_NE(d1->listId, quad->listId);
    EXPECT_NE(d1->listId, d2->listId);
    EXPECT_EQ(d1->name, CString(L"COpenGLView::dot"));
    EXPECT_EQ(d1->type, 4u);
    EXPECT_EQ(d1->drawPriority, 9);
    EXPECT_EQ(d1->material, &v.view.m_green);
    EXPECT_EQ(v.view.m_maxPriority, 11);  // raised to 9 at most, never lowered

    // The quad's list is intact and the dot lies over it in green.
    v.view.resetCameraPostDisplayList(0, 1, 0);
    EXPECT_EQ(v.view.buffer()->pixel(4, 4), kRed);
    EXPECT_EQ(v.view.buffer()->pixel(19, 22), kGreen);  // model (1, 2): pixel 16 + 1 * 3.2, 16 + 2 * 3.2

    v.view.addPickList(quad);
    v.view.addPickList(d1);
    v.view.addPickList(d2);
    Point<double> a, b, c(7, 7, 7);
    EXPECT_FALSE(v.view.get3points(&a, &b, &c));
    EXPECT_EQ(a.x, 1.0);
    EXPECT_EQ(b.y, 4.0);
    EXPECT_EQ(c.x, 7.0);
    EXPECT_TRUE(v.view.get2points(&a, &b));
    EXPECT_EQ(v.view.dotsPicked(), 2);
    EXPECT_EQ(v.view.getPickedDot(), &first);
    EXPECT_EQ(v.view.searchPicks(4), &first);
    EXPECT_EQ(v.view.isPicked(&second), 1);
}

namespace {

void pushVertex(std::vector<float>& b, float x, float y, float z, float red = 0) {
    b.insert(b.end(), {x, y, z, red, 0, 0, 1, 0, 0, 0, 1});
}

}  // namespace

// Each token is read with its own length; a point's vertex counts, a
// bitmap's raster position does not, polygons may be long, and an overflow
// (-1) means the whole buffer.
TEST(ViewPicking, FeedbackParsingReadsEachTokenWithItsOwnLength) {
    std::vector<float> b;
    b.insert(b.end(), {float(GL_PASS_THROUGH_TOKEN), 7});
    b.push_back(float(GL_BITMAP_TOKEN));
    pushVertex(b, 10, 10, 0, 0.1f);  // nearest of all, but only a raster position
    b.push_back(float(GL_POLYGON_TOKEN));
    b.push_back(60);
    for (int i = 0; i < 60; ++i) pushVertex(b, 100.0f + i, 100, 0);
    b.insert(b.end(), {float(GL_PASS_THROUGH_TOKEN), 8});
    b.push_back(float(GL_POINT_TOKEN));
    pushVertex(b, float(GL_POLYGON_TOKEN), 12, 0, 0.5f);  // an x that reads like a token
    b.push_back(float(GL_LINE_TOKEN));
    pushVertex(b, 20, 20, 0);
    pushVertex(b, 30, 30, 0);
    const int n = static_cast<int>(b.size());

    struct Case {
        float x, y;
        int written;
        float expectedX, token;
    };
    for (const Case& c : {Case{10, 10, n, 20, 8}, Case{155, 100, n, 155, 7}, Case{1795, 12, n, 1795, 8},
                          Case{1795, 12, -1, 1795, 8}}) {
        const FeedbackNearest found = parseFeedback(b.data(), n, c.written, c.x, c.y, Point<float>(0, 0, 1));
        ASSERT_TRUE(found.found);
        EXPECT_EQ(found.vertex.x, c.expectedX) << c.x << "," << c.y;
        EXPECT_EQ(found.token, c.token);
    }
    // Cut short inside the line: the line is dropped, what came before counts.
    const FeedbackNearest cut = parseFeedback(b.data(), n, n - 5, 20, 20, Point<float>(0, 0, 1));
    EXPECT_EQ(cut.vertex.x, 100.0f);
    EXPECT_EQ(parseFeedback(b.data(), n, 0, 0, 0, Point<float>(0, 0, 1)).found, false);

    // Values no token or count can have end the parse with what came before.
    for (const float bad : {std::nanf(""), -3.0f, 1e30f}) {
        std::vector<float> odd = {float(GL_POINT_TOKEN)};
        pushVertex(odd, 5, 5, 0);
        odd.insert(odd.end(), {float(GL_POLYGON_TOKEN), bad});
        pushVertex(odd, 0, 0, 0);
        odd.push_back(bad);
        pushVertex(odd, 0, 0, 0);
        const FeedbackNearest found =
            parseFeedback(odd.data(), static_cast<int>(odd.size()), -1, 0, 0, Point<float>(0, 0, 1));
        EXPECT_EQ(found.vertex.x, 5.0f) << bad;
    }
}

// A pass that fails leaves feedback mode: the context must not go on
// writing into the buffer of a feedback call that has returned.
TEST(ViewPicking, FeedbackThatThrowsLeavesFeedbackMode) {
    SizedView v(40, 40);
    addQuad(v.view, &gRed, -5, -5, 0, 0);
    ASSERT_TRUE(v.view.makeCurrent());
    glEnd();  // a pending invalid operation makes the pass throw
    Point<float> vertex(-1, -1, -1);
    EXPECT_THROW(v.view.feedback(18, 3, &vertex, nullptr, nullptr, nullptr, nullptr, nullptr), std::logic_error);
    GLint mode = 0;
    glGetIntegerv(GL_RENDER_MODE, &mode);
    EXPECT_EQ(mode, GL_RENDER);
    EXPECT_EQ(vertex.x, -1.0f);

    // The next call works as usual.
    v.view.feedback(18, 3, &vertex, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NEAR(vertex.x, 20.0f, 1e-3);
    v.view.resetCameraPostDisplayList(0, 1, 0);
    EXPECT_EQ(v.view.buffer()->pixel(5, 5), kRed);
}

TEST(ViewPicking, FeedbackFindsTheNearestDrawnCorner) {
    SizedView v(40, 40);
    addQuad(v.view, &gRed, -5, -5, 0, 0);  // window (0, 0)-(20, 20)
    Point<float> vertex(-1, -1, -1), reflection;
    RGBAf colour, texture;
    float token = -1;
    v.view.feedback(18, 3, &vertex, &colour, &texture, &token, nullptr, &reflection);
    EXPECT_NEAR(vertex.x, 20.0f, 1e-3);
    EXPECT_NEAR(vertex.y, 0.0f, 1e-3);
    EXPECT_FLOAT_EQ(colour.red, 1.0f);
    EXPECT_FLOAT_EQ(colour.green, 0.0f);
    EXPECT_FLOAT_EQ(token, 0.0f);
    // A face turned to the viewer sends the view ray straight back.
    EXPECT_NEAR(reflection.x, 0.0f, 1e-6);
    EXPECT_NEAR(reflection.y, 0.0f, 1e-6);
    EXPECT_NEAR(reflection.z, 1.0f, 1e-6);
}
