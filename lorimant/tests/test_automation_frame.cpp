// The common frame of the automation methods: invocation through the
// ILorimant table, the document's own model published as current, the
// refresh sequences, the journal rules, and the one exception boundary.
#include <stdexcept>

#include "analysis/model/CLog.h"
#include "lorimant/automation/AutomationFrame.h"
#include "lorimant/automation/ILorimant.h"
#include "platform/sqldb/sql_exception.h"
#include "test_document_support.h"

using namespace document_test;

namespace {

// Records what the frame asks of the active view.
class RecordingView : public ActiveSectionView {
 public:
  void RebuildAndRedraw() override { calls += "rebuild "; }
  void fullView() override { calls += "fit "; }
  void ClearPicks() override { calls += "clear "; }
  std::string calls;
};

class AutomationFrame : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    doc = std::make_unique<CXSectionAnalysisDoc>();
    doc->hidden = true;
    doc->OnNewDocument();
  }
  void TearDown() override {
    doc.reset();
    DocumentTest::TearDown();
  }

  HRESULT invoke(const wchar_t* name, WORD flags, std::vector<COleVariant> args, COleVariant* result = nullptr) {
    const DISPID id = ILorimantDispatchTable().GetIDOfName(name);
    return ILorimantDispatchTable().Invoke(*doc, id, flags, std::move(args), result, &excep);
  }
  // A 2 x 3 box in the sub-section into.
  void box(CSubSection* into) {
    Point<double> p[4] = {{0, 0, 0}, {2, 0, 0}, {2, 3, 0}, {0, 3, 0}};
    auto* s = new CShapeAnalysis(doc->model());
    s->polygon(into, CString(L"box"), p, 4, 0, nullptr);
  }
  std::vector<std::string> journalLines() { return lines(journals().back()); }

  std::unique_ptr<CXSectionAnalysisDoc> doc;
  EXCEPINFO excep;
};

}  // namespace

TEST_F(AutomationFrame, GroupCurrentGetsAndSetsTheCurrentSubSection) {
  CSubSection* root = doc->model()->rootSubSection();
  auto* web = new CSubSection(doc->model(), root);
  web->name(L"Web");
  root->addChildSubSection(web);
  doc->model()->subSections.push_back(web);

  ASSERT_EQ(invoke(L"groupcurrent", DISPATCH_PROPERTYPUT, {COleVariant(L"Web")}), S_OK);
  COleVariant name;
  ASSERT_EQ(invoke(L"GroupCurrent", DISPATCH_PROPERTYGET, {}, &name), S_OK);
  EXPECT_EQ(name.bstrVal, CString(L"Web"));

  ASSERT_EQ(invoke(L"GroupCurrent", DISPATCH_PROPERTYPUT, {COleVariant(L"Flange")}), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.wCode, 1001);
  EXPECT_EQ(excep.bstrDescription, CString(L"Group not found."));
  EXPECT_EQ(doc->model()->currentName, CString(L"Web"));
}

TEST_F(AutomationFrame, ComputeGeomSectionPropertiesJournalsBeforeComputing) {
  // An empty sub-section cannot be computed: the refusal, which says why,
  // comes after the line.
  ASSERT_EQ(invoke(L"ComputeGeomSectionProperties", DISPATCH_METHOD, {}), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.wCode, 1);
  EXPECT_EQ(excep.bstrDescription,
            CString(L"The section has no shapes: add shapes to the sub-section \"") + doc->model()->currentName +
                L"\" before computing its properties.");
  EXPECT_EQ(journalLines().back(), "xscn.ComputeGeomSectionProperties");

  CSubSection* root = doc->model()->rootSubSection();
  box(root);
  ASSERT_EQ(invoke(L"ComputeGeomSectionProperties", DISPATCH_METHOD, {}), S_OK);
  EXPECT_TRUE(root->scnPrpUTD());
  EXPECT_EQ(invoke(L"ComputeGeomSectionProperties", DISPATCH_METHOD, {COleVariant(1.0)}), DISP_E_BADPARAMCOUNT);
}

TEST_F(AutomationFrame, EveryCallActsOnItsOwnDocumentsModel) {
  CXSectionAnalysisDoc other;
  other.hidden = true;
  other.OnNewDocument();
  ASSERT_EQ(vAveVAvezeze, other.model());

  ASSERT_EQ(invoke(L"GroupCurrent", DISPATCH_PROPERTYPUT, {COleVariant(L"root")}), S_OK);
  EXPECT_EQ(vAveVAvezeze, doc->model());
  EXPECT_EQ(gModel, doc->model());

  CXSectionAnalysisDoc empty;  // no model yet: a refusal, not a crash
  EXPECT_EQ(ILorimantDispatchTable().Invoke(empty, 11, DISPATCH_METHOD, {}, nullptr, &excep), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.wCode, 1);
  EXPECT_EQ(excep.bstrDescription, CString(L"The document has no section model."));
}

TEST_F(AutomationFrame, InvocationFailures) {
  for (DISPID id : {62, 91, 106})
    EXPECT_EQ(ILorimantDispatchTable().Invoke(*doc, id, DISPATCH_METHOD, {}), DISP_E_MEMBERNOTFOUND) << id;
  EXPECT_EQ(invoke(L"Union", DISPATCH_METHOD, {COleVariant(1.0)}), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(invoke(L"SetUnitSystem", DISPATCH_METHOD, {COleVariant(LONG(40000))}), DISP_E_OVERFLOW);
  EXPECT_EQ(invoke(L"SetUnitSystem", DISPATCH_METHOD, {COleVariant(L"QHT_SI")}), DISP_E_TYPEMISMATCH);
}

TEST_F(AutomationFrame, RefreshSequencesGoThroughTheActiveView) {
  RefreshModelChanged(*doc);  // no view: only the document's change routine
  EXPECT_TRUE(doc->IsModified());
  RecordingView view;
  doc->setActiveView(&view);
  RefreshModelChanged(*doc, true);
  EXPECT_EQ(view.calls, "clear rebuild fit ");
  view.calls.clear();
  RefreshModelChanged(*doc);
  RefreshRedraw(*doc);
  RefreshRedraw(*doc, true);
  EXPECT_EQ(view.calls, "rebuild fit rebuild rebuild fit ");
  doc->setActiveView(nullptr);
}

TEST_F(AutomationFrame, ABlockedJournalDropsTheModelsLines) {
  {
    JournalBlock block(*doc, L"RotateAll");
    JournalLine(*doc, L"xscn.inner %d", 1);
    EXPECT_EQ(doc->journal()->isBlocked(), 1);
  }
  EXPECT_EQ(doc->journal()->isBlocked(), 0);
  JournalLine(*doc, L"xscn.RotateAll %g,%g,%g", 1.5, 0.0, 90.0);
  const auto written = journalLines();
  EXPECT_EQ(written.back(), "xscn.RotateAll 1.5,0,90");
  EXPECT_EQ(std::count(written.begin(), written.end(), "xscn.inner 1"), 0);
}

namespace {

struct BoundaryCase {
  void (*thrower)();
  WORD code;
  const wchar_t* text;
};

}  // namespace

TEST_F(AutomationFrame, TheBoundaryKeepsDispatchCodesAndGivesEveryOtherFailureCode1) {
  const BoundaryCase cases[] = {
      {[] { AfxThrowOleDispatchException(2, L"Object with that name already exists."); }, 2,
       L"Object with that name already exists."},
      {[] { AfxThrowOleDispatchException(1002, L"Location does not lie inside of any triangle"); }, 1002,
       L"Location does not lie inside of any triangle"},
      {[] { throw CArchiveException(CArchiveException::badClass); }, 1, nullptr},
      {[] { throw sql_exception("no such table: Metals"); }, 1, L"no such table: Metals"},
      {[] { throw std::logic_error("Parent does not exist: Web"); }, 1, L"Parent does not exist: Web"},
      {[] { throw "Could not create the database, error is 80070002"; }, 1,
       L"Could not create the database, error is 80070002"},
      {[] { throw L"Not an IGES file"; }, 1, L"Not an IGES file"},
  };
  for (const auto& c : cases) {
    const CString expected = c.text ? CString(c.text) : CArchiveException(CArchiveException::badClass).ErrorText();
    try {
      AutomationMethod(*doc, [&](CXSectionAnalysis&) { c.thrower(); });
      ADD_FAILURE() << "no failure";
    } catch (const COleDispatchException& e) {
      EXPECT_EQ(e.m_wCode, c.code) << wideToUtf8(expected.GetString());
      EXPECT_EQ(e.m_strDescription, expected);
    }
  }
  EXPECT_FALSE(CArchiveException(CArchiveException::badClass).ErrorText().IsEmpty());
}
