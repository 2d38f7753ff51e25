#include "platform/sqldb/CSQLDatabase.h"

#include "platform/core/CString.h"
#include "platform/sqldb/SqliteSupport.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cwchar>
#include <filesystem>
#include <string_view>

using sqldb::Statement;

namespace {

constexpr int kTextCount = 8;

struct TextColumn {
    const char* name;
    std::size_t capacity;  // of the caller's buffer, terminating zero included
};

// The eight texts of a metal, in the order of the calls' arguments.
constexpr std::array<TextColumn, kTextCount> kTextColumns = {{
    {"Name", CSQLDatabase::NameCapacity},
    {"Family", CSQLDatabase::FamilyCapacity},
    {"Form", CSQLDatabase::FormCapacity},
    {"Temper", CSQLDatabase::TemperCapacity},
    {"Size", CSQLDatabase::SizeCapacity},
    {"Spec", CSQLDatabase::SpecCapacity},
    {"Units", CSQLDatabase::UnitsCapacity},
    {"UNS", CSQLDatabase::UnsCapacity},
}};

// The 37 numbers of a metal, in the order of the calls' arguments.
constexpr std::array<const char*, CSQLDatabase::MetalValueCount> kValueColumns = {
    "E", "Ec", "Density", "Thickness",
    "Ftu_L", "Ftu_LT", "Fty_L", "Fty_LT", "Fcy_L", "Fcy_LT", "Fcu_L", "Fcu_LT", "Fsu_LT", "Fsu_L",
    "Nu", "G", "Fbru15", "Fbru20", "Fbry15", "Fbry20", "Red", "Green", "Blue",
    "AlphaTensionL", "AlphaTensionLT", "AlphaCompressionL", "AlphaCompressionLT",
    "NYieldTensionL", "NYieldTensionLT", "NYieldCompressionL", "NYieldCompressionLT",
    "NUltimateTensionL", "NUltimateTensionLT", "NUltimateCompressionL", "NUltimateCompressionLT",
    "MaxTensileStrain", "MaxCompressionStrain",
};

// Parameter and column positions of a metal row: the texts, the flag, then
// the numbers.
constexpr int kFlagIndex = kTextCount;
constexpr int kFirstValueIndex = kTextCount + 1;
constexpr int kMetalColumnCount = kFirstValueIndex + CSQLDatabase::MetalValueCount;

// The columns that getList may filter on.
constexpr std::array<const char*, 4> kFilterColumns = {"Family", "Name", "Spec", "UNS"};

std::string columnName(int index)
{
    if (index < kTextCount) {
        return kTextColumns[index].name;
    }
    if (index == kFlagIndex) {
        return "Isotropic";
    }
    return kValueColumns[index - kFirstValueIndex];
}

std::string metalColumnList()
{
    std::string list;
    for (int i = 0; i < kMetalColumnCount; ++i) {
        list += (i ? "," : "") + columnName(i);
    }
    return list;
}

// The numeric columns carry no declared type: a column of REAL affinity
// stores a whole-numbered value as an integer and gives -0.0 back as +0.0,
// whereas an untyped column keeps every double's bits.
std::string metalTableSql()
{
    std::string sql = "CREATE TABLE Metals (";
    for (int i = 0; i < kMetalColumnCount; ++i) {
        sql += (i ? ", " : "") + columnName(i);
        if (i == 0) {
            sql += " TEXT NOT NULL";
        } else if (i < kTextCount) {
            sql += " TEXT";
        } else if (i == kFlagIndex) {
            sql += " INTEGER NOT NULL DEFAULT 0";
        }
    }
    return sql + "); CREATE INDEX MetalsByName ON Metals (Name);";
}

const std::string& insertMetalSql()
{
    static const std::string sql = [] {
        std::string values;
        for (int i = 1; i <= kMetalColumnCount; ++i) {
            values += (i > 1 ? ",?" : "?") + std::to_string(i);
        }
        return "INSERT INTO Metals (" + metalColumnList() + ") SELECT " + values +
            " WHERE NOT EXISTS (SELECT 1 FROM Metals WHERE Name = ?1)";
    }();
    return sql;
}

const std::string& updateMetalSql()
{
    static const std::string sql = [] {
        std::string assignments;
        for (int i = 1; i < kMetalColumnCount; ++i) {
            assignments += (i > 1 ? ", " : "") + columnName(i) + " = ?" + std::to_string(i + 1);
        }
        return "UPDATE Metals SET " + assignments + " WHERE Name = ?1";
    }();
    return sql;
}

const std::string& selectMetalSql()
{
    static const std::string sql =
        "SELECT " + metalColumnList() + " FROM Metals WHERE Name = ?1 ORDER BY rowid LIMIT 1";
    return sql;
}

const std::string& copyMetalSql()
{
    static const std::string sql = [] {
        std::string rest;
        for (int i = 1; i < kMetalColumnCount; ++i) {
            rest += "," + columnName(i);
        }
        return "INSERT INTO Metals (" + metalColumnList() + ") SELECT ?2" + rest +
            " FROM Metals WHERE Name = ?1 AND NOT EXISTS (SELECT 1 FROM Metals WHERE Name = ?2)"
            " ORDER BY rowid LIMIT 1";
    }();
    return sql;
}

// The length of the zero-terminated text in a buffer of capacity characters;
// throws when no zero ends it within capacity - 1 characters.
std::size_t boundedLength(const wchar_t* text, const TextColumn& column)
{
    if (!text) {
        throw sql_exception(std::string("no buffer was given for the ") + column.name + " text");
    }
    const std::size_t length = wcsnlen(text, column.capacity);
    if (length == column.capacity) {
        throw sql_exception(std::string("the ") + column.name + " text is longer than " +
            std::to_string(column.capacity - 1) + " characters");
    }
    return length;
}

// Everything up to the matching commit runs as one transaction; leaving the
// scope without commit rolls it back.
class Transaction {
public:
    explicit Transaction(sqlite3* db) : db_(db) { sqldb::execute(db_, "BEGIN IMMEDIATE"); }
    ~Transaction()
    {
        if (db_) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        }
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit()
    {
        sqldb::execute(db_, "COMMIT");
        db_ = nullptr;
    }

private:
    sqlite3* db_;
};

// The wide string of a LIKE pattern that matches texts containing text.
std::wstring containsPattern(const std::wstring& text)
{
    std::wstring pattern = L"%";
    for (wchar_t c : text) {
        if (c == L'%' || c == L'_' || c == L'\\') {
            pattern += L'\\';
        }
        pattern += c;
    }
    return pattern + L"%";
}

const char* filterColumn(const std::wstring& column)
{
    for (const char* name : kFilterColumns) {
        if (sqlite3_stricmp(wideToUtf8(column).c_str(), name) == 0) {
            return name;
        }
    }
    throw sql_exception("no such column: " + wideToUtf8(column));
}

bool isStatementEnd(std::string_view tail)
{
    for (char c : tail) {
        if (c != ';' && c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v') {
            return false;
        }
    }
    return true;
}

}  // namespace

CSQLDatabase::CSQLDatabase(std::wstring path) : path_(std::move(path)) {}

CSQLDatabase::~CSQLDatabase()
{
    close();
}

sqlite3* CSQLDatabase::handle()
{
    if (!db_) {
        throw sql_exception("the database is not connected");
    }
    return db_;
}

void CSQLDatabase::open(int flags)
{
    close();
    const std::string file = sqldb::plainFileName(wideToUtf8(path_));
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(file.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close_v2(db);
        throw sql_exception(message + ": " + file);
    }
    db_ = db;
}

void CSQLDatabase::connect()
{
    open(SQLITE_OPEN_READWRITE);
    // Opening is lazy: reading the schema proves that the file is a database.
    try {
        Statement probe(db_, "SELECT count(*) FROM sqlite_master");
        probe.step();
    } catch (const sql_exception& e) {
        close();
        throw sql_exception(std::string(e.what()) + ": " + wideToUtf8(path_));
    }
}

void CSQLDatabase::close()
{
    names_.reset();
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

void CSQLDatabase::createDatabase(const std::wstring& path)
{
    close();
    std::error_code error;
    const bool exists = std::filesystem::exists(std::filesystem::path(path), error);
    if (error) {
        throw sql_exception(error.message() + ": " + wideToUtf8(path));
    }
    if (exists) {
        throw sql_exception("a file already exists at " + wideToUtf8(path));
    }
    path_ = path;
    open(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

void CSQLDatabase::createMetalTable()
{
    sqlite3* db = handle();
    Transaction transaction(db);
    sqldb::execute(db, metalTableSql().c_str());
    transaction.commit();
}

void CSQLDatabase::createControlsTable()
{
    sqldb::execute(handle(),
        "CREATE TABLE Controls (Name TEXT NOT NULL PRIMARY KEY, User TEXT, "
        "Locked INTEGER NOT NULL DEFAULT 0)");
}

void CSQLDatabase::UpdateControls(const std::wstring& name, const std::wstring& user, bool locked)
{
    Statement statement(handle(), "INSERT OR REPLACE INTO Controls (Name, User, Locked) VALUES (?1, ?2, ?3)");
    statement.bindText(1, name);
    statement.bindText(2, user);
    statement.bindInt(3, locked ? 1 : 0);
    statement.step();
}

bool CSQLDatabase::IsEditable(const std::wstring& name)
{
    Statement statement(handle(), "SELECT Locked FROM Controls WHERE Name = ?1");
    statement.bindText(1, name);
    return !(statement.step() && sqlite3_column_int64(statement.get(), 0) != 0);
}

bool CSQLDatabase::storeMetal(bool replace, const wchar_t* const texts[], bool isotropic, const double values[])
{
    std::array<std::size_t, kTextCount> lengths{};
    for (int i = 0; i < kTextCount; ++i) {
        lengths[i] = boundedLength(texts[i], kTextColumns[i]);
    }
    Statement statement(handle(), replace ? updateMetalSql() : insertMetalSql());
    for (int i = 0; i < kTextCount; ++i) {
        statement.bindText(i + 1, std::wstring_view(texts[i], lengths[i]));
    }
    statement.bindInt(kFlagIndex + 1, isotropic ? 1 : 0);
    for (int i = 0; i < MetalValueCount; ++i) {
        statement.bindDouble(kFirstValueIndex + i + 1, values[i]);
    }
    statement.step();
    return sqlite3_changes(db_) > 0;
}

bool CSQLDatabase::loadMetal(wchar_t* const texts[], bool* isotropic, double* const values[])
{
    const std::size_t nameLength = boundedLength(texts[0], kTextColumns[0]);
    Statement statement(handle(), selectMetalSql());
    statement.bindText(1, std::wstring_view(texts[0], nameLength));
    if (!statement.step()) {
        return false;
    }
    // Every text is checked before any buffer is written.
    std::array<std::wstring, kTextCount> stored;
    for (int i = 0; i < kTextCount; ++i) {
        stored[i] = sqldb::readText(statement.get(), i);
        if (stored[i].size() >= kTextColumns[i].capacity) {
            throw sql_exception(std::string("the stored ") + kTextColumns[i].name + " text is longer than " +
                std::to_string(kTextColumns[i].capacity - 1) + " characters");
        }
    }
    for (int i = 0; i < kTextCount; ++i) {
        if (texts[i]) {
            std::wmemcpy(texts[i], stored[i].c_str(), stored[i].size() + 1);
        }
    }
    if (isotropic) {
        *isotropic = sqlite3_column_int64(statement.get(), kFlagIndex) != 0;
    }
    for (int i = 0; i < MetalValueCount; ++i) {
        if (values[i]) {
            *values[i] = sqldb::readDouble(statement.get(), kFirstValueIndex + i);
        }
    }
    return true;
}

bool CSQLDatabase::addMetal(const wchar_t* name, const wchar_t* family, const wchar_t* form,
    const wchar_t* temper, const wchar_t* size, const wchar_t* spec,
    const wchar_t* units, const wchar_t* uns, bool isotropic,
    double E, double Ec, double density, double thickness,
    double Ftu_L, double Ftu_LT, double Fty_L, double Fty_LT,
    double Fcy_L, double Fcy_LT, double Fcu_L, double Fcu_LT,
    double Fsu_LT, double Fsu_L, double nu, double G,
    double Fbru15, double Fbru20, double Fbry15, double Fbry20,
    double red, double green, double blue,
    double alphaTensionL, double alphaTensionLT,
    double alphaCompressionL, double alphaCompressionLT,
    double nYieldTensionL, double nYieldTensionLT,
    double nYieldCompressionL, double nYieldCompressionLT,
    double nUltimateTensionL, double nUltimateTensionLT,
    double nUltimateCompressionL, double nUltimateCompressionLT,
    double maxTensileStrain, double maxCompressionStrain)
{
    const wchar_t* const texts[] = {name, family, form, temper, size, spec, units, uns};
    const double values[] = {E, Ec, density, thickness, Ftu_L, Ftu_LT, Fty_L, Fty_LT,
        Fcy_L, Fcy_LT, Fcu_L, Fcu_LT, Fsu_LT, Fsu_L, nu, G, Fbru15, Fbru20, Fbry15, Fbry20,
        red, green, blue, alphaTensionL, alphaTensionLT, alphaCompressionL, alphaCompressionLT,
        nYieldTensionL, nYieldTensionLT, nYieldCompressionL, nYieldCompressionLT,
        nUltimateTensionL, nUltimateTensionLT, nUltimateCompressionL, nUltimateCompressionLT,
        maxTensileStrain, maxCompressionStrain};
    static_assert(std::size(values) == MetalValueCount);
    return storeMetal(false, texts, isotropic, values);
}

bool CSQLDatabase::editMetal(const wchar_t* name, const wchar_t* family, const wchar_t* form,
    const wchar_t* temper, const wchar_t* size, const wchar_t* spec,
    const wchar_t* units, const wchar_t* uns, bool isotropic,
    double E, double Ec, double density, double thickness,
    double Ftu_L, double Ftu_LT, double Fty_L, double Fty_LT,
    double Fcy_L, double Fcy_LT, double Fcu_L, double Fcu_LT,
    double Fsu_LT, double Fsu_L, double nu, double G,
    double Fbru15, double Fbru20, double Fbry15, double Fbry20,
    double red, double green, double blue,
    double alphaTensionL, double alphaTensionLT,
    double alphaCompressionL, double alphaCompressionLT,
    double nYieldTensionL, double nYieldTensionLT,
    double nYieldCompressionL, double nYieldCompressionLT,
    double nUltimateTensionL, double nUltimateTensionLT,
    double nUltimateCompressionL, double nUltimateCompressionLT,
    double maxTensileStrain, double maxCompressionStrain)
{
    const wchar_t* const texts[] = {name, family, form, temper, size, spec, units, uns};
    const double values[] = {E, Ec, density, thickness, Ftu_L, Ftu_LT, Fty_L, Fty_LT,
        Fcy_L, Fcy_LT, Fcu_L, Fcu_LT, Fsu_LT, Fsu_L, nu, G, Fbru15, Fbru20, Fbry15, Fbry20,
        red, green, blue, alphaTensionL, alphaTensionLT, alphaCompressionL, alphaCompressionLT,
        nYieldTensionL, nYieldTensionLT, nYieldCompressionL, nYieldCompressionLT,
        nUltimateTensionL, nUltimateTensionLT, nUltimateCompressionL, nUltimateCompressionLT,
        maxTensileStrain, maxCompressionStrain};
    static_assert(std::size(values) == MetalValueCount);
    return storeMetal(true, texts, isotropic, values);
}

bool CSQLDatabase::getMetal(wchar_t* name, wchar_t* family, wchar_t* form, wchar_t* temper,
    wchar_t* size, wchar_t* spec, wchar_t* units, wchar_t* uns, bool* isotropic,
    double* E, double* Ec, double* density, double* thickness,
    double* Ftu_L, double* Ftu_LT, double* Fty_L, double* Fty_LT,
    double* Fcy_L, double* Fcy_LT, double* Fcu_L, double* Fcu_LT,
    double* Fsu_LT, double* Fsu_L, double* nu, double* G,
    double* Fbru15, double* Fbru20, double* Fbry15, double* Fbry20,
    double* red, double* green, double* blue,
    double* alphaTensionL, double* alphaTensionLT,
    double* alphaCompressionL, double* alphaCompressionLT,
    double* nYieldTensionL, double* nYieldTensionLT,
    double* nYieldCompressionL, double* nYieldCompressionLT,
    double* nUltimateTensionL, double* nUltimateTensionLT,
    double* nUltimateCompressionL, double* nUltimateCompressionLT,
    double* maxTensileStrain, double* maxCompressionStrain)
{
    wchar_t* const texts[] = {name, family, form, temper, size, spec, units, uns};
    double* const values[] = {E, Ec, density, thickness, Ftu_L, Ftu_LT, Fty_L, Fty_LT,
        Fcy_L, Fcy_LT, Fcu_L, Fcu_LT, Fsu_LT, Fsu_L, nu, G, Fbru15, Fbru20, Fbry15, Fbry20,
        red, green, blue, alphaTensionL, alphaTensionLT, alphaCompressionL, alphaCompressionLT,
        nYieldTensionL, nYieldTensionLT, nYieldCompressionL, nYieldCompressionLT,
        nUltimateTensionL, nUltimateTensionLT, nUltimateCompressionL, nUltimateCompressionLT,
        maxTensileStrain, maxCompressionStrain};
    static_assert(std::size(values) == MetalValueCount);
    return loadMetal(texts, isotropic, values);
}

bool CSQLDatabase::matlExists(const std::wstring& name)
{
    Statement statement(handle(), "SELECT 1 FROM Metals WHERE Name = ?1 LIMIT 1");
    statement.bindText(1, name);
    return statement.step();
}

bool CSQLDatabase::deleteMaterial(const std::string& name)
{
    sqlite3* db = handle();
    Transaction transaction(db);
    Statement metals(db, "DELETE FROM Metals WHERE Name = ?1");
    metals.bindUtf8(1, name);
    metals.step();
    const bool deleted = sqlite3_changes(db) > 0;
    Statement controls(db, "DELETE FROM Controls WHERE Name = ?1");
    controls.bindUtf8(1, name);
    controls.step();
    transaction.commit();
    return deleted;
}

void CSQLDatabase::deleteAll()
{
    sqlite3* db = handle();
    // Preparing the first statement outside the transaction lets a file
    // without the table fail with SQLite's own "no such table: Metals".
    Statement metals(db, "DELETE FROM Metals");
    Statement controls(db, "DELETE FROM Controls");
    Transaction transaction(db);
    metals.step();
    controls.step();
    transaction.commit();
}

void CSQLDatabase::createSimilarTable(const std::wstring& name, const std::wstring& newName)
{
    boundedLength(newName.c_str(), kTextColumns[0]);
    Statement statement(handle(), copyMetalSql());
    statement.bindText(1, name);
    statement.bindText(2, newName);
    statement.step();
    if (sqlite3_changes(db_) > 0) {
        return;
    }
    if (!matlExists(name)) {
        throw sql_exception("no material is named " + wideToUtf8(name));
    }
    throw sql_exception("a material named " + wideToUtf8(newName) + " already exists");
}

std::vector<std::wstring> CSQLDatabase::getList(const std::wstring& column, const std::wstring& text)
{
    const std::string sql = std::string("SELECT Name FROM Metals WHERE ") + filterColumn(column) +
        " LIKE ?1 ESCAPE '\\' GROUP BY Name ORDER BY MIN(rowid)";
    Statement statement(handle(), sql);
    statement.bindText(1, containsPattern(text));
    std::vector<std::wstring> names;
    while (statement.step()) {
        names.push_back(sqldb::readText(statement.get(), 0));
    }
    return names;
}

void CSQLDatabase::prepGetMetalNames()
{
    names_.reset();
    names_ = std::make_unique<Statement>(handle(), "SELECT Name, Units FROM Metals ORDER BY rowid");
}

bool CSQLDatabase::getNextMetalName(std::wstring& name, std::wstring& units)
{
    if (!names_) {
        throw sql_exception("no listing of metal names was started");
    }
    bool row = false;
    try {
        row = names_->step();
    } catch (...) {
        names_.reset();
        throw;
    }
    if (!row) {
        names_.reset();
        return false;
    }
    name = sqldb::readText(names_->get(), 0);
    units = sqldb::readText(names_->get(), 1);
    return true;
}

Statement CSQLDatabase::query(const std::string& sql)
{
    std::string_view tail;
    Statement statement(handle(), sql, &tail);
    if (!statement) {
        throw sql_exception("the SQL text holds no statement");
    }
    if (!isStatementEnd(tail)) {
        throw sql_exception("the SQL text holds more than one statement");
    }
    if (!sqlite3_stmt_readonly(statement.get())) {
        throw sql_exception("only a query may be run here");
    }
    return statement;
}

std::vector<std::wstring> CSQLDatabase::fetchShapes(const std::string& sql)
{
    Statement statement = query(sql);
    std::vector<std::wstring> shapes;
    while (statement.step()) {
        shapes.push_back(sqldb::readText(statement.get(), 0));
    }
    return shapes;
}

std::vector<double> CSQLDatabase::fetchShapeDimensions(const std::string& sql, int n)
{
    Statement statement = query(sql);
    std::vector<double> values;
    if (!statement.step()) {
        return values;
    }
    const int count = std::min(n, sqlite3_column_count(statement.get()));
    for (int i = 0; i < count; ++i) {
        values.push_back(sqldb::readDouble(statement.get(), i));
    }
    return values;
}

double CSQLDatabase::getDouble(const std::string& sql)
{
    Statement statement = query(sql);
    if (!statement.step() || sqlite3_column_count(statement.get()) < 1) {
        throw sql_exception("the query gave no value: " + sql);
    }
    return sqldb::readDouble(statement.get(), 0);
}
