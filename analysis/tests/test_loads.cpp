// Point forces, load cases and combinations: directions, moments, joint
// forces of a member segment, and their archive records.
#include <gtest/gtest.h>

#include <memory>

#include "analysis/model/CLoadCase.h"
#include "analysis/model/CLoadCdnFactor.h"
#include "analysis/model/CLoadCombination.h"
#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CPointForce.h"
#include "analysis/model/Globals.h"
#include "analysis/model/LightProperties.h"
#include "analysis/tests/LoadsArchiveBytes.h"

using namespace loads_test;

namespace {

// A force of magnitude `mag` at station z of the member axis along dir.
std::unique_ptr<CPointForce> force(double z, double mag, Point<double> dir, double x = 0.0, double y = 0.0) {
  CString name(L"F1");
  return std::make_unique<CPointForce>(name, x, y, z, mag, &dir);
}

}  // namespace

TEST(LoadsPointForce, DirectionIsNormalisedUnlessTooShort) {
  auto f = force(0.0, 1.0, {0.0, 3.0, 4.0});
  EXPECT_EQ(f->direction()->x, 0.0);
  EXPECT_DOUBLE_EQ(f->direction()->y, 0.6);
  EXPECT_DOUBLE_EQ(f->direction()->z, 0.8);

  auto tiny = force(0.0, 1.0, {0.0, 0.0, 1e-13});
  EXPECT_EQ(tiny->direction()->z, 1e-13);
  Point<double> out;
  tiny->direction(&out);
  EXPECT_EQ(out.z, 1e-13);
}

TEST(LoadsPointForce, TakesTheNextUniqueIdAndYellowColour) {
  const int next = gUniqueID;
  auto f = force(0.0, 1.0, {1.0, 0.0, 0.0});
  EXPECT_EQ(f->id(), next);
  EXPECT_EQ(gUniqueID, next + 1);
  EXPECT_EQ(f->type(), kPointForceLoad);
  EXPECT_FALSE(f->isDistributed());
  EXPECT_EQ(f->name(), L"F1");
  const LightProperties* light = f->lightProp();
  EXPECT_EQ(light->ambient.blue, 0.0f);
  EXPECT_EQ(light->diffuse.red, 1.0f);
  EXPECT_EQ(light->specular.blue, 0.7f);
  EXPECT_EQ(light->shininess, 80.0f);
  // All thirteen members in record order: ambient, diffuse, specular (each
  // red, green, blue, alpha), then the shininess.
  const float colours[] = {light->ambient.red,   light->ambient.green,  light->ambient.blue,
                           light->ambient.alpha, light->diffuse.red,    light->diffuse.green,
                           light->diffuse.blue,  light->diffuse.alpha,  light->specular.red,
                           light->specular.green, light->specular.blue, light->specular.alpha,
                           light->shininess};
  const float yellow[] = {1, 1, 0, 1, 1, 1, 0, 1, 1, 1, 0.7f, 1, 80};
  for (int i = 0; i < 13; ++i) EXPECT_EQ(colours[i], yellow[i]) << i;
  EXPECT_EQ(f->identity(), L"Concentrated force of magnitude 1 at at station 0 directed along (1,0,0)");
}

TEST(LoadsPointForce, MomentsVanishAtAndAboveTheStation) {
  auto fx = force(5.0, 2.0, {1.0, 0.0, 0.0});
  auto fy = force(5.0, 2.0, {0.0, 1.0, 0.0});
  EXPECT_EQ(fx->My(5.0), 0.0);
  EXPECT_EQ(fx->My(6.0), 0.0);
  EXPECT_EQ(fy->Mx(5.0), 0.0);
  EXPECT_EQ(fy->Mx(6.0), 0.0);
  // Lever arm 5 below the station times the force component.
  EXPECT_DOUBLE_EQ(fx->My(0.0), 10.0);
  EXPECT_DOUBLE_EQ(fy->Mx(0.0), -10.0);
  EXPECT_DOUBLE_EQ(force(5.0, 2.0, {0.0, 0.0, 1.0})->axialForce(), 2.0);
}

TEST(LoadsPointForce, JointForcesOfASegmentFromZeroToTen) {
  struct Case {
    double station, end1, end2;
  };
  // Mid-span: half the force at each end; at a (0) the force is outside the
  // segment; at b (10) it is inside and goes wholly to end 2.
  const Case cases[] = {{5.0, 1.0, 1.0}, {0.0, 0.0, 0.0}, {10.0, 0.0, 2.0}, {10.5, 0.0, 0.0}};
  for (const Case& c : cases) {
    double e1 = -1.0, e2 = -1.0;
    force(c.station, 2.0, {0.0, 0.0, 1.0})->jointFz(0.0, 10.0, &e1, &e2);
    EXPECT_DOUBLE_EQ(e1, c.end1) << c.station;
    EXPECT_DOUBLE_EQ(e2, c.end2) << c.station;
  }
}

TEST(LoadsPointForce, TransverseJointTermsIncludeTheStationMoment) {
  // F = 2 at mid-span of 0..10 (f = g = 5): force terms 1 and 1, moment
  // terms 6fg/L³ = 0.15; end moments F f g²/L² = 2.5 and the moment terms
  // -g(3f - L)/L² = -0.25.
  auto f = force(5.0, 2.0, {1.0, 0.0, 0.0});
  double e1 = 0.0, e2 = 0.0;
  f->jointFx(0.0, 10.0, &e1, &e2);
  EXPECT_DOUBLE_EQ(e1, 0.85);
  EXPECT_DOUBLE_EQ(e2, 1.15);
  f->jointMy(0.0, 10.0, &e1, &e2);
  EXPECT_DOUBLE_EQ(e1, 2.25);
  EXPECT_DOUBLE_EQ(e2, 2.25);
}

TEST(LoadsPointForce, ArchiveRecordAndFlagNormalisedOnReading) {
  auto f = force(3.0, 7.5, {0.0, 1.0, 0.0}, 1.0, 2.0);
  const int id = f->id();
  auto expected = [&](int flag) {
    ByteBuilder b;
    b.str("CPointForce").str("F1").i32(id).i32(0).i32(0);
    b.f64(1.0).f64(2.0).f64(3.0).f64(7.5).f64(0.0).f64(1.0).f64(0.0).f64(0.0).i32(flag);
    return b.bytes();
  };
  EXPECT_EQ(stored([&](CArchive& ar) { f->Serialize(ar); }), expected(0));

  CPointForce back;
  loaded(expected(5), [&](CArchive& ar) { back.Serialize(ar); });
  EXPECT_EQ(back.id(), id);
  EXPECT_EQ(back.location(), 3.0);
  EXPECT_EQ(back.mag(), 7.5);
  EXPECT_EQ(stored([&](CArchive& ar) { back.Serialize(ar); }), expected(1));
}

TEST(LoadsCase, ListOperations) {
  CString name(L"LC1");
  CLoadCase lc(name);
  EXPECT_FALSE(lc.bDuplicated());
  EXPECT_EQ(lc.findNthLoad(1), nullptr);

  CPointForce* a = force(1.0, 1.0, {1.0, 0.0, 0.0}).release();
  CPointForce* b = force(2.0, 1.0, {1.0, 0.0, 0.0}).release();
  lc.append(a);
  lc.append(b);
  lc.append(a);
  EXPECT_EQ(lc.nLoads(), 3);
  EXPECT_TRUE(lc.bDuplicated());
  EXPECT_EQ(lc.findLoad(b->id()), b);
  EXPECT_EQ(lc.findLoad(-5), nullptr);
  EXPECT_EQ(lc.findNthLoad(0), nullptr);
  EXPECT_EQ(lc.findNthLoad(1), a);
  EXPECT_EQ(lc.findNthLoad(2), b);
  EXPECT_EQ(lc.findNthLoad(4), nullptr);

  // Every entry of a goes; a itself is handed back to the caller.
  lc.deleteLoad(a);
  lc.deleteLoad(nullptr);
  EXPECT_EQ(lc.nLoads(), 1);
  EXPECT_FALSE(lc.bDuplicated());
  delete a;
}

TEST(LoadsCase, ArchiveKeepsNameAndKindsButNoLoads) {
  CString name(L"LC1");
  CLoadCase lc(name);
  lc.append(force(1.0, 1.0, {1.0, 0.0, 0.0}).release());
  lc.append(force(2.0, 1.0, {1.0, 0.0, 0.0}).release());
  const Bytes expected = ByteBuilder().str("CLoadCase").str("LC1").i32(2).i32(0).i32(0).bytes();
  EXPECT_EQ(stored([&](CArchive& ar) { lc.Serialize(ar); }), expected);

  // Loading into a case that holds loads empties it.
  CString other(L"old");
  CLoadCase back(other);
  back.append(force(1.0, 1.0, {1.0, 0.0, 0.0}).release());
  loaded(expected, [&](CArchive& ar) { back.Serialize(ar); });
  EXPECT_EQ(back.name(), L"LC1");
  EXPECT_EQ(back.nLoads(), 0);
}

TEST(LoadsCombination, FactorsFoundByConditionName) {
  CLoadCondition dead(LoadCase, CString(L"DL"));
  CLoadCondition live(LoadCase, CString(L"LL"));
  CString name(L"C1");
  CLoadCombination combo(name, 0);
  combo.addLoadCondition(&dead, 1.2);
  combo.addLoadCondition(&live, 1.6);
  CString ll(L"LL");
  ASSERT_NE(combo.findLdCaseFactor(ll), nullptr);
  EXPECT_EQ(combo.findLdCaseFactor(ll)->factor(), 1.6);
  EXPECT_EQ(combo.findLdCaseFactor(ll)->ldCase(), live.ldCase().get());
  combo.reset(ll, 0.5);
  EXPECT_EQ(combo.findLdCaseFactor(ll)->factor(), 0.5);
  CString none(L"WL");
  combo.reset(none, 9.0);
  EXPECT_EQ(combo.findLdCaseFactor(none), nullptr);
  EXPECT_FALSE(combo.isSectionForces());

  CLoadCondition forces;
  forces.ScnLoadCondition(CString(L"SF"));
  combo.addLoadCondition(&forces, 1.0);
  EXPECT_TRUE(combo.isSectionForces());
}

TEST(LoadsCombination, ArchiveStoresFactorsAsObjectsAndReadsThemUnlinked) {
  CLoadCondition dead(LoadCase, CString(L"DL"));
  CLoadCondition live(LoadCase, CString(L"LL"));
  CString name(L"C1");
  CLoadCombination combo(name, 1);
  combo.addLoadCondition(&dead, 1.25);
  combo.addLoadCondition(&live, 1.5);
  // The first factor brings its class; the second refers to it (class
  // index 1 among classes and objects).
  const Bytes expected = ByteBuilder()
                             .str("C1")
                             .i32(1)
                             .i32(2)
                             .newClass("CLoadCdnFactor")
                             .str("DL")
                             .f64(1.25)
                             .u16(0x8001)
                             .str("LL")
                             .f64(1.5)
                             .bytes();
  EXPECT_EQ(stored([&](CArchive& ar) { combo.Serialize(ar); }), expected);

  CLoadCombination back;
  loaded(expected, [&](CArchive& ar) { back.Serialize(ar); });
  EXPECT_EQ(back.name(), L"C1");
  EXPECT_EQ(back.comboType(), 1);
  ASSERT_EQ(back.factors().GetCount(), 2);
  const CLoadCdnFactor* first = back.factors().GetHead();
  EXPECT_EQ(first->ldCdn(), nullptr);
  EXPECT_EQ(first->ldCase(), nullptr);
  EXPECT_EQ(first->conditionName(), L"DL");
  EXPECT_EQ(first->factor(), 1.25);
  CString ll(L"LL");
  EXPECT_EQ(back.findLdCaseFactor(ll), nullptr);
  // Stored again unlinked, the names survive.
  EXPECT_EQ(stored([&](CArchive& ar) { back.Serialize(ar); }), expected);
}
