#include "platform/ole/CDispatchTable.h"

#include <exception>

std::wstring DispatchFoldName(const wchar_t* name)
{
    std::wstring folded = name ? name : L"";
    for (wchar_t& c : folded)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return folded;
}

HRESULT DispatchCoerceArguments(const std::vector<VARTYPE>& params, std::vector<COleVariant>& args, UINT* argErr)
{
    if (args.size() != params.size()) return DISP_E_BADPARAMCOUNT;
    for (std::size_t i = 0; i < params.size(); ++i) {
        COleVariant coerced = args[i];
        if (HRESULT hr = coerced.ChangeType(params[i]); hr != S_OK) {
            if (argErr) *argErr = static_cast<UINT>(i);
            return hr;
        }
        args[i] = std::move(coerced);
    }
    return S_OK;
}

void AfxRethrowAsOleDispatchException()
{
    try {
        throw;
    } catch (const COleDispatchException&) {
        throw;
    } catch (const CException& e) {
        throw COleDispatchException(1, e.ErrorText());
    } catch (const std::exception& e) {
        throw COleDispatchException(1, CString(e.what()));
    } catch (const char* text) {
        throw COleDispatchException(1, CString(text ? text : ""));
    } catch (const wchar_t* text) {
        throw COleDispatchException(1, text ? text : L"");
    } catch (...) {
        throw COleDispatchException(1, L"Unexpected error.");
    }
}

void DispatchExceptionInfo(EXCEPINFO& info)
{
    try {
        AfxRethrowAsOleDispatchException();
    } catch (const COleDispatchException& e) {
        info.wCode = e.m_wCode;
        info.bstrDescription = e.m_strDescription;
        info.dwHelpContext = e.m_dwHelpContext;
    }
}
