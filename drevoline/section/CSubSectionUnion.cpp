// The union operations of a sub-section, as far as the section model needs
// them before the boolean union exists: no shape is a union shape and
// removing a union leaves the lists as they are.
#include <stdexcept>

#include "drevoline/section/CSubSection.h"

void CSubSection::removeUnion() {}

bool CSubSection::isUnionOn() const {
  if (unionShapes == nullptr)
    return false;
  if (unionShapes->IsEmpty())
    throw std::logic_error("Mess in Subsection");
  return true;
}

bool CSubSection::isUnionShape(CShapeAnalysis*) const { return false; }
