// The basic-shape methods of the document's automation interface: exact
// areas of each kind, names, signs and refusals.
#include <numbers>
#include <cmath>

#include "test_automation_objects_support.h"

using namespace automation_test;

namespace {


COleVariant I(int v) { return COleVariant(static_cast<SHORT>(v)); }

class AutomationBasicShapes : public AutomationObjectsTest {
 protected:
  // AddRectangle "root", name, w x h with corner 0 at (x, y), direction corner 1, sign sgn.
  HRESULT addRectangle(const wchar_t* name, double w, double h, int sgn = 1, double x = 0, double y = 0) {
    return invoke(L"AddRectangle", {T(L"root"), T(name), R(w), R(h), R(x), R(y), I(0), I(1), R(0), I(sgn)});
  }
  CShapeAnalysis* shape(const wchar_t* name) { return doc->model()->findShape(name); }
  int shapeCount() { return doc->model()->shapes.GetCount(); }
};

struct ExactArea {
  const wchar_t* method;
  std::vector<COleVariant> args;  // after parentName and nm
  double area;
};

}  // namespace

TEST_F(AutomationBasicShapes, EachKindHasItsClosedFormArea) {
  const double r2 = std::sqrt(2.0);
  const std::vector<ExactArea> cases = {
      {L"AddRectangle", {R(4), R(2), R(0), R(0), I(0), I(1), R(0), I(1)}, 8.0},
      {L"AddDisk", {R(1), R(5), R(5), I(1)}, std::numbers::pi},
      {L"AddTriangle", {R(3), R(1), R(2), R(0), R(0), I(0), I(1), R(0), I(1)}, 3.0},
      {L"AddAnnulus", {R(1), R(0.5), R(90), R(0), R(0), I(0), I(1), R(0), I(1)}, 0.9817477042},
      {L"AddFillet", {R(1), R(90), R(0), R(0), I(0), I(1), R(0), I(1)}, 0.2146018366},
      {L"AddFillet", {R(1), R(60), R(0), R(0), I(0), I(1), R(0), I(1)}, 0.6848532564},
      {L"AddSector", {R(2), R(90), R(0), R(0), I(0), I(1), R(0), I(1)}, std::numbers::pi},
      {L"AddParallelogram", {R(2), R(1), R(60), R(120), R(0), R(0), I(0), I(1), R(0), I(1)}, 2.0},
      {L"AddSectorChord", {R(1), R(r2), R(0), R(0), I(0), I(1), R(0), I(1)}, 0.2853981634},
  };
  int k = 0;
  for (const ExactArea& c : cases) {
    const CString name = CString(L"S") + std::to_wstring(++k).c_str();
    std::vector<COleVariant> args = {T(L"root"), COleVariant(name)};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ASSERT_EQ(invoke(c.method, args), S_OK) << c.method << " " << excep.bstrDescription.GetString();
    CShapeAnalysis* s = shape(name);
    ASSERT_NE(s, nullptr) << c.method;
    // Curved edges are integrated numerically: to seven digits.
    EXPECT_NEAR(s->area(), c.area, 1e-7 * c.area) << c.method;
    EXPECT_FALSE(s->isNegative()) << c.method;
    EXPECT_EQ(s->subSection(), root()) << c.method;
    EXPECT_EQ(root()->findShape(name), s) << c.method;
  }
}

TEST_F(AutomationBasicShapes, RectangleSitsWithItsOriginCornerAtTheReferencePoint) {
  ASSERT_EQ(addRectangle(L"R1", 4, 2), S_OK);
  Point<double> mid;
  shape(L"R1")->midPt(&mid);
  EXPECT_NEAR(mid.x, 2.0, 1e-9);
  EXPECT_NEAR(mid.y, 1.0, 1e-9);
  // Basic shapes write no journal line of their own.
  for (const std::string& line : journalLines()) EXPECT_EQ(line.find("AddRectangle"), std::string::npos) << line;
}

TEST_F(AutomationBasicShapes, SignBelowOneMakesAHole) {
  ASSERT_EQ(addRectangle(L"H0", 1, 1, 0), S_OK);
  ASSERT_EQ(addRectangle(L"S1", 1, 1, 1, 5, 5), S_OK);
  EXPECT_TRUE(shape(L"H0")->isNegative());
  EXPECT_NEAR(shape(L"H0")->area(), -1.0, 1e-9);
  EXPECT_FALSE(shape(L"S1")->isNegative());
  ASSERT_EQ(invoke(L"AddSectorChord",
                   {T(L"root"), T(L"C0"), R(1), R(std::sqrt(2.0)), R(9), R(9), I(0), I(1), R(0), I(0)}),
            S_OK);
  EXPECT_TRUE(shape(L"C0")->isNegative());
  EXPECT_NEAR(shape(L"C0")->area(), -0.2853981634, 1e-7);
}

TEST_F(AutomationBasicShapes, EmptyNameTakesTheNextGeneratedName) {
  ASSERT_EQ(addRectangle(L"", 1, 1), S_OK);
  ASSERT_EQ(addRectangle(L"", 1, 1, 1, 3, 0), S_OK);
  ASSERT_EQ(root()->shapeList.GetCount(), 2);
  const CString first = root()->shapeList.GetHead()->name();
  const CString second = root()->shapeList.GetTail()->name();
  EXPECT_FALSE(first.IsEmpty());
  EXPECT_FALSE(second.IsEmpty());
  EXPECT_NE(first, second);
}

TEST_F(AutomationBasicShapes, RefusalsLeaveTheModelUnchanged) {
  CSubSection* web = subSection(root(), L"web");
  ASSERT_EQ(invoke(L"AddRectangle", {T(L"web"), T(L"R1"), R(1), R(1), R(0), R(0), I(0), I(1), R(0), I(1)}), S_OK);
  const int before = shapeCount();
  // A name any sub-section already uses.
  expectRefused(addRectangle(L"R1", 2, 2), 2, L"Object with that name already exists.");
  // A parent no sub-section has.
  expectRefused(invoke(L"AddDisk", {T(L"nowhere"), T(L"D9"), R(1), R(0), R(0), I(1)}), 1,
                L"Parent does not exist: nowhere");
  // Dimensions the model refuses.
  EXPECT_EQ(addRectangle(L"R2", -1, 2), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.wCode, 1);
  EXPECT_EQ(invoke(L"AddRectangle", {T(L"root"), T(L"R3"), R(1), R(1), R(0), R(0), I(1), I(1), R(0), I(1)}),
            DISP_E_EXCEPTION);
  EXPECT_EQ(shapeCount(), before);
  EXPECT_EQ(shape(L"R2"), nullptr);
  EXPECT_EQ(web->shapeList.GetCount(), 1);
}
