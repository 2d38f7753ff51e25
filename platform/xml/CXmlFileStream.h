// A file opened by us as the byte stream under an XML reader or writer.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/xml/XmlResult.h"

// How a stream opens its file.
enum class XmlStreamMode {
    Read,        // an existing regular file, read only
    CreateWrite, // created or truncated, write only
};

class CXmlFileStream {
public:
    ~CXmlFileStream();
    CXmlFileStream(const CXmlFileStream&) = delete;
    CXmlFileStream& operator=(const CXmlFileStream&) = delete;

    // Opens path (wide, stored as UTF-8 on disk) in the given mode. Gives
    // S_OK and the stream, or a failure code (E_INVALIDARG for no path,
    // 0x8007xxxx for a refused file) and leaves stream empty.
    friend HRESULT CreateStreamOnFile(const wchar_t* path, XmlStreamMode mode,
                                      std::shared_ptr<CXmlFileStream>& stream);

    // Reads up to size bytes; gives the count read (0 at the end) or -1 on
    // failure, the failure's code then in lastFailure().
    long read(char* buffer, size_t size);
    // Writes all size bytes; false on failure, with the code in lastFailure().
    bool write(const char* buffer, size_t size);
    // The code of the last failed read or write, S_OK when none failed.
    HRESULT lastFailure() const { return lastFailure_; }

private:
    explicit CXmlFileStream(int fd) : fd_(fd) {}

    int fd_;
    HRESULT lastFailure_ = S_OK;
};

HRESULT CreateStreamOnFile(const wchar_t* path, XmlStreamMode mode,
                           std::shared_ptr<CXmlFileStream>& stream);
