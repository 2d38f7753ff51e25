// The variant enumerator, over a stand-in variant that owns heap text.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "analysis/model/CEnumVARIANT.h"

namespace {

struct TextVariant {
  std::wstring text;
};

}  // namespace

TEST(UtilitiesEnum, NextSkipReset) {
  const TextVariant items[] = {{L"one"}, {L"two"}, {L"three"}};
  CEnumVARIANT e(items, 3);
  TextVariant out;
  ASSERT_EQ(e.OnNext(&out), 1);
  EXPECT_EQ(out.text, L"one");
  EXPECT_EQ(e.OnSkip(), 1);
  ASSERT_EQ(e.OnNext(&out), 1);
  EXPECT_EQ(out.text, L"three");
  EXPECT_EQ(e.OnNext(&out), 0);
  EXPECT_EQ(out.text, L"three");  // untouched at the end
  EXPECT_EQ(e.OnSkip(), 0);
  e.OnReset();
  ASSERT_EQ(e.OnNext(&out), 1);
  EXPECT_EQ(out.text, L"one");

  CEnumVARIANT empty(items, 0);
  EXPECT_EQ(empty.OnNext(&out), 0);
}

TEST(UtilitiesEnum, CloneOwnsItsCopy) {
  auto items = std::make_unique<std::vector<TextVariant>>(
      std::vector<TextVariant>{{L"a"}, {L"b"}});
  CEnumVARIANT e(items->data(), 2);
  TextVariant out;
  e.OnNext(&out);
  const auto clone = e.OnClone();
  items.reset();  // the clone must not depend on the original array
  ASSERT_EQ(clone->OnNext(&out), 1);
  EXPECT_EQ(out.text, L"b");
  EXPECT_EQ(clone->OnNext(&out), 0);
  clone->OnReset();
  ASSERT_EQ(clone->OnNext(&out), 1);
  EXPECT_EQ(out.text, L"a");
}
