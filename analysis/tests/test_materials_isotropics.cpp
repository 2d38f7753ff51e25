// The isotropic-materials record set over an SQLite data source: the bound
// columns, the unit conversion of each fetched row and the record count.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "analysis/model/CIsotropicsSet.h"
#include "analysis/model/CModel.h"
#include "analysis/model/Globals.h"
#include "platform/tests/SqlTestSupport.h"
#include "test_materials_support.h"

using namespace mattest;

namespace {

// A temporary home in which the data source "QuenholtDatabase" is the file
// QuenholtDatabase.sqlite, named by the current model's database label.
class MaterialsIsotropics : public ::testing::Test {
 protected:
  void SetUp() override {
    runSql(file,
           "CREATE TABLE tblIsotropics (Name TEXT, Alloy TEXT, Editable INTEGER, E REAL, G REAL, "
           "v REAL, Ftu REAL, Fty REAL, Fcy REAL, Fcu REAL, Fsy REAL, Fsu REAL, Ftg REAL, t REAL, "
           "Density REAL, Red REAL, Green REAL, Blue REAL)");
    // Columns: Name, Alloy, Editable, E, G, v, Ftu, Fty, Fcy, Fcu, Fsy, Fsu,
    // Ftg, t, Density, Red, Green, Blue.
    runSql(file,
           "INSERT INTO tblIsotropics VALUES "
           "('6061', 'Al', 1, 70, 26, 0.33, 310, 250, 240, 320, 150, 200, 5, 0.5, 2.7, 0.1, 0.2, 0.3),"
           "('none', 'Al', 0, -99999, -99999, -99999, -99999, -99999, -99999, -99999, -99999, "
           "-99999, -99999, -99999, -99999, 0, 0, 0),"
           "('steel', 'Fe', 1, 200, 80, 0.29, 400, 300, 300, 400, 170, 240, 0, 1, 7.85, 0, 0, 1)");
    model.unitLabels[kDatabaseNameLabel] = L"QuenholtDatabase";
  }

  GlobalsGuard globals;
  TempFolder home;
  ScopedEnv homeEnv{"HOME", home.path().string()};
  ScopedEnv configEnv{"XDG_CONFIG_HOME", (home.path() / "config").string()};
  fs::path file = home.path() / "QuenholtDatabase.sqlite";
  CModel model;
};

}  // namespace

TEST_F(MaterialsIsotropics, DefaultsAndConnection) {
  CIsotropicsSet set;
  EXPECT_EQ(set.m_nFields, 18u);
  EXPECT_EQ(set.GetDefaultSQL(), L"[tblIsotropics]");
  EXPECT_EQ(set.GetDefaultConnect(), L"ODBC;DSN=QuenholtDatabase");
  EXPECT_TRUE(set.m_Editable);
  EXPECT_EQ(set.m_E, -1.0);
  EXPECT_EQ(set.m_Density, -1.0);
  EXPECT_EQ(set.m_Ftu, 0.0);
  EXPECT_EQ(set.m_Green, 1.0);
  EXPECT_EQ(set.count(), 0);  // not open: the first move fails
}

TEST_F(MaterialsIsotropics, USCustomaryRowsComeOutInPsi) {
  gUnitSystem = USCS;
  CIsotropicsSet set;
  set.Open();
  ASSERT_FALSE(set.IsEOF());
  EXPECT_EQ(set.m_Name, L"6061");
  EXPECT_EQ(set.m_Alloy, L"Al");
  // 70 GPa / 6.89475728e-6 and 250 MPa / 6.89475728e-6 / 1000.
  EXPECT_NEAR(set.m_E, 10152641.66, 0.01);
  EXPECT_NEAR(set.m_Fty, 36259.43, 0.01);
  EXPECT_NEAR(set.m_Ftu, 310 / 6.89475728e-6 / 1000, 1e-6);
  EXPECT_NEAR(set.m_Density, 2.7 * 0.03612729, 1e-15);
  // Not converted.
  EXPECT_EQ(set.m_v, 0.33);
  EXPECT_EQ(set.m_Ftg, 5.0);
  EXPECT_EQ(set.m_t, 0.5);
  EXPECT_EQ(set.m_Blue, 0.3);

  set.MoveNext();
  EXPECT_EQ(set.m_Name, L"none");
  EXPECT_EQ(set.m_E, -99999.0);
  EXPECT_EQ(set.m_Fty, -99999.0);
  EXPECT_EQ(set.m_Density, -99999.0);
  EXPECT_FALSE(set.m_Editable);

  EXPECT_EQ(set.count(), 3);
}

TEST_F(MaterialsIsotropics, SIRowsComeOutInPascal) {
  gUnitSystem = SI;
  CIsotropicsSet set;
  set.Open();
  EXPECT_EQ(set.m_E, 70e9);
  EXPECT_EQ(set.m_G, 26e9);
  EXPECT_EQ(set.m_Fcy, 240e6);
  EXPECT_EQ(set.m_Fsu, 200e6);
  EXPECT_EQ(set.m_Density, 2.7);
  set.MoveNext();
  EXPECT_EQ(set.m_Fty, -99999.0);
  EXPECT_EQ(set.m_Fcu, -99999.0);
}

TEST_F(MaterialsIsotropics, UndecidedUnitsConvertNothing) {
  gUnitSystem = static_cast<EUnitSystem>(2);
  CIsotropicsSet set;
  set.Open();
  EXPECT_EQ(set.m_E, 70.0);
  EXPECT_EQ(set.m_Fty, 250.0);
}

TEST_F(MaterialsIsotropics, CountOfAnEmptyTableIsZero) {
  runSql(file, "DELETE FROM tblIsotropics");
  CIsotropicsSet set;
  set.Open();
  EXPECT_EQ(set.count(), 0);
}
