// Shared by the journal tests: a document with its view whose journal is
// replayed into another document, and the model written as sorted lines so
// that two models can be compared.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "lorimant/automation/JournalInterpreter.h"
#include "test_view_support.h"

namespace journal_test {

// v with six significant digits, tiny values as 0.
inline std::string number(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6g", std::fabs(v) < 1e-9 ? 0.0 : v);
  return buffer;
}

// The model as sorted lines: sub-sections with parent and children, shapes
// with owner, extents and area.
inline std::vector<std::string> describe(CXSectionAnalysis& model) {
  std::vector<std::string> out;
  for (CSubSection* s : model.subSections) {
    std::string line = "sub [" + s->name().ToUtf8() + "] in [" + (s->parent() ? s->parent()->name().ToUtf8() : "") + "]";
    for (const CSubSection* c : s->children) line += " [" + c->name().ToUtf8() + "]";
    out.push_back(line);
    for (POSITION pos = s->shapeList.GetHeadPosition(); pos != nullptr;) {
      CShapeAnalysis* shape = s->shapeList.GetNext(pos);
      Point<double> lo, hi;
      shape->extents(&lo, &hi, 1);
      out.push_back("shape [" + shape->name().ToUtf8() + "] in [" + s->name().ToUtf8() + "] " + number(lo.x) + "," +
                    number(lo.y) + " " + number(hi.x) + "," + number(hi.y) + " " + number(shape->area()));
    }
  }
  std::sort(out.begin(), out.end());
  return out;
}

// A hidden document with its view; macros run into any document.
class JournalSessionTest : public view_test::SectionViewTest {
 protected:
  void SetUp() override {
    SectionViewTest::SetUp();
    doc->hidden = true;
    openView();
  }

  // Runs macro (lines of the journal language) on target's automation object.
  JournalRunResult run(CXSectionAnalysisDoc& target, const std::string& macro) {
    std::istringstream in(macro);
    std::ostringstream out;
    JournalInterpreter interpreter(DocumentAutomationObject(target), out);
    return interpreter.Run(in);
  }

  // The document's own journal lines.
  std::vector<std::string> journalLines(CXSectionAnalysisDoc& d) { return lines(d.journal()->path()); }
};

}  // namespace journal_test
