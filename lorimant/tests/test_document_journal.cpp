// The document's journal: header on creation, epilogue on destruction, the
// database connection line, and one journal per document.
#include "analysis/model/CLog.h"
#include "test_document_support.h"

using namespace document_test;

namespace {

const std::vector<std::string> kEpilogue = {"Set xscn = Nothing",    "Exit Sub",           "ErrHandler:",
                                            "\tMsgBox err.Description", "\tSet xscn = Nothing", "End Sub"};

}  // namespace

TEST_F(DocumentTest, JournalHasHeaderAndAlwaysTheEpilogue) {
  { CXSectionAnalysisDoc doc; }
  const auto files = journals();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].filename().string().rfind("LorimantDocument_", 0), 0u);
  const auto text = lines(files[0]);
  ASSERT_EQ(text.size(), 16u + 6u);
  EXPECT_EQ(text[2], "'Version 2.0");
  EXPECT_EQ(text[7], "Dim xscn As LorimantDocument");
  EXPECT_EQ(text[15], "xscn.ClearAll");
  EXPECT_EQ(std::vector<std::string>(text.begin() + 16, text.end()), kEpilogue);
}

TEST_F(DocumentTest, ConnectDatabaseOnlyWhenTheDefaultFileExists) {
  for (bool present : {false, true}) {
    SCOPED_TRACE(present);
    for (const auto& f : journals()) fs::remove(f);
    if (present) {
      fs::create_directories(root_ / "data" / "lorimant");
      std::ofstream(root_ / "data" / "lorimant" / "Quenholt.sqldb") << "";
    }
    {
      CXSectionAnalysisDoc doc;
      ASSERT_TRUE(doc.OnNewDocument());
      EXPECT_EQ(doc.unitSystem(), 2);
      EXPECT_EQ(static_cast<int>(gUnitSystem), 2);
      EXPECT_EQ(doc.model()->materialDatabasePath.IsEmpty(), !present);
    }
    const auto files = journals();
    ASSERT_EQ(files.size(), 1u);
    const auto text = lines(files[0]);
    const std::string expected =
        "xscn.ConnectDatabase \"" + (root_ / "data" / "lorimant" / "Quenholt.sqldb").string() + "\"";
    EXPECT_EQ(std::count(text.begin(), text.end(), expected), present ? 1 : 0);
    EXPECT_EQ(text.size(), 16u + (present ? 1u : 0u) + 6u);
  }
}

TEST_F(DocumentTest, TwoDocumentsInOneSecondWriteTwoJournals) {
  CXSectionAnalysisDoc first;
  CXSectionAnalysisDoc second;
  EXPECT_EQ(journals().size(), 2u);
}

TEST_F(DocumentTest, ClosingAnsweredYesJournalsNoDeletion) {
  {
    CXSectionAnalysisDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    Hooks::scriptAnswers({IDYES});
    ASSERT_TRUE(doc.SaveModified());
    EXPECT_EQ(gDeletingScn, doc.model());
    doc.OnCloseDocument();
    EXPECT_EQ(gDeletingScn, nullptr);
    EXPECT_EQ(doc.model()->rootSubSection(), nullptr);
  }
  const auto text = lines(journals().at(0));
  EXPECT_EQ(text.size(), 16u + 6u);
}

TEST_F(DocumentTest, CloseQuestionAnsweredNoKeepsTheDocument) {
  CXSectionAnalysisDoc doc;
  ASSERT_TRUE(doc.OnNewDocument());
  doc.ModelChanged();
  Hooks::scriptAnswers({IDNO});
  EXPECT_FALSE(doc.SaveModified());
  ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
  EXPECT_EQ(Hooks::messageBoxes()[0].text, CString(L"Are you sure you want to close the current document?"));
  EXPECT_EQ(Hooks::messageBoxes()[0].caption, CString(L"File Operations"));
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(gDeletingScn, nullptr);
}

namespace {
// A document whose save-changes prompt is cancelled.
class CancellingDoc : public CXSectionAnalysisDoc {
 public:
  bool SaveChangesPrompt() override { return false; }
};
}  // namespace

TEST_F(DocumentTest, CancelledSavePromptClearsTheClosingMark) {
  CancellingDoc doc;
  ASSERT_TRUE(doc.OnNewDocument());
  EXPECT_FALSE(doc.SaveModified());
  EXPECT_EQ(gDeletingScn, nullptr);
  doc.OnCloseDocument();  // a later clearing leaves the section alone
  EXPECT_NE(doc.model()->rootSubSection(), nullptr);
}

TEST_F(DocumentTest, EmbeddedCloseNeverAsksAgain) {
  CXSectionAnalysisDoc embedded;
  embedded.embedded = true;
  EXPECT_TRUE(embedded.SaveModified());
  CXSectionAnalysisDoc other;
  EXPECT_TRUE(other.SaveModified());
  EXPECT_TRUE(Hooks::messageBoxes().empty());
}
