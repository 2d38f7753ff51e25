#pragma once

#include "platform/core/Exceptions.h"

// Return code of a failed database call.
constexpr int SQL_ERROR = -1;

// Failure of a database connection or record set, thrown by value.
class CDBException : public CException {
    DECLARE_DYNAMIC(CDBException)
public:
    // A failure with the return code and the text of the error.
    explicit CDBException(int retCode = SQL_ERROR, const CString& error = CString());
    // The error text.
    CString ErrorText() const override;

    int m_nRetCode;
    CString m_strError;
};

// Throws CDBException with SQL_ERROR and the text.
[[noreturn]] void AfxThrowDBException(const CString& error);
