// Documents that are not ours, or are hostile, open or fail cleanly: quickly,
// without a large allocation, and without replacing the open section or the
// globals published with it.
#include <algorithm>
#include <climits>
#include <cstring>

#include "analysis/model/Utilities.h"
#include "platform/ole/COleDispatchException.h"
#include "platform/tests/AllocationProbe.h"
#include "test_automation_analyses_support.h"

using namespace analysis_methods_test;
using namespace document_test;

namespace {

void put32(std::vector<BYTE>& b, int v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<BYTE>(static_cast<unsigned>(v) >> (8 * i)));
}

// The document's header fields up to the picture flag, with the title "LORIMANT".
std::vector<BYTE> headerFields(int uniqueId, BYTE pictureFlag) {
  std::vector<BYTE> b = {0xFF, 0xFE, 0xFF, 8};
  for (char c : std::string("LORIMANT")) b.insert(b.end(), {static_cast<BYTE>(c), 0});
  for (int v : {2, 0, 1, uniqueId}) put32(b, v);
  b.push_back(pictureFlag);
  return b;
}

// A whole document with a null model and the given unique-id counter.
std::vector<BYTE> documentWithCounter(int uniqueId) {
  std::vector<BYTE> b = headerFields(uniqueId, 0);
  b.insert(b.end(), {0xFF, 0xFE, 0xFF, 4, 'a', 0, 'a', 0, '$', 0, '$', 0});
  put32(b, 444);
  b.insert(b.end(), {0, 0});  // null model
  put32(b, 444);
  put32(b, 1);
  b.insert(b.end(), {0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0xF3, 0x3F});  // 1.2
  return b;
}

// 65 bytes: the header fields, the picture flag, and a picture of
// 16384 x 16384 pixels of 32 bits (1 GiB of rows) of which nothing follows.
std::vector<BYTE> hugePictureDocument() {
  std::vector<BYTE> b = headerFields(40, 1);
  for (int v : {16384, 16384, 0, 16384, 16384, 32, 444}) put32(b, v);
  return b;
}

constexpr double kMaxSeconds = 2.0;
constexpr std::size_t kMaxRequest = 200u << 20;

class DocumentHostile : public AnalysisMethodsTest {
 protected:
  // Opens the bytes as a file over a section holding "plate": the open
  // fails within the limits, and the section, its globals and the journal
  // line of the open stay as they were.
  void expectRefusedOpen(const std::vector<BYTE>& bytes, const CString& shown) {
    openView();
    rectangle(L"plate", 0, 0, 4, 2);
    const fs::path path = root_ / "hostile.qhscn";
    writeFile(path, bytes);
    const CXSectionAnalysis* before = model();
    const int unique = gUniqueID;
    const CString base = getBaseName();
    bool opened = true;
    const auto usage = allocation_probe::measure([&] { opened = doc->OnOpenDocument(CString(path.c_str())); });
    EXPECT_FALSE(opened);
    EXPECT_LT(usage.seconds, kMaxSeconds);
    if (usage.measured) {
      EXPECT_LT(usage.largestRequest, kMaxRequest);
    }
    EXPECT_EQ(model(), before);
    EXPECT_EQ(vAveVAvezeze, before);
    EXPECT_EQ(gModel, before);
    EXPECT_NE(model()->findShape(L"plate"), nullptr);
    EXPECT_EQ(gUniqueID, unique);
    EXPECT_EQ(getBaseName(), base);
    EXPECT_EQ(gUnitSystem, USCS);
    EXPECT_EQ(doc->openFailure(), shown);
    EXPECT_TRUE(journalled("xscn.FileOpen \"" + path.string() + "\""));
  }
};

}  // namespace

TEST_F(DocumentHostile, HugePictureIsRefusedBeforeItsBitmapIsMade) {
  const std::vector<BYTE> bytes = hugePictureDocument();
  ASSERT_EQ(bytes.size(), 65u);
  expectRefusedOpen(bytes, CArchiveException(CArchiveException::endOfFile).ErrorText());
}

// An empty title passed the title check: 48 NUL bytes read as a document.
TEST_F(DocumentHostile, NulBytesAreNotADocument) {
  expectRefusedOpen(std::vector<BYTE>(48, 0), L"Not a Lorimant file");
}

TEST_F(DocumentHostile, CounterAtTheTopOfIntIsRefusedAsDamaged) {
  expectRefusedOpen(documentWithCounter(INT_MAX),
                    L"The file is damaged: its unique-id counter is out of range");
}

TEST_F(DocumentHostile, StoredCountersInAndOutOfRange) {
  struct Case {
    int counter;
    bool loads;
  };
  for (const Case& c : {Case{0, true}, Case{1034, true}, Case{kUniqueIDLimit, true}, Case{kUniqueIDLimit + 1, false},
                        Case{-1, false}, Case{INT_MIN, false}}) {
    SCOPED_TRACE(c.counter);
    CXSectionAnalysisDoc other;
    gUniqueID = 77;
    if (c.loads) {
      load(other, documentWithCounter(c.counter));
      EXPECT_EQ(gUniqueID, c.counter);
    } else {
      EXPECT_THROW(load(other, documentWithCounter(c.counter)), std::runtime_error);
      EXPECT_EQ(gUniqueID, 77);
      EXPECT_EQ(other.model(), nullptr);
    }
  }
  doc->MakeCurrent();
}

// The automation caller learns why the file was refused.
TEST_F(DocumentHostile, FileOpenOfAForeignFileReportsItsReason) {
  openView();
  rectangle(L"plate", 0, 0, 4, 2);
  const fs::path path = root_ / "zeros.qhscn";
  writeFile(path, std::vector<BYTE>(48, 0));
  expectRefused(invoke(L"FileOpen", {COleVariant(CString(path.c_str()))}), 1, L"Not a Lorimant file");
  EXPECT_NE(model()->findShape(L"plate"), nullptr);
}

// A shape takes ids for itself and for each of its corner dots. Refused at
// any of those steps because the counter ran out, it leaves nothing behind
// (no shape, no dot of it) and the section goes on working.
// Fails: with 7 ids left the shape is listed, then the dot refresh runs out,
// the command reports "No unique ids left" and the sub-section keeps no dots.
TEST_F(DocumentHostile, DISABLED_ShapeRefusedAtTheLastIdsLeavesNothingBehind) {
  openView();
  rectangle(L"plate", 0, 0, 4, 2);
  doc->ModelChanged();
  const auto shapes = model()->shapes.GetCount();
  const std::size_t dots = root()->dots.size();
  bool added = false;
  for (int left = 0; left <= 12 && !added; ++left) {
    SCOPED_TRACE(left);
    uniqueID(kUniqueIDLimit - left);
    const HRESULT hr = invoke(L"AddRectangle", {COleVariant(CString(L"root")), COleVariant(CString(L"late")),
                                                COleVariant(2.0), COleVariant(1.0), COleVariant(0.0),
                                                COleVariant(3.0), I2(0), I2(1), COleVariant(0.0), I2(1)});
    added = hr == S_OK;
    if (added) break;
    expectRefused(hr, excep.wCode, L"No unique ids left");
    EXPECT_EQ(model()->shapes.GetCount(), shapes);
    EXPECT_EQ(root()->dots.size(), dots);
    EXPECT_EQ(model()->findShape(L"late"), nullptr);
  }
  EXPECT_TRUE(added);
  uniqueID(5000);
  root()->refreshDots();
  EXPECT_EQ(invoke(L"ComputeGeomSectionProperties", {}), S_OK) << CString(excep.bstrDescription).ToUtf8();
  EXPECT_EQ(invoke(L"Undo", {}), S_OK) << CString(excep.bstrDescription).ToUtf8();
}

// The kernel refuses a damaged outline with its own narrow text; the open
// and the automation caller both report it instead of ending the program.
TEST_F(DocumentHostile, DamagedOutlineIsRefusedWithTheKernelsReason) {
  openView();
  rectangle(L"a", 0, 0, 4, 2);
  std::vector<BYTE> bytes = store(*doc);
  // The first arc record: its class text "Bspline", then closed, segment
  // count and degree as int32; a degree of 99 fits none of its knots.
  const std::vector<BYTE> text = {'B', 0, 's', 0, 'p', 0, 'l', 0, 'i', 0, 'n', 0, 'e', 0};
  const auto at = std::search(bytes.begin(), bytes.end(), text.begin(), text.end());
  ASSERT_NE(at, bytes.end());
  const auto degree = at + static_cast<long>(text.size()) + 8;
  std::fill(degree, degree + 4, BYTE{0});
  *degree = 99;
  rectangle(L"plate", 0, 3, 4, 2);
  const fs::path path = root_ / "outline.qhscn";
  writeFile(path, bytes);
  EXPECT_FALSE(doc->OnOpenDocument(CString(path.c_str())));
  EXPECT_EQ(doc->openFailure(), CString(L"Bad spline"));
  expectRefused(invoke(L"FileOpen", {COleVariant(CString(path.c_str()))}), 1, L"Bad spline");
  EXPECT_NE(model()->findShape(L"plate"), nullptr);
}
