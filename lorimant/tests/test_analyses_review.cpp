// Hostile inputs to the profile builders and the section-property export:
// numbers that are not finite, and section names holding XML's own marks.
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <limits>

#include "lorimant/analyses/SectionPropertiesXml.h"
#include "lorimant/automation/LorimantTypeLibrary.h"
#include "test_automation_analyses_support.h"
#include "test_automation_profiles_support.h"

using namespace profile_test;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// A valid call of each builder: its arguments and where iorig sits.
struct GoodCall {
    const wchar_t* method;
    std::vector<double> v;
    int iorigAt;
};

const GoodCall kGoodCalls[] = {
    {L"AddExtrudedL", {10, 1, 8, 1.2, 0.5, 90, 0, 2, 0, 0, 0, 0}, 6},
    {L"AddExtrudedT", {10, 1, 4, 1.2, 9, 1.2, 0.5, 0.5, 90, 0, 3, 0, 0, 0, 0}, 9},
    {L"AddExtrudedC", {10, 1, 5, 1, 0.5, 90, 5, 1, 0.5, 90, 0, 7, 0, 0, 0, 0.2, 5}, 10},
    {L"AddExtrudedZ", {10, 1, 5, 1, 0.5, 90, 5, 1, 0.5, 90, 0, 2, 0, 0, 0, 0.2}, 10},
    {L"AddExtrudedJ", {10, 1, 5, 1, 0.5, 90, 3, 1, 9, 1, 0.5, 0.5, 90, 0, 2, 0, 0, 0, 0.2}, 13},
    {L"AddIBeam", {10, 1, 4, 1.2, 9, 1.2, 0.5, 0.5, 90, 4, 1.2, 9, 1.2, 0.5, 0.5, 90, 0, 3, 0, 0, 0, 0, 0}, 16},
    {L"AddFormedL", {10, 0.1, 8, 0.2, 90, 5, 0, 0, 0, 0}, 5},
    {L"AddFormedC", {10, 0.2, 4, 0.3, 90, 3, 0.4, 90, 0, 7, 1.5, -2, 0}, 8},
    {L"AddFormedZ", {10, 0.2, 4, 0.3, 90, 3, 0.4, 90, 0, 7, 1.5, -2, 0}, 8},
};

}  // namespace

// A web length, a thickness, an angle or a placement that is NaN or infinite
// passes every "<= 0" and "greater than" test: it must be refused (code 1)
// before anything is made, journalled or left blocked.
TEST_F(ProfileTest, NonFiniteDimensionsAreRefusedBeforeAnythingIsMade)
{
    int n = 0;
    for (const GoodCall& call : kGoodCalls) {
        // Web length, thickness, the x of the placement and the last value.
        const std::size_t positions[] = {0, 1, static_cast<std::size_t>(call.iorigAt + 2), call.v.size() - 1};
        for (std::size_t at : positions) {
            for (double bad : {kNaN, kInf, -kInf}) {
                std::vector<double> v = call.v;
                v[at] = bad;
                const CString name = CString(L"N") + CString(std::to_wstring(++n).c_str());
                SCOPED_TRACE(CString(call.method).ToUtf8() + " at " + std::to_string(at) + " = " +
                             std::to_string(bad));
                const std::size_t before = journalLines().size();
                const std::size_t shapes = doc->model()->shapes.GetCount();
                ASSERT_EQ(build(call.method, L"root", name, v, call.iorigAt), DISP_E_EXCEPTION);
                EXPECT_EQ(excep.wCode, 1);
                // NaN fails every comparison, so only the finiteness test
                // can catch it; an infinity may meet a builder's own test first.
                if (std::isnan(bad)) {
                    EXPECT_EQ(excep.bstrDescription.ToUtf8(), "All dimensions must be finite numbers");
                }
                EXPECT_EQ(doc->model()->findSubSection(name), nullptr);
                EXPECT_EQ(doc->model()->shapes.GetCount(), shapes);
                EXPECT_EQ(journalLines().size(), before);
                EXPECT_EQ(doc->journal()->isBlocked(), 0);
                EXPECT_FALSE(doc->busy);
                EXPECT_FALSE(doc->checkPointSuppressed);
            }
        }
        // The same call with finite values still builds.
        const CString name = CString(L"G") + CString(std::to_wstring(++n).c_str());
        EXPECT_EQ(build(call.method, L"root", name, call.v, call.iorigAt), S_OK) << excep.bstrDescription.ToUtf8();
    }
}

// A section name holding the marks XML reserves is written escaped: the file
// is well formed and the name reads back unchanged.
TEST_F(ProfileTest, SectionNamesWithXmlMarksAreEscapedAndReadBack)
{
    const CString name(L"a<b & \"c\" 'd' >e");
    const document_test::fs::path file = root_ / "marks.xml";
    WriteSectionPropertiesXml(CString(file.wstring().c_str()), name, [](short id) { return id * 0.5; }, false);
    EXPECT_EQ(std::system(("xmllint --noout '" + file.string() + "' 2>/dev/null").c_str()), 0);
    std::unique_ptr<SectionPropertiesRecord> record = ReadSectionPropertiesXml(CString(file.wstring().c_str()));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->sectionName, name);
    EXPECT_EQ(record->value(1), 0.5);
}

namespace {

class AnalysesReview : public analysis_methods_test::AnalysisMethodsTest {
 protected:
  COleVariant path(const char* name) { return COleVariant(CString((root_ / name).wstring().c_str())); }
  void write(const char* name, const std::string& text) { std::ofstream(root_ / name, std::ios::binary) << text; }
  void meshedRectangle() {
    solid(root(), L"plate", 0, 0, 4, 2);
    ASSERT_EQ(invoke(L"MeshShape", {COleVariant(L"plate"), I2(TRIANGLE_3NODES), I4(5), COleVariant(0.01),
                                    COleVariant(0.5)}),
              S_OK)
        << CString(excep.bstrDescription).ToUtf8();
  }
};

}  // namespace

// A save that cannot write keeps the document modified; an IGES read of
// garbage is refused and keeps the section.
TEST_F(AnalysesReview, FailedSavesAndImportsKeepTheSection) {
  bare(root(), L"web", 0, 0, 1, 8);
  doc->SetModifiedFlag(true);
  EXPECT_EQ(invoke(L"FileSave", {path("no-such-folder/x.lor")}), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.wCode, 1);
  EXPECT_TRUE(doc->IsModified());
  write("garbage.igs", "this is not an IGES file\n\x01\x02");
  EXPECT_EQ(invoke(L"ReadIGES", {path("garbage.igs")}), DISP_E_EXCEPTION);
  EXPECT_EQ(invoke(L"ReadIGES", {path("absent.igs")}), DISP_E_EXCEPTION);
  ASSERT_NE(model(), nullptr);
  EXPECT_NE(model()->findShape(L"web"), nullptr);
}

// Every identifier on an empty section and on one whose properties were
// never computed: the identifiers of a stored property give a finite value,
// the others (and, with no current load condition, the plastic neutral-axis
// ones) are refused. Bending results outside the enumeration are refused.
TEST_F(AnalysesReview, GetValueOfEveryIdentifierIsAFiniteValueOrARefusal) {
  // 12, 13, 26 to 28, 32, 33, 62 and 63 name nothing GetValue reads; 30, 31
  // and 58 to 61 need a current load condition; 0 and 73 lie outside.
  const auto known = [](int id) {
    return (id >= 1 && id <= 11) || (id >= 14 && id <= 25) || id == 29 || (id >= 34 && id <= 57) ||
           (id >= 64 && id <= 72);
  };
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 1) bare(root(), L"web", 0, 0, 1, 8);
    for (int id = 0; id <= 73; ++id) {
      COleVariant result;
      const HRESULT hr = invoke(L"GetValue", {I2(id)}, &result);
      if (known(id)) {
        ASSERT_EQ(hr, S_OK) << "pass " << pass << " id " << id << " " << CString(excep.bstrDescription).ToUtf8();
        EXPECT_TRUE(std::isfinite(result.dblVal)) << "pass " << pass << " id " << id << " " << result.dblVal;
      } else {
        EXPECT_EQ(hr, DISP_E_EXCEPTION) << id;
        EXPECT_EQ(CString(excep.bstrDescription).ToUtf8(), "GetValue has unrecognized valueID")
            << "pass " << pass << " id " << id;
      }
    }
  }
  for (int id : {-1, 0, 30, 1000})
    EXPECT_EQ(invoke(L"BendingAnalysisResult", {COleVariant(L"none"), I2(id)}), DISP_E_EXCEPTION) << id;
}

// A node count the mesh arrays cannot be sized for, or sizes that are not
// numbers, are refused before the model meshes anything.
TEST_F(AnalysesReview, AbsurdMeshRequestsAreRefused) {
  solid(root(), L"plate", 0, 0, 4, 2);
  const double nan = std::nan("");
  const struct {
    long nodes;
    double tol, thick;
    const char* text;
  } cases[] = {
      {2000000000, 0.01, 0.5, "The number of nodes must lie between 0 and 100000"},
      {100001, 0.01, 0.5, "The number of nodes must lie between 0 and 100000"},
      {-5, 0.01, 0.5, "The number of nodes must lie between 0 and 100000"},
      {5, nan, 0.5, "The mesh sizes must be finite numbers"},
      {5, 0.01, nan, "The mesh sizes must be finite numbers"},
      {5, 0.01, kInf, "The mesh sizes must be finite numbers"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.nodes) + " " + std::to_string(c.tol) + " " + std::to_string(c.thick));
    for (const wchar_t* method : {L"MeshShape", L"MeshSubSection"}) {
      const wchar_t* target = std::wstring(method) == L"MeshShape" ? L"plate" : L"root";
      const HRESULT hr = invoke(method, {COleVariant(target), I2(TRIANGLE_3NODES), I4(c.nodes),
                                         COleVariant(c.tol), COleVariant(c.thick)});
      EXPECT_EQ(hr, DISP_E_EXCEPTION);
      EXPECT_EQ(excep.wCode, 1001);
      EXPECT_EQ(CString(excep.bstrDescription).ToUtf8(), c.text);
      EXPECT_TRUE(root()->meshes.empty());
    }
  }
}

// A weld box over the border of one mesh only has nothing to join: refused,
// whichever corners come first and however large the box.
TEST_F(AnalysesReview, WeldBoxesOverASingleMeshAreRefused) {
  meshedRectangle();
  const double n = std::nan("");
  const std::vector<std::vector<double>> boxes = {
      {1, 1, 1, 1}, {-1, -1, 5, 3}, {5, 3, -1, -1}, {n, n, n, n}, {-1e308, -1e308, 1e308, 1e308}};
  for (const auto& box : boxes) {
    const HRESULT hr = invoke(L"CreateWeld", {COleVariant(box[0]), COleVariant(box[1]), COleVariant(box[2]),
                                              COleVariant(box[3])});
    expectRefused(hr, 1001, L"The weld rectangle must contain only border elements of two meshes");
    EXPECT_TRUE(root()->welds.empty());
  }
}

// Points on the mesh's nodes and edges, the border included, lie in a
// triangle: under an axial stress of 1 every one of them reads 1.
TEST_F(AnalysesReview, ValuesAtNodesAndEdgesAreFound) {
  meshedRectangle();
  ASSERT_EQ(invoke(L"ApplyUnrestrainedBendingForces", {COleVariant(L"root"), COleVariant(L"axial"), COleVariant(8.0),
                                                       COleVariant(0.0), COleVariant(0.0), I4(1)}),
            S_OK)
      << CString(excep.bstrDescription).ToUtf8();
  const std::pair<double, double> points[] = {{0, 0}, {4, 2}, {4, 0}, {0, 2}, {2, 0}, {4, 1}, {0, 1}, {2, 2}, {2, 1}};
  for (const auto& p : points) {
    COleVariant r;
    const HRESULT hr = invoke(L"GetValueAtLocation", {I2(QHT_STRESSZZ), COleVariant(p.first), COleVariant(p.second)}, &r);
    EXPECT_EQ(hr, S_OK) << p.first << "," << p.second << " " << CString(excep.bstrDescription).ToUtf8();
    if (hr == S_OK) {
      EXPECT_NEAR(r.dblVal, 1.0, 1e-9) << p.first << "," << p.second;
    }
  }
  for (const auto& p : std::vector<std::pair<double, double>>{{4.001, 1}, {std::nan(""), 1}, {2, kInf}}) {
    COleVariant r;
    expectRefused(invoke(L"GetValueAtLocation", {I2(QHT_STRESSZZ), COleVariant(p.first), COleVariant(p.second)}, &r),
                  1002, L"Location does not lie inside of any triangle");
  }
}
