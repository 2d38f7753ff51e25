// Ostrevan's exports: documents written through the module-wide writer.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <functional>
#include <vector>

#include "ostrevan/Ostrevan.h"
#include "platform/tests/test_xml_files.h"
#include "platform/xml/CXmlReader.h"

namespace {

class OstrevanTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.ok()); }
    std::wstring path(const std::string& name) const { return folder.file(name).wstring(); }
    std::string bytes(const std::string& name) const { return readXmlTestFile(folder.file(name)); }

    XmlScratchFolder folder;
};

// Sets the whole process locale for one scope.
class ProcessLocale {
public:
    explicit ProcessLocale(const char* name) : previous_(std::setlocale(LC_ALL, nullptr))
    {
        ok_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ProcessLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    bool ok() const { return ok_; }

private:
    std::string previous_;
    bool ok_;
};

// Runs a call and gives the text it threw as char* or wchar_t* (wide texts
// marked "W:"), or "" when it threw nothing.
template <class Call>
std::string thrownText(Call call)
{
    try {
        call();
    } catch (const char* text) {
        return text;
    } catch (const wchar_t* text) {
        std::string narrow = "W:";
        for (const wchar_t* c = text; *c; ++c)
            narrow += static_cast<char>(*c);
        return narrow;
    }
    return "";
}

struct Formatted {
    double value;
    const char* text;
};

// "%g": six significant digits, exponent form below 1e-4 and from 1e6 on.
constexpr Formatted kFormatted[] = {
    {0.1, "0.1"},
    {1e-8, "1e-08"},
    {123456789.0, "1.23457e+08"},
    {0.0001, "0.0001"},
    {0.00001234, "1.234e-05"},
    {999999.0, "999999"},
    {1e6, "1e+06"},
    {-2.5, "-2.5"},
    {0.0, "0"},
    {2.0 / 3.0, "0.666667"},
};

// Writes every value of kFormatted as an attribute of its own empty element
// and gives the bytes that must come out.
std::string writeFormattedDocument(const std::wstring& file)
{
    xmlOpenStream(file.c_str());
    xmlStartElement(L"Values");
    std::string expected = "<Values>\n";
    for (const Formatted& f : kFormatted) {
        xmlStartElement(L"v");
        writeDblAttribute(L"x", f.value);
        xmlFullEndElement();
        expected += std::string("  <v x=\"") + f.text + "\"></v>\n";
    }
    xmlFullEndElement();
    xmlEndDocument();
    return expected + "</Values>\n";
}

}

TEST_F(OstrevanTest, NumbersAreWrittenAsPrintfGeneralFormatInEveryLocale)
{
    std::string expected = writeFormattedDocument(path("c.xml"));
    EXPECT_EQ(bytes("c.xml"), expected);
    EXPECT_TRUE(xmllintAccepts(folder.file("c.xml")));

    ProcessLocale german("de_DE.UTF-8");
    ASSERT_TRUE(german.ok()) << "the German locale is missing: run tools/install-deps";
    char decimal[16];
    std::snprintf(decimal, sizeof decimal, "%g", 0.1);
    ASSERT_STREQ(decimal, "0,1") << "the locale does not use a decimal comma";
    EXPECT_EQ(writeFormattedDocument(path("de.xml")), expected);
    EXPECT_EQ(bytes("de.xml"), expected);
}

TEST_F(OstrevanTest, SecondOpenLeavesTheFirstFileWithTheElementsClosedSoFar)
{
    xmlOpenStream(path("first.xml").c_str());
    xmlStartElement(L"SectionPropertiesExport");
    writeStrAttribute(L"SectionName", L"S1");
    xmlStartElement(L"Area");
    writeDblAttribute(L"Value", 8.0);
    xmlFullEndElement();
    xmlStartElement(L"CGx");
    writeDblAttribute(L"Value", 1.0);

    EXPECT_EQ(xmlOpenStream(path("second.xml").c_str()), -1);
    EXPECT_EQ(bytes("first.xml"),
              "<SectionPropertiesExport SectionName=\"S1\">\n"
              "  <Area Value=\"8\"></Area>\n");

    EXPECT_EQ(xmlStartElement(L"Empty"), -1);
    EXPECT_EQ(xmlEndDocument(), -1);
    EXPECT_EQ(bytes("second.xml"), "<Empty></Empty>\n");
}

TEST_F(OstrevanTest, ExportReadsBackAndPassesXmllint)
{
    // A 2 x 4 rectangle: area 8, centroidal Ixx = b h^3 / 12 = 32/3.
    xmlOpenStream(path("export.xml").c_str());
    xmlStartElement(L"SectionPropertiesExport");
    writeStrAttribute(L"SectionName", L"Rect 2x4");
    xmlStartElement(L"GeometricSectionProperties");
    writeStrAttribute(L"Description", L"Area based section properties (not accounting for mass)");
    xmlStartElement(L"Area");
    writeStrAttribute(L"Description", L"Area");
    writeDblAttribute(L"Value", 2.0 * 4.0);
    writeStrAttribute(L"Dimension", L"cm^2");
    xmlFullEndElement();
    xmlStartElement(L"IxxC");
    writeStrAttribute(L"Description", L"Moment of inertia about the centroidal X axis");
    writeDblAttribute(L"Value", 2.0 * 4.0 * 4.0 * 4.0 / 12.0);
    writeStrAttribute(L"Dimension", L"cm^4");
    xmlFullEndElement();
    xmlFullEndElement();
    xmlEndDocument();

    EXPECT_EQ(bytes("export.xml"),
              "<SectionPropertiesExport SectionName=\"Rect 2x4\">\n"
              "  <GeometricSectionProperties Description=\"Area based section properties (not accounting for mass)\">\n"
              "    <Area Description=\"Area\" Value=\"8\" Dimension=\"cm^2\"></Area>\n"
              "    <IxxC Description=\"Moment of inertia about the centroidal X axis\" Value=\"10.6667\" "
              "Dimension=\"cm^4\"></IxxC>\n"
              "  </GeometricSectionProperties>\n"
              "</SectionPropertiesExport>\n");
    EXPECT_TRUE(xmllintAccepts(folder.file("export.xml")));

    std::shared_ptr<CXmlFileStream> stream;
    ASSERT_EQ(CreateStreamOnFile(path("export.xml").c_str(), XmlStreamMode::Read, stream), S_OK);
    CXmlReader reader;
    ASSERT_EQ(reader.SetInput(stream), S_OK);
    std::vector<std::wstring> values;
    XmlNodeType type;
    while (reader.Read(&type) == S_OK) {
        const wchar_t* text = nullptr;
        if (type == XmlNodeType_Element && reader.MoveToAttributeByName(L"Value", nullptr) == S_OK
            && reader.GetValue(&text, nullptr) == S_OK)
            values.emplace_back(text);
    }
    EXPECT_EQ(values, (std::vector<std::wstring>{L"8", L"10.6667"}));
}

TEST_F(OstrevanTest, AsciiToUnicodeGivesANewTerminatedArray)
{
    std::unique_ptr<wchar_t[]> empty(AsciiToUnicode(""));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty[0], L'\0');
    std::unique_ptr<wchar_t[]> text(AsciiToUnicode("1.23457e+08"));
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text.get(), L"1.23457e+08");
    std::unique_ptr<wchar_t[]> accented(AsciiToUnicode("M\xC3\xBCller"));
    ASSERT_NE(accented, nullptr);
    EXPECT_STREQ(accented.get(), L"M\u00FCller");
    EXPECT_EQ(AsciiToUnicode(nullptr), nullptr);
    EXPECT_EQ(AsciiToUnicode("bad \xFF byte"), nullptr);
}

// The codes: 80070002 and 80070005 wrap the system errors "file not found"
// and "access denied", 80070057 is E_INVALIDARG, 8000ffff E_UNEXPECTED,
// c00cee2c and c00cee2b the XML writer's "illegal name character" and
// "illegal xml character"; 80040201 is the layer's own code for a call the
// writer does not allow in its position.
TEST_F(OstrevanTest, FailuresThrowTheirTextWithTheCode)
{
    struct Case {
        const char* what;
        std::function<void()> call;
        std::string text;
    } cases[] = {
        {"missing folder", [&] { xmlOpenStream(path("no/such/folder.xml").c_str()); },
         "Error creating file writer, error is 80070002"},
        {"a folder", [&] { xmlOpenStream(path("").c_str()); },
         "Error creating file writer, error is 80070005"},
        {"no path", [] { xmlOpenStream(nullptr); }, "Error creating file writer, error is 80070057"},
        // The failed open dropped the document before.
        {"no document", [] { xmlStartElement(L"a"); }, "Error, Method: WriteStartElement, error is 8000ffff"},
        {"no document", [] { writeDblAttribute(L"a", 1.0); },
         "W:Error, Method: WriteAttributeString, error is 8000ffff"},
        {"no document", [] { xmlEndDocument(); }, "Error, Method: WriteEndDocument, error is 8000ffff"},
        {"open", [&] { xmlOpenStream(path("ok.xml").c_str()); }, ""},
        {"no name", [] { xmlStartElement(nullptr); }, "Error, Method: WriteStartElement, error is 80070057"},
        {"no XML name", [] { xmlStartElement(L"Ixx C"); }, "Error, Method: WriteStartElement, error is c00cee2c"},
        {"control character", [] { writeStrAttribute(L"SectionName", L"S\x01"); },
         "W:Error, Method: WriteAttributeString, error is c00cee2b"},
        {"nothing to end", [] { xmlFullEndElement(); }, "Error, Method: WriteFullEndElement, error is 80040201"},
        {"no element", [] { writeStrAttribute(L"a", L"b"); },
         "W:Error, Method: WriteAttributeString, error is 80040201"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(thrownText(c.call), c.text) << c.what;
}

TEST_F(OstrevanTest, IsotropicsAreWrittenAsAnOfficeDataDocument)
{
    CXmlIsotropic aluminium;
    aluminium.name = L"2024-T3";
    aluminium.E = 10.5e6;
    aluminium.G = 4e6;
    aluminium.v = 0.33;
    aluminium.Ftu = 62000;
    aluminium.r = 1.5;
    aluminium.Fcy = 40000;
    aluminium.Fcu = 39000;
    aluminium.Fsy = 23000;
    aluminium.Fsu = 41000;
    aluminium.Ftg = 64000;
    aluminium.density = 0.1;
    aluminium.g = 0.5;
    aluminium.b = 7;
    CXmlIsotropic steel;
    steel.name = L"A36 \"plate\"";
    std::vector<CXmlIsotropic*> materials = {&aluminium, nullptr, &steel};

    EXPECT_EQ(xmlWriteIsotropics(&materials, path("iso.xml").c_str()), 0);
    std::string text = bytes("iso.xml");
    const std::string head =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE dataroot>\n"
        "<?dataroot xmlns:od=\"urn:schemas-microsoft-com:officedata\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" generated=\"";
    const std::string stampShape = "dddd-dd-ddTdd:dd:dd";
    ASSERT_GT(text.size(), head.size() + stampShape.size());
    EXPECT_EQ(text.substr(0, head.size()), head);
    std::string stamp = text.substr(head.size(), stampShape.size());
    for (size_t i = 0; i < stampShape.size(); ++i) {
        bool digit = stamp[i] >= '0' && stamp[i] <= '9';
        EXPECT_TRUE(stampShape[i] == 'd' ? digit : stamp[i] == stampShape[i]) << stamp;
    }
    EXPECT_EQ(text.substr(head.size() + stampShape.size()),
              "\"?>\n"
              "<dataroot>\n"
              "  <tblIsotropic Name=\"2024-T3\" Alloy=\"2024-T3\" E=\"1.05e+07\" G=\"4e+06\" v=\"0.33\" "
              "Fcu=\"39000\" Fcy=\"40000\" Fsu=\"41000\" Fsy=\"23000\" Ftg=\"64000\" Ftu=\"62000\" r=\"1.5\" "
              "g=\"0.5\" b=\"7\" density=\"0.1\"></tblIsotropic>\n"
              "  <tblIsotropic Name=\"A36 &quot;plate&quot;\" Alloy=\"A36 &quot;plate&quot;\" E=\"0\" G=\"0\" "
              "v=\"0\" Fcu=\"0\" Fcy=\"0\" Fsu=\"0\" Fsy=\"0\" Ftg=\"0\" Ftu=\"0\" r=\"0\" g=\"0\" b=\"0\" "
              "density=\"0\"></tblIsotropic>\n"
              "</dataroot>\n");
    EXPECT_TRUE(xmllintAccepts(folder.file("iso.xml")));

    EXPECT_EQ(xmlWriteIsotropics(nullptr, path("none.xml").c_str()), 0);
    EXPECT_NE(bytes("none.xml").find("<dataroot></dataroot>\n"), std::string::npos);
    EXPECT_TRUE(xmllintAccepts(folder.file("none.xml")));
}
