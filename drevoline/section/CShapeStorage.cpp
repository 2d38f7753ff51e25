// Shape storage: one shape's record in the model's archive, its argument
// block and its polygon block.
#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/Globals.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/CModel.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysisStorage.h"

#include "platform/core/CArchive.h"

namespace {

const wchar_t* const kNoMaterial = L"NoMatl";

CString materialName(const std::shared_ptr<CMetal>& m) { return m ? m->name : CString(kNoMaterial); }

// The named material of the model being loaded (or one it may reuse); empty
// for "NoMatl" or without a model.
std::shared_ptr<CMetal> materialNamed(const CString& name) {
  if (name == kNoMaterial || gModel == nullptr)
    return nullptr;
  return gModel->loadedMaterial(name);
}

void requireStoring(const CArchive& ar) {
  if (!ar.IsStoring())
    AfxThrowArchiveException(CArchiveException::readOnly);
}

void requireLoading(const CArchive& ar) {
  if (!ar.IsLoading())
    AfxThrowArchiveException(CArchiveException::writeOnly);
}

// A stored count that cannot be right: negative, or more items of itemBytes
// each than the archive still holds.
void checkCount(CArchive& ar, int n, ULONGLONG itemBytes) {
  if (n < 0 || static_cast<ULONGLONG>(n) * itemBytes > ar.BytesLeft())
    AfxThrowArchiveException(CArchiveException::endOfFile);
}

// Derives the argument record before a store. A shape whose outline or
// points cannot give one (a blank shape of a basic kind, as addShape makes)
// stores the plain record rather than making the whole document unsavable.
void deriveStoredRecord(CShapeAnalysis& shape) {
  try {
    shape.getSectorArgs();
  } catch (...) {
    delete shape.sectorArgs;
    auto* r = new ShapeSectorArgs();
    r->kind = shape.kind;
    r->isHole = shape.isNegative() ? 1 : 0;
    r->originNumber = shape.originIndex + 1;
    r->directionNumber = shape.directionIndex + 1;
    shape.sectorArgs = r;
  }
}

}  // namespace

void CShapeAnalysis::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << m_name << id << flagBits << static_cast<int>(kind) << supportKind;
    ar.WriteObject(boundary);
    ar << materialName(m_material) << materialName(m_matl2);
    // An orphan (a shape no sub-section holds) is stored with an empty owner
    // name rather than failing: the document must still save.
    ar << (parent != nullptr ? parent->name() : CString());
    ar << 0 << 0 << 0;
    storeShapeArgs(ar);
    ar << static_cast<BYTE>(mark ? 1 : 0);
    return;
  }
  int k = 0;
  ar >> m_name >> id >> flagBits >> k >> supportKind;
  kind = static_cast<ShapeType>(k);
  // The shape owns its boundary: the owning read refuses a curve that
  // another owner already holds.
  auto* curve = static_cast<CCompositeCurve*>(ar.ReadOwned(RUNTIME_CLASS(CCompositeCurve)));
  delete boundary;
  boundary = curve != nullptr ? curve : new CCompositeCurve();
  CString name1, name2, owner;
  ar >> name1 >> name2 >> owner;
  m_material = materialNamed(name1);
  m_matl2 = materialNamed(name2);
  addPendingShapeOwner(this, owner);
  int reserved = 0;
  ar >> reserved >> reserved >> reserved;
  loadShapeArgs(ar);
  BYTE b = 0;
  ar >> b;
  mark = b != 0;
}

void CShapeAnalysis::storeShapeArgs(CArchive& ar) {
  requireStoring(ar);
  ar << static_cast<int>(definingPoints.size());
  for (const Point<double>& p : definingPoints)
    ar << p.x << p.y << p.z;
  if (!isBasicShape())
    return;
  if (sectorArgs == nullptr)
    deriveStoredRecord(*this);
  const ShapeSectorArgs& r = *sectorArgs;
  ar << r.originNumber << r.directionNumber << r.dim5 << r.isHole << r.dim2 << r.dim3 << r.label << r.dim1
     << r.dim4 << r.kind << r.originX << r.originY << originIndex << directionIndex;
  ar << static_cast<int>(args.size());
  for (double a : args)
    ar << a;
}

void CShapeAnalysis::loadShapeArgs(CArchive& ar) {
  requireLoading(ar);
  int n = 0;
  ar >> n;
  checkCount(ar, n, 24);
  definingPoints.assign(n, Point<double>());
  for (Point<double>& p : definingPoints)
    ar >> p.x >> p.y >> p.z;
  if (!isBasicShape())
    return;
  if (sectorArgs == nullptr)
    sectorArgs = new ShapeSectorArgs();
  ShapeSectorArgs& r = *sectorArgs;
  ar >> r.originNumber >> r.directionNumber >> r.dim5 >> r.isHole >> r.dim2 >> r.dim3 >> r.label >> r.dim1 >>
      r.dim4 >> r.kind >> r.originX >> r.originY >> originIndex >> directionIndex;
  // The indices are what the shape uses; the stored numbers follow them.
  r.originNumber = originIndex + 1;
  r.directionNumber = directionIndex + 1;
  int m = 0;
  ar >> m;
  checkCount(ar, m, 8);
  args.assign(m, 0.0);
  for (double& a : args)
    ar >> a;
}

void CShapeAnalysis::storePolygonArgs(CArchive& ar) {
  requireStoring(ar);
  const int count = polygonArgs != nullptr ? static_cast<int>(polygonArgs->points.GetCount()) : 0;
  ar << count;
  if (count == 0)
    return;
  POSITION pos = polygonArgs->points.GetHeadPosition();
  while (pos) {
    const Point<double>* p = polygonArgs->points.GetNext(pos);
    ar << p->x << p->y;
  }
  ar << polygonArgs->value;
}

void CShapeAnalysis::loadPolygonArgs(CArchive& ar) {
  requireLoading(ar);
  int count = 0;
  ar >> count;
  checkCount(ar, count, 16);
  delete polygonArgs;
  polygonArgs = nullptr;
  if (count == 0)
    return;
  polygonArgs = new ShapePolygonArgs();
  for (int i = 0; i < count; ++i) {
    auto* p = new Point<double>();
    polygonArgs->points.AddTail(p);
    ar >> p->x >> p->y;
  }
  ar >> polygonArgs->value;
}
