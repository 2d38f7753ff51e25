// Intersections of two polylines (straight arcs of several control points):
// a stretch they share counts by its two ends only.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "analysis/geometry/Bspline.h"

namespace {

using Pt = Point<double>;

std::unique_ptr<Bspline> polylineThrough(std::vector<Pt> pts)
{
    return std::make_unique<Bspline>(static_cast<int>(pts.size()), pts.data());
}

// The points of an intersection list (freed here), in order.
std::vector<Pt> taken(CList<Pt*>* list)
{
    std::vector<Pt> out;
    if (!list)
        return out;
    while (!list->IsEmpty()) {
        std::unique_ptr<Pt> p(list->RemoveHead());
        out.push_back(*p);
    }
    delete list;
    return out;
}

void expectPoints(const std::vector<Pt>& actual, const std::vector<Pt>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(actual[i].x, expected[i].x, 1e-12) << i;
        EXPECT_NEAR(actual[i].y, expected[i].y, 1e-12) << i;
    }
}

} // namespace

TEST(PolylineIntersection, ASharedStretchGivesItsTwoEndsOnce)
{
    struct Case {
        const char* name;
        std::vector<Pt> a, b;
        std::vector<Pt> expected;
    };
    const std::vector<Case> cases = {
        {"rectangles sharing part of an edge",
         {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {0, 1, 0}, {0, 0, 0}},
         {{2, 0.5, 0}, {3, 0.5, 0}, {3, 2, 0}, {2, 2, 0}, {2, 0.5, 0}},
         {{2, 0.5, 0}, {2, 1, 0}}},
        {"rectangles sharing a whole edge",
         {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {0, 1, 0}, {0, 0, 0}},
         {{2, 0, 0}, {4, 0, 0}, {4, 1, 0}, {2, 1, 0}, {2, 0, 0}},
         {{2, 0, 0}, {2, 1, 0}}},
        {"a joint inside the shared stretch is no crossing",
         {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 1, 0}},
         {{1.5, -1, 0}, {1.5, 0, 0}, {0.5, 0, 0}, {0.5, -1, 0}},
         {{0.5, 0, 0}, {1.5, 0, 0}}},
        {"crossing polylines",
         {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}},
         {{1, -1, 0}, {1, 1, 0}, {3, 1, 0}},
         {{1, 0, 0}, {2, 1, 0}}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        auto a = polylineThrough(k.a);
        auto b = polylineThrough(k.b);
        expectPoints(taken(a->intersection(b.get())), k.expected);
    }
}
