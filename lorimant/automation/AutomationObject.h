// An automation object that has methods, as a script sees it: members called
// by name with their arguments, whatever class answers them. The document
// and every object a method hands out (shape, arbitrary shape, material) are
// reached this way, so that a journal replay can call a method on whatever a
// previous line returned. A method that hands out an object returns it as
// COleVariant::FromObject(std::shared_ptr<IAutomationObject>(...)).
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "platform/ole/CDispatchTable.h"

class IAutomationObject {
public:
    virtual ~IAutomationObject() = default;

    // The object's type name as messages show it ("LorimantDocument").
    virtual CString TypeName() const = 0;
    // Calls the method called name (ignoring case) with args in parameter
    // order. Returns what CDispatchTable::Invoke returns, and
    // DISP_E_UNKNOWNNAME when the object has no member of that name.
    virtual HRESULT CallMethod(const CString& name, std::vector<COleVariant> args, COleVariant* result,
                               EXCEPINFO* excep, UINT* argErr) = 0;
};

// The entry of table called name (ignoring case) that takes arity
// arguments; the first entry of that name when none takes that many (so
// invoking it reports the wrong count); null when no entry has the name.
template <class T>
const DispatchEntry<T>* FindDispatchMember(const CDispatchTable<T>& table, const CString& name, std::size_t arity)
{
    const std::wstring folded = DispatchFoldName(name.GetString());
    const DispatchEntry<T>* first = nullptr;
    for (const DispatchEntry<T>& e : table.Entries()) {
        if (DispatchFoldName(e.name) != folded) continue;
        if (e.params.size() == arity) return &e;
        if (first == nullptr) first = &e;
    }
    return first;
}

// An automation object whose members are the rows of a dispatch table over
// a target of class T. The target is shared with the object; pass a
// non-owning pointer (see Unowned) for a target that outlives it.
template <class T>
class DispatchTableObject : public IAutomationObject {
public:
    DispatchTableObject(CString typeName, const CDispatchTable<T>& table, std::shared_ptr<T> target)
        : m_typeName(std::move(typeName)), m_table(table), m_target(std::move(target))
    {
    }

    // A shared pointer to target that never deletes it.
    static std::shared_ptr<T> Unowned(T& target) { return std::shared_ptr<T>(&target, [](T*) {}); }

    CString TypeName() const override { return m_typeName; }

    HRESULT CallMethod(const CString& name, std::vector<COleVariant> args, COleVariant* result, EXCEPINFO* excep,
                       UINT* argErr) override
    {
        const DispatchEntry<T>* entry = FindDispatchMember(m_table, name, args.size());
        if (entry == nullptr) return DISP_E_UNKNOWNNAME;
        return m_table.Invoke(*m_target, entry->dispid, DISPATCH_METHOD, std::move(args), result, excep, argErr);
    }

private:
    CString m_typeName;
    const CDispatchTable<T>& m_table;
    std::shared_ptr<T> m_target;
};
