#include "platform/core/CArchive.h"

#include "platform/core/CFile.h"
#include "platform/core/CString.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <pthread.h>

IMPLEMENT_DYNAMIC(CArchiveException, CException)

namespace {

constexpr WORD wNullTag = 0;
constexpr WORD wNewClassTag = 0xFFFF;
constexpr WORD wClassTag = 0x8000;
constexpr WORD wBigObjectTag = 0x7FFF;
constexpr DWORD dwBigClassTag = 0x80000000u;
constexpr DWORD maxMapCount = 0x3FFFFFFEu;
constexpr std::size_t maxClassNameLength = 64;

// The lowest frame address at which loading may still nest one object
// deeper on the calling thread: a quarter of its stack stays in reserve for
// the Serialize code that runs between two nested reads. Zero when the
// stack's extent is unknown.
std::uintptr_t loadStackFloor()
{
    thread_local const std::uintptr_t floor = [] {
        pthread_attr_t attr;
        if (pthread_getattr_np(pthread_self(), &attr) != 0)
            return std::uintptr_t{0};
        void* low = nullptr;
        std::size_t size = 0;
        const int r = pthread_attr_getstack(&attr, &low, &size);
        pthread_attr_destroy(&attr);
        if (r != 0 || low == nullptr)
            return std::uintptr_t{0};
        return reinterpret_cast<std::uintptr_t>(low) + size / 4;
    }();
    return floor;
}

// True when the calling thread's stack has room for one more nested object.
bool stackRoomToNest()
{
    const auto frame = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
    return frame >= loadStackFloor();
}

} // namespace

CArchiveException::CArchiveException(int cause, const wchar_t* fileName) : m_cause(cause), m_strFileName(fileName) {}

CString CArchiveException::ErrorText() const
{
    static const wchar_t* const texts[] = {
        L"No error occurred",
        L"An unexpected error occurred while reading or writing an archive",
        L"An attempt was made to write to an archive opened for loading",
        L"An unexpected end of file was reached while reading an archive",
        L"An attempt was made to read from an archive opened for storing",
        L"An archive contains an invalid object reference",
        L"An archive contains an object of an unexpected or unknown class",
        L"An archive contains an object with an unsupported schema",
        L"The archive buffer is full",
    };
    const int n = static_cast<int>(std::size(texts));
    CString text = texts[(m_cause >= 0 && m_cause < n) ? m_cause : genericException];
    if (!m_strFileName.IsEmpty())
        text += L": " + m_strFileName;
    return text + L".";
}

void AfxThrowArchiveException(int cause, const wchar_t* fileName)
{
    throw CArchiveException(cause, fileName);
}

CArchive::CArchive(CFile* file, UINT mode, int bufferSize, void*) : m_nMode(mode), m_pFile(file)
{
    if (file == nullptr)
        AfxThrowInvalidArgException();
    m_buffer.resize(static_cast<std::size_t>(std::max(bufferSize, 128)));
    if (IsLoading())
        m_loadArray.push_back(LoadEntry{nullptr, false, 0}); // index 0: null
}

CArchive::~CArchive()
{
    try {
        if (m_pFile != nullptr && !(m_nMode & bNoFlushOnDelete))
            Close();
    } catch (...) {
        // A destructor cannot report a failed flush; Close() reports it when called.
    }
    m_pFile = nullptr;
}

void CArchive::checkOpen() const
{
    if (m_pFile == nullptr)
        AfxThrowArchiveException(CArchiveException::genericException);
}

void CArchive::checkStoring() const
{
    checkOpen();
    if (IsLoading())
        AfxThrowArchiveException(CArchiveException::readOnly, m_pFile->GetFilePath());
}

void CArchive::checkLoading() const
{
    checkOpen();
    if (IsStoring())
        AfxThrowArchiveException(CArchiveException::writeOnly, m_pFile->GetFilePath());
}

void CArchive::writeBuffer()
{
    if (m_cur > 0) {
        const auto n = static_cast<UINT>(m_cur);
        m_cur = 0;
        m_pFile->Write(m_buffer.data(), n);
    }
}

void CArchive::fillBuffer()
{
    m_cur = 0;
    m_max = 0;
    m_max = m_pFile->Read(m_buffer.data(), static_cast<UINT>(m_buffer.size()));
}

void CArchive::Flush()
{
    checkOpen();
    if (IsStoring()) {
        writeBuffer();
        m_pFile->Flush();
        return;
    }
    // Hand the bytes read ahead back to the file.
    if (m_max > m_cur)
        m_pFile->Seek(-static_cast<LONGLONG>(m_max - m_cur), CFile::current);
    m_cur = m_max = 0;
}

void CArchive::Close()
{
    checkOpen();
    Flush();
    m_pFile = nullptr;
}

void CArchive::Abort()
{
    m_pFile = nullptr;
    m_cur = m_max = 0;
}

UINT CArchive::Read(void* buffer, UINT count)
{
    checkLoading();
    auto* out = static_cast<BYTE*>(buffer);
    UINT done = 0;
    while (done < count) {
        if (m_cur == m_max) {
            const UINT rest = count - done;
            if (rest >= m_buffer.size()) { // large reads bypass the buffer
                const UINT n = m_pFile->Read(out + done, rest);
                done += n;
                break;
            }
            fillBuffer();
            if (m_max == 0)
                break;
        }
        const auto n = static_cast<UINT>(std::min<std::size_t>(m_max - m_cur, count - done));
        std::memcpy(out + done, m_buffer.data() + m_cur, n);
        m_cur += n;
        done += n;
    }
    return done;
}

void CArchive::EnsureRead(void* buffer, UINT count)
{
    if (Read(buffer, count) != count)
        AfxThrowArchiveException(CArchiveException::endOfFile, m_pFile->GetFilePath());
}

void CArchive::Write(const void* buffer, UINT count)
{
    checkStoring();
    const auto* in = static_cast<const BYTE*>(buffer);
    if (count >= m_buffer.size()) { // large writes bypass the buffer
        writeBuffer();
        m_pFile->Write(in, count);
        return;
    }
    while (count > 0) {
        const auto n = static_cast<UINT>(std::min<std::size_t>(m_buffer.size() - m_cur, count));
        std::memcpy(m_buffer.data() + m_cur, in, n);
        m_cur += n;
        in += n;
        count -= n;
        if (m_cur == m_buffer.size())
            writeBuffer();
    }
}

CArchive& CArchive::operator<<(wchar_t v)
{
    if (static_cast<std::uint32_t>(v) > 0xFFFF)
        AfxThrowInvalidArgException();
    return put(static_cast<WORD>(v));
}

CArchive& CArchive::operator<<(long v)
{
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
        AfxThrowArchiveException(CArchiveException::genericException);
    return put(static_cast<std::int32_t>(v));
}

CArchive& CArchive::operator<<(unsigned long v)
{
    if (v > std::numeric_limits<std::uint32_t>::max())
        AfxThrowArchiveException(CArchiveException::genericException);
    return put(static_cast<std::uint32_t>(v));
}

CArchive& CArchive::operator<<(const wchar_t* text)
{
    return *this << CString(text);
}

CArchive& CArchive::operator<<(const char* text)
{
    return *this << CString(text);
}

CArchive& CArchive::operator>>(bool& v)
{
    BYTE b = 0;
    get(b);
    v = b != 0;
    return *this;
}

CArchive& CArchive::operator>>(wchar_t& v)
{
    WORD w = 0;
    get(w);
    v = static_cast<wchar_t>(w);
    return *this;
}

CArchive& CArchive::operator>>(long& v)
{
    std::int32_t x = 0;
    get(x);
    v = x;
    return *this;
}

CArchive& CArchive::operator>>(unsigned long& v)
{
    std::uint32_t x = 0;
    get(x);
    v = x;
    return *this;
}

void CArchive::WriteCount(DWORD_PTR count)
{
    if (count < 0xFFFF) {
        *this << static_cast<WORD>(count);
        return;
    }
    if (count >= 0xFFFFFFFFu)
        AfxThrowArchiveException(CArchiveException::genericException);
    *this << static_cast<WORD>(0xFFFF) << static_cast<DWORD>(count);
}

DWORD_PTR CArchive::ReadCount()
{
    WORD w = 0;
    *this >> w;
    if (w != 0xFFFF)
        return w;
    DWORD d = 0;
    *this >> d;
    if (d != 0xFFFFFFFFu)
        return d;
    ULONGLONG q = 0; // the 64-bit form of the count
    *this >> q;
    return static_cast<DWORD_PTR>(q);
}

// ---- object references ------------------------------------------------------

void CArchive::mapStored(const void* key)
{
    if (m_nMapCount >= maxMapCount)
        AfxThrowArchiveException(CArchiveException::badIndex, m_pFile->GetFilePath());
    m_storeMap.emplace(key, m_nMapCount++);
}

void CArchive::WriteClass(const CRuntimeClass* cls)
{
    checkStoring();
    if (cls == nullptr || !cls->IsSerializable())
        AfxThrowArchiveException(CArchiveException::badClass, m_pFile->GetFilePath());
    const auto it = m_storeMap.find(cls);
    if (it != m_storeMap.end()) {
        const DWORD index = it->second;
        if (index < wBigObjectTag)
            *this << static_cast<WORD>(wClassTag | index);
        else
            *this << wBigObjectTag << static_cast<DWORD>(dwBigClassTag | index);
        return;
    }
    const std::size_t length = std::strlen(cls->m_lpszClassName);
    if (length >= maxClassNameLength)
        AfxThrowArchiveException(CArchiveException::badClass, m_pFile->GetFilePath());
    *this << wNewClassTag << static_cast<WORD>(cls->m_wSchema) << static_cast<WORD>(length);
    Write(cls->m_lpszClassName, static_cast<UINT>(length));
    mapStored(cls);
}

void CArchive::WriteObject(const CObject* object)
{
    checkStoring();
    if (object == nullptr) {
        *this << wNullTag;
        return;
    }
    const auto it = m_storeMap.find(object);
    if (it != m_storeMap.end()) {
        const DWORD index = it->second;
        if (index < wBigObjectTag)
            *this << static_cast<WORD>(index);
        else
            *this << wBigObjectTag << index;
        return;
    }
    WriteClass(object->GetRuntimeClass());
    mapStored(object);
    const_cast<CObject*>(object)->Serialize(*this);
}

DWORD CArchive::readTag(WORD& wordTag)
{
    *this >> wordTag;
    if (wordTag == wBigObjectTag) {
        DWORD big = 0;
        *this >> big;
        return big;
    }
    return (static_cast<DWORD>(wordTag & wClassTag) << 16) | (wordTag & ~wClassTag & 0xFFFFu);
}

CRuntimeClass* CArchive::loadNewClass(UINT& schema)
{
    WORD storedSchema = 0;
    WORD length = 0;
    *this >> storedSchema >> length;
    if (length >= maxClassNameLength)
        AfxThrowArchiveException(CArchiveException::badClass, m_pFile->GetFilePath());
    char name[maxClassNameLength] = {};
    EnsureRead(name, length);
    CRuntimeClass* cls = CRuntimeClass::FromName(name);
    if (cls == nullptr || !cls->IsSerializable())
        AfxThrowArchiveException(CArchiveException::badClass, m_pFile->GetFilePath());
    if (cls->Schema() != storedSchema && !cls->IsVersionable())
        AfxThrowArchiveException(CArchiveException::badSchema, m_pFile->GetFilePath());
    if (m_loadArray.size() >= maxMapCount)
        AfxThrowArchiveException(CArchiveException::badIndex, m_pFile->GetFilePath());
    m_loadArray.push_back(LoadEntry{cls, true, storedSchema});
    schema = storedSchema;
    return cls;
}


CRuntimeClass* CArchive::classFromTag(WORD wordTag, DWORD tag, const CRuntimeClass* requested, UINT& schema)
{
    CRuntimeClass* cls = nullptr;
    if (wordTag == wNewClassTag) {
        cls = loadNewClass(schema);
    } else {
        const DWORD index = tag & ~dwBigClassTag;
        if (index == 0 || index >= m_loadArray.size() || !m_loadArray[index].isClass)
            AfxThrowArchiveException(CArchiveException::badIndex, m_pFile->GetFilePath());
        cls = static_cast<CRuntimeClass*>(m_loadArray[index].ptr);
        schema = m_loadArray[index].schema;
    }
    if (requested != nullptr && !cls->IsDerivedFrom(requested))
        AfxThrowArchiveException(CArchiveException::badClass, m_pFile->GetFilePath());
    return cls;
}

CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* requested, UINT* schema)
{
    checkLoading();
    WORD wordTag = 0;
    const DWORD tag = readTag(wordTag);
    if (!(tag & dwBigClassTag))
        AfxThrowArchiveException(CArchiveException::badIndex, m_pFile->GetFilePath());
    UINT storedSchema = 0;
    CRuntimeClass* cls = classFromTag(wordTag, tag, requested, storedSchema);
    if (schema != nullptr)
        *schema = storedSchema;
    return cls;
}

CObject* CArchive::ReadObject(const CRuntimeClass* requested)
{
    return readObject(requested, false);
}

CObject* CArchive::ReadOwned(const CRuntimeClass* requested)
{
    return readObject(requested, true);
}

CObject* CArchive::readObject(const CRuntimeClass* requested, bool owned)
{
    checkLoading();
    WORD wordTag = 0;
    const DWORD tag = readTag(wordTag);
    if (!(tag & dwBigClassTag)) {
        // Null or a reference to an object read before.
        if (tag >= m_loadArray.size() || m_loadArray[tag].isClass)
            AfxThrowArchiveException(CArchiveException::badIndex, m_pFile->GetFilePath());
        auto* object = static_cast<CObject*>(m_loadArray[tag].ptr);
        // An owner may only take an object that nobody else holds yet.
        if (object != nullptr && owned)
            AfxThrowArchiveException(CArchiveException::badIndex, m_pFile->GetFilePath());
        if (object != nullptr && requested != nullptr && !object->IsKindOf(requested))
            AfxThrowArchiveException(CArchiveException::badClass, m_pFile->GetFilePath());
        return object;
    }
    UINT schema = 0;
    CRuntimeClass* cls = classFromTag(wordTag, tag, requested, schema);
    if (m_loadDepth >= maxLoadDepth || !stackRoomToNest())
        AfxThrowArchiveException(CArchiveException::genericException, m_pFile->GetFilePath());
    if (m_loadArray.size() >= maxMapCount)
        AfxThrowArchiveException(CArchiveException::badIndex, m_pFile->GetFilePath());
    CObject* object = cls->CreateObject();
    if (object == nullptr)
        AfxThrowArchiveException(CArchiveException::badClass, m_pFile->GetFilePath());
    const std::size_t slot = m_loadArray.size();
    m_loadArray.push_back(LoadEntry{object, false, 0});
    const UINT savedSchema = m_nObjectSchema;
    m_nObjectSchema = schema;
    ++m_loadDepth;
    try {
        object->Serialize(*this);
    } catch (...) {
        // The half-read object is nobody's yet: release it and forget it.
        --m_loadDepth;
        m_nObjectSchema = savedSchema;
        m_loadArray[slot].ptr = nullptr;
        delete object;
        throw;
    }
    --m_loadDepth;
    m_nObjectSchema = savedSchema;
    return object;
}

void CArchive::SerializeClass(const CRuntimeClass* cls)
{
    if (IsStoring())
        WriteClass(cls);
    else
        ReadClass(cls);
}

void CArchive::MapObject(const CObject* object)
{
    checkOpen();
    if (IsStoring()) {
        if (object != nullptr && m_storeMap.find(object) == m_storeMap.end())
            mapStored(object);
        return;
    }
    if (m_loadArray.size() >= maxMapCount)
        AfxThrowArchiveException(CArchiveException::badIndex, m_pFile->GetFilePath());
    m_loadArray.push_back(LoadEntry{const_cast<CObject*>(object), false, 0});
}

ULONGLONG CArchive::BytesLeft() const
{
    checkLoading();
    const ULONGLONG buffered = m_max - m_cur;
    try {
        const ULONGLONG length = m_pFile->GetLength();
        const ULONGLONG position = m_pFile->GetPosition();
        return buffered + (length > position ? length - position : 0);
    } catch (const CFileException&) {
        // Not seekable: the end cannot be known in advance.
        return std::numeric_limits<ULONGLONG>::max();
    }
}

void CArchive::EnsureCount(ULONGLONG count, ULONGLONG itemBytes)
{
    if (count == 0)
        return;
    if (itemBytes == 0)
        itemBytes = 1;
    if (count > BytesLeft() / itemBytes)
        AfxThrowArchiveException(CArchiveException::endOfFile, m_pFile->GetFilePath());
}

UINT CArchive::GetObjectSchema()
{
    const UINT schema = m_nObjectSchema;
    m_nObjectSchema = static_cast<UINT>(-1);
    return schema;
}

CArchive& operator>>(CArchive& ar, CObject*& object)
{
    object = ar.ReadObject(nullptr);
    return ar;
}

CArchive& operator>>(CArchive& ar, const CObject*& object)
{
    object = ar.ReadObject(nullptr);
    return ar;
}
