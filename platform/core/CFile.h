// Files: CFile on disk (binary, unbuffered) and CMemFile in memory (growable,
// seekable; its bytes can be read directly, e.g. for tests and undo
// snapshots). Failures throw CFileException by value.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <cstddef>
#include <vector>

class CFileException;

class CFile : public CObject {
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

    // A closed file.
    CFile();
    // Opens the file (see Open); throws CFileException on failure.
    CFile(const wchar_t* path, UINT openFlags);
    // Closes the file if open (errors ignored).
    ~CFile() override;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens a file: modeRead/modeWrite/modeReadWrite, with modeCreate to
    // create or truncate (keeping contents with modeNoTruncate). Share and
    // text/binary flags are accepted and ignored (files are binary).
    // Returns FALSE and fills *error on failure.
    virtual BOOL Open(const wchar_t* path, UINT openFlags, CFileException* error = nullptr);
    // Reads up to count bytes; returns the number read (0 at the end).
    virtual UINT Read(void* buffer, UINT count);
    // Writes count bytes; throws CFileException (diskFull, accessDenied, ...) on failure.
    virtual void Write(const void* buffer, UINT count);
    // Moves the position by offset from begin, current or end; returns the new position.
    virtual ULONGLONG Seek(LONGLONG offset, UINT from);
    // Moves to the start.
    void SeekToBegin() { Seek(0, begin); }
    // Moves to the end; returns the length.
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    // Current position.
    virtual ULONGLONG GetPosition() const;
    // Length in bytes.
    virtual ULONGLONG GetLength() const;
    // Truncates or extends to newLength bytes.
    virtual void SetLength(ULONGLONG newLength);
    // Writes buffered data to the system (nothing is buffered here).
    virtual void Flush();
    // Closes the file; throws CFileException when the system reports an error.
    virtual void Close();
    // Closes the file, ignoring errors.
    virtual void Abort();
    // True while a file is open.
    virtual bool IsOpen() const { return m_hFile != hFileNull; }
    // Path given to Open.
    CString GetFilePath() const { return m_strFileName; }

    static constexpr int hFileNull = -1;
    int m_hFile = hFileNull;

protected:
    CString m_strFileName;
};

// A file in memory that grows in steps of growBytes.
class CMemFile : public CFile {
    DECLARE_DYNAMIC(CMemFile)
public:
    // An empty file growing in steps of growBytes.
    explicit CMemFile(UINT growBytes = 1024);
    // A file holding a copy of size bytes of buffer, positioned at the start.
    CMemFile(const BYTE* buffer, UINT size, UINT growBytes = 0);
    ~CMemFile() override;

    BOOL Open(const wchar_t* path, UINT openFlags, CFileException* error = nullptr) override;
    UINT Read(void* buffer, UINT count) override;
    // Writes at the position, growing the file; std::bad_alloc when memory runs out.
    void Write(const void* buffer, UINT count) override;
    ULONGLONG Seek(LONGLONG offset, UINT from) override;
    ULONGLONG GetPosition() const override { return m_position; }
    ULONGLONG GetLength() const override { return m_length; }
    void SetLength(ULONGLONG newLength) override;
    void Flush() override {}
    // Keeps the contents (a memory file has no handle to release).
    void Close() override {}
    void Abort() override {}
    bool IsOpen() const override { return true; }

    // The bytes of the file (GetLength() of them); valid until the next write.
    const BYTE* GetData() const { return m_data.data(); }
    // Copy of the bytes of the file.
    std::vector<BYTE> GetBytes() const { return std::vector<BYTE>(m_data.begin(), m_data.begin() + static_cast<std::ptrdiff_t>(m_length)); }
    // Replaces the contents with a copy of the bytes and moves to the start.
    void SetBytes(const void* bytes, std::size_t size);

private:
    void ensureCapacity(std::size_t size);

    std::vector<BYTE> m_data;
    std::size_t m_length = 0;
    std::size_t m_position = 0;
    UINT m_growBytes;
};
