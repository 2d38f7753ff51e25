// One argument of the printf-style formatting of CString and CStringA,
// captured with its type so that formatting can check it against the
// conversion and never reads a value of the wrong kind.
#pragma once

#include "platform/core/Types.h"

#include <concepts>
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

class CString;
class CStringA;

struct FormatArg {
    enum class Kind { Signed, Unsigned, Floating, Wide, Narrow, Pointer };
    Kind kind;
    long long i = 0;           // Signed and Unsigned (bits as stored)
    double d = 0.0;            // Floating
    const wchar_t* ws = nullptr; // Wide text (null prints "(null)")
    std::size_t wlen = 0;
    const char* ns = nullptr;  // Narrow (UTF-8) text
    std::size_t nlen = 0;
    const void* p = nullptr;   // Pointer

    template <std::integral T>
    FormatArg(T v)
        : kind(std::is_signed_v<T> ? Kind::Signed : Kind::Unsigned), i(static_cast<long long>(v)) {}
    template <class E>
        requires std::is_enum_v<E>
    FormatArg(E v) : FormatArg(static_cast<std::underlying_type_t<E>>(v)) {}
    template <std::floating_point T>
    FormatArg(T v) : kind(Kind::Floating), d(static_cast<double>(v)) {}
    FormatArg(const wchar_t* s) : kind(Kind::Wide), ws(s), wlen(s ? std::char_traits<wchar_t>::length(s) : 0) {}
    FormatArg(const char* s) : kind(Kind::Narrow), ns(s), nlen(s ? std::char_traits<char>::length(s) : 0) {}
    FormatArg(const std::wstring& s) : kind(Kind::Wide), ws(s.c_str()), wlen(s.size()) {}
    FormatArg(const std::string& s) : kind(Kind::Narrow), ns(s.c_str()), nlen(s.size()) {}
    FormatArg(std::wstring_view s) : kind(Kind::Wide), ws(s.data()), wlen(s.size()) {}
    FormatArg(std::string_view s) : kind(Kind::Narrow), ns(s.data()), nlen(s.size()) {}
    FormatArg(const CString& s);
    FormatArg(const CStringA& s);
    FormatArg(std::nullptr_t) : kind(Kind::Pointer) {}
    template <class T>
        requires(!std::is_same_v<std::remove_cv_t<T>, char> && !std::is_same_v<std::remove_cv_t<T>, wchar_t>)
    FormatArg(T* ptr) : kind(Kind::Pointer), p(static_cast<const void*>(ptr)) {}
};

// Formats with the Windows rules of a wide format: %s and %ls take wide
// text, %S and %hs narrow (UTF-8) text, %c a wide and %C/%hc a narrow
// character; %I64d, %lld, %ld, %d, %u, %x, %o, %e, %f, %g, %a, %p, %%, flags,
// width and precision (also *). Numbers use the C locale whatever the
// process locale. Throws CInvalidArgException on a malformed format, a
// missing argument or an argument of the wrong kind.
std::wstring afxFormatWide(const wchar_t* format, const FormatArg* args, std::size_t count);
// The same for a narrow format: %s takes narrow, %S/%ls wide text; the
// result is UTF-8.
std::string afxFormatNarrow(const char* format, const FormatArg* args, std::size_t count);
