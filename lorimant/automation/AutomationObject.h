// The program's automation objects over their dispatch tables: finding a
// member by name and arity, calling it, and the exception boundary of the
// objects a method hands out (shape, shape collection, material). A method
// that hands out an object returns it with COleVariant::FromObject.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "platform/ole/CDispatchTable.h"
#include "platform/ole/IAutomationObject.h"

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

// Calls the member of table called name that takes args.size() arguments
// on target, as IAutomationObject::CallMethod does; DISP_E_UNKNOWNNAME when
// the table has no member of that name.
template <class T>
HRESULT CallDispatchMember(const CDispatchTable<T>& table, T& target, const CString& name,
                           std::vector<COleVariant> args, COleVariant* result, EXCEPINFO* excep, UINT* argErr)
{
    const DispatchEntry<T>* entry = FindDispatchMember(table, name, args.size());
    if (entry == nullptr) return DISP_E_UNKNOWNNAME;
    return table.Invoke(target, entry->dispid, DISPATCH_METHOD, std::move(args), result, excep, argErr);
}

// The parameter types of the member of table that a call of name with
// arity arguments reaches; null when the table has no member of that name.
template <class T>
const std::vector<VARTYPE>* DispatchMemberParameters(const CDispatchTable<T>& table, const CString& name,
                                                     std::size_t arity)
{
    const DispatchEntry<T>* entry = FindDispatchMember(table, name, arity);
    return entry == nullptr ? nullptr : &entry->params;
}

// The names of table's members in table order.
template <class T>
std::vector<CString> DispatchMemberNames(const CDispatchTable<T>& table)
{
    std::vector<CString> names;
    for (const DispatchEntry<T>& e : table.Entries()) names.emplace_back(e.name);
    return names;
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
        return CallDispatchMember(m_table, *m_target, name, std::move(args), result, excep, argErr);
    }

    const std::vector<VARTYPE>* MemberParameters(const CString& name, std::size_t arity) const override
    {
        return DispatchMemberParameters(m_table, name, arity);
    }

    std::vector<CString> MemberNames() const override { return DispatchMemberNames(m_table); }

private:
    CString m_typeName;
    const CDispatchTable<T>& m_table;
    std::shared_ptr<T> m_target;
};

// Runs work() as one member of an automation object: a dispatch exception
// keeps its code, every other kind becomes code 1 with its text.
template <class Work>
auto AutomationObjectMethod(Work&& work) -> decltype(work())
{
    try {
        return work();
    } catch (...) {
        AfxRethrowAsOleDispatchException();
    }
}
