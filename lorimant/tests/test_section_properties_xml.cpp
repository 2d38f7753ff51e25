// The section-property tables, the XML export of section properties, its
// read-back and the automation methods over them.
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

#include "lorimant/analyses/SectionPropertiesXml.h"
#include "lorimant/analyses/SectionPropertyTables.h"
#include "test_automation_objects_support.h"

namespace {

using namespace automation_test;

// The closed forms of a 4 x 2 rectangle with a corner at the origin, by
// automation value identifier (one material, so the elastic values are the
// geometric ones).
// The elastic section moduli 22 to 25 (X, Y, Xp, Yp) are the model's value 60
// (the integral of x squared, 32/3) over the largest |x| from the centroid (2)
// and value 62 (the integral of y squared, 8/3) over the largest |y| (1): X is
// 16/3 and Y 8/3, unlike the second moments, where "about X" is the integral
// of y squared. The principal axes are the centroidal ones, so Xp and Yp repeat
// them.
const std::map<short, double>& rectangleValues()
{
    static const std::map<short, double> values = {
        {1, 8.0},  {2, 2.0},  {3, 1.0},  {11, 0.0}, {10, 8.0 / 3},  {9, 32.0 / 3},   {7, 32.0 / 3},
        {6, 8.0 / 3}, {8, 0.0}, {20, 128.0 / 3}, {19, 32.0 / 3}, {21, 16.0}, {18, 40.0 / 3},
        {29, std::sqrt(5.0 / 3)}, {16, std::sqrt(1.0 / 3)}, {17, std::sqrt(4.0 / 3)}, {14, std::sqrt(1.0 / 3)},
        {15, std::sqrt(4.0 / 3)}, {22, 16.0 / 3}, {23, 8.0 / 3}, {24, 16.0 / 3}, {25, 8.0 / 3},
        {50, 8.0}, {51, 2.0}, {52, 1.0}, {53, 0.0}, {54, 8.0 / 3}, {55, 32.0 / 3}, {68, 0.0}, {56, 8.0 / 3},
        {57, 32.0 / 3},
    };
    return values;
}

// "%g" keeps six significant digits.
void expectSixDigits(double actual, double expected, short id)
{
    EXPECT_NEAR(actual, expected, 1e-5 * std::max(1.0, std::fabs(expected))) << "value id " << id;
}

std::string readText(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

// One exported property: element name, value text and dimension.
struct ExportedRow {
    std::string element, value, dimension;
};

// The text of attribute name in tag; npos in *at when absent.
std::string attribute(const std::string& tag, const std::string& name, std::size_t* at)
{
    *at = tag.find(" " + name + "=\"");
    if (*at == std::string::npos) return {};
    const std::size_t begin = *at + name.size() + 3;
    return tag.substr(begin, tag.find('"', begin) - begin);
}

// The property rows inside the group element of that name, in file order:
// elements with Description, Value and Dimension in that order, closed by
// their own end tag.
std::vector<ExportedRow> groupRows(const std::string& xml, const std::string& group)
{
    const std::size_t begin = xml.find("<" + group + " ");
    const std::size_t end = xml.find("</" + group + ">");
    if (begin == std::string::npos || end == std::string::npos) return {};
    std::vector<ExportedRow> rows;
    for (std::size_t pos = xml.find('<', begin + 1); pos < end; pos = xml.find('<', pos + 1)) {
        if (xml[pos + 1] == '/') continue;
        const std::string tag = xml.substr(pos, xml.find('>', pos) + 1 - pos);
        const std::string element = tag.substr(1, tag.find(' ') - 1);
        std::size_t description = 0, value = 0, dimension = 0;
        ExportedRow row{element, attribute(tag, "Value", &value), attribute(tag, "Dimension", &dimension)};
        attribute(tag, "Description", &description);
        const bool ordered = description < value && value < dimension && dimension != std::string::npos;
        const bool closed = xml.compare(pos + tag.size(), element.size() + 3, "</" + element + ">") == 0;
        if (ordered && closed) rows.push_back(row);
    }
    return rows;
}

std::string narrow(const wchar_t* text) { return CString(text).ToUtf8(); }

class SectionPropertiesXmlTest : public AutomationObjectsTest {
protected:
    void SetUp() override
    {
        AutomationObjectsTest::SetUp();
        SectionPropertySets().clear();
        savedUnits_ = gUnitSystem;
    }
    void TearDown() override
    {
        SectionPropertySets().clear();
        gUnitSystem = savedUnits_;
        AutomationObjectsTest::TearDown();
    }
    // Exports the rectangle's closed forms to a file of the test's folder.
    fs::path exportClosedForms(const char* name, bool withPlastic = false)
    {
        const fs::path file = root_ / name;
        WriteSectionPropertiesXml(CString(file.wstring().c_str()), L"rect4x2",
                                  [](short id) { return rectangleValues().count(id) ? rectangleValues().at(id) : 7.0; },
                                  withPlastic);
        return file;
    }
    // The message of the logic error that reading file throws ("" for none).
    static std::string readFailure(const fs::path& file)
    {
        try {
            ReadSectionPropertiesXml(CString(file.wstring().c_str()));
        } catch (const std::logic_error& e) {
            return e.what();
        }
        return "";
    }

    EUnitSystem savedUnits_ = SI;
};

TEST(SectionPropertyTables, HoldTheThreeGroupsWithValueIdsOfTheAutomationEnumeration)
{
    EXPECT_EQ(GeometricSectionPropertyTable().size(), 22u);
    EXPECT_EQ(ElasticSectionPropertyTable().size(), 9u);
    EXPECT_EQ(PlasticSectionPropertyTable().size(), 24u);
    // Every value id is one the export's closed-form source knows, once each.
    std::map<short, int> seen;
    for (auto table : {GeometricSectionPropertyTable(), ElasticSectionPropertyTable()})
        for (const SectionPropertyRow& row : table) {
            EXPECT_TRUE(rectangleValues().count(row.valueId)) << narrow(row.symbol);
            EXPECT_EQ(++seen[row.valueId], 1) << narrow(row.symbol);
        }
    EXPECT_STREQ(GeometricSectionPropertyTable()[9].description, L"Moment of inertia about  Y axis");
    EXPECT_STREQ(GeometricSectionPropertyTable()[10].unitTemplate, L"lengthUnit^4L");
    EXPECT_STREQ(PlasticSectionPropertyTable()[19].symbol, L"Zmax");
    EXPECT_EQ(PlasticSectionPropertyTable()[19].valueId, 69);
}

TEST(SectionPropertyDimension, PutsTheUnitNamesOfTheUnitSystemIn)
{
    const struct {
        const wchar_t* unitTemplate;
        EUnitSystem units;
        const wchar_t* expected;
    } cases[] = {
        {L"lengthUnit^4", SI, L"cm^4"},          {L"lengthUnit^4", USCS, L"in^4"},
        {L"lengthUnit-forceUnit", SI, L"cm-GPa"}, {L"lengthUnit-forceUnit", USCS, L"in-lbf"},
        {L"lengthUnit^4L", USCS, L"in^4L"},      {L"deg", USCS, L"deg"},
        {L"unitless", SI, L"unitless"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SectionPropertyDimension(c.unitTemplate, c.units), CString(c.expected)) << narrow(c.unitTemplate);
}

TEST_F(SectionPropertiesXmlTest, ExportOfTheRectangleInUsUnitsHasTheGroupsRowsAndUnitsAndIsWellFormed)
{
    gUnitSystem = USCS;
    const fs::path file = exportClosedForms("rect.xml");
    const std::string xml = readText(file);
    EXPECT_NE(xml.find("<SectionPropertiesExport SectionName=\"rect4x2\">"), std::string::npos);
    EXPECT_NE(xml.find("<GeometricSectionProperties Description=\"Area based section properties (not accounting "
                       "for mass)\">"),
              std::string::npos);
    EXPECT_EQ(xml.find("PlasticSectionProperties"), std::string::npos);

    const auto geometric = groupRows(xml, "GeometricSectionProperties");
    const auto elastic = groupRows(xml, "ElasticSectionProperties");
    ASSERT_EQ(geometric.size(), 22u);
    ASSERT_EQ(elastic.size(), 9u);
    const std::pair<std::span<const SectionPropertyRow>, const std::vector<ExportedRow>*> groups[] = {
        {GeometricSectionPropertyTable(), &geometric}, {ElasticSectionPropertyTable(), &elastic}};
    for (const auto& [table, rows] : groups)
        for (std::size_t i = 0; i < table.size(); ++i) {
            EXPECT_EQ((*rows)[i].element, narrow(table[i].symbol));
            EXPECT_EQ((*rows)[i].dimension, SectionPropertyDimension(table[i].unitTemplate, USCS).ToUtf8());
        }
    EXPECT_EQ(geometric[0].dimension, "in^2");
    EXPECT_EQ(geometric[0].value, "8");
    EXPECT_EQ(geometric[10].dimension, "in^4L");
    EXPECT_EQ(geometric[3].dimension, "deg");
    EXPECT_EQ(elastic[4].dimension, "in^4");

    const std::string lint = "xmllint --noout '" + file.string() + "' 2>/dev/null";
    EXPECT_EQ(std::system(lint.c_str()), 0);
}

TEST_F(SectionPropertiesXmlTest, ExportReadsBackEveryValueSectionModuliIncluded)
{
    gUnitSystem = USCS;
    const fs::path file = exportClosedForms("rect.xml");
    std::unique_ptr<SectionPropertiesRecord> record = ReadSectionPropertiesXml(CString(file.wstring().c_str()));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->sectionName, CString(L"rect4x2"));
    for (const auto& [id, value] : rectangleValues()) expectSixDigits(record->value(id), value, id);
    EXPECT_EQ(record->value(12), 0.0);
    EXPECT_EQ(record->value(38), 0.0);  // no plastic group written
}

TEST_F(SectionPropertiesXmlTest, PlasticGroupIsWrittenOnlyWhenAskedWithForceUnits)
{
    gUnitSystem = SI;
    const std::string xml = readText(exportClosedForms("plastic.xml", true));
    const auto plastic = groupRows(xml, "PlasticSectionProperties");
    ASSERT_EQ(plastic.size(), 24u);
    EXPECT_EQ(plastic[12].element, "MxCapacity");
    EXPECT_EQ(plastic[12].dimension, "cm-GPa");
    EXPECT_EQ(plastic[4].dimension, "unitless");
    // A section without material or mesh has no plastic group.
    rectangle(root(), L"r", 4, 2);
    EXPECT_FALSE(PlasticPropertiesAvailable(*root()));
}

TEST_F(SectionPropertiesXmlTest, ReadBackAcceptsBothNamesOfTheSectionModuliAndIgnoresOthers)
{
    const fs::path file = root_ / "names.xml";
    writeText(file,
              "<SectionPropertiesExport SectionName=\"s\"><deep><ElasticSectionModulusXmin Value=\"1\"/>"
              "<ElasticSectionModulusXmax Value=\"2\"/></deep><ElasticSectionModulusYmin Value=\"3\"/>"
              "<Syp Value=\"4\"/><area Value=\"9\"/><Other Value=\"9\"/><Area Value=\"abc\"/>"
              "<EArea Value=\" 1.5e+01\"/></SectionPropertiesExport>");
    std::unique_ptr<SectionPropertiesRecord> record = ReadSectionPropertiesXml(CString(file.wstring().c_str()));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->sectionName, CString(L"s"));
    for (short id = 22; id <= 25; ++id) EXPECT_EQ(record->value(id), id - 21.0);
    EXPECT_EQ(record->value(1), 0.0);
    EXPECT_EQ(record->value(50), 15.0);
}

TEST_F(SectionPropertiesXmlTest, UnreadableFilesFailWithTheirMessageInsteadOfARecordOfZeros)
{
    const std::string good = readText(exportClosedForms("good.xml"));
    const struct {
        const char* file;
        std::string text;
        const char* message;
    } cases[] = {
        {"truncated.xml", good.substr(0, good.size() / 2), "Error reading section properties file"},
        {"mismatched.xml", "<SectionPropertiesExport SectionName=\"a\"><Area Value=\"1\"></Ar>",
         "Error reading section properties file"},
        {"doctype.xml",
         "<?xml version=\"1.0\"?><!DOCTYPE SectionPropertiesExport []>"
         "<SectionPropertiesExport SectionName=\"a\"><Area Value=\"1\"/></SectionPropertiesExport>",
         "Error reading section properties file"},
        {"empty.xml", "", "Error reading section properties file"},
        {"novalue.xml", "<SectionPropertiesExport SectionName=\"a\"><Area Description=\"x\"/></SectionPropertiesExport>",
         "Value attribute not found"},
        {"noname.xml", "<SectionPropertiesExport><Area Value=\"1\"/></SectionPropertiesExport>",
         "Value attribute not found"},
    };
    for (const auto& c : cases) {
        writeText(root_ / c.file, c.text);
        EXPECT_EQ(readFailure(root_ / c.file), c.message) << c.file;
    }
    EXPECT_EQ(readFailure(root_ / "absent.xml"), "Error creating file reader");
}

TEST_F(SectionPropertiesXmlTest, ExportIntoAMissingFolderFailsWithTheWritersTextAndHresult)
{
    const fs::path file = root_ / "no-such-folder" / "out.xml";
    try {
        WriteSectionPropertiesXml(CString(file.wstring().c_str()), L"x", [](short) { return 1.0; }, false);
        FAIL() << "the export succeeded";
    } catch (const char* text) {
        EXPECT_STREQ(text, "Error creating file writer, error is 80070002");
    }
    // Through automation it reaches the caller with code 1.
    rectangle(root(), L"r", 4, 2);
    HRESULT hr = invoke(L"WriteSectionProperties", {COleVariant(CString(file.wstring().c_str())), COleVariant(L"x")});
    expectRefused(hr, 1, L"Error creating file writer, error is 80070002");
}

TEST_F(SectionPropertiesXmlTest, ReadSectionPropertiesKeepsOneSetPerNameAndServesItsValues)
{
    gUnitSystem = USCS;
    const CString file(exportClosedForms("rect.xml").wstring().c_str());
    EXPECT_EQ(invoke(L"ReadSectionProperties", {COleVariant(file)}), S_OK);
    expectRefused(invoke(L"ReadSectionProperties", {COleVariant(file)}), 1001,
                  L"A set of section properties with the same name has already been read in");
    EXPECT_EQ(SectionPropertySets().size(), 1u);

    COleVariant result;
    ASSERT_EQ(invoke(L"GetFileSectionValue", {COleVariant(L"rect4x2"), COleVariant(SHORT(23))}, &result), S_OK);
    expectSixDigits(result.dblVal, rectangleValues().at(23), 23);
    ASSERT_EQ(invoke(L"GetFileSectionValue", {COleVariant(L"rect4x2"), COleVariant(SHORT(12))}, &result), S_OK);
    EXPECT_EQ(result.dblVal, 0.0);
    expectRefused(invoke(L"GetFileSectionValue", {COleVariant(L"other"), COleVariant(SHORT(1))}), 1001,
                  L"Checks FAILED,  Results do not match the inputs within tolerance.");
    expectRefused(invoke(L"ReadSectionProperties", {COleVariant(L"/nonexistent/x.xml")}), 1,
                  L"Error creating file reader");
}

// The whole path: the document's rectangle exported through automation in US
// units and read back, every value as GetValue reports it.
TEST_F(SectionPropertiesXmlTest, AutomationExportOfTheRectangleReadsBackWhatGetValueReports)
{
    doc->setUnitSystem(USCS);
    rectangle(root(), L"r", 4, 2);
    COleVariant probe;
    ASSERT_EQ(invoke(L"GetValue", {COleVariant(SHORT(1))}, &probe), S_OK) << excep.bstrDescription.ToUtf8();
    const CString file((root_ / "auto.xml").wstring().c_str());
    ASSERT_EQ(invoke(L"WriteSectionProperties", {COleVariant(file), COleVariant(L"rect")}), S_OK)
        << excep.bstrDescription.ToUtf8();
    const std::string xml = readText(root_ / "auto.xml");
    EXPECT_EQ(groupRows(xml, "GeometricSectionProperties").size(), 22u);
    EXPECT_EQ(groupRows(xml, "ElasticSectionProperties").size(), 9u);
    EXPECT_EQ(groupRows(xml, "GeometricSectionProperties")[0].dimension, "in^2");
    EXPECT_EQ(std::system(("xmllint --noout '" + (root_ / "auto.xml").string() + "' 2>/dev/null").c_str()), 0);

    // Reading a file leaves the model alone: the moduli GetValue reports
    // before and after are the same numbers.
    const auto moduli = [&] {
        std::map<short, double> values;
        for (short id : {22, 23, 24, 25}) {
            COleVariant reported;
            EXPECT_EQ(invoke(L"GetValue", {COleVariant(id)}, &reported), S_OK);
            values[id] = reported.dblVal;
        }
        return values;
    };
    const std::map<short, double> beforeRead = moduli();
    ASSERT_EQ(invoke(L"ReadSectionProperties", {COleVariant(file)}), S_OK);
    EXPECT_EQ(moduli(), beforeRead);
    for (auto table : {GeometricSectionPropertyTable(), ElasticSectionPropertyTable()})
        for (const SectionPropertyRow& row : table) {
            COleVariant reported, read;
            ASSERT_EQ(invoke(L"GetValue", {COleVariant(row.valueId)}, &reported), S_OK);
            ASSERT_EQ(invoke(L"GetFileSectionValue", {COleVariant(L"rect"), COleVariant(row.valueId)}, &read), S_OK);
            expectSixDigits(read.dblVal, reported.dblVal, row.valueId);
        }
    for (short id : {1, 2, 3, 6, 7, 9, 10, 18, 22, 23, 24, 25}) {
        COleVariant read;
        ASSERT_EQ(invoke(L"GetFileSectionValue", {COleVariant(L"rect"), COleVariant(id)}, &read), S_OK);
        expectSixDigits(read.dblVal, rectangleValues().at(id), id);
    }
}

}  // namespace
