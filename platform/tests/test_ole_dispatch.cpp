// CDispatchTable: lookup by name (ignoring case) and DISPID with the first
// entry winning, argument coercion, property get and put, the dispatch
// failures, and the conversion of every thrown kind into a refusal.
#include "platform/ole/CDispatchTable.h"

#include "platform/core/CArchive.h"
#include "platform/sqldb/CDBException.h"
#include "platform/sqldb/sql_exception.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

struct Counter {
    int calls = 0;
    SHORT lastI2 = 0;
    CString name = L"first";
    CString log;
};

void add(Counter& c, DispatchCall& call)
{
    ++c.calls;
    c.lastI2 = call.I2(1);
    call.result = COleVariant(call.R8(0) + call.I2(1));
}
void second(Counter& c, DispatchCall&) { c.calls += 100; }
void getName(Counter& c, DispatchCall& call) { call.result = COleVariant(c.name); }
void putName(Counter& c, DispatchCall& call) { c.name = call.Text(0); }
void save(Counter& c, DispatchCall& call)
{
    c.log = call.Text(0);
    call.result = COleVariant(LONG(5));  // ignored: the entry returns nothing
}
void extremes(Counter&, DispatchCall& call)
{
    call.RefR8(1) = 10.0;
    call.RefR8(2) = -10.0;
}
void flag(Counter& c, DispatchCall& call) { c.calls = call.Bool(0) ? 1 : 0; }
void refuse(Counter&, DispatchCall&) { AfxThrowOleDispatchException(2, L"Object with that name already exists."); }

const CDispatchTable<Counter>& table()
{
    static const CDispatchTable<Counter> t({
        {L"Add", 1, {VT_R8, VT_I2}, VT_R8, add},
        {L"Name", 2, {}, VT_BSTR, getName, putName},
        {L"FileSave", 3, {VT_BSTR}, VT_EMPTY, save},
        {L"Extremes", 4, {VT_I2, VT_R8 | VT_BYREF, VT_R8 | VT_BYREF}, VT_EMPTY, extremes},
        {L"Flag", 5, {VT_BOOL}, VT_EMPTY, flag},
        {L"Refuse", 6, {}, VT_EMPTY, refuse},
        {L"ADD", 7, {}, VT_EMPTY, second},
        {L"Again", 1, {}, VT_EMPTY, second},
    });
    return t;
}

}  // namespace

TEST(OleDispatch, NamesIgnoreCaseAndTheFirstEntryWins)
{
    EXPECT_EQ(table().GetIDOfName(L"add"), 1);
    EXPECT_EQ(table().GetIDOfName(L"ADD"), 1);
    EXPECT_EQ(table().GetIDOfName(L"fILEsAVE"), 3);
    EXPECT_EQ(table().GetIDOfName(L"Missing"), DISPID_UNKNOWN);
    EXPECT_EQ(table().GetIDOfName(L"Again"), 1);
    ASSERT_NE(table().Find(1), nullptr);
    EXPECT_STREQ(table().Find(1)->name, L"Add");

    Counter c;
    COleVariant result;
    ASSERT_EQ(table().Invoke(c, 1, DISPATCH_METHOD, {COleVariant(1.5), COleVariant(L"2")}, &result), S_OK);
    EXPECT_EQ(c.calls, 1);
    EXPECT_EQ(result.vt, VT_R8);
    EXPECT_EQ(result.dblVal, 3.5);
}

TEST(OleDispatch, ArgumentsArriveAsTheDeclaredTypes)
{
    Counter c;
    ASSERT_EQ(table().Invoke(c, 1, DISPATCH_METHOD, {COleVariant(LONG(1)), COleVariant(2.5)}), S_OK);
    EXPECT_EQ(c.lastI2, 2);  // half to even
    ASSERT_EQ(table().Invoke(c, 5, DISPATCH_METHOD, {COleVariant(LONG(-1))}), S_OK);
    EXPECT_EQ(c.calls, 1);
    ASSERT_EQ(table().Invoke(c, 5, DISPATCH_METHOD, {COleVariant(0.0)}), S_OK);
    EXPECT_EQ(c.calls, 0);

    double high = 0.0;
    double low = 0.0;
    ASSERT_EQ(table().Invoke(c, 4, DISPATCH_METHOD,
                             {COleVariant(SHORT(1)), COleVariant::ByRef(&high), COleVariant::ByRef(&low)}),
              S_OK);
    EXPECT_EQ(high, 10.0);
    EXPECT_EQ(low, -10.0);
}

TEST(OleDispatch, PropertyGetAndPut)
{
    Counter c;
    COleVariant result;
    ASSERT_EQ(table().Invoke(c, 2, DISPATCH_PROPERTYGET, {}, &result), S_OK);
    EXPECT_EQ(result.bstrVal, CString(L"first"));
    ASSERT_EQ(table().Invoke(c, 2, DISPATCH_PROPERTYPUT, {COleVariant(L"Web")}, &result), S_OK);
    EXPECT_EQ(c.name, CString(L"Web"));
    EXPECT_EQ(result.vt, VT_EMPTY);
    EXPECT_EQ(table().Invoke(c, 2, DISPATCH_PROPERTYPUT, {}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(table().Invoke(c, 1, DISPATCH_PROPERTYPUT, {COleVariant(1.0), COleVariant(SHORT(1)), COleVariant(1.0)}),
              DISP_E_MEMBERNOTFOUND);
}

TEST(OleDispatch, AMethodWithoutResultReturnsNothing)
{
    Counter c;
    COleVariant result(1.0);
    ASSERT_EQ(table().Invoke(c, 3, DISPATCH_METHOD, {COleVariant(L"a.qhscn")}, &result), S_OK);
    EXPECT_EQ(c.log, CString(L"a.qhscn"));
    EXPECT_EQ(result.vt, VT_EMPTY);
}

TEST(OleDispatch, FailuresAreReportedAndTheMethodIsNotCalled)
{
    Counter c;
    UINT argErr = 99;
    EXPECT_EQ(table().Invoke(c, 62, DISPATCH_METHOD, {}), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(table().Invoke(c, 1, DISPATCH_METHOD, {COleVariant(1.0)}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(table().Invoke(c, 1, DISPATCH_METHOD, {COleVariant(1.0), COleVariant(1.0), COleVariant(1.0)}),
              DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(table().Invoke(c, 1, DISPATCH_METHOD, {COleVariant(1.0), COleVariant(L"x")}, nullptr, nullptr, &argErr),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 1u);
    EXPECT_EQ(table().Invoke(c, 1, DISPATCH_METHOD, {COleVariant(1.0), COleVariant(40000.0)}, nullptr, nullptr, &argErr),
              DISP_E_OVERFLOW);
    EXPECT_EQ(argErr, 1u);
    EXPECT_EQ(table().Invoke(c, 4, DISPATCH_METHOD, {COleVariant(SHORT(1)), COleVariant(1.0), COleVariant(1.0)}),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(c.calls, 0);

    EXCEPINFO info;
    EXPECT_EQ(table().Invoke(c, 6, DISPATCH_METHOD, {}, nullptr, &info), DISP_E_EXCEPTION);
    EXPECT_EQ(info.wCode, 2);
    EXPECT_EQ(info.bstrDescription, CString(L"Object with that name already exists."));
}

namespace {

struct ThrownCase {
    void (*thrower)();
    WORD code;
    CString text;
};

}  // namespace

TEST(OleDispatch, EveryThrownKindBecomesARefusalWithItsText)
{
    const ThrownCase cases[] = {
        {[] { AfxThrowOleDispatchException(1002, L"Location does not lie inside of any triangle"); }, 1002,
         L"Location does not lie inside of any triangle"},
        {[] { AfxThrowOleDispatchException(1001, "Group not found."); }, 1001, L"Group not found."},
        {[] { throw CArchiveException(CArchiveException::endOfFile); }, 1,
         CArchiveException(CArchiveException::endOfFile).ErrorText()},
        {[] { throw CDBException(SQL_ERROR, CString(L"no such table")); }, 1, L"no such table"},
        {[] { throw CInvalidArgException(); }, 1, L"The parameter is incorrect."},
        {[] { throw sql_exception("database is locked"); }, 1, L"database is locked"},
        {[] { throw std::logic_error("Parent does not exist: Web"); }, 1, L"Parent does not exist: Web"},
        {[] { throw "Could not open, error is 80070002"; }, 1, L"Could not open, error is 80070002"},
        {[] { throw L"Not an IGES file"; }, 1, L"Not an IGES file"},
        {[] { throw 42; }, 1, L"Unexpected error."},
    };
    for (const auto& c : cases) {
        EXCEPINFO info;
        try {
            c.thrower();
        } catch (...) {
            DispatchExceptionInfo(info);
        }
        EXPECT_EQ(info.wCode, c.code) << wideToUtf8(c.text.GetString());
        EXPECT_EQ(info.bstrDescription, c.text);
        EXPECT_FALSE(c.text.IsEmpty());
    }
}
