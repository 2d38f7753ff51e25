// Links by name that a model load collects while it reads its shapes and
// sub-sections, and resolves once the whole model part is read.
#pragma once

#include <vector>

#include "platform/core/CString.h"

class CShapeAnalysis;
class CSubSection;
class CXSectionAnalysis;

// One pending link: an object read from the archive and the name it refers to.
template <class T>
struct PendingLink {
  T* object;
  CString name;
};

// Shapes and the name of their owner sub-section (library-internal).
extern std::vector<PendingLink<CShapeAnalysis>> gPendingShapeOwners;
// Sub-sections and the name of their parent (library-internal).
extern std::vector<PendingLink<CSubSection>> gPendingSubSectionParents;

// Records that shape belongs to the sub-section named owner.
void addPendingShapeOwner(CShapeAnalysis* shape, const CString& owner);
// Records that s is a child of the sub-section named parent.
void addPendingSubSectionParent(CSubSection* s, const CString& parent);
// Records the order of s's children as stored, by name.
void addPendingChildOrder(CSubSection* s, std::vector<CString> childNames);
// The model's shape of that name that was stored as owned by the sub-section
// named lister, else the model's first shape of that name; null when none.
CShapeAnalysis* findStoredShape(const CXSectionAnalysis& model, const CString& name, const CString& lister);
// Empties the three pending lists (a model read does so when it starts and ends).
void clearPendingLinks();
