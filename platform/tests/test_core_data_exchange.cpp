// Digit grouping under the user's locale and the dialog data exchange over
// controls held in memory: what the boxes show, what they read, and the
// prompts that refuse a value.
#include "platform/core/DataExchange.h"
#include "platform/core/DigitGrouping.h"
#include "platform/core/Hooks.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

namespace {

// Names the user's locale (LC_ALL) for the lifetime of the object.
class UserLocale {
public:
    explicit UserLocale(const char* name)
    {
        if (const char* old = std::getenv("LC_ALL"))
            m_saved = old, m_had = true;
        ::setenv("LC_ALL", name, 1);
    }
    ~UserLocale()
    {
        if (m_had)
            ::setenv("LC_ALL", m_saved.c_str(), 1);
        else
            ::unsetenv("LC_ALL");
    }

private:
    std::string m_saved;
    bool m_had = false;
};

// Sets the process's own C locale for the lifetime of the object.
class ProcessLocale {
public:
    explicit ProcessLocale(const char* name)
    {
        const char* saved = std::setlocale(LC_ALL, nullptr);
        m_saved = saved != nullptr ? saved : "C";
        m_ok = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ProcessLocale() { std::setlocale(LC_ALL, m_saved.c_str()); }
    bool ok() const { return m_ok; }

private:
    std::string m_saved;
    bool m_ok;
};

class DataExchange : public testing::Test {
protected:
    void SetUp() override { Hooks::reset(); }
    void TearDown() override { Hooks::reset(); }

    // The prompts shown so far.
    static std::vector<std::wstring> prompts()
    {
        std::vector<std::wstring> out;
        for (const MessageBoxCall& call : Hooks::messageBoxes())
            out.push_back(call.text.str());
        return out;
    }
    BOOL read(const std::function<void(CDataExchange*)>& exchange) { return RunDataExchange(c, TRUE, exchange); }
    BOOL show(const std::function<void(CDataExchange*)>& exchange) { return RunDataExchange(c, FALSE, exchange); }

    CMemoryControls c;
};

} // namespace

TEST(DigitGrouping, CommatizeFollowsTheUserLocale)
{
    const struct {
        const char* locale;
        long long value;
        const wchar_t* shown;
    } cases[] = {
        {"en_US.UTF-8", -99999, L""},
        {"en_US.UTF-8", 999, L"999"},
        {"en_US.UTF-8", -1234, L"-1,234"},
        {"en_US.UTF-8", 1234567, L"1,234,567"},
        {"en_US.UTF-8", -99998, L"-99,998"},
        {"de_DE.UTF-8", 1234567, L"1.234.567"},
        {"de_DE.UTF-8", -99999, L""},
        {"C", 1234567, L"1234567"},
        {"no_SUCH.locale", 1234567, L"1234567"}, // not installed: the C locale
    };
    for (const auto& t : cases) {
        UserLocale locale(t.locale);
        EXPECT_EQ(commatize(t.value).str(), t.shown) << t.locale << " " << t.value;
    }
}

TEST(DigitGrouping, ReadingRemovesTheSameLocalesSeparator)
{
    const struct {
        const char* locale;
        const wchar_t* text;
        bool ok;
        double value; // 7 when the value must stay as it was
    } cases[] = {
        {"en_US.UTF-8", L"12,500", true, 12500},
        {"en_US.UTF-8", L"1,234,567.25", true, 1234567.25},
        {"en_US.UTF-8", L"12.500", true, 12.5}, // "." is no separator there
        {"en_US.UTF-8", L"", true, 7},
        {"en_US.UTF-8", L"  ", true, 7},
        {"en_US.UTF-8", L"abc", false, 7},
        {"de_DE.UTF-8", L"12.500", true, 12500},
        {"de_DE.UTF-8", L"1.234.567", true, 1234567},
        {"de_DE.UTF-8", L"-1.234", true, -1234},
        {"de_DE.UTF-8", L"12.5", true, 12.5},   // not grouped in threes: a decimal point
        {"de_DE.UTF-8", L"0.125", true, 0.125}, // no group starts with 0
        {"de_DE.UTF-8", L"1.234.5", false, 7},
        {"de_DE.UTF-8", L"12,500", false, 7},   // "," is not the C locale's point
        {"C", L"12,500", false, 7},
    };
    for (const auto& t : cases) {
        UserLocale locale(t.locale);
        double value = 7;
        EXPECT_EQ(ReadGroupedNumber(CString(t.text), value), t.ok) << t.locale << " '" << CString(t.text).ToUtf8() << "'";
        EXPECT_EQ(value, t.value) << t.locale << " '" << CString(t.text).ToUtf8() << "'";
    }
}

TEST(DigitGrouping, NumbersParseInTheCLocaleOnly)
{
    // Whatever the process's own locale says about the decimal point.
    ProcessLocale german("de_DE.UTF-8");
    ASSERT_TRUE(german.ok()) << "de_DE.UTF-8 missing: run tools/install-deps";
    const struct {
        const wchar_t* text;
        bool ok;
        double value;
    } cases[] = {
        {L" 2.5 ", true, 2.5}, {L"+3", true, 3},      {L"-1e3", true, -1000}, {L".5", true, 0.5},
        {L"2,5", false, 0},    {L"2.5x", false, 0},   {L"", false, 0},        {L"nan", false, 0},
        {L"inf", false, 0},    {L"1e999", false, 0},  {L"0x10", false, 0},    {L"+-1", false, 0},
        {L"\u0662", false, 0}, // a digit, but not an ASCII one
    };
    for (const auto& t : cases) {
        double value = 0;
        EXPECT_EQ(ParseCDouble(CString(t.text), value), t.ok) << CString(t.text).ToUtf8();
        EXPECT_EQ(value, t.value) << CString(t.text).ToUtf8();
    }
}

TEST_F(DataExchange, NumbersShowInTheCLocale)
{
    c.Add(1), c.Add(2), c.Add(3), c.Add(4);
    double third = 1.0 / 3.0;
    float tenth = 0.1f;
    int count = -5;
    double big = 12345678.5;
    {
        ProcessLocale german("de_DE.UTF-8");
        ASSERT_TRUE(german.ok());
        ASSERT_TRUE(show([&](CDataExchange* pDX) {
            DDX_Text(pDX, 1, third);
            DDX_Text(pDX, 2, tenth);
            DDX_Text(pDX, 3, count);
            DDX_Text(pDX, 4, big);
        }));
    }
    EXPECT_EQ(c.GetText(1), CString(L"0.333333333333333"));
    EXPECT_EQ(c.GetText(2), CString(L"0.1"));
    EXPECT_EQ(c.GetText(3), CString(L"-5"));
    EXPECT_EQ(c.GetText(4), CString(L"12345678.5"));

    c.SetText(1, L" 2.25"), c.SetText(2, L"1e-3"), c.SetText(3, L"+42"), c.SetText(4, L"-0");
    ASSERT_TRUE(read([&](CDataExchange* pDX) {
        DDX_Text(pDX, 1, third);
        DDX_Text(pDX, 2, tenth);
        DDX_Text(pDX, 3, count);
        DDX_Text(pDX, 4, big);
    }));
    EXPECT_EQ(third, 2.25);
    EXPECT_EQ(tenth, 0.001f);
    EXPECT_EQ(count, 42);
    EXPECT_EQ(big, 0.0);
    EXPECT_TRUE(Hooks::messageBoxes().empty());
}

TEST_F(DataExchange, RefusedTextKeepsTheValueAndTakesTheFocus)
{
    const struct {
        char kind; // d double, f float, i int
        const wchar_t* text;
        const wchar_t* prompt;
    } cases[] = {
        {'d', L"abc", L"Please enter a number."},
        {'d', L"", L"Please enter a number."},
        {'d', L"1,5", L"Please enter a number."},
        {'f', L"1e39", L"Please enter a number."}, // beyond a float
        {'i', L"2.5", L"Please enter an integer."},
        {'i', L"2147483648", L"Please enter an integer."},
        {'i', L"", L"Please enter an integer."},
    };
    for (const auto& t : cases) {
        Hooks::reset();
        CMemoryControls controls;
        controls.Add(10, L"5");
        controls.Add(11, t.text);
        controls.Add(12, L"9");
        double d = 1, after = 1;
        float f = 1;
        int i = 1;
        const BOOL ok = RunDataExchange(controls, TRUE, [&](CDataExchange* pDX) {
            DDX_Text(pDX, 10, d);
            if (t.kind == 'd')
                DDX_Text(pDX, 11, d);
            else if (t.kind == 'f')
                DDX_Text(pDX, 11, f);
            else
                DDX_Text(pDX, 11, i);
            DDX_Text(pDX, 12, after);
        });
        const std::string label = std::string(1, t.kind) + " '" + CString(t.text).ToUtf8() + "'";
        EXPECT_FALSE(ok) << label;
        ASSERT_EQ(Hooks::messageBoxes().size(), 1u) << label;
        EXPECT_EQ(Hooks::messageBoxes()[0].text.str(), t.prompt) << label;
        EXPECT_EQ(Hooks::messageBoxes()[0].type & MB_ICONMASK, MB_ICONEXCLAMATION) << label;
        EXPECT_EQ(controls.Focused(), 11) << label;
        EXPECT_EQ(d, 5) << label;      // read before the refused box
        EXPECT_EQ(f, 1) << label;      // refused: unchanged
        EXPECT_EQ(i, 1) << label;
        EXPECT_EQ(after, 1) << label;  // the exchange stopped at the refused box
    }
}

TEST_F(DataExchange, RangesAndLengths)
{
    c.Add(1), c.Add(2), c.Add(3);
    double radius = 10;
    int points = 8;
    CString name = L"abc";
    auto exchange = [&](CDataExchange* pDX) {
        DDX_Text(pDX, 1, radius);
        DDV_MinMaxDouble(pDX, radius, 0.001, 10000);
        DDX_Text(pDX, 2, points);
        DDV_MinMaxInt(pDX, points, 1, 200);
        DDX_Text(pDX, 3, name);
        DDV_MaxChars(pDX, name, 5);
    };
    ASSERT_TRUE(show(exchange));
    EXPECT_EQ(c.TextLimit(3), 5);

    const struct {
        int id;
        const wchar_t* text;
        const wchar_t* prompt; // null: accepted
    } cases[] = {
        {1, L"0", L"Please enter a number between 0.001 and 10000."},
        {1, L"10000.5", L"Please enter a number between 0.001 and 10000."},
        {1, L"0.001", nullptr},
        {1, L"10000", nullptr},
        {2, L"0", L"Please enter an integer between 1 and 200."},
        {2, L"201", L"Please enter an integer between 1 and 200."},
        {2, L"200", nullptr},
        {3, L"abcdef", L"Enter no more than 5 characters."},
        {3, L"abcde", nullptr},
    };
    for (const auto& t : cases) {
        Hooks::reset();
        c.SetText(1, L"10"), c.SetText(2, L"8"), c.SetText(3, L"abc");
        c.SetText(t.id, t.text);
        const std::string label = std::to_string(t.id) + " '" + CString(t.text).ToUtf8() + "'";
        EXPECT_EQ(read(exchange), t.prompt == nullptr) << label;
        if (t.prompt == nullptr) {
            EXPECT_TRUE(Hooks::messageBoxes().empty()) << label;
            continue;
        }
        ASSERT_EQ(Hooks::messageBoxes().size(), 1u) << label;
        EXPECT_EQ(Hooks::messageBoxes()[0].text.str(), t.prompt) << label;
        EXPECT_EQ(c.Focused(), t.id) << label;
    }
}

TEST_F(DataExchange, RadioChecksAndCombos)
{
    c.AddRadioGroup({186, 864});
    c.Add(292);
    c.AddCombo(50, {L"Alpha", L"Beta"}, false);
    c.AddCombo(51, {L"One", L"Two"}, true);
    int where = -1, check = BST_CHECKED, index = 1;
    CString listText = L"beta", editText = L"Three";
    auto exchange = [&](CDataExchange* pDX) {
        DDX_Radio(pDX, 186, where);
        DDX_Check(pDX, 292, check);
        DDX_CBIndex(pDX, 50, index);
        DDX_CBString(pDX, 51, editText);
    };
    ASSERT_TRUE(show(exchange));
    EXPECT_EQ(c.GetRadio(186), -1);
    EXPECT_EQ(c.GetCheck(186) + c.GetCheck(864), 0);
    EXPECT_EQ(c.GetCheck(292), BST_CHECKED);
    EXPECT_EQ(c.GetText(50), CString(L"Beta"));
    EXPECT_EQ(c.GetText(51), CString(L"Three"));

    c.SetRadio(186, 1);
    c.SetCheck(292, BST_UNCHECKED);
    c.SetText(50, listText); // a list without text of its own selects the item
    c.SetCurSel(51, 0);
    ASSERT_TRUE(read(exchange));
    EXPECT_EQ(where, 1);
    EXPECT_EQ(check, BST_UNCHECKED);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(editText, CString(L"One"));
    EXPECT_THROW(c.GetText(999), std::logic_error);
    EXPECT_THROW(c.GetRadio(864), std::logic_error); // a group is named by its first button
}

TEST_F(DataExchange, FormattedDouble)
{
    c.Add(1);
    double value = 1.23456;
    const CString format = L"%.3f";
    bool force = false;
    auto exchange = [&](CDataExchange* pDX) { DDX_FMTDBL(pDX, 1, value, format, force); };
    ASSERT_TRUE(show(exchange));
    EXPECT_EQ(c.GetText(1), CString(L"1.235"));

    c.SetText(1, L"7.5");
    ASSERT_TRUE(read(exchange));
    EXPECT_EQ(value, 7.5);
    c.SetText(1, L" ");
    ASSERT_TRUE(read(exchange)); // a blank box leaves the value
    EXPECT_EQ(value, 7.5);
    force = true;
    EXPECT_FALSE(read(exchange)); // unless the read is forced: no number in it
    ASSERT_EQ(prompts(), std::vector<std::wstring>{L"Please enter a number."});
    EXPECT_EQ(value, 7.5);
}

TEST_F(DataExchange, GroupedDoubleUnderUsEnglish)
{
    UserLocale locale("en_US.UTF-8");
    c.Add(1);
    double value = 2.6;
    bool force = false;
    auto exchange = [&](CDataExchange* pDX) { DDX_FMTCOMMA(pDX, 1, value, force); };
    const struct {
        double value;
        const wchar_t* shown;
    } shows[] = {{2.6, L"3"}, {2.5, L"3"}, {-2.5, L"-3"}, {12500.4, L"12,500"}, {-99999, L""}, {-99999.2, L""}};
    for (const auto& t : shows) {
        value = t.value;
        ASSERT_TRUE(show(exchange));
        EXPECT_EQ(c.GetText(1).str(), t.shown) << t.value;
    }

    c.SetText(1, L"12,500");
    ASSERT_TRUE(read(exchange));
    EXPECT_EQ(value, 12500);
    EXPECT_EQ(c.GetText(1), CString(L"12500")); // the cleaned text is put back
    for (bool forced : {false, true}) {
        force = forced;
        c.SetText(1, L" ");
        ASSERT_TRUE(read(exchange)); // a blank box keeps the value, forced or not
        EXPECT_EQ(value, 12500);
    }
    c.SetText(1, L"12,5x");
    EXPECT_FALSE(read(exchange));
    EXPECT_EQ(prompts(), std::vector<std::wstring>{L"Please enter a number."});
    EXPECT_EQ(c.Focused(), 1);
    EXPECT_EQ(value, 12500);
}

TEST_F(DataExchange, GroupedDoubleReadsBackUnderGerman)
{
    // A box that showed 12500 as "12.500" reads back 12500, not 12.5.
    UserLocale locale("de_DE.UTF-8");
    c.Add(1);
    double value = 12500;
    auto exchange = [&](CDataExchange* pDX) { DDX_FMTCOMMA(pDX, 1, value, false); };
    ASSERT_TRUE(show(exchange));
    EXPECT_EQ(c.GetText(1), CString(L"12.500"));
    value = 0;
    ASSERT_TRUE(read(exchange));
    EXPECT_EQ(value, 12500);
    EXPECT_EQ(c.GetText(1), CString(L"12500"));
    c.SetText(1, L"12.5");
    ASSERT_TRUE(read(exchange));
    EXPECT_EQ(value, 12.5);
}
