#include "platform/core/CString.h"

#include "platform/core/CArchive.h"
#include "platform/core/Exceptions.h"

#include <algorithm>
#include <clocale>
#include <cwctype>
#include <locale.h>
#include <wctype.h>

namespace {

constexpr char32_t replacementChar = 0xFFFD;

bool isValidScalar(char32_t c)
{
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

void appendUtf8(std::string& out, char32_t c)
{
    if (!isValidScalar(c))
        c = replacementChar;
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Decodes one UTF-8 sequence at text[i]; advances i. Overlong forms,
// surrogates and truncated sequences give U+FFFD and consume one byte.
char32_t decodeUtf8(std::string_view text, std::size_t& i)
{
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int extra = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1, c = b0 & 0x1F, minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2, c = b0 & 0x0F, minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3, c = b0 & 0x07, minimum = 0x10000;
    } else {
        ++i;
        return replacementChar;
    }
    if (i + static_cast<std::size_t>(extra) >= text.size()) {
        ++i;
        return replacementChar;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return replacementChar;
        }
        c = (c << 6) | (b & 0x3F);
    }
    if (c < minimum || !isValidScalar(c)) {
        ++i;
        return replacementChar;
    }
    i += static_cast<std::size_t>(extra) + 1;
    return c;
}

// Per-character case mapping under a UTF-8 character classification,
// independent of the process locale.
locale_t ctypeLocale()
{
    static const locale_t loc = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        if (l == static_cast<locale_t>(nullptr))
            l = newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(nullptr));
        return l;
    }();
    return loc;
}

wchar_t toUpper(wchar_t c) { return static_cast<wchar_t>(towupper_l(static_cast<wint_t>(c), ctypeLocale())); }
wchar_t toLower(wchar_t c) { return static_cast<wchar_t>(towlower_l(static_cast<wint_t>(c), ctypeLocale())); }
char toUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char toLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool isSpace(wchar_t c) { return iswspace_l(static_cast<wint_t>(c), ctypeLocale()) != 0; }
bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

template <class C>
std::size_t length(const C* s)
{
    return s ? std::char_traits<C>::length(s) : 0;
}

template <class C>
std::basic_string_view<C> view(const C* s)
{
    return s ? std::basic_string_view<C>(s) : std::basic_string_view<C>();
}

template <class C>
bool inSet(C c, const C* set)
{
    return set != nullptr && c != C(0) && std::char_traits<C>::find(set, length(set), c) != nullptr;
}

std::size_t clampIndex(int i, std::size_t size)
{
    if (i < 0)
        return 0;
    return std::min(static_cast<std::size_t>(i), size);
}

} // namespace

std::string wideToUtf8(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text)
        appendUtf8(out, static_cast<char32_t>(c));
    return out;
}

std::wstring utf8ToWide(std::string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();)
        out.push_back(static_cast<wchar_t>(decodeUtf8(text, i)));
    return out;
}

std::u16string wideToUtf16(std::wstring_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        auto c = static_cast<char32_t>(wc);
        if (c > 0x10FFFF)
            c = replacementChar;
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

std::wstring utf16ToWide(std::u16string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            const char32_t c = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (static_cast<char32_t>(text[i + 1]) - 0xDC00);
            out.push_back(static_cast<wchar_t>(c));
            ++i;
        } else {
            out.push_back(static_cast<wchar_t>(u));
        }
    }
    return out;
}

// ---- StringBase ---------------------------------------------------------

template <class C, class D>
StringBase<C, D>::StringBase(const C* text, int length)
{
    if (text != nullptr && length > 0)
        m_s.assign(text, static_cast<std::size_t>(length));
}

template <class C, class D>
StringBase<C, D>::StringBase(C ch, int repeat)
{
    if (repeat > 0)
        m_s.assign(static_cast<std::size_t>(repeat), ch);
}

template <class C, class D>
C StringBase<C, D>::GetAt(int i) const
{
    if (i < 0 || i > GetLength())
        AfxThrowInvalidArgException();
    return m_s.c_str()[i];
}

template <class C, class D>
void StringBase<C, D>::SetAt(int i, C ch)
{
    if (i < 0 || i >= GetLength())
        AfxThrowInvalidArgException();
    m_s[static_cast<std::size_t>(i)] = ch;
}

template <class C, class D>
C StringBase<C, D>::operator[](int i) const
{
    return GetAt(i);
}

template <class C, class D>
C* StringBase<C, D>::GetBuffer(int minLength)
{
    if (minLength > GetLength())
        m_s.resize(static_cast<std::size_t>(minLength));
    return m_s.data();
}

template <class C, class D>
C* StringBase<C, D>::GetBufferSetLength(int length)
{
    m_s.resize(static_cast<std::size_t>(std::max(length, 0)));
    return m_s.data();
}

template <class C, class D>
void StringBase<C, D>::ReleaseBuffer(int newLength)
{
    std::size_t n = 0;
    if (newLength < 0) {
        while (n < m_s.size() && m_s[n] != C(0))
            ++n;
    } else {
        n = std::min(static_cast<std::size_t>(newLength), m_s.size());
    }
    m_s.resize(n);
}

template <class C, class D>
void StringBase<C, D>::Append(const C* text)
{
    if (text != nullptr)
        m_s.append(text);
}

template <class C, class D>
void StringBase<C, D>::Append(const C* text, int length)
{
    if (text != nullptr && length > 0)
        m_s.append(text, static_cast<std::size_t>(length));
}

template <class C, class D>
int StringBase<C, D>::Compare(const C* text) const
{
    const int r = view_type(m_s).compare(view(text));
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

template <class C, class D>
int StringBase<C, D>::CompareNoCase(const C* text) const
{
    const view_type other = view(text);
    const std::size_t n = std::min(m_s.size(), other.size());
    for (std::size_t i = 0; i < n; ++i) {
        const C a = toLower(m_s[i]);
        const C b = toLower(other[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (m_s.size() == other.size())
        return 0;
    return m_s.size() < other.size() ? -1 : 1;
}

template <class C, class D>
int StringBase<C, D>::Find(C ch, int start) const
{
    if (start < 0 || start >= GetLength())
        return -1;
    const auto p = m_s.find(ch, static_cast<std::size_t>(start));
    return p == string_type::npos ? -1 : static_cast<int>(p);
}

template <class C, class D>
int StringBase<C, D>::Find(const C* sub, int start) const
{
    if (sub == nullptr || start < 0 || start > GetLength())
        return -1;
    const auto p = m_s.find(sub, static_cast<std::size_t>(start));
    return p == string_type::npos ? -1 : static_cast<int>(p);
}

template <class C, class D>
int StringBase<C, D>::ReverseFind(C ch) const
{
    const auto p = m_s.rfind(ch);
    return p == string_type::npos ? -1 : static_cast<int>(p);
}

template <class C, class D>
int StringBase<C, D>::FindOneOf(const C* set) const
{
    for (std::size_t i = 0; i < m_s.size(); ++i)
        if (inSet(m_s[i], set))
            return static_cast<int>(i);
    return -1;
}

template <class C, class D>
D StringBase<C, D>::Left(int n) const
{
    return D(m_s.substr(0, clampIndex(n, m_s.size())));
}

template <class C, class D>
D StringBase<C, D>::Mid(int first) const
{
    return D(m_s.substr(clampIndex(first, m_s.size())));
}

template <class C, class D>
D StringBase<C, D>::Mid(int first, int n) const
{
    const std::size_t f = clampIndex(first, m_s.size());
    return D(m_s.substr(f, clampIndex(n, m_s.size() - f)));
}

template <class C, class D>
D StringBase<C, D>::Right(int n) const
{
    const std::size_t k = clampIndex(n, m_s.size());
    return D(m_s.substr(m_s.size() - k));
}

template <class C, class D>
D StringBase<C, D>::SpanIncluding(const C* set) const
{
    std::size_t i = 0;
    while (i < m_s.size() && inSet(m_s[i], set))
        ++i;
    return D(m_s.substr(0, i));
}

template <class C, class D>
D StringBase<C, D>::SpanExcluding(const C* set) const
{
    std::size_t i = 0;
    while (i < m_s.size() && !inSet(m_s[i], set))
        ++i;
    return D(m_s.substr(0, i));
}

template <class C, class D>
D StringBase<C, D>::Tokenize(const C* delims, int& start) const
{
    if (start < 0 || start > GetLength()) {
        start = -1;
        return D();
    }
    std::size_t i = static_cast<std::size_t>(start);
    while (i < m_s.size() && inSet(m_s[i], delims))
        ++i;
    if (i >= m_s.size()) {
        start = -1;
        return D();
    }
    std::size_t j = i;
    while (j < m_s.size() && !inSet(m_s[j], delims))
        ++j;
    start = static_cast<int>(std::min(j + 1, m_s.size()));
    return D(m_s.substr(i, j - i));
}

template <class C, class D>
int StringBase<C, D>::Replace(C oldCh, C newCh)
{
    int n = 0;
    for (C& c : m_s)
        if (c == oldCh) {
            c = newCh;
            ++n;
        }
    return n;
}

template <class C, class D>
int StringBase<C, D>::Replace(const C* oldText, const C* newText)
{
    const view_type from = view(oldText);
    const view_type to = view(newText);
    if (from.empty())
        return 0;
    string_type out;
    int n = 0;
    std::size_t pos = 0;
    for (;;) {
        const auto hit = m_s.find(from, pos);
        if (hit == string_type::npos)
            break;
        out.append(m_s, pos, hit - pos);
        out.append(to);
        pos = hit + from.size();
        ++n;
    }
    if (n > 0) {
        out.append(m_s, pos, string_type::npos);
        m_s.swap(out);
    }
    return n;
}

template <class C, class D>
int StringBase<C, D>::Remove(C ch)
{
    const auto before = m_s.size();
    std::erase(m_s, ch);
    return static_cast<int>(before - m_s.size());
}

template <class C, class D>
int StringBase<C, D>::Insert(int i, C ch)
{
    m_s.insert(clampIndex(i, m_s.size()), 1, ch);
    return GetLength();
}

template <class C, class D>
int StringBase<C, D>::Insert(int i, const C* text)
{
    m_s.insert(clampIndex(i, m_s.size()), view(text));
    return GetLength();
}

template <class C, class D>
int StringBase<C, D>::Delete(int i, int count)
{
    const std::size_t f = clampIndex(i, m_s.size());
    m_s.erase(f, clampIndex(count, m_s.size() - f));
    return GetLength();
}

template <class C, class D>
D& StringBase<C, D>::TrimLeft()
{
    std::size_t i = 0;
    while (i < m_s.size() && isSpace(m_s[i]))
        ++i;
    m_s.erase(0, i);
    return self();
}

template <class C, class D>
D& StringBase<C, D>::TrimLeft(C ch)
{
    const C set[2] = {ch, C(0)};
    return TrimLeft(set);
}

template <class C, class D>
D& StringBase<C, D>::TrimLeft(const C* set)
{
    std::size_t i = 0;
    while (i < m_s.size() && inSet(m_s[i], set))
        ++i;
    m_s.erase(0, i);
    return self();
}

template <class C, class D>
D& StringBase<C, D>::TrimRight()
{
    std::size_t n = m_s.size();
    while (n > 0 && isSpace(m_s[n - 1]))
        --n;
    m_s.resize(n);
    return self();
}

template <class C, class D>
D& StringBase<C, D>::TrimRight(C ch)
{
    const C set[2] = {ch, C(0)};
    return TrimRight(set);
}

template <class C, class D>
D& StringBase<C, D>::TrimRight(const C* set)
{
    std::size_t n = m_s.size();
    while (n > 0 && inSet(m_s[n - 1], set))
        --n;
    m_s.resize(n);
    return self();
}

template <class C, class D>
D& StringBase<C, D>::Trim()
{
    TrimRight();
    return TrimLeft();
}

template <class C, class D>
D& StringBase<C, D>::Trim(C ch)
{
    TrimRight(ch);
    return TrimLeft(ch);
}

template <class C, class D>
D& StringBase<C, D>::Trim(const C* set)
{
    TrimRight(set);
    return TrimLeft(set);
}

template <class C, class D>
D& StringBase<C, D>::MakeUpper()
{
    for (C& c : m_s)
        c = toUpper(c);
    return self();
}

template <class C, class D>
D& StringBase<C, D>::MakeLower()
{
    for (C& c : m_s)
        c = toLower(c);
    return self();
}

template <class C, class D>
D& StringBase<C, D>::MakeReverse()
{
    std::reverse(m_s.begin(), m_s.end());
    return self();
}

template class StringBase<wchar_t, CString>;
template class StringBase<char, CStringA>;

// ---- CString / CStringA ---------------------------------------------------

CString::CString(const char* utf8) : StringBase(utf8ToWide(view(utf8))) {}
CString::CString(const std::string& utf8) : StringBase(utf8ToWide(utf8)) {}
CString::CString(const CStringA& narrow) : StringBase(utf8ToWide(narrow.str())) {}

CStringA::CStringA(const wchar_t* wide) : StringBase(wideToUtf8(view(wide))) {}
CStringA::CStringA(const std::wstring& wide) : StringBase(wideToUtf8(wide)) {}
CStringA::CStringA(const CString& wide) : StringBase(wideToUtf8(wide.str())) {}

FormatArg::FormatArg(const CString& s) : kind(Kind::Wide), ws(s.GetString()), wlen(static_cast<std::size_t>(s.GetLength())) {}
FormatArg::FormatArg(const CStringA& s) : kind(Kind::Narrow), ns(s.GetString()), nlen(static_cast<std::size_t>(s.GetLength())) {}

// ---- archive form -----------------------------------------------------------

namespace {

// Windows-1252 code points of the bytes 0x80 to 0x9F; the other bytes are
// their own code points. Bytes that the code page leaves unassigned map to
// the C1 control of the same value.
constexpr char16_t cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

wchar_t fromCp1252(unsigned char b)
{
    return (b >= 0x80 && b < 0xA0) ? static_cast<wchar_t>(cp1252High[b - 0x80]) : static_cast<wchar_t>(b);
}

void writeLength(CArchive& ar, std::size_t n)
{
    if (n < 0xFF) {
        ar << static_cast<BYTE>(n);
    } else if (n < 0xFFFE) {
        ar << static_cast<BYTE>(0xFF) << static_cast<WORD>(n);
    } else {
        if (n >= 0xFFFFFFFFu)
            AfxThrowArchiveException(CArchiveException::genericException);
        ar << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFF) << static_cast<DWORD>(n);
    }
}

// Reads the length prefix; `wide` tells whether the wide marker was present.
std::size_t readLength(CArchive& ar, bool& wide)
{
    wide = false;
    BYTE b = 0;
    ar >> b;
    if (b < 0xFF)
        return b;
    WORD w = 0;
    ar >> w;
    if (w == 0xFFFE) {
        wide = true;
        ar >> b;
        if (b < 0xFF)
            return b;
        ar >> w;
    }
    if (w < 0xFFFF)
        return w;
    DWORD d = 0;
    ar >> d;
    if (d == 0xFFFFFFFFu)
        AfxThrowArchiveException(CArchiveException::genericException); // 64-bit lengths are not used
    return d;
}

// Reads `count` units of `unitSize` bytes, in slices, so that a corrupt
// length fails at the end of the data rather than allocating for it.
template <class Unit>
std::basic_string<Unit> readUnits(CArchive& ar, std::size_t count)
{
    ar.EnsureCount(count, sizeof(Unit));
    std::basic_string<Unit> out;
    std::string bytes;
    constexpr std::size_t slice = 1 << 16;
    for (std::size_t done = 0; done < count;) {
        const std::size_t n = std::min(slice, count - done);
        bytes.resize(n * sizeof(Unit));
        ar.EnsureRead(bytes.data(), static_cast<UINT>(bytes.size()));
        out.resize(done + n);
        for (std::size_t k = 0; k < n; ++k) {
            if constexpr (sizeof(Unit) == 2)
                out[done + k] = static_cast<Unit>(static_cast<unsigned char>(bytes[2 * k]) |
                                                  (static_cast<unsigned char>(bytes[2 * k + 1]) << 8));
            else
                out[done + k] = static_cast<Unit>(bytes[k]);
        }
        done += n;
    }
    return out;
}

} // namespace

CArchive& operator<<(CArchive& ar, const CString& s)
{
    const std::u16string units = wideToUtf16(s.str());
    ar << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFE);
    writeLength(ar, units.size());
    std::string bytes(units.size() * 2, '\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        bytes[2 * i] = static_cast<char>(units[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(units[i] >> 8);
    }
    if (!bytes.empty())
        ar.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    return ar;
}

CArchive& operator>>(CArchive& ar, CString& s)
{
    bool wide = false;
    const std::size_t n = readLength(ar, wide);
    if (wide) {
        s = CString(utf16ToWide(readUnits<char16_t>(ar, n)));
    } else {
        const std::string bytes = readUnits<char>(ar, n);
        std::wstring text;
        text.reserve(bytes.size());
        for (char c : bytes)
            text.push_back(fromCp1252(static_cast<unsigned char>(c)));
        s = CString(std::move(text));
    }
    return ar;
}

CArchive& operator<<(CArchive& ar, const CStringA& s)
{
    writeLength(ar, s.str().size());
    if (!s.IsEmpty())
        ar.Write(s.GetString(), static_cast<UINT>(s.GetLength()));
    return ar;
}

CArchive& operator>>(CArchive& ar, CStringA& s)
{
    bool wide = false;
    const std::size_t n = readLength(ar, wide);
    if (wide)
        s = CStringA(wideToUtf8(utf16ToWide(readUnits<char16_t>(ar, n))));
    else
        s = CStringA(readUnits<char>(ar, n));
    return ar;
}
