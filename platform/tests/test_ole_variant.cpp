// COleVariant: the automation coercions between integers, doubles, texts
// and booleans, and the kinds that convert to nothing else.
#include "platform/ole/COleVariant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct ToI2Case {
    COleVariant from;
    HRESULT hr;
    SHORT value;
};

}  // namespace

TEST(OleVariant, ToI2RoundsHalfToEvenAndReportsOverflow)
{
    const ToI2Case cases[] = {
        {COleVariant(2.5), S_OK, 2},
        {COleVariant(3.5), S_OK, 4},
        {COleVariant(-2.5), S_OK, -2},
        {COleVariant(-0.5), S_OK, 0},
        {COleVariant(1.4999), S_OK, 1},
        {COleVariant(32767.4), S_OK, 32767},
        {COleVariant(32767.5), DISP_E_OVERFLOW, 0},
        {COleVariant(-32768.5), S_OK, -32768},
        {COleVariant(-32769.0), DISP_E_OVERFLOW, 0},
        {COleVariant(std::nan("")), DISP_E_OVERFLOW, 0},
        {COleVariant(std::numeric_limits<double>::infinity()), DISP_E_OVERFLOW, 0},
        {COleVariant(LONG(40000)), DISP_E_OVERFLOW, 0},
        {COleVariant(LONG(-7)), S_OK, -7},
        {COleVariant::FromBool(true), S_OK, -1},
        {COleVariant(L" 12 "), S_OK, 12},
        {COleVariant(L"+3"), S_OK, 3},
        {COleVariant(L"2.5"), S_OK, 2},
        {COleVariant(L"1e10"), DISP_E_OVERFLOW, 0},
        {COleVariant(L"twelve"), DISP_E_TYPEMISMATCH, 0},
        {COleVariant(L"12abc"), DISP_E_TYPEMISMATCH, 0},
        {COleVariant(L""), DISP_E_TYPEMISMATCH, 0},
        {COleVariant(), S_OK, 0},
    };
    for (const auto& c : cases) {
        COleVariant v = c.from;
        const VARTYPE before = v.vt;
        EXPECT_EQ(v.ChangeType(VT_I2), c.hr) << "from type " << before;
        if (c.hr == S_OK) {
            EXPECT_EQ(v.vt, VT_I2);
            EXPECT_EQ(v.iVal, c.value);
        } else {
            EXPECT_EQ(v.vt, before) << "a failed change leaves the value";
        }
    }
}

TEST(OleVariant, ToI4AndR8)
{
    COleVariant big(2147483647.5);
    EXPECT_EQ(big.ChangeType(VT_I4), DISP_E_OVERFLOW);
    COleVariant edge(-2147483648.0);
    ASSERT_EQ(edge.ChangeType(VT_I4), S_OK);
    EXPECT_EQ(edge.lVal, std::numeric_limits<LONG>::min());

    COleVariant text(L"-1.25e2");
    ASSERT_EQ(text.ChangeType(VT_R8), S_OK);
    EXPECT_EQ(text.dblVal, -125.0);
    COleVariant i2(SHORT(-3));
    ASSERT_EQ(i2.ChangeType(VT_R8), S_OK);
    EXPECT_EQ(i2.dblVal, -3.0);
    COleVariant comma(L"1,5");  // the C numeric locale whatever the user's
    EXPECT_EQ(comma.ChangeType(VT_R8), DISP_E_TYPEMISMATCH);
}

TEST(OleVariant, BooleansFromAnyNonZeroNumberAndFromText)
{
    const COleVariant truthy[] = {COleVariant(0.001), COleVariant(SHORT(2)), COleVariant(LONG(-9)),
                                  COleVariant(L"True"), COleVariant(L"true"), COleVariant(L"5")};
    for (COleVariant v : truthy) {
        ASSERT_EQ(v.ChangeType(VT_BOOL), S_OK);
        EXPECT_EQ(v.boolVal, VARIANT_TRUE);
    }
    const COleVariant falsy[] = {COleVariant(0.0), COleVariant(SHORT(0)), COleVariant(L"FALSE"), COleVariant(L"0")};
    for (COleVariant v : falsy) {
        ASSERT_EQ(v.ChangeType(VT_BOOL), S_OK);
        EXPECT_EQ(v.boolVal, VARIANT_FALSE);
    }
    COleVariant word(L"yes");
    EXPECT_EQ(word.ChangeType(VT_BOOL), DISP_E_TYPEMISMATCH);
}

TEST(OleVariant, NumbersToText)
{
    COleVariant d(0.1);
    ASSERT_EQ(d.ChangeType(VT_BSTR), S_OK);
    EXPECT_EQ(d.bstrVal, CString(L"0.1"));
    COleVariant i(SHORT(-42));
    ASSERT_EQ(i.ChangeType(VT_BSTR), S_OK);
    EXPECT_EQ(i.bstrVal, CString(L"-42"));
    COleVariant b = COleVariant::FromBool(true);
    ASSERT_EQ(b.ChangeType(VT_BSTR), S_OK);
    EXPECT_EQ(b.bstrVal, CString(L"-1"));
}

TEST(OleVariant, ObjectsAndReferencesConvertToNothingElse)
{
    struct Thing {
        int id = 7;
    };
    auto thing = std::make_shared<Thing>();
    COleVariant object = COleVariant::FromObject(thing);
    EXPECT_EQ(object.vt, VT_DISPATCH);
    EXPECT_EQ(object.GetObject<Thing>(), thing);
    EXPECT_EQ(object.GetObject<int>(), nullptr);
    EXPECT_EQ(object.ChangeType(VT_I2), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(object.ChangeType(VT_BSTR), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(object.ChangeType(VT_VARIANT), S_OK);

    COleVariant enumerator = COleVariant::FromEnumerator(std::make_shared<int>(3));
    EXPECT_EQ(enumerator.vt, VT_UNKNOWN);
    EXPECT_EQ(*enumerator.GetObject<int>(), 3);

    double out = 0.0;
    COleVariant ref = COleVariant::ByRef(&out);
    EXPECT_EQ(ref.vt, VT_R8 | VT_BYREF);
    EXPECT_EQ(ref.ChangeType(VT_R8 | VT_BYREF), S_OK);
    EXPECT_EQ(ref.ChangeType(VT_R8), DISP_E_TYPEMISMATCH);
    COleVariant value(1.0);
    EXPECT_EQ(value.ChangeType(VT_R8 | VT_BYREF), DISP_E_TYPEMISMATCH);
}
