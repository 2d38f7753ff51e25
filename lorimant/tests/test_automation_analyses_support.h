// A section document with a section view, invoked through the document's
// dispatch table, for the tests of the analysis, mesh and file methods.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "analysis/model/Globals.h"
#include "lorimant/automation/ILorimant.h"
#include "test_view_support.h"

namespace analysis_methods_test {

// A plain metal with yield and Ramberg-Osgood values, E 10000 (US units).
inline std::shared_ptr<CMetal> alloy() {
  auto m = std::make_shared<CMetal>();
  m->name = L"alloy";
  m->E(10000);
  m->Gshear(10000 / 2.6);
  m->nu(0.3);
  m->Fty_L = m->Fty_LT = m->Fcy_L = m->Fcy_LT = 50;
  m->Ftu_L = m->Ftu_LT = m->Fcu_L = m->Fcu_LT = 60;
  m->alpha = {0.002, 0.002, 0.002, 0.002};
  m->nYield = {10, 10, 10, 10};
  m->nUltimate = {10, 10, 10, 10};
  return m;
}

class AnalysisMethodsTest : public view_test::SectionViewTest {
 protected:
  void SetUp() override {
    SectionViewTest::SetUp();
    units = gUnitSystem;
    doc->setUnitSystem(1);
    doc->MakeCurrent();
  }
  void TearDown() override {
    SectionViewTest::TearDown();
    gUnitSystem = units;
  }

  HRESULT invoke(const wchar_t* name, std::vector<COleVariant> args, COleVariant* result = nullptr) {
    excep = EXCEPINFO();
    const auto& table = ILorimantDispatchTable();
    return table.Invoke(*doc, table.GetIDOfName(name), DISPATCH_METHOD, std::move(args), result, &excep);
  }
  // The result of a call that must succeed.
  double value(const wchar_t* name, std::vector<COleVariant> args) {
    COleVariant result;
    const HRESULT hr = invoke(name, std::move(args), &result);
    EXPECT_EQ(hr, S_OK) << CString(excep.bstrDescription).ToUtf8();
    return result.dblVal;
  }
  void expectRefused(HRESULT hr, WORD code, const wchar_t* text) {
    EXPECT_EQ(hr, DISP_E_EXCEPTION);
    EXPECT_EQ(excep.wCode, code);
    EXPECT_EQ(CString(excep.bstrDescription), CString(text));
  }
  static COleVariant I2(int v) { return COleVariant(static_cast<SHORT>(v)); }
  static COleVariant I4(long v) { return COleVariant(static_cast<LONG>(v)); }

  // A rectangle without a material in sub.
  CShapeAnalysis* bare(CSubSection* sub, const wchar_t* name, double x, double y, double w, double h) {
    auto* s = new CShapeAnalysis(model());
    CString n(name);
    s->sector(sub, model(), n, x, y, w, h, 0, 90, 90, qhtShapeRectangle, 0, 1, 0.0, false);
    return s;
  }
  // A rectangle of the alloy in sub.
  CShapeAnalysis* solid(CSubSection* sub, const wchar_t* name, double x, double y, double w, double h) {
    CShapeAnalysis* s = bare(sub, name, x, y, w, h);
    s->material(metal);
    if (!model()->findMaterial(metal->name)) model()->materials.AddTail(metal);
    return s;
  }
  // The current document's journal lines.
  std::vector<std::string> journalLines() { return lines(journals().back()); }
  bool journalled(const std::string& line) {
    const auto all = journalLines();
    return std::find(all.begin(), all.end(), line) != all.end();
  }

  std::shared_ptr<CMetal> metal = alloy();
  EUnitSystem units = SI;
  EXCEPINFO excep;
};

}  // namespace analysis_methods_test
