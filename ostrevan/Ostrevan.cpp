// The module-wide writer of Ostrevan and its eight exports.
#include "ostrevan/Ostrevan.h"

#include <charconv>
#include <iterator>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <ctime>
#include <locale.h>
#include <memory>
#include <new>

#include "platform/xml/CXmlFileStream.h"
#include "platform/xml/CXmlWriter.h"

namespace {

// The one document being written; released when the library unloads.
std::shared_ptr<CXmlFileStream> gStream;
std::unique_ptr<CXmlWriter> gWriter;

// Thrown texts live here until the next failure.
char gNarrowMessage[120];
wchar_t gWideMessage[200];

unsigned long codeOf(HRESULT hr)
{
    return static_cast<unsigned long>(static_cast<std::uint32_t>(hr));
}

// Throws "<text>, error is <code as eight hex digits>" as char*.
[[noreturn]] void throwNarrow(const char* text, HRESULT hr)
{
    std::snprintf(gNarrowMessage, sizeof gNarrowMessage, "%s, error is %08lx", text, codeOf(hr));
    throw static_cast<char*>(gNarrowMessage);
}

// Throws "<text>, error is <code as eight hex digits>" as wchar_t*.
[[noreturn]] void throwWide(const wchar_t* text, HRESULT hr)
{
    std::swprintf(gWideMessage, std::size(gWideMessage), L"%ls, error is %08lx", text, codeOf(hr));
    throw static_cast<wchar_t*>(gWideMessage);
}

void checkNarrow(HRESULT hr, const char* text)
{
    if (xmlFailed(hr))
        throwNarrow(text, hr);
}

// A call on the module's writer; with no document open it fails as the
// call would on a writer without output.
CXmlWriter& writer()
{
    static CXmlWriter unopened;
    return gWriter ? *gWriter : unopened;
}

// Narrow text is UTF-8 in this program, so UTF-8 stands for the system's
// code page here; the C character set (ASCII) if UTF-8 is not available.
locale_t narrowCharacterSet()
{
    static locale_t charset = [] {
        locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
        return utf8 ? utf8 : newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
    }();
    return charset;
}

// Converts text into out (room for length + 1 characters); false when a
// byte sequence is not valid in that character set.
bool convertNarrowText(const char* text, size_t length, wchar_t* out)
{
    locale_t charset = narrowCharacterSet();
    if (charset == static_cast<locale_t>(0))
        return false;
    locale_t previous = uselocale(charset);
    std::mbstate_t state{};
    const char* source = text;
    size_t converted = std::mbsrtowcs(out, &source, length + 1, &state);
    uselocale(previous);
    return converted != static_cast<size_t>(-1);
}

// The "generated" time stamp of the office-data layout, local time.
std::wstring timeStamp()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    wchar_t text[32];
    std::wcsftime(text, std::size(text), L"%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

void checkWide(HRESULT hr, const wchar_t* text)
{
    if (xmlFailed(hr))
        throwWide(text, hr);
}

// The office-data layout's namespaces and the time the file was made.
std::wstring dataRootText()
{
    return L"xmlns:od=\"urn:schemas-microsoft-com:officedata\" "
           L"xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" generated=\""
        + timeStamp() + L"\"";
}

void writeIsotropic(const CXmlIsotropic& material)
{
    xmlStartElement(L"tblIsotropic");
    writeStrAttribute(L"Name", material.name.c_str());
    writeStrAttribute(L"Alloy", material.name.c_str());
    const struct {
        const wchar_t* name;
        double value;
    } numbers[] = {
        {L"E", material.E},     {L"G", material.G},     {L"v", material.v},
        {L"Fcu", material.Fcu}, {L"Fcy", material.Fcy}, {L"Fsu", material.Fsu},
        {L"Fsy", material.Fsy}, {L"Ftg", material.Ftg}, {L"Ftu", material.Ftu},
        {L"r", material.r},     {L"g", material.g},     {L"b", material.b},
        {L"density", material.density},
    };
    for (const auto& number : numbers)
        writeDblAttribute(number.name, number.value);
    xmlFullEndElement();
}

}

int xmlOpenStream(const wchar_t* path)
{
    gWriter.reset();
    gStream.reset();
    checkNarrow(CreateStreamOnFile(path, XmlStreamMode::CreateWrite, gStream), "Error creating file writer");
    checkNarrow(CreateXmlWriter(gWriter), "Error creating xml writer");
    checkNarrow(gWriter->SetOutput(gStream), "Error, Method: SetOutput");
    checkNarrow(gWriter->SetIndent(true), "Error, Method: SetProperty XmlWriterProperty_Indent");
    return -1;
}

int xmlStartElement(const wchar_t* name)
{
    checkNarrow(writer().StartElement(name), "Error, Method: WriteStartElement");
    return -1;
}

void writeStrAttribute(const wchar_t* name, const wchar_t* value)
{
    checkWide(writer().WriteAttribute(name, value), L"Error, Method: WriteAttributeString");
}

void writeDblAttribute(const wchar_t* name, double value)
{
    // "%g" of the C locale: to_chars never looks at the user's locale.
    char text[100];
    std::to_chars_result formatted = std::to_chars(text, text + sizeof text - 1, value,
                                                   std::chars_format::general, 6);
    *formatted.ptr = '\0';
    std::unique_ptr<wchar_t[]> wide(AsciiToUnicode(text));
    if (!wide)
        throwWide(L"Error, Method: WriteAttributeString", XML_E_OUTOFMEMORY);
    checkWide(writer().WriteAttribute(name, wide.get()), L"Error, Method: WriteAttributeString");
}

int xmlFullEndElement()
{
    checkNarrow(writer().FullEndElement(), "Error, Method: WriteFullEndElement");
    writer().Flush();
    return -1;
}

int xmlEndDocument()
{
    CXmlWriter& current = writer();
    checkNarrow(current.EndDocument(), "Error, Method: WriteEndDocument");
    checkNarrow(current.Flush(), "Error, Method: Flush");
    return -1;
}

wchar_t* AsciiToUnicode(const char* text)
{
    if (text == nullptr)
        return nullptr;
    size_t length = std::strlen(text);
    wchar_t* wide = new (std::nothrow) wchar_t[length + 1];
    if (wide == nullptr)
        return nullptr;
    if (!convertNarrowText(text, length, wide)) {
        delete[] wide;
        return nullptr;
    }
    return wide;
}

int xmlWriteIsotropics(std::vector<CXmlIsotropic*>* materials, const wchar_t* path)
{
    xmlOpenStream(path);
    checkNarrow(gWriter->StartDocument(), "Error, Method: WriteStartDocument");
    checkNarrow(gWriter->WriteDTD(L"dataroot", nullptr, nullptr, nullptr), "Error, Method: WriteDocType");
    checkNarrow(gWriter->WritePI(L"dataroot", dataRootText().c_str()),
                "Error, Method: WriteProcessingInstruction");
    xmlStartElement(L"dataroot");
    if (materials != nullptr) {
        for (const CXmlIsotropic* material : *materials) {
            if (material != nullptr)
                writeIsotropic(*material);
        }
    }
    // Close the root so that the file is a complete document.
    xmlFullEndElement();
    xmlEndDocument();
    return 0;
}
