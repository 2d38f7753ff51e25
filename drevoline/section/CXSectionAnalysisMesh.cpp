// The section model's meshing entries: meshing a shape or a sub-section
// through the current sub-section, and gathering the children's meshes.
#include "drevoline/mesh/CMesh.h"
#include "drevoline/section/CXSectionAnalysis.h"

void CXSectionAnalysis::meshShape(CShapeAnalysis* shape, ELEMENT_TYPE type, int n, double a, double b, int i1,
                                  int i2) {
  CSubSection* current = currentSubSectionMutable();
  if (!current)
    throw std::logic_error("No current sub-section to mesh in");
  current->meshShape(shape, type, n, a, b, i1, i2);
}

namespace {

// After s has meshed: a formed or extruded s, or a non-current s with its
// union on, hands every mesh it now holds (all made by that meshing) to the
// current sub-section.
void transferMeshes(CSubSection* s, CSubSection* current) {
  if (!current || current == s)
    return;
  if (!s->isFormedOrExtrudedSection() && !s->isUnionOn())
    return;
  for (CMesh* m : s->meshes)
    current->meshes.push_back(m);
  s->meshes.clear();
}

}  // namespace

void CXSectionAnalysis::meshSubSection(CSubSection* const s, ELEMENT_TYPE type, int n, double a, double b, int first,
                                       int /*spare*/) {
  CSubSection* current = currentSubSectionMutable();
  if (first < 1) {
    s->deleteSubSectionMeshes(s->name());
    if (CSubSection* root = rootSubSection())
      root->deleteSubSectionMeshes(s->name());
    s->meshSubSection(type, n, a, b, -1, 100000);
    transferMeshes(s, current);
    return;
  }
  for (int i = first; i < 1000; ++i) {
    s->deleteSubSectionMeshes(s->name());
    s->meshSubSection(type, n, a, b, first, i);
    transferMeshes(s, current);
  }
}

void CXSectionAnalysis::moveMeshesToRoot() {
  CSubSection* root = rootSubSection();
  if (!root)
    return;
  for (CSubSection* c : root->children) {
    while (!c->meshes.empty()) {
      root->meshes.push_back(c->meshes.back());
      c->meshes.pop_back();
    }
  }
}

void CXSectionAnalysis::addPendingSizeControl(const CString& shapeName, const LocalSizeControl& control) {
  sizeControlsToMesh[shapeName.GetString()].push_back(control);
}

std::vector<LocalSizeControl> CXSectionAnalysis::pendingSizeControls(const CString& shapeName) const {
  const auto it = sizeControlsToMesh.find(shapeName.GetString());
  return it == sizeControlsToMesh.end() ? std::vector<LocalSizeControl>{} : it->second;
}

void CXSectionAnalysis::forgetPendingSizeControls(const CString& shapeName) {
  sizeControlsToMesh.erase(shapeName.GetString());
}
