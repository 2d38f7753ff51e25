// The OpenGL view's record lists: the drawing order of layers, priorities,
// picks and overlays read back from the view's buffer, and removal.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/model/Globals.h"
#include "test_view_support.h"

namespace {


struct Rec {
    LightProperties* material;
    int layer;
    int priority;
    bool picked;
};

struct OrderCase {
    std::string name;
    std::vector<Rec> records;  // full-view quads, in list order
    Rgba8 expected;            // the centre pixel
};

}  // namespace

// With depth testing off, what is drawn later lies on top.
TEST(ViewLists, DrawingOrderFollowsLayersPrioritiesAndPicks) {
    const std::vector<OrderCase> cases = {
        {"priority 5 over 0", {{&gRed, 0, 5, false}, {&gGreen, 0, 0, false}}, kRed},
        {"priority 0 under 5", {{&gGreen, 0, 0, false}, {&gRed, 0, 5, false}}, kRed},
        {"layer 0 over layer 1", {{&gRed, 0, 0, false}, {&gGreen, 1, 0, false}}, kRed},
        {"layer 1 drawn at all", {{&gGreen, 1, 0, false}}, kGreen},
        {"layer 2 never drawn", {{&gBlue, 2, 0, false}}, kBackground},
        {"priority 13 never drawn", {{&gBlue, 0, 13, false}}, kBackground},
        {"priority -1 never drawn", {{&gBlue, 0, -1, false}}, kBackground},
        {"picked last in highlight", {{&gRed, 0, 0, true}, {&gGreen, 1, 12, false}}, kWhite},
        {"picked drawn in any layer", {{&gBlue, 2, 0, true}}, kWhite},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(c.name);
        SizedView v(32, 32);
        v.view.m_layerCount = 0;
        for (const Rec& r : c.records) {
            DspRecord* record = addQuad(v.view, r.material);
            record->layer = r.layer;
            record->priority(r.priority);
            record->picked = r.picked ? 1 : 0;
        }
        v.view.maxPriority(20);  // every pass draws priorities 0 to 12 only
        v.view.resetCameraPostDisplayList(0, 1, 0);
        EXPECT_EQ(v.view.buffer()->pixel(16, 16), c.expected);
        EXPECT_EQ(v.view.m_maxPriority, 12);
    }
}

TEST(ViewLists, OverlaysFollowTheMaskUnlessAnimationRuns) {
    SizedView v(16, 16);
    DspRecord* overlay = new DspRecord(L"overlay", nullptr, nullptr, 1, 0, &gBlue, 1);
    v.view.m_overlayList.AddTail(overlay);
    DspRecord* source = addQuad(v.view, &gRed);
    overlay->listId = source->listId;  // draws the same quad
    v.view.m_displayList.RemoveTail();
    source->listId = 0;  // the overlay owns the list now
    delete source;
    overlay->overlayMask = 2;

    struct Case {
        int viewMask;
        bool animation;
        Rgba8 expected;
    };
    for (const Case& c : {Case{2, false, kBlue}, Case{1, false, kBackground}, Case{2, true, kBackground}}) {
        v.view.m_overlayMask = c.viewMask;
        gShowAnimation = c.animation;
        v.view.resetCameraPostDisplayList(0, 1, 0);
        EXPECT_EQ(v.view.buffer()->pixel(8, 8), c.expected) << c.viewMask << " " << c.animation;
    }
    gShowAnimation = false;
}

TEST(ViewLists, RemoveTypeTakesOnlyThatExactType) {
    SizedView v(8, 8);
    const int a = addQuad(v.view, &gRed, -5, -5, 5, 5, 4)->listId;
    const int kept = addQuad(v.view, &gGreen, -5, -5, 5, 5, 5)->listId;  // shares bit 4
    const int b = addQuad(v.view, &gRed, -5, -5, 5, 5, 4)->listId;

    v.view.removeType(4);
    ASSERT_EQ(v.view.m_displayList.GetCount(), 1);
    EXPECT_EQ(v.view.m_displayList.GetHead()->type, 5u);
    EXPECT_FALSE(glIsList(a));
    EXPECT_FALSE(glIsList(b));
    EXPECT_TRUE(glIsList(kept));

    v.view.post(9999, 0, 0);  // no record has it: nothing changes
    EXPECT_EQ(v.view.m_displayList.GetHead()->posted, 1);
    v.view.post(kept, 0, 1);
    v.view.resetCameraPostDisplayList(0, 1, 0);
    EXPECT_EQ(v.view.buffer()->pixel(4, 4), kBackground);

    v.view.addPickList(v.view.m_displayList.GetHead());
    v.view.removeAll();
    EXPECT_TRUE(v.view.m_displayList.IsEmpty());
    EXPECT_TRUE(v.view.m_pickList.IsEmpty());
    EXPECT_FALSE(glIsList(kept));
}
