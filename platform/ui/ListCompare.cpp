#include "platform/ui/ListCompare.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <ctime>
#include <locale.h>
#include <stdlib.h>
#include <langinfo.h>
#include <string>

namespace {

int sign(long long v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

// The integer at the start of text as a C run-time decimal parse reads it:
// leading blanks, an optional sign, digits; 0 when there are none; values
// beyond the 64-bit range saturate.
long long leadingInteger(const CString& text)
{
    const wchar_t* p = text.GetString();
    while (std::iswspace(static_cast<wint_t>(*p)))
        ++p;
    bool negative = false;
    if (*p == L'+' || *p == L'-')
        negative = (*p++ == L'-');
    long long value = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        const int digit = *p - L'0';
        if (value > (LLONG_MAX - digit) / 10)
            return negative ? LLONG_MIN : LLONG_MAX;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

// The floating-point number at the start of text, read in the C numeric
// convention whatever the user's locale; 0 when there is none.
double leadingDouble(const CString& text)
{
    const std::string narrow = wideToUtf8(text.str());
    const char* p = narrow.c_str();
    const char* end = p + narrow.size();
    while (p < end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f'))
        ++p;
    if (p < end && *p == '+')
        ++p;
    double value = 0;
    const std::errc error = std::from_chars(p, end, value).ec;
    if (error == std::errc::result_out_of_range) {
        // A number beyond the double range reads as a C run-time parse
        // reads it: the largest magnitude (infinite) or next to 0.
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
        return strtod_l(p, nullptr, cLocale);
    }
    if (error != std::errc())
        return 0;
    return value;
}

int compareDoubles(double a, double b)
{
    // A text that reads as "nan" sorts below every number and equals
    // another such text, so that the order stays a total one.
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) == std::isnan(b) ? 0 : (std::isnan(a) ? -1 : 1);
    return a < b ? -1 : (b < a ? 1 : 0);
}

// True when text is exactly the decimal form of a non-zero integer
// ("010", "+5", " 5" and "0" are not); value receives it.
bool canonicalNonZeroInteger(const CString& text, long long& value)
{
    value = leadingInteger(text);
    return value != 0 && text.str() == std::to_wstring(value);
}

int compareText(const CString& a, const CString& b, bool ignoreCase)
{
    const int c = ignoreCase ? a.CompareNoCase(b) : a.Compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int compareIntegersOrText(const CString& a, const CString& b, bool ignoreCase)
{
    long long x = 0;
    long long y = 0;
    if (canonicalNonZeroInteger(a, x) && canonicalNonZeroInteger(b, y) && x != y)
        return x < y ? -1 : 1;
    return compareText(a, b, ignoreCase);
}

int compareDates(const CString& a, const CString& b)
{
    ListDate da;
    ListDate db;
    const ListDateStatus sa = ParseListDate(a, da);
    const ListDateStatus sb = ParseListDate(b, db);
    // Texts that are no date sort before the dates, grouped by how they
    // failed; two of the same kind are equal.
    if (sa != ListDateStatus::Valid || sb != ListDateStatus::Valid) {
        const auto rank = [](ListDateStatus s) {
            return s == ListDateStatus::Unparsable ? 0 : (s == ListDateStatus::OutOfRange ? 1 : 2);
        };
        const int ra = rank(sa);
        const int rb = rank(sb);
        return ra < rb ? -1 : (ra > rb ? 1 : 0);
    }
    // Whole seconds: two dates less than a second apart cannot be written.
    return sign(ListDateInstant(da) - ListDateInstant(db));
}

// The user's short date form with every two-digit year turned into a
// four-digit one ("%D" is "%m/%d/%y").
std::string fourDigitPattern()
{
    std::string pattern = nl_langinfo(D_FMT);
    if (pattern.empty())
        pattern = "%m/%d/%Y";
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size()) {
            const char c = pattern[i + 1];
            out += c == 'y' ? "%Y" : (c == 'D' ? "%m/%d/%Y" : std::string{'%', c});
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string twoDigitPattern(std::string pattern)
{
    for (std::size_t i = 0; (i = pattern.find("%Y", i)) != std::string::npos; i += 2)
        pattern[i + 1] = 'y';
    return pattern;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Reads "H:MM" or "H:MM:SS" filling the rest of text; false otherwise.
bool parseTime(const char* p, int& secondOfDay)
{
    while (isBlank(*p))
        ++p;
    if (*p == '\0') {
        secondOfDay = 0;
        return true;
    }
    for (const char* format : {"%H:%M:%S", "%H:%M"}) {
        std::tm tm{};
        const char* rest = strptime(p, format, &tm);
        if (rest == nullptr)
            continue;
        while (isBlank(*rest))
            ++rest;
        if (*rest == '\0') {
            secondOfDay = tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec;
            return true;
        }
    }
    return false;
}

int daysInMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

} // namespace

int CompareListTexts(int sortType, const CString& a, const CString& b)
{
    switch (sortType) {
    case LVEX_SORT_INTEGER: {
        const long long x = leadingInteger(a);
        const long long y = leadingInteger(b);
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    case LVEX_SORT_DOUBLE:
        return compareDoubles(leadingDouble(a), leadingDouble(b));
    case LVEX_SORT_INTEGER_OR_TEXT:
        return compareIntegersOrText(a, b, false);
    case LVEX_SORT_TEXT_NOCASE:
        return compareText(a, b, true);
    case LVEX_SORT_INTEGER_OR_TEXT_NOCASE:
        return compareIntegersOrText(a, b, true);
    case LVEX_SORT_DATE:
        return compareDates(a, b);
    default:
        return compareText(a, b, false);
    }
}

CString FormatListDate(const ListDate& date)
{
    std::tm tm{};
    tm.tm_year = date.year - 1900;
    tm.tm_mon = date.month - 1;
    tm.tm_mday = date.day;
    char buffer[128];
    const std::size_t n = std::strftime(buffer, sizeof buffer, fourDigitPattern().c_str(), &tm);
    return CString(utf8ToWide(std::string(buffer, n)));
}

ListDateStatus ParseListDate(const CString& text, ListDate& out)
{
    const std::string narrow = wideToUtf8(text.str());
    const char* start = narrow.c_str();
    while (isBlank(*start))
        ++start;
    const std::string four = fourDigitPattern();
    // The two-digit form first: it takes "1/2/99" as 1999 and cannot take a
    // whole four-digit year, which the second form then reads.
    for (const std::string& pattern : {twoDigitPattern(four), four}) {
        std::tm tm{};
        const char* rest = strptime(start, pattern.c_str(), &tm);
        int secondOfDay = 0;
        if (rest == nullptr || !parseTime(rest, secondOfDay))
            continue;
        ListDate date;
        date.year = tm.tm_year + 1900;
        date.month = tm.tm_mon + 1;
        date.day = tm.tm_mday;
        date.secondOfDay = secondOfDay;
        if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > daysInMonth(date.year, date.month))
            return ListDateStatus::OutOfRange;
        out = date;
        return ListDateStatus::Valid;
    }
    return ListDateStatus::Unparsable;
}

long long ListDateInstant(const ListDate& date)
{
    // Days from the civil date (Gregorian, years counted from March so the
    // leap day ends the year).
    const long long y = date.year - (date.month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yearOfEra = y - era * 400;
    const long long m = date.month;
    const long long dayOfYear = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const long long days = era * 146097 + dayOfEra - 719468;
    return days * 86400 + date.secondOfDay;
}
