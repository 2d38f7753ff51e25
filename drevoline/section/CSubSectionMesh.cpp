// What the sub-section does with its meshes and welds before its meshing
// exists: it owns and deletes them; finding, renaming and deleting a mesh by
// name come with the meshing.
#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/CWeld.h"
#include "drevoline/section/CSubSection.h"

void CSubSection::destroyMeshesAndWelds() {
  // Through the virtual destructor of their common base.
  for (CMesh* m : meshes)
    delete static_cast<CObject*>(m);
  meshes.clear();
  for (CWeld* w : welds)
    delete static_cast<CObject*>(w);
  welds.clear();
}

void CSubSection::deleteMesh(const CString&) {}

void CSubSection::renameMesh(const CString&, const CString&) {}

CMesh* CSubSection::findMeshMutable(const CString& n) {
  for (CMesh* m : meshes)
    if (m->name == n)
      return m;
  return nullptr;
}

const CMesh* CSubSection::findMesh(const CString& n) const {
  for (const CMesh* m : meshes)
    if (m->name == n)
      return m;
  return nullptr;
}

// The welds' corners move with the section; the meshes follow once their
// own transforms exist (until then a sub-section holds no meshes to move).
void CSubSection::translateMeshesAndWelds(Point<double>* d) {
  for (CWeld* w : welds)
    w->translate(d);
}

void CSubSection::rotateMeshesAndWelds(Point<double>* c, double angle) {
  for (CWeld* w : welds)
    w->rotate(c, angle);
}

void CSubSection::mirrorMeshes(Point<double>&, Point<double>&) {}

void CSubSection::updateMeshName(CMesh* mesh, const CString& n) { mesh->name = n; }
