// The boolean union's inputs: ownership, identical and disjoint curves,
// small curves, the inside tests and the bookkeeping of passes.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "test_union_support.h"
#include "analysis/tests/TestSupport.h"

using namespace union_test;

namespace {

std::vector<CCompositeCurve*> listed(const CBooleanSum::CurveList& list)
{
    std::vector<CCompositeCurve*> out;
    POSITION pos = list.GetHeadPosition();
    while (pos)
        out.push_back(list.GetNext(pos));
    return out;
}

} // namespace

TEST(UnionInputs, SolidsGoToTheHeadHolesToTheTailEachOnce)
{
    CBooleanSum sum;
    CCompositeCurve* a = signedCurve(rectangle(0, 0, 1, 1), 1);
    CCompositeCurve* hole = signedCurve(rectangle(0.2, 0.2, 0.4, 0.4), -1);
    CCompositeCurve* b = signedCurve(rectangle(2, 0, 3, 1), 1);
    sum.appendCurve(a);
    sum.appendCurve(hole);
    sum.appendCurve(b);
    sum.appendCurve(a);
    sum.appendCurve(nullptr);
    EXPECT_EQ(listed(sum.inputs()), (std::vector<CCompositeCurve*>{b, a, hole}));
    EXPECT_EQ(sum.nNegatives(&sum.inputs()), 1);
    EXPECT_EQ(sum.nNegatives(nullptr), 0);

    sum.load(&sum.inputs());
    ASSERT_EQ(sum.nCurves(), 3);
    EXPECT_NE(sum.working().GetHead(), b);
    EXPECT_TRUE(*sum.working().GetHead() == *b);
    sum.deleteCurvePolygons();
    EXPECT_EQ(sum.nCurves(), 0);
}

TEST(UnionInputs, HandedOverResultsBelongToTheCaller)
{
    std::unique_ptr<CBooleanSum::CurveList> mine;
    {
        CBooleanSum sum;
        sum.results().AddTail(new CCompositeCurve(*rectangle(0, 0, 1, 1)));
        EXPECT_EQ(sum.getCurves(false)->GetCount(), 1);
        mine.reset(sum.getCurves(true));
        EXPECT_TRUE(sum.getCurves(false)->IsEmpty());
    }
    ASSERT_EQ(mine->GetCount(), 1);
    delete mine->RemoveHead();
}

TEST(UnionInputs, RemoveIdenticalKeepsOneOfAKindAndCancelsASolidWithItsHole)
{
    struct Case {
        int first, second;
        int left;
    };
    for (const Case& k : {Case{1, 1, 1}, Case{-1, -1, 1}, Case{1, -1, 0}}) {
        SCOPED_TRACE(testing::Message() << k.first << " " << k.second);
        CBooleanSum sum;
        CCompositeCurve* a = signedCurve(rectangle(0, 0, 1, 1), k.first);
        CCompositeCurve* b = signedCurve(rectangle(0, 0, 1, 1), k.second);
        CCompositeCurve* other = signedCurve(rectangle(5, 5, 6, 6), 1);
        sum.appendCurve(a);
        sum.appendCurve(b);
        sum.appendCurve(other);
        for (CCompositeCurve* c : {a, b}) {
            if (c->isNegative())
                sum.addGivenHole(c);
        }
        sum.removeIdentical();
        EXPECT_EQ(sum.inputs().GetCount(), k.left + 1);
        EXPECT_EQ(sum.givenHoles().GetCount(), k.first + k.second == -2 ? 1 : 0);
        // Reads every given hole: a deleted one must be gone from the list.
        EXPECT_EQ(sum.isInsideNegative(P(0.5, 0.5)), k.first + k.second == -2);
    }
}

TEST(UnionInputs, RemoveDisjointCurvesKeepsWhatTheUnionNeeds)
{
    struct Case {
        const char* name;
        std::vector<std::pair<std::vector<double>, int>> curves;  // rectangle, sign
        bool negativeRouting;
        int inputs;   // left among the inputs
        int scratch;  // kept aside for the results
    };
    const std::vector<Case> cases = {
        {"two disjoint solids", {{{0, 0, 1, 1}, 1}, {{2, 0, 3, 1}, 1}}, false, 0, 2},
        {"a solid inside a solid", {{{0, 0, 4, 4}, 1}, {{1, 1, 2, 2}, 1}}, false, 1, 0},
        {"a hole inside a solid", {{{0, 0, 4, 4}, 1}, {{1, 1, 2, 2}, -1}}, false, 1, 1},
        {"a hole in nothing", {{{0, 0, 1, 1}, 1}, {{2, 0, 3, 1}, -1}}, false, 0, 1},
        {"a hole in nothing, routing holes", {{{0, 0, 1, 1}, 1}, {{2, 0, 3, 1}, -1}}, true, 0, 2},
        {"crossing solids", {{{0, 0, 2, 2}, 1}, {{1, 1, 3, 3}, 1}}, false, 2, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        CBooleanSum sum;
        sum.setNegativeRouting(k.negativeRouting);
        for (const auto& [r, sign] : k.curves)
            sum.appendCurve(signedCurve(rectangle(r[0], r[1], r[2], r[3]), sign));
        sum.removeDisjointCurves();
        EXPECT_EQ(sum.inputs().GetCount(), k.inputs);
        EXPECT_EQ(sum.scratch().GetCount(), k.scratch);
    }
}

TEST(UnionInputs, SmallCurves)
{
    CBooleanSum sum;
    EXPECT_EQ(test_support::thrownText([&] { sum.too_small(nullptr); }), "Null Curve");
    auto backwards = rectangle(0, 0, 1, 1);
    backwards->endParameter(-1.0);
    EXPECT_EQ(test_support::thrownText([&] { sum.too_small(backwards.get()); }), " Bad parameterization\n");
    EXPECT_TRUE(sum.too_small(rectangle(0, 0, 0.002, 0.001).get()));  // span 0.006
    EXPECT_FALSE(sum.too_small(rectangle(0, 0, 0.003, 0.002).get()));  // span 0.01

    auto tiny = rectangle(0, 0, 0.00002, 0.00002);  // span 8e-5
    auto small = rectangle(0, 0, 0.0001, 0.0001);
    sum.working().AddTail(tiny.get());
    sum.working().AddTail(small.get());
    sum.removeTiny();
    EXPECT_EQ(listed(sum.working()), (std::vector<CCompositeCurve*>{small.get()}));
    sum.working().RemoveAll();
}

TEST(UnionInputs, InsideTests)
{
    CBooleanSum sum;
    auto outer = rectangle(0, 0, 4, 4);
    auto hole = rectangle(1, 1, 2, 2);
    hole->sign(-1);
    auto marked = rectangle(2.5, 2.5, 3.5, 3.5);
    marked->mark(true);
    auto island = rectangle(3, 3, 3.2, 3.2);
    CBooleanSum::CurveList list(10);
    for (CCompositeCurve* c : {outer.get(), hole.get(), marked.get()})
        list.AddTail(c);
    sum.working().AddTail(outer.get());
    sum.addGivenHole(hole.get());

    EXPECT_TRUE(sum.isContainer(outer.get(), &list));
    EXPECT_FALSE(sum.isContainer(hole.get(), &list));
    EXPECT_TRUE(sum.isInsidePositive(&list, hole.get()));
    EXPECT_FALSE(sum.isInsidePositive(&list, outer.get()));
    EXPECT_FALSE(sum.isInsideNegative(&list, island.get()));
    EXPECT_TRUE(sum.isInsidePositive(P(3, 1)));
    EXPECT_FALSE(sum.isInsidePositive(P(3, 1), outer.get()));
    EXPECT_FALSE(sum.isInsidePositive(P(4, 1)));  // on the edge is not inside
    EXPECT_TRUE(sum.isInsideNegative(P(1.5, 1.5)));
    EXPECT_EQ(sum.isOnNegative(P(1.5, 1)), hole.get());
    EXPECT_EQ(sum.isOnNegative(P(1.5, 1.5)), nullptr);
    EXPECT_TRUE(sum.isInsideGeneratedNegative(&list, island.get()));
    EXPECT_FALSE(sum.isInsideGeneratedNegative(&list, hole.get()));
    EXPECT_TRUE(sum.isFirstIn(island.get(), &list));
    EXPECT_FALSE(sum.isFirstIn(rectangle(1.2, 1.2, 1.4, 1.4).get(), &list));  // the hole claims it
    EXPECT_FALSE(sum.isFirstIn(island.get(), nullptr));

    const Pt inHole = P(1.5, 1.5);
    EXPECT_TRUE(sum.insideOrOnAll(&inHole, nullptr));
    CBooleanSum::CurveList none(10);
    EXPECT_TRUE(sum.insideOrOnAll(&inHole, &none));
    EXPECT_FALSE(sum.insideOrOnAll(&inHole, &list));
    none.AddTail(outer.get());
    none.AddTail(hole.get());
    EXPECT_TRUE(sum.insideOrOnAll(&inHole, &none));
    EXPECT_FALSE(sum.inside_one(hole.get(), &inHole));
    EXPECT_TRUE(sum.inside_one(outer.get(), &inHole));
    sum.working().RemoveAll();
    sum.givenHoles().RemoveAll();
}

TEST(UnionInputs, IntersectionAndTraversalBookkeeping)
{
    CBooleanSum sum;
    CIntersection bare;
    EXPECT_TRUE(sum.isAllPositive(&bare));
    EXPECT_TRUE(sum.isAllNegative(&bare));
    auto solid = rectangle(0, 0, 1, 1);
    auto hole = rectangle(0, 0, 1, 1);
    hole->sign(-1);
    CIntersection mixed;
    mixed.add(solid.get(), 0.0);
    EXPECT_TRUE(sum.isAllPositive(&mixed));
    EXPECT_FALSE(sum.isAllNegative(&mixed));
    mixed.add(hole.get(), 0.0);
    EXPECT_FALSE(sum.isAllPositive(&mixed));

    CCompositeCurve* a = signedCurve(rectangle(0, 0, 1, 1), 1);
    CCompositeCurve* h = signedCurve(rectangle(0.2, 0.2, 0.4, 0.4), -1);
    sum.appendCurve(a);
    sum.appendCurve(h);
    a->traversed(true);
    EXPECT_TRUE(sum.allPositivesTraversed());
    EXPECT_FALSE(sum.allNegativesTraversed());
    h->traversed(true);
    EXPECT_TRUE(sum.allNegativesTraversed());
    sum.clearTraverses();
    EXPECT_FALSE(a->isTraversed() || h->isTraversed());

    CIntersection* x = addCrossing(sum, a, 1.0);
    x->visited = true;
    sum.clearIntersectionTraversals();
    EXPECT_FALSE(x->visited);
    sum.removeIntersection(x);
    EXPECT_TRUE(sum.intersections()->IsEmpty());
    delete x;
}
