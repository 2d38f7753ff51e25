// A main frame with no window whose result pane keeps the property rows it
// was asked to show, so that headless runs and tests can read them.
#pragma once

#include <utility>
#include <vector>

#include "lorimant/document/SectionFrame.h"
#include "platform/core/CString.h"

class HeadlessSectionFrame : public SectionFrame {
 public:
  using Row = std::pair<CString, double>;

  // Empties the rows.
  void ClearPropertyLists() override { rows.clear(); }
  // Remembers the sub-section the next fill reads.
  void SetResultSubSection(CSubSection* sub) override { subSection = sub; }
  // Rows (symbol, value) of the sub-section's computed properties; none
  // without a sub-section.
  void FillPropertyLists() override;
  // The value of the row with that symbol; false when there is none.
  bool value(const wchar_t* symbol, double* out) const;

  CSubSection* subSection = nullptr;
  std::vector<Row> rows;
};
