#include "platform/core/CFile.h"

#include "platform/core/Exceptions.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

IMPLEMENT_DYNAMIC(CFile, CObject)
IMPLEMENT_DYNAMIC(CMemFile, CFile)

namespace {

[[noreturn]] void throwErrno(int error, const CString& path)
{
    AfxThrowFileException(CFileException::ErrnoToCause(error), error, path);
}

} // namespace

CFile::CFile() = default;

CFile::CFile(const wchar_t* path, UINT openFlags)
{
    CFileException error;
    if (!Open(path, openFlags, &error))
        throw error;
}

CFile::~CFile()
{
    if (m_hFile != hFileNull)
        ::close(m_hFile);
}

BOOL CFile::Open(const wchar_t* path, UINT openFlags, CFileException* error)
{
    if (m_hFile != hFileNull || path == nullptr) {
        if (error != nullptr)
            *error = CFileException(CFileException::genericException, 0, path);
        return FALSE;
    }
    int flags = O_CLOEXEC;
    switch (openFlags & 3u) {
    case modeRead: flags |= O_RDONLY; break;
    case modeWrite: flags |= O_WRONLY; break;
    case modeReadWrite: flags |= O_RDWR; break;
    default:
        if (error != nullptr)
            *error = CFileException(CFileException::genericException, EINVAL, path);
        return FALSE;
    }
    if (openFlags & modeCreate) {
        flags |= O_CREAT;
        if (!(openFlags & modeNoTruncate))
            flags |= O_TRUNC;
    }
    const std::string name = wideToUtf8(path);
    int fd = -1;
    do {
        fd = ::open(name.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int e = errno;
        if (error != nullptr)
            *error = CFileException(CFileException::ErrnoToCause(e), e, path);
        return FALSE;
    }
    m_hFile = fd;
    m_strFileName = path;
    return TRUE;
}

UINT CFile::Read(void* buffer, UINT count)
{
    if (m_hFile == hFileNull)
        AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
    auto* p = static_cast<char*>(buffer);
    UINT done = 0;
    while (done < count) {
        const ssize_t n = ::read(m_hFile, p + done, count - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throwErrno(errno, m_strFileName);
        }
        if (n == 0)
            break;
        done += static_cast<UINT>(n);
    }
    return done;
}

void CFile::Write(const void* buffer, UINT count)
{
    if (m_hFile == hFileNull)
        AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
    const auto* p = static_cast<const char*>(buffer);
    UINT done = 0;
    while (done < count) {
        const ssize_t n = ::write(m_hFile, p + done, count - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throwErrno(errno, m_strFileName);
        }
        done += static_cast<UINT>(n);
    }
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from)
{
    if (m_hFile == hFileNull)
        AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
    static const int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (from > end)
        AfxThrowFileException(CFileException::badSeek, EINVAL, m_strFileName);
    const off_t r = ::lseek(m_hFile, static_cast<off_t>(offset), whence[from]);
    if (r < 0)
        AfxThrowFileException(CFileException::badSeek, errno, m_strFileName);
    return static_cast<ULONGLONG>(r);
}

ULONGLONG CFile::GetPosition() const
{
    if (m_hFile == hFileNull)
        AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
    const off_t r = ::lseek(m_hFile, 0, SEEK_CUR);
    if (r < 0)
        AfxThrowFileException(CFileException::badSeek, errno, m_strFileName);
    return static_cast<ULONGLONG>(r);
}

ULONGLONG CFile::GetLength() const
{
    if (m_hFile == hFileNull)
        AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
    struct stat st {};
    if (::fstat(m_hFile, &st) != 0)
        throwErrno(errno, m_strFileName);
    return static_cast<ULONGLONG>(st.st_size);
}

void CFile::SetLength(ULONGLONG newLength)
{
    if (m_hFile == hFileNull)
        AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
    if (::ftruncate(m_hFile, static_cast<off_t>(newLength)) != 0)
        throwErrno(errno, m_strFileName);
}

void CFile::Flush()
{
    if (m_hFile == hFileNull)
        AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
}

void CFile::Close()
{
    if (m_hFile == hFileNull)
        return;
    const int fd = m_hFile;
    m_hFile = hFileNull;
    if (::close(fd) != 0 && errno != EINTR)
        throwErrno(errno, m_strFileName);
}

void CFile::Abort()
{
    if (m_hFile != hFileNull) {
        ::close(m_hFile);
        m_hFile = hFileNull;
    }
}

// ---- CMemFile ---------------------------------------------------------------

CMemFile::CMemFile(UINT growBytes) : m_growBytes(growBytes) {}

CMemFile::CMemFile(const BYTE* buffer, UINT size, UINT growBytes) : m_growBytes(growBytes)
{
    SetBytes(buffer, buffer ? size : 0);
}

CMemFile::~CMemFile() = default;

BOOL CMemFile::Open(const wchar_t* path, UINT, CFileException* error)
{
    if (error != nullptr)
        *error = CFileException(CFileException::genericException, 0, path);
    return FALSE;
}

void CMemFile::ensureCapacity(std::size_t size)
{
    if (size <= m_data.size())
        return;
    std::size_t capacity = size;
    if (m_growBytes > 0) {
        const std::size_t step = m_growBytes;
        capacity = (size + step - 1) / step * step;
    } else {
        capacity = std::max(size, m_data.size() * 2);
    }
    m_data.resize(capacity); // new bytes are zero; std::bad_alloc when memory runs out
}

UINT CMemFile::Read(void* buffer, UINT count)
{
    if (m_position >= m_length || count == 0)
        return 0;
    const std::size_t n = std::min<std::size_t>(count, m_length - m_position);
    std::memcpy(buffer, m_data.data() + m_position, n);
    m_position += n;
    return static_cast<UINT>(n);
}

void CMemFile::Write(const void* buffer, UINT count)
{
    if (count == 0)
        return;
    const std::size_t end = m_position + count;
    ensureCapacity(end);
    if (m_position > m_length) // a gap left by seeking past the end reads as zeros
        std::fill(m_data.begin() + static_cast<std::ptrdiff_t>(m_length),
                  m_data.begin() + static_cast<std::ptrdiff_t>(m_position), BYTE(0));
    std::memcpy(m_data.data() + m_position, buffer, count);
    m_position = end;
    m_length = std::max(m_length, end);
}

ULONGLONG CMemFile::Seek(LONGLONG offset, UINT from)
{
    LONGLONG base = 0;
    switch (from) {
    case begin: base = 0; break;
    case current: base = static_cast<LONGLONG>(m_position); break;
    case end: base = static_cast<LONGLONG>(m_length); break;
    default: AfxThrowFileException(CFileException::badSeek, EINVAL);
    }
    if ((offset < 0 && base + offset < 0) || (offset > 0 && base > std::numeric_limits<LONGLONG>::max() - offset))
        AfxThrowFileException(CFileException::badSeek, EINVAL);
    m_position = static_cast<std::size_t>(base + offset);
    return m_position;
}

void CMemFile::SetLength(ULONGLONG newLength)
{
    const auto n = static_cast<std::size_t>(newLength);
    if (n > m_length) {
        ensureCapacity(n);
        std::fill(m_data.begin() + static_cast<std::ptrdiff_t>(m_length),
                  m_data.begin() + static_cast<std::ptrdiff_t>(n), BYTE(0));
    }
    m_length = n;
    m_position = std::min(m_position, m_length);
}

void CMemFile::SetBytes(const void* bytes, std::size_t size)
{
    m_data.assign(static_cast<const BYTE*>(bytes), static_cast<const BYTE*>(bytes) + size);
    m_length = size;
    m_position = 0;
}
