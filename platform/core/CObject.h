// Run-time classes, dynamic creation and serial schemas: the root class
// CObject of every stored model object, CRuntimeClass with its registry by
// class name, and the declare/implement macros.
#pragma once

#include "platform/core/Types.h"

#include <cstring>
#include <iosfwd>
#include <new>
#include <string>

class CArchive;
class CObject;
class CDumpContext;

// Set in a schema to accept any stored schema when loading; the stored one
// is then handed to Serialize through CArchive::GetObjectSchema.
constexpr UINT VERSIONABLE_SCHEMA = 0x80000000u;
// Schema of a class that has run-time information but cannot be stored.
constexpr UINT NON_SERIAL_SCHEMA = 0xFFFFu;

// Run-time information of one class. Instances are constant-initialised
// statics (see IMPLEMENT_DYNAMIC and friends), so they are usable before any
// dynamic initialisation runs.
struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;                         // schema, possibly with VERSIONABLE_SCHEMA; 0xFFFF when not serial
    CObject* (*m_pfnCreateObject)();        // null when the class cannot be created dynamically
    CRuntimeClass* m_pBaseClass;            // null for CObject

    // A new default-constructed object of this class; null when it has no factory.
    CObject* CreateObject() const;
    // True when this class is `base` or derives from it.
    bool IsDerivedFrom(const CRuntimeClass* base) const;
    // True when objects of this class can be written to an archive.
    bool IsSerializable() const { return m_wSchema != NON_SERIAL_SCHEMA; }
    // Schema number without the versionable flag.
    UINT Schema() const { return m_wSchema & ~VERSIONABLE_SCHEMA; }
    // True when the class accepts any stored schema.
    bool IsVersionable() const { return (m_wSchema & VERSIONABLE_SCHEMA) != 0; }

    // Registered class of that exact name, or null.
    static CRuntimeClass* FromName(const char* name);
    // Registered class of that exact name, or null.
    static CRuntimeClass* FromName(const wchar_t* name);
    // Adds a class to the process-wide registry by name (a later class of the same name replaces it).
    static void Register(CRuntimeClass* cls);
};

// Registers a class from a namespace-scope object of a shared library, so
// that loading the library makes its classes known by name.
struct AfxClassInit {
    explicit AfxClassInit(CRuntimeClass* cls) { CRuntimeClass::Register(cls); }
};

// Minimal diagnostic sink for Dump: writes text to a standard stream.
class CDumpContext {
public:
    // A context writing to `out` (std::clog when null).
    explicit CDumpContext(std::ostream* out = nullptr);
    // Appends narrow text.
    CDumpContext& operator<<(const char* text);
    // Appends wide text (as UTF-8).
    CDumpContext& operator<<(const wchar_t* text);
    // Appends a number.
    CDumpContext& operator<<(long long value);
    // Appends a number.
    CDumpContext& operator<<(double value);
private:
    std::ostream* m_out;
};

// Root of every serialisable model class. Virtual operations in this order:
// GetRuntimeClass, destructor, Serialize, AssertValid, Dump.
class CObject {
public:
    // Run-time class of the dynamic type.
    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;
    // Stores or loads the object's data; the base stores nothing.
    virtual void Serialize(CArchive& ar);
    // Consistency check of the object; the base checks nothing.
    virtual void AssertValid() const;
    // Writes a diagnostic description; the base writes the class name.
    virtual void Dump(CDumpContext& dc) const;

    // True when the dynamic class is `cls` or derives from it.
    bool IsKindOf(const CRuntimeClass* cls) const;
    // True when the dynamic class has a serial schema.
    bool IsSerializable() const;

    static CRuntimeClass classCObject;
    // Run-time class of CObject.
    static CRuntimeClass* GetThisClass() { return &classCObject; }

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

// Declares the run-time class of `class_name` (inside the class body).
#define DECLARE_DYNAMIC(class_name)                                      \
public:                                                                  \
    static CRuntimeClass class##class_name;                              \
    static CRuntimeClass* GetThisClass() { return &class##class_name; }  \
    CRuntimeClass* GetRuntimeClass() const override;

// As DECLARE_DYNAMIC, and objects can be created by class (CreateObject).
#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name)       \
    static CObject* CreateObject();

// As DECLARE_DYNCREATE, with a serial schema and the extraction operator
// `CArchive& operator>>(CArchive&, class_name*&)`, which IMPLEMENT_SERIAL defines.
#define DECLARE_SERIAL(class_name)    \
    DECLARE_DYNCREATE(class_name)     \
    friend CArchive& operator>>(CArchive& ar, class_name*& pOb);

#define LORIMANT_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, factory) \
    constinit CRuntimeClass class_name::class##class_name = {                         \
        #class_name, static_cast<int>(sizeof(class_name)), (schema), (factory),       \
        RUNTIME_CLASS(base_class_name)};                                              \
    CRuntimeClass* class_name::GetRuntimeClass() const { return &class##class_name; } \
    static const AfxClassInit lorimantClassInit_##class_name(&class_name::class##class_name);

// Defines the run-time class of a class declared with DECLARE_DYNAMIC (in one .cpp).
#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    LORIMANT_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, NON_SERIAL_SCHEMA, nullptr)

// Creates a zero-filled, then default-constructed object: members that a
// constructor leaves alone start at zero, as objects made while loading expect.
#define LORIMANT_IMPLEMENT_CREATE(class_name)                   \
    CObject* class_name::CreateObject()                        \
    {                                                          \
        return afxCreateZeroFilled<class_name>();              \
    }

// Defines the run-time class and factory of a class declared with DECLARE_DYNCREATE.
#define IMPLEMENT_DYNCREATE(class_name, base_class_name) \
    LORIMANT_IMPLEMENT_CREATE(class_name)                \
    LORIMANT_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, NON_SERIAL_SCHEMA, &class_name::CreateObject)

// Defines run-time class, factory, schema and extraction operator of a class
// declared with DECLARE_SERIAL. `schema` may carry VERSIONABLE_SCHEMA.
#define IMPLEMENT_SERIAL(class_name, base_class_name, schema)                                  \
    LORIMANT_IMPLEMENT_CREATE(class_name)                                                      \
    LORIMANT_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, (schema), &class_name::CreateObject) \
    CArchive& operator>>(CArchive& ar, class_name*& pOb)                                       \
    {                                                                                          \
        pOb = static_cast<class_name*>(afxReadObjectOf(ar, RUNTIME_CLASS(class_name)));       \
        return ar;                                                                             \
    }

// Reads an object reference that must be of class `cls` or derived (CArchive::ReadObject).
CObject* afxReadObjectOf(CArchive& ar, const CRuntimeClass* cls);
// Raw zero-filled storage for one object of `size` bytes, released by the object's delete.
void* afxAllocZeroFilled(std::size_t size);

template <class T>
CObject* afxCreateZeroFilled()
{
    void* p = afxAllocZeroFilled(sizeof(T));
    try {
        return ::new (p) T;
    } catch (...) {
        ::operator delete(p);
        throw;
    }
}
