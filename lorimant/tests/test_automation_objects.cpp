// The shape object and the document's shape collection as scripts reach
// them: through FindShape and Shapes of the document's dispatch table, then
// through the objects' own tables.
#include <algorithm>
#include <set>
#include <utility>

#include "analysis/model/CEnumVARIANT.h"
#include "test_automation_objects_support.h"

using namespace automation_test;

namespace {

class AutomationShapes : public AutomationObjectsTest {
 protected:
  std::shared_ptr<CShape> findShape(const wchar_t* name) {
    COleVariant found;
    EXPECT_EQ(invoke(L"FindShape", {COleVariant(name)}, &found), S_OK);
    return found.GetObject<CShape>();
  }
  HRESULT shapeCall(CShape& s, const wchar_t* name, std::vector<COleVariant> args, COleVariant* result = nullptr,
                    WORD flags = DISPATCH_METHOD) {
    return call(ShapeDispatchTable(), s, name, flags, std::move(args), result);
  }
  HRESULT pointCoord(CShape& s, SHORT index, double& x, double& y) {
    return shapeCall(s, L"PointCoord", {COleVariant(index), COleVariant::ByRef(&x), COleVariant::ByRef(&y)});
  }
  std::shared_ptr<CShapesCollect> shapes() {
    COleVariant got;
    EXPECT_EQ(invoke(L"Shapes", {}, &got), S_OK);
    return got.GetObject<CShapesCollect>();
  }
  HRESULT collectionCall(CShapesCollect& c, const wchar_t* name, std::vector<COleVariant> args,
                         COleVariant* result = nullptr, WORD flags = DISPATCH_PROPERTYGET) {
    return call(ShapesDispatchTable(), c, name, flags, std::move(args), result);
  }
  CString nameOf(const COleVariant& shapeObject) {
    const auto s = shapeObject.GetObject<CShape>();
    EXPECT_NE(s, nullptr);
    return s ? s->GetName() : CString();
  }
};

}  // namespace

TEST_F(AutomationShapes, PointCoordGivesTheCornersAndRefusesIndicesOutsideOneToCount) {
  rectangle(root(), L"plate", 10, 5, 2, 1);
  const auto plate = findShape(L"plate");
  ASSERT_NE(plate, nullptr);

  COleVariant count;
  ASSERT_EQ(shapeCall(*plate, L"PointCount", {}, &count), S_OK);
  EXPECT_EQ(count.vt, VT_I2);
  ASSERT_EQ(count.iVal, 4);

  std::set<std::pair<double, double>> corners;
  for (SHORT i = 1; i <= 4; ++i) {
    double x = -1, y = -1;
    ASSERT_EQ(pointCoord(*plate, i, x, y), S_OK) << i;
    corners.insert({x, y});
  }
  const std::set<std::pair<double, double>> expected = {{2, 1}, {12, 1}, {12, 6}, {2, 6}};
  EXPECT_EQ(corners, expected);

  for (SHORT bad : {SHORT(0), SHORT(5), SHORT(-1)}) {
    double x = 0, y = 0;
    expectRefused(pointCoord(*plate, bad, x, y), 1001, L"index must be between 1 and 4");
  }
}

TEST_F(AutomationShapes, AnObjectWithoutAShapeRefusesAndNeverTouchesADeletedOne) {
  rectangle(root(), L"plate", 10, 5);
  const auto none = findShape(L"web");
  ASSERT_NE(none, nullptr);
  double x = 0, y = 0;
  expectRefused(pointCoord(*none, 1, x, y), 1001, L"Shape isn't correctly constructed");

  // The object outlives its shape: it must notice, not read freed memory.
  const auto plate = findShape(L"plate");
  doc->model()->deleteShape(L"plate");
  ASSERT_EQ(doc->model()->findShape(CString(L"plate")), nullptr);
  expectRefused(pointCoord(*plate, 1, x, y), 1001, L"Shape isn't correctly constructed");
  COleVariant name;
  expectRefused(shapeCall(*plate, L"name", {}, &name, DISPATCH_PROPERTYGET), 1001,
                L"Shape isn't correctly constructed");
}

TEST_F(AutomationShapes, NameGetsAndRenamesTheShape) {
  rectangle(root(), L"plate", 10, 5);
  rectangle(root(), L"web", 1, 5, 20, 0);
  const auto plate = findShape(L"plate");
  COleVariant name;
  ASSERT_EQ(shapeCall(*plate, L"Name", {}, &name, DISPATCH_PROPERTYGET), S_OK);
  EXPECT_EQ(name.bstrVal, CString(L"plate"));

  ASSERT_EQ(shapeCall(*plate, L"name", {COleVariant(L"flange")}, nullptr, DISPATCH_PROPERTYPUT), S_OK);
  EXPECT_NE(doc->model()->findShape(CString(L"flange")), nullptr);
  EXPECT_EQ(doc->model()->findShape(CString(L"plate")), nullptr);

  // A second shape of one name in a sub-section could never be found again.
  EXPECT_EQ(shapeCall(*plate, L"name", {COleVariant(L"web")}, nullptr, DISPATCH_PROPERTYPUT), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.wCode, 1);
  EXPECT_NE(doc->model()->findShape(CString(L"flange")), nullptr);
}

TEST_F(AutomationShapes, ItemGivesTheShapesThatNewEnumEnumeratesAndRefusesOutsideOneToCount) {
  CSubSection* web = subSection(root(), L"Web");
  rectangle(root(), L"outside", 3, 3, 50, 50);
  rectangle(web, L"a", 1, 2);
  rectangle(web, L"b", 1, 2, 5, 0);
  rectangle(web, L"c", 1, 2, 10, 0);
  CString current = L"Web";
  doc->model()->setSubSection(current);

  const auto collection = shapes();
  ASSERT_NE(collection, nullptr);
  EXPECT_EQ(collection, shapes());  // the document's one collection

  COleVariant count;
  ASSERT_EQ(collectionCall(*collection, L"Count", {}, &count), S_OK);
  EXPECT_EQ(count.vt, VT_I4);
  EXPECT_EQ(count.lVal, 3);

  COleVariant enumerator;
  ASSERT_EQ(collectionCall(*collection, L"NewEnum", {}, &enumerator), S_OK);
  const auto items = enumerator.GetObject<CEnumVARIANT<COleVariant>>();
  ASSERT_NE(items, nullptr);
  std::vector<CString> enumerated;
  for (COleVariant v; items->OnNext(&v);) enumerated.push_back(nameOf(v));
  EXPECT_EQ(enumerated, (std::vector<CString>{L"a", L"b", L"c"}));

  for (LONG i = 1; i <= 3; ++i) {
    COleVariant item;
    ASSERT_EQ(collectionCall(*collection, L"Item", {COleVariant(i)}, &item), S_OK) << i;
    EXPECT_EQ(item.vt, VT_DISPATCH);
    EXPECT_EQ(nameOf(item), enumerated[i - 1]);
  }
  for (LONG bad : {0L, 4L, -1L}) {
    COleVariant item;
    expectRefused(collectionCall(*collection, L"Item", {COleVariant(bad)}, &item), 1, L"Index value out of range");
  }
}

TEST_F(AutomationShapes, TheCollectionsNameIsEmptyAndItsShadowedEntriesStayUnreachable) {
  const auto collection = shapes();
  COleVariant name;
  ASSERT_EQ(collectionCall(*collection, L"Name", {}, &name), S_OK);
  EXPECT_EQ(name.bstrVal, CString(L""));
  EXPECT_EQ(collectionCall(*collection, L"Name", {COleVariant(L"x")}, nullptr, DISPATCH_PROPERTYPUT), S_OK);
  // DISPIDs 2 and 3 belong to Count and Item, which stand first.
  EXPECT_STREQ(ShapesDispatchTable().Find(2)->name, L"Count");
  EXPECT_STREQ(ShapesDispatchTable().Find(3)->name, L"Item");
  EXPECT_EQ(ShapesDispatchTable().GetIDOfName(L"NewEnum"), -4);
}

TEST_F(AutomationShapes, ACollectionHeldPastItsDocumentRefuses) {
  const auto collection = shapes();
  doc.reset();
  COleVariant count;
  EXPECT_EQ(collectionCall(*collection, L"Count", {}, &count), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.wCode, 1);
}
