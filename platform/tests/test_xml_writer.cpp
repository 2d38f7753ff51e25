// The XML writer and the file streams under it.
#include <gtest/gtest.h>

#include "platform/core/CString.h"
#include "platform/tests/test_xml_files.h"
#include "platform/xml/CXmlFileStream.h"
#include "platform/xml/CXmlWriter.h"

namespace {

class XmlWriterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.ok()); }

    // A writer on a new file of the scratch folder, indented.
    std::unique_ptr<CXmlWriter> open(const std::string& name)
    {
        std::shared_ptr<CXmlFileStream> stream;
        EXPECT_EQ(CreateStreamOnFile(folder.file(name).wstring().c_str(), XmlStreamMode::CreateWrite, stream), S_OK);
        std::unique_ptr<CXmlWriter> writer;
        EXPECT_EQ(CreateXmlWriter(writer), S_OK);
        EXPECT_EQ(writer->SetIndent(true), S_OK);
        EXPECT_EQ(writer->SetOutput(stream), S_OK);
        return writer;
    }

    XmlScratchFolder folder;
};

}

TEST_F(XmlWriterTest, WritesIndentedElementsWithFullEndTagsAndEscapedValues)
{
    auto writer = open("doc.xml");
    EXPECT_EQ(writer->StartElement(L"SectionPropertiesExport"), S_OK);
    EXPECT_EQ(writer->WriteAttribute(L"SectionName", L"Beam \"A\" <1> & M\u00fcller"), S_OK);
    EXPECT_EQ(writer->StartElement(L"Area"), S_OK);
    EXPECT_EQ(writer->WriteAttribute(L"Value", L"1"), S_OK);
    EXPECT_EQ(writer->WriteAttribute(L"Dimension", nullptr), S_OK);
    EXPECT_EQ(writer->FullEndElement(), S_OK);
    EXPECT_EQ(writer->StartElement(L"Empty"), S_OK);
    EXPECT_EQ(writer->FullEndElement(), S_OK);
    EXPECT_EQ(writer->FullEndElement(), S_OK);
    EXPECT_EQ(writer->EndDocument(), S_OK);
    EXPECT_EQ(writer->Flush(), S_OK);

    // No declaration, two blanks per level, no empty-element tags.
    EXPECT_EQ(readXmlTestFile(folder.file("doc.xml")),
              "<SectionPropertiesExport SectionName=\"Beam &quot;A&quot; &lt;1&gt; &amp; M&#xFC;ller\">\n"
              "  <Area Value=\"1\" Dimension=\"\"></Area>\n"
              "  <Empty></Empty>\n"
              "</SectionPropertiesExport>\n");
    EXPECT_TRUE(xmllintAccepts(folder.file("doc.xml")));
}

TEST_F(XmlWriterTest, WritesDeclarationDocumentTypeAndProcessingInstruction)
{
    auto writer = open("prolog.xml");
    EXPECT_EQ(writer->StartDocument(), S_OK);
    EXPECT_EQ(writer->WriteDTD(L"dataroot", nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(writer->WritePI(L"dataroot", L"generated=\"now\""), S_OK);
    EXPECT_EQ(writer->StartElement(L"dataroot"), S_OK);
    EXPECT_EQ(writer->EndDocument(), S_OK);
    EXPECT_EQ(writer->Flush(), S_OK);
    EXPECT_EQ(readXmlTestFile(folder.file("prolog.xml")),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<!DOCTYPE dataroot>\n"
              "<?dataroot generated=\"now\"?>\n"
              "<dataroot></dataroot>\n");
    EXPECT_TRUE(xmllintAccepts(folder.file("prolog.xml")));
}

TEST_F(XmlWriterTest, DroppedWriterLeavesOnlyWhatWasFlushed)
{
    auto writer = open("cut.xml");
    writer->StartElement(L"root");
    writer->StartElement(L"a");
    writer->FullEndElement();
    EXPECT_EQ(writer->Flush(), S_OK);
    writer->StartElement(L"b");
    writer->WriteAttribute(L"x", L"1");
    writer.reset();
    EXPECT_EQ(readXmlTestFile(folder.file("cut.xml")), "<root>\n  <a></a>\n");
}

TEST_F(XmlWriterTest, RefusesCallsOutOfOrderWithoutPrinting)
{
    std::unique_ptr<CXmlWriter> unopened;
    ASSERT_EQ(CreateXmlWriter(unopened), S_OK);
    EXPECT_EQ(unopened->StartElement(L"a"), XML_E_UNEXPECTED);
    EXPECT_EQ(unopened->Flush(), XML_E_UNEXPECTED);

    auto writer = open("bad.xml");
    testing::internal::CaptureStderr();
    EXPECT_EQ(writer->StartElement(nullptr), E_INVALIDARG);
    EXPECT_EQ(writer->WriteAttribute(L"", L"v"), E_INVALIDARG);
    EXPECT_EQ(writer->FullEndElement(), XML_E_INVALIDACTION);
    EXPECT_EQ(writer->WriteAttribute(L"a", L"v"), XML_E_INVALIDACTION);
    EXPECT_EQ(writer->StartElement(L"root"), S_OK);
    EXPECT_EQ(writer->StartDocument(), XML_E_INVALIDACTION);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_NE(writer->errorText(), "");
    EXPECT_EQ(writer->SetOutput(nullptr), E_INVALIDARG);
}

TEST_F(XmlWriterTest, RefusesNamesAndCharactersThatXmlDoesNotAllow)
{
    auto writer = open("chars.xml");
    ASSERT_EQ(writer->StartElement(L"root"), S_OK);
    struct NameCase {
        const wchar_t* name;
        HRESULT expected;
    } names[] = {
        {L"bad name", XML_E_NAMECHARACTER},
        {L"1x", XML_E_NAMECHARACTER},
        {L"-x", XML_E_NAMECHARACTER},
        {L"od:x", XML_E_NAMECHARACTER}, // no prefixes here
        {L"a<b", XML_E_NAMECHARACTER},
        {L"_x-1.b·", S_OK},
        {L"Ärea", S_OK},
    };
    for (const NameCase& c : names) {
        SCOPED_TRACE(CStringA(c.name).str());
        EXPECT_EQ(writer->StartElement(c.name), c.expected);
        if (c.expected == S_OK) {
            EXPECT_EQ(writer->FullEndElement(), S_OK);
        } else {
            EXPECT_EQ(writer->WritePI(c.name, L"x"), c.expected);
        }
    }
    ASSERT_EQ(writer->StartElement(L"v"), S_OK);
    EXPECT_EQ(writer->WriteAttribute(L"bad name", L"x"), XML_E_NAMECHARACTER);
    // Control characters other than tab, line feed and carriage return, the
    // two non-characters at the end of the first plane and lone surrogates.
    for (const wchar_t* value : {L"a\x01", L"\x1F", L"x\uFFFE", L"\uFFFF"})
        EXPECT_EQ(writer->WriteAttribute(L"x", value), XML_E_XMLCHARACTER);
    const wchar_t loneSurrogate[] = {L'a', static_cast<wchar_t>(0xD800), L'\0'};
    EXPECT_EQ(writer->WriteAttribute(L"x", loneSurrogate), XML_E_XMLCHARACTER);
    EXPECT_EQ(writer->WritePI(L"pi", L"\x02"), XML_E_XMLCHARACTER);
    const wchar_t astral[] = {L'\t', static_cast<wchar_t>(0x1F600), L'\0'};
    EXPECT_EQ(writer->WriteAttribute(L"ok", astral), S_OK);
    EXPECT_EQ(writer->EndDocument(), S_OK);
    EXPECT_EQ(writer->Flush(), S_OK);

    // Nothing refused reached the file, which stays well-formed.
    EXPECT_EQ(readXmlTestFile(folder.file("chars.xml")),
              "<root>\n"
              "  <_x-1.b\xC2\xB7></_x-1.b\xC2\xB7>\n"
              "  <\xC3\x84rea></\xC3\x84rea>\n"
              "  <v ok=\"&#9;&#x1F600;\"></v>\n"
              "</root>\n");
    EXPECT_TRUE(xmllintAccepts(folder.file("chars.xml")));
}

TEST_F(XmlWriterTest, FileStreamFailuresCarryTheSystemErrorCode)
{
    std::shared_ptr<CXmlFileStream> stream;
    // 0x8007xxxx wraps a system error number of the Windows platform: 2 is
    // "file not found", 5 "access denied" (what opening a folder as a file gives).
    struct Case {
        std::filesystem::path path;
        XmlStreamMode mode;
        HRESULT expected;
    } cases[] = {
        {folder.file("missing/out.xml"), XmlStreamMode::CreateWrite, static_cast<HRESULT>(0x80070002u)},
        {folder.file("absent.xml"), XmlStreamMode::Read, static_cast<HRESULT>(0x80070002u)},
        {folder.file(""), XmlStreamMode::CreateWrite, static_cast<HRESULT>(0x80070005u)},
        {folder.file(""), XmlStreamMode::Read, static_cast<HRESULT>(0x80070005u)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.string());
        EXPECT_EQ(CreateStreamOnFile(c.path.wstring().c_str(), c.mode, stream), c.expected);
        EXPECT_FALSE(stream);
    }
    EXPECT_EQ(CreateStreamOnFile(nullptr, XmlStreamMode::Read, stream), E_INVALIDARG);
    EXPECT_EQ(CreateStreamOnFile(L"", XmlStreamMode::CreateWrite, stream), E_INVALIDARG);
}

TEST_F(XmlWriterTest, CreatingTruncatesAnExistingFile)
{
    writeXmlTestFile(folder.file("old.xml"), "old content that is longer");
    auto writer = open("old.xml");
    writer->StartElement(L"n");
    writer->EndDocument();
    writer->Flush();
    EXPECT_EQ(readXmlTestFile(folder.file("old.xml")), "<n></n>\n");
}
