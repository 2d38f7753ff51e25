// The statements of the macro language that journals are written in, one
// line at a time: the fixed header and epilogue lines, Dim lines, calls on
// automation objects with or without parentheses, and assignments of their
// results (Set included). Parsing knows no objects; the interpreter
// (JournalInterpreter.h) gives the statements their meaning.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/core/CString.h"

// A line that is not a statement of the journal language; what() describes it.
class JournalSyntaxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A value as written: a literal text (doubled quotes undone), a number, True
// or False, Nothing, or a name (a variable or a type-library constant).
struct JournalValue {
    enum class Kind { Text, Number, Boolean, Nothing, Name };

    Kind kind = Kind::Nothing;
    CString text;          // Text: the text; Name: the name as written
    double number = 0.0;   // Number
    bool integer = false;  // Number written without a fraction or exponent
    bool flag = false;     // Boolean
};

// A call: object.member followed by its arguments.
struct JournalCall {
    CString object;
    CString member;
    std::vector<JournalValue> args;
};

struct JournalStatement {
    enum class Kind {
        None,    // blank, comment or a fixed line of the journal's header
        End,     // ends the macro: "Exit Sub", "End Sub" or the error handler's label
        Dim,     // declares names
        Call,    // a call whose result is not kept
        Assign,  // target = call or value; "Set target = ..." sets `set`
    };

    Kind kind = Kind::None;
    std::vector<CString> names;  // Dim: the names declared
    CString target;              // Assign
    bool set = false;            // Assign written with Set
    bool hasCall = false;        // Call, or Assign of a call's result
    JournalCall call;
    JournalValue value;          // Assign of a value
};

// The statement of one line (a trailing carriage return and a comment are
// ignored). Throws JournalSyntaxError for anything else.
JournalStatement ParseJournalStatement(const CString& line);
