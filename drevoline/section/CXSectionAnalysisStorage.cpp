// Section model storage: the model's own part of the document stream and
// the resolution of the links by name that loading collects.
#include "drevoline/section/CXSectionAnalysisStorage.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/Globals.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/CWeld.h"
#include "drevoline/section/CXSectionAnalysis.h"

#include "platform/core/CArchive.h"

std::vector<PendingLink<CShapeAnalysis>> gPendingShapeOwners;
std::vector<PendingLink<CSubSection>> gPendingSubSectionParents;

namespace {

constexpr int kObjectMarker = 444;

// The stored order of each loaded sub-section's children.
struct ChildOrder {
  CSubSection* subSection;
  std::vector<CString> names;
};
std::vector<ChildOrder> gPendingChildOrders;

// Clears the pending lists when a load ends, thrown or not: entries left
// behind would point at objects that the abandoned model frees.
struct PendingLinksGuard {
  PendingLinksGuard() { clearPendingLinks(); }
  ~PendingLinksGuard() { clearPendingLinks(); }
};

// Puts the children named in names first, in that order; the others follow
// in the order they had.
void orderChildren(CSubSection* s, const std::vector<CString>& names) {
  // A name stored twice keeps its first place.
  std::unordered_map<std::wstring, std::size_t> places;
  for (std::size_t i = 0; i < names.size(); ++i)
    places.emplace(std::wstring(names[i].GetString()), i);
  auto rank = [&](const CSubSection* c) {
    const auto it = places.find(std::wstring(c->name().GetString()));
    return it != places.end() ? it->second : names.size();
  };
  std::stable_sort(s->children.begin(), s->children.end(),
                   [&](const CSubSection* a, const CSubSection* b) { return rank(a) < rank(b); });
}

// The owner of a loaded shape stored with the owner name: of the
// sub-sections of that name, the first that holds it (names may repeat).
// Else a union shape goes to the sub-section whose union holds it: removing
// that union deletes it, and a shape whose owner is gone leaves no list when
// deleted, the model's neither. Else the first sub-section of the name (a
// group may list a shape that its owner no longer lists), else, when none
// has the name, the first that lists the shape.
CSubSection* storedOwner(const std::vector<CSubSection*>& subSections, CShapeAnalysis* shape, const CString& name) {
  CSubSection* named = nullptr;
  CSubSection* unionHolder = nullptr;
  CSubSection* lister = nullptr;
  for (CSubSection* s : subSections) {
    const bool inUnion = s->isUnionShape(shape);
    const bool inOwn = s->contains(shape) != 0;
    if (s->name() == name) {
      if (inUnion || inOwn)
        return s;
      if (named == nullptr)
        named = s;
    }
    if (inUnion && unionHolder == nullptr)
      unionHolder = s;
    if (inOwn && lister == nullptr)
      lister = s;
  }
  if (unionHolder != nullptr)
    return unionHolder;
  return named != nullptr ? named : lister;
}

// The boundary curve a mesh's segments of its own name follow; null when none.
CCompositeCurve* meshCurve(const CMesh* m) {
  for (int i = 0; i < m->nSegments; ++i)
    if (m->segments[i].curveName == m->name && m->segments[i].curve != nullptr)
      return m->segments[i].curve;
  return nullptr;
}

}  // namespace

void clearPendingLinks() {
  gPendingShapeOwners.clear();
  gPendingSubSectionParents.clear();
  gPendingChildOrders.clear();
}

void addPendingShapeOwner(CShapeAnalysis* shape, const CString& owner) {
  gPendingShapeOwners.push_back({shape, owner});
}

void addPendingSubSectionParent(CSubSection* s, const CString& parent) {
  gPendingSubSectionParents.push_back({s, parent});
}

void addPendingChildOrder(CSubSection* s, std::vector<CString> childNames) {
  gPendingChildOrders.push_back({s, std::move(childNames)});
}

CShapeAnalysis* findStoredShape(const CXSectionAnalysis& model, const CString& name, const CString& lister) {
  for (const PendingLink<CShapeAnalysis>& link : gPendingShapeOwners)
    if (link.name == lister && link.object->name() == name && model.shapes.Find(link.object) != nullptr)
      return link.object;
  return model.findShape(name);
}

void CXSectionAnalysis::Serialize(CArchive& ar) {
  CModel::Serialize(ar);
  gModel = this;
  if (ar.IsStoring()) {
    write(ar);
    return;
  }
  read(ar);
  if (CSubSection* root = rootSubSection())
    root->refreshDots();
  verifySubsections();
}

void CXSectionAnalysis::write(CArchive& ar) {
  ar << CString(L"CXSectionAnalysis::") << 0 << 0;
  ar << static_cast<int>(shapes.GetCount());
  POSITION pos = shapes.GetHeadPosition();
  while (pos) {
    ar.WriteObject(shapes.GetNext(pos));
    ar << kObjectMarker;
  }
  ar << static_cast<int>(subSections.size());
  for (auto it = subSections.rbegin(); it != subSections.rend(); ++it) {
    if (*it == nullptr)
      throw std::logic_error("Null pointer in subsection list");
    (*it)->Serialize(ar);
  }
  ar << currentName << 0 << static_cast<BYTE>(0) << name << CString(L"Undefined");
  ar << 0 << 0 << 0 << 0;
  ar << static_cast<long long>(geometryTime);
  ar << 1.0 << 2.0 << 3.0 << 1 << 2 << kObjectMarker;
}

void CXSectionAnalysis::read(CArchive& ar) {
  vAveVAvezeze = this;
  const PendingLinksGuard guard;
  // A model read replaces the sub-sections and shapes it had (a new model
  // holds its "root"): they are freed, not dropped.
  clear();
  while (!shapes.IsEmpty())
    delete shapes.RemoveHead();

  CString label;
  int reserved = 0;
  ar >> label >> reserved >> reserved;
  int n = 0;
  ar >> n;
  for (int i = 0; i < n; ++i) {
    // The model owns its shapes: the owning read refuses a shape object
    // that something else already holds.
    auto* shape = static_cast<CShapeAnalysis*>(ar.ReadOwned(RUNTIME_CLASS(CShapeAnalysis)));
    if (shape != nullptr)
      shapes.AddTail(shape);
    int marker = 0;
    ar >> marker;
  }
  int m = 0;
  ar >> m;
  for (int i = 0; i < m; ++i) {
    auto* s = new CSubSection();
    s->scn(this);
    // Listed before it is read, so that a failed read still frees it.
    subSections.push_back(s);
    s->Serialize(ar);
  }
  relinkMeshesAndWelds();
  resolvePendingLinks();

  ar >> currentName >> reserved;
  deleteGrid();
  BYTE flag = 0;
  ar >> flag >> name >> label;
  ar >> reserved >> reserved >> reserved >> reserved;
  long long time = 0;
  ar >> time;
  geometryTime = time;
  double d = 0.0;
  ar >> d >> d >> d >> reserved >> reserved >> reserved;
}

void CXSectionAnalysis::relinkMeshesAndWelds() {
  for (CSubSection* s : subSections)
    for (CMesh* mesh : s->meshes) {
      mesh->setModel(this);
      mesh->resolveReferences();
    }
  for (CSubSection* s : subSections)
    for (CWeld* w : s->welds) {
      const CMesh* a = s->findMesh(w->mesh1);
      const CMesh* b = s->findMesh(w->mesh2);
      if (a == nullptr || b == nullptr)
        throw std::logic_error("meshes not recovered in restore");
      w->curve1 = meshCurve(a);
      w->curve2 = meshCurve(b);
      if (w->curve1 == nullptr || w->curve2 == nullptr)
        throw std::logic_error("composite curves not recovered for weld");
    }
}

void CXSectionAnalysis::resolvePendingLinks() {
  // Links are stored by name: two sub-sections of one name would make them
  // ambiguous, and a later deletion by name would free one and drop the
  // other from the flat list.
  std::unordered_map<std::wstring, CSubSection*> byName;
  for (CSubSection* s : subSections)
    if (!byName.emplace(std::wstring(s->name().GetString()), s).second)
      throw std::logic_error("Subsection tree is corrupted");
  for (const PendingLink<CShapeAnalysis>& link : gPendingShapeOwners)
    link.object->parent = storedOwner(subSections, link.object, link.name);
  for (const PendingLink<CSubSection>& link : gPendingSubSectionParents) {
    // A stored parent that no sub-section answers to would leave the
    // sub-section cut off from its tree.
    const auto found = byName.find(std::wstring(link.name.GetString()));
    if (found == byName.end())
      throw std::logic_error("Subsection tree is corrupted");
    link.object->parent(found->second);
    found->second->children.push_back(link.object);
  }
  // A parent named by one of its own descendants (or by itself) would make
  // every walk of the tree endless.
  verifySubsections();
  // The parent links come in the reverse of the stored order; the stored
  // child names put the siblings back in theirs.
  for (const ChildOrder& order : gPendingChildOrders)
    orderChildren(order.subSection, order.names);
  // Union shapes are read where a sub-section lists them; one that two
  // lists (or one list twice) held would be freed twice by their unions.
  std::unordered_set<const CShapeAnalysis*> seen;
  for (const CSubSection* s : subSections) {
    POSITION pos = s->unionShapes != nullptr ? s->unionShapes->GetHeadPosition() : nullptr;
    while (pos)
      if (!seen.insert(s->unionShapes->GetNext(pos)).second)
        throw std::logic_error("Subsection tree is corrupted");
  }
}
