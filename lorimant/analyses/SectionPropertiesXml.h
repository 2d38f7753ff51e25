// The XML export of a sub-section's section properties and its read-back.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "analysis/model/EUnitSystem.h"
#include "platform/core/CString.h"

class CSubSection;
class CXmlReader;

// The value of one automation value identifier (tagSectionAnalysisValue);
// may throw, and the export then stops with that failure.
using SectionValueSource = std::function<double(short valueId)>;

// A unit template with the unit names of units put in: every "lengthUnit"
// becomes "cm" (SI) or "in" (US customary), then every "forceUnit" "GPa" or
// "lbf"; other text passes unchanged.
CString SectionPropertyDimension(const wchar_t* unitTemplate, EUnitSystem units);

// True when the export carries the plastic group for sub: every solid shape
// has a yield value, one material only, and at least one mesh.
bool PlasticPropertiesAvailable(const CSubSection& sub);

// Writes the export to path under sectionName: the geometric and elastic
// groups, and the plastic group when withPlastic, each value from value and
// each dimension in the current unit system (gUnitSystem). Failures of the
// XML writer leave as its own thrown texts (char* or wchar_t*); the file
// then holds what was closed so far.
void WriteSectionPropertiesXml(const CString& path, const CString& sectionName, const SectionValueSource& value,
                               bool withPlastic);

// What a read-back of one export holds: its section name and one value per
// element name the reader accepts (0 for elements the file lacks).
struct SectionPropertiesRecord {
    // The number of element names the reader accepts (without the aliases).
    static constexpr int kValueCount = 55;

    CString sectionName;
    std::array<double, kValueCount> values{};

    // The value read for a value identifier; 0 for identifiers the format
    // does not carry.
    double value(short valueId) const;
};

// Reads the export at path. Throws std::logic_error: "Error creating file
// reader" when the file cannot be opened, "Error reading section properties
// file" for a file that is not well formed, ends early or holds a document
// type declaration, "Value attribute not found" for a property element (or
// the root) without its attribute, and the reader's other set-up texts.
// Property elements are matched by local name, case-sensitively, at any
// depth; the section moduli under the exported names and the short names
// "Sx", "Sy", "Sxp", "Syp". Null when an end tag's name cannot be read
// (printed to the standard output).
std::unique_ptr<SectionPropertiesRecord> ReadSectionPropertiesXml(const CString& path);

// Moves reader to the attribute name of the current element and gives its
// text; throws std::logic_error "Value attribute not found" when absent and
// "Unable to fetch value attribute contents" when its text cannot be read.
CString GetXmlAttributeText(CXmlReader& reader, const wchar_t* name);

// The attribute "Value" of the current element as a number (C locale);
// text that is no number gives 0. Throws as GetXmlAttributeText.
double GetXmlValueAttribute(CXmlReader& reader);

// The records read by the automation method ReadSectionProperties, in
// reading order, for the life of the program.
std::vector<std::unique_ptr<SectionPropertiesRecord>>& SectionPropertySets();
