#include "platform/core/Exceptions.h"

#include "platform/core/CArchive.h"

#include <algorithm>
#include <cerrno>
#include <new>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CInvalidArgException, CException)
IMPLEMENT_DYNAMIC(CFileException, CException)

CString CException::ErrorText() const
{
    return CString();
}

BOOL CException::GetErrorMessage(wchar_t* buf, UINT maxChars, UINT* helpContext) const
{
    if (helpContext != nullptr)
        *helpContext = 0;
    const CString text = ErrorText();
    if (buf != nullptr && maxChars > 0) {
        const auto n = std::min<std::size_t>(static_cast<std::size_t>(text.GetLength()), maxChars - 1);
        std::copy_n(text.GetString(), n, buf);
        buf[n] = L'\0';
    }
    return text.IsEmpty() ? FALSE : TRUE;
}

int CException::ReportError(UINT type) const
{
    CString text = ErrorText();
    if (text.IsEmpty())
        text = L"No error message is available.";
    return AfxMessageBox(text, type);
}

CString CInvalidArgException::ErrorText() const
{
    return CString(L"The parameter is incorrect.");
}

CFileException::CFileException(int cause, LONG osError, const wchar_t* fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(fileName)
{
}

int CFileException::ErrnoToCause(int error)
{
    switch (error) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return badPath;
    case EMFILE:
    case ENFILE: return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return accessDenied;
    case EBADF: return invalidFile;
    case ESPIPE:
    case EINVAL: return badSeek;
    case EIO: return hardIO;
    case EBUSY:
    case ETXTBSY: return sharingViolation;
    case ENOLCK: return lockViolation;
    case ENOSPC:
    case EFBIG:
    case EDQUOT: return diskFull;
    default: return genericException;
    }
}

CString CFileException::ErrorText() const
{
    static const wchar_t* const texts[] = {
        L"No error occurred",
        L"An unspecified error occurred while accessing",
        L"The file was not found:",
        L"The path is invalid:",
        L"Too many files are open; cannot open",
        L"Access was denied to",
        L"The file handle is invalid for",
        L"The current working directory cannot be removed:",
        L"The directory is full; cannot create",
        L"The seek position is invalid in",
        L"A hardware input/output error occurred while accessing",
        L"A sharing violation occurred while accessing",
        L"A locking violation occurred while accessing",
        L"The disk is full while writing",
        L"The end of the file was reached unexpectedly in",
    };
    const int n = static_cast<int>(std::size(texts));
    CString text = texts[(m_cause >= 0 && m_cause < n) ? m_cause : genericException];
    if (!m_strFileName.IsEmpty())
        text += L" " + m_strFileName;
    return text + L".";
}

void AfxThrowInvalidArgException()
{
    throw CInvalidArgException();
}

void AfxThrowMemoryException()
{
    throw std::bad_alloc();
}

void AfxThrowFileException(int cause, LONG osError, const wchar_t* fileName)
{
    throw CFileException(cause, osError, fileName);
}
