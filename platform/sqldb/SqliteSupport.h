#pragma once

// Small helpers shared by the database service and the record sets:
// statement ownership and the reading and writing of texts and numbers.

#include <sqlite3.h>

#include <string>
#include <string_view>

namespace sqldb {

// Owns one prepared statement and finalizes it.
class Statement {
public:
    Statement() = default;
    // Prepares the first statement of sql on db; throws sql_exception with
    // SQLite's message on failure. tail receives the unused rest when given.
    Statement(sqlite3* db, std::string_view sql, std::string_view* tail = nullptr);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* get() const { return stmt_; }
    explicit operator bool() const { return stmt_ != nullptr; }

    // Steps once: true on a row, false when done; throws sql_exception on error.
    bool step();
    // Binds a UTF-8 copy of text to the 1-based parameter index.
    void bindText(int index, std::wstring_view text);
    // Binds a UTF-8 text to the 1-based parameter index.
    void bindUtf8(int index, std::string_view text);
    // Binds value so that it reads back with the same bits (see writeDouble).
    void bindDouble(int index, double value);
    void bindInt(int index, long long value);
    // Finalizes the statement (nothing when none is held).
    void reset();

private:
    void check(int rc) const;

    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
};

// The name to give sqlite3_open_v2 for a file: one beginning with "file:"
// would be read as a URI where SQLite is built to accept them, so it gets a
// leading "./".
std::string plainFileName(std::string file);

// Runs sql (one or more statements without results); throws sql_exception
// with SQLite's message on failure.
void execute(sqlite3* db, const char* sql);

// Throws sql_exception carrying SQLite's current message for db.
[[noreturn]] void throwLastError(sqlite3* db);

// Parses the leading decimal number of a text as SQLite's CAST does (leading
// blanks skipped, optional sign, the longest numeric prefix; nothing numeric
// gives 0), but correctly rounded and independent of the locale.
double parseNumber(std::string_view text);

// The column of the current row as a double: integers and reals as they are,
// texts through parseNumber, NULL as 0, an 8-byte blob as the bits written by
// bindDouble (a NaN), any other blob as 0.
double readDouble(sqlite3_stmt* stmt, int column);
// The same for a value copied with sqlite3_value_dup.
double readDouble(sqlite3_value* value);

// The column of the current row as a wide text; NULL as an empty text.
std::wstring readText(sqlite3_stmt* stmt, int column);
// The same for a value copied with sqlite3_value_dup.
std::wstring readText(sqlite3_value* value);

}  // namespace sqldb
