// An automation object as a script sees it: members called by name with
// their arguments, whatever class answers them. The program's document and
// every object one of its methods hands out implement it, so a script (or a
// journal replay) can call a method on whatever a previous call returned.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <cstddef>
#include <vector>

using VARTYPE = unsigned short;
class COleVariant;
struct EXCEPINFO;

class IAutomationObject {
public:
    virtual ~IAutomationObject() = default;

    // The object's type name as messages show it ("LorimantDocument").
    virtual CString TypeName() const = 0;
    // Calls the member called name (ignoring case) with args in parameter
    // order. Returns what a dispatch table's Invoke returns, and
    // DISP_E_UNKNOWNNAME when the object has no member of that name.
    virtual HRESULT CallMethod(const CString& name, std::vector<COleVariant> args, COleVariant* result,
                               EXCEPINFO* excep, UINT* argErr) = 0;
    // The parameter types of the member that a call of name with arity
    // arguments reaches (the one of that count, else the first of the name);
    // null when the object has no such member or does not describe it.
    virtual const std::vector<VARTYPE>* MemberParameters(const CString& /*name*/, std::size_t /*arity*/) const
    {
        return nullptr;
    }
    // The names of the object's members in table order; empty when it does
    // not list them.
    virtual std::vector<CString> MemberNames() const { return {}; }
};
