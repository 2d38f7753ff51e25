// Load conditions by type, section forces and the condition's archive record.
#include <gtest/gtest.h>

#include <memory>

#include "analysis/model/CLoadCase.h"
#include "analysis/model/CLoadCombination.h"
#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CPointForce.h"
#include "analysis/model/CSectionForces.h"
#include "analysis/tests/LoadsArchiveBytes.h"

using namespace loads_test;

namespace {

CPointForce* newForce(double z) {
  CString name(L"F");
  Point<double> dir(0.0, 0.0, 1.0);
  return new CPointForce(name, 0.0, 0.0, z, 1.0, &dir);
}

// Section forces with distinct values in every stored member.
CSectionForces sampleForces() {
  CSectionForces f;
  f.name = L"SF";
  f.Vx = 1.5;
  f.Vy = -2.0;
  f.axial = 3.25;
  f.axialNeg = 7.0;
  f.Mx = 4.0;
  f.My = -5.5;
  f.resultantA = 6.0;
  f.resultantB = 7.5;
  f.resultantC = -8.0;
  f.radius = 9.0;
  f.valueA = 10.0;
  f.valueB = 11.0;
  f.neutralAxisAngle = 12.5;
  f.valueD = 13.0;
  f.kind = 6;
  f.option = true;
  return f;
}

}  // namespace

TEST(LoadsCondition, LoadCaseReportsItsNameAndEmptiness) {
  CLoadCondition lc(LoadCase, CString(L"LC1"));
  EXPECT_EQ(lc.name(), L"LC1");
  EXPECT_TRUE(lc.isLoadCase());
  EXPECT_FALSE(lc.isLoadCombination());
  EXPECT_FALSE(lc.isSectionForces());
  EXPECT_TRUE(lc.empty());
  lc.append(newForce(1.0));
  EXPECT_FALSE(lc.empty());
}

TEST(LoadsCondition, TypePredicates) {
  struct Case {
    int type;
    bool loadCase, combination, strip, finiteElement;
  };
  const Case cases[] = {{0, false, false, false, false}, {1, true, false, false, false},
                        {2, false, true, false, false},  {3, true, false, false, false},
                        {4, false, false, false, false}, {5, true, false, true, false},
                        {7, true, false, true, false},   {8, true, false, false, true}};
  for (const Case& c : cases) {
    CLoadCondition lc(static_cast<LoadConditionType>(c.type), CString(L"X"));
    EXPECT_EQ(lc.isLoadCase(), c.loadCase) << c.type;
    EXPECT_EQ(lc.isLoadCombination(), c.combination) << c.type;
    EXPECT_EQ(lc.isStripLoad(), c.strip) << c.type;
    EXPECT_EQ(lc.isFiniteElementLoad(), c.finiteElement) << c.type;
    EXPECT_FALSE(lc.isEnvelope()) << c.type;
    EXPECT_TRUE(lc.empty()) << c.type;
  }
}

TEST(LoadsCondition, ConditionsWithoutANamedPartHaveAnEmptyName) {
  for (int type : {0, 4, 3, 5}) {
    CLoadCondition lc(static_cast<LoadConditionType>(type), CString(L"X"));
    EXPECT_TRUE(lc.name().IsEmpty()) << type;
    CString renamed(L"Y");
    lc.name(renamed);  // nothing to rename, and nothing breaks
    EXPECT_TRUE(lc.name().IsEmpty()) << type;
  }
}

TEST(LoadsCondition, ScnLoadConditionTurnsACombinationIntoSectionForces) {
  CLoadCondition lc(LoadCondition, CString(L"C1"));
  ASSERT_TRUE(lc.ldCombo());
  lc.ScnLoadCondition(CString(L"SF"));
  EXPECT_EQ(lc.type(), SectionForces);
  EXPECT_EQ(lc.name(), L"SF");
  EXPECT_TRUE(lc.isSectionForces());
  EXPECT_FALSE(lc.ldCombo());
  ASSERT_TRUE(lc.ldCase());
  EXPECT_EQ(lc.ldCase()->name(), L"SF");
  ASSERT_NE(lc.scnForces(), nullptr);
  EXPECT_EQ(lc.scnForces()->radius, -1.0);
  EXPECT_EQ(lc.typeName(), L"UnrestrainedBending");

  // Renaming a section-forces condition changes the name it reports.
  CString renamed(L"SF2");
  lc.name(renamed);
  EXPECT_EQ(lc.name(), L"SF2");
  EXPECT_EQ(lc.ldCase()->name(), L"SF2");
}

TEST(LoadsCondition, TypeNameFollowsTheAnalysisKind) {
  CLoadCondition lc;
  lc.ScnLoadCondition(CString(L"SF"));
  const std::pair<int, const wchar_t*> cases[] = {
      {5, L"RestrainedBending"}, {6, L"PlasticBending"}, {7, L"Cozzone"}, {4, L"UnrestrainedBending"}};
  for (const auto& [kind, text] : cases) {
    lc.scnForcesMutable()->kind = kind;
    EXPECT_EQ(lc.typeName(), text) << kind;
  }
}

TEST(LoadsCondition, CombinationSearchesTheLoadsOfItsLoadCases) {
  CLoadCondition dead(LoadCase, CString(L"DL"));
  CLoadCondition forces;
  forces.ScnLoadCondition(CString(L"SF"));
  CLoadCondition live(LoadCase, CString(L"LL"));
  CPointForce* d1 = newForce(1.0);
  CPointForce* l1 = newForce(2.0);
  CPointForce* l2 = newForce(3.0);
  dead.append(d1);
  live.append(l1);
  live.append(l2);
  forces.append(newForce(4.0));  // type 3: not searched

  CLoadCondition combo(LoadCondition, CString(L"C1"));
  EXPECT_TRUE(combo.empty());
  combo.ldCombo()->addLoadCondition(&dead, 1.0);
  combo.ldCombo()->addLoadCondition(&forces, 1.0);
  combo.ldCombo()->addLoadCondition(&live, 1.0);
  EXPECT_FALSE(combo.empty());
  EXPECT_TRUE(combo.isSectionForces());

  EXPECT_EQ(combo.findLoad(l2->id()), l2);
  EXPECT_EQ(combo.countLoadType(kPointForceLoad), 3);
  EXPECT_EQ(combo.getLoadType(kPointForceLoad, 0), d1);
  EXPECT_EQ(combo.getLoadType(kPointForceLoad, 2), l2);
  EXPECT_EQ(combo.getLoadType(kPointForceLoad, 3), nullptr);
  EXPECT_EQ(combo.countLoadType(1), 0);
  EXPECT_EQ(live.getLoadType(kPointForceLoad, 1), l2);
  EXPECT_EQ(forces.findLoad(l1->id()), nullptr);
  combo.update();
}

TEST(LoadsCondition, AppendWithoutALoadCaseThrows) {
  CLoadCondition lc(LoadCondition, CString(L"C1"));
  std::unique_ptr<CPointForce> f(newForce(1.0));
  EXPECT_THROW(lc.append(f.get()), std::logic_error);
}

TEST(LoadsCondition, StoresTypeThenSecondThenFirstValue) {
  CLoadCondition lc(LoadCase, CString(L"LC1"));
  lc.firstValue(11);
  lc.secondValue(22);
  const Bytes expected = ByteBuilder().i32(1).i32(22).i32(11).str("CLoadCase").str("LC1").i32(0).bytes();
  EXPECT_EQ(stored([&](CArchive& ar) { lc.Serialize(ar); }), expected);

  CLoadCondition back;
  loaded(expected, [&](CArchive& ar) { back.Serialize(ar); });
  EXPECT_EQ(back.type(), LoadCase);
  EXPECT_EQ(back.firstValue(), 11);
  EXPECT_EQ(back.secondValue(), 22);
  EXPECT_EQ(back.name(), L"LC1");

  // Types without a part end after the three integers.
  CLoadCondition bare(static_cast<LoadConditionType>(4), CString(L"X"));
  EXPECT_EQ(stored([&](CArchive& ar) { bare.Serialize(ar); }), ByteBuilder().i32(4).i32(0).i32(0).bytes());
}

TEST(LoadsCondition, AbsentPartIsStoredEmptySoTheRecordStaysReadable) {
  CLoadCondition strip(StripLoadCase, CString(L"S"));
  const Bytes expected = ByteBuilder().i32(7).i32(0).i32(0).str("CLoadCase").str("").i32(0).bytes();
  EXPECT_EQ(stored([&](CArchive& ar) { strip.Serialize(ar); }), expected);
  CLoadCondition forces(SectionForces, CString(L"SF"));
  CLoadCondition back;
  loaded(stored([&](CArchive& ar) { forces.Serialize(ar); }), [&](CArchive& ar) { back.Serialize(ar); });
  ASSERT_NE(back.scnForces(), nullptr);
  EXPECT_EQ(back.scnForces()->radius, -1.0);
}

TEST(LoadsCondition, EnvelopeOnlyForCombinationKindOne) {
  for (int kind : {0, 1, 2}) {
    const Bytes record = ByteBuilder().i32(2).i32(0).i32(0).str("E").i32(kind).i32(0).bytes();
    CLoadCondition lc;
    loaded(record, [&](CArchive& ar) { lc.Serialize(ar); });
    EXPECT_EQ(lc.name(), L"E");
    EXPECT_EQ(lc.isEnvelope(), kind == 1) << kind;
  }
}

TEST(LoadsCondition, SectionForcesRecordRoundTrip) {
  CLoadCondition lc;
  lc.ScnLoadCondition(CString(L"SF"));
  *lc.scnForcesMutable() = sampleForces();
  lc.scnForcesMutable()->radius = 9.0;
  lc.scnForcesMutable()->neutralAxisAngle = 12.5;
  lc.scnForcesMutable()->valueD = 13.0;
  lc.scnForcesMutable()->option = true;

  ByteBuilder b;
  b.i32(3).i32(0).i32(0).str("SF");
  for (double v : {1.5, -2.0, 3.25, 4.0, -5.5, 6.0, 7.5, -8.0, 9.0, 10.0, 11.0, 12.5, 13.0})
    b.f64(v);
  b.i32(6).byte(1);
  EXPECT_EQ(stored([&](CArchive& ar) { lc.Serialize(ar); }), b.bytes());

  CLoadCondition back;
  loaded(b.bytes(), [&](CArchive& ar) { back.Serialize(ar); });
  EXPECT_EQ(back.type(), SectionForces);
  EXPECT_EQ(back.name(), L"SF");
  const CSectionForces* f = back.scnForces();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->kind, 6);
  EXPECT_EQ(back.typeName(), L"PlasticBending");
  EXPECT_EQ(f->Vx, 1.5);
  EXPECT_EQ(f->My, -5.5);
  EXPECT_EQ(f->resultantC, -8.0);
  EXPECT_EQ(f->radius, 9.0);
  EXPECT_EQ(f->valueD, 13.0);
  EXPECT_TRUE(f->option);
  EXPECT_EQ(f->axialNeg, -7.5);
  // The load case is not stored; the condition gets an empty one again.
  ASSERT_TRUE(back.ldCase());
  EXPECT_EQ(back.ldCase()->nLoads(), 0);
}

TEST(LoadsSectionForces, RotatedComponentsAtNinetyDegrees) {
  const CSectionForces f = sampleForces();
  EXPECT_NEAR(f.Mxp(90.0), f.My, 1e-12);
  EXPECT_NEAR(f.Myp(90.0), -f.Mx, 1e-12);
  EXPECT_NEAR(f.Vxp(90.0), f.Vy, 1e-12);
  EXPECT_NEAR(f.Vyp(90.0), -f.Vx, 1e-12);
  EXPECT_EQ(f.Mxp(0.0), f.Mx);
}

TEST(LoadsSectionForces, BendingDirectOfACurvedMember) {
  CSectionForces f;
  Point<double> p(1.0, 5.0, 0.0);
  f.Mx = 3.0;
  f.My = 5.0;
  f.axial = 6.0;
  f.Ixx = 2.0;
  f.Iyy = 4.0;
  f.Ixy = 1.0;
  EXPECT_EQ(f.bendingDirect(&p, 2.0), 0.0);  // radius -1: straight
  f.radius = 10.0;
  // k = 1/2, X = 2, Y = 10, D = 7: -(13/7)·2 + (17/7 + 0.015 - 0.3)·10 + (3 - 0.15) = 144/7.
  EXPECT_NEAR(f.bendingDirect(&p, 2.0), 144.0 / 7.0, 1e-12);
}

TEST(LoadsSectionForces, ScaleAddAndPartialAssignment) {
  const CSectionForces base = sampleForces();
  CSectionForces sum(base);
  EXPECT_EQ(sum.name, L"SF");
  sum *= 2.0;
  sum += base;
  double CSectionForces::*const scaled[] = {&CSectionForces::Vx,         &CSectionForces::Vy,
                                            &CSectionForces::axial,      &CSectionForces::axialNeg,
                                            &CSectionForces::Mx,         &CSectionForces::My,
                                            &CSectionForces::resultantA, &CSectionForces::resultantB,
                                            &CSectionForces::resultantC};
  for (auto m : scaled)
    EXPECT_EQ(sum.*m, 3.0 * (base.*m));
  EXPECT_EQ(sum.radius, base.radius);
  EXPECT_EQ(sum.valueA, base.valueA);

  // Assignment copies the listed members and leaves the rest.
  CSectionForces target;
  target.neutralAxisAngle = 99.0;
  target.valueD = 98.0;
  target = base;
  EXPECT_EQ(target.name, L"SF");
  EXPECT_EQ(target.Mx, base.Mx);
  EXPECT_EQ(target.kind, 6);
  EXPECT_EQ(target.neutralAxisAngle, 99.0);
  EXPECT_EQ(target.valueD, 98.0);
  EXPECT_EQ(target.radius, -1.0);
}
