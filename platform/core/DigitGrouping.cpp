// Digit grouping in the user's locale and reading grouped numbers back.
#include "platform/core/DigitGrouping.h"

#include <charconv>
#include <cmath>
#include <locale>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

// The locale the environment names; the C locale when it names one that
// is not installed (std::locale("") throws then).
std::locale userLocale()
{
    try {
        return std::locale("");
    } catch (const std::runtime_error&) {
        return std::locale::classic();
    }
}

// Separators that stand for a space: a user types a plain space for them.
constexpr wchar_t kSpaceLike[] = {L' ', L'\u00A0', L'\u2009', L'\u202F'};

bool isSpaceLike(wchar_t c)
{
    for (wchar_t s : kSpaceLike)
        if (c == s)
            return true;
    return false;
}

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// True when text is an optionally signed integer grouped in threes with
// separator sep: [+-][1-9]d{0,2}(sep ddd)+.
bool isGroupedInteger(const std::wstring& text, wchar_t sep)
{
    std::size_t i = (!text.empty() && (text[0] == L'-' || text[0] == L'+')) ? 1 : 0;
    const std::size_t lead = i;
    if (i >= text.size() || text[i] == L'0')
        return false;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    if (i == lead || i - lead > 3 || i == text.size())
        return false;
    while (i < text.size()) {
        if (text[i] != sep || text.size() - i < 4)
            return false;
        for (std::size_t k = 1; k <= 3; ++k)
            if (!isDigit(text[i + k]))
                return false;
        i += 4;
    }
    return true;
}

std::wstring trimmed(const CString& text)
{
    CString t(text);
    t.Trim();
    return t.str();
}

} // namespace

CString commatize(long long value)
{
    if (value == -99999)
        return CString();
    std::wostringstream out;
    out.imbue(userLocale());
    out << std::fixed << value;
    return CString(out.str());
}

CString RemoveGroupSeparators(const CString& text)
{
    std::wstring s = trimmed(text);
    const std::locale loc = userLocale();
    const auto& punct = std::use_facet<std::numpunct<wchar_t>>(loc);
    const std::string grouping = punct.grouping();
    if (grouping.empty() || grouping[0] <= 0)
        return CString(s); // the locale groups no digits: nothing to remove
    const wchar_t sep = punct.thousands_sep();
    std::wstring out;
    out.reserve(s.size());
    if (sep == L'.') {
        // "." is also the decimal point of the C-locale number: only a
        // text that is wholly a grouped integer loses its dots.
        if (!isGroupedInteger(s, sep))
            return CString(s);
        for (wchar_t c : s)
            if (c != sep)
                out.push_back(c);
    } else if (isSpaceLike(sep)) {
        for (wchar_t c : s)
            if (!isSpaceLike(c))
                out.push_back(c);
    } else {
        for (wchar_t c : s)
            if (c != sep)
                out.push_back(c);
    }
    return CString(out);
}

bool ParseCDouble(const CString& text, double& value)
{
    const std::wstring s = trimmed(text);
    std::string narrow;
    narrow.reserve(s.size());
    for (wchar_t c : s) {
        if (c <= 0 || c > 0x7F)
            return false; // no number holds a character outside ASCII
        narrow.push_back(static_cast<char>(c));
    }
    const char* first = narrow.data();
    const char* last = first + narrow.size();
    if (first != last && *first == '+') {
        ++first;
        if (first != last && *first == '-')
            return false;
    }
    if (first == last)
        return false;
    double parsed = 0.0;
    const auto [end, error] = std::from_chars(first, last, parsed, std::chars_format::general);
    if (error != std::errc() || end != last || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

bool ReadGroupedNumber(const CString& text, double& value)
{
    const CString clean = RemoveGroupSeparators(text);
    if (clean.IsEmpty())
        return true;
    return ParseCDouble(clean, value);
}
