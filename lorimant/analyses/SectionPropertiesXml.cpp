#include "lorimant/analyses/SectionPropertiesXml.h"

#include <locale.h>
#include <wchar.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "analysis/model/Globals.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/analyses/SectionPropertyTables.h"
#include "ostrevan/Ostrevan.h"
#include "platform/xml/CXmlReader.h"

namespace {

// ---- writing ----

struct PropertyGroup {
    const wchar_t* element;
    const wchar_t* description;
    std::span<const SectionPropertyRow> rows;
};

void writeGroup(const PropertyGroup& group, const SectionValueSource& value, EUnitSystem units)
{
    xmlStartElement(group.element);
    writeStrAttribute(L"Description", group.description);
    for (const SectionPropertyRow& row : group.rows) {
        xmlStartElement(row.symbol);
        writeStrAttribute(L"Description", row.description);
        writeDblAttribute(L"Value", value(row.valueId));
        writeStrAttribute(L"Dimension", SectionPropertyDimension(row.unitTemplate, units).GetString());
        xmlFullEndElement();
    }
    xmlFullEndElement();
}

// ---- reading ----

struct AcceptedElement {
    const wchar_t* name;
    short valueId;
};

// The element names the reader takes, in record slot order. The four
// section moduli are also accepted under the names the export writes.
constexpr AcceptedElement kAccepted[] = {
    {L"Area", 1}, {L"CGx", 2}, {L"CGy", 3}, {L"Pang", 11}, {L"Imin", 10}, {L"Imax", 9}, {L"IxxC", 7},
    {L"IyyC", 6}, {L"IxyC", 8}, {L"IxxA", 20}, {L"IyyA", 19}, {L"IxyA", 21}, {L"Ipolar", 18},
    {L"RadGyrPolar", 29}, {L"RadGyrXc", 16}, {L"RadGyrMin", 14}, {L"RadGyrMax", 15}, {L"MxCapacity", 40},
    {L"MyCapacity", 41}, {L"RadGyrYc", 17}, {L"Sx", 22}, {L"Sy", 23}, {L"Sxp", 24}, {L"Syp", 25},
    {L"EArea", 50}, {L"ECGx", 51}, {L"ECGy", 52}, {L"EIxc", 54}, {L"EIyc", 55}, {L"EIxcyc", 68},
    {L"EImin", 56}, {L"EImax", 57}, {L"EPang", 53}, {L"Zx", 38}, {L"Zy", 39}, {L"Zxp", 44}, {L"Zyp", 45},
    {L"MxpCapacity", 46}, {L"MypCapacity", 47}, {L"MxYield", 42}, {L"MyYield", 43}, {L"MxpYield", 48},
    {L"MypYield", 49}, {L"PlasticHingeXc", 64}, {L"PlasticHingeYc", 65}, {L"PlasticHingeXp", 66},
    {L"PlasticHingeYp", 67}, {L"Kxc", 34}, {L"Kyc", 35}, {L"Kxp", 36}, {L"Kyp", 37}, {L"Kmin", 71},
    {L"Kmax", 72}, {L"Zmin", 70}, {L"Zmax", 69},
};
static_assert(std::size(kAccepted) == SectionPropertiesRecord::kValueCount);

// The export's names for the section moduli, with the identifiers they carry.
constexpr AcceptedElement kModulusAliases[] = {
    {L"ElasticSectionModulusXmin", 22},
    {L"ElasticSectionModulusXmax", 23},
    {L"ElasticSectionModulusYmin", 24},
    {L"ElasticSectionModulusYmax", 25},
};

// The record slot of a value identifier; -1 when the format has none.
int slotOf(short valueId)
{
    for (std::size_t i = 0; i < std::size(kAccepted); ++i)
        if (kAccepted[i].valueId == valueId) return static_cast<int>(i);
    return -1;
}

// The record slot of an element name; -1 for a name the reader ignores.
int slotOf(const std::wstring& element)
{
    for (std::size_t i = 0; i < std::size(kAccepted); ++i)
        if (element == kAccepted[i].name) return static_cast<int>(i);
    for (const AcceptedElement& alias : kModulusAliases)
        if (element == alias.name) return slotOf(alias.valueId);
    return -1;
}

[[noreturn]] void fail(const char* text) { throw std::logic_error(text); }

void check(HRESULT hr, const char* text)
{
    if (xmlFailed(hr)) fail(text);
}

void readElement(CXmlReader& reader, SectionPropertiesRecord& record)
{
    const wchar_t* prefix = nullptr;
    const wchar_t* name = nullptr;
    check(reader.GetPrefix(&prefix, nullptr), "Error getting prefix");
    check(reader.GetLocalName(&name, nullptr), "Error getting local name");
    const std::wstring element(name);
    if (element == L"SectionPropertiesExport") {
        record.sectionName = GetXmlAttributeText(reader, L"SectionName");
        reader.MoveToElement();
    }
    const int slot = slotOf(element);
    if (slot >= 0) record.values[slot] = GetXmlValueAttribute(reader);
}

// Reads an end tag's name (nothing is kept); false, with the failure
// printed, when it cannot be read.
bool readEndElement(CXmlReader& reader)
{
    const wchar_t* text = nullptr;
    const struct {
        HRESULT hr;
        const char* what;
    } steps[] = {{reader.GetPrefix(&text, nullptr), "prefix"}, {reader.GetLocalName(&text, nullptr), "local name"}};
    for (const auto& step : steps) {
        if (!xmlFailed(step.hr)) continue;
        std::printf("Error getting %s, error is %08lx\n", step.what, static_cast<unsigned long>(step.hr));
        return false;
    }
    return true;
}

locale_t numericLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return c;
}

}  // namespace

CString SectionPropertyDimension(const wchar_t* unitTemplate, EUnitSystem units)
{
    CString text(unitTemplate);
    text.Replace(L"lengthUnit", units == USCS ? L"in" : L"cm");
    text.Replace(L"forceUnit", units == USCS ? L"lbf" : L"GPa");
    return text;
}

bool PlasticPropertiesAvailable(const CSubSection& sub)
{
    return sub.isFcyDefined() && !sub.isMultipleMaterials() && !sub.meshes.empty();
}

void WriteSectionPropertiesXml(const CString& path, const CString& sectionName, const SectionValueSource& value,
                               bool withPlastic)
{
    xmlOpenStream(path.GetString());
    const EUnitSystem units = gUnitSystem;
    xmlStartElement(L"SectionPropertiesExport");
    writeStrAttribute(L"SectionName", sectionName.GetString());
    const PropertyGroup groups[] = {
        {L"GeometricSectionProperties", L"Area based section properties (not accounting for mass)",
         GeometricSectionPropertyTable()},
        {L"ElasticSectionProperties", L"Modulus weighted section properties", ElasticSectionPropertyTable()},
        {L"PlasticSectionProperties", L"Plastic Section Properties", PlasticSectionPropertyTable()},
    };
    // The plastic group, last, only when asked for.
    for (const PropertyGroup& group : std::span(groups).first(withPlastic ? 3 : 2)) writeGroup(group, value, units);
    xmlFullEndElement();
    xmlEndDocument();
}

double SectionPropertiesRecord::value(short valueId) const
{
    const int slot = slotOf(valueId);
    return slot < 0 ? 0.0 : values[slot];
}

std::unique_ptr<SectionPropertiesRecord> ReadSectionPropertiesXml(const CString& path)
{
    auto record = std::make_unique<SectionPropertiesRecord>();
    std::shared_ptr<CXmlFileStream> stream;
    check(CreateStreamOnFile(path.GetString(), XmlStreamMode::Read, stream), "Error creating file reader");
    std::unique_ptr<CXmlReader> reader;
    check(CreateXmlReader(reader), "Error creating xml reader");
    check(reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit),
          "Error setting XmlReaderProperty_DtdProcessing");
    check(reader->SetInput(stream), "Error setting input for reader");
    XmlNodeType type = XmlNodeType_None;
    HRESULT hr = S_OK;
    while ((hr = reader->Read(&type)) == S_OK) {
        if (type == XmlNodeType_Element)
            readElement(*reader, *record);
        else if (type == XmlNodeType_EndElement && !readEndElement(*reader))
            return nullptr;
    }
    // A file that breaks off, is not well formed or declares a document
    // type must not pass for a record of zeros.
    if (hr != S_FALSE) fail("Error reading section properties file");
    return record;
}

CString GetXmlAttributeText(CXmlReader& reader, const wchar_t* name)
{
    if (reader.MoveToAttributeByName(name, nullptr) != S_OK) fail("Value attribute not found");
    const wchar_t* text = nullptr;
    check(reader.GetValue(&text, nullptr), "Unable to fetch value attribute contents");
    return CString(text);
}

double GetXmlValueAttribute(CXmlReader& reader)
{
    const CString text = GetXmlAttributeText(reader, L"Value");
    reader.MoveToElement();
    return wcstod_l(text.GetString(), nullptr, numericLocale());
}

std::vector<std::unique_ptr<SectionPropertiesRecord>>& SectionPropertySets()
{
    static std::vector<std::unique_ptr<SectionPropertiesRecord>> sets;
    return sets;
}
