// Documents holding meshes: a mesh of more triangles than the old id bound
// (100000) saves, opens in a fresh document and analyses; a small document
// whose stored mesh states huge array limits opens quickly and without
// making arrays of those sizes.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>

#include "analysis/tests/test_materials_support.h"
#include "lorimant/automation/LorimantTypeLibrary.h"
#include "test_automation_analyses_support.h"

using namespace analysis_methods_test;

namespace {

// The symmetric filleted I-beam of the profile tests: area 29.41460.
const std::vector<double> kIBeam = {10, 1, 4, 1.2, 9, 1.2, 0.5, 0.5, 90, 4, 1.2, 9, 1.2, 0.5, 0.5, 90,
                                    0, 3, 0, 0, 0, 0, 0};
constexpr int kIBeamOrigin = 16;  // the two placement indices are integers
constexpr double kIBeamArea = 29.41460;

// The process's peak resident memory so far, in megabytes.
double peakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

class MeshDocuments : public AnalysisMethodsTest {
 protected:
  void SetUp() override {
    AnalysisMethodsTest::SetUp();
    // The file keeps material names; opening fetches them from this database.
    const document_test::fs::path database = root_ / "materials.sqldb";
    mattest::MetalRow row = mattest::sampleRow(L"alloy", 1000);
    mattest::createMaterialDatabase(database, {row});
    model()->materialDatabasePath = CString(database.wstring().c_str());
  }

  COleVariant path(const char* name) { return COleVariant(CString((root_ / name).wstring().c_str())); }

  // The I-beam profile "I1" in root, of the alloy.
  void iBeam() {
    std::vector<COleVariant> args{COleVariant(L"root"), COleVariant(L"I1")};
    for (std::size_t i = 0; i < kIBeam.size(); ++i) {
      const bool index = i == kIBeamOrigin || i == kIBeamOrigin + 1;
      args.push_back(index ? COleVariant(static_cast<short>(kIBeam[i])) : COleVariant(kIBeam[i]));
    }
    ASSERT_EQ(invoke(L"AddIBeam", std::move(args)), S_OK) << CString(excep.bstrDescription).ToUtf8();
    ASSERT_EQ(invoke(L"SetMaterialOnSubSection", {COleVariant(L"I1"), COleVariant(L"alloy")}), S_OK)
        << CString(excep.bstrDescription).ToUtf8();
  }

  // Opens file in a fresh document, which becomes the current one.
  HRESULT openFresh(CXSectionAnalysisDoc& fresh, const char* file) {
    fresh.hidden = true;
    fresh.OnNewDocument();
    excep = EXCEPINFO();
    const auto& table = ILorimantDispatchTable();
    return table.Invoke(fresh, table.GetIDOfName(L"FileOpen"), DISPATCH_METHOD, {path(file)}, nullptr, &excep);
  }
};

// 60,000 nodes make about 120,000 triangles: the mesh saves (the undo
// check-point of the analysis stores it too), opens in a fresh document with
// every record and analyses there. An axial force P alone gives the stress
// P / A everywhere. (About 16 s under the sanitizers, most of it meshing.)
TEST_F(MeshDocuments, AMeshPastTheOldIdBoundSavesOpensAndAnalyses) {
  iBeam();
  ASSERT_EQ(invoke(L"MeshSubSection", {COleVariant(L"I1"), I2(TRIANGLE_3NODES), I4(60000), COleVariant(0.001),
                                       COleVariant(1.0)}),
            S_OK)
      << CString(excep.bstrDescription).ToUtf8();
  // The mesh goes to the current sub-section, the root.
  ASSERT_EQ(root()->meshes.size(), 1u);
  const CMesh& made = *root()->meshes.front();
  ASSERT_GT(made.nTriangles, 100001);
  const std::size_t nodes = made.nodes.size();
  const int triangles = made.nTriangles;
  ASSERT_EQ(invoke(L"FileSave", {path("beam.lor")}), S_OK) << CString(excep.bstrDescription).ToUtf8();

  CXSectionAnalysisDoc fresh;
  ASSERT_EQ(openFresh(fresh, "beam.lor"), S_OK) << CString(excep.bstrDescription).ToUtf8();
  const CMesh* opened = fresh.model()->rootSubSection()->findMesh(L"I1");
  ASSERT_NE(opened, nullptr);
  EXPECT_EQ(opened->nTriangles, triangles);
  EXPECT_EQ(opened->nodes.size(), nodes);

  const auto& table = ILorimantDispatchTable();
  auto call = [&](const wchar_t* name, std::vector<COleVariant> args, COleVariant* result = nullptr) {
    excep = EXCEPINFO();
    return table.Invoke(fresh, table.GetIDOfName(name), DISPATCH_METHOD, std::move(args), result, &excep);
  };
  ASSERT_EQ(call(L"ApplyUnrestrainedBendingForces", {COleVariant(L"root"), COleVariant(L"axial"), COleVariant(8.0),
                                                     COleVariant(0.0), COleVariant(0.0), I4(1)}),
            S_OK)
      << CString(excep.bstrDescription).ToUtf8();
  COleVariant stress;
  ASSERT_EQ(call(L"GetValueAtLocation", {I2(QHT_STRESSZZ), COleVariant(4.5), COleVariant(5.0)}, &stress), S_OK)
      << CString(excep.bstrDescription).ToUtf8();
  EXPECT_NEAR(stress.dblVal, 8.0 / kIBeamArea, 1e-3 * 8.0 / kIBeamArea);
  // The analysis's check-point stored the opened model.
  EXPECT_EQ(call(L"FileSave", {path("again.lor")}), S_OK) << CString(excep.bstrDescription).ToUtf8();
  doc->MakeCurrent();
}

// A document of a few kilobytes whose mesh states 20,000,000 for each of its
// seven array limits: opened, it makes arrays for the records it holds,
// not for the limits, within 2 s and 200 MB.
TEST_F(MeshDocuments, HugeStoredLimitsOfASmallDocumentMakeNoHugeArrays) {
  solid(root(), L"plate", 0, 0, 4, 2);  // of the alloy, which the database holds too
  ASSERT_EQ(invoke(L"MeshShape", {COleVariant(L"plate"), I2(TRIANGLE_3NODES), I4(40), COleVariant(0.01),
                                  COleVariant(0.5)}),
            S_OK)
      << CString(excep.bstrDescription).ToUtf8();
  ASSERT_EQ(invoke(L"FileSave", {path("small.lor")}), S_OK) << CString(excep.bstrDescription).ToUtf8();
  std::ifstream in(root_ / "small.lor", std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_LT(bytes.size(), 40000u);
  // The mesh's seven limits, in their stored order, found in the file.
  const CMesh& made = *root()->findMesh(L"plate");
  const int stated[7] = {made.maxEdges,  made.maxSegments, made.maxNodes,    made.maxTriangles,
                         made.ultEdges, made.ultSegments, made.ultTriangles};
  const char* first = reinterpret_cast<const char*>(stated);
  auto at = std::search(bytes.begin(), bytes.end(), first, first + sizeof stated);
  ASSERT_NE(at, bytes.end());
  ASSERT_EQ(std::search(at + 1, bytes.end(), first, first + sizeof stated), bytes.end());
  for (int k = 0; k < 7; ++k) {
    const int value = 20'000'000;
    std::memcpy(&*at + 4 * k, &value, 4);
  }
  std::ofstream(root_ / "huge.lor", std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));

  const double before = peakMegabytes();
  const auto start = std::chrono::steady_clock::now();
  CXSectionAnalysisDoc fresh;
  const HRESULT hr = openFresh(fresh, "huge.lor");
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 2.0);
  EXPECT_LT(peakMegabytes() - before, 200.0);
  // Opened: the mesh keeps its stated limits and every record.
  ASSERT_EQ(hr, S_OK) << CString(excep.bstrDescription).ToUtf8();
  const CMesh* mesh = fresh.model()->rootSubSection()->findMesh(L"plate");
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->ultEdges, 20'000'000);
  EXPECT_LE(mesh->capacity.edges, 2 * mesh->nEdges);
  EXPECT_EQ(mesh->nodes.size(), model()->rootSubSection()->findMesh(L"plate")->nodes.size());
  doc->MakeCurrent();
}

}  // namespace
