// Section model root: construction, current sub-section, finding, creating,
// deleting and removing.
#include "drevoline/section/CXSectionAnalysis.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/Globals.h"
#include "analysis/model/Utilities.h"

CXSectionAnalysis* vAveVAvezeze = nullptr;
CXSectionAnalysis* gDeletingScn = nullptr;

IMPLEMENT_SERIAL(CXSectionAnalysis, CBaseXSectionAnalysis, 1)

namespace {

const CString kRootName(L"root");

// The name of a shape or sub-section as narrow text for messages.
std::string narrow(const CString& s) { return s.ToUtf8(); }

// Takes shape out of every list of the model and of each of its
// sub-sections before it is deleted. A shape whose owner went can still be
// listed by groups, and its destructor, without an owner, cannot reach them.
void forgetShape(CXSectionAnalysis& model, CShapeAnalysis* shape) {
  model.removeShapeReferences(shape);
  for (CSubSection* s : model.subSections)
    for (ShapeList* list : {&s->shapeList, s->unionShapes})
      for (POSITION pos = list != nullptr ? list->Find(shape) : nullptr; pos != nullptr; pos = list->Find(shape)) {
        list->RemoveAt(pos);
        // Its section properties counted the shape.
        s->scnPrpUTD(false);
      }
}

}  // namespace

// ---- construction and lifetime ----

CXSectionAnalysis::CXSectionAnalysis() {
  name = nameGen();
  currentName = name;
  grid = nullptr;
  initialize();
  vAveVAvezeze = this;
  gModel = this;
}

CXSectionAnalysis::~CXSectionAnalysis() {
  // The model owns every shape. The sub-sections go first (they let go of
  // their shapes), then the shapes, which then have no owner to update.
  clear();
  while (!shapes.IsEmpty())
    delete shapes.RemoveHead();
  if (vAveVAvezeze == this)
    vAveVAvezeze = nullptr;
}

void CXSectionAnalysis::clear() {
  deleteGrid();
  while (!subSections.empty()) {
    CSubSection* s = subSections.back();
    subSections.pop_back();
    // Every sub-section is deleted from the flat list, so none may delete
    // its children as well, nor keep a pointer to a parent that is gone.
    for (CSubSection* c : s->children)
      c->parent(nullptr);
    s->children.clear();
    if (s->parent() != nullptr)
      s->parent()->removeChildSubSection(s);
    delete s;
  }
}

void CXSectionAnalysis::initialize() {
  if (!subSections.empty())
    return;
  auto* root = new CSubSection(this, nullptr);
  root->name(kRootName);
  subSections.push_back(root);
  currentName = kRootName;
}

CXSectionAnalysis* CXSectionAnalysis::scn() {
  if (vAveVAvezeze == nullptr)
    throw std::logic_error("Invalid vAveVAvezeze address");
  return vAveVAvezeze;
}

// ---- current sub-section ----

const CSubSection* CXSectionAnalysis::currentSubSection() const { return findSubSection(currentName); }

CSubSection* CXSectionAnalysis::currentSubSectionMutable() {
  if (currentName.IsEmpty())
    return nullptr;
  return findSubSectionMutable(currentName);
}

CSubSection* CXSectionAnalysis::getPickedSubSectionMutable(CShapeAnalysis* shape) {
  return shape->isBasicShape() ? nullptr : shape->subSection();
}

std::unique_ptr<ShapeList> CXSectionAnalysis::currentShapes() const {
  if (currentName.IsEmpty())
    return nullptr;
  const CSubSection* s = findSubSection(currentName);
  return s != nullptr ? s->getShapesRecursive() : nullptr;
}

std::unique_ptr<ShapeList> CXSectionAnalysis::currentShapesRecursive() const {
  const CSubSection* s = currentSubSection();
  return s != nullptr ? s->getShapesRecursive() : nullptr;
}

std::unique_ptr<ShapeList> CXSectionAnalysis::currentShapesNonRecursive() const {
  const CSubSection* s = currentSubSection();
  if (s == nullptr)
    return nullptr;
  if (s->unionShapes != nullptr)
    return std::make_unique<ShapeList>(*s->unionShapes);
  if (!s->shapeList.IsEmpty())
    return std::make_unique<ShapeList>(s->shapeList);
  return nullptr;
}

// ---- finding ----

const CSubSection* CXSectionAnalysis::findSubSection(CString n) const { return findSubSectionMutable(n); }

CSubSection* CXSectionAnalysis::findSubSectionMutable(CString n) const {
  for (CSubSection* s : subSections)
    if (s->name() == n)
      return s;
  return nullptr;
}

CShapeAnalysis* CXSectionAnalysis::findShape(CString n) const {
  POSITION pos = shapes.GetHeadPosition();
  while (pos) {
    CShapeAnalysis* s = shapes.GetNext(pos);
    if (s->name() == n)
      return s;
  }
  return nullptr;
}

CShapeAnalysis* CXSectionAnalysis::findShape(unsigned int shapeId) const {
  POSITION pos = shapes.GetHeadPosition();
  while (pos) {
    CShapeAnalysis* s = shapes.GetNext(pos);
    if (static_cast<unsigned int>(s->id) == shapeId)
      return s;
  }
  return nullptr;
}

CObject* CXSectionAnalysis::findGeomObj(CString& n) {
  n.Trim(L' ');
  name.Trim(L' ');
  if (n == name)
    return this;
  if (vAveVAvezeze == nullptr)
    throw std::logic_error("Invalid vAveVAvezeze address");
  if (vAveVAvezeze->name == n)
    return vAveVAvezeze;
  for (CSubSection* s : subSections) {
    CString trimmed = s->name();
    trimmed.Trim(L' ');
    s->name(trimmed);
    if (trimmed == n)
      return s;
  }
  POSITION pos = shapes.GetHeadPosition();
  while (pos) {
    CShapeAnalysis* s = shapes.GetNext(pos);
    CString trimmed = s->name();
    trimmed.Trim(L' ');
    s->name(trimmed);
    if (trimmed == n)
      return s;
  }
  return nullptr;
}

bool CXSectionAnalysis::isUsed(std::shared_ptr<CMetal> metal) const {
  if (!metal)
    return false;
  POSITION pos = shapes.GetHeadPosition();
  while (pos) {
    const CShapeAnalysis* s = shapes.GetNext(pos);
    if (s->material() == metal || s->matl2() == metal)
      return true;
  }
  return false;
}

bool CXSectionAnalysis::childMeshesExists() {
  const CSubSection* root = rootSubSection();
  return root != nullptr &&
         std::any_of(root->children.begin(), root->children.end(), [](const CSubSection* c) { return !c->meshes.empty(); });
}

// ---- creating and adding ----

CShapeAnalysis* CXSectionAnalysis::addShape(CString n) {
  auto* shape = new CShapeAnalysis(this);
  shape->name(n);
  try {
    addShapeToLists(currentSubSectionMutable(), shape);
  } catch (...) {
    delete shape;
    throw;
  }
  return shape;
}

void CXSectionAnalysis::addShapeToLists(CSubSection* s, CShapeAnalysis* shape) {
  if (s != nullptr) {
    // Refused before anything changes: a shape that could not be listed
    // under its owner would be lost to every walk of the tree.
    const CShapeAnalysis* same = s->findShape(shape->name());
    if (same != nullptr && same != shape)
      throw std::logic_error("A shape named " + narrow(shape->name()) + " already exists in " + narrow(s->name()));
  }
  if (shapes.Find(shape) == nullptr)
    shapes.AddTail(shape);
  shape->parent = s;
  if (s != nullptr && s->findShape(shape->name()) == nullptr)
    s->shapeList.AddTail(shape);
  if (s != nullptr)
    s->scnPrpUTD(false);
}

CSubSection* CXSectionAnalysis::newSubSectionLike(const CSubSection* templ, const CString& newName) {
  auto* s = new CSubSection();
  s->name(newName);
  if (templ != nullptr) {
    s->sectionKind = templ->sectionKind;
    s->originPointIndex = templ->originPointIndex;
    s->directionPointIndex = templ->directionPointIndex;
    s->kindArguments = templ->kindArguments;
  }
  s->auxText = L"";
  return s;
}

void CXSectionAnalysis::attachSubSection(CSubSection* s, CSubSection* parent, CShapeAnalysis* shape) {
  s->parent(parent);
  if (s->unionShapes == nullptr)
    s->unionShapes = new ShapeList(10);
  if (shape != nullptr)
    s->unionShapes->AddTail(shape);
  if (std::find(parent->children.begin(), parent->children.end(), s) == parent->children.end())
    parent->children.push_back(s);
  if (shape != nullptr)
    shape->parent = s;
  subSections.push_back(s);
}

void CXSectionAnalysis::createSubSection(CSubSection* parent, CSubSection* const templ, CShapeAnalysis* shape) {
  // Checked first: a sub-section made for no parent would be registered nowhere.
  if (parent == nullptr)
    throw std::logic_error("Subsection has no parent.");
  CSubSection* s = newSubSectionLike(templ, nameGen());
  s->scn(templ != nullptr && templ->scn() != nullptr ? templ->scn() : this);
  attachSubSection(s, parent, shape);
}

void CXSectionAnalysis::createSubSection(CSubSection* const sibling, CShapeAnalysis* shape) {
  if (sibling == nullptr || sibling->parent() == nullptr)
    throw std::logic_error("Subsection has no parent.");
  CSubSection* s = newSubSectionLike(sibling, shape->name());
  s->scn(this);
  attachSubSection(s, sibling->parent(), shape);
}

// ---- deleting and removing ----

void CXSectionAnalysis::deleteShape(CString n) {
  CShapeAnalysis* shape = findShape(n);
  removeShapeReferences(shape);
  if (shape == nullptr)
    return;
  for (CSubSection* s : subSections)
    s->deleteMesh(n);
  forgetShape(*this, shape);
  delete shape;
}

void CXSectionAnalysis::deleteOrphanShapes() {
  const ShapeList all(shapes);
  POSITION pos = all.GetHeadPosition();
  while (pos) {
    CShapeAnalysis* s = all.GetNext(pos);
    if (s->inAnySection())
      continue;
    // An orphan's destructor cannot reach the model: drop it from the list here.
    removeShapeReferences(s);
    delete s;
  }
}

void CXSectionAnalysis::removeFromCurrent(CShapeAnalysis* shape) {
  if (CSubSection* current = currentSubSectionMutable())
    current->removeShapeFromLists(shape);
  removeShapeReferences(shape);
  delete shape;
}

void CXSectionAnalysis::removeShapeReferences(CShapeAnalysis* shape) {
  if (POSITION pos = shapes.Find(shape))
    shapes.RemoveAt(pos);
}

void CXSectionAnalysis::removeSubsectionReferences(CString n) {
  for (CSubSection* s : subSections)
    std::erase_if(s->children, [&](const CSubSection* c) { return c->name() == n; });
  auto it = std::find_if(subSections.begin(), subSections.end(), [&](const CSubSection* s) { return s->name() == n; });
  if (it != subSections.end())
    subSections.erase(it);
}

void CXSectionAnalysis::deleteSubSectionAndChildShapes(CString& n) {
  CSubSection* s = findSubSectionMutable(n);
  if (s == nullptr)
    return;
  const std::deque<CSubSection*> kids = s->children;
  for (CSubSection* c : kids) {
    CString childName = c->name();
    deleteSubSectionAndChildShapes(childName);
    removeSubsectionReferences(childName);
    c->children.clear();
    delete c;
  }
  s->children.clear();
  s->scnPrpUTD(false);
  const ShapeList own(s->shapeList);
  s->shapeList.RemoveAll();
  POSITION pos = own.GetHeadPosition();
  while (pos) {
    CShapeAnalysis* shape = own.GetNext(pos);
    forgetShape(*this, shape);
    delete shape;
  }
  s->removeUnion();
  for (CSubSection* each : subSections)
    each->deleteMesh(n);
}

void CXSectionAnalysis::deleteMesh(CString& n) {
  for (CSubSection* s : subSections)
    s->deleteMesh(n);
}

void CXSectionAnalysis::removeContained(CList<CCompositeCurve*>* curves) {
  std::vector<CCompositeCurve*> all;
  POSITION pos = curves->GetHeadPosition();
  while (pos)
    all.push_back(curves->GetNext(pos));
  std::vector<bool> gone(all.size(), false);
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (gone[i])
      continue;
    for (std::size_t j = 0; j < all.size(); ++j) {
      if (j == i || gone[j] || all[i]->sign() != all[j]->sign() || !all[i]->inside(all[j]))
        continue;
      gone[j] = true;
      if (POSITION at = curves->Find(all[j]))
        curves->RemoveAt(at);
      delete all[j];
    }
  }
}

void CXSectionAnalysis::replaceShapeInList(std::unique_ptr<ShapeList> list, CShapeAnalysis* old,
                                           CShapeAnalysis* replacement) {
  if (!list)
    return;
  POSITION pos = list->GetHeadPosition();
  while (pos) {
    POSITION at = pos;
    if (list->GetNext(pos) != old)
      continue;
    if (list->Find(replacement) == nullptr)
      list->SetAt(at, replacement);
    else
      list->RemoveAt(at);
  }
}

void CXSectionAnalysis::replaceShapeInLists(CShapeAnalysis* old, CShapeAnalysis* replacement) {
  // The model's own list; the sub-sections hand out copies of theirs, which
  // the replacement does not reach.
  POSITION pos = shapes.GetHeadPosition();
  while (pos) {
    POSITION at = pos;
    if (shapes.GetNext(pos) != old)
      continue;
    if (shapes.Find(replacement) == nullptr)
      shapes.SetAt(at, replacement);
    else
      shapes.RemoveAt(at);
  }
}

// ---- mesh curves ----

CCompositeCurve* CXSectionAnalysis::findCompositeCurve(double x, double y, const CString& n) {
  if (CShapeAnalysis* shape = findShape(n))
    return shape->boundary;
  const CSubSection* s = findSubSection(n);
  if (s == nullptr || s->unionShapes == nullptr)
    return nullptr;
  const Point<double> p(x, y, 0.0);
  CCompositeCurve* best = nullptr;
  double bestDistance = 0.0;
  POSITION pos = s->unionShapes->GetHeadPosition();
  while (pos) {
    CCompositeCurve* curve = s->unionShapes->GetNext(pos)->boundary;
    const Point<double>* near = curve->closest(p);
    if (near == nullptr)
      continue;
    const double d = (*near - p).length();
    if (best == nullptr || d < bestDistance) {
      best = curve;
      bestDistance = d;
    }
  }
  return best;
}
