// Result codes of the XML layer. Calls answer in the HRESULT style of the
// platform: S_OK, S_FALSE for "no" or "end", negative values for failures.
#pragma once

#include "platform/core/Types.h"

// Allocation failed.
constexpr HRESULT XML_E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
// A call came in a state that does not allow it (no input or output yet).
constexpr HRESULT XML_E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
// The writer refused a call in this position (for example an end tag with
// no element open).
constexpr HRESULT XML_E_INVALIDACTION = static_cast<HRESULT>(0x80040201u);
// The reader met a document type declaration while they are prohibited.
constexpr HRESULT XML_E_DTDPROHIBITED = static_cast<HRESULT>(0x80040202u);
// The input is not well-formed XML.
constexpr HRESULT XML_E_PARSE = static_cast<HRESULT>(0x80040203u);
// A text holds a character that XML does not allow in a document (the
// Windows writer's "illegal xml character").
constexpr HRESULT XML_E_XMLCHARACTER = static_cast<HRESULT>(0xC00CEE2Bu);
// A name is empty of allowed characters or holds one that XML does not allow
// in a name (the Windows writer's "illegal name character").
constexpr HRESULT XML_E_NAMECHARACTER = static_cast<HRESULT>(0xC00CEE2Cu);

// True for a failure code.
constexpr bool xmlFailed(HRESULT hr)
{
    return hr < 0;
}

// The code of a failed file operation: 0x8007xxxx with the matching system
// error number of the Windows platform where there is one, else E_FAIL.
HRESULT hresultFromErrno(int error);
