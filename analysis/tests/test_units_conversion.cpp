// Unit conversion, the unit-system query and the unit dialog's OK rule.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/model/Globals.h"
#include "analysis/model/Units.h"
#include "platform/core/Hooks.h"

namespace {

double converted(double v, Unit from, Unit to) {
  unitChange(&v, from, to);
  return v;
}

// Restores the process-wide unit system after a test changes it.
class UnitsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = gUnitSystem;
    Hooks::reset();
  }
  void TearDown() override {
    gUnitSystem = saved_;
    Hooks::reset();
  }
  EUnitSystem saved_ = SI;
};

}  // namespace

TEST(UnitsConversion, KnownFactors) {
  struct Case {
    double v;
    Unit from, to;
    double expected;
  };
  // Values from the definitions of the units, not from the code.
  const Case cases[] = {
      {2.54, cm, inch, 1.0},
      {1.0, inch, mm, 25.4},
      {1.0, inch, m, 0.0254},
      {1.0, m, mm, 1000.0},
      {254.0, mm, inch, 10.0},
      {1.0, inch, microInch, 1e6},
      {1.0, psi, Pa, 6894.75728},
      {1.0, MPa, psi, 145.037738},
      {1.0, GPa, psi, 145037.738},
      {1.0, kPa, psi, 0.14503773773},
      {2e6, Pa, MPa, 2.0},
      {3.0, kPa, Pa, 3000.0},
      {1.0, lbf, N, 4.448222},
      {1.0, lbf, kgf, 0.4535924092325},
      {2500.0, lbf, kip, 2.5},
      {3.0, megaPound, lbf, 3e6},
      {1.0, lbPerIn3, gPerCm3, 27.6801},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(converted(c.v, c.from, c.to), c.expected, 1e-8 * std::fabs(c.expected))
        << c.v << " from " << c.from << " to " << c.to;
  EXPECT_EQ(converted(2.54, cm, inch), 1.0);
  EXPECT_EQ(converted(1.0, inch, mm), 25.4);
}

TEST(UnitsConversion, UnlistedPairsGiveMinusOne) {
  EXPECT_EQ(converted(5.0, Pa, Pa), -1.0);
  EXPECT_EQ(converted(5.0, inch, cm), -1.0);  // only cm -> inch is listed
  EXPECT_EQ(converted(5.0, psi, lbf), -1.0);
  EXPECT_EQ(converted(5.0, static_cast<Unit>(10), inch), -1.0);
  EXPECT_EQ(converted(5.0, mm, static_cast<Unit>(16)), -1.0);
  EXPECT_EQ(converted(5.0, static_cast<Unit>(-1), inch), -1.0);
}

// Every pair listed in both directions must undo itself: catches a factor
// written in the wrong direction or with a wrong digit.
TEST(UnitsConversion, ListedPairsAreInverses) {
  int pairs = 0;
  for (int a = 0; a <= 18; ++a) {
    for (int b = 0; b <= 18; ++b) {
      const double there = converted(1.0, static_cast<Unit>(a), static_cast<Unit>(b));
      const double back = converted(1.0, static_cast<Unit>(b), static_cast<Unit>(a));
      if (there == -1.0 || back == -1.0) continue;
      ++pairs;
      EXPECT_NEAR(there * back, 1.0, 1e-5) << a << " <-> " << b;
    }
  }
  EXPECT_GT(pairs, 0);
}

TEST(UnitsConversion, NoValueMarkerIsLeftAlone) {
  // Values that truncate to -99999 stay; the next integer towards zero is a value.
  for (double v : {-99999.0, -99999.5, -99999.999}) {
    EXPECT_EQ(converted(v, cm, inch), v) << v;
    EXPECT_EQ(converted(v, Pa, Pa), v) << v;  // even for an unlisted pair
  }
  EXPECT_DOUBLE_EQ(converted(-99998.5, cm, inch), -99998.5 / 2.54);
  EXPECT_DOUBLE_EQ(converted(-100000.0, cm, inch), -100000.0 / 2.54);
  // Far outside the int range: converted, with no undefined truncation.
  EXPECT_DOUBLE_EQ(converted(-1e300, inch, mm), -2.54e301);
  EXPECT_DOUBLE_EQ(converted(1e20, m, mm), 1e23);
}

TEST_F(UnitsDialog, ChoiceIsOnlyReturned) {
  EXPECT_EQ(kUnitsDialogInitial, 1);  // opens with "USCS (in,lbf)"
  // The opener decides what the choice changes: gUnitSystem stays.
  gUnitSystem = SI;
  EXPECT_TRUE(unitsDialogOK(1));
  EXPECT_EQ(gUnitSystem, SI);
  gUnitSystem = USCS;
  EXPECT_TRUE(unitsDialogOK(0));
  EXPECT_EQ(gUnitSystem, USCS);
  EXPECT_TRUE(Hooks::messageBoxes().empty());
}

TEST_F(UnitsDialog, NoChoiceKeepsTheDialogOpen) {
  gUnitSystem = USCS;
  EXPECT_FALSE(unitsDialogOK(-1));
  EXPECT_EQ(gUnitSystem, USCS);
  ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
  const MessageBoxCall& box = Hooks::messageBoxes().front();
  EXPECT_EQ(box.text, CString(L"Selection is required"));
  EXPECT_EQ(box.caption, CString(L"Units Selection"));
  EXPECT_EQ(box.type & MB_ICONMASK, MB_ICONINFORMATION);
}

TEST_F(UnitsDialog, IsUSCSFollowsTheGlobal) {
  gUnitSystem = static_cast<EUnitSystem>(2);  // undecided
  EXPECT_EQ(isUSCS(), 0);
  gUnitSystem = USCS;
  EXPECT_EQ(isUSCS(), 1);
}
