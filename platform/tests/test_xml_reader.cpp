// The XML pull reader.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include <libxml/parserInternals.h>

#include "platform/tests/test_xml_files.h"
#include "platform/xml/CXmlReader.h"
#include "platform/xml/CXmlWriter.h"

namespace {

std::unique_ptr<CXmlReader> openReader(const std::filesystem::path& path)
{
    std::shared_ptr<CXmlFileStream> stream;
    EXPECT_EQ(CreateStreamOnFile(path.wstring().c_str(), XmlStreamMode::Read, stream), S_OK);
    std::unique_ptr<CXmlReader> reader;
    EXPECT_EQ(CreateXmlReader(reader), S_OK);
    EXPECT_EQ(reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit), S_OK);
    EXPECT_EQ(reader->SetInput(stream), S_OK);
    return reader;
}

std::filesystem::path fixture(const char* name)
{
    return std::filesystem::path(LORIMANT_TEST_DATA) / "xml" / name;
}

using Getter = HRESULT (CXmlReader::*)(const wchar_t**, UINT*);

// The text a getter hands out, checked against the length it reports.
std::wstring text(CXmlReader& reader, Getter getter)
{
    const wchar_t* text = nullptr;
    UINT length = 12345;
    EXPECT_EQ((reader.*getter)(&text, &length), S_OK);
    if (text == nullptr)
        return L"<null>";
    EXPECT_EQ(length, std::wcslen(text));
    return text;
}

using Node = std::tuple<int, std::wstring, std::wstring>;

// Every node up to the end: type, prefix and local name.
std::vector<Node> walk(CXmlReader& reader, HRESULT& last)
{
    std::vector<Node> nodes;
    XmlNodeType type;
    while ((last = reader.Read(&type)) == S_OK)
        nodes.emplace_back(type, text(reader, &CXmlReader::GetPrefix), text(reader, &CXmlReader::GetLocalName));
    EXPECT_EQ(type, XmlNodeType_None);
    return nodes;
}

// Records every outside file or address that libxml2 is asked to load.
class LoadRecorder {
public:
    LoadRecorder() : previous_(xmlGetExternalEntityLoader()) { xmlSetExternalEntityLoader(&record); }
    ~LoadRecorder() { xmlSetExternalEntityLoader(previous_); }
    static std::vector<std::string>& loads()
    {
        static std::vector<std::string> urls;
        return urls;
    }

private:
    static xmlParserInputPtr record(const char* url, const char* id, xmlParserCtxtPtr)
    {
        loads().push_back(url ? url : id ? id : "?");
        return nullptr;
    }
    xmlExternalEntityLoader previous_;
};

constexpr int E = XmlNodeType_Element;
constexpr int End = XmlNodeType_EndElement;
constexpr int Ws = XmlNodeType_Whitespace;

}

TEST(XmlReader, WalksElementsWithPrefixesAndLocalNames)
{
    auto reader = openReader(fixture("walk.xml"));
    HRESULT last = S_OK;
    std::vector<Node> expected = {
        {E, L"", L"SectionPropertiesExport"}, {Ws, L"", L""},
        {XmlNodeType_Comment, L"", L""},      {Ws, L"", L""},
        {E, L"", L"Area"},                    {End, L"", L"Area"},
        {Ws, L"", L""},                       {E, L"q", L"Pang"},
        {Ws, L"", L""},                       {E, L"", L"Text"},
        {XmlNodeType_Text, L"", L""},         {End, L"", L"Text"},
        {Ws, L"", L""},                       {End, L"", L"SectionPropertiesExport"},
    };
    EXPECT_EQ(walk(*reader, last), expected);
    EXPECT_EQ(last, S_FALSE);
    EXPECT_EQ(reader->Read(nullptr), S_FALSE);
}

TEST(XmlReader, FindsAttributesAndReportsMissingOnesAsAbsent)
{
    auto reader = openReader(fixture("walk.xml"));
    // Standing on no node yet is an error, not an absent attribute.
    EXPECT_TRUE(xmlFailed(reader->MoveToAttributeByName(L"SectionName", nullptr)));
    const wchar_t* unused = nullptr;
    EXPECT_TRUE(xmlFailed(reader->GetLocalName(&unused, nullptr)));

    XmlNodeType type;
    ASSERT_EQ(reader->Read(&type), S_OK);
    ASSERT_EQ(reader->MoveToAttributeByName(L"SectionName", nullptr), S_OK);
    EXPECT_EQ(text(*reader, &CXmlReader::GetValue), L"Beam 1");

    // Skip to <Area>.
    while (reader->Read(&type) == S_OK && text(*reader, &CXmlReader::GetLocalName) != L"Area") {
    }
    ASSERT_EQ(type, XmlNodeType_Element);
    EXPECT_EQ(text(*reader, &CXmlReader::GetValue), L"");
    EXPECT_EQ(reader->MoveToAttributeByName(L"Value", L""), S_OK);
    EXPECT_EQ(reader->GetNodeType(&type), S_OK);
    EXPECT_EQ(type, XmlNodeType_Attribute);
    EXPECT_EQ(text(*reader, &CXmlReader::GetLocalName), L"Value");
    EXPECT_EQ(text(*reader, &CXmlReader::GetValue), L"12.5");
    EXPECT_EQ(reader->MoveToAttributeByName(L"Dimension", nullptr), S_OK);
    EXPECT_EQ(text(*reader, &CXmlReader::GetValue), L"cm^2");
    // Absent: the position stays on the attribute found last.
    EXPECT_EQ(reader->MoveToAttributeByName(L"Missing", nullptr), S_FALSE);
    EXPECT_EQ(text(*reader, &CXmlReader::GetLocalName), L"Dimension");
    EXPECT_EQ(reader->MoveToElement(), S_OK);
    EXPECT_EQ(text(*reader, &CXmlReader::GetLocalName), L"Area");
    EXPECT_EQ(reader->MoveToAttributeByName(nullptr, nullptr), E_INVALIDARG);

    // The end tag of <Area> has no attributes.
    ASSERT_EQ(reader->Read(&type), S_OK);
    ASSERT_EQ(type, XmlNodeType_EndElement);
    EXPECT_EQ(reader->MoveToAttributeByName(L"Value", nullptr), S_FALSE);

    // <q:Pang Value="-0.25"/>: the attribute is in no namespace.
    while (reader->Read(&type) == S_OK && type != XmlNodeType_Element) {
    }
    EXPECT_EQ(reader->MoveToAttributeByName(L"Value", L"urn:lorimant:test"), S_FALSE);
    EXPECT_EQ(reader->MoveToAttributeByName(L"Value", nullptr), S_OK);
    EXPECT_EQ(text(*reader, &CXmlReader::GetValue), L"-0.25");

    // Text content comes with its references resolved.
    while (reader->Read(&type) == S_OK && type != XmlNodeType_Text) {
    }
    EXPECT_EQ(text(*reader, &CXmlReader::GetValue), L"x & y");
}

TEST(XmlReader, StopsAtADocumentTypeDeclaration)
{
    auto reader = openReader(fixture("doctype.xml"));
    testing::internal::CaptureStderr();
    XmlNodeType type;
    EXPECT_EQ(reader->Read(&type), XML_E_DTDPROHIBITED);
    EXPECT_EQ(type, XmlNodeType_None);
    EXPECT_EQ(reader->Read(&type), XML_E_DTDPROHIBITED);
    const wchar_t* name = nullptr;
    EXPECT_EQ(reader->GetLocalName(&name, nullptr), XML_E_DTDPROHIBITED);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(XmlReader, ReadsNothingOutsideTheFile)
{
    XmlScratchFolder folder;
    ASSERT_TRUE(folder.ok());
    writeXmlTestFile(folder.file("secret.txt"), "SECRET-MARKER");
    writeXmlTestFile(folder.file("outside.dtd"), "<!ENTITY inner \"DTD-MARKER\">");
    std::string secret = "file://" + folder.file("secret.txt").string();
    std::string outside = "file://" + folder.file("outside.dtd").string();
    writeXmlTestFile(folder.file("entity.xml"),
                     "<!DOCTYPE r SYSTEM \"" + outside + "\" [\n"
                     "  <!ENTITY e SYSTEM \"" + secret + "\">\n"
                     "  <!ENTITY % p SYSTEM \"" + outside + "\"> %p;\n"
                     "  <!ENTITY remote SYSTEM \"http://192.0.2.1/x\">\n"
                     "]>\n"
                     "<r a=\"&inner;\">&e;&remote;</r>\n");

    LoadRecorder::loads().clear();
    LoadRecorder recorder;
    auto reader = openReader(folder.file("entity.xml"));
    testing::internal::CaptureStderr();
    HRESULT last = S_OK;
    std::vector<Node> nodes = walk(*reader, last);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(last, XML_E_DTDPROHIBITED);
    EXPECT_TRUE(nodes.empty());
    EXPECT_TRUE(LoadRecorder::loads().empty()) << LoadRecorder::loads().front();
    EXPECT_EQ(reader->errorText().find("MARKER"), std::string::npos);
}

TEST(XmlReader, BrokenInputGivesTheNodesBeforeTheBreakThenAFailure)
{
    auto reader = openReader(fixture("truncated.xml"));
    testing::internal::CaptureStderr();
    HRESULT last = S_OK;
    std::vector<Node> nodes = walk(*reader, last);
    EXPECT_EQ(last, XML_E_PARSE);
    // The parser may look ahead past the blanks before the break.
    std::vector<Node> expected = {
        {E, L"", L"SectionPropertiesExport"}, {Ws, L"", L""},
        {E, L"", L"Area"},                    {End, L"", L"Area"},
    };
    ASSERT_GE(nodes.size(), expected.size());
    EXPECT_LE(nodes.size(), expected.size() + 1);
    nodes.resize(expected.size());
    EXPECT_EQ(nodes, expected);
    EXPECT_EQ(reader->Read(nullptr), XML_E_PARSE);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_NE(reader->errorText(), "");
}

TEST(XmlReader, RefusesUnknownPropertiesAndASecondInput)
{
    std::unique_ptr<CXmlReader> reader;
    ASSERT_EQ(CreateXmlReader(reader), S_OK);
    EXPECT_EQ(reader->Read(nullptr), XML_E_UNEXPECTED);
    EXPECT_EQ(reader->SetProperty(XmlReaderProperty_DtdProcessing, 1), E_INVALIDARG);
    EXPECT_EQ(reader->SetInput(nullptr), E_INVALIDARG);
    std::shared_ptr<CXmlFileStream> stream;
    ASSERT_EQ(CreateStreamOnFile(fixture("walk.xml").wstring().c_str(), XmlStreamMode::Read, stream), S_OK);
    EXPECT_EQ(reader->SetInput(stream), S_OK);
    EXPECT_EQ(reader->SetInput(stream), XML_E_UNEXPECTED);
}

TEST(XmlReader, ReadsBackWhatTheWriterWrote)
{
    XmlScratchFolder folder;
    ASSERT_TRUE(folder.ok());
    const wchar_t* name = L"Tr\u00e4ger \u03c3 \U0001D4D0 \"1\" & <2>";
    {
        std::shared_ptr<CXmlFileStream> stream;
        ASSERT_EQ(CreateStreamOnFile(folder.file("round.xml").wstring().c_str(), XmlStreamMode::CreateWrite, stream), S_OK);
        CXmlWriter writer;
        ASSERT_EQ(writer.SetOutput(stream), S_OK);
        writer.StartElement(L"SectionPropertiesExport");
        writer.WriteAttribute(L"SectionName", name);
        writer.EndDocument();
        ASSERT_EQ(writer.Flush(), S_OK);
    }
    auto reader = openReader(folder.file("round.xml"));
    ASSERT_EQ(reader->Read(nullptr), S_OK);
    ASSERT_EQ(reader->MoveToAttributeByName(L"SectionName", nullptr), S_OK);
    EXPECT_EQ(text(*reader, &CXmlReader::GetValue), name);
}
