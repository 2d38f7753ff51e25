// Sub-section storage: one sub-section's record in the model's archive.
// The parent, the children and the own shapes travel by name and are
// linked by the model's read; the union shapes, meshes and welds in full.
#include <stdexcept>

#include "analysis/model/CDot.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/CWeld.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "drevoline/section/CXSectionAnalysisStorage.h"

#include "platform/core/CArchive.h"

namespace {

constexpr int kLayoutVersion = 3;
constexpr int kCheckValue = 10101010;
// The most meshes one sub-section's record may announce.
constexpr int kMaxMeshes = 100;
const wchar_t* const kNoParent = L"none";

void writeZeros(CArchive& ar, int count) {
  for (int i = 0; i < count; ++i)
    ar << 0;
}

int readInt(CArchive& ar) {
  int v = 0;
  ar >> v;
  return v;
}

void skipInts(CArchive& ar, int count) {
  for (int i = 0; i < count; ++i)
    readInt(ar);
}

// A stored count of items of at least itemBytes each that the archive
// cannot hold is refused before anything is allocated for it.
void checkCount(CArchive& ar, ULONGLONG n, ULONGLONG itemBytes) {
  if (n * itemBytes > ar.BytesLeft())
    AfxThrowArchiveException(CArchiveException::endOfFile);
}

}  // namespace

void CSubSection::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << kLayoutVersion << m_name << originPointIndex << directionPointIndex << sectionKind << shapeAttributeBits
       << auxText << (m_parent != nullptr ? m_parent->name() : CString(kNoParent));
    ar << static_cast<int>(children.size());
    for (const CSubSection* c : children)
      ar << c->name();
    ar << 0 << kCheckValue << 0 << 0;
    ar << static_cast<int>(shapeList.GetCount());
    for (POSITION pos = shapeList.GetHeadPosition(); pos;)
      ar << shapeList.GetNext(pos)->name();
    ar << 0;
    ar << static_cast<int>(unionShapes != nullptr ? unionShapes->GetCount() : 0);
    for (POSITION pos = unionShapes != nullptr ? unionShapes->GetHeadPosition() : nullptr; pos;)
      ar.WriteObject(unionShapes->GetNext(pos));
    ar << 0 << 0.0 << 0.0;
    ar << static_cast<int>(meshes.size());
    for (CMesh* m : meshes)
      m->Serialize(ar);
    writeZeros(ar, 5);
    ar << static_cast<int>(welds.size());
    for (CWeld* w : welds)
      w->Serialize(ar);
    ar << kCheckValue;
    const bool withArguments = isFormedOrExtrudedSection();
    ar << static_cast<BYTE>(withArguments ? 1 : 0);
    if (withArguments) {
      ar.WriteCount(kindArguments.size());
      for (double a : kindArguments)
        ar << a;
    }
    ar << kCheckValue;
    writeLoadConditions(ar);
    ar << static_cast<int>(criticalPoints.size());
    for (const CriticalPoint* p : criticalPoints)
      ar << p->location.x << p->location.y << p->allowable;
    ar << static_cast<int>(constructionPoints.size());
    for (const CDot* d : constructionPoints)
      ar << d->location.x << d->location.y;
    return;
  }

  const int version = readInt(ar);
  CString parentName;
  ar >> m_name >> originPointIndex >> directionPointIndex >> sectionKind >> shapeAttributeBits >> auxText >>
      parentName;
  if (parentName != kNoParent)
    addPendingSubSectionParent(this, parentName);
  // The children are rebuilt from their parent links; their stored order
  // is kept so that the model's read can put the siblings back in it.
  const int nChildren = readInt(ar);
  checkCount(ar, nChildren < 0 ? 0 : nChildren, 4);
  std::vector<CString> childNames(nChildren < 0 ? 0 : nChildren);
  for (CString& c : childNames)
    ar >> c;
  addPendingChildOrder(this, std::move(childNames));
  skipInts(ar, 4);

  const int nShapes = readInt(ar);
  for (int i = 0; i < nShapes; ++i) {
    CString shapeName;
    ar >> shapeName;
    // A name the model does not hold is skipped rather than kept dangling;
    // of two shapes of one name, the one stored as this sub-section's.
    CShapeAnalysis* s = m_model != nullptr ? findStoredShape(*m_model, shapeName, m_name) : nullptr;
    if (s != nullptr && shapeList.Find(s) == nullptr) {
      s->parent = this;
      shapeList.AddTail(s);
    }
  }
  readInt(ar);
  const int nUnion = readInt(ar);
  for (int i = 0; i < nUnion; ++i) {
    // Shared on purpose: the model's list stored these shapes first, so
    // this is a back-reference to the object the model already owns.
    auto* s = static_cast<CShapeAnalysis*>(ar.ReadObject(RUNTIME_CLASS(CShapeAnalysis)));
    if (s == nullptr)
      continue;
    if (unionShapes == nullptr)
      unionShapes = new ShapeList(10);
    unionShapes->AddTail(s);
    // A union shape that the model's list did not hold becomes the model's,
    // which frees every shape.
    if (m_model != nullptr && m_model->shapes.Find(s) == nullptr)
      m_model->shapes.AddTail(s);
  }
  readInt(ar);
  double reserved = 0.0;
  ar >> reserved >> reserved;

  if (version >= 2) {
    const int nMeshes = readInt(ar);
    if (nMeshes > kMaxMeshes)
      throw std::logic_error("Number of associated meshes is too large.");
    for (int i = 0; i < nMeshes; ++i) {
      auto* m = new CMesh();
      meshes.push_back(m);
      m->Serialize(ar);
    }
  }
  skipInts(ar, 5);
  const int nWelds = readInt(ar);
  checkCount(ar, nWelds < 0 ? 0 : nWelds, 4);
  for (int i = 0; i < nWelds; ++i) {
    auto* w = new CWeld();
    welds.push_back(w);
    w->Serialize(ar);
  }
  if (readInt(ar) != kCheckValue)
    throw std::logic_error("Read of Section Failed.");
  BYTE withArguments = 0;
  ar >> withArguments;
  if (withArguments != 0) {
    const DWORD_PTR n = ar.ReadCount();
    checkCount(ar, n, 8);
    kindArguments.assign(n, 0.0);
    for (double& a : kindArguments)
      ar >> a;
  }
  if (readInt(ar) != kCheckValue)
    throw std::logic_error("SubSection read failed");
  readLoadConditions(ar);

  for (CriticalPoint* p : criticalPoints)
    delete p;
  criticalPoints.clear();
  const int nCritical = readInt(ar);
  checkCount(ar, nCritical < 0 ? 0 : nCritical, 24);
  for (int i = 0; i < nCritical; ++i) {
    auto* p = new CriticalPoint();
    criticalPoints.push_back(p);
    ar >> p->location.x >> p->location.y >> p->allowable;
  }
  const int nPoints = readInt(ar);
  for (int i = 0; i < nPoints; ++i) {
    double x = 0.0, y = 0.0;
    ar >> x >> y;
    addConstructionPoint(x, y);
  }
  propertiesUpToDate = false;
  currentLoadCondition.reset();
}
