// The automation variant: a tagged value (16- and 32-bit integers, double,
// text, boolean, object, enumerator, by-reference double) with the usual
// automation coercions between them.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"
#include "platform/ole/IAutomationObject.h"

#include <any>
#include <memory>
#include <type_traits>

using VARTYPE = unsigned short;
using VARIANT_BOOL = SHORT;

constexpr VARTYPE VT_EMPTY = 0;
constexpr VARTYPE VT_I2 = 2;
constexpr VARTYPE VT_I4 = 3;
constexpr VARTYPE VT_R8 = 5;
constexpr VARTYPE VT_BSTR = 8;
constexpr VARTYPE VT_DISPATCH = 9;
constexpr VARTYPE VT_BOOL = 11;
constexpr VARTYPE VT_VARIANT = 12;  // as a parameter type: any value, not coerced
constexpr VARTYPE VT_UNKNOWN = 13;
constexpr VARTYPE VT_BYREF = 0x4000;

constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003u);
constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005u);
constexpr HRESULT DISP_E_UNKNOWNNAME = static_cast<HRESULT>(0x80020006u);
constexpr HRESULT DISP_E_EXCEPTION = static_cast<HRESULT>(0x80020009u);
constexpr HRESULT DISP_E_OVERFLOW = static_cast<HRESULT>(0x8002000Au);
constexpr HRESULT DISP_E_BADPARAMCOUNT = static_cast<HRESULT>(0x8002000Eu);

class COleVariant {
public:
    // The empty variant.
    COleVariant() = default;
    // A 16-bit integer.
    COleVariant(SHORT value) : vt(VT_I2), iVal(value) {}
    // A 32-bit integer.
    COleVariant(LONG value) : vt(VT_I4), lVal(value) {}
    // A double.
    COleVariant(double value) : vt(VT_R8), dblVal(value) {}
    // A text (null gives the empty text).
    COleVariant(const wchar_t* text) : vt(VT_BSTR), bstrVal(text) {}
    // A text.
    COleVariant(const CString& text) : vt(VT_BSTR), bstrVal(text) {}

    // A boolean (VARIANT_TRUE or VARIANT_FALSE).
    static COleVariant FromBool(bool value);
    // An automation object, shared with the variant. One that implements
    // IAutomationObject is held as such, so a script can call its members
    // without knowing its class.
    template <class T>
    static COleVariant FromObject(std::shared_ptr<T> object)
    {
        if constexpr (std::is_base_of_v<IAutomationObject, T>)
            return holding(VT_DISPATCH, std::shared_ptr<IAutomationObject>(std::move(object)));
        else
            return holding(VT_DISPATCH, std::move(object));
    }
    // An enumerator, shared with the variant.
    template <class T>
    static COleVariant FromEnumerator(std::shared_ptr<T> enumerator) { return holding(VT_UNKNOWN, std::move(enumerator)); }
    // A reference to a double that the callee may write (out parameter); the
    // double must outlive the variant's use.
    static COleVariant ByRef(double* target);

    // The object or enumerator held, when it is a T; null otherwise.
    template <class T>
    std::shared_ptr<T> GetObject() const
    {
        if (const auto* held = std::any_cast<std::shared_ptr<T>>(&m_object)) return *held;
        if constexpr (std::is_base_of_v<IAutomationObject, T>) {
            if (const auto* any = std::any_cast<std::shared_ptr<IAutomationObject>>(&m_object))
                return std::dynamic_pointer_cast<T>(*any);
        }
        return nullptr;
    }

    // Converts the value in place to type `to` under the automation rules:
    // numbers to 16/32-bit integers round half to even and report
    // DISP_E_OVERFLOW out of range; any non-zero number is true; numeric
    // text converts to numbers; objects and references convert to nothing
    // else (DISP_E_TYPEMISMATCH). S_OK on success; on failure the value is
    // unchanged. VT_VARIANT accepts every value as it is.
    HRESULT ChangeType(VARTYPE to);

    // Empties the variant.
    void Clear() { *this = COleVariant(); }

    VARTYPE vt = VT_EMPTY;
    union {
        SHORT iVal;
        LONG lVal = 0;
        double dblVal;
        VARIANT_BOOL boolVal;
        double* pdblVal;
    };
    CString bstrVal;

private:
    template <class T>
    static COleVariant holding(VARTYPE type, std::shared_ptr<T> object)
    {
        COleVariant v;
        v.vt = type;
        v.m_object = std::move(object);
        return v;
    }

    std::any m_object;  // shared_ptr<T> of an object or enumerator
};
