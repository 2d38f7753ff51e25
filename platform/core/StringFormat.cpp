// printf-style formatting for CString::Format and CStringA::Format.
//
// Arguments arrive typed (FormatArg), so each conversion is checked against
// the argument instead of reading raw bytes. Integer widths follow the
// Windows data model: no length modifier and `l` mean 32 bits, `ll`/`I64`
// 64 bits, `h` 16 and `hh` 8 bits. Numbers are formatted in the C locale.
#include "platform/core/CString.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FormatArg.h"

#include <clocale>
#include <cstdio>
#include <locale.h>
#include <string>

namespace {

locale_t cNumericLocale()
{
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

// Runs snprintf with the C locale in force on this thread only.
template <class... V>
std::string cFormat(const char* spec, V... values)
{
    const locale_t previous = uselocale(cNumericLocale());
    char small[128];
    int n = std::snprintf(small, sizeof small, spec, values...);
    std::string out;
    if (n >= 0 && static_cast<std::size_t>(n) < sizeof small) {
        out.assign(small, static_cast<std::size_t>(n));
    } else if (n >= 0) {
        out.resize(static_cast<std::size_t>(n) + 1);
        n = std::snprintf(out.data(), out.size(), spec, values...);
        out.resize(static_cast<std::size_t>(n));
    }
    uselocale(previous);
    if (n < 0)
        AfxThrowInvalidArgException();
    return out;
}

enum class Length { None, hh, h, l, ll, I32, I64, ptr, L, w };

struct Spec {
    std::string flags;
    int width = -1;
    int precision = -1;
    Length length = Length::None;
    char conversion = 0;
};

template <class C>
class Formatter {
public:
    Formatter(const C* format, const FormatArg* args, std::size_t count) : m_fmt(format), m_args(args), m_count(count)
    {
        if (format == nullptr)
            AfxThrowInvalidArgException();
    }

    std::basic_string<C> run()
    {
        for (const C* p = m_fmt; *p != C(0);) {
            if (*p != C('%')) {
                m_out.push_back(*p++);
                continue;
            }
            ++p;
            if (*p == C('%')) {
                m_out.push_back(C('%'));
                ++p;
                continue;
            }
            p = parse(p);
        }
        return std::move(m_out);
    }

private:
    const FormatArg& next()
    {
        if (m_next >= m_count)
            AfxThrowInvalidArgException();
        return m_args[m_next++];
    }

    int nextInt()
    {
        const FormatArg& a = next();
        if (a.kind != FormatArg::Kind::Signed && a.kind != FormatArg::Kind::Unsigned)
            AfxThrowInvalidArgException();
        return static_cast<int>(a.i);
    }

    static bool isFlag(C c) { return c == C('-') || c == C('+') || c == C(' ') || c == C('#') || c == C('0'); }
    static bool isDigit(C c) { return c >= C('0') && c <= C('9'); }

    static int digits(const C*& p)
    {
        long long v = 0;
        while (isDigit(*p)) {
            v = v * 10 + (*p++ - C('0'));
            if (v > 100000)
                AfxThrowInvalidArgException();
        }
        return static_cast<int>(v);
    }

    const C* parse(const C* p)
    {
        Spec s;
        while (isFlag(*p))
            s.flags.push_back(static_cast<char>(*p++));
        if (*p == C('*')) {
            ++p;
            s.width = nextInt();
            if (s.width < 0) {
                s.flags.push_back('-');
                s.width = -s.width;
            }
        } else if (isDigit(*p)) {
            s.width = digits(p);
        }
        if (*p == C('$'))
            AfxThrowInvalidArgException(); // positional arguments are not supported
        if (*p == C('.')) {
            ++p;
            if (*p == C('*')) {
                ++p;
                s.precision = nextInt();
                if (s.precision < 0)
                    s.precision = -1;
            } else {
                s.precision = digits(p);
            }
        }
        p = parseLength(p, s);
        if (*p == C(0))
            AfxThrowInvalidArgException();
        const C conv = *p++;
        if (conv < C(0x21) || conv > C(0x7E))
            AfxThrowInvalidArgException();
        s.conversion = static_cast<char>(conv);
        convert(s);
        return p;
    }

    static const C* parseLength(const C* p, Spec& s)
    {
        switch (*p) {
        case C('h'):
            ++p;
            if (*p == C('h')) {
                ++p;
                s.length = Length::hh;
            } else {
                s.length = Length::h;
            }
            break;
        case C('l'):
            ++p;
            if (*p == C('l')) {
                ++p;
                s.length = Length::ll;
            } else {
                s.length = Length::l;
            }
            break;
        case C('q'):
        case C('j'):
            ++p;
            s.length = Length::ll;
            break;
        case C('z'):
        case C('t'):
            ++p;
            s.length = Length::ptr;
            break;
        case C('L'):
            ++p;
            s.length = Length::L;
            break;
        case C('w'):
            ++p;
            s.length = Length::w;
            break;
        case C('I'):
            if (p[1] == C('6') && p[2] == C('4')) {
                p += 3;
                s.length = Length::I64;
            } else if (p[1] == C('3') && p[2] == C('2')) {
                p += 3;
                s.length = Length::I32;
            } else {
                ++p;
                s.length = Length::ptr;
            }
            break;
        default:
            break;
        }
        return p;
    }

    void convert(const Spec& s)
    {
        switch (s.conversion) {
        case 'd':
        case 'i':
        case 'u':
        case 'o':
        case 'x':
        case 'X':
            integer(s);
            return;
        case 'e':
        case 'E':
        case 'f':
        case 'F':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            floating(s);
            return;
        case 'c':
        case 'C':
            character(s);
            return;
        case 's':
        case 'S':
            text(s);
            return;
        case 'p':
            pointer(s);
            return;
        default:
            AfxThrowInvalidArgException(); // includes %n
        }
    }

    // Bits of the value as the conversion sees it.
    static int bitsFor(const Spec& s, const FormatArg& a)
    {
        switch (s.length) {
        case Length::hh: return 8;
        case Length::h: return 16;
        case Length::ll:
        case Length::I64:
        case Length::ptr:
        case Length::L: return 64;
        default: break;
        }
        // No modifier (or l, I32): a 32-bit value as on Windows, unless the
        // argument does not fit, in which case it is shown whole.
        if (a.kind == FormatArg::Kind::Unsigned)
            return static_cast<unsigned long long>(a.i) <= 0xFFFFFFFFull ? 32 : 64;
        if (a.kind == FormatArg::Kind::Signed)
            return (a.i >= -2147483648LL && a.i <= 2147483647LL) ? 32 : 64;
        return 64;
    }

    void integer(const Spec& s)
    {
        const FormatArg& a = next();
        unsigned long long bits = 0;
        if (a.kind == FormatArg::Kind::Signed || a.kind == FormatArg::Kind::Unsigned)
            bits = static_cast<unsigned long long>(a.i);
        else if (a.kind == FormatArg::Kind::Pointer)
            bits = reinterpret_cast<std::uintptr_t>(a.p);
        else
            AfxThrowInvalidArgException();
        const int width = bitsFor(s, a);
        if (width < 64)
            bits &= (1ull << width) - 1;
        std::string spec = "%" + s.flags + widthPrecision(s) + "ll" + s.conversion;
        if (s.conversion == 'd' || s.conversion == 'i') {
            long long v = static_cast<long long>(bits);
            if (width < 64 && ((bits >> (width - 1)) & 1) != 0)
                v -= static_cast<long long>(1ull << width); // sign-extend the narrower value
            append(cFormat(spec.c_str(), v));
        } else {
            append(cFormat(spec.c_str(), bits));
        }
    }

    void floating(const Spec& s)
    {
        const FormatArg& a = next();
        double v = 0.0;
        if (a.kind == FormatArg::Kind::Floating)
            v = a.d;
        else if (a.kind == FormatArg::Kind::Signed)
            v = static_cast<double>(a.i);
        else if (a.kind == FormatArg::Kind::Unsigned)
            v = static_cast<double>(static_cast<unsigned long long>(a.i));
        else
            AfxThrowInvalidArgException();
        const std::string spec = "%" + s.flags + widthPrecision(s) + s.conversion;
        append(cFormat(spec.c_str(), v));
    }

    // Whether a %c/%s conversion names a narrow argument in this format.
    bool narrowConversion(const Spec& s) const
    {
        const bool upper = s.conversion == 'C' || s.conversion == 'S';
        if (s.length == Length::h)
            return true;
        if (s.length == Length::l || s.length == Length::w)
            return false;
        // %s is the format's own width; %S the other one.
        return sizeof(C) == 1 ? !upper : upper;
    }

    void character(const Spec& s)
    {
        const FormatArg& a = next();
        if (a.kind != FormatArg::Kind::Signed && a.kind != FormatArg::Kind::Unsigned)
            AfxThrowInvalidArgException();
        std::wstring w;
        if (narrowConversion(s))
            w.push_back(static_cast<wchar_t>(static_cast<unsigned char>(a.i)));
        else
            w.push_back(static_cast<wchar_t>(a.i & 0x1FFFFF));
        pad(w, s);
    }

    void text(const Spec& s)
    {
        const FormatArg& a = next();
        std::wstring w;
        // The argument's own type decides; the conversion letter only says
        // which type the caller meant, and a typed argument removes the doubt.
        if (a.kind == FormatArg::Kind::Wide && a.ws != nullptr)
            w.assign(a.ws, a.wlen);
        else if (a.kind == FormatArg::Kind::Narrow && a.ns != nullptr)
            w = utf8ToWide(std::string_view(a.ns, a.nlen));
        else if ((a.kind == FormatArg::Kind::Wide || a.kind == FormatArg::Kind::Narrow ||
                  a.kind == FormatArg::Kind::Pointer) && a.p == nullptr && a.ws == nullptr && a.ns == nullptr)
            w = L"(null)";
        else
            AfxThrowInvalidArgException();
        if (s.precision >= 0 && static_cast<std::size_t>(s.precision) < w.size())
            w.resize(static_cast<std::size_t>(s.precision));
        pad(w, s);
    }

    void pointer(const Spec& s)
    {
        const FormatArg& a = next();
        std::uintptr_t v = 0;
        if (a.kind == FormatArg::Kind::Pointer)
            v = reinterpret_cast<std::uintptr_t>(a.p);
        else if (a.kind == FormatArg::Kind::Wide)
            v = reinterpret_cast<std::uintptr_t>(a.ws);
        else if (a.kind == FormatArg::Kind::Narrow)
            v = reinterpret_cast<std::uintptr_t>(a.ns);
        else if (a.kind == FormatArg::Kind::Signed || a.kind == FormatArg::Kind::Unsigned)
            v = static_cast<std::uintptr_t>(a.i);
        else
            AfxThrowInvalidArgException();
        const std::string digitsText = cFormat("%016llX", static_cast<unsigned long long>(v));
        pad(std::wstring(digitsText.begin(), digitsText.end()), s);
    }

    static std::string widthPrecision(const Spec& s)
    {
        std::string r;
        if (s.width >= 0)
            r += std::to_string(s.width);
        if (s.precision >= 0)
            r += "." + std::to_string(s.precision);
        return r;
    }

    void pad(const std::wstring& w, const Spec& s)
    {
        const std::size_t fill = (s.width > 0 && static_cast<std::size_t>(s.width) > w.size())
                                     ? static_cast<std::size_t>(s.width) - w.size()
                                     : 0;
        const bool left = s.flags.find('-') != std::string::npos;
        if (!left)
            m_out.append(fill, C(' '));
        appendWide(w);
        if (left)
            m_out.append(fill, C(' '));
    }

    void appendWide(const std::wstring& w)
    {
        if constexpr (sizeof(C) == 1)
            m_out += wideToUtf8(w);
        else
            m_out += w;
    }

    // Appends ASCII text produced by snprintf.
    void append(const std::string& ascii)
    {
        for (char c : ascii)
            m_out.push_back(static_cast<C>(static_cast<unsigned char>(c)));
    }

    const C* m_fmt;
    const FormatArg* m_args;
    std::size_t m_count;
    std::size_t m_next = 0;
    std::basic_string<C> m_out;
};

} // namespace

std::wstring afxFormatWide(const wchar_t* format, const FormatArg* args, std::size_t count)
{
    return Formatter<wchar_t>(format, args, count).run();
}

std::string afxFormatNarrow(const char* format, const FormatArg* args, std::size_t count)
{
    return Formatter<char>(format, args, count).run();
}
