#include "platform/core/CObject.h"

#include "platform/core/CArchive.h"
#include "platform/core/CString.h"

#include <cstring>
#include <iostream>
#include <map>
#include <string>

namespace {

// The registry of classes by name. A function-local static, so that
// registrations from static initialisers of any library find it ready.
std::map<std::string, CRuntimeClass*>& classRegistry()
{
    static std::map<std::string, CRuntimeClass*> registry;
    return registry;
}

} // namespace

constinit CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), NON_SERIAL_SCHEMA,
                                                 nullptr, nullptr};
static const AfxClassInit lorimantClassInit_CObject(&CObject::classCObject);

CObject* CRuntimeClass::CreateObject() const
{
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const
{
    for (const CRuntimeClass* c = this; c != nullptr; c = c->m_pBaseClass)
        if (c == base)
            return true;
    return false;
}

CRuntimeClass* CRuntimeClass::FromName(const char* name)
{
    if (name == nullptr)
        return nullptr;
    const auto& registry = classRegistry();
    const auto it = registry.find(name);
    return it == registry.end() ? nullptr : it->second;
}

CRuntimeClass* CRuntimeClass::FromName(const wchar_t* name)
{
    return name == nullptr ? nullptr : FromName(wideToUtf8(name).c_str());
}

void CRuntimeClass::Register(CRuntimeClass* cls)
{
    if (cls != nullptr && cls->m_lpszClassName != nullptr)
        classRegistry()[cls->m_lpszClassName] = cls;
}

CDumpContext::CDumpContext(std::ostream* out) : m_out(out ? out : &std::clog) {}

CDumpContext& CDumpContext::operator<<(const char* text)
{
    *m_out << (text ? text : "(null)");
    return *this;
}

CDumpContext& CDumpContext::operator<<(const wchar_t* text)
{
    *m_out << (text ? wideToUtf8(text) : std::string("(null)"));
    return *this;
}

CDumpContext& CDumpContext::operator<<(long long value)
{
    *m_out << value;
    return *this;
}

CDumpContext& CDumpContext::operator<<(double value)
{
    *m_out << value;
    return *this;
}

CRuntimeClass* CObject::GetRuntimeClass() const
{
    return &classCObject;
}

void CObject::Serialize(CArchive&) {}

void CObject::AssertValid() const {}

void CObject::Dump(CDumpContext& dc) const
{
    dc << "a " << GetRuntimeClass()->m_lpszClassName << " at " << static_cast<long long>(reinterpret_cast<std::intptr_t>(this)) << "\n";
}

bool CObject::IsKindOf(const CRuntimeClass* cls) const
{
    return GetRuntimeClass()->IsDerivedFrom(cls);
}

bool CObject::IsSerializable() const
{
    return GetRuntimeClass()->IsSerializable();
}

CObject* afxReadObjectOf(CArchive& ar, const CRuntimeClass* cls)
{
    return ar.ReadObject(cls);
}

void* afxAllocZeroFilled(std::size_t size)
{
    void* p = ::operator new(size);
    std::memset(p, 0, size);
    return p;
}
