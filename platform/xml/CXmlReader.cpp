// Pull reader over libxml2's xmlTextReader.
#include "platform/xml/CXmlReader.h"

#include <iterator>
#include <new>

#include <libxml/xmlreader.h>

#include "platform/xml/XmlErrorScope.h"
#include "platform/core/CString.h"

namespace {

// No network, and entities stay references: with a document type declaration
// refused before its first node is handed out, nothing outside the file is
// ever read. No DTD loading, no default attributes, no validation.
constexpr int kParseOptions = XML_PARSE_NONET;

// libxml2's node types (the index) as ours; None for kinds we pass over.
constexpr XmlNodeType kNodeTypes[] = {
    XmlNodeType_None,                  // 0 none
    XmlNodeType_Element,               // 1 element
    XmlNodeType_Attribute,             // 2 attribute
    XmlNodeType_Text,                  // 3 text
    XmlNodeType_CDATA,                 // 4 CDATA
    XmlNodeType_None,                  // 5 entity reference
    XmlNodeType_None,                  // 6 entity
    XmlNodeType_ProcessingInstruction, // 7 processing instruction
    XmlNodeType_Comment,               // 8 comment
    XmlNodeType_None,                  // 9 document
    XmlNodeType_DocumentType,          // 10 document type
    XmlNodeType_None,                  // 11 document fragment
    XmlNodeType_None,                  // 12 notation
    XmlNodeType_Whitespace,            // 13 whitespace
    XmlNodeType_Whitespace,            // 14 significant whitespace
    XmlNodeType_EndElement,            // 15 end element
    XmlNodeType_None,                  // 16 end entity
    XmlNodeType_None,                  // 17 XML declaration
};

XmlNodeType nodeTypeOf(int libxmlType)
{
    if (libxmlType < 0 || libxmlType >= static_cast<int>(std::size(kNodeTypes)))
        return XmlNodeType_None;
    return kNodeTypes[libxmlType];
}

bool hasName(XmlNodeType type)
{
    return type == XmlNodeType_Element || type == XmlNodeType_EndElement
        || type == XmlNodeType_Attribute || type == XmlNodeType_ProcessingInstruction;
}

const xmlChar* utf8(const std::string& text)
{
    return reinterpret_cast<const xmlChar*>(text.c_str());
}

}

CXmlReader::CXmlReader() = default;

CXmlReader::~CXmlReader()
{
    if (reader_ != nullptr) {
        XmlErrorScope scope(errors_);
        xmlFreeTextReader(reader_);
    }
}

int CXmlReader::readCallback(void* context, char* buffer, int length)
{
    CXmlReader* self = static_cast<CXmlReader*>(context);
    if (length <= 0)
        return 0;
    return static_cast<int>(self->stream_->read(buffer, static_cast<size_t>(length)));
}

HRESULT CXmlReader::SetProperty(XmlReaderProperty property, LONG_PTR value)
{
    if (property == XmlReaderProperty_DtdProcessing && value == DtdProcessing_Prohibit)
        return S_OK;
    return E_INVALIDARG;
}

HRESULT CXmlReader::SetInput(std::shared_ptr<CXmlFileStream> stream)
{
    if (!stream)
        return E_INVALIDARG;
    if (reader_ != nullptr)
        return XML_E_UNEXPECTED;
    stream_ = std::move(stream);
    XmlErrorScope scope(errors_);
    reader_ = xmlReaderForIO(&CXmlReader::readCallback, nullptr, this, nullptr, nullptr, kParseOptions);
    if (reader_ == nullptr) {
        HRESULT fileFailure = stream_->lastFailure();
        stream_.reset();
        return xmlFailed(fileFailure) ? fileFailure : XML_E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CXmlReader::fail(HRESULT failure)
{
    failure_ = failure;
    nodeType_ = XmlNodeType_None;
    return failure;
}

HRESULT CXmlReader::Read(XmlNodeType* nodeType)
{
    if (nodeType != nullptr)
        *nodeType = XmlNodeType_None;
    if (reader_ == nullptr)
        return XML_E_UNEXPECTED;
    if (xmlFailed(failure_))
        return failure_;
    XmlErrorScope scope(errors_);
    for (;;) {
        int result = xmlTextReaderRead(reader_);
        if (result == 0) {
            nodeType_ = XmlNodeType_None;
            return S_FALSE;
        }
        if (result < 0) {
            HRESULT fileFailure = stream_->lastFailure();
            return fail(xmlFailed(fileFailure) ? fileFailure : XML_E_PARSE);
        }
        XmlNodeType type = nodeTypeOf(xmlTextReaderNodeType(reader_));
        if (type == XmlNodeType_DocumentType) {
            XmlErrorScope::append(errors_, "document type declarations are prohibited\n");
            return fail(XML_E_DTDPROHIBITED);
        }
        if (type != XmlNodeType_None) {
            nodeType_ = type;
            if (nodeType != nullptr)
                *nodeType = type;
            return S_OK;
        }
    }
}

HRESULT CXmlReader::GetNodeType(XmlNodeType* nodeType) const
{
    if (nodeType == nullptr)
        return E_INVALIDARG;
    *nodeType = nodeType_;
    return xmlFailed(failure_) ? failure_ : S_OK;
}

HRESULT CXmlReader::positioned() const
{
    if (xmlFailed(failure_))
        return failure_;
    return reader_ != nullptr && nodeType_ != XmlNodeType_None ? S_OK : XML_E_UNEXPECTED;
}

HRESULT CXmlReader::hand(const unsigned char* text, std::wstring& buffer, const wchar_t** out, UINT* length)
{
    buffer = text != nullptr ? utf8ToWide(reinterpret_cast<const char*>(text)) : std::wstring();
    *out = buffer.c_str();
    if (length != nullptr)
        *length = static_cast<UINT>(buffer.size());
    return S_OK;
}

HRESULT CXmlReader::GetPrefix(const wchar_t** prefix, UINT* length)
{
    if (prefix == nullptr)
        return E_INVALIDARG;
    HRESULT state = positioned();
    if (xmlFailed(state))
        return state;
    bool named = hasName(nodeType_) && nodeType_ != XmlNodeType_ProcessingInstruction;
    return hand(named ? xmlTextReaderConstPrefix(reader_) : nullptr, prefix_, prefix, length);
}

HRESULT CXmlReader::GetLocalName(const wchar_t** localName, UINT* length)
{
    if (localName == nullptr)
        return E_INVALIDARG;
    HRESULT state = positioned();
    if (xmlFailed(state))
        return state;
    return hand(hasName(nodeType_) ? xmlTextReaderConstLocalName(reader_) : nullptr, localName_,
                localName, length);
}

HRESULT CXmlReader::GetValue(const wchar_t** value, UINT* length)
{
    if (value == nullptr)
        return E_INVALIDARG;
    HRESULT state = positioned();
    if (xmlFailed(state))
        return state;
    return hand(xmlTextReaderConstValue(reader_), value_, value, length);
}

HRESULT CXmlReader::MoveToAttributeByName(const wchar_t* localName, const wchar_t* namespaceUri)
{
    if (localName == nullptr || *localName == L'\0')
        return E_INVALIDARG;
    HRESULT state = positioned();
    if (xmlFailed(state))
        return state;
    if (nodeType_ != XmlNodeType_Element && nodeType_ != XmlNodeType_Attribute)
        return S_FALSE;
    XmlErrorScope scope(errors_);
    std::string name = wideToUtf8(localName);
    int found = namespaceUri == nullptr || *namespaceUri == L'\0'
        ? xmlTextReaderMoveToAttribute(reader_, utf8(name))
        : xmlTextReaderMoveToAttributeNs(reader_, utf8(name), utf8(wideToUtf8(namespaceUri)));
    if (found < 0)
        return XML_E_UNEXPECTED;
    if (found == 0)
        return S_FALSE;
    nodeType_ = XmlNodeType_Attribute;
    return S_OK;
}

HRESULT CXmlReader::MoveToElement()
{
    HRESULT state = positioned();
    if (xmlFailed(state))
        return state;
    if (nodeType_ != XmlNodeType_Attribute)
        return S_FALSE;
    XmlErrorScope scope(errors_);
    if (xmlTextReaderMoveToElement(reader_) != 1)
        return XML_E_UNEXPECTED;
    nodeType_ = XmlNodeType_Element;
    return S_OK;
}

HRESULT CreateXmlReader(std::unique_ptr<CXmlReader>& reader)
{
    reader.reset(new (std::nothrow) CXmlReader());
    return reader ? S_OK : XML_E_OUTOFMEMORY;
}
