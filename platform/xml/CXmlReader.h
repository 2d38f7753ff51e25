// A pull reader of XML files over libxml2's xmlTextReader.
//
// Read moves to the next node and answers S_OK, S_FALSE at the end of the
// input, or a failure code for input that is not well-formed; after a
// failure every later Read gives the same failure. A document type
// declaration is refused (XML_E_DTDPROHIBITED) when the reader meets it:
// nothing is loaded from outside the file, no network, no entity
// substitution. libxml2's messages are collected in errorText(), not printed.
//
// Text getters hand out pointers that stay valid until the next call of the
// same getter, the next move or the reader's end.
#pragma once

#include <memory>
#include <string>

#include "platform/xml/CXmlFileStream.h"

struct _xmlTextReader;

// The kinds of node the reader stops at.
enum XmlNodeType {
    XmlNodeType_None = 0,
    XmlNodeType_Element = 1,
    XmlNodeType_Attribute = 2,
    XmlNodeType_Text = 3,
    XmlNodeType_CDATA = 4,
    XmlNodeType_ProcessingInstruction = 7,
    XmlNodeType_Comment = 8,
    XmlNodeType_DocumentType = 10,
    XmlNodeType_Whitespace = 13,
    XmlNodeType_EndElement = 15,
};

// Reader properties.
enum XmlReaderProperty {
    XmlReaderProperty_DtdProcessing = 0,
};

// Values of XmlReaderProperty_DtdProcessing; document type declarations are
// always refused.
enum DtdProcessing {
    DtdProcessing_Prohibit = 0,
};

class CXmlReader {
public:
    CXmlReader();
    ~CXmlReader();
    CXmlReader(const CXmlReader&) = delete;
    CXmlReader& operator=(const CXmlReader&) = delete;

    // Sets a property; only DtdProcessing = Prohibit is known (the default),
    // anything else gives E_INVALIDARG.
    HRESULT SetProperty(XmlReaderProperty property, LONG_PTR value);
    // Takes the input. One input per reader; a second call gives
    // XML_E_UNEXPECTED, an empty stream E_INVALIDARG.
    HRESULT SetInput(std::shared_ptr<CXmlFileStream> stream);

    // Moves to the next node and gives its type (None at the end or on failure).
    HRESULT Read(XmlNodeType* nodeType);
    // The type of the current node (an attribute after a move to one).
    HRESULT GetNodeType(XmlNodeType* nodeType) const;
    // The namespace prefix of the current element or attribute, L"" for none.
    HRESULT GetPrefix(const wchar_t** prefix, UINT* length);
    // The local name of the current element, attribute or processing
    // instruction; L"" for other nodes.
    HRESULT GetLocalName(const wchar_t** localName, UINT* length);
    // The value of the current attribute, text, comment or processing
    // instruction; L"" for an element.
    HRESULT GetValue(const wchar_t** value, UINT* length);
    // Moves to the attribute of the current element with this local name
    // and namespace (null or empty: none). S_OK when found, S_FALSE when
    // the element has no such attribute (the position stays), a failure code
    // when the reader stands on no node.
    HRESULT MoveToAttributeByName(const wchar_t* localName, const wchar_t* namespaceUri);
    // Moves from an attribute back to its element; S_FALSE when not on one.
    HRESULT MoveToElement();

    // The messages libxml2 gave while this reader worked.
    const std::string& errorText() const { return errors_; }

private:
    static int readCallback(void* context, char* buffer, int length);
    HRESULT fail(HRESULT failure);
    HRESULT positioned() const;
    HRESULT hand(const unsigned char* text, std::wstring& buffer, const wchar_t** out, UINT* length);

    std::shared_ptr<CXmlFileStream> stream_;
    _xmlTextReader* reader_ = nullptr;
    XmlNodeType nodeType_ = XmlNodeType_None;
    HRESULT failure_ = S_OK;
    std::wstring prefix_;
    std::wstring localName_;
    std::wstring value_;
    std::string errors_;
};

// Makes a reader with no input yet: S_OK, or XML_E_OUTOFMEMORY.
HRESULT CreateXmlReader(std::unique_ptr<CXmlReader>& reader);
