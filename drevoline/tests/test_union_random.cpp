// Unions of random axis-aligned rectangles against an exact oracle: the
// plane cut into cells by every rectangle's coordinates, a cell counted
// once when some rectangle covers it.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cmath>
#include <memory>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "analysis/model/CMetal.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "test_union_moments.h"
#include "test_union_support.h"

using namespace union_test;

namespace {

struct Rect {
    double x0, y0, x1, y1;
};

Moments oracle(const std::vector<Rect>& rects)
{
    std::vector<double> xs, ys;
    for (const Rect& r : rects) {
        xs.insert(xs.end(), {r.x0, r.x1});
        ys.insert(ys.end(), {r.y0, r.y1});
    }
    std::sort(xs.begin(), xs.end());
    std::sort(ys.begin(), ys.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    Moments m;
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
        for (std::size_t j = 0; j + 1 < ys.size(); ++j) {
            const double cx = (xs[i] + xs[i + 1]) / 2;
            const double cy = (ys[j] + ys[j + 1]) / 2;
            const bool covered = std::any_of(rects.begin(), rects.end(), [&](const Rect& r) {
                return r.x0 < cx && cx < r.x1 && r.y0 < cy && cy < r.y1;
            });
            if (!covered)
                continue;
            const double a = (xs[i + 1] - xs[i]) * (ys[j + 1] - ys[j]);
            m.area += a;
            m.qx += a * cx;
            m.qy += a * cy;
        }
    }
    return m;
}

// Two to six rectangles. In general position every rectangle takes its own
// two x and two y values out of 0..23, so that no edges or corners meet;
// otherwise the values come from 0..5 and edges may be shared.
std::vector<Rect> randomRects(unsigned seed, bool generalPosition)
{
    std::mt19937 rng(seed);
    const int n = 2 + static_cast<int>(rng() % 5);
    std::vector<double> xs, ys;
    if (generalPosition) {
        for (int v = 0; v < 24; ++v) {
            xs.push_back(v);
            ys.push_back(v);
        }
        std::shuffle(xs.begin(), xs.end(), rng);
        std::shuffle(ys.begin(), ys.end(), rng);
    }
    std::vector<Rect> rects;
    for (int i = 0; i < n; ++i) {
        double a, b, c, d;
        if (generalPosition) {
            a = xs[2 * i], b = xs[2 * i + 1], c = ys[2 * i], d = ys[2 * i + 1];
        } else {
            a = rng() % 6, b = a + 1 + rng() % 3, c = rng() % 6, d = c + 1 + rng() % 3;
        }
        rects.push_back({std::min(a, b), std::min(c, d), std::max(a, b), std::max(c, d)});
    }
    return rects;
}

// The moments of the union shapes that Union makes of the rectangles.
Moments unionMoments(const std::vector<Rect>& rects)
{
    CXSectionAnalysis model;
    CSubSection* sub = model.rootSubSection();
    auto steel = std::make_shared<CMetal>();
    for (const Rect& r : rects) {
        auto* s = new CShapeAnalysis(rectangle(r.x0, r.y0, r.x1, r.y1).release());
        s->material(steel);
        model.addShapeToLists(sub, s);
    }
    sub->Union(-1);
    std::vector<const CCompositeCurve*> curves;
    if (ShapeList* shapes = sub->getUnionShapes()) {
        POSITION pos = shapes->GetHeadPosition();
        while (pos)
            curves.push_back(shapes->GetNext(pos)->boundary);
    }
    return netMoments(curves);
}

bool matches(const Moments& a, const Moments& b)
{
    return std::fabs(a.area - b.area) < 1e-9 && std::fabs(a.qx - b.qx) < 1e-9 && std::fabs(a.qy - b.qy) < 1e-9;
}

} // namespace

TEST(UnionRandom, RectanglesInGeneralPositionMatchTheOracle)
{
    for (unsigned seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE(seed);
        const std::vector<Rect> rects = randomRects(seed, true);
        const Moments expected = oracle(rects);
        Moments got;
        ASSERT_NO_THROW(got = unionMoments(rects));
        EXPECT_NEAR(got.area, expected.area, 1e-9);
        EXPECT_NEAR(got.qx, expected.qx, 1e-9);
        EXPECT_NEAR(got.qy, expected.qy, 1e-9);
    }
}

// Names the seed of a case still running after a while: should a union
// hang, the test's own time-out ends it and the log says which seed it
// was. It sets no limit of its own (a loaded machine only makes it speak).
class Watchdog {
public:
    Watchdog(unsigned seed, std::chrono::seconds after)
        : m_thread([this, seed, after] {
              std::unique_lock<std::mutex> lock(m_mutex);
              if (!m_done.wait_for(lock, after, [this] { return m_finished; }))
                  std::fprintf(stderr, "union of seed %u: still running\n", seed);
              m_done.wait(lock, [this] { return m_finished; });
          })
    {
    }
    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_one();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
};

// Every one of the 200 seeds unites and matches the oracle: a refusal
// ("Union operation failed", the only thing the union may throw) is a
// failure of the test, as a wrong result is.
TEST(UnionRandom, RectanglesSharingEdgesMatch)
{
    for (unsigned seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE(seed);
        const std::vector<Rect> rects = randomRects(seed, false);
        Watchdog watchdog(seed, std::chrono::seconds(30));
        try {
            const Moments got = unionMoments(rects);
            EXPECT_TRUE(matches(got, oracle(rects)));
        } catch (const char* text) {
            ADD_FAILURE() << "refused: " << text;
        }
    }
}
