// Hostile archives: objects that two owners would adopt, absurd matrix
// sizes. Each crafted file must fail with CArchiveException and leave
// nothing behind (the sanitizers check both).
#include <gtest/gtest.h>

#include <bit>
#include <memory>
#include <string>
#include <vector>

#include "analysis/geometry/Matrix.h"
#include "analysis/model/CLoadCdnFactor.h"
#include "analysis/model/CLoadCombination.h"
#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/LightProperties.h"
#include "analysis/tests/LoadsArchiveBytes.h"

namespace {

using loads_test::ByteBuilder;
using test_support::Bytes;
using test_support::loaded;

// Tags of the archive's index space as the crafted files below use them.
constexpr unsigned short kSecondClass = 0x8001;

// The cause of the CArchiveException that loading the bytes throws while
// reading `objects` top-level objects (taking each one, as a document
// would); -1 when none is thrown. Objects read before the failure are freed.
int causeOfLoading(const Bytes& bytes, int objects) {
  std::vector<std::unique_ptr<CObject>> taken;
  try {
    loaded(bytes, [&](CArchive& ar) {
      for (int i = 0; i < objects; ++i)
        taken.emplace_back(ar.ReadOwned(nullptr));
    });
  } catch (const CArchiveException& e) {
    return e.m_cause;
  }
  return -1;
}

// The fields of a metal record up to its colour, all zero (eight empty
// strings, ten doubles, valid, Ec, six doubles, valid).
ByteBuilder& metalFieldsBeforeColour(ByteBuilder& b) {
  for (int i = 0; i < 8; ++i)
    b.str("");
  for (int i = 0; i < 10; ++i)
    b.f64(0.0);
  b.i32(1).f64(0.0);
  for (int i = 0; i < 6; ++i)
    b.f64(0.0);
  return b.i32(1);
}

// The fields after the colour: eleven filler doubles, the filler int and text.
ByteBuilder& metalFieldsAfterColour(ByteBuilder& b) {
  for (int i = 0; i < 11; ++i)
    b.f64(101010101.0);
  return b.i32(1010101).str("DummyString");
}

// A colour record: fourteen floats, mode and flags.
ByteBuilder& colourFields(ByteBuilder& b) {
  for (int i = 0; i < 14; ++i)
    b.i32(std::bit_cast<int>(0.5f));
  return b.i32(0x2101).i32(0);
}

}  // namespace

// One well-formed metal loads; a second metal whose colour tag refers back
// to the first metal's colour (index 4: metal class 1, metal 2, colour class
// 3, colour 4) is refused instead of owned twice.
TEST(SafeLoad, MetalsSharingOneColour) {
  ByteBuilder b;
  metalFieldsBeforeColour(b.newClass("CMetal"));
  colourFields(b.newClass("LightProperties"));
  metalFieldsAfterColour(b);
  ASSERT_EQ(causeOfLoading(b.bytes(), 1), -1);

  metalFieldsBeforeColour(b.u16(kSecondClass)).u16(4);
  metalFieldsAfterColour(b);
  EXPECT_EQ(causeOfLoading(b.bytes(), 2), CArchiveException::badIndex);
}

// A metal whose colour refers back to a colour stored on its own before it
// (a top-level LightProperties, index 2) is refused.
TEST(SafeLoad, MetalReferringBackToTopLevelColour) {
  ByteBuilder b;
  colourFields(b.newClass("LightProperties"));
  metalFieldsBeforeColour(b.newClass("CMetal")).u16(2);
  metalFieldsAfterColour(b);
  EXPECT_EQ(causeOfLoading(b.bytes(), 2), CArchiveException::badIndex);
}

// Combination "c1" with one factor (index 4), then combination "c2" whose
// factor tag is the back-reference 04 00; and the same factor named twice
// in one combination.
TEST(SafeLoad, CombinationsSharingOneFactor) {
  ByteBuilder c1;
  c1.newClass("CLoadCombination").str("c1").i32(0).i32(1);
  c1.newClass("CLoadCdnFactor").str("LC1").f64(1.5);
  ASSERT_EQ(causeOfLoading(c1.bytes(), 1), -1);

  ByteBuilder shared = c1;
  shared.u16(kSecondClass).str("c2").i32(0).i32(1).u16(4);
  EXPECT_EQ(causeOfLoading(shared.bytes(), 2), CArchiveException::badIndex);

  ByteBuilder twice;
  twice.newClass("CLoadCombination").str("c1").i32(0).i32(2);
  twice.newClass("CLoadCdnFactor").str("LC1").f64(1.5).u16(4);
  EXPECT_EQ(causeOfLoading(twice.bytes(), 1), CArchiveException::badIndex);
}

// Two type-2 conditions whose combinations (stored inline) share a factor.
TEST(SafeLoad, ConditionsSharingOneFactor) {
  ByteBuilder b;
  b.newClass("CLoadCondition").i32(2).i32(0).i32(0).str("c1").i32(0).i32(1);
  b.newClass("CLoadCdnFactor").str("LC1").f64(2.0);
  ASSERT_EQ(causeOfLoading(b.bytes(), 1), -1);

  b.u16(kSecondClass).i32(2).i32(0).i32(0).str("c2").i32(0).i32(1).u16(4);
  EXPECT_EQ(causeOfLoading(b.bytes(), 2), CArchiveException::badIndex);
}

// A shared factor read by a condition's Serialize called directly, as a
// document does for the conditions it holds by value.
TEST(SafeLoad, ConditionSerializedInPlaceRefusesAHeldFactor) {
  ByteBuilder b;
  b.newClass("CLoadCdnFactor").str("LC1").f64(2.0);
  b.i32(2).i32(0).i32(0).str("c").i32(0).i32(1).u16(2);
  int cause = -1;
  try {
    loaded(b.bytes(), [](CArchive& ar) {
      std::unique_ptr<CObject> factor(ar.ReadOwned(nullptr));
      CLoadCondition condition;
      condition.Serialize(ar);
    });
  } catch (const CArchiveException& e) {
    cause = e.m_cause;
  }
  EXPECT_EQ(cause, CArchiveException::badIndex);
}

// Sizes that a matrix record must refuse before allocating or looping.
TEST(SafeLoad, MatrixSizes) {
  struct Case {
    int rows, cols;
    int cause;
  };
  const Case cases[] = {
      {1 << 30, 0, CArchiveException::genericException},
      {0, 1 << 30, CArchiveException::genericException},
      {-1, -1, CArchiveException::genericException},
      {-3, 2, CArchiveException::genericException},
      {65536, 65536, CArchiveException::genericException},  // over 2^31 elements
      {1000, 1000, CArchiveException::endOfFile},           // 8 MB not in the file
      {2, 2, CArchiveException::endOfFile},                 // 32 bytes, 8 there
  };
  for (const Case& c : cases) {
    ByteBuilder b;
    b.newClass("Matrix").str("Matrix").i32(c.rows).i32(c.cols).f64(1.0);
    EXPECT_EQ(causeOfLoading(b.bytes(), 1), c.cause) << c.rows << " x " << c.cols;
  }

  ByteBuilder empty;
  empty.newClass("Matrix").str("Matrix").i32(0).i32(0).i32(0).i32(0).i32(0);
  EXPECT_EQ(causeOfLoading(empty.bytes(), 1), -1);
  ByteBuilder one;
  one.newClass("Matrix").str("Matrix").i32(1).i32(1).f64(4.0).i32(1).i32(1).i32(0);
  EXPECT_EQ(causeOfLoading(one.bytes(), 1), -1);
}
