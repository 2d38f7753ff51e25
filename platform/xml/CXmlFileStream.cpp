// File streams under the XML reader and writer, on POSIX descriptors.
#include "platform/xml/CXmlFileStream.h"

#include <cerrno>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/CString.h"

namespace {

int openFile(const std::string& name, XmlStreamMode mode)
{
    if (mode == XmlStreamMode::Read)
        return ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    return ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
}

// A folder opens for reading on Linux but is no file to read.
bool isReadableFile(int fd)
{
    struct stat info;
    if (::fstat(fd, &info) != 0)
        return false;
    if (S_ISDIR(info.st_mode)) {
        errno = EISDIR;
        return false;
    }
    return true;
}

}

HRESULT CreateStreamOnFile(const wchar_t* path, XmlStreamMode mode,
                           std::shared_ptr<CXmlFileStream>& stream)
{
    stream.reset();
    if (path == nullptr || *path == L'\0')
        return E_INVALIDARG;
    int fd = openFile(wideToUtf8(path), mode);
    if (fd < 0)
        return hresultFromErrno(errno);
    if (mode == XmlStreamMode::Read && !isReadableFile(fd)) {
        int error = errno;
        ::close(fd);
        return hresultFromErrno(error);
    }
    CXmlFileStream* created = new (std::nothrow) CXmlFileStream(fd);
    if (created == nullptr) {
        ::close(fd);
        return XML_E_OUTOFMEMORY;
    }
    stream.reset(created);
    return S_OK;
}

CXmlFileStream::~CXmlFileStream()
{
    ::close(fd_);
}

long CXmlFileStream::read(char* buffer, size_t size)
{
    for (;;) {
        ssize_t got = ::read(fd_, buffer, size);
        if (got >= 0)
            return static_cast<long>(got);
        if (errno != EINTR) {
            lastFailure_ = hresultFromErrno(errno);
            return -1;
        }
    }
}

bool CXmlFileStream::write(const char* buffer, size_t size)
{
    while (size > 0) {
        ssize_t put = ::write(fd_, buffer, size);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            lastFailure_ = hresultFromErrno(errno);
            return false;
        }
        buffer += put;
        size -= static_cast<size_t>(put);
    }
    return true;
}
