// The basic-shape and point-set dialogs' rules on a real document and
// section view, with a window held in memory that also shows their layout
// (the lists refilled as the rules say).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/model/CDot.h"
#include "lorimant/shapes/DialogLayout.h"
#include "lorimant/shapes/ModelessDialogLogic.h"
#include "platform/core/DataExchange.h"
#include "platform/core/Hooks.h"
#include "test_journal_replay.h"
#include "test_view_support.h"

namespace basic_shape_test {

class LayoutMemoryWindow : public DialogWindow, public DialogLayoutWindow {
 public:
  using LayoutOf = std::function<const DialogLayout&()>;
  LayoutMemoryWindow(ModelessDialogLogic& logic, const std::vector<int>& ids, std::vector<int> lists, LayoutOf layout)
      : m_logic(&logic), m_lists(std::move(lists)), m_layout(std::move(layout)) {
    for (int id : ids) c.Add(id);
    for (int id : m_lists) c.AddCombo(id, {}, false);
  }
  CDialogControls& controls() override { return c; }
  void showWindow() override {
    ++shows;
    layoutChanged();
    if (m_logic != nullptr) m_logic->UpdateData(FALSE);
  }
  void destroyWindow() override {
    ++destroyed;
    m_logic = nullptr;
  }
  void post(std::function<void()> work) override { work(); }
  void layoutChanged() override {
    ++layouts;
    for (int id : m_lists) c.AddCombo(id, m_layout().items(id), false);
  }

  CMemoryControls c;
  int shows = 0;
  int destroyed = 0;
  int layouts = 0;

 private:
  ModelessDialogLogic* m_logic;
  std::vector<int> m_lists;
  LayoutOf m_layout;
};

class BasicShapeTest : public view_test::SectionViewTest {
 protected:
  void SetUp() override {
    SectionViewTest::SetUp();
    Hooks::reset();
    doc->setUnitSystem(0);
    openView();
    doc->MakeCurrent();
    view->EnsureRootSubSection();
  }
  void TearDown() override {
    Hooks::reset();
    SectionViewTest::TearDown();
  }

  // Gives dialog memory windows with controls ids and lists; the newest is window().
  template <class Dialog>
  void give(Dialog& dialog, const std::vector<int>& ids, const std::vector<int>& lists = {}) {
    dialog.setWindowMaker([this, ids, lists, &dialog](ModelessDialogLogic& logic) -> DialogWindow* {
      m_windows.push_back(std::make_unique<LayoutMemoryWindow>(
          logic, ids, lists, [&dialog]() -> const DialogLayout& { return dialog.layout(); }));
      return m_windows.back().get();
    });
  }
  LayoutMemoryWindow& window() { return *m_windows.back(); }

  std::vector<std::string> journal() const { return lines(journals().back()); }
  // The journal's lines after the first n.
  std::vector<std::string> journalAfter(std::size_t n) const {
    const std::vector<std::string> all = journal();
    return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(std::min(n, all.size())), all.end());
  }
  static std::vector<std::wstring> messages() {
    std::vector<std::wstring> out;
    for (const MessageBoxCall& m : Hooks::messageBoxes()) out.push_back(m.text.GetString());
    return out;
  }
  // A construction point picked as a click picks it (the dialogs told
  // unless tell is false).
  void clickDot(double x, double y, bool tell = true) {
    for (DspRecord* r : records(SectionRecord::kDot)) {
      const auto* dot = static_cast<const CDot*>(r->object);
      if (std::fabs(dot->location.x - x) < 1e-12 && std::fabs(dot->location.y - y) < 1e-12) {
        if (tell) view->dotPicked(r);
        view->addPickList(r);
        return;
      }
    }
    ADD_FAILURE() << "no construction point at " << x << "," << y;
  }
  // Replays this document's journal in a fresh document; inspect sees it.
  void replay(const std::function<void(CXSectionAnalysisDoc&)>& inspect) {
    const JournalRunResult result = ReplayJournalLines(journal(), inspect);
    EXPECT_TRUE(result.ok) << result.lineNumber << ": " << result.line << ": " << result.description;
    doc->MakeCurrent();
  }

 private:
  std::vector<std::unique_ptr<LayoutMemoryWindow>> m_windows;
};

}  // namespace basic_shape_test
