// Metals: compliance and stiffness, Ramberg-Osgood queries, copies, unit
// conversion and the archive record.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "analysis/model/CMaterial.h"
#include "analysis/model/CMetal.h"
#include "platform/core/Exceptions.h"
#include "test_materials_support.h"

using namespace mattest;

namespace {


// A metal with every member set to a distinct value.
CMetal fullySetMetal() {
  CMetal m;
  m.name = L"7075-T6";
  m.family = L"Aluminium";
  m.form = L"Extrusion";
  m.temper = L"T6";
  m.size = L"0.25-0.5";
  m.spec = L"AMS-QQ-A-200/11";
  m.units = L"USCSin";
  m.uns = L"A97075";
  m.isotropic = true;
  m.E(10.4e6);
  m.Ec = 10.7e6;
  m.G = 3.9e6;
  m.nu(0.33);
  m.density(0.101);
  m.Fsy_L = 40000;
  m.Fcy_L = 69000;
  m.Fty_L = 70000;
  m.Fsu_L = 46000;
  m.Fcu_L = 82000;
  m.Ftu_L = 78000;
  m.Fsy_LT = 39000;
  m.Fcy_LT = 71000;
  m.Fty_LT = 68000;
  m.Fsu_LT = 45000;
  m.Fcu_LT = 81000;
  m.Ftu_LT = 77000;
  m.Fbru15 = 118000;
  m.Fbru20 = 148000;
  m.Fbry15 = 98000;
  m.Fbry20 = 114000;
  m.thickness = 0.375;
  m.alpha = {0.002, 0.0021, 0.0022, 0.0023};
  m.nYield = {20, 21, 22, 23};
  m.nUltimate = {10, 11, 12, 13};
  m.maxTensileStrain = 0.07;
  m.maxCompressionStrain = 0.08;
  m.valid(1);
  m.extra1 = 2.5;
  m.extra2 = 3.5;
  m.colour = std::make_unique<LightProperties>(0.1f, 0.2f, 0.3f);
  return m;
}

void expectDefaultColour(const LightProperties& c) {
  const LightProperties d;
  EXPECT_EQ(c.diffuse.red, 0.0f);
  EXPECT_EQ(c.diffuse.green, 1.0f);
  EXPECT_EQ(c.diffuse.blue, 0.0f);
  EXPECT_EQ(c.diffuse.alpha, 1.0f);
  EXPECT_EQ(c.ambient.red, d.ambient.red);
  EXPECT_EQ(c.shininess, 80.0f);
  EXPECT_EQ(c.mode, 0x2101);
}

}  // namespace

TEST(Materials, ComplianceOfIsotropicMetal) {
  CMetal m;
  m.E(1.0);
  m.nu(0.25);
  const Matrix c = m.compliance();
  ASSERT_EQ(c.nrows(), 6);
  ASSERT_EQ(c.ncols(), 6);
  for (int i = 0; i < 6; ++i) {
    for (int j = 0; j < 6; ++j) {
      double expected = 0.0;
      if (i < 3 && j < 3) expected = i == j ? 1.0 : -0.25;
      if (i >= 3 && i == j) expected = 2.5;
      EXPECT_EQ(c(i, j), expected) << i << "," << j;
    }
  }
  // G plays no part.
  m.G = 123.0;
  EXPECT_TRUE(m.compliance() == c);
}

TEST(Materials, StiffnessIsTheInverseOfCompliance) {
  CMetal m;
  m.E(1.0);
  m.nu(0.25);
  m.computeStiffnessCompliance();
  const Matrix product = m.stiffnessMatrix * m.complianceMatrix;
  for (int i = 0; i < 6; ++i)
    for (int j = 0; j < 6; ++j) EXPECT_NEAR(product(i, j), i == j ? 1.0 : 0.0, 1e-12);

  // Lamé constants for E = 1, nu = 0.25: lambda = mu = 0.4, so the normal
  // block is 1.2 on the diagonal and 0.4 off it, and the shear diagonal is 0.4.
  const Matrix& k = m.stiffnessMatrix;
  EXPECT_NEAR(k(0, 0), 1.2, 1e-12);
  EXPECT_NEAR(k(1, 2), 0.4, 1e-12);
  EXPECT_NEAR(k(5, 5), 0.4, 1e-12);

  // The compliance terms read the stored matrix.
  EXPECT_EQ(m.a11(), 1.0);
  EXPECT_EQ(m.a12(), -0.25);
  EXPECT_EQ(m.d66(), 2.5);
  EXPECT_EQ(m.b22(), 2.5);
  EXPECT_EQ(m.b66(), 0.0);
  EXPECT_EQ(m.av66(), 1.0);
  EXPECT_EQ(m.torqueOffset(), 0.0);
  EXPECT_EQ(m.bendingOffset(), 0.0);
}

TEST(Materials, ComplianceTermsNeedTheMatrix) {
  CMetal m;
  EXPECT_THROW(m.a11(), CInvalidArgException);
  EXPECT_THROW(m.torqueOffset(), CInvalidArgException);
  EXPECT_THROW(m.av66(), CInvalidArgException);
}

TEST(Materials, RambergOsgoodStrains) {
  CMetal m;
  m.Fty_L = 50000;
  m.Ftu_L = 60000;
  m.E(1e7);
  m.alpha[0] = 0.002;
  m.nYield[0] = 25;
  m.nUltimate[0] = 10;
  // 50000 / 1e7 + 0.002
  EXPECT_NEAR(m.plasticYieldStrain(true, true), 0.007, 1e-15);
  // 60000 / 1e7 + 0.002 * 1.2^10 = 0.006 + 0.002 * 6.1917364224
  EXPECT_NEAR(m.plasticUltimateStrain(true, true), 0.0183834728448, 1e-15);
  EXPECT_NEAR(m.plasticUltimateStrain(true, true), 0.0183834728, 1e-10);

  // At the yield strain exactly the exponent is still the yield one; beyond
  // it (by magnitude, either sign) the ultimate one.
  const double yieldStrain = m.plasticYieldStrain(true, true);
  EXPECT_EQ(m.plasticExponent(yieldStrain, true, true), 25);
  EXPECT_EQ(m.plasticExponent(-yieldStrain, true, true), 25);
  EXPECT_EQ(m.plasticExponent(0.0071, true, true), 10);
  EXPECT_EQ(m.plasticExponent(-0.0071, true, true), 10);
}

TEST(Materials, CasesPickTheirOwnConstants) {
  CMetal m = fullySetMetal();
  struct Case {
    bool tension;
    bool longitudinal;
    double yield;
    double ultimate;
    double alpha;
    double nUltimate;
  };
  const Case cases[] = {{true, true, 70000, 78000, 0.002, 10},
                        {true, false, 68000, 77000, 0.0021, 11},
                        {false, true, 69000, 82000, 0.0022, 12},
                        {false, false, 71000, 81000, 0.0023, 13}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.tension << c.longitudinal);
    EXPECT_EQ(m.yieldStress(c.tension, c.longitudinal), c.yield);
    EXPECT_EQ(m.ultimateStress(c.tension, c.longitudinal), c.ultimate);
    EXPECT_EQ(m.plasticAlpha(c.tension, c.longitudinal), c.alpha);
    EXPECT_EQ(m.plasticUltimateExponent(c.tension, c.longitudinal), c.nUltimate);
    EXPECT_EQ(m.youngsModulus(c.tension, c.longitudinal), c.tension ? 10.4e6 : 10.7e6);
  }
}

TEST(Materials, CompressionModulusFallsBackToE) {
  CMetal m;
  EXPECT_EQ(m.youngsModulus(false, true), kUnset);  // both moduli unset
  m.E(1e7);
  m.Ec = 0.0;
  EXPECT_EQ(m.youngsModulus(false, false), 1e7);
  m.Ec = kUnset;
  m.Fcy_L = 40000;
  m.Fcu_L = 50000;
  m.alpha[2] = 0.002;
  m.nUltimate[2] = 1;
  EXPECT_NEAR(m.plasticYieldStrain(false, true), 0.006, 1e-15);  // 40000 / 1e7 + 0.002
  // 50000 / 1e7 + 0.002 * 1.25
  EXPECT_NEAR(m.plasticUltimateStrain(false, true), 0.0075, 1e-15);
}

TEST(Materials, YieldQueries) {
  CMetal m;
  EXPECT_EQ(m.Fcy(true), -1.0);
  EXPECT_EQ(m.Fcy(false), kUnset);
  m.Fcy_L = 30000;
  m.Fty_L = 30000;
  EXPECT_EQ(m.Fcy(true), 30000);
  EXPECT_EQ(m.minYield(true), 30000);
  m.Fty_LT = 41000;
  m.Fcy_LT = 39000;
  EXPECT_EQ(m.minYield(false), 39000);
  EXPECT_DOUBLE_EQ(CMetal::poisson(26.0, 10.0), 0.3);  // 26 / 20 - 1
}

TEST(Materials, BaseGettersAreNotDefined) {
  CMetal metal = fullySetMetal();
  CMaterial& asMaterial = metal;
  // The six allowables reach the metal's L values; the other getters of
  // the base answer "not defined" through a base reference.
  EXPECT_EQ(asMaterial.Fsy(), 40000);
  EXPECT_EQ(asMaterial.Fcy(), 69000);
  EXPECT_EQ(asMaterial.Fty(), 70000);
  EXPECT_EQ(asMaterial.Fsu(), 46000);
  EXPECT_EQ(asMaterial.Fcu(), 82000);
  EXPECT_EQ(asMaterial.Ftu(), 78000);
  EXPECT_EQ(asMaterial.E(), -1.0);
  EXPECT_EQ(asMaterial.density(), -1.0);
  EXPECT_EQ(metal.E(), 10.4e6);
  EXPECT_EQ(metal.density(), 0.101);

  CMaterial bare;
  EXPECT_EQ(bare.extra1, 1.0);
  EXPECT_EQ(bare.colour, nullptr);
  EXPECT_EQ(CMetal().extra1, -1000.0);
  EXPECT_EQ(CMetal().extra2, -1000.0);
}

TEST(Materials, FourteenValueConstructor) {
  const CMetal m(CString(L"Steel"), 29e6, 11e6, 0.29, 0.283, 1, 2, 3, 4, 5, 6, 7, 8, 9, 99);
  EXPECT_EQ(m.name, L"Steel");
  EXPECT_EQ(m.E(), 29e6);
  EXPECT_EQ(m.Ec, 29e6);
  EXPECT_EQ(m.G, 11e6);
  EXPECT_EQ(m.nu(), 0.29);
  EXPECT_EQ(m.density(), 0.283);
  const double l[] = {m.Fsy_L, m.Fcy_L, m.Fty_L, m.Fsu_L, m.Fcu_L, m.Ftu_L};
  const double lt[] = {m.Fsy_LT, m.Fcy_LT, m.Fty_LT, m.Fsu_LT, m.Fcu_LT, m.Ftu_LT};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(l[i], i + 1);
    EXPECT_EQ(lt[i], i + 1);
  }
  EXPECT_EQ(m.nYield[0], 7);
  EXPECT_EQ(m.nYield[1], 8);
  EXPECT_EQ(m.nYield[2], 9);
  EXPECT_EQ(m.nYield[3], 0);
  EXPECT_EQ(m.Fbru15, kUnset);
  ASSERT_NE(m.colour, nullptr);
  expectDefaultColour(*m.colour);
}

TEST(Materials, CopyKeepsEveryMember) {
  const CMetal original = fullySetMetal();
  const CMetal copy(original);
  EXPECT_EQ(copy.name, original.name);
  EXPECT_EQ(copy.family, original.family);
  EXPECT_EQ(copy.form, original.form);
  EXPECT_EQ(copy.temper, original.temper);
  EXPECT_EQ(copy.size, original.size);
  EXPECT_EQ(copy.spec, original.spec);
  EXPECT_EQ(copy.units, original.units);
  EXPECT_EQ(copy.uns, original.uns);
  EXPECT_EQ(copy.isotropic, true);
  EXPECT_EQ(copy.E(), 10.4e6);
  EXPECT_EQ(copy.nu(), 0.33);
  EXPECT_EQ(copy.density(), 0.101);
  EXPECT_EQ(copy.Fcu_L, 82000);
  EXPECT_EQ(copy.Fcu_LT, 81000);
  EXPECT_EQ(copy.Fsy_LT, 39000);
  EXPECT_EQ(copy.Fbru15, 118000);
  EXPECT_EQ(copy.Fbry20, 114000);
  EXPECT_EQ(copy.thickness, 0.375);
  EXPECT_EQ(copy.alpha, original.alpha);
  EXPECT_EQ(copy.nYield, original.nYield);
  EXPECT_EQ(copy.nUltimate, original.nUltimate);
  EXPECT_EQ(copy.maxTensileStrain, 0.07);
  EXPECT_EQ(copy.maxCompressionStrain, 0.08);
  EXPECT_EQ(copy.valid(), 1);
  EXPECT_EQ(copy.extra1, 2.5);
  EXPECT_EQ(copy.extra2, 3.5);
  // The colour is a copy of its own.
  ASSERT_NE(copy.colour, nullptr);
  EXPECT_NE(copy.colour.get(), original.colour.get());
  EXPECT_EQ(copy.colour->diffuse.blue, 0.3f);
  // And so the plastic results agree.
  for (bool tension : {true, false})
    for (bool longitudinal : {true, false})
      EXPECT_EQ(copy.plasticUltimateStrain(tension, longitudinal),
                original.plasticUltimateStrain(tension, longitudinal));
}

TEST(Materials, UnitConversionRoundTrip) {
  CMetal m = fullySetMetal();
  m.Fsu_LT = kUnset;
  m.convertSIcmToUSCSin();
  // kPa to psi, g/cm^3 to lb/in^3, cm to in.
  EXPECT_EQ(m.E(), 10.4e6 * 0.14503773773);
  EXPECT_EQ(m.Ftu_LT, 77000 * 0.14503773773);
  EXPECT_EQ(m.Fbry20, 114000 * 0.14503773773);
  EXPECT_EQ(m.density(), 0.101 * 0.03612729);
  EXPECT_NEAR(m.thickness, 0.375 / 2.54, 1e-15);
  EXPECT_EQ(m.Fsu_LT, kUnset);
  EXPECT_EQ(m.nu(), 0.33);
  EXPECT_EQ(m.alpha[0], 0.002);

  m.convertUSCSinToSIcm();
  const CMetal before = fullySetMetal();
  EXPECT_NEAR(m.E(), before.E(), 1e-12 * before.E());
  EXPECT_NEAR(m.G, before.G, 1e-12 * before.G);
  EXPECT_NEAR(m.Fcy_LT, before.Fcy_LT, 1e-12 * before.Fcy_LT);
  EXPECT_NEAR(m.Fbru15, before.Fbru15, 1e-12 * before.Fbru15);
  // The two density factors are not exact inverses.
  EXPECT_NEAR(m.density(), before.density(), 7e-6 * before.density());
  // Inches go back to centimetres (2.54 cm per inch).
  EXPECT_NEAR(m.thickness, 0.375, 1e-15);
  EXPECT_EQ(m.Fsu_LT, kUnset);
}

TEST(Materials, UnsetValuesStayUnset) {
  CMetal m;
  m.convertSIcmToUSCSin();
  EXPECT_EQ(m.E(), kUnset);
  EXPECT_EQ(m.density(), kUnset);
  EXPECT_EQ(m.Fbru20, kUnset);
  m.convertUSCSinToSIcm();
  EXPECT_EQ(m.E(), kUnset);
  EXPECT_EQ(m.Ftu_LT, kUnset);
  EXPECT_EQ(m.thickness, 0.0);
}

TEST(Materials, DefaultRecordBytes) {
  CMetal m;
  const Bytes bytes = stored([&](CArchive& ar) { m.write(ar); });
  ASSERT_EQ(bytes.size(), 379u);

  const Bytes empty = wideText(u"");
  const Bytes unset = raw(kUnset);
  Bytes expected;
  for (int i = 0; i < 8; ++i) expected = concat({expected, empty});
  for (int i = 0; i < 10; ++i) expected = concat({expected, unset});  // E G nu density, L block
  expected = concat({expected, raw(0), unset});                        // valid, Ec
  for (int i = 0; i < 6; ++i) expected = concat({expected, unset});   // LT block
  expected = concat({expected, raw(0)});                               // valid again
  // The colour: a new class tag (schema 1, "LightProperties"), then the
  // sixteen default values.
  expected = concat({expected, {0xFF, 0xFF, 0x01, 0x00, 0x0F, 0x00}});
  for (char ch : std::string("LightProperties")) expected.push_back(static_cast<BYTE>(ch));
  for (float f : {0.3f, 0.3f, 0.3f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 80.0f,
                  50.0f})
    expected = concat({expected, raw(f)});
  expected = concat({expected, raw(0x2101), raw(0)});
  for (int i = 0; i < 11; ++i) expected = concat({expected, raw(101010101.0)});
  expected = concat({expected, raw(1010101), wideText(u"DummyString")});
  EXPECT_EQ(bytes, expected);

  CMetal back;
  back.colour->diffuse.red = 0.9f;
  loaded(bytes, [&](CArchive& ar) { back.read(ar); });
  EXPECT_EQ(back.E(), kUnset);
  ASSERT_NE(back.colour, nullptr);
  expectDefaultColour(*back.colour);
}

TEST(Materials, RecordRoundTrip) {
  CMetal m = fullySetMetal();
  const Bytes bytes = stored([&](CArchive& ar) { m.write(ar); });
  // The eight texts lead in their stored order: name, family, form, spec,
  // UNS, temper, size, units.
  const Bytes texts = concat({wideText(u"7075-T6"), wideText(u"Aluminium"), wideText(u"Extrusion"),
                              wideText(u"AMS-QQ-A-200/11"), wideText(u"A97075"), wideText(u"T6"),
                              wideText(u"0.25-0.5"), wideText(u"USCSin")});
  ASSERT_GE(bytes.size(), texts.size());
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + texts.size()), texts);

  CMetal back;
  loaded(bytes, [&](CArchive& ar) { back.read(ar); });
  EXPECT_EQ(back.name, m.name);
  EXPECT_EQ(back.family, m.family);
  EXPECT_EQ(back.form, m.form);
  EXPECT_EQ(back.temper, m.temper);
  EXPECT_EQ(back.size, m.size);
  EXPECT_EQ(back.spec, m.spec);
  EXPECT_EQ(back.units, m.units);
  EXPECT_EQ(back.uns, m.uns);
  EXPECT_EQ(back.E(), m.E());
  EXPECT_EQ(back.G, m.G);
  EXPECT_EQ(back.nu(), m.nu());
  EXPECT_EQ(back.density(), m.density());
  EXPECT_EQ(back.Ec, m.Ec);
  const double CMetal::*allowables[] = {&CMetal::Fsy_L,  &CMetal::Fcy_L,  &CMetal::Fty_L,
                                        &CMetal::Fsu_L,  &CMetal::Fcu_L,  &CMetal::Ftu_L,
                                        &CMetal::Fsy_LT, &CMetal::Fcy_LT, &CMetal::Fty_LT,
                                        &CMetal::Fsu_LT, &CMetal::Fcu_LT, &CMetal::Ftu_LT};
  for (auto member : allowables) EXPECT_EQ(back.*member, m.*member);
  EXPECT_EQ(back.valid(), 1);
  // Not part of the record: the reader keeps its own.
  EXPECT_EQ(back.thickness, 0.0);
  EXPECT_EQ(back.Fbru15, kUnset);
  expectDefaultColour(*back.colour);
}

TEST(Materials, CreatedByClassNameFromAnArchive) {
  CMetal m = fullySetMetal();
  const Bytes bytes = stored([&](CArchive& ar) { ar << &m; });
  CMetal* read = nullptr;
  loaded(bytes, [&](CArchive& ar) { ar >> read; });
  const std::unique_ptr<CMetal> owned(read);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->name, L"7075-T6");
  EXPECT_EQ(read->Ftu_LT, 77000);
  EXPECT_EQ(read->extra1, -1000.0);
  ASSERT_NE(read->colour, nullptr);
  expectDefaultColour(*read->colour);
}

TEST(Materials, TruncatedRecordFails) {
  CMetal m;
  Bytes bytes = stored([&](CArchive& ar) { m.write(ar); });
  bytes.erase(bytes.end() - 5, bytes.end());
  CMetal back;
  EXPECT_THROW(loaded(bytes, [&](CArchive& ar) { back.read(ar); }), CArchiveException);
}
