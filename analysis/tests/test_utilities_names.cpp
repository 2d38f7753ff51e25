// Generated names, unique ids, help ids, journal suspension and UTF-8.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "analysis/model/Globals.h"
#include "analysis/model/Utilities.h"

namespace {

// Keeps the process-wide name base and id counter as the test found them.
class UtilitiesNames : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = getBaseName();
    id_ = gUniqueID;
  }
  void TearDown() override {
    setBaseName(base_);
    uniqueID(id_);
  }
  CString base_;
  int id_ = 0;
};

}  // namespace

TEST_F(UtilitiesNames, NameGenSteps) {
  struct Case {
    const wchar_t* base;
    const wchar_t* next;
  };
  const Case cases[] = {
      {L"aa$$", L"ba$$"},
      {L"ya$$", L"za$$"},
      {L"za$$", L"ab$$"},
      {L"zz$$", L"a{$$"},  // the second character counts on past 'z'
      {L"mq", L"nq"},
      {L"z", L"a"},        // nothing to carry into
      {L"", L""},
  };
  for (const Case& c : cases) {
    setBaseName(c.base);
    EXPECT_EQ(nameGen(), CString(c.next)) << c.base;
    EXPECT_EQ(getBaseName(), CString(c.next)) << c.base;
  }
}

TEST_F(UtilitiesNames, NameGenRunsThroughTheAlphabet) {
  setBaseName(L"aa$$");
  CString name;
  for (int i = 0; i < 26; ++i) name = nameGen();
  EXPECT_EQ(name, CString(L"ab$$"));  // ba$$ ... za$$, then ab$$
  EXPECT_EQ(nameGen(), CString(L"bb$$"));
}

TEST_F(UtilitiesNames, UniqueIdsAndHelpIds) {
  uniqueID(500);
  EXPECT_EQ(uniqueID(), 500);
  EXPECT_EQ(uniqueID(), 501);
  EXPECT_EQ(gUniqueID, 502);
  EXPECT_EQ(getHID(100), 65636);
  EXPECT_EQ(getHID(0), 65536);
}

// The counter stops below the end of int instead of overflowing: at its
// ceiling, or set to INT_MAX (2147483647), the next id is refused and the
// counter stays.
TEST_F(UtilitiesNames, UniqueIdsNeverOverflow) {
  uniqueID(kUniqueIDLimit - 1);
  EXPECT_EQ(uniqueID(), kUniqueIDLimit - 1);
  for (int counter : {kUniqueIDLimit, 2147483647}) {
    uniqueID(counter);
    EXPECT_THROW(uniqueID(), std::overflow_error);
    EXPECT_EQ(gUniqueID, counter);
  }
}

TEST(UtilitiesPlatform, LogSuspendAndRestart) {
  logActive = true;
  logSuspend();
  EXPECT_FALSE(logActive);
  logRestart();
  EXPECT_TRUE(logActive);
  logActive = false;
  logSuspend();
  logRestart();
  EXPECT_FALSE(logActive);
}

TEST(UtilitiesPlatform, FixedAnswers) {
  EXPECT_TRUE(isNT2000());
  EXPECT_EQ(EnumInstalledSoftware(L"Lorimant"), 0);
}

TEST(UtilitiesUtf8, EncodeAndDecode) {
  // "Aé€𝄞": one, two, three and four UTF-8 bytes.
  const std::wstring wide = L"A\u00e9\u20ac\U0001D11E";
  const std::string utf8 = "A\xc3\xa9\xe2\x82\xac\xf0\x9d\x84\x9e";
  EXPECT_EQ(utf8_encode(wide), utf8);
  EXPECT_EQ(utf8_decode(utf8), wide);
  EXPECT_EQ(utf8_encode(std::wstring()), "");
  EXPECT_EQ(utf8_decode(std::string()), L"");

  const std::unique_ptr<char[]> buffer = utf8_encode(CString(wide));
  EXPECT_EQ(std::strlen(buffer.get()), utf8.size());
  EXPECT_EQ(std::string(buffer.get()), utf8);
  EXPECT_EQ(utf8_encode(CString())[0], '\0');

  // A malformed byte becomes U+FFFD instead of failing.
  EXPECT_EQ(utf8_decode("a\xff" "b"), L"a\ufffdb");
}
