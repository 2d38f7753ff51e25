// Every damaged copy of a real document, cut short at any byte or with a
// huge count written over any field, either opens or fails without touching
// the open section: its model, the globals published with it, its undo
// history and its current sub-section. No open may take long or ask the
// heap for much, and afterwards the user can still compute, save and undo.
#include <algorithm>
#include <climits>

#include "analysis/model/CLoadCondition.h"
#include "analysis/model/Utilities.h"
#include "platform/tests/AllocationProbe.h"
#include "test_automation_analyses_support.h"

using namespace analysis_methods_test;
using namespace document_test;

namespace {

class DocumentDamagedSweep : public AnalysisMethodsTest {
 protected:
  // What the open section looks like from outside.
  struct State {
    const CXSectionAnalysis* model;
    int uniqueID;
    CString base;
    EUnitSystem units;
    CString current;
    bool canUndo;
    bool canRedo;
  };
  State state() const {
    return {model(), gUniqueID, getBaseName(), gUnitSystem, model()->currentName, doc->CanUndo(), doc->CanRedo()};
  }
  void expectKept(const State& s, const std::string& what) {
    SCOPED_TRACE(what);
    EXPECT_EQ(model(), s.model);
    EXPECT_EQ(vAveVAvezeze, s.model);
    EXPECT_EQ(gModel, s.model);
    EXPECT_NE(model()->findShape(L"plate"), nullptr);
    EXPECT_EQ(gUniqueID, s.uniqueID);
    EXPECT_EQ(getBaseName(), s.base);
    EXPECT_EQ(gUnitSystem, s.units);
    EXPECT_EQ(model()->currentName, s.current);
    EXPECT_EQ(doc->CanUndo(), s.canUndo);
    EXPECT_EQ(doc->CanRedo(), s.canRedo);
  }

  // A section with what a document stores: shapes sharing one material,
  // a construction point, load conditions. (Meshes have their own sweep.)
  std::vector<BYTE> sourceDocument() {
    solid(root(), L"a", 0, 0, 2, 1);
    solid(root(), L"b", 3, 0, 2, 1);
    solid(root(), L"c", 0, 2, 2, 1);
    root()->addConstructionPoint(1.5, 7.0);
    root()->addLoadCondition(LoadCase, L"dead");
    root()->addLoadCondition(SectionForces, L"gust");
    doc->ModelChanged();
    return store(*doc);
  }

  // The section the damaged copies are opened over: other units, counter
  // and name base than the file's, an undo and a redo step.
  void victimSection() {
    ASSERT_TRUE(doc->OnNewDocument());
    doc->setUnitSystem(0);
    view->EnsureRootSubSection();
    rectangle(L"plate", 0, 0, 4, 2);
    doc->ModelChanged();
    rectangle(L"strip", 0, 3, 4, 1);
    doc->ModelChanged();
    doc->Undo();
    setBaseName(L"zz$$");
    gUniqueID = 987654;
  }
};

}  // namespace

TEST_F(DocumentDamagedSweep, DamagedCopiesOpenOrFailWithoutTouchingTheSection) {
  openView();
  const std::vector<BYTE> whole = sourceDocument();
  victimSection();
  State before = state();
  const fs::path path = root_ / "damaged.qhscn";

  double slowest = 0.0;
  std::size_t largest = 0;
  auto tryOpen = [&](const std::vector<BYTE>& bytes, const std::string& what) {
    writeFile(path, bytes);
    bool ok = false;
    const auto usage = allocation_probe::measure([&] { ok = doc->OnOpenDocument(CString(path.c_str())); });
    slowest = std::max(slowest, usage.seconds);
    largest = std::max(largest, usage.largestRequest);
    if (!ok) {
      expectKept(before, what);
      return;
    }
    // A copy that still reads is taken over whole and published.
    EXPECT_EQ(vAveVAvezeze, model()) << what;
    EXPECT_EQ(gModel, model()) << what;
    model()->verifySubsections();
    victimSection();
    before = state();
  };

  for (std::size_t kept = 0; kept < whole.size(); kept += 7)
    tryOpen(std::vector<BYTE>(whole.begin(), whole.begin() + static_cast<long>(kept)),
            "cut at " + std::to_string(kept));
  // At an int count this is INT_MAX; at a word count the escape to a
  // double-word count of at least 0x7FFF0000; in a string length the same.
  const BYTE huge[4] = {0xFF, 0xFF, 0xFF, 0x7F};
  for (std::size_t at = 0; at + 4 <= whole.size(); ++at) {
    std::vector<BYTE> bytes = whole;
    std::copy(huge, huge + 4, bytes.begin() + static_cast<long>(at));
    tryOpen(bytes, "huge value at " + std::to_string(at));
  }

  EXPECT_LT(slowest, 2.0);
  EXPECT_LT(largest, std::size_t{64} << 20);

  // The section still works: compute, redo the step it kept, save and reopen.
  EXPECT_EQ(invoke(L"ComputeGeomSectionProperties", {}), S_OK) << CString(excep.bstrDescription).ToUtf8();
  EXPECT_EQ(invoke(L"Redo", {}), S_OK) << CString(excep.bstrDescription).ToUtf8();
  EXPECT_NE(model()->findShape(L"strip"), nullptr);
  const fs::path saved = root_ / "after.qhscn";
  ASSERT_TRUE(doc->OnSaveDocument(CString(saved.c_str())));
  ASSERT_TRUE(doc->OnOpenDocument(CString(saved.c_str())));
  EXPECT_NE(model()->findShape(L"plate"), nullptr);
  EXPECT_EQ(gUnitSystem, SI);
}
