// Look-ups shared by the analysis, mesh and file automation methods.
#pragma once

#include "platform/core/CString.h"

class CSubSection;
class CXSectionAnalysis;

namespace AnalysisSupport {

// The model's current sub-section; refuses (1) "There is no current
// sub-section." without one.
CSubSection& CurrentSubSection(CXSectionAnalysis& model);
// The sub-section called name; refuses (1) "SubSection doesn't exist"
// and so changes nothing when there is none.
CSubSection& NamedSubSection(CXSectionAnalysis& model, const CString& name);

}  // namespace AnalysisSupport
