// XML writer over libxml2's xmlTextWriter.
#include "platform/xml/CXmlWriter.h"

#include <new>

#include <libxml/xmlIO.h>
#include <libxml/xmlwriter.h>

#include "platform/xml/XmlErrorScope.h"
#include "platform/core/CString.h"

namespace {

// libxml2 takes UTF-8 text; a null argument stays null.
class Utf8Arg {
public:
    explicit Utf8Arg(const wchar_t* text)
        : null_(text == nullptr), text_(text ? wideToUtf8(text) : std::string())
    {
    }
    const xmlChar* get() const
    {
        return null_ ? nullptr : reinterpret_cast<const xmlChar*>(text_.c_str());
    }

private:
    bool null_;
    std::string text_;
};

constexpr const char* kIndent = "  ";

struct CodeRange {
    char32_t first;
    char32_t last;
};

// The characters XML 1.0 allows in a document.
constexpr CodeRange kXmlChars[] = {
    {0x9, 0xA}, {0xD, 0xD}, {0x20, 0xD7FF}, {0xE000, 0xFFFD}, {0x10000, 0x10FFFF},
};

// The characters that may begin a name without a prefix (the colon is left
// out: names here carry no prefix).
constexpr CodeRange kNameStartChars[] = {
    {'A', 'Z'},         {'_', '_'},         {'a', 'z'},         {0xC0, 0xD6},       {0xD8, 0xF6},
    {0xF8, 0x2FF},      {0x370, 0x37D},     {0x37F, 0x1FFF},    {0x200C, 0x200D},   {0x2070, 0x218F},
    {0x2C00, 0x2FEF},   {0x3001, 0xD7FF},   {0xF900, 0xFDCF},   {0xFDF0, 0xFFFD},   {0x10000, 0xEFFFF},
};

// The further characters a name may hold after its first.
constexpr CodeRange kNameChars[] = {
    {'-', '.'}, {'0', '9'}, {0xB7, 0xB7}, {0x300, 0x36F}, {0x203F, 0x2040},
};

template <size_t N>
bool inRanges(wchar_t c, const CodeRange (&ranges)[N])
{
    const auto code = static_cast<char32_t>(c);
    for (const CodeRange& range : ranges) {
        if (code >= range.first && code <= range.last)
            return true;
    }
    return false;
}

// libxml2 writes names as given and passes characters XML does not allow
// into the file, which then no parser accepts; refuse them before writing.
bool isXmlName(const wchar_t* name)
{
    if (!inRanges(name[0], kNameStartChars))
        return false;
    for (const wchar_t* p = name + 1; *p != L'\0'; ++p) {
        if (!inRanges(*p, kNameStartChars) && !inRanges(*p, kNameChars))
            return false;
    }
    return true;
}

bool isXmlText(const wchar_t* text)
{
    for (const wchar_t* p = text; p != nullptr && *p != L'\0'; ++p) {
        if (!inRanges(*p, kXmlChars))
            return false;
    }
    return true;
}

// Why a named item (with optional text) cannot be written through `writer`,
// or S_OK when it can.
HRESULT refusalFor(const xmlTextWriter* writer, const wchar_t* name, const wchar_t* text = nullptr)
{
    if (name == nullptr || *name == L'\0')
        return E_INVALIDARG;
    if (writer == nullptr)
        return XML_E_UNEXPECTED;
    if (!isXmlName(name))
        return XML_E_NAMECHARACTER;
    if (!isXmlText(text))
        return XML_E_XMLCHARACTER;
    return S_OK;
}

}

CXmlWriter::CXmlWriter() = default;

CXmlWriter::~CXmlWriter()
{
    if (writer_ == nullptr)
        return;
    // Freeing the libxml2 writer flushes its buffer; a document that was not
    // flushed was abandoned, so its tail must not reach the file.
    discard_ = true;
    XmlErrorScope scope(errors_);
    xmlFreeTextWriter(writer_);
}

int CXmlWriter::writeCallback(void* context, const char* buffer, int length)
{
    CXmlWriter* self = static_cast<CXmlWriter*>(context);
    if (self->discard_)
        return length;
    if (length < 0 || !self->stream_->write(buffer, static_cast<size_t>(length)))
        return -1;
    return length;
}

HRESULT CXmlWriter::resultOf(int result) const
{
    if (result >= 0)
        return S_OK;
    // libxml2 answers -1 for a refused call and for a failed write alike;
    // the stream knows whether it was the file.
    HRESULT fileFailure = stream_ ? stream_->lastFailure() : S_OK;
    return xmlFailed(fileFailure) ? fileFailure : XML_E_INVALIDACTION;
}

HRESULT CXmlWriter::SetOutput(std::shared_ptr<CXmlFileStream> stream)
{
    if (!stream)
        return E_INVALIDARG;
    if (writer_ != nullptr)
        return XML_E_UNEXPECTED;
    XmlErrorScope scope(errors_);
    xmlOutputBufferPtr out = xmlOutputBufferCreateIO(&CXmlWriter::writeCallback, nullptr, this, nullptr);
    if (out == nullptr)
        return XML_E_OUTOFMEMORY;
    stream_ = std::move(stream);
    writer_ = xmlNewTextWriter(out);
    if (writer_ == nullptr) {
        // The text writer owns the buffer only once it exists.
        xmlOutputBufferClose(out);
        stream_.reset();
        return XML_E_OUTOFMEMORY;
    }
    return SetIndent(indent_);
}

HRESULT CXmlWriter::SetIndent(bool indent)
{
    indent_ = indent;
    if (writer_ == nullptr)
        return S_OK;
    XmlErrorScope scope(errors_);
    if (xmlTextWriterSetIndent(writer_, indent ? 1 : 0) < 0)
        return XML_E_INVALIDACTION;
    if (xmlTextWriterSetIndentString(writer_, reinterpret_cast<const xmlChar*>(kIndent)) < 0)
        return XML_E_OUTOFMEMORY;
    return S_OK;
}

HRESULT CXmlWriter::StartDocument()
{
    if (writer_ == nullptr)
        return XML_E_UNEXPECTED;
    XmlErrorScope scope(errors_);
    return resultOf(xmlTextWriterStartDocument(writer_, nullptr, "UTF-8", nullptr));
}

HRESULT CXmlWriter::WriteDTD(const wchar_t* name, const wchar_t* publicId, const wchar_t* systemId,
                             const wchar_t* subset)
{
    if (name == nullptr || *name == L'\0')
        return E_INVALIDARG;
    if (writer_ == nullptr)
        return XML_E_UNEXPECTED;
    XmlErrorScope scope(errors_);
    return resultOf(xmlTextWriterWriteDTD(writer_, Utf8Arg(name).get(), Utf8Arg(publicId).get(),
                                          Utf8Arg(systemId).get(), Utf8Arg(subset).get()));
}

HRESULT CXmlWriter::WritePI(const wchar_t* target, const wchar_t* text)
{
    if (HRESULT refused = refusalFor(writer_, target, text); refused != S_OK)
        return refused;
    XmlErrorScope scope(errors_);
    return resultOf(xmlTextWriterWritePI(writer_, Utf8Arg(target).get(), Utf8Arg(text).get()));
}

HRESULT CXmlWriter::StartElement(const wchar_t* localName)
{
    if (HRESULT refused = refusalFor(writer_, localName); refused != S_OK)
        return refused;
    XmlErrorScope scope(errors_);
    HRESULT started = resultOf(xmlTextWriterStartElement(writer_, Utf8Arg(localName).get()));
    if (!xmlFailed(started))
        ++openElements_;
    return started;
}

HRESULT CXmlWriter::WriteAttribute(const wchar_t* localName, const wchar_t* value)
{
    if (HRESULT refused = refusalFor(writer_, localName, value); refused != S_OK)
        return refused;
    XmlErrorScope scope(errors_);
    return resultOf(xmlTextWriterWriteAttribute(writer_, Utf8Arg(localName).get(),
                                                Utf8Arg(value ? value : L"").get()));
}

HRESULT CXmlWriter::FullEndElement()
{
    if (writer_ == nullptr)
        return XML_E_UNEXPECTED;
    XmlErrorScope scope(errors_);
    HRESULT ended = resultOf(xmlTextWriterFullEndElement(writer_));
    if (!xmlFailed(ended) && openElements_ > 0)
        --openElements_;
    return ended;
}

HRESULT CXmlWriter::EndDocument()
{
    if (writer_ == nullptr)
        return XML_E_UNEXPECTED;
    // libxml2 would close an element without content as <name/>; close
    // them here so that every element ends with its own end tag.
    while (openElements_ > 0) {
        HRESULT ended = FullEndElement();
        if (xmlFailed(ended))
            return ended;
    }
    XmlErrorScope scope(errors_);
    return resultOf(xmlTextWriterEndDocument(writer_));
}

HRESULT CXmlWriter::Flush()
{
    if (writer_ == nullptr)
        return XML_E_UNEXPECTED;
    XmlErrorScope scope(errors_);
    return resultOf(xmlTextWriterFlush(writer_));
}

HRESULT CreateXmlWriter(std::unique_ptr<CXmlWriter>& writer)
{
    writer.reset(new (std::nothrow) CXmlWriter());
    return writer ? S_OK : XML_E_OUTOFMEMORY;
}
