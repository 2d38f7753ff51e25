// The automation methods for files, IGES export and the unit system.
#include <fstream>
#include <sstream>

#include "lorimant/automation/LorimantTypeLibrary.h"
#include "test_automation_analyses_support.h"

using namespace analysis_methods_test;

namespace {

class AutomationFiles : public AnalysisMethodsTest {
 protected:
  // An I section of three rectangles (no material: the file keeps only
  // material names, which a database would have to supply).
  void iSection() {
    bare(root(), L"bottom", 0, 0, 10, 1);
    bare(root(), L"top", 0, 9, 10, 1);
    bare(root(), L"web", 4.75, 1, 0.5, 8);
  }
  std::vector<double> properties() {
    EXPECT_EQ(invoke(L"ComputeGeomSectionProperties", {}), S_OK) << CString(excep.bstrDescription).ToUtf8();
    std::vector<double> out;
    for (int id : {SA_Area, SA_AreaCGx, SA_AreaCGy, SA_Area2ndMomentOfInertiaAboutXc,
                   SA_Area2ndMomentOfInertiaAboutYc, SA_AreaPolarRadiusGyration})
      out.push_back(value(L"GetValue", {I2(id)}));
    return out;
  }
  COleVariant path(const char* name) { return COleVariant(CString((root_ / name).wstring().c_str())); }
};

TEST_F(AutomationFiles, SavedSectionOpensWithTheSameValues) {
  iSection();
  const std::vector<double> before = properties();
  EXPECT_NEAR(before[0], 24, 1e-9);
  ASSERT_EQ(invoke(L"FileSave", {path("i.lor")}), S_OK) << CString(excep.bstrDescription).ToUtf8();
  ASSERT_EQ(invoke(L"ClearAll", {}), S_OK);
  ASSERT_EQ(invoke(L"FileOpen", {path("i.lor")}), S_OK) << CString(excep.bstrDescription).ToUtf8();
  EXPECT_EQ(properties(), before);
  EXPECT_TRUE(journalled("xscn.FileOpen \"" + (root_ / "i.lor").string() + "\""));
}

TEST_F(AutomationFiles, FilesThatCannotBeWrittenOrReadAreRefusedAndTheSectionStays) {
  iSection();
  EXPECT_EQ(invoke(L"FileSave", {path("missing/i.lor")}), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.wCode, 1);
  EXPECT_EQ(invoke(L"FileOpen", {path("nothing.lor")}), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.wCode, 1);
  ASSERT_NE(model(), nullptr);
  EXPECT_NE(model()->findShape(L"web"), nullptr);
}

// A main frame whose new-file command opens a section view.
class WindowFrame : public HeadlessSectionFrame {
 public:
  void OpenDocumentWindow(CXSectionAnalysisDoc& doc) override {
    ++opened;
    view = CThickSectionView::createFor(doc, 100, 100);
  }
  int opened = 0;
  std::unique_ptr<CThickSectionView> view;
};

TEST_F(AutomationFiles, FileOpenWithoutAWindowOpensOne) {
  iSection();
  ASSERT_EQ(invoke(L"FileSave", {path("i.lor")}), S_OK);
  WindowFrame windows;
  {
    CXSectionAnalysisDoc other(&windows);
    other.OnNewDocument();
    ASSERT_EQ(other.activeView(), nullptr);
    excep = EXCEPINFO();
    const auto& table = ILorimantDispatchTable();
    ASSERT_EQ(table.Invoke(other, table.GetIDOfName(L"FileOpen"), DISPATCH_METHOD, {path("i.lor")}, nullptr, &excep),
              S_OK)
        << CString(excep.bstrDescription).ToUtf8();
    EXPECT_EQ(windows.opened, 1);
    EXPECT_EQ(other.activeView(), windows.view.get());
    EXPECT_NE(other.model()->findShape(L"web"), nullptr);
    windows.view.reset();
  }
  doc->MakeCurrent();
}

TEST_F(AutomationFiles, WriteIgesPassesTheProgramVersion) {
  bare(root(), L"plate", 0, 0, 4, 2);
  ASSERT_EQ(invoke(L"WriteIGES", {path("plate.igs")}), S_OK) << CString(excep.bstrDescription).ToUtf8();
  std::ifstream in(root_ / "plate.igs");
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("3H2.0,32,38"), std::string::npos) << text.str().substr(0, 400);
}

TEST_F(AutomationFiles, SetUnitsystemChangesOnlyTheProgramWideUnits) {
  doc->setUnitSystem(0);
  iSection();
  const std::vector<double> before = properties();
  const size_t lines = journalLines().size();
  ASSERT_EQ(invoke(L"SetUnitsystem", {I2(QHT_USCS)}), S_OK);
  EXPECT_EQ(gUnitSystem, USCS);
  EXPECT_EQ(doc->unitSystem(), 0);
  EXPECT_EQ(journalLines().size(), lines);
  // The model's numbers are not converted.
  EXPECT_EQ(properties(), before);
}

}  // namespace
