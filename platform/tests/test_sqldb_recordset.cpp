// Record sets over SQLite data sources: a connect text names a data source,
// a bracketed table name becomes a SELECT of the bound columns, and records
// are read, added, changed and deleted through the bound members.
#include "platform/core/Settings.h"
#include "platform/sqldb/CRecordset.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/tests/SqlTestSupport.h"

#include <array>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Points an environment variable elsewhere for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};


fs::path makeTempFolder()
{
    std::string pattern = (fs::temp_directory_path() / "sqldb-rs-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    return pattern;
}

// A temporary home and settings folder, so that data sources resolve there.
class SqlRecordsetBase : public ::testing::Test {
protected:
    ~SqlRecordsetBase() override { fs::remove_all(home); }

    const fs::path home = makeTempFolder();
    ScopedEnv homeEnv{"HOME", home.string()};
    ScopedEnv configEnv{"XDG_CONFIG_HOME", (home / "config").string()};
};

// The isotropic materials table, bound as the model's record set binds it.
class IsotropicsSet : public CRecordset {
public:
    explicit IsotropicsSet(CString connect, CDatabase* db = nullptr) : CRecordset(db), connect_(connect)
    {
        m_nFields = 18;
    }
    CString GetDefaultConnect() override { return connect_; }
    CString GetDefaultSQL() override { return L"[tblIsotropics]"; }
    void DoFieldExchange(CFieldExchange* pFX) override
    {
        pFX->SetFieldType(CFieldExchange::outputColumn);
        RFX_Text(pFX, L"[Name]", name);
        RFX_Text(pFX, L"[Alloy]", alloy);
        RFX_Bool(pFX, L"[Editable]", editable);
        static const wchar_t* const columns[] = {L"[E]", L"[G]", L"[v]", L"[Ftu]", L"[Fty]", L"[Fcy]", L"[Fcu]",
            L"[Fsy]", L"[Fsu]", L"[Ftg]", L"[t]", L"[Density]", L"[Red]", L"[Green]", L"[Blue]"};
        for (std::size_t i = 0; i < values.size(); ++i) {
            RFX_Double(pFX, columns[i], values[i]);
        }
        // The fetched moduli, in GPa, converted once per fetch.
        if (pFX->m_nOperation == CFieldExchange::Fixup) {
            values[0] *= 1e9;
            values[1] *= 1e9;
        }
    }

    CString name, alloy;
    BOOL editable = TRUE;
    std::array<double, 15> values{};  // E, G, v, Ftu, Fty, Fcy, Fcu, Fsy, Fsu, Ftg, t, Density, Red, Green, Blue

private:
    CString connect_;
};

constexpr const char* kIsotropicsTable =
    "CREATE TABLE tblIsotropics (Name TEXT, Alloy TEXT, Editable INTEGER, E REAL, G REAL, v REAL, Ftu REAL,"
    " Fty REAL, Fcy REAL, Fcu REAL, Fsy REAL, Fsu REAL, Ftg REAL, t REAL, Density REAL, Red REAL, Green REAL,"
    " Blue REAL);"
    "INSERT INTO tblIsotropics VALUES"
    " ('2024-T3', 'Aluminum', 1, 73.1, 28, 0.33, 483, 345, 269, 483, 200, 283, 0, 0.063, 2.78, 0.5, 0.5, 0),"
    " ('Ti-6Al-4V', 'Titanium', 0, 113.8, 44, 0.342, 950, 880, 970, 1000, 550, 760, 0, 0.25, 4.43, 0.4, 0.4, 0.45),"
    // A row of another program: missing values and numbers stored as text.
    " ('A36', NULL, NULL, '200', 77.2, '0.26', 400, -99999, NULL, NULL, NULL, NULL, NULL, NULL, ' 7.85', 0, 1, 0);";

struct IsotropicRow {
    const wchar_t* name;
    const wchar_t* alloy;
    BOOL editable;
    std::array<double, 15> values;
};

const IsotropicRow kIsotropicRows[] = {
    {L"2024-T3", L"Aluminum", TRUE, {73.1, 28, 0.33, 483, 345, 269, 483, 200, 283, 0, 0.063, 2.78, 0.5, 0.5, 0}},
    {L"Ti-6Al-4V", L"Titanium", FALSE, {113.8, 44, 0.342, 950, 880, 970, 1000, 550, 760, 0, 0.25, 4.43, 0.4, 0.4, 0.45}},
    {L"A36", L"", FALSE, {200, 77.2, 0.26, 400, -99999, 0, 0, 0, 0, 0, 0, 7.85, 0, 1, 0}},
};

class SqlRecordset : public SqlRecordsetBase {};

TEST_F(SqlRecordset, ReadsEveryRowWithEitherConnectSpelling)
{
    runSql(home / "MaterialSource.sqlite", kIsotropicsTable);
    for (const wchar_t* connect : {L"ODBC;DSN=MaterialSource", L"ODBC; DSN=MaterialSource"}) {
        IsotropicsSet set(connect);
        ASSERT_TRUE(set.Open());
        std::size_t row = 0;
        for (; !set.IsEOF(); set.MoveNext(), ++row) {
            ASSERT_LT(row, std::size(kIsotropicRows));
            const IsotropicRow& expected = kIsotropicRows[row];
            EXPECT_EQ(set.name, expected.name);
            EXPECT_EQ(set.alloy, expected.alloy);
            EXPECT_EQ(set.editable, expected.editable);
            std::array<double, 15> converted = expected.values;
            converted[0] *= 1e9;
            converted[1] *= 1e9;
            EXPECT_EQ(set.values, converted) << "row " << row;
        }
        EXPECT_EQ(row, 3u);
        EXPECT_THROW(set.MoveNext(), CDBException);

        set.MoveFirst();
        EXPECT_EQ(set.name, L"2024-T3");
        set.Close();
        EXPECT_FALSE(set.IsOpen());
    }
}

TEST_F(SqlRecordset, DataSourceFromTheSettingsStore)
{
    const fs::path file = home / "elsewhere.db";
    runSql(file, kIsotropicsTable);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, L"Software\\ODBC\\ODBC.INI\\Isotropics", &key), ERROR_SUCCESS);
    ASSERT_EQ(RegSetString(key, L"Database", CString(file.wstring())), ERROR_SUCCESS);
    EXPECT_EQ(CDatabase::DataSourceFile(L"Isotropics"), CString(file.wstring()));

    CDatabase db;
    ASSERT_TRUE(db.OpenEx(L"ODBC; DSN=Isotropics"));
    IsotropicsSet set(L"unused", &db);
    set.Open();
    ASSERT_FALSE(set.IsEOF());
    EXPECT_EQ(set.name, L"2024-T3");
    set.Close();
    EXPECT_TRUE(db.IsOpen());  // the caller's connection stays open
}

TEST_F(SqlRecordset, ChangesAfterTheCallersConnectionClosedAreRefused)
{
    runSql(home / "MaterialSource.sqlite", kIsotropicsTable);
    CDatabase db;
    ASSERT_TRUE(db.OpenEx(L"ODBC;DSN=MaterialSource"));
    IsotropicsSet set(L"unused", &db);
    set.Open();
    db.Close();
    // The records read stay readable; a change has no connection to go to.
    set.MoveNext();
    EXPECT_EQ(set.name, L"Ti-6Al-4V");
    for (void (CRecordset::*change)() : {&CRecordset::Edit, &CRecordset::Delete, &CRecordset::AddNew}) {
        try {
            (set.*change)();
            ADD_FAILURE() << "a change without a connection was accepted";
        } catch (const CDBException& e) {
            EXPECT_EQ(e.m_strError, L"The database connection is closed.");
        }
    }
}

TEST_F(SqlRecordset, ConnectTextsAndDataSourcesThatFail)
{
    EXPECT_EQ(CDatabase::DataSourceName(L"ODBC;DSN=QuenholtDatabase"), L"QuenholtDatabase");
    EXPECT_EQ(CDatabase::DataSourceName(L"ODBC; DSN=QuenholtDatabase"), L"QuenholtDatabase");
    EXPECT_THROW(CDatabase::DataSourceName(L"ODBC;"), CDBException);

    // A data source names a file in a known place, never a path.
    EXPECT_THROW(CDatabase::DataSourceFile(L"../QuenholtDatabase"), CDBException);
    EXPECT_THROW(CDatabase::DataSourceFile(L""), CDBException);

    // A missing file is not created.
    IsotropicsSet missing(L"ODBC;DSN=NoSuchSource");
    EXPECT_THROW(missing.Open(), CDBException);
    EXPECT_FALSE(fs::exists(home / "NoSuchSource.sqlite"));
    EXPECT_FALSE(missing.IsOpen());

    // A file without the table.
    runSql(home / "Empty.sqlite", "CREATE TABLE other (x)");
    IsotropicsSet noTable(L"ODBC;DSN=Empty");
    EXPECT_THROW(noTable.Open(), CDBException);
}

TEST_F(SqlRecordset, EmptyTableHasNoFirstRecord)
{
    runSql(home / "Empty.sqlite", kIsotropicsTable);
    runSql(home / "Empty.sqlite", "DELETE FROM tblIsotropics");
    IsotropicsSet set(L"ODBC;DSN=Empty");
    set.Open();
    EXPECT_TRUE(set.IsEOF());
    EXPECT_THROW(set.MoveFirst(), CDBException);
    EXPECT_THROW(set.Edit(), CDBException);
}

TEST_F(SqlRecordset, FieldCountMustMatchTheBoundColumns)
{
    runSql(home / "MaterialSource.sqlite", kIsotropicsTable);
    IsotropicsSet set(L"ODBC;DSN=MaterialSource");
    set.m_nFields = 17;
    EXPECT_THROW(set.Open(), CDBException);
}

// The section-properties table: 3 texts and 63 doubles in binding order
// (the M triples before the E triples).
const std::array<const wchar_t*, 63> kPropertyColumns = {L"Area", L"MArea", L"EArea", L"CGxA", L"CGyA",
    L"CGxM", L"CGyM", L"CGxE", L"CGyE", L"Pang", L"MPang", L"EPang", L"CellCount", L"Sx", L"Sy", L"MSx", L"MSy",
    L"ESx", L"ESy", L"ESxp", L"ESyp", L"IxxCA", L"IxyCA", L"IyyCA", L"IxxCM", L"IxyCM", L"IyyCM", L"IxxCE",
    L"IxyCE", L"IyyCE", L"IxxGA", L"IxyGA", L"IyyGA", L"IxxGM", L"IxyGM", L"IyyGM", L"IxxGE", L"IxyGE", L"IyyGE",
    L"Dxx", L"Dxy", L"Dyy", L"Nxp", L"Nyp", L"ESCxJon", L"ESCyJon", L"ESCxAlf", L"ESCyAlf", L"JJon", L"GJJon",
    L"JAlf", L"GJAlf", L"RpA", L"RxA", L"RyA", L"RpM", L"RxM", L"RyM", L"RpE", L"RxE", L"RyE", L"WJon", L"WAlf"};

class SectionPropertiesSet : public CRecordset {
public:
    explicit SectionPropertiesSet(CDatabase* db = nullptr) : CRecordset(db), description(L"No Description")
    {
        m_nFields = 66;
    }
    CString GetDefaultConnect() override { return L"ODBC; DSN=QuenholtDatabase"; }
    CString GetDefaultSQL() override { return L"[tblSectionProperties]"; }
    void DoFieldExchange(CFieldExchange* pFX) override
    {
        pFX->SetFieldType(CFieldExchange::outputColumn);
        RFX_Text(pFX, L"[Name]", name, 255, SQL_VARCHAR, 0);
        RFX_Text(pFX, L"[Description]", description, 255, SQL_VARCHAR, 0);
        RFX_Text(pFX, L"[Units]", units, 255, SQL_VARCHAR, 0);
        for (std::size_t i = 0; i < values.size(); ++i) {
            RFX_Double(pFX, (L"[" + std::wstring(kPropertyColumns[i]) + L"]").c_str(), values[i]);
        }
    }

    CString name, description, units;
    std::array<double, 63> values{};
};

class SqlSectionRecordset : public SqlRecordsetBase {
protected:
    void SetUp() override
    {
        std::string sql = "CREATE TABLE tblSectionProperties (Name TEXT, Description TEXT, Units TEXT";
        for (const wchar_t* column : kPropertyColumns) {
            sql += ", " + std::string(column, column + std::wcslen(column)) + " REAL";
        }
        runSql(file, sql + ")");
    }

    // Distinct values, none exact in decimal, so a swapped column shows.
    static std::array<double, 63> sampleValues(double scale)
    {
        std::array<double, 63> values{};
        for (std::size_t i = 0; i < values.size(); ++i) {
            values[i] = scale * (i + 1) / 7.0;
        }
        return values;
    }

    fs::path file = home / "QuenholtDatabase.sqlite";
};

TEST_F(SqlSectionRecordset, AddsARecordAndReadsItBack)
{
    {
        SectionPropertiesSet set;
        EXPECT_EQ(set.description, L"No Description");
        set.Open();
        EXPECT_TRUE(set.IsEOF());
        set.AddNew();
        EXPECT_TRUE(set.description.IsEmpty());
        set.name = L"I-beam \u00e9";
        set.description = CString(std::wstring(255, L'd'));
        set.units = L"USCSin";
        set.values = sampleValues(1.0);
        EXPECT_TRUE(set.Update());
        EXPECT_TRUE(set.IsEOF());  // the set was past its end before the addition
        set.MoveFirst();
        EXPECT_EQ(set.name, L"I-beam \u00e9");
        EXPECT_EQ(set.values, sampleValues(1.0));
    }
    SectionPropertiesSet set;
    set.Open();
    ASSERT_FALSE(set.IsEOF());
    EXPECT_EQ(set.name, L"I-beam \u00e9");
    EXPECT_EQ(set.description, CString(std::wstring(255, L'd')));
    EXPECT_EQ(set.units, L"USCSin");
    EXPECT_EQ(set.values, sampleValues(1.0));
    set.MoveNext();
    EXPECT_TRUE(set.IsEOF());
}

TEST_F(SqlSectionRecordset, EditsAndDeletesTheCurrentRecord)
{
    runSql(file, "INSERT INTO tblSectionProperties (Name, Area) VALUES ('first', 1), ('second', 2), ('third', 3)");
    {
        SectionPropertiesSet set;
        set.Open();
        set.MoveNext();
        ASSERT_EQ(set.name, L"second");
        set.Edit();
        set.values = sampleValues(3.0);
        set.units = L"SIcm";
        EXPECT_TRUE(set.Update());

        // An addition joins the end and leaves the current record current.
        set.AddNew();
        set.name = L"fourth";
        EXPECT_TRUE(set.Update());
        EXPECT_EQ(set.name, L"second");

        set.MoveNext();
        EXPECT_EQ(set.name, L"third");
        set.Delete();
        EXPECT_THROW(set.Edit(), CDBException);
        set.MoveNext();
        EXPECT_EQ(set.name, L"fourth");
        set.MoveNext();
        EXPECT_TRUE(set.IsEOF());
    }
    SectionPropertiesSet set;
    set.Open();
    std::vector<std::wstring> names;
    for (; !set.IsEOF(); set.MoveNext()) {
        names.push_back(set.name.str());
        if (set.name == L"second") {
            EXPECT_EQ(set.values, sampleValues(3.0));
            EXPECT_EQ(set.units, L"SIcm");
        }
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{L"first", L"second", L"fourth"}));
}

TEST_F(SqlSectionRecordset, TextsBeyondTheBoundLengthAreRefused)
{
    SectionPropertiesSet set;
    set.Open();
    set.AddNew();
    set.name = CString(std::wstring(256, L'n'));
    EXPECT_THROW(set.Update(), CDBException);
    EXPECT_THROW(set.Update(), CDBException);  // nothing pending any more
    set.Close();

    runSql(file, "INSERT INTO tblSectionProperties (Name) VALUES ('" + std::string(256, 'n') + "')");
    // Reading a text longer than the bound length is refused as well.
    SectionPropertiesSet reader;
    EXPECT_THROW(reader.Open(), CDBException);
}

TEST_F(SqlSectionRecordset, QuerySetsAreReadOnly)
{
    runSql(file, "INSERT INTO tblSectionProperties (Name, Area) VALUES ('only', 4)");
    SectionPropertiesSet set;
    std::wstring sql = L"SELECT Name, Description, Units";
    for (const wchar_t* column : kPropertyColumns) {
        sql += L", " + std::wstring(column);
    }
    set.Open(CRecordset::snapshot, (sql + L" FROM tblSectionProperties").c_str());
    EXPECT_EQ(set.name, L"only");
    EXPECT_EQ(set.values[0], 4.0);
    EXPECT_THROW(set.AddNew(), CDBException);
    EXPECT_THROW(set.Delete(), CDBException);
}

}  // namespace
