#include "platform/ole/COleVariant.h"

#include <charconv>
#include <cmath>
#include <cwctype>
#include <limits>
#include <optional>
#include <string>

namespace {

// Parses numeric text in the C numeric locale: optional blanks around an
// optional sign and a decimal number. Nothing else may follow.
std::optional<double> parseNumber(const CString& text)
{
    std::string s = wideToUtf8(text.GetString());
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    const auto last = s.find_last_not_of(" \t");
    s = s.substr(first, last - first + 1);
    if (s[0] == '+') s.erase(0, 1);
    if (s.empty() || s[0] == '+') return std::nullopt;
    double value = 0.0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

bool equalsNoCase(const CString& text, const wchar_t* word)
{
    const wchar_t* p = text.GetString();
    for (; *p && *word; ++p, ++word)
        if (std::towlower(*p) != std::towlower(*word)) return false;
    return *p == 0 && *word == 0;
}

// The value as a double, for the numeric and boolean kinds; S_OK or the
// failure of the conversion.
HRESULT toDouble(const COleVariant& v, double& out)
{
    switch (v.vt) {
    case VT_EMPTY: out = 0.0; return S_OK;
    case VT_I2: out = v.iVal; return S_OK;
    case VT_I4: out = v.lVal; return S_OK;
    case VT_R8: out = v.dblVal; return S_OK;
    case VT_BOOL: out = v.boolVal ? -1.0 : 0.0; return S_OK;
    case VT_BSTR: {
        const auto parsed = parseNumber(v.bstrVal);
        if (!parsed) return DISP_E_TYPEMISMATCH;
        out = *parsed;
        return S_OK;
    }
    default: return DISP_E_TYPEMISMATCH;
    }
}

// Rounds half to even into [low, high]; DISP_E_OVERFLOW outside it.
HRESULT toInteger(double value, double low, double high, long long& out)
{
    if (std::isnan(value)) return DISP_E_OVERFLOW;
    const double rounded = std::nearbyint(value);  // default mode: half to even
    if (rounded < low || rounded > high) return DISP_E_OVERFLOW;
    out = static_cast<long long>(rounded);
    return S_OK;
}

// Text of a numeric or boolean value (booleans as -1 and 0).
CString toText(const COleVariant& v)
{
    switch (v.vt) {
    case VT_I2: return CString(std::to_wstring(v.iVal));
    case VT_I4: return CString(std::to_wstring(v.lVal));
    case VT_BOOL: return CString(v.boolVal ? L"-1" : L"0");
    case VT_R8: {
        char buffer[64];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, v.dblVal);
        return CString(std::string(buffer, result.ptr));
    }
    default: return CString();
    }
}

}  // namespace

COleVariant COleVariant::FromBool(bool value)
{
    COleVariant v;
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

COleVariant COleVariant::ByRef(double* target)
{
    COleVariant v;
    v.vt = VT_R8 | VT_BYREF;
    v.pdblVal = target;
    return v;
}

HRESULT COleVariant::ChangeType(VARTYPE to)
{
    if (to == vt || to == VT_VARIANT) return S_OK;
    if (to == VT_EMPTY) {
        Clear();
        return S_OK;
    }
    if ((vt & VT_BYREF) || (to & VT_BYREF)) return DISP_E_TYPEMISMATCH;
    if (to == VT_BSTR) {
        if (vt == VT_DISPATCH || vt == VT_UNKNOWN) return DISP_E_TYPEMISMATCH;
        *this = COleVariant(toText(*this));
        return S_OK;
    }
    if (to == VT_BOOL && vt == VT_BSTR) {
        if (equalsNoCase(bstrVal, L"True") || equalsNoCase(bstrVal, L"False")) {
            *this = FromBool(equalsNoCase(bstrVal, L"True"));
            return S_OK;
        }
    }
    double value = 0.0;
    if (HRESULT hr = toDouble(*this, value); hr != S_OK) return hr;
    long long integer = 0;
    switch (to) {
    case VT_R8: *this = COleVariant(value); return S_OK;
    case VT_BOOL: *this = FromBool(value != 0.0); return S_OK;
    case VT_I2:
        if (HRESULT hr = toInteger(value, -32768.0, 32767.0, integer); hr != S_OK) return hr;
        *this = COleVariant(static_cast<SHORT>(integer));
        return S_OK;
    case VT_I4:
        if (HRESULT hr = toInteger(value, -2147483648.0, 2147483647.0, integer); hr != S_OK) return hr;
        *this = COleVariant(static_cast<LONG>(integer));
        return S_OK;
    default: return DISP_E_TYPEMISMATCH;
    }
}
