// Giving a material to shapes and sub-sections of a model.
#include "lorimant/automation/MaterialAssignment.h"

#include "analysis/model/CMetal.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"

namespace {

// The model keeps one material per name: a new name joins its list.
void adopt(CXSectionAnalysis& model, const std::shared_ptr<CMetal>& metal) {
  if (!model.findMaterial(metal->name)) model.materials.AddTail(metal);
}

// Every shape of sub's tree, holes only when withHoles.
void giveToShapes(const CSubSection& sub, const std::shared_ptr<CMetal>& metal, bool withHoles) {
  const std::unique_ptr<ShapeList> shapes = sub.getShapesRecursive();
  for (POSITION pos = shapes->GetHeadPosition(); pos != nullptr;) {
    CShapeAnalysis* s = shapes->GetNext(pos);
    if (withHoles || !s->isNegative()) s->material(metal);
  }
}

// sub and every sub-section below it.
void giveToSubSections(CSubSection& sub, const std::shared_ptr<CMetal>& metal) {
  sub.material(metal);
  for (CSubSection* child : sub.children) giveToSubSections(*child, metal);
}

}  // namespace

void GiveMaterialToShape(CXSectionAnalysis& model, CShapeAnalysis& shape, const std::shared_ptr<CMetal>& metal) {
  shape.material(metal);
  adopt(model, metal);
}

void GiveMaterialToSubSection(CXSectionAnalysis& model, const CSubSection& sub, const std::shared_ptr<CMetal>& metal,
                              bool solidOnly) {
  giveToShapes(sub, metal, !solidOnly);
  adopt(model, metal);
}

void GiveMaterialToAll(CXSectionAnalysis& model, CSubSection& sub, const std::shared_ptr<CMetal>& metal) {
  giveToSubSections(sub, metal);
  giveToShapes(sub, metal, false);
  adopt(model, metal);
}
