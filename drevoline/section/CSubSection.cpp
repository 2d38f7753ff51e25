// Sub-section model: construction, tree and shape lists.
#include "drevoline/section/CSubSection.h"

#include <algorithm>
#include <stdexcept>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CDot.h"
#include "analysis/model/DspRecord.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CXSectionAnalysis.h"

IMPLEMENT_SERIAL(CSubSection, CObject, VERSIONABLE_SCHEMA | 3)

CSubSection::CSubSection() : CSubSection(nullptr, nullptr) {}

CSubSection::CSubSection(CXSectionAnalysis* model, CSubSection* parent) : m_model(model), m_parent(parent) {
  // The modulus-weighted principal angle reads -1000 until first computed.
  m_values[40] = -1000.0;
  m_principalAngleE = -1000.0;
}

CSubSection::~CSubSection() {
  try {
    // Each child's destructor asks the model to drop its name, which also
    // erases it from this list: walk a copy.
    const std::deque<CSubSection*> doomed = children;
    for (CSubSection* c : doomed)
      delete c;
    children.clear();
    // The model lets go of this very sub-section: going by its name would,
    // with two of one name, drop the other one's entries instead.
    if (m_model != nullptr) {
      for (CSubSection* s : m_model->subSections)
        std::erase(s->children, this);
      std::erase(m_model->subSections, this);
    }
  } catch (...) {
    // A destructor lets no failure escape.
  }
  // Shapes, union shapes too, outlive their sub-section (the model owns and
  // deletes them): they must not point at it afterwards. A copy made by a
  // duplication keeps its source's owner before it is placed, so the
  // model's list is walked too.
  ShapeList* modelShapes = m_model != nullptr ? &m_model->shapes : nullptr;
  for (ShapeList* list : {&shapeList, unionShapes, modelShapes}) {
    POSITION pos = list != nullptr ? list->GetHeadPosition() : nullptr;
    while (pos) {
      CShapeAnalysis* s = list->GetNext(pos);
      if (s != nullptr && s->parent == this)
        s->parent = nullptr;
    }
  }
  delete unionShapes;
  for (CDot* d : constructionPoints)
    delete d;
  destroyMeshesAndWelds();
}

bool CSubSection::isComplexShape() const {
  return unionShapes != nullptr && !unionShapes->IsEmpty() && unionShapes->GetHead()->isComplexShape();
}

// ---- tree ----

void CSubSection::addChildSubSection(CSubSection* c) {
  scnPrpUTD(false);
  children.push_back(c);
  c->m_parent = this;
}

void CSubSection::removeChildSubSection(CSubSection* c) {
  if (std::erase(children, c) > 0)
    scnPrpUTD(false);
}

void CSubSection::renameChild(CString& oldName, CString& newName) {
  for (CSubSection* c : children)
    if (c->m_name == oldName) {
      c->m_name = newName;
      return;
    }
}

int CSubSection::sequenceNumber(CString& name) const {
  if (m_model != nullptr)
    if (const CSubSection* current = m_model->currentSubSection(); current != nullptr && current->m_name == name)
      return 0;
  for (std::size_t i = 0; i < children.size(); ++i)
    if (children[i]->m_name == name)
      return static_cast<int>(i) + 1;
  return -1;
}

void CSubSection::removeReferences() {
  if (m_model == nullptr)
    return;
  for (CSubSection* s : m_model->subSections)
    std::erase_if(s->children, [&](CSubSection* c) { return c->m_name == m_name; });
}

void CSubSection::bringForwardChildSubSection(CSubSection* c) {
  for (std::size_t i = 1; i < children.size(); ++i)
    if (children[i]->m_name == c->m_name) {
      std::swap(children[i - 1], children[i]);
      return;
    }
}

// ---- shape lists ----

void CSubSection::addChildShape(CShapeAnalysis* s) {
  if (findShape(s->name()) != nullptr)
    return;
  shapeList.AddTail(s);
  s->parent = this;
  scnPrpUTD(false);
}

void CSubSection::addShape(CShapeAnalysis* s) {
  if (shapeList.Find(s) != nullptr)
    return;
  s->flagBits |= shapeAttributeBits;
  shapeList.AddTail(s);
  scnPrpUTD(false);
}

static bool removeFrom(ShapeList& list, CShapeAnalysis* s) {
  POSITION pos = list.Find(s);
  if (pos == nullptr)
    return false;
  list.RemoveAt(pos);
  return true;
}

void CSubSection::removeChildShape(CShapeAnalysis* s) {
  if (removeFrom(shapeList, s))
    scnPrpUTD(false);
}

void CSubSection::removeShape(CShapeAnalysis* s) { removeChildShape(s); }

void CSubSection::removeSubsectionShape(CString, CShapeAnalysis* s) { removeChildShape(s); }

void CSubSection::removeShapeFromLists(CShapeAnalysis* s) {
  if (unionShapes != nullptr && removeFrom(*unionShapes, s))
    scnPrpUTD(false);
  removeChildShape(s);
  for (CSubSection* c : children)
    c->removeShapeFromLists(s);
}

void CSubSection::removeShapeSubsectionReferences(CString) {
  POSITION pos = shapeList.GetHeadPosition();
  while (pos)
    shapeList.GetNext(pos)->parent = nullptr;
  for (CSubSection* c : children)
    c->removeShapeSubsectionReferences(CString());
}

void CSubSection::removeShape(CList<DspRecord*, DspRecord*>* records, CShapeAnalysis* s) const {
  POSITION pos = records->GetHeadPosition();
  while (pos) {
    POSITION at = pos;
    DspRecord* r = records->GetNext(pos);
    if (r != nullptr && r->object == static_cast<void*>(s)) {
      records->RemoveAt(at);
      delete r;
    }
  }
  s->displayList1 = 0;
  s->displayList2 = 0;
}

int CSubSection::contains(CShapeAnalysis* s) const { return shapeList.Find(s) != nullptr ? 1 : 0; }

CShapeAnalysis* CSubSection::findShape(CString name) const {
  POSITION pos = shapeList.GetHeadPosition();
  while (pos) {
    CShapeAnalysis* s = shapeList.GetNext(pos);
    if (s->name() == name)
      return s;
  }
  return nullptr;
}

static bool listHasName(const ShapeList& list, const CString& name) {
  POSITION pos = list.GetHeadPosition();
  while (pos)
    if (list.GetNext(pos)->name() == name)
      return true;
  return false;
}

bool CSubSection::hasShape(CShapeAnalysis* s) const {
  const bool unionOn = unionShapes != nullptr && !unionShapes->IsEmpty();
  if (listHasName(unionOn ? *unionShapes : shapeList, s->name()))
    return true;
  return std::any_of(children.begin(), children.end(), [&](const CSubSection* c) { return c->hasShape(s); });
}

CShapeAnalysis* CSubSection::searchShape(CString name) const {
  std::unique_ptr<ShapeList> all = getShapesRecursive();
  POSITION pos = all->GetHeadPosition();
  while (pos) {
    CShapeAnalysis* s = all->GetNext(pos);
    if (s->name() == name)
      return s;
  }
  return nullptr;
}

bool CSubSection::isCurrentShape(CShapeAnalysis* s) const { return getShapesRecursive()->Find(s) != nullptr; }

bool CSubSection::shapeExist(ShapeType kind, Point<double>* p) const {
  std::unique_ptr<ShapeList> all = getShapesRecursive();
  POSITION pos = all->GetHeadPosition();
  while (pos) {
    const CShapeAnalysis* s = all->GetNext(pos);
    // Polygons and unions have no defining points, so no position to compare.
    if (s->kind != kind || s->definingPoints.empty())
      continue;
    if ((s->origin() - *p).length() < 1e-5)
      return true;
  }
  return false;
}

ShapeList* CSubSection::listHolding(CShapeAnalysis* s) {
  if (unionShapes != nullptr && unionShapes->Find(s) != nullptr)
    return unionShapes;
  return shapeList.Find(s) != nullptr ? &shapeList : nullptr;
}

void CSubSection::moveBack(CShapeAnalysis* s) {
  if (ShapeList* list = listHolding(s)) {
    list->RemoveAt(list->Find(s));
    list->AddHead(s);
  }
}

void CSubSection::moveFront(CShapeAnalysis* s) {
  if (ShapeList* list = listHolding(s)) {
    list->RemoveAt(list->Find(s));
    list->AddTail(s);
  }
}

// ---- traversal ----

std::unique_ptr<ShapeList> CSubSection::getShapes() const {
  if (unionShapes != nullptr)
    return std::make_unique<ShapeList>(*unionShapes);
  if (shapeList.IsEmpty())
    return nullptr;
  return std::make_unique<ShapeList>(shapeList);
}

void CSubSection::getSubSectionShapes(ShapeList* out) const {
  if (unionShapes != nullptr && !unionShapes->IsEmpty()) {
    out->AddTail(unionShapes);
    return;
  }
  out->AddTail(&shapeList);
  for (const CSubSection* c : children) {
    if (c == nullptr)
      throw std::logic_error("Child object not found.");
    c->getSubSectionShapes(out);
  }
}

std::unique_ptr<ShapeList> CSubSection::getShapesRecursive() const {
  auto out = std::make_unique<ShapeList>();
  getSubSectionShapes(out.get());
  return out;
}

template <class Pred>
int CSubSection::countShapes(Pred test) const {
  std::unique_ptr<ShapeList> all = getShapesRecursive();
  int n = 0;
  POSITION pos = all->GetHeadPosition();
  while (pos)
    if (test(*all->GetNext(pos)))
      ++n;
  return n;
}

int CSubSection::nShapes() const { return static_cast<int>(getShapesRecursive()->GetCount()); }
int CSubSection::nAnnuluses() const { return countShapes([](const CShapeAnalysis& s) { return s.isAnnulus(); }); }
int CSubSection::nBlends() const { return countShapes([](const CShapeAnalysis& s) { return s.isBlend(); }); }
int CSubSection::nDisks() const { return countShapes([](const CShapeAnalysis& s) { return s.isDisk(); }); }
int CSubSection::nFillets() const { return countShapes([](const CShapeAnalysis& s) { return s.isFillet(); }); }
int CSubSection::nParallelograms() const {
  return countShapes([](const CShapeAnalysis& s) { return s.isParallelogram(); });
}
int CSubSection::nPolygons() const { return countShapes([](const CShapeAnalysis& s) { return s.isPolygon(); }); }
int CSubSection::nRectangles() const { return countShapes([](const CShapeAnalysis& s) { return s.isRectangle(); }); }
int CSubSection::nSectorChords() const {
  return countShapes([](const CShapeAnalysis& s) { return s.isSectorChord(); });
}
int CSubSection::nSectors() const { return countShapes([](const CShapeAnalysis& s) { return s.isSector(); }); }
int CSubSection::nTriangles() const { return countShapes([](const CShapeAnalysis& s) { return s.isTriangle(); }); }

void CSubSection::clearTraversedShapes() {
  std::unique_ptr<ShapeList> all = getShapesRecursive();
  POSITION pos = all->GetHeadPosition();
  while (pos)
    all->GetNext(pos)->traversed = false;
}

CShapeAnalysis* CSubSection::nextUntraversedShape() {
  std::unique_ptr<ShapeList> all = getShapesRecursive();
  POSITION pos = all->GetHeadPosition();
  while (pos) {
    CShapeAnalysis* s = all->GetNext(pos);
    if (!s->traversed)
      return s;
    s->traversed = false;
  }
  return nullptr;
}

bool CSubSection::duplicatesExist() const {
  std::unique_ptr<ShapeList> all = getShapesRecursive();
  for (POSITION a = all->GetHeadPosition(); a;) {
    CShapeAnalysis* s = all->GetNext(a);
    for (POSITION b = a; b;) {
      CShapeAnalysis* t = all->GetNext(b);
      if (s != t && *s == *t)
        return true;
    }
  }
  return false;
}

void CSubSection::removeDuplicates() {
  std::unique_ptr<ShapeList> all = getShapesRecursive();
  if (all->IsEmpty())
    return;
  CShapeAnalysis* first = all->GetHead();
  POSITION pos = all->GetHeadPosition();
  all->GetNext(pos);
  while (pos) {
    CShapeAnalysis* other = all->GetNext(pos);
    if (other == first || !(*first == *other))
      continue;
    // Remove it from whichever list of the subtree holds it, then delete it.
    removeShapeFromLists(other);
    if (m_model != nullptr)
      m_model->removeShapeReferences(other);
    delete other;
  }
}

void CSubSection::checkForHoles() {
  if (!isUnionOn())
    return;
  POSITION pos = unionShapes->GetHeadPosition();
  while (pos) {
    CShapeAnalysis* s = unionShapes->GetNext(pos);
    if (!s->isCounterClockwise())
      s->boundary->sign(-1);
  }
}

void CSubSection::extents(Point<double>* min, Point<double>* max) const {
  std::unique_ptr<ShapeList> all = getShapesRecursive();
  int first = 1;
  POSITION pos = all->GetHeadPosition();
  while (pos) {
    all->GetNext(pos)->extents(min, max, first);
    first = 0;
  }
}

errMsg CSubSection::extents(Point<double>* min, Point<double>* max, bool) const {
  extents(min, max);
  return errNone;
}

Point<double> CSubSection::planeNormal() const {
  std::unique_ptr<ShapeList> all = getShapesRecursive();
  if (all->IsEmpty() || all->GetHead()->boundary->nArcs() == 0)
    return Point<double>();
  const Bspline* arc = all->GetHead()->boundary->arcs().GetHead();
  return cross(arc->startPoint(), arc->endPoint());
}

bool CSubSection::isInsideOrOn(Point<double>& p) const {
  std::unique_ptr<ShapeList> all = getShapesRecursive();
  POSITION pos = all->GetHeadPosition();
  while (pos)
    if (all->GetNext(pos)->isInsideOrOn(p))
      return true;
  return false;
}
