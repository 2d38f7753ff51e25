#include "platform/core/CArray.h"
#include "platform/core/CList.h"

IMPLEMENT_SERIAL(CObList, CObject, 0)

void afxThrowNoElementForm()
{
    AfxThrowArchiveException(CArchiveException::genericException);
}

void SerializeElements(CArchive& ar, CString* elements, INT_PTR count)
{
    for (INT_PTR i = 0; i < count; ++i) {
        if (ar.IsStoring())
            ar << elements[i];
        else
            ar >> elements[i];
    }
}

void CObList::Serialize(CArchive& ar)
{
    CObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<DWORD_PTR>(GetCount()));
        for (POSITION pos = GetHeadPosition(); pos != nullptr;)
            ar.WriteObject(GetNext(pos));
        return;
    }
    const auto count = static_cast<INT_PTR>(ar.ReadCount());
    ar.EnsureCount(static_cast<ULONGLONG>(count), sizeof(WORD));
    for (INT_PTR i = 0; i < count; ++i)
        AddTail(ar.ReadObject(nullptr));
}
