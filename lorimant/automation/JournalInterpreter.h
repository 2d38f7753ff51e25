// Replays a journal (or any macro written in the journal's language) through
// the automation interface: each line is parsed, its calls are dispatched by
// name and number of arguments on the object a variable holds (`xscn` holds
// the document), and the first failing line stops the run.
#pragma once

#include <istream>
#include <map>
#include <memory>
#include <ostream>
#include <string>

#include "lorimant/automation/AutomationObject.h"
#include "lorimant/automation/JournalInterpreterSyntax.h"

// How a run ended. On failure: the line's number (from 1), its text and what
// went wrong.
struct JournalRunResult {
    bool ok = true;
    int lineNumber = 0;
    std::string line;
    std::string description;

    // 0 for a finished run, 1 for a stopped one.
    int ExitStatus() const { return ok ? 0 : 1; }
};

class JournalInterpreter {
public:
    // An interpreter whose variable `xscn` holds document; each statement
    // run and each assigned value is written to out.
    JournalInterpreter(std::shared_ptr<IAutomationObject> document, std::ostream& out);

    // Runs the macro's lines (UTF-8, LF or CRLF) until its end, an "Exit
    // Sub" or "End Sub", or the first line that fails.
    JournalRunResult Run(std::istream& macro);

    // The value a variable holds (ignoring case); empty when it has none.
    COleVariant Variable(const CString& name) const;

private:
    void execute(const JournalStatement& s);
    COleVariant call(const JournalCall& c);
    COleVariant evaluate(const JournalValue& v) const;
    void assign(const CString& name, COleVariant value);
    // " Did you mean ...?" for an undefined name: enumeration and variable names.
    std::string suggestion(const CString& name) const;

    std::ostream& m_out;
    std::map<std::wstring, COleVariant> m_variables;  // by folded name
};

class CXSectionAnalysisDoc;

// The document as a macro's object `xscn`: the members of its dispatch table
// over doc, which must outlive the object.
std::shared_ptr<IAutomationObject> DocumentAutomationObject(CXSectionAnalysisDoc& doc);

// How a macro writes a value: numbers in the shortest form that reads back
// to the same double, texts in quotes, True or False, an object by its type
// name, Nothing.
std::string JournalValueText(const COleVariant& value);
