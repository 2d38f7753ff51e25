// Registry helpers over the settings store, in a temporary settings folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "analysis/model/Utilities.h"
#include "platform/core/Hooks.h"
#include "platform/core/Settings.h"

namespace {

const wchar_t* const kRoot = L"Software\\LorimantTests\\Registry";

// Points the settings store at a fresh folder for the test and puts the
// environment back afterwards.
class UtilitiesRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) saved_ = old;
    std::string pattern =
        (std::filesystem::temp_directory_path() / "lorimant-registry-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
    Hooks::reset();
    ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, kRoot, &root_), ERROR_SUCCESS);
  }
  void TearDown() override {
    if (saved_) setenv("XDG_CONFIG_HOME", saved_->c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(folder_);
    Hooks::reset();
  }
  // A fresh handle of a sub-key of the test root (the getters close theirs).
  HKEY open(const wchar_t* sub) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKey(root_, sub, &key), ERROR_SUCCESS) << CString(sub).ToUtf8();
    return key;
  }

  std::optional<std::string> saved_;
  std::string folder_;
  HKEY root_ = nullptr;
};

}  // namespace

TEST_F(UtilitiesRegistry, SetAndGetIntRoundTrip) {
  for (int value : {0, 42, -17, 2147483647}) {
    EXPECT_EQ(setRegInt(root_, L"Window\\Width", value), 1);
    EXPECT_EQ(getRegInt(open(L"Window\\Width"), nullptr), value);
  }
  // Stored as the decimal text of the default value.
  EXPECT_EQ(getRegCString(open(L"Window\\Width"), L""), CStringA("2147483647"));
  EXPECT_TRUE(Hooks::messageBoxes().empty());
}

TEST_F(UtilitiesRegistry, GetIntParsesLikeADecimalNumber) {
  HKEY key = open(L"");
  struct Case {
    const wchar_t* text;
    int expected;
  };
  const Case cases[] = {{L"12.9", 12}, {L"-3.7", -3}, {L" 8", 8}, {L"+5", 5},
                        {L"2.5e2", 250}, {L"7px", 7}, {L"abc", 0}, {L"", 0},
                        {L"1e300", 2147483647}, {L"-1e300", -2147483647 - 1}};
  for (const Case& c : cases) {
    ASSERT_EQ(RegSetString(key, L"Number", c.text), ERROR_SUCCESS);
    EXPECT_EQ(getRegInt(open(L""), L"Number"), c.expected) << CString(c.text).ToUtf8();
  }
}

TEST_F(UtilitiesRegistry, MissingValueIsReportedAndThrown) {
  try {
    getRegCString(open(L""), L"NoSuchValue");
    ADD_FAILURE() << "no exception";
  } catch (const wchar_t* text) {
    EXPECT_EQ(std::wstring(text), L"getRegCString:: get fetch value");
  }
  ASSERT_EQ(Hooks::messageBoxes().size(), 1u);
  const MessageBoxCall& box = Hooks::messageBoxes().front();
  EXPECT_EQ(box.caption, CString(L"Error"));
  EXPECT_EQ(box.type & MB_ICONMASK, MB_ICONINFORMATION);
  CString expected;
  expected.Format(L"The HRESULT was %d meaning %s", static_cast<int>(ERROR_FILE_NOT_FOUND),
                  FormatSystemMessage(ERROR_FILE_NOT_FOUND).GetString());
  EXPECT_EQ(box.text, expected);
}

TEST_F(UtilitiesRegistry, ExistAndRecursiveDelete) {
  EXPECT_EQ(existRegCString(root_, L"Tree"), 0);
  setRegInt(root_, L"Tree\\A\\A1", 1);
  setRegInt(root_, L"Tree\\A\\A2", 2);
  setRegInt(root_, L"Tree\\B", 3);
  EXPECT_EQ(existRegCString(root_, L"Tree\\A\\A2"), 1);

  EXPECT_EQ(recursiveDeleteKey(root_, L"Tree"), ERROR_SUCCESS);
  EXPECT_EQ(existRegCString(root_, L"Tree"), 0);
  EXPECT_EQ(existRegCString(root_, L"Tree\\A\\A1"), 0);
  EXPECT_EQ(recursiveDeleteKey(root_, L"Tree"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(existRegCString(root_, L""), 1);  // the parent stays
}
