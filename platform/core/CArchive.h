// The binary archive: stores or loads values, strings and object graphs in
// the framework's little-endian format over any CFile, through a buffer.
//
// Object references: null is word 0; a class seen for the first time is
// 0xFFFF, word schema, word name length and the ASCII name; a known class is
// 0x8000 | index; an object already written is its index. Classes and
// objects share one index space starting at 1; indices from 0x7FFF on are
// written as 0x7FFF and a dword (0x80000000 | index for a class, the plain
// index for an object).
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Types.h"

#include <concepts>
#include <cstddef>
#include <type_traits>
#include <unordered_map>
#include <vector>

class CFile;
class CString;
class CStringA;

class CArchiveException : public CException {
    DECLARE_DYNAMIC(CArchiveException)
public:
    enum Cause {
        none = 0,
        genericException,
        readOnly,   // written to an archive that is loading
        endOfFile,  // the stream ended inside a value
        writeOnly,  // read from an archive that is storing
        badIndex,   // an object or class reference that was never defined
        badClass,   // an unknown class, or a class other than the one expected
        badSchema,  // a stored schema that a non-versionable class does not accept
        bufferFull
    };
    // An exception with the cause and (optionally) the file name.
    explicit CArchiveException(int cause = none, const wchar_t* fileName = nullptr);
    // Describes the cause.
    CString ErrorText() const override;

    int m_cause;
    CString m_strFileName;
};

// Throws CArchiveException by value.
[[noreturn]] void AfxThrowArchiveException(int cause, const wchar_t* fileName = nullptr);

class CArchive {
public:
    enum Mode : UINT { store = 0, load = 1, bNoFlushOnDelete = 2, bNoByteSwap = 4 };

    // An archive over an open file, loading or storing, with a buffer of
    // bufferSize bytes (at least 128). The file's position is where the
    // archive starts.
    CArchive(CFile* file, UINT mode, int bufferSize = 4096, void* unusedBuffer = nullptr);
    // Closes (flushing a storing archive) unless Close or Abort ran; errors are swallowed.
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    // True when the archive reads.
    bool IsLoading() const { return (m_nMode & load) != 0; }
    // True when the archive writes.
    bool IsStoring() const { return (m_nMode & load) == 0; }
    // True when a loading archive has no buffered bytes left.
    bool IsBufferEmpty() const { return m_cur == m_max; }
    // The file the archive works on (null after Close).
    CFile* GetFile() const { return m_pFile; }

    // Storing: writes the buffer to the file and flushes it. Loading: drops
    // the buffered bytes and seeks the file back to the archive's logical
    // position, so the file can be read directly from there.
    void Flush();
    // Flushes and detaches from the file (the file stays open).
    void Close();
    // Detaches from the file without flushing.
    void Abort();

    // Reads up to count bytes; returns the number read (fewer at the end of the file).
    UINT Read(void* buffer, UINT count);
    // Reads exactly count bytes or throws CArchiveException::endOfFile.
    void EnsureRead(void* buffer, UINT count);
    // Writes count bytes.
    void Write(const void* buffer, UINT count);

    // Writes a count: a word below 0xFFFF, else 0xFFFF and a dword.
    void WriteCount(DWORD_PTR count);
    // Reads a count written by WriteCount.
    DWORD_PTR ReadCount();

    // Writes an object reference (null, back-reference, or class tag and the
    // object's Serialize). Throws badClass for a class without serial schema.
    void WriteObject(const CObject* object);
    // Reads an object reference; when `requested` is not null the object must
    // be of that class or derived (else badClass). A new object is created by
    // its class and its Serialize runs with GetObjectSchema giving the stored schema.
    CObject* ReadObject(const CRuntimeClass* requested);
    // Reads an object reference for an owner that will delete the object:
    // as ReadObject, but only null or an object created by this very read
    // is accepted. A back-reference (to an object handed out before, or
    // mapped, or still being loaded) throws CArchiveException::badIndex, so
    // that a hostile file cannot make two owners free one object. Every
    // reader that owns what it reads must take it through this call.
    CObject* ReadOwned(const CRuntimeClass* requested);
    // The bytes a loading archive can still read: those buffered plus the
    // rest of the file; the largest value when the file's end is unknown
    // (a pipe). Lets a reader refuse a stored count before allocating.
    ULONGLONG BytesLeft() const;
    // Refuses, before anything is allocated for them, count stored items
    // of at least itemBytes bytes each that the bytes left cannot hold:
    // throws CArchiveException::endOfFile. A count of 0 always passes.
    void EnsureCount(ULONGLONG count, ULONGLONG itemBytes);
    // Writes a class tag (new class or reference).
    void WriteClass(const CRuntimeClass* cls);
    // Reads a class tag; returns the class and the stored schema. Throws
    // badClass, badSchema or badIndex as ReadObject does.
    CRuntimeClass* ReadClass(const CRuntimeClass* requested = nullptr, UINT* schema = nullptr);
    // Writes or reads a class tag depending on the direction.
    void SerializeClass(const CRuntimeClass* cls);
    // Enters an object in the index space without writing or reading it.
    void MapObject(const CObject* object);
    // Schema of the object being loaded (its stored schema); returns it once, then (UINT)-1.
    UINT GetObjectSchema();
    // Sets the value that GetObjectSchema returns next.
    void SetObjectSchema(UINT schema) { m_nObjectSchema = schema; }

    CArchive& operator<<(bool v) { return putByte(v ? 1 : 0); }
    CArchive& operator<<(char v) { return putByte(static_cast<BYTE>(v)); }
    CArchive& operator<<(signed char v) { return putByte(static_cast<BYTE>(v)); }
    CArchive& operator<<(unsigned char v) { return putByte(v); }
    // A wide character as one UTF-16 unit; throws CInvalidArgException above U+FFFF.
    CArchive& operator<<(wchar_t v);
    CArchive& operator<<(short v) { return put(v); }
    CArchive& operator<<(unsigned short v) { return put(v); }
    CArchive& operator<<(int v) { return put(v); }
    CArchive& operator<<(unsigned int v) { return put(v); }
    // `long` is 4 bytes in the files; a value outside 32 bits throws
    // CArchiveException::genericException. (std::int64_t is `long` here:
    // 64-bit values go through `long long`/LONGLONG.)
    CArchive& operator<<(long v);
    // `unsigned long` is 4 bytes in the files; a value above 32 bits throws CArchiveException::genericException.
    CArchive& operator<<(unsigned long v);
    CArchive& operator<<(long long v) { return put(v); }
    CArchive& operator<<(unsigned long long v) { return put(v); }
    CArchive& operator<<(float v) { return put(v); }
    CArchive& operator<<(double v) { return put(v); }
    // Text written as a CString (wide form).
    CArchive& operator<<(const wchar_t* text);
    // Text (UTF-8) written as a CString (wide form).
    CArchive& operator<<(const char* text);
    // An object reference (WriteObject).
    CArchive& operator<<(const CObject* object) { WriteObject(object); return *this; }
    template <class T>
        requires std::derived_from<T, CObject>
    CArchive& operator<<(const T* object) { WriteObject(object); return *this; }
    // Any other pointer would silently become a bool.
    template <class T>
        requires(!std::derived_from<T, CObject>)
    CArchive& operator<<(const T* object) = delete;

    // bool reads one byte: any non-zero byte is true.
    CArchive& operator>>(bool& v);
    CArchive& operator>>(char& v) { return get(v); }
    CArchive& operator>>(signed char& v) { return get(v); }
    CArchive& operator>>(unsigned char& v) { return get(v); }
    CArchive& operator>>(wchar_t& v);
    CArchive& operator>>(short& v) { return get(v); }
    CArchive& operator>>(unsigned short& v) { return get(v); }
    CArchive& operator>>(int& v) { return get(v); }
    CArchive& operator>>(unsigned int& v) { return get(v); }
    // Reads 4 bytes, sign-extended.
    CArchive& operator>>(long& v);
    // Reads 4 bytes.
    CArchive& operator>>(unsigned long& v);
    CArchive& operator>>(long long& v) { return get(v); }
    CArchive& operator>>(unsigned long long& v) { return get(v); }
    CArchive& operator>>(float& v) { return get(v); }
    CArchive& operator>>(double& v) { return get(v); }

    // Mode bits given to the constructor.
    UINT m_nMode;

    // Objects may nest this deep while loading (an object read inside the
    // Serialize of another, and so on); deeper nesting throws
    // CArchiveException::genericException rather than exhausting the stack.
    // Real documents nest a handful of levels. Loading also stops with that
    // exception, at any depth, when less than a quarter of the thread's
    // stack is left, since classes with large frames reach the end of the
    // stack before this depth.
    static constexpr int maxLoadDepth = 10000;

private:
    struct LoadEntry {
        void* ptr;        // CObject* or CRuntimeClass*
        bool isClass;
        UINT schema;      // stored schema of a class entry
    };

    template <class T>
    CArchive& put(T v)
    {
        static_assert(std::is_trivially_copyable_v<T>);
        Write(&v, sizeof v);
        return *this;
    }
    template <class T>
    CArchive& get(T& v)
    {
        static_assert(std::is_trivially_copyable_v<T>);
        EnsureRead(&v, sizeof v);
        return *this;
    }
    CArchive& putByte(BYTE b) { return put(b); }
    void checkOpen() const;
    void checkStoring() const;
    void checkLoading() const;
    void fillBuffer();
    void writeBuffer();
    void mapStored(const void* key);
    DWORD readTag(WORD& wordTag);
    CRuntimeClass* loadNewClass(UINT& schema);
    CRuntimeClass* classFromTag(WORD wordTag, DWORD tag, const CRuntimeClass* requested, UINT& schema);
    CObject* readObject(const CRuntimeClass* requested, bool owned);

    CFile* m_pFile;
    std::vector<BYTE> m_buffer;
    std::size_t m_cur = 0;   // next byte to read or write in m_buffer
    std::size_t m_max = 0;   // loading: end of valid buffered bytes
    UINT m_nObjectSchema = static_cast<UINT>(-1);
    DWORD m_nMapCount = 1;   // next index; 0 is null
    std::unordered_map<const void*, DWORD> m_storeMap;
    std::vector<LoadEntry> m_loadArray;
    int m_loadDepth = 0;     // objects being loaded, one inside the other
};

// Extraction of an object reference of any class.
CArchive& operator>>(CArchive& ar, CObject*& object);
// Extraction of an object reference of any class.
CArchive& operator>>(CArchive& ar, const CObject*& object);
