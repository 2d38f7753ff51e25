// Result codes, their names and the finite-element value set record.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "analysis/model/FiniteElementSet.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"

namespace {

std::vector<BYTE> stored(const FiniteElementSet& set) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    set.write(ar);
    ar.Close();
  }
  return file.GetBytes();
}

FiniteElementSet numbered() {
  FiniteElementSet set;
  for (int i = 0; i < 6; ++i) set.setValue(367 + i, i + 1.0);
  return set;
}

}  // namespace

TEST(FeCodes, RangesAndParabolicShear) {
  EXPECT_EQ(isDiscreteSetValue(199), 0);
  EXPECT_EQ(isDiscreteSetValue(200), 1);
  EXPECT_EQ(isDiscreteSetValue(398), 1);
  EXPECT_EQ(isDiscreteSetValue(399), 0);
  for (int v : {329, 357, 358}) EXPECT_EQ(isParabolicShear(v), 1) << v;
  for (int v : {328, 330, 356, 359, 0}) EXPECT_EQ(isParabolicShear(v), 0) << v;
}

TEST(FeCodes, Names) {
  struct Case {
    int code;
    const wchar_t* name;
  };
  const Case cases[] = {
      {200, L"s"},
      {207, L"Nothing"},
      {212, L"Jonssen St. Venant's Shear Stress"},
      {333, L"Jonssen St. Venant's Shear Stress"},
      {225, L"dx/dz"},
      {295, L"void"},
      {331, L"VonMises"},
      {344, L"VonMises"},
      {359, L"Warping Shear Partial"},
      {360, L"Warping Shear Partial"},
      {367, L"Nothing"},
      {395, L"Jonssen Horz Bending Shear Stress"},
      {396, L"Nothing"},
      {199, L"Nothing"},
      {-1, L"Nothing"},
  };
  for (const Case& c : cases) EXPECT_EQ(DSVToName(c.code), CString(c.name)) << c.code;
}

TEST(FeValueSet, GetAndSetOnlyTheSixCodes) {
  FiniteElementSet set = numbered();
  for (int i = 0; i < 6; ++i) EXPECT_EQ(set.getValue(367 + i), i + 1.0);
  EXPECT_EQ(set.getValue(366), -1.0);
  EXPECT_EQ(set.getValue(373), -1.0);
  const std::vector<BYTE> before = stored(set);
  set.setValue(373, 5.0);
  set.setValue(366, 5.0);
  EXPECT_EQ(stored(set), before);

  FiniteElementSet copy;
  copy = set;
  EXPECT_EQ(stored(copy), before);
}

TEST(FeValueSet, RecordIsSixDoublesInCodeOrder) {
  const std::vector<BYTE> bytes = stored(numbered());
  ASSERT_EQ(bytes.size(), 48u);
  // 1.0 .. 6.0 as little-endian IEEE doubles: only the two top bytes differ.
  const BYTE high[6][2] = {{0xF0, 0x3F}, {0x00, 0x40}, {0x08, 0x40},
                           {0x10, 0x40}, {0x14, 0x40}, {0x18, 0x40}};
  for (int i = 0; i < 6; ++i) {
    for (int k = 0; k < 6; ++k) EXPECT_EQ(bytes[8 * i + k], 0) << i;
    EXPECT_EQ(bytes[8 * i + 6], high[i][0]) << i;
    EXPECT_EQ(bytes[8 * i + 7], high[i][1]) << i;
  }

  CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
  CArchive ar(&file, CArchive::load);
  FiniteElementSet back;
  back.read(ar);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(back.getValue(367 + i), i + 1.0);
}

TEST(FeValueSet, TruncatedRecordKeepsWhatWasRead) {
  const std::vector<BYTE> bytes = stored(numbered());
  CMemFile file(bytes.data(), 20);  // two whole doubles and part of a third
  CArchive ar(&file, CArchive::load);
  FiniteElementSet back;
  for (int i = 0; i < 6; ++i) back.setValue(367 + i, -5.0);
  try {
    back.read(ar);
    ADD_FAILURE() << "no exception";
  } catch (const CArchiveException& e) {
    EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
  }
  EXPECT_EQ(back.getValue(367), 1.0);
  EXPECT_EQ(back.getValue(368), 2.0);
  for (int code = 369; code <= 372; ++code) EXPECT_EQ(back.getValue(code), -5.0) << code;
}
