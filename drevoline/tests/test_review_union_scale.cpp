// Unions of sections of ordinary millimetre size (which the union now scales
// down to a few units), of small shapes far from the origin and of mixed
// sizes: areas and centroids against closed forms, the shapes given left as
// they were, the union shapes stored and loaded at their own size, and the
// area check accepting every union that is legitimately thin or touching.
#include <numbers>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CMetal.h"
#include "analysis/tests/TestSupport.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "test_union_support.h"

using namespace union_test;

namespace {


struct Net {
    double area = 0, cx = 0, cy = 0;
    int shapes = 0;
};

// Material area (holes negative whichever way they run) and centroid of a
// list of shapes.
Net netOf(ShapeList* list)
{
    Net n;
    if (list == nullptr)
        return n;
    double sx = 0, sy = 0;
    POSITION pos = list->GetHeadPosition();
    while (pos) {
        CShapeAnalysis* u = list->GetNext(pos);
        u->areaProperties();
        const double a = (u->boundary->isNegative() ? -1 : 1) * std::fabs(u->m_area);
        n.area += a;
        sx += a * u->centroidA.x;
        sy += a * u->centroidA.y;
        ++n.shapes;
    }
    if (n.area != 0) {
        n.cx = sx / n.area;
        n.cy = sy / n.area;
    }
    return n;
}

// Box of every control point of the shapes.
void controlBox(ShapeList* list, double lo[2], double hi[2])
{
    lo[0] = lo[1] = HUGE_VAL;
    hi[0] = hi[1] = -HUGE_VAL;
    POSITION pos = list->GetHeadPosition();
    while (pos) {
        const CCompositeCurve* c = list->GetNext(pos)->boundary;
        POSITION at = c->arcs().GetHeadPosition();
        while (at)
            for (const Point<double>& p : c->arcs().GetNext(at)->controlPoints()) {
                lo[0] = std::min(lo[0], p.x), hi[0] = std::max(hi[0], p.x);
                lo[1] = std::min(lo[1], p.y), hi[1] = std::max(hi[1], p.y);
            }
    }
}

struct ReviewUnion : ::testing::Test {
    CXSectionAnalysis m;
    CSubSection* root = m.rootSubSection();
    std::shared_ptr<CMetal> steel = std::make_shared<CMetal>();
    int count = 0;

    ReviewUnion() { steel->name = L"steel"; }

    CShapeAnalysis* add(std::unique_ptr<CCompositeCurve> outline, int sign = 1)
    {
        if (sign < 0)
            outline->reverse();  // holes run clockwise, as the shapes make them
        outline->sign(sign);
        auto* s = new CShapeAnalysis(outline.release());
        CString name;
        name.Format(L"s%d", ++count);
        s->name(name);
        s->kind = qhtShapeRectangle;
        if (sign > 0)
            s->material(steel);
        m.addShapeToLists(root, s);
        return s;
    }
    CShapeAnalysis* rect(double x0, double y0, double x1, double y1, int sign = 1)
    {
        return add(rectangle(x0, y0, x1, y1), sign);
    }
    Net unite(int maxCircuits = -1)
    {
        root->Union(maxCircuits);
        return netOf(root->getUnionShapes());
    }
};

}  // namespace

// An I-beam 300 deep of three overlapping plates, and the same with the web
// only touching the flanges: the closed-form area and the centroid at the
// middle, at the size given and moved far from the origin.
TEST_F(ReviewUnion, IBeamThreeHundredDeepUnitesToItsClosedForm)
{
    const double b = 150, d = 300, tf = 10.7, tw = 7.1;
    const double area = 2 * b * tf + tw * (d - 2 * tf);
    struct Case {
        double ox, oy;
        bool overlapping;
    };
    for (const Case& k : {Case{0, 0, true}, Case{0, 0, false}, Case{1e6, -1e6, true}, Case{-2500, 400, false}}) {
        SCOPED_TRACE(std::to_string(k.ox) + (k.overlapping ? " overlapping" : " touching"));
        CXSectionAnalysis model;
        CSubSection* sub = model.rootSubSection();
        const auto put = [&](double x0, double y0, double x1, double y1) {
            auto* s = new CShapeAnalysis(rectangle(k.ox + x0, k.oy + y0, k.ox + x1, k.oy + y1).release());
            s->material(steel);
            model.addShapeToLists(sub, s);
        };
        put(0, 0, b, tf);
        put(0, d - tf, b, d);
        if (k.overlapping)
            put((b - tw) / 2, 0, (b + tw) / 2, d);
        else
            put((b - tw) / 2, tf, (b + tw) / 2, d - tf);
        sub->Union(-1);
        const Net n = netOf(sub->getUnionShapes());
        EXPECT_EQ(n.shapes, 1);
        // The property integrals a million out lose about 1e-8 of the area
        // to the products of coordinates (not the union's doing).
        EXPECT_NEAR(n.area, area, 1e-7 * area);
        EXPECT_NEAR(n.cx - k.ox, b / 2, 1e-5);
        EXPECT_NEAR(n.cy - k.oy, d / 2, 1e-5);
    }
}

// A plate 1000 wide with three round holes and a slot: holes are kept at
// their own size and place.
TEST_F(ReviewUnion, PlateAThousandWideKeepsItsHoles)
{
    rect(0, 0, 1000, 400);
    for (double x : {100.0, 500.0, 900.0})
        add(circle(P(x, 200), 12), -1);
    rect(300, 50, 320, 350, -1);
    const double area = 400000 - 3 * std::numbers::pi * 144 - 6000;
    const double qx = 400000 * 500.0 - std::numbers::pi * 144 * 1500 - 6000 * 310.0;
    const Net n = unite();
    EXPECT_NEAR(n.area, area, 1e-7 * area);
    EXPECT_NEAR(n.cx, qx / area, 1e-6);
    EXPECT_NEAR(n.cy, 200, 1e-6);
}

// A frame of four overlapping bars encloses a void the union makes a hole
// of; at the size of a unit, of millimetres and of a thousand millimetres.
TEST_F(ReviewUnion, FrameOfFourBarsAtEverySize)
{
    for (double s : {1.0, 300.0, 2000.0, 1e-3}) {
        SCOPED_TRACE(s);
        CXSectionAnalysis model;
        CSubSection* sub = model.rootSubSection();
        const auto put = [&](double x0, double y0, double x1, double y1) {
            auto* sh = new CShapeAnalysis(rectangle(s * x0, s * y0, s * x1, s * y1).release());
            sh->material(steel);
            model.addShapeToLists(sub, sh);
        };
        put(0, 0, 100, 10);
        put(0, 90, 100, 100);
        put(0, 0, 10, 100);
        put(90, 0, 100, 100);
        sub->Union(-1);
        const Net n = netOf(sub->getUnionShapes());
        EXPECT_NEAR(n.area / (s * s), 3600, 1e-9 * 3600);
        EXPECT_NEAR(n.cx / s, 50, 1e-9);
        EXPECT_NEAR(n.cy / s, 50, 1e-9);
    }
}

// Small shapes far from the origin: a cross of two bars 10 and 0.01 across
// at a million units out.
TEST_F(ReviewUnion, SmallCrossFarFromTheOrigin)
{
    for (double s : {1.0, 1e-3, 30.0}) {
        SCOPED_TRACE(s);
        CXSectionAnalysis model;
        CSubSection* sub = model.rootSubSection();
        const double o = 1e6;
        const auto put = [&](double x0, double y0, double x1, double y1) {
            auto* sh = new CShapeAnalysis(rectangle(o + s * x0, o + s * y0, o + s * x1, o + s * y1).release());
            sh->material(steel);
            model.addShapeToLists(sub, sh);
        };
        put(0, 0, 10, 2);
        put(4, -3, 6, 5);
        try {
            sub->Union(-1);
        } catch (const char* text) {
            ADD_FAILURE() << text;
            continue;
        }
        // The corners, taken relative to the offset (the property integrals
        // a million out cannot resolve a shape a hundredth across).
        ASSERT_NE(sub->getUnionShapes(), nullptr);
        ASSERT_EQ(sub->getUnionShapes()->GetCount(), 1);
        std::vector<Point<double>> pts;
        const CCompositeCurve* u = sub->getUnionShapes()->GetHead()->boundary;
        POSITION at = u->arcs().GetHeadPosition();
        while (at) {
            const Bspline* arc = u->arcs().GetNext(at);
            for (int i = 0; i + 1 < arc->nPts(); ++i)
                pts.push_back(P((arc->cpts(i).x - o) / s, (arc->cpts(i).y - o) / s));
        }
        double a = 0, qx = 0, qy = 0;
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const Point<double>& p = pts[i];
            const Point<double>& q = pts[(i + 1) % pts.size()];
            const double cr = p.x * q.y - q.x * p.y;
            a += cr / 2, qx += (p.x + q.x) * cr / 6, qy += (p.y + q.y) * cr / 6;
        }
        // Corners a million out carry 1e-10 of absolute rounding.
        EXPECT_NEAR(a, 32, 1e-4);
        EXPECT_NEAR(qx / a, 5, 1e-4);
        EXPECT_NEAR(qy / a, 1, 1e-4);
    }
}

// A disc a hundredth across on the edge of a plate a thousand across, and
// another apart from it: the small one is neither lost nor merged away.
TEST_F(ReviewUnion, HundredthDiscOnAThousandPlate)
{
    const double r = 1e-2;
    rect(0, 0, 1000, 1000);
    add(circle(P(1000, 500), r));
    add(circle(P(1100, 500), r));
    root->Union(-1);
    ASSERT_NE(root->getUnionShapes(), nullptr);
    ASSERT_EQ(root->getUnionShapes()->GetCount(), 2);
    double lo[2], hi[2];
    controlBox(root->getUnionShapes(), lo, hi);
    EXPECT_NEAR(hi[0], 1100 + r, 1e-9);
    const CCompositeCurve* first = root->getUnionShapes()->GetHead()->boundary;
    const CCompositeCurve* second = root->getUnionShapes()->GetTail()->boundary;
    const CCompositeCurve* small = std::fabs(first->area()) < std::fabs(second->area()) ? first : second;
    const CCompositeCurve* big = small == first ? second : first;
    EXPECT_NEAR(std::fabs(small->area()), std::numbers::pi * r * r, 1e-7 * std::numbers::pi * r * r);
    // The plate bulges by the half disc at its edge.
    Point<double> bl, bh;
    big->extents(bl, bh);
    EXPECT_NEAR(bh.x, 1000 + r, 1e-9);
}

// The same with a disc a thousandth across: the union works in a frame in
// which its smallest piece is large beside the boolean passes' fixed
// lengths, so the disc is kept, bulging the plate by its half.
TEST_F(ReviewUnion, ThousandthDiscOnAThousandPlate)
{
    const double r = 1e-3;
    rect(0, 0, 1000, 1000);
    add(circle(P(1000, 500), r));
    const Net n = unite();
    ASSERT_NE(root->getUnionShapes(), nullptr);
    ASSERT_EQ(n.shapes, 1);
    Point<double> lo, hi;
    root->getUnionShapes()->GetHead()->boundary->extents(lo, hi);
    EXPECT_NEAR(hi.x, 1000 + r, 1e-9);
    EXPECT_NEAR(lo.x, 0, 1e-9);
    EXPECT_NEAR(hi.y, 1000, 1e-9);
    // The half disc outside the plate (pi r^2 / 2 = 1.57e-6) shows in the area.
    EXPECT_NEAR(n.area, 1e6 + std::numbers::pi * r * r / 2, 1e-7);
}

// Discs from a thousandth down to a hundred-millionth across on the
// plate's edge, and the same apart from it: each union keeps the disc (one
// shape with the plate, reaching to the disc's edge) or is refused; none
// drops it silently nor leaves it overlapping the plate. (The smallest are
// refused: even in the largest frame the passes lose or cannot cut them.
// Discs smaller still lie within the kernel's point tolerance of the
// plate's edge.)
TEST_F(ReviewUnion, SmallDiscsAreKeptOrTheUnionIsRefused)
{
    for (double r : {5e-4, 1e-4, 1e-5, 1e-6, 1e-7, 3e-8, 1e-8}) {
        for (double gap : {0.0, 10.0}) {
            SCOPED_TRACE(testing::Message() << "r " << r << " gap " << gap);
            CXSectionAnalysis model;
            CSubSection* sub = model.rootSubSection();
            std::unique_ptr<CCompositeCurve> outlines[] = {rectangle(0, 0, 1000, 1000), circle(P(1000 + gap, 500), r)};
            for (std::unique_ptr<CCompositeCurve>& outline : outlines) {
                outline->sign(1);
                auto* s = new CShapeAnalysis(outline.release());
                s->material(steel);
                model.addShapeToLists(sub, s);
            }
            try {
                sub->Union(-1);
            } catch (const char* text) {
                EXPECT_STREQ(text, "Union operation failed");
                EXPECT_EQ(sub->getUnionShapes(), nullptr);
                continue;
            }
            ASSERT_NE(sub->getUnionShapes(), nullptr);
            EXPECT_EQ(sub->getUnionShapes()->GetCount(), gap > 0 ? 2 : 1);
            double lo[2], hi[2];
            controlBox(sub->getUnionShapes(), lo, hi);
            EXPECT_NEAR(hi[0], 1000 + gap + r, 1e-9);
        }
    }
}

// The shapes given keep their outlines: the union scales copies only.
TEST_F(ReviewUnion, GivenShapesAreUntouchedByAScaledUnion)
{
    CShapeAnalysis* a = rect(0, 0, 1000, 20);
    CShapeAnalysis* b = add(circle(P(500, 20), 30));
    std::vector<Point<double>> before;
    for (CShapeAnalysis* s : {a, b}) {
        POSITION at = s->boundary->arcs().GetHeadPosition();
        while (at)
            for (const Point<double>& p : s->boundary->arcs().GetNext(at)->controlPoints())
                before.push_back(p);
    }
    const double areaA = a->boundary->area(), areaB = b->boundary->area();
    unite();
    std::vector<Point<double>> after;
    for (CShapeAnalysis* s : {a, b}) {
        POSITION at = s->boundary->arcs().GetHeadPosition();
        while (at)
            for (const Point<double>& p : s->boundary->arcs().GetNext(at)->controlPoints())
                after.push_back(p);
    }
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i].x, before[i].x);
        EXPECT_EQ(after[i].y, before[i].y);
    }
    EXPECT_EQ(a->boundary->area(), areaA);
    EXPECT_EQ(b->boundary->area(), areaB);
    EXPECT_NEAR(areaA, 20000, 1e-9);
    EXPECT_NEAR(std::fabs(areaB), std::numbers::pi * 900, 1e-7 * std::numbers::pi * 900);
}

// The union curves of a scaled union answer their own size at once: the
// area, the inside test and the polygon cache agree with the unscaled
// geometry (no cache kept from the scaled copy).
TEST_F(ReviewUnion, ScaledBackCurvesKeepNoScaledCache)
{
    rect(0, 0, 1000, 20);
    rect(480, 0, 520, 600);
    unite();
    ASSERT_NE(root->getUnionShapes(), nullptr);
    ASSERT_EQ(root->getUnionShapes()->GetCount(), 1);
    CCompositeCurve* u = root->getUnionShapes()->GetHead()->boundary;
    const double area = 20000 + 40 * 580;
    EXPECT_NEAR(std::fabs(u->area()), area, 1e-9 * area);
    EXPECT_TRUE(u->inside(P(500, 500)));
    EXPECT_TRUE(u->inside(P(10, 10)));
    EXPECT_FALSE(u->inside(P(10, 500)));
    for (const Point<double>& p : u->polygonPoints()) {
        EXPECT_GE(p.x, -1e-9);
        EXPECT_LE(p.x, 1000 + 1e-9);
        EXPECT_LE(p.y, 600 + 1e-9);
    }
    Point<double> lo, hi;
    u->extents(lo, hi);
    EXPECT_NEAR(hi.x, 1000, 1e-9);
    EXPECT_NEAR(hi.y, 600, 1e-9);
}

// A union stopped after one pass still hands back curves at their own
// size.
TEST_F(ReviewUnion, PartialUnionIsScaledBack)
{
    rect(0, 0, 1000, 20);
    rect(480, 0, 520, 600);
    rect(0, 580, 1000, 600);
    ASSERT_NO_THROW(root->Union(1));
    ASSERT_NE(root->getUnionShapes(), nullptr);
    double lo[2], hi[2];
    controlBox(root->getUnionShapes(), lo, hi);
    EXPECT_GE(lo[0], -1e-9);
    EXPECT_GE(lo[1], -1e-9);
    EXPECT_LE(hi[0], 1000 + 1e-9);
    EXPECT_LE(hi[1], 600 + 1e-9);
    EXPECT_GT(hi[0], 900);  // not left at the scaled size (1000 / 64)
}

// A scaled union stored and loaded (as the snapshot undo does) comes back
// at its own size.
TEST_F(ReviewUnion, StoredAndLoadedAtItsOwnSize)
{
    m.materials.AddTail(steel);
    rect(0, 0, 150, 10.7);
    rect(0, 289.3, 150, 300);
    rect(71.45, 0, 78.55, 300);
    const Net before = unite();
    const test_support::Bytes bytes = test_support::stored([&](CArchive& ar) { m.write(ar); });
    CXSectionAnalysis loaded;
    loaded.materials.AddTail(steel);
    test_support::loaded(bytes, [&](CArchive& ar) { loaded.read(ar); });
    CSubSection* lroot = loaded.rootSubSection();
    ASSERT_NE(lroot, nullptr);
    const Net after = netOf(lroot->getUnionShapes());
    EXPECT_EQ(after.shapes, before.shapes);
    const double area = 2 * 150 * 10.7 + 7.1 * (300 - 21.4);
    EXPECT_NEAR(after.area, area, 1e-9 * area);
    EXPECT_NEAR(after.cx, 75, 1e-6);
    EXPECT_NEAR(after.cy, 150, 1e-6);
}

// The area check accepts what is legitimately thin or touching: bars that
// share an edge, overlap by a thousandth or meet at a corner, a sliver a thousandth
// thick, and a hole exactly filling its solid.
TEST_F(ReviewUnion, ThinTouchingAndFilledUnionsAreNotRefused)
{
    struct Case {
        const char* what;
        double a[4], b[4];
        int bSign;
        double area;
    };
    const Case cases[] = {
        {"shared edge", {0, 0, 300, 10}, {0, 10, 300, 20}, 1, 6000},
        {"thousandth overlap", {0, 0, 300, 10}, {0, 9.999, 300, 20}, 1, 6000},
        {"corner", {0, 0, 300, 10}, {300, 10, 600, 20}, 1, 6000},
        {"sliver", {0, 0, 300, 10}, {0, 10, 300, 10.001}, 1, 3000.3},
        {"sliver 0.01", {0, 0, 300, 10}, {0, 10, 300, 10.01}, 1, 3003},
        {"sliver apart", {0, 0, 300, 10}, {0, 20, 300, 20.001}, 1, 3000.3},
        {"filled hole", {0, 0, 300, 10}, {0, 0, 300, 10}, -1, 0},
        {"small filled hole", {0, 0, 0.5, 0.25}, {0, 0, 0.5, 0.25}, -1, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        CXSectionAnalysis model;
        CSubSection* sub = model.rootSubSection();
        auto* a = new CShapeAnalysis(rectangle(k.a[0], k.a[1], k.a[2], k.a[3]).release());
        a->material(steel);
        model.addShapeToLists(sub, a);
        auto outline = rectangle(k.b[0], k.b[1], k.b[2], k.b[3]);
        if (k.bSign < 0)
            outline->reverse();
        outline->sign(k.bSign);
        auto* b = new CShapeAnalysis(outline.release());
        if (k.bSign > 0)
            b->material(steel);
        model.addShapeToLists(sub, b);
        try {
            sub->Union(-1);
        } catch (const char* text) {
            ADD_FAILURE() << text;
            continue;
        }
        const Net n = netOf(sub->getUnionShapes());
        EXPECT_NEAR(n.area, k.area, 1e-9 * 6000);
    }
}
