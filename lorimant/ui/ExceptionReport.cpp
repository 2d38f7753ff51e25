// Showing what a window's handler threw.
#include "lorimant/ui/ExceptionReport.h"

#include <exception>

#include "platform/core/Exceptions.h"
#include "platform/core/Hooks.h"

CString CurrentExceptionText() {
  try {
    throw;
  } catch (const CException& e) {
    return e.ErrorText();
  } catch (const std::exception& e) {
    return CString(e.what());
  } catch (const char* text) {
    return CString(text != nullptr ? text : "");
  } catch (const wchar_t* text) {
    return CString(text != nullptr ? text : L"");
  } catch (...) {
    return CString(L"Unexpected error.");
  }
}

void ShowCurrentException() { AfxMessageBox(CurrentExceptionText(), MB_OK | MB_ICONEXCLAMATION); }
