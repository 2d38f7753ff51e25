#include "platform/ole/COleDispatchException.h"

IMPLEMENT_DYNAMIC(COleDispatchException, CException)

COleDispatchException::COleDispatchException(WORD code, const wchar_t* description, UINT helpContext)
    : m_wCode(code), m_strDescription(description), m_dwHelpContext(helpContext)
{
}

CString COleDispatchException::ErrorText() const
{
    return m_strDescription;
}

void AfxThrowOleDispatchException(WORD code, const wchar_t* description, UINT helpContext)
{
    throw COleDispatchException(code, description, helpContext);
}

void AfxThrowOleDispatchException(WORD code, const char* description, UINT helpContext)
{
    throw COleDispatchException(code, CString(description), helpContext);
}
