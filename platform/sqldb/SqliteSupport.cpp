#include "platform/sqldb/SqliteSupport.h"

#include "platform/core/CString.h"
#include "platform/sqldb/sql_exception.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <utility>

namespace sqldb {

namespace {

locale_t cNumericLocale()
{
    static const locale_t locale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isNumberChar(char c)
{
    return isDigit(c) || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
}

// A NaN cannot be stored as an SQLite real (SQLite turns it into NULL), so it
// travels as the 8 bytes of its representation.
constexpr int kDoubleBytes = sizeof(double);

}  // namespace

Statement::Statement(sqlite3* db, std::string_view sql, std::string_view* tail) : db_(db)
{
    const char* rest = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, &rest);
    if (rc != SQLITE_OK) {
        throwLastError(db);
    }
    if (tail) {
        *tail = sql.substr(static_cast<size_t>(rest - sql.data()));
    }
}

Statement::~Statement()
{
    reset();
}

Statement::Statement(Statement&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), stmt_(std::exchange(other.stmt_, nullptr))
{
}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        reset();
        db_ = std::exchange(other.db_, nullptr);
        stmt_ = std::exchange(other.stmt_, nullptr);
    }
    return *this;
}

void Statement::reset()
{
    if (stmt_) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
}

bool Statement::step()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    throwLastError(db_);
}

void Statement::check(int rc) const
{
    if (rc != SQLITE_OK) {
        throwLastError(db_);
    }
}

void Statement::bindText(int index, std::wstring_view text)
{
    bindUtf8(index, wideToUtf8(text));
}

void Statement::bindUtf8(int index, std::string_view text)
{
    check(sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
}

void Statement::bindDouble(int index, double value)
{
    if (std::isnan(value)) {
        check(sqlite3_bind_blob(stmt_, index, &value, kDoubleBytes, SQLITE_TRANSIENT));
    } else {
        check(sqlite3_bind_double(stmt_, index, value));
    }
}

void Statement::bindInt(int index, long long value)
{
    check(sqlite3_bind_int64(stmt_, index, value));
}

std::string plainFileName(std::string file)
{
    return file.rfind("file:", 0) == 0 ? "./" + file : file;
}

void execute(sqlite3* db, const char* sql)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = message ? message : sqlite3_errmsg(db);
        sqlite3_free(message);
        throw sql_exception(text);
    }
}

void throwLastError(sqlite3* db)
{
    throw sql_exception(db ? sqlite3_errmsg(db) : "out of memory");
}

double parseNumber(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    const bool hasDigit = i < text.size() && (isDigit(text[i]) ||
        (text[i] == '.' && i + 1 < text.size() && isDigit(text[i + 1])));
    if (!hasDigit) {
        return 0.0;
    }
    // Only the characters a decimal number may hold go to strtod, so that it
    // cannot read hexadecimal numbers, "inf" or "nan" where SQLite would not.
    size_t end = i;
    while (end < text.size() && isNumberChar(text[end])) {
        ++end;
    }
    const std::string candidate(text.substr(start, end - start));
    return strtod_l(candidate.c_str(), nullptr, cNumericLocale());
}

namespace {

// Uniform access to a column of the current row and to a copied value, so
// that both convert alike.
struct ColumnSource {
    sqlite3_stmt* stmt;
    int column;
    int type() const { return sqlite3_column_type(stmt, column); }
    sqlite3_int64 integer() const { return sqlite3_column_int64(stmt, column); }
    double real() const { return sqlite3_column_double(stmt, column); }
    const unsigned char* text() const { return sqlite3_column_text(stmt, column); }
    const void* blob() const { return sqlite3_column_blob(stmt, column); }
    int bytes() const { return sqlite3_column_bytes(stmt, column); }
};

struct ValueSource {
    sqlite3_value* value;
    int type() const { return sqlite3_value_type(value); }
    sqlite3_int64 integer() const { return sqlite3_value_int64(value); }
    double real() const { return sqlite3_value_double(value); }
    const unsigned char* text() const { return sqlite3_value_text(value); }
    const void* blob() const { return sqlite3_value_blob(value); }
    int bytes() const { return sqlite3_value_bytes(value); }
};

template <class Source>
double toDouble(const Source& source)
{
    switch (source.type()) {
    case SQLITE_INTEGER:
        return static_cast<double>(source.integer());
    case SQLITE_FLOAT:
        return source.real();
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(source.text());
        return parseNumber(std::string_view(text, static_cast<size_t>(source.bytes())));
    }
    case SQLITE_BLOB:
        if (source.bytes() == kDoubleBytes) {
            double value;
            std::memcpy(&value, source.blob(), kDoubleBytes);
            return value;
        }
        return 0.0;
    default:
        return 0.0;
    }
}

template <class Source>
std::wstring toText(const Source& source)
{
    // text() before bytes(): the length is that of the converted text.
    const auto* text = reinterpret_cast<const char*>(source.text());
    if (!text) {
        return {};
    }
    return utf8ToWide(std::string_view(text, static_cast<size_t>(source.bytes())));
}

}  // namespace

double readDouble(sqlite3_stmt* stmt, int column)
{
    return toDouble(ColumnSource{stmt, column});
}

double readDouble(sqlite3_value* value)
{
    return toDouble(ValueSource{value});
}

std::wstring readText(sqlite3_stmt* stmt, int column)
{
    return toText(ColumnSource{stmt, column});
}

std::wstring readText(sqlite3_value* value)
{
    return toText(ValueSource{value});
}

}  // namespace sqldb
