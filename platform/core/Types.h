// Fixed-size integer names, Boolean and colour helpers, and character-pointer
// names used throughout the model, geometry and section code.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
// LONG is 32 bits on every platform, as in the stored files.
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using INT = int;
using UINT = unsigned int;
// 64-bit integers are `long long`, so that the archive writes them as 8
// bytes (std::int64_t is `long` on Linux, which the archive writes as 4).
using LONGLONG = long long;
using ULONGLONG = unsigned long long;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using DWORD_PTR = std::uintptr_t;
using SCODE = std::int32_t;
using HRESULT = std::int32_t;

// BOOL is an int so that stored and journalled values stay 0/1 integers.
using BOOL = int;
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

using WCHAR = wchar_t;
using TCHAR = wchar_t;
using LPSTR = char*;
using LPCSTR = const char*;
using LPWSTR = wchar_t*;
using LPCWSTR = const wchar_t*;
using LPTSTR = wchar_t*;
using LPCTSTR = const wchar_t*;
using LPVOID = void*;
using LPCVOID = const void*;

#ifndef _T
#define _T(x) L##x
#endif

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);

// A colour as 0x00BBGGRR.
using COLORREF = DWORD;

// Packs red, green and blue bytes into a COLORREF.
constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b)
{
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}
// Red byte of a COLORREF.
constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c & 0xFF); }
// Green byte of a COLORREF.
constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>((c >> 8) & 0xFF); }
// Blue byte of a COLORREF.
constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>((c >> 16) & 0xFF); }

// Debug-only checks of the framework style; VERIFY always evaluates its argument.
#ifndef ASSERT
#define ASSERT(f) assert(f)
#endif
#ifndef VERIFY
#ifdef NDEBUG
#define VERIFY(f) ((void)(f))
#else
#define VERIFY(f) assert(f)
#endif
#endif
#ifndef ASSERT_VALID
#define ASSERT_VALID(p) ((void)(p))
#endif

// True when p can address `bytes` bytes: not null and not wrapping around.
// (Linux gives no cheap check of a mapping; a bad pointer is caught later by
// the sanitizers rather than here.)
inline BOOL AfxIsValidAddress(const void* p, std::size_t bytes, BOOL readWrite = TRUE)
{
    (void)readWrite;
    const auto address = reinterpret_cast<std::uintptr_t>(p);
    return (p != nullptr && address + bytes >= address) ? TRUE : FALSE;
}

// Throws the platform's invalid-argument exception (CInvalidArgException, by value).
[[noreturn]] void AfxThrowInvalidArgException();
// Throws std::bad_alloc, which stands for the framework's memory exception.
[[noreturn]] void AfxThrowMemoryException();
