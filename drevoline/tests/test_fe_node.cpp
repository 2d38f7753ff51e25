// Finite-element nodes: results where materials meet, load-condition
// values, constraints, transforms and the node record.
#include <gtest/gtest.h>

#include <cstring>

#include "analysis/geometry/Matrix.h"
#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CPointForce.h"
#include "analysis/tests/TestSupport.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFETrng3.h"
#include "test_mesh_support.h"

using mesh_test::logicText;
using mesh_test::metal;
using mesh_test::node;
using test_support::Bytes;

namespace {

template <class T>
void append(Bytes& b, T v)
{
    BYTE raw[sizeof(T)];
    std::memcpy(raw, &v, sizeof(T));
    b.insert(b.end(), raw, raw + sizeof(T));
}

void appendText(Bytes& b, const char* text)
{
    const std::size_t n = std::strlen(text);
    b.insert(b.end(), {0xFF, 0xFE, 0xFF, static_cast<BYTE>(n)});
    for (std::size_t i = 0; i < n; ++i)
        b.insert(b.end(), {static_cast<BYTE>(text[i]), 0x00});
}

// The bytes of a node record with one load-condition set holding u.
Bytes nodeRecord(int number, int vertexId, int uniqueId, double x, double y, const char* lcName,
                 double u, double check)
{
    Bytes b;
    append(b, number);
    append(b, vertexId);
    append(b, uniqueId);
    for (double d : {x, y, 0.0})
        append(b, d);
    for (int flag : {1, 1, 0, 0, 0, 0})
        append(b, flag);
    append(b, 1);  // one set
    appendText(b, lcName);
    append(b, 0);  // the set's stored int
    append(b, 1);  // one value
    for (double d : {u, 0.0, 0.0, 0.0, 0.0, 0.0})
        append(b, d);
    for (int i : {1, 2, 3})
        append(b, i);
    for (double d : {4.0, 5.0, check})
        append(b, d);
    return b;
}

}  // namespace

TEST(FENode, ANodeWithoutElements)
{
    CFENodeAnalysis n;
    EXPECT_FALSE(n.isSplitMaterial());
    EXPECT_EQ(n.material(), nullptr);
    EXPECT_EQ(n.maxStrain(true, true), -1e20);
    EXPECT_EQ(n.maxStrain(false, true), 1e20);
    EXPECT_EQ(n.vertex, nullptr);
    EXPECT_EQ(n.number, 0);
    for (int code = 367; code <= 372; ++code)
        EXPECT_EQ(n.fixed(code), 0);
    n.fix(368, 1);
    n.fix(372, 1);
    n.fix(373, 1);
    EXPECT_EQ(n.eliminated(368), 1);
    EXPECT_EQ(n.fixed(366), 0);
    EXPECT_EQ(n.fixed(373), 0);
    EXPECT_EQ(n.deformedTranslation().y, 1.0);
    EXPECT_EQ(n.deformedRotation().z, 1.0);
    CFENodeAnalysis copy(&n);
    EXPECT_NE(copy.uniqueId, n.uniqueId);
    EXPECT_EQ(copy.fixed(368), 1);
}

TEST(FENode, ResultsWhereMaterialsMeet)
{
    auto steel = metal("Steel"), alloy = metal("Alloy");
    steel->alpha[0] = 0.002;
    steel->nYield[0] = steel->nUltimate[0] = 10;
    steel->Ftu_L = 2.0;
    auto shared = node(1, 0, 0);
    CFETrng3 a(shared, node(2, 1, 0), node(3, 0, 1), steel.get(), 1.0);
    shared->setResult(STRESS_ZZ, 5.0);
    EXPECT_EQ(shared->result(&a, STRESS_ZZ), 5.0);
    EXPECT_EQ(shared->material(), steel.get());

    CFETrng3 b(shared, node(4, 0, -1), node(5, 1, 0), alloy.get(), 1.0);
    EXPECT_TRUE(shared->isSplitMaterial());
    EXPECT_EQ(shared->material(), nullptr);
    shared->setElementResult(&b, STRESS_ZZ, 7.0);
    EXPECT_EQ(shared->result(nullptr, STRESS_ZZ), 5.0);
    EXPECT_EQ(shared->result(&b, STRESS_ZZ), 7.0);
    EXPECT_EQ(logicText([&] { shared->result(&a, STRESS_ZZ); }),
              "CFENodeAnalysis::result()  error: can't get here from anywhere");
    // The larger of the two plastic ultimate strains (the alloy has no ultimate stress).
    EXPECT_DOUBLE_EQ(shared->maxStrain(true, true), steel->plasticUltimateStrain(true, true));
}

TEST(FENode, LoadConditionValuesAndIndexErrors)
{
    CLoadCondition lc(LoadCase, CString("LC1"));
    CLoadCondition other(LoadCase, CString("LC2"));
    CFENodeAnalysis n;
    n.setValue(&lc, 368, 0.5);  // creates the set first
    EXPECT_EQ(n.getValue(&lc, 368), 0.5);
    EXPECT_EQ(n.getValue(&lc, 367), 0.0);
    EXPECT_EQ(n.getValue(&lc, 400), -1.0);
    EXPECT_THROW(n.lcDiscrete->getValue(&lc, 1, 367), CInvalidArgException);
    EXPECT_THROW(n.getValue(&other, 367), CInvalidArgException);
    n.initLCDiscrete(&other);
    EXPECT_EQ(n.getValue(&other, 367), 0.0);
    n.lcDiscrete->deleteLoadCondition(&lc);
    EXPECT_THROW(n.getValue(&lc, 368), CInvalidArgException);
}

TEST(FENode, PointForceAndTransforms)
{
    mesh_test::SquareMesh sq;
    CFENodeAnalysis n(sq.v[4]);
    EXPECT_EQ(n.id(), 5);
    EXPECT_EQ(n.position.x, 1.0);
    n.index = 1;
    Matrix rhs(12, 1);
    Point<double> dir(0, 3, 4);
    CString name("F");
    CPointForce force(name, 0, 0, 0, 10.0, &dir);
    n.pointForceRHS(&force, &rhs);
    EXPECT_DOUBLE_EQ(rhs(7, 0), 6.0);
    EXPECT_DOUBLE_EQ(rhs(8, 0), 8.0);
    n.index = 2;
    EXPECT_THROW(n.pointForceRHS(&force, &rhs), CInvalidArgException);

    Point<double> onPlane(1, 5, 0), normal(1, 0, 0);
    n.mirror(onPlane, normal);  // the node lies on the mirror plane
    EXPECT_EQ(n.position.x, 1.0);
    Point<double> origin(0, 0, 0);
    n.mirror(origin, normal);
    EXPECT_EQ(n.position.x, -1.0);
    EXPECT_EQ(sq.v[4]->x, -1.0);  // the vertex follows
    n.rotate(0, 0, 90);
    EXPECT_NEAR(sq.v[4]->y, -1.0, 1e-15);
    n.translate(2, 1);
    EXPECT_NEAR(sq.v[4]->x, 2.0, 1e-15);
    EXPECT_NEAR(n.position.y, 0.0, 1e-15);
}

TEST(FENode, RecordLayoutAndRoundTrip)
{
    mesh_test::SquareMesh sq;
    CLoadCondition lc(LoadCase, CString("LC1"));
    CFENodeAnalysis n(sq.v[4]);
    n.number = 9;
    n.uniqueId = 123;
    n.fix(367, 1);
    n.fix(368, 1);
    n.setValue(&lc, 367, 0.25);
    const Bytes bytes = test_support::stored([&](CArchive& ar) { n.Serialize(ar, &sq.mesh); });
    EXPECT_EQ(bytes, nodeRecord(9, 5, 123, 1.0, 0.0, "LC1", 0.25, 6.0));

    // Read back, the set has no load condition but keeps its name, and is
    // written again under that name.
    CFENodeAnalysis back;
    test_support::loaded(bytes, [&](CArchive& ar) { back.Serialize(ar, &sq.mesh); });
    EXPECT_EQ(back.vertex, sq.v[4]);
    EXPECT_EQ(back.fixed(368), 1);
    ASSERT_NE(back.lcDiscrete->find(nullptr), nullptr);
    EXPECT_EQ(back.lcDiscrete->find(nullptr)->name, CString("LC1"));
    EXPECT_EQ(test_support::stored([&](CArchive& ar) { back.Serialize(ar, &sq.mesh); }), bytes);

    // A node without vertex stores -9999 and reads back without one.
    CFENodeAnalysis loose;
    loose.number = 4;
    loose.uniqueId = 8;
    loose.fix(367, 1);
    loose.fix(368, 1);
    loose.setValue(&lc, 367, 0.25);
    const Bytes looseBytes = test_support::stored([&](CArchive& ar) { loose.Serialize(ar, nullptr); });
    EXPECT_EQ(looseBytes, nodeRecord(4, -9999, 8, 0.0, 0.0, "LC1", 0.25, 6.0));
    CFENodeAnalysis looseBack;
    test_support::loaded(looseBytes, [&](CArchive& ar) { looseBack.Serialize(ar, &sq.mesh); });
    EXPECT_EQ(looseBack.vertex, nullptr);
    EXPECT_EQ(looseBack.id(), 4);
}

TEST(FENode, TrailerMustEndWithSix)
{
    mesh_test::SquareMesh sq;
    struct Case {
        double check;
        bool accepted;
    };
    for (const Case& c : {Case{6.0 + 5e-11, true}, Case{6.0 - 5e-11, true}, Case{6.0 + 2e-10, false},
                          Case{0.0, false}}) {
        CFENodeAnalysis n;
        const Bytes bytes = nodeRecord(1, -9999, 2, 0, 0, "X", 0, c.check);
        const std::string text =
            logicText([&] { test_support::loaded(bytes, [&](CArchive& ar) { n.Serialize(ar, &sq.mesh); }); });
        EXPECT_EQ(text, c.accepted ? "" : "CFENodeanalysis read failed.") << c.check;
    }
}
