// Registry helpers over the settings store of the platform layer.
#include <charconv>
#include <cmath>
#include <limits>

#include "analysis/model/Utilities.h"
#include "platform/core/Hooks.h"

namespace {

const wchar_t* const kErrorCaption = L"Error";

// "The HRESULT was <code> meaning <system text>".
CString systemMessageText(DWORD code) {
  CString text;
  text.Format(L"The HRESULT was %d meaning %s", static_cast<int>(code),
              FormatSystemMessage(code).GetString());
  return text;
}

void showError(const CString& text) {
  AfxMessageBox(text.GetString(), kErrorCaption, MB_ICONINFORMATION);
}

// Leading decimal number of text as the C library's atof reads it, but
// always in the C locale: white space and a '+' sign are skipped, and text
// that does not start with a number gives 0.
double parseLeadingNumber(const std::string& text) {
  std::size_t i = text.find_first_not_of(" \t\n\v\f\r");
  if (i == std::string::npos) return 0.0;
  if (text[i] == '+') ++i;
  double value = 0.0;
  const auto result = std::from_chars(text.data() + i, text.data() + text.size(), value);
  return result.ec == std::errc() ? value : 0.0;
}

// Truncation towards zero, limited to the int range (NaN gives 0).
int truncateToInt(double v) {
  if (std::isnan(v)) return 0;
  constexpr double lo = std::numeric_limits<int>::min();
  constexpr double hi = std::numeric_limits<int>::max();
  if (v <= lo) return std::numeric_limits<int>::min();
  if (v >= hi) return std::numeric_limits<int>::max();
  return static_cast<int>(v);
}

}  // namespace

CStringA getRegCString(HKEY key, const wchar_t* valueName) {
  CString data;
  const LONG status = RegQueryString(key, valueName, data);
  RegCloseKey(key);
  if (status == ERROR_SUCCESS) return CStringA(data);

  // The store reports the cause as the query's result (and as the thread's
  // last error); the result cannot be stale.
  const CString text = systemMessageText(static_cast<DWORD>(status));
  if (text.Find(L"successfully") >= 0) return CStringA();
  showError(text);
  throw L"getRegCString:: get fetch value";
}

int getRegInt(HKEY key, const wchar_t* valueName) {
  return truncateToInt(parseLeadingNumber(getRegCString(key, valueName).str()));
}

int setRegInt(HKEY key, const wchar_t* subKey, int value) {
  HKEY sub = nullptr;
  const LONG opened = RegCreateKey(key, subKey, &sub);
  if (opened != ERROR_SUCCESS) {
    showError(systemMessageText(static_cast<DWORD>(opened)));
    throw L"Can't set registry value";
  }
  CString text;
  text.Format(L"%d", value);
  const LONG written = RegSetString(sub, nullptr, text.GetString());
  RegCloseKey(sub);
  if (written != ERROR_SUCCESS) throw L"Can't set registry value";
  return 1;
}

int existRegCString(HKEY key, const wchar_t* subKey) {
  HKEY sub = nullptr;
  if (RegOpenKey(key, subKey, &sub) != ERROR_SUCCESS) return 0;
  RegCloseKey(sub);
  return 1;
}

long recursiveDeleteKey(HKEY key, const wchar_t* subKey) {
  HKEY sub = nullptr;
  const LONG opened = RegOpenKey(key, subKey, &sub);
  if (opened != ERROR_SUCCESS) return opened;
  // Always take the first remaining child: deleting it shifts the rest down.
  CString child;
  while (RegEnumKey(sub, 0, child) == ERROR_SUCCESS) {
    const long status = recursiveDeleteKey(sub, child.GetString());
    if (status != ERROR_SUCCESS) {
      RegCloseKey(sub);
      return status;
    }
  }
  RegCloseKey(sub);
  const LONG deleted = RegDeleteKey(key, subKey);
  // A key that holds no values of its own may vanish from the store with
  // its last child; it existed when opened above, so it is deleted now.
  if (deleted == ERROR_FILE_NOT_FOUND && existRegCString(key, subKey) == 0) return ERROR_SUCCESS;
  return deleted;
}
