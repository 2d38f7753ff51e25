// The section properties of a sub-section by automation value identifier
// (tagSectionAnalysisValue): what GetValue reports, and what the result
// pane, the property sheet and the XML export read, so that all agree.
#pragma once

#include <optional>

class CSubSection;

// The value of valueId for sub as the sub-section keeps it now (nothing is
// computed); empty for an identifier that is no section property (the
// plastic neutral-axis values of a load condition, unknown identifiers).
std::optional<double> SectionPropertyValue(const CSubSection& sub, int valueId);
