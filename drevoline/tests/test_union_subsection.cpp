// The union of a sub-section's shapes: the union shapes it makes, their
// geometry, and how failures leave the sub-section.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "analysis/model/CMetal.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "test_union_moments.h"
#include "test_union_support.h"
#include "analysis/tests/TestSupport.h"

using namespace union_test;

namespace {

std::shared_ptr<CMetal> metal(const wchar_t* name)
{
    auto m = std::make_shared<CMetal>();
    m->name = name;
    return m;
}

// A model whose root sub-section receives the shapes.
struct UnionModel : ::testing::Test {
    CXSectionAnalysis m;
    CSubSection* root = m.rootSubSection();
    std::shared_ptr<CMetal> steel = metal(L"steel");
    int count = 0;

    CShapeAnalysis* add(std::unique_ptr<CCompositeCurve> outline, int sign = 1,
                        std::shared_ptr<CMetal> material = nullptr)
    {
        outline->sign(sign);
        auto* s = new CShapeAnalysis(outline.release());
        CString name;
        name.Format(L"s%d", ++count);
        s->name(name);
        s->kind = qhtShapeRectangle;
        s->material(sign > 0 ? (material ? material : steel) : nullptr);
        m.addShapeToLists(root, s);
        return s;
    }
    CShapeAnalysis* addRect(double x0, double y0, double x1, double y1, int sign = 1)
    {
        return add(rectangle(x0, y0, x1, y1), sign);
    }

    std::vector<const CCompositeCurve*> unionCurves() const
    {
        std::vector<const CCompositeCurve*> out;
        if (!root->getUnionShapes())
            return out;
        POSITION pos = root->getUnionShapes()->GetHeadPosition();
        while (pos)
            out.push_back(root->getUnionShapes()->GetNext(pos)->boundary);
        return out;
    }
    int nUnion() const { return root->getUnionShapes() ? static_cast<int>(root->getUnionShapes()->GetCount()) : 0; }
};

} // namespace

TEST_F(UnionModel, CrossOfTwoRectanglesIsOneShape)
{
    addRect(0, 0, 10, 2);
    addRect(4, -3, 6, 5);
    root->Union(-1);
    ASSERT_EQ(nUnion(), 1);
    const CShapeAnalysis* u = root->getUnionShapes()->GetHead();
    EXPECT_EQ(u->name(), L"union_root_1");
    EXPECT_EQ(u->kind, qhtShapeSubSection);
    EXPECT_EQ(u->material(), steel);
    EXPECT_EQ(root->material(), steel);
    const Moments mm = netMoments(unionCurves());
    EXPECT_NEAR(mm.area, 32.0, 1e-9);
    EXPECT_NEAR(mm.qx / mm.area, 5.0, 1e-9);
    EXPECT_NEAR(mm.qy / mm.area, 1.0, 1e-9);
    EXPECT_TRUE(m.shapes.Find(const_cast<CShapeAnalysis*>(u)));
}

TEST_F(UnionModel, HolesInsideAndAcrossTheEdge)
{
    struct Case {
        double x0, y0, x1, y1;
        int shapes;
        double area;
    };
    for (const Case& k : {Case{1, 1, 9, 5, 2, 28}, Case{8, 2, 12, 4, 1, 56}}) {
        SCOPED_TRACE(k.x0);
        CXSectionAnalysis model;
        CSubSection* sub = model.rootSubSection();
        auto* outer = new CShapeAnalysis(rectangle(0, 0, 10, 6).release());
        outer->material(steel);
        model.addShapeToLists(sub, outer);
        auto hole = rectangle(k.x0, k.y0, k.x1, k.y1);
        hole->reverse();  // a hole runs clockwise, as the shapes make them
        hole->sign(-1);
        model.addShapeToLists(sub, new CShapeAnalysis(hole.release()));
        sub->Union(-1);
        ASSERT_NE(sub->getUnionShapes(), nullptr);
        ASSERT_EQ(sub->getUnionShapes()->GetCount(), k.shapes);
        std::vector<const CCompositeCurve*> curves;
        POSITION pos = sub->getUnionShapes()->GetHeadPosition();
        while (pos)
            curves.push_back(sub->getUnionShapes()->GetNext(pos)->boundary);
        EXPECT_NEAR(netMoments(curves).area, k.area, 1e-9);
    }
}

TEST_F(UnionModel, TwoOverlappingDisks)
{
    add(circle(P(0, 0), 1));
    add(circle(P(1, 0), 1));
    root->Union(-1);
    ASSERT_EQ(nUnion(), 1);
    const double lens = 2 * M_PI / 3 - std::sqrt(3.0) / 2;
    EXPECT_NEAR(std::fabs(unionCurves()[0]->area()), 2 * M_PI - lens, 1e-6);
}

TEST_F(UnionModel, DisjointNestedAndIdenticalShapes)
{
    struct Case {
        const char* name;
        std::vector<std::vector<double>> rects;
        int shapes;
        double area;
    };
    const std::vector<Case> cases = {
        {"disjoint", {{0, 0, 1, 1}, {2, 0, 3, 2}}, 2, 3},
        {"nested", {{0, 0, 4, 4}, {1, 1, 2, 2}}, 1, 16},
        {"identical", {{0, 0, 2, 3}, {0, 0, 2, 3}}, 1, 6},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        CXSectionAnalysis model;
        CSubSection* sub = model.rootSubSection();
        for (const auto& r : k.rects) {
            auto* s = new CShapeAnalysis(rectangle(r[0], r[1], r[2], r[3]).release());
            s->material(steel);
            model.addShapeToLists(sub, s);
        }
        sub->Union(-1);
        ASSERT_NE(sub->getUnionShapes(), nullptr);
        ASSERT_EQ(sub->getUnionShapes()->GetCount(), k.shapes);
        std::vector<const CCompositeCurve*> curves;
        POSITION pos = sub->getUnionShapes()->GetHeadPosition();
        while (pos)
            curves.push_back(sub->getUnionShapes()->GetNext(pos)->boundary);
        EXPECT_NEAR(netMoments(curves).area, k.area, 1e-9);
    }
}

TEST_F(UnionModel, DifferingMaterialsAreRefusedAndTheOldUnionStays)
{
    addRect(0, 0, 2, 2);
    addRect(1, 1, 3, 3);
    root->Union(-1);
    ASSERT_TRUE(root->isUnionOn());
    CShapeAnalysis* before = root->getUnionShapes()->GetHead();
    add(rectangle(5, 5, 6, 6), 1, metal(L"aluminium"));
    EXPECT_THROW(
        {
            try {
                root->Union(-1);
            } catch (const std::logic_error& e) {
                EXPECT_STREQ(e.what(), "Attempting to combine objects of differing materials");
                throw;
            }
        },
        std::logic_error);
    ASSERT_TRUE(root->isUnionOn());
    EXPECT_EQ(root->getUnionShapes()->GetHead(), before);
}

TEST_F(UnionModel, AFailedUnionSaysSoAndLeavesTheSubSectionAsItWas)
{
    addRect(0, 0, 2, 2);
    addRect(1, 1, 3, 3);
    root->Union(-1);
    CShapeAnalysis* before = root->getUnionShapes()->GetHead();
    const std::size_t dots = root->dots.size();
    // An outline without arcs has no interior point: the sum fails on it.
    add(std::make_unique<CCompositeCurve>());
    EXPECT_EQ(test_support::thrownText([&] { root->Union(-1); }), "Union operation failed");
    ASSERT_TRUE(root->isUnionOn());
    EXPECT_EQ(root->getUnionShapes()->GetHead(), before);
    EXPECT_EQ(root->dots.size(), dots);
}

TEST_F(UnionModel, UnionOnOffAndTheShapesItStandsFor)
{
    CShapeAnalysis* a = addRect(0, 0, 2, 2);
    CShapeAnalysis* b = addRect(1, 1, 3, 3);
    root->Union(-1);
    EXPECT_TRUE(root->isUnionOn());
    std::unique_ptr<ShapeList> seen = root->getShapesRecursive();
    ASSERT_EQ(seen->GetCount(), 1);
    EXPECT_TRUE(root->isUnionShape(seen->GetHead()));
    EXPECT_FALSE(root->isUnionShape(a));

    root->removeUnion();
    EXPECT_FALSE(root->isUnionOn());
    EXPECT_EQ(root->getUnionShapes(), nullptr);
    seen = root->getShapesRecursive();
    EXPECT_EQ(seen->GetCount(), 2);
    EXPECT_EQ(a->parent, root);
    EXPECT_EQ(b->parent, root);
    EXPECT_EQ(m.shapes.GetCount(), 2);
}

TEST_F(UnionModel, NothingToUniteLeavesTheUnionOff)
{
    root->Union(-1);
    EXPECT_FALSE(root->isUnionOn());
    EXPECT_EQ(root->getUnionShapes(), nullptr);
    CBooleanSum::CurveList none(10);
    root->createUnion(&none, steel);
    EXPECT_FALSE(root->isUnionOn());
}

TEST(UnionSum, IsPosInteriorOfACurveWithoutPolygonPointsIsTrue)
{
    CBooleanSum sum;
    CCompositeCurve empty;
    EXPECT_TRUE(sum.isPosInterior(&empty));
    auto inner = rectangle(1, 1, 2, 2);
    auto outer = rectangle(0, 0, 4, 4);
    sum.working().AddTail(outer.get());
    sum.working().AddTail(inner.get());
    EXPECT_TRUE(sum.isPosInterior(inner.get()));
    EXPECT_FALSE(sum.isPosInterior(outer.get()));
    sum.removeInterior();
    EXPECT_EQ(sum.working().GetCount(), 1);
    EXPECT_EQ(sum.working().GetHead(), outer.get());
    sum.working().RemoveAll();
}

// Rectangles sharing an edge, whole or in part (their times are rows of
// `make bench`).
TEST_F(UnionModel, RectanglesSharingAnEdgeUnite)
{
    struct Case {
        const char* name;
        std::vector<double> a, b;
        double area;
        bool polylines;
    };
    const std::vector<Case> cases = {
        {"whole edge", {0, 0, 2, 1}, {2, 0, 4, 1}, 4, false},
        {"part of an edge", {0, 0, 2, 1}, {2, 0.5, 3, 2}, 3.5, false},
        {"whole edge, one arc each", {0, 0, 2, 1}, {2, 0, 4, 1}, 4, true},
        {"part of an edge, one arc each", {0, 0, 2, 1}, {2, 0.5, 3, 2}, 3.5, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        CXSectionAnalysis model;
        CSubSection* sub = model.rootSubSection();
        for (const auto& r : {k.a, k.b}) {
            auto outline = k.polylines ? polylineRectangle(r[0], r[1], r[2], r[3]) : rectangle(r[0], r[1], r[2], r[3]);
            auto* s = new CShapeAnalysis(outline.release());
            s->material(steel);
            model.addShapeToLists(sub, s);
        }
        sub->Union(-1);
        ASSERT_NE(sub->getUnionShapes(), nullptr);
        ASSERT_EQ(sub->getUnionShapes()->GetCount(), 1);
        const CCompositeCurve* c = sub->getUnionShapes()->GetHead()->boundary;
        EXPECT_NEAR(std::fabs(polygonMoments(c).area), k.area, 1e-9);
    }
}
