// The three tables that name section properties outside the model: for each
// row the symbol (also the XML element name), the description, the unit
// template and the automation value identifier (tagSectionAnalysisValue).
#pragma once

#include <span>

// One section property as the exports name it. In the unit template the
// words "lengthUnit" and "forceUnit" stand for the current unit names.
struct SectionPropertyRow {
    const wchar_t* symbol;
    const wchar_t* description;
    const wchar_t* unitTemplate;
    short valueId;
};

// The area-based properties (22 rows, in export order).
std::span<const SectionPropertyRow> GeometricSectionPropertyTable();
// The modulus-weighted properties (9 rows).
std::span<const SectionPropertyRow> ElasticSectionPropertyTable();
// The plastic properties (24 rows).
std::span<const SectionPropertyRow> PlasticSectionPropertyTable();
