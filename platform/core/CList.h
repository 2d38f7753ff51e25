// Doubly linked lists with POSITION iteration: CList<TYPE, ARG_TYPE>,
// CObList (CObject pointers, stored as object references), CPtrList and
// CTypedPtrList. Operations on an empty list or a null POSITION throw
// CInvalidArgException.
#pragma once

#include "platform/core/CArchive.h"
#include "platform/core/CArray.h"
#include "platform/core/CObject.h"
#include "platform/core/Types.h"

#include <type_traits>

// Opaque iteration handle of a list: null past either end.
struct LorimantListPosition;
using POSITION = LorimantListPosition*;

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList : public CObject {
    struct Node {
        Node* next;
        Node* prev;
        TYPE data;
    };

public:
    // An empty list (the block size is accepted for compatibility).
    explicit CList(INT_PTR blockSize = 10) { (void)blockSize; }
    CList(const CList& other) : CObject() { AddTail(&other); }
    CList& operator=(const CList& other)
    {
        if (this != &other) {
            RemoveAll();
            AddTail(&other);
        }
        return *this;
    }
    ~CList() override { RemoveAll(); }

    // Number of elements.
    INT_PTR GetCount() const { return m_nCount; }
    // Number of elements.
    INT_PTR GetSize() const { return m_nCount; }
    // True when the list is empty.
    bool IsEmpty() const { return m_nCount == 0; }

    // First element; CInvalidArgException when empty.
    TYPE& GetHead() { return nonEmpty(m_pHead)->data; }
    const TYPE& GetHead() const { return nonEmpty(m_pHead)->data; }
    // Last element; CInvalidArgException when empty.
    TYPE& GetTail() { return nonEmpty(m_pTail)->data; }
    const TYPE& GetTail() const { return nonEmpty(m_pTail)->data; }
    // Removes and returns the first element; CInvalidArgException when empty.
    TYPE RemoveHead();
    // Removes and returns the last element; CInvalidArgException when empty.
    TYPE RemoveTail();
    // Inserts at the front; returns its position.
    POSITION AddHead(ARG_TYPE v) { return insertBefore(m_pHead, v); }
    // Appends at the end; returns its position.
    POSITION AddTail(ARG_TYPE v) { return insertAfter(m_pTail, v); }
    // Inserts copies of another list's elements in front, keeping their order.
    void AddHead(const CList* other);
    // Appends copies of another list's elements.
    void AddTail(const CList* other);
    // Removes every element.
    void RemoveAll();

    // Position of the first element (null when empty).
    POSITION GetHeadPosition() const { return toPos(m_pHead); }
    // Position of the last element (null when empty).
    POSITION GetTailPosition() const { return toPos(m_pTail); }
    // Element at pos, then pos moves to the next (null after the last).
    TYPE& GetNext(POSITION& pos) { Node* n = node(pos); pos = toPos(n->next); return n->data; }
    const TYPE& GetNext(POSITION& pos) const { Node* n = node(pos); pos = toPos(n->next); return n->data; }
    // Element at pos, then pos moves to the previous (null before the first).
    TYPE& GetPrev(POSITION& pos) { Node* n = node(pos); pos = toPos(n->prev); return n->data; }
    const TYPE& GetPrev(POSITION& pos) const { Node* n = node(pos); pos = toPos(n->prev); return n->data; }
    // Element at pos.
    TYPE& GetAt(POSITION pos) { return node(pos)->data; }
    const TYPE& GetAt(POSITION pos) const { return node(pos)->data; }
    // Replaces the element at pos.
    void SetAt(POSITION pos, ARG_TYPE v) { node(pos)->data = v; }
    // Removes the element at pos (pos becomes invalid).
    void RemoveAt(POSITION pos);
    // Inserts before pos (at the front for null); returns the new position.
    POSITION InsertBefore(POSITION pos, ARG_TYPE v) { return insertBefore(pos ? node(pos) : m_pHead, v); }
    // Inserts after pos (at the end for null); returns the new position.
    POSITION InsertAfter(POSITION pos, ARG_TYPE v) { return insertAfter(pos ? node(pos) : m_pTail, v); }
    // Position of the first element equal to v after `startAfter` (from the head when null), or null.
    POSITION Find(ARG_TYPE v, POSITION startAfter = nullptr) const;
    // Position of the element with that index, or null when out of range.
    POSITION FindIndex(INT_PTR index) const;

    // Count (WriteCount) then each element through SerializeElements.
    void Serialize(CArchive& ar) override;

private:
    static POSITION toPos(Node* n) { return reinterpret_cast<POSITION>(n); }
    static Node* node(POSITION pos)
    {
        if (pos == nullptr)
            AfxThrowInvalidArgException();
        return reinterpret_cast<Node*>(pos);
    }
    static Node* nonEmpty(Node* n)
    {
        if (n == nullptr)
            AfxThrowInvalidArgException();
        return n;
    }
    POSITION insertBefore(Node* at, ARG_TYPE v);
    POSITION insertAfter(Node* at, ARG_TYPE v);
    void unlink(Node* n);

    Node* m_pHead = nullptr;
    Node* m_pTail = nullptr;
    INT_PTR m_nCount = 0;
};

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::insertBefore(Node* at, ARG_TYPE v)
{
    Node* n = new Node{at, at ? at->prev : nullptr, TYPE(v)};
    if (at == nullptr) { // empty list
        m_pHead = m_pTail = n;
    } else {
        if (at->prev)
            at->prev->next = n;
        else
            m_pHead = n;
        at->prev = n;
    }
    ++m_nCount;
    return toPos(n);
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::insertAfter(Node* at, ARG_TYPE v)
{
    Node* n = new Node{at ? at->next : nullptr, at, TYPE(v)};
    if (at == nullptr) { // empty list
        m_pHead = m_pTail = n;
    } else {
        if (at->next)
            at->next->prev = n;
        else
            m_pTail = n;
        at->next = n;
    }
    ++m_nCount;
    return toPos(n);
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::unlink(Node* n)
{
    (n->prev ? n->prev->next : m_pHead) = n->next;
    (n->next ? n->next->prev : m_pTail) = n->prev;
    --m_nCount;
    delete n;
}

template <class TYPE, class ARG_TYPE>
TYPE CList<TYPE, ARG_TYPE>::RemoveHead()
{
    Node* n = nonEmpty(m_pHead);
    TYPE v = std::move(n->data);
    unlink(n);
    return v;
}

template <class TYPE, class ARG_TYPE>
TYPE CList<TYPE, ARG_TYPE>::RemoveTail()
{
    Node* n = nonEmpty(m_pTail);
    TYPE v = std::move(n->data);
    unlink(n);
    return v;
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::AddHead(const CList* other)
{
    if (other == nullptr)
        AfxThrowInvalidArgException();
    const CList copy(*other); // other may be this list
    for (Node* n = copy.m_pTail; n; n = n->prev)
        AddHead(n->data);
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::AddTail(const CList* other)
{
    if (other == nullptr)
        AfxThrowInvalidArgException();
    const INT_PTR count = other->m_nCount; // other may be this list
    Node* n = other->m_pHead;
    for (INT_PTR i = 0; i < count; ++i, n = n->next)
        AddTail(n->data);
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::RemoveAll()
{
    for (Node* n = m_pHead; n;) {
        Node* next = n->next;
        delete n;
        n = next;
    }
    m_pHead = m_pTail = nullptr;
    m_nCount = 0;
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::RemoveAt(POSITION pos)
{
    unlink(node(pos));
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::Find(ARG_TYPE v, POSITION startAfter) const
{
    Node* n = startAfter ? node(startAfter)->next : m_pHead;
    for (; n; n = n->next)
        if (n->data == v)
            return toPos(n);
    return nullptr;
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::FindIndex(INT_PTR index) const
{
    if (index < 0 || index >= m_nCount)
        return nullptr;
    Node* n = m_pHead;
    while (index-- > 0)
        n = n->next;
    return toPos(n);
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::Serialize(CArchive& ar)
{
    CObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<DWORD_PTR>(m_nCount));
        for (Node* n = m_pHead; n; n = n->next)
            SerializeElements(ar, &n->data, 1);
        return;
    }
    const auto count = static_cast<INT_PTR>(ar.ReadCount());
    ar.EnsureCount(static_cast<ULONGLONG>(count), archiveItemBytes<TYPE>());
    if constexpr (std::is_default_constructible_v<TYPE>) {
        for (INT_PTR i = 0; i < count; ++i) {
            TYPE v{};
            SerializeElements(ar, &v, 1);
            AddTail(v);
        }
    } else if (count > 0) {
        afxThrowNoElementForm();
    }
}

// A list of CObject pointers (not owned). Serialize writes the count and
// each element as an object reference (WriteObject / ReadObject).
class CObList : public CList<CObject*, CObject*> {
    DECLARE_SERIAL(CObList)
public:
    explicit CObList(INT_PTR blockSize = 10) : CList(blockSize) {}
    void Serialize(CArchive& ar) override;
};

// A list of untyped pointers (not owned).
class CPtrList : public CList<void*, void*> {
public:
    explicit CPtrList(INT_PTR blockSize = 10) : CList(blockSize) {}
};

// A pointer list seen through a pointer type TYPE (e.g. CTypedPtrList<CPtrList, CDocument*>).
template <class BASE_CLASS, class TYPE>
class CTypedPtrList : public BASE_CLASS {
public:
    explicit CTypedPtrList(INT_PTR blockSize = 10) : BASE_CLASS(blockSize) {}
    TYPE GetHead() const { return static_cast<TYPE>(BASE_CLASS::GetHead()); }
    TYPE GetTail() const { return static_cast<TYPE>(BASE_CLASS::GetTail()); }
    TYPE RemoveHead() { return static_cast<TYPE>(BASE_CLASS::RemoveHead()); }
    TYPE RemoveTail() { return static_cast<TYPE>(BASE_CLASS::RemoveTail()); }
    TYPE GetNext(POSITION& pos) const { return static_cast<TYPE>(BASE_CLASS::GetNext(pos)); }
    TYPE GetPrev(POSITION& pos) const { return static_cast<TYPE>(BASE_CLASS::GetPrev(pos)); }
    TYPE GetAt(POSITION pos) const { return static_cast<TYPE>(BASE_CLASS::GetAt(pos)); }
    POSITION AddHead(TYPE v) { return BASE_CLASS::AddHead(v); }
    POSITION AddTail(TYPE v) { return BASE_CLASS::AddTail(v); }
};
