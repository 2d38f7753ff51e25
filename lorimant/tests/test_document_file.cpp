// The document file: exact bytes, accepted headers, the picture block, and
// a saved model read back.
#include <cstring>

#include "platform/ole/COleDispatchException.h"
#include "test_document_support.h"

using namespace document_test;

namespace {

void put32(std::vector<BYTE>& b, int v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<BYTE>(static_cast<unsigned>(v) >> (8 * i)));
}
void putWide(std::vector<BYTE>& b, const wchar_t* text) {
  const size_t n = std::wcslen(text);
  b.insert(b.end(), {0xFF, 0xFE, 0xFF, static_cast<BYTE>(n)});
  for (size_t i = 0; i < n; ++i) b.insert(b.end(), {static_cast<BYTE>(text[i]), 0});
}

// A document file with a null model, built field by field.
std::vector<BYTE> fileBytes(const wchar_t* header, int major, int minor, int units, int uniqueId) {
  std::vector<BYTE> b;
  putWide(b, header);
  put32(b, major);
  put32(b, minor);
  put32(b, units);
  put32(b, uniqueId);
  b.push_back(0);  // no picture
  putWide(b, L"aa$$");
  put32(b, 444);
  b.insert(b.end(), {0, 0});  // null model reference
  put32(b, 444);
  put32(b, 1);
  b.insert(b.end(), {0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0xF3, 0x3F});  // 1.2
  return b;
}

}  // namespace

TEST_F(DocumentTest, EmptyDocumentWritesTheFieldTableExactly) {
  CXSectionAnalysisDoc doc;
  gUnitSystem = static_cast<EUnitSystem>(2);
  gUniqueID = 7;
  EXPECT_EQ(store(doc), fileBytes(L"LORIMANT", 2, 0, 2, 7));
}

TEST_F(DocumentTest, HeadersAreAcceptedOrRefused) {
  struct Case {
    const wchar_t* header;
    bool accepted;
  };
  for (const Case& c : {Case{L"LORIMANT", true}, Case{L"", false}, Case{L"QUEN", true}, Case{L"QUENHOLT", true},
                        Case{L"QUENHOLTX", false}, Case{L"Lorimant", false}, Case{L"QUENX", false}}) {
    SCOPED_TRACE(CString(c.header).ToUtf8());
    CXSectionAnalysisDoc doc;
    if (c.accepted) {
      EXPECT_NO_THROW(load(doc, fileBytes(c.header, 2, 0, 1, 40)));
      EXPECT_NE(doc.model(), nullptr);  // a stored null model loads as an empty one
      EXPECT_EQ(gUniqueID, 40);
      EXPECT_EQ(gUnitSystem, USCS);
      EXPECT_EQ(doc.unitSystem(), 1);
      EXPECT_EQ(vAveVAvezeze, doc.model());
      EXPECT_EQ(gModel, doc.model());
      continue;
    }
    try {
      load(doc, fileBytes(c.header, 2, 0, 1, 40));
      ADD_FAILURE() << "header accepted";
    } catch (const COleDispatchException& e) {
      EXPECT_EQ(e.m_wCode, 1);
      EXPECT_EQ(e.m_strDescription, CString(L"Not a Lorimant file"));
    }
  }
}

TEST_F(DocumentTest, OtherVersionNumbersLoadTheSame) {
  CXSectionAnalysisDoc doc;
  load(doc, fileBytes(L"LORIMANT", 7, 13, 0, 5));
  EXPECT_NE(doc.model(), nullptr);
  EXPECT_EQ(gUniqueID, 5);
  EXPECT_EQ(doc.unitSystem(), 0);
}

TEST_F(DocumentTest, ShortPictureBlockIsAnEndOfFileError) {
  std::vector<BYTE> b;
  putWide(b, L"LORIMANT");
  for (int v : {2, 0, 0, 1}) put32(b, v);
  b.push_back(1);  // a picture follows ...
  put32(b, 16);    // ... but only 4 of its 8 size bytes
  CXSectionAnalysisDoc doc;
  try {
    load(doc, b);
    ADD_FAILURE() << "short picture accepted";
  } catch (const CArchiveException& e) {
    EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
  }
}

TEST_F(DocumentTest, RefusedFileIsShownAndNotOpened) {
  const fs::path path = root_ / "foreign.qhscn";
  writeFile(path, fileBytes(L"Lorimant", 2, 0, 0, 1));
  CXSectionAnalysisDoc doc;
  EXPECT_FALSE(doc.OnOpenDocument(CString(path.c_str())));
  EXPECT_EQ(doc.model(), nullptr);
  ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
  EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"FILE IO ERROR"));
  EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"Not a Lorimant file"));
  // The open is journalled before anything is read.
  EXPECT_EQ(lines(journals().at(0)).back(), "xscn.FileOpen \"" + path.string() + "\"");
}

TEST_F(DocumentTest, MissingFileIsShownAndNotOpened) {
  CXSectionAnalysisDoc doc;
  EXPECT_FALSE(doc.OnOpenDocument(CString((root_ / "none.qhscn").c_str())));
  EXPECT_EQ(doc.model(), nullptr);
  ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
  EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"FILE IO ERROR"));
}

TEST_F(DocumentTest, PictureIsReadButNeverWritten) {
  std::vector<BYTE> b;
  putWide(b, L"LORIMANT");
  for (int v : {2, 0, 0, 3}) put32(b, v);
  b.push_back(1);
  for (int v : {4, 2, 0, 4, 2, 24, 444}) put32(b, v);  // size, then header: -, width, height, bits, marker
  {
    CSimpleDIB picture;
    ASSERT_TRUE(picture.Create(4, 2, 24));
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    picture.Serialize(ar);
    ar.Close();
    const auto image = file.GetBytes();
    b.insert(b.end(), image.begin(), image.end());
  }
  put32(b, 444);
  const auto rest = fileBytes(L"LORIMANT", 2, 0, 0, 3);
  const size_t afterFlag = 4 + 2 * 8 + 16 + 1;
  b.insert(b.end(), rest.begin() + afterFlag, rest.end());

  CXSectionAnalysisDoc doc;
  load(doc, b);
  ASSERT_NE(doc.model(), nullptr);
  EXPECT_TRUE(doc.IsModified());  // a picture runs the change routine once
  // The flag is 0 and the name base string follows at once: no picture block.
  const auto saved = store(doc);
  const size_t flag = 4 + 2 * 8 + 16;
  ASSERT_GT(saved.size(), flag + 5);
  EXPECT_EQ(std::vector<BYTE>(saved.begin() + flag, saved.begin() + flag + 5),
            (std::vector<BYTE>{0, 0xFF, 0xFE, 0xFF, 4}));
}

TEST_F(DocumentTest, SavedDocumentReopensWithItsModelAndCounters) {
  const fs::path path = root_ / "saved.qhscn";
  CXSectionAnalysisDoc doc;
  ASSERT_TRUE(doc.OnNewDocument());
  doc.setUnitSystem(1);
  ASSERT_NE(doc.model()->addShape(L"plate"), nullptr);
  gUniqueID = 31;
  ASSERT_TRUE(doc.OnSaveDocument(CString(path.c_str())));
  EXPECT_FALSE(doc.IsModified());

  gUniqueID = 0;
  gUnitSystem = SI;
  CXSectionAnalysisDoc reopened;
  ASSERT_TRUE(reopened.OnOpenDocument(CString(path.c_str())));
  ASSERT_NE(reopened.model(), nullptr);
  EXPECT_NE(reopened.model()->findShape(CString(L"plate")), nullptr);
  EXPECT_EQ(gUniqueID, 31);
  EXPECT_EQ(gUnitSystem, USCS);
  EXPECT_FALSE(reopened.CanUndo());
}

TEST_F(DocumentTest, UnwritableSaveIsShownAndKeepsTheModifiedFlag) {
  CXSectionAnalysisDoc doc;
  ASSERT_TRUE(doc.OnNewDocument());
  doc.ModelChanged();
  EXPECT_FALSE(doc.OnSaveDocument(CString((root_ / "no" / "such" / "folder.qhscn").c_str())));
  EXPECT_TRUE(doc.IsModified());
  ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
  EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"FILE IO ERROR"));
}
