// The section-property record set: defaults, the connect text, the 66
// columns in their binding order, and a row written and read back in SQLite.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "analysis/model/CModel.h"
#include "analysis/model/Globals.h"
#include "analysis/tests/test_materials_support.h"
#include "drevoline/section/CScnPrpSet.h"
#include "platform/sqldb/CDatabase.h"

using namespace mattest;

namespace {

// The double columns of the table in binding order.
const char* const kDoubleColumns[63] = {
    "Area",   "MArea",  "EArea",  "CGxA",    "CGyA",    "CGxM",    "CGyM",    "CGxE",  "CGyE",  "Pang",
    "MPang",  "EPang",  "CellCount", "Sx",   "Sy",      "MSx",     "MSy",     "ESx",   "ESy",   "ESxp",
    "ESyp",   "IxxCA",  "IxyCA",  "IyyCA",   "IxxCM",   "IxyCM",   "IyyCM",   "IxxCE", "IxyCE", "IyyCE",
    "IxxGA",  "IxyGA",  "IyyGA",  "IxxGM",   "IxyGM",   "IyyGM",   "IxxGE",   "IxyGE", "IyyGE", "Dxx",
    "Dxy",    "Dyy",    "Nxp",    "Nyp",     "ESCxJon", "ESCyJon", "ESCxAlf", "ESCyAlf", "JJon", "GJJon",
    "JAlf",   "GJAlf",  "RpA",    "RxA",     "RyA",     "RpM",     "RxM",     "RyM",   "RpE",   "RxE",
    "RyE",    "WJon",   "WAlf",
};

}  // namespace

TEST(ScnPrpSet, DefaultsConnectTextAndColumns) {
  CModel model;
  model.unitLabels[kDatabaseNameLabel] = L"QuenholtDatabase";
  CScnPrpSet set;
  EXPECT_EQ(set.m_Description, CString(L"No Description"));
  EXPECT_TRUE(set.m_Name.IsEmpty());
  EXPECT_TRUE(set.m_Units.IsEmpty());
  EXPECT_EQ(set.m_Area, 0.0);
  EXPECT_EQ(set.m_WAlf, 0.0);
  EXPECT_EQ(set.m_nFields, 66u);
  EXPECT_EQ(set.GetDefaultConnect(), CString(L"ODBC; DSN=QuenholtDatabase"));
  EXPECT_EQ(set.GetDefaultSQL(), CString(L"[tblSectionProperties]"));
  EXPECT_STREQ(set.GetRuntimeClass()->m_lpszClassName, "CScnPrpSet");
  EXPECT_FALSE(set.GetRuntimeClass()->IsSerializable());
  for (int i = 0; i < 63; ++i)
    EXPECT_EQ(CString(CScnPrpSet::kDoubleColumns[i].column), CString(("[" + std::string(kDoubleColumns[i]) + "]").c_str()))
        << i;
}

TEST(ScnPrpSet, ARowIsWrittenAndReadBack) {
  // A temporary home in which the data source "Props" is Props.sqlite.
  TempFolder home;
  ScopedEnv homeEnv{"HOME", home.path().string()};
  ScopedEnv configEnv{"XDG_CONFIG_HOME", (home.path() / "config").string()};
  const fs::path file = home.path() / "Props.sqlite";
  std::string sql = "CREATE TABLE tblSectionProperties (Name TEXT, Description TEXT, Units TEXT";
  for (const char* c : kDoubleColumns)
    sql += std::string(", ") + c + " REAL";
  sql += ")";
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);

  CDatabase database;
  ASSERT_TRUE(database.OpenEx(L"ODBC; DSN=Props"));
  {
    CScnPrpSet set(&database);
    set.Open();
    set.AddNew();
    set.m_Name = L"I-beam";
    set.m_Units = L"in";
    int i = 0;
    for (const auto& c : CScnPrpSet::kDoubleColumns)
      set.*c.member = ++i;
    ASSERT_TRUE(set.Update());
  }
  {
    CScnPrpSet set(&database);
    set.Open();
    ASSERT_FALSE(set.IsEOF());
    EXPECT_EQ(set.m_Name, CString(L"I-beam"));
    EXPECT_EQ(set.m_Units, CString(L"in"));
    EXPECT_EQ(set.m_Description, CString(L""));  // AddNew clears every member
    // Column k of the table holds k + 1 for the doubles' binding order.
    EXPECT_EQ(set.m_Area, 1.0);
    EXPECT_EQ(set.m_IxxCM, 25.0);
    EXPECT_EQ(set.m_IxxCE, 28.0);
    EXPECT_EQ(set.m_IxxGM, 34.0);
    EXPECT_EQ(set.m_WAlf, 63.0);
  }
  // The columns by name, independently of the set's binding.
  ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  sqlite3_stmt* st = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT IxxCM, IxxCE, GJAlf FROM tblSectionProperties", -1, &st, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_double(st, 0), 25.0);
  EXPECT_EQ(sqlite3_column_double(st, 1), 28.0);
  EXPECT_EQ(sqlite3_column_double(st, 2), 52.0);
  sqlite3_finalize(st);
  sqlite3_close(db);
  database.Close();
}
