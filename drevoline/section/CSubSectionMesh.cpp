// What the sub-section does with its meshes and welds as their owner:
// deleting, finding and renaming a mesh by name, and moving meshes and welds
// with the section. Making meshes is the meshing's.
#include <algorithm>

#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/CWeld.h"
#include "drevoline/section/CSubSection.h"

void CSubSection::destroyMeshesAndWelds() {
  for (CMesh* m : meshes)
    delete m;
  meshes.clear();
  for (CWeld* w : welds)
    delete w;
  welds.clear();
}

void CSubSection::deleteMesh(const CString& name) {
  auto doomed = std::stable_partition(meshes.begin(), meshes.end(), [&](const CMesh* m) { return m->name != name; });
  for (auto it = doomed; it != meshes.end(); ++it)
    delete *it;
  meshes.erase(doomed, meshes.end());
}

void CSubSection::deleteMesh() {
  for (CMesh* m : meshes)
    delete m;
  meshes.clear();
}

void CSubSection::renameMesh(const CString& oldName, const CString& newName) {
  for (CMesh* m : meshes) {
    if (m->name == oldName)
      m->name = newName;
    for (int i = 0; i < m->nSegments; ++i)
      if (m->segments[i].curveName == oldName)
        m->segments[i].curveName = newName;
  }
}

CMesh* CSubSection::findMeshMutable(const CString& name) {
  auto it = std::find_if(meshes.begin(), meshes.end(), [&](const CMesh* m) { return m->name == name; });
  return it != meshes.end() ? *it : nullptr;
}

const CMesh* CSubSection::findMesh(const CString& name) const {
  return const_cast<CSubSection*>(this)->findMeshMutable(name);
}

void CSubSection::updateMeshName(CMesh* mesh, const CString& name) { mesh->updateName(name); }

void CSubSection::translateMeshesAndWelds(Point<double>* d) {
  for (CMesh* m : meshes)
    m->translate(d->x, d->y);
  for (CWeld* w : welds)
    w->translate(d);
}

void CSubSection::rotateMeshesAndWelds(Point<double>* c, double angle) {
  for (CMesh* m : meshes)
    m->rotate(c->x, c->y, angle);
  for (CWeld* w : welds)
    w->rotate(c, angle);
}

void CSubSection::mirrorMeshes(Point<double>& a, Point<double>& n) {
  // The mesh reflects in the line through two of its points: a, and a step
  // along the line whose normal is n.
  Point<double> b(a.x - n.y, a.y + n.x, a.z);
  for (CMesh* m : meshes)
    m->mirror(a, b);
}
