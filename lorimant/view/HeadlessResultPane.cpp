#include "lorimant/view/HeadlessResultPane.h"

#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"

namespace {

// The property keys the headless pane lists, by the model's own names.
const wchar_t* const kKeys[] = {L"Area", L"nEArea"};

}  // namespace

void HeadlessSectionFrame::FillPropertyLists() {
  rows.clear();
  if (subSection == nullptr) return;
  for (const wchar_t* key : kKeys)
    rows.emplace_back(CString(key), subSection->getValue(CXSectionAnalysis::StringToSectionValue(key)));
}

bool HeadlessSectionFrame::value(const wchar_t* symbol, double* out) const {
  for (const Row& r : rows) {
    if (r.first == CString(symbol)) {
      if (out != nullptr) *out = r.second;
      return true;
    }
  }
  return false;
}
