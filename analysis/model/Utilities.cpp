// Generated names, unique ids, journal suspension, platform queries and
// UTF-8 conversion.
#include "analysis/model/Utilities.h"

#include <cstring>
#include <stdexcept>

#include "analysis/model/Globals.h"

namespace {

// The name base, created on first use so that it exists before any caller
// in another library's static initialisation can reach it.
CString& nameBase() {
  static CString base(L"aa$$");
  return base;
}

bool savedLogActive = false;

}  // namespace

bool logActive = false;

CString nameGen() {
  CString& base = nameBase();
  const int length = base.GetLength();
  if (length > 0) {
    const wchar_t first = base.GetAt(0);
    if (first == L'z' && length > 1) {
      base.SetAt(0, L'a');
      base.SetAt(1, static_cast<wchar_t>(base.GetAt(1) + 1));
    } else if (first == L'z') {
      base.SetAt(0, L'a');  // no second character to carry into
    } else {
      base.SetAt(0, static_cast<wchar_t>(first + 1));
    }
  }
  return base;
}

CString getBaseName() { return nameBase(); }

void setBaseName(CString base) { nameBase() = std::move(base); }

int uniqueID() {
  if (gUniqueID >= kUniqueIDLimit) throw std::overflow_error("No unique ids left");
  return gUniqueID++;
}

void uniqueID(int id) { gUniqueID = id; }

int getHID(int id) { return id + 65536; }

void logSuspend() {
  savedLogActive = logActive;
  logActive = false;
}

void logRestart() { logActive = savedLogActive; }

bool isNT2000() { return true; }

short EnumInstalledSoftware(CString /*name*/) { return 0; }

std::string utf8_encode(const std::wstring& text) { return wideToUtf8(text); }

std::unique_ptr<char[]> utf8_encode(const CString& text) {
  const std::string utf8 = wideToUtf8(text.str());
  auto buffer = std::make_unique<char[]>(utf8.size() + 1);
  std::memcpy(buffer.get(), utf8.c_str(), utf8.size() + 1);
  return buffer;
}

std::wstring utf8_decode(const std::string& text) { return utf8ToWide(text); }
