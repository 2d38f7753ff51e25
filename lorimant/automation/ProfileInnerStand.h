// Temporary declarations of CreateSubSection and GroupAdd.
#pragma once
#include "lorimant/document/CXSectionAnalysisDoc.h"
namespace ILorimant {
void CreateSubSection(CXSectionAnalysisDoc& doc, const CString& name, const CString& parentName);
void GroupAdd(CXSectionAnalysisDoc& doc, const CString& scn, const CString& obj, bool resetParent);
}  // namespace ILorimant
