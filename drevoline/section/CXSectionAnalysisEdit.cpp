// Section model root: duplicating, turning holes into solids and renaming.
#include <stdexcept>
#include <string>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "drevoline/mesh/CWeld.h"
#include "drevoline/section/CXSectionAnalysis.h"

namespace {

CSubSection* requireCurrent(CXSectionAnalysis& model) {
  CSubSection* c = model.currentSubSectionMutable();
  if (c == nullptr)
    throw std::logic_error("There is no current subsection.");
  return c;
}

// A weld finds its two meshes by name when the model is loaded: a mesh
// renamed in s takes the welds that name it along.
void renameWeldMeshes(CSubSection& s, const CString& oldName, const CString& newName) {
  for (CWeld* w : s.welds) {
    if (w->mesh1 == oldName)
      w->mesh1 = newName;
    if (w->mesh2 == oldName)
      w->mesh2 = newName;
  }
}

}  // namespace

void CXSectionAnalysis::placeCopy(CSubSection* current, CShapeAnalysis* shape, CShapeAnalysis* copy) {
  try {
    CSubSection* owner = shape->subSection();
    if (current->isUnionShape(shape)) {
      current->unionShapes->AddTail(copy);
    } else if (owner != nullptr && owner->isFormedOrExtrudedSection()) {
      createSubSection(owner, copy);
    } else {
      addShapeToLists(current, copy);
    }
    if (shapes.Find(copy) == nullptr)
      shapes.AddTail(copy);
  } catch (...) {
    removeShapeReferences(copy);
    current->removeShapeDots(copy);
    if (copy->parent != nullptr)
      copy->parent->removeShapeDots(copy);
    copy->parent = nullptr;
    delete copy;
    throw;
  }
}

void CXSectionAnalysis::MirrorDuplicate(CShapeAnalysis* shape, Point<double>& a, Point<double>& b, CString& newName) {
  CSubSection* c = requireCurrent(*this);
  CShapeAnalysis* r = c->MirrorDuplicate(shape, newName, a.x, a.y, b.x, b.y);
  r->addDots(c);
  r->mark = true;
  placeCopy(c, shape, r);
}

void CXSectionAnalysis::rotateDuplicateShapeOrSubSection(CShapeAnalysis* shape, CString n, double x, double y,
                                                         double angle) {
  CSubSection* c = requireCurrent(*this);
  CShapeAnalysis* r = c->rotateDuplicateShape(shape, n, x, y, angle);
  CSubSection* owner = shape->subSection();
  if (owner != nullptr && owner->isFormedOrExtrudedSection() && !c->isUnionShape(shape)) {
    placeCopy(c, shape, r);
    return;
  }
  try {
    addShapeToLists(c, r);
  } catch (...) {
    c->removeShapeDots(r);
    if (r->parent != nullptr)
      r->parent->removeShapeDots(r);
    r->parent = nullptr;
    delete r;
    throw;
  }
}

void CXSectionAnalysis::changeSign(CShapeAnalysis* shape) {
  shape->boundary->sign(shape->isNegative() ? 1 : -1);
  shape->orient();
  if (CSubSection* owner = shape->subSection())
    owner->scnPrpUTD(false);
}

void CXSectionAnalysis::renameShape(CShapeAnalysis* shape, CString& newName) {
  // A second shape of one name in a sub-section could never be found again.
  if (CSubSection* owner = shape->subSection()) {
    const CShapeAnalysis* same = owner->findShape(newName);
    if (same != nullptr && same != shape)
      throw std::logic_error("A shape named " + newName.ToUtf8() + " already exists in " + owner->name().ToUtf8());
  }
  const CString old = shape->name();
  shape->name(newName);
  shape->boundary->name(newName);
  CSubSection* current = currentSubSectionMutable();
  if (current != nullptr) {
    current->renameMesh(old, newName);
    renameWeldMeshes(*current, old, newName);
  }
  CSubSection* o = shape->subSection();
  if (o != nullptr && o->isFormedOrExtrudedSection()) {
    if (current != nullptr)
      if (CMesh* m = current->findMeshMutable(o->name())) {
        CSubSection::updateMeshName(m, newName);
        renameWeldMeshes(*current, o->name(), newName);
      }
    o->name(newName);
  }
}
