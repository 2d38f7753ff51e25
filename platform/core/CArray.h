// CArray<TYPE, ARG_TYPE>: a growable array whose every indexed access is
// checked (CInvalidArgException on a bad index), and CStringArray.
// Serialize writes the element count (WriteCount) followed by the elements
// through SerializeElements, which by default writes their raw bytes.
#pragma once

#include "platform/core/CArchive.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

// Throws CArchiveException::genericException: the element type has no
// archive form (a pointer to a non-CObject, or a type with hidden state).
[[noreturn]] void afxThrowNoElementForm();

// Stores or loads `count` elements. Trivially copyable types are written as
// their raw bytes; pointers to CObject
// classes as object references. Other types provide their own
// `void SerializeElements(CArchive&, T*, INT_PTR)` beside the type (found by
// argument-dependent lookup); without one, serialising them throws.
template <class TYPE>
void SerializeElements(CArchive& ar, TYPE* elements, INT_PTR count)
{
    if (count <= 0)
        return;
    if constexpr (std::is_pointer_v<TYPE>) {
        using Pointee = std::remove_cv_t<std::remove_pointer_t<TYPE>>;
        if constexpr (std::is_base_of_v<CObject, Pointee>) {
            for (INT_PTR i = 0; i < count; ++i) {
                if (ar.IsStoring()) {
                    ar.WriteObject(elements[i]);
                } else {
                    CObject* o = ar.ReadObject(nullptr);
                    auto* typed = dynamic_cast<Pointee*>(o);
                    if (o != nullptr && typed == nullptr)
                        AfxThrowArchiveException(CArchiveException::badClass);
                    elements[i] = typed;
                }
            }
        } else {
            afxThrowNoElementForm();
        }
    } else if constexpr (std::is_trivially_copyable_v<TYPE>) {
        const std::size_t bytes = static_cast<std::size_t>(count) * sizeof(TYPE);
        auto* p = reinterpret_cast<BYTE*>(elements);
        for (std::size_t done = 0; done < bytes;) {
            const UINT chunk = static_cast<UINT>(std::min<std::size_t>(bytes - done, 0x40000000u));
            if (ar.IsStoring())
                ar.Write(p + done, chunk);
            else
                ar.EnsureRead(p + done, chunk);
            done += chunk;
        }
    } else {
        afxThrowNoElementForm();
    }
}

// Each string in its archive form.
void SerializeElements(CArchive& ar, CString* elements, INT_PTR count);

// The fewest bytes one stored element of TYPE takes: an object reference
// at least a word, a number its own size, anything else at least a byte.
// A stored count is checked against it before the elements are made.
template <class TYPE>
constexpr ULONGLONG archiveItemBytes()
{
    if constexpr (std::is_pointer_v<TYPE>)
        return sizeof(WORD);
    else if constexpr (std::is_arithmetic_v<TYPE>)
        return sizeof(TYPE);
    else
        return 1;
}

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
public:
    CArray() = default;
    CArray(const CArray& other) : CObject() { Copy(other); }
    CArray& operator=(const CArray& other)
    {
        if (this != &other)
            Copy(other);
        return *this;
    }
    ~CArray() override { destroyAll(); }

    // Number of elements.
    INT_PTR GetSize() const { return m_nSize; }
    // Number of elements.
    INT_PTR GetCount() const { return m_nSize; }
    // True when there are no elements.
    bool IsEmpty() const { return m_nSize == 0; }
    // Largest valid index (-1 when empty).
    INT_PTR GetUpperBound() const { return m_nSize - 1; }

    // Sets the number of elements: new ones are value-initialised (zero for
    // plain types), surplus ones destroyed. growBy >= 0 sets the growth step
    // (0 or -1 keep an automatic step). Throws CInvalidArgException for a negative size.
    void SetSize(INT_PTR newSize, INT_PTR growBy = -1);
    // Releases the spare capacity.
    void FreeExtra();
    // Removes every element and releases the storage.
    void RemoveAll() { destroyAll(); }

    // Element i (copy); CInvalidArgException outside 0..GetSize()-1.
    const TYPE& GetAt(INT_PTR i) const { check(i); return m_pData[i]; }
    // Replaces element i; CInvalidArgException outside the array.
    void SetAt(INT_PTR i, ARG_TYPE v) { check(i); m_pData[i] = v; }
    // Reference to element i; CInvalidArgException outside the array.
    TYPE& ElementAt(INT_PTR i) { check(i); return m_pData[i]; }
    // Reference to element i; CInvalidArgException outside the array.
    const TYPE& ElementAt(INT_PTR i) const { check(i); return m_pData[i]; }
    TYPE& operator[](INT_PTR i) { return ElementAt(i); }
    const TYPE& operator[](INT_PTR i) const { return GetAt(i); }
    // The contiguous elements (null when never allocated).
    TYPE* GetData() { return m_pData; }
    const TYPE* GetData() const { return m_pData; }

    // Sets element i, growing the array when i is past the end; CInvalidArgException for i < 0.
    void SetAtGrow(INT_PTR i, ARG_TYPE v);
    // Appends v; returns its index.
    INT_PTR Add(ARG_TYPE v);
    // Appends copies of the other array's elements; returns the index of the first.
    INT_PTR Append(const CArray& other);
    // Makes this array a copy of the other.
    void Copy(const CArray& other);
    // Inserts `count` copies of v before index i (i may equal or exceed the
    // size: the array grows). CInvalidArgException for i < 0 or count < 0.
    void InsertAt(INT_PTR i, ARG_TYPE v, INT_PTR count = 1);
    // Inserts the elements of another array before index i.
    void InsertAt(INT_PTR start, const CArray* other);
    // Removes `count` elements from index i; CInvalidArgException when they are not all inside.
    void RemoveAt(INT_PTR i, INT_PTR count = 1);

    // Count (WriteCount) then the elements (SerializeElements).
    void Serialize(CArchive& ar) override;

    // Iteration support for range-for.
    TYPE* begin() { return m_pData; }
    TYPE* end() { return m_pData + m_nSize; }
    const TYPE* begin() const { return m_pData; }
    const TYPE* end() const { return m_pData + m_nSize; }

private:
    void check(INT_PTR i) const
    {
        if (i < 0 || i >= m_nSize)
            AfxThrowInvalidArgException();
    }
    void destroyAll()
    {
        std::destroy_n(m_pData, m_nSize);
        ::operator delete(static_cast<void*>(m_pData));
        m_pData = nullptr;
        m_nSize = m_nMaxSize = 0;
    }
    void reallocate(INT_PTR capacity)
    {
        TYPE* fresh = static_cast<TYPE*>(::operator new(static_cast<std::size_t>(capacity) * sizeof(TYPE)));
        std::uninitialized_move_n(m_pData, m_nSize, fresh);
        std::destroy_n(m_pData, m_nSize);
        ::operator delete(static_cast<void*>(m_pData));
        m_pData = fresh;
        m_nMaxSize = capacity;
    }
    void grow(INT_PTR needed)
    {
        if (needed <= m_nMaxSize)
            return;
        INT_PTR step = m_nGrowBy;
        if (step <= 0)
            step = std::clamp<INT_PTR>(m_nSize / 8, 4, 1024);
        reallocate(std::max(needed, m_nMaxSize + step));
    }

    TYPE* m_pData = nullptr;
    INT_PTR m_nSize = 0;
    INT_PTR m_nMaxSize = 0;
    INT_PTR m_nGrowBy = 0;
};

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::SetSize(INT_PTR newSize, INT_PTR growBy)
{
    if (newSize < 0)
        AfxThrowInvalidArgException();
    if (growBy >= 0)
        m_nGrowBy = growBy;
    if (newSize == 0) {
        destroyAll();
        return;
    }
    if (newSize > m_nSize) {
        if (newSize > m_nMaxSize)
            grow(newSize);
        std::uninitialized_value_construct_n(m_pData + m_nSize, newSize - m_nSize);
    } else {
        std::destroy_n(m_pData + newSize, m_nSize - newSize);
    }
    m_nSize = newSize;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::FreeExtra()
{
    if (m_nSize == m_nMaxSize)
        return;
    if (m_nSize == 0) {
        destroyAll();
        return;
    }
    reallocate(m_nSize);
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::SetAtGrow(INT_PTR i, ARG_TYPE v)
{
    if (i < 0)
        AfxThrowInvalidArgException();
    if (i >= m_nSize) {
        TYPE copy(v); // v may refer into this array
        SetSize(i + 1);
        m_pData[i] = std::move(copy);
        return;
    }
    m_pData[i] = v;
}

template <class TYPE, class ARG_TYPE>
INT_PTR CArray<TYPE, ARG_TYPE>::Add(ARG_TYPE v)
{
    const INT_PTR i = m_nSize;
    SetAtGrow(i, v);
    return i;
}

template <class TYPE, class ARG_TYPE>
INT_PTR CArray<TYPE, ARG_TYPE>::Append(const CArray& other)
{
    const INT_PTR first = m_nSize;
    if (this == &other) {
        CArray copy(other);
        return Append(copy);
    }
    grow(m_nSize + other.m_nSize);
    std::uninitialized_copy_n(other.m_pData, other.m_nSize, m_pData + m_nSize);
    m_nSize += other.m_nSize;
    return first;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::Copy(const CArray& other)
{
    if (this == &other)
        return;
    SetSize(other.m_nSize);
    std::copy_n(other.m_pData, other.m_nSize, m_pData);
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::InsertAt(INT_PTR i, ARG_TYPE v, INT_PTR count)
{
    if (i < 0 || count < 0)
        AfxThrowInvalidArgException();
    if (count == 0)
        return;
    TYPE copy(v); // v may refer into this array
    if (i >= m_nSize) {
        SetSize(i + count);
    } else {
        const INT_PTR oldSize = m_nSize;
        SetSize(m_nSize + count);
        std::move_backward(m_pData + i, m_pData + oldSize, m_pData + oldSize + count);
    }
    std::fill_n(m_pData + i, count, copy);
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::InsertAt(INT_PTR start, const CArray* other)
{
    if (other == nullptr || start < 0)
        AfxThrowInvalidArgException();
    if (other->m_nSize == 0)
        return;
    const CArray copy(*other);
    InsertAt(start, copy.m_pData[0], copy.m_nSize);
    std::copy_n(copy.m_pData, copy.m_nSize, m_pData + start);
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::RemoveAt(INT_PTR i, INT_PTR count)
{
    if (i < 0 || count < 0 || i + count > m_nSize)
        AfxThrowInvalidArgException();
    if (count == 0)
        return;
    std::move(m_pData + i + count, m_pData + m_nSize, m_pData + i);
    std::destroy_n(m_pData + m_nSize - count, count);
    m_nSize -= count;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::Serialize(CArchive& ar)
{
    CObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<DWORD_PTR>(m_nSize));
        SerializeElements(ar, m_pData, m_nSize);
        return;
    }
    // Load in slices so that a corrupt count fails at the end of the data
    // instead of allocating for elements that are not there.
    const auto count = static_cast<INT_PTR>(ar.ReadCount());
    ar.EnsureCount(static_cast<ULONGLONG>(count), archiveItemBytes<TYPE>());
    RemoveAll();
    if constexpr (std::is_default_constructible_v<TYPE>) {
        constexpr INT_PTR slice = 1 << 16;
        for (INT_PTR done = 0; done < count;) {
            const INT_PTR n = std::min(slice, count - done);
            SetSize(done + n);
            SerializeElements(ar, m_pData + done, n);
            done += n;
        }
    } else if (count > 0) {
        afxThrowNoElementForm();
    }
}

// An array of strings.
class CStringArray : public CArray<CString, const CString&> {
public:
    using CArray::CArray;
};
