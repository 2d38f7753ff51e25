// The automation dispatch exception: an error code and a description text,
// thrown by value by automation methods and the shape builders.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Types.h"

class COleDispatchException : public CException {
    DECLARE_DYNAMIC(COleDispatchException)
public:
    // An exception with the error code, description and help context.
    COleDispatchException(WORD code, const wchar_t* description, UINT helpContext = 0);
    // The description.
    CString ErrorText() const override;

    WORD m_wCode;               // error code (1, 2, 1001, ...)
    CString m_strDescription;   // text shown to the automation client
    DWORD m_dwHelpContext;
    CString m_strHelpFile;
    CString m_strSource;
    SCODE m_scError = 0;
};

// Throws COleDispatchException by value.
[[noreturn]] void AfxThrowOleDispatchException(WORD code, const wchar_t* description, UINT helpContext = 0);
// Throws COleDispatchException by value with a UTF-8 description.
[[noreturn]] void AfxThrowOleDispatchException(WORD code, const char* description, UINT helpContext = 0);
