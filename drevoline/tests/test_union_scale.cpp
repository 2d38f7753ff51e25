// The union at every size: outlines a millionth to a hundred million units
// across unite to the closed-form area and centroid, and a union whose area
// is impossible for its pieces is refused rather than reported.
#include <numbers>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "drevoline/section/CXSectionAnalysis.h"
#include "test_union_support.h"

using namespace union_test;

namespace {


TEST(UnionScale, PlausibleAreaLiesBetweenTheLargestSolidLessTheHolesAndTheSolids) {
    struct Case {
        double area, solids, largest, holes;
        bool plausible;
    };
    const Case cases[] = {
        {18.45, 18.6, 10, 0, true},            // overlapping pieces
        {18.6, 18.6, 10, 0, true},             // disjoint pieces
        {-9.6, 18.6, 10, 0, false},            // negative
        {8.4, 18.6, 10, 0, false},             // less than the web alone
        {8.4, 18.6, 10, 2, true},              // a hole may take material away
        {7.9, 18.6, 10, 2, false},             // but no more than it has
        {-3, 0, 0, 3, true},                   // a hole on its own stays a hole
        {18.7, 18.6, 10, 2, false},            // more than the solids
        {18.6 + 1e-5, 18.6, 10, 0, true},      // integration slack
        {NAN, 18.6, 10, 0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(plausibleUnionArea(c.area, c.solids, c.largest, c.holes), c.plausible) << c.area << " " << c.holes;
}

// Two crossing bars, a disc on the top of the upright and a hole in it,
// every length times s: [0,10]x[0,2], [4,6]x[0,8], the disc of radius 1 at
// (5, 8) (its upper half adds) and the hole [4.5,5.5]x[3,5].
void addScaledShapes(CXSectionAnalysis& m, double s)
{
    int count = 0;
    const auto add = [&](std::unique_ptr<CCompositeCurve> outline, int sign) {
        outline->sign(sign);
        auto* shape = new CShapeAnalysis(outline.release());
        CString name;
        name.Format(L"s%d", ++count);
        shape->name(name);
        shape->kind = qhtShapeRectangle;
        m.addShapeToLists(m.rootSubSection(), shape);
    };
    add(rectangle(0, 0, 10 * s, 2 * s), 1);
    add(rectangle(4 * s, 0, 6 * s, 8 * s), 1);
    add(circle(P(5 * s, 8 * s), s), 1);
    add(rectangle(4.5 * s, 3 * s, 5.5 * s, 5 * s), -1);
}

TEST(UnionScale, CrossingBarsDiscAndHoleUniteAlikeAtEveryScale) {
    const double area = 30 + std::numbers::pi / 2;
    const double cy = (72 + 2.0 / 3 + 4 * std::numbers::pi) / area;
    for (double s : {1e-6, 1e-4, 1e-3, 1.0, 1e3, 1e4, 1e6, 1e8}) {
        SCOPED_TRACE("scale " + std::to_string(s));
        CXSectionAnalysis m;
        addScaledShapes(m, s);
        CSubSection* root = m.rootSubSection();
        try {
            root->Union(-1);
        } catch (const char* text) {
            // A refusal is allowed only outside the ordinary sizes.
            EXPECT_STREQ(text, "Union operation failed");
            EXPECT_TRUE(s < 1e-4 || s > 1e4);
            continue;
        }
        ASSERT_NE(root->getUnionShapes(), nullptr);
        double a = 0, sx = 0, sy = 0;
        POSITION pos = root->getUnionShapes()->GetHeadPosition();
        while (pos) {
            CShapeAnalysis* u = root->getUnionShapes()->GetNext(pos);
            u->areaProperties();
            // The material of a hole counts negative whichever way it runs.
            const double ua = (u->boundary->isNegative() ? -1 : 1) * std::fabs(u->m_area);
            a += ua;
            sx += ua * u->centroidA.x;
            sy += ua * u->centroidA.y;
        }
        EXPECT_NEAR(a / (s * s), area, 1e-6 * area);
        EXPECT_NEAR(sx / a / s, 5.0, 1e-6);
        EXPECT_NEAR(sy / a / s, cy, 1e-6);
    }
}

}  // namespace
