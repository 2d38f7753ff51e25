// The dispatch table of an automation object: one entry per member (external
// name, DISPID, parameter types, result type, method; a property has a get
// and a put method). Names are looked up ignoring case and the first entry
// of a name or DISPID wins. Invoking coerces the arguments to the entry's
// types and reports dispatch failures as its result; a method refuses by
// throwing COleDispatchException, which Invoke reports as DISP_E_EXCEPTION
// with the exception's code and description.
#pragma once

#include "platform/ole/COleDispatchException.h"
#include "platform/ole/COleVariant.h"

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

using DISPID = LONG;
constexpr DISPID DISPID_UNKNOWN = -1;

constexpr WORD DISPATCH_METHOD = 1;
constexpr WORD DISPATCH_PROPERTYGET = 2;
constexpr WORD DISPATCH_PROPERTYPUT = 4;

// What a caller learns of a refused call.
struct EXCEPINFO {
    WORD wCode = 0;
    CString bstrDescription;
    DWORD dwHelpContext = 0;
};

// One call as a method sees it: the arguments in the order of the
// parameters, already coerced to their declared types, and the result.
class DispatchCall {
public:
    explicit DispatchCall(std::vector<COleVariant> arguments) : args(std::move(arguments)) {}

    // The i-th argument of the declared type.
    SHORT I2(std::size_t i) const { return args.at(i).iVal; }
    LONG I4(std::size_t i) const { return args.at(i).lVal; }
    double R8(std::size_t i) const { return args.at(i).dblVal; }
    bool Bool(std::size_t i) const { return args.at(i).boolVal != VARIANT_FALSE; }
    const CString& Text(std::size_t i) const { return args.at(i).bstrVal; }
    // The double an out parameter refers to.
    double& RefR8(std::size_t i) const { return *args.at(i).pdblVal; }

    std::vector<COleVariant> args;
    COleVariant result;
    const wchar_t* member = nullptr;  // the external name of the member called
};

// One member of T's interface. For a property, `method` is the get and
// `put` the put, which receives the new value as its last argument.
template <class T>
struct DispatchEntry {
    using Method = void (*)(T& target, DispatchCall& call);

    const wchar_t* name;
    DISPID dispid;
    std::vector<VARTYPE> params;
    VARTYPE result;  // VT_EMPTY: no result
    Method method;
    Method put = nullptr;
};

// Name in the folded form the lookup compares (ASCII letters lowered).
std::wstring DispatchFoldName(const wchar_t* name);
// Coerces args to params in place; S_OK, DISP_E_BADPARAMCOUNT, or the
// argument's DISP_E_TYPEMISMATCH / DISP_E_OVERFLOW with its index in *argErr.
HRESULT DispatchCoerceArguments(const std::vector<VARTYPE>& params, std::vector<COleVariant>& args, UINT* argErr);
// Rethrows the exception being handled as a COleDispatchException: one
// passes on with its own code; every other kind (framework exceptions,
// standard exceptions, thrown narrow or wide texts) becomes code 1 with its
// text. Call only inside a catch handler.
[[noreturn]] void AfxRethrowAsOleDispatchException();
// Fills info from the exception being handled, converted as above.
void DispatchExceptionInfo(EXCEPINFO& info);

template <class T>
class CDispatchTable {
public:
    // A table over the entries, in their order.
    explicit CDispatchTable(std::vector<DispatchEntry<T>> entries) : m_entries(std::move(entries))
    {
        for (std::size_t i = 0; i < m_entries.size(); ++i) {
            m_byName.emplace(DispatchFoldName(m_entries[i].name), i);
            m_byId.emplace(m_entries[i].dispid, i);
        }
    }

    // DISPID of the first entry with the name, ignoring case; DISPID_UNKNOWN if none.
    DISPID GetIDOfName(const wchar_t* name) const
    {
        const auto it = m_byName.find(DispatchFoldName(name));
        return it == m_byName.end() ? DISPID_UNKNOWN : m_entries[it->second].dispid;
    }

    // The first entry with the DISPID; null if none.
    const DispatchEntry<T>* Find(DISPID id) const
    {
        const auto it = m_byId.find(id);
        return it == m_byId.end() ? nullptr : &m_entries[it->second];
    }

    // Every entry, in table order.
    const std::vector<DispatchEntry<T>>& Entries() const { return m_entries; }

    // Calls member id on target with args (in parameter order). Returns S_OK
    // with the result in *result (if given); DISP_E_MEMBERNOTFOUND for an
    // unknown DISPID or a put on a method; DISP_E_BADPARAMCOUNT;
    // DISP_E_TYPEMISMATCH or DISP_E_OVERFLOW with the argument's index in
    // *argErr; DISP_E_EXCEPTION with *excep filled when the method threw.
    HRESULT Invoke(T& target, DISPID id, WORD flags, std::vector<COleVariant> args, COleVariant* result = nullptr,
                   EXCEPINFO* excep = nullptr, UINT* argErr = nullptr) const
    {
        const DispatchEntry<T>* entry = Find(id);
        if (entry == nullptr) return DISP_E_MEMBERNOTFOUND;
        const bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
        if (put && entry->put == nullptr) return DISP_E_MEMBERNOTFOUND;
        std::vector<VARTYPE> params = entry->params;
        if (put) params.push_back(entry->result);
        if (HRESULT hr = DispatchCoerceArguments(params, args, argErr); hr != S_OK) return hr;
        DispatchCall call(std::move(args));
        call.member = entry->name;
        try {
            (put ? entry->put : entry->method)(target, call);
        } catch (...) {
            EXCEPINFO info;
            DispatchExceptionInfo(info);
            if (excep) *excep = info;
            return DISP_E_EXCEPTION;
        }
        if (result) {
            *result = put ? COleVariant() : std::move(call.result);
            result->ChangeType(put ? VT_EMPTY : entry->result);
        }
        return S_OK;
    }

private:
    std::vector<DispatchEntry<T>> m_entries;
    std::unordered_map<std::wstring, std::size_t> m_byName;
    std::unordered_map<DISPID, std::size_t> m_byId;
};
