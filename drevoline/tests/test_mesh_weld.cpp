// Weld boxes: limits, transforms and the file record.
#include <gtest/gtest.h>

#include <cstring>

#include "analysis/tests/TestSupport.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/CWeld.h"

using test_support::Bytes;

namespace {

CVertex vertexAt(double x, double y)
{
    CVertex v;
    v.x = x;
    v.y = y;
    return v;
}

void appendDouble(Bytes& b, double d)
{
    BYTE raw[8];
    std::memcpy(raw, &d, 8);
    b.insert(b.end(), raw, raw + 8);
}

// The framework's wide string form of an ASCII text under 255 characters.
void appendText(Bytes& b, const char* text)
{
    const std::size_t n = std::strlen(text);
    b.insert(b.end(), {0xFF, 0xFE, 0xFF, static_cast<BYTE>(n)});
    for (std::size_t i = 0; i < n; ++i)
        b.insert(b.end(), {static_cast<BYTE>(text[i]), 0x00});
}

}  // namespace

TEST(MeshWeld, BoxDoesNotDependOnCornerOrderAndHoldsItsBorder)
{
    const Point<double> corners[4][2] = {{{0, 0, 0}, {2, 1, 0}},
                                         {{2, 1, 0}, {0, 0, 0}},
                                         {{0, 1, 0}, {2, 0, 0}},
                                         {{2, 0, 0}, {0, 1, 0}}};
    for (const auto& c : corners) {
        CWeld w(CString("w"));
        w.pt1 = c[0];
        w.pt2 = c[1];
        w.limits();
        EXPECT_EQ(w.xmin, 0.0);
        EXPECT_EQ(w.xmax, 2.0);
        EXPECT_EQ(w.ymin, 0.0);
        EXPECT_EQ(w.ymax, 1.0);
        const CVertex border = vertexAt(2.0, 0.5), corner = vertexAt(0.0, 0.0), out = vertexAt(2.0, 1.0000001);
        EXPECT_TRUE(w.inBox(&border));
        EXPECT_TRUE(w.inBox(&corner));
        EXPECT_FALSE(w.inBox(&out));
    }
    CWeld point;
    point.pt1 = point.pt2 = Point<double>(1, 1, 0);
    point.limits();
    const CVertex same = vertexAt(1, 1), beside = vertexAt(1, 1.0 + 1e-12);
    EXPECT_TRUE(point.inBox(&same));
    EXPECT_FALSE(point.inBox(&beside));
}

TEST(MeshWeld, TransformsMoveTheCornersOnly)
{
    CWeld w;
    EXPECT_EQ(w.curve1, nullptr);
    EXPECT_FALSE(w.applied);
    w.pt1 = Point<double>(1, 0, 5);
    w.pt2 = Point<double>(2, 1, 5);
    w.limits();
    Point<double> shift(1, 2, 3);
    w.translate(&shift);
    EXPECT_EQ(w.pt1.x, 2.0);
    EXPECT_EQ(w.pt1.y, 2.0);
    EXPECT_EQ(w.pt1.z, 8.0);
    EXPECT_EQ(w.xmax, 2.0);  // the box waits for limits()
    const CVertex old = vertexAt(1.5, 0.5);
    EXPECT_TRUE(w.inBox(&old));

    Point<double> centre(0, 0, 0);
    w.rotate(&centre, 90.0);
    EXPECT_NEAR(w.pt1.x, -2.0, 1e-12);
    EXPECT_NEAR(w.pt1.y, 2.0, 1e-12);
    EXPECT_EQ(w.pt1.z, 8.0);
    EXPECT_NEAR(w.pt2.x, -3.0, 1e-12);
    EXPECT_NEAR(w.pt2.y, 3.0, 1e-12);
    EXPECT_EQ(w.ymax, 1.0);
    w.limits();
    EXPECT_NEAR(w.xmin, -3.0, 1e-12);
    EXPECT_NEAR(w.ymax, 3.0, 1e-12);
}

TEST(MeshWeld, RecordRoundTripsByteForByteAndRebuildsTheBox)
{
    CWeld w(CString("W1"));
    w.mesh1 = CString("A");
    w.mesh2 = CString("Bc");
    w.pt1 = Point<double>(3.0, -1.0, 7.0);
    w.pt2 = Point<double>(1.0, 2.5, 7.0);
    w.tolerance = 0.125;
    w.applied = true;
    const Bytes bytes = test_support::stored([&](CArchive& ar) { w.Serialize(ar); });

    Bytes expected{0x01};
    appendText(expected, "W1");
    appendText(expected, "A");
    appendText(expected, "Bc");
    for (double d : {3.0, -1.0, 1.0, 2.5, 0.125})
        appendDouble(expected, d);
    EXPECT_EQ(bytes, expected);

    CWeld back;
    back.curve1 = reinterpret_cast<CCompositeCurve*>(0x10);
    test_support::loaded(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_TRUE(back.applied);
    EXPECT_EQ(back.name, CString("W1"));
    EXPECT_EQ(back.mesh2, CString("Bc"));
    EXPECT_EQ(back.curve1, nullptr);
    EXPECT_EQ(back.xmin, 1.0);
    EXPECT_EQ(back.xmax, 3.0);
    EXPECT_EQ(back.ymin, -1.0);
    EXPECT_EQ(back.ymax, 2.5);
    EXPECT_EQ(test_support::stored([&](CArchive& ar) { back.Serialize(ar); }), bytes);

    Bytes truncated(bytes.begin(), bytes.end() - 3);
    CWeld broken;
    EXPECT_ANY_THROW(test_support::loaded(truncated, [&](CArchive& ar) { broken.Serialize(ar); }));
}
