// The database service over SQLite: the material database's calls round-trip
// metals exactly and refuse texts that do not fit the callers' buffers; the
// shape calls run the caller's queries and read numbers stored as text.
#include "platform/sqldb/CSQLDatabase.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/tests/SqlTestSupport.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>

namespace fs = std::filesystem;

namespace {

// A folder of its own under the system's temporary folder, removed afterwards.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "sqldb-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            throw std::runtime_error("mkdtemp failed");
        }
        path_ = pattern;
    }
    ~TempFolder() { fs::remove_all(path_); }
    fs::path operator/(const char* name) const { return path_ / name; }

private:
    fs::path path_;
};


struct Metal {
    std::array<std::wstring, 8> texts;  // name, family, form, temper, size, spec, units, UNS
    bool isotropic = false;
    std::array<double, 37> values{};
};

template <std::size_t... I>
bool addMetal(CSQLDatabase& db, const Metal& m, std::index_sequence<I...>)
{
    const auto& t = m.texts;
    return db.addMetal(t[0].c_str(), t[1].c_str(), t[2].c_str(), t[3].c_str(), t[4].c_str(),
        t[5].c_str(), t[6].c_str(), t[7].c_str(), m.isotropic, m.values[I]...);
}

bool addMetal(CSQLDatabase& db, const Metal& m)
{
    return addMetal(db, m, std::make_index_sequence<37>());
}

template <std::size_t... I>
bool editMetal(CSQLDatabase& db, const Metal& m, std::index_sequence<I...>)
{
    const auto& t = m.texts;
    return db.editMetal(t[0].c_str(), t[1].c_str(), t[2].c_str(), t[3].c_str(), t[4].c_str(),
        t[5].c_str(), t[6].c_str(), t[7].c_str(), m.isotropic, m.values[I]...);
}

// Output buffers of exactly the callers' capacities.
struct MetalBuffers {
    wchar_t name[120] = {};
    wchar_t family[50] = {};
    wchar_t form[50] = {};
    wchar_t temper[20] = {};
    wchar_t size[50] = {};
    wchar_t spec[120] = {};
    wchar_t units[10] = {};
    wchar_t uns[50] = {};
    bool isotropic = false;
    std::array<double, 37> values{};

    explicit MetalBuffers(const std::wstring& key) { key.copy(name, key.size()); }
    Metal metal() const
    {
        return {{name, family, form, temper, size, spec, units, uns}, isotropic, values};
    }
};

template <std::size_t... I>
bool getMetal(CSQLDatabase& db, MetalBuffers& b, std::index_sequence<I...>)
{
    return db.getMetal(b.name, b.family, b.form, b.temper, b.size, b.spec, b.units, b.uns,
        &b.isotropic, &b.values[I]...);
}

bool getMetal(CSQLDatabase& db, MetalBuffers& b)
{
    return getMetal(db, b, std::make_index_sequence<37>());
}

// The default aluminium of a new database, in the order of the add call.
Metal aluminium()
{
    return {{L"Aluminum Default", L"Aluminum Alloys", L"Clad Sheet", L"T3", L"", L"AMS-QQ-A-250/5",
                L"USCSin", L"A92024"},
        false,
        {10000000, 10200000, 0.101, -1, 62000, 62000, 45000, 45000, 37000, 37000, 62000, 62000, 40000,
            40000, 0.33, 4000000, 105000, 131000, 75000, 90000, 0.5, 0.5, 0, 0.002, 0.002, 0.002, 0.002,
            50, 50, 13, 13, 12.6969847, 12.6969847, 7.8824039, 7.8824039, 0.12, -0.12}};
}

Metal steel()
{
    return {{L"Steel Default", L"Steel Alloys", L"Strip", L"", L"", L"AMS-5046, Type 2", L"USCSin",
                L"A92024"},
        false,
        {2.85e7, 2.92e7, 0.283, -1, 170000, 170000, 155000, 155000, 155000, 155000, 170000, 170000,
            156000, 156000, 0.32, 11000000, 347000, 440000, 312000, 346000, 0, 0.5, 0.7, 0.002, 0.002,
            0.002, 0.002, 13, 13, 13, 13, 32.430709, 32.430709, 32.430709, 32.430709, 0.02, -0.02}};
}

// A metal whose 37 numbers all differ (so a swapped column shows) and include
// values that a lossy store changes: -0, the smallest subnormal, infinity, a
// NaN with a payload and the largest double.
Metal exoticMetal()
{
    Metal m{{L"Ti-6Al-4V \u00e5\u03b2", L"Titanium", L"Plate", std::wstring(19, L'T'), L"1.5\u2033",
                L"AMS 4911 \"annealed\"", L"SIcm", L"R56400"},
        true,
        {}};
    for (int i = 0; i < 37; ++i) {
        m.values[i] = 1.0 / (i + 3);
    }
    m.values[3] = -0.0;
    m.values[20] = std::numeric_limits<double>::denorm_min();
    m.values[21] = std::numeric_limits<double>::infinity();
    m.values[22] = std::bit_cast<double>(std::uint64_t{0x7FF8000000000123});
    m.values[36] = -std::numeric_limits<double>::max();
    return m;
}

void expectSameMetal(const Metal& expected, const Metal& actual)
{
    EXPECT_EQ(expected.texts, actual.texts);
    EXPECT_EQ(expected.isotropic, actual.isotropic);
    for (int i = 0; i < 37; ++i) {
        EXPECT_EQ(std::bit_cast<std::uint64_t>(expected.values[i]), std::bit_cast<std::uint64_t>(actual.values[i]))
            << "value " << i;
    }
}

class SqlDatabase : public ::testing::Test {
protected:
    // A new material database with both tables.
    fs::path createMaterialDatabase()
    {
        const fs::path file = folder / "Quenholt.sqldb";
        CSQLDatabase db(file.wstring());
        db.createDatabase(file.wstring());
        db.createMetalTable();
        db.createControlsTable();
        return file;
    }

    TempFolder folder;
};

TEST_F(SqlDatabase, MetalsRoundTripBitForBit)
{
    const fs::path file = createMaterialDatabase();
    CSQLDatabase db(file.wstring());
    db.connect();
    const Metal exotic = exoticMetal();
    ASSERT_TRUE(addMetal(db, aluminium()));
    ASSERT_TRUE(addMetal(db, exotic));
    db.close();

    CSQLDatabase again(file.wstring());
    again.connect();
    for (const Metal& m : {aluminium(), exotic}) {
        MetalBuffers buffers(m.texts[0]);
        ASSERT_TRUE(getMetal(again, buffers));
        expectSameMetal(m, buffers.metal());
    }
    EXPECT_TRUE(again.matlExists(exotic.texts[0]));
    EXPECT_FALSE(again.matlExists(L"Ti-6Al-4V"));

    MetalBuffers missing(L"Unobtainium");
    missing.values[0] = 7.0;
    EXPECT_FALSE(getMetal(again, missing));
    EXPECT_EQ(missing.values[0], 7.0);
}

TEST_F(SqlDatabase, AddRefusesADuplicateNameAndEditReplaces)
{
    CSQLDatabase db(createMaterialDatabase().wstring());
    db.connect();
    ASSERT_TRUE(addMetal(db, aluminium()));

    Metal changed = exoticMetal();
    changed.texts[0] = L"Aluminum Default";
    EXPECT_FALSE(addMetal(db, changed));
    MetalBuffers unchanged(L"Aluminum Default");
    ASSERT_TRUE(getMetal(db, unchanged));
    expectSameMetal(aluminium(), unchanged.metal());

    EXPECT_TRUE(editMetal(db, changed, std::make_index_sequence<37>()));
    MetalBuffers edited(L"Aluminum Default");
    ASSERT_TRUE(getMetal(db, edited));
    expectSameMetal(changed, edited.metal());

    EXPECT_FALSE(editMetal(db, steel(), std::make_index_sequence<37>()));
    EXPECT_FALSE(db.matlExists(L"Steel Default"));
}

TEST_F(SqlDatabase, ControlsLockAMaterial)
{
    CSQLDatabase db(createMaterialDatabase().wstring());
    db.connect();
    ASSERT_TRUE(addMetal(db, steel()));
    EXPECT_TRUE(db.IsEditable(L"Steel Default"));
    db.UpdateControls(L"Steel Default", L"jdoe", true);
    EXPECT_FALSE(db.IsEditable(L"Steel Default"));
    EXPECT_TRUE(db.IsEditable(L"Aluminum Default"));
    db.UpdateControls(L"Steel Default", L"jdoe", false);
    EXPECT_TRUE(db.IsEditable(L"Steel Default"));

    // Deleting a material forgets its lock with it.
    db.UpdateControls(L"Steel Default", L"jdoe", true);
    EXPECT_TRUE(db.deleteMaterial("Steel Default"));
    EXPECT_FALSE(db.deleteMaterial("Steel Default"));
    EXPECT_FALSE(db.matlExists(L"Steel Default"));
    EXPECT_TRUE(db.IsEditable(L"Steel Default"));
}

TEST_F(SqlDatabase, DeleteMaterialTakesAUtf8Name)
{
    CSQLDatabase db(createMaterialDatabase().wstring());
    db.connect();
    const Metal exotic = exoticMetal();
    ASSERT_TRUE(addMetal(db, exotic));
    ASSERT_TRUE(addMetal(db, steel()));
    EXPECT_TRUE(db.deleteMaterial("Ti-6Al-4V \xC3\xA5\xCE\xB2"));
    EXPECT_FALSE(db.matlExists(exotic.texts[0]));
    EXPECT_TRUE(db.matlExists(L"Steel Default"));
}

TEST_F(SqlDatabase, CreateSimilarCopiesUnderANewName)
{
    CSQLDatabase db(createMaterialDatabase().wstring());
    db.connect();
    ASSERT_TRUE(addMetal(db, exoticMetal()));
    ASSERT_TRUE(addMetal(db, steel()));
    db.createSimilarTable(exoticMetal().texts[0], L"Ti copy");

    Metal expected = exoticMetal();
    expected.texts[0] = L"Ti copy";
    MetalBuffers copy(L"Ti copy");
    ASSERT_TRUE(getMetal(db, copy));
    expectSameMetal(expected, copy.metal());
    EXPECT_TRUE(db.matlExists(exoticMetal().texts[0]));

    EXPECT_THROW(db.createSimilarTable(L"Steel Default", L"Ti copy"), sql_exception);
    EXPECT_THROW(db.createSimilarTable(L"No Such Metal", L"Other"), sql_exception);
    EXPECT_THROW(db.createSimilarTable(L"Steel Default", std::wstring(120, L'x')), sql_exception);
    EXPECT_FALSE(db.matlExists(L"Other"));
}

TEST_F(SqlDatabase, NameListingRunsToItsEnd)
{
    CSQLDatabase db(createMaterialDatabase().wstring());
    db.connect();
    ASSERT_TRUE(addMetal(db, aluminium()));
    ASSERT_TRUE(addMetal(db, exoticMetal()));
    ASSERT_TRUE(addMetal(db, steel()));

    db.prepGetMetalNames();
    std::wstring name = L"?", units = L"?";
    std::vector<std::pair<std::wstring, std::wstring>> listed;
    while (db.getNextMetalName(name, units)) {
        listed.emplace_back(name, units);
    }
    const std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {L"Aluminum Default", L"USCSin"}, {exoticMetal().texts[0], L"SIcm"}, {L"Steel Default", L"USCSin"}};
    EXPECT_EQ(listed, expected);
    // The end closed the listing.
    EXPECT_THROW(db.getNextMetalName(name, units), sql_exception);
}

TEST_F(SqlDatabase, FilterListTakesTextsAsData)
{
    CSQLDatabase db(createMaterialDatabase().wstring());
    db.connect();
    Metal quoted = steel();
    quoted.texts[0] = L"Quoted";
    quoted.texts[1] = L"O'Neil's 50% alloys";
    ASSERT_TRUE(addMetal(db, aluminium()));
    ASSERT_TRUE(addMetal(db, quoted));
    ASSERT_TRUE(addMetal(db, steel()));

    using Names = std::vector<std::wstring>;
    const struct {
        const wchar_t* column;
        const wchar_t* text;
        Names names;
    } cases[] = {
        {L"Family", L"O'Neil's", {L"Quoted"}},
        {L"Family", L"50%", {L"Quoted"}},
        {L"Family", L"0%", {L"Quoted"}},
        {L"Family", L"5_%", {}},  // % and _ are plain characters here
        {L"Family", L"alloys", {L"Aluminum Default", L"Quoted", L"Steel Default"}},
        {L"Name", L"default", {L"Aluminum Default", L"Steel Default"}},
        {L"Spec", L"AMS-5046", {L"Quoted", L"Steel Default"}},
        {L"Spec", L"MIL-HDBK-5", {}},
        {L"UNS", L"A92024", {L"Aluminum Default", L"Quoted", L"Steel Default"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(db.getList(c.column, c.text), c.names) << c.column << " " << c.text;
    }
    EXPECT_THROW(db.getList(L"Name = '' OR 1 --", L"x"), sql_exception);
}

TEST_F(SqlDatabase, TextsBeyondTheCallersBuffersAreRefused)
{
    const fs::path file = createMaterialDatabase();
    CSQLDatabase db(file.wstring());
    db.connect();

    // Each text at its capacity (no room left for the terminating zero).
    const std::array<std::size_t, 8> capacities = {120, 50, 50, 20, 50, 120, 10, 50};
    for (std::size_t i = 0; i < capacities.size(); ++i) {
        Metal m = steel();
        m.texts[0] = L"Long " + std::to_wstring(i);
        m.texts[i] = std::wstring(capacities[i], L'x');
        EXPECT_THROW(addMetal(db, m), sql_exception) << "text " << i;
        EXPECT_FALSE(db.matlExists(m.texts[0]));
    }

    // A buffer filled to its end without a zero is read no further than its
    // capacity (the address sanitizer would see a read past it).
    wchar_t temper[20];
    std::fill(std::begin(temper), std::end(temper), L'T');
    EXPECT_THROW(db.addMetal(L"Unterminated", L"", L"", temper, L"", L"", L"USCSin", L"", false, 1, 2, 3,
                     4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26,
                     27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37),
        sql_exception);

    // A name of 119 characters fills its buffer exactly.
    Metal longest = steel();
    longest.texts[0] = std::wstring(119, L'n');
    ASSERT_TRUE(addMetal(db, longest));
    MetalBuffers back(longest.texts[0]);
    ASSERT_TRUE(getMetal(db, back));
    expectSameMetal(longest, back.metal());

    // A stored text too long for its buffer (written by another program) is
    // refused and no buffer is written.
    runSql(file, "INSERT INTO Metals (Name, Family, Units) VALUES ('Foreign', 'F', 'ABCDEFGHIJ')");
    MetalBuffers foreign(L"Foreign");
    foreign.family[0] = L'?';
    foreign.values[0] = 5.0;
    EXPECT_THROW(getMetal(db, foreign), sql_exception);
    EXPECT_EQ(foreign.family[0], L'?');
    EXPECT_EQ(foreign.units[0], L'\0');
    EXPECT_EQ(foreign.values[0], 5.0);
}

TEST_F(SqlDatabase, DeleteAllEmptiesBothTables)
{
    CSQLDatabase db(createMaterialDatabase().wstring());
    db.connect();
    ASSERT_TRUE(addMetal(db, aluminium()));
    ASSERT_TRUE(addMetal(db, steel()));
    db.UpdateControls(L"Steel Default", L"jdoe", true);
    db.deleteAll();
    EXPECT_FALSE(db.matlExists(L"Aluminum Default"));
    EXPECT_TRUE(db.IsEditable(L"Steel Default"));
    db.prepGetMetalNames();
    std::wstring name, units;
    EXPECT_FALSE(db.getNextMetalName(name, units));
}

TEST_F(SqlDatabase, DeleteAllWithoutTablesFailsWithSqlitesMessage)
{
    const fs::path file = folder / "bare.sqldb";
    CSQLDatabase db(file.wstring());
    db.createDatabase(file.wstring());
    try {
        db.deleteAll();
        FAIL() << "deleteAll succeeded";
    } catch (const sql_exception& e) {
        EXPECT_STREQ(e.what(), "no such table: Metals");
    }
}

TEST_F(SqlDatabase, ConnectOpensOnlyExistingDatabases)
{
    const fs::path missing = folder / "missing.sqldb";
    CSQLDatabase db(missing.wstring());
    EXPECT_THROW(db.connect(), sql_exception);
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_THROW(db.matlExists(L"x"), sql_exception);  // still not connected

    const fs::path text = folder / "notes.sqldb";
    std::ofstream(text) << "These are not the tables you are looking for.\n"
                           "They are not even a database, only a text long enough to be read.\n";
    CSQLDatabase notDatabase(text.wstring());
    EXPECT_THROW(notDatabase.connect(), sql_exception);

    CSQLDatabase directory((folder / ".").wstring());
    EXPECT_THROW(directory.connect(), sql_exception);
}

TEST_F(SqlDatabase, CreateDatabaseRefusesAnExistingFile)
{
    const fs::path file = createMaterialDatabase();
    {
        CSQLDatabase db(file.wstring());
        db.connect();
        ASSERT_TRUE(addMetal(db, steel()));
    }
    CSQLDatabase again(L"elsewhere");
    EXPECT_THROW(again.createDatabase(file.wstring()), sql_exception);
    CSQLDatabase check(file.wstring());
    check.connect();
    EXPECT_TRUE(check.matlExists(L"Steel Default"));
}

// The shape databases: a table like AISC's with its numbers stored as text.
class SqlShapeDatabase : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::ifstream script(LORIMANT_TEST_DATA "/sqldb/aisc_shapes.sql");
        std::stringstream text;
        text << script.rdbuf();
        ASSERT_FALSE(text.str().empty());
        runSql(file, text.str());
        db.connect();
    }

    TempFolder folder;
    fs::path file = folder / "AISCShapes.sqlite";
    CSQLDatabase db{file.wstring()};
};

TEST_F(SqlShapeDatabase, FetchShapesListsTheFirstColumn)
{
    EXPECT_EQ(db.fetchShapes("select AISC_Manual_Label from AISCShapes1 where Type in ('W','M','HP','S')"),
        (std::vector<std::wstring>{L"W44X335", L"W8X10", L"S3X5.7"}));
    EXPECT_TRUE(db.fetchShapes("select AISC_Manual_Label from AISCShapes1 where Type in ('HP')").empty());
}

TEST_F(SqlShapeDatabase, DimensionsAreReadFromText)
{
    EXPECT_EQ(db.fetchShapeDimensions("Select d,tw,tf,bf,k1 from AISCShapes1 where AISC_Manual_Label='W8X10'", 5),
        (std::vector<double>{7.89, 0.17, 0.205, 3.94, 0.5625}));
    // A leading blank is skipped; "–" (no value) reads as 0.
    EXPECT_EQ(db.fetchShapeDimensions("Select d,tw,tf,bf,k1 from AISCShapes1 where AISC_Manual_Label='WT22X167.5'", 5),
        (std::vector<double>{22, 1.03, 1.77, 15.9, 1.3125}));
    EXPECT_EQ(db.fetchShapeDimensions("Select d,tw,tf,bf,K1 from AISCShapes1 where AISC_Manual_Label='C15X50'", 5),
        (std::vector<double>{15, 0.716, 0.65, 3.72, 0}));
    EXPECT_EQ(db.fetchShapeDimensions("Select d,b,t from AISCShapes1 where AISC_Manual_Label='L4X4X1/2'", 3),
        (std::vector<double>{4, 4, 0.5}));
    // Fewer values than asked for: the query's columns, or nothing for a missing row.
    EXPECT_EQ(db.fetchShapeDimensions("Select d,b,t from AISCShapes1 where AISC_Manual_Label='L4X4X1/2'", 5).size(), 3u);
    const std::vector<double> none =
        db.fetchShapeDimensions("Select d,tw,tf,bf,k1 from AISCShapes1 where AISC_Manual_Label='W99X999'", 5);
    EXPECT_TRUE(none.empty());
    EXPECT_THROW(none.at(0), std::out_of_range);
}

TEST_F(SqlShapeDatabase, GetDoubleReadsOneValue)
{
    EXPECT_EQ(db.getDouble("Select MIN(cast (A As Double)) from AISCShapes1 where type in ('C', 'MC')"), 14.7);
    EXPECT_EQ(db.getDouble("Select MAX( cast(A As Double )) from AISCShapes1 where type in ('C', 'MC')"), 17.1);
    EXPECT_EQ(db.getDouble("Select W From AISCShapes1 where AISC_Manual_Label='WT22X167.5'"), 167.5);
    EXPECT_EQ(db.getDouble("Select ro From AISCShapes1 where AISC_Manual_Label='W8X10'"), 0.0);
    EXPECT_THROW(db.getDouble("Select W From AISCShapes1 where AISC_Manual_Label='none'"), sql_exception);
    EXPECT_THROW(db.getDouble("Select nothing From AISCShapes1"), sql_exception);
}

TEST_F(SqlShapeDatabase, OnlySingleQueriesRun)
{
    EXPECT_THROW(db.fetchShapes("DELETE FROM AISCShapes1"), sql_exception);
    EXPECT_THROW(db.fetchShapes("select AISC_Manual_Label from AISCShapes1 where AISC_Manual_Label='x'; "
                                "DELETE FROM AISCShapes1"),
        sql_exception);
    EXPECT_THROW(db.fetchShapes("   "), sql_exception);
    EXPECT_EQ(db.fetchShapes("select AISC_Manual_Label from AISCShapes1;  ").size(), 7u);
}

}  // namespace
