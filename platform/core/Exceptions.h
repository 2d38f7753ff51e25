// The framework's exception family, thrown and caught by value:
// CException (base), CInvalidArgException (bad index or argument),
// CFileException (file operations). Memory failure is std::bad_alloc
// (CMemoryException names it). CArchiveException is in CArchive.h.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/core/Hooks.h"
#include "platform/core/Types.h"

#include <new>

// Memory failure: the standard allocation exception.
using CMemoryException = std::bad_alloc;

// Base of the framework exceptions. Not derived from std::exception: catch
// sites name it (or a derived class) explicitly.
class CException : public CObject {
    DECLARE_DYNAMIC(CException)
public:
    CException() = default;
    CException(const CException&) = default;
    CException& operator=(const CException&) = default;
    ~CException() override = default;

    // Message text of the exception (empty when it has none).
    virtual CString ErrorText() const;
    // Copies the message into buf (at most maxChars including the terminator); FALSE when there is none.
    BOOL GetErrorMessage(wchar_t* buf, UINT maxChars, UINT* helpContext = nullptr) const;
    // Shows the message through the message-box hook; returns the answer.
    int ReportError(UINT type = MB_ICONEXCLAMATION) const;
    // Nothing to free: exceptions are values.
    void Delete() {}
};

// Invalid argument, including every bad array or string index.
class CInvalidArgException : public CException {
    DECLARE_DYNAMIC(CInvalidArgException)
public:
    CInvalidArgException() = default;
    // "The parameter is incorrect."
    CString ErrorText() const override;
};

// Failure of a file operation.
class CFileException : public CException {
    DECLARE_DYNAMIC(CFileException)
public:
    enum Cause {
        none = 0,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    // An exception with the cause, the system error number and the file name.
    explicit CFileException(int cause = none, LONG osError = 0, const wchar_t* fileName = nullptr);
    // Cause for a system error number (errno).
    static int ErrnoToCause(int error);
    // Describes the cause and the file.
    CString ErrorText() const override;

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

// Throws CFileException by value.
[[noreturn]] void AfxThrowFileException(int cause, LONG osError = 0, const wchar_t* fileName = nullptr);
