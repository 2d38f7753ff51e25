// Sub-section creation and grouping for the profile builders until the
// document's own CreateSubSection and GroupAdd automation methods exist;
// then the two calls in ProfileFrame.cpp go to those and this file goes.
#pragma once
#include "lorimant/document/CXSectionAnalysisDoc.h"
namespace ProfileInner {
// A new empty sub-section name under parentName; the change routine runs.
void CreateSubSection(CXSectionAnalysisDoc& doc, const CString& name, const CString& parentName);
// The pieces are made in the profile sub-section already: nothing to move.
void GroupAdd(CXSectionAnalysisDoc& doc, const CString& scn, const CString& obj, bool resetParent);
}  // namespace ProfileInner
