// Text strings: CString (wide, wchar_t; stored in archives as UTF-16) and
// CStringA (narrow, UTF-8 in this program), with printf-style Format under
// the Windows conventions, UTF-8/UTF-16 conversions and the archive
// operators.
#pragma once

#include "platform/core/FormatArg.h"
#include "platform/core/Types.h"

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

class CArchive;

// UTF-8 form of wide text; a code point that is not valid becomes U+FFFD.
std::string wideToUtf8(std::wstring_view text);
// Wide form of UTF-8 text; malformed sequences become U+FFFD.
std::wstring utf8ToWide(std::string_view text);
// UTF-16 form of wide text: characters above U+FFFF become surrogate pairs.
std::u16string wideToUtf16(std::wstring_view text);
// Wide form of UTF-16 text: surrogate pairs are joined; a lone surrogate is kept as it is.
std::wstring utf16ToWide(std::u16string_view text);

// Operations shared by CString and CStringA. Indices and lengths are in
// characters of C (wchar_t code points for CString, bytes for CStringA).
template <class C, class Derived>
class StringBase {
public:
    using XCHAR = C;
    using string_type = std::basic_string<C>;
    using view_type = std::basic_string_view<C>;

    StringBase() = default;
    // Copy of zero-terminated text; null gives the empty string.
    StringBase(const C* text) : m_s(text ? text : string_type()) {}
    // The first `length` characters of text.
    StringBase(const C* text, int length);
    // `repeat` copies of ch.
    explicit StringBase(C ch, int repeat = 1);
    StringBase(const string_type& text) : m_s(text) {}
    StringBase(string_type&& text) : m_s(std::move(text)) {}
    explicit StringBase(view_type text) : m_s(text) {}

    // Number of characters.
    int GetLength() const { return static_cast<int>(m_s.size()); }
    // True when there are no characters.
    bool IsEmpty() const { return m_s.empty(); }
    // Removes every character.
    void Empty() { m_s.clear(); }
    // Character i (the terminator at GetLength()); throws CInvalidArgException outside 0..GetLength().
    C GetAt(int i) const;
    // Replaces character i; throws CInvalidArgException outside 0..GetLength()-1.
    void SetAt(int i, C ch);
    // Character i; throws CInvalidArgException outside 0..GetLength() (the terminator).
    C operator[](int i) const;
    // Zero-terminated contents, valid until the string changes.
    const C* GetString() const { return m_s.c_str(); }
    operator const C*() const { return m_s.c_str(); }
    // The contents as a standard string.
    const string_type& str() const { return m_s; }

    // A writable buffer of at least minLength characters plus terminator; call ReleaseBuffer after writing.
    C* GetBuffer(int minLength = 0);
    // As GetBuffer, and the length becomes `length` at once.
    C* GetBufferSetLength(int length);
    // Ends writing into the buffer: the length becomes newLength, or the position of the first zero when -1.
    void ReleaseBuffer(int newLength = -1);

    // Appends text.
    void Append(const C* text);
    // Appends the first `length` characters of text.
    void Append(const C* text, int length);
    // Appends one character.
    void AppendChar(C ch) { m_s.push_back(ch); }

    Derived& operator+=(const StringBase& other) { m_s += other.m_s; return self(); }
    Derived& operator+=(const C* text) { Append(text); return self(); }
    Derived& operator+=(C ch) { m_s.push_back(ch); return self(); }

    // Ordinal comparison: negative, zero or positive.
    int Compare(const C* text) const;
    // Comparison ignoring case (simple per-character folding).
    int CompareNoCase(const C* text) const;

    // Index of the first ch at or after start, or -1.
    int Find(C ch, int start = 0) const;
    // Index of the first occurrence of sub at or after start, or -1.
    int Find(const C* sub, int start = 0) const;
    // Index of the last ch, or -1.
    int ReverseFind(C ch) const;
    // Index of the first character that is in `set`, or -1.
    int FindOneOf(const C* set) const;

    // The first n characters (clamped to the string).
    Derived Left(int n) const;
    // The characters from `first` to the end (clamped).
    Derived Mid(int first) const;
    // n characters from `first` (clamped).
    Derived Mid(int first, int n) const;
    // The last n characters (clamped).
    Derived Right(int n) const;
    // The leading characters that are all in `set`.
    Derived SpanIncluding(const C* set) const;
    // The leading characters that are all outside `set`.
    Derived SpanExcluding(const C* set) const;
    // The next token after `start` delimited by characters of `delims`;
    // `start` moves past it; at the end returns empty and sets start to -1.
    Derived Tokenize(const C* delims, int& start) const;

    // Replaces every oldCh by newCh; returns the number replaced.
    int Replace(C oldCh, C newCh);
    // Replaces every non-overlapping oldText by newText (null means empty); returns the number replaced.
    int Replace(const C* oldText, const C* newText);
    // Removes every ch; returns the number removed.
    int Remove(C ch);
    // Inserts ch before index i (clamped); returns the new length.
    int Insert(int i, C ch);
    // Inserts text before index i (clamped); returns the new length.
    int Insert(int i, const C* text);
    // Removes `count` characters from index i (clamped); returns the new length.
    int Delete(int i, int count = 1);

    // Removes leading and trailing white space.
    Derived& Trim();
    // Removes leading and trailing ch.
    Derived& Trim(C ch);
    // Removes leading and trailing characters that are in `set`.
    Derived& Trim(const C* set);
    Derived& TrimLeft();
    Derived& TrimLeft(C ch);
    Derived& TrimLeft(const C* set);
    Derived& TrimRight();
    Derived& TrimRight(C ch);
    Derived& TrimRight(const C* set);
    // Upper case in place (per character).
    Derived& MakeUpper();
    // Lower case in place (per character).
    Derived& MakeLower();
    // Reverses the characters in place.
    Derived& MakeReverse();

    // Replaces the contents with printf-style output (see afxFormatWide and
    // afxFormatNarrow for the conversions). Arguments are checked against
    // the conversions; a mismatch throws CInvalidArgException.
    template <class... A>
    void Format(const C* format, const A&... args)
    {
        m_s = formatArgs(format, args...);
    }
    // Appends printf-style output.
    template <class... A>
    void AppendFormat(const C* format, const A&... args)
    {
        m_s += formatArgs(format, args...);
    }

    friend bool operator==(const Derived& a, const Derived& b) { return a.m_s == b.m_s; }
    friend bool operator==(const Derived& a, const C* b) { return a.Compare(b) == 0; }
    friend bool operator==(const C* a, const Derived& b) { return b.Compare(a) == 0; }
    friend bool operator!=(const Derived& a, const Derived& b) { return !(a == b); }
    friend bool operator!=(const Derived& a, const C* b) { return !(a == b); }
    friend bool operator!=(const C* a, const Derived& b) { return !(a == b); }
    friend bool operator<(const Derived& a, const Derived& b) { return a.m_s < b.m_s; }
    friend bool operator<(const Derived& a, const C* b) { return a.Compare(b) < 0; }
    friend bool operator<(const C* a, const Derived& b) { return b.Compare(a) > 0; }
    friend bool operator>(const Derived& a, const Derived& b) { return b < a; }
    friend bool operator>(const Derived& a, const C* b) { return a.Compare(b) > 0; }
    friend bool operator>(const C* a, const Derived& b) { return b.Compare(a) < 0; }
    friend bool operator<=(const Derived& a, const Derived& b) { return !(b < a); }
    friend bool operator<=(const Derived& a, const C* b) { return a.Compare(b) <= 0; }
    friend bool operator<=(const C* a, const Derived& b) { return b.Compare(a) >= 0; }
    friend bool operator>=(const Derived& a, const Derived& b) { return !(a < b); }
    friend bool operator>=(const Derived& a, const C* b) { return a.Compare(b) >= 0; }
    friend bool operator>=(const C* a, const Derived& b) { return b.Compare(a) <= 0; }

    friend Derived operator+(const Derived& a, const Derived& b) { return Derived(a.m_s + b.m_s); }
    friend Derived operator+(const Derived& a, const C* b) { Derived r(a); r.Append(b); return r; }
    friend Derived operator+(const C* a, const Derived& b) { Derived r(a); r += b; return r; }
    friend Derived operator+(const Derived& a, C b) { Derived r(a); r.AppendChar(b); return r; }
    friend Derived operator+(C a, const Derived& b) { Derived r(a, 1); r += b; return r; }

protected:
    Derived& self() { return static_cast<Derived&>(*this); }
    template <class... A>
    static string_type formatArgs(const C* format, const A&... args)
    {
        const std::array<FormatArg, sizeof...(A)> list{FormatArg(args)...};
        if constexpr (sizeof(C) == 1)
            return afxFormatNarrow(format, list.data(), list.size());
        else
            return afxFormatWide(format, list.data(), list.size());
    }

    string_type m_s;
};

class CStringA;

// Wide text string (wchar_t: one code point per character on Linux).
class CString : public StringBase<wchar_t, CString> {
public:
    using StringBase::StringBase;
    CString() = default;
    // Decodes UTF-8 text (null gives the empty string).
    CString(const char* utf8);
    // Decodes UTF-8 text.
    CString(const std::string& utf8);
    // Decodes a narrow string (UTF-8).
    CString(const CStringA& narrow);

    // UTF-8 form of the text.
    std::string ToUtf8() const { return wideToUtf8(m_s); }
    // UTF-16 form of the text.
    std::u16string ToUtf16() const { return wideToUtf16(m_s); }
    // The text as a std::wstring.
    const std::wstring& ToStdWString() const { return m_s; }
    // A string decoded from UTF-8.
    static CString FromUtf8(std::string_view utf8) { return CString(utf8ToWide(utf8)); }
    // A string decoded from UTF-16.
    static CString FromUtf16(std::u16string_view utf16) { return CString(utf16ToWide(utf16)); }
};

// Narrow text string; holds UTF-8 in this program.
class CStringA : public StringBase<char, CStringA> {
public:
    using StringBase::StringBase;
    CStringA() = default;
    // Encodes wide text as UTF-8 (null gives the empty string).
    CStringA(const wchar_t* wide);
    // Encodes wide text as UTF-8.
    CStringA(const std::wstring& wide);
    // Encodes a wide string as UTF-8.
    CStringA(const CString& wide);
};

extern template class StringBase<wchar_t, CString>;
extern template class StringBase<char, CStringA>;

// Stores the wide form: 0xFF, word 0xFFFE, the length in UTF-16 units (byte
// below 0xFF, else 0xFF + word below 0xFFFE, else 0xFFFF + dword), then the
// UTF-16LE code units.
CArchive& operator<<(CArchive& ar, const CString& s);
// Loads the wide or the narrow form (narrow bytes are Windows-1252).
CArchive& operator>>(CArchive& ar, CString& s);
// Stores the narrow form: the same length prefix without the wide marker, then the bytes.
CArchive& operator<<(CArchive& ar, const CStringA& s);
// Loads the narrow form (bytes kept) or the wide form (converted to UTF-8).
CArchive& operator>>(CArchive& ar, CStringA& s);

template <>
struct std::hash<CString> {
    std::size_t operator()(const CString& s) const noexcept { return std::hash<std::wstring>()(s.str()); }
};
template <>
struct std::hash<CStringA> {
    std::size_t operator()(const CStringA& s) const noexcept { return std::hash<std::string>()(s.str()); }
};
