// Texts as journal lines quote them, and the journal block that is lifted
// on every way out of its scope.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "analysis/model/CLog.h"

namespace {

TEST(JournalQuotedText, DoublesEveryQuoteAndNothingElse) {
  const struct {
    const wchar_t* text;
    const wchar_t* quoted;
  } cases[] = {
      {L"", L""},
      {L"R1", L"R1"},
      {L"Ann's web", L"Ann's web"},
      {L"a\"b", L"a\"\"b"},
      {L"a\"\"b", L"a\"\"\"\"b"},
      {L"\"ab", L"\"\"ab"},
      {L"ab\"", L"ab\"\""},
      {L"\"", L"\"\""},
      {L"\"\"\"", L"\"\"\"\"\"\""},
      {L"/tmp/\"x\" \u00e9.qhscn", L"/tmp/\"\"x\"\" \u00e9.qhscn"},
  };
  for (const auto& c : cases) EXPECT_EQ(JournalQuotedText(c.text), CString(c.quoted)) << CString(c.text).ToUtf8();
}

// A journal in a temporary home, removed afterwards.
class JournalBlockGuard : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/lorimant-block-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    home_ = pattern;
    if (const char* home = std::getenv("HOME")) saved_ = home;
    setenv("HOME", home_.c_str(), 1);
  }
  void TearDown() override {
    setenv("HOME", saved_.c_str(), 1);
    std::error_code ec;
    std::filesystem::remove_all(home_, ec);
  }
  std::filesystem::path home_;
  std::string saved_;
};

TEST_F(JournalBlockGuard, LiftedWhenAnExceptionLeavesTheScope) {
  CLog log(L"guard", 2, 0, "LorimantDocument");
  try {
    CLogBlock blocked(&log, L"Delete Selected");
    EXPECT_TRUE(log.isBlocked());
    throw std::runtime_error("deletion failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_FALSE(log.isBlocked());
  // A block taken under another name is kept: the first blocker owns it.
  log.block(L"outer");
  { CLogBlock inner(&log, L"inner"); }
  EXPECT_TRUE(log.isBlocked());
  log.unblock(L"outer");
  // A null journal is nothing to block.
  CLogBlock none(nullptr, L"none");
}

}  // namespace
