// An XML writer over libxml2's text writer, on a file stream of ours.
//
// Calls follow the document: optionally StartDocument, WriteDTD and WritePI,
// then elements with StartElement, their attributes with WriteAttribute and
// FullEndElement, and EndDocument. Each call answers S_OK or a failure code.
// Output is buffered until Flush; a writer dropped before its last Flush
// leaves the file with only what was flushed.
#pragma once

#include <memory>
#include <string>

#include "platform/xml/CXmlFileStream.h"

struct _xmlTextWriter;

class CXmlWriter {
public:
    CXmlWriter();
    // Releases the writer; unflushed output is dropped, not written.
    ~CXmlWriter();
    CXmlWriter(const CXmlWriter&) = delete;
    CXmlWriter& operator=(const CXmlWriter&) = delete;

    // Directs the output to stream (UTF-8). One output per writer; a second
    // call gives XML_E_UNEXPECTED, an empty stream E_INVALIDARG.
    HRESULT SetOutput(std::shared_ptr<CXmlFileStream> stream);
    // Turns indentation on or off: two blanks per level, one element a line.
    HRESULT SetIndent(bool indent);

    // Writes the XML declaration (version 1.0, UTF-8, standalone omitted).
    HRESULT StartDocument();
    // Writes a document type declaration; the identifiers and the internal
    // subset may be null.
    HRESULT WriteDTD(const wchar_t* name, const wchar_t* publicId, const wchar_t* systemId,
                     const wchar_t* subset);
    // Writes a processing instruction with its target and text (text may be
    // null); XML_E_NAMECHARACTER or XML_E_XMLCHARACTER, and nothing written,
    // for a target or text that XML does not allow.
    HRESULT WritePI(const wchar_t* target, const wchar_t* text);
    // Opens an element with this local name, no prefix, no namespace;
    // XML_E_NAMECHARACTER, and nothing written, when it is no XML name.
    HRESULT StartElement(const wchar_t* localName);
    // Writes an attribute on the element just opened; a null value is empty.
    // XML_E_NAMECHARACTER or XML_E_XMLCHARACTER, and nothing written, for a
    // name or a value character that XML does not allow.
    HRESULT WriteAttribute(const wchar_t* localName, const wchar_t* value);
    // Closes the innermost open element with a separate end tag, also when
    // it has no content.
    HRESULT FullEndElement();
    // Closes every open element with a full end tag and ends the document.
    HRESULT EndDocument();
    // Hands the buffered output to the stream.
    HRESULT Flush();

    // The messages libxml2 gave while this writer worked (for diagnostics).
    const std::string& errorText() const { return errors_; }

private:
    static int writeCallback(void* context, const char* buffer, int length);
    // The code of a call whose libxml2 result was result (negative = failed).
    HRESULT resultOf(int result) const;

    std::shared_ptr<CXmlFileStream> stream_;
    _xmlTextWriter* writer_ = nullptr;
    int openElements_ = 0;
    bool indent_ = false;
    bool discard_ = false;
    std::string errors_;
};

// Makes a writer with no output yet: S_OK, or XML_E_OUTOFMEMORY.
HRESULT CreateXmlWriter(std::unique_ptr<CXmlWriter>& writer);
