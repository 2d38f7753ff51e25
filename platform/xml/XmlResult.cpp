// Codes of failed file operations.
#include "platform/xml/XmlResult.h"

#include <cerrno>

namespace {

struct ErrnoCode {
    int error;
    DWORD systemError;
};

// The Windows system error numbers that callers know from the file calls.
constexpr ErrnoCode kErrnoCodes[] = {
    {ENOENT, 2},        // file not found
    {ENOTDIR, 3},       // path not found
    {EMFILE, 4},        // too many open files
    {ENFILE, 4},
    {EACCES, 5},        // access denied
    {EPERM, 5},
    {EISDIR, 5},
    {EROFS, 19},        // write protected
    {EBUSY, 32},        // sharing violation
    {EEXIST, 80},       // file exists
    {ENOSPC, 112},      // disk full
    {EDQUOT, 112},
    {ENAMETOOLONG, 206},// file name too long
    {ELOOP, 1921},      // cannot resolve a link
    {ENOMEM, 14},       // out of memory
    {EIO, 1117},        // I/O device error
};

}

HRESULT hresultFromErrno(int error)
{
    for (const ErrnoCode& entry : kErrnoCodes) {
        if (entry.error == error)
            return static_cast<HRESULT>(0x80070000u | entry.systemError);
    }
    return E_FAIL;
}
