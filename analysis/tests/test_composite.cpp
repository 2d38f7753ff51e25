// Composite curves: the chain and its running parameter, joins, queries,
// copies and the archive record.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/tests/test_composite_support.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/core/Exceptions.h"

using namespace composite_test;

namespace {

// The text of the wide-string exception thrown by fn, or L"" when none is.
template <class F>
std::wstring wideThrown(F fn)
{
    try {
        fn();
    } catch (const wchar_t* text) {
        return text;
    }
    return L"";
}

std::vector<double> offsets(const CCompositeCurve& c)
{
    std::vector<double> out;
    for (POSITION pos = c.arcs().GetHeadPosition(); pos;)
        out.push_back(c.arcs().GetNext(pos)->globalOffset());
    return out;
}

} // namespace

TEST(CompositeCurve, UnitSquareInBothDirections)
{
    for (bool clockwise : {false, true}) {
        SCOPED_TRACE(clockwise ? "clockwise" : "counter-clockwise");
        auto sq = unitSquare(clockwise);
        EXPECT_TRUE(sq->isClosed());
        EXPECT_FALSE(sq->isOpen());
        EXPECT_EQ(sq->nArcs(), 4);
        EXPECT_DOUBLE_EQ(sq->startParameter(), 0.0);
        EXPECT_DOUBLE_EQ(sq->endParameter(), 4.0);
        EXPECT_EQ(offsets(*sq), (std::vector<double>{0, 1, 2, 3}));
        EXPECT_NEAR(sq->area(), clockwise ? -1.0 : 1.0, 1e-12);
        EXPECT_NEAR(sq->arclength(), 4.0, 1e-12);
        EXPECT_TRUE(sq->inside(P(0.5, 0.5)));
        EXPECT_FALSE(sq->inside(P(1, 0.5)));
        EXPECT_TRUE(sq->insideOrOn(P(1, 0.5)));
        EXPECT_TRUE(sq->on(P(1, 0.5)));
        EXPECT_FALSE(sq->insideNotOn(P(1, 0.5)));
        EXPECT_FALSE(sq->inside(P(2, 0.5)));
        EXPECT_FALSE(sq->insideOrOn(P(2, 0.5)));
        // Four straight arcs of two control points each.
        double chord = -1.0;
        EXPECT_EQ(sq->estimatePolygonPtCount(0.01, &chord), 8);
    }
}

TEST(CompositeCurve, ReverseKeepsStartParameterAndFlipsArea)
{
    auto sq = unitSquare();
    sq->reverse();
    EXPECT_NEAR(sq->area(), -1.0, 1e-12);
    EXPECT_DOUBLE_EQ(sq->endParameter(), 4.0);
    EXPECT_TRUE(sq->isClosed());

    auto open = std::make_unique<CCompositeCurve>();
    open->startParameter(1.0);
    open->addArc(line(P(0, 0), P(1, 0)));
    open->addArc(line(P(1, 0), P(1, 2)));
    open->reverse();
    expectPoint(open->startPoint(), P(1, 2), 0.0);
    expectPoint(open->endPoint(), P(0, 0), 0.0);
    EXPECT_DOUBLE_EQ(open->startParameter(), 1.0);
    EXPECT_DOUBLE_EQ(open->endParameter(), 4.0);
    EXPECT_EQ(offsets(*open), (std::vector<double>{1, 3}));
    expectPoint(open->eval(2.0), P(1, 1), 1e-12);
}

TEST(CompositeCurve, AddArcJoinsAtTailReversedOrAtHead)
{
    // An arc whose end meets the tail is reversed and appended.
    auto c = std::make_unique<CCompositeCurve>();
    c->addArc(line(P(0, 0), P(1, 0)));
    c->addArc(line(P(1, 1), P(1, 0)));
    ASSERT_EQ(c->nArcs(), 2);
    const Bspline* tail = c->arcs().GetTail();
    expectPoint(tail->startPoint(), P(1, 0), 0.0);
    expectPoint(tail->endPoint(), P(1, 1), 0.0);
    EXPECT_DOUBLE_EQ(tail->globalOffset(), 1.0);
    EXPECT_DOUBLE_EQ(c->endParameter(), 2.0);

    // An arc whose end lies within 0.001 of the head goes in front; the
    // offsets are recomputed and the old head is joined to it.
    auto h = std::make_unique<CCompositeCurve>();
    h->startParameter(2.0);
    h->addArc(line(P(0, 0), P(1, 0)));
    Bspline* front = line(P(0, 1), P(0.0005, 0));
    h->addArc(front);
    ASSERT_EQ(h->nArcs(), 2);
    EXPECT_EQ(h->arcs().GetHead(), front);
    expectPoint(h->startPoint(), P(0, 1), 0.0);
    const double L = front->parmLength();
    EXPECT_EQ(offsets(*h), (std::vector<double>{2.0, 2.0 + L}));
    EXPECT_DOUBLE_EQ(h->endParameter(), 2.0 + L + 1.0);
    expectPoint(h->arcs().GetTail()->startPoint(), P(0.0005, 0), 0.0);
}

TEST(CompositeCurve, AddArcRefusesAGapAndKeepsTheChain)
{
    auto c = std::make_unique<CCompositeCurve>();
    c->addArc(line(P(0, 0), P(1, 0)));
    std::unique_ptr<Bspline> apart(line(P(1.01, 0), P(2, 0)));
    EXPECT_EQ(wideThrown([&] { c->addArc(apart.get()); }), L"Composite curve not contiguous");
    EXPECT_EQ(c->nArcs(), 1);
    EXPECT_DOUBLE_EQ(c->endParameter(), 1.0);

    // addSegment stops at the first arc that does not join.
    auto other = polyline({P(5, 5), P(6, 5)}, false);
    EXPECT_EQ(wideThrown([&] { c->addSegment(other.get()); }), L"Composite curve not contiguous");
    EXPECT_EQ(c->nArcs(), 1);
    EXPECT_EQ(other->nArcs(), 1);
}

TEST(CompositeCurve, SmallGapIsNeitherClosedNorOpen)
{
    auto c = polyline({P(0, 0), P(1, 0), P(1, 1), P(0, 1), P(0, 5e-6)}, false);
    EXPECT_FALSE(c->isClosed());
    EXPECT_FALSE(c->isOpen());
    auto wide = polyline({P(0, 0), P(1, 0), P(1, 1), P(0, 1), P(0, 2e-5)}, false);
    EXPECT_TRUE(wide->isOpen());
}

TEST(CompositeCurve, PolygonOfAnOpenChainIsClosed)
{
    auto c = polyline({P(0, 0), P(1, 0), P(1, 1)}, false);
    c->polygon(false, 0.001, -1.0);
    const CArray<Point<double>>& poly = c->polygonPoints();
    ASSERT_EQ(poly.GetSize(), 4);
    expectPoint(poly[0], P(0, 0), 0.0);
    expectPoint(poly[1], P(1, 0), 0.0);
    expectPoint(poly[2], P(1, 1), 0.0);
    expectPoint(poly[3], P(0, 0), 0.0);
    expectPoint(c->avgPoints(), P(0.5, 0.25), 1e-15);
    // A new arc empties the cache.
    c->addArc(line(P(1, 1), P(0, 1)));
    EXPECT_EQ(c->polygonPoints().GetSize(), 0);
}

TEST(CompositeCurve, EvalSnapsToTheEndsAndFindsTheArc)
{
    auto sq = unitSquare();
    const Point<double> end = sq->eval(4.0 - 5e-6);
    EXPECT_EQ(end.x, 0.0);
    EXPECT_EQ(end.y, 0.0);
    expectPoint(sq->eval(2.5), P(0.5, 1), 1e-15);
    expectPoint(sq->eval(1.0), P(1, 0), 1e-15);
    expectPoint(sq->eval(5.0), P(0, 0), 0.0);
    // No arc holds the parameter: the origin, not the nearer end.
    expectPoint(rectangle(2, 2, 3, 3)->eval(5.0), P(0, 0), 0.0);
    double t = -1.0;
    EXPECT_TRUE(sq->getParm(P(0.25, 1), &t));
    EXPECT_NEAR(t, 2.75, 1e-12);
}

TEST(CompositeCurve, CleanupWrapsWhenTheLastArcIsDegenerate)
{
    auto c = polyline({P(0, 0), P(1, 0), P(1, 1), P(0, 1), P(0, 0.0005)}, true);
    ASSERT_EQ(c->nArcs(), 5);
    c->cleanup();
    ASSERT_EQ(c->nArcs(), 4);
    // The first arc now begins where the arc before the removed one ended.
    expectPoint(c->startPoint(), P(0, 0.0005), 0.0);
    expectPoint(c->endPoint(), P(0, 0.0005), 0.0);
    EXPECT_TRUE(c->isClosed());

    // A degenerate arc in the middle: its successor starts at its predecessor's end.
    auto m = polyline({P(0, 0), P(1, 0), P(1, 0.0004), P(1, 1), P(0, 1)}, true);
    m->cleanup();
    ASSERT_EQ(m->nArcs(), 4);
    POSITION pos = m->arcs().GetHeadPosition();
    m->arcs().GetNext(pos);
    expectPoint(m->arcs().GetNext(pos)->startPoint(), P(1, 0), 0.0);
}

TEST(CompositeCurve, CopiesAreDeep)
{
    int owner = 0;
    auto a = unitSquare();
    a->sign(-1);
    a->tag(3);
    a->mark(true);
    a->owner(&owner);
    a->name(CString("outline"));

    CCompositeCurve copy(*a);
    EXPECT_TRUE(copy.isDuplicate(*a));
    EXPECT_EQ(copy.owner(), &owner);
    EXPECT_EQ(copy.name(), CString(""));

    auto b = rectangle(0, 0, 2, 3);
    b->name(CString("kept"));
    b->traversed(true);
    *b = *a;
    EXPECT_TRUE(b->isDuplicate(*a));
    EXPECT_EQ(b->owner(), &owner);
    EXPECT_EQ(b->name(), CString("kept"));
    EXPECT_TRUE(b->isTraversed());
    *b = *b;
    EXPECT_TRUE(b->isDuplicate(*a));

    a->translate(P(5, 5));
    expectPoint(b->startPoint(), P(0, 0), 0.0);
    expectPoint(copy.startPoint(), P(0, 0), 0.0);
    EXPECT_FALSE(*b == *a);
}

TEST(CompositeCurve, ArchiveRoundTripRecomputesTheOffsets)
{
    auto c = std::make_unique<CCompositeCurve>();
    c->startParameter(2.5);
    c->addArc(line(P(0, 0), P(1, 0)));
    c->addArc(line(P(1, 0), P(1, 1)));
    c->addArc(line(P(1, 1), P(0, 1)));
    c->addArc(line(P(0, 1), P(0, 0)));
    c->sign(-1);
    c->tag(7);
    c->mark(true);
    // Stored values that loading must not trust.
    c->endParameter(99.0);
    c->arcsMutable().GetHead()->setGlobal(42.0);

    CMemFile f;
    {
        CArchive ar(&f, CArchive::store);
        ar.WriteObject(c.get());
        ar.Close();
    }
    const std::vector<BYTE> bytes = f.GetBytes();
    // New-class tag, schema 1, the class name, then sign, start and end
    // parameter, tag and arc count.
    const std::string name = "CCompositeCurve";
    std::vector<BYTE> head = {0xFF, 0xFF, 0x01, 0x00, static_cast<BYTE>(name.size()), 0x00};
    head.insert(head.end(), name.begin(), name.end());
    const BYTE fields[] = {0xFF, 0xFF, 0xFF, 0xFF,                         // sign -1
                           0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x40, // 2.5
                           0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x58, 0x40, // 99.0
                           0x07, 0x00,                                     // tag 7
                           0x04, 0x00, 0x00, 0x00};                        // 4 arcs
    head.insert(head.end(), std::begin(fields), std::end(fields));
    ASSERT_GT(bytes.size(), head.size());
    EXPECT_EQ(std::vector<BYTE>(bytes.begin(), bytes.begin() + head.size()), head);
    EXPECT_EQ(bytes.back(), 0x01); // the mark flag closes the record

    f.SeekToBegin();
    CArchive ar(&f, CArchive::load);
    CCompositeCurve* read = nullptr;
    ar >> read;
    ASSERT_NE(read, nullptr);
    std::unique_ptr<CCompositeCurve> owned(read);
    EXPECT_EQ(read->sign(), -1);
    EXPECT_EQ(read->tag(), 7);
    EXPECT_TRUE(read->mark());
    EXPECT_DOUBLE_EQ(read->startParameter(), 2.5);
    EXPECT_DOUBLE_EQ(read->endParameter(), 6.5);
    EXPECT_EQ(offsets(*read), (std::vector<double>{2.5, 3.5, 4.5, 5.5}));
    ASSERT_EQ(read->nArcs(), 4);
    POSITION a = c->arcs().GetHeadPosition();
    POSITION b = read->arcs().GetHeadPosition();
    while (a && b) {
        const Bspline* x = c->arcs().GetNext(a);
        const Bspline* y = read->arcs().GetNext(b);
        expectPoint(y->startPoint(), x->startPoint(), 0.0);
        expectPoint(y->endPoint(), x->endPoint(), 0.0);
    }
    EXPECT_NEAR(read->area(), 1.0, 1e-12);
}

TEST(CompositeCurve, RegisteredByName)
{
    CRuntimeClass* cls = CRuntimeClass::FromName("CCompositeCurve");
    ASSERT_NE(cls, nullptr);
    EXPECT_EQ(cls, RUNTIME_CLASS(CCompositeCurve));
    EXPECT_EQ(cls->Schema(), 1u);
}

TEST(CompositeCurve, ReplaceArcSplicesTwoPieces)
{
    auto sq = unitSquare();
    POSITION second = sq->arcs().FindIndex(1);
    Bspline* old = sq->arcs().GetAt(second);
    sq->replaceArc(old, line(P(1, 0), P(1, 0.25)), line(P(1, 0.25), P(1, 1)));
    ASSERT_EQ(sq->nArcs(), 5);
    EXPECT_EQ(offsets(*sq), (std::vector<double>{0, 1, 1.25, 2, 3}));
    EXPECT_DOUBLE_EQ(sq->endParameter(), 4.0);
    EXPECT_NEAR(sq->area(), 1.0, 1e-12);

    // An arc that is not in the chain changes nothing.
    std::unique_ptr<Bspline> stranger(line(P(0, 0), P(1, 0)));
    EXPECT_THROW(sq->replaceArc(stranger.get(), nullptr, nullptr), CInvalidArgException);
    EXPECT_EQ(sq->nArcs(), 5);
}

TEST(CompositeCurve, LookupsOfArcsAndControlPoints)
{
    auto sq = unitSquare();
    const Bspline* top = sq->arcs().GetAt(sq->arcs().FindIndex(2)); // (1,1) -> (0,1)
    EXPECT_EQ(sq->findArc(0, 1, 1, 1, 1e-3), top);
    EXPECT_EQ(sq->findArc(0, 1, 1, 1.002, 1e-3), nullptr);
    // The first straight arc with an end at x = 1: the bottom edge.
    EXPECT_EQ(sq->findCoordCpt(1, 7, 1e-3), sq->arcs().GetHead());
    EXPECT_EQ(sq->findCoordCpt(7, 7, 1e-3), nullptr);

    Point<double>* near = sq->closest(P(0.9, 1.2));
    ASSERT_NE(near, nullptr);
    expectPoint(*near, P(1, 1), 0.0);
    // The pointer reaches into the arc: writing through it moves the point.
    near->y = 1.5;
    expectPoint(sq->arcs().GetAt(sq->arcs().FindIndex(1))->endPoint(), P(1, 1.5), 0.0);

    std::unique_ptr<CList<Point<double>*>> pts(sq->controlPoints());
    EXPECT_EQ(pts->GetCount(), 8);
    EXPECT_EQ(CCompositeCurve().closest(P(0, 0)), nullptr);
}
