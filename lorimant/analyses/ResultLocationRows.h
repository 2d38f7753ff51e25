// What the bending and plastic dialogs share about their lists of result
// locations, each row holding the location it was filled from.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "drevoline/section/CSubSection.h"

// Deletes from sub the result locations of the rows selected from firstRow
// on; a row whose location the sub-section no longer holds is skipped.
template <class Row>
void DeleteSelectedLocations(CSubSection& sub, const std::vector<Row>& rows, std::size_t firstRow) {
  auto& held = sub.resultLocations;
  for (std::size_t i = firstRow; i < rows.size(); ++i) {
    if (!rows[i].selected) continue;
    auto at = std::find(held.begin(), held.end(), rows[i].location);
    if (at == held.end()) continue;
    delete *at;
    held.erase(at);
  }
}
