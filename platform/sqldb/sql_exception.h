#pragma once

#include <stdexcept>
#include <string>

// The failure of a database call: carries the text that callers show or pass
// on (for SQLite failures, SQLite's own message, such as "no such table: Metals").
class sql_exception : public std::runtime_error {
public:
    // An exception carrying message (UTF-8).
    explicit sql_exception(const std::string& message) : std::runtime_error(message) {}
};
