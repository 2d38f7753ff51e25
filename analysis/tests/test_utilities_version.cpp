// Version information of the program's own file.
#include <gtest/gtest.h>

#include "analysis/model/CVersionInfo.h"

TEST(UtilitiesVersion, OwnProgramHasVersionInformation) {
  for (const wchar_t* path : {L"/usr/bin/lorimant", L"lorimant.EXE", L"Lorimant.exe"}) {
    CVersionInfo info;
    ASSERT_EQ(info.Load(path), 1) << CString(path).ToUtf8();
    EXPECT_EQ(info.GetProductName(), CString(L"Lorimant"));
    EXPECT_EQ(info.GetProductVersionAsString(), CString(L"2.0.4"));
    EXPECT_EQ(info.GetCompanyName(), CString(L"Quenholt"));
    EXPECT_EQ(info.GetSpecialBuild(), CString());  // absent values are empty
    // 2.0.4.0: major and minor in the high half.
    EXPECT_EQ(info.GetFileVersion(), 0x0002000000040000ull);
    EXPECT_EQ(info.GetProductVersion(), 0x0002000000040000ull);
    const TRANSLATION* t = info.GetTranslation(0);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->language, 0x0409);
    EXPECT_EQ(t->codePage, 0x04b0);
    EXPECT_EQ(info.GetTranslation(1), nullptr);
  }
}

TEST(UtilitiesVersion, OtherFilesHaveNone) {
  CVersionInfo info;
  ASSERT_EQ(info.Load(L"lorimant.EXE"), 1);
  for (const wchar_t* path : {L"/bin/sh", L"pashwell.exe", L"lorimant.dll", L"",
                              static_cast<const wchar_t*>(nullptr)}) {
    EXPECT_EQ(info.Load(path), 0);
    EXPECT_EQ(info.GetProductName(), CString());  // the earlier block was released
    EXPECT_EQ(info.GetFileVersion(), 0u);
    EXPECT_EQ(info.GetTranslation(0), nullptr);
  }
}

TEST(UtilitiesVersion, CopyTakesTheBlockOver) {
  CVersionInfo first;
  ASSERT_EQ(first.Load(L"lorimant"), 1);
  CVersionInfo second(first);
  EXPECT_EQ(second.GetProductName(), CString(L"Lorimant"));
  EXPECT_EQ(first.GetProductName(), CString());
  EXPECT_EQ(first.GetFileVersion(), 0u);

  CVersionInfo third;
  third = second;
  EXPECT_EQ(third.GetProductName(), CString(L"Lorimant"));
  EXPECT_EQ(second.GetTranslation(0), nullptr);
  third = third;  // self-assignment keeps the block
  EXPECT_EQ(third.GetProductName(), CString(L"Lorimant"));

  third.Unload();
  EXPECT_EQ(third.GetProductName(), CString());
}
