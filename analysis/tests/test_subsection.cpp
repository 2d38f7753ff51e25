// The sub-section base: radii of gyration over a derived sub-section's
// values, principal-axis transforms, unit labels, construction points and
// its load conditions.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "analysis/model/CBaseSubSection.h"
#include "analysis/model/CDot.h"
#include "analysis/model/CLoadCase.h"
#include "analysis/model/CLoadCdnFactor.h"
#include "analysis/model/CLoadCombination.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/CPointForce.h"
#include "analysis/model/CSectionForces.h"
#include "analysis/model/Globals.h"
#include "analysis/tests/LoadsArchiveBytes.h"

using namespace loads_test;

namespace {

// A sub-section whose section values come from a map (0 for codes not set).
class MapSubSection : public CBaseSubSection {
 public:
  double getValue(SectionValue code) const override {
    auto it = values.find(code);
    return it == values.end() ? 0.0 : it->second;
  }
  double Emin() const override { return emin; }
  bool isDensityDefined() const override { return true; }
  bool isFcyDefined() const override { return true; }
  void principalAngle(double deg) { m_principalAngleE = deg; }

  std::map<SectionValue, double> values;
  double emin = 1.0;
};

template <class F>
std::string logicError(F&& f) {
  try {
    f();
  } catch (const std::logic_error& e) {
    return e.what();
  }
  return "";
}

CPointForce* newForce() {
  CString name(L"F");
  Point<double> dir(0.0, 0.0, 1.0);
  return new CPointForce(name, 0.0, 0.0, 1.0, 1.0, &dir);
}

}  // namespace

TEST(SubsectionBase, BaseVirtualsRefuseToAnswer) {
  CBaseSubSection base;
  EXPECT_EQ(logicError([&] { base.getValue(17); }), "Never call this");
  EXPECT_EQ(logicError([&] { base.Emin(); }), "Uncallable function");
  EXPECT_EQ(logicError([&] { base.isDensityDefined(); }), "Never call me again.");
  EXPECT_EQ(logicError([&] { base.isFcyDefined(); }), "Never call me again.");
  EXPECT_FALSE(base.name().IsEmpty());
}

TEST(SubsectionRadii, RectangleAndGuardedWeights) {
  MapSubSection s;
  // A 2 x 6 rectangle: area 12, Ixx = 2·6³/12 = 36, Iyy = 6·2³/12 = 4, so
  // rx = 6/√12 = √3 and ry = 2/√12 = 1/√3; polar √((36 + 4)/12).
  s.values = {{17, 12.0}, {60, 36.0}, {62, 4.0}, {18, 2.0}, {76, 8.0}, {74, 18.0}, {20, 5e-7}, {66, 2e-6}};
  EXPECT_DOUBLE_EQ(s.IrxA(), std::sqrt(3.0));
  EXPECT_DOUBLE_EQ(s.IryA(), 1.0 / std::sqrt(3.0));
  EXPECT_DOUBLE_EQ(s.IrA(), std::sqrt(40.0 / 12.0));
  EXPECT_DOUBLE_EQ(s.IrxE(), 2.0);  // sqrt(value 76 / value 18)
  EXPECT_DOUBLE_EQ(s.IryE(), 3.0);  // sqrt(value 74 / value 18)
  EXPECT_DOUBLE_EQ(s.IrE(), std::sqrt(13.0));
  // A positive mass of 5e-7 divides normally: sqrt(2e-6 / 5e-7) = 2.
  EXPECT_DOUBLE_EQ(s.IrxM(), 2.0);

  // Weights below 1e-6: 0 for the E and A families.
  s.values[17] = 9e-7;
  s.values[18] = 9e-7;
  for (double r : {s.IrxE(), s.IryE(), s.IrxEA(), s.IryEA(), s.IrxpE(), s.IrypE(), s.IrE(), s.IrEA(), s.IrxA(),
                   s.IryA(), s.IrxAA(), s.IryAA(), s.IrxpA(), s.IrypA(), s.IrA(), s.IrAA()})
    EXPECT_EQ(r, 0.0);
  // A mass that is not positive: -1 for the M family.
  for (double mass : {0.0, -3.0}) {
    s.values[20] = mass;
    for (double r : {s.IrxM(), s.IryM(), s.IrxMA(), s.IryMA(), s.IrxpM(), s.IrypM(), s.IrM(), s.IrMA()})
      EXPECT_EQ(r, -1.0);
  }
}

TEST(SubsectionRadii, EachGetterReadsItsOwnPair) {
  struct Case {
    double (CBaseSubSection::*getter)() const;
    SectionValue i, w;
  };
  const Case cases[] = {
      {&CBaseSubSection::IrxEA, 86, 18}, {&CBaseSubSection::IryEA, 87, 18}, {&CBaseSubSection::IrxpE, 142, 18},
      {&CBaseSubSection::IrypE, 141, 18}, {&CBaseSubSection::IryM, 68, 20}, {&CBaseSubSection::IrxMA, 92, 20},
      {&CBaseSubSection::IryMA, 93, 20},  {&CBaseSubSection::IrxpM, 143, 20}, {&CBaseSubSection::IrypM, 144, 20},
      {&CBaseSubSection::IrxAA, 78, 17},  {&CBaseSubSection::IryAA, 79, 17}, {&CBaseSubSection::IrxpA, 145, 17},
      {&CBaseSubSection::IrypA, 146, 17},
  };
  for (const Case& c : cases) {
    MapSubSection s;
    s.values = {{c.i, 50.0}, {c.w, 2.0}};
    EXPECT_DOUBLE_EQ((s.*c.getter)(), 5.0) << c.i;
  }
  MapSubSection s;
  s.values = {{86, 10.0}, {87, 8.0}, {18, 2.0}, {78, 3.0}, {79, 5.0}, {17, 2.0}, {92, 1.0}, {93, 3.0}, {20, 1.0}};
  EXPECT_DOUBLE_EQ(s.IrEA(), 3.0);
  EXPECT_DOUBLE_EQ(s.IrAA(), 2.0);
  EXPECT_DOUBLE_EQ(s.IrMA(), 2.0);
}

TEST(SubsectionAxes, TransformMomentsOfInertia) {
  double r1 = 0, r2 = 0, r3 = 0;
  CBaseSubSection::transformMomentsOfInertia(45.0, 2.0, 0.0, 1.0, &r1, &r2, &r3);
  EXPECT_DOUBLE_EQ(r1, 1.5);
  EXPECT_DOUBLE_EQ(r2, -0.5);
  EXPECT_DOUBLE_EQ(r3, 1.5);
  CBaseSubSection::transformMomentsOfInertia(-45.0, 2.0, 0.0, 1.0, &r1, &r2, &r3);
  EXPECT_DOUBLE_EQ(r2, 0.5);

  for (double angle : {45.0001, -45.0001}) {
    r1 = r2 = r3 = 7.0;
    EXPECT_EQ(logicError([&] { CBaseSubSection::transformMomentsOfInertia(angle, 2.0, 0.0, 1.0, &r1, &r2, &r3); }),
              "Principal angle is not in the range of -45 to +45");
    EXPECT_EQ(r1, 7.0);
    EXPECT_EQ(r2, 7.0);
    EXPECT_EQ(r3, 7.0);
  }
}

TEST(SubsectionAxes, PrincipalRotationsAndProjectedMoment) {
  MapSubSection s;
  s.principalAngle(90.0);
  s.values = {{10, 3.0}, {11, 4.0}, {40, 90.0}, {142, 6.0}};
  s.emin = 7.0;
  Point<double> in(1.0, 2.0, 5.0), out(0.0, 0.0, -1.0);
  s.principal(&in, &out);
  EXPECT_NEAR(out.x, 2.0, 1e-15);
  EXPECT_NEAR(out.y, -1.0, 1e-15);
  EXPECT_EQ(out.z, -1.0);

  s.centroid = Point<double>(1.0, 1.0, 0.0);
  s.model2Principal(&in, &out);
  EXPECT_NEAR(out.x, 1.0, 1e-15);
  EXPECT_NEAR(out.y, 0.0, 1e-15);

  EXPECT_NEAR(s.Myp(), -3.0, 1e-15);  // −sin 90° · 3 + cos 90° · 4
  EXPECT_EQ(s.EIYY(), 42.0);
}

TEST(SubsectionAxes, AxialStress) {
  MapSubSection s;
  CSectionForces f;
  f.axial = 8.0;
  CMetal metal;
  metal.extra1 = 2.0;
  s.values = {{18, 4.0}};
  EXPECT_EQ(s.axialStress(&f, &metal), 4.0);
  EXPECT_EQ(s.axialStress(&f, nullptr), 2.0);
  s.values[18] = 5e-7;
  EXPECT_EQ(s.axialStress(&f, &metal), 0.0);
}

TEST(SubsectionUnits, LabelsOfSectionValues) {
  const EUnitSystem saved = gUnitSystem;
  struct Case {
    EUnitSystem system;
    int code;
    const wchar_t* label;
  };
  const Case cases[] = {
      {SI, 20, L""},        {SI, 0, L""},         {SI, 206, L""},          {SI, 40, L"degs"},
      {SI, 32, L"cm"},      {SI, 17, L"cm\u00b2"}, {SI, 23, L"cm\u00b3"}, {SI, 60, L"cm\u2074"},
      {SI, 205, L"cm\u2076"}, {SI, 42, L"GPa"},    {SI, 199, L"cmGPa"},    {SI, 202, L"GPa/cm\u00b3"},
      {USCS, 195, L"in"},     {USCS, 189, L"in\u2074"}, {USCS, 44, L"lb"},        {USCS, 202, L"lb/in\u00b3"},
  };
  MapSubSection s;
  for (const Case& c : cases) {
    gUnitSystem = c.system;
    CString out(L"stale");
    s.getUnits(c.code, out);
    EXPECT_EQ(out, c.label) << c.code;
    EXPECT_EQ(s.lengthLabel, c.system == SI ? L"cm" : L"in");
  }
  gUnitSystem = saved;
}

TEST(SubsectionDots, AddFindDeleteRotate) {
  MapSubSection s;
  CString name(L"d");
  int client = 0;
  EXPECT_EQ(s.findDot(*std::make_unique<Point<double>>(0.0, 0.0, 0.0)), -1.0);

  s.addDot(name, 1.0, 2.0, &client);
  s.addDot(name, 1.0, 2.0 + 5e-6, &client);  // same client within 1e-5
  EXPECT_EQ(s.dots.size(), 1u);
  s.addDot(name, 1.0, 2.0, nullptr);
  s.addDot(name, 1.0, 2.0, nullptr);
  EXPECT_EQ(s.dots.size(), 3u);
  EXPECT_EQ(s.dots[0]->owner, &s);
  EXPECT_EQ(s.dots[0]->client, &client);
  EXPECT_EQ(s.dots[0]->light.diffuse.green, 0.0f);
  EXPECT_EQ(s.dots[0]->light.diffuse.blue, 1.0f);
  EXPECT_NE(s.dots[0]->id, s.dots[1]->id);

  Point<double> near(1.0, 2.00005, 0.0);
  EXPECT_NEAR(s.findDot(near), 5e-5, 1e-12);
  Point<double> far(1.0, 2.0002, 0.0);
  EXPECT_EQ(s.findDot(far), -1.0);

  s.deleteDot(s.dots[1]);
  EXPECT_EQ(s.dots.size(), 2u);
  CDot stranger(Point<double>(0, 0, 0));
  s.deleteDot(&stranger);  // not one of ours: left alone
  EXPECT_EQ(s.dots.size(), 2u);

  // A quarter turn about (1, 0): (1, 2) goes to (-1, 0).
  Point<double> centre(1.0, 0.0, 0.0);
  s.rotateDots(centre, 90.0);
  EXPECT_NEAR(s.dots[0]->location.x, -1.0, 1e-15);
  EXPECT_NEAR(s.dots[0]->location.y, 0.0, 1e-15);
}

TEST(SubsectionLoads, CurrentConditionFollowsNames) {
  MapSubSection s;
  s.addLoadCondition(LoadCase, CString(L"DL"));
  s.addLoadCondition(LoadCase, CString(L"LL"));
  EXPECT_FALSE(s.curAppLC());
  CString dl(L"DL"), ll(L"LL"), wl(L"WL");
  EXPECT_TRUE(s.loadConditionExists(ll));
  EXPECT_FALSE(s.loadConditionExists(wl));
  EXPECT_EQ(s.findLoadConditionMutable(wl), nullptr);

  s.ldCdnSetCurrent(dl);
  EXPECT_EQ(s.curAppLC(), s.findLoadCondition(dl));
  s.ldCdnSetCurrent(wl);
  EXPECT_FALSE(s.curAppLC());

  s.ldCdnSetCurrent(ll);
  CString renamed(L"Live");
  s.ldCdnRename(ll, renamed);
  EXPECT_EQ(s.curAppLC()->name(), L"Live");
  EXPECT_FALSE(s.loadConditionExists(ll));

  // Emptying the list keeps the applied condition alive and applied.
  const std::shared_ptr<CLoadCondition> applied = s.curAppLC();
  s.deleteLoadConditions();
  EXPECT_TRUE(s.loadConditions.empty());
  EXPECT_EQ(s.curAppLC(), applied);
}

TEST(SubsectionLoads, LoadsOfTheAppliedCondition) {
  MapSubSection s;
  s.addLoadCondition(LoadCase, CString(L"DL"));
  CString dl(L"DL");
  CPointForce* f = newForce();
  s.findLoadConditionMutable(dl)->append(f);
  EXPECT_EQ(s.findLoad(f->id()), nullptr);
  s.ldCdnSetCurrent(dl);
  EXPECT_EQ(s.findLoad(f->id()), f);
  const int id = f->id();
  EXPECT_EQ(s.deleteLoadID(id + 1000), errNone);
  EXPECT_EQ(s.deleteLoadID(id), errNone);  // f is destroyed
  EXPECT_EQ(s.findLoad(id), nullptr);
  EXPECT_TRUE(s.curAppLC()->empty());

  // Through a combination the loads are found, but the combination has no
  // load case of its own to delete them from.
  CPointForce* g = newForce();
  s.curAppLC()->append(g);
  s.addLoadCondition(LoadCondition, CString(L"C1"));
  CString c1(L"C1");
  s.findLoadConditionMutable(c1)->ldCombo()->addLoadCondition(s.findLoadConditionMutable(dl), 1.5);
  s.ldCdnSetCurrent(c1);
  EXPECT_EQ(s.findLoad(g->id()), g);
  EXPECT_EQ(s.deleteLoadID(g->id()), errNone);
  EXPECT_EQ(s.findLoad(g->id()), g);
}

TEST(SubsectionLoads, DeletingAConditionUnlinksTheFactorsThatReferToIt) {
  MapSubSection s;
  s.addLoadCondition(LoadCase, CString(L"DL"));
  s.addLoadCondition(LoadCondition, CString(L"C1"));
  CString dl(L"DL"), c1(L"C1");
  const std::shared_ptr<CLoadCombination> combo = s.findLoadCondition(c1)->ldCombo();
  combo->addLoadCondition(s.findLoadConditionMutable(dl), 1.5);
  s.deleteLoadCondition(s.findLoadCondition(dl));
  EXPECT_EQ(s.loadConditions.size(), 1u);
  EXPECT_EQ(combo->findLdCaseFactor(dl), nullptr);
  EXPECT_EQ(combo->factors().GetHead()->conditionName(), L"DL");
}

TEST(SubsectionLoads, StoredAndLoadedCombinationsAreRelinked) {
  MapSubSection s;
  s.addLoadCondition(LoadCase, CString(L"DL"));
  s.addLoadCondition(LoadCondition, CString(L"C1"));
  CString dl(L"DL"), c1(L"C1");
  s.findLoadCondition(c1)->ldCombo()->addLoadCondition(s.findLoadConditionMutable(dl), 1.5);
  s.findLoadConditionMutable(dl)->append(newForce());

  ByteBuilder b;
  b.i32(2);
  b.i32(1).i32(0).i32(0).str("CLoadCase").str("DL").i32(1).i32(0).i32(10101010);
  b.i32(2).i32(0).i32(0).str("C1").i32(0).i32(1).newClass("CLoadCdnFactor").str("DL").f64(1.5).i32(10101010);
  EXPECT_EQ(stored([&](CArchive& ar) { s.writeLoadConditions(ar); }), b.bytes());

  MapSubSection back;
  back.addLoadCondition(LoadCase, CString(L"old"));
  loaded(b.bytes(), [&](CArchive& ar) { back.readLoadConditions(ar); });
  ASSERT_EQ(back.loadConditions.size(), 2u);
  CLoadCondition* loadedCase = back.findLoadConditionMutable(dl);
  ASSERT_NE(loadedCase, nullptr);
  const CLoadCdnFactor* factor = back.findLoadCondition(c1)->ldCombo()->findLdCaseFactor(dl);
  ASSERT_NE(factor, nullptr);
  EXPECT_EQ(factor->ldCdn(), loadedCase);
  EXPECT_EQ(factor->factor(), 1.5);
  EXPECT_EQ(factor->ldCase(), loadedCase->ldCase().get());
  EXPECT_EQ(loadedCase->ldCase()->nLoads(), 0);  // loads are not stored
}
