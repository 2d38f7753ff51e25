// A section document with its own material database, and invocation of the
// document's and the automation objects' members by name, for the tests of
// the automation objects and the material methods.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "analysis/model/CLog.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/automation/CMetalMaterial.h"
#include "lorimant/automation/CShapesCollect.h"
#include "lorimant/automation/ILorimant.h"
#include "platform/sqldb/CSQLDatabase.h"
#include "test_document_support.h"

namespace automation_test {

using namespace document_test;

class AutomationObjectsTest : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    doc = std::make_unique<CXSectionAnalysisDoc>();
    doc->hidden = true;
    doc->OnNewDocument();
    doc->MakeCurrent();
    database = root_ / "materials.sqldb";
    CSQLDatabase db(database.wstring());
    db.createDatabase(database.wstring());
    db.createMetalTable();
    db.createControlsTable();
    doc->model()->materialDatabasePath = CString(database.wstring().c_str());
  }
  void TearDown() override {
    doc.reset();
    DocumentTest::TearDown();
  }

  // Calls a member of target through its dispatch table; the refusal lands in excep.
  template <class T>
  HRESULT call(const CDispatchTable<T>& table, T& target, const wchar_t* name, WORD flags,
               std::vector<COleVariant> args, COleVariant* result = nullptr) {
    excep = EXCEPINFO();
    return table.Invoke(target, table.GetIDOfName(name), flags, std::move(args), result, &excep);
  }
  HRESULT invoke(const wchar_t* name, std::vector<COleVariant> args, COleVariant* result = nullptr) {
    return call(ILorimantDispatchTable(), *doc, name, DISPATCH_METHOD, std::move(args), result);
  }
  HRESULT material(CMetalMaterial& m, const wchar_t* name, std::vector<COleVariant> args,
                   COleVariant* result = nullptr, WORD flags = DISPATCH_METHOD) {
    return call(MaterialDispatchTable(), m, name, flags, std::move(args), result);
  }
  // Expects the last call to have been refused with code and text.
  void expectRefused(HRESULT hr, WORD code, const wchar_t* text) {
    EXPECT_EQ(hr, DISP_E_EXCEPTION);
    EXPECT_EQ(excep.wCode, code);
    EXPECT_EQ(excep.bstrDescription, CString(text));
  }

  // A w x h rectangle with its origin corner at (x, y) in sub.
  CShapeAnalysis* rectangle(CSubSection* sub, const wchar_t* name, double w, double h, double x = 0, double y = 0,
                            bool hole = false) {
    auto* s = new CShapeAnalysis(doc->model());
    CString n(name);
    s->sector(sub, doc->model(), n, x, y, w, h, 0, 90, 90, qhtShapeRectangle, 0, 1, 0.0, hole);
    return s;
  }
  // A new sub-section called name under parent.
  CSubSection* subSection(CSubSection* parent, const wchar_t* name) {
    auto* sub = new CSubSection(doc->model(), parent);
    sub->name(name);
    parent->addChildSubSection(sub);
    doc->model()->subSections.push_back(sub);
    return sub;
  }
  CSubSection* root() { return doc->model()->rootSubSection(); }

  // Stores a metal called name with E, nu and G as given (everything else
  // the defaults) straight into the database.
  void storeMetal(const wchar_t* name, double E = 70, double nu = 0.33, double G = 26) {
    MaterialRecord record;
    record.metal.name = name;
    record.metal.E(E);
    record.metal.nu(nu);
    record.metal.G = G;
    CSQLDatabase db(database.wstring());
    db.connect();
    ASSERT_TRUE(record.write(db, false));
  }
  std::vector<std::string> journalLines() { return lines(journals().back()); }

  std::unique_ptr<CXSectionAnalysisDoc> doc;
  fs::path database;
  EXCEPINFO excep;
};

// Text and number arguments of automation calls.
inline COleVariant T(const wchar_t* s) { return COleVariant(s); }
inline COleVariant R(double v) { return COleVariant(v); }

}  // namespace automation_test
