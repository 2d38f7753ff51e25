// Light properties: defaults, colour changes and the 64-byte record.
#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "analysis/model/LightProperties.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"

namespace {

void expectColour(const RGBAf& c, float r, float g, float b, float a) {
  EXPECT_EQ(c.red, r);
  EXPECT_EQ(c.green, g);
  EXPECT_EQ(c.blue, b);
  EXPECT_EQ(c.alpha, a);
}

std::vector<BYTE> store(const LightProperties& light, bool asObject) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    if (asObject)
      ar << &light;
    else
      light.write(ar);
    ar.Close();
  }
  return file.GetBytes();
}

// The default record: ambient 0.3 grey, diffuse green, specular white (all
// alpha 1), shininess 80, param 50, mode 0x2101, flags 0; IEEE singles and
// int32, little-endian.
const std::vector<BYTE> kDefaultRecord = {
    0x9A, 0x99, 0x99, 0x3E, 0x9A, 0x99, 0x99, 0x3E, 0x9A, 0x99, 0x99, 0x3E, 0x00, 0x00, 0x80, 0x3F,  // ambient
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x3F,  // diffuse
    0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x80, 0x3F,  // specular
    0x00, 0x00, 0xA0, 0x42, 0x00, 0x00, 0x48, 0x42, 0x01, 0x21, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 80, 50, mode, flags
};

}  // namespace

TEST(DspRecordLight, ConstructorsGiveTheDefaults) {
  const LightProperties light;
  expectColour(light.ambient, 0.3f, 0.3f, 0.3f, 1.0f);
  expectColour(light.diffuse, 0.0f, 1.0f, 0.0f, 1.0f);
  expectColour(light.specular, 1.0f, 1.0f, 1.0f, 1.0f);
  EXPECT_EQ(light.shininess, 80.0f);
  EXPECT_EQ(light.param, 50.0f);
  EXPECT_EQ(light.mode, 8449);
  EXPECT_EQ(light.flags, 0);

  const LightProperties blue(0.0f, 0.0f, 1.0f);
  expectColour(blue.diffuse, 0.0f, 0.0f, 1.0f, 1.0f);
  expectColour(blue.ambient, 0.3f, 0.3f, 0.3f, 1.0f);
  EXPECT_EQ(store(blue, false), store(LightProperties(&blue), false));
}

TEST(DspRecordLight, ColorSetsRgbAndKeepsEveryAlpha) {
  LightProperties light;
  light.ambient.alpha = 0.25f;
  light.diffuse.alpha = 0.5f;
  light.specular.alpha = 0.75f;
  const RGBAf diffuse{0.1f, 0.2f, 0.3f, 0.0f};
  const RGBAf specular{0.4f, 0.5f, 0.6f, 0.0f};
  light.color(&diffuse, &specular, 12.0f);
  expectColour(light.ambient, 0.1f, 0.2f, 0.3f, 0.25f);
  expectColour(light.diffuse, 0.1f, 0.2f, 0.3f, 0.5f);
  expectColour(light.specular, 0.4f, 0.5f, 0.6f, 0.75f);
  EXPECT_EQ(light.shininess, 12.0f);
}

TEST(DspRecordLight, RecordIsSixtyFourBytesAndEightyFiveAsANewObject) {
  const LightProperties light;
  EXPECT_EQ(store(light, false), kDefaultRecord);

  std::vector<BYTE> expected = {0xFF, 0xFF, 0x01, 0x00, 0x0F, 0x00};
  for (char c : std::string("LightProperties")) expected.push_back(static_cast<BYTE>(c));
  expected.insert(expected.end(), kDefaultRecord.begin(), kDefaultRecord.end());
  EXPECT_EQ(expected.size(), 85u);
  EXPECT_EQ(store(light, true), expected);
}

TEST(DspRecordLight, ObjectRoundTripIsBitForBit) {
  LightProperties light(1.0f / 3.0f, -0.0f, std::numeric_limits<float>::denorm_min());
  light.specular.alpha = std::numeric_limits<float>::quiet_NaN();
  light.param = -1.5e-30f;
  light.mode = -7;
  light.flags = 0x7FFFFFFF;
  const std::vector<BYTE> bytes = store(light, true);

  CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
  CArchive ar(&file, CArchive::load);
  LightProperties* read = nullptr;
  ar >> read;
  std::unique_ptr<LightProperties> owned(read);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(store(*read, true), bytes);
}

TEST(DspRecordLight, ReadingOnAStoringArchiveThrows) {
  CMemFile file;
  CArchive ar(&file, CArchive::store);
  LightProperties light;
  EXPECT_THROW(light.read(ar), CArchiveException);
}
