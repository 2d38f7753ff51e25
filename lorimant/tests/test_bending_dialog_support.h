// The section of the bending dialog's tests: a 4 x 2 rectangle with its
// corners at (0,0) and (4,2), of one US metal, meshed in "root".
#pragma once

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include "analysis/model/CMetal.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/shapes/ModelessDialogLogic.h"
#include "platform/core/DataExchange.h"

namespace bending_dialog_test {

// A result dialog's window as controls in memory: text cells for the ids
// given (or from first to last), list boxes for the combos with their
// items; work posted to it runs at once.
class MemoryDialogWindow : public DialogWindow {
 public:
  using Combos = std::initializer_list<std::pair<int, std::vector<CString>>>;
  MemoryDialogWindow(ModelessDialogLogic& logic, int first, int last, Combos combos) : m_logic(&logic) {
    for (int id = first; id <= last; ++id)
      if (std::none_of(combos.begin(), combos.end(), [id](const auto& c) { return c.first == id; })) c.Add(id);
    for (const auto& [id, items] : combos) c.AddCombo(id, items, false);
  }
  MemoryDialogWindow(ModelessDialogLogic& logic, std::initializer_list<int> ids) : m_logic(&logic) {
    for (int id : ids) c.Add(id);
  }
  CDialogControls& controls() override { return c; }
  void showWindow() override {
    if (m_logic != nullptr) m_logic->UpdateData(FALSE);
  }
  void destroyWindow() override { m_logic = nullptr; }
  void post(std::function<void()> work) override { work(); }
  CMemoryControls c;

 private:
  ModelessDialogLogic* m_logic;
};

// The metal of the checks: E 10.5e6, G 4e6, yield 60000, ultimate 70000.
inline std::shared_ptr<CMetal> testMetal() {
  auto m = std::make_shared<CMetal>();
  m->name = L"metal";
  m->E(10.5e6);
  m->Gshear(4e6);
  m->Fty_L = m->Fty_LT = m->Fcy_L = m->Fcy_LT = 60000;
  m->Ftu_L = m->Ftu_LT = m->Fcu_L = m->Fcu_LT = 70000;
  m->alpha = {0.002, 0.002, 0.002, 0.002};
  m->nYield = {10, 10, 10, 10};
  m->nUltimate = {10, 10, 10, 10};
  return m;
}

// The meshed rectangle in doc's root.
inline void buildSection(CXSectionAnalysisDoc& doc) {
  doc.setUnitSystem(1);
  CXSectionAnalysis* model = doc.model();
  auto* s = new CShapeAnalysis(model);
  CString n(L"plate");
  s->sector(model->rootSubSection(), model, n, 0, 0, 4, 2, 0, 90, 90, qhtShapeRectangle, 0, 1, 0.0, false);
  auto metal = testMetal();
  s->material(metal);
  model->materials.AddTail(metal);
  model->rootSubSection()->meshShape(s, TRNG3, 200, 0, 0.1, 100000, 0);
}

}  // namespace bending_dialog_test
