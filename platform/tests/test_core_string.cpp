// CString and CStringA: formatting under the Windows conventions and the C
// numeric locale, UTF conversions, and the editing operations the model
// code relies on.
#include "platform/core/CString.h"
#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

template <class... A>
CString fmt(const wchar_t* format, const A&... args)
{
    CString s;
    s.Format(format, args...);
    return s;
}

// Sets LC_ALL for the lifetime of the object and restores it afterwards.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* name)
    {
        m_saved = std::setlocale(LC_ALL, nullptr);
        m_ok = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ScopedLocale() { std::setlocale(LC_ALL, m_saved.c_str()); }
    bool ok() const { return m_ok; }

private:
    std::string m_saved;
    bool m_ok;
};

} // namespace

TEST(CoreStringFormat, WindowsConversions)
{
    const CString name(L"root");
    const CStringA narrow("Steel");
    struct Case {
        CString got;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {fmt(L"%s=%g", L"E", 1.5), L"E=1.5"},
        {fmt(L"%g", 1e7), L"1e+07"},
        {fmt(L"%s|%S|%hs|%ls", name, "a", narrow, L"w"), L"root|a|Steel|w"},
        {fmt(L"xscn.Mesh \"%s\",%d,%.3f", name, 3, 0.5), L"xscn.Mesh \"root\",3,0.500"},
        {fmt(L"%5d|%-5d|%05d|%+d", 42, 42, 42, 42), L"   42|42   |00042|+42"},
        {fmt(L"%x|%X|%o|%u", 255, 255, 8, -1), L"ff|FF|10|4294967295"},
        {fmt(L"%I64d|%lld|%ld", 1LL << 40, -(1LL << 40), 7L), L"1099511627776|-1099511627776|7"},
        {fmt(L"%d", 0xFFFFFFFFu), L"-1"},
        {fmt(L"%*.*f|%.2e", 8, 2, 3.14159, 12345.678), L"    3.14|1.23e+04"},
        {fmt(L"%c%c|%C", L'\u00B5', L'm', 'x'), L"\u00B5m|x"},
        {fmt(L"%.2s|%6s|%-4s|", L"abcdef", L"ab", L"ab"), L"ab|    ab|ab  |"},
        {fmt(L"100%%"), L"100%"},
        {fmt(L"%s", static_cast<const wchar_t*>(nullptr)), L"(null)"},
        {fmt(L"%g|%g", 0.1 + 0.2, 1e-5), L"0.3|1e-05"},
        {fmt(L"%s", "\xC2\xB5in"), L"\u00B5in"}, // narrow text is UTF-8
    };
    for (const Case& c : cases)
        EXPECT_TRUE(c.got == c.expected) << c.got.ToUtf8() << " != " << CString(c.expected).ToUtf8();
}

TEST(CoreStringFormat, NumbersIgnoreTheUserLocale)
{
    ScopedLocale german("de_DE.UTF-8");
    ASSERT_TRUE(german.ok()) << "the de_DE.UTF-8 locale is not installed (tools/install-deps generates it)";
    // The C library itself would now write a decimal comma.
    char probe[16];
    std::snprintf(probe, sizeof probe, "%g", 1.5);
    ASSERT_STREQ(probe, "1,5");

    EXPECT_TRUE(fmt(L"%s=%g", L"E", 1.5) == L"E=1.5");
    EXPECT_TRUE(fmt(L"%g", 1e7) == L"1e+07");
    EXPECT_TRUE(fmt(L"%.3f|%e", 1234.5, 0.25) == L"1234.500|2.500000e-01");
    CStringA a;
    a.Format("%g %s", 2.25, L"\u00B0F");
    EXPECT_EQ(a.str(), "2.25 \xC2\xB0"
                       "F");
}

TEST(CoreStringFormat, MismatchedArgumentsThrow)
{
    CString s;
    EXPECT_THROW(s.Format(L"%d %d", 1), CInvalidArgException);       // missing argument
    EXPECT_THROW(s.Format(L"%s", 3), CInvalidArgException);          // number for text
    EXPECT_THROW(s.Format(L"%d", 1.5), CInvalidArgException);        // double for an integer
    EXPECT_THROW(s.Format(L"%n", 1), CInvalidArgException);          // never writes through arguments
    EXPECT_THROW(s.Format(L"%1$d", 1), CInvalidArgException);
    EXPECT_THROW(s.Format(L"abc%"), CInvalidArgException);
    s.Format(L"%g", 2); // an integer is a fine number for %g
    EXPECT_TRUE(s == L"2");
    s.AppendFormat(L"+%d", 3);
    EXPECT_TRUE(s == L"2+3");
}

TEST(CoreStringConversion, Utf8AndUtf16)
{
    const std::wstring text = L"a\u00B5\u20AC\U0001F600";
    EXPECT_EQ(wideToUtf8(text), "a\xC2\xB5\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(utf8ToWide(wideToUtf8(text)), text);
    EXPECT_EQ(wideToUtf16(text), (std::u16string{u'a', 0x00B5, 0x20AC, 0xD83D, 0xDE00}));
    EXPECT_EQ(utf16ToWide(wideToUtf16(text)), text);
    // Malformed UTF-8 (a lone continuation byte, an overlong '/', a cut sequence) becomes U+FFFD,
    // one for each byte that starts no complete valid sequence: C0 AF gives two, and so does the
    // cut E2 82 (replacing each maximal subpart instead, as Unicode recommends, would give one).
    EXPECT_EQ(utf8ToWide("x\x80y\xC0\xAFz\xE2\x82"), L"x\uFFFDy\uFFFD\uFFFDz\uFFFD\uFFFD");
    EXPECT_EQ(CString("\xC2\xB5in").GetLength(), 3);
    EXPECT_EQ(CStringA(CString(L"\u00B0F")).str(), "\xC2\xB0"
                                                   "F");
}

TEST(CoreStringOps, EditingAndSearching)
{
    CString s(L"  Fcy_L, Fty_L  ");
    s.Trim();
    EXPECT_TRUE(s == L"Fcy_L, Fty_L");
    EXPECT_EQ(s.Find(L','), 5);
    EXPECT_EQ(s.Find(L"Fty"), 7);
    EXPECT_EQ(s.Find(L"zz"), -1);
    EXPECT_EQ(s.ReverseFind(L'_'), 10);
    EXPECT_TRUE(s.Left(3) == L"Fcy");
    EXPECT_TRUE(s.Mid(7) == L"Fty_L");
    EXPECT_TRUE(s.Mid(7, 3) == L"Fty");
    EXPECT_TRUE(s.Right(1) == L"L");
    EXPECT_TRUE(s.Left(99) == s); // out-of-range extents are clamped
    EXPECT_TRUE(s.Mid(99).IsEmpty());
    EXPECT_EQ(s.Replace(L"_L", L"_LT"), 2);
    EXPECT_TRUE(s == L"Fcy_LT, Fty_LT");
    EXPECT_EQ(s.Remove(L' '), 1);
    int pos = 0;
    EXPECT_TRUE(s.Tokenize(L",", pos) == L"Fcy_LT");
    EXPECT_TRUE(s.Tokenize(L",", pos) == L"Fty_LT");
    EXPECT_TRUE(s.Tokenize(L",", pos).IsEmpty());
    EXPECT_EQ(pos, -1);
    CString u(L"\u00B5in/in/\u00B0f");
    EXPECT_TRUE(u.MakeUpper() == L"\u039CIN/IN/\u00B0F");
    EXPECT_EQ(CString(L"NoMatl").CompareNoCase(L"nomatl"), 0);
    EXPECT_LT(CString(L"a").Compare(L"b"), 0);
    EXPECT_TRUE(CString(L"ab") + L"c" + CString(L"d") == L"abcd");
}

TEST(CoreStringOps, IndexChecksAndBuffers)
{
    CString s(L"abc");
    EXPECT_EQ(s.GetAt(2), L'c');
    EXPECT_EQ(s[3], L'\0'); // the terminator is readable, as with a C string
    EXPECT_THROW(s.GetAt(4), CInvalidArgException);
    EXPECT_THROW(s.GetAt(-1), CInvalidArgException);
    EXPECT_THROW(s.SetAt(3, L'x'), CInvalidArgException);

    wchar_t* buf = s.GetBuffer(260);
    std::wcscpy(buf, L"C:/path");
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), 7);
    EXPECT_TRUE(s == L"C:/path");
}
