// Replaying a journal's lines in a fresh hidden document, as `lorimant
// --run` replays a journal file.
#pragma once

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "lorimant/view/HeadlessRun.h"

// Runs the lines as one macro; inspect sees the document after the run.
inline JournalRunResult ReplayJournalLines(const std::vector<std::string>& lines,
                                           const std::function<void(CXSectionAnalysisDoc&)>& inspect) {
  std::ostringstream macro;
  for (const std::string& line : lines) macro << line << "\n";
  std::istringstream in(macro.str());
  std::ostringstream out;
  return RunMacroHeadless(in, out, nullptr, inspect);
}
