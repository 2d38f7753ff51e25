// The automation start without a window: one new document as the class
// factory makes it (never shown, so no dialog asks anything) with its
// windowless section view, and a macro in the journal's language run on it.
#pragma once

#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "lorimant/automation/JournalInterpreter.h"

class CXSectionAnalysisDoc;

// What a run leaves besides its printed statements.
struct HeadlessRunReport {
    std::string journalProblem;        // why the journal is not (fully) written; empty when it is
    std::vector<std::string> written;  // the files the macro's methods wrote, absolute, in order
};

// Runs macro on a new hidden document and its windowless view, writing each
// statement and assigned value to out. journalPath receives the path of the
// document's journal (empty when it has none); inspect, when given, sees the
// document after the run, while it still lives; report, when given,
// receives the files written and the journal's trouble. The journal gets
// its epilogue when the document closes, before this returns.
JournalRunResult RunMacroHeadless(std::istream& macro, std::ostream& out, std::string* journalPath,
                                  const std::function<void(CXSectionAnalysisDoc&)>& inspect = {},
                                  HeadlessRunReport* report = nullptr);
